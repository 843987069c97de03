// The smart split point end to end: it has no menu entry; the user assigns F9 to "SplitPoint" in
// the options and presses it over the selected keyboard passage in hostsim.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>

#include "core/module.h"
#include "tests/support/fixture.h"
#include "tests/support/hostsim_run.h"

namespace {

class SplitPointKeyTest : public testsupport::DesktopTest {};

// Measure 1: c3 put into the right hand's chord goes down to the left hand; measure 2: g5 put
// into the left hand's chord goes up to the right hand. Measures 3 and 4: c3 leaps down from the
// right hand's line and goes down; the rest it leaves stays (the e5 before it keeps its eighth),
// and the e5 after the grace note keeps its place. Measure 5: the left hand's fifths keep their
// top notes under the right hand's held g4, which is not cut. Measure 6: a4 of the left hand's
// wide chord goes up at the right hand's grace note into the c5 the grace note leads to; the
// grace note stays as written. Measure 7: grace notes stay as written in either direction: a4 of
// the left hand's grace chord does not go up into the e5 beside it, which takes c5 of the chord
// after the grace notes instead, and c4 of the right hand's grace chord does not go down into the
// c3 beside it. Only the moved notes change. The display steps once a measure.
// A selection of one staff is refused before any display opens.
TEST_F(SplitPointKeyTest, F9RunsItOverTheSelectedPassage) {
    const auto score = TempFolder() / "keyboard.score";
    std::ofstream(score) << "staff \"Right hand\"\nstaff \"Left hand\"\nmeasures 7\n"
                            "notes 1 1 c3+e5/2 d5/2\nnotes 1 2 c6+e6/2 d6/2\n"
                            "notes 1 3 e5/8 c3/8 g5/4 r/2\nnotes 1 4 c5/8g e5/4 g5/4 c3/4 e5/4\n"
                            "notes 1 5 g4/2 g4/2\nnotes 1 6 d5/8g c5/4 e5/4 g5/2\n"
                            "notes 1 7 e5/4 c4+e6/8g g5/4 r/2\n"
                            "notes 2 1 c2/2 g2/2\nnotes 2 2 c3+g5/2 g2/2\n"
                            "notes 2 3 c2/8 r/8 r/4 r/2\nnotes 2 4 c2/4 r/4 r/2\n"
                            "notes 2 5 a3+e4/8 a3+e4/8 a3+e4/8 a3+e4/8 a3+e4/2\n"
                            "notes 2 6 c3+a4/4 e3/4 g3/2\n"
                            "notes 2 7 c2+a4/8g c3+c5/4 c3/4 r/2\n";
    // The NumLock offer was made: start-up asks nothing.
    std::ofstream(RegistryFile()) << "Windows Registry Editor Version 5.00\n\n"
                                     "[HKEY_CURRENT_USER\\Software\\HALVORAN]\n\"asknl2k\"=\"1\"\n";
    const auto result =
        testsupport::RunHostsim("host version 0x05000005\nhost language en\nload plugins\nnew " + score.string() +
                                    "\nform TOptionsForm click AddBtn\n"
                                    "form TAddKeyAssForm set HotKey F9\n"
                                    "form TAddKeyAssForm set Action \"plug-in command\"\n"
                                    "form TAddKeyAssForm set PluginCommand SplitPoint\n"
                                    "form TAddKeyAssForm click OkBtn\n"
                                    "form TOptionsForm click OkButton\n"
                                    "menu \"Orvex/Options...\"\n"
                                    "select 1 1-2\npress F9\n"
                                    "select 1-2 1-7\npress F9\ndump cells\n",
                                RegistryFile());
    ASSERT_EQ(result.exitCode, 0) << result.err;
    testsupport::ExpectLines(
        {
            "> press F9",
            "[form] \"Orvex 1.88d\" TMsgDlg, modal",
            "  label Message \"Please select measures from two staves\"",
            "  button OkBtn \"OK\"",
            "  user: Escape",
            "  -> OK (no action was queued: Escape)",
            "host: nothing changed",
            "> select 1-2 1-7",
            "> press F9",
            "host: progress begins over staves 1-2, measures 1-7: 7 steps",
            "host: progress ends after 7 of 7 steps",
            "host: Orvex188.fxt changed document 1 \"keyboard\": 12 cells (12 entries changed, 1 added)",
        },
        std::vector<std::string>(std::find(result.out.begin(), result.out.end(), "> press F9"),
                                 std::find(result.out.begin(), result.out.end(), "> dump cells")));
    testsupport::ExpectLines(
        {
            "  staff 1, measure 1, layer 1: 2 entries",
            "    entry 1 at 0, 2048 EDU, beam start: E5",
            "    entry 2 at 2048, 2048 EDU, beam start: D5",
            "  staff 1, measure 2, layer 1: 2 entries",
            "    entry 3 at 0, 2048 EDU, beam start: G5 C6 E6",
            "    entry 4 at 2048, 2048 EDU, beam start: D6",
            "  staff 1, measure 3, layer 1: 4 entries",
            "    entry 5 at 0, 512 EDU, beam start: E5",
            "    entry 6 at 512, 512 EDU: rest",
            "    entry 7 at 1024, 1024 EDU, beam start: G5",
            "    entry 8 at 2048, 2048 EDU, beam start: rest",
            "  staff 1, measure 4, layer 1: 5 entries",
            "    entry 9 at 0, 512 EDU (actual 0), grace, beam start: C5",
            "    entry 10 at 0, 1024 EDU, beam start: E5",
            "    entry 11 at 1024, 1024 EDU, beam start: G5",
            "    entry 12 at 2048, 1024 EDU, beam start: rest",
            "    entry 13 at 3072, 1024 EDU, beam start: E5",
            "  staff 1, measure 5, layer 1: 2 entries",
            "    entry 14 at 0, 2048 EDU, beam start: G4",
            "    entry 15 at 2048, 2048 EDU, beam start: G4",
            "  staff 1, measure 6, layer 1: 4 entries",
            "    entry 16 at 0, 512 EDU (actual 0), grace, beam start: D5",
            "    entry 17 at 0, 1024 EDU, beam start: A4 C5",
            "    entry 18 at 1024, 1024 EDU, beam start: E5",
            "    entry 19 at 2048, 2048 EDU, beam start: G5",
            "  staff 1, measure 7, layer 1: 4 entries",
            "    entry 20 at 0, 1024 EDU, beam start: C5 E5",
            "    entry 21 at 1024, 512 EDU (actual 0), grace, beam start: C4 E6",
            "    entry 22 at 1024, 1024 EDU, beam start: G5",
            "    entry 23 at 2048, 2048 EDU, beam start: rest",
            "  staff 2, measure 1, layer 1: 2 entries",
            "    entry 24 at 0, 2048 EDU, beam start: C2 C3",
            "    entry 25 at 2048, 2048 EDU, beam start: G2",
            "  staff 2, measure 2, layer 1: 2 entries",
            "    entry 26 at 0, 2048 EDU, beam start: C3",
            "    entry 27 at 2048, 2048 EDU, beam start: G2",
            "  staff 2, measure 3, layer 1: 4 entries",
            "    entry 28 at 0, 512 EDU, beam start: C2",
            "    entry 29 at 512, 512 EDU: C3",
            "    entry 30 at 1024, 1024 EDU, beam start: rest",
            "    entry 31 at 2048, 2048 EDU, beam start: rest",
            "  staff 2, measure 4, layer 1: 4 entries",
            "    entry 32 at 0, 1024 EDU, beam start: C2",
            "    entry 33 at 1024, 1024 EDU, beam start: rest",
            "    entry 34 at 2048, 1024 EDU, beam start: C3",
            "    entry 47 at 3072, 1024 EDU, created: rest",
            "  staff 2, measure 5, layer 1: 5 entries",
            "    entry 35 at 0, 512 EDU, beam start: A3 E4",
            "    entry 36 at 512, 512 EDU: A3 E4",
            "    entry 37 at 1024, 512 EDU, beam start: A3 E4",
            "    entry 38 at 1536, 512 EDU: A3 E4",
            "    entry 39 at 2048, 2048 EDU, beam start: A3 E4",
            "  staff 2, measure 6, layer 1: 3 entries",
            "    entry 40 at 0, 1024 EDU, beam start: C3",
            "    entry 41 at 1024, 1024 EDU, beam start: E3",
            "    entry 42 at 2048, 2048 EDU, beam start: G3",
            "  staff 2, measure 7, layer 1: 4 entries",
            "    entry 43 at 0, 512 EDU (actual 0), grace, beam start: C2 A4",
            "    entry 44 at 0, 1024 EDU, beam start: C3",
            "    entry 45 at 1024, 1024 EDU, beam start: C3",
            "    entry 46 at 2048, 2048 EDU, beam start: rest",
        },
        testsupport::LinesStartingWith(result.out, "cells of document 1 \"keyboard\": all staves, all measures", "  "));
    // The assignment is stored after the four default ones: F9 (0x78) -> code 181, on, kind 2.
    std::ifstream registry(RegistryFile());
    const std::string text((std::istreambuf_iterator<char>(registry)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("000000000000007800B5000000010002000000000000\"\n"), std::string::npos) << text;
}

}  // namespace
