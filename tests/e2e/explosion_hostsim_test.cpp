// The smart part explosion end to end: hostsim loads the built plug-ins, the user explodes the
// two flutes that share a staff in chords; the explosion drives the host's region dialog, copy,
// clear and paste by keys, and each flute ends on a staff of its own, the oboe untouched.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "tests/support/fixture.h"

namespace {

class ExplosionHostsimTest : public testsupport::DesktopTest {};

TEST_F(ExplosionHostsimTest, TwoFlutesInChordsEndOnTwoStaves) {
    const auto score = TempFolder() / "explosion.score";
    std::ofstream(score) << "staff \"Flutes\" \"Fl.\"\nstaff \"Oboe\" \"Ob.\"\nmeasures 2\n"
                            "expression 1 \"1./2.\"\nmeasureexpression 1 1 staff 1\n"
                            "notes 1 1 c5+e5/2 d5+f5/2\nnotes 1 2 e5+g5/1\nnotes 2 1 a4/1\nnotes 2 2 b4/1\n";
    const auto result =
        testsupport::RunHostsim("host version 0x05000005\nhost language en\nload plugins\nnew " + score.string() +
                                    "\nselect 1 1-2\nhold shift\n"
                                    "menu \"Orvex/Parts/Smart Explosion of multi-part staves...\"\n"
                                    "wait 3000\nrelease shift\ndump cells\n",
                                RegistryFile());
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const auto& out = result.out;
    EXPECT_EQ(std::find_if(out.begin(), out.end(),
                           [](const std::string& line) { return line.find("Mass Mover") != std::string::npos; }),
              out.end());
    // Staff 3 is the staff the explosion added below the flutes (slot 2); the second flute's
    // notes were pasted there as new entries.
    testsupport::ExpectLines(
        {
            "  staff 1, measure 1, layer 1: 2 entries",
            "    entry 1 at 0, 2048 EDU, beam start, notes changed: E5",
            "    entry 2 at 2048, 2048 EDU, beam start, notes changed: F5",
            "  staff 1, measure 2, layer 1: 1 entry",
            "    entry 3 at 0, 4096 EDU, beam start, notes changed: G5",
            "  staff 2, measure 1, layer 1: 1 entry",
            "    entry 4 at 0, 4096 EDU, beam start: A4",
            "  staff 2, measure 2, layer 1: 1 entry",
            "    entry 5 at 0, 4096 EDU, beam start: B4",
            "  staff 3, measure 1, layer 1: 2 entries",
            "    entry 6 at 0, 2048 EDU, beam start, notes changed: C5",
            "    entry 7 at 2048, 2048 EDU, beam start, notes changed: D5",
            "  staff 3, measure 2, layer 1: 1 entry",
            "    entry 8 at 0, 4096 EDU, beam start, notes changed: E5",
        },
        testsupport::LinesStartingWith(out, "cells of document 1 \"explosion\": all staves, all measures", "  "));
}

}  // namespace
