// The matrix page: each output's sources (route buttons) and mix levels (up-downs and typed levels), and
// the routing lines of the block diagram. Routes and mix levels belong to one output: they never reach
// linked channels.

#include "app/pages/MatrixPage.h"

#include "link/Scales.h"

#include "panels/PkBmpButton.h"
#include "platform/core/Numbers.h"
#include "platform/gui/StdBars.h"
#include "platform/gui/StdPanels.h"
#include "styled/RoundControls.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <utility>

using namespace kv;

namespace {

// Line ends in pbMatrix's pixels at the design height: the left ends by input, the right ends by output.
constexpr int MATRIX_INPUT_Y[2] = {38, 142};
constexpr int MATRIX_OUTPUT_Y[4] = {2, 59, 116, 173};
// The inputs' curve colours.
constexpr TColor MATRIX_LINE_COLOUR[2] = {clPurple, clOlive};

// "A" for the InA control of an output, "B" for the InB one, by the control's Tag; empty for any other.
std::string InputLetter(int tag) {
    return tag == 0 ? "A" : tag == 1 ? "B" : "";
}

// The name of an output channel's control: the stem, input letter included, then the output's digit
// ("cvdAMatrixOut" and channel 4 give "cvdAMatrixOut3").
std::string OutputControlName(const std::string& stem, int output) {
    return stem + std::to_string(output - 1);
}

} // namespace

static TMatrixPage* MatrixOf(TfmMain& w) {
    return &w.Matrix();
}

void TMatrixPage::Publish(TClassBuilder<TfmMain>& b) {
    b.Forward<TNotifyEvent>("pkgFftMatrixPaint", MatrixOf, &TMatrixPage::pkgFftMatrixPaint);
    b.Forward<TNotifyEvent>("pkbAMatrixOut1Click", MatrixOf, &TMatrixPage::pkbAMatrixOut1Click);
    b.Forward<TNotifyEvent>("pkbAMatrixOut2Click", MatrixOf, &TMatrixPage::pkbAMatrixOut2Click);
    b.Forward<TNotifyEvent>("pkbAMatrixOut3Click", MatrixOf, &TMatrixPage::pkbAMatrixOut3Click);
    b.Forward<TNotifyEvent>("pkbAMatrixOut4Click", MatrixOf, &TMatrixPage::pkbAMatrixOut4Click);
    b.Forward<TNotifyEvent>("pkbAMatrixOut5Click", MatrixOf, &TMatrixPage::pkbAMatrixOut5Click);
    b.Forward<TNotifyEvent>("pkbAMatrixOut6Click", MatrixOf, &TMatrixPage::pkbAMatrixOut6Click);
    b.Forward<TUDChangingEventEx>("udMixGainAOut1ChangingEx", MatrixOf,
                                  &TMatrixPage::udMixGainAOut1ChangingEx);
    b.Forward<TUDChangingEventEx>("udMixGainAOut2ChangingEx", MatrixOf,
                                  &TMatrixPage::udMixGainAOut2ChangingEx);
    b.Forward<TUDChangingEventEx>("udMixGainAOut3ChangingEx", MatrixOf,
                                  &TMatrixPage::udMixGainAOut3ChangingEx);
    b.Forward<TUDChangingEventEx>("udMixGainAOut4ChangingEx", MatrixOf,
                                  &TMatrixPage::udMixGainAOut4ChangingEx);
    b.Forward<TUDChangingEventEx>("udMixGainAOut5ChangingEx", MatrixOf,
                                  &TMatrixPage::udMixGainAOut5ChangingEx);
    b.Forward<TUDChangingEventEx>("udMixGainAOut6ChangingEx", MatrixOf,
                                  &TMatrixPage::udMixGainAOut6ChangingEx);
    b.Forward<TKeyEvent>("cvdAMatrixOut1KeyDown", MatrixOf, &TMatrixPage::cvdAMatrixOut1KeyDown);
    b.Forward<TKeyEvent>("cvdAMatrixOut2KeyDown", MatrixOf, &TMatrixPage::cvdAMatrixOut2KeyDown);
    b.Forward<TKeyEvent>("cvdAMatrixOut3KeyDown", MatrixOf, &TMatrixPage::cvdAMatrixOut3KeyDown);
    b.Forward<TKeyEvent>("cvdAMatrixOut4KeyDown", MatrixOf, &TMatrixPage::cvdAMatrixOut4KeyDown);
    b.Forward<TKeyEvent>("cvdAMatrixOut5KeyDown", MatrixOf, &TMatrixPage::cvdAMatrixOut5KeyDown);
    b.Forward<TKeyEvent>("cvdAMatrixOut6KeyDown", MatrixOf, &TMatrixPage::cvdAMatrixOut6KeyDown);
    b.Forward<TNotifyEvent>("cvdAMatrixOut1Exit", MatrixOf, &TMatrixPage::cvdAMatrixOut1Exit);
    b.Forward<TNotifyEvent>("cvdAMatrixOut2Exit", MatrixOf, &TMatrixPage::cvdAMatrixOut2Exit);
    b.Forward<TNotifyEvent>("cvdAMatrixOut3Exit", MatrixOf, &TMatrixPage::cvdAMatrixOut3Exit);
    b.Forward<TNotifyEvent>("cvdAMatrixOut4Exit", MatrixOf, &TMatrixPage::cvdAMatrixOut4Exit);
    b.Forward<TNotifyEvent>("cvdAMatrixOut5Exit", MatrixOf, &TMatrixPage::cvdAMatrixOut5Exit);
    b.Forward<TNotifyEvent>("cvdAMatrixOut6Exit", MatrixOf, &TMatrixPage::cvdAMatrixOut6Exit);
}

void TMatrixPage::Bind() {
    for (int input = 0; input < 2; ++input) {
        const std::string letter = InputLetter(input);
        for (int output = 2; output <= 7; ++output) {
            const auto o = static_cast<size_t>(output);
            BindOne(upDowns[static_cast<size_t>(input)][o],
                    OutputControlName("udMixGain" + letter + "Out", output));
            BindOne(boxes[static_cast<size_t>(input)][o],
                    OutputControlName("cvd" + letter + "MatrixOut", output));
            BindOne(routes[static_cast<size_t>(input)][o],
                    OutputControlName("pkb" + letter + "MatrixOut", output));
        }
    }
    BindOne(diagram, "pbMatrix");
}

// ---- Routing lines ------------------------------------------------------------------------------------

void TMatrixPage::DrawMatrixRouting() {
    auto* box = diagram;
    auto* group = box ? dynamic_cast<TCustomControl*>(box->Parent()) : nullptr;
    TCanvas* canvas = group ? group->Canvas() : nullptr;
    // Outside the group's paint there is nothing to draw on; the repaint that follows draws.
    if (!canvas || !canvas->Target() || !Model())
        return;
    const TRect area = box->BoundsRect();
    canvas->SetClipRect(&area);
    canvas->Pen()->SetStyle(TPenStyle::psSolid);
    canvas->Pen()->SetMode(TPenMode::pmCopy);
    canvas->Pen()->SetWidth(2);
    for (int i = 0; i < 2; ++i) {
        canvas->Pen()->SetColor(MATRIX_LINE_COLOUR[i]);
        for (int j = 0; j < 4; ++j) {
            if (!(Model()->GetSourceMask(j + 2) >> i & 1))
                continue;
            // The ends spread with the window's extra height, as the strips they join do.
            canvas->MoveTo(area.Left, area.Top + MATRIX_INPUT_Y[i] + i * (w.ExtraHeight() / 2));
            canvas->LineTo(area.Left + box->Width(),
                           area.Top + w.ExtraHeight() / 5 * (j + 1) + MATRIX_OUTPUT_Y[j]);
        }
    }
    canvas->SetClipRect(nullptr);
}

void TMatrixPage::RepaintDiagram() {
    DrawMatrixRouting();
    if (diagram)
        diagram->Repaint();
}

void TMatrixPage::pkgFftMatrixPaint(TObject*) {
    DrawMatrixRouting();
}

// ---- Route buttons ------------------------------------------------------------------------------------

void TMatrixPage::RouteClick(TObject* sender, int output) {
    auto* button = dynamic_cast<TPkBmpButton*>(sender);
    if (!button || !Model())
        return;
    Model()->SetMatrixRoute(output, button->Tag(), button->Down());
    RepaintDiagram();
}

void TMatrixPage::pkbAMatrixOut1Click(TObject* sender) {
    RouteClick(sender, 2);
}
void TMatrixPage::pkbAMatrixOut2Click(TObject* sender) {
    RouteClick(sender, 3);
}
void TMatrixPage::pkbAMatrixOut3Click(TObject* sender) {
    RouteClick(sender, 4);
}
void TMatrixPage::pkbAMatrixOut4Click(TObject* sender) {
    RouteClick(sender, 5);
}
void TMatrixPage::pkbAMatrixOut5Click(TObject* sender) {
    RouteClick(sender, 6);
}
void TMatrixPage::pkbAMatrixOut6Click(TObject* sender) {
    RouteClick(sender, 7);
}

// ---- Mix levels ---------------------------------------------------------------------------------------

void TMatrixPage::MixLevelChanging(TObject* sender, int value, int output) {
    auto* upDown = dynamic_cast<TUpDown*>(sender);
    // An arrow pressed at an end of the range offers a value beyond it: nothing changes.
    if (!upDown || value < upDown->Min() || value > upDown->Max())
        return;
    // The input is the up-down's own: its Tag.
    const int input = upDown->Tag();
    const std::string letter = InputLetter(input);
    auto* box = letter.empty() ? nullptr : At(boxes[static_cast<size_t>(input)], output);
    if (!box)
        return;
    // Written also while the panels are filled: the refresh shows the levels through the positions.
    box->SetText(LevelIndexText(value));
    if (Updating() || !Model())
        return;
    Model()->SetMixLevel(output, input, static_cast<uint16_t>(value - upDown->Min()));
    RepaintDiagram();
}

void TMatrixPage::udMixGainAOut1ChangingEx(TObject* sender, bool&, std::int16_t newValue, TUpDownDirection) {
    MixLevelChanging(sender, newValue, 2);
}
void TMatrixPage::udMixGainAOut2ChangingEx(TObject* sender, bool&, std::int16_t newValue, TUpDownDirection) {
    MixLevelChanging(sender, newValue, 3);
}
void TMatrixPage::udMixGainAOut3ChangingEx(TObject* sender, bool&, std::int16_t newValue, TUpDownDirection) {
    MixLevelChanging(sender, newValue, 4);
}
void TMatrixPage::udMixGainAOut4ChangingEx(TObject* sender, bool&, std::int16_t newValue, TUpDownDirection) {
    MixLevelChanging(sender, newValue, 5);
}
void TMatrixPage::udMixGainAOut5ChangingEx(TObject* sender, bool&, std::int16_t newValue, TUpDownDirection) {
    MixLevelChanging(sender, newValue, 6);
}
void TMatrixPage::udMixGainAOut6ChangingEx(TObject* sender, bool&, std::int16_t newValue, TUpDownDirection) {
    MixLevelChanging(sender, newValue, 7);
}

// ---- Typed mix levels ---------------------------------------------------------------------------------

std::optional<int> TMatrixPage::MixLevelPosition(std::string text) {
    return LevelPosition(std::move(text), 0.0);
}

void TMatrixPage::TypedMixLevel(TObject* sender, int output) {
    auto* box = dynamic_cast<TRoundEdit*>(sender);
    if (!box)
        return;
    const std::string letter = InputLetter(box->Tag());
    auto* upDown = letter.empty() ? nullptr : At(upDowns[static_cast<size_t>(box->Tag())], output);
    if (!upDown)
        return;
    // As if the user had stepped there: the up-down's change stores, sends and shows the level.
    ConfirmTypedLevel(
        *box, 0.0, [upDown] { return upDown->Position(); }, [upDown](int p) { upDown->SetPosition(p); });
}

void TMatrixPage::cvdAMatrixOut1KeyDown(TObject* sender, std::uint16_t& key, TShiftState) {
    if (key == VK_RETURN)
        TypedMixLevel(sender, 2);
}
void TMatrixPage::cvdAMatrixOut2KeyDown(TObject* sender, std::uint16_t& key, TShiftState) {
    if (key == VK_RETURN)
        TypedMixLevel(sender, 3);
}
void TMatrixPage::cvdAMatrixOut3KeyDown(TObject* sender, std::uint16_t& key, TShiftState) {
    if (key == VK_RETURN)
        TypedMixLevel(sender, 4);
}
void TMatrixPage::cvdAMatrixOut4KeyDown(TObject* sender, std::uint16_t& key, TShiftState) {
    if (key == VK_RETURN)
        TypedMixLevel(sender, 5);
}
void TMatrixPage::cvdAMatrixOut5KeyDown(TObject* sender, std::uint16_t& key, TShiftState) {
    if (key == VK_RETURN)
        TypedMixLevel(sender, 6);
}
void TMatrixPage::cvdAMatrixOut6KeyDown(TObject* sender, std::uint16_t& key, TShiftState) {
    if (key == VK_RETURN)
        TypedMixLevel(sender, 7);
}

void TMatrixPage::cvdAMatrixOut1Exit(TObject* sender) {
    TypedMixLevel(sender, 2);
}
void TMatrixPage::cvdAMatrixOut2Exit(TObject* sender) {
    TypedMixLevel(sender, 3);
}
void TMatrixPage::cvdAMatrixOut3Exit(TObject* sender) {
    TypedMixLevel(sender, 4);
}
void TMatrixPage::cvdAMatrixOut4Exit(TObject* sender) {
    TypedMixLevel(sender, 5);
}
void TMatrixPage::cvdAMatrixOut5Exit(TObject* sender) {
    TypedMixLevel(sender, 6);
}
void TMatrixPage::cvdAMatrixOut6Exit(TObject* sender) {
    TypedMixLevel(sender, 7);
}

void TMatrixPage::FillOutput(TFill& f, int channel, const LUnitControl& m) {
    const uint16_t route = m.GetSourceMask(channel);
    f.Down(At(routes[0], channel), route & 1);
    f.Down(At(routes[1], channel), route & 2);
    f.UpDown(At(upDowns[0], channel), m.GetMixLevel(channel, 0), true);
    f.UpDown(At(upDowns[1], channel), m.GetMixLevel(channel, 1), true);
}

void TMatrixPage::FillDiagram(TFill& f) {
    if (auto* box = f.Take(diagram))
        box->Repaint();
}
