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

namespace {

/// The key of the explorer's hotkey when the stored text names none.
constexpr uint8_t kDefaultHotkey = 9;
constexpr uint8_t kDefaultMetatool = '1';
constexpr int16_t kNumLockKey = 144;

bool Year2000Names() {
    return Host().year >= 2000;
}

/// A value of the open key: whether it exists, and its text unless it is of another type (such
/// a value leaves its setting as it was).
struct StoredValue {
    bool exists = false;
    std::optional<std::string> text;
};

StoredValue ReadValue(const char* name) {
    StoredValue value;
    value.exists = TheModule.process.Registry->ValueExists(name);
    if (value.exists) {
        try {
            value.text = TheModule.process.Registry->ReadString(name);
        } catch (const vcl::ERegistryException&) {
            value.text.reset();
        }
    }
    return value;
}

void ApplyHotkey(const std::string& text) {
    TheModule.options.ExplorerHotkeyShift = !text.empty() && text[0] == 'S' ? 1 : 0;
    TheModule.options.ExplorerHotkeyCtrl = text.size() > 1 && text[1] == 'C' ? 1 : 0;
    TheModule.options.ExplorerHotkeyAlt = text.size() > 2 && text[2] == 'A' ? 1 : 0;
    int32_t key = 0;
    const std::string digits = text.size() > 3 ? text.substr(3, 10) : std::string();
    // A number that is no virtual-key code cannot be the hotkey: TAB, as for a text that is no number.
    TheModule.options.ExplorerHotkeyKey =
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
        TheModule.options.KeyAssignments = DefaultKeyAssignments();
        TheModule.options.RemapperEnabled = 1;
        return;
    }
    TheModule.options.RemapperEnabled = text[0] == '1' ? 1 : 0;
    TheModule.options.KeyAssignments.clear();
    const size_t count = (text.size() / 2) / KeyAssignment::kSize;
    for (size_t i = 0; i < count; ++i) {
        TheModule.options.KeyAssignments.push_back(
            KeyAssignment_Decode(std::string_view(text).substr(1 + i * 2 * KeyAssignment::kSize)));
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
        return TheModule.process.Registry != nullptr && TheModule.process.Registry->OpenKey(kSettingsKey, true);
    } catch (const vcl::ERegistryException&) {
        return false;
    }
}

/// Offers the NumLock assignment and records that the offer was made. The question is asked
/// with the key closed, so that nothing shown meanwhile finds the shared registry object busy.
void MakeNumLockOffer() {
    TheModule.process.Registry->CloseKey();
    if (Ask({.id = MSG_NUMLOCK_OFFER, .caption = Caption::KeyboardRemapper}) == Answer::Yes) {
        TheModule.options.KeyAssignments.push_back(NumLockKeyAssignment());
        TheModule.options.RemapperEnabled = 1;
        if (OpenSettingsKey()) {
            SaveKeyAssignments();
        }
    }
    if (OpenSettingsKey()) {
        try {
            TheModule.process.Registry->WriteString(NumLockOfferValueName(), "1");
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
        TheModule.options.ExplorerMetatoolKey = kDefaultMetatool;
    } else if (metatool.text) {
        TheModule.options.ExplorerMetatoolKey = MetatoolOf(*metatool.text);
    }
    if (const std::optional<std::string> assignments = StoredAssignments()) {
        ApplyAssignments(*assignments);
    }
    const bool numLockAssigned =
        std::any_of(TheModule.options.KeyAssignments.begin(), TheModule.options.KeyAssignments.end(),
                    [](const KeyAssignment& a) { return a.Key() == kNumLockKey; });
    if (!numLockAssigned && !TheModule.process.Registry->ValueExists(NumLockOfferValueName())) {
        MakeNumLockOffer();
    }
    TheModule.process.Registry->CloseKey();
}

bool SaveKeyAssignments() {
    if (TheModule.process.Registry == nullptr || !TheModule.process.Registry->HasCurrentKey()) {
        return false;
    }
    std::string text = TheModule.options.RemapperEnabled != 0 ? "1" : "0";
    for (const KeyAssignment& assignment : TheModule.options.KeyAssignments) {
        text += KeyAssignment_Encode(assignment);
    }
    try {
        TheModule.process.Registry->WriteString(AssignmentsValueName(), text);
    } catch (const vcl::ERegistryException&) {
        return false;
    }
    return true;
}

}  // namespace orvex
