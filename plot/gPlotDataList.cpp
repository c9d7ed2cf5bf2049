#include "plot/gPlotDataList.h"

#include <climits>

namespace kv {

std::vector<std::string> EnumIdents(TgPlotLineStyle) {
    return {"iplsSolid", "iplsDash", "iplsDot", "iplsDashDot", "iplsDashDotDot"};
}

std::vector<std::string> EnumIdents(TgPlotMarkerStyle) {
    return {"ipmsCircle",        "ipmsSquare",       "ipmsDiamond",        "ipmsCross",
            "ipmsPlus",          "ipmsTriangleUp",   "ipmsTriangleDown",   "ipmsTriangleLeft",
            "ipmsTriangleRight", "ipmsVerticalLine", "ipmsHorizontalLine", "ipmsCharacter"};
}

std::vector<std::string> EnumIdents(TgPlotDataStyle) {
    return {"ipdsStandard", "ipdsCompact", "ipdsCompactInterval", "ipdsFullFeature"};
}

TgPlotDataCustomList::TgPlotDataCustomList() {
    SetDataPointSize(1);
}

void TgPlotDataCustomList::SetDataPointSize(int size) {
    FDataPointSize = size;
    FMaxDataPoints = INT_MAX / size;
}

int TgPlotDataCustomList::MapIndex(int index) const {
    if (index < 0 || index >= FCount)
        throw EKvError("Index out of Bounds");
    if (FTail == 0)
        return index;
    int p = index + FTail;
    if (p > FCount - 1)
        p -= FCount;
    return p;
}

void TgPlotDataCustomList::Grow() {
    int delta = 4;
    if (FCapacity > 64)
        delta = FCapacity / 4;
    else if (FCapacity > 8)
        delta = 16;
    SetCapacity(FCapacity > INT_MAX - delta ? INT_MAX : FCapacity + delta);
}

void TgPlotDataCustomList::Linearise() {
    if (FTail == 0)
        return;
    RotateFront(FTail, FCount);
    FTail = 0;
}

void TgPlotDataCustomList::SetCapacity(int newCapacity) {
    if (newCapacity > FMaxDataPoints)
        throw EKvError("Exceed Maximum List Size");
    if (newCapacity < 0)
        newCapacity = 0;
    if (newCapacity == FCapacity)
        return;
    // A wrapped ring is put in age order first, so a cut keeps the oldest points in order and never
    // reads slots past the new end, and a growing ring appends after its newest point.
    Linearise();
    ResizeStorage(newCapacity);
    FCapacity = newCapacity;
    if (FCount > newCapacity)
        FCount = newCapacity;
}

int TgPlotDataCustomList::Add(double x, double y, bool null, bool empty) {
    if (!FRingBufferEnabled || FCapacity == 0) {
        if (FCount == FCapacity)
            Grow();
        StorePoint(FCount, x, y, null, empty);
        ++FCount;
    } else if (FCount < FCapacity) {
        StorePoint(FCount, x, y, null, empty);
        ++FCount;
    } else {
        const int tail = FTail + 1 == FCount ? 0 : FTail + 1;
        StorePoint(tail == 0 ? FCount - 1 : tail - 1, x, y, null, empty);
        FTail = tail;
        RingAdvanced(x);
    }
    return FCount - 1;
}

void TgPlotDataCustomList::Clear() {
    FCount = 0;
    FTail = 0;
    if (!FRingBufferEnabled)
        SetCapacity(0);
}

void TgPlotDataCustomList::CheckDeleteSize(int size) const {
    if (size < 0 || size >= FCount)
        throw EKvError("Delete size out of Range");
}

void TgPlotDataCustomList::DeletePoints(int size) {
    CheckDeleteSize(size);
    if (size == 0)
        return;
    // In age order, not by storage position, so a wrapped ring keeps its newest points.
    Linearise();
    if (FCount > size)
        RotateFront(size, FCount);
    FCount -= size;
}

void TgPlotDataCustomList::GetXYEmptyNull(int index, double& x, double& y, bool& empty, bool& null) const {
    MapIndex(index);
    x = GetX(index);
    y = GetY(index);
    empty = GetEmpty(index);
    null = GetNull(index);
}

void TgPlotDataCustomList::SetRingBufferSize(int value) {
    if (value < 0)
        value = 0;
    // Refused before anything changes, so a failed resize leaves the list as it was.
    if (value > FMaxDataPoints)
        throw EKvError("Exceed Maximum List Size");
    if (value == 0) {
        if (FRingBufferEnabled) {
            FRingBufferEnabled = false;
            if (FTail != 0)
                Clear();
        }
        return;
    }
    FRingBufferEnabled = true;
    if (value == FCapacity)
        return;
    if (FTail != 0)
        Clear();
    if (value > FCapacity) {
        SetCapacity(value);
    } else {
        if (value < FCount)
            DeletePoints(FCount - value);
        SetCapacity(value);
    }
}

// ---- standard list

TgPlotDataNullList::TgPlotDataNullList() {
    SetDataPointSize(24);
}

TgPlotMarkerStyle TgPlotDataNullList::GetMarkerStyle(int index) const {
    return TgPlotMarkerStyle((At(index).status >> 3) & 15);
}

void TgPlotDataNullList::SetMarkerStyle(int index, TgPlotMarkerStyle value) {
    auto& p = At(index);
    p.status = std::uint16_t((p.status & ~(15u << 3)) | ((unsigned(value) & 15u) << 3));
}

void TgPlotDataNullList::SetBit(int index, std::uint16_t bit, bool on) {
    auto& p = At(index);
    p.status = std::uint16_t(on ? (p.status | bit) : (p.status & ~unsigned(bit)));
}

void TgPlotDataNullList::StorePoint(int position, double x, double y, bool null, bool empty) {
    unsigned status = (unsigned(StoredMarkerStyle) & 15u) << 3;
    if (StoredMarkerVisible)
        status |= 4;
    if (null)
        status |= 1;
    if (empty)
        status |= 2;
    FList[std::size_t(position)] = {x, y, std::uint16_t(status)};
}

// ---- compact list

TgPlotDataCompactList::TgPlotDataCompactList() {
    SetDataPointSize(8);
}

void TgPlotDataCompactList::StorePoint(int position, double x, double y, bool, bool) {
    FList[std::size_t(position)] = {float(x), float(y)};
}

// ---- compact interval list

TgPlotDataCompactIntervalList::TgPlotDataCompactIntervalList() {
    SetDataPointSize(4);
}

void TgPlotDataCompactIntervalList::SetX(int index, double value) {
    if (index != 0 || FCount == 0)
        throw EKvError("Data Style does not support setting individual X-Value with the exception of the "
                       "first X-Value");
    FFirstX = value;
}

void TgPlotDataCompactIntervalList::Clear() {
    TgPlotDataCustomList::Clear();
    FInterval = -1.0;
}

void TgPlotDataCompactIntervalList::CheckDeleteSize(int size) const {
    if (size < 0 || size > FCount)
        throw EKvError("Delete size out of Range");
}

void TgPlotDataCompactIntervalList::DeletePoints(int size) {
    TgPlotDataCustomList::DeletePoints(size);
    if (FInterval != -1.0)
        FFirstX += size * FInterval;
}

void TgPlotDataCompactIntervalList::GetXYEmptyNull(int index, double& x, double& y, bool& empty,
                                                   bool& null) const {
    y = At(index).y;
    x = GetX(index);
    empty = false;
    null = false;
}

void TgPlotDataCompactIntervalList::StorePoint(int position, double x, double y, bool, bool) {
    if (FCount == 0)
        FFirstX = x;
    else if (FCount == 1 && FInterval == -1.0)
        FInterval = x - FFirstX;
    FList[std::size_t(position)] = {float(y)};
}

void TgPlotDataCompactIntervalList::RingAdvanced(double x) {
    if (FCount > 1)
        FFirstX += FInterval;
    else
        FFirstX = x; // a ring of one point: its X is the new point's
}

// ---- full-feature list

TgPlotDataFullList::TgPlotDataFullList() {
    SetDataPointSize(144);
}

void TgPlotDataFullList::CheckDeleteSize(int size) const {
    if (size < 0 || size >= FCount)
        throw EKvError("Delete Size Out Of Range");
}

void TgPlotDataFullList::StorePoint(int position, double x, double y, bool null, bool empty) {
    detail::FullPoint p;
    p.x = x;
    p.y = y;
    p.null = null;
    p.empty = empty;
    p.traceLineColor = StoredTraceLineColor;
    p.traceLineWidth = StoredTraceLineWidth;
    p.traceLineStyle = StoredTraceLineStyle;
    p.markerVisible = StoredMarkerVisible;
    p.markerSize = StoredMarkerSize;
    p.markerStyle = StoredMarkerStyle;
    p.markerPenColor = StoredMarkerPenColor;
    p.markerPenWidth = StoredMarkerPenWidth;
    p.markerPenStyle = StoredMarkerPenStyle;
    p.markerBrushColor = StoredMarkerBrushColor;
    p.markerBrushStyle = StoredMarkerBrushStyle;
    p.markerCharacter = 0;
    p.barVisible = StoredBarVisible;
    p.barReference = StoredBarReference;
    p.barWidth = StoredBarWidth;
    p.barPenColor = StoredBarPenColor;
    p.barPenWidth = StoredBarPenWidth;
    p.barPenStyle = StoredBarPenStyle;
    p.barBrushColor = StoredBarBrushColor;
    p.barBrushStyle = StoredBarBrushStyle;
    FList[std::size_t(position)] = p;
}

} // namespace kv
