// The tree view over Qt's tree widget: our nodes own the widget's items and keep the same order.

#include "platform/gui/TreeView.h"

#include "platform/gui/ImageList.h"
#include "platform/gui/PropGroups.h"
#include "platform/gui/StdCtrlsSupport.h"
#include "platform/gui/WidgetBridge.h"

#include <QHeaderView>
#include <QIcon>
#include <QPixmap>
#include <QTreeWidget>

#include <algorithm>
#include <cctype>

namespace kv {

std::vector<std::string> EnumIdents(TSortType) {
    return {"stNone", "stData", "stText", "stBoth"};
}

namespace {
QTreeWidget* TvWidget(const TTreeView* view) {
    return static_cast<QTreeWidget*>(view->Widget());
}

bool TvTextLess(const std::string& a, const std::string& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) < std::tolower(static_cast<unsigned char>(y));
    });
}
} // namespace

// ---------------------------------------------------------------------------------------------------
// Nodes

TTreeNode::TTreeNode(TTreeNodes* owner, TTreeNode* parent, std::string text)
    : FOwner(owner), FParent(parent), FText(std::move(text)) {
    FItem = new QTreeWidgetItem(QStringList{Q(FText)});
    FItem->setData(0, Qt::UserRole, QVariant::fromValue(reinterpret_cast<quintptr>(this)));
    // Whether the user may edit is the view's edit triggers' matter (ReadOnly).
    FItem->setFlags(FItem->flags() | Qt::ItemIsEditable);
}

TTreeNode::~TTreeNode() {
    FChildren.clear();
    delete FItem; // takes it out of the widget
}

void TTreeNode::SetText(const std::string& v) {
    if (v == FText)
        return;
    FText = v;
    FItem->setText(0, Q(v));
    if (FOwner->FView->Sorted())
        FOwner->Resort(FParent);
}

void TTreeNode::SetImageIndex(int v) {
    FImageIndex = v;
    UpdateIcon();
}

void TTreeNode::UpdateIcon() {
    FItem->setIcon(0, FOwner->FView->IconOf(FImageIndex));
    for (const auto& child : FChildren)
        child->UpdateIcon();
}

int TTreeNode::Index() const {
    const auto& siblings = FOwner->Siblings(FParent);
    for (std::size_t i = 0; i < siblings.size(); ++i)
        if (siblings[i].get() == this)
            return static_cast<int>(i);
    return -1;
}

bool TTreeNode::Expanded() const {
    return FItem->isExpanded();
}

void TTreeNode::SetExpanded(bool v) {
    FItem->setExpanded(v);
}

// ---------------------------------------------------------------------------------------------------
// Node list

TTreeNodes::~TTreeNodes() {
    Clear();
}

TTreeNode* TTreeNodes::Add(TTreeNode* sibling, const std::string& text) {
    return Insert(sibling ? sibling->FParent : nullptr, text);
}

TTreeNode* TTreeNodes::AddChild(TTreeNode* parent, const std::string& text) {
    return Insert(parent, text);
}

TTreeNode* TTreeNodes::Insert(TTreeNode* parent, const std::string& text) {
    auto& siblings = Siblings(parent);
    std::unique_ptr<TTreeNode> node(new TTreeNode(this, parent, text));
    TTreeNode* raw = node.get();
    auto pos = siblings.end();
    if (FView->Sorted())
        pos = std::upper_bound(siblings.begin(), siblings.end(), text,
                               [](const std::string& t, const auto& n) { return TvTextLess(t, n->FText); });
    const int index = static_cast<int>(pos - siblings.begin());
    siblings.insert(pos, std::move(node));
    if (parent)
        parent->FItem->insertChild(index, raw->FItem);
    else
        TvWidget(FView)->insertTopLevelItem(index, raw->FItem);
    raw->UpdateIcon();
    return raw;
}

void TTreeNodes::Delete(TTreeNode* node) {
    if (!node)
        return;
    auto& siblings = Siblings(node->FParent);
    siblings.erase(
        std::remove_if(siblings.begin(), siblings.end(), [node](const auto& n) { return n.get() == node; }),
        siblings.end());
}

void TTreeNodes::Clear() {
    while (!FRoots.empty())
        FRoots.pop_back();
}

int TTreeNodes::Count() const {
    int n = 0;
    std::vector<const TTreeNode*> stack;
    for (const auto& r : FRoots)
        stack.push_back(r.get());
    while (!stack.empty()) {
        const TTreeNode* node = stack.back();
        stack.pop_back();
        ++n;
        for (const auto& c : node->FChildren)
            stack.push_back(c.get());
    }
    return n;
}

TTreeNode* TTreeNodes::Find(const std::string& text) const {
    std::vector<TTreeNode*> stack;
    for (auto it = FRoots.rbegin(); it != FRoots.rend(); ++it)
        stack.push_back(it->get());
    while (!stack.empty()) {
        TTreeNode* node = stack.back();
        stack.pop_back();
        if (node->FText == text)
            return node;
        for (auto it = node->FChildren.rbegin(); it != node->FChildren.rend(); ++it)
            stack.push_back(it->get());
    }
    return nullptr;
}

void TTreeNodes::Resort(TTreeNode* parent) {
    auto& siblings = Siblings(parent);
    std::stable_sort(siblings.begin(), siblings.end(),
                     [](const auto& a, const auto& b) { return TvTextLess(a->FText, b->FText); });
    // The widget's items follow the new order; taking an item keeps its children and expansion.
    for (int i = 0; i < static_cast<int>(siblings.size()); ++i) {
        QTreeWidgetItem* item = siblings[static_cast<std::size_t>(i)]->FItem;
        const bool expanded = item->isExpanded();
        if (parent) {
            parent->FItem->removeChild(item);
            parent->FItem->insertChild(i, item);
        } else {
            QTreeWidget* tree = TvWidget(FView);
            tree->takeTopLevelItem(tree->indexOfTopLevelItem(item));
            tree->insertTopLevelItem(i, item);
        }
        item->setExpanded(expanded);
    }
}

// ---------------------------------------------------------------------------------------------------
// Tree view

KV_REGISTER_CLASS(TTreeView, TWinControl, b) {
    ColorProps(b, clWindow, false);
    FontProps(b);
    PopupProp(b);
    b.Prop("ReadOnly", &TTreeView::ReadOnly, &TTreeView::SetReadOnly).Default(false);
    b.Prop("SortType", &TTreeView::SortType, &TTreeView::SetSortType).Default(TSortType::stNone);
    TabProps(b, true);
}

TTreeView::TTreeView(TComponent* owner)
    : TWinControl(owner, &NewBridge<QTreeWidget>), FItems(std::make_unique<TTreeNodes>(this)) {
    QTreeWidget* tree = TvWidget(this);
    tree->setHeaderHidden(true);
    tree->setColumnCount(1);
    tree->setSelectionMode(QAbstractItemView::SingleSelection);
    tree->setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed);
    // A text the user edited becomes the node's.
    QObject::connect(tree, &QTreeWidget::itemChanged, tree, [](QTreeWidgetItem* item, int) {
        if (auto* node = reinterpret_cast<TTreeNode*>(item->data(0, Qt::UserRole).value<quintptr>()))
            node->FText = S(item->text(0));
    });
    FColor = clWindow;
    SetTabStop(true);
    SetBounds(0, 0, 121, 97);
}

TTreeView::~TTreeView() {
    // The nodes delete their widget items while the widget still exists.
    FItems.reset();
}

void TTreeView::SetImages(TImageList* v) {
    FImages = v;
    if (v)
        TvWidget(this)->setIconSize(QSize(v->Width(), v->Height()));
    for (int i = 0; i < FItems->RootCount(); ++i)
        FItems->Root(i)->UpdateIcon();
}

void TTreeView::SetSortType(TSortType v) {
    if (v == FSortType)
        return;
    FSortType = v;
    if (!Sorted())
        return;
    // Every level takes the text order.
    std::vector<TTreeNode*> parents{nullptr};
    while (!parents.empty()) {
        TTreeNode* p = parents.back();
        parents.pop_back();
        FItems->Resort(p);
        for (const auto& c : FItems->Siblings(p))
            parents.push_back(c.get());
    }
}

void TTreeView::SetReadOnly(bool v) {
    FReadOnly = v;
    TvWidget(this)->setEditTriggers(v ? QAbstractItemView::NoEditTriggers
                                      : QAbstractItemView::SelectedClicked |
                                            QAbstractItemView::EditKeyPressed);
}

TTreeNode* TTreeView::Selected() const {
    QTreeWidgetItem* item = TvWidget(this)->currentItem();
    return item ? reinterpret_cast<TTreeNode*>(item->data(0, Qt::UserRole).value<quintptr>()) : nullptr;
}

void TTreeView::SetSelected(TTreeNode* node) {
    TvWidget(this)->setCurrentItem(node ? node->FItem : nullptr);
}

void TTreeView::FullExpand() {
    TvWidget(this)->expandAll();
}

QIcon TTreeView::IconOf(int imageIndex) const {
    if (!FImages || imageIndex < 0 || imageIndex >= FImages->Count())
        return {};
    return QIcon(QPixmap::fromImage(FImages->Image(imageIndex)));
}

} // namespace kv
