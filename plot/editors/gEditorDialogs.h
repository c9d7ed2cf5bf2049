#pragma once
// The editors' colour, font, open and save dialogs: thin wrappers over the platform's dialogs that
// keep the editors' rules (the owner window, the filter, the extension a save appends).

#include "platform/core/Classes.h"
#include "platform/gui/Graphics.h"

#include <memory>
#include <string>

namespace kv {

class TgColorDialog : public TComponent {
    KV_CLASS(TgColorDialog)
public:
    explicit TgColorDialog(TComponent* owner);
    TColor Color() const { return FColor; }
    void SetColor(TColor value) { FColor = value; }
    // True with Color set to the choice when the user confirmed.
    bool Execute();

private:
    TColor FColor = clBlack;
};

class TgFontDialog : public TComponent {
    KV_CLASS(TgFontDialog)
public:
    explicit TgFontDialog(TComponent* owner);
    ~TgFontDialog() override;
    TFont* Font() const { return FFont.get(); }
    void SetFont(const TFont* value) { FFont->Assign(value); }
    // True with Font set to the choice when the user confirmed.
    bool Execute();

private:
    std::unique_ptr<TFont> FFont;
};

class TgOpenDialog : public TComponent {
    KV_CLASS(TgOpenDialog)
public:
    explicit TgOpenDialog(TComponent* owner);
    ~TgOpenDialog() override;
    const std::string& FileName() const { return FFileName; }
    void SetFileName(const std::string& value) { FFileName = value; }
    // "Description|*.ext|Other|*.a;*.b" pairs.
    const std::string& Filter() const { return FFilter; }
    void SetFilter(const std::string& value) { FFilter = value; }
    const std::string& DefaultExt() const { return FDefaultExt; }
    void SetDefaultExt(const std::string& value) { FDefaultExt = value; }
    // Empty: the current directory.
    const std::string& DefaultDir() const { return FDefaultDir; }
    void SetDefaultDir(const std::string& value) { FDefaultDir = value; }
    bool FileMustExist() const { return FFileMustExist; }
    void SetFileMustExist(bool value) { FFileMustExist = value; }
    bool AllowMultiSelect() const { return FAllowMultiSelect; }
    void SetAllowMultiSelect(bool value) { FAllowMultiSelect = value; }
    // The chosen files; FileName is the first.
    TStrings* Files() const { return FFiles.get(); }
    // False without showing anything when the dialog has no owner window (gGetOwnerForm).
    bool Execute();

private:
    std::string FFileName, FFilter, FDefaultExt, FDefaultDir;
    bool FFileMustExist = false;
    bool FAllowMultiSelect = false;
    std::unique_ptr<TStringList> FFiles;
};

class TgSaveDialog : public TComponent {
    KV_CLASS(TgSaveDialog)
public:
    explicit TgSaveDialog(TComponent* owner);
    ~TgSaveDialog() override;
    const std::string& FileName() const { return FFileName; }
    void SetFileName(const std::string& value) { FFileName = value; }
    const std::string& Filter() const { return FFilter; }
    void SetFilter(const std::string& value) { FFilter = value; }
    int FilterIndex() const { return FFilterIndex; }
    void SetFilterIndex(int value) { FFilterIndex = value; }
    const std::string& DefaultExt() const { return FDefaultExt; }
    void SetDefaultExt(const std::string& value) { FDefaultExt = value; }
    const std::string& DefaultDir() const { return FDefaultDir; }
    void SetDefaultDir(const std::string& value) { FDefaultDir = value; }
    // The extension of the filter chosen in the last Execute (".txt" for "*.txt"), empty for none.
    const std::string& ReturnExt() const { return FReturnExt; }
    // False without showing anything when the dialog has no owner window. On OK, FileName gets the
    // chosen filter's extension appended when it does not already end with it.
    bool Execute();

private:
    // The chosen filter's extension appended to FileName when it lacks it.
    void ApplyReturnExt();

    std::string FFileName, FFilter, FDefaultExt, FDefaultDir, FReturnExt;
    int FFilterIndex = 1;
    std::unique_ptr<TStringList> FFilterList;
};

} // namespace kv
