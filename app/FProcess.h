#pragma once
// The progress window of every transfer with the unit. It has no border icons and stays on top, and it
// refuses every close request while its transfer runs: only the transfer code ends it (EndTransfer,
// then Close or Hide). The transfer code writes its status text and drives its bar.

#include "platform/gui/Forms.h"

#include <string>

namespace kv {

class TStProgressBar;
class TStatusBar;

class TfmProcess : public TForm {
    KV_CLASS(TfmProcess)
public:
    explicit TfmProcess(TComponent* owner);
    ~TfmProcess() override;

    // The status line under the bar.
    void SetStatus(const std::string& text);
    const std::string& Status() const;

    // Every showing is a transfer that runs until the transfer code ends it here; close requests
    // before that (the window manager's, a key) do nothing.
    void EndTransfer() { transferRunning = false; }

    void FormCreate(TObject* sender);
    void FormShow(TObject* sender);
    void FormCloseQuery(TObject* sender, bool& canClose);

    TStProgressBar* ProgressBar = nullptr;
    TStatusBar* StatusBar = nullptr;

private:
    bool transferRunning = false;
};

extern TfmProcess* fmProcess;

} // namespace kv
