// The state of the simulated window system: every part of it lives in one object, owned here,
// so that a test puts the whole system back to a fresh start with one call (win::ResetSystem).
// Private to the window-system sources; each source reaches its part through System().
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/win/console.h"
#include "platform/win/desktop_state.h"
#include "platform/win/handles.h"
#include "platform/win/input.h"
#include "platform/win/messages.h"
#include "platform/win/modules.h"
#include "platform/win/registry.h"
#include "platform/win/screen.h"
#include "platform/win/ui_driver.h"

namespace win::detail {

// The parts kept by messages.cpp.
struct PostedMessage {
    Hwnd window;
    uint32_t message;
    uintptr_t wParam;
    intptr_t lParam;
};

struct MessageState {
    std::map<uint32_t, WindowProc> procedures;
    std::deque<PostedMessage> queue;
    std::map<uint16_t, int16_t> keys;
    std::vector<std::string> shellRequests;
};

// The parts kept by input.cpp.
struct InputHook {
    Hhook handle;
    int32_t type;
    HookProc procedure;
};

struct KeyEvent {
    uint16_t virtualKey;
    uint8_t scanCode;
    bool up;
    bool extended = false;
    uintptr_t extraInfo = 0;  ///< what the program that synthesised the key gave keybd_event
};

struct InputState {
    std::vector<InputHook> hooks;  ///< in install order
    uint32_t nextHook = 1;
    std::deque<KeyEvent> queue;
    bool inCallWindowHook = false;
    uintptr_t messageExtraInfo = 0;  ///< the extra information of the message taken last (GetMessageExtraInfo)
};

// The parts kept by file_mapping.cpp.
struct MappingBlock {
    std::vector<uint8_t> memory;
    int32_t handles = 0;
};

struct FileMappings {
    std::map<std::string, std::shared_ptr<MappingBlock>> byName;
    std::map<uint32_t, std::shared_ptr<MappingBlock>> byHandle;
};

// The parts kept by console.cpp.
struct ConsoleState {
    Handle output = kNoHandle;
    std::string title;
    std::vector<ConsoleCtrlHandler> handlers;
};

// The parts kept by user32.cpp.
struct WindowPlacement {
    Rect rect;
    int32_t style = 0;
    int32_t exStyle = 0;
    uint32_t colorKey = 0;
    uint8_t alpha = 255;
    uint32_t layeredFlags = 0;
    int32_t scroll[3] = {0, 0, 0};
};

struct PlacementTable {
    Handle marker = kNoHandle;
    std::map<uint32_t, WindowPlacement> windows;
};

// The parts kept by transcript.cpp.
struct TranscriptState {
    std::vector<std::string> lines;
    std::function<void(const std::string&)> listener;
    std::vector<std::string> folders;  ///< full paths of the folders files are named from
};

// The parts kept by ui_driver.cpp.
struct QueuedFormAction {
    std::string formClass;
    FormAction action;
};

struct UiDriverState {
    std::deque<int32_t> answers;
    std::deque<QueuedFormAction> formActions;
    std::vector<FormActionFailure> failures;
    std::vector<std::string> classesShown;
    /// For each class of classesShown: how many times its forms showed, and how many queued
    /// actions the last one took.
    struct Showings {
        size_t count = 0;
        size_t taken = 0;
    };
    std::vector<Showings> showings;
    bool stopAfterFailure = false;
};

// The parts kept by registry.cpp.
struct RegistryValue {
    std::string name;
    uint32_t type = REG_SZ;
    std::vector<uint8_t> data;
};

struct RegistryKey {
    std::string path;                             ///< as first created, "" for the root
    std::map<std::string, RegistryValue> values;  ///< by lower-case name
};

struct RegistryState {
    std::map<std::string, RegistryKey> keys{{"", RegistryKey{}}};  ///< by lower-case path
    std::map<uint32_t, std::string> open;                          ///< open handle -> lower-case path
    uint32_t nextHandle = 0x1000;
    std::string filePath;
};

// The parts kept by modules.cpp.
struct LoadedModule {
    std::string fileName;  ///< bare name ("Orvex188.fxt")
    std::string path;      ///< full path of a loaded file; empty for process modules
    void* library = nullptr;
    ModuleExports exports;
    int32_t references = 1;
};

struct ModuleLoader {
    std::map<uint32_t, LoadedModule> modules;
    static constexpr uint32_t kFirstBase = 0x400000;
    static constexpr uint32_t kBaseStep = 0x10000;
    static constexpr uint32_t kLastBase = 0xFFFF0000;
    uint32_t nextHandle = kFirstBase;
    Hmodule mainModule = kNoModule;
    std::string lastMessage;
};

/// The whole window system of the process.
struct SystemState {
    Desktop desktop;
    MessageState messages;
    InputState input;
    FileMappings fileMappings;
    ConsoleState console;
    PlacementTable placements;
    TranscriptState transcript;
    UiDriverState uiDriver;
    RegistryState registry;
    ModuleLoader modules;                    ///< kept by ResetSystem: loaded code stays loaded
    std::optional<std::string> commandLine;  ///< set by SetCommandLine; else the program's own
    uint32_t lastError = ERROR_SUCCESS;
};

/// The one object that holds the window system's state.
SystemState& System();

}  // namespace win::detail
