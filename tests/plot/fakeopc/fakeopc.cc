// A stand-in for the OPC client library: every entry point the binding calls, keeping signals and
// groups in memory and logging each call, plus FakeOPC_* controls for the tests. Built a second
// time with FAKEOPC_PARTIAL, lacking SignalResume, to test a missing entry point.

#include "plot/opc/gOPCLibraryABI.h"

#include <cstdint>
#include <map>
#include <string>

#define FAKE_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

struct Signal {
    std::string computer, server, item, group;
    std::int32_t rate = 0, requestedType = 0;
    bool suspended = false;
    TgOPCLibItemCallback callback{};
    std::uint16_t vt = 0;
    std::int64_t i = 0;
    std::uint64_t u = 0;
    double d = 0;
    std::string s;
    double timeStamp = 0;
    std::uint16_t quality = 0;
};

struct Group {
    std::string name;
    TgOPCLibManagerCallback callback{};
};

struct State {
    std::map<std::int32_t, Signal> signals;
    std::map<std::int32_t, Group> groups;
    std::int32_t nextHandle = 1;
    std::string log;
    std::string lastError, failNext;
    std::string returned;
    int managers = 0;
    TgOPCLibVariant sent{0, 0, 0, 0, nullptr};
    std::string sentText;
};

State& S() {
    static State s;
    return s;
}

// Every entry starts here: it logs the call and sets the error a test asked for.
void Enter(const std::string& call) {
    State& s = S();
    s.log += call + "\n";
    s.lastError = s.failNext;
    s.failNext.clear();
}

std::string Str(const char* p) {
    return p ? p : "(null)";
}

} // namespace

FAKE_EXPORT std::int32_t SignalAdd(const char* computer, const char* server, const char* item,
                                   const char* group, std::int32_t updateRate, std::int32_t startSuspended,
                                   std::int32_t requestedType, const TgOPCLibItemCallback* callback) {
    Enter("SignalAdd " + Str(computer) + "|" + Str(server) + "|" + Str(item) + "|" + Str(group) + "|" +
          std::to_string(updateRate) + "|" + std::to_string(startSuspended) + "|" +
          std::to_string(requestedType));
    State& s = S();
    if (!s.lastError.empty())
        return 0;
    Signal sig;
    sig.computer = Str(computer);
    sig.server = Str(server);
    sig.item = Str(item);
    sig.group = Str(group);
    sig.rate = updateRate;
    sig.suspended = startSuspended != 0;
    sig.requestedType = requestedType;
    if (callback)
        sig.callback = *callback;
    const std::int32_t h = s.nextHandle++;
    s.signals[h] = sig;
    return h;
}

FAKE_EXPORT void SignalRemove(std::int32_t h) {
    Enter("SignalRemove " + std::to_string(h));
    S().signals.erase(h);
}

FAKE_EXPORT void SignalSuspend(std::int32_t h) {
    Enter("SignalSuspend " + std::to_string(h));
    if (auto it = S().signals.find(h); it != S().signals.end())
        it->second.suspended = true;
}

#ifndef FAKEOPC_PARTIAL
FAKE_EXPORT void SignalResume(std::int32_t h) {
    Enter("SignalResume " + std::to_string(h));
    if (auto it = S().signals.find(h); it != S().signals.end())
        it->second.suspended = false;
}
#endif

FAKE_EXPORT std::int32_t SignalGetActive(std::int32_t h) {
    Enter("SignalGetActive " + std::to_string(h));
    return S().signals.count(h) ? 1 : 0;
}

FAKE_EXPORT std::int32_t SignalGetUpdateSuspended(std::int32_t h) {
    Enter("SignalGetUpdateSuspended " + std::to_string(h));
    auto it = S().signals.find(h);
    return it != S().signals.end() && it->second.suspended ? 1 : 0;
}

FAKE_EXPORT void SignalSendData(std::int32_t h, const TgOPCLibVariant* v) {
    Enter("SignalSendData " + std::to_string(h) + " vt=" + std::to_string(v->vt));
    State& s = S();
    s.sent = *v;
    s.sentText = Str(v->s);
    s.sent.s = s.sentText.c_str();
}

FAKE_EXPORT void SignalGetDataNow(std::int32_t h) {
    Enter("SignalGetDataNow " + std::to_string(h));
}

FAKE_EXPORT void SignalGetData(std::int32_t h, TgOPCLibVariant* v) {
    Enter("SignalGetData " + std::to_string(h));
    auto it = S().signals.find(h);
    if (it == S().signals.end())
        return;
    const Signal& sig = it->second;
    S().returned = sig.s;
    *v = TgOPCLibVariant{sig.vt, sig.i, sig.u, sig.d, S().returned.c_str()};
}

FAKE_EXPORT double SignalGetTimeStamp(std::int32_t h) {
    Enter("SignalGetTimeStamp " + std::to_string(h));
    auto it = S().signals.find(h);
    return it == S().signals.end() ? 0 : it->second.timeStamp;
}

FAKE_EXPORT std::uint16_t SignalGetQuality(std::int32_t h) {
    Enter("SignalGetQuality " + std::to_string(h));
    auto it = S().signals.find(h);
    return it == S().signals.end() ? 0 : it->second.quality;
}

FAKE_EXPORT std::int32_t GroupAdd(const char* name, const char* computer, const char* server,
                                  std::int32_t rate, const TgOPCLibManagerCallback* callback) {
    Enter("GroupAdd " + Str(name) + "|" + Str(computer) + "|" + Str(server) + "|" + std::to_string(rate));
    State& s = S();
    if (!s.lastError.empty())
        return 0;
    Group g;
    g.name = Str(name);
    if (callback)
        g.callback = *callback;
    const std::int32_t h = s.nextHandle++;
    s.groups[h] = g;
    return h;
}

FAKE_EXPORT void GroupDelete(std::int32_t h) {
    Enter("GroupDelete " + std::to_string(h));
    S().groups.erase(h);
}

FAKE_EXPORT void GroupResume(std::int32_t h) {
    Enter("GroupResume " + std::to_string(h));
}

FAKE_EXPORT void GroupSuspend(std::int32_t h) {
    Enter("GroupSuspend " + std::to_string(h));
}

FAKE_EXPORT void GroupSetUpdateRate(std::int32_t h, std::int32_t rate) {
    Enter("GroupSetUpdateRate " + std::to_string(h) + "|" + std::to_string(rate));
}

FAKE_EXPORT void CloseAllServerConnections() {
    Enter("CloseAllServerConnections");
}

FAKE_EXPORT std::int32_t ServerConnectionGetCount() {
    Enter("ServerConnectionGetCount");
    return 2;
}

FAKE_EXPORT const char* ServerConnectionGetName(std::int32_t index) {
    Enter("ServerConnectionGetName " + std::to_string(index));
    S().returned = "Server" + std::to_string(index);
    return S().returned.c_str();
}

FAKE_EXPORT std::int32_t ManagerCreated() {
    Enter("ManagerCreated");
    return S().managers++ == 0 ? 1 : 0;
}

FAKE_EXPORT void ManagerDestroyed() {
    Enter("ManagerDestroyed");
    --S().managers;
}

FAKE_EXPORT const char* GetLastCallErrorString() {
    return S().lastError.c_str();
}

// --- controls for the tests

FAKE_EXPORT void FakeOPC_Reset() {
    S() = State{};
}

FAKE_EXPORT const char* FakeOPC_Log() {
    return S().log.c_str();
}

FAKE_EXPORT void FakeOPC_ClearLog() {
    S().log.clear();
}

// The next entry call fails with this text.
FAKE_EXPORT void FakeOPC_FailNext(const char* message) {
    S().failNext = Str(message);
}

FAKE_EXPORT void FakeOPC_SetData(std::int32_t h, const TgOPCLibVariant* v, std::uint16_t quality,
                                 double timeStamp) {
    auto it = S().signals.find(h);
    if (it == S().signals.end())
        return;
    Signal& sig = it->second;
    sig.vt = v->vt;
    sig.i = v->i;
    sig.u = v->u;
    sig.d = v->d;
    sig.s = Str(v->s);
    sig.quality = quality;
    sig.timeStamp = timeStamp;
}

// Calls the item callback of the signal, as the library does when new data arrives.
FAKE_EXPORT void FakeOPC_FireNewData(std::int32_t h) {
    auto it = S().signals.find(h);
    if (it != S().signals.end() && it->second.callback.NewData)
        it->second.callback.NewData(it->second.callback.context, h);
}

// Calls the manager callback of the group around an update.
FAKE_EXPORT void FakeOPC_FireGroupUpdate(std::int32_t h) {
    auto it = S().groups.find(h);
    if (it == S().groups.end())
        return;
    const TgOPCLibManagerCallback cb = it->second.callback;
    if (cb.GroupUpdateBegin)
        cb.GroupUpdateBegin(cb.context, h);
    if (cb.GroupUpdateEnd)
        cb.GroupUpdateEnd(cb.context, h);
}

FAKE_EXPORT const TgOPCLibVariant* FakeOPC_LastSent() {
    return &S().sent;
}
