#include "hid/ModuleLoader.h"

#include <cstring>

#include "platform/sys/HidApi.h"

bool LoadModule(TModuleHandle& module, std::string_view name) {
    if (module == 0)
        module = kv::sys::LoadLibraryByName(name);
    return module != 0;
}

bool LoadModuleEx(TModuleHandle& module, std::string_view name, uint32_t flags) {
    (void)flags;
    return LoadModule(module, name);
}

void UnloadModule(TModuleHandle& module) {
    if (module != 0)
        kv::sys::FreeModule(module);
    module = 0;
}

void* GetModuleSymbol(TModuleHandle module, std::string_view name) {
    if (module == 0)
        return nullptr;
    return kv::sys::GetSymbol(module, name);
}

void* GetModuleSymbolEx(TModuleHandle module, std::string_view name, bool& accumulator) {
    void* p = GetModuleSymbol(module, name);
    accumulator = accumulator && p != nullptr;
    return p;
}

bool ReadModuleData(TModuleHandle module, std::string_view name, void* buffer, size_t size) {
    void* p = GetModuleSymbol(module, name);
    if (p && size)
        std::memcpy(buffer, p, size);
    return p != nullptr;
}

bool WriteModuleData(TModuleHandle module, std::string_view name, const void* buffer, size_t size) {
    void* p = GetModuleSymbol(module, name);
    if (p && size)
        std::memcpy(p, buffer, size);
    return p != nullptr;
}

TModuleLoader::TModuleLoader(std::string dllName, TModuleLoadMethods methods) : FDLLName(std::move(dllName)) {
    Load(methods);
}

TModuleLoader::~TModuleLoader() {
    Unload();
}

void TModuleLoader::Load(TModuleLoadMethods methods) {
    uint32_t flags = 0;
    if (methods.Contains(TModuleLoadMethod::ltDontResolveDllReferences))
        flags |= 1;
    if (methods.Contains(TModuleLoadMethod::ltLoadAsDataFile))
        flags |= 2;
    if (methods.Contains(TModuleLoadMethod::ltAlteredSearchPath))
        flags |= 8;
    if (FHandle == 0)
        LoadModuleEx(FHandle, FDLLName, flags);
    if (FHandle == 0)
        Error(kv::sys::LastError());
}

void TModuleLoader::Unload() {
    if (Loaded())
        UnloadModule(FHandle);
    FHandle = 0;
}

void TModuleLoader::Error(uint32_t code) {
    (void)code;
}

bool TModuleLoader::GetProcedure(std::string_view name, void*& procedure) {
    if (Loaded() && !procedure)
        procedure = GetModuleSymbol(FHandle, name);
    if (procedure)
        return true;
    procedure = nullptr;
    Error(kElementNotFound);
    return false;
}

bool TModuleLoader::GetExportedSymbol(std::string_view name, void* buffer, size_t size) {
    void* p = nullptr;
    if (!GetProcedure(name, p))
        return false;
    if (size)
        std::memcpy(buffer, p, size);
    return true;
}

bool TModuleLoader::SetExportedSymbol(std::string_view name, const void* buffer, size_t size) {
    void* p = nullptr;
    if (!GetProcedure(name, p))
        return false;
    if (size)
        std::memcpy(p, buffer, size);
    return true;
}

bool TModuleLoader::IsAvaliable(std::string_view dllName, std::string_view entryName) {
    TModuleHandle h = 0;
    if (!LoadModule(h, dllName))
        return false;
    bool result = true;
    if (!entryName.empty())
        result = GetModuleSymbol(h, entryName) != nullptr;
    UnloadModule(h);
    return result;
}
