// Key assignments: the user's map from a key combination of the host to another key
// combination or to a command of the host's menus; the names of keys; the text of an assignment
// as the options form lists it; and the menu cache, through which menu commands are shown and
// chosen even while their menu is not reachable.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/tool_items.h"
#include "platform/hostapi/bytes.h"
#include "platform/win/handles.h"

namespace vcl {
class TCheckListBox;
}

namespace orvex {

/// One assignment; its 15 bytes are also its stored form.
struct KeyAssignment {
    static constexpr size_t kSize = 15;
    static constexpr size_t kKey = 0;        ///< @0, i16, virtual-key code of the shortcut
    static constexpr size_t kTarget = 2;     ///< @2, i32, a menu command's identifier or the replacing key
    static constexpr size_t kEnabled = 6;    ///< @6, u8
    static constexpr size_t kFlags = 7;      ///< @7, u8, bit 0 ask for confirmation, bit 1 Speedy Entry only
    static constexpr size_t kMenu = 8;       ///< @8, u8, what the target is (kTarget... below)
    static constexpr size_t kShift = 9;      ///< @9-11, u8 each, Shift, Ctrl, Alt of the shortcut
    static constexpr size_t kNewShift = 12;  ///< @12-14, u8 each, Shift, Ctrl, Alt of the replacing key
    static constexpr uint8_t kAsk = 0x01;
    static constexpr uint8_t kSpeedyOnly = 0x02;
    // What the target names (byte 8). Any other value reads as a menu command, as every value
    // but 0 did before plug-in commands could be targets.
    static constexpr uint8_t kTargetKey = 0;
    static constexpr uint8_t kTargetMenu = 1;
    static constexpr uint8_t kTargetPluginCommand = 2;  ///< a command of the plug-in by its code

    std::array<uint8_t, kSize> bytes{};

    int16_t Key() const { return hostapi::ReadI16(bytes.data(), kKey); }
    void SetKey(int16_t key) { hostapi::WriteI16(bytes.data(), kKey, key); }
    int32_t Target() const { return hostapi::ReadI32(bytes.data(), kTarget); }
    void SetTarget(int32_t target) { hostapi::WriteI32(bytes.data(), kTarget, target); }
    bool Enabled() const { return bytes[kEnabled] != 0; }
    void SetEnabled(bool enabled) { bytes[kEnabled] = enabled ? 1 : 0; }
    uint8_t Flags() const { return bytes[kFlags]; }
    void SetFlags(uint8_t flags) { bytes[kFlags] = flags; }
    bool IsMenuCommand() const { return bytes[kMenu] != kTargetKey && bytes[kMenu] != kTargetPluginCommand; }
    void SetMenuCommand(bool menu) { bytes[kMenu] = menu ? kTargetMenu : kTargetKey; }
    /// The target is a command of the plug-in that no host menu carries (its code).
    bool IsPluginCommand() const { return bytes[kMenu] == kTargetPluginCommand; }
    void SetPluginCommand() { bytes[kMenu] = kTargetPluginCommand; }
    /// Whether the target is a key (not a menu or plug-in command).
    bool IsKeyTarget() const { return bytes[kMenu] == kTargetKey; }
    bool Shift() const { return bytes[kShift] != 0; }
    bool Ctrl() const { return bytes[kShift + 1] != 0; }
    bool Alt() const { return bytes[kShift + 2] != 0; }
    void SetModifiers(bool shift, bool ctrl, bool alt) { SetThree(kShift, shift, ctrl, alt); }
    bool NewShift() const { return bytes[kNewShift] != 0; }
    bool NewCtrl() const { return bytes[kNewShift + 1] != 0; }
    bool NewAlt() const { return bytes[kNewShift + 2] != 0; }
    void SetNewModifiers(bool shift, bool ctrl, bool alt) { SetThree(kNewShift, shift, ctrl, alt); }

    bool operator==(const KeyAssignment&) const = default;

private:
    void SetThree(size_t at, bool a, bool b, bool c) {
        bytes[at] = a ? 1 : 0;
        bytes[at + 1] = b ? 1 : 0;
        bytes[at + 2] = c ? 1 : 0;
    }
};
static_assert(sizeof(KeyAssignment) == KeyAssignment::kSize);

/// A key mapped to another key or command, without modifiers.
KeyAssignment MakeKeyAssignment(int16_t key, int32_t target, bool enabled, uint8_t flags, bool menu);
/// The four records a user without stored assignments gets: DEL, BACKSP, HOME and END, each
/// mapped to itself with a confirmation request; DEL and BACKSP off, HOME and END on.
std::vector<KeyAssignment> DefaultKeyAssignments();
/// The record of the NumLock offer: NumLock replaced by BACKSP, on, within Speedy Entry only.
KeyAssignment NumLockKeyAssignment();
/// The record that Add appends: all zero but enabled.
KeyAssignment NewKeyAssignment();

/// The stored form: the 15 bytes as 30 upper-case hexadecimal digits.
std::string KeyAssignment_Encode(const KeyAssignment& assignment);
/// Reads the stored form from the first 30 characters of `digits`; a pair that is not two
/// hexadecimal digits, or that the text does not reach, gives the byte 0.
KeyAssignment KeyAssignment_Decode(std::string_view digits);

// ---- Key names ----

struct KeyNameRow {
    const char* name;
    int32_t code;
};
inline constexpr size_t kKeyNameCount = 33;
/// The names of the keys that have no character of their own, in the order the hotkey and key
/// combo boxes list them.
extern const std::array<KeyNameRow, kKeyNameCount> kKeyNameTable;

/// The text of a key (isMenu false) or of a menu command (isMenu true): "" for code 0; a
/// command's caption without accelerator marks and without its shortcut column, or
/// "#ID (menu currently inaccessible)"; a key's character ("0"-"9", "A"-"Z"), its name, or
/// "#CODE".
std::string KeyAssignment_KeyText(int32_t code, bool isMenu);
/// Shift, Ctrl or Alt: a listening key box waits past them for the key they are held with.
bool IsModifierKey(uint16_t key);
/// "Shift-", "Ctrl-", "Alt-" for the modifiers that are set, in that order.
std::string KeyAssignment_ModifierText(uint8_t shift, uint8_t ctrl, uint8_t alt);
/// The code of a key name: "#N" (at most three digits), a name of the table (any case), or a
/// single character's code; 0 for the empty text and for anything else.
int32_t KeyNameToCode(std::string_view text);
/// The line of the options form's list for a record, without its check mark:
/// "Ctrl-A", "#144 -> BACKSP (speedy)", "HOME (ask)".
std::string KeyAssignment_ListText(const KeyAssignment& assignment);
/// Clears the list and adds one line per record of KeyAssignments, checked when it is enabled.
void FillAssignmentList(vcl::TCheckListBox& list);

// ---- Plug-in commands a key can run ----

/// The codes of the plug-in's commands that no host menu carries and that a key assignment runs
/// (the smart split point), in the order the editor lists them. Each is named by its key name,
/// the name its tool item's options are stored under.
inline constexpr std::array<int32_t, 1> kKeyCommandCodes = {kSmartSplitPointCode};
/// The key name of a plug-in command ("SplitPoint"), or "#CODE (no such plug-in command)".
std::string KeyCommandText(int32_t code);
/// The code of a plug-in command's key name (any case); 0 when there is none.
int32_t KeyCommandCode(std::string_view name);

// ---- The menu cache ----

/// Captions are kept to this many characters (a 45-byte field with its terminating zero).
inline constexpr size_t kMenuCaptionChars = 44;
/// The buffer size the callers of MenuCache_ItemText pass.
inline constexpr size_t kMenuTextBufferSize = 100;

/// One host menu item as it was seen.
struct MenuCacheEntry {
    win::Hmenu menu = win::kNoMenu;
    uint32_t position = 0;     ///< position within the menu; may lie beyond the live item count
    uint32_t id = 0;           ///< command identifier (0xFFFFFFFF for an item that opens a submenu)
    int32_t livePosition = 0;  ///< the live position when it was seen
    win::Hmenu submenu = win::kNoMenu;
    std::string caption;  ///< as the menu reported it, accelerator marks included
};

/// Every host menu item seen so far, in the order seen; it only grows.

/// The caption of a menu item through the cache, by position or by command identifier, in this
/// menu or (anyMenu) in any. With refresh and byPosition a live item at that place whose
/// caption the cache does not know for the menu is cached at a new, later position. `text`
/// receives at most size - 1 characters. Answers non-zero when a caption was found.
int32_t MenuCache_ItemText(win::Hmenu menu, uint32_t item, std::string& text, size_t size, bool byPosition,
                           bool refresh, bool anyMenu);
/// The highest position known for the menu: its live item count (0 when cachedOnly), raised to
/// the highest cached position of that menu.
int32_t MenuCache_Count(win::Hmenu menu, bool cachedOnly);
/// The cached submenu at a position; the live one when the position is not cached.
win::Hmenu MenuCache_SubMenu(win::Hmenu menu, int32_t position);
/// The cached command identifier at a position; the live one when the position is not cached.
uint32_t MenuCache_ItemId(win::Hmenu menu, int32_t position);
/// Caches an item unless its caption is empty or begins with "-"; the submenu is read live at
/// livePosition. Captions are cut to kMenuCaptionChars.
void MenuCache_Add(win::Hmenu menu, uint32_t position, uint32_t id, int32_t livePosition, std::string_view caption);
/// Caches every item of the host's menu bar (from its second item on) and of its submenus, four
/// levels deep.
void MenuCache_Refresh();

/// The host's menu bar; none without a host window or menu.
win::Hmenu HostMenuBar();

}  // namespace orvex
