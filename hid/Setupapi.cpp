#include "hid/Setupapi.h"

namespace {

TModuleHandle setupModule = 0;
int referenceCount = 0;

// Calls f(variable, export name) for every one of the 396 variables.
template <class F> void ForEachEntry(F&& f) {
#define KV_SETUPAPI_AW(name, failure)                                                                        \
    f(name##A, #name "A");                                                                                   \
    f(name##W, #name "W");                                                                                   \
    f(name, #name "W");
#define KV_SETUPAPI_ONE(name, failure) f(name, #name);
#define KV_SETUPAPI_ALIAS_0(oldName, currentName) f(oldName, #currentName);
#define KV_SETUPAPI_ALIAS_1(oldName, currentName)                                                            \
    f(oldName##A, #currentName "A");                                                                         \
    f(oldName##W, #currentName "W");                                                                         \
    f(oldName, #currentName "W");
#define KV_SETUPAPI_ALIAS(oldName, currentName, hasTextForms)                                                \
    KV_SETUPAPI_ALIAS_##hasTextForms(oldName, currentName)
#include "platform/sys/HidSetupApiNames.inc"
#undef KV_SETUPAPI_AW
#undef KV_SETUPAPI_ONE
#undef KV_SETUPAPI_ALIAS
#undef KV_SETUPAPI_ALIAS_0
#undef KV_SETUPAPI_ALIAS_1
}

void ClearEntries() {
    ForEachEntry([](TSetupEntry& var, const char*) { var = nullptr; });
}

} // namespace

bool LoadSetupApi() {
    ++referenceCount;
    if (referenceCount > 1)
        return true;
    if (!LoadModule(setupModule, "SetupApi.dll")) {
        --referenceCount;
        return false;
    }
    bool ok = true;
    ForEachEntry(
        [&ok](TSetupEntry& var, const char* name) { var = GetModuleSymbolEx(setupModule, name, ok); });
    if (!ok)
        UnloadSetupApi();
    return ok;
}

void UnloadSetupApi() {
    --referenceCount;
    if (referenceCount <= 0) {
        UnloadModule(setupModule);
        ClearEntries();
    }
}

bool IsSetupApiLoaded() {
    return setupModule != 0;
}

TModuleHandle GetSetupApiModuleHandle() {
    return setupModule;
}

int SetupApiVariableCount() {
    int n = 0;
    ForEachEntry([&n](TSetupEntry&, const char*) { ++n; });
    return n;
}

int SetupApiBoundCount() {
    int n = 0;
    ForEachEntry([&n](TSetupEntry& var, const char*) { n += var != nullptr; });
    return n;
}

int SetupApiReferenceCount() {
    return referenceCount;
}
