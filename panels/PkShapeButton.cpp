#include "panels/PkShapeButton.h"

#include "platform/gui/GdiOps.h"
#include "platform/gui/PropGroups.h"

#include <QCursor>
#include <QGuiApplication>

namespace kv {

std::vector<std::string> EnumIdents(TPkCaptionPosition) {
    return {"cpCentered", "cpXY"};
}

namespace {

// Ring offsets by ring (1..3) and side (0: right and below, 1: left and above); (0, 0) ends a list.
constexpr TRingOffset kRingOffsets[3][2][13] = {
    {{{1, -1}, {1, 0}, {1, 1}, {0, 1}, {-1, 1}}, {{-1, 0}, {-1, -1}, {0, -1}}},
    {{{2, -2}, {2, -1}, {2, 0}, {2, 1}, {2, 2}, {1, 2}, {0, 2}, {-1, 2}, {-2, 2}},
     {{-2, 1}, {-2, 0}, {-2, -1}, {-2, -2}, {-1, -2}, {0, -2}, {1, -2}}},
    {{{3, -3},
      {3, -2},
      {3, -1},
      {3, 0},
      {3, 1},
      {3, 2},
      {3, 3},
      {2, 3},
      {1, 3},
      {0, 3},
      {-1, 3},
      {-2, 3},
      {-3, 3}},
     {{-3, 2},
      {-3, 1},
      {-3, 0},
      {-3, -1},
      {-3, -2},
      {-3, -3},
      {-2, -3},
      {-1, -3},
      {0, -3},
      {1, -3},
      {2, -3}}},
};

QRgb Key(TColor c) {
    return ToQRgb(ColorToRGB(c)) & 0xFFFFFFu;
}

} // namespace

std::unique_ptr<TBitmap> CreateMonoMask(const TBitmap& bitmap, TColor backColor) {
    auto mask = std::make_unique<TBitmap>();
    mask->FromImage(MonoMask(bitmap.Image(), backColor));
    return mask;
}

std::unique_ptr<TBitmap> CreateRingMask(const TBitmap& shape, const TBitmap& current,
                                        const TRingOffset* offsets, TColor transparentColor, int maxIndex) {
    const QImage& src = shape.Image();
    const QImage& cur = current.Image();
    QImage out(cur.width(), cur.height(), QImage::Format_RGB32);
    out.fill(0xFFFFFFFFu);
    QRgb key = Key(transparentColor);
    int count = 0;
    while (count < maxIndex && count < 13 && (offsets[count].dx != 0 || offsets[count].dy != 0))
        ++count;
    for (int y = 0; y < cur.height(); ++y)
        for (int x = 0; x < cur.width(); ++x) {
            if ((cur.pixel(x, y) & 0xFFFFFFu) != key)
                continue;
            for (int i = 0; i < count; ++i) {
                int sx = x - offsets[i].dx, sy = y - offsets[i].dy;
                if (src.valid(sx, sy) && (src.pixel(sx, sy) & 0xFFFFFFu) != key) {
                    out.setPixel(x, y, 0xFF000000u);
                    break;
                }
            }
        }
    auto mask = std::make_unique<TBitmap>();
    mask->FromImage(out);
    return mask;
}

KV_REGISTER_CLASS(TPkShapeButton, TGraphicControl, b) {
    using C = TPkShapeButton;
    b.Prop("About", &C::About, [](C&, TPkAboutInfo*) {});
    b.Prop("AutoSize", &C::AutoSize, &C::SetAutoSize).Default(true);
    b.Prop("BevelHighlightColor", &C::BevelHighlightColor, &C::SetBevelHighlightColor)
        .Default(clBtnHighlight)
        .Idents(ColorIdents(), "TColor");
    b.Prop("BevelShadowColor", &C::BevelShadowColor, &C::SetBevelShadowColor)
        .Default(clBtnShadow)
        .Idents(ColorIdents(), "TColor");
    b.Prop("BevelWidth", &C::BevelWidth, &C::SetBevelWidth).Default(2);
    b.Prop("Bitmap", &C::Bitmap, &C::SetBitmap);
    b.Prop("BorderStyle", &C::BorderStyle, &C::SetBorderStyle).Default(TBorderStyle::bsSingle);
    b.Prop("BorderColor", &C::BorderColor, &C::SetBorderColor)
        .Default(cl3DDkShadow)
        .Idents(ColorIdents(), "TColor");
    b.Prop("PreciseClick", &C::PreciseClick, &C::SetPreciseClick).Default(true);
    b.Prop("PreciseShowHint", &C::PreciseShowHint, &C::SetPreciseShowHint).Default(true);
    b.Prop("CaptionPosition", &C::CaptionPosition, &C::SetCaptionPosition)
        .Default(TPkCaptionPosition::cpCentered);
    b.Prop("CaptionX", &C::CaptionX, &C::SetCaptionX).Default(0);
    b.Prop("CaptionY", &C::CaptionY, &C::SetCaptionY).Default(0);
    b.Prop("Caption", &TControl::Caption, &TControl::SetCaption);
    FontProps(b);
    // The generated faces travel with the layout so that loading does not regenerate them.
    b.Prop("BitmapUp", &C::BitmapUp, &C::SetBitmapUp);
    b.Prop("BitmapDown", &C::BitmapDown, &C::SetBitmapDown);
}

TPkShapeButton::TPkShapeButton(TComponent* owner)
    : TGraphicControl(owner), FAboutInfo(std::make_unique<TPkAboutInfo>()),
      FBitmap(std::make_unique<TBitmap>()), FBitmapUp(std::make_unique<TBitmap>()),
      FBitmapDown(std::make_unique<TBitmap>()) {
    // The button raises its own clicks, only for releases on its shape.
    FClickOnMouseUp = false;
    SetBounds(0, 0, 80, 80);
    FBitmap->OnChange = [this](TObject*) {
        if (!IsLoading())
            Regenerate();
    };
}

TPkShapeButton::~TPkShapeButton() {
    FBitmap->OnChange = nullptr;
}

void TPkShapeButton::SetAutoSize(bool v) {
    FAutoSize = v;
    SetBounds(Left(), Top(), Width(), Height());
}

void TPkShapeButton::SetBounds(int left, int top, int width, int height) {
    if (!IsLoading() && FAutoSize && FBitmap && !FBitmap->Empty()) {
        width = FBitmap->Width() + 4;
        height = FBitmap->Height() + 4;
    }
    TGraphicControl::SetBounds(left, top, width, height);
}

void TPkShapeButton::SetBevelHighlightColor(TColor v) {
    if (v == FBevelHighlightColor)
        return;
    FBevelHighlightColor = v;
    Regenerate();
}

void TPkShapeButton::SetBevelShadowColor(TColor v) {
    if (v == FBevelShadowColor)
        return;
    FBevelShadowColor = v;
    Regenerate();
}

void TPkShapeButton::SetBevelWidth(int v) {
    v = std::min(v, 2);
    if (v == FBevelWidth)
        return;
    FBevelWidth = v;
    Regenerate();
}

void TPkShapeButton::SetBorderColor(TColor v) {
    if (v == FBorderColor)
        return;
    FBorderColor = v;
    Regenerate();
}

void TPkShapeButton::SetBorderStyle(TBorderStyle v) {
    if (v == FBorderStyle)
        return;
    FBorderStyle = v;
    Regenerate();
}

void TPkShapeButton::SetBitmap(const TBitmap* v) {
    FBitmap->Assign(v);
}
void TPkShapeButton::SetBitmapUp(const TBitmap* v) {
    FBitmapUp->Assign(v);
}
void TPkShapeButton::SetBitmapDown(const TBitmap* v) {
    FBitmapDown->Assign(v);
}

void TPkShapeButton::SetCaptionPosition(TPkCaptionPosition v) {
    if (v == FCaptionPosition)
        return;
    FCaptionPosition = v;
    Invalidate();
}

void TPkShapeButton::SetCaptionX(int v) {
    SetCaptionXY(v, FCaptionY);
}
void TPkShapeButton::SetCaptionY(int v) {
    SetCaptionXY(FCaptionX, v);
}

void TPkShapeButton::SetCaptionXY(int x, int y) {
    bool changed = x != FCaptionX || y != FCaptionY;
    FCaptionX = x;
    FCaptionY = y;
    if (changed) {
        FCaptionPosition = TPkCaptionPosition::cpXY;
        Invalidate();
    }
}

bool TPkShapeButton::PtInMask(int x, int y) const {
    if (!FHitTestMask)
        return true;
    const QImage& m = FHitTestMask->Image();
    return m.valid(x, y) && (m.pixel(x, y) & 0xFFFFFFu) == 0;
}

void TPkShapeButton::FontChanged() {
    TGraphicControl::FontChanged();
    Invalidate();
}

void TPkShapeButton::TextChanged() {
    TGraphicControl::TextChanged();
    Invalidate();
}

bool TPkShapeButton::DialogChar(char key) {
    if (MatchesAccelerator(Caption(), key) && Enabled()) {
        Click();
        return true;
    }
    return false;
}

void TPkShapeButton::Loaded() {
    TGraphicControl::Loaded();
    if (FBitmap->Empty())
        return;
    TColor key = FBitmap->TransparentColor();
    QImage mask = MonoMask(FBitmap->Image(), key);
    if (!FBitmapUp->Empty()) {
        QImage up = MonoMask(FBitmapUp->Image(), key);
        // Hit where either picture is opaque: AND of the two masks (black = hit).
        BitBlt(mask, 0, 0, mask.width(), mask.height(), &up, 0, 0, SRCAND);
    }
    FHitTestMask = std::make_unique<TBitmap>();
    FHitTestMask->FromImage(mask);
}

QImage TPkShapeButton::MakeFace(bool down) const {
    TBitmap face;
    face.Assign(FBitmap.get());
    TColor key = FBitmap->TransparentColor();
    int rings = FBevelWidth + (FBorderStyle == TBorderStyle::bsSingle ? 1 : 0);
    TColor highlight = ColorToRGB(FBevelHighlightColor) == ColorToRGB(key) ? DimColor(FBevelHighlightColor, 1)
                                                                           : FBevelHighlightColor;
    for (int ring = 1; ring <= rings && ring <= 3; ++ring) {
        TBitmap snapshot;
        snapshot.Assign(&face);
        for (int side = 0; side <= 1; ++side) {
            if (down && ring == rings && side == 0)
                continue;
            auto mask = CreateRingMask(*FBitmap, snapshot, kRingOffsets[ring - 1][side], key, 13);
            TColor colour;
            if (ring == rings && FBorderStyle == TBorderStyle::bsSingle)
                colour = FBorderColor;
            else if (!down)
                colour = side == 0 ? FBevelShadowColor : highlight;
            else
                colour = side == 1 ? FBevelShadowColor : highlight;
            // The face ANDed with the mask, then ORed with the colour where the mask is black.
            QImage& img = face.Image();
            const QImage& m = mask->Image();
            QImage paint(m.size(), QImage::Format_RGB32);
            TRopBrush brush;
            brush.color = 0xFF000000u | ToQRgb(ColorToRGB(colour));
            BitBlt(paint, 0, 0, m.width(), m.height(), &m, 0, 0, 0x00300000u,
                   brush); // the colour where S is black
            BitBlt(img, 0, 0, m.width(), m.height(), &m, 0, 0, SRCAND);
            BitBlt(img, 0, 0, m.width(), m.height(), &paint, 0, 0, SRCPAINT);
        }
    }
    return face.Image();
}

void TPkShapeButton::Regenerate() {
    SetBounds(Left(), Top(), Width(), Height());
    if (FBitmap->Empty()) {
        FBitmapUp->Assign(nullptr);
        FBitmapDown->Assign(nullptr);
        FHitTestMask.reset();
        Invalidate();
        return;
    }
    QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    FBitmapUp->FromImage(MakeFace(false));
    FBitmapDown->FromImage(MakeFace(true));
    QGuiApplication::restoreOverrideCursor();
    FHitTestMask = std::make_unique<TBitmap>();
    FHitTestMask->FromImage(MonoMask(FBitmapUp->Image(), FBitmap->TransparentColor()));
    Invalidate();
}

TRect TPkShapeButton::GetCaptionRect(TCanvas& canvas) const {
    TRect client = ClientRect();
    if (FCaptionPosition == TPkCaptionPosition::cpCentered)
        return client;
    TRect r{0, 0, client.Width(), 0};
    DrawTextIn(canvas, Caption(), r, DT_CALCRECT | DT_SINGLELINE);
    return {FCaptionX, FCaptionY, FCaptionX + r.Width(), FCaptionY + r.Height()};
}

void TPkShapeButton::DrawCaptionText(TCanvas& canvas, TRect r) {
    canvas.Brush()->SetStyle(TBrushStyle::bsClear);
    if (FState == TButtonState::bsDown)
        r = {r.Left + 1, r.Top + 1, r.Right + 1, r.Bottom + 1};
    DrawTextCentred(canvas, Caption(), r);
    canvas.Brush()->SetStyle(TBrushStyle::bsSolid);
}

void TPkShapeButton::Paint(TCanvas& canvas) {
    if (FState == TButtonState::bsDisabled || FState == TButtonState::bsExclusive)
        FState = TButtonState::bsUp;
    const TBitmap* face = FState == TButtonState::bsDown ? FBitmapDown.get() : FBitmapUp.get();
    if (!face->Empty() && canvas.Target()) {
        // The face over what the parent shows: its transparent pixels are left out.
        int shift = FState == TButtonState::bsDown ? 1 : 0;
        TRect dest{shift, shift, shift + face->Width(), shift + face->Height()};
        TransparentBlt(*canvas.Target(), dest, face->Image(), {0, 0, face->Width(), face->Height()},
                       FBitmap->Empty() ? face->TransparentColor() : FBitmap->TransparentColor());
    }
    if (!Caption().empty()) {
        canvas.Font()->Assign(Font());
        DrawCaptionText(canvas, GetCaptionRect(canvas));
    }
}

void TPkShapeButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    // Transparent pixels do not belong to the button: the press is not the button's.
    if (FPreciseClick && !PtInMask(x, y))
        return;
    TGraphicControl::MouseDown(button, shift, x, y);
    if (button != TMouseButton::mbLeft || !Enabled())
        return;
    if (OnShape(x, y)) {
        FState = TButtonState::bsDown;
        Repaint();
    }
    FDragging = true;
}

void TPkShapeButton::MouseMove(TShiftState shift, int x, int y) {
    TGraphicControl::MouseMove(shift, x, y);
    bool onMask = PtInMask(x, y);
    if (!onMask && FPreciseShowHint) {
        if (!FPrevShowHintSaved) {
            FPrevShowHint = ShowHint();
            FPrevParentShowHint = ParentShowHint();
            FPrevShowHintSaved = true;
        }
        SetShowHint(false);
        SetParentShowHint(false);
    } else if (!onMask && FPreciseClick) {
        if (!FPrevCursorSaved) {
            FPrevCursor = Cursor();
            FPrevCursorSaved = true;
        }
        SetCursor(crDefault);
    } else {
        if (FPrevShowHintSaved) {
            SetShowHint(FPrevShowHint);
            SetParentShowHint(FPrevParentShowHint);
            FPrevShowHintSaved = false;
        }
        if (FPrevCursorSaved) {
            SetCursor(FPrevCursor);
            FPrevCursorSaved = false;
        }
    }
    if (!FDragging)
        return;
    bool inside = FPreciseClick ? onMask : (x >= 0 && y >= 0 && x < ClientWidth() && y < ClientHeight());
    TButtonState next = inside ? TButtonState::bsDown : TButtonState::bsUp;
    if (next != FState) {
        FState = next;
        Repaint();
    }
}

void TPkShapeButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    TGraphicControl::MouseUp(button, shift, x, y);
    if (!FDragging)
        return;
    FDragging = false;
    if (FState == TButtonState::bsDown) {
        FState = TButtonState::bsUp;
        Repaint();
    }
    bool inside =
        FPreciseClick ? PtInMask(x, y) : (x >= 0 && y >= 0 && x < ClientWidth() && y < ClientHeight());
    if (inside)
        Click();
}

} // namespace kv
