#include "plot/editors/gOPCExplorerForm.h"

#include "plot/opc/gOPCLibrary.h"
#include "plot/opc/gOPCManager.h"

namespace kv {

KV_REGISTER_CLASS(TgOPCExplorerForm, TForm, b) {
    (void)b;
}

namespace {

TgOPCExplorerForm*& OxWindow() {
    static TgOPCExplorerForm* window = nullptr;
    return window;
}

TCanvas& OxBlank(TBitmap& bmp) {
    TCanvas& c = *bmp.Canvas();
    c.Brush()->SetStyle(TBrushStyle::bsSolid);
    c.Brush()->SetColor(clWhite);
    c.FillRect(TRect{0, 0, bmp.Width(), bmp.Height()});
    c.Pen()->SetStyle(TPenStyle::psSolid);
    c.Pen()->SetWidth(1);
    return c;
}

// A small server tower with two drive slots and a green lamp.
void OxDrawServer(TCanvas& c, int l, int t) {
    c.Pen()->SetColor(RGB(48, 48, 48));
    c.Brush()->SetColor(RGB(176, 180, 190));
    c.Rectangle(l, t, l + 8, t + 12);
    c.Pen()->SetColor(RGB(80, 80, 80));
    c.MoveTo(l + 2, t + 3);
    c.LineTo(l + 6, t + 3);
    c.MoveTo(l + 2, t + 5);
    c.LineTo(l + 6, t + 5);
    c.SetPixel(l + 5, t + 9, RGB(0, 200, 0));
}

// 0: two servers joined by a cable (the connections); 1: a folder (the groups); 2: one server.
void OxDrawPictures(TImageList& list) {
    TBitmap connections(16, 16);
    TCanvas& c0 = OxBlank(connections);
    OxDrawServer(c0, 0, 2);
    OxDrawServer(c0, 8, 2);
    c0.Pen()->SetColor(RGB(200, 120, 0));
    c0.MoveTo(4, 14);
    c0.LineTo(4, 15);
    c0.LineTo(12, 15);
    c0.LineTo(12, 13);
    list.Add(connections, clWhite);

    TBitmap groups(16, 16);
    TCanvas& c1 = OxBlank(groups);
    c1.Pen()->SetColor(RGB(150, 110, 20));
    c1.Brush()->SetColor(RGB(240, 200, 80));
    c1.Polygon({{1, 3}, {6, 3}, {7, 5}, {14, 5}, {14, 13}, {1, 13}});
    c1.Pen()->SetColor(RGB(150, 110, 20));
    c1.MoveTo(1, 6);
    c1.LineTo(14, 6);
    list.Add(groups, clWhite);

    TBitmap server(16, 16);
    TCanvas& c2 = OxBlank(server);
    OxDrawServer(c2, 4, 2);
    list.Add(server, clWhite);
}

} // namespace

TgOPCExplorerForm::TgOPCExplorerForm(TComponent* owner) : TForm(owner) {
    SetName("gOPCExplorerForm");
    SetCaption("Tarvek OPC Explorer");
    SetBorderIcons(TBorderIcons{TBorderIcon::biSystemMenu});
    SetFormStyle(TFormStyle::fsStayOnTop);
    SetPosition(TPosition::poScreenCenter);
    Font()->SetHeight(-11);
    SetBounds(Left(), Top(), 256, 319);
    Constraints()->SetMinWidth(250);
    Constraints()->SetMinHeight(300);

    FImageList = std::make_unique<TImageList>(16, 16);
    OxDrawPictures(*FImageList);

    TreeView = new TTreeView(this);
    TreeView->SetName("TreeView");
    TreeView->SetParent(this);
    TreeView->SetAlign(TAlign::alClient);
    TreeView->SetReadOnly(true);
    TreeView->SetSortType(TSortType::stText);
    TreeView->SetImages(FImageList.get());
}

TgOPCExplorerForm::~TgOPCExplorerForm() {
    if (OxWindow() == this)
        OxWindow() = nullptr;
    // The tree's nodes go while their pictures still exist.
    delete TreeView;
    TreeView = nullptr;
}

void TgOPCExplorerForm::Refresh() {
    TreeView->Items()->Clear();
    FServersTreeNode = TreeView->Items()->Add(nullptr, "Servers Connections");
    FServersTreeNode->SetImageIndex(0);
    FGroupsTreeNode = TreeView->Items()->Add(nullptr, "Groups");
    FGroupsTreeNode->SetImageIndex(1);
    const int count = OPCServerConnectionGetCount();
    for (int i = 0; i < count; ++i)
        TreeView->Items()->AddChild(FServersTreeNode, OPCServerConnectionGetName(i))->SetImageIndex(2);
    FServersTreeNode->SetExpanded(true);
}

TgOPCExplorerForm* gOPCExplorerWindow() {
    return OxWindow();
}

void gRegisterOPCExplorer() {
    gSetOPCExplorerRunner([] {
        if (!OxWindow())
            OxWindow() = new TgOPCExplorerForm(Application);
        try {
            OxWindow()->Refresh();
        } catch (const std::exception& e) {
            Application->HandleException(&e);
            return;
        }
        OxWindow()->Show();
    });
}

} // namespace kv
