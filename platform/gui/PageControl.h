#pragma once
// A page control: tab sheets stacked in one area and a row of tabs that chooses the one shown.
//
// As in the old framework, turning pages from code (ActivePage, ActivePageIndex) raises no OnChange;
// only the user's choice of a tab does. A page whose tab is hidden stays a page (it counts in PageCount
// and can still be shown from code); hiding the shown page's tab, or removing the shown page, turns to a
// neighbouring page that has a tab.

#include "platform/gui/Controls.h"

#include <vector>

class QTabBar;

namespace kv {

class TPageControl;

class TTabSheet : public TCustomControl {
    KV_CLASS(TTabSheet)
public:
    explicit TTabSheet(TComponent* owner);
    ~TTabSheet() override;
    TPageControl* PageControl() const { return FPageControl; }
    void SetPageControl(TPageControl* pageControl);
    // The index among all pages of its control, -1 without one.
    int PageIndex() const;
    bool TabVisible() const { return FTabVisible; }
    void SetTabVisible(bool v);
    void SetParent(TWinControl* parent) override;
    // A page always covers its control's page area.
    void SetBounds(int left, int top, int width, int height) override;

protected:
    void TextChanged() override;

private:
    friend class TPageControl;
    TPageControl* FPageControl = nullptr;
    bool FTabVisible = true;
};

class TPageControl : public TCustomControl {
    KV_CLASS(TPageControl)
public:
    explicit TPageControl(TComponent* owner);
    ~TPageControl() override;

    int PageCount() const { return static_cast<int>(FPages.size()); }
    TTabSheet* Pages(int index) const { return FPages.at(static_cast<std::size_t>(index)); }
    TTabSheet* ActivePage() const { return FActivePage; }
    // Shows page (nullptr: none); a page of another control is ignored.
    void SetActivePage(TTabSheet* page);
    // -1 when no page is shown.
    int ActivePageIndex() const;
    // An index outside 0..PageCount-1 shows no page.
    void SetActivePageIndex(int index);
    // The area the pages cover, below the tabs.
    TRect DisplayRect() const;

    void SetBounds(int left, int top, int width, int height) override;
    void Paint(TCanvas& canvas) override;
    // The user's choice of the tab at tabIndex (among the shown tabs), as a click on it makes.
    void SelectTab(int tabIndex);
    QTabBar* TabBar() const { return FTabBar; }

    TNotifyEvent OnChange;

protected:
    void FontChanged() override;

private:
    friend class TTabSheet;
    void InsertPage(TTabSheet* page);
    void RemovePage(TTabSheet* page);
    void TabVisibilityChanged(TTabSheet* page);
    void UpdateTabs();
    void PlacePages();
    int TabHeight() const;
    std::vector<TTabSheet*> FPages;
    std::vector<TTabSheet*> FTabPages; // the pages that show a tab, in tab order
    TTabSheet* FActivePage = nullptr;
    QTabBar* FTabBar;
    bool FSyncingTabs = false;
};

} // namespace kv
