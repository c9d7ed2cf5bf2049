#include "controls/PlotList.h"

#include <algorithm>

namespace kv {

TXValues::TXValues(const double* values, int count) {
    if (!values || count <= 0)
        return;
    bool indexes = true;
    for (int i = 0; i < count && indexes; ++i)
        indexes = values[i] == i;
    if (!indexes) {
        FValues = std::make_shared<const std::vector<double>>(values, values + count);
        return;
    }
    // The last index run made is kept for the next curve of that length.
    static std::weak_ptr<const std::vector<double>> shared;
    auto run = shared.lock();
    if (!run || run->size() != static_cast<std::size_t>(count)) {
        auto made = std::make_shared<std::vector<double>>(static_cast<std::size_t>(count));
        for (int i = 0; i < count; ++i)
            (*made)[static_cast<std::size_t>(i)] = i;
        run = made;
        shared = run;
    }
    FValues = run;
}

TPlotListMember::TPlotListMember(const TPlotListMember& source)
    : X(source.X), Y(source.Y), Colour(source.Colour), Style(source.Style), Count(source.Count),
      CurveNumber(source.CurveNumber) {}

TPlotList::TPlotList(const TPlotList& source) {
    for (const TPlotListMember* m = source.FHead; m; m = m->Next) {
        auto* copy = new TPlotListMember(*m);
        copy->Next = FHead;
        FHead = copy;
    }
}

TPlotList::~TPlotList() {
    Clear();
}

void TPlotList::Clear() {
    while (FHead) {
        TPlotListMember* next = FHead->Next;
        delete FHead;
        FHead = next;
    }
}

bool TPlotList::Find(int curveNumber, TPlotListMember*& member) const {
    for (TPlotListMember* m = FHead; m; m = m->Next)
        if (m->CurveNumber == curveNumber) {
            member = m;
            return true;
        }
    return false;
}

namespace {
// A negative count or missing arrays give an empty curve rather than a bad copy.
std::vector<double> CopyValues(const double* values, int count) {
    if (!values || count <= 0)
        return {};
    return std::vector<double>(values, values + count);
}
} // namespace

bool TPlotList::AddOrReplace(const double* x, const double* y, int count, int curveNumber, TColor colour,
                             TMyPlotStyle style) {
    int n = std::max(0, count);
    if (!x || !y)
        n = 0;
    TPlotListMember* m = nullptr;
    if (Find(curveNumber, m)) {
        m->X = TXValues(x, n);
        m->Y = CopyValues(y, n);
        m->Count = n;
        return true;
    }
    m = new TPlotListMember;
    m->X = TXValues(x, n);
    m->Y = CopyValues(y, n);
    m->Count = n;
    m->CurveNumber = curveNumber;
    m->Colour = colour;
    m->Style = style;
    m->Next = FHead;
    FHead = m;
    return false;
}

void TPlotList::AppendFrom(const TPlotList& other) {
    if (&other == this)
        return;
    for (const TPlotListMember* m = other.FHead; m; m = m->Next)
        AddOrReplace(m->X.data(), m->Y.data(), m->Count, m->CurveNumber, m->Colour, m->Style);
}

bool TPlotList::Remove(int curveNumber) {
    TPlotListMember** link = &FHead;
    for (TPlotListMember* m = FHead; m; link = &m->Next, m = m->Next)
        if (m->CurveNumber == curveNumber) {
            *link = m->Next;
            delete m;
            return true;
        }
    return false;
}

} // namespace kv
