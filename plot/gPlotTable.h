#pragma once
// A table drawn beside the data view: column titles, rows of text cells, optional grid lines, and two
// repeating scroll buttons when not all rows fit.

#include "plot/gPlotObjects.h"

#include "platform/gui/Graphics.h"

#include <memory>
#include <string>
#include <vector>

namespace kv {

enum class TgAlignmentHorizontal { iahCenter, iahLeft, iahRight };
std::vector<std::string> EnumIdents(TgAlignmentHorizontal);

// What the plot offers for a click on an object (the plot control implements it).
class IgPlotObjectClick {
public:
    virtual void DoObjectClick(TgPlotObject* object) = 0;

protected:
    ~IgPlotObjectClick() = default;
};

class TgPlotTableColumn : public TObject {
public:
    int WidthPixels = 0; // computed
    std::string Title;
    double Width = 10; // widths of "0" in the data font
    bool Visible = true;
    TgAlignmentHorizontal TitleAlignment = TgAlignmentHorizontal::iahCenter;
    double TitleAlignmentMargin = 1;
    TColor TitleFontColor = clAqua;
    TgAlignmentHorizontal DataAlignment = TgAlignmentHorizontal::iahCenter;
    double DataAlignmentMargin = 1;
    TColor DataFontColor = clWhite;
    bool AutoSize = true;
};

// A scroll button with its face, edge and arrow.
class TgPlotTableButton : public TgPlotButton {
    KV_CLASS(TgPlotTableButton)
public:
    TgPlotTableButton(TComponent* owner, bool up);
    void Draw(TCanvas& canvas, TColor backGroundColor) override;

private:
    bool FUp;
};

class TgPlotTable : public TgPlotLayoutObject {
    KV_CLASS(TgPlotTable)
public:
    TgPlotTable(TComponent* owner, TNotifyEvent onChange, TNotifyEvent onInsert, TNotifyEvent onRemove,
                TNotifyEvent onRename);
    ~TgPlotTable() override;

    double MarginLeft() const { return FMarginLeft; }
    void SetMarginLeft(double v) { SetDoubleProperty(v, FMarginLeft, &TgPlotObject::DoChange); }
    double MarginTop() const { return FMarginTop; }
    void SetMarginTop(double v) { SetDoubleProperty(v, FMarginTop, &TgPlotObject::DoChange); }
    double MarginRight() const { return FMarginRight; }
    void SetMarginRight(double v) { SetDoubleProperty(v, FMarginRight, &TgPlotObject::DoChange); }
    double MarginBottom() const { return FMarginBottom; }
    void SetMarginBottom(double v) { SetDoubleProperty(v, FMarginBottom, &TgPlotObject::DoChange); }
    TColor GridBackGroundColor() const { return FGridBackGroundColor; }
    void SetGridBackGroundColor(TColor v) {
        SetColorProperty(v, FGridBackGroundColor, &TgPlotObject::DoChange);
    }
    bool GridBackGroundTransparent() const { return FGridBackGroundTransparent; }
    void SetGridBackGroundTransparent(bool v) {
        SetBooleanProperty(v, FGridBackGroundTransparent, &TgPlotObject::DoChange);
    }
    TColor GridLinesColor() const { return FGridLinesColor; }
    void SetGridLinesColor(TColor v) { SetColorProperty(v, FGridLinesColor, &TgPlotObject::DoChange); }
    bool GridLinesShow() const { return FGridLinesShow; }
    void SetGridLinesShow(bool v) { SetBooleanProperty(v, FGridLinesShow, &TgPlotObject::DoChange); }
    TFont* DataFont() const { return FDataFont.get(); }
    void SetDataFont(const TFont* v) { FDataFont->Assign(v); }
    double ColumnSpacing() const { return FColumnSpacing; }
    void SetColumnSpacing(double v) { SetDoubleProperty(v, FColumnSpacing, &TgPlotObject::DoChange); }
    double RowSpacing() const { return FRowSpacing; }
    void SetRowSpacing(double v) { SetDoubleProperty(v, FRowSpacing, &TgPlotObject::DoChange); }
    int RowsMax() const { return FRowsMax; }
    void SetRowsMax(int v) { SetIntegerProperty(v, FRowsMax, &TgPlotObject::DoChange); }
    bool ColumnTitlesVisible() const { return FColumnTitlesVisible; }
    void SetColumnTitlesVisible(bool v) {
        SetBooleanProperty(v, FColumnTitlesVisible, &TgPlotObject::DoChange);
    }
    TFont* ColumnTitlesFont() const { return FColumnTitlesFont.get(); }
    void SetColumnTitlesFont(const TFont* v) { FColumnTitlesFont->Assign(v); }

    int RowCount() const { return FRowDataList.Count(); }
    int ColumnCount() const { return static_cast<int>(FColumnList.size()); }
    int RowDisplayStartIndex() const { return FItemViewStartIndex; }
    int RowDisplayStopIndex() const { return FItemViewStopIndex; }
    TgPlotTableColumn* Column(int index) const;
    // The row's text: its cells are the lines of it.
    TStringList& Rows() { return FRowDataList; }
    std::string CellText(int column, int row);
    TgPlotTableButton* UpButton() const { return FUpButton.get(); }
    TgPlotTableButton* DownButton() const { return FDownButton.get(); }
    TRect GridRect() const { return FGridRect; }
    TRect TitleRect() const { return FTitleRect; }
    int RowHeight() const { return FRowHeight; }

    int AddColumn(const std::string& title);
    void DeleteColumn(int index);
    void RemoveAllColumns();
    int AddRow();
    void DeleteRow(int index);
    void RemoveAllRows();

    // Computes the grid, the columns' widths, the rows shown and the buttons (run by Draw).
    void CalculateLayout(TCanvas& canvas);
    void Draw(TCanvas& canvas, TColor backGroundColor) override;
    int GetRequiredWidth(TCanvas& canvas) override;
    TgPlotObject* GetMouseOverObject(int x, int y) override;
    void NotificationFocusChange(TObject* sender) override;
    void BuildPopupMenu(TPopupMenu* popupMenu) override;
    void DoMouseUp(const TgPlotMouseData& mouseData) override;

private:
    void UpClick();
    void DownClick();
    void DrawCellText(TCanvas& canvas, const std::string& text, TRect r, TgAlignmentHorizontal alignment,
                      double margin, int zeroWidth, TColor color);

    std::unique_ptr<TgPlotTableButton> FUpButton, FDownButton;
    int FRequiredWidth = 0, FRequiredHeight = 0;
    std::vector<std::unique_ptr<TgPlotTableColumn>> FColumnList;
    TStringList FRowDataList;
    TStringList FTempStringList;
    int FItemViewStartIndex = 0, FItemViewStopIndex = -1;
    int FRowHeight = 0;
    double FMarginLeft = 1, FMarginRight = 1, FMarginBottom = 1, FMarginTop = 1;
    bool FGridBackGroundTransparent = false;
    TColor FGridBackGroundColor = 0x808080;
    bool FGridLinesShow = true;
    TColor FGridLinesColor = 0xFFFFFF;
    double FColumnSpacing = 2;
    double FRowSpacing = 0.5;
    int FRowsMax = 0;
    std::unique_ptr<TFont> FDataFont;
    TRect FGridRect, FTitleRect;
    bool FColumnTitlesVisible = true;
    std::unique_ptr<TFont> FColumnTitlesFont;
};

} // namespace kv
