#pragma once
// The pack's label: a frame, raised, recessed and shadowed text, text turned by an angle or laid along
// an ellipse, blinking on the pack's shared timer, a fly-by font colour and caption condensing.

#include "panels/PkCommon.h"
#include "platform/gui/StdCtrls.h"

#include <memory>

namespace kv {

class TPkMouseWatch;

enum class TCenterPoint {
    cpUpperLeft,
    cpUpperCenter,
    cpUpperRight,
    cpLeftCenter,
    cpCenter,
    cpRightCenter,
    cpLowerLeft,
    cpLowerCenter,
    cpLowerRight
};
std::vector<std::string> EnumIdents(TCenterPoint);
enum class TRotation { roNone, roFlat, roCurve };
std::vector<std::string> EnumIdents(TRotation);
enum class TPkCondenseCaption { ccNone, ccAtEnd, ccWithinPath };
std::vector<std::string> EnumIdents(TPkCondenseCaption);

class TPkLabel : public TLabel,
                 public IPkBlinkTarget,
                 public IPkFramingNotification,
                 public IDialogKeyTarget {
    KV_CLASS(TPkLabel)
public:
    explicit TPkLabel(TComponent* owner);
    ~TPkLabel() override;

    void Paint(TCanvas& canvas) override;
    virtual std::string GetLabelText() const { return Caption(); }
    virtual void ApplyFrameController();
    virtual void UpdateBlinkState(TBlinkState listState);
    virtual TRect CalcAutoSizeRect(TRect r) const;
    virtual TRect AdjustBorderRect(TRect r, bool includeBorderWidth) const;
    void AutoSizeToText();

    int Angle() const { return FAngle; }
    virtual void SetAngle(int v);
    bool Blinking() const { return FBlinking; }
    virtual void SetBlinking(bool v);
    TColor BlinkColor() const { return FBlinkColor; }
    virtual void SetBlinkColor(TColor v);
    virtual int GetBlinkIntervalOff() const;
    virtual void SetBlinkIntervalOff(int v);
    virtual int GetBlinkIntervalOn() const;
    virtual void SetBlinkIntervalOn(int v);
    int BevelWidth() const { return FBevelWidth; }
    virtual void SetBevelWidth(int v);
    TColor BorderColor() const { return FBorderColor; }
    virtual void SetBorderColor(TColor v);
    TFrameStyleEx BorderInner() const { return FBorderInner; }
    virtual void SetBorderInner(TFrameStyleEx v);
    TFrameStyleEx BorderOuter() const { return FBorderOuter; }
    virtual void SetBorderOuter(TFrameStyleEx v);
    TSides BorderSides() const { return FBorderSides; }
    virtual void SetBorderSides(TSides v);
    TColor BorderHighlight() const { return FBorderHighlight; }
    virtual void SetBorderHighlight(TColor v);
    TColor BorderShadow() const { return FBorderShadow; }
    virtual void SetBorderShadow(TColor v);
    int BorderWidth() const { return FBorderWidth; }
    virtual void SetBorderWidth(int v);
    TPkCondenseCaption CondenseCaption() const { return FCondenseCaption; }
    virtual void SetCondenseCaption(TPkCondenseCaption v);
    TColor FlatColor() const { return FFlatColor; }
    virtual void SetFlatColor(TColor v);
    int FlatColorAdjustment() const { return FFlatColorAdjustment; }
    virtual void SetFlatColorAdjustment(int v);
    TPkFrameController* FrameController() const { return FFrameController; }
    virtual void SetFrameController(TPkFrameController* v);
    TPkFrameControllerNotifications FrameControllerNotifications() const {
        return FFrameControllerNotifications;
    }
    void SetFrameControllerNotifications(TPkFrameControllerNotifications v) {
        FFrameControllerNotifications = v;
    }
    TCenterPoint CenterPoint() const { return FCenterPoint; }
    virtual void SetCenterPoint(TCenterPoint v);
    TColor FlyByColor() const { return FFlyByColor; }
    virtual void SetFlyByColor(TColor v);
    bool FlyByEnabled() const { return FFlyByEnabled; }
    virtual void SetFlyByEnabled(bool v);
    virtual TTextLayout GetLayout() const { return TLabel::Layout(); }
    virtual void SetLayout(TTextLayout v) { TLabel::SetLayout(v); }
    bool LightTextStyle() const { return FLightTextStyle; }
    virtual void SetLightTextStyle(bool v);
    TRotation Rotation() const { return FRotation; }
    virtual void SetRotation(TRotation v);
    int TextMargin() const { return FTextMargin; }
    virtual void SetTextMargin(int v);
    TTextStyle TextStyle() const { return FTextStyle; }
    virtual void SetTextStyle(TTextStyle v);
    TColor HighlightColor() const { return FHighlightColor; }
    virtual void SetHighlightColor(TColor v);
    TColor ShadowColor() const { return FShadowColor; }
    virtual void SetShadowColor(TColor v);
    int ShadowDepth() const { return FShadowDepth; }
    virtual void SetShadowDepth(int v);
    // The platform label's sizing settings, followed by the pack's own auto-size.
    void SetAutoSizeValue(bool v);
    void SetWordWrapValue(bool v);
    void SetShowAccelCharValue(bool v);

    TBlinkState BlinkStateNow() const { return FBlinkState; }
    TColor CurrentColor() const { return FCurrentColor; }
    void Loaded() override;
    int BlinkMessage(unsigned msg, int wparam) override;
    void FramingChanged() override { ApplyFrameController(); }
    virtual void MouseEnter();
    virtual void MouseLeave();

    // The control that the caption's accelerator gives the focus.
    TWinControl* FocusControl() const { return FFocusControl; }
    void SetFocusControl(TWinControl* v);
    bool DialogKey(std::uint16_t, TShiftState) override { return false; }
    bool DialogChar(char key) override;

    TSides LegacyFrameSides() const { return AllSides; }
    void SetLegacyFrameSides(TSides) {}

protected:
    void Notification(TComponent* component, TOperation operation) override;
    void FontChanged() override;
    void TextChanged() override;
    void ParentColorChanged() override;

private:
    template <class C> friend void PkApplyFrameController(C& c);

    unsigned TextFlags() const;
    void DrawFlatText(TCanvas& canvas);
    void DrawAngledText(TCanvas& canvas, const TRect& t, unsigned flags);
    void DrawCurvedText(TCanvas& canvas);
    void EnsureTrueTypeForRotation();

    int FAngle = 0;
    TColor FBlinkColor = clHighlight;
    TBlinkState FBlinkState = TBlinkState::bsOff;
    bool FBlinking = false;
    int FBevelWidth = 1;
    TFrameStyleEx FBorderInner = TFrameStyleEx::fsNone, FBorderOuter = TFrameStyleEx::fsNone;
    TSides FBorderSides = AllSides;
    TColor FBorderColor = clBtnFace, FBorderHighlight = clBtnHighlight, FBorderShadow = clBtnShadow;
    int FBorderWidth = 0;
    TColor FFlatColor = clBtnShadow;
    int FFlatColorAdjustment = 30;
    TColor FFontColor = clWindowText;
    TPkFrameController* FFrameController = nullptr;
    TWinControl* FFocusControl = nullptr;
    TPkFrameControllerNotifications FFrameControllerNotifications = AllFrameNotifications;
    TCenterPoint FCenterPoint = TCenterPoint::cpCenter;
    TColor FOrigColor = clWindowText;
    bool FInitColor = false;
    bool FFlyByEnabled = false;
    TColor FFlyByColor = clHighlight;
    bool FLightTextStyle = false;
    TTextStyle FTextStyle = TTextStyle::tsNormal;
    TRotation FRotation = TRotation::roNone;
    TColor FHighlightColor = clBtnHighlight, FShadowColor = clBtnShadow;
    int FShadowDepth = 2;
    int FTextMargin = 0;
    TPkCondenseCaption FCondenseCaption = TPkCondenseCaption::ccNone;
    TColor FCurrentColor = clWindowText;
    bool FHovered = false;
    std::unique_ptr<TPkMouseWatch> FWatch;
};

} // namespace kv
