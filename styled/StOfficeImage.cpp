#include "styled/StOfficeImage.h"

namespace kv {

KV_REGISTER_CLASS(TStHintInfo, TPersistent, b) {
    b.Prop("Title", &TStHintInfo::Title, &TStHintInfo::SetTitle);
    b.Prop("Notes", &TStHintInfo::Notes, &TStHintInfo::SetNotes);
    b.Prop("Picture", &TStHintInfo::Picture, &TStHintInfo::SetPicture);
    b.Prop("ShowHelp", &TStHintInfo::ShowHelp, &TStHintInfo::SetShowHelp).Default(false);
}

TStHintInfo::TStHintInfo()
    : FPicture(std::make_unique<TGDIPPicture>()), FNotes(std::make_unique<TStrings>()) {}
TStHintInfo::~TStHintInfo() = default;

void TStHintInfo::Assign(const TPersistent* source) {
    auto* s = dynamic_cast<const TStHintInfo*>(source);
    if (!s) {
        TPersistent::Assign(source);
        return;
    }
    FTitle = s->FTitle;
    FNotes->Assign(s->FNotes.get());
    FShowHelp = s->FShowHelp;
    FPicture->Assign(s->FPicture.get());
    WideTitle = s->WideTitle;
    WideNotes = s->WideNotes;
}

bool TStHintInfo::IsEmpty() const {
    return FTitle.empty() && FNotes->Text().empty();
}

KV_REGISTER_CLASS(TStOfficeImage, TGraphicControl, b) {
    b.Prop("Center", &TStOfficeImage::Center, &TStOfficeImage::SetCenter).Default(true);
    b.Prop("Picture", &TStOfficeImage::Picture, &TStOfficeImage::SetPicture);
    b.Prop("Stretch", &TStOfficeImage::Stretch, &TStOfficeImage::SetStretch).Default(false);
    b.Prop("OfficeHint", &TStOfficeImage::OfficeHint, &TStOfficeImage::SetOfficeHint);
    b.Prop("Version", &TStOfficeImage::Version, &TStOfficeImage::SetVersion);
    b.Event("OnMouseEnter", &TStOfficeImage::OnMouseEnter);
    b.Event("OnMouseLeave", &TStOfficeImage::OnMouseLeave);
}

TStOfficeImage::TStOfficeImage(TComponent* owner)
    : TGraphicControl(owner), FOfficeHint(std::make_unique<TStHintInfo>()),
      FIPicture(std::make_unique<TGDIPPicture>()) {
    SetBounds(0, 0, 128, 128);
    SetShowHint(false);
    FIPicture->OnChange = [this](TObject*) { Invalidate(); };
    (void)FOffSet;
}

TStOfficeImage::~TStOfficeImage() = default;

std::uint32_t TStOfficeImage::GetVersionNr() {
    return (1u << 24) | (1u << 16);
}

std::string TStOfficeImage::Version() const {
    const std::uint32_t v = GetVersionNr();
    return std::to_string(v >> 24) + "." + std::to_string((v >> 16) & 0xFF) + "." +
           std::to_string((v >> 8) & 0xFF) + "." + std::to_string(v & 0xFF);
}

void TStOfficeImage::SetCenter(bool v) {
    if (FCenter == v)
        return;
    FCenter = v;
    Invalidate();
}

void TStOfficeImage::SetStretch(bool v) {
    if (FStretch == v)
        return;
    FStretch = v;
    Invalidate();
}

void TStOfficeImage::SetPicture(const TGDIPPicture* v) {
    FIPicture->Assign(v);
    Invalidate();
}

void TStOfficeImage::Paint(TCanvas& canvas) {
    DrawPicture(canvas);
}

void TStOfficeImage::DrawPicture(TCanvas& canvas) {
    if (!FIPicture->GetEmpty()) {
        FIPicture->GetImageSizes();
        if (FStretch) {
            FIPicture->Draw(canvas, ClientRect());
            return;
        }
        int x = 0, y = 0;
        if (FCenter) {
            x = (Width() - FIPicture->Width()) / 2;
            y = (Height() - FIPicture->Height()) / 2;
        }
        FIPicture->Draw(canvas, TRect{x, y, x + FIPicture->Width(), y + FIPicture->Height()});
    } else if (DesignMode) {
        canvas.Pen()->SetStyle(TPenStyle::psDot);
        canvas.Pen()->SetColor(0xFF0000);
        canvas.Brush()->SetStyle(TBrushStyle::bsClear);
        canvas.Rectangle(ClientRect());
    }
}

void TStOfficeImage::MouseEnter() {
    if (DesignMode)
        return;
    FMouseInControl = true;
    if (OnMouseEnter)
        OnMouseEnter(this);
}

void TStOfficeImage::MouseLeave() {
    if (DesignMode)
        return;
    FMouseInControl = false;
    if (OnMouseLeave)
        OnMouseLeave(this);
}

} // namespace kv
