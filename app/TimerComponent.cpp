#include "app/TimerComponent.h"

#include "platform/core/Properties.h"

namespace kv {

KV_REGISTER_CLASS(TTimer, TComponent, b) {
    b.Prop("Enabled", &TTimer::Enabled, &TTimer::SetEnabled).Default(true);
    b.Prop("Interval", &TTimer::Interval, &TTimer::SetInterval).Default(1000);
    b.Event("OnTimer", &TTimer::OnTimer);
}

TTimer::TTimer(TComponent* owner) : TComponent(owner), FTimer(std::make_unique<::TTimer>(nullptr)) {
    FTimer->SetEnabled(false);
    FTimer->SetInterval(static_cast<uint32_t>(FInterval));
    FTimer->OnTimer = [this] {
        if (OnTimer)
            OnTimer(this);
    };
    Apply();
}

TTimer::~TTimer() {
    Destroying();
    FTimer->SetEnabled(false);
}

void TTimer::SetEnabled(bool on) {
    FEnabled = on;
    Apply();
}

void TTimer::SetInterval(int ms) {
    FInterval = ms < 0 ? 0 : ms;
    // A new interval restarts the count, as setting it on a running timer did.
    FTimer->SetEnabled(false);
    FTimer->SetInterval(static_cast<uint32_t>(FInterval));
    Apply();
}

void TTimer::Loaded() {
    TComponent::Loaded();
    Apply();
}

// Runs only when enabled with an interval, and not while the layout is still being read.
void TTimer::Apply() {
    FTimer->SetEnabled(FEnabled && FInterval > 0 && !IsLoading());
}

void StartTimer(TTimer* t) {
    if (!t)
        return;
    t->SetEnabled(false);
    t->SetEnabled(true);
}

void StopTimer(TTimer* t) {
    if (t)
        t->SetEnabled(false);
}

} // namespace kv
