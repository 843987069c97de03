// The simulated host's process-wide state: the host running now, the entry arrays lent to
// plug-ins and the dialogs they run. All of it lives in one object, so that one call
// (ResetHostState) puts it back to a fresh start. Private to the host's sources; each reaches
// its part through State().
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/host/document.h"
#include "platform/hostapi/entry_array.h"
#include "platform/hostapi/services.h"
#include "platform/win/dialog_resources.h"
#include "platform/win/handles.h"

namespace host {

class Host;

namespace detail {

// The parts kept by entry_arrays.cpp.

/// One array out on loan: the header handed to the plug-in and the entries behind it.
struct LentArray {
    hostapi::EntryArray header;
    std::vector<uint8_t> storage;  ///< the entries the header points at
    Document* document = nullptr;  ///< nullptr once the document went away
    CellKey cell;
    uint64_t serial = 0;  ///< lending order
};

// The parts kept by host_dialogs.cpp.

/// One control of a running dialog and what the window system does not keep of it.
struct DialogControl {
    win::DialogControlKind kind = win::DialogControlKind::Label;
    int32_t id = win::IDC_STATIC;
    win::Hwnd window = win::kNoWindow;
    bool enabled = true;
    int32_t check = win::BST_UNCHECKED;
    std::vector<std::string> items;
    int32_t selected = -1;
};

struct HostDialog {
    int32_t resource = 0;
    std::string plugin;
    win::Hwnd window = win::kNoWindow;
    hostapi::DialogProc procedure = nullptr;
    std::vector<std::unique_ptr<DialogControl>> controls;
    std::optional<int32_t> result;
};

/// The whole state of the simulated host in the process.
struct HostState {
    /// The host running now (one at a time); set and cleared by the Host object itself.
    Host* current = nullptr;
    /// The arrays out on loan, by the header the plug-in holds.
    std::map<const hostapi::EntryArray*, std::unique_ptr<LentArray>> lent;
    /// The serial of the next array lent.
    uint64_t nextSerial = 1;
    /// The dialogs running now, innermost last.
    std::vector<std::unique_ptr<HostDialog>> dialogs;
};

/// The one object that holds the simulated host's state.
HostState& State();

}  // namespace detail
}  // namespace host
