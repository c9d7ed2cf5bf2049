#pragma once
// Libraries bound at run time: load by name, look entry points and exported data up, unload. Every
// routine takes 0 as "not loaded"; a handle variable must start at 0.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/core/Properties.h"
#include "platform/sys/Modules.h"

using TModuleHandle = kv::sys::HMODULE;

// Loads the library when the handle is 0; a non-zero handle counts as loaded. True: handle not 0.
bool LoadModule(TModuleHandle& module, std::string_view name);
// The same with load flags (our modules have no file to treat differently; the flags are kept).
bool LoadModuleEx(TModuleHandle& module, std::string_view name, uint32_t flags);
// Frees a loaded library; the handle becomes 0.
void UnloadModule(TModuleHandle& module);
// The entry point, matched exactly (letter case included); null for handle 0 or an unknown name.
void* GetModuleSymbol(TModuleHandle module, std::string_view name);
// As GetModuleSymbol; accumulator := accumulator and found.
void* GetModuleSymbolEx(TModuleHandle module, std::string_view name, bool& accumulator);
// Copies size bytes from / into an exported data item; false when there is none.
bool ReadModuleData(TModuleHandle module, std::string_view name, void* buffer, size_t size);
bool WriteModuleData(TModuleHandle module, std::string_view name, const void* buffer, size_t size);

enum class TModuleLoadMethod { ltDontResolveDllReferences, ltLoadAsDataFile, ltAlteredSearchPath };
using TModuleLoadMethods = kv::TSet<TModuleLoadMethod>;

// One loaded library for the life of the object.
class TModuleLoader : public kv::TObject {
public:
    TModuleLoader(std::string dllName, TModuleLoadMethods methods = {});
    ~TModuleLoader() override;

    virtual void Load(TModuleLoadMethods methods);
    virtual void Unload();
    // Called on a failed load (the last error) or lookup (0x8002802B); a derived class may report.
    virtual void Error(uint32_t code);

    bool Loaded() const { return FHandle != 0; }
    const std::string& DLLName() const { return FDLLName; }
    TModuleHandle Handle() const { return FHandle; }

    // A variable that is already set counts as found without a lookup.
    bool GetProcedure(std::string_view name, void*& procedure);
    bool GetExportedSymbol(std::string_view name, void* buffer, size_t size);
    bool SetExportedSymbol(std::string_view name, const void* buffer, size_t size);

    // Whether the library loads and (for a non-empty entry name) exports that entry.
    static bool IsAvaliable(std::string_view dllName, std::string_view entryName = {});

private:
    TModuleHandle FHandle = 0;
    std::string FDLLName;
};

inline constexpr uint32_t kElementNotFound = 0x8002802Bu;
