#include "bench/bench_commands.h"

#include <utility>
#include <vector>

namespace bench {

// The options of each command are those under which it works on every staff and measure of the
// score (or, for a command that works on one staff, one system or the document's tables, on
// the staff, system or tables it needs), and does its real work rather than stop at its first
// message. "$T" stands for a folder the benchmark may write, "$X" for the examples folder.
// clang-format off
namespace {

/// The Browser and the Music menu.
std::vector<BenchCommand> MusicCommands() {
    return {
        {"Browser", "Orvex/Browser...",
         {"form TTextExprInfo click Knew", "form TTextExprForm click xCalcUsage", "form TTextExprForm click OkBtn"}},
        {"Harmonics", "Orvex/Music/Harmonics...",
         {"form THarmonicsForm set WorkOn 5", "form THarmonicsForm click HarmonicsGo",
          "form THarmonicsForm click HarmCancel"}},
        {"Beam Breaker", "Orvex/Music/Beam Breaker...",
         {"form TSBBForm set break4 1", "form TSBBForm set SimpleBreakAllRests 1", "form TSBBForm click SBBGoBtn"}},
        {"Tremolo", "Orvex/Music/Tremolo...",
         {"form TDActOpt set Row2 1", "form TDActOpt set Row7 1", "form TDActOpt click Go",
          "form TDActOpt click CancelBtn"}},
        {"Respell Notes", "Orvex/Music/Respell Notes", {}},
        {"Accidentals", "Orvex/Music/Accidentals...",
         {"form TDActOpt set Row0 1", "form TDActOpt set Row1 1", "form TDActOpt click Go",
          "form TDActOpt click CancelBtn"}},
        {"Fill with rests", "Orvex/Music/Fill with rests...",
         {"form TDActOpt set Row4 90", "form TDActOpt set Row5 10", "form TDActOpt click Go",
          "form TDActOpt click CancelBtn"}},
        {"Create Hairpins", "Orvex/Music/Create Hairpins...",
         {"form TDActOpt set Row6 8", "form TDActOpt click Go", "form TDActOpt click CancelBtn"}},
        {"Create Slurs", "Orvex/Music/Create Slurs...",
         {"form TDActOpt set Row0 0", "form TDActOpt click Go", "form TDActOpt click CancelBtn"}},
        {"Laisser vibrer", "Orvex/Music/Laisser vibrer", {"answer ok"}},
        {"Combine rhythms and pitches", "Orvex/Music/Combine rhythms and pitches...",
         {"form TDActOpt set Row4 0", "form TDActOpt click Go", "form TDActOpt click CancelBtn"}},
        {"Make parenthesized trill notes", "Orvex/Music/Make parenthesized trill notes...",
         {"form TDActOpt set Row0 8", "form TDActOpt click Go", "form TDActOpt click CancelBtn"}},
        {"Repair trill notes", "Orvex/Music/Repair trill notes (after Spacing)", {}},
    };
}

/// The Spacing menu.
std::vector<BenchCommand> SpacingCommands() {
    return {
        {"Make/Remove space at end", "Orvex/Spacing/Make/Remove space at end of measure (compress/expand)...",
         {"form TDActOpt click Go", "form TDActOpt click CancelBtn"}},
        {"Add/Remove space in measure", "Orvex/Spacing/Add/Remove space in measure...",
         {"form TDActOpt click Go", "form TDActOpt click CancelBtn"}},
        {"Expand Spacing", "Orvex/Spacing/Expand Spacing...",
         {"form TDActOpt set Row2 1", "form TDActOpt click Go", "form TDActOpt click CancelBtn"}},
        {"Compress Spacing", "Orvex/Spacing/Compress Spacing...",
         {"form TDActOpt set Row2 1", "form TDActOpt click Go", "form TDActOpt click CancelBtn"}},
        {"Measure Widths", "Orvex/Spacing/Measure Widths...",
         {"form TDActOpt click Go", "form TDActOpt click CancelBtn"}},
        {"Leading white-space", "Orvex/Spacing/Modify a measure's leading white-space...",
         {"form TDActOpt set Row1 1", "form TDActOpt click Go", "form TDActOpt click CancelBtn"}},
        {"Remove beat chart elements", "Orvex/Spacing/Remove extraneous beat chart elements...",
         {"form TDActOpt click Go", "form TDActOpt click CancelBtn", "answer ok"}},
        {"Proportionality (spacing)", "Orvex/Spacing/Proportionality...",
         {"form TDActOpt set Row1 1", "form TDActOpt set Row3 1", "form TDActOpt click Go",
          "form TDActOpt click CancelBtn"}},
    };
}

/// The Layout menu.
std::vector<BenchCommand> LayoutCommands() {
    return {
        {"Staff List Manager", "Orvex/Layout/Staff List Manager...", {"form TStaffListManager click StaffListOk"}},
        // The system commands work on the systems the selection touches.
        {"Join Two Staff Systems", "Orvex/Layout/Join Two Staff Systems", {}, "1-$S 1-12"},
        {"Split Staff System", "Orvex/Layout/Split Staff System...",
         {"form TDActOpt set Row0 3", "form TDActOpt click Go", "form TDActOpt click CancelBtn"}, "1-$S 1-3"},
        {"Before Deleting Measures", "Orvex/Layout/Before Deleting Measures", {"answer ok"}, "1-$S 2-3"},
        {"After Inserting Measures", "Orvex/Layout/After Inserting Measures...",
         {"form TDActOpt set Row1 1", "form TDActOpt click Go", "form TDActOpt click CancelBtn"}, "1-$S 2-2"},
        {"Fit Measures", "Orvex/Layout/Fit Measures...",
         {"form TDActOpt set Row3 10", "form TDActOpt click Go", "form TDActOpt click CancelBtn"}},
        {"Special Measure Regions", "Orvex/Layout/Special Measure Regions...",
         {"form TDActOpt set Row3 4", "form TDActOpt set Row4 1", "form TDActOpt click Go",
          "form TDActOpt click CancelBtn"}},
        {"Update Groups", "Orvex/Layout/Update Groups...",
         {"form TDActOpt set Row2 1", "form TDActOpt set Row3 1", "form TDActOpt set Row4 1",
          "form TDActOpt set Row7 1", "form TDActOpt click Go", "form TDActOpt click CancelBtn"}},
        {"Incipits", "Orvex/Layout/Incipits...", {"form TDActOpt click Go", "form TDActOpt click CancelBtn"}},
        {"Scale Staff Positions", "Orvex/Layout/Scale Staff Positions...",
         {"form TDActOpt set Row5 1", "form TDActOpt click Go", "form TDActOpt click CancelBtn"}},
        {"Shift System Optimization", "Orvex/Layout/Shift System Optimization...",
         {"form TDActOpt set Row0 1", "form TDActOpt click Go", "form TDActOpt click CancelBtn"}, "1-1 1-$M"},
        {"Copy System Optimization", "Orvex/Layout/Copy System Optimization...",
         {"form TDActOpt set Row3 0", "form TDActOpt set Row4 1", "form TDActOpt click Go",
          "form TDActOpt click CancelBtn"}},
    };
}

/// The Modify menu.
std::vector<BenchCommand> ModifyCommands() {
    return {
        {"Align/Move", "Orvex/Modify/Align/Move...",
         {"form TDActOpt set Row2 1", "form TDActOpt set Row4 6", "form TDActOpt click Go",
          "form TDActOpt click CancelBtn"}},
        {"Playback", "Orvex/Modify/Playback...",
         {"form TDActOpt set Row0 1", "form TDActOpt set Row7 1", "form TDActOpt set Row11 1", "form TDActOpt click Go",
          "form TDActOpt click CancelBtn"}},
        {"Remove", "Orvex/Modify/Remove...",
         {"form TDActOpt set Row0 1", "form TDActOpt set Row1 1", "form TDActOpt set Row2 1",
          "form TDActOpt set Row3 1", "form TDActOpt set Row4 1", "form TDActOpt set Row5 30",
          "form TDActOpt set Row6 30", "form TDActOpt set Row9 1", "form TDActOpt click Go",
          "form TDActOpt click CancelBtn"}},
        {"Reset", "Orvex/Modify/Reset...",
         {"form TDActOpt set Row2 1", "form TDActOpt set Row3 1", "form TDActOpt click Go",
          "form TDActOpt click CancelBtn"}},
        {"Special Modifications", "Orvex/Modify/Special Modifications...",
         {"form TDActOpt set Row4 1", "form TDActOpt set Row8 80", "form TDActOpt click Go",
          "form TDActOpt click CancelBtn"}},
        {"Rests", "Orvex/Modify/Rests...",
         {"form TDActOpt set Row1 1", "form TDActOpt set Row3 1", "form TDActOpt click Go",
          "form TDActOpt click CancelBtn"}},
        {"Replace Pitches", "Orvex/Modify/Replace Pitches...",
         {"form TDActOpt set Row0 C4", "form TDActOpt set Row1 D4", "form TDActOpt set Row2 E5",
          "form TDActOpt set Row3 F5", "form TDActOpt set Row4 G3", "form TDActOpt set Row5 A3",
          "form TDActOpt click Go", "form TDActOpt click CancelBtn"}},
        {"Expressions", "Orvex/Modify/Expressions...",
         {"form TDActOpt set Row2 1", "form TDActOpt set Row8 1.1", "form TDActOpt click Go",
          "form TDActOpt click CancelBtn"}},
        {"Slurs", "Orvex/Modify/Slurs...",
         {"form TDActOpt set Row0 1", "form TDActOpt set Row1 1", "form TDActOpt set Row4 1", "form TDActOpt click Go",
          "form TDActOpt click CancelBtn"}},
        {"Enclosures", "Orvex/Modify/Enclosures...",
         {"form TDActOpt set Row0 +0", "form TDActOpt set Row0 +1", "form TDActOpt set Row0 +2",
          "form TDActOpt set Row0 +3", "form TDActOpt set Row0 +4", "form TDActOpt set Row0 +5",
          "form TDActOpt set Row1 1", "form TDActOpt click Go", "form TDActOpt click CancelBtn"}},
        {"Shift", "Orvex/Modify/Shift...",
         {"form TDActOpt set Row1 -6", "form TDActOpt set Row2 -4", "form TDActOpt click Go",
          "form TDActOpt click CancelBtn"}},
        // Read the score, then write what was read back into it.
        {"Transfer", "Orvex/Modify/Transfer...",
         {"form TDActOpt set Row0 1", "form TDActOpt set Row1 0", "form TDActOpt set Row2 1",
          "form TDActOpt set Row3 1", "form TDActOpt set Row4 1", "form TDActOpt set Row5 1",
          "form TDActOpt set Row6 1", "form TDActOpt set Row9 1", "form TDActOpt set Row12 1",
          "form TDActOpt set Row13 1", "form TDActOpt click Go", "form TDActOpt click Go",
          "form TDActOpt click CancelBtn"}},
    };
}

/// New Spacing and the Lyrics menu.
std::vector<BenchCommand> LyricsCommands() {
    return {
        {"New Spacing", "Orvex/New Spacing...", {"form TDActOpt click Go", "answer ok", "answer ok"}},
        {"Move long syllables", "Orvex/Lyrics/Move long syllables on beat 1 to the right...",
         {"form TDActOpt set Row0 5", "form TDActOpt set Row2 1", "form TDActOpt click Go",
          "form TDActOpt click CancelBtn", "answer ok"}},
        {"Left-align melisma syllables", "Orvex/Lyrics/Left-align melisma syllables...",
         {"form TDActOpt set Row2 1", "form TDActOpt click Go", "form TDActOpt click CancelBtn"}},
        {"Shift Lyrics", "Orvex/Lyrics/Shift Lyrics...",
         {"form TDActOpt set Row2 -6", "form TDActOpt set Row3 256", "form TDActOpt set Row7 1",
          "form TDActOpt click Go", "form TDActOpt click CancelBtn"}},
        {"Remove Adjustments", "Orvex/Lyrics/Remove Adjustments...",
         {"form TDActOpt set Row0 1", "form TDActOpt set Row1 1", "form TDActOpt set Row2 1",
          "form TDActOpt set Row3 1", "form TDActOpt click Go", "form TDActOpt click CancelBtn"}},
        {"Word Extensions", "Orvex/Lyrics/Word Extensions...",
         {"form TDActOpt click Go", "form TDActOpt click CancelBtn"}},
        {"Proportionality (lyrics)", "Orvex/Lyrics/Proportionality...",
         {"form TDActOpt set Row1 1", "form TDActOpt set Row3 1", "form TDActOpt click Go",
          "form TDActOpt click CancelBtn"}},
    };
}

/// The Parts menu.
std::vector<BenchCommand> PartsCommands() {
    return {
        {"Process extracted parts", "Orvex/Parts/Process extracted parts...",
         {"form TDActOpt click Go", "form TDActOpt click CancelBtn"}},
        // Run as a user runs them, with Shift held (their stored options): they drive the host by
        // keys, which go to the window in front, and go on while the host's message loop turns.
        // The woodwinds, staves of two players each, are distributed onto staves of their own; the
        // flutes' staff is exploded.
        {"Smart Distribution", "Orvex/Parts/Smart Distribution of grouped parts ...", {"hold shift"}, "1-4 1-$M",
         {"wait 30000"}},
        {"Smart Explosion", "Orvex/Parts/Smart Explosion of multi-part staves...", {"hold shift"}, "1-1 1-$M",
         {"wait 30000"}},
        {"Add Cue Notes", "Orvex/Parts/Add Cue Notes...",
         {"form TDActOpt set Row0 +1", "form TDActOpt set Row0 +2", "form TDActOpt set Row0 +3",
          "form TDActOpt click Go", "form TDActOpt click CancelBtn"}, "1-1 1-$M"},
        {"Join rests of multiple layers", "Orvex/Parts/Join rests of multiple layers", {}},
        {"Harp Pedaling", "Orvex/Parts/Harp Pedaling...",
         {"form TDActOpt set Row0 1", "form TDActOpt click Go", "form TDActOpt click CancelBtn"}},
        {"Harmonica", "Orvex/Parts/Harmonica...", {"form TDActOpt click Go", "form TDActOpt click CancelBtn"}},
    };
}

/// The Miscellaneous menu and the commands after it.
std::vector<BenchCommand> MiscellaneousCommands() {
    return {
        {"Text Expression Sorter", "Orvex/Miscellaneous/Text Expression Sorter...",
         {"form TTextExprSorter click TxtSortGoBtn"}},
        {"Custom Chord Styles", "Orvex/Miscellaneous/Custom Chord Styles...",
         {"form TDActOpt click Go", "form TDActOpt click CancelBtn"}},
        {"Character set conversion", "Orvex/Miscellaneous/Character set conversion...",
         {"form TDActOpt click Go", "form TDActOpt click CancelBtn"}},
        {"Find", "Orvex/Miscellaneous/Find...",
         {"form TDActOpt set Row1 1", "form TDActOpt set Row2 1", "form TDActOpt set Row3 p",
          "form TDActOpt click Go", "form TDActOpt click CancelBtn"}},
        {"Analyze", "Orvex/Miscellaneous/Analyze...", {"form TDActOpt click Go", "form TDActOpt click CancelBtn"}},
        // Read one staff, then compare it with itself.
        {"Compare Entries", "Orvex/Miscellaneous/Compare Entries...",
         {"form TDActOpt set Row1 1", "form TDActOpt set Row2 0", "form TDActOpt set Row3 1",
          "form TDActOpt click Go", "form TDActOpt click Go", "form TDActOpt click CancelBtn"}, "1-1 1-$M"},
        {"Export to spreadsheet", "Orvex/Miscellaneous/Export to spreadsheet...",
         {"form TDActOpt set Row0 $T/export.txt", "form TDActOpt click Go", "form TDActOpt click CancelBtn"}},
        {"Auricle Import", "Orvex/Miscellaneous/Auricle Import...",
         {"form TDActOpt set Row0 $X/cuesheet.txt", "form TDActOpt click Go", "form TDActOpt click CancelBtn"}},
        {"Font Info", "Orvex/Miscellaneous/Font Info...", {"form TDActOpt click CancelBtn"}},
        {"Print Multiple Files", "Orvex/Print Multiple Files...", {"form TPrintMultipleFiles click BitBtn1"}},
        {"Options", "Orvex/Options...", {"form TOptionsForm click OkButton"}},
        {"User Manual", "Orvex/User Manual", {"answer ok"}},
        {"About", "Orvex/About...", {}},
    };
}

}  // namespace
// clang-format on

const std::vector<BenchCommand>& BenchCommands() {
    static const std::vector<BenchCommand> kCommands = [] {
        std::vector<BenchCommand> commands;
        for (auto family : {MusicCommands, SpacingCommands, LayoutCommands, ModifyCommands, LyricsCommands,
                            PartsCommands, MiscellaneousCommands}) {
            for (BenchCommand& command : family()) {
                commands.push_back(std::move(command));
            }
        }
        return commands;
    }();
    return kCommands;
}

}  // namespace bench
