#pragma once
// The main window's side of the unit's HID device: the handlers it binds to its HID device controller
// (HidCtl) and the port write of the USB transport. The main window owns one and forwards to it.
//
// The unit's device is the one checked out here (HidDevice()); it is held while it stays plugged in,
// whichever link is in use. Only its reports reach the USB transport. The pointer is guarded by one
// lock that the port write holds for the whole write, so the unplug handler never checks the device
// in (which destroys it) while the USB worker still writes to it.

#include <cstdint>
#include <mutex>
#include <string>

#include "hid/HidControllerClass.h"
#include "link/LUsb.h"
#include "link/LinkOwner.h"

// The USB transport's input buffer: no delivery is longer.
inline constexpr size_t kUsbInputMax = 128;

// What the handlers need of the main window besides the owner-window interface.
class LHidHost {
public:
    virtual ~LHidHost() = default;
    // lbStatus.
    virtual std::string StatusText() const = 0;
    virtual void SetStatusText(const std::string& text) = 0;
    virtual bool MainWindowVisible() const = 0;
    // Starts tmLinkBroken (300 ms), which closes the link and reopens the connection dialog.
    virtual void StartLinkBrokenTimer() = 0;
    // An information message box with an OK button.
    virtual void ShowInformation(const std::string& text) = 0;
};

class LMainHid {
public:
    LMainHid(LinkOwner* owner, LHidHost* host);

    // Binds the five handlers to the controller (as the main window's layout does). This object must
    // outlive the controller: the controller's destruction gives the held unit back through the unplug
    // handler.
    void Bind(THidDeviceController* controller);

    // The USB transport that input goes to; none while no USB transport exists (GUI thread).
    void SetLink(LUsbProc* link);
    LUsbProc* Link() const { return link_; }
    // The unit's checked-out device, or none.
    THidDevice* HidDevice();

    // The USB transport's port write (its worker thread, under the transport's critical
    // section): one frame as one output report.
    void HidWrite(const uint8_t* bytes, uint32_t length);

    // Handlers bound to HidCtl (GUI thread).
    bool HidCtlEnumerate(THidDevice* device, int index);
    void HidCtlDeviceChange(kv::TObject* sender);
    void HidCtlDeviceData(THidDevice* device, uint8_t reportId, const uint8_t* data, uint16_t size);
    void HidCtlDeviceUnplug(THidDevice* device);
    void HidCtlDeviceDataError(THidDevice* device, uint32_t error);

    static bool IsUnit(THidDevice* device);

private:
    LinkOwner* owner_;
    LHidHost* host_;
    THidDeviceController* ctl_ = nullptr;
    LUsbProc* link_ = nullptr;
    std::mutex deviceLock_; // held by HidWrite for the whole write
    THidDevice* hidDevice_ = nullptr;
};
