// The report reader: one thread per checked-out device, handing each input report to the GUI thread.
#include "hid/HidControllerClass.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "hid/Hid.h"
#include "hid/HidControllerInternal.h"
#include "hid/ModuleLoader.h"
#include "hid/Setupapi.h"
#include "platform/sys/HidInternal.h"

using namespace kv::sys;
using namespace kv::hidctl;

// ---- THidDeviceReadThread --------------------------------------------------------------------------------

THidDeviceReadThread::THidDeviceReadThread(bool createSuspended) {
    (void)createSuspended;
    throw EControllerError("Direct creation of a TDeviceReadThread object is not allowed");
}

THidDeviceReadThread::THidDeviceReadThread(THidDevice* device, bool createSuspended)
    : Device(device), FScheduler(device->FMyController ? device->FMyController->Scheduler() : nullptr),
      FWindow(std::make_unique<Window>(this)) {
    Report.assign(Device->GetCaps().InputReportByteLength, 0);
    if (!createSuspended)
        Resume();
    ++liveCount_;
}

THidDeviceReadThread::~THidDeviceReadThread() {
    Terminate();
    WaitFor();
    --liveCount_;
}

void THidDeviceReadThread::Resume() {
    if (!FThread.Started())
        FThread.Start([this] { Execute(); }, FScheduler);
}

void THidDeviceReadThread::WaitFor() {
    if (!FThread.Started())
        return;
    if (TMessageBridge::OnGuiThread()) {
        while (!FThread.WaitServing(1000, this)) {
        }
    } else {
        // Nobody serves the hand-over here: release the reader from it.
        Abandon();
        FThread.Join();
    }
}

bool THidDeviceReadThread::HandOver(TMessage& msg) {
    return TMessageBridge::Send(FWindow.get(), msg, this);
}

void THidDeviceReadThread::Execute() {
    TScheduler& sched = TScheduler::Or(FScheduler);
    DWORD last = kWaitIoCompletion;
    while (!Terminated()) {
        last = kWaitIoCompletion;
        const size_t length = std::min<size_t>(Device->GetCaps().InputReportByteLength, Report.size());
        std::fill(Report.begin(), Report.begin() + static_cast<long>(length), 0);
        if (!Device->ReadFileEx(Report.data(), static_cast<uint32_t>(length), &NoCompletion)) {
            FErr = LastError();
            TMessage msg;
            msg.Msg = kMsgReadError;
            msg.WParam = FErr;
            HandOver(msg);
            continue;
        }
        // Waits on the scheduler (the test clock in tests) for the report or the stop; the alertable
        // sleep of 0 ms then completes the read without waiting. A descriptor that hung up is not
        // waited on again: the next sleep periods only watch for the stop.
        bool watchPort = true;
        do {
            const TWaitItem items[2] = {TWaitItem::Of(FStop),
                                        TWaitItem::Port(watchPort ? Device->ReadDescriptor() : -1)};
            const TWaitResult r =
                sched.Wait(items, watchPort ? 2 : 1, static_cast<uint32_t>(Device->ThreadSleepTime()));
            if (r.kind == TWaitResult::Hangup || r.kind == TWaitResult::Failed)
                watchPort = false;
            if (Terminated())
                break;
            last = SleepEx(0, TRUE);
        } while (!Terminated() && last != kWaitIoCompletion);
        if (Terminated())
            break;
        NumBytesRead = std::min<uint32_t>(Device->HidOverlappedReadResult(), static_cast<uint32_t>(length));
        if (NumBytesRead > 0) {
            TMessage msg;
            msg.Msg = kMsgReport;
            msg.Data.assign(Report.begin(), Report.begin() + NumBytesRead);
            HandOver(msg);
        }
    }
    // Stopped during the wait: the read is still pending; nothing is written into Report after this.
    if (last != kWaitIoCompletion)
        Device->CancelIO(THidOpenExMode::omhRead);
}

void THidDeviceReadThread::DoData(const std::vector<uint8_t>& report) {
    if (report.empty() || !Device->FData)
        return;
    Device->FData(Device, report[0], report.data() + 1, static_cast<uint16_t>(report.size() - 1));
}

void THidDeviceReadThread::DoDataError(uint32_t error) {
    if (Device->FDataError)
        Device->FDataError(Device, error);
}

void THidDeviceReadThread::Window::Dispatch(TMessage& msg) {
    if (msg.Msg == kMsgReport)
        owner_->DoData(msg.Data);
    else if (msg.Msg == kMsgReadError)
        owner_->DoDataError(static_cast<uint32_t>(msg.WParam));
}
