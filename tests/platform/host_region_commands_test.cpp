// The host's region commands: copy, clear and paste of whole-measure regions with their entry
// detail records, and the keys that drive them (Ctrl+C, Backspace, Ctrl+V and the region dialog).
#include <gtest/gtest.h>

#include <sstream>

#include "apps/hostsim/script.h"
#include "platform/host/cell_dump.h"
#include "platform/host/host.h"
#include "platform/host/region_commands.h"
#include "platform/host/score_text.h"
#include "platform/win/input.h"
#include "platform/win/messages.h"
#include "platform/win/win.h"
#include "platform/win/windows.h"
#include "tests/support/fixture.h"

namespace {

const char* const kTrio = R"(staff "A"
staff "B"
staff "C"
measures 2
notes 1 1 c5+e5/2 d5/2
notes 1 2 e5/1
notes 2 1 a4/1
notes 2 2 b4/1
)";

constexpr hostapi::Tag kDetailTag = hostapi::MakeTag('e', 'd', 'C', 'N');

TEST(RegionCommandsTest, PasteRenumbersEntriesAndCarriesTheirDetailRecords) {
    auto document = host::ParseScoreText(kTrio, "trio");
    const hostapi::EntryNumber first = hostapi::ConstEntryView(document->EntriesOf({1, 1, 0})[0].data()).number();
    document->SaveRecord(host::RecordKey::EntryDetail(kDetailTag, first, 0), host::Bytes{1, 2});
    document->SaveRecord(host::RecordKey::EntryDetail(kDetailTag, first, 1), host::Bytes{3});
    const auto copied = host::CopyRegion(*document, host::WholeMeasureRegion(*document, 1, 1, 1, 2));
    ASSERT_TRUE(copied.has_value());
    const auto pasted = host::PasteRegion(*document, *copied, host::WholeMeasureRegion(*document, 3, 3, 1, 1));
    ASSERT_TRUE(pasted.has_value());
    EXPECT_EQ(pasted->firstStaff(), 3);
    EXPECT_EQ(pasted->lastMeasure(), 2);
    EXPECT_EQ(host::CellListing(*document, {3, 3}, {1, 2}),
              (std::vector<std::string>{
                  "  staff 3, measure 1, layer 1: 2 entries", "    entry 6 at 0, 2048 EDU, beam start: C5 E5",
                  "      noteheads of notes id 513, id 0", "    entry 7 at 2048, 2048 EDU, beam start: D5",
                  "  staff 3, measure 2, layer 1: 1 entry", "    entry 8 at 0, 4096 EDU, beam start: E5"}));
    const host::Bytes* detail = document->Records().Find(host::RecordKey::EntryDetail(kDetailTag, 6, 1));
    ASSERT_NE(detail, nullptr);
    EXPECT_EQ(*detail, host::Bytes{3});
    EXPECT_EQ(document->Records().Find(host::RecordKey::EntryDetail(kDetailTag, 7, 0)), nullptr);

    // Clearing the source takes its entries and their detail records, and nothing of staff 3.
    host::ClearRegion(*document, host::WholeMeasureRegion(*document, 1, 1, 1, 2));
    EXPECT_EQ(host::CellListing(*document, {1, 1}, {1, 2}),
              (std::vector<std::string>{"  staff 1, measure 1: no entries", "  staff 1, measure 2: no entries"}));
    EXPECT_EQ(document->Records().Find(host::RecordKey::EntryDetail(kDetailTag, first, 0)), nullptr);
    EXPECT_NE(document->Records().Find(host::RecordKey::EntryDetail(kDetailTag, 6, 0)), nullptr);
    EXPECT_EQ(document->EntriesOf({3, 2, 0}).size(), 1u);
}

TEST(RegionCommandsTest, PasteOutsideTheDocumentChangesNothing) {
    auto document = host::ParseScoreText(kTrio, "trio");
    const auto copied = host::CopyRegion(*document, host::WholeMeasureRegion(*document, 1, 2, 1, 2));
    ASSERT_TRUE(copied.has_value());
    const host::CellMap before = document->Cells();
    EXPECT_FALSE(host::PasteRegion(*document, *copied, host::WholeMeasureRegion(*document, 4, 4, 1, 1)));
    EXPECT_FALSE(host::PasteRegion(*document, *copied, host::WholeMeasureRegion(*document, 1, 1, 3, 3)));
    EXPECT_EQ(document->Cells(), before);
    // Two staves pasted at staff 3 keep only the one the document has.
    const auto pasted = host::PasteRegion(*document, *copied, host::WholeMeasureRegion(*document, 3, 3, 2, 2));
    ASSERT_TRUE(pasted.has_value());
    EXPECT_EQ(pasted->lastStaff(), 3);
    EXPECT_EQ(pasted->lastMeasure(), 2);
    EXPECT_EQ(host::CellListing(*document, {3, 3}, {2, 2}),
              (std::vector<std::string>{"  staff 3, measure 2, layer 1: 2 entries",
                                        "    entry 6 at 0, 2048 EDU, beam start: C5 E5",
                                        "    entry 7 at 2048, 2048 EDU, beam start: D5"}));
}

class RegionKeysTest : public testsupport::DesktopTest {
protected:
    std::vector<std::string> Run(const std::string& script) {
        const size_t before = win::TranscriptLines().size();
        std::istringstream in(script);
        std::ostringstream errors;
        m_runner->Run(in, "test.script", errors);
        EXPECT_EQ(errors.str(), "");
        const auto& lines = win::TranscriptLines();
        return std::vector<std::string>(lines.begin() + static_cast<std::ptrdiff_t>(before), lines.end());
    }
    void SetUp() override {
        DesktopTest::SetUp();
        m_hostPtr = std::make_unique<host::Host>();
        m_runner = std::make_unique<hostsim::ScriptRunner>(*m_hostPtr, hostsim::ScriptRunner::Settings{});
        m_hostPtr->AddDocument(host::ParseScoreText(kTrio, "trio"));
    }
    void TearDown() override {
        ExpectNothingLeft();
        m_runner.reset();
        m_hostPtr.reset();
        DesktopTest::TearDown();
    }
    std::vector<std::string> Cells(int32_t staff) {
        return host::CellListing(*m_hostPtr->FrontDocument(), {staff, staff}, {1, 2});
    }

    std::unique_ptr<host::Host> m_hostPtr;
    std::unique_ptr<hostsim::ScriptRunner> m_runner;
};

TEST_F(RegionKeysTest, TheRegionDialogSelectsWhatCtrlCBackspaceAndCtrlVWorkOn) {
    // The dialog: staff 2 from measure 1 to staff 2, measure 2; then copy.
    Run("press Alt+E\npress O\npress Tab\npress Tab\npress Tab\npress Home\npress Down\npress Tab\npress 1\n"
        "press Tab\npress Tab\npress Home\npress Down\npress Tab\npress 2\npress Enter\npress Ctrl+C\n");
    const auto& selection = m_hostPtr->Selection();
    ASSERT_TRUE(selection.has_value());
    EXPECT_EQ(selection->firstStaff(), 2);
    EXPECT_EQ(selection->lastStaff(), 2);
    EXPECT_EQ(selection->firstMeasure(), 1);
    EXPECT_EQ(selection->lastMeasure(), 2);
    const std::vector<std::string> source = Cells(2);
    Run("select 1 1-2\npress Backspace\n");
    EXPECT_EQ(Cells(1),
              (std::vector<std::string>{"  staff 1, measure 1: no entries", "  staff 1, measure 2: no entries"}));
    Run("select 3 1\npress Ctrl+V\n");
    EXPECT_EQ(Cells(3), (std::vector<std::string>{
                            "  staff 3, measure 1, layer 1: 1 entry", "    entry 6 at 0, 4096 EDU, beam start: A4",
                            "  staff 3, measure 2, layer 1: 1 entry", "    entry 7 at 0, 4096 EDU, beam start: B4"}));
    EXPECT_EQ(Cells(2), source);
    EXPECT_EQ(m_hostPtr->Selection()->lastMeasure(), 2);  // the paste selects what it pasted
    Run("press Ctrl+A\n");
    EXPECT_EQ(m_hostPtr->Selection()->lastStaff(), 3);
}

TEST_F(RegionKeysTest, ADialogWithoutMeasureNumbersOrEscapedSelectsNothing) {
    Run("select 1 1\npress Alt+E\npress O\npress Tab\npress Tab\npress Tab\npress Tab\npress 2\npress Enter\n"
        "press Alt+E\npress O\npress Tab\npress Tab\npress Tab\npress Tab\npress 2\npress Tab\npress Tab\npress Tab\n"
        "press Tab\npress 2\npress Escape\npress Enter\n");
    EXPECT_EQ(m_hostPtr->Selection()->firstMeasure(), 1);
    EXPECT_EQ(m_hostPtr->Selection()->lastMeasure(), 1);
    // Ctrl+V with nothing copied changes nothing.
    Run("press Ctrl+V\n");
    EXPECT_EQ(Cells(1).size(), 5u);
}

/// The menu loop messages the host's main window was sent, as a call-window hook sees them.
std::vector<std::string>& MenuLoopMessages() {
    static std::vector<std::string> messages;
    return messages;
}

intptr_t MenuLoopWatch(int32_t code, uintptr_t wParam, intptr_t lParam) {
    const auto* info = reinterpret_cast<const win::CallWindowInfo*>(lParam);
    if (info->message == win::WM_ENTERMENULOOP || info->message == win::WM_EXITMENULOOP) {
        MenuLoopMessages().push_back(info->message == win::WM_ENTERMENULOOP ? "enter" : "exit");
    }
    (void)code;
    (void)wParam;
    return 0;
}

// A menu of the host runs its modal loop from the letter that opens it until a command is chosen
// or it closes, and tells its window (WM_ENTERMENULOOP, WM_EXITMENULOOP); while one of its dialogs
// is open the main window is disabled, as a modal dialog's owner is.
TEST_F(RegionKeysTest, MenusTellTheirLoopAndDialogsDisableTheMainWindow) {
    MenuLoopMessages().clear();
    const win::Hhook hook = win::SetWindowsHookEx(win::WH_CALLWNDPROC, MenuLoopWatch, win::kNoModule, 1);
    const win::Hwnd window = m_hostPtr->MainWindow();
    Run("press Alt+F\n");
    EXPECT_EQ(MenuLoopMessages(), std::vector<std::string>{"enter"});
    EXPECT_TRUE(win::IsWindowEnabled(window));
    Run("press Escape\npress Alt+E\n");
    EXPECT_EQ(MenuLoopMessages(), (std::vector<std::string>{"enter", "exit", "enter"}));
    Run("press O\n");  // the region dialog
    EXPECT_EQ(MenuLoopMessages(), (std::vector<std::string>{"enter", "exit", "enter", "exit"}));
    EXPECT_FALSE(win::IsWindowEnabled(window));
    Run("press Escape\n");
    EXPECT_TRUE(win::IsWindowEnabled(window));
    // A letter the menu does not take closes it.
    Run("press Alt+F\npress Z\n");
    EXPECT_EQ(MenuLoopMessages(), (std::vector<std::string>{"enter", "exit", "enter", "exit", "enter", "exit"}));
    Run("press Alt+F\npress P\n");  // the print dialog
    EXPECT_FALSE(win::IsWindowEnabled(window));
    Run("press Enter\n");
    EXPECT_TRUE(win::IsWindowEnabled(window));
    win::UnhookWindowsHookEx(hook);
}

}  // namespace
