// The cue-sheet import end to end: a cue file written by the test, "Vx Auricle Import..." chosen
// from the host's menu with the file in its options, and the document's expressions, placements,
// measures and marker lines read back.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "core/host/finxess.h"
#include "core/tool_items.h"
#include "tests/tools/notes_fixture.h"

namespace {

using hostapi::MakeTag;

constexpr int32_t kImport = orvex::ToolCode(orvex::ToolItem::AuricleImport);

constexpr const char* kScore = R"(
staff "Flute"
measures 12
)";

/// A title line, two timing lines (measure 1, measure 12 in 3/8 at 96) and a hit in measure 12.
constexpr const char* kCue =
    "Cue: 1M1,Project: Nightfall,03/04/99\r\n"
    "-,1,,4|4,,120.00,01:00:00:00,0.00,,5-FLTR\r\n"
    "-,12,,3|8,,96,01:00:20:00,20.00,,Swell\r\n"
    "HIT,12,2,00:20.5,,Door slam,01:00:20:12\r\n";

/// One placement: the expression's text, position, vertical offset and staff word.
using Placement = std::tuple<std::string, int16_t, int16_t, int16_t>;

class CueSheetImportTest : public testsupport::NotesTest {
protected:
    int16_t Import(const std::string& cue, std::vector<testsupport::Setting> settings = {}) {
        StartHost(kScore);
        const auto path = TempFolder() / "cue.txt";
        std::ofstream(path, std::ios::binary) << cue;
        settings.insert(settings.begin(), {"Row0", path.string()});
        Select(1, 1, 1, 12);
        return RunTool(kImport, settings);
    }

    const host::Bytes* Record(const char (&tag)[5], int16_t cmper, int16_t inci = 0) {
        return Document().Records().Find(host::RecordKey::Other(MakeTag(tag), cmper, inci));
    }
    std::string ExpressionText(int16_t number) {
        const host::Bytes* bytes = Record("SODT", number);
        return bytes == nullptr ? "<none>" : std::string(reinterpret_cast<const char*>(bytes->data()) + 12);
    }
    /// Every expression of the document by its text.
    std::map<std::string, int16_t> Expressions() {
        std::map<std::string, int16_t> numbers;
        for (int16_t n = 1; Record("SODT", n) != nullptr; ++n) {
            numbers[ExpressionText(n)] = n;
        }
        return numbers;
    }
    std::vector<Placement> Placements(int16_t measure) {
        std::vector<Placement> placements;
        for (int16_t inci = 0;; ++inci) {
            const host::Bytes* bytes = Record("otDY", measure, inci);
            if (bytes == nullptr) {
                return placements;
            }
            const uint8_t* b = bytes->data();
            placements.emplace_back(ExpressionText(hostapi::ReadI16(b, 0)), hostapi::ReadI16(b, 2),
                                    hostapi::ReadI16(b, 4), hostapi::ReadI16(b, 10));
        }
    }
    int16_t MeasureWord(int16_t measure, size_t offset) {
        const host::Bytes* bytes = Record("SOMS", measure);
        return bytes == nullptr ? int16_t{-9999} : hostapi::ReadI16(bytes->data(), offset);
    }
    std::string Playback(int16_t number) {
        const host::Bytes* bytes = Record("otDe", number);
        return bytes == nullptr ? "" : orvex::BytesToHex(bytes->data(), bytes->size());
    }
};

TEST_F(CueSheetImportTest, ImprovedStyleWritesTitleTimingAndHit) {
    Import(kCue, {{"Row10", "2048"}});
    const int16_t staff = 0x1000 + 1;
    // The title block: both texts as long as the longer, bold, with the title playback data.
    const std::string file = "File: Nightfall 1M1";
    const std::string date = "Date: 03/04/99     ";
    const std::map<std::string, int16_t> numbers = Expressions();
    ASSERT_EQ(numbers.count(file), 1u);
    EXPECT_EQ(Playback(numbers.at(file)), "0000000004000200A0000110");
    EXPECT_EQ(Placements(1), (std::vector<Placement>{{file, 0, 122, staff},
                                                     {date, 0, 66, staff},
                                                     {"MM 120", 0, 169, staff},
                                                     {"Start: 01:00:00:00", 0, -176, staff}}));
    // The tempo mark of measure 1 carries its tempo and beat; the one of measure 12 goes with the hit.
    const host::Bytes* tempo = Record("SODT", numbers.at("MM 120"));
    ASSERT_NE(tempo, nullptr);
    EXPECT_EQ(hostapi::ReadI16(tempo->data(), 4), 120);
    EXPECT_EQ(hostapi::ReadI16(tempo->data(), 6), 1024);
    EXPECT_EQ(hostapi::ReadU16(tempo->data(), 10), 0x1001);
    EXPECT_EQ(numbers.count("MM 96"), 0u);

    // Measure 12 becomes 3/8; its hit shows the time with the tempo, the SMPTE time with the kept
    // streamer, and the description larger.
    EXPECT_EQ(MeasureWord(12, 4), 3);
    EXPECT_EQ(MeasureWord(12, 6), 512);
    EXPECT_EQ(Placements(12), (std::vector<Placement>{{"01:00:20:00", 0, -176, staff},
                                                      {"20", 0, -120, staff},
                                                      {" 20.5 MM 96       ", 1024, 160, staff},
                                                      {" 01:00:20:12/Swell", 1024, 104, staff},
                                                      {" Door slam ", 1024, 27, staff}}));
    EXPECT_EQ(hostapi::ReadI16(Record("SODT", numbers.at(" Door slam "))->data(), 0) >> 8, 16);
    EXPECT_EQ(Playback(numbers.at(" Door slam ")), "00000000F2FF0200A0000110");
    EXPECT_EQ(MeasureWord(12, 10) & 0x4000, 0x4000);

    // Two marker lines from 2048 EDU before the hit, back into measure 11, to the hit.
    for (int16_t shape = 1; shape <= 2; ++shape) {
        SCOPED_TRACE(shape);
        const host::Bytes* bytes = Record("O\x07Sx", shape);
        ASSERT_NE(bytes, nullptr);
        EXPECT_EQ(hostapi::ReadI16(bytes->data(), 8), 11);
        EXPECT_EQ(hostapi::ReadI32(bytes->data(), 10), 3072);
        EXPECT_EQ(hostapi::ReadI16(bytes->data(), 38), 12);
        EXPECT_EQ(hostapi::ReadI32(bytes->data(), 40), 1024);
        EXPECT_EQ(hostapi::ReadI16(bytes->data(), 16), 193);
        EXPECT_EQ(hostapi::ReadI16(bytes->data(), 6), 1);
        const int16_t lineStyle = hostapi::ReadI16(bytes->data(), 80);
        ASSERT_NE(Record("O\x06ls", lineStyle), nullptr);
        EXPECT_EQ(Record("O\x06ls", lineStyle)->at(22), shape == 1 ? 0x40 : 0xC0);
    }
    EXPECT_EQ(hostapi::ReadI16(Record("otMx", 11, 1)->data(), 0), 2);
    EXPECT_EQ(MeasureWord(11, 8) & 0x2000, 0x2000);
    EXPECT_TRUE(Messages().empty());
}

TEST_F(CueSheetImportTest, ClassicStylePlacesEachTempoChangeAndStreamer) {
    Import(
        "Cue: 2M3,Project: P,D\n"
        "-,2,,4|4,,96,,,,5-FLTR\n"
        "-,3,,4|4,,96,,,,Swell\n"
        "-,4,,2|x,,72.5,,,,\n",
        {{"Row1", "0"}});
    const int16_t staff = 0x1000 + 1;
    EXPECT_EQ(Placements(2), (std::vector<Placement>{{"MM 96", 0, 169, staff}}));
    EXPECT_EQ(Placements(3), (std::vector<Placement>{{"Swell", 0, 248, staff}}));
    EXPECT_EQ(Placements(4), (std::vector<Placement>{{"MM 72", 0, 169, staff}}));
    // A beat unit that is no number is a quarter.
    EXPECT_EQ(MeasureWord(4, 4), 2);
    EXPECT_EQ(MeasureWord(4, 6), 1024);
}

TEST_F(CueSheetImportTest, EmptyFieldsAtALinesEndAreReadAndMissingMeasuresSkipped) {
    Import(
        "Cue: 1M1,Project: P,D\n"
        "-,3,,4|4,,120,,,,Swell\n"
        "-,4,,4|4,,120,,,,\n"
        "HIT,5,1,00:10,,Bang,01:00:10:00\n"
        "HIT,6,1,00:12,,Crash,\n"
        "-,50,,4|4,,96,01:00:50:00,50.00,Visual,\n"
        "HIT,,1,00:02,,Tap,\n");
    const int16_t staff = 0x1000 + 1;
    // The empty streamer field of measure 4 cleared the streamer kept from measure 3.
    EXPECT_EQ(Placements(5),
              (std::vector<Placement>{
                  {" 10 MM 120  ", 0, 160, staff}, {" 01:00:10:00", 0, 104, staff}, {" Bang ", 0, 27, staff}}));
    // An empty SMPTE field still makes the hit, with its marker lines.
    EXPECT_EQ(Placements(6),
              (std::vector<Placement>{
                  {" 12 MM 120", 0, 160, staff}, {"          ", 0, 104, staff}, {" Crash ", 0, 27, staff}}));
    const host::Bytes* marker = Record("O\x07Sx", 3);
    ASSERT_NE(marker, nullptr);
    EXPECT_EQ(hostapi::ReadI16(marker->data(), 38), 6);
    // A hit without its measure number is in measure 1, where hits are not placed: the measure
    // keeps the title block alone, and is not missing.
    EXPECT_EQ(Placements(1), (std::vector<Placement>{{"File: P 1M1", 0, 122, staff}, {"Date: D    ", 0, 66, staff}}));
    // Measure 50 does not exist: nothing of its line is placed or made, and the user is told.
    EXPECT_TRUE(Placements(50).empty());
    EXPECT_EQ(Record("SOMS", 50), nullptr);
    EXPECT_EQ(Expressions().count("Visual"), 0u);
    EXPECT_EQ(Messages(), std::vector<std::string>{"The cue sheet names measures this document does not have (50). "
                                                   "Nothing was placed for them."});
}

TEST_F(CueSheetImportTest, FileThatCannotBeOpenedChangesNothing) {
    StartHost(kScore);
    const host::RecordStore::Map before = Document().Records().Records();
    Select(1, 1, 1, 12);
    RunTool(kImport, {{"Row0", (TempFolder() / "missing.txt").string()}});
    EXPECT_TRUE(Messages().empty());
    EXPECT_TRUE(Document().Records().Records() == before);
}

ORDINARY_MUSIC_CASES(CueSheet, "tests/expressions/ordinary.cases", "cuesheet");

}  // namespace
