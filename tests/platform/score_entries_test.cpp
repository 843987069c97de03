// Score texts for what the commands read and write about entries: tuplets timed as the host
// times them, placed and floating rests, entry and note flags, ties over barlines, articulations
// and their definitions, per-note performance data, layer settings, line heights and stored MIDI
// events; their bytes, the cell and record listings that show them, the mistakes named by line
// and column, and the document file that keeps them.
#include <gtest/gtest.h>

#include "platform/host/cell_dump.h"
#include "platform/host/mus_file.h"
#include "platform/host/record_dump.h"
#include "platform/host/score_text.h"
#include "platform/hostapi/bytes.h"
#include "platform/hostapi/entry_records.h"
#include "platform/hostapi/layout_records.h"
#include "platform/hostapi/music_records.h"
#include "tests/support/fixture.h"

namespace {

using host::Bytes;
using host::RecordKey;
using hostapi::ConstEntryView;

/// Bytes as the hexadecimal pairs a record line shows, e.g. "0300 0002".
std::string HexOf(const Bytes* bytes) {
    if (bytes == nullptr) {
        return "(missing)";
    }
    std::string text;
    char pair[4];
    for (size_t i = 0; i < bytes->size(); ++i) {
        std::snprintf(pair, sizeof pair, "%02X", (*bytes)[i]);
        text += (i > 0 && i % 2 == 0 ? " " : "") + std::string(pair);
    }
    return text;
}

/// The layer-1 entries of a cell as "position+actual" words.
std::string Timing(const host::Document& document, int16_t staff, int16_t measure) {
    std::string text;
    for (const host::EntryBytes& bytes : document.EntriesOf({staff, measure, 0})) {
        const ConstEntryView entry(bytes.data());
        text +=
            (text.empty() ? "" : " ") + std::to_string(entry.position()) + "+" + std::to_string(entry.actualDuration());
    }
    return text;
}

ConstEntryView EntryAt(const host::Document& document, int16_t staff, int16_t measure, size_t index,
                       hostapi::LayerIndex layer = 0) {
    return ConstEntryView(document.EntriesOf({staff, measure, layer}).at(index).data());
}

constexpr const char* kHeader = "staff \"Flute\"\nstaff \"Oboe\"\nmeasures 3 time 4/4 key 2\n";

std::unique_ptr<host::Document> Score(const std::string& body) {
    return host::ParseScoreText(kHeader + body, "entries");
}

// ---- Tuplets ----

struct TupletCase {
    const char* name;
    const char* notes;     ///< the entries of staff 1, measure 1
    const char* timing;    ///< position+actual of each entry
    const char* records;   ///< the first four words of each tuplet record, "|" between records
    uint32_t tupletFlags;  ///< per entry, bit i: entry i carries the tuplet flag
};

class TupletTest : public ::testing::TestWithParam<TupletCase> {};

TEST_P(TupletTest, IsTimedAndStoredAsTheHostStoresIt) {
    const auto document = Score(std::string("notes 1 1 ") + GetParam().notes);
    EXPECT_EQ(Timing(*document, 1, 1), GetParam().timing);
    std::string records;
    uint32_t flags = 0;
    const host::CellEntries& entries = document->EntriesOf({1, 1, 0});
    for (size_t i = 0; i < entries.size(); ++i) {
        const ConstEntryView entry(entries[i].data());
        flags |= entry.has(hostapi::kEntryTuplet) ? 1u << i : 0;
        for (int16_t inci = 0;; ++inci) {
            const Bytes* record =
                document->Records().Find(RecordKey::EntryDetail(hostapi::kTagTuplet, entry.number(), inci));
            if (record == nullptr) {
                break;
            }
            ASSERT_EQ(record->size(), hostapi::TupletLayout::kSize);
            records += (records.empty() ? "" : "|") + HexOf(record).substr(0, 19);
        }
    }
    EXPECT_EQ(records, GetParam().records);
    EXPECT_EQ(flags, GetParam().tupletFlags);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Notes, TupletTest, ::testing::Values(
    TupletCase{"EighthTriplet", "{3:2 c5/8 d5/8 e5/8} r/4 r/2",
               "0+341 341+341 682+342 1024+1024 2048+2048", "0300 0002 0200 0002", 0x1},
    // Three eighths in the time of one quarter: units of their own on both sides.
    TupletCase{"UnitsOnBothSides", "r/4 {3/8:1/4 c5/8 d5/8 e5/8} r/2",
               "0+1024 1024+341 1365+341 1706+342 2048+2048", "0300 0002 0100 0004", 0x2},
    // A quarter and an eighth share the unit of an eighth.
    TupletCase{"MixedValues", "{3:2 c5/4 d5/8} r/4 r/2", "0+682 682+342 1024+1024 2048+2048",
               "0300 0002 0200 0002", 0x1},
    // A triplet inside a quarter triplet: both records at the inner tuplet's first entry are
    // the outer one's entry's and its own.
    TupletCase{"Nested", "{3:2 c5/4 {3:2 d5/8 e5/8 f#5/8} g5/4} r/2",
               "0+682 682+228 910+227 1137+228 1365+683 2048+2048", "0300 0004 0200 0004|0300 0002 0200 0002", 0x3},
    TupletCase{"NestedAtTheStart", "{5:4 {3:2 c5/16 d5/16 e5/16} f#5/16 g5/16 a5/16} r/4 r/2",
               "0+136 136+137 273+136 409+205 614+205 819+205 1024+1024 2048+2048",
               "0500 0001 0400 0001|0300 0001 0200 0001", 0x1},
    // Grace notes take no time inside a tuplet either.
    TupletCase{"GraceInside", "{3:2 c5/8 d5/16g d5/8 e5/8} r/4 r/2",
               "0+341 341+0 341+341 682+342 1024+1024 2048+2048", "0300 0002 0200 0002", 0x1},
    // A tuplet that fills the measure.
    TupletCase{"WholeMeasure", "{3:2 c5/2 d5/2 e5/2}", "0+1365 1365+1365 2730+1366", "0300 0008 0200 0008", 0x1}),
    [](const auto& testCase) { return std::string(testCase.param.name); });
// clang-format on

// ---- Mistakes, by line and column ----

struct MistakeCase {
    const char* name;
    const char* line;  ///< line 5 of the score text
    const char* message;
    size_t column;  ///< where the mistake lies in the line
};

class EntryStatementMistakeTest : public ::testing::TestWithParam<MistakeCase> {};

TEST_P(EntryStatementMistakeTest, IsNamedByLineAndColumn) {
    try {
        Score(std::string("notes 1 1 c5/4 d5/4 e5/4 f#5/4\n") + GetParam().line);
        FAIL() << "accepted: " << GetParam().line;
    } catch (const host::ScoreTextError& e) {
        EXPECT_EQ(std::string(e.what()), GetParam().message);
        EXPECT_EQ(e.Line(), 5u);
        EXPECT_EQ(e.Column(), GetParam().column);
    }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Statements, EntryStatementMistakeTest, ::testing::Values(
    MistakeCase{"TupletNotFilled", "notes 1 2 {3/8:2 c5/8 d5/8} r/4 r/2",
                "line 5: the entries of tuplet 1 last 1024 EDU as written, not 3 x 512 = 1536", 18},
    MistakeCase{"TupletUneven", "notes 1 2 {3:2 c5/8 d5/8} r/4 r/2",
                "line 5: notes: the entries of the tuplet {3:2 last 1024 EDU, which 3 notes do not share "
                "evenly (notes STAFF MEASURE [layer 1-4] ENTRY...)", 11},
    MistakeCase{"TupletNotClosed", "notes 1 2 r/4 {3:2 c5/8 d5/8 e5/8 r/2",
                "line 5: notes: the tuplet {3:2 is not closed with \"}\" (notes STAFF MEASURE [layer 1-4] "
                "ENTRY...)", 15},
    MistakeCase{"ClosesNothing", "notes 1 2 c5/4} r/2.",
                "line 5: notes: \"}\" closes no tuplet (notes STAFF MEASURE [layer 1-4] ENTRY...)", 11},
    MistakeCase{"BadRatio", "notes 1 2 {3-2 c5/8 d5/8 e5/8}",
                "line 5: notes: \"{3-2\" is not a tuplet: it is {N:M, {N/U:M or {N/U:M/V (3 notes in the "
                "time of 2: {3:2) (notes STAFF MEASURE [layer 1-4] ENTRY...)", 11},
    MistakeCase{"UnknownNoteFlag", "notes 1 2 c5/4 d5[bold]/4",
                "line 5: notes: \"d5[bold]/4\" is not an entry: \"bold\" is not a note flag (created, "
                "shown, frozen, second, parenthesised, playback, flip-up, flip-down, tie-start, tie-end) (notes STAFF "
                "MEASURE [layer 1-4] ENTRY...)", 19},
    MistakeCase{"FloatingNote", "notes 1 2 c5/4f",
                "line 5: notes: \"c5/4f\" is not an entry: only a rest floats (notes STAFF MEASURE "
                "[layer 1-4] ENTRY...)", 11},
    MistakeCase{"UnknownEntryFlag", "entry 1 1:2 +stem-up +bold",
                "line 5: entry: \"bold\" is not an entry flag (created, voice-2-start, voice-2, "
                "chord-symbols, floating, grace, note-details, articulations, lyrics, tuplet, playback, hidden, "
                "tremolo, flipped-tie, tie-details, beam-start, secondary-break, voice-free, stem-details, stem-up, "
                "note-expressions, notes-changed, note-shapes, slashed, playback-adjusted, playback-note) (entry "
                "STAFF MEASURE:ENTRY [layer 1-4] [offset H] [+FLAG|-FLAG]...)", 22},
    MistakeCase{"NoSuchEntry", "entry 1 1:5 offset 3", "line 5: staff 1, measure 1, layer 1 has no entry 5", 1},
    MistakeCase{"NoSuchNote", "noteplayback 1 1:3 2 pitch 1",
                "line 5: entry 3 of staff 1, measure 1, layer 1 has no note 2", 1},
    MistakeCase{"NoSuchTuplet", "tuplet 1 1:1 number 2 flags 1",
                "line 5: entry 1 of staff 1, measure 1, layer 1 starts no tuplet 2", 1},
    MistakeCase{"ArticulationCharacter", "articulation 1 \"ab\"",
                "line 5: articulation: the character is one character, not \"ab\" (articulation NUMBER "
                "CHARACTER [style S] [font F] [size S] [place opposite|stem|above|below] [alternate CHARACTER] "
                "[horizontal H] [above V] [below V] [FLAG...] [flags N] [options N])", 16},
    MistakeCase{"ArticulationPlace", "articulation 1 46 place left",
                "line 5: articulation: the place is opposite (the stem), stem (side), above or below, "
                "not left (articulation NUMBER CHARACTER [style S] [font F] [size S] [place "
                "opposite|stem|above|below] [alternate CHARACTER] [horizontal H] [above V] [below V] [FLAG...] "
                "[flags N] [options N])", 25},
    MistakeCase{"PitchWheelTooHigh", "midi 1 1 0 pitchwheel 16384",
                "line 5: midi: the pitch wheel's value 16384 is not between 0 and 16383 (midi STAFF "
                "MEASURE EDU pitchwheel VALUE|controller NUMBER VALUE|STATUS DATA1 DATA2)", 23},
    MistakeCase{"MidiValueMissing", "midi 1 1 0 controller 7",
                "line 5: midi: the controller's value is missing (midi STAFF MEASURE EDU pitchwheel "
                "VALUE|controller NUMBER VALUE|STATUS DATA1 DATA2)", 24},
    MistakeCase{"MidiCellMissing", "midi 3 1 0 controller 7 64", "line 5: there is no staff 3", 1},
    MistakeCase{"LayerFive", "layersettings 5 stem up",
                "line 5: layersettings: the layer 5 is not between 1 and 4 (layersettings LAYER [stem "
                "up|down] [withothers] [playbackmark] [first N] [second N])", 15},
    MistakeCase{"RecordTooShort", "entryrecord 1 1:1 edIM 0100",
                "line 5: a 'edIM' record has 10 bytes, not 2", 1},
    MistakeCase{"RecordOfAMeasure", "entryrecord 1 1:1 SOMS 0100",
                "line 5: 'SOMS' is no record of an entry", 1},
    MistakeCase{"ShapeNoteMissing", "shape 26 1 1:1.2 1:2.1",
                "line 5: entry 1 of staff 1, measure 1 has no note 2", 1}),
    [](const auto& testCase) { return std::string(testCase.param.name); });
// clang-format on

TEST(ScoreEntriesTest, TupletFieldsTheNotationDoesNotWrite) {
    const auto document = Score(
        "notes 1 1 {3:2 {3:2 c5/16 d5/16 e5/16} f#5/8 g5/8} r/4 r/2\n"
        "tuplet 1 1:1 number 2 word10 -3 flags 0xA001\n");
    const hostapi::EntryNumber first = EntryAt(*document, 1, 1, 0).number();
    EXPECT_EQ(HexOf(document->Records().Find(RecordKey::EntryDetail(hostapi::kTagTuplet, first, 0))),
              "0300 0002 0200 0002 0000 0000 0000 0000 0000 0000 0000 0000 0000 0000 0000");
    EXPECT_EQ(HexOf(document->Records().Find(RecordKey::EntryDetail(hostapi::kTagTuplet, first, 1))),
              "0300 0001 0200 0001 0000 FDFF 0000 0000 0000 01A0 0000 0000 0000 0000 0000");
}

// ---- Rests, flags and ties ----

TEST(ScoreEntriesTest, RestsAndFlagsAreWrittenAsTheCommandsReadThem) {
    const auto document = Score(
        "notes 1 1 r@b4/4f r@f5/4 r/4f ~f#5[shown,frozen,second,parenthesised]/4\n"
        "entry 1 1:2 offset -8 +stem-up +slashed +notes-changed -beam-start layer 1\n");
    // A placed rest holds its staff position in one note slot; a floating rest has the flag.
    const ConstEntryView placedFloating = EntryAt(*document, 1, 1, 0);
    EXPECT_EQ(placedFloating.flags(), hostapi::kEntryFloatingRest | hostapi::kEntryBeamStart);
    EXPECT_EQ(placedFloating.noteCount(), 1);
    EXPECT_EQ(placedFloating.note(0).harmonicLevel(), 5);  // B4 in D major: five steps above D4
    EXPECT_EQ(placedFloating.note(0).alteration(), 0);
    const ConstEntryView placed = EntryAt(*document, 1, 1, 1);
    EXPECT_EQ(placed.flags(), hostapi::kEntryStemUp);
    EXPECT_EQ(placed.horizontalOffset(), -8);
    EXPECT_EQ(placed.moreFlags(), hostapi::kEntryMoreSlashedGrace | hostapi::kEntryMoreNotesChanged);
    EXPECT_EQ(placed.note(0).harmonicLevel(), 9);
    const ConstEntryView floating = EntryAt(*document, 1, 1, 2);
    EXPECT_EQ(floating.noteCount(), 0);
    EXPECT_TRUE(floating.has(hostapi::kEntryFloatingRest));
    const ConstEntryView note = EntryAt(*document, 1, 1, 3);
    EXPECT_EQ(note.note(0).flags(), hostapi::kNoteTieEnd | hostapi::kNoteAccidentalShown |
                                        hostapi::kNoteAccidentalFrozen | hostapi::kNoteAccidentalSecond |
                                        hostapi::kNoteAccidentalParenthesised);
}

TEST(ScoreEntriesTest, TiesReachOverTheBarlineInEitherOrderOfStatements) {
    for (const char* body : {"notes 1 1 c5/2 d5+f#5~/2\nnotes 1 2 d5+f#5/2 g5/2\n",
                             "notes 1 2 d5+f#5/2 g5/2\nnotes 1 1 c5/2 d5+f#5~/2\n"}) {
        SCOPED_TRACE(body);
        const auto document = Score(body);
        const ConstEntryView first = EntryAt(*document, 1, 2, 0);
        EXPECT_EQ(first.note(0).flags(), 0u);  // D5 is not tied
        EXPECT_EQ(first.note(1).flags(), hostapi::kNoteTieEnd);
    }
    // Another layer, another staff and another spelling are not the note tied to.
    const auto document = Score("notes 1 1 c5/2 g5~/2\nnotes 1 2 layer 2 g5/1\nnotes 2 2 g5/1\nnotes 1 2 abb5/1\n");
    EXPECT_EQ(EntryAt(*document, 1, 2, 0, 1).note(0).flags(), 0u);
    EXPECT_EQ(EntryAt(*document, 2, 2, 0).note(0).flags(), 0u);
    EXPECT_EQ(EntryAt(*document, 1, 2, 0).note(0).flags(), 0u);
    // A note written "-tie-end" keeps no mark from the tie before it.
    const auto lost = Score("notes 1 1 c5/2 g5~/2\nnotes 1 2 g5[-tie-end]/1\n");
    EXPECT_EQ(EntryAt(*lost, 1, 2, 0).note(0).flags(), 0u);
}

// ---- Records of entries, layers and cells ----

TEST(ScoreEntriesTest, PlaybackRecordsHoldTheBytesTheirLinesName) {
    const auto document = Score(
        "notes 1 1 c5+e5/4 d5/4 e5/4 f#5/4\n"
        "articulation 3 0xD9 style 1 font 2 size 24 place below alternate \">\" horizontal -4 above 12 below -14 "
        "clamp alternate-below snap no-character-above\n"
        "notearticulation 1 1:1 3 at 5 offset -6\n"
        "notearticulation 1 1:1 7\n"
        "noteplayback 1 1:1 2 silenced\n"
        "noteplayback 1 1:1 1 word2 1 word4 2 pitch 3 level 4\n"
        "layersettings 2 stem up withothers playbackmark first 0x0102\n"
        "midi 2 3 512 pitchwheel 9000\n"
        "midi 2 3 515 controller 101 0\n"
        "midi 2 3 600 0xC0 5 0\n"
        "shape 26 1 1:1.2 1:2.1 offset 14 endoffset -21\n");
    const hostapi::EntryNumber first = EntryAt(*document, 1, 1, 0).number();
    const auto find = [&](const RecordKey& key) { return HexOf(document->Records().Find(key)); };
    EXPECT_EQ(find(RecordKey::Other(hostapi::kTagArticulationDefinition, 3, 0)),
              "D901 0218 0000 0000 0000 0350 3E00 0000 FCFF 0C00 0000 0300 0000 0000 0000 F2FF 0000 0000 0000 0000 "
              "0000 0000 0000 0000");
    EXPECT_EQ(find(RecordKey::EntryDetail(hostapi::kTagArticulation, first, 0)), "0300 0500 FAFF 0000 0000");
    EXPECT_EQ(find(RecordKey::EntryDetail(hostapi::kTagArticulation, first, 1)), "0700 0000 0000 0000 0000");
    EXPECT_TRUE(EntryAt(*document, 1, 1, 0).has(hostapi::kEntryArticulations));
    // Performance data by note: the top note (identifier 2) first, as written.
    EXPECT_EQ(find(RecordKey::EntryDetail(hostapi::kTagNotePerformance, first, 0)), "0200 0000 F9FF 82FF 81FF");
    EXPECT_EQ(find(RecordKey::EntryDetail(hostapi::kTagNotePerformance, first, 1)), "0100 0100 0200 0300 0400");
    EXPECT_EQ(find(RecordKey::Global(hostapi::kTagLayerSettings, 1)), "0201 004D");
    // The pitch wheel's value 9000 is 40 + 128 x 70.
    EXPECT_EQ(find(RecordKey::Detail(hostapi::kTagMidiEvent, 2, 3, 0)), "0002 0000 E000 2800 4600");
    EXPECT_EQ(find(RecordKey::Detail(hostapi::kTagMidiEvent, 2, 3, 1)), "0302 0000 B000 6500 0000");
    EXPECT_EQ(find(RecordKey::Detail(hostapi::kTagMidiEvent, 2, 3, 2)), "5802 0000 C000 0500 0000");
    // The glissando: start and end heights at bytes 16 and 46, the notes' identifiers at 76 and 78,
    // and both entries marked as having note-attached smart shapes.
    const Bytes* shape = document->Records().Find(RecordKey::Other(hostapi::kTagSmartShape, 1, 0));
    ASSERT_NE(shape, nullptr);
    using L = hostapi::SmartShapeLayout;
    EXPECT_EQ(hostapi::ReadI16(shape->data(), L::kStartOffset), 14);
    EXPECT_EQ(hostapi::ReadI16(shape->data(), L::kEndOffset), -21);
    EXPECT_EQ(hostapi::ReadI16(shape->data(), L::kStartNote), 2);
    EXPECT_EQ(hostapi::ReadI16(shape->data(), L::kEndNote), 1);
    EXPECT_EQ(EntryAt(*document, 1, 1, 0).moreFlags(), hostapi::kEntryMoreSmartShapes);
    EXPECT_EQ(EntryAt(*document, 1, 1, 1).moreFlags(), hostapi::kEntryMoreSmartShapes);
}

TEST(ScoreEntriesTest, EntryRecordsSetTheFlagThatAnnouncesThem) {
    const auto document = Score(
        "notes 1 1 c5/8 d5/8 e5/8 f#5/8 r/2\n"
        "entryrecord 1 1:2 edsB 0000 0001 0101 0101 0101\n"
        "entryrecord 1 1:3 dtsl 0700 0000 0000 0000 0000\n"
        "entryrecord 1 1:4 edED 0100 0000 0000 0000 0080\n");
    EXPECT_TRUE(EntryAt(*document, 1, 1, 1).has(hostapi::kEntrySecondaryBreak));
    EXPECT_TRUE(EntryAt(*document, 1, 1, 2).has(hostapi::kEntryStemDetails));
    EXPECT_EQ(EntryAt(*document, 1, 1, 3).moreFlags(), hostapi::kEntryMoreExpressions);
    const auto number = [&](size_t i) { return EntryAt(*document, 1, 1, i).number(); };
    EXPECT_EQ(HexOf(document->Records().Find(RecordKey::EntryDetail(hostapi::kTagSecondaryBeamBreak, number(1), 0))),
              "0000 0001 0101 0101 0101");
    EXPECT_EQ(HexOf(document->Records().Find(
                  RecordKey::Detail(hostapi::kTagStemDownDetail, 0, static_cast<int16_t>(number(2)), 0))),
              "0700 0000 0000 0000 0000");
}

// ---- What the listings show ----

constexpr const char* kShownScore = R"(notes 1 1 {3:2 c5/8 d5/8 e5/8} f#5[shown,frozen]/4 r@b4/4f g5~/4
notes 1 2 g5/2 r/2
articulation 1 0xD9 place above
notearticulation 1 1:4 1 offset 6
noteplayback 1 1:4 1 silenced
entry 1 1:5 offset -12 +slashed
layersettings 4 stem down withothers
midi 2 1 0 pitchwheel 8192
midi 2 1 512 controller 7 64
)";

TEST(ScoreEntriesTest, DumpCellsShowsEveryFlagOffsetTupletAndRecord) {
    const auto document = Score(kShownScore);
    EXPECT_EQ(host::CellListing(*document, {1, 1}, {1, 2}),
              (std::vector<std::string>{
                  "  staff 1, measure 1, layer 1: 6 entries",
                  "    entry 1 at 0, 512 EDU (actual 341), tuplet, beam start: C5",
                  "      tuplet 3:2 (3 x 512 in the time of 2 x 512) of entries 1-3",
                  "    entry 2 at 341, 512 EDU (actual 341): D5",
                  "      in the tuplet of entry 1",
                  "    entry 3 at 682, 512 EDU (actual 342): E5",
                  "      in the tuplet of entry 1",
                  "    entry 4 at 1024, 1024 EDU, articulations, beam start: F#5[shown,frozen]",
                  "      performance data of note 1; articulation 1",
                  "    entry 5 at 2048, 1024 EDU, floating, beam start, slashed: rest at B4",
                  "      offset -12",
                  "    entry 6 at 3072, 1024 EDU, beam start: G5~",
                  "  staff 1, measure 2, layer 1: 2 entries",
                  "    entry 7 at 0, 2048 EDU, beam start: ~G5",
                  "    entry 8 at 2048, 2048 EDU, beam start: rest",
              }));
}

TEST(ScoreEntriesTest, DumpRecordsDecodesWhatTheCommandsWrite) {
    const auto document = Score(kShownScore);
    std::vector<std::string> lines;
    for (const hostapi::Tag tag :
         {hostapi::kTagMidiEvent, hostapi::kTagArticulationDefinition, hostapi::kTagArticulation,
          hostapi::kTagNotePerformance, hostapi::kTagTuplet, hostapi::kTagLayerSettings}) {
        for (const std::string& line : host::RecordListing(*document, tag)) {
            lines.push_back(line);
        }
    }
    const hostapi::EntryNumber fourth = EntryAt(*document, 1, 1, 3).number();
    const std::string entry = "entry (" + std::to_string(fourth) + ", 0)";
    EXPECT_EQ(lines,
              (std::vector<std::string>{
                  "'dtME' detail (2, 1, 0), 10 bytes: MIDI event at 0: pitch wheel 8192",
                  "'dtME' detail (2, 1, 1), 10 bytes: MIDI event at 512: controller 7 (volume) = 64",
                  "'O\\x04IX' other (1, 0), 48 bytes: character 0xD9, style 0, font 0 size 24, above, alternate "
                  "0x00, offsets horizontal 0 above 0 below 0",
                  "'edIM' " + entry + ", 10 bytes: articulation 1, offsets horizontal 0 vertical 6",
                  "'edac' " + entry +
                      ", 10 bytes: note id 1: word 2 0, word 4 -7, pitch change -126, level change -127 (silenced "
                      "for playback notes)",
                  "'E\\x03TP' entry (1, 0), 30 bytes: 3 x 512 EDU in the time of 2 x 512, word 10 0, flags 0x0000",
                  "'pfLA' global (3), 4 bytes: halves 0x0000 0x0900, stems fixed down when other layers hold entries",
              }));
}

// ---- The document file ----

TEST(ScoreEntriesTest, TheDocumentFileKeepsEveryNewRecordKind) {
    const auto document =
        Score(std::string(kShownScore) + "shape 26 1 1:4.1 1:6.1 offset 3 endoffset 9\n" +
              "notes 2 2 {3:2 c5/8 d5/8 e5/8} r/4 r/2\n" + "entryrecord 2 2:2 edsB 0000 0101 0101 0101 0101\n");
    const std::string text = host::MusText(*document);
    const auto read = host::ParseMusText(text, "again");
    EXPECT_TRUE(read->SameContent(*document));
    EXPECT_EQ(host::MusText(*read), text);
    EXPECT_EQ(host::CellListing(*read, {1, 2}, {1, 3}), host::CellListing(*document, {1, 2}, {1, 3}));
}

struct DamagedRecord {
    const char* name;
    const char* line;
    const char* message;
};

class DamagedNewRecordTest : public ::testing::TestWithParam<DamagedRecord> {};

TEST_P(DamagedNewRecordTest, IsRefused) {
    try {
        host::ParseMusText(std::string("MUS 1\n") + GetParam().line + "\nend\n", "damaged");
        FAIL() << "read: " << GetParam().line;
    } catch (const host::DocumentFileError& e) {
        EXPECT_EQ(std::string(e.what()), GetParam().message);
    }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Kinds, DamagedNewRecordTest, ::testing::Values(
    DamagedRecord{"MidiEventShort", "record dtME detail 1 1 0 hex 8 0000 0000 E000 0000",
                  "line 2: a 'dtME' record (MIDI event) has 10 bytes, not 8"},
    DamagedRecord{"MidiEventAsOther", "record dtME other 1 0 hex 10 0000 0000 E000 0000 4000",
                  "line 2: 'dtME' is a detail record, not other"},
    DamagedRecord{"ArticulationLong", "record edIM entry 5 0 hex 12 0100 0000 0000 0000 0000 0000",
                  "line 2: a 'edIM' record (articulation) has 10 bytes, not 12"},
    DamagedRecord{"DefinitionShort", "record O\\x04IX other 1 0 hex 2 D900",
                  "line 2: a 'O\\x04IX' record (articulation definition) has 48 bytes, not 2"},
    DamagedRecord{"PerformanceEmpty", "record edac entry 5 0 hex 0",
                  "line 2: a 'edac' record (performance data of a note) has 10 bytes, not 0"},
    DamagedRecord{"TupletShort", "record E\\x03TP entry 5 0 hex 8 0300 0002 0200 0002",
                  "line 2: a 'E\\x03TP' record (tuplet) has 30 bytes, not 8"},
    DamagedRecord{"LayerSettingsKeyedAsDetail", "record pfLA detail 1 0 0 hex 4 0000 0000",
                  "line 2: 'pfLA' is a global record, not detail"},
    DamagedRecord{"LayerSettingsShort", "record pfLA global 1 hex 2 0000",
                  "line 2: a 'pfLA' record (layer settings) has 4 bytes, not 2"},
    DamagedRecord{"SecondaryBreakTruncatedDigits", "record edsB entry 5 0 hex 10 0000 0001 0101 0101 01",
                  "line 2: the record announces 10 bytes but holds 9"}),
    [](const auto& testCase) { return std::string(testCase.param.name); });
// clang-format on

}  // namespace
