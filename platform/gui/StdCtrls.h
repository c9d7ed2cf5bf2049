#pragma once
// The standard controls: label, image, shape, panel, group box, paint box, edit, memo, button, check
// box, radio button, combo box, list box, key/value list editor, up-down, status bar, progress bar.

#include "platform/gui/Controls.h"

#include <memory>

namespace kv {

void Frame3D(TCanvas& canvas, TRect& rect, TColor topColor, TColor bottomColor, int width);

enum class TTextLayout { tlTop, tlCenter, tlBottom };
std::vector<std::string> EnumIdents(TTextLayout);

class TLabel : public TGraphicControl {
    KV_CLASS(TLabel)
public:
    explicit TLabel(TComponent* owner);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment v);
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool v);
    TTextLayout Layout() const { return FLayout; }
    void SetLayout(TTextLayout v);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool v);
    bool ShowAccelChar() const { return FShowAccelChar; }
    void SetShowAccelChar(bool v);
    void Paint(TCanvas& canvas) override;
    void AdjustBounds();
    void Loaded() override;

protected:
    void TextChanged() override;
    void FontChanged() override;
    void ColorChanged() override;

private:
    unsigned TextFlags() const;
    TAlignment FAlignment = TAlignment::taLeftJustify;
    bool FAutoSize = true;
    TTextLayout FLayout = TTextLayout::tlTop;
    bool FWordWrap = false;
    bool FShowAccelChar = true;
};

class TPicture;

class TImage : public TGraphicControl {
    KV_CLASS(TImage)
public:
    explicit TImage(TComponent* owner);
    ~TImage() override;
    TPicture* Picture() const { return FPicture.get(); }
    void SetPicture(TPicture* p);
    bool Stretch() const { return FStretch; }
    void SetStretch(bool v);
    bool Center() const { return FCenter; }
    void SetCenter(bool v);
    bool Proportional() const { return FProportional; }
    void SetProportional(bool v);
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool v);
    void SetTransparent(bool v) override;
    void Paint(TCanvas& canvas) override;

private:
    void PictureChanged();
    std::unique_ptr<TPicture> FPicture;
    bool FStretch = false, FCenter = false, FProportional = false, FAutoSize = false;
};

enum class TShapeType { stRectangle, stSquare, stRoundRect, stRoundSquare, stEllipse, stCircle };
std::vector<std::string> EnumIdents(TShapeType);

class TShape : public TGraphicControl {
    KV_CLASS(TShape)
public:
    explicit TShape(TComponent* owner);
    TBrush* Brush() const { return FBrush.get(); }
    void SetBrush(TBrush* b) { FBrush->Assign(b); }
    TPen* Pen() const { return FPen.get(); }
    void SetPen(TPen* p) { FPen->Assign(p); }
    TShapeType Shape() const { return FShape; }
    void SetShape(TShapeType v);
    void Paint(TCanvas& canvas) override;

private:
    std::unique_ptr<TBrush> FBrush;
    std::unique_ptr<TPen> FPen;
    TShapeType FShape = TShapeType::stRectangle;
};

class TPaintBox : public TGraphicControl {
    KV_CLASS(TPaintBox)
public:
    explicit TPaintBox(TComponent* owner);
    // The canvas while OnPaint runs.
    TCanvas* Canvas() const { return FPaintCanvas; }
    void Paint(TCanvas& canvas) override;
    TNotifyEvent OnPaint;

private:
    TCanvas* FPaintCanvas = nullptr;
};

class TCustomPanel : public TCustomControl {
    KV_CLASS(TCustomPanel)
public:
    explicit TCustomPanel(TComponent* owner);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment v);
    TBevelCut BevelInner() const { return FBevelInner; }
    void SetBevelInner(TBevelCut v);
    TBevelCut BevelOuter() const { return FBevelOuter; }
    void SetBevelOuter(TBevelCut v);
    int BevelWidth() const { return FBevelWidth; }
    void SetBevelWidth(int v);
    int BorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int v);
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle v);
    TRect ClientRect() const override;
    void Paint(TCanvas& canvas) override;

protected:
    void TextChanged() override { Invalidate(); }

private:
    TAlignment FAlignment = TAlignment::taCenter;
    TBevelCut FBevelInner = TBevelCut::bvNone, FBevelOuter = TBevelCut::bvRaised;
    int FBevelWidth = 1, FBorderWidth = 0;
    TBorderStyle FBorderStyle = TBorderStyle::bsNone;
};

class TPanel : public TCustomPanel {
    KV_CLASS(TPanel)
public:
    explicit TPanel(TComponent* owner) : TCustomPanel(owner) {}
};

class TGroupBox : public TCustomControl {
    KV_CLASS(TGroupBox)
public:
    explicit TGroupBox(TComponent* owner);
    TRect ClientRect() const override;
    void Paint(TCanvas& canvas) override;

protected:
    void TextChanged() override { Invalidate(); }
};

class TEdit : public TWinControl {
    KV_CLASS(TEdit)
public:
    explicit TEdit(TComponent* owner);
    void SetText(const std::string& v) override;
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool v);
    int MaxLength() const { return FMaxLength; }
    void SetMaxLength(int v);
    int PasswordChar() const { return FPasswordChar; }
    void SetPasswordChar(int v);
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle v);
    void SelectAll();
    TNotifyEvent OnChange;

protected:
    void ColorChanged() override;

private:
    bool FReadOnly = false;
    int FMaxLength = 0;
    int FPasswordChar = 0;
    TBorderStyle FBorderStyle = TBorderStyle::bsSingle;
    bool FSyncing = false;
};

enum class TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
std::vector<std::string> EnumIdents(TScrollStyle);

class TMemo : public TWinControl {
    KV_CLASS(TMemo)
public:
    explicit TMemo(TComponent* owner);
    ~TMemo() override;
    TStrings* Lines() const { return FLines.get(); }
    void SetLines(TStrings* s) { FLines->Assign(s); }
    const std::string& Text() const override;
    void SetText(const std::string& v) override;
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool v);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool v);
    TScrollStyle ScrollBars() const { return FScrollBars; }
    void SetScrollBars(TScrollStyle v);
    TNotifyEvent OnChange;

protected:
    void ColorChanged() override;

private:
    void LinesChanged();
    std::unique_ptr<TStrings> FLines;
    mutable std::string FJoined;
    bool FReadOnly = false, FWordWrap = true, FSyncing = false;
    TScrollStyle FScrollBars = TScrollStyle::ssNone;
};

class TButtonControl : public TWinControl {
    KV_CLASS(TButtonControl)
protected:
    using TWinControl::TWinControl;
    void TextChanged() override;
};

class TButton : public TButtonControl {
    KV_CLASS(TButton)
public:
    explicit TButton(TComponent* owner);
    int ModalResult() const { return FModalResult; }
    void SetModalResult(int v) { FModalResult = v; }
    bool Default() const { return FDefault; }
    void SetDefault(bool v);
    bool Cancel() const { return FCancel; }
    void SetCancel(bool v) { FCancel = v; }
    // Sets the parent form's ModalResult to this button's, then runs OnClick.
    void Click() override;

private:
    int FModalResult = 0;
    bool FDefault = false, FCancel = false;
};

enum class TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };
std::vector<std::string> EnumIdents(TCheckBoxState);
enum class TLeftRight { taLeftJustify, taRightJustify };
std::vector<std::string> EnumIdents(TLeftRight);

class TCheckBox : public TButtonControl {
    KV_CLASS(TCheckBox)
public:
    explicit TCheckBox(TComponent* owner);
    bool Checked() const { return FState == TCheckBoxState::cbChecked; }
    // A change from code runs OnClick, as a user's click does.
    void SetChecked(bool v) { SetState(v ? TCheckBoxState::cbChecked : TCheckBoxState::cbUnchecked); }
    TCheckBoxState State() const { return FState; }
    void SetState(TCheckBoxState v);
    bool AllowGrayed() const { return FAllowGrayed; }
    void SetAllowGrayed(bool v) { FAllowGrayed = v; }
    TLeftRight Alignment() const { return FAlignment; }
    void SetAlignment(TLeftRight v);

private:
    void Toggle();
    TCheckBoxState FState = TCheckBoxState::cbUnchecked;
    bool FAllowGrayed = false;
    TLeftRight FAlignment = TLeftRight::taRightJustify;
};

class TRadioButton : public TButtonControl {
    KV_CLASS(TRadioButton)
public:
    explicit TRadioButton(TComponent* owner);
    bool Checked() const { return FChecked; }
    // Checking turns the other radio buttons of the parent off and runs OnClick, also from code.
    void SetChecked(bool v);
    TLeftRight Alignment() const { return FAlignment; }
    void SetAlignment(TLeftRight v);

private:
    bool FChecked = false;
    TLeftRight FAlignment = TLeftRight::taRightJustify;
};

enum class TComboBoxStyle { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable };
std::vector<std::string> EnumIdents(TComboBoxStyle);

class TComboBox : public TWinControl {
    KV_CLASS(TComboBox)
public:
    explicit TComboBox(TComponent* owner);
    ~TComboBox() override;
    TStrings* Items() const { return FItems.get(); }
    void SetItems(TStrings* s) { FItems->Assign(s); }
    int ItemIndex() const;
    // A selection made by code raises no change event.
    void SetItemIndex(int v);
    TComboBoxStyle Style() const { return FStyle; }
    void SetStyle(TComboBoxStyle v);
    int DropDownCount() const { return FDropDownCount; }
    void SetDropDownCount(int v);
    bool Sorted() const { return FSorted; }
    void SetSorted(bool v);
    const std::string& Text() const override;
    void SetText(const std::string& v) override;
    void ClearItems() { FItems->Clear(); }
    TNotifyEvent OnChange;
    TNotifyEvent OnSelect;
    TNotifyEvent OnDropDown;
    TNotifyEvent OnCloseUp;
    // A user's pick, as the list would report it (tests and keyboard code use it).
    void UserSelect(int index);
    void Loaded() override;

protected:
    void ColorChanged() override;

private:
    void ItemsChanged();
    std::unique_ptr<TStrings> FItems;
    TComboBoxStyle FStyle = TComboBoxStyle::csDropDown;
    int FDropDownCount = 8;
    bool FSorted = false, FSyncing = false;
    int FPendingIndex = -2;
    mutable std::string FTextCache;
};

class TListBox : public TWinControl {
    KV_CLASS(TListBox)
public:
    explicit TListBox(TComponent* owner);
    ~TListBox() override;
    TStrings* Items() const { return FItems.get(); }
    void SetItems(TStrings* s) { FItems->Assign(s); }
    int ItemIndex() const;
    void SetItemIndex(int v);
    bool MultiSelect() const { return FMultiSelect; }
    void SetMultiSelect(bool v);
    bool Selected(int index) const;
    void SetSelected(int index, bool v);
    bool Sorted() const { return FSorted; }
    void SetSorted(bool v);
    int ItemHeight() const { return FItemHeight; }
    void SetItemHeight(int v) { FItemHeight = v; }
    int TopIndex() const;
    void SetTopIndex(int v);

protected:
    void ColorChanged() override;

private:
    void ItemsChanged();
    std::unique_ptr<TStrings> FItems;
    bool FMultiSelect = false, FSorted = false, FSyncing = false;
    int FItemHeight = 13;
};

class TValueListEditor : public TWinControl {
    KV_CLASS(TValueListEditor)
public:
    explicit TValueListEditor(TComponent* owner);
    ~TValueListEditor() override;
    TStrings* Strings() const { return FStrings.get(); }
    void SetStrings(TStrings* s) { FStrings->Assign(s); }
    TStrings* TitleCaptions() const { return FTitles.get(); }
    void SetTitleCaptions(TStrings* s) { FTitles->Assign(s); }
    std::string Values(const std::string& key) const { return FStrings->Values(key); }
    void SetValue(const std::string& key, const std::string& value) { FStrings->SetValue(key, value); }
    // Row 0 is the title row; data rows start at 1.
    std::string Keys(int row) const;
    int RowCount() const { return FStrings->Count() + 1; }
    TNotifyEvent OnStringsChange;

private:
    void Rebuild();
    std::unique_ptr<TStrings> FStrings;
    std::unique_ptr<TStrings> FTitles;
    bool FSyncing = false;
};

enum class TUDBtnType { btNext, btPrev };
std::vector<std::string> EnumIdents(TUDBtnType);
enum class TUDOrientation { udHorizontal, udVertical };
std::vector<std::string> EnumIdents(TUDOrientation);
using TUDClickEvent = std::function<void(TObject* sender, TUDBtnType button)>;
using TUDChangingEvent = std::function<void(TObject* sender, bool& allowChange)>;

class TUpDown : public TCustomControl {
    KV_CLASS(TUpDown)
public:
    explicit TUpDown(TComponent* owner);
    int Min() const { return FMin; }
    void SetMin(int v) { FMin = v; }
    int Max() const { return FMax; }
    void SetMax(int v) { FMax = v; }
    int Position() const { return FPosition; }
    // From code: stored within Min..Max and shown in the associated control; no event.
    void SetPosition(int v);
    int Increment() const { return FIncrement; }
    void SetIncrement(int v) { FIncrement = v; }
    bool Wrap() const { return FWrap; }
    void SetWrap(bool v) { FWrap = v; }
    TUDOrientation Orientation() const { return FOrientation; }
    void SetOrientation(TUDOrientation v);
    TWinControl* Associate() const { return FAssociate; }
    void SetAssociate(TWinControl* c);
    // A press of one of the arrows, as the user's click.
    void ArrowClick(TUDBtnType button);
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void Paint(TCanvas& canvas) override;
    TUDClickEvent OnClick;
    TUDChangingEvent OnChanging;

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    void UpdateAssociate();
    int FMin = 0, FMax = 100, FPosition = 0, FIncrement = 1;
    bool FWrap = false;
    TUDOrientation FOrientation = TUDOrientation::udVertical;
    TWinControl* FAssociate = nullptr;
    int FPressed = -1;
};

class TStatusBar : public TCustomControl {
    KV_CLASS(TStatusBar)
public:
    explicit TStatusBar(TComponent* owner);
    bool SimplePanel() const { return FSimplePanel; }
    void SetSimplePanel(bool v);
    const std::string& SimpleText() const { return FSimpleText; }
    void SetSimpleText(const std::string& v);
    // Panels: widths, and texts set at run time.
    int PanelCount() const { return static_cast<int>(FPanels.size()); }
    void AddPanel(int width);
    void SetPanelText(int index, const std::string& text);
    const std::string& PanelText(int index) const;
    void Paint(TCanvas& canvas) override;

private:
    struct Panel {
        int width;
        std::string text;
    };
    bool FSimplePanel = false;
    std::string FSimpleText;
    std::vector<Panel> FPanels;
};

enum class TProgressBarOrientation { pbHorizontal, pbVertical };
std::vector<std::string> EnumIdents(TProgressBarOrientation);

class TProgressBar : public TWinControl {
    KV_CLASS(TProgressBar)
public:
    explicit TProgressBar(TComponent* owner);
    int Min() const { return FMin; }
    void SetMin(int v);
    int Max() const { return FMax; }
    void SetMax(int v);
    int Position() const { return FPosition; }
    void SetPosition(int v);
    int Step() const { return FStep; }
    void SetStep(int v) { FStep = v; }
    bool Smooth() const { return FSmooth; }
    void SetSmooth(bool v) { FSmooth = v; }
    TProgressBarOrientation Orientation() const { return FOrientation; }
    void SetOrientation(TProgressBarOrientation v);
    void StepIt() { SetPosition(FPosition + FStep); }
    void StepBy(int delta) { SetPosition(FPosition + delta); }

private:
    void Apply();
    int FMin = 0, FMax = 100, FPosition = 0, FStep = 10;
    bool FSmooth = false;
    TProgressBarOrientation FOrientation = TProgressBarOrientation::pbHorizontal;
};

// Registers the standard control classes with the class registry (for layouts); idempotent.
void RegisterStandardClasses();

} // namespace kv
