// hostsim end to end through the host's services and commands: a pitch row read through the
// host's pitch names, New Spacing around the host's own note spacing, Undo of a plug-in's
// change and of Analyze's marks before grace notes, Reset of hairpins, a slur moved clear of a
// staccato by the host's placement of the entry, and an emptied measure losing its staff's
// expressions.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/support/fixture.h"
#include "tests/support/hostsim_run.h"

namespace {

namespace fs = std::filesystem;

class HostServicesHostsimTest : public testsupport::DesktopTest {
protected:
    static std::string Example(const char* name) { return (fs::path(ORVEX_SOURCE_DIR) / "examples" / name).string(); }
    /// The lines from the first equal to `first` on, as many as `expected` holds; checked.
    static void ExpectFrom(const std::vector<std::string>& out, const std::vector<std::string>& expected) {
        const auto it = std::find(out.begin(), out.end(), expected.front());
        ASSERT_NE(it, out.end()) << expected.front();
        std::vector<std::string> lines(it, out.end());
        lines.resize(std::min(lines.size(), expected.size()));
        testsupport::ExpectLines(expected, lines);
    }
    testsupport::HostsimResult Run(const std::string& script) {
        auto result = testsupport::RunHostsim("load plugins\n" + script, RegistryFile());
        EXPECT_EQ(result.exitCode, 0) << result.err;
        return result;
    }
};

TEST_F(HostServicesHostsimTest, SpecialModificationsHidesFSharp4ByItsPitchRow) {
    const auto result = Run("new " + Example("pitches.score") +
                            "\nselect 1 1\nform TDActOpt set Row0 F#4\nform TDActOpt set Row6 1\n"
                            "form TDActOpt click Go\nmenu \"Orvex/Modify/Special Modifications...\"\ndump cells\n");
    // F#4 and G flat 4 are pitch 66; F#5 is not, and the chord is hidden only when all its notes
    // match.
    ExpectFrom(result.out,
               {"cells of document 1 \"pitches\": all staves, all measures", "  staff 1, measure 1, layer 1: 4 entries",
                "    entry 1 at 0, 1024 EDU, hidden, beam start: F#4", "    entry 2 at 1024, 1024 EDU, beam start: F#5",
                "    entry 3 at 2048, 1024 EDU, hidden, beam start: Gb4",
                "    entry 4 at 3072, 1024 EDU, beam start: C4 F#4"});
}

TEST_F(HostServicesHostsimTest, ACommandThatStopsWhereAServiceFoundNothingIsFollowedByTheReason) {
    // A hymn of one's own: four parts, no "layout" statement, so no staff systems.
    const std::string hymn = (TempFolder() / "hymn.score").string();
    std::ofstream(hymn) << "staff \"S\"\nstaff \"A\"\nstaff \"T\"\nstaff \"B\"\nmeasures 2 time 4/4\n"
                           "notes 1 1 g4/2 a4/2\nnotes 2 1 d4/2 f#4/2\nnotes 3 1 b3/2 c4/2\nnotes 4 1 g2/2 d3/2\n";
    const std::string fit =
        "\nselect 1-4 1-2\nform TDActOpt click Go\nmenu \"Orvex/Layout/Fit Measures...\"\n"
        "hold shift\nmenu \"Orvex/Music/Respell Notes\"\nrelease shift\n";
    const auto result = Run("new " + hymn + fit);
    ExpectFrom(result.out, {"host: redraw the document",
                            "[form] \"Fit Measures 1.88d\" TDActOpt stays open after Go (\"Close\" after Go is off)",
                            "host: nothing changed",
                            "host: service 9 found no staff system: the document has no staff systems (\"layout\" in a "
                            "score text lays its music out in systems and pages)",
                            "host: nothing changed", "> hold shift"});
    // Respell Notes asks for the systems too, then goes on to the music: that is not why it
    // changes nothing.
    ExpectFrom(result.out, {"> menu \"Orvex/Music/Respell Notes\"",
                            "host: progress begins over staves 1-4, measures "
                            "1-2: 32 steps",
                            "host: progress ends after 32 of 32 steps", "host: nothing changed", "> release shift"});

    // Laid out, the same document is fitted.
    std::ofstream(hymn, std::ios::app) << "layout\n";
    const auto laidOut = Run("new " + hymn + fit);
    EXPECT_EQ(std::count_if(laidOut.out.begin(), laidOut.out.end(),
                            [](const std::string& line) { return line.starts_with("host: service"); }),
              0);
    EXPECT_NE(std::find_if(laidOut.out.begin(), laidOut.out.end(),
                           [](const std::string& line) {
                               return line.starts_with("host: Orvex188.fxt changed document 1 \"hymn\": records") &&
                                      line.find("'otFM'") != std::string::npos;
                           }),
              laidOut.out.end());
}

// Fit Measures on a laid-out hymn of three measures in one system, from its options dialog kept
// open: into two systems (a split with no later system to move the optimizations of: every
// progress display runs to its end), then into four, which three measures cannot make: that run
// fails before it splits anything, and the dialog is named after the command again, not "Done.".
TEST_F(HostServicesHostsimTest, FitMeasuresSaysDoneOnlyAfterARunThatIsDone) {
    const std::string hymn = (TempFolder() / "hymn.score").string();
    std::ofstream(hymn) << "staff \"S\"\nstaff \"A\"\nmeasures 3 time 4/4\nnotes 1 1 g4/2 a4/2\nnotes 2 1 d4/2 f#4/2\n"
                           "layout\n";
    const auto result = Run("new " + hymn +
                            "\nselect 1-2 1-3\nform TDActOpt set Row3 2\nform TDActOpt click Go\n"
                            "form TDActOpt set Row3 4\nform TDActOpt click Go\nmenu \"Orvex/Layout/Fit Measures...\"\n"
                            "dump records SOSS\n");
    ExpectFrom(
        result.out,
        {"  user: click Go", "host: progress begins over staves 1-2, measures 1-3: 3 steps",
         "host: progress ends after 3 of 3 steps", "host: progress begins over staves 1-2, measures 1-2: 1 step",
         "host: progress ends after 1 of 1 step", "host: progress begins over staves 1-2, measures 1-2: 1000 steps",
         "host: progress ends after 20 of 1000 steps", "host: redraw the document",
         "[form] \"Done.\" TDActOpt stays open after Go (\"Close\" after Go is off)", "  user: set Row3 \"4\"",
         "  user: click Go", "host: progress begins over staves 1-2, measures 1-3: 3 steps",
         "host: progress ends after 3 of 3 steps", "host: redraw the document",
         "[form] \"Fit Measures 1.88d\" TDActOpt stays open after Go (\"Close\" after Go is off)"});
    ExpectFrom(result.out, {"records of document 1 \"hymn\": 2 'SOSS' of 42",
                            "  'SOSS' other (1, 0), 20 bytes: measures 1 to before 3, flags 0x0000, top staff 0, "
                            "margins 0 0, space -96, scale 100",
                            "  'SOSS' other (2, 0), 20 bytes: measures 3 to before 4, flags 0x0000, top staff 0, "
                            "margins 0 0, space -96, scale 100"});
}

TEST_F(HostServicesHostsimTest, ATextThatIsNoPitchRunsNothing) {
    const auto result = Run("new " + Example("pitches.score") +
                            "\nselect 1 1\nform TDActOpt set Row0 H4\nform TDActOpt set Row6 1\n"
                            "form TDActOpt click Go\nmenu \"Orvex/Modify/Special Modifications...\"\ndump cells\n");
    EXPECT_NE(std::find(result.out.begin(), result.out.end(),
                        "  label Message \"\\\"H4\\\" is not a pitch name. Please type a note letter A-G, optionally "
                        "followed by # or b, and an octave, such as C4, F#3 or Bb5.\""),
              result.out.end());
    EXPECT_NE(std::find(result.out.begin(), result.out.end(), "    entry 1 at 0, 1024 EDU, beam start: F#4"),
              result.out.end());
}

// Also with the document saved under another name between the passes: it is still the run's
// document, so the second pass runs on it and takes its preparations (the third staff's rhythm)
// back.
TEST_F(HostServicesHostsimTest, NewSpacingAroundTheHostsNoteSpacing) {
    for (const bool saved : {false, true}) {
        const std::string name = saved ? "renamed" : "newspacing";
        const auto result =
            Run("new " + Example("newspacing.score") + "\nselect 1-2 1-2\nform TDActOpt set Row4 1\n" +
                "form TDActOpt click Go\n" +
                (saved ? "after step 0 save " + (TempFolder() / "renamed.MUS").string() + "\n" : std::string()) +
                "menu \"Orvex/New Spacing\"\ndump records otBC\ndump cells 3 1-2\n");
        // The first pass, the host's note spacing by its keys, then the second pass and its message,
        // all in one turn of the user.
        const auto spaced =
            std::find(result.out.begin(), result.out.end(), "host: Apply Note Spacing: 2 measures respaced (1-2)");
        ASSERT_NE(spaced, result.out.end()) << name;
        const std::vector<std::string> after(saved ? spaced + 2 : spaced + 1, result.out.end());
        EXPECT_EQ(after.front(),
                  saved ? "host: saved document 1 \"renamed\" as renamed.MUS, 44 records" : after.front());
        ExpectFrom(
            {after.begin() + (saved ? 1 : 0), after.end()},
            {"host: progress begins over staves 1-3, measures 1-2: 2 steps", "host: progress ends after 2 of 2 steps",
             "host: progress begins over staves 1-3, measures 1-2: 2 steps", "host: progress ends after 2 of 2 steps",
             "[form] \"Vx New Spacing\" TMsgDlg, modal",
             "  label Message \"The New Spacing process has successfully terminated. Note that if "
             "you want to undo the operation, you may have to issue several undo commands, so it is "
             "best to go into the Undo/Redo selection lists.\""});
        const std::vector<std::string> chart =
            testsupport::LinesStartingWith(result.out, "records of document 1 \"" + name + "\": 8 'otBC' of 42", "  ");
        ASSERT_EQ(chart.size(), 8u) << name;
        EXPECT_EQ(chart[0],
                  "  'otBC' other (1, 0), 10 bytes: header: duration 4096, end 208, minimum end 208, word 232");
        EXPECT_EQ(chart[4], "  'otBC' other (1, 4), 10 bytes: at 2048: position 140, next 208, minimum 0");
        EXPECT_EQ(testsupport::LinesStartingWith(result.out,
                                                 "cells of document 1 \"" + name + "\": staff 3, measures 1-2", "  "),
                  std::vector<std::string>{})
            << name;
    }
}

TEST_F(HostServicesHostsimTest, UndoAfterRemoveRestoresTheCells) {
    const auto result = Run("new " + Example("newspacing.score") +
                            "\nselect 1 1\nform TDActOpt set \"Convert notes to rests:\" checked\n"
                            "form TDActOpt click Go\nform TDActOpt click UndoBtn\nmenu \"Orvex/Modify/Remove...\"\n"
                            "dump cells 1 1\npress Ctrl+Y\ndump cells 1 1\nmenu \"Edit/Undo\"\n");
    // The host tells what the command changed; the Undo button's keys reach it after the call.
    ExpectFrom(result.out, {"host: Orvex188.fxt changed document 1 \"newspacing\": 1 cell (3 entries changed)"});
    ExpectFrom(result.out, {"host: undo \"Remove...\": 1 cell, 0 records", "  staff 1, measure 1, layer 1",
                            "> dump cells 1 1", "cells of document 1 \"newspacing\": staff 1, measure 1",
                            "  staff 1, measure 1, layer 1: 3 entries", "    entry 1 at 0, 512 EDU, beam start: C5"});
    ExpectFrom(result.out,
               {"> press Ctrl+Y", "host: redo \"Remove...\": 1 cell, 0 records", "  staff 1, measure 1, layer 1",
                "> dump cells 1 1", "cells of document 1 \"newspacing\": staff 1, measure 1",
                "  staff 1, measure 1, layer 1: 3 entries", "    entry 1 at 0, 512 EDU, beam start: rest"});
    ExpectFrom(result.out, {"> menu \"Edit/Undo\"", "host: undo \"Remove...\": 1 cell, 0 records"});
}

TEST_F(HostServicesHostsimTest, AnalyzeMarksAFifthBeforeGraceNotesAndUndoGivesTheScoreBack) {
    const fs::path score = TempFolder() / "graces.score";
    std::ofstream(score) << "staff \"A\"\nstaff \"B\"\nmeasures 1\n"
                            "notes 1 1 c5/4 d5/4 e5/8g d5/4 f5/8g e5/8g d5/8g c5/8g d5/4\n"
                            "notes 2 1 f4/4 g4/4 f4/4 g4/4\n";
    const auto result = Run("new " + score.string() +
                            "\ndump cells\ndump records\nselect 1-2 1\nhold shift\n"
                            "menu \"Orvex/Miscellaneous/Analyze...\"\nrelease shift\ndump changes\n"
                            "menu \"Edit/Undo\"\ndump cells\ndump records\n");
    // Only the marked notes change: the note after the grace note and the turn and the note after
    // it keep their positions.
    ExpectFrom(result.out, {"  staff 1, measure 1, layer 1:", "  -   entry 1 at 0, 1024 EDU, beam start: C5",
                            "  +   entry 1 at 0, 1024 EDU, note details, beam start, note shapes: C5",
                            "  -   entry 2 at 1024, 1024 EDU, beam start: D5",
                            "  +   entry 2 at 1024, 1024 EDU, note details, beam start, note shapes: D5",
                            "  staff 2, measure 1, layer 1:"});
    ExpectFrom(result.out, {"> menu \"Edit/Undo\"", "host: undo \"Analyze...\": 2 cells, 13 records"});
    const auto at = [&](const std::string& line, size_t from) {
        return static_cast<size_t>(
            std::find(result.out.begin() + static_cast<std::ptrdiff_t>(from), result.out.end(), line) -
            result.out.begin());
    };
    const size_t written = at("> dump cells", 0);
    const size_t selected = at("> select 1-2 1", written);
    const size_t undone = at("> dump cells", selected);
    ASSERT_LT(undone, result.out.size());
    const std::vector<std::string> before(result.out.begin() + static_cast<std::ptrdiff_t>(written),
                                          result.out.begin() + static_cast<std::ptrdiff_t>(selected));
    const std::vector<std::string> after(result.out.begin() + static_cast<std::ptrdiff_t>(undone),
                                         result.out.begin() + static_cast<std::ptrdiff_t>(undone + before.size()));
    testsupport::ExpectLines(before, after);
}

TEST_F(HostServicesHostsimTest, TheOptionsDialogsRedoButtonRedoes) {
    const auto result = Run("new " + Example("newspacing.score") +
                            "\nselect 1 1\nform TDActOpt set \"Convert notes to rests:\" checked\n"
                            "form TDActOpt click Go\nmenu \"Orvex/Modify/Remove...\"\nmenu \"Edit/Undo\"\n"
                            "form TDActOpt click RedoBtn\nmenu \"Orvex/Modify/Remove...\"\n");
    const auto click = std::find(result.out.begin(), result.out.end(), "  user: click RedoBtn");
    const auto redone = std::find(result.out.begin(), result.out.end(), "host: redo \"Remove...\": 1 cell, 0 records");
    EXPECT_LT(click, redone);
    EXPECT_NE(redone, result.out.end());
}

TEST_F(HostServicesHostsimTest, ResetMakesTheRegionsHairpinsHorizontal) {
    const auto result = Run("new " + Example("hairpins.score") +
                            "\nselect 1 1-2\nform TDActOpt set Row0 36\nform TDActOpt set Row1 1\n"
                            "form TDActOpt click Go\nmenu \"Orvex/Modify/Reset...\"\ndump records O\\x07Sx\n");
    ExpectFrom(result.out, {"records of document 1 \"hairpins\": 3 'O\\x07Sx' of 20",
                            "  'O\\x07Sx' other (1, 0), 84 bytes: kind 2 from staff 1 measure 1 at 0 to staff 1 "
                            "measure 2 at 2048, offset 0, opening 36, horizontal over a system break",
                            "  'O\\x07Sx' other (2, 0), 84 bytes: kind 3 from staff 1 measure 3 at 0 to staff 1 "
                            "measure 4 at 0, offset 0, opening 0, angled over a system break",
                            "  'O\\x07Sx' other (3, 0), 84 bytes: kind 3 from staff 2 measure 1 at 0 to staff 2 "
                            "measure 1 at 3072, offset 0, opening 0, angled over a system break"});
}

TEST_F(HostServicesHostsimTest, SlursMovesASlurClearOfAStaccato) {
    const auto result = Run("open " + Example("slurs.MUS") +
                            "\nselect 1 1\nform TDActOpt set Row5 checked\nform TDActOpt click Go\n"
                            "menu \"Orvex/Modify/Slurs...\"\ndump records O\\x07Sx\n");
    ExpectFrom(result.out, {"records of document 1 \"slurs\": 1 'O\\x07Sx' of 39",
                            "  'O\\x07Sx' other (1, 0), 84 bytes: kind 1 from staff 1 measure 1 entry 1 to staff 1 "
                            "measure 1 entry 3, offset 40"});
}

TEST_F(HostServicesHostsimTest, AnEmptiedMeasureLosesItsStaffsExpressions) {
    const auto result = Run("new " + Example("parts.score") +
                            "\nselect 1 1-2\nform TDActOpt set Row0 0\nform TDActOpt click Go\n"
                            "menu \"Orvex/Parts/Process extracted parts...\"\ndump records otDY\ndump cells 1\n");
    ExpectFrom(result.out, {"records of document 1 \"parts\": 2 'otDY' of 41",
                            "  'otDY' other (1, 0), 12 bytes: expression 1 at 2048, offset 0, staff 2",
                            "  'otDY' other (2, 0), 12 bytes: expression 1 at 1024, offset 0, staff 1"});
    ExpectFrom(result.out,
               {"cells of document 1 \"parts\": staff 1, all measures", "  staff 1, measure 1: no entries"});
}

}  // namespace
