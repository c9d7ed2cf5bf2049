#pragma once
// A tree view: nodes with a text and a picture of an image list, optionally kept sorted by text.

#include "platform/gui/Controls.h"

#include <memory>
#include <string>
#include <vector>

class QIcon;
class QTreeWidgetItem;

namespace kv {

class TImageList;
class TTreeView;
class TTreeNodes;

class TTreeNode {
public:
    ~TTreeNode();
    TTreeNode(const TTreeNode&) = delete;
    TTreeNode& operator=(const TTreeNode&) = delete;

    const std::string& Text() const { return FText; }
    void SetText(const std::string& v);
    // The picture of the tree's image list; -1: none.
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int v);
    TTreeNode* Parent() const { return FParent; }
    // The children in the order shown.
    int Count() const { return static_cast<int>(FChildren.size()); }
    TTreeNode* Item(int index) const { return FChildren.at(static_cast<std::size_t>(index)).get(); }
    bool HasChildren() const { return !FChildren.empty(); }
    // The position among its siblings.
    int Index() const;
    bool Expanded() const;
    void SetExpanded(bool v);

private:
    friend class TTreeNodes;
    friend class TTreeView;
    TTreeNode(TTreeNodes* owner, TTreeNode* parent, std::string text);
    void UpdateIcon();

    TTreeNodes* FOwner;
    TTreeNode* FParent;
    std::string FText;
    int FImageIndex = -1;
    std::vector<std::unique_ptr<TTreeNode>> FChildren;
    QTreeWidgetItem* FItem = nullptr;
};

// The nodes of a tree view.
class TTreeNodes {
public:
    explicit TTreeNodes(TTreeView* view) : FView(view) {}
    ~TTreeNodes();
    TTreeNodes(const TTreeNodes&) = delete;
    TTreeNodes& operator=(const TTreeNodes&) = delete;

    // A new last sibling of `sibling` (a root node when it is nullptr or a root); in a sorted tree
    // it goes to its place by text.
    TTreeNode* Add(TTreeNode* sibling, const std::string& text);
    // A new last child of `parent` (a root node when nullptr); sorted as Add.
    TTreeNode* AddChild(TTreeNode* parent, const std::string& text);
    void Delete(TTreeNode* node);
    void Clear();
    // The root nodes.
    int RootCount() const { return static_cast<int>(FRoots.size()); }
    TTreeNode* Root(int index) const { return FRoots.at(static_cast<std::size_t>(index)).get(); }
    // All nodes.
    int Count() const;
    // The first node (depth first) with that text, or nullptr.
    TTreeNode* Find(const std::string& text) const;
    TTreeView* Owner() const { return FView; }

private:
    friend class TTreeNode;
    friend class TTreeView;
    TTreeNode* Insert(TTreeNode* parent, const std::string& text);
    std::vector<std::unique_ptr<TTreeNode>>& Siblings(TTreeNode* parent) {
        return parent ? parent->FChildren : FRoots;
    }
    void Resort(TTreeNode* parent);

    TTreeView* FView;
    std::vector<std::unique_ptr<TTreeNode>> FRoots;
};

enum class TSortType { stNone, stData, stText, stBoth };
std::vector<std::string> EnumIdents(TSortType);

class TTreeView : public TWinControl {
    KV_CLASS(TTreeView)
public:
    explicit TTreeView(TComponent* owner);
    ~TTreeView() override;

    TTreeNodes* Items() const { return FItems.get(); }
    // The pictures of the nodes; the list must outlive the tree or be unset first. nullptr: none.
    TImageList* Images() const { return FImages; }
    void SetImages(TImageList* v);
    // stText (or stBoth) keeps the siblings ordered by text, without regard to case.
    TSortType SortType() const { return FSortType; }
    void SetSortType(TSortType v);
    bool Sorted() const { return FSortType == TSortType::stText || FSortType == TSortType::stBoth; }
    // Read-only: the user cannot edit node texts.
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool v);
    TTreeNode* Selected() const;
    void SetSelected(TTreeNode* node);
    void FullExpand();

private:
    friend class TTreeNode;
    friend class TTreeNodes;
    QIcon IconOf(int imageIndex) const;

    std::unique_ptr<TTreeNodes> FItems;
    TImageList* FImages = nullptr;
    TSortType FSortType = TSortType::stNone;
    bool FReadOnly = false;
};

} // namespace kv
