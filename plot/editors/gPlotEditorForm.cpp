#include "plot/editors/gPlotEditorForm.h"

#include "plot/editors/gOPCExplorerForm.h"
#include "plot/editors/gPlotEditorPages.h"
#include "plot/editors/gPlotLayoutViewer.h"
#include "plot/editors/gPlotPreviewPlot.h"
#include "plot/gPlotAxis.h"
#include "plot/gPlotChannel.h"
#include "plot/gPlotComponent.h"
#include "plot/gPlotLabel.h"
#include "plot/gPlotLayoutManager.h"
#include "plot/gPlotManagers.h"
#include "plot/gPlotTranslation.h"

#include "platform/core/Numbers.h"
#include "platform/gui/Menus.h"
#include "platform/gui/PageControl.h"
#include "platform/gui/StdPanels.h"

#include <exception>

namespace kv {

KV_REGISTER_CLASS(TgPlotEditorForm, TgCustomEditorForm, b) {
    (void)b;
}

namespace {

struct PefKindInfo {
    TgPlotEditorKind kind;
    const char* className;   // the kind's class, for the layout popup's Edit
    const char* pageCaption; // the main page it is on
};

constexpr PefKindInfo kPefKinds[] = {
    {TgPlotEditorKind::ToolBar, "TgPlotToolBar", "ToolBar"},
    {TgPlotEditorKind::Legend, "TgPlotLegend", "Legend"},
    {TgPlotEditorKind::Table, "TgPlotTable", "Tables"},
    {TgPlotEditorKind::XAxis, "TgPlotXAxis", "X-Axes"},
    {TgPlotEditorKind::YAxis, "TgPlotYAxis", "Y-Axes"},
    {TgPlotEditorKind::DataView, "TgPlotDataView", "Data View"},
    {TgPlotEditorKind::Channel, "TgPlotChannelCustom", "Channels"},
    {TgPlotEditorKind::DataCursor, "TgPlotDataCursor", "Cursors"},
    {TgPlotEditorKind::Limit, "TgPlotLimit", "Limits"},
    {TgPlotEditorKind::Label, "TgPlotLabel", "Labels"},
};

// The page controls whose active pages the master manager keeps, by the enumeration's order.
constexpr const char* kPefPageControls[kPlotEditorPageControlCount] = {"PageControl",
                                                                       "ControlPageControl",
                                                                       "ChannelPageControl",
                                                                       "XAxisPageControl",
                                                                       "XAxisLabelsPageControl",
                                                                       "YAxisPageControl",
                                                                       "YAxisLabelsPageControl",
                                                                       "DataCursorPageControl",
                                                                       "LimitPageControl",
                                                                       "LabelPageControl",
                                                                       "LegendPageControl",
                                                                       "TablePageControl",
                                                                       "DataViewPageControl",
                                                                       "DataViewGridLinesCustomPageControl"};

constexpr const char* kPefNamePickers[] = {"ChannelXAxisNameComboBox",      "LimitXAxisNameComboBox",
                                           "DataViewGridXAxisNameComboBox", "ChannelYAxisNameComboBox",
                                           "LimitYAxisNameComboBox",        "DataViewGridYAxisNameComboBox",
                                           "DataCursorChannelNameComboBox"};

constexpr const char* kPefStatsDisplays[] = {
    "ChannelStatsPointCountDisplay",    "ChannelStatsPointCapacityDisplay", "ChannelStatsMemoryDisplay",
    "ChannelStatsDataPointSizeDisplay", "ChannelStatsMaxDataPointsDisplay", "ChannelStatsXMinDisplay",
    "ChannelStatsXMaxDisplay",          "ChannelStatsXMeanDisplay",         "ChannelStatsYMinDisplay",
    "ChannelStatsYMaxDisplay",          "ChannelStatsYMeanDisplay"};
constexpr const char* kPefStatsCaptions[] = {
    "Point Count", "Point Capacity", "Memory Used", "Data Point Size", "Max Data Points", "X Min",
    "X Max",       "X Mean",         "Y Min",       "Y Max",           "Y Mean"};

// The geometry of the window: the main pages fill the client area; an object page has its list with
// "Add" and "Remove" at the left and its sub-pages at the right.
constexpr int kPefClientWidth = 576, kPefClientHeight = 272;
constexpr int kPefListWidth = 128, kPefButtonHeight = 23;

template <class T>
T* PefMake(TComponent* owner, TWinControl* parent, const std::string& name, int l, int t, int w, int h) {
    auto* c = new T(owner);
    c->SetName(name);
    c->SetParent(parent);
    c->SetBounds(l, t, w, h);
    return c;
}

TTabSheet* PefSheet(TComponent* owner, TPageControl* pc, const char* name, const char* caption) {
    auto* sheet = new TTabSheet(owner);
    sheet->SetName(name);
    sheet->SetPageControl(pc);
    sheet->SetCaption(caption);
    return sheet;
}

std::string PefGeneral(double value) {
    return FloatToStrF(value, TFloatFormat::ffGeneral, 15, 0);
}

} // namespace

// ---------------------------------------------------------------------------------------------------
// Building

TgPlotEditorForm::TgPlotEditorForm(TComponent* owner) : TgCustomEditorForm(owner) {
    SetName("gPlotEditorForm");
    SetCaption("Plot");
    SetClientWidth(kPefClientWidth);
    SetClientHeight(kPefClientHeight);
    FormCreate(this);
    BuildFrame();
    OnClose = [this](TObject* sender, TCloseAction& action) {
        if (FOnCloseHandler) {
            FCloseReported = true;
            FOnCloseHandler(this);
        } else {
            gCustomEditorFormClose(sender, action);
        }
    };
    // A stay-on-top editor shows what changed in the plot meanwhile when the user comes back to it.
    const TNotifyEvent activation = [this](TObject*) {
        if (FormStyle() == TFormStyle::fsStayOnTop && !FIsClosing && FMaster)
            UpdateAll();
    };
    OnActivate = activation;
    OnDeactivate = activation;
}

TgPlotEditorForm::~TgPlotEditorForm() {
    Destroying();
    if (FPlot && !FCloseReported)
        FPlot->DoAfterCloseEditor(this);
}

void TgPlotEditorForm::BuildFrame() {
    PageControl = PefMake<TgComponentEditorPageControl>(this, this, "PageControl", 0, 0, kPefClientWidth,
                                                        kPefClientHeight);
    GeneralTabSheet = PefSheet(this, PageControl, "GeneralTabSheet", "Control");
    LayoutTabSheet = PefSheet(this, PageControl, "LayoutTabSheet", "Layout");
    ChannelsTabSheet = PefSheet(this, PageControl, "ChannelsTabSheet", "Channels");
    DataCursorTabSheet = PefSheet(this, PageControl, "DataCursorTabSheet", "Cursors");
    LimitTabSheet = PefSheet(this, PageControl, "LimitTabSheet", "Limits");
    LabelsTabSheet = PefSheet(this, PageControl, "LabelsTabSheet", "Labels");
    XAxesTabSheet = PefSheet(this, PageControl, "XAxesTabSheet", "X-Axes");
    YAxesTabSheet = PefSheet(this, PageControl, "YAxesTabSheet", "Y-Axes");
    LegendTabSheet = PefSheet(this, PageControl, "LegendTabSheet", "Legend");
    TablesTabSheet = PefSheet(this, PageControl, "TablesTabSheet", "Tables");
    ToolBarTabSheet = PefSheet(this, PageControl, "ToolBarTabSheet", "ToolBar");
    DataViewTabSheet = PefSheet(this, PageControl, "DataViewTabSheet", "Data View");
    PageControl->SetActivePage(GeneralTabSheet);

    // The Control page.
    const TRect area = PageControl->DisplayRect();
    ControlPageControl = PefMake<TgComponentEditorPageControl>(this, GeneralTabSheet, "ControlPageControl", 2,
                                                               2, area.Width() - 4, area.Height() - 4);
    gBuildPlotEditorControlPage(
        this, ControlPageControl, [this](TObject* s) { GeneralChanged(s); },
        [this](TObject* s) { TitleChange(s); });
    BuildControlFileIO();

    BuildObjectPage(TgPlotEditorKind::Channel, ChannelsTabSheet, "ChannelListBox", "gChannelAddButton",
                    "ChannelRemoveButton");
    BuildObjectPage(TgPlotEditorKind::DataCursor, DataCursorTabSheet, "DataCursorListBox",
                    "gDataCursorAddButton", "DataCursorRemoveButton");
    BuildObjectPage(TgPlotEditorKind::Limit, LimitTabSheet, "LimitListBox", "gLimitAddButton",
                    "LimitRemoveButton");
    BuildObjectPage(TgPlotEditorKind::Label, LabelsTabSheet, "LabelListBox", "gLabelAddButton",
                    "LabelRemoveButton");
    BuildObjectPage(TgPlotEditorKind::XAxis, XAxesTabSheet, "XAxisListBox", "XAxesAddButton",
                    "XAxisRemoveButton");
    BuildObjectPage(TgPlotEditorKind::YAxis, YAxesTabSheet, "YAxisListBox", "YAxesAddButton",
                    "YAxisRemoveButton");
    BuildObjectPage(TgPlotEditorKind::Legend, LegendTabSheet, "LegendListBox", nullptr, nullptr);
    BuildObjectPage(TgPlotEditorKind::Table, TablesTabSheet, "TableListBox", "gTableAddButton",
                    "TableRemoveButton");
    BuildObjectPage(TgPlotEditorKind::ToolBar, ToolBarTabSheet, "ToolBarListBox", nullptr, nullptr);
    BuildObjectPage(TgPlotEditorKind::DataView, DataViewTabSheet, "DataViewListBox", nullptr, nullptr);
    BuildChannelFileIO();
    BuildChannelStats();
    BuildLayoutPage();
    BindNameComboBoxes();
    BindCopyDefaultButtons();
    // Hidden until the master manager learns that the plot lets users add and remove channels.
    SetChannelAddRemoveVisible(false);
}

void TgPlotEditorForm::BuildObjectPage(TgPlotEditorKind kind, TTabSheet* sheet, const char* listName,
                                       const char* addName, const char* removeName) {
    KindPage& page = Page(kind);
    page.sheet = sheet;
    const TRect area = PageControl->DisplayRect();
    const int width = area.Width(), height = area.Height();
    const std::string prefix = gPlotEditorKindPrefix(kind);
    const bool fixedObject = kind == TgPlotEditorKind::Legend || kind == TgPlotEditorKind::ToolBar ||
                             kind == TgPlotEditorKind::DataView;

    // Legend, toolbar and data view: the page edits the plot's first one; the list and its name edit
    // are kept out of sight.
    TWinControl* listParent = sheet;
    int listLeft = 4, listTop = 4, listHeight = height - 8 - kPefButtonHeight - 4;
    int editLeft = kPefListWidth + 8;
    if (fixedObject) {
        listParent = nullptr;
        editLeft = 2;
    }

    TWinControl* container = nullptr;
    const int cw = width - editLeft - 2, ch = height - 4;
    if (kind == TgPlotEditorKind::ToolBar) {
        ToolBarEditPanel = PefMake<TPanel>(this, sheet, "ToolBarEditPanel", editLeft, 2, cw, ch);
        ToolBarEditPanel->SetBevelOuter(TBevelCut::bvNone);
        container = ToolBarEditPanel;
    } else {
        container =
            PefMake<TgComponentEditorPageControl>(this, sheet, prefix + "PageControl", editLeft, 2, cw, ch);
    }
    gBuildPlotEditorPage(this, kind, container, [this, kind](TObject*) { PageChange(kind); });

    if (fixedObject) {
        TWinControl* holder = sheet;
        if (kind == TgPlotEditorKind::Legend || kind == TgPlotEditorKind::DataView) {
            auto* pc = static_cast<TPageControl*>(container);
            auto* hidden = PefSheet(this, pc, (prefix + "HiddenTabSheet").c_str(), "");
            hidden->SetTabVisible(false);
            holder = hidden;
        }
        auto* group =
            PefMake<TgComponentEditorGroupBox>(this, holder, prefix + "HiddenGroupBox", 4, 4, 200, 150);
        group->SetVisible(false);
        listParent = group;
        listLeft = 8;
        listTop = 16;
        listHeight = 80;
        auto* nameEdit = PefMake<TgComponentEditorEdit>(this, group, prefix + "NameEdit", 8, 100, 120, 21);
        nameEdit->OnUpdate = [this, kind](TObject*) { PageChange(kind); };
    }

    page.list = PefMake<TgComponentEditorListBox>(this, listParent, listName, listLeft, listTop,
                                                  kPefListWidth, listHeight);
    page.list->OnGetData = [this, kind](int index, bool& drawColorBox, TColor& color, std::string& text) {
        ListGetData(kind, index, drawColorBox, color, text);
    };
    page.list->OnClick = [this, kind](TObject*) { ListBoxClick(kind); };

    const int buttonTop = listTop + listHeight + 4, buttonWidth = (kPefListWidth - 4) / 2;
    if (addName) {
        page.add = PefMake<TgComponentEditorButton>(this, sheet, addName, 4, buttonTop, buttonWidth,
                                                    kPefButtonHeight);
        page.add->SetCaption("Add");
        page.add->OnClick = [this, kind](TObject*) { AddButtonClick(kind); };
    }
    if (removeName) {
        page.remove = PefMake<TgComponentEditorButton>(this, sheet, removeName, 8 + buttonWidth, buttonTop,
                                                       buttonWidth, kPefButtonHeight);
        page.remove->SetCaption("Remove");
        page.remove->SetEnabled(false);
        page.remove->OnClick = [this, kind](TObject*) { RemoveButtonClick(kind); };
    }
}

namespace {

struct PefPickerInfo {
    const char* name;
    const char* caption;
    const char* filter;
    const char* ext;
    bool open, mustExist;
};

constexpr const char* kPefConfigFilter = "Config (*.cfg)|*.cfg|All Files (*.*)|*.*";
constexpr const char* kPefDataFilter = "Data (*.dat)|*.dat|All Files (*.*)|*.*";
constexpr const char* kPefLogFilter = "Log (*.log)|*.log|All Files (*.*)|*.*";
constexpr const char* kPefAnnotationFilter = "Annotations (*.ano)|*.ano|All Files (*.*)|*.*";

TgComponentEditorButton* PefPicker(TComponent* owner, TWinControl* parent, const PefPickerInfo& s, int l,
                                   int t, int w, TNotifyEvent onChange) {
    if (s.open) {
        auto* p = PefMake<TgComponentEditorOpenPicker>(owner, parent, s.name, l, t, w, kPefButtonHeight);
        p->SetCaption(s.caption);
        p->SetFilter(s.filter);
        p->SetDefaultExt(s.ext);
        p->SetFileMustExist(s.mustExist);
        p->OnChange = std::move(onChange);
        return p;
    }
    auto* p = PefMake<TgComponentEditorSavePicker>(owner, parent, s.name, l, t, w, kPefButtonHeight);
    p->SetCaption(s.caption);
    p->SetFilter(s.filter);
    p->SetDefaultExt(s.ext);
    p->OnChange = std::move(onChange);
    return p;
}

TLabel* PefLabel(TComponent* owner, TWinControl* parent, const std::string& name, const std::string& caption,
                 int l, int t) {
    auto* label = PefMake<TLabel>(owner, parent, name, l, t, 100, 16);
    label->SetCaption(caption);
    return label;
}

} // namespace

void TgPlotEditorForm::BuildControlFileIO() {
    auto* sheet = Find<TWinControl>("ControlFileIOTabSheet");
    if (!sheet)
        return;
    const auto group = [this, sheet](const char* name, const char* caption, int l, int t, int w, int h) {
        auto* g = PefMake<TgComponentEditorGroupBox>(this, sheet, name, l, t, w, h);
        g->SetCaption(caption);
        return g;
    };
    const auto bind = [this](void (TgPlotEditorForm::*handler)(TObject*)) {
        return TNotifyEvent([this, handler](TObject* s) { (this->*handler)(s); });
    };
    auto* props = group("ControlFilePropertiesGroupBox", "Properties", 4, 4, 172, 50);
    PefPicker(this, props, {"ControlPropertiesOpenPicker", "Load", kPefConfigFilter, "cfg", true, true}, 8,
              18, 75, bind(&TgPlotEditorForm::ControlPropertiesOpenPickerChange));
    PefPicker(this, props, {"ControlPropertiesSavePicker", "Save", kPefConfigFilter, "cfg", false, false}, 88,
              18, 75, bind(&TgPlotEditorForm::ControlPropertiesSavePickerChange));
    auto* data = group("ControlFileDataGroupBox", "Data", 4, 58, 172, 50);
    PefPicker(this, data,
              {"ControlDataOpenPicker", "Load", "Data (*.dat)|*.dat|Log (*.log)|*.log|All Files (*.*)|*.*",
               "dat", true, false},
              8, 18, 75, bind(&TgPlotEditorForm::ControlDataOpenPickerChange));
    PefPicker(this, data, {"ControlDataSavePicker", "Save", kPefDataFilter, "dat", false, false}, 88, 18, 75,
              bind(&TgPlotEditorForm::ControlDataSavePickerChange));
    auto* annotations = group("ControlFileAnnotationGroupBox", "Annotations", 4, 112, 172, 50);
    PefPicker(this, annotations,
              {"ControlAnnotationOpenPicker", "Load", kPefAnnotationFilter, "dat", true, false}, 8, 18, 75,
              bind(&TgPlotEditorForm::ControlAnnotationOpenPickerChange));
    PefPicker(this, annotations,
              {"ControlAnnotationSavePicker", "Save", kPefAnnotationFilter, "dat", false, false}, 88, 18, 75,
              bind(&TgPlotEditorForm::ControlAnnotationSavePickerChange));

    auto* log = group("ControlFileLogGroupBox", "Log", 184, 4, 230, 104);
    PefLabel(this, log, "ControlLogFileNameLabel", "File Name", 8, 20);
    auto* name = PefMake<TgComponentEditorEdit>(this, log, "ControlLogFileNameEdit", 76, 16, 122, 21);
    name->OnUpdate = bind(&TgPlotEditorForm::GeneralChanged);
    PefPicker(this, log, {"ControlLogFileNamePicker", "...", kPefLogFilter, "log", true, false}, 200, 16, 21,
              bind(&TgPlotEditorForm::ControlLogFileNamePickerChange));
    PefLabel(this, log, "ControlLogBufferSizeLabel", "Buffer Size", 8, 46);
    auto* size = PefMake<TgComponentEditorEdit>(this, log, "ControlLogBufferSizeEdit", 76, 42, 60, 21);
    size->OnUpdate = bind(&TgPlotEditorForm::GeneralChanged);
    auto* updown = PefMake<TgUpDown>(this, log, "ControlLogBufferSizeUpDown", 136, 42, 15, 21);
    updown->SetMin(0);
    updown->SetMax(0);
    updown->SetAssociate(size);
    auto* activate =
        PefMake<TgComponentEditorButton>(this, log, "ControlLogActivateButton", 8, 72, 90, kPefButtonHeight);
    activate->SetCaption("Activate");
    activate->OnClick = bind(&TgPlotEditorForm::ControlLogActivateButtonClick);
    auto* deactivate = PefMake<TgComponentEditorButton>(this, log, "ControlLogDeactivateButton", 104, 72, 90,
                                                        kPefButtonHeight);
    deactivate->SetCaption("Deactivate");
    deactivate->OnClick = bind(&TgPlotEditorForm::ControlLogDeactivateButtonClick);
}

void TgPlotEditorForm::BuildChannelFileIO() {
    auto* sheet = Find<TWinControl>("ChannelFileIOTabSheet");
    if (!sheet)
        return;
    const auto group = [this, sheet](const char* name, const char* caption, int l, int t, int w, int h) {
        auto* g = PefMake<TgComponentEditorGroupBox>(this, sheet, name, l, t, w, h);
        g->SetCaption(caption);
        return g;
    };
    const auto bind = [this](void (TgPlotEditorForm::*handler)(TObject*)) {
        return TNotifyEvent([this, handler](TObject* s) { (this->*handler)(s); });
    };
    auto* props = group("ChannelFilePropertiesGroupBox", "Properties", 4, 4, 172, 50);
    PefPicker(this, props, {"ChannelPropertiesOpenPicker", "Load", kPefConfigFilter, "cfg", true, false}, 8,
              18, 75, bind(&TgPlotEditorForm::ChannelPropertiesOpenPickerChange));
    PefPicker(this, props, {"ChannelPropertiesSavePicker", "Save", kPefConfigFilter, "cfg", false, false}, 88,
              18, 75, bind(&TgPlotEditorForm::ChannelPropertiesSavePickerChange));
    auto* data = group("ChannelFileDataGroupBox", "Data", 4, 58, 172, 50);
    PefPicker(this, data, {"ChannelDataOpenPicker", "Load", kPefDataFilter, "dat", true, false}, 8, 18, 75,
              bind(&TgPlotEditorForm::ChannelDataOpenPickerChange));
    PefPicker(this, data, {"ChannelDataSavePicker", "Save", kPefDataFilter, "dat", false, false}, 88, 18, 75,
              bind(&TgPlotEditorForm::ChannelDataSavePickerChange));

    const auto write = [this](TObject*) { PageChange(TgPlotEditorKind::Channel); };
    auto* log = group("ChannelFileLogGroupBox", "Log", 184, 4, 230, 104);
    PefLabel(this, log, "ChannelLogFileNameLabel", "File Name", 8, 20);
    auto* name = PefMake<TgComponentEditorEdit>(this, log, "ChannelLogFileNameEdit", 76, 16, 122, 21);
    name->OnUpdate = write;
    PefPicker(this, log, {"ChannelLogFileNamePicker", "...", kPefLogFilter, "log", true, false}, 200, 16, 21,
              bind(&TgPlotEditorForm::ChannelLogFileNamePickerChange));
    PefLabel(this, log, "ChannelLogBufferSizeLabel", "Buffer Size", 8, 46);
    auto* size = PefMake<TgComponentEditorEdit>(this, log, "ChannelLogBufferSizeEdit", 76, 42, 60, 21);
    size->OnUpdate = write;
    auto* updown = PefMake<TgUpDown>(this, log, "ChannelLogBufferSizeUpDown", 136, 42, 15, 21);
    updown->SetMin(0);
    updown->SetMax(32767);
    updown->SetAssociate(size);
    auto* activate =
        PefMake<TgComponentEditorButton>(this, log, "ChannelLogActivateButton", 8, 72, 90, kPefButtonHeight);
    activate->SetCaption("Activate");
    activate->OnClick = bind(&TgPlotEditorForm::ChannelLogActivateButtonClick);
    auto* deactivate = PefMake<TgComponentEditorButton>(this, log, "ChannelLogDeactivateButton", 104, 72, 90,
                                                        kPefButtonHeight);
    deactivate->SetCaption("Deactivate");
    deactivate->OnClick = bind(&TgPlotEditorForm::ChannelLogDeactivateButtonClick);
}

void TgPlotEditorForm::BuildChannelStats() {
    auto* sheet = Find<TWinControl>("ChannelStatsTabSheet");
    if (!sheet)
        return;
    for (std::size_t i = 0; i < std::size(kPefStatsDisplays); ++i) {
        const int column = i < 5 ? 0 : 1, row = i < 5 ? static_cast<int>(i) : static_cast<int>(i) - 5;
        const int left = 8 + column * 196, top = 8 + row * 20;
        PefLabel(this, sheet, std::string(kPefStatsDisplays[i]) + "Caption", kPefStatsCaptions[i], left, top);
        auto* value = PefLabel(this, sheet, kPefStatsDisplays[i], "", left + (column ? 56 : 96), top);
        value->SetAutoSize(false);
        value->SetWidth(column ? 160 : 96);
    }
    auto* refresh = PefMake<TgComponentEditorButton>(this, sheet, "ChannelStatsRefreshButton", 8, 134, 75,
                                                     kPefButtonHeight);
    refresh->SetCaption("Refresh");
    refresh->OnClick = [this](TObject* s) { ChannelStatsRefreshButtonClick(s); };
}

void TgPlotEditorForm::BuildLayoutPage() {
    const TRect area = PageControl->DisplayRect();
    LayoutViewer = PefMake<TgPlotLayoutViewer>(this, LayoutTabSheet, "gPlotLayoutViewer", 2, 2,
                                               area.Width() - 4, area.Height() - 4);
    LayoutViewer->OnChange = [this](TObject* s) { gPlotLayoutViewerChange(s); };
    LayoutViewer->OnMouseDown = [this](TObject*, TMouseButton button, TShiftState, int x, int y) {
        gPlotLayoutViewerMouseDown(button, x, y);
    };
    LayoutPopupMenu = new TPopupMenu(this);
    LayoutPopupMenu->SetName("LayoutPopupMenu");
    LayoutPopupMenu->OnPopup = [this](TObject* s) { LayoutPopupMenuPopup(s); };
    const auto item = [this](const char* name, const char* caption,
                             void (TgPlotEditorForm::*handler)(TObject*)) {
        auto* i = new TMenuItem(this);
        i->SetName(name);
        i->SetCaption(caption);
        if (handler)
            i->OnClick = [this, handler](TObject* s) { (this->*handler)(s); };
        LayoutPopupMenu->Items()->Add(i);
        return i;
    };
    XYAxesReverseMenuItem =
        item("XYAxesReverseMenuItem", "XY-Axes Reverse", &TgPlotEditorForm::XYAxesReverseMenuItemClick);
    item("LayoutMenuLine1", "-", nullptr);
    AddXAxisMenuItem = item("AddXAxisMenuItem", "Add X-Axis", &TgPlotEditorForm::AddXAxisMenuItemClick);
    AddYAxisMenuItem = item("AddYAxisMenuItem", "Add Y-Axis", &TgPlotEditorForm::AddYAxisMenuItemClick);
    AddLabelMenuItem = item("AddLabelMenuItem", "Add Label", &TgPlotEditorForm::AddLabelMenuItemClick);
    item("LayoutMenuLine2", "-", nullptr);
    DeleteMenuItem = item("DeleteMenuItem", "Delete", &TgPlotEditorForm::DeleteMenuItemClick);
    VisibleMenuItem = item("VisibleMenuItem", "Visible", &TgPlotEditorForm::VisibleMenuItemClick);
    EditMenuItem = item("EditMenuItem", "Edit", &TgPlotEditorForm::EditMenuItemClick);
    LayoutViewer->SetPopupMenu(LayoutPopupMenu);
}

void TgPlotEditorForm::BindNameComboBoxes() {
    const auto bind = [this](const char* name, void (TgPlotEditorForm::*handler)(TObject*)) {
        if (auto* combo = Find<TComboBox>(name))
            combo->OnDropDown = [this, handler](TObject* s) { (this->*handler)(s); };
    };
    for (const char* name : {"ChannelXAxisNameComboBox", "LimitXAxisNameComboBox",
                             "XAxisAlignRefAxisNameComboBox", "YAxisCartesianChildRefAxisNameComboBox"})
        bind(name, &TgPlotEditorForm::XAxisNameComboBoxDropDown);
    for (const char* name : {"ChannelYAxisNameComboBox", "LimitYAxisNameComboBox",
                             "XAxisCartesianChildRefAxisNameComboBox", "YAxisAlignRefAxisNameComboBox"})
        bind(name, &TgPlotEditorForm::YAxisNameComboBoxDropDown);
    bind("DataViewGridXAxisNameComboBox", &TgPlotEditorForm::DataViewGridXAxisNameComboBoxDropDown);
    bind("DataViewGridYAxisNameComboBox", &TgPlotEditorForm::DataViewGridYAxisNameComboBoxDropDown);
    bind("DataCursorChannelNameComboBox", &TgPlotEditorForm::DataCursorChannelNameComboBoxDropDown);
}

void TgPlotEditorForm::BindCopyDefaultButtons() {
    const struct {
        const char* name;
        TgPlotEditorKind kind;
        bool toCursor;
    } buttons[] = {{"XAxisCursorCopyDefaultButton", TgPlotEditorKind::XAxis, true},
                   {"XAxisLegendCopyDefaultButton", TgPlotEditorKind::XAxis, false},
                   {"YAxisCursorCopyDefaultButton", TgPlotEditorKind::YAxis, true},
                   {"YAxisLegendCopyDefaultButton", TgPlotEditorKind::YAxis, false}};
    for (const auto& b : buttons)
        if (auto* button = Find<TButton>(b.name))
            button->OnClick = [this, kind = b.kind, toCursor = b.toCursor](TObject*) {
                CopyDefaultButtonClick(kind, toCursor);
            };
}

// ---------------------------------------------------------------------------------------------------
// What the master manager uses

void TgPlotEditorForm::SetPlotComponent(TgPlotComponent* plot) {
    FPlot = plot;
}

void TgPlotEditorForm::SetFormTranslationMethod(std::function<void(TComponent* form)> method) {
    FTranslationMethod = std::move(method);
    TFormTranslationMethod forPickers;
    if (FTranslationMethod)
        forPickers = [this](TCustomForm* form) {
            if (FTranslationMethod)
                FTranslationMethod(form);
        };
    for (int i = 0; i < ComponentCount(); ++i)
        if (auto* picker = dynamic_cast<TgComponentEditorValueConverterPicker*>(Components(i)))
            picker->SetTranslationMethod(forPickers);
}

void TgPlotEditorForm::SetLayoutViewer(TgPlotMasterManager* master, TgPlotLayoutManager* layoutManager,
                                       TgPlotTranslationManager* translationManager) {
    LayoutViewer->SetMaster(master);
    LayoutViewer->SetLayoutManager(layoutManager);
    LayoutViewer->SetTranslationManager(translationManager);
}

TgComponentEditorListBox* TgPlotEditorForm::ListBox(TgPlotEditorKind kind) const {
    return Page(kind).list;
}

TgPlotObject* TgPlotEditorForm::SelectedObject(TgPlotEditorKind kind) const {
    const TgComponentEditorListBox* list = Page(kind).list;
    const int index = list->ItemIndex();
    if (index < 0 || index >= list->Items()->Count())
        return nullptr;
    return dynamic_cast<TgPlotObject*>(list->Items()->Objects(index));
}

TgPlotChannelCustom* TgPlotEditorForm::SelectedChannel() const {
    return dynamic_cast<TgPlotChannelCustom*>(SelectedObject(TgPlotEditorKind::Channel));
}

void TgPlotEditorForm::ListBoxAppend(TgPlotEditorKind kind, TgPlotObject* object) {
    Page(kind).list->Items()->AddObject("", object);
}

void TgPlotEditorForm::ListBoxDelete(TgPlotEditorKind kind, TgPlotObject* object) {
    TgComponentEditorListBox* list = Page(kind).list;
    if (list->Items()->IndexOfObject(object) < 0)
        return;
    list->DeleteObjectIndex(object);
    // The page may still show the object that went while another one is now selected: the next
    // write-back would copy the gone object's values into that one.
    UpdateEdit(kind);
}

void TgPlotEditorForm::ListBoxSelect(TgPlotEditorKind kind, int index) {
    Page(kind).list->SetItemIndex(index);
}

std::string TgPlotEditorForm::NamePickerText(TgPlotEditorNamePicker picker) {
    if (auto* combo = Find<TgComponentEditorComboBox>(kPefNamePickers[static_cast<std::size_t>(picker)]))
        return combo->AsString();
    return {};
}

void TgPlotEditorForm::NamePickerDropDown(TgPlotEditorNamePicker picker) {
    switch (picker) {
    case TgPlotEditorNamePicker::ChannelXAxisName:
    case TgPlotEditorNamePicker::LimitXAxisName:
        FillNameComboBox(kPefNamePickers[static_cast<std::size_t>(picker)],
                         FMaster ? FMaster->XAxisManager() : nullptr, "<None>", nullptr);
        break;
    case TgPlotEditorNamePicker::ChannelYAxisName:
    case TgPlotEditorNamePicker::LimitYAxisName:
        FillNameComboBox(kPefNamePickers[static_cast<std::size_t>(picker)],
                         FMaster ? FMaster->YAxisManager() : nullptr, "<None>", nullptr);
        break;
    case TgPlotEditorNamePicker::DataViewGridXAxisName:
        DataViewGridXAxisNameComboBoxDropDown(nullptr);
        break;
    case TgPlotEditorNamePicker::DataViewGridYAxisName:
        DataViewGridYAxisNameComboBoxDropDown(nullptr);
        break;
    case TgPlotEditorNamePicker::DataCursorChannelName:
        DataCursorChannelNameComboBoxDropDown(nullptr);
        break;
    }
}

void TgPlotEditorForm::SetNamePickerText(TgPlotEditorNamePicker picker, const std::string& text) {
    if (auto* combo = Find<TgComponentEditorComboBox>(kPefNamePickers[static_cast<std::size_t>(picker)]))
        combo->SetAsInteger(combo->Items()->IndexOf(text));
}

int TgPlotEditorForm::PageCount(TgPlotEditorPageControl pageControl) {
    auto* pc = Find<TPageControl>(kPefPageControls[static_cast<std::size_t>(pageControl)]);
    return pc ? pc->PageCount() : 0;
}

int TgPlotEditorForm::ActivePageIndex(TgPlotEditorPageControl pageControl) {
    auto* pc = Find<TPageControl>(kPefPageControls[static_cast<std::size_t>(pageControl)]);
    return pc ? pc->ActivePageIndex() : 0;
}

void TgPlotEditorForm::SetActivePageIndex(TgPlotEditorPageControl pageControl, int index) {
    auto* pc = Find<TPageControl>(kPefPageControls[static_cast<std::size_t>(pageControl)]);
    // A hidden page (the channel's time-series parts of an XY plot) is not turned to.
    if (pc && index >= 0 && index < pc->PageCount() && pc->Pages(index)->TabVisible())
        pc->SetActivePageIndex(index);
}

void TgPlotEditorForm::ShowMainPage(const std::string& caption) {
    // By the untranslated caption: the tabs may show translations.
    for (const PefKindInfo& k : kPefKinds)
        if (caption == k.pageCaption && Page(k.kind).sheet) {
            PageControl->SetActivePage(Page(k.kind).sheet);
            return;
        }
    if (caption == "Control")
        PageControl->SetActivePage(GeneralTabSheet);
    else if (caption == "Layout")
        PageControl->SetActivePage(LayoutTabSheet);
}

void TgPlotEditorForm::SetChannelAddRemoveVisible(bool visible) {
    Page(TgPlotEditorKind::Channel).add->SetVisible(visible);
    Page(TgPlotEditorKind::Channel).remove->SetVisible(visible);
}

void TgPlotEditorForm::SetFileFolders(const std::string& properties, const std::string& data,
                                      const std::string& annotations) {
    const auto open = [this](const char* name, const std::string& dir) {
        if (auto* p = Find<TgComponentEditorOpenPicker>(name))
            p->SetDefaultDir(dir);
    };
    const auto save = [this](const char* name, const std::string& dir) {
        if (auto* p = Find<TgComponentEditorSavePicker>(name))
            p->SetDefaultDir(dir);
    };
    open("ControlPropertiesOpenPicker", properties);
    save("ControlPropertiesSavePicker", properties);
    open("ControlDataOpenPicker", data);
    save("ControlDataSavePicker", data);
    open("ControlAnnotationOpenPicker", annotations);
    save("ControlAnnotationSavePicker", annotations);
}

void TgPlotEditorForm::SetLogControls(bool activateEnabled, bool deactivateEnabled, bool fileNameEnabled) {
    if (auto* c = Find<TControl>("ControlLogActivateButton"))
        c->SetEnabled(activateEnabled);
    if (auto* c = Find<TControl>("ControlLogDeactivateButton"))
        c->SetEnabled(deactivateEnabled);
    if (auto* c = Find<TControl>("ControlLogFileNameEdit"))
        c->SetEnabled(fileNameEnabled);
    if (auto* c = Find<TControl>("ControlLogFileNamePicker"))
        c->SetEnabled(fileNameEnabled);
}

void TgPlotEditorForm::SetFormPosition(int left, int top) {
    SetBounds(left, top, Width(), Height());
}

void TgPlotEditorForm::FillControlPageForShow() {
    gFillPlotEditorControlPage(this, FSettings);
    if (auto* p = Find<TgComponentEditorOpenPicker>("ControlLogFileNamePicker"))
        p->SetFileName(FSettings.LogFileName);
}

void TgPlotEditorForm::ShowModal() {
    FillControlPageForShow();
    TCustomForm::ShowModal();
}

void TgPlotEditorForm::ShowStayOnTop() {
    FillControlPageForShow();
    SetFormStyle(TFormStyle::fsStayOnTop);
    Show();
}

void TgPlotEditorForm::Release() {
    // The plot may go before the queued free runs: the window must not be freed twice, nor reach a plot
    // that is gone.
    if (Owner())
        Owner()->RemoveComponent(this);
    LayoutViewer->SetLayoutManager(nullptr);
    LayoutViewer->SetMaster(nullptr);
    LayoutViewer->SetTranslationManager(nullptr);
    for (KindPage& page : FPages)
        page.list->Items()->Clear();
    FRightClickObject = nullptr;
    FMaster = nullptr;
    FPlot = nullptr;
    TCustomForm::Release();
}

// ---------------------------------------------------------------------------------------------------
// Filling

void TgPlotEditorForm::UpdateAll() {
    UpdateToolBarEdit();
    UpdateLegendEdit();
    UpdateXAxesEdit();
    UpdateYAxesEdit();
    UpdateChannelEdit();
    UpdateDataViewEdit();
    UpdateDataCursorEdit();
    UpdateLimitEdit();
    UpdateLabelEdit();
    UpdateTableEdit();
}

void TgPlotEditorForm::UpdateToolBarEdit() {
    UpdateEdit(TgPlotEditorKind::ToolBar);
}
void TgPlotEditorForm::UpdateLegendEdit() {
    UpdateEdit(TgPlotEditorKind::Legend);
}
void TgPlotEditorForm::UpdateTableEdit() {
    UpdateEdit(TgPlotEditorKind::Table);
}
void TgPlotEditorForm::UpdateXAxesEdit() {
    UpdateEdit(TgPlotEditorKind::XAxis);
}
void TgPlotEditorForm::UpdateYAxesEdit() {
    UpdateEdit(TgPlotEditorKind::YAxis);
}
void TgPlotEditorForm::UpdateDataViewEdit() {
    UpdateEdit(TgPlotEditorKind::DataView);
}
void TgPlotEditorForm::UpdateChannelEdit() {
    UpdateEdit(TgPlotEditorKind::Channel);
}
void TgPlotEditorForm::UpdateDataCursorEdit() {
    UpdateEdit(TgPlotEditorKind::DataCursor);
}
void TgPlotEditorForm::UpdateLimitEdit() {
    UpdateEdit(TgPlotEditorKind::Limit);
}
void TgPlotEditorForm::UpdateLabelEdit() {
    UpdateEdit(TgPlotEditorKind::Label);
}

void TgPlotEditorForm::UpdateEdit(TgPlotEditorKind kind) {
    TgPlotObjectManagerCustom* xAxes = FMaster ? FMaster->XAxisManager() : nullptr;
    TgPlotObjectManagerCustom* yAxes = FMaster ? FMaster->YAxisManager() : nullptr;
    switch (kind) {
    case TgPlotEditorKind::Channel:
        FillNameComboBox("ChannelXAxisNameComboBox", xAxes, "<None>", nullptr);
        FillNameComboBox("ChannelYAxisNameComboBox", yAxes, "<None>", nullptr);
        gShowPlotEditorTimeSeriesControls(this, !FMaster || FMaster->ChannelClass() != "TgXYPlotChannel");
        break;
    case TgPlotEditorKind::Limit:
        FillNameComboBox("LimitXAxisNameComboBox", xAxes, "<None>", nullptr);
        FillNameComboBox("LimitYAxisNameComboBox", yAxes, "<None>", nullptr);
        break;
    case TgPlotEditorKind::DataCursor:
        DataCursorChannelNameComboBoxDropDown(nullptr);
        break;
    case TgPlotEditorKind::DataView:
        DataViewGridXAxisNameComboBoxDropDown(nullptr);
        DataViewGridYAxisNameComboBoxDropDown(nullptr);
        break;
    case TgPlotEditorKind::XAxis:
        FillNameComboBox("XAxisAlignRefAxisNameComboBox", xAxes, "<None>", nullptr);
        FillNameComboBox("XAxisCartesianChildRefAxisNameComboBox", yAxes, "<None>", nullptr);
        break;
    case TgPlotEditorKind::YAxis:
        FillNameComboBox("YAxisAlignRefAxisNameComboBox", yAxes, "<None>", nullptr);
        FillNameComboBox("YAxisCartesianChildRefAxisNameComboBox", xAxes, "<None>", nullptr);
        break;
    default:
        break;
    }

    const std::string prefix = gPlotEditorKindPrefix(kind);
    KindPage& page = Page(kind);
    if (TgPlotObject* object = SelectedObject(kind)) {
        EnableEditControls(prefix);
        gFillPlotEditorPage(this, kind, object);
        if (kind == TgPlotEditorKind::Channel)
            SetChannelLogControls();
        // The title label stays while the window is open.
        if (kind == TgPlotEditorKind::Label)
            page.remove->SetEnabled(page.list->ItemIndex() != 0);
    } else {
        DisableEditControls(prefix);
    }
    page.list->Invalidate();
}

void TgPlotEditorForm::SetChannelLogControls() {
    TgPlotChannelCustom* channel = SelectedChannel();
    if (!channel)
        return;
    const bool logging = channel->LoggingActive();
    for (const char* name : {"ChannelLogFileNameEdit", "ChannelLogFileNamePicker"})
        if (auto* c = Find<TControl>(name))
            c->SetEnabled(!logging);
    if (auto* c = Find<TControl>("ChannelLogActivateButton"))
        c->SetEnabled(!logging);
    if (auto* c = Find<TControl>("ChannelLogDeactivateButton"))
        c->SetEnabled(logging);
    if (auto* p = Find<TgComponentEditorOpenPicker>("ChannelLogFileNamePicker"))
        p->SetFileName(channel->LogFileName());
}

void TgPlotEditorForm::DisableEditControls(const std::string& prefix) {
    SetEditControls(prefix, false);
}

void TgPlotEditorForm::EnableEditControls(const std::string& prefix) {
    SetEditControls(prefix, true);
}

void TgPlotEditorForm::SetEditControls(const std::string& prefix, bool enable) {
    const std::string head = UpperCase(prefix);
    for (int i = 0; i < ComponentCount(); ++i) {
        TComponent* c = Components(i);
        if (UpperCase(c->Name()).rfind(head, 0) != 0)
            continue;
        if (dynamic_cast<TPageControl*>(c) || dynamic_cast<TTabSheet*>(c) || dynamic_cast<TLabel*>(c))
            continue;
        if (auto* e = dynamic_cast<TgComponentEditorEdit*>(c))
            enable ? e->Enable() : e->Disable();
        else if (auto* cb = dynamic_cast<TgComponentEditorComboBox*>(c))
            enable ? cb->Enable() : cb->Disable();
        else if (auto* rg = dynamic_cast<TgComponentEditorRadioGroup*>(c))
            enable ? rg->Enable() : rg->Disable();
        else if (auto* ck = dynamic_cast<TgComponentEditorCheckBox*>(c))
            enable ? ck->Enable() : ck->Disable();
        else if (auto* cp = dynamic_cast<TgComponentEditorColorPicker*>(c))
            enable ? cp->Enable() : cp->Disable();
        else if (auto* fp = dynamic_cast<TgComponentEditorFontPicker*>(c))
            enable ? fp->Enable() : fp->Disable();
        else if (auto* ud = dynamic_cast<TgUpDown*>(c))
            enable ? ud->Enable() : ud->Disable();
        else if (auto* control = dynamic_cast<TControl*>(c))
            control->SetEnabled(enable);
    }
}

void TgPlotEditorForm::ListGetData(TgPlotEditorKind kind, int index, bool& drawColorBox, TColor& color,
                                   std::string& text) {
    const TgComponentEditorListBox* list = Page(kind).list;
    auto* object = index >= 0 && index < list->Items()->Count()
                       ? dynamic_cast<TgPlotObject*>(list->Items()->Objects(index))
                       : nullptr;
    drawColorBox = false;
    if (!object)
        return;
    text = object->Name();
    switch (kind) {
    case TgPlotEditorKind::Channel:
        if (auto* channel = dynamic_cast<TgPlotChannelCustom*>(object)) {
            drawColorBox = true;
            color = channel->Color();
        }
        break;
    case TgPlotEditorKind::DataCursor:
        if (auto* cursor = dynamic_cast<TgPlotDataCursor*>(object)) {
            drawColorBox = true;
            color = cursor->Color();
        }
        break;
    case TgPlotEditorKind::Limit:
        if (auto* limit = dynamic_cast<TgPlotLimit*>(object)) {
            drawColorBox = true;
            color = limit->Color();
        }
        break;
    case TgPlotEditorKind::XAxis:
    case TgPlotEditorKind::YAxis:
        if (auto* axis = dynamic_cast<TgPlotAxis*>(object)) {
            drawColorBox = true;
            color = axis->LabelsFont()->Color();
        }
        break;
    default:
        break;
    }
}

std::string TgPlotEditorForm::Translate(const std::string& text) const {
    if (FMaster && FMaster->TranslationManager())
        return FMaster->TranslationManager()->FindReplacement(text);
    return text;
}

void TgPlotEditorForm::FillNameComboBox(const std::string& comboName, TgPlotObjectManagerCustom* manager,
                                        const char* head, const char* tail) {
    auto* combo = Find<TgComponentEditorComboBox>(comboName);
    if (!combo || !manager)
        return;
    const std::string remembered = combo->AsString();
    // Refilling is no change of the user's.
    TNotifyEvent onChange = std::move(combo->OnChange);
    combo->OnChange = nullptr;
    try {
        TStrings* items = combo->Items();
        items->BeginUpdate();
        items->Clear();
        if (head)
            items->Add(Translate(head));
        for (int i = 0; i < manager->Count(); ++i)
            items->Add(manager->GetItem(i)->Name());
        if (tail)
            items->Add(Translate(tail));
        items->EndUpdate();
        int index = -1;
        for (int i = 0; i < items->Count(); ++i)
            if ((*items)[i] == remembered) {
                index = i;
                break;
            }
        combo->SetAsInteger(index);
    } catch (...) {
        combo->OnChange = std::move(onChange);
        throw;
    }
    combo->OnChange = std::move(onChange);
}

// ---------------------------------------------------------------------------------------------------
// Handlers

void TgPlotEditorForm::FormCreate(TObject*) {
    SetBorderStyle(TFormBorderStyle::bsDialog);
}

void TgPlotEditorForm::gCustomEditorFormClose(TObject*, TCloseAction&) {
    FIsClosing = true;
}

void TgPlotEditorForm::ListBoxClick(TgPlotEditorKind kind) {
    UpdateEdit(kind);
    if (kind == TgPlotEditorKind::Channel)
        ClearChannelStats();
}

void TgPlotEditorForm::AddButtonClick(TgPlotEditorKind kind) {
    if (!FMaster)
        return;
    switch (kind) {
    case TgPlotEditorKind::Channel:
        FMaster->AddChannel();
        break;
    case TgPlotEditorKind::DataCursor:
        FMaster->AddDataCursor();
        break;
    case TgPlotEditorKind::Limit:
        FMaster->AddLimit();
        break;
    case TgPlotEditorKind::Label:
        FMaster->AddLabel();
        break;
    case TgPlotEditorKind::XAxis:
        FMaster->AddXAxis();
        break;
    case TgPlotEditorKind::YAxis:
        FMaster->AddYAxis();
        break;
    case TgPlotEditorKind::Table:
        FMaster->AddTable();
        break;
    default:
        return;
    }
    Page(kind).list->SelectLast();
    UpdateEdit(kind);
    if (kind == TgPlotEditorKind::Channel)
        ClearChannelStats();
}

void TgPlotEditorForm::RemoveButtonClick(TgPlotEditorKind kind) {
    TgComponentEditorListBox* list = Page(kind).list;
    if (list->ItemIndex() < 0 || (kind == TgPlotEditorKind::Label && list->ItemIndex() == 0))
        return;
    list->DeleteSelectedObject();
    UpdateEdit(kind);
    // A channel may have named the axis.
    if (kind == TgPlotEditorKind::XAxis || kind == TgPlotEditorKind::YAxis)
        UpdateChannelEdit();
    if (kind == TgPlotEditorKind::Channel)
        ClearChannelStats();
}

void TgPlotEditorForm::PageChange(TgPlotEditorKind kind) {
    TgPlotObject* object = SelectedObject(kind);
    if (!object)
        return;
    gWritePlotEditorPage(this, kind, object);
    switch (kind) {
    case TgPlotEditorKind::Channel:
        if (auto* p = Find<TgComponentEditorOpenPicker>("ChannelLogFileNamePicker"))
            if (auto* channel = dynamic_cast<TgPlotChannelCustom*>(object))
                p->SetFileName(channel->LogFileName());
        UpdateAll();
        break;
    case TgPlotEditorKind::ToolBar:
    case TgPlotEditorKind::Legend:
    case TgPlotEditorKind::XAxis:
    case TgPlotEditorKind::YAxis:
    case TgPlotEditorKind::DataView:
        UpdateAll();
        break;
    case TgPlotEditorKind::Label:
        UpdateEdit(kind);
        // Both views of the title agree.
        if (Page(kind).list->ItemIndex() == 0)
            gFillPlotEditorTitle(this, dynamic_cast<TgPlotLabel*>(object));
        break;
    case TgPlotEditorKind::DataCursor:
    case TgPlotEditorKind::Limit:
        UpdateEdit(kind);
        break;
    case TgPlotEditorKind::Table:
        break;
    }
}

void TgPlotEditorForm::TitleChange(TObject*) {
    TgPlotLabelManager* labels = FMaster ? FMaster->LabelManager() : nullptr;
    if (!labels || labels->Count() == 0)
        return;
    gWritePlotEditorTitle(this, dynamic_cast<TgPlotLabel*>(labels->GetItem(0)));
    UpdateLabelEdit();
}

void TgPlotEditorForm::GeneralChanged(TObject*) {
    if (!FMaster)
        return;
    gReadPlotEditorControlPage(this, FSettings);
    FMaster->BasicPropertyChanged();
    if (auto* p = Find<TgComponentEditorOpenPicker>("ControlLogFileNamePicker"))
        if (auto* e = Find<TgComponentEditorEdit>("ControlLogFileNameEdit"))
            p->SetFileName(e->AsString());
}

void TgPlotEditorForm::XAxisNameComboBoxDropDown(TObject* sender) {
    if (auto* combo = dynamic_cast<TComponent*>(sender))
        FillNameComboBox(combo->Name(), FMaster ? FMaster->XAxisManager() : nullptr, "<None>", nullptr);
}

void TgPlotEditorForm::YAxisNameComboBoxDropDown(TObject* sender) {
    if (auto* combo = dynamic_cast<TComponent*>(sender))
        FillNameComboBox(combo->Name(), FMaster ? FMaster->YAxisManager() : nullptr, "<None>", nullptr);
}

void TgPlotEditorForm::DataViewGridXAxisNameComboBoxDropDown(TObject*) {
    FillNameComboBox("DataViewGridXAxisNameComboBox", FMaster ? FMaster->XAxisManager() : nullptr, "<None>",
                     "<All>");
}

void TgPlotEditorForm::DataViewGridYAxisNameComboBoxDropDown(TObject*) {
    FillNameComboBox("DataViewGridYAxisNameComboBox", FMaster ? FMaster->YAxisManager() : nullptr, "<None>",
                     "<All>");
}

void TgPlotEditorForm::ChannelNameComboBoxDropDown(TObject* sender) {
    if (auto* combo = dynamic_cast<TComponent*>(sender))
        FillNameComboBox(combo->Name(), FMaster ? FMaster->ChannelManager() : nullptr, "<None>", nullptr);
}

void TgPlotEditorForm::DataCursorChannelNameComboBoxDropDown(TObject*) {
    FillNameComboBox("DataCursorChannelNameComboBox", FMaster ? FMaster->ChannelManager() : nullptr, "<All>",
                     nullptr);
}

// --- files and logs

void TgPlotEditorForm::RunAction(const std::function<void()>& action) {
    try {
        action();
    } catch (const std::exception& e) {
        Application->HandleException(&e);
    }
}

namespace {
std::string PefOpenName(TObject* sender) {
    auto* p = dynamic_cast<TgComponentEditorOpenPicker*>(sender);
    return p ? p->FileName() : std::string();
}
std::string PefSaveName(TObject* sender) {
    auto* p = dynamic_cast<TgComponentEditorSavePicker*>(sender);
    return p ? p->FileName() : std::string();
}
// The plot's own settings as the Control page shows them (what the master manager copies when it
// opens the window), so that the page can show a plot that changed under it.
void PefReadPlotSettings(TgPlotComponent& plot, TgPlotEditorSettings& s) {
    s.AutoFrameRate = plot.AutoFrameRate();
    s.UpdateFrameRate = plot.UpdateFrameRate();
    s.ClipAnnotationsToAxes = plot.ClipAnnotationsToAxes();
    s.BorderStyle = plot.BorderStyle();
    s.CopyToClipBoardFormat = plot.CopyToClipBoardFormat();
    s.DataFileColumnSeparator = plot.DataFileColumnSeparator();
    s.BackGroundColor = plot.BackGroundColor();
    s.BackGroundGradientDirection = plot.BackGroundGradientDirection();
    s.BackGroundGradientEnabled = plot.BackGroundGradientEnabled();
    s.BackGroundGradientStartColor = plot.BackGroundGradientStartColor();
    s.BackGroundGradientStopColor = plot.BackGroundGradientStopColor();
    s.OuterMarginLeft = plot.OuterMarginLeft();
    s.OuterMarginTop = plot.OuterMarginTop();
    s.OuterMarginRight = plot.OuterMarginRight();
    s.OuterMarginBottom = plot.OuterMarginBottom();
    s.TitleVisible = plot.TitleVisible();
    s.TitleMargin = plot.TitleMargin();
    s.TitleText = plot.TitleText();
    s.TitleFont->Assign(plot.TitleFont());
    s.LogFileName = plot.LogFileName();
    s.LogBufferSize = plot.LogBufferSize();
    s.HintsShow = plot.HintsShow();
    s.HintsPause = plot.HintsPause();
    s.HintsHidePause = plot.HintsHidePause();
    s.HintsFont->Assign(plot.HintsFont());
    s.AnnotationDefaultPenColor = plot.AnnotationDefaultPenColor();
    s.AnnotationDefaultPenStyle = plot.AnnotationDefaultPenStlye();
    s.AnnotationDefaultPenWidth = plot.AnnotationDefaultPenWidth();
    s.AnnotationDefaultBrushColor = plot.AnnotationDefaultBrushColor();
    s.AnnotationDefaultBrushStyle = plot.AnnotationDefaultBrushStlye();
    s.AnnotationDefaultReference = plot.AnnotationDefaultReference();
    s.AnnotationDefaultReferencePositionX = plot.AnnotationDefaultReferencePositionX();
    s.AnnotationDefaultReferencePositionY = plot.AnnotationDefaultReferencePositionY();
    s.AnnotationDefaultReferenceSizeX = plot.AnnotationDefaultReferenceSizeX();
    s.AnnotationDefaultReferenceSizeY = plot.AnnotationDefaultReferenceSizeY();
    s.AnnotationDefaultFont->Assign(plot.AnnotationDefaultFont());
    s.PrintShowDialog = plot.PrintShowDialog();
    s.PrintOrientation = plot.PrintOrientation();
    s.PrintMarginLeft = plot.PrintMarginLeft();
    s.PrintMarginTop = plot.PrintMarginTop();
    s.PrintMarginRight = plot.PrintMarginRight();
    s.PrintMarginBottom = plot.PrintMarginBottom();
    s.PrintDocumentName = plot.PrintDocumentName();
}

} // namespace

void TgPlotEditorForm::ControlPropertiesOpenPickerChange(TObject* sender) {
    RunAction([&] {
        if (!FPlot)
            return;
        FPlot->LoadPropertiesFromFile(PefOpenName(sender));
        UpdateAll();
        // The Control page shows what was loaded, so that its next write-back does not undo the load.
        PefReadPlotSettings(*FPlot, FSettings);
        gFillPlotEditorControlPage(this, FSettings);
    });
}

void TgPlotEditorForm::ControlPropertiesSavePickerChange(TObject* sender) {
    RunAction([&] {
        if (FPlot)
            FPlot->SavePropertiesToFile(PefSaveName(sender));
    });
}

void TgPlotEditorForm::ControlDataOpenPickerChange(TObject* sender) {
    RunAction([&] {
        if (!FPlot)
            return;
        FPlot->ClearAllData();
        FPlot->LoadDataFromFile(PefOpenName(sender));
    });
}

void TgPlotEditorForm::ControlDataSavePickerChange(TObject* sender) {
    RunAction([&] {
        if (FPlot)
            FPlot->SaveDataToFile(PefSaveName(sender));
    });
}

void TgPlotEditorForm::ControlAnnotationOpenPickerChange(TObject* sender) {
    RunAction([&] {
        if (FPlot)
            FPlot->LoadAnnotationsFromFile(PefOpenName(sender));
    });
}

void TgPlotEditorForm::ControlAnnotationSavePickerChange(TObject* sender) {
    RunAction([&] {
        if (FPlot)
            FPlot->SaveAnnotationsToFile(PefSaveName(sender));
    });
}

void TgPlotEditorForm::ControlLogFileNamePickerChange(TObject* sender) {
    if (auto* e = Find<TgComponentEditorEdit>("ControlLogFileNameEdit"))
        e->SetAsString(PefOpenName(sender));
    GeneralChanged(sender);
}

void TgPlotEditorForm::ControlLogActivateButtonClick(TObject* sender) {
    RunAction([&] {
        if (!FPlot)
            return;
        FPlot->LogActivate(false);
        GeneralChanged(sender);
    });
}

void TgPlotEditorForm::ControlLogDeactivateButtonClick(TObject* sender) {
    RunAction([&] {
        if (!FPlot)
            return;
        FPlot->LogDeactivate();
        GeneralChanged(sender);
    });
}

void TgPlotEditorForm::ChannelPropertiesOpenPickerChange(TObject* sender) {
    RunAction([&] {
        TgPlotChannelCustom* channel = SelectedChannel();
        if (!channel)
            return;
        channel->LoadPropertiesFromFile(PefOpenName(sender));
        // The page shows what was loaded, so that the next write-back does not undo the load.
        UpdateChannelEdit();
    });
}

void TgPlotEditorForm::ChannelPropertiesSavePickerChange(TObject* sender) {
    RunAction([&] {
        if (TgPlotChannelCustom* channel = SelectedChannel())
            channel->SavePropertiesToFile(PefSaveName(sender));
    });
}

void TgPlotEditorForm::ChannelDataOpenPickerChange(TObject* sender) {
    RunAction([&] {
        if (TgPlotChannelCustom* channel = SelectedChannel())
            channel->LoadDataFromFile(PefOpenName(sender), true);
    });
}

void TgPlotEditorForm::ChannelDataSavePickerChange(TObject* sender) {
    RunAction([&] {
        if (TgPlotChannelCustom* channel = SelectedChannel())
            channel->SaveDataToFile(PefSaveName(sender));
    });
}

void TgPlotEditorForm::ChannelLogFileNamePickerChange(TObject* sender) {
    if (auto* e = Find<TgComponentEditorEdit>("ChannelLogFileNameEdit"))
        e->SetAsString(PefOpenName(sender));
    PageChange(TgPlotEditorKind::Channel);
}

void TgPlotEditorForm::ChannelLogActivateButtonClick(TObject*) {
    RunAction([&] {
        TgPlotChannelCustom* channel = SelectedChannel();
        if (!channel)
            return;
        channel->LogActivate(false);
        UpdateChannelEdit();
    });
}

void TgPlotEditorForm::ChannelLogDeactivateButtonClick(TObject*) {
    RunAction([&] {
        TgPlotChannelCustom* channel = SelectedChannel();
        if (!channel)
            return;
        channel->LogDeactivate();
        UpdateChannelEdit();
    });
}

// --- statistics

void TgPlotEditorForm::ClearChannelStats() {
    const std::string text = SelectedChannel() ? "Click Refresh" : "";
    for (const char* name : kPefStatsDisplays)
        if (auto* label = Find<TLabel>(name))
            label->SetCaption(text);
}

void TgPlotEditorForm::RefreshChannelStats() {
    TgPlotChannelCustom* channel = SelectedChannel();
    if (!channel)
        return;
    const auto show = [this](const char* name, const std::string& text) {
        if (auto* label = Find<TLabel>(name))
            label->SetCaption(text);
    };
    show("ChannelStatsPointCountDisplay", FormatInt(channel->Count()));
    show("ChannelStatsPointCapacityDisplay", FormatInt(channel->Capacity()));
    show("ChannelStatsMemoryDisplay", FormatInt(channel->MemoryUsed()) + " Bytes");
    show("ChannelStatsDataPointSizeDisplay", FormatInt(channel->DataPointSize()) + " Bytes");
    show("ChannelStatsMaxDataPointsDisplay", FormatInt(channel->MaxDataPoints()));
    channel->ReCalcRunningMinMaxMean();
    // Without points there is no minimum, maximum or mean to show (only the empty-range markers).
    const bool any = channel->Count() > 0;
    const auto value = [any](TgPlotAxis* axis, double v) {
        if (!any)
            return std::string();
        return axis ? axis->GetLabelText(v) : PefGeneral(v);
    };
    TgPlotAxis* x = channel->XAxis();
    show("ChannelStatsXMinDisplay", value(x, channel->RunningXMin()));
    show("ChannelStatsXMaxDisplay", value(x, channel->RunningXMax()));
    show("ChannelStatsXMeanDisplay", value(x, channel->RunningXMean()));
    TgPlotAxis* y = channel->YAxis();
    show("ChannelStatsYMinDisplay", value(y, channel->RunningYMin()));
    show("ChannelStatsYMaxDisplay", value(y, channel->RunningYMax()));
    show("ChannelStatsYMeanDisplay", value(y, channel->RunningYMean()));
}

void TgPlotEditorForm::ChannelStatsRefreshButtonClick(TObject*) {
    RefreshChannelStats();
}

void TgPlotEditorForm::CopyDefaultButtonClick(TgPlotEditorKind kind, bool toCursor) {
    gCopyPlotEditorDefaultFormat(this, kind, toCursor);
    PageChange(kind);
}

// --- layout page

void TgPlotEditorForm::gPlotLayoutViewerChange(TObject*) {
    UpdateAll();
}

void TgPlotEditorForm::gPlotLayoutViewerMouseDown(TMouseButton, int x, int y) {
    FRightClickObject = LayoutViewer->GetMouseOverBlock(x, y);
}

namespace {

bool PefIsTitleLabel(TgPlotMasterManager* master, TgPlotObject* object) {
    TgPlotLabelManager* labels = master ? master->LabelManager() : nullptr;
    return labels && labels->Count() > 0 && labels->GetItem(0) == object;
}

bool PefCanDelete(TgPlotMasterManager* master, TgPlotObject* object) {
    if (!object)
        return false;
    if (gObjectIsOfClass(object, "TgPlotAxis") || gObjectIsOfClass(object, "TgPlotTable"))
        return true;
    return gObjectIsOfClass(object, "TgPlotLabel") && !PefIsTitleLabel(master, object);
}

} // namespace

void TgPlotEditorForm::LayoutPopupMenuPopup(TObject*) {
    // The object may have gone since the press.
    if (FRightClickObject && (!FMaster || FMaster->PlotObjectManager()->GetIndex(FRightClickObject) < 0))
        FRightClickObject = nullptr;
    TgPlotLayoutObject* object = FRightClickObject;
    XYAxesReverseMenuItem->SetChecked(FMaster && FMaster->XYAxesReverse());
    DeleteMenuItem->SetEnabled(PefCanDelete(FMaster, object));
    VisibleMenuItem->SetEnabled(object && !gObjectIsOfClass(object, "TgPlotDataView"));
    VisibleMenuItem->SetChecked(object && object->Visible());
    EditMenuItem->SetEnabled(object != nullptr);
}

void TgPlotEditorForm::XYAxesReverseMenuItemClick(TObject*) {
    if (FMaster)
        FMaster->SetXYAxesReverse(!FMaster->XYAxesReverse());
    LayoutViewer->Invalidate();
}

void TgPlotEditorForm::AddXAxisMenuItemClick(TObject*) {
    if (FMaster)
        FMaster->AddXAxis();
    LayoutViewer->Invalidate();
}

void TgPlotEditorForm::AddYAxisMenuItemClick(TObject*) {
    if (FMaster)
        FMaster->AddYAxis();
    LayoutViewer->Invalidate();
}

void TgPlotEditorForm::AddLabelMenuItemClick(TObject*) {
    if (FMaster)
        FMaster->AddLabel();
    LayoutViewer->Invalidate();
}

void TgPlotEditorForm::DeleteMenuItemClick(TObject*) {
    TgPlotLayoutObject* object = FRightClickObject;
    if (!PefCanDelete(FMaster, object) || FMaster->PlotObjectManager()->GetIndex(object) < 0)
        return;
    FRightClickObject = nullptr;
    delete object;
    UpdateAll();
    LayoutViewer->Invalidate();
}

void TgPlotEditorForm::VisibleMenuItemClick(TObject*) {
    TgPlotLayoutObject* object = FRightClickObject;
    if (!object || !FMaster || FMaster->PlotObjectManager()->GetIndex(object) < 0 ||
        gObjectIsOfClass(object, "TgPlotDataView"))
        return;
    object->SetVisible(!object->Visible());
    UpdateAll();
    LayoutViewer->Invalidate();
}

void TgPlotEditorForm::EditMenuItemClick(TObject*) {
    TgPlotLayoutObject* object = FRightClickObject;
    if (!object || !FMaster || FMaster->PlotObjectManager()->GetIndex(object) < 0)
        return;
    for (const PefKindInfo& k : kPefKinds) {
        if (!gObjectIsOfClass(object, k.className))
            continue;
        const int index = Page(k.kind).list->Items()->IndexOfObject(object);
        if (index < 0)
            return;
        PageControl->SetActivePage(Page(k.kind).sheet);
        Page(k.kind).list->SetItemIndex(index);
        UpdateEdit(k.kind);
        return;
    }
}

// ---------------------------------------------------------------------------------------------------

void gRegisterPlotEditors() {
    gSetPlotEditorFormFactory([](TgPlotComponent* plot) -> std::unique_ptr<IgPlotEditorForm> {
        return std::make_unique<TgPlotEditorForm>(plot);
    });
    gRegisterPlotPreview();
    gRegisterOPCExplorer();
}

} // namespace kv
