// "Harp Pedaling...": the pedal diagram ('otDY' with its text expression), the pedal-change marks
// ('edED') and the respelled notes it leaves, through the host's menu and the options dialog.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "core/tool_items.h"
#include "platform/hostapi/bytes.h"
#include "tests/tools/notes_fixture.h"

namespace {

using testsupport::Setting;

constexpr int32_t kHarp = orvex::ToolCode(orvex::ToolItem::HarpPedaling);
constexpr const char* kSevenPedals = "notes 1 1 c4/8 d4/8 e4/8 f4/8 g4/8 a4/8 b4/8 r/8\n";

/// A placed text expression: its text and font name, the words of its placement record.
struct Placed {
    std::string text;
    std::vector<int16_t> words;
    bool operator==(const Placed&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Placed& p) {
    out << "\"" << p.text << "\"";
    for (const int16_t w : p.words) {
        out << " " << w;
    }
    return out;
}

class HarpTest : public testsupport::NotesTest {
protected:
    void Start(const std::string& music) { StartHost("font 0 \"Times\"\nstaff \"Harp\"\nmeasures 2\n" + music); }
    std::string ExpressionText(int16_t number) {
        const host::Bytes* record =
            Document().Records().Find(host::RecordKey::Other(hostapi::MakeTag("SODT"), number, 0));
        return record == nullptr ? "?" : std::string(reinterpret_cast<const char*>(record->data() + 12));
    }
    /// The measure expressions of a measure: text, then words 1 (vertical at byte 4) and 5.
    std::vector<Placed> Diagrams(int16_t measure) {
        std::vector<Placed> placed;
        for (int16_t inci = 0;; ++inci) {
            const host::Bytes* r =
                Document().Records().Find(host::RecordKey::Other(hostapi::MakeTag("otDY"), measure, inci));
            if (r == nullptr) {
                return placed;
            }
            placed.push_back({ExpressionText(hostapi::ReadI16(r->data(), 0)),
                              {hostapi::ReadI16(r->data(), 4), hostapi::ReadI16(r->data(), 10)}});
        }
    }
    /// The note expressions of the first entry of a cell: text, then words 1, 2 and 4.
    std::vector<Placed> Changes(int16_t measure) {
        const hostapi::EntryNumber entry = View(Cell(1, measure).front()).number();
        std::vector<Placed> placed;
        for (int16_t inci = 0;; ++inci) {
            const host::Bytes* r =
                Document().Records().Find(host::RecordKey::EntryDetail(hostapi::MakeTag("edED"), entry, inci));
            if (r == nullptr) {
                return placed;
            }
            placed.push_back(
                {ExpressionText(hostapi::ReadI16(r->data(), 0)),
                 {hostapi::ReadI16(r->data(), 2), hostapi::ReadI16(r->data(), 4), hostapi::ReadI16(r->data(), 8)}});
        }
    }
};

struct HarpCase {
    const char* name;
    const char* music;
    std::vector<Setting> settings;
    std::vector<Placed> diagram;  ///< in measure 1
    std::vector<Placed> changes;  ///< on the first entry of measure 2
};

class HarpCaseTest : public HarpTest, public ::testing::WithParamInterface<HarpCase> {};

TEST_P(HarpCaseTest, TheDiagramAndTheChangesFollowThePedals) {
    const HarpCase& c = GetParam();
    SCOPED_TRACE(c.name);
    Start(c.music);
    Select(1, 1, 1, 1);
    RunTool(kHarp, c.settings);
    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(Diagrams(1), c.diagram);
    EXPECT_EQ(Changes(2), c.changes);
}

// The diagram reads D C B | E F G A: "O" natural, "o" flat, "p" sharp, "P" the divider. F sharp 4
// lies 7 steps below the top line (-84), C sharp 5 three (-36): a change stands 200 above the top
// note, the next one of a chord 50 higher.
// clang-format off
INSTANTIATE_TEST_SUITE_P(Pedals, HarpCaseTest, ::testing::Values(
    HarpCase{"seven pedals", "notes 1 1 c4/8 d4/8 e4/8 f4/8 g4/8 a4/8 b4/8 r/8\nnotes 1 2 f#4/1\n", {},
             {{"OOOPOOOO", {-170, 0x1001}}}, {{"Fs", {-14, -116, -32768}}}},
    HarpCase{"harp font", "notes 1 1 c4/8 d4/8 e4/8 f4/8 g4/8 a4/8 b4/8 r/8\nnotes 1 2 f#4/1\n",
             {{"Row2", "1"}, {"Row4", "1"}, {"Row7", "20"}},
             {{"444|4444", {-170, 0x1001}}}, {{"V", {-14, -116, -32768}}}},
    // Unknown pedals show flat, at the end of the walk.
    HarpCase{"some pedals", "notes 1 1 c4/2 d4/2\nnotes 1 2 f#4/1\n", {}, {{"OOoPopoo", {-170, 0x1001}}}, {}},
    HarpCase{"a chord", "notes 1 1 c4/8 d4/8 e4/8 f4/8 g4/8 a4/8 b4/8 r/8\nnotes 1 2 f#4+c#5/1\n", {},
             {{"OOOPOOOO", {-170, 0x1001}}}, {{"Fs", {-14, -164, -32768}}, {"Cs", {-14, -214, -32768}}}},
    HarpCase{"no changes", "notes 1 1 c4/8 d4/8 e4/8 f4/8 g4/8 a4/8 b4/8 r/8\nnotes 1 2 f#4/1\n",
             {{"Row1", "0"}, {"Row3", "0"}}, {}, {}}),
    [](const auto& testCase) { std::string n = testCase.param.name; std::replace(n.begin(), n.end(), ' ', '_'); return n; });
// clang-format on

TEST_F(HarpTest, WithRespellingAnESharpBecomesTheNaturalF) {
    Start(std::string(kSevenPedals) + "notes 1 2 e#4/1\n");
    Select(1, 1, 1, 1);
    RunTool(kHarp, {{"Row0", "1"}});
    const hostapi::ConstNoteView note = View(Cell(1, 2).front()).note(0);
    EXPECT_EQ(note.harmonicLevel(), 3);  // F in C major
    EXPECT_EQ(note.alteration(), 0);
    EXPECT_TRUE(Changes(2).empty());
}

// "From measure" 2 and "to the end" over a selection of measure 1: the display counts the
// measures the walk covers.
TEST_F(HarpTest, TheProgressCountsTheMeasuresTheWalkCovers) {
    StartHost("font 0 \"Times\"\nstaff \"Harp\"\nmeasures 4\nnotes 1 2 c4/1\nnotes 1 3 d4/1\nnotes 1 4 e4/1\n");
    Select(1, 1, 1, 1);
    RunTool(kHarp, {{"Row5", "2"}, {"Row6", "1"}});
    EXPECT_TRUE(TranscriptHas("host: progress begins over staff 1, measures 2-4: 3 steps"));
    EXPECT_TRUE(TranscriptHas("host: progress ends after 3 of 3 steps"));
}

TEST_F(HarpTest, ADoubleSharpEndsTheRun) {
    Start("notes 1 1 c4/2 d4/2\nnotes 1 2 f##4/1\n");
    Select(1, 1, 1, 2);
    RunTool(kHarp, {{"Row6", "0"}});
    EXPECT_EQ(Messages(), std::vector<std::string>{"No double sharps or flats please!"});
    EXPECT_TRUE(Diagrams(1).empty());
}

ORDINARY_MUSIC_CASES(Harp, "tests/tools/ordinary.cases", "harp");

}  // namespace
