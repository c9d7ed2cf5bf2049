#pragma once
// The progress window of every transfer with the unit. It has no border icons and stays on top, so
// the user cannot dismiss it; the transfer code writes its status text, drives its bar and closes it.

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

    void FormCreate(TObject* sender);
    void FormShow(TObject* sender);

    TStProgressBar* ProgressBar = nullptr;
    TStatusBar* StatusBar = nullptr;
};

extern TfmProcess* fmProcess;

} // namespace kv
