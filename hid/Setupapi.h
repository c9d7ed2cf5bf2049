#pragma once
// The device-installation library, bound at run time all or nothing and reference counted. Every
// function with two text forms has three variables (A, W, and the plain name bound to the W form);
// the older interface-device names are bound to the exports of their current names. The variables
// are untyped; the callers cast the ones they call to the types of platform/sys/HidApi.h.

#include "hid/ModuleLoader.h"
#include "platform/sys/HidApi.h"

using TSetupEntry = void*;

#define KV_SETUPAPI_AW(name, failure) inline TSetupEntry name##A = nullptr, name##W = nullptr, name = nullptr;
#define KV_SETUPAPI_ONE(name, failure) inline TSetupEntry name = nullptr;
#define KV_SETUPAPI_ALIAS_0(oldName) inline TSetupEntry oldName = nullptr;
#define KV_SETUPAPI_ALIAS_1(oldName)                                                                         \
    inline TSetupEntry oldName##A = nullptr, oldName##W = nullptr, oldName = nullptr;
#define KV_SETUPAPI_ALIAS(oldName, currentName, hasTextForms) KV_SETUPAPI_ALIAS_##hasTextForms(oldName)
#include "platform/sys/HidSetupApiNames.inc"
#undef KV_SETUPAPI_AW
#undef KV_SETUPAPI_ONE
#undef KV_SETUPAPI_ALIAS
#undef KV_SETUPAPI_ALIAS_0
#undef KV_SETUPAPI_ALIAS_1

// Counts a reference; binds on the first. False when the library or any entry point is missing (the
// count is then as before).
bool LoadSetupApi();
// Drops a reference; unbinds on the last.
void UnloadSetupApi();
bool IsSetupApiLoaded();
TModuleHandle GetSetupApiModuleHandle();
// Number of entry-point variables (396) and how many of them are bound.
int SetupApiVariableCount();
int SetupApiBoundCount();
int SetupApiReferenceCount();
