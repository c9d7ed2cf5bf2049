#include "app/FStoreName.h"

#include "app/FMain.h"
#include "app/FRecallPreset.h"
#include "app/FStorePreset.h"
#include "app/LangTables.h"
#include "app/link/MainLink.h"
#include "panels/PkBmpButton.h"
#include "platform/core/CodePage.h"
#include "platform/gui/StdCtrls.h"
#include "platform/gui/StdEdits.h"

namespace kv {

TfmStoreName* fmStoreName = nullptr;

KV_REGISTER_CLASS(TfmStoreName, TForm, b) {
    b.Method<TNotifyEvent>("FormCreate", &TfmStoreName::FormCreate);
    b.Method<TNotifyEvent>("FormShow", &TfmStoreName::FormShow);
    b.Method<TNotifyEvent>("FormActivate", &TfmStoreName::FormActivate);
    b.Method<TNotifyEvent>("btnOKClick", &TfmStoreName::btnOKClick);
    b.Method<TNotifyEvent>("bnCancelClick", &TfmStoreName::bnCancelClick);
    b.Method<TKeyEvent>("edNameKeyDown", &TfmStoreName::edNameKeyDown);
}

TfmStoreName::TfmStoreName(TComponent* owner) : TForm(owner) {
    if (!fmStoreName)
        fmStoreName = this;
}

TfmStoreName::~TfmStoreName() {
    if (fmStoreName == this)
        fmStoreName = nullptr;
}

void TfmStoreName::FormCreate(TObject*) {
    edName = FindAs<TEdit>(*this, "edName");
    lblPresetName = FindAs<TLabel>(*this, "lblPresetName");
    lTitle = FindAs<TLabel>(*this, "lTitle");
    btnOK = FindAs<TPkBmpButton>(*this, "btnOK");
    bnCancel = FindAs<TPkBmpButton>(*this, "bnCancel");
    imBase = FindAs<TImage>(*this, "imBase");
}

void TfmStoreName::SetDefaultName(const std::string& name) {
    const size_t end = name.find_last_not_of(" \r");
    if (edName)
        edName->SetText(end == std::string::npos ? std::string() : name.substr(0, end + 1));
}

void TfmStoreName::SetTitle(const std::string& text) {
    if (lTitle)
        lTitle->SetCaption(text);
}

std::string TfmStoreName::NameField(const std::string& utf8) {
    constexpr size_t kWidth = TPresetListForm::kNameWidth;
    std::string field = ToAnsiCut(utf8, kWidth);
    field.resize(kWidth, ' ');
    return field;
}

void TfmStoreName::FormShow(TObject*) {
    SetCaption(UiText("SID_PST_NAME"));
    if (lblPresetName)
        lblPresetName->SetCaption(UiText("SID_PST_NAME"));
    if (btnOK)
        btnOK->SetCaption(UiText("SID_EXIT_OK"));
    if (bnCancel)
        bnCancel->SetCaption(UiText("SID_EXIT_CANCEL"));
}

void TfmStoreName::FormActivate(TObject*) {
    if (!edName)
        return;
    // Storing: typing replaces the name; recalling: the name is only shown.
    edName->SetEnabled(storeMode != 0);
    if (storeMode == 0)
        return;
    if (edName->CanFocus())
        edName->SetFocus();
    edName->SelectAll();
}

void TfmStoreName::btnOKClick(TObject*) {
    const std::string field = NameField(edName ? edName->Text() : std::string());
    // What the unit gets, as the user sees it.
    const std::string shown = FromAnsi(field);
    if (edName)
        edName->SetText(shown);
    const bool connected = ::fmMain && ::fmMain->IsConnected();
    if (storeMode != 0) {
        // Only the progress window shows while the unit stores.
        if (connected && fmStorePreset)
            fmStorePreset->Hide();
        Close();
        if (fmStorePreset)
            fmStorePreset->Close();
        const int index = presetIndex;
        const bool stored = ::fmMain && ::fmMain->MainLink().StorePresetToDevice(index, field);
        // A store the unit never acknowledged leaves the lists as they were; offline they learn the
        // name all the same.
        if (connected && !stored)
            return;
        if (fmRecallPreset)
            fmRecallPreset->SetPresetName(index + 1, shown);
        if (fmStorePreset)
            fmStorePreset->SetPresetName(index, shown);
        return;
    }
    if (connected && fmRecallPreset)
        fmRecallPreset->Hide();
    Close();
    if (fmRecallPreset)
        fmRecallPreset->Close();
    if (::fmMain)
        ::fmMain->MainLink().RecallPresetFromDevice(presetIndex);
}

void TfmStoreName::bnCancelClick(TObject*) {
    Close();
}

void TfmStoreName::edNameKeyDown(TObject*, std::uint16_t& key, TShiftState) {
    if (key == 13 && btnOK)
        btnOK->Click();
}

} // namespace kv
