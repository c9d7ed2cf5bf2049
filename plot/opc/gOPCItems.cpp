#include "plot/opc/gOPCItems.h"

#include "plot/gPropText.h"

#include <cmath>
#include <limits>

namespace kv {

KV_REGISTER_CLASS(TgOPCItem, TPersistent, b) {
    b.Prop("PropertyName", &TgOPCItem::PropertyName, &TgOPCItem::SetPropertyName);
    b.Prop("GroupName", &TgOPCItem::GroupName, &TgOPCItem::SetGroupName);
    b.Prop("ComputerName", &TgOPCItem::ComputerName, &TgOPCItem::SetComputerName);
    b.Prop("ServerName", &TgOPCItem::ServerName, &TgOPCItem::SetServerName);
    b.Prop("ItemName", &TgOPCItem::ItemName, &TgOPCItem::SetItemName);
    b.Prop("Scalar", &TgOPCItem::Scalar, &TgOPCItem::SetScalar);
    b.Prop("Offset", &TgOPCItem::Offset, &TgOPCItem::SetOffset);
    b.Prop("UpdateRate", &TgOPCItem::UpdateRate, &TgOPCItem::SetUpdateRate);
    b.Prop("UpdateSuspended", &TgOPCItem::UpdateSuspended, nullptr);
    b.Prop("AutoConnect", &TgOPCItem::AutoConnect, &TgOPCItem::SetAutoConnect);
    b.Prop("AutoError", &TgOPCItem::AutoError, &TgOPCItem::SetAutoError);
}

namespace {

bool IsIntegerVariant(std::uint16_t vt) {
    switch (vt) {
    case varSmallint:
    case varInteger:
    case varShortInt:
    case varByte:
    case varWord:
    case varLongWord:
    case varInt64:
    case varUInt64:
        return true;
    default:
        return false;
    }
}

double IntegerValue(const TgOPCVariant& v) {
    switch (v.VType) {
    case varByte:
    case varWord:
    case varLongWord:
    case varUInt64:
        return static_cast<double>(v.U);
    default:
        return static_cast<double>(v.I);
    }
}

// The nearest integer (halves to even) of a value computed in double, as the narrowest of a 32-bit
// integer, an 8-byte integer or, beyond that, a double.
TgOPCVariant IntegerResult(double value) {
    const double r = std::nearbyint(value);
    if (r >= std::numeric_limits<std::int32_t>::min() && r <= std::numeric_limits<std::int32_t>::max())
        return TgOPCVariant::Integer(static_cast<std::int64_t>(r), varInteger);
    if (r >= -0x1p63 && r < 0x1p63)
        return TgOPCVariant::Integer(static_cast<std::int64_t>(r), varInt64);
    return TgOPCVariant::Double(r);
}

template <class Op> void Apply(TgOPCVariant& v, Op op) {
    if (IsIntegerVariant(v.VType))
        v = IntegerResult(op(IntegerValue(v)));
    else if (v.VType == varSingle || v.VType == varDouble)
        v = TgOPCVariant::Double(op(v.D), v.VType);
}

} // namespace

void gScaleVariant(TgOPCVariant& value, double factor) {
    Apply(value, [factor](double x) { return x * factor; });
}

void gOffsetVariant(TgOPCVariant& value, double offset) {
    Apply(value, [offset](double x) { return x + offset; });
}

// ---------------------------------------------------------------------------------------------------

TgOPCItem::TgOPCItem(TgOPCItemManager* owner) : FOwner(owner) {
    FCallback.context = this;
    FCallback.NewData = &TgOPCItem::NewDataCallback;
}

TgOPCItem::~TgOPCItem() {
    try {
        Deactivate();
    } catch (...) { // a failing library must not stop the item from going
    }
}

bool TgOPCItem::Designing() const {
    return FOwner && FOwner->GetIsDesigning();
}

void TgOPCItem::ReactivateWhenActive() {
    if (!OPCLibraryMissing() && Active())
        Activate();
}

void TgOPCItem::SetPropertyName(const std::string& v) {
    FPropertyName = v;
    if (FOwner && FOwner->OnGetType)
        FOwner->OnGetType(FPropertyName, FPropertyType);
}

void TgOPCItem::SetGroupName(const std::string& v) {
    FGroupName = v;
    if (Active())
        Activate();
}

void TgOPCItem::SetComputerName(const std::string& v) {
    FComputerName = v;
    ReactivateWhenActive();
}

void TgOPCItem::SetServerName(const std::string& v) {
    FServerName = v;
    ReactivateWhenActive();
}

void TgOPCItem::SetItemName(const std::string& v) {
    FItemName = v;
    ReactivateWhenActive();
}

void TgOPCItem::SetUpdateRate(int v) {
    FUpdateRate = v;
    ReactivateWhenActive();
}

void TgOPCItem::SetAutoConnect(bool v) {
    FAutoConnect = v;
    if (OPCLibraryMissing() || !FOwner || !FOwner->Owner() || !FAutoConnect)
        return;
    // A control of another kind is treated as still loading: it connects from its own Loaded.
    const auto* control = dynamic_cast<const TgComponent*>(FOwner->Owner());
    if (control && !control->IsLoading())
        Activate();
}

void TgOPCItem::SetAutoError(bool v) {
    if (v == FAutoError)
        return;
    FAutoError = v;
    if (FAutoError)
        UpdateErrorState();
}

void TgOPCItem::UpdateErrorState() {
    if (!Active() || !FOwner)
        return;
    if (auto* control = dynamic_cast<TgComponent*>(FOwner->Owner()))
        control->SetErrorActive(!QualityGood());
}

void TgOPCItem::DoActivate(bool startSuspended) {
    if (OPCLibraryMissing() || !FOwner || Designing())
        return;
    if (FAutoError)
        UpdateErrorState();
    if (FSignalHandle != 0)
        Deactivate();
    if (gTrimText(FPropertyName).empty() ||
        (gTrimText(FGroupName).empty() && gTrimText(FServerName).empty()) || gTrimText(FItemName).empty())
        return;
    if (Active())
        Deactivate();
    const int requestedType = FPropertyType == TTypeKind::tkString ? 8 : 0;
    FSignalHandle = OPCSignalAdd(FComputerName, FServerName, FItemName, FGroupName, FUpdateRate,
                                 startSuspended, requestedType, &FCallback);
}

void TgOPCItem::Deactivate() {
    if (OPCLibraryMissing() || !FOwner || Designing())
        return;
    // Handle 0 holds no connection: there is nothing to remove.
    if (FSignalHandle != 0)
        OPCSignalRemove(FSignalHandle);
    FSignalHandle = 0;
}

bool TgOPCItem::Active() const {
    if (!FOwner || OPCLibraryMissing() || Designing())
        return false;
    return OPCSignalGetActive(FSignalHandle);
}

void TgOPCItem::UpdateSuspend() {
    if (!OPCLibraryMissing())
        OPCSignalSuspend(FSignalHandle);
}

void TgOPCItem::UpdateResume() {
    if (!OPCLibraryMissing())
        OPCSignalResume(FSignalHandle);
}

bool TgOPCItem::UpdateSuspended() const {
    if (OPCLibraryMissing() || FSignalHandle == 0)
        return false;
    return OPCSignalGetUpdateSuspended(FSignalHandle);
}

void TgOPCItem::SetData(const TgOPCVariant& value) {
    if (!OPCLibraryMissing())
        OPCSignalSendData(FSignalHandle, value);
}

TgOPCVariant TgOPCItem::GetDataNow(std::uint16_t& quality) {
    if (OPCLibraryMissing()) {
        quality = 0;
        return {};
    }
    OPCSignalGetDataNow(FSignalHandle);
    FData = OPCSignalGetData(FSignalHandle);
    FTimeStamp = OPCSignalGetTimeStamp(FSignalHandle);
    FQuality = OPCSignalGetQuality(FSignalHandle);
    quality = FQuality;
    return FData;
}

void TgOPCItem::Loaded() {
    try {
        if (FAutoError)
            UpdateErrorState();
        if (FAutoConnect && !Designing())
            Activate();
    } catch (...) { // a server that cannot be reached must not stop the layout from loading
    }
}

void TgOPCItem::NewDataCallback(void* context, std::int32_t) {
    static_cast<TgOPCItem*>(context)->NewData();
}

void TgOPCItem::NewData() {
    FData = OPCSignalGetData(FSignalHandle);
    FTimeStamp = OPCSignalGetTimeStamp(FSignalHandle);
    FQuality = OPCSignalGetQuality(FSignalHandle);
    if (QualityGood()) {
        if (FScalar != 0)
            gScaleVariant(FData, FScalar);
        if (FOffset != 0)
            gOffsetVariant(FData, FOffset);
    }
    if (FAutoError)
        UpdateErrorState();
    if (FOwner && FOwner->OnNewData)
        FOwner->OnNewData(this);
}

// ---------------------------------------------------------------------------------------------------

TgOPCItemManager::TgOPCItemManager(TComponent* owner) : FOwner(owner) {}

TgOPCItemManager::~TgOPCItemManager() {
    Clear();
}

int TgOPCItemManager::Add() {
    FList.push_back(std::make_unique<TgOPCItem>(this));
    return Count() - 1;
}

void TgOPCItemManager::Delete(int index) {
    GetItem(index);
    FList.erase(FList.begin() + index);
}

void TgOPCItemManager::Clear() {
    while (!FList.empty())
        FList.erase(FList.begin());
}

TgOPCItem* TgOPCItemManager::GetItem(int index) const {
    if (index < 0 || index >= Count())
        throw EKvError("List index out of bounds (" + std::to_string(index) + ")");
    return FList[static_cast<std::size_t>(index)].get();
}

int TgOPCItemManager::FindIndex(const TgOPCItem* item) const {
    for (int i = 0; i < Count(); ++i)
        if (FList[static_cast<std::size_t>(i)].get() == item)
            return i;
    return -1;
}

bool TgOPCItemManager::GetIsDesigning() {
    bool designing = false;
    if (OnGetDesigning)
        OnGetDesigning(this, designing);
    return designing;
}

void TgOPCItemManager::WriteToStream(TgWriter& writer) {
    writer.WriteValue(TValueType::vaCollection);
    for (const auto& item : FList) {
        writer.WriteListBegin();
        gWriteProperties(writer, *item);
        writer.WriteListEnd();
    }
    writer.WriteListEnd();
}

void TgOPCItemManager::ReadFromStream(TgReader& reader) {
    Clear();
    if (reader.ReadValue() != TValueType::vaCollection)
        return;
    while (!reader.EndOfList()) {
        reader.ReadListBegin();
        TgOPCItem* item = GetItem(Add());
        gReadProperties(reader, *item);
        reader.ReadListEnd();
        item->Loaded();
    }
    reader.ReadListEnd();
}

} // namespace kv
