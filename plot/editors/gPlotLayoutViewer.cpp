#include "plot/editors/gPlotLayoutViewer.h"

#include "plot/gDraw.h"
#include "plot/gPlotManagers.h"
#include "plot/gPlotTable.h"
#include "plot/gPlotTranslation.h"

#include <cmath>

namespace kv {

KV_REGISTER_CLASS(TgPlotLayoutViewer, TgCustomComponent, b) {
    (void)b;
}

namespace {

int LvRound(double v) {
    return int(std::lround(v));
}
bool LvIsDataView(const TObject* o) {
    return gObjectIsOfClass(o, "TgPlotDataView");
}
bool LvIsPlaceholder(const TObject* o) {
    return dynamic_cast<const TgPlotDataViewLayout*>(o) != nullptr;
}
bool LvIsAxis(const TObject* o) {
    return gObjectIsOfClass(o, "TgPlotAxis") || gObjectIsOfClass(o, "TgPlotXAxis") ||
           gObjectIsOfClass(o, "TgPlotYAxis");
}
bool LvIsLabel(const TObject* o) {
    return gObjectIsOfClass(o, "TgPlotLabel");
}
bool LvIsLegend(const TObject* o) {
    return gObjectIsOfClass(o, "TgPlotLegend");
}
bool LvIsToolBar(const TObject* o) {
    return gObjectIsOfClass(o, "TgPlotToolBar");
}
bool LvIsSizable(const TObject* o) {
    return LvIsAxis(o) || LvIsLabel(o) || LvIsLegend(o) || gObjectIsOfClass(o, "TgPlotTable");
}
// Pairs that may share a band, so that the middle of a band means "merge".
bool LvMayMerge(const TObject* a, const TObject* b) {
    return (LvIsAxis(a) && LvIsAxis(b)) || (LvIsLabel(a) && LvIsLabel(b)) ||
           (LvIsLabel(a) && LvIsLegend(b)) || (LvIsLegend(a) && LvIsLabel(b));
}
bool LvContains(const TRect& r, int x, int y) {
    return x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom;
}

} // namespace

TgPlotLayoutViewer::TgPlotLayoutViewer(TComponent* owner)
    : TgCustomComponent(owner), FFont(std::make_unique<TFont>()) {
    FFont->SetName("Arial");
    FFont->SetSize(10);
}

TgPlotLayoutViewer::~TgPlotLayoutViewer() = default;

void TgPlotLayoutViewer::SetLayoutManager(TgPlotLayoutManager* value) {
    FLayoutManager = value;
    FSelectedBlock = FResizeBlock = FOverLayoutObject = nullptr;
    FDragOverRefBlock2 = nullptr;
    FEditMode = TgLayoutEditMode::ilemNone;
    FMouseDown = false;
    Invalidate();
}

void TgPlotLayoutViewer::CalcBlocks() {
    FViewRect = {5, 5, Width() - 5, Height() - 5};
    if (!FLayoutManager)
        return;
    TBitmap scratch(1, 1);
    scratch.Canvas()->SetFont(FFont.get());
    FCellWidth = LvRound(scratch.Canvas()->TextHeight("ABC") * 1.1);
    const int c = FCellWidth;
    const TgPlotLayoutManager& m = *FLayoutManager;
    const int nl = m.LeftUniqueCount(), nr = m.RightUniqueCount(), nt = m.TopUniqueCount(),
              nb = m.BottomUniqueCount();
    FDataViewRect = {FViewRect.Left + nl * c, FViewRect.Top + nt * c, FViewRect.Right - nr * c,
                     FViewRect.Bottom - nb * c};
    FDataViewWidth = FDataViewRect.Width();
    FDataViewHeight = FDataViewRect.Height();
    const TRect& dv = FDataViewRect;

    // While a drag points at a band its cell must stay where it is.
    if (!FDragOverRefBlock2) {
        FBlockList.clear();
        auto add = [this](TRect r, int z, bool horizontal, bool dataView, bool toolBar) {
            FBlockList.push_back(
                std::make_unique<TBlockObject>(TBlockObject{r, z, horizontal, dataView, toolBar}));
        };
        int z = 0;
        for (int i = 0; i < nl; ++i)
            add({FViewRect.Left + i * c, dv.Top, FViewRect.Left + (i + 1) * c, dv.Bottom}, z++, false, false,
                false);
        add(dv, z++, false, true, false);
        for (int i = 0; i < nr; ++i)
            add({dv.Right + i * c, dv.Top, dv.Right + (i + 1) * c, dv.Bottom}, z++, false, false, false);
        for (int i = 0; i < nt; ++i)
            add({FViewRect.Left, FViewRect.Top + i * c, FViewRect.Right, FViewRect.Top + (i + 1) * c},
                nt + nb - i, true, false, i == 0);
        add({FViewRect.Left, dv.Top, FViewRect.Right, dv.Bottom}, nb, true, true, false);
        for (int i = 0; i < nb; ++i)
            add({FViewRect.Left, dv.Bottom + i * c, FViewRect.Right, dv.Bottom + (i + 1) * c}, nb - 1 - i,
                true, false, false);
    }

    const int zh = m.DataViewHorz() ? m.DataViewHorz()->ZOrder() : 0;
    const int zv = m.DataViewVert() ? m.DataViewVert()->ZOrder() : 0;
    for (int i = 0; i < m.Count(); ++i) {
        auto* o = dynamic_cast<TgPlotLayoutObject*>(m.GetItem(i));
        if (!o)
            continue;
        if (LvIsDataView(o) || LvIsPlaceholder(o)) {
            o->SetLayoutRect(dv);
            continue;
        }
        const int z = o->ZOrder();
        TRect r;
        if (o->IsHorz()) {
            if (z > zh) {
                r.Top = dv.Top - (z - zh) * c;
                r.Bottom = dv.Top - (z - zh - 1) * c;
            } else {
                r.Top = dv.Bottom + (zh - z - 1) * c;
                r.Bottom = dv.Bottom + (zh - z) * c;
            }
            if (LvIsAxis(o)) {
                r.Left = dv.Left + LvRound(FDataViewWidth * o->StartPercent() / 100);
                r.Right = dv.Left + LvRound(FDataViewWidth * o->StopPercent() / 100);
            } else {
                r.Left = FViewRect.Left;
                r.Right = FViewRect.Right;
            }
        } else {
            if (z > zv) {
                r.Left = dv.Right + (z - zv - 1) * c;
                r.Right = dv.Right + (z - zv) * c;
            } else {
                r.Left = dv.Left - (zv - z) * c;
                r.Right = dv.Left - (zv - z - 1) * c;
            }
            r.Top = dv.Bottom - LvRound(FDataViewHeight * o->StopPercent() / 100);
            r.Bottom = dv.Bottom - LvRound(FDataViewHeight * o->StartPercent() / 100);
        }
        o->SetLayoutRect(r);
    }
}

TRect TgPlotLayoutViewer::InsertMarker(const TBlockObject& cell) const {
    const int half = FCellWidth / 2;
    const bool below = FInsertDirection == TgInsertDirection::iidBelow;
    const bool above = FInsertDirection == TgInsertDirection::iidAbove;
    TRect r = cell.ARect;
    if (cell.DataView) {
        // The one-cell strip on the chosen side of the data view.
        if (cell.Horizontal) {
            const int edge = below ? FDataViewRect.Bottom : FDataViewRect.Top;
            return {FViewRect.Left, edge - half, FViewRect.Right, edge - half + FCellWidth};
        }
        const int edge = below ? FDataViewRect.Left : FDataViewRect.Right;
        return {edge - half, FDataViewRect.Top, edge - half + FCellWidth, FDataViewRect.Bottom};
    }
    int dx = 0, dy = 0;
    if (cell.Horizontal)
        dy = below ? half : above ? -half - 1 : 0;
    else
        dx = below ? -half : above ? half + 1 : 0;
    return {r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy};
}

void TgPlotLayoutViewer::gPaint(TCanvas& canvas) {
    CalcBlocks();
    canvas.Brush()->SetStyle(TBrushStyle::bsSolid);
    canvas.Brush()->SetColor(clBlue);
    canvas.FillRect(ClientRect());
    canvas.Brush()->SetColor(clWhite);
    canvas.FillRect(FViewRect);
    if (!FLayoutManager)
        return;
    canvas.SetFont(FFont.get());
    for (int i = 0; i < FLayoutManager->Count(); ++i) {
        auto* o = dynamic_cast<TgPlotLayoutObject*>(FLayoutManager->GetItem(i));
        if (!o || LvIsDataView(o) || o == FLayoutManager->DataViewVert())
            continue;
        canvas.Pen()->SetStyle(TPenStyle::psClear);
        canvas.Brush()->SetColor(o == FSelectedBlock ? clYellow : clSilver);
        canvas.Brush()->SetStyle(o->Visible() ? TBrushStyle::bsSolid : TBrushStyle::bsDiagCross);
        canvas.SetBkMode(false, clWhite);
        canvas.FillRect(o->LayoutRect());
        std::string name = o->Name();
        if (FTranslationManager)
            name = FTranslationManager->FindReplacement(name);
        TRect textRect;
        canvas.Brush()->SetStyle(TBrushStyle::bsClear);
        gDrawRotatedText(canvas, name, o->LayoutRect(),
                         o->IsVert() ? TgRotationAngle::ira090 : TgRotationAngle::ira000,
                         TgAlignmentHorizontal::iahCenter, true, clBlack, textRect);
    }
    canvas.Pen()->SetStyle(TPenStyle::psSolid);
    canvas.Pen()->SetColor(clBlack);
    canvas.Pen()->SetWidth(2);
    canvas.Brush()->SetStyle(TBrushStyle::bsClear);
    if (FOverLayoutObject)
        canvas.Rectangle(FOverLayoutObject->LayoutRect());
    else if (FDragOverRefBlock2)
        canvas.Rectangle(InsertMarker(*FDragOverRefBlock2));
    canvas.Pen()->SetWidth(1);
}

TgPlotLayoutObject* TgPlotLayoutViewer::GetMouseOverBlock(int x, int y) {
    if (!FLayoutManager)
        return nullptr;
    for (int i = 0; i < FLayoutManager->Count(); ++i) {
        auto* o = dynamic_cast<TgPlotLayoutObject*>(FLayoutManager->GetItem(i));
        if (o && !LvIsPlaceholder(o) && LvContains(o->LayoutRect(), x, y))
            return o;
    }
    return nullptr;
}

TBlockObject* TgPlotLayoutViewer::GetMouseOverBlock2(int x, int y) {
    const int c = FCellWidth;
    for (const auto& cell : FBlockList) {
        TRect r = cell->ARect;
        if (!LvContains(r, x, y))
            continue;
        if (cell->DataView) {
            const bool strip = cell->Horizontal ? (y < r.Top + c || y >= r.Bottom - c)
                                                : (x < r.Left + c || x >= r.Right - c);
            if (!strip)
                continue;
        } else if (cell->ToolBar && y < r.Top + r.Height() / 2) {
            continue;
        }
        return cell.get();
    }
    return nullptr;
}

std::vector<TgPlotLayoutObject*> TgPlotLayoutViewer::BandObjects(const TBlockObject& cell) const {
    std::vector<TgPlotLayoutObject*> band;
    if (!FLayoutManager)
        return band;
    for (int i = 0; i < FLayoutManager->Count(); ++i) {
        auto* o = dynamic_cast<TgPlotLayoutObject*>(FLayoutManager->GetItem(i));
        if (!o || o == FSelectedBlock || LvIsDataView(o))
            continue;
        if (o->IsHorz() == cell.Horizontal && o->ZOrder() == cell.ZOrder)
            band.push_back(o);
    }
    return band;
}

void TgPlotLayoutViewer::gMouseDown(TMouseButton, TShiftState shift, int x, int y) {
    TgPlotLayoutObject* o = FResizeBlock ? FResizeBlock : GetMouseOverBlock(x, y);
    if (!o || LvIsDataView(o) || LvIsToolBar(o))
        return;
    FSelectedBlock = o;
    FMouseDown = true;
    FMouseDownX = x;
    FMouseDownY = y;
    if (!shift.Contains(TShiftItem::ssLeft))
        FInsertDirection = TgInsertDirection::iidMerge;
    if (FResizeBlock) {
        FEditMode = TgLayoutEditMode::ilemSize;
        FMouseDownStartPercent = o->StartPercent();
        FMouseDownStopPercent = o->StopPercent();
    } else {
        FEditMode = TgLayoutEditMode::ilemDrag;
    }
    Invalidate();
}

void TgPlotLayoutViewer::DragOver(int x, int y) {
    TgPlotLayoutObject* over = GetMouseOverBlock(x, y);
    FOverLayoutObject = over && !LvIsDataView(over) && over != FSelectedBlock &&
                                over->IsHorz() == FSelectedBlock->IsHorz() &&
                                over->ZOrder() == FSelectedBlock->ZOrder()
                            ? over
                            : nullptr;
    TBlockObject* cell = GetMouseOverBlock2(x, y);
    // Axes keep their orientation.
    if (cell && LvIsAxis(FSelectedBlock) && cell->Horizontal != FSelectedBlock->IsHorz())
        cell = nullptr;
    FDragOverRefBlock2 = cell;
    if (!cell)
        return;
    const std::vector<TgPlotLayoutObject*> band = BandObjects(*cell);
    if (band.empty())
        return;
    const TRect& r = cell->ARect;
    if (LvMayMerge(FSelectedBlock, band.front())) {
        if (cell->ToolBar) {
            if (y >= r.Top + 2 * r.Height() / 3)
                FInsertDirection = TgInsertDirection::iidBelow;
            else
                FDragOverRefBlock2 = nullptr;
        } else if (cell->Horizontal) {
            FInsertDirection = y >= r.Top + 2 * r.Height() / 3 ? TgInsertDirection::iidBelow
                               : y < r.Top + r.Height() / 3    ? TgInsertDirection::iidAbove
                                                               : TgInsertDirection::iidMerge;
        } else {
            FInsertDirection = x < r.Left + r.Width() / 3        ? TgInsertDirection::iidBelow
                               : x >= r.Left + 2 * r.Width() / 3 ? TgInsertDirection::iidAbove
                                                                 : TgInsertDirection::iidMerge;
        }
    } else if (cell->Horizontal) {
        FInsertDirection =
            y >= r.Top + r.Height() / 2 ? TgInsertDirection::iidBelow : TgInsertDirection::iidAbove;
    } else {
        FInsertDirection =
            x < r.Left + r.Width() / 2 ? TgInsertDirection::iidBelow : TgInsertDirection::iidAbove;
    }
}

void TgPlotLayoutViewer::gMouseMove(TShiftState shift, int x, int y) {
    if (FEditMode == TgLayoutEditMode::ilemNone) {
        FResizeBlock = nullptr;
        TgPlotLayoutObject* o = GetMouseOverBlock(x, y);
        if (o && LvIsSizable(o)) {
            const TRect r = o->LayoutRect();
            const bool horz = o->IsHorz();
            const int startEnd = horz ? r.Left : r.Bottom, stopEnd = horz ? r.Right : r.Top;
            const int at = horz ? x : y;
            if (std::abs(at - startEnd) <= 6) {
                FResizeBlock = o;
                FSizingSide = TgLayoutSizingSide::ilssStart;
            } else if (std::abs(at - stopEnd) <= 6) {
                FResizeBlock = o;
                FSizingSide = TgLayoutSizingSide::ilssStop;
            }
        }
        SetCursor(!FResizeBlock ? crDefault : FResizeBlock->IsHorz() ? crSizeWE : crSizeNS);
        return;
    }
    if (!shift.Contains(TShiftItem::ssLeft))
        return;
    if (FEditMode == TgLayoutEditMode::ilemDrag) {
        DragOver(x, y);
    } else if (FResizeBlock) {
        const bool horz = FResizeBlock->IsHorz();
        const int extent = horz ? FDataViewWidth : FDataViewHeight;
        if (extent <= 0)
            return;
        const int travel = horz ? x - FMouseDownX : FMouseDownY - y;
        const double percent = std::round(100.0 * travel / extent / 1.25) * 1.25;
        if (FSizingSide == TgLayoutSizingSide::ilssStart)
            FResizeBlock->SetStartPercent(FMouseDownStartPercent + percent);
        else
            FResizeBlock->SetStopPercent(FMouseDownStopPercent + percent);
    }
    Invalidate();
}

void TgPlotLayoutViewer::Changed() {
    if (OnChange)
        OnChange(this);
}

void TgPlotLayoutViewer::DropOnBand() {
    TBlockObject& cell = *FDragOverRefBlock2;
    const std::vector<TgPlotLayoutObject*> band = BandObjects(cell);
    TgPlotLayoutObject* sel = FSelectedBlock;
    // A band holding no other block offers no level to join (the block's own band, once it is left out).
    if (band.empty())
        return;
    if (cell.Horizontal == sel->IsHorz()) {
        if (FInsertDirection == TgInsertDirection::iidMerge) {
            const double share = 100.0 / double(band.size() + 1);
            for (std::size_t n = 0; n < band.size(); ++n)
                band[n]->SetStartStopPercent(share * double(n), share * double(n + 1));
            sel->SetStartStopPercent(share * double(band.size()), 100);
        }
        FLayoutManager->RemoveZOrder(sel);
        FLayoutManager->InsertZOrder(sel, band.front()->ZOrder(), FInsertDirection);
        if (FInsertDirection != TgInsertDirection::iidMerge)
            sel->SetStartStopPercent(0, 100);
        Changed();
        return;
    }
    // The other orientation.
    FLayoutManager->RemoveZOrder(sel);
    sel->SetHorizontal(!sel->Horizontal());
    FLayoutManager->InsertZOrder(sel, band.front()->ZOrder(), FInsertDirection);
    Changed();
}

void TgPlotLayoutViewer::gMouseUp(TMouseButton, TShiftState, int, int) {
    FMouseDown = false;
    if (FSelectedBlock && FLayoutManager) {
        if (FEditMode == TgLayoutEditMode::ilemDrag && FOverLayoutObject) {
            const double start = FSelectedBlock->StartPercent(), stop = FSelectedBlock->StopPercent();
            FSelectedBlock->SetStartStopPercent(FOverLayoutObject->StartPercent(),
                                                FOverLayoutObject->StopPercent());
            FOverLayoutObject->SetStartStopPercent(start, stop);
            Changed();
        } else if (FEditMode == TgLayoutEditMode::ilemDrag && FDragOverRefBlock2) {
            DropOnBand();
        } else if (FEditMode == TgLayoutEditMode::ilemSize && FResizeBlock) {
            Changed();
        }
    }
    FEditMode = TgLayoutEditMode::ilemNone;
    SetCursor(crDefault);
    FOverLayoutObject = nullptr;
    FDragOverRefBlock2 = nullptr;
    FSelectedBlock = nullptr;
    FResizeBlock = nullptr;
    Invalidate();
}

} // namespace kv
