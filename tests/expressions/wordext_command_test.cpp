// "Vx Word Extensions..." end to end: the host runs the command with its stored options (Shift:
// row 0 on, 25, -30, -5) over the whole document, and the lyric assignments and texts change.
//
// The host places entries 12 EVPU into their measure plus position x 216 / 4096 (measures of 240,
// from the system's left edge), noteheads 24 wide; a syllable is 2 EVPU per character and point.
// A length is (end x - middle of the syllable's notehead) + 25 - (syllable width + 4 + offset).
#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "core/module.h"
#include "core/tool_items.h"
#include "expressions/wordext.h"
#include "platform/host/record_layouts.h"
#include "platform/hostapi/layout_records.h"
#include "platform/hostapi/lyric_records.h"
#include "platform/win/system.h"
#include "tests/support/case_names.h"
#include "tests/support/orvex_host.h"
#include "tests/tools/notes_fixture.h"

namespace {

constexpr int32_t kWordExtensions = orvex::ToolCode(orvex::ToolItem::WordExtensions);

class WordExtCommandTest : public testsupport::OrvexHostTest {
protected:
    const host::EntryBytes& EntryAt(int16_t measure, size_t index) {
        return Document().EntriesOf(host::CellKey{1, measure, 0}).at(index);
    }
    hostapi::EntryNumber NumberAt(int16_t measure, size_t index) {
        return hostapi::ConstEntryView(EntryAt(measure, index).data()).number();
    }
    /// The verse assignments of an entry, each as its five words.
    std::vector<std::vector<int16_t>> Assignments(int16_t measure, size_t index) {
        std::vector<std::vector<int16_t>> found;
        for (int16_t inci = 0;; ++inci) {
            const host::Bytes* bytes = Document().Records().Find(
                host::RecordKey::EntryDetail(hostapi::kTagVerseAssignment, NumberAt(measure, index), inci));
            if (bytes == nullptr) {
                return found;
            }
            std::vector<int16_t> words;
            for (size_t offset = 0; offset < bytes->size(); offset += 2) {
                words.push_back(hostapi::ReadI16(bytes->data(), offset));
            }
            found.push_back(words);
        }
    }
    std::string VerseText(int16_t number) {
        const host::Bytes* bytes = Document().Records().Find(host::RecordKey::Other(hostapi::kTagVerseText, number, 0));
        return bytes == nullptr ? "<none>" : std::string(reinterpret_cast<const char*>(bytes->data()));
    }
    void SetMeasureByte(int16_t measure, size_t offset, uint8_t value) {
        const host::RecordKey key = host::RecordKey::Other(host::kTagMeasure, measure, 0);
        host::Bytes record = *Document().Records().Find(key);
        record.at(offset) = value;
        Document().SaveRecord(key, record);
    }
};

using Words = std::vector<std::vector<int16_t>>;

// "Ah," over c4 and d4; "sing" (a hyphen follows) over e4 and f4; "ing" over g4 and a grace note,
// then a rest; "now" over the notes of measure 3 and the g4 of measure 4 (one system).
constexpr const char* kWithinSystems = R"(
font 0 "Maestro"
font 1 "Times New Roman"
staff "Voice"
measures 4
system 1 2
system 3 4
notes 1 1 c4/4 d4/4 e4/4 f4/4
notes 1 2 g4/2 d5/8g r/2
notes 1 3 c4/4 d4/4 e4/4 f4/4
notes 1 4 g4/1
lyric verse 1 "Ah, sing-ing now"
syllable 1 1:1 verse 1 1
syllable 1 1:3 verse 1 2
syllable 1 2:1 verse 1 3
syllable 1 3:1 verse 1 4
)";

TEST_F(WordExtCommandTest, MelismasGetExtensionsWithinTheirSystem) {
    StartHost(kWithinSystems);
    EXPECT_EQ(RunWithShift(kWordExtensions), 1);
    // "Ah,": (90 - 24) + 25 - (72 + 4).
    EXPECT_EQ(Assignments(1, 0), (Words{{1, 1, 0, 0, 15}}));
    // A syllable with a hyphen and one followed only by a grace note and a rest get none.
    EXPECT_EQ(Assignments(1, 2), (Words{{1, 2, 0, 0, 0}}));
    EXPECT_EQ(Assignments(2, 0), (Words{{1, 3, 0, 0, 0}}));
    // "now" runs into measure 4: (276 - 24) + 25 - (72 + 4).
    EXPECT_EQ(Assignments(3, 0), (Words{{1, 4, 0, 0, 201}}));
    EXPECT_EQ(VerseText(1), "Ah, sing-ing now");
}

// "Glo" over c4 and d4 of measure 1 and e4 of measure 2, then the system breaks before f4.
constexpr const char* kAcrossSystems = R"(
font 0 "Maestro"
font 1 "Times New Roman"
staff "Voice"
measures 3
system 1 2
system 3 3
notes 1 1 c4/2 d4/2
notes 1 2 e4/1
notes 1 3 f4/2 r/2
)";
const std::string kGloryText = "^font(Times New Roman)^size(14)^efx(italic)Glo ^size(12)^efx(plain)ry";
const std::string kContinuedText = kGloryText + " ^size(14)^efx(italic)\xA0 ";

std::string AcrossSystems(const std::string& text, const std::string& more = "syllable 1 1:1 verse 1 1\n") {
    return std::string(kAcrossSystems) + "lyric verse 1 \"" + win::AnsiToUtf8(text) + "\"\n" + more;
}

struct SecondRunCase {
    int16_t measure;  ///< of "Glo"'s note, the first of its measure
    int16_t length;
};

class WordExtSecondRunTest : public WordExtCommandTest, public testing::WithParamInterface<SecondRunCase> {};

TEST_P(WordExtSecondRunTest, ReusesTheContinuation) {
    const std::string place = std::to_string(GetParam().measure) + ":1";
    StartHost(AcrossSystems(kGloryText, "syllable 1 " + place + " verse 1 1\n"));
    for (int run = 1; run <= 2; ++run) {
        SCOPED_TRACE("run " + std::to_string(run));
        // The second run finds every extension in place: the document does not change.
        EXPECT_EQ(RunWithShift(kWordExtensions), run == 1 ? 1 : 0);
        EXPECT_EQ(Assignments(GetParam().measure, 0), (Words{{1, 1, 0, 0, GetParam().length}}));
        // The invisible syllable in "Glo"'s font (14 points: 28 wide) on the new system's first
        // note: offset (-24 / 2 - 28) - 4 - 30 = -74, length (36 - 24) + 25 - (28 + 4 - 74).
        EXPECT_EQ(Assignments(3, 0), (Words{{1, 3, -74, 0, 79}}));
        EXPECT_EQ(VerseText(1), kContinuedText);
        EXPECT_TRUE(hostapi::ConstEntryView(EntryAt(3, 0).data()).has(hostapi::kEntryLyrics));
    }
}

// To the system's right edge (480) - 5 from c4 of measure 1: (475 - 24) + 25 - (84 + 4); or from
// e4 of measure 2, whose melisma has no further note before the system breaks: (475 - 264) + 25 - 88.
INSTANTIATE_TEST_SUITE_P(Syllables, WordExtSecondRunTest, testing::Values(SecondRunCase{1, 388}, SecondRunCase{2, 148}),
                         testsupport::NameBy("measure", &SecondRunCase::measure));

// A verse of 10,200 bytes before "Glo ry" (3,400 syllables "la"): it is counted and added to
// whole, as a short one is.
TEST_F(WordExtCommandTest, ALongLyricTakesItsContinuationWhole) {
    std::string verse;
    for (int i = 0; i < 3400; ++i) {
        verse += "la ";
    }
    StartHost(AcrossSystems(verse + kGloryText, "syllable 1 1:1 verse 1 3401\n"));
    EXPECT_EQ(RunWithShift(kWordExtensions), 1);
    EXPECT_EQ(Assignments(1, 0), (Words{{1, 3401, 0, 0, 388}}));
    EXPECT_EQ(Assignments(3, 0), (Words{{1, 3403, -74, 0, 79}}));
    const std::string text = VerseText(1);
    EXPECT_TRUE(text.starts_with(verse + kGloryText)) << text.size() << " bytes";
    EXPECT_EQ(text.substr(verse.size()), kContinuedText);
}

TEST_F(WordExtCommandTest, AStrayContinuationLosesItsAssignment) {
    // As after a first run, with a stale length on the continuation and a stray continuation
    // syllable on the last note of the first system.
    StartHost(AcrossSystems(kContinuedText,
                            "syllable 1 1:1 verse 1 1\nsyllable 1 3:1 verse 1 3 at -74 extension 5\n"
                            "syllable 1 2:1 verse 1 3\n"));
    EXPECT_EQ(RunWithShift(kWordExtensions), 1);
    EXPECT_EQ(Assignments(1, 0), (Words{{1, 1, 0, 0, 388}}));
    EXPECT_EQ(Assignments(2, 0), Words{});
    EXPECT_EQ(Assignments(3, 0), (Words{{1, 3, -74, 0, 79}}));
    EXPECT_EQ(VerseText(1), kContinuedText);
}

TEST_F(WordExtCommandTest, LayersSingingOneTextEachAddTheirSyllable) {
    StartHost(std::string(kAcrossSystems) + R"(
notes 1 1 layer 2 c5/2 d5/2
notes 1 2 layer 2 e5/1
notes 1 3 layer 2 f5/2 r/2
syllable 1 1:1 verse 1 1
syllable 1 1:1 verse 1 1 layer 2
lyric verse 1 ")" +
              win::AnsiToUtf8(kGloryText) + "\"\n");
    EXPECT_EQ(RunWithShift(kWordExtensions), 1);
    // Layer 2's syllable follows layer 1's: the text is counted again before it is added to.
    EXPECT_EQ(VerseText(1), kContinuedText + "\xA0 ");
    EXPECT_EQ(Assignments(3, 0), (Words{{1, 3, -74, 0, 79}}));
    const hostapi::EntryNumber upper =
        hostapi::ConstEntryView(Document().EntriesOf(host::CellKey{1, 3, 1}).at(0).data()).number();
    const host::Bytes* assignment =
        Document().Records().Find(host::RecordKey::EntryDetail(hostapi::kTagVerseAssignment, upper, 0));
    ASSERT_NE(assignment, nullptr);
    EXPECT_EQ(*assignment, (host::Bytes{1, 0, 4, 0, 0xB6, 0xFF, 0, 0, 79, 0}));
}

struct OptionCase {
    std::array<int32_t, 4> rows;        ///< by WordExtensionsRow
    int16_t glory;                      ///< "Glo"'s length
    std::vector<int16_t> continuation;  ///< its assignment, none when no syllable is added
};

class WordExtOptionsTest : public WordExtCommandTest, public testing::WithParamInterface<OptionCase> {};

TEST_P(WordExtOptionsTest, RowsGiveTheLengths) {
    StartHost(AcrossSystems(kGloryText));
    std::shared_ptr<orvex::TFMisc> context = orvex::InitToolContext();
    for (const orvex::WordExtensionsRow row : {orvex::WORD_EXT_LEFT_ALIGNED, orvex::WORD_EXT_BEYOND_LAST_NOTE,
                                               orvex::WORD_EXT_CONTINUED_OFFSET, orvex::WORD_EXT_SYSTEM_END_OFFSET}) {
        context->Options[row].value = GetParam().rows[row];
    }
    orvex::TheModule.dispatch.CurrentRegion = nullptr;
    orvex::TheModule.dispatch.SelectionRecords[1] = m_host->DocumentRegion();
    EXPECT_EQ(orvex::DispatchTool(*context, orvex::ItemNumber(orvex::ToolItem::WordExtensions), 1, 0), 1);
    EXPECT_EQ(Assignments(1, 0), (Words{{1, 1, 0, 0, GetParam().glory}}));
    const bool added = !GetParam().continuation.empty();
    EXPECT_EQ(Assignments(3, 0), added ? Words{GetParam().continuation} : Words{});
    EXPECT_EQ(VerseText(1), added ? kContinuedText : kGloryText);
}

// Left-aligned off: "Glo" counts half its width, the continuation is centred: offset ((-24 - 28) / 2) - 4
// - 30. A continuation offset of 1000 leaves no length, and the syllable is not added.
INSTANTIATE_TEST_SUITE_P(Rows, WordExtOptionsTest,
                         testing::Values(OptionCase{{0, 25, -30, -5}, 430, {1, 3, -60, 0, 79}},
                                         OptionCase{{1, 0, -30, -5}, 363, {1, 3, -74, 0, 54}},
                                         OptionCase{{1, 25, 1000, -5}, 388, {}},
                                         OptionCase{{1, 25, -30, 100}, 493, {1, 3, -74, 0, 79}}),
                         testsupport::NameBy("glory", &OptionCase::glory));

struct BarlineCase {
    uint8_t barline;  ///< kind of measure 1's barline
    int16_t percent;  ///< of the system
    int16_t length;   ///< of "Ah"'s extension
};

class WordExtBarlineTest : public WordExtCommandTest, public testing::WithParamInterface<BarlineCase> {};

TEST_P(WordExtBarlineTest, BarlinesTwoAndFiveEndTheMelisma) {
    StartHost(R"(
staff "Voice"
measures 2
system 1 2
notes 1 1 c4/2 d4/2
notes 1 2 e4/2 r/2
lyric verse 1 "Ah"
syllable 1 1:1 verse 1 1
)");
    SetMeasureByte(1, 10, static_cast<uint8_t>(GetParam().barline << 4));
    const host::RecordKey system = host::RecordKey::Other(hostapi::kTagStaffSystem, 1, 0);
    host::Bytes record = *Document().Records().Find(system);
    hostapi::WriteI16(record.data(), hostapi::StaffSystem20Layout::kPercent, GetParam().percent);
    Document().SaveRecord(system, record);
    EXPECT_EQ(RunWithShift(kWordExtensions), 1);
    EXPECT_EQ(Assignments(1, 0), (Words{{1, 1, 0, 0, GetParam().length}}));
}

// To e4 in measure 2: (276 - 24) + 25 - (48 + 4); to d4: (144 - 24) + 25 - 52. A system at half
// size gives the same lengths.
INSTANTIATE_TEST_SUITE_P(Barlines, WordExtBarlineTest,
                         testing::Values(BarlineCase{0, 100, 225}, BarlineCase{2, 100, 93}, BarlineCase{3, 100, 225},
                                         BarlineCase{5, 100, 93}, BarlineCase{0, 50, 225}),
                         testsupport::NameBy("barline", &BarlineCase::barline, "percent", &BarlineCase::percent));

TEST_F(WordExtCommandTest, ALengthOfZeroWritesNothing) {
    // "Ahhhhh" is 144 wide: (144 - 24) + 25 - (144 + 4) < 0.
    StartHost(R"(
staff "Voice"
measures 1
system 1 1
notes 1 1 c4/2 d4/2
lyric verse 1 "Ahhhhh"
syllable 1 1:1 verse 1 1 extension 7
)");
    EXPECT_EQ(RunWithShift(kWordExtensions), 0);
    EXPECT_EQ(Assignments(1, 0), (Words{{1, 1, 0, 0, 7}}));
}

ORDINARY_MUSIC_CASES(WordExt, "tests/expressions/ordinary.cases", "wordext");

}  // namespace
