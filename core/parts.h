// The interfaces through which the core reaches the parts above it. The forms, the text
// expressions and the tools register them at start-up (tools/parts.cpp), so that the core names
// none of them: the dispatcher opens forms and runs tools, the options road shows options
// dialogs, the timer advances print runs, the query service opens the staff list manager.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <utility>
#include <vector>

#include "core/option_element.h"

namespace vcl {
class TForm;
}  // namespace vcl

namespace orvex {

struct TFMisc;
class TTextExpressions;

/// A form or action that a command code below 100 opens (the About box is the core's own).
struct FormCommand {
    int32_t code = 0;
    int32_t (*open)() = nullptr;
};

/// The options road, from the forms: the tool's option values from the options dialog or the
/// values the dialog remembers (see RunToolWithOptions in core/dispatch.h).
struct OptionsRoad {
    bool (*run)(int32_t item, int32_t setNumber, OptionArray& options, ExtendedOptionArray& moreOptions,
                std::vector<std::pair<int32_t, int32_t>>& optionList, bool showDialog, const OptionArray* overrides,
                bool leaveOpen, bool shift, TFMisc* context) = nullptr;
    void (*completeOk)(vcl::TForm& form) = nullptr;
    void (*runEnded)(vcl::TForm& form) = nullptr;
    /// True when the tool item has option rows (an options dialog to show).
    bool (*hasOptions)(int32_t item) = nullptr;
};

/// The shared text expression table, from the text expressions.
struct ExpressionTableHooks {
    /// Loads the shared table anew from the document.
    void (*reload)() = nullptr;
    /// Checks that the shared table is current.
    void (*checkCurrent)() = nullptr;
    /// Builds the shared table's sort tables and analyses it when it was not.
    void (*prepareSorting)() = nullptr;
    /// A text expression table of a tool context's own.
    std::shared_ptr<TTextExpressions> (*makeTable)() = nullptr;
};

/// A run that goes on over the next host calls (the part explosion), from the tools.
struct SteppedRunHooks {
    /// Continues the run that waits; when it has ended, finishes it.
    void (*step)() = nullptr;
    /// Whether the run that waits works on the tool context (it holds a share of it).
    bool (*worksOn)(const TFMisc& context) = nullptr;
    /// Ends the run that waits before its last step, keeping what it did and touching no
    /// document (its own may be gone); the options dialog that started it is told.
    void (*end)() = nullptr;
};

/// The print run of many files, from the forms.
struct PrintRunHooks {
    /// One tick of the print run with the host in front.
    void (*advance)(TFMisc& context) = nullptr;
};

/// Registers the forms a command code opens; a row replaces one of the same code.
void RegisterFormCommands(std::span<const FormCommand> commands);
/// The form a code opens, or none.
const FormCommand* FindFormCommand(int32_t code);

void RegisterOptionsRoad(const OptionsRoad& road);
void RegisterExpressionTableHooks(const ExpressionTableHooks& hooks);
void RegisterSteppedRunHooks(const SteppedRunHooks& hooks);
void RegisterPrintRunHooks(const PrintRunHooks& hooks);
/// Registers what the query service's staff list manager query opens (the system shown first).
void RegisterStaffListQuery(int32_t (*query)(int32_t system));

/// The registered interfaces; each throws std::logic_error when no part registered it.
const OptionsRoad& TheOptionsRoad();
const ExpressionTableHooks& TheExpressionTable();
const SteppedRunHooks& TheSteppedRun();
const PrintRunHooks& ThePrintRun();
int32_t QueryStaffListManager(int32_t system);

/// Registers what a part releases when the module is reset (an explosion left running, a form it
/// keeps); ResetParts runs each once, in the order registered, before the module's state is made
/// anew (Module::Reset).
void RegisterPartReset(void (*reset)());
void ResetParts();

/// Registers the core's side of the access layer's hooks (core/host/core_hooks.h); the parts'
/// installation (tools/parts.cpp) calls it first.
void InstallAccessLayerHooks();

}  // namespace orvex
