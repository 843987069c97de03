// The values of the action options dialog: reading and writing one row's control, the
// remembered state in the registry, Defaults, values the caller supplies, the further options,
// the rows' visibility and the result list of the search tools.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/host/finxess.h"
#include "core/host/host_imports.h"
#include "core/host/staff_lists.h"
#include "core/tool_items.h"
#include "expressions/charset.h"
#include "forms/dxfcheckbox.h"
#include "forms/myedit.h"
#include "platform/win/clipboard.h"
#include "tests/forms/action_dialog_fixture.h"
#include "tests/tools/notes_fixture.h"
#include "tools/layout/beat_spacing.h"
#include "tools/layout/explosion/explosion.h"

namespace {

using namespace orvex;
using testsupport::ActionDialogTest;
using Kind = win::FormAction::Kind;

/// The remembered state of item 2 as the dialog writes it: the three "After Go:" boxes
/// (components 9-11), the number of row 0 (18) and the check box of row 1 (19).
std::string ItemTwoState(const std::string& number, const std::string& box, const std::string& autoClose = "0") {
    return "T.T.P200,120S439,157:9:2:10:" + autoClose + ":11:2:18:" + number + ":19:" + box;
}

class DialogValuesTest : public ActionDialogTest {
protected:
    std::shared_ptr<TFMisc> m_context = InitToolContext();
    std::shared_ptr<TFMisc> m_second = InitToolContext();

    static TdxfCheckBox* Box(TDActOpt& dialog, int32_t row) {
        return dynamic_cast<TdxfCheckBox*>(dialog.RowControl(row));
    }
    static TMyEdit* Edit(TDActOpt& dialog, int32_t row) { return dynamic_cast<TMyEdit*>(dialog.RowControl(row)); }

    void UseHostUnit(uint8_t unit) {
        std::array<uint8_t, 61> preferences{};
        preferences[30] = unit;
        ASSERT_TRUE(SaveGlobalRecord(hostapi::MakeTag("pfgp"), 0, preferences.data(), 61));
    }
};

// ---- One control ----

TEST_F(DialogValuesTest, NumbersAreClampedAndTextThatIsNoNumberReadsAsTheRowsValue) {
    TDActOpt& dialog = Build(2, m_context.get());  // row 0: 0..1000, 50
    struct Case {
        const char* typed;
        int32_t value;
    };
    const Case cases[] = {{"77", 77}, {"1000", 1000}, {"5000", 1000}, {"-3", 0}, {"abc", 50}, {"", 50}, {"7.5", 50}};
    for (const Case& c : cases) {
        Edit(dialog, 0)->SetText(c.typed);
        OptionElement element;
        ReadOptionControl(dialog, *dialog.RowControl(0), 0, element);
        EXPECT_EQ(element.value, c.value) << "typed \"" << c.typed << "\"";
    }
    OptionElement box;
    ReadOptionControl(dialog, *dialog.RowControl(1), 1, box);
    EXPECT_EQ(box.value, 1);
}

TEST_F(DialogValuesTest, WrittenNumbersAreClampedAndTheClampedValueGoesBack) {
    TDActOpt& dialog = Build(2, m_context.get());
    OptionElement element{"", 5000};
    WriteOptionControl(dialog, *dialog.RowControl(0), 0, element);
    EXPECT_EQ(element.value, 1000);
    EXPECT_EQ(dialog.RowControl(0)->Text(), "1000");
    OptionElement off{"", 0};
    WriteOptionControl(dialog, *dialog.RowControl(1), 1, off);
    EXPECT_FALSE(Box(dialog, 1)->Checked());
}

// A length typed in inches is stored as EVPU (288 to the inch), not read as a plain integer.
TEST_F(DialogValuesTest, LengthTypedInTheHostUnitIsReadAsEvpu) {
    UseHostUnit(2);
    TDActOpt& dialog = Build(0, m_context.get());  // row 1: -1000..1000 EVPU
    struct Case {
        const char* typed;
        int32_t evpu;
    };
    const Case cases[] = {{"1", 288}, {"-0.5", -144}, {"+0.25", 72}, {"10", 1000}, {"inch", 85}};
    for (const Case& c : cases) {
        Edit(dialog, 1)->SetText(c.typed);
        OptionElement element;
        ReadOptionControl(dialog, *dialog.RowControl(1), 1, element);
        EXPECT_EQ(element.value, c.evpu) << "typed \"" << c.typed << "\"";
    }
    OptionElement element{"", 100};
    WriteOptionControl(dialog, *dialog.RowControl(1), 1, element);
    EXPECT_EQ(dialog.RowControl(1)->Text(), "0.347");
}

TEST_F(DialogValuesTest, LengthInEvpuIsReadWithTheBlanksAroundIt) {
    UseHostUnit(1);
    TDActOpt& dialog = Build(0, m_context.get());
    Edit(dialog, 1)->SetText(" 60 ");
    OptionElement element;
    ReadOptionControl(dialog, *dialog.RowControl(1), 1, element);
    EXPECT_EQ(element.value, 60);
}

TEST_F(DialogValuesTest, PitchNamesCountTheirFurtherSharpsAndFlats) {
    struct Case {
        const char* name;
        int32_t adjustment;
    };
    // The host reads one sharp or flat; every further one is counted here.
    const Case cases[] = {{"C4", 0},    {"C#4", 0},    {"C##4", 1}, {"C###4", 2}, {"Cbb4", -1},
                          {"Bbb3", -1}, {"Bbbb3", -2}, {"bb3", 0},  {"", 0}};
    for (const Case& c : cases) {
        EXPECT_EQ(PitchNameAdjustment(c.name), c.adjustment) << c.name;
    }
}

// ---- The remembered state ----

TEST_F(DialogValuesTest, ValuesGoFromTheDialogToTheRegistryToANewDialogToTheToolContext) {
    TDActOpt& dialog = Build(2, m_context.get());
    Queue(Kind::Set, "Maximum deviation per thousand:", "77");
    Queue(Kind::Click, "Row1");
    dialog.Show();
    ActionDialog_StoreValues(dialog, 2, m_context->Options, m_context->MoreOptions, &m_context->OptionPairs, 1);
    EXPECT_EQ(m_context->Options[REMOVE_BEAT_ELEMENTS_TOLERANCE].value, 77);
    EXPECT_EQ(m_context->Options[REMOVE_BEAT_ELEMENTS_REFRESH].value, 0);
    EXPECT_EQ(Stored("DActOptRemExBCEls"), ItemTwoState("77", "0"));

    TFMisc* next = m_second.get();
    TDActOpt& again = Build(2, next);
    EXPECT_EQ(again.RowControl(0)->Text(), "77");
    EXPECT_FALSE(Box(again, 1)->Checked());
    ActionDialog_StoreValues(again, 2, next->Options, next->MoreOptions, &next->OptionPairs, 1);
    EXPECT_EQ(next->Options[REMOVE_BEAT_ELEMENTS_TOLERANCE].value, 77);
    EXPECT_EQ(next->Options[REMOVE_BEAT_ELEMENTS_REFRESH].value, 0);
}

TEST_F(DialogValuesTest, ADialogThatWasNotShownRemembersNothing) {
    TDActOpt& dialog = Build(2, m_context.get());
    ActionDialog_StoreValues(dialog, 2, m_context->Options, m_context->MoreOptions, &m_context->OptionPairs, 1);
    EXPECT_EQ(m_context->Options[REMOVE_BEAT_ELEMENTS_TOLERANCE].value, 50);
    EXPECT_EQ(Stored("DActOptRemExBCEls"), "(none)");
}

TEST_F(DialogValuesTest, StoredNumberOutOfRangeBringsBackTheDefaultsOfTheWholeDialog) {
    Store("DActOptRemExBCEls", ItemTwoState("5000", "0"));
    TDActOpt& dialog = Build(2, m_context.get());
    EXPECT_EQ(dialog.RowControl(0)->Text(), "50");
    EXPECT_TRUE(Box(dialog, 1)->Checked());
    // Within the limits the stored state holds.
    Store("DActOptRemExBCEls", ItemTwoState("1000", "0"));
    TDActOpt& valid = Build(2, m_context.get());
    EXPECT_EQ(valid.RowControl(0)->Text(), "1000");
    EXPECT_FALSE(Box(valid, 1)->Checked());
}

TEST_F(DialogValuesTest, DefaultsRestoreTheInitialValuesAndKeepTheAfterGoChoices) {
    Store("DActOptRemExBCEls", ItemTwoState("77", "0", "1"));
    TDActOpt& dialog = Build(2, m_context.get());
    ASSERT_EQ(dialog.RowControl(0)->Text(), "77");
    ASSERT_TRUE(dialog.cbAutoClose->Checked());
    dialog.cbCollapse->SetState(vcl::cbChecked);
    Queue(Kind::Click, "DefaultBtn");
    dialog.Show();
    EXPECT_EQ(dialog.RowControl(0)->Text(), "50");
    EXPECT_TRUE(Box(dialog, 1)->Checked());
    EXPECT_TRUE(dialog.cbAutoClose->Checked());
    EXPECT_EQ(dialog.cbCollapse->State(), vcl::cbChecked);
    EXPECT_EQ(dialog.cbInactivate->State(), vcl::cbGrayed);
}

TEST_F(DialogValuesTest, TextsWithTheStateSeparatorsSurviveTheRememberedState) {
    TDActOpt& dialog = Build(37, m_context.get());  // rows 2 and 3: column separator, decimal point
    Queue(Kind::Set, "Column separator:", ":");
    Queue(Kind::Set, "Decimal point character:", ".:.");
    dialog.Show();
    ActionDialog_StoreValues(dialog, 37, m_context->Options, m_context->MoreOptions, nullptr, 1);
    TDActOpt& again = Build(37, m_context.get());
    EXPECT_EQ(again.RowControl(2)->Text(), ":");
    EXPECT_EQ(again.RowControl(3)->Text(), ".:.");
    EXPECT_EQ(again.RowControl(0)->Text(), "export.txt");
}

// The character sets of item 30 are the two extra strings of the state; a "." in them does not
// cut the state.
TEST_F(DialogValuesTest, FixedWidthEditsAreTheExtraStrings) {
    TDActOpt& dialog = Build(30, m_context.get());
    EXPECT_EQ(dialog.GetExtraInt(-1), 2);
    EXPECT_EQ(dialog.GetExtraInt(0), 0);
    EXPECT_EQ(dialog.GetExtraString(2), dialog.RowControl(1)->Text());
    Queue(Kind::Set, "Row0", "a.b");
    Queue(Kind::Set, "to:", "c:d.");
    dialog.Show();
    ActionDialog_StoreValues(dialog, 30, m_context->Options, m_context->MoreOptions, nullptr, 1);
    EXPECT_EQ(m_context->Options[CHARSET_SOURCE].text, "a.b");
    TDActOpt& again = Build(30, m_context.get());
    EXPECT_EQ(again.RowControl(0)->Text(), "a.b");
    EXPECT_EQ(again.RowControl(1)->Text(), "c:d.");
    // A dialog without fixed-width edits has empty extras and ignores stored ones.
    TDActOpt& other = Build(2, m_context.get());
    EXPECT_EQ(other.GetExtraString(1), "");
    other.SetExtraString(1, "x");
    EXPECT_EQ(other.GetExtraString(1), "");
}

// ---- Values the caller supplies ----

TEST_F(DialogValuesTest, SuppliedValuesAreShownForOneRunAndNeitherStoredNorKept) {
    Store("DActOptRemExBCEls", ItemTwoState("77", "1"));
    OptionArray supplied{};
    supplied[REMOVE_BEAT_ELEMENTS_TOLERANCE].value = 300;
    supplied[REMOVE_BEAT_ELEMENTS_REFRESH].value = 0;
    TDActOpt& dialog = Build(2, m_context.get(), 1, &supplied);
    EXPECT_EQ(dialog.RowControl(0)->Text(), "300");
    EXPECT_FALSE(Box(dialog, 1)->Checked());
    EXPECT_EQ(ActionControlTable()[2][0].value1, 50);
    dialog.Show();
    ActionDialog_StoreValues(dialog, 2, m_context->Options, m_context->MoreOptions, nullptr, 1);
    EXPECT_EQ(m_context->Options[REMOVE_BEAT_ELEMENTS_TOLERANCE].value, 300);
    EXPECT_EQ(Stored("DActOptRemExBCEls"), ItemTwoState("77", "1"));
    // Defaults are the table's, not the supplied values.
    dialog.DefaultBtnClick(&dialog);
    EXPECT_EQ(dialog.RowControl(0)->Text(), "50");
    EXPECT_EQ(Stored("DActOptRemExBCEls"), ItemTwoState("77", "1"));
}

// ---- Further options ----

TEST_F(DialogValuesTest, FurtherOptionsAreStoredWithTheDialogsValues) {
    TDActOpt& dialog = Build(0, m_context.get());  // further: item 10, "Parentheses..."
    ActionDialog_StoreValues(dialog, 0, m_context->Options, m_further, nullptr, 1);
    EXPECT_EQ(m_furtherStore[0].value, 12);
    EXPECT_EQ(m_furtherStore[1].text, "Times New Roman");
    EXPECT_EQ(m_furtherStore[2].value, 18);
    EXPECT_EQ(m_furtherStore[5].value, -25);
    // An item without further options leaves the destination alone.
    m_furtherStore = {};
    TDActOpt& plain = Build(2, m_context.get());
    ActionDialog_StoreValues(plain, 2, m_context->Options, m_further, nullptr, 1);
    EXPECT_EQ(m_furtherStore[0].value, 0);
}

TEST_F(DialogValuesTest, FurtherOptionsButtonShowsTheFurtherDialogModally) {
    TDActOpt& dialog = Build(0, m_context.get());
    Queue(Kind::Click, "SubMask1");
    Queue(Kind::Set, "Font size:", "24");
    Queue(Kind::Click, "OKBtn");
    dialog.cbCollapse->SetState(vcl::cbUnchecked);
    dialog.Show();
    EXPECT_EQ(m_furtherStore[2].value, 24);
    EXPECT_TRUE(dialog.Visible());
    EXPECT_EQ(dialog.CollapseMode(), 0) << "as its unchecked collapse box says again";
    const auto& lines = win::TranscriptLines();
    EXPECT_NE(std::find(lines.begin(), lines.end(), "[form] \"Parentheses 1.88d\" TDActOpt, modal"), lines.end());
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "[form] \"Make parenthesized trill notes 1.88d\" TDActOpt"), 2);
    // The further dialog remembers its values under its own item's name.
    EXPECT_NE(Stored("DActOptParentheses"), "(none)");
}

TEST_F(DialogValuesTest, CancelledFurtherDialogStoresNothing) {
    TDActOpt& dialog = Build(0, m_context.get());
    Queue(Kind::Click, "SubMask1");
    Queue(Kind::Set, "Font size:", "24");
    Queue(Kind::Click, "CancelBtn");
    dialog.cbCollapse->SetState(vcl::cbGrayed);
    dialog.Show();
    EXPECT_EQ(m_furtherStore[2].value, 0);
    EXPECT_EQ(dialog.CollapseMode(), -1) << "as its grayed collapse box says again";
}

// ---- Visibility ----

TEST_F(DialogValuesTest, RowsWithANegativeEntryShowWhileTheBoxIsUnchecked) {
    TDActOpt& dialog = Build(34, m_context.get());  // rows 1-2: -1
    EXPECT_TRUE(Box(dialog, 0)->Checked());
    EXPECT_FALSE(dialog.RowControl(1)->Visible());
    EXPECT_FALSE(dialog.RowLabel(2)->Visible());
    // A click on the caption toggles the box.
    dialog.DummyLabelClick(dialog.RowLabel(0));
    EXPECT_FALSE(Box(dialog, 0)->Checked());
    EXPECT_TRUE(dialog.RowControl(1)->Visible());
    EXPECT_TRUE(dialog.RowLabel(2)->Visible());
}

// Item 9 shows a criterion's priority only when two criteria or more are chosen.
TEST_F(DialogValuesTest, PairedCriteriaShowTheirPrioritiesFromTwoChosenCriteria) {
    TDActOpt& dialog = Build(9, m_context.get());
    auto visible = [&] {
        return std::vector<bool>{dialog.RowControl(1)->Visible(), dialog.RowControl(3)->Visible(),
                                 dialog.RowControl(5)->Visible()};
    };
    EXPECT_EQ(visible(), (std::vector<bool>{false, false, false}));
    Box(dialog, 0)->Click();
    EXPECT_EQ(visible(), (std::vector<bool>{false, false, false}));
    EXPECT_FALSE(IsOptionChecked(dialog, 0));
    Box(dialog, 4)->Click();
    EXPECT_EQ(visible(), (std::vector<bool>{true, false, true}));
    EXPECT_TRUE(IsOptionChecked(dialog, 0));
    EXPECT_FALSE(IsOptionChecked(dialog, 2));
}

TEST_F(DialogValuesTest, ConditionsOnRowsThatAreNoCheckBoxesSayNothing) {
    TDActOpt& dialog = Build(1, m_context.get());  // row 5 is a number, row 0 a box (off)
    EXPECT_TRUE(VisibilityHolds(dialog, 6));
    EXPECT_TRUE(VisibilityHolds(dialog, 30));  // no row 29
    EXPECT_FALSE(VisibilityHolds(dialog, 1));
    EXPECT_TRUE(VisibilityHolds(dialog, -1));
    EXPECT_FALSE(VisibilityHolds(dialog, 601));  // row 5 says nothing, row 0 is off
}

// Entry 906 of item 75: rows 5 and 8 both checked.
TEST_F(DialogValuesTest, TwoConditionsMustBothHold) {
    TDActOpt& dialog = Build(75, m_context.get());
    EXPECT_FALSE(dialog.RowControl(9)->Visible());
    Box(dialog, 5)->Click();
    EXPECT_TRUE(dialog.RowControl(9)->Visible());  // row 8 is on by default
    Box(dialog, 8)->Click();
    EXPECT_FALSE(dialog.RowControl(9)->Visible());
}

// ---- Radio groups and lists ----

TEST_F(DialogValuesTest, RadioGroupsStoreTheirItemIndex) {
    TDActOpt& dialog = Build(4, m_context.get());
    Queue(Kind::Set, "Add after:", "beginning");
    dialog.Show();
    ActionDialog_StoreValues(dialog, 4, m_context->Options, m_context->MoreOptions, nullptr, 1);
    EXPECT_EQ(m_context->Options[ADD_SPACE_PLACE].value, 0);
    OptionArray values{};
    values[ADD_SPACE_PLACE].value = 1;
    ActionDialog_ApplyValues(dialog, 4, values, {}, nullptr, 1);
    EXPECT_EQ(dynamic_cast<vcl::TRadioGroup*>(dialog.RowControl(2))->ItemIndex(), 1);
}

TEST_F(DialogValuesTest, StaffListShowsTheDocumentsStavesAndItsChoiceGoesToTheContext) {
    TDActOpt& dialog = Build(35, m_context.get());
    EXPECT_EQ(dialog.ListControl()->Items().Items(), (std::vector<std::string>{"Flute", "Cello"}));
    Queue(Kind::Set, "Multi-part staff selection:", "+1");
    dialog.Show();
    ActionDialog_StoreValues(dialog, 35, m_context->Options, m_context->MoreOptions, nullptr, 1);
    EXPECT_EQ(m_context->ChosenItems, (std::vector<int32_t>{0, 1}));
    // The list row stores nothing in its element.
    EXPECT_EQ(m_context->Options[kOptStaffList].value, 0);
    EXPECT_EQ(m_context->Options[kOptUnisonInDoubt].value, 1);
}

TEST_F(DialogValuesTest, ResultListCollectsTheSearchToolsLinesAndShowsAMeasure) {
    TDActOpt& dialog = Build(63, m_context.get());
    m_context->OptionsForm = &dialog;
    AddResultLine(*m_context, "Measure 3-4: notes");
    AddResultLine(*m_context, "Measure 12: clef");
    EXPECT_EQ(m_context->ResultLineCount, 2);
    EXPECT_EQ(dialog.ListControl()->Items().Items(),
              (std::vector<std::string>{"Measure 3-4: notes", "Measure 12: clef"}));
    Queue(Kind::Set, "Row0", "+1");
    dialog.Show();
    ActionDialog_StoreValues(dialog, 63, m_context->Options, m_context->MoreOptions, nullptr, 1);
    EXPECT_EQ(m_context->ChosenItems, (std::vector<int32_t>{0, 1}));
    win::ClearTranscript();
    dialog.ListControl()->DblClick();
    dialog.ListControl()->SetItemIndex(0);
    dialog.ListControl()->DblClick();
    EXPECT_EQ(win::TranscriptLines(),
              (std::vector<std::string>{"host: bring measure 12 into view", "host: bring measure 3 into view"}));
    ClearResultList(*m_context);
    EXPECT_EQ(m_context->ResultLineCount, 0);
    EXPECT_EQ(dialog.ListControl()->Items().Count(), 0);
    m_context->OptionsForm = nullptr;
}

// ---- Lists that show the document, the clipboard and the file chooser ----

TEST_F(DialogValuesTest, APressOnTheListRefillsItWhenTheDocumentInFrontChanged) {
    TDActOpt& dialog = Build(35, m_context.get());
    Queue(Kind::Set, "Row0", "+1");
    dialog.Show();
    EXPECT_EQ(dialog.ListControl()->ValueText(), "selected 1");
    // Another document comes to the front; the list still shows the first one's staves.
    m_host->AddDocument(host::ParseScoreText("staff \"Oboe\"\nstaff \"Horn\"\nstaff \"Viola\"\nmeasures 1\n", "trio"));
    EXPECT_EQ(dialog.ListControl()->Items().Count(), 2);
    dialog.ListControl()->MouseDown(vcl::mbLeft, 0, 5, 5);
    EXPECT_EQ(dialog.ListControl()->Items().Items(), (std::vector<std::string>{"Oboe", "Horn", "Viola"}));
    EXPECT_EQ(dialog.ListControl()->ValueText(), "nothing selected");
    // Nothing changed since: a press keeps the list and its choice.
    dialog.ListControl()->SetSelected(2, true);
    dialog.RowPanel->MouseDown(vcl::mbLeft, 0, 5, 5);
    dialog.MouseDown(vcl::mbLeft, 0, 5, 5);
    EXPECT_EQ(dialog.ListControl()->ValueText(), "selected 2");
    // A staff gone from the document is noticed too.
    ASSERT_TRUE(DeleteOtherRecord(hostapi::MakeTag("SOIu"), 0, 2));
    dialog.RowPanel->MouseDown(vcl::mbLeft, 0, 5, 5);
    EXPECT_EQ(dialog.ListControl()->Items().Items(), (std::vector<std::string>{"Oboe", "Horn"}));
}

TEST_F(DialogValuesTest, AfterARunThatChangedTheListsTheyAreFilledAgain) {
    Handle(ToolItem::SmartExplosion, [](TFMisc& context) {
        // A run that adds a staff to the document in front says so.
        TInstruments staves(0, nullptr, false);
        EXPECT_TRUE(staves.AddStaff(2, false));
        context.ListsChanged = 1;
        return true;
    });
    Select(1, 2, 1, 1);
    TDActOpt& dialog = Build(35, m_context.get());
    Queue(Kind::Click, "Go");
    dialog.Show();
    EXPECT_EQ(m_runs, 1);
    EXPECT_EQ(dialog.ListControl()->Items().Count(), 3);
    EXPECT_EQ(m_context->ListsChanged, 0);
}

TEST_F(DialogValuesTest, TheFontListIsCopiedToTheClipboard) {
    for (const char* font : {"Maestro", "Times New Roman"}) {
        EXPECT_GE(Imports().FontNumber(font, hostapi::kInterfaceVersion), 0);
    }
    TDActOpt& dialog = Build(39, m_context.get());
    EXPECT_EQ(dialog.ListControl()->Items().Items(), (std::vector<std::string>{"Maestro", "Times New Roman"}));
    EXPECT_EQ(win::ClipboardText(), "Maestro\nTimes New Roman\n");
}

TEST_F(DialogValuesTest, ADoubleClickOnTheFileNameBrowses) {
    std::filesystem::create_directories(TempFolder() / "cues");
    std::ofstream(TempFolder() / "cues" / "reel1.txt") << "Cue: 1M1\n";
    TDActOpt& dialog = Build(59, m_context.get());
    Queue(Kind::DblClick, "Row0");
    win::QueueFormAction("TOpenDialog", {Kind::Set, "FileName", (TempFolder() / "cues" / "reel1").string()});
    win::QueueFormAction("TOpenDialog", {Kind::Click, "Open", ""});
    Queue(Kind::DblClick, "Row0");
    win::QueueFormAction("TOpenDialog", {Kind::Click, "Cancel", ""});
    dialog.Show();
    EXPECT_EQ(dialog.RowControl(0)->Text(), (TempFolder() / "cues" / "reel1.txt").string());
    const auto& lines = win::TranscriptLines();
    const auto shown = std::find(lines.begin(), lines.end(), "[form] \"Select Input File\" TOpenDialog, modal");
    ASSERT_NE(shown, lines.end());
    EXPECT_EQ(*(shown + 2), "  combo box FileType: \"Auricle Cue Text File (*.txt)\"");
    // The second browse starts at the chosen file and is cancelled: the name stays.
    const auto second = std::find(shown + 1, lines.end(), "[form] \"Select Input File\" TOpenDialog, modal");
    ASSERT_NE(second, lines.end());
    EXPECT_EQ(*(second + 1), "  edit FileName: \"reel1.txt\"");
}

ORDINARY_MUSIC_CASES(Dactopt, "tests/forms/ordinary.cases", "dactopt");

}  // namespace
