// "Vx &Export to spreadsheet..." end to end: the table written for the selected staves and
// measures, tied entries joined, triplets in decimals, and the file check.
#include <fstream>
#include <sstream>

#include "tests/tools/notes_fixture.h"

namespace {

constexpr int32_t kExport = 137;

/// A quarter tied to an eighth, a rest, a note tied over the bar line and a grace note.
constexpr const char* kScore = R"(
staff "Flute"
staff "Cello"
measures 2 time 4/4
notes 1 1 c4~/4 c4/8 r/8 e4~/2
notes 1 2 e4/2 g4/2
notes 2 1 r/1
notes 2 2 d3/8g c3/1
)";

/// Three triplet eighths and a quarter rest; the test times them as a triplet and adds its record.
constexpr const char* kTripletScore = R"(
staff "Oboe"
measures 1 time 3/4
notes 1 1 c5/8 d5/8 e5/8 r/4
)";

class ExportTest : public testsupport::NotesTest {
protected:
    std::string FilePath() const { return (TempFolder() / "table.txt").string(); }
    std::string FileText() const {
        std::ifstream file(FilePath(), std::ios::binary);
        std::stringstream text;
        text << file.rdbuf();
        return text.str();
    }
    /// Makes the first three entries of measure 1 a triplet of eighths as the host times it.
    void MakeTriplet() {
        const std::array<hostapi::Edu, 4> positions{0, 341, 682, 1024};
        for (size_t i = 0; i < 3; ++i) {
            EditEntry(1, 1, i, [&](hostapi::EntryView entry) {
                entry.setPosition(positions[i]);
                entry.setActualDuration(positions[i + 1] - positions[i]);
            });
        }
        EditEntry(1, 1, 3, [](hostapi::EntryView entry) { entry.setPosition(1024); });
        EditEntry(1, 1, 0, [](hostapi::EntryView entry) { entry.setFlag(hostapi::kEntryTuplet, true); });
        std::vector<uint8_t> tuplet(30, 0);
        hostapi::WriteI16(tuplet.data(), 0, 3);
        hostapi::WriteI16(tuplet.data(), 2, 512);
        hostapi::WriteI16(tuplet.data(), 4, 2);
        hostapi::WriteI16(tuplet.data(), 6, 512);
        PutEntryRecord("E\x03TP", View(Cell(1, 1)[0]).number(), tuplet);
    }
};

TEST_F(ExportTest, WritesFiveLinesPerStaffWithTiesJoined) {
    StartHost(kScore);
    Select(1, 2, 1, 2);
    RunTool(kExport, {{"Row0", FilePath()}});
    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(FileText(),
              "Staff no. [ID],Staff Name,Data Type,Data\n\n"
              " 1. [1],Flute,measure,1,,,2,\n"
              ",,position,0.000,1536.000,2048.000,2048.000,\n"
              ",,pitch,C4,rest,E4,G4,\n"
              ",,MIDI pitch,60,rest,64,67,\n"
              ",,duration,1536.000,512.000,4096.000,2048.000,\n"
              "\n"
              " 2. [2],Cello,measure,1,2,,\n"
              ",,position,0.000,0.000,0.000,\n"
              ",,pitch,rest,D3,C3,\n"
              ",,MIDI pitch,rest,50,48,\n"
              ",,duration,4096.000,0.000,4096.000,\n"
              "\n");
}

TEST_F(ExportTest, TripletsTruncatedToTheChosenDecimals) {
    StartHost(kTripletScore);
    MakeTriplet();
    Select(1, 1, 1, 1);
    RunTool(kExport, {{"Row0", FilePath()}, {"Row1", "2"}, {"Row2", ";"}, {"Row3", ","}});
    EXPECT_TRUE(Messages().empty());
    EXPECT_NE(FileText().find(";;position;0,000;341,330;682,660;1024,000;\n"), std::string::npos) << FileText();
    EXPECT_NE(FileText().find(";;duration;341,330;341,330;341,330;1024,000;\n"), std::string::npos) << FileText();

    RunTool(kExport, {{"Row0", FilePath()}, {"Row1", "0"}, {"Row2", "::"}, {"Row3", "."}});
    EXPECT_NE(FileText().find(",,duration,341.000,341.000,341.000,1024.000,\n"), std::string::npos) << FileText();
}

TEST_F(ExportTest, TupletsNotUnderstoodAreRoundedWithOneMessage) {
    StartHost(kTripletScore);
    MakeTriplet();
    // A record that makes the eighths quarter-note triplets: 3 in the time of 4.
    std::vector<uint8_t> tuplet(30, 0);
    hostapi::WriteI16(tuplet.data(), 0, 3);
    hostapi::WriteI16(tuplet.data(), 2, 512);
    hostapi::WriteI16(tuplet.data(), 4, 4);
    hostapi::WriteI16(tuplet.data(), 6, 512);
    PutEntryRecord("E\x03TP", View(Cell(1, 1)[0]).number(), tuplet);
    Select(1, 1, 1, 1);
    RunTool(kExport, {{"Row0", FilePath()}});
    EXPECT_EQ(Messages(),
              std::vector<std::string>{"Error processing tuplets. Output will be rounded to integer values."});
    EXPECT_NE(FileText().find(",,position,0.000,341.000,682.000,1024.000,\n"), std::string::npos) << FileText();
    EXPECT_NE(FileText().find(",,duration,341.000,341.000,342.000,1024.000,\n"), std::string::npos) << FileText();
}

TEST_F(ExportTest, AFileThatCannotBeOpenedIsReported) {
    StartHost(kScore);
    Select(1, 1, 1, 1);
    RunTool(kExport, {{"Row0", (TempFolder() / "missing" / "table.txt").string()}});
    EXPECT_EQ(Messages(), std::vector<std::string>{"Could not write to file."});
}

}  // namespace
