// The plug-in's vocabulary of commands: the command table of the 72 menu commands, the names of
// the tools by tool item and command group, and the per-tool tables the options road reads.
//
// A code below 100 names a form or a special action; a code of 100 or more names a tool, whose
// tool item is code % 100 and whose command group is code / 100 (1 or 2).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/tool_items.h"

namespace orvex {

inline constexpr int32_t kCommandTableSize = 80;

// Codes of the forms and special actions.
inline constexpr int32_t CODE_HARMONICS = 1;
inline constexpr int32_t CODE_BEAM_BREAKER = 2;
inline constexpr int32_t CODE_STAFF_LIST_MANAGER = 3;
inline constexpr int32_t CODE_TEXT_EXPRESSION_SORTER = 4;
inline constexpr int32_t CODE_EXPLORER = 5;
inline constexpr int32_t CODE_OPTIONS = 6;
inline constexpr int32_t CODE_ABOUT = 7;
inline constexpr int32_t CODE_PRINT_MULTIPLE_FILES = 8;
inline constexpr int32_t CODE_USER_MANUAL = 9;

struct CommandEntry {
    int32_t code = 0;                   ///< 0 marks an empty entry
    const char* englishText = nullptr;  ///< menu text; none for tool codes until looked up
    const char* germanText = nullptr;
    uint8_t enumerationFlag = 0;           ///< passed to the host in the menu record
    uint8_t separatorAfter = 0;            ///< a separator follows in the product menu
    const char* submenuEnglish = nullptr;  ///< on the first entry of a submenu: its title
    const char* submenuGerman = nullptr;
    uint8_t submenuEnds = 0;    ///< the last entry of its submenu
    int32_t submenuNumber = 0;  ///< set by the menu builder (1-based)

    const char* Text(int32_t language) const { return language == 1 ? germanText : englishText; }
    const char* SubmenuTitle(int32_t language) const { return language == 1 ? submenuGerman : submenuEnglish; }
};

/// The command table as the module loads it.
extern const std::array<CommandEntry, kCommandTableSize> kCommandTableData;
/// The run-time command table: the loaded data plus the texts and submenu numbers filled in.

/// Tool names by row and tool item. Row 0 is the name under which a tool's option values are
/// stored; row 2 * LanguageIndex + group is the menu text (1 English group 1, 2 English group 2,
/// 3 German group 1, 4 German group 2).
using CommandNameRow = std::array<const char*, kToolItemCount>;
extern const std::array<CommandNameRow, 5> CommandNameTable;

// Per-tool tables, by tool item.
extern const std::array<uint8_t, kToolItemCount> SeveralOptionSets;
extern const std::array<uint8_t, kToolItemCount> DialogOnlyInGroup1;
extern const std::array<int32_t, kToolItemCount> FurtherOptionsItem;
/// The group of the further item; item 8 is set to 1 by the dispatcher at run time.
extern const std::array<int32_t, kToolItemCount> kFurtherOptionsGroupData;

// Run-time tables filled by the menu builder.

/// Number of entries the host enumerated (80 until the enumeration ends).
/// Table index of each menu index the host enumerated.

/// The menu text of a command-table entry in the current language ("" for an empty entry).
std::string_view GetCommandName(int32_t tableIndex);
/// The table index of a code: the last entry among the first CommandCount that has it, else 0.
int32_t FindCommandIndex(int32_t code);
/// The host's command identifier of the menu entry of command `code`: the first product command's
/// when the command has no entry of its own (or the product menu is not built).
uint32_t HostCommandOf(int32_t code);
/// The name of a tool by item and group in the current language ("" when the table has none).
std::string_view ToolName(int32_t item, int32_t group);
/// The tool's name without "Vx ", its first "&" and its first "..." ("Respell Notes").
std::string ToolTitle(int32_t item, int32_t group);
/// The name under which a tool item's option values are stored ("" when none).
std::string_view ToolStorageName(int32_t item);

}  // namespace orvex
