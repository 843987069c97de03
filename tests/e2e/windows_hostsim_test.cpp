// The host's windows end to end in hostsim: multi-step commands started with Go in their options
// dialog run to their end, the dialog collapses while the host is active and takes Alt+letter,
// Font Info puts its list on the clipboard, the cue-sheet file is chosen by browsing, the
// staff list manager opens on the page the document window shows, and an up-down's edit steps
// it by the arrow keys.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/support/fixture.h"
#include "tests/support/hostsim_run.h"

namespace {

class WindowsHostsimTest : public testsupport::DesktopTest {
protected:
    std::string WriteScore(const std::string& name, const std::string& text) {
        const auto path = TempFolder() / name;
        std::ofstream(path) << text;
        return path.string();
    }
    static std::string Example(const std::string& name) {
        return (std::filesystem::path(ORVEX_SOURCE_DIR) / "examples" / name).string();
    }
    static bool Has(const std::vector<std::string>& out, const std::string& line) {
        return std::find(out.begin(), out.end(), line) != out.end();
    }
    /// The lines after the first line equal to `from`, up to the next script line ("> ...").
    static std::vector<std::string> After(const std::vector<std::string>& out, const std::string& from) {
        auto at = std::find(out.begin(), out.end(), from);
        std::vector<std::string> lines;
        if (at == out.end()) {
            return lines;
        }
        for (++at; at != out.end() && !at->starts_with("> "); ++at) {
            lines.push_back(*at);
        }
        return lines;
    }
    static std::vector<std::string> AfterLast(const std::vector<std::string>& out, const std::string& from) {
        const auto last = std::find(out.rbegin(), out.rend(), from);
        return last == out.rend() ? std::vector<std::string>{} : After({last.base() - 1, out.end()}, from);
    }
    static std::vector<std::string> Messages(const std::vector<std::string>& out) {
        std::vector<std::string> texts;
        for (const std::string& line : out) {
            if (line.starts_with("  label Message \"")) {
                texts.push_back(line.substr(17, line.size() - 18));
            }
        }
        return texts;
    }

    static constexpr const char* kFlutes =
        "staff \"Flutes\" \"Fl.\"\nstaff \"Oboe\" \"Ob.\"\nmeasures 2\n"
        "expression 1 \"1./2.\"\nmeasureexpression 1 1 staff 1\n"
        "notes 1 1 c5+e5/2 d5+f5/2\nnotes 1 2 e5+g5/1\nnotes 2 1 a4/1\nnotes 2 2 b4/1\n";
};

TEST_F(WindowsHostsimTest, SmartExplosionStartedWithGoRunsToItsEnd) {
    const auto result = testsupport::RunHostsim("load plugins\nnew " + WriteScore("flutes.score", kFlutes) +
                                                    "\nselect 1 1-2\n"
                                                    "form TDActOpt set cbAutoClose checked\n"
                                                    "form TDActOpt click Go\n"
                                                    "menu \"Orvex/Parts/Smart Explosion of multi-part staves...\"\n"
                                                    "print windows\n"
                                                    "dump cells 3\nquit\n",
                                                RegistryFile());
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const auto& out = result.out;
    EXPECT_EQ(Messages(AfterLast(out, "> menu \"Orvex/Parts/Smart Explosion of multi-part staves...\"")),
              (std::vector<std::string>{
                  "The Part Distribution process will now be started. Please do not touch either mouse or keyboard "
                  "until it has finished. Do not try to interrupt this complex process.",
                  "The Part Distribution process has terminated. Note that if you want to undo the operation, you "
                  "may have to issue many undo commands, so it is best to go into the Undo/Redo selection lists."}));
    EXPECT_TRUE(Has(out, "host: redraw the document (region)"));
    // "Close" after the run: the dialog went; the host is in front.
    testsupport::ExpectLines(
        {"windows, front first:", "  \"Finale 2000 - [flutes]\" Finale, active",
         "    document 1 \"flutes\": scroll view from measure 1, in front", "focus: \"Finale 2000 - [flutes]\" Finale"},
        After(out, "> print windows"));
    // The second flute's notes on the staff the explosion added, as with Shift held.
    testsupport::ExpectLines(
        {"cells of document 1 \"flutes\": staff 3, all measures", "  staff 3, measure 1, layer 1: 2 entries",
         "    entry 6 at 0, 2048 EDU, beam start, notes changed: C5",
         "    entry 7 at 2048, 2048 EDU, beam start, notes changed: D5", "  staff 3, measure 2, layer 1: 1 entry",
         "    entry 8 at 0, 4096 EDU, beam start, notes changed: E5"},
        After(out, "> dump cells 3"));
}

TEST_F(WindowsHostsimTest, NewSpacingStartedWithGoFindsTheHostInFrontForItsSecondPass) {
    std::string undo;
    for (int i = 0; i < 8; ++i) {
        undo += "menu \"Edit/Undo\"\n";
    }
    const auto result = testsupport::RunHostsim("load plugins\nnew " + Example("newspacing.score") +
                                                    "\ndump score\nselect 1-2 1-2\n"
                                                    "form TDActOpt set Row4 1\n"
                                                    "form TDActOpt click Go\n"
                                                    "menu \"Orvex/New Spacing\"\n"
                                                    "print windows\n"
                                                    "dump cells 3 1\n"
                                                    "dump records SOIu\n" +
                                                    undo + "dump score\nquit\n",
                                                RegistryFile());
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const auto& out = result.out;
    // After the first pass the host is active (the dialog collapsed, as Lumvar2000's preference
    // says): the host's note spacing takes its menu keys, and the keypad plus after them is the
    // step signal, so the second pass follows within the same turn of the user.
    const std::vector<std::string> run = After(out, "> menu \"Orvex/New Spacing\"");
    EXPECT_TRUE(Has(run, "host: Apply Note Spacing: 2 measures respaced (1-2)"));
    EXPECT_TRUE(Has(run,
                    "  label Message \"The New Spacing process has successfully terminated. Note that if you want to "
                    "undo the operation, you may have to issue several undo commands, so it is best to go into the "
                    "Undo/Redo selection lists.\""));
    // The second pass takes the helper staff out whole: its music, its staff record and its
    // place in the score's staff list.
    EXPECT_TRUE(Has(run,
                    "host: Orvex188.fxt changed document 1 \"newspacing\": 2 cells (6 entries deleted); "
                    "records 'SOIS' 1 deleted, 'SOIu' 1 deleted"));
    testsupport::ExpectLines(
        {"windows, front first:", "  \"New Spacing 1.88d\" TDActOpt, 439 x 24 at 200,120, owned by the host",
         "  \"Finale 2000 - [newspacing]\" Finale, active",
         "    document 1 \"newspacing\": scroll view from measure 1, in front",
         "focus: \"Finale 2000 - [newspacing]\" Finale"},
        After(out, "> print windows"));
    testsupport::ExpectLines({"cells of document 1 \"newspacing\": staff 3, measure 1"},
                             After(out, "> dump cells 3 1"));  // no staff 3 is left
    // The score's staff list is as it was; the host's spacing left each measure its beat chart
    // ('otBC').
    testsupport::ExpectLines(
        {"records of document 1 \"newspacing\": 2 'SOIu' of 42", "  'SOIu' other (0, 0), 24 bytes: staff 1, position 0",
         "  'SOIu' other (0, 1), 24 bytes: staff 2, position -200"},
        After(out, "> dump records SOIu"));
    // Every step of the run, the host's note spacing that its keys chose included, is named after
    // the command; undoing them all gives the score back exactly.
    size_t undone = 0;
    for (const std::string& line : out) {
        if (line.starts_with("host: undo \"")) {
            ++undone;
            EXPECT_TRUE(line.starts_with("host: undo \"New Spacing...\": ")) << line;
        }
    }
    EXPECT_GE(undone, 2u);
    const std::vector<std::string> before = After(out, "> dump score");
    ASSERT_FALSE(before.empty());
    EXPECT_EQ(AfterLast(out, "> dump score"), before);
}

TEST_F(WindowsHostsimTest, TheDialogCollapsesWhileTheHostIsActiveAndTakesAltAndALetter) {
    const auto result = testsupport::RunHostsim("load plugins\nnew " + WriteScore("flutes.score", kFlutes) +
                                                    "\nselect 1 1-2\n"
                                                    "form TDActOpt set Row13 0\n"
                                                    "menu \"Orvex/Parts/Smart Explosion of multi-part staves...\"\n"
                                                    "print windows\n"
                                                    "activate host\n"
                                                    "print windows\n"
                                                    "activate form TDActOpt\n"
                                                    "print windows\n"
                                                    "press Alt+D\n"
                                                    "press Alt+Q\n"
                                                    "press Alt+G\n"
                                                    "wait 2000\n"
                                                    "print windows\nquit\n",
                                                RegistryFile());
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const auto& out = result.out;
    constexpr const char* kDialog = "  \"Smart Explosion of multi-part staves 1.88d\" TDActOpt, ";
    EXPECT_EQ(After(out, "> activate host"), std::vector<std::string>{});
    // Before: the dialog whole and active; then collapsed to its caption (as wide as before,
    // 24 pixels high) while the host is active; then whole again.
    const std::vector<std::string> before = After(out, "> print windows");
    ASSERT_GE(before.size(), 2u);
    ASSERT_TRUE(before[1].starts_with(kDialog)) << before[1];
    const std::string size = before[1].substr(std::string(kDialog).size());  // "W x H at 200,120, ..."
    EXPECT_TRUE(size.ends_with(" at 200,120, owned by the host, active")) << size;
    const std::string width = size.substr(0, size.find(" x "));
    const auto collapsedAt = std::find(out.begin(), out.end(), "> activate host");
    ASSERT_NE(collapsedAt, out.end());
    const std::vector<std::string> collapsed = After({collapsedAt + 1, out.end()}, "> print windows");
    ASSERT_GE(collapsed.size(), 3u);
    EXPECT_EQ(collapsed[1], std::string(kDialog) + width + " x 24 at 200,120, owned by the host");
    EXPECT_EQ(collapsed[2], "  \"Finale 2000 - [flutes]\" Finale, active");
    const auto restored = std::find(out.begin(), out.end(), "> activate form TDActOpt");
    ASSERT_NE(restored, out.end());
    EXPECT_EQ(After({restored, out.end()}, "> print windows").at(1), before[1]);
    // Alt+D is "&Defaults" (nothing to see), Alt+Q no accelerator (the system beeps), Alt+G
    // "&Go": the explosion runs, and with Alt held at Go the dialog closes after the run.
    EXPECT_EQ(After(out, "> press Alt+D"), std::vector<std::string>{});
    EXPECT_EQ(After(out, "> press Alt+Q"), std::vector<std::string>{"[beep] default"});
    const std::vector<std::string> run = After(out, "> press Alt+G");
    EXPECT_TRUE(Has(run, "host: redraw the document (region)"));
    testsupport::ExpectLines(
        {"windows, front first:", "  \"Finale 2000 - [flutes]\" Finale, active",
         "    document 1 \"flutes\": scroll view from measure 1, in front", "focus: \"Finale 2000 - [flutes]\" Finale"},
        AfterLast(out, "> print windows"));
}

TEST_F(WindowsHostsimTest, AnUpDownsEditStepsItByUpAndDownWithinItsRange) {
    // The interval of the harmonics form (1 to 30): 7 typed, Up twice is 9; 29, Up twice stays at
    // 30; a text that is no number steps from the up-down's own position (the 30 it showed).
    const auto result = testsupport::RunHostsim(
        "load plugins\nnew " + Example("walk.score") +
            "\nform THarmonicsForm set Interval 7\nform THarmonicsForm click Interval\n"
            "form THarmonicsForm press Up\nform THarmonicsForm press Up\nmenu \"Orvex/Music/Harmonics...\"\n"
            "print windows\nactivate form THarmonicsForm\npress Backspace\npress Backspace\ntype \"29\"\npress Up\n"
            "press Up\nprint windows\npress Backspace\npress Backspace\ntype \"x\"\npress Down\nprint windows\n",
        RegistryFile());
    ASSERT_EQ(result.exitCode, 0) << result.err;
    std::vector<std::string> focus;
    for (const std::string& line : result.out) {
        if (line.starts_with("focus: ")) {
            focus.push_back(line);
        }
    }
    EXPECT_EQ(focus, (std::vector<std::string>{"focus: \"9\" TEdit in \"Vx Harmonics 1.88d\" THarmonicsForm",
                                               "focus: \"30\" TEdit in \"Vx Harmonics 1.88d\" THarmonicsForm",
                                               "focus: \"29\" TEdit in \"Vx Harmonics 1.88d\" THarmonicsForm"}));
}

TEST_F(WindowsHostsimTest, FontInfoPutsItsListOnTheClipboard) {
    const auto result = testsupport::RunHostsim("load plugins\nnew " +
                                                    WriteScore("fonts.score",
                                                               "font 0 \"Maestro\"\nfont 1 \"Times New Roman\"\n"
                                                               "font 3 \"Arial\"\nstaff \"Flute\"\nmeasures 1\n") +
                                                    "\nprint clipboard\n"
                                                    "menu \"Orvex/Miscellaneous/Font Info\"\n"
                                                    "print clipboard\nquit\n",
                                                RegistryFile());
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(After(result.out, "> print clipboard"), std::vector<std::string>{"clipboard: no text"});
    testsupport::ExpectLines({"clipboard: text", "  | Maestro", "  | Times New Roman", "  | Arial"},
                             AfterLast(result.out, "> print clipboard"));
}

TEST_F(WindowsHostsimTest, TheCueSheetIsChosenByBrowsing) {
    std::filesystem::create_directories(TempFolder() / "Cues");
    std::filesystem::copy_file(Example("cuesheet.txt"), TempFolder() / "Cues" / "Reel1.txt");
    const auto result = testsupport::RunHostsim("load plugins\nnew " + Example("cuesheet.score") +
                                                    "\nselect 1 1-4\n"
                                                    "form TDActOpt dblclick Row0\n"
                                                    "form TOpenDialog set Folder " +
                                                    TempFolder().string() +
                                                    "\n"
                                                    "form TOpenDialog set FileName cues/reel2\n"
                                                    "form TOpenDialog click Open\n"
                                                    "form TOpenDialog set FileName cues/reel1\n"
                                                    "form TOpenDialog click Open\n"
                                                    "form TDActOpt click Go\n"
                                                    "menu \"Orvex/Miscellaneous/Auricle Import\"\n"
                                                    "dump records otDY\nquit\n",
                                                RegistryFile());
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const auto& out = result.out;
    // Files and folders in the folder hostsim runs in are named from it.
    testsupport::ExpectLines(
        {
            "  user: double-click Row0",
            "[form] \"Select Input File\" TOpenDialog, modal",
            "  edit FileName: \"\"",
            "  combo box FileType: \"Auricle Cue Text File (*.txt)\"",
            "  label Folder: \".\"",
            "  user: set Folder \"" + TempFolder().string() + "\"",
            "  user: set FileName \"cues/reel2\"",
            "  user: click Open",
            "    not done: the file \"Cues/reel2.txt\" does not exist",
            "  user: set FileName \"cues/reel1\"",
            "  user: click Open",
            "  -> Open \"Cues/Reel1.txt\"",
            "  user: click Go",
        },
        std::vector<std::string>(std::find(out.begin(), out.end(), "  user: double-click Row0"),
                                 std::find(out.begin(), out.end(), "  user: click Go") + 1));
    // The import read the file chosen: its title block, tempo marks, times and hit are placed.
    EXPECT_EQ(After(out, "> dump records otDY").front(), "records of document 1 \"cuesheet\": 10 'otDY' of 73");
}

TEST_F(WindowsHostsimTest, TheStaffListManagerOpensOnThePageTheDocumentWindowShows) {
    const std::string score = WriteScore("trio.score",
                                         "staff \"Flute\"\nstaff \"Oboe\"\nstaff \"Violin\"\n"
                                         "measures 2 width 1200\nnotes 2 1 c5/1\npage height 700\n"
                                         "system 1 1\nsystem 2 2\nstafflist 1 1 2 3\nstafflist 2 1 3\nlayout\n");
    const std::string script = "load plugins\nnew " + score +
                               "\nVIEW\nform TStaffListManager click StaffListCancel\n"
                               "menu \"Orvex/Layout/Staff List Manager\"\n";
    const auto shown = [&](const std::string& view) {
        std::string text = script;
        text.replace(text.find("VIEW"), 4, view);
        const auto result = testsupport::RunHostsim(text, RegistryFile());
        EXPECT_EQ(result.exitCode, 0) << result.err;
        std::vector<std::string> fields;
        for (const std::string& line : result.out) {
            if (line.starts_with("  edit PgNum:") || line.starts_with("  edit SysNum:")) {
                fields.push_back(line);
            }
        }
        return fields;
    };
    EXPECT_EQ(shown("view page 2"), (std::vector<std::string>{"  edit PgNum: \"2\"", "  edit SysNum: \"2\""}));
    // In scroll view the page field is hidden: the manager shows its current system.
    EXPECT_EQ(shown("view scroll 2"), (std::vector<std::string>{"  edit PgNum: \"1\"", "  edit SysNum: \"1\""}));
}

// Every form of the plug-ins as the user first sees it, in an English and a German host: the
// transcript of tests/forms/layouts.script (layouts-de.script), each form's controls with their
// class, name, place, size, tab order, caption and state, is the one layouts.expected
// (layouts-de.expected) holds, whole.
TEST_F(WindowsHostsimTest, EveryFormIsLaidOutAsItsDataFileSays) {
    const std::filesystem::path forms = std::filesystem::path(ORVEX_SOURCE_DIR) / "tests" / "forms";
    for (const std::string name : {"layouts", "layouts-de"}) {
        std::filesystem::remove(RegistryFile());
        const auto result = testsupport::RunHostsimWith(testsupport::FileText(forms / (name + ".script")), TempFolder(),
                                                        "--registry " + RegistryFile().string(), forms);
        ASSERT_EQ(result.exitCode, 0) << result.err;
        std::string shown;
        for (const std::string& line : result.out) {
            shown += line + "\n";
        }
        EXPECT_EQ(shown, testsupport::FileText(forms / (name + ".expected"))) << name;
    }
}

}  // namespace
