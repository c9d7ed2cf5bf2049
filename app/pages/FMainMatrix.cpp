// The matrix page: each output's sources (route buttons) and mix levels (up-downs and typed levels), and
// the routing lines of the block diagram. Routes and mix levels belong to one output: they never reach
// linked channels.

#include "app/FMain.h"

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

void TfmMain::PublishMatrix(TClassBuilder<TfmMain>& b) {
    b.Method<TNotifyEvent>("pkgFftMatrixPaint", &TfmMain::pkgFftMatrixPaint);
    b.Method<TNotifyEvent>("pkbAMatrixOut1Click", &TfmMain::pkbAMatrixOut1Click);
    b.Method<TNotifyEvent>("pkbAMatrixOut2Click", &TfmMain::pkbAMatrixOut2Click);
    b.Method<TNotifyEvent>("pkbAMatrixOut3Click", &TfmMain::pkbAMatrixOut3Click);
    b.Method<TNotifyEvent>("pkbAMatrixOut4Click", &TfmMain::pkbAMatrixOut4Click);
    b.Method<TNotifyEvent>("pkbAMatrixOut5Click", &TfmMain::pkbAMatrixOut5Click);
    b.Method<TNotifyEvent>("pkbAMatrixOut6Click", &TfmMain::pkbAMatrixOut6Click);
    b.Method<TUDChangingEventEx>("udMixGainAOut1ChangingEx", &TfmMain::udMixGainAOut1ChangingEx);
    b.Method<TUDChangingEventEx>("udMixGainAOut2ChangingEx", &TfmMain::udMixGainAOut2ChangingEx);
    b.Method<TUDChangingEventEx>("udMixGainAOut3ChangingEx", &TfmMain::udMixGainAOut3ChangingEx);
    b.Method<TUDChangingEventEx>("udMixGainAOut4ChangingEx", &TfmMain::udMixGainAOut4ChangingEx);
    b.Method<TUDChangingEventEx>("udMixGainAOut5ChangingEx", &TfmMain::udMixGainAOut5ChangingEx);
    b.Method<TUDChangingEventEx>("udMixGainAOut6ChangingEx", &TfmMain::udMixGainAOut6ChangingEx);
    b.Method<TKeyEvent>("cvdAMatrixOut1KeyDown", &TfmMain::cvdAMatrixOut1KeyDown);
    b.Method<TKeyEvent>("cvdAMatrixOut2KeyDown", &TfmMain::cvdAMatrixOut2KeyDown);
    b.Method<TKeyEvent>("cvdAMatrixOut3KeyDown", &TfmMain::cvdAMatrixOut3KeyDown);
    b.Method<TKeyEvent>("cvdAMatrixOut4KeyDown", &TfmMain::cvdAMatrixOut4KeyDown);
    b.Method<TKeyEvent>("cvdAMatrixOut5KeyDown", &TfmMain::cvdAMatrixOut5KeyDown);
    b.Method<TKeyEvent>("cvdAMatrixOut6KeyDown", &TfmMain::cvdAMatrixOut6KeyDown);
    b.Method<TNotifyEvent>("cvdAMatrixOut1Exit", &TfmMain::cvdAMatrixOut1Exit);
    b.Method<TNotifyEvent>("cvdAMatrixOut2Exit", &TfmMain::cvdAMatrixOut2Exit);
    b.Method<TNotifyEvent>("cvdAMatrixOut3Exit", &TfmMain::cvdAMatrixOut3Exit);
    b.Method<TNotifyEvent>("cvdAMatrixOut4Exit", &TfmMain::cvdAMatrixOut4Exit);
    b.Method<TNotifyEvent>("cvdAMatrixOut5Exit", &TfmMain::cvdAMatrixOut5Exit);
    b.Method<TNotifyEvent>("cvdAMatrixOut6Exit", &TfmMain::cvdAMatrixOut6Exit);
}

// ---- Routing lines ------------------------------------------------------------------------------------

void TfmMain::DrawMatrixRouting() {
    auto* box = Find<TPaintBox>("pbMatrix");
    auto* group = box ? dynamic_cast<TCustomControl*>(box->Parent()) : nullptr;
    TCanvas* canvas = group ? group->Canvas() : nullptr;
    // Outside the group's paint there is nothing to draw on; the repaint that follows draws.
    if (!canvas || !canvas->Target() || !unitControl)
        return;
    const TRect area = box->BoundsRect();
    canvas->SetClipRect(&area);
    canvas->Pen()->SetStyle(TPenStyle::psSolid);
    canvas->Pen()->SetMode(TPenMode::pmCopy);
    canvas->Pen()->SetWidth(2);
    for (int i = 0; i < 2; ++i) {
        canvas->Pen()->SetColor(MATRIX_LINE_COLOUR[i]);
        for (int j = 0; j < 4; ++j) {
            if (!(unitControl->GetSourceMask(j + 2) >> i & 1))
                continue;
            // The ends spread with the window's extra height, as the strips they join do.
            canvas->MoveTo(area.Left, area.Top + MATRIX_INPUT_Y[i] + i * (extraHeight / 2));
            canvas->LineTo(area.Left + box->Width(),
                           area.Top + extraHeight / 5 * (j + 1) + MATRIX_OUTPUT_Y[j]);
        }
    }
    canvas->SetClipRect(nullptr);
}

void TfmMain::pkgFftMatrixPaint(TObject*) {
    DrawMatrixRouting();
}

// ---- Route buttons ------------------------------------------------------------------------------------

void TfmMain::RouteClick(TObject* sender, int output) {
    auto* button = dynamic_cast<TPkBmpButton*>(sender);
    if (!button || !unitControl)
        return;
    unitControl->SetMatrixRoute(output, button->Tag(), button->Down());
    DrawMatrixRouting();
    if (auto* box = Find<TPaintBox>("pbMatrix"))
        box->Repaint();
}

void TfmMain::pkbAMatrixOut1Click(TObject* sender) {
    RouteClick(sender, 2);
}
void TfmMain::pkbAMatrixOut2Click(TObject* sender) {
    RouteClick(sender, 3);
}
void TfmMain::pkbAMatrixOut3Click(TObject* sender) {
    RouteClick(sender, 4);
}
void TfmMain::pkbAMatrixOut4Click(TObject* sender) {
    RouteClick(sender, 5);
}
void TfmMain::pkbAMatrixOut5Click(TObject* sender) {
    RouteClick(sender, 6);
}
void TfmMain::pkbAMatrixOut6Click(TObject* sender) {
    RouteClick(sender, 7);
}

// ---- Mix levels ---------------------------------------------------------------------------------------

void TfmMain::MixLevelChanging(TObject* sender, int value, int output) {
    auto* upDown = dynamic_cast<TUpDown*>(sender);
    // An arrow pressed at an end of the range offers a value beyond it: nothing changes.
    if (!upDown || value < upDown->Min() || value > upDown->Max())
        return;
    // The input is the up-down's own: its Tag.
    const int input = upDown->Tag();
    const std::string letter = InputLetter(input);
    auto* box =
        letter.empty() ? nullptr : Find<TRoundEdit>(OutputControlName("cvd" + letter + "MatrixOut", output));
    if (!box)
        return;
    // Written also while the panels are filled: the refresh shows the levels through the positions.
    box->SetText(LevelIndexText(value));
    if (updatingView || !unitControl)
        return;
    unitControl->SetMixLevel(output, input, static_cast<uint16_t>(value - upDown->Min()));
    DrawMatrixRouting();
    if (auto* paintBox = Find<TPaintBox>("pbMatrix"))
        paintBox->Repaint();
}

void TfmMain::udMixGainAOut1ChangingEx(TObject* sender, bool&, std::int16_t newValue, TUpDownDirection) {
    MixLevelChanging(sender, newValue, 2);
}
void TfmMain::udMixGainAOut2ChangingEx(TObject* sender, bool&, std::int16_t newValue, TUpDownDirection) {
    MixLevelChanging(sender, newValue, 3);
}
void TfmMain::udMixGainAOut3ChangingEx(TObject* sender, bool&, std::int16_t newValue, TUpDownDirection) {
    MixLevelChanging(sender, newValue, 4);
}
void TfmMain::udMixGainAOut4ChangingEx(TObject* sender, bool&, std::int16_t newValue, TUpDownDirection) {
    MixLevelChanging(sender, newValue, 5);
}
void TfmMain::udMixGainAOut5ChangingEx(TObject* sender, bool&, std::int16_t newValue, TUpDownDirection) {
    MixLevelChanging(sender, newValue, 6);
}
void TfmMain::udMixGainAOut6ChangingEx(TObject* sender, bool&, std::int16_t newValue, TUpDownDirection) {
    MixLevelChanging(sender, newValue, 7);
}

// ---- Typed mix levels ---------------------------------------------------------------------------------

std::optional<int> TfmMain::MixLevelPosition(std::string text) {
    return LevelPosition(std::move(text), 0.0);
}

std::optional<int> TfmMain::LevelPosition(std::string text, double maxDb) {
    for (const char* unit : {"dB", "DB", "db", "Db"})
        if (text.find(unit) != std::string::npos)
            text.resize(text.size() - 2);
    if (text.empty() || text == "-" || text == ".")
        return std::nullopt;
    if (text.find_first_not_of("0123456789.-+") != std::string::npos ||
        std::count(text.begin(), text.end(), '.') > 1 || std::count(text.begin(), text.end(), '-') > 1)
        return std::nullopt;
    // One decimal is kept, and at least one must follow a point.
    if (const size_t point = text.find('.'); point != std::string::npos) {
        if (point + 1 >= text.size())
            return std::nullopt;
        text.resize(point + 2);
    }
    // Texts such as "1-2", "+" or "-+1" pass the checks above and still are no number.
    const std::optional<double> value = ParseDouble(text);
    if (!value)
        return std::nullopt;
    // Tenths of a dB; exact, as the text holds one decimal at most.
    const long tenths = std::lround(std::clamp(*value, -60.0, maxDb) * 10.0);
    // Below -20 dB a position is 0.5 dB; the division takes a level between two toward zero.
    return static_cast<int>(tenths < -200 ? (tenths + 200) / 5 - 200 : tenths);
}

void TfmMain::TypedMixLevel(TObject* sender, int output) {
    auto* box = dynamic_cast<TRoundEdit*>(sender);
    if (!box)
        return;
    const std::string letter = InputLetter(box->Tag());
    auto* upDown =
        letter.empty() ? nullptr : Find<TUpDown>(OutputControlName("udMixGain" + letter + "Out", output));
    if (!upDown)
        return;
    // As if the user had stepped there: the up-down's change stores, sends and shows the level.
    ConfirmTypedLevel(
        *box, 0.0, [upDown] { return upDown->Position(); }, [upDown](int p) { upDown->SetPosition(p); });
}

void TfmMain::ConfirmTypedLevel(TRoundEdit& box, double maxDb, const std::function<int()>& position,
                                const std::function<void(int)>& move) {
    const std::optional<int> typed = LevelPosition(box.GetText(), maxDb);
    box.SetText("");
    if (!typed || *typed == position()) {
        // Refused, or the level already set: the shown level comes back and nothing is sent.
        box.SetText(LevelIndexText(position()));
        PressEndKey(box);
        return;
    }
    move(*typed);
    box.SetText(LevelIndexText(position()));
}

void TfmMain::cvdAMatrixOut1KeyDown(TObject* sender, std::uint16_t& key, TShiftState) {
    if (key == VK_RETURN)
        TypedMixLevel(sender, 2);
}
void TfmMain::cvdAMatrixOut2KeyDown(TObject* sender, std::uint16_t& key, TShiftState) {
    if (key == VK_RETURN)
        TypedMixLevel(sender, 3);
}
void TfmMain::cvdAMatrixOut3KeyDown(TObject* sender, std::uint16_t& key, TShiftState) {
    if (key == VK_RETURN)
        TypedMixLevel(sender, 4);
}
void TfmMain::cvdAMatrixOut4KeyDown(TObject* sender, std::uint16_t& key, TShiftState) {
    if (key == VK_RETURN)
        TypedMixLevel(sender, 5);
}
void TfmMain::cvdAMatrixOut5KeyDown(TObject* sender, std::uint16_t& key, TShiftState) {
    if (key == VK_RETURN)
        TypedMixLevel(sender, 6);
}
void TfmMain::cvdAMatrixOut6KeyDown(TObject* sender, std::uint16_t& key, TShiftState) {
    if (key == VK_RETURN)
        TypedMixLevel(sender, 7);
}

void TfmMain::cvdAMatrixOut1Exit(TObject* sender) {
    TypedMixLevel(sender, 2);
}
void TfmMain::cvdAMatrixOut2Exit(TObject* sender) {
    TypedMixLevel(sender, 3);
}
void TfmMain::cvdAMatrixOut3Exit(TObject* sender) {
    TypedMixLevel(sender, 4);
}
void TfmMain::cvdAMatrixOut4Exit(TObject* sender) {
    TypedMixLevel(sender, 5);
}
void TfmMain::cvdAMatrixOut5Exit(TObject* sender) {
    TypedMixLevel(sender, 6);
}
void TfmMain::cvdAMatrixOut6Exit(TObject* sender) {
    TypedMixLevel(sender, 7);
}
