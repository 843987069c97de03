#include "core/module.h"

#include "core/hooks.h"
#include "core/host/access_state.h"
#include "core/host/host_info.h"
#include "core/parts.h"
#include "core/tool_context.h"

namespace orvex {

Module TheModule;

Module::Module() = default;
Module::~Module() = default;

StateSlots& Module::Lasting() {
    static StateSlots slots;
    return slots;
}

void Module::Reset() {
    process = ProcessState{};
    TheAccessLayer.host = HostInfo{};
    commands = CommandState{};
    // What a run left in the dispatcher goes before the parts release their objects (an explosion
    // left running with its share of the tool context, the forms they keep, the shared text expression
    // table); the objects the dispatcher still names go after them.
    dispatch.SelectionRecords = {};
    dispatch.CurrentRegion = nullptr;
    dispatch.ShiftHeld = false;
    dispatch.InvokeNesting = 0;
    dispatch.CommandBusy.fill(0);
    dispatch.KeyCommandBusy.fill(0);
    dispatch.RerunCode = 0;
    dispatch.SkipNextInvoke = 0;
    dispatch.PendingOptionsForm = nullptr;
    ResetParts();
    dispatch = DispatchState{};
    units.Clear();
    hooks = HookState{};
    productMenu = ProductMenuState{};
    options = OptionsState{};
    ResetAccessLayer();
}

void ResetModule() {
    TheModule.Reset();
}

}  // namespace orvex
