// Channel names on the main window: the overview's name labels, the page buttons' hints, the model.

#include "app/FMain.h"

#include "app/FChNameList.h"
#include "app/FChannelName.h"
#include "panels/PkBmpButton.h"
#include "platform/core/CodePage.h"
#include "platform/gui/StdCtrls.h"

using namespace kv;

void TfmMain::PublishNames(TClassBuilder<TfmMain>& b) {
    b.Method<TNotifyEvent>("lbMatrixChNameInAClick", &TfmMain::lbMatrixChNameInAClick);
    b.Method<TNotifyEvent>("ChNameListClick", &TfmMain::ChNameListClick);
}

std::array<uint8_t, 8> TfmMain::ChannelNameOf(int channel) const {
    return unitControl ? unitControl->GetChannelName(channel) : std::array<uint8_t, 8>{};
}

bool TfmMain::ShowChannelName(int channel, const uint8_t* name) {
    const std::string suffix = ChannelSuffix(channel);
    auto* label = Find<TLabel>("lbMatrixChName" + suffix);
    auto* page = Find<TPkBmpButton>("pkbMenu" + suffix);
    if (suffix.empty() || !label || !page || !name)
        return false;
    const std::string text = FromAnsi(ChannelNameBytes(name));
    label->SetCaption(text);
    page->SetHint(text);
    return true;
}

void TfmMain::ShowChannelNames() {
    for (int ch = 0; ch < 6; ++ch)
        ShowChannelName(ch, ChannelNameOf(ch).data());
}

void TfmMain::ApplyChannelName(int channel, const uint8_t* name) {
    if (ShowChannelName(channel, name) && unitControl)
        unitControl->SetChannelName(channel, name);
}

void TfmMain::lbMatrixChNameInAClick(TObject* sender) {
    auto* label = dynamic_cast<TLabel*>(sender);
    if (!label || !fmChannelName)
        return;
    fmChannelName->SetChannel(static_cast<int>(label->Tag()));
    fmChannelName->SetNameText(ToAnsi(label->Caption()));
    fmChannelName->ShowModal();
}

void TfmMain::ChNameListClick(TObject*) {
    if (fmChNameList)
        fmChNameList->ShowModal();
}
