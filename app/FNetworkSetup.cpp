#include "app/FNetworkSetup.h"

#include "app/FInformation.h"
#include "app/FMain.h"
#include "app/LangTables.h"
#include "app/link/MainLink.h"
#include "panels/PkBmpButton.h"
#include "platform/gui/StdButtons.h"
#include "platform/gui/StdEdits.h"
#include "platform/gui/StdPanels.h"

#include <charconv>
#include <cstdio>

namespace kv {

TfmNetworkSetup* fmNetworkSetup = nullptr;

namespace {
// Disabled boxes are silver so that a locked value reads as such.
constexpr TColor kLockedBox = 0xC0C0C0;
constexpr int kMaxId = 250;
constexpr int kMaxOctetBox = 255;
} // namespace

KV_REGISTER_CLASS(TfmNetworkSetup, TForm, b) {
    using F = TfmNetworkSetup;
    b.Method<TNotifyEvent>("FormCreate", &F::FormCreate);
    b.Method<TNotifyEvent>("FormShow", &F::FormShow);
    b.Method<TNotifyEvent>("bnSetClick", &F::bnSetClick);
    b.Method<TNotifyEvent>("bnExitClick", &F::bnExitClick);
    b.Method<TNotifyEvent>("rbManualSettingClick", &F::rbManualSettingClick);
    b.Method<TNotifyEvent>("rbAutoSettingClick", &F::rbAutoSettingClick);
    b.Method<TNotifyEvent>("edIp1Enter", &F::edIp1Enter);
    b.Method<TNotifyEvent>("edIp1Exit", &F::edIp1Exit);
    b.Method<TKeyPressEvent>("edIp1KeyPress", &F::edIp1KeyPress);
    b.Method<TMouseEvent>("edIp1MouseDown", &F::edIp1MouseDown);
    b.Method<TNotifyEvent>("edIdEnter", &F::edIdEnter);
    b.Method<TNotifyEvent>("edIdExit", &F::edIdExit);
    b.Method<TKeyPressEvent>("edIdKeyPress", &F::edIdKeyPress);
    b.Method<TMouseEvent>("edIdMouseDown", &F::edIdMouseDown);
}

TfmNetworkSetup::TfmNetworkSetup(TComponent* owner) : TForm(owner) {
    if (!fmNetworkSetup)
        fmNetworkSetup = this;
}

TfmNetworkSetup::~TfmNetworkSetup() {
    if (fmNetworkSetup == this)
        fmNetworkSetup = nullptr;
}

void TfmNetworkSetup::FormCreate(TObject*) {
    gbIdSetting = FindAs<TGroupBox>(*this, "gbIdSetting");
    lbMessage = FindAs<TLabel>(*this, "lbMessage");
    edId = FindAs<TEdit>(*this, "edId");
    gbIpSetting = FindAs<TGroupBox>(*this, "gbIpSetting");
    for (int i = 0; i < 4; ++i)
        edIp[i] = FindAs<TEdit>(*this, "edIp" + std::to_string(i + 1));
    rbManualSetting = FindAs<TRadioButton>(*this, "rbManualSetting");
    rbAutoSetting = FindAs<TRadioButton>(*this, "rbAutoSetting");
    bnSet = FindAs<TPkBmpButton>(*this, "bnSet");
    bnExit = FindAs<TPkBmpButton>(*this, "bnExit");
}

std::optional<int> TfmNetworkSetup::BoxNumber(const std::string& text) {
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end)
        return std::nullopt;
    return value;
}

void TfmNetworkSetup::SetBoxEnabled(TEdit* box, bool on) {
    if (!box)
        return;
    box->SetEnabled(on);
    box->SetColor(on ? clWindow : kLockedBox);
}

void TfmNetworkSetup::Execute(bool online) {
    for (TControl* c : {static_cast<TControl*>(gbIpSetting), static_cast<TControl*>(rbManualSetting),
                        static_cast<TControl*>(rbAutoSetting)})
        if (c)
            c->SetEnabled(!online);
    const bool locked = online || (rbAutoSetting && rbAutoSetting->Checked());
    for (TEdit* box : edIp)
        SetBoxEnabled(box, !locked);
    SetBoxEnabled(edId, !locked);
    ShowModal();
}

void TfmNetworkSetup::FormShow(TObject*) {
    if (::fmMain) {
        const std::uint32_t ip = ::fmMain->MainLink().DeviceIp();
        for (int i = 0; i < 4; ++i)
            if (edIp[i])
                edIp[i]->SetText(std::to_string((ip >> (24 - 8 * i)) & 0xFF));
    }
    SetCaption(UiText("SID_SET_NETWORK"));
    if (rbManualSetting)
        rbManualSetting->SetCaption(UiText("SID_MANU_NETWORK"));
    if (rbAutoSetting)
        rbAutoSetting->SetCaption(UiText("SID_AUTO_NETWORK"));
    if (gbIdSetting)
        gbIdSetting->SetCaption(UiText("SID_INPUT_ID"));
    if (gbIpSetting)
        gbIpSetting->SetCaption(UiText("SID_IP_ADDRESS"));
    if (lbMessage)
        lbMessage->SetCaption(UiText("SID_NUMBER"));
    if (bnSet)
        bnSet->SetCaption(UiText("SID_SET"));
    if (bnExit)
        bnExit->SetCaption(UiText("SID_EXIT"));
}

void TfmNetworkSetup::bnSetClick(TObject*) {
    bool done = false;
    const std::optional<int> id = edId ? BoxNumber(edId->Text()) : std::nullopt;
    // An empty box is no ID at all: refused like one out of range, never read as some number.
    if (!id || *id <= 0 || *id > kMaxId) {
        if (fmInformation)
            fmInformation->ShowMessage(UiText("SID_ID_NUMBER_ERROR"));
        if (edId && ::fmMain)
            edId->SetText(std::to_string(::fmMain->GetDeviceId()));
    } else {
        if (::fmMain)
            ::fmMain->MainLink().SetDeviceId(*id);
        done = true;
    }

    if (rbManualSetting && rbManualSetting->Checked() && ::fmMain && !::fmMain->IsConnected()) {
        int octet[4] = {};
        for (int i = 0; i < 4; ++i) // an empty box is 0
            octet[i] = (edIp[i] ? BoxNumber(edIp[i]->Text()).value_or(0) : 0) % 256;
        char address[16];
        std::snprintf(address, sizeof address, "%d.%d.%d.%d", octet[0], octet[1], octet[2], octet[3]);
        ::fmMain->MainLink().RetargetSocket(address);
        ::fmMain->MainLink().SetDeviceIp(
            static_cast<std::uint32_t>(octet[0]) << 24 | static_cast<std::uint32_t>(octet[1]) << 16 |
            static_cast<std::uint32_t>(octet[2]) << 8 | static_cast<std::uint32_t>(octet[3]));
        if (auto* label = ::fmMain->Find<TLabel>("lbShowIp"))
            label->SetCaption(std::string("IP : ") + address);
        done = true;
    }

    if (done) {
        if (::fmMain)
            ::fmMain->MainLink().SetAutoIp(rbAutoSetting && rbAutoSetting->Checked());
        Close();
    }
}

void TfmNetworkSetup::bnExitClick(TObject*) {
    if (edId && ::fmMain)
        edId->SetText(std::to_string(::fmMain->GetDeviceId()));
    Close();
}

void TfmNetworkSetup::rbManualSettingClick(TObject*) {
    for (TEdit* box : edIp)
        SetBoxEnabled(box, true);
}

void TfmNetworkSetup::rbAutoSettingClick(TObject*) {
    for (TEdit* box : edIp)
        SetBoxEnabled(box, false);
}

namespace {
void SelectBox(TObject* sender) {
    if (auto* box = dynamic_cast<TEdit*>(sender))
        box->SelectAll();
}

// The boxes take digits only; control keys (Backspace, Enter) pass.
bool RefuseNonDigit(char& key) {
    const auto k = static_cast<unsigned char>(key);
    if (k >= 32 && (key < '0' || key > '9')) {
        key = 0;
        return true;
    }
    return false;
}

// An address box above 255 shows 255; true when it was changed.
bool ClampOctetBox(TEdit& box) {
    const std::optional<int> v = TfmNetworkSetup::BoxNumber(box.Text());
    if (v && *v > kMaxOctetBox) {
        box.SetText(std::to_string(kMaxOctetBox));
        return true;
    }
    return false;
}
} // namespace

void TfmNetworkSetup::edIp1Enter(TObject* sender) {
    SelectBox(sender);
}

void TfmNetworkSetup::edIp1MouseDown(TObject* sender, TMouseButton, TShiftState, int, int) {
    SelectBox(sender);
}

void TfmNetworkSetup::edIp1Exit(TObject* sender) {
    auto* box = dynamic_cast<TEdit*>(sender);
    if (box && ClampOctetBox(*box))
        box->SelectAll();
}

void TfmNetworkSetup::edIp1KeyPress(TObject* sender, char& key) {
    if (RefuseNonDigit(key))
        return;
    auto* box = dynamic_cast<TEdit*>(sender);
    if (box && key == '\r') {
        ClampOctetBox(*box);
        box->SelectAll();
    }
}

void TfmNetworkSetup::edIdEnter(TObject* sender) {
    SelectBox(sender);
}

void TfmNetworkSetup::edIdMouseDown(TObject* sender, TMouseButton, TShiftState, int, int) {
    SelectBox(sender);
}

// Above 250 shows 250, 0 or less shows 1; an empty box stays empty and is refused by Set.
void TfmNetworkSetup::ClampIdBox(bool selectAlways) {
    if (!edId)
        return;
    const std::optional<int> v = BoxNumber(edId->Text());
    bool changed = false;
    if (v && (*v > kMaxId || *v <= 0)) {
        edId->SetText(std::to_string(*v > kMaxId ? kMaxId : 1));
        changed = true;
    }
    if (selectAlways || changed)
        edId->SelectAll();
}

void TfmNetworkSetup::edIdExit(TObject*) {
    ClampIdBox(false);
}

void TfmNetworkSetup::edIdKeyPress(TObject*, char& key) {
    if (RefuseNonDigit(key))
        return;
    if (key == '\r')
        ClampIdBox(true);
}

} // namespace kv
