#pragma once
// The one-channel name dialog, opened from a name on the overview. OK (or Enter in the name box) stores
// the name, cut to the 8 bytes the unit keeps, and shows it; Cancel changes nothing.

#include "platform/gui/Forms.h"

#include <array>
#include <cstdint>
#include <string>

namespace kv {

// A channel name as the dialogs pass it on: the text in the user's code page cut to 8 bytes at a
// character boundary, zero-padded, and a terminating zero.
using ChannelNameBuffer = std::array<std::uint8_t, 9>;
ChannelNameBuffer ChannelNameFromText(const std::string& utf8);
// The name bytes up to the first zero, at most 8, still in the user's code page.
std::string ChannelNameBytes(const std::uint8_t* name, std::size_t size = 8);

class TEdit;
class TImage;
class TLabel;
class TPkBmpButton;

class TfmChannelName : public TForm {
    KV_CLASS(TfmChannelName)
public:
    explicit TfmChannelName(TComponent* owner);
    ~TfmChannelName() override;

    // The channel being named, 0..5; its label reads "InA :" .. "Out4 :".
    void SetChannel(int ch);
    int Channel() const { return channel; }
    // Puts a name given in the user's code page into the box: at most its first 8 bytes (never half a
    // character), without trailing carriage returns and blanks.
    void SetNameText(const std::string& ansi);

    void FormCreate(TObject* sender);
    void FormShow(TObject* sender);
    void FormActivate(TObject* sender);
    void edNameKeyDown(TObject* sender, std::uint16_t& key, TShiftState shift);
    void btnOKClick(TObject* sender);
    void bnCancelClick(TObject* sender);

    TImage* imBase = nullptr;
    TLabel* lbChannelName = nullptr;
    TLabel* lbChannel = nullptr;
    TEdit* edName = nullptr;
    TPkBmpButton* btnOK = nullptr;
    TPkBmpButton* bnCancel = nullptr;

private:
    int channel = 0;
};

extern TfmChannelName* fmChannelName;

} // namespace kv
