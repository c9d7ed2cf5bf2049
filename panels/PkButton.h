#pragma once
// The pack's push button: classic system-coloured or tinted by its Color, or hot-tracking with a
// gradient face; 3D caption styles, default and cancel behaviour and optional toggle groups.
// Themed drawing takes the classic branch in the fixed profile.

#include "panels/PkGraphics.h"
#include "platform/gui/Forms.h"

#include <memory>

class QObject;

namespace kv {

// The group message a push button going down sends to every child of its parent.
constexpr unsigned WM_PUSHBUTTONPRESSED = 0x2421;

enum class TPkHotTrackColorType { htctComplement, htctActual };
std::vector<std::string> EnumIdents(TPkHotTrackColorType);

class TPkCustomButton : public TCustomControl {
    KV_CLASS(TPkCustomButton)
public:
    explicit TPkCustomButton(TComponent* owner);
    ~TPkCustomButton() override;

    TPkAboutInfo* About() const { return FAboutInfo.get(); }
    TAlignmentVertical AlignmentVertical() const { return FAlignmentVertical; }
    TColor HotTrackColor() const { return FHotTrackColor; }
    void SetHotTrackColor(TColor v);
    TPkHotTrackColorType HotTrackColorType() const { return FHotTrackColorType; }
    void SetHotTrackColorType(TPkHotTrackColorType v);
    TColor HighlightColor() const { return FHighlightColor; }
    bool LightTextStyle() const { return FLightTextStyle; }
    TTextStyle TextStyle() const { return FTextStyle; }
    TColor TextHighlightColor() const { return FTextHighlightColor; }
    TColor TextShadowColor() const { return FTextShadowColor; }
    int TextShadowDepth() const { return FTextShadowDepth; }
    bool HotTrack() const { return FHotTrack; }
    bool ThemeAware() const { return FThemeAware; }
    bool MouseOverButton() const { return FMouseOverButton; }
    bool ShowDownVersion() const { return FShowDownVersion; }

    virtual void PaintParentBackground(TCanvas& canvas);
    virtual void StateChanged();
    virtual void RepaintButton();
    virtual TRect GetButtonRect() const;
    virtual bool UsingThemes() const;
    // The caption in `r` with the horizontal and break flags given; placed vertically by
    // AlignmentVertical and drawn in the text style.
    virtual void DrawCaption(TCanvas& canvas, TRect r, unsigned flags);
    virtual void PerformClick() = 0;
    virtual void SetAlignmentVertical(TAlignmentVertical v);
    virtual void SetHotTrack(bool v);
    virtual void SetHighlightColor(TColor v);
    virtual void SetLightTextStyle(bool v);
    virtual void SetTextStyle(TTextStyle v);
    virtual void SetTextHighlightColor(TColor v);
    virtual void SetTextShadowColor(TColor v);
    virtual void SetTextShadowDepth(int v);
    virtual void SetThemeAware(bool v);
    void SetTransparent(bool v) override;

    void SetEnabled(bool v) override;
    void DoEnter() override;
    void DoExit() override;
    void MouseEnter();
    void MouseLeave();

    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;

protected:
    void TextChanged() override;
    bool HasFocus() const { return FHasFocus; }

    std::unique_ptr<TPkAboutInfo> FAboutInfo;
    TAlignmentVertical FAlignmentVertical = TAlignmentVertical::avCenter;
    TColor FHotTrackColor = 0x149BF0;
    TPkHotTrackColorType FHotTrackColorType = TPkHotTrackColorType::htctActual;
    TColor FHighlightColor = clHighlight;
    bool FLightTextStyle = false;
    TTextStyle FTextStyle = TTextStyle::tsNormal;
    TColor FTextHighlightColor = clBtnHighlight;
    TColor FTextShadowColor = clBtnShadow;
    int FTextShadowDepth = 2;
    bool FDragging = false;
    bool FHotTrack = false;
    bool FMouseOverButton = false;
    bool FShowDownVersion = false;
    bool FThemeAware = true;
    bool FHasFocus = false;
    QObject* FHoverWatcher = nullptr;
};

class TPkButton : public TPkCustomButton, public IDialogKeyTarget {
    KV_CLASS(TPkButton)
public:
    explicit TPkButton(TComponent* owner);

    TAlignment Alignment() const { return FAlignment; }
    bool Default() const { return FDefault; }
    bool Cancel() const { return FCancel; }
    void SetCancel(bool v) { FCancel = v; }
    bool Active() const { return FActive; }
    TModalResult ModalResult() const { return FModalResult; }
    void SetModalResult(TModalResult v) { FModalResult = v; }
    bool AllowAllUp() const { return FAllowAllUp; }
    bool Down() const { return FDown; }
    int GroupIndex() const { return FGroupIndex; }
    bool ShowDownPattern() const { return FShowDownPattern; }
    bool ShowFocusRect() const { return FShowFocusRect; }
    TColor FrameColor() const { return FFrameColor; }
    TButtonState State() const { return FState; }
    bool Clicking() const { return FClicking; }
    // The retired "FrameFlat" entry of old layouts: read only, it turns hot-tracking on.
    bool FrameFlat() const { return HotTrack(); }
    void SetFrameFlat(bool v) { SetHotTrack(v); }

    void Paint(TCanvas& canvas) override;
    void PaintParentBackground(TCanvas& canvas) override;
    void StateChanged() override;
    void PerformClick() override;
    void SetHotTrack(bool v) override;
    void Loaded() override;
    void Click() override;

    virtual TRect GetCaptionRect() const;
    virtual void DrawButtonCaption(TCanvas& canvas);
    virtual std::unique_ptr<TBitmap> BuildDownPattern() const;
    virtual void SetAlignment(TAlignment v);
    virtual void SetDefault(bool v);
    virtual void SetAllowAllUp(bool v);
    virtual void SetDown(bool v);
    virtual void SetFrameColor(TColor v);
    virtual void SetGroupIndex(int v);
    virtual void SetShowDownPattern(bool v);
    virtual void SetShowFocusRect(bool v);

    // The form's focus moved to `focused` (null: to a control that is no button).
    void FocusChanged(TWinControl* focused);
    // Enter on the active default button or Escape on a cancel button; true when it clicked.
    bool DialogKey(std::uint16_t key, TShiftState shift) override;
    // The caption's accelerator typed in the dialog; true when it clicked.
    bool DialogChar(char key) override;
    // The group message; a push button never answers non-zero.
    template <class B> friend int PkSiblingPressed(B& self, int groupIndex, B* sender);
    virtual int PushButtonPressed(int groupIndex, TPkButton* sender);

    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    bool KeyDown(std::uint16_t& key, TShiftState shift) override;
    bool KeyUp(std::uint16_t& key, TShiftState shift) override;
    void DoEnter() override;
    void DoExit() override;

private:
    void NotifyGroup();
    bool FaceDown() const;
    void NotifyFormFocus(TWinControl* focused);

    TAlignment FAlignment = TAlignment::taCenter;
    bool FClicking = false;
    bool FDefault = false;
    bool FCancel = false;
    bool FActive = false;
    TModalResult FModalResult = mrNone;
    bool FKeyToggle = false;
    bool FAllowAllUp = false;
    bool FDown = false;
    int FGroupIndex = 0;
    bool FShowDownPattern = true;
    bool FShowFocusRect = true;
    TColor FFrameColor = cl3DDkShadow;
    TButtonState FState = TButtonState::bsUp;
};

} // namespace kv
