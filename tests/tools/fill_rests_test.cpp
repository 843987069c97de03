// "Vx &Fill with rests..." end to end: the unfilled end of each selected cell gets rests of the
// measure's beat, in the amount and the measures the options give.
#include <map>

#include "core/tool_items.h"
#include "tests/support/case_names.h"
#include "tests/tools/notes_fixture.h"
#include "tools/notes/entry_filters.h"

namespace {

constexpr int32_t kFillRests = orvex::ToolCode(orvex::ToolItem::FillWithRests);

/// Measure 1 holds a half note, measure 2 is empty, measure 3 in 6/8 holds a dotted quarter,
/// measure 4 lacks a sixteenth, measure 5 is empty.
constexpr const char* kScore = R"(
staff "Viola"
measures 2 time 4/4
measures 1 time 6/8
measures 2 time 4/4
notes 1 1 c4/2
notes 1 3 c4/4.
notes 1 4 c4/2 c4/4 c4/8 c4/16
)";

/// The created rests of a cell: position and duration.
using Rests = std::vector<std::pair<hostapi::Edu, hostapi::Edu>>;

struct FillCase {
    const char* name;
    std::vector<testsupport::Setting> settings;
    std::map<int16_t, Rests> measures;  ///< the rests of layer 1 by measure
};
std::ostream& operator<<(std::ostream& out, const FillCase& c) {
    return out << c.name;
}

class FillRestsTest : public testsupport::NotesTest, public ::testing::WithParamInterface<FillCase> {
protected:
    Rests RestsOf(int16_t measure, int16_t layer, uint32_t flags) {
        Rests rests;
        for (const host::EntryBytes& bytes : Cell(1, measure, layer)) {
            const auto entry = View(bytes);
            if (entry.has(hostapi::kEntryCreated)) {
                EXPECT_EQ(entry.flags(), flags);
                EXPECT_EQ(entry.duration(), entry.actualDuration());
                rests.emplace_back(entry.position(), entry.actualDuration());
            }
        }
        return rests;
    }
};

TEST_P(FillRestsTest, FillsTheUnfilledEndWithRestsOfTheBeat) {
    StartHost(kScore);
    // Measure 5's record has bit 0x40 of its flag byte: it is never filled.
    const host::RecordKey measure5 = host::RecordKey::Other(hostapi::MakeTag("SOMS"), 5, 0);
    host::Bytes record = *Document().Records().Find(measure5);
    record[8] = 0x40;
    Document().Records().Save(measure5, record);
    Select(1, 1, 1, 5);
    RunTool(kFillRests, GetParam().settings);
    const bool hidden = GetParam().settings.front().first == "Row3";
    for (int16_t measure = 1; measure <= 5; ++measure) {
        SCOPED_TRACE("measure " + std::to_string(measure));
        const auto expected = GetParam().measures.find(measure);
        EXPECT_EQ(RestsOf(measure, 1, hidden ? 0x81008000 : 0x81000000),
                  expected == GetParam().measures.end() ? Rests{} : expected->second);
        EXPECT_TRUE(Cell(1, measure, 2).empty());  // empty cells of other layers stay empty
    }
}

TEST_F(FillRestsTest, AFullMeasureTakesNoDraw) {
    // With a deviation of 100 each cell filled draws whether it gets all that is missing or half of
    // it; seeded with 1 the draws say all, all, half. The full measure 1 draws none: measures 2 and
    // 3 are filled whole.
    StartHost("staff \"Viola\"\nmeasures 3 time 4/4\nnotes 1 1 c4/1\n");
    Select(1, 1, 1, 3);
    orvex::SeedRandom(1);
    RunTool(kFillRests, {{"Row4", "50"}, {"Row5", "100"}});
    const Rests whole{{0, 1024}, {1024, 1024}, {2048, 1024}, {3072, 1024}};
    EXPECT_EQ(RestsOf(1, 1, 0x81000000), Rests{});
    EXPECT_EQ(RestsOf(2, 1, 0x81000000), whole);
    EXPECT_EQ(RestsOf(3, 1, 0x81000000), whole);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Fill, FillRestsTest, ::testing::Values(
    FillCase{"hidden rests of the beat", {{"Row3", "1"}},
             {{1, {{2048, 1024}, {3072, 1024}}}, {2, {{0, 1024}, {1024, 1024}, {2048, 1024}, {3072, 1024}}},
              {3, {{1536, 512}, {2048, 512}, {2560, 512}}}}},
    FillCase{"half of what is missing", {{"Row4", "50"}},
             {{1, {{2048, 1024}}}, {2, {{0, 1024}, {1024, 1024}}}, {3, {{1536, 512}}}}},
    FillCase{"no empty measures", {{"Row0", "0"}}, {{1, {{2048, 1024}, {3072, 1024}}}, {3, {{1536, 512}, {2048, 512}, {2560, 512}}}}},
    FillCase{"only empty measures", {{"Row1", "0"}}, {{2, {{0, 1024}, {1024, 1024}, {2048, 1024}, {3072, 1024}}}}}),
    testsupport::NameBy(&FillCase::name));
// clang-format on

ORDINARY_MUSIC_CASES(FillRests, "tests/tools/ordinary.cases", "fill rests");

}  // namespace
