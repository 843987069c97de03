// Messages and questions in the message dialog: texts, buttons, captions, and the remembered
// answers of skipped questions.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "core/free_texts.h"
#include "core/host/access_state.h"
#include "core/host/text_file_utils.h"
#include "core/messages.h"
#include "core/module.h"
#include "core/startup.h"
#include "platform/win/win.h"
#include "tests/support/fixture.h"

namespace {

using namespace orvex;

class MsgDlgTest : public testsupport::DesktopTest {
protected:
    void SetUp() override {
        DesktopTest::SetUp();
        ResetModule();
    }
    /// The transcript of the dialogs shown since the last call.
    std::vector<std::string> Shown() {
        std::vector<std::string> lines = win::TranscriptLines();
        win::ClearTranscript();
        return lines;
    }
};

TEST_F(MsgDlgTest, MessageWithNumberAndCaption) {
    ShowMessage({.id = MSG_REMOVED_BEAT_CHART_HANDLES, .caption = Caption::BeatChartOptimizer, .first = 5});
    testsupport::ExpectLines({"[form] \"Orvex Beat Chart Optimizer\" TMsgDlg, modal",
                              "  label Message \"I removed 5 extraneous beat chart handles.\"", "  button OkBtn \"OK\"",
                              "  user: Escape", "  -> OK (no action was queued: Escape)"},
                             Shown());
    // Not skippable: shown every time, but its answer is remembered at position 10.
    EXPECT_EQ(TheModule.process.ShowMessagesText, "1111111111");
    EXPECT_EQ(TheModule.process.LastAnswersText, "0000000001");
}

TEST_F(MsgDlgTest, SkippedMessageIsNotShownAgain) {
    win::QueueFormAction("TMsgDlg", {win::FormAction::Kind::Set, "Skip", "checked"});
    win::QueueFormAction("TMsgDlg", {win::FormAction::Kind::Click, "OkBtn", ""});
    ShowMessage({.id = MSG_BEAT_CHART_REFRESH_OFF, .skippable = true});
    EXPECT_EQ(TheModule.process.ShowMessagesText, "111111110");
    EXPECT_FALSE(Shown().empty());
    ShowMessage({.id = MSG_BEAT_CHART_REFRESH_OFF, .skippable = true});
    EXPECT_TRUE(Shown().empty());
    // A message that may not be skipped shows even so.
    ShowMessage({.id = MSG_BEAT_CHART_REFRESH_OFF});
    EXPECT_FALSE(Shown().empty());
}

TEST_F(MsgDlgTest, QuestionInGermanWithCancel) {
    TheAccessLayer.host.language = 1;
    win::QueueMessageBoxAnswer(win::IDNO);
    EXPECT_EQ(Ask({.id = MSG_PROCESS_WHOLE_DOCUMENT, .skippable = true, .cancel = true}), Answer::No);
    testsupport::ExpectLines(
        {"[form] \"Orvex 1.88d\" TMsgDlg, modal",
         "  label Message \"Es ist kein Bereich markiert. Soll das ganze Dokument bearbeitet werden?\"",
         "  check box Skip \"In Zukunft überspringen\": unchecked", "  button YesBtn \"&Ja\"",
         "  button NoBtn \"&Nein\"", "  button CancelBtn \"&Abbrechen\"", "  user: click NoBtn", "  -> No"},
        Shown());
    EXPECT_EQ(TheModule.process.ShowMessagesText, "11111111111");
    EXPECT_EQ(TheModule.process.LastAnswersText, "00000000007");
}

TEST_F(MsgDlgTest, SkippedQuestionAnswersItsLastAnswerUnseen) {
    TheModule.process.ShowMessagesText = "11111111110";
    TheModule.process.LastAnswersText = "00000000006";
    EXPECT_EQ(Ask({.id = MSG_PROCESS_WHOLE_DOCUMENT, .skippable = true}), Answer::Yes);
    EXPECT_TRUE(Shown().empty());
    // A remembered Cancel is a Cancel, a remembered OK (a message's answer) a No.
    TheModule.process.LastAnswersText = "00000000002";
    EXPECT_EQ(Ask({.id = MSG_PROCESS_WHOLE_DOCUMENT, .skippable = true}), Answer::Cancel);
    TheModule.process.LastAnswersText = "00000000001";
    EXPECT_EQ(Ask({.id = MSG_PROCESS_WHOLE_DOCUMENT, .skippable = true}), Answer::No);
    EXPECT_TRUE(Shown().empty());
    EXPECT_EQ(TheModule.process.LastAnswersText, "00000000001");
}

TEST_F(MsgDlgTest, QuestionNumbersAndYesNoButtons) {
    win::QueueMessageBoxAnswer(win::IDYES);
    EXPECT_EQ(Ask({.id = 21, .first = 4, .second = 3}), Answer::Yes);
    const auto lines = Shown();
    ASSERT_GE(lines.size(), 4u);
    EXPECT_TRUE(lines[1].find("layer 4, is not empty") != std::string::npos) << lines[1];
    EXPECT_TRUE(lines[1].find("use layer 3 instead") != std::string::npos) << lines[1];
    EXPECT_EQ(lines[2], "  button YesBtn \"&Yes\"");
    EXPECT_EQ(lines[3], "  button NoBtn \"&No\"");
}

TEST_F(MsgDlgTest, FreeTextsAndInternalErrors) {
    TheAccessLayer.host.language = 1;
    ShowFilledMessage({"English only", ""});
    EXPECT_EQ(Shown()[1], "  label Message \"English only\"");
    ReportInternalError("list");
    EXPECT_EQ(Shown()[1], "  label Message \"Interner Fehler: list\"");
    EXPECT_TRUE(CheckOrReportInternalError(true, "never shown"));
    EXPECT_TRUE(Shown().empty());
    win::QueueMessageBoxAnswer(win::IDNO);
    EXPECT_EQ(Ask(FreeText::NFilesHaveBeenPrinted, {"3"}), Answer::No);
    EXPECT_EQ(Shown()[1], "  label Message \"3 Dateien gedruckt. Weiter?\"");
}

TEST_F(MsgDlgTest, FileThatCouldNotBeWrittenIsReported) {
    std::ostringstream good;
    good << "fine";
    EXPECT_TRUE(CheckFileWritten(good));
    EXPECT_TRUE(Shown().empty());
    std::ofstream bad;  // never opened: writing fails
    bad << "lost";
    TheAccessLayer.host.language = 1;
    EXPECT_FALSE(CheckFileWritten(bad));
    EXPECT_EQ(Shown()[1], "  label Message \"Die Datei konnte nicht beschrieben werden\"");
}

TEST_F(MsgDlgTest, ExceptionReportAsksToSaveThenShowsTheError) {
    ReportException(win::kNoWindow, std::runtime_error("List index out of bounds (7)"));
    const auto lines = Shown();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_TRUE(
        lines[1].starts_with("  label Message \"Well, a small error has occurred. Please use 'save as' to save "
                             "your document with a new name."))
        << lines[1];
    EXPECT_NE(std::find(lines.begin(), lines.end(), "  | List index out of bounds (7)"), lines.end());
}

}  // namespace
