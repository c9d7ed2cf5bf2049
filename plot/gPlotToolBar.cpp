#include "plot/gPlotToolBar.h"

#include "plot/gDraw.h"
#include "plot/gPlotAxis.h"
#include "plot/gPlotManagers.h"

#include "platform/gui/Layout.h"

#include <utility>

namespace kv {

std::vector<std::string> EnumIdents(TgPlotToolBarButtonType) {
    return {"iptbbtResume",  "iptbbtPause",   "iptbbtScrollAxesMode", "iptbbtZoomAxesMode", "iptbbtSelect",
            "iptbbtZoomBox", "iptbbtZoomOut", "iptbbtZoomIn",         "iptbbtCursor",       "iptbbtEdit",
            "iptbbtCopy",    "iptbbtSave",    "iptbbtPrint",          "iptbbtPreview"};
}

std::vector<std::string> EnumIdents(TgPlotToolBarButtonStyle) {
    return {"iptbbsButton", "iptbbsSpacer"};
}


KV_REGISTER_CLASS(TgPlotToolBarButton, TgPlotButton, b) {}

KV_REGISTER_CLASS(TgPlotToolBar, TgPlotLayoutObject, b) {
    using T = TgPlotToolBar;
    b.Prop("ShowResumeButton", &T::ShowResumeButton, &T::SetShowResumeButton).Default(true);
    b.Prop("ShowPauseButton", &T::ShowPauseButton, &T::SetShowPauseButton).Default(true);
    b.Prop("ShowAxesModeButtons", &T::ShowAxesModeButtons, &T::SetShowAxesModeButtons).Default(true);
    b.Prop("ShowZoomInOutButtons", &T::ShowZoomInOutButtons, &T::SetShowZoomInOutButtons).Default(true);
    b.Prop("ShowSelectButton", &T::ShowSelectButton, &T::SetShowSelectButton).Default(false);
    b.Prop("ShowZoomBoxButton", &T::ShowZoomBoxButton, &T::SetShowZoomBoxButton).Default(true);
    b.Prop("ShowCursorButton", &T::ShowCursorButton, &T::SetShowCursorButton).Default(true);
    b.Prop("ShowEditButton", &T::ShowEditButton, &T::SetShowEditButton).Default(true);
    b.Prop("ShowCopyButton", &T::ShowCopyButton, &T::SetShowCopyButton).Default(true);
    b.Prop("ShowSaveButton", &T::ShowSaveButton, &T::SetShowSaveButton).Default(true);
    b.Prop("ShowPrintButton", &T::ShowPrintButton, &T::SetShowPrintButton).Default(true);
    b.Prop("ShowPreviewButton", &T::ShowPreviewButton, &T::SetShowPreviewButton).Default(false);
    b.Prop("ZoomInOutFactor", &T::ZoomInOutFactor, &T::SetZoomInOutFactor);
    b.Prop("FlatBorder", &T::FlatBorder, &T::SetFlatBorder).Default(false);
    b.Prop("FlatButtons", &T::FlatButtons, &T::SetFlatButtons).Default(false);
    b.Prop("SmallButtons", &T::SmallButtons, &T::SetSmallButtons).Default(false);
}

namespace {

const bool kToolBarClassRegistered = (gRegisterPlotObjectClassOf<TgPlotToolBar>("TgPlotToolBar"), true);

// The button pictures are 16-colour bitmaps whose teal pixels are see-through.
constexpr TColor kToolBarMaskColor = RGB(0, 128, 128);
// The face of a pressed button.
constexpr TColor kToolBarPressedColor = RGB(239, 239, 239);
constexpr int kToolBarSpacerWidth = 10;
constexpr int kToolBarMargin = 3;

struct ToolBarButtonInfo {
    const char* hint;
    const char* large;
    const char* small;
};

// By button type.
constexpr ToolBarButtonInfo kToolBarButtons[] = {
    {"Resume All (Tracking)", "AUTO", "SMALLAUTO"},
    {"Pause All (Tracking)", "PAUSE", "SMALLPAUSE"},
    {"Scroll (Axes)", "SCROLL", "SMALLSCROLL"},
    {"Zoom (Axes)", "ZOOM", "SMALLZOOM"},
    {"Select", "SELECT", "SMALLSELECT"},
    {"Zoom Box", "SCROLLBOX", "SMALLSCROLLBOX"},
    {"Zoom Out All Axes", "ZOOMOUT", "SMALLZOOMOUT"},
    {"Zoom In All Axes", "ZOOMIN", "SMALLZOOMIN"},
    {"Cursor", "CURSOR", "SMALLCURSOR"},
    {"Properties", "PROPERTIES", "SMALLPROPERTIES"},
    {"Copy to Clipboard", "COPY", "SMALLCOPY"},
    {"Save to File", "SAVE", "SMALLSAVE"},
    {"Print", "PRINTER", "SMALLPRINTER"},
    {"Preview", "PREVIEW", "SMALLPREVIEW"},
};

const ToolBarButtonInfo& ToolBarInfoOf(TgPlotToolBarButtonType type) {
    return kToolBarButtons[static_cast<int>(type)];
}

bool ToolBarInside(const TRect& r, int x, int y) {
    return x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom;
}

// The thin edges of flat buttons, on (Left, Top, Right - 1, Bottom - 1).
void ToolBarEdge(TCanvas& canvas, const TRect& r, TColor topLeft, TColor bottomRight) {
    const int l = r.Left, t = r.Top, rt = r.Right - 1, bt = r.Bottom - 1;
    canvas.Pen()->SetStyle(TPenStyle::psSolid);
    canvas.Pen()->SetWidth(1);
    canvas.Pen()->SetColor(topLeft);
    canvas.MoveTo(l, bt);
    canvas.LineTo(l, t);
    canvas.LineTo(rt, t);
    canvas.Pen()->SetColor(bottomRight);
    canvas.LineTo(rt, bt);
    canvas.LineTo(l, bt);
}

void ToolBarLoweredEdge(TCanvas& canvas, const TRect& r) {
    ToolBarEdge(canvas, r, clBtnShadow, clBtnHighlight);
}

void ToolBarRaisedEdge(TCanvas& canvas, const TRect& r) {
    ToolBarEdge(canvas, r, clBtnHighlight, clBtnShadow);
}

} // namespace

// ---------------------------------------------------------------------------------------------------
// TgPlotToolBarButton

TgPlotToolBarButton::TgPlotToolBarButton(TComponent* owner, TgPlotToolBar* toolBar)
    : TgPlotButton(owner), FToolBar(toolBar) {
    FStyle = toolBar ? TgPlotToolBarButtonStyle::iptbbsButton : TgPlotToolBarButtonStyle::iptbbsSpacer;
}

void TgPlotToolBarButton::SetEnabledQuietly(bool value) {
    if (value == FEnabled)
        return;
    FEnabled = value;
    if (!value)
        FMouseDown = false;
}

void TgPlotToolBarButton::Draw(TCanvas& canvas, TColor) {
    if (FStyle == TgPlotToolBarButtonStyle::iptbbsSpacer || !FImageList)
        return;
    if (FImageIndex == -1 && !FImageName.empty()) {
        // Loaded at the first drawing of an image set; a missing picture raises into the paint.
        TPngImage picture;
        picture.LoadFromBytes(ResourceBytes("plot/" + FImageName + ".png"));
        TBitmap bitmap;
        bitmap.FromImage(picture.ToImage());
        FImageIndex = FImageList->Add(bitmap, kToolBarMaskColor);
    }
    const TRect r = DrawRect();
    int x = Left() + Width() / 2 - FImageList->Width() / 2;
    int y = Top() + Height() / 2 - FImageList->Height() / 2;
    const bool pressed = FMouseDown || Down();
    canvas.Brush()->SetStyle(TBrushStyle::bsSolid);
    canvas.Brush()->SetColor(kToolBarPressedColor);
    if (FFlat) {
        if (pressed && !FMouseOver)
            canvas.FillRect(r);
        if (Enabled() && pressed) {
            ToolBarLoweredEdge(canvas, r);
            ++x;
            ++y;
        } else if (Enabled() && FMouseOver) {
            ToolBarRaisedEdge(canvas, r);
        }
    } else if (pressed) {
        canvas.FillRect(r);
        gDrawEdge(canvas, r, 0);
        ++x;
        ++y;
    } else {
        gDrawEdge(canvas, r, 1);
    }
    FImageList->Draw(canvas, x, y, FImageIndex, Enabled());
}

void TgPlotToolBarButton::gMouseMove(TgHintData& hintData, TShiftState shift, int x, int y, int screenX,
                                     int screenY, bool dblClickActive) {
    TgPlotButton::gMouseMove(hintData, shift, x, y, screenX, screenY, dblClickActive);
    // A press dragged off the button shows it pressed but not hot; releasing there does nothing.
    FMouseOver = ToolBarInside(DrawRect(), x, y);
    if (FFlat)
        DoChange();
}

void TgPlotToolBarButton::DoMouseHint(const TgPlotMouseData&, TgHintData& hintData) {
    if (FStyle == TgPlotToolBarButtonStyle::iptbbsSpacer || !FToolBar)
        return;
    std::string text = TranslateString(FHint);
    IgPlotToolBarHost* host = FToolBar->ToolBarHost();
    if (host)
        host->DoToolBarCustomizeHint(FToolBar->ToolBarIndex(), text);
    hintData.Text = text;
    hintData.Left = Left();
    hintData.Top = Bottom() + 3;
    // Measured after the handler had its say, so that a longer text still fits its box.
    if (TCanvas* canvas = host ? host->HintCanvas() : nullptr) {
        hintData.Width = gTextWidthMultiLine(*canvas, text) + 4;
        hintData.Height = gTextHeightMultiLine(*canvas, text) + 4;
    }
}

void TgPlotToolBarButton::DoMouseNotOver() {
    FMouseOver = false;
    DoChange();
}

// ---------------------------------------------------------------------------------------------------
// TgPlotToolBar

TgPlotToolBar::TgPlotToolBar(TComponent* owner, TNotifyEvent onChange, TNotifyEvent onInsert,
                             TNotifyEvent onRemove, TNotifyEvent onRename)
    : TgPlotLayoutObject(owner, std::move(onChange), std::move(onInsert), std::move(onRemove),
                         std::move(onRename)),
      FImageList(std::make_unique<TImageList>(24, 24)) {
    using B = TgPlotToolBarButtonType;
    FHorizontal = true;
    FZoomInOutFactor = 2;
    FResumeButton = AddButton(B::iptbbtResume, 0, &TgPlotToolBar::DoButtonClickResume);
    FPauseButton = AddButton(B::iptbbtPause, 0, &TgPlotToolBar::DoButtonClickPause);
    FResumePauseSpacer = AddSpacer();
    FAxesModeScrollButton =
        AddButton(B::iptbbtScrollAxesMode, 2, &TgPlotToolBar::DoButtonClickScrollAxesMode);
    FAxesModeScrollButton->SetDown(true);
    FAxesModeZoomButton = AddButton(B::iptbbtZoomAxesMode, 2, &TgPlotToolBar::DoButtonClickZoomAxesMode);
    FAxesModeSpacer = AddSpacer();
    FZoomOutButton = AddButton(B::iptbbtZoomOut, 0, &TgPlotToolBar::DoButtonClickZoomOut);
    FZoomInButton = AddButton(B::iptbbtZoomIn, 0, &TgPlotToolBar::DoButtonClickZoomIn);
    FZoomInOutSpacer = AddSpacer();
    FSelectButton = AddButton(B::iptbbtSelect, -1, &TgPlotToolBar::DoButtonClickSelect);
    FZoomBoxButton = AddButton(B::iptbbtZoomBox, -1, &TgPlotToolBar::DoButtonClickZoomBox);
    FCursorButton = AddButton(B::iptbbtCursor, -2, &TgPlotToolBar::DoButtonClickCursor);
    FZoomBoxCursorSpacer = AddSpacer();
    FEditButton = AddButton(B::iptbbtEdit, 0, &TgPlotToolBar::DoButtonClickEdit);
    FEditSpacer = AddSpacer();
    FCopyButton = AddButton(B::iptbbtCopy, 0, &TgPlotToolBar::DoButtonClickCopy);
    FSaveButton = AddButton(B::iptbbtSave, 0, &TgPlotToolBar::DoButtonClickSave);
    FPrintButton = AddButton(B::iptbbtPrint, 0, &TgPlotToolBar::DoButtonClickPrint);
    FPreviewButton = AddButton(B::iptbbtPreview, 0, &TgPlotToolBar::DoButtonClickPreview);

    FCursorButton->OnDownChange = [this](TObject*) { CursorDownChange(); };
    FZoomBoxButton->OnDownChange = [](TObject*) {};
    FSelectButton->OnDownChange = [this](TObject*) { SelectDownChange(); };
    FSelectButton->SetVisible(false);
    FPreviewButton->SetVisible(false);
    SelectImages(false);
    // Only now: the constructor's own settings are no change for the plot to hear of.
    for (auto& button : FButtonList)
        if (button->FToolBar)
            button->OnChange = [this](TObject*) { DoChange(); };
}

TgPlotToolBar::~TgPlotToolBar() {
    NotifyRemove();
    // One notice of the toolbar's going is enough: the buttons leave quietly.
    for (auto& button : FButtonList)
        button->OnChange = nullptr;
    FButtonList.clear();
    FImageList.reset();
}

TgPlotToolBarButton* TgPlotToolBar::AddButton(TgPlotToolBarButtonType type, int groupIndex,
                                              void (TgPlotToolBar::*click)()) {
    auto button = std::make_unique<TgPlotToolBarButton>(FOwner, this);
    button->OnInvalidate = [this](TObject*) { DoInvalidateNow(); };
    button->OnClick = [this, click](TObject*) { (this->*click)(); };
    button->OnGroupClick = [this](TObject* sender) { GroupClick(static_cast<TgPlotToolBarButton*>(sender)); };
    button->FType = type;
    button->FHint = ToolBarInfoOf(type).hint;
    button->SetGroupIndex(groupIndex);
    button->FImageList = FImageList.get();
    button->FImageIndex = -1;
    button->FImageName = ToolBarInfoOf(type).large;
    FButtonList.push_back(std::move(button));
    return FButtonList.back().get();
}

TgPlotToolBarButton* TgPlotToolBar::AddSpacer() {
    FButtonList.push_back(std::make_unique<TgPlotToolBarButton>(FOwner, nullptr));
    return FButtonList.back().get();
}

TgPlotToolBarButton* TgPlotToolBar::Button(int index) const {
    if (index < 0 || index >= ButtonCount())
        throw EKvError("List index out of bounds (" + std::to_string(index) + ")");
    return FButtonList[static_cast<std::size_t>(index)].get();
}

TgPlotToolBarButton* TgPlotToolBar::ButtonOf(TgPlotToolBarButtonType type) const {
    for (const auto& button : FButtonList)
        if (button->FToolBar && button->FType == type)
            return button.get();
    return nullptr;
}

void TgPlotToolBar::SelectImages(bool small) {
    for (auto& button : FButtonList)
        if (button->FToolBar) {
            const ToolBarButtonInfo& info = ToolBarInfoOf(button->FType);
            button->FImageName = small ? info.small : info.large;
        }
    FImageList->Clear();
    FImageList->SetSize(small ? 16 : 24, small ? 16 : 24);
    for (auto& button : FButtonList)
        button->FImageIndex = -1;
}

IgPlotToolBarHost* TgPlotToolBar::ToolBarHost() const {
    return dynamic_cast<IgPlotToolBarHost*>(FOwner);
}

int TgPlotToolBar::ToolBarIndex() const {
    IgPlotToolBarHost* host = ToolBarHost();
    return host ? host->GetToolBarIndex(this) : -1;
}

// ---------------------------------------------------------------------------------------------------
// Properties

void TgPlotToolBar::SetShowAxesModeButtons(bool value) {
    FAxesModeScrollButton->SetVisible(value);
    FAxesModeZoomButton->SetVisible(value);
}

void TgPlotToolBar::SetShowZoomInOutButtons(bool value) {
    FZoomInButton->SetVisible(value);
    FZoomOutButton->SetVisible(value);
}

void TgPlotToolBar::SetZoomInOutFactor(double value) {
    SetDoubleProperty(value >= 1 ? value : 1, FZoomInOutFactor, &TgPlotObject::DoChange);
}

void TgPlotToolBar::SetFlatButtons(bool value) {
    if (value == FFlatButtons)
        return;
    FFlatButtons = value;
    for (auto& button : FButtonList)
        button->FFlat = value;
    DoChange();
}

void TgPlotToolBar::SetSmallButtons(bool value) {
    if (value == FSmallButtons)
        return;
    FSmallButtons = value;
    SelectImages(value);
    DoChange();
}

bool TgPlotToolBar::GetSelectActive() const {
    return FSelectButton->Down();
}

bool TgPlotToolBar::ZoomBoxActive() const {
    return FZoomBoxButton->Down();
}

bool TgPlotToolBar::CursorActive() const {
    return FCursorButton->Down();
}

void TgPlotToolBar::TurnOffCursor() {
    FCursorButton->SetDown(false);
}

// ---------------------------------------------------------------------------------------------------
// Clicks

void TgPlotToolBar::GroupClick(TgPlotToolBarButton* sender) {
    // Carried out by the click that follows at once, and only when its command is not refused.
    FPendingGroupClick = sender;
}

bool TgPlotToolBar::BeforeClick(TgPlotToolBarButtonType type) {
    TgPlotToolBarButton* group = std::exchange(FPendingGroupClick, nullptr);
    bool cancel = false;
    if (IgPlotToolBarHost* host = ToolBarHost())
        host->DoBeforeToolBarButtonClick(ToolBarIndex(), type, cancel);
    if (cancel)
        return false;
    if (group)
        for (auto& button : FButtonList)
            if (button.get() != group && button->GroupIndex() == group->GroupIndex())
                button->SetDown(false);
    return true;
}

void TgPlotToolBar::AfterClick(TgPlotToolBarButtonType type) {
    if (IgPlotToolBarHost* host = ToolBarHost())
        host->DoToolBarButtonClick(ToolBarIndex(), type);
}

void TgPlotToolBar::DoButtonClickResume() {
    if (!BeforeClick(TgPlotToolBarButtonType::iptbbtResume))
        return;
    if (FCursorButton->Down())
        DoButtonClickCursor();
    if (FSelectButton->Down())
        DoButtonClickSelect();
    if (IgPlotToolBarHost* host = ToolBarHost()) {
        host->ClearAllUserSelections();
        host->EnableAllTracking();
    }
    AfterClick(TgPlotToolBarButtonType::iptbbtResume);
}

void TgPlotToolBar::DoButtonClickPause() {
    if (!BeforeClick(TgPlotToolBarButtonType::iptbbtPause))
        return;
    if (IgPlotToolBarHost* host = ToolBarHost())
        host->DisableAllTracking();
    AfterClick(TgPlotToolBarButtonType::iptbbtPause);
}

void TgPlotToolBar::SetAllAxesMode(TgPlotAxisMode mode) {
    IgPlotToolBarHost* host = ToolBarHost();
    if (!host)
        return;
    for (int i = 0; i < host->XAxisCount(); ++i)
        host->GetXAxis(i)->SetMode(mode);
    for (int i = 0; i < host->YAxisCount(); ++i)
        host->GetYAxis(i)->SetMode(mode);
}

void TgPlotToolBar::DoButtonClickScrollAxesMode() {
    if (!BeforeClick(TgPlotToolBarButtonType::iptbbtScrollAxesMode))
        return;
    FAxesModeScrollButton->SetDown(true);
    FAxesModeZoomButton->SetDown(false);
    SetAllAxesMode(TgPlotAxisMode::ipamScroll);
    AfterClick(TgPlotToolBarButtonType::iptbbtScrollAxesMode);
}

void TgPlotToolBar::DoButtonClickZoomAxesMode() {
    if (!BeforeClick(TgPlotToolBarButtonType::iptbbtZoomAxesMode))
        return;
    FAxesModeZoomButton->SetDown(true);
    FAxesModeScrollButton->SetDown(false);
    SetAllAxesMode(TgPlotAxisMode::ipamZoom);
    AfterClick(TgPlotToolBarButtonType::iptbbtZoomAxesMode);
}

void TgPlotToolBar::ZoomAllAxes(bool in) {
    IgPlotToolBarHost* host = ToolBarHost();
    if (!host)
        return;
    auto zoom = [&](TgPlotAxis* axis) {
        if (axis->ScaleType() == TgPlotScaleType::ipstLog10)
            axis->Zoom(in ? -1 : 1);
        else
            axis->Zoom(in ? 1 / FZoomInOutFactor : FZoomInOutFactor);
    };
    for (int i = 0; i < host->XAxisCount(); ++i)
        zoom(host->GetXAxis(i));
    for (int i = 0; i < host->YAxisCount(); ++i)
        zoom(host->GetYAxis(i));
}

void TgPlotToolBar::DoButtonClickZoomOut() {
    if (!BeforeClick(TgPlotToolBarButtonType::iptbbtZoomOut))
        return;
    DoButtonClickPause();
    ZoomAllAxes(false);
    AfterClick(TgPlotToolBarButtonType::iptbbtZoomOut);
}

void TgPlotToolBar::DoButtonClickZoomIn() {
    if (!BeforeClick(TgPlotToolBarButtonType::iptbbtZoomIn))
        return;
    DoButtonClickPause();
    ZoomAllAxes(true);
    AfterClick(TgPlotToolBarButtonType::iptbbtZoomIn);
}

void TgPlotToolBar::DoButtonClickSelect() {
    if (!BeforeClick(TgPlotToolBarButtonType::iptbbtSelect))
        return;
    FSelectButton->SetDown(!FSelectButton->Down());
    FZoomBoxButton->SetDown(false);
    AfterClick(TgPlotToolBarButtonType::iptbbtSelect);
}

void TgPlotToolBar::DoButtonClickZoomBox() {
    if (!BeforeClick(TgPlotToolBarButtonType::iptbbtZoomBox))
        return;
    FSelectButton->SetDown(false);
    FZoomBoxButton->SetDown(!FZoomBoxButton->Down());
    AfterClick(TgPlotToolBarButtonType::iptbbtZoomBox);
}

void TgPlotToolBar::DoButtonClickCursor() {
    if (!BeforeClick(TgPlotToolBarButtonType::iptbbtCursor))
        return;
    FCursorButton->SetDown(!FCursorButton->Down());
    AfterClick(TgPlotToolBarButtonType::iptbbtCursor);
}

void TgPlotToolBar::DoButtonClickEdit() {
    if (!BeforeClick(TgPlotToolBarButtonType::iptbbtEdit))
        return;
    // The editor may be modal: nothing follows it, not even the after-click event.
    if (IgPlotToolBarHost* host = ToolBarHost())
        host->EditProperties();
}

void TgPlotToolBar::DoButtonClickCopy() {
    if (!BeforeClick(TgPlotToolBarButtonType::iptbbtCopy))
        return;
    if (IgPlotToolBarHost* host = ToolBarHost())
        host->CopyToClipBoard();
    AfterClick(TgPlotToolBarButtonType::iptbbtCopy);
}

void TgPlotToolBar::DoButtonClickSave() {
    if (!BeforeClick(TgPlotToolBarButtonType::iptbbtSave))
        return;
    if (IgPlotToolBarHost* host = ToolBarHost())
        host->Save();
    AfterClick(TgPlotToolBarButtonType::iptbbtSave);
}

void TgPlotToolBar::DoButtonClickPrint() {
    if (!BeforeClick(TgPlotToolBarButtonType::iptbbtPrint))
        return;
    if (IgPlotToolBarHost* host = ToolBarHost())
        host->PrintChart();
    AfterClick(TgPlotToolBarButtonType::iptbbtPrint);
}

void TgPlotToolBar::DoButtonClickPreview() {
    if (!BeforeClick(TgPlotToolBarButtonType::iptbbtPreview))
        return;
    if (IgPlotToolBarHost* host = ToolBarHost())
        host->PreviewChart();
    AfterClick(TgPlotToolBarButtonType::iptbbtPreview);
}

void TgPlotToolBar::CursorDownChange() {
    IgPlotToolBarHost* host = ToolBarHost();
    if (!host)
        return;
    const bool down = FCursorButton->Down();
    for (int i = 0; i < host->DataCursorCount(); ++i)
        host->GetDataCursor(i)->SetVisible(down);
    if (!down)
        return;
    host->DisableAllTracking();
    if (host->DataCursorCount() > 0)
        host->GetDataCursor(0)->SetUserSelected(true);
}

void TgPlotToolBar::SelectDownChange() {
    IgPlotToolBarHost* host = ToolBarHost();
    if (!host)
        return;
    if (FSelectButton->Down())
        host->DisableAllTracking();
    host->SyncSelectMode(FSelectButton->Down());
}

// ---------------------------------------------------------------------------------------------------
// Drawing and mouse

void TgPlotToolBar::UpdateEnabledStates() {
    bool anyPaused = false, anyTracking = false;
    if (IgPlotToolBarHost* host = ToolBarHost()) {
        auto look = [&](TgPlotAxis* axis) {
            if (axis->TrackingEnabled())
                anyTracking = true;
            else
                anyPaused = true;
        };
        for (int i = 0; i < host->XAxisCount(); ++i)
            look(host->GetXAxis(i));
        for (int i = 0; i < host->YAxisCount(); ++i)
            look(host->GetYAxis(i));
    }
    FResumeButton->SetEnabledQuietly(anyPaused);
    FPauseButton->SetEnabledQuietly(anyTracking);
}

int TgPlotToolBar::GetRequiredWidth(TCanvas&) {
    return FSmallButtons ? 28 : 36;
}

void TgPlotToolBar::Draw(TCanvas& canvas, TColor backGroundColor) {
    if (!Visible())
        return;
    const int size = FSmallButtons ? 22 : 30;
    FResumePauseSpacer->SetVisible(FResumeButton->Visible() || FPauseButton->Visible());
    FAxesModeSpacer->SetVisible(FAxesModeScrollButton->Visible() || FAxesModeZoomButton->Visible());
    FZoomInOutSpacer->SetVisible(FZoomOutButton->Visible() || FZoomInButton->Visible());
    FZoomBoxCursorSpacer->SetVisible(FZoomBoxButton->Visible() || FCursorButton->Visible());
    FEditSpacer->SetVisible(FEditButton->Visible());
    UpdateEnabledStates();

    canvas.Brush()->SetStyle(TBrushStyle::bsSolid);
    canvas.Brush()->SetColor(clBtnFace);
    canvas.FillRect({FLeft, FTop, FRight + 1, FBottom});
    if (!FFlatBorder)
        gDrawEdge(canvas, DrawRect(), 1);

    int x = FLeft + kToolBarMargin;
    const int top = FTop + kToolBarMargin;
    for (auto& button : FButtonList) {
        if (!button->Visible())
            continue;
        const int width = button->FToolBar ? size : kToolBarSpacerWidth;
        button->SetDrawRect({x, top, x + width, top + size});
        button->Draw(canvas, backGroundColor);
        x += width;
    }
}

TgPlotObject* TgPlotToolBar::GetMouseOverObject(int x, int y) {
    TgPlotObject* result = TgPlotLayoutObject::GetMouseOverObject(x, y);
    for (auto& button : FButtonList)
        if (button->Visible() && ToolBarInside(button->DrawRect(), x, y)) {
            FMouseOverObject = button.get();
            return button.get();
        }
    return result;
}

void TgPlotToolBar::NotificationFocusChange(TObject* sender) {
    TgPlotLayoutObject::NotificationFocusChange(sender);
    YieldSelectionTo(sender);
}

void TgPlotToolBar::BuildPopupMenu(TPopupMenu* popupMenu) {
    TgPlotLayoutObject::BuildPopupMenu(popupMenu);
    AddEditMenuItem(popupMenu);
}

} // namespace kv
