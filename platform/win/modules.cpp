#include "platform/win/modules.h"

#include <dlfcn.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <map>

#include "platform/win/system_state.h"

namespace win {
namespace {

using Module = detail::LoadedModule;
using Loader = detail::ModuleLoader;

Loader& TheLoader() {
    return detail::System().modules;
}

bool SameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

Module* Find(Hmodule module) {
    auto it = TheLoader().modules.find(static_cast<uint32_t>(module));
    return it == TheLoader().modules.end() ? nullptr : &it->second;
}

Hmodule FindLoaded(const std::function<bool(const Module&)>& match) {
    for (auto& [handle, module] : TheLoader().modules) {
        if (match(module)) {
            return Hmodule{handle};
        }
    }
    return kNoModule;
}

void* Lookup(const Module& module, std::string_view name) {
    if (module.library != nullptr) {
        return dlsym(module.library, std::string(name).c_str());
    }
    return module.exports.byName ? module.exports.byName(name) : nullptr;
}

/// The handle of a module about to load: the next free 64 KiB-aligned base address from 4 MiB
/// up, the way modules load at addresses. A process that loads and frees modules for a long
/// time comes round to the start again and takes an address no loaded module holds; a handle
/// is never 0 (no module).
Hmodule NewModuleHandle() {
    Loader& loader = TheLoader();
    for (;;) {
        const uint32_t candidate = loader.nextHandle;
        loader.nextHandle = candidate >= detail::ModuleLoader::kLastBase ? detail::ModuleLoader::kFirstBase
                                                                         : candidate + detail::ModuleLoader::kBaseStep;
        if (!loader.modules.contains(candidate)) {
            return Hmodule{candidate};
        }
    }
}

/// Runs the module's entry point; a module without one always succeeds.
bool CallEntryPoint(Hmodule handle, uint32_t reason) {
    const Module* module = Find(handle);
    auto* entry = reinterpret_cast<DllEntryPointFn>(Lookup(*module, "DllEntryPoint"));
    return entry == nullptr || entry(handle, reason, nullptr) != 0;
}

std::filesystem::path MainModuleFolder() {
    std::error_code error;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::path() : exe.parent_path();
}

Hmodule LoadFile(const std::filesystem::path& path) {
    Loader& loader = TheLoader();
    std::error_code error;
    const std::string full = std::filesystem::weakly_canonical(path, error).string();
    if (Hmodule loaded = FindLoaded([&](const Module& m) { return m.path == full; }); loaded != kNoModule) {
        ++Find(loaded)->references;
        return loaded;
    }
    dlerror();
    void* library = dlopen(full.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        const char* message = dlerror();
        loader.lastMessage = message != nullptr ? message : "cannot load " + full;
        SetLastError(std::filesystem::exists(full) ? ERROR_PROC_NOT_FOUND : ERROR_MOD_NOT_FOUND);
        return kNoModule;
    }
    const Hmodule handle = NewModuleHandle();
    Module module;
    module.fileName = path.filename().string();
    module.path = full;
    module.library = library;
    loader.modules.emplace(static_cast<uint32_t>(handle), std::move(module));
    if (!CallEntryPoint(handle, DLL_PROCESS_ATTACH)) {
        loader.modules.erase(static_cast<uint32_t>(handle));
        dlclose(library);
        loader.lastMessage = full + ": the module's entry point refused to load";
        SetLastError(ERROR_MOD_NOT_FOUND);
        return kNoModule;
    }
    return handle;
}

}  // namespace

Hmodule RegisterProcessModule(std::string_view fileName, ModuleExports exports, std::string_view path) {
    Loader& loader = TheLoader();
    const Hmodule handle = NewModuleHandle();
    Module module;
    module.fileName = std::string(fileName);
    module.path = std::string(path);
    module.exports = std::move(exports);
    loader.modules.emplace(static_cast<uint32_t>(handle), std::move(module));
    if (loader.mainModule == kNoModule) {
        loader.mainModule = handle;
    }
    CallEntryPoint(handle, DLL_PROCESS_ATTACH);
    return handle;
}

bool UnregisterProcessModule(Hmodule module) {
    Module* m = Find(module);
    if (m == nullptr || m->library != nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return false;
    }
    CallEntryPoint(module, DLL_PROCESS_DETACH);
    TheLoader().modules.erase(static_cast<uint32_t>(module));
    if (TheLoader().mainModule == module) {
        TheLoader().mainModule = kNoModule;
    }
    return true;
}

Hmodule LoadLibrary(std::string_view nameOrPath) {
    const std::string request(nameOrPath);
    if (request.find('/') != std::string::npos) {
        return LoadFile(request);
    }
    if (Hmodule loaded = FindLoaded([&](const Module& m) { return SameName(m.fileName, request); });
        loaded != kNoModule) {
        ++Find(loaded)->references;
        return loaded;
    }
    for (const std::filesystem::path& folder : {MainModuleFolder(), std::filesystem::current_path()}) {
        const auto candidate = folder / request;
        if (!folder.empty() && std::filesystem::exists(candidate)) {
            return LoadFile(candidate);
        }
    }
    TheLoader().lastMessage = request + ": module not found";
    SetLastError(ERROR_MOD_NOT_FOUND);
    return kNoModule;
}

bool FreeLibrary(Hmodule module) {
    Module* m = Find(module);
    if (m == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return false;
    }
    if (--m->references > 0) {
        return true;
    }
    CallEntryPoint(module, DLL_PROCESS_DETACH);
    void* library = Find(module)->library;
    TheLoader().modules.erase(static_cast<uint32_t>(module));
    if (TheLoader().mainModule == module) {
        TheLoader().mainModule = kNoModule;
    }
    if (library != nullptr) {
        dlclose(library);
    }
    return true;
}

Hmodule GetModuleHandle(std::string_view name) {
    if (name.empty()) {
        return TheLoader().mainModule;
    }
    const Hmodule found = FindLoaded([&](const Module& m) { return SameName(m.fileName, name); });
    if (found == kNoModule) {
        SetLastError(ERROR_MOD_NOT_FOUND);
    }
    return found;
}

std::string GetModuleFileName(Hmodule module) {
    const Module* m = Find(module);
    if (m == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return {};
    }
    return m->path.empty() ? m->fileName : m->path;
}

void* GetProcAddress(Hmodule module, std::string_view name) {
    const Module* m = Find(module);
    if (m == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    void* address = Lookup(*m, name);
    if (address == nullptr) {
        SetLastError(ERROR_PROC_NOT_FOUND);
    }
    return address;
}

void* GetProcAddress(Hmodule module, int32_t ordinal) {
    const Module* m = Find(module);
    if (m == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    void* address = m->exports.byOrdinal ? m->exports.byOrdinal(ordinal) : nullptr;
    if (address == nullptr) {
        SetLastError(ERROR_PROC_NOT_FOUND);
    }
    return address;
}

const std::string& LastLoaderMessage() {
    return TheLoader().lastMessage;
}

}  // namespace win
