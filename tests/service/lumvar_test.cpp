// Lumvar2000's life in the host: its menu entry, the host year it reports and the guard
// against a second copy.
#include <gtest/gtest.h>

#include "platform/hostapi/records.h"
#include "platform/win/win.h"
#include "service/lumvar.h"
#include "tests/support/fixture.h"

namespace {

class LumvarTest : public testsupport::DesktopTest {
protected:
    void SetUp() override {
        DesktopTest::SetUp();
        lumvar::ResetModuleState();
    }
};

struct YearCase {
    uint32_t raw;
    int32_t year;
};

class LumvarYearTest : public LumvarTest, public ::testing::WithParamInterface<YearCase> {};

TEST_P(LumvarYearTest, HostYearFromTheRawVersion) {
    EXPECT_EQ(lumvar::FinaleExtensionVersion(static_cast<int32_t>(GetParam().raw)),
              static_cast<int32_t>(GetParam().raw));
    EXPECT_EQ(lumvar::RawFXTVersion(), GetParam().raw);
    EXPECT_EQ(lumvar::FinaleVersion(), GetParam().year);
}

INSTANTIATE_TEST_SUITE_P(Versions, LumvarYearTest,
                         ::testing::Values(YearCase{0x04000105, 1998}, YearCase{0x05000005, 2000},
                                           YearCase{0x06000200, 2001}, YearCase{0x07010000, 9999},
                                           YearCase{0x03800001, 1997}, YearCase{0x07000010, 2002},
                                           YearCase{0x04010000, 9999}));

TEST_F(LumvarTest, OneMenuEntry) {
    hostapi::MenuRecord record;
    ASSERT_EQ(lumvar::FinaleExtensionEnumerate(nullptr, 0, record.bytes.data()), 1);
    EXPECT_EQ(record.menuText(), "Lumvar...");
    EXPECT_EQ(record.secondText(), "Lumvar");
    EXPECT_EQ(record.thirdText(), "Lumvar");
    EXPECT_EQ(lumvar::FinaleExtensionEnumerate(nullptr, -1, record.bytes.data()), 1);
    hostapi::MenuRecord untouched;
    untouched.bytes.fill(0x55);
    EXPECT_EQ(lumvar::FinaleExtensionEnumerate(nullptr, 1, untouched.bytes.data()), 0);
    EXPECT_EQ(untouched.bytes[0], 0x55);
}

TEST_F(LumvarTest, InitOncePerHostYear) {
    lumvar::FinaleExtensionVersion(0x05000005);
    const win::Hwnd window = win::CreateWindow({.className = "Finale"});
    EXPECT_EQ(lumvar::InitByFinale(), 0);
    EXPECT_EQ(lumvar::FinaleExtensionInit(window, nullptr), 1);
    EXPECT_EQ(lumvar::InitByFinale(), 1);
    EXPECT_EQ(lumvar::FinaleWindow(), window);
    int32_t minor = 0;
    EXPECT_EQ(lumvar::Version(&minor), 2);
    EXPECT_EQ(minor, 8);
    EXPECT_EQ(lumvar::Version(nullptr), 2);

    // The mutex "FinLumvar2000" is taken: another copy would be refused.
    const win::Handle other = win::CreateMutex(true, "FinLumvar2000");
    EXPECT_EQ(win::GetLastError(), win::ERROR_ALREADY_EXISTS);
    win::CloseHandle(other);

    EXPECT_EQ(lumvar::FinaleExtensionTerminate(nullptr), 1);
    win::CreateMutex(true, "FinLumvar2000");
    EXPECT_EQ(win::GetLastError(), win::ERROR_SUCCESS);
}

}  // namespace
