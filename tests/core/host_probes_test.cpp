// Small probes of the host: title changes, the user manual's place, menu check marks and the
// rounding to hundreds.
#include <gtest/gtest.h>

#include <fstream>

#include "core/host/access_state.h"
#include "core/host/host_imports.h"
#include "core/host/text_file_utils.h"
#include "core/host_probes.h"
#include "core/module.h"
#include "core/startup.h"
#include "platform/host/document_windows.h"
#include "platform/host/host.h"
#include "platform/hostapi/services.h"
#include "platform/win/win.h"
#include "tests/support/case_names.h"
#include "tests/support/fixture.h"

namespace {

using namespace orvex;

class HostProbesTest : public testsupport::DesktopTest {
protected:
    void SetUp() override {
        DesktopTest::SetUp();
        ResetModule();
    }
};

struct RoundCase {
    int32_t value;
    int32_t rounded;
    int32_t remainder;
};

class RoundToHundredsTest : public ::testing::TestWithParam<RoundCase> {};

TEST_P(RoundToHundredsTest, RoundsAndKeepsTheRemainder) {
    EXPECT_EQ(RoundToHundreds(GetParam().value), GetParam().rounded);
    EXPECT_EQ(HundredsRemainder(GetParam().value), GetParam().remainder);
}

INSTANTIATE_TEST_SUITE_P(Values, RoundToHundredsTest,
                         ::testing::Values(RoundCase{49, 0, 49}, RoundCase{50, 0, 50}, RoundCase{51, 1, -49},
                                           RoundCase{-51, -1, 49}, RoundCase{250, 2, 50}, RoundCase{150, 1, 50},
                                           RoundCase{151, 2, -49}, RoundCase{-49, 0, -49}, RoundCase{0, 0, 0}),
                         testsupport::NameBy(&RoundCase::value));

TEST_F(HostProbesTest, WindowTitleChangesAreNoticed) {
    TheAccessLayer.host.window = win::CreateWindow({.className = "Finale", .title = "Finale 2000 - [score.MUS]"});
    std::string title;
    EXPECT_TRUE(GetHostWindowTitle(title));
    EXPECT_EQ(title, "Finale 2000 - [score.MUS]");
    EXPECT_FALSE(GetHostWindowTitle(title));
    win::SetWindowText(Host().window, std::string(150, 't'));
    EXPECT_TRUE(GetHostWindowTitle(title));
    EXPECT_EQ(title, std::string(100, 't'));
}

TEST_F(HostProbesTest, UserManualSearchOrder) {
    namespace fs = std::filesystem;
    const fs::path host = TempFolder() / "Finale";
    fs::create_directories(host / "User Manual");
    fs::create_directories(host / "On-line Documentation");
    std::ofstream(host / "User Manual" / "Orvex188.pdf") << "x";
    std::ofstream(host / "On-line Documentation" / "Orvex188.pdf") << "x";
    std::string found;
    EXPECT_TRUE(FindUserManual(host.string(), "Orvex188.pdf", found));
    EXPECT_EQ(found, (host / "User Manual" / "Orvex188.pdf").string());
    EXPECT_FALSE(FindUserManual(host.string(), "Orvex160.pdf", found));

    const fs::path previous = fs::current_path();
    fs::current_path(TempFolder());
    std::ofstream("Orvex-SE.pdf") << "x";
    EXPECT_TRUE(FindUserManual(host.string(), "Orvex-SE.pdf", found));
    EXPECT_EQ(found, "Orvex-SE.pdf");
    fs::current_path(previous);
}

TEST_F(HostProbesTest, OldHostsShowLayersByTheirMenu) {
    // The third menu holds, at position 17, a submenu of layers and, at 18, the item that
    // says whether only some layers are shown.
    const win::Hwnd window = win::CreateWindow({.className = "Finale"});
    const win::Hmenu bar = win::CreateMenu();
    win::SetMenu(window, bar);
    const win::Hmenu view = win::CreatePopupMenu();
    const win::Hmenu layers = win::CreatePopupMenu();
    for (uint32_t layer = 0; layer < 4; ++layer) {
        win::AppendMenu(layers, win::MF_STRING, 500 + layer, "Layer");
    }
    win::CheckMenuItem(layers, 1, win::MF_BYPOSITION | win::MF_CHECKED);
    for (uint32_t item = 0; item < 17; ++item) {
        win::AppendMenu(view, win::MF_STRING, 100 + item, "item");
    }
    win::AppendMenu(view, win::MF_POPUP, static_cast<uint32_t>(layers), "Layers");
    win::AppendMenu(view, win::MF_STRING, 300, "Show Active Layer Only");
    for (const char* title : {"&File", "&Edit"}) {
        win::AppendMenu(bar, win::MF_POPUP, static_cast<uint32_t>(win::CreatePopupMenu()), title);
    }
    win::AppendMenu(bar, win::MF_POPUP, static_cast<uint32_t>(view), "&View");

    EXPECT_TRUE(GetHostMenuItemState(window, 0));  // the item at 18 is not checked: every layer shows
    win::CheckMenuItem(view, 300, win::MF_BYCOMMAND | win::MF_CHECKED);
    EXPECT_FALSE(GetHostMenuItemState(window, 0));
    EXPECT_TRUE(GetHostMenuItemState(window, 1));

    TheAccessLayer.host.window = window;
    TheAccessLayer.host.year = 1998;
    EXPECT_TRUE(IsHostMenuCommandChecked(1));
    EXPECT_FALSE(IsHostMenuCommandChecked(2));
}

TEST_F(HostProbesTest, DocumentOptionComesFromTheOt12Record) {
    host::Host host;
    ResetHostImports();
    host.AddDocument(std::make_unique<host::Document>("options"));
    EXPECT_FALSE(IsDocumentOptionSet());  // no record: not set
    std::array<int16_t, 3> keys = {-2, 0, 0};
    std::array<uint8_t, 12> record{};
    record[0] = 1;
    const auto save = reinterpret_cast<hostapi::SaveRecordFn>(host::ServiceByOrdinal(10));
    ASSERT_NE(save(hostapi::MakeTag("ot12"), keys.data(), record.data(), 12, hostapi::kInterfaceVersion), 0);
    EXPECT_TRUE(IsDocumentOptionSet());
    record[0] = 0;
    save(hostapi::MakeTag("ot12"), keys.data(), record.data(), 12, hostapi::kInterfaceVersion);
    EXPECT_FALSE(IsDocumentOptionSet());
}

TEST(MacRomanToAnsiTest, SevenLettersAreConverted) {
    std::string text =
        "Gr\xA7"
        "e \x80\x85\x86\x8A\x9A\x9F";
    EXPECT_EQ(MacRomanToAnsi(text),
              "Gr\xDF"
              "e \xC4\xD6\xDC\xE4\xF6\xFC");
    // Converting again changes nothing; an empty text stays empty.
    EXPECT_EQ(MacRomanToAnsi(text),
              "Gr\xDF"
              "e \xC4\xD6\xDC\xE4\xF6\xFC");
    std::string empty;
    EXPECT_EQ(MacRomanToAnsi(empty), "");
    // Nothing after the first zero byte is touched.
    std::string cut("a\0\x80", 3);
    EXPECT_EQ(MacRomanToAnsi(cut), std::string("a\0\x80", 3));
}

// The document window of the host in front: its page field is read only in page view.
TEST_F(HostProbesTest, TheActiveDocumentWindowAndItsPageField) {
    ResetHostImports();
    host::Host finale;
    TheAccessLayer.host.window = finale.MainWindow();
    EXPECT_EQ(GetActiveDocumentWindow(Host().window), win::kNoWindow);
    EXPECT_FALSE(IsDocumentControlVisible(Host().window));
    EXPECT_EQ(ReadDocumentControlValue(Host().window), -1);
    finale.AddDocument(std::make_unique<host::Document>("first"));
    finale.AddDocument(std::make_unique<host::Document>("second"));
    EXPECT_EQ(GetActiveDocumentWindow(Host().window), finale.Windows().WindowOf(2));
    EXPECT_FALSE(IsDocumentControlVisible(Host().window));  // scroll view
    EXPECT_EQ(ReadDocumentControlValue(Host().window), -1);
    finale.Windows().SetPageView(true);
    EXPECT_TRUE(IsDocumentControlVisible(Host().window));
    EXPECT_EQ(ReadDocumentControlValue(Host().window), 1);
    finale.BringToFront(1);  // the first document still shows scroll view
    EXPECT_EQ(GetActiveDocumentWindow(Host().window), finale.Windows().WindowOf(1));
    EXPECT_EQ(ReadDocumentControlValue(Host().window), -1);
    // The page the user typed into the field.
    finale.BringToFront(2);
    win::SetWindowText(win::GetDlgItem(win::GetDlgItem(finale.Windows().WindowOf(2), 203), 1005), "7");
    EXPECT_EQ(ReadDocumentControlValue(Host().window), 7);
    TheAccessLayer.host.window = win::kNoWindow;
}

}  // namespace
