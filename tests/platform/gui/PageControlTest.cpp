// The page control: pages turned from code raise no change event, the user's tab choice does; hidden
// tabs leave their page in place; removing or hiding the shown page turns to a neighbour; layouts
// create it with its pages and shown page.

#include "platform/gui/PageControl.h"
#include "platform/gui/Forms.h"
#include "platform/gui/Layout.h"
#include "platform/gui/StdCtrls.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QTabBar>

#include <string>
#include <vector>

using namespace kv;

namespace {

struct Pages {
    explicit Pages(int n) {
        pc.SetBounds(0, 0, 240, 160);
        pc.OnChange = [this](TObject*) { changes.push_back(pc.ActivePageIndex()); };
        for (int i = 0; i < n; ++i) {
            auto* s = new TTabSheet(&pc);
            s->SetCaption("Page " + std::to_string(i));
            s->SetPageControl(&pc);
            sheets.push_back(s);
        }
    }
    // A press on the tab at tabIndex, as the user makes it.
    void ClickTab(int tabIndex) {
        QTabBar* bar = pc.TabBar();
        const QPointF at = bar->tabRect(tabIndex).center();
        QMouseEvent press(QEvent::MouseButtonPress, at, bar->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        QApplication::sendEvent(bar, &press);
        QMouseEvent release(QEvent::MouseButtonRelease, at, bar->mapToGlobal(at), Qt::LeftButton,
                            Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(bar, &release);
    }
    std::vector<int> Shown() const {
        std::vector<int> out;
        for (int i = 0; i < pc.PageCount(); ++i)
            if (pc.Pages(i)->Visible())
                out.push_back(i);
        return out;
    }
    TPageControl pc{nullptr};
    std::vector<TTabSheet*> sheets;
    std::vector<int> changes;
};

} // namespace

TEST(PageControl, PagesTurnedFromCodeShowOnePageAndRaiseNoChange) {
    Pages p(3);
    EXPECT_EQ(p.pc.PageCount(), 3);
    EXPECT_EQ(p.sheets[2]->PageIndex(), 2);
    EXPECT_EQ(p.pc.ActivePageIndex(), -1);
    EXPECT_TRUE(p.Shown().empty());

    for (int i : {1, 2, 0}) {
        p.pc.SetActivePageIndex(i);
        EXPECT_EQ(p.pc.ActivePageIndex(), i);
        EXPECT_EQ(p.Shown(), std::vector<int>{i});
        EXPECT_EQ(p.pc.TabBar()->currentIndex(), i);
    }
    // Out of range shows no page.
    for (int i : {3, -1}) {
        p.pc.SetActivePageIndex(0);
        p.pc.SetActivePageIndex(i);
        EXPECT_EQ(p.pc.ActivePage(), nullptr) << i;
        EXPECT_TRUE(p.Shown().empty()) << i;
    }
    // A page of another control is not taken.
    Pages other(1);
    p.pc.SetActivePageIndex(1);
    p.pc.SetActivePage(other.sheets[0]);
    EXPECT_EQ(p.pc.ActivePageIndex(), 1);
    EXPECT_TRUE(p.changes.empty());

    // The pages cover the area below the tabs.
    const TRect d = p.pc.DisplayRect();
    EXPECT_GT(d.Top, 10);
    EXPECT_EQ(p.sheets[1]->BoundsRect(), d);
}

TEST(PageControl, TheUsersTabChoiceRaisesChangeAndHiddenTabsAreSkipped) {
    Pages p(3);
    p.sheets[1]->SetTabVisible(false);
    ASSERT_EQ(p.pc.TabBar()->count(), 2);
    EXPECT_EQ(p.pc.TabBar()->tabText(1).toStdString(), "Page 2");
    p.pc.SetActivePageIndex(0);

    p.ClickTab(1); // the second tab is the third page
    EXPECT_EQ(p.pc.ActivePageIndex(), 2);
    EXPECT_EQ(p.Shown(), std::vector<int>{2});
    p.ClickTab(1); // the shown tab again: no change
    p.ClickTab(0);
    EXPECT_EQ(p.changes, (std::vector<int>{2, 0}));

    // A page without a tab is still a page and can be shown from code.
    p.pc.SetActivePageIndex(1);
    EXPECT_EQ(p.pc.ActivePageIndex(), 1);
    EXPECT_EQ(p.Shown(), std::vector<int>{1});
    // Captions follow into the tabs.
    p.sheets[2]->SetCaption("Data View");
    EXPECT_EQ(p.pc.TabBar()->tabText(1).toStdString(), "Data View");
    EXPECT_EQ(p.changes.size(), 2u);
}

TEST(PageControl, RemovingOrHidingTheShownPageTurnsToANeighbour) {
    struct Case {
        const char* what;
        int shown;
        bool hideTab; // else the page is destroyed
        int expected; // index after the change
    };
    for (const Case& c : {Case{"hide middle", 1, true, 2}, Case{"hide last", 3, true, 2},
                          Case{"delete middle", 1, false, 1}, Case{"delete last", 3, false, 0}}) {
        Pages p(4);
        p.pc.SetActivePageIndex(c.shown);
        TTabSheet* next = nullptr;
        if (c.hideTab) {
            p.sheets[static_cast<std::size_t>(c.shown)]->SetTabVisible(false);
            next = p.pc.Pages(c.expected);
        } else {
            next = p.pc.Pages(c.expected + (c.expected >= c.shown ? 1 : 0));
            delete p.sheets[static_cast<std::size_t>(c.shown)];
        }
        EXPECT_EQ(p.pc.ActivePage(), next) << c.what;
        EXPECT_TRUE(next->Visible()) << c.what;
        EXPECT_EQ(p.pc.PageCount(), c.hideTab ? 4 : 3) << c.what;
        EXPECT_TRUE(p.changes.empty()) << c.what;
    }
    // The only page gone: none shown; pages moved to another control leave this one.
    Pages one(1);
    one.pc.SetActivePageIndex(0);
    Pages other(0);
    one.sheets[0]->SetPageControl(&other.pc);
    EXPECT_EQ(one.pc.PageCount(), 0);
    EXPECT_EQ(one.pc.ActivePageIndex(), -1);
    EXPECT_EQ(other.pc.PageCount(), 1);
    EXPECT_EQ(one.sheets[0]->PageIndex(), 0);
}

TEST(PageControl, LayoutsCreateItWithItsPagesAndShownPage) {
    RegisterStandardClasses();
    TForm f(nullptr);
    const auto problems =
        ReadLayout("object fmP: TForm\n"
                   "  Width = 320\n  Height = 240\n"
                   "  object PageControl: TPageControl\n"
                   "    Width = 300\n    Height = 200\n"
                   "    ActivePage = BTabSheet\n"
                   "    object ATabSheet: TTabSheet\n      Caption = \"General\"\n    end\n"
                   "    object HiddenTabSheet: TTabSheet\n      TabVisible = False\n    end\n"
                   "    object BTabSheet: TTabSheet\n      Caption = \"Data View\"\n"
                   "      object lb: TLabel\n        Caption = \"on page B\"\n      end\n"
                   "    end\n"
                   "  end\n"
                   "end\n",
                   f);
    EXPECT_TRUE(problems.empty()) << problems.front();
    auto* pc = dynamic_cast<TPageControl*>(f.FindComponent("PageControl"));
    ASSERT_NE(pc, nullptr);
    ASSERT_EQ(pc->PageCount(), 3);
    EXPECT_EQ(pc->Pages(1)->Name(), "HiddenTabSheet");
    EXPECT_FALSE(pc->Pages(1)->TabVisible());
    EXPECT_EQ(pc->ActivePageIndex(), 2);
    EXPECT_EQ(pc->TabBar()->count(), 2);
    EXPECT_EQ(pc->TabBar()->currentIndex(), 1);
    EXPECT_EQ(WriteLayout(f).find("TabVisible = False") != std::string::npos, true);
    // The shown page paints over the control, with its label on it.
    QImage img = pc->RenderToImage();
    img.save(QString::fromStdString(::testing::TempDir() + "kv-pagecontrol.png"));
    const TRect d = pc->DisplayRect();
    EXPECT_EQ(img.pixel(d.Left + 150, d.Bottom - 5) & 0xFFFFFFu, ToQRgb(clBtnFace) & 0xFFFFFFu);
}
