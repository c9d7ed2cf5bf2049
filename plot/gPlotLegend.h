#pragma once
// The plot's channel legend: one entry per channel shown (line sample, marker, name, axis titles,
// values and statistics), wrapped into rows and columns, with scroll buttons when not all fit.
// An entry's name rectangle is the channel's own hit area: the mouse over it reaches the channel.

#include "plot/gPlotObjects.h"

#include "platform/gui/Graphics.h"

#include <memory>
#include <string>
#include <vector>

namespace kv {

class TgPlotLegend;
class TgPlotChannelCustom;

// The colour of an entry's name.
enum class TgPlotLegendChannelNameColorStyle {
    iplcncsFont,
    iplcncsChannelColor,
    iplcncsXAxisFontColor,
    iplcncsYAxisFontColor
};
std::vector<std::string> EnumIdents(TgPlotLegendChannelNameColorStyle);

// What a legend needs of the plot that owns it (the plot control implements it).
class IgPlotLegendHost {
public:
    virtual int ChannelCount() = 0;
    virtual TgPlotChannelCustom* GetChannelObject(int index) = 0;
    // OnClickLegend, or OnDblClickLegend after a double click.
    virtual void DoClickLegend(TgPlotLegend* legend) = 0;
    // OnGetMouseCursorLegend: the handler may change the cursor.
    virtual void DoGetMouseCursorLegend(TgPlotLegend* legend, TCursor& cursor) = 0;

protected:
    ~IgPlotLegendHost() = default;
};

// One entry, rebuilt by every layout.
struct TgPlotLegendItem {
    TgPlotChannelCustom* Channel = nullptr;
    int MaxHeight = 0;       // height of its name
    int ALeft = 0, ATop = 0; // top-left of the entry
    int ARow = 0, ACol = 0;  // 1-based row and wrap column; 0 while not placed
};

// A scroll button: a face with an arrow.
class TgPlotLegendButton : public TgPlotButton {
    KV_CLASS(TgPlotLegendButton)
public:
    TgPlotLegendButton(TComponent* owner, bool up);
    void Draw(TCanvas& canvas, TColor backGroundColor) override;

private:
    bool FUp;
};

class TgPlotLegend : public TgPlotLayoutObject {
    KV_CLASS(TgPlotLegend)
public:
    TgPlotLegend(TComponent* owner, TNotifyEvent onChange, TNotifyEvent onInsert, TNotifyEvent onRemove,
                 TNotifyEvent onRename);
    ~TgPlotLegend() override;

    // Set by the plot before each paint: a visible data cursor shows every channel in the legend.
    bool CursorAllChannels() const { return FCursorAllChannels; }
    void SetCursorAllChannels(bool value) { FCursorAllChannels = value; }

    // --- published properties
    double MarginLeft() const { return FMarginLeft; }
    void SetMarginLeft(double v) { SetDoubleProperty(v, FMarginLeft, &TgPlotObject::DoChange); }
    double MarginRight() const { return FMarginRight; }
    void SetMarginRight(double v) { SetDoubleProperty(v, FMarginRight, &TgPlotObject::DoChange); }
    double MarginTop() const { return FMarginTop; }
    void SetMarginTop(double v) { SetDoubleProperty(v, FMarginTop, &TgPlotObject::DoChange); }
    double MarginBottom() const { return FMarginBottom; }
    void SetMarginBottom(double v) { SetDoubleProperty(v, FMarginBottom, &TgPlotObject::DoChange); }
    TColor BackGroundColor() const { return FBackGroundColor; }
    void SetBackGroundColor(TColor v) { SetColorProperty(v, FBackGroundColor, &TgPlotObject::DoChange); }
    bool BackGroundTransparent() const { return FBackGroundTransparent; }
    void SetBackGroundTransparent(bool v) {
        SetBooleanProperty(v, FBackGroundTransparent, &TgPlotObject::DoChange);
    }
    TColor SelectedItemBackGroundColor() const { return FSelectedItemBackGroundColor; }
    void SetSelectedItemBackGroundColor(TColor v) {
        SetColorProperty(v, FSelectedItemBackGroundColor, &TgPlotObject::DoChange);
    }
    TFont* SelectedItemFont() const { return FSelectedItemFont.get(); }
    void SetSelectedItemFont(const TFont* v) { FSelectedItemFont->Assign(v); }
    TFont* Font() const { return FFont.get(); }
    void SetFont(const TFont* v) { FFont->Assign(v); }
    TFont* ColumnTitlesFont() const { return FColumnTitlesFont.get(); }
    void SetColumnTitlesFont(const TFont* v) { FColumnTitlesFont->Assign(v); }
    bool ShowColumnLine() const { return FShowColumnLine; }
    void SetShowColumnLine(bool v) { SetBooleanProperty(v, FShowColumnLine, &TgPlotObject::DoChange); }
    bool ShowColumnMarker() const { return FShowColumnMarker; }
    void SetShowColumnMarker(bool v) { SetBooleanProperty(v, FShowColumnMarker, &TgPlotObject::DoChange); }
    bool ShowColumnXAxisTitle() const { return FShowColumnXName; }
    void SetShowColumnXAxisTitle(bool v) { SetBooleanProperty(v, FShowColumnXName, &TgPlotObject::DoChange); }
    bool ShowColumnYAxisTitle() const { return FShowColumnYName; }
    void SetShowColumnYAxisTitle(bool v) { SetBooleanProperty(v, FShowColumnYName, &TgPlotObject::DoChange); }
    bool ShowColumnXValue() const { return FShowColumnXValue; }
    void SetShowColumnXValue(bool v) { SetBooleanProperty(v, FShowColumnXValue, &TgPlotObject::DoChange); }
    bool ShowColumnYValue() const { return FShowColumnYValue; }
    void SetShowColumnYValue(bool v) { SetBooleanProperty(v, FShowColumnYValue, &TgPlotObject::DoChange); }
    bool ShowColumnYMax() const { return FShowColumnYMax; }
    void SetShowColumnYMax(bool v) { SetBooleanProperty(v, FShowColumnYMax, &TgPlotObject::DoChange); }
    bool ShowColumnYMin() const { return FShowColumnYMin; }
    void SetShowColumnYMin(bool v) { SetBooleanProperty(v, FShowColumnYMin, &TgPlotObject::DoChange); }
    bool ShowColumnYMean() const { return FShowColumnYMean; }
    void SetShowColumnYMean(bool v) { SetBooleanProperty(v, FShowColumnYMean, &TgPlotObject::DoChange); }
    const std::string& CaptionColumnTitle() const { return FCaptionColumnTitle; }
    void SetCaptionColumnTitle(const std::string& v) {
        SetStringProperty(v, FCaptionColumnTitle, &TgPlotObject::DoChange);
    }
    const std::string& CaptionColumnXAxisTitle() const { return FCaptionColumnXName; }
    void SetCaptionColumnXAxisTitle(const std::string& v) {
        SetStringProperty(v, FCaptionColumnXName, &TgPlotObject::DoChange);
    }
    const std::string& CaptionColumnYAxisTitle() const { return FCaptionColumnYName; }
    void SetCaptionColumnYAxisTitle(const std::string& v) {
        SetStringProperty(v, FCaptionColumnYName, &TgPlotObject::DoChange);
    }
    const std::string& CaptionColumnXValue() const { return FCaptionColumnXValue; }
    void SetCaptionColumnXValue(const std::string& v) {
        SetStringProperty(v, FCaptionColumnXValue, &TgPlotObject::DoChange);
    }
    const std::string& CaptionColumnYValue() const { return FCaptionColumnYValue; }
    void SetCaptionColumnYValue(const std::string& v) {
        SetStringProperty(v, FCaptionColumnYValue, &TgPlotObject::DoChange);
    }
    const std::string& CaptionColumnYMax() const { return FCaptionColumnYMax; }
    void SetCaptionColumnYMax(const std::string& v) {
        SetStringProperty(v, FCaptionColumnYMax, &TgPlotObject::DoChange);
    }
    const std::string& CaptionColumnYMin() const { return FCaptionColumnYMin; }
    void SetCaptionColumnYMin(const std::string& v) {
        SetStringProperty(v, FCaptionColumnYMin, &TgPlotObject::DoChange);
    }
    const std::string& CaptionColumnYMean() const { return FCaptionColumnYMean; }
    void SetCaptionColumnYMean(const std::string& v) {
        SetStringProperty(v, FCaptionColumnYMean, &TgPlotObject::DoChange);
    }
    double ColumnSpacing() const { return FColumnSpacing; }
    void SetColumnSpacing(double v) { SetDoubleProperty(v, FColumnSpacing, &TgPlotObject::DoChange); }
    // RowSpacing and WrapRowSpacingMin are one value under two names.
    double RowSpacing() const { return FWrapRowSpacingMin; }
    void SetRowSpacing(double v) { SetWrapRowSpacingMin(v); }
    double WrapRowSpacingMin() const { return FWrapRowSpacingMin; }
    void SetWrapRowSpacingMin(double v) { SetDoubleProperty(v, FWrapRowSpacingMin, &TgPlotObject::DoChange); }
    // Values below 1 become 1.
    int WrapColDesiredCount() const { return FWrapColDesiredCount; }
    void SetWrapColDesiredCount(int v);
    bool WrapColAutoCountEnabled() const { return FWrapColAutoCountEnabled; }
    void SetWrapColAutoCountEnabled(bool v) {
        SetBooleanProperty(v, FWrapColAutoCountEnabled, &TgPlotObject::DoChange);
    }
    int WrapColAutoCountMax() const { return FWrapColAutoCountMax; }
    void SetWrapColAutoCountMax(int v) {
        SetIntegerProperty(v, FWrapColAutoCountMax, &TgPlotObject::DoChange);
    }
    double WrapColSpacingMin() const { return FWrapColSpacingMin; }
    void SetWrapColSpacingMin(double v) { SetDoubleProperty(v, FWrapColSpacingMin, &TgPlotObject::DoChange); }
    bool WrapColSpacingAuto() const { return FWrapColSpacingAuto; }
    void SetWrapColSpacingAuto(bool v) {
        SetBooleanProperty(v, FWrapColSpacingAuto, &TgPlotObject::DoChange);
    }
    // Values below 1 become 1.
    int WrapRowDesiredCount() const { return FWrapRowDesiredCount; }
    void SetWrapRowDesiredCount(int v);
    bool WrapRowAutoCountEnabled() const { return FWrapRowAutoCountEnabled; }
    void SetWrapRowAutoCountEnabled(bool v) {
        SetBooleanProperty(v, FWrapRowAutoCountEnabled, &TgPlotObject::DoChange);
    }
    int WrapRowAutoCountMax() const { return FWrapRowAutoCountMax; }
    void SetWrapRowAutoCountMax(int v) {
        SetIntegerProperty(v, FWrapRowAutoCountMax, &TgPlotObject::DoChange);
    }
    bool WrapRowSpacingAuto() const { return FWrapRowSpacingAuto; }
    void SetWrapRowSpacingAuto(bool v) {
        SetBooleanProperty(v, FWrapRowSpacingAuto, &TgPlotObject::DoChange);
    }
    bool ColumnTitlesVisible() const { return FColumnTitlesVisible; }
    void SetColumnTitlesVisible(bool v) {
        SetBooleanProperty(v, FColumnTitlesVisible, &TgPlotObject::DoChange);
    }
    double ChannelNameMaxWidth() const { return FChannelNameMaxWidth; }
    void SetChannelNameMaxWidth(double v) {
        SetDoubleProperty(v, FChannelNameMaxWidth, &TgPlotObject::DoChange);
    }
    TgPlotLegendChannelNameColorStyle ChannelNameColorStyle() const { return FChannelNameColorStyle; }
    void SetChannelNameColorStyle(TgPlotLegendChannelNameColorStyle v);
    int LineColumnWidth() const { return FLineColumnWidth; }
    void SetLineColumnWidth(int v) { SetIntegerProperty(v, FLineColumnWidth, &TgPlotObject::DoChange); }
    int LineColumnHeight() const { return FLineColumnHeight; }
    void SetLineColumnHeight(int v) { SetIntegerProperty(v, FLineColumnHeight, &TgPlotObject::DoChange); }

    // --- public state
    // The first entry shown; clamped by each layout, 0 again whenever everything fits.
    int ViewStartIndex() const { return FItemViewStartIndex; }
    void SetViewStartIndex(int v) { SetIntegerProperty(v, FItemViewStartIndex, &TgPlotObject::DoChange); }
    int ViewStopIndex() const { return FItemViewStopIndex; }
    int ItemCount() const { return static_cast<int>(FItemList.size()); }
    const TgPlotLegendItem& Item(int index) const;
    int ActualWrapColCount() const { return FActualWrapColCount; }
    int ActualWrapRowCount() const { return FActualWrapRowCount; }
    int RequiredWidth() const { return FRequiredWidth; }
    int RequiredHeight() const { return FRequiredHeight; }
    int ItemWidth() const { return FItemWidth; }
    int ItemHeight() const { return FItemHeight; }
    int MaxItemHeight() const { return FMaxItemHeight; }
    int ChannelNameWidth() const { return FMaxWidthChannelLabel; }
    TRect ItemsRect() const { return FItemsRect; }
    TRect ColumnTitlesRect() const { return FColumnTitlesRect; }
    TgPlotLegendButton* UpButton() const { return FUpButton.get(); }
    TgPlotLegendButton* DownButton() const { return FDownButton.get(); }

    // The texts of an entry's columns.
    std::string NameText(TgPlotChannelCustom* channel);
    std::string XAxisTitleText(TgPlotChannelCustom* channel);
    std::string YAxisTitleText(TgPlotChannelCustom* channel);
    std::string XValueText(TgPlotChannelCustom* channel);
    std::string YValueText(TgPlotChannelCustom* channel);
    std::string YMaxText(TgPlotChannelCustom* channel);
    std::string YMinText(TgPlotChannelCustom* channel);
    std::string YMeanText(TgPlotChannelCustom* channel);

    // Rebuilds the entries from the plot's channels and places them in the drawing rectangle; false
    // when no channel is shown in the legend (the required size then keeps its last value).
    bool CalculateLayout(TCanvas& canvas);
    // The line sample of a channel: LineColumnWidth long, LineColumnHeight + 1 pixel rows thick.
    void DrawLineSample(TCanvas& canvas, TgPlotChannelCustom* channel, int x, int y);

    // --- overrides
    // A channel that goes leaves the entries at once.
    void NotificationAxisRemove(TObject* sender) override;
    void NotificationFocusChange(TObject* sender) override;
    void Draw(TCanvas& canvas, TColor backGroundColor) override;
    void DoMouseUp(const TgPlotMouseData& mouseData) override;
    TgPlotObject* GetMouseOverObject(int x, int y) override;
    TCursor GetMouseCursor(TPoint point) override;
    void BuildPopupMenu(TPopupMenu* popupMenu) override;
    int GetRequiredWidth(TCanvas& canvas) override;

protected:
    IgPlotLegendHost* LegendHost() const;
    void UpClick();
    void DownClick();
    void DrawColumnTitles(TCanvas& canvas);
    void DrawItem(TCanvas& canvas, const TgPlotLegendItem& item, TColor backGroundColor);

    std::unique_ptr<TgPlotLegendButton> FUpButton, FDownButton;
    int FRequiredWidth = 0, FRequiredHeight = 0;
    TRect FInnerRect{};
    std::vector<std::unique_ptr<TgPlotLegendItem>> FItemList;
    std::vector<int> FColumnList; // left edge of each wrap column
    int FColumnWidth = 0;
    int FItemWidth = 0;
    int FActualWrapColCount = 0, FActualWrapRowCount = 0;
    int FColumnSpacingPixels = 0, FRowSpacingPixels = 0, FWrapSpacingPixels = 0;
    int FColumnStartChannel = 0, FColumnStartLine = 0, FColumnStartMarker = 0, FColumnStartXName = 0,
        FColumnStartYName = 0, FColumnStartXValue = 0, FColumnStartYValue = 0, FColumnStartYMax = 0,
        FColumnStartYMin = 0, FColumnStartYMean = 0;
    int FMaxWidthLine = 0, FMaxWidthMarker = 0, FMaxWidthChannelLabel = 0, FMaxWidthXName = 0,
        FMaxWidthYName = 0, FMaxWidthXValue = 0, FMaxWidthYValue = 0, FMaxWidthYMax = 0, FMaxWidthYMin = 0,
        FMaxWidthYMean = 0;
    int FItemViewStartIndex = 0, FItemViewStopIndex = -1;
    int FItemHeight = 0;
    int FMaxItemHeight = 0;
    int FColumnTitlesHeightPixels = 0, FColumnTitlesMarginPixels = 0;
    TRect FColumnTitlesRect{}, FItemsRect{};

    double FMarginLeft = 1, FMarginRight = 1, FMarginBottom = 1, FMarginTop = 1;
    bool FBackGroundTransparent = true;
    TColor FBackGroundColor = 0x808080;
    double FColumnSpacing = 0.5;
    std::unique_ptr<TFont> FFont;
    TColor FSelectedItemBackGroundColor = 0x00FFFF;
    std::unique_ptr<TFont> FSelectedItemFont;
    bool FShowColumnLine = true, FShowColumnMarker = false, FShowColumnXName = false,
         FShowColumnYName = false, FShowColumnXValue = false, FShowColumnYValue = false;
    bool FColumnTitlesVisible = false;
    std::unique_ptr<TFont> FColumnTitlesFont;
    double FChannelNameMaxWidth = 0;
    TgPlotLegendChannelNameColorStyle FChannelNameColorStyle = TgPlotLegendChannelNameColorStyle::iplcncsFont;
    bool FShowColumnYMax = false, FShowColumnYMin = false, FShowColumnYMean = false;
    bool FCursorAllChannels = false;
    bool FShowColumnXValue2 = false, FShowColumnYValue2 = false;
    std::string FCaptionColumnYMax = "Y-Max", FCaptionColumnYValue = "Y", FCaptionColumnTitle = "Title",
                FCaptionColumnYMean = "Y-Mean", FCaptionColumnXName = "X-Axis",
                FCaptionColumnYName = "Y-Axis", FCaptionColumnXValue = "X", FCaptionColumnYMin = "Y-Min";
    int FWrapColDesiredCount = 1, FWrapRowDesiredCount = 5;
    bool FWrapColAutoCountEnabled = false, FWrapRowAutoCountEnabled = true;
    int FWrapRowAutoCountMax = 100, FWrapColAutoCountMax = 100;
    double FWrapColSpacingMin = 2, FWrapRowSpacingMin = 0.25;
    bool FWrapRowSpacingAuto = false, FWrapColSpacingAuto = true;
    int FLineColumnWidth = 13, FLineColumnHeight = 3;
};

} // namespace kv
