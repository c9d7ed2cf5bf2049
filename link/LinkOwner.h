#pragma once
// The window that owns a transport: it receives the transport's frames and link events, and it does
// the port writes of the USB and network transports (its HID device and its client socket). The main
// window implements it.

#include <atomic>
#include <cstdint>
#include <string>

#include "platform/sys/Messages.h"

// Messages to the owner window.
enum : uint32_t {
    WM_LINK_BYTE = 0x54F,        // a received byte from a transport without a packet layer
    WM_LINK_FRAME = 0x550,       // synchronous: Data = the complete frame, LParam = round trip in ms
    WM_LINK_EVENT = 0x551,       // posted: WParam = link-event code, LParam = its parameter
    WM_LINK_FRAME_OTHER = 0x552, // as WM_LINK_FRAME, from a serial port not running at 115200 baud
    WM_LINK_LOG = 0x553,         // posted: Text = one frame-log line
};

// Link-event codes.
enum : int {
    LINK_NO_REPLY = 0,
    LINK_PORT_ERROR = 1,
    LINK_STOP_TIMEOUT = 5,
    LINK_WAIT_FAILED = 6,
};

class LinkOwner : public TMessageTarget {
public:
    // The selected device ID, copied by a transport when it is created (its keep-alive uses it).
    virtual int GetDeviceId() const = 0;

    // Port writes, called on the transport's worker thread under its critical section.
    virtual void HidWrite(const uint8_t* bytes, uint32_t length) {
        (void)bytes;
        (void)length;
    }
    virtual void NetWrite(const uint8_t* bytes, uint32_t length) {
        (void)bytes;
        (void)length;
    }

    // Set while the frame-log window is shown; transports and port writes build log lines only then.
    std::atomic<bool> FrameLogShown{false};
};

// "<prefix>" followed by "%02X " for each byte.
std::string FrameLogLine(const char* prefix, const uint8_t* bytes, size_t length);

// Hands one frame-log line to the owner's GUI thread as a posted message; a line from a source that
// no longer exists is dropped.
void PostFrameLog(LinkOwner* owner, std::string line, TMessageSource* source = nullptr);
