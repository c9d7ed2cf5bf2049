// The main window's drop-down lists under the mouse, through the window system's path: a click opens a
// slope list or a band row's type list and leaves it open, a click on an item picks it and sends what
// a pick sends, the wheel changes nothing.

#include "tests/editors/EditorFixture.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QTest>
#include <QWheelEvent>
#include <QWindow>

#include <vector>

namespace {

using namespace editortest;

class ListClicksTest : public EditorFixture {
protected:
    // A click as the window system delivers it: to the window under the mouse, which hands it on (to the
    // open list while one is open).
    static void ClickAt(QWidget* widget, QPoint at) {
        QWindow* window = widget->window()->windowHandle();
        const QPoint p = widget->mapTo(widget->window(), at);
        QTest::mousePress(window, Qt::LeftButton, {}, p);
        QTest::mouseRelease(window, Qt::LeftButton, {}, p);
    }
    static void ClickControl(kv::TControl& c) { ClickAt(c.Widget(), {c.Width() / 2, c.Height() / 2}); }
    // Two clicks: the list's drop button, then the item, scrolled into view first as the user would.
    static void ClickPick(kv::TPkComboBox& list, int item) {
        auto* combo = static_cast<QComboBox*>(list.Widget());
        ClickAt(combo, {list.Width() - 8, list.Height() / 2});
        ASSERT_TRUE(list.DroppedDown()) << "the first click leaves the list open";
        QAbstractItemView* view = combo->view();
        const QModelIndex index = view->model()->index(item, 0);
        view->scrollTo(index);
        ClickAt(view->viewport(), view->visualRect(index).center());
        EXPECT_FALSE(list.DroppedDown());
    }
    // The commands that reached the unit since the last call.
    std::vector<kv::sim::Command> Sent() {
        Step(50);
        auto out = unit.Received();
        unit.ClearReceived();
        return out;
    }
    static bool SameCommands(const std::vector<kv::sim::Command>& a, const std::vector<kv::sim::Command>& b) {
        return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const auto& x, const auto& y) {
            return x.code == y.code && x.payload == y.payload;
        });
    }
};

TEST_F(ListClicksTest, TwoClicksPickASlopeAndABandTypeAndSendWhatAPickSends) {
    Connect();
    ShowPage("InA");
    auto& slope = Get<kv::TPkComboBox>("pkcLowCutSlopInA");
    // The high-pass starts bypassed: the user switches it on first.
    ClickControl(Get<kv::TPkBmpButton>("pkbLowCutBypassInA"));
    Sent();

    ClickPick(slope, 2);
    EXPECT_EQ(slope.Text(), "BW -12");
    const auto clicked = Sent();
    ASSERT_EQ(clicked.size(), 1u);
    EXPECT_EQ(clicked[0].code, kv::sim::code::HighPass);
    // InA, high-pass frequency index 0, slope code 3 (the third item).
    EXPECT_EQ(clicked[0].payload, (kv::sim::Bytes{0, 0, 0, 3}));
    EXPECT_EQ(Model().GetFilters(0).hpSlope, 3);
    // The same pick made by the list's own selection path sends the same.
    slope.UserPick(19);
    Sent();
    slope.UserPick(2);
    EXPECT_TRUE(SameCommands(Sent(), clicked));

    kv::TPkComboBox& type = *Table("InA").TypeList(0);
    ClickPick(type, 1);
    EXPECT_EQ(type.Text(), "Low Shelf");
    const auto typeClicked = Sent();
    // The shelf's Q written back into the row runs the band's change once more: the band goes twice.
    ASSERT_EQ(typeClicked.size(), 2u);
    for (const auto& c : typeClicked) {
        EXPECT_EQ(c.code, kv::sim::code::Peq);
        // InA band 1: gain 120 (0 dB), frequency index 41, Q index 10 (a shelf's 0.71), type 1, on.
        EXPECT_EQ(c.payload, (kv::sim::Bytes{0, 0, 120, 0, 41, 0, 10, 1, 0}));
    }
    EXPECT_EQ(Model().GetPeqBand(0, 0).type, 1);
    type.UserPick(0);
    Sent();
    type.UserPick(1);
    EXPECT_TRUE(SameCommands(Sent(), typeClicked));
    EXPECT_TRUE(ImagesAgree());
}

TEST_F(ListClicksTest, EscapeClosesAndTheWheelChangesNothing) {
    Connect();
    ShowPage("Out1");
    auto& slope = Get<kv::TPkComboBox>("pkcHighCutSlopOut1");
    const int before = slope.ItemIndex();
    ClickAt(slope.Widget(), {slope.Width() - 8, slope.Height() / 2});
    ASSERT_TRUE(slope.DroppedDown());
    QTest::keyClick(static_cast<QComboBox*>(slope.Widget())->view()->window()->windowHandle(),
                    Qt::Key_Escape);
    EXPECT_FALSE(slope.DroppedDown());

    for (int delta : {-120, 120, -120}) {
        const QPointF at(slope.Width() / 2.0, slope.Height() / 2.0);
        QWheelEvent wheel(at, slope.Widget()->mapToGlobal(at), {}, {0, delta}, Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(slope.Widget(), &wheel);
    }
    EXPECT_EQ(slope.ItemIndex(), before);
    EXPECT_TRUE(Sent().empty());
}

} // namespace
