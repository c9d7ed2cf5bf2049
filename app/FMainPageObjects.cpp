// The window's side of its channel-editor page objects: their creation and binding, the controls they
// forget, and the host calls that reach them.

#include "app/FMain.h"

#include "app/link/MainLink.h"
#include "app/pages/DelayPage.h"
#include "app/pages/DynamicsPage.h"
#include "app/pages/GainPage.h"
#include "app/pages/LinkingPage.h"
#include "app/pages/MatrixPage.h"
#include "app/pages/MetersPage.h"
#include "app/pages/RefreshPage.h"

using namespace kv;

// Before the layout binds its handlers: the forwards reach the pages from the first event on. The link
// exists already: the meters and the linking page send through it as the model's host.
void TfmMain::CreateStripPages() {
    LMainHost& host = *mainLink;
    gainPage = std::make_unique<TGainPage>(*this);
    delayPage = std::make_unique<TDelayPage>(*this);
    dynamicsPage = std::make_unique<TDynamicsPage>(*this);
    matrixPage = std::make_unique<TMatrixPage>(*this);
    metersPage = std::make_unique<TMetersPage>(*this, host);
    linkingPage = std::make_unique<TLinkingPage>(*this, host);
    refreshPage = std::make_unique<TRefreshPage>(*this);
}

void TfmMain::BindStripPages() {
    for (TPage* page :
         std::initializer_list<TPage*>{gainPage.get(), delayPage.get(), dynamicsPage.get(), matrixPage.get(),
                                       metersPage.get(), linkingPage.get(), refreshPage.get()})
        page->Bind();
}

void TfmMain::Notification(TComponent* component, TOperation operation) {
    TForm::Notification(component, operation);
    if (operation != TOperation::opRemove)
        return;
    for (TPage* page :
         std::initializer_list<TPage*>{gainPage.get(), delayPage.get(), dynamicsPage.get(), matrixPage.get(),
                                       metersPage.get(), linkingPage.get(), refreshPage.get()})
        if (page)
            page->Forget(component);
}

void TfmMain::RefreshAllPanels() {
    Refresh().RefreshAllPanels(startupRefresh != 0);
}

void TfmMain::ResetLevelMeters() {
    Meters().ResetLevelMeters();
}

void TfmMain::OnLevelsReply(const BSTM& payload) {
    Meters().OnLevelsReply(payload);
}
