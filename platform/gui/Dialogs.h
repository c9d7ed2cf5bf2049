#pragma once
// File, colour and font dialogs, message boxes and the clipboard.
//
// Tests answer dialogs through the hooks below instead of a user; with no hook the Qt dialog runs.

#include "platform/gui/Graphics.h"

#include <array>
#include <functional>
#include <memory>

namespace kv {

class TWinControl;

enum class TOpenOption {
    ofReadOnly,
    ofOverwritePrompt,
    ofHideReadOnly,
    ofNoChangeDir,
    ofShowHelp,
    ofNoValidate,
    ofAllowMultiSelect,
    ofExtensionDifferent,
    ofPathMustExist,
    ofFileMustExist,
    ofCreatePrompt,
    ofShareAware,
    ofNoReadOnlyReturn,
    ofNoTestFileCreate,
    ofNoNetworkButton,
    ofNoLongNames,
    ofOldStyleDialog,
    ofNoDereferenceLinks,
    ofEnableIncludeNotify,
    ofEnableSizing
};
std::vector<std::string> EnumIdents(TOpenOption);
using TOpenOptions = TSet<TOpenOption>;

class TOpenDialog : public TComponent {
    KV_CLASS(TOpenDialog)
public:
    explicit TOpenDialog(TComponent* owner) : TComponent(owner) {}
    const std::string& FileName() const { return FFileName; }
    void SetFileName(const std::string& v) { FFileName = v; }
    // "Description|*.ext|Other|*.a;*.b" pairs.
    const std::string& Filter() const { return FFilter; }
    void SetFilter(const std::string& v) { FFilter = v; }
    int FilterIndex() const { return FFilterIndex; }
    void SetFilterIndex(int v) { FFilterIndex = v; }
    const std::string& DefaultExt() const { return FDefaultExt; }
    void SetDefaultExt(const std::string& v) { FDefaultExt = v; }
    const std::string& InitialDir() const { return FInitialDir; }
    void SetInitialDir(const std::string& v) { FInitialDir = v; }
    const std::string& Title() const { return FTitle; }
    void SetTitle(const std::string& v) { FTitle = v; }
    TOpenOptions Options() const { return FOptions; }
    void SetOptions(TOpenOptions v) { FOptions = v; }
    // Every chosen file (with ofAllowMultiSelect possibly several); FileName is the first.
    TStrings* Files() const { return FFiles.get(); }
    // The window the dialog is modal to; nullptr: the application's.
    TWinControl* OwnerWindow() const { return FOwnerWindow; }
    void SetOwnerWindow(TWinControl* v) { FOwnerWindow = v; }
    // Shows the dialog; true with FileName (and Files) set when the user chose a file.
    virtual bool Execute();
    // Replaces the dialog for tests: gets the dialog, returns the choice (FileName, Files and
    // FilterIndex set by the hook as the user would).
    static std::function<bool(TOpenDialog& dialog)> ExecuteHook;

protected:
    bool RunQtDialog(bool save);
    std::string FFileName, FFilter, FDefaultExt, FInitialDir, FTitle;
    int FFilterIndex = 1;
    TOpenOptions FOptions{TOpenOption::ofHideReadOnly, TOpenOption::ofEnableSizing};
    std::unique_ptr<TStringList> FFiles = std::make_unique<TStringList>();
    TWinControl* FOwnerWindow = nullptr;
};

class TSaveDialog : public TOpenDialog {
    KV_CLASS(TSaveDialog)
public:
    explicit TSaveDialog(TComponent* owner) : TOpenDialog(owner) {}
    bool Execute() override;
};

// The colour chooser.
class TColorDialog : public TComponent {
    KV_CLASS(TColorDialog)
public:
    explicit TColorDialog(TComponent* owner) : TComponent(owner) {}
    TColor Color() const { return FColor; }
    void SetColor(TColor v) { FColor = v; }
    // The sixteen custom colours the chooser offers besides its basic ones.
    TColor CustomColor(int index) const { return FCustomColors.at(static_cast<std::size_t>(index)); }
    void SetCustomColor(int index, TColor v) { FCustomColors.at(static_cast<std::size_t>(index)) = v; }
    TWinControl* OwnerWindow() const { return FOwnerWindow; }
    void SetOwnerWindow(TWinControl* v) { FOwnerWindow = v; }
    // Shows the chooser starting from Color (a system colour resolved to RGB); true with Color set to
    // the choice when the user confirmed.
    virtual bool Execute();
    // Replaces the chooser for tests: gets the dialog, returns the choice (Color set by the hook).
    static std::function<bool(TColorDialog& dialog)> ExecuteHook;

private:
    TColor FColor = clBlack;
    std::array<TColor, 16> FCustomColors{clWhite, clWhite, clWhite, clWhite, clWhite, clWhite,
                                         clWhite, clWhite, clWhite, clWhite, clWhite, clWhite,
                                         clWhite, clWhite, clWhite, clWhite};
    TWinControl* FOwnerWindow = nullptr;
};

// The font chooser: face, height, styles and colour.
class TFontDialog : public TComponent {
    KV_CLASS(TFontDialog)
public:
    explicit TFontDialog(TComponent* owner);
    ~TFontDialog() override;
    TFont* Font() const { return FFont.get(); }
    void SetFont(const TFont* v) { FFont->Assign(v); }
    TWinControl* OwnerWindow() const { return FOwnerWindow; }
    void SetOwnerWindow(TWinControl* v) { FOwnerWindow = v; }
    // Shows the chooser starting from Font; true with Font set to the choice when the user confirmed.
    virtual bool Execute();
    // Replaces the chooser for tests: gets the dialog, returns the choice (Font set by the hook).
    static std::function<bool(TFontDialog& dialog)> ExecuteHook;

private:
    std::unique_ptr<TFont> FFont;
    TWinControl* FOwnerWindow = nullptr;
};

enum class TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
enum class TMsgDlgBtn {
    mbYes,
    mbNo,
    mbOK,
    mbCancel,
    mbAbort,
    mbRetry,
    mbIgnore,
    mbAll,
    mbNoToAll,
    mbYesToAll,
    mbHelp
};
using TMsgDlgButtons = TSet<TMsgDlgBtn>;

// A modal message box; returns the modal result of the pressed button (mrOk, mrYes, ...).
int MessageDlg(const std::string& message, TMsgDlgType type, TMsgDlgButtons buttons);
void ShowMessage(const std::string& message);
// Tests: answers message boxes (gets the text, returns the modal result).
extern std::function<int(const std::string& message, TMsgDlgType type)> MessageDlgHook;

class TClipboard {
public:
    std::string AsText() const;
    void SetAsText(const std::string& text);
    bool HasText() const;
    bool HasPicture() const;
    void Assign(const TGraphic& graphic);
    void Assign(const TPicture& picture);
    // The clipboard's picture as a bitmap into `target`; false when it holds none.
    bool GetPicture(TBitmap& target) const;
    void Clear();
};

TClipboard& Clipboard();

void RegisterDialogClasses();

} // namespace kv
