// The rest filler against the simulated host: the rests it appends to an empty cell for a span,
// and the stored height of fixed rests under the staff's clef and key.
#include "tools/notes/rest_filler.h"
#include "core/host/finxess_entries.h"
#include "tests/support/case_names.h"
#include "tests/tools/notes_fixture.h"

namespace {

/// Staff 1 treble, staff 2 bass; measure 2 in D major.
constexpr const char* kScore = R"(
staff "Flute"
staff "Cello"
measures 1 time 4/4
measures 1 time 4/4 key 2
clef 2 1 bass
)";

struct FillerCase {
    const char* name;
    hostapi::Edu span;
    int16_t largestPiece;
    bool joinDotted;
    bool wholeRest;
    std::vector<hostapi::Edu> durations;  ///< the rests in time order, the first at 0
};
std::ostream& operator<<(std::ostream& out, const FillerCase& c) {
    return out << c.name;
}

class RestFillerTest : public testsupport::NotesTest, public ::testing::WithParamInterface<FillerCase> {
protected:
    void SetUp() override {
        NotesTest::SetUp();
        StartHost(kScore);
    }
    /// Fills a span into layer 2 of a cell through the host's entry array and saves it.
    void Fill(int16_t staff, int16_t measure, const FillerCase& c, bool fixedHeight, int32_t heightStaff) {
        hostapi::EntryArray* array = orvex::LoadEntryArray(0, staff, measure, 1);
        ASSERT_NE(array, nullptr);
        orvex::InsertFillRests(orvex::DispatcherEnvironment(), *array, c.span, array->count, false, c.wholeRest,
                               c.largestPiece, c.joinDotted, fixedHeight, heightStaff);
        orvex::SaveEntryArray(array);
        orvex::ReleaseEntryArray(array);
    }
};

TEST_P(RestFillerTest, WritesTheShortestPieceFirst) {
    Fill(1, 1, GetParam(), false, -1);
    std::vector<hostapi::Edu> durations;
    hostapi::Edu end = 0;
    for (const host::EntryBytes& bytes : Cell(1, 1, 2)) {
        const auto rest = View(bytes);
        EXPECT_EQ(rest.position(), end);
        EXPECT_EQ(rest.duration(), rest.actualDuration());
        EXPECT_EQ(rest.flags(), 0x81000000u);
        durations.push_back(rest.actualDuration());
        end += rest.actualDuration();
    }
    EXPECT_EQ(durations, GetParam().durations);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Filler, RestFillerTest, ::testing::Values(
    FillerCase{"nothing to fill", 0, 8192, true, false, {}},
    FillerCase{"whole rest", 100, 1024, false, true, {4096}},
    FillerCase{"3072 in pieces", 3072, 8192, false, false, {1024, 2048}},
    FillerCase{"3072 dotted", 3072, 8192, true, false, {3072}},
    FillerCase{"dotted beyond the largest piece", 3072, 2048, true, false, {1024, 2048}},
    FillerCase{"double-dotted half", 3584, 8192, true, false, {3584}},
    FillerCase{"largest piece not a power of two", 4096, 3072, true, false, {1024, 3072}},
    FillerCase{"largest piece 0 cuts nothing", 2048, 0, false, false, {}},
    FillerCase{"at most fifty rests", 4096, 32, false, false, std::vector<hostapi::Edu>(50, 32)}),
    testsupport::NameBy(&FillerCase::name));
// clang-format on

TEST_F(RestFillerTest, FixedRestsFollowClefAndKey) {
    // Middle C lies 10 steps below the top line in the treble clef and 2 above it in the bass
    // clef; the tonic of D major is one step above C.
    struct Case {
        int16_t staff, measure;
        int32_t heightStaff;  ///< -1: the cell's own staff
        hostapi::Edu span;
        int16_t height;
    };
    for (const Case& c : {Case{1, 1, -1, 4096, -10 + 10}, Case{1, 1, -1, 3584, -8 + 10}, Case{1, 2, -1, 4096, -1},
                          Case{2, 1, -1, 4096, -10 - 2}, Case{1, 2, 2, 2048, -8 - 2 - 1}}) {
        SCOPED_TRACE("staff " + std::to_string(c.staff) + ", measure " + std::to_string(c.measure) + ", span " +
                     std::to_string(c.span));
        Fill(c.staff, c.measure, FillerCase{"", c.span, 8192, true, false, {}}, true, c.heightStaff);
        const auto rest = View(Cell(c.staff, c.measure, 2).back());
        EXPECT_EQ(rest.flags(), 0x80000000u);  // no longer floating
        EXPECT_EQ(rest.noteCount(), 1);
        EXPECT_EQ(rest.note(0).harmonicLevel(), c.height);
        EXPECT_EQ(rest.note(0).flags(), 0x80000000u);
    }
}

}  // namespace
