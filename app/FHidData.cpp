#include "app/FHidData.h"

#include "app/FMain.h"
#include "app/LangTables.h"
#include "app/TimerComponent.h"
#include "app/link/MainLink.h"
#include "platform/gui/StdButtons.h"
#include "platform/gui/StdLists.h"

namespace kv {

TfmHidData* fmHidData = nullptr;

KV_REGISTER_CLASS(TfmHidData, TForm, b) {
    using F = TfmHidData;
    b.Method<TNotifyEvent>("FormCreate", &F::FormCreate);
    b.Method<TNotifyEvent>("FormShow", &F::FormShow);
    b.Method<TNotifyEvent>("FormHide", &F::FormHide);
    b.Method<TNotifyEvent>("bnClearClick", &F::bnClearClick);
    b.Method<TNotifyEvent>("tmFlushTimer", &F::tmFlushTimer);
}

TfmHidData::TfmHidData(TComponent* owner) : TForm(owner) {
    if (!fmHidData)
        fmHidData = this;
}

TfmHidData::~TfmHidData() {
    SetLogging(false);
    if (fmHidData == this)
        fmHidData = nullptr;
}

void TfmHidData::FormCreate(TObject*) {
    hbHidData = FindAs<TListBox>(*this, "hbHidData");
    bnClear = FindAs<TButton>(*this, "bnClear");
    tmFlush = FindAs<TTimer>(*this, "tmFlush");
}

// The transports build log lines only while someone reads them.
void TfmHidData::SetLogging(bool on) {
    if (::fmMain && fmHidData == this)
        ::fmMain->MainLink().FrameLogShown = on;
}

void TfmHidData::FormShow(TObject*) {
    SetLogging(true);
}

void TfmHidData::FormHide(TObject*) {
    SetLogging(false);
    // What was logged while shown stays.
    StopTimer(tmFlush);
    Flush();
}

void TfmHidData::AddLine(const std::string& line) {
    if (!hbHidData || !Visible())
        return;
    if (pending.size() >= static_cast<size_t>(kMaxLines))
        pending.erase(pending.begin(), pending.begin() + static_cast<long>(pending.size() - kMaxLines + 1));
    pending.push_back(line);
    if (!tmFlush)
        Flush();
    else if (!tmFlush->Enabled())
        tmFlush->SetEnabled(true);
}

void TfmHidData::tmFlushTimer(TObject*) {
    StopTimer(tmFlush);
    Flush();
}

void TfmHidData::Flush() {
    if (!hbHidData || pending.empty())
        return;
    TStrings* items = hbHidData->Items();
    items->BeginUpdate();
    const int keep = kMaxLines - static_cast<int>(pending.size());
    if (keep <= 0)
        items->Clear();
    while (items->Count() > keep)
        items->Delete(0);
    for (const std::string& line : pending)
        items->Add(line);
    items->EndUpdate();
    pending.clear();
    hbHidData->SetItemIndex(items->Count() - 1);
}

void TfmHidData::bnClearClick(TObject*) {
    pending.clear();
    if (hbHidData)
        hbHidData->Items()->Clear();
}

} // namespace kv
