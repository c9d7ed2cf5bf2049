#include "plot/editors/gPlotEditorForm.h"
#include "plot/editors/gPlotLayoutViewer.h"

#include "plot/gPlotAxis.h"
#include "plot/gPlotChannel.h"
#include "plot/gPlotDataCursor.h"
#include "plot/gPlotDataView.h"
#include "plot/gPlotLabel.h"
#include "plot/gPlotLegend.h"
#include "plot/gPlotLimit.h"
#include "plot/gPlotTable.h"
#include "plot/gPlotToolBar.h"
#include "plot/gXYPlot.h"

#include "platform/gui/Menus.h"
#include "platform/gui/PageControl.h"
#include "platform/gui/StdPanels.h"

#include "tests/support/TempFiles.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QListWidget>
#include <QMouseEvent>
#include <QTimer>

#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace {
using namespace kv;

// An XY plot with its editor open beside it (stay-on-top, so that opening returns at once).
class PlotEditorForm : public ::testing::Test {
protected:
    void SetUp() override {
        gRegisterPlotEditors();
        plot = std::make_unique<TgXYPlot>(nullptr);
        plot->SetBounds(0, 0, 400, 300);
        plot->SetEditorFormStyle(TgPlotFormStyle::ipfsStayOnTop);
        Application->OnException = [this](const std::string& message) { errors.push_back(message); };
    }
    void TearDown() override {
        plot.reset();
        Application->ProcessMessages();
        Application->OnException = nullptr;
        gSetPlotEditorFormFactory(nullptr);
    }
    TgPlotEditorForm& Open() {
        plot->EditProperties();
        form = dynamic_cast<TgPlotEditorForm*>(plot->Master()->EditorForm());
        EXPECT_NE(form, nullptr);
        return *form;
    }
    template <class T> T* C(const std::string& name) const {
        auto* c = dynamic_cast<T*>(form->FindComponent(name));
        if (!c)
            throw std::runtime_error("no control " + name); // fails the test here, not by a crash later
        return c;
    }
    TgComponentEditorEdit* Edit(const std::string& name) const { return C<TgComponentEditorEdit>(name); }
    // Types the text and presses Enter, as the user does.
    void Type(const std::string& name, const std::string& text) const {
        TgComponentEditorEdit* e = Edit(name);
        e->SetText(text);
        char enter = '\r';
        e->KeyPress(enter);
    }
    std::vector<std::string> Items(const std::string& combo) const {
        return C<TgComponentEditorComboBox>(combo)->Items()->Strings();
    }
    // The sub-page of a page control with this caption (null when none).
    TTabSheet* SubPage(const std::string& pageControl, const std::string& caption) const {
        auto* pc = C<TPageControl>(pageControl);
        for (int i = 0; pc && i < pc->PageCount(); ++i)
            if (pc->Pages(i)->Caption() == caption)
                return pc->Pages(i);
        return nullptr;
    }

    std::unique_ptr<TgXYPlot> plot;
    TgPlotEditorForm* form = nullptr;
    std::vector<std::string> errors;
};

TEST_F(PlotEditorForm, AnEmptyListGreysItsPageAndAddSelectsTheNewObject) {
    Open();
    ASSERT_EQ(plot->LimitCount(), 0);
    TgComponentEditorEdit* name = Edit("LimitNameEdit");
    EXPECT_FALSE(name->Enabled());
    EXPECT_EQ(name->Text(), "");
    EXPECT_FALSE(C<TControl>("LimitRemoveButton")->Enabled());
    EXPECT_TRUE(C<TControl>("gLimitAddButton")->Enabled()) << "named outside the page's prefix";

    C<TgComponentEditorButton>("gLimitAddButton")->Click();
    ASSERT_EQ(plot->LimitCount(), 1);
    EXPECT_EQ(form->ListBox(TgPlotEditorKind::Limit)->ItemIndex(), 0);
    EXPECT_TRUE(name->Enabled());
    EXPECT_EQ(name->Text(), plot->GetLimit(0)->Name());
    EXPECT_TRUE(C<TControl>("LimitRemoveButton")->Enabled());

    // A second and a third; removing the middle one selects the one that took its place.
    C<TgComponentEditorButton>("gLimitAddButton")->Click();
    C<TgComponentEditorButton>("gLimitAddButton")->Click();
    TgPlotLimit* third = plot->GetLimit(2);
    form->ListBoxSelect(TgPlotEditorKind::Limit, 1);
    C<TgComponentEditorButton>("LimitRemoveButton")->Click();
    ASSERT_EQ(plot->LimitCount(), 2);
    EXPECT_EQ(form->SelectedObject(TgPlotEditorKind::Limit), third);
    EXPECT_EQ(name->Text(), third->Name());

    // Removing the last remaining entry greys the page again.
    C<TgComponentEditorButton>("LimitRemoveButton")->Click();
    C<TgComponentEditorButton>("LimitRemoveButton")->Click();
    EXPECT_EQ(plot->LimitCount(), 0);
    EXPECT_FALSE(name->Enabled());
    EXPECT_EQ(name->Text(), "");
    EXPECT_FALSE(C<TControl>("LimitRemoveButton")->Enabled());
}

// An object that goes by other means while the window is open leaves its page: the page shows the
// object now selected, so that the next write-back changes only that one.
TEST_F(PlotEditorForm, AnObjectRemovedElsewhereTakesItsValuesAlong) {
    plot->Master()->AddLimit();
    plot->Master()->AddLimit();
    Open();
    form->ListBoxSelect(TgPlotEditorKind::Limit, 0);
    form->ListBoxClick(TgPlotEditorKind::Limit);
    TgPlotLimit* second = plot->GetLimit(1);
    const std::string name = second->Name();
    delete plot->GetLimit(0);
    ASSERT_EQ(plot->LimitCount(), 1);
    EXPECT_EQ(form->SelectedObject(TgPlotEditorKind::Limit), second);
    EXPECT_EQ(Edit("LimitNameEdit")->Text(), name);
    Type("LimitLine1PositionEdit", "25");
    EXPECT_EQ(second->Name(), name);
    EXPECT_DOUBLE_EQ(second->Line1Position(), 25);
}

TEST_F(PlotEditorForm, TheTitleLabelCannotBeRemovedAndFollowsTheTitlePage) {
    Open();
    EXPECT_FALSE(C<TControl>("LabelRemoveButton")->Enabled()) << "the title is selected at opening";
    plot->Master()->AddLabel();
    form->ListBoxSelect(TgPlotEditorKind::Label, 0);
    form->UpdateLabelEdit();
    auto* remove = C<TgComponentEditorButton>("LabelRemoveButton");
    EXPECT_FALSE(remove->Enabled());
    remove->Click();
    EXPECT_EQ(plot->LabelCount(), 2) << "even when asked";
    form->ListBoxSelect(TgPlotEditorKind::Label, 1);
    form->ListBoxClick(TgPlotEditorKind::Label);
    EXPECT_TRUE(remove->Enabled());

    // Editing label 0 on the label page shows on the Title sub-page, and back.
    form->ListBoxSelect(TgPlotEditorKind::Label, 0);
    form->ListBoxClick(TgPlotEditorKind::Label);
    Type("LabelNameEdit", "Title");
    C<TgComponentEditorCheckBox>("LabelVisibleCheckBox")->SetAsBoolean(false);
    C<TgComponentEditorCheckBox>("LabelVisibleCheckBox")->OnClick(nullptr);
    EXPECT_FALSE(plot->GetLabel(0)->Visible());
    EXPECT_FALSE(C<TgComponentEditorCheckBox>("TitleVisibleCheckBox")->AsBoolean());
    Type("TitleTextEdit", "Levels");
    EXPECT_EQ(plot->GetLabel(0)->Caption(), "Levels");
    EXPECT_EQ(C<TControl>("LabelCaptionMemo")->Text().rfind("Levels", 0), 0u);
}

TEST_F(PlotEditorForm, AnXYPlotsChannelPageHasNoTimeSeriesParts) {
    Open();
    for (const char* caption : {"Fill", "Digital", "High/Low", "Bar"}) {
        TTabSheet* sheet = SubPage("ChannelPageControl", caption);
        ASSERT_NE(sheet, nullptr) << caption;
        EXPECT_FALSE(sheet->TabVisible()) << caption;
    }
    EXPECT_FALSE(C<TControl>("ChannelFastDrawCheckBox")->Visible());
    EXPECT_FALSE(C<TControl>("ChannelInterpolationStyleComboBox")->Visible());
    TTabSheet* trace = SubPage("ChannelPageControl", "Trace");
    ASSERT_NE(trace, nullptr);
    EXPECT_TRUE(trace->TabVisible());
    // By default users neither add nor remove channels.
    EXPECT_FALSE(C<TControl>("gChannelAddButton")->Visible());
    EXPECT_FALSE(C<TControl>("ChannelRemoveButton")->Visible());
}

// The master manager keeps the page of every page control across openings.
TEST_F(PlotEditorForm, EveryRememberedPageControlExists) {
    Open();
    for (int i = 0; i < kPlotEditorPageControlCount; ++i) {
        const auto pc = static_cast<TgPlotEditorPageControl>(i);
        ASSERT_GT(form->PageCount(pc), 0) << i;
        const int index = form->PageCount(pc) > 1 ? 1 : 0;
        form->SetActivePageIndex(pc, index);
        EXPECT_EQ(form->ActivePageIndex(pc), index) << i;
    }
    // The legend's hidden page (its list) is never turned to.
    const auto legend = TgPlotEditorPageControl::LegendPageControl;
    form->SetActivePageIndex(legend, form->PageCount(legend) - 1);
    EXPECT_EQ(form->ActivePageIndex(legend), 1);
    form->ShowMainPage("Data View");
    EXPECT_EQ(form->PageControl->ActivePage(), form->DataViewTabSheet);
    form->ShowMainPage("Limits");
    EXPECT_EQ(form->PageControl->ActivePage(), form->LimitTabSheet);
}

TEST_F(PlotEditorForm, ChannelAddAndRemoveShowWhenThePlotAllowsThem) {
    plot->SetUserCanAddRemoveChannels(true);
    Open();
    EXPECT_TRUE(C<TControl>("gChannelAddButton")->Visible());
    C<TgComponentEditorButton>("gChannelAddButton")->Click();
    EXPECT_EQ(plot->ChannelCount(), 2);
    EXPECT_EQ(form->SelectedObject(TgPlotEditorKind::Channel), plot->GetChannel(1));
    C<TgComponentEditorButton>("ChannelRemoveButton")->Click();
    EXPECT_EQ(plot->ChannelCount(), 1);
}

TEST_F(PlotEditorForm, EnterWritesTheWholeAxisPageOnceAndRefreshes) {
    Open();
    TgPlotAxis* axis = plot->GetXAxis(0);
    Type("XAxisSpanEdit", "40");
    EXPECT_DOUBLE_EQ(axis->Span(), 40);
    // A value the plot changed by other means is not overwritten by a second Enter without a change.
    axis->SetMin(-7);
    char enter = '\r';
    Edit("XAxisSpanEdit")->KeyPress(enter);
    EXPECT_DOUBLE_EQ(axis->Min(), -7);
    // Any committed change writes every control of the page: Min goes back to what the page shows.
    Type("XAxisSpanEdit", "50");
    EXPECT_DOUBLE_EQ(axis->Span(), 50);
    EXPECT_DOUBLE_EQ(axis->Min(), 0);
    EXPECT_EQ(Edit("XAxisMinEdit")->Text(), "0");
}

TEST_F(PlotEditorForm, AnEditCommitsIntoTheAxisSelectedBeforeTheClick) {
    plot->Master()->AddXAxis();
    Open();
    form->Show();
    form->Widget()->activateWindow();
    Application->ProcessMessages();
    form->PageControl->SetActivePage(form->XAxesTabSheet);
    TgComponentEditorEdit* min = Edit("XAxisMinEdit");
    min->SetFocus();
    Application->ProcessMessages();
    if (!min->Focused())
        GTEST_SKIP() << "this platform gives no keyboard focus offscreen";
    min->SetText("12");
    auto* list = static_cast<QListWidget*>(form->ListBox(TgPlotEditorKind::XAxis)->Widget());
    const QPoint at = list->visualItemRect(list->item(1)).center();
    QMouseEvent press(QEvent::MouseButtonPress, at, list->viewport()->mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, at, list->viewport()->mapToGlobal(at), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    // A click gives the list the focus before the list sees the press (Qt does so only for presses
    // that come from the window system).
    list->setFocus(Qt::MouseFocusReason);
    QApplication::sendEvent(list->viewport(), &press);
    QApplication::sendEvent(list->viewport(), &release);
    Application->ProcessMessages();
    EXPECT_DOUBLE_EQ(plot->GetXAxis(0)->Min(), 12) << "the first axis got the typed value";
    EXPECT_NE(plot->GetXAxis(1)->Min(), 12);
    EXPECT_EQ(form->SelectedObject(TgPlotEditorKind::XAxis), plot->GetXAxis(1));
    EXPECT_EQ(min->Text(), Edit("XAxisMinEdit")->Text());
}

TEST_F(PlotEditorForm, CopyDefaultTakesTheDefaultLabelFormatAndWritesTheAxis) {
    Open();
    C<TgComponentEditorComboBox>("XAxisLabelFormatStyleComboBox")->SetAsInteger(3); // Date/Time
    Edit("XAxisLabelPrecisionEdit")->SetAsInteger(3);
    C<TButton>("XAxisCursorCopyDefaultButton")->Click();
    TgPlotAxis* axis = plot->GetXAxis(0);
    EXPECT_EQ(static_cast<int>(axis->CursorFormatStyle()), 3);
    EXPECT_EQ(axis->CursorPrecision(), 3);
    EXPECT_EQ(C<TgComponentEditorComboBox>("XAxisCursorFormatStyleComboBox")->AsInteger(), 3);
    // The default format itself went in with the same write.
    EXPECT_EQ(static_cast<int>(axis->LabelsFormatStyle()), 3);
    EXPECT_NE(static_cast<int>(axis->LegendFormatStyle()), 3) << "the legend's is another button";
}

TEST_F(PlotEditorForm, StatisticsShowOnlyAfterRefresh) {
    TgPlotChannelCustom* channel = plot->GetChannel(0);
    Open();
    auto* count = C<TLabel>("ChannelStatsPointCountDisplay");
    auto* xMin = C<TLabel>("ChannelStatsXMinDisplay");
    form->ListBoxClick(TgPlotEditorKind::Channel);
    EXPECT_EQ(count->Caption(), "Click Refresh");
    C<TgComponentEditorButton>("ChannelStatsRefreshButton")->Click();
    EXPECT_EQ(count->Caption(), "0");
    EXPECT_EQ(xMin->Caption(), "") << "no points, no minimum";
    EXPECT_NE(C<TLabel>("ChannelStatsMemoryDisplay")->Caption().find(" Bytes"), std::string::npos);

    // A channel whose X axis name matches no axis shows its X values as plain numbers.
    channel->AddXY(1.5, 10);
    channel->AddXY(3.5, 30);
    channel->SetXAxisName("Nowhere");
    form->ListBoxClick(TgPlotEditorKind::Channel);
    EXPECT_EQ(count->Caption(), "Click Refresh");
    C<TgComponentEditorButton>("ChannelStatsRefreshButton")->Click();
    EXPECT_EQ(count->Caption(), "2");
    EXPECT_EQ(xMin->Caption(), "1.5");
    EXPECT_EQ(C<TLabel>("ChannelStatsXMeanDisplay")->Caption(), "2.5");
    EXPECT_EQ(C<TLabel>("ChannelStatsYMaxDisplay")->Caption(), plot->GetYAxis(0)->GetLabelText(30));

    // No channel selected: the values are blank.
    form->ListBoxSelect(TgPlotEditorKind::Channel, -1);
    form->ListBoxClick(TgPlotEditorKind::Channel);
    EXPECT_EQ(count->Caption(), "");
}

TEST_F(PlotEditorForm, NameListsHoldTheirPlaceholdersAroundTheNames) {
    plot->AddTranslation("<None>", "<Keine>");
    Open();
    EXPECT_EQ(Items("DataViewGridXAxisNameComboBox"),
              (std::vector<std::string>{"<Keine>", plot->GetXAxis(0)->Name(), "<All>"}));
    EXPECT_EQ(Items("DataViewGridYAxisNameComboBox"),
              (std::vector<std::string>{"<Keine>", plot->GetYAxis(0)->Name(), "<All>"}));
    EXPECT_EQ(Items("DataCursorChannelNameComboBox"),
              (std::vector<std::string>{"<All>", plot->GetChannel(0)->Name()}));
    EXPECT_EQ(Items("ChannelXAxisNameComboBox"),
              (std::vector<std::string>{"<Keine>", plot->GetXAxis(0)->Name()}));
    EXPECT_EQ(Items("XAxisCartesianChildRefAxisNameComboBox"),
              (std::vector<std::string>{"<Keine>", plot->GetYAxis(0)->Name()}));
    // The channel's axis shows selected; an axis added later appears at the next drop-down.
    EXPECT_EQ(C<TgComponentEditorComboBox>("ChannelXAxisNameComboBox")->AsString(),
              plot->GetXAxis(0)->Name());
    plot->Master()->AddXAxis();
    auto* combo = C<TgComponentEditorComboBox>("LimitXAxisNameComboBox");
    combo->OnDropDown(combo);
    EXPECT_EQ(combo->Items()->Count(), 3);
}

TEST_F(PlotEditorForm, TheLayoutMenuOffersWhatTheObjectAllows) {
    plot->Master()->AddTable();
    plot->Master()->AddLabel();
    Open();
    struct Case {
        TgPlotLayoutObject* object;
        bool canDelete, canHide;
    };
    const Case cases[] = {
        {plot->GetDataView(0), false, false}, {plot->GetLegend(0), false, true},
        {plot->GetToolBar(0), false, true},   {plot->GetLabel(0), false, true},
        {plot->GetLabel(1), true, true},      {plot->GetXAxis(0), true, true},
        {plot->GetYAxis(0), true, true},      {plot->GetTable(0), true, true},
    };
    for (const Case& c : cases) {
        ASSERT_NE(c.object, nullptr);
        // Pressed on the object's block of the viewer.
        form->LayoutViewer->SetBounds(0, 0, 400, 240);
        form->LayoutViewer->CalcBlocks();
        const TRect r = c.object->LayoutRect();
        form->gPlotLayoutViewerMouseDown(TMouseButton::mbRight, (r.Left + r.Right) / 2,
                                         (r.Top + r.Bottom) / 2);
        form->LayoutPopupMenuPopup(nullptr);
        EXPECT_EQ(form->RightClickObject(), c.object) << c.object->Name();
        EXPECT_EQ(form->DeleteMenuItem->Enabled(), c.canDelete) << c.object->Name();
        EXPECT_EQ(form->VisibleMenuItem->Enabled(), c.canHide) << c.object->Name();
        EXPECT_TRUE(form->EditMenuItem->Enabled());
    }
    // Nothing under the pointer: only the plot-wide items.
    form->gPlotLayoutViewerMouseDown(TMouseButton::mbRight, -50, -50);
    form->LayoutPopupMenuPopup(nullptr);
    EXPECT_FALSE(form->DeleteMenuItem->Enabled());
    EXPECT_FALSE(form->VisibleMenuItem->Enabled());
    EXPECT_FALSE(form->EditMenuItem->Enabled());
    EXPECT_TRUE(form->AddXAxisMenuItem->Enabled());

    // Visible toggles, Delete removes, Edit turns to the object's page.
    TgPlotLayoutObject* label = plot->GetLabel(1);
    const TRect r = label->LayoutRect();
    form->gPlotLayoutViewerMouseDown(TMouseButton::mbRight, (r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
    form->VisibleMenuItem->Click();
    EXPECT_FALSE(label->Visible());
    form->EditMenuItem->Click();
    EXPECT_EQ(form->PageControl->ActivePage(), form->LabelsTabSheet);
    EXPECT_EQ(form->SelectedObject(TgPlotEditorKind::Label), label);
    form->DeleteMenuItem->Click();
    EXPECT_EQ(plot->LabelCount(), 1);
    EXPECT_EQ(form->ListBox(TgPlotEditorKind::Label)->Items()->Count(), 1);
    form->XYAxesReverseMenuItem->Click();
    EXPECT_TRUE(plot->Master()->XYAxesReverse());
}

TEST_F(PlotEditorForm, AFailingLogActionIsShownAndTheWindowStaysOpen) {
    Open();
    form->ListBoxClick(TgPlotEditorKind::Channel);
    C<TgComponentEditorButton>("ChannelLogActivateButton")->Click();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0], "Log File Name not Defined");
    EXPECT_TRUE(form->Visible());
    C<TgComponentEditorButton>("ControlLogDeactivateButton")->Click();
    ASSERT_EQ(errors.size(), 2u);
    EXPECT_EQ(errors[1], "Logging not Active");
}

TEST_F(PlotEditorForm, LogButtonsFollowWhetherTheChannelOrThePlotLogs) {
    kvtest::TempDir dir;
    Open();
    form->ListBoxClick(TgPlotEditorKind::Channel);
    Type("ChannelLogFileNameEdit", dir / "channel.log");
    TgPlotChannelCustom* channel = plot->GetChannel(0);
    EXPECT_EQ(channel->LogFileName(), dir / "channel.log");
    EXPECT_EQ(C<TgComponentEditorOpenPicker>("ChannelLogFileNamePicker")->FileName(), dir / "channel.log");
    const auto state = [this](const char* prefix) {
        const std::string p = prefix;
        return std::vector<bool>{C<TControl>(p + "LogActivateButton")->Enabled(),
                                 C<TControl>(p + "LogDeactivateButton")->Enabled(),
                                 C<TControl>(p + "LogFileNameEdit")->Enabled(),
                                 C<TControl>(p + "LogFileNamePicker")->Enabled()};
    };
    EXPECT_EQ(state("Channel"), (std::vector<bool>{true, false, true, true}));
    C<TgComponentEditorButton>("ChannelLogActivateButton")->Click();
    EXPECT_TRUE(channel->LoggingActive());
    EXPECT_EQ(state("Channel"), (std::vector<bool>{false, true, false, false}));
    C<TgComponentEditorButton>("ChannelLogDeactivateButton")->Click();
    EXPECT_FALSE(channel->LoggingActive());
    EXPECT_EQ(state("Channel"), (std::vector<bool>{true, false, true, true}));

    EXPECT_EQ(state("Control"), (std::vector<bool>{true, false, true, true}));
    Type("ControlLogFileNameEdit", dir / "plot.log");
    EXPECT_EQ(plot->LogFileName(), dir / "plot.log");
    C<TgComponentEditorButton>("ControlLogActivateButton")->Click();
    EXPECT_TRUE(plot->LoggingActive());
    EXPECT_EQ(state("Control"), (std::vector<bool>{false, true, false, false}));
    C<TgComponentEditorButton>("ControlLogDeactivateButton")->Click();
    EXPECT_FALSE(plot->LoggingActive());
    EXPECT_EQ(state("Control"), (std::vector<bool>{true, false, true, true}));
    EXPECT_TRUE(errors.empty());
}

TEST_F(PlotEditorForm, TheControlPageShowsThePlotAndWritesItBack) {
    plot->SetOuterMarginLeft(7);
    Open();
    EXPECT_EQ(Edit("OuterMarginLeftEdit")->AsInteger(), 7);
    Type("OuterMarginTopEdit", "12");
    EXPECT_EQ(plot->OuterMarginTop(), 12);
    EXPECT_EQ(plot->OuterMarginLeft(), 7);
}

// After a load the pages show what was loaded: a later write-back must not put the old values back.
TEST_F(PlotEditorForm, LoadedPropertiesSurviveTheNextWriteBack) {
    kvtest::TempDir dir;
    Open();
    plot->SetOuterMarginLeft(9);
    auto* savePlot = C<TgComponentEditorSavePicker>("ControlPropertiesSavePicker");
    savePlot->SetFileName(dir / "plot.cfg");
    savePlot->OnChange(savePlot);
    auto* loadPlot = C<TgComponentEditorOpenPicker>("ControlPropertiesOpenPicker");
    loadPlot->SetFileName(dir / "plot.cfg");
    loadPlot->OnChange(loadPlot);
    EXPECT_EQ(Edit("OuterMarginLeftEdit")->AsInteger(), 9);
    Type("OuterMarginTopEdit", "12");
    EXPECT_EQ(plot->OuterMarginLeft(), 9);

    form->ListBoxClick(TgPlotEditorKind::Channel);
    Type("ChannelTitleEdit", "Input");
    auto* saveChannel = C<TgComponentEditorSavePicker>("ChannelPropertiesSavePicker");
    saveChannel->SetFileName(dir / "channel.cfg");
    saveChannel->OnChange(saveChannel);
    Type("ChannelTitleEdit", "Output");
    auto* loadChannel = C<TgComponentEditorOpenPicker>("ChannelPropertiesOpenPicker");
    loadChannel->SetFileName(dir / "channel.cfg");
    loadChannel->OnChange(loadChannel);
    EXPECT_EQ(Edit("ChannelTitleEdit")->Text(), "Input");
    Type("ChannelLayerEdit", "90");
    EXPECT_EQ(plot->GetChannel(0)->TitleText(), "Input");
    EXPECT_TRUE(errors.empty()) << errors.front();
}

TEST_F(PlotEditorForm, FilePickersCarryTheirFiltersAndExtensions) {
    Open();
    struct Case {
        const char* name;
        const char* caption;
        const char* filter;
        const char* ext;
        int mustExist; // -1: a save picker
    };
    const char* config = "Config (*.cfg)|*.cfg|All Files (*.*)|*.*";
    const char* data = "Data (*.dat)|*.dat|All Files (*.*)|*.*";
    const char* log = "Log (*.log)|*.log|All Files (*.*)|*.*";
    const char* ano = "Annotations (*.ano)|*.ano|All Files (*.*)|*.*";
    const Case cases[] = {
        {"ControlPropertiesOpenPicker", "Load", config, "cfg", 1},
        {"ControlPropertiesSavePicker", "Save", config, "cfg", -1},
        {"ControlDataSavePicker", "Save", data, "dat", -1},
        {"ControlDataOpenPicker", "Load", "Data (*.dat)|*.dat|Log (*.log)|*.log|All Files (*.*)|*.*", "dat",
         0},
        {"ControlAnnotationSavePicker", "Save", ano, "dat", -1},
        {"ControlAnnotationOpenPicker", "Load", ano, "dat", 0},
        {"ControlLogFileNamePicker", "...", log, "log", 0},
        {"ChannelPropertiesOpenPicker", "Load", config, "cfg", 0},
        {"ChannelPropertiesSavePicker", "Save", config, "cfg", -1},
        {"ChannelDataOpenPicker", "Load", data, "dat", 0},
        {"ChannelDataSavePicker", "Save", data, "dat", -1},
        {"ChannelLogFileNamePicker", "...", log, "log", 0},
    };
    for (const Case& c : cases) {
        if (c.mustExist < 0) {
            auto* p = C<TgComponentEditorSavePicker>(c.name);
            ASSERT_NE(p, nullptr);
            EXPECT_EQ(p->Caption(), c.caption) << c.name;
            EXPECT_EQ(p->Filter(), c.filter) << c.name;
            EXPECT_EQ(p->DefaultExt(), c.ext) << c.name;
        } else {
            auto* p = C<TgComponentEditorOpenPicker>(c.name);
            ASSERT_NE(p, nullptr);
            EXPECT_EQ(p->Caption(), c.caption) << c.name;
            EXPECT_EQ(p->Filter(), c.filter) << c.name;
            EXPECT_EQ(p->DefaultExt(), c.ext) << c.name;
            EXPECT_EQ(p->FileMustExist(), c.mustExist == 1) << c.name;
        }
    }
}

TEST(PlotEditorFormLifecycle, AModalEditorClosesOnceAndTellsThePlotOnce) {
    gRegisterPlotEditors();
    {
        TgXYPlot plot(nullptr);
        int opened = 0, closed = 0;
        plot.OnAfterOpenEditor = [&](TObject*) { ++opened; };
        plot.OnAfterCloseEditor = [&](TObject*) { ++closed; };
        QTimer::singleShot(0, [&] {
            if (auto* f = dynamic_cast<TgPlotEditorForm*>(plot.Master()->EditorForm()))
                f->Close();
        });
        plot.EditProperties();
        EXPECT_EQ(plot.Master()->EditorForm(), nullptr);
        EXPECT_EQ(opened, 1);
        EXPECT_EQ(closed, 1);
    }
    gSetPlotEditorFormFactory(nullptr);
}

TEST(PlotEditorFormLifecycle, AStayOnTopEditorIsFreedAfterItClosedAndOutlivesNoPlot) {
    gRegisterPlotEditors();
    int closed = 0;
    {
        TgXYPlot plot(nullptr);
        plot.SetEditorFormStyle(TgPlotFormStyle::ipfsStayOnTop);
        plot.OnAfterCloseEditor = [&](TObject*) { ++closed; };
        plot.EditProperties();
        auto* form = dynamic_cast<TgPlotEditorForm*>(plot.Master()->EditorForm());
        ASSERT_NE(form, nullptr);
        EXPECT_EQ(form->FormStyle(), TFormStyle::fsStayOnTop);
        EXPECT_TRUE(form->Visible());
        form->Close();
        EXPECT_EQ(plot.Master()->EditorForm(), nullptr);
        EXPECT_EQ(closed, 1);
        // The plot goes before the window's queued free: the window is no longer the plot's to free.
    }
    Application->ProcessMessages();
    EXPECT_EQ(closed, 1);
    gSetPlotEditorFormFactory(nullptr);
}

// Renders every main page and the sub-pages the form fills itself (and writes them as PNG when
// KV_PLOT_EDITOR_PNG names a folder).
TEST_F(PlotEditorForm, EveryMainPagePaints) {
    Open();
    const char* out = std::getenv("KV_PLOT_EDITOR_PNG");
    const auto shoot = [&](std::string name) {
        Application->ProcessMessages();
        const QImage image = form->Widget()->grab().toImage();
        ASSERT_FALSE(image.isNull());
        EXPECT_EQ(image.width(), form->ClientWidth());
        for (char& ch : name)
            if (ch == ' ' || ch == '/')
                ch = '-';
        if (out)
            image.save(QString::fromStdString(std::string(out) + "/plot-editor-" + name + ".png"));
    };
    for (int i = 0; i < form->PageControl->PageCount(); ++i) {
        form->PageControl->SetActivePageIndex(i);
        shoot(form->PageControl->Pages(i)->Caption());
    }
    form->PageControl->SetActivePage(form->GeneralTabSheet);
    C<TPageControl>("ControlPageControl")->SetActivePage(C<TTabSheet>("ControlFileIOTabSheet"));
    shoot("Control-FileIO");
    form->PageControl->SetActivePage(form->ChannelsTabSheet);
    C<TPageControl>("ChannelPageControl")->SetActivePage(C<TTabSheet>("ChannelFileIOTabSheet"));
    shoot("Channels-FileIO");
    C<TPageControl>("ChannelPageControl")->SetActivePage(C<TTabSheet>("ChannelStatsTabSheet"));
    C<TgComponentEditorButton>("ChannelStatsRefreshButton")->Click();
    shoot("Channels-Stats");
}

TEST_F(PlotEditorForm, AStayOnTopEditorShowsChangesMadeMeanwhileWhenActivated) {
    Open();
    plot->GetXAxis(0)->SetSpan(33);
    EXPECT_NE(Edit("XAxisSpanEdit")->Text(), "33");
    form->OnActivate(form);
    EXPECT_EQ(Edit("XAxisSpanEdit")->Text(), "33");
}

} // namespace
