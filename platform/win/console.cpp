#include "platform/win/console.h"

#include <algorithm>
#include <vector>

#include "platform/win/desktop_state.h"
#include "platform/win/system_state.h"
#include "platform/win/transcript.h"

namespace win {
namespace {

/// The console's output is a kernel object of the desktop under this name.
constexpr const char* kOutputName = "CONOUT$";

using detail::ConsoleState;

ConsoleState& State() {
    return detail::System().console;
}

/// Whether the console's output object is still alive; a fresh desktop dropped it, and with
/// it the console.
bool Alive() {
    ConsoleState& state = State();
    if (state.output == kNoHandle) {
        return false;
    }
    const auto& objects = detail::TheDesktop().kernelObjects;
    const auto it = objects.find(static_cast<uint32_t>(state.output));
    if (it == objects.end() || it->second != kOutputName) {
        state = ConsoleState();
        return false;
    }
    return true;
}

void Close() {
    auto& desktop = detail::TheDesktop();
    desktop.kernelObjects.erase(static_cast<uint32_t>(State().output));
    if (--desktop.namedObjects[kOutputName] <= 0) {
        desktop.namedObjects.erase(kOutputName);
    }
    State() = ConsoleState();
}

}  // namespace

bool AllocConsole() {
    if (Alive()) {
        SetLastError(ERROR_ACCESS_DENIED);
        return false;
    }
    auto& desktop = detail::TheDesktop();
    const Handle output{desktop.NewHandle()};
    desktop.kernelObjects[static_cast<uint32_t>(output)] = kOutputName;
    ++desktop.namedObjects[kOutputName];
    State().output = output;
    return true;
}

bool FreeConsole() {
    if (!Alive()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    Close();
    return true;
}

bool HasConsole() {
    return Alive();
}

bool SetConsoleTitle(std::string_view title) {
    if (!Alive()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return false;
    }
    State().title = std::string(title);
    return true;
}

std::string GetConsoleTitle() {
    return Alive() ? State().title : std::string();
}

bool SetConsoleCtrlHandler(ConsoleCtrlHandler handler, bool add) {
    if (handler == nullptr || !Alive()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    auto& handlers = State().handlers;
    if (add) {
        handlers.push_back(handler);
        return true;
    }
    const auto it = std::find(handlers.rbegin(), handlers.rend(), handler);
    if (it == handlers.rend()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    handlers.erase(std::next(it).base());
    return true;
}

bool RaiseConsoleEvent(uint32_t controlType) {
    if (!Alive()) {
        return false;
    }
    const std::vector<ConsoleCtrlHandler> handlers = State().handlers;
    for (auto it = handlers.rbegin(); it != handlers.rend(); ++it) {
        if ((*it)(controlType) != 0) {
            return true;
        }
    }
    Close();
    return false;
}

Handle GetStdHandle(uint32_t which) {
    if ((which != STD_OUTPUT_HANDLE && which != STD_ERROR_HANDLE) || !Alive()) {
        return kNoHandle;
    }
    return State().output;
}

bool WriteConsole(Handle output, std::string_view text) {
    if (output == kNoHandle || !Alive() || output != State().output) {
        SetLastError(ERROR_INVALID_HANDLE);
        return false;
    }
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        TranscriptWrite("[console] " + std::string(line));
        start = end + 1;
    }
    return true;
}

}  // namespace win
