#include "plot/editors/gPlotEditorPages.h"

#include "plot/editors/gComponentEditor.h"
#include "plot/gPlot.h"
#include "plot/gPlotAxis.h"
#include "plot/gPlotChannel.h"
#include "plot/gPlotLabel.h"
#include "plot/gPlotManagers.h"
#include "plot/gPlotMasterManager.h"
#include "plot/gPlotTimeChannel.h"
#include "plot/gXYPlot.h"

#include "platform/core/Properties.h"
#include "platform/gui/PageControl.h"
#include "platform/gui/StdEdits.h"
#include "platform/gui/StdPanels.h"

#include <gtest/gtest.h>

#include <QImage>

#include <cmath>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace kvtest_pages {
using namespace kv;

constexpr TgPlotEditorKind kObjectKinds[] = {TgPlotEditorKind::Channel, TgPlotEditorKind::DataCursor,
                                             TgPlotEditorKind::Limit,   TgPlotEditorKind::Label,
                                             TgPlotEditorKind::XAxis,   TgPlotEditorKind::YAxis,
                                             TgPlotEditorKind::Legend,  TgPlotEditorKind::Table,
                                             TgPlotEditorKind::ToolBar, TgPlotEditorKind::DataView};

// A stand-in for the editor form: the form's containers (a page control per kind, the toolbar's
// panel, the Control page's page control) and the controls the form makes itself, at the sizes the
// form gives them.
class PagesForm {
public:
    explicit PagesForm(TNotifyEvent onChange) : form(std::make_unique<TgCustomEditorForm>(nullptr)) {
        form->SetClientWidth(576);
        form->SetClientHeight(272);
        for (TgPlotEditorKind kind : kObjectKinds) {
            TWinControl* container;
            if (kind == TgPlotEditorKind::ToolBar) {
                auto* panel = new TPanel(form.get());
                panel->SetName("ToolBarEditPanel");
                container = panel;
            } else {
                auto* pc = new TgComponentEditorPageControl(form.get());
                pc->SetName(std::string(gPlotEditorKindPrefix(kind)) + "PageControl");
                container = pc;
            }
            container->SetParent(form.get());
            // The sizes the form gives: the pages without an object list are the form's width.
            const bool fixed = kind == TgPlotEditorKind::Legend || kind == TgPlotEditorKind::ToolBar ||
                               kind == TgPlotEditorKind::DataView;
            container->SetBounds(fixed ? 4 : 140, 30, fixed ? 566 : 430, 236);
            container->SetVisible(false);
            containers[static_cast<int>(kind)] = container;
            // What the form makes next to its own pickers and in its hidden groups.
            for (const TgPlotEditorPageRow& row : gPlotEditorPageRows(kind))
                if (row.madeByForm)
                    MakeFormEdit(row.control, onChange);
            gBuildPlotEditorPage(form.get(), kind, container, onChange);
        }
        control = new TgComponentEditorPageControl(form.get());
        control->SetName("ControlPageControl");
        control->SetParent(form.get());
        control->SetBounds(4, 30, 566, 236);
        control->SetVisible(false);
        for (const TgPlotEditorPageRow& row : gPlotEditorControlPageRows())
            if (row.madeByForm)
                MakeFormEdit(row.control, onChange);
        gBuildPlotEditorControlPage(form.get(), control, onChange, [this](TObject*) { ++titleChanges; });
    }

    TComponent* Form() const { return form.get(); }
    // A missing control fails the test here rather than crashing it later.
    template <class T> T* Find(const std::string& name) const {
        auto* c = dynamic_cast<T*>(form->FindComponent(name));
        if (!c)
            throw std::runtime_error("no control " + name);
        return c;
    }
    TWinControl* Container(TgPlotEditorKind kind) const { return containers[static_cast<int>(kind)]; }

    std::unique_ptr<TgCustomEditorForm> form;
    TWinControl* containers[10] = {};
    TgComponentEditorPageControl* control = nullptr;
    int titleChanges = 0;

private:
    void MakeFormEdit(const std::string& name, const TNotifyEvent& onChange) {
        auto* edit = new TgComponentEditorEdit(form.get());
        edit->SetName(name);
        edit->SetParent(form.get());
        edit->SetVisible(false);
        edit->OnUpdate = onChange;
    }
};

// A plot of each family with one object of every kind, added through the master manager.
struct PagesPlot {
    explicit PagesPlot(bool timeSeries) {
        if (timeSeries)
            plot = std::make_unique<TgPlot>(nullptr);
        else
            plot = std::make_unique<TgXYPlot>(nullptr);
        TgPlotMasterManager* m = plot->Master();
        m->AddChannel();
        m->AddDataCursor();
        m->AddLimit();
        m->AddTable();
        if (m->LabelManager()->Count() == 0)
            m->AddLabel();
        if (m->XAxisManager()->Count() == 0)
            m->AddXAxis();
        if (m->YAxisManager()->Count() == 0)
            m->AddYAxis();
        if (m->LegendManager()->Count() == 0)
            m->AddLegend();
        if (m->ToolBarManager()->Count() == 0)
            m->AddToolBar();
        if (m->DataViewManager()->Count() == 0)
            m->AddDataView();
    }
    TgPlotObject* Object(TgPlotEditorKind kind) const {
        TgPlotMasterManager* m = plot->Master();
        TgPlotObjectManagerCustom* manager = nullptr;
        switch (kind) {
        case TgPlotEditorKind::Channel:
            manager = m->ChannelManager();
            break;
        case TgPlotEditorKind::DataCursor:
            manager = m->DataCursorManager();
            break;
        case TgPlotEditorKind::Limit:
            manager = m->LimitManager();
            break;
        case TgPlotEditorKind::Label:
            manager = m->LabelManager();
            break;
        case TgPlotEditorKind::XAxis:
            manager = m->XAxisManager();
            break;
        case TgPlotEditorKind::YAxis:
            manager = m->YAxisManager();
            break;
        case TgPlotEditorKind::Legend:
            manager = m->LegendManager();
            break;
        case TgPlotEditorKind::Table:
            manager = m->TableManager();
            break;
        case TgPlotEditorKind::ToolBar:
            manager = m->ToolBarManager();
            break;
        case TgPlotEditorKind::DataView:
            manager = m->DataViewManager();
            break;
        }
        return manager->GetItem(0);
    }
    std::unique_ptr<TgPlotComponent> plot;
};

const TPropInfo* PropOf(const TObject* object, const std::string& name) {
    return object->ClassInfo().FindProp(name);
}

// A value of the property that differs from its current one, as the property's text.
struct NewValue {
    long long ord = 0;
    double num = 0;
    std::string text;
};

class PlotEditorPages : public ::testing::Test {
protected:
    void SetUp() override {
        form = std::make_unique<PagesForm>([this](TObject*) { ++changes; });
    }

    // Changes the row's control as a user would, returning the value the property should get.
    NewValue ChangeAsUser(const TgPlotEditorPageRow& row, TgPlotObject* object) {
        const TPropInfo* p = PropOf(object, row.property);
        NewValue v;
        switch (row.kind) {
        case TgPlotEditorCtl::IntEdit: {
            auto* edit = form->Find<TgComponentEditorEdit>(row.control);
            const long long cur = p->GetOrd(*object);
            v.ord = cur + 1;
            edit->SetIntegerWithEvent(static_cast<int>(v.ord));
            break;
        }
        case TgPlotEditorCtl::FloatEdit: {
            auto* edit = form->Find<TgComponentEditorEdit>(row.control);
            const double cur = p->GetFloat(*object);
            v.num = cur >= 50 ? cur - 1.5 : cur + 1.5;
            edit->SetDoubleWithEvent(v.num);
            break;
        }
        case TgPlotEditorCtl::StringEdit: {
            auto* edit = form->Find<TgComponentEditorEdit>(row.control);
            v.text = row.property == "LogFileName" ? ::testing::TempDir() + "kv_pages_test.log"
                                                   : "Edited" + row.property;
            edit->SetStringWithEvent(v.text);
            break;
        }
        case TgPlotEditorCtl::CheckBox: {
            auto* check = form->Find<TgComponentEditorCheckBox>(row.control);
            v.ord = p->GetOrd(*object) ? 0 : 1;
            check->SetChecked(v.ord != 0);
            break;
        }
        case TgPlotEditorCtl::RadioGroup: {
            auto* radio = form->Find<TgComponentEditorRadioGroup>(row.control);
            v.ord = (p->GetOrd(*object) + 1) % static_cast<long long>(row.items.size());
            radio->SetItemIndex(static_cast<int>(v.ord));
            break;
        }
        case TgPlotEditorCtl::ComboBox: {
            auto* combo = form->Find<TgComponentEditorComboBox>(row.control);
            v.ord = (p->GetOrd(*object) + 1) % static_cast<long long>(row.items.size());
            combo->UserSelect(static_cast<int>(v.ord));
            break;
        }
        case TgPlotEditorCtl::NameComboBox: {
            // The form lists the names; the pick is stored as its text.
            auto* combo = form->Find<TgComponentEditorComboBox>(row.control);
            combo->Items()->Clear();
            combo->Items()->Add("<None>");
            combo->Items()->Add("Picked Name");
            combo->UserSelect(1);
            v.text = "Picked Name";
            break;
        }
        case TgPlotEditorCtl::DateTimeComboBox: {
            auto* combo = form->Find<TgComponentEditorComboBox>(row.control);
            v.text = "yyyy-mm-dd hh:nn";
            combo->SetText(v.text);
            ++changes; // typing into the box
            break;
        }
        case TgPlotEditorCtl::ColorPicker: {
            auto* picker = form->Find<TgComponentEditorColorPicker>(row.control);
            v.ord = p->GetOrd(*object) == 0x123456 ? 0x654321 : 0x123456;
            picker->SetColor(static_cast<TColor>(v.ord));
            ++changes; // the colour dialog's confirmation
            break;
        }
        case TgPlotEditorCtl::FontPicker: {
            auto* picker = form->Find<TgComponentEditorFontPicker>(row.control);
            TFont font;
            font.Assign(picker->Font());
            font.SetSize(font.Size() == 17 ? 19 : 17);
            font.SetColor(0x00AA00);
            picker->SetFont(&font);
            v.ord = font.Size();
            ++changes; // the font dialog's confirmation
            break;
        }
        case TgPlotEditorCtl::Memo: {
            auto* memo = form->Find<TMemo>(row.control);
            v.text = "First line\nSecond line";
            memo->SetText(v.text);
            break;
        }
        }
        return v;
    }

    static void ExpectWritten(const TgPlotEditorPageRow& row, const TObject* object, const NewValue& v) {
        const TPropInfo* p = PropOf(object, row.property);
        switch (row.kind) {
        case TgPlotEditorCtl::FloatEdit:
            EXPECT_NEAR(p->GetFloat(*object), v.num, 1e-9) << row.control;
            break;
        case TgPlotEditorCtl::StringEdit:
        case TgPlotEditorCtl::NameComboBox:
        case TgPlotEditorCtl::DateTimeComboBox:
        case TgPlotEditorCtl::Memo:
            EXPECT_EQ(p->GetStr(*object), v.text) << row.control;
            break;
        case TgPlotEditorCtl::FontPicker: {
            auto* font = dynamic_cast<const TFont*>(p->GetObject(*object));
            ASSERT_NE(font, nullptr) << row.control;
            EXPECT_EQ(font->Size(), v.ord) << row.control;
            EXPECT_EQ(font->Color(), 0x00AA00) << row.control;
            break;
        }
        default:
            EXPECT_EQ(p->GetOrd(*object), v.ord) << row.control;
            break;
        }
    }

    // The control shows the property's value after a fill.
    void ExpectShown(const TgPlotEditorPageRow& row, const TObject* object) {
        const TPropInfo* p = PropOf(object, row.property);
        switch (row.kind) {
        case TgPlotEditorCtl::IntEdit:
            EXPECT_EQ(form->Find<TgComponentEditorEdit>(row.control)->AsInteger(), p->GetOrd(*object));
            break;
        case TgPlotEditorCtl::FloatEdit: {
            const double want = p->GetFloat(*object);
            EXPECT_NEAR(form->Find<TgComponentEditorEdit>(row.control)->AsFloat(), want,
                        1e-12 * std::max(1.0, std::fabs(want)));
            break;
        }
        case TgPlotEditorCtl::StringEdit:
            EXPECT_EQ(form->Find<TgComponentEditorEdit>(row.control)->AsString(), p->GetStr(*object));
            break;
        case TgPlotEditorCtl::CheckBox:
            EXPECT_EQ(form->Find<TgComponentEditorCheckBox>(row.control)->AsBoolean(),
                      p->GetOrd(*object) != 0);
            break;
        case TgPlotEditorCtl::RadioGroup:
            EXPECT_EQ(form->Find<TgComponentEditorRadioGroup>(row.control)->AsInteger(), p->GetOrd(*object));
            break;
        case TgPlotEditorCtl::ComboBox:
            EXPECT_EQ(form->Find<TgComponentEditorComboBox>(row.control)->AsInteger(), p->GetOrd(*object));
            break;
        case TgPlotEditorCtl::DateTimeComboBox:
            EXPECT_EQ(form->Find<TgComponentEditorComboBox>(row.control)->AsString(), p->GetStr(*object));
            break;
        case TgPlotEditorCtl::ColorPicker:
            EXPECT_EQ(form->Find<TgComponentEditorColorPicker>(row.control)->Color(), p->GetOrd(*object));
            break;
        case TgPlotEditorCtl::FontPicker:
            EXPECT_TRUE(form->Find<TgComponentEditorFontPicker>(row.control)
                            ->Font()
                            ->SameAs(*dynamic_cast<const TFont*>(p->GetObject(*object))));
            break;
        case TgPlotEditorCtl::NameComboBox: // the form lists the names; see the name test
        case TgPlotEditorCtl::Memo:
            break;
        }
    }

    // Every row of every page: filled from the object, changed as a user would, written, stored.
    void EveryRowWritesItsProperty(bool timeSeries) {
        PagesPlot plot(timeSeries);
        for (TgPlotEditorKind kind : kObjectKinds) {
            TgPlotObject* object = plot.Object(kind);
            ASSERT_NE(object, nullptr) << gPlotEditorKindPrefix(kind);
            for (const TgPlotEditorPageRow& row : gPlotEditorPageRows(kind)) {
                SCOPED_TRACE(row.control);
                if (row.timeSeriesOnly && !timeSeries)
                    continue;
                const TPropInfo* p = PropOf(object, row.property);
                ASSERT_NE(p, nullptr) << object->ClassInfo().Name() << " has no property " << row.property;
                ASSERT_TRUE(p->Writable()) << row.property;
                ASSERT_NE(form->Form()->FindComponent(row.control), nullptr);
                gFillPlotEditorPage(form->Form(), kind, object);
                ExpectShown(row, object);
                const int before = changes;
                const NewValue v = ChangeAsUser(row, object);
                EXPECT_GT(changes, before) << "no change event";
                gWritePlotEditorPage(form->Form(), kind, object);
                ExpectWritten(row, object, v);
            }
        }
    }

    std::unique_ptr<PagesForm> form;
    int changes = 0;
};

TEST_F(PlotEditorPages, EveryRowOfATimeSeriesPlotWritesItsProperty) {
    EveryRowWritesItsProperty(true);
}

TEST_F(PlotEditorPages, EveryRowOfAnXYPlotWritesItsProperty) {
    EveryRowWritesItsProperty(false);
}

// The item order of every fixed-choice control is the order of the property's enumeration.
TEST_F(PlotEditorPages, FixedItemsMapToTheEnumerationInOrder) {
    PagesPlot plot(true);
    for (TgPlotEditorKind kind : kObjectKinds) {
        TgPlotObject* object = plot.Object(kind);
        for (const TgPlotEditorPageRow& row : gPlotEditorPageRows(kind)) {
            if (row.kind != TgPlotEditorCtl::ComboBox && row.kind != TgPlotEditorCtl::RadioGroup)
                continue;
            SCOPED_TRACE(row.control);
            const TPropInfo* p = PropOf(object, row.property);
            ASSERT_NE(p, nullptr);
            ASSERT_EQ(row.items.size(), p->EnumNames.size());
            for (int i = 0; i < static_cast<int>(row.items.size()); ++i) {
                gFillPlotEditorPage(form->Form(), kind, object);
                if (row.kind == TgPlotEditorCtl::ComboBox) {
                    auto* combo = form->Find<TgComponentEditorComboBox>(row.control);
                    ASSERT_EQ(combo->Items()->Count(), static_cast<int>(row.items.size()));
                    EXPECT_EQ(combo->Items()->Get(i), row.items[static_cast<std::size_t>(i)]);
                    combo->SetAsInteger(i);
                } else {
                    form->Find<TgComponentEditorRadioGroup>(row.control)->SetAsInteger(i);
                }
                gWritePlotEditorPage(form->Form(), kind, object);
                EXPECT_EQ(p->GetOrd(*object), i) << row.items[static_cast<std::size_t>(i)];
            }
        }
    }
}

TEST_F(PlotEditorPages, AFixedChoiceWithNothingChosenWritesNothing) {
    PagesPlot plot(false);
    auto* limit = plot.Object(TgPlotEditorKind::Limit);
    const TPropInfo* style = PropOf(limit, "Style");
    gFillPlotEditorPage(form->Form(), TgPlotEditorKind::Limit, limit);
    const long long before = style->GetOrd(*limit);
    form->Find<TgComponentEditorComboBox>("LimitStyleComboBox")->SetAsInteger(-1);
    gWritePlotEditorPage(form->Form(), TgPlotEditorKind::Limit, limit);
    EXPECT_EQ(style->GetOrd(*limit), before);

    TgPlotEditorSettings settings;
    settings.PrintOrientation = TPrinterOrientation::poPortrait;
    form->Find<TgComponentEditorRadioGroup>("PrintOrientationRadioGroup")->SetAsInteger(-1);
    gReadPlotEditorControlPage(form->Form(), settings);
    EXPECT_EQ(settings.PrintOrientation, TPrinterOrientation::poPortrait);
}

TEST_F(PlotEditorPages, Log10IsTheSecondScaleTypeAndShowsAgain) {
    PagesPlot plot(false);
    auto* axis = dynamic_cast<TgPlotAxis*>(plot.Object(TgPlotEditorKind::XAxis));
    ASSERT_NE(axis, nullptr);
    gFillPlotEditorPage(form->Form(), TgPlotEditorKind::XAxis, axis);
    auto* radio = form->Find<TgComponentEditorRadioGroup>("XAxisScaleTypeRadioGroup");
    const int log10 = radio->Items()->IndexOf("Log10");
    ASSERT_EQ(log10, 1);
    radio->SetItemIndex(log10);
    gWritePlotEditorPage(form->Form(), TgPlotEditorKind::XAxis, axis);
    EXPECT_EQ(axis->ScaleType(), TgPlotScaleType::ipstLog10);
    radio->SetAsInteger(0);
    gFillPlotEditorPage(form->Form(), TgPlotEditorKind::XAxis, axis);
    EXPECT_EQ(radio->Items()->Get(radio->AsInteger()), "Log10");
}

TEST_F(PlotEditorPages, ATypedDateTimeFormatIsStoredAsTyped) {
    PagesPlot plot(false);
    auto* axis = dynamic_cast<TgPlotAxis*>(plot.Object(TgPlotEditorKind::YAxis));
    gFillPlotEditorPage(form->Form(), TgPlotEditorKind::YAxis, axis);
    auto* combo = form->Find<TgComponentEditorComboBox>("YAxisCursorDateTimeFormatComboBox");
    ASSERT_EQ(combo->Items()->Count(), 6);
    EXPECT_EQ(combo->Items()->Get(0), "hh:nn:ss");
    combo->SetText("dd.mm.yyyy");
    ASSERT_EQ(combo->Items()->IndexOf("dd.mm.yyyy"), -1);
    gWritePlotEditorPage(form->Form(), TgPlotEditorKind::YAxis, axis);
    EXPECT_EQ(axis->CursorDateTimeFormat(), "dd.mm.yyyy");
    // A suggestion picked from the list is stored as well.
    combo->UserSelect(1);
    gWritePlotEditorPage(form->Form(), TgPlotEditorKind::YAxis, axis);
    EXPECT_EQ(axis->CursorDateTimeFormat(), "hh:nn:ss.zzz");
}

TEST_F(PlotEditorPages, AWriteBackKeepsTheFullPrecisionOfValuesLeftAlone) {
    PagesPlot plot(false);
    auto* axis = dynamic_cast<TgPlotAxis*>(plot.Object(TgPlotEditorKind::XAxis));
    axis->SetMin(1.0 / 3.0);
    axis->SetSpan(2.0 / 3.0);
    gFillPlotEditorPage(form->Form(), TgPlotEditorKind::XAxis, axis);
    form->Find<TgComponentEditorEdit>("XAxisSpanEdit")->SetDoubleWithEvent(5);
    gWritePlotEditorPage(form->Form(), TgPlotEditorKind::XAxis, axis);
    EXPECT_EQ(axis->Min(), 1.0 / 3.0) << "not rounded to the 15 digits the edit shows";
    EXPECT_EQ(axis->Span(), 5);
}

TEST_F(PlotEditorPages, TimeSeriesControlsAreNotWrittenOnAnXYChannel) {
    PagesPlot xy(false), ts(true);
    for (PagesPlot* plot : {&xy, &ts}) {
        auto* channel = dynamic_cast<TgPlotChannelCustom*>(plot->Object(TgPlotEditorKind::Channel));
        const bool timeSeries = plot == &ts;
        gFillPlotEditorPage(form->Form(), TgPlotEditorKind::Channel, channel);
        const bool clip = channel->ClipToAxes();
        form->Find<TgComponentEditorCheckBox>("ChannelClipToAxesCheckBox")->SetAsBoolean(!clip);
        gWritePlotEditorPage(form->Form(), TgPlotEditorKind::Channel, channel);
        EXPECT_EQ(channel->ClipToAxes(), timeSeries ? !clip : clip) << (timeSeries ? "time series" : "XY");
    }
}

TEST_F(PlotEditorPages, TimeSeriesPartsHideAndShow) {
    auto tabVisible = [&](const char* name) { return form->Find<TTabSheet>(name)->TabVisible(); };
    gShowPlotEditorTimeSeriesControls(form->Form(), false);
    for (const char* sheet :
         {"ChannelFillTabSheet", "ChannelBarTabSheet", "ChannelHighLowTabSheet", "ChannelDigitalTabSheet"})
        EXPECT_FALSE(tabVisible(sheet)) << sheet;
    EXPECT_TRUE(tabVisible("ChannelGeneralTabSheet"));
    EXPECT_TRUE(tabVisible("ChannelStatsTabSheet"));
    for (const char* c : {"ChannelFastDrawCheckBox", "ChannelInterpolationStyleComboBox",
                          "ChannelInterpolationStyleComboBoxLabel", "ChannelClipToAxesCheckBox"})
        EXPECT_FALSE(form->Find<TControl>(c)->Visible()) << c;
    EXPECT_TRUE(form->Find<TControl>("ChannelVisibleCheckBox")->Visible());
    gShowPlotEditorTimeSeriesControls(form->Form(), true);
    EXPECT_TRUE(tabVisible("ChannelFillTabSheet"));
    EXPECT_TRUE(form->Find<TControl>("ChannelFastDrawCheckBox")->Visible());
}

TEST_F(PlotEditorPages, TitleIsWrittenIntoTheFirstLabelAndBack) {
    PagesPlot plot(false);
    auto* label = dynamic_cast<TgPlotLabel*>(plot.Object(TgPlotEditorKind::Label));
    ASSERT_NE(label, nullptr);
    form->Find<TgComponentEditorEdit>("TitleTextEdit")->SetStringWithEvent("Response");
    EXPECT_GT(form->titleChanges, 0) << "the Title sub-page reports to its own handler";
    form->Find<TgComponentEditorEdit>("TitleMarginEdit")->SetDoubleWithEvent(7.5);
    form->Find<TgComponentEditorCheckBox>("TitleVisibleCheckBox")->SetAsBoolean(false);
    TFont font;
    font.SetSize(15);
    form->Find<TgComponentEditorFontPicker>("TitleFontPicker")->SetFont(&font);
    gWritePlotEditorTitle(form->Form(), label);
    EXPECT_EQ(label->Caption(), "Response");
    EXPECT_DOUBLE_EQ(label->MarginBottom(), 7.5);
    EXPECT_FALSE(label->Visible());
    EXPECT_EQ(label->Font()->Size(), 15);

    label->SetCaption("Phase");
    label->SetVisible(true);
    label->SetMarginBottom(2);
    gFillPlotEditorTitle(form->Form(), label);
    EXPECT_EQ(form->Find<TgComponentEditorEdit>("TitleTextEdit")->AsString(), "Phase");
    EXPECT_TRUE(form->Find<TgComponentEditorCheckBox>("TitleVisibleCheckBox")->AsBoolean());
    EXPECT_DOUBLE_EQ(form->Find<TgComponentEditorEdit>("TitleMarginEdit")->AsFloat(), 2);
}

// Every Control page control: filled from the settings, changed, read back into them.
TEST_F(PlotEditorPages, ControlPageReadsEveryControlIntoTheSettings) {
    for (const TgPlotEditorPageRow& row : gPlotEditorControlPageRows()) {
        SCOPED_TRACE(row.control);
        TgPlotEditorSettings settings;
        gFillPlotEditorControlPage(form->Form(), settings);
        const std::string before = gPlotEditorSettingText(settings, row.control);
        std::string expected;
        switch (row.kind) {
        case TgPlotEditorCtl::IntEdit:
            form->Find<TgComponentEditorEdit>(row.control)->SetIntegerWithEvent(std::stoi(before) + 7);
            expected = std::to_string(std::stoi(before) + 7);
            break;
        case TgPlotEditorCtl::FloatEdit:
            form->Find<TgComponentEditorEdit>(row.control)->SetDoubleWithEvent(std::stod(before) + 0.25);
            expected = std::to_string(std::stod(before) + 0.25);
            break;
        case TgPlotEditorCtl::StringEdit:
            form->Find<TgComponentEditorEdit>(row.control)->SetStringWithEvent("typed");
            expected = "typed";
            break;
        case TgPlotEditorCtl::CheckBox:
            form->Find<TgComponentEditorCheckBox>(row.control)->SetChecked(before == "0");
            expected = before == "0" ? "1" : "0";
            break;
        case TgPlotEditorCtl::ComboBox:
        case TgPlotEditorCtl::RadioGroup: {
            ASSERT_EQ(static_cast<int>(row.items.size()), gPlotEditorSettingEnumCount(row.control));
            const int next = (std::stoi(before) + 1) % static_cast<int>(row.items.size());
            if (row.kind == TgPlotEditorCtl::ComboBox)
                form->Find<TgComponentEditorComboBox>(row.control)->UserSelect(next);
            else
                form->Find<TgComponentEditorRadioGroup>(row.control)->SetItemIndex(next);
            expected = std::to_string(next);
            break;
        }
        case TgPlotEditorCtl::ColorPicker:
            form->Find<TgComponentEditorColorPicker>(row.control)->SetColor(0x0A0B0C);
            expected = std::to_string(0x0A0B0C);
            break;
        case TgPlotEditorCtl::FontPicker: {
            TFont font;
            font.SetName("Courier New");
            font.SetSize(21);
            form->Find<TgComponentEditorFontPicker>(row.control)->SetFont(&font);
            expected = "Courier New 21";
            break;
        }
        default:
            FAIL() << "unexpected kind";
        }
        TgPlotEditorSettings read;
        gReadPlotEditorControlPage(form->Form(), read);
        EXPECT_EQ(gPlotEditorSettingText(read, row.control), expected);
    }
}

TEST_F(PlotEditorPages, TheYAxisPageDiffersFromTheXAxisPageWhereItShould) {
    auto order = [](TgPlotEditorKind kind) {
        std::vector<std::string> props;
        for (const TgPlotEditorPageRow& row : gPlotEditorPageRows(kind))
            props.push_back(row.property);
        return props;
    };
    auto at = [](const std::vector<std::string>& v, const std::string& p) {
        return std::find(v.begin(), v.end(), p) - v.begin();
    };
    const auto x = order(TgPlotEditorKind::XAxis), y = order(TgPlotEditorKind::YAxis);
    EXPECT_LT(at(x, "DesiredStart"), at(x, "DesiredIncrement"));
    EXPECT_GT(at(y, "DesiredStart"), at(y, "DesiredIncrement"));
    EXPECT_LT(at(x, "LabelsFormatStyle"), at(x, "LabelsRotation"));
    EXPECT_GT(at(y, "LabelsFormatStyle"), at(y, "LabelsRotation"));
    EXPECT_EQ(std::count(x.begin(), x.end(), "CursorPrecision"), 1);
    ASSERT_EQ(std::count(y.begin(), y.end(), "CursorPrecision"), 2);
    EXPECT_EQ(std::find(y.rbegin(), y.rend(), "CursorPrecision") - y.rbegin(),
              static_cast<long>(y.size()) - 1 - at(y, "ScaleType") - 1)
        << "the second write follows the scale type";
    EXPECT_EQ(form->Find<TgUpDown>("XAxisLabelPrecisionEditUpDown")->Max(), 1000);
    EXPECT_EQ(form->Find<TgUpDown>("YAxisLabelPrecisionEditUpDown")->Max(), 20);
    EXPECT_EQ(form->Find<TgUpDown>("YAxisLegendPrecisionEditUpDown")->Max(), 20);
}

TEST_F(PlotEditorPages, CartesianChildReferenceNamesAnAxisOfTheOtherDirection) {
    // The form fills the child reference box of the X page with Y axis names; the name picked is
    // stored, whatever direction the axis has.
    PagesPlot plot(false);
    auto* xAxis = dynamic_cast<TgPlotAxis*>(plot.Object(TgPlotEditorKind::XAxis));
    auto* yAxis = dynamic_cast<TgPlotAxis*>(plot.Object(TgPlotEditorKind::YAxis));
    gFillPlotEditorPage(form->Form(), TgPlotEditorKind::XAxis, xAxis);
    auto* combo = form->Find<TgComponentEditorComboBox>("XAxisCartesianChildRefAxisNameComboBox");
    combo->Items()->Add("<None>");
    combo->Items()->Add(yAxis->Name());
    combo->UserSelect(1);
    gWritePlotEditorPage(form->Form(), TgPlotEditorKind::XAxis, xAxis);
    EXPECT_EQ(xAxis->CartesianChildRefAxisName(), yAxis->Name());
    // A stored name the list does not hold shows no selection.
    xAxis->SetCartesianChildRefAxisName("Gone");
    gFillPlotEditorPage(form->Form(), TgPlotEditorKind::XAxis, xAxis);
    EXPECT_EQ(combo->AsInteger(), -1);
}

TEST_F(PlotEditorPages, CopyDefaultCopiesTheSixLabelFormatControlsQuietly) {
    PagesPlot plot(false);
    auto* axis = dynamic_cast<TgPlotAxis*>(plot.Object(TgPlotEditorKind::XAxis));
    gFillPlotEditorPage(form->Form(), TgPlotEditorKind::XAxis, axis);
    form->Find<TgComponentEditorComboBox>("XAxisLabelFormatStyleComboBox")->SetAsInteger(3);
    form->Find<TgComponentEditorComboBox>("XAxisDateTimeFormatComboBox")->SetAsString("hh:nn");
    form->Find<TgComponentEditorComboBox>("XAxisLabelPrecisionStyleComboBox")->SetAsInteger(1);
    form->Find<TgComponentEditorEdit>("XAxisLabelPrecisionEdit")->SetAsInteger(3);
    form->Find<TgComponentEditorEdit>("XAxisLabelMinLengthEdit")->SetAsFloat(4.5);
    form->Find<TgComponentEditorCheckBox>("XAxisLabelMinLengthAutoAdjustCheckBox")->SetAsBoolean(true);
    const int before = changes;
    gCopyPlotEditorDefaultFormat(form->Form(), TgPlotEditorKind::XAxis, true);
    EXPECT_EQ(changes, before);
    EXPECT_EQ(form->Find<TgComponentEditorComboBox>("XAxisCursorFormatStyleComboBox")->AsInteger(), 3);
    EXPECT_EQ(form->Find<TgComponentEditorComboBox>("XAxisCursorDateTimeFormatComboBox")->AsString(),
              "hh:nn");
    EXPECT_EQ(form->Find<TgComponentEditorComboBox>("XAxisCursorPrecisionStyleComboBox")->AsInteger(), 1);
    EXPECT_EQ(form->Find<TgComponentEditorEdit>("XAxisCursorPrecisionEdit")->AsInteger(), 3);
    EXPECT_DOUBLE_EQ(form->Find<TgComponentEditorEdit>("XAxisCursorMinLengthEdit")->AsFloat(), 4.5);
    EXPECT_TRUE(form->Find<TgComponentEditorCheckBox>("XAxisCursorMinLengthAutoAdjustCheckBox")->AsBoolean());
    // The Legend sub-page was left alone.
    EXPECT_NE(form->Find<TgComponentEditorComboBox>("XAxisLegendFormatStyleComboBox")->AsInteger(), 3);
    gWritePlotEditorPage(form->Form(), TgPlotEditorKind::XAxis, axis);
    EXPECT_EQ(axis->CursorFormatStyle(), TgPlotTextFormat::iptfDateTime);
    EXPECT_EQ(axis->CursorPrecision(), 3);
}

TEST_F(PlotEditorPages, UpDownsBindTheirRanges) {
    struct Case {
        const char* edit;
        int min, max, increment;
    };
    const Case cases[] = {
        {"UpdateFrameRateEdit", 0, 100, 1},
        {"OuterMarginLeftEdit", 0, 0, 1},
        {"XAxisMinorCountEdit", 0, 100, 1},
        {"XAxisInnerMarginEdit", -1000, 1000, 1},
        {"LabelImageListIndexEdit", -1, 2, 1},
        {"LabelImageIndexEdit", -1, 255, 1},
        {"DataCursorPointerPenWidthEdit", 1, 50, 1},
        {"ChannelMarkersTurnOffLimitEdit", 0, 20000, 100},
        {"LegendWrapRowAutoCountMaxEdit", 1, 1000, 1},
        {"ChannelLayerEdit", 0, 0, 1},
    };
    for (const Case& c : cases) {
        auto* upDown = form->Find<TgUpDown>(std::string(c.edit) + "UpDown");
        ASSERT_NE(upDown, nullptr) << c.edit;
        EXPECT_EQ(upDown->Associate(), form->Find<TgComponentEditorEdit>(c.edit)) << c.edit;
        EXPECT_EQ(upDown->Min(), c.min) << c.edit;
        EXPECT_EQ(upDown->Max(), c.max) << c.edit;
        EXPECT_EQ(upDown->Increment(), c.increment) << c.edit;
    }
    // The limits bind the spin button only: a typed 150 is written as typed.
    PagesPlot plot(false);
    auto* axis = dynamic_cast<TgPlotAxis*>(plot.Object(TgPlotEditorKind::XAxis));
    gFillPlotEditorPage(form->Form(), TgPlotEditorKind::XAxis, axis);
    form->Find<TgComponentEditorEdit>("XAxisMinorCountEdit")->SetIntegerWithEvent(150);
    gWritePlotEditorPage(form->Form(), TgPlotEditorKind::XAxis, axis);
    EXPECT_EQ(axis->MinorCount(), 150);
    // A step of the spin button clamps: from 150 up to 100.
    auto* upDown = form->Find<TgUpDown>("XAxisMinorCountEditUpDown");
    const int before = changes;
    upDown->MouseDown(TMouseButton::mbLeft, {TShiftItem::ssLeft}, 7, 2);
    upDown->MouseUp(TMouseButton::mbLeft, {}, 7, 2);
    EXPECT_EQ(form->Find<TgComponentEditorEdit>("XAxisMinorCountEdit")->AsInteger(), 100);
    EXPECT_GT(changes, before) << "a step writes the edit as the user";
}

TEST_F(PlotEditorPages, NamedContainersExist) {
    for (const char* name :
         {"ControlFileIOTabSheet", "ChannelFileIOTabSheet", "ChannelStatsTabSheet", "XAxisLabelsPageControl",
          "YAxisLabelsPageControl", "DataViewGridLinesCustomPageControl", "XAxisCursorCopyDefaultButton",
          "XAxisLegendCopyDefaultButton", "YAxisCursorCopyDefaultButton", "YAxisLegendCopyDefaultButton"})
        EXPECT_NE(form->Form()->FindComponent(name), nullptr) << name;
    // Sub-pages in the order they first appear in the write-back order.
    auto* channel = form->Find<TPageControl>("ChannelPageControl");
    std::vector<std::string> captions;
    for (int i = 0; i < channel->PageCount(); ++i)
        captions.push_back(channel->Pages(i)->Caption());
    EXPECT_EQ(captions, (std::vector<std::string>{"General", "Trace", "Marker", "File I/O", "Fill", "Bar",
                                                  "High/Low", "Digital", "Stats"}));
}

// Every control of every sub-page lies inside its parent and overlaps none of its siblings; each
// sub-page is rendered to the test's temporary folder for a look.
TEST_F(PlotEditorPages, ControlsFitTheirSubPagesWithoutOverlap) {
    std::function<void(TWinControl*, const std::string&)> check = [&](TWinControl* parent,
                                                                      const std::string& where) {
        std::vector<TControl*> kids;
        for (int i = 0; i < parent->ControlCount(); ++i)
            kids.push_back(parent->Controls(i));
        const TRect client = parent->ClientRect();
        for (std::size_t i = 0; i < kids.size(); ++i) {
            TControl* a = kids[i];
            if (dynamic_cast<TTabSheet*>(a))
                continue;
            EXPECT_GE(a->Left(), 0) << where << " " << a->Name();
            EXPECT_GE(a->Top(), 0) << where << " " << a->Name();
            EXPECT_LE(a->Left() + a->Width(), client.Right) << where << " " << a->Name();
            EXPECT_LE(a->Top() + a->Height(), client.Bottom) << where << " " << a->Name();
            for (std::size_t j = i + 1; j < kids.size(); ++j) {
                TControl* b = kids[j];
                if (dynamic_cast<TTabSheet*>(b))
                    continue;
                const bool apart = a->Left() + a->Width() <= b->Left() ||
                                   b->Left() + b->Width() <= a->Left() ||
                                   a->Top() + a->Height() <= b->Top() || b->Top() + b->Height() <= a->Top();
                EXPECT_TRUE(apart) << where << ": " << a->Name() << " overlaps " << b->Name();
            }
            if (auto* w = dynamic_cast<TWinControl*>(a))
                check(w, where + "/" + a->Name());
        }
    };
    auto renderSheets = [&](TPageControl* pc, const std::string& file) {
        pc->SetVisible(true);
        for (int i = 0; i < pc->PageCount(); ++i) {
            pc->SetActivePageIndex(i);
            TTabSheet* sheet = pc->Pages(i);
            for (int k = 0; k < sheet->ControlCount(); ++k)
                if (auto* nested = dynamic_cast<TPageControl*>(sheet->Controls(k)))
                    for (int n = 0; n < nested->PageCount(); ++n) {
                        nested->SetActivePageIndex(n);
                        pc->RenderToImage().save(QString::fromStdString(::testing::TempDir() + "pages_" +
                                                                        file + "_" + std::to_string(i) + "_" +
                                                                        std::to_string(n) + ".png"));
                    }
            pc->RenderToImage().save(QString::fromStdString(::testing::TempDir() + "pages_" + file + "_" +
                                                            std::to_string(i) + ".png"));
            check(sheet, file + "/" + sheet->Caption());
        }
        pc->SetVisible(false);
    };
    for (TgPlotEditorKind kind : kObjectKinds) {
        TWinControl* container = form->Container(kind);
        if (auto* pc = dynamic_cast<TPageControl*>(container)) {
            renderSheets(pc, gPlotEditorKindPrefix(kind));
        } else {
            container->SetVisible(true);
            container->RenderToImage().save(
                QString::fromStdString(::testing::TempDir() + "pages_ToolBar.png"));
            check(container, "ToolBar");
            container->SetVisible(false);
        }
    }
    renderSheets(form->control, "Control");
}

} // namespace kvtest_pages
