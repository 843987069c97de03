#include "service/preferences.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <new>
#include <vector>

#include "platform/hostapi/bytes.h"
#include "platform/win/console.h"
#include "platform/win/modules.h"
#include "platform/win/process.h"
#include "platform/win/registry.h"
#include "platform/win/system.h"
#include "service/module_state.h"

namespace lumvar {
namespace {

PreferenceState& State() {
    return Module().preferences;
}

int16_t& Word(size_t offset) {
    return State().words[offset / 2];
}

int16_t ClampLanguage(int16_t value) {
    return std::clamp<int16_t>(value, 0, kLanguageCount - 1);
}

/// Claims the console's close event, so that closing the console does not end the host.
int32_t ConsoleControl(uint32_t controlType) {
    return controlType == win::CTRL_CLOSE_EVENT ? 1 : 0;
}

bool Absolute(std::string_view name) {
    return (!name.empty() && (name.front() == '\\' || name.front() == '/')) || (name.size() >= 2 && name[1] == ':');
}

}  // namespace

// ---- Preferences ----

void SetDefaultPreferences() {
    Word(LumvarPrefs::kSecondMonitor) = 0;
    Word(LumvarPrefs::kUpdateLayout) = 1;
    Word(LumvarPrefs::kLanguage) = 0;
    Word(LumvarPrefs::kReturnFocus) = 0;
    Word(LumvarPrefs::kCollapse) = 1;
    Word(LumvarPrefs::kTransparency) = 0;
    Word(LumvarPrefs::kTransparencyPercent) = kDefaultTransparencyPercent;
}

void ReadPreferences() {
    std::array<uint8_t, LumvarPrefs::kSize> bytes{};
    if (ReadSettings(bytes.data(), LumvarPrefs::kSize, kPreferencesKey, kPreferencesValue) == 0) {
        SetDefaultPreferences();
        return;
    }
    for (size_t i = 0; i < kPreferenceWordCount; ++i) {
        State().words[i] = hostapi::ReadI16(bytes.data(), 2 * i);
    }
}

void WritePreferences() {
    std::array<uint8_t, LumvarPrefs::kSize> bytes{};
    for (size_t i = 0; i < kPreferenceWordCount; ++i) {
        hostapi::WriteI16(bytes.data(), 2 * i, State().words[i]);
    }
    WriteSettings(bytes.data(), LumvarPrefs::kSize, kPreferencesKey, kPreferencesValue);
}

int16_t GetGlobals(uint8_t* prefs) {
    if (prefs == nullptr) {
        return ERR_NULL_ARGUMENT;
    }
    const int16_t size = hostapi::ReadI16(prefs, LumvarPrefs::kSizeWord);
    if (size != 8 && size != 12 && size != 16) {
        return ERR_BAD_SIZE;
    }
    for (size_t word = 1; word < static_cast<size_t>(size) / 2; ++word) {
        hostapi::WriteI16(prefs, 2 * word, State().words[word]);
    }
    return ERR_OK;
}

namespace {
/// A preference word as the services read it: through a 16-byte copy of the record.
int16_t Preference(size_t offset) {
    std::array<uint8_t, LumvarPrefs::kSize> copy{};
    hostapi::WriteI16(copy.data(), LumvarPrefs::kSizeWord, static_cast<int16_t>(LumvarPrefs::kSize));
    GetGlobals(copy.data());
    return hostapi::ReadI16(copy.data(), offset);
}
}  // namespace

int16_t Allow2ndMonitor() {
    return Preference(LumvarPrefs::kSecondMonitor);
}
int16_t ULWhenNeeded() {
    return Preference(LumvarPrefs::kUpdateLayout);
}
int16_t UserLanguage() {
    return ClampLanguage(Preference(LumvarPrefs::kLanguage));
}
int16_t ReturnFocusToFinale() {
    return Preference(LumvarPrefs::kReturnFocus);
}
int16_t NonFocusCollapse() {
    return Preference(LumvarPrefs::kCollapse);
}
int16_t TransparencyFlag() {
    return Preference(LumvarPrefs::kTransparency);
}
int16_t TransparencyPercent() {
    const int16_t percent = Preference(LumvarPrefs::kTransparencyPercent);
    return percent >= 1 && percent <= 99 ? percent : kDefaultTransparencyPercent;
}

void SetSecondMonitorPreference(int16_t value) {
    Word(LumvarPrefs::kSecondMonitor) = value;
}
void SetUpdateLayoutPreference(int16_t value) {
    Word(LumvarPrefs::kUpdateLayout) = value;
}
void SetLanguagePreference(int16_t value) {
    Word(LumvarPrefs::kLanguage) = ClampLanguage(value);
}
void SetReturnFocusPreference(int16_t value) {
    Word(LumvarPrefs::kReturnFocus) = value;
}
void SetCollapsePreference(int16_t value) {
    Word(LumvarPrefs::kCollapse) = value;
}
void SetTransparencyPreference(int16_t value) {
    Word(LumvarPrefs::kTransparency) = value;
}

// ---- Notify list ----

int16_t SetNotifyHook(LumvarNotifyProc proc, int16_t add) {
    if (proc == nullptr) {
        return 0;
    }
    std::vector<LumvarNotifyProc>& list = State().notifyList;
    const auto found = std::find(list.begin(), list.end(), proc);
    try {
        if (add != 0) {
            if (found == list.end()) {
                // A new list of exactly one more entry replaces the old one.
                std::vector<LumvarNotifyProc> grown;
                grown.reserve(list.size() + 1);
                grown.assign(list.begin(), list.end());
                grown.push_back(proc);
                list.swap(grown);
            }
            return 1;
        }
        if (found == list.end()) {
            return 0;
        }
        std::vector<LumvarNotifyProc> shrunk;
        shrunk.reserve(list.size() - 1);
        for (LumvarNotifyProc other : list) {
            if (other != proc) {
                shrunk.push_back(other);
            }
        }
        list.swap(shrunk);
        return 1;
    } catch (const std::bad_alloc&) {
        // The list stays as it was.
        return 0;
    }
}

void NotifyBroadcast(uint8_t code, int32_t size, const void* data) {
    // A callback that registers or removes callbacks replaces the list; the broadcast goes on
    // over the callbacks it began with.
    const std::vector<LumvarNotifyProc> callbacks = State().notifyList;
    for (LumvarNotifyProc proc : callbacks) {
        proc(static_cast<uint8_t>(code & 0xFF), size, data);
    }
}

void NotifyValue(uint8_t code, int16_t value) {
    std::array<uint8_t, 2> data{};
    hostapi::WriteI16(data.data(), 0, value);
    NotifyBroadcast(code, 2, data.data());
}

size_t NotifyCount() {
    return State().notifyList.size();
}

bool AnyClientRegistered() {
    return !State().notifyList.empty();
}

void ClearNotifyList() {
    std::vector<LumvarNotifyProc>().swap(State().notifyList);
}

// ---- Registry settings ----

int16_t ReadSettings(void* data, uint32_t size, const char* subkey, const char* valueName) {
    if (data == nullptr || subkey == nullptr || valueName == nullptr) {
        return 0;
    }
    win::Hkey key{};
    if (win::RegOpenKeyEx(win::HKEY_CURRENT_USER, subkey, win::KEY_READ, key) != win::ERROR_SUCCESS) {
        return 0;
    }
    uint32_t type = 0;
    std::vector<uint8_t> value;
    const uint32_t result = win::RegQueryValueEx(key, valueName, type, value);
    win::RegCloseKey(key);
    if (result != win::ERROR_SUCCESS || value.size() > size) {
        return 0;
    }
    auto* bytes = static_cast<uint8_t*>(data);
    std::memset(bytes, 0, size);
    std::memcpy(bytes, value.data(), value.size());
    return 1;
}

int16_t WriteSettings(const void* data, uint32_t size, const char* subkey, const char* valueName) {
    if ((data == nullptr && size > 0) || subkey == nullptr || valueName == nullptr) {
        return 0;
    }
    win::Hkey key{};
    if (win::RegCreateKeyEx(win::HKEY_CURRENT_USER, subkey, win::KEY_ALL_ACCESS, key) == win::ERROR_SUCCESS) {
        const auto* bytes = static_cast<const uint8_t*>(data);
        win::RegSetValueEx(key, valueName, win::REG_BINARY, std::vector<uint8_t>(bytes, bytes + size));
        win::RegCloseKey(key);
    }
    // Registry write failures are not reported.
    return 1;
}

// ---- The host's settings file ----

std::string IniFileName() {
    const std::string commandLine = win::GetCommandLine();
    std::string_view rest = commandLine;
    while (!rest.empty() && rest.front() == ' ') {
        rest.remove_prefix(1);
    }
    // The program's path: quoted up to its closing quote, else up to the first blank.
    if (!rest.empty() && rest.front() == '"') {
        const size_t close = rest.find('"', 1);
        rest = close == std::string_view::npos ? std::string_view() : rest.substr(close + 1);
    } else {
        const size_t blank = rest.find(' ');
        rest = blank == std::string_view::npos ? std::string_view() : rest.substr(blank);
    }

    std::string name;
    size_t option = rest.find(" -i");
    if (option == std::string_view::npos) {
        option = rest.find(" -I");
    }
    if (option != std::string_view::npos && option + 3 < rest.size() && rest[option + 3] != ' ') {
        std::string_view value = rest.substr(option + 3);
        if (value.front() == '"') {
            const size_t close = value.find('"', 1);
            if (close != std::string_view::npos) {
                name = std::string(value.substr(1, close - 1));
            }
        } else {
            name = std::string(value.substr(0, value.find(' ')));
        }
    }
    if (name.empty()) {
        name = kDefaultIniName;
    }
    if (Absolute(name)) {
        return name;
    }
    // Any other name lies in the host program's folder (its path up to the last separator).
    const std::string program = win::GetModuleFileName(win::GetModuleHandle(""));
    const size_t separator = program.find_last_of("\\/");
    return separator == std::string::npos ? name : program.substr(0, separator + 1) + name;
}

int16_t GetINIFileName(char* out) {
    if (out == nullptr) {
        return ERR_NULL_ARGUMENT;
    }
    const std::string name = IniFileName();
    if (name.size() + 1 > kMaxPath) {
        out[0] = '\0';
        return ERR_OUT_OF_RANGE;
    }
    std::memcpy(out, name.c_str(), name.size() + 1);
    return ERR_OK;
}

// ---- Debug console ----

int16_t PrintfOutput(const char* text) {
    PreferenceState& state = State();
    if (!state.consoleOpen && win::AllocConsole()) {
        win::SetConsoleCtrlHandler(ConsoleControl, true);
        win::SetConsoleTitle(kConsoleTitle);
        state.consoleOpen = true;
    }
    if (text != nullptr) {
        // The console shows the window system's text: the client's 8-bit text is converted
        // (a copy; the caller's text is left as it is).
        win::WriteConsole(win::GetStdHandle(win::STD_OUTPUT_HANDLE), win::AnsiToUtf8(text));
    }
    return 1;
}

bool DebugConsoleOpen() {
    return State().consoleOpen;
}

bool FreeDebugConsole() {
    State().consoleOpen = false;
    return win::FreeConsole();
}

}  // namespace lumvar
