#include "platform/win/file_mapping.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/win/desktop_state.h"
#include "platform/win/system.h"
#include "platform/win/system_state.h"

namespace win {
namespace {

using Block = detail::MappingBlock;
using Mappings = detail::FileMappings;

Mappings& TheMappings() {
    return detail::System().fileMappings;
}

Handle NewHandleFor(const std::shared_ptr<Block>& block, const std::string& name) {
    auto& desktop = detail::TheDesktop();
    const Handle handle{desktop.NewHandle()};
    desktop.kernelObjects[static_cast<uint32_t>(handle)] = "";
    TheMappings().byHandle[static_cast<uint32_t>(handle)] = block;
    ++block->handles;
    (void)name;
    return handle;
}

}  // namespace

namespace detail {
void CloseFileMappingHandle(uint32_t handle) {
    Mappings& mappings = TheMappings();
    auto it = mappings.byHandle.find(handle);
    if (it == mappings.byHandle.end()) {
        return;
    }
    const std::shared_ptr<Block> block = it->second;
    mappings.byHandle.erase(it);
    if (--block->handles == 0) {
        std::erase_if(mappings.byName, [&block](const auto& entry) { return entry.second == block; });
    }
}
}  // namespace detail

Handle CreateFileMapping(uint32_t /*protect*/, size_t size, std::string_view name) {
    Mappings& mappings = TheMappings();
    const std::string key(name);
    if (!key.empty()) {
        if (auto it = mappings.byName.find(key); it != mappings.byName.end()) {
            const Handle handle = NewHandleFor(it->second, key);
            SetLastError(ERROR_ALREADY_EXISTS);
            return handle;
        }
    }
    auto block = std::make_shared<Block>();
    block->memory.assign(size, 0);
    if (!key.empty()) {
        mappings.byName[key] = block;
    }
    const Handle handle = NewHandleFor(block, key);
    SetLastError(ERROR_SUCCESS);
    return handle;
}

Handle OpenFileMapping(uint32_t /*access*/, std::string_view name) {
    auto it = TheMappings().byName.find(std::string(name));
    if (it == TheMappings().byName.end()) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return kNoHandle;
    }
    return NewHandleFor(it->second, std::string(name));
}

void* MapViewOfFile(Handle mapping, uint32_t /*access*/) {
    auto it = TheMappings().byHandle.find(static_cast<uint32_t>(mapping));
    if (it == TheMappings().byHandle.end()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return it->second->memory.data();
}

bool UnmapViewOfFile(const void* view) {
    return view != nullptr;
}

}  // namespace win
