#pragma once
// The curve graphs' store of curves: a singly linked list keyed by curve number, new curves at the
// head. Drawing walks from the head, so the curve added first is drawn last.

#include "platform/gui/Graphics.h"

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

class TPlotListMember {
public:
    TPlotListMember() = default;
    // Copies the arrays, colour, style, count and curve number; the copy is not linked.
    TPlotListMember(const TPlotListMember& source);
    TPlotListMember& operator=(const TPlotListMember&) = delete;

    std::vector<double> X; // owned copies, Count values each
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
