#include "platform/sys/Modules.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <mutex>

#include "platform/sys/HidInternal.h"

namespace kv::sys {

namespace {

struct Module {
    std::string name; // as registered
    std::vector<ModuleExport> exports;
    HMODULE handle = 0;
    int references = 0;
};

std::mutex modulesMutex;
HMODULE nextModule = 0x10000;

std::string Key(std::string_view name) {
    std::string key(name);
    std::transform(key.begin(), key.end(), key.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (key.find('.') == std::string::npos)
        key += ".dll";
    return key;
}

std::map<std::string, Module>& Modules();

void AddLocked(std::string_view name, std::vector<ModuleExport> exports) {
    Module m;
    m.name = std::string(name);
    m.exports = std::move(exports);
    m.handle = nextModule;
    nextModule += 0x10000; // a replaced module's old handles stop resolving
    Modules()[Key(name)] = std::move(m);
}

void AddBuiltIns() {
    AddLocked("HID.dll", hid::HidModuleExports());
    AddLocked("SetupApi.dll", hid::SetupApiModuleExports());
    AddLocked("kernel32.dll", hid::Kernel32ModuleExports());
}

std::map<std::string, Module>& Modules() {
    static auto* modules = new std::map<std::string, Module>;
    static bool filled = false; // callers hold modulesMutex
    if (!filled) {
        filled = true;
        AddBuiltIns();
    }
    return *modules;
}

Module* ByHandle(HMODULE handle) {
    for (auto& [key, m] : Modules())
        if (m.handle == handle && m.references > 0)
            return &m;
    return nullptr;
}

} // namespace

HMODULE LoadLibraryByName(std::string_view name) {
    std::lock_guard lock(modulesMutex);
    auto it = Modules().find(Key(name));
    if (it == Modules().end()) {
        SetLastErrorCode(ERROR_MOD_NOT_FOUND);
        return 0;
    }
    ++it->second.references;
    return it->second.handle;
}

void* GetSymbol(HMODULE module, std::string_view name) {
    std::lock_guard lock(modulesMutex);
    const Module* m = module ? ByHandle(module) : nullptr;
    if (!m) {
        SetLastErrorCode(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    for (const ModuleExport& e : m->exports)
        if (e.name == name && e.address)
            return e.address;
    SetLastErrorCode(ERROR_PROC_NOT_FOUND);
    return nullptr;
}

bool FreeModule(HMODULE module) {
    std::lock_guard lock(modulesMutex);
    Module* m = module ? ByHandle(module) : nullptr;
    if (!m) {
        SetLastErrorCode(ERROR_INVALID_HANDLE);
        return false;
    }
    --m->references;
    return true;
}

void RegisterModule(std::string_view name, std::vector<ModuleExport> exports) {
    std::lock_guard lock(modulesMutex);
    AddLocked(name, std::move(exports));
}

bool RemoveSymbol(std::string_view module, std::string_view name) {
    std::lock_guard lock(modulesMutex);
    auto it = Modules().find(Key(module));
    if (it == Modules().end())
        return false;
    auto& exports = it->second.exports;
    const auto before = exports.size();
    exports.erase(
        std::remove_if(exports.begin(), exports.end(), [&](const ModuleExport& e) { return e.name == name; }),
        exports.end());
    return exports.size() != before;
}

bool UnregisterModule(std::string_view name) {
    std::lock_guard lock(modulesMutex);
    return Modules().erase(Key(name)) != 0;
}

void ResetModules() {
    std::lock_guard lock(modulesMutex);
    Modules().clear();
    AddBuiltIns();
}

std::vector<std::string> ModuleExportNames(std::string_view name) {
    std::lock_guard lock(modulesMutex);
    std::vector<std::string> names;
    auto it = Modules().find(Key(name));
    if (it != Modules().end())
        for (const ModuleExport& e : it->second.exports)
            names.push_back(e.name);
    return names;
}

} // namespace kv::sys
