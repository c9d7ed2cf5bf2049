#pragma once
// Data items: each binds one published property of a plot control (or channel) to one item of an
// OPC server through the client library. The list of them that a control owns streams as a
// collection. Without the library the items keep their settings and never connect.

#include "plot/gComponent.h"
#include "plot/gPropStream.h"
#include "plot/opc/gOPCLibrary.h"

#include "platform/core/Properties.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace kv {

class TComponent;
class TgOPCItemManager;

using TOPCItemGetDataTypeEvent = std::function<void(const std::string& propertyName, TTypeKind& kind)>;

class TgOPCItem : public TPersistent {
    KV_CLASS(TgOPCItem)
public:
    explicit TgOPCItem(TgOPCItemManager* owner = nullptr);
    ~TgOPCItem() override;

    const std::string& PropertyName() const { return FPropertyName; }
    void SetPropertyName(const std::string& v);
    const std::string& GroupName() const { return FGroupName; }
    void SetGroupName(const std::string& v);
    const std::string& ComputerName() const { return FComputerName; }
    void SetComputerName(const std::string& v);
    const std::string& ServerName() const { return FServerName; }
    void SetServerName(const std::string& v);
    const std::string& ItemName() const { return FItemName; }
    void SetItemName(const std::string& v);
    double Scalar() const { return FScalar; }
    void SetScalar(double v) { FScalar = v; }
    double Offset() const { return FOffset; }
    void SetOffset(double v) { FOffset = v; }
    int UpdateRate() const { return FUpdateRate; }
    void SetUpdateRate(int v);
    bool AutoConnect() const { return FAutoConnect; }
    void SetAutoConnect(bool v);
    bool AutoError() const { return FAutoError; }
    void SetAutoError(bool v);

    // Connects (dropping an earlier connection); ActivateSuspend connects with updates suspended.
    void Activate() { DoActivate(false); }
    void ActivateSuspend() { DoActivate(true); }
    void Deactivate();
    bool Active() const;
    void UpdateSuspend();
    void UpdateResume();
    bool UpdateSuspended() const;

    // The last value; writing sends a value to the server.
    const TgOPCVariant& Data() const { return FData; }
    void SetData(const TgOPCVariant& value);
    // Reads the value at once (unscaled); empty without the library.
    TgOPCVariant GetDataNow(std::uint16_t& quality);
    std::uint16_t Quality() const { return FQuality; }
    double TimeStamp() const { return FTimeStamp; }
    bool QualityGood() const { return (FQuality & 0xC0) == 0xC0; }
    TTypeKind PropertyType() const { return FPropertyType; }
    std::int32_t SignalHandle() const { return FSignalHandle; }
    TgOPCItemManager* Owner() const { return FOwner; }

    // Called by the list after the item was read from a layout; never raises.
    void Loaded();

private:
    void DoActivate(bool startSuspended);
    void NewData();
    void UpdateErrorState();
    bool Designing() const;
    void ReactivateWhenActive();
    static void NewDataCallback(void* context, std::int32_t signal);

    std::string FPropertyName;
    TTypeKind FPropertyType = TTypeKind::tkUnknown;
    std::string FGroupName, FServerName, FComputerName = "Local", FItemName;
    bool FAutoConnect = true;
    int FUpdateRate = 500;
    double FScalar = 0, FOffset = 0;
    std::int32_t FSignalHandle = 0;
    TgOPCVariant FData;
    double FTimeStamp = 0;
    std::uint16_t FQuality = 0;
    TgOPCItemManager* FOwner = nullptr;
    bool FAutoError = false;
    TgOPCLibItemCallback FCallback{};
};

// Scales an incoming value: integers become the integer nearest to value * factor (computed in
// double, so 8-byte and unsigned 32-bit values are not wrapped; a result beyond 32 bits stays an
// 8-byte integer, one beyond 64 bits a double), floats value * factor; other kinds are unchanged.
// gOffsetVariant does the same with value + offset.
void gScaleVariant(TgOPCVariant& value, double factor);
void gOffsetVariant(TgOPCVariant& value, double offset);

class TgOPCItemManager : public TObject {
public:
    explicit TgOPCItemManager(TComponent* owner = nullptr);
    ~TgOPCItemManager() override;

    int Add();
    void Delete(int index);
    void Clear();
    int Count() const { return static_cast<int>(FList.size()); }
    // Raises "List index out of bounds (n)" outside 0..Count-1.
    TgOPCItem* GetItem(int index) const;
    int FindIndex(const TgOPCItem* item) const;
    bool GetIsDesigning();
    TComponent* Owner() const { return FOwner; }

    bool DoWriteToStream() const { return !FList.empty(); }
    void WriteToStream(TgWriter& writer);
    void ReadFromStream(TgReader& reader);

    TGetDesigningEvent OnGetDesigning;
    TNotifyEvent OnNewData; // sender = the item
    TOPCItemGetDataTypeEvent OnGetType;

private:
    std::vector<std::unique_ptr<TgOPCItem>> FList;
    TComponent* FOwner = nullptr;
};

} // namespace kv
