#pragma once
// The bitmap button: one of six per-state bitmaps (up, hot, up-and-focused, disabled, pressed,
// stay-down) drawn over the parent's image, optionally stretched or tiled, with a caption on top.
// Buttons with a group index toggle; a member going down raises the down member among its siblings.

#include "panels/PkGraphics.h"
#include "platform/gui/Forms.h"

#include <memory>

class QObject;

namespace kv {

// The group message a bitmap button going down sends to every child of its parent.
constexpr unsigned WM_BMPBUTTONPRESSED = 0x2420;

class TPkButtonBitmaps : public TPersistent {
    KV_CLASS(TPkButtonBitmaps)
public:
    TPkButtonBitmaps();
    ~TPkButtonBitmaps() override;

    TBitmap* Up() const { return FUp.get(); }
    TBitmap* UpAndFocused() const { return FUpAndFocused.get(); }
    TBitmap* Disabled() const { return FDisabled.get(); }
    TBitmap* Down() const { return FDown.get(); }
    TBitmap* StayDown() const { return FStayDown.get(); }
    TBitmap* Hot() const { return FHot.get(); }
    TColor TransparentColor() const { return FTransparentColor; }

    // Each copies the given bitmap into the owned one, which notifies the owner.
    virtual void SetUp(const TBitmap* v);
    virtual void SetUpAndFocused(const TBitmap* v);
    virtual void SetDisabled(const TBitmap* v);
    virtual void SetDown(const TBitmap* v);
    virtual void SetStayDown(const TBitmap* v);
    virtual void SetHot(const TBitmap* v);
    virtual void SetTransparentColor(TColor v);

    TNotifyEvent OnChange;

private:
    void Changed();
    void Bind(TBitmap& b);
    std::unique_ptr<TBitmap> FUp, FUpAndFocused, FDisabled, FDown, FStayDown, FHot;
    TColor FTransparentColor = clOlive;
};

enum class TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
std::vector<std::string> EnumIdents(TButtonLayout);
enum class TButtonStyle { bsAutoDetect, bsWin31, bsNew };
std::vector<std::string> EnumIdents(TButtonStyle);
enum class TButtonBorder { bbNone, bbSingle, bbButton };
std::vector<std::string> EnumIdents(TButtonBorder);
enum class TBtnSize { bszNeither, bszButtonToBitmap, bszStretchToButton, bszTileToButton };
std::vector<std::string> EnumIdents(TBtnSize);

class TPkBmpButton : public TCustomControl, public IDialogKeyTarget {
    KV_CLASS(TPkBmpButton)
public:
    explicit TPkBmpButton(TComponent* owner);
    ~TPkBmpButton() override;

    TPkAboutInfo* About() const { return FAboutInfo.get(); }
    bool AllowAllUp() const { return FAllowAllUp; }
    int CaptionDownOffset() const { return FCaptionDownOffset; }
    TModalResult ModalResult() const { return FModalResult; }
    void SetModalResult(TModalResult v) { FModalResult = v; }
    int GroupIndex() const { return FGroupIndex; }
    bool Down() const { return FDown; }
    TPkButtonBitmaps* Bitmaps() const { return FBitmaps.get(); }
    TButtonBorder ButtonBorder() const { return FButtonBorder; }
    bool ShowDownPattern() const { return FShowDownPattern; }
    bool ShowFocus() const { return FShowFocus; }
    TBtnSize ButtonSize() const { return FButtonSize; }
    TButtonStyle ButtonStyle() const { return FButtonStyle; }
    TButtonLayout Layout() const { return FLayout; }
    int Margin() const { return FMargin; }
    int Spacing() const { return FSpacing; }
    TButtonState State() const { return FState; }
    bool IsFocused() const { return FIsFocused; }
    bool MouseOverButton() const { return FMouseOverButton; }

    virtual void SetAllowAllUp(bool v);
    virtual void SetButtonBorder(TButtonBorder v);
    virtual void SetButtonSize(TBtnSize v);
    virtual void SetButtonStyle(TButtonStyle v);
    virtual void SetDown(bool v);
    virtual void SetCaptionDownOffset(int v);
    virtual void SetGroupIndex(int v);
    virtual void SetLayout(TButtonLayout v);
    virtual void SetMargin(int v);
    virtual void SetShowDownPattern(bool v);
    virtual void SetShowFocus(bool v);
    virtual void SetSpacing(int v);
    void SetBitmaps(const TPkButtonBitmaps*) {}

    // Sets the form's modal result (also when it is 0), then raises OnClick.
    void Click() override;
    void DblClick() override;
    void Loaded() override;
    void Paint(TCanvas& canvas) override;
    void SetEnabled(bool v) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    bool KeyDown(std::uint16_t& key, TShiftState shift) override;
    bool KeyUp(std::uint16_t& key, TShiftState shift) override;
    void DoEnter() override;
    void DoExit() override;
    void SetBounds(int left, int top, int width, int height) override;

    // The accelerator of the caption typed in the dialog: clicks an enabled button; true when it did.
    bool DialogKey(std::uint16_t, TShiftState) override { return false; }
    bool DialogChar(char key) override;
    // The mouse entering and leaving the button (also reached from the widget's own enter and leave).
    void MouseEnter();
    void MouseLeave();
    // The group message; the bitmap button never answers non-zero.
    template <class B> friend int PkSiblingPressed(B& self, int groupIndex, B* sender);
    virtual int BmpButtonPressed(int groupIndex, TPkBmpButton* sender);

    // The caption and bitmap rectangles inside a content rectangle, for a chosen bitmap.
    void CalcLayout(const TRect& content, const TBitmap* bitmap, TRect& captionRect, TRect& bitmapRect);
    // The bitmap a paint in the current state would draw (null for none); `embossed` receives the
    // generated disabled image when one is needed.
    const TBitmap* ChooseBitmap(std::unique_ptr<TBitmap>& embossed) const;

    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;

    // Buttons alive and whether the shared down pattern exists (the pattern goes with the last button).
    static int LiveButtons();
    static bool DownPatternExists();

protected:
    void FontChanged() override;
    void TextChanged() override;

private:
    void NotifyGroup();
    void ReleaseStep(bool inside);
    void AutoSize();
    void BitmapsChanged();
    bool Inside(int x, int y) const;
    bool NewStyle() const;

    std::unique_ptr<TPkAboutInfo> FAboutInfo;
    int FGroupIndex = 0;
    std::unique_ptr<TPkButtonBitmaps> FBitmaps;
    bool FDown = false;
    int FCaptionDownOffset = 1;
    bool FDragging = false;
    bool FAllowAllUp = false;
    TButtonLayout FLayout = TButtonLayout::blGlyphLeft;
    int FSpacing = 4;
    int FMargin = -1;
    TButtonStyle FButtonStyle = TButtonStyle::bsAutoDetect;
    TButtonBorder FButtonBorder = TButtonBorder::bbNone;
    TBtnSize FButtonSize = TBtnSize::bszButtonToBitmap;
    bool FShowFocus = true;
    bool FShowDownPattern = true;
    bool FIsFocused = false;
    TModalResult FModalResult = mrNone;
    TButtonState FState = TButtonState::bsUp;
    bool FMouseOverButton = false;
    TPoint FLastMouse;
    QObject* FHoverFilter = nullptr;
};

} // namespace kv
