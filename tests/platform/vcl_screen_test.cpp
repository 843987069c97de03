// The screen and the timers of the window system as the class library sees them: monitors and
// work areas, the resolution, and TTimer on the virtual clock.
#include <gtest/gtest.h>

#include <memory>

#include "platform/vcl/application.h"
#include "platform/vcl/extctrls.h"
#include "platform/win/win.h"
#include "tests/support/fixture.h"

namespace {

class VclScreenTest : public testsupport::DesktopTest {};

const win::MonitorInfo kPrimary{{0, 0, 1024, 768}, {0, 0, 1024, 738}, true};
const win::MonitorInfo kLeftOfIt{{-1280, -100, 0, 924}, {-1280, -100, 0, 924}, false};

TEST_F(VclScreenTest, FreshDesktopHasOneMonitorWithATaskBar) {
    EXPECT_EQ(vcl::Screen->MonitorCount(), 1);
    EXPECT_EQ(vcl::Screen->Width(), 1024);
    EXPECT_EQ(vcl::Screen->Height(), 768);
    EXPECT_EQ(vcl::Screen->WorkAreaRect(), vcl::Rect(0, 0, 1024, 738));
    EXPECT_EQ(vcl::Screen->DesktopRect(), vcl::Rect(0, 0, 1024, 768));
    EXPECT_EQ(vcl::Screen->PixelsPerInch(), 96);
}

TEST_F(VclScreenTest, SeveralMonitorsMakeTheDesktopWithThePrimaryFirst) {
    ASSERT_TRUE(win::SetSimulatedMonitors({kLeftOfIt, kPrimary}));
    EXPECT_EQ(vcl::Screen->MonitorCount(), 2);
    EXPECT_TRUE(vcl::Screen->Monitors(0).Primary);
    EXPECT_EQ(vcl::Screen->Monitors(1).Left(), -1280);
    EXPECT_EQ(vcl::Screen->Width(), 1024);
    EXPECT_EQ(vcl::Screen->DesktopRect(), vcl::Rect(-1280, -100, 1024, 924));
    EXPECT_THROW(vcl::Screen->Monitors(2), std::out_of_range);
}

TEST_F(VclScreenTest, ImpossibleMonitorsAreRefused) {
    const win::MonitorInfo offOrigin{{10, 0, 1034, 768}, {10, 0, 1034, 768}, true};
    const win::MonitorInfo workAreaOutside{{0, 0, 1024, 768}, {0, 0, 1100, 768}, true};
    for (const auto& monitors : std::vector<std::vector<win::MonitorInfo>>{
             {}, {kLeftOfIt}, {kPrimary, kPrimary}, {offOrigin}, {workAreaOutside}}) {
        win::SetLastError(0xDEAD);
        EXPECT_FALSE(win::SetSimulatedMonitors(monitors));
        EXPECT_EQ(win::GetLastError(), win::ERROR_INVALID_PARAMETER);
    }
    EXPECT_EQ(vcl::Screen->MonitorCount(), 1);
    EXPECT_FALSE(win::SetSimulatedPixelsPerInch(0));
}

TEST_F(VclScreenTest, TimerRunsOncePerPumpWhenItsIntervalHasPassed) {
    vcl::TTimer timer(nullptr);
    int ticks = 0;
    timer.OnTimer = [&](vcl::TObject*) { ++ticks; };
    timer.SetInterval(500);
    win::AdvanceClock(499);
    EXPECT_EQ(win::DispatchTimers(), 0u);
    win::AdvanceClock(1);
    vcl::Application->ProcessMessages();
    EXPECT_EQ(ticks, 1);
    win::AdvanceClock(2000);  // however long the clock moved, one tick per turn
    EXPECT_EQ(win::DispatchTimers(), 1u);
    EXPECT_EQ(win::DispatchTimers(), 0u);
    timer.SetEnabled(false);
    win::AdvanceClock(1000);
    win::DispatchTimers();
    EXPECT_EQ(ticks, 2);
    timer.SetEnabled(true);  // the interval starts anew
    win::AdvanceClock(499);
    win::DispatchTimers();
    EXPECT_EQ(ticks, 2);
}

TEST_F(VclScreenTest, TimersDueTogetherRunInTheOrderTheyFellDue) {
    std::vector<std::string> order;
    const uint32_t late = win::SetTimer(win::kNoWindow, 0, 300, [&](win::Hwnd, uint32_t) { order.push_back("300"); });
    win::SetTimer(win::kNoWindow, 0, 100, [&](win::Hwnd, uint32_t) {
        order.push_back("100");
        win::KillTimer(win::kNoWindow, late);  // a timer killed by an earlier one does not run
    });
    win::SetTimer(win::kNoWindow, 0, 0, [&](win::Hwnd, uint32_t) { order.push_back("min"); });
    win::AdvanceClock(400);
    EXPECT_EQ(win::DispatchTimers(), 2u);
    EXPECT_EQ(order, (std::vector<std::string>{"min", "100"}));
    EXPECT_EQ(win::ActiveTimerCount(), 2u);
}

TEST_F(VclScreenTest, WindowTimersNeedTheWindowAndDieWithIt) {
    win::SetLastError(0);
    EXPECT_EQ(win::SetTimer(win::Hwnd{0x9999}, 1, 100, {}), 0u);
    EXPECT_EQ(win::GetLastError(), win::ERROR_INVALID_WINDOW_HANDLE);
    const win::Hwnd window = win::CreateWindow({.className = "Host"});
    EXPECT_EQ(win::SetTimer(window, 7, 100, {}), 7u);
    EXPECT_EQ(win::ActiveTimerCount(), 1u);
    win::DestroyWindow(window);
    EXPECT_EQ(win::ActiveTimerCount(), 0u);
    EXPECT_FALSE(win::KillTimer(window, 7));
}

}  // namespace
