// The host's plug-in services, by ordinal. Each service works on the host running now.
#include <map>

#include "platform/host/host.h"
#include "platform/hostapi/services.h"

namespace host {

void* ServiceByOrdinal(int32_t ordinal) {
    // The table grows with the host's document model; an ordinal that is not in it is not
    // offered, and a plug-in that imports it finds no address.
    static const std::map<int32_t, void*> kServices = {};
    auto it = kServices.find(ordinal);
    return it == kServices.end() ? nullptr : it->second;
}

}  // namespace host
