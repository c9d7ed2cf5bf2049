#pragma once
// Limit lines, bands and poly-bands drawn over the data view.

#include "plot/gClasses.h"
#include "plot/gPlotObjects.h"

#include "platform/gui/Graphics.h"

#include <string>
#include <vector>

namespace kv {

class TgPlotAxis;

enum class TgPlotLimitStyle { iplsLineX, iplsLineY, iplsBandX, iplsBandY, iplsPolyBandX, iplsPolyBandY };
std::vector<std::string> EnumIdents(TgPlotLimitStyle);

class TgPlotLimit : public TgPlotObject {
    KV_CLASS(TgPlotLimit)
public:
    TgPlotLimit(TComponent* owner, TNotifyEvent onChange, TNotifyEvent onInsert, TNotifyEvent onRemove,
                TNotifyEvent onRename);
    ~TgPlotLimit() override;

    TgPlotLimitStyle Style() const { return FStyle; }
    void SetStyle(TgPlotLimitStyle value);
    TBrushStyle FillStyle() const { return FFillStyle; }
    void SetFillStyle(TBrushStyle value);
    TColor Color() const { return FColor; }
    void SetColor(TColor value);
    int LineWidth() const { return FLineWidth; }
    void SetLineWidth(int value);
    TPenStyle LineStyle() const { return FLineStyle; }
    void SetLineStyle(TPenStyle value);
    const std::string& XAxisName() const { return FXAxisName; }
    void SetXAxisName(const std::string& value);
    const std::string& YAxisName() const { return FYAxisName; }
    void SetYAxisName(const std::string& value);
    // Changes fire the plot's line position events.
    double Line1Position() const { return FLine1Position; }
    void SetLine1Position(double value);
    double Line2Position() const { return FLine2Position; }
    void SetLine2Position(double value);
    bool UserCanMove() const { return FUserCanMove; }
    void SetUserCanMove(bool value);
    bool SelectModeOnlyInteraction() const { return FSelectModeOnlyInteraction; }
    void SetSelectModeOnlyInteraction(bool value) { FSelectModeOnlyInteraction = value; }
    bool ClipToAxes() const { return FClipToAxes; }
    void SetClipToAxes(bool value);

    // Raises when lowerLimit > upperLimit, adding nothing.
    void AddBandElement(double position, double upperLimit, double lowerLimit);
    void ClearAllElements();
    const TgLimitDataList& Elements() const { return FPointList; }

    // Limits that fill an area are painted before the data view's grid, the others after it.
    bool GetFillsArea() const;
    bool IsBelowGrid() const { return GetFillsArea(); }

    // The state of the last paint: which lines were drawn (and may be grabbed) and where.
    bool Line1Show() const { return FLine1Show; }
    bool Line2Show() const { return FLine2Show; }
    TRect Line1ClickRect() const { return FLine1ClickRect; }
    TRect Line2ClickRect() const { return FLine2ClickRect; }

    TgPlotAxis* GetXAxis();
    TgPlotAxis* GetYAxis();
    bool IsYStyle() const;

    void NotificationAxisRemove(TObject* sender) override;
    void NotificationAxisRename(TObject* sender) override;
    void NotificationFocusChange(TObject* sender) override;
    void Draw(TCanvas& canvas, TColor backGroundColor) override;
    bool gMouseHitTest(const TgPlotMouseData& mouseData) override;
    void DoMouseLeft(const TgPlotMouseData& mouseData) override;
    void DoMouseMove(const TgPlotMouseData& mouseData) override;
    void DoMouseUp(const TgPlotMouseData& mouseData) override;
    TCursor GetMouseCursor(TPoint point) override;
    void BuildPopupMenu(TPopupMenu* popupMenu) override;

protected:
    void DrawLineX(TCanvas& canvas, TColor backGroundColor);
    void DrawLineY(TCanvas& canvas, TColor backGroundColor);
    void DrawBandX(TCanvas& canvas);
    void DrawBandY(TCanvas& canvas);
    void DrawPolyBandX(TCanvas& canvas);
    void DrawPolyBandY(TCanvas& canvas);

    TgLimitDataList FPointList;
    bool FMouseDownLine1 = false, FMouseDownLine2 = false;
    TgPlotAxis* FXAxis = nullptr;
    TgPlotAxis* FYAxis = nullptr;
    std::string FYAxisName, FXAxisName;
    TgPlotLimitStyle FStyle = TgPlotLimitStyle::iplsLineY;
    TColor FColor = 255;
    int FLineWidth = 0;
    TPenStyle FLineStyle = TPenStyle::psSolid;
    TBrushStyle FFillStyle = TBrushStyle::bsSolid;
    bool FLine1Show = false, FLine2Show = false;
    double FLine1Position = 50, FLine2Position = 50;
    TRect FLine1ClickRect{}, FLine2ClickRect{};
    bool FUserCanMove = false, FSelectModeOnlyInteraction = true, FClipToAxes = false;

private:
    void DrawLine(TCanvas& canvas, TColor backGroundColor, bool yStyle);
    void DrawBand(TCanvas& canvas, bool yStyle);
    void DrawPolyBand(TCanvas& canvas, bool yStyle);
};

} // namespace kv
