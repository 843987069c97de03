// hostsim end to end: results a user checks by eye. The Rests dialog shows all its rows; the
// spreadsheet export writes beside the plug-in and says where; every progress display of every
// command ends after at most the steps it announced; a long text block arrives whole wherever a
// command copies or writes it; a damaged record is told once per document, as the record the
// document holds, and left as the document holds it.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>

#include "tests/support/fixture.h"
#include "tests/support/hostsim_run.h"

namespace {

namespace fs = std::filesystem;

class ResultsHostsimTest : public testsupport::DesktopTest {
protected:
    static std::string Score() { return (fs::path(ORVEX_SOURCE_DIR) / "examples" / "quartet.score").string(); }
    /// Runs hostsim in `folder` with the plug-ins of `plugins`.
    testsupport::HostsimResult Run(const std::string& script, const fs::path& plugins, const fs::path& folder) {
        return testsupport::RunHostsimWith(script, TempFolder(), "--registry '" + RegistryFile().string() + "'", folder,
                                           plugins);
    }
    /// A plug-in folder holding copies of the built modules.
    fs::path PluginFolder() { return testsupport::PluginFolder(TempFolder(), {"Orvex188.fxt", "Lumvar2000.fxt"}); }
    static bool Has(const testsupport::HostsimResult& result, const std::string& line) {
        return std::find(result.out.begin(), result.out.end(), line) != result.out.end();
    }
};

// "Allow ties" and "Simplify rhythm" show beside the row they refine, whether it is checked or not.
TEST_F(ResultsHostsimTest, TheRestsDialogShowsItsSixRows) {
    const auto result = testsupport::RunHostsim(
        "load plugins\nnew " + Score() + "\nselect 1-1 1-1\nmenu \"Orvex/Modify/Rests\"\n", RegistryFile());
    ASSERT_EQ(result.exitCode, 0) << result.err;
    for (const char* line :
         {"  row 3 \"Minimize number of rests by expanding the preceding note values:\": check box unchecked",
          "  row 4 \"Allow ties:\": check box unchecked", "  row 5 \"Simplify rhythm:\": check box unchecked"}) {
        EXPECT_TRUE(Has(result, line)) << line;
    }
    EXPECT_EQ(std::count_if(result.out.begin(), result.out.end(),
                            [](const std::string& line) {
                                return line.starts_with("  row ") && line.ends_with(": check box unchecked");
                            }),
              6);
}

// A file name without a folder lies beside the plug-in module, not in the folder hostsim runs
// in; the transcript names it (from the script's folder, which holds the plug-in folder here). The display counts one
// step a staff.
TEST_F(ResultsHostsimTest, TheExportIsWrittenBesideThePlugIn) {
    const fs::path plugins = PluginFolder();
    const fs::path elsewhere = TempFolder() / "elsewhere";
    fs::create_directories(elsewhere);
    const auto result = Run("load plugins\nnew " + Score() +
                                "\nselect 1-4 1-2\nform TDActOpt click Go\n"
                                "menu \"Orvex/Miscellaneous/Export to spreadsheet\"\n",
                            plugins, elsewhere);
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_TRUE(fs::exists(plugins / "export.txt"));
    EXPECT_FALSE(fs::exists(elsewhere / "export.txt"));
    // The plug-in folder lies in the script's folder: the transcript names the file from there.
    EXPECT_TRUE(Has(result, "[debug] Orvex188: the table is written to plugins/export.txt"));
    EXPECT_TRUE(std::any_of(result.out.begin(), result.out.end(), [](const std::string& line) {
        return line.starts_with("[file] wrote plugins/export.txt (");
    }));
    EXPECT_TRUE(Has(result, "host: progress begins over staves 1-4, measures 1-2: 4 steps"));
    EXPECT_TRUE(Has(result, "host: progress ends after 4 of 4 steps"));
}

// Every command of the product menu, run with Shift on its stored options over selections of
// several shapes: no progress display ends after more steps than it announced.
TEST_F(ResultsHostsimTest, EveryProgressDisplayEndsWithinTheStepsItAnnounced) {
    const fs::path plugins = PluginFolder();
    const auto menus = Run("load plugins\nprint menus\n", plugins, TempFolder());
    ASSERT_EQ(menus.exitCode, 0) << menus.err;
    // The product menu's commands by path; forms of their own (below code 100) are left out.
    std::vector<std::string> commands;
    std::vector<std::string> path;
    bool inProduct = false;
    const std::regex item(R"(^( *)(.*?)(?:  \[(\d+)\])?$)");
    for (const std::string& line : menus.out) {
        std::smatch m;
        if (!std::regex_match(line, m, item) || line.find("-----") != std::string::npos) {
            continue;
        }
        const auto level = static_cast<size_t>(m[1].length()) / 2;
        std::string text = m[2];
        text.erase(std::remove(text.begin(), text.end(), '&'), text.end());
        if (level == 1) {
            inProduct = text == "Orvex";
        }
        if (!inProduct || level < 2) {
            path.assign(1, text);
            continue;
        }
        path.resize(level - 1);
        path.push_back(text);
        if (m[3].matched) {
            std::string joined = "Orvex";
            for (size_t i = 1; i < path.size(); ++i) {
                joined += "/" + path[i];
            }
            commands.push_back(joined);
        }
    }
    ASSERT_GE(commands.size(), 60u);
    const std::vector<std::string> forms = {"Browser", "Harmonics", "Beam Breaker", "Print", "Staff List",
                                            "Sort",    "Options",   "About",        "Manual"};
    for (const char* selection : {"1-4 1-1", "1-3 2-3", "2-2 1-1"}) {
        SCOPED_TRACE(std::string("selection ") + selection);
        std::string script = "load plugins\nnew " + Score() + "\n";
        for (std::string command : commands) {
            if (std::any_of(forms.begin(), forms.end(),
                            [&](const std::string& f) { return command.find(f) != std::string::npos; })) {
                continue;
            }
            while (command.ends_with(".")) {
                command.pop_back();
            }
            script += std::string("select ") + selection + "\nhold shift\nmenu \"" + command +
                      "\"\nrelease shift\nwait 3000\n";
        }
        const auto result = Run(script, plugins, TempFolder());
        ASSERT_EQ(result.exitCode, 0) << result.err;
        const std::regex ends(R"(^host: progress ends after (\d+) of (\d+) steps?.*$)");
        std::string lastMenu;
        int32_t displays = 0;
        for (const std::string& line : result.out) {
            if (line.starts_with("> menu ")) {
                lastMenu = line;
            }
            std::smatch m;
            if (std::regex_match(line, m, ends)) {
                ++displays;
                EXPECT_LE(std::stoi(m[1]), std::stoi(m[2])) << lastMenu << ": " << line;
            }
        }
        EXPECT_GE(displays, 30);
    }
}

// A text block of 1,508 bytes, with a two-byte UTF-8 character on bytes 998 and 999 (where a
// 1,000-byte buffer would cut it) and its last words at the end, through every command that loads
// a text block and writes or copies it: Update Groups writes the score group's name into the
// system's group, Copy System Optimization copies that group to system 2, the staff list manager
// gives system 3 the score's group, Transfer writes the page text into another document, and the
// explosion gives the new staff the exploded staff's name. Each copy holds the whole text.
TEST_F(ResultsHostsimTest, ALongTextBlockArrivesWholeThroughEveryCommand) {
    const std::string head = [] {
        std::string text;
        for (int i = 0; i < 124; ++i) {
            text += "Preface ";
        }
        return text + "abcdef";
    }();
    const std::string tail = std::string(488, 'x') + "Copyright 2024 Orvex";
    // The score text holds the bytes as written; the transcript shows the host's 8-bit text as
    // Windows-1252 (0xC3 0xA9 read as two characters).
    const std::string stored = head + "\\xC3\\xA9" + tail;
    const std::string shown = head + "\u00C3\u00A9" + tail;
    const fs::path layout = TempFolder() / "layout.score";
    std::ofstream(layout)
        << "staff \"\"\nstaff \"\"\nstaff \"\"\nmeasures 3 width 1200\n"
           "system 1 1\nsystem 2 2\nsystem 3 3\nstafflist 1 1 2 3\nstafflist 2 1 2 3\nstafflist 3 1 3\n"
           "group 1 2 \"score\"\ngroup 1 2 \"system\" list 1\npagetext 1 \"page\"\npage\n"
           "record txbl other 1 0 text \""
        << stored << "\"\nrecord txbl other 3 0 text \"" << stored << "\"\n";
    const fs::path target = TempFolder() / "target.score";
    std::ofstream(target) << "staff \"\"\nmeasures 2\npage\n";
    const fs::path flutes = TempFolder() / "flutes.score";
    std::ofstream(flutes) << "staff \"flutes\"\nstaff \"Oboe\"\nmeasures 2\nexpression 1 \"1./2.\"\n"
                             "measureexpression 1 1 staff 1\nnotes 1 1 c5+e5/2 d5+f5/2\nnotes 1 2 e5+g5/1\n"
                             "notes 2 1 a4/1\nnotes 2 2 b4/1\nrecord txbl other 1 0 text \""
                          << stored << "\"\n";
    const auto result = testsupport::RunHostsim(
        "load plugins\nnew " + layout.string() + "\nnew " + target.string() + "\nnew " + flutes.string() +
            "\nfront 1\nselect 1-3 1\nform TDActOpt set Row1 0\nform TDActOpt set Row2 1\nform TDActOpt click Go\n"
            "menu \"Orvex/Layout/Update Groups...\"\n"
            "select 1-3 1\nform TDActOpt click Go\nmenu \"Orvex/Layout/Copy System Optimization...\"\n"
            "form TStaffListManager set SysNum 3\nform TStaffListManager set StaffListBox +1\n"
            "form TStaffListManager click StaffListOk\nmenu \"Orvex/Layout/Staff List Manager\"\n"
            "select 1-3 1-3\nform TDActOpt set Row13 1\nform TDActOpt click Go\nmenu \"Orvex/Modify/Transfer...\"\n"
            "front 2\nselect 1 1-2\nactivate form TDActOpt\npress Enter\n"
            "front 3\nselect 1 1-2\nhold shift\nmenu \"Orvex/Parts/Smart Explosion of multi-part staves...\"\n"
            "wait 3000\nrelease shift\n"
            "front 1\ndump records txbl\nfront 2\ndump records txbl\nfront 3\ndump records txbl\n",
        RegistryFile());
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const auto whole = [&](int key) {
        return "  'txbl' other (" + std::to_string(key) + ", 0), 1509 bytes: \"" + shown + "\"";
    };
    // Block 2 is the system's group, renamed; 4 its copy in system 2, 5 the group system 3 took.
    testsupport::ExpectLines(
        {whole(1), whole(2), whole(3), whole(4), whole(5)},
        testsupport::LinesStartingWith(result.out, "records of document 1 \"layout\": 5 'txbl' of 40", "  "));
    testsupport::ExpectLines({whole(1)}, testsupport::LinesStartingWith(
                                             result.out, "records of document 2 \"target\": 1 'txbl' of 8", "  "));
    testsupport::ExpectLines(
        {whole(1), "  'txbl' other (2, 0), 5 bytes: \"Oboe\"", whole(3)},
        testsupport::LinesStartingWith(result.out, "records of document 3 \"flutes\": 3 'txbl' of 39", "  "));
}

// The first violin's F#5 of m. 2 is tied on into m. 3. Remove turns the notes of m. 2 into rests,
// and a rest is tied to nothing: the F#5 of m. 3 is no longer marked as tied from it; one Undo
// gives both measures back.
TEST_F(ResultsHostsimTest, ANoteThatBecomesARestTakesItsTieWithIt) {
    const auto result = testsupport::RunHostsim(
        "load plugins\nnew " + Score() +
            "\nselect 1 2\nform TDActOpt set \"Convert notes to rests:\" on\nform TDActOpt click Go\n"
            "form TDActOpt click CancelBtn\nmenu \"Orvex/Modify/Remove...\"\ndump cells 1 3\nmenu \"Edit/Undo\"\n"
            "dump cells 1 3\n",
        RegistryFile());
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const std::string heading = "cells of document 1 \"quartet\": staff 1, measure 3";
    std::vector<std::vector<std::string>> dumps;
    for (auto at = result.out.begin(); (at = std::find(at, result.out.end(), heading)) != result.out.end(); ++at) {
        dumps.push_back(testsupport::LinesStartingWith({at, result.out.end()}, heading, "  "));
    }
    ASSERT_EQ(dumps.size(), 2u);
    testsupport::ExpectLines(
        {"  staff 1, measure 3, layer 1: 2 entries", "    entry 11 at 0, 2048 EDU, beam start: F#5",
         "    entry 12 at 2048, 2048 EDU, beam start: rest"},
        dumps[0]);
    testsupport::ExpectLines(
        {"  staff 1, measure 3, layer 1: 2 entries", "    entry 11 at 0, 2048 EDU, beam start: ~F#5",
         "    entry 12 at 2048, 2048 EDU, beam start: rest"},
        dumps[1]);
}

// Harmonica over the first violin's m. 1 in D major: the measure loses its key, and every note
// keeps its pitch: the F#5 that has no Griffschrift place, and the second violin's F#4 and A4 that
// the run did not select.
TEST_F(ResultsHostsimTest, HarmonicaKeepsThePitchOfEveryNoteItDoesNotTranslate) {
    const auto result = testsupport::RunHostsim(
        "load plugins\nnew " + Score() +
            "\nselect 1 1\nform TDActOpt set #0 on\nform TDActOpt click Go\nform TDActOpt click CancelBtn\n"
            "menu \"Orvex/Parts/Harmonica...\"\ndump cells 1-2 1\n",
        RegistryFile());
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_TRUE(Has(result, "  label Message \"Could not translate a note in measure 1.\""));
    testsupport::ExpectLines(
        {"  staff 1, measure 1, layer 1: 5 entries",
         "    entry 1 at 0, 1024 EDU, note details, beam start, notes changed: E5[frozen]",
         "    entry 2 at 1024, 512 EDU, note details, beam start, notes changed: F#5",
         "    entry 3 at 1536, 512 EDU, note details, notes changed: D5[frozen]",
         "    entry 4 at 2048, 1024 EDU, note details, beam start, notes changed: E5[frozen]",
         "    entry 5 at 3072, 1024 EDU, note details, beam start, notes changed: A4[frozen]",
         "  staff 2, measure 1, layer 1: 2 entries", "    entry 13 at 0, 2048 EDU, beam start, notes changed: F#4",
         "    entry 14 at 2048, 2048 EDU, beam start, notes changed: A4"},
        testsupport::LinesStartingWith(result.out, "cells of document 1 \"quartet\": staves 1-2, measure 1", "  "));
}

// Two documents of the same name, from two folders: in the second a Griffschrift line (smart shape
// 11) covers the note, which takes the places of that table (C4: D4), also after Harmonica ran on
// the first, whose shapes were loaded for the same measure.
TEST_F(ResultsHostsimTest, HarmonicaReadsTheSmartShapesOfTheDocumentInFront) {
    for (const char* folder : {"a", "b"}) {
        fs::create_directories(TempFolder() / folder);
    }
    std::ofstream(TempFolder() / "a" / "x.score") << "staff \"Harmonica\"\nmeasures 2\nnotes 1 1 c4/1\n"
                                                     "notes 1 2 c4/1\nshape 0 1 1:1 1:1\nshape 0 1 2:1 2:1\n";
    std::ofstream(TempFolder() / "b" / "x.score") << "staff \"Harmonica\"\nmeasures 2\nnotes 1 1 c4/1\n"
                                                     "notes 1 2 c4/1\nshape 0 1 1:1 1:1\nshape 11 1 1@0 1@3072\n";
    const std::string harmonica =
        "select 1 1\nform TDActOpt set #0 on\nform TDActOpt click Go\n"
        "form TDActOpt click CancelBtn\nmenu \"Orvex/Parts/Harmonica...\"\n";
    const auto result = testsupport::RunHostsim(
        "load plugins\nnew " + (TempFolder() / "a" / "x.score").string() + "\n" + harmonica + "new " +
            (TempFolder() / "b" / "x.score").string() + "\n" + harmonica + "dump cells 1 1\n",
        RegistryFile());
    ASSERT_EQ(result.exitCode, 0) << result.err;
    testsupport::ExpectLines(
        {"  staff 1, measure 1, layer 1: 1 entry",
         "    entry 1 at 0, 4096 EDU, note details, beam start, note shapes: D4[frozen]", "      smart shapes 1, 1"},
        testsupport::LinesStartingWith(result.out, "cells of document 2 \"x\": staff 1, measure 1", "  "));
}

// Cue notes of a measure with a slur, whose first entry has lost its mark of note-attached shapes:
// the copies the slur is copied to are marked, so the document check finds nothing new; without
// the slur's copy no cue note claims a shape.
TEST_F(ResultsHostsimTest, CueNotesMarkTheEntriesTheyAttachASlurTo) {
    const fs::path score = TempFolder() / "cue.score";
    std::ofstream(score) << "staff \"Flute\"\nstaff \"Oboe\"\nmeasures 1\nnotes 1 1 c5/4 d5/4 e5/4 f5/4\n"
                            "shape 0 1 1:1 1:3\nentry 1 1:1 -note-shapes\n";
    const fs::path before = TempFolder() / "before.MUS";
    const std::string cue =
        "select 1 1\nform TDActOpt set #0 +1\nform TDActOpt click Go\n"
        "form TDActOpt click CancelBtn\nmenu \"Orvex/Parts/Add Cue Notes...\"\n";
    const auto result =
        testsupport::RunHostsim("load plugins\nnew " + score.string() + "\nsave " + before.string() + "\n" + cue +
                                    "dump cells 2 1\n" + "check document since " + before.string() +
                                    "\nmenu \"Edit/Undo\"\nform TDActOpt set #8 off\n" + cue + "dump cells 2 1\n",
                                RegistryFile());
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_TRUE(std::any_of(result.out.begin(), result.out.end(), [](const std::string& line) {
        return line.starts_with("document check of document 1 \"before\" since ") &&
               line.ends_with("before.MUS: no new problems");
    }));
    const std::string heading = "cells of document 1 \"before\": staff 2, measure 1";
    std::vector<std::vector<std::string>> dumps;
    for (auto at = result.out.begin(); (at = std::find(at, result.out.end(), heading)) != result.out.end(); ++at) {
        dumps.push_back(testsupport::LinesStartingWith({at, result.out.end()}, heading, "  "));
    }
    ASSERT_EQ(dumps.size(), 2u);
    const auto shapes = [](const std::vector<std::string>& lines) {
        return std::count_if(lines.begin(), lines.end(),
                             [](const std::string& line) { return line.find("note shapes") != std::string::npos; });
    };
    EXPECT_EQ(shapes(dumps[0]), 2);
    EXPECT_EQ(shapes(dumps[1]), 0);
}

// A measure record the file holds short: Measure Widths says so and leaves it as it is, rather
// than saving a measure of no length.
TEST_F(ResultsHostsimTest, MeasureWidthsLeavesAShortMeasureRecordAsTheDocumentHoldsIt) {
    const fs::path score = TempFolder() / "short.score";
    std::ofstream(score) << "staff \"Flute\"\nmeasures 3\nnotes 1 1 c5/4 d5/4 e5/4 f5/4\nnotes 1 3 c5/1\n"
                            "record SOMS other 2 0 hex 6 F000 0000 0400\n";
    const auto result = testsupport::RunHostsim("load plugins\nnew " + score.string() +
                                                    "\nselect 1 1-3\nform TDActOpt set #1 150\nform TDActOpt click Go\n"
                                                    "menu \"Orvex/Spacing/Measure Widths...\"\ndump records SOMS\n",
                                                RegistryFile());
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_TRUE(Has(result,
                    "  label Message \"The record 'SOMS' (2, 0) of the document is damaged: it holds 6 bytes "
                    "where 24 are expected. It is left as the document holds it.\""));
    testsupport::ExpectLines(
        {"  'SOMS' other (1, 0), 24 bytes: width 240, key 0x0000, 4 beats of 1024 EDU, flags 0x0000 0x0000",
         "  'SOMS' other (2, 0), 6 bytes: F000 0000 0400",
         "  'SOMS' other (3, 0), 24 bytes: width 180, key 0x0000, 4 beats of 1024 EDU, flags 0x0000 0x0000"},
        testsupport::LinesStartingWith(result.out, "records of document 1 \"short\": 3 'SOMS' of 34", "  "));
}

// One short staff record is one damaged record, not one for each cell whose staff record the
// host derives from it. A second document of the same name has it reported too, and so has the
// document opened again after both were closed.
TEST_F(ResultsHostsimTest, AShortStaffRecordIsToldOnceForEachDocumentThatHoldsIt) {
    const fs::path score = TempFolder() / "staff.score";
    std::ofstream(score)
        << "staff \"Flute\"\nmeasures 4\nnotes 1 1 c5/4 d5/4 e5/4 f5/4\nnotes 1 2 c5/4 d5/4 e5/4 f5/4\n"
           "notes 1 3 c5/4 d5/4 e5/4 f5/4\nnotes 1 4 c5/4 d5/4 e5/4 f5/4\n"
           "record SOIS other 1 0 hex 30 0000 0000 0000 0000 0000 0000 0000 0000 0000 0000 0000 "
           "0000 0000 0000 0000\n";
    const std::string slurs = "select 1 1-4\nactivate form TDActOpt\npress Enter\n";
    const std::string close = "activate host\npress Alt+F\npress C\n";
    const auto result = testsupport::RunHostsim(
        "load plugins\nnew " + score.string() +
            "\nselect 1 1-4\nform TDActOpt click Go\nmenu \"Orvex/Music/Create Slurs...\"\n" + slurs + "new " +
            score.string() + "\n" + slurs + close + close + "new " + score.string() + "\n" + slurs,
        RegistryFile());
    ASSERT_EQ(result.exitCode, 0) << result.err;
    std::vector<std::string> messages;
    std::copy_if(result.out.begin(), result.out.end(), std::back_inserter(messages), [](const std::string& line) {
        return line.starts_with("  label Message ") && line.find("damaged") != std::string::npos;
    });
    const std::string told =
        "  label Message \"The record 'SOIS' (1, 0) of the document is damaged: it holds 30 "
        "bytes where 66 are expected.\"";
    EXPECT_EQ(messages, (std::vector<std::string>{told, told, told}));
    EXPECT_TRUE(Has(result, "host: closed document 1 \"staff\""));
}

}  // namespace
