// The query service: code elsewhere in the host process finds Orvex188's commands through a
// named shared block "orvex<raw host version>" that holds the address of one query function.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/win/handles.h"

namespace orvex {

// Query codes.
inline constexpr int32_t QUERY_COMMAND_COUNT = 1;
inline constexpr int32_t QUERY_SUBMENU_COUNT = 2;
inline constexpr int32_t QUERY_SUBMENU = 3;
inline constexpr int32_t QUERY_COMMAND = 4;
inline constexpr int32_t QUERY_VERSION = 5;
inline constexpr int32_t QUERY_STAFF_LIST_MANAGER = 6;
inline constexpr int32_t QUERY_CLOSE = 7;

/// The record of QUERY_SUBMENU: the caller asks for a submenu by number, the title comes back.
struct SubmenuQueryLayout {
    static constexpr size_t kSize = 54;
    static constexpr size_t kNumber = 0;  ///< @0, i32, in: the submenu, counted from 1
    static constexpr size_t kTitle = 4;   ///< @4, out: the title, 50 bytes with its zero
    static constexpr size_t kTitleSize = 50;
};
/// The record of QUERY_COMMAND: the caller asks for a command by number, its entry comes back.
struct CommandQueryLayout {
    static constexpr size_t kSize = 68;
    static constexpr size_t kNumber = 0;       ///< @0, i32, in: the command, counted from 1
    static constexpr size_t kSubmenu = 4;      ///< @4, i32, its submenu number
    static constexpr size_t kEnumeration = 8;  ///< @8, u16, its enumeration flag
    static constexpr size_t kName = 10;        ///< @10, its name, 50 bytes with its zero
    static constexpr size_t kNameSize = 50;
    static constexpr size_t kMenuId = 60;  ///< @60, u32, the host's command id of its menu item
    static constexpr size_t kCode = 64;    ///< @64, u16, its command code
    static constexpr size_t kZero = 66;    ///< @66, u16, 0
};

inline constexpr int32_t kSubmenuQuerySize = SubmenuQueryLayout::kSize;
inline constexpr int32_t kCommandQuerySize = CommandQueryLayout::kSize;

/// The query function whose address the block holds.
extern "C" int32_t QueryService(int32_t code, int32_t argument, void* data);
using QueryServiceFn = int32_t (*)(int32_t code, int32_t argument, void* data);

/// Publishes the block; answers its handle, or kNoHandle when it could not be created.
win::Handle PublishQueryService(uint32_t hostRawVersion);
/// Closes the block handle; answers the close's result (0 when nothing was published).
int16_t CloseQueryService();
/// The version number of Orvex188 as the query service answers it (0x18864 for "1.88d").
int32_t QueryVersionNumber(const char* versionText);

}  // namespace orvex
