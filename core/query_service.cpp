#include "core/query_service.h"

namespace orvex {

// FIXME: the shared block and its query function are not built yet; start-up goes on without
// a published service, as it does when the block cannot be created.
win::Handle PublishQueryService(uint32_t /*hostRawVersion*/) {
    return win::kNoHandle;
}

// Closing a handle that was never opened fails, as the system's close does.
int16_t CloseQueryService() {
    return 0;
}

void ResetQueryService() {}

}  // namespace orvex
