#pragma once
// The control tree: TControl (bounds, alignment, visibility, font, colour, mouse events) and
// TWinControl (children, keys, focus), each standing on one Qt widget.
//
// Events fire synchronously in the caller's thread, and only where the old framework raised them:
// values set from code raise the events it raised there, and Qt signals it did not raise are ignored.

#include "platform/gui/Graphics.h"

#include <qnamespace.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class QWidget;
class QMouseEvent;
class QWheelEvent;
class QKeyEvent;

namespace kv {

class TWinControl;
class TPopupMenu;
class TCustomForm;

enum class TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };
std::vector<std::string> EnumIdents(TAlign);
enum class TAnchorKind { akLeft, akTop, akRight, akBottom };
std::vector<std::string> EnumIdents(TAnchorKind);
using TAnchors = TSet<TAnchorKind>;
enum class TMouseButton { mbLeft, mbRight, mbMiddle };
std::vector<std::string> EnumIdents(TMouseButton);
enum class TShiftItem { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
std::vector<std::string> EnumIdents(TShiftItem);
using TShiftState = TSet<TShiftItem>;
enum class TAlignment { taLeftJustify, taRightJustify, taCenter };
std::vector<std::string> EnumIdents(TAlignment);
enum class TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
std::vector<std::string> EnumIdents(TBevelCut);
enum class TBorderStyle { bsNone, bsSingle };
std::vector<std::string> EnumIdents(TBorderStyle);

using TCursor = int;
constexpr TCursor crDefault = 0, crNone = -1, crArrow = -2, crCross = -3, crIBeam = -4, crSizeNESW = -6,
                  crSizeNS = -7, crSizeNWSE = -8, crSizeWE = -9, crUpArrow = -10, crHourGlass = -11,
                  crDrag = -12, crNoDrop = -13, crHSplit = -14, crVSplit = -15, crNo = -18, crAppStart = -19,
                  crHelp = -20, crHandPoint = -21, crSizeAll = -22;
const TIdentMap& CursorIdents();

// Virtual key codes of the keys the program looks at.
enum : std::uint16_t {
    VK_BACK = 0x08,
    VK_TAB = 0x09,
    VK_RETURN = 0x0D,
    VK_SHIFT = 0x10,
    VK_CONTROL = 0x11,
    VK_MENU = 0x12,
    VK_ESCAPE = 0x1B,
    VK_SPACE = 0x20,
    VK_PRIOR = 0x21,
    VK_NEXT = 0x22,
    VK_END = 0x23,
    VK_HOME = 0x24,
    VK_LEFT = 0x25,
    VK_UP = 0x26,
    VK_RIGHT = 0x27,
    VK_DOWN = 0x28,
    VK_INSERT = 0x2D,
    VK_DELETE = 0x2E,
    VK_APPS = 0x5D,     // the menu key: the context-menu key
    VK_ADD = 0x6B,      // + on the keypad
    VK_SUBTRACT = 0x6D, // - on the keypad
    VK_F1 = 0x70,
    VK_OEM_PLUS = 0xBB, // the key with = and +
    VK_OEM_MINUS = 0xBD // the key with - and _
};

using TMouseEvent =
    std::function<void(TObject* sender, TMouseButton button, TShiftState shift, int x, int y)>;
using TMouseMoveEvent = std::function<void(TObject* sender, TShiftState shift, int x, int y)>;
using TMouseWheelEvent =
    std::function<void(TObject* sender, TShiftState shift, int wheelDelta, TPoint mousePos, bool& handled)>;
using TKeyEvent = std::function<void(TObject* sender, std::uint16_t& key, TShiftState shift)>;
using TKeyPressEvent = std::function<void(TObject* sender, char& key)>;

// A control of another library that takes part in its form's dialog keys: Enter and Escape that the
// focused control left (default and cancel buttons) and Alt+letter (accelerators, "&X" in a caption).
// The form offers the key to its showing controls in turn; the first that answers true took it.
class IDialogKeyTarget {
public:
    virtual bool DialogKey(std::uint16_t key, TShiftState shift) = 0;
    // key: the accelerator character, upper case.
    virtual bool DialogChar(char key) = 0;

protected:
    ~IDialogKeyTarget() = default;
};

class TSizeConstraints : public TPersistent {
    KV_CLASS(TSizeConstraints)
public:
    int MaxHeight() const { return FMaxHeight; }
    void SetMaxHeight(int v) { FMaxHeight = v; }
    int MaxWidth() const { return FMaxWidth; }
    void SetMaxWidth(int v) { FMaxWidth = v; }
    int MinHeight() const { return FMinHeight; }
    void SetMinHeight(int v) { FMinHeight = v; }
    int MinWidth() const { return FMinWidth; }
    void SetMinWidth(int v) { FMinWidth = v; }

private:
    int FMaxHeight = 0, FMaxWidth = 0, FMinHeight = 0, FMinWidth = 0;
};

class TControl : public TComponent {
    KV_CLASS(TControl)
public:
    ~TControl() override;

    QWidget* Widget() const { return FWidget; }
    static TControl* FromWidget(const QWidget* w);

    TWinControl* Parent() const { return FParent; }
    virtual void SetParent(TWinControl* parent);

    int Left() const { return FLeft; }
    int Top() const { return FTop; }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    void SetLeft(int v) { SetBounds(v, FTop, FWidth, FHeight); }
    void SetTop(int v) { SetBounds(FLeft, v, FWidth, FHeight); }
    void SetWidth(int v) { SetBounds(FLeft, FTop, v, FHeight); }
    void SetHeight(int v) { SetBounds(FLeft, FTop, FWidth, v); }
    virtual void SetBounds(int left, int top, int width, int height);
    TRect BoundsRect() const { return {FLeft, FTop, FLeft + FWidth, FTop + FHeight}; }
    virtual TRect ClientRect() const { return {0, 0, ClientWidth(), ClientHeight()}; }
    virtual int ClientWidth() const { return FWidth; }
    virtual int ClientHeight() const { return FHeight; }
    void SetClientWidth(int v) { SetWidth(FWidth - ClientWidth() + v); }
    void SetClientHeight(int v) { SetHeight(FHeight - ClientHeight() + v); }
    TPoint ClientToScreen(TPoint p) const;
    TPoint ScreenToClient(TPoint p) const;

    TAlign Align() const { return FAlign; }
    void SetAlign(TAlign v);
    TAnchors Anchors() const { return FAnchors; }
    void SetAnchors(TAnchors v);
    TSizeConstraints* Constraints() const { return FConstraints.get(); }
    bool Visible() const { return FVisible; }
    virtual void SetVisible(bool v);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    // Visible here and in every parent up to a shown form.
    bool Showing() const;
    bool Enabled() const { return FEnabled; }
    virtual void SetEnabled(bool v);
    const std::string& Hint() const { return FHint; }
    void SetHint(const std::string& v);
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool v) { FShowHint = v; }
    bool ParentShowHint() const { return FParentShowHint; }
    void SetParentShowHint(bool v) { FParentShowHint = v; }
    TCursor Cursor() const { return FCursor; }
    void SetCursor(TCursor v);
    TFont* Font() const { return FFont.get(); }
    void SetFont(TFont* f) { FFont->Assign(f); }
    bool ParentFont() const { return FParentFont; }
    void SetParentFont(bool v);
    TColor Color() const { return FColor; }
    void SetColor(TColor v);
    bool ParentColor() const { return FParentColor; }
    void SetParentColor(bool v);
    // Caption and Text are one value, as in the old framework; controls publish the one they use.
    const std::string& Caption() const { return FText; }
    void SetCaption(const std::string& v) { SetText(v); }
    virtual const std::string& Text() const { return FText; }
    virtual void SetText(const std::string& v);
    TPopupMenu* PopupMenu() const { return FPopupMenu; }
    void SetPopupMenu(TPopupMenu* m);
    bool Transparent() const { return FTransparent; }
    virtual void SetTransparent(bool v);

    void Invalidate();
    void Repaint();
    void Update();
    void Refresh() { Repaint(); }
    void BringToFront();
    void SendToBack();
    // Renders the control and its children as they would appear on screen.
    QImage RenderToImage();

    // Synchronous actions, as user input would trigger them.
    virtual void Click();
    virtual void DblClick();

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TNotifyEvent OnResize;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;
    TMouseWheelEvent OnMouseWheel;

    // Called by the widget bridge; overridable as the old framework's message handlers.
    virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseMove(TShiftState shift, int x, int y);
    // Returns true when the wheel was handled and the widget's own reaction must not happen.
    virtual bool DoMouseWheel(TShiftState shift, int wheelDelta, TPoint mousePos);
    // Paints the control when it draws itself (IsSelfPainted); the canvas covers the control.
    virtual void Paint(TCanvas& canvas);
    virtual bool IsSelfPainted() const { return false; }
    // A self-painted control whose canvas starts filled with its colour (otherwise the parent shows).
    virtual bool OpaqueBackground() const { return false; }
    // The old framework's window procedure hook, run after the widget handled a paint or resize.
    virtual void WndProcPaint() {}
    // The form that holds this control, or nullptr.
    TCustomForm* ParentForm() const;

    void Loaded() override;

protected:
    // `make` creates the control's own widget (which the control owns) for this control.
    using TWidgetFactory = QWidget* (*)(TControl* control);
    TControl(TComponent* owner, TWidgetFactory make);
    virtual void FontChanged();
    virtual void ColorChanged();
    virtual void TextChanged() {}
    virtual void Resize();
    virtual void ParentFontChanged();
    virtual void ParentColorChanged();
    // A click on a control that raises OnClick from mouse up (graphic controls, panels).
    bool FClickOnMouseUp = false;

    friend class TWinControl;
    friend class TControlBridge;
    // Marks the widget opaque while the control paints its whole rectangle; true when that changed.
    bool MarkOpaque();
    virtual void ApplyGeometry();
    // Distance to the parent's right and bottom edges for anchoring, kept from the last explicit move.
    int FAnchorRight = 0, FAnchorBottom = 0;
    void RecordAnchors();

    QWidget* FWidget;
    TWinControl* FParent = nullptr;
    int FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
    TAlign FAlign = TAlign::alNone;
    TAnchors FAnchors{TAnchorKind::akLeft, TAnchorKind::akTop};
    std::unique_ptr<TSizeConstraints> FConstraints;
    bool FVisible = true;
    bool FEnabled = true;
    std::string FHint;
    bool FShowHint = false;
    bool FParentShowHint = true;
    TCursor FCursor = crDefault;
    std::unique_ptr<TFont> FFont;
    bool FParentFont = true;
    TColor FColor = clBtnFace;
    bool FParentColor = false;
    std::string FText;
    TPopupMenu* FPopupMenu = nullptr;
    bool FTransparent = false;
    bool FMouseDownInside = false;
    bool FSettingFont = false;

    void Notification(TComponent* component, TOperation operation) override;
};

class TWinControl : public TControl {
    KV_CLASS(TWinControl)
public:
    ~TWinControl() override;

    int ControlCount() const { return static_cast<int>(FControls.size()); }
    TControl* Controls(int index) const { return FControls.at(static_cast<std::size_t>(index)); }
    void InsertControl(TControl* control);
    void RemoveControl(TControl* control);
    bool ContainsControl(const TControl* control) const;

    bool TabStop() const { return FTabStop; }
    void SetTabStop(bool v);
    int TabOrder() const { return FTabOrder; }
    void SetTabOrder(int v) { FTabOrder = v; }
    bool Focused() const;
    bool CanFocus() const;
    virtual void SetFocus();

    void SetBounds(int left, int top, int width, int height) override;
    void AlignControls();
    void DisableAlign() { ++FAlignLevel; }
    void EnableAlign();

    TKeyEvent OnKeyDown;
    TKeyEvent OnKeyUp;
    TKeyPressEvent OnKeyPress;
    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;

    // Key handling; return true when the key was consumed (set to 0 by a handler).
    virtual bool KeyDown(std::uint16_t& key, TShiftState shift);
    virtual bool KeyUp(std::uint16_t& key, TShiftState shift);
    virtual bool KeyPress(char& key);
    virtual void DoEnter();
    virtual void DoExit();

protected:
    TWinControl(TComponent* owner, TWidgetFactory make);
    void FontChanged() override;
    void ColorChanged() override;
    // Where children live (a scroll box's viewport); the control's widget by default.
    virtual QWidget* ChildHost() const;

private:
    friend class TControl;
    // Takes the control out of the list only; false when it is not a child.
    bool TakeControl(TControl* control);
    std::vector<TControl*> FControls;
    bool FTabStop = false;
    int FTabOrder = -1;
    int FAlignLevel = 0;
    bool FAligning = false;
};

// A control without children that paints itself (label, image, shape, paint box).
class TGraphicControl : public TControl {
    KV_CLASS(TGraphicControl)
public:
    bool IsSelfPainted() const override { return true; }

protected:
    explicit TGraphicControl(TComponent* owner);
};

// A windowed control that paints itself (panels and the program's own controls).
class TCustomControl : public TWinControl {
    KV_CLASS(TCustomControl)
public:
    bool IsSelfPainted() const override { return true; }
    bool OpaqueBackground() const override { return !FTransparent; }
    TCanvas* Canvas() { return &FCanvas; }

protected:
    explicit TCustomControl(TComponent* owner);
    TCanvas FCanvas;
};

// Shift state of Qt modifiers and buttons.
TShiftState ShiftStateOf(Qt::KeyboardModifiers mods, Qt::MouseButtons buttons);
// The key code of a Qt key; `keypad` tells the keypad's + and - from the main block's.
std::uint16_t VirtualKeyOf(int qtKey, bool keypad = false);

} // namespace kv
