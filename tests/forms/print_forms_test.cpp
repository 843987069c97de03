// The two print forms by themselves: the copies form's rows, its editing, its rule sets in the
// registry ("Rule#1" to "Rule#49"), and the print form's path edit.
#include <gtest/gtest.h>

#include <fstream>
#include <memory>

#include "core/startup.h"
#include "forms/copies.h"
#include "forms/file_controls.h"
#include "forms/printfiles.h"
#include "platform/vcl/registry.h"
#include "tests/support/fixture.h"

namespace {

using namespace orvex;

class PrintFormsTest : public testsupport::DesktopTest {
protected:
    void SetUp() override {
        DesktopTest::SetUp();
        ResetProcessState();
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
    Store("Rule#4", "Parts:B,2");
    Store("Rule#5", "Partsbook:C,3");
    m_copies->Show();
    ASSERT_EQ(m_copies->cbRules->Items().Count(), 3);
    m_copies->cbRules->SetText("Parts");
    m_copies->btDeleteClick(nullptr);
    EXPECT_EQ(Stored("Rule#1"), "(none)");
    EXPECT_EQ(Stored("Rule#4"), "(none)");
    EXPECT_EQ(Stored("Rule#5"), "Partsbook:C,3");
    EXPECT_EQ(m_copies->cbRules->Items().Count(), 1);  // "Partsbook"
    EXPECT_EQ(m_copies->cbRules->Text(), "");
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
    EXPECT_EQ(grid.DetailLines(), (std::vector<std::string>{"File | Copies", "a.MUS | 0", "c.MUS | 0"}));
    EXPECT_EQ(grid.UserSet("1,2=5"), "");
    EXPECT_EQ(grid.UserSet("0,2=x.MUS"), "the cell cannot be edited");
    EXPECT_EQ(m_copies->CopiesOf("c.MUS"), 5);
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

}  // namespace
