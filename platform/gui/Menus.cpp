#include "platform/gui/Menus.h"
#include "platform/gui/WidgetBridge.h"

#include "platform/gui/Forms.h"

#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>

#include <algorithm>

namespace kv {

KV_REGISTER_CLASS(TMenuItem, TComponent, b) {
    b.Prop("Caption", &TMenuItem::Caption, &TMenuItem::SetCaption);
    b.Prop("Checked", &TMenuItem::Checked, &TMenuItem::SetChecked).Default(false);
    b.Prop("Enabled", &TMenuItem::Enabled, &TMenuItem::SetEnabled).Default(true);
    b.Prop("GroupIndex", &TMenuItem::GroupIndex, &TMenuItem::SetGroupIndex).Default(0);
    b.Prop("Hint", &TMenuItem::Hint, &TMenuItem::SetHint);
    b.Prop("RadioItem", &TMenuItem::RadioItem, &TMenuItem::SetRadioItem).Default(false);
    b.Prop("ShortCut", &TMenuItem::ShortCut, &TMenuItem::SetShortCut).Default(0);
    b.Prop("Visible", &TMenuItem::Visible, &TMenuItem::SetVisible).Default(true);
    b.Event("OnClick", &TMenuItem::OnClick);
}

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner) {}

TMenuItem::~TMenuItem() {
    Destroying();
    if (FParent)
        FParent->Remove(this);
    // Sub-items owned by someone else stay alive but leave the tree.
    while (!FItems.empty()) {
        TMenuItem* i = FItems.back();
        FItems.pop_back();
        i->FParent = nullptr;
        if (!i->Owner())
            delete i;
    }
}

void TMenuItem::Changed() {
    for (TMenuItem* i = this; i; i = i->FParent)
        if (i->FMenu) {
            i->FMenu->Changed();
            return;
        }
}

void TMenuItem::SetCaption(const std::string& v) {
    FCaption = v;
    Changed();
}

void TMenuItem::SetChecked(bool v) {
    if (v == FChecked)
        return;
    FChecked = v;
    // Radio items of a group exclude each other.
    if (v && FRadioItem && FParent)
        for (TMenuItem* s : FParent->FItems)
            if (s != this && s->FRadioItem && s->FGroupIndex == FGroupIndex)
                s->FChecked = false;
    Changed();
}

void TMenuItem::SetEnabled(bool v) {
    FEnabled = v;
    Changed();
}

void TMenuItem::SetVisible(bool v) {
    FVisible = v;
    Changed();
}

void TMenuItem::Add(TMenuItem* item) {
    Insert(Count(), item);
}

void TMenuItem::Insert(int index, TMenuItem* item) {
    if (!item || item == this)
        return;
    if (item->FParent)
        item->FParent->Remove(item);
    index = std::clamp(index, 0, Count());
    FItems.insert(FItems.begin() + index, item);
    item->FParent = this;
    Changed();
}

void TMenuItem::Remove(TMenuItem* item) {
    auto it = std::find(FItems.begin(), FItems.end(), item);
    if (it == FItems.end())
        return;
    FItems.erase(it);
    item->FParent = nullptr;
    if (!IsDestroying())
        Changed();
}

int TMenuItem::IndexOf(const TMenuItem* item) const {
    auto it = std::find(FItems.begin(), FItems.end(), item);
    return it == FItems.end() ? -1 : static_cast<int>(it - FItems.begin());
}

void TMenuItem::Click() {
    if (OnClick)
        OnClick(this);
}

void TMenuItem::FillMenu(QMenu* menu) {
    for (TMenuItem* item : FItems) {
        if (!item->FVisible)
            continue;
        if (item->IsLine()) {
            menu->addSeparator();
            continue;
        }
        if (item->Count() > 0) {
            QMenu* sub = menu->addMenu(QString::fromStdString(item->FCaption));
            sub->setEnabled(item->FEnabled);
            item->FillMenu(sub);
            continue;
        }
        QAction* a = menu->addAction(QString::fromStdString(item->FCaption));
        a->setEnabled(item->FEnabled);
        a->setCheckable(item->FChecked || item->FRadioItem);
        a->setChecked(item->FChecked);
        QObject::connect(a, &QAction::triggered, a, [item] { Guarded([item] { item->Click(); }); });
    }
}

KV_REGISTER_CLASS(TMenu, TComponent, b) {}

TMenu::TMenu(TComponent* owner) : TComponent(owner), FItems(new TMenuItem(nullptr)) {
    FItems->FMenu = this;
}

TMenu::~TMenu() {
    Destroying();
    delete FItems;
}

KV_REGISTER_CLASS(TMainMenu, TMenu, b) {}

void TMainMenu::FillMenuBar(QMenuBar* bar) {
    for (int i = 0; i < Items()->Count(); ++i) {
        TMenuItem* item = Items()->Items(i);
        if (!item->Visible())
            continue;
        if (item->Count() == 0) {
            QAction* a = bar->addAction(QString::fromStdString(item->Caption()));
            a->setEnabled(item->Enabled());
            QObject::connect(a, &QAction::triggered, a, [item] { Guarded([item] { item->Click(); }); });
            continue;
        }
        QMenu* m = bar->addMenu(QString::fromStdString(item->Caption()));
        m->setEnabled(item->Enabled());
        item->FillMenu(m);
    }
}

void TMainMenu::Changed() {
    if (auto* form = dynamic_cast<TCustomForm*>(Owner()))
        if (form->Menu() == this && !IsLoading())
            form->MenuChanged();
}

KV_REGISTER_CLASS(TPopupMenu, TMenu, b) {
    b.Event("OnPopup", &TPopupMenu::OnPopup);
}

TPopupMenu::~TPopupMenu() {
    delete FMenu;
}

void TPopupMenu::Popup(int x, int y) {
    if (OnPopup)
        OnPopup(this);
    delete FMenu;
    FMenu = new QMenu;
    Items()->FillMenu(FMenu);
    FMenu->popup(QPoint(x, y));
}

} // namespace kv
