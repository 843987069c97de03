#include <map>

#include "service/export_list.h"
#include "service/lumvar_exports.h"

namespace lumvar {
namespace {

struct Export {
    std::string_view name;
    void* address;
};

const std::vector<Export>& Exports() {
#define LUMVAR_EXPORT_ROW(name, function, type) Export{#name, reinterpret_cast<void*>(static_cast<type>(&function))},
    static const std::vector<Export> kExports = {LUMVAR_ENTRY_POINTS(LUMVAR_EXPORT_ROW)
                                                     LUMVAR_SERVICES(LUMVAR_EXPORT_ROW)};
#undef LUMVAR_EXPORT_ROW
    return kExports;
}

}  // namespace

void* LumvarExport(std::string_view name) {
    // The dialog resources are the module's, not a service.
    if (name == win::kDialogResourceExport) {
        return reinterpret_cast<void*>(static_cast<win::DialogResourceFn>(&DialogResource));
    }
    for (const Export& row : Exports()) {
        if (row.name == name) {
            return row.address;
        }
    }
    return nullptr;
}

const std::vector<std::string_view>& LumvarExportNames() {
    static const std::vector<std::string_view> kNames = [] {
        std::vector<std::string_view> names;
        for (const Export& row : Exports()) {
            names.push_back(row.name);
        }
        return names;
    }();
    return kNames;
}

}  // namespace lumvar
