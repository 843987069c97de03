#include "core/options_store.h"

#include <algorithm>
#include <optional>
#include <string>

#include "core/messages.h"
#include "core/module.h"
#include "core/startup.h"
#include "platform/vcl/registry.h"
#include "platform/vcl/stdctrls.h"

namespace orvex {

uint8_t& ExplorerHotkeyKey = TheModule.options.ExplorerHotkeyKey;
uint8_t& ExplorerHotkeyShift = TheModule.options.ExplorerHotkeyShift;
uint8_t& ExplorerHotkeyCtrl = TheModule.options.ExplorerHotkeyCtrl;
uint8_t& ExplorerHotkeyAlt = TheModule.options.ExplorerHotkeyAlt;
uint8_t& ExplorerMetatoolKey = TheModule.options.ExplorerMetatoolKey;
uint8_t& RemapperEnabled = TheModule.options.RemapperEnabled;
std::vector<KeyAssignment>& KeyAssignments = TheModule.options.KeyAssignments;
uint8_t& OptionsFormOpen = TheModule.options.OptionsFormOpen;
uint8_t& KeyAssignmentEditorOpen = TheModule.options.KeyAssignmentEditorOpen;

namespace {

/// The key of the explorer's hotkey when the stored text names none.
constexpr uint8_t kDefaultHotkey = 9;
constexpr uint8_t kDefaultMetatool = '1';
constexpr int16_t kNumLockKey = 144;

bool Year2000Names() {
    return HostYear >= 2000;
}

/// A value of the open key: whether it exists, and its text unless it is of another type (such
/// a value leaves its setting as it was).
struct StoredValue {
    bool exists = false;
    std::optional<std::string> text;
};

StoredValue ReadValue(const char* name) {
    StoredValue value;
    value.exists = Registry->ValueExists(name);
    if (value.exists) {
        try {
            value.text = Registry->ReadString(name);
        } catch (const vcl::ERegistryException&) {
            value.text.reset();
        }
    }
    return value;
}

void ApplyHotkey(const std::string& text) {
    ExplorerHotkeyShift = !text.empty() && text[0] == 'S' ? 1 : 0;
    ExplorerHotkeyCtrl = text.size() > 1 && text[1] == 'C' ? 1 : 0;
    ExplorerHotkeyAlt = text.size() > 2 && text[2] == 'A' ? 1 : 0;
    int32_t key = 0;
    const std::string digits = text.size() > 3 ? text.substr(3, 10) : std::string();
    // A number that is no virtual-key code cannot be the hotkey: TAB, as for a text that is no number.
    ExplorerHotkeyKey =
        vcl::ParseWholeNumber(digits, key) && key >= 0 && key <= 255 ? static_cast<uint8_t>(key) : kDefaultHotkey;
}

uint8_t MetatoolOf(const std::string& text) {
    if (text.empty()) {
        return 0;
    }
    const char c = text[0];
    return static_cast<uint8_t>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
}

void ApplyAssignments(const std::string& text) {
    if (text.empty()) {
        KeyAssignments = DefaultKeyAssignments();
        RemapperEnabled = 1;
        return;
    }
    RemapperEnabled = text[0] == '1' ? 1 : 0;
    KeyAssignments.clear();
    const size_t count = (text.size() / 2) / KeyAssignment::kSize;
    for (size_t i = 0; i < count; ++i) {
        KeyAssignments.push_back(KeyAssignment_Decode(std::string_view(text).substr(1 + i * 2 * KeyAssignment::kSize)));
    }
}

/// The text of the key assignments of the running host: "Assignments2K" from host year 2000 on,
/// "Assignments" when that is missing or on earlier hosts; nullopt when the value there cannot
/// be read.
std::optional<std::string> StoredAssignments() {
    if (Year2000Names()) {
        const StoredValue value = ReadValue("Assignments2K");
        if (value.exists) {
            return value.text;
        }
    }
    const StoredValue value = ReadValue("Assignments");
    if (value.exists) {
        return value.text;
    }
    return std::string();
}

bool OpenSettingsKey() {
    try {
        return Registry != nullptr && Registry->OpenKey(kSettingsKey, true);
    } catch (const vcl::ERegistryException&) {
        return false;
    }
}

/// Offers the NumLock assignment and records that the offer was made. The question is asked
/// with the key closed, so that nothing shown meanwhile finds the shared registry object busy.
void MakeNumLockOffer() {
    Registry->CloseKey();
    if (ShowMessageDialog(HostWindow, MSG_NUMLOCK_OFFER, CAPTION_KEYBOARD_REMAPPER, 0, false, false, nullptr, 0)) {
        KeyAssignments.push_back(NumLockKeyAssignment());
        RemapperEnabled = 1;
        if (OpenSettingsKey()) {
            SaveKeyAssignments();
        }
    }
    if (OpenSettingsKey()) {
        try {
            Registry->WriteString(NumLockOfferValueName(), "1");
        } catch (const vcl::ERegistryException&) {
            // Not recorded: the offer comes again at the next start.
        }
    }
}

}  // namespace

const char* AssignmentsValueName() {
    return Year2000Names() ? "Assignments2K" : "Assignments";
}

const char* NumLockOfferValueName() {
    return Year2000Names() ? "asknl2k" : "asknl";
}

void LoadOptions() {
    if (!OpenSettingsKey()) {
        return;
    }
    if (const StoredValue hotkey = ReadValue("ExplorerHotkey"); hotkey.text) {
        ApplyHotkey(*hotkey.text);
    }
    if (const StoredValue metatool = ReadValue("ExplorerMetatool"); !metatool.exists) {
        ExplorerMetatoolKey = kDefaultMetatool;
    } else if (metatool.text) {
        ExplorerMetatoolKey = MetatoolOf(*metatool.text);
    }
    if (const std::optional<std::string> assignments = StoredAssignments()) {
        ApplyAssignments(*assignments);
    }
    const bool numLockAssigned = std::any_of(KeyAssignments.begin(), KeyAssignments.end(),
                                             [](const KeyAssignment& a) { return a.Key() == kNumLockKey; });
    if (!numLockAssigned && !Registry->ValueExists(NumLockOfferValueName())) {
        MakeNumLockOffer();
    }
    Registry->CloseKey();
}

bool SaveKeyAssignments() {
    if (Registry == nullptr || !Registry->HasCurrentKey()) {
        return false;
    }
    std::string text = RemapperEnabled != 0 ? "1" : "0";
    for (const KeyAssignment& assignment : KeyAssignments) {
        text += KeyAssignment_Encode(assignment);
    }
    try {
        Registry->WriteString(AssignmentsValueName(), text);
    } catch (const vcl::ERegistryException&) {
        return false;
    }
    return true;
}

}  // namespace orvex
