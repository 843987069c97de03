// Music in score texts and document files: clefs and notes in the compact notation, the
// listing of "dump cells", the round trip of a score through save and open, and the mistakes
// the notation, the builder and the file reader refuse.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "apps/hostsim/script.h"
#include "platform/host/cell_dump.h"
#include "platform/host/entry_notation.h"
#include "platform/host/host.h"
#include "platform/host/mus_file.h"
#include "platform/host/score_text.h"
#include "platform/hostapi/bytes.h"
#include "platform/hostapi/music_records.h"
#include "platform/win/transcript.h"
#include "tests/support/case_names.h"
#include "tests/support/fixture.h"

namespace {

using hostapi::MakeTag;

// Two staves, four measures: D major in 4/4, then E-flat major in 3/4.
constexpr const char* kDuet = R"(staff "Violin" "Vl."
staff "Cello" "Vc."
measures 2 time 4/4 key 2
measures 2 time 3/4 key -3
clef 2 1 bass
notes 1 1 d4+f#4+a4/4 e5/8 f#5/8 g5~/4 g5/8g a5/4
notes 1 2 b4/2. r/4h
notes 1 3 eb5/8 d5/8 c5/4 bb4/4
notes 1 4 ab4/2.
notes 2 1 d3/1
notes 2 2 layer 2 a2/2 r/2
notes 2 3 eb3/2 bb2/4
notes 2 4 r/4 g2/4 c3/4
)";

const std::vector<std::string> kDuetCells = {
    "  staff 1, measure 1, layer 1: 6 entries",
    "    entry 1 at 0, 1024 EDU, beam start: D4 F#4 A4",
    "    entry 2 at 1024, 512 EDU, beam start: E5",
    "    entry 3 at 1536, 512 EDU: F#5",
    "    entry 4 at 2048, 1024 EDU, beam start: G5~",
    "    entry 5 at 3072, 512 EDU (actual 0), grace, beam start: ~G5",
    "    entry 6 at 3072, 1024 EDU, beam start: A5",
    "  staff 1, measure 2, layer 1: 2 entries",
    "    entry 7 at 0, 3072 EDU, beam start: B4",
    "    entry 8 at 3072, 1024 EDU, hidden, beam start: rest",
    "  staff 1, measure 3, layer 1: 4 entries",
    "    entry 9 at 0, 512 EDU, beam start: Eb5",
    "    entry 10 at 512, 512 EDU: D5",
    "    entry 11 at 1024, 1024 EDU, beam start: C5",
    "    entry 12 at 2048, 1024 EDU, beam start: Bb4",
    "  staff 1, measure 4, layer 1: 1 entry",
    "    entry 13 at 0, 3072 EDU, beam start: Ab4",
    "  staff 2, measure 1, layer 1: 1 entry",
    "    entry 14 at 0, 4096 EDU, beam start: D3",
    "  staff 2, measure 2, layer 2: 2 entries",
    "    entry 15 at 0, 2048 EDU, beam start: A2",
    "    entry 16 at 2048, 2048 EDU, beam start: rest",
    "  staff 2, measure 3, layer 1: 2 entries",
    "    entry 17 at 0, 2048 EDU, beam start: Eb3",
    "    entry 18 at 2048, 1024 EDU, beam start: Bb2",
    "  staff 2, measure 4, layer 1: 3 entries",
    "    entry 19 at 0, 1024 EDU, beam start: rest",
    "    entry 20 at 1024, 1024 EDU, beam start: G2",
    "    entry 21 at 2048, 1024 EDU, beam start: C3",
};

class ScoreMusicTest : public testsupport::DesktopTest {
protected:
    void SetUp() override {
        DesktopTest::SetUp();
        m_host = std::make_unique<host::Host>();
        m_runner = std::make_unique<hostsim::ScriptRunner>(*m_host, hostsim::ScriptRunner::Settings{});
    }
    void TearDown() override {
        ExpectNothingLeft();
        m_runner.reset();
        m_host.reset();
        DesktopTest::TearDown();
    }

    std::vector<std::string> Run(const std::string& script, std::string* error = nullptr) {
        const size_t before = win::TranscriptLines().size();
        std::istringstream in(script);
        std::ostringstream errors;
        m_runner->Run(in, "test.script", errors);
        if (error != nullptr) {
            *error = errors.str();
        } else {
            EXPECT_EQ(errors.str(), "");
        }
        const auto& lines = win::TranscriptLines();
        return std::vector<std::string>(lines.begin() + static_cast<std::ptrdiff_t>(before), lines.end());
    }
    std::string Path(const char* name) { return (TempFolder() / name).string(); }

    std::unique_ptr<host::Host> m_host;
    std::unique_ptr<hostsim::ScriptRunner> m_runner;
};

std::vector<std::string> Tail(const std::vector<std::string>& lines, size_t from) {
    return std::vector<std::string>(lines.begin() + static_cast<std::ptrdiff_t>(from), lines.end());
}

TEST_F(ScoreMusicTest, TheMusicOfAScoreSurvivesSaveAndOpen) {
    std::ofstream(TempFolder() / "duet.score") << kDuet;
    const std::vector<std::string> made = Run("new " + Path("duet.score") + "\ndump cells\n");
    ASSERT_EQ(made.size(), 4 + kDuetCells.size());
    EXPECT_EQ(made[3], "cells of document 1 \"duet\": all staves, all measures");
    testsupport::ExpectLines(kDuetCells, Tail(made, 4));

    Run("save " + Path("duet.MUS") + "\n");
    std::filesystem::copy_file(TempFolder() / "duet.MUS", TempFolder() / "copy.MUS");
    const std::vector<std::string> reopened = Run("open " + Path("copy.MUS") + "\ndump cells\n");
    ASSERT_EQ(reopened.size(), 4 + kDuetCells.size());
    EXPECT_EQ(reopened[3], "cells of document 2 \"copy\": all staves, all measures");
    testsupport::ExpectLines(kDuetCells, Tail(reopened, 4));
    EXPECT_TRUE(m_host->DocumentAt(1).SameContent(m_host->DocumentAt(2)));

    // Ranges: one staff, some measures; a measure without entries says so.
    testsupport::ExpectLines(
        {"> dump cells 2 2-3", "cells of document 2 \"copy\": staff 2, measures 2-3",
         "  staff 2, measure 2, layer 2: 2 entries", "    entry 15 at 0, 2048 EDU, beam start: A2",
         "    entry 16 at 2048, 2048 EDU, beam start: rest", "  staff 2, measure 3, layer 1: 2 entries",
         "    entry 17 at 0, 2048 EDU, beam start: Eb3", "    entry 18 at 2048, 1024 EDU, beam start: Bb2"},
        Run("dump cells 2 2-3\n"));
    m_host->DocumentAt(2).SetEntries({2, 3, 0}, {});
    testsupport::ExpectLines(
        {"> dump cells 2 3", "cells of document 2 \"copy\": staff 2, measure 3", "  staff 2, measure 3: no entries"},
        Run("dump cells 2 3\n"));
}

TEST_F(ScoreMusicTest, EntriesAreDocumentLinesOfTheirOwn) {
    const auto document = host::ParseScoreText("staff \"A\"\nmeasures 1\nnotes 1 1 c4/4 r/2.\n", "one");
    const std::string text = host::MusText(*document);
    const std::string first = "entry 1 1 1 hex 146 0100 0000 0004 0000 0008 0040 0000 0100 0000 0000 0100 0000 0000 " +
                              [] {
                                  std::string zeros;
                                  for (int i = 0; i < 55; ++i) {
                                      zeros += "0000 ";
                                  }
                                  return zeros;
                              }() +
                              "0000 0000 0004 0000 0000\n";
    EXPECT_NE(text.find(first), std::string::npos) << text;
    EXPECT_LT(text.find("record "), text.find("entry ")) << "entries follow the records";
    EXPECT_TRUE(host::ParseMusText(text, "again")->SameContent(*document));
}

struct DamageCase {
    const char* line;
    const char* message;
};

class EntryLineDamageTest : public ::testing::TestWithParam<DamageCase> {};

TEST_P(EntryLineDamageTest, IsRefusedWithItsLine) {
    try {
        host::ParseMusText(std::string("MUS 1\n") + GetParam().line + "\nend\n", "damaged");
        FAIL() << "accepted: " << GetParam().line;
    } catch (const host::DocumentFileError& e) {
        EXPECT_EQ(std::string(e.what()), GetParam().message);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EntryLineDamageTest,
    ::testing::Values(DamageCase{"entry 1 1 1 hex 2 0000", "line 2: an entry has 146 bytes, not 2"},
                      DamageCase{"entry 1 1 5 hex 0", "line 2: the layer 5 is out of range (1 to 4)"},
                      DamageCase{"entry 1 1 0 hex 0", "line 2: the layer 0 is out of range (1 to 4)"},
                      DamageCase{"entry 1 1 1 text \"x\"",
                                 "line 2: an entry line is: entry STAFF MEASURE LAYER hex 146 DIGITS"},
                      DamageCase{"entry 1 1 1", "line 2: an entry line is: entry STAFF MEASURE LAYER hex 146 DIGITS"},
                      DamageCase{"entry x 1 1 hex 0", "line 2: the staff \"x\" is not a number"}),
    testsupport::NameBy(&DamageCase::message, testsupport::kCaseIndex));

// ---- The notation ----

TEST(EntryNotationTest, ReadsPitchesDurationsAndFlags) {
    const host::WrittenEntry chord = host::ParseWrittenEntry("C#4+ebb5~+g-1/4..h");
    ASSERT_EQ(chord.notes.size(), 3u);
    EXPECT_EQ(chord.notes[0].pitch.step, 0);
    EXPECT_EQ(chord.notes[0].pitch.accidental, 1);
    EXPECT_EQ(chord.notes[1].pitch.step, 9);
    EXPECT_EQ(chord.notes[1].pitch.accidental, -2);
    EXPECT_TRUE(chord.notes[1].tieStart);
    EXPECT_FALSE(chord.notes[0].tieStart);
    EXPECT_EQ(chord.notes[2].pitch.step, -31);
    EXPECT_EQ(chord.duration, 1024 + 512 + 256);
    EXPECT_TRUE(chord.hidden);
    EXPECT_FALSE(chord.grace);

    const host::WrittenEntry rest = host::ParseWrittenEntry("r/128");
    EXPECT_TRUE(rest.notes.empty());
    EXPECT_EQ(rest.duration, 32);
    const host::WrittenEntry grace = host::ParseWrittenEntry("bn3/16gh");
    EXPECT_EQ(grace.notes[0].pitch.step, -1);
    EXPECT_EQ(grace.notes[0].pitch.accidental, 0);
    EXPECT_TRUE(grace.grace);
    EXPECT_EQ(host::ParseWrittenEntry("b3/1.").duration, 6144);
}

struct NotationMistake {
    const char* word;
    const char* message;
    size_t at;  ///< where in the word the mistake is
};

class EntryNotationMistakeTest : public ::testing::TestWithParam<NotationMistake> {};

TEST_P(EntryNotationMistakeTest, SaysWhyAndWhere) {
    try {
        host::ParseWrittenEntry(GetParam().word);
        FAIL() << "accepted: " << GetParam().word;
    } catch (const host::NotationError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "\"" + std::string(GetParam().word) + "\" is not an entry: " + GetParam().message);
        EXPECT_EQ(e.Offset(), GetParam().at);
    }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Cases, EntryNotationMistakeTest, ::testing::Values(
    NotationMistake{"c4", "the duration (\"/4\" for a quarter) is missing", 0},
    NotationMistake{"h4/4", "\"h\" is not a note name (a to g, or r for a rest)", 0},
    NotationMistake{"c4+h5/4", "\"h\" is not a note name (a to g, or r for a rest)", 3},
    NotationMistake{"c/4", "a note needs its octave (-1 to 9; 4 is middle C's)", 1},
    NotationMistake{"c10/4", "the octave 10 is out of range (-1 to 9; 4 is middle C's)", 1},
    NotationMistake{"c44/4", "the octave 44 is out of range (-1 to 9; 4 is middle C's)", 1},
    NotationMistake{"c-2/4", "the octave -2 is out of range (-1 to 9; 4 is middle C's)", 1},
    NotationMistake{"c#b4/4", "a note has sharps or flats, not both", 2},
    NotationMistake{"c###4/4", "at most a double sharp or a double flat", 3},
    NotationMistake{"c4x/4", "\"x\" after a note", 2},
    NotationMistake{"c4[shown,frzn]/4", "\"frzn\" is not a note flag (created, shown, frozen, second, parenthesised, "
                    "playback, flip-up, flip-down, tie-start, tie-end)", 9},
    NotationMistake{"c4+/4", "a note is missing before \"+\" or \"/\"", 0},
    NotationMistake{"c4/3", "the value after \"/\" is 1, 2, 4, 8, 16, 32, 64 or 128", 3},
    NotationMistake{"c4/256", "the value after \"/\" is 1, 2, 4, 8, 16, 32, 64 or 128", 3},
    NotationMistake{"c4/", "the value after \"/\" is 1, 2, 4, 8, 16, 32, 64 or 128", 0},
    NotationMistake{"c4/128......", "too many dots for the value", 0},
    NotationMistake{"c4/4gg", "\"g\" after the duration (g grace, h hidden, f floating rest, once each)", 5},
    NotationMistake{"c4/4x", "\"x\" after the duration (g grace, h hidden, f floating rest, once each)", 4},
    NotationMistake{"r/4g", "a rest cannot be a grace note", 0}),
    testsupport::NameBy(&NotationMistake::word));
// clang-format on

// ---- Statements ----

TEST(ScoreTextMistakesTest, EveryMistakeIsFoundAndAShortMeasureIsAWarning) {
    const std::string head = "staff \"A\"\nmeasures 3 time 3/4\n";
    std::vector<host::ScoreTextNote> warnings;
    try {
        host::ParseScoreText(head + "notes 1 1 c4/2 d4/2\nnotes 1 2 c44/4 d4/4 e4/4\nnotes 1 3 e4/2\n", "bad",
                             &warnings);
        FAIL() << "accepted";
    } catch (const host::ScoreTextError& e) {
        EXPECT_EQ(e.Line(), 3u);
        EXPECT_EQ(e.Column(), 16u);
        ASSERT_EQ(e.More().size(), 1u);
        EXPECT_EQ(e.More()[0].detail,
                  "notes: \"c44/4\" is not an entry: the octave 44 is out of range (-1 to 9; 4 is "
                  "middle C's) (notes STAFF MEASURE [layer 1-4] ENTRY...)");
        EXPECT_EQ(e.More()[0].line, 4u);
        EXPECT_EQ(e.More()[0].column, 12u);
    }
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_EQ(warnings[0].detail,
              "staff 1, measure 3, layer 1 is short: the entries last 2 beats (2048 EDU); the "
              "measure has 3 (3072 EDU)");
    EXPECT_EQ(warnings[0].line, 5u);
    // A measure left empty is no warning.
    warnings.clear();
    host::ParseScoreText(head + "notes 1 1 c4/2.\n", "good", &warnings);
    EXPECT_TRUE(warnings.empty());
}

struct StatementMistake {
    const char* text;
    const char* message;
};

class MusicStatementMistakeTest : public ::testing::TestWithParam<StatementMistake> {};

TEST_P(MusicStatementMistakeTest, StopsTheScoreText) {
    try {
        host::ParseScoreText(std::string("staff \"A\"\nmeasures 2 time 3/4\n") + GetParam().text, "bad");
        FAIL() << "accepted: " << GetParam().text;
    } catch (const host::ScoreTextError& e) {
        EXPECT_EQ(std::string(e.what()), GetParam().message);
    }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Cases, MusicStatementMistakeTest, ::testing::Values(
    StatementMistake{"notes 1 1 c4/2 d4/2",
                     "line 3: entry 2 overflows staff 1, measure 1, layer 1: the entries last 4 beats (4096 EDU); the measure "
                     "has 3 (3072 EDU)"},
    StatementMistake{"notes 2 1 c4/4", "line 3: there is no staff 2"},
    StatementMistake{"notes 1 3 c4/4", "line 3: there is no measure 3"},
    StatementMistake{"notes 1 1 layer 5 c4/4",
                     "line 3: notes: the layer 5 is not between 1 and 4 (notes STAFF MEASURE [layer 1-4] ENTRY...)"},
    StatementMistake{"notes 1 1", "line 3: notes: the entries are missing (notes STAFF MEASURE [layer 1-4] ENTRY...)"},
    StatementMistake{"notes 1 1 c4 /4", "line 3: notes: \"c4\" is not an entry: the duration (\"/4\" for a quarter) "
                                        "is missing (notes STAFF MEASURE [layer 1-4] ENTRY...)"},
    StatementMistake{"notes 1 1 c4/4\nnotes 1 1 d4/4", "line 4: staff 1, measure 1, layer 1 holds entries already"},
    StatementMistake{"notes 1 1 c3+d3+e3+f3+g3+a3+b3+c4+d4+e4+f4+g4+a4/4",
                     "line 3: entry 1 has 13 notes; an entry holds at most 12"},
    StatementMistake{"clef 1 1 bass@1024", "line 3: clef: unknown clef \"bass@1024\" (treble, alto, tenor, bass, "
                                           "percussion, treble8vb, bass8vb, baritone) (clef STAFF MEASURE CLEF "
                                           "[CLEF@EDU]...)"},
    StatementMistake{"clef 1 1 treble bass@0", "line 3: clef: the position 0 is not between 1 and 32767 (clef "
                                               "STAFF MEASURE CLEF [CLEF@EDU]...)"},
    StatementMistake{"clef 1 1 treble bass@2048 alto@1024",
                     "line 3: clef changes go forward within the measure (0 to 32767)"},
    StatementMistake{"clef 1 1 violin", "line 3: clef: unknown clef \"violin\" (treble, alto, tenor, bass, "
                                        "percussion, treble8vb, bass8vb, baritone) (clef STAFF MEASURE CLEF "
                                        "[CLEF@EDU]...)"}),
    testsupport::NameBy(&StatementMistake::message));
// clang-format on

TEST(ScoreClefTest, ClefsAreCellRecordsOfBothFormsAndChangeLists) {
    const auto document =
        host::ParseScoreText("staff \"A\"\nstaff \"B\"\nmeasures 2\nclef 2 1 bass\nclef 1 2 treble alto@2048\n", "c");
    const host::RecordStore& records = document->Records();
    const auto word = [&](const host::RecordKey& key, size_t offset) {
        const host::Bytes* bytes = records.Find(key);
        return bytes == nullptr ? -9999 : hostapi::ReadI16(bytes->data(), offset);
    };
    EXPECT_EQ(word(host::RecordKey::Detail(hostapi::kTagCellClef, 2, 1, 0), 0), 3);
    EXPECT_EQ(word(host::RecordKey::Detail(hostapi::kTagCellClef, 2, 1, 0), 2), 0);
    EXPECT_EQ(word(host::RecordKey::Detail(hostapi::kTagCellClef1997, 2, 1, 0), 2), 3);
    EXPECT_EQ(records.Find(host::RecordKey::Detail(hostapi::kTagCellClef1997, 2, 1, 0))->size(), 10u);
    EXPECT_EQ(word(host::RecordKey::Detail(hostapi::kTagCellClef, 1, 2, 0), 0), 1) << "the key of list 1";
    EXPECT_EQ(word(host::RecordKey::Detail(hostapi::kTagCellClef, 1, 2, 0), 2), 0x400);
    EXPECT_EQ(word(host::RecordKey::Detail(hostapi::kTagCellClef1997, 1, 2, 0), 0), 0x400);
    EXPECT_EQ(word(host::RecordKey::Other(hostapi::kTagClefChange, 1, 0), 0), 0);
    EXPECT_EQ(word(host::RecordKey::Other(hostapi::kTagClefChange, 1, 1), 0), 1);
    EXPECT_EQ(word(host::RecordKey::Other(hostapi::kTagClefChange, 1, 1), 2), 2048);

    // The clef definitions of every host year: eight clefs in three forms.
    size_t definitions = 0;
    for (const auto& [key, bytes] : records.Records()) {
        const auto info = hostapi::FindRecordTag(key.tag);
        definitions += info && std::string(info->what) == "clef definition" ? 1 : 0;
    }
    EXPECT_EQ(definitions, 24u);
    EXPECT_EQ(word(host::RecordKey::Other(hostapi::kTagClefDefinitions2001, -2, 4), 6), 2) << "bass, odd";
    EXPECT_EQ(word(host::RecordKey::Global(hostapi::kTagClefDefinition2000, 1), 0), -4);
    EXPECT_EQ(word(host::RecordKey::Other(MakeTag("ot35"), -2, 0), 0), 0) << "baritone";

    // A score without music carries none.
    EXPECT_EQ(host::ParseScoreText("staff \"A\"\nmeasures 1\n", "plain")->Records().Count(), 5u);
}

struct RangeMistake {
    const char* line;
    const char* error;
};

class DumpCellsMistakeTest : public ScoreMusicTest, public ::testing::WithParamInterface<RangeMistake> {};

TEST_P(DumpCellsMistakeTest, StopsTheScript) {
    std::ofstream(TempFolder() / "duet.score") << kDuet;
    std::string error;
    Run("new " + Path("duet.score") + "\n" + GetParam().line + "\n", &error);
    EXPECT_EQ(error.substr(0, error.find('\n')), std::string("test.script:2:") + GetParam().error);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, DumpCellsMistakeTest,
    ::testing::Values(
        RangeMistake{"dump cells 0", "12: error: the first of the staves 0 is out of range (1 to 32767)"},
        RangeMistake{"dump cells 1 4-2",
                     "14: error: not a range of measures: 4-2 (N or N-M, from 1 to 32767, N up to M)"},
        RangeMistake{"dump cells 1-x", "12: error: the last of the staves \"x\" is not a number"},
        RangeMistake{"dump cells 1 2 3",
                     "16: error: \"3\" is one argument too many (usage: dump cells [STAFF-RANGE] [MEASURE-RANGE])"},
        RangeMistake{"stop progress at", "17: error: an argument is missing (usage: stop progress at K)"},
        RangeMistake{"stop progress at 0", "18: error: the step 0 is out of range (1 to 2147483647)"}),
    testsupport::NameBy(&RangeMistake::line));

}  // namespace
