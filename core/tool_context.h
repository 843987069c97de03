// TFMisc, the tool context: the one object a tool command runs on. The dispatcher creates it
// for a command and destroys it afterwards, or hands it to an options dialog that stays open.
// It carries the tool's identity and option values, the host window that owns its messages,
// the edit bracket and selection bookkeeping, the result counters, the multi-step state of New
// Spacing and of printing many files, and the working containers the tools fill.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "core/host/finxess_records.h"
#include "core/option_element.h"
#include "core/tool_records.h"
#include "platform/hostapi/records.h"
#include "platform/win/handles.h"

namespace vcl {
class TForm;
}  // namespace vcl

namespace orvex {

class TStaffSystems;
class TInstruments;
class TGroups;
struct TransferStore;
class TTextExpressions;

/// The beat-chart state of the spacing tools.
struct BeatChartState {
    static constexpr size_t kMaxElements = 1000;
    uint8_t hasChart = 0;                                    ///< the current measure has a chart
    std::array<TBeatChartElement, kMaxElements> elements{};  ///< the current measure's chart
    int32_t elementCount = 0;
    std::array<int32_t, kMaxElements + 1> positions{};  ///< computed positions
    std::array<uint8_t, kMaxElements> removalMarks{};
    std::array<std::vector<int32_t>, 5> lists;
    int32_t changedMeasureCount = 0;  ///< measures changed by the run
    int32_t rerunCount = 0;
    int32_t lastChangedMeasure = 0;
    int32_t reductionWidth = 0;  ///< remembered reduction width
};

/// The tool context. Every field is initialised; the three lists and the forms are none until
/// a tool or the dispatcher sets them.
struct TMiscKernel {
    TMiscKernel();
    ~TMiscKernel();
    TMiscKernel(const TMiscKernel&) = delete;
    TMiscKernel& operator=(const TMiscKernel&) = delete;

    OptionArray Options{};                                 ///< the tool's option rows 0-20
    std::vector<std::pair<int32_t, int32_t>> OptionPairs;  ///< the option list of the run
    ExtendedOptionArray MoreOptions{};                     ///< the tool's second option array
    int32_t Item = 0;                                      ///< tool item (code % 100)
    int32_t Group = 0;                                     ///< command group (code / 100)
    win::Hwnd OwnerWindow = win::kNoWindow;                ///< owns the run's messages: the host window

    std::vector<TNSPchanges> NewSpacingChanges;  ///< kept between New Spacing's passes
    std::string DocumentTitle;                   ///< host window title at New Spacing's first pass
    std::vector<TBeatChartElement> BeatChart;
    std::vector<EDTMeasureSpec> MeasureSpecs;
    std::vector<TEntryRecord> EntryRecords;  ///< the entry tools' working list
    std::vector<TFitMeasures> FitMeasures;
    std::vector<int32_t> IntList1;
    std::vector<void*> PointerList;

    vcl::TForm* OptionsForm = nullptr;             ///< the options dialog that runs this context (not owned)
    vcl::TForm* PrintForm = nullptr;               ///< the print form of a print run (not owned)
    int32_t EditBracket = 0;                       ///< the host's progress display of the run, 0 = none
    hostapi::SelectionRecord SavedRegion;          ///< the region of New Spacing's first pass
    int32_t MeasureCount = 0;                      ///< measures in the region
    int32_t ChangeCount = 0;                       ///< changes the tool reports (removed beat-chart handles)
    int32_t RerunFlag = 0;                         ///< 1: the tool asks for a refresh run
    std::array<std::vector<int32_t>, 6> IntLists;  ///< the sixth is emptied before every run
    std::vector<std::vector<int32_t>> NestedList;

    std::shared_ptr<TStaffSystems> StaffSystems;  ///< made by AllocToolLists
    std::shared_ptr<TInstruments> Instruments;
    std::shared_ptr<TGroups> Groups;
    /// A text expression table of the context's own, made with the context (stale until loaded).
    std::shared_ptr<TTextExpressions> TextExpressions;

    int32_t PrintFileIndex = 0;  ///< the next file in the print form's list
    int32_t PrintStep = 0;       ///< 0 opened, 1 printed, 2 closed
    int32_t PrintedCount = 0;
    std::vector<int32_t> SourceStaves;   ///< staff flags of the cue-notes command
    uint8_t DialogShown = 0;             ///< the options dialog was shown without blocking
    uint8_t NewSpacingSecondPass = 0;    ///< New Spacing's second pass is pending
    std::array<uint8_t, 3> PassFlags{};  ///< cleared before every run
    int32_t RunResult = 0;               ///< a value the tool leaves for its caller

    // What the entry tools keep while they walk.
    int16_t CurrentMeasure = 0;
    int32_t ProgressStepCount = 0;
    std::string ProgressLabel;
    EDTMeasureSpec MeasureSpec;        ///< the current measure's record
    int32_t ResultLineCount = 0;       ///< lines written to the result list
    std::vector<int32_t> ChosenItems;  ///< one flag per entry of the list in option row 0
    std::map<int32_t, std::string> FontList;
    std::array<uint8_t, 24> SlurContourDefaults{};
    uint8_t DeleteCurrentEntry = 0;
    std::vector<int32_t> TimeSignatures;
    uint32_t CellPlaybackLayerMask = 0;  ///< layers of the current cell filled with playback notes (bit n = layer n)
    uint8_t PlaybackChanged = 0;         ///< the playback run wrote something
    uint8_t PlaybackLayerAsked = 0;      ///< the layer question was answered in this run
    uint8_t PlaybackLayerOverwrite = 0;  ///< its answer: overwrite the preferred layer
    std::set<PlaybackCell> PlaybackLayerKeys;  ///< the cell layers this run filled
    uint32_t PlaybackLayerMask = 0;            ///< every layer this run used (bit n = layer n)
    uint8_t PlaybackLayerFlagsSet = 0;         ///< the layer settings carry the playback mark already
    uint8_t PlaybackStopped = 0;               ///< a playback step stopped the run (declined or no layer free)
    std::unique_ptr<BeatChartState> BeatCharts = std::make_unique<BeatChartState>();
    std::array<int32_t, 3> EnclosureClipboard{};
    uint8_t EnclosureClipboardFilled = 0;
    uint8_t ExplosionRunning = 0;
    /// The run added or removed staves or groups: an options dialog fills its lists again.
    uint8_t ListsChanged = 0;
    /// What the transfer's read run keeps for its write runs (expressions/transfer.h).
    std::shared_ptr<TransferStore> Transfer;
};

struct TFMisc : TMiscKernel {};

/// A new tool context; the host window owns its messages.
std::unique_ptr<TFMisc> InitToolContext();

/// Makes the staff systems, the staff list of the score over them and the groups of the
/// context, freeing lists made before.
bool AllocToolLists(TFMisc& context);
/// Frees the three lists (staff list, groups, staff systems) and sets them to none.
void FreeToolLists(TFMisc& context);

/// Sets the caption of the context's options dialog, when it has one.
void SetProgressText(TFMisc& context, std::string_view text);
/// The tool's name without "Vx ", its first "&" and its first "..." ("Respell Notes").
std::string ToolTitle(const TFMisc& context);
/// ToolTitle followed by VersionText.
std::string ProgressCaption(const TFMisc& context);
/// Tells the user that the context's tool is not available in this build; answers false.
bool ShowToolNotAvailable(const TFMisc& context);
/// Sets the caption of the context's options dialog to ProgressCaption, when it has one.
void SetProgressCaption(TFMisc& context);

}  // namespace orvex
