#include "core/host/access_state.h"

namespace orvex {

constinit AccessLayerState TheAccessLayer;

const HostInfo& Host() {
    return TheAccessLayer.host;
}

void ResetAccessLayer() {
    const CoreHooks hooks = TheAccessLayer.hooks;
    TheAccessLayer = AccessLayerState{};
    TheAccessLayer.hooks = hooks;
}

}  // namespace orvex
