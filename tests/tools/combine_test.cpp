// "Vx Combine rhythms and pitches..." end to end: the options dialog runs the command over the
// selected staves, and the rhythm staff's entries receive the pitch staff's notes.
#include <string>
#include <vector>

#include "core/tool_items.h"
#include "tests/tools/notes_fixture.h"
#include "tools/notes/combine.h"

namespace {

using testsupport::NotesTest;

constexpr int32_t kCombine = orvex::ToolCode(orvex::ToolItem::CombineRhythmsAndPitches);

class CombineTest : public NotesTest {
protected:
    /// The notes of each entry of a cell as "c4+e4" (by harmonic level and alteration), "r" for a
    /// rest; a tied note ends in "~".
    std::vector<std::string> Music(int16_t staff, int16_t measure) {
        std::vector<std::string> words;
        for (const host::EntryBytes& bytes : Cell(staff, measure)) {
            const hostapi::ConstEntryView entry = View(bytes);
            std::string word = entry.isNote() ? "" : "r";
            for (int32_t i = 0; i < entry.notesHeld(); ++i) {
                const auto note = entry.note(i);
                word += (i > 0 ? "+" : "") + std::to_string(note.harmonicLevel());
                if ((note.flags() & hostapi::kNoteTieStart) != 0) {
                    word += "~";
                }
            }
            words.push_back(word);
        }
        return words;
    }
};

using Words = std::vector<std::string>;

// Harmonic levels in C major: c4 0, d4 1, e4 2, g4 4, c5 7, d5 8, e5 9, f5 10, g5 11.
constexpr const char* kScore = R"(
staff "Pitches"
staff "Rhythm"
staff "Bass"
measures 2 time 4/4
notes 1 1 c5/4 d5/4 r/4 e5+g5/4
notes 1 2 f5/2 g5/2
notes 2 1 c4/8 c4/8 r/4 c4/2
notes 2 2 c4~/4 c4/4 e4+g4/2
notes 3 1 g4/1
notes 3 2 e4/1
)";

TEST_F(CombineTest, RhythmEntriesTakeTheNextPitchesAndRestsStay) {
    StartHost(kScore);
    Select(1, 2, 1, 2);
    RunTool(kCombine);
    EXPECT_EQ(Music(2, 1), (Words{"7", "8", "r", "9+11"}));
    // A tied rhythm chain takes one pitch for every tied entry; the chain's tie stays.
    EXPECT_EQ(Music(2, 2), (Words{"10~", "10", "11"}));
    EXPECT_TRUE(hostapi::ReadU16(Cell(2, 1)[0].data(), hostapi::EntryLayout::kMoreFlags) & 0x0004);
    EXPECT_EQ(Music(1, 1), (Words{"7", "8", "r", "9+11"}));  // the pitch staff stays
}

TEST_F(CombineTest, AddedPitchesFollowTheKeptOnes) {
    StartHost(kScore);
    Select(1, 2, 1, 1);
    RunTool(kCombine, {{"Row2", "0"}, {"Row4", "0"}});
    // The pitch staff's rest is a chord of no notes: the half note keeps its own note only.
    EXPECT_EQ(Music(2, 1), (Words{"0+7", "0+8", "r", "0"}));
}

TEST_F(CombineTest, APitchRestSilencesTheRhythmNote) {
    StartHost(kScore);
    Select(1, 2, 1, 1);
    RunTool(kCombine, {{"Row4", "0"}});
    EXPECT_EQ(Music(2, 1), (Words{"7", "8", "r", "r"}));
}

TEST_F(CombineTest, EachMeasureSeparatelyDropsWhatIsLeftOver) {
    StartHost(kScore);
    Select(2, 3, 1, 2);
    // Pitches from the lower staff: the bass's one note a measure.
    RunTool(kCombine, {{"Row1", "0"}, {"Row3", "1"}});
    EXPECT_EQ(Music(2, 1), (Words{"4", "0", "r", "0"}));
    EXPECT_EQ(Music(2, 2), (Words{"2~", "2", "2+4"}));
}

TEST_F(CombineTest, WithoutSeparateMeasuresThePitchesFlowOn) {
    StartHost(kScore);
    Select(2, 3, 1, 2);
    RunTool(kCombine, {{"Row1", "0"}});
    // The bass's two notes go to the first two rhythm notes; when the pitches are used up the
    // measure that received them is kept.
    EXPECT_EQ(Music(2, 1), (Words{"4", "2", "r", "0"}));
    EXPECT_EQ(Music(2, 2), (Words{"0~", "0", "2+4"}));
}

TEST_F(CombineTest, AnEmptyMeasureMovesOnlyItsOwnStaffOn) {
    // Pitch measure 2 and rhythm measure 3 are empty: no rhythm note is passed over, no pitch
    // used up.
    StartHost(R"(
staff "Pitches"
staff "Rhythm"
measures 4 time 4/4
notes 1 1 c5/2 d5/2
notes 1 3 e5/2 f5/2
notes 1 4 g5/1
notes 2 1 c4/1
notes 2 2 c4/2 c4/2
notes 2 4 c4/2 c4/2
)");
    Select(1, 2, 1, 4);
    RunTool(kCombine);
    EXPECT_EQ(Music(2, 1), Words{"7"});
    EXPECT_EQ(Music(2, 2), (Words{"8", "9"}));
    EXPECT_EQ(Music(2, 3), Words{});
    EXPECT_EQ(Music(2, 4), (Words{"10", "11"}));
}

TEST_F(CombineTest, OnlyTwoStavesCanBeCombined) {
    StartHost(kScore);
    Select(1, 3, 1, 1);
    RunTool(kCombine);
    EXPECT_EQ(Messages(), Words{"Please select 0 or 2 staves"});
    EXPECT_EQ(Music(2, 1), (Words{"0", "0", "r", "0"}));
}

TEST(CombineStaffChoiceTest, ChosenStavesOrTheSelection) {
    using Slots = std::vector<hostapi::StaffSlot>;
    EXPECT_EQ(orvex::CombineStaffChoice({0, 1, 0, 1}, 1, 4, 4), (Slots{2, 4}));
    EXPECT_EQ(orvex::CombineStaffChoice({}, 2, 3, 5), (Slots{2, 3}));
    EXPECT_EQ(orvex::CombineStaffChoice({0, 0}, 1, 5, 5), (Slots{1, 2}));  // every staff: the top two
    EXPECT_EQ(orvex::CombineStaffChoice({}, 1, 3, 3), (Slots{1, 2, 3}));
    EXPECT_EQ(orvex::CombineStaffChoice({}, 2, 5, 5), (Slots{2, 3, 4, 5}));
}

}  // namespace
ORDINARY_MUSIC_CASES(Combine, "tests/tools/ordinary.cases", "combine");
ORDINARY_MUSIC_CASES(MoreCombine, "tests/tools/ordinary-notes.cases", "combine");
