#pragma once
// Edit boxes and memos.

#include "platform/gui/Controls.h"

#include <memory>

namespace kv {

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

} // namespace kv
