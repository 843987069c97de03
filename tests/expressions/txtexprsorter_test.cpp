// The sorter form and the sort-and-apply run: priorities and visibilities, the texts by mode and
// language, the remembered state per mode, the run's refusals and its question, and the
// dispatcher's roads to it (command code 4, tool item 9) and to the shared table (step 7 of the
// second-level dispatcher).
#include <gtest/gtest.h>

#include <memory>

#include "core/commands.h"
#include "core/dispatch.h"
#include "core/host/access_state.h"
#include "core/module.h"
#include "core/module_exports.h"
#include "core/startup.h"
#include "core/tool_items.h"
#include "expressions/txtexpr.h"
#include "expressions/txtexprsorter.h"
#include "forms/vxform.h"
#include "platform/vcl/registry.h"
#include "platform/win/message_box.h"
#include "platform/win/ui_driver.h"
#include "service/lumvar.h"
#include "service/lumvar_exports.h"
#include "tests/expressions/expressions_fixture.h"
#include "tests/tools/notes_fixture.h"

namespace {

using namespace orvex;
using exprtest::kTagExpression;

/// Twenty expressions "x01" .. "x20" (written in reverse alphabetical order for the even ones);
/// expressions 3, 6, 9, 12 and 15 are not placed.
std::string TwentyExpressions() {
    std::string text = R"(
font 2 "Arial"
staff "Flute"
staff "Oboe"
measures 2
notes 1 1 c5/4 d5/4 e5/4 f5/4
)";
    for (int32_t n = 1; n <= 20; ++n) {
        const std::string name = n % 2 == 0 ? "y" + std::to_string(100 - n) : "x" + std::to_string(10 + n);
        text += "expression " + std::to_string(n) + " \"" + name + "\" font 2\n";
    }
    for (int32_t n = 1; n <= 20; ++n) {
        if (n % 3 == 0 && n <= 15) {
            continue;
        }
        text += n % 2 == 0 ? "measureexpression 2 " + std::to_string(n) + "\n"
                           : "noteexpression 1 1:" + std::to_string(1 + n % 4) + " " + std::to_string(n) + "\n";
    }
    return text;
}

class SorterFormTest : public exprtest::ExpressionsTest {
protected:
    std::unique_ptr<TTextExprSorter> MakeForm() {
        return std::unique_ptr<TTextExprSorter>(vcl::Create<TTextExprSorter>(nullptr));
    }
    std::vector<std::string> Priorities(const TTextExprSorter& form) {
        return {form.FamPriority->Text(), form.SizePriority->Text(), form.StylePriority->Text()};
    }
};

TEST_F(SorterFormTest, DesignedDefaults) {
    OpenScore("staff \"Flute\"\nmeasures 1\n");
    auto form = MakeForm();
    EXPECT_EQ(form->Name(), "TextExprSorter");
    EXPECT_TRUE(form->ShowDeleteMark());
    EXPECT_EQ(form->Mode(), kSorterApplyMode);
    EXPECT_EQ(Priorities(*form), (std::vector<std::string>{"1", "2", "3"}));
    EXPECT_FALSE(form->SepFamilies->Checked());
    EXPECT_TRUE(form->MusicFontsFirst->Checked());
    EXPECT_TRUE(form->DoSortMusical->Checked());
    EXPECT_TRUE(form->EmptyStick->Checked());
    EXPECT_FALSE(form->CaseSens->Checked());
    EXPECT_EQ(form->ClientWidth(), 625);
    EXPECT_EQ(form->ClientHeight(), 290);
    EXPECT_EQ(form->TxtSortGoBtn->ModalResult(), vcl::mrOk);
    EXPECT_EQ(form->FamUpDown->Min(), 0);
}

TEST_F(SorterFormTest, TypingATakenPriorityMovesTheOthers) {
    OpenScore("staff \"Flute\"\nmeasures 1\n");
    auto form = MakeForm();
    form->StylePriority->SetText("1");
    EXPECT_EQ(Priorities(*form), (std::vector<std::string>{"3", "2", "1"}));
    EXPECT_EQ(form->FamUpDown->Position(), 3);
    // Above 3 reads as 3, which the family edit gives up: it takes the priority left over.
    form->SizePriority->SetText("7");
    EXPECT_EQ(Priorities(*form), (std::vector<std::string>{"2", "3", "1"}));
    form->FamPriority->SetText("9");
    EXPECT_EQ(Priorities(*form), (std::vector<std::string>{"3", "2", "1"}));
}

// What Go saves is what the next opening shows.
TEST_F(SorterFormTest, TheSavedPrioritiesReadBackAsShown) {
    OpenScore("staff \"Flute\"\nexpression 1 \"b\"\nmeasures 1\n");
    for (const auto& [typed, shown] :
         std::vector<std::pair<std::string, std::vector<std::string>>>{{"7", {"2", "3", "1"}}}) {
        SCOPED_TRACE("typed " + typed);
        {
            auto form = MakeForm();
            form->SetMode(kSorterOptionsMode);
            form->SetShowDeleteMark(false);
            form->StylePriority->SetText("1");
            // The priorities show with two criteria checked.
            win::QueueFormAction("TTextExprSorter", {win::FormAction::Kind::Set, "SepSizes", "checked"});
            win::QueueFormAction("TTextExprSorter", {win::FormAction::Kind::Set, "SepStyles", "checked"});
            win::QueueFormAction("TTextExprSorter", {win::FormAction::Kind::Set, "SizePriority", typed});
            win::QueueFormAction("TTextExprSorter", {win::FormAction::Kind::Click, "TxtSortGoBtn", ""});
            ASSERT_EQ(form->ShowModal(), vcl::mrOk);
            EXPECT_EQ(Priorities(*form), shown);
        }
        auto again = MakeForm();
        again->SetMode(kSorterOptionsMode);
        again->SetShowDeleteMark(false);
        win::QueueFormAction("TTextExprSorter", {win::FormAction::Kind::Click, "CancelBtn", ""});
        again->ShowModal();
        EXPECT_EQ(Priorities(*again), shown);
    }
}

// The priorities show with two criteria checked or more: those of the checked ones.
TEST_F(SorterFormTest, PrioritiesShowWithTwoCriteria) {
    OpenScore("staff \"Flute\"\nmeasures 1\n");
    auto form = MakeForm();
    const std::pair<const char*, const char*> cases[] = {
        {"Families Sizes Styles", "Label Fam Fam Size Size Style Style"},
        {"Families Sizes", "Label Fam Fam Size Size"},
        {"Families Styles", "Label Fam Fam Style Style"},
        {"Sizes Styles", "Label Size Size Style Style"},
        {"Families", ""},
        {"Sizes", ""},
        {"Styles", ""},
        {"", ""},
    };
    for (const auto& [checked, shown] : cases) {
        SCOPED_TRACE(checked);
        const std::string boxes = std::string(" ") + checked + " ";
        form->SepFamilies->SetChecked(boxes.find(" Families ") != std::string::npos);
        form->SepSizes->SetChecked(boxes.find(" Sizes ") != std::string::npos);
        form->SepStyles->SetChecked(boxes.find(" Styles ") != std::string::npos);
        std::string visible;
        for (const auto& [name, control] :
             std::vector<std::pair<std::string, vcl::TControl*>>{{"Label", form->PrioritiesLabel},
                                                                 {"Fam", form->FamPriority},
                                                                 {"Fam", form->FamUpDown},
                                                                 {"Size", form->SizePriority},
                                                                 {"Size", form->SizeUpDown},
                                                                 {"Style", form->StylePriority},
                                                                 {"Style", form->StyleUpDown}}) {
            visible += control->Visible() ? (visible.empty() ? "" : " ") + name : "";
        }
        EXPECT_EQ(visible, shown);
    }
}

TEST_F(SorterFormTest, DeleteOnlyShowsWithDelete) {
    OpenScore("staff \"Flute\"\nmeasures 1\n");
    auto form = MakeForm();
    form->DeleteUnused->SetChecked(true);
    form->NoSorting->SetChecked(true);
    EXPECT_TRUE(form->NoSorting->Visible());
    form->DeleteUnused->SetChecked(false);
    EXPECT_FALSE(form->NoSorting->Visible());
    EXPECT_FALSE(form->NoSorting->Checked());
}

TEST_F(SorterFormTest, ApplyModeTextsInEnglish) {
    OpenScore("staff \"Flute\"\nmeasures 1\n");
    auto form = MakeForm();
    form->SetMode(kSorterApplyMode);
    win::QueueFormAction("TTextExprSorter", {win::FormAction::Kind::Click, "CancelBtn", ""});
    EXPECT_EQ(form->ShowModal(), vcl::mrCancel);
    EXPECT_EQ(form->TxtSortGoBtn->Caption(), "Go!");
    EXPECT_EQ(form->Info->Caption(), "This plug-in will sort your text expressions.");
    EXPECT_EQ(form->Caption(), "Text Expression Sorter" + TheModule.process.VersionText);
    EXPECT_TRUE(form->DeleteUnused->Visible());
    EXPECT_EQ(form->OwnerWindow(), Host().window);
}

TEST_F(SorterFormTest, OptionsModeTextsInGermanAndNoDeleteControls) {
    OpenScore("staff \"Flute\"\nmeasures 1\n");
    TheAccessLayer.host.language = 1;
    auto form = MakeForm();
    form->SetMode(kSorterOptionsMode);
    form->SetShowDeleteMark(false);
    win::QueueFormAction("TTextExprSorter", {win::FormAction::Kind::Click, "CancelBtn", ""});
    form->ShowModal();
    EXPECT_EQ(form->TxtSortGoBtn->Caption(), "Ok");
    EXPECT_EQ(form->Info->Caption(),
              "Bitte wählen Sie die Einstellungen für die Sofortsortierung im Explorer für Vortragsbezeichnungen.");
    EXPECT_EQ(form->Caption(), "Vortragsbezeichnungen sortieren" + TheModule.process.VersionText);
    EXPECT_EQ(form->SepSizes->Caption(), "Größe");
    EXPECT_EQ(form->CancelBtn->Caption(), "Abbruch");
    EXPECT_FALSE(form->DeleteUnused->Visible());
    EXPECT_FALSE(form->NoSorting->Visible());
}

TEST_F(SorterFormTest, OptionsModeRemembersUnderItsOwnName) {
    OpenScore("staff \"Flute\"\nexpression 1 \"b\"\nexpression 2 \"a\"\nmeasures 1\n");
    auto form = MakeForm();
    form->SetMode(kSorterOptionsMode);
    form->SetShowDeleteMark(false);
    win::QueueFormAction("TTextExprSorter", {win::FormAction::Kind::Set, "CaseSens", "checked"});
    win::QueueFormAction("TTextExprSorter", {win::FormAction::Kind::Click, "TxtSortGoBtn", ""});
    EXPECT_EQ(form->ShowModal(), vcl::mrOk);
    ASSERT_TRUE(TheModule.process.Registry->OpenKey(kSettingsKey, false));
    EXPECT_TRUE(TheModule.process.Registry->ValueExists("TextExprSorterEX"));
    EXPECT_FALSE(TheModule.process.Registry->ValueExists("TextExprSorter"));
    TheModule.process.Registry->CloseKey();
    // Options mode sorts the shared table in memory and writes nothing.
    EXPECT_TRUE(TextExpressionTable().Sorted());
    EXPECT_EQ(TextExpressionTable().Options().CaseFlag, 1);
    EXPECT_EQ(StoredText(1), "b");
}

TEST_F(SorterFormTest, DeleteOnlyKeepsTheOrderAndRenumbers) {
    OpenScore(TwentyExpressions());
    win::QueueFormAction("TTextExprSorter", {win::FormAction::Kind::Set, "DeleteUnused", "checked"});
    win::QueueFormAction("TTextExprSorter", {win::FormAction::Kind::Set, "NoSorting", "checked"});
    win::QueueFormAction("TTextExprSorter", {win::FormAction::Kind::Click, "TxtSortGoBtn", ""});
    win::QueueMessageBoxAnswer(win::IDYES);
    EXPECT_EQ(RunTextExpressionSorter(), 1);  // the document changed
    EXPECT_EQ(Messages(), (std::vector<std::string>{
                              "This will delete 5 unused text expressions from the document. Proceed?",
                              "Finished sorting, now we will adjust the document entries ...",
                          }));
    const std::vector<int32_t> kept = {1, 2, 4, 5, 7, 8, 10, 11, 13, 14, 16, 17, 18, 19, 20};
    for (size_t i = 0; i < kept.size(); ++i) {
        const int32_t old = kept[i];
        const std::string name = old % 2 == 0 ? "y" + std::to_string(100 - old) : "x" + std::to_string(10 + old);
        EXPECT_EQ(StoredText(static_cast<int16_t>(i + 1)), name) << "new number " << i + 1;
    }
    for (int16_t n = 16; n <= 20; ++n) {
        EXPECT_FALSE(HasRecord(kTagExpression, n)) << n;
    }
    // Every placement follows its expression: the measure placements of 2, 4, 8, ... now name
    // their new numbers.
    std::vector<int16_t> measure;
    for (int16_t inci = 0; HasRecord(exprtest::kTagMeasureExpression, 2, inci); ++inci) {
        measure.push_back(MeasurePlacement(2, inci));
    }
    EXPECT_EQ(measure, (std::vector<int16_t>{2, 3, 6, 7, 10, 11, 13, 15}));
    EXPECT_TRUE(TextExpressionTable().Stale());
}

TEST_F(SorterFormTest, SortingOrdersTheDocument) {
    OpenScore(TwentyExpressions());
    win::QueueFormAction("TTextExprSorter", {win::FormAction::Kind::Click, "TxtSortGoBtn", ""});
    EXPECT_EQ(RunTextExpressionSorter(), 1);  // the document changed
    EXPECT_EQ(StoredText(1), "x11");
    EXPECT_EQ(StoredText(10), "x29");
    EXPECT_EQ(StoredText(11), "y80");
    EXPECT_EQ(StoredText(20), "y98");
    // Expression 2 ("y98") is last now; its measure placement says so.
    EXPECT_EQ(MeasurePlacement(2, 0), 20);
    EXPECT_EQ(NotePlacements(1, 1, 2), (std::vector<int16_t>{1, 3, 7, 9}));  // were 1, 5, 13 and 17
}

TEST_F(SorterFormTest, AnExpressionLongerThanTheLoadBufferIsSortedWhole) {
    const std::string longText = "a" + std::string(1499, 'b');
    OpenScore(TwentyExpressions() + "expression 21 \"" + longText + "\" font 2\n");
    win::QueueFormAction("TTextExprSorter", {win::FormAction::Kind::Click, "TxtSortGoBtn", ""});
    EXPECT_EQ(RunTextExpressionSorter(), 1);
    EXPECT_EQ(StoredText(1), longText);
    EXPECT_EQ(Stored(host::RecordKey::Other(kTagExpression, 1, 0))->size(), 12u + 1500u + 1u);
    EXPECT_EQ(StoredText(2), "x11");
}

TEST_F(SorterFormTest, NoToTheQuestionKeepsTheFormOpen) {
    OpenScore(TwentyExpressions());
    win::QueueFormAction("TTextExprSorter", {win::FormAction::Kind::Set, "DeleteUnused", "checked"});
    win::QueueFormAction("TTextExprSorter", {win::FormAction::Kind::Click, "TxtSortGoBtn", ""});
    win::QueueMessageBoxAnswer(win::IDNO);
    auto form = MakeForm();
    form->SetMode(kSorterApplyMode);
    EXPECT_EQ(form->ShowModal(), vcl::mrCancel);  // still open after Go, then Escape
    EXPECT_EQ(StoredText(20), "y80");
    EXPECT_EQ(Messages().size(), 1u);
}

TEST_F(SorterFormTest, EmptyExpressionsRefuseTheRunAndTheFormCloses) {
    OpenScore(R"(
staff "Flute"
measures 1
expression 1 "b"
expression 3 "a"
)");
    win::QueueFormAction("TTextExprSorter", {win::FormAction::Kind::Click, "TxtSortGoBtn", ""});
    EXPECT_EQ(RunTextExpressionSorter(), 0);  // the form closed; the host hears of no change
    EXPECT_EQ(Messages(), (std::vector<std::string>{
                              "WARNING: There are empty text expressions which can't be loaded. Please insert at "
                              "least one space character into the text field.",
                          }));
    EXPECT_EQ(StoredText(1), "b");
    EXPECT_EQ(StoredText(3), "a");
    EXPECT_FALSE(HasRecord(kTagExpression, 2));
}

TEST_F(SorterFormTest, AViewOtherThanAllStavesIsRefused) {
    OpenScore("staff \"Flute\"\nmeasures 1\nexpression 1 \"b\"\nexpression 2 \"a\"\n");
    TheModule.dispatch.SelectionRecords[1].setViewKey(2);
    win::QueueFormAction("TTextExprSorter", {win::FormAction::Kind::Click, "TxtSortGoBtn", ""});
    EXPECT_EQ(RunTextExpressionSorter(), 0);  // cancelled after the refusal: no change
    EXPECT_EQ(Messages(), (std::vector<std::string>{
                              "Please choose to show all staves (in the view menu) before invoking this command.",
                          }));
    EXPECT_EQ(StoredText(1), "b");
}

TEST_F(SorterFormTest, DefaultsKeepTheFormOpen) {
    OpenScore("staff \"Flute\"\nmeasures 1\n");
    auto form = MakeForm();
    win::QueueFormAction("TTextExprSorter", {win::FormAction::Kind::Set, "SepFamilies", "checked"});
    win::QueueFormAction("TTextExprSorter", {win::FormAction::Kind::Click, "DefaultsBtn", ""});
    EXPECT_EQ(form->ShowModal(), vcl::mrCancel);
    EXPECT_FALSE(form->SepFamilies->Checked());
}

// ---- The dispatcher's roads ----

class SorterDispatchTest : public exprtest::ExpressionsTest {
protected:
    void SetUp() override {
        ExpressionsTest::SetUp();
        lumvar::ResetModuleState();
    }
    void TearDown() override {
        ExpectNothingLeft();
        m_host.reset();
        ExpressionsTest::TearDown();
    }
    /// The score in front and both plug-ins loaded in this process.
    void Start(const std::string& score) {
        OpenScore(score);
        ASSERT_TRUE(m_host->LoadInProcessPlugin("Lumvar2000.fxt", {lumvar::LumvarExport, {}}));
        ASSERT_TRUE(m_host->LoadInProcessPlugin("Orvex188.fxt", {OrvexExport, {}}));
        m_orvex = m_host->Plugins().size() - 1;
        win::ClearTranscript();
    }
    /// The menu index of a command code.
    int16_t MenuIndexOf(int32_t code) {
        for (int16_t index = 0; index < TheModule.commands.CommandCount; ++index) {
            if (TheModule.commands
                    .CommandTable[static_cast<size_t>(TheModule.commands.MenuIndexMap[static_cast<size_t>(index)])]
                    .code == code) {
                return index;
            }
        }
        ADD_FAILURE() << "no menu entry has code " << code;
        return -1;
    }
    size_t m_orvex = 0;
};

TEST_F(SorterDispatchTest, CommandCodeFourRunsTheSorter) {
    Start(TwentyExpressions());
    win::QueueFormAction("TTextExprSorter", {win::FormAction::Kind::Click, "TxtSortGoBtn", ""});
    EXPECT_EQ(m_host->InvokePlugin(m_orvex, MenuIndexOf(CODE_TEXT_EXPRESSION_SORTER)), 1);
    EXPECT_EQ(StoredText(1), "x11");
    EXPECT_EQ(StoredText(20), "y98");
}

TEST_F(SorterDispatchTest, CancelChangesNothing) {
    Start(TwentyExpressions());
    win::QueueFormAction("TTextExprSorter", {win::FormAction::Kind::Click, "CancelBtn", ""});
    EXPECT_EQ(m_host->InvokePlugin(m_orvex, MenuIndexOf(CODE_TEXT_EXPRESSION_SORTER)), 0);  // no change
    EXPECT_EQ(StoredText(2), "y98");
}

TEST_F(SorterDispatchTest, ToolItemNineDeletesTheUnusedOnes) {
    Start(TwentyExpressions());
    auto context = InitToolContext();
    context->Options[orvex::SORT_DELETE_UNUSED].value = 1;
    context->Options[orvex::SORT_DELETE_ONLY].value = 1;
    win::QueueMessageBoxAnswer(win::IDYES);
    EXPECT_EQ(DispatchTool(*context, ItemNumber(ToolItem::TextExpressionSorter), 1, 0), 1);
    EXPECT_EQ(StoredText(3), "y96");  // old number 4
    EXPECT_FALSE(HasRecord(kTagExpression, 16));
    // Refused: the table cannot be written with an unreadable number; the warning ends the run,
    // which changed nothing.
    host::Bytes fifth = *Stored(host::RecordKey::Other(kTagExpression, 5, 0));
    Document().DeleteRecord(host::RecordKey::Other(kTagExpression, 5, 0));
    win::ClearTranscript();
    EXPECT_EQ(DispatchTool(*context, ItemNumber(ToolItem::TextExpressionSorter), 1, 0), 0);
    EXPECT_EQ(Messages().size(), 1u);
    EXPECT_FALSE(HasRecord(kTagExpression, 5));
    // No to the question: nothing changes and the tool fails.
    Document().SaveRecord(host::RecordKey::Other(kTagExpression, 5, 0), fifth);
    host::Bytes added(13, 0);
    Document().SaveRecord(host::RecordKey::Other(kTagExpression, 16, 0), added);
    win::QueueMessageBoxAnswer(win::IDNO);
    EXPECT_EQ(DispatchTool(*context, ItemNumber(ToolItem::TextExpressionSorter), 1, 0), 0);
    EXPECT_EQ(win::PendingMessageBoxAnswers(), 0u);
    EXPECT_TRUE(HasRecord(kTagExpression, 16));
}

// The tool reads its "More..." page: an empty text that sticks to nothing sorts first (written as a
// blank), and with regard to case the small letter comes before the capital.
TEST_F(SorterDispatchTest, ToolItemNineReadsItsMorePage) {
    Start(
        "font 2 \"Arial\"\nstaff \"Flute\"\nmeasures 1\nexpression 1 \"Dolce\" font 2\n"
        "expression 2 \"dolce\" font 2\nexpression 3 \"\" font 2\nexpression 4 \"a tempo\" font 2\n");
    auto context = InitToolContext();
    context->MoreOptions[orvex::SORT_MORE_EMPTY_STICKS].value = 0;
    context->MoreOptions[orvex::SORT_MORE_CASE_SENSITIVE].value = 1;
    EXPECT_EQ(DispatchTool(*context, ItemNumber(ToolItem::TextExpressionSorter), 1, 0), 1);
    EXPECT_EQ((std::vector<std::string>{StoredText(1), StoredText(2), StoredText(3), StoredText(4)}),
              (std::vector<std::string>{" ", "a tempo", "dolce", "Dolce"}));
}

// A usage count the user stops deletes nothing, and says so.
TEST_F(SorterDispatchTest, AStoppedUsageCountSaysNothingWasDeleted) {
    Start(TwentyExpressions());
    auto context = InitToolContext();
    context->Options[orvex::SORT_DELETE_UNUSED].value = 1;
    context->Options[orvex::SORT_DELETE_ONLY].value = 1;
    const host::RecordStore::Map before = Document().Records().Records();
    m_host->Progress().StopNextAt(1);
    EXPECT_EQ(DispatchTool(*context, ItemNumber(ToolItem::TextExpressionSorter), 1, 0), 0);
    EXPECT_EQ(Messages(),
              std::vector<std::string>{"The count of used text expressions was stopped: nothing was deleted."});
    EXPECT_TRUE(Document().Records().Records() == before);
}

TEST_F(SorterDispatchTest, LevelTwoReadsOrComparesTheSharedTable) {
    Start(TwentyExpressions());
    Level2Handlers()[72] = [](TFMisc&, int32_t, const hostapi::SelectionRecord*) { return true; };
    Level2Handlers()[25] = [](TFMisc&, int32_t, const hostapi::SelectionRecord*) { return true; };
    Level2Handlers()[32] = [](TFMisc&, int32_t, const hostapi::SelectionRecord*) { return true; };
    TheModule.dispatch.QuerySelectionFromHost = false;
    TheModule.dispatch.CurrentRegion = &TheModule.dispatch.SelectionRecords[1];
    auto context = InitToolContext();
    TTextExpressions& table = TextExpressionTable();
    EXPECT_EQ(DispatchToolLevel2(*context, ItemNumber(ToolItem::JoinRests), 1, 1), 1);
    EXPECT_TRUE(table.Stale());  // compared only: never loaded
    EXPECT_EQ(table.Count(), 0);
    EXPECT_EQ(DispatchToolLevel2(*context, ItemNumber(ToolItem::Expressions), 1, 1), 1);
    EXPECT_FALSE(table.Stale());
    EXPECT_EQ(table.Count(), 20);
    EXPECT_EQ(DispatchToolLevel2(*context, ItemNumber(ToolItem::JoinRests), 1, 1), 1);
    EXPECT_FALSE(table.Stale());
    Document().DeleteRecord(host::RecordKey::Other(kTagExpression, 20, 0));
    EXPECT_EQ(DispatchToolLevel2(*context, ItemNumber(ToolItem::JoinRests), 1, 1), 1);
    EXPECT_TRUE(table.Stale());
    EXPECT_EQ(table.Count(), 20);
    // Find (32) also builds the sort tables and analyses the table.
    EXPECT_EQ(DispatchToolLevel2(*context, ItemNumber(ToolItem::Find), 1, 1), 1);
    EXPECT_EQ(table.Count(), 19);
    EXPECT_TRUE(table.SortTables().Built());
    EXPECT_TRUE(table.Analysed());
}

ORDINARY_MUSIC_CASES(Sorter, "tests/expressions/ordinary.cases", "sorter");

}  // namespace
