// The main window's Qt parts: about one widget per control after start-up, the parts made late still
// there when a user reaches for them, and a close that moves no widget out of the window.

#include "MainWindowFixture.h"

#include "panels/PkComboBox.h"
#include "platform/gui/Controls.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QPointer>
#include <QTest>
#include <QWidget>

#include <functional>

namespace {

using namespace kv;

class WindowPartsTest : public MainWindowFixture {};

void Walk(const TWinControl& parent, const std::function<void(TControl&)>& visit) {
    for (int i = 0; i < parent.ControlCount(); ++i) {
        TControl* c = parent.Controls(i);
        visit(*c);
        if (auto* w = dynamic_cast<TWinControl*>(c))
            Walk(*w, visit);
    }
}

class ParentChanges : public QObject {
public:
    ParentChanges() { qApp->installEventFilter(this); }
    ~ParentChanges() override { qApp->removeEventFilter(this); }
    int count = 0;

protected:
    // Only the controls' own widgets count.
    bool eventFilter(QObject* o, QEvent* e) override {
        const auto* w = qobject_cast<QWidget*>(o);
        if (e->type() == QEvent::ParentChange && w)
            if (const TControl* c = TControl::FromWidget(w); c && c->Widget() == w)
                ++count;
        return false;
    }
};

TEST_F(WindowPartsTest, AboutOneWidgetPerControlAndListsDropOnAClick) {
    main->Show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(main->Widget()->windowHandle()));
    int controls = 0;
    TPkComboBox* showing = nullptr;
    Walk(*main, [&](TControl&) { ++controls; });
    QWidget* window = main->Widget()->window();
    const int widgets = static_cast<int>(window->findChildren<QWidget*>().size()) + 1;
    EXPECT_LE(widgets, controls * 12 / 10) << widgets << " widgets for " << controls << " controls";

    // The output pages hold the band tables and their combo boxes: open one by its page button.
    auto* page = dynamic_cast<TControl*>(main->FindComponent("pkbMenuOut1"));
    ASSERT_NE(page, nullptr);
    const QPoint at = page->Widget()->mapTo(window, QPoint(page->Width() / 2, page->Height() / 2));
    QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {}, at);
    Walk(*main, [&](TControl& c) {
        if (auto* cb = dynamic_cast<TPkComboBox*>(&c); cb && !showing && cb->Showing() && cb->Enabled())
            showing = cb;
    });
    ASSERT_NE(showing, nullptr);
    EXPECT_FALSE(showing->HasListView());
    auto* combo = static_cast<QComboBox*>(showing->Widget());
    const QPoint button = combo->mapTo(window, QPoint(combo->width() - 6, combo->height() / 2));
    QTest::mousePress(window->windowHandle(), Qt::LeftButton, {}, button);
    QTest::mouseRelease(window->windowHandle(), Qt::LeftButton, {}, button);
    ASSERT_TRUE(showing->DroppedDown()) << "a click drops the list";
    QTest::keyClick(showing->ListView()->window()->windowHandle(), Qt::Key_Escape);
    EXPECT_FALSE(showing->DroppedDown());

    QPointer<QWidget> gone = window;
    ParentChanges moves;
    delete main;
    main = nullptr;
    EXPECT_TRUE(gone.isNull());
    EXPECT_EQ(moves.count, 0) << "controls' widgets moved out of the closing window";
}

} // namespace
