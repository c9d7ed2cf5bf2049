#include "plot/gPlotComponent.h"

#include "plot/gPlotLayoutManager.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace kv {

namespace {

// Axes drawn across the middle of the data view or on a value of another axis take no band.
bool PlotPaintIsCentred(const TgPlotLayoutObject* o) {
    auto* axis = dynamic_cast<const TgPlotAxis*>(o);
    return axis && axis->CartesianStyle() != TgPlotCartesianStyle::ipcsNone;
}

int PlotPaintRound(double value) {
    return gRoundSaturated(value); // to the nearest, halves to even
}

struct PlotPaintEnds {
    int start = 0, stop = 0;
};

// The room the list's objects need beyond their free (not stacked) ends.
PlotPaintEnds PlotPaintEndsMargins(TCanvas& canvas, const std::vector<TgPlotLayoutObject*>& list) {
    PlotPaintEnds ends;
    for (TgPlotLayoutObject* o : list) {
        if (PlotPaintIsCentred(o))
            continue;
        if (!o->StartStacked())
            ends.start = std::max(ends.start, o->GetRequiredEndsMargin(canvas));
        if (!o->StopStacked())
            ends.stop = std::max(ends.stop, o->GetRequiredEndsMargin(canvas));
    }
    return ends;
}

// Marks the ends where objects of one band meet.
void PlotPaintMarkStacking(const std::vector<TgPlotLayoutObject*>& list) {
    for (TgPlotLayoutObject* o : list) {
        o->SetStartStacked(false);
        o->SetStopStacked(false);
    }
    TgPlotLayoutObject* previous = nullptr;
    int z = -1;
    for (TgPlotLayoutObject* o : list) {
        if (PlotPaintIsCentred(o))
            continue;
        if (o->ForceStacking()) {
            o->SetStartStacked(true);
            o->SetStopStacked(true);
        } else if (o->ZOrder() == z) {
            if (previous)
                previous->SetStopStacked(true);
            o->SetStartStacked(true);
        } else {
            z = o->ZOrder();
        }
        previous = o;
    }
}

void PlotPaintSetAcross(TgPlotLayoutObject* o, bool horizontal, int from, int to) {
    TRect r = o->DrawRect();
    if (horizontal) {
        r.Top = from;
        r.Bottom = to;
    } else {
        r.Left = from;
        r.Right = to;
    }
    o->SetDrawRect(r);
}

void PlotPaintSetAlong(TgPlotLayoutObject* o, bool horizontal, int from, int to) {
    PlotPaintSetAcross(o, !horizontal, from, to);
}

// Removes the canvas clip however the drawing ends.
struct PlotPaintClip {
    explicit PlotPaintClip(TCanvas& c, const TRect& r) : canvas(c) { canvas.SetClipRect(&r); }
    ~PlotPaintClip() { canvas.SetClipRect(nullptr); }
    PlotPaintClip(const PlotPaintClip&) = delete;
    PlotPaintClip& operator=(const PlotPaintClip&) = delete;
    TCanvas& canvas;
};

} // namespace

int TgPlotComponent::LayerWidth(TCanvas& canvas, const std::vector<TgPlotLayoutObject*>& list, int zOrder) {
    int width = 0;
    for (TgPlotLayoutObject* o : list)
        if (o->ZOrder() == zOrder && !PlotPaintIsCentred(o))
            width = std::max(width, o->GetRequiredWidth(canvas));
    return width;
}

void TgPlotComponent::CalcLayout(TCanvas& canvas) {
    TgPlotLayoutManager* layout = LayoutManager();
    TgPlotDataView* dataView = GetFirstDataView();
    if (!layout || !dataView)
        return;
    const int b = BorderStyle() != TgBevelStyle::ibsNone ? 2 : 0;
    const int oml = FOuterMarginLeft, omt = FOuterMarginTop, omr = FOuterMarginRight,
              omb = FOuterMarginBottom;

    // 1. The visible objects of each side. The side lists are put in order first: a changed start
    // percentage moves an object within its band without asking for a new layout.
    layout->Rebuild();
    const auto visible = [](const TgPlotLayoutList& from, std::vector<TgPlotLayoutObject*>& to) {
        to.clear();
        for (const TgPlotLayoutListItem& item : from)
            if (item.Object->Visible())
                to.push_back(item.Object);
    };
    visible(layout->TopList(), FVisibleListTop);
    visible(layout->BottomList(), FVisibleListBottom);
    visible(layout->LeftList(), FVisibleListLeft);
    visible(layout->RightList(), FVisibleListRight);

    // 2. and 3. Stacked ends, and the room the free ends need.
    for (auto* list : {&FVisibleListTop, &FVisibleListBottom, &FVisibleListLeft, &FVisibleListRight})
        PlotPaintMarkStacking(*list);
    const PlotPaintEnds topEnds = PlotPaintEndsMargins(canvas, FVisibleListTop);
    const PlotPaintEnds bottomEnds = PlotPaintEndsMargins(canvas, FVisibleListBottom);
    const PlotPaintEnds leftEnds = PlotPaintEndsMargins(canvas, FVisibleListLeft);
    const PlotPaintEnds rightEnds = PlotPaintEndsMargins(canvas, FVisibleListRight);

    // 4. The thickness of each side: its bands, each as deep as its deepest member.
    const auto thickness = [&](const std::vector<TgPlotLayoutObject*>& list) {
        int total = 0;
        std::vector<int> seen;
        for (TgPlotLayoutObject* o : list)
            if (std::find(seen.begin(), seen.end(), o->ZOrder()) == seen.end()) {
                seen.push_back(o->ZOrder());
                total += LayerWidth(canvas, list, o->ZOrder());
            }
        return total;
    };
    int leftT = thickness(FVisibleListLeft), rightT = thickness(FVisibleListRight);
    int topT = thickness(FVisibleListTop), bottomT = thickness(FVisibleListBottom);

    // 5. Corners: the ends of one side's objects reach into the neighbouring sides.
    leftT = std::max({leftT, topEnds.start, bottomEnds.start});
    rightT = std::max({rightT, topEnds.stop, bottomEnds.stop});
    topT = std::max({topT, leftEnds.stop, rightEnds.stop});
    bottomT = std::max({bottomT, leftEnds.start, rightEnds.start});

    // 6. and 7. The inner rectangle; a toolbar alone on top leaves the vertical axes' ends their room.
    int topOffset = 0;
    if (FVisibleListTop.size() == 1 && dynamic_cast<TgPlotToolBar*>(FVisibleListTop.front()))
        topOffset = std::max({0, leftEnds.stop, rightEnds.stop});
    const int top = topT + b + omt + topOffset;
    const int left = leftT + b + oml;
    const int right = Width() - (rightT + b + omr) - 1;
    const int bottom = Height() - (bottomT + b + omb) - 1;

    // 8. The bands outward from the data view.
    const auto place = [&](const std::vector<TgPlotLayoutObject*>& list, bool reverse, int start, int offset,
                           int direction, bool horizontal) {
        int v = start, w = 0, z = -1;
        bool offsetDone = false;
        const auto one = [&](TgPlotLayoutObject* o) {
            if (!offsetDone && !dynamic_cast<TgPlotAxis*>(o)) {
                v += direction * offset;
                offsetDone = true;
            }
            if (o->ZOrder() != z) {
                v += direction * w;
                w = LayerWidth(canvas, list, o->ZOrder());
                z = o->ZOrder();
            }
            if (direction < 0)
                PlotPaintSetAcross(o, horizontal, v - w, v);
            else
                PlotPaintSetAcross(o, horizontal, v, v + w);
        };
        if (reverse)
            std::for_each(list.rbegin(), list.rend(), one);
        else
            std::for_each(list.begin(), list.end(), one);
    };
    place(FVisibleListLeft, true, left, 0, -1, false);
    place(FVisibleListRight, false, right, 0, +1, false);
    place(FVisibleListTop, false, top, topOffset, -1, true);
    for (TgPlotLayoutObject* o : FVisibleListTop)
        if (dynamic_cast<TgPlotToolBar*>(o))
            PlotPaintSetAcross(o, true, b, b + o->GetRequiredWidth(canvas));
    place(FVisibleListBottom, true, bottom, 0, +1, true);

    // 9. The data view takes the inner rectangle.
    dataView->SetDrawRect({left, top, right, bottom});

    // 10. Spans along the bands.
    const TRect dv = dataView->DrawRect();
    const int dvWidth = dv.Right - dv.Left, dvHeight = dv.Bottom - dv.Top;
    for (int i = 0; i < layout->Count(); ++i) {
        auto* o = dynamic_cast<TgPlotLayoutObject*>(layout->GetItem(i));
        if (!o || dynamic_cast<TgPlotDataViewLayout*>(o) || dynamic_cast<TgPlotDataView*>(o))
            continue;
        const double start = o->StartPercent() / 100, stop = o->StopPercent() / 100;
        const bool spanned =
            dynamic_cast<TgPlotLegend*>(o) || dynamic_cast<TgPlotTable*>(o) || dynamic_cast<TgPlotAxis*>(o);
        if (o->GetIsHorz()) {
            if (dynamic_cast<TgPlotToolBar*>(o)) {
                const double along = Width() - 2 * b;
                PlotPaintSetAlong(o, true, PlotPaintRound(start * along) + b,
                                  PlotPaintRound(stop * along) + b - 1);
            } else if (dynamic_cast<TgPlotLabel*>(o)) {
                const double along = Width() - b - oml - omr;
                PlotPaintSetAlong(o, true, PlotPaintRound(start * along) + b + oml,
                                  PlotPaintRound(stop * along) + b + oml);
            } else if (spanned) {
                PlotPaintSetAlong(o, true, PlotPaintRound(dvWidth * start) + dv.Left,
                                  PlotPaintRound(dvWidth * stop) + dv.Left);
            }
        } else if (spanned || dynamic_cast<TgPlotLabel*>(o)) {
            PlotPaintSetAlong(o, false, dv.Bottom - PlotPaintRound(dvHeight * stop),
                              dv.Bottom - PlotPaintRound(dvHeight * start));
        }
    }

    // 11. and 12. Centred axes: the master across the middle, a child on its reference's value.
    std::vector<TgPlotAxis*> axes;
    for (int i = 0; i < XAxisCount(); ++i)
        axes.push_back(GetXAxis(i));
    for (int i = 0; i < YAxisCount(); ++i)
        axes.push_back(GetYAxis(i));
    for (TgPlotAxis* axis : axes) {
        if (axis->CartesianStyle() == TgPlotCartesianStyle::ipcsMaster) {
            if (axis->GetIsHorz()) {
                const int y = (dv.Top + dv.Bottom) / 2;
                axis->SetDrawRect({dv.Left, y, dv.Right, y});
            } else {
                const int x = (dv.Left + dv.Right) / 2;
                axis->SetDrawRect({x, dv.Top, x, dv.Bottom});
            }
        } else if (axis->CartesianStyle() == TgPlotCartesianStyle::ipcsChild) {
            TgPlotAxis* reference = axis->GetCartesianRefAxis();
            if (!reference) {
                axis->SetDrawRect({0, 0, 0, 0});
                continue;
            }
            const int p = reference->PositionToPixels(axis->CartesianChildRefValue());
            if (axis->GetIsHorz())
                axis->SetDrawRect({dv.Left, p, dv.Right, p});
            else
                axis->SetDrawRect({p, dv.Top, p, dv.Bottom});
        }
    }

    // 13. Aligned axes take their reference's extent and stacked ends.
    for (TgPlotAxis* axis : axes)
        if (TgPlotAxis* reference = axis->GetAlignRefAxis()) {
            const TRect r = reference->DrawRect();
            if (axis->GetIsHorz())
                PlotPaintSetAlong(axis, true, r.Left, r.Right);
            else
                PlotPaintSetAlong(axis, false, r.Top, r.Bottom);
            axis->SetStartStacked(reference->StartStacked());
            axis->SetStopStacked(reference->StopStacked());
            axis->CalcScaleRect(canvas);
        }

    // 14. The data view fitted to the scales: the vertical extent from the axes drawn up the view.
    const bool reversed = XYAxesReverse();
    const auto fit = [&](int count, auto get, bool vertical, TRect& r) {
        int lo = vertical ? Height() : Width(), hi = 0;
        for (int i = 0; i < count; ++i) {
            TgPlotAxis* axis = get(i);
            axis->CalcScaleRect(canvas);
            const TRect& s = axis->ScaleRect();
            lo = std::min(lo, vertical ? s.Top : s.Left);
            hi = std::max(hi, vertical ? s.Bottom : s.Right);
        }
        if (vertical) {
            r.Top = lo;
            r.Bottom = hi;
        } else {
            r.Left = lo;
            r.Right = hi;
        }
    };
    TRect fitted = dataView->DrawRect();
    const auto xAxis = [this](int i) { return GetXAxis(i); };
    const auto yAxis = [this](int i) { return GetYAxis(i); };
    if (!reversed) {
        fit(YAxisCount(), yAxis, true, fitted);
        fit(XAxisCount(), xAxis, false, fitted);
    } else {
        fit(XAxisCount(), xAxis, true, fitted);
        fit(YAxisCount(), yAxis, false, fitted);
    }
    dataView->SetDrawRect(fitted);
}

void TgPlotComponent::gPaint(TCanvas& canvas) {
    // True exactly while the paint runs, however it ends.
    struct Active {
        bool& flag;
        explicit Active(bool& f) : flag(f) { flag = true; }
        ~Active() { flag = false; }
    } active(FPaintingActive);
    if (ToolBarCount() == 0 || LegendCount() == 0 || DataViewCount() == 0)
        return;
    TgPlotDataView* dataView = GetDataView(0);
    const TColor layerBackGround =
        dataView->BackgroundTransparent() ? BackGroundColor() : dataView->BackgroundColor();

    FAxesCollisionList.clear();
    FLayerList.clear();
    TgPlotLegend* legend = GetLegend(0);
    legend->SetCursorAllChannels(false);
    for (int i = 0; i < DataCursorCount(); ++i) {
        TgPlotDataCursor* cursor = GetDataCursor(i);
        cursor->UpdateValues();
        if (cursor->Visible() && SameText(cursor->ChannelName(), "<All>") && cursor->ChannelShowAllInLegend())
            legend->SetCursorAllChannels(true);
    }

    const auto ticks = [&] {
        for (int i = 0; i < XAxisCount(); ++i)
            GetXAxis(i)->CalcTicks(canvas);
        for (int i = 0; i < YAxisCount(); ++i)
            GetYAxis(i)->CalcTicks(canvas);
    };
    // The ticks decide the labels' room and the layout the scale lengths: each settles the other.
    ticks();
    CalcLayout(canvas);
    CalcLayout(canvas);
    ticks();

    for (int i = 0; i < ChannelCount(); ++i)
        GetChannel(i)->DrawSetup();
    for (int i = 0; i < XAxisCount(); ++i)
        GetXAxis(i)->DrawSetup();
    for (int i = 0; i < YAxisCount(); ++i)
        GetYAxis(i)->DrawSetup();

    for (int i = 0; i < AnnotationCount(); ++i) {
        GetAnnotation(i)->SetDataView(dataView);
        GetAnnotation(i)->SetXYAxesReversed(XYAxesReverse());
    }
    for (int i = 0; i < DataCursorCount(); ++i)
        GetDataCursor(i)->SetDataViewLink(dataView);

    // The data view's layer: by Layer, and within a layer band limits, the grid, other limits,
    // centred axes, channels and annotations.
    const auto add = [&](TgPlotObject* o, char kind) { FLayerList.push_back({o->GetLayerText() + kind, o}); };
    for (int i = 0; i < LimitCount(); ++i)
        if (GetLimit(i)->IsBelowGrid())
            add(GetLimit(i), 'A');
    add(dataView, 'B');
    for (int i = 0; i < LimitCount(); ++i)
        if (!GetLimit(i)->IsBelowGrid())
            add(GetLimit(i), 'C');
    for (int i = 0; i < YAxisCount(); ++i)
        if (GetYAxis(i)->CartesianStyle() != TgPlotCartesianStyle::ipcsNone)
            add(GetYAxis(i), 'D');
    for (int i = 0; i < XAxisCount(); ++i)
        if (GetXAxis(i)->CartesianStyle() != TgPlotCartesianStyle::ipcsNone)
            add(GetXAxis(i), 'E');
    for (int i = 0; i < ChannelCount(); ++i)
        if (GetChannel(i)->CanDraw())
            add(GetChannel(i), 'F');
    for (int i = 0; i < AnnotationCount(); ++i)
        add(GetAnnotation(i), 'G');
    std::stable_sort(FLayerList.begin(), FLayerList.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    const TRect dv = dataView->DrawRect();
    const TRect layerClip{dv.Left, dv.Top, dv.Right + 1, dv.Bottom + 1};
    // What lies below the first channel or annotation does not follow the data: it is the base layer.
    size_t baseCount = 0;
    while (baseCount < FLayerList.size() && FLayerList[baseCount].first.back() < 'F')
        ++baseCount;
    const auto drawLayer = [&](TCanvas& target, size_t from, size_t to) {
        for (size_t i = from; i < to; ++i) {
            PlotPaintClip clip(target, layerClip);
            FLayerList[i].second->Draw(target, layerBackGround);
        }
    };

    // The base layer is drawn apart and copied in, so that a kept one and a new one give the same
    // pixels and leave the canvas in the same state.
    canvas.EndPaint();
    std::vector<double> key = BaseLayerKey(canvas, baseCount);
    const bool keep = FPaintingToScreen && canvas.Target();
    std::unique_ptr<TBitmap> fresh;
    if (!keep || FBaseLayerStale || !FBaseLayer || key != FBaseLayerKey) {
        fresh = std::make_unique<TBitmap>();
        if (canvas.Target())
            fresh->Image() = canvas.Target()->copy(); // starts as the canvas does
        else
            fresh->SetSize(Width(), Height());
        TCanvas& b = *fresh->Canvas();
        b.Brush()->Assign(canvas.Brush());
        b.Pen()->Assign(canvas.Pen());
        b.Font()->Assign(canvas.Font());
        b.SetPenPos(canvas.PenPos());
        if (FBackGroundGradientEnabled) {
            const TRect all = Rect(0, 0, Width(), Height());
            PlotPaintClip clip(b, all);
            gGradientFill(b, all, FBackGroundGradientDirection, FBackGroundGradientStartColor,
                          FBackGroundGradientStopColor);
        } else {
            PaintBackGround(b, BackGroundColor());
        }
        dataView->FillBackground(b);
        drawLayer(b, 0, baseCount);
        b.EndPaint();
        if (keep) { // a paint elsewhere (export, printing, layout) leaves the screen's layer alone
            FBaseLayer = std::move(fresh);
            FBaseLayerKey = std::move(key);
            FBaseLayerStale = false;
        }
    }
    TBitmap& layer = fresh ? *fresh : *FBaseLayer;
    TCanvas& base = *layer.Canvas();
    const TRect all = Rect(0, 0, layer.Width(), layer.Height());
    canvas.CopyRect(all, base, all);
    canvas.Brush()->Assign(base.Brush());
    canvas.Pen()->Assign(base.Pen());
    canvas.Font()->Assign(base.Font());
    canvas.SetPenPos(base.PenPos());
    drawLayer(canvas, baseCount, FLayerList.size());
    dataView->DrawZoomBox(canvas);

    // The objects around the data view.
    canvas.Brush()->SetStyle(TBrushStyle::bsSolid);
    canvas.Brush()->SetColor(BackGroundColor());
    DrawBorder(canvas);
    for (int i = 0; i < XAxisCount(); ++i)
        if (GetXAxis(i)->CartesianStyle() == TgPlotCartesianStyle::ipcsNone)
            GetXAxis(i)->Draw(canvas, BackGroundColor());
    for (int i = 0; i < YAxisCount(); ++i)
        if (GetYAxis(i)->CartesianStyle() == TgPlotCartesianStyle::ipcsNone)
            GetYAxis(i)->Draw(canvas, BackGroundColor());
    for (int i = 0; i < LabelCount(); ++i)
        GetLabel(i)->Draw(canvas, BackGroundColor());
    for (int i = 0; i < ToolBarCount(); ++i)
        GetToolBar(i)->Draw(canvas, BackGroundColor());
    for (int i = 0; i < DataCursorCount(); ++i)
        GetDataCursor(i)->Draw(canvas, layerBackGround);
    for (int i = 0; i < LegendCount(); ++i)
        GetLegend(i)->Draw(canvas, BackGroundColor());
    for (int i = 0; i < TableCount(); ++i)
        GetTable(i)->Draw(canvas, BackGroundColor());

    // The hint above everything.
    if (FHintData.Visible) {
        canvas.SetFont(FHintsFont.get());
        canvas.Brush()->SetStyle(TBrushStyle::bsSolid);
        canvas.Brush()->SetColor(clInfoBk);
        canvas.Font()->SetColor(clInfoText);
        canvas.Pen()->SetStyle(TPenStyle::psClear);
        const TRect box{FHintData.Left, FHintData.Top, FHintData.Left + FHintData.Width,
                        FHintData.Top + FHintData.Height};
        canvas.FillRect(box);
        TRect used;
        gDrawRotatedText(canvas, FHintData.Text, box, TgRotationAngle::ira000,
                         TgAlignmentHorizontal::iahCenter, true, clInfoText, used);
        canvas.Pen()->SetStyle(TPenStyle::psSolid);
    }
    FHintShowing = FHintData.Visible;

    FPaintingActive = false;
    if (OnAfterPaint && !IsDestroying())
        OnAfterPaint(this);
}

void TgPlotComponent::Paint(TCanvas& canvas) {
    FPaintingToScreen = true;
    TgCustomComponent::Paint(canvas);
    FPaintingToScreen = false;
}

// Everything the base layer was drawn with that a channel's data may move: the canvas it starts from,
// the data view's place, the axes' places, scales and ticks, and which objects it holds.
std::vector<double> TgPlotComponent::BaseLayerKey(const TCanvas& canvas, size_t baseCount) {
    std::vector<double> key;
    const auto rect = [&](const TRect& r) { key.insert(key.end(), {double(r.Left), double(r.Top), double(r.Right), double(r.Bottom)}); };
    const QImage* target = canvas.Target();
    key.insert(key.end(), {double(Width()), double(Height()), double(Transparent()),
                           target ? double(target->format()) : -1.0, target ? double(target->width()) : -1.0,
                           target ? double(target->height()) : -1.0, double(baseCount)});
    for (size_t i = 0; i < baseCount; ++i)
        key.push_back(double(reinterpret_cast<std::uintptr_t>(FLayerList[i].second)));
    rect(GetDataView(0)->DrawRect());
    const auto axis = [&](const TgPlotAxis* a) {
        rect(a->DrawRect());
        key.insert(key.end(), {a->Min(), a->Span(), double(a->TickListCount())});
        for (int i = 0; i < a->TickListCount(); ++i) {
            const TgPlotTick& t = a->Tick(i);
            key.insert(key.end(), {t.Position, double(t.PositionPixels), double(t.Show),
                                   double(static_cast<int>(t.TickType))});
        }
    };
    for (int i = 0; i < XAxisCount(); ++i)
        axis(GetXAxis(i));
    for (int i = 0; i < YAxisCount(); ++i)
        axis(GetYAxis(i));
    return key;
}

void TgPlotComponent::ReCalcLayout() {
    if (Width() <= 0 || Height() <= 0)
        return;
    TBitmap scratch(Width(), Height());
    gPaint(*scratch.Canvas());
}

bool TgPlotComponent::CheckAxesCollision(const TRect& rect) {
    if (!FAxesCollisionList.empty()) {
        for (const TRect& o : FAxesCollisionList)
            if (rect.Left < o.Right && o.Left < rect.Right && rect.Top < o.Bottom && o.Top < rect.Bottom)
                return false;
        if (DataViewCount() != 0 && rect.Right > rect.Left && rect.Bottom > rect.Top) {
            const TRect dv = GetDataView(0)->DrawRect();
            const TRect united{std::min(dv.Left, rect.Left), std::min(dv.Top, rect.Top),
                               std::max(dv.Right, rect.Right), std::max(dv.Bottom, rect.Bottom)};
            if (!(united == dv))
                return false;
        }
    }
    FAxesCollisionList.push_back(rect);
    return true;
}

void TgPlotComponent::AddAxesCollisionRect(const TRect& rect) {
    FAxesCollisionList.push_back(rect);
}

} // namespace kv
