// The options dialog as a window of the host: it collapses to its caption when the host is
// activated and comes back when it is activated itself (VxForm's window procedure through
// Lumvar2000), and Alt with a letter presses the control whose caption has that accelerator.
#include <gtest/gtest.h>

#include <string>

#include "core/commands.h"
#include "core/module.h"
#include "core/tool_items.h"
#include "forms/vxform.h"
#include "platform/win/input.h"
#include "service/preferences.h"
#include "tests/forms/action_dialog_fixture.h"

namespace {

using namespace orvex;
using testsupport::ActionDialogTest;
using Kind = win::FormAction::Kind;

/// Item 2 ("Remove extraneous beat chart elements"), code 102: row 0 "Maximum deviation per
/// thousand:" (50), row 1 a check box.
constexpr ToolItem kTool = ToolItem::RemoveBeatChartElements;
constexpr int32_t kItem = ItemNumber(kTool);
constexpr int32_t kCollapsedHeight = 24;  // two dialog frames of 3 and a caption button of 18

class DialogWindowTest : public ActionDialogTest {
protected:
    void SetUp() override {
        ActionDialogTest::SetUp();
        Handle(kTool);
        Select(1, 2, 1, 2);
    }
    /// Chooses the command; its dialog stays open (the first command binds Lumvar2000).
    TDActOpt& Open() {
        Invoke(static_cast<int16_t>(FindCommandIndex(ToolCode(kTool))));
        EXPECT_EQ(TheModule.dispatch.ModelessFormList.size(), 1u);
        return *dynamic_cast<TDActOpt*>(TheModule.dispatch.ModelessFormList.back());
    }
    void Press(uint16_t key, bool alt) {
        win::QueueUserKey(key, false, false, alt);
        win::RunMessageLoop();
    }
    win::Hwnd HostWindow() const { return m_host->MainWindow(); }
};

TEST_F(DialogWindowTest, ItCollapsesWhileTheHostIsActiveAndComesBack) {
    TDActOpt& dialog = Open();
    ASSERT_TRUE(dialog.Active());
    const int32_t width = dialog.Width();
    const int32_t height = dialog.Height();
    win::SetForegroundWindow(HostWindow());  // the user clicks the score
    EXPECT_FALSE(dialog.Active());
    EXPECT_EQ(dialog.Height(), kCollapsedHeight);
    EXPECT_EQ(dialog.Width(), width);
    EXPECT_TRUE(dialog.Visible());
    win::SetForegroundWindow(dialog.Handle());  // and the dialog's caption
    EXPECT_EQ(dialog.Height(), height);
}

struct CollapseCase {
    const char* name;
    const char* choice;  ///< "Collapse when inactive"
    int16_t preference;  ///< Lumvar2000's "Collapse window when losing focus"
    bool collapses;
};

class DialogCollapseTest : public DialogWindowTest, public ::testing::WithParamInterface<CollapseCase> {};

TEST_P(DialogCollapseTest, TheAfterGoChoiceAndLumvarsPreferenceDecide) {
    Queue(Kind::Set, "cbCollapse", GetParam().choice);
    TDActOpt& dialog = Open();
    lumvar::SetCollapsePreference(GetParam().preference);
    const int32_t height = dialog.Height();
    win::SetForegroundWindow(HostWindow());
    EXPECT_EQ(dialog.Height(), GetParam().collapses ? kCollapsedHeight : height);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Choices, DialogCollapseTest, ::testing::Values(
    CollapseCase{"GreyedFollowsThePreference", "greyed", 1, true},
    CollapseCase{"GreyedWithThePreferenceOff", "greyed", 0, false},
    CollapseCase{"CheckedCollapsesAlways", "checked", 0, true},
    CollapseCase{"UncheckedNever", "unchecked", 1, false}),
    [](const ::testing::TestParamInfo<CollapseCase>& testCase) { return std::string(testCase.param.name); });
// clang-format on

TEST_F(DialogWindowTest, AltAndALetterPressTheControlOfThatAccelerator) {
    Queue(Kind::Set, "Row0", "77");
    TDActOpt& dialog = Open();
    ASSERT_EQ(dialog.RowControl(0)->Text(), "77");
    Press('D', true);  // "&Defaults"
    EXPECT_EQ(dialog.RowControl(0)->Text(), "50");
    EXPECT_EQ(m_runs, 0);
    win::ClearTranscript();
    Press('Q', true);  // no control has it: the system beeps
    EXPECT_EQ(win::TranscriptLines(), std::vector<std::string>{"[beep] default"});
    Press('G', true);  // "&Go" runs the tool; Alt was held at Go, so the dialog closes after it
    EXPECT_EQ(m_runs, 1);
    EXPECT_FALSE(dialog.Visible());
}

TEST_F(DialogWindowTest, KeysWithoutAltStayKeys) {
    TDActOpt& dialog = Open();
    win::ClearTranscript();
    Press('D', false);
    EXPECT_TRUE(win::TranscriptLines().empty());
    EXPECT_TRUE(dialog.Visible());
    EXPECT_EQ(m_runs, 0);
}

TEST(VxFormCaseTest, LettersOfTheCodePageChangeCase) {
    EXPECT_EQ(VxUpperCase('d'), 'D');
    EXPECT_EQ(VxLowerCase('D'), 'd');
    EXPECT_EQ(VxUpperCase('\xE4'), '\xC4');  // ä
    EXPECT_EQ(VxLowerCase('\xDC'), '\xFC');  // Ü
    EXPECT_EQ(VxUpperCase('\xFF'), '\x9F');  // ÿ
    EXPECT_EQ(VxLowerCase('\x8A'), '\x9A');  // Š
    EXPECT_EQ(VxUpperCase('\xF7'), '\xF7');  // ÷ has no case
    EXPECT_EQ(VxUpperCase('7'), '7');
}

}  // namespace
