// "Vx Playback..." end to end through hostsim: the example passage gets its playback data from Go
// (MIDI events, silenced notes and playback notes, shown decoded), "Play" has the host redraw the
// measures, a second Go rewrites the data after one question, and "Remove these effects from
// selection" leaves the records exactly as they were before.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "tests/support/fixture.h"
#include "tests/support/hostsim_run.h"

namespace {

class PlaybackHostsimTest : public testsupport::DesktopTest {};

/// The lines of the n-th record listing (from 0), heading included.
std::vector<std::string> Listing(const std::vector<std::string>& out, size_t n) {
    auto at = out.begin();
    for (size_t k = 0; k <= n; ++k) {
        at = std::find_if(k == 0 ? at : at + 1, out.end(), [](const std::string& line) {
            return line.starts_with("records of document 1 \"playback\": ");
        });
        if (at == out.end()) {
            return {};
        }
    }
    std::vector<std::string> lines{*at};
    for (++at; at != out.end() && at->starts_with("  "); ++at) {
        lines.push_back(*at);
    }
    return lines;
}

TEST_F(PlaybackHostsimTest, CreateRedrawAndRemoveOnThePassage) {
    const std::string score = (std::filesystem::path(ORVEX_SOURCE_DIR) / "examples" / "playback.score").string();
    const auto result = testsupport::RunHostsim(
        "load plugins\n"
        "new " +
            score +
            "\n"
            "select 1-1 1-3\n"
            "dump records\n"
            "form TDActOpt set \"Glissandi?\" checked\n"
            "form TDActOpt set \"Make hairpins play back as volume changes?\" checked\n"
            "form TDActOpt set \"Make trills/tremolos/diddles play back (notes in another layer)?\" checked\n"
            "form TDActOpt click Go\n"
            "form TDActOpt click CancelBtn\n"
            "menu \"Orvex/Modify/Playback...\"\n"
            "dump records\n"
            "dump cells 1 1\n"
            "form TDActOpt click btExtra2\n"
            "form TDActOpt click CancelBtn\n"
            "menu \"Orvex/Modify/Playback...\"\n"
            "answer yes\n"
            "form TDActOpt click Go\n"
            "form TDActOpt click CancelBtn\n"
            "menu \"Orvex/Modify/Playback...\"\n"
            "dump records\n"
            "form TDActOpt click btExtra1\n"
            "form TDActOpt click CancelBtn\n"
            "menu \"Orvex/Modify/Playback...\"\n"
            "dump records\n"
            "dump cells\n",
        RegistryFile());
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const std::vector<std::string>& out = result.out;
    const auto has = [&](const std::string& line) { return std::find(out.begin(), out.end(), line) != out.end(); };

    const std::vector<std::string> before = Listing(out, 0);
    ASSERT_EQ(before.size(), 49u);
    EXPECT_EQ(before[0], "records of document 1 \"playback\": 48");
    // Go: the glide's events and the crescendo's ramp, decoded; the trilled C5 and the tremolo's
    // E5 and the line's F5 silenced; the trill's notes in layer 4 (after the line's notes of
    // measure 3, written first).
    const std::vector<std::string> created = Listing(out, 1);
    ASSERT_EQ(created.size(), 135u);
    EXPECT_EQ(created[0], "records of document 1 \"playback\": 134");
    for (const char* line : {
             "  'dtME' detail (1, 1, 0), 10 bytes: MIDI event at 0: controller 7 (volume) = 64",
             "  'dtME' detail (1, 1, 45), 10 bytes: MIDI event at 3060: controller 7 (volume) = 127",
             "  'dtME' detail (1, 2, 3), 10 bytes: MIDI event at 7: controller 6 (bender range, semitones) = 12",
             "  'dtME' detail (1, 2, 4), 10 bytes: MIDI event at 460: pitch wheel 8341",
             "  'dtME' detail (1, 2, 36), 10 bytes: MIDI event at 2048: pitch wheel 8192",
             "  'edac' entry (1, 0), 10 bytes: note id 1: word 2 0, word 4 -7, pitch change -126, level change -127 "
             "(silenced for playback notes)",
             "  'edac' entry (7, 0), 10 bytes: note id 1: word 2 0, word 4 -7, pitch change -126, level change -127 "
             "(silenced for playback notes)",
             "  'edac' entry (8, 0), 10 bytes: note id 1: word 2 0, word 4 -7, pitch change -126, level change -127 "
             "(silenced for playback notes)",
         }) {
        EXPECT_NE(std::find(created.begin(), created.end(), line), created.end()) << line;
    }
    EXPECT_EQ(std::find(created.begin(), created.end(),
                        "  'edac' entry (2, 0), 10 bytes: note id 1: word 2 0, word 4 -7, pitch change -126, level "
                        "change -127 (silenced for playback notes)"),
              created.end())
        << "a staccato plays as written";
    for (const char* line : {"  staff 1, measure 1, layer 4: 13 entries",
                             "    entry 24 at 0, 187 EDU, created, playback note: D5[playback]",
                             "    entry 33 at 867, 85 EDU, created, playback note: C5[playback]",
                             "    entry 36 at 1024, 3072 EDU, created, floating, hidden, playback note: rest"}) {
        EXPECT_TRUE(has(line)) << line;
    }
    // Play: the host redraws the measures.
    EXPECT_TRUE(has("host: redraw measures 1-3 of view 0"));
    // The second Go asks once whether to overwrite, then writes the same records again.
    EXPECT_TRUE(
        has("  label Message \"The layer for the invisible playback notes, layer 4, is not empty (it might "
            "contain playback notes from previously running this plug-in). Click Yes to delete and overwrite "
            "existing notes in the complete measure(s) in that layer; click No to use layer 3 instead.\""));
    const std::vector<std::string> again = Listing(out, 2);
    EXPECT_EQ(again, created);
    // Remove: layer 4 (both measures) and layer 3 (measure 3) go without a question; the records
    // are as before.
    EXPECT_FALSE(has("  label Message \"Delete notes and rests from layer 4?\""));
    EXPECT_EQ(Listing(out, 3), before);
    // The cells hold layer 1 only again.
    const std::vector<std::string> cells =
        testsupport::LinesStartingWith(out, "cells of document 1 \"playback\": all staves, all measures", "  ");
    EXPECT_EQ(std::count_if(cells.begin(), cells.end(),
                            [](const std::string& line) { return line.find(", layer ") != std::string::npos; }),
              3);
}

}  // namespace
