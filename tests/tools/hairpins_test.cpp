// Create Hairpins: how dynamic texts read as loudness levels, and the hairpin records made
// between two markings of a staff through the simulated host.
#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/dispatch.h"
#include "core/module.h"
#include "core/tool_context.h"
#include "core/tool_items.h"
#include "platform/hostapi/layout_records.h"
#include "tests/core/score_host_fixture.h"
#include "tests/support/orvex_host.h"
#include "tests/tools/layout_test_support.h"
#include "tests/tools/notes_fixture.h"
#include "tools/layout/hairpins.h"
#include "tools/layout/layout_services.h"
#include "tools/notes/notes_services.h"

namespace {

using namespace orvex;
using host::RecordKey;

struct LevelCase {
    const char* name;
    const char* text;
    std::optional<std::pair<int32_t, int32_t>> levels;
    const char* letters;
};

class DynamicsTextTest : public ::testing::TestWithParam<LevelCase> {};

TEST_P(DynamicsTextTest, LettersAndLevels) {
    const LevelCase& c = GetParam();
    std::string text = c.text;
    int32_t start = 0;
    int32_t end = 0;
    ASSERT_EQ(NormalizeDynamicsText(text, start, end), c.levels.has_value());
    EXPECT_EQ(text, c.letters);
    if (c.levels) {
        EXPECT_EQ(std::make_pair(start, end), *c.levels);
    }
}

INSTANTIATE_TEST_SUITE_P(Texts, DynamicsTextTest,
                         ::testing::Values(LevelCase{"Piano", "p", std::pair{-2, -2}, "p"},
                                           LevelCase{"Fortissimo", "ff", std::pair{3, 3}, "ff"},
                                           LevelCase{"MezzoPiano", "mp", std::pair{-1, -1}, "mp"},
                                           LevelCase{"MezzoForteGlyph", "F", std::pair{1, 1}, "mf"},
                                           LevelCase{"FortePiano", "fp", std::pair{2, -2}, "fp"},
                                           LevelCase{"FortePianissimoGlyph", "\xB6", std::pair{2, -3}, "fpp"},
                                           LevelCase{"SforzandoGlyphs", "sfz", std::pair{2, 2}, "f"},
                                           LevelCase{"PianissimoGlyph", "\xB9", std::pair{-3, -3}, "pp"},
                                           LevelCase{"PianoForteFails", "pf", std::nullopt, "pf"},
                                           LevelCase{"WordsFail", "dolce", std::nullopt, "dolce"},
                                           LevelCase{"EmptyFails", "", std::nullopt, ""}),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

/// Two markings on staff 1 and, between them when given, a text that is no dynamic.
std::string PairScore(const char* left, int32_t leftMeasure, int32_t leftAt, int32_t leftOffset, const char* right,
                      int32_t rightMeasure, int32_t rightAt, int32_t rightOffset, bool wordBetween) {
    std::string score = "font 1 \"Maestro\"\nfont 2 \"Times New Roman\"\nstaff \"A\"\nmeasures 3\n";
    score += "expression 1 \"" + std::string(left) + "\" font 1\n";
    score += "expression 2 \"" + std::string(right) + "\" font 1\n";
    score += "expression 3 \"dolce\" font 2\n";
    const auto place = [&](int32_t measure, int32_t number, int32_t at, int32_t offset) {
        score += "measureexpression " + std::to_string(measure) + " " + std::to_string(number) + " at " +
                 std::to_string(at) + " staff 1 offset " + std::to_string(offset) + "\n";
    };
    place(leftMeasure, 1, leftAt, leftOffset);
    if (wordBetween) {
        place(leftMeasure, 3, leftAt + 1, -50);
    }
    place(rightMeasure, 2, rightAt, rightOffset);
    return score;
}

/// The hairpin made: kind, measures, positions and heights.
struct Hairpin {
    int16_t kind;
    int16_t startMeasure;
    int32_t start;
    int16_t leftHeight;
    int16_t endMeasure;
    int32_t end;
    int16_t rightHeight;
    bool operator==(const Hairpin&) const = default;
};

struct PairCase {
    const char* name;
    const char* left;
    int32_t leftMeasure;
    int32_t leftAt;
    int32_t leftOffset;
    const char* right;
    int32_t rightMeasure;
    int32_t rightAt;
    int32_t rightOffset;
    bool wordBetween;
    int32_t maximumWidth;
    std::optional<Hairpin> made;
};

class HairpinPairTest : public testsupport::ScoreHostTest, public ::testing::WithParamInterface<PairCase> {
protected:
    void SetUp() override {
        ScoreHostTest::SetUp();
        SharedSmartShapes().Clear();
    }
};

TEST_P(HairpinPairTest, OneHairpinOrNone) {
    const PairCase& c = GetParam();
    Open(PairScore(c.left, c.leftMeasure, c.leftAt, c.leftOffset, c.right, c.rightMeasure, c.rightAt, c.rightOffset,
                   c.wordBetween));
    hostapi::SelectionRecord region;
    region.setFirstStaff(1);
    region.setLastStaff(1);
    region.setFirstMeasure(1);
    region.setLastMeasure(3);
    region.setEndEdu(0x7FFFFFFF);
    TheModule.dispatch.CurrentRegion = &region;
    std::shared_ptr<TFMisc> context = layouttest::ToolWithDefaults(ToolItem::CreateHairpins);
    context->Options[hairpinrow::kMaximumWidth].value = c.maximumWidth;
    EXPECT_TRUE(RunCreateHairpins(*context));
    TheModule.dispatch.CurrentRegion = nullptr;

    const host::Bytes* shape = Stored(RecordKey::Other(hostapi::kTagSmartShape, 1, 0));
    ASSERT_EQ(shape != nullptr, c.made.has_value());
    if (!c.made) {
        return;
    }
    const uint8_t* b = shape->data();
    const Hairpin made{hostapi::ReadI16(b, 0),  hostapi::ReadI16(b, 8),  hostapi::ReadI32(b, 10),
                       hostapi::ReadI16(b, 16), hostapi::ReadI16(b, 38), hostapi::ReadI32(b, 40),
                       hostapi::ReadI16(b, 46)};
    EXPECT_EQ(made, *c.made);
    EXPECT_EQ(hostapi::ReadI16(b, 6), 1);
    EXPECT_EQ(hostapi::ReadI16(b, 36), 1);
    for (const size_t opening : std::initializer_list<size_t>{22, 52, 68}) {
        EXPECT_EQ(hostapi::ReadI16(b, opening), 36) << "opening width at " << opening;
    }
    for (int16_t m = c.made->startMeasure; m <= c.made->endMeasure; ++m) {
        SCOPED_TRACE(m);
        EXPECT_EQ(StoredWord(RecordKey::Other(hostapi::kTagShapeMeasureLink, m, 0), 0), 1);
        EXPECT_EQ(StoredWord(RecordKey::Other(hostapi::MakeTag("SOMS"), m, 0), 8) & 0x2000, 0x2000);
    }
    EXPECT_EQ(Stored(RecordKey::Other(hostapi::kTagShapeMeasureLink, int16_t(c.made->endMeasure + 1), 0)), nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Pairs, HairpinPairTest,
    ::testing::Values(
        PairCase{"PianoToForte", "p", 1, 0, -60, "f", 2, 0, -60, false, 3, Hairpin{3, 1, 256, -48, 1, 3840, -48}},
        PairCase{"ForteToFortePiano", "f", 1, 0, -60, "fp", 2, 0, -60, false, 3, std::nullopt},
        PairCase{"FortePianoToForte", "fp", 1, 0, -60, "f", 2, 2048, -60, false, 3,
                 Hairpin{3, 1, 256, -48, 2, 1792, -48}},
        PairCase{"ForteToPiano", "f", 1, 1024, -60, "p", 3, 1024, -60, false, 3, Hairpin{2, 1, 1280, -48, 3, 768, -48}},
        PairCase{"HeightsMoveAQuarterTogether", "p", 1, 0, -100, "f", 1, 3072, -60, false, 3,
                 Hairpin{3, 1, 256, -78, 1, 2816, -58}},
        PairCase{"AWordBreaksThePair", "p", 1, 0, -60, "f", 2, 0, -60, true, 3, std::nullopt},
        PairCase{"TooWide", "p", 1, 0, -60, "f", 2, 1024, -60, false, 1, std::nullopt},
        PairCase{"OneMeasureWide", "p", 1, 0, -60, "f", 1, 3072, -60, false, 1, Hairpin{3, 1, 256, -48, 1, 2816, -48}}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

class HairpinCommandTest : public testsupport::OrvexHostTest {};

TEST_F(HairpinCommandTest, TheCommandMakesTheHairpinOfAPair) {
    StartHost(PairScore("p", 1, 0, -60, "f", 2, 0, -60, false));
    Select(1, 1, 1, 3);
    ASSERT_EQ(RunWithShift(orvex::ToolCode(orvex::ToolItem::CreateHairpins)), 1);
    EXPECT_NE(Document().Records().Find(RecordKey::Other(hostapi::kTagSmartShape, 1, 0)), nullptr);
}

ORDINARY_MUSIC_CASES(Hairpins, "tests/tools/ordinary.cases", "hairpins");

}  // namespace
