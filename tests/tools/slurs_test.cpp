// "Vx Create S&lurs..." inside the entry walk and "Vx S&lurs..." over existing slurs, end to end:
// the slur records, their links and their contours as the document holds them afterwards.
#include <initializer_list>

#include "core/tool_context.h"
#include "core/tool_items.h"
#include "platform/hostapi/entry_records.h"
#include "platform/hostapi/layout_records.h"
#include "tests/tools/notes_fixture.h"
#include "tools/notes/slurs.h"

namespace {

using orvex::SlurLayout;
using testsupport::NotesTest;
using testsupport::Setting;

constexpr int32_t kCreateSlurs = orvex::ToolCode(orvex::ToolItem::CreateSlurs);
constexpr int32_t kSlurs = orvex::ToolCode(orvex::ToolItem::Slurs);

class SlursTest : public NotesTest {
protected:
    /// The stored smart shape `number`; empty when it is missing.
    host::Bytes Shape(hostapi::Cmper number) {
        const host::Bytes* bytes =
            Document().Records().Find(host::RecordKey::Other(hostapi::kTagSmartShape, number, 0));
        return bytes == nullptr ? host::Bytes{} : *bytes;
    }
    static int16_t I16(const host::Bytes& shape, size_t offset) { return hostapi::ReadI16(shape.data(), offset); }
    static int32_t I32(const host::Bytes& shape, size_t offset) { return hostapi::ReadI32(shape.data(), offset); }
    hostapi::EntryNumber EntryNumber(int16_t measure, size_t index) { return View(Cell(1, measure)[index]).number(); }
    /// The (first, last) entry indexes of the slurs made in measure 1, in the order they were made.
    std::vector<std::pair<size_t, size_t>> SlursOverEntries(hostapi::Cmper from) {
        std::vector<std::pair<size_t, size_t>> slurs;
        const auto index = [&](hostapi::EntryNumber number) {
            const host::CellEntries& cell = Cell(1, 1);
            for (size_t i = 0; i < cell.size(); ++i) {
                if (View(cell[i]).number() == number) {
                    return i;
                }
            }
            return cell.size();
        };
        for (hostapi::Cmper number = from; !Shape(number).empty(); ++number) {
            slurs.emplace_back(index(I32(Shape(number), SlurLayout::kLeftEntry)),
                               index(I32(Shape(number), SlurLayout::kRightEntry)));
        }
        return slurs;
    }
    static std::vector<Setting> Rows(std::initializer_list<std::pair<int, int>> rows) {
        std::vector<Setting> settings;
        for (const auto& [row, value] : rows) {
            settings.emplace_back("Row" + std::to_string(row), std::to_string(value));
        }
        return settings;
    }
};

// ---- Create Slurs ----

struct RunCase {
    const char* name;
    int notes;  ///< row 0
    std::vector<std::pair<size_t, size_t>> slurs;
};
void PrintTo(const RunCase& c, std::ostream* os) {
    *os << c.name;
}

class CreateSlursRunTest : public SlursTest, public ::testing::WithParamInterface<RunCase> {};

// clang-format off
const RunCase kRunCases[] = {
    {"PairsLeaveTheFifthNote", 2, {{0, 1}, {2, 3}, {6, 7}}},
    {"AnyRunUpToARest",        0, {{0, 4}, {6, 7}}},
    {"TriplesNeedThreeNotes",  3, {{0, 2}}},
};
// clang-format on

TEST_P(CreateSlursRunTest, SlursTheRunsOfNotesOfAMeasure) {
    // Five notes, a rest, two notes, a rest, a lone note: a slur never reaches over a rest.
    StartHost(R"(
staff "Flute"
measures 2 time 6/4
notes 1 1 c5/8 d5/8 e5/8 f5/8 g5/8 r/8 a5/8 b5/8 r/4 c5/4
notes 1 2 c5/1.
)");
    Select(1, 1, 1, 1);
    RunTool(kCreateSlurs,
            Rows({{orvex::CREATE_SLURS_NOTES, GetParam().notes}, {orvex::CREATE_SLURS_DEFAULT_CONTOUR, 0}}));
    EXPECT_EQ(SlursOverEntries(1), GetParam().slurs);
}

INSTANTIATE_TEST_SUITE_P(Walk, CreateSlursRunTest, ::testing::ValuesIn(kRunCases),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

TEST_F(SlursTest, NewSlurCarriesItsOptionsAndLinks) {
    StartHost("staff \"Flute\"\nmeasures 1\nnotes 1 1 c5/4 d5/4 r/2\n");
    Select(1, 1, 1, 1);
    RunTool(kCreateSlurs, Rows({{orvex::CREATE_SLURS_DEFAULT_CONTOUR, 0},
                                {orvex::CREATE_SLURS_HEIGHT, 30},
                                {orvex::CREATE_SLURS_INSET, 16},
                                {orvex::CREATE_SLURS_DEFAULT_PLACEMENT, 0},
                                {orvex::CREATE_SLURS_LEFT_DISTANCE, -4},
                                {orvex::CREATE_SLURS_RIGHT_DISTANCE, 7}}));
    const host::Bytes shape = Shape(1);
    ASSERT_EQ(shape.size(), 84u);
    EXPECT_EQ(I16(shape, SlurLayout::kType), 15);
    EXPECT_EQ(hostapi::ReadU16(shape.data(), SlurLayout::kFlags2), 0x8201);
    EXPECT_EQ(hostapi::ReadU16(shape.data(), SlurLayout::kFlags4), 0x6000);
    EXPECT_EQ(I32(shape, SlurLayout::kLeftEntry), EntryNumber(1, 0));
    EXPECT_EQ(I32(shape, SlurLayout::kRightEntry), EntryNumber(1, 1));
    EXPECT_EQ(I16(shape, SlurLayout::kLeftOffset), -4);
    EXPECT_EQ(I16(shape, SlurLayout::kRightOffset), 7);
    EXPECT_EQ(hostapi::ReadU16(shape.data(), SlurLayout::kRightPlacement), 0x4201);
    // Inset 16% is 327 contour units; every block is (inset, height, -inset, height).
    for (size_t block : {SlurLayout::kLeftContour, SlurLayout::kRightContour, SlurLayout::kMainContour}) {
        SCOPED_TRACE(block);
        EXPECT_EQ(I16(shape, block), 327);
        EXPECT_EQ(I16(shape, block + 2), 30);
        EXPECT_EQ(I16(shape, block + 4), -327);
        EXPECT_EQ(I16(shape, block + 6), 30);
    }
    EXPECT_EQ(hostapi::ReadI16(EntryRecord("edEx", EntryNumber(1, 0)).data(), 0), 1);
    EXPECT_EQ(hostapi::ReadI16(EntryRecord("edEx", EntryNumber(1, 1)).data(), 0), 1);
    // Both entries say they carry a note-attached smart shape; the rest does not.
    EXPECT_EQ(View(Cell(1, 1)[0]).moreFlags() & hostapi::kEntryMoreSmartShapes, hostapi::kEntryMoreSmartShapes);
    EXPECT_EQ(View(Cell(1, 1)[1]).moreFlags() & hostapi::kEntryMoreSmartShapes, hostapi::kEntryMoreSmartShapes);
    EXPECT_EQ(View(Cell(1, 1)[2]).moreFlags() & hostapi::kEntryMoreSmartShapes, 0);
    const host::Bytes* link = Document().Records().Find(host::RecordKey::Other(hostapi::kTagShapeMeasureLink, 1, 0));
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(hostapi::ReadI16(link->data(), 0), 1);
    const host::Bytes* measure = Document().Records().Find(host::RecordKey::Other(hostapi::MakeTag("SOMS"), 1, 0));
    EXPECT_EQ(hostapi::ReadU16(measure->data(), 8) & 0x2000, 0x2000);
}

TEST_F(SlursTest, ASmartShapeAtTheTopNumberLeavesTheLowerOnesFree) {
    StartHost("staff \"Flute\"\nmeasures 1\nnotes 1 1 c5/4 d5/4 r/2\n");
    Document().Records().Save(host::RecordKey::Other(hostapi::kTagSmartShape, INT16_MAX, 0), host::Bytes(84, 0));
    Select(1, 1, 1, 1);
    EXPECT_EQ(RunTool(kCreateSlurs, Rows({{orvex::CREATE_SLURS_DEFAULT_CONTOUR, 0}})),
              1);  // the dialog stays open and ran it: a change
    EXPECT_EQ(SlursOverEntries(1), (std::vector<std::pair<size_t, size_t>>{{0, 1}}));
    EXPECT_EQ(hostapi::ReadI16(EntryRecord("edEx", EntryNumber(1, 0)).data(), 0), 1);
    EXPECT_TRUE(Messages().empty());
}

TEST_F(SlursTest, SlursTheHostRefusesAreReportedAndCountNoChange) {
    StartHost("staff \"Flute\"\nmeasures 1\nnotes 1 1 c5/4 d5/4 e5/4 f5/4\n");
    for (int32_t number = 1; number <= INT16_MAX; ++number) {  // every number is in use
        Document().Records().Save(
            host::RecordKey::Other(hostapi::kTagSmartShape, static_cast<hostapi::Cmper>(number), 0),
            host::Bytes(84, 0));
    }
    const host::RecordStore before = Document().Records();
    Select(1, 1, 1, 1);
    EXPECT_EQ(RunWithShift(kCreateSlurs), 0);
    EXPECT_EQ(Messages(),
              std::vector<std::string>{"The document has no room for more smart shapes: 2 slurs could not be made."});
    EXPECT_TRUE(Document().Records() == before);
}

TEST_F(SlursTest, DefaultContourFollowsTheSlursLength) {
    // Two half notes of one pitch in a measure 1000 wide: the slur is 500 long, between the
    // medium (300) and the long (600) point of the host's defaults.
    StartHost(R"(
staff "Flute"
measures 1 width 1000
notes 1 1 g4/2 g4/2
slurcontours 100:10:20 300:30:40 600:60:80
)");
    Select(1, 1, 1, 1);
    RunTool(kCreateSlurs, Rows({{orvex::CREATE_SLURS_DEFAULT_CONTOUR, 1}}));
    const host::Bytes shape = Shape(1);
    ASSERT_FALSE(shape.empty());
    EXPECT_EQ(I16(shape, SlurLayout::kMainContour), 30 + 30 * 200 / 300);
    EXPECT_EQ(I16(shape, SlurLayout::kMainContour + 2), 40 + 40 * 200 / 300);
}

// Recalculated contours of one slur from note 1 to note 2 (kind 0 below, 1 above, 15 automatic)
// with heights that rise one per unit past length 300: the height tells the length measured,
// horizontal (dx 500) on the stem side of two beamed notes, else on the slant, and two thirds
// of the way to dx when the stems differ.
struct ContourCase {
    const char* name;
    const char* score;
    int16_t height;
};
class SlurContourTest : public SlursTest, public ::testing::WithParamInterface<ContourCase> {};

TEST_P(SlurContourTest, LengthFollowsTheStems) {
    StartHost(std::string("staff \"Flute\"\nslurcontours 100:10:20 300:30:40 600:60:340\n") + GetParam().score);
    Select(1, 1, 1, 1);
    RunTool(kSlurs, Rows({{orvex::SLURS_RECALCULATE, 1}}));
    EXPECT_EQ(I16(Shape(1), SlurLayout::kMainContour + 2), GetParam().height);
}

INSTANTIATE_TEST_SUITE_P(
    Stems, SlurContourTest,
    ::testing::Values(
        ContourCase{"BothUpBelowOnTheSlant", "measures 1 width 1000\nnotes 1 1 a3/2 a4/2\nshape 15 1 1:1 1:2", 247},
        ContourCase{"DifferingStems", "measures 1 width 1000\nnotes 1 1 g4/2 g5/2\nshape 15 1 1:1 1:2", 242},
        ContourCase{"StemSideOfBeamedNotes", "measures 1 width 4000\nnotes 1 1 a3/8 a4/8\nshape 1 1 1:1 1:2", 240},
        // Quarters are never beamed notes, even with the beam-start flags cleared.
        ContourCase{"StemSideOfQuartersOnTheSlant",
                    "measures 1 width 2000\nnotes 1 1 a3/4 a4/4 r/2\nentry 1 1:1 -beam-start\nentry 1 1:2 -beam-start\n"
                    "shape 1 1 1:1 1:2",
                    247},
        ContourCase{"BothDownAboveOnTheSlant", "measures 1 width 4000\nnotes 1 1 d5/8 d6/8\nshape 15 1 1:1 1:2", 247}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

// ---- The Slurs command ----

constexpr const char* kSlurScore = R"(
staff "Violin"
measures 2 width 480
notes 1 1 c5/4 d5/4 e5/4 f5/4
notes 1 2 g5/4 a5/4 b5/4 c6/4
shape 1 1 1@0 1@4096
shape 1 1 1:2 2:3
)";

TEST_F(SlursTest, SlursCommandWithoutOptionsChangesNothing) {
    StartHost(kSlurScore);
    const host::Bytes before = Shape(2);
    Select(1, 1, 1, 2);
    RunTool(kSlurs, Rows({{orvex::SLURS_CONVERT, 0},
                          {orvex::SLURS_RECALCULATE, 0},
                          {orvex::SLURS_RAISE, 0},
                          {orvex::SLURS_RESET_PLACEMENT, 0},
                          {orvex::SLURS_RESOLVE_COLLISIONS, 0}}));
    EXPECT_EQ(Shape(2), before);
    EXPECT_EQ(hostapi::ReadU16(Shape(1).data(), SlurLayout::kFlags4) & 0x4000, 0);
    EXPECT_TRUE(Messages().empty());
}

TEST_F(SlursTest, MeasureSlurBecomesAttachedToItsNearestNotes) {
    StartHost(kSlurScore);
    Select(1, 1, 1, 1);
    RunTool(kSlurs, Rows({{orvex::SLURS_CONVERT, 1},
                          {orvex::SLURS_RECALCULATE, 0},
                          {orvex::SLURS_RAISE, 0},
                          {orvex::SLURS_RESET_PLACEMENT, 0},
                          {orvex::SLURS_RESOLVE_COLLISIONS, 0}}));
    const host::Bytes shape = Shape(1);
    EXPECT_EQ(hostapi::ReadU16(shape.data(), SlurLayout::kFlags4) & 0x6000, 0x6000);
    EXPECT_EQ(hostapi::ReadU16(shape.data(), SlurLayout::kFlags2) & 0x0001, 0x0001);
    EXPECT_EQ(I32(shape, SlurLayout::kLeftEntry), EntryNumber(1, 0));
    EXPECT_EQ(I32(shape, SlurLayout::kRightEntry), EntryNumber(1, 3));
    EXPECT_EQ(hostapi::ReadI16(EntryRecord("edEx", EntryNumber(1, 3)).data(), 0), 1);
    // The entries the slur is attached to say so in their second flag word, not in the first.
    for (const size_t index : {size_t{0}, size_t{3}}) {
        EXPECT_EQ(View(Cell(1, 1)[index]).moreFlags() & hostapi::kEntryMoreSmartShapes, hostapi::kEntryMoreSmartShapes);
        EXPECT_EQ(View(Cell(1, 1)[index]).flags() & 0x00000020u, 0u);
    }
}

TEST_F(SlursTest, RaisingASlurOverTwoMeasuresRaisesItOnce) {
    StartHost(kSlurScore);
    for (hostapi::Cmper number : std::initializer_list<hostapi::Cmper>{1, 2}) {
        host::Bytes manual = Shape(number);
        hostapi::WriteU16(manual.data(), SlurLayout::kLeftPlacement, 0x4201);
        Document().Records().Save(host::RecordKey::Other(hostapi::kTagSmartShape, number, 0), manual);
    }
    const host::Bytes before = Shape(2);
    Select(1, 1, 1, 2);
    RunTool(kSlurs, Rows({{orvex::SLURS_CONVERT, 0},
                          {orvex::SLURS_RECALCULATE, 0},
                          {orvex::SLURS_RAISE, 10},
                          {orvex::SLURS_RESET_PLACEMENT, 1},
                          {orvex::SLURS_RESOLVE_COLLISIONS, 0}}));
    const host::Bytes after = Shape(2);
    // The left and the main contour block rise; the right one and the measure slur stay.
    for (size_t offset : std::initializer_list<size_t>{22, 26, 68, 72}) {
        EXPECT_EQ(I16(after, offset), I16(before, offset) + 10) << offset;
    }
    EXPECT_EQ(I16(after, 52), I16(before, 52));
    // Placement is reset on note-attached slurs only.
    EXPECT_EQ(hostapi::ReadU16(after.data(), SlurLayout::kLeftPlacement), 0);
    EXPECT_EQ(hostapi::ReadU16(Shape(1).data(), SlurLayout::kLeftPlacement), 0x4201);
    EXPECT_EQ(I16(Shape(1), 22), 0);
}

// ---- Collisions with articulations (row 5) ----

// A slur above C5 to E5 (all stems down), laid out on one system: the C5 notehead reaches up to
// -24 EVPU from the top line (a centre of -36); the host places no articulations.
constexpr const char* kCollisionScore = R"(
staff "Violin"
measures 2 width 480
notes 1 1 c5/4 d5/4 e5/4 f5/4
notes 1 2 g5/4 a5/4 b5/4 c6/4
page
system 1 2
shape 1 1 1:1 1:3
)";

class SlurCollisionTest : public SlursTest {
protected:
    /// Articulation definition 1: a staccato (0x2E) opposite the stem, right at the notehead,
    /// its font 24 points; and the definition on the first entry of measure 1.
    void PutStaccato(int16_t verticalOffset = 0) {
        host::Bytes definition(hostapi::ArticulationDefinitionLayout::kSize, 0);
        hostapi::WriteU16(definition.data(), hostapi::ArticulationDefinitionLayout::kCharacter, 0x2E);
        hostapi::WriteU16(definition.data(), hostapi::ArticulationDefinitionLayout::kFontWord, 24 * 256);
        Document().Records().Save(host::RecordKey::Other(hostapi::kTagArticulationDefinition, 1, 0), definition);
        std::vector<uint8_t> articulation(hostapi::ArticulationLayout::kSize, 0);
        hostapi::WriteI16(articulation.data(), hostapi::ArticulationLayout::kDefinition, 1);
        hostapi::WriteI16(articulation.data(), hostapi::ArticulationLayout::kVerticalOffset, verticalOffset);
        PutEntryRecord("edIM", EntryNumber(1, 0), articulation);
        EditEntry(1, 1, 0,
                  [](hostapi::EntryView entry) { entry.setFlags(entry.flags() | hostapi::kEntryArticulations); });
    }
    int16_t ArticulationOffset() {
        return hostapi::ReadI16(EntryRecord("edIM", EntryNumber(1, 0)).data(),
                                hostapi::ArticulationLayout::kVerticalOffset);
    }
};

// The moved end's placement word by the slur's type (all stems down, so every type lies above):
// types 1 and 9 0x4201; types 0 and 8 the left end below a stem down, 0x4106, their offset
// negated; types 15 and 16 set the bits 0x4201 of the word (0) and clear 0x0102.
struct CollisionTypeCase {
    int16_t type;
    int16_t offset;
    uint16_t placement;
};
class SlurCollisionTypeTest : public SlurCollisionTest, public ::testing::WithParamInterface<CollisionTypeCase> {};

TEST_P(SlurCollisionTypeTest, SlurEndMovesClearOfAStaccato) {
    StartHost(kCollisionScore);
    host::Bytes typed = Shape(1);
    hostapi::WriteI16(typed.data(), 0, GetParam().type);
    Document().Records().Save(host::RecordKey::Other(hostapi::kTagSmartShape, 1, 0), typed);
    PutStaccato();
    Select(1, 1, 1, 1);
    RunTool(kSlurs, Rows({{orvex::SLURS_CONVERT, 0},
                          {orvex::SLURS_RECALCULATE, 0},
                          {orvex::SLURS_RAISE, 0},
                          {orvex::SLURS_RESET_PLACEMENT, 0},
                          {orvex::SLURS_RESOLVE_COLLISIONS, 1}}));
    // The staccato's extent: base -24 (top + offset 0), lifted a space (24) for being no more
    // than 12 above its base, and its off-center 1 (x 24 points / 24): 1. Small adjustment 15:
    // the slur's target -12 lies within [1 - 15, 1 + 15], so the end goes to 1 + 15 - (-24).
    const host::Bytes shape = Shape(1);
    EXPECT_EQ(I16(shape, SlurLayout::kLeftOffset), GetParam().offset);
    EXPECT_EQ(hostapi::ReadU16(shape.data(), SlurLayout::kLeftPlacement), GetParam().placement);
    EXPECT_EQ(I16(shape, SlurLayout::kRightOffset), 0) << "the right note has no articulation";
    EXPECT_EQ(hostapi::ReadU16(shape.data(), SlurLayout::kRightPlacement), 0);
    EXPECT_EQ(ArticulationOffset(), 0);
    EXPECT_TRUE(Messages().empty());
}

INSTANTIATE_TEST_SUITE_P(Types, SlurCollisionTypeTest,
                         ::testing::Values(CollisionTypeCase{1, 40, 0x4201}, CollisionTypeCase{9, 40, 0x4201},
                                           CollisionTypeCase{8, -40, 0x4106}, CollisionTypeCase{15, 40, 0x4201},
                                           CollisionTypeCase{16, 40, 0x4201}),
                         [](const auto& c) { return "type_" + std::to_string(c.param.type); });

TEST_F(SlurCollisionTest, AStaccatoHighAboveLeavesTheSlurAlone) {
    StartHost(kCollisionScore);
    PutStaccato(60);  // at 37 (+1): the target -12 lies outside [22, 52]
    const host::Bytes before = Shape(1);
    Select(1, 1, 1, 1);
    RunTool(kSlurs, Rows({{orvex::SLURS_CONVERT, 0},
                          {orvex::SLURS_RECALCULATE, 0},
                          {orvex::SLURS_RAISE, 0},
                          {orvex::SLURS_RESET_PLACEMENT, 0},
                          {orvex::SLURS_RESOLVE_COLLISIONS, 1}}));
    EXPECT_EQ(Shape(1), before);
}

TEST_F(SlurCollisionTest, ListedArticulationMovesAboveTheTip) {
    StartHost(kCollisionScore);
    PutStaccato();
    const host::Bytes before = Shape(1);
    Select(1, 1, 1, 1);
    // Row 12 shows once row 5 is ticked.
    std::vector<Setting> settings = Rows({{orvex::SLURS_CONVERT, 0},
                                          {orvex::SLURS_RECALCULATE, 0},
                                          {orvex::SLURS_RAISE, 0},
                                          {orvex::SLURS_RESET_PLACEMENT, 0},
                                          {orvex::SLURS_RESOLVE_COLLISIONS, 1}});
    settings.emplace_back("Row12", "3, 1");
    RunTool(kSlurs, settings);
    // Needed: (adjustment 15 + target -12) - base -24 = 27, less the off-center 1.
    EXPECT_EQ(ArticulationOffset(), 26);
    EXPECT_EQ(Shape(1), before);
}

TEST_F(SlurCollisionTest, WithoutALayoutTheUserIsToldAndNothingChanges) {
    StartHost(R"(
staff "Violin"
measures 2 width 480
notes 1 1 c5/4 d5/4 e5/4 f5/4
shape 1 1 1:1 1:3
)");
    PutStaccato();
    const host::RecordStore before = Document().Records();
    Select(1, 1, 1, 1);
    RunTool(kSlurs, Rows({{orvex::SLURS_CONVERT, 0},
                          {orvex::SLURS_RECALCULATE, 0},
                          {orvex::SLURS_RAISE, 0},
                          {orvex::SLURS_RESET_PLACEMENT, 0},
                          {orvex::SLURS_RESOLVE_COLLISIONS, 1}}));
    EXPECT_EQ(Messages(), std::vector<std::string>{"Failed to get metrics information. Make sure the staff is visible "
                                                   "in page view. Please update layout and retry"});
    EXPECT_TRUE(Document().Records() == before);
}

struct AdjustmentCase {
    const char* name;
    int32_t character;
    int32_t number;
    const char* font;  ///< name of font 0
    bool recognize;    ///< row 8
    const char* smallList;
    int32_t adjustment;
    int32_t offCenter;
    bool aboveTip;
};
void PrintTo(const AdjustmentCase& c, std::ostream* os) {
    *os << c.name;
}

class ArticulationAdjustmentTest : public SlursTest, public ::testing::WithParamInterface<AdjustmentCase> {};

// Rows 6 and 7: 15 and 25; row 15: 9 for numbers of row 14's list ("4"); the font is 12 points,
// so off-center values are halved.
// clang-format off
const AdjustmentCase kAdjustmentCases[] = {
    {"StaccatoIsSmall",           0x2E, 1, "Maestro",  true,  "",  15, 0,  false},
    {"AccentIsBigAndOffCenter",   0x3E, 2, "Maestro",  true,  "",  25, 7,  false},
    {"PetrucciAccent",            0x3E, 2, "Petrucci", true,  "",  25, 4,  false},
    {"OtherFontAccent",           0x5E, 2, "Times",    true,  "",  25, 5,  false},
    {"FermataGoesAboveTheTip",    0xB2, 3, "Maestro",  true,  "",  25, 6,  true},
    {"UnknownCharacterNone",      0x41, 5, "Maestro",  true,  "",  0,  0,  false},
    {"WithoutRecognitionNone",    0x2E, 1, "Maestro",  false, "",  0,  0,  false},
    {"ListedNumberIsSmall",       0x41, 5, "Maestro",  false, "5", 15, 0,  false},
    {"OffCenterList",             0x41, 4, "Maestro",  false, "4", 15, 4,  false},
};
// clang-format on

TEST_P(ArticulationAdjustmentTest, ByCharacterAndLists) {
    const AdjustmentCase& c = GetParam();
    StartHost("font 0 \"" + std::string(c.font) + "\"\nstaff \"Violin\"\nmeasures 1\n");
    orvex::TFMisc context;
    context.Options[orvex::SLURS_SMALL_ADJUSTMENT].value = 15;
    context.Options[orvex::SLURS_BIG_ADJUSTMENT].value = 25;
    context.Options[orvex::SLURS_RECOGNIZE].value = c.recognize ? 1 : 0;
    context.Options[orvex::SLURS_SMALL_LIST].text = c.smallList;
    context.Options[orvex::SLURS_OFF_CENTER_LIST].text = "4";
    context.Options[orvex::SLURS_OFF_CENTER].value = 9;
    bool aboveTip = false;
    int32_t adjustment = -1;
    int32_t offCenter = -1;
    const bool applies =
        orvex::ArticulationAdjustment(c.character, c.number, 12 * 256, context, aboveTip, adjustment, offCenter);
    EXPECT_EQ(applies, c.adjustment != 0);
    EXPECT_EQ(adjustment, c.adjustment);
    EXPECT_EQ(offCenter, c.offCenter);
    EXPECT_EQ(aboveTip, c.aboveTip);
}

INSTANTIATE_TEST_SUITE_P(Table, ArticulationAdjustmentTest, ::testing::ValuesIn(kAdjustmentCases),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

TEST(NumberInListTest, WholeNumbersOnly) {
    EXPECT_TRUE(orvex::NumberInList(12, "3, 12;7"));
    EXPECT_TRUE(orvex::NumberInList(7, "3 12;7"));
    EXPECT_FALSE(orvex::NumberInList(1, "3, 12;7"));
    EXPECT_FALSE(orvex::NumberInList(2, ""));
}

ORDINARY_MUSIC_CASES(Slurs, "tests/tools/ordinary.cases", "slurs");
ORDINARY_MUSIC_CASES(MoreSlurs, "tests/tools/ordinary-notes.cases", "slurs");

}  // namespace
