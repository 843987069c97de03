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
// into the left hand's chord goes up to the right hand. The display steps once a measure. A
// selection of one staff is refused before any display opens.
TEST_F(SplitPointKeyTest, F9RunsItOverTheSelectedPassage) {
    const auto score = TempFolder() / "keyboard.score";
    std::ofstream(score) << "staff \"Right hand\"\nstaff \"Left hand\"\nmeasures 2\n"
                            "notes 1 1 c3+e5/2 d5/2\nnotes 1 2 c6+e6/2 d6/2\n"
                            "notes 2 1 c2/2 g2/2\nnotes 2 2 c3+g5/2 g2/2\n";
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
                                    "select 1-2 1-2\npress F9\ndump cells\n",
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
            "> select 1-2 1-2",
            "> press F9",
            "host: progress begins over staves 1-2, measures 1-2: 2 steps",
            "host: progress ends after 2 of 2 steps",
            "host: Orvex188.fxt changed document 1 \"keyboard\": 4 cells (4 entries changed)",
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
            "  staff 2, measure 1, layer 1: 2 entries",
            "    entry 5 at 0, 2048 EDU, beam start: C2 C3",
            "    entry 6 at 2048, 2048 EDU, beam start: G2",
            "  staff 2, measure 2, layer 1: 2 entries",
            "    entry 7 at 0, 2048 EDU, beam start: C3",
            "    entry 8 at 2048, 2048 EDU, beam start: G2",
        },
        testsupport::LinesStartingWith(result.out, "cells of document 1 \"keyboard\": all staves, all measures", "  "));
    // The assignment is stored after the four default ones: F9 (0x78) -> code 181, on, kind 2.
    std::ifstream registry(RegistryFile());
    const std::string text((std::istreambuf_iterator<char>(registry)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("000000000000007800B5000000010002000000000000\"\n"), std::string::npos) << text;
}

}  // namespace
