// Message boxes answered by the UI driver, and what the transcript shows of them.
#include <gtest/gtest.h>

#include "platform/win/win.h"
#include "tests/support/fixture.h"

namespace {

class MessageBoxTest : public testsupport::DesktopTest {};

TEST_F(MessageBoxTest, QueuedAnswerIsTakenAndShown) {
    win::QueueMessageBoxAnswer(win::IDNO);
    EXPECT_EQ(win::MessageBox(win::kNoWindow, "Save the changes?\nThey are lost otherwise.", "Orvex",
                              win::MB_YESNOCANCEL | win::MB_ICONQUESTION),
              win::IDNO);
    testsupport::ExpectLines({"[message box] \"Orvex\" (question) buttons Yes/No/Cancel", "  | Save the changes?",
                              "  | They are lost otherwise.", "  -> No"},
                             win::TranscriptLines());
    EXPECT_EQ(win::PendingMessageBoxAnswers(), 0u);
}

TEST_F(MessageBoxTest, WithoutAnswerTheDefaultButtonIsTaken) {
    EXPECT_EQ(win::MessageBox(win::kNoWindow, "Continue?", "Q", win::MB_YESNO | win::MB_DEFBUTTON2), win::IDNO);
    EXPECT_EQ(win::TranscriptLines().back(), "  -> No (default: no answer was queued)");
    EXPECT_EQ(win::MessageBox(win::kNoWindow, "Done.", "Info", win::MB_OK), win::IDOK);
}

TEST_F(MessageBoxTest, AnswerThatIsNoButtonFallsBackToTheDefault) {
    win::QueueMessageBoxAnswer(win::IDYES);
    EXPECT_EQ(win::MessageBox(win::kNoWindow, "Done.", "Info", win::MB_OKCANCEL), win::IDOK);
    EXPECT_EQ(win::TranscriptLines().back(), "  -> OK (default: the queued answer Yes is not a button of this box)");
}

TEST_F(MessageBoxTest, AnswerNames) {
    EXPECT_EQ(win::AnswerFromName("yes"), win::IDYES);
    EXPECT_EQ(win::AnswerFromName("Cancel"), win::IDCANCEL);
    EXPECT_EQ(win::AnswerFromName("maybe"), 0);
    EXPECT_EQ(win::AnswerName(win::IDOK), "OK");
}

}  // namespace
