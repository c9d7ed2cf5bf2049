#pragma once
// The small kit of controls the plot library's editor windows are built from. Every kit control
// - can be set from code without firing its change events (a quiet set: the events are detached,
//   the value written, and the events put back also when the write throws);
// - tells its owner form (a TgCustomEditorForm) of every user change through UserChange;
// - has Enable and Disable (value-holding controls clear their value quietly on Disable);
// - moves the focus to the next (Shift: previous) control of its owner form on Tab, also inside a
//   page control, instead of leaving Tab to the toolkit.

#include "plot/editors/gEditorControls.h"

#include "platform/gui/Forms.h"
#include "platform/gui/PageControl.h"
#include "platform/gui/StdButtons.h"
#include "platform/gui/StdEdits.h"
#include "platform/gui/StdLists.h"
#include "platform/gui/StdPanels.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class QObject;
class TTimer;

namespace kv {

class TgValueConverterEditForm;

// ---------------------------------------------------------------------------------------------------
// Shared plumbing

class TgCustomEditorForm : public TCustomForm {
    KV_CLASS(TgCustomEditorForm)
public:
    explicit TgCustomEditorForm(TComponent* owner);
    // Called after every user change of a kit control owned by the form.
    virtual void UserChange() {}
};

// Calls UserChange of the control's owner when the owner is an editor form.
void gEditorUserChange(TComponent* control);
// Moves the focus from `control` to the next (backward: the previous) focusable control with a tab
// stop of its owner form, in tab order across all nesting (pages included); wraps round. Nothing when
// the owner is no form or no other control can take the focus.
void gEditorFocusNext(TWinControl* control, bool backward);
// The form's focusable controls in tab order (what gEditorFocusNext walks).
std::vector<TWinControl*> gEditorTabList(TWinControl* form);
// Makes Tab and Shift+Tab reach the control's KeyPress (or that of `handler`, for a control's own
// child) as character 9 instead of the toolkit's own focus chain (which knows nothing of tab order).
void gEditorClaimTab(TWinControl* control, TWinControl* handler = nullptr);
// The special keys an edit or combo box claims from the controls around it (Left and Right).
bool gEditorWantsArrow(std::uint16_t key);

// The edit's date-time text: "yyyy-mm-dd", with " hh:nn:ss" when there is a time of day and ".zzz"
// when it has milliseconds; the parser also takes a time alone ("hh:nn[:ss[.zzz]]"). A day count below
// zero carries its time of day subtracted, as the date-time library counts. The parser throws
// EConvertError for any other text.
std::string gEditorDateTimeToStr(double value);
double gEditorStrToDateTime(const std::string& text);

// ---------------------------------------------------------------------------------------------------
// Edit

class TgComponentEditorEdit : public TEdit {
    KV_CLASS(TgComponentEditorEdit)
public:
    explicit TgComponentEditorEdit(TComponent* owner);

    // Trimmed text as a number; empty or unconvertible text (or out of range) reads 0.
    int AsInteger() const;
    void SetAsInteger(int value);
    const std::string& AsString() const { return Text(); }
    void SetAsString(const std::string& value);
    double AsFloat() const;
    void SetAsFloat(double value);
    // Throws EConvertError for text that is no date-time.
    double AsDateTime() const;
    void SetAsDateTime(double value);

    // Write as a user would: events stay attached, UserChange, then commit.
    void SetStringWithEvent(const std::string& value);
    void SetIntegerWithEvent(int value);
    void SetDoubleWithEvent(double value);

    void Enable();
    void Disable();
    void DisableNoClear();
    void SetEnabled(bool v) override;

    // Fires OnUpdate (and UserChange) when the text differs from the last committed one.
    void CommitText();
    const std::string& OriginalText() const { return FOriginalText; }
    bool BlockingEvents() const { return FBlockingEvents; }
    bool WantSpecialKey(std::uint16_t key) const { return gEditorWantsArrow(key); }

    TNotifyEvent OnUpdate;

    bool KeyDown(std::uint16_t& key, TShiftState shift) override;
    bool KeyPress(char& key) override;
    void DoExit() override;

private:
    void QuietSetText(const std::string& text);
    bool FBlockingEvents = false;
    std::string FOriginalText;
};

// ---------------------------------------------------------------------------------------------------
// Up-down: an auto-repeating spin button bound to a kit edit

class TgUpDown : public TGraphicControl {
    KV_CLASS(TgUpDown)
public:
    explicit TgUpDown(TComponent* owner);
    ~TgUpDown() override;

    TgComponentEditorEdit* Associate() const { return FAssociate; }
    // Moves the up-down to the right edge of the edit.
    void SetAssociate(TgComponentEditorEdit* edit);
    // Both 0: no clamping.
    std::int16_t Min() const { return FMin; }
    void SetMin(std::int16_t v) { FMin = v; }
    std::int16_t Max() const { return FMax; }
    void SetMax(std::int16_t v) { FMax = v; }
    int Increment() const { return FIncrement; }
    void SetIncrement(int v) { FIncrement = v; }

    // The associate's value (0 without one); the setter clamps and writes quietly unless a mouse
    // step is writing.
    int AsInteger() const;
    void SetAsInteger(int value);

    void Enable();
    void Disable();

    TRect UpButtonRect() const { return FUpButtonRect; }
    TRect DownButtonRect() const { return FDownButtonRect; }
    bool UpButtonPressed() const { return FUpButtonPressed; }
    bool DownButtonPressed() const { return FDownButtonPressed; }
    bool TimerRunning() const;
    std::uint32_t TimerInterval() const;

    void Paint(TCanvas& canvas) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    void CalcRects();
    void Step();
    void TimerTick();

    std::unique_ptr<TTimer> FTimer;
    bool FFirstTimerMessage = false;
    TgComponentEditorEdit* FAssociate = nullptr;
    std::int16_t FMin = 0, FMax = 100;
    int FIncrement = 1;
    bool FMouseDown = false;
    int FMouseDownX = 0, FMouseDownY = 0;
    bool FUpButtonPressed = false, FDownButtonPressed = false;
    TRect FUpButtonRect{}, FDownButtonRect{};
    bool FUserGenerated = false;
};

// ---------------------------------------------------------------------------------------------------
// Page control, button, group box

class TgComponentEditorPageControl : public TPageControl {
    KV_CLASS(TgComponentEditorPageControl)
public:
    explicit TgComponentEditorPageControl(TComponent* owner);
    // Kept with the layout only; it does not choose a page.
    int TabIndex() const { return FTabIndex; }
    void SetTabIndex(int v) { FTabIndex = v; }
    bool KeyPress(char& key) override;

private:
    int FTabIndex = 0;
};

class TgComponentEditorButton : public TButton {
    KV_CLASS(TgComponentEditorButton)
public:
    explicit TgComponentEditorButton(TComponent* owner);
    bool KeyPress(char& key) override;
};

class TgComponentEditorGroupBox : public TGroupBox {
    KV_CLASS(TgComponentEditorGroupBox)
public:
    explicit TgComponentEditorGroupBox(TComponent* owner) : TGroupBox(owner) {}
};

// ---------------------------------------------------------------------------------------------------
// Check box, radio group, combo box

class TgComponentEditorCheckBox : public TgCheckBox {
    KV_CLASS(TgComponentEditorCheckBox)
public:
    explicit TgComponentEditorCheckBox(TComponent* owner);
    bool AsBoolean() const;
    void SetAsBoolean(bool value);
    void Enable();
    void Disable();
    bool BlockingEvents() const { return FBlockingEvents; }
    bool KeyPress(char& key) override;

protected:
    void DoChange() override;

private:
    bool FBlockingEvents = false;
};

class TgComponentEditorRadioGroup : public TgRadioGroup {
    KV_CLASS(TgComponentEditorRadioGroup)
public:
    explicit TgComponentEditorRadioGroup(TComponent* owner);
    // The item index, -1 for none.
    int AsInteger() const;
    void SetAsInteger(int value);
    void Enable();
    void Disable();
    bool BlockingEvents() const { return FBlockingEvents; }
    void Click() override;
    bool KeyPress(char& key) override;

private:
    bool FBlockingEvents = false;
};

class TgComponentEditorComboBox : public TComboBox {
    KV_CLASS(TgComponentEditorComboBox)
public:
    explicit TgComponentEditorComboBox(TComponent* owner);
    TgComponentEditorComboBox(TComponent* owner, TComboBoxStyle style);
    int AsInteger() const { return ItemIndex(); }
    void SetAsInteger(int value);
    std::string AsString() const { return Text(); }
    void SetAsString(const std::string& value);
    void Enable();
    void Disable();
    bool BlockingEvents() const { return FBlockingEvents; }
    bool WantSpecialKey(std::uint16_t key) const { return gEditorWantsArrow(key); }
    // A user's pick reports UserChange only; OnClick never fires (OnChange does).
    void Click() override;
    bool KeyPress(char& key) override;

private:
    bool FBlockingEvents = false;
};

// ---------------------------------------------------------------------------------------------------
// List box: entries carry objects, text and colour box come from OnGetData, reorder by dragging

using TgListBoxGetDataEvent =
    std::function<void(int index, bool& drawColorBox, TColor& aColor, std::string& aText)>;
using TgListBoxDrawItemEvent =
    std::function<void(TObject* sender, int index, TCanvas& canvas, TRect rect, bool selected)>;

class TgComponentEditorListBox : public TListBox {
    KV_CLASS(TgComponentEditorListBox)
public:
    explicit TgComponentEditorListBox(TComponent* owner);
    ~TgComponentEditorListBox() override;

    void SelectLast();
    // Removes the selected entry and frees its object.
    void DeleteSelectedObject();
    // Removes the entry carrying the object without freeing it; nothing when absent.
    void DeleteObjectIndex(TObject* object);

    // Draws one entry onto a canvas (the owner-drawn look).
    void DrawItem(int index, TCanvas& canvas, TRect rect, bool selected);
    // Drag reorder within this list: a drop at client y moves the selected entry there.
    bool DragOver(TObject* source) const { return source == this; }
    void DragDrop(TObject* source, int x, int y);

    TgListBoxGetDataEvent OnGetData;
    TNotifyEvent OnItemMove;
    TgListBoxDrawItemEvent OnDrawItem;

    bool KeyPress(char& key) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

private:
    QObject* FDragFilter = nullptr;
    bool FDragPending = false, FDragging = false;
    int FDragX = 0, FDragY = 0;
};

// ---------------------------------------------------------------------------------------------------
// Pickers

class TgComponentEditorColorPicker : public TCustomControl {
    KV_CLASS(TgComponentEditorColorPicker)
public:
    explicit TgComponentEditorColorPicker(TComponent* owner);
    // The picked colour (not the control's background); set quietly.
    TColor Color() const { return FColor; }
    void SetColor(TColor value);
    TButton* Button() const { return FButton; }
    void Enable();
    void Disable();
    // Runs the colour dialog; true when a colour was chosen.
    bool Execute();
    TNotifyEvent OnChange;

    void Paint(TCanvas& canvas) override;
    void DblClick() override;
    bool KeyPress(char& key) override;
    void SetBounds(int left, int top, int width, int height) override;

private:
    TButton* FButton;
    TColor FColor = 255;
};

class TgComponentEditorFontPicker : public TgComponentEditorButton {
    KV_CLASS(TgComponentEditorFontPicker)
public:
    explicit TgComponentEditorFontPicker(TComponent* owner);
    ~TgComponentEditorFontPicker() override;
    // The picked font (not the caption's); the setter copies quietly.
    TFont* Font() const { return FFont.get(); }
    void SetFont(const TFont* value);
    void Enable() { SetEnabled(true); }
    void Disable() { SetEnabled(false); }
    bool Execute();
    void Click() override;
    TNotifyEvent OnChange;

private:
    std::unique_ptr<TFont> FFont;
};

class TgComponentEditorOpenPicker : public TgComponentEditorButton {
    KV_CLASS(TgComponentEditorOpenPicker)
public:
    explicit TgComponentEditorOpenPicker(TComponent* owner);
    ~TgComponentEditorOpenPicker() override;
    const std::string& FileName() const { return FFileName; }
    void SetFileName(const std::string& v) { FFileName = v; }
    const std::string& Filter() const { return FFilter; }
    void SetFilter(const std::string& v) { FFilter = v; }
    const std::string& DefaultExt() const { return FDefaultExt; }
    void SetDefaultExt(const std::string& v) { FDefaultExt = v; }
    const std::string& DefaultDir() const { return FDefaultDir; }
    void SetDefaultDir(const std::string& v) { FDefaultDir = v; }
    bool FileMustExist() const { return FFileMustExist; }
    void SetFileMustExist(bool v) { FFileMustExist = v; }
    bool AllowMultiSelect() const { return FAllowMultiSelect; }
    void SetAllowMultiSelect(bool v) { FAllowMultiSelect = v; }
    TStrings* Files() const { return FFiles.get(); }
    void Enable() { SetEnabled(true); }
    void Disable() { SetEnabled(false); }
    bool Execute();
    void Click() override;
    TNotifyEvent OnChange;

private:
    std::string FFileName, FFilter, FDefaultExt, FDefaultDir;
    bool FDefaultDirUsed = false, FFileMustExist = false, FAllowMultiSelect = false;
    std::unique_ptr<TStrings> FFiles;
};

class TgComponentEditorSavePicker : public TgComponentEditorButton {
    KV_CLASS(TgComponentEditorSavePicker)
public:
    explicit TgComponentEditorSavePicker(TComponent* owner);
    const std::string& FileName() const { return FFileName; }
    void SetFileName(const std::string& v) { FFileName = v; }
    const std::string& Filter() const { return FFilter; }
    void SetFilter(const std::string& v) { FFilter = v; }
    int FilterIndex() const { return FFilterIndex; }
    void SetFilterIndex(int v) { FFilterIndex = v; }
    const std::string& DefaultExt() const { return FDefaultExt; }
    void SetDefaultExt(const std::string& v) { FDefaultExt = v; }
    const std::string& DefaultDir() const { return FDefaultDir; }
    void SetDefaultDir(const std::string& v) { FDefaultDir = v; }
    void Enable() { SetEnabled(true); }
    void Disable() { SetEnabled(false); }
    // Runs the save dialog; true when the user confirmed a file.
    bool Execute();
    void Click() override;
    TNotifyEvent OnChange;

private:
    std::string FFileName, FFilter;
    int FFilterIndex = 0;
    std::string FDefaultExt, FDefaultDir;
    bool FDefaultDirUsed = false;
};

enum class TgValueConverterPageType { ivcptInterval, ivcptDateTime, ivcptPrice32nd };
std::vector<std::string> EnumIdents(TgValueConverterPageType);
using TFormTranslationMethod = std::function<void(TCustomForm* aForm)>;

class TgComponentEditorValueConverterPicker : public TgComponentEditorButton {
    KV_CLASS(TgComponentEditorValueConverterPicker)
public:
    explicit TgComponentEditorValueConverterPicker(TComponent* owner);
    TgComponentEditorEdit* Associate() const { return FAssociate; }
    void SetAssociate(TgComponentEditorEdit* edit);
    double DateTime() const { return FDateTime; }
    void SetDateTime(double v) { FDateTime = v; }
    TgValueConverterPageType DefaultPage() const { return FDefaultPage; }
    void SetDefaultPage(TgValueConverterPageType v) { FDefaultPage = v; }
    const TFormTranslationMethod& TranslationMethod() const { return FTranslationMethod; }
    void SetTranslationMethod(TFormTranslationMethod v) { FTranslationMethod = std::move(v); }
    void Enable() { SetEnabled(true); }
    void Disable() { SetEnabled(false); }
    // Runs the value converter window; true when it closed with OK.
    bool Execute();
    void Click() override;
    TNotifyEvent OnChange;

    // Tests and scripted runs: replaces the modal run of the window (returns the modal result).
    static std::function<int(TgValueConverterEditForm& form)> ShowModalHook;

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    double FDateTime = 0;
    TgComponentEditorEdit* FAssociate = nullptr;
    TgValueConverterPageType FDefaultPage = TgValueConverterPageType::ivcptInterval;
    TFormTranslationMethod FTranslationMethod;
};

// ---------------------------------------------------------------------------------------------------
// Double-buffered paint box

class TgPaintBox : public TCustomControl {
    KV_CLASS(TgPaintBox)
public:
    explicit TgPaintBox(TComponent* owner);
    bool OpaqueBackground() const override { return true; }
    // The canvas while OnPaint runs.
    TCanvas* Canvas() const { return FPaintCanvas; }
    void Paint(TCanvas& canvas) override;
    TNotifyEvent OnPaint;

private:
    TCanvas* FPaintCanvas = nullptr;
};

} // namespace kv
