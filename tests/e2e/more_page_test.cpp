// The "More..." page of a tool's options dialog end to end: hostsim loads the built plug-ins, the
// user opens the page from the dialog, sets it, confirms it with OK and runs the tool with Go; the
// records the run writes carry the page's values.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include "tests/support/fixture.h"
#include "tests/support/hostsim_run.h"

namespace {

class MorePageHostsimTest : public testsupport::DesktopTest {
protected:
    testsupport::HostsimResult Run(const std::string& scoreText, const std::string& lines) {
        const auto score = TempFolder() / "page.score";
        std::ofstream(score) << scoreText;
        return testsupport::RunHostsim(
            "host version 0x05000005\nhost language en\nload plugins\nnew " + score.string() + "\n" + lines,
            RegistryFile());
    }
    /// The lines of a dump that list records of one tag ("  'edED' ...").
    static std::vector<std::string> RecordLines(const testsupport::HostsimResult& result, const std::string& tag) {
        std::vector<std::string> lines;
        for (const std::string& line : result.out) {
            if (line.starts_with("  '" + tag + "' ")) {
                lines.push_back(line);
            }
        }
        return lines;
    }
};

// Grace notes before a dotted quarter and before a quarter: both are the quarter's trill notes.
constexpr const char* kTrillScore =
    "font 0 \"Maestro\"\nfont 1 \"Times New Roman\"\nfont 2 \"Arial\"\nstaff \"Violin\"\nmeasures 1\n"
    "notes 1 1 d5/4g c5/4. a5/4g g5/4 r/4\n";

TEST_F(MorePageHostsimTest, TheTrillNotesTakeTheParenthesesOfThePage) {
    const auto result = Run(kTrillScore,
                            "select 1 1\n"
                            "form TDActOpt click SubMask1\n"
                            "form TDActOpt set \"Accidental shift (positive=to the right):\" 20\n"
                            "form TDActOpt set \"Font for parentheses:\" Arial\n"
                            "form TDActOpt set \"Font size:\" 24\n"
                            "form TDActOpt set \"Parentheses for notes without accidental:\" \"[ ]\"\n"
                            "form TDActOpt set \"Horizontal parentheses displacement for notes without:\" -30\n"
                            "form TDActOpt set \"Vertical parentheses displacement:\" 10\n"
                            "form TDActOpt click OKBtn\n"
                            "form TDActOpt click Go\n"
                            "form TDActOpt click CancelBtn\n"
                            "menu \"Orvex/Music/Make parenthesized trill notes...\"\n"
                            "dump records edED\ndump records E\\x02Ah\ndump records SODT\n");
    ASSERT_EQ(result.exitCode, 0) << result.err;
    // The parentheses "[ ]" in Arial 24 (font 2, size 0x18), 30 EVPU to the left and 10 up; the
    // accidentals 20 EVPU to the left (-20 = 0xFFEC).
    testsupport::ExpectLines(
        {
            "  'edED' entry (1, 0), 10 bytes: text expression 1, offsets horizontal -30 vertical 10, flags 0x8000",
            "  'edED' entry (3, 0), 10 bytes: text expression 1, offsets horizontal -30 vertical 10, flags 0x8000",
        },
        RecordLines(result, "edED"));
    testsupport::ExpectLines(
        {
            "  'E\\x02Ah' entry (1, 0), 10 bytes: accidental of note id 1, offset -20",
            "  'E\\x02Ah' entry (3, 0), 10 bytes: accidental of note id 1, offset -20",
        },
        RecordLines(result, "E\\x02Ah"));
    testsupport::ExpectLines(
        {"  'SODT' other (1, 0), 16 bytes: font 2 size 24, style 0x0000, words 0 0, flags 0x0000, text \"[ ]\""},
        RecordLines(result, "SODT"));
}

// The page of the part commands (the explosion's "More ..."): with "Clear empty measures" off, the
// measure in which the parts rest keeps its rest.
TEST_F(MorePageHostsimTest, ThePartPageKeepsAMeasureOfRests) {
    const auto result = Run("staff \"Flutes\"\nmeasures 2\nnotes 1 1 c5+e5/2 d5+f5/2\nnotes 1 2 r/1\n",
                            "select 1 1-2\n"
                            "form TDActOpt click SubMask1\n"
                            "form TDActOpt set \"Clear empty measures:\" 0\n"
                            "form TDActOpt click OKBtn\n"
                            "form TDActOpt click Go\n"
                            "form TDActOpt click CancelBtn\n"
                            "menu \"Orvex/Parts/Process extracted parts...\"\n"
                            "dump cells 1\n");
    ASSERT_EQ(result.exitCode, 0) << result.err;
    testsupport::ExpectLines(
        {
            "  staff 1, measure 1, layer 1: 2 entries",
            "    entry 1 at 0, 2048 EDU, beam start, notes changed: E5",
            "    entry 2 at 2048, 2048 EDU, beam start, notes changed: F5",
            "  staff 1, measure 2, layer 1: 1 entry",
            "    entry 3 at 0, 4096 EDU, beam start, notes changed: rest",
        },
        testsupport::LinesStartingWith(result.out, "cells of document 1 \"page\": staff 1, all measures", "  "));
}

// Align/Move's page, row 14: the note's "f" articulation becomes a note-attached text expression
// "f" in the articulation's font and size, at its offsets (horizontal 5 + the definition's 7,
// vertical 30 - 120), and the articulation goes; the staccato stays.
TEST_F(MorePageHostsimTest, AlignMovesPageTurnsADynamicsArticulationIntoAnExpression) {
    const auto result =
        Run("font 1 \"Maestro\"\nstaff \"Violin\"\nmeasures 1\nnotes 1 1 e4/4 g4/4 c5/4 e5/4\n"
            "articulation 1 \"f\" font 1 size 24 place above horizontal 7\n"
            "articulation 2 \".\" place opposite\n"
            "notearticulation 1 1:1 2\nnotearticulation 1 1:1 1 at 5 offset 30\n",
            "select 1 1\n"
            "form TDActOpt click SubMask1\n"
            "form TDActOpt set \"Convert articulation dynamics to text expressions:\" 1\n"
            "form TDActOpt click OKBtn\n"
            "form TDActOpt click Go\n"
            "form TDActOpt click CancelBtn\n"
            "menu \"Orvex/Modify/Align/Move...\"\n"
            "dump records edIM\ndump records edED\ndump records SODT\ndump cells\n");
    ASSERT_EQ(result.exitCode, 0) << result.err;
    testsupport::ExpectLines({"  'edIM' entry (1, 0), 10 bytes: articulation 2, offsets horizontal 0 vertical 0"},
                             RecordLines(result, "edIM"));
    testsupport::ExpectLines(
        {"  'edED' entry (1, 0), 10 bytes: text expression 1, offsets horizontal 12 vertical -90, flags 0x8800"},
        RecordLines(result, "edED"));
    testsupport::ExpectLines(
        {"  'SODT' other (1, 0), 14 bytes: font 1 size 24, style 0x0000, words 0 0, flags 0x0000, text \"f\""},
        RecordLines(result, "SODT"));
    testsupport::ExpectLines(
        {
            "  staff 1, measure 1, layer 1: 4 entries",
            "    entry 1 at 0, 1024 EDU, articulations, beam start, note expressions: E4",
            "      expression 1; articulation 2",
        },
        std::vector<std::string>(
            std::find(result.out.begin(), result.out.end(), "  staff 1, measure 1, layer 1: 4 entries"),
            std::find(result.out.begin(), result.out.end(), "    entry 2 at 1024, 1024 EDU, beam start: G4")));
}

}  // namespace
