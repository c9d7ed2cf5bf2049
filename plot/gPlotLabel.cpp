#include "plot/gPlotLabel.h"

#include "plot/gPlotManagers.h"

namespace kv {

KV_REGISTER_CLASS(TgPlotLabel, TgPlotLayoutObject, b) {
    b.Prop("Caption", &TgPlotLabel::Caption, &TgPlotLabel::SetCaption);
    b.Prop("MarginBottom", &TgPlotLabel::MarginBottom, &TgPlotLabel::SetMarginBottom);
}

namespace {
const bool kLabelClassRegistered = (gRegisterPlotObjectClassOf<TgPlotLabel>("TgPlotLabel"), true);
} // namespace

TgPlotLabel::TgPlotLabel(TComponent* owner, TNotifyEvent onChange, TNotifyEvent onInsert,
                         TNotifyEvent onRemove, TNotifyEvent onRename)
    : TgPlotLayoutObject(owner, std::move(onChange), std::move(onInsert), std::move(onRemove),
                         std::move(onRename)),
      FFont(std::make_unique<TFont>()) {
    FHorizontal = true;
}

TgPlotLabel::~TgPlotLabel() {
    NotifyRemove();
}

void TgPlotLabel::SetFont(const TFont* value) {
    FFont->Assign(value);
}

} // namespace kv
