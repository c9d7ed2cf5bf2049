#pragma once
// Libraries bound at run time by name.
//
// The HID code looks up its services by library and entry-point name, all or nothing, so that it stays
// inert when something is missing. Here the libraries are ours and live in the process: a registry of
// modules, each a table of exported entry points.
//
// Contract:
// - Built-in modules: "HID.dll", "SetupApi.dll" and "kernel32.dll" (platform/sys/HidApi.h lists their
//   entry points). Module names compare without regard to letter case; a name without an extension
//   gets ".dll", as the old loader did.
// - LoadLibraryByName returns a non-zero handle and counts a reference; 0 when no such module exists
//   (LastError() is then ERROR_MOD_NOT_FOUND). Loading a module twice gives the same handle.
// - GetSymbol looks an entry point up by its exact name, letter case included; null for handle 0, an
//   unknown or freed handle, or an unknown name (ERROR_PROC_NOT_FOUND).
// - FreeModule drops one reference; false for a handle that is not loaded.
// - Tests replace modules (RegisterModule), take single entry points away (RemoveSymbol), remove a
//   module (UnregisterModule) and go back to the built-in set (ResetModules). Handles of a replaced or
//   removed module stop resolving.
// All functions are thread-safe.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kv::sys {

using HMODULE = std::uintptr_t; // 0 = not loaded

HMODULE LoadLibraryByName(std::string_view name);
void* GetSymbol(HMODULE module, std::string_view name);
bool FreeModule(HMODULE module);

struct ModuleExport {
    std::string name;
    void* address = nullptr;
};

// Adds or replaces a module.
void RegisterModule(std::string_view name, std::vector<ModuleExport> exports);
// Takes one entry point out of a module; false when there was none.
bool RemoveSymbol(std::string_view module, std::string_view name);
// Removes a module; false when there was none.
bool UnregisterModule(std::string_view name);
// Restores the built-in modules with all their entry points (and forgets loaded references).
void ResetModules();
// The names a module exports, in table order (empty for an unknown module).
std::vector<std::string> ModuleExportNames(std::string_view name);

// A function address as a registry entry.
template <class F> void* ExportAddress(F* function) {
    return reinterpret_cast<void*>(function);
}

} // namespace kv::sys
