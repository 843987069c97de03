// The host's document windows: one per document in the MDI client, the one in front active,
// the view's controls, the page field read through service 57, the Speedy Entry window, and the
// window list that `print windows` shows.
#include <gtest/gtest.h>

#include <memory>

#include "platform/host/document_windows.h"
#include "platform/host/host.h"
#include "platform/hostapi/services.h"
#include "platform/win/messages.h"
#include "platform/win/user32.h"
#include "platform/win/win.h"
#include "tests/support/fixture.h"

namespace {

class DocumentWindowsTest : public testsupport::DesktopTest {
protected:
    void SetUp() override {
        DesktopTest::SetUp();
        m_host = std::make_unique<host::Host>();
    }
    void TearDown() override {
        m_host.reset();
        DesktopTest::TearDown();
    }
    void Add(const std::string& name) { m_host->AddDocument(std::make_unique<host::Document>(name)); }
    win::Hwnd Active() const {
        return static_cast<win::Hwnd>(win::SendMessage(m_host->Windows().MdiClient(), win::WM_MDIGETACTIVE));
    }
    win::Hwnd Control(int32_t document, int32_t pane, int32_t id) const {
        return win::GetDlgItem(win::GetDlgItem(m_host->Windows().WindowOf(document), pane), id);
    }
    int32_t ReadValue(win::Hwnd window, int32_t control, int32_t kind) const {
        const auto read = reinterpret_cast<hostapi::GetControlValueFn>(
            host::ServiceByOrdinal(static_cast<int32_t>(hostapi::Service::GetControlValue)));
        return read(window, control, kind, hostapi::kInterfaceVersion);
    }

    std::unique_ptr<host::Host> m_host;
};

TEST_F(DocumentWindowsTest, EachDocumentHasAWindowAndTheOneInFrontIsActive) {
    const win::Hwnd client = m_host->Windows().MdiClient();
    EXPECT_EQ(win::GetParent(client), m_host->MainWindow());
    EXPECT_EQ(win::GetClassName(client), "MDIClient");
    EXPECT_EQ(Active(), win::kNoWindow);
    Add("flutes");
    Add("oboes");
    const win::Hwnd flutes = m_host->Windows().WindowOf(1);
    const win::Hwnd oboes = m_host->Windows().WindowOf(2);
    EXPECT_EQ(win::GetWindowText(flutes), "flutes");
    EXPECT_EQ(win::GetClassName(oboes), "FinaleDocument");
    EXPECT_EQ(Active(), oboes);
    ASSERT_TRUE(m_host->BringToFront(1));
    EXPECT_EQ(Active(), flutes);
    EXPECT_EQ(win::GetChildWindows(client), (std::vector<win::Hwnd>{flutes, oboes}));
    ASSERT_TRUE(m_host->CloseFront());
    EXPECT_FALSE(win::IsWindow(flutes));
    EXPECT_EQ(Active(), oboes);
    EXPECT_EQ(m_host->Windows().WindowOf(1), oboes);
}

// A program that activates a document window (WM_MDIACTIVATE to the MDI client) brings its
// document to the front, as the host's Window menu does.
TEST_F(DocumentWindowsTest, ActivatingADocumentWindowBringsItsDocumentToTheFront) {
    Add("flutes");
    Add("oboes");
    const win::Hwnd flutes = m_host->Windows().WindowOf(1);
    win::SendMessage(m_host->Windows().MdiClient(), win::WM_MDIACTIVATE, static_cast<uintptr_t>(flutes));
    EXPECT_EQ(m_host->FrontNumber(), 1);
    EXPECT_EQ(Active(), flutes);
    EXPECT_EQ(win::GetWindowText(m_host->MainWindow()), "Finale 2000 - [flutes]");
    // The window in front already, and a window that is no document's, change nothing.
    win::SendMessage(m_host->Windows().MdiClient(), win::WM_MDIACTIVATE, static_cast<uintptr_t>(flutes));
    win::SendMessage(m_host->Windows().MdiClient(), win::WM_MDIACTIVATE, static_cast<uintptr_t>(m_host->MainWindow()));
    EXPECT_EQ(m_host->FrontNumber(), 1);
}

TEST_F(DocumentWindowsTest, TheViewsControlsAndThePageField) {
    Add("score");
    const win::Hwnd pageMark = Control(1, host::kViewControlsPaneId, host::kPageViewMarkId);
    const win::Hwnd scrollBar = Control(1, host::kScrollPaneId, host::kMeasureScrollBarId);
    const win::Hwnd pane = win::GetDlgItem(m_host->Windows().WindowOf(1), host::kViewControlsPaneId);
    EXPECT_FALSE(win::IsWindowVisible(pageMark));
    EXPECT_EQ(win::SendMessage(scrollBar, win::SBM_GETPOS), 1);
    EXPECT_TRUE(m_host->Windows().ScrollToMeasure(12));
    EXPECT_EQ(win::SendMessage(scrollBar, win::SBM_GETPOS), 12);
    m_host->RunCommandId(host::kCommandPageView);
    EXPECT_TRUE(win::IsWindowVisible(pageMark));
    EXPECT_EQ(win::SendMessage(scrollBar, win::SBM_GETPOS), 0);
    EXPECT_EQ(ReadValue(pane, host::kPageFieldId, 3), 1);
    EXPECT_FALSE(m_host->Windows().ShowPage(2));           // a document without pages has one
    EXPECT_EQ(ReadValue(pane, host::kPageFieldId, 1), 0);  // no other kind of value
    EXPECT_EQ(ReadValue(pane, 1004, 3), 0);                // no such control
    EXPECT_EQ(ReadValue(m_host->MainWindow(), host::kPageFieldId, 3), 0);
    m_host->RunCommandId(host::kCommandScrollView);
    EXPECT_EQ(win::SendMessage(scrollBar, win::SBM_GETPOS), 12);  // back where it was
}

TEST_F(DocumentWindowsTest, TheSpeedyEntryToolShowsItsWindowInTheView) {
    Add("score");
    const auto speedy = [this](int32_t document) {
        const win::Hwnd view = win::GetDlgItem(m_host->Windows().WindowOf(document), 59648);
        return win::FindWindowEx(view, win::kNoWindow, "FinSpeedy");
    };
    EXPECT_EQ(speedy(1), win::kNoWindow);
    m_host->RunCommandId(m_host->FindMenuCommand("Tools/Speedy Entry Tool"));
    EXPECT_NE(speedy(1), win::kNoWindow);
    Add("second");  // the tool is the host's, for every document
    EXPECT_NE(speedy(2), win::kNoWindow);
    m_host->RunCommandId(m_host->FindMenuCommand("Tools/Selection Tool"));
    EXPECT_EQ(speedy(1), win::kNoWindow);
    EXPECT_EQ(speedy(2), win::kNoWindow);
}

TEST_F(DocumentWindowsTest, BeforeTheYear2000TheViewIsChild50) {
    m_host->SetRawVersion(0x04800000);  // Finale 1998
    Add("score");
    EXPECT_NE(win::GetDlgItem(m_host->Windows().WindowOf(1), 50), win::kNoWindow);
    EXPECT_EQ(win::GetDlgItem(m_host->Windows().WindowOf(1), 59648), win::kNoWindow);
}

TEST_F(DocumentWindowsTest, TheWindowList) {
    Add("flutes");
    Add("oboes");
    m_host->Windows().ShowPage(1);
    const win::Hwnd tool = win::CreateWindow({.className = "TTool", .title = "Tool", .owner = m_host->MainWindow()});
    win::SetWindowPos(tool, win::HWND_TOPMOST, 10, 20, 200, 100, 0);
    testsupport::ExpectLines(
        {
            "windows, front first:",
            "  \"Tool\" TTool, 200 x 100 at 10,20, always on top, owned by the host, active",
            "  \"Finale 2000 - [oboes]\" Finale",
            "    document 2 \"oboes\": page view, page 1, in front",
            "    document 1 \"flutes\": scroll view from measure 1",
            "focus: \"Tool\" TTool",
        },
        host::WindowListLines(*m_host));
}

}  // namespace
