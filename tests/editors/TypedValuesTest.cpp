// Typed values in every value box that takes them, typed through key events into the focused box and
// confirmed with Enter: a valid value is applied (model, unit, box), one out of range is clamped as the
// box's kind of value is, a malformed one puts the last valid text back and sends nothing. Boxes shown
// read-only take no typing at all.

#include "tests/editors/EditorFixture.h"

#include "link/Scales.h"

#include <QApplication>
#include <QTest>
#include <QWidget>

#include <functional>

namespace {

using namespace editortest;
namespace code = kv::sim::code;

class TypedValuesTest : public EditorFixture {
protected:
    void SetUp() override {
        EditorFixture::SetUp();
        Connect();
        QWidget* window = main->Widget();
        window->activateWindow();
        QApplication::setActiveWindow(window);
    }
    // Selects the box's text and types over it, then Enter, all as key events to the focused widget.
    void Type(kv::TWinControl& box, const std::string& text) {
        box.SetFocus();
        QWidget* focused = QApplication::focusWidget();
        ASSERT_NE(focused, nullptr);
        QTest::keyClick(focused, Qt::Key_End);
        for (int i = 0; i < 12; ++i)
            QTest::keyClick(focused, Qt::Key_Backspace);
        QTest::keyClicks(focused, QString::fromStdString(text));
        QTest::keyClick(focused, Qt::Key_Return);
    }
};

struct TypedCase {
    const char* page;
    const char* box;
    const char* typed;
    const char* shown; // the box afterwards
    std::uint8_t code; // the record expected, 0 for none
    std::function<int(LUnitControl&)> value;
    int expected; // the model's value afterwards
};

TEST_F(TypedValuesTest, EveryValueBoxAppliesClampsOrRestores) {
    using M = LUnitControl;
    auto gain = [](int ch) { return [ch](M& m) { return static_cast<int>(m.GetGain(ch)); }; };
    auto delay = [](int ch) { return [ch](M& m) { return static_cast<int>(m.GetDelay(ch)); }; };
    auto mixA = [](int ch) { return [ch](M& m) { return static_cast<int>(m.GetMixLevel(ch, 0)); }; };
    auto mixB = [](int ch) { return [ch](M& m) { return static_cast<int>(m.GetMixLevel(ch, 1)); }; };
    auto comp = [](int ch, std::uint16_t CompRecord::*f) {
        return [ch, f](M& m) { return int(m.GetComp(ch).*f); };
    };
    auto limit = [](int ch, std::uint16_t LimitRecord::*f) {
        return [ch, f](M& m) { return int(m.GetLimit(ch).*f); };
    };
    auto gate = [](int ch, std::uint16_t GateRecord::*f) {
        return [ch, f](M& m) { return int(m.GetGate(ch).*f); };
    };
    const TypedCase cases[] = {
        // Gain, channel page and gain page: -60..+12 dB.
        {"Out3", "cvdGainOut3", "-12.5", "-12.5dB", code::Gain, gain(4), 155},
        {"Out3", "cvdGainOut3", "-12.5", "-12.5dB", 0, gain(4), 155},
        {"Out3", "cvdGainOut3", "+20", "+12.0dB", code::Gain, gain(4), 400},
        {"Out3", "cvdGainOut3", "1-2", "+12.0dB", 0, gain(4), 400},
        {"Gain", "cvdGainBackupInB", "-30.3dB", "-30.0dB", code::Gain, gain(1), 60},
        {"Gain", "cvdGainBackupInB", "-99", "-60.0dB", code::Gain, gain(1), 0},
        {"Gain", "cvdGainBackupInB", "dB", "-60.0dB", 0, gain(1), 0},
        // Delay in the unit shown (ms): 0..680 ms.
        {"Delay", "cvdDelayOut1", "1.5", "1.500 ms", code::Delay, delay(2), 144},
        {"Delay", "cvdDelayOut1", "900", "680.000 ms", code::Delay, delay(2), 65280},
        {"Delay", "cvdDelayOut1", "-1", "680.000 ms", 0, delay(2), 65280},
        {"Delay", "cvdDelayInA", "2ms", "2.000 ms", code::Delay, delay(0), 192},
        // Mix levels: -60..0 dB.
        {"Matrix", "cvdAMatrixOut1", "-6", "-6.0dB", code::Mix, mixA(2), 220},
        {"Matrix", "cvdAMatrixOut1", "+5", "+0.0dB", code::Mix, mixA(2), 280},
        {"Matrix", "cvdAMatrixOut1", "abc", "+0.0dB", 0, mixA(2), 280},
        {"Matrix", "cvdBMatrixOut4", "-45", "-45.0dB", code::Mix, mixB(5), 30},
        // Dynamics: levels -90..+20 dB (the fader's range), times 1..999 ms (release from 10 ms), ratio,
        // knee 0..12 dB.
        {"Comp", "cvdCompThresholdOut1", "-10", "-10.0dB", code::Comp, comp(2, &CompRecord::threshold), 160},
        {"Comp", "cvdCompThresholdOut1", "-200", "-90.0dB", code::Comp, comp(2, &CompRecord::threshold), 0},
        {"Comp", "cvdCompThresholdOut1", "x", "-90.0dB", 0, comp(2, &CompRecord::threshold), 0},
        {"Comp", "cvdCompAttackOut2", "30", "30ms", code::Comp, comp(3, &CompRecord::attack), 29},
        {"Comp", "cvdCompAttackOut2", "5000", "999ms", code::Comp, comp(3, &CompRecord::attack), 998},
        {"Comp", "cvdCompAttackOut2", "3.5", "999ms", 0, comp(3, &CompRecord::attack), 998},
        {"Comp", "cvdCompReleaseOut3", "100", "100ms", code::Comp, comp(4, &CompRecord::release), 99},
        {"Comp", "cvdCompRatioOut3", "1:4", "1:4.0", code::Comp, comp(4, &CompRecord::ratio), 9},
        {"Comp", "cvdCompRatioOut3", "99", "Limit", code::Comp, comp(4, &CompRecord::ratio), 15},
        {"Comp", "cvdCompRatioOut3", "2:1", "Limit", 0, comp(4, &CompRecord::ratio), 15},
        {"Comp", "cvdCompKneeOut4", "6", "6dB", code::Comp, comp(5, &CompRecord::knee), 6},
        {"Comp", "cvdCompKneeOut4", "20", "12dB", code::Comp, comp(5, &CompRecord::knee), 12},
        {"Comp", "cvdCompKneeOut4", "a", "12dB", 0, comp(5, &CompRecord::knee), 12},
        {"Limit", "cvdLimitThresholdOut2", "-3.5", "-3.5dB", code::Limit, limit(3, &LimitRecord::threshold),
         173},
        {"Limit", "cvdLimitAttackOut3", "0", "1ms", code::Limit, limit(4, &LimitRecord::attack), 0},
        {"Limit", "cvdLimitReleaseOut4", "10", "10ms", code::Limit, limit(5, &LimitRecord::release), 9},
        {"Limit", "cvdLimitKneeOut1", "3", "3dB", code::Limit, limit(2, &LimitRecord::knee), 3},
        {"Gate", "cvdGateThresholdInA", "-40", "-40.0dB", code::Gate, gate(0, &GateRecord::threshold), 100},
        {"Gate", "cvdGateThresholdInA", "+10", "+0.0dB", code::Gate, gate(0, &GateRecord::threshold), 180},
        {"Gate", "cvdGateAttackInB", "12", "12ms", code::Gate, gate(1, &GateRecord::attack), 11},
        {"Gate", "cvdGateReleaseInA", "", "100ms", 0, gate(0, &GateRecord::release), 99},
        {"Gate", "cvdGateHoldInB", "2000", "999ms", code::Gate, gate(1, &GateRecord::hold), 998},
    };
    for (const TypedCase& c : cases) {
        SCOPED_TRACE(std::string(c.box) + " <- " + c.typed);
        ShowPage(c.page);
        auto& box = Get<kv::TRoundEdit>(c.box);
        Type(box, c.typed);
        Step(50);
        EXPECT_EQ(box.GetText(), c.shown);
        EXPECT_EQ(c.value(Model()), c.expected);
        const auto received = unit.Received();
        if (c.code) {
            ASSERT_FALSE(received.empty());
            for (const auto& r : received)
                EXPECT_EQ(r.code, c.code);
        } else {
            EXPECT_TRUE(received.empty());
        }
        unit.ClearReceived();
        EXPECT_TRUE(ImagesAgree());
    }
}

} // namespace

namespace {

// The band table's cells: frequency, Q and gain of a row, clamped to the band's grids; a malformed entry
// shows the row's value again (the row's change then sends the band as it stands).
TEST_F(TypedValuesTest, BandRowCellsAndReadOnlyBoxes) {
    ShowPage("InA");
    kv::TMyPEQType8& table = Table("InA");
    const auto freq = [](PeqBand b) { return static_cast<int>(b.freq); };
    const auto q = [](PeqBand b) { return static_cast<int>(b.q); };
    const auto gain = [](PeqBand b) { return static_cast<int>(b.gain); };
    const struct {
        kv::TEdit* edit;
        const char* typed;
        const char* shown;
        std::function<int(PeqBand)> value;
        int expected;
    } cells[] = {
        {table.FreqEdit(1), "1000", "1.00KHz", freq, 170},
        {table.FreqEdit(1), "30000", "20.16KHz", freq, 300},
        {table.FreqEdit(1), "abc", "20.16KHz", freq, 300},
        {table.QEdit(1), "2", "2.00", q, 28},
        {table.QEdit(1), "200", "128.00", q, 100},
        {table.QEdit(1), "x", "128.00", q, 100},
        {table.GainEdit(1), "-6", "-6dB", gain, 60},
        {table.GainEdit(1), "30", "12dB", gain, 240},
        {table.GainEdit(1), "+-", "12dB", gain, 240},
    };
    for (const auto& c : cells) {
        SCOPED_TRACE(c.typed);
        Type(*c.edit, c.typed);
        Step(50);
        EXPECT_EQ(c.edit->Text(), c.shown);
        EXPECT_EQ(c.value(Model().GetPeqBand(0, 1)), c.expected);
        for (const auto& r : unit.Received())
            EXPECT_EQ(r.code, code::Peq);
        unit.ClearReceived();
        EXPECT_TRUE(ImagesAgree());
    }

    // Boxes shown read-only (the selected band's and the filters' frequencies) take no typing.
    for (const char* name : {"cvdEqFreqInA", "cvdLowCutFreqInA", "cvdHighCutFreqInA", "cvdEqGainInA"}) {
        SCOPED_TRACE(name);
        auto& box = Get<kv::TRoundEdit>(name);
        const std::string before = box.GetText();
        // Leaving a band cell confirms it: that frame is the cell's, not this box's.
        box.SetFocus();
        Step(50);
        unit.ClearReceived();
        Type(box, "123");
        Step(50);
        EXPECT_EQ(box.GetText(), before);
        EXPECT_TRUE(unit.Received().empty());
    }
}

} // namespace
