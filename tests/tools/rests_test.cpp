// "Vx &Rests..." taking rests into the notes before them, and "Vx &Join rests of multiple
// layers", end to end through the options dialog and the entry-processing engine.
#include <map>
#include <ostream>

#include "core/tool_items.h"
#include "tests/support/case_names.h"
#include "tests/tools/notes_fixture.h"

namespace {

using testsupport::NotesTest;

constexpr int32_t kRests = orvex::ToolCode(orvex::ToolItem::Rests);
constexpr int32_t kJoinRests = orvex::ToolCode(orvex::ToolItem::JoinRests);

/// A cell as text, one word an entry: a rest "r/DURATION", a note entry its notes' harmonic
/// levels "7+9/DURATION", with "~" before when its first note is tied to and after when it ties.
/// The entries must follow one another without gaps, written as they last.
std::string Describe(const host::CellEntries& cell) {
    std::string text;
    hostapi::Edu end = 0;
    for (const host::EntryBytes& bytes : cell) {
        const hostapi::ConstEntryView entry(bytes.data());
        EXPECT_EQ(entry.position(), end);
        EXPECT_EQ(entry.duration(), entry.actualDuration());
        end = entry.end();
        const uint32_t ties = entry.notesHeld() > 0 ? entry.note(0).flags() : 0;
        text += text.empty() ? "" : " ";
        text += (ties & hostapi::kNoteTieEnd) != 0 ? "~" : "";
        for (int32_t n = 0; n < entry.notesHeld(); ++n) {
            text += (n > 0 ? "+" : "") + std::to_string(entry.note(n).harmonicLevel());
        }
        text += (entry.isNote() ? "/" : "r/") + std::to_string(entry.actualDuration());
        text += (ties & hostapi::kNoteTieStart) != 0 ? "~" : "";
    }
    return text;
}

struct AbsorbCase {
    const char* time;
    const char* notes;
    std::vector<testsupport::Setting> settings;
    const char* expected;
};
std::ostream& operator<<(std::ostream& out, const AbsorbCase& c) {
    return out << c.time << ": " << c.notes;
}

class RestsAbsorbTest : public NotesTest, public ::testing::WithParamInterface<AbsorbCase> {};

TEST_P(RestsAbsorbTest, NotesTakeInTheRestsThatFitTheBeats) {
    const AbsorbCase& c = GetParam();
    StartHost(std::string("staff \"Oboe\"\nmeasures 1 time ") + c.time + "\nnotes 1 1 " + c.notes + "\n");
    Select(1, 1, 1, 1);
    RunTool(kRests, c.settings);
    EXPECT_EQ(Describe(Cell(1, 1)), c.expected);
}

const std::vector<testsupport::Setting> kMinimize = {{"Row3", "1"}};

// C5 is level 7 (a half from beat 2, an eighth taking an eighth rest: the ordinary music). In
// 3/4 an offbeat eighth may grow into a quarter across beat 2. A rest the note may not take in
// becomes its tied copy with "Allow ties"; the host joins the rests left with "Simplify rhythm".
// clang-format off
INSTANTIATE_TEST_SUITE_P(Rests, RestsAbsorbTest, ::testing::Values(
    AbsorbCase{"4/4", "c5/16 r/16 r/8 r/4 r/2", kMinimize, "7/1024 r/1024 r/2048"},
    AbsorbCase{"3/4", "r/8 c5/8 r/8 r/8 r/4", kMinimize, "r/512 7/1024 r/512 r/1024"},
    AbsorbCase{"4/4", "e5+g5/4 r/4 d5/2", {{"Row3", "1"}, {"Row4", "1"}}, "9+11/1024~ ~9+11/1024 8/2048"},
    AbsorbCase{"4/4", "c5/8 r/8 r/4 r/4 r/4", {{"Row3", "1"}, {"Row5", "1"}}, "7/1024 r/1024 r/2048"},
    AbsorbCase{"1/1", "e5/2 r/2", kMinimize, "9/4096"},
    AbsorbCase{"4/4", "e5/2 r/2", kMinimize, "9/2048 r/2048"},
    AbsorbCase{"2/2", "e5/2 r/2", kMinimize, "9/2048 r/2048"},
    AbsorbCase{"2/1", "e5/2 r/2 r/1", kMinimize, "9/4096 r/4096"}),
    testsupport::NameBy(&AbsorbCase::time, &AbsorbCase::notes));
// clang-format on

/// Four layers of one measure: layer 1 is the base, its rests at 0, 1024, 2048 and 3072. Every
/// rest is placed on the staff position of A4 (harmonic level 5) and floating.
constexpr const char* kLayersScore = R"(
staff "Horn"
staff "Tuba"
measures 1 time 4/4
notes 1 1 r@a4/4f r@a4/4f r@a4/4f r@a4/4f
notes 1 1 layer 2 r@a4/4f c4/4 r@a4/8f r@a4/8f r@a4/4f
notes 1 1 layer 3 r@a4/4f r@a4/4f r@a4/2f
notes 2 1 layer 2 r@a4/2f r@a4/2f
notes 2 1 layer 4 e3/4 r@a4/4f r@a4/2f
)";

TEST_F(NotesTest, JoinRestsJoinsRestsThatSoundTogether) {
    StartHost(kLayersScore);
    m_host->SetLayerShown(2, false);  // every layer is joined, shown or not
    Select(1, 2, 1, 1);
    RunTool(kJoinRests);
    // By entry: j a joined rest, p a rest still placed, n a note. Staff 1: the base rests at 0
    // and 3072 match rests of layers 2 and 3; at 1024 layer 3 matches though layer 2 has a note;
    // at 2048 the other layers' rests are longer or shorter. Staff 2: layer 4 has a note with the
    // base rest at 0 and a matching rest at 2048.
    const std::map<std::pair<int16_t, int16_t>, std::string> expected = {
        {{1, 1}, "jjpj"}, {{1, 2}, "jnppj"}, {{1, 3}, "jjp"}, {{2, 2}, "pj"}, {{2, 4}, "npj"}};
    for (const auto& [cell, kinds] : expected) {
        SCOPED_TRACE("staff " + std::to_string(cell.first) + ", layer " + std::to_string(cell.second));
        std::string found;
        for (const host::EntryBytes& bytes : Cell(cell.first, 1, cell.second)) {
            const auto entry = View(bytes);
            const bool joined =
                !entry.has(hostapi::kEntryFloatingRest) && entry.noteCount() == 0 && entry.note(0).harmonicLevel() == 0;
            const bool placed =
                entry.has(hostapi::kEntryFloatingRest) && entry.noteCount() == 1 && entry.note(0).harmonicLevel() == 5;
            found += entry.isNote() ? 'n' : joined ? 'j' : placed ? 'p' : '?';
        }
        EXPECT_EQ(found, kinds);
    }
}

}  // namespace
ORDINARY_MUSIC_CASES(Rests, "tests/tools/ordinary.cases", "rests");
ORDINARY_MUSIC_CASES(MoreRests, "tests/tools/ordinary-notes.cases", "rests");
