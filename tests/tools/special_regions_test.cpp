// "Special Measure Regions...": the measure-number regions ('otMN' on host year 2000, 'SOMN' on
// later hosts) and barlines that the sections of a selection leave.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <utility>
#include <vector>

#include "core/tool_items.h"
#include "platform/hostapi/bytes.h"
#include "platform/hostapi/measure_region_records.h"
#include "tests/tools/notes_fixture.h"
#include "tests/tools/systems_test_support.h"
#include "tools/layout/layout_services.h"

namespace {

using namespace orvex;
using hostapi::MeasureNumberRegionLayout;

/// A region as stored: first measure, one past its last, number offset (the first measure shows
/// offset + 1), flag word.
struct Region {
    int32_t first;
    int32_t end;
    int32_t offset;
    int32_t flags;
    bool operator==(const Region&) const = default;
};
using Regions = std::vector<Region>;

std::ostream& operator<<(std::ostream& out, const Region& r) {
    return out << "{" << r.first << ", " << r.end << ", " << r.offset << ", " << r.flags << "}";
}

/// The regions the document holds under the tag of the host year (2000 unless given).
Regions StoredRegions(host::Document& document, int32_t year = 2000) {
    Regions regions;
    for (const auto& [key, bytes] : document.Records().Records()) {
        if (key.tag == hostapi::MeasureNumberRegionTag(year)) {
            regions.push_back({hostapi::ReadI16(bytes.data(), MeasureNumberRegionLayout::kFirstMeasure),
                               hostapi::ReadI16(bytes.data(), MeasureNumberRegionLayout::kEndMeasure),
                               hostapi::ReadI16(bytes.data(), MeasureNumberRegionLayout::kNumberOffset),
                               hostapi::ReadU16(bytes.data(), MeasureNumberRegionLayout::kFlags)});
        }
    }
    return regions;
}

int32_t Barline(host::Document& document, int16_t measure) {
    const host::Bytes* record = document.Records().Find(host::RecordKey::Other(hostapi::MakeTag("SOMS"), measure, 0));
    return record == nullptr ? -1 : (hostapi::ReadU16(record->data(), hostapi::kMeasureBarlineWord) >> 4) & 0xF;
}

// Measure 3 ends with a double barline, measure 5 with a backward repeat.
constexpr const char* kTwelve = "staff \"A\"\nmeasures 12\nnumberregion 1 12\nbarline 3 2\nbackwardrepeat 5\n";

struct RegionCase {
    const char* name;
    std::array<int32_t, 5> rows;
    int16_t first;  ///< the selection
    int16_t last;
    Regions after;
    std::vector<int32_t> doubleBarlines;  ///< measures with kind 2 afterwards
};

class RegionsTest : public systemstest::SystemsTest, public ::testing::WithParamInterface<RegionCase> {};

TEST_P(RegionsTest, EachSectionStartsARegionNumberedOneHigher) {
    const RegionCase& c = GetParam();
    SCOPED_TRACE(c.name);
    OpenHeld(kTwelve);
    SelectMeasures(c.first, c.last);
    std::shared_ptr<TFMisc> context =
        Tool(ToolItem::SpecialMeasureRegions, {{SPECIAL_REGIONS_AT_DOUBLE_BARLINES, c.rows[0]},
                                               {SPECIAL_REGIONS_AT_BACKWARD_REPEATS, c.rows[1]},
                                               {SPECIAL_REGIONS_AT_SELECTION_END, c.rows[2]},
                                               {SPECIAL_REGIONS_EVERY, c.rows[3]},
                                               {SPECIAL_REGIONS_ADD_DOUBLE_BARLINES, c.rows[4]}});
    EXPECT_TRUE(RunSpecialMeasureRegions(*context));
    EXPECT_EQ(StoredRegions(Document()), c.after);
    std::vector<int32_t> doubles;
    for (int16_t m = 1; m <= 12; ++m) {
        if (Barline(Document(), m) == 2) {
            doubles.push_back(m);
        }
    }
    EXPECT_EQ(doubles, c.doubleBarlines);
    EXPECT_TRUE(layouttest::MessageTexts().empty());
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Rules, RegionsTest, ::testing::Values(
    // Every fourth measure: three sections; after the document's last measure none starts.
    RegionCase{"every four", {0, 0, 0, 4, 0}, 1, 12,
               {{1, 2, 0, 0}, {5, 6, 1, 0}, {9, 10, 2, 0}}, {3}},
    RegionCase{"every two with double barlines", {0, 0, 0, 2, 1}, 1, 4,
               {{1, 2, 0, 0}, {3, 4, 1, 0}, {5, 13, 2, 0}}, {2, 3, 4}},
    RegionCase{"barline and repeat", {1, 1, 0, 0, 0}, 1, 8, {{1, 2, 0, 0}, {4, 5, 1, 0}, {6, 13, 2, 0}}, {3}},
    // The selection's end ends a section also where the repeat ends one.
    RegionCase{"selection end", {1, 1, 1, 0, 0}, 1, 5, {{1, 2, 0, 0}, {4, 5, 1, 0}, {6, 13, 2, 0}}, {3}}),
    [](const auto& testCase) { std::string n = testCase.param.name; std::replace(n.begin(), n.end(), ' ', '_'); return n; });
// clang-format on

// ---- Through the host's menu ----

class RegionsMenuTest : public testsupport::NotesTest {};

TEST_F(RegionsMenuTest, ASelectionOutsideEveryRegionChangesNothing) {
    StartHost("staff \"A\"\nmeasures 8\nnumberregion 5 8 start 10\n");
    Select(1, 1, 1, 4);
    RunTool(orvex::ToolCode(orvex::ToolItem::SpecialMeasureRegions));
    EXPECT_EQ(Messages(), std::vector<std::string>{"No measure region found that could be used as a model"});
    EXPECT_EQ(StoredRegions(Document()), (Regions{{5, 9, 9, 0x1000}}));
}

TEST_F(RegionsMenuTest, TheDefaultsEndASectionAtTheSelectionsEnd) {
    // Host year 2000 keeps the regions as 'otMN', a later host as 'SOMN': the score text's region
    // and the sections alike, none under the other tag.
    for (const auto& [version, year] : {std::pair{0x05000005, 2000}, std::pair{0x06000200, 2001}}) {
        SCOPED_TRACE(year);
        StartHost("staff \"A\"\nmeasures 8\nnumberregion 1 8 start 10\n", version);
        Select(1, 1, 2, 4);
        RunTool(orvex::ToolCode(orvex::ToolItem::SpecialMeasureRegions));
        EXPECT_EQ(StoredRegions(Document(), year), (Regions{{1, 2, 9, 0}, {5, 9, 10, 0}}));
        EXPECT_EQ(StoredRegions(Document(), year == 2000 ? 2001 : 2000), Regions{});
    }
}

ORDINARY_MUSIC_CASES(SpecialRegions, "tests/tools/ordinary-more.cases", "special regions");

}  // namespace
