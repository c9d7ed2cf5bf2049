#pragma once
// The interval timer as a window component (the layouts' "TTimer"): Enabled, Interval and OnTimer, on
// the system layer's precise timer, which runs on the default scheduler of its creation
// (TScheduler::SetDefault: tests set a virtual clock before creating their windows).

#include <memory>

#include "platform/core/Classes.h"
#include "platform/sys/Scheduler.h"

namespace kv {

class TTimer : public TComponent {
    KV_CLASS(TTimer)
public:
    explicit TTimer(TComponent* owner);
    ~TTimer() override;

    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool on);
    int Interval() const { return FInterval; }
    void SetInterval(int ms);

    TNotifyEvent OnTimer;

    void Loaded() override;

private:
    void Apply();

    std::unique_ptr<::TTimer> FTimer;
    bool FEnabled = true;
    int FInterval = 1000;
};

// Starts a timer counting from now, also when it was running already; nothing for none.
void StartTimer(TTimer* t);
// Stops a timer; nothing for none.
void StopTimer(TTimer* t);

} // namespace kv
