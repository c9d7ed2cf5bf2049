// The HID device controller: the device list, check-out and check-in, plug and unplug.
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

// ---- THidDeviceController --------------------------------------------------------------------------------

KV_REGISTER_CLASS(THidDeviceController, kv::TComponent, b) {
    b.Prop("DevThreadSleepTime", &THidDeviceController::DevThreadSleepTime,
           &THidDeviceController::SetDevThreadSleepTime)
        .Default(100);
    b.Prop("Version", &THidDeviceController::Version, &THidDeviceController::SetVersion)
        .Stored([](const THidDeviceController&) { return false; });
    b.Event("OnArrival", &THidDeviceController::OnArrival);
    b.Event("OnEnumerate", &THidDeviceController::OnEnumerate);
    b.Event("OnDeviceChange", &THidDeviceController::OnDeviceChange);
    b.Event("OnDeviceData", &THidDeviceController::OnDeviceData);
    b.Event("OnDeviceDataError", &THidDeviceController::OnDeviceDataError);
    b.Event("OnDeviceUnplug", &THidDeviceController::OnDeviceUnplug);
    b.Event("OnRemoval", &THidDeviceController::OnRemoval);
}

void RegisterHidClasses() {
    kv::RegisterClass(THidDeviceController::StaticClassInfo());
}

THidDeviceController::THidDeviceController(kv::TComponent* owner) : kv::TComponent(owner), FLParam(-1) {
    if (LoadSetupApi()) {
        FSetupApiTaken = true;
        LoadHid();
    }
    if (IsHidLoaded()) {
        HidD_GetHidGuid(&FHidGuid);
        FHWnd = std::make_unique<NotifyWindow>(this);
        RegisterDeviceChangeTarget(FHWnd.get());
        // The first scan runs from the message loop, once every handler is bound.
        TMessage msg;
        msg.Msg = WM_DEVICECHANGE;
        msg.WParam = DBT_DEVNODES_CHANGED;
        msg.LParam = -1;
        TMessageBridge::Post(FHWnd.get(), std::move(msg));
    } else {
        FHidGuid = HID_INTERFACE_GUID;
    }
}

THidDeviceController::~THidDeviceController() {
    Destroying();
    // Plain stores: the devices keep their unplug handler, which releases a checked-out device.
    OnDeviceChange = nullptr;
    OnDeviceUnplug = nullptr;
    OnEnumerate = nullptr;
    if (FHWnd) {
        UnregisterDeviceChangeTarget(FHWnd.get());
        FHWnd.reset();
    }
    const std::vector<THidDevice*> devices = std::exchange(FList, {});
    for (THidDevice* d : devices) {
        d->FMyController = nullptr;
        if (d->IsCheckedOut())
            d->DoUnplug(); // its holder may check it in, which destroys it
        else
            delete d;
    }
    const bool hidLoaded = IsHidLoaded();
    if (FSetupApiTaken)
        UnloadSetupApi();
    if (hidLoaded)
        UnloadHid();
}

void THidDeviceController::EventPipe(TMessage& msg) {
    if (msg.Msg == WM_DEVICECHANGE && msg.WParam == DBT_DEVNODES_CHANGED && !FInDeviceChange) {
        FLParam = msg.LParam;
        FInDeviceChange = true;
        DeviceChange();
        FInDeviceChange = false;
    }
}

int THidDeviceController::IndexOf(const THidDevice* device) const {
    const auto it = std::find(FList.begin(), FList.end(), device);
    return it == FList.end() ? -1 : static_cast<int>(it - FList.begin());
}

std::vector<THidDevice*> THidDeviceController::Scan() {
    std::vector<THidDevice*> fresh;
    if (!IsHidLoaded())
        return fresh;
    auto getClassDevs = reinterpret_cast<PFN_SetupDiGetClassDevsW>(SetupDiGetClassDevs);
    auto enumInterfaces = reinterpret_cast<PFN_SetupDiEnumDeviceInterfaces>(SetupDiEnumDeviceInterfaces);
    auto getDetail = reinterpret_cast<PFN_SetupDiGetDeviceInterfaceDetailA>(SetupDiGetDeviceInterfaceDetailA);
    auto destroyList = reinterpret_cast<PFN_SetupDiDestroyDeviceInfoList>(SetupDiDestroyDeviceInfoList);
    if (!getClassDevs || !enumInterfaces || !getDetail || !destroyList)
        return fresh;
    const HDEVINFO set = getClassDevs(&FHidGuid, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    if (set == INVALID_HANDLE_VALUE)
        return fresh;
    for (DWORD i = 0;; ++i) {
        SP_DEVICE_INTERFACE_DATA iface{};
        iface.cbSize = sizeof iface;
        if (!enumInterfaces(set, nullptr, &FHidGuid, i, &iface))
            break;
        SP_DEVINFO_DATA dev{};
        dev.cbSize = sizeof dev;
        DWORD required = 0;
        getDetail(set, &iface, nullptr, 0, &required, &dev);
        if (required <= SP_DETAIL_A_PATH_OFFSET || LastError() != ERROR_INSUFFICIENT_BUFFER)
            continue;
        std::vector<DWORD> block((required + sizeof(DWORD)) / sizeof(DWORD), 0);
        auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_A*>(block.data());
        detail->cbSize = SP_DETAIL_A_SIZE;
        if (!getDetail(set, &iface, detail, required, nullptr, &dev))
            continue;
        const char* path = reinterpret_cast<const char*>(block.data()) + SP_DETAIL_A_PATH_OFFSET;
        auto* info =
            new THidPnPInfo(set, dev, std::string(path, strnlen(path, required - SP_DETAIL_A_PATH_OFFSET)));
        try {
            fresh.push_back(new THidDevice(info, this));
        } catch (const EControllerError&) {
            // Skipped silently (the device freed its information); tried again at the next rescan.
        }
    }
    destroyList(set);
    return fresh;
}

void THidDeviceController::DeviceChange() {
    bool changed = FLParam == -1;
    std::vector<THidDevice*> fresh = Scan();
    auto present = [&fresh](const THidDevice* d) {
        return std::any_of(fresh.begin(), fresh.end(), [d](const THidDevice* f) {
            return f->PnPInfo()->DeviceID() == d->PnPInfo()->DeviceID();
        });
    };
    for (int i = static_cast<int>(FList.size()) - 1; i >= 0; --i) {
        if (i >= static_cast<int>(FList.size()))
            continue;
        THidDevice* d = FList[static_cast<size_t>(i)];
        if (d->IsPluggedIn() && present(d))
            continue;
        changed = true;
        d->DoUnplug();
        // Its holder may have checked it in from the unplug handler, which destroyed it.
        if (IndexOf(d) < 0)
            continue;
        if (OnRemoval) {
            d->FIsEnumerated = true;
            OnRemoval(d);
            if (IndexOf(d) < 0)
                continue;
            d->FIsEnumerated = false;
        }
        if (!d->IsCheckedOut()) {
            RemoveFromList(d);
            delete d;
        }
    }
    for (THidDevice*& f : fresh) {
        const bool duplicate = std::any_of(FList.begin(), FList.end(), [f](const THidDevice* d) {
            return d->IsPluggedIn() && d->PnPInfo()->DeviceID() == f->PnPInfo()->DeviceID();
        });
        if (duplicate) {
            f->FMyController = nullptr;
            delete f;
            f = nullptr;
        }
    }
    for (THidDevice* f : fresh) {
        if (!f)
            continue;
        FList.push_back(f);
        changed = true;
        if (OnArrival && IndexOf(f) >= 0) {
            f->FIsEnumerated = true;
            OnArrival(f);
            if (IndexOf(f) >= 0)
                f->FIsEnumerated = false;
        }
    }
    FNumCheckedInDevices = FNumUnpluggedDevices = 0;
    int out = 0;
    for (const THidDevice* d : FList) {
        FNumCheckedInDevices += !d->IsCheckedOut();
        FNumUnpluggedDevices += !d->IsPluggedIn();
        out += d->IsCheckedOut();
    }
    FNumCheckedOutDevices = out - FNumUnpluggedDevices;
    if (changed && OnDeviceChange)
        OnDeviceChange(this);
}

void THidDeviceController::RemoveFromList(THidDevice* device) {
    const int index = IndexOf(device);
    if (index >= 0)
        FList.erase(FList.begin() + index);
    device->FMyController = nullptr;
}

bool THidDeviceController::DoEnumerate(THidDevice* device, int index) {
    if (!OnEnumerate)
        return false;
    device->FIsEnumerated = true;
    const bool goOn = OnEnumerate(device, index);
    device->FIsEnumerated = false;
    if (!device->IsCheckedOut())
        device->CloseAllHandles();
    return goOn;
}

int THidDeviceController::Enumerate() {
    int count = 0;
    for (size_t i = 0; i < FList.size(); ++i) {
        THidDevice* d = FList[i];
        if (!d->IsPluggedIn())
            continue;
        ++count;
        if (!DoEnumerate(d, static_cast<int>(i)))
            break;
    }
    return count;
}

bool THidDeviceController::CheckThisOut(THidDevice*& HidDev, int index, bool candidate) {
    THidDevice* d = FList[static_cast<size_t>(index)];
    if (!candidate || d->IsCheckedOut())
        return false;
    HidDev = d;
    d->FIsCheckedOut = true;
    ++FNumCheckedOutDevices;
    --FNumCheckedInDevices;
    d->StartThread();
    return true;
}

template <class Test> bool THidDeviceController::CheckOutFirst(THidDevice*& HidDev, Test test) {
    HidDev = nullptr;
    for (size_t i = 0; i < FList.size(); ++i)
        if (CheckThisOut(HidDev, static_cast<int>(i), test(FList[i])))
            return true;
    return false;
}

bool THidDeviceController::CheckOut(THidDevice*& HidDev) {
    return CheckOutFirst(HidDev, [](THidDevice*) { return true; });
}

bool THidDeviceController::CheckOutByIndex(THidDevice*& HidDev, int Idx) {
    HidDev = nullptr;
    if (Idx < 0 || Idx >= static_cast<int>(FList.size()))
        return false;
    return CheckThisOut(HidDev, Idx, true);
}

bool THidDeviceController::CheckOutByID(THidDevice*& HidDev, int Vid, int Pid) {
    return CheckOutFirst(HidDev, [Vid, Pid](THidDevice* d) {
        return d->Attributes().VendorID == Vid && (d->Attributes().ProductID == Pid || Pid == -1);
    });
}

bool THidDeviceController::CheckOutByProductName(THidDevice*& HidDev, const std::u16string& name) {
    HidDev = nullptr;
    if (name.empty())
        return false;
    return CheckOutFirst(HidDev, [&name](THidDevice* d) { return d->ProductName() == name; });
}

bool THidDeviceController::CheckOutByVendorName(THidDevice*& HidDev, const std::u16string& name) {
    HidDev = nullptr;
    if (name.empty())
        return false;
    return CheckOutFirst(HidDev, [&name](THidDevice* d) { return d->VendorName() == name; });
}

bool THidDeviceController::CheckOutByClass(THidDevice*& HidDev, const std::string& name) {
    HidDev = nullptr;
    if (name.empty())
        return false;
    return CheckOutFirst(HidDev, [&name](THidDevice* d) { return d->PnPInfo()->ClassDescr() == name; });
}

bool THidDeviceController::CheckOutByCallback(THidDevice*& HidDev, THidCheckCallback check) {
    HidDev = nullptr;
    if (!check)
        return false;
    for (size_t i = 0; i < FList.size(); ++i) {
        THidDevice* d = FList[i];
        if (d->IsCheckedOut())
            continue;
        d->FIsEnumerated = true;
        const bool take = check(d);
        d->FIsEnumerated = false;
        if (CheckThisOut(HidDev, static_cast<int>(i), take))
            return true;
        d->CloseAllHandles();
    }
    return false;
}

void THidDeviceController::CheckIn(THidDevice*& HidDev) {
    if (!HidDev)
        return;
    THidDevice* d = std::exchange(HidDev, nullptr);
    d->StopThread();
    d->CloseAllHandles();
    if (d->IsPluggedIn()) {
        d->FIsCheckedOut = false;
        --FNumCheckedOutDevices;
        ++FNumCheckedInDevices;
    } else {
        delete d; // leaves the list
    }
}

template <class Test> int THidDeviceController::CountWhere(Test test) {
    int n = 0;
    for (THidDevice* d : FList)
        if (d->IsPluggedIn() && test(d))
            ++n;
    return n;
}

int THidDeviceController::CountByID(int Vid, int Pid) {
    return CountWhere([Vid, Pid](THidDevice* d) {
        return d->Attributes().VendorID == Vid && (d->Attributes().ProductID == Pid || Pid == -1);
    });
}

int THidDeviceController::CountByProductName(const std::u16string& name) {
    return CountWhere([&name](THidDevice* d) { return d->ProductName() == name; });
}

int THidDeviceController::CountByVendorName(const std::u16string& name) {
    return CountWhere([&name](THidDevice* d) { return d->VendorName() == name; });
}

int THidDeviceController::CountByClass(const std::string& name) {
    return CountWhere([&name](THidDevice* d) { return d->PnPInfo()->ClassDescr() == name; });
}

int THidDeviceController::CountByCallback(THidCheckCallback check) {
    if (!check)
        return 0;
    return CountWhere([check](THidDevice* d) {
        d->FIsEnumerated = true;
        const bool yes = check(d);
        d->FIsEnumerated = false;
        if (!d->IsCheckedOut())
            d->CloseAllHandles();
        return yes;
    });
}

std::string THidDeviceController::HidVersion() {
    // This system keeps no version resource with its HID services.
    return {};
}

void THidDeviceController::SetDevThreadSleepTime(int ms) {
    if (ms == FDevThreadSleepTime)
        return;
    for (THidDevice* d : FList)
        if (d->ThreadSleepTime() == FDevThreadSleepTime)
            d->SetThreadSleepTime(ms);
    FDevThreadSleepTime = ms;
}

void THidDeviceController::SetOnDeviceData(THidDataEvent handler) {
    if (!handler && !OnDeviceData)
        return;
    const uint64_t id = handler ? NewHandlerId() : 0;
    for (size_t i = 0; i < FList.size(); ++i)
        if (FList[i]->FDataId == FDevDataId)
            FList[i]->SetDataEvent(handler, id);
    OnDeviceData = std::move(handler);
    FDevDataId = id;
}

void THidDeviceController::SetOnDeviceDataError(THidDataErrorEvent handler) {
    if (!handler && !OnDeviceDataError)
        return;
    const uint64_t id = handler ? NewHandlerId() : 0;
    for (THidDevice* d : FList)
        if (d->FDataErrorId == FDevDataErrorId) {
            d->FDataError = handler;
            d->FDataErrorId = id;
        }
    OnDeviceDataError = std::move(handler);
    FDevDataErrorId = id;
}

void THidDeviceController::SetOnDeviceUnplug(THidPlugEvent handler) {
    if (!handler && !OnDeviceUnplug)
        return;
    const uint64_t id = handler ? NewHandlerId() : 0;
    for (THidDevice* d : FList)
        if (d->FUnplugId == FDevUnplugId) {
            d->FUnplug = handler;
            d->FUnplugId = id;
        }
    OnDeviceUnplug = std::move(handler);
    FDevUnplugId = id;
}

void THidDeviceController::SetOnDeviceChange(kv::TNotifyEvent handler) {
    if (!handler && !OnDeviceChange)
        return;
    OnDeviceChange = std::move(handler);
    if (!IsLoading())
        DeviceChange();
}
