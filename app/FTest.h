#pragma once
// The test-signal dialog: the unit feeds its processing with its analogue inputs, pink or white noise,
// or a sine at one of 31 third-octave frequencies. Every choice goes to the unit at once; the dialog
// keeps no model of its own; the main window's refresh sets it from the unit image.

#include "platform/gui/Forms.h"

#include <cstdint>

namespace kv {

class TComboBox;
class TGroupBox;
class TImage;
class TPkBmpButton;
class TRadioButton;

class TfmTest : public TForm {
    KV_CLASS(TfmTest)
public:
    explicit TfmTest(TComponent* owner);
    ~TfmTest() override;

    static constexpr int kSineFrequencies = 31;

    void FormCreate(TObject* sender);
    void FormShow(TObject* sender);
    void rbAnalogInClick(TObject* sender);
    void cbSineFreqSelect(TObject* sender);
    void bnExitClick(TObject* sender);

    // Shows the unit image's test-signal words (mode 0..3, sine index 0..30); the refresh calls it with
    // the main window's updating-view flag set, so nothing is sent. Values out of range are not shown.
    void ShowWorkMode(std::uint16_t mode, std::uint16_t sineIndex);

    TImage* imBase = nullptr;
    TPkBmpButton* bnExit = nullptr;
    TGroupBox* gbSignal = nullptr;
    TRadioButton* rbAnalogIn = nullptr;
    TRadioButton* rbPinkNoise = nullptr;
    TRadioButton* rbWhiteNoise = nullptr;
    TRadioButton* rbSineWave = nullptr;
    TComboBox* cbSineFreq = nullptr;

private:
    bool checkingSine = false; // the frequency's selection checks the sine button
};

extern TfmTest* fmTest;

} // namespace kv
