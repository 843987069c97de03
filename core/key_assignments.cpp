#include "core/key_assignments.h"

#include <algorithm>
#include <optional>

#include "core/commands.h"
#include "core/free_texts.h"
#include "core/module.h"
#include "core/options_store.h"
#include "core/startup.h"
#include "platform/vcl/stdctrls.h"
#include "platform/win/keys.h"
#include "platform/win/menus.h"

namespace orvex {

// clang-format off
const std::array<KeyNameRow, kKeyNameCount> kKeyNameTable = {{
    {"(none)", 0},   {"TAB", 9},      {"CARET", 220},  {"NUM .", 110},  {"PREV", 33},
    {"NEXT", 34},    {"END", 35},     {"HOME", 36},    {"LEFT", 37},    {"UP", 38},
    {"RIGHT", 39},   {"DOWN", 40},    {"PRINT", 42},   {"INS", 45},     {"DEL", 46},
    {"GRAY *", 106}, {"GRAY +", 107}, {"GRAY -", 109}, {"GRAY /", 111}, {"SCROLL", 145},
    {"BACKSP", 8},
    {"F1", 112},  {"F2", 113},  {"F3", 114},  {"F4", 115},  {"F5", 116},  {"F6", 117},
    {"F7", 118},  {"F8", 119},  {"F9", 120},  {"F10", 121}, {"F11", 122}, {"F12", 123},
}};
// clang-format on

// ---- Records ----

KeyAssignment MakeKeyAssignment(int16_t key, int32_t target, bool enabled, uint8_t flags, bool menu) {
    KeyAssignment assignment;
    assignment.SetKey(key);
    assignment.SetTarget(target);
    assignment.SetEnabled(enabled);
    assignment.SetFlags(flags);
    assignment.SetMenuCommand(menu);
    return assignment;
}

std::vector<KeyAssignment> DefaultKeyAssignments() {
    return {MakeKeyAssignment(46, 46, false, KeyAssignment::kAsk, false),
            MakeKeyAssignment(8, 8, false, KeyAssignment::kAsk, false),
            MakeKeyAssignment(36, 36, true, KeyAssignment::kAsk, false),
            MakeKeyAssignment(35, 35, true, KeyAssignment::kAsk, false)};
}

KeyAssignment NumLockKeyAssignment() {
    return MakeKeyAssignment(144, 8, true, KeyAssignment::kSpeedyOnly, false);
}

KeyAssignment NewKeyAssignment() {
    return MakeKeyAssignment(0, 0, true, 0, false);
}

std::string KeyAssignment_Encode(const KeyAssignment& assignment) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(2 * KeyAssignment::kSize);
    for (const uint8_t byte : assignment.bytes) {
        text += kDigits[byte >> 4];
        text += kDigits[byte & 0x0F];
    }
    return text;
}

KeyAssignment KeyAssignment_Decode(std::string_view digits) {
    KeyAssignment assignment;
    for (size_t i = 0; i < KeyAssignment::kSize; ++i) {
        const size_t at = 2 * i;
        if (at + 1 >= digits.size()) {
            break;  // a record cut short: the missing bytes stay 0
        }
        const int high = hostapi::HexDigitValue(digits[at]);
        const int low = hostapi::HexDigitValue(digits[at + 1]);
        assignment.bytes[i] = high < 0 || low < 0 ? 0 : static_cast<uint8_t>(high * 16 + low);
    }
    return assignment;
}

// ---- Key names and texts ----

namespace {

std::string UpperAscii(std::string_view text) {
    std::string upper(text);
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; });
    return upper;
}

/// A caption as the list shows a menu command: no "&", nothing from a backspace or a TAB on.
std::string CommandCaption(std::string_view caption) {
    std::string text;
    for (const char c : caption) {
        if (c != '&') {
            text += c;
        }
    }
    if (const size_t at = text.find('\b'); at != std::string::npos) {
        text.erase(at);
    }
    if (const size_t at = text.find('\t'); at != std::string::npos) {
        text.erase(at);
    }
    return text;
}

}  // namespace

win::Hmenu HostMenuBar() {
    return Host().window == win::kNoWindow ? win::kNoMenu : win::GetMenu(Host().window);
}

bool IsModifierKey(uint16_t key) {
    return key == win::VK_SHIFT || key == win::VK_CONTROL || key == win::VK_MENU;
}

std::string KeyAssignment_KeyText(int32_t code, bool isMenu) {
    if (code == 0) {
        return "";
    }
    if (isMenu) {
        std::string caption;
        if (MenuCache_ItemText(HostMenuBar(), static_cast<uint32_t>(code), caption, kMenuTextBufferSize, false, false,
                               true) != 0) {
            return CommandCaption(caption);
        }
        return EnglishText(FreeText::KeyMenuInaccessible, {std::to_string(code)});
    }
    if ((code >= '0' && code <= '9') || (code >= 'A' && code <= 'Z')) {
        return std::string(1, static_cast<char>(code));
    }
    for (const KeyNameRow& row : kKeyNameTable) {
        if (row.code == code) {
            return row.name;
        }
    }
    return "#" + std::to_string(code);
}

std::string KeyAssignment_ModifierText(uint8_t shift, uint8_t ctrl, uint8_t alt) {
    std::string text;
    if (shift != 0) {
        text += "Shift-";
    }
    if (ctrl != 0) {
        text += "Ctrl-";
    }
    if (alt != 0) {
        text += "Alt-";
    }
    return text;
}

int32_t KeyNameToCode(std::string_view text) {
    if (text.empty()) {
        return 0;
    }
    if (text[0] == '#') {
        int32_t number = 0;
        return vcl::ParseWholeNumber(text.substr(1, 3), number) ? number : 0;
    }
    const std::string upper = UpperAscii(text);
    for (const KeyNameRow& row : kKeyNameTable) {
        if (upper == row.name) {
            return row.code;
        }
    }
    if (upper.size() == 1) {
        return static_cast<unsigned char>(upper[0]);
    }
    return 0;
}

std::string KeyCommandText(int32_t code) {
    if (std::find(kKeyCommandCodes.begin(), kKeyCommandCodes.end(), code) != kKeyCommandCodes.end()) {
        const std::string_view name = ToolStorageName(code % 100);
        if (!name.empty()) {
            return std::string(name);
        }
    }
    return EnglishText(FreeText::KeyNoSuchPlugInCommand, {std::to_string(code)});
}

int32_t KeyCommandCode(std::string_view name) {
    const std::string upper = UpperAscii(name);
    for (const int32_t code : kKeyCommandCodes) {
        if (!upper.empty() && UpperAscii(ToolStorageName(code % 100)) == upper) {
            return code;
        }
    }
    return 0;
}

std::string KeyAssignment_ListText(const KeyAssignment& assignment) {
    std::string line = KeyAssignment_ModifierText(assignment.Shift(), assignment.Ctrl(), assignment.Alt()) +
                       KeyAssignment_KeyText(assignment.Key(), false);
    if (assignment.Target() != assignment.Key() || !assignment.IsKeyTarget()) {
        line += " -> ";
        if (assignment.IsPluginCommand()) {
            line += KeyCommandText(assignment.Target());
        } else if (assignment.IsMenuCommand()) {
            line += KeyAssignment_KeyText(assignment.Target(), true);
        } else {
            line += KeyAssignment_ModifierText(assignment.NewShift(), assignment.NewCtrl(), assignment.NewAlt()) +
                    KeyAssignment_KeyText(assignment.Target(), false);
        }
    }
    if ((assignment.Flags() & KeyAssignment::kAsk) != 0) {
        line += " (ask)";
    }
    if ((assignment.Flags() & KeyAssignment::kSpeedyOnly) != 0) {
        line += " (speedy)";
    }
    return line;
}

void FillAssignmentList(vcl::TCheckListBox& list) {
    list.Items().Clear();
    for (const KeyAssignment& assignment : TheModule.options.KeyAssignments) {
        const int32_t line = list.Items().Add(KeyAssignment_ListText(assignment));
        list.SetChecked(line, assignment.Enabled());
    }
}

// ---- The menu cache ----

namespace {

/// A caption cut to what an entry keeps, never inside a character.
std::string CutCaption(std::string_view caption) {
    if (caption.size() <= kMenuCaptionChars) {
        return std::string(caption);
    }
    size_t end = kMenuCaptionChars;
    while (end > 0 && (static_cast<unsigned char>(caption[end]) & 0xC0) == 0x80) {
        --end;  // a continuation byte of a UTF-8 character
    }
    return std::string(caption.substr(0, end));
}

void CopyToBuffer(std::string_view caption, std::string& text, size_t size) {
    text.assign(caption.substr(0, size == 0 ? 0 : std::min(caption.size(), size - 1)));
}

const MenuCacheEntry* FindEntry(win::Hmenu menu, uint32_t item, bool byPosition, bool anyMenu) {
    for (const MenuCacheEntry& entry : TheModule.options.MenuCache) {
        if ((anyMenu || entry.menu == menu) && (byPosition ? entry.position == item : entry.id == item)) {
            return &entry;
        }
    }
    return nullptr;
}

std::optional<std::string> LiveCaption(win::Hmenu menu, uint32_t item, bool byPosition) {
    if (menu == win::kNoMenu) {
        return std::nullopt;
    }
    return win::GetMenuString(menu, item, byPosition ? win::MF_BYPOSITION : win::MF_BYCOMMAND, kMenuTextBufferSize);
}

bool CaptionKnownForMenu(win::Hmenu menu, const std::string& caption) {
    return std::any_of(TheModule.options.MenuCache.begin(), TheModule.options.MenuCache.end(),
                       [&](const MenuCacheEntry& entry) { return entry.menu == menu && entry.caption == caption; });
}

void RefreshLevel(win::Hmenu menu, int32_t first, int32_t level) {
    const int32_t count = win::GetMenuItemCount(menu);
    std::string caption;
    for (int32_t position = first; position < count; ++position) {
        MenuCache_ItemText(menu, static_cast<uint32_t>(position), caption, kMenuTextBufferSize, true, false, false);
        if (level < 4) {
            if (const win::Hmenu submenu = win::GetSubMenu(menu, position); submenu != win::kNoMenu) {
                RefreshLevel(submenu, 0, level + 1);
            }
        }
    }
}

}  // namespace

int32_t MenuCache_ItemText(win::Hmenu menu, uint32_t item, std::string& text, size_t size, bool byPosition,
                           bool refresh, bool anyMenu) {
    if (const MenuCacheEntry* entry = FindEntry(menu, item, byPosition, anyMenu)) {
        // Copied now: caching the live item below may move the entries.
        const std::string cached = entry->caption;
        if (refresh && byPosition) {
            const auto live = LiveCaption(menu, item, true);
            if (live && !live->empty() && !CaptionKnownForMenu(menu, CutCaption(*live))) {
                // Another state of the menu at this place: it is kept at a new, later position.
                const uint32_t id = win::GetMenuItemID(menu, static_cast<int32_t>(item));
                MenuCache_Add(menu, static_cast<uint32_t>(MenuCache_Count(menu, true) + 1), id,
                              static_cast<int32_t>(item), *live);
            }
        }
        CopyToBuffer(cached, text, size);
        return 1;
    }
    text.clear();
    const auto live = LiveCaption(menu, item, byPosition);
    if (!live || live->empty()) {
        return 0;
    }
    if (byPosition) {
        const uint32_t id = win::GetMenuItemID(menu, static_cast<int32_t>(item));
        if (id != 0) {
            MenuCache_Add(menu, item, id, static_cast<int32_t>(item), *live);
        }
    }
    CopyToBuffer(*live, text, size);
    return 1;
}

int32_t MenuCache_Count(win::Hmenu menu, bool cachedOnly) {
    int32_t count = cachedOnly || menu == win::kNoMenu ? 0 : std::max(0, win::GetMenuItemCount(menu));
    for (const MenuCacheEntry& entry : TheModule.options.MenuCache) {
        if (entry.menu == menu) {
            count = std::max(count, static_cast<int32_t>(entry.position));
        }
    }
    return count;
}

win::Hmenu MenuCache_SubMenu(win::Hmenu menu, int32_t position) {
    if (const MenuCacheEntry* entry = FindEntry(menu, static_cast<uint32_t>(position), true, false)) {
        return entry->submenu;
    }
    return menu == win::kNoMenu ? win::kNoMenu : win::GetSubMenu(menu, position);
}

uint32_t MenuCache_ItemId(win::Hmenu menu, int32_t position) {
    if (const MenuCacheEntry* entry = FindEntry(menu, static_cast<uint32_t>(position), true, false)) {
        return entry->id;
    }
    return menu == win::kNoMenu ? win::kNoMenuItem : win::GetMenuItemID(menu, position);
}

void MenuCache_Add(win::Hmenu menu, uint32_t position, uint32_t id, int32_t livePosition, std::string_view caption) {
    if (caption.empty() || caption[0] == '-') {
        return;
    }
    MenuCacheEntry entry;
    entry.menu = menu;
    entry.position = position;
    entry.id = id;
    entry.livePosition = livePosition;
    entry.submenu = win::GetSubMenu(menu, livePosition);
    entry.caption = CutCaption(caption);
    TheModule.options.MenuCache.push_back(std::move(entry));
}

void MenuCache_Refresh() {
    const win::Hmenu bar = HostMenuBar();
    if (bar != win::kNoMenu) {
        RefreshLevel(bar, 1, 1);
    }
}

}  // namespace orvex
