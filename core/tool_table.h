// The tool table: one row per tool item, telling the dispatcher how to run the item's tool. The
// core declares the row and finds tools through it; the tools (and the forms and the text
// expressions for their tools) define the rows and register them at start-up, so that the
// dispatcher knows no tool by name.
#pragma once

#include <cstdint>
#include <span>

#include "core/tool_items.h"
#include "platform/hostapi/records.h"

namespace orvex {

struct TFMisc;

/// What a row's flags tell the dispatcher.
enum ToolFlag : uint32_t {
    /// The tool works on whole measures: it walks the region measure by measure, without the
    /// host's edit bracket.
    kToolWholeMeasures = 1u << 0,
    /// The tool runs without the host's edit bracket (and its progress display).
    kToolNoEditBracket = 1u << 1,
    /// The shared text expression table is loaded anew from the document before the run (else
    /// only checked for being current).
    kToolReloadExpressions = 1u << 2,
    /// The tool works on the selection passed with the command rather than asking the host.
    kToolKeepPassedSelection = 1u << 3,
    /// The tool runs in scroll view only.
    kToolScrollViewOnly = 1u << 4,
    /// The run's progress display counts staves rather than measures.
    kToolStepsPerStaff = 1u << 5,
    /// The staff systems, the staff list and the groups are made before the run.
    kToolNeedsLists = 1u << 6,
    /// The sort tables of the text expression table are built (and the table analysed) before
    /// the run.
    kToolNeedsSortTables = 1u << 7,
    /// The user is told to save the document before the tool's options are shown.
    kToolSaveFirst = 1u << 8,
    /// The tool goes on over later host calls through a step object of its own (the part
    /// explosion and distribution): only one such run can wait at a time.
    kToolRunsInSteps = 1u << 9,
};

/// The second-level run of a tool: the option set and the region (none when there is none);
/// true counts as success.
using ToolRun = bool (*)(TFMisc& context, int32_t setNumber, const hostapi::SelectionRecord* region);
/// A tool the first-level dispatcher runs itself, without region, edit bracket or expression
/// table: its result is the dispatcher's (0 nothing done, 1 done).
using FirstLevelRun = int32_t (*)(TFMisc& context);
/// Answers whether a flag of the row holds for the run (flags that depend on option values).
using ToolFlagCheck = bool (*)(const TFMisc& context, int32_t setNumber, ToolFlag flag);

/// A tool that runs in steps over several host calls with the host's own commands between them:
/// the dispatcher runs it again while `TFMisc::LaterStepPending` is set.
struct MultiStepTool {
    /// Before the first step runs: may change the region it works on.
    void (*begin)(TFMisc& context, hostapi::SelectionRecord& region);
    /// Before a later step runs: false stops it (the step stays pending); may set the region.
    bool (*resume)(TFMisc& context, hostapi::SelectionRecord& region);
    /// After a first step that succeeded: starts what the host does before the next step.
    void (*await)(TFMisc& context);
    /// After a later step that succeeded.
    void (*finish)(TFMisc& context);
};

/// One row of the tool table.
struct ToolDescriptor {
    ToolItem item = ToolItem::TrillNotes;
    /// The second-level run; none for a tool the first-level dispatcher runs.
    ToolRun run = nullptr;
    /// The first-level run; none for a tool the second-level dispatcher runs.
    FirstLevelRun firstLevel = nullptr;
    uint32_t flags = 0;
    /// For rows whose flags hold only with some option values; none: every flag set holds.
    ToolFlagCheck flagHolds = nullptr;
    /// The steps of a multi-step tool; none for a tool that runs in one host call.
    const MultiStepTool* steps = nullptr;
    /// The option row that keeps a refresh run on when the tool asks for one.
    int32_t refreshOptionRow = 1;
};

/// A second-level run for a tool that needs nothing but its context.
template <bool (*Run)(TFMisc&)>
bool ContextRun(TFMisc& context, int32_t /*setNumber*/, const hostapi::SelectionRecord* /*region*/) {
    return Run(context);
}

/// True when the row sets `flag` and it holds for the run.
bool ToolHas(const ToolDescriptor& tool, const TFMisc& context, int32_t setNumber, ToolFlag flag);

/// Registers rows of the tool table; a row replaces the one of its item registered before.
void RegisterToolRows(std::span<const ToolDescriptor> rows);
/// The row of a tool item; throws std::logic_error for an item outside the table or one that
/// no part registered.
const ToolDescriptor& FindTool(int32_t item);
/// True when every tool item has a registered row.
bool ToolTableComplete();

}  // namespace orvex
