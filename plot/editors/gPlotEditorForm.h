#pragma once
// The run-time property editor of a plot: one page per kind of plot object with the plot's objects of
// that kind in a list, a "Control" page for the plot itself and a "Layout" page with the layout
// viewer. Selecting an object fills its page quietly; every change the user makes is written back into
// the object at once, which redraws the plot.
//
// Only the plot's master manager opens it, through IgPlotEditorForm and the factory that
// gRegisterPlotEditors installs. The controls inside each page come from gPlotEditorPages; this form
// makes the page frames, the lists, the add and remove buttons, the file and log controls, the
// statistics and the layout page, and runs the fill and write-back rules.

#include "plot/editors/gComponentEditor.h"
#include "plot/gPlotMasterManager.h"

#include <array>
#include <functional>
#include <string>

namespace kv {

class TButton;
class TGroupBox;
class TLabel;
class TMenuItem;
class TPageControl;
class TPanel;
class TPopupMenu;
class TTabSheet;
class TgPlotComponent;
class TgPlotLayoutObject;
class TgPlotLayoutViewer;
class TgPlotObject;

class TgPlotEditorForm : public TgCustomEditorForm, public IgPlotEditorForm {
    KV_CLASS(TgPlotEditorForm)
public:
    // Owned by the plot; the master manager sets the rest.
    explicit TgPlotEditorForm(TComponent* owner);
    // Tells the plot (OnAfterCloseEditor) unless its close already did.
    ~TgPlotEditorForm() override;

    // --- what the master manager uses
    bool IsClosing() const override { return FIsClosing; }
    void SetMaster(TgPlotMasterManager* master) override { FMaster = master; }
    void SetPlotComponent(TgPlotComponent* plot) override;
    void SetOnClose(TNotifyEvent handler) override { FOnCloseHandler = std::move(handler); }
    void SetFormTranslationMethod(std::function<void(TComponent* form)> method) override;
    void SetLayoutViewer(TgPlotMasterManager* master, TgPlotLayoutManager* layoutManager,
                         TgPlotTranslationManager* translationManager) override;
    TCustomForm* Form() override { return this; }
    void ListBoxAppend(TgPlotEditorKind kind, TgPlotObject* object) override;
    void ListBoxDelete(TgPlotEditorKind kind, TgPlotObject* object) override;
    void ListBoxSelect(TgPlotEditorKind kind, int index) override;
    void UpdateAll() override;
    void UpdateToolBarEdit() override;
    void UpdateLegendEdit() override;
    void UpdateTableEdit() override;
    void UpdateXAxesEdit() override;
    void UpdateYAxesEdit() override;
    void UpdateDataViewEdit() override;
    void UpdateChannelEdit() override;
    void UpdateDataCursorEdit() override;
    void UpdateLimitEdit() override;
    void UpdateLabelEdit() override;
    std::string NamePickerText(TgPlotEditorNamePicker picker) override;
    void NamePickerDropDown(TgPlotEditorNamePicker picker) override;
    void SetNamePickerText(TgPlotEditorNamePicker picker, const std::string& text) override;
    int PageCount(TgPlotEditorPageControl pageControl) override;
    int ActivePageIndex(TgPlotEditorPageControl pageControl) override;
    void SetActivePageIndex(TgPlotEditorPageControl pageControl, int index) override;
    void ShowMainPage(const std::string& caption) override;
    void SetChannelAddRemoveVisible(bool visible) override;
    TgPlotEditorSettings& PlotSettings() override { return FSettings; }
    void SetFileFolders(const std::string& properties, const std::string& data,
                        const std::string& annotations) override;
    void SetLogControls(bool activateEnabled, bool deactivateEnabled, bool fileNameEnabled) override;
    int FormWidth() override { return Width(); }
    int FormHeight() override { return Height(); }
    void SetFormPosition(int left, int top) override;
    // Both fill the Control page from PlotSettings first.
    void ShowModal() override;
    void ShowStayOnTop() override;
    void Release() override;

    TgPlotMasterManager* Master() const { return FMaster; }
    TgPlotComponent* PlotComponent() const { return FPlot; }
    TgPlotLayoutObject* RightClickObject() const { return FRightClickObject; }

    // Greys (and empties) or enables every control whose name begins with the prefix; page controls,
    // tab sheets and plain labels are left alone.
    void DisableEditControls(const std::string& prefix);
    void EnableEditControls(const std::string& prefix);
    // The channel's "Stats" sub-page: "Click Refresh" (empty without a channel), or the numbers.
    void ClearChannelStats();
    void RefreshChannelStats();

    // The list of a kind and the object selected in it (null when none).
    TgComponentEditorListBox* ListBox(TgPlotEditorKind kind) const;
    TgPlotObject* SelectedObject(TgPlotEditorKind kind) const;

    // --- handlers (bound to the controls; public so that a program can act like the user)
    // Gives the window its dialog frame.
    void FormCreate(TObject* sender);
    void gCustomEditorFormClose(TObject* sender, TCloseAction& action);
    void ListBoxClick(TgPlotEditorKind kind);
    void AddButtonClick(TgPlotEditorKind kind);
    void RemoveButtonClick(TgPlotEditorKind kind);
    // Write-back of one object page, then the refresh that kind asks for.
    void PageChange(TgPlotEditorKind kind);
    void TitleChange(TObject* sender);
    void GeneralChanged(TObject* sender);
    void XAxisNameComboBoxDropDown(TObject* sender);
    void YAxisNameComboBoxDropDown(TObject* sender);
    void DataViewGridXAxisNameComboBoxDropDown(TObject* sender);
    void DataViewGridYAxisNameComboBoxDropDown(TObject* sender);
    void ChannelNameComboBoxDropDown(TObject* sender);
    void DataCursorChannelNameComboBoxDropDown(TObject* sender);
    void ControlPropertiesOpenPickerChange(TObject* sender);
    void ControlPropertiesSavePickerChange(TObject* sender);
    void ControlDataOpenPickerChange(TObject* sender);
    void ControlDataSavePickerChange(TObject* sender);
    void ControlAnnotationOpenPickerChange(TObject* sender);
    void ControlAnnotationSavePickerChange(TObject* sender);
    void ControlLogFileNamePickerChange(TObject* sender);
    void ControlLogActivateButtonClick(TObject* sender);
    void ControlLogDeactivateButtonClick(TObject* sender);
    void ChannelPropertiesOpenPickerChange(TObject* sender);
    void ChannelPropertiesSavePickerChange(TObject* sender);
    void ChannelDataOpenPickerChange(TObject* sender);
    void ChannelDataSavePickerChange(TObject* sender);
    void ChannelLogFileNamePickerChange(TObject* sender);
    void ChannelLogActivateButtonClick(TObject* sender);
    void ChannelLogDeactivateButtonClick(TObject* sender);
    void ChannelStatsRefreshButtonClick(TObject* sender);
    // kind: XAxis or YAxis; toCursor: the "Cursor" sub-page, else "Legend".
    void CopyDefaultButtonClick(TgPlotEditorKind kind, bool toCursor);
    void gPlotLayoutViewerChange(TObject* sender);
    void gPlotLayoutViewerMouseDown(TMouseButton button, int x, int y);
    void LayoutPopupMenuPopup(TObject* sender);
    void XYAxesReverseMenuItemClick(TObject* sender);
    void AddXAxisMenuItemClick(TObject* sender);
    void AddYAxisMenuItemClick(TObject* sender);
    void AddLabelMenuItemClick(TObject* sender);
    void DeleteMenuItemClick(TObject* sender);
    void VisibleMenuItemClick(TObject* sender);
    void EditMenuItemClick(TObject* sender);

    // --- the handlers by the names the window binds them under
    void ChannelListBoxClick(TObject*) { ListBoxClick(TgPlotEditorKind::Channel); }
    void DataCursorListBoxClick(TObject*) { ListBoxClick(TgPlotEditorKind::DataCursor); }
    void LimitListBoxClick(TObject*) { ListBoxClick(TgPlotEditorKind::Limit); }
    void LabelListBoxClick(TObject*) { ListBoxClick(TgPlotEditorKind::Label); }
    void XAxisListBoxClick(TObject*) { ListBoxClick(TgPlotEditorKind::XAxis); }
    void YAxisListBoxClick(TObject*) { ListBoxClick(TgPlotEditorKind::YAxis); }
    void LegendListBoxClick(TObject*) { ListBoxClick(TgPlotEditorKind::Legend); }
    void TableListBoxClick(TObject*) { ListBoxClick(TgPlotEditorKind::Table); }
    void ToolBarListBoxClick(TObject*) { ListBoxClick(TgPlotEditorKind::ToolBar); }
    void DataViewListBoxClick(TObject*) { ListBoxClick(TgPlotEditorKind::DataView); }
    void ChannelListBoxGetData(int index, bool& drawColorBox, TColor& color, std::string& text) {
        ListGetData(TgPlotEditorKind::Channel, index, drawColorBox, color, text);
    }
    void DataCursorListBoxGetData(int index, bool& drawColorBox, TColor& color, std::string& text) {
        ListGetData(TgPlotEditorKind::DataCursor, index, drawColorBox, color, text);
    }
    void LimitListBoxGetData(int index, bool& drawColorBox, TColor& color, std::string& text) {
        ListGetData(TgPlotEditorKind::Limit, index, drawColorBox, color, text);
    }
    void LabelListBoxGetData(int index, bool& drawColorBox, TColor& color, std::string& text) {
        ListGetData(TgPlotEditorKind::Label, index, drawColorBox, color, text);
    }
    void XAxisListBoxGetData(int index, bool& drawColorBox, TColor& color, std::string& text) {
        ListGetData(TgPlotEditorKind::XAxis, index, drawColorBox, color, text);
    }
    void YAxisListBoxGetData(int index, bool& drawColorBox, TColor& color, std::string& text) {
        ListGetData(TgPlotEditorKind::YAxis, index, drawColorBox, color, text);
    }
    void LegendListBoxGetData(int index, bool& drawColorBox, TColor& color, std::string& text) {
        ListGetData(TgPlotEditorKind::Legend, index, drawColorBox, color, text);
    }
    void TableListBoxGetData(int index, bool& drawColorBox, TColor& color, std::string& text) {
        ListGetData(TgPlotEditorKind::Table, index, drawColorBox, color, text);
    }
    void ToolBarListBoxGetData(int index, bool& drawColorBox, TColor& color, std::string& text) {
        ListGetData(TgPlotEditorKind::ToolBar, index, drawColorBox, color, text);
    }
    void DataViewListBoxGetData(int index, bool& drawColorBox, TColor& color, std::string& text) {
        ListGetData(TgPlotEditorKind::DataView, index, drawColorBox, color, text);
    }
    void gChannelAddButtonClick(TObject*) { AddButtonClick(TgPlotEditorKind::Channel); }
    void gDataCursorAddButtonClick(TObject*) { AddButtonClick(TgPlotEditorKind::DataCursor); }
    void gLimitAddButtonClick(TObject*) { AddButtonClick(TgPlotEditorKind::Limit); }
    void gLabelAddButtonClick(TObject*) { AddButtonClick(TgPlotEditorKind::Label); }
    void gTableAddButtonClick(TObject*) { AddButtonClick(TgPlotEditorKind::Table); }
    void XAxesAddButtonClick(TObject*) { AddButtonClick(TgPlotEditorKind::XAxis); }
    void YAxesAddButtonClick(TObject*) { AddButtonClick(TgPlotEditorKind::YAxis); }
    void ChannelRemoveButtonClick(TObject*) { RemoveButtonClick(TgPlotEditorKind::Channel); }
    void DataCursorRemoveButtonClick(TObject*) { RemoveButtonClick(TgPlotEditorKind::DataCursor); }
    void LimitRemoveButtonClick(TObject*) { RemoveButtonClick(TgPlotEditorKind::Limit); }
    void LabelRemoveButtonClick(TObject*) { RemoveButtonClick(TgPlotEditorKind::Label); }
    void TableRemoveButtonClick(TObject*) { RemoveButtonClick(TgPlotEditorKind::Table); }
    void XAxisRemoveButtonClick(TObject*) { RemoveButtonClick(TgPlotEditorKind::XAxis); }
    void YAxisRemoveButtonClick(TObject*) { RemoveButtonClick(TgPlotEditorKind::YAxis); }
    void ChannelChange(TObject*) { PageChange(TgPlotEditorKind::Channel); }
    void DataCursorChange(TObject*) { PageChange(TgPlotEditorKind::DataCursor); }
    void LimitChange(TObject*) { PageChange(TgPlotEditorKind::Limit); }
    void LabelChange(TObject*) { PageChange(TgPlotEditorKind::Label); }
    void XAxisChange(TObject*) { PageChange(TgPlotEditorKind::XAxis); }
    void YAxisChange(TObject*) { PageChange(TgPlotEditorKind::YAxis); }
    void LegendChange(TObject*) { PageChange(TgPlotEditorKind::Legend); }
    void TableChange(TObject*) { PageChange(TgPlotEditorKind::Table); }
    void ToolBarChange(TObject*) { PageChange(TgPlotEditorKind::ToolBar); }
    void DataViewChange(TObject*) { PageChange(TgPlotEditorKind::DataView); }
    void XAxisCursorCopyDefaultButtonClick(TObject*) {
        CopyDefaultButtonClick(TgPlotEditorKind::XAxis, true);
    }
    void XAxisLegendCopyDefaultButtonClick(TObject*) {
        CopyDefaultButtonClick(TgPlotEditorKind::XAxis, false);
    }
    void YAxisCursorCopyDefaultButtonClick(TObject*) {
        CopyDefaultButtonClick(TgPlotEditorKind::YAxis, true);
    }
    void YAxisLegendCopyDefaultButtonClick(TObject*) {
        CopyDefaultButtonClick(TgPlotEditorKind::YAxis, false);
    }

    // --- the frame
    TPageControl* PageControl = nullptr;
    TTabSheet* GeneralTabSheet = nullptr;
    TTabSheet* LayoutTabSheet = nullptr;
    TTabSheet* ChannelsTabSheet = nullptr;
    TTabSheet* DataCursorTabSheet = nullptr;
    TTabSheet* LimitTabSheet = nullptr;
    TTabSheet* LabelsTabSheet = nullptr;
    TTabSheet* XAxesTabSheet = nullptr;
    TTabSheet* YAxesTabSheet = nullptr;
    TTabSheet* LegendTabSheet = nullptr;
    TTabSheet* TablesTabSheet = nullptr;
    TTabSheet* ToolBarTabSheet = nullptr;
    TTabSheet* DataViewTabSheet = nullptr;
    TgComponentEditorPageControl* ControlPageControl = nullptr;
    TPanel* ToolBarEditPanel = nullptr;
    TgPlotLayoutViewer* LayoutViewer = nullptr;
    TPopupMenu* LayoutPopupMenu = nullptr;
    TMenuItem* XYAxesReverseMenuItem = nullptr;
    TMenuItem* AddXAxisMenuItem = nullptr;
    TMenuItem* AddYAxisMenuItem = nullptr;
    TMenuItem* AddLabelMenuItem = nullptr;
    TMenuItem* DeleteMenuItem = nullptr;
    TMenuItem* VisibleMenuItem = nullptr;
    TMenuItem* EditMenuItem = nullptr;

private:
    // The Control page from the plot-wide settings the master manager filled, before showing.
    void FillControlPageForShow();
    struct KindPage {
        TgComponentEditorListBox* list = nullptr;
        TgComponentEditorButton* add = nullptr;
        TgComponentEditorButton* remove = nullptr;
        TTabSheet* sheet = nullptr;
    };
    KindPage& Page(TgPlotEditorKind kind) { return FPages[static_cast<std::size_t>(kind)]; }
    const KindPage& Page(TgPlotEditorKind kind) const { return FPages[static_cast<std::size_t>(kind)]; }

    void BuildFrame();
    void BuildObjectPage(TgPlotEditorKind kind, TTabSheet* sheet, const char* listName, const char* addName,
                         const char* removeName);
    void BuildHiddenList(TgPlotEditorKind kind, TWinControl* parent, const char* groupName,
                         const char* editName);
    void BuildControlFileIO();
    void BuildChannelFileIO();
    void BuildChannelStats();
    void BuildLayoutPage();
    void BindNameComboBoxes();
    void BindCopyDefaultButtons();

    void UpdateEdit(TgPlotEditorKind kind);
    void ListGetData(TgPlotEditorKind kind, int index, bool& drawColorBox, TColor& color, std::string& text);
    void SetEditControls(const std::string& prefix, bool enable);
    // Refills a name combo box: an optional head placeholder, the names, an optional tail placeholder;
    // the shown text is kept when it is still there.
    void FillNameComboBox(const std::string& comboName, TgPlotObjectManagerCustom* manager, const char* head,
                          const char* tail);
    std::string Translate(const std::string& text) const;
    void SetChannelLogControls();
    TgPlotChannelCustom* SelectedChannel() const;
    // Runs a file or log action; a failure reaches the user as the program's error message.
    void RunAction(const std::function<void()>& action);
    template <class T> T* Find(const std::string& name) const {
        return dynamic_cast<T*>(FindComponent(name));
    }

    std::array<KindPage, 10> FPages{};
    TgPlotEditorSettings FSettings;
    TgPlotMasterManager* FMaster = nullptr;
    TgPlotComponent* FPlot = nullptr;
    TgPlotLayoutObject* FRightClickObject = nullptr;
    TNotifyEvent FOnCloseHandler;
    std::function<void(TComponent*)> FTranslationMethod;
    bool FIsClosing = false;
    // The close handler ran (the master manager tells the plot there).
    bool FCloseReported = false;
};

// Installs the property editor and the print preview (and the OPC explorer) as the plot library's
// windows; a program that lets users edit its plots calls it once at start.
void gRegisterPlotEditors();

} // namespace kv
