#pragma once
// The curve graphs' store of curves: a singly linked list keyed by curve number, new curves at the
// head. Drawing walks from the head, so the curve added first is drawn last.

#include "platform/gui/Graphics.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace kv {

// How a curve's points are drawn; only the values matter.
enum class TMyPlotStyle : int {
    Line = 0,
    Square = 1,
    HollowSquare = 2,
    LineSquare = 3,
    LineHollowSquare = 4
};

// A curve's x values, read-only. The x values of most curves are their point indexes 0, 1, 2, ...;
// those are held once for every curve of that length instead of once per curve.
class TXValues {
public:
    TXValues() = default;
    TXValues(const double* values, int count);
    const double* data() const { return FValues ? FValues->data() : nullptr; }
    std::size_t size() const { return FValues ? FValues->size() : 0; }
    bool empty() const { return size() == 0; }
    double operator[](std::size_t i) const { return (*FValues)[i]; }
    const double* begin() const { return data(); }
    const double* end() const { return data() + size(); }
    friend bool operator==(const TXValues& a, const std::vector<double>& b) {
        return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin());
    }

private:
    std::shared_ptr<const std::vector<double>> FValues;
};

class TPlotListMember {
public:
    TPlotListMember() = default;
    // Copies the arrays, colour, style, count and curve number; the copy is not linked.
    TPlotListMember(const TPlotListMember& source);
    TPlotListMember& operator=(const TPlotListMember&) = delete;

    TXValues X; // Count values each; the y values are the member's own copy
    std::vector<double> Y;
    TColor Colour = 0;
    TMyPlotStyle Style = TMyPlotStyle::Line;
    int Count = 0;
    int CurveNumber = 0;
    TPlotListMember* Next = nullptr;
};

class TPlotList {
public:
    TPlotList() = default;
    // Walks the source from its head and puts each copy at the head: the copy runs in reverse order.
    TPlotList(const TPlotList& source);
    TPlotList& operator=(const TPlotList&) = delete;
    ~TPlotList();

    TPlotListMember* Head() const { return FHead; }
    void Clear();
    // The first member from the head with that curve number.
    bool Find(int curveNumber, TPlotListMember*& member) const;
    // Replaces the arrays of an existing curve (colour and style stay) and returns true; otherwise
    // adds a new curve at the head and returns false. The caller keeps its arrays.
    bool AddOrReplace(const double* x, const double* y, int count, int curveNumber, TColor colour,
                      TMyPlotStyle style);
    // AddOrReplace for every member of `other`, from its head on.
    void AppendFrom(const TPlotList& other);
    bool Remove(int curveNumber);

private:
    TPlotListMember* FHead = nullptr;
};

} // namespace kv
