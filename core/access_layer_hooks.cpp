// The core's side of the access layer's hooks (core/host/core_hooks.h): the message dialog, the
// names from the service plug-in and the general option of layout updates.
#include <optional>
#include <string>

#include "core/general_options.h"
#include "core/host/core_hooks.h"
#include "core/host/finxess.h"
#include "core/lumvar_binding.h"
#include "core/messages.h"
#include "core/module.h"
#include "core/parts.h"
#include "core/startup.h"

namespace orvex {
namespace {

/// A name the service plug-in answered whole; none when it cut the name to its buffer, so that
/// the caller reads the document's own text whole.
std::optional<std::string> WholeName(const char* name) {
    if (!CallAnsweredWhole(name)) {
        return std::nullopt;
    }
    return std::string(StringOrEmpty(name));
}

std::optional<std::string> ServiceStaffName(int16_t staff) {
    if (!LumvarBound()) {
        return std::nullopt;
    }
    return WholeName(CallGetInstNameInIUList(staff, true, 0, true));
}

std::optional<std::string> ServiceGroupName(int16_t group, int32_t key) {
    if (!LumvarBound()) {
        return std::nullopt;
    }
    return WholeName(CallGetGroupName(group, static_cast<int16_t>(key), nullptr, nullptr));
}

bool AutoUpdateLayout() {
    return TheModule.process.GeneralOptions[GO_AUTO_UPDATE_LAYOUT].value != 0;
}

}  // namespace

void InstallAccessLayerHooks() {
    RegisterCoreHooks({.showText = &ShowFilledMessage,
                       .serviceStaffName = &ServiceStaffName,
                       .serviceGroupName = &ServiceGroupName,
                       .autoUpdateLayout = &AutoUpdateLayout});
}

}  // namespace orvex
