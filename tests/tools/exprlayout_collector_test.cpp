// The region expression collector through the simulated host: which measure expressions it
// reads, and what removing, scaling and converting them leaves in the document.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/host/finxess_regions.h"
#include "core/host/staff_lists.h"
#include "core/tool_context.h"
#include "expressions/expression_records.h"
#include "tests/core/score_host_fixture.h"
#include "tests/tools/layout_test_support.h"

namespace {

using namespace orvex;
using host::RecordKey;

constexpr const char* kScore =
    "font 1 \"Maestro\"\n"
    "staff \"A\"\nstaff \"B\"\nmeasures 2\n"
    "expression 1 \"p\" font 1\n"
    "notes 1 1 c4/4 d4/4 e4/4 f4/4\n"
    "notes 2 1 c4/1\n";

/// One stored 'otDY': number, position, vertical position, staff word.
struct Assignment {
    int16_t position;
    int16_t vertical;
    uint16_t flags;
    bool operator==(const Assignment&) const = default;
};

class CollectorTest : public testsupport::ScoreHostTest {
protected:
    void SetUp() override {
        ScoreHostTest::SetUp();
        Open(kScore);
        m_region.setFirstStaff(1);
        m_region.setLastStaff(2);
        m_region.setFirstMeasure(1);
        m_region.setLastMeasure(2);
        m_region.setEndEdu(0x7FFFFFFF);
    }
    /// Stores an 'otDY' at the next inci of the measure; with `flagged` the measure gets the
    /// flag that says it holds measure expressions.
    void AddAssignment(int16_t measure, Assignment a, int16_t link = 0, bool flagged = true) {
        host::Bytes bytes(12);
        hostapi::WriteI16(bytes.data(), 0, 1);
        hostapi::WriteI16(bytes.data(), 2, a.position);
        hostapi::WriteI16(bytes.data(), 4, a.vertical);
        hostapi::WriteI16(bytes.data(), 6, link);
        hostapi::WriteU16(bytes.data(), 10, a.flags);
        int16_t inci = 0;
        while (Stored(RecordKey::Other(kTagMeasureExpression, measure, inci)) != nullptr) {
            ++inci;
        }
        Document().Records().Save(RecordKey::Other(kTagMeasureExpression, measure, inci), bytes);
        if (flagged) {
            const RecordKey measureKey = RecordKey::Other(hostapi::MakeTag("SOMS"), measure, 0);
            host::Bytes measureRecord = *Stored(measureKey);
            measureRecord[11] |= 0x40;
            Document().Records().Save(measureKey, measureRecord);
        }
    }
    void AddRecord(hostapi::Tag tag, int16_t cmper, int16_t inci, std::vector<int16_t> words) {
        host::Bytes bytes(12);
        for (size_t i = 0; i < words.size(); ++i) {
            hostapi::WriteI16(bytes.data(), 2 * i, words[i]);
        }
        Document().Records().Save(RecordKey::Other(tag, cmper, inci), bytes);
    }
    std::vector<Assignment> Assignments(int16_t measure) {
        std::vector<Assignment> found;
        for (int16_t inci = 0;; ++inci) {
            const host::Bytes* bytes = Stored(RecordKey::Other(kTagMeasureExpression, measure, inci));
            if (bytes == nullptr) {
                return found;
            }
            found.push_back({hostapi::ReadI16(bytes->data(), 2), hostapi::ReadI16(bytes->data(), 4),
                             hostapi::ReadU16(bytes->data(), 10)});
        }
    }
    hostapi::EntryNumber EntryNumberOf(int16_t staff, int32_t index) {
        const auto& entries = Document().EntriesOf(host::CellKey{staff, 1, 0});
        return hostapi::ReadI32(entries.at(static_cast<size_t>(index)).data(), 0);
    }

    hostapi::SelectionRecord m_region;
    TScoreExpressions m_list;
};

TEST_F(CollectorTest, AMeasureWithoutTheExpressionFlagIsNotRead) {
    AddAssignment(2, {300, -60, 0x1001}, 0, false);
    CollectSwitches scale;
    scale.factor = 2.0;
    CollectRegionExpressions(orvex::DispatcherEnvironment(), m_list, 1, 2, m_region, scale);
    EXPECT_EQ(Assignments(2), (std::vector<Assignment>{{300, -60, 0x1001}}));
}

struct FactorCase {
    const char* name;
    double factor;
    int16_t before;
    int16_t after;
};

class CollectorFactorTest : public CollectorTest, public ::testing::WithParamInterface<FactorCase> {};

TEST_P(CollectorFactorTest, PositionsAreScaledTowardZero) {
    AddAssignment(1, {GetParam().before, -60, 0x1001});
    CollectSwitches scale;
    scale.factor = GetParam().factor;
    CollectRegionExpressions(orvex::DispatcherEnvironment(), m_list, 1, 2, m_region, scale);
    EXPECT_EQ(Assignments(1), (std::vector<Assignment>{{GetParam().after, -60, 0x1001}}));
    EXPECT_EQ(m_list.Count(), 0) << "a scaled expression is not collected";
}

INSTANTIATE_TEST_SUITE_P(Factors, CollectorFactorTest,
                         ::testing::Values(FactorCase{"OneAndAHalf", 1.5, 100, 150},
                                           FactorCase{"Double", 2.0, 300, 600}, FactorCase{"HalfOfOdd", 0.5, 301, 150},
                                           FactorCase{"NegativeHalf", 0.5, -3, -1}),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

TEST_F(CollectorTest, RemovingDeletesSingleStaffOnesWithoutSkippingTheNext) {
    AddAssignment(1, {100, -60, 0x1001});
    AddAssignment(1, {200, -60, 0x1001});
    AddAssignment(1, {300, -60, 0x1002});
    CollectSwitches remove;
    remove.staffFilter = 1;
    remove.remove = true;
    CollectRegionExpressions(orvex::DispatcherEnvironment(), m_list, 1, 2, m_region, remove);
    EXPECT_EQ(Assignments(1), (std::vector<Assignment>{{300, -60, 0x1002}}));
}

TEST_F(CollectorTest, RemovingFromAStaffListTakesOnlyTheStaffOut) {
    AddRecord(hostapi::MakeTag("otDC"), 5, 0, {1, 2});
    AddAssignment(1, {100, -60, 5});
    CollectSwitches remove;
    remove.staffFilter = 1;
    remove.remove = true;
    CollectRegionExpressions(orvex::DispatcherEnvironment(), m_list, 1, 2, m_region, remove);
    EXPECT_EQ(Assignments(1), (std::vector<Assignment>{{100, -60, 5}}));
    EXPECT_EQ(StaffListMembership(1, 5), 0);
    EXPECT_NE(StaffListMembership(2, 5), 0);
}

TEST_F(CollectorTest, ConvertingGivesEachStaffItsCopyWithItsOwnAdjustment) {
    AddAssignment(1, {300, -60, 0x0800}, 7);
    AddRecord(kTagExpressionPlace, 1, 0, {2, 7, 24, -12});
    std::shared_ptr<TFMisc> options = layouttest::ToolWithDefaults(ToolItem::Expressions);
    const TInstruments staves(0, nullptr, false);
    CollectSwitches convert;
    convert.convert = true;
    convert.staves = &staves;
    convert.expressionOptions = options.get();
    CollectRegionExpressions(orvex::DispatcherEnvironment(), m_list, 1, 2, m_region, convert);
    EXPECT_EQ(Assignments(1), (std::vector<Assignment>{{300, -60, 0x1001}, {324, -72, 0x1002}}));
}

struct AttachCase {
    const char* name;
    int16_t position;
    bool alignWithNote;
    int32_t entry;       ///< index of the entry of staff 1 that gets it
    int16_t horizontal;  ///< EVPU from the entry
    int16_t vertical;    ///< EVPU from the entry's note (c4 lies 120 below the top line, d4 108)
};

class CollectorAttachTest : public CollectorTest, public ::testing::WithParamInterface<AttachCase> {};

TEST_P(CollectorAttachTest, ConvertedCopiesGoToTheNearestNote) {
    const AttachCase& c = GetParam();
    AddAssignment(1, {c.position, -60, 0x1001});
    std::shared_ptr<TFMisc> options = layouttest::ToolWithDefaults(ToolItem::Expressions);
    options->Options[expressionsrow::kNoteAttached].value = 1;
    options->Options[expressionsrow::kAlignWithNote].value = c.alignWithNote ? 1 : 0;
    const TInstruments staves(0, nullptr, false);
    CollectSwitches convert;
    convert.convert = true;
    convert.staves = &staves;
    convert.expressionOptions = options.get();
    CollectRegionExpressions(orvex::DispatcherEnvironment(), m_list, 1, 2, m_region, convert);
    EXPECT_TRUE(Assignments(1).empty());
    const RecordKey note = RecordKey::EntryDetail(kTagNoteExpression, EntryNumberOf(1, c.entry), 0);
    EXPECT_EQ(StoredWord(note, 0), 1);
    EXPECT_EQ(StoredWord(note, 2), c.horizontal);
    EXPECT_EQ(StoredWord(note, 4), c.vertical);
    EXPECT_EQ(static_cast<uint16_t>(StoredWord(note, 8)), 0x8000);
    const auto& entry = Document().EntriesOf(host::CellKey{1, 1, 0}).at(static_cast<size_t>(c.entry));
    EXPECT_EQ(hostapi::ReadU16(entry.data(), 12) & 1, 1);
    EXPECT_EQ(Stored(RecordKey::EntryDetail(kTagNoteExpression, EntryNumberOf(2, 0), 0)), nullptr)
        << "a single-staff expression stays on its staff";
}

INSTANTIATE_TEST_SUITE_P(Positions, CollectorAttachTest,
                         ::testing::Values(AttachCase{"AtZero", 0, false, 0, 0, 60},
                                           AttachCase{"BeforeTheStart", -30, false, 0, -30, 60},
                                           AttachCase{"ByTheMeasureWidth", 1100, false, 1, 4, 48},
                                           AttachCase{"AtTheSetOffset", 1100, true, 1, -14, 48}),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

TEST(DynamicWordsTest, OnlyTheExactWordsCount) {
    EXPECT_TRUE(HasDynamicWords("dim. e poco rit."));
    EXPECT_FALSE(HasDynamicWords("Dim. e poco rit."));
    EXPECT_TRUE(HasDynamicWords("diminuendo"));
    EXPECT_TRUE(HasDynamicWords("poco cresc."));
    EXPECT_FALSE(HasDynamicWords("dolce"));
}

}  // namespace
