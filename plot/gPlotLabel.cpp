#include "plot/gPlotLabel.h"

#include "plot/gDraw.h"
#include "plot/gPlotManagers.h"

#include "platform/gui/ImageList.h"

namespace kv {

KV_REGISTER_CLASS(TgPlotLabel, TgPlotLayoutObject, b) {
    using L = TgPlotLabel;
    b.Prop("MarginLeft", &L::MarginLeft, &L::SetMarginLeft);
    b.Prop("MarginTop", &L::MarginTop, &L::SetMarginTop);
    b.Prop("MarginRight", &L::MarginRight, &L::SetMarginRight);
    b.Prop("MarginBottom", &L::MarginBottom, &L::SetMarginBottom);
    b.Prop("Caption", &L::Caption, &L::SetCaption);
    b.Prop("Alignment", &L::Alignment, &L::SetAlignment).Default(TgAlignmentHorizontal::iahCenter);
    b.Prop("Font", &L::Font, &L::SetFont);
    b.Prop("ImageListIndex", &L::ImageListIndex, &L::SetImageListIndex).Default(-1);
    b.Prop("ImageIndex", &L::ImageIndex, &L::SetImageIndex).Default(0);
}

namespace {
const bool kLabelClassRegistered = (gRegisterPlotObjectClassOf<TgPlotLabel>("TgPlotLabel"), true);
} // namespace

TgPlotLabel::TgPlotLabel(TComponent* owner, TNotifyEvent onChange, TNotifyEvent onInsert,
                         TNotifyEvent onRemove, TNotifyEvent onRename)
    : TgPlotLayoutObject(owner, std::move(onChange), std::move(onInsert), std::move(onRemove),
                         std::move(onRename)),
      TgPlotImageHolder(static_cast<TgPlotObject&>(*this)), FFont(std::make_unique<TFont>()) {
    FHorizontal = true;
    FFont->SetName("Arial");
    FFont->SetSize(14);
    FFont->SetStyle({TFontStyle::fsBold});
    FFont->SetColor(clWhite);
    FFont->OnChange = [this](TObject*) { DoChange(); };
}

TgPlotLabel::~TgPlotLabel() {
    NotifyRemove();
    FFont->OnChange = nullptr;
}

void TgPlotLabel::SetFont(const TFont* value) {
    FFont->Assign(value);
}

void TgPlotLabel::SetAlignment(TgAlignmentHorizontal value) {
    if (value == FAlignment)
        return;
    FAlignment = value;
    DoChange();
}

void TgPlotLabel::CalcMargins(TCanvas& canvas) {
    canvas.Font()->Assign(FFont.get());
    const int w0 = gTextWidthMultiLine(canvas, "0");
    const int h0 = gTextHeightMultiLine(canvas, "0");
    FMarginTopPixels = gRoundSaturated(h0 * FMarginTop);
    FMarginBottomPixels = gRoundSaturated(h0 * FMarginBottom);
    FMarginLeftPixels = gRoundSaturated(w0 * FMarginLeft);
    FMarginRightPixels = gRoundSaturated(w0 * FMarginRight);
    FRequiredWidth = gTextHeightMultiLine(canvas, FCaption) + FMarginTopPixels + FMarginBottomPixels;
}

int TgPlotLabel::GetRequiredWidth(TCanvas& canvas) {
    CalcMargins(canvas);
    return FRequiredWidth;
}

int TgPlotLabel::PictureLeft(int width) const {
    switch (FAlignment) {
    case TgAlignmentHorizontal::iahLeft:
        return FLeft + FMarginLeftPixels;
    case TgAlignmentHorizontal::iahRight:
        return FRight - FMarginRightPixels - width;
    case TgAlignmentHorizontal::iahCenter:
        break;
    }
    return (FLeft + FRight) / 2 - width / 2;
}

void TgPlotLabel::Draw(TCanvas& canvas, TColor) {
    if (!Visible())
        return;
    CalcMargins(canvas);
    TImageList* list = nullptr;
    if (FImageListIndex >= 0 && FImageListIndex <= 2)
        if (auto* host = dynamic_cast<IgPlotImageListHost*>(FOwner))
            list = host->GetImageList(FImageListIndex);

    const int top = FTop + FMarginTopPixels;
    if (FImage && !FImage->Empty()) {
        // See-through where the picture has the colour of its bottom-left pixel.
        FImage->SetTransparent(true);
        FImage->SetTransparentColor(clDefault);
        canvas.Draw(PictureLeft(FImage->Width()), top, FImage.get());
        return;
    }
    if (list && FImageIndex >= 0 && FImageIndex < list->Count()) {
        list->Draw(canvas, PictureLeft(list->Width()), top, FImageIndex, Enabled());
        return;
    }

    canvas.Brush()->SetStyle(TBrushStyle::bsClear);
    if (FHorizontal) {
        TRect r{FLeft + FMarginLeftPixels, FTop + FMarginTopPixels, FRight - FMarginRightPixels,
                FBottom - FMarginBottomPixels};
        gDrawText(canvas, FCaption, r, gtoVCenter | gAlignmentTextOption(FAlignment), true, FFont->Color());
        return;
    }
    // Reading upwards: left alignment puts the caption at the bottom end, right at the top end.
    TRect r{FLeft + FMarginTopPixels, 0, FRight - FMarginBottomPixels, 0};
    const int half = gTextWidthMultiLine(canvas, FCaption) / 2;
    switch (FAlignment) {
    case TgAlignmentHorizontal::iahLeft:
        r.Top = r.Bottom = FBottom - half - FMarginLeftPixels;
        break;
    case TgAlignmentHorizontal::iahRight:
        r.Top = r.Bottom = FTop + half + FMarginRightPixels;
        break;
    case TgAlignmentHorizontal::iahCenter: {
        const int middle = (FTop + FBottom) / 2;
        r.Top = middle - half;
        r.Bottom = middle + half;
        break;
    }
    }
    TRect textRect;
    gDrawRotatedText(canvas, FCaption, r, TgRotationAngle::ira090, TgAlignmentHorizontal::iahCenter, true,
                     FFont->Color(), textRect);
}

} // namespace kv
