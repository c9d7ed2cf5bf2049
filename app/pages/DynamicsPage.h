#pragma once
// The compressor, limiter and gate strips with their pages' transfer curves, and the typed values of
// their boxes. A fader or up-down edit stores one field of the channel's dynamics record (in its link
// group) and sends it, the group's strips show the value, and the page's transfer curve follows.

#include "app/pages/Page.h"

#include <initializer_list>

namespace kv {
class TgXYPlot;
class TLabel;
class TRoundEdit;
class TStTrackBar;
class TTimer;
class TUpDown;
enum class TUpDownDirection;
} // namespace kv

class TDynamicsPage : public TPage {
public:
    using TPage::TPage;
    static void Publish(kv::TClassBuilder<TfmMain>& b);
    void Bind() override;

    // The three strips. Fields: compressor (outputs 2..5) 0 threshold, 1 attack, 2 release, 3 ratio,
    // 4 knee; limiter (outputs) 0 threshold, 1 attack, 2 release, 3 knee; gate (inputs 0..1)
    // 0 threshold, 1 attack, 2 release, 3 hold. Ratio and knee are up-downs, the others faders.
    enum Block { comp = 0, limit = 1, gate = 2 };

    // One field of a channel's dynamics record set from a control position, stored in the channel's
    // link group and sent. A threshold position is stored as its code, position + 180.
    void ApplyCompParam(int channel, int field, int value);
    void ApplyLimitParam(int channel, int field, int value);
    void ApplyGateParam(int channel, int field, int value);

    // The strips' faders and up-downs, one handler per row shared by every strip.
    void isCompThresholdOut1Change(kv::TObject* sender);
    void isCompAttackOut1Change(kv::TObject* sender);
    void isCompReleaseOut1Change(kv::TObject* sender);
    void udCompRatioOut1ChangingEx(kv::TObject* sender, bool& allowChange, std::int16_t newValue,
                                   kv::TUpDownDirection direction);
    void udCompKneeOut1ChangingEx(kv::TObject* sender, bool& allowChange, std::int16_t newValue,
                                  kv::TUpDownDirection direction);
    void isLimitThresholdOut1Change(kv::TObject* sender);
    void isLimitAttackOut1Change(kv::TObject* sender);
    void isLimitReleaseOut1Change(kv::TObject* sender);
    void udLimitKneeOut1ChangingEx(kv::TObject* sender, bool& allowChange, std::int16_t newValue,
                                   kv::TUpDownDirection direction);
    void isGateThresholdInAChange(kv::TObject* sender);
    void isGateAttackInAChange(kv::TObject* sender);
    void isGateReleaseInAChange(kv::TObject* sender);
    void isGateHoldInAChange(kv::TObject* sender);

    // A mouse-down in a strip shows that strip's channel on its page.
    void isCompThresholdOut1MouseDown(kv::TObject* sender, kv::TMouseButton button, kv::TShiftState shift,
                                      int x, int y);
    void cvdCompThresholdOut1MouseDown(kv::TObject* sender, kv::TMouseButton button, kv::TShiftState shift,
                                       int x, int y);
    void lbCompOut1MouseDown(kv::TObject* sender, kv::TMouseButton button, kv::TShiftState shift, int x,
                             int y);
    void isLimitThresholdOut1MouseDown(kv::TObject* sender, kv::TMouseButton button, kv::TShiftState shift,
                                       int x, int y);
    void cvdLimitThresholdOut1MouseDown(kv::TObject* sender, kv::TMouseButton button, kv::TShiftState shift,
                                        int x, int y);
    void lbLimitOut1MouseDown(kv::TObject* sender, kv::TMouseButton button, kv::TShiftState shift, int x,
                              int y);
    void lbGateInAMouseDown(kv::TObject* sender, kv::TMouseButton button, kv::TShiftState shift, int x,
                            int y);
    void isGateThresholdInAMouseDown(kv::TObject* sender, kv::TMouseButton button, kv::TShiftState shift,
                                     int x, int y);
    void cvdGateThresholdInAMouseDown(kv::TObject* sender, kv::TMouseButton button, kv::TShiftState shift,
                                      int x, int y);
    void cvdGateAttackInAMouseDown(kv::TObject* sender, kv::TMouseButton button, kv::TShiftState shift, int x,
                                   int y);
    void cvdGateReleaseInAMouseDown(kv::TObject* sender, kv::TMouseButton button, kv::TShiftState shift,
                                    int x, int y);

    // The transfer curves of a channel from its strip's controls, with the page's header labels; each
    // makes the channel its page's channel. A strip without its threshold, knee or ratio control
    // changes nothing.
    void DrawCompCurve(int channel);
    void DrawLimitCurve(int channel);
    void DrawGateCurve(int channel);
    // The gate curve and name of an input, leaving the page channel and header as they are; false when
    // the input has no threshold fader.
    bool DrawGatePoints(int channel);
    // The points the three plots show before anything is drawn from a strip.
    void SeedTransferCurves();
    // The deferred compressor and limiter redraws: one draw per tick, for the channel edited last.
    void tmCompDispTimer(kv::TObject* sender);
    void tmLimitDispTimer(kv::TObject* sender);

    // The channel each page shows: Out1 on the compressor and limiter pages, InA on the gate page, at
    // start.
    void ResetPageChannels();
    int CompPageChannel() const { return compPageChannel; }
    int LimitPageChannel() const { return limitPageChannel; }
    int GatePageChannel() const { return gatePageChannel; }
    int CompCurveChannel() const { return compCurveChannel; }
    int LimitCurveChannel() const { return limitCurveChannel; }
    // A channel's compressor ratio up-down, for the meters' compression lamp; null when missing.
    kv::TUpDown* CompRatio(int channel) const { return At(upDowns[comp][3], channel); }

    // A field's value as its strips show it, and on one channel's strip (sending nothing: the link
    // group's mirrors); ShowField is false when the strip lacks the control or its box.
    int FieldCount(Block block) const;
    std::string FieldText(Block block, int field, int value) const;
    // Ratio and knee: the edited channel's own handler wrote its box, so only the group's others take it.
    bool FieldForOthersOnly(Block block, int field) const;
    bool ShowField(Block block, int channel, int field, int value, const std::string& text);
    // The refresh: a channel's strips from the model. The gate page's curve follows its input; after a
    // refresh the compressor and limiter pages show Out1. At the window's start (`startup`) the curves
    // keep their seeded points.
    void FillGate(TFill& f, int channel, const GateRecord& gate, bool startup);
    void FillCompLimit(TFill& f, int channel, const CompRecord& comp, const LimitRecord& limit, bool startup);

    // Typed values of the dynamics boxes: Enter in a box, or leaving it, sets the strip's fader or
    // up-down as if the user had moved it; a text that is no value, or the value already set, puts the
    // current value back (DynamicsEntry.cpp).
    void cvdCompThresholdOut1KeyDown(kv::TObject* sender, std::uint16_t& key, kv::TShiftState shift);
    void cvdCompThresholdOut1Exit(kv::TObject* sender);
    void cvdLimitThresholdOut1KeyDown(kv::TObject* sender, std::uint16_t& key, kv::TShiftState shift);
    void cvdLimitThresholdOut1Exit(kv::TObject* sender);
    void cvdGateThresholdInAKeyDown(kv::TObject* sender, std::uint16_t& key, kv::TShiftState shift);
    void cvdGateThresholdInAExit(kv::TObject* sender);
    void cvdCompAttackOut1KeyDown(kv::TObject* sender, std::uint16_t& key, kv::TShiftState shift);
    void cvdCompAttackOut1Exit(kv::TObject* sender);
    void cvdCompReleaseOut1KeyDown(kv::TObject* sender, std::uint16_t& key, kv::TShiftState shift);
    void cvdCompReleaseOut1Exit(kv::TObject* sender);
    void cvdLimitAttackOut1KeyDown(kv::TObject* sender, std::uint16_t& key, kv::TShiftState shift);
    void cvdLimitAttackOut1Exit(kv::TObject* sender);
    void cvdLimitReleaseOut1KeyDown(kv::TObject* sender, std::uint16_t& key, kv::TShiftState shift);
    void cvdLimitReleaseOut1Exit(kv::TObject* sender);
    void cvdGateAttackInAKeyDown(kv::TObject* sender, std::uint16_t& key, kv::TShiftState shift);
    void cvdGateAttackInAExit(kv::TObject* sender);
    void cvdGateReleaseInAKeyDown(kv::TObject* sender, std::uint16_t& key, kv::TShiftState shift);
    void cvdGateReleaseInAExit(kv::TObject* sender);
    void cvdGateHoldInAKeyDown(kv::TObject* sender, std::uint16_t& key, kv::TShiftState shift);
    void cvdGateHoldInAExit(kv::TObject* sender);
    void cvdCompKneeOut1KeyDown(kv::TObject* sender, std::uint16_t& key, kv::TShiftState shift);
    void cvdCompKneeOut1Exit(kv::TObject* sender);
    void cvdLimitKneeOut1KeyDown(kv::TObject* sender, std::uint16_t& key, kv::TShiftState shift);
    void cvdLimitKneeOut1Exit(kv::TObject* sender);
    void cvdCompRatioOut1KeyDown(kv::TObject* sender, std::uint16_t& key, kv::TShiftState shift);
    void cvdCompRatioOut1Exit(kv::TObject* sender);

private:
    static void PublishEntry(kv::TClassBuilder<TfmMain>& b);
    // The shared bodies of the change handlers of the three pages.
    void CompFaderChange(kv::TObject* sender, int field);
    void CompUpDownChange(kv::TObject* sender, int field, int newValue);
    void LimitFaderChange(kv::TObject* sender, int field);
    void GateFaderChange(kv::TObject* sender, int field);
    // The gate page's name label for an input, as the gate faders redraw it.
    void ShowGateName(int channel);
    struct TransferPoint {
        double x, y;
    };
    void SetTransferPoints(kv::TgXYPlot* plot, std::initializer_list<TransferPoint> curve,
                           TransferPoint threshold);
    // What a dynamics box holds, and the one road of its typed values.
    enum class DynamicsValue { level, time, knee, ratio };
    void ConfirmDynamicsValue(kv::TObject* sender, Block block, int field, DynamicsValue kind);

    // By block and field; a field of the other kind stays empty.
    std::array<std::array<TSix<kv::TStTrackBar>, 5>, 3> faders{};
    std::array<std::array<TSix<kv::TUpDown>, 5>, 3> upDowns{};
    std::array<std::array<TSix<kv::TRoundEdit>, 5>, 3> boxes{};
    kv::TgXYPlot* compPlot = nullptr;
    kv::TgXYPlot* limitPlot = nullptr;
    kv::TgXYPlot* gatePlot = nullptr;
    kv::TLabel* compName = nullptr;
    kv::TLabel* compHead = nullptr;
    kv::TLabel* limitName = nullptr;
    kv::TLabel* limitHead = nullptr;
    kv::TLabel* gateName = nullptr;
    kv::TLabel* gateHead = nullptr;
    kv::TTimer* compTimer = nullptr;
    kv::TTimer* limitTimer = nullptr;

    int compPageChannel = 2;
    int limitPageChannel = 2;
    int gatePageChannel = 0;
    // The channel the next tick of tmCompDisp or tmLimitDisp draws; -1 before the first edit.
    int compCurveChannel = -1;
    int limitCurveChannel = -1;
};
