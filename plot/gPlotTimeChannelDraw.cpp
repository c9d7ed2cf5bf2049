// Drawing of the time-series channel: the range of points drawn, fill, bars, the trace styles, markers
// and the high-low glyphs.

#include "plot/gPlotTimeChannel.h"

#include "plot/gClasses.h"
#include "plot/gDraw.h"
#include "plot/gMath.h"
#include "plot/gPlotAxis.h"
#include "plot/gPlotDataView.h"

#include <algorithm>
#include <utility>

namespace kv {

// --- the drawn range

void TgPlotChannel::CalcStartIndex() {
    TgPlotAxis* xa = XAxis();
    const int n = Count();
    FStartIndex = -1;
    if (!xa || n == 0)
        return;
    int start;
    if (FDrawOutOfOrderXValues) {
        int i = 0;
        while (i < n && !xa->PointOnScale(GetDataX(i)))
            ++i;
        start = (i < n ? i : n - 1) - 1;
    } else if (FXIncreasing) {
        const int i = FindIndexIncreasing(xa->Min());
        start = GetDataX(i) > xa->Min() ? i - 1 : i;
    } else {
        const int i = FindIndexDecreasing(xa->Max());
        start = xa->Max() > GetDataX(i) ? i - 1 : i;
    }
    FStartIndex = std::clamp(start, 0, n - 1);
}

void TgPlotChannel::CalcStopIndex() {
    TgPlotAxis* xa = XAxis();
    const int n = Count();
    FStopIndex = -1;
    if (!xa || n == 0)
        return;
    int stop;
    if (FDrawOutOfOrderXValues) {
        int i = n - 1;
        while (i >= 0 && !xa->PointOnScale(GetDataX(i)))
            --i;
        stop = i < 0 ? -1 : i + 1;
    } else if (FXIncreasing) {
        const int i = FindIndexIncreasing(xa->Max());
        stop = xa->Max() > GetDataX(i) ? i + 1 : i;
    } else {
        const int i = FindIndexDecreasing(xa->Min());
        stop = GetDataX(i) > xa->Min() ? i + 1 : i;
    }
    FStopIndex = std::clamp(stop, 0, n - 1);
}

void TgPlotChannel::DrawSetup() {
    FCanDraw = false;
    TgPlotAxis* xa = XAxis();
    TgPlotAxis* ya = YAxis();
    if (!xa || !ya || !Visible() || Count() == 0)
        return;
    UpdateXIncreasing();
    if (!FDrawOutOfOrderXValues) {
        const bool reaches = FXIncreasing ? xa->Min() <= XLast() && XFirst() <= xa->Max()
                                          : XFirst() >= xa->Min() && XLast() <= xa->Max();
        if (!reaches)
            return;
    }
    CalcStartIndex();
    CalcStopIndex();
    if (FDigitalReferenceStyle == TgPlotDigitalReferenceStyle::ipdrPercent) {
        FPixelsHigh = ya->PositionToPixels(ya->Min() + ya->Span() * FDigitalReferenceHigh / 100);
        FPixelsLow = ya->PositionToPixels(ya->Min() + ya->Span() * FDigitalReferenceLow / 100);
    } else {
        FPixelsHigh = ya->PositionToPixels(FDigitalReferenceHigh);
        FPixelsLow = ya->PositionToPixels(FDigitalReferenceLow);
    }
    FPixelListStart = std::min(xa->MinPixels(), xa->MaxPixels());
    FPixelListStop = std::max(xa->MinPixels(), xa->MaxPixels());
    const std::size_t needed = std::size_t(FPixelListStop - FPixelListStart) + 1;
    if (FPixelList.size() < needed)
        FPixelList.resize(needed);
    for (TgPlotPixelPoint& p : FPixelList)
        p.Null = true;
    FCanDraw = true;
}

void TgPlotChannel::SetPixelPoint(int xPixel, double y) {
    if (xPixel < FPixelListStart || xPixel > FPixelListStop)
        throw EKvError("Pixel List XPixel out of Range");
    TgPlotPixelPoint& p = FPixelList[std::size_t(xPixel - FPixelListStart)];
    p.Null = false;
    p.XPixel = xPixel;
    p.YValue = y;
}

// --- paint

void TgPlotChannel::Draw(TCanvas& canvas, TColor backGroundColor) {
    DrawClippedToAxes(canvas, [&](bool reversed) {
        DrawFill(canvas, reversed, backGroundColor);
        DrawBars(canvas, reversed, backGroundColor);
        DrawTraceLine(canvas, reversed, backGroundColor);
        DrawMarkers(canvas, reversed, backGroundColor);
        if (FHighLowStyle == TgPlotHighLowStyle::iphlsOpenClose)
            DrawHighLowOpenClose(canvas, reversed, backGroundColor);
        else
            DrawHighLowCandleStick(canvas, reversed, backGroundColor);
    });
}

void TgPlotChannel::DrawFill(TCanvas& canvas, bool reversed, TColor) {
    if (!FillDrawn() || FInterpolationStyle != TgPlotInterpolationStyle::ipistStraightLine || FDigitalEnabled)
        return;
    canvas.Brush()->SetStyle(FFillStyle);
    canvas.Brush()->SetColor(FillBrushColor());
    canvas.Pen()->SetColor(FillBrushColor());
    canvas.Pen()->SetWidth(0);
    canvas.Pen()->SetStyle(TPenStyle::psClear);
    bool havePrevious = false;
    double px = 0, py = 0;
    for (int i = FStartIndex; i <= FStopIndex && i >= 0; ++i) {
        if (GetDataEmpty(i))
            continue;
        if (GetDataNull(i)) {
            havePrevious = false;
            continue;
        }
        const double x = GetDataX(i), y = GetDataY(i);
        if (havePrevious)
            DrawValuePolygon(canvas, reversed, {{x, FFillReference}, {x, y}, {px, py}, {px, FFillReference}});
        havePrevious = true;
        px = x;
        py = y;
    }
}

TRect TgPlotChannel::GetBarRect(int index) {
    const double w = GetDataBarWidth(index);
    const double x = GetDataX(index);
    return ValueRectToPixels(x + w / 2, GetDataY(index), x - w / 2, GetDataBarReference(index));
}

void TgPlotChannel::DrawBars(TCanvas& canvas, bool, TColor) {
    if (!FBarEnabled)
        return;
    for (int i = FStartIndex; i <= FStopIndex && i >= 0; ++i) {
        if (!GetDataValid(i) || !GetDataBarVisible(i))
            continue;
        canvas.Brush()->SetColor(FBarBrushUseChannelColor ? Color() : GetDataBarBrushColor(i));
        canvas.Pen()->SetColor(FBarPenUseChannelColor ? Color() : GetDataBarPenColor(i));
        canvas.Pen()->SetWidth(GetDataBarPenWidth(i));
        canvas.Pen()->SetStyle(GetDataBarPenStyle(i));
        canvas.Brush()->SetStyle(GetDataBarBrushStyle(i));
        TRect r = GetBarRect(i);
        if (r.Left == r.Right)
            ++r.Right;
        canvas.Rectangle(r);
    }
}

// --- trace

void TgPlotChannel::DrawTraceLine(TCanvas& canvas, bool reversed, TColor backgroundColor) {
    if (!TraceVisible())
        return;
    canvas.Pen()->SetColor(Color());
    canvas.Brush()->SetStyle(TBrushStyle::bsClear);
    canvas.Pen()->SetStyle(gPenStyleOf(TraceLineStyle()));
    canvas.Pen()->SetWidth(TraceLineWidth() == 1 ? 0 : TraceLineWidth());
    if (FDigitalEnabled) {
        DrawDigitalTrace(canvas, reversed);
        return;
    }
    switch (FInterpolationStyle) {
    case TgPlotInterpolationStyle::ipistStraightLine:
        if (FFastDrawEnabled)
            DrawTraceFast(canvas, reversed);
        else
            TgPlotChannelCustom::DrawTraceLine(canvas, reversed, backgroundColor);
        break;
    case TgPlotInterpolationStyle::ipistCubicSpline:
        DrawCubicSpline(canvas, reversed);
        break;
    case TgPlotInterpolationStyle::ipistPolynomial:
        DrawInterpolated(canvas, reversed, false);
        break;
    case TgPlotInterpolationStyle::ipistRational:
        DrawInterpolated(canvas, reversed, true);
        break;
    case TgPlotInterpolationStyle::ipistDifferential:
    case TgPlotInterpolationStyle::ipistDifferentialTerminated:
        DrawDifferential(canvas, reversed);
        break;
    }
}

void TgPlotChannel::DrawMinMaxColumns(TCanvas& canvas, bool reversed, const TgPlotMinMaxPoint& a,
                                      const TgPlotMinMaxPoint& b, const TgPlotMinMaxPoint& c) {
    if (!a.Empty && a.YMin != a.YMax)
        DrawClippedLine(canvas, reversed, false, a.XValue, a.YMax, a.XValue, a.YMin);
    if (!b.Empty && b.YMin != b.YMax)
        DrawClippedLine(canvas, reversed, false, b.XValue, b.YMax, b.XValue, b.YMin);
    if (!a.Empty && !b.Empty)
        DrawClippedLine(canvas, reversed, false, a.XValue, a.YLast, b.XValue, b.YFirst);
    if (!b.Empty && !c.Empty)
        DrawClippedLine(canvas, reversed, false, b.XValue, b.YLast, c.XValue, c.YFirst);
}

void TgPlotChannel::DrawTraceFast(TCanvas& canvas, bool reversed) {
    TgPlotAxis* xa = XAxis();
    if (!xa || FStartIndex == FStopIndex || FStartIndex < 0)
        return;
    // Three pixel columns: every column with several points becomes one vertical line.
    TgPlotMinMaxPoint a, b, c;
    for (int i = FStartIndex; i <= FStopIndex; ++i) {
        double x = 0, y = 0;
        bool empty = false, null = false;
        GetXYEmptyNull(i, x, y, empty, null);
        if (empty)
            continue;
        if (null) {
            DrawMinMaxColumns(canvas, reversed, a, b, c);
            a.Clear();
            b.Clear();
            c.Clear();
            continue;
        }
        const int p = xa->PositionToPixels(x);
        if (a.Empty || p == a.XPixels) {
            a.AddData(p, x, y);
        } else if (b.Empty || p == b.XPixels) {
            b.AddData(p, x, y);
        } else {
            c.AddData(p, x, y);
            DrawMinMaxColumns(canvas, reversed, a, b, c);
            a.AssignDown(c);
            b.Clear();
            c.Clear();
        }
    }
    DrawMinMaxColumns(canvas, reversed, a, b, c);
}

void TgPlotChannel::DrawColumns(TCanvas& canvas, bool reversed, double x1, double xn,
                                const std::function<double(double)>& interpolant) {
    TgPlotAxis* xa = XAxis();
    const double xMin = xa->Min(), xMax = xa->Max();
    x1 = std::max(x1, xMin);
    xn = std::min(xn, xMax);
    // A run wholly outside the axis has no column to draw; its columns would lie off the pixel list.
    if (x1 > xn)
        return;
    int pa = xa->PositionToPixels(x1), pb = xa->PositionToPixels(xn);
    if (pa > pb)
        std::swap(pa, pb);
    canvas.Brush()->SetStyle(FFillStyle);
    canvas.Brush()->SetColor(FillBrushColor());
    double lastX = 0, lastY = 0;
    for (int p = pa; p <= pb; ++p) {
        const double x = xa->PixelsToPosition(p);
        const double y = interpolant(x);
        if (FillDrawn()) {
            canvas.Pen()->SetColor(FillBrushColor());
            DrawClippedLine(canvas, reversed, false, x, y, x, FFillReference);
            canvas.Pen()->SetColor(Color());
        }
        if (p != pa)
            DrawClippedLine(canvas, reversed, false, lastX, lastY, x, y);
        // The column itself: mapping x back to pixels could land one off at the axis ends.
        SetPixelPoint(p, y);
        lastX = x;
        lastY = y;
    }
}

void TgPlotChannel::DrawSplineRun(TCanvas& canvas, bool reversed, const std::vector<double>& x,
                                  const std::vector<double>& y, int n) {
    if (n < 2)
        return;
    std::vector<double> y2;
    gSpline(x, y, n, 0, 0, y2);
    DrawColumns(canvas, reversed, x[1], x[std::size_t(n)], [&](double v) { return gSplint(x, y, y2, n, v); });
}

void TgPlotChannel::DrawCubicSpline(TCanvas& canvas, bool reversed) {
    const int count = Count();
    if (count < 2 || !XAxis())
        return;
    // Runs of valid points between null points, each its own curve.
    std::vector<double> x{0}, y{0};
    for (int i = 0; i < count; ++i) {
        if (GetDataEmpty(i))
            continue;
        if (GetDataNull(i)) {
            DrawSplineRun(canvas, reversed, x, y, int(x.size()) - 1);
            x.assign(1, 0);
            y.assign(1, 0);
            continue;
        }
        x.push_back(GetDataX(i));
        y.push_back(GetDataY(i));
    }
    DrawSplineRun(canvas, reversed, x, y, int(x.size()) - 1);
}

void TgPlotChannel::DrawInterpolated(TCanvas& canvas, bool reversed, bool rational) {
    const int n = Count();
    if (n < 2 || !XAxis())
        return;
    std::vector<double> x(std::size_t(n) + 1), y(std::size_t(n) + 1);
    for (int i = 0; i < n; ++i) {
        x[std::size_t(i) + 1] = GetDataX(i);
        y[std::size_t(i) + 1] = GetDataY(i);
    }
    DrawColumns(canvas, reversed, x[1], x[std::size_t(n)], [&](double v) {
        double result = 0, dy = 0;
        if (rational)
            gRationalInterpolate(x, y, n, v, result, dy);
        else
            gPolynomialInterpolate(x, y, n, v, result, dy);
        return result;
    });
}

void TgPlotChannel::DrawDifferential(TCanvas& canvas, bool reversed) {
    if (Count() == 0 || FStartIndex < 0)
        return;
    canvas.Brush()->SetStyle(FFillStyle);
    canvas.Brush()->SetColor(FillBrushColor());
    double px = 0, py = 0;
    bool broken = true;
    auto fill = [&](double toX) {
        if (!FillDrawn())
            return;
        canvas.Pen()->SetColor(FillBrushColor());
        DrawValuePolygon(canvas, reversed,
                         {{px, FFillReference}, {px, py}, {toX, py}, {toX, FFillReference}});
        canvas.Pen()->SetColor(Color());
    };
    for (int i = FStartIndex; i <= FStopIndex; ++i) {
        if (GetDataEmpty(i))
            continue;
        const double x = GetDataX(i);
        if (GetDataNull(i)) {
            if (!broken) {
                fill(x);
                DrawClippedLine(canvas, reversed, false, px, py, x, py);
            }
            broken = true;
            continue;
        }
        const double y = GetDataY(i);
        if (broken) {
            broken = false;
        } else {
            fill(x);
            DrawClippedLine(canvas, reversed, false, px, py, x, py);
            DrawClippedLine(canvas, reversed, false, x, py, x, y);
        }
        px = x;
        py = y;
    }
    if (FInterpolationStyle == TgPlotInterpolationStyle::ipistDifferential && !broken) {
        canvas.Pen()->SetColor(Color());
        DrawClippedLine(canvas, reversed, false, px, py, XAxis()->Max(), py);
    }
}

// --- digital trace

void TgPlotChannel::DrawDigitalSegment(TCanvas& canvas, bool reversed, TDigitalSequenceData& s) {
    canvas.Brush()->SetStyle(FFillStyle);
    canvas.Brush()->SetColor(FillBrushColor());
    const bool percent = FDigitalReferenceStyle == TgPlotDigitalReferenceStyle::ipdrPercent;
    const double level = s.StartYValue ? FDigitalReferenceHigh : FDigitalReferenceLow;
    const double other = s.StartYValue ? FDigitalReferenceLow : FDigitalReferenceHigh;
    if (s.TransitionSet) {
        if (FFillEnabled) {
            canvas.Pen()->SetColor(FillBrushColor());
            DrawValuePolygon(canvas, reversed,
                             {{s.TransitionXValue, FFillReference},
                              {s.TransitionXValue, level},
                              {s.StartXValue, level},
                              {s.StartXValue, FFillReference}});
            canvas.Pen()->SetColor(Color());
        }
        DrawClippedLine(canvas, reversed, percent, s.StartXValue, level, s.TransitionXValue, level);
        DrawClippedLine(canvas, reversed, percent, s.TransitionXValue, level, s.TransitionXValue, other);
    } else if (s.StartSet && s.StopSet) {
        if (FFillEnabled) {
            canvas.Pen()->SetColor(Color());
            DrawValuePolygon(canvas, reversed,
                             {{s.StopXValue, FFillReference},
                              {s.StopXValue, level},
                              {s.StartXValue, level},
                              {s.StartXValue, FFillReference}});
        }
        DrawClippedLine(canvas, reversed, percent, s.StartXValue, level, s.StopXValue, level);
    }
    s.Clear();
}

void TgPlotChannel::DrawDigitalTrace(TCanvas& canvas, bool reversed) {
    if (FStopIndex == FStartIndex || FStartIndex < 0)
        return;
    TDigitalSequenceData s;
    s.Clear();
    for (int i = FStartIndex; i <= FStopIndex; ++i) {
        if (GetDataEmpty(i))
            continue;
        if (GetDataNull(i)) {
            DrawDigitalSegment(canvas, reversed, s);
            continue;
        }
        const double x = GetDataX(i);
        const bool high = GetDataY(i) != 0;
        if (!s.StartSet) {
            s.StartSet = true;
            s.StartXValue = x;
            s.StartYValue = high;
        } else if (high == s.StartYValue) {
            s.StopSet = true;
            s.StopXValue = x;
        } else {
            s.TransitionSet = true;
            s.TransitionXValue = x;
            DrawDigitalSegment(canvas, reversed, s);
            s.StartSet = true;
            s.StartXValue = x;
            s.StartYValue = high;
        }
    }
    DrawDigitalSegment(canvas, reversed, s);
}

// --- markers

void TgPlotChannel::DrawMarkers(TCanvas& canvas, bool reversed, TColor backgroundColor) {
    if (FStartIndex == -1 || FStopIndex == -1 || !MarkersVisible())
        return;
    if (!FDigitalEnabled) {
        TgPlotChannelCustom::DrawMarkers(canvas, reversed, backgroundColor);
        return;
    }
    TgPlotAxis* xa = XAxis();
    TgPlotAxis* ya = YAxis();
    if (!xa || !ya)
        return;
    canvas.SetFont(MarkersFont());
    // A digital point's marker sits on the level it reads.
    for (int i = FStartIndex; i <= FStopIndex; ++i) {
        if (!GetDataValid(i) || !GetDataMarkerVisible(i) || !xa->ValueOnScale(GetDataX(i)) ||
            !ya->ValueOnScale(GetDataY(i)))
            continue;
        TPoint p{xa->PositionToPixels(GetDataX(i)), GetDataY(i) != 0 ? FPixelsHigh : FPixelsLow};
        if (reversed)
            std::swap(p.X, p.Y);
        DrawMarker(canvas, i, backgroundColor, p);
    }
}

// --- high-low glyphs

void TgPlotChannel::DrawHighLowOpenClose(TCanvas& canvas, bool reversed, TColor) {
    TgPlotAxis* xa = XAxis();
    TgPlotAxis* ya = YAxis();
    if (!FHighLowEnabled || !xa || !ya || FStartIndex < 0)
        return;
    canvas.Pen()->SetWidth(0);
    canvas.Pen()->SetStyle(TPenStyle::psSolid);
    canvas.Brush()->SetStyle(TBrushStyle::bsSolid);
    auto rect = [&](int x1, int y1, int x2, int y2) {
        canvas.Rectangle(gSwapRect(reversed, x1, y1, x2, y2));
    };
    for (int i = FStartIndex; i <= FStopIndex; ++i) {
        if (!GetDataValid(i))
            continue;
        const int w = xa->WidthToPixels(FHighLowBarWidth);
        const int x = xa->PositionToPixels(GetDataX(i));
        const int yl = ya->PositionToPixels(GetDataLow(i));
        int yh = ya->PositionToPixels(GetDataHigh(i));
        const int right = x + w - w / 2;
        const int left = w == 0 ? x + 1 : x - w / 2;
        if (yl == yh)
            yh = yl + 1;
        const int m = (left + right) / 2;
        // A tick across the bar's middle at the price, of the given size and colour.
        auto tick = [&](double width, double height, double price, TColor color, bool before) {
            const int o = xa->WidthToPixels(width);
            const int t = ya->WidthToPixels(height);
            const int a = ya->PositionToPixels(price);
            const int top = a - t / 2;
            int bottom = a + t - t / 2 - 1;
            if (bottom == top)
                bottom = top + 1;
            canvas.Brush()->SetColor(color);
            canvas.Pen()->SetColor(color);
            if (before)
                rect(m - o + 1, bottom, o == 1 ? m + 1 : m, top);
            else
                rect(m, bottom, o == 1 ? m + 1 : m + o - 1, top);
        };
        if (FHighLowOpenShow)
            tick(FHighLowOpenWidth, FHighLowOpenHeight, GetDataOpen(i), FHighLowOpenColor, true);
        if (FHighLowCloseShow)
            tick(FHighLowCloseWidth, FHighLowCloseHeight, GetDataClose(i), FHighLowCloseColor, false);
        canvas.Brush()->SetColor(FHighLowBarColor);
        canvas.Pen()->SetColor(FHighLowBarColor);
        rect(right, yl, left, yh);
    }
}

void TgPlotChannel::DrawHighLowCandleStick(TCanvas& canvas, bool reversed, TColor) {
    TgPlotAxis* xa = XAxis();
    TgPlotAxis* ya = YAxis();
    if (!FHighLowEnabled || !xa || !ya || FStartIndex < 0)
        return;
    canvas.Pen()->SetWidth(0);
    canvas.Pen()->SetStyle(TPenStyle::psSolid);
    canvas.Brush()->SetStyle(TBrushStyle::bsSolid);
    for (int i = FStartIndex; i <= FStopIndex; ++i) {
        if (!GetDataValid(i))
            continue;
        canvas.Pen()->SetColor(FHighLowShadowColor);
        const int x = xa->PositionToPixels(GetDataX(i));
        TPoint a{x, ya->PositionToPixels(GetDataHigh(i))}, b{x, ya->PositionToPixels(GetDataLow(i))};
        if (reversed) {
            std::swap(a.X, a.Y);
            std::swap(b.X, b.Y);
        }
        canvas.MoveTo(a.X, a.Y);
        canvas.LineTo(b.X, b.Y);
        const int g = xa->WidthToPixels(FHighLowBarWidth) / 2;
        const int open = ya->PositionToPixels(GetDataOpen(i));
        int close = ya->PositionToPixels(GetDataClose(i));
        if (close == open)
            ++close;
        canvas.Brush()->SetColor(GetDataOpen(i) > GetDataClose(i) ? FHighLowBearishColor
                                                                  : FHighLowBullishColor);
        canvas.Rectangle(gSwapRect(reversed, x + g + 1, open, x - g, close));
    }
}

} // namespace kv
