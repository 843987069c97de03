// hostsim's document commands run by the script runner in this process: new, open, save,
// front and dump records, with what the transcript shows.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "apps/hostsim/script.h"
#include "platform/host/host.h"
#include "platform/host/mus_file.h"
#include "platform/host/score_text.h"
#include "platform/win/win.h"
#include "tests/support/case_names.h"
#include "tests/support/fixture.h"

namespace {

const char* const kDuet = R"(staff "Sopran" "S."
staff "Alt"
measures 1 time 3/4
)";

class DocumentCommandsTest : public testsupport::DesktopTest {
protected:
    /// Runs script lines; answers the transcript lines they wrote and any error.
    std::vector<std::string> Run(const std::string& script, std::string* error = nullptr) {
        const size_t before = win::TranscriptLines().size();
        std::istringstream in(script);
        std::ostringstream errors;
        m_runner->Run(in, "test.script", errors);
        if (error != nullptr) {
            *error = errors.str();
        } else {
            EXPECT_EQ(errors.str(), "");
        }
        const auto& lines = win::TranscriptLines();
        return std::vector<std::string>(lines.begin() + static_cast<std::ptrdiff_t>(before), lines.end());
    }

    std::string Path(const char* name) { return (TempFolder() / name).string(); }

    void SetUp() override {
        DesktopTest::SetUp();
        m_hostPtr = std::make_unique<host::Host>();
        m_runner = std::make_unique<hostsim::ScriptRunner>(*m_hostPtr, hostsim::ScriptRunner::Settings{});
    }
    void TearDown() override {
        ExpectNothingLeft();
        m_runner.reset();
        m_hostPtr.reset();
        DesktopTest::TearDown();
    }

    std::unique_ptr<host::Host> m_hostPtr;
    std::unique_ptr<hostsim::ScriptRunner> m_runner;
};

TEST_F(DocumentCommandsTest, NewSaveOpenFrontAndDump) {
    std::ofstream(TempFolder() / "duet.score") << kDuet;
    const std::vector<std::string> expected = {
        "> new " + Path("duet.score"),
        "host: made document 1 \"duet\" from " + Path("duet.score") + ", 11 records",
        "> save " + Path("duet.MUS"),
        "host: saved document 1 \"duet\" as " + Path("duet.MUS") + ", 11 records",
        "> open " + Path("duet.MUS"),
        "host: " + Path("duet.MUS") + " is open already as document 1 \"duet\", which comes to the front",
        "> open " + Path("other.MUS"),
        "host: opened document 2 \"other\", 11 records",
        "> front 1",
        "host: document 1 \"duet\" is in front",
        "> dump records SOIS",
        "records of document 1 \"duet\": 2 'SOIS' of 11",
        "  'SOIS' other (1, 0), 66 bytes: full name \"Sopran\" (text block 1), abbreviated name \"S.\" (text block 2)",
        "  'SOIS' other (2, 0), 66 bytes: full name \"Alt\" (text block 3), abbreviated name none",
        "> dump records SOMS",
        "records of document 1 \"duet\": 1 'SOMS' of 11",
        "  'SOMS' other (1, 0), 24 bytes: width 240, key 0x0000, 3 beats of 1024 EDU, flags 0x0000 0x0000",
    };
    host::WriteMusFile(*host::ParseScoreText(kDuet, "other"), TempFolder() / "other.MUS");
    testsupport::ExpectLines(
        expected, Run("new " + Path("duet.score") + "\nsave " + Path("duet.MUS") + "\nopen " + Path("duet.MUS") +
                      "\nopen " + Path("other.MUS") + "\nfront 1\ndump records SOIS\ndump records SOMS\n"));
    EXPECT_EQ(win::GetWindowText(m_hostPtr->MainWindow()), "Finale 2000 - [duet.MUS]");
}

TEST_F(DocumentCommandsTest, ListingShowsTextsAndUnknownRecords) {
    std::ofstream(TempFolder() / "one.score") << "staff \"Flöte\"\n";
    Run("new " + Path("one.score"));
    m_hostPtr->FrontDocument()->Records().Save(host::RecordKey::Other(hostapi::MakeTag("O\x02SS"), 1, 0),
                                               {1, 2, 3, 0xAB, 5});
    // A text with the control characters 0x7F and 0x1F: both shown escaped.
    m_hostPtr->FrontDocument()->Records().Save(host::RecordKey::Other(hostapi::MakeTag("txbl"), 2, 0),
                                               {'a', 0x7F, 'b', 0x1F, 0});
    const std::vector<std::string> expected = {
        "> dump records",
        "records of document 1 \"one\": 6",
        "  'O\\x02SS' other (1, 0), 5 bytes: 0102 03AB 05",
        "  'SOIS' other (1, 0), 66 bytes: full name \"Flöte\" (text block 1), abbreviated name none",
        "  'SOIu' other (0, 0), 24 bytes: staff 1, position 0",
        "  'SOTX' other (1, 0), 48 bytes: text 'txbl' 1",
        "  'txbl' other (1, 0), 6 bytes: \"Flöte\"",
        "  'txbl' other (2, 0), 5 bytes: \"a\\x7Fb\\x1F\"",
        "> dump records O\\x02SS",
        "records of document 1 \"one\": 1 'O\\x02SS' of 6",
        "  'O\\x02SS' other (1, 0), 5 bytes: 0102 03AB 05",
    };
    testsupport::ExpectLines(expected, Run("dump records\ndump records O\\x02SS\n"));
}

TEST_F(DocumentCommandsTest, FileProblemsAreReportedAndGoOnOnlyWhenAsked) {
    std::ofstream(TempFolder() / "bad.score") << "staff \"A\"\nmeasures many\n";
    std::ofstream(TempFolder() / "bad.MUS") << "MUS 1\nrecord SOMS other 1 0 hex 1 00\n";
    const std::vector<std::string> expected = {
        "> new " + Path("bad.score"),
        "host: cannot make a document from " + Path("bad.score") +
            ": line 2: measures: the number of measures \"many\" is not a number (measures COUNT [time BEATS/UNIT] "
            "[key KEY] [width EVPU])",
        "> open " + Path("bad.MUS"),
        "host: cannot open " + Path("bad.MUS") + ": line 2: the file ends without its \"end\" line; it is truncated",
    };
    m_runner = std::make_unique<hostsim::ScriptRunner>(*m_hostPtr, hostsim::ScriptRunner::Settings{{}, true});
    std::string error;
    testsupport::ExpectLines(expected, Run("new " + Path("bad.score") + "\nopen " + Path("bad.MUS") + "\n", &error));
    EXPECT_EQ(m_runner->ErrorCount(), 2u) << error;
    EXPECT_NE(error.find(Path("bad.score") + ":2:10: note: here\n    2 | measures many\n"), std::string::npos) << error;
    EXPECT_EQ(m_hostPtr->DocumentCount(), 0);
    EXPECT_EQ(win::GetWindowText(m_hostPtr->MainWindow()), "Finale 2000");
}

TEST_F(DocumentCommandsTest, AFolderIsNoDocument) {
    std::filesystem::create_directory(TempFolder() / "scores.MUS");
    std::string error;
    Run("open " + Path("scores.MUS") + "\n", &error);
    EXPECT_TRUE(error.starts_with("test.script:1:6: error: cannot open " + Path("scores.MUS") +
                                  ": it is a folder, not a document file\n"))
        << error;
    Run("new " + Path("scores.MUS") + "\n", &error);
    EXPECT_TRUE(error.starts_with("test.script:1:5: error: cannot make a document from " + Path("scores.MUS") +
                                  ": it is a folder, not a score text file\n"))
        << error;
    EXPECT_EQ(m_hostPtr->DocumentCount(), 0);
}

// "check document" lists what no sound document holds; "since" a saved state only what came
// after it: an entry gone under its slur and its link, a layer that no longer adds up, a group
// name's text block gone, a record cut short, a tuplet record on an entry without the flag. The
// half note that never filled measure 2 is the document's own, not a change's.
TEST_F(DocumentCommandsTest, CheckDocumentListsWhatNoSoundDocumentHolds) {
    std::ofstream(TempFolder() / "duo.score") << "staff \"Flute\"\nstaff \"Oboe\"\nmeasures 2\n"
                                                 "notes 1 1 c5/4 d5/4 e5/4 f5/4\nnotes 1 2 c5/2\n"
                                                 "notes 2 1 c4/1\nnotes 2 1 layer 2 e4/1\n"
                                                 "shape 0 1 1:1 1:4\ngroup 1 2 \"Winds\"\n";
    std::string warning;  // the score text's measure 2 is short
    Run("new " + Path("duo.score"), &warning);
    EXPECT_NE(warning.find("staff 1, measure 2, layer 1 is short"), std::string::npos) << warning;
    // A cell's clef record cut short before: its copy under another key is the same damage.
    host::Document& document = *m_hostPtr->FrontDocument();
    const host::Bytes cut = {1, 0};
    document.Records().Save(host::RecordKey::Detail(hostapi::MakeTag("SDGF"), 1, 2, 0), cut);
    Run("save " + Path("before.MUS"));  // the document is named after the file
    document.Records().Save(host::RecordKey::Detail(hostapi::MakeTag("SDGF"), 2, 2, 0), cut);
    host::CellEntries flute = document.EntriesOf({1, 1, 0});
    const hostapi::EntryNumber first = hostapi::ConstEntryView(flute[0].data()).number();
    const hostapi::EntryNumber third = hostapi::ConstEntryView(flute[2].data()).number();
    flute.erase(flute.begin());
    document.SetEntries({1, 1, 0}, flute);
    host::CellEntries second = document.EntriesOf({2, 1, 1});
    hostapi::EntryView(second[0].data()).setActualDuration(1024);
    document.SetEntries({2, 1, 1}, second);
    document.Records().Delete(host::RecordKey::Other(hostapi::MakeTag("SOTX"), 3, 0));
    document.Records().Save(host::RecordKey::Other(hostapi::MakeTag("SOIS"), 2, 0), host::Bytes(30, 0));
    document.Records().Save(host::RecordKey::EntryDetail(hostapi::MakeTag("E\x03TP"), third, 0), host::Bytes(30, 0));
    const std::vector<std::string> lines = Run("check document since " + Path("before.MUS") + "\ncheck document\n");
    const std::string one = std::to_string(first);
    const std::string three = std::to_string(third);
    testsupport::ExpectLines(
        {
            "> check document since " + Path("before.MUS"),
            "document check of document 1 \"before\" since " + Path("before.MUS") + ": 7 new problems",
            "  'E\\x03TP' entry (" + three + ", 0) belongs to entry " + three +
                ", which lacks the flag of such records",
            "  'O\\x07Sx' other (1, 0) names entry " + one + ", which the document does not hold",
            "  'SDNG' detail (0, 1, 0) names text block 3, which the document does not hold",
            "  'SOIS' other (2, 0) is shorter than its kind: it holds 30 of 66 bytes",
            "  'edEx' entry (" + one + ", 0) names entry " + one + ", which the document does not hold",
            "  staff 1, measure 1, layer 1 does not add up to its time signature: its entries last 3072 of 4096 EDU",
            "  staff 2, measure 1, layer 2 does not add up to its time signature: its entries last 1024 of 4096 EDU",
        },
        std::vector<std::string>(lines.begin(), lines.begin() + 9));
    EXPECT_EQ(lines[9], "> check document");
    EXPECT_EQ(lines[10], "document check of document 1 \"before\": 10 problems");
    EXPECT_EQ(lines[11], "  'E\\x03TP' entry (" + three + ", 0) belongs to entry " + three +
                             ", which lacks the flag of such records");
    EXPECT_NE(std::find(lines.begin() + 11, lines.end(),
                        "  'SDGF' detail (2, 2, 0) is shorter than its kind: it holds 2 of 12 bytes"),
              lines.end());
    EXPECT_NE(std::find(lines.begin() + 11, lines.end(),
                        "  staff 1, measure 2, layer 1 does not add up to its time signature: its entries last 2048 of "
                        "4096 EDU"),
              lines.end());
}

struct ScriptMistake {
    const char* line;
    const char* error;
};

class DocumentCommandMistakeTest : public DocumentCommandsTest, public ::testing::WithParamInterface<ScriptMistake> {};

TEST_P(DocumentCommandMistakeTest, StopsTheScript) {
    std::string error;
    const std::vector<std::string> lines = Run(std::string(GetParam().line) + "\nquit\n", &error);
    // The error, then the line with a caret under the column.
    EXPECT_EQ(error.substr(0, error.find('\n')), std::string("test.script:1:") + GetParam().error);
    EXPECT_EQ(std::count(error.begin(), error.end(), '\n'), 3) << error;
    EXPECT_EQ(std::find(lines.begin(), lines.end(), "> quit"), lines.end());
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Lines, DocumentCommandMistakeTest, ::testing::Values(
    ScriptMistake{"save x.MUS", "1: error: no document is open"},
    ScriptMistake{"dump records", "1: error: no document is open"},
    ScriptMistake{"front 2", "1: error: there is no document 2 (0 documents are open)"},
    ScriptMistake{"dump records SOI", "14: error: not a tag: SOI (four characters, \\xNN for any other byte)"},
    ScriptMistake{"open", "5: error: an argument is missing (usage: open FILE.MUS)"},
    ScriptMistake{"new a b", "7: error: \"b\" is one argument too many (usage: new SCORE-TEXT-FILE)"},
    ScriptMistake{"check document", "1: error: no document is open"},
    ScriptMistake{"check document after x", "16: error: \"after\" is not \"since\" (usage: check document [since FILE.MUS|FILE.score])"},
    ScriptMistake{"check document since", "21: error: an argument is missing (usage: check document [since FILE.MUS|FILE.score])"}),
    testsupport::NameBy(&ScriptMistake::line));
// clang-format on

}  // namespace
