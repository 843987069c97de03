// The smart split point end to end: it has no menu entry; the user assigns F9 to "SplitPoint" in
// the options and presses it over the selected keyboard passage in hostsim.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>

#include "tests/support/fixture.h"

namespace {

class SplitPointKeyTest : public testsupport::DesktopTest {};

// Measure 1: the left hand's chord gives its top note, and the next note, to the right hand,
// which rests there; the chord's c3 stays (the right hand's e4 is a note now, and no chord may
// grow past a span of 0 steps), as do the notes where the right hand plays. Measure 2: the
// right hand's melody over the left hand's rest stays where it is (no note moves down).
TEST_F(SplitPointKeyTest, F9RunsItOverTheSelectedPassage) {
    const auto score = TempFolder() / "keyboard.score";
    std::ofstream(score) << "staff \"Right hand\"\nstaff \"Left hand\"\nmeasures 2\n"
                            "notes 1 1 r/2 c5/2\nnotes 1 2 e5/4 d5/4 c5/2\n"
                            "notes 2 1 c3+e4/4 g4/4 c3/2\nnotes 2 2 r/1\n";
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
                                    "select 1-2 1-2\npress F9\ndump cells\n",
                                RegistryFile());
    ASSERT_EQ(result.exitCode, 0) << result.err;
    testsupport::ExpectLines(
        {
            "> press F9",
            "host: progress begins over staves 1-2, measures 1-2: 2 steps",
            "host: progress ends after 0 of 2 steps",
            "host: Orvex188.fxt changed document 1 \"keyboard\": 2 cells (3 entries changed, 1 added)",
        },
        std::vector<std::string>(std::find(result.out.begin(), result.out.end(), "> press F9"),
                                 std::find(result.out.begin(), result.out.end(), "> dump cells")));
    testsupport::ExpectLines(
        {
            "  staff 1, measure 1, layer 1: 3 entries",
            "    entry 1 at 0, 1024 EDU, beam start: E4",
            "    entry 10 at 1024, 1024 EDU, created, beam start: G4",
            "    entry 2 at 2048, 2048 EDU, beam start: C5",
            "  staff 1, measure 2, layer 1: 3 entries",
            "    entry 3 at 0, 1024 EDU, beam start: E5",
            "    entry 4 at 1024, 1024 EDU, beam start: D5",
            "    entry 5 at 2048, 2048 EDU, beam start: C5",
            "  staff 2, measure 1, layer 1: 3 entries",
            "    entry 6 at 0, 1024 EDU, beam start: C3",
            "    entry 7 at 1024, 1024 EDU, beam start: rest",
            "    entry 8 at 2048, 2048 EDU, beam start: C3",
            "  staff 2, measure 2, layer 1: 1 entry",
            "    entry 9 at 0, 4096 EDU, beam start: rest",
        },
        testsupport::LinesStartingWith(result.out, "cells of document 1 \"keyboard\": all staves, all measures", "  "));
    // The assignment is stored after the four default ones: F9 (0x78) -> code 181, on, kind 2.
    std::ifstream registry(RegistryFile());
    const std::string text((std::istreambuf_iterator<char>(registry)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("000000000000007800B5000000010002000000000000\"\n"), std::string::npos) << text;
}

}  // namespace
