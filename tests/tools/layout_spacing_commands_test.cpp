// The spacing commands end to end: chosen from the host's menu with Shift (the stored options),
// through the dispatcher and the entry engine to the beat charts, the result message and the
// host's refresh.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/beat_chart.h"
#include "core/tool_items.h"
#include "platform/win/messages.h"
#include "tests/support/case_names.h"
#include "tests/support/orvex_host.h"

namespace {

// Two measures; every measure listed gets an evenly spaced chart, whose elements 2-4 lie where
// their neighbours put them.
std::string Score(int32_t charts) {
    std::string score = "staff \"A\"\nmeasures 2 width 300\n";
    for (int32_t m = 1; m <= charts; ++m) {
        score +=
            "beatchart " + std::to_string(m) + " 4096:260:0:0 0:20:80:0 1024:80:140:0 2048:140:200:0 3072:200:260:0\n";
    }
    return score;
}

struct RemoveRun {
    int32_t charts;
    int16_t result;  ///< the host hears of the change also when a refresh run was posted
    const char* message;
    size_t posted;  ///< the host's refresh commands
};

class SpacingCommandsTest : public testsupport::OrvexHostTest, public ::testing::WithParamInterface<RemoveRun> {};

TEST_P(SpacingCommandsTest, RemovedHandlesAreReportedAndOneChangedMeasureIsRefreshed) {
    const RemoveRun& run = GetParam();
    SCOPED_TRACE(std::to_string(run.charts) + " charts");
    StartHost(Score(run.charts));
    Select(1, 1, 1, 2);
    EXPECT_EQ(RunWithShift(orvex::ToolCode(orvex::ToolItem::RemoveBeatChartElements)), run.result);
    EXPECT_EQ(Messages(), std::vector<std::string>{run.message});
    EXPECT_EQ(win::PendingMessages(), run.posted);
    for (int16_t m = 1; m <= run.charts; ++m) {
        SCOPED_TRACE("measure " + std::to_string(m));
        EXPECT_NE(Document().Records().Find(host::RecordKey::Other(orvex::kTagBeatChart, m, 1)), nullptr);
        EXPECT_EQ(Document().Records().Find(host::RecordKey::Other(orvex::kTagBeatChart, m, 2)), nullptr);
    }
}

INSTANTIATE_TEST_SUITE_P(Runs, SpacingCommandsTest,
                         ::testing::Values(RemoveRun{1, 1, "I removed 3 extraneous beat chart handles.", 2},
                                           RemoveRun{2, 1, "I removed 6 extraneous beat chart handles.", 0}),
                         testsupport::NameBy("charts", &RemoveRun::charts, "result", &RemoveRun::result));

}  // namespace
