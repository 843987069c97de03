// Printing many files, end to end in one process: the print form hands the run to the
// dispatcher, which opens each selected file in the simulated host by keys; the TNow timer
// prints and closes it. Copies per file from rule sets, the pause question, the end of the run,
// and a file the host cannot open.
#include <gtest/gtest.h>

#include <fstream>

#include "core/hooks.h"
#include "core/module.h"
#include "platform/host/mus_file.h"
#include "platform/vcl/application.h"
#include "platform/vcl/registry.h"
#include "platform/win/message_box.h"
#include "platform/win/transcript.h"
#include "platform/win/ui_driver.h"
#include "tests/support/case_names.h"
#include "tests/support/orvex_host.h"

namespace {

using namespace orvex;
using Kind = win::FormAction::Kind;

constexpr const char* kScore = R"(
staff "Flute"
measures 2 time 4/4
)";

struct RunSettings {
    std::vector<std::string> files;
    std::string copies = "2";
    std::string pause;
    bool individual = false;
};

class PrintRunTest : public testsupport::OrvexHostTest {
protected:
    void SetUp() override {
        OrvexHostTest::SetUp();
        StartHost(kScore);
    }

    /// The host (in a language) with the user's own document "score" in front; the first tick
    /// has built the product menu.
    void StartIn(host::Language language, int32_t rawVersion) {
        m_host.reset();
        orvex::ResetModule();
        lumvar::ResetModuleState();
        {
            vcl::TRegistry registry;
            registry.OpenKey("Software\\HALVORAN", true);
            registry.WriteString(rawVersion >= 0x5000000 ? "asknl2k" : "asknl", "1");
        }
        m_host = std::make_unique<host::Host>((TempFolder() / "Finale" / "FINALE.EXE").string());
        m_host->SetRawVersion(rawVersion);
        m_host->SetLanguage(language);
        m_host->AddDocument(host::ParseScoreText(kScore, "score"));
        ASSERT_TRUE(m_host->LoadInProcessPlugin("Lumvar2000.fxt", {lumvar::LumvarExport, {}}));
        ASSERT_TRUE(m_host->LoadInProcessPlugin("Orvex188.fxt", {orvex::OrvexExport, {}}));
        m_orvex = m_host->Plugins().size() - 1;
        win::Idle(500);
        win::ClearTranscript();
    }

    std::filesystem::path Folder() const { return TempFolder() / "scores"; }

    /// Document files made from the score, in the scores folder.
    void WriteScores(const std::vector<std::string>& names) {
        std::filesystem::create_directories(Folder());
        for (const std::string& name : names) {
            host::WriteMusFile(*host::ParseScoreText(kScore, name), Folder() / name);
        }
    }

    /// The user opens the print form, picks the files and the numbers and clicks Go!; the host
    /// then runs for `milliseconds`.
    void Print(const RunSettings& settings, uint32_t milliseconds = 6000) {
        const auto set = [](const char* control, const std::string& value) {
            win::QueueFormAction("TPrintMultipleFiles", {Kind::Set, control, value});
        };
        set("edPath", Folder().string());
        for (const std::string& file : settings.files) {
            set("ListBox", "+" + file);
        }
        set("edCopies", settings.copies);
        set("edPause", settings.pause);
        if (settings.individual) {
            set("cbIndividual", "checked");
        }
        win::QueueFormAction("TPrintMultipleFiles", {Kind::Click, "OkButton", ""});
        // The form only starts the run: no document changes.
        EXPECT_EQ(Invoke(static_cast<int16_t>(FindCommandIndex(CODE_PRINT_MULTIPLE_FILES))), 0);
        win::Idle(milliseconds);
    }

    /// What the host did: the transcript's "host: " lines.
    static std::vector<std::string> HostLines() {
        std::vector<std::string> lines;
        for (const std::string& line : win::TranscriptLines()) {
            if (line.starts_with("host: ")) {
                lines.push_back(line);
            }
        }
        return lines;
    }

    /// The host's lines for one file: opened as document 2, printed, closed.
    std::vector<std::string> Printed(const std::string& name, const std::string& copies) const {
        const size_t records = host::ReadMusFile(Folder() / name)->Records().Count();
        // Documents are named after their files without the extension.
        const std::string document = std::filesystem::path(name).stem().string();
        return {"host: opened document 2 \"" + document + "\", " + std::to_string(records) + " records",
                "host: printed " + document + " (" + (Folder() / name).string() + ") on the printer, " + copies,
                "host: closed document 2 \"" + document + "\""};
    }

    static std::vector<std::string> Joined(std::initializer_list<std::vector<std::string>> parts) {
        std::vector<std::string> all;
        for (const auto& part : parts) {
            all.insert(all.end(), part.begin(), part.end());
        }
        return all;
    }

    void ExpectRunEnded() {
        EXPECT_EQ(TheModule.hooks.PrintContext, nullptr);
        ASSERT_TRUE(TheModule.hooks.Now);
        EXPECT_FALSE(TheModule.hooks.Now->Timer->Enabled());
        // The user's own document is the one left, in front.
        EXPECT_EQ(m_host->DocumentCount(), 1);
        EXPECT_EQ(Document().Name(), "score");
    }
};

TEST_F(PrintRunTest, ThreeFilesAreOpenedPrintedAndClosedOneAfterTheOther) {
    // "Alto" begins with the "A" that the key automation types without Shift: the host finds
    // the file regardless of case.
    WriteScores({"Alto.MUS", "Bass.MUS", "Cello.MUS", "Drums.MUS"});
    Print({{"Alto.MUS", "Bass.MUS", "Drums.MUS"}, "2", ""});
    testsupport::ExpectLines(
        Joined({Printed("Alto.MUS", "2 copies"), Printed("Bass.MUS", "2 copies"), Printed("Drums.MUS", "2 copies")}),
        HostLines());
    ExpectRunEnded();
    EXPECT_EQ(TheModule.dispatch.ModelessFormList.size(), 1u);  // the form stays open
}

TEST_F(PrintRunTest, CopiesPerFileComeFromTheChosenRuleSet) {
    WriteScores({"Alto-part.MUS", "Horn-part.MUS", "Oboe-part.MUS", "Score.MUS"});
    {
        vcl::TRegistry registry;
        registry.OpenKey("Software\\HALVORAN", true);
        registry.WriteString("Rule#2", "Other:SCORE,9");
        registry.WriteString("Rule#5", "Parts:PART,3:oboe,1:horn,0:,");
    }
    win::QueueFormAction("TfmCopies", {Kind::Set, "cbRules", "Parts"});
    win::QueueFormAction("TfmCopies", {Kind::Click, "btApply", ""});
    win::QueueFormAction("TfmCopies", {Kind::Click, "OkBtn", ""});
    Print({{"Alto-part.MUS", "Horn-part.MUS", "Oboe-part.MUS", "Score.MUS"}, "2", "", true});
    // A rule matches regardless of case, a later rule wins, a file no rule names keeps the copies
    // of the print form. A file set to 0 copies gets 0 typed, which the host does not print.
    std::vector<std::string> horn = Printed("Horn-part.MUS", "");
    horn[1] = "host: cannot print Horn-part: \"0\" is not a number of copies";
    testsupport::ExpectLines(Joined({Printed("Alto-part.MUS", "3 copies"), horn, Printed("Oboe-part.MUS", "1 copy"),
                                     Printed("Score.MUS", "2 copies")}),
                             HostLines());
    ExpectRunEnded();
}

TEST_F(PrintRunTest, ACopiesTextThatIsNotANumberPrintsOneCopyPerFile) {
    WriteScores({"Alto.MUS"});
    win::QueueFormAction("TfmCopies", {Kind::Click, "OkBtn", ""});
    Print({{"Alto.MUS"}, "two", "", true});
    testsupport::ExpectLines(Printed("Alto.MUS", "1 copy"), HostLines());
    ExpectRunEnded();
}

TEST_F(PrintRunTest, CancelInTheCopiesFormPrintsNothing) {
    WriteScores({"Alto.MUS"});
    win::QueueFormAction("TfmCopies", {Kind::Click, "btCancel", ""});
    Print({{"Alto.MUS"}, "1", "", true});
    EXPECT_TRUE(HostLines().empty());
    EXPECT_EQ(TheModule.hooks.PrintContext, nullptr);
}

TEST_F(PrintRunTest, GoWithoutASelectedFileDoesNothing) {
    WriteScores({"Alto.MUS"});
    Print({{}, "1", ""});
    EXPECT_TRUE(HostLines().empty());
    EXPECT_EQ(TheModule.hooks.PrintContext, nullptr);
}

TEST_F(PrintRunTest, AFileTheHostCannotOpenStopsTheRunBeforeAnythingElseIsPrintedOrClosed) {
    WriteScores({"Alto.MUS", "Cello.MUS"});
    std::ofstream(Folder() / "Bass.MUS") << "not a document file\n";
    Print({{"Alto.MUS", "Bass.MUS", "Cello.MUS"}, "1", ""});
    const std::vector<std::string> lines = HostLines();
    ASSERT_EQ(lines.size(), 4u);
    testsupport::ExpectLines(Printed("Alto.MUS", "1 copy"), {lines.begin(), lines.begin() + 3});
    EXPECT_TRUE(lines[3].starts_with("host: cannot open " + (Folder() / "Bass.MUS").string())) << lines[3];
    EXPECT_EQ(Messages(), std::vector<std::string>{"\\\"Bass.MUS\\\" is not open in Finale. Printing stops here."});
    ExpectRunEnded();
}

TEST_F(PrintRunTest, TheFileNamedInTheStopIsShownAsItIsInGerman) {
    // The name goes into the message as it is, even with a "%1" of its own.
    StartIn(host::Language::German, 0x05000005);
    WriteScores({"Alto.MUS"});
    std::ofstream(Folder() / "Bass%1.MUS") << "not a document file\n";
    Print({{"Alto.MUS", "Bass%1.MUS"}, "1", ""});
    EXPECT_EQ(Messages(),
              std::vector<std::string>{"\\\"Bass%1.MUS\\\" ist in Finale nicht geöffnet. Der Druck endet hier."});
    ExpectRunEnded();
}

TEST_F(PrintRunTest, ClosingThePrintFormEndsItsRun) {
    WriteScores({"Alto.MUS", "Bass.MUS"});
    Print({{"Alto.MUS", "Bass.MUS"}, "1", ""}, 100);
    ASSERT_EQ(TheModule.dispatch.ModelessFormList.size(), 1u);
    vcl::FreeForm(TheModule.dispatch.ModelessFormList.front());
    win::Idle(3000);
    // Alto was opened before the form went; nothing is printed or opened after, and the document
    // the user had in front is in front again.
    ASSERT_EQ(HostLines().size(), 2u);
    EXPECT_TRUE(HostLines()[0].starts_with("host: opened document 2 \"Alto\"")) << HostLines()[0];
    EXPECT_EQ(HostLines()[1], "host: document 1 \"score\" is in front");
    EXPECT_EQ(TheModule.hooks.PrintContext, nullptr);
    EXPECT_TRUE(TheModule.dispatch.ModelessFormList.empty());
}

// ---- The pause question ----

struct PauseCase {
    const char* pause;
    std::vector<int32_t> answers;
    std::vector<std::string> questions;
    size_t printed;
};

class PrintPauseTest : public PrintRunTest, public ::testing::WithParamInterface<PauseCase> {};

TEST_P(PrintPauseTest, TheRunAsksAfterEveryNFilesAndNoEndsIt) {
    WriteScores({"Alto.MUS", "Bass.MUS", "Cello.MUS"});
    for (int32_t answer : GetParam().answers) {
        win::QueueMessageBoxAnswer(answer);
    }
    Print({{"Alto.MUS", "Bass.MUS", "Cello.MUS"}, "1", GetParam().pause});
    EXPECT_EQ(Messages(), GetParam().questions);
    EXPECT_EQ(HostLines().size(), 3 * GetParam().printed);
    ExpectRunEnded();
}

INSTANTIATE_TEST_SUITE_P(Cases, PrintPauseTest,
                         ::testing::Values(PauseCase{"0", {}, {}, 3}, PauseCase{"3", {}, {}, 3},
                                           PauseCase{"2", {win::IDYES}, {"2 files have been printed. Continue?"}, 3},
                                           PauseCase{"2", {win::IDNO}, {"2 files have been printed. Continue?"}, 2},
                                           PauseCase{"1",
                                                     {win::IDYES, win::IDNO},
                                                     {"1 files have been printed. Continue?",
                                                      "2 files have been printed. Continue?"},
                                                     2},
                                           PauseCase{"x", {}, {}, 3}),
                         testsupport::NameBy("pause", &PauseCase::pause, "printed", &PauseCase::printed));

// ---- The host's languages ----

struct LanguageCase {
    host::Language language;
    int32_t rawVersion;
};

class PrintLanguageTest : public PrintRunTest, public ::testing::WithParamInterface<LanguageCase> {};

TEST_P(PrintLanguageTest, TheKeysOfTheHostsMenusOpenPrintAndClose) {
    StartIn(GetParam().language, GetParam().rawVersion);
    WriteScores({"Alto.MUS"});
    Print({{"Alto.MUS"}, "4", ""});
    testsupport::ExpectLines(Printed("Alto.MUS", "4 copies"), HostLines());
    ExpectRunEnded();
}

INSTANTIATE_TEST_SUITE_P(Cases, PrintLanguageTest,
                         ::testing::Values(LanguageCase{host::Language::English, 0x03000000},
                                           LanguageCase{host::Language::German, 0x04000000},
                                           LanguageCase{host::Language::German, 0x05000005},
                                           LanguageCase{host::Language::Italian, 0x05000005}),
                         testsupport::NameBy("language", &LanguageCase::language, "raw", &LanguageCase::rawVersion));

}  // namespace
