#include "plot/gPlotMasterManager.h"

#include "plot/gPlotComponent.h"
#include "plot/gPlotLayoutManager.h"
#include "plot/gPlotTranslation.h"

#include "platform/gui/Forms.h"
#include "platform/gui/Menus.h"

#include <QGuiApplication>
#include <QScreen>

#include <mutex>
#include <utility>

namespace kv {

std::vector<std::string> EnumIdents(TgPlotFormStyle) {
    return {"ipfsModal", "ipfsStayOnTop"};
}
std::vector<std::string> EnumIdents(TgPlotExportFormat) {
    return {"ipefMetaFile", "ipefBitmap", "ipefJPEG"};
}
std::vector<std::string> EnumIdents(TgPlotDataFileColumnSeparator) {
    return {"ipdfcsTab", "ipdfcsComma"};
}
std::vector<std::string> EnumIdents(TPrinterOrientation) {
    return {"poPortrait", "poLandscape"};
}

TgPlotEditorSettings::TgPlotEditorSettings()
    : TitleFont(std::make_unique<TFont>()), HintsFont(std::make_unique<TFont>()),
      AnnotationDefaultFont(std::make_unique<TFont>()) {}

namespace {

std::mutex gEditorFactoryLock;
TgPlotEditorFormFactory gEditorFactory;

TgPlotEditorFormFactory EditorFactory() {
    std::lock_guard g(gEditorFactoryLock);
    return gEditorFactory;
}

// The kinds with an editor page, in the order the editor lists them.
constexpr TgPlotEditorKind kMasterEditorKinds[] = {TgPlotEditorKind::ToolBar, TgPlotEditorKind::Legend,
                                                   TgPlotEditorKind::Table,   TgPlotEditorKind::XAxis,
                                                   TgPlotEditorKind::YAxis,   TgPlotEditorKind::DataView,
                                                   TgPlotEditorKind::Channel, TgPlotEditorKind::DataCursor,
                                                   TgPlotEditorKind::Limit,   TgPlotEditorKind::Label};

struct MasterKindInfo {
    TgPlotEditorKind kind;
    const char* className;
    const char* pageCaption; // empty: the editor stays on its page
};

constexpr MasterKindInfo kMasterKindInfo[] = {
    {TgPlotEditorKind::ToolBar, "TgPlotToolBar", "ToolBar"},
    {TgPlotEditorKind::Legend, "TgPlotLegend", "Legend"},
    {TgPlotEditorKind::Table, "TgPlotTable", "Tables"},
    {TgPlotEditorKind::XAxis, "TgPlotXAxis", "X-Axes"},
    {TgPlotEditorKind::YAxis, "TgPlotYAxis", "Y-Axes"},
    {TgPlotEditorKind::DataView, "TgPlotDataView", "Data View"},
    {TgPlotEditorKind::Channel, "TgPlotChannelCustom", "Channels"},
    {TgPlotEditorKind::DataCursor, "TgPlotDataCursor", "Cursors"},
    {TgPlotEditorKind::Limit, "TgPlotLimit", "Limits"},
    {TgPlotEditorKind::Label, "TgPlotLabel", ""},
};

const MasterKindInfo* MasterKindOf(const TObject* object) {
    for (const MasterKindInfo& k : kMasterKindInfo)
        if (gObjectIsOfClass(object, k.className))
            return &k;
    return nullptr;
}

// Removes a manager from its field when it is the one going.
template <class M> void MasterForget(M*& field, const TObject* sender) {
    if (field && static_cast<const TObject*>(field) == sender)
        field = nullptr;
}

template <class M> void MasterFree(M*& field) {
    M* manager = field;
    delete manager; // its removal clears the field through the remove callback
    field = nullptr;
}

} // namespace

void gSetPlotEditorFormFactory(TgPlotEditorFormFactory factory) {
    std::lock_guard g(gEditorFactoryLock);
    gEditorFactory = std::move(factory);
}

// ---------------------------------------------------------------------------------------------------
// Construction and destruction

TgPlotMasterManager::TgPlotMasterManager(TWinControl* owner) : FOwner(owner) {
    TNotifyEvent rename = [this](TObject* s) { NotificationRename(s); };
    TNotifyEvent remove = [this](TObject* s) { NotificationRemove(s); };
    TNotifyEvent insert = [this](TObject* s) { NotificationInsert(s); };
    TNotifyEvent change = [this](TObject* s) { NotificationChange(s); };
    // A manager announces itself from its base constructor, before its own class exists; so the fields
    // are filled here, and the insert callback only has to pass the announcement on.
    FPlotObjectManager = new TgPlotObjectManager(owner, change, insert, remove, rename);
    FToolBarManager = new TgPlotToolBarManager(owner, change, insert, remove, rename);
    FLegendManager = new TgPlotLegendManager(owner, change, insert, remove, rename);
    FTableManager = new TgPlotTableManager(owner, change, insert, remove, rename);
    FChannelManager = new TgPlotChannelManager(owner, change, insert, remove, rename);
    FDataCursorManager = new TgPlotDataCursorManager(owner, change, insert, remove, rename);
    FDataViewManager = new TgPlotDataViewManager(owner, change, insert, remove, rename);
    FXAxisManager = new TgPlotXAxisManager(owner, change, insert, remove, rename);
    FYAxisManager = new TgPlotYAxisManager(owner, change, insert, remove, rename);
    FLimitManager = new TgPlotLimitManager(owner, change, insert, remove, rename);
    FLabelManager = new TgPlotLabelManager(owner, change, insert, remove, rename);
    FAnnotationManager = new TgPlotAnnotationManager(owner, change, insert, remove, rename);
    FLayoutManager = new TgPlotLayoutManager(owner, change, insert, remove, rename);
    FTranslationManager = new TgPlotTranslationManager(insert, remove);

    FChannelManager->SetChannelClass(FChannelClass);
    for (TgPlotAxisLinkedManager* m : {static_cast<TgPlotAxisLinkedManager*>(FChannelManager),
                                       static_cast<TgPlotAxisLinkedManager*>(FDataViewManager),
                                       static_cast<TgPlotAxisLinkedManager*>(FLimitManager)}) {
        m->SetXAxisManager(FXAxisManager);
        m->SetYAxisManager(FYAxisManager);
    }
    FDataCursorManager->SetChannelManager(FChannelManager);
    FDataCursorManager->SetDataViewManager(FDataViewManager);
    FUserCanEditObjects = true;
}

TgPlotMasterManager::~TgPlotMasterManager() {
    if (Plot() && FEditorForm)
        FEditorForm.reset();
    MasterFree(FToolBarManager);
    MasterFree(FLegendManager);
    MasterFree(FTableManager);
    MasterFree(FChannelManager);
    MasterFree(FXAxisManager);
    MasterFree(FYAxisManager);
    MasterFree(FDataViewManager);
    MasterFree(FDataCursorManager);
    MasterFree(FLimitManager);
    MasterFree(FLabelManager);
    MasterFree(FAnnotationManager);
    MasterFree(FTranslationManager);
    MasterFree(FPlotObjectManager);
    MasterFree(FLayoutManager);
    FEditorForm.reset();
}

TgPlotComponent* TgPlotMasterManager::Plot() const {
    return dynamic_cast<TgPlotComponent*>(FOwner);
}

std::vector<TgPlotObjectManagerCustom*> TgPlotMasterManager::SettingsOrder() const {
    return {FChannelManager, FXAxisManager,  FYAxisManager,     FDataViewManager,
            FToolBarManager, FLegendManager, FTableManager,     FDataCursorManager,
            FLimitManager,   FLabelManager,  FAnnotationManager};
}

std::vector<TgPlotObjectManagerCustom*> TgPlotMasterManager::TypedManagers() const {
    return {FToolBarManager, FLegendManager,  FTableManager,     FXAxisManager,
            FYAxisManager,   FChannelManager, FDataViewManager,  FDataCursorManager,
            FLimitManager,   FLabelManager,   FAnnotationManager};
}

std::vector<TgPlotObjectManagerCustom*> TgPlotMasterManager::TypedManagersAndLayout() const {
    std::vector<TgPlotObjectManagerCustom*> list = TypedManagers();
    list.push_back(FLayoutManager);
    return list;
}

std::vector<TgPlotObjectManagerCustom*> TgPlotMasterManager::RemovalOrder() const {
    std::vector<TgPlotObjectManagerCustom*> list{FPlotObjectManager, FLayoutManager};
    const std::vector<TgPlotObjectManagerCustom*> typed = TypedManagers();
    list.insert(list.end(), typed.begin(), typed.end());
    return list;
}

TgPlotObjectManagerCustom* TgPlotMasterManager::KindManager(TgPlotEditorKind kind) const {
    switch (kind) {
    case TgPlotEditorKind::ToolBar:
        return FToolBarManager;
    case TgPlotEditorKind::Legend:
        return FLegendManager;
    case TgPlotEditorKind::Table:
        return FTableManager;
    case TgPlotEditorKind::XAxis:
        return FXAxisManager;
    case TgPlotEditorKind::YAxis:
        return FYAxisManager;
    case TgPlotEditorKind::DataView:
        return FDataViewManager;
    case TgPlotEditorKind::Channel:
        return FChannelManager;
    case TgPlotEditorKind::DataCursor:
        return FDataCursorManager;
    case TgPlotEditorKind::Limit:
        return FLimitManager;
    case TgPlotEditorKind::Label:
        return FLabelManager;
    }
    return nullptr;
}

bool TgPlotMasterManager::EditorOpen() const {
    return FEditorForm && !FEditorForm->IsClosing();
}

// ---------------------------------------------------------------------------------------------------
// Settings

void TgPlotMasterManager::SetUserCanEditObjects(bool value) {
    FUserCanEditObjects = value;
    for (TgPlotObjectManagerCustom* m : SettingsOrder())
        if (m)
            for (int i = 0; i < m->Count(); ++i)
                m->GetItem(i)->SetUserCanEdit(value);
}

void TgPlotMasterManager::SetXYAxesReverse(bool value) {
    FXYAxesReverse = value;
    if (FLayoutManager)
        FLayoutManager->SetXYAxesReverse(value);
    for (TgPlotObjectManagerCustom* m : SettingsOrder())
        if (m)
            for (int i = 0; i < m->Count(); ++i)
                m->GetItem(i)->SetXYAxesReversed(value);
    if (OnInvalidateNow)
        OnInvalidateNow(this);
}

void TgPlotMasterManager::SetChannelClass(const std::string& className) {
    FChannelClass = className;
    if (FChannelManager)
        FChannelManager->SetChannelClass(className);
}

// ---------------------------------------------------------------------------------------------------
// Adding objects

int TgPlotMasterManager::Add(TgPlotObjectManagerCustom* manager) {
    TgPlotObject* object = manager->CreateObject();
    object->DoInsert();
    return manager->Count() - 1;
}

int TgPlotMasterManager::AddChannel() {
    return Add(FChannelManager);
}
int TgPlotMasterManager::AddDataView() {
    return Add(FDataViewManager);
}
int TgPlotMasterManager::AddDataCursor() {
    return Add(FDataCursorManager);
}
int TgPlotMasterManager::AddLimit() {
    return Add(FLimitManager);
}
int TgPlotMasterManager::AddLabel() {
    return Add(FLabelManager);
}
int TgPlotMasterManager::AddAnnotation() {
    return Add(FAnnotationManager);
}
int TgPlotMasterManager::AddLegend() {
    return Add(FLegendManager);
}
int TgPlotMasterManager::AddTable() {
    return Add(FTableManager);
}
int TgPlotMasterManager::AddToolBar() {
    return Add(FToolBarManager);
}
int TgPlotMasterManager::AddXAxis() {
    return Add(FXAxisManager);
}
int TgPlotMasterManager::AddYAxis() {
    return Add(FYAxisManager);
}
int TgPlotMasterManager::AddTranslation() {
    return FTranslationManager->Add();
}

// ---------------------------------------------------------------------------------------------------
// Plot-wide operations

void TgPlotMasterManager::ShowToolBars(bool value) {
    for (int i = 0; i < FToolBarManager->Count(); ++i)
        FToolBarManager->GetItem(i)->SetVisible(value);
}

void TgPlotMasterManager::ClearAllData() {
    for (int i = 0; i < FChannelManager->Count(); ++i)
        if (auto* channel = dynamic_cast<TgPlotChannelCustom*>(FChannelManager->GetItem(i)))
            channel->Clear();
    for (TgPlotObjectManagerCustom* axes : {static_cast<TgPlotObjectManagerCustom*>(FXAxisManager),
                                            static_cast<TgPlotObjectManagerCustom*>(FYAxisManager)})
        for (int i = 0; i < axes->Count(); ++i)
            if (auto* axis = dynamic_cast<TgPlotAxis*>(axes->GetItem(i)))
                axis->ResetFirstAlign();
}

void TgPlotMasterManager::DeSelectAll() {
    FPlotObjectManager->ClearAllUserSelections();
}

// ---------------------------------------------------------------------------------------------------
// Callbacks

void TgPlotMasterManager::NotificationInsert(TObject* sender) {
    if (auto* object = dynamic_cast<TgPlotObject*>(sender)) {
        if (FPlotObjectManager)
            FPlotObjectManager->NotificationInsert(object);
        if (FLayoutManager && dynamic_cast<TgPlotLayoutObject*>(object))
            FLayoutManager->NotificationInsert(object);
        for (TgPlotObjectManagerCustom* m : TypedManagers())
            if (m) // each typed manager takes only the objects of its kind
                m->NotificationInsert(object);

        object->OnSetFocus = [this](TObject* s) { NotificationSetFocus(s); };
        object->OnInvalidateNow = OnInvalidateNow;
        object->SetUserCanEdit(FUserCanEditObjects);
        object->OnEdit = [this](TObject* s) { EditObject(s); };
        object->SetXYAxesReversed(FXYAxesReverse);

        if (EditorOpen())
            if (const MasterKindInfo* k = MasterKindOf(object)) {
                FEditorForm->ListBoxAppend(k->kind, object);
                const TgPlotObjectManagerCustom* m = KindManager(k->kind);
                FEditorForm->ListBoxSelect(k->kind, m ? m->Count() - 1 : -1);
                UpdateEdit(k->kind);
            }
    } else if (dynamic_cast<TgPlotTranslationObject*>(sender)) {
        if (FTranslationManager)
            FTranslationManager->NotificationInsert(sender);
    }
    // Managers are kept by the constructor, which made them.
    if (OnInsert)
        OnInsert(sender);
}

void TgPlotMasterManager::NotificationRemove(TObject* sender) {
    if (OnRemove)
        OnRemove(sender);
    if (dynamic_cast<TgPlotTranslationObject*>(sender)) {
        if (FTranslationManager)
            FTranslationManager->NotificationRemove(sender);
        return;
    }
    if (auto* object = dynamic_cast<TgPlotObject*>(sender)) {
        if (EditorOpen())
            if (const MasterKindInfo* k = MasterKindOf(object))
                FEditorForm->ListBoxDelete(k->kind, object);
        for (TgPlotObjectManagerCustom* m : RemovalOrder())
            if (m)
                m->NotificationRemove(object);
        return;
    }
    MasterForget(FPlotObjectManager, sender);
    MasterForget(FToolBarManager, sender);
    MasterForget(FLegendManager, sender);
    MasterForget(FTableManager, sender);
    MasterForget(FXAxisManager, sender);
    MasterForget(FYAxisManager, sender);
    MasterForget(FChannelManager, sender);
    MasterForget(FDataViewManager, sender);
    MasterForget(FDataCursorManager, sender);
    MasterForget(FLimitManager, sender);
    MasterForget(FLabelManager, sender);
    MasterForget(FAnnotationManager, sender);
    MasterForget(FLayoutManager, sender);
    MasterForget(FTranslationManager, sender);
}

void TgPlotMasterManager::NotificationRename(TObject* sender) {
    for (TgPlotObjectManagerCustom* m : TypedManagersAndLayout())
        if (m)
            m->NotificationRename(sender);

    auto* object = dynamic_cast<TgPlotObject*>(sender);
    if (!object || !EditorOpen())
        return;
    std::vector<TgPlotEditorNamePicker> pickers;
    if (gObjectIsOfClass(object, "TgPlotXAxis"))
        pickers = {TgPlotEditorNamePicker::ChannelXAxisName, TgPlotEditorNamePicker::LimitXAxisName,
                   TgPlotEditorNamePicker::DataViewGridXAxisName};
    else if (gObjectIsOfClass(object, "TgPlotYAxis"))
        pickers = {TgPlotEditorNamePicker::ChannelYAxisName, TgPlotEditorNamePicker::LimitYAxisName,
                   TgPlotEditorNamePicker::DataViewGridYAxisName};
    else if (gObjectIsOfClass(object, "TgPlotChannelCustom"))
        pickers = {TgPlotEditorNamePicker::DataCursorChannelName};
    for (TgPlotEditorNamePicker p : pickers)
        if (SameText(FEditorForm->NamePickerText(p), object->NameOld())) {
            FEditorForm->NamePickerDropDown(p);
            FEditorForm->SetNamePickerText(p, object->Name());
        }
}

void TgPlotMasterManager::NotificationChange(TObject*) {
    if (OnChange)
        OnChange(this);
}

void TgPlotMasterManager::NotificationSetFocus(TObject* sender) {
    for (TgPlotObjectManagerCustom* m : TypedManagersAndLayout())
        if (m)
            m->NotificationSetFocus(sender);
}

// ---------------------------------------------------------------------------------------------------
// The editor

void TgPlotMasterManager::UpdateEdit(TgPlotEditorKind kind) {
    IgPlotEditorForm& f = *FEditorForm;
    switch (kind) {
    case TgPlotEditorKind::ToolBar:
        f.UpdateToolBarEdit();
        break;
    case TgPlotEditorKind::Legend:
        f.UpdateLegendEdit();
        break;
    case TgPlotEditorKind::Table:
        f.UpdateTableEdit();
        break;
    case TgPlotEditorKind::XAxis:
        f.UpdateXAxesEdit();
        break;
    case TgPlotEditorKind::YAxis:
        f.UpdateYAxesEdit();
        break;
    case TgPlotEditorKind::DataView:
        f.UpdateDataViewEdit();
        break;
    case TgPlotEditorKind::Channel:
        f.UpdateChannelEdit();
        break;
    case TgPlotEditorKind::DataCursor:
        f.UpdateDataCursorEdit();
        break;
    case TgPlotEditorKind::Limit:
        f.UpdateLimitEdit();
        break;
    case TgPlotEditorKind::Label:
        f.UpdateLabelEdit();
        break;
    }
}

void TgPlotMasterManager::EditObject(TObject* sender) {
    if (!FEditorForm)
        CreateEditorForm();
    if (!FEditorForm)
        return;
    if (const MasterKindInfo* k = MasterKindOf(sender); k && *k->pageCaption) {
        FEditorForm->ShowMainPage(k->pageCaption);
        if (const TgPlotObjectManagerCustom* m = KindManager(k->kind))
            FEditorForm->ListBoxSelect(k->kind, m->GetIndex(sender));
    }
    EditProperties();
}

void TgPlotMasterManager::CreateEditorForm() {
    TgPlotComponent* plot = Plot();
    if (plot && !FEditorForm) {
        if (TgPlotEditorFormFactory factory = EditorFactory())
            FEditorForm = factory(plot);
        if (FEditorForm) {
            IgPlotEditorForm& f = *FEditorForm;
            f.SetFormTranslationMethod([this](TComponent* form) { TranslateForm(form); });
            f.SetOnClose([this](TObject* s) { EditorFormClose(s); });
            f.SetMaster(this);
            f.SetLayoutViewer(this, FLayoutManager, FTranslationManager);
            for (TgPlotEditorKind kind : kMasterEditorKinds) {
                const TgPlotObjectManagerCustom* m = KindManager(kind);
                const int count = m ? m->Count() : 0;
                for (int i = 0; i < count; ++i)
                    f.ListBoxAppend(kind, m->GetItem(i));
                f.ListBoxSelect(kind, count ? 0 : -1);
                UpdateEdit(kind);
            }
            for (int i = 0; i < kPlotEditorPageControlCount; ++i) {
                const auto pc = static_cast<TgPlotEditorPageControl>(i);
                if (FPageControlIndex[static_cast<std::size_t>(i)] < f.PageCount(pc))
                    f.SetActivePageIndex(pc, FPageControlIndex[static_cast<std::size_t>(i)]);
            }
            f.SetChannelAddRemoveVisible(plot->UserCanAddRemoveChannels());
        }
    }
    if (FEditorForm)
        TranslateForm(FEditorForm->Form());
}

void TgPlotMasterManager::SetLogControls() {
    TgPlotComponent* plot = Plot();
    const bool logging = plot && plot->LoggingActive();
    FEditorForm->SetLogControls(!logging, logging, !logging);
}

void TgPlotMasterManager::SavePageIndexes() {
    for (int i = 0; i < kPlotEditorPageControlCount; ++i)
        FPageControlIndex[static_cast<std::size_t>(i)] =
            FEditorForm->ActivePageIndex(static_cast<TgPlotEditorPageControl>(i));
}

void TgPlotMasterManager::EditProperties() {
    if (!FEditorForm)
        CreateEditorForm();
    if (!FEditorForm)
        return;
    TgPlotComponent* plot = Plot();
    const bool modal = !plot || plot->EditorFormStyle() == TgPlotFormStyle::ipfsModal;
    // Each modal edit builds a fresh editor, also when something below fails.
    struct ModalEnd {
        TgPlotMasterManager* m;
        bool modal;
        ~ModalEnd() {
            if (modal)
                m->FEditorForm.reset();
        }
    } end{this, modal};

    IgPlotEditorForm& f = *FEditorForm;
    f.UpdateAll();
    f.SetPlotComponent(plot);
    if (plot) {
        TgPlotEditorSettings& s = f.PlotSettings();
        s.AutoFrameRate = plot->AutoFrameRate();
        s.UpdateFrameRate = plot->UpdateFrameRate();
        s.ClipAnnotationsToAxes = plot->ClipAnnotationsToAxes();
        s.BorderStyle = plot->BorderStyle();
        s.CopyToClipBoardFormat = plot->CopyToClipBoardFormat();
        s.DataFileColumnSeparator = plot->DataFileColumnSeparator();
        s.BackGroundColor = plot->BackGroundColor();
        s.BackGroundGradientDirection = plot->BackGroundGradientDirection();
        s.BackGroundGradientEnabled = plot->BackGroundGradientEnabled();
        s.BackGroundGradientStartColor = plot->BackGroundGradientStartColor();
        s.BackGroundGradientStopColor = plot->BackGroundGradientStopColor();
        s.OuterMarginLeft = plot->OuterMarginLeft();
        s.OuterMarginTop = plot->OuterMarginTop();
        s.OuterMarginRight = plot->OuterMarginRight();
        s.OuterMarginBottom = plot->OuterMarginBottom();
        s.TitleVisible = plot->TitleVisible();
        s.TitleMargin = plot->TitleMargin();
        s.TitleText = plot->TitleText();
        s.TitleFont->Assign(plot->TitleFont());
        s.LogFileName = plot->LogFileName();
        s.LogBufferSize = plot->LogBufferSize();
        s.HintsShow = plot->HintsShow();
        s.HintsPause = plot->HintsPause();
        s.HintsHidePause = plot->HintsHidePause();
        s.HintsFont->Assign(plot->HintsFont());
        s.AnnotationDefaultPenColor = plot->AnnotationDefaultPenColor();
        s.AnnotationDefaultPenStyle = plot->AnnotationDefaultPenStlye();
        s.AnnotationDefaultPenWidth = plot->AnnotationDefaultPenWidth();
        s.AnnotationDefaultBrushColor = plot->AnnotationDefaultBrushColor();
        s.AnnotationDefaultBrushStyle = plot->AnnotationDefaultBrushStlye();
        s.AnnotationDefaultReference = plot->AnnotationDefaultReference();
        s.AnnotationDefaultReferencePositionX = plot->AnnotationDefaultReferencePositionX();
        s.AnnotationDefaultReferencePositionY = plot->AnnotationDefaultReferencePositionY();
        s.AnnotationDefaultReferenceSizeX = plot->AnnotationDefaultReferenceSizeX();
        s.AnnotationDefaultReferenceSizeY = plot->AnnotationDefaultReferenceSizeY();
        s.AnnotationDefaultFont->Assign(plot->AnnotationDefaultFont());
        s.PrintShowDialog = plot->PrintShowDialog();
        s.PrintOrientation = plot->PrintOrientation();
        s.PrintMarginLeft = plot->PrintMarginLeft();
        s.PrintMarginTop = plot->PrintMarginTop();
        s.PrintMarginRight = plot->PrintMarginRight();
        s.PrintMarginBottom = plot->PrintMarginBottom();
        s.PrintDocumentName = plot->PrintDocumentName();
        f.SetFileFolders(plot->DefaultPropertyDirectory(), plot->DefaultDataDirectory(),
                         plot->DefaultAnnotationDirectory());
    }
    SetLogControls();

    int screenWidth = 0, screenHeight = 0;
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        screenWidth = screen->geometry().width();
        screenHeight = screen->geometry().height();
    }
    f.SetFormPosition(screenWidth / 2 - f.FormWidth() / 2, screenHeight / 2 - f.FormHeight() / 2);

    if (plot)
        plot->DoAfterOpenEditor(this);
    if (modal)
        f.ShowModal();
    else
        f.ShowStayOnTop();
    if (FEditorForm)
        SavePageIndexes();
}

void TgPlotMasterManager::EditorFormClose(TObject*) {
    TgPlotComponent* plot = Plot();
    if (plot)
        plot->DoAfterCloseEditor(this);
    if (plot && plot->EditorFormStyle() == TgPlotFormStyle::ipfsStayOnTop && FEditorForm)
        FEditorForm.release()->Release();
}

void TgPlotMasterManager::BasicPropertyChanged() {
    TgPlotComponent* plot = Plot();
    if (!EditorOpen() || !plot)
        return;
    const TgPlotEditorSettings& s = FEditorForm->PlotSettings();
    plot->SetAutoFrameRate(s.AutoFrameRate);
    plot->SetUpdateFrameRate(s.UpdateFrameRate);
    plot->SetClipAnnotationsToAxes(s.ClipAnnotationsToAxes);
    plot->SetBorderStyle(s.BorderStyle);
    plot->SetCopyToClipBoardFormat(s.CopyToClipBoardFormat);
    plot->SetDataFileColumnSeparator(s.DataFileColumnSeparator);
    plot->SetBackGroundColor(s.BackGroundColor);
    plot->SetBackGroundGradientDirection(s.BackGroundGradientDirection);
    plot->SetBackGroundGradientEnabled(s.BackGroundGradientEnabled);
    plot->SetBackGroundGradientStartColor(s.BackGroundGradientStartColor);
    plot->SetBackGroundGradientStopColor(s.BackGroundGradientStopColor);
    plot->SetOuterMarginLeft(s.OuterMarginLeft);
    plot->SetOuterMarginTop(s.OuterMarginTop);
    plot->SetOuterMarginRight(s.OuterMarginRight);
    plot->SetOuterMarginBottom(s.OuterMarginBottom);
    plot->SetTitleVisible(s.TitleVisible);
    plot->SetTitleMargin(s.TitleMargin);
    plot->SetTitleText(s.TitleText);
    plot->SetTitleFont(s.TitleFont.get());
    plot->SetLogFileName(s.LogFileName);
    plot->SetLogBufferSize(s.LogBufferSize);
    plot->SetHintsShow(s.HintsShow);
    plot->SetHintsPause(s.HintsPause);
    plot->SetHintsHidePause(s.HintsHidePause);
    plot->SetHintsFont(s.HintsFont.get());
    plot->SetAnnotationDefaultPenColor(s.AnnotationDefaultPenColor);
    plot->SetAnnotationDefaultPenStlye(s.AnnotationDefaultPenStyle);
    plot->SetAnnotationDefaultPenWidth(s.AnnotationDefaultPenWidth);
    plot->SetAnnotationDefaultBrushColor(s.AnnotationDefaultBrushColor);
    plot->SetAnnotationDefaultBrushStlye(s.AnnotationDefaultBrushStyle);
    plot->SetAnnotationDefaultReference(s.AnnotationDefaultReference);
    plot->SetAnnotationDefaultReferencePositionX(s.AnnotationDefaultReferencePositionX);
    plot->SetAnnotationDefaultReferencePositionY(s.AnnotationDefaultReferencePositionY);
    plot->SetAnnotationDefaultReferenceSizeX(s.AnnotationDefaultReferenceSizeX);
    plot->SetAnnotationDefaultReferenceSizeY(s.AnnotationDefaultReferenceSizeY);
    plot->SetAnnotationDefaultFont(s.AnnotationDefaultFont.get());
    plot->SetPrintShowDialog(s.PrintShowDialog);
    plot->SetPrintOrientation(s.PrintOrientation);
    plot->SetPrintMarginLeft(s.PrintMarginLeft);
    plot->SetPrintMarginTop(s.PrintMarginTop);
    plot->SetPrintMarginRight(s.PrintMarginRight);
    plot->SetPrintMarginBottom(s.PrintMarginBottom);
    plot->SetPrintDocumentName(s.PrintDocumentName);
    SetLogControls();
}

void TgPlotMasterManager::TranslateForm(TComponent* form) {
    if (!form)
        return;
    if (FEditorForm && FEditorForm->Form() == form && FEditorForm->IsClosing())
        return;
    if (!FTranslationManager || FTranslationManager->Count() == 0)
        return;
    const auto tr = [this](const std::string& text) { return FTranslationManager->FindReplacement(text); };
    if (auto* control = dynamic_cast<TControl*>(form))
        control->SetCaption(tr(control->Caption()));
    for (int i = 0; i < form->ComponentCount(); ++i) {
        TComponent* c = form->Components(i);
        if (auto* control = dynamic_cast<TControl*>(c))
            control->SetText(tr(control->Text()));
        if (gObjectIsOfClass(c, "TgComponentEditorRadioGroup") ||
            gObjectIsOfClass(c, "TgComponentEditorComboBox"))
            if (const auto ref = FindPropRef(*c, "Items"); ref && ref->prop->GetObject)
                if (auto* items = dynamic_cast<TStrings*>(ref->prop->GetObject(*ref->object)))
                    for (int k = 0; k < items->Count(); ++k)
                        items->Put(k, tr((*items)[k]));
        if (auto* menu = dynamic_cast<TPopupMenu*>(c))
            for (int k = 0; k < menu->Items()->Count(); ++k) {
                TMenuItem* item = menu->Items()->Items(k);
                item->SetCaption(tr(item->Caption()));
            }
    }
}

} // namespace kv
