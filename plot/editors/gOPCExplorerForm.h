#pragma once
// The OPC explorer: a tool window listing the client library's server connections.

#include "platform/gui/Forms.h"
#include "platform/gui/ImageList.h"
#include "platform/gui/TreeView.h"

#include <memory>

namespace kv {

class TgOPCExplorerForm : public TForm {
    KV_CLASS(TgOPCExplorerForm)
public:
    explicit TgOPCExplorerForm(TComponent* owner);
    ~TgOPCExplorerForm() override;

    // Rebuilds the tree: "Servers Connections" with one child per connection of the library, and an
    // empty "Groups". Raises the library's error (the library missing, a failed call).
    void Refresh();

    TTreeView* TreeView = nullptr;
    // Pictures of the tree: 0 the server connections, 1 the groups, 2 a server.
    TImageList* ImageList() const { return FImageList.get(); }

private:
    std::unique_ptr<TImageList> FImageList;
    TTreeNode* FServersTreeNode = nullptr;
    TTreeNode* FGroupsTreeNode = nullptr;
};

// The explorer window ExplorerShow opened (owned by the application), or nullptr.
TgOPCExplorerForm* gOPCExplorerWindow();

// Lets the OPC manager's ExplorerShow open the explorer: creates the window when there is none,
// refreshes and shows it; a failed refresh (no client library) is shown as the error's message and
// the window stays hidden.
void gRegisterOPCExplorer();

} // namespace kv
