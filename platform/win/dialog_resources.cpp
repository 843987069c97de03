#include "platform/win/dialog_resources.h"

#include "platform/win/modules.h"

namespace win {

const DialogTemplate* FindDialogTemplate(Hmodule module, int32_t resource) {
    const auto find = reinterpret_cast<DialogResourceFn>(GetProcAddress(module, kDialogResourceExport));
    return find == nullptr ? nullptr : find(resource);
}

}  // namespace win
