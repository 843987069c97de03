// "Vx &Export to spreadsheet..." end to end: the table written for the selected staves and
// measures, tied entries joined, triplets in decimals, and the file check.
#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/tool_items.h"
#include "tests/tools/notes_fixture.h"

namespace {

constexpr int32_t kExport = orvex::ToolCode(orvex::ToolItem::ExportToSpreadsheet);

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

/// Three triplet eighths and a quarter rest.
constexpr const char* kTripletScore = R"(
staff "Oboe"
measures 1 time 3/4
notes 1 1 {3:2 c5/8 d5/8 e5/8} r/4 r/4
)";

/// The same eighths with a second tuplet record that the host's timing does not follow: 3 in the
/// time of 4 on top of the triplet.
constexpr const char* kMisreadTripletScore = R"(
staff "Oboe"
measures 1 time 3/4
notes 1 1 {3:2 c5/8 d5/8 e5/8} r/4 r/4
entryrecord 1 1:1 E\x03TP 0300 0002 0400 0002 0000 0000 0000 0000 0000 0000 0000 0000 0000 0000 0000
)";

/// A triplet of eighths inside a triplet of quarters, then a half rest.
constexpr const char* kNestedScore = R"(
staff "Oboe"
measures 1 time 4/4
notes 1 1 {3:2 c5/4 {3:2 d5/8 e5/8 f#5/8} g5/4} r/2
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
    Select(1, 1, 1, 1);
    RunTool(kExport, {{"Row0", FilePath()}, {"Row1", "2"}, {"Row2", ";"}, {"Row3", ","}});
    EXPECT_TRUE(Messages().empty());
    EXPECT_NE(FileText().find(";;position;0,000;341,330;682,660;1024,000;2048,000;\n"), std::string::npos)
        << FileText();
    EXPECT_NE(FileText().find(";;duration;341,330;341,330;341,330;1024,000;1024,000;\n"), std::string::npos)
        << FileText();

    RunTool(kExport, {{"Row0", FilePath()}, {"Row1", "0"}, {"Row2", "::"}, {"Row3", "."}});
    EXPECT_NE(FileText().find(",,duration,341.000,341.000,341.000,1024.000,1024.000,\n"), std::string::npos)
        << FileText();
    // The transcript says which file the export wrote, with its full path.
    EXPECT_TRUE(TranscriptHas("[file] wrote " + FilePath() + " (" +
                              std::to_string(std::filesystem::file_size(FilePath())) + " bytes)"));
}

TEST_F(ExportTest, NestedTupletsScaleEachOther) {
    StartHost(kNestedScore);
    Select(1, 1, 1, 1);
    RunTool(kExport, {{"Row0", FilePath()}, {"Row1", "3"}});
    EXPECT_TRUE(Messages().empty());
    // The inner eighths last 2/3 x 2/3 of 512; the last quarter ends on the half-rest's grid point.
    EXPECT_NE(FileText().find(",,position,0.000,682.666,910.221,1137.776,1365.331,2048.000,\n"), std::string::npos)
        << FileText();
    EXPECT_NE(FileText().find(",,duration,682.666,227.555,227.555,227.555,682.669,2048.000,\n"), std::string::npos)
        << FileText();
}

TEST_F(ExportTest, TupletsNotUnderstoodAreRoundedWithOneMessage) {
    StartHost(kMisreadTripletScore);
    Select(1, 1, 1, 1);
    RunTool(kExport, {{"Row0", FilePath()}});
    EXPECT_EQ(Messages(),
              std::vector<std::string>{"Error processing tuplets. Output will be rounded to integer values."});
    EXPECT_NE(FileText().find(",,position,0.000,341.000,682.000,1024.000,2048.000,\n"), std::string::npos)
        << FileText();
    EXPECT_NE(FileText().find(",,duration,341.000,341.000,342.000,1024.000,1024.000,\n"), std::string::npos)
        << FileText();
}

TEST_F(ExportTest, AFileThatCannotBeOpenedIsReported) {
    StartHost(kScore);
    Select(1, 1, 1, 1);
    RunTool(kExport, {{"Row0", (TempFolder() / "missing" / "table.txt").string()}});
    EXPECT_EQ(Messages(), std::vector<std::string>{"Could not write to file."});
}

}  // namespace
ORDINARY_MUSIC_CASES(Export, "tests/tools/ordinary.cases", "export");
