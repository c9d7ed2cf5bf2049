#pragma once
// The device ID and network address dialog. It edits the main window's state directly: the device ID
// takes effect at once for every later command, and a new address re-targets the client socket and
// becomes the network candidate of the next connection search. Nothing is kept between runs.

#include "platform/gui/Forms.h"

#include <cstdint>
#include <optional>
#include <string>

namespace kv {

class TEdit;
class TGroupBox;
class TLabel;
class TRadioButton;
class TPkBmpButton;

class TfmNetworkSetup : public TForm {
    KV_CLASS(TfmNetworkSetup)
public:
    explicit TfmNetworkSetup(TComponent* owner);
    ~TfmNetworkSetup() override;

    // Enables what may be changed and shows the dialog modally: while the editor is online neither the
    // address nor the ID can be changed; under the automatic address setting only the ID group's
    // boxes are locked too.
    void Execute(bool online);

    // The number a box holds: its digits read as a decimal number, none when it holds no number (an
    // empty box).
    static std::optional<int> BoxNumber(const std::string& text);

    void FormCreate(TObject* sender);
    void FormShow(TObject* sender);
    void bnSetClick(TObject* sender);
    void bnExitClick(TObject* sender);
    void rbManualSettingClick(TObject* sender);
    void rbAutoSettingClick(TObject* sender);
    void edIp1Enter(TObject* sender);
    void edIp1Exit(TObject* sender);
    void edIp1KeyPress(TObject* sender, char& key);
    void edIp1MouseDown(TObject* sender, TMouseButton button, TShiftState shift, int x, int y);
    void edIdEnter(TObject* sender);
    void edIdExit(TObject* sender);
    void edIdKeyPress(TObject* sender, char& key);
    void edIdMouseDown(TObject* sender, TMouseButton button, TShiftState shift, int x, int y);

    TGroupBox* gbIdSetting = nullptr;
    TLabel* lbMessage = nullptr;
    TEdit* edId = nullptr;
    TGroupBox* gbIpSetting = nullptr;
    TEdit* edIp[4] = {};
    TRadioButton* rbManualSetting = nullptr;
    TRadioButton* rbAutoSetting = nullptr;
    TPkBmpButton* bnSet = nullptr;
    TPkBmpButton* bnExit = nullptr;

private:
    void SetBoxEnabled(TEdit* box, bool on);
    void ClampIdBox(bool selectAlways);
};

extern TfmNetworkSetup* fmNetworkSetup;

} // namespace kv
