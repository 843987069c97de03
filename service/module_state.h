// The state of Lumvar2000 in this process: what loading, the start-up and the handshake set, and
// the part each unit keeps between calls, all in one object owned by lumvar.cpp, so that a
// test puts the whole module back to what loading left with one call (ResetModuleState).
// Private to the module's sources; each unit reaches its part through Module().
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/win/handles.h"
#include "platform/win/input.h"
#include "service/font_annotations.h"
#include "service/host_imports.h"
#include "service/lumvar_api.h"
#include "service/text_services.h"

namespace lumvar {

// The part kept by control_panel.cpp.
struct PanelState {
    int16_t controlPanelResult = 2;
    int32_t lastEvent = 0;  ///< 0..3: events 1..4; 4: the text event
    std::string lastText;   ///< the host's 8-bit characters
    /// The six preferences when the control panel opened: language, update layout, second
    /// monitor, return focus, collapse, transparency.
    std::array<int16_t, 6> opened{};
};

// The part kept by font_annotations.cpp.
struct FanState {
    int16_t loadState = FAN_OLD_HOST;
    std::vector<AnnotatedFont> fonts;
};

// The part kept by names.cpp.
inline constexpr size_t kListNameBufferSize = 200;

struct NameBuffers {
    AnsweredText staff;
    AnsweredText staffInList;
    AnsweredText group;
    std::array<char, kListNameBufferSize> set{};
    std::array<char, kListNameBufferSize> system{};
};

// The part kept by preferences.cpp.
inline constexpr size_t kPreferenceWordCount = LumvarPrefs::kSize / 2;

struct PreferenceState {
    std::array<int16_t, kPreferenceWordCount> words{};
    std::vector<LumvarNotifyProc> notifyList;
    bool consoleOpen = false;
};

// The part kept by window_hooks.cpp.
struct HookState {
    win::Hhook callWindowHook = win::kNoHook;
    win::Hhook getMessageHook = win::kNoHook;
    win::Handle hostProcess = win::kNoHandle;
    int16_t pageView = 0;  ///< the view state last told
};

// The part kept by translations.cpp.
struct ResultBuffers {
    std::string id;
    std::string word;
    std::string string;
    std::string table;
    std::string duration;
};

// The part kept by host_imports.cpp.
struct ImportState {
    std::optional<HostImports> resolved;  ///< empty until the host's services are looked up
    std::set<std::string> noted;          ///< the missing services already noted
};

// The part kept by translations.cpp: the constant table's texts of a language and count, in
// order, made once each.
using TranslationIndex = std::map<std::string, size_t, std::less<>>;

/// Lumvar2000's whole state.
struct ModuleState {
    win::Hmodule moduleInstance = win::kNoModule;
    uint32_t rawHostVersion = 0;
    win::Hwnd hostWindow = win::kNoWindow;
    int16_t initialised = 0;  ///< 1 once FinaleExtensionInit succeeded in this process
    /// 1 once the host's 20-byte staff system record may be used unchanged (every host but 2001,
    /// or a 2001 host whose record passed the handshake's check).
    int16_t legacyStaffSystem = 0;
    int32_t host2001WarningCount = 0;
    int32_t newHostNoticeCount = 0;
    win::Handle instanceMutex = win::kNoHandle;  ///< the single-instance guard

    ImportState imports;
    PreferenceState preferences;
    FanState fontAnnotations;
    HookState windowHooks;
    PanelState controlPanel;
    std::array<int32_t, 8> layoutCounts{};  ///< layout_services.cpp: the counts last answered
    NameBuffers names;
    ResultBuffers translationBuffers;
    std::map<std::pair<int16_t, int16_t>, TranslationIndex> translationIndexes;
    AnsweredText textBuffer;  ///< text_services.cpp: the text block last answered
};

/// The one object that holds Lumvar2000's state.
ModuleState& Module();

}  // namespace lumvar
