// The refresh of every block page from the unit model: after a read-back, a preset file, a channel copy
// and once at start. The controls are filled with the updating-view flag set, so that nothing they run
// sends; then the curves are computed again and the overlays of the page shown are redrawn.

#include "app/FMain.h"

#include "app/FTest.h"

#include "controls/LMyFFTDrawHpLp6dB.h"
#include "controls/MyPEQType8.h"
#include "panels/PkBmpButton.h"
#include "panels/PkComboBox.h"
#include "platform/core/CodePage.h"
#include "platform/gui/StdBars.h"
#include "platform/gui/StdCtrls.h"
#include "platform/gui/StdPanels.h"
#include "styled/RoundControls.h"
#include "styled/StTrackBar.h"

#include <cstdio>
#include <cstring>

using namespace kv;

namespace {

// printf-style texts; each format is a literal so that the compiler checks its arguments.
#define KV_TEXT(...)                                                                                         \
    [&] {                                                                                                    \
        char text_[32];                                                                                      \
        std::snprintf(text_, sizeof text_, __VA_ARGS__);                                                     \
        return std::string(text_);                                                                           \
    }()

// Texts of the model's fixed-length names: up to the first zero byte, in the system code page.
template <size_t N> std::string NameText(const std::array<uint8_t, N>& bytes) {
    const auto* p = reinterpret_cast<const char*>(bytes.data());
    return kv::FromAnsi(std::string_view(p, strnlen(p, N)));
}

// Fills controls found by name; the first name that finds no control of its class stops every further
// step (the layout supplies them all).
class Filler {
public:
    explicit Filler(TfmMain& w) : w_(w) {}
    bool ok() const { return ok_; }

    template <class T> T* Get(const std::string& name) {
        if (!ok_)
            return nullptr;
        T* c = w_.Find<T>(name);
        ok_ = c != nullptr;
        return c;
    }
    // A fader moved to `value` plus its minimum; its resulting (clamped) position.
    int Fader(const std::string& name, int value, bool addMin = false) {
        auto* f = Get<TStTrackBar>(name);
        if (!f)
            return 0;
        f->SetPosition(addMin ? value + f->Min() : value);
        return f->Position();
    }
    int UpDown(const std::string& name, int value, bool addMin = false) {
        auto* u = Get<TUpDown>(name);
        if (!u)
            return 0;
        u->SetPosition(addMin ? value + u->Min() : value);
        return u->Position();
    }
    void Box(const std::string& name, const std::string& text) {
        if (auto* b = Get<TRoundEdit>(name))
            b->SetText(text);
    }
    void Down(const std::string& name, bool down) {
        if (auto* b = Get<TPkBmpButton>(name))
            b->SetDown(down);
    }

private:
    TfmMain& w_;
    bool ok_ = true;
};

std::string FrequencyText(int index) {
    const double f = IndexToFreq(index);
    return f >= 1000.0 ? KV_TEXT("%4.2fKHz", f / 1000.0) : KV_TEXT("%4.1fHz", f);
}

// "F00" the factory preset, "U01".."U20" the user presets.
std::string PresetNumberText(int preset) {
    return preset >= 1 ? KV_TEXT("U%02d", preset) : KV_TEXT("F%02d", preset);
}

#undef KV_TEXT

} // namespace

void TfmMain::RefreshAllPanels() {
    ResetPeqViews();
    {
        UpdatingViewGuard updating(*this, true);
        FillPanelsFromModel();
    }
    // The curves are built with the flag down, as after any edit: none of this sends.
    UpdatingViewGuard curves(*this, false);
    for (int c = 0; c <= 5; ++c) {
        auto* graph = Find<LMyFFTDrawHpLp6dB>(kCurveGraphNames[static_cast<size_t>(c)]);
        if (!graph)
            break;
        ComputePeqCurve(graph);
        ComputeHighPassCurve(graph);
        ComputeLowPassCurve(graph);
    }
    for (const char* name : {"fftDrawGeqInA", "fftDrawGeqInB"})
        if (auto* graph = Find<LMyFFTDrawHpLp6dB>(name))
            ComputeGeqCurve(graph);
    ShowAllPeqBands();
    if (currentPage == pgGain)
        RedrawGainPageOverlays();
    else
        RedrawChannelOverlays(currentPage);
}

void TfmMain::FillPanelsFromModel() {
    if (!unitControl)
        return;
    const LUnitControl& m = *unitControl;
    Filler f(*this);

    if (auto* number = f.Get<TLabel>("lbPstNum"))
        number->SetCaption(PresetNumberText(CurrentPreset()));
    if (auto* name = f.Get<TLabel>("lbPstName"))
        name->SetCaption(NameText(m.PresetName()));
    if (!f.ok())
        return;

    overlayDirty[6] = 0x0FFF;
    overlayDirty[7] = 0x0FFF;
    RedrawGainPageOverlays();

    for (int c = 0; c <= 5; ++c) {
        const std::string s = ChannelSuffix(c);
        const bool input = c <= 1;

        const std::string name = NameText(m.GetChannelName(c));
        if (auto* l = f.Get<TLabel>("lbMatrixChName" + s))
            l->SetCaption(name);
        if (auto* b = f.Get<TPkBmpButton>("pkbMenu" + s))
            b->SetHint(name);

        if (!input) {
            const uint16_t route = m.GetSourceMask(c);
            f.Down("pkbAMatrix" + s, route & 1);
            f.Down("pkbBMatrix" + s, route & 2);
            f.UpDown("udMixGainA" + s, m.GetMixLevel(c, 0), true);
            f.UpDown("udMixGainB" + s, m.GetMixLevel(c, 1), true);
        }

        if (input) {
            // The fader's change handler writes the band's label too, but only when the position moves.
            for (int band = 0; band < 31; ++band) {
                const int p = f.Fader(GeqFaderName(c, band), m.GetGeqBand(c, band));
                char label[32];
                std::snprintf(label, sizeof label, "lbGeqGainCh%02d%s", band + 1, s.c_str());
                if (auto* l = f.Get<TLabel>(label))
                    l->SetCaption(GeqGainText(p));
            }
            if (!f.ok())
                return;
            FillPeqTable(f.Get<TMyPEQType8>("peqPeq" + s), c);

            const GateRecord gate = m.GetGate(c);
            f.Box("cvdGateThreshold" + s,
                  ThresholdText(f.Fader("isGateThreshold" + s, gate.threshold, true)));
            f.Box("cvdGateAttack" + s, TimeText(f.Fader("isGateAttack" + s, gate.attack), false));
            f.Box("cvdGateRelease" + s, TimeText(f.Fader("isGateRelease" + s, gate.release), false));
            f.Box("cvdGateHold" + s, TimeText(f.Fader("isGateHold" + s, gate.hold), false));
            if (!f.ok())
                return;
            // The gate page shows one input: its name and transfer curve follow that input, never
            // another one's.
            if (!startupRefresh && c == gatePageChannel)
                DrawGatePoints(c);
        }

        const FilterRecord filters = m.GetFilters(c);
        for (int pass = 0; pass < 2; ++pass) {
            const char* word = pass == 0 ? "LowCut" : "HighCut";
            const int index = pass == 0 ? filters.hpFreq : filters.lpFreq;
            const int slope = pass == 0 ? filters.hpSlope : filters.lpSlope;
            const int p = f.Fader(std::string("is") + word + "Freq" + s, index);
            f.Box(std::string("cvd") + word + "Freq" + s, FrequencyText(p));
            if (slope > 0) {
                if (auto* combo = f.Get<TPkComboBox>(std::string("pkc") + word + "Slop" + s))
                    combo->SetItemIndex(slope - 1);
                f.Down(std::string("pkb") + word + "Bypass" + s, false);
            } else {
                // A bypassed filter keeps the slope the user chose last.
                f.Down(std::string("pkb") + word + "Bypass" + s, true);
            }
        }
        if (!f.ok())
            return;

        if (!input) {
            FillPeqTable(f.Get<TMyPEQType8>("peqPeq" + s), c);
            const CompRecord comp = m.GetComp(c);
            f.Box("cvdCompThreshold" + s,
                  ThresholdText(f.Fader("isCompThreshold" + s, comp.threshold, true)));
            const int ratio = f.UpDown("udCompRatio" + s, comp.ratio);
            f.Box("cvdCompRatio" + s, RatioText(ratio));
            f.Box("cvdCompAttack" + s, TimeText(f.Fader("isCompAttack" + s, comp.attack), true));
            f.Box("cvdCompRelease" + s, TimeText(f.Fader("isCompRelease" + s, comp.release), true));
            f.Box("cvdCompKnee" + s, KneeText(f.UpDown("udCompKnee" + s, comp.knee)));
            // After a refresh the compressor and limiter pages show Out1.
            if (!startupRefresh && c == 2)
                DrawCompCurve(c);
            const LimitRecord limit = m.GetLimit(c);
            f.Box("cvdLimitThreshold" + s,
                  ThresholdText(f.Fader("isLimitThreshold" + s, limit.threshold, true)));
            f.Box("cvdLimitAttack" + s, TimeText(f.Fader("isLimitAttack" + s, limit.attack), true));
            f.Box("cvdLimitRelease" + s, TimeText(f.Fader("isLimitRelease" + s, limit.release), true));
            f.Box("cvdLimitKnee" + s, KneeText(f.UpDown("udLimitKnee" + s, limit.knee)));
            if (!f.ok())
                return;
            if (!startupRefresh && c == 2)
                DrawLimitCurve(c);
        }

        const int gain = f.Fader("isGain" + s, m.GetGain(c), true);
        f.Fader("isGainBackup" + s, gain);
        f.Box("cvdGain" + s, LevelIndexText(gain));
        f.Box("cvdGainBackup" + s, LevelIndexText(gain));

        const bool inverted = m.GetPolarity(c);
        const std::string phaseCaption = GetLangText(inverted ? "SID_PHASE_ON" : "SID_PHASE_OFF");
        for (const char* stem : {"pkbPhase", "pkbPhaseBackup"}) {
            if (auto* b = f.Get<TPkBmpButton>(stem + s)) {
                b->SetDown(inverted);
                b->SetCaption(phaseCaption);
            }
        }

        const int delay = f.Fader("isDelay" + s, m.GetDelay(c));
        auto* delayFader = f.Get<TStTrackBar>("isDelay" + s);
        auto* indicator = f.Get<TImage>("imDelay" + s);
        auto* line = f.Get<TLabel>("lbDelayLine" + s);
        if (!f.ok())
            return;
        indicator->SetLeft(DelayIndicatorLeft(delay, line->Width(), delayFader->Max()));

        f.Down("pkbMute" + s, m.IsMuted(c));
        f.Down("pkbMuteBackup" + s, m.IsMuted(c));
        if (!f.ok())
            return;

        SetOverlaysDirty(c);

        const int bit = input ? c : c - 2;
        if (auto* graph = f.Get<LMyFFTDrawHpLp6dB>("fftDraw" + s))
            SetBypassLabel(*graph, m.GetEqBypassMask(c) >> bit & 1);
        if (input) {
            if (auto* graph = f.Get<LMyFFTDrawHpLp6dB>("fftDrawGeq" + s)) {
                SetBypassLabel(*graph, m.GetGeqBypassMask() >> c & 1);
                graph->Repaint();
            }
        }
        if (!f.ok())
            return;
    }

    // The delay unit's button, as if clicked: its handler writes every delay text in that unit.
    const unsigned unit = m.GetDelayUnit();
    if (unit <= 2) {
        if (auto* b = f.Get<TPkBmpButton>("pkbUnit" + std::to_string(unit))) {
            b->SetDown(true);
            b->Click();
        }
    }
    // The test-signal dialog does not exist yet during the window's own creation.
    if (fmTest)
        fmTest->ShowWorkMode(m.GetWorkMode(), m.GetSineIndex());
    if (auto* matrix = f.Get<TPaintBox>("pbMatrix"))
        matrix->Repaint();
    ShowLinksFromModel();
    for (int c = 0; c <= 5; ++c)
        PlaceDelayIndicator(c);
}

void TfmMain::FillPeqTable(TMyPEQType8* table, int ch) {
    if (!table || !unitControl)
        return;
    table->SetNowIndex(0);
    const int bands = ch <= 1 ? 8 : 9;
    for (int band = 0; band < bands; ++band) {
        const PeqBand b = unitControl->GetPeqBand(ch, band);
        table->SetEqParamValue(band, IndexToFreq(b.freq), b.q, IndexToGain(b.gain), b.type,
                               unitControl->IsPeqBandBypassed(ch, band));
    }
}
