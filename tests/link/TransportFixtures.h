#pragma once
// Shared pieces of the transport tests: the GUI thread, a recording owner window and frame builders.

#include <QCoreApplication>
#include <QSocketNotifier>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <unistd.h>
#include <vector>

#include "link/LCmd.h"
#include "link/LNet.h"
#include "link/LUsb.h"
#include "link/LinkOwner.h"
#include "platform/sys/Messages.h"
#include "platform/sys/Scheduler.h"
#include "tests/support/GuiThread.h"

inline BSTM Ack(uint8_t id = 1) {
    return LCmd::ToFrame(CM_MCS_CMD(id, MCS_ACK));
}
inline BSTM Probe(uint8_t id = 1) {
    return LCmd::ToFrame(CM_MCS_CMD(id, MCS_PROBE));
}
inline BSTM Gain(uint8_t ch, uint16_t g) {
    return LCmd::ToFrame(CM_MCS_GAIN(1, ch, g));
}
inline BSTM Peq(uint8_t ch, uint8_t band, uint16_t gain) {
    PeqBand b;
    b.gain = gain;
    b.freq = 170;
    b.q = 20;
    return LCmd::ToFrame(CM_MCS_PEQ(1, ch, band, b, 0));
}
inline BSTM Geq(uint8_t ch, uint8_t band, uint16_t level) {
    return LCmd::ToFrame(CM_MCS_GEQ(1, ch, band, level));
}
inline BSTM Mix(uint8_t out, uint8_t in, uint16_t level) {
    return LCmd::ToFrame(CM_MCS_MIX(1, out, in, level));
}
inline BSTM Name(uint8_t ch) {
    const uint8_t n[8] = {'I', 'n', 'A', ' ', ' ', ' ', ' ', ' '};
    return LCmd::ToFrame(CM_MCS_CHANNEL_NAME(1, ch, n));
}

// Starts the owner's socket towards a loopback port; the caller accepts and pumps until it is connected.
inline void ConnectToLoopback(LNetSocket& net, uint16_t port) {
    net.Socket.Address = "127.0.0.1";
    net.Socket.Port = port;
    net.Socket.SetActive(true);
}

// The main window's input-report handler on a HID node: the frame each report holds (after the report
// ID; length byte + 8 bytes, as far as the report holds it) goes to the USB transport, if there is one.
class HidReportReader {
public:
    explicit HidReportReader(int fd, LUsbProc* usb = nullptr)
        : link(usb), fd_(fd), notifier_(fd, QSocketNotifier::Read) {
        QObject::connect(&notifier_, &QSocketNotifier::activated, [this] {
            uint8_t report[256];
            const ssize_t n = read(fd_, report, sizeof report);
            if (n > 5 && link)
                link->DeliverInput(report + 1, static_cast<uint32_t>(std::min<size_t>(
                                                   report[5] + kFrameOverhead, static_cast<size_t>(n - 1))));
        });
    }
    LUsbProc* link;

private:
    int fd_;
    QSocketNotifier notifier_;
};

// The output side of the unit's HID device as the owner window writes to it: its output report
// length (report ID included) and a write of one whole report.
class HidOutputPort {
public:
    virtual ~HidOutputPort() = default;
    virtual size_t OutputReportLength() = 0;
    virtual bool WriteReport(const uint8_t* report, size_t length) = 0;
};

// The owner window: records frames, link events and log lines as the GUI thread receives them, and
// the port writes of the USB and network transports as their workers make them.
class FakeOwner : public LinkOwner {
public:
    int deviceId = 1;
    TScheduler* clock = nullptr; // for time stamps
    struct Got {
        uint32_t msg;
        BSTM frame;
        uint32_t rtt;
        uint64_t at;
    };
    std::vector<Got> frames;
    std::vector<std::pair<int, intptr_t>> events;
    std::vector<uint64_t> eventTimes;
    std::vector<std::string> logs;
    std::vector<uint32_t> otherMessages;
    std::function<void(const BSTM&)> onFrame;
    std::thread::id guiThread = std::this_thread::get_id();
    bool offGuiThread = false;
    std::atomic<int> guiThreadWrites{0}; // port writes made on the GUI thread: always a fault

    // Port writes.
    HidOutputPort* hid = nullptr;
    LNetSocket* net = nullptr;

    int GetDeviceId() const override { return deviceId; }

    void Dispatch(TMessage& msg) override {
        if (std::this_thread::get_id() != guiThread)
            offGuiThread = true;
        if (msg.Msg == WM_LINK_FRAME || msg.Msg == WM_LINK_FRAME_OTHER) {
            frames.push_back({msg.Msg, msg.Data, static_cast<uint32_t>(msg.LParam), Now()});
            if (onFrame)
                onFrame(msg.Data);
        } else if (msg.Msg == WM_LINK_EVENT) {
            events.emplace_back(static_cast<int>(msg.WParam), msg.LParam);
            eventTimes.push_back(Now());
        } else if (msg.Msg == WM_LINK_LOG) {
            logs.push_back(msg.Text);
        } else {
            otherMessages.push_back(msg.Msg);
        }
    }

    void HidWrite(const uint8_t* bytes, uint32_t length) override {
        Record(bytes, length);
        if (!hid)
            return;
        // As the main window writes: one report a frame, none for a frame that does not fit.
        const std::vector<uint8_t> report = HidOutputReport(bytes, length, hid->OutputReportLength());
        if (!report.empty())
            hid->WriteReport(report.data(), report.size());
    }
    void NetWrite(const uint8_t* bytes, uint32_t length) override {
        Record(bytes, length);
        if (net)
            net->NetWrite(bytes, length);
    }

    struct Write {
        BSTM frame;
        uint64_t at;
    };
    std::vector<Write> Written() {
        std::lock_guard lock(m_);
        return written_;
    }
    void ClearWritten() {
        std::lock_guard lock(m_);
        written_.clear();
    }

private:
    uint64_t Now() const { return clock ? clock->NowMs() : 0; }
    void Record(const uint8_t* bytes, uint32_t length) {
        if (std::this_thread::get_id() == guiThread)
            ++guiThreadWrites;
        std::lock_guard lock(m_);
        written_.push_back({BSTM(bytes, bytes + length), Now()});
    }
    std::mutex m_;
    std::vector<Write> written_;
};
