#pragma once
// Inside the layer only: the Qt widget subclass under every control, which hands Qt's input and paint
// events to the control in the order the old framework raised them.

#include "platform/gui/Controls.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QVariant>
#include <QWheelEvent>
#include <QWidget>

#include <exception>

namespace kv {

// Shows an exception that a handler let escape (TApplication::HandleException) and lets the loop go on,
// as the old framework did. Exceptions must not cross Qt's event dispatch.
void ReportHandlerException(const std::exception* e) noexcept;

// Runs a handler where the layer calls it from Qt (an event of the bridge, a Qt signal); an exception
// stops there and is shown. It must be caught before it reaches Qt's own frames, which do not clean up
// when an exception passes through them.
template <class F> void Guarded(F&& f) noexcept {
    try {
        f();
    } catch (const std::exception& e) {
        ReportHandlerException(&e);
    } catch (...) {
        ReportHandlerException(nullptr);
    }
}

class TControlBridge {
public:
    static void Paint(QWidget* w, TControl* c);
    static void MousePress(TControl* c, QMouseEvent* e);
    static void MouseRelease(TControl* c, QMouseEvent* e);
    static void MouseMove(TControl* c, QMouseEvent* e);
    static void DoubleClick(TControl* c);
    static bool Wheel(TControl* c, QWheelEvent* e);
    static bool KeyPress(TControl* c, QKeyEvent* e);
    static bool KeyRelease(TControl* c, QKeyEvent* e);
    static void FocusIn(TControl* c);
    static void FocusOut(TControl* c);
    static void Resized(TControl* c, QWidget* w);
    static void Attach(QWidget* w, TControl* c);
};

template <class W> class TBridge : public W {
public:
    explicit TBridge(TControl* control) : W(nullptr), FControl(control) {
        TControlBridge::Attach(this, control);
    }
    TControl* Control() const { return FControl; }

protected:
    // Every event of the widget, also those Qt handles itself and that end in a handler (a shortcut's
    // click, a timer-driven click); the overrides below guard again for events that Qt routes past
    // event(), such as a scroll area's viewport events.
    bool event(QEvent* e) override {
        bool handled = true;
        Guarded([&] { handled = W::event(e); });
        return handled;
    }
    void paintEvent(QPaintEvent* e) override {
        Guarded([&] {
            if (!Alive())
                return W::paintEvent(e);
            if (FControl->IsSelfPainted())
                TControlBridge::Paint(this, FControl);
            else
                W::paintEvent(e);
            FControl->WndProcPaint();
        });
    }
    void mousePressEvent(QMouseEvent* e) override {
        Guarded([&] {
            if (!Alive())
                return W::mousePressEvent(e);
            if (!FControl->IsSelfPainted())
                W::mousePressEvent(e);
            TControlBridge::MousePress(FControl, e);
            e->accept();
        });
    }
    void mouseReleaseEvent(QMouseEvent* e) override {
        Guarded([&] {
            if (!Alive())
                return W::mouseReleaseEvent(e);
            if (!FControl->IsSelfPainted())
                W::mouseReleaseEvent(e);
            TControlBridge::MouseRelease(FControl, e);
            e->accept();
        });
    }
    void mouseMoveEvent(QMouseEvent* e) override {
        Guarded([&] {
            if (!Alive())
                return W::mouseMoveEvent(e);
            if (!FControl->IsSelfPainted())
                W::mouseMoveEvent(e);
            TControlBridge::MouseMove(FControl, e);
        });
    }
    void mouseDoubleClickEvent(QMouseEvent* e) override {
        Guarded([&] {
            if (!Alive())
                return W::mouseDoubleClickEvent(e);
            if (!FControl->IsSelfPainted())
                W::mouseDoubleClickEvent(e);
            TControlBridge::DoubleClick(FControl);
        });
    }
    void wheelEvent(QWheelEvent* e) override {
        Guarded([&] {
            if (!Alive())
                return W::wheelEvent(e);
            if (TControlBridge::Wheel(FControl, e)) {
                e->accept();
                return;
            }
            W::wheelEvent(e);
        });
    }
    void keyPressEvent(QKeyEvent* e) override {
        Guarded([&] {
            if (!Alive())
                return W::keyPressEvent(e);
            if (TControlBridge::KeyPress(FControl, e)) {
                e->accept();
                return;
            }
            W::keyPressEvent(e);
        });
    }
    void keyReleaseEvent(QKeyEvent* e) override {
        Guarded([&] {
            if (!Alive())
                return W::keyReleaseEvent(e);
            if (TControlBridge::KeyRelease(FControl, e)) {
                e->accept();
                return;
            }
            W::keyReleaseEvent(e);
        });
    }
    void focusInEvent(QFocusEvent* e) override {
        Guarded([&] {
            if (!Alive())
                return W::focusInEvent(e);
            W::focusInEvent(e);
            TControlBridge::FocusIn(FControl);
        });
    }
    void focusOutEvent(QFocusEvent* e) override {
        Guarded([&] {
            if (!Alive())
                return W::focusOutEvent(e);
            W::focusOutEvent(e);
            TControlBridge::FocusOut(FControl);
        });
    }
    void resizeEvent(QResizeEvent* e) override {
        Guarded([&] {
            if (!Alive())
                return W::resizeEvent(e);
            W::resizeEvent(e);
            TControlBridge::Resized(FControl, this);
        });
    }

private:
    // The control clears its mark before it deletes the widget; events after that are the widget's own.
    bool Alive() const { return this->property("kvControl").isValid(); }
    TControl* FControl;
};

template <class W> QWidget* NewBridge(TControl* control) {
    return new TBridge<W>(control);
}

} // namespace kv
