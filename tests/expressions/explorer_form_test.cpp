// The explorer form: its filters and usage choices, OK with the metatool assignment, Cancel with
// its question and the stale table, the information form on the first opening, the remembered
// extra state and the German texts.
#include <gtest/gtest.h>

#include <algorithm>

#include "core/host/access_state.h"
#include "core/module.h"
#include "core/startup.h"
#include "expressions/txtexplinfo.h"
#include "platform/win/message_box.h"
#include "platform/win/ui_driver.h"
#include "tests/expressions/explorer_fixture.h"
#include "tests/support/case_names.h"
#include "tests/tools/notes_fixture.h"

namespace {

using namespace orvex;
using exprtest::kExplorerScore;
using exprtest::kTagMetatool;

class ExplorerFormTest : public exprtest::ExplorerTest {
protected:
    /// The user changes the text of the expression in row `row` of the one-dimensional layout.
    void ChangeText(int32_t row, const std::string& text) {
        Editor().ClickCell(1, row);
        m_form->Grid->PressKey(win::VK_F2);
        Type(text);
        Editor().HideEditor();
    }
};

TEST_F(ExplorerFormTest, TextualAndMusicalAreNeverBothOff) {
    // A fourth expression in Maestro, a music font.
    TTextExprForm& form = Show(std::string(kExplorerScore) + "font 4 \"Maestro\"\nexpression 4 \"p\" font 4\n", true);
    form.xMusical->SetChecked(false);
    EXPECT_TRUE(form.xTextual->Checked());
    EXPECT_EQ(form.State().ShownCount, 3);
    form.xTextual->SetChecked(false);
    EXPECT_TRUE(form.xMusical->Checked());
    EXPECT_EQ(form.State().ShownCount, 1);
}

TEST_F(ExplorerFormTest, TypingASearchTextFiltersAtOnce) {
    TTextExprForm& form = Show(kExplorerScore, true);
    EXPECT_EQ(form.State().ShownCount, 3);
    form.xSearchText->SetText("XYZ");  // nothing found: the first cell is the empty slot
    EXPECT_FALSE(form.DrawCell().Setup(1, 1, false, true));
    EXPECT_EQ(std::make_pair(form.State().ShownCount, form.DrawCell().Index), std::make_pair(0, 3));
    form.xSearchText->SetText("PIZ");
    EXPECT_TRUE(form.xSearch->Checked());
    EXPECT_EQ(form.State().ShownCount, 1);
    ASSERT_TRUE(form.DrawCell().Setup(1, 1, false, true));
    EXPECT_EQ(form.DrawCell().Index, 1);
    EXPECT_FALSE(form.DrawCell().Setup(1, 3, false, true));  // past the empty slot: no cell
    // One typed into the empty slot shows after the one found; "all" lays out the four again,
    // four items a column, then the slot: (180 - 24) / 37 + 1 = 5 rows.
    form.Grid->SetHeight(180);
    ASSERT_TRUE(form.DrawCell().Setup(1, 2, true, true));
    EXPECT_EQ(form.State().ShownCount, 2);
    form.xAll->Click();
    std::string cells;
    for (int32_t n = 1; n <= 6; ++n) {
        const bool cell = form.DrawCell().Setup((n - 1) / 4 + 1, (n - 1) % 4 + 1, false, true);
        cells += cell ? static_cast<char>('a' + form.DrawCell().Index) : '-';
    }
    EXPECT_EQ(cells, "abcd--");
    EXPECT_EQ(form.Grid->ColCount(), 3);
}

// "display sorted" shows the sorter's order and, switched off, the document's; "Reload now"
// reads the document again (the edit is gone), counts the placements for the usage shown and
// keeps the order.
TEST_F(ExplorerFormTest, DisplaySortedAndReloadKeepTheOrderShown) {
    Show(kExplorerScore, false);
    const auto texts = [this] {
        std::vector<std::string> shown;
        for (int32_t row = 1; m_form->DrawCell().Setup(1, row, false, true); ++row) {
            shown.push_back(m_form->DrawCell().Record->Text);
        }
        return shown;
    };
    m_form->xSorted->SetChecked(true);
    EXPECT_EQ(texts(), (std::vector<std::string>{"arco", "dolce", "pizz."}));
    ChangeText(2, "zart");
    m_form->xUsage->SetItemIndex(0);  // used ones
    m_form->UpdateBtn->Click();
    EXPECT_EQ(texts(), (std::vector<std::string>{"dolce", "pizz."}));
    // Each row as high as its expression's size: 12 points are 16 pixels, 10 points 13; and 4.
    EXPECT_EQ(std::make_pair(m_form->Grid->RowHeights(1), m_form->Grid->RowHeights(2)), std::make_pair(20, 17));
    EXPECT_EQ(m_form->State().ChangedCount, 0);
    m_form->xUsage->SetItemIndex(4);
    EXPECT_EQ(texts(), (std::vector<std::string>{"arco", "dolce", "pizz."}));
    m_form->xSorted->SetChecked(false);
    EXPECT_EQ(texts(), (std::vector<std::string>{"dolce", "pizz.", "arco"}));
}

TEST_F(ExplorerFormTest, UsageChoicesCountFirst) {
    TTextExprForm& form = Show(kExplorerScore, true);
    ASSERT_TRUE(form.State().Drawn);
    EXPECT_FALSE(TextExpressionTable().UsageCounted());
    // Changing the at-least number selects "at least x" and counts the placements first.
    form.xAtLeast->SetText("2");
    EXPECT_EQ(form.xUsage->ItemIndex(), 2);
    EXPECT_TRUE(TextExpressionTable().UsageCounted());
    EXPECT_EQ(Record(0).UsageCount, 2);
    EXPECT_EQ(form.State().ShownCount, 1);
    form.xAtMost->SetText("0");  // 1 to 0: nothing
    EXPECT_EQ(form.xUsage->ItemIndex(), 3);
    EXPECT_EQ(form.State().ShownCount, 0);
    const std::pair<int32_t, int32_t> choices[] = {{0, 2}, {1, 1}, {4, 3}};  // used, unused, any
    for (const auto& [choice, shown] : choices) {
        SCOPED_TRACE(choice);
        form.xUsage->SetItemIndex(choice);
        EXPECT_EQ(form.State().ShownCount, shown);
    }
    form.xUsage->SetItemIndex(1);
    ASSERT_TRUE(form.DrawCell().Setup(1, 1, false, true));
    EXPECT_EQ(form.DrawCell().Index, 2);  // "arco" is placed nowhere
}

TEST_F(ExplorerFormTest, AFormPastTheScreensEdgeMovesToIt) {
    OpenScore(kExplorerScore);
    Make();
    const int32_t left = vcl::Screen->Width() - m_form->Width();  // the right edge on the screen's
    m_form->SetLeft(left);
    m_form->SetTop(vcl::Screen->Height() - m_form->Height() + 1);  // one pixel below it
    m_form->Show();
    EXPECT_EQ(m_form->Left(), left);
    EXPECT_EQ(m_form->Top(), 0);
}

TEST_F(ExplorerFormTest, ChoosingUsedCountsFirst) {
    TTextExprForm& form = Show(kExplorerScore, true);
    form.xUsage->SetItemIndex(0);
    EXPECT_TRUE(TextExpressionTable().UsageCounted());
    EXPECT_EQ(form.State().ShownCount, 2);
}

class ExplorerOkTest : public ExplorerFormTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(ExplorerOkTest, OkWritesBackAndGivesTheKeyToTheSelectedExpression) {
    OpenScore(kExplorerScore);
    TheModule.options.ExplorerMetatoolKey = 'A';
    const std::string cell = GetParam();
    win::QueueFormAction("TTextExprForm", {win::FormAction::Kind::Set, "Grid", cell});
    win::QueueFormAction("TTextExprForm", {win::FormAction::Kind::Click, "OkBtn", ""});
    const int32_t result = RunTextExpressionExplorer();
    const host::RecordKey key = host::RecordKey::Other(kTagMetatool, 'A', 0);
    if (cell == "1,3") {
        EXPECT_EQ(result, 1);
        EXPECT_EQ(StoredWord(key, 0), 3);
        EXPECT_EQ(StoredWord(key, 2), 1);
        EXPECT_EQ(Record(2).MetatoolKey, 'A');
        EXPECT_EQ(Record(0).MetatoolKey, 0);
        // "arco" gave up its key 'B': the old shortcut no longer inserts it.
        EXPECT_EQ(Stored(host::RecordKey::Other(kTagMetatool, 'B', 0)), nullptr);
    } else {
        // The empty slot: nothing to give the key to, nothing written.
        EXPECT_EQ(result, 0);
        EXPECT_EQ(StoredWord(key, 0), 1);
        EXPECT_EQ(Record(0).MetatoolKey, 'A');
        EXPECT_EQ(StoredWord(host::RecordKey::Other(kTagMetatool, 'B', 0), 0), 3);
    }
    EXPECT_EQ(Record(2).Number, 3);
    EXPECT_EQ(StoredText(3), "arco");
}

INSTANTIATE_TEST_SUITE_P(Cells, ExplorerOkTest, ::testing::Values("1,3", "1,4"), testsupport::NameByValue("cell"));

TEST_F(ExplorerFormTest, CancelAfterOneChangeMarksTheTableStale) {
    TTextExprForm& form = Show(kExplorerScore, false);
    ChangeText(1, "dolcissimo");
    form.QuickMode->SetChecked(true);
    Close(false);
    EXPECT_TRUE(Messages().empty());
    EXPECT_FALSE(form.Visible());
    EXPECT_TRUE(TextExpressionTable().Stale());
    EXPECT_EQ(StoredText(1), "dolce");
    // "load only once" reloads a stale table.
    Make();
    EXPECT_TRUE(m_form->QuickMode->Checked());
    EXPECT_EQ(Record(0).Text, "dolce");
}

TEST_F(ExplorerFormTest, CancelAfterTwoChangesAsksFirst) {
    TTextExprForm& form = Show(kExplorerScore, false);
    ChangeText(1, "dolcissimo");
    ChangeText(2, "arco");
    EXPECT_EQ(form.State().ChangedCount, 2);
    win::QueueFormAction("TMsgDlg", {win::FormAction::Kind::Click, "NoBtn", ""});
    form.CancelBtn->Click();
    EXPECT_EQ(Messages(),
              std::vector<std::string>{
                  "You made changes to more than one text expression. Are you sure to cancel all changes?"});
    EXPECT_EQ(form.ModalResult(), vcl::mrNone);
    EXPECT_EQ(Record(0).Text, "dolcissimo");
    win::QueueFormAction("TMsgDlg", {win::FormAction::Kind::Click, "YesBtn", ""});
    form.CancelBtn->Click();
    EXPECT_EQ(form.ModalResult(), vcl::mrCancel);
    EXPECT_TRUE(form.State().Cancelled);
    form.Close();
    EXPECT_EQ(StoredText(1), "dolce");
    EXPECT_FALSE(TextExpressionTable().Written());
}

TEST_F(ExplorerFormTest, TheCloseBoxIsCancel) {
    OpenScore(kExplorerScore);
    TheModule.options.ExplorerMetatoolKey = 'A';
    // The user picks "arco" and closes the explorer by its close box.
    win::QueueFormAction("TTextExprForm", {win::FormAction::Kind::Set, "Grid", "1,3"});
    win::QueueFormAction("TTextExprForm", {win::FormAction::Kind::Close, "", ""});
    EXPECT_EQ(RunTextExpressionExplorer(), 0);
    // The key stays with "dolce", as OK would not have left it.
    const host::RecordKey key = host::RecordKey::Other(kTagMetatool, 'A', 0);
    EXPECT_EQ(StoredWord(key, 0), 1);
    EXPECT_FALSE(TextExpressionTable().Stale());  // nothing was changed

    // An edit closed by the close box is discarded like Cancel's.
    TTextExprForm& form = Show(kExplorerScore, false);
    ChangeText(1, "dolcissimo");
    form.Close();
    EXPECT_FALSE(form.Visible());
    EXPECT_EQ(StoredText(1), "dolce");
    EXPECT_TRUE(TextExpressionTable().Stale());
    EXPECT_FALSE(TextExpressionTable().Written());
}

TEST_F(ExplorerFormTest, FirstOpeningShowsTheInformationOnce) {
    SetInfoLevelKnown(false);
    OpenScore(kExplorerScore);
    for (int32_t opening = 1; opening <= 2; ++opening) {
        SCOPED_TRACE(opening);
        win::ClearTranscript();
        Make();
        m_form->QuickMode->SetChecked(true);
        win::QueueFormAction("TTextExprInfo", {win::FormAction::Kind::Click, "Knew", ""});
        m_form->ShowModal();
        const auto& lines = win::TranscriptLines();
        const bool shown =
            std::find(lines.begin(), lines.end(),
                      "[form] \"Vx Explorer for Text Expresions - Information\" TTextExprInfo, modal") != lines.end();
        EXPECT_EQ(shown, opening == 1);
        if (opening == 1) {
            EXPECT_FALSE(m_form->QuickMode->Checked());  // the information form unchecks it
        }
        win::ClearUiDriver();
    }
    vcl::TRegistry registry;
    registry.OpenKey("Software\\HALVORAN", false);
    EXPECT_EQ(registry.ReadString("InfoLevel"), "1");
}

TEST_F(ExplorerFormTest, SizeStepAndNewFontAreRemembered) {
    TTextExprForm& form = Show(kExplorerScore, true);
    form.xLarger->Click();
    form.xLarger->Click();
    form.SetExtraString(1, "Times New Roman");
    EXPECT_EQ(form.Grid->RowHeights(1), 12 * 36 / 10);
    Close(true);
    Make();
    EXPECT_EQ(m_form->State().SizeStep, 12);
    EXPECT_EQ(m_form->State().NewFontName, "Times New Roman");
}

TEST_F(ExplorerFormTest, ReopeningChangesNothingItRemembers) {
    TTextExprForm& form = Show(kExplorerScore, false);
    const int32_t fontCol = ColumnOf(kKindFont);
    Editor().ClickCell(fontCol, 1);
    Editor().ClickCell(fontCol, 1);
    form.FontBox->UserSet("Times New Roman");          // the list remembers its text
    Editor().ClickCell(ColumnOf(kKindFirstStyle), 2);  // "pizz." bold; the focus stays here
    Close(true);
    ASSERT_EQ(Record(1).Style(), 1);
    Make();
    m_form->Show();
    EXPECT_EQ(m_form->Grid->Col(), ColumnOf(kKindFirstStyle));
    EXPECT_EQ(Record(1).Style(), 1);
    EXPECT_EQ(Record(1).FontNumber(), 2);
    EXPECT_EQ(Record(0).Text, "dolce");
    EXPECT_EQ(m_form->State().ChangedCount, 0);
}

TEST_F(ExplorerFormTest, GermanTexts) {
    OpenScore(kExplorerScore);
    TheAccessLayer.host.language = 1;
    Make();
    m_form->Show();
    EXPECT_EQ(m_form->Caption(), "Explorer für Vortragsbezeichnungen" + TheModule.process.VersionText);
    const vcl::TStrings& columns = m_form->xColCount->Items();
    ASSERT_EQ(columns.Count(), 12);
    EXPECT_EQ(columns[0], "2 Spalten");
    EXPECT_EQ(columns[11], "anpassen");
    EXPECT_EQ(m_form->xSearchText->Items()[6], "(leere Bezeichnungen)");

    std::unique_ptr<TTextExprInfo> info(vcl::Create<TTextExprInfo>(nullptr));
    EXPECT_EQ(info->TextExprInfo->Lines().Count(), 26);
    EXPECT_EQ(info->TextExprInfo->Lines()[0], "");
    info->FormShow(info.get());
    EXPECT_EQ(info->TextExprInfo->Lines().Count(), 20);
    EXPECT_EQ(info->TextExprInfo->Lines()[0], "Willkommen beim Explorer für Vortragsbezeichnungen!");
    EXPECT_EQ(info->Knew->Caption(), "Klar.");
    EXPECT_EQ(info->Caption(), "Vx Explorer for Text Expresions - Information");
}

ORDINARY_MUSIC_CASES(Browser, "tests/expressions/ordinary.cases", "browser");

}  // namespace
