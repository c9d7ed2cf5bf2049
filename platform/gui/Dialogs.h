#pragma once
// File dialogs, message boxes and the clipboard.
//
// Tests answer dialogs through the hooks below instead of a user; with no hook the Qt dialog runs.

#include "platform/gui/Graphics.h"

#include <functional>

namespace kv {

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
    // Shows the dialog; true with FileName set when the user chose a file.
    virtual bool Execute();
    // Replaces the dialog for tests: gets the dialog, returns the choice (FileName set by the hook).
    static std::function<bool(TOpenDialog& dialog)> ExecuteHook;

protected:
    bool RunQtDialog(bool save);
    std::string FFileName, FFilter, FDefaultExt, FInitialDir, FTitle;
    int FFilterIndex = 1;
    TOpenOptions FOptions{TOpenOption::ofHideReadOnly, TOpenOption::ofEnableSizing};
};

class TSaveDialog : public TOpenDialog {
    KV_CLASS(TSaveDialog)
public:
    explicit TSaveDialog(TComponent* owner) : TOpenDialog(owner) {}
    bool Execute() override;
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
