// Modules: the host program's own module and the shared modules loaded into the process.
// Loading a module by a bare file name finds a module of that name that is loaded already
// (and counts one more reference), as the system does; the host's plug-ins rely on it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "platform/win/handles.h"

namespace win {

inline constexpr uint32_t DLL_PROCESS_DETACH = 0;
inline constexpr uint32_t DLL_PROCESS_ATTACH = 1;

/// A module entry point, called with DLL_PROCESS_ATTACH after the module is loaded and with
/// DLL_PROCESS_DETACH before it is unloaded (exported as "DllEntryPoint").
using DllEntryPointFn = int32_t (*)(Hmodule instance, uint32_t reason, void* reserved);

/// Exports of a module that is linked into the process rather than loaded from a file: the
/// host program's own module (exports by ordinal) and in-process plug-ins of tests (by name).
struct ModuleExports {
    std::function<void*(std::string_view name)> byName;
    std::function<void*(int32_t ordinal)> byOrdinal;
};

/// Registers a module that lives in the process already under `fileName` (for instance
/// "FINALE.EXE"); the first one registered is the process's main module. Its entry point, when
/// exported by name, is called with DLL_PROCESS_ATTACH now.
/// `path`, when given, is the module's full file name (GetModuleFileName answers it).
Hmodule RegisterProcessModule(std::string_view fileName, ModuleExports exports, std::string_view path = {});
/// Removes a module registered with RegisterProcessModule (DLL_PROCESS_DETACH first).
bool UnregisterProcessModule(Hmodule module);

/// Loads a module: a path with a '/' loads that file; a bare name is first looked for among the
/// loaded modules (case-insensitively), then in the main module's folder and the current folder.
/// Answers kNoModule with ERROR_MOD_NOT_FOUND, or ERROR_PROC_NOT_FOUND... when loading fails.
Hmodule LoadLibrary(std::string_view nameOrPath);
/// Drops one reference; the last one detaches and unloads the module.
bool FreeLibrary(Hmodule module);
/// The module of that bare file name (no reference counted); "" gives the main module.
Hmodule GetModuleHandle(std::string_view name);
std::string GetModuleFileName(Hmodule module);  ///< full path, or the registered name
void* GetProcAddress(Hmodule module, std::string_view name);
void* GetProcAddress(Hmodule module, int32_t ordinal);
/// The loader's message for the last failed LoadLibrary (the dynamic loader's text).
const std::string& LastLoaderMessage();

}  // namespace win
