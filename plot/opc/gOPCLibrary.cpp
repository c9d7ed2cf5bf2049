#include "plot/opc/gOPCLibrary.h"

#include <array>
#include <charconv>
#include <dlfcn.h>

namespace kv {

namespace {

enum Entry {
    eSignalAdd,
    eSignalRemove,
    eSignalSuspend,
    eSignalResume,
    eSignalGetActive,
    eSignalGetUpdateSuspended,
    eSignalSendData,
    eSignalGetDataNow,
    eSignalGetData,
    eSignalGetTimeStamp,
    eSignalGetQuality,
    eGroupAdd,
    eGroupDelete,
    eGroupResume,
    eGroupSuspend,
    eGroupSetUpdateRate,
    eCloseAllServerConnections,
    eServerConnectionGetCount,
    eServerConnectionGetName,
    eManagerCreated,
    eManagerDestroyed,
    eGetLastCallErrorString,
    eEntryCount
};

constexpr std::array<const char*, eEntryCount> kEntryNames{"SignalAdd",
                                                           "SignalRemove",
                                                           "SignalSuspend",
                                                           "SignalResume",
                                                           "SignalGetActive",
                                                           "SignalGetUpdateSuspended",
                                                           "SignalSendData",
                                                           "SignalGetDataNow",
                                                           "SignalGetData",
                                                           "SignalGetTimeStamp",
                                                           "SignalGetQuality",
                                                           "GroupAdd",
                                                           "GroupDelete",
                                                           "GroupResume",
                                                           "GroupSuspend",
                                                           "GroupSetUpdateRate",
                                                           "CloseAllServerConnections",
                                                           "ServerConnectionGetCount",
                                                           "ServerConnectionGetName",
                                                           "ManagerCreated",
                                                           "ManagerDestroyed",
                                                           "GetLastCallErrorString"};

struct Library {
    void* handle = nullptr;
    bool tried = false;
    std::string fileName;
    std::array<void*, eEntryCount> entries{};

    ~Library() { Release(); }
    void Release() {
        if (handle)
            dlclose(handle);
        handle = nullptr;
        entries.fill(nullptr);
        fileName.clear();
    }
};

Library& Lib() {
    static Library lib;
    if (!lib.tried) {
        lib.tried = true;
        OPCLoadLibrary(OPCLibraryDefaultFileName());
    }
    return lib;
}

// The entry, checked as every wrapper checks it before the call.
template <class F> F Resolve(Entry e) {
    Library& lib = Lib();
    if (!lib.handle)
        throw EOPCError("Tarvek OPC DLL Not Found.");
    void* p = lib.entries[e];
    if (!p)
        throw EOPCError(std::string("Function \"") + kEntryNames[e] + "\" not found in \"" + lib.fileName +
                        "\".");
    return reinterpret_cast<F>(p);
}

void CheckLastError() {
    const auto get = reinterpret_cast<TgOPCLib_Text>(Lib().entries[eGetLastCallErrorString]);
    if (!get)
        return;
    const char* text = get();
    if (text && *text)
        throw EOPCError(text);
}

template <class F, class... A> auto Call(Entry e, A... args) {
    const F f = Resolve<F>(e);
    if constexpr (std::is_void_v<decltype(f(args...))>) {
        f(args...);
        CheckLastError();
    } else {
        auto result = f(args...);
        CheckLastError();
        return result;
    }
}

TgOPCLibVariant ToLib(const TgOPCVariant& v) {
    return TgOPCLibVariant{v.VType, v.I, v.U, v.D, v.S.c_str()};
}

// Only the field the type names is taken, so equal values compare equal.
TgOPCVariant FromLib(const TgOPCLibVariant& v) {
    switch (v.vt) {
    case varSmallint:
    case varInteger:
    case varShortInt:
    case varInt64:
    case varBoolean:
        return TgOPCVariant::Integer(v.i, v.vt);
    case varByte:
    case varWord:
    case varLongWord:
    case varUInt64:
        return TgOPCVariant::Unsigned(v.u, v.vt);
    case varSingle:
    case varDouble:
    case varDate:
        return TgOPCVariant::Double(v.d, v.vt);
    case varOleStr:
        return TgOPCVariant::String(v.s ? v.s : "");
    default: {
        TgOPCVariant r;
        r.VType = v.vt;
        return r;
    }
    }
}

} // namespace

TgOPCVariant TgOPCVariant::Integer(std::int64_t v, std::uint16_t type) {
    TgOPCVariant r;
    r.VType = type;
    r.I = v;
    return r;
}

TgOPCVariant TgOPCVariant::Unsigned(std::uint64_t v, std::uint16_t type) {
    TgOPCVariant r;
    r.VType = type;
    r.U = v;
    return r;
}

TgOPCVariant TgOPCVariant::Double(double v, std::uint16_t type) {
    TgOPCVariant r;
    r.VType = type;
    r.D = v;
    return r;
}

TgOPCVariant TgOPCVariant::String(std::string v) {
    TgOPCVariant r;
    r.VType = varOleStr;
    r.S = std::move(v);
    return r;
}

std::string TgOPCVariant::Text() const {
    char buf[64];
    switch (VType) {
    case varSmallint:
    case varInteger:
    case varShortInt:
    case varInt64:
        return std::to_string(I);
    case varByte:
    case varWord:
    case varLongWord:
    case varUInt64:
        return std::to_string(U);
    case varSingle:
    case varDouble:
    case varDate: {
        const auto res = std::to_chars(buf, buf + sizeof buf, D);
        return std::string(buf, res.ptr);
    }
    case varBoolean:
        return I ? "True" : "False";
    case varOleStr:
        return S;
    default:
        return {};
    }
}

const char* OPCLibraryDefaultFileName() {
    return "libtarvekopc.so";
}

bool OPCLibraryMissing() {
    return Lib().handle == nullptr;
}

bool OPCLoadLibrary(const std::string& path) {
    Library& lib = Lib();
    lib.Release();
    lib.handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!lib.handle)
        return false;
    const auto slash = path.find_last_of('/');
    lib.fileName = slash == std::string::npos ? path : path.substr(slash + 1);
    for (std::size_t i = 0; i < kEntryNames.size(); ++i)
        lib.entries[i] = dlsym(lib.handle, kEntryNames[i]);
    return true;
}

void OPCReleaseLibrary() {
    Lib().Release();
}

const std::string& OPCLibraryFileName() {
    return Lib().fileName;
}

std::int32_t OPCSignalAdd(const std::string& computer, const std::string& server, const std::string& item,
                          const std::string& group, int updateRate, bool startSuspended, int requestedType,
                          const TgOPCLibItemCallback* callback) {
    return Call<TgOPCLib_SignalAdd>(eSignalAdd, computer.c_str(), server.c_str(), item.c_str(), group.c_str(),
                                    std::int32_t{updateRate}, std::int32_t{startSuspended ? 1 : 0},
                                    std::int32_t{requestedType}, callback);
}

void OPCSignalRemove(std::int32_t signal) {
    Call<TgOPCLib_SignalHandleProc>(eSignalRemove, signal);
}

void OPCSignalSuspend(std::int32_t signal) {
    Call<TgOPCLib_SignalHandleProc>(eSignalSuspend, signal);
}

void OPCSignalResume(std::int32_t signal) {
    Call<TgOPCLib_SignalHandleProc>(eSignalResume, signal);
}

bool OPCSignalGetActive(std::int32_t signal) {
    return Call<TgOPCLib_SignalHandleBool>(eSignalGetActive, signal) != 0;
}

bool OPCSignalGetUpdateSuspended(std::int32_t signal) {
    return Call<TgOPCLib_SignalHandleBool>(eSignalGetUpdateSuspended, signal) != 0;
}

void OPCSignalSendData(std::int32_t signal, const TgOPCVariant& value) {
    const TgOPCLibVariant v = ToLib(value);
    Call<TgOPCLib_SignalSendData>(eSignalSendData, signal, &v);
}

void OPCSignalGetDataNow(std::int32_t signal) {
    Call<TgOPCLib_SignalHandleProc>(eSignalGetDataNow, signal);
}

TgOPCVariant OPCSignalGetData(std::int32_t signal) {
    TgOPCLibVariant v{varEmpty, 0, 0, 0, nullptr};
    Call<TgOPCLib_SignalGetData>(eSignalGetData, signal, &v);
    return FromLib(v);
}

double OPCSignalGetTimeStamp(std::int32_t signal) {
    return Call<TgOPCLib_SignalGetTimeStamp>(eSignalGetTimeStamp, signal);
}

std::uint16_t OPCSignalGetQuality(std::int32_t signal) {
    return Call<TgOPCLib_SignalGetQuality>(eSignalGetQuality, signal);
}

std::int32_t OPCGroupAdd(const std::string& name, const std::string& computer, const std::string& server,
                         int updateRate, const TgOPCLibManagerCallback* callback) {
    return Call<TgOPCLib_GroupAdd>(eGroupAdd, name.c_str(), computer.c_str(), server.c_str(),
                                   std::int32_t{updateRate}, callback);
}

void OPCGroupDelete(std::int32_t group) {
    Call<TgOPCLib_GroupHandleProc>(eGroupDelete, group);
}

void OPCGroupResume(std::int32_t group) {
    Call<TgOPCLib_GroupHandleProc>(eGroupResume, group);
}

void OPCGroupSuspend(std::int32_t group) {
    Call<TgOPCLib_GroupHandleProc>(eGroupSuspend, group);
}

void OPCGroupSetUpdateRate(std::int32_t group, int rate) {
    Call<TgOPCLib_GroupSetUpdateRate>(eGroupSetUpdateRate, group, std::int32_t{rate});
}

void OPCCloseAllServerConnections() {
    Call<TgOPCLib_Proc>(eCloseAllServerConnections);
}

int OPCServerConnectionGetCount() {
    return Call<TgOPCLib_Count>(eServerConnectionGetCount);
}

std::string OPCServerConnectionGetName(int index) {
    const char* name = Call<TgOPCLib_Name>(eServerConnectionGetName, std::int32_t{index});
    return name ? name : "";
}

bool OPCManagerCreated() {
    Library& lib = Lib();
    if (!lib.handle || !lib.entries[eManagerCreated])
        return false;
    return Call<TgOPCLib_Bool>(eManagerCreated) != 0;
}

void OPCManagerDestroyed() {
    Library& lib = Lib();
    if (!lib.handle || !lib.entries[eManagerDestroyed])
        return;
    Call<TgOPCLib_Proc>(eManagerDestroyed);
}

} // namespace kv
