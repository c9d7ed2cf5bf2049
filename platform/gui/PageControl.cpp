// A page control: tab sheets stacked in one area and a row of tabs that chooses the one shown.

#include "platform/gui/PageControl.h"

#include "platform/gui/StdCtrlsSupport.h"
#include "platform/gui/StdPanels.h"
#include "platform/gui/WidgetBridge.h"

#include <QFontMetrics>
#include <QTabBar>

#include <algorithm>

namespace kv {

// ---------------------------------------------------------------------------------------------------
// Tab sheet

KV_REGISTER_CLASS(TTabSheet, TCustomControl, b) {
    CaptionProp(b);
    FontProps(b);
    PopupProp(b);
    b.Prop("TabVisible", &TTabSheet::TabVisible, &TTabSheet::SetTabVisible).Default(true);
    b.Event("OnResize", &TControl::OnResize);
}

TTabSheet::TTabSheet(TComponent* owner) : TCustomControl(owner) {
    // A new page stays hidden until its control shows it.
    SetVisible(false);
}

TTabSheet::~TTabSheet() {
    if (FPageControl)
        FPageControl->RemovePage(this);
}

void TTabSheet::SetPageControl(TPageControl* pageControl) {
    SetParent(pageControl);
}

int TTabSheet::PageIndex() const {
    if (!FPageControl)
        return -1;
    const auto& pages = FPageControl->FPages;
    return static_cast<int>(std::find(pages.begin(), pages.end(), this) - pages.begin());
}

void TTabSheet::SetTabVisible(bool v) {
    if (v == FTabVisible)
        return;
    FTabVisible = v;
    if (FPageControl)
        FPageControl->TabVisibilityChanged(this);
}

void TTabSheet::SetParent(TWinControl* parent) {
    if (parent == FParent)
        return;
    if (FPageControl)
        FPageControl->RemovePage(this);
    TCustomControl::SetParent(parent);
    if (auto* pc = dynamic_cast<TPageControl*>(parent))
        pc->InsertPage(this);
}

void TTabSheet::SetBounds(int left, int top, int width, int height) {
    if (FPageControl) {
        const TRect r = FPageControl->DisplayRect();
        left = r.Left;
        top = r.Top;
        width = r.Width();
        height = r.Height();
    }
    TCustomControl::SetBounds(left, top, width, height);
}

void TTabSheet::TextChanged() {
    if (FPageControl)
        FPageControl->UpdateTabs();
}

// ---------------------------------------------------------------------------------------------------
// Page control

KV_REGISTER_CLASS(TPageControl, TCustomControl, b) {
    b.Ref("ActivePage", &TPageControl::ActivePage, &TPageControl::SetActivePage);
    FontProps(b);
    PopupProp(b);
    TabProps(b, true);
    b.Event("OnChange", &TPageControl::OnChange);
    b.Event("OnResize", &TControl::OnResize);
}

TPageControl::TPageControl(TComponent* owner) : TCustomControl(owner), FTabBar(new QTabBar(FWidget)) {
    FClickOnMouseUp = false;
    FTabBar->setExpanding(false);
    FTabBar->setDrawBase(false);
    FTabBar->setFocusPolicy(Qt::NoFocus);
    // A press on a tab and a keyboard turn both arrive here; turns made from code are filtered out.
    QObject::connect(FTabBar, &QTabBar::tabBarClicked, [this](int tab) { Guarded([&] { SelectTab(tab); }); });
    QObject::connect(FTabBar, &QTabBar::currentChanged, [this](int tab) {
        if (!FSyncingTabs)
            Guarded([&] { SelectTab(tab); });
    });
    FontChanged();
    SetBounds(0, 0, 289, 193);
}

TPageControl::~TPageControl() {
    // The pages die with the control's children after this part is gone: they must not call back.
    FTabBar->blockSignals(true);
    for (TTabSheet* p : FPages)
        p->FPageControl = nullptr;
    FPages.clear();
    FTabPages.clear();
    FActivePage = nullptr;
}

int TPageControl::ActivePageIndex() const {
    return FActivePage ? FActivePage->PageIndex() : -1;
}

void TPageControl::SetActivePageIndex(int index) {
    SetActivePage(index >= 0 && index < PageCount() ? Pages(index) : nullptr);
}

void TPageControl::SetActivePage(TTabSheet* page) {
    if (page && page->FPageControl != this)
        return;
    if (page != FActivePage) {
        TTabSheet* old = FActivePage;
        FActivePage = page;
        if (page) {
            page->SetBounds(0, 0, 0, 0); // placed by its control
            page->SetVisible(true);
            page->BringToFront();
        }
        if (old)
            old->SetVisible(false);
    }
    UpdateTabs();
}

void TPageControl::SelectTab(int tabIndex) {
    if (tabIndex < 0 || tabIndex >= static_cast<int>(FTabPages.size()))
        return;
    TTabSheet* page = FTabPages[static_cast<std::size_t>(tabIndex)];
    if (page == FActivePage)
        return;
    SetActivePage(page);
    if (OnChange)
        OnChange(this);
}

void TPageControl::InsertPage(TTabSheet* page) {
    page->FPageControl = this;
    FPages.push_back(page);
    page->SetBounds(0, 0, 0, 0);
    page->SetVisible(false);
    UpdateTabs();
}

void TPageControl::RemovePage(TTabSheet* page) {
    TTabSheet* next = nullptr;
    if (page == FActivePage) {
        // The next page with a tab after it, wrapping round; none when it was the only one.
        const auto n = FPages.size();
        const auto at = static_cast<std::size_t>(page->PageIndex());
        for (std::size_t k = 1; k < n && !next; ++k) {
            TTabSheet* p = FPages[(at + k) % n];
            if (p->FTabVisible)
                next = p;
        }
    } else {
        next = FActivePage;
    }
    std::erase(FPages, page);
    page->FPageControl = nullptr;
    if (page == FActivePage)
        FActivePage = nullptr;
    SetActivePage(next);
}

void TPageControl::TabVisibilityChanged(TTabSheet* page) {
    if (page == FActivePage && !page->FTabVisible) {
        // The tab at the same place takes over, or the last one when it was the last.
        const auto tab = std::find(FTabPages.begin(), FTabPages.end(), page) - FTabPages.begin();
        std::vector<TTabSheet*> rest;
        for (TTabSheet* p : FPages)
            if (p->FTabVisible)
                rest.push_back(p);
        TTabSheet* next = nullptr;
        if (!rest.empty())
            next = rest[static_cast<std::size_t>(std::min<std::ptrdiff_t>(tab, std::ssize(rest) - 1))];
        SetActivePage(next);
        return;
    }
    UpdateTabs();
}

void TPageControl::UpdateTabs() {
    FSyncingTabs = true;
    FTabPages.clear();
    for (TTabSheet* p : FPages)
        if (p->FTabVisible)
            FTabPages.push_back(p);
    while (FTabBar->count() > static_cast<int>(FTabPages.size()))
        FTabBar->removeTab(FTabBar->count() - 1);
    for (std::size_t i = 0; i < FTabPages.size(); ++i) {
        const int t = static_cast<int>(i);
        if (t < FTabBar->count())
            FTabBar->setTabText(t, Q(FTabPages[i]->Caption()));
        else
            FTabBar->addTab(Q(FTabPages[i]->Caption()));
    }
    const auto shown = std::find(FTabPages.begin(), FTabPages.end(), FActivePage);
    if (shown != FTabPages.end())
        FTabBar->setCurrentIndex(static_cast<int>(shown - FTabPages.begin()));
    FSyncingTabs = false;
    PlacePages();
}

int TPageControl::TabHeight() const {
    return FTabBar->count() > 0
               ? std::max(FTabBar->sizeHint().height(), QFontMetrics(FTabBar->font()).height() + 6)
               : 0;
}

TRect TPageControl::DisplayRect() const {
    const int top = TabHeight();
    return {4, top + 4, std::max(4, FWidth - 4), std::max(top + 4, FHeight - 4)};
}

void TPageControl::PlacePages() {
    FTabBar->setGeometry(0, 0, FWidth, TabHeight());
    FTabBar->setVisible(FTabBar->count() > 0);
    for (TTabSheet* p : FPages)
        p->SetBounds(0, 0, 0, 0);
    Invalidate();
}

void TPageControl::SetBounds(int left, int top, int width, int height) {
    TCustomControl::SetBounds(left, top, width, height);
    PlacePages();
}

void TPageControl::FontChanged() {
    TCustomControl::FontChanged();
    FTabBar->setFont(FFont->ToQFont());
    UpdateTabs();
}

void TPageControl::Paint(TCanvas& canvas) {
    // The raised frame round the page area, joined to the row of tabs.
    TRect r = DisplayRect();
    r = {r.Left - 2, r.Top - 2, r.Right + 2, r.Bottom + 2};
    Frame3D(canvas, r, clBtnHighlight, cl3DDkShadow, 1);
    Frame3D(canvas, r, clBtnFace, clBtnShadow, 1);
}

} // namespace kv
