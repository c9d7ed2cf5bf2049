#include "platform/gui/TreeView.h"

#include "platform/gui/ImageList.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QTreeWidget>

#include <string>
#include <vector>

using namespace kv;

namespace {

std::vector<std::string> TvtTexts(const TTreeView& tree, const TTreeNode* parent) {
    std::vector<std::string> out;
    const int n = parent ? parent->Count() : tree.Items()->RootCount();
    for (int i = 0; i < n; ++i)
        out.push_back((parent ? parent->Item(i) : tree.Items()->Root(i))->Text());
    return out;
}

// What the Qt widget shows, in its order.
std::vector<std::string> TvtShown(const TTreeView& tree, const TTreeNode* parent) {
    auto* w = static_cast<QTreeWidget*>(tree.Widget());
    std::vector<std::string> out;
    if (!parent) {
        for (int i = 0; i < w->topLevelItemCount(); ++i)
            out.push_back(w->topLevelItem(i)->text(0).toStdString());
        return out;
    }
    // The shown children of the root at the node's index.
    QTreeWidgetItem* item = w->topLevelItem(parent->Index());
    for (int i = 0; i < item->childCount(); ++i)
        out.push_back(item->child(i)->text(0).toStdString());
    return out;
}

TEST(TreeView, KeepsNodesInInsertionOrderUnlessSortedByText) {
    TTreeView tree(nullptr);
    tree.Items()->Add(nullptr, "beta");
    TTreeNode* alpha = tree.Items()->Add(nullptr, "Alpha");
    tree.Items()->AddChild(alpha, "z");
    tree.Items()->AddChild(alpha, "a");
    EXPECT_EQ(TvtTexts(tree, nullptr), (std::vector<std::string>{"beta", "Alpha"}));

    // Sorting orders every level, without regard to case, and the widget shows the same order.
    tree.SetSortType(TSortType::stText);
    EXPECT_EQ(TvtTexts(tree, nullptr), (std::vector<std::string>{"Alpha", "beta"}));
    EXPECT_EQ(TvtShown(tree, nullptr), TvtTexts(tree, nullptr));
    EXPECT_EQ(TvtTexts(tree, alpha), (std::vector<std::string>{"a", "z"}));
    EXPECT_EQ(TvtShown(tree, alpha), TvtTexts(tree, alpha));

    // New nodes go to their place; a renamed node moves.
    tree.Items()->Add(alpha, "Gamma");
    TTreeNode* m = tree.Items()->AddChild(alpha, "M");
    EXPECT_EQ(TvtTexts(tree, nullptr), (std::vector<std::string>{"Alpha", "beta", "Gamma"}));
    EXPECT_EQ(TvtTexts(tree, alpha), (std::vector<std::string>{"a", "M", "z"}));
    m->SetText("zz");
    EXPECT_EQ(TvtTexts(tree, alpha), (std::vector<std::string>{"a", "z", "zz"}));
    EXPECT_EQ(TvtShown(tree, alpha), TvtTexts(tree, alpha));
    EXPECT_EQ(m->Parent(), alpha);
    EXPECT_EQ(m->Index(), 2);
    EXPECT_EQ(tree.Items()->Count(), 6);
}

TEST(TreeView, ClearAndDeleteTakeTheNodesOutOfTheWidget) {
    TTreeView tree(nullptr);
    TTreeNode* root = tree.Items()->Add(nullptr, "Root");
    TTreeNode* child = tree.Items()->AddChild(root, "Child");
    tree.Items()->AddChild(child, "Grandchild");
    tree.SetSelected(child);
    EXPECT_EQ(tree.Selected(), child);
    EXPECT_EQ(tree.Items()->Find("Grandchild")->Parent(), child);
    tree.Items()->Delete(child);
    EXPECT_EQ(root->Count(), 0);
    EXPECT_EQ(static_cast<QTreeWidget*>(tree.Widget())->topLevelItem(0)->childCount(), 0);
    EXPECT_EQ(tree.Selected(), root); // the selection moves to a live node
    tree.Items()->Clear();
    EXPECT_EQ(tree.Items()->Count(), 0);
    EXPECT_EQ(static_cast<QTreeWidget*>(tree.Widget())->topLevelItemCount(), 0);
}

TEST(TreeView, ShowsThePicturesOfItsImageListAndCanBeReadOnly) {
    TImageList images(16, 16);
    TBitmap picture(16, 16);
    picture.Canvas()->Brush()->SetColor(clRed);
    picture.Canvas()->FillRect(TRect{0, 0, 16, 16});
    images.Add(picture, clNone);

    TTreeView tree(nullptr);
    TTreeNode* node = tree.Items()->Add(nullptr, "Node");
    node->SetImageIndex(0);
    auto* item = static_cast<QTreeWidget*>(tree.Widget())->topLevelItem(0);
    EXPECT_TRUE(item->icon(0).isNull()); // no list yet
    tree.SetImages(&images);
    EXPECT_FALSE(item->icon(0).isNull());
    node->SetImageIndex(5); // outside the list: none
    EXPECT_TRUE(item->icon(0).isNull());

    EXPECT_NE(static_cast<QTreeWidget*>(tree.Widget())->editTriggers(), QAbstractItemView::NoEditTriggers);
    tree.SetReadOnly(true);
    EXPECT_EQ(static_cast<QTreeWidget*>(tree.Widget())->editTriggers(), QAbstractItemView::NoEditTriggers);
    tree.SetImages(nullptr);
}

} // namespace
