#pragma once
// The hub of one plot's object model. The master manager owns the typed object managers, the layout
// manager, the list of all plot objects and the translation list; every object and manager reports its
// insertion, removal, renaming, changes, focus and edit requests here, and the master manager passes
// them on to the managers that must know, copies the plot-wide settings (may the user edit objects,
// are X and Y swapped) into each new object, and keeps the property editor in step with the objects.
//
// The property editor is a separate form built on this library; the master manager reaches it only
// through IgPlotEditorForm, and creates it through the factory registered with
// gSetPlotEditorFormFactory. Without a factory no editor opens.

#include "plot/gComponent.h"
#include "plot/gDraw.h"
#include "plot/gPlotAnnotation.h"
#include "plot/gPlotManagers.h"

#include "platform/gui/Graphics.h"

#include <array>
#include <functional>
#include <memory>
#include <string>

namespace kv {

class TCustomForm;
class TgPlotComponent;
class TgPlotLayoutManager;
class TgPlotMasterManager;
class TgPlotTranslationManager;

enum class TgPlotFormStyle { ipfsModal, ipfsStayOnTop };
std::vector<std::string> EnumIdents(TgPlotFormStyle);
enum class TgPlotExportFormat { ipefMetaFile, ipefBitmap, ipefJPEG };
std::vector<std::string> EnumIdents(TgPlotExportFormat);
enum class TgPlotDataFileColumnSeparator { ipdfcsTab, ipdfcsComma };
std::vector<std::string> EnumIdents(TgPlotDataFileColumnSeparator);
enum class TPrinterOrientation { poPortrait, poLandscape };
std::vector<std::string> EnumIdents(TPrinterOrientation);

// The object kinds that have a page (and a list box) in the editor.
enum class TgPlotEditorKind {
    ToolBar,
    Legend,
    Table,
    XAxis,
    YAxis,
    DataView,
    Channel,
    DataCursor,
    Limit,
    Label
};

// The editor's page controls, whose active pages outlive the editor.
enum class TgPlotEditorPageControl {
    PageControl,
    ControlPageControl,
    ChannelPageControl,
    XAxisPageControl,
    XAxisLabelsPageControl,
    YAxisPageControl,
    YAxisLabelsPageControl,
    DataCursorPageControl,
    LimitPageControl,
    LabelPageControl,
    LegendPageControl,
    TablePageControl,
    DataViewPageControl,
    DataViewGridLinesCustomPageControl
};
constexpr int kPlotEditorPageControlCount = 14;

// The editor's drop-down lists of object names that follow a rename.
enum class TgPlotEditorNamePicker {
    ChannelXAxisName,
    LimitXAxisName,
    DataViewGridXAxisName,
    ChannelYAxisName,
    LimitYAxisName,
    DataViewGridYAxisName,
    DataCursorChannelName
};

// The values of the editor's plot-wide controls (its Control page).
struct TgPlotEditorSettings {
    TgPlotEditorSettings();
    TgPlotEditorSettings(const TgPlotEditorSettings&) = delete;
    TgPlotEditorSettings& operator=(const TgPlotEditorSettings&) = delete;

    bool AutoFrameRate = true;
    int UpdateFrameRate = 60;
    bool ClipAnnotationsToAxes = true;
    TgBevelStyle BorderStyle = TgBevelStyle::ibsLowered;
    TgPlotExportFormat CopyToClipBoardFormat = TgPlotExportFormat::ipefMetaFile;
    TgPlotDataFileColumnSeparator DataFileColumnSeparator = TgPlotDataFileColumnSeparator::ipdfcsTab;
    TColor BackGroundColor = clBlack;
    TgFillDirection BackGroundGradientDirection = TgFillDirection::ifdTopBottom;
    bool BackGroundGradientEnabled = false;
    TColor BackGroundGradientStartColor = clBlue, BackGroundGradientStopColor = clBlack;
    int OuterMarginLeft = 5, OuterMarginTop = 5, OuterMarginRight = 5, OuterMarginBottom = 5;
    bool TitleVisible = true;
    double TitleMargin = 0;
    std::string TitleText;
    std::unique_ptr<TFont> TitleFont;
    std::string LogFileName;
    int LogBufferSize = 0;
    bool HintsShow = true;
    int HintsPause = 500, HintsHidePause = 2500;
    std::unique_ptr<TFont> HintsFont;
    TColor AnnotationDefaultPenColor = clWhite;
    TPenStyle AnnotationDefaultPenStyle = TPenStyle::psSolid;
    int AnnotationDefaultPenWidth = 1;
    TColor AnnotationDefaultBrushColor = clWhite;
    TBrushStyle AnnotationDefaultBrushStyle = TBrushStyle::bsSolid;
    TgPlotReferenceType AnnotationDefaultReference = TgPlotReferenceType::iprtDataView;
    TgPlotReferenceIndividual AnnotationDefaultReferencePositionX = TgPlotReferenceIndividual::ipriAuto;
    TgPlotReferenceIndividual AnnotationDefaultReferencePositionY = TgPlotReferenceIndividual::ipriAuto;
    TgPlotReferenceIndividual AnnotationDefaultReferenceSizeX = TgPlotReferenceIndividual::ipriAuto;
    TgPlotReferenceIndividual AnnotationDefaultReferenceSizeY = TgPlotReferenceIndividual::ipriAuto;
    std::unique_ptr<TFont> AnnotationDefaultFont;
    bool PrintShowDialog = true;
    TPrinterOrientation PrintOrientation = TPrinterOrientation::poLandscape;
    double PrintMarginLeft = 1, PrintMarginTop = 1, PrintMarginRight = 1, PrintMarginBottom = 1;
    std::string PrintDocumentName;
};

// What the master manager uses of the property editor form.
class IgPlotEditorForm {
public:
    virtual ~IgPlotEditorForm() = default;

    // True while the form closes: announcements no longer reach it.
    virtual bool IsClosing() const = 0;
    virtual void SetMaster(TgPlotMasterManager* master) = 0;
    virtual void SetPlotComponent(TgPlotComponent* plot) = 0;
    // Runs when the form has closed.
    virtual void SetOnClose(TNotifyEvent handler) = 0;
    // The callback the form translates itself (and the forms it opens) with.
    virtual void SetFormTranslationMethod(std::function<void(TComponent* form)> method) = 0;
    virtual void SetLayoutViewer(TgPlotMasterManager* master, TgPlotLayoutManager* layoutManager,
                                 TgPlotTranslationManager* translationManager) = 0;
    // The form itself (for its texts); may be null.
    virtual TCustomForm* Form() = 0;

    // The list box of each kind: the objects in manager order.
    virtual void ListBoxAppend(TgPlotEditorKind kind, TgPlotObject* object) = 0;
    virtual void ListBoxDelete(TgPlotEditorKind kind, TgPlotObject* object) = 0;
    // -1: no entry selected.
    virtual void ListBoxSelect(TgPlotEditorKind kind, int index) = 0;

    // Page refreshers.
    virtual void UpdateAll() = 0;
    virtual void UpdateToolBarEdit() = 0;
    virtual void UpdateLegendEdit() = 0;
    virtual void UpdateTableEdit() = 0;
    virtual void UpdateXAxesEdit() = 0;
    virtual void UpdateYAxesEdit() = 0;
    virtual void UpdateDataViewEdit() = 0;
    virtual void UpdateChannelEdit() = 0;
    virtual void UpdateDataCursorEdit() = 0;
    virtual void UpdateLimitEdit() = 0;
    virtual void UpdateLabelEdit() = 0;

    // Name pickers: the name shown, refilling the list from the current objects (its drop-down
    // handler), and showing a name.
    virtual std::string NamePickerText(TgPlotEditorNamePicker picker) = 0;
    virtual void NamePickerDropDown(TgPlotEditorNamePicker picker) = 0;
    virtual void SetNamePickerText(TgPlotEditorNamePicker picker, const std::string& text) = 0;

    virtual int PageCount(TgPlotEditorPageControl pageControl) = 0;
    virtual int ActivePageIndex(TgPlotEditorPageControl pageControl) = 0;
    virtual void SetActivePageIndex(TgPlotEditorPageControl pageControl, int index) = 0;
    // Turns the main page control to the page with this caption.
    virtual void ShowMainPage(const std::string& caption) = 0;
    // The channel page's "Add" and "Remove" buttons.
    virtual void SetChannelAddRemoveVisible(bool visible) = 0;

    // The plot-wide controls.
    virtual TgPlotEditorSettings& PlotSettings() = 0;
    // Default folders of the Control page's Save and Load pickers.
    virtual void SetFileFolders(const std::string& properties, const std::string& data,
                                const std::string& annotations) = 0;
    // The log "Activate" and "Deactivate" buttons, and the log file name edit with its picker.
    virtual void SetLogControls(bool activateEnabled, bool deactivateEnabled, bool fileNameEnabled) = 0;

    virtual int FormWidth() = 0;
    virtual int FormHeight() = 0;
    virtual void SetFormPosition(int left, int top) = 0;
    // Shows the form and returns when it has closed.
    virtual void ShowModal() = 0;
    // Gives the form the stay-on-top style and shows it without waiting.
    virtual void ShowStayOnTop() = 0;
    // Frees the form once its close has completed; the caller forgets it.
    virtual void Release() = 0;
};

using TgPlotEditorFormFactory = std::function<std::unique_ptr<IgPlotEditorForm>(TgPlotComponent* plot)>;
// The factory every master manager creates its editor with; an empty one: no editor.
void gSetPlotEditorFormFactory(TgPlotEditorFormFactory factory);

class TgPlotMasterManager : public TObject {
public:
    // Builds the managers, each announcing itself here; the owner's four events are set afterwards.
    explicit TgPlotMasterManager(TWinControl* owner);
    // Frees the editor first, then the managers (their objects report their removal on the way).
    ~TgPlotMasterManager() override;
    TgPlotMasterManager(const TgPlotMasterManager&) = delete;
    TgPlotMasterManager& operator=(const TgPlotMasterManager&) = delete;

    TWinControl* Owner() const { return FOwner; }
    TgPlotToolBarManager* ToolBarManager() const { return FToolBarManager; }
    TgPlotLegendManager* LegendManager() const { return FLegendManager; }
    TgPlotTableManager* TableManager() const { return FTableManager; }
    TgPlotXAxisManager* XAxisManager() const { return FXAxisManager; }
    TgPlotYAxisManager* YAxisManager() const { return FYAxisManager; }
    TgPlotChannelManager* ChannelManager() const { return FChannelManager; }
    TgPlotDataViewManager* DataViewManager() const { return FDataViewManager; }
    TgPlotDataCursorManager* DataCursorManager() const { return FDataCursorManager; }
    TgPlotLimitManager* LimitManager() const { return FLimitManager; }
    TgPlotLabelManager* LabelManager() const { return FLabelManager; }
    TgPlotAnnotationManager* AnnotationManager() const { return FAnnotationManager; }
    TgPlotTranslationManager* TranslationManager() const { return FTranslationManager; }
    TgPlotLayoutManager* LayoutManager() const { return FLayoutManager; }
    TgPlotObjectManager* PlotObjectManager() const { return FPlotObjectManager; }
    IgPlotEditorForm* EditorForm() const { return FEditorForm.get(); }

    bool UserCanEditObjects() const { return FUserCanEditObjects; }
    void SetUserCanEditObjects(bool value);
    bool XYAxesReverse() const { return FXYAxesReverse; }
    void SetXYAxesReverse(bool value);
    const std::string& ChannelClass() const { return FChannelClass; }
    void SetChannelClass(const std::string& className);
    int PageControlIndex(TgPlotEditorPageControl pageControl) const {
        return FPageControlIndex[static_cast<std::size_t>(pageControl)];
    }

    // Set by the plot right after construction.
    TNotifyEvent OnInvalidateNow, OnChange, OnInsert, OnRemove;

    // Each creates one object of its kind, announces it and returns its index.
    int AddChannel();
    int AddDataView();
    int AddDataCursor();
    int AddLimit();
    int AddLabel();
    int AddAnnotation();
    int AddLegend();
    int AddTable();
    int AddToolBar();
    int AddXAxis();
    int AddYAxis();
    int AddTranslation();

    void EditProperties();
    void CreateEditorForm();
    void BasicPropertyChanged();
    void ShowToolBars(bool value);
    void ClearAllData();
    void DeSelectAll();
    // Replaces a form's texts by their translations.
    void TranslateForm(TComponent* form);

    // The callbacks every manager and object gets.
    void NotificationInsert(TObject* sender);
    void NotificationRemove(TObject* sender);
    void NotificationRename(TObject* sender);
    void NotificationChange(TObject* sender);
    void NotificationSetFocus(TObject* sender);
    void EditObject(TObject* sender);
    void EditorFormClose(TObject* sender);

private:
    TgPlotComponent* Plot() const;
    // The managed kinds in the order the plot-wide settings reach them.
    std::vector<TgPlotObjectManagerCustom*> SettingsOrder() const;
    // Toolbar, legend, table, X and Y axis, channel, data view, data cursor, limit, label, annotation.
    std::vector<TgPlotObjectManagerCustom*> TypedManagers() const;
    std::vector<TgPlotObjectManagerCustom*> TypedManagersAndLayout() const;
    // The object manager, the layout manager, then the typed ones.
    std::vector<TgPlotObjectManagerCustom*> RemovalOrder() const;
    TgPlotObjectManagerCustom* KindManager(TgPlotEditorKind kind) const;
    void UpdateEdit(TgPlotEditorKind kind);
    bool EditorOpen() const;
    void SetLogControls();
    void SavePageIndexes();
    int Add(TgPlotObjectManagerCustom* manager);

    TWinControl* FOwner;
    bool FUserCanEditObjects = false;
    TgPlotToolBarManager* FToolBarManager = nullptr;
    TgPlotLegendManager* FLegendManager = nullptr;
    TgPlotTableManager* FTableManager = nullptr;
    TgPlotXAxisManager* FXAxisManager = nullptr;
    TgPlotYAxisManager* FYAxisManager = nullptr;
    TgPlotChannelManager* FChannelManager = nullptr;
    TgPlotDataViewManager* FDataViewManager = nullptr;
    TgPlotDataCursorManager* FDataCursorManager = nullptr;
    TgPlotLimitManager* FLimitManager = nullptr;
    TgPlotLabelManager* FLabelManager = nullptr;
    TgPlotAnnotationManager* FAnnotationManager = nullptr;
    TgPlotTranslationManager* FTranslationManager = nullptr;
    TgPlotLayoutManager* FLayoutManager = nullptr;
    TgPlotObjectManager* FPlotObjectManager = nullptr;
    std::string FChannelClass = "TgXYPlotChannel";
    std::array<int, kPlotEditorPageControlCount> FPageControlIndex{};
    std::unique_ptr<IgPlotEditorForm> FEditorForm;
    bool FXYAxesReverse = false;
};

} // namespace kv
