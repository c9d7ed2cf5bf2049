#include "app/FTest.h"

#include "app/FMain.h"
#include "app/LangTables.h"
#include "link/LCmd.h"
#include "panels/PkBmpButton.h"
#include "platform/gui/StdButtons.h"
#include "platform/gui/StdLists.h"
#include "platform/gui/StdPanels.h"

namespace kv {

TfmTest* fmTest = nullptr;

KV_REGISTER_CLASS(TfmTest, TForm, b) {
    using F = TfmTest;
    b.Method<TNotifyEvent>("FormCreate", &F::FormCreate);
    b.Method<TNotifyEvent>("FormShow", &F::FormShow);
    b.Method<TNotifyEvent>("rbAnalogInClick", &F::rbAnalogInClick);
    b.Method<TNotifyEvent>("cbSineFreqSelect", &F::cbSineFreqSelect);
    b.Method<TNotifyEvent>("bnExitClick", &F::bnExitClick);
}

TfmTest::TfmTest(TComponent* owner) : TForm(owner) {
    if (!fmTest)
        fmTest = this;
}

TfmTest::~TfmTest() {
    if (fmTest == this)
        fmTest = nullptr;
}

void TfmTest::FormCreate(TObject*) {
    imBase = FindAs<TImage>(*this, "imBase");
    bnExit = FindAs<TPkBmpButton>(*this, "bnExit");
    gbSignal = FindAs<TGroupBox>(*this, "gbSignal");
    rbAnalogIn = FindAs<TRadioButton>(*this, "rbAnalogIn");
    rbPinkNoise = FindAs<TRadioButton>(*this, "rbPinkNoise");
    rbWhiteNoise = FindAs<TRadioButton>(*this, "rbWhiteNoise");
    rbSineWave = FindAs<TRadioButton>(*this, "rbSineWave");
    cbSineFreq = FindAs<TComboBox>(*this, "cbSineFreq");
}

void TfmTest::FormShow(TObject*) {
    SetCaption(UiText("SID_TEST_TITLE"));
    if (bnExit)
        bnExit->SetCaption(UiText("SID_EXIT"));
    const std::pair<TRadioButton*, const char*> captions[] = {{rbAnalogIn, "SID_ANALOG_IN"},
                                                              {rbPinkNoise, "SID_PINK_IN"},
                                                              {rbWhiteNoise, "SID_WHITE_IN"},
                                                              {rbSineWave, "SID_SINE_IN"}};
    for (const auto& [rb, key] : captions)
        if (rb)
            rb->SetCaption(UiText(key));
}

namespace {
void SendWorkMode(int mode, int index) {
    if (!::fmMain)
        return;
    ::fmMain->SendCommand(CM_MCS_WORK_MODE(static_cast<std::uint8_t>(::fmMain->GetDeviceId()),
                                           static_cast<std::uint8_t>(mode), static_cast<std::uint8_t>(index)),
                          true);
}
} // namespace

void TfmTest::rbAnalogInClick(TObject* sender) {
    if (checkingSine || (::fmMain && ::fmMain->IsUpdatingView()))
        return;
    auto* rb = dynamic_cast<TRadioButton*>(sender);
    if (!rb)
        return;
    // No sine chosen yet (an empty list) counts as the first frequency.
    const int index = cbSineFreq && cbSineFreq->ItemIndex() >= 0 ? cbSineFreq->ItemIndex() : 0;
    SendWorkMode(static_cast<int>(rb->Tag()), index);
}

void TfmTest::cbSineFreqSelect(TObject*) {
    if (::fmMain && ::fmMain->IsUpdatingView())
        return;
    if (!cbSineFreq || cbSineFreq->ItemIndex() < 0)
        return;
    // Checking the sine button runs its click, which sends the same mode and index; hold it back so
    // that one selection sends one command.
    if (rbSineWave) {
        checkingSine = true;
        rbSineWave->SetChecked(true);
        checkingSine = false;
    }
    SendWorkMode(3, cbSineFreq->ItemIndex());
}

void TfmTest::ShowWorkMode(std::uint16_t mode, std::uint16_t sineIndex) {
    // A mode the dialog does not know leaves it as it is.
    TRadioButton* const buttons[] = {rbAnalogIn, rbPinkNoise, rbWhiteNoise, rbSineWave};
    if (mode >= 4 || !buttons[mode])
        return;
    buttons[mode]->SetChecked(true);
    // Every mode carries the sine index: the next choice sends it along.
    if (cbSineFreq && sineIndex < kSineFrequencies)
        cbSineFreq->SetItemIndex(sineIndex);
}

void TfmTest::bnExitClick(TObject*) {
    Close();
}

} // namespace kv
