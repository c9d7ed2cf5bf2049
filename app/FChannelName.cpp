#include "app/FChannelName.h"

#include "app/FMain.h"
#include "app/LangTables.h"
#include "panels/PkBmpButton.h"
#include "platform/core/CodePage.h"
#include "platform/gui/StdCtrls.h"
#include "platform/gui/StdEdits.h"

#include <algorithm>
#include <cstring>

namespace kv {

TfmChannelName* fmChannelName = nullptr;

ChannelNameBuffer ChannelNameFromText(const std::string& utf8) {
    ChannelNameBuffer buffer{};
    const std::string ansi = ToAnsiCut(utf8, 8);
    std::copy_n(ansi.begin(), std::min<std::size_t>(ansi.size(), 8), buffer.begin());
    return buffer;
}

std::string ChannelNameBytes(const std::uint8_t* name, std::size_t size) {
    const std::size_t n = std::min<std::size_t>(size, 8);
    const auto* end = std::find(name, name + n, 0);
    return std::string(name, end);
}

KV_REGISTER_CLASS(TfmChannelName, TForm, b) {
    b.Method<TNotifyEvent>("FormCreate", &TfmChannelName::FormCreate);
    b.Method<TNotifyEvent>("FormShow", &TfmChannelName::FormShow);
    b.Method<TNotifyEvent>("FormActivate", &TfmChannelName::FormActivate);
    b.Method<TKeyEvent>("edNameKeyDown", &TfmChannelName::edNameKeyDown);
    b.Method<TNotifyEvent>("btnOKClick", &TfmChannelName::btnOKClick);
    b.Method<TNotifyEvent>("bnCancelClick", &TfmChannelName::bnCancelClick);
}

TfmChannelName::TfmChannelName(TComponent* owner) : TForm(owner) {
    if (!fmChannelName)
        fmChannelName = this;
}

TfmChannelName::~TfmChannelName() {
    if (fmChannelName == this)
        fmChannelName = nullptr;
}

void TfmChannelName::FormCreate(TObject*) {
    imBase = FindAs<TImage>(*this, "imBase");
    lbChannelName = FindAs<TLabel>(*this, "lbChannelName");
    lbChannel = FindAs<TLabel>(*this, "lbChannel");
    edName = FindAs<TEdit>(*this, "edName");
    btnOK = FindAs<TPkBmpButton>(*this, "btnOK");
    bnCancel = FindAs<TPkBmpButton>(*this, "bnCancel");
}

void TfmChannelName::SetChannel(int ch) {
    channel = ch;
    if (lbChannel)
        lbChannel->SetCaption(TfmMain::ChannelSuffix(ch) + " :");
}

void TfmChannelName::SetNameText(const std::string& ansi) {
    // Through the user's text so that a cut never splits a double-byte character.
    std::string name = ToAnsiCut(FromAnsi(ansi.substr(0, std::min<std::size_t>(ansi.size(), 8))), 8);
    while (!name.empty() && (name.back() == '\r' || name.back() == ' '))
        name.pop_back();
    if (edName)
        edName->SetText(FromAnsi(name));
}

void TfmChannelName::FormShow(TObject*) {
    SetCaption(UiText("SID_CH_NAME"));
    if (lbChannelName)
        lbChannelName->SetCaption(UiText("SID_CH_NAME"));
    if (btnOK)
        btnOK->SetCaption(UiText("SID_EXIT_OK"));
    if (bnCancel)
        bnCancel->SetCaption(UiText("SID_EXIT_CANCEL"));
}

void TfmChannelName::FormActivate(TObject*) {
    if (!edName)
        return;
    edName->SetEnabled(true);
    edName->SetFocus();
    edName->SelectAll();
}

void TfmChannelName::edNameKeyDown(TObject*, std::uint16_t& key, TShiftState) {
    if (key == 13 && btnOK)
        btnOK->Click();
}

void TfmChannelName::btnOKClick(TObject*) {
    if (!edName)
        return;
    const ChannelNameBuffer name = ChannelNameFromText(edName->Text());
    edName->SetText(FromAnsi(ChannelNameBytes(name.data())));
    Close();
    if (fmMain)
        fmMain->ApplyChannelName(channel, name.data());
}

void TfmChannelName::bnCancelClick(TObject*) {
    Close();
}

} // namespace kv
