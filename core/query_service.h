// The query service: code elsewhere in the host process finds Orvex188's commands through a
// named shared block "orvex<raw host version>" that holds the address of one query function.
#pragma once

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

inline constexpr int32_t kSubmenuQuerySize = 54;
inline constexpr int32_t kCommandQuerySize = 68;

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
