// Up-down buttons, the status bar and the progress bar.

#include "platform/gui/StdBars.h"

#include "platform/gui/StdCtrlsSupport.h"
#include "platform/gui/StdPanels.h"
#include "platform/gui/WidgetBridge.h"

#include <QProgressBar>

#include <algorithm>
#include <cmath>

namespace kv {

std::vector<std::string> EnumIdents(TUDBtnType) {
    return {"btNext", "btPrev"};
}
std::vector<std::string> EnumIdents(TUDOrientation) {
    return {"udHorizontal", "udVertical"};
}
std::vector<std::string> EnumIdents(TProgressBarOrientation) {
    return {"pbHorizontal", "pbVertical"};
}

// ---------------------------------------------------------------------------------------------------
// Up-down

KV_REGISTER_CLASS(TUpDown, TCustomControl, b) {
    b.Ref("Associate", &TUpDown::Associate, &TUpDown::SetAssociate);
    b.Prop("Increment", &TUpDown::Increment, &TUpDown::SetIncrement).Default(1);
    b.Prop("Max", &TUpDown::Max, &TUpDown::SetMax).Default(100);
    b.Prop("Min", &TUpDown::Min, &TUpDown::SetMin).Default(0);
    b.Prop("Orientation", &TUpDown::Orientation, &TUpDown::SetOrientation)
        .Default(TUDOrientation::udVertical);
    b.Prop("Position", &TUpDown::Position, &TUpDown::SetPosition).Default(0);
    TabProps(b, false);
    b.Prop("Wrap", &TUpDown::Wrap, &TUpDown::SetWrap).Default(false);
    b.Event("OnChanging", &TUpDown::OnChanging);
    b.Event("OnChangingEx", &TUpDown::OnChangingEx);
    b.Event("OnClick", &TUpDown::OnClick);
}

TUpDown::TUpDown(TComponent* owner) : TCustomControl(owner) {
    FClickOnMouseUp = false;
    SetBounds(0, 0, 16, 24);
}

void TUpDown::SetPosition(int v) {
    if (!IsLoading()) {
        v = std::clamp(v, std::min(FMin, FMax), std::max(FMin, FMax));
        if (v == FPosition || !CanChange(v, TUpDownDirection::updNone))
            return;
    }
    FPosition = v;
    UpdateAssociate();
    Invalidate();
}

bool TUpDown::CanChange(int newValue, TUpDownDirection direction) {
    bool allow = true;
    if (OnChanging)
        OnChanging(this, allow);
    if (allow && OnChangingEx)
        OnChangingEx(this, allow, static_cast<int16_t>(newValue), direction);
    return allow;
}

void TUpDown::SetOrientation(TUDOrientation v) {
    FOrientation = v;
    Invalidate();
}

void TUpDown::SetAssociate(TWinControl* c) {
    FAssociate = c;
    if (c)
        c->FreeNotification(this);
    UpdateAssociate();
}

void TUpDown::Notification(TComponent* component, TOperation operation) {
    TCustomControl::Notification(component, operation);
    if (operation == TOperation::opRemove && component == FAssociate)
        FAssociate = nullptr;
}

void TUpDown::UpdateAssociate() {
    if (FAssociate && !IsLoading())
        FAssociate->SetText(std::to_string(FPosition));
}

void TUpDown::ArrowClick(TUDBtnType button) {
    int lo = std::min(FMin, FMax), hi = std::max(FMin, FMax);
    int step = (button == TUDBtnType::btNext ? 1 : -1) * (FMin <= FMax ? 1 : -1) * FIncrement;
    int next = FPosition + step;
    // The handlers see the unclamped value, so that a press at an end of the range is recognisable.
    if (!CanChange(next, button == TUDBtnType::btNext ? TUpDownDirection::updUp : TUpDownDirection::updDown))
        return;
    if (next > hi)
        next = FWrap ? lo : hi;
    else if (next < lo)
        next = FWrap ? hi : lo;
    if (next != FPosition) {
        FPosition = next;
        UpdateAssociate();
    }
    Invalidate();
    if (OnClick)
        OnClick(this, button);
}

void TUpDown::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    TCustomControl::MouseDown(button, shift, x, y);
    if (button != TMouseButton::mbLeft || !FEnabled)
        return;
    bool next = FOrientation == TUDOrientation::udVertical ? y < FHeight / 2 : x >= FWidth / 2;
    ArrowClick(next ? TUDBtnType::btNext : TUDBtnType::btPrev);
}

void TUpDown::Paint(TCanvas& canvas) {
    bool vertical = FOrientation == TUDOrientation::udVertical;
    TRect halves[2] = {vertical ? TRect{0, 0, FWidth, FHeight / 2} : TRect{0, 0, FWidth / 2, FHeight},
                       vertical ? TRect{0, FHeight / 2, FWidth, FHeight}
                                : TRect{FWidth / 2, 0, FWidth, FHeight}};
    for (int i = 0; i < 2; ++i) {
        TRect r = halves[i];
        Frame3D(canvas, r, cl3DLight, cl3DDkShadow, 1);
        Frame3D(canvas, r, clBtnHighlight, clBtnShadow, 1);
        canvas.Brush()->SetColor(clBtnFace);
        canvas.FillRect(r);
        int cx = (halves[i].Left + halves[i].Right) / 2, cy = (halves[i].Top + halves[i].Bottom) / 2;
        canvas.Brush()->SetColor(FEnabled ? clBtnText : clGrayText);
        canvas.Pen()->SetColor(FEnabled ? clBtnText : clGrayText);
        // Up (or left) arrow on the first half, down (or right) on the second.
        bool first = i == 0;
        if (vertical)
            canvas.Polygon(first ? std::vector<TPoint>{{cx - 2, cy + 1}, {cx + 2, cy + 1}, {cx, cy - 1}}
                                 : std::vector<TPoint>{{cx - 2, cy - 1}, {cx + 2, cy - 1}, {cx, cy + 1}});
        else
            canvas.Polygon(first ? std::vector<TPoint>{{cx + 1, cy - 2}, {cx + 1, cy + 2}, {cx - 1, cy}}
                                 : std::vector<TPoint>{{cx - 1, cy - 2}, {cx - 1, cy + 2}, {cx + 1, cy}});
    }
}

// ---------------------------------------------------------------------------------------------------
// Status bar and progress bar

KV_REGISTER_CLASS(TStatusBar, TCustomControl, b) {
    b.Prop("Align", &TControl::Align, &TControl::SetAlign).Default(TAlign::alBottom);
    ColorProps(b, clBtnFace, false);
    FontProps(b);
    b.Prop("SimplePanel", &TStatusBar::SimplePanel, &TStatusBar::SetSimplePanel).Default(false);
    b.Prop("SimpleText", &TStatusBar::SimpleText, &TStatusBar::SetSimpleText);
}

TStatusBar::TStatusBar(TComponent* owner) : TCustomControl(owner) {
    SetBounds(0, 0, 200, 19);
    SetAlign(TAlign::alBottom);
}

void TStatusBar::SetSimplePanel(bool v) {
    FSimplePanel = v;
    Invalidate();
}

void TStatusBar::SetSimpleText(const std::string& v) {
    FSimpleText = v;
    Invalidate();
}

void TStatusBar::AddPanel(int width) {
    FPanels.push_back({width, {}});
    Invalidate();
}

void TStatusBar::SetPanelText(int index, const std::string& text) {
    FPanels.at(static_cast<std::size_t>(index)).text = text;
    Invalidate();
}

const std::string& TStatusBar::PanelText(int index) const {
    return FPanels.at(static_cast<std::size_t>(index)).text;
}

void TStatusBar::Paint(TCanvas& canvas) {
    auto panel = [&](int left, int right, const std::string& text) {
        TRect r{left, 2, right, FHeight};
        Frame3D(canvas, r, clBtnShadow, clBtnHighlight, 1);
        canvas.Brush()->SetStyle(TBrushStyle::bsClear);
        TRect t{r.Left + 2, r.Top, r.Right - 1, r.Bottom};
        canvas.DrawText(text, t, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    };
    if (FSimplePanel || FPanels.empty()) {
        panel(0, FWidth, FSimpleText);
        return;
    }
    int x = 0;
    for (std::size_t i = 0; i < FPanels.size(); ++i) {
        int right = i + 1 == FPanels.size() ? FWidth : x + FPanels[i].width;
        panel(x, right - 2, FPanels[i].text);
        x = right;
    }
}

KV_REGISTER_CLASS(TProgressBar, TWinControl, b) {
    b.Prop("Max", &TProgressBar::Max, &TProgressBar::SetMax).Default(100);
    b.Prop("Min", &TProgressBar::Min, &TProgressBar::SetMin).Default(0);
    b.Prop("Orientation", &TProgressBar::Orientation, &TProgressBar::SetOrientation)
        .Default(TProgressBarOrientation::pbHorizontal);
    b.Prop("Position", &TProgressBar::Position, &TProgressBar::SetPosition).Default(0);
    b.Prop("Smooth", &TProgressBar::Smooth, &TProgressBar::SetSmooth).Default(false);
    b.Prop("Step", &TProgressBar::Step, &TProgressBar::SetStep).Default(10);
}

TProgressBar::TProgressBar(TComponent* owner) : TWinControl(owner, &NewBridge<QProgressBar>) {
    auto* p = static_cast<QProgressBar*>(FWidget);
    p->setTextVisible(false);
    SetBounds(0, 0, 150, 16);
    Apply();
}

void TProgressBar::Apply() {
    auto* p = static_cast<QProgressBar*>(FWidget);
    p->setRange(FMin, std::max(FMin, FMax));
    p->setValue(std::clamp(FPosition, FMin, std::max(FMin, FMax)));
    p->setOrientation(FOrientation == TProgressBarOrientation::pbVertical ? Qt::Vertical : Qt::Horizontal);
}

void TProgressBar::SetMin(int v) {
    FMin = v;
    Apply();
}
void TProgressBar::SetMax(int v) {
    FMax = v;
    Apply();
}
void TProgressBar::SetPosition(int v) {
    FPosition = IsLoading() ? v : std::clamp(v, FMin, std::max(FMin, FMax));
    Apply();
}
void TProgressBar::SetOrientation(TProgressBarOrientation v) {
    FOrientation = v;
    Apply();
}

} // namespace kv
