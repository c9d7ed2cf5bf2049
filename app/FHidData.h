#pragma once
// The frame log: one line per frame written to or read from the unit while the window is shown. The
// transports build the lines on their workers and post them; the main window appends them here on the
// GUI thread. The list keeps the newest lines only, so a log left open never grows without end.
// Lines are shown in batches, at most every kFlushMs: the list box lays out its whole content on each
// change, which a line per frame at ten thousand lines would make the GUI thread's main work.

#include "platform/gui/Forms.h"

#include <string>
#include <vector>

namespace kv {

class TButton;
class TListBox;
class TTimer;

class TfmHidData : public TForm {
    KV_CLASS(TfmHidData)
public:
    explicit TfmHidData(TComponent* owner);
    ~TfmHidData() override;

    static constexpr int kMaxLines = 10000;
    static constexpr int kFlushMs = 50;

    void FormCreate(TObject* sender);
    void FormShow(TObject* sender);
    void FormHide(TObject* sender);
    void bnClearClick(TObject* sender);

    // Appends a line, dropping the oldest beyond kMaxLines; nothing while hidden. It is shown, and
    // selected, with the next batch.
    void AddLine(const std::string& line);
    // Shows the lines added since the last batch now.
    void Flush();
    void tmFlushTimer(TObject* sender);

    TListBox* hbHidData = nullptr;
    TButton* bnClear = nullptr;

private:
    void SetLogging(bool on);
    TTimer* tmFlush = nullptr;
    std::vector<std::string> pending;
};

extern TfmHidData* fmHidData;

} // namespace kv
