#pragma once
// The calling convention of the OPC client library: plain C entry points, looked up by name.
// Texts are UTF-8; a text or variant a function returns stays valid until the library's next call.
// Handles are 32-bit integers, 0 = none. Every entry leaves its error (empty when none) for
// GetLastCallErrorString.

#include <cstdint>

extern "C" {

// A value as the library passes it: `vt` is an OLE variant type code; the field that holds the value
// follows from it (i for signed integers and Booleans, u for unsigned ones, d for floats and dates,
// s for strings).
struct TgOPCLibVariant {
    std::uint16_t vt;
    std::int64_t i;
    std::uint64_t u;
    double d;
    const char* s;
};

// The item's callback: new data arrived for the signal.
struct TgOPCLibItemCallback {
    void* context;
    void (*NewData)(void* context, std::int32_t signalHandle);
};

// The manager's callback: a group update begins and ends.
struct TgOPCLibManagerCallback {
    void* context;
    void (*GroupUpdateBegin)(void* context, std::int32_t groupHandle);
    void (*GroupUpdateEnd)(void* context, std::int32_t groupHandle);
};

using TgOPCLib_SignalAdd = std::int32_t (*)(const char* computer, const char* server, const char* item,
                                            const char* group, std::int32_t updateRate,
                                            std::int32_t startSuspended, std::int32_t requestedType,
                                            const TgOPCLibItemCallback* callback);
using TgOPCLib_SignalHandleProc = void (*)(std::int32_t signal);
using TgOPCLib_SignalHandleBool = std::int32_t (*)(std::int32_t signal);
using TgOPCLib_SignalSendData = void (*)(std::int32_t signal, const TgOPCLibVariant* value);
using TgOPCLib_SignalGetData = void (*)(std::int32_t signal, TgOPCLibVariant* value);
using TgOPCLib_SignalGetTimeStamp = double (*)(std::int32_t signal);
using TgOPCLib_SignalGetQuality = std::uint16_t (*)(std::int32_t signal);
using TgOPCLib_GroupAdd = std::int32_t (*)(const char* name, const char* computer, const char* server,
                                           std::int32_t updateRate, const TgOPCLibManagerCallback* callback);
using TgOPCLib_GroupHandleProc = void (*)(std::int32_t group);
using TgOPCLib_GroupSetUpdateRate = void (*)(std::int32_t group, std::int32_t rate);
using TgOPCLib_Proc = void (*)();
using TgOPCLib_Count = std::int32_t (*)();
using TgOPCLib_Name = const char* (*)(std::int32_t index);
using TgOPCLib_Bool = std::int32_t (*)();
using TgOPCLib_Text = const char* (*)();
}
