#pragma once
// The plot control: the windowed control that owns a plot's objects (axes, channels, data views, data
// cursors, legends, toolbars, tables, labels, limits, annotations, translations) through one master
// manager, carries them in the window layout, lays them out around the data view and paints them,
// routes mouse and keyboard input to them, and raises the plot's events on their behalf.
//
// Every object kind asks what it needs of the plot through a small interface declared with the kind
// (IgPlotAxisHost, IgPlotChannelHost, ...); the plot control implements all of them.
//
// The file, log and data operations are plot/gPlotComponentFiles.cpp; image export, the clipboard and
// printing plot/gPlotComponentExport.cpp.

#include "plot/gDraw.h"
#include "plot/gPlotAnnotation.h"
#include "plot/gPlotAxis.h"
#include "plot/gPlotChannel.h"
#include "plot/gPlotDataCursor.h"
#include "plot/gPlotDataView.h"
#include "plot/gPlotLabel.h"
#include "plot/gPlotLegend.h"
#include "plot/gPlotLimit.h"
#include "plot/gPlotMasterManager.h"
#include "plot/gPlotObjects.h"
#include "plot/gPlotTable.h"
#include "plot/gPlotToolBar.h"
#include "plot/gVCLComponent.h"

#include "platform/gui/Dialogs.h"
#include "platform/gui/Graphics.h"
#include "platform/gui/ImageList.h"
#include "platform/gui/Menus.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QPainter;

namespace kv {

class TgPlotLayoutManager;
class TgPlotTranslationManager;

class EWriteError : public EKvError {
public:
    using EKvError::EKvError;
};

enum class TgPlotDataFileFormat { ipdffText, ipdffCompactInterval };
std::vector<std::string> EnumIdents(TgPlotDataFileFormat);
enum class TgPlotImageFormatStyle { ipifBitmap, ipifEnhancedMetaFile, ipifJPEG, ipifPNG };
std::vector<std::string> EnumIdents(TgPlotImageFormatStyle);
std::vector<std::string> EnumIdents(TgFillDirection);

// --- event types (the sender is the plot; Index is the object's index in its own manager)
using TgPlotObjectEvent = std::function<void(TObject* sender, int index)>;
using TgPlotObjectMouseEvent =
    std::function<void(TObject* sender, int index, TMouseButton button, TShiftState shift, int x, int y)>;
using TgPlotObjectMouseMoveEvent =
    std::function<void(TObject* sender, int index, TShiftState shift, int x, int y)>;
using TgPlotObjectMouseWheelEvent =
    std::function<void(TObject* sender, int index, int wheelDelta, TShiftState shift, int x, int y)>;
using TgPlotDataPointMouseEvent = std::function<void(TObject* sender, int channelIndex, int dataIndex,
                                                     TMouseButton button, TShiftState shift, int x, int y)>;
using TgPlotDataPointMouseMoveEvent =
    std::function<void(TObject* sender, int channelIndex, int dataIndex, TShiftState shift, int x, int y)>;
using TgPlotClickDataPointEvent = std::function<void(TObject* sender, int channelIndex, int dataIndex)>;
using TgPlotDataPointMovedEvent = std::function<void(TObject* sender, int channelIndex, int dataIndex,
                                                     double oldX, double oldY, double newX, double newY)>;
using TgPlotObjectDoubleValueChangeEvent =
    std::function<void(TObject* sender, int index, double oldValue, double newValue)>;
using TgPlotAxesMinSpanChangeEvent = std::function<void(TObject* sender, int index, double oldMin,
                                                        double oldSpan, double newMin, double newSpan)>;
using TgPlotAxesCustomizeLabelEvent =
    std::function<void(TObject* sender, int index, double value, std::string& label)>;
using TgPlotObjectCustomizeTextEvent = std::function<void(TObject* sender, int index, std::string& text)>;
using TgPlotDataPointCustomizeTextEvent =
    std::function<void(TObject* sender, int channelIndex, int dataPointIndex, std::string& text)>;
using TgPlotPrintPageEvent = std::function<void(TObject* sender, int pageIndex, bool lastPage)>;
using TgPlotObjectGetMouseCursorEvent = std::function<void(TObject* sender, int index, TCursor& cursor)>;
using TgPlotPopupMenuEvent =
    std::function<void(TObject* sender, int index, bool& cancel, int screenX, int screenY)>;
using TgPlotZoomBoxEvent = std::function<void(TObject* sender, TRect& zoomRect, bool& cancel)>;
using TgPlotToolBarButtonEvent =
    std::function<void(TObject* sender, int index, TgPlotToolBarButtonType buttonType)>;
using TgPlotToolBarButtonBeforeEvent =
    std::function<void(TObject* sender, int index, TgPlotToolBarButtonType buttonType, bool& cancel)>;

class TgPlotComponent;

// The printer a plot prints on: the system's through Qt print support (a PDF file in the platform's
// print folder when no printer exists), or one a test puts in place through PrinterFactory.
class TgPlotPrinter {
public:
    virtual ~TgPlotPrinter() = default;
    // Selects the named printer when the printer list holds it.
    virtual void SelectPrinter(const std::string& name) = 0;
    virtual void SetOrientation(TPrinterOrientation orientation) = 0;
    virtual void SetTitle(const std::string& title) = 0;
    // The print dialog; false when cancelled.
    virtual bool ExecuteDialog() = 0;
    // The paper in inches (as oriented), the resolution and the offset of the printable area.
    virtual double PaperWidthInches() = 0;
    virtual double PaperHeightInches() = 0;
    virtual int DpiX() = 0;
    virtual int DpiY() = 0;
    virtual int OffsetX() { return 0; }
    virtual int OffsetY() { return 0; }
    virtual void BeginDoc() = 0; // raises EKvError when the job cannot start
    virtual QPainter& Painter() = 0;
    virtual void NewPage() = 0;
    virtual void EndDoc() = 0;

    // Null: the system's printer. Tests put their own here.
    static std::function<std::unique_ptr<TgPlotPrinter>()> PrinterFactory;
    // Answers the system printer's dialog in place of a user (null: the real dialog).
    static std::function<bool(const std::string& title)> DialogHook;
    // The system's current printer, or null when there is none (no PDF stand-in).
    static std::unique_ptr<TgPlotPrinter> CurrentSystemPrinter();
};

// Opens the print preview of a plot modally; the preview form installs it. Without one PreviewChart
// does nothing.
using TgPlotPreviewRunner = std::function<void(TgPlotComponent& plot)>;
void gSetPlotPreviewRunner(TgPlotPreviewRunner runner);

class TgPlotComponent : public TgCustomComponent,
                        public TgPlotObjectHost,
                        public IgPlotAxisHost,
                        public IgPlotChannelHost,
                        public IgPlotDataViewHost,
                        public IgPlotObjectClick,
                        public IgPlotToolBarHost,
                        public IgPlotLegendHost,
                        public IgPlotImageListHost,
                        public IgPlotDataCursorHost {
    KV_CLASS(TgPlotComponent)
public:
    explicit TgPlotComponent(TComponent* owner);
    ~TgPlotComponent() override;

    TgPlotMasterManager* Master() const { return FMaster.get(); }
    TgPlotLayoutManager* LayoutManager() const;
    TgPlotObjectManager* PlotObjectManager() const;

    // ------------------------------------------------------------------------------------------------
    // Object access: count, item by index (an index out of range raises the manager's list error),
    // index and object by name (any letter case; -1 / null when none), add, delete, remove all.
    int ChannelCount() override;
    TgPlotChannelCustom* GetChannel(int index);
    int GetChannelIndexByName(const std::string& name);
    TgPlotChannelCustom* GetChannelByName(const std::string& name);
    virtual int AddChannel();
    virtual void DeleteChannel(int index);
    virtual void RemoveAllChannels();

    int XAxisCount() override;
    TgPlotAxis* GetXAxis(int index) override;
    int GetXAxisIndexByName(const std::string& name);
    TgPlotAxis* GetXAxisByName(const std::string& name) override;
    virtual int AddXAxis();
    virtual void DeleteXAxis(int index);
    virtual void RemoveAllXAxes();

    int YAxisCount() override;
    TgPlotAxis* GetYAxis(int index) override;
    int GetYAxisIndexByName(const std::string& name);
    TgPlotAxis* GetYAxisByName(const std::string& name) override;
    virtual int AddYAxis();
    virtual void DeleteYAxis(int index);
    virtual void RemoveAllYAxes();

    int DataViewCount();
    TgPlotDataView* GetDataView(int index);
    int GetDataViewIndexByName(const std::string& name);
    TgPlotDataView* GetDataViewByName(const std::string& name);
    virtual int AddDataView();
    virtual void DeleteDataView(int index);
    virtual void RemoveAllDataViews();

    int DataCursorCount() override;
    TgPlotDataCursor* GetDataCursor(int index) override;
    int GetDataCursorIndexByName(const std::string& name);
    TgPlotDataCursor* GetDataCursorByName(const std::string& name);
    virtual int AddDataCursor();
    virtual void DeleteDataCursor(int index);
    virtual void RemoveAllDataCursors();

    int LegendCount();
    TgPlotLegend* GetLegend(int index);
    int GetLegendIndexByName(const std::string& name);
    TgPlotLegend* GetLegendByName(const std::string& name);
    virtual int AddLegend();
    virtual void DeleteLegend(int index);
    virtual void RemoveAllLegends();

    int TableCount();
    TgPlotTable* GetTable(int index);
    int GetTableIndexByName(const std::string& name);
    TgPlotTable* GetTableByName(const std::string& name);
    virtual int AddTable();
    virtual void DeleteTable(int index);
    virtual void RemoveAllTables();

    int ToolBarCount();
    TgPlotToolBar* GetToolBar(int index);
    int GetToolBarIndexByName(const std::string& name);
    TgPlotToolBar* GetToolBarByName(const std::string& name);
    virtual int AddToolBar();
    virtual void DeleteToolBar(int index);
    virtual void RemoveAllToolBars();

    int LimitCount();
    TgPlotLimit* GetLimit(int index);
    int GetLimitIndexByName(const std::string& name);
    TgPlotLimit* GetLimitByName(const std::string& name);
    virtual int AddLimit();
    virtual void DeleteLimit(int index);
    virtual void RemoveAllLimits();

    int LabelCount();
    TgPlotLabel* GetLabel(int index);
    int GetLabelIndexByName(const std::string& name);
    TgPlotLabel* GetLabelByName(const std::string& name);
    virtual int AddLabel();
    // Raises "Label Index 0 can not be Deleted (Resevered for Title)" for the title (index 0).
    virtual void DeleteLabel(int index);
    // Keeps the title (label 0).
    virtual void RemoveAllLabels();

    int AnnotationCount();
    TgPlotAnnotation* GetAnnotation(int index);
    int GetAnnotationIndexByName(const std::string& name);
    TgPlotAnnotation* GetAnnotationByName(const std::string& name);
    // A new annotation with the plot's annotation defaults.
    virtual int AddAnnotation();
    virtual void DeleteAnnotation(int index);
    virtual void RemoveAllAnnotations();

    int TranslationCount();
    int AddTranslation(const std::string& originalString, const std::string& replacementString);
    virtual void DeleteTranslation(int index);
    virtual void RemoveAllTranslations();
    std::string GetTranslationOriginalString(int index);
    std::string GetTranslationReplacementString(int index);
    void LoadTranslationsFromFile(const std::string& fileName);
    void SaveTranslationsToFile(const std::string& fileName);

    // ------------------------------------------------------------------------------------------------
    // Layout control
    void DisableLayoutManager();
    void EnableLayoutManager();
    void RefreshLayoutManager();
    // Paints the whole plot once on a scratch bitmap of the control's size, so that every object's
    // rectangle is current.
    void ReCalcLayout();

    // Tracking of every X axis, then every Y axis.
    void EnableAllTracking() override;
    void DisableAllTracking() override;

    // ------------------------------------------------------------------------------------------------
    // Data, files, export, printing, logging
    // Ends logging when it is active, then empties every channel.
    void ClearAllData();
    double GetNow() const;
    // Puts the plot, without toolbars and selection marks, on the clipboard in CopyToClipBoardFormat
    // (the vector form as SVG, with the picture beside it).
    void CopyToClipBoard() override;
    // The plot as a picture owned by the control and reused by later calls.
    TPicture* GetSnapShotPicture();
    // Runs the image save dialog; the file's extension (any case) picks the format, else the chosen
    // filter does and its extension is added.
    void Save() override;
    // Writes the plot in the format of the file name's extension (bmp, svg, emf, jpg, jpeg, png; any
    // case); false, writing nothing, for any other extension.
    bool SaveImageByExtension(const std::string& fileName);
    // Prints one page per span of X axis 0 from PrintXStart to PrintXStop (one page without an X axis).
    void PrintChart() override;
    // Sets the height so that the control's aspect ratio is the paper's (the last print's paper, else
    // the current printer's; nothing without either).
    void PrintSizeToFillPage();
    // Sets X axis 0's span so that the printed X scale has the given minutes per millimetre.
    void PrintAdjustXSpanToMinutesPerMillimeter(double minutesPerMillimeter);
    void PreviewChart() override;
    // The plot property file: every object's lines under its kind's prefix and index, then the
    // control's own (the window layout's values, managers, image lists and data items, left out).
    // Loading replaces the objects (toolbars and the title label stay) and raises "Error Loading
    // Properties - ..." for a file of another type or with corrupt counts.
    void SavePropertiesToFile(const std::string& fileName) override;
    void LoadPropertiesFromFile(const std::string& fileName) override;
    void SaveAnnotationsToFile(const std::string& fileName);
    void LoadAnnotationsFromFile(const std::string& fileName);
    // Every channel's points as text columns or as compact binary (DataFileFormat); loading appends.
    void SaveDataToFile(const std::string& fileName);
    void LoadDataFromFile(const std::string& fileName);
    // Raises "Log File Name not Defined" without a log file name, "Logging Already Active" while on.
    void LogActivate(bool append);
    // Raises "Logging not Active" while off.
    void LogDeactivate();
    // One row (one dimension: element i to channel i - low, at xValue) or a block of rows (two
    // dimensions: [channel][row], each X the channel's last X plus xValue); rows are logged.
    void AddDataArray(double xValue, const TgVariantArray& data);
    // Appends the source's points startIndex..stopIndex, with their null and empty flags.
    void TransferChannelData(int sourceChannelIndex, int destinationChannelIndex, int startIndex,
                             int stopIndex);

    // ------------------------------------------------------------------------------------------------
    // Image lists 0..2 (any other index raises "ImageList Index must be 0-2")
    TImageList* GetImageList(int index) override;
    void ImageListClear(int imageListIndex);
    // Adds a picture: the first sets the list's size; a smaller one is centred on a picture of the list's
    // size; one larger in one direction and smaller in the other raises.
    void ImageListAdd(int imageListIndex, const TBitmap& bitmap);
    // The picture of a resource file (below ":/kv/").
    void ImageListLoadFromResourceName(int imageListIndex, const std::string& resName);

    // ------------------------------------------------------------------------------------------------
    // Toolbar select mode
    bool GetSelectModeActive() override;
    void SyncSelectMode(bool on) override;
    char GetDataFileSeparatorChar() override;

    // ------------------------------------------------------------------------------------------------
    // Published properties
    int DataViewZHorz() const;
    void SetDataViewZHorz(int value);
    int DataViewZVert() const;
    void SetDataViewZVert(int value);
    bool XYAxesReverse() const;
    void SetXYAxesReverse(bool value);
    bool UserCanEditObjects() const;
    void SetUserCanEditObjects(bool value);
    bool UserCanAddRemoveChannels() const { return FUserCanAddRemoveChannels; }
    void SetUserCanAddRemoveChannels(bool value) { FUserCanAddRemoveChannels = value; }
    int OuterMarginLeft() const { return FOuterMarginLeft; }
    void SetOuterMarginLeft(int value) { SetIntegerProperty(value, FOuterMarginLeft, 0); }
    int OuterMarginTop() const { return FOuterMarginTop; }
    void SetOuterMarginTop(int value) { SetIntegerProperty(value, FOuterMarginTop, 0); }
    int OuterMarginRight() const { return FOuterMarginRight; }
    void SetOuterMarginRight(int value) { SetIntegerProperty(value, FOuterMarginRight, 0); }
    int OuterMarginBottom() const { return FOuterMarginBottom; }
    void SetOuterMarginBottom(int value) { SetIntegerProperty(value, FOuterMarginBottom, 0); }
    TPrinterOrientation PrintOrientation() const { return FPrintOrientation; }
    void SetPrintOrientation(TPrinterOrientation value) { FPrintOrientation = value; }
    double PrintMarginLeft() const { return FPrintMarginLeft; }
    void SetPrintMarginLeft(double value) { FPrintMarginLeft = value; }
    double PrintMarginTop() const { return FPrintMarginTop; }
    void SetPrintMarginTop(double value) { FPrintMarginTop = value; }
    double PrintMarginRight() const { return FPrintMarginRight; }
    void SetPrintMarginRight(double value) { FPrintMarginRight = value; }
    double PrintMarginBottom() const { return FPrintMarginBottom; }
    void SetPrintMarginBottom(double value) { FPrintMarginBottom = value; }
    bool PrintShowDialog() const { return FPrintShowDialog; }
    void SetPrintShowDialog(bool value) { FPrintShowDialog = value; }
    const std::string& PrintDocumentName() const { return FPrintDocumentName; }
    void SetPrintDocumentName(const std::string& value) { FPrintDocumentName = value; }
    const std::string& PrinterName() const { return FPrinterName; }
    void SetPrinterName(const std::string& value) { FPrinterName = value; }
    int HintsPause() const { return FHintsPause; }
    void SetHintsPause(int value) { FHintsPause = value; }
    int HintsHidePause() const { return FHintsHidePause; }
    void SetHintsHidePause(int value) { FHintsHidePause = value; }
    bool HintsShow() const { return FHintsShow; }
    void SetHintsShow(bool value) { FHintsShow = value; }
    TFont* HintsFont() const { return FHintsFont.get(); }
    void SetHintsFont(const TFont* value) { FHintsFont->Assign(value); }
    TgPlotFormStyle EditorFormStyle() const { return FEditorFormStyle; }
    void SetEditorFormStyle(TgPlotFormStyle value) { FEditorFormStyle = value; }
    TgPlotExportFormat CopyToClipBoardFormat() const { return FCopyToClipBoardFormat; }
    void SetCopyToClipBoardFormat(TgPlotExportFormat value) { FCopyToClipBoardFormat = value; }
    // Label 0's Visible, Caption, Font and MarginBottom; without labels a write does nothing and the
    // reads give false, "", the control's font and 0.
    bool TitleVisible() const;
    void SetTitleVisible(bool value);
    std::string TitleText() const;
    void SetTitleText(const std::string& value);
    TFont* TitleFont() const;
    void SetTitleFont(const TFont* value);
    double TitleMargin() const;
    void SetTitleMargin(double value);
    const std::string& LogFileName() const { return FLogFileName; }
    // Raises "Log File Name can not be changed while logging is active." for a new name while logging.
    void SetLogFileName(const std::string& value);
    int LogBufferSize() const { return FLogBufferSize; }
    void SetLogBufferSize(int value) { FLogBufferSize = value; }
    bool LoggingActive() const { return FLoggingActive; }
    TFont* AnnotationDefaultFont() const { return FAnnotationDefaultFont.get(); }
    void SetAnnotationDefaultFont(const TFont* value) { FAnnotationDefaultFont->Assign(value); }
    TBrushStyle AnnotationDefaultBrushStlye() const { return FAnnotationDefaultBrushStlye; }
    void SetAnnotationDefaultBrushStlye(TBrushStyle value) { FAnnotationDefaultBrushStlye = value; }
    TColor AnnotationDefaultBrushColor() const { return FAnnotationDefaultBrushColor; }
    void SetAnnotationDefaultBrushColor(TColor value) { FAnnotationDefaultBrushColor = value; }
    TPenStyle AnnotationDefaultPenStlye() const { return FAnnotationDefaultPenStlye; }
    void SetAnnotationDefaultPenStlye(TPenStyle value) { FAnnotationDefaultPenStlye = value; }
    TColor AnnotationDefaultPenColor() const { return FAnnotationDefaultPenColor; }
    void SetAnnotationDefaultPenColor(TColor value) { FAnnotationDefaultPenColor = value; }
    int AnnotationDefaultPenWidth() const { return FAnnotationDefaultPenWidth; }
    void SetAnnotationDefaultPenWidth(int value) { FAnnotationDefaultPenWidth = value; }
    TgPlotReferenceType AnnotationDefaultReference() const { return FAnnotationDefaultReference; }
    void SetAnnotationDefaultReference(TgPlotReferenceType value) { FAnnotationDefaultReference = value; }
    TgPlotReferenceIndividual AnnotationDefaultReferencePositionX() const {
        return FAnnotationDefaultReferencePositionX;
    }
    void SetAnnotationDefaultReferencePositionX(TgPlotReferenceIndividual value) {
        FAnnotationDefaultReferencePositionX = value;
    }
    TgPlotReferenceIndividual AnnotationDefaultReferencePositionY() const {
        return FAnnotationDefaultReferencePositionY;
    }
    void SetAnnotationDefaultReferencePositionY(TgPlotReferenceIndividual value) {
        FAnnotationDefaultReferencePositionY = value;
    }
    TgPlotReferenceIndividual AnnotationDefaultReferenceSizeX() const {
        return FAnnotationDefaultReferenceSizeX;
    }
    void SetAnnotationDefaultReferenceSizeX(TgPlotReferenceIndividual value) {
        FAnnotationDefaultReferenceSizeX = value;
    }
    TgPlotReferenceIndividual AnnotationDefaultReferenceSizeY() const {
        return FAnnotationDefaultReferenceSizeY;
    }
    void SetAnnotationDefaultReferenceSizeY(TgPlotReferenceIndividual value) {
        FAnnotationDefaultReferenceSizeY = value;
    }
    bool ClipAnnotationsToAxes() const { return FClipAnnotationsToAxes; }
    void SetClipAnnotationsToAxes(bool value) { SetBooleanProperty(value, FClipAnnotationsToAxes, 0); }
    bool BackGroundGradientEnabled() const { return FBackGroundGradientEnabled; }
    void SetBackGroundGradientEnabled(bool value) {
        SetBooleanProperty(value, FBackGroundGradientEnabled, 0);
    }
    TgFillDirection BackGroundGradientDirection() const { return FBackGroundGradientDirection; }
    void SetBackGroundGradientDirection(TgFillDirection value);
    TColor BackGroundGradientStartColor() const { return FBackGroundGradientStartColor; }
    void SetBackGroundGradientStartColor(TColor value) {
        SetColorProperty(value, FBackGroundGradientStartColor, 0);
    }
    TColor BackGroundGradientStopColor() const { return FBackGroundGradientStopColor; }
    void SetBackGroundGradientStopColor(TColor value) {
        SetColorProperty(value, FBackGroundGradientStopColor, 0);
    }
    TgPlotDataFileColumnSeparator DataFileColumnSeparator() const { return FDataFileColumnSeparator; }
    // Raises "Data File Column Seperator can not be changed while logging active" for a new value while
    // logging.
    void SetDataFileColumnSeparator(TgPlotDataFileColumnSeparator value);
    TgPlotDataFileFormat DataFileFormat() const { return FDataFileFormat; }
    // Raises "Data File Format can not be changed while logging active" for a new value while logging.
    void SetDataFileFormat(TgPlotDataFileFormat value);
    const std::string& DefaultSaveImageDirectory() const { return FDefaultSaveImageDirectory; }
    void SetDefaultSaveImageDirectory(const std::string& value) { FDefaultSaveImageDirectory = value; }
    TgPlotImageFormatStyle DefaultSaveImageFormat() const { return FDefaultSaveImageFormat; }
    void SetDefaultSaveImageFormat(TgPlotImageFormatStyle value) { FDefaultSaveImageFormat = value; }
    const std::string& DefaultPropertyDirectory() const { return FDefaultPropertyDirectory; }
    void SetDefaultPropertyDirectory(const std::string& value) { FDefaultPropertyDirectory = value; }
    const std::string& DefaultDataDirectory() const { return FDefaultDataDirectory; }
    void SetDefaultDataDirectory(const std::string& value) { FDefaultDataDirectory = value; }
    const std::string& DefaultAnnotationDirectory() const { return FDefaultAnnotationDirectory; }
    void SetDefaultAnnotationDirectory(const std::string& value) { FDefaultAnnotationDirectory = value; }
    bool DifferentialPropertySave() const { return FDifferentialPropertySave; }
    void SetDifferentialPropertySave(bool value) { FDifferentialPropertySave = value; }
    bool GetDifferentialPropertySave() override { return FDifferentialPropertySave; }

    // Public read-only and read-write state
    bool PaintingActive() const { return FPaintingActive; }
    const std::string& LastPropertiesFileName() const { return FLastPropertiesFileName; }
    const std::string& LastDataFileName() const { return FLastDataFileName; }
    double PrinterPaperWidthInches() const { return FPrinterPaperWidthInches; }
    double PrinterPaperHeightInches() const { return FPrinterPaperHeightInches; }
    double PrinterPaperWidthCentimeters() const { return FPrinterPaperWidthCentimeters; }
    double PrinterPaperHeightCentimeters() const { return FPrinterPaperHeightCentimeters; }
    int PrinterPaperWidthPixels() const { return FPrinterPaperWidthPixels; }
    int PrinterPaperHeightPixels() const { return FPrinterPaperHeightPixels; }
    double PrintXStart() const { return FPrintXStart; }
    void SetPrintXStart(double value) { FPrintXStart = value; }
    double PrintXStop() const { return FPrintXStop; }
    void SetPrintXStop(double value) { FPrintXStop = value; }
    TPopupMenu* PlotPopupMenu() const { return FPopupMenu.get(); }
    const TgHintData& HintData() const { return FHintData; }
    bool HintShowing() const { return FHintShowing; }
    bool MouseDownActive() const { return FMouseDown; }
    TgPlotObject* MouseDownObject() const { return FMouseDownObject; }
    TgPlotObject* LastMouseOverObject() const { return FLastMouseOverObject; }
    TgPlotObject* LastMouseClickObject() const { return FLastMouseClickObject; }
    bool SelectingActive() const { return FSelectingActive; }
    bool DblClickActive() const { return FDBLClickActive; }
    bool MouseCaptured() const { return FMouseCaptured; }
    bool JustReleasedCapture() const { return FJustReleasedCapture; }
    // The rectangles the centred axes' labels took in the current paint.
    const std::vector<TRect>& AxesCollisionList() const { return FAxesCollisionList; }
    // The paint order of the data view's layer of the last paint: key, then the object.
    const std::vector<std::pair<std::string, TgPlotObject*>>& LayerList() const { return FLayerList; }

    // ------------------------------------------------------------------------------------------------
    // Layout streaming: the managers ("ToolBarManager", ..., "TranslationManager") and the image lists
    // ("ImageList0".."ImageList2") travel as text values of the layout, written only when not empty.
    // Reading the first of them switches the layout manager off and holds repaints until Loaded, which
    // also keeps toolbar 0 out of the title's band.
    // Raises EWriteError "Failed to write ImageList data to stream" / EReadError "Failed to read
    // ImageList data from stream".
    std::string ImageListText(int index) const;
    void SetImageListText(int index, const std::string& text);
    std::string ManagerText(TgPlotObjectManagerCustom* manager) const;
    void SetManagerText(TgPlotObjectManagerCustom* manager, const std::string& text);
    std::string TranslationManagerText() const;
    void SetTranslationManagerText(const std::string& text);
    // Toolbar 0 and label 0 in one band (same orientation and level): the toolbar moves one level out.
    void SeparateToolBarFromTitle();

    void Loaded() override;

    // ------------------------------------------------------------------------------------------------
    // Paint
    void gPaint(TCanvas& canvas) override;
    void Paint(TCanvas& canvas) override;
    // The layout pass: bands around the data view, spans along them, the data view fitted to the axes.
    void CalcLayout(TCanvas& canvas);
    // The axes' label collision list of the current paint: an empty list accepts; otherwise a rectangle
    // is refused when it meets a listed one or leaves data view 0. Accepted rectangles are listed.
    bool CheckAxesCollision(const TRect& rect);
    void AddAxesCollisionRect(const TRect& rect);
    // The visible layout objects of each side, as the last layout pass found them.
    const std::vector<TgPlotLayoutObject*>& VisibleListLeft() const { return FVisibleListLeft; }
    const std::vector<TgPlotLayoutObject*>& VisibleListRight() const { return FVisibleListRight; }
    const std::vector<TgPlotLayoutObject*>& VisibleListTop() const { return FVisibleListTop; }
    const std::vector<TgPlotLayoutObject*>& VisibleListBottom() const { return FVisibleListBottom; }

    // ------------------------------------------------------------------------------------------------
    // Input
    void gMouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void gMouseMove(TShiftState shift, int x, int y) override;
    void gMouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void gDblClick() override;
    bool gMouseWheel(int wheelDelta, TShiftState shift, TPoint mousePos) override;
    void gKeyDown(std::uint16_t& key, TShiftState shift) override;
    void gWantSpecialKey(std::uint16_t& charCode, std::int32_t& result) override;
    TgPlotObject* GetObjectAtPoint(const TgPlotMouseData& mouseData);
    void HintTimerTick();
    void HideHint();
    // Another window (or this control, when `window` is this) took the mouse capture.
    void HandleCaptureChanged(TControl* window);
    // Input of axes whose MasterUIInput is set, passed to the other axes of the same direction once.
    void DoMasterAxisMouseLeft(TgPlotAxis* axis, const TgPlotMouseData& mouseData);
    void DoMasterAxisMouseMove(TgPlotAxis* axis, const TgPlotMouseData& mouseData);
    void DoMasterAxisMouseUp(TgPlotAxis* axis, const TgPlotMouseData& mouseData);
    void DoMasterAxisMouseWheel(TgPlotAxis* axis, int wheelDelta, TShiftState shift, int x, int y);
    void DoMasterAxisKeyDown(TgPlotAxis* axis, std::uint16_t& key, TShiftState shift);

    // ------------------------------------------------------------------------------------------------
    // Notifications from the master manager
    virtual void NotificationInsertObject(TObject* object);
    virtual void NotificationRemoveObject(TObject* object);
    virtual void NotificationChangeObject(TObject* sender);

    // ------------------------------------------------------------------------------------------------
    // Event raisers (each fires only when its handler is set; most not while the plot loads)
    void DoClickObject(TgPlotObject* object, bool dblClick);
    void DoGetMouseCursor(TgPlotObject* object, TCursor& cursor);
    void DoAfterOpenEditor(TObject* sender);
    void DoAfterCloseEditor(TObject* sender);
    void DoLimitLine1PositionChange(TgPlotObject* limit, double oldValue, double newValue);
    void DoLimitLine2PositionChange(TgPlotObject* limit, double oldValue, double newValue);
    void DoDataCursorChange(TgPlotObject* cursor) override;
    void DoDataCursorCustomizeHint(TgPlotObject* cursor, std::string& text);
    void DoAnnotationCoordinatesChange(TgPlotObject* annotation);
    void DoAnnotationMoveUser(TgPlotObject* annotation);
    void DoAnnotationResizeUser(TgPlotObject* annotation);
    void DoAnnotationCoordinatesChangeFinished(TgPlotObject* annotation);
    // The user's interaction with the axis ended: the range it had at the press, and now.
    void DoAxisMinSpanChangeFinished(TgPlotAxis* axis, double oldMin, double oldSpan);

    // --- TgPlotObjectHost
    void DoObjectMouseDown(TgPlotObject* object, TMouseButton button, TShiftState shift, int x,
                           int y) override;
    void DoObjectMouseMove(TgPlotObject* object, TShiftState shift, int x, int y) override;
    void DoObjectMouseUp(TgPlotObject* object, TMouseButton button, TShiftState shift, int x, int y) override;
    void DoObjectMouseWheel(TgPlotObject* object, int wheelDelta, TShiftState shift,
                            TPoint mousePos) override;
    void DoObjectPopupMenu(TgPlotObject* object, bool& handled, int screenX, int screenY) override;
    void DoObjectGotFocus(TgPlotObject* object) override;
    void DoObjectLostFocus(TgPlotObject* object) override;
    std::string FindReplacement(const std::string& text) override;

    // --- IgPlotAxisHost
    bool PlotIsLoading() const override { return IsLoading(); }
    void DoAxisMinChange(TgPlotAxis* axis, double oldValue, double newValue) override;
    void DoAxisSpanChange(TgPlotAxis* axis, double oldValue, double newValue) override;
    void DoAxisMinSpanChange(TgPlotAxis* axis, double oldMin, double oldSpan, double newMin,
                             double newSpan) override;
    void DoAxisCustomizeLabel(TgPlotAxis* axis, double value, std::string& label) override;
    void DoAxisCustomizeHint(TgPlotAxis* axis, std::string& text) override;
    void RegisterLabelRect(const TRect& rect) override { AddAxesCollisionRect(rect); }
    bool TestLabelRect(const TRect& rect) override { return CheckAxesCollision(rect); }
    TCanvas* HintCanvas() override;
    bool GetChannelsRange(TgPlotAxis* axis, bool running, double& lo, double& hi) override;

    // --- IgPlotChannelHost
    TgPlotDataView* GetFirstDataView() override;
    int GetChannelIndex(const TgPlotObject* channel) override;
    TFont* GetHintsFont() override { return FHintsFont.get(); }
    void DoMouseDownDataPoint(int channelIndex, int dataIndex, TMouseButton button, TShiftState shift, int x,
                              int y) override;
    void DoMouseMoveDataPoint(int channelIndex, int dataIndex, TShiftState shift, int x, int y) override;
    void DoMouseUpDataPoint(int channelIndex, int dataIndex, TMouseButton button, TShiftState shift, int x,
                            int y) override;
    void DoClickDataPoint(int channelIndex, int dataIndex, bool dblClick) override;
    void DoDataPointMoved(int channelIndex, int dataIndex, double oldX, double oldY, double newX,
                          double newY) override;
    void DoDataPointCustomizeHint(int channelIndex, int dataIndex, std::string& text) override;
    void DoClickChannel(int channelIndex, bool dblClick) override;
    void DoGetMouseCursorChannel(int channelIndex, TCursor& cursor) override;

    // --- IgPlotDataViewHost
    bool ToolBarSelectActive() override;
    bool ToolBarZoomBoxActive() override;
    void DoBeforeZoomBox(TRect& rect, bool& cancel) override;
    void DoClickDataView(TgPlotDataView* dataView, bool dblClick) override;
    void DoGetMouseCursorDataView(TgPlotDataView* dataView, TCursor& cursor) override;

    // --- IgPlotObjectClick
    void DoObjectClick(TgPlotObject* object) override;

    // --- IgPlotToolBarHost
    int GetToolBarIndex(const TgPlotToolBar* toolBar) override;
    void DoBeforeToolBarButtonClick(int index, TgPlotToolBarButtonType type, bool& cancel) override;
    void DoToolBarButtonClick(int index, TgPlotToolBarButtonType type) override;
    void DoToolBarCustomizeHint(int index, std::string& text) override;
    void ClearAllUserSelections() override;
    void EditProperties() override;

    // --- IgPlotLegendHost and IgPlotDataCursorHost
    TgPlotChannelCustom* GetChannelObject(int index) override { return GetChannel(index); }
    void DoClickLegend(TgPlotLegend* legend) override;
    void DoGetMouseCursorLegend(TgPlotLegend* legend, TCursor& cursor) override;
    void DoBeforeDataCursorUpdate(TgPlotDataCursor* cursor) override;

    // ------------------------------------------------------------------------------------------------
    // Events
    TgPlotObjectMouseEvent OnMouseDownChannel, OnMouseDownXAxis, OnMouseDownYAxis, OnMouseDownDataCursor,
        OnMouseDownDataView, OnMouseDownLegend, OnMouseDownLimit, OnMouseDownAnnotation;
    TgPlotObjectMouseMoveEvent OnMouseMoveChannel, OnMouseMoveXAxis, OnMouseMoveYAxis, OnMouseMoveDataCursor,
        OnMouseMoveDataView, OnMouseMoveLegend, OnMouseMoveLimit, OnMouseMoveAnnotation;
    TgPlotObjectMouseEvent OnMouseUpChannel, OnMouseUpXAxis, OnMouseUpYAxis, OnMouseUpDataCursor,
        OnMouseUpDataView, OnMouseUpLegend, OnMouseUpLimit, OnMouseUpAnnotation;
    TgPlotObjectMouseWheelEvent OnMouseWheelChannel, OnMouseWheelXAxis, OnMouseWheelYAxis,
        OnMouseWheelDataCursor, OnMouseWheelDataView, OnMouseWheelLegend, OnMouseWheelLimit,
        OnMouseWheelAnnotation;
    TgPlotObjectEvent OnClickChannel, OnClickXAxis, OnClickYAxis, OnClickDataCursor, OnClickDataView,
        OnClickLegend, OnClickLimit, OnClickAnnotation;
    TgPlotObjectEvent OnDblClickChannel, OnDblClickXAxis, OnDblClickYAxis, OnDblClickDataCursor,
        OnDblClickDataView, OnDblClickLegend, OnDblClickLimit, OnDblClickAnnotation;
    TgPlotDataPointMouseEvent OnMouseDownDataPoint;
    TgPlotDataPointMouseMoveEvent OnMouseMoveDataPoint;
    TgPlotDataPointMouseEvent OnMouseUpDataPoint;
    TgPlotClickDataPointEvent OnClickDataPoint, OnDblClickDataPoint;
    TgPlotDataPointMovedEvent OnDataPointMoved;
    TgPlotObjectEvent OnGotFocusChannel, OnGotFocusXAxis, OnGotFocusYAxis, OnGotFocusDataCursor,
        OnGotFocusDataView, OnGotFocusLegend, OnGotFocusAnnotation;
    TgPlotObjectEvent OnLostFocusChannel, OnLostFocusXAxis, OnLostFocusYAxis, OnLostFocusDataCursor,
        OnLostFocusDataView, OnLostFocusLegend, OnLostFocusAnnotation;
    TgPlotObjectGetMouseCursorEvent OnGetMouseCursorChannel, OnGetMouseCursorXAxis, OnGetMouseCursorYAxis,
        OnGetMouseCursorDataCursor, OnGetMouseCursorDataView, OnGetMouseCursorLegend, OnGetMouseCursorLimit,
        OnGetMouseCursorTable, OnGetMouseCursorAnnotation;
    TgPlotPopupMenuEvent OnPopupMenuChannel, OnPopupMenuXAxis, OnPopupMenuYAxis, OnPopupMenuDataCursor,
        OnPopupMenuDataView, OnPopupMenuLegend, OnPopupMenuLimit, OnPopupMenuAnnotation;
    TgPlotObjectEvent OnAddChannel, OnAddXAxis, OnAddYAxis, OnAddDataCursor, OnAddDataView, OnAddLegend,
        OnAddLimit, OnAddTable, OnAddAnnotation;
    TgPlotObjectEvent OnRemoveChannel, OnRemoveXAxis, OnRemoveYAxis, OnRemoveDataCursor, OnRemoveDataView,
        OnRemoveLegend, OnRemoveLimit, OnRemoveTable, OnRemoveAnnotation;
    TgPlotObjectDoubleValueChangeEvent OnXAxisMinChange, OnYAxisMinChange, OnXAxisSpanChange,
        OnYAxisSpanChange;
    TgPlotAxesMinSpanChangeEvent OnXAxisMinSpanChange, OnYAxisMinSpanChange;
    TgPlotAxesMinSpanChangeEvent OnXAxisMinSpanChangeFinished, OnYAxisMinSpanChangeFinished;
    TgPlotAxesCustomizeLabelEvent OnXAxisCustomizeLabel, OnYAxisCustomizeLabel;
    TgPlotObjectCustomizeTextEvent OnXAxisCustomizeHint, OnYAxisCustomizeHint, OnDataCursorCustomizeHint;
    TgPlotDataPointCustomizeTextEvent OnDataPointCustomizeHint;
    TgPlotObjectCustomizeTextEvent OnToolBarCustomizeHint;
    TgPlotToolBarButtonBeforeEvent OnBeforeToolBarButtonClick;
    TgPlotToolBarButtonEvent OnToolBarButtonClick;
    TgPlotObjectEvent OnDataCursorChange, OnBeforeDataCursorUpdate;
    TgPlotObjectDoubleValueChangeEvent OnLimitLine1PositionChange, OnLimitLine2PositionChange;
    TgPlotObjectEvent OnAnnotationCoordinatesChange, OnAnnotationMoveUser, OnAnnotationResizeUser,
        OnAnnotationCoordinatesChangeFinished;
    TgPlotZoomBoxEvent OnBeforeZoomBox;
    TNotifyEvent OnBeforeLoadProperties, OnAfterLoadProperties, OnAfterSaveProperties, OnAfterLoadData,
        OnAfterSaveData;
    TNotifyEvent OnBeforePrint;
    TgPlotPrintPageEvent OnBeforePrintPage;
    TNotifyEvent OnAfterPrint;
    TNotifyEvent OnAfterOpenEditor, OnAfterCloseEditor;
    TNotifyEvent OnAfterPaint;

protected:
    // What a plot kind starts with, its channels of `channelClass`: a toolbar, a legend, an X and a Y
    // axis, a channel, a data view, a data cursor and the title label; a window layout replaces them.
    void AddDefaultObjects(const std::string& channelClass);
    void AddSaveExclusions(TStringList& exclude) const override;
    bool DifferentialSave() const override { return FDifferentialPropertySave; }
    // Mouse capture of the control; the capture-changed handling runs when it moves elsewhere.
    virtual void CaptureMouse();
    virtual void ReleaseMouseCapture();
    bool HasMouseCapture() const { return FMouseCaptured; }
    // Gives the control's window the keyboard focus.
    virtual void TakeKeyboardFocus();
    // Applies the mouse cursor to the control (and the screen at once).
    virtual void ApplyMouseCursor(TCursor cursor);
    // Fills a mouse record for a client position.
    TgPlotMouseData MakeMouseData(int x, int y, TMouseButton button, TShiftState shift) const;

private:
    // The kind of an object for the event families.
    enum class TEventKind {
        Channel,
        XAxis,
        YAxis,
        DataCursor,
        DataView,
        Legend,
        Limit,
        Annotation,
        Table,
        None
    };
    TEventKind KindOf(const TObject* object) const;
    int IndexOf(const TObject* object) const;
    // Events fire neither while the plot loads nor while it is destroyed.
    bool Firing() const { return !IsLoading() && !IsDestroying(); }
    // The object under the point (maybe a button of it) and the plot object it was found in.
    TgPlotObject* HitObject(const TgPlotMouseData& mouseData, TgPlotObject*& source);
    // Runs `action` on every other axis of the axis's direction, unless forwarding already runs.
    void ForEachSiblingAxis(TgPlotAxis* axis, const std::function<void(TgPlotAxis*)>& action);
    // Forgets the mouse state's objects that are `object` or belong to it (all when null).
    void ForgetMouseObjects(const TObject* object);
    // Reads a streamed value with the layout manager off: for the rest of the layout read while
    // loading, else just for the value.
    void ReadLayoutValue(const std::function<void()>& read);
    void RequireLoggingOff(const char* message) const;
    // Appends the rows counted since the last write to the log and resets the count, also on failure.
    void WriteLogBuffer();
    TImageList* ImageListOrRaise(int index);
    // Layout helpers
    int LayerWidth(TCanvas& canvas, const std::vector<TgPlotLayoutObject*>& list, int zOrder);
    void HintTimerStart(int delay);

    std::unique_ptr<TgPlotMasterManager> FMaster;
    std::vector<std::pair<std::string, TgPlotObject*>> FLayerList;
    TgHintData FHintData;
    int FLastHintX = 0, FLastHintY = 0;
    TRect FLastHintShowRect{};
    TgPlotObject* FLastHintObject = nullptr;
    bool FHintShowing = false;
    std::unique_ptr<TFont> FHintsFont;
    std::vector<TRect> FAxesCollisionList;
    TShiftState FShiftState;
    std::unique_ptr<TPopupMenu> FPopupMenu;
    std::array<std::unique_ptr<TImageList>, 3> FImageLists;
    std::string FDefaultSaveImageDirectory;
    TgPlotImageFormatStyle FDefaultSaveImageFormat = TgPlotImageFormatStyle::ipifBitmap;
    std::string FDefaultPropertyDirectory, FDefaultDataDirectory, FDefaultAnnotationDirectory;
    bool FMasterAxisBlock = false;
    bool FUserCanAddRemoveChannels = false;
    bool FPrintShowDialog = true;
    TPrinterOrientation FPrintOrientation = TPrinterOrientation::poLandscape;
    double FPrintMarginTop = 1, FPrintMarginLeft = 1, FPrintMarginRight = 1, FPrintMarginBottom = 1;
    std::string FPrintDocumentName = "Untitled";
    std::string FPrinterName;
    double FPrinterPaperWidthInches = 0, FPrinterPaperHeightInches = 0;
    double FPrinterPaperWidthCentimeters = 0, FPrinterPaperHeightCentimeters = 0;
    int FPrinterPaperWidthPixels = 0, FPrinterPaperHeightPixels = 0;
    double FPrintXStart = 0, FPrintXStop = 0;
    bool FMouseDown = false;
    TgPlotObject* FMouseDownObject = nullptr;
    TgPlotObject* FLastMouseOverObject = nullptr;
    TgPlotObject* FLastMouseClickObject = nullptr;
    // The plot objects the three above (and the hint object) were found under: a button belongs to
    // the legend, table or toolbar it was found in.
    TgPlotObject* FMouseDownSource = nullptr;
    TgPlotObject* FLastMouseOverSource = nullptr;
    TgPlotObject* FLastMouseClickSource = nullptr;
    TgPlotObject* FLastHintSource = nullptr;
    TMouseButton FLastMouseClickButton = TMouseButton::mbLeft;
    TShiftState FLastMouseClickShift;
    int FLastMouseClickX = 0, FLastMouseClickY = 0, FLastMouseClickScreenX = 0, FLastMouseClickScreenY = 0;
    std::vector<TgPlotLayoutObject*> FVisibleListLeft, FVisibleListRight, FVisibleListTop, FVisibleListBottom;
    TControl* FCaptureWindowHandle = nullptr;
    bool FMouseCaptured = false;
    int FOuterMarginTop = 5, FOuterMarginLeft = 5, FOuterMarginRight = 5, FOuterMarginBottom = 5;
    bool FSelectingActive = false;
    bool FJustReleasedCapture = false;
    TgPlotFormStyle FEditorFormStyle = TgPlotFormStyle::ipfsModal;
    TgPlotExportFormat FCopyToClipBoardFormat = TgPlotExportFormat::ipefMetaFile;
    bool FClipAnnotationsToAxes = true;
    bool FHintsShow = true;
    int FHintsPause = 500, FHintsHidePause = 2500;
    bool FLoggingActive = false;
    int FLogBufferSize = 0;
    std::string FLogFileName;
    int FLogBufferCount = 0;
    int FAnnotationDefaultPenWidth = 1;
    TBrushStyle FAnnotationDefaultBrushStlye = TBrushStyle::bsSolid;
    TColor FAnnotationDefaultBrushColor = clWhite;
    TColor FAnnotationDefaultPenColor = clWhite;
    std::unique_ptr<TFont> FAnnotationDefaultFont;
    TPenStyle FAnnotationDefaultPenStlye = TPenStyle::psSolid;
    TgPlotReferenceType FAnnotationDefaultReference = TgPlotReferenceType::iprtDataView;
    TgPlotReferenceIndividual FAnnotationDefaultReferencePositionX = TgPlotReferenceIndividual::ipriAuto;
    TgPlotReferenceIndividual FAnnotationDefaultReferencePositionY = TgPlotReferenceIndividual::ipriAuto;
    TgPlotReferenceIndividual FAnnotationDefaultReferenceSizeX = TgPlotReferenceIndividual::ipriAuto;
    TgPlotReferenceIndividual FAnnotationDefaultReferenceSizeY = TgPlotReferenceIndividual::ipriAuto;
    bool FBackGroundGradientEnabled = false;
    TColor FBackGroundGradientStartColor = clBlue, FBackGroundGradientStopColor = clBlack;
    TgFillDirection FBackGroundGradientDirection = TgFillDirection::ifdTopBottom;
    bool FPaintingActive = false;
    // What a screen paint keeps between paints: the background, the data view's fill and the layer
    // objects below the channels, for as long as nothing but channel data changed and the layout,
    // scales and ticks they were drawn with stay the same (FBaseLayerKey).
    std::unique_ptr<TBitmap> FBaseLayer;
    std::vector<double> FBaseLayerKey;
    bool FBaseLayerStale = true;
    bool FPaintingToScreen = false;
    bool FDataChangeOnly = false;
    void PictureChanged() override;
    std::vector<double> BaseLayerKey(const TCanvas& canvas, size_t baseCount);
    bool FDBLClickActive = false;
    char FLoadingSeparator = '\t';
    TgPlotDataFileColumnSeparator FDataFileColumnSeparator = TgPlotDataFileColumnSeparator::ipdfcsTab;
    TgPlotDataFileFormat FDataFileFormat = TgPlotDataFileFormat::ipdffText;
    std::string FLastPropertiesFileName, FLastDataFileName;
    bool FDifferentialPropertySave = false;
    std::string FTempCustomLabel;
    // Text is measured here outside a paint.
    std::unique_ptr<TBitmap> FMeasureBitmap;
    std::unique_ptr<TPicture> FSnapShotPicture;
    std::unique_ptr<TSaveDialog> FSaveDialog;
    // Export and printing helpers
    void PrintPages(TgPlotPrinter& printer);
    void ReadPaperSize(TgPlotPrinter& printer);
};

} // namespace kv
