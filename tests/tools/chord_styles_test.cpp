// "Vx &Custom Chord Styles..." end to end through the entry walk: the chord symbols' roots hidden
// and their new names written in front of their suffixes, as the document holds them afterwards.
#include "tools/notes/chord_styles.h"
#include "core/tool_items.h"
#include "platform/vcl/graphics.h"
#include "tests/tools/notes_fixture.h"

namespace {

using orvex::SuffixElementLayout;
using testsupport::NotesTest;
using testsupport::Setting;

constexpr int32_t kCustomChordStyles = orvex::ToolCode(orvex::ToolItem::CustomChordStyles);

/// Four chords in C major: G with the suffix "7" (which has an information record), F sharp and
/// B flat and B without suffixes.
constexpr const char* kChordScore = R"(
font 0 "Times New Roman"
staff "Guitar"
measures 1
notes 1 1 c4/4 c4/4 c4/4 c4/4
suffix 1 "7" info
chord 1 1:1 g suffix 1
chord 1 1:2 f#
chord 1 1:3 bb
chord 1 1:4 b
)";

class ChordStylesTest : public NotesTest {
protected:
    /// The suffix elements as "character@x" words ("#@x" / "b@x" for the accidental element).
    std::string Suffix(hostapi::Cmper number) {
        std::string text;
        for (int16_t i = 0;; ++i) {
            const host::Bytes* element =
                Document().Records().Find(host::RecordKey::Other(orvex::kTagSuffixElement, number, i));
            if (element == nullptr) {
                return text;
            }
            const uint16_t flags = hostapi::ReadU16(element->data(), SuffixElementLayout::kFlags);
            const char character = flags == orvex::kSuffixSharp  ? '#'
                                   : flags == orvex::kSuffixFlat ? 'b'
                                                                 : static_cast<char>(element->at(0));
            text += (text.empty() ? "" : " ") + std::string(1, character) + "@" +
                    std::to_string(hostapi::ReadI16(element->data(), SuffixElementLayout::kX));
        }
    }
    /// The chord of entry `index`: its word and its suffix number.
    std::pair<uint16_t, int16_t> Chord(size_t index) {
        const std::vector<uint8_t> chord = EntryRecord(
            "E\x02"
            "Ch",
            View(Cell(1, 1)[index]).number());
        return {static_cast<uint16_t>(Word(chord, 0)), Word(chord, 2)};
    }
    /// The advance of a character of the new names: scaling x its width x 30 / 1000.
    static int32_t Advance(const std::string& text, int32_t scaling = 100) {
        vcl::TCanvas canvas;
        canvas.Font().SetName("Times New Roman");
        canvas.Font().SetSize(12);
        int32_t x = 0;
        for (char c : text) {
            x += scaling * canvas.TextWidth(std::string(1, c)) * 30 / 1000;
        }
        return x;
    }
    void Run(std::vector<Setting> settings = {}) {
        Select(1, 1, 1, 1);
        RunTool(kCustomChordStyles, settings);
    }
};

TEST_F(ChordStylesTest, CustomNamesGoInFrontOfTheSuffix) {
    StartHost(kChordScore);
    Run();
    EXPECT_TRUE(Messages().empty());
    // G7: "SOL" and the old "7" moved right by 12 x 100 / 100 x 5 / 10 + the name's width.
    const auto [gWord, gSuffix] = Chord(0);
    EXPECT_EQ(gWord & 0x0040, 0);
    EXPECT_EQ(gWord & 0x2000, 0x2000);
    const int32_t s = Advance("S");
    const int32_t so = Advance("SO");
    EXPECT_EQ(Suffix(gSuffix),
              "S@0 O@" + std::to_string(s) + " L@" + std::to_string(so) + " 7@" + std::to_string(6 + Advance("SOL")));
    // The new suffix takes the old one's information record.
    EXPECT_NE(Document().Records().Find(host::RecordKey::Other(orvex::kTagSuffixInfo, gSuffix, 0)), nullptr);
    // F sharp: "FA", then the sharp after 5 units, then 20 more.
    const auto [fWord, fSuffix] = Chord(1);
    EXPECT_EQ(Suffix(fSuffix), "F@0 A@" + std::to_string(Advance("F")) + " #@" + std::to_string(Advance("FA") + 5));
}

TEST_F(ChordStylesTest, GermanBNamesOnlyNaturalAndSharpB) {
    StartHost(kChordScore + std::string("chord 1 1:4 b#\n"));
    Run({{"Row0", "1"}, {"Row1", "0"}});
    EXPECT_EQ(Chord(0).first & 0x0040, 0x0040);  // G keeps its name
    EXPECT_EQ(Chord(2).first & 0x0040, 0x0040);  // B flat too
    EXPECT_EQ(Suffix(Chord(3).second), "H@0");
    // B sharp on the same entry: "H" and the sharp element.
    const std::vector<uint8_t> second = EntryRecord(
        "E\x02"
        "Ch",
        View(Cell(1, 1)[3]).number(), 1);
    EXPECT_EQ(Suffix(Word(second, 2)), "H@0 #@" + std::to_string(Advance("H") + 5));
}

TEST_F(ChordStylesTest, EqualNamesShareOneSuffixAndASecondRunLeavesThemAlone) {
    StartHost(kChordScore + std::string("chord 1 1:3 f#\n"));
    Run();
    const int16_t first = Chord(1).second;
    const std::vector<uint8_t> other = EntryRecord(
        "E\x02"
        "Ch",
        View(Cell(1, 1)[2]).number(), 1);
    EXPECT_EQ(Word(other, 2), first);
    const host::RecordStore before = Document().Records();
    Run();
    EXPECT_TRUE(Document().Records() == before);
}

// A run that renames nothing (no custom names, no special B names) writes no name, so the font
// of the new names does not come into the document's font table: the document stays as it was.
TEST_F(ChordStylesTest, ARunThatRenamesNothingAddsNoFont) {
    StartHost(kChordScore);
    const host::FontTable fonts = Document().Fonts();
    const host::RecordStore before = Document().Records();
    Run({{"Row0", "0"}, {"Row1", "0"}, {"Row9", "Arial"}});
    EXPECT_EQ(Document().Fonts(), fonts);
    EXPECT_TRUE(Document().Records() == before);
    // A run that renames adds the font its names are written in.
    Run({{"Row0", "1"}, {"Row1", "0"}, {"Row9", "Arial"}});
    EXPECT_EQ(Document().Fonts().size(), fonts.size() + 1);
}

TEST_F(ChordStylesTest, DoubleSharpStopsTheEntryOnly) {
    StartHost(kChordScore + std::string("chord 1 1:2 c##\nchord 1 1:3 d\n"));
    Run();
    EXPECT_EQ(Messages(), std::vector<std::string>{"No double flats or double sharps, please!"});
    // Entry 2's second chord is the double sharp: its first one was renamed before it; entry 3's
    // chords after it are still renamed.
    EXPECT_EQ(Chord(1).first & 0x0040, 0);
    const std::vector<uint8_t> third = EntryRecord(
        "E\x02"
        "Ch",
        View(Cell(1, 1)[2]).number(), 1);
    EXPECT_EQ(Word(third, 0) & 0x0040, 0);
}

}  // namespace
ORDINARY_MUSIC_CASES(ChordStyles, "tests/tools/ordinary.cases", "chord styles");
