#include "plot/gPlotTable.h"

#include "plot/gDraw.h"

#include <algorithm>
#include <cmath>

namespace kv {

std::vector<std::string> EnumIdents(TgAlignmentHorizontal) {
    return {"iahCenter", "iahLeft", "iahRight"};
}

KV_REGISTER_CLASS(TgPlotTableButton, TgPlotButton, b) {}

KV_REGISTER_CLASS(TgPlotTable, TgPlotLayoutObject, b) {
    b.Prop("MarginLeft", &TgPlotTable::MarginLeft, &TgPlotTable::SetMarginLeft);
    b.Prop("MarginTop", &TgPlotTable::MarginTop, &TgPlotTable::SetMarginTop);
    b.Prop("MarginRight", &TgPlotTable::MarginRight, &TgPlotTable::SetMarginRight);
    b.Prop("MarginBottom", &TgPlotTable::MarginBottom, &TgPlotTable::SetMarginBottom);
    b.Prop("GridBackGroundColor", &TgPlotTable::GridBackGroundColor, &TgPlotTable::SetGridBackGroundColor)
        .Default(0x808080)
        .Idents(ColorIdents(), "TColor");
    b.Prop("GridBackGroundTransparent", &TgPlotTable::GridBackGroundTransparent,
           &TgPlotTable::SetGridBackGroundTransparent)
        .Default(false);
    b.Prop("GridLinesColor", &TgPlotTable::GridLinesColor, &TgPlotTable::SetGridLinesColor)
        .Idents(ColorIdents(), "TColor");
    b.Prop("GridLinesShow", &TgPlotTable::GridLinesShow, &TgPlotTable::SetGridLinesShow);
    b.Prop("DataFont", &TgPlotTable::DataFont, &TgPlotTable::SetDataFont);
    b.Prop("ColumnSpacing", &TgPlotTable::ColumnSpacing, &TgPlotTable::SetColumnSpacing);
    b.Prop("RowSpacing", &TgPlotTable::RowSpacing, &TgPlotTable::SetRowSpacing);
    b.Prop("RowsMax", &TgPlotTable::RowsMax, &TgPlotTable::SetRowsMax);
    // The default is what the constructor sets, so that a table with its titles switched off is stored
    // as such (a default of False lost that setting on the way through a layout).
    b.Prop("ColumnTitlesVisible", &TgPlotTable::ColumnTitlesVisible, &TgPlotTable::SetColumnTitlesVisible)
        .Default(true);
    b.Prop("ColumnTitlesFont", &TgPlotTable::ColumnTitlesFont, &TgPlotTable::SetColumnTitlesFont);
}

namespace {

// The runtime's rounding: to nearest, halves to even.
int Round(double v) {
    return static_cast<int>(std::nearbyint(v));
}

bool Inside(const TRect& r, int x, int y) {
    return x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom;
}

} // namespace

TgPlotTableButton::TgPlotTableButton(TComponent* owner, bool up) : TgPlotButton(owner), FUp(up) {
    SetName(up ? "PlotTableUpButton" : "PlotTableDownButton");
    SetTimerEnabled(true);
}

void TgPlotTableButton::Draw(TCanvas& canvas, TColor) {
    gDrawScrollButton(canvas, DrawRect(), Down(), Enabled(), FUp);
}

// ---------------------------------------------------------------------------------------------------

TgPlotTable::TgPlotTable(TComponent* owner, TNotifyEvent onChange, TNotifyEvent onInsert,
                         TNotifyEvent onRemove, TNotifyEvent onRename)
    : TgPlotLayoutObject(owner, std::move(onChange), std::move(onInsert), std::move(onRemove),
                         std::move(onRename)) {
    FUpButton = std::make_unique<TgPlotTableButton>(owner, true);
    FDownButton = std::make_unique<TgPlotTableButton>(owner, false);
    FUpButton->OnClick = [this](TObject*) { UpClick(); };
    FDownButton->OnClick = [this](TObject*) { DownClick(); };
    FUpButton->OnInvalidate = [this](TObject*) { DoInvalidateNow(); };
    FDownButton->OnInvalidate = [this](TObject*) { DoInvalidateNow(); };
    FUpButton->SetVisible(false);
    FDownButton->SetVisible(false);

    FDataFont = std::make_unique<TFont>();
    FDataFont->SetColor(clWhite);
    FDataFont->SetStyle({TFontStyle::fsBold});
    FDataFont->OnChange = [this](TObject*) { DoChange(); };
    FColumnTitlesFont = std::make_unique<TFont>();
    FColumnTitlesFont->SetColor(clAqua);
    FColumnTitlesFont->SetStyle({TFontStyle::fsBold});
    FColumnTitlesFont->OnChange = [this](TObject*) { DoChange(); };
    FHorizontal = false; // the table stands left or right of the data view
}

TgPlotTable::~TgPlotTable() {
    FDataFont->OnChange = nullptr;
    FColumnTitlesFont->OnChange = nullptr;
}

TgPlotTableColumn* TgPlotTable::Column(int index) const {
    if (index < 0 || index >= ColumnCount())
        throw EKvError("List index out of bounds (" + std::to_string(index) + ")");
    return FColumnList[static_cast<std::size_t>(index)].get();
}

std::string TgPlotTable::CellText(int column, int row) {
    FTempStringList.SetText(FRowDataList[row]);
    while (FTempStringList.Count() < ColumnCount())
        FTempStringList.Add("");
    return FTempStringList[column];
}

int TgPlotTable::AddColumn(const std::string& title) {
    auto c = std::make_unique<TgPlotTableColumn>();
    c->Title = title;
    c->TitleFontColor = FColumnTitlesFont->Color();
    c->DataFontColor = FDataFont->Color();
    FColumnList.push_back(std::move(c));
    return ColumnCount() - 1;
}

void TgPlotTable::DeleteColumn(int index) {
    Column(index);
    FColumnList.erase(FColumnList.begin() + index);
}

void TgPlotTable::RemoveAllColumns() {
    while (ColumnCount() > 0)
        DeleteColumn(0);
}

int TgPlotTable::AddRow() {
    const int index = FRowDataList.Add("");
    DoChange();
    return index;
}

void TgPlotTable::DeleteRow(int index) {
    FRowDataList.Delete(index);
    DoChange();
}

void TgPlotTable::RemoveAllRows() {
    FRowDataList.Clear();
    DoChange();
}

void TgPlotTable::UpClick() {
    if (FItemViewStartIndex > 0)
        --FItemViewStartIndex;
}

void TgPlotTable::DownClick() {
    if (FItemViewStartIndex < RowCount() - 1)
        ++FItemViewStartIndex;
}

void TgPlotTable::CalculateLayout(TCanvas& canvas) {
    if (RowCount() == 0 || ColumnCount() == 0) {
        FRequiredWidth = FRequiredHeight = 0;
        return;
    }
    canvas.Font()->Assign(FColumnTitlesFont.get());
    const int w = std::max(1, canvas.TextWidth("0"));
    const int h = std::max(1, canvas.TextHeight("0"));
    const int top = Round(h * FMarginTop), bottom = Round(h * FMarginBottom);
    const int left = Round(w * FMarginLeft), right = Round(w * FMarginRight);
    const TRect draw = DrawRect();
    FGridRect = {draw.Left + left, draw.Top + top, draw.Right - right, draw.Bottom - bottom};
    const int titleHeight = FColumnTitlesVisible ? h : 0;
    FTitleRect = {FGridRect.Left, FGridRect.Top, FGridRect.Right, FGridRect.Top + titleHeight};

    canvas.Font()->Assign(FDataFont.get());
    const int w2 = std::max(1, canvas.TextWidth("0"));
    const int h2 = canvas.TextHeight("0");
    FRowHeight = std::max(1, h2 + Round(h2 * FRowSpacing));

    int shown = (FRowsMax != 0 && FRowsMax < RowCount()) ? FRowsMax : RowCount();
    FGridRect.Bottom = FTitleRect.Bottom + shown * FRowHeight;
    FRequiredHeight = top + bottom + titleHeight + shown * FRowHeight;

    FRequiredWidth = left + right;
    for (auto& column : FColumnList) {
        if (!column->Visible)
            continue;
        if (column->AutoSize) {
            canvas.Font()->Assign(FColumnTitlesFont.get());
            int width = canvas.TextWidth(column->Title) + Round(w * FColumnSpacing) + w;
            canvas.Font()->Assign(FDataFont.get());
            const int index = static_cast<int>(&column - FColumnList.data());
            for (int row = 0; row < RowCount(); ++row)
                width =
                    std::max(width, canvas.TextWidth(CellText(index, row)) + Round(w2 * FColumnSpacing) + w2);
            column->WidthPixels = width;
            column->Width = width / w2;
        } else {
            column->WidthPixels = Round(column->Width * w2);
        }
        FRequiredWidth += column->WidthPixels;
    }
    FGridRect.Right = FGridRect.Left + FRequiredWidth - left - right;

    if (FGridRect.Bottom > draw.Bottom - bottom) {
        shown = std::max(0, (draw.Bottom - bottom - FTitleRect.Bottom) / FRowHeight);
        FGridRect.Bottom = FTitleRect.Bottom + shown * FRowHeight;
    }

    if (shown < RowCount()) {
        if (Enabled()) {
            const int first = FTitleRect.Bottom + FRowHeight / 2;
            const int last = FTitleRect.Bottom + (shown - 1) * FRowHeight + FRowHeight / 2;
            FUpButton->SetDrawRect({FGridRect.Right + 5, first - 8, FGridRect.Right + 22, first + 9});
            FDownButton->SetDrawRect({FGridRect.Right + 5, last - 8, FGridRect.Right + 22, last + 9});
        }
        FRequiredWidth += FUpButton->Width() + 5;
        FUpButton->SetVisible(true);
        FDownButton->SetVisible(true);
        FItemViewStopIndex = FItemViewStartIndex + shown - 1;
        if (FItemViewStopIndex > RowCount() - 1) {
            FItemViewStopIndex = RowCount() - 1;
            FItemViewStartIndex = RowCount() - shown;
        }
        if (FItemViewStartIndex < 0) {
            FItemViewStartIndex = 0;
            FItemViewStopIndex = shown - 1;
        }
    } else {
        FUpButton->SetVisible(false);
        FDownButton->SetVisible(false);
        FItemViewStartIndex = 0;
        FItemViewStopIndex = shown - 1;
    }
    FUpButton->SetEnabled(FItemViewStartIndex != 0);
    FDownButton->SetEnabled(FItemViewStopIndex + 1 != RowCount());
}

int TgPlotTable::GetRequiredWidth(TCanvas& canvas) {
    CalculateLayout(canvas);
    return FHorizontal ? FRequiredHeight : FRequiredWidth;
}

void TgPlotTable::DrawCellText(TCanvas& canvas, const std::string& text, TRect r,
                               TgAlignmentHorizontal alignment, double margin, int zeroWidth, TColor color) {
    const std::uint16_t options = gtoSingleLine | gtoVCenter | gAlignmentTextOption(alignment);
    // The margin keeps left and right aligned text off the cell's edge.
    if (alignment == TgAlignmentHorizontal::iahLeft)
        r.Left += Round(margin * zeroWidth);
    else if (alignment == TgAlignmentHorizontal::iahRight)
        r.Right -= Round(margin * zeroWidth);
    canvas.Brush()->SetStyle(TBrushStyle::bsClear);
    gDrawText(canvas, text, r, options, true, color);
}

void TgPlotTable::Draw(TCanvas& canvas, TColor) {
    if (!Visible() || RowCount() == 0 || ColumnCount() == 0)
        return;
    CalculateLayout(canvas);
    const int shown = FItemViewStopIndex - FItemViewStartIndex + 1;
    if (!FGridBackGroundTransparent) {
        canvas.Brush()->SetStyle(TBrushStyle::bsSolid);
        canvas.Brush()->SetColor(FGridBackGroundColor);
        canvas.FillRect(FGridRect);
    }
    if (FGridLinesShow) {
        canvas.Pen()->SetStyle(TPenStyle::psSolid);
        canvas.Pen()->SetWidth(1);
        canvas.Pen()->SetColor(FGridLinesColor);
        int x = FGridRect.Left;
        for (const auto& column : FColumnList) {
            if (!column->Visible)
                continue;
            canvas.MoveTo(x, FGridRect.Top);
            canvas.LineTo(x, FGridRect.Bottom);
            x += column->WidthPixels;
        }
        canvas.MoveTo(x, FGridRect.Top);
        canvas.LineTo(x, FGridRect.Bottom);
        canvas.MoveTo(FGridRect.Left, FGridRect.Top);
        canvas.LineTo(FGridRect.Right + 1, FGridRect.Top);
        for (int i = 0; i <= shown; ++i) {
            const int y = FTitleRect.Bottom + i * FRowHeight;
            canvas.MoveTo(FGridRect.Left, y);
            canvas.LineTo(FGridRect.Right + 1, y);
        }
    }
    if (FColumnTitlesVisible) {
        canvas.Font()->Assign(FColumnTitlesFont.get());
        const int w = std::max(1, canvas.TextWidth("0"));
        int x = FGridRect.Left;
        for (const auto& column : FColumnList) {
            if (!column->Visible)
                continue;
            DrawCellText(canvas, column->Title,
                         {x, FTitleRect.Top, x + column->WidthPixels, FTitleRect.Bottom},
                         column->TitleAlignment, column->TitleAlignmentMargin, w, column->TitleFontColor);
            x += column->WidthPixels;
        }
    }
    canvas.Font()->Assign(FDataFont.get());
    const int w2 = std::max(1, canvas.TextWidth("0"));
    for (int row = FItemViewStartIndex; row <= FItemViewStopIndex; ++row) {
        const int y = FTitleRect.Bottom + (row - FItemViewStartIndex) * FRowHeight;
        int x = FGridRect.Left;
        for (int c = 0; c < ColumnCount(); ++c) {
            const TgPlotTableColumn& column = *FColumnList[static_cast<std::size_t>(c)];
            if (!column.Visible)
                continue;
            DrawCellText(canvas, CellText(c, row), {x, y, x + column.WidthPixels, y + FRowHeight},
                         column.DataAlignment, column.DataAlignmentMargin, w2, column.DataFontColor);
            x += column.WidthPixels;
        }
    }
    if (FUpButton->Visible())
        FUpButton->Draw(canvas, clBtnFace);
    if (FDownButton->Visible())
        FDownButton->Draw(canvas, clBtnFace);
    if (UserSelected()) {
        TRect r = DrawRect();
        if (FHorizontal) {
            r.Top += 2;
            r.Bottom -= 2;
        }
        gDrawFocusRect(canvas, r);
    }
}

TgPlotObject* TgPlotTable::GetMouseOverObject(int x, int y) {
    TgPlotObject* result = TgPlotLayoutObject::GetMouseOverObject(x, y);
    for (TgPlotTableButton* button : {FUpButton.get(), FDownButton.get()})
        if (button->Visible() && Inside(button->DrawRect(), x, y)) {
            FMouseOverObject = button;
            result = button;
        }
    return result;
}

void TgPlotTable::NotificationFocusChange(TObject* sender) {
    TgPlotLayoutObject::NotificationFocusChange(sender);
    YieldSelectionTo(sender);
}

void TgPlotTable::BuildPopupMenu(TPopupMenu* popupMenu) {
    TgPlotLayoutObject::BuildPopupMenu(popupMenu);
    AddEditMenuItem(popupMenu);
}

void TgPlotTable::DoMouseUp(const TgPlotMouseData& mouseData) {
    TgPlotLayoutObject::DoMouseUp(mouseData);
    if (FMouseDown && Inside(DrawRect(), mouseData.X, mouseData.Y))
        if (auto* plot = dynamic_cast<IgPlotObjectClick*>(FOwner))
            plot->DoObjectClick(this);
}

} // namespace kv
