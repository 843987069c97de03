// Align/Move through the simulated host: where the measure expressions of a staff end up.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "core/host/access_state.h"
#include "core/tool_context.h"
#include "core/tool_items.h"
#include "tests/core/score_host_fixture.h"
#include "tests/support/orvex_host.h"
#include "tests/tools/layout_test_support.h"
#include "tests/tools/notes_fixture.h"
#include "tools/layout/align_move.h"
#include "tools/notes/notes_services.h"

namespace {

using namespace orvex;
using host::RecordKey;

// Dynamics at -60 (measure 1), -80 (measure 1, half way) and -100 (measure 2) on staff 1, and a
// text that is no dynamic a little after the first.
constexpr const char* kScore =
    "font 1 \"Maestro\"\nfont 2 \"Times New Roman\"\n"
    "staff \"A\"\nmeasures 2\n"
    "expression 1 \"p\" font 1\n"
    "expression 2 \"dolce\" font 2\n"
    "measureexpression 1 1 at 0 staff 1 offset -60\n"
    "measureexpression 1 1 at 2048 staff 1 offset -80\n"
    "measureexpression 2 1 at 0 staff 1 offset -100\n"
    "measureexpression 1 2 at 512 staff 1 offset -40\n";

class AlignMoveTest : public testsupport::ScoreHostTest {
protected:
    void SetUp() override {
        ScoreHostTest::SetUp();
        SharedSmartShapes().Clear();
        Open(kScore);
        m_context = layouttest::ToolWithDefaults(ToolItem::AlignMove, 31);
        m_context->MoreOptions[morerow::kConsiderMeasureAttached].value = 1;
        m_context->MoreOptions[morerow::kAvoidCollisions].value = 0;
        m_region.setFirstStaff(1);
        m_region.setLastStaff(1);
        m_region.setFirstMeasure(1);
        m_region.setLastMeasure(2);
        m_region.setEndEdu(0x7FFFFFFF);
    }
    bool Run() {
        return RunAlignMove(*m_context, m_region, m_context->Options, m_context->MoreOptions, true, nullptr, 0, 0);
    }
    int16_t Vertical(int16_t measure, int16_t inci) {
        return StoredWord(RecordKey::Other(kTagMeasureExpression, measure, inci), 4);
    }
    /// The vertical positions of the three dynamics and the text, in the score's order.
    std::vector<int16_t> Verticals() { return {Vertical(1, 0), Vertical(1, 1), Vertical(2, 0), Vertical(1, 2)}; }

    std::shared_ptr<TFMisc> m_context;
    hostapi::SelectionRecord m_region;
};

struct ModeCase {
    const char* name;
    int32_t mode;
    int32_t move;
    bool clamp;
    int16_t target;
};

class AlignMoveModeTest : public AlignMoveTest, public ::testing::WithParamInterface<ModeCase> {};

TEST_P(AlignMoveModeTest, TheDynamicsMoveToTheTargetAndTheTextFollowsTheNearest) {
    const ModeCase& c = GetParam();
    m_context->Options[alignrow::kMode].value = c.mode;
    m_context->Options[alignrow::kMoveVertically].value = c.move;
    m_context->MoreOptions[morerow::kAvoidCollisions].value = c.clamp ? 1 : 0;
    ASSERT_TRUE(Run());
    // The text follows the first dynamic, the nearest in time, by what it moved.
    EXPECT_EQ(Verticals(), (std::vector<int16_t>{c.target, c.target, c.target, int16_t(-40 + c.target + 60)}));
}

INSTANTIATE_TEST_SUITE_P(
    Modes, AlignMoveModeTest,
    ::testing::Values(ModeCase{"Average", 2, 0, false, -80}, ModeCase{"AverageMoved", 2, 10, false, -70},
                      ModeCase{"Nearest", 0, 0, false, -60}, ModeCase{"Farthest", 1, 0, false, -100},
                      ModeCase{"SetValue", 3, 0, false, -156}, ModeCase{"AverageClamped", 2, 0, true, -156}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

TEST_F(AlignMoveTest, OnlyAboveForcesSeparateClassificationAndLeavesBelowAlone) {
    m_context->MoreOptions[morerow::kBelow].value = 0;
    m_context->MoreOptions[morerow::kAbove].value = 1;
    m_context->MoreOptions[morerow::kSeparately].value = 0;
    ASSERT_TRUE(Run());
    EXPECT_EQ(m_context->MoreOptions[morerow::kSeparately].value, 1);
    EXPECT_EQ(Verticals(), (std::vector<int16_t>{-60, -80, -100, -40}));
}

// A dynamic below the first note (an E4 of the treble staff) and a measure dynamic above the
// staff: the sums count the measure-attached items only, so the below half is empty, and the
// note's item stays where it is instead of being shifted by its note's reference.
TEST_F(AlignMoveTest, ANoteItemWhoseHalfIsEmptyStaysWhereItIs) {
    Open(
        "font 1 \"Maestro\"\nstaff \"A\"\nmeasures 1\nnotes 1 1 e4/4\n"
        "expression 1 \"p\" font 1\nnoteexpression 1 1:1 1 offset -50\n"
        "measureexpression 1 1 at 2048 staff 1 offset 60\n");
    m_context->MoreOptions[morerow::kBelow].value = 1;
    m_context->MoreOptions[morerow::kAbove].value = 1;
    m_context->MoreOptions[morerow::kConsiderNoteAttached].value = 0;
    m_context->MoreOptions[morerow::kConsiderMeasureAttached].value = 1;
    m_context->MoreOptions[morerow::kMeasureAttachedIfNoNote].value = 0;
    m_region.setLastMeasure(1);
    for (const int32_t mode : {0, 1, 2}) {
        SCOPED_TRACE("mode " + std::to_string(mode));
        m_context->Options[alignrow::kMode].value = mode;
        ASSERT_TRUE(Run());
        const host::Bytes* detail = nullptr;
        for (const auto& [key, bytes] : Document().Records().Records()) {
            if (key.tag == hostapi::MakeTag("edED")) {
                detail = &bytes;
            }
        }
        ASSERT_NE(detail, nullptr);
        EXPECT_EQ(hostapi::ReadI16(detail->data(), 4), -50);
        EXPECT_EQ(Vertical(1, 0), 60) << "the measure dynamic is the above half's only item";
    }
}

TEST_F(AlignMoveTest, AHostBefore1998IsRefused) {
    orvex::TheAccessLayer.host.year = 1997;
    EXPECT_FALSE(Run());
    EXPECT_EQ(Verticals(), (std::vector<int16_t>{-60, -80, -100, -40}));
}

class AlignMoveCommandTest : public testsupport::OrvexHostTest {};

TEST_F(AlignMoveCommandTest, TheStoredDefaultsKeepBelowItemsUnderTheStaff) {
    StartHost(kScore);
    Select(1, 1, 1, 2);
    ASSERT_EQ(RunWithShift(orvex::ToolCode(orvex::ToolItem::AlignMove)), 1);
    // Average of the measure expressions when no note expressions exist, then kept at least
    // 156 EVPU below the top line.
    for (const auto& [measure, inci] : std::vector<std::pair<int16_t, int16_t>>{{1, 0}, {1, 1}, {2, 0}}) {
        const host::Bytes* bytes = Document().Records().Find(RecordKey::Other(kTagMeasureExpression, measure, inci));
        ASSERT_NE(bytes, nullptr);
        EXPECT_EQ(hostapi::ReadI16(bytes->data(), 4), -156) << "measure " << measure << ", inci " << inci;
    }
}

}  // namespace

namespace {

// The "More..." page of the command's dialog: a row the user unticks there reaches the run.
TEST_F(AlignMoveCommandTest, ThePagesConfirmedValuesReachTheRun) {
    StartHost(kScore);
    Select(1, 1, 1, 2);
    for (const auto& [kind, control, value] : std::vector<std::tuple<win::FormAction::Kind, std::string, std::string>>{
             {win::FormAction::Kind::Click, "SubMask1", ""},
             {win::FormAction::Kind::Set, "Avoid collisions with staff lines?", "0"},
             {win::FormAction::Kind::Click, "OKBtn", ""},
             {win::FormAction::Kind::Click, "Go", ""}}) {
        win::QueueFormAction("TDActOpt", win::FormAction{kind, control, value});
    }
    // The dialog stays open; its Go moved the expressions within the call, and the host hears of it.
    ASSERT_EQ(Invoke(static_cast<int16_t>(orvex::FindCommandIndex(orvex::ToolCode(orvex::ToolItem::AlignMove)))), 1);
    // The average of the three dynamics, no longer kept under the staff; the text follows the
    // first dynamic by what it moved.
    std::vector<int16_t> verticals;
    for (const auto& [measure, inci] : std::vector<std::pair<int16_t, int16_t>>{{1, 0}, {1, 1}, {2, 0}, {1, 2}}) {
        const host::Bytes* bytes = Document().Records().Find(RecordKey::Other(kTagMeasureExpression, measure, inci));
        ASSERT_NE(bytes, nullptr);
        verticals.push_back(hostapi::ReadI16(bytes->data(), 4));
    }
    EXPECT_EQ(verticals, (std::vector<int16_t>{-80, -80, -80, -60}));
}

}  // namespace

namespace {

// ---- Articulation dynamics turned into text expressions (row 14 of the "More..." page) ----

using hostapi::ArticulationDefinitionLayout;

// A staff of quarter notes; the articulations are set on its entries below.
constexpr const char* kArticulated = "font 1 \"Maestro\"\nstaff \"A\"\nmeasures 1\nnotes 1 1 e4/4 g4/4 c5/4 e5/4\n";

class ArticulationDynamicsTest : public AlignMoveTest {
protected:
    void SetUp() override {
        AlignMoveTest::SetUp();
        Open(kArticulated);
        m_region.setLastMeasure(1);
        m_context->MoreOptions[morerow::kConvertArticulations].value = 1;
    }
    /// An 'O\x04IX' definition: its character, style, font, size, flags word at 10, horizontal
    /// offset at 16 and options byte at 22.
    void PutDefinition(int16_t number, uint8_t character, uint16_t flags = 0, uint8_t options = 0) {
        host::Bytes bytes(ArticulationDefinitionLayout::kSize, 0);
        bytes[0] = character;
        bytes[1] = 2;   // style
        bytes[2] = 1;   // Maestro
        bytes[3] = 24;  // size
        hostapi::WriteU16(bytes.data(), 10, flags);
        hostapi::WriteI16(bytes.data(), 16, 7);
        bytes[22] = options;
        Document().Records().Save(RecordKey::Other(kTagArticulationDefinition, number, 0), bytes);
    }
    /// The entry's articulations ('edIM': definition, horizontal, vertical) and its flag.
    void PutArticulations(size_t index, const std::vector<std::array<int16_t, 3>>& articulations) {
        const host::CellKey cell{1, 1, 0};
        host::CellEntries entries = Document().EntriesOf(cell);
        hostapi::EntryView entry(entries.at(index).data());
        entry.setFlag(hostapi::kEntryArticulations, true);
        for (size_t inci = 0; inci < articulations.size(); ++inci) {
            host::Bytes bytes(10, 0);
            for (size_t word = 0; word < 3; ++word) {
                hostapi::WriteI16(bytes.data(), 2 * word, articulations[inci][word]);
            }
            Document().Records().Save(
                RecordKey::EntryDetail(kTagArticulation, entry.number(), static_cast<int16_t>(inci)), bytes);
        }
        Document().SetEntries(cell, entries);
    }
    hostapi::ConstEntryView Entry(size_t index) {
        return hostapi::ConstEntryView(Document().EntriesOf(host::CellKey{1, 1, 0}).at(index).data());
    }
    /// The definitions named by the entry's articulations, in incidence order.
    std::vector<int16_t> ArticulationsOf(size_t index) {
        std::vector<int16_t> numbers;
        for (int16_t inci = 0;; ++inci) {
            const host::Bytes* bytes = Stored(RecordKey::EntryDetail(kTagArticulation, Entry(index).number(), inci));
            if (bytes == nullptr) {
                return numbers;
            }
            numbers.push_back(hostapi::ReadI16(bytes->data(), 0));
        }
    }
    const host::Bytes* NoteExpression(size_t index, int16_t inci = 0) {
        return Stored(RecordKey::EntryDetail(kTagNoteExpression, Entry(index).number(), inci));
    }
};

// Definitions: 1 "f" (a dynamics glyph), 2 "." (none), 3 "p" shown by no character above, 4 "p"
// with its alternate character below, 5 "p" whose expression takes its place from the last note.
TEST_F(ArticulationDynamicsTest, DynamicsArticulationsBecomeNoteExpressions) {
    PutDefinition(1, 'f');
    PutDefinition(2, '.');
    PutDefinition(3, 'p', 0, ArticulationDefinitionLayout::kNoCharacterAbove);
    PutDefinition(4, 'p', ArticulationDefinitionLayout::kAlternateBelow);
    PutDefinition(5, 'p', ArticulationDefinitionLayout::kReferenceLastNote);
    PutArticulations(0, {{2, 0, 0}, {1, 5, 30}, {3, 0, 0}});
    PutArticulations(1, {{4, 0, 0}});
    PutArticulations(2, {{5, -3, 0}});
    m_context->Options[alignrow::kMode].value = 3;  // to a set value: each item's own place stays put
    m_context->MoreOptions[morerow::kBelow].value = 0;
    m_context->MoreOptions[morerow::kAbove].value = 0;
    ASSERT_TRUE(Run());

    // Entry 1: the "f" is a text expression of its character, font, size and style, placed at the
    // articulation's offsets (horizontal + the definition's 7, vertical - 120), at the first note.
    EXPECT_EQ(ArticulationsOf(0), (std::vector<int16_t>{2, 3}));
    const host::Bytes* link = NoteExpression(0);
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(hostapi::ReadI16(link->data(), 2), 12);
    EXPECT_EQ(hostapi::ReadI16(link->data(), 4), -90);
    EXPECT_EQ(hostapi::ReadU16(link->data(), 8), 0x8800);
    EXPECT_EQ(NoteExpression(0, 1), nullptr);
    const int16_t f = hostapi::ReadI16(link->data(), 0);
    const host::Bytes* expression = Stored(RecordKey::Other(hostapi::MakeTag("SODT"), f, 0));
    ASSERT_NE(expression, nullptr);
    EXPECT_EQ(hostapi::ReadU16(expression->data(), 0), 24 * 256 + 1);
    EXPECT_EQ(hostapi::ReadU16(expression->data(), 2), 2);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(expression->data() + 12)), "f");
    EXPECT_TRUE(Entry(0).has(hostapi::kEntryArticulations));
    EXPECT_EQ(Entry(0).moreFlags() & kEntryHasNoteExpressions, kEntryHasNoteExpressions);

    // Entry 2: the alternate character below keeps it an articulation.
    EXPECT_EQ(ArticulationsOf(1), (std::vector<int16_t>{4}));
    EXPECT_EQ(NoteExpression(1), nullptr);
    EXPECT_EQ(Entry(1).moreFlags() & kEntryHasNoteExpressions, 0);

    // Entry 3: its one articulation goes, and with it the entry's articulation flag; the
    // expression "p" is new, placed from the last note.
    EXPECT_TRUE(ArticulationsOf(2).empty());
    EXPECT_FALSE(Entry(2).has(hostapi::kEntryArticulations));
    const host::Bytes* p = NoteExpression(2);
    ASSERT_NE(p, nullptr);
    EXPECT_NE(hostapi::ReadI16(p->data(), 0), f);
    EXPECT_EQ(hostapi::ReadI16(p->data(), 2), 4);
    EXPECT_EQ(hostapi::ReadU16(p->data(), 8), 0x8000);
}

TEST_F(ArticulationDynamicsTest, WithoutRow14TheArticulationsStay) {
    PutDefinition(1, 'f');
    PutArticulations(0, {{1, 5, 30}});
    m_context->MoreOptions[morerow::kConvertArticulations].value = 0;
    ASSERT_TRUE(Run());
    EXPECT_EQ(ArticulationsOf(0), (std::vector<int16_t>{1}));
    EXPECT_EQ(NoteExpression(0), nullptr);
}

// A measure whose only dynamic is an articulation to convert counts as a measure with dynamics
// when the groups are cut: with a restart after 2 measures without dynamics, measures 1-5 stay
// one group, and the dynamics of measures 1 and 4 go to one height.
TEST_F(ArticulationDynamicsTest, AnArticulationDynamicKeepsItsMeasureInTheGroup) {
    Open(
        "font 1 \"Maestro\"\nstaff \"A\"\nmeasures 5\nnotes 1 3 e4/1\nexpression 1 \"p\" font 1\n"
        "measureexpression 1 1 at 0 staff 1 offset -60\nmeasureexpression 4 1 at 0 staff 1 offset -100\n");
    PutDefinition(1, 'f');
    const host::CellKey cell{1, 3, 0};
    host::CellEntries entries = Document().EntriesOf(cell);
    hostapi::EntryView entry(entries.at(0).data());
    entry.setFlag(hostapi::kEntryArticulations, true);
    host::Bytes articulation(10, 0);
    hostapi::WriteI16(articulation.data(), 0, 1);
    Document().Records().Save(RecordKey::EntryDetail(kTagArticulation, entry.number(), 0), articulation);
    Document().SetEntries(cell, entries);
    m_region.setLastMeasure(5);
    m_context->MoreOptions[morerow::kRestartAfter].value = 2;
    ASSERT_TRUE(Run());
    EXPECT_NE(Stored(RecordKey::EntryDetail(kTagNoteExpression, entry.number(), 0)), nullptr);
    EXPECT_NE(Vertical(4, 0), -100);
    EXPECT_EQ(Vertical(1, 0), Vertical(4, 0));
}

ORDINARY_MUSIC_CASES(AlignMove, "tests/tools/ordinary.cases", "align move");

}  // namespace
