// The "More..." page of a tool's options dialog end to end: hostsim loads the built plug-ins, the
// user opens the page from the dialog, sets it, confirms it with OK and runs the tool with Go; the
// records the run writes carry the page's values.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "tests/support/fixture.h"

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
            "  'edED' entry (1, 0), 10 bytes: 0100 E2FF 0A00 0000 0080",
            "  'edED' entry (3, 0), 10 bytes: 0100 E2FF 0A00 0000 0080",
        },
        RecordLines(result, "edED"));
    testsupport::ExpectLines(
        {
            "  'E\\x02Ah' entry (1, 0), 10 bytes: 0100 0000 0000 ECFF 0000",
            "  'E\\x02Ah' entry (3, 0), 10 bytes: 0100 0000 0000 ECFF 0000",
        },
        RecordLines(result, "E\\x02Ah"));
    testsupport::ExpectLines({"  'SODT' other (1, 0), 16 bytes: 0218 0000 0000 0000 0000 0000 5B20 5D00"},
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
            "    entry 1 at 0, 2048 EDU, beam start, more flags 0x0004: E5",
            "    entry 2 at 2048, 2048 EDU, beam start, more flags 0x0004: F5",
            "  staff 1, measure 2, layer 1: 1 entry",
            "    entry 3 at 0, 4096 EDU, beam start, more flags 0x0004: rest",
        },
        testsupport::LinesStartingWith(result.out, "cells of document 1 \"page\": staff 1, all measures", "  "));
}

}  // namespace
