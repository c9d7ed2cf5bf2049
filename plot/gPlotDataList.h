#pragma once
// The point lists a plot channel keeps its data in. Four kinds differ in what they hold per point;
// every kind addresses points by a logical index (0 the oldest) and can run as a fixed-size ring that
// overwrites its oldest point. Attributes a kind has no room for answer the list's stored default.

#include "platform/core/Classes.h"
#include "platform/gui/Graphics.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace kv {

enum class TgPlotLineStyle { iplsSolid, iplsDash, iplsDot, iplsDashDot, iplsDashDotDot };
enum class TgPlotMarkerStyle {
    ipmsCircle,
    ipmsSquare,
    ipmsDiamond,
    ipmsCross,
    ipmsPlus,
    ipmsTriangleUp,
    ipmsTriangleDown,
    ipmsTriangleLeft,
    ipmsTriangleRight,
    ipmsVerticalLine,
    ipmsHorizontalLine,
    ipmsCharacter
};
enum class TgPlotDataStyle { ipdsStandard, ipdsCompact, ipdsCompactInterval, ipdsFullFeature };
std::vector<std::string> EnumIdents(TgPlotLineStyle);
std::vector<std::string> EnumIdents(TgPlotMarkerStyle);
std::vector<std::string> EnumIdents(TgPlotDataStyle);

class TgPlotDataCustomList : public TObject {
public:
    TgPlotDataCustomList();
    ~TgPlotDataCustomList() override = default;
    TgPlotDataCustomList(const TgPlotDataCustomList&) = delete;
    TgPlotDataCustomList& operator=(const TgPlotDataCustomList&) = delete;

    int Count() const { return FCount; }
    int Capacity() const { return FCapacity; }
    int DataPointSize() const { return FDataPointSize; }
    int MaxDataPoints() const { return FMaxDataPoints; }
    std::int64_t MemoryUsed() const { return std::int64_t(FDataPointSize) * FCapacity; }
    int RingBufferSize() const { return FRingBufferEnabled ? FCapacity : 0; }
    void SetRingBufferSize(int value);

    virtual double GetX(int index) const = 0;
    virtual double GetY(int index) const = 0;
    virtual bool GetEmpty(int) const { return false; }
    virtual bool GetNull(int) const { return false; }
    virtual double GetHigh(int) const { return 0; }
    virtual double GetLow(int) const { return 0; }
    virtual double GetOpen(int) const { return 0; }
    virtual double GetClose(int) const { return 0; }
    virtual void SetX(int index, double value) = 0;
    virtual void SetY(int index, double value) = 0;
    virtual void SetEmpty(int, bool) {}
    virtual void SetNull(int, bool) {}
    virtual void SetHigh(int, double) {}
    virtual void SetLow(int, double) {}
    virtual void SetOpen(int, double) {}
    virtual void SetClose(int, double) {}

    // Per-point drawing attributes: the base answers the stored default and ignores writes.
    virtual TColor GetTraceLineColor(int) const { return StoredTraceLineColor; }
    virtual int GetTraceLineWidth(int) const { return StoredTraceLineWidth; }
    virtual TgPlotLineStyle GetTraceLineStyle(int) const { return StoredTraceLineStyle; }
    virtual bool GetMarkerVisible(int) const { return StoredMarkerVisible; }
    virtual int GetMarkerSize(int) const { return StoredMarkerSize; }
    virtual TgPlotMarkerStyle GetMarkerStyle(int) const { return StoredMarkerStyle; }
    virtual TColor GetMarkerPenColor(int) const { return StoredMarkerPenColor; }
    virtual int GetMarkerPenWidth(int) const { return StoredMarkerPenWidth; }
    virtual TPenStyle GetMarkerPenStyle(int) const { return StoredMarkerPenStyle; }
    virtual TColor GetMarkerBrushColor(int) const { return StoredMarkerBrushColor; }
    virtual TBrushStyle GetMarkerBrushStyle(int) const { return StoredMarkerBrushStyle; }
    virtual char16_t GetMarkerCharacter(int) const { return StoredMarkerCharacter; }
    virtual bool GetBarVisible(int) const { return StoredBarVisible; }
    virtual double GetBarReference(int) const { return StoredBarReference; }
    virtual double GetBarWidth(int) const { return StoredBarWidth; }
    virtual TColor GetBarPenColor(int) const { return StoredBarPenColor; }
    virtual int GetBarPenWidth(int) const { return StoredBarPenWidth; }
    virtual TPenStyle GetBarPenStyle(int) const { return StoredBarPenStyle; }
    virtual TColor GetBarBrushColor(int) const { return StoredBarBrushColor; }
    virtual TBrushStyle GetBarBrushStyle(int) const { return StoredBarBrushStyle; }
    virtual void SetTraceLineColor(int, TColor) {}
    virtual void SetTraceLineWidth(int, int) {}
    virtual void SetTraceLineStyle(int, TgPlotLineStyle) {}
    virtual void SetMarkerVisible(int, bool) {}
    virtual void SetMarkerSize(int, int) {}
    virtual void SetMarkerStyle(int, TgPlotMarkerStyle) {}
    virtual void SetMarkerPenColor(int, TColor) {}
    virtual void SetMarkerPenWidth(int, int) {}
    virtual void SetMarkerPenStyle(int, TPenStyle) {}
    virtual void SetMarkerBrushColor(int, TColor) {}
    virtual void SetMarkerBrushStyle(int, TBrushStyle) {}
    virtual void SetMarkerCharacter(int, char16_t) {}
    virtual void SetBarVisible(int, bool) {}
    virtual void SetBarReference(int, double) {}
    virtual void SetBarWidth(int, double) {}
    virtual void SetBarPenColor(int, TColor) {}
    virtual void SetBarPenWidth(int, int) {}
    virtual void SetBarPenStyle(int, TPenStyle) {}
    virtual void SetBarBrushColor(int, TColor) {}
    virtual void SetBarBrushStyle(int, TBrushStyle) {}

    // Appends a point and returns its logical index (Count - 1 afterwards).
    int Add(double x, double y, bool null, bool empty);
    virtual void Clear();
    // Raises "Exceed Maximum List Size" above MaxDataPoints; a negative capacity counts as 0. A cut
    // drops the newest points.
    void SetCapacity(int newCapacity);
    // Removes the Size oldest points, keeping the others in age order.
    virtual void DeletePoints(int size);
    virtual void GetXYEmptyNull(int index, double& x, double& y, bool& empty, bool& null) const;

    // Stored defaults, written by the channel's property setters.
    TColor StoredTraceLineColor = 0;
    int StoredTraceLineWidth = 0;
    TgPlotLineStyle StoredTraceLineStyle = TgPlotLineStyle::iplsSolid;
    bool StoredMarkerVisible = false;
    int StoredMarkerSize = 0;
    TgPlotMarkerStyle StoredMarkerStyle = TgPlotMarkerStyle::ipmsCircle;
    TColor StoredMarkerPenColor = 0;
    int StoredMarkerPenWidth = 0;
    TPenStyle StoredMarkerPenStyle = TPenStyle::psSolid;
    TColor StoredMarkerBrushColor = 0;
    TBrushStyle StoredMarkerBrushStyle = TBrushStyle::bsSolid;
    char16_t StoredMarkerCharacter = 0;
    bool StoredBarVisible = true;
    double StoredBarReference = 0;
    double StoredBarWidth = 0;
    TColor StoredBarPenColor = 0;
    int StoredBarPenWidth = 0;
    TPenStyle StoredBarPenStyle = TPenStyle::psSolid;
    TColor StoredBarBrushColor = 0;
    TBrushStyle StoredBarBrushStyle = TBrushStyle::bsSolid;

protected:
    void SetDataPointSize(int size);
    // Storage position of a logical index; raises "Index out of Bounds" outside 0..Count-1.
    int MapIndex(int index) const;
    void Grow();
    // The point storage of the concrete list.
    virtual void ResizeStorage(int capacity) = 0;
    // Rotates storage slots 0..Count-1 so that slot First comes first.
    virtual void RotateFront(int first, int count) = 0;
    virtual void StorePoint(int position, double x, double y, bool null, bool empty) = 0;
    // Called when a full ring overwrote its oldest point with a point at X.
    virtual void RingAdvanced(double) {}
    virtual void CheckDeleteSize(int size) const;
    // Rearranges a wrapped ring so that storage order is age order (tail 0).
    void Linearise();

    int FCount = 0;
    int FCapacity = 0;
    int FTail = 0;
    bool FRingBufferEnabled = false;
    int FDataPointSize = 1;
    int FMaxDataPoints = 0;
};

namespace detail {
// Contiguous storage of one point record, shared by the four kinds.
template <class Point> class TgPlotDataListOf : public TgPlotDataCustomList {
protected:
    void ResizeStorage(int capacity) override {
        FList.resize(std::size_t(capacity));
        FList.shrink_to_fit();
    }
    void RotateFront(int first, int count) override {
        std::rotate(FList.begin(), FList.begin() + first, FList.begin() + count);
    }
    Point& At(int index) { return FList[std::size_t(MapIndex(index))]; }
    const Point& At(int index) const { return FList[std::size_t(MapIndex(index))]; }
    std::vector<Point> FList;
};

struct NullPoint {
    double x = 0, y = 0;
    std::uint16_t status = 0;
};
struct CompactPoint {
    float x = 0, y = 0;
};
struct IntervalPoint {
    float y = 0;
};
struct FullPoint {
    double x = 0, y = 0;
    bool null = false, empty = false;
    double high = 0, low = 0, open = 0, close = 0;
    TColor traceLineColor = 0;
    int traceLineWidth = 0;
    TgPlotLineStyle traceLineStyle = TgPlotLineStyle::iplsSolid;
    bool markerVisible = false;
    int markerSize = 0;
    TgPlotMarkerStyle markerStyle = TgPlotMarkerStyle::ipmsCircle;
    TColor markerPenColor = 0;
    int markerPenWidth = 0;
    TPenStyle markerPenStyle = TPenStyle::psSolid;
    TColor markerBrushColor = 0;
    TBrushStyle markerBrushStyle = TBrushStyle::bsSolid;
    char16_t markerCharacter = 0;
    bool barVisible = false;
    double barReference = 0, barWidth = 0;
    TColor barPenColor = 0;
    int barPenWidth = 0;
    TPenStyle barPenStyle = TPenStyle::psSolid;
    TColor barBrushColor = 0;
    TBrushStyle barBrushStyle = TBrushStyle::bsSolid;
};
} // namespace detail

// X, Y and a status word (null, empty, marker visible, marker style) per point.
class TgPlotDataNullList : public detail::TgPlotDataListOf<detail::NullPoint> {
public:
    TgPlotDataNullList();
    double GetX(int index) const override { return At(index).x; }
    double GetY(int index) const override { return At(index).y; }
    bool GetNull(int index) const override { return At(index).status & 1; }
    bool GetEmpty(int index) const override { return At(index).status & 2; }
    bool GetMarkerVisible(int index) const override { return At(index).status & 4; }
    TgPlotMarkerStyle GetMarkerStyle(int index) const override;
    void SetX(int index, double value) override { At(index).x = value; }
    void SetY(int index, double value) override { At(index).y = value; }
    void SetNull(int index, bool value) override { SetBit(index, 1, value); }
    void SetEmpty(int index, bool value) override { SetBit(index, 2, value); }
    void SetMarkerVisible(int index, bool value) override { SetBit(index, 4, value); }
    void SetMarkerStyle(int index, TgPlotMarkerStyle value) override;

protected:
    void StorePoint(int position, double x, double y, bool null, bool empty) override;

private:
    void SetBit(int index, std::uint16_t bit, bool on);
};

// X and Y in single precision; no null or empty state.
class TgPlotDataCompactList : public detail::TgPlotDataListOf<detail::CompactPoint> {
public:
    TgPlotDataCompactList();
    double GetX(int index) const override { return At(index).x; }
    double GetY(int index) const override { return At(index).y; }
    void SetX(int index, double value) override { At(index).x = float(value); }
    void SetY(int index, double value) override { At(index).y = float(value); }

protected:
    void StorePoint(int position, double x, double y, bool null, bool empty) override;
};

// Y in single precision; X follows from the first X and the interval learned from the first two.
class TgPlotDataCompactIntervalList : public detail::TgPlotDataListOf<detail::IntervalPoint> {
public:
    TgPlotDataCompactIntervalList();
    // No bounds check: any index answers FirstX + Index * Interval.
    double GetX(int index) const override { return FFirstX + index * FInterval; }
    double GetY(int index) const override { return At(index).y; }
    // Only the first point's X can be set; it moves every X.
    void SetX(int index, double value) override;
    void SetY(int index, double value) override { At(index).y = float(value); }
    void Clear() override;
    // Also moves the first X past the deleted points, so the points left keep their X.
    void DeletePoints(int size) override;
    void GetXYEmptyNull(int index, double& x, double& y, bool& empty, bool& null) const override;
    double Interval() const { return FInterval; }
    double FirstX() const { return FFirstX; }

protected:
    void StorePoint(int position, double x, double y, bool null, bool empty) override;
    void RingAdvanced(double x) override;
    void CheckDeleteSize(int size) const override;

private:
    double FInterval = -1.0;
    double FFirstX = 0;
};

// Every value and drawing attribute per point.
class TgPlotDataFullList : public detail::TgPlotDataListOf<detail::FullPoint> {
public:
    TgPlotDataFullList();
    double GetX(int i) const override { return At(i).x; }
    double GetY(int i) const override { return At(i).y; }
    bool GetEmpty(int i) const override { return At(i).empty; }
    bool GetNull(int i) const override { return At(i).null; }
    double GetHigh(int i) const override { return At(i).high; }
    double GetLow(int i) const override { return At(i).low; }
    double GetOpen(int i) const override { return At(i).open; }
    double GetClose(int i) const override { return At(i).close; }
    void SetX(int i, double v) override { At(i).x = v; }
    void SetY(int i, double v) override { At(i).y = v; }
    void SetEmpty(int i, bool v) override { At(i).empty = v; }
    void SetNull(int i, bool v) override { At(i).null = v; }
    void SetHigh(int i, double v) override { At(i).high = v; }
    void SetLow(int i, double v) override { At(i).low = v; }
    void SetOpen(int i, double v) override { At(i).open = v; }
    void SetClose(int i, double v) override { At(i).close = v; }

    TColor GetTraceLineColor(int i) const override { return At(i).traceLineColor; }
    int GetTraceLineWidth(int i) const override { return At(i).traceLineWidth; }
    TgPlotLineStyle GetTraceLineStyle(int i) const override { return At(i).traceLineStyle; }
    bool GetMarkerVisible(int i) const override { return At(i).markerVisible; }
    int GetMarkerSize(int i) const override { return At(i).markerSize; }
    TgPlotMarkerStyle GetMarkerStyle(int i) const override { return At(i).markerStyle; }
    TColor GetMarkerPenColor(int i) const override { return At(i).markerPenColor; }
    int GetMarkerPenWidth(int i) const override { return At(i).markerPenWidth; }
    TPenStyle GetMarkerPenStyle(int i) const override { return At(i).markerPenStyle; }
    TColor GetMarkerBrushColor(int i) const override { return At(i).markerBrushColor; }
    TBrushStyle GetMarkerBrushStyle(int i) const override { return At(i).markerBrushStyle; }
    char16_t GetMarkerCharacter(int i) const override { return At(i).markerCharacter; }
    bool GetBarVisible(int i) const override { return At(i).barVisible; }
    double GetBarReference(int i) const override { return At(i).barReference; }
    double GetBarWidth(int i) const override { return At(i).barWidth; }
    TColor GetBarPenColor(int i) const override { return At(i).barPenColor; }
    int GetBarPenWidth(int i) const override { return At(i).barPenWidth; }
    TPenStyle GetBarPenStyle(int i) const override { return At(i).barPenStyle; }
    TColor GetBarBrushColor(int i) const override { return At(i).barBrushColor; }
    TBrushStyle GetBarBrushStyle(int i) const override { return At(i).barBrushStyle; }
    void SetTraceLineColor(int i, TColor v) override { At(i).traceLineColor = v; }
    void SetTraceLineWidth(int i, int v) override { At(i).traceLineWidth = v; }
    void SetTraceLineStyle(int i, TgPlotLineStyle v) override { At(i).traceLineStyle = v; }
    void SetMarkerVisible(int i, bool v) override { At(i).markerVisible = v; }
    void SetMarkerSize(int i, int v) override { At(i).markerSize = v; }
    void SetMarkerStyle(int i, TgPlotMarkerStyle v) override { At(i).markerStyle = v; }
    void SetMarkerPenColor(int i, TColor v) override { At(i).markerPenColor = v; }
    void SetMarkerPenWidth(int i, int v) override { At(i).markerPenWidth = v; }
    void SetMarkerPenStyle(int i, TPenStyle v) override { At(i).markerPenStyle = v; }
    void SetMarkerBrushColor(int i, TColor v) override { At(i).markerBrushColor = v; }
    void SetMarkerBrushStyle(int i, TBrushStyle v) override { At(i).markerBrushStyle = v; }
    void SetMarkerCharacter(int i, char16_t v) override { At(i).markerCharacter = v; }
    void SetBarVisible(int i, bool v) override { At(i).barVisible = v; }
    void SetBarReference(int i, double v) override { At(i).barReference = v; }
    void SetBarWidth(int i, double v) override { At(i).barWidth = v; }
    void SetBarPenColor(int i, TColor v) override { At(i).barPenColor = v; }
    void SetBarPenWidth(int i, int v) override { At(i).barPenWidth = v; }
    void SetBarPenStyle(int i, TPenStyle v) override { At(i).barPenStyle = v; }
    void SetBarBrushColor(int i, TColor v) override { At(i).barBrushColor = v; }
    void SetBarBrushStyle(int i, TBrushStyle v) override { At(i).barBrushStyle = v; }

protected:
    void StorePoint(int position, double x, double y, bool null, bool empty) override;
    void CheckDeleteSize(int size) const override;
};

} // namespace kv
