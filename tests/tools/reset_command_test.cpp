// "Vx &Reset...", rows 0 and 1: the hairpins of the selected region take an opening width and are
// made horizontal over a system break; other shapes and hairpins outside the region stay.
#include "core/tool_items.h"
#include "platform/hostapi/layout_records.h"
#include "tests/tools/notes_fixture.h"

namespace {

using Layout = hostapi::SmartShapeLayout;

constexpr int32_t kReset = orvex::ToolCode(orvex::ToolItem::Reset);

// Shape 1: a hairpin in the region; 2: one on the other staff; 3: one after the region; 4: a
// measure-attached slur in the region. Every hairpin keeps its slope over a system break.
constexpr const char* kScore = R"(
staff "Violin"
staff "Viola"
measures 4
shape 2 1 1@0 2@2048 angled
shape 3 2 1@0 1@3072 angled
shape 2 1 3@0 4@0 angled
shape 1 1 1@0 2@1024
)";

class ResetCommandTest : public testsupport::NotesTest {
protected:
    host::Bytes Shape(hostapi::Cmper number) {
        const host::Bytes* bytes =
            Document().Records().Find(host::RecordKey::Other(hostapi::kTagSmartShape, number, 0));
        return bytes == nullptr ? host::Bytes{} : *bytes;
    }
    static int16_t Opening(const host::Bytes& shape, size_t offset) { return hostapi::ReadI16(shape.data(), offset); }
    static bool Angled(const host::Bytes& shape) {
        return (hostapi::ReadU16(shape.data(), Layout::kWord2) & Layout::kHairpinAngled) != 0;
    }
};

TEST_F(ResetCommandTest, HairpinsOfTheRegionTakeTheOpeningAndLoseTheirSlope) {
    StartHost(kScore);
    const host::Bytes others[] = {Shape(2), Shape(3), Shape(4)};
    Select(1, 1, 1, 2);
    RunTool(kReset, {{"Row0", "40"}, {"Row1", "1"}});
    const host::Bytes hairpin = Shape(1);
    for (const size_t offset : {Layout::kWord22, Layout::kWord52, Layout::kWord68}) {
        EXPECT_EQ(Opening(hairpin, offset), 40) << offset;
    }
    EXPECT_FALSE(Angled(hairpin));
    EXPECT_EQ(Shape(2), others[0]) << "another staff";
    EXPECT_EQ(Shape(3), others[1]) << "after the region";
    EXPECT_EQ(Shape(4), others[2]) << "a slur";
    EXPECT_TRUE(Messages().empty());
}

TEST_F(ResetCommandTest, OpeningAloneKeepsTheSlope) {
    StartHost(kScore);
    Select(1, 2, 1, 1);
    RunTool(kReset, {{"Row0", "30"}, {"Row1", "0"}});
    for (const hostapi::Cmper number : std::initializer_list<hostapi::Cmper>{1, 2}) {
        SCOPED_TRACE(number);
        EXPECT_EQ(Opening(Shape(number), Layout::kHairpinOpening), 30);
        EXPECT_TRUE(Angled(Shape(number)));
    }
    EXPECT_EQ(Opening(Shape(3), Layout::kHairpinOpening), 0);
}

}  // namespace
