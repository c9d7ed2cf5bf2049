#pragma once
// Annotations: texts, lines, shapes and pictures placed on the plot by data or data-view coordinates.

#include "plot/gDraw.h"
#include "plot/gPlotImageHolder.h"
#include "plot/gPlotObjects.h"
#include "plot/gPlotTable.h"

#include "platform/gui/Graphics.h"

#include <memory>
#include <string>
#include <vector>

namespace kv {

class TgPlotChannelCustom;
class TgPlotDataView;

enum class TgPlotReferenceType { iprtDataView, iprtChannel, iprtXChannelYDataView, iprtXDataViewYChannel };
std::vector<std::string> EnumIdents(TgPlotReferenceType);
enum class TgPlotReferenceIndividual { ipriDataView, ipriChannel, ipriAuto };
std::vector<std::string> EnumIdents(TgPlotReferenceIndividual);
enum class TgPlotAnnotationStyle {
    ipasText,
    ipasLine,
    ipasRectangle,
    ipasLineX,
    ipasLineY,
    ipasImage,
    ipasTextRectangle,
    ipasEllipse,
    ipasTextBox,
    ipasEllipse2,
    ipasPolygon,
    ipasRectangle2
};
std::vector<std::string> EnumIdents(TgPlotAnnotationStyle);
enum class TgPlotAnnotationSelectStyle {
    ipassNone,
    ipassMove,
    ipassSizeTopLeft,
    ipassSizeTopRight,
    ipassSizeBottomLeft,
    ipassSizeBottomRight
};
enum class TgAlignmentVertical { iavCenter, iavTop, iavBottom };
std::vector<std::string> EnumIdents(TgAlignmentVertical);

// A polygon corner, in the annotation's position frames.
struct TgPlotAnnotationPoint {
    double X = 0, Y = 0;
};

class TgPlotAnnotation : public TgPlotObject, public TgPlotImageHolder {
    KV_CLASS(TgPlotAnnotation)
public:
    TgPlotAnnotation(TComponent* owner, TNotifyEvent onChange, TNotifyEvent onInsert, TNotifyEvent onRemove,
                     TNotifyEvent onRename);
    ~TgPlotAnnotation() override;

    TgPlotAnnotationStyle Style() const { return FStyle; }
    void SetStyle(TgPlotAnnotationStyle value);
    TBrushStyle BrushStyle() const { return FBrushStyle; }
    void SetBrushStyle(TBrushStyle value);
    TColor BrushColor() const { return FBrushColor; }
    void SetBrushColor(TColor value);
    TPenStyle PenStyle() const { return FPenStyle; }
    void SetPenStyle(TPenStyle value);
    TColor PenColor() const { return FPenColor; }
    void SetPenColor(TColor value);
    int PenWidth() const { return FPenWidth; }
    void SetPenWidth(int value);
    TgPlotReferenceType Reference() const { return FReference; }
    void SetReference(TgPlotReferenceType value);
    TgPlotReferenceIndividual ReferencePositionX() const { return FReferencePositionX; }
    void SetReferencePositionX(TgPlotReferenceIndividual value);
    TgPlotReferenceIndividual ReferencePositionY() const { return FReferencePositionY; }
    void SetReferencePositionY(TgPlotReferenceIndividual value);
    TgPlotReferenceIndividual ReferenceSizeX() const { return FReferenceSizeX; }
    void SetReferenceSizeX(TgPlotReferenceIndividual value);
    TgPlotReferenceIndividual ReferenceSizeY() const { return FReferenceSizeY; }
    void SetReferenceSizeY(TgPlotReferenceIndividual value);
    TFont* Font() const { return FFont.get(); }
    void SetFont(const TFont* value) { FFont->Assign(value); }
    // Set by the plot at every paint.
    void SetDataView(TgPlotObject* dataView) { FDataView = dataView; }
    TgPlotObject* DataView() const { return FDataView; }

    // Coordinates fire the plot's coordinates-change event.
    double X() const { return FX; }
    void SetX(double value);
    double Y() const { return FY; }
    void SetY(double value);
    double X2() const { return FX2; }
    void SetX2(double value);
    double Y2() const { return FY2; }
    void SetY2(double value);
    double Width() const { return FWidth; }
    void SetWidth(double value);
    double Height() const { return FHeight; }
    void SetHeight(double value);

    const std::string& Text() const { return FText; }
    void SetText(const std::string& value);
    TgRotationAngle TextRotation() const { return FTextRotation; }
    void SetTextRotation(TgRotationAngle value);
    TgAlignmentHorizontal TextHorzAlignment() const { return FTextHorzAlignment; }
    void SetTextHorzAlignment(TgAlignmentHorizontal value);
    TgAlignmentVertical TextVertAlignment() const { return FTextVertAlignment; }
    void SetTextVertAlignment(TgAlignmentVertical value);
    TgAlignmentHorizontal TextLineAlignment() const { return FTextLineAlignment; }
    void SetTextLineAlignment(TgAlignmentHorizontal value);
    double TextHorzMargin() const { return FTextHorzMargin; }
    void SetTextHorzMargin(double value);
    double TextVertMargin() const { return FTextVertMargin; }
    void SetTextVertMargin(double value);
    int OuterMargin() const { return FOuterMargin; }
    void SetOuterMargin(int value);
    int ImageListIndex() const { return FImageListIndex; }
    void SetImageListIndex(int value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int value);
    // Changing it forgets the channel found by the old name.
    const std::string& ChannelName() const { return FChannelName; }
    void SetChannelName(const std::string& value);
    bool UserCanMove() const { return FUserCanMove; }
    void SetUserCanMove(bool value);
    bool UserCanSize() const { return FUserCanSize; }
    void SetUserCanSize(bool value);
    bool SelectModeOnlyInteraction() const { return FSelectModeOnlyInteraction; }
    void SetSelectModeOnlyInteraction(bool value);
    bool ClipToAxes() const { return FClipToAxes; }
    void SetClipToAxes(bool value);
    bool ShowFocusRect() const { return FShowFocusRect; }
    void SetShowFocusRect(bool value);

    // Polygon corners; changes show at the next paint.
    int PolyPointAdd(double x, double y);
    void PolyPointsClear();
    int PolyPointsCount() const { return static_cast<int>(FPolyPoints.size()); }
    TgPlotAnnotationPoint PolyPoint(int index) const {
        return FPolyPoints.at(static_cast<std::size_t>(index));
    }

    // Position conversions in the position frames (percent of the data view, or the channel's axis
    // units); 0 when the frame cannot be resolved. The pixels are along the axis of the coordinate.
    int PositionXToPixels(double value);
    int PositionYToPixels(double value);
    double PixelsXToPosition(int pixels);
    double PixelsYToPosition(int pixels);

    // The state of the last paint.
    bool Showing() const { return FShowing; }
    TRect ClickRect() const { return FClickRect; }
    TRect DrawRect() const { return FDrawRect; }
    TRect SizeTopLeftRect() const { return FSizeTopLeftRect; }
    TRect SizeTopRightRect() const { return FSizeTopRightRect; }
    TRect SizeBottomLeftRect() const { return FSizeBottomLeftRect; }
    TRect SizeBottomRightRect() const { return FSizeBottomRightRect; }
    TgPlotAnnotationSelectStyle SelectStyle() const { return FSelectStyle; }
    // Turns every pixel of the size handles of the last paint to its inverse: done twice, the picture is
    // as before. Paint does it once while the annotation is selected.
    void InvertHandles(TCanvas& canvas);
    // Only these shapes follow their size handles.
    bool CanResize() const;

    void NotificationAxisRemove(TObject* sender) override;
    void NotificationAxisRename(TObject* sender) override;
    void NotificationFocusChange(TObject* sender) override;
    void Draw(TCanvas& canvas, TColor backGroundColor) override;
    bool gMouseHitTest(const TgPlotMouseData& mouseData) override;
    void DoMouseLeft(const TgPlotMouseData& mouseData) override;
    void DoMouseMove(const TgPlotMouseData& mouseData) override;
    void DoMouseUp(const TgPlotMouseData& mouseData) override;
    TCursor GetMouseCursor(TPoint point) override;

protected:
    template <class T> void SetValue(T value, T& field) {
        if (value != field) {
            field = value;
            DoChange();
        }
    }

    TgPlotAnnotationStyle FStyle = TgPlotAnnotationStyle::ipasText;
    TgPlotAnnotationSelectStyle FSelectStyle = TgPlotAnnotationSelectStyle::ipassNone;
    TBrushStyle FBrushStyle = TBrushStyle::bsSolid;
    TColor FBrushColor = clWhite;
    TPenStyle FPenStyle = TPenStyle::psSolid;
    TColor FPenColor = clWhite;
    // 1, as the stream default, so that a width of 1 survives a round trip through a layout.
    int FPenWidth = 1;
    TgPlotReferenceType FReference = TgPlotReferenceType::iprtDataView;
    TgPlotReferenceIndividual FReferencePositionX = TgPlotReferenceIndividual::ipriAuto;
    TgPlotReferenceIndividual FReferencePositionY = TgPlotReferenceIndividual::ipriAuto;
    TgPlotReferenceIndividual FReferenceSizeX = TgPlotReferenceIndividual::ipriAuto;
    TgPlotReferenceIndividual FReferenceSizeY = TgPlotReferenceIndividual::ipriAuto;
    std::unique_ptr<TFont> FFont;
    TgPlotObject* FDataView = nullptr;
    TgPlotChannelCustom* FChannel = nullptr;
    std::string FChannelName, FText;
    std::vector<TgPlotAnnotationPoint> FPolyPoints;
    double FX = 0, FY = 0, FX2 = 0, FY2 = 0, FWidth = 0, FHeight = 0;
    TgRotationAngle FTextRotation = TgRotationAngle::ira000;
    TgAlignmentHorizontal FTextHorzAlignment = TgAlignmentHorizontal::iahCenter;
    TgAlignmentVertical FTextVertAlignment = TgAlignmentVertical::iavCenter;
    TgAlignmentHorizontal FTextLineAlignment = TgAlignmentHorizontal::iahCenter;
    double FTextHorzMargin = 1, FTextVertMargin = 1;
    int FOuterMargin = 0;
    int FImageListIndex = 0, FImageIndex = 0;
    bool FUserCanMove = false, FUserCanSize = false, FSelectModeOnlyInteraction = true, FClipToAxes = false;
    bool FShowFocusRect = true;

    bool FShowing = false;
    TRect FDrawRect{}, FClickRect{};
    TRect FSizeTopLeftRect{}, FSizeTopRightRect{}, FSizeBottomLeftRect{}, FSizeBottomRightRect{};
    bool FRectChange = false;
    bool FPressed = false;
    int FMouseDownX = 0, FMouseDownY = 0;
    double FMouseDownWidth = 0, FMouseDownHeight = 0;
    int FMouseDownPositionPixelsX = 0, FMouseDownPositionPixelsY = 0;
    TRect FMouseDownRect{};
    double FMouseDownXValue = 0, FMouseDownYValue = 0, FMouseDownX2Value = 0, FMouseDownY2Value = 0;

private:
    void SetCoordinate(double value, double& field);
    TgPlotDataView* GetDataView() const;
    TgPlotChannelCustom* GetChannel();
    bool PositionXInChannel() const;
    bool PositionYInChannel() const;
    bool SizeXInChannel() const;
    bool SizeYInChannel() const;
    bool UsesChannelFrame() const;
    bool UsesDataViewFrame() const;
    int FrameToPixels(bool xRole, bool channelFrame, double value);
    double FrameFromPixels(bool xRole, bool channelFrame, int pixels);
    int SizeToPixels(bool xRole, double size);
    void SetGeometryFromRect(int left, int top, int right, int bottom);
    TRect TextRect(TCanvas& canvas, TPoint centre, int extra);
    void DrawText(TCanvas& canvas, const TRect& rect);
    void SetHandles(const TRect& dataView);
    bool HasHandles() const;
};

} // namespace kv
