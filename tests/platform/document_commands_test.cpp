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
    ScriptMistake{"new a b", "7: error: \"b\" is one argument too many (usage: new SCORE-TEXT-FILE)"}),
    testsupport::NameBy(&ScriptMistake::line));
// clang-format on

}  // namespace
