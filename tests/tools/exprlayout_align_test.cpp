// Align/Move through the simulated host: where the measure expressions of a staff end up.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/tool_context.h"
#include "tests/core/score_host_fixture.h"
#include "tests/support/orvex_host.h"
#include "tests/tools/layout_test_support.h"
#include "tools/layout/align_move.h"
#include "tools/notes/notes_services.h"

namespace {

using namespace orvex;
using host::RecordKey;

// Dynamics at -60 (measure 1), -80 (measure 1, half way) and -100 (measure 2) on staff 1, and a
// text that is no dynamic a little after the first.
constexpr const char* kScore =
    "font 1 \"Maestro\"\nfont 2 \"Times New Roman\"\n"
    "staff \"A\"\nmeasures 2\n"
    "expression 1 \"p\" font 1\n"
    "expression 2 \"dolce\" font 2\n"
    "measureexpression 1 1 at 0 staff 1 offset -60\n"
    "measureexpression 1 1 at 2048 staff 1 offset -80\n"
    "measureexpression 2 1 at 0 staff 1 offset -100\n"
    "measureexpression 1 2 at 512 staff 1 offset -40\n";

class AlignMoveTest : public testsupport::ScoreHostTest {
protected:
    void SetUp() override {
        ScoreHostTest::SetUp();
        SharedSmartShapes().Clear();
        Open(kScore);
        m_context = layouttest::ToolWithDefaults(29, 31);
        m_context->MoreOptions[morerow::kConsiderMeasureAttached].value = 1;
        m_context->MoreOptions[morerow::kAvoidCollisions].value = 0;
        m_region.setFirstStaff(1);
        m_region.setLastStaff(1);
        m_region.setFirstMeasure(1);
        m_region.setLastMeasure(2);
        m_region.setEndEdu(0x7FFFFFFF);
    }
    bool Run() {
        return RunAlignMove(*m_context, m_region, m_context->Options, m_context->MoreOptions, true, nullptr, 0, 0);
    }
    int16_t Vertical(int16_t measure, int16_t inci) {
        return StoredWord(RecordKey::Other(kTagMeasureExpression, measure, inci), 4);
    }
    /// The vertical positions of the three dynamics and the text, in the score's order.
    std::vector<int16_t> Verticals() { return {Vertical(1, 0), Vertical(1, 1), Vertical(2, 0), Vertical(1, 2)}; }

    std::unique_ptr<TFMisc> m_context;
    hostapi::SelectionRecord m_region;
};

struct ModeCase {
    const char* name;
    int32_t mode;
    int32_t move;
    bool clamp;
    int16_t target;
};

class AlignMoveModeTest : public AlignMoveTest, public ::testing::WithParamInterface<ModeCase> {};

TEST_P(AlignMoveModeTest, TheDynamicsMoveToTheTargetAndTheTextFollowsTheNearest) {
    const ModeCase& c = GetParam();
    m_context->Options[alignrow::kMode].value = c.mode;
    m_context->Options[alignrow::kMoveVertically].value = c.move;
    m_context->MoreOptions[morerow::kAvoidCollisions].value = c.clamp ? 1 : 0;
    ASSERT_TRUE(Run());
    // The text follows the first dynamic, the nearest in time, by what it moved.
    EXPECT_EQ(Verticals(), (std::vector<int16_t>{c.target, c.target, c.target, int16_t(-40 + c.target + 60)}));
}

INSTANTIATE_TEST_SUITE_P(
    Modes, AlignMoveModeTest,
    ::testing::Values(ModeCase{"Average", 2, 0, false, -80}, ModeCase{"AverageMoved", 2, 10, false, -70},
                      ModeCase{"Nearest", 0, 0, false, -60}, ModeCase{"Farthest", 1, 0, false, -100},
                      ModeCase{"SetValue", 3, 0, false, -156}, ModeCase{"AverageClamped", 2, 0, true, -156}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(AlignMoveTest, OnlyAboveForcesSeparateClassificationAndLeavesBelowAlone) {
    m_context->MoreOptions[morerow::kBelow].value = 0;
    m_context->MoreOptions[morerow::kAbove].value = 1;
    m_context->MoreOptions[morerow::kSeparately].value = 0;
    ASSERT_TRUE(Run());
    EXPECT_EQ(m_context->MoreOptions[morerow::kSeparately].value, 1);
    EXPECT_EQ(Verticals(), (std::vector<int16_t>{-60, -80, -100, -40}));
}

// A dynamic below the first note (an E4 of the treble staff) and a measure dynamic above the
// staff: the sums count the measure-attached items only, so the below half is empty, and the
// note's item stays where it is instead of being shifted by its note's reference.
TEST_F(AlignMoveTest, ANoteItemWhoseHalfIsEmptyStaysWhereItIs) {
    Open(
        "font 1 \"Maestro\"\nstaff \"A\"\nmeasures 1\nnotes 1 1 e4/4\n"
        "expression 1 \"p\" font 1\nnoteexpression 1 1:1 1 offset -50\n"
        "measureexpression 1 1 at 2048 staff 1 offset 60\n");
    m_context->MoreOptions[morerow::kBelow].value = 1;
    m_context->MoreOptions[morerow::kAbove].value = 1;
    m_context->MoreOptions[morerow::kConsiderNoteAttached].value = 0;
    m_context->MoreOptions[morerow::kConsiderMeasureAttached].value = 1;
    m_context->MoreOptions[morerow::kMeasureAttachedIfNoNote].value = 0;
    m_region.setLastMeasure(1);
    for (const int32_t mode : {0, 1, 2}) {
        SCOPED_TRACE("mode " + std::to_string(mode));
        m_context->Options[alignrow::kMode].value = mode;
        ASSERT_TRUE(Run());
        const host::Bytes* detail = nullptr;
        for (const auto& [key, bytes] : Document().Records().Records()) {
            if (key.tag == hostapi::MakeTag("edED")) {
                detail = &bytes;
            }
        }
        ASSERT_NE(detail, nullptr);
        EXPECT_EQ(hostapi::ReadI16(detail->data(), 4), -50);
        EXPECT_EQ(Vertical(1, 0), 60) << "the measure dynamic is the above half's only item";
    }
}

TEST_F(AlignMoveTest, AHostBefore1998IsRefused) {
    orvex::HostYear = 1997;
    EXPECT_FALSE(Run());
    EXPECT_EQ(Verticals(), (std::vector<int16_t>{-60, -80, -100, -40}));
}

class AlignMoveCommandTest : public testsupport::OrvexHostTest {};

TEST_F(AlignMoveCommandTest, TheStoredDefaultsKeepBelowItemsUnderTheStaff) {
    StartHost(kScore);
    Select(1, 1, 1, 2);
    ASSERT_EQ(RunWithShift(129), 1);
    // Average of the measure expressions when no note expressions exist, then kept at least
    // 156 EVPU below the top line.
    for (const auto& [measure, inci] : std::vector<std::pair<int16_t, int16_t>>{{1, 0}, {1, 1}, {2, 0}}) {
        const host::Bytes* bytes = Document().Records().Find(RecordKey::Other(kTagMeasureExpression, measure, inci));
        ASSERT_NE(bytes, nullptr);
        EXPECT_EQ(hostapi::ReadI16(bytes->data(), 4), -156) << "measure " << measure << ", inci " << inci;
    }
}

}  // namespace
