// hostsim end to end: "Print Multiple Files" prints three document files in one run. The host
// opens, prints and closes each as the plug-in's keys tell it, the run asks whether to go on
// after two files, and the user's own document stays open.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "platform/host/mus_file.h"
#include "platform/host/score_text.h"
#include "tests/support/fixture.h"
#include "tests/support/hostsim_run.h"

namespace {

class PrintFilesHostsimTest : public testsupport::DesktopTest {};

TEST_F(PrintFilesHostsimTest, ThreeFilesArePrintedWithAPauseQuestionAfterTwo) {
    const std::filesystem::path folder = TempFolder() / "scores";
    std::filesystem::create_directories(folder);
    const auto score = host::ReadScoreFile(std::filesystem::path(ORVEX_SOURCE_DIR) / "examples" / "quartet.score");
    for (const char* name : {"Alto.MUS", "Bass.MUS", "Cello.MUS"}) {
        host::WriteMusFile(*score, folder / name);
    }
    const std::string records = std::to_string(host::ReadMusFile(folder / "Alto.MUS")->Records().Count());

    const auto result = testsupport::RunHostsim(
        "load plugins\n"
        "new " +
            (std::filesystem::path(ORVEX_SOURCE_DIR) / "examples" / "quartet.score").string() +
            "\n"
            "form TPrintMultipleFiles set edPath " +
            folder.string() +
            "\n"
            "form TPrintMultipleFiles set ListBox +Alto.MUS\n"
            "form TPrintMultipleFiles set ListBox +Bass.MUS\n"
            "form TPrintMultipleFiles set ListBox +Cello.MUS\n"
            "form TPrintMultipleFiles set edCopies 3\n"
            "form TPrintMultipleFiles set edPause 2\n"
            "form TPrintMultipleFiles click OkButton\n"
            "answer yes\n"
            "menu \"Orvex/Print Multiple Files\"\n"
            "wait 5000\n"
            "print menus\n",
        RegistryFile());
    ASSERT_EQ(result.exitCode, 0) << result.err;

    const auto from = std::find(result.out.begin(), result.out.end(), "> menu \"Orvex/Print Multiple Files\"");
    std::vector<std::string> host;
    for (auto line = from; line != result.out.end(); ++line) {
        if (line->starts_with("host: ") || line->starts_with("  label Message ") || line->starts_with("menu bar")) {
            host.push_back(*line);
        }
    }
    const auto printed = [&](const std::string& name) {
        return std::vector<std::string>{"host: opened document 2 \"" + name + "\", " + records + " records",
                                        "host: printed " + name + " (scores/" + name + ".MUS) on the printer, 3 copies",
                                        "host: closed document 2 \"" + name + "\""};
    };
    // The command itself changes no document (it only starts the run), and says so.
    std::vector<std::string> expected = {"host: nothing changed"};
    for (const auto& part :
         {printed("Alto"), printed("Bass"),
          std::vector<std::string>{"  label Message \"2 files have been printed. Continue?\""}, printed("Cello")}) {
        expected.insert(expected.end(), part.begin(), part.end());
    }
    // The user's document is in front again.
    expected.push_back("menu bar of \"Finale 2000 - [quartet]\"");
    expected.push_back("host: unloaded Orvex188.fxt");
    expected.push_back("host: unloaded Lumvar2000.fxt");
    testsupport::ExpectLines(expected, host);
}

// A file the user has open already is printed from the user's document, which stays open (it
// may hold changes not saved); only what the run opened is closed.
TEST_F(PrintFilesHostsimTest, TheUsersOpenDocumentIsPrintedAndStaysOpen) {
    const std::filesystem::path folder = TempFolder() / "scores";
    std::filesystem::create_directories(folder);
    const auto score = host::ReadScoreFile(std::filesystem::path(ORVEX_SOURCE_DIR) / "examples" / "quartet.score");
    for (const char* name : {"Alto.MUS", "Bass.MUS"}) {
        host::WriteMusFile(*score, folder / name);
    }
    const auto result = testsupport::RunHostsim("load plugins\nopen " + (folder / "Alto.MUS").string() +
                                                    "\nform TPrintMultipleFiles set edPath " + folder.string() +
                                                    "\nform TPrintMultipleFiles set ListBox +Alto.MUS\n"
                                                    "form TPrintMultipleFiles set ListBox +Bass.MUS\n"
                                                    "form TPrintMultipleFiles click OkButton\n"
                                                    "menu \"Orvex/Print Multiple Files\"\nwait 5000\n",
                                                RegistryFile());
    ASSERT_EQ(result.exitCode, 0) << result.err;
    std::vector<std::string> host;
    for (const std::string& line : result.out) {
        if (line.starts_with("host: printed") || line.starts_with("host: closed") || line.starts_with("host: opened")) {
            host.push_back(line.substr(0, line.find(" (")));
        }
    }
    testsupport::ExpectLines(
        {"host: opened document 1 \"Alto\", 67 records", "host: printed Alto",
         "host: opened document 2 \"Bass\", 67 records", "host: printed Bass", "host: closed document 2 \"Bass\""},
        host);
}

// The run brings a file the user has open to the front to print it, and the last document left
// comes to the front when it closes what it opened; at its end the document the user had in front
// is in front again.
TEST_F(PrintFilesHostsimTest, TheDocumentInFrontBeforeTheRunIsInFrontAfterIt) {
    const std::filesystem::path folder = TempFolder() / "scores";
    std::filesystem::create_directories(folder);
    const auto score = host::ReadScoreFile(std::filesystem::path(ORVEX_SOURCE_DIR) / "examples" / "quartet.score");
    for (const char* name : {"Alto.MUS", "Bass.MUS"}) {
        host::WriteMusFile(*score, folder / name);
    }
    const auto result = testsupport::RunHostsim(
        "load plugins\nnew " + (std::filesystem::path(ORVEX_SOURCE_DIR) / "examples" / "parts.score").string() +
            "\nopen " + (folder / "Alto.MUS").string() + "\nfront 1\nform TPrintMultipleFiles set edPath " +
            folder.string() +
            "\nform TPrintMultipleFiles set ListBox +Alto.MUS\n"
            "form TPrintMultipleFiles set ListBox +Bass.MUS\n"
            "form TPrintMultipleFiles click OkButton\n"
            "menu \"Orvex/Print Multiple Files\"\nwait 5000\nprint windows\n",
        RegistryFile());
    ASSERT_EQ(result.exitCode, 0) << result.err;
    std::vector<std::string> host;
    for (const std::string& line : result.out) {
        if (line.starts_with("host: printed") || line.starts_with("host: closed") || line.starts_with("host: opened") ||
            line.starts_with("host: document") || line.starts_with("focus:")) {
            host.push_back(line.substr(0, line.find(" (")));
        }
    }
    testsupport::ExpectLines(
        {"host: opened document 2 \"Alto\", 67 records", "host: document 1 \"parts\" is in front", "host: printed Alto",
         "host: opened document 3 \"Bass\", 67 records", "host: printed Bass", "host: closed document 3 \"Bass\"",
         "host: document 1 \"parts\" is in front", "focus: \"Finale 2000 - [parts]\" Finale"},
        host);
}

}  // namespace
