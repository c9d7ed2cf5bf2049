#include "plot/editors/gOPCExplorerForm.h"

#include "plot/opc/gOPCLibrary.h"
#include "plot/opc/gOPCManager.h"

#include <gtest/gtest.h>

#include <QImage>

#include <string>
#include <vector>

using namespace kv;

namespace {

// The explorer as ExplorerShow opens it, with the errors the application would show recorded.
class OxExplorer : public ::testing::Test {
protected:
    void SetUp() override {
        gRegisterOPCExplorer();
        Application->OnException = [this](const std::string& m) { shownErrors.push_back(m); };
    }
    void TearDown() override {
        delete gOPCExplorerWindow();
        Application->OnException = nullptr;
        gSetOPCExplorerRunner(nullptr);
        OPCReleaseLibrary();
    }
    // The texts of the nodes under `parent` (the roots for nullptr), in the order shown.
    static std::vector<std::string> Texts(TTreeView& tree, TTreeNode* parent) {
        std::vector<std::string> out;
        const int n = parent ? parent->Count() : tree.Items()->RootCount();
        for (int i = 0; i < n; ++i)
            out.push_back((parent ? parent->Item(i) : tree.Items()->Root(i))->Text());
        return out;
    }
    std::vector<std::string> shownErrors;
};

TEST_F(OxExplorer, WithoutTheLibraryTheUserSeesTheMessageAndNoWindow) {
    OPCReleaseLibrary();
    ASSERT_TRUE(OPCLibraryMissing());
    TgOPCManager manager(nullptr);
    manager.ExplorerShow();
    EXPECT_EQ(shownErrors, std::vector<std::string>{"Tarvek OPC DLL Not Found."});
    ASSERT_NE(gOPCExplorerWindow(), nullptr);
    EXPECT_FALSE(gOPCExplorerWindow()->Visible());
    // Asked again: the same message, still no window.
    manager.ExplorerShow();
    EXPECT_EQ(shownErrors.size(), 2u);
    EXPECT_FALSE(gOPCExplorerWindow()->Visible());
}

TEST_F(OxExplorer, ListsTheLibrarysServerConnections) {
    ASSERT_TRUE(OPCLoadLibrary(KV_FAKEOPC_PATH));
    TgOPCManager manager(nullptr);
    manager.ExplorerShow();
    EXPECT_TRUE(shownErrors.empty());
    TgOPCExplorerForm* form = gOPCExplorerWindow();
    ASSERT_NE(form, nullptr);
    EXPECT_TRUE(form->Visible());
    EXPECT_EQ(form->Owner(), Application);

    TTreeView& tree = *form->TreeView;
    // Sorted by text: "Groups" comes first.
    ASSERT_EQ(Texts(tree, nullptr), (std::vector<std::string>{"Groups", "Servers Connections"}));
    TTreeNode* groups = tree.Items()->Root(0);
    TTreeNode* servers = tree.Items()->Root(1);
    EXPECT_EQ(groups->ImageIndex(), 1);
    EXPECT_EQ(servers->ImageIndex(), 0);
    EXPECT_EQ(groups->Count(), 0);
    EXPECT_EQ(Texts(tree, servers), (std::vector<std::string>{"Server0", "Server1"}));
    EXPECT_EQ(servers->Item(0)->ImageIndex(), 2);

    // Shown again: the same window, refreshed rather than filled twice.
    manager.ExplorerShow();
    EXPECT_EQ(gOPCExplorerWindow(), form);
    EXPECT_EQ(tree.Items()->Count(), 4);

    const QImage shot = form->RenderToImage();
    shot.save(QString::fromStdString(::testing::TempDir() + "wrappers-opc-explorer.png"));
    EXPECT_FALSE(shot.isNull());
}

TEST_F(OxExplorer, IsASmallToolWindowOnTop) {
    TgOPCExplorerForm form(nullptr);
    EXPECT_EQ(form.Caption(), "Tarvek OPC Explorer");
    EXPECT_EQ(form.Width(), 256);
    EXPECT_EQ(form.Height(), 319);
    EXPECT_EQ(form.Constraints()->MinWidth(), 250);
    EXPECT_EQ(form.Constraints()->MinHeight(), 300);
    EXPECT_EQ(form.BorderIcons(), TBorderIcons{TBorderIcon::biSystemMenu});
    EXPECT_EQ(form.FormStyle(), TFormStyle::fsStayOnTop);
    EXPECT_EQ(form.Position(), TPosition::poScreenCenter);
    EXPECT_EQ(form.Font()->Height(), -11);
    EXPECT_EQ(form.TreeView->Align(), TAlign::alClient);
    EXPECT_TRUE(form.TreeView->ReadOnly());
    EXPECT_TRUE(form.TreeView->Sorted());
    EXPECT_EQ(form.TreeView->Images(), form.ImageList());
    EXPECT_EQ(form.ImageList()->Count(), 3);
}

} // namespace
