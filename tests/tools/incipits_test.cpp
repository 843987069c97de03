// "Incipits...": the right margins that the selected systems get so that their measures keep
// their scroll-view widths on the page, through the host's menu and the host service plug-in.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "core/tool_items.h"
#include "platform/hostapi/bytes.h"
#include "platform/hostapi/layout_records.h"
#include "tests/tools/notes_fixture.h"
#include "tests/tools/systems_test_support.h"

namespace {

using hostapi::StaffSystemLayout;

// A square page (its width and height both 2448, every margin 144), so that the page values the
// layout record gives agree whichever of them it reads. Two locked systems of two measures each;
// measure 1 holds a note, measure 3 none.
std::string Score(int32_t width) {
    return "staff \"A\"\nmeasures 4 width " + std::to_string(width) +
           "\nnotes 1 1 c4/1\npage width 2448 height 2448\nlock 1 2\nlock 3 4\nlayout\n";
}

struct IncipitCase {
    const char* name;
    int32_t width;  ///< of every measure
    int16_t first;  ///< the selection
    int16_t last;
    std::array<int16_t, 2> rightMargins;
};

class IncipitsTest : public testsupport::NotesTest, public ::testing::WithParamInterface<IncipitCase> {};

TEST_P(IncipitsTest, SystemsEndWhereTheirMeasuresDo) {
    const IncipitCase& c = GetParam();
    SCOPED_TRACE(c.name);
    StartHost(Score(c.width));
    Select(1, 1, c.first, c.last);
    RunTool(orvex::ToolCode(orvex::ToolItem::Incipits));
    EXPECT_TRUE(Messages().empty());
    for (int16_t k = 1; k <= 2; ++k) {
        SCOPED_TRACE("system " + std::to_string(k));
        const host::Bytes* system = Document().Records().Find(systemstest::SystemKey(k));
        ASSERT_NE(system, nullptr);
        EXPECT_EQ(hostapi::ReadI16(system->data(), StaffSystemLayout::kRightMargin),
                  c.rightMargins[static_cast<size_t>(k - 1)]);
        EXPECT_EQ(hostapi::ReadI16(system->data(), StaffSystemLayout::kFirstMeasure), 2 * k - 1);
    }
}

// System 1: its first entry is placed at the measure's start 0, so the page offers 2448 - 144
// = 2304 for 600 and the margin takes 600 - 2304. System 2 has no entry: the music starts 20
// after the left margin, and 2448 - 144 - 144 - 20 = 2140 are offered.
// clang-format off
INSTANTIATE_TEST_SUITE_P(Widths, IncipitsTest, ::testing::Values(
    IncipitCase{"both systems", 300, 1, 4, {-1704, -1540}},
    IncipitCase{"last measure of the first", 300, 2, 2, {-1704, 0}},
    IncipitCase{"first measure of the second", 300, 3, 3, {0, -1540}},
    // Measures that fill the page leave the margins alone.
    IncipitCase{"wide measures", 1152, 1, 4, {0, 0}}),
    [](const auto& testCase) { std::string n = testCase.param.name; std::replace(n.begin(), n.end(), ' ', '_'); return n; });
// clang-format on

// A measure too wide for the page: the page layout that the run reads first splits the system
// and gives the page its first system. That changes the document, and the host is told so.
class IncipitsLayoutTest : public testsupport::NotesTest {};

TEST_F(IncipitsLayoutTest, TheHostIsToldOfTheLayoutItsReadingMade) {
    StartHost(
        "staff \"A\"\nmeasures 1 width 200\nmeasures 1 width 3000\nmeasures 2 width 200\n"
        "notes 1 1 c5/1\npage\nsystem 1 4\n");
    Select(1, 1, 1, 4);
    EXPECT_NE(RunWithShift(orvex::ToolCode(orvex::ToolItem::Incipits)), 0);
    const host::Bytes* page = Document().Records().Find(host::RecordKey::Other(hostapi::kTagPage, 1, 0));
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(hostapi::ReadI16(page->data(), 8), 1);  // the page's first system
}

}  // namespace

ORDINARY_MUSIC_CASES(Incipits, "tests/tools/ordinary-systems.cases", "incipits");
