#pragma once
// The pack's panel and group box: a container that draws its own frame (outer and inner styles with a
// border between them, on chosen sides), fills its client area with a colour or a gradient or leaves
// it transparent, can draw a grid and draws its caption; the group box adds six group styles.

#include "panels/PkCommon.h"
#include "platform/gui/StdCtrls.h"

#include <memory>

namespace kv {

class TPkMouseWatch;

enum class TPkGridStyle { gsDots, gsDottedLines, gsSolidLines };
std::vector<std::string> EnumIdents(TPkGridStyle);
enum class TPkGroupBoxStyle { gsStandard, gsCustom, gsTopLine, gsFlat, gsBanner, gsUnderline };
std::vector<std::string> EnumIdents(TPkGroupBoxStyle);

class TPkCustomPanel;

// Grabbers and captions of the clients docked in a panel.
class TPkPanelDockManager {
public:
    explicit TPkPanelDockManager(TPkCustomPanel* panel);
    ~TPkPanelDockManager();
    TPkPanelDockManager(const TPkPanelDockManager&) = delete;
    TPkPanelDockManager& operator=(const TPkPanelDockManager&) = delete;
    int GrabberSize() const { return FGrabberSize; }
    // Moves the dock rectangle's left (top- or bottom-aligned panel) or top in by the grabber.
    void AdjustDockRect(TControl* client, TRect& rect) const;
    // Draws the grabber of `client` docked in `rect`.
    void PaintDockFrame(TCanvas& canvas, TControl* client, const TRect& rect) const;

private:
    TPkCustomPanel* FPanel;
    std::unique_ptr<TFont> FFont, FCloseFont;
    int FGrabberSize = 14;
};

class TPkCustomPanel : public TCustomPanel, public IPkFramingNotification {
    KV_CLASS(TPkCustomPanel)
public:
    explicit TPkCustomPanel(TComponent* owner);
    ~TPkCustomPanel() override;

    virtual TPoint GetClientCursorPos() const;
    virtual TRect AdjustBorderRect(TRect r, bool includeBorderWidth) const;
    virtual TRect GetControlRect() const { return {0, 0, Width(), Height()}; }
    virtual TPoint GetCaptionOffset() const { return {1, 1}; }
    virtual void GetGradientColors(TColor& start, TColor& stop) const;
    virtual void GetFlatColors(TColor& color, int& adjustment) const;
    virtual void DrawCaption(TCanvas& canvas, TRect r);
    virtual void DrawGrid(TCanvas& canvas, TRect r);
    virtual void ApplyFrameController();

    TAlignmentVertical AlignmentVertical() const { return FAlignmentVertical; }
    virtual void SetAlignmentVertical(TAlignmentVertical v);
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
    TPkGradientColorStyle GradientColorStyle() const { return FGradientColorStyle; }
    virtual void SetGradientColorStyle(TPkGradientColorStyle v);
    TColor GradientColorStart() const { return FGradientColorStart; }
    virtual void SetGradientColorStart(TColor v);
    TColor GradientColorStop() const { return FGradientColorStop; }
    virtual void SetGradientColorStop(TColor v);
    TGradientDirection GradientDirection() const { return FGradientDirection; }
    virtual void SetGradientDirection(TGradientDirection v);
    TColor GridColor() const { return FGridColor; }
    virtual void SetGridColor(TColor v);
    TPkGridStyle GridStyle() const { return FGridStyle; }
    virtual void SetGridStyle(TPkGridStyle v);
    int GridXSize() const { return FGridXSize; }
    virtual void SetGridXSize(int v);
    int GridYSize() const { return FGridYSize; }
    virtual void SetGridYSize(int v);
    void SetGridSize(int x, int y);
    bool PaintClientArea() const { return FPaintClientArea; }
    virtual void SetPaintClientArea(bool v);
    bool ShowGrid() const { return FShowGrid; }
    virtual void SetShowGrid(bool v);
    void SetTransparent(bool v) override;
    int TextMargin() const { return FTextMargin; }
    virtual void SetTextMargin(int v);
    int TextMarginVertical() const { return FTextMarginVertical; }
    virtual void SetTextMarginVertical(int v);
    bool WordWrap() const { return FWordWrap; }
    virtual void SetWordWrap(bool v);
    TPkVisualStyle VisualStyle() const { return FVisualStyle; }
    virtual void SetVisualStyle(TPkVisualStyle v);
    bool ShowDockClientCaptions() const { return FShowDockClientCaptions; }
    void SetShowDockClientCaptions(bool v);
    bool FullRepaint() const { return FFullRepaint; }
    void SetFullRepaint(bool v) { FFullRepaint = v; }
    bool Locked() const { return FLocked; }
    void SetLocked(bool v) { FLocked = v; }
    bool DockSite() const { return FDockSite; }
    void SetDockSite(bool v);
    bool UseDockManager() const { return FUseDockManager; }
    void SetUseDockManager(bool v);
    TPkPanelDockManager* DockManager() const { return FDockManager.get(); }

    // The client rectangle inside the frame, and the area the children are arranged in.
    TRect GetClientRect() const;
    virtual TRect ComputeChildArea() const;
    TRect ClientRect() const override { return ComputeChildArea(); }
    void SetBounds(int left, int top, int width, int height) override;
    void Paint(TCanvas& canvas) override;
    void SetEnabled(bool v) override;
    // The mouse notifications of the widget (tests may call them).
    virtual void MouseEnter();
    virtual void MouseLeave();
    // The theme-changed notification: the colour scheme is read again.
    void ThemeChanged();
    void FramingChanged() override { ApplyFrameController(); }

    TNotifyEvent OnPaint;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;

    // Obsolete layout entries.
    TSides LegacyFrameSides() const { return AllSides; }
    void SetLegacyFrameSides(TSides) {}
    bool LegacyThemeAware() const { return false; }
    void SetLegacyThemeAware(bool) {}
    bool LegacyUseGradients() const { return false; }
    void SetLegacyUseGradients(bool v) {
        if (v)
            SetVisualStyle(TPkVisualStyle::vsGradient);
    }

protected:
    template <class C> friend void PkApplyFrameController(C& c);

    void Notification(TComponent* component, TOperation operation) override;
    TColor ParentColorValue() const;
    bool RoundedFrameShowing() const;
    // Realigns the children and repaints.
    void Realign();

    TAlignmentVertical FAlignmentVertical = TAlignmentVertical::avCenter;
    TFrameStyleEx FBorderInner = TFrameStyleEx::fsNone, FBorderOuter = TFrameStyleEx::fsRaised;
    TSides FBorderSides = AllSides;
    TColor FBorderColor = clBtnFace, FBorderHighlight = clBtnHighlight, FBorderShadow = clBtnShadow,
           FFlatColor = clBtnShadow;
    int FFlatColorAdjustment = 30;
    bool FPaintClientArea = true;
    TPkVisualStyle FVisualStyle = TPkVisualStyle::vsWinXP;
    TPkGradientColorStyle FGradientColorStyle = TPkGradientColorStyle::gcsSystem;
    TColor FGradientColorStart = clWhite, FGradientColorStop = clBtnFace;
    TGradientDirection FGradientDirection = TGradientDirection::gdHorizontalEnd;
    TColor FGridColor = clBtnShadow;
    TPkGridStyle FGridStyle = TPkGridStyle::gsDots;
    int FGridXSize = 8, FGridYSize = 8;
    bool FShowGrid = false;
    int FTextMargin = 0, FTextMarginVertical = 0;
    bool FWordWrap = true, FShowDockClientCaptions = true;
    std::unique_ptr<TStrings> FEnabledList;
    TPkFrameController* FFrameController = nullptr;
    TPkFrameControllerNotifications FFrameControllerNotifications = AllFrameNotifications;
    bool FFullRepaint = true, FLocked = false, FDockSite = false, FUseDockManager = false;
    std::unique_ptr<TPkPanelDockManager> FDockManager;
    std::unique_ptr<TPkMouseWatch> FWatch;
};

class TPkPanel : public TPkCustomPanel {
    KV_CLASS(TPkPanel)
public:
    explicit TPkPanel(TComponent* owner) : TPkCustomPanel(owner) {}
};

class TPkCustomGroupBox : public TPkCustomPanel, public IDialogKeyTarget {
    KV_CLASS(TPkCustomGroupBox)
public:
    explicit TPkCustomGroupBox(TComponent* owner);
    ~TPkCustomGroupBox() override;

    TRect ComputeChildArea() const override;
    void Paint(TCanvas& canvas) override;
    void ApplyFrameController() override;
    int BannerHeight() const { return FBannerHeight; }
    virtual void SetBannerHeight(int v);
    TPkGroupBoxStyle GroupStyle() const { return FGroupStyle; }
    virtual void SetGroupStyle(TPkGroupBoxStyle v);
    TFont* CaptionFont() const { return FCaptionFont.get(); }
    virtual void SetCaptionFont(const TFont* v);
    bool CaptionFontChanged() const { return FCaptionFontChanged; }
    // The caption's accelerator moves the focus to the first child; true when the key was taken.
    bool DialogKey(std::uint16_t, TShiftState) override { return false; }
    bool DialogChar(char key) override;
    // Scaling by m / d also scales a caption font that was set on its own.
    void ChangeScale(int m, int d);
    // The caption rectangle of the current style (empty for an empty caption or gsCustom).
    TRect CaptionRect(TCanvas& canvas) const;

protected:
    void FontChanged() override;

private:
    TPkGroupBoxStyle FGroupStyle = TPkGroupBoxStyle::gsFlat;
    int FBannerHeight = 0;
    std::unique_ptr<TFont> FCaptionFont;
    bool FCaptionFontChanged = false;
    bool FCopyingFont = false;
};

class TPkGroupBox : public TPkCustomGroupBox {
    KV_CLASS(TPkGroupBox)
public:
    explicit TPkGroupBox(TComponent* owner) : TPkCustomGroupBox(owner) {}
};

} // namespace kv
