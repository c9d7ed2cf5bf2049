#include "app/FRs232CodeDocEnglish.h"

namespace kv {

TfmRs232CodeEnglish* fmRs232CodeEnglish = nullptr;

KV_REGISTER_CLASS(TfmRs232CodeEnglish, TfmRs232Code, b) {
    (void)b;
}

TfmRs232CodeEnglish::TfmRs232CodeEnglish(TComponent* owner) : TfmRs232Code(owner, Derived{}) {
    if (!fmRs232CodeEnglish)
        fmRs232CodeEnglish = this;
}

TfmRs232CodeEnglish::~TfmRs232CodeEnglish() {
    if (fmRs232CodeEnglish == this)
        fmRs232CodeEnglish = nullptr;
}

} // namespace kv
