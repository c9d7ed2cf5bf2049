// The rich-text label: its RichText holds the RTF bytes, one character per byte; the hidden rich edit
// reads them and lays the document out into the label's canvas.

#include "styled/RTFLabel.h"

#include "platform/gui/RichEdit.h"

#include <QImage>

#include <cmath>

namespace kv {

KV_REGISTER_CLASS(TRTFLabel, TGraphicControl, b) {
    b.Prop("RichText", &TRTFLabel::RichText, &TRTFLabel::SetRichText);
    b.Prop("Color", &TControl::Color, &TControl::SetColor).Default(clWindow).Idents(ColorIdents(), "TColor");
    b.Prop("Transparent", &TControl::Transparent, &TControl::SetTransparent).Default(false);
    b.Prop("WordWrap", &TRTFLabel::WordWrap, &TRTFLabel::SetWordWrap).Default(false);
    b.Prop("Version", &TRTFLabel::Version, &TRTFLabel::SetVersion);
}

TRTFLabel::TRTFLabel(TComponent* owner)
    : TGraphicControl(owner), FRichEdit(std::make_unique<TRichEdit>(nullptr)) {
    FRichEdit->OnResizeRequest = [](TObject*) {};
    SetParentColor(false);
    SetColor(clWindow);
    SetCaption("");
    SetBounds(0, 0, 65, 17);
}

TRTFLabel::~TRTFLabel() = default;

void TRTFLabel::Loaded() {
    TGraphicControl::Loaded();
    FRichEdit->SetVisible(false);
    FRichEdit->SetBounds(0, 0, 10, 10);
    FRichEdit->SetWordWrap(false);
    FRichEdit->SetBorderStyle(TBorderStyle::bsNone);
    SetCaption("");
}

std::uint32_t TRTFLabel::GetVersionNr() {
    return (1u << 24) | (3u << 16) | (1u << 8);
}

std::string TRTFLabel::Version() const {
    const std::uint32_t v = GetVersionNr();
    return std::to_string(v >> 24) + "." + std::to_string((v >> 16) & 0xFF) + "." +
           std::to_string((v >> 8) & 0xFF) + "." + std::to_string(v & 0xFF);
}

void TRTFLabel::SetRichText(const std::string& v) {
    if (FRichText == v)
        return;
    FRichText = v;
    Invalidate();
}

void TRTFLabel::SetWordWrap(bool v) {
    FWordWrap = v;
    if (Parent() && FRichEdit && !IsLoading())
        FRichEdit->SetWordWrap(v);
}

void TRTFLabel::EndUpdate() {
    if (FUpdateCount <= 0)
        return;
    if (--FUpdateCount == 0)
        ShowRTF();
}

// The hidden edit stands beside the label only while it works for it. It is never shown, so it needs
// no real place among the parent's widgets: the layout happens straight into the label's canvas.
void TRTFLabel::AttachEdit() {}
void TRTFLabel::DetachEdit() {}

TRichEdit* TRTFLabel::RTF() {
    if (!Parent() || !FRichEdit)
        return nullptr;
    AttachEdit();
    FRichEdit->SetDocument(TRtfDocument());
    FRichEdit->ResetSelAttributes();
    return FRichEdit.get();
}

void TRTFLabel::ShowRTF() {
    if (!Parent() || !FRichEdit)
        return;
    AttachEdit();
    FRichText = FRichEdit->SaveToBytes();
    Invalidate();
    DetachEdit();
}

void TRTFLabel::CopyFromRichEdit(TRichEdit* richEdit) {
    if (!richEdit)
        return;
    FRichText = richEdit->SaveToBytes();
    Invalidate();
}

void TRTFLabel::CopyToRichEdit(TRichEdit* richEdit) const {
    if (!richEdit)
        return;
    // One byte per character of the text, as it was stored.
    richEdit->SetPlainText(false);
    richEdit->LoadFromBytes(FRichText);
}

void TRTFLabel::Print(const std::string& caption) {
    if (!Parent() || !FRichEdit)
        return;
    AttachEdit();
    CopyToRichEdit(FRichEdit.get());
    FRichEdit->Print(caption);
    DetachEdit();
}

TRect TRTFLabel::RenderInto(TCanvas& canvas, const TRect& r, int dpiX, int dpiY) {
    FRichEdit->SetPlainText(false);
    FRichEdit->LoadFromBytes(FRichText);
    if (dpiX == 0)
        dpiX = 96;
    if (dpiY == 0)
        dpiY = 96;
    FRichEdit->SetBackgroundColor(FTransparent && Parent() ? Parent()->Color() : FColor);
    TRichEdit::TFormatRange range;
    range.target = canvas.Target();
    range.dpiX = dpiX;
    range.dpiY = dpiY;
    range.rcTwips = TRichEdit::TwipsRect(r, dpiX, dpiY);
    range.rcPageTwips = range.rcTwips;
    range.cpMin = 0;
    range.cpMax = -1;
    canvas.EndAntialiased();
    FRichEdit->FormatRange(range, true);
    FRichEdit->FormatRange(TRichEdit::TFormatRange{}, false); // releases the cached layout
    ++FRenderCount;
    return range.rcTwips;
}

void TRTFLabel::Paint(TCanvas& canvas) {
    SetCaption("");
    if (!FTransparent) {
        canvas.Brush()->SetColor(FColor);
        canvas.Brush()->SetStyle(TBrushStyle::bsSolid);
        canvas.FillRect(ClientRect());
    }
    if (FUpdateCount > 0 || !FRichEdit || FPainting)
        return;
    FPainting = true;
    if (Parent()) {
        AttachEdit();
        canvas.SetBkMode(false, FColor);
        const QImage* target = canvas.Target();
        auto dpi = [](int dotsPerMeter) { return static_cast<int>(std::lround(dotsPerMeter * 0.0254)); };
        RenderInto(canvas, TRect{0, 0, Width(), Height()}, target ? dpi(target->dotsPerMeterX()) : 96,
                   target ? dpi(target->dotsPerMeterY()) : 96);
        DetachEdit();
    }
    FPainting = false;
}

void TRTFLabel::PaintTo(TCanvas& canvas) {
    AttachEdit();
    RenderInto(canvas, ClientRect(), 96, 96);
    DetachEdit();
}

void TRTFLabel::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    TGraphicControl::MouseDown(button, shift, x, y);
}

} // namespace kv
