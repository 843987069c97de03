// "Vx &Playback..." end to end: glissando lines become pitch-wheel glides, trill lines and trill and
// tremolo articulations hidden playback notes in a free layer with the notated note silenced,
// hairpins volume ramps; "Remove these effects from selection" takes it all away again and "Play"
// has the host redraw the measures. Also the tremolo command's playback notes.
#include <regex>
#include <set>

#include "core/tool_context.h"
#include "core/tool_items.h"
#include "platform/host/cell_dump.h"
#include "platform/host/record_dump.h"
#include "platform/hostapi/entry_records.h"
#include "platform/hostapi/music_records.h"
#include "tests/tools/notes_fixture.h"
#include "tools/notes/playback_effects.h"

namespace {

using testsupport::Setting;

constexpr int32_t kPlayback = orvex::ToolCode(orvex::ToolItem::Playback);
constexpr int32_t kTremolo = orvex::ToolCode(orvex::ToolItem::Tremolo);

const Setting kGlissandi{"Glissandi?", "checked"};
const Setting kHairpins{"Make hairpins play back as volume changes?", "checked"};
const Setting kTrills{"Make trills/tremolos/diddles play back (notes in another layer)?", "checked"};
const Setting kNoUpperStart{"Start trill with upper note?", "unchecked"};

/// A passage with a trill articulation (measure 1), two staccatos, a crescendo hairpin over the
/// first three beats, a glissando line from D5 to A5 (measure 2), a three-slash tremolo on E5
/// and a trill line over F5 (measure 3).
const char* const kPassage = R"(
staff "Violin" "Vln."
measures 3 time 4/4
articulation 1 0xD9 place above
articulation 2 "." place opposite
articulation 3 0xBE place stem
notes 1 1 c5/4 e5/4 g5/4 c6/4
notes 1 2 d5/2 a5/2
notes 1 3 e5/2 f5/4 r/4
notearticulation 1 1:1 1
notearticulation 1 1:2 2
notearticulation 1 1:3 2
notearticulation 1 3:1 3
shape 25 1 2:1 2:2 offset 0 endoffset 30
shape 3 1 1@0 1@3072
shape 14 1 3@2048 3@3072
)";

/// Measure 1's trill articulation (C5, a quarter) with the upper note first: the step of 85 EDU
/// keeps an even count of ten notes after the delay of 10 % (102 EDU), which the first note holds.
const std::vector<std::string> kTrillNotes = {
    "at 0, 187 EDU, created, playback note: D5[playback]",
    "at 187, 85 EDU, created, playback note: C5[playback]",
    "at 272, 85 EDU, created, playback note: D5[playback]",
    "at 357, 85 EDU, created, playback note: C5[playback]",
    "at 442, 85 EDU, created, playback note: D5[playback]",
    "at 527, 85 EDU, created, playback note: C5[playback]",
    "at 612, 85 EDU, created, playback note: D5[playback]",
    "at 697, 85 EDU, created, playback note: C5[playback]",
    "at 782, 85 EDU, created, playback note: D5[playback]",
    "at 867, 85 EDU, created, playback note: C5[playback]",
    "at 952, 8 EDU, created, floating, hidden, playback note: rest",
    "at 960, 64 EDU, created, floating, hidden, playback note: rest",
    "at 1024, 3072 EDU, created, floating, hidden, playback note: rest",
};

class PlaybackTest : public testsupport::NotesTest {
protected:
    /// Runs the playback command from its options dialog with the settings: `button` is "Go"
    /// (create), "btExtra1" ("Remove these effects from selection") or "btExtra2" ("Play");
    /// then the dialog is closed.
    void RunPlayback(const std::vector<Setting>& settings, const std::string& button = "Go") {
        for (const auto& [caption, value] : settings) {
            win::QueueFormAction("TDActOpt", win::FormAction{win::FormAction::Kind::Set, caption, value});
        }
        win::QueueFormAction("TDActOpt", win::FormAction{win::FormAction::Kind::Click, button, ""});
        win::QueueFormAction("TDActOpt", win::FormAction{win::FormAction::Kind::Click, "CancelBtn", ""});
        Invoke(static_cast<int16_t>(orvex::FindCommandIndex(kPlayback)));
    }
    static void Answer(const char* button) {
        win::QueueFormAction("TMsgDlg", win::FormAction{win::FormAction::Kind::Click, button, ""});
    }

    /// The entries of one layer of a cell as the listing shows them, without their numbers.
    std::vector<std::string> Layer(int16_t staff, int16_t measure, int16_t layer) {
        const std::string heading = "staff " + std::to_string(staff) + ", measure " + std::to_string(measure) +
                                    ", layer " + std::to_string(layer) + ":";
        std::vector<std::string> entries;
        bool inLayer = false;
        static const std::regex kEntry("^    entry [0-9]+ (.*)$");
        for (const std::string& line : host::CellListing(Document(), {staff, staff}, {measure, measure})) {
            std::smatch match;
            if (line.starts_with("  staff ")) {
                inLayer = line.starts_with("  " + heading);
            } else if (inLayer && std::regex_match(line, match, kEntry)) {
                entries.push_back(match[1]);
            }
        }
        return entries;
    }
    /// The cell's MIDI events as "time:status:data1:data2" words.
    std::string Events(int16_t measure, int16_t staff = 1) {
        std::string text;
        for (int16_t inci = 0;; ++inci) {
            const host::Bytes* bytes =
                Document().Records().Find(host::RecordKey::Detail(hostapi::kTagMidiEvent, staff, measure, inci));
            if (bytes == nullptr) {
                return text;
            }
            text += std::to_string(hostapi::ReadI32(bytes->data(), 0)) + ":" +
                    std::to_string(hostapi::ReadI16(bytes->data(), 4)) + ":" +
                    std::to_string(hostapi::ReadI16(bytes->data(), 6)) + ":" +
                    std::to_string(hostapi::ReadI16(bytes->data(), 8)) + " ";
        }
    }
    /// The words of a note's performance record ('edac', incidence 0); empty when there is none.
    std::vector<int16_t> Performance(hostapi::EntryNumber entry) {
        const std::vector<uint8_t> record = EntryRecord("edac", entry);
        std::vector<int16_t> words;
        for (size_t n = 0; 2 * n + 1 < record.size(); ++n) {
            words.push_back(Word(record, n));
        }
        return words;
    }
    /// The document's records and filled cells, to compare with after a run.
    struct Snapshot {
        host::RecordStore records;
        std::map<host::CellKey, host::CellEntries> cells;
    };
    Snapshot TakeSnapshot() { return {Document().Records(), FilledCells()}; }
    /// The document holds again what it held at `before`, records and cells.
    void ExpectAsBefore(const Snapshot& before) {
        EXPECT_TRUE(Document().Records() == before.records);
        EXPECT_EQ(FilledCells(), before.cells);
    }
    /// The cells that hold entries.
    std::map<host::CellKey, host::CellEntries> FilledCells() {
        std::map<host::CellKey, host::CellEntries> cells;
        for (const auto& [key, entries] : Document().Cells()) {
            if (!entries.empty()) {
                cells.emplace(key, entries);
            }
        }
        return cells;
    }
};

TEST_F(PlaybackTest, CreateMakesEveryEffectOfThePassageAudible) {
    StartHost(kPassage);
    Select(1, 1, 1, 3);
    RunPlayback({kGlissandi, kHairpins, kTrills});
    EXPECT_EQ(Messages(), std::vector<std::string>{});

    // The trill articulation: playback notes in layer 4, the notated C5 silenced.
    EXPECT_EQ(Layer(1, 1, 4), kTrillNotes);
    const auto trilled = View(Cell(1, 1)[0]);
    EXPECT_TRUE(trilled.has(hostapi::kEntryPlayback));
    EXPECT_EQ(Performance(trilled.number()), (std::vector<int16_t>{trilled.note(0).noteId(), 0, -7, -126, -127}));
    // The staccatos play as written.
    for (size_t k : {1u, 2u}) {
        const auto staccato = View(Cell(1, 1)[k]);
        EXPECT_FALSE(staccato.has(hostapi::kEntryPlayback)) << k;
        EXPECT_EQ(Performance(staccato.number()), std::vector<int16_t>{}) << k;
    }

    // The crescendo doubles the volume in effect (64) over three beats, one step a fifteenth of a
    // quarter, clamped at 127; the piece starts at 64 (the first event of the ramp).
    const std::string volume = Events(1);
    EXPECT_TRUE(volume.starts_with("0:176:7:64 68:176:7:65 136:176:7:66 ")) << volume;
    EXPECT_TRUE(volume.ends_with(" 2992:176:7:125 3060:176:7:127 ")) << volume;

    // The glissando D5 -> A5 (7 semitones of 12): the centre, the bender range, then after the
    // delay of 20 % of the half note one step every 51 EDU towards 8192 + 4778, and the centre
    // at the end.
    const std::string glide = Events(2);
    EXPECT_TRUE(glide.starts_with("0:224:0:64 3:176:101:0 5:176:100:0 7:176:6:12 460:224:21:65 511:224:42:66 "))
        << glide;
    EXPECT_TRUE(glide.ends_with(" 1990:224:20:100 2041:224:42:101 2048:224:0:64 ")) << glide;

    // Measure 3: the trill line over F5 went first into layer 4; the tremolo on E5 then finds
    // layer 4 taken by this run and takes layer 3 without asking.
    const std::vector<std::string> lineTrill = Layer(1, 3, 4);
    ASSERT_EQ(lineTrill.size(), 14u);
    EXPECT_EQ(lineTrill[0], "at 0, 2048 EDU, created, floating, hidden, playback note: rest");
    EXPECT_EQ(lineTrill[1], "at 2048, 187 EDU, created, playback note: G5[playback]");
    EXPECT_EQ(lineTrill[10], "at 2915, 85 EDU, created, playback note: F5[playback]");
    EXPECT_EQ(lineTrill[13], "at 3072, 1024 EDU, created, floating, hidden, playback note: rest");
    const std::vector<std::string> tremolo = Layer(1, 3, 3);
    ASSERT_EQ(tremolo.size(), 25u);
    // Three slashes are unmeasured: the trill speed (12 a quarter) after the trill's delay (204
    // EDU), the step made even (83 EDU, 22 hits); the hits repeat the notated entry.
    EXPECT_EQ(tremolo[0], "at 0, 287 EDU, created, playback note: E5");
    EXPECT_EQ(tremolo[21], "at 1947, 83 EDU, created, playback note: E5");
    EXPECT_EQ(tremolo[22], "at 2030, 2 EDU, created, floating, hidden, playback note: rest");
    EXPECT_TRUE(View(Cell(1, 3)[0]).has(hostapi::kEntryPlayback));
    EXPECT_TRUE(View(Cell(1, 3)[1]).has(hostapi::kEntryPlayback));
}

TEST_F(PlaybackTest, RemoveLeavesTheRecordsAndCellsAsBeforeTheCreate) {
    StartHost(kPassage);
    Select(1, 1, 1, 3);
    const Snapshot before = TakeSnapshot();
    RunPlayback({kGlissandi, kHairpins, kTrills});
    ASSERT_NE(Document().Records(), before.records);
    // What the generator wrote goes without a question: layer 4 in measures 1 and 3, the
    // tremolo's notes in measure 3's layer 3, the silencing of the notes.
    RunPlayback({kGlissandi, kHairpins, kTrills}, "btExtra1");
    EXPECT_EQ(Messages(), std::vector<std::string>{});
    ExpectAsBefore(before);
}

TEST_F(PlaybackTest, ASecondCreateAsksOnceAndWritesTheSameData) {
    StartHost(kPassage);
    Select(1, 1, 1, 3);
    RunPlayback({kGlissandi, kHairpins, kTrills});
    const host::RecordStore first = Document().Records();
    const std::vector<std::string> firstTremolo = Layer(1, 3, 3);
    Answer("YesBtn");
    RunPlayback({kGlissandi, kHairpins, kTrills});
    EXPECT_EQ(Messages(),
              std::vector<std::string>{
                  "The layer for the invisible playback notes, layer 4, is not empty (it might contain playback notes "
                  "from previously running this plug-in). Click Yes to delete and overwrite existing notes in the "
                  "complete measure(s) in that layer; click No to use layer 3 instead."});
    EXPECT_TRUE(Document().Records() == first);
    EXPECT_EQ(Layer(1, 1, 4), kTrillNotes);
    EXPECT_EQ(Layer(1, 3, 3), firstTremolo);
}

TEST_F(PlaybackTest, PlayHasTheHostRedrawTheMeasuresAndChangesNothing) {
    StartHost(kPassage);
    Select(1, 1, 2, 3);
    const host::RecordStore before = Document().Records();
    RunPlayback({kGlissandi, kHairpins, kTrills}, "btExtra2");
    EXPECT_TRUE(TranscriptHas("host: redraw measures 2-3 of view 0"));
    EXPECT_TRUE(Document().Records() == before);
    EXPECT_EQ(Messages(), std::vector<std::string>{});
}

TEST_F(PlaybackTest, ARegionWithoutEffectsGetsNothingAndIsToldSo) {
    // A volume set before the selection stays in effect; the selection holds rests and a plain
    // note.
    StartHost(R"(
staff "Violin"
measures 3
midi 1 1 0 controller 7 90
notes 1 1 c5/1
notes 1 2 r/1
notes 1 3 c5/2 r/2
layersettings 4 stem down
)");
    Select(1, 1, 2, 3);
    const Snapshot before = TakeSnapshot();
    RunPlayback({kGlissandi, kHairpins, kTrills});
    RunPlayback({kGlissandi, kHairpins, kTrills}, "btExtra1");
    EXPECT_EQ(Messages(), (std::vector<std::string>{
                              "Nothing done (no Smart Shapes or Articulations found for selected Smart Playback "
                              "options, or no free layers)",
                              "No playback effects or notes were found to remove"}));
    ExpectAsBefore(before);
}

struct TrillCase {
    const char* name;
    std::vector<Setting> settings;
    size_t notes;
    std::string first, last;
};
std::ostream& operator<<(std::ostream& out, const TrillCase& c) {
    return out << c.name;
}

class PlaybackTrillTest : public PlaybackTest, public ::testing::WithParamInterface<TrillCase> {};

TEST_P(PlaybackTrillTest, TheStepKeepsTheTrillEndingOnTheMainNote) {
    const TrillCase& c = GetParam();
    StartHost(R"(
staff "Violin"
measures 1
articulation 1 0xD9
notes 1 1 c5/4 r/4 r/2
notearticulation 1 1:1 1
)");
    Select(1, 1, 1, 1);
    // The trill rows show (and take values) once the trill box is ticked.
    std::vector<Setting> settings = {kTrills};
    settings.insert(settings.end(), c.settings.begin(), c.settings.end());
    RunPlayback(settings);
    std::vector<std::string> layer = Layer(1, 1, 4);
    std::erase_if(layer, [](const std::string& line) { return line.ends_with("rest"); });
    ASSERT_EQ(layer.size(), c.notes);
    EXPECT_EQ(layer.front(), c.first);
    EXPECT_EQ(layer.back(), c.last);
}

// With the upper note first the step of 85 EDU stays (ten notes, an even count); without it the
// step drops to 84 (ten, still even) and 83 (eleven), starting and ending on the main note. A
// forced interval of 0 repeats the main note; a negative one puts the other note a semitone below
// and turns the order round.
// clang-format off
INSTANTIATE_TEST_SUITE_P(Playback, PlaybackTrillTest, ::testing::Values(
    TrillCase{"UpperNoteFirst", {}, 10,
              "at 0, 187 EDU, created, playback note: D5[playback]", "at 867, 85 EDU, created, playback note: C5[playback]"},
    TrillCase{"MainNoteFirst", {kNoUpperStart}, 11,
              "at 0, 185 EDU, created, playback note: C5[playback]", "at 932, 83 EDU, created, playback note: C5[playback]"},
    TrillCase{"IntervalZeroRepeats", {{"Force trill interval (semitones):", "0"}}, 10,
              "at 0, 187 EDU, created, playback note: C5[playback]", "at 867, 85 EDU, created, playback note: C5[playback]"},
    // A forced interval counts from the main note from the first auxiliary note on.
    TrillCase{"IntervalOneUpperFirst", {{"Force trill interval (semitones):", "1"}}, 10,
              "at 0, 187 EDU, created, playback note: Db5[playback]", "at 867, 85 EDU, created, playback note: C5[playback]"},
    TrillCase{"IntervalBelow", {{"Force trill interval (semitones):", "-1"}}, 10,
              "at 0, 187 EDU, created, playback note: C5[playback]", "at 867, 85 EDU, created, playback note: B4[playback]"}),
    [](const auto& testCase) { return std::string(testCase.param.name); });
// clang-format on

struct TiedTrillCase {
    const char* name;
    std::vector<Setting> settings;
    std::set<std::string> notes;  ///< the notes both trills alternate
};
std::ostream& operator<<(std::ostream& out, const TiedTrillCase& c) {
    return out << c.name;
}

class PlaybackTiedTrillTest : public PlaybackTest, public ::testing::WithParamInterface<TiedTrillCase> {};

TEST_P(PlaybackTiedTrillTest, TheTiedPartAlternatesTheNotesOfTheTrillItContinues) {
    const TiedTrillCase& c = GetParam();
    StartHost(R"(
staff "Violin"
measures 1
articulation 1 0xD9
notes 1 1 e5~/2 e5/2
notearticulation 1 1:1 1
notearticulation 1 1:2 1
)");
    Select(1, 1, 1, 1);
    std::vector<Setting> settings = {kTrills};
    settings.insert(settings.end(), c.settings.begin(), c.settings.end());
    RunPlayback(settings);
    std::set<std::string> first;
    std::set<std::string> tied;
    bool tiedStartsWithRest = false;
    static const std::regex kNote("^at ([0-9]+), [0-9]+ EDU, .*: (.*)$");
    for (const std::string& line : Layer(1, 1, 4)) {
        std::smatch match;
        ASSERT_TRUE(std::regex_match(line, match, kNote)) << line;
        const int32_t position = std::stoi(match[1]);
        if (position == 2048) {
            tiedStartsWithRest = match[2] == "rest";
        }
        if (match[2] != "rest") {
            (position < 2048 ? first : tied).insert(match[2]);
        }
    }
    EXPECT_TRUE(tiedStartsWithRest);
    EXPECT_EQ(first, c.notes);
    EXPECT_EQ(tied, c.notes);
}

// Upper or main note first, with the default rows and with a forced interval above or below:
// the rest that starts the tied part is no pitch the main note steps from.
// clang-format off
INSTANTIATE_TEST_SUITE_P(Playback, PlaybackTiedTrillTest, ::testing::Values(
    TiedTrillCase{"UpperNoteFirst", {}, {"E5[playback]", "F5[playback]"}},
    TiedTrillCase{"MainNoteFirst", {kNoUpperStart}, {"E5[playback]", "F5[playback]"}},
    TiedTrillCase{"IntervalTwoUpperFirst", {{"Force trill interval (semitones):", "2"}},
                  {"E5[playback]", "F#5[playback]"}},
    TiedTrillCase{"IntervalTwoMainFirst", {kNoUpperStart, {"Force trill interval (semitones):", "2"}},
                  {"E5[playback]", "F#5[playback]"}},
    TiedTrillCase{"IntervalBelow", {{"Force trill interval (semitones):", "-2"}}, {"D5[playback]", "E5[playback]"}}),
    [](const auto& testCase) { return std::string(testCase.param.name); });
// clang-format on

TEST_F(PlaybackTest, GlissandoLinesFollowTheirHeightsAndTheWheelsRange) {
    // Measure 1: a line at positions whose ends lie level (heights 0 and 2) across two entries
    // plays nothing. Measure 2: C5 to D6 is 14 semitones, more than the range of 12: the bend
    // stops at 8191 above the centre. The line from measure 2's last quarter to measure 3 goes
    // on there with times from 0, and both measures end sorted.
    StartHost(R"(
staff "Violin"
measures 3
notes 1 1 c5/2 g5/2
notes 1 2 c5/2 d6/2
notes 1 3 c5/2 r/2
shape 26 1 1@0 1@2048 offset 0 endoffset 2
shape 11 1 2:1 2:2 offset 0 endoffset 40
)");
    Select(1, 1, 1, 2);
    RunPlayback({kGlissandi, {"Set bender range?", "unchecked"}});
    EXPECT_EQ(Events(1), "");
    const std::string glide = Events(2);
    EXPECT_TRUE(glide.starts_with("0:224:0:64 460:224:")) << glide;
    EXPECT_TRUE(glide.ends_with(" 2041:224:127:127 2048:224:0:64 ")) << glide;
    EXPECT_EQ(Messages(), std::vector<std::string>{});
}

struct FingeredCase {
    const char* name;
    const char* perOctave;
    std::vector<std::string> notes;
};
std::ostream& operator<<(std::ostream& out, const FingeredCase& c) {
    return out << c.name;
}

class PlaybackFingeredTest : public PlaybackTest, public ::testing::WithParamInterface<FingeredCase> {};

TEST_P(PlaybackFingeredTest, AFingeredGlissandoStepsThroughTheScale) {
    StartHost(R"(
staff "Violin"
measures 1
notes 1 1 c5/2 c6/2
shape 25 1 1:1 1:2 offset 0 endoffset 20
)");
    Select(1, 1, 1, 1);
    RunPlayback({kGlissandi,
                 {"Fingered glissandi?", "checked"},
                 {"Notes per octave (6=whole tone, 7=diatone, 12=chromatic):", GetParam().perOctave}});
    std::vector<std::string> notes;
    for (const std::string& line : Layer(1, 1, 4)) {
        if (!line.ends_with("rest")) {
            notes.push_back(line.substr(line.rfind(' ') + 1));
        }
    }
    EXPECT_EQ(notes, GetParam().notes);
    EXPECT_TRUE(View(Cell(1, 1)[0]).has(hostapi::kEntryPlayback));
    EXPECT_EQ(Events(1), "");
}

// An octave: twelve notes chromatically, seven diatonically (12 x 7 / 12), the first holding
// the delay; each note lies above the one before it.
// clang-format off
INSTANTIATE_TEST_SUITE_P(Playback, PlaybackFingeredTest, ::testing::Values(
    FingeredCase{"Chromatic", "12", {"C5[playback]", "C#5[playback]", "D5[playback]", "D#5[playback]", "E5[playback]",
                                     "F5[playback]", "F#5[playback]", "G5[playback]", "G#5[playback]", "A5[playback]",
                                     "A#5[playback]", "B5[playback]"}},
    FingeredCase{"Diatonic", "7", {"C5[playback]", "D5[playback]", "E5[playback]", "F5[playback]", "G5[playback]",
                                   "A5[playback]", "B5[playback]"}}),
    [](const auto& testCase) { return std::string(testCase.param.name); });
// clang-format on

TEST_F(PlaybackTest, ManyPitchChangesAreDoneOnlyWhenTheUserIsSure) {
    const char* const score = R"(
staff "Violin"
measures 1
notes 1 1 c5/2 g5/2
shape 25 1 1:1 1:2 offset 0 endoffset 20
)";
    const std::string question =
        "The number of changes was set to a high value (>30). This will create many MIDI events which can have ill "
        "effects on playback. Are you sure?";
    StartHost(score);
    Select(1, 1, 1, 1);
    Answer("NoBtn");
    RunPlayback({kGlissandi, {"Pitch changes per quarter note:", "40"}});
    // Declined: the run stops; nothing is written, and "Nothing done" does not follow.
    EXPECT_EQ(Messages(), std::vector<std::string>{question});
    EXPECT_EQ(Events(1), "");
    Answer("YesBtn");
    RunPlayback({kGlissandi, {"Pitch changes per quarter note:", "40"}});
    // Steps of 25 EDU after the delay of 409: 65 steps.
    const std::string glide = Events(1);
    EXPECT_TRUE(glide.starts_with("0:224:0:64 3:176:101:0 5:176:100:0 7:176:6:12 434:224:")) << glide;
    EXPECT_EQ(std::count(glide.begin(), glide.end(), ' '), 4 + 65 + 1);
}

TEST_F(PlaybackTest, AGlideOverTheBarlineGoesOnInTheNextMeasureFromZero) {
    StartHost(R"(
staff "Violin"
measures 2
notes 1 1 r/2 r/4 c5/4
notes 1 2 e5/4 r/4 r/2
shape 25 1 1:3 2:1 offset 0 endoffset 20
)");
    Select(1, 1, 1, 2);
    RunPlayback(
        {kGlissandi, {"Start after what percentage of duration:", "0"}, {"Pitch changes per quarter note:", "4"}});
    // Four semitones over a quarter: steps of 256 EDU, the bend 8192 + 2730 x a / 4 (a = 1-3);
    // the fourth step falls on the barline, the end, where the wheel goes back to the centre.
    EXPECT_EQ(Events(1),
              "3072:224:0:64 3075:176:101:0 3077:176:100:0 3079:176:6:12 3328:224:42:69 "
              "3584:224:85:74 3840:224:127:79 ");
    EXPECT_EQ(Events(2), "0:224:0:64 ");
}

TEST_F(PlaybackTest, AHairpinRampsFromTheVolumeInEffectAndClampsAt127) {
    // A volume of 100 is in effect; the crescendo doubles it, clamped to 127, over the half note,
    // and the volume is set back to 64 at the next entry with a dynamic (measure 2's first).
    StartHost(R"(
staff "Violin"
measures 2
expression 1 "p"
midi 1 1 0 controller 7 100
notes 1 1 c5/2 r/2
notes 1 2 c5/1
noteexpression 1 2:1 1
shape 3 1 1@0 1@2048
)");
    Select(1, 1, 1, 1);
    RunPlayback(
        {kHairpins, {"Volume changes per quarter note:", "1"}, {"Set to 64 at the beginning of the piece?", "0"}});
    EXPECT_EQ(Events(1), "0:176:7:100 1024:176:7:113 ");
    EXPECT_EQ(Events(2), "0:176:7:64 ");
    EXPECT_TRUE(View(Cell(1, 1)[0]).has(hostapi::kEntryNote));
}

TEST_F(PlaybackTest, RemoveWithGlissandiAndTrillsOffTakesOnlyTheVolume) {
    StartHost(R"(
staff "Violin"
measures 1
midi 1 1 0 controller 7 80
midi 1 1 512 pitchwheel 9000
midi 1 1 1024 controller 7 90
notes 1 1 c5/1
notes 1 1 layer 4 c5/1h
noteplayback 1 1:1 1 silenced
)");
    Select(1, 1, 1, 1);
    RunPlayback({{"Make hairpins play back as volume changes?", "checked"}}, "btExtra1");
    EXPECT_EQ(Events(1), "512:224:40:70 ");
    EXPECT_EQ(Layer(1, 1, 4).size(), 1u);
    EXPECT_EQ(Performance(View(Cell(1, 1)[0]).number()), (std::vector<int16_t>{1, 0, -7, -126, -127}));
    EXPECT_EQ(Messages(), std::vector<std::string>{});
    // Nothing left to remove: the user is told.
    RunPlayback({{"Make hairpins play back as volume changes?", "checked"}}, "btExtra1");
    EXPECT_EQ(Messages(), std::vector<std::string>{"No playback effects or notes were found to remove"});
}

TEST_F(PlaybackTest, NoFreeLayerStopsTheRunAndSaysSo) {
    // Layers 2 to 4 hold the player's own notes over the whole measure.
    StartHost(R"(
staff "Violin"
measures 2
articulation 1 0xD9
notes 1 1 c5/1
notes 1 1 layer 2 e4/1
notes 1 1 layer 3 g4/1
notes 1 1 layer 4 b4/1
notes 1 2 c5/1
notearticulation 1 1:1 1
notearticulation 1 2:1 1
)");
    Select(1, 1, 1, 2);
    const host::RecordStore before = Document().Records();
    Answer("NoBtn");
    RunPlayback({kTrills});
    EXPECT_EQ(Messages(),
              (std::vector<std::string>{
                  "The layer for the invisible playback notes, layer 4, is not empty (it might contain playback notes "
                  "from previously running this plug-in). Click Yes to delete and overwrite existing notes in the "
                  "complete measure(s) in that layer; click No to cancel the operation.",
                  "No more empty layers. Operation canceled."}));
    // The run stopped at measure 1: measure 2's trill was not written either.
    EXPECT_TRUE(Document().Records() == before);
    EXPECT_EQ(Layer(1, 2, 4), std::vector<std::string>{});
}

TEST_F(PlaybackTest, ACancelledLayerQuestionStopsSilently) {
    StartHost(R"(
staff "Violin"
measures 1
articulation 1 0xD9
notes 1 1 c5/1
notes 1 1 layer 2 e4/1
notes 1 1 layer 3 g4/1
notes 1 1 layer 4 b4/1
notearticulation 1 1:1 1
)");
    Select(1, 1, 1, 1);
    Answer("CancelBtn");
    RunPlayback({kTrills});
    EXPECT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Layer(1, 1, 4), std::vector<std::string>{"at 0, 4096 EDU, beam start: B4"});
}

TEST_F(PlaybackTest, ATrillLineCarriesItsNotesTiedOverTheBarline) {
    // A trill line from beat 4 of measure 1 to the rest on beat 2 of measure 2 (2048 EDU), three
    // notes a quarter without a delay and the main note first: the step drops to 292 EDU for an
    // odd count of 7. The fourth note is cut at the barline and goes on, tied, in layer 4 of
    // measure 2, whose old hidden rest the user agrees to overwrite.
    StartHost(R"(
staff "Violin"
measures 2
notes 1 1 r/2 r/4 c5~/4
notes 1 2 c5/4 r/4 r/2
notes 1 2 layer 4 r/1h
shape 14 1 1@3072 2@1024
)");
    Select(1, 1, 1, 2);
    Answer("YesBtn");
    RunPlayback({kTrills,
                 {"Trill/tremolo speed (per quarter note):", "3"},
                 {"Start trill after what percentage of duration:", "0"},
                 kNoUpperStart});
    EXPECT_EQ(Layer(1, 1, 4), (std::vector<std::string>{
                                  "at 0, 3072 EDU, created, floating, hidden, playback note: rest",
                                  "at 3072, 292 EDU, created, playback note: C5[playback]",
                                  "at 3364, 292 EDU, created, playback note: D5[playback]",
                                  "at 3656, 292 EDU, created, playback note: C5[playback]",
                                  "at 3948, 148 EDU, created, playback note: D5[playback]~",
                              }));
    EXPECT_EQ(Layer(1, 2, 4), (std::vector<std::string>{
                                  "at 0, 144 EDU, created, playback note: ~D5[playback]",
                                  "at 144, 292 EDU, created, playback note: C5[playback]",
                                  "at 436, 292 EDU, created, playback note: D5[playback]",
                                  "at 728, 292 EDU, created, playback note: C5[playback]",
                                  "at 1020, 4 EDU, created, floating, hidden, playback note: rest",
                                  "at 1024, 3072 EDU, created, floating, hidden, playback note: rest",
                              }));
    EXPECT_EQ(Messages(),
              std::vector<std::string>{
                  "The layer for the invisible playback notes, layer 4, is not empty (it might contain playback notes "
                  "from previously running this plug-in). Click Yes to delete and overwrite existing notes in the "
                  "complete measure(s) in that layer; click No to cancel the operation."});
}

// No at the barline's question: the effect's notes written so far go again, its note still
// sounds, and the user's music in measure 2 stays.
TEST_F(PlaybackTest, NoAtTheBarlineTakesTheEffectBack) {
    StartHost(R"(
staff "Violin"
measures 2
notes 1 1 r/2 r/4 c5~/4
notes 1 2 c5/4 r/4 r/2
notes 1 2 layer 4 g4/1
shape 14 1 1@3072 2@1024
)");
    Select(1, 1, 1, 2);
    const Snapshot before = TakeSnapshot();
    Answer("NoBtn");
    RunPlayback({kTrills, {"Start trill after what percentage of duration:", "0"}});
    EXPECT_EQ(Messages().size(), 1u);
    ExpectAsBefore(before);
}

// Playback notes outside the preferred layer (the user's notes are in layer 4): remove takes
// them and the silencing back, asks nothing and leaves the user's notes.
TEST_F(PlaybackTest, RemoveTakesOnlyWhatTheGeneratorWrote) {
    StartHost(R"(
staff "Violin"
measures 2
articulation 1 0xD9
notes 1 1 c5/1
notes 1 1 layer 4 b4/1
notes 1 2 c5/1
notes 1 2 layer 4 b4/1
notes 1 2 layer 3 e4/1
notearticulation 1 1:1 1
notearticulation 1 2:1 1
)");
    Select(1, 1, 1, 2);
    const Snapshot before = TakeSnapshot();
    // No keeps layer 4: measure 1 takes layer 3, measure 2 layer 2.
    Answer("NoBtn");
    RunPlayback({kTrills});
    EXPECT_EQ(Layer(1, 1, 3).front(), "at 0, 492 EDU, created, playback note: D5[playback]");
    EXPECT_EQ(Layer(1, 2, 2).front(), "at 0, 492 EDU, created, playback note: D5[playback]");
    RunPlayback({kTrills}, "btExtra1");
    EXPECT_EQ(Messages().size(), 1u);  // the layer question only
    ExpectAsBefore(before);
}

// A Yes to the layer question empties the preferred layer of the cell it names only: measure 2
// has a free layer 3, which takes its trill, and keeps the user's layer 4.
TEST_F(PlaybackTest, AYesToTheLayerQuestionAppliesToItsCell) {
    StartHost(R"(
staff "Violin"
measures 2
articulation 1 0xD9
notes 1 1 c5/1
notes 1 1 layer 2 e4/1
notes 1 1 layer 3 g4/1
notes 1 1 layer 4 b4/1
notes 1 2 c5/1
notes 1 2 layer 4 b4/1
notearticulation 1 1:1 1
notearticulation 1 2:1 1
)");
    Select(1, 1, 1, 2);
    Answer("YesBtn");
    RunPlayback({kTrills});
    EXPECT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Layer(1, 1, 4).front(), "at 0, 492 EDU, created, playback note: D5[playback]");
    EXPECT_EQ(Layer(1, 2, 4), std::vector<std::string>{"at 0, 4096 EDU, beam start: B4"});
    EXPECT_EQ(Layer(1, 2, 3).front(), "at 0, 492 EDU, created, playback note: D5[playback]");
}

// A glissando that ends on a rest has no end note: the line's heights give the target (28 units
// up: four semitones), not the rest's empty note slot.
TEST_F(PlaybackTest, AGlissandoEndingOnARestFollowsItsLine) {
    StartHost(R"(
staff "Violin"
measures 1
notes 1 1 c5/2 r/2
shape 11 1 1:1 1:2 offset 0 endoffset 28
)");
    Select(1, 1, 1, 1);
    RunPlayback({kGlissandi,
                 {"Set bender range?", "unchecked"},
                 {"Pitch changes per quarter note:", "1"},
                 {"Start after what percentage of duration:", "0"}});
    EXPECT_EQ(Events(1), "0:224:0:64 1024:224:85:74 2048:224:0:64 ");
}

TEST_F(PlaybackTest, From2002ThePlaybackNotesAreHiddenAndTheLayersMarked) {
    StartHost(R"(
staff "Violin"
measures 1
articulation 1 0xBE
notes 1 1 c5/4 r/4 r/2
notearticulation 1 1:1 1
layersettings 1 first 1
)",
              0x07000000);
    Select(1, 1, 1, 1);
    RunPlayback({kTrills, {"Three slashes = unmeasured tremolo?", "unchecked"}});
    // Three slashes on a quarter: 32nds, a hit every 128 EDU, the notes hidden and marked.
    const std::vector<std::string> layer = Layer(1, 1, 4);
    ASSERT_EQ(layer.size(), 9u);
    EXPECT_EQ(layer[0], "at 0, 128 EDU, created, hidden, playback note: C5[playback]");
    for (int16_t n = 0; n < 4; ++n) {
        const host::Bytes* settings = Document().Records().Find(host::RecordKey::Global(hostapi::kTagLayerSettings, n));
        ASSERT_NE(settings, nullptr) << n;
        EXPECT_EQ(hostapi::ReadU16(settings->data(), 2), 0x4000) << n;
        EXPECT_EQ(hostapi::ReadU16(settings->data(), 0), n == 0 ? 1 : 0) << n;
    }
}

TEST_F(PlaybackTest, TheTremoloCommandWritesItsTremoloAndThenItsPlaybackNotes) {
    StartHost("staff \"Violin\"\nmeasures 1\nnotes 1 1 c5/4 e5/4 r/2\n");
    Select(1, 1, 1, 1);
    RunTool(kTremolo, {{"Create playback notes?", "checked"}});
    const auto a = View(Cell(1, 1)[0]);
    const auto b = View(Cell(1, 1)[1]);
    EXPECT_TRUE(a.has(hostapi::kEntryTremolo | hostapi::kEntryPlayback));
    EXPECT_TRUE(b.has(hostapi::kEntryPlayback));
    EXPECT_EQ(Performance(a.number()), (std::vector<int16_t>{a.note(0).noteId(), 0, -7, -127, -127}));
    EXPECT_EQ(Performance(b.number()), (std::vector<int16_t>{b.note(0).noteId(), 0, -7, -127, -127}));
    // Three beams make the tremolo unmeasured: twelve hits a quarter over both quarters, the
    // first note and the second in turn.
    const std::vector<std::string> layer = Layer(1, 1, 4);
    ASSERT_EQ(layer.size(), 26u);
    EXPECT_EQ(layer[0], "at 0, 85 EDU, created, playback note: C5");
    EXPECT_EQ(layer[1], "at 85, 85 EDU, created, playback note: E5");
    EXPECT_EQ(layer[23], "at 1955, 85 EDU, created, playback note: E5");
}

TEST_F(PlaybackTest, ATremoloWithoutAFreeLayerIsWrittenWithoutPlaybackNotes) {
    StartHost(R"(
staff "Violin"
measures 1
notes 1 1 c5/4 e5/4 g5/4 b5/4
notes 1 1 layer 2 c4/1
notes 1 1 layer 3 c4/1
notes 1 1 layer 4 c4/1
)");
    Select(1, 1, 1, 1);
    Answer("NoBtn");
    RunTool(kTremolo, {{"Create playback notes?", "checked"}});
    const auto& cell = Cell(1, 1);
    // Both pairs are tremolos; neither note is silenced, the user is told once.
    EXPECT_TRUE(View(cell[0]).has(hostapi::kEntryTremolo));
    EXPECT_TRUE(View(cell[2]).has(hostapi::kEntryTremolo));
    for (const auto& entry : cell) {
        EXPECT_FALSE(View(entry).has(hostapi::kEntryPlayback));
        EXPECT_EQ(Performance(View(entry).number()), std::vector<int16_t>{});
    }
    const std::vector<std::string> messages = Messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[1],
              "The playback notes of the tremolo in measure 1 could not be written; the tremolos are written without "
              "playback notes.");
}

TEST(PlaybackOptionsTest, RowsAreKeptInTheDialogsRanges) {
    auto context = orvex::InitToolContext();
    context->Options[orvex::PLAYBACK_GLIDE_DELAY].value = 150;  // percent: at most 99
    context->Options[orvex::PLAYBACK_BENDER_RANGE].value = 30;  // bender range: at most 12
    context->Options[orvex::PLAYBACK_TRILL_SPEED].value = 0;    // trill speed: at least 1
    context->Options[orvex::PLAYBACK_TRILL_INTERVAL].text = " -3 ";
    context->MoreOptions[orvex::PLAYBACK_MORE_HIDE_FROM_2002].value = 1;
    context->MoreOptions[orvex::PLAYBACK_MORE_PREFERRED_LAYER].value = 9;  // no layer 9: layer 4, stored back
    const orvex::PlaybackOptions options = orvex::PlaybackOptions::Read(*context);
    EXPECT_EQ(options.glideDelayPercent, 99);
    EXPECT_EQ(options.benderRange, 12);
    EXPECT_EQ(options.trillSpeed, 1);
    EXPECT_EQ(options.preferredLayer, 4);
    EXPECT_EQ(context->MoreOptions[orvex::PLAYBACK_MORE_PREFERRED_LAYER].value, 4);
    EXPECT_EQ(options.ForcedInterval(), -3);
    context->Options[orvex::PLAYBACK_TRILL_INTERVAL].text = "two";
    EXPECT_EQ(orvex::PlaybackOptions::Read(*context).ForcedInterval(), std::nullopt);
    context->Options[orvex::PLAYBACK_TRILL_INTERVAL].text = "99";
    EXPECT_EQ(orvex::PlaybackOptions::Read(*context).ForcedInterval(), 24);
}

ORDINARY_MUSIC_CASES(Playback, "tests/tools/ordinary.cases", "playback");
ORDINARY_MUSIC_CASES(MorePlayback, "tests/tools/ordinary-notes.cases", "playback");

}  // namespace
