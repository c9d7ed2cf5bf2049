#pragma once
// The recall list: the factory preset F00 and the user presets U01..U20 (see app/FStorePreset.h).

#include "app/FStorePreset.h"

namespace kv {

class TfmRecallPreset : public TPresetListForm {
    KV_CLASS(TfmRecallPreset)
public:
    explicit TfmRecallPreset(TComponent* owner);
    ~TfmRecallPreset() override;
};

extern TfmRecallPreset* fmRecallPreset;

} // namespace kv
