// What the core calls of the note and entry tools: the tools' entry functions and the records
// of theirs that the tool context carries.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace orvex {

struct TFMisc;

/// One element of the entry working list of the tool context; its contents belong to the
/// entry tools.
struct TEntryRecord {
    std::array<uint8_t, 172> bytes{};
};

/// One change kept between the two passes of New Spacing.
struct TNSPchanges {
    std::array<uint8_t, 11> bytes{};
};

/// The settings of the secondary beam breaker, filled by the dispatcher from the options.
struct BeamBreakOptions {
    std::array<int32_t, 15> values{};  ///< options 0-14 of the tool
    std::array<int32_t, 3> more{};     ///< options 0-2 of the tool's second option array
    int32_t mode1 = 2;
    int32_t mode2 = 2;
};

/// The settings of the cue-notes command, filled by the dispatcher from the options.
struct CueNotesRequest {
    int32_t option3 = 0;
    int32_t targetLayer = 0;  ///< 0-3
    std::string cueName;
    std::array<bool, 7> flags{};  ///< options 5 to 11
    std::vector<int32_t> sourceStaves;
    TFMisc* context = nullptr;
};

/// The per-layer stem settings (layers 1-4) that the entry tools keep and the entry queries read:
/// byte 3 of a layer's record holds 0x08 fixed stem direction, 0x01 only when other layers hold
/// entries, 0x04 fixed up (clear: down).
using LayerSettingsRecord = std::array<uint8_t, 4>;

// Entry functions. Each answers true on success; false makes the dispatcher report failure to
// the host's edit bracket and leave out the result message.
bool RunEntryProcessingTool(TFMisc& context);
bool RunEntryWalkTool(TFMisc& context);
void BreakSecondaryBeams(const BeamBreakOptions& settings);
void RunAddCueNotes(const CueNotesRequest& request);
bool RunCombineRhythmsAndPitches(TFMisc& context);
bool RunExportToSpreadsheet(TFMisc& context);
bool RunHarpPedaling(TFMisc& context);
bool AnalyzeStaffGroup(TFMisc& context);
bool RunSlurTool(TFMisc& context);
bool RunPlaybackTool(TFMisc& context, int32_t setNumber);
bool RunMidiTool(TFMisc& context);
bool RunDistributeNotes(TFMisc& context);

}  // namespace orvex
