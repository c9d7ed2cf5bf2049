#pragma once
// Main and popup menus. Menu items are components of the form; their tree is kept here and shown
// through Qt menus built from it.

#include "platform/gui/Controls.h"

class QMenu;
class QMenuBar;
class QAction;

namespace kv {

class TMenu;

class TMenuItem : public TComponent {
    KV_CLASS(TMenuItem)
public:
    explicit TMenuItem(TComponent* owner);
    ~TMenuItem() override;

    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& v);
    bool Checked() const { return FChecked; }
    void SetChecked(bool v);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool v);
    bool Visible() const { return FVisible; }
    void SetVisible(bool v);
    bool RadioItem() const { return FRadioItem; }
    void SetRadioItem(bool v) { FRadioItem = v; }
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int v) { FGroupIndex = v; }
    int ShortCut() const { return FShortCut; }
    void SetShortCut(int v) { FShortCut = v; }
    const std::string& Hint() const { return FHint; }
    void SetHint(const std::string& v) { FHint = v; }

    int Count() const { return static_cast<int>(FItems.size()); }
    TMenuItem* Items(int index) const { return FItems.at(static_cast<std::size_t>(index)); }
    TMenuItem* Parent() const { return FParent; }
    void Add(TMenuItem* item);
    void Insert(int index, TMenuItem* item);
    void Remove(TMenuItem* item);
    int IndexOf(const TMenuItem* item) const;
    bool IsLine() const { return FCaption == "-"; }

    // Runs the item's action as a user's choice would: a radio item gets checked, then OnClick.
    virtual void Click();
    TNotifyEvent OnClick;

    void FillMenu(QMenu* menu);

private:
    void Changed();
    std::string FCaption;
    bool FChecked = false, FEnabled = true, FVisible = true, FRadioItem = false;
    int FGroupIndex = 0, FShortCut = 0;
    std::string FHint;
    std::vector<TMenuItem*> FItems;
    TMenuItem* FParent = nullptr;
    TMenu* FMenu = nullptr;
    friend class TMenu;
};

class TMenu : public TComponent {
    KV_CLASS(TMenu)
public:
    explicit TMenu(TComponent* owner);
    ~TMenu() override;
    TMenuItem* Items() const { return FItems; }
    virtual void Changed() {}

private:
    TMenuItem* FItems;
};

class TMainMenu : public TMenu {
    KV_CLASS(TMainMenu)
public:
    explicit TMainMenu(TComponent* owner) : TMenu(owner) {}
    void FillMenuBar(QMenuBar* bar);
    void Changed() override;
};

class TPopupMenu : public TMenu {
    KV_CLASS(TPopupMenu)
public:
    explicit TPopupMenu(TComponent* owner) : TMenu(owner) {}
    ~TPopupMenu() override;
    // Shows the menu at a screen position; returns at once, the choice arrives as the item's click.
    void Popup(int x, int y);
    TObject* PopupComponent() const { return FPopupComponent; }
    void SetPopupComponent(TObject* c) { FPopupComponent = c; }
    TNotifyEvent OnPopup;

private:
    TObject* FPopupComponent = nullptr;
    QMenu* FMenu = nullptr;
};

} // namespace kv
