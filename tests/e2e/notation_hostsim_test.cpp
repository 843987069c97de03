// hostsim end to end: a score text with a triplet, a tie over the barline, a placed rest and
// playback records; "dump cells" shows them, and after Accidentals it shows the flags the command
// set on each note.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/fixture.h"
#include "tests/support/hostsim_run.h"

namespace {

class NotationHostsimTest : public testsupport::DesktopTest {};

TEST_F(NotationHostsimTest, AccidentalsShowsItsFlagsInTheCellListing) {
    const std::string score = (std::filesystem::path(ORVEX_SOURCE_DIR) / "examples" / "notation.score").string();
    const auto result = testsupport::RunHostsim(
        "load plugins\n"
        "new " +
            score +
            "\n"
            "dump cells 1 2\n"
            "select 1-1 1-3\n"
            "form TDActOpt click Go\n"
            "menu \"Orvex/Music/Accidentals...\"\n"
            "dump cells 1 1-2\n",
        RegistryFile());
    ASSERT_EQ(result.exitCode, 0) << result.err;
    testsupport::ExpectLines(
        {
            "  staff 1, measure 2, layer 1: 4 entries",
            "    entry 7 at 0, 1024 EDU, beam start: ~D5",
            "    entry 8 at 1024, 1024 EDU, beam start: C5",
            "    entry 9 at 2048, 1024 EDU, beam start: C5",
            "    entry 10 at 3072, 1024 EDU, floating, beam start: rest at B4",
        },
        testsupport::LinesStartingWith(result.out, "cells of document 1 \"notation\": staff 1, measure 2", "  "));
    // Every accidental shown and frozen; the repeated C loses its own; the tied D at the start of
    // system 2 shows its accidental again.
    testsupport::ExpectLines(
        {
            "  staff 1, measure 1, layer 1: 6 entries",
            "    entry 1 at 0, 1024 EDU, beam start: D5[shown,frozen]",
            "    entry 2 at 1024, 1024 EDU, beam start: F#5[shown,frozen]",
            "    entry 3 at 2048, 512 EDU (actual 341), tuplet, beam start: G5[shown,frozen]",
            "      tuplet 3:2 (3 x 512 in the time of 2 x 512) of entries 3-5",
            "    entry 4 at 2389, 512 EDU (actual 341): F5[shown,frozen]",
            "      in the tuplet of entry 3",
            "    entry 5 at 2730, 512 EDU (actual 342): E5[shown,frozen]",
            "      in the tuplet of entry 3",
            "    entry 6 at 3072, 1024 EDU, beam start: D5[shown,frozen]~",
            "  staff 1, measure 2, layer 1: 4 entries",
            "    entry 7 at 0, 1024 EDU, beam start: ~D5[shown,frozen]",
            "    entry 8 at 1024, 1024 EDU, beam start: C5[shown,frozen]",
            "    entry 9 at 2048, 1024 EDU, beam start: C5",
            "    entry 10 at 3072, 1024 EDU, floating, beam start: rest at B4",
        },
        testsupport::LinesStartingWith(result.out, "cells of document 1 \"notation\": staff 1, measures 1-2", "  "));
}

}  // namespace
