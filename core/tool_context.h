// TFMisc, the tool context: the one object a tool command runs on. The dispatcher creates it
// for a command and destroys it afterwards, or hands it to an options dialog that stays open.
// It carries the tool's identity and option values, the host window that owns its messages,
// the edit bracket and selection bookkeeping, the result counters, the step a multi-step tool
// waits for, and the working containers the tools share. What one tool alone keeps between its
// steps (the playback run's layer answers, New Spacing's recorded changes, the print run's
// position, the beat chart of the spacing tools, the transfer's store) lives in that tool's own
// state struct, held in the context's state slots (core/state_slots.h).
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/host/finxess_records.h"
#include "core/host/finxess_regions.h"
#include "core/host/text_format.h"
#include "core/option_element.h"
#include "core/run_environment.h"
#include "core/state_slots.h"
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
class TTextExpressions;
enum class FreeText : int32_t;

/// Where the measure walk of a run stands: the entry tools, the spacing tools and the transfer
/// set it as they step from measure to measure, and the tools they call read it.
struct MeasureWalk {
    int16_t measure = 0;         ///< the measure in hand (0 before the walk reaches one)
    EDTMeasureSpec measureSpec;  ///< its record as loaded (the spacing tools change and save it)
    uint8_t removeEntry = 0;     ///< the entry filter asks to remove the entry in hand
};

/// The tool context. Every field is initialised; the three lists and the forms are none until
/// a tool or the dispatcher sets them. Whoever keeps a context while its run goes on holds a share
/// of it (InitToolContext): the command, an options dialog left open, a part explosion, the second
/// pass of New Spacing; the context goes with the last share.
struct TFMisc : std::enable_shared_from_this<TFMisc> {
    TFMisc();
    ~TFMisc();
    TFMisc(const TFMisc&) = delete;
    TFMisc& operator=(const TFMisc&) = delete;

    OptionArray Options{};                                 ///< the tool's option rows 0-20
    std::vector<std::pair<int32_t, int32_t>> OptionPairs;  ///< the option list of the run
    ExtendedOptionArray MoreOptions{};                     ///< the tool's second option array
    int32_t Item = 0;                                      ///< tool item (code % 100)
    int32_t Group = 0;                                     ///< command group (code / 100)
    win::Hwnd OwnerWindow = win::kNoWindow;                ///< owns the run's messages: the host window
    /// What the run may read of the dispatcher and the host (the live region, the document's
    /// option flag, the host's year, version, language and window).
    RunEnvironment Environment = DispatcherEnvironment();

    vcl::TForm* OptionsForm = nullptr;  ///< the options dialog that runs this context (not owned)
    int32_t EditBracket = 0;            ///< the host's progress display of the run, 0 = none
    /// Steps of a progress display a calling tool opened (0: the called tool counts its measures).
    int32_t ProgressStepCount = 0;
    int32_t RegionMeasureCount = 0;  ///< measures in the region
    int32_t RemovedHandleCount = 0;  ///< beat-chart handles the run removed (the dispatcher reports them)
    int32_t RerunFlag = 0;           ///< non-zero: the tool asks for a refresh run

    std::shared_ptr<TStaffSystems> StaffSystems;  ///< made by AllocToolLists
    std::shared_ptr<TInstruments> Instruments;
    std::shared_ptr<TGroups> Groups;
    /// A text expression table of the context's own, made with the context (stale until loaded).
    std::shared_ptr<TTextExpressions> TextExpressions;

    uint8_t LaterStepPending = 0;  ///< a multi-step tool waits for its later step
    uint8_t ExplosionRunning = 0;  ///< a part explosion runs on this context
    /// The run added or removed staves or groups: an options dialog fills its lists again.
    uint8_t ListsChanged = 0;

    MeasureWalk Walk;
    int32_t ResultLineCount = 0;       ///< lines written to the result list
    std::vector<int32_t> ChosenItems;  ///< one flag per entry of the list in option row 0
    /// What Find/Compare stored of the first region: its entries and its time signatures.
    std::vector<TEntryRecord> StoredEntries;
    std::vector<int32_t> StoredTimeSignatures;
    std::map<int32_t, std::string> FontNames;  ///< the document's font names by font number (transfer)
    /// Each tool's own state (the tool's header defines its struct), made on first use and
    /// destroyed with the context. Reading or making a tool's state does not change the context's
    /// shared fields, so a tool reaches its own state from a const context too.
    mutable StateSlots States;
};

/// A new tool context, shared; the host window owns its messages.
std::shared_ptr<TFMisc> InitToolContext();
/// Another share of a context made by InitToolContext; none for a context that an object keeps
/// as a member (the print dialog's) or that lives on the stack.
std::shared_ptr<TFMisc> ShareToolContext(TFMisc& context);

/// Makes the staff systems, the staff list of the score over them and the groups of the
/// context, freeing lists made before.
bool AllocToolLists(TFMisc& context);
/// Frees the three lists (staff list, groups, staff systems) and sets them to none.
void FreeToolLists(TFMisc& context);

/// Lends an edit bracket to the context's run for a scope (TFMisc::EditBracket): the tools the
/// run calls step it by its handle and leave its end to its holder; afterwards the context
/// holds none.
class LentEditBracket {
public:
    LentEditBracket(TFMisc& context, const ScopedEditBracket& bracket) : m_context(context) {
        context.EditBracket = bracket.Handle();
    }
    ~LentEditBracket() { m_context.EditBracket = 0; }
    LentEditBracket(const LentEditBracket&) = delete;
    LentEditBracket& operator=(const LentEditBracket&) = delete;

private:
    TFMisc& m_context;
};

/// Sets the caption of the context's options dialog, when it has one.
void SetProgressText(TFMisc& context, std::string_view text);
/// Sets the caption of the context's options dialog to progress text `text` of the free-text
/// table, its places filled by `arguments` (progress captions are English in both languages).
void SetProgressText(TFMisc& context, FreeText text, TextArguments arguments = {});
/// The tool's name without "Vx ", its first "&" and its first "..." ("Respell Notes").
std::string ToolTitle(const TFMisc& context);
/// ToolTitle followed by VersionText.
std::string ProgressCaption(const TFMisc& context);
/// Sets the caption of the context's options dialog to ProgressCaption, when it has one.
void SetProgressCaption(TFMisc& context);

}  // namespace orvex
