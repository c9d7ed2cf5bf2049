// The pack's support classes: the shared blink list, the frame controller and the storage component.

#include "panels/PkComboBox.h"
#include "panels/PkCommon.h"
#include "panels/PkPanel.h"
#include "tests/support/VirtualClock.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

using namespace kv;

namespace {

struct FakeBlinker : IPkBlinkTarget {
    bool blinking = true;
    std::vector<int> states;
    int BlinkMessage(unsigned msg, int wparam) override {
        if (msg == CM_BLINKQUERY)
            return blinking ? 1 : 0;
        states.push_back(wparam);
        return 0;
    }
};

} // namespace

TEST(PkBlinkListTest, TicksToggleEveryBlinkingControlOnTheSharedIntervals) {
    TVirtualClock clock;
    TScheduler::SetDefault(&clock);
    FakeBlinker a, b, idle;
    idle.blinking = false;
    {
        TPkBlinkingControlsList list;
        list.Add(&a);
        list.Add(&b);
        list.Add(&idle);
        EXPECT_EQ(list.BlinkState(), TBlinkState::bsOff);
        clock.Advance(500);
        clock.Advance(500);
        EXPECT_EQ(a.states, (std::vector<int>{0, 1}));
        EXPECT_EQ(b.states, a.states) << "both labels toggle together";
        EXPECT_TRUE(idle.states.empty()) << "a label that does not blink is left alone";
        // After the tick into bsOn the timer waits IntervalOff, then IntervalOn.
        list.SetIntervalOff(100);
        list.SetIntervalOn(300);
        clock.Advance(500); // -> bsOn, next after 100
        EXPECT_EQ(a.states.size(), 3u);
        clock.Advance(100); // -> bsOff, next after 300
        EXPECT_EQ(a.states.size(), 4u);
        clock.Advance(299);
        EXPECT_EQ(a.states.size(), 4u);
        clock.Advance(1);
        EXPECT_EQ(a.states.size(), 5u);
    }
    TScheduler::SetDefault(nullptr);
}

TEST(PkFrameControllerTest, PushesItsSettingsIntoLinkedControls) {
    TPkFrameController fc(nullptr);
    TPkPanel panel(nullptr);
    fc.SetFrameVisible(true);
    fc.SetFrameStyle(TFrameStyleEx::fsFlatBold);
    fc.SetFrameColor(clRed);
    panel.SetFrameController(&fc);
    EXPECT_EQ(panel.BorderOuter(), TFrameStyleEx::fsFlatBold);
    EXPECT_EQ(panel.FlatColor(), clRed);
    EXPECT_EQ(panel.FlatColorAdjustment(), 0);

    // Between BeginUpdate and EndUpdate no control is touched.
    fc.BeginUpdate();
    fc.SetFrameStyle(TFrameStyleEx::fsLowered);
    EXPECT_EQ(panel.BorderOuter(), TFrameStyleEx::fsFlatBold);
    fc.EndUpdate();
    EXPECT_EQ(panel.BorderOuter(), TFrameStyleEx::fsLowered);

    // Color keeps FocusColor along when they were equal.
    EXPECT_EQ(fc.FocusColor(), fc.Color());
    fc.SetColor(clYellow);
    EXPECT_EQ(fc.FocusColor(), clYellow);
    EXPECT_EQ(panel.Color(), clYellow);
}

TEST(PkFrameControllerTest, ControlsWithoutTheFramingInterfaceGetPropertiesByName) {
    TPkFrameController fc(nullptr);
    fc.SetFrameHotTrack(true);
    fc.SetFrameStyle(TFrameStyleEx::fsStatus);
    fc.SetFocusColor(clAqua);
    TPkComboBox cb(nullptr);
    // Without the focus colour bit the combo keeps its own.
    auto notes = AllFrameNotifications;
    notes.Exclude(TPkFrameControllerProperty::fcpFocusColor);
    cb.SetFrameControllerNotifications(notes);
    cb.SetFrameController(&fc);
    EXPECT_TRUE(cb.FrameVisible());
    EXPECT_TRUE(cb.FrameHotTrack());
    EXPECT_EQ(cb.FrameStyle(), TFrameStyleEx::fsStatus);
    EXPECT_EQ(cb.FocusColor(), clWindow);
    fc.SetFrameColor(clRed);
    EXPECT_EQ(cb.FrameColor(), clRed);
    cb.SetFrameController(nullptr);
    EXPECT_EQ(fc.ControlCount(), 0);
}

TEST(PkFrameControllerTest, ControllerRemovalClearsTheReferenceAndLoadNeedsStorage) {
    TPkPanel panel(nullptr);
    {
        TPkFrameController fc(nullptr);
        panel.SetFrameController(&fc);
        EXPECT_EQ(fc.ControlCount(), 1);
        EXPECT_THROW(fc.Load("x"), ENoRegIniFile);
        try {
            fc.Save("x");
        } catch (const ENoRegIniFile& e) {
            EXPECT_STREQ(e.what(),
                         "Cannot save Custom Framing settings--No TPkRegIniFile component specified");
        }
    }
    EXPECT_EQ(panel.FrameController(), nullptr);
}

TEST(PkRegIniFileTest, FrameSettingsRoundTripThroughAnIniFile) {
    QTemporaryDir dir;
    TPkRegIniFile ini(nullptr);
    ini.SetPath((dir.path() + "/frames.ini").toStdString());
    TPkFrameController a(nullptr), b(nullptr);
    a.SetRegIniFile(&ini);
    b.SetRegIniFile(&ini);
    a.SetColor(clAqua);
    a.SetFrameSides({TSide::sdLeft, TSide::sdBottom});
    a.SetFrameHotTrack(true); // also shows the frame and, outside loading, all sides
    a.SetFrameSides({TSide::sdLeft, TSide::sdBottom});
    a.Save("Frame");
    b.Load("Frame");
    EXPECT_EQ(b.Color(), clAqua);
    EXPECT_TRUE(b.FrameVisible());
    EXPECT_TRUE(b.FrameHotTrack());
    EXPECT_EQ(b.FrameSides(), (TSides{TSide::sdLeft, TSide::sdBottom}));
    // A second component on the same file reads what the first wrote.
    TPkRegIniFile other(nullptr);
    other.SetPath(ini.Path());
    EXPECT_EQ(other.ReadInteger("Frame", "FrameStyle", -1), 1);
    EXPECT_TRUE(other.ValueExists("Frame", "FrameSides_Left"));
    other.DeleteKey("Frame", "FrameSides_Left");
    EXPECT_FALSE(other.ValueExists("Frame", "FrameSides_Left"));
}

TEST(PkRegIniFileTest, PathsResolveBesideTheProgram) {
    const QString program = QCoreApplication::applicationFilePath();
    const QFileInfo info(program);
    TPkRegIniFile ini(nullptr);
    EXPECT_FALSE(ini.SectionExists("Nothing"));
    EXPECT_EQ(ini.Path(), (info.absolutePath() + "/" + info.completeBaseName() + ".ini").toStdString());
    ini.SetPath("settings.cfg");
    EXPECT_FALSE(ini.ValueExists("A", "b"));
    EXPECT_EQ(ini.Path(), (info.absolutePath() + "/settings.ini").toStdString());
}

TEST(PkRegIniFileTest, RegistryStorageKeepsTypesAndListsSectionValues) {
    QTemporaryDir dir;
    TPkRegIniFile::SetRegistryFolder(dir.path().toStdString());
    TPkRegIniFile reg(nullptr);
    reg.SetPathType(TPkPathType::ptRegistry);
    EXPECT_TRUE(reg.SectionExists(""));
    EXPECT_EQ(reg.Path().rfind("\\Software\\Temp\\", 0), 0u) << "an empty path opens a temporary key";
    reg.WriteBinaryStream("Values", "Blob", {0x12, 0xAB});
    reg.WriteInteger("Values", "Count", 7);
    reg.WriteString("Values", "Name", "x");
    TStrings lines;
    reg.ReadSectionValues("Values", &lines);
    ASSERT_EQ(lines.Count(), 3);
    EXPECT_EQ(lines[0], "Blob=12 AB ");
    EXPECT_EQ(lines[1], "Count=7");
    EXPECT_EQ(lines[2], "Name=x");
    EXPECT_EQ(reg.ReadString("Values", "Count", "none"), "none") << "an integer value is not a string";
    TPkRegIniFile::SetRegistryFolder("");
}
