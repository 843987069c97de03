// The query service: other code in the host process finds Orvex188's commands through a named
// shared block "orvex<raw host version>" that holds the address of one query function.
#pragma once

#include <cstdint>

#include "platform/win/handles.h"

namespace orvex {

/// Publishes the block; answers its handle, or kNoHandle when it could not be created.
win::Handle PublishQueryService(uint32_t hostRawVersion);
/// Closes the block handle; answers the close's result (0 when nothing was published).
int16_t CloseQueryService();
/// Forgets the block without closing it (tests start from here).
void ResetQueryService();

}  // namespace orvex
