// The clipboard and the common file dialogs of the window system, and the class library's
// objects over them.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "platform/vcl/clipbrd.h"
#include "platform/vcl/dialogs.h"
#include "platform/win/clipboard.h"
#include "platform/win/commdlg.h"
#include "platform/win/message_box.h"
#include "platform/win/transcript.h"
#include "platform/win/ui_driver.h"
#include "platform/win/windows.h"
#include "tests/support/fixture.h"

namespace {

using Kind = win::FormAction::Kind;

// ---- Clipboard ----

class ClipboardTest : public testsupport::DesktopTest {};

TEST_F(ClipboardTest, TextGoesOnAndComesBackWhileItIsOpen) {
    const win::Hwnd window = win::CreateWindow({.className = "Editor"});
    EXPECT_FALSE(win::ClipboardText().has_value());
    win::SetLastError(0);
    EXPECT_FALSE(win::SetClipboardData(win::CF_TEXT, "x"));  // not open
    EXPECT_EQ(win::GetLastError(), win::ERROR_CLIPBOARD_NOT_OPEN);
    ASSERT_TRUE(win::OpenClipboard(window));
    EXPECT_FALSE(win::OpenClipboard(window));  // open already
    EXPECT_TRUE(win::EmptyClipboard());
    EXPECT_TRUE(win::SetClipboardData(win::CF_TEXT, "Arial\nTimes\n"));
    EXPECT_FALSE(win::SetClipboardData(2, "bitmap"));
    EXPECT_EQ(win::GetClipboardData(win::CF_TEXT), "Arial\nTimes\n");
    EXPECT_TRUE(win::CloseClipboard());
    EXPECT_FALSE(win::CloseClipboard());
    EXPECT_EQ(win::GetClipboardOwner(), window);
    EXPECT_TRUE(win::IsClipboardFormatAvailable(win::CF_TEXT));
    EXPECT_FALSE(win::GetClipboardData(win::CF_TEXT).has_value());  // closed
    EXPECT_EQ(vcl::Clipboard()->AsText(), "Arial\nTimes\n");
    vcl::Clipboard()->SetAsText("Courier");
    EXPECT_EQ(win::ClipboardText(), "Courier");
    EXPECT_EQ(win::GetClipboardOwner(), win::kNoWindow);  // the class library opens it for no window
    vcl::Clipboard()->Clear();
    EXPECT_FALSE(vcl::Clipboard()->HasText());
    EXPECT_EQ(vcl::Clipboard()->AsText(), "");
}

// ---- File dialogs ----

class FileDialogTest : public testsupport::DesktopTest {
protected:
    void SetUp() override {
        DesktopTest::SetUp();
        std::filesystem::create_directories(TempFolder() / "cues");
        std::ofstream(TempFolder() / "cues" / "First.txt") << "x";
        m_info.filter = "Auricle Cue Text File (*.txt)|*.txt|All files|*.*";
        m_info.initialDir = (TempFolder() / "cues").string();
        m_info.title = "Select Input File";
        m_info.defaultExt = ".txt";
        m_info.flags = win::OFN_PATHMUSTEXIST | win::OFN_FILEMUSTEXIST;
    }
    static void Queue(Kind kind, std::string control, std::string value = {}, std::string dialog = "TOpenDialog") {
        win::QueueFormAction(dialog, {kind, std::move(control), std::move(value)});
    }
    std::string Folder() const { return (TempFolder() / "cues").string(); }

    win::OpenFileName m_info;
};

TEST_F(FileDialogTest, TheUserTypesANameAndOpensIt) {
    m_info.fileName = "old.txt";
    Queue(Kind::Set, "FileName", "nothing");
    Queue(Kind::Click, "Open");
    Queue(Kind::Set, "FileType", "All files");
    Queue(Kind::Set, "FileName", "first");  // no extension: the default one; any letter case
    Queue(Kind::Click, "Open");
    ASSERT_TRUE(win::GetOpenFileName(m_info));
    EXPECT_EQ(m_info.fileName, (TempFolder() / "cues" / "First.txt").string());
    EXPECT_EQ(m_info.filterIndex, 2);
    testsupport::ExpectLines(
        {
            "[form] \"Select Input File\" TOpenDialog, modal",
            "  edit FileName: \"old.txt\"",
            "  combo box FileType: \"Auricle Cue Text File (*.txt)\"",
            "    > Auricle Cue Text File (*.txt)",
            "      All files",
            "  label Folder: \"" + Folder() + "\"",
            "  user: set FileName \"nothing\"",
            "  user: click Open",
            "    not done: the file \"" + Folder() + "/nothing.txt\" does not exist",
            "  user: set FileType \"All files\"",
            "  user: set FileName \"first\"",
            "  user: click Open",
            "  -> Open \"" + (TempFolder() / "cues" / "First.txt").string() + "\"",
        },
        win::TranscriptLines());
}

TEST_F(FileDialogTest, CancelAndEscapeChooseNothing) {
    m_info.fileName = "keep.txt";
    Queue(Kind::Click, "Cancel");
    EXPECT_FALSE(win::GetOpenFileName(m_info));
    EXPECT_EQ(m_info.fileName, "keep.txt");
    EXPECT_EQ(win::CommDlgExtendedError(), 0u);
    win::ClearTranscript();
    EXPECT_FALSE(win::GetOpenFileName(m_info));  // nothing queued: the user presses Escape
    EXPECT_EQ(win::TranscriptLines().back(), "  -> Cancel (no action was queued: Escape)");
    Queue(Kind::Close, "");
    EXPECT_FALSE(win::GetOpenFileName(m_info));
}

TEST_F(FileDialogTest, AFolderTypedOpensIt) {
    std::filesystem::create_directories(TempFolder() / "cues" / "Reel 2");
    std::ofstream(TempFolder() / "cues" / "Reel 2" / "hits.txt") << "x";
    m_info.initialDir = TempFolder().string();
    Queue(Kind::Set, "FileName", "cues");
    Queue(Kind::Click, "OK");
    Queue(Kind::Set, "Folder", "reel 2");
    Queue(Kind::Set, "FileName", "hits.txt");
    Queue(Kind::Click, "Open");
    ASSERT_TRUE(win::GetOpenFileName(m_info));
    EXPECT_EQ(m_info.fileName, (TempFolder() / "cues" / "Reel 2" / "hits.txt").string());
}

TEST_F(FileDialogTest, SavingOverAFileAsksFirst) {
    m_info.flags = win::OFN_OVERWRITEPROMPT | win::OFN_PATHMUSTEXIST;
    Queue(Kind::Set, "FileName", "first.txt", "TSaveDialog");
    Queue(Kind::Click, "Save", "", "TSaveDialog");
    Queue(Kind::Set, "FileName", "new", "TSaveDialog");
    Queue(Kind::Click, "Save", "", "TSaveDialog");
    win::QueueMessageBoxAnswer(win::IDNO);
    ASSERT_TRUE(win::GetSaveFileName(m_info));
    EXPECT_EQ(m_info.fileName, (TempFolder() / "cues" / "new.txt").string());  // need not exist
    const auto& lines = win::TranscriptLines();
    EXPECT_NE(std::find(lines.begin(), lines.end(), "    not done: the file is not replaced"), lines.end());
    EXPECT_EQ(lines.front(), "[form] \"Select Input File\" TSaveDialog, modal");
}

TEST_F(FileDialogTest, TheClassLibraryDialogsTakeTheirClassNames) {
    vcl::TOpenDialog open(nullptr);
    open.Filter = "Text|*.txt";
    open.InitialDir = Folder();
    open.FileName = "x";
    open.Options = vcl::ofFileMustExist;
    Queue(Kind::Set, "FileName", "First.txt");
    Queue(Kind::Click, "Open");
    ASSERT_TRUE(open.Execute());
    EXPECT_EQ(open.FileName, (TempFolder() / "cues" / "First.txt").string());
    vcl::TSaveDialog save(nullptr);
    save.InitialDir = Folder();
    save.DefaultExt = "csv";
    Queue(Kind::Set, "FileName", "table", "TSaveDialog");
    Queue(Kind::Click, "Save", "", "TSaveDialog");
    ASSERT_TRUE(save.Execute());
    EXPECT_EQ(save.FileName, (TempFolder() / "cues" / "table.csv").string());
    save.FileName = "kept";
    EXPECT_FALSE(save.Execute());
    EXPECT_EQ(save.FileName, "kept");
}

}  // namespace
