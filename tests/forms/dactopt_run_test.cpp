// Running tools through the action options dialog: the options road with and without a dialog,
// Go in a dialog left open, its OK completed at the next invoke, key-launch overrides, the
// general options at start-up, and dialogs that go away.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/commands.h"
#include "core/general_options.h"
#include "core/hooks.h"
#include "core/host/host_info.h"
#include "core/module.h"
#include "core/tool_items.h"
#include "tests/forms/action_dialog_fixture.h"
#include "tools/layout/beat_spacing.h"

namespace {

using namespace orvex;
using testsupport::ActionDialogTest;
using Kind = win::FormAction::Kind;

/// Item 2 ("Remove extraneous beat chart elements"), code 102.
constexpr ToolItem kTool = ToolItem::RemoveBeatChartElements;
constexpr int32_t kItem = ItemNumber(kTool);
constexpr const char* kStateName = "DActOptRemExBCEls";

std::string ItemTwoState(const std::string& number) {
    return "T.T.P200,120S439,157:9:2:10:0:11:2:18:" + number + ":19:1";
}

/// The general options' state: rows 0-8 are components 25-33; row 6 (the list height) is 31.
std::string GeneralOptionsState(const std::string& listHeight) {
    return "T.T.P200,120S439,311:9:2:10:0:11:2:25:1:26:15:27:20:28:0:29:0:30:1:31:" + listHeight + ":32:0:33:1";
}

class DialogRunTest : public ActionDialogTest {
protected:
    void SetUp() override {
        ActionDialogTest::SetUp();
        Handle(kTool);
        Select(1, 2, 1, 2);
    }
    static int16_t MenuIndexOf(int32_t code) { return static_cast<int16_t>(FindCommandIndex(code)); }
    int16_t InvokeItem() { return Invoke(MenuIndexOf(ToolCode(kTool))); }
    int16_t InvokeItemWithShift() {
        win::SetKeyDown(win::VK_SHIFT, true);
        const int16_t result = InvokeItem();
        win::SetKeyDown(win::VK_SHIFT, false);
        return result;
    }
    static TDActOpt* OpenDialog() {
        return TheModule.dispatch.ModelessFormList.empty()
                   ? nullptr
                   : dynamic_cast<TDActOpt*>(TheModule.dispatch.ModelessFormList.back());
    }
    static bool Shown(const std::string& formLine) {
        const auto& lines = win::TranscriptLines();
        return std::find(lines.begin(), lines.end(), formLine) != lines.end();
    }
    static constexpr const char* kFormLine = "[form] \"Remove extraneous beat chart elements 1.88d\" TDActOpt";
};

TEST_F(DialogRunTest, ShiftRunsOnTheStoredValuesWithoutShowing) {
    Store(kStateName, ItemTwoState("77"));
    EXPECT_EQ(InvokeItemWithShift(), 1);
    ASSERT_EQ(m_runs, 1);
    EXPECT_EQ(m_seen[0][0].value, 77);
    EXPECT_EQ(m_seen[0][1].value, 1);
    EXPECT_FALSE(Shown(kFormLine));
    EXPECT_TRUE(TheModule.dispatch.ModelessFormList.empty());
    EXPECT_EQ(Stored(kStateName), ItemTwoState("77"));
}

TEST_F(DialogRunTest, ChosenToolShowsItsDialogAndGoRunsTheTool) {
    Queue(Kind::Set, "Maximum deviation per thousand:", "60");
    Queue(Kind::Click, "Go");
    // The dialog stays open and owns the run; its Go ran the tool within this call, and the host
    // hears of the change the tool wrote.
    EXPECT_EQ(InvokeItem(), 1);
    ASSERT_EQ(m_runs, 1);
    EXPECT_EQ(m_seen[0][0].value, 60);
    TDActOpt* dialog = OpenDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->Visible());
    EXPECT_TRUE(dialog->Modeless());
    ASSERT_NE(dialog->Context(), nullptr);
    EXPECT_EQ(dialog->Context()->OptionsForm, dialog);
    EXPECT_EQ(dialog->Context()->Options[REMOVE_BEAT_ELEMENTS_TOLERANCE].value, 60);
    EXPECT_EQ(dialog->CancelBtn->Caption(), "&Close");
    EXPECT_FALSE(dialog->Running());
    EXPECT_EQ(Stored(kStateName), ItemTwoState("60"));
    EXPECT_TRUE(Shown(kFormLine));
    const auto& lines = win::TranscriptLines();
    EXPECT_NE(std::find(lines.begin(), lines.end(), "  user: set \"Maximum deviation per thousand:\" \"60\""),
              lines.end());
    // Go again runs the tool again on the same context.
    dialog->OKBtnClick(dialog);
    EXPECT_EQ(m_runs, 2);
}

TEST_F(DialogRunTest, CloseAfterGoFreesTheDialogAndItsContext) {
    Queue(Kind::Click, "cbAutoClose");
    Queue(Kind::Click, "Go");
    InvokeItem();
    EXPECT_EQ(m_runs, 1);
    vcl::Application->ProcessMessages();
    EXPECT_TRUE(TheModule.dispatch.ModelessFormList.empty());
}

TEST_F(DialogRunTest, CancelClosesTheOpenDialogWithoutARun) {
    Queue(Kind::Set, "Maximum deviation per thousand:", "60");
    Queue(Kind::Click, "CancelBtn");
    InvokeItem();
    vcl::Application->ProcessMessages();
    EXPECT_EQ(m_runs, 0);
    EXPECT_TRUE(TheModule.dispatch.ModelessFormList.empty());
    EXPECT_EQ(Stored(kStateName), "(none)");
}

// The pending OK runs at the host's call the timer sends; a command the user chooses before it
// comes is not taken for that call: the pending OK runs first, then the command itself.
TEST_F(DialogRunTest, LeftOpenDialogsOkRunsAtTheTimersInvokeAndBeforeAnotherCommand) {
    InvokeItem();
    TDActOpt* dialog = OpenDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(m_runs, 0);
    dialog->RowControl(0)->SetText("70");
    TheModule.dispatch.PendingOptionsForm = dialog;
    TheModule.dispatch.RepostCode = 120;
    win::SetForegroundWindow(Host().window);
    TNowTimerTick();
    ASSERT_EQ(m_runs, 1);
    EXPECT_EQ(m_seen[0][0].value, 70);
    EXPECT_EQ(TheModule.dispatch.PendingOptionsForm, nullptr);
    EXPECT_EQ(TheModule.dispatch.RepostCode, 0);
    win::RunMessageLoop();  // the host's call that Go asked for does nothing

    dialog->RowControl(0)->SetText("80");
    TheModule.dispatch.PendingOptionsForm = dialog;
    Invoke(MenuIndexOf(CODE_ABOUT));
    ASSERT_EQ(m_runs, 2);
    EXPECT_EQ(m_seen[1][0].value, 80);
    EXPECT_EQ(TheModule.dispatch.PendingOptionsForm, nullptr);
    EXPECT_EQ(OpenDialog(), dialog);
    EXPECT_TRUE(Shown("[form] \"About Orvex 1.88d\" TAboutBox, modal"));
}

TEST_F(DialogRunTest, DestroyedDialogLeavesEveryPlaceThatKnewIt) {
    InvokeItem();
    TDActOpt* dialog = OpenDialog();
    ASSERT_NE(dialog, nullptr);
    TheModule.dispatch.PendingOptionsForm = dialog;
    TheModule.hooks.PrintContext = dialog->Context();
    delete dialog;
    EXPECT_TRUE(TheModule.dispatch.ModelessFormList.empty());
    EXPECT_EQ(TheModule.dispatch.PendingOptionsForm, nullptr);
    EXPECT_EQ(TheModule.hooks.PrintContext, nullptr);
    // The next invoke runs its command as usual.
    win::ClearTranscript();
    Invoke(MenuIndexOf(CODE_ABOUT));
    EXPECT_TRUE(Shown("[form] \"About Orvex 1.88d\" TAboutBox, modal"));
}

TEST_F(DialogRunTest, OverrideArrayChangesOneRunAndLeavesTheStoredValues) {
    Store(kStateName, ItemTwoState("77"));
    OptionArray overrides{};
    overrides[0].value = 300;
    overrides[1].value = 1;
    RunCommand(Host().window, ToolCode(kTool), 0, true, true, &overrides);
    ASSERT_EQ(m_runs, 1);
    EXPECT_EQ(m_seen[0][0].value, 300);
    EXPECT_EQ(Stored(kStateName), ItemTwoState("77"));
    EXPECT_EQ(ActionControlTable()[kItem][0].value1, 50);
    InvokeItemWithShift();
    ASSERT_EQ(m_runs, 2);
    EXPECT_EQ(m_seen[1][0].value, 77);
}

TEST_F(DialogRunTest, ModalDialogStoresItsValuesOnOkOnly) {
    OptionArray options{};
    ExtendedOptionArray more{};
    std::vector<std::pair<int32_t, int32_t>> list;
    Queue(Kind::Set, "Row0", "99");
    Queue(Kind::Click, "OKBtn");
    EXPECT_TRUE(RunToolWithOptions(kItem, 1, options, more, list, true, nullptr, false, false, nullptr));
    EXPECT_EQ(options[REMOVE_BEAT_ELEMENTS_TOLERANCE].value, 99);
    // Without a run from the dialog there is no "After Go:" line: the form is 21 pixels lower.
    EXPECT_EQ(Stored(kStateName), "T.T.P200,120S439,136:9:2:10:0:11:2:18:99:19:1");
    EXPECT_TRUE(Shown("[form] \"Remove extraneous beat chart elements 1.88d\" TDActOpt, modal"));
    OptionArray untouched{};
    Queue(Kind::Set, "Row0", "11");
    Queue(Kind::Click, "CancelBtn");
    EXPECT_FALSE(RunToolWithOptions(kItem, 1, untouched, more, list, true, nullptr, false, false, nullptr));
    EXPECT_EQ(untouched[0].value, 0);
    EXPECT_EQ(m_runs, 0);
}

TEST_F(DialogRunTest, ItemsWithoutOptionsNeedNoDialog) {
    OptionArray options{};
    ExtendedOptionArray more{};
    std::vector<std::pair<int32_t, int32_t>> list;
    EXPECT_TRUE(RunToolWithOptions(ItemNumber(ToolItem::JoinRests), 1, options, more, list, true, nullptr, true, false,
                                   nullptr));
    EXPECT_TRUE(win::TranscriptLines().empty());
}

TEST_F(DialogRunTest, GeneralOptionsComeThroughTheOptionsRoadAtStartUp) {
    EXPECT_EQ(TheModule.process.GeneralOptions[GO_SELECTION_LIST_HEIGHT].value, 205);
    EXPECT_EQ(TheModule.process.GeneralOptions[GO_DYNAMICS_HOTKEY_STEP].value, 15);
    EXPECT_EQ(TheModule.process.GeneralOptions[GO_MENU_ON_MENU_BAR].value, 1);
    m_host.reset();
    Store("DActOptOptions", GeneralOptionsState("300"));
    m_host = std::make_unique<host::Host>((TempFolder() / "Finale" / "FINALE.EXE").string());
    LoadPlugins();
    EXPECT_EQ(TheModule.process.GeneralOptions[GO_SELECTION_LIST_HEIGHT].value, 300);
    EXPECT_EQ(TheModule.process.GeneralOptions[GO_SPACING_HOTKEY_STEP].value, 20);
    // Loading does not rewrite what it read.
    EXPECT_EQ(Stored("DActOptOptions"), GeneralOptionsState("300"));
}

TEST_F(DialogRunTest, StoredGeneralOptionOutOfRangeGivesEveryDefault) {
    m_host.reset();
    Store("DActOptOptions", GeneralOptionsState("5000").replace(48, 4, "0:29"));
    m_host = std::make_unique<host::Host>((TempFolder() / "Finale" / "FINALE.EXE").string());
    LoadPlugins();
    EXPECT_EQ(TheModule.process.GeneralOptions[GO_SELECTION_LIST_HEIGHT].value, 205);
    EXPECT_EQ(TheModule.process.GeneralOptions[GO_AUTO_UPDATE_LAYOUT].value, 1);
}

}  // namespace
