#include "platform/gui/Forms.h"

#include "platform/gui/Dialogs.h"
#include "platform/gui/Layout.h"
#include "platform/gui/Menus.h"
#include "platform/gui/StdCtrls.h"
#include "platform/gui/WidgetBridge.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFont>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPalette>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyleFactory>

#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>

#include <clocale>
#include <cstdlib>

#include <dlfcn.h>

namespace kv {

std::vector<std::string> EnumIdents(TCloseAction) {
    return {"caNone", "caHide", "caFree", "caMinimize"};
}
std::vector<std::string> EnumIdents(TFormBorderStyle) {
    return {"bsNone", "bsSingle", "bsSizeable", "bsDialog", "bsToolWindow", "bsSizeToolWin"};
}
std::vector<std::string> EnumIdents(TBorderIcon) {
    return {"biSystemMenu", "biMinimize", "biMaximize", "biHelp"};
}
std::vector<std::string> EnumIdents(TFormStyle) {
    return {"fsNormal", "fsMDIChild", "fsMDIForm", "fsStayOnTop"};
}
std::vector<std::string> EnumIdents(TPosition) {
    return {"poDesigned",     "poDefault",       "poDefaultPosOnly", "poDefaultSizeOnly",
            "poScreenCenter", "poDesktopCenter", "poMainFormCenter", "poOwnerFormCenter"};
}
std::vector<std::string> EnumIdents(TWindowState) {
    return {"wsNormal", "wsMinimized", "wsMaximized"};
}

// ---------------------------------------------------------------------------------------------------
// The window manager's hints

std::optional<TMotifWmHints> MotifHintsOverride(Qt::WindowFlags flags) {
    constexpr std::uint32_t kFunctions = 1, kDecorations = 2;
    constexpr std::uint32_t kFuncResize = 2, kFuncMove = 4;
    constexpr std::uint32_t kDecorBorder = 2, kDecorResizeH = 4, kDecorTitle = 8;
    const auto type = static_cast<Qt::WindowType>(flags.toInt() & Qt::WindowType_Mask);
    if (type == Qt::SplashScreen || type == Qt::Popup || type == Qt::ToolTip ||
        flags.testFlag(Qt::FramelessWindowHint) || !flags.testFlag(Qt::CustomizeWindowHint) ||
        !flags.testFlag(Qt::WindowTitleHint))
        return std::nullopt;
    if (flags & (Qt::WindowCloseButtonHint | Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint |
                 Qt::WindowSystemMenuHint))
        return std::nullopt;
    TMotifWmHints h;
    h.flags = kFunctions | kDecorations;
    h.functions = kFuncMove | kFuncResize;
    h.decorations = kDecorBorder | kDecorResizeH | kDecorTitle;
    return h;
}

namespace {

// Writes _MOTIF_WM_HINTS on an X11 window through the xcb library Qt's X11 platform already loaded;
// the window manager reads them when the window is mapped.
void SetX11MotifHints(QWidget* w, const TMotifWmHints& hints) {
#if QT_CONFIG(xcb)
    auto* x11 = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || !x11->connection())
        return;
    struct Cookie {
        unsigned int sequence;
    };
    struct AtomReply {
        std::uint8_t responseType, pad0;
        std::uint16_t sequence;
        std::uint32_t length, atom;
    };
    using InternAtom = Cookie (*)(xcb_connection_t*, std::uint8_t, std::uint16_t, const char*);
    using InternAtomReply = AtomReply* (*)(xcb_connection_t*, Cookie, void**);
    using ChangeProperty = Cookie (*)(xcb_connection_t*, std::uint8_t, std::uint32_t, std::uint32_t,
                                      std::uint32_t, std::uint8_t, std::uint32_t, const void*);
    using Flush = int (*)(xcb_connection_t*);
    static void* lib = dlopen("libxcb.so.1", RTLD_LAZY | RTLD_NOLOAD);
    if (!lib)
        return;
    static auto intern = reinterpret_cast<InternAtom>(dlsym(lib, "xcb_intern_atom"));
    static auto internReply = reinterpret_cast<InternAtomReply>(dlsym(lib, "xcb_intern_atom_reply"));
    static auto change = reinterpret_cast<ChangeProperty>(dlsym(lib, "xcb_change_property"));
    static auto flush = reinterpret_cast<Flush>(dlsym(lib, "xcb_flush"));
    if (!intern || !internReply || !change || !flush)
        return;
    xcb_connection_t* c = x11->connection();
    static const char kName[] = "_MOTIF_WM_HINTS";
    AtomReply* reply = internReply(c, intern(c, 0, sizeof kName - 1, kName), nullptr);
    if (!reply)
        return;
    const std::uint32_t atom = reply->atom;
    std::free(reply);
    constexpr std::uint8_t kReplace = 0;
    const std::uint32_t data[5] = {hints.flags, hints.functions, hints.decorations,
                                   static_cast<std::uint32_t>(hints.inputMode), hints.status};
    change(c, kReplace, static_cast<std::uint32_t>(w->winId()), atom, atom, 32, 5, data);
    flush(c);
#else
    (void)w;
    (void)hints;
#endif
}

} // namespace

// The form's top-level window: a close request goes through the form's close path (CloseRequest)
// instead of Qt closing the window itself.
class TFormWindow : public TBridge<QWidget> {
public:
    explicit TFormWindow(TControl* c) : TBridge<QWidget>(c) {}

protected:
    // Qt has written its own hints when it made the native window; the show event comes after that
    // and before the window is mapped.
    bool event(QEvent* e) override {
        if (e->type() == QEvent::Show && QGuiApplication::platformName() == QLatin1String("xcb"))
            if (auto hints = MotifHintsOverride(windowFlags()))
                SetX11MotifHints(this, *hints);
        return TBridge<QWidget>::event(e);
    }
    // The form's OnActivate and OnDeactivate follow the window's activation.
    void changeEvent(QEvent* e) override {
        TBridge<QWidget>::changeEvent(e);
        if (e->type() != QEvent::ActivationChange)
            return;
        Guarded([this] {
            auto* f = dynamic_cast<TCustomForm*>(TControl::FromWidget(this));
            if (!f)
                return;
            const TNotifyEvent& handler = isActiveWindow() ? f->OnActivate : f->OnDeactivate;
            if (handler)
                handler(f);
        });
    }
    void closeEvent(QCloseEvent* e) override {
        e->ignore();
        Guarded([this] {
            if (auto* f = dynamic_cast<TCustomForm*>(TControl::FromWidget(this)))
                f->CloseRequest();
        });
    }
};

namespace {
QWidget* NewFormWindow(TControl* c) {
    return new TFormWindow(c);
}
} // namespace

KV_REGISTER_CLASS(TCustomForm, TWinControl, b) {
    // A form stores its client size; its outer size follows from the frame.
    b.Prop("Width", &TControl::Width, &TControl::SetWidth).Stored([](const TCustomForm&) { return false; });
    b.Prop("Height", &TControl::Height, &TControl::SetHeight).Stored([](const TCustomForm&) {
        return false;
    });
    b.Prop("AutoScroll", &TCustomForm::AutoScroll, &TCustomForm::SetAutoScroll).Default(false);
    b.Prop("BorderIcons", &TCustomForm::BorderIcons, &TCustomForm::SetBorderIcons)
        .Default(TBorderIcons{TBorderIcon::biSystemMenu, TBorderIcon::biMinimize, TBorderIcon::biMaximize});
    b.Prop("BorderStyle", &TCustomForm::BorderStyle, &TCustomForm::SetBorderStyle)
        .Default(TFormBorderStyle::bsSizeable);
    b.Prop("Caption", &TControl::Caption, &TControl::SetCaption);
    b.Prop("ClientHeight", &TCustomForm::ClientHeight, &TControl::SetClientHeight);
    b.Prop("ClientWidth", &TCustomForm::ClientWidth, &TControl::SetClientWidth);
    b.Prop("Color", &TControl::Color, &TControl::SetColor).Default(clBtnFace).Idents(ColorIdents(), "TColor");
    b.Prop("Font", &TControl::Font, &TControl::SetFont);
    b.Prop("FormStyle", &TCustomForm::FormStyle, &TCustomForm::SetFormStyle).Default(TFormStyle::fsNormal);
    b.Prop("KeyPreview", &TCustomForm::KeyPreview, &TCustomForm::SetKeyPreview).Default(false);
    b.Ref("Menu", &TCustomForm::Menu, &TCustomForm::SetMenu);
    b.Prop("Position", &TCustomForm::Position, &TCustomForm::SetPosition)
        .Default(TPosition::poDefaultPosOnly);
    b.Prop("Visible", &TControl::Visible, &TControl::SetVisible).Default(false);
    b.Prop("WindowState", &TCustomForm::WindowState, &TCustomForm::SetWindowState)
        .Default(TWindowState::wsNormal);
    b.Event("OnActivate", &TCustomForm::OnActivate);
    b.Event("OnClose", &TCustomForm::OnClose);
    b.Event("OnCloseQuery", &TCustomForm::OnCloseQuery);
    b.Event("OnCreate", &TCustomForm::OnCreate);
    b.Event("OnDeactivate", &TCustomForm::OnDeactivate);
    b.Event("OnDestroy", &TCustomForm::OnDestroy);
    b.Event("OnHide", &TCustomForm::OnHide);
    b.Event("OnPaint", &TCustomForm::OnPaint);
    b.Event("OnResize", &TControl::OnResize);
    b.Event("OnShow", &TCustomForm::OnShow);
}

KV_REGISTER_CLASS(TForm, TCustomForm, b) {}

TCustomForm::TCustomForm(TComponent* owner)
    : TWinControl(owner, &NewFormWindow), FClient(new QWidget(FWidget)) {
    FVisible = false;
    FWidget->setWindowFlag(Qt::Window, true);
    FWidget->setAttribute(Qt::WA_QuitOnClose, false);
    FClient->setAutoFillBackground(true);
    FClient->show();
    FFont->SetName("Tahoma");
    FFont->SetHeight(-11);
    FParentFont = false;
    SetBounds(0, 0, 320, 240);
    ColorChanged();
    ApplyWindowFlags();
}

TCustomForm::~TCustomForm() {
    Destroying();
    if (FCreated && OnDestroy) {
        try {
            OnDestroy(this);
        } catch (const std::exception& e) {
            Application->HandleException(&e);
        }
    }
}

void TCustomForm::InitializeForm() {
    {
        const std::string text = LayoutResourceText(UpperCase(ClassName()));
        if (!text.empty())
            LoadLayoutText(text);
    }
    FCreated = true;
    if (OnCreate)
        OnCreate(this);
    // Pictures decoded only to be converted or measured go now, not with the process.
    ReleaseUnsharedDecodings();
}

std::vector<std::string> TCustomForm::LoadLayoutText(const std::string& text) {
    auto errors = ReadLayout(text, *this);
    FLayoutErrors.insert(FLayoutErrors.end(), errors.begin(), errors.end());
    return errors;
}

QWidget* TCustomForm::ChildHost() const {
    return FClient;
}

int TCustomForm::FrameWidth() const {
    switch (FBorderStyle) {
    case TFormBorderStyle::bsNone:
        return 0;
    case TFormBorderStyle::bsSizeable:
    case TFormBorderStyle::bsSizeToolWin:
        return kSizeableFrame;
    default:
        return kDialogFrame;
    }
}

int TCustomForm::NonClientTop() const {
    int top = FrameWidth();
    if (FBorderStyle != TFormBorderStyle::bsNone)
        top += kCaptionHeight;
    return top;
}

int TCustomForm::ClientWidth() const {
    return std::max(0, FWidth - 2 * FrameWidth());
}

int TCustomForm::ClientHeight() const {
    return std::max(0, FHeight - NonClientTop() - FrameWidth() - (FMenuBar ? kMenuHeight : 0));
}

void TCustomForm::ApplyGeometry() {
    int menu = FMenuBar ? kMenuHeight : 0;
    int w = ClientWidth(), h = ClientHeight() + menu;
    FWidget->setGeometry(FLeft + FrameWidth(), FTop + NonClientTop(), std::max(1, w), std::max(1, h));
    if (FMenuBar)
        FMenuBar->setGeometry(0, 0, w, menu);
    if (FScrollArea) {
        FScrollArea->setGeometry(0, menu, w, ClientHeight());
        UpdateScrollRange();
    } else {
        FClient->setGeometry(0, menu, w, ClientHeight());
    }
}

void TCustomForm::SetAutoScroll(bool v) {
    if (v == FAutoScroll)
        return;
    FAutoScroll = v;
    if (v && !FScrollArea) {
        FScrollArea = new QScrollArea(FWidget);
        FScrollArea->setFrameShape(QFrame::NoFrame);
        FScrollArea->setWidgetResizable(false);
        FScrollArea->setWidget(FClient);
        FScrollArea->show();
    }
    if (FScrollArea) {
        const auto policy = v ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff;
        FScrollArea->setHorizontalScrollBarPolicy(policy);
        FScrollArea->setVerticalScrollBarPolicy(policy);
    }
    ApplyGeometry();
}

TPoint TCustomForm::ScrollRange() const {
    int w = ClientWidth(), h = ClientHeight();
    if (FAutoScroll) {
        for (int i = 0; i < ControlCount(); ++i) {
            const TControl* c = Controls(i);
            if (!c->Visible())
                continue;
            w = std::max(w, c->Left() + c->Width());
            h = std::max(h, c->Top() + c->Height());
        }
    }
    return {w, h};
}

void TCustomForm::UpdateScrollRange() {
    if (!FScrollArea)
        return;
    const TPoint range = ScrollRange();
    // Without AutoScroll the range is the viewport itself, which scrolls the client back to its origin.
    FClient->resize(range.X, range.Y);
}

void TCustomForm::WindowResized(int clientWidth, int clientHeight) {
    int menu = FMenuBar ? kMenuHeight : 0;
    int w = clientWidth + 2 * FrameWidth();
    int h = clientHeight - menu + NonClientTop() + FrameWidth() + menu;
    if (w != FWidth || h != FHeight)
        SetBounds(FLeft, FTop, w, h);
}

void TCustomForm::ApplyWindowFlags() {
    Qt::WindowFlags f = Qt::Window;
    if (FBorderStyle == TFormBorderStyle::bsNone)
        f |= Qt::FramelessWindowHint;
    else {
        f |= Qt::CustomizeWindowHint | Qt::WindowTitleHint;
        if (FBorderIcons.Contains(TBorderIcon::biSystemMenu))
            f |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
        bool sizeable = FBorderStyle == TFormBorderStyle::bsSizeable;
        if (sizeable && FBorderIcons.Contains(TBorderIcon::biMinimize))
            f |= Qt::WindowMinimizeButtonHint;
        if (sizeable && FBorderIcons.Contains(TBorderIcon::biMaximize))
            f |= Qt::WindowMaximizeButtonHint;
        if (FBorderIcons.Contains(TBorderIcon::biHelp))
            f |= Qt::WindowContextHelpButtonHint;
        if (FBorderStyle == TFormBorderStyle::bsToolWindow || FBorderStyle == TFormBorderStyle::bsSizeToolWin)
            f |= Qt::Tool;
        if (FBorderStyle == TFormBorderStyle::bsDialog)
            f |= Qt::Dialog;
    }
    if (FFormStyle == TFormStyle::fsStayOnTop)
        f |= Qt::WindowStaysOnTopHint;
    bool shown = FWidget->isVisible();
    FWidget->setWindowFlags(f);
    if (shown)
        FWidget->show();
}

void TCustomForm::SetBorderStyle(TFormBorderStyle v) {
    if (v == FBorderStyle)
        return;
    int cw = ClientWidth(), ch = ClientHeight();
    FBorderStyle = v;
    ApplyWindowFlags();
    // The client area keeps its size, as with the old framework.
    SetBounds(FLeft, FTop, cw + 2 * FrameWidth(),
              ch + NonClientTop() + FrameWidth() + (FMenuBar ? kMenuHeight : 0));
    ApplyGeometry();
}

void TCustomForm::SetBorderIcons(TBorderIcons v) {
    FBorderIcons = v;
    ApplyWindowFlags();
}

void TCustomForm::SetFormStyle(TFormStyle v) {
    FFormStyle = v;
    ApplyWindowFlags();
}

void TCustomForm::SetWindowState(TWindowState v) {
    FWindowState = v;
    if (!FWidget->isVisible())
        return;
    if (v == TWindowState::wsMinimized)
        FWidget->showMinimized();
    else if (v == TWindowState::wsMaximized)
        FWidget->showMaximized();
    else
        FWidget->showNormal();
}

void TCustomForm::SetMenu(TMainMenu* m) {
    if (m == FMenu)
        return;
    int ch = ClientHeight();
    FMenu = m;
    if (m)
        m->FreeNotification(this);
    MenuChanged();
    SetBounds(FLeft, FTop, FWidth, ch + NonClientTop() + FrameWidth() + (FMenuBar ? kMenuHeight : 0));
    ApplyGeometry();
}

void TCustomForm::MenuChanged() {
    if (FMenu && !FMenuBar) {
        FMenuBar = new QMenuBar(FWidget);
        FMenuBar->setNativeMenuBar(false);
        FMenuBar->show();
    } else if (!FMenu && FMenuBar) {
        delete FMenuBar;
        FMenuBar = nullptr;
    }
    if (FMenuBar) {
        // The bar's drop-down menus are its children and outlive clear(); left, every rebuild would
        // add a set. Deleted later, as the change may come from a handler of one of their actions.
        for (QAction* a : FMenuBar->actions())
            if (QMenu* m = a->menu<QMenu*>())
                m->deleteLater();
        FMenuBar->clear();
        FMenu->FillMenuBar(FMenuBar);
        FMenuBar->setFont(FFont->ToQFont());
    }
}

void TCustomForm::Notification(TComponent* component, TOperation operation) {
    TWinControl::Notification(component, operation);
    if (operation == TOperation::opRemove && component == FMenu) {
        FMenu = nullptr;
        MenuChanged();
        ApplyGeometry();
    }
}

void TCustomForm::TextChanged() {
    FWidget->setWindowTitle(QString::fromStdString(FText));
}

void TCustomForm::ColorChanged() {
    TWinControl::ColorChanged();
    QPalette pal = FClient->palette();
    pal.setColor(QPalette::Window, QColor::fromRgb(ToQRgb(FColor)));
    FClient->setPalette(pal);
}

TWinControl* TCustomForm::ActiveControl() const {
    QWidget* w = FWidget->focusWidget();
    return dynamic_cast<TWinControl*>(TControl::FromWidget(w));
}

void TCustomForm::SetActiveControl(TWinControl* c) {
    if (c && c->CanFocus())
        c->Widget()->setFocus(Qt::OtherFocusReason);
}

void TCustomForm::BringToFront() {
    FWidget->raise();
    FWidget->activateWindow();
}

void TCustomForm::PlaceOnShow() {
    if (FShownOnce)
        return;
    FShownOnce = true;
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect s = screen->geometry();
    TCustomForm* main = Application ? Application->MainForm() : nullptr;
    switch (FPosition) {
    case TPosition::poScreenCenter:
    case TPosition::poDesktopCenter:
        SetBounds(s.x() + (s.width() - FWidth) / 2, s.y() + (s.height() - FHeight) / 2, FWidth, FHeight);
        break;
    case TPosition::poMainFormCenter:
    case TPosition::poOwnerFormCenter: {
        auto* ref = dynamic_cast<TCustomForm*>(FPosition == TPosition::poOwnerFormCenter ? Owner() : main);
        if (!ref || ref == this)
            ref = main && main != this ? main : nullptr;
        if (ref)
            SetBounds(ref->Left() + (ref->Width() - FWidth) / 2, ref->Top() + (ref->Height() - FHeight) / 2,
                      FWidth, FHeight);
        else
            SetBounds(s.x() + (s.width() - FWidth) / 2, s.y() + (s.height() - FHeight) / 2, FWidth, FHeight);
        break;
    }
    default:
        break;
    }
}

void TCustomForm::SetVisible(bool v) {
    if (v == FVisible && v == FWidget->isVisible())
        return;
    FVisible = v;
    if (v) {
        PlaceOnShow();
        ApplyGeometry();
        FWidget->show();
        if (FWindowState != TWindowState::wsNormal)
            SetWindowState(FWindowState);
        DoShow();
    } else {
        FWidget->hide();
        DoHide();
    }
}

void TCustomForm::Show() {
    SetVisible(true);
    BringToFront();
}

void TCustomForm::Hide() {
    SetVisible(false);
}

void TCustomForm::DoShow() {
    if (OnShow)
        OnShow(this);
}

void TCustomForm::DoHide() {
    if (OnHide)
        OnHide(this);
}

void TCustomForm::SetModalResult(TModalResult v) {
    FModalResult = v;
}

bool TCustomForm::CloseQuery() {
    bool canClose = true;
    if (OnCloseQuery)
        OnCloseQuery(this, canClose);
    return canClose;
}

void TCustomForm::DoClose(TCloseAction& action) {
    if (OnClose)
        OnClose(this, action);
}

void TCustomForm::Close() {
    if (FModal) {
        FModalResult = mrCancel;
        return;
    }
    if (!CloseQuery())
        return;
    TCloseAction action = TCloseAction::caHide;
    DoClose(action);
    if (action == TCloseAction::caNone)
        return;
    if (Application && Application->MainForm() == this) {
        Application->Terminate();
        Hide();
        return;
    }
    switch (action) {
    case TCloseAction::caHide:
        Hide();
        break;
    case TCloseAction::caMinimize:
        SetWindowState(TWindowState::wsMinimized);
        break;
    case TCloseAction::caFree:
        Release();
        break;
    default:
        break;
    }
}

void TCustomForm::Release() {
    Hide();
    // Freed once the current event is handled, so a handler of the form may still run to its end.
    QMetaObject::invokeMethod(
        qApp, [this] { delete this; }, Qt::QueuedConnection);
}

TModalResult TCustomForm::ShowModal() {
    if (FVisible || FModal)
        throw EKvError("Cannot make a visible window modal");
    FModalResult = mrNone;
    FModal = true;
    FWidget->setWindowModality(Qt::ApplicationModal);
    SetVisible(true);
    BringToFront();
    for (;;) {
        while (FModalResult == mrNone) {
            Application->HandleMessage();
            if (Application->Terminated())
                FModalResult = mrCancel;
        }
        // A program that ends closes the window unasked: a close query that refused would otherwise
        // keep the loop waiting for ever.
        if (Application->Terminated())
            break;
        // The old framework's close query: a handler may keep the window open.
        if (!CloseQuery()) {
            FModalResult = mrNone;
            continue;
        }
        TCloseAction action = TCloseAction::caHide;
        DoClose(action);
        if (action == TCloseAction::caNone) {
            FModalResult = mrNone;
            continue;
        }
        break;
    }
    TModalResult result = FModalResult;
    FModal = false;
    SetVisible(false);
    FWidget->setWindowModality(Qt::NonModal);
    return result;
}

bool TCustomForm::KeyDown(std::uint16_t& key, TShiftState shift) {
    return TWinControl::KeyDown(key, shift);
}

namespace {
// Offers a dialog key to the controls under `parent` that a user can reach (visible and enabled, as are
// their parents), each parent before its children, in creation order; stops at the first that takes it.
bool OfferDialogKey(const TWinControl& parent, const std::function<bool(TControl&)>& take) {
    for (int i = 0; i < parent.ControlCount(); ++i) {
        TControl* c = parent.Controls(i);
        if (!c->Visible() || !c->Enabled())
            continue;
        if (take(*c))
            return true;
        if (auto* w = dynamic_cast<TWinControl*>(c); w && OfferDialogKey(*w, take))
            return true;
    }
    return false;
}
} // namespace

bool TCustomForm::DialogKey(std::uint16_t key, TShiftState shift) {
    if (key != VK_RETURN && key != VK_ESCAPE)
        return false;
    return OfferDialogKey(*this, [&](TControl& c) {
        if (auto* b = dynamic_cast<TButton*>(&c)) {
            if ((key == VK_RETURN && b->Default()) || (key == VK_ESCAPE && b->Cancel())) {
                b->Click();
                return true;
            }
            return false;
        }
        auto* t = dynamic_cast<IDialogKeyTarget*>(&c);
        return t && t->DialogKey(key, shift);
    });
}

bool TCustomForm::DialogChar(char key) {
    if (!key)
        return false;
    return OfferDialogKey(*this, [&](TControl& c) {
        auto* t = dynamic_cast<IDialogKeyTarget*>(&c);
        return t && t->DialogChar(key);
    });
}

void TCustomForm::CloseRequest() {
    if (!FModal) {
        Close();
        return;
    }
    // The modal loop asks the close query again once the window's Cancel has ended it; asking first
    // keeps a refusing window (a transfer's progress) from running its Cancel at all.
    if (!CloseQuery())
        return;
    if (!DialogKey(VK_ESCAPE))
        Close();
}

// ---------------------------------------------------------------------------------------------------
// Application

namespace {

int gArgc = 1;
char gArg0[] = "korvane-editor";
char* gArgv[] = {gArg0, nullptr};

void ApplyPlatformProfile() {
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Windows")));
    QApplication::setEffectEnabled(Qt::UI_AnimateMenu, false);
    QApplication::setEffectEnabled(Qt::UI_FadeMenu, false);
    QApplication::setEffectEnabled(Qt::UI_AnimateCombo, false);
    QApplication::setEffectEnabled(Qt::UI_AnimateTooltip, false);
    QApplication::setEffectEnabled(Qt::UI_FadeTooltip, false);
    QApplication::setCursorFlashTime(0);
    TFont f;
    QApplication::setFont(f.ToQFont());
    QPalette pal;
    auto set = [&](QPalette::ColorRole role, TColor c) { pal.setColor(role, QColor::fromRgb(ToQRgb(c))); };
    set(QPalette::Window, clBtnFace);
    set(QPalette::WindowText, clWindowText);
    set(QPalette::Base, clWindow);
    set(QPalette::AlternateBase, clBtnFace);
    set(QPalette::Text, clWindowText);
    set(QPalette::Button, clBtnFace);
    set(QPalette::ButtonText, clBtnText);
    set(QPalette::Light, clBtnHighlight);
    set(QPalette::Midlight, cl3DLight);
    set(QPalette::Mid, clBtnShadow);
    set(QPalette::Dark, clBtnShadow);
    set(QPalette::Shadow, cl3DDkShadow);
    set(QPalette::Highlight, clHighlight);
    set(QPalette::HighlightedText, clHighlightText);
    set(QPalette::ToolTipBase, clInfoBk);
    set(QPalette::ToolTipText, clInfoText);
    pal.setColor(QPalette::Disabled, QPalette::Text, QColor::fromRgb(ToQRgb(clGrayText)));
    pal.setColor(QPalette::Disabled, QPalette::WindowText, QColor::fromRgb(ToQRgb(clGrayText)));
    pal.setColor(QPalette::Disabled, QPalette::ButtonText, QColor::fromRgb(ToQRgb(clGrayText)));
    QApplication::setPalette(pal);
}

} // namespace

TApplication* Application = new TApplication();

KV_REGISTER_CLASS(TApplication, TComponent, b) {}

TApplication::TApplication() : TComponent(nullptr) {}
TApplication::~TApplication() = default;

void TApplication::Initialize() {
    if (!QCoreApplication::instance()) {
        // 96 logical DPI, no scaling: sizes in the layouts are pixels.
        qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
        qputenv("QT_SCALE_FACTOR", "1");
        qputenv("QT_FONT_DPI", "96");
        new QApplication(gArgc, gArgv);
        // Qt takes the user's locale for the C library too; the value texts always use "." as the
        // decimal point, as the unit, the files and the typed entries expect.
        std::setlocale(LC_NUMERIC, "C");
        QGuiApplication::setHighDpiScaleFactorRoundingPolicy(
            Qt::HighDpiScaleFactorRoundingPolicy::PassThrough);
    }
    ApplyPlatformProfile();
    RegisterStandardClasses();
    RegisterDialogClasses();
    FTerminated = false;
}

void TApplication::SetTitle(const std::string& v) {
    FTitle = v;
    QApplication::setApplicationDisplayName(QString());
    QApplication::setApplicationName(QString::fromStdString(v));
}

void TApplication::Run() {
    if (FMainForm && FShowMainForm && !FTerminated)
        FMainForm->Show();
    while (!FTerminated)
        HandleMessage();
}

void TApplication::ProcessMessages() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void TApplication::HandleMessage() {
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents | QEventLoop::AllEvents);
}

void TApplication::Terminate() {
    FTerminated = true;
    // Wakes a loop that waits for messages.
    QMetaObject::invokeMethod(
        qApp, [] {}, Qt::QueuedConnection);
}

void ReportHandlerException(const std::exception* e) noexcept {
    // Showing the message must not throw either: a second failure is dropped.
    try {
        Application->HandleException(e);
    } catch (...) {
    }
}

void TApplication::HandleException(const std::exception* e) {
    std::string message = e ? e->what() : std::string();
    if (OnException) {
        OnException(message);
        return;
    }
    QMessageBox box(QMessageBox::Critical, QString::fromStdString(FTitle), QString::fromStdString(message),
                    QMessageBox::Ok);
    box.exec();
}

void TApplication::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation == TOperation::opRemove && component == FMainForm)
        FMainForm = nullptr;
}

// ---------------------------------------------------------------------------------------------------
// Scroll box

KV_REGISTER_CLASS(TScrollBox, TWinControl, b) {
    b.Prop("BorderStyle", &TScrollBox::BorderStyle, &TScrollBox::SetBorderStyle)
        .Default(TBorderStyle::bsSingle);
    b.Prop("Color", &TControl::Color, &TControl::SetColor).Default(clBtnFace).Idents(ColorIdents(), "TColor");
    b.Prop("Font", &TControl::Font, &TControl::SetFont).Stored([](const TControl& c) {
        return !c.ParentFont();
    });
    b.Prop("ParentColor", &TControl::ParentColor, &TControl::SetParentColor).Default(false);
    b.Prop("ParentFont", &TControl::ParentFont, &TControl::SetParentFont).Default(true);
}

TScrollBox::TScrollBox(TComponent* owner)
    : TWinControl(owner, &NewBridge<QScrollArea>), FViewport(new QWidget) {
    auto* area = static_cast<QScrollArea*>(FWidget);
    area->setWidget(FViewport);
    area->setWidgetResizable(false);
    FViewport->setAutoFillBackground(true);
    SetBorderStyle(TBorderStyle::bsSingle);
    SetBounds(0, 0, 185, 41);
    ColorChanged();
}

QWidget* TScrollBox::ChildHost() const {
    return FViewport;
}

void TScrollBox::SetBorderStyle(TBorderStyle v) {
    FBorderStyle = v;
    auto* area = static_cast<QScrollArea*>(FWidget);
    area->setFrameShape(v == TBorderStyle::bsSingle ? QFrame::Panel : QFrame::NoFrame);
    area->setFrameShadow(QFrame::Sunken);
    area->setLineWidth(2);
}

int TScrollBox::ClientWidth() const {
    return std::max(0, FWidth - (FBorderStyle == TBorderStyle::bsSingle ? 4 : 0));
}
int TScrollBox::ClientHeight() const {
    return std::max(0, FHeight - (FBorderStyle == TBorderStyle::bsSingle ? 4 : 0));
}

void TScrollBox::SetBounds(int left, int top, int width, int height) {
    TWinControl::SetBounds(left, top, width, height);
    UpdateScrollRange();
}

void TScrollBox::UpdateScrollRange() {
    int w = ClientWidth(), h = ClientHeight();
    for (int i = 0; i < ControlCount(); ++i) {
        TControl* c = Controls(i);
        w = std::max(w, c->Left() + c->Width());
        h = std::max(h, c->Top() + c->Height());
    }
    FViewport->resize(w, h);
}

void TScrollBox::ColorChanged() {
    TWinControl::ColorChanged();
    QPalette pal = FViewport->palette();
    pal.setColor(QPalette::Window, QColor::fromRgb(ToQRgb(FColor)));
    FViewport->setPalette(pal);
}

} // namespace kv
