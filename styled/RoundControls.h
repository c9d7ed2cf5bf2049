#pragma once
// The rounded value box and the panels under it: TRoundPanel paints an antialiased rounded shape over
// its parent, TRoundControlPanel adds a row of small embedded buttons, and TRoundEdit carries one
// borderless edit inside the shape whose text, look and events it re-publishes as its own.

#include "platform/gui/StdCtrls.h"
#include "styled/StTrackBar.h"
#include "styled/gdiplus/GDIPPicture.h"

#include <memory>
#include <string>
#include <vector>

namespace kv {

class TPopupMenu;
class TRoundControls;
class TRoundControlPanel;

enum class TControlPosition { cpLeftInControl, cpRightInControl, cpLeft, cpRight };
std::vector<std::string> EnumIdents(TControlPosition);
enum class TRoundControlState { csNormal, csHover, csDown };
std::vector<std::string> EnumIdents(TRoundControlState);

using TControlClickEvent = std::function<void(TObject* sender, int index)>;

// The rounded, antialiased panel; its background is its parent's (nothing is filled behind the shape).
class TRoundPanel : public TCustomControl {
    KV_CLASS(TRoundPanel)
public:
    explicit TRoundPanel(TComponent* owner);

    int Rounding() const { return FRounding; }
    void SetRounding(int v);
    // The shape's own colour, separate from the control's.
    TColor Color() const { return FPanelColor; }
    void SetColor(TColor v);
    TColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(TColor v);
    // clNone switches the inner shadow line off.
    TColor ShadowColor() const { return FShadowColor; }
    void SetShadowColor(TColor v) { FShadowColor = v; }
    int IndentLeft() const { return FIndentLeft; }
    int IndentRight() const { return FIndentRight; }

    bool OpaqueBackground() const override { return false; }
    void Paint(TCanvas& canvas) override;

protected:
    // Repaints at once.
    virtual void PanelColorChanged();

    int FRounding = 8;
    TColor FPanelColor = clWindow;
    TColor FShadowColor = 0xD9D9D9;
    TColor FBorderColor = 0x808080;
    int FIndentRight = 0, FIndentLeft = 0;
};

// One embedded button of a TRoundControlPanel.
class TRoundControl : public TPersistent {
    KV_CLASS(TRoundControl)
public:
    explicit TRoundControl(TRoundControls* collection = nullptr);
    ~TRoundControl() override;
    void Assign(const TPersistent* source) override;

    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int v);
    int ImageIndexHover() const { return FImageIndexHover; }
    void SetImageIndexHover(int v) { FImageIndexHover = v; }
    int ImageIndexDown() const { return FImageIndexDown; }
    void SetImageIndexDown(int v) { FImageIndexDown = v; }
    TStGDIPPicture* Picture() const { return FPicture.get(); }
    void SetPicture(const TStGDIPPicture* v) { FPicture->Assign(v); }
    TStGDIPPicture* PictureHover() const { return FPictureHover.get(); }
    void SetPictureHover(const TStGDIPPicture* v) { FPictureHover->Assign(v); }
    TStGDIPPicture* PictureDown() const { return FPictureDown.get(); }
    void SetPictureDown(const TStGDIPPicture* v) { FPictureDown->Assign(v); }
    const std::string& Hint() const { return FHint; }
    void SetHint(const std::string& v) { FHint = v; }
    bool DropDown() const { return FDropDown; }
    void SetDropDown(bool v);
    TPopupMenu* PopupMenu() const { return FPopupMenu; }
    void SetPopupMenu(TPopupMenu* v) { FPopupMenu = v; }
    TControlPosition Position() const { return FPosition; }
    void SetPosition(TControlPosition v);
    TRoundControlState State() const { return FState; }
    void SetState(TRoundControlState v) { FState = v; }
    TRoundControls* Collection() const { return FCollection; }
    int Index() const;

private:
    friend class TRoundControls;
    void Changed();
    int FImageIndex = -1, FImageIndexHover = -1, FImageIndexDown = -1;
    std::unique_ptr<TStGDIPPicture> FPicture, FPictureHover, FPictureDown;
    std::string FHint;
    bool FDropDown = false;
    TPopupMenu* FPopupMenu = nullptr;
    TControlPosition FPosition = TControlPosition::cpRightInControl;
    TRoundControlState FState = TRoundControlState::csNormal;
    TRoundControls* FCollection;
};

// The embedded buttons and the widths they take on each side.
class TRoundControls : public TPersistent {
    KV_CLASS(TRoundControls)
public:
    explicit TRoundControls(TRoundControlPanel* owner);
    ~TRoundControls() override;
    TRoundControlPanel* Owner() const { return FOwner; }
    int Count() const { return static_cast<int>(FItems.size()); }
    TRoundControl* Items(int index) const { return FItems.at(static_cast<std::size_t>(index)).get(); }
    TRoundControl* Add();
    TRoundControl* Insert(int index);
    void Delete(int index);
    void Clear();
    void BeginUpdate() { ++FUpdateCount; }
    void EndUpdate();
    // The collection's update hook: fires OnChange.
    void Update(TRoundControl* item);
    // Extent of one button: picture (or image list image) width + 2, + 5 for a drop-down arrow.
    TSize GetControlSize(const TRoundControl* item) const;
    void UpdateSizes();
    void SetImageSize(int w, int h) {
        FImageListImageWidth = w;
        FImageListImageHeight = h;
    }

    int LeftSize() const { return FLeftSize; }
    int LeftControlSize() const { return FLeftControlSize; }
    int RightSize() const { return FRightSize; }
    int RightControlSize() const { return FRightControlSize; }
    TNotifyEvent OnChange;

private:
    TRoundControlPanel* FOwner;
    std::vector<std::unique_ptr<TRoundControl>> FItems;
    int FLeftSize = 0, FLeftControlSize = 0, FRightSize = 0, FRightControlSize = 0;
    int FImageListImageWidth = 0, FImageListImageHeight = 0;
    int FUpdateCount = 0;
};

class TRoundControlPanel : public TRoundPanel {
    KV_CLASS(TRoundControlPanel)
public:
    explicit TRoundControlPanel(TComponent* owner);
    ~TRoundControlPanel() override;

    // Published as "Controls" (the control tree's own Controls(i) stays the children).
    TRoundControls* RoundControls() const { return FRoundControls.get(); }
    void SetRoundControls(TRoundControls*) {}
    TTickImageList* Images() const { return FImages; }
    void SetImages(TTickImageList* v);
    std::string Version() const;
    void SetVersion(const std::string&) {}
    TControlClickEvent OnControlClick;

    // The button under x (strictly inside its extent), the last one in collection order; -1 for none.
    int ControlAtPos(int x) const;
    virtual void DoControlClick(int index);
    // Places the inner controls after a change of the buttons; nothing here.
    virtual void UpdateControlBounds() {}

    void Paint(TCanvas& canvas) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    // The mouse left the panel: hovered buttons return to normal.
    void MouseLeave();
    void Loaded() override;

protected:
    void Notification(TComponent* component, TOperation operation) override;
    // Re-runs the size recalculation and places the inner controls.
    void ControlsChanged();

private:
    // The layout pass over the buttons; returns the hit index for x (or -1), draws when a canvas is given.
    int LayoutControls(TCanvas* canvas, int hitX, int* hitLeft = nullptr) const;
    void DrawControl(TCanvas& canvas, const TRoundControl* item, int x, int y) const;
    std::unique_ptr<TRoundControls> FRoundControls;
    TTickImageList* FImages = nullptr;
    QObject* FLeaveFilter = nullptr;
};

enum class TCharCase { ecNormal, ecUpperCase, ecLowerCase };
std::vector<std::string> EnumIdents(TCharCase);
enum class TImeMode {
    imDisable,
    imClose,
    imOpen,
    imDontCare,
    imSAlpha,
    imAlpha,
    imHira,
    imSKata,
    imKata,
    imChinese,
    imSHanguel,
    imHanguel
};
std::vector<std::string> EnumIdents(TImeMode);
enum class TDragKind { dkDrag, dkDock };
std::vector<std::string> EnumIdents(TDragKind);
enum class TDragMode { dmManual, dmAutomatic };
std::vector<std::string> EnumIdents(TDragMode);

// A single-line edit that shows a grey text while it is empty.
class TEmptyEdit : public TEdit {
    KV_CLASS(TEmptyEdit)
public:
    explicit TEmptyEdit(TComponent* owner);
    ~TEmptyEdit() override;

    const std::string& EmptyText() const { return FEmptyText; }
    void SetEmptyText(const std::string& v);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment v);
    bool AutoSelect() const { return FAutoSelect; }
    void SetAutoSelect(bool v) { FAutoSelect = v; }
    TCharCase CharCase() const { return FCharCase; }
    void SetCharCase(TCharCase v);
    bool HideSelection() const { return FHideSelection; }
    void SetHideSelection(bool v) { FHideSelection = v; }
    bool NumbersOnly() const { return FNumbersOnly; }
    void SetNumbersOnly(bool v);
    bool OEMConvert() const { return FOEMConvert; }
    void SetOEMConvert(bool v) { FOEMConvert = v; }
    TImeMode ImeMode() const { return FImeMode; }
    void SetImeMode(TImeMode v) { FImeMode = v; }
    const std::string& ImeName() const { return FImeName; }
    void SetImeName(const std::string& v) { FImeName = v; }
    const std::string& TextHint() const { return FTextHint; }
    void SetTextHint(const std::string& v);
    TCursor DragCursor() const { return FDragCursor; }
    void SetDragCursor(TCursor v) { FDragCursor = v; }
    TDragKind DragKind() const { return FDragKind; }
    void SetDragKind(TDragKind v) { FDragKind = v; }
    TDragMode DragMode() const { return FDragMode; }
    void SetDragMode(TDragMode v) { FDragMode = v; }

    void DoEnter() override;
    void DoExit() override;
    void SetText(const std::string& v) override;
    // The grey empty text, after the edit's own painting.
    void WndProcPaint() override;

    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;

    // Called by the widget hook when the mouse enters or leaves the edit.
    void MouseEntered(bool entered);

private:
    std::string FEmptyText, FImeName, FTextHint;
    TAlignment FAlignment = TAlignment::taLeftJustify;
    bool FAutoSelect = true, FHideSelection = true, FNumbersOnly = false, FOEMConvert = false;
    TCharCase FCharCase = TCharCase::ecNormal;
    TImeMode FImeMode = TImeMode::imDontCare;
    TCursor FDragCursor = crDrag;
    TDragKind FDragKind = TDragKind::dkDrag;
    TDragMode FDragMode = TDragMode::dmManual;
    QObject* FHook = nullptr;
};

// The value box: a rounded panel, always 24 pixels high, with its inner edit. Its events are its own
// fields, fired from the inner edit with the box as sender and every other argument unchanged (mouse
// positions in the inner edit's coordinates).
class TRoundEdit : public TRoundControlPanel {
    KV_CLASS(TRoundEdit)
public:
    explicit TRoundEdit(TComponent* owner);
    ~TRoundEdit() override;

    TEmptyEdit* Edit() const { return FEdit; }
    std::string GetText() const;
    void SetText(const std::string& v) override;
    const std::string& Text() const override;
    // Focuses the inner edit; the box never takes the focus itself.
    void SetFocus() override;
    // Always 24 pixels high.
    void SetBounds(int left, int top, int width, int height) override;
    // Reaches only the inner edit; the box stays enabled and paints as always.
    void SetEnabled(bool v) override;
    bool EditEnabled() const;
    void UpdateControlBounds() override;
    // Parents the inner edit and places it (what creating the box's window did).
    void BuildWindow();
    void Loaded() override;

    // Forwarded properties of the inner edit.
    TAlignment Alignment() const { return FEdit->Alignment(); }
    void SetAlignment(TAlignment v) { FEdit->SetAlignment(v); }
    bool AutoSelect() const { return FEdit->AutoSelect(); }
    void SetAutoSelect(bool v) { FEdit->SetAutoSelect(v); }
    TCharCase CharCase() const { return FEdit->CharCase(); }
    void SetCharCase(TCharCase v) { FEdit->SetCharCase(v); }
    bool HideSelection() const { return FEdit->HideSelection(); }
    void SetHideSelection(bool v) { FEdit->SetHideSelection(v); }
    int MaxLength() const { return FEdit->MaxLength(); }
    void SetMaxLength(int v) { FEdit->SetMaxLength(v); }
    bool NumbersOnly() const { return FEdit->NumbersOnly(); }
    void SetNumbersOnly(bool v) { FEdit->SetNumbersOnly(v); }
    bool OEMConvert() const { return FEdit->OEMConvert(); }
    void SetOEMConvert(bool v) { FEdit->SetOEMConvert(v); }
    bool ReadOnly() const { return FEdit->ReadOnly(); }
    void SetReadOnly(bool v) { FEdit->SetReadOnly(v); }
    int PasswordChar() const { return FEdit->PasswordChar(); }
    void SetPasswordChar(int v) { FEdit->SetPasswordChar(v); }
    TImeMode ImeMode() const { return FEdit->ImeMode(); }
    void SetImeMode(TImeMode v) { FEdit->SetImeMode(v); }
    const std::string& ImeName() const { return FEdit->ImeName(); }
    void SetImeName(const std::string& v) { FEdit->SetImeName(v); }
    const std::string& TextHint() const { return FEdit->TextHint(); }
    void SetTextHint(const std::string& v) { FEdit->SetTextHint(v); }
    const std::string& EmptyText() const { return FEdit->EmptyText(); }
    void SetEmptyText(const std::string& v) { FEdit->SetEmptyText(v); }
    bool EditTabStop() const { return FEdit->TabStop(); }
    void SetEditTabStop(bool v) { FEdit->SetTabStop(v); }
    int EditTabOrder() const { return FEdit->TabOrder(); }
    void SetEditTabOrder(int v) { FEdit->SetTabOrder(v); }
    TPopupMenu* EditPopupMenu() const { return FEdit->PopupMenu(); }
    void SetEditPopupMenu(TPopupMenu* m) { FEdit->SetPopupMenu(m); }
    TCursor DragCursor() const { return FEdit->DragCursor(); }
    void SetDragCursor(TCursor v) { FEdit->SetDragCursor(v); }
    TDragKind DragKind() const { return FEdit->DragKind(); }
    void SetDragKind(TDragKind v) { FEdit->SetDragKind(v); }
    TDragMode DragMode() const { return FEdit->DragMode(); }
    void SetDragMode(TDragMode v) { FEdit->SetDragMode(v); }

    // The box's own events (hiding the control's fields of the same names).
    TNotifyEvent OnClick;
    TNotifyEvent OnChange;
    TNotifyEvent OnDblClick;
    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;
    TKeyEvent OnKeyDown;
    TKeyPressEvent OnKeyPress;
    TKeyEvent OnKeyUp;
    TMouseEvent OnMouseDown;
    TMouseMoveEvent OnMouseMove;
    TMouseEvent OnMouseUp;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;

protected:
    void PanelColorChanged() override;
    void Resize() override;
    void FontChanged() override;
    void ParentFontChanged() override;

private:
    TEmptyEdit* FEdit;
    bool FBuilt = false;
};

} // namespace kv
