#pragma once
// The matrix page: each output's sources (route buttons) and mix levels (up-downs and typed levels), and
// the routing lines of the block diagram. One handler of each kind per output, shared by the output's A
// and B controls, which carry their input (0 InA, 1 InB) in their Tag. Out5 and Out6 exist for outputs
// the unit does not have.

#include "app/pages/Page.h"

namespace kv {
class TPaintBox;
class TPkBmpButton;
class TRoundEdit;
class TUpDown;
enum class TUpDownDirection;
} // namespace kv

class TMatrixPage : public TPage {
public:
    using TPage::TPage;
    static void Publish(kv::TClassBuilder<TfmMain>& b);
    void Bind() override;

    // Draws a line over pbMatrix for every route of the model. The lines live on the diagram group's
    // canvas and are drawn only while the group paints (pkgFftMatrixPaint): a change calls this and
    // then repaints pbMatrix, whose repaint paints the group beneath it.
    void DrawMatrixRouting();
    void pkgFftMatrixPaint(kv::TObject* sender);
    void pkbAMatrixOut1Click(kv::TObject* sender);
    void pkbAMatrixOut2Click(kv::TObject* sender);
    void pkbAMatrixOut3Click(kv::TObject* sender);
    void pkbAMatrixOut4Click(kv::TObject* sender);
    void pkbAMatrixOut5Click(kv::TObject* sender);
    void pkbAMatrixOut6Click(kv::TObject* sender);
    void udMixGainAOut1ChangingEx(kv::TObject* sender, bool& allowChange, std::int16_t newValue,
                                  kv::TUpDownDirection direction);
    void udMixGainAOut2ChangingEx(kv::TObject* sender, bool& allowChange, std::int16_t newValue,
                                  kv::TUpDownDirection direction);
    void udMixGainAOut3ChangingEx(kv::TObject* sender, bool& allowChange, std::int16_t newValue,
                                  kv::TUpDownDirection direction);
    void udMixGainAOut4ChangingEx(kv::TObject* sender, bool& allowChange, std::int16_t newValue,
                                  kv::TUpDownDirection direction);
    void udMixGainAOut5ChangingEx(kv::TObject* sender, bool& allowChange, std::int16_t newValue,
                                  kv::TUpDownDirection direction);
    void udMixGainAOut6ChangingEx(kv::TObject* sender, bool& allowChange, std::int16_t newValue,
                                  kv::TUpDownDirection direction);
    void cvdAMatrixOut1KeyDown(kv::TObject* sender, std::uint16_t& key, kv::TShiftState shift);
    void cvdAMatrixOut2KeyDown(kv::TObject* sender, std::uint16_t& key, kv::TShiftState shift);
    void cvdAMatrixOut3KeyDown(kv::TObject* sender, std::uint16_t& key, kv::TShiftState shift);
    void cvdAMatrixOut4KeyDown(kv::TObject* sender, std::uint16_t& key, kv::TShiftState shift);
    void cvdAMatrixOut5KeyDown(kv::TObject* sender, std::uint16_t& key, kv::TShiftState shift);
    void cvdAMatrixOut6KeyDown(kv::TObject* sender, std::uint16_t& key, kv::TShiftState shift);
    void cvdAMatrixOut1Exit(kv::TObject* sender);
    void cvdAMatrixOut2Exit(kv::TObject* sender);
    void cvdAMatrixOut3Exit(kv::TObject* sender);
    void cvdAMatrixOut4Exit(kv::TObject* sender);
    void cvdAMatrixOut5Exit(kv::TObject* sender);
    void cvdAMatrixOut6Exit(kv::TObject* sender);
    // The up-down position (-280..0) of a typed mix level in dB ("-25.7", "-3dB", "+6"), clamped to
    // -60..0 dB; below -20 dB taken toward zero onto the 0.5 dB grid. None when the text is no level.
    static std::optional<int> MixLevelPosition(std::string text);
    // The refresh: an output's routes and mix levels from the model, and the diagram repainted.
    void FillOutput(TFill& f, int channel, const LUnitControl& m);
    void FillDiagram(TFill& f);

private:
    void RouteClick(kv::TObject* sender, int output);
    void MixLevelChanging(kv::TObject* sender, int value, int output);
    void TypedMixLevel(kv::TObject* sender, int output);
    void RepaintDiagram();

    // By input (0 InA, 1 InB) and output channel (2..7; 0 and 1 stay empty).
    std::array<std::array<kv::TUpDown*, 8>, 2> upDowns{};
    std::array<std::array<kv::TRoundEdit*, 8>, 2> boxes{};
    std::array<std::array<kv::TPkBmpButton*, 8>, 2> routes{};
    kv::TPaintBox* diagram = nullptr;
};
