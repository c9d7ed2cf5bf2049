// The application loop, forms, input events, alignment and the platform services.

#include "platform/gui/Forms.h"
#include "platform/gui/Dialogs.h"
#include "platform/gui/Menus.h"
#include "platform/gui/StdCtrls.h"
#include "platform/gui/StdEdits.h"
#include "platform/gui/StdPanels.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QKeyEvent>
#include <utility>
#include <QMenu>
#include <QMouseEvent>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QWidget>

#include <memory>
#include <string>
#include <vector>

using namespace kv;

namespace {

// A left-button press (held) or release at `at`, sent straight to the widget.
void SendLeft(QWidget* w, QEvent::Type type, QPointF at, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    const Qt::MouseButtons held = type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton;
    QMouseEvent e(type, at, at, Qt::LeftButton, held, modifiers);
    QApplication::sendEvent(w, &e);
}

TEST(FormsTest, MainFormCloseEndsTheMessageLoop) {
    Application->SetTitle("Loop test");
    auto* main = Application->CreateForm<TForm>();
    ASSERT_EQ(Application->MainForm(), main);
    auto* second = Application->CreateForm<TForm>();
    EXPECT_EQ(Application->MainForm(), main);
    std::vector<std::string> events;
    main->OnShow = [&](TObject*) { events.push_back("show"); };
    main->OnCloseQuery = [&](TObject*, bool& canClose) {
        events.push_back("query");
        canClose = events.size() > 2; // refuse the first request
    };
    main->OnClose = [&](TObject*, TCloseAction&) { events.push_back("close"); };
    QTimer::singleShot(0, [&] { main->Close(); });
    QTimer::singleShot(5, [&] { main->Close(); });
    Application->Run();
    EXPECT_TRUE(Application->Terminated());
    EXPECT_EQ(events, (std::vector<std::string>{"show", "query", "query", "close"}));
    delete second;
    delete main;
    EXPECT_EQ(Application->MainForm(), nullptr);
    Application->Initialize(); // the loop may run again for the other tests
    EXPECT_FALSE(Application->Terminated());
}

TEST(FormsTest, EndingTheProgramEndsAModalLoopWhoseCloseQueryRefuses) {
    TForm f(nullptr);
    int queries = 0;
    f.OnCloseQuery = [&](TObject*, bool& canClose) {
        // End the program only once the refused close has been seen, so a slow machine keeps the order.
        if (++queries == 1)
            QTimer::singleShot(0, [] { Application->Terminate(); });
        canClose = false;
        // The program ends only after the refusal, whatever the machine's load.
        QTimer::singleShot(0, [] { Application->Terminate(); });
    };
    QTimer::singleShot(0, [&] { f.SetModalResult(mrOk); });
    EXPECT_EQ(f.ShowModal(), mrCancel);
    EXPECT_EQ(queries, 1);
    EXPECT_FALSE(f.Visible());
    Application->Initialize(); // the loop may run again for the other tests
}

TEST(FormsTest, BorderIconsStayOnTopAndPosition) {
    TForm f(nullptr);
    f.SetBounds(0, 0, 300, 200);
    EXPECT_EQ(f.ClientWidth(), 300 - 2 * kSizeableFrame);
    EXPECT_EQ(f.ClientHeight(), 200 - kCaptionHeight - 2 * kSizeableFrame);
    f.SetBorderStyle(TFormBorderStyle::bsDialog); // the client area keeps its size
    EXPECT_EQ(f.ClientWidth(), 300 - 2 * kSizeableFrame);
    f.SetFormStyle(TFormStyle::fsStayOnTop);
    EXPECT_TRUE(f.Widget()->windowFlags() & Qt::WindowStaysOnTopHint);
    f.SetBorderIcons({});
    EXPECT_FALSE(f.Widget()->windowFlags() & Qt::WindowCloseButtonHint);
    f.SetBorderIcons({TBorderIcon::biSystemMenu});
    EXPECT_TRUE(f.Widget()->windowFlags() & Qt::WindowCloseButtonHint);
    f.SetPosition(TPosition::poScreenCenter);
    f.Show();
    QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_EQ(f.Left(), (screen.width() - f.Width()) / 2);
    EXPECT_EQ(f.Top(), (screen.height() - f.Height()) / 2);
    f.Hide();
}

// A window without border icons gets none from the window manager: no close button hint, and motif
// hints that offer moving only, where Qt would offer every function (close included).
TEST(FormsTest, WindowWithoutBorderIconsOffersNoClose) {
    for (auto style : {TFormBorderStyle::bsDialog, TFormBorderStyle::bsSingle}) {
        TForm f(nullptr);
        f.SetBorderStyle(style);
        f.SetBorderIcons({});
        const Qt::WindowFlags flags = f.Widget()->windowFlags();
        EXPECT_TRUE(flags & Qt::CustomizeWindowHint);
        EXPECT_FALSE(flags & (Qt::WindowCloseButtonHint | Qt::WindowSystemMenuHint |
                              Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
        const auto hints = MotifHintsOverride(flags);
        ASSERT_TRUE(hints);
        EXPECT_EQ(hints->flags, 3u);             // functions and decorations are given
        EXPECT_EQ(hints->functions, 6u);         // move and resize: no close, no minimise
        EXPECT_EQ(hints->decorations & 16u, 0u); // no window menu
    }
    // Windows with a close button or without a frame keep Qt's hints.
    TForm withClose(nullptr);
    withClose.SetBorderIcons({TBorderIcon::biSystemMenu});
    EXPECT_FALSE(MotifHintsOverride(withClose.Widget()->windowFlags()));
    TForm frameless(nullptr);
    frameless.SetBorderStyle(TFormBorderStyle::bsNone);
    frameless.SetBorderIcons({});
    EXPECT_FALSE(MotifHintsOverride(frameless.Widget()->windowFlags()));
}

// The window manager's close request (a real close event on the native window): on a modal window
// it goes through the close query and acts as the window's Cancel; a refusing query keeps it open.
TEST(FormsTest, CloseRequestOnAModalWindowIsItsCancel) {
    auto requestClose = [](TForm& f) {
        QCloseEvent e;
        QApplication::sendEvent(f.Widget(), &e);
    };
    {
        // Without a cancel button: ModalResult mrCancel, through the close query.
        TForm f(nullptr);
        int queries = 0;
        f.OnCloseQuery = [&](TObject*, bool& canClose) { canClose = ++queries > 1; };
        QTimer::singleShot(0, [&] {
            requestClose(f); // refused: the window stays
            QTimer::singleShot(0, [&] {
                EXPECT_TRUE(f.Visible());
                requestClose(f);
            });
        });
        EXPECT_EQ(f.ShowModal(), mrCancel);
        EXPECT_GE(queries, 2);
        EXPECT_FALSE(f.Visible());
    }
    {
        // With a cancel button: the request clicks it, as Escape would.
        TForm f(nullptr);
        auto* cancel = new TButton(&f);
        cancel->SetParent(&f);
        cancel->SetCancel(true);
        cancel->SetModalResult(mrCancel);
        int clicks = 0;
        cancel->OnClick = [&](TObject*) { ++clicks; };
        QTimer::singleShot(0, [&] { requestClose(f); });
        EXPECT_EQ(f.ShowModal(), mrCancel);
        EXPECT_EQ(clicks, 1);
    }
    {
        // A window that is not modal closes through its close query and OnClose.
        TForm f(nullptr);
        std::vector<std::string> events;
        f.OnCloseQuery = [&](TObject*, bool&) { events.push_back("query"); };
        f.OnClose = [&](TObject*, TCloseAction&) { events.push_back("close"); };
        f.Show();
        requestClose(f);
        EXPECT_FALSE(f.Visible());
        EXPECT_EQ(events, (std::vector<std::string>{"query", "close"}));
    }
}

TEST(FormsTest, MouseEventsArriveInTheOldOrder) {
    TForm f(nullptr);
    auto* label = new TLabel(&f);
    label->SetParent(&f);
    label->SetCaption("Click me");
    std::vector<std::string> events;
    label->OnMouseDown = [&](TObject*, TMouseButton b, TShiftState s, int x, int y) {
        events.push_back("down " + std::to_string(static_cast<int>(b)) + " " + std::to_string(x) + "," +
                         std::to_string(y) + (s.Contains(TShiftItem::ssShift) ? " shift" : ""));
    };
    label->OnClick = [&](TObject*) { events.push_back("click"); };
    label->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int, int) { events.push_back("up"); };
    SendLeft(label->Widget(), QEvent::MouseButtonPress, QPointF(3, 4), Qt::ShiftModifier);
    SendLeft(label->Widget(), QEvent::MouseButtonRelease, QPointF(3, 4));
    EXPECT_EQ(events, (std::vector<std::string>{"down 0 3,4 shift", "click", "up"}));
    // Released outside: no click.
    events.clear();
    SendLeft(label->Widget(), QEvent::MouseButtonPress, QPointF(3, 4), Qt::ShiftModifier);
    SendLeft(label->Widget(), QEvent::MouseButtonRelease, QPointF(500, 4));
    EXPECT_EQ(events, (std::vector<std::string>{"down 0 3,4 shift", "up"}));
    // A disabled control raises nothing.
    events.clear();
    label->SetEnabled(false);
    SendLeft(label->Widget(), QEvent::MouseButtonPress, QPointF(3, 4), Qt::ShiftModifier);
    EXPECT_TRUE(events.empty());
}

// A press over a disabled graphic control lands on the control beneath it; an enabled one takes it.
TEST(FormsTest, PressesPassThroughDisabledGraphicControls) {
    TForm f(nullptr);
    f.SetBounds(0, 0, 200, 100);
    auto* below = new TLabel(&f);
    below->SetParent(&f);
    below->SetAutoSize(false);
    below->SetBounds(10, 10, 100, 40);
    auto* above = new TImage(&f);
    above->SetParent(&f);
    above->SetBounds(20, 15, 30, 30);
    QWidget* client = below->Widget()->parentWidget();
    ASSERT_EQ(client, above->Widget()->parentWidget());
    const QPoint inside(30, 20);
    EXPECT_EQ(client->childAt(inside), above->Widget());
    above->SetEnabled(false);
    EXPECT_EQ(client->childAt(inside), below->Widget());
    above->SetEnabled(true);
    EXPECT_EQ(client->childAt(inside), above->Widget());
}

TEST(FormsTest, KeysHandlersPreviewAndDialogButtons) {
    TForm f(nullptr);
    auto* edit = new TEdit(&f);
    edit->SetParent(&f);
    auto* ok = new TButton(&f);
    ok->SetParent(&f);
    ok->SetDefault(true);
    ok->SetModalResult(mrOk);
    auto* cancel = new TButton(&f);
    cancel->SetParent(&f);
    cancel->SetCancel(true);
    cancel->SetModalResult(mrCancel);
    std::vector<std::uint16_t> keys;
    edit->OnKeyDown = [&](TObject*, std::uint16_t& key, TShiftState) {
        keys.push_back(key);
        if (key == 'X')
            key = 0; // swallowed: the edit never sees it
    };
    auto send = [&](int qtKey, const QString& text) {
        QKeyEvent down(QEvent::KeyPress, qtKey, Qt::NoModifier, text);
        QApplication::sendEvent(edit->Widget(), &down);
    };
    send(Qt::Key_A, "a");
    send(Qt::Key_X, "x");
    EXPECT_EQ(keys, (std::vector<std::uint16_t>{'A', 'X'}));
    EXPECT_EQ(edit->Text(), "a");
    send(Qt::Key_Return, "\r");
    EXPECT_EQ(f.ModalResult(), mrOk);
    send(Qt::Key_Escape, "\x1b");
    EXPECT_EQ(f.ModalResult(), mrCancel);
    // With KeyPreview the form sees the key first and may take it.
    f.SetKeyPreview(true);
    f.OnKeyDown = [&](TObject*, std::uint16_t& key, TShiftState) {
        if (key == 'B')
            key = 0;
    };
    send(Qt::Key_B, "b");
    EXPECT_EQ(edit->Text(), "a");
    // The edit saw Enter and Escape before the buttons did, but never the previewed B.
    EXPECT_EQ(keys, (std::vector<std::uint16_t>{'A', 'X', VK_RETURN, VK_ESCAPE}));

    // + and - of the main block and of the keypad have codes of their own.
    keys.clear();
    f.SetKeyPreview(false);
    edit->OnKeyDown = [&](TObject*, std::uint16_t& key, TShiftState) {
        keys.push_back(key);
        key = 0;
    };
    for (auto [qtKey, mods] : {std::pair{Qt::Key_Plus, Qt::KeyboardModifiers(Qt::ShiftModifier)},
                               std::pair{Qt::Key_Equal, Qt::KeyboardModifiers()},
                               std::pair{Qt::Key_Minus, Qt::KeyboardModifiers()},
                               std::pair{Qt::Key_Plus, Qt::KeyboardModifiers(Qt::KeypadModifier)},
                               std::pair{Qt::Key_Minus, Qt::KeyboardModifiers(Qt::KeypadModifier)}}) {
        QKeyEvent down(QEvent::KeyPress, qtKey, mods, QString());
        QApplication::sendEvent(edit->Widget(), &down);
    }
    EXPECT_EQ(keys, (std::vector<std::uint16_t>{VK_OEM_PLUS, VK_OEM_PLUS, VK_OEM_MINUS, VK_ADD, VK_SUBTRACT}));
}

TEST(FormsTest, AlignAndAnchorsFollowTheParent) {
    TForm f(nullptr);
    f.SetClientWidth(200);
    f.SetClientHeight(100);
    auto* top = new TPanel(&f);
    top->SetParent(&f);
    top->SetHeight(20);
    top->SetAlign(TAlign::alTop);
    auto* client = new TPanel(&f);
    client->SetParent(&f);
    client->SetAlign(TAlign::alClient);
    auto* corner = new TButton(&f);
    corner->SetParent(client);
    corner->SetBounds(100, 40, 50, 20);
    corner->SetAnchors({TAnchorKind::akRight, TAnchorKind::akBottom});
    auto* wide = new TEdit(&f);
    wide->SetParent(client);
    wide->SetBounds(10, 10, 150, 21);
    wide->SetAnchors({TAnchorKind::akLeft, TAnchorKind::akTop, TAnchorKind::akRight});
    EXPECT_EQ(top->BoundsRect(), Rect(0, 0, 200, 20));
    EXPECT_EQ(client->BoundsRect(), Rect(0, 20, 200, 100));
    f.SetClientWidth(260);
    f.SetClientHeight(130);
    EXPECT_EQ(top->Width(), 260);
    EXPECT_EQ(client->BoundsRect(), Rect(0, 20, 260, 130));
    EXPECT_EQ(corner->BoundsRect(), Rect(160, 70, 210, 90));
    EXPECT_EQ(wide->BoundsRect(), Rect(10, 10, 220, 31));
    int resized = 0;
    client->OnResize = [&](TObject*) { ++resized; };
    top->SetVisible(false); // the client panel takes the freed room
    EXPECT_EQ(client->BoundsRect(), Rect(0, 0, 260, 130));
    EXPECT_EQ(resized, 1);
}

TEST(FormsTest, ChildrenPaintOverTheirParentAndTransparentOnesOnlyWhereTheyDraw) {
    TForm f(nullptr);
    f.SetClientWidth(100);
    f.SetClientHeight(60);
    auto* panel = new TPanel(&f);
    panel->SetParent(&f);
    panel->SetBounds(0, 0, 100, 60);
    panel->SetBevelOuter(TBevelCut::bvNone);
    panel->SetColor(clRed);
    auto* label = new TLabel(&f);
    label->SetParent(panel);
    label->SetAutoSize(false);
    label->SetBounds(10, 10, 80, 30);
    label->SetCaption("i");
    label->SetColor(clBlue);
    QImage opaque = f.RenderToImage();
    EXPECT_EQ(FromQRgb(opaque.pixel(60, 30)), clBlue);
    EXPECT_EQ(FromQRgb(opaque.pixel(5, 5)), clRed);
    label->SetTransparent(true);
    QImage clear = f.RenderToImage();
    EXPECT_EQ(FromQRgb(clear.pixel(60, 30)), clRed);
}

TEST(FormsTest, DialogsMessageBoxesAndClipboard) {
    TOpenDialog open(nullptr);
    open.SetFilter("*.prs|*.prs");
    TOpenDialog::ExecuteHook = [](TOpenDialog& d) {
        d.SetFileName("/tmp/a.prs");
        return true;
    };
    EXPECT_TRUE(open.Execute());
    EXPECT_EQ(open.FileName(), "/tmp/a.prs");
    TOpenDialog::ExecuteHook = [](TOpenDialog&) { return false; };
    TSaveDialog save(nullptr);
    EXPECT_FALSE(save.Execute());
    TOpenDialog::ExecuteHook = nullptr;

    std::string shown;
    MessageDlgHook = [&](const std::string& text, TMsgDlgType) {
        shown = text;
        return mrYes;
    };
    EXPECT_EQ(MessageDlg("Are you sure to quit ?", TMsgDlgType::mtConfirmation,
                         TMsgDlgButtons{TMsgDlgBtn::mbYes, TMsgDlgBtn::mbNo}),
              mrYes);
    EXPECT_EQ(shown, "Are you sure to quit ?");
    MessageDlgHook = nullptr;

    Clipboard().SetAsText("Out 1 \xe4\xb8\xad");
    EXPECT_EQ(Clipboard().AsText(), "Out 1 \xe4\xb8\xad");
    TBitmap bmp(4, 3);
    bmp.Canvas()->SetPixel(1, 1, clRed);
    Clipboard().Assign(bmp);
    TBitmap back;
    ASSERT_TRUE(Clipboard().GetPicture(back));
    EXPECT_EQ(back.Width(), 4);
    EXPECT_EQ(back.Canvas()->Pixel(1, 1), clRed);
}

// A handler's exception stops at the event that ran it and is shown; the next event is handled as
// usual. Entry points: the bridged widget's own events, a combo box's list (a window of Qt's own), a
// menu action, and a form's close request.
TEST(FormsTest, ExceptionsFromHandlersAreShownAndTheLoopGoesOn) {
    std::vector<std::string> reported;
    Application->OnException = [&](const std::string& m) { reported.push_back(m); };
    TForm f(nullptr);
    auto* b = new TButton(&f);
    b->SetParent(&f);
    int clicks = 0;
    b->OnClick = [&](TObject*) {
        ++clicks;
        throw EKvError("click failed");
    };
    auto* cb = new TComboBox(&f);
    cb->SetParent(&f);
    cb->SetStyle(TComboBoxStyle::csDropDownList);
    cb->Items()->Add("a");
    cb->Items()->Add("b");
    cb->OnChange = [](TObject*) { throw EKvError("change failed"); };
    auto* menuRoot = new TMenuItem(&f);
    auto* item = new TMenuItem(&f);
    item->SetCaption("Go");
    item->OnClick = [](TObject*) { throw 42; };
    menuRoot->Add(item);
    QMenu menu;
    menuRoot->FillMenu(&menu);
    f.OnClose = [](TObject*, TCloseAction&) { throw EKvError("close failed"); };

    SendLeft(b->Widget(), QEvent::MouseButtonPress, QPointF(3, 3));
    SendLeft(b->Widget(), QEvent::MouseButtonRelease, QPointF(3, 3));
    SendLeft(b->Widget(), QEvent::MouseButtonPress, QPointF(3, 3));
    SendLeft(b->Widget(), QEvent::MouseButtonRelease, QPointF(3, 3));
    EXPECT_EQ(clicks, 2);
    emit static_cast<QComboBox*>(cb->Widget())->activated(1);
    ASSERT_EQ(menu.actions().size(), 1);
    menu.actions()[0]->trigger();
    QCloseEvent close;
    QCoreApplication::sendEvent(f.Widget(), &close);

    const std::vector<std::string> expected = {"click failed", "click failed", "change failed", "",
                                               "close failed"};
    EXPECT_EQ(reported, expected);
    Application->OnException = nullptr;
}

} // namespace

namespace {

// Scroll bars appear only under AutoScroll and only while controls reach past the client area; the
// window's activation raises OnActivate or OnDeactivate; an edit box keeps at most MaxLength
// characters, also of text set from code.
TEST(FormsTest, AutoScrollActivationAndEditsMaxLength) {
    TForm form(nullptr);
    form.SetBorderStyle(TFormBorderStyle::bsNone);
    form.SetBounds(0, 0, 300, 200);
    auto* panel = new TPanel(&form);
    panel->SetParent(&form);
    panel->SetBounds(10, 20, 480, 370);
    EXPECT_EQ(form.ScrollRange(), (TPoint{300, 200}));

    form.SetAutoScroll(true);
    EXPECT_EQ(form.ScrollRange(), (TPoint{490, 390}));
    form.Show();
    QApplication::processEvents();
    auto* area = form.Widget()->findChild<QScrollArea*>();
    ASSERT_NE(area, nullptr);
    EXPECT_EQ(area->horizontalScrollBar()->maximum(), 490 - area->viewport()->width());
    EXPECT_GT(area->verticalScrollBar()->maximum(), 0);
    area->verticalScrollBar()->setValue(50);
    EXPECT_EQ(panel->Widget()->mapTo(area->viewport(), QPoint(0, 0)), QPoint(10, -30));

    // A larger window needs no scrolling; AutoScroll off scrolls back and removes the bars.
    form.SetBounds(0, 0, 600, 500);
    EXPECT_EQ(form.ScrollRange(), (TPoint{600, 500}));
    form.SetBounds(0, 0, 300, 200);
    form.SetAutoScroll(false);
    QApplication::processEvents();
    EXPECT_EQ(form.ScrollRange(), (TPoint{300, 200}));
    EXPECT_EQ(area->verticalScrollBar()->maximum(), 0);
    EXPECT_EQ(panel->Widget()->mapTo(area->viewport(), QPoint(0, 0)), QPoint(10, 20));

    // The form hears of its activation.
    std::vector<std::string> events;
    form.OnActivate = [&](TObject*) { events.push_back("activate"); };
    form.OnDeactivate = [&](TObject*) { events.push_back("deactivate"); };
    QEvent change(QEvent::ActivationChange);
    form.Widget()->activateWindow();
    QApplication::processEvents();
    QApplication::sendEvent(form.Widget(), &change);
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.back(), form.Widget()->isActiveWindow() ? "activate" : "deactivate");

    auto* edit = new TEdit(&form);
    edit->SetParent(&form);
    edit->SetMaxLength(8);
    edit->SetText("123456789");
    EXPECT_EQ(edit->Text(), "12345678");
    edit->SetText("低音低音低音低音低");
    EXPECT_EQ(edit->Text(), "低音低音低音低音");
    form.Hide();
}

} // namespace
