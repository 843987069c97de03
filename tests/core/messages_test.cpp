// Message texts, their numbers and the remembered answers of skipped questions.
#include <gtest/gtest.h>

#include "core/messages.h"
#include "core/module.h"
#include "core/startup.h"

namespace {

using namespace orvex;

class MessagesTest : public ::testing::Test {
protected:
    void SetUp() override { ResetModule(); }
};

TEST_F(MessagesTest, NumbersInMessages) {
    EXPECT_EQ(ReplaceFirstNumber(MessageText(MSG_REMOVED_BEAT_CHART_HANDLES, 0), 5),
              "I removed 5 extraneous beat chart handles.");
    EXPECT_EQ(ReplaceFirstNumber("%1 and %1", 5), "5 and %1");
    EXPECT_EQ(ReplaceAllNumbers(MessageText(21, 0), 4, 3).substr(0, 52),
              "The layer for the invisible playback notes, layer 4,");
    EXPECT_TRUE(ReplaceAllNumbers(MessageText(21, 0), 4, 3).ends_with("click No to use layer 3 instead."));
    EXPECT_EQ(ReplaceAllNumbers("%1%2%3%", 1, -2), "1-2%3%");
}

TEST_F(MessagesTest, TextsByLanguageAndId) {
    EXPECT_EQ(MessageText(MSG_PROCESS_WHOLE_DOCUMENT, 1),
              "Es ist kein Bereich markiert. Soll das ganze Dokument bearbeitet werden?");
    EXPECT_EQ(MessageText(0, 0), "");
    EXPECT_EQ(MessageText(23, 0), "");
    EXPECT_EQ(MessageText(-1, 1), "");
    EXPECT_EQ(CaptionText(Caption::None, 0), "");
    EXPECT_EQ(CaptionText(Caption::SortingAborted, 0), "ERROR - Sorting aborted");
    EXPECT_EQ(CaptionText(Caption::OneMeasureNotProcessed, 0), "One measure not processed");
    EXPECT_EQ(CaptionText(Caption::StaffListManager, 1), "Orvex Systemlisten-Manager");
    EXPECT_EQ(CaptionText(Caption::NewSpacing, 0), "Vx New Spacing");
}

TEST_F(MessagesTest, RememberingPadsBothStrings) {
    RememberAnswer(11, true, 6);
    EXPECT_EQ(TheModule.process.ShowMessagesText, "11111111111");
    EXPECT_EQ(TheModule.process.LastAnswersText, "00000000006");
    RememberAnswer(3, false, 7);
    EXPECT_EQ(TheModule.process.ShowMessagesText, "11011111111");
    EXPECT_EQ(TheModule.process.LastAnswersText, "00700000006");
}

TEST_F(MessagesTest, SkippedQuestionAnswersItsLastAnswer) {
    TheModule.process.ShowMessagesText =
        "1111111111"
        "0";
    TheModule.process.LastAnswersText =
        "0000000000"
        "7";
    const RememberedAnswer recalled = RecallAnswer(11, false);
    EXPECT_FALSE(recalled.show);
    EXPECT_EQ(recalled.answer, 7);
    EXPECT_EQ(RecallAnswer(1, false).answer, 0);  // a remembered 0 is an answer too
    // A message that may not be skipped is shown in any case.
    EXPECT_TRUE(RecallAnswer(11, true).show);
    // Positions beyond the strings: shown, answer OK.
    const RememberedAnswer unknown = RecallAnswer(20, false);
    EXPECT_TRUE(unknown.show);
    EXPECT_EQ(unknown.answer, 1);
    EXPECT_TRUE(RecallAnswer(0, false).show);
}

}  // namespace
