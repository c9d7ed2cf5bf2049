#pragma once
// The control-code sheet in English; it behaves as the Chinese sheet (FRs232CodeDoc.h).

#include "app/FRs232CodeDoc.h"

namespace kv {

class TfmRs232CodeEnglish : public TfmRs232Code {
    KV_CLASS(TfmRs232CodeEnglish)
public:
    explicit TfmRs232CodeEnglish(TComponent* owner);
    ~TfmRs232CodeEnglish() override;

protected:
    bool English() const override { return true; }
};

extern TfmRs232CodeEnglish* fmRs232CodeEnglish;

} // namespace kv
