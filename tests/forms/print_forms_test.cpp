// The two print forms by themselves: the copies form's rows, its editing, its rule sets in the
// registry ("Rule#1" to "Rule#49"), and the print form's path edit.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <memory>
#include <ostream>

#include "core/module.h"
#include "core/startup.h"
#include "forms/copies.h"
#include "forms/file_controls.h"
#include "forms/printfiles.h"
#include "platform/vcl/registry.h"
#include "platform/win/transcript.h"
#include "platform/win/ui_driver.h"
#include "tests/support/fixture.h"

namespace {

using namespace orvex;

class PrintFormsTest : public testsupport::DesktopTest {
protected:
    void SetUp() override {
        DesktopTest::SetUp();
        ResetModule();
        m_copies.reset(vcl::Create<TfmCopies>(nullptr));
    }
    void TearDown() override {
        ExpectNothingLeft();
        m_copies.reset();
        DesktopTest::TearDown();
    }

    static std::string Stored(const char* name) {
        vcl::TRegistry registry;
        registry.OpenKey("Software\\HALVORAN", true);
        return registry.ValueExists(name) ? registry.ReadString(name) : "(none)";
    }
    static void Store(const std::string& name, const std::string& text) {
        vcl::TRegistry registry;
        registry.OpenKey("Software\\HALVORAN", true);
        registry.WriteString(name, text);
    }
    /// Rules in rows 1 and 99 of the rules grid.
    void FillRules(const char* firstCopies) {
        m_copies->sgRules->SetCells(0, 1, "PART");
        m_copies->sgRules->SetCells(1, 1, firstCopies);
        m_copies->sgRules->SetCells(0, 99, "END");
        m_copies->sgRules->SetCells(1, 99, "7");
    }
    static std::string StoredText(const char* name, const char* firstCopies) {
        std::string text = std::string(name) + ":PART," + firstCopies;
        for (int row = 2; row < 99; ++row) {
            text += ":,";
        }
        return text + ":END,7";
    }

    std::unique_ptr<TfmCopies> m_copies;
};

// Go! ends the modal copies form with OK and the go flag; Cancel with Cancel.
TEST_F(PrintFormsTest, GoEndsTheCopiesFormWithOk) {
    win::QueueFormAction("TfmCopies", {win::FormAction::Kind::Click, "OkBtn", ""});
    EXPECT_EQ(m_copies->ShowModal(), vcl::mrOk);
    EXPECT_EQ(m_copies->GoFlag, 1);
    win::QueueFormAction("TfmCopies", {win::FormAction::Kind::Click, "btCancel", ""});
    EXPECT_EQ(m_copies->ShowModal(), vcl::mrCancel);
    EXPECT_EQ(m_copies->GoFlag, 0);
}

TEST_F(PrintFormsTest, SavingASetWhoseNameExistsReplacesItsValue) {
    Store("Rule#1", "Other:X,1");
    FillRules("3");
    m_copies->cbRules->SetText("Parts");
    m_copies->btSaveClick(nullptr);
    EXPECT_EQ(Stored("Rule#2"), StoredText("Parts", "3"));
    m_copies->sgRules->SetCells(1, 1, "4");
    m_copies->btSaveClick(nullptr);
    EXPECT_EQ(Stored("Rule#2"), StoredText("Parts", "4"));
    EXPECT_EQ(Stored("Rule#1"), "Other:X,1");
    EXPECT_EQ(Stored("Rule#3"), "(none)");
    EXPECT_EQ(m_copies->cbRules->Items().Count(), 1);  // "Parts", added once
}

struct UnreadableCase {
    const char* name;
    const char* setName;
    const char* lookFor;
    const char* copies;
};

void PrintTo(const UnreadableCase& c, std::ostream* os) {
    *os << c.name;
}

class PrintFormsUnreadableTest : public PrintFormsTest, public testing::WithParamInterface<UnreadableCase> {};

TEST_P(PrintFormsUnreadableTest, ASetThatCouldNotBeReadBackIsNotSaved) {
    const UnreadableCase& c = GetParam();
    m_copies->Show();
    m_copies->cbRules->SetText(c.setName);
    m_copies->sgRules->SetCells(0, 1, c.lookFor);
    m_copies->sgRules->SetCells(1, 1, c.copies);
    win::ClearTranscript();
    m_copies->btSaveClick(nullptr);
    EXPECT_EQ(Stored("Rule#1"), "(none)");
    EXPECT_EQ(m_copies->cbRules->Items().Count(), 0);
    const auto& lines = win::TranscriptLines();
    EXPECT_NE(std::find_if(lines.begin(), lines.end(),
                           [](const std::string& line) {
                               return line.starts_with(
                                   "  label Message \"The name of a set of rules and its rules "
                                   "may not contain ");
                           }),
              lines.end());
}

INSTANTIATE_TEST_SUITE_P(Separators, PrintFormsUnreadableTest,
                         testing::Values(UnreadableCase{"ColonInTheName", "Set:A", "PART", "3"},
                                         UnreadableCase{"CommaInTheName", "Set,A", "PART", "3"},
                                         UnreadableCase{"ColonInALookFor", "Parts", "A:B", "3"},
                                         UnreadableCase{"CommaInALookFor", "Parts", "A,B", "3"},
                                         UnreadableCase{"CommaInCopies", "Parts", "PART", "3,4"}),
                         [](const testing::TestParamInfo<UnreadableCase>& testCase) { return testCase.param.name; });

TEST_F(PrintFormsTest, ASavedSetReadsBackAsItWasSaved) {
    m_copies->Show();
    m_copies->cbRules->SetText("Set A");
    m_copies->sgRules->SetCells(0, 1, "SCORE PART");
    m_copies->sgRules->SetCells(1, 1, "2");
    m_copies->btSaveClick(nullptr);
    m_copies->btClearClick(nullptr);
    EXPECT_EQ(m_copies->sgRules->Cells(0, 1) + m_copies->sgRules->Cells(1, 1), "");
    ASSERT_EQ(m_copies->cbRules->UserSet("Set A"), "");
    EXPECT_EQ(m_copies->sgRules->Cells(0, 1), "SCORE PART");
    EXPECT_EQ(m_copies->sgRules->Cells(1, 1), "2");
}

TEST_F(PrintFormsTest, ChoosingASetLoadsEveryRuleItHoldsRow99Too) {
    Store("Rule#7", StoredText("Parts", "3"));
    m_copies->Show();
    m_copies->sgRules->SetCells(0, 50, "stale");
    ASSERT_EQ(m_copies->cbRules->UserSet("Parts"), "");
    EXPECT_EQ(m_copies->sgRules->Cells(0, 1), "PART");
    EXPECT_EQ(m_copies->sgRules->Cells(1, 1), "3");
    EXPECT_EQ(m_copies->sgRules->Cells(0, 50), "");
    EXPECT_EQ(m_copies->sgRules->Cells(0, 99), "END");
    EXPECT_EQ(m_copies->sgRules->Cells(1, 99), "7");
    EXPECT_EQ(m_copies->sgRules->RowCount(), 100);
    EXPECT_EQ(m_copies->sgRules->FixedRows(), 1);
}

TEST_F(PrintFormsTest, DeleteRemovesEverySlotOfTheSetAndItsName) {
    Store("Rule#1", "Parts:A,1");
    Store("Rule#49", "Parts:B,2");
    Store("Rule#5", "Partsbook:C,3");
    Store("Rule#50", "Parts:D,4");  // past the 49 slots: no rule
    m_copies->Show();
    ASSERT_EQ(m_copies->cbRules->Items().Count(), 3);
    m_copies->cbRules->SetText("Parts");
    m_copies->btDeleteClick(nullptr);
    EXPECT_EQ(Stored("Rule#1"), "(none)");
    EXPECT_EQ(Stored("Rule#49"), "(none)");
    EXPECT_EQ(Stored("Rule#5"), "Partsbook:C,3");
    EXPECT_EQ(Stored("Rule#50"), "Parts:D,4");
    EXPECT_EQ(m_copies->cbRules->Items().Count(), 1);  // "Partsbook"
    EXPECT_EQ(m_copies->cbRules->Text(), "");
}

// The copies form as the user sees it: its layout (`form TfmCopies print`) is the one
// tests/forms/layouts-copies.expected holds.
TEST_F(PrintFormsTest, TheCopiesFormIsLaidOutAsItsDataFileSays) {
    win::QueueFormAction("TfmCopies", {win::FormAction::Kind::Print, "", ""});
    win::QueueFormAction("TfmCopies", {win::FormAction::Kind::Click, "btCancel", ""});
    win::ClearTranscript();
    m_copies->ShowModal();
    std::string shown;
    for (const std::string& line : win::TranscriptLines()) {
        shown += line + "\n";
    }
    EXPECT_EQ(shown,
              testsupport::FileText(std::filesystem::path(ORVEX_SOURCE_DIR) / "tests/forms/layouts-copies.expected"));
}

// With the 49 slots taken every set is listed, and a new one is not saved: the user is told.
TEST_F(PrintFormsTest, ANewSetIsRefusedWhenAll49SlotsAreTaken) {
    for (int slot = 1; slot <= 49; ++slot) {
        Store("Rule#" + std::to_string(slot), "Set" + std::to_string(slot) + ":A,1");
    }
    m_copies->Show();
    EXPECT_EQ(m_copies->cbRules->Items().Count(), 49);
    m_copies->cbRules->SetText("New");
    win::ClearTranscript();
    m_copies->btSaveClick(nullptr);
    EXPECT_EQ(Stored("Rule#50"), "(none)");
    EXPECT_EQ(m_copies->cbRules->Items().Count(), 49);
    const std::vector<std::string> told = {
        "  label Message \"All 49 places for sets of rules are in use. Please delete a set of rules first.\""};
    EXPECT_NE(std::search(win::TranscriptLines().begin(), win::TranscriptLines().end(), told.begin(), told.end()),
              win::TranscriptLines().end());
}

TEST_F(PrintFormsTest, TheCopiesGridListsTheSelectedFilesAndTakesCopiesOnly) {
    const auto folder = TempFolder() / "scores";
    std::filesystem::create_directories(folder);
    for (const char* name : {"a.MUS", "b.MUS", "c.MUS"}) {
        std::ofstream(folder / name) << "\n";
    }
    std::unique_ptr<TPrintMultipleFiles> print(vcl::Create<TPrintMultipleFiles>(nullptr));
    print->edPath->SetText(folder.string());
    print->ListBox->SetSelected(0, true);
    print->ListBox->SetSelected(2, true);
    print->edCopies->SetText("two");
    m_copies->PrintForm = print.get();
    m_copies->Show();
    TStringGrid& grid = *m_copies->sgCopies;
    ASSERT_EQ(grid.RowCount(), 3);
    // A copies text that is not a number is one copy, as Go! reads it.
    EXPECT_EQ(grid.DetailLines(), (std::vector<std::string>{"File | Copies", "a.MUS | 1", "c.MUS | 1"}));
    // The columns share the grid's width less its border (436 - 4) as 130 to 40.
    EXPECT_EQ((std::vector<int32_t>{grid.Width(), grid.ColWidths(0), grid.ColWidths(1)}),
              (std::vector<int32_t>{436, 330, 101}));
    EXPECT_EQ(grid.UserSet("1,2=5"), "");
    EXPECT_EQ(grid.UserSet("0,2=x.MUS"), "the cell cannot be edited");
    EXPECT_EQ(m_copies->CopiesOf("c.MUS"), 5);
    EXPECT_EQ(grid.UserSet("1,1=x"), "");
    EXPECT_EQ(m_copies->CopiesOf("a.MUS"), 1);
    EXPECT_EQ(m_copies->CopiesOf("b.MUS"), -1);
}

TEST_F(PrintFormsTest, APathWithoutTheDrivesColonGetsIt) {
    std::unique_ptr<TPrintMultipleFiles> print(vcl::Create<TPrintMultipleFiles>(nullptr));
    print->edPath->SetText("C\\MUSIC");
    EXPECT_EQ(print->edPath->Text(), "C:\\MUSIC");
    EXPECT_EQ(print->ListBox->Items().Count(), 0);
    print->edPath->SetText(TempFolder().string());
    EXPECT_EQ(print->CurrentPath(), TempFolder().string());
    EXPECT_EQ(print->DLB->Directory(), TempFolder());
}

// The user drags the forms' frames: neither gets smaller than its least size.
TEST_F(PrintFormsTest, ThePrintFormsKeepTheirLeastSize) {
    std::unique_ptr<TPrintMultipleFiles> print(vcl::Create<TPrintMultipleFiles>(nullptr));
    win::QueueFormAction("TPrintMultipleFiles", {win::FormAction::Kind::Resize, "", "100 100"});
    win::QueueFormAction("TPrintMultipleFiles", {win::FormAction::Kind::Resize, "", "520 600"});
    print->Show();
    EXPECT_EQ(print->Width(), 520);
    EXPECT_EQ(print->Height(), 600);
    // Shown, the buttons stand 4 pixels above the client's bottom, the panel ends 4 above them,
    // and the panel and the explanation take the client's width less 19.
    EXPECT_EQ((std::vector<vcl::TRect>{print->OkButton->BoundsRect(), print->pnFiles->BoundsRect(),
                                       print->lbExplanation->BoundsRect()}),
              (std::vector<vcl::TRect>{vcl::Bounds(8, 423, 75, 25), vcl::Bounds(8, 72, 381, 347),
                                       vcl::Bounds(8, 8, 381, 57)}))
        << "laid out when shown, in its client area of 400 x 452";
    const auto& lines = win::TranscriptLines();
    // At least "Defaults"' right edge + 25 wide, and 400 high.
    const int32_t leastWidth = print->Defaults->Left() + print->Defaults->Width() + 25;
    EXPECT_NE(std::find(lines.begin(), lines.end(), "    the form keeps " + std::to_string(leastWidth) + " x 400"),
              lines.end());
    win::QueueFormAction("TfmCopies", {win::FormAction::Kind::Resize, "", "300 200"});
    m_copies->Show();
    EXPECT_EQ(m_copies->Width(), 9 * m_copies->btDelete->Width());
    EXPECT_EQ(m_copies->Height(), 12 * m_copies->btDelete->Height());
    print->Hide();
}

}  // namespace
