#include "core/dispatch.h"

#include <string>

#include "core/commands.h"
#include "platform/win/menus.h"
#include "platform/win/message_box.h"

namespace orvex {

int16_t FinaleExtensionInvoke(win::Hwnd hostWindow, int16_t menuIndex, const uint8_t* /*selection*/,
                              const uint8_t* /*document*/) {
    if (menuIndex < 0 || menuIndex >= CommandCount) {
        return 0;
    }
    // FIXME: the dispatcher is not built yet; every command says so and changes nothing.
    const std::string name = win::StripAccelerators(GetCommandName(MenuIndexMap[static_cast<size_t>(menuIndex)]));
    win::MessageBox(hostWindow, "\"" + name + "\" is not available in this build.", "Orvex",
                    win::MB_OK | win::MB_ICONINFORMATION);
    return 0;
}

}  // namespace orvex
