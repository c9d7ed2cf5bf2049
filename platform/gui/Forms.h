#pragma once
// The application object, forms with their modal loop, and the scroll box.
//
// The platform profile is fixed so that rendering is the same on every machine: 96 logical DPI, the
// classic look, one table of system colours and one font substitution table.

#include "platform/gui/Controls.h"

#include <cstdint>
#include <exception>
#include <functional>
#include <optional>
#include <string>

class QMenuBar;
class QScrollArea;

namespace kv {

class TMainMenu;

enum : int {
    mrNone = 0,
    mrOk = 1,
    mrCancel = 2,
    mrAbort = 3,
    mrRetry = 4,
    mrIgnore = 5,
    mrYes = 6,
    mrNo = 7,
    mrAll = 8,
    mrNoToAll = 9,
    mrYesToAll = 10
};
using TModalResult = int;

enum class TCloseAction { caNone, caHide, caFree, caMinimize };
std::vector<std::string> EnumIdents(TCloseAction);
enum class TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
std::vector<std::string> EnumIdents(TFormBorderStyle);
enum class TBorderIcon { biSystemMenu, biMinimize, biMaximize, biHelp };
std::vector<std::string> EnumIdents(TBorderIcon);
using TBorderIcons = TSet<TBorderIcon>;
enum class TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
std::vector<std::string> EnumIdents(TFormStyle);
enum class TPosition {
    poDesigned,
    poDefault,
    poDefaultPosOnly,
    poDefaultSizeOnly,
    poScreenCenter,
    poDesktopCenter,
    poMainFormCenter,
    poOwnerFormCenter
};
std::vector<std::string> EnumIdents(TPosition);
enum class TWindowState { wsNormal, wsMinimized, wsMaximized };
std::vector<std::string> EnumIdents(TWindowState);

// The window manager's motif hints of a titled window that offers no close, minimise or maximise
// (MWM_HINTS_FUNCTIONS | MWM_HINTS_DECORATIONS): it may be moved, nothing more. Qt hands such a window
// "every function", close included, and window managers then draw a close button.
struct TMotifWmHints {
    std::uint32_t flags = 0, functions = 0, decorations = 0;
    std::int32_t inputMode = 0;
    std::uint32_t status = 0;
};
// The hints to put on a window with these flags in place of Qt's; none where Qt's are right.
std::optional<TMotifWmHints> MotifHintsOverride(Qt::WindowFlags flags);

using TCloseEvent = std::function<void(TObject* sender, TCloseAction& action)>;
using TCloseQueryEvent = std::function<void(TObject* sender, bool& canClose)>;

// Window frame sizes of the fixed classic profile, so that outer and client sizes relate the same way
// on every machine.
constexpr int kCaptionHeight = 19, kMenuHeight = 19, kSizeableFrame = 4, kDialogFrame = 3;

class TCustomForm : public TWinControl {
    KV_CLASS(TCustomForm)
public:
    explicit TCustomForm(TComponent* owner);
    ~TCustomForm() override;

    // Loads the form's layout resource (named after the class in capitals) when there is one, then
    // runs OnCreate. Application::CreateForm calls it; forms made with `new` call it themselves.
    void InitializeForm();
    // Loads a layout text into this form (components, properties, handlers); returns the problems
    // found (unknown names, classes or handlers), which are also kept in LayoutErrors.
    std::vector<std::string> LoadLayoutText(const std::string& text);
    const std::vector<std::string>& LayoutErrors() const { return FLayoutErrors; }

    void SetVisible(bool v) override;
    void Show();
    void Hide();
    // Runs a nested message loop until ModalResult is set; returns it.
    TModalResult ShowModal();
    void Close();
    bool CloseQuery();
    void Release();
    bool Modal() const { return FModal; }
    TModalResult ModalResult() const { return FModalResult; }
    void SetModalResult(TModalResult v);

    int ClientWidth() const override;
    int ClientHeight() const override;
    TFormBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TFormBorderStyle v);
    TBorderIcons BorderIcons() const { return FBorderIcons; }
    void SetBorderIcons(TBorderIcons v);
    TFormStyle FormStyle() const { return FFormStyle; }
    void SetFormStyle(TFormStyle v);
    TPosition Position() const { return FPosition; }
    void SetPosition(TPosition v) { FPosition = v; }
    TWindowState WindowState() const { return FWindowState; }
    void SetWindowState(TWindowState v);
    bool KeyPreview() const { return FKeyPreview; }
    void SetKeyPreview(bool v) { FKeyPreview = v; }
    TMainMenu* Menu() const { return FMenu; }
    void SetMenu(TMainMenu* m);
    TWinControl* ActiveControl() const;
    void SetActiveControl(TWinControl* c);
    void BringToFront();
    int PixelsPerInch() const { return 96; }

    TNotifyEvent OnCreate;
    TNotifyEvent OnDestroy;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;
    TNotifyEvent OnPaint;
    TCloseEvent OnClose;
    TCloseQueryEvent OnCloseQuery;

    bool KeyDown(std::uint16_t& key, TShiftState shift) override;
    // Enter clicks the visible, enabled default button, Escape the cancel button, among the platform's
    // buttons and the controls that take dialog keys; true when one did.
    bool DialogKey(std::uint16_t key, TShiftState shift = {});
    // Alt+letter: offered to the showing controls that take dialog keys, in creation order.
    bool DialogChar(char key);
    // The window manager's close request (its close button): goes through the close query like Close;
    // on a modal window it acts as the window's Cancel: its cancel button when it has one, else
    // ModalResult mrCancel.
    void CloseRequest();
    void WindowResized(int clientWidth, int clientHeight);
    void ApplyGeometry() override;
    void MenuChanged();

    // With AutoScroll on, scroll bars appear once the controls reach past the client area.
    bool AutoScroll() const { return FAutoScroll; }
    void SetAutoScroll(bool v);
    // The area the scroll bars cover: the client size, grown to the controls' extent under AutoScroll.
    TPoint ScrollRange() const;
    // Call after moving or sizing controls, so that the scroll bars cover them.
    void UpdateScrollRange();

protected:
    void TextChanged() override;
    void ColorChanged() override;
    QWidget* ChildHost() const override;
    void Notification(TComponent* component, TOperation operation) override;
    virtual void DoShow();
    virtual void DoHide();
    virtual void DoClose(TCloseAction& action);
    int FrameWidth() const;
    int NonClientTop() const;

private:
    friend class TFormWindow;
    void ApplyWindowFlags();
    void PlaceOnShow();
    QWidget* FClient;
    QMenuBar* FMenuBar = nullptr;
    // Made when AutoScroll is first turned on; the client area then lives inside it.
    QScrollArea* FScrollArea = nullptr;
    bool FAutoScroll = false;
    TFormBorderStyle FBorderStyle = TFormBorderStyle::bsSizeable;
    TBorderIcons FBorderIcons{TBorderIcon::biSystemMenu, TBorderIcon::biMinimize, TBorderIcon::biMaximize};
    TFormStyle FFormStyle = TFormStyle::fsNormal;
    TPosition FPosition = TPosition::poDefaultPosOnly;
    TWindowState FWindowState = TWindowState::wsNormal;
    bool FKeyPreview = false;
    TMainMenu* FMenu = nullptr;
    TModalResult FModalResult = mrNone;
    bool FModal = false;
    bool FCreated = false;
    bool FShownOnce = false;
    std::vector<std::string> FLayoutErrors;
};

class TForm : public TCustomForm {
    KV_CLASS(TForm)
public:
    explicit TForm(TComponent* owner) : TCustomForm(owner) {}
};

class TApplication : public TComponent {
    KV_CLASS(TApplication)
public:
    TApplication();
    ~TApplication() override;

    // Creates the Qt application with the fixed platform profile; safe to call more than once.
    void Initialize();
    const std::string& Title() const { return FTitle; }
    void SetTitle(const std::string& v);
    TCustomForm* MainForm() const { return FMainForm; }
    bool MainFormOnTaskBar() const { return FMainFormOnTaskBar; }
    void SetMainFormOnTaskBar(bool v) { FMainFormOnTaskBar = v; }
    bool ShowMainForm() const { return FShowMainForm; }
    void SetShowMainForm(bool v) { FShowMainForm = v; }

    // Creates a form owned by the application, loads its layout and runs OnCreate; the first form
    // created becomes the main form.
    template <class F> F* CreateForm() {
        auto* f = new F(this);
        f->InitializeForm();
        if (!FMainForm)
            FMainForm = f;
        return f;
    }
    // Shows the main form (unless ShowMainForm is off) and runs the message loop until Terminate.
    void Run();
    void ProcessMessages();
    // Waits for the next message and handles it.
    void HandleMessage();
    void Terminate();
    bool Terminated() const { return FTerminated; }
    // Shows an exception that escaped an event handler; the loop goes on.
    void HandleException(const std::exception* e);
    std::function<void(const std::string& message)> OnException;

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    std::string FTitle;
    TCustomForm* FMainForm = nullptr;
    bool FMainFormOnTaskBar = false;
    bool FShowMainForm = true;
    bool FTerminated = false;
};

extern TApplication* Application;

class TScrollBox : public TWinControl {
    KV_CLASS(TScrollBox)
public:
    explicit TScrollBox(TComponent* owner);
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle v);
    void SetBounds(int left, int top, int width, int height) override;
    int ClientWidth() const override;
    int ClientHeight() const override;
    void UpdateScrollRange();

protected:
    QWidget* ChildHost() const override;
    void ColorChanged() override;

private:
    TBorderStyle FBorderStyle = TBorderStyle::bsSingle;
    QWidget* FViewport;
};

} // namespace kv
