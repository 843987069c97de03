// The lyric commands of the entry engine end to end: the options dialog runs the command over
// the selection and the entries' lyric assignments ('edve') and extras ('edLE') change in the
// document. A syllable's estimated width is ((letters x size x 16) / 12) / 2.
#include <ostream>
#include <string>
#include <vector>

#include "core/tool_items.h"
#include "tests/support/case_names.h"
#include "tests/tools/notes_fixture.h"

namespace {

using testsupport::NotesTest;
using Words = std::vector<int16_t>;

constexpr int32_t kMoveLongSyllables = orvex::ToolCode(orvex::ToolItem::MoveSyllables);
constexpr int32_t kMelismaToTheRight = orvex::ToolCode(orvex::ToolItem::MoveSyllables, 2);
constexpr int32_t kShiftLyrics = orvex::ToolCode(orvex::ToolItem::ShiftLyrics);
constexpr int32_t kRemoveAdjustments = orvex::ToolCode(orvex::ToolItem::RemoveAdjustments);

class LyricsTest : public NotesTest {
protected:
    hostapi::EntryNumber Number(int16_t measure, size_t index) { return View(Cell(1, measure).at(index)).number(); }
    /// The five words of the entry's verse assignment `inci`; empty when it is missing.
    Words Verse(int16_t measure, size_t index, int16_t inci = 0) {
        const std::vector<uint8_t> bytes = EntryRecord("edve", Number(measure, index), inci);
        Words words;
        for (size_t at = 0; at + 1 < bytes.size(); at += 2) {
            words.push_back(hostapi::ReadI16(bytes.data(), at));
        }
        return words;
    }
    void PutVerse(int16_t measure, size_t index, const Words& words) {
        std::vector<uint8_t> bytes(words.size() * 2);
        for (size_t i = 0; i < words.size(); ++i) {
            hostapi::WriteI16(bytes.data(), i * 2, words[i]);
        }
        PutEntryRecord("edve", Number(measure, index), bytes);
    }
    uint16_t ExtrasFlags(int16_t measure, size_t index) {
        const std::vector<uint8_t> bytes = EntryRecord("edLE", Number(measure, index));
        return bytes.size() == 10 ? hostapi::ReadU16(bytes.data(), 8) : 0xFFFF;
    }
};

// "Strength" (8 letters: 64 wide) and "^size(14)Sing" (4 letters at 14 points: 37 wide) start
// measures 1 and 2; "now" stands on beat 2.
constexpr const char* kLongSyllables = R"(
staff "Voice"
measures 2 time 4/4
notes 1 1 c4/4 d4/4 e4/2
notes 1 2 f4/1
lyric verse 1 "Strength now ^size(14)Sing"
syllable 1 1:1 verse 1 1
syllable 1 1:2 verse 1 2
syllable 1 2:1 verse 1 3
)";

TEST_F(LyricsTest, LongSyllablesOnBeatOneMoveRight) {
    StartHost(kLongSyllables);
    Select(1, 1, 1, 2);
    RunTool(kMoveLongSyllables);
    // (((64 - 17) x 100 x 12) / 16) / 100 and (((37 - 17) x 100 x 12) / 16) / 100.
    EXPECT_EQ(Verse(1, 0), (Words{1, 1, 35, 0, 0}));
    EXPECT_EQ(Verse(2, 0), (Words{1, 3, 15, 0, 0}));
    EXPECT_EQ(Verse(1, 1), (Words{1, 2, 0, 0, 0}));  // not on beat 1
}

class LongSyllablesIgnoreTest : public LyricsTest, public testing::WithParamInterface<bool> {};

TEST_P(LongSyllablesIgnoreTest, AnAdjustedSyllableMovesOnlyWhenAdjustmentsAreIgnored) {
    StartHost(kLongSyllables);
    PutVerse(1, 0, {1, 1, -8, 0, 0});
    Select(1, 1, 1, 1);
    RunTool(kMoveLongSyllables, {{"Row1", "200"}, {"Row2", GetParam() ? "1" : "0"}});
    // (((64 - 17) x 200 x 12) / 16) / 100.
    EXPECT_EQ(Verse(1, 0), (Words{1, 1, static_cast<int16_t>(GetParam() ? 70 : -8), 0, 0}));
}

INSTANTIATE_TEST_SUITE_P(Ignore, LongSyllablesIgnoreTest, testing::Bool(), testsupport::NameByValue("ignore"));

// "Strength" is exactly as wide as the minimum: it is not long, and keeps its adjustment.
TEST_F(LyricsTest, ASyllableOfTheMinimumWidthStays) {
    StartHost(kLongSyllables);
    PutVerse(1, 0, {1, 1, -8, 0, 0});
    Select(1, 1, 1, 1);
    RunTool(kMoveLongSyllables, {{"Row0", "64"}, {"Row2", "1"}});
    EXPECT_EQ(Verse(1, 0), (Words{1, 1, -8, 0, 0}));
}

// "Ah" goes on with "sing" on d4; "sing" is held over e4 (a melisma); "now" on f4 is held over
// the first (visible) note of measure 2.
constexpr const char* kMelismas = R"(
staff "Voice"
measures 2 time 4/4
notes 1 1 c4/4 d4/4 e4/4 f4/4
notes 1 2 r/4 g4/2 r/4
lyric verse 1 "Ah sing now"
syllable 1 1:1 verse 1 1
syllable 1 1:2 verse 1 2
syllable 1 1:4 verse 1 3
)";

TEST_F(LyricsTest, MelismaSyllablesAreLeftAlignedThroughTheirExtras) {
    StartHost(kMelismas);
    EditEntry(1, 2, 0, [](hostapi::EntryView e) { e.setFlag(hostapi::kEntryHidden, true); });
    Select(1, 1, 1, 1);
    RunTool(kMelismaToTheRight, {{"Row1", "-7"}});
    EXPECT_EQ(Verse(1, 0), (Words{1, 1, 0, 0, 0}));
    EXPECT_EQ(ExtrasFlags(1, 0), 0xFFFF);
    for (size_t index : {1u, 3u}) {
        SCOPED_TRACE(index);
        EXPECT_EQ(Verse(1, index)[2], -7);
        EXPECT_EQ(ExtrasFlags(1, index), 0x0202);
    }
}

TEST_F(LyricsTest, OldHostsMoveMelismaSyllablesByTheirWidth) {
    StartHost(kMelismas, 0x03000000);
    Select(1, 1, 1, 1);
    RunTool(kMelismaToTheRight);
    // "sing": 32 wide, (((32 - 17) x 100 x 12) / 16) / 100; "now" (24) before a rest is no melisma.
    EXPECT_EQ(Verse(1, 1), (Words{1, 2, 11, 0, 0}));
    EXPECT_EQ(Verse(1, 3), (Words{1, 3, 0, 0, 0}));
    EXPECT_EQ(ExtrasFlags(1, 1), 0xFFFF);
}

// Quarter, half and two eighths; a dotted half and a quarter; a whole note.
constexpr const char* kDurations = R"(
staff "Voice"
measures 3 time 4/4
notes 1 1 c4/4 d4/2 e4/8 f4/8
notes 1 2 g4/2. a4/4
notes 1 3 b4/1
lyric verse 1 "a b c d e f g"
syllable 1 1:1 verse 1 1
syllable 1 1:2 verse 1 2
syllable 1 1:3 verse 1 3
syllable 1 2:1 verse 1 4
syllable 1 2:2 verse 1 5
syllable 1 3:1 verse 1 6
)";

TEST_F(LyricsTest, ShiftLyricsBlendsFromShortestToLongest) {
    StartHost(kDurations);
    PutVerse(2, 1, {1, 5, 7, 0, 0});
    Select(1, 1, 1, 3);
    RunTool(kShiftLyrics, {{"Row2", "3"}, {"Row3", "1024"}, {"Row4", "4096"}});
    EXPECT_EQ(Verse(1, 0), (Words{1, 1, 5, 3, 0}));
    // (2048 x 5 + 14 x 1024) / 3072.
    EXPECT_EQ(Verse(1, 1), (Words{1, 2, 8, 3, 0}));
    EXPECT_EQ(Verse(1, 2), (Words{1, 3, 0, 0, 0}));  // shorter than row 3
    // A dotted half counts as a half and gets row 6 more.
    EXPECT_EQ(Verse(2, 0), (Words{1, 4, 18, 3, 0}));
    EXPECT_EQ(Verse(2, 1), (Words{1, 5, 7, 3, 0}));  // already adjusted horizontally
    EXPECT_EQ(Verse(3, 0), (Words{1, 6, 14, 3, 0}));
}

TEST_F(LyricsTest, ShiftLyricsReplacesAdjustmentsWhenAskedTo) {
    StartHost(kDurations);
    PutVerse(2, 1, {1, 5, 7, 9, 0});
    Select(1, 1, 2, 2);
    RunTool(kShiftLyrics, {{"Row3", "1024"}, {"Row4", "4096"}, {"Row5", "0"}, {"Row7", "1"}, {"Row8", "1"}});
    EXPECT_EQ(Verse(2, 1), (Words{1, 5, 5, 0, 0}));
    // Without dot handling a dotted half is 3072: (1024 x 5 + 14 x 2048) / 3072, and row 6 more.
    EXPECT_EQ(Verse(2, 0), (Words{1, 4, 21, 0, 0}));
}

TEST_F(LyricsTest, ShiftLyricsWithNoSpanTakesTheShortestShift) {
    StartHost(kDurations);
    Select(1, 1, 2, 2);
    // The dotted half's base value is within the maximum; the maximum is raised to the minimum,
    // which leaves no span to blend over.
    RunTool(kShiftLyrics, {{"Row3", "3072"}, {"Row4", "2048"}});
    EXPECT_EQ(Verse(2, 0), (Words{1, 4, 15, 0, 0}));
    EXPECT_EQ(Verse(2, 1), (Words{1, 5, 0, 0, 0}));
}

struct RemoveCase {
    const char* name;
    std::vector<testsupport::Setting> rows;
    Words assignment;
    uint16_t extras;
};

void PrintTo(const RemoveCase& remove, std::ostream* out) {
    *out << remove.name;
}

class RemoveAdjustmentsTest : public LyricsTest, public testing::WithParamInterface<RemoveCase> {};

TEST_P(RemoveAdjustmentsTest, ClearsWhatTheRowsName) {
    StartHost(kDurations);
    PutVerse(1, 0, {1, 1, 12, -20, 33});
    PutEntryRecord("edLE", Number(1, 0), {1, 2, 3, 4, 5, 6, 7, 8, 0x03, 0x03});
    Select(1, 1, 1, 1);
    RunTool(kRemoveAdjustments, GetParam().rows);
    EXPECT_EQ(Verse(1, 0), GetParam().assignment);
    const std::vector<uint8_t> extras = EntryRecord("edLE", Number(1, 0));
    ASSERT_EQ(extras.size(), 10u);
    EXPECT_EQ((std::vector<uint8_t>(extras.begin(), extras.begin() + 8)),
              (std::vector<uint8_t>{1, 2, 3, 4, 5, 6, 7, 8}));
    EXPECT_EQ(hostapi::ReadU16(extras.data(), 8), GetParam().extras);
    EXPECT_TRUE(EntryRecord("edLE", Number(1, 1)).empty());
}

INSTANTIATE_TEST_SUITE_P(
    Rows, RemoveAdjustmentsTest,
    testing::Values(RemoveCase{"Nothing", {}, {1, 1, 12, -20, 33}, 0x0303},
                    RemoveCase{"Offsets", {{"Row0", "1"}, {"Row1", "1"}}, {1, 1, 0, 0, 33}, 0x0303},
                    RemoveCase{"Vertical", {{"Row1", "1"}}, {1, 1, 12, 0, 33}, 0x0303},
                    RemoveCase{"Alignment", {{"Row2", "1"}}, {1, 1, 12, -20, 33}, 0x0003},
                    RemoveCase{"Justification", {{"Row3", "1"}}, {1, 1, 12, -20, 33}, 0x0300}),
    [](const testing::TestParamInfo<RemoveCase>& testCase) { return std::string(testCase.param.name); });

ORDINARY_MUSIC_CASES(Lyrics, "tests/tools/ordinary.cases", "lyrics");
ORDINARY_MUSIC_CASES(LyricsSpacing, "tests/tools/ordinary-spacing.cases", "lyrics");
ORDINARY_MUSIC_CASES(LyricsMore, "tests/tools/ordinary-more.cases", "lyrics");

}  // namespace
