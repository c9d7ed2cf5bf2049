#include "plot/gPlotToolBar.h"

#include "plot/gDraw.h"
#include "plot/gPlotAxis.h"
#include "plot/gPropStream.h"
#include "tests/plot/PlotTestWiring.h"

#include <gtest/gtest.h>

#include <QImage>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

using namespace kv;
using BT = TgPlotToolBarButtonType;

namespace {

std::string ToolBarTypeName(BT type) {
    return EnumIdents(type)[static_cast<std::size_t>(type)].substr(6); // without "iptbbt"
}

// A plot as far as its toolbars see it: real axes, stand-ins for the data cursors, and every command
// and event written down in order.
class ToolBarPlot : public kvtest::TestPlotWiring,
                    public TComponent,
                    public IgPlotToolBarHost,
                    public TgPlotObjectHost {
public:
    ToolBarPlot() : TComponent(nullptr) { hintBitmap.Canvas()->Font()->SetHeight(-12); }
    ~ToolBarPlot() override {
        toolBars.clear();
        cursors.clear();
        xAxes.clear();
        yAxes.clear();
    }

    TgPlotToolBar* AddToolBar() {
        toolBars.push_back(std::make_unique<TgPlotToolBar>(this, change, insert, remove, rename));
        return toolBars.back().get();
    }
    TgPlotAxis* AddAxis(bool x, double min, double span, TgPlotScaleType type = TgPlotScaleType::ipstLinear) {
        std::unique_ptr<TgPlotAxis> axis;
        if (x)
            axis = std::make_unique<TgPlotXAxis>(this, change, insert, remove, rename);
        else
            axis = std::make_unique<TgPlotYAxis>(this, change, insert, remove, rename);
        axis->SetScaleType(type);
        axis->SetMinSpan(min, span);
        axis->SetTrackingEnabled(true);
        auto& list = x ? xAxes : yAxes;
        list.push_back(std::move(axis));
        return list.back().get();
    }
    TgPlotObject* AddCursor() {
        cursors.push_back(std::make_unique<TgPlotLayoutObject>(this, change, insert, remove, rename));
        cursors.back()->SetVisible(false);
        return cursors.back().get();
    }

    // IgPlotToolBarHost
    int GetToolBarIndex(const TgPlotToolBar* toolBar) override {
        for (std::size_t i = 0; i < toolBars.size(); ++i)
            if (toolBars[i].get() == toolBar)
                return static_cast<int>(i);
        return -1;
    }
    void DoBeforeToolBarButtonClick(int index, BT type, bool& cancel) override {
        log.push_back("before " + ToolBarTypeName(type) + " " + std::to_string(index));
        cancel = refused.count(type) > 0;
    }
    void DoToolBarButtonClick(int index, BT type) override {
        log.push_back("after " + ToolBarTypeName(type) + " " + std::to_string(index));
    }
    void DoToolBarCustomizeHint(int index, std::string& text) override {
        text += hintSuffix + (hintSuffix.empty() ? "" : std::to_string(index));
    }
    int XAxisCount() override { return static_cast<int>(xAxes.size()); }
    int YAxisCount() override { return static_cast<int>(yAxes.size()); }
    TgPlotAxis* GetXAxis(int i) override { return xAxes.at(static_cast<std::size_t>(i)).get(); }
    TgPlotAxis* GetYAxis(int i) override { return yAxes.at(static_cast<std::size_t>(i)).get(); }
    void EnableAllTracking() override {
        log.push_back("resume");
        SetTracking(true);
    }
    void DisableAllTracking() override {
        log.push_back("pause");
        SetTracking(false);
    }
    int DataCursorCount() override { return static_cast<int>(cursors.size()); }
    TgPlotObject* GetDataCursor(int i) override { return cursors.at(static_cast<std::size_t>(i)).get(); }
    void ClearAllUserSelections() override { log.push_back("deselect"); }
    void SyncSelectMode(bool on) override { log.push_back(on ? "sync on" : "sync off"); }
    void EditProperties() override { log.push_back("edit"); }
    void CopyToClipBoard() override { log.push_back("copy"); }
    void Save() override { log.push_back("save"); }
    void PrintChart() override { log.push_back("print"); }
    void PreviewChart() override { log.push_back("preview"); }
    TCanvas* HintCanvas() override { return hintBitmap.Canvas(); }

    // TgPlotObjectHost
    void DoObjectMouseDown(TgPlotObject*, TMouseButton, TShiftState, int, int) override {}
    void DoObjectMouseMove(TgPlotObject*, TShiftState, int, int) override {}
    void DoObjectMouseUp(TgPlotObject*, TMouseButton, TShiftState, int, int) override {}
    void DoObjectMouseWheel(TgPlotObject*, int, TShiftState, TPoint) override {}
    void DoObjectPopupMenu(TgPlotObject*, bool&, int, int) override {}
    void DoObjectGotFocus(TgPlotObject*) override {}
    void DoObjectLostFocus(TgPlotObject*) override {}
    std::string FindReplacement(const std::string& text) override {
        auto it = translations.find(text);
        return it == translations.end() ? text : it->second;
    }

    std::vector<std::unique_ptr<TgPlotToolBar>> toolBars;
    std::vector<std::unique_ptr<TgPlotAxis>> xAxes, yAxes;
    std::vector<std::unique_ptr<TgPlotObject>> cursors;
    std::vector<std::string> log;
    std::set<BT> refused;
    std::map<std::string, std::string> translations;
    std::string hintSuffix;
    TBitmap hintBitmap{10, 10};

private:
    void SetTracking(bool on) {
        for (auto* list : {&xAxes, &yAxes})
            for (auto& axis : *list)
                axis->SetTrackingEnabled(on);
    }
};

class ToolBar : public ::testing::Test {
protected:
    void SetUp() override {
        bitmap.SetSize(560, 60);
        toolBar = plot.AddToolBar();
        toolBar->SetDrawRect({10, 5, 550, 41});
    }
    TCanvas& canvas() { return *bitmap.Canvas(); }
    void Draw() {
        canvas().Brush()->SetColor(clBlack);
        canvas().FillRect({0, 0, 560, 60});
        toolBar->Draw(canvas(), clBlack);
    }
    TColor At(int x, int y) { return ColorToRGB(canvas().Pixel(x, y)); }
    // Presses and releases the left button in the middle of a drawn button.
    void Click(TgPlotToolBarButton* button) {
        const TRect r = button->DrawRect();
        ASSERT_GT(r.Width(), 0) << "not drawn";
        const int x = (r.Left + r.Right) / 2, y = (r.Top + r.Bottom) / 2;
        button->gMouseDown(TMouseButton::mbLeft, {}, x, y, x, y, nullptr);
        button->gMouseUp(TMouseButton::mbLeft, {}, x, y, x, y, false, nullptr);
    }
    std::vector<std::string> TakeLog() { return std::exchange(plot.log, {}); }
    TgPlotToolBarButton* B(BT type) { return toolBar->ButtonOf(type); }
    std::vector<TgPlotToolBarButton*> Shown() {
        std::vector<TgPlotToolBarButton*> out;
        for (int i = 0; i < toolBar->ButtonCount(); ++i)
            if (toolBar->Button(i)->Visible())
                out.push_back(toolBar->Button(i));
        return out;
    }
    void SavePng(const char* variable) {
        if (const char* png = std::getenv(variable)) // to look at the toolbar
            bitmap.Image().save(png);
    }

    ToolBarPlot plot;
    TgPlotToolBar* toolBar = nullptr;
    TBitmap bitmap;
};

} // namespace

TEST_F(ToolBar, FreshToolBarAndWhatALayoutStoresOfIt) {
    EXPECT_TRUE(toolBar->Horizontal());
    EXPECT_EQ(toolBar->ZoomInOutFactor(), 2);
    EXPECT_TRUE(B(BT::iptbbtScrollAxesMode)->Down());
    for (BT type : {BT::iptbbtZoomAxesMode, BT::iptbbtSelect, BT::iptbbtZoomBox, BT::iptbbtCursor})
        EXPECT_FALSE(B(type)->Down()) << ToolBarTypeName(type);
    EXPECT_EQ(toolBar->ButtonCount(), 19);
    EXPECT_EQ(B(BT::iptbbtCopy)->Hint(), "Copy to Clipboard");
    EXPECT_EQ(B(BT::iptbbtZoomBox)->ImageName(), "SCROLLBOX");
    EXPECT_EQ(B(BT::iptbbtZoomBox)->GroupIndex(), -1);
    EXPECT_EQ(B(BT::iptbbtCursor)->GroupIndex(), -2);
    for (const auto& p : toolBar->ClassInfo().Props()) {
        if (p->HasDefault) {
            EXPECT_EQ(p->GetOrd(*toolBar), p->Default) << p->Name;
        }
    }

    // Only the zoom factor is written while everything else is as constructed.
    auto written = [](TgPlotToolBar& t) {
        TgWriter w;
        gWriteProperties(w, t);
        std::vector<std::string> names;
        for (const TgStreamValue& v : w.Values())
            if (v.Type == TValueType::vaPropName)
                names.push_back(v.Text);
        return names;
    };
    auto names = written(*toolBar);
    EXPECT_NE(std::find(names.begin(), names.end(), "ZoomInOutFactor"), names.end());
    for (const std::string& n : names)
        EXPECT_TRUE(n.rfind("Show", 0) != 0 && n.find("Flat") == std::string::npos && n != "SmallButtons")
            << n;

    toolBar->SetShowSelectButton(true);
    toolBar->SetShowCopyButton(false);
    toolBar->SetShowZoomInOutButtons(false);
    toolBar->SetFlatButtons(true);
    toolBar->SetSmallButtons(true);
    toolBar->SetZoomInOutFactor(4);
    TgWriter w;
    gWriteProperties(w, *toolBar);
    w.WriteListEnd();
    TgReader r(w.Values());
    TgPlotToolBar* copy = plot.AddToolBar();
    gReadProperties(r, *copy);
    EXPECT_TRUE(copy->ShowSelectButton());
    EXPECT_FALSE(copy->ShowCopyButton());
    EXPECT_FALSE(B(BT::iptbbtZoomOut)->Visible());
    EXPECT_FALSE(copy->ButtonOf(BT::iptbbtZoomOut)->Visible());
    EXPECT_TRUE(copy->ButtonOf(BT::iptbbtCursor)->Flat());
    EXPECT_TRUE(copy->SmallButtons());
    EXPECT_EQ(copy->ZoomInOutFactor(), 4);
}

TEST_F(ToolBar, ZoomFactorBelowOneReadsOne) {
    const struct {
        double set, read;
    } cases[] = {{0.5, 1}, {0, 1}, {-3, 1}, {std::nan(""), 1}, {1, 1}, {2.5, 2.5}};
    for (const auto& c : cases) {
        toolBar->SetZoomInOutFactor(c.set);
        EXPECT_EQ(toolBar->ZoomInOutFactor(), c.read) << c.set;
    }
}

TEST_F(ToolBar, AxesModeButtonsReleaseEachOtherAndSetEveryAxis) {
    TgPlotAxis* x = plot.AddAxis(true, 0, 10);
    TgPlotAxis* y1 = plot.AddAxis(false, 0, 10);
    TgPlotAxis* y2 = plot.AddAxis(false, 0, 10);
    Draw();
    Click(B(BT::iptbbtZoomAxesMode));
    EXPECT_TRUE(B(BT::iptbbtZoomAxesMode)->Down());
    EXPECT_FALSE(B(BT::iptbbtScrollAxesMode)->Down());
    for (TgPlotAxis* a : {x, y1, y2})
        EXPECT_EQ(a->Mode(), TgPlotAxisMode::ipamZoom);
    EXPECT_EQ(TakeLog(),
              (std::vector<std::string>{"before ZoomAxesMode 0", "after ZoomAxesMode 0"}));

    Click(B(BT::iptbbtZoomAxesMode));
    EXPECT_TRUE(B(BT::iptbbtZoomAxesMode)->Down());
    EXPECT_FALSE(B(BT::iptbbtScrollAxesMode)->Down());

    toolBar->DoButtonClickScrollAxesMode();
    EXPECT_TRUE(B(BT::iptbbtScrollAxesMode)->Down());
    EXPECT_FALSE(B(BT::iptbbtZoomAxesMode)->Down());
    for (TgPlotAxis* a : {x, y1, y2})
        EXPECT_EQ(a->Mode(), TgPlotAxisMode::ipamScroll);
}

TEST_F(ToolBar, SelectAndZoomBoxReleaseEachOther) {
    toolBar->SetShowSelectButton(true);
    Draw();
    auto* select = B(BT::iptbbtSelect);
    auto* box = B(BT::iptbbtZoomBox);
    const struct {
        TgPlotToolBarButton* clicked;
        bool select, box;
    } steps[] = {{box, false, true},    {select, true, false}, {select, false, false},
                 {select, true, false}, {box, false, true},    {box, false, false}};
    for (const auto& s : steps) {
        Click(s.clicked);
        EXPECT_EQ(toolBar->SelectActive(), s.select) << &s - steps;
        EXPECT_EQ(toolBar->ZoomBoxActive(), s.box) << &s - steps;
    }
    // Select going down pauses tracking; both ways the plot syncs its select mode.
    plot.log.clear();
    toolBar->DoButtonClickSelect();
    EXPECT_EQ(TakeLog(), (std::vector<std::string>{"before Select 0", "pause", "sync on", "after Select 0"}));
    toolBar->DoButtonClickZoomBox();
    EXPECT_EQ(TakeLog(), (std::vector<std::string>{"before ZoomBox 0", "sync off", "after ZoomBox 0"}));
}

TEST_F(ToolBar, ZoomButtonsPauseFirstThenScaleEveryAxisAboutItsMiddle) {
    TgPlotAxis* x = plot.AddAxis(true, 0, 10);
    TgPlotAxis* y = plot.AddAxis(false, 1, 2, TgPlotScaleType::ipstLog10);
    toolBar->DoButtonClickZoomIn();
    EXPECT_EQ(TakeLog(), (std::vector<std::string>{"before ZoomIn 0", "before Pause 0", "pause",
                                                   "after Pause 0", "after ZoomIn 0"}));
    EXPECT_DOUBLE_EQ(x->Span(), 5);
    EXPECT_DOUBLE_EQ(x->Min(), 2.5);
    EXPECT_FALSE(x->TrackingEnabled());
    // A log axis zooms by decades: in by one decade each way.
    EXPECT_DOUBLE_EQ(y->Min(), 10);
    EXPECT_DOUBLE_EQ(y->Span(), 0.2);

    toolBar->SetZoomInOutFactor(4);
    toolBar->DoButtonClickZoomOut();
    EXPECT_DOUBLE_EQ(x->Span(), 20);
    EXPECT_DOUBLE_EQ(x->Min(), -5);
    EXPECT_DOUBLE_EQ(y->Min(), 1);
    EXPECT_DOUBLE_EQ(y->Span(), 2);

    // A refused pause does not stop the zoom.
    plot.refused = {BT::iptbbtPause};
    toolBar->DoButtonClickZoomIn();
    EXPECT_DOUBLE_EQ(x->Span(), 5);
}

TEST_F(ToolBar, EveryCommandReachesThePlotUnlessRefused) {
    const struct {
        BT type;
        void (TgPlotToolBar::*click)();
        std::vector<std::string> done; // between the before and after events
        bool after;
    } cases[] = {
        {BT::iptbbtPause, &TgPlotToolBar::DoButtonClickPause, {"pause"}, true},
        {BT::iptbbtResume, &TgPlotToolBar::DoButtonClickResume, {"deselect", "resume"}, true},
        {BT::iptbbtCursor, &TgPlotToolBar::DoButtonClickCursor, {"pause"}, true},
        {BT::iptbbtEdit, &TgPlotToolBar::DoButtonClickEdit, {"edit"}, false},
        {BT::iptbbtCopy, &TgPlotToolBar::DoButtonClickCopy, {"copy"}, true},
        {BT::iptbbtSave, &TgPlotToolBar::DoButtonClickSave, {"save"}, true},
        {BT::iptbbtPrint, &TgPlotToolBar::DoButtonClickPrint, {"print"}, true},
        {BT::iptbbtPreview, &TgPlotToolBar::DoButtonClickPreview, {"preview"}, true},
    };
    plot.AddToolBar();
    TgPlotToolBar* second = plot.toolBars[1].get();
    for (const auto& c : cases) {
        const std::string name = ToolBarTypeName(c.type);
        plot.refused = {c.type};
        (second->*c.click)();
        EXPECT_EQ(TakeLog(), std::vector<std::string>{"before " + name + " 1"}) << name;

        plot.refused.clear();
        (second->*c.click)();
        std::vector<std::string> expected{"before " + name + " 1"};
        expected.insert(expected.end(), c.done.begin(), c.done.end());
        if (c.after)
            expected.push_back("after " + name + " 1");
        EXPECT_EQ(TakeLog(), expected) << name;
    }
}

TEST_F(ToolBar, ARefusedClickWithTheMouseLeavesItsGroupAsItWas) {
    TgPlotAxis* x = plot.AddAxis(true, 0, 10);
    toolBar->SetShowSelectButton(true);
    Draw();
    plot.refused = {BT::iptbbtZoomAxesMode, BT::iptbbtSelect};
    Click(B(BT::iptbbtZoomAxesMode));
    EXPECT_TRUE(B(BT::iptbbtScrollAxesMode)->Down());
    EXPECT_FALSE(B(BT::iptbbtZoomAxesMode)->Down());
    EXPECT_EQ(x->Mode(), TgPlotAxisMode::ipamScroll);

    plot.refused.clear();
    Click(B(BT::iptbbtZoomBox));
    plot.refused = {BT::iptbbtSelect};
    Click(B(BT::iptbbtSelect));
    EXPECT_TRUE(toolBar->ZoomBoxActive());
    EXPECT_FALSE(toolBar->SelectActive());
}

TEST_F(ToolBar, ResumeEndsCursorAndSelectModesAndCursorShowsTheDataCursors) {
    TgPlotObject* first = plot.AddCursor();
    TgPlotObject* second = plot.AddCursor();
    TgPlotAxis* x = plot.AddAxis(true, 0, 10);

    toolBar->DoButtonClickCursor();
    EXPECT_TRUE(toolBar->CursorActive());
    EXPECT_TRUE(first->Visible() && second->Visible());
    EXPECT_TRUE(first->UserSelected());
    EXPECT_FALSE(second->UserSelected());
    EXPECT_FALSE(x->TrackingEnabled());
    toolBar->DoButtonClickSelect();
    plot.log.clear();

    toolBar->DoButtonClickResume();
    EXPECT_EQ(TakeLog(), (std::vector<std::string>{"before Resume 0", "before Cursor 0", "after Cursor 0",
                                                   "before Select 0", "sync off", "after Select 0",
                                                   "deselect", "resume", "after Resume 0"}));
    EXPECT_FALSE(toolBar->CursorActive());
    EXPECT_FALSE(toolBar->SelectActive());
    EXPECT_FALSE(first->Visible() || second->Visible());
    EXPECT_TRUE(x->TrackingEnabled());

    toolBar->DoButtonClickCursor();
    toolBar->TurnOffCursor();
    EXPECT_FALSE(toolBar->CursorActive());
    EXPECT_FALSE(first->Visible());
}

TEST_F(ToolBar, ResumeAndPauseAreEnabledByTheAxesTracking) {
    const struct {
        std::vector<bool> tracking; // per axis
        bool resume, pause;
    } cases[] = {{{}, false, false},
                 {{true}, false, true},
                 {{false}, true, false},
                 {{true, false}, true, true},
                 {{false, false}, true, false}};
    for (const auto& c : cases) {
        plot.xAxes.clear();
        plot.yAxes.clear();
        for (std::size_t i = 0; i < c.tracking.size(); ++i)
            plot.AddAxis(i == 0, 0, 10)->SetTrackingEnabled(c.tracking[i]);
        Draw();
        EXPECT_EQ(B(BT::iptbbtResume)->Enabled(), c.resume) << c.tracking.size();
        EXPECT_EQ(B(BT::iptbbtPause)->Enabled(), c.pause) << c.tracking.size();
    }
    // A disabled picture is engraved: no black of the pause bars, their shadow instead.
    const TRect pause = B(BT::iptbbtPause)->DrawRect();
    int black = 0, shadow = 0;
    for (int y = pause.Top + 3; y < pause.Bottom - 3; ++y)
        for (int x = pause.Left + 3; x < pause.Right - 3; ++x) {
            black += At(x, y) == clBlack;
            shadow += At(x, y) == ColorToRGB(clBtnShadow);
        }
    EXPECT_EQ(black, 0);
    EXPECT_GT(shadow, 50);
}

TEST_F(ToolBar, OnlyTheCursorShownDrawsOneButtonAndItsSpacer) {
    toolBar->SetShowResumeButton(false);
    toolBar->SetShowPauseButton(false);
    toolBar->SetShowAxesModeButtons(false);
    toolBar->SetShowZoomInOutButtons(false);
    toolBar->SetShowZoomBoxButton(false);
    toolBar->SetShowEditButton(false);
    toolBar->SetShowCopyButton(false);
    toolBar->SetShowSaveButton(false);
    toolBar->SetShowPrintButton(false);
    Draw();
    SavePng("KV_TOOLBAR_CURSOR_PNG");
    const std::vector<TgPlotToolBarButton*> shown = Shown();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0], B(BT::iptbbtCursor));
    EXPECT_EQ(shown[1]->Style(), TgPlotToolBarButtonStyle::iptbbsSpacer);
    EXPECT_EQ(shown[0]->DrawRect(), (TRect{13, 8, 43, 38}));
    EXPECT_EQ(shown[1]->DrawRect(), (TRect{43, 8, 53, 38}));

    int red = 0;
    for (int y = 8; y < 38; ++y)
        for (int x = 13; x < 43; ++x)
            red += At(x, y) == clRed;
    EXPECT_GT(red, 10); // the cursor picture
    for (int y = 8; y < 38; ++y)
        for (int x = 43; x < 548; ++x)
            ASSERT_EQ(At(x, y), ColorToRGB(clBtnFace)) << x << "," << y;
    // Filled one pixel beyond the right edge; nothing outside.
    EXPECT_EQ(At(550, 20), ColorToRGB(clBtnFace));
    EXPECT_EQ(At(551, 20), clBlack);
    EXPECT_EQ(At(9, 20), clBlack);
    EXPECT_EQ(At(11, 6), ColorToRGB(clBtnHighlight)); // the raised frame
    toolBar->SetFlatBorder(true);
    Draw();
    EXPECT_EQ(At(11, 6), ColorToRGB(clBtnFace));
}

TEST_F(ToolBar, SmallButtonsLoadTheSmallPicturesAndNeedLessDepth) {
    toolBar->SetShowSelectButton(true);
    toolBar->SetShowPreviewButton(true);
    toolBar->DoButtonClickCursor();
    plot.AddAxis(true, 0, 10);
    for (bool small : {false, true, false}) {
        toolBar->SetSmallButtons(small);
        EXPECT_EQ(toolBar->GetRequiredWidth(canvas()), small ? 28 : 36);
        EXPECT_EQ(toolBar->ImageList().Count(), 0);
        for (int i = 0; i < toolBar->ButtonCount(); ++i)
            EXPECT_EQ(toolBar->Button(i)->ImageIndex(), -1);
        EXPECT_EQ(B(BT::iptbbtPrint)->ImageName(), small ? "SMALLPRINTER" : "PRINTER");

        Draw();
        SavePng(small ? "KV_TOOLBAR_SMALL_PNG" : "KV_TOOLBAR_PNG");
        EXPECT_EQ(toolBar->ImageList().Count(), 14);
        EXPECT_EQ(toolBar->ImageList().Width(), small ? 16 : 24);
        const int size = small ? 22 : 30;
        EXPECT_EQ(B(BT::iptbbtResume)->DrawRect(), (TRect{13, 8, 13 + size, 8 + size}));
        // Every button shows a picture: pixels of neither face nor frame.
        for (int i = 0; i < toolBar->ButtonCount(); ++i) {
            TgPlotToolBarButton* b = toolBar->Button(i);
            if (b->Style() == TgPlotToolBarButtonStyle::iptbbsSpacer)
                continue;
            const TRect r = b->DrawRect();
            int ink = 0;
            for (int y = r.Top + 3; y < r.Bottom - 3; ++y)
                for (int x = r.Left + 3; x < r.Right - 3; ++x)
                    ink += At(x, y) != ColorToRGB(clBtnFace) && At(x, y) != RGB(239, 239, 239);
            EXPECT_GT(ink, small ? 10 : 25) << b->ImageName();
        }
        // Drawing again loads nothing more.
        Draw();
        EXPECT_EQ(toolBar->ImageList().Count(), 14);
    }
}

TEST_F(ToolBar, ButtonFacesByFlatnessPressAndMouse) {
    const TColor face = ColorToRGB(clBtnFace), pressed = RGB(239, 239, 239);
    const TColor light = ColorToRGB(clBtnHighlight), shadow = ColorToRGB(clBtnShadow);
    const struct {
        bool flat, down, over;
        TColor corner, ring, inside; // at (left, top), (left + 1, top + 1) and (left + 2, top + 2)
    } cases[] = {
        {false, false, false, ColorToRGB(cl3DLight), light, face},
        {false, true, false, shadow, ColorToRGB(cl3DDkShadow), pressed},
        {true, false, false, face, face, face},
        {true, false, true, light, face, face},
        {true, true, true, shadow, face, face},
        {true, true, false, shadow, pressed, pressed},
    };
    TgPlotToolBarButton* cursor = B(BT::iptbbtCursor);
    for (const auto& c : cases) {
        toolBar->SetFlatButtons(c.flat);
        cursor->SetDown(c.down);
        Draw();
        const TRect r = cursor->DrawRect();
        TgHintData hint;
        if (c.over)
            cursor->gMouseMove(hint, {}, r.Left + 5, r.Top + 5, 0, 0, false);
        else
            cursor->DoMouseNotOver();
        EXPECT_EQ(cursor->MouseOver(), c.over);
        Draw();
        EXPECT_EQ(At(r.Left, r.Top), c.corner) << c.flat << c.down << c.over;
        EXPECT_EQ(At(r.Left + 1, r.Top + 1), c.ring) << c.flat << c.down << c.over;
        EXPECT_EQ(At(r.Left + 2, r.Top + 2), c.inside) << c.flat << c.down << c.over;
    }
    EXPECT_TRUE(B(BT::iptbbtCopy)->Flat());
}

TEST_F(ToolBar, MouseFindsButtonsAndSpacersAndHintsSitBelowTheButton) {
    Draw();
    TgPlotToolBarButton* pause = B(BT::iptbbtPause);
    const TRect r = pause->DrawRect();
    EXPECT_EQ(toolBar->GetMouseOverObject(r.Left + 1, r.Top + 1), pause);
    EXPECT_EQ(toolBar->GetMouseOverObject(r.Right + 2, r.Top + 1)->ClassName(), "TgPlotToolBarButton");
    EXPECT_EQ(static_cast<TgPlotToolBarButton*>(toolBar->GetMouseOverObject(r.Right + 2, r.Top + 1))->Style(),
              TgPlotToolBarButtonStyle::iptbbsSpacer);
    EXPECT_EQ(toolBar->GetMouseOverObject(540, 20), toolBar);

    plot.translations["Pause All (Tracking)"] = "Alles anhalten";
    plot.hintSuffix = " - toolbar ";
    TgHintData hint;
    pause->gMouseMove(hint, {}, r.Left + 1, r.Top + 1, 0, 0, false);
    const std::string text = "Alles anhalten - toolbar 0";
    EXPECT_EQ(hint.Text, text);
    EXPECT_EQ(hint.Left, r.Left);
    EXPECT_EQ(hint.Top, r.Bottom + 3);
    // Measured on the plot's canvas after the handler changed the text.
    EXPECT_EQ(hint.Width, gTextWidthMultiLine(*plot.HintCanvas(), text) + 4);
    EXPECT_EQ(hint.Height, gTextHeightMultiLine(*plot.HintCanvas(), text) + 4);

    TgHintData none;
    auto* spacer = static_cast<TgPlotToolBarButton*>(toolBar->GetMouseOverObject(r.Right + 2, r.Top + 1));
    spacer->gMouseMove(none, {}, r.Right + 2, r.Top + 1, 0, 0, false);
    EXPECT_TRUE(none.Text.empty());
}

TEST_F(ToolBar, FocusElsewhereDeselectsAndThePopupOffersTheEditor) {
    TgPlotToolBar* other = plot.AddToolBar();
    toolBar->SetUserSelected(true);
    other->SetUserSelected(true);
    toolBar->NotificationFocusChange(other);
    EXPECT_FALSE(toolBar->UserSelected());

    TPopupMenu menu(nullptr);
    toolBar->BuildPopupMenu(&menu);
    ASSERT_EQ(menu.Items()->Count(), 1);
    EXPECT_EQ(menu.Items()->Items(0)->Caption(), "Edit...");
    toolBar->SetUserCanEdit(false);
    toolBar->BuildPopupMenu(&menu);
    EXPECT_EQ(menu.Items()->Count(), 0);
}
