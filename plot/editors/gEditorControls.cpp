#include "plot/editors/gEditorControls.h"

#include "plot/gDraw.h"

#include "platform/gui/PropGroups.h"

#include <cmath>

namespace kv {

namespace {
constexpr std::uint16_t kEcKeySpace = 32;
constexpr std::uint16_t kEcKeyLeft = 37;
constexpr std::uint16_t kEcKeyUp = 38;
constexpr std::uint16_t kEcKeyRight = 39;
constexpr std::uint16_t kEcKeyDown = 40;

template <class C> void EcSharedProps(TClassBuilder<C>& b) {
    b.Prop("Caption", &TControl::Caption, &TControl::SetCaption);
    b.Prop("Font", &TControl::Font, &TControl::SetFont);
    b.Prop("BackGroundColor", &TgComponent::BackGroundColor, &TgComponent::SetBackGroundColor)
        .Default(clBtnFace)
        .Idents(ColorIdents(), "TColor");
    TabProps(b, true);
    b.Event("OnChange", &C::OnChange);
    b.Event("OnChangeUser", &C::OnChangeUser);
}

// A classic sunken radio circle in a 12 x 12 square at (l, t): the outer ring shadow above the
// diagonal and highlight below, the inner ring dark shadow and face, the inside in `fill`.
void EcDrawRadioCircle(TCanvas& canvas, int l, int t, TColor fill) {
    struct Span {
        int y, x0, x1;
    };
    static constexpr Span kInside[] = {{2, 4, 7}, {3, 3, 8}, {4, 2, 9}, {5, 2, 9},
                                       {6, 2, 9}, {7, 2, 9}, {8, 3, 8}, {9, 4, 7}};
    static constexpr Span kOuter[] = {{0, 4, 7},   {1, 2, 3},  {1, 8, 9},   {2, 1, 1}, {2, 10, 10}, {3, 1, 1},
                                      {3, 10, 10}, {4, 0, 0},  {4, 11, 11}, {5, 0, 0}, {5, 11, 11}, {6, 0, 0},
                                      {6, 11, 11}, {7, 0, 0},  {7, 11, 11}, {8, 1, 1}, {8, 10, 10}, {9, 1, 1},
                                      {9, 10, 10}, {10, 2, 3}, {10, 8, 9},  {11, 4, 7}};
    static constexpr Span kInner[] = {{1, 4, 7},   {2, 2, 3},   {2, 8, 9},   {3, 2, 2},   {3, 9, 9},
                                      {4, 1, 1},   {4, 10, 10}, {5, 1, 1},   {5, 10, 10}, {6, 1, 1},
                                      {6, 10, 10}, {7, 1, 1},   {7, 10, 10}, {8, 2, 2},   {8, 9, 9},
                                      {9, 2, 3},   {9, 8, 9},   {10, 4, 7}};
    const auto ring = [&](const auto& spans, TColor upperLeft, TColor lowerRight) {
        for (const Span& s : spans)
            for (int x = s.x0; x <= s.x1; ++x)
                canvas.SetPixel(l + x, t + s.y, x + s.y < 11 ? upperLeft : lowerRight);
    };
    for (const Span& s : kInside)
        for (int x = s.x0; x <= s.x1; ++x)
            canvas.SetPixel(l + x, t + s.y, fill);
    ring(kOuter, clBtnShadow, clBtnHighlight);
    ring(kInner, cl3DDkShadow, clBtnFace);
}

// Runs a change as the user's: OnChangeUser fires for it.
class EcUserScope {
public:
    explicit EcUserScope(bool& flag) : FFlag(flag) { FFlag = true; }
    ~EcUserScope() { FFlag = false; }
    EcUserScope(const EcUserScope&) = delete;
    EcUserScope& operator=(const EcUserScope&) = delete;

private:
    bool& FFlag;
};
} // namespace

// ---------------------------------------------------------------------------------------------------
// Check box

KV_REGISTER_CLASS(TgCheckBox, TgCustomComponent, b) {
    EcSharedProps(b);
    b.Prop("Checked", &TgCheckBox::Checked, &TgCheckBox::SetChecked).Default(false);
    b.Prop("Alignment", &TgCheckBox::Alignment, &TgCheckBox::SetAlignment)
        .Default(TLeftRight::taRightJustify);
    b.Prop("AutoSize", &TgCheckBox::AutoSize, &TgCheckBox::SetAutoSize).Default(true);
}

TgCheckBox::TgCheckBox(TComponent* owner) : TgCustomComponent(owner) {
    SetParentFont(false);
    SetTabStop(true);
    // The first caption does not size the box: it starts at its default size.
    FAutoSize = false;
    SetCaption("Caption");
    FAutoSize = true;
    SetBounds(Left(), Top(), 97, 17);
}

TgCheckBox::~TgCheckBox() = default;

void TgCheckBox::SetChecked(bool value) {
    if (value == FChecked)
        return;
    bool canEdit = true;
    if (OnRequestEdit)
        OnRequestEdit(this, "Checked", canEdit);
    if (!canEdit)
        return;
    FChecked = value;
    InvalidateChange();
    DoChange();
    OPCPropertyChanged("Checked", TgOPCVariant::Integer(FChecked ? -1 : 0, varBoolean));
}

void TgCheckBox::SetAlignment(TLeftRight value) {
    if (value == FAlignment)
        return;
    FAlignment = value;
    InvalidateChange();
}

void TgCheckBox::SetAutoSize(bool value) {
    if (value == FAutoSize)
        return;
    FAutoSize = value;
    DoAutoSize();
    InvalidateChange();
}

void TgCheckBox::TextChanged() {
    DoAutoSize();
    InvalidateChange();
}

void TgCheckBox::FontChanged() {
    TgCustomComponent::FontChanged();
    DoAutoSize();
    InvalidateChange();
}

void TgCheckBox::DoAutoSize() {
    if (!FAutoSize || IsLoading() || FDoingAutoSize)
        return;
    EcUserScope sizing(FDoingAutoSize);
    TBitmap scratch(1, 1);
    scratch.Canvas()->SetFont(Font());
    const int w = scratch.Canvas()->TextWidth(Caption()) + 20;
    const int h = scratch.Canvas()->TextHeight(Caption()) + 4;
    if (FAlignment == TLeftRight::taLeftJustify)
        SetBounds(Left() + Width() - w, Top(), w, h);
    else
        SetBounds(Left(), Top(), w, h);
}

void TgCheckBox::DoChange() {
    if (IsLoading())
        return;
    if (OnChangeProtected)
        OnChangeProtected(this, "Checked");
    if (OnChange)
        OnChange(this);
    if (FUserGenerated && OnChangeUser)
        OnChangeUser(this);
}

void TgCheckBox::UserToggle() {
    EcUserScope user(FUserGenerated);
    SetChecked(!FChecked);
}

void TgCheckBox::gGotFocus() {
    TgCustomComponent::gGotFocus();
    InvalidateNow();
}

void TgCheckBox::gLostFocus() {
    // Cleared before the base releases the mouse, so losing the focus never toggles.
    FMouseDown = false;
    FKeyDown = false;
    InvalidateChange();
    TgCustomComponent::gLostFocus();
}

void TgCheckBox::gKeyDown(std::uint16_t& key, TShiftState shift) {
    TgCustomComponent::gKeyDown(key, shift);
    if (key != kEcKeySpace)
        return;
    FKeyDown = true;
    FMouseDown = false;
    InvalidateChange();
}

void TgCheckBox::gKeyUp(std::uint16_t& key, TShiftState shift) {
    TgCustomComponent::gKeyUp(key, shift);
    const bool wasDown = FKeyDown;
    FKeyDown = false;
    if (key == kEcKeySpace && wasDown) {
        InvalidateChange();
        UserToggle();
    }
}

void TgCheckBox::gMouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    TgCustomComponent::gMouseDown(button, shift, x, y);
    if (button != TMouseButton::mbLeft)
        return;
    gSetFocusControl(this);
    FMouseDown = true;
    InvalidateChange();
}

void TgCheckBox::gMouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    TgCustomComponent::gMouseUp(button, shift, x, y);
    if (!FMouseDown)
        return;
    InvalidateChange();
    FMouseDown = false;
    if (x >= 0 && y >= 0 && x < Width() && y < Height())
        UserToggle();
}

void TgCheckBox::gPaint(TCanvas& canvas) {
    SetTransparent(true);
    PaintBackGround(canvas, BackGroundColor());
    canvas.SetFont(Font());
    const int c = Height() / 2;
    const int th = canvas.TextHeight(Caption());
    const bool rightText = FAlignment == TLeftRight::taRightJustify;
    const TRect box = rightText ? TRect{0, c - 7, 13, c + 6} : TRect{Width() - 13, c - 7, Width(), c + 6};
    const int textLeft = rightText ? 18 : 1;
    TRect textRect{textLeft, c - th / 2 - 1, textLeft + canvas.TextWidth(Caption()), c - th / 2 - 1 + th};

    canvas.Brush()->SetStyle(TBrushStyle::bsSolid);
    canvas.Brush()->SetColor(FMouseDown || FKeyDown || !Enabled() ? BackGroundColor() : clWhite);
    canvas.FillRect(box);
    gDrawEdge(canvas, box, 0);

    canvas.Brush()->SetStyle(TBrushStyle::bsClear);
    TRect drawRect = textRect;
    gDrawText(canvas, Caption(), drawRect, gtoLeft | gtoVCenter | gtoSingleLine | gtoNoClip, Enabled(),
              Font()->Color());

    if (FChecked) {
        canvas.Pen()->SetStyle(TPenStyle::psSolid);
        canvas.Pen()->SetColor(clBlack);
        canvas.Pen()->SetWidth(1);
        const int l = box.Left;
        for (int raise = 0; raise < 3; ++raise) {
            canvas.MoveTo(l + 3, c - raise);
            canvas.LineTo(l + 5, c + 2 - raise);
            canvas.LineTo(l + 10, c - 3 - raise);
        }
    }

    if (HasFocus()) {
        TRect focus{std::max(0, textRect.Left - 1), std::max(0, textRect.Top - 1),
                    std::min(Width(), textRect.Right + 1), std::min(Height(), textRect.Bottom + 2)};
        gDrawFocusRect(canvas, focus);
    }
}

// ---------------------------------------------------------------------------------------------------
// Radio group

KV_REGISTER_CLASS(TgRadioGroup, TgCustomComponent, b) {
    EcSharedProps(b);
    b.Prop("Items", &TgRadioGroup::Items, &TgRadioGroup::SetItems);
    b.Prop("ItemIndex", &TgRadioGroup::ItemIndex, &TgRadioGroup::SetItemIndex).Default(-1);
    b.Prop("Columns", &TgRadioGroup::Columns, &TgRadioGroup::SetColumns).Default(1);
}

TgRadioGroup::TgRadioGroup(TComponent* owner) : TgCustomComponent(owner) {
    FItems = std::make_unique<TStringList>();
    FItems->OnChange = [this](TObject*) { RepairItemIndex(); };
    SetParentFont(false);
    SetTabStop(true);
    SetBounds(Left(), Top(), 97, 17);
    SetCaption("Radio Group");
}

TgRadioGroup::~TgRadioGroup() {
    FItems->OnChange = nullptr;
}

void TgRadioGroup::SetItems(TStrings* value) {
    FItems->Assign(value);
}

void TgRadioGroup::SetItemIndex(int value) {
    value = std::clamp(value, -1, FItems->Count() - 1);
    if (value == FItemIndex)
        return;
    FItemIndex = value;
    FMouseDownIndex = value;
    InvalidateChange();
    DoChange();
}

void TgRadioGroup::UserSetItemIndex(int value) {
    EcUserScope user(FUserGenerated);
    SetItemIndex(value);
}

void TgRadioGroup::SetColumns(int value) {
    if (value < 1 || value == FColumns)
        return;
    FColumns = value;
    InvalidateChange();
}

void TgRadioGroup::RepairItemIndex() {
    if (FItemIndex < -1)
        FItemIndex = -1;
    if (FItemIndex > FItems->Count() - 1)
        FItemIndex = FItems->Count() - 1;
    InvalidateChange();
}

void TgRadioGroup::TextChanged() {
    InvalidateChange();
}

void TgRadioGroup::FontChanged() {
    TgCustomComponent::FontChanged();
    RepairItemIndex();
}

void TgRadioGroup::DoChange() {
    if (IsLoading())
        return;
    if (OnChangeProtected)
        OnChangeProtected(this, "ItemIndex");
    if (OnChange)
        OnChange(this);
    if (FUserGenerated && OnChangeUser)
        OnChangeUser(this);
}

void TgRadioGroup::CalcItemLayout(TCanvas& canvas) {
    canvas.SetFont(Font());
    const int count = FItems->Count();
    FMaxRows = count > 0 ? (count + FColumns - 1) / FColumns : 0;
    const int h = canvas.TextHeight("ABC");
    FItemsRowSpacing = FMaxRows > 0 ? (Height() - h - h / 4) / FMaxRows : 0;
    FItemsRowStart = gRoundSaturated(h + FItemsRowSpacing / 2);
    FItemsColStart = 14;
    FItemsColSpacing = (Width() - 14) / FColumns;
}

int TgRadioGroup::GetItemIndexAtPoint(int x, int y) const {
    // A control shorter than its rows (or narrower than its columns) has no item anywhere.
    if (FItemsRowSpacing < 1)
        return -1;
    int index = gRoundSaturated((y - FItemsRowStart) / FItemsRowSpacing);
    if (FColumns > 1) {
        if (FItemsColSpacing < 1)
            return -1;
        index += gTruncSaturated((x - FItemsColStart + 6) / FItemsColSpacing) * FMaxRows;
    }
    return index;
}

void TgRadioGroup::gGotFocus() {
    TgCustomComponent::gGotFocus();
    InvalidateNow();
}

void TgRadioGroup::gLostFocus() {
    FMouseDown = false;
    FKeyDown = false;
    InvalidateChange();
    TgCustomComponent::gLostFocus();
}

void TgRadioGroup::gWantSpecialKey(std::uint16_t& charCode, std::int32_t& result) {
    TgCustomComponent::gWantSpecialKey(charCode, result);
    if (charCode >= kEcKeyLeft && charCode <= kEcKeyDown)
        result = 1;
}

void TgRadioGroup::gKeyDown(std::uint16_t& key, TShiftState shift) {
    TgCustomComponent::gKeyDown(key, shift);
    FKeyDown = true;
    const int count = FItems->Count();
    if (key == kEcKeyRight || key == kEcKeyDown) {
        key = 0;
        UserSetItemIndex(FItemIndex + 1 > count - 1 ? 0 : FItemIndex + 1);
    } else if (key == kEcKeyLeft || key == kEcKeyUp) {
        key = 0;
        if (FItemIndex != -1)
            UserSetItemIndex(FItemIndex - 1 < 0 ? count - 1 : FItemIndex - 1);
    } else {
        InvalidateChange();
    }
}

void TgRadioGroup::gKeyUp(std::uint16_t& key, TShiftState shift) {
    TgCustomComponent::gKeyUp(key, shift);
    FKeyDown = false;
    InvalidateChange();
}

void TgRadioGroup::gMouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    TgCustomComponent::gMouseDown(button, shift, x, y);
    if (button != TMouseButton::mbLeft)
        return;
    gSetFocusControl(this);
    FMouseDown = true;
    FMouseDownIndex = GetItemIndexAtPoint(x, y);
    InvalidateChange();
}

void TgRadioGroup::gMouseMove(TShiftState shift, int x, int y) {
    TgCustomComponent::gMouseMove(shift, x, y);
    if (!FMouseDown)
        return;
    FMouseDownIndex = GetItemIndexAtPoint(x, y);
    InvalidateChange();
}

void TgRadioGroup::gMouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    TgCustomComponent::gMouseUp(button, shift, x, y);
    if (!FMouseDown)
        return;
    InvalidateChange();
    FMouseDown = false;
    if (FMouseDownIndex >= 0 && FMouseDownIndex < FItems->Count() &&
        GetItemIndexAtPoint(x, y) == FMouseDownIndex)
        UserSetItemIndex(FMouseDownIndex);
}

void TgRadioGroup::gPaint(TCanvas& canvas) {
    SetTransparent(true);
    PaintBackGround(canvas, BackGroundColor());
    CalcItemLayout(canvas);
    const int h = canvas.TextHeight("ABC");

    // Etched frame below the caption's middle.
    const int frameTop = h / 2;
    canvas.Brush()->SetStyle(TBrushStyle::bsClear);
    canvas.Pen()->SetStyle(TPenStyle::psSolid);
    canvas.Pen()->SetWidth(1);
    canvas.Pen()->SetColor(clBtnShadow);
    canvas.Rectangle(0, frameTop, Width() - 1, Height() - 1);
    canvas.Pen()->SetColor(clBtnHighlight);
    canvas.Rectangle(1, frameTop + 1, Width(), Height());

    if (!Caption().empty()) {
        const int captionLeft = canvas.TextWidth("A");
        TRect captionRect{captionLeft, 0, captionLeft + canvas.TextWidth(Caption()),
                          canvas.TextHeight(Caption())};
        canvas.Brush()->SetStyle(TBrushStyle::bsSolid);
        canvas.Brush()->SetColor(clWindow);
        canvas.FillRect(captionRect);
        canvas.Brush()->SetStyle(TBrushStyle::bsClear);
        gDrawText(canvas, Caption(), captionRect, gtoLeft | gtoSingleLine | gtoNoClip, Enabled(),
                  Font()->Color());
    }

    for (int i = 0; i < FItems->Count(); ++i) {
        const int row = FMaxRows > 0 ? i % FMaxRows : 0;
        const int col = FMaxRows > 0 ? i / FMaxRows : 0;
        const int x = gRoundSaturated(col * FItemsColSpacing) + FItemsColStart;
        const int y = gRoundSaturated(row * FItemsRowSpacing) + FItemsRowStart;
        const bool pressed = FMouseDown && FMouseDownIndex == i;

        // The round sunken radio button, 12 pixels across, centred on (x, y).
        EcDrawRadioCircle(canvas, x - 6, y - 6, pressed ? clBtnFace : clWhite);

        if (i == FItemIndex) {
            canvas.Pen()->SetColor(clBlack);
            canvas.Brush()->SetColor(clBlack);
            canvas.FillRect(TRect{x - 2, y - 2, x + 2, y + 2});
        }

        const std::string& text = FItems->Get(i);
        TRect textRect{x + 12, y - h / 2, x + 12 + canvas.TextWidth(text), y - h / 2 + h};
        canvas.Brush()->SetStyle(TBrushStyle::bsClear);
        TRect drawRect = textRect;
        gDrawText(canvas, text, drawRect, gtoLeft | gtoVCenter | gtoSingleLine | gtoNoClip, Enabled(),
                  Font()->Color());

        const int focusIndex = FMouseDown ? FMouseDownIndex : FItemIndex;
        if (HasFocus() && i == focusIndex)
            gDrawFocusRect(
                canvas, TRect{textRect.Left - 1, textRect.Top - 1, textRect.Right + 1, textRect.Bottom + 1});
    }
}

} // namespace kv
