// What the access layer asks of the core above it: the message dialog for the few texts it
// shows, the staff and group names the service plug-in gives, and the general option that lets
// a change update the host's layout. The core registers them once, before anything runs
// (InstallAccessLayerHooks in core/parts.h, which tools/parts.cpp calls), so that the access
// layer includes nothing of the core.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "core/host/host_texts.h"
#include "core/host/text_format.h"

namespace orvex {

struct CoreHooks {
    /// Shows a text whose places are filled (English and German) with an OK button, always (the
    /// message dialog).
    void (*showText)(const BilingualText& text) = nullptr;
    /// The name of a staff from the service plug-in; none while the plug-in is not bound or when
    /// it answered the name cut (the caller then reads the document's own text).
    std::optional<std::string> (*serviceStaffName)(int16_t staff) = nullptr;
    /// The name of a staff group of list `key` from the service plug-in; none as for a staff.
    std::optional<std::string> (*serviceGroupName)(int16_t group, int32_t key) = nullptr;
    /// Whether the general options let a change of a staff system update the host's layout.
    bool (*autoUpdateLayout)() = nullptr;
};

void RegisterCoreHooks(const CoreHooks& hooks);
/// The registered hooks; throws std::logic_error when the core registered none.
const CoreHooks& TheCoreHooks();

/// Shows access layer message `text` in the host's window, its places filled by `arguments`.
void ShowHostText(HostText text, TextArguments arguments = {});

}  // namespace orvex
