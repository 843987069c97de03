// The smart part explosion end to end: hostsim loads the built plug-ins, the user explodes the
// two flutes that share a staff in chords; the explosion drives the host's region dialog, copy,
// clear and paste by keys, and each flute ends on a staff of its own, the oboe untouched.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "tests/support/fixture.h"
#include "tests/support/hostsim_run.h"

namespace {

class ExplosionHostsimTest : public testsupport::DesktopTest {};

// The flutes' score after the explosion: staff 3 is the staff the explosion added below the flutes
// (slot 2); the second flute's notes were pasted there as new entries.
const std::vector<std::string> kFlutesExploded = {
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
};

TEST_F(ExplosionHostsimTest, TwoFlutesInChordsEndOnTwoStaves) {
    const auto score = TempFolder() / "explosion.score";
    std::ofstream(score) << "staff \"Flutes\" \"Fl.\"\nstaff \"Oboe\" \"Ob.\"\nmeasures 2\nclef 1 2 bass\n"
                            "expression 1 \"1./2.\"\nmeasureexpression 1 1 staff 1\n"
                            "notes 1 1 c5+e5/2 d5+f5/2\nnotes 1 2 e5+g5/1\nnotes 2 1 a4/1\nnotes 2 2 b4/1\n";
    const auto result =
        testsupport::RunHostsim("host version 0x05000005\nhost language en\nload plugins\nnew " + score.string() +
                                    "\nselect 1 1-2\nhold shift\n"
                                    "menu \"Orvex/Parts/Smart Explosion of multi-part staves...\"\n"
                                    "wait 3000\nrelease shift\ndump cells\ndump records SDGF\n",
                                RegistryFile());
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const auto& out = result.out;
    EXPECT_EQ(std::find_if(out.begin(), out.end(),
                           [](const std::string& line) { return line.find("Mass Mover") != std::string::npos; }),
              out.end());
    testsupport::ExpectLines(
        kFlutesExploded,
        testsupport::LinesStartingWith(out, "cells of document 1 \"explosion\": all staves, all measures", "  "));
    // "Copy clefs?" (on): the new staff changes to the bass clef in measure 2 as its source does.
    testsupport::ExpectLines(
        {"  'SDGF' detail (1, 2, 0), 12 bytes: clef 3, flags 0x0000",
         "  'SDGF' detail (3, 2, 0), 12 bytes: clef 3, flags 0x0000"},
        testsupport::LinesStartingWith(out, "records of document 1 \"explosion\": 2 'SDGF' of 48", "  "));
}

// A keyboard part whose parts grow from measure to measure: a measure that closes one region is
// read again for the next; the progress display counts it once, so that it never reports more
// steps than it announced.
TEST_F(ExplosionHostsimTest, TheDistributionCountsEachMeasureOnce) {
    const auto score = TempFolder() / "piano.score";
    std::ofstream(score) << "staff \"Right\" \"R\"\nstaff \"Left\" \"L\"\nmeasures 6 time 3/4\nclef 1 1 treble\n"
                            "clef 2 1 bass\nnotes 1 1 c4/8 e4/8 d4/8 e4/8 g4/8 a4/8\n"
                            "notes 2 1 c3/8 e3/8 d3/8 e3/8 g3/8 a3/8\nnotes 1 2 c5/8 c5/8 c5/8 c5/8 c5/8 c5/8\n"
                            "notes 1 2 layer 2 a4+e4/2 f4+d4/4\nnotes 2 2 a3+a2/2 g3+g2/4\nnotes 1 3 b4/2 g4/4\n"
                            "notes 1 3 layer 2 f4+d4/2 r/4\nnotes 2 3 g3+g2/2 r/4\n"
                            "notes 1 4 c5/8 e5/8 e5/8 g5/8 g5/8 g4/8\nnotes 2 4 c3/4 e4+c4+g3/4 e4+c4+g3/4\n"
                            "notes 1 5 a4/2 g4/4\nnotes 2 5 c3/8 a3/8 c4/8 d4/8 e4/4\nnotes 2 5 layer 2 c3/2.\n"
                            "notes 1 6 c5/2.\nnotes 2 6 c3/2.\ngroup 1 2 \"Piano\" \"Pno.\"\n";
    const auto result = testsupport::RunHostsim(
        "load plugins\nnew " + score.string() +
            "\nselect 1-2 1-6\nform TDActOpt click Go\nanswer yes\n"
            "menu \"Orvex/Parts/Smart Distribution of grouped parts...\"\nwait 3000\ndump cells 4 4-6\n",
        RegistryFile());
    ASSERT_EQ(result.exitCode, 0) << result.err;
    std::vector<std::string> ends;
    for (const std::string& line : result.out) {
        if (line.starts_with("host: progress ends after ") && line.find(" of 6 steps") != std::string::npos) {
            ends.push_back(line);
        }
    }
    testsupport::ExpectLines({"host: progress ends after 2 of 6 steps", "host: progress ends after 6 of 6 steps",
                              "host: progress ends after 6 of 6 steps"},
                             ends);
    // Measures 4-6 of staff 4 are one run of the left hand's part: pasted once, with the run's first
    // region, their entries keep the numbers of that paste.
    testsupport::ExpectLines(
        {"  staff 4, measure 4, layer 1: 3 entries", "    entry 68 at 0, 1024 EDU, beam start, notes changed: C3",
         "    entry 69 at 1024, 1024 EDU, beam start, notes changed: G3",
         "    entry 70 at 2048, 1024 EDU, beam start, notes changed: G3", "  staff 4, measure 5, layer 1: 1 entry",
         "    entry 76 at 0, 3072 EDU, beam start, notes changed: C3", "  staff 4, measure 6, layer 1: 1 entry",
         "    entry 77 at 0, 3072 EDU, beam start, notes changed: C3"},
        testsupport::LinesStartingWith(result.out, "cells of document 1 \"piano\": staff 4, measures 4-6", "  "));
}

// The user leaves the scripted path while the explosion started by Go takes its steps. The run
// belongs to the flutes' document: it either finishes there (the second flute on the new staff
// 3) or ends saying what it did (staff 3 added, still empty); another document is never touched,
// no later command is taken for a step, and every step of the undo history is named after the
// command the user chose (the host's clear and paste that its keys carry out too).
struct InterruptionCase {
    const char* name;
    const char* script;   ///< what the user does after choosing the command
    bool finished;        ///< the run finished on its document
    const char* message;  ///< a text the user is shown, or none
};
void PrintTo(const InterruptionCase& c, std::ostream* os) {
    *os << c.name;
}

class ExplosionInterruptionTest : public ExplosionHostsimTest,
                                  public ::testing::WithParamInterface<InterruptionCase> {};

TEST_P(ExplosionInterruptionTest, TheRunEndsOnItsOwnDocument) {
    const InterruptionCase& c = GetParam();
    const auto score = TempFolder() / "explosion.score";
    std::ofstream(score) << "staff \"Flutes\" \"Fl.\"\nstaff \"Oboe\" \"Ob.\"\nmeasures 2\n"
                            "expression 1 \"1./2.\"\nmeasureexpression 1 1 staff 1\n"
                            "notes 1 1 c5+e5/2 d5+f5/2\nnotes 1 2 e5+g5/1\nnotes 2 1 a4/1\nnotes 2 2 b4/1\n";
    // The other document: "other", or (%SAME%) one of the same name as the run's, from another folder.
    const bool sameName = std::string(c.script).find("%SAME%") != std::string::npos;
    std::filesystem::create_directories(TempFolder() / "elsewhere");
    const auto other = sameName ? TempFolder() / "elsewhere" / "explosion.score" : TempFolder() / "other.score";
    std::ofstream(other) << "staff \"Flute\"\nmeasures 2\nnotes 1 1 c5/1\nnotes 1 2 d5/1\n";
    std::string script = "load plugins\nnew " + score.string() + "\nselect 1 1-2\nform TDActOpt click Go\n" + c.script +
                         "\nwait 3000\nfront 1\ndump cells 3\nfront 2\ndump cells\nfront 1\n";
    for (int i = 0; i < 8; ++i) {
        script += "menu \"Edit/Undo\"\n";
    }
    for (const std::string placeholder : {"%OTHER%", "%SAME%"}) {
        const size_t at = script.find(placeholder);
        if (at != std::string::npos) {
            script.replace(at, placeholder.size(), other.string());
        }
    }
    const auto result = testsupport::RunHostsim(script, RegistryFile());
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const auto& out = result.out;
    const std::string cells = "cells of document 1 \"explosion\": staff 3, all measures";
    const std::vector<std::string> exploded = {
        "  staff 3, measure 1, layer 1: 2 entries", "    entry 6 at 0, 2048 EDU, beam start, notes changed: C5",
        "    entry 7 at 2048, 2048 EDU, beam start, notes changed: D5", "  staff 3, measure 2, layer 1: 1 entry",
        "    entry 8 at 0, 4096 EDU, beam start, notes changed: E5"};
    const std::vector<std::string> empty = {"  staff 3, measure 1: no entries", "  staff 3, measure 2: no entries"};
    testsupport::ExpectLines(c.finished ? exploded : empty, testsupport::LinesStartingWith(out, cells, "  "));
    testsupport::ExpectLines(
        {"  staff 1, measure 1, layer 1: 1 entry", "    entry 1 at 0, 4096 EDU, beam start: C5",
         "  staff 1, measure 2, layer 1: 1 entry", "    entry 2 at 0, 4096 EDU, beam start: D5"},
        testsupport::LinesStartingWith(
            out,
            std::string("cells of document 2 \"") + (sameName ? "explosion" : "other") + "\": all staves, all measures",
            "  "));
    if (c.message != nullptr) {
        EXPECT_NE(std::find_if(out.begin(), out.end(),
                               [&](const std::string& line) { return line.find(c.message) != std::string::npos; }),
                  out.end())
            << c.message;
    }
    size_t undone = 0;
    for (const std::string& line : out) {
        if (line.starts_with("host: undo \"")) {
            ++undone;
            EXPECT_TRUE(line.starts_with("host: undo \"Smart Explosion of multi-part staves...\"")) << line;
        }
    }
    EXPECT_GT(undone, 0u);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(UserActs, ExplosionInterruptionTest, ::testing::Values(
    // The click made the dialog active before the step's keys arrived: they wait for the host.
    InterruptionCase{"a_click_on_the_dialog_then_the_host", "form TDActOpt click cbAutoClose\n"
        "menu \"Orvex/Parts/Smart Explosion of multi-part staves...\"\nactivate host\nnew %OTHER%", true, nullptr},
    // Cancel does nothing while the run goes on: the host takes the activation back.
    InterruptionCase{"cancel", "form TDActOpt click CancelBtn\n"
        "menu \"Orvex/Parts/Smart Explosion of multi-part staves...\"\nnew %OTHER%\nmenu \"Orvex/About...\"", true,
        "TDActOpt stays open while its run goes on"},
    // Another document in front: the run waits for its own and goes on there.
    InterruptionCase{"another_document_then_back", "form TDActOpt click cbAutoClose\n"
        "menu \"Orvex/Parts/Smart Explosion of multi-part staves...\"\nnew %OTHER%\nactivate host\n"
        "menu \"Orvex/About...\"\nfront 1", true, "Please return to \\\"explosion\\\" to let it finish!"},
    // Another document of the same name in front: the run knows its own and waits for it.
    InterruptionCase{"another_document_of_the_same_name_then_back", "form TDActOpt click cbAutoClose\n"
        "menu \"Orvex/Parts/Smart Explosion of multi-part staves...\"\nnew %SAME%\nactivate host\n"
        "menu \"Orvex/About...\"\nfront 1", true, "Please return to \\\"explosion\\\" to let it finish!"},
    // Another command for its document: the run ends and says so, and the command runs.
    InterruptionCase{"another_command_on_its_document", "form TDActOpt click cbAutoClose\n"
        "menu \"Orvex/Parts/Smart Explosion of multi-part staves...\"\nmenu \"Orvex/About...\"\nnew %OTHER%", false,
        "Smart Explosion of multi-part staves\\\" stopped before it finished, because another command was chosen."}),
    [](const ::testing::TestParamInfo<InterruptionCase>& testCase) { return std::string(testCase.param.name); });
// clang-format on

// Two parts written on one staff (in chords, in two layers), exploded with the stored options:
// every note of each part comes back to it at its position and length, what is attached to a
// note goes where the note goes.
struct MusicCase {
    const char* name;
    const char* score;                  ///< the score text; staff 1 holds the two parts
    const char* select;                 ///< the region exploded ("1 1-2")
    const char* dumps;                  ///< the dump lines after the explosion
    std::vector<std::string> expected;  ///< all they print
};
void PrintTo(const MusicCase& c, std::ostream* os) {
    *os << c.name;
}

class ExplosionMusicTest : public ExplosionHostsimTest, public ::testing::WithParamInterface<MusicCase> {};

TEST_P(ExplosionMusicTest, EachPartKeepsItsMusic) {
    const MusicCase& c = GetParam();
    std::ofstream(TempFolder() / "music.score") << c.score;
    const auto result = testsupport::RunHostsimWith(
        "load plugins\nnew music.score\nselect " + std::string(c.select) +
            "\nhold shift\nmenu \"Orvex/Parts/Smart Explosion of multi-part staves...\"\nwait 3000\n"
            "release shift\n" +
            c.dumps,
        TempFolder(), "-q");
    ASSERT_EQ(result.exitCode, 0) << result.err;
    testsupport::ExpectLines(c.expected, result.out);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(TwoPartsOnAStaff, ExplosionMusicTest, ::testing::Values(
    // A turn of four grace notes before a chord (measure 1) and in the lower part's layer
    // (measure 2): the turn goes whole to the part of the note it leads into, and that note and
    // those after it keep their positions and lengths.
    MusicCase{"a_turn_keeps_the_notes_after_it", R"(staff "Flutes" "Fl."
measures 2
expression 1 "1./2."
measureexpression 1 1 staff 1
notes 1 1 c5+e5/4 d5/16g c5/16g b4/16g c5/16g a4+f5/8 b4+g5/8 c5+e5/2
notes 1 2 g5/4 f5/4 e5/2
notes 1 2 layer 2 r/4 d5/16g c5/16g b4/16g c5/16g b4/8 c5/8 g4/2
)", "1 1-2", "dump cells\n", {
        "cells of document 1 \"music\": all staves, all measures",
        "  staff 1, measure 1, layer 1: 4 entries",
        "    entry 1 at 0, 1024 EDU, beam start, notes changed: E5",
        "    entry 6 at 1024, 512 EDU, beam start, notes changed: F5",
        "    entry 7 at 1536, 512 EDU, notes changed: G5",
        "    entry 8 at 2048, 2048 EDU, beam start, notes changed: E5",
        "  staff 1, measure 2, layer 1: 3 entries",
        "    entry 9 at 0, 1024 EDU, beam start, notes changed: G5",
        "    entry 10 at 1024, 1024 EDU, beam start, notes changed: F5",
        "    entry 11 at 2048, 2048 EDU, beam start, notes changed: E5",
        "  staff 2, measure 1, layer 1: 8 entries",
        "    entry 20 at 0, 1024 EDU, beam start, notes changed: C5",
        "    entry 21 at 1024, 256 EDU (actual 0), grace, beam start, notes changed: D5",
        "    entry 22 at 1024, 256 EDU (actual 0), grace, beam start, notes changed: C5",
        "    entry 23 at 1024, 256 EDU (actual 0), grace, beam start, notes changed: B4",
        "    entry 24 at 1024, 256 EDU (actual 0), grace, beam start, notes changed: C5",
        "    entry 25 at 1024, 512 EDU, beam start, notes changed: A4",
        "    entry 26 at 1536, 512 EDU, notes changed: B4",
        "    entry 27 at 2048, 2048 EDU, beam start, notes changed: C5",
        "  staff 2, measure 2, layer 1: 8 entries",
        "    entry 31 at 0, 1024 EDU, floating, beam start, notes changed: rest",
        "    entry 32 at 1024, 256 EDU (actual 0), grace, beam start: D5",
        "    entry 33 at 1024, 256 EDU (actual 0), grace, beam start: C5",
        "    entry 34 at 1024, 256 EDU (actual 0), grace, beam start: B4",
        "    entry 35 at 1024, 256 EDU (actual 0), grace, beam start: C5",
        "    entry 36 at 1024, 512 EDU, beam start, notes changed: B4",
        "    entry 37 at 1536, 512 EDU, notes changed: C5",
        "    entry 38 at 2048, 2048 EDU, beam start, notes changed: G4"}},
    // After-graces at a measure's end, in chords (measure 1) and in the upper part's layer
    // (measure 2), stay with the part of the note they follow.
    MusicCase{"after_graces_stay_with_their_part", R"(staff "Flutes" "Fl."
measures 3
expression 1 "1./2."
measureexpression 1 1 staff 1
notes 1 1 c5+e5/2 d5+f5/2 g5/16g e5/16g
notes 1 2 c5/2 d5/2 e5/16g f5/16g
notes 1 2 layer 2 a4/2 b4/2
notes 1 3 e5+g5/1
)", "1 1-3", "dump cells 1-2 1-2\n", {
        "cells of document 1 \"music\": staves 1-2, measures 1-2",
        "  staff 1, measure 1, layer 1: 4 entries",
        "    entry 1 at 0, 2048 EDU, beam start, notes changed: E5",
        "    entry 2 at 2048, 2048 EDU, beam start, notes changed: F5",
        "    entry 3 at 4096, 256 EDU (actual 0), grace, beam start, notes changed: G5",
        "    entry 4 at 4096, 256 EDU (actual 0), grace, beam start, notes changed: E5",
        "  staff 1, measure 2, layer 1: 4 entries",
        "    entry 5 at 0, 2048 EDU, beam start, notes changed: C5",
        "    entry 6 at 2048, 2048 EDU, beam start, notes changed: D5",
        "    entry 7 at 4096, 256 EDU (actual 0), grace, beam start, notes changed: E5",
        "    entry 8 at 4096, 256 EDU (actual 0), grace, beam start, notes changed: F5",
        "  staff 2, measure 1, layer 1: 2 entries",
        "    entry 12 at 0, 2048 EDU, beam start, notes changed: C5",
        "    entry 13 at 2048, 2048 EDU, beam start, notes changed: D5",
        "  staff 2, measure 2, layer 1: 2 entries",
        "    entry 20 at 0, 2048 EDU, beam start, notes changed: A4",
        "    entry 21 at 2048, 2048 EDU, beam start, notes changed: B4"}},
    // Tenor and bass in two layers, slurs on the tenor's notes, a triplet in the tenor and a grace
    // note that starts the bass's layer: the bass staff keeps no copy of the tenor's slurs,
    // links and tuplet, and the tenor's staff keeps no hidden rest of the bass.
    MusicCase{"records_go_with_their_entries", R"(staff "Tenor/Bass" "T/B"
measures 3
clef 1 1 bass
expression 1 "1./2."
measureexpression 1 1 staff 1
notes 1 1 c4/4 d4/4 e4/4 f4/4
notes 1 1 layer 2 c3/2 g2/2
notes 1 2 {3:2 e4/8 d4/8 c4/8} b3/4 c4/2
notes 1 2 layer 2 c3/4 d3/4 e3/2
notes 1 3 c4/2 d4/2
notes 1 3 layer 2 g2/8g c3/4 d3/4 e3/2
shape 0 1 1:1 1:4
shape 0 1 2:1 2:4
)", "1 1-3", "dump cells 1-2 2-3\ndump records O\\x07Sx\ndump records edEx\ndump records E\\x03TP\ndump records otMx\n", {
        "cells of document 1 \"music\": staves 1-2, measures 2-3",
        "  staff 1, measure 2, layer 1: 5 entries",
        "    entry 7 at 0, 512 EDU (actual 341), tuplet, beam start, notes changed, note shapes: E4",
        "      tuplet 3:2 (3 x 512 in the time of 2 x 512) of entries 7-9; smart shape 2",
        "    entry 8 at 341, 512 EDU (actual 341), notes changed: D4",
        "      in the tuplet of entry 7",
        "    entry 9 at 682, 512 EDU (actual 342), notes changed: C4",
        "      in the tuplet of entry 7",
        "    entry 10 at 1024, 1024 EDU, beam start, notes changed, note shapes: B3",
        "      smart shape 2",
        "    entry 11 at 2048, 2048 EDU, beam start, notes changed: C4",
        "  staff 1, measure 3, layer 1: 2 entries",
        "    entry 15 at 0, 2048 EDU, beam start, notes changed: C4",
        "    entry 16 at 2048, 2048 EDU, beam start, notes changed: D4",
        "  staff 2, measure 2, layer 1: 3 entries",
        "    entry 32 at 0, 1024 EDU, beam start, notes changed: C3",
        "    entry 33 at 1024, 1024 EDU, beam start, notes changed: D3",
        "    entry 34 at 2048, 2048 EDU, beam start, notes changed: E3",
        "  staff 2, measure 3, layer 1: 4 entries",
        "    entry 37 at 0, 512 EDU (actual 0), grace, beam start: G2",
        "    entry 38 at 0, 1024 EDU, beam start, notes changed: C3",
        "    entry 39 at 1024, 1024 EDU, beam start, notes changed: D3",
        "    entry 40 at 2048, 2048 EDU, beam start, notes changed: E3",
        "records of document 1 \"music\": 2 'O\\x07Sx' of 52",
        "  'O\\x07Sx' other (1, 0), 84 bytes: kind 0 from staff 1 measure 1 entry 1 to staff 1 measure 1 entry 4, offset 0",
        "  'O\\x07Sx' other (2, 0), 84 bytes: kind 0 from staff 1 measure 2 entry 7 to staff 1 measure 2 entry 10, offset 0",
        "records of document 1 \"music\": 4 'edEx' of 52",
        "  'edEx' entry (1, 0), 12 bytes: smart shape 1",
        "  'edEx' entry (4, 0), 12 bytes: smart shape 1",
        "  'edEx' entry (7, 0), 12 bytes: smart shape 2",
        "  'edEx' entry (10, 0), 12 bytes: smart shape 2",
        "records of document 1 \"music\": 1 'E\\x03TP' of 52",
        "  'E\\x03TP' entry (7, 0), 30 bytes: 3 x 512 EDU in the time of 2 x 512, word 10 0, flags 0xA001",
        "records of document 1 \"music\": 2 'otMx' of 52",
        "  'otMx' other (1, 0), 12 bytes: smart shape 1",
        "  'otMx' other (2, 0), 12 bytes: smart shape 2"}},
    // A slur over the chords of both flutes: each flute's staff has a slur over its own notes.
    MusicCase{"a_slur_over_chords_goes_to_each_part", R"(staff "Flutes" "Fl."
measures 1
expression 1 "1./2."
measureexpression 1 1 staff 1
notes 1 1 c5+e5/4 d5+f5/4 e5+g5/2
shape 0 1 1:1 1:2
)", "1 1", "dump records O\\x07Sx\ndump records edEx\ndump records otMx\n", {
        "records of document 1 \"music\": 2 'O\\x07Sx' of 46",
        "  'O\\x07Sx' other (1, 0), 84 bytes: kind 0 from staff 1 measure 1 entry 1 to staff 1 measure 1 entry 2, offset 0",
        "  'O\\x07Sx' other (2, 0), 84 bytes: kind 0 from staff 2 measure 1 entry 4 to staff 2 measure 1 entry 5, offset 0",
        "records of document 1 \"music\": 4 'edEx' of 46",
        "  'edEx' entry (1, 0), 12 bytes: smart shape 1",
        "  'edEx' entry (2, 0), 12 bytes: smart shape 1",
        "  'edEx' entry (4, 0), 12 bytes: smart shape 2",
        "  'edEx' entry (5, 0), 12 bytes: smart shape 2",
        "records of document 1 \"music\": 2 'otMx' of 46",
        "  'otMx' other (1, 0), 12 bytes: smart shape 1",
        "  'otMx' other (1, 1), 12 bytes: smart shape 2"}},
    // The slurs' entry links are damaged (6 of their 12 bytes, as a damaged file holds them): the
    // copy of the slur over the chords gets whole links of its own on the second flute's staff,
    // the copy of the slur over the first flute's own notes goes with those notes, the damaged
    // links stay as they are, and no record names an entry that is gone.
    MusicCase{"slurs_with_damaged_links", R"(staff "Flutes" "Fl."
measures 2
expression 1 "1./2."
measureexpression 1 1 staff 1
notes 1 1 c5+e5/4 d5+f5/4 e5+g5/2
notes 1 2 g5/4 f5/4 e5/2
notes 1 2 layer 2 c5/2 b4/2
shape 0 1 1:1 1:2
shape 0 1 2:1 2:3
record edEx entry 1 0 hex 6 0100 0000 0000
record edEx entry 2 0 hex 6 0100 0000 0000
record edEx entry 4 0 hex 6 0200 0000 0000
record edEx entry 6 0 hex 6 0200 0000 0000
)", "1 1-2", "check document since music.score\ndump cells 2\ndump records O\\x07Sx\ndump records edEx\n", {
        "document check of document 1 \"music\" since music.score: no new problems",
        "cells of document 1 \"music\": staff 2, all measures",
        "  staff 2, measure 1, layer 1: 3 entries",
        "    entry 9 at 0, 1024 EDU, beam start, notes changed, note shapes: C5",
        "      smart shape 3",
        "    entry 10 at 1024, 1024 EDU, beam start, notes changed, note shapes: D5",
        "      smart shape 3",
        "    entry 11 at 2048, 2048 EDU, beam start, notes changed: E5",
        "  staff 2, measure 2, layer 1: 2 entries",
        "    entry 15 at 0, 2048 EDU, beam start, notes changed: C5",
        "    entry 16 at 2048, 2048 EDU, beam start, notes changed: B4",
        "records of document 1 \"music\": 3 'O\\x07Sx' of 51",
        "  'O\\x07Sx' other (1, 0), 84 bytes: kind 0 from staff 1 measure 1 entry 1 to staff 1 measure 1 entry 2, offset 0",
        "  'O\\x07Sx' other (2, 0), 84 bytes: kind 0 from staff 1 measure 2 entry 4 to staff 1 measure 2 entry 6, offset 0",
        "  'O\\x07Sx' other (3, 0), 84 bytes: kind 0 from staff 2 measure 1 entry 9 to staff 2 measure 1 entry 10, offset 0",
        "records of document 1 \"music\": 6 'edEx' of 51",
        "  'edEx' entry (1, 0), 6 bytes: smart shape 1",
        "  'edEx' entry (2, 0), 6 bytes: smart shape 1",
        "  'edEx' entry (4, 0), 6 bytes: smart shape 2",
        "  'edEx' entry (6, 0), 6 bytes: smart shape 2",
        "  'edEx' entry (9, 0), 12 bytes: smart shape 3",
        "  'edEx' entry (10, 0), 12 bytes: smart shape 3"}}),
    [](const ::testing::TestParamInfo<MusicCase>& testCase) { return std::string(testCase.param.name); });
// clang-format on

// The File menu opened by the user (German host: Alt+D) while the distribution waits for a step
// holds the run's keys until Escape closes it: the run then ends exactly as it ends when nobody
// touches anything (today's hosts took the paste onto the copy's own source staff).
TEST_F(ExplosionHostsimTest, AnOpenFileMenuHoldsTheDistributionsKeys) {
    const auto score = TempFolder() / "piano.score";
    std::ofstream(score)
        << "staff \"Right\" \"R\"\nstaff \"Left\" \"L\"\nmeasures 4 time 3/4\nclef 1 1 treble\n"
           "clef 2 1 bass\nnotes 1 1 c5/8 c5/8 c5/8 c5/8 c5/8 c5/8\nnotes 1 1 layer 2 a4+e4/2 f4+d4/4\n"
           "notes 2 1 a3+a2/2 g3+g2/4\nnotes 1 2 b4/2 g4/4\nnotes 1 2 layer 2 f4+d4/2 r/4\n"
           "notes 2 2 g3+g2/2 r/4\nnotes 1 3 c5/8 e5/8 e5/8 g5/8 g5/8 g4/8\n"
           "notes 2 3 c3/4 e4+c4+g3/4 e4+c4+g3/4\nnotes 1 4 c5/2.\nnotes 2 4 c3/2.\n"
           "group 1 2 \"Piano\" \"Pno.\"\n";
    const std::string run = "host language de\nload plugins\nnew " + score.string() +
                            "\nselect 1-2 1-4\nform TDActOpt click Go\nanswer yes\n%AT%"
                            "menu \"Orvex/Stimmen/Intelligente Verteilung gruppierter Stimmen...\"\n%LATER%"
                            "wait 5000\ndump score\n";
    std::string plain = run;
    plain.replace(plain.find("%AT%"), 4, "");
    plain.replace(plain.find("%LATER%"), 7, "");
    std::string held = run;
    held.replace(held.find("%AT%"), 4, "after step 4 press Alt+D\n");
    held.replace(held.find("%LATER%"), 7, "wait 2000\npress Escape\n");
    const auto untouched = testsupport::RunHostsim(plain, RegistryFile());
    ASSERT_EQ(untouched.exitCode, 0) << untouched.err;
    const auto result = testsupport::RunHostsim(held, RegistryFile());
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const auto said = [&](const std::string& text) {
        return std::any_of(result.out.begin(), result.out.end(),
                           [&](const std::string& line) { return line.find(text) != std::string::npos; });
    };
    EXPECT_TRUE(said("> at step 4: press Alt+D"));
    EXPECT_FALSE(said("Es konnte nicht kopiert werden"));
    EXPECT_TRUE(said("Das Verteilen der Stimmen ist beendet"));
    const std::vector<std::string> expected =
        testsupport::LinesStartingWith(untouched.out, "score text of document 1 \"piano\":", "  ");
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(testsupport::LinesStartingWith(result.out, "score text of document 1 \"piano\":", "  "), expected);
}

// The lines of the dump "score text of document 1" number `skip` (from 0).
std::vector<std::string> ScoreDump(const std::vector<std::string>& out, size_t skip = 0) {
    std::vector<std::string> dumps;
    for (auto line = out.begin(); line != out.end(); ++line) {
        if (line->starts_with("score text of document 1 ") && skip-- == 0) {
            std::vector<std::string> dump{*line};
            for (++line; line != out.end() && line->starts_with("  "); ++line) {
                dump.push_back(*line);
            }
            return dump;
        }
    }
    return {};
}

const char* const kFlutesScore =
    "staff \"Flutes\" \"Fl.\"\nstaff \"Oboe\" \"Ob.\"\nmeasures 2\n"
    "expression 1 \"1./2.\"\nmeasureexpression 1 1 staff 1\n"
    "notes 1 1 c5+e5/2 d5+f5/2\nnotes 1 2 e5+g5/1\nnotes 2 1 a4/1\nnotes 2 2 b4/1\n";

// A selection past the document's end (measure 3 of two): the explosion works on the measures the
// document has, as for "select 1 1-2"; the region dialog is never asked for a measure the document
// lacks, and no staff the user did not select is cleared.
TEST_F(ExplosionHostsimTest, ASelectionPastTheDocumentsEndIsClampedToIt) {
    const auto score = TempFolder() / "explosion.score";
    std::ofstream(score) << kFlutesScore;
    const auto result =
        testsupport::RunHostsim("load plugins\nnew " + score.string() +
                                    "\nselect 1 1-3\nform TDActOpt click Go\n"
                                    "menu \"Orvex/Parts/Smart Explosion of multi-part staves...\"\ndump cells\n",
                                RegistryFile());
    ASSERT_EQ(result.exitCode, 0) << result.err;
    testsupport::ExpectLines(kFlutesExploded,
                             testsupport::LinesStartingWith(
                                 result.out, "cells of document 1 \"explosion\": all staves, all measures", "  "));
    EXPECT_EQ(std::count_if(result.out.begin(), result.out.end(),
                            [](const std::string& line) { return line.starts_with("host: cleared "); }),
              1);
    EXPECT_NE(std::find(result.out.begin(), result.out.end(), "host: cleared staff 2, measures 1-2"), result.out.end());
}

// The user acts at a step of the explosion, as hostsim's "after step" lets a script do. Undo (from
// the Edit menu, by Ctrl+Z) ends the run first, which says what stays done, and the run never goes
// on over the undone document; an open File menu holds the run's keys until it closes, and the run
// then ends as it ends without it; a selection the user changes between the region dialog and
// the copy stops the run before it copies. In every case every step of the undo history is named
// after the command, undoing them all gives the score back exactly, and redoing them all gives
// it as the run left it.
struct StepCase {
    const char* name;
    const char* before;   ///< lines before the command's menu line
    const char* after;    ///< lines after it
    const char* message;  ///< the message the run ends with; none: it finishes
};
void PrintTo(const StepCase& c, std::ostream* os) {
    *os << c.name;
}

class ExplosionStepTest : public ExplosionHostsimTest, public ::testing::WithParamInterface<StepCase> {};

TEST_P(ExplosionStepTest, TheRunEndsCleanlyAndItsStepsTellTheTruth) {
    const StepCase& c = GetParam();
    const auto score = TempFolder() / "explosion.score";
    std::ofstream(score) << kFlutesScore;
    std::string script = "load plugins\nnew " + score.string() +
                         "\ndump score\nselect 1 1-2\nform TDActOpt click Go\n" + c.before +
                         "menu \"Orvex/Parts/Smart Explosion of multi-part staves...\"\n" + c.after +
                         "wait 3000\ndump cells 3\ndump score\n";
    for (int i = 0; i < 12; ++i) {
        script += "menu \"Edit/Undo\"\n";
    }
    script += "dump score\n";
    for (int i = 0; i < 12; ++i) {
        script += "menu \"Edit/Redo\"\n";
    }
    script += "dump score\n";
    const auto result = testsupport::RunHostsim(script, RegistryFile());
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const auto& out = result.out;
    const auto said = [&](const std::string& text) {
        return std::any_of(out.begin(), out.end(),
                           [&](const std::string& line) { return line.find(text) != std::string::npos; });
    };
    EXPECT_FALSE(said("Mass Mover"));
    if (c.message != nullptr) {
        EXPECT_TRUE(said(c.message)) << c.message;
        EXPECT_FALSE(said("The Part Distribution process has terminated"));
        // Nothing is cleared, copied or pasted after the user acted.
        const auto at = std::find_if(out.begin(), out.end(),
                                     [](const std::string& line) { return line.starts_with("> at step "); });
        ASSERT_NE(at, out.end());
        EXPECT_TRUE(std::none_of(at, out.end(), [](const std::string& line) {
            return line.starts_with("host: cleared") || line.starts_with("host: copied") ||
                   line.starts_with("host: pasted");
        }));
    } else {
        EXPECT_TRUE(said("The Part Distribution process has terminated")) << "the run finished";
        testsupport::ExpectLines(
            {"  staff 3, measure 1, layer 1: 2 entries", "    entry 6 at 0, 2048 EDU, beam start, notes changed: C5",
             "    entry 7 at 2048, 2048 EDU, beam start, notes changed: D5", "  staff 3, measure 2, layer 1: 1 entry",
             "    entry 8 at 0, 4096 EDU, beam start, notes changed: E5"},
            testsupport::LinesStartingWith(out, "cells of document 1 \"explosion\": staff 3, all measures", "  "));
    }
    for (const std::string& line : out) {
        if (line.starts_with("host: undo \"") || line.starts_with("host: redo \"")) {
            EXPECT_NE(line.find(" \"Smart Explosion of multi-part staves...\": "), std::string::npos) << line;
        }
    }
    const std::vector<std::string> before = ScoreDump(out, 0);
    ASSERT_FALSE(before.empty());
    EXPECT_EQ(ScoreDump(out, 2), before) << "undoing every step gives the score back";
    if (c.message == nullptr || std::string(c.message).find("because Undo or Redo") == std::string::npos) {
        // (After the user's Undo, the step the user undid is redone too.)
        EXPECT_EQ(ScoreDump(out, 3), ScoreDump(out, 1)) << "redoing them gives the score as the run left it";
    }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(AtAStep, ExplosionStepTest, ::testing::Values(
    StepCase{"nothing", "", "", nullptr},
    StepCase{"undo_after_the_first_step", "after step 1 menu \"Edit/Undo\"\n", "",
             "stopped before it finished, because Undo or Redo was chosen for \\\"explosion\\\""},
    StepCase{"undo_after_the_paste", "after step 6 menu \"Edit/Undo\"\n", "",
             "stopped before it finished, because Undo or Redo was chosen"},
    StepCase{"ctrl_z_after_the_copy", "after step 4 press Ctrl+Z\n", "",
             "stopped before it finished, because Undo or Redo was chosen"},
    StepCase{"the_dialogs_undo_button_after_the_copy", "after step 4 activate form TDActOpt\nafter step 4 press Alt+U\n",
             "", "stopped before it finished, because Undo or Redo was chosen"},
    StepCase{"file_menu_open_after_the_clear", "after step 2 press Alt+F\n", "wait 2000\npress Escape\n", nullptr},
    StepCase{"selection_changed_before_the_copy", "after step 3 select 2 1-2\n", "",
             "Finale's region dialog did not select staff 1, measures 1-2, so nothing more was cleared, copied or "
             "pasted"}),
    [](const ::testing::TestParamInfo<StepCase>& testCase) { return std::string(testCase.param.name); });
// clang-format on

}  // namespace
