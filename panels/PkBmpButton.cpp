#include "panels/PkBmpButton.h"

#include "panels/PkControlHelpers.h"
#include "platform/gui/GdiOps.h"
#include "platform/gui/PropGroups.h"

#include <QObject>

namespace kv {

std::vector<std::string> EnumIdents(TButtonLayout) {
    return {"blGlyphLeft", "blGlyphRight", "blGlyphTop", "blGlyphBottom"};
}
std::vector<std::string> EnumIdents(TButtonStyle) {
    return {"bsAutoDetect", "bsWin31", "bsNew"};
}
std::vector<std::string> EnumIdents(TButtonBorder) {
    return {"bbNone", "bbSingle", "bbButton"};
}
std::vector<std::string> EnumIdents(TBtnSize) {
    return {"bszNeither", "bszButtonToBitmap", "bszStretchToButton", "bszTileToButton"};
}

// ---------------------------------------------------------------------------------------------------
// TPkButtonBitmaps

KV_REGISTER_CLASS(TPkButtonBitmaps, TPersistent, b) {
    using C = TPkButtonBitmaps;
    b.Prop("Disabled", &C::Disabled, &C::SetDisabled);
    b.Prop("Down", &C::Down, &C::SetDown);
    b.Prop("StayDown", &C::StayDown, &C::SetStayDown);
    b.Prop("Hot", &C::Hot, &C::SetHot);
    b.Prop("TransparentColor", &C::TransparentColor, &C::SetTransparentColor).Idents(ColorIdents(), "TColor");
    b.Prop("Up", &C::Up, &C::SetUp);
    b.Prop("UpAndFocused", &C::UpAndFocused, &C::SetUpAndFocused);
    b.Event("OnChange", &C::OnChange);
}

TPkButtonBitmaps::TPkButtonBitmaps()
    : FUp(std::make_unique<TBitmap>()), FUpAndFocused(std::make_unique<TBitmap>()),
      FDisabled(std::make_unique<TBitmap>()), FDown(std::make_unique<TBitmap>()),
      FStayDown(std::make_unique<TBitmap>()), FHot(std::make_unique<TBitmap>()) {
    for (TBitmap* bmp :
         {FUp.get(), FUpAndFocused.get(), FDisabled.get(), FDown.get(), FStayDown.get(), FHot.get()})
        Bind(*bmp);
}

TPkButtonBitmaps::~TPkButtonBitmaps() = default;

void TPkButtonBitmaps::Bind(TBitmap& b) {
    b.OnChange = [this](TObject*) { Changed(); };
}

void TPkButtonBitmaps::Changed() {
    if (OnChange)
        OnChange(this);
}

namespace {
void AssignBitmap(TBitmap& target, const TBitmap* source) {
    // Assigning nothing empties the picture, as the framework's assign of nil did.
    target.Assign(source);
}
} // namespace

void TPkButtonBitmaps::SetUp(const TBitmap* v) {
    AssignBitmap(*FUp, v);
}
void TPkButtonBitmaps::SetUpAndFocused(const TBitmap* v) {
    AssignBitmap(*FUpAndFocused, v);
}
void TPkButtonBitmaps::SetDisabled(const TBitmap* v) {
    AssignBitmap(*FDisabled, v);
}
void TPkButtonBitmaps::SetDown(const TBitmap* v) {
    AssignBitmap(*FDown, v);
}
void TPkButtonBitmaps::SetStayDown(const TBitmap* v) {
    AssignBitmap(*FStayDown, v);
}
void TPkButtonBitmaps::SetHot(const TBitmap* v) {
    AssignBitmap(*FHot, v);
}
void TPkButtonBitmaps::SetTransparentColor(TColor v) {
    if (v == FTransparentColor)
        return;
    FTransparentColor = v;
    Changed();
}

// ---------------------------------------------------------------------------------------------------
// TPkBmpButton

namespace {
int gLiveButtons = 0;
std::unique_ptr<TBitmap> gDownPattern;

TBitmap* DownPattern() {
    if (!gDownPattern) {
        gDownPattern = std::make_unique<TBitmap>(8, 8);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                gDownPattern->Canvas()->SetPixel(x, y, (x + y) % 2 == 0 ? clWhite : clBtnFace);
    }
    return gDownPattern.get();
}
} // namespace

KV_REGISTER_CLASS(TPkBmpButton, TCustomControl, b) {
    using C = TPkBmpButton;
    b.Prop("About", &C::About, [](C&, TPkAboutInfo*) {});
    b.Prop("AllowAllUp", &C::AllowAllUp, &C::SetAllowAllUp).Default(false);
    b.Prop("CaptionDownOffset", &C::CaptionDownOffset, &C::SetCaptionDownOffset).Default(1);
    b.Prop("ModalResult", &C::ModalResult, &C::SetModalResult).Default(0);
    b.Prop("GroupIndex", &C::GroupIndex, &C::SetGroupIndex).Default(0);
    b.Prop("Down", &C::Down, &C::SetDown).Default(false);
    b.Prop("Bitmaps", &C::Bitmaps, &C::SetBitmaps);
    ColorProp(b, clBtnFace, false);
    b.Prop("ButtonBorder", &C::ButtonBorder, &C::SetButtonBorder).Default(TButtonBorder::bbNone);
    b.Prop("ShowDownPattern", &C::ShowDownPattern, &C::SetShowDownPattern).Default(true);
    b.Prop("ShowFocus", &C::ShowFocus, &C::SetShowFocus).Default(true);
    b.Prop("ButtonSize", &C::ButtonSize, &C::SetButtonSize).Default(TBtnSize::bszButtonToBitmap);
    b.Prop("ButtonStyle", &C::ButtonStyle, &C::SetButtonStyle).Default(TButtonStyle::bsAutoDetect);
    b.Prop("Layout", &C::Layout, &C::SetLayout).Default(TButtonLayout::blGlyphLeft);
    b.Prop("Margin", &C::Margin, &C::SetMargin).Default(-1);
    b.Prop("Spacing", &C::Spacing, &C::SetSpacing).Default(4);
    b.Prop("Caption", &TControl::Caption, &TControl::SetCaption);
    FontProps(b);
    b.Prop("Height", &TControl::Height, &TControl::SetHeight).Default(30);
    b.Prop("Width", &TControl::Width, &TControl::SetWidth).Default(80);
    PopupProp(b);
    TabProps(b, true);
    b.Event("OnMouseEnter", &C::OnMouseEnter);
    b.Event("OnMouseLeave", &C::OnMouseLeave);
}

TPkBmpButton::TPkBmpButton(TComponent* owner)
    : TCustomControl(owner), FAboutInfo(std::make_unique<TPkAboutInfo>()),
      FBitmaps(std::make_unique<TPkButtonBitmaps>()) {
    // The button raises its own clicks.
    FClickOnMouseUp = false;
    SetBounds(0, 0, 80, 30);
    FBitmaps->OnChange = [this](TObject*) { BitmapsChanged(); };
    SetColor(clBtnFace);
    SetTabStop(true);
    FHoverFilter = WatchMouseHover(
        this, [this] { MouseEnter(); }, [this] { MouseLeave(); });
    ++gLiveButtons;
}

TPkBmpButton::~TPkBmpButton() {
    delete FHoverFilter;
    FHoverFilter = nullptr;
    if (--gLiveButtons == 0)
        gDownPattern.reset();
}

int TPkBmpButton::LiveButtons() {
    return gLiveButtons;
}
bool TPkBmpButton::DownPatternExists() {
    return gDownPattern != nullptr;
}

bool TPkBmpButton::NewStyle() const {
    // The platform's new-style flag is always set, so auto-detect means the new style.
    return FButtonStyle != TButtonStyle::bsWin31;
}

void TPkBmpButton::SetAllowAllUp(bool v) {
    if (v == FAllowAllUp)
        return;
    FAllowAllUp = v;
    NotifyGroup();
}

void TPkBmpButton::SetButtonBorder(TButtonBorder v) {
    if (v == FButtonBorder)
        return;
    FButtonBorder = v;
    AutoSize();
    Invalidate();
}

void TPkBmpButton::SetButtonSize(TBtnSize v) {
    if (v == FButtonSize)
        return;
    FButtonSize = v;
    AutoSize();
    Invalidate();
}

void TPkBmpButton::SetButtonStyle(TButtonStyle v) {
    if (v == FButtonStyle)
        return;
    FButtonStyle = v;
    AutoSize();
    Invalidate();
}

void TPkBmpButton::SetDown(bool v) {
    if (FGroupIndex == 0)
        v = false;
    if (v == FDown)
        return;
    // A down member of a group is raised only by another member going down.
    if (FDown && !FAllowAllUp)
        return;
    FDown = v;
    FState = v ? TButtonState::bsExclusive : TButtonState::bsUp;
    Invalidate();
    if (v)
        NotifyGroup();
}

void TPkBmpButton::SetCaptionDownOffset(int v) {
    if (v == FCaptionDownOffset)
        return;
    FCaptionDownOffset = v;
    Invalidate();
}

void TPkBmpButton::SetGroupIndex(int v) {
    if (v == FGroupIndex)
        return;
    FGroupIndex = v;
    NotifyGroup();
}

void TPkBmpButton::SetLayout(TButtonLayout v) {
    if (v == FLayout)
        return;
    FLayout = v;
    Invalidate();
}

void TPkBmpButton::SetMargin(int v) {
    if (v == FMargin || v < -1)
        return;
    FMargin = v;
    Invalidate();
}

void TPkBmpButton::SetShowDownPattern(bool v) {
    if (v == FShowDownPattern)
        return;
    FShowDownPattern = v;
    Invalidate();
}

void TPkBmpButton::SetShowFocus(bool v) {
    if (v == FShowFocus)
        return;
    FShowFocus = v;
    Invalidate();
}

void TPkBmpButton::SetSpacing(int v) {
    if (v == FSpacing)
        return;
    FSpacing = v;
    Invalidate();
}

void TPkBmpButton::NotifyGroup() {
    TWinControl* parent = Parent();
    if (FGroupIndex == 0 || !parent) {
        FState = TButtonState::bsUp;
        return;
    }
    PkNotifySiblings<TPkBmpButton>(parent,
                                   [this](TPkBmpButton& b) { return b.BmpButtonPressed(FGroupIndex, this); });
}

int TPkBmpButton::BmpButtonPressed(int groupIndex, TPkBmpButton* sender) {
    return PkSiblingPressed(*this, groupIndex, sender);
}

void TPkBmpButton::Click() {
    if (TCustomForm* form = ParentForm())
        form->SetModalResult(FModalResult);
    TCustomControl::Click();
}

void TPkBmpButton::DblClick() {
    // The second press of a double click arrives as this message; it presses the button like any press.
    MouseDown(TMouseButton::mbLeft, TShiftState{TShiftItem::ssLeft, TShiftItem::ssDouble}, FLastMouse.X,
              FLastMouse.Y);
    if (FDown)
        TCustomControl::DblClick();
}

void TPkBmpButton::BitmapsChanged() {
    if (FButtonSize == TBtnSize::bszButtonToBitmap)
        AutoSize();
    Invalidate();
}

void TPkBmpButton::Loaded() {
    TCustomControl::Loaded();
    AutoSize();
}

void TPkBmpButton::AutoSize() {
    if (IsLoading() || FButtonSize == TBtnSize::bszNeither || FBitmaps->Up()->Empty())
        return;
    if (FButtonSize == TBtnSize::bszButtonToBitmap) {
        int b = 0;
        if (FButtonBorder == TButtonBorder::bbSingle)
            b = 1;
        else if (FButtonBorder == TButtonBorder::bbButton)
            b = NewStyle() ? 2 : 3;
        SetBounds(Left(), Top(), FBitmaps->Up()->Width() + 2 * b, FBitmaps->Up()->Height() + 2 * b);
    }
    Invalidate();
}

void TPkBmpButton::SetBounds(int left, int top, int width, int height) {
    bool resized = width != Width() || height != Height();
    TCustomControl::SetBounds(left, top, width, height);
    if (resized)
        AutoSize();
}

void TPkBmpButton::DoEnter() {
    TCustomControl::DoEnter();
    FIsFocused = true;
    Invalidate();
}

void TPkBmpButton::DoExit() {
    TCustomControl::DoExit();
    FIsFocused = false;
    Invalidate();
}

void TPkBmpButton::MouseEnter() {
    FMouseOverButton = true;
    if (OnMouseEnter)
        OnMouseEnter(this);
    if (!FBitmaps->Hot()->Empty())
        Invalidate();
}

void TPkBmpButton::MouseLeave() {
    FMouseOverButton = false;
    if (OnMouseLeave)
        OnMouseLeave(this);
    if (!FBitmaps->Hot()->Empty())
        Invalidate();
}

bool TPkBmpButton::DialogChar(char key) {
    if (MatchesAccelerator(Caption(), key) && Enabled()) {
        Click();
        return true;
    }
    return false;
}

void TPkBmpButton::SetEnabled(bool v) {
    TCustomControl::SetEnabled(v);
    Invalidate();
}

void TPkBmpButton::FontChanged() {
    TCustomControl::FontChanged();
    Invalidate();
}

void TPkBmpButton::TextChanged() {
    TCustomControl::TextChanged();
    Invalidate();
}

bool TPkBmpButton::Inside(int x, int y) const {
    return x >= 0 && y >= 0 && x < ClientWidth() && y < ClientHeight();
}

void TPkBmpButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    TCustomControl::MouseDown(button, shift, x, y);
    FLastMouse = {x, y};
    if (Enabled() && !Focused() && Showing() && CanFocus())
        SetFocus();
    if (button == TMouseButton::mbLeft && Enabled() && CanFocus()) {
        if (!FDown) {
            FState = TButtonState::bsDown;
            Repaint();
        }
        FDragging = true;
    }
}

void TPkBmpButton::MouseMove(TShiftState shift, int x, int y) {
    TCustomControl::MouseMove(shift, x, y);
    FLastMouse = {x, y};
    if (!FDragging)
        return;
    TButtonState next = FDown ? TButtonState::bsExclusive : TButtonState::bsUp;
    if (Inside(x, y))
        next = FDown ? TButtonState::bsExclusive : TButtonState::bsDown;
    if (next != FState) {
        FState = next;
        Repaint();
    }
}

void TPkBmpButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    TCustomControl::MouseUp(button, shift, x, y);
    if (!FDragging)
        return;
    FDragging = false;
    bool inside = Inside(x, y);
    // Before the toggle: for a grouped button this only shares AllowAllUp with the siblings.
    NotifyGroup();
    ReleaseStep(inside);
}

void TPkBmpButton::ReleaseStep(bool inside) {
    if (FGroupIndex == 0) {
        Repaint();
    } else if (inside) {
        SetDown(!FDown);
    } else {
        // Released outside: back to the look of the button's own state.
        FState = FDown ? TButtonState::bsExclusive : TButtonState::bsUp;
        Repaint();
    }
    if (inside)
        Click();
}

bool TPkBmpButton::KeyDown(std::uint16_t& key, TShiftState shift) {
    bool consumed = TCustomControl::KeyDown(key, shift);
    if (key == VK_RETURN) {
        Click();
        return true;
    }
    if (key == VK_SPACE && Enabled()) {
        if (!FDown) {
            FState = TButtonState::bsDown;
            Repaint();
        }
        FDragging = true;
        return true;
    }
    return consumed;
}

bool TPkBmpButton::KeyUp(std::uint16_t& key, TShiftState shift) {
    bool consumed = TCustomControl::KeyUp(key, shift);
    if (!FDragging)
        return consumed;
    FDragging = false;
    FState = FDown ? TButtonState::bsExclusive : TButtonState::bsUp;
    ReleaseStep(true);
    return true;
}

// ---------------------------------------------------------------------------------------------------
// Painting

const TBitmap* TPkBmpButton::ChooseBitmap(std::unique_ptr<TBitmap>& embossed) const {
    const TPkButtonBitmaps& bm = *FBitmaps;
    if (bm.Up()->Empty()) {
        if (FState == TButtonState::bsDisabled && !bm.Disabled()->Empty())
            return bm.Disabled();
        return nullptr;
    }
    switch (FState) {
    case TButtonState::bsUp:
        if (FMouseOverButton && !bm.Hot()->Empty())
            return bm.Hot();
        if (FIsFocused && FShowFocus && !bm.UpAndFocused()->Empty())
            return bm.UpAndFocused();
        return bm.Up();
    case TButtonState::bsDisabled: {
        if (!bm.Disabled()->Empty())
            return bm.Disabled();
        // Embossed from the up picture: a white copy of its shape one pixel below-right, the shape
        // itself in the shadow colour, on the face colour.
        const TBitmap& up = *bm.Up();
        QImage mask = MonoMask(up.Image(), clWhite);
        embossed = std::make_unique<TBitmap>(up.Width(), up.Height());
        QImage& img = embossed->Image();
        img.fill(0xFF000000u | ToQRgb(ColorToRGB(clBtnFace)));
        BitBlt(img, 1, 1, up.Width(), up.Height(), &mask, 0, 0, MERGEPAINT);
        TRopBrush shadow;
        shadow.color = 0xFF000000u | ToQRgb(ColorToRGB(clBtnShadow));
        BitBlt(img, 0, 0, up.Width(), up.Height(), &mask, 0, 0, 0x00B8074A, shadow);
        return embossed.get();
    }
    case TButtonState::bsDown:
        return !bm.Down()->Empty() ? bm.Down() : bm.Up();
    case TButtonState::bsExclusive:
        if (!bm.StayDown()->Empty())
            return bm.StayDown();
        return !bm.Down()->Empty() ? bm.Down() : bm.Up();
    }
    return bm.Up();
}

void TPkBmpButton::CalcLayout(const TRect& content, const TBitmap* bitmap, TRect& captionRect,
                              TRect& bitmapRect) {
    TCanvas measure;
    measure.Font()->Assign(Font());
    int W = content.Width(), H = content.Height();
    int w = 0, h = 0;
    if (FButtonSize == TBtnSize::bszNeither && bitmap && !bitmap->Empty()) {
        w = bitmap->Width();
        h = bitmap->Height();
    }
    int tw = 0, th = 0;
    TRect text{0, 0, W, 0};
    if (!Caption().empty()) {
        DrawTextIn(measure, Caption(), text, DT_CALCRECT);
        tw = text.Width();
        th = text.Height();
    } else {
        text = {0, 0, 0, 0};
    }
    bool horizontal = FLayout == TButtonLayout::blGlyphLeft || FLayout == TButtonLayout::blGlyphRight;
    int bx = 0, by = 0, cx = 0, cy = 0;
    if (horizontal) {
        by = H / 2 - h / 2;
        cy = H / 2 - th / 2;
    } else {
        bx = W / 2 - w / 2;
        cx = W / 2 - tw / 2;
    }
    int s = FSpacing, m = FMargin;
    if (tw == 0 || w == 0)
        s = 0;
    if (m == -1) {
        if (s == -1) {
            m = horizontal ? (W - (w + tw)) / 3 : (H - (h + th)) / 3;
            s = m;
        } else {
            m = horizontal ? W / 2 - (w + s + tw) / 2 : H / 2 - (h + s + th) / 2;
        }
    } else if (s == -1) {
        s = horizontal ? (W - (m + w)) / 2 - tw / 2 : (H - (m + h)) / 2 - th / 2;
    }
    switch (FLayout) {
    case TButtonLayout::blGlyphLeft:
        bx = m;
        cx = m + w + s;
        break;
    case TButtonLayout::blGlyphRight:
        bx = W - m - w;
        cx = bx - s - tw;
        break;
    case TButtonLayout::blGlyphTop:
        by = m;
        cy = m + h + s;
        break;
    case TButtonLayout::blGlyphBottom:
        by = H - m - h;
        cy = by - s - th;
        break;
    }
    bx += content.Left;
    by += content.Top;
    cx += content.Left;
    cy += content.Top;
    captionRect = {cx, cy, cx + tw, cy + th};
    bitmapRect = (w != 0 && h != 0) ? TRect{bx, by, bx + w, by + h} : TRect{};
}

void TPkBmpButton::Paint(TCanvas& canvas) {
    int W = Width(), H = Height();
    if (W <= 0 || H <= 0 || !canvas.Target())
        return;
    if (!Enabled()) {
        FState = TButtonState::bsDisabled;
        FDragging = false;
    } else if (FState == TButtonState::bsDisabled) {
        // Re-enabled: a down button shows its stay-down look again.
        FState = FDown ? TButtonState::bsExclusive : TButtonState::bsUp;
    }

    TBitmap off(W, H);
    TCanvas& oc = *off.Canvas();
    oc.Font()->Assign(Font());
    TRect content{0, 0, W, H};
    int bevel = NewStyle() ? 1 : 2;
    oc.Brush()->SetColor(Color());
    bool pressed = FState == TButtonState::bsDown || FState == TButtonState::bsExclusive;
    switch (FButtonBorder) {
    case TButtonBorder::bbNone:
        // There is no design time in the program, so no dotted outline is drawn here.
        PaintParentImageOnCanvas(this, oc, false);
        break;
    case TButtonBorder::bbSingle:
        oc.FillRect(content);
        oc.Brush()->SetColor(clBlack);
        oc.FrameRect(content);
        oc.Brush()->SetColor(Color());
        content = {content.Left + 1, content.Top + 1, content.Right - 1, content.Bottom - 1};
        break;
    case TButtonBorder::bbButton: {
        oc.FillRect(content);
        TRect face = content;
        if (FIsFocused && FShowFocus)
            face = PaintEdgeLines(oc, face, clWindowFrame, AllSides, clWindowFrame);
        face = PaintSystemButtonEdgeAll(oc, face, pressed);
        content = {face.Left + 1, face.Top + 1, face.Right - 1, face.Bottom - 1};
        break;
    }
    }
    if (FState == TButtonState::bsExclusive) {
        const QImage* pattern = FShowDownPattern ? &DownPattern()->Image() : nullptr;
        if (FButtonBorder != TButtonBorder::bbNone) {
            int cut = NewStyle() ? 2 : 1;
            TRect fill{content.Left - bevel, content.Top - bevel, content.Right - cut + bevel,
                       content.Bottom - cut + bevel};
            if (pattern)
                FillPattern(off.Image(), fill, *pattern);
            else
                oc.FillRect(fill);
        }
    }

    std::unique_ptr<TBitmap> embossed;
    const TBitmap* bitmap = ChooseBitmap(embossed);
    TRect captionRect, bitmapRect;
    CalcLayout(content, bitmap, captionRect, bitmapRect);
    TColor key = FBitmaps->TransparentColor();
    if (bitmap && !bitmap->Empty()) {
        switch (FButtonSize) {
        case TBtnSize::bszNeither:
            if (bitmapRect.Width() > 0)
                StretchTransparentMasked(oc, bitmapRect, *bitmap, {0, 0, bitmap->Width(), bitmap->Height()},
                                         key);
            break;
        case TBtnSize::bszButtonToBitmap:
            StretchTransparentDirect(oc, content, *bitmap, {0, 0, bitmap->Width(), bitmap->Height()}, key);
            break;
        case TBtnSize::bszStretchToButton:
            StretchTransparentWhole(oc, content, *bitmap, key);
            break;
        case TBtnSize::bszTileToButton:
            TileTransparent(oc, content, *bitmap, key);
            break;
        }
    }

    if (!Caption().empty()) {
        oc.Font()->Assign(Font());
        oc.Brush()->SetStyle(TBrushStyle::bsClear);
        if (FState == TButtonState::bsDisabled) {
            oc.Font()->SetColor(clWhite);
            DrawTextCentred(
                oc, Caption(),
                {captionRect.Left + 1, captionRect.Top + 1, captionRect.Right + 1, captionRect.Bottom + 1});
            oc.Font()->SetColor(clGray);
            DrawTextCentred(oc, Caption(), captionRect);
        } else {
            if (pressed)
                captionRect = {captionRect.Left + FCaptionDownOffset, captionRect.Top + FCaptionDownOffset,
                               captionRect.Right + FCaptionDownOffset,
                               captionRect.Bottom + FCaptionDownOffset};
            DrawTextCentred(oc, Caption(), captionRect);
        }
        if (FIsFocused && FShowFocus)
            oc.DrawFocusRect(
                {captionRect.Left - 2, captionRect.Top - 2, captionRect.Right + 2, captionRect.Bottom + 2});
    }
    BitBlt(*canvas.Target(), 0, 0, W, H, &off.Image(), 0, 0, SRCCOPY);
}

} // namespace kv
