#include "plot/gPlotMasterManager.h"

#include "plot/gPlotComponent.h"
#include "plot/gPlotLayoutManager.h"
#include "plot/gPlotTranslation.h"
#include "plot/gXYPlot.h"

#include "platform/gui/Forms.h"
#include "platform/gui/Menus.h"
#include "platform/gui/StdButtons.h"

#include <QGuiApplication>
#include <QScreen>

#include "tests/support/TempFiles.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <sstream>

namespace kvtest {
using namespace kv;

namespace {

// The editor as the master manager sees it: every call written down, page controls with a page count
// each, and name pickers that show a text.
class FakeEditor : public IgPlotEditorForm {
public:
    struct Shared {
        std::vector<std::string> log;
        int created = 0, destroyed = 0;
        // What each new editor does when shown modally: turn its page controls.
        std::map<TgPlotEditorPageControl, int> turnTo;
        std::function<void(FakeEditor&)> onDestroy;
        FakeEditor* current = nullptr;
        bool released = false;
    };

    explicit FakeEditor(Shared& shared) : s(shared) {
        ++s.created;
        s.current = this;
        for (int i = 0; i < kPlotEditorPageControlCount; ++i)
            pages[static_cast<TgPlotEditorPageControl>(i)] = {0, 3};
    }
    ~FakeEditor() override {
        if (s.onDestroy)
            s.onDestroy(*this);
        ++s.destroyed;
        if (s.current == this)
            s.current = nullptr;
    }

    void Note(const std::string& text) { s.log.push_back(text); }

    bool IsClosing() const override { return closing; }
    void SetMaster(TgPlotMasterManager* m) override { master = m; }
    void SetPlotComponent(TgPlotComponent* p) override { plot = p; }
    void SetOnClose(TNotifyEvent h) override { onClose = std::move(h); }
    void SetFormTranslationMethod(std::function<void(TComponent*)> m) override { translate = std::move(m); }
    void SetLayoutViewer(TgPlotMasterManager*, TgPlotLayoutManager* l, TgPlotTranslationManager* t) override {
        layoutViewerSet = l && t;
    }
    TCustomForm* Form() override { return form; }
    void ListBoxAppend(TgPlotEditorKind k, TgPlotObject* o) override { lists[k].push_back(o->Name()); }
    void ListBoxDelete(TgPlotEditorKind k, TgPlotObject* o) override { std::erase(lists[k], o->Name()); }
    void ListBoxSelect(TgPlotEditorKind k, int i) override { selected[k] = i; }
    void UpdateAll() override { Note("UpdateAll"); }
    void UpdateToolBarEdit() override { Note("UpdateToolBarEdit"); }
    void UpdateLegendEdit() override { Note("UpdateLegendEdit"); }
    void UpdateTableEdit() override { Note("UpdateTableEdit"); }
    void UpdateXAxesEdit() override { Note("UpdateXAxesEdit"); }
    void UpdateYAxesEdit() override { Note("UpdateYAxesEdit"); }
    void UpdateDataViewEdit() override { Note("UpdateDataViewEdit"); }
    void UpdateChannelEdit() override { Note("UpdateChannelEdit"); }
    void UpdateDataCursorEdit() override { Note("UpdateDataCursorEdit"); }
    void UpdateLimitEdit() override { Note("UpdateLimitEdit"); }
    void UpdateLabelEdit() override { Note("UpdateLabelEdit"); }
    std::string NamePickerText(TgPlotEditorNamePicker p) override { return pickers[p]; }
    void NamePickerDropDown(TgPlotEditorNamePicker p) override {
        Note("DropDown " + std::to_string(static_cast<int>(p)));
    }
    void SetNamePickerText(TgPlotEditorNamePicker p, const std::string& t) override { pickers[p] = t; }
    int PageCount(TgPlotEditorPageControl pc) override { return pages[pc].second; }
    int ActivePageIndex(TgPlotEditorPageControl pc) override { return pages[pc].first; }
    void SetActivePageIndex(TgPlotEditorPageControl pc, int i) override { pages[pc].first = i; }
    void ShowMainPage(const std::string& caption) override { mainPage = caption; }
    void SetChannelAddRemoveVisible(bool v) override { addRemoveVisible = v; }
    TgPlotEditorSettings& PlotSettings() override { return settings; }
    void SetFileFolders(const std::string& p, const std::string& d, const std::string& a) override {
        folders = p + "|" + d + "|" + a;
    }
    void SetLogControls(bool a, bool d, bool f) override { logControls = {a, d, f}; }
    int FormWidth() override { return 300; }
    int FormHeight() override { return 201; }
    void SetFormPosition(int l, int t) override { position = {l, t}; }
    void ShowModal() override {
        Note("ShowModal");
        for (auto [pc, i] : s.turnTo)
            pages[pc].first = i;
        if (onShow)
            onShow();
        if (onClose)
            onClose(nullptr);
    }
    void ShowStayOnTop() override { Note("ShowStayOnTop"); }
    void Release() override {
        s.released = true;
        delete this;
    }

    Shared& s;
    TgPlotMasterManager* master = nullptr;
    TgPlotComponent* plot = nullptr;
    TNotifyEvent onClose;
    std::function<void(TComponent*)> translate;
    std::function<void()> onShow;
    bool layoutViewerSet = false;
    bool closing = false;
    TCustomForm* form = nullptr;
    std::map<TgPlotEditorKind, std::vector<std::string>> lists;
    std::map<TgPlotEditorKind, int> selected;
    std::map<TgPlotEditorNamePicker, std::string> pickers;
    std::map<TgPlotEditorPageControl, std::pair<int, int>> pages;
    std::string mainPage, folders;
    bool addRemoveVisible = false;
    TgPlotEditorSettings settings;
    std::tuple<bool, bool, bool> logControls{};
    TPoint position{};
};

class MasterManager : public ::testing::Test {
protected:
    void SetUp() override {
        gSetPlotEditorFormFactory([this](TgPlotComponent*) { return std::make_unique<FakeEditor>(shared); });
    }
    void TearDown() override { gSetPlotEditorFormFactory(nullptr); }

    FakeEditor& Editor() { return *shared.current; }

    FakeEditor::Shared shared;
};

} // namespace

TEST_F(MasterManager, AFreshManagerHoldsEveryManagerAndThePlotStartsEmpty) {
    TgPlotComponent plot(nullptr);
    TgPlotMasterManager* m = plot.Master();
    EXPECT_TRUE(m->ToolBarManager() && m->LegendManager() && m->TableManager() && m->XAxisManager() &&
                m->YAxisManager() && m->ChannelManager() && m->DataViewManager() && m->DataCursorManager() &&
                m->LimitManager() && m->LabelManager() && m->AnnotationManager() && m->TranslationManager() &&
                m->LayoutManager() && m->PlotObjectManager());
    EXPECT_TRUE(m->UserCanEditObjects());
    EXPECT_FALSE(m->XYAxesReverse());
    EXPECT_EQ(plot.ChannelCount() + plot.XAxisCount() + plot.ToolBarCount() + plot.LabelCount(), 0);
    EXPECT_EQ(m->PlotObjectManager()->Count(), 2) << "only the data view's two level objects";
}

TEST_F(MasterManager, AddReturnsTheNewIndexAndFiresTheAddEventOncePerCall) {
    TgPlotComponent plot(nullptr);
    std::vector<int> added;
    plot.OnAddChannel = [&](TObject* sender, int index) {
        EXPECT_EQ(sender, &plot);
        added.push_back(index);
    };
    EXPECT_EQ(plot.Master()->AddChannel(), 0);
    EXPECT_EQ(plot.Master()->AddChannel(), 1);
    EXPECT_EQ(added, (std::vector<int>{0, 1}));
    EXPECT_TRUE(dynamic_cast<TgXYPlotChannel*>(plot.GetChannel(1)));
    EXPECT_EQ(plot.GetChannel(1)->Name(), "Channel 2");

    // Every kind's Add, through the plot.
    const std::vector<std::pair<std::function<int()>, std::function<int()>>> kinds = {
        {[&] { return plot.AddXAxis(); }, [&] { return plot.XAxisCount(); }},
        {[&] { return plot.AddYAxis(); }, [&] { return plot.YAxisCount(); }},
        {[&] { return plot.AddDataView(); }, [&] { return plot.DataViewCount(); }},
        {[&] { return plot.AddDataCursor(); }, [&] { return plot.DataCursorCount(); }},
        {[&] { return plot.AddLegend(); }, [&] { return plot.LegendCount(); }},
        {[&] { return plot.AddTable(); }, [&] { return plot.TableCount(); }},
        {[&] { return plot.AddToolBar(); }, [&] { return plot.ToolBarCount(); }},
        {[&] { return plot.AddLimit(); }, [&] { return plot.LimitCount(); }},
        {[&] { return plot.AddLabel(); }, [&] { return plot.LabelCount(); }},
        {[&] { return plot.AddAnnotation(); }, [&] { return plot.AnnotationCount(); }},
    };
    for (const auto& [add, count] : kinds) {
        EXPECT_EQ(add(), 0);
        EXPECT_EQ(add(), 1);
        EXPECT_EQ(count(), 2);
    }
}

TEST_F(MasterManager, UserCanEditObjectsReachesNewAndExistingObjects) {
    TgPlotComponent plot(nullptr);
    plot.AddChannel();
    plot.SetUserCanEditObjects(false);
    plot.AddXAxis();
    plot.AddLimit();
    plot.AddAnnotation();
    std::vector<TgPlotObject*> objects = {plot.GetChannel(0), plot.GetXAxis(0), plot.GetLimit(0),
                                          plot.GetAnnotation(0)};
    for (TgPlotObject* o : objects)
        EXPECT_FALSE(o->UserCanEdit()) << o->Name();
    plot.SetUserCanEditObjects(true);
    for (TgPlotObject* o : objects)
        EXPECT_TRUE(o->UserCanEdit()) << o->Name();
}

TEST_F(MasterManager, XYAxesReverseReachesOldAndNewObjectsAndRepaintsAtOnce) {
    std::vector<TObject*> invalidated;
    TgPlotComponent plot(nullptr);
    plot.AddXAxis();
    plot.AddChannel();
    plot.Master()->OnInvalidateNow = [&](TObject* sender) { invalidated.push_back(sender); };
    plot.SetXYAxesReverse(true);
    EXPECT_EQ(invalidated, (std::vector<TObject*>{plot.Master()}));
    plot.AddYAxis();
    plot.AddDataView();
    for (TgPlotObject* o :
         {static_cast<TgPlotObject*>(plot.GetXAxis(0)), static_cast<TgPlotObject*>(plot.GetChannel(0)),
          static_cast<TgPlotObject*>(plot.GetYAxis(0)), static_cast<TgPlotObject*>(plot.GetDataView(0))})
        EXPECT_TRUE(o->XYAxesReversed()) << o->Name();
    EXPECT_FALSE(plot.GetXAxis(0)->Horizontal()) << "the layout manager turned the X axis";
    EXPECT_TRUE(plot.GetYAxis(0)->Horizontal());
}

TEST_F(MasterManager, AChangeIsReportedWithTheMasterAsSender) {
    std::vector<TObject*> senders;
    TgPlotComponent plot(nullptr);
    plot.AddChannel();
    plot.Master()->OnChange = [&](TObject* sender) { senders.push_back(sender); };
    plot.GetChannel(0)->SetVisible(false);
    ASSERT_FALSE(senders.empty());
    for (TObject* s : senders)
        EXPECT_EQ(s, plot.Master());
}

TEST_F(MasterManager, RemovalsFromTheTranslationListStayThere) {
    TgPlotComponent plot(nullptr);
    plot.AddChannel();
    plot.AddTranslation("Edit...", "Bearbeiten...");
    EXPECT_EQ(plot.FindReplacement("Edit..."), "Bearbeiten...");
    int removals = 0;
    plot.OnRemoveChannel = [&](TObject*, int) { ++removals; };
    plot.DeleteTranslation(0);
    EXPECT_EQ(plot.TranslationCount(), 0);
    EXPECT_EQ(plot.ChannelCount(), 1);
    EXPECT_EQ(removals, 0);
    EXPECT_EQ(plot.FindReplacement("Edit..."), "Edit...");
}

TEST_F(MasterManager, WithoutAFactoryNoEditorOpens) {
    gSetPlotEditorFormFactory(nullptr);
    TgPlotComponent plot(nullptr);
    int opened = 0;
    plot.OnAfterOpenEditor = [&](TObject*) { ++opened; };
    plot.EditProperties();
    plot.Master()->CreateEditorForm();
    EXPECT_EQ(plot.Master()->EditorForm(), nullptr);
    EXPECT_EQ(opened, 0);
}

TEST_F(MasterManager, TheEditorFollowsInsertionsRemovalsAndRenames) {
    TgXYPlot plot(nullptr);
    plot.SetEditorFormStyle(TgPlotFormStyle::ipfsStayOnTop);
    plot.AddLimit();
    plot.EditProperties();
    FakeEditor& e = Editor();
    EXPECT_EQ(e.lists[TgPlotEditorKind::Channel], (std::vector<std::string>{"Channel 1"}));
    EXPECT_EQ(e.lists[TgPlotEditorKind::Label], (std::vector<std::string>{"Title"}));
    EXPECT_EQ(e.selected[TgPlotEditorKind::Table], -1) << "an empty list selects nothing";
    EXPECT_EQ(e.selected[TgPlotEditorKind::XAxis], 0);
    EXPECT_TRUE(e.layoutViewerSet);
    EXPECT_EQ(e.master, plot.Master());
    EXPECT_EQ(e.plot, &plot);

    e.s.log.clear();
    plot.AddChannel();
    EXPECT_EQ(e.lists[TgPlotEditorKind::Channel], (std::vector<std::string>{"Channel 1", "Channel 2"}));
    EXPECT_EQ(e.selected[TgPlotEditorKind::Channel], 1);
    EXPECT_NE(std::find(e.s.log.begin(), e.s.log.end(), "UpdateChannelEdit"), e.s.log.end());
    plot.AddAnnotation(); // no page for annotations
    plot.DeleteChannel(0);
    EXPECT_EQ(e.lists[TgPlotEditorKind::Channel], (std::vector<std::string>{"Channel 2"}));

    // Pickers that show the old name follow the rename; others keep theirs.
    e.pickers[TgPlotEditorNamePicker::ChannelXAxisName] = "x-axis 1";
    e.pickers[TgPlotEditorNamePicker::LimitXAxisName] = "Other";
    e.pickers[TgPlotEditorNamePicker::DataViewGridXAxisName] = "X-Axis 1";
    e.pickers[TgPlotEditorNamePicker::ChannelYAxisName] = "X-Axis 1";
    e.s.log.clear();
    plot.GetXAxis(0)->SetName("Time");
    EXPECT_EQ(e.pickers[TgPlotEditorNamePicker::ChannelXAxisName], "Time");
    EXPECT_EQ(e.pickers[TgPlotEditorNamePicker::LimitXAxisName], "Other");
    EXPECT_EQ(e.pickers[TgPlotEditorNamePicker::DataViewGridXAxisName], "Time");
    EXPECT_EQ(e.pickers[TgPlotEditorNamePicker::ChannelYAxisName], "X-Axis 1");
    EXPECT_EQ(e.s.log, (std::vector<std::string>{"DropDown 0", "DropDown 2"}));
    EXPECT_EQ(plot.GetChannel(0)->XAxisName(), "Time") << "the channel followed the rename too";
    plot.GetChannel(0)->SetName("Out");
    e.pickers[TgPlotEditorNamePicker::DataCursorChannelName] = "Out";
    plot.GetChannel(0)->SetName("Out 2");
    EXPECT_EQ(e.pickers[TgPlotEditorNamePicker::DataCursorChannelName], "Out 2");

    // A closing editor hears nothing more.
    e.closing = true;
    plot.AddChannel();
    EXPECT_EQ(e.lists[TgPlotEditorKind::Channel].size(), 1u);
}

TEST_F(MasterManager, EditingAnObjectTurnsToItsPageAndSelectsIt) {
    TgXYPlot plot(nullptr);
    plot.SetEditorFormStyle(TgPlotFormStyle::ipfsStayOnTop);
    plot.AddYAxis();
    struct Case {
        TgPlotObject* object;
        const char* page;
        TgPlotEditorKind kind;
        int index;
    };
    const Case cases[] = {
        {plot.GetYAxis(1), "Y-Axes", TgPlotEditorKind::YAxis, 1},
        {plot.GetXAxis(0), "X-Axes", TgPlotEditorKind::XAxis, 0},
        {plot.GetDataCursor(0), "Cursors", TgPlotEditorKind::DataCursor, 0},
        {plot.GetToolBar(0), "ToolBar", TgPlotEditorKind::ToolBar, 0},
        {plot.GetDataView(0), "Data View", TgPlotEditorKind::DataView, 0},
    };
    for (const Case& c : cases) {
        plot.Master()->EditObject(c.object);
        EXPECT_EQ(Editor().mainPage, c.page);
        EXPECT_EQ(Editor().selected[c.kind], c.index) << c.page;
    }
    Editor().mainPage = "kept";
    plot.Master()->EditObject(plot.GetLabel(0));
    EXPECT_EQ(Editor().mainPage, "kept") << "labels keep the current page";
    EXPECT_EQ(shared.created, 1) << "a stay-on-top editor is made once";
}

TEST_F(MasterManager, AModalEditorIsANewFormEachTimeOpeningOnTheSavedPages) {
    TgXYPlot plot(nullptr);
    std::vector<std::string> opened;
    plot.OnAfterOpenEditor = [&](TObject* sender) {
        opened.push_back(sender == plot.Master() ? "master" : "other");
        EXPECT_EQ(shared.log.back(), "UpdateAll") << "fired before the form shows";
    };
    shared.turnTo = {{TgPlotEditorPageControl::ChannelPageControl, 2},
                     {TgPlotEditorPageControl::DataViewGridLinesCustomPageControl, 1}};
    plot.EditProperties();
    EXPECT_EQ(plot.Master()->EditorForm(), nullptr);
    EXPECT_EQ(shared.created, 1);
    EXPECT_EQ(shared.destroyed, 1);
    EXPECT_EQ(plot.Master()->PageControlIndex(TgPlotEditorPageControl::ChannelPageControl), 2);

    // The next one opens where the last closed; an index past a control's pages leaves that control.
    shared.turnTo.clear();
    std::map<TgPlotEditorPageControl, int> seen;
    int before = shared.created;
    gSetPlotEditorFormFactory([&](TgPlotComponent*) {
        auto e = std::make_unique<FakeEditor>(shared);
        e->pages[TgPlotEditorPageControl::DataViewGridLinesCustomPageControl] = {0, 1};
        e->onShow = [&, raw = e.get()] {
            for (auto& [pc, v] : raw->pages)
                seen[pc] = v.first;
        };
        return e;
    });
    plot.EditProperties();
    EXPECT_EQ(shared.created, before + 1);
    EXPECT_EQ(seen[TgPlotEditorPageControl::ChannelPageControl], 2);
    EXPECT_EQ(seen[TgPlotEditorPageControl::DataViewGridLinesCustomPageControl], 0);
    EXPECT_EQ(opened, (std::vector<std::string>{"master", "master"}));

    // A failure while open still frees the form.
    gSetPlotEditorFormFactory([&](TgPlotComponent*) {
        auto e = std::make_unique<FakeEditor>(shared);
        e->onShow = [] { throw EKvError("broken page"); };
        return e;
    });
    EXPECT_THROW(plot.EditProperties(), EKvError);
    EXPECT_EQ(plot.Master()->EditorForm(), nullptr);
    EXPECT_EQ(shared.created, shared.destroyed);
}

TEST_F(MasterManager, AStayOnTopEditorLivesUntilItClosesAndIsReleasedThen) {
    TgXYPlot plot(nullptr);
    plot.SetEditorFormStyle(TgPlotFormStyle::ipfsStayOnTop);
    int closed = 0;
    plot.OnAfterCloseEditor = [&](TObject*) { ++closed; };
    plot.EditProperties();
    ASSERT_NE(plot.Master()->EditorForm(), nullptr);
    EXPECT_EQ(shared.log.back(), "ShowStayOnTop");
    Editor().onClose(nullptr);
    EXPECT_TRUE(shared.released);
    EXPECT_EQ(plot.Master()->EditorForm(), nullptr);
    EXPECT_EQ(closed, 1);
}

TEST_F(MasterManager, DestroyingThePlotFreesTheEditorBeforeAnyManager) {
    bool managersThere = false;
    int toolBarsThen = -1;
    shared.onDestroy = [&](FakeEditor& e) {
        managersThere = e.master->ToolBarManager() && e.master->LayoutManager() && e.master->ChannelManager();
        toolBarsThen = e.master->ToolBarManager() ? e.master->ToolBarManager()->Count() : -1;
    };
    {
        TgXYPlot plot(nullptr);
        plot.SetEditorFormStyle(TgPlotFormStyle::ipfsStayOnTop);
        plot.EditProperties();
    }
    EXPECT_EQ(shared.destroyed, 1);
    EXPECT_TRUE(managersThere);
    EXPECT_EQ(toolBarsThen, 1);
}

TEST_F(MasterManager, TheControlPageIsFilledFromThePlotAndWrittenBack) {
    TgXYPlot plot(nullptr);
    plot.SetEditorFormStyle(TgPlotFormStyle::ipfsStayOnTop);
    plot.SetUserCanAddRemoveChannels(true);
    plot.SetOuterMarginLeft(7);
    plot.SetTitleText("Gain");
    plot.GetLabel(0)->Font()->SetName("Verdana");
    plot.SetDefaultPropertyDirectory("/p");
    plot.SetDefaultDataDirectory("/d");
    plot.SetDefaultAnnotationDirectory("/a");
    TempDir dir; // activating the log creates the file
    plot.SetLogFileName(dir / "run.log");
    plot.EditProperties();
    FakeEditor& e = Editor();
    EXPECT_TRUE(e.addRemoveVisible);
    EXPECT_EQ(e.settings.OuterMarginLeft, 7);
    EXPECT_EQ(e.settings.TitleText, "Gain");
    EXPECT_EQ(e.settings.TitleFont->Name(), "Verdana");
    EXPECT_NE(e.settings.TitleFont.get(), plot.GetLabel(0)->Font()) << "copied, not shared";
    EXPECT_EQ(e.folders, "/p|/d|/a");
    EXPECT_EQ(e.logControls, std::make_tuple(true, false, true));
    int screenW = 0, screenH = 0;
    if (const QScreen* s = QGuiApplication::primaryScreen()) {
        screenW = s->geometry().width();
        screenH = s->geometry().height();
    }
    EXPECT_EQ(e.position.X, screenW / 2 - 150);
    EXPECT_EQ(e.position.Y, screenH / 2 - 100);

    e.settings.OuterMarginBottom = 9;
    e.settings.BorderStyle = TgBevelStyle::ibsNone;
    e.settings.TitleVisible = false;
    e.settings.HintsFont->SetHeight(-20);
    e.settings.PrintDocumentName = "Report";
    e.settings.AnnotationDefaultPenWidth = 3;
    plot.LogActivate(false);
    plot.Master()->BasicPropertyChanged();
    EXPECT_EQ(plot.OuterMarginBottom(), 9);
    EXPECT_EQ(plot.BorderStyle(), TgBevelStyle::ibsNone);
    EXPECT_FALSE(plot.TitleVisible());
    EXPECT_EQ(plot.HintsFont()->Height(), -20);
    EXPECT_EQ(plot.PrintDocumentName(), "Report");
    EXPECT_EQ(plot.AnnotationDefaultPenWidth(), 3);
    EXPECT_EQ(e.logControls, std::make_tuple(false, true, false)) << "logging now";

    e.closing = true;
    e.settings.OuterMarginBottom = 1;
    plot.Master()->BasicPropertyChanged();
    EXPECT_EQ(plot.OuterMarginBottom(), 9) << "a closing editor changes nothing";
}

TEST_F(MasterManager, FormsAreTranslatedThroughTheTranslationList) {
    TgXYPlot plot(nullptr);
    TForm form(nullptr);
    form.SetCaption("Properties");
    auto* button = new TButton(&form);
    button->SetCaption("Close");
    auto* menu = new TPopupMenu(&form);
    auto* item = new TMenuItem(menu);
    item->SetCaption("Close");
    menu->Items()->Add(item);

    plot.Master()->TranslateForm(&form);
    EXPECT_EQ(form.Caption(), "Properties") << "an empty list changes nothing";
    plot.AddTranslation("Properties", "Eigenschaften");
    plot.AddTranslation("Close", "Schliessen");
    plot.Master()->TranslateForm(&form);
    EXPECT_EQ(form.Caption(), "Eigenschaften");
    EXPECT_EQ(button->Caption(), "Schliessen");
    EXPECT_EQ(item->Caption(), "Schliessen");

    // The editor translates itself when made, unless it is closing.
    form.SetCaption("Properties");
    gSetPlotEditorFormFactory([&](TgPlotComponent*) {
        auto e = std::make_unique<FakeEditor>(shared);
        e->form = &form;
        return e;
    });
    plot.SetEditorFormStyle(TgPlotFormStyle::ipfsStayOnTop);
    plot.Master()->CreateEditorForm();
    EXPECT_EQ(form.Caption(), "Eigenschaften");
    form.SetCaption("Properties");
    Editor().closing = true;
    Editor().translate(&form);
    EXPECT_EQ(form.Caption(), "Properties");
}

} // namespace kvtest
