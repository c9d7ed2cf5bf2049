#include "app/FRecallPreset.h"

namespace kv {

TfmRecallPreset* fmRecallPreset = nullptr;

KV_REGISTER_CLASS(TfmRecallPreset, TPresetListForm, b) {
    b.Method<TNotifyEvent>("FormCreate", &TfmRecallPreset::FormCreate);
    b.Method<TNotifyEvent>("FormShow", &TfmRecallPreset::FormShow);
    b.Method<TNotifyEvent>("FormHide", &TfmRecallPreset::FormHide);
    b.Method<TNotifyEvent>("bnCancelClick", &TfmRecallPreset::bnCancelClick);
}

TfmRecallPreset::TfmRecallPreset(TComponent* owner) : TPresetListForm(owner, true) {
    if (!fmRecallPreset)
        fmRecallPreset = this;
}

TfmRecallPreset::~TfmRecallPreset() {
    if (fmRecallPreset == this)
        fmRecallPreset = nullptr;
}

} // namespace kv
