#include "app/FProcess.h"

#include "app/LangTables.h"
#include "platform/gui/StdBars.h"
#include "styled/StProgressBar.h"

namespace kv {

TfmProcess* fmProcess = nullptr;

KV_REGISTER_CLASS(TfmProcess, TForm, b) {
    b.Method<TNotifyEvent>("FormCreate", &TfmProcess::FormCreate);
    b.Method<TNotifyEvent>("FormShow", &TfmProcess::FormShow);
}

TfmProcess::TfmProcess(TComponent* owner) : TForm(owner) {
    if (!fmProcess)
        fmProcess = this;
}

TfmProcess::~TfmProcess() {
    if (fmProcess == this)
        fmProcess = nullptr;
}

void TfmProcess::FormCreate(TObject*) {
    ProgressBar = FindAs<TStProgressBar>(*this, "ProgressBar");
    StatusBar = FindAs<TStatusBar>(*this, "StatusBar");
    // The layout binds no close query: the window always has this one.
    OnCloseQuery = [this](TObject* sender, bool& canClose) { FormCloseQuery(sender, canClose); };
}

void TfmProcess::FormCloseQuery(TObject*, bool& canClose) {
    canClose = !transferRunning;
}

void TfmProcess::SetStatus(const std::string& text) {
    if (StatusBar)
        StatusBar->SetSimpleText(text);
}

const std::string& TfmProcess::Status() const {
    static const std::string none;
    return StatusBar ? StatusBar->SimpleText() : none;
}

// Only the caption: the status text and the bar stay as the transfer code set them.
void TfmProcess::FormShow(TObject*) {
    transferRunning = true;
    SetCaption(UiText("SID_PROCESS"));
}

} // namespace kv
