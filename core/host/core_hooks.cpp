#include "core/host/core_hooks.h"

#include <stdexcept>

namespace orvex {
namespace {

CoreHooks& Registered() {
    static CoreHooks hooks;
    return hooks;
}

}  // namespace

void RegisterCoreHooks(const CoreHooks& hooks) {
    Registered() = hooks;
}

const CoreHooks& TheCoreHooks() {
    const CoreHooks& hooks = Registered();
    if (hooks.showText == nullptr || hooks.serviceStaffName == nullptr || hooks.serviceGroupName == nullptr ||
        hooks.autoUpdateLayout == nullptr) {
        throw std::logic_error("the core registered no hooks of the access layer");
    }
    return hooks;
}

}  // namespace orvex
