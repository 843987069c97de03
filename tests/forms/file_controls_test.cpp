// The folder and file lists of the printing command's options (item 50): the path row points
// them at a folder, the file list shows its "*.MUS" files, and Go prints nothing without a
// chosen file or while the folder list has the focus.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "forms/file_controls.h"
#include "forms/myedit.h"
#include "tests/forms/action_dialog_fixture.h"

namespace {

using namespace orvex;
using testsupport::ActionDialogTest;
using Kind = win::FormAction::Kind;

TEST(FileMaskTest, StarsAndQuestionMarksMatchLettersRegardlessOfCase) {
    struct Case {
        const char* name;
        const char* mask;
        bool matches;
    };
    const Case cases[] = {{"Score.MUS", "*.MUS", true},
                          {"score.mus", "*.MUS", true},
                          {"score.musx", "*.MUS", false},
                          {"a.txt", "*.MUS", false},
                          {".MUS", "*.MUS", true},
                          {"ab.mus", "a?.MUS", true},
                          {"a.mus", "a?.MUS", false},
                          {"x", "*", true},
                          {"", "*.*", false}};
    for (const Case& c : cases) {
        EXPECT_EQ(MatchesFileMask(c.name, c.mask), c.matches) << c.name << " " << c.mask;
    }
}

class PrintListsTest : public ActionDialogTest {
protected:
    void SetUp() override {
        ActionDialogTest::SetUp();
        m_folder = TempFolder() / "scores";
        std::filesystem::create_directories(m_folder / "sub");
        for (const char* name : {"b.mus", "a.MUS", "notes.txt"}) {
            std::ofstream(m_folder / name) << "x";
        }
    }
    std::filesystem::path m_folder;
    std::shared_ptr<TFMisc> m_context = InitToolContext();
};

TEST_F(PrintListsTest, PathRowPointsTheListsAtItsFolder) {
    TDActOpt& dialog = Build(50, m_context.get());
    auto* files = dynamic_cast<TFileListBox*>(dialog.ListControl());
    ASSERT_NE(files, nullptr);
    ASSERT_NE(dialog.DirectoryList(), nullptr);
    // The folder list first, the file list 10 pixels right of it, both as wide as 8/7 of the
    // caption "Please select the files for printing:" (173 -> 197).
    EXPECT_EQ(dialog.DirectoryList()->Left(), 9);
    EXPECT_EQ(files->Left(), 9 + 197 + 10);
    EXPECT_EQ(files->Width(), 197);
    EXPECT_EQ(dialog.BorderStyle(), vcl::bsSizeable);
    EXPECT_TRUE(files->MultiSelect());

    Queue(Kind::Set, "Path:", m_folder.string());
    dialog.Show();
    EXPECT_EQ(dialog.CurrentPath(), m_folder.string());
    EXPECT_EQ(files->Mask(), "*.MUS");
    EXPECT_EQ(files->Items().Items(), (std::vector<std::string>{"a.MUS", "b.mus"}));
    const std::vector<std::string>& folders = dialog.DirectoryList()->Items().Items();
    ASSERT_GE(folders.size(), 2u);
    EXPECT_EQ(folders.back(), "sub");
    EXPECT_EQ(folders[folders.size() - 2], "scores");
    EXPECT_EQ(dialog.DirectoryList()->ItemIndex(), static_cast<int32_t>(folders.size()) - 2);
    // Neither the "After Go:" choices nor Undo and Redo are offered while printing.
    EXPECT_FALSE(dialog.cbAutoClose->Visible());
    EXPECT_FALSE(dialog.UndoBtn->Visible());
}

TEST_F(PrintListsTest, GoPrintsNothingWithoutAChosenFile) {
    TDActOpt& dialog = Build(50, m_context.get());
    Queue(Kind::Set, "Path:", m_folder.string());
    Queue(Kind::Click, "Go");
    dialog.Show();
    EXPECT_EQ(dialog.ModalResult(), vcl::mrNone);
    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(dialog.CancelBtn->Caption(), "&Cancel");
}

TEST_F(PrintListsTest, GoInTheFolderListOpensTheChosenFolder) {
    TDActOpt& dialog = Build(50, m_context.get());
    Queue(Kind::Set, "Path:", m_folder.string());
    Queue(Kind::Set, "Row3", "+0");
    dialog.Show();
    TDirectoryListBox& folders = *dialog.DirectoryList();
    folders.SetItemIndex(folders.Items().IndexOf("sub"));
    folders.SetFocus();
    dialog.OKBtnClick(&dialog);
    EXPECT_EQ(dialog.RowControl(2)->Text(), (m_folder / "sub").string());
    EXPECT_EQ(dialog.CurrentPath(), (m_folder / "sub").string());
    EXPECT_EQ(dialog.ListControl()->Items().Count(), 0);
    EXPECT_TRUE(Messages().empty());
    // The folder above goes up again.
    folders.SetItemIndex(folders.Items().IndexOf("scores"));
    dialog.OKBtnClick(&dialog);
    EXPECT_EQ(dialog.CurrentPath(), m_folder.string());
}

}  // namespace
