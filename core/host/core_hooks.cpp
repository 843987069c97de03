#include "core/host/core_hooks.h"

#include <stdexcept>

#include "core/host/access_state.h"
#include "core/host/host_info.h"

namespace orvex {

void RegisterCoreHooks(const CoreHooks& hooks) {
    TheAccessLayer.hooks = hooks;
}

const CoreHooks& TheCoreHooks() {
    const CoreHooks& hooks = TheAccessLayer.hooks;
    if (hooks.showText == nullptr || hooks.serviceStaffName == nullptr || hooks.serviceGroupName == nullptr ||
        hooks.autoUpdateLayout == nullptr) {
        throw std::logic_error("the core registered no hooks of the access layer");
    }
    return hooks;
}

void ShowHostText(HostText text, TextArguments arguments) {
    const FilledText filled = FormatTexts(HostTextOf(text), arguments);
    TheCoreHooks().showText({filled.english, filled.german});
}

}  // namespace orvex
