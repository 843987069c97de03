// The module object: the one owner of Orvex188's process-wide state. The core's state is grouped
// by unit in the structs below, and the code reads each field through its owner
// (TheModule.dispatch.CurrentRegion, TheModule.commands.CommandTable), so that a reader sees where
// a value lives; no global name is bound to a field.
// State that one unit keeps to itself, and the process-wide state of the forms, the text
// expressions and the tools, lives in the module's state slots, defined by the unit that owns it
// (the core does not know its layout). `Module::Reset` puts everything back to what the module
// had when it was loaded; the tests start every case there.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/commands.h"
#include "core/key_assignments.h"
#include "core/option_element.h"
#include "core/startup.h"
#include "core/state_slots.h"
#include "platform/hostapi/records.h"
#include "platform/vcl/registry.h"
#include "platform/win/handles.h"
#include "platform/win/input.h"

namespace vcl {
class TForm;
}

namespace orvex {

struct TFMisc;
class ExplosionContext;
class TNow;

/// Start-up (core/startup.h).
struct ProcessState {
    win::Hmodule ModuleInstance = win::kNoModule;
    bool ItalianHost = false;
    bool IsNT = false;
    std::string VersionText = kInitialVersionText;
    std::string ShowMessagesText;
    std::string LastAnswersText;
    std::unique_ptr<vcl::TRegistry> Registry = std::make_unique<vcl::TRegistry>();
    OptionArray GeneralOptions{};
    bool MenuOnMenuBar = false;
    OptionArray ToolOptionsA{};
    ExtendedOptionArray ToolOptionsB{};
    bool ServicePluginBound = false;
};

/// The command table as the host numbered it (core/commands.h).
struct CommandState {
    std::array<CommandEntry, kCommandTableSize> CommandTable = kCommandTableData;
    std::array<uint32_t, kCommandTableSize> HostCommandIds{};
    std::array<uint32_t, kToolItemCount> HostCommandIdByItem{};
    int32_t CommandCount = kCommandTableSize;
    std::array<int32_t, kCommandTableSize> MenuIndexMap{};
    std::array<int32_t, kToolItemCount> FurtherOptionsGroup = kFurtherOptionsGroupData;
};

/// The dispatcher (core/dispatch.h).
struct DispatchState {
    std::array<hostapi::SelectionRecord, 2> SelectionRecords{};
    hostapi::SelectionRecord* CurrentRegion = nullptr;
    bool ShiftHeld = false;
    int32_t InvokeNesting = 0;
    std::array<int32_t, kCommandTableSize> CommandBusy{};
    std::array<int32_t, kToolItemCount> KeyCommandBusy{};
    int32_t RerunCode = 0;
    int32_t SkipNextInvoke = 0;
    vcl::TForm* PendingOptionsForm = nullptr;
    ExplosionContext* RunningStepObject = nullptr;
    int32_t RepostCode = 0;
    bool QuerySelectionFromHost = true;
    uint8_t DocumentOptionFlag = 0;
    bool FirstCommandDone = false;
    std::vector<vcl::TForm*> ModelessFormList;
    std::string HostWindowTitle;
};

/// The hooks and the timer (core/hooks.h).
struct HookState {
    win::Hhook KeyboardHook = win::kNoHook;
    win::Hhook ShiftStateHook = win::kNoHook;
    win::Hhook CallWndHook = win::kNoHook;
    win::Hhook GetMessageHook = win::kNoHook;  ///< watches the host's Undo and Redo menu commands
    uint32_t HostThreadId = 0;
    win::Handle HostProcess = win::kNoHandle;
    bool InMenuLoop = false;
    bool InSizeMove = false;
    bool LeftShiftDown = false;
    bool RightShiftDown = false;
    int32_t IgnoreKeys = 0;
    bool RestoreNumLock = false;
    uint16_t LastKey = 0;
    uint32_t LastKeyData = 0;
    TFMisc* PrintContext = nullptr;
    int32_t PendingKeyLaunches = 0;
    std::unique_ptr<TNow> Now;
};

/// The options store and the menu cache of the key assignments (core/options_store.h,
/// core/key_assignments.h).
struct OptionsState {
    uint8_t ExplorerHotkeyKey = 9;
    uint8_t ExplorerHotkeyShift = 0;
    uint8_t ExplorerHotkeyCtrl = 0;
    uint8_t ExplorerHotkeyAlt = 0;
    uint8_t ExplorerMetatoolKey = 0;
    uint8_t RemapperEnabled = 0;
    std::vector<KeyAssignment> KeyAssignments;
    uint8_t OptionsFormOpen = 0;
    uint8_t KeyAssignmentEditorOpen = 0;
    std::vector<MenuCacheEntry> MenuCache;
};

/// The product menu (core/product_menu.h).
struct ProductMenuState {
    bool MenuBuilt = false;
    int32_t MenuBuildTried = 0;
    win::Hmenu ProductMenu = win::kNoMenu;
};

class Module {
public:
    Module();
    ~Module();
    Module(const Module&) = delete;
    Module& operator=(const Module&) = delete;

    ProcessState process;
    CommandState commands;
    DispatchState dispatch;
    HookState hooks;
    OptionsState options;
    ProductMenuState productMenu;
    /// State one unit keeps to itself, and the parts' state: made on first use, emptied by Reset.
    StateSlots units;
    /// State that Reset keeps: what the parts registered at start-up (the tool table's rows, the
    /// forms, the interfaces) and what lives as long as objects of the class library that a reset
    /// does not destroy (the resources the forms share, the options form shown). The parts
    /// register while static objects are initialised, in an order across files that nobody
    /// chooses, so these slots are made on first use rather than with the module object.
    static StateSlots& Lasting();

    /// Puts the module's state back to what it was at load, the access layer's included: the
    /// parts first release what they hold (running explosion, open forms), then every state is
    /// made anew. The parts' registrations stay.
    void Reset();
};

/// The module object.
extern Module TheModule;

/// TheModule.Reset(): the one reset of the module's state (tests start every case here).
void ResetModule();

/// A unit's own state in the module (see Module::units).
template <class T>
T& UnitState() {
    return TheModule.units.Get<T>();
}

/// A unit's state that a reset keeps (see Module::lasting).
template <class T>
T& LastingState() {
    return Module::Lasting().Get<T>();
}

}  // namespace orvex
