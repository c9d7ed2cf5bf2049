#pragma once
// A windowless control that shows one picture, centred and unscaled by default, and the record of an
// extended hint (title, notes, picture) it carries.

#include "platform/gui/Controls.h"
#include "styled/gdiplus/GDIPPicture.h"

#include <memory>
#include <string>

namespace kv {

class TStHintInfo : public TPersistent {
    KV_CLASS(TStHintInfo)
public:
    TStHintInfo();
    ~TStHintInfo() override;
    void Assign(const TPersistent* source) override;
    bool IsEmpty() const;
    const std::string& Title() const { return FTitle; }
    void SetTitle(const std::string& v) { FTitle = v; }
    TStrings* Notes() const { return FNotes.get(); }
    void SetNotes(const TStrings* v) { FNotes->Assign(v); }
    TGDIPPicture* Picture() const { return FPicture.get(); }
    void SetPicture(const TGDIPPicture* v) { FPicture->Assign(v); }
    bool ShowHelp() const { return FShowHelp; }
    void SetShowHelp(bool v) { FShowHelp = v; }
    std::u16string WideTitle, WideNotes;

private:
    std::unique_ptr<TGDIPPicture> FPicture;
    bool FShowHelp = false;
    std::unique_ptr<TStrings> FNotes;
    std::string FTitle;
};

class TStOfficeImage : public TGraphicControl {
    KV_CLASS(TStOfficeImage)
public:
    explicit TStOfficeImage(TComponent* owner);
    ~TStOfficeImage() override;
    void Paint(TCanvas& canvas) override;
    virtual void DrawPicture(TCanvas& canvas);
    static std::uint32_t GetVersionNr();
    std::string Version() const;
    void SetVersion(const std::string&) {}

    bool Center() const { return FCenter; }
    void SetCenter(bool v);
    bool Stretch() const { return FStretch; }
    void SetStretch(bool v);
    TGDIPPicture* Picture() const { return FIPicture.get(); }
    void SetPicture(const TGDIPPicture* v);
    TStHintInfo* OfficeHint() const { return FOfficeHint.get(); }
    void SetOfficeHint(const TStHintInfo* v) { FOfficeHint->Assign(v); }
    bool MouseInControl() const { return FMouseInControl; }
    // The old framework's mouse enter and leave messages.
    void MouseEnter();
    void MouseLeave();
    // Design mode draws an outline where the picture is empty.
    bool DesignMode = false;

    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;

private:
    int FOffSet = 4;
    bool FMouseInControl = false;
    std::unique_ptr<TStHintInfo> FOfficeHint;
    std::unique_ptr<TGDIPPicture> FIPicture;
    bool FCenter = true;
    bool FStretch = false;
};

} // namespace kv
