// Enharmonic respelling of a note through the host's pitch service, and the search for the
// spelling with the fewest accidentals.
#include "tools/notes/respell_enharmonic.h"
#include "core/host/host_imports.h"
#include "tests/tools/notes_fixture.h"
#include "tools/notes/engine/entry_engine.h"

namespace {

constexpr int16_t kCMajor = 0;
constexpr int16_t kDMajor = 2;     // two sharps: the tonic is step 1
constexpr int16_t kFMajor = 0xFF;  // one flat (signed low byte -1): the tonic is step 3

/// Displacement from the key's tonic and alteration against the key.
struct Spelling {
    int16_t level;
    int16_t alteration;
};

struct RespellCase {
    const char* name;
    int16_t key;
    Spelling from;
    Spelling to;
    int32_t pitch;  ///< both spellings sound this pitch
};

// clang-format off
const RespellCase kCases[] = {
    {"CSharpToDFlat",   kCMajor, {0, 1},  {1, -1}, 61},
    {"DFlatToCSharp",   kCMajor, {1, -1}, {0, 1},  61},
    {"ESharpToF",       kCMajor, {2, 1},  {3, 0},  65},
    {"BSharpToC",       kCMajor, {6, 1},  {7, 0},  72},
    {"FFlatToE",        kCMajor, {3, -1}, {2, 0},  64},
    {"CFlatToB",        kCMajor, {0, -1}, {-1, 0}, 59},
    {"BFlatToASharp",   kCMajor, {6, -1}, {5, 1},  70},
    {"CDoubleSharpToD", kCMajor, {0, 2},  {1, 0},  62},
    {"CToBSharp",       kCMajor, {0, 0},  {-1, 1}, 60},
    {"FToESharp",       kCMajor, {3, 0},  {2, 1},  65},
    {"EToFFlat",        kCMajor, {2, 0},  {3, -1}, 64},
    {"BToCFlat",        kCMajor, {6, 0},  {7, -1}, 71},
    {"DStays",          kCMajor, {1, 0},  {1, 0},  62},
    {"GStays",          kCMajor, {4, 0},  {4, 0},  67},
    {"AStays",          kCMajor, {5, 0},  {5, 0},  69},
    // Notes spelled by the key signature move like the sharps and flats they sound.
    {"FSharpInDMajor",  kDMajor, {2, 0},  {3, -1}, 66},
    {"FInDMajor",       kDMajor, {2, -1}, {1, 1},  65},
    {"BFlatInFMajor",   kFMajor, {3, 0},  {2, 1},  70},
    {"BInFMajor",       kFMajor, {3, 1},  {4, -1}, 71},
};
// clang-format on

class RespellTest : public testsupport::NotesTest, public ::testing::WithParamInterface<RespellCase> {
protected:
    void SetUp() override {
        NotesTest::SetUp();
        StartHost("staff \"Harp\"\nmeasures 1\n");
    }
    static hostapi::NoteRecord Note(Spelling spelling) {
        hostapi::NoteRecord note;
        note.view().setHarmonicLevel(spelling.level);
        note.view().setAlteration(spelling.alteration);
        note.view().setNoteId(3);
        note.view().setFlags(hostapi::kNoteAccidentalShown);
        return note;
    }
    static int32_t Pitch(const hostapi::NoteRecord& note, int16_t key) {
        return orvex::Imports().NotePitch(note.data(), key, hostapi::kInterfaceVersion);
    }
};

TEST_P(RespellTest, OtherSpellingOfTheSamePitch) {
    const RespellCase& c = GetParam();
    const hostapi::NoteRecord note = Note(c.from);
    ASSERT_EQ(Pitch(note, c.key), c.pitch);
    hostapi::NoteRecord result;
    orvex::RespellEnharmonic(result.view(), note, c.key);
    EXPECT_EQ(result.view().harmonicLevel(), c.to.level);
    EXPECT_EQ(result.view().alteration(), c.to.alteration);
    EXPECT_EQ(Pitch(result, c.key), c.pitch);
    EXPECT_EQ(result.view().noteId(), 3);  // the other bytes come along
    EXPECT_EQ(result.view().flags(), hostapi::kNoteAccidentalShown);
}

INSTANTIATE_TEST_SUITE_P(Notes, RespellTest, ::testing::ValuesIn(kCases),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

TEST_F(RespellTest, FewestAccidentalsRespellsWhileTheAlterationShrinks) {
    // clang-format off
    const std::pair<Spelling, Spelling> cases[] = {
        {{0, 2}, {1, 0}},    // C double sharp: D
        {{6, 1}, {7, 0}},    // B sharp: C
        {{1, -1}, {1, -1}},  // D flat: C sharp has as many
        {{2, 0}, {2, 0}},    // E
    };
    // clang-format on
    for (const auto& [from, to] : cases) {
        SCOPED_TRACE(std::to_string(from.level) + "/" + std::to_string(from.alteration));
        hostapi::NoteRecord note = Note(from);
        orvex::RespellToFewestAccidentals(note.view(), kCMajor);
        EXPECT_EQ(note.view().harmonicLevel(), to.level);
        EXPECT_EQ(note.view().alteration(), to.alteration);
    }
}

}  // namespace
ORDINARY_MUSIC_CASES(Respell, "tests/tools/ordinary.cases", "respell");
