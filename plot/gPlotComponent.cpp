#include "plot/gPlotComponent.h"

#include "plot/gPlotLayoutManager.h"
#include "plot/gPlotTranslation.h"
#include "plot/gPropStream.h"
#include "plot/gPropText.h"
#include "plot/gXYPlotChannel.h"

#include "platform/gui/Layout.h"

#include <QDateTime>
#include <QImage>

#include <algorithm>
#include <cctype>

namespace kv {

std::vector<std::string> EnumIdents(TgPlotDataFileFormat) {
    return {"ipdffText", "ipdffCompactInterval"};
}
std::vector<std::string> EnumIdents(TgPlotImageFormatStyle) {
    return {"ipifBitmap", "ipifEnhancedMetaFile", "ipifJPEG", "ipifPNG"};
}
std::vector<std::string> EnumIdents(TgFillDirection) {
    return {"ifdTopBottom",          "ifdBottomTop",          "ifdLeftRight",
            "ifdRightLeft",          "ifdTopLeftBottomRight", "ifdBottomRightTopLeft",
            "ifdBottomLeftTopRight", "ifdTopRightBottomLeft", "ifdRectangleOut",
            "ifdRectangleIn",        "ifdCircleOut",          "ifdCircleIn"};
}

namespace {

// The manager a layout value names, looked up when the value is read or written.
template <TgPlotObjectManagerCustom* (*Get)(const TgPlotComponent&)> struct PlotCompManagerValue {
    static std::string Read(const TgPlotComponent& c) { return c.ManagerText(Get(c)); }
    static void Write(TgPlotComponent& c, const std::string& text) { c.SetManagerText(Get(c), text); }
    static bool Stored(const TgPlotComponent& c) { return Get(c) && Get(c)->Count() != 0; }
};

#define KV_PLOT_MANAGER_GETTER(Name)                                                                         \
    TgPlotObjectManagerCustom* PlotComp##Name(const TgPlotComponent& c) {                                    \
        return c.Master()->Name();                                                                           \
    }
KV_PLOT_MANAGER_GETTER(ToolBarManager)
KV_PLOT_MANAGER_GETTER(LegendManager)
KV_PLOT_MANAGER_GETTER(TableManager)
KV_PLOT_MANAGER_GETTER(XAxisManager)
KV_PLOT_MANAGER_GETTER(YAxisManager)
KV_PLOT_MANAGER_GETTER(ChannelManager)
KV_PLOT_MANAGER_GETTER(DataViewManager)
KV_PLOT_MANAGER_GETTER(DataCursorManager)
KV_PLOT_MANAGER_GETTER(LimitManager)
KV_PLOT_MANAGER_GETTER(LabelManager)
#undef KV_PLOT_MANAGER_GETTER

template <int N> struct PlotCompImageListValue {
    static std::string Read(const TgPlotComponent& c) { return c.ImageListText(N); }
    static void Write(TgPlotComponent& c, const std::string& text) { c.SetImageListText(N, text); }
    static bool Stored(const TgPlotComponent& c) {
        return const_cast<TgPlotComponent&>(c).GetImageList(N)->Count() != 0;
    }
};

// Every kind's factory, so that the plot creates the library's own classes whatever was registered
// under their names before, and so that every kind's unit is linked into a program that has a plot.
void PlotCompRegisterKinds() {
    gRegisterPlotAxisClasses();
    gRegisterPlotDataViewClass();
    gRegisterPlotObjectClassOf<TgPlotToolBar>("TgPlotToolBar");
    gRegisterPlotObjectClassOf<TgPlotLegend>("TgPlotLegend");
    gRegisterPlotObjectClassOf<TgPlotLabel>("TgPlotLabel");
    gRegisterPlotObjectClassOf<TgPlotDataCursor>("TgPlotDataCursor");
    gRegisterPlotObjectClassOf<TgPlotLimit>("TgPlotLimit");
    gRegisterPlotObjectClassOf<TgPlotAnnotation>("TgPlotAnnotation");
    gRegisterPlotObjectClassOf<TgXYPlotChannel>("TgXYPlotChannel");
}

// A typed manager holds objects of its kind only: the item is never null.
template <class T> T* PlotCompItem(TgPlotObjectManagerCustom* manager, int index) {
    return &dynamic_cast<T&>(*manager->GetItem(index));
}

template <class T> T* PlotCompByName(TgPlotObjectManagerCustom* manager, const std::string& name) {
    return dynamic_cast<T*>(manager->GetObjectByName(name));
}

} // namespace

KV_REGISTER_CLASS(TgPlotComponent, TgCustomComponent, b) {
    using P = TgPlotComponent;
    b.Prop("AutoFrameRate", &P::AutoFrameRate, &P::SetAutoFrameRate).Default(true);
    b.Prop("DataViewZHorz", &P::DataViewZHorz, &P::SetDataViewZHorz);
    b.Prop("DataViewZVert", &P::DataViewZVert, &P::SetDataViewZVert);
    b.Prop("XYAxesReverse", &P::XYAxesReverse, &P::SetXYAxesReverse).Default(false);
    b.Prop("UserCanEditObjects", &P::UserCanEditObjects, &P::SetUserCanEditObjects).Default(true);
    b.Prop("UserCanAddRemoveChannels", &P::UserCanAddRemoveChannels, &P::SetUserCanAddRemoveChannels)
        .Default(false);
    b.Prop("OuterMarginLeft", &P::OuterMarginLeft, &P::SetOuterMarginLeft).Default(5);
    b.Prop("OuterMarginTop", &P::OuterMarginTop, &P::SetOuterMarginTop).Default(5);
    b.Prop("OuterMarginRight", &P::OuterMarginRight, &P::SetOuterMarginRight).Default(5);
    b.Prop("OuterMarginBottom", &P::OuterMarginBottom, &P::SetOuterMarginBottom).Default(5);
    b.Prop("PrintOrientation", &P::PrintOrientation, &P::SetPrintOrientation)
        .Default(TPrinterOrientation::poLandscape);
    b.Prop("PrintMarginLeft", &P::PrintMarginLeft, &P::SetPrintMarginLeft);
    b.Prop("PrintMarginTop", &P::PrintMarginTop, &P::SetPrintMarginTop);
    b.Prop("PrintMarginRight", &P::PrintMarginRight, &P::SetPrintMarginRight);
    b.Prop("PrintMarginBottom", &P::PrintMarginBottom, &P::SetPrintMarginBottom);
    b.Prop("PrintShowDialog", &P::PrintShowDialog, &P::SetPrintShowDialog).Default(true);
    b.Prop("PrintDocumentName", &P::PrintDocumentName, &P::SetPrintDocumentName);
    b.Prop("PrinterName", &P::PrinterName, &P::SetPrinterName);
    b.Prop("HintsPause", &P::HintsPause, &P::SetHintsPause).Default(500);
    b.Prop("HintsHidePause", &P::HintsHidePause, &P::SetHintsHidePause).Default(2500);
    b.Prop("HintsShow", &P::HintsShow, &P::SetHintsShow).Default(true);
    b.Prop("HintsFont", &P::HintsFont, &P::SetHintsFont);
    b.Prop("EditorFormStyle", &P::EditorFormStyle, &P::SetEditorFormStyle)
        .Default(TgPlotFormStyle::ipfsModal);
    b.Prop("CopyToClipBoardFormat", &P::CopyToClipBoardFormat, &P::SetCopyToClipBoardFormat)
        .Default(TgPlotExportFormat::ipefMetaFile);
    b.Prop("TitleVisible", &P::TitleVisible, &P::SetTitleVisible).Default(true);
    b.Prop("TitleText", &P::TitleText, &P::SetTitleText);
    b.Prop("TitleFont", &P::TitleFont, &P::SetTitleFont);
    b.Prop("TitleMargin", &P::TitleMargin, &P::SetTitleMargin);
    b.Prop("LogFileName", &P::LogFileName, &P::SetLogFileName);
    b.Prop("LogBufferSize", &P::LogBufferSize, &P::SetLogBufferSize).Default(0);
    b.Prop("AnnotationDefaultFont", &P::AnnotationDefaultFont, &P::SetAnnotationDefaultFont);
    b.Prop("AnnotationDefaultBrushStlye", &P::AnnotationDefaultBrushStlye, &P::SetAnnotationDefaultBrushStlye)
        .Default(TBrushStyle::bsSolid);
    b.Prop("AnnotationDefaultBrushColor", &P::AnnotationDefaultBrushColor, &P::SetAnnotationDefaultBrushColor)
        .Default(clWhite)
        .Idents(ColorIdents(), "TColor");
    b.Prop("AnnotationDefaultPenStlye", &P::AnnotationDefaultPenStlye, &P::SetAnnotationDefaultPenStlye)
        .Default(TPenStyle::psSolid);
    b.Prop("AnnotationDefaultPenColor", &P::AnnotationDefaultPenColor, &P::SetAnnotationDefaultPenColor)
        .Default(clWhite)
        .Idents(ColorIdents(), "TColor");
    b.Prop("AnnotationDefaultPenWidth", &P::AnnotationDefaultPenWidth, &P::SetAnnotationDefaultPenWidth)
        .Default(1);
    b.Prop("AnnotationDefaultReference", &P::AnnotationDefaultReference, &P::SetAnnotationDefaultReference)
        .Default(TgPlotReferenceType::iprtDataView);
    b.Prop("AnnotationDefaultReferencePositionX", &P::AnnotationDefaultReferencePositionX,
           &P::SetAnnotationDefaultReferencePositionX)
        .Default(TgPlotReferenceIndividual::ipriAuto);
    b.Prop("AnnotationDefaultReferencePositionY", &P::AnnotationDefaultReferencePositionY,
           &P::SetAnnotationDefaultReferencePositionY)
        .Default(TgPlotReferenceIndividual::ipriAuto);
    b.Prop("AnnotationDefaultReferenceSizeX", &P::AnnotationDefaultReferenceSizeX,
           &P::SetAnnotationDefaultReferenceSizeX)
        .Default(TgPlotReferenceIndividual::ipriAuto);
    b.Prop("AnnotationDefaultReferenceSizeY", &P::AnnotationDefaultReferenceSizeY,
           &P::SetAnnotationDefaultReferenceSizeY)
        .Default(TgPlotReferenceIndividual::ipriAuto);
    b.Prop("ClipAnnotationsToAxes", &P::ClipAnnotationsToAxes, &P::SetClipAnnotationsToAxes).Default(true);
    b.Prop("BackGroundGradientEnabled", &P::BackGroundGradientEnabled, &P::SetBackGroundGradientEnabled)
        .Default(false);
    b.Prop("BackGroundGradientDirection", &P::BackGroundGradientDirection, &P::SetBackGroundGradientDirection)
        .Default(TgFillDirection::ifdTopBottom);
    b.Prop("BackGroundGradientStartColor", &P::BackGroundGradientStartColor,
           &P::SetBackGroundGradientStartColor)
        .Default(clBlue)
        .Idents(ColorIdents(), "TColor");
    b.Prop("BackGroundGradientStopColor", &P::BackGroundGradientStopColor, &P::SetBackGroundGradientStopColor)
        .Default(clBlack)
        .Idents(ColorIdents(), "TColor");
    b.Prop("DataFileColumnSeparator", &P::DataFileColumnSeparator, &P::SetDataFileColumnSeparator)
        .Default(TgPlotDataFileColumnSeparator::ipdfcsTab);
    b.Prop("DataFileFormat", &P::DataFileFormat, &P::SetDataFileFormat)
        .Default(TgPlotDataFileFormat::ipdffText);
    b.Prop("DefaultSaveImageDirectory", &P::DefaultSaveImageDirectory, &P::SetDefaultSaveImageDirectory);
    b.Prop("DefaultSaveImageFormat", &P::DefaultSaveImageFormat, &P::SetDefaultSaveImageFormat)
        .Default(TgPlotImageFormatStyle::ipifBitmap);
    b.Prop("DefaultPropertyDirectory", &P::DefaultPropertyDirectory, &P::SetDefaultPropertyDirectory);
    b.Prop("DefaultDataDirectory", &P::DefaultDataDirectory, &P::SetDefaultDataDirectory);
    b.Prop("DefaultAnnotationDirectory", &P::DefaultAnnotationDirectory, &P::SetDefaultAnnotationDirectory);
    b.Prop("DifferentialPropertySave", &P::DifferentialPropertySave, &P::SetDifferentialPropertySave)
        .Default(false);
    b.Prop("BackGroundColor", &P::BackGroundColor, &P::SetBackGroundColor)
        .Default(clBlack)
        .Idents(ColorIdents(), "TColor");
    b.Prop("BorderStyle", &P::BorderStyle, &P::SetBorderStyle).Default(TgBevelStyle::ibsLowered);

    // The layout's own values, after the published properties.
    b.Prop("ImageList0", &PlotCompImageListValue<0>::Read, &PlotCompImageListValue<0>::Write)
        .Stored(&PlotCompImageListValue<0>::Stored);
    b.Prop("ImageList1", &PlotCompImageListValue<1>::Read, &PlotCompImageListValue<1>::Write)
        .Stored(&PlotCompImageListValue<1>::Stored);
    b.Prop("ImageList2", &PlotCompImageListValue<2>::Read, &PlotCompImageListValue<2>::Write)
        .Stored(&PlotCompImageListValue<2>::Stored);
#define KV_PLOT_MANAGER_VALUE(Name)                                                                          \
    b.Prop(#Name, &PlotCompManagerValue<&PlotComp##Name>::Read,                                              \
           &PlotCompManagerValue<&PlotComp##Name>::Write)                                                    \
        .Stored(&PlotCompManagerValue<&PlotComp##Name>::Stored)
    KV_PLOT_MANAGER_VALUE(ToolBarManager);
    KV_PLOT_MANAGER_VALUE(LegendManager);
    KV_PLOT_MANAGER_VALUE(TableManager);
    KV_PLOT_MANAGER_VALUE(XAxisManager);
    KV_PLOT_MANAGER_VALUE(YAxisManager);
    KV_PLOT_MANAGER_VALUE(ChannelManager);
    KV_PLOT_MANAGER_VALUE(DataViewManager);
    KV_PLOT_MANAGER_VALUE(DataCursorManager);
    KV_PLOT_MANAGER_VALUE(LimitManager);
    KV_PLOT_MANAGER_VALUE(LabelManager);
#undef KV_PLOT_MANAGER_VALUE
    b.Prop("TranslationManager", &P::TranslationManagerText, &P::SetTranslationManagerText)
        .Stored([](const P& c) { return c.Master()->TranslationManager()->Count() != 0; });

    using E = TgPlotComponent;
#define KV_PLOT_EVENT(Name) b.Event(#Name, &E::Name)
    KV_PLOT_EVENT(OnMouseDownChannel);
    KV_PLOT_EVENT(OnMouseDownXAxis);
    KV_PLOT_EVENT(OnMouseDownYAxis);
    KV_PLOT_EVENT(OnMouseDownDataCursor);
    KV_PLOT_EVENT(OnMouseDownDataView);
    KV_PLOT_EVENT(OnMouseDownLegend);
    KV_PLOT_EVENT(OnMouseDownLimit);
    KV_PLOT_EVENT(OnMouseDownAnnotation);
    KV_PLOT_EVENT(OnMouseMoveChannel);
    KV_PLOT_EVENT(OnMouseMoveXAxis);
    KV_PLOT_EVENT(OnMouseMoveYAxis);
    KV_PLOT_EVENT(OnMouseMoveDataCursor);
    KV_PLOT_EVENT(OnMouseMoveDataView);
    KV_PLOT_EVENT(OnMouseMoveLegend);
    KV_PLOT_EVENT(OnMouseMoveLimit);
    KV_PLOT_EVENT(OnMouseMoveAnnotation);
    KV_PLOT_EVENT(OnMouseUpChannel);
    KV_PLOT_EVENT(OnMouseUpXAxis);
    KV_PLOT_EVENT(OnMouseUpYAxis);
    KV_PLOT_EVENT(OnMouseUpDataCursor);
    KV_PLOT_EVENT(OnMouseUpDataView);
    KV_PLOT_EVENT(OnMouseUpLegend);
    KV_PLOT_EVENT(OnMouseUpLimit);
    KV_PLOT_EVENT(OnMouseUpAnnotation);
    KV_PLOT_EVENT(OnMouseWheelChannel);
    KV_PLOT_EVENT(OnMouseWheelXAxis);
    KV_PLOT_EVENT(OnMouseWheelYAxis);
    KV_PLOT_EVENT(OnMouseWheelDataCursor);
    KV_PLOT_EVENT(OnMouseWheelDataView);
    KV_PLOT_EVENT(OnMouseWheelLegend);
    KV_PLOT_EVENT(OnMouseWheelLimit);
    KV_PLOT_EVENT(OnMouseWheelAnnotation);
    KV_PLOT_EVENT(OnClickChannel);
    KV_PLOT_EVENT(OnClickXAxis);
    KV_PLOT_EVENT(OnClickYAxis);
    KV_PLOT_EVENT(OnClickDataCursor);
    KV_PLOT_EVENT(OnClickDataView);
    KV_PLOT_EVENT(OnClickLegend);
    KV_PLOT_EVENT(OnClickLimit);
    KV_PLOT_EVENT(OnClickAnnotation);
    KV_PLOT_EVENT(OnDblClickChannel);
    KV_PLOT_EVENT(OnDblClickXAxis);
    KV_PLOT_EVENT(OnDblClickYAxis);
    KV_PLOT_EVENT(OnDblClickDataCursor);
    KV_PLOT_EVENT(OnDblClickDataView);
    KV_PLOT_EVENT(OnDblClickLegend);
    KV_PLOT_EVENT(OnDblClickLimit);
    KV_PLOT_EVENT(OnDblClickAnnotation);
    KV_PLOT_EVENT(OnMouseDownDataPoint);
    KV_PLOT_EVENT(OnMouseMoveDataPoint);
    KV_PLOT_EVENT(OnMouseUpDataPoint);
    KV_PLOT_EVENT(OnClickDataPoint);
    KV_PLOT_EVENT(OnDblClickDataPoint);
    KV_PLOT_EVENT(OnDataPointMoved);
    KV_PLOT_EVENT(OnGotFocusChannel);
    KV_PLOT_EVENT(OnGotFocusXAxis);
    KV_PLOT_EVENT(OnGotFocusYAxis);
    KV_PLOT_EVENT(OnGotFocusDataCursor);
    KV_PLOT_EVENT(OnGotFocusDataView);
    KV_PLOT_EVENT(OnGotFocusLegend);
    KV_PLOT_EVENT(OnGotFocusAnnotation);
    KV_PLOT_EVENT(OnLostFocusChannel);
    KV_PLOT_EVENT(OnLostFocusXAxis);
    KV_PLOT_EVENT(OnLostFocusYAxis);
    KV_PLOT_EVENT(OnLostFocusDataCursor);
    KV_PLOT_EVENT(OnLostFocusDataView);
    KV_PLOT_EVENT(OnLostFocusLegend);
    KV_PLOT_EVENT(OnLostFocusAnnotation);
    KV_PLOT_EVENT(OnGetMouseCursorChannel);
    KV_PLOT_EVENT(OnGetMouseCursorXAxis);
    KV_PLOT_EVENT(OnGetMouseCursorYAxis);
    KV_PLOT_EVENT(OnGetMouseCursorDataCursor);
    KV_PLOT_EVENT(OnGetMouseCursorDataView);
    KV_PLOT_EVENT(OnGetMouseCursorLegend);
    KV_PLOT_EVENT(OnGetMouseCursorLimit);
    KV_PLOT_EVENT(OnGetMouseCursorTable);
    KV_PLOT_EVENT(OnGetMouseCursorAnnotation);
    KV_PLOT_EVENT(OnPopupMenuChannel);
    KV_PLOT_EVENT(OnPopupMenuXAxis);
    KV_PLOT_EVENT(OnPopupMenuYAxis);
    KV_PLOT_EVENT(OnPopupMenuDataCursor);
    KV_PLOT_EVENT(OnPopupMenuDataView);
    KV_PLOT_EVENT(OnPopupMenuLegend);
    KV_PLOT_EVENT(OnPopupMenuLimit);
    KV_PLOT_EVENT(OnPopupMenuAnnotation);
    KV_PLOT_EVENT(OnAddChannel);
    KV_PLOT_EVENT(OnAddXAxis);
    KV_PLOT_EVENT(OnAddYAxis);
    KV_PLOT_EVENT(OnAddDataCursor);
    KV_PLOT_EVENT(OnAddDataView);
    KV_PLOT_EVENT(OnAddLegend);
    KV_PLOT_EVENT(OnAddLimit);
    KV_PLOT_EVENT(OnAddTable);
    KV_PLOT_EVENT(OnAddAnnotation);
    KV_PLOT_EVENT(OnRemoveChannel);
    KV_PLOT_EVENT(OnRemoveXAxis);
    KV_PLOT_EVENT(OnRemoveYAxis);
    KV_PLOT_EVENT(OnRemoveDataCursor);
    KV_PLOT_EVENT(OnRemoveDataView);
    KV_PLOT_EVENT(OnRemoveLegend);
    KV_PLOT_EVENT(OnRemoveLimit);
    KV_PLOT_EVENT(OnRemoveTable);
    KV_PLOT_EVENT(OnRemoveAnnotation);
    KV_PLOT_EVENT(OnXAxisMinChange);
    KV_PLOT_EVENT(OnYAxisMinChange);
    KV_PLOT_EVENT(OnXAxisSpanChange);
    KV_PLOT_EVENT(OnYAxisSpanChange);
    KV_PLOT_EVENT(OnXAxisMinSpanChange);
    KV_PLOT_EVENT(OnYAxisMinSpanChange);
    KV_PLOT_EVENT(OnXAxisMinSpanChangeFinished);
    KV_PLOT_EVENT(OnYAxisMinSpanChangeFinished);
    KV_PLOT_EVENT(OnXAxisCustomizeLabel);
    KV_PLOT_EVENT(OnYAxisCustomizeLabel);
    KV_PLOT_EVENT(OnXAxisCustomizeHint);
    KV_PLOT_EVENT(OnYAxisCustomizeHint);
    KV_PLOT_EVENT(OnDataCursorCustomizeHint);
    KV_PLOT_EVENT(OnDataPointCustomizeHint);
    KV_PLOT_EVENT(OnToolBarCustomizeHint);
    KV_PLOT_EVENT(OnBeforeToolBarButtonClick);
    KV_PLOT_EVENT(OnToolBarButtonClick);
    KV_PLOT_EVENT(OnDataCursorChange);
    KV_PLOT_EVENT(OnBeforeDataCursorUpdate);
    KV_PLOT_EVENT(OnLimitLine1PositionChange);
    KV_PLOT_EVENT(OnLimitLine2PositionChange);
    KV_PLOT_EVENT(OnAnnotationCoordinatesChange);
    KV_PLOT_EVENT(OnAnnotationMoveUser);
    KV_PLOT_EVENT(OnAnnotationResizeUser);
    KV_PLOT_EVENT(OnAnnotationCoordinatesChangeFinished);
    KV_PLOT_EVENT(OnBeforeZoomBox);
    KV_PLOT_EVENT(OnBeforeLoadProperties);
    KV_PLOT_EVENT(OnAfterLoadProperties);
    KV_PLOT_EVENT(OnAfterSaveProperties);
    KV_PLOT_EVENT(OnAfterLoadData);
    KV_PLOT_EVENT(OnAfterSaveData);
    KV_PLOT_EVENT(OnBeforePrint);
    KV_PLOT_EVENT(OnBeforePrintPage);
    KV_PLOT_EVENT(OnAfterPrint);
    KV_PLOT_EVENT(OnAfterOpenEditor);
    KV_PLOT_EVENT(OnAfterCloseEditor);
    KV_PLOT_EVENT(OnAfterPaint);
#undef KV_PLOT_EVENT
}

// ---------------------------------------------------------------------------------------------------
// Construction

TgPlotComponent::TgPlotComponent(TComponent* owner) : TgCustomComponent(owner) {
    PlotCompRegisterKinds();
    SetBounds(0, 0, 500, 200);
    FBackGroundColor = clBlack;
    FBorderStyle = TgBevelStyle::ibsLowered;
    FUpdateFrameRate = 60;
    FAutoFrameRate = true;
    FMaster = std::make_unique<TgPlotMasterManager>(this);
    FMaster->OnChange = [this](TObject* s) { NotificationChangeObject(s); };
    FMaster->OnRemove = [this](TObject* s) { NotificationRemoveObject(s); };
    FMaster->OnInsert = [this](TObject* s) { NotificationInsertObject(s); };
    FMaster->OnInvalidateNow = [this](TObject*) {
        if (!IsDestroying())
            InvalidateNow();
    };
    FPopupMenu = std::make_unique<TPopupMenu>(nullptr);
    FHintsFont = std::make_unique<TFont>();
    for (auto& list : FImageLists)
        list = std::make_unique<TImageList>(24, 24);
    FAnnotationDefaultFont = std::make_unique<TFont>();
    FAnnotationDefaultFont->SetColor(clWhite);
    FMeasureBitmap = std::make_unique<TBitmap>(1, 1);
    OnInternalTimer = [this](TObject*) { HintTimerTick(); };
}

TgPlotComponent::~TgPlotComponent() {
    Destroying();
    TimerStop();
    ForgetMouseObjects(nullptr);
    FAxesCollisionList.clear();
    // Every object still reports its removal, so that no manager keeps an object that is gone; the
    // plot raises no events on the way out. The master stays reachable while it frees its managers.
    delete FMaster.get();
    (void)FMaster.release();
}

TgPlotLayoutManager* TgPlotComponent::LayoutManager() const {
    return FMaster ? FMaster->LayoutManager() : nullptr;
}

TgPlotObjectManager* TgPlotComponent::PlotObjectManager() const {
    return FMaster ? FMaster->PlotObjectManager() : nullptr;
}

// ---------------------------------------------------------------------------------------------------
// Object access

int TgPlotComponent::ChannelCount() {
    return FMaster->ChannelManager()->Count();
}
TgPlotChannelCustom* TgPlotComponent::GetChannel(int index) {
    return PlotCompItem<TgPlotChannelCustom>(FMaster->ChannelManager(), index);
}
int TgPlotComponent::GetChannelIndexByName(const std::string& name) {
    return FMaster->ChannelManager()->GetIndexByName(name);
}
TgPlotChannelCustom* TgPlotComponent::GetChannelByName(const std::string& name) {
    return PlotCompByName<TgPlotChannelCustom>(FMaster->ChannelManager(), name);
}
int TgPlotComponent::AddChannel() {
    return FMaster->AddChannel();
}
void TgPlotComponent::DeleteChannel(int index) {
    delete FMaster->ChannelManager()->GetItem(index);
    InvalidateNow();
}
void TgPlotComponent::RemoveAllChannels() {
    FMaster->ChannelManager()->Clear();
    InvalidateNow();
}

int TgPlotComponent::XAxisCount() {
    return FMaster->XAxisManager()->Count();
}
TgPlotAxis* TgPlotComponent::GetXAxis(int index) {
    return PlotCompItem<TgPlotAxis>(FMaster->XAxisManager(), index);
}
int TgPlotComponent::GetXAxisIndexByName(const std::string& name) {
    return FMaster->XAxisManager()->GetIndexByName(name);
}
TgPlotAxis* TgPlotComponent::GetXAxisByName(const std::string& name) {
    return PlotCompByName<TgPlotAxis>(FMaster->XAxisManager(), name);
}
int TgPlotComponent::AddXAxis() {
    return FMaster->AddXAxis();
}
void TgPlotComponent::DeleteXAxis(int index) {
    delete FMaster->XAxisManager()->GetItem(index);
    InvalidateNow();
}
void TgPlotComponent::RemoveAllXAxes() {
    FMaster->XAxisManager()->Clear();
    InvalidateNow();
}

int TgPlotComponent::YAxisCount() {
    return FMaster->YAxisManager()->Count();
}
TgPlotAxis* TgPlotComponent::GetYAxis(int index) {
    return PlotCompItem<TgPlotAxis>(FMaster->YAxisManager(), index);
}
int TgPlotComponent::GetYAxisIndexByName(const std::string& name) {
    return FMaster->YAxisManager()->GetIndexByName(name);
}
TgPlotAxis* TgPlotComponent::GetYAxisByName(const std::string& name) {
    return PlotCompByName<TgPlotAxis>(FMaster->YAxisManager(), name);
}
int TgPlotComponent::AddYAxis() {
    return FMaster->AddYAxis();
}
void TgPlotComponent::DeleteYAxis(int index) {
    delete FMaster->YAxisManager()->GetItem(index);
    InvalidateNow();
}
void TgPlotComponent::RemoveAllYAxes() {
    FMaster->YAxisManager()->Clear();
    InvalidateNow();
}

int TgPlotComponent::DataViewCount() {
    return FMaster->DataViewManager()->Count();
}
TgPlotDataView* TgPlotComponent::GetDataView(int index) {
    return PlotCompItem<TgPlotDataView>(FMaster->DataViewManager(), index);
}
int TgPlotComponent::GetDataViewIndexByName(const std::string& name) {
    return FMaster->DataViewManager()->GetIndexByName(name);
}
TgPlotDataView* TgPlotComponent::GetDataViewByName(const std::string& name) {
    return PlotCompByName<TgPlotDataView>(FMaster->DataViewManager(), name);
}
int TgPlotComponent::AddDataView() {
    return FMaster->AddDataView();
}
void TgPlotComponent::DeleteDataView(int index) {
    delete FMaster->DataViewManager()->GetItem(index);
    InvalidateNow();
}
void TgPlotComponent::RemoveAllDataViews() {
    FMaster->DataViewManager()->Clear();
    InvalidateNow();
}

int TgPlotComponent::DataCursorCount() {
    return FMaster->DataCursorManager()->Count();
}
TgPlotDataCursor* TgPlotComponent::GetDataCursor(int index) {
    return PlotCompItem<TgPlotDataCursor>(FMaster->DataCursorManager(), index);
}
int TgPlotComponent::GetDataCursorIndexByName(const std::string& name) {
    return FMaster->DataCursorManager()->GetIndexByName(name);
}
TgPlotDataCursor* TgPlotComponent::GetDataCursorByName(const std::string& name) {
    return PlotCompByName<TgPlotDataCursor>(FMaster->DataCursorManager(), name);
}
int TgPlotComponent::AddDataCursor() {
    return FMaster->AddDataCursor();
}
void TgPlotComponent::DeleteDataCursor(int index) {
    delete FMaster->DataCursorManager()->GetItem(index);
    InvalidateNow();
}
void TgPlotComponent::RemoveAllDataCursors() {
    FMaster->DataCursorManager()->Clear();
    InvalidateNow();
}

int TgPlotComponent::LegendCount() {
    return FMaster->LegendManager()->Count();
}
TgPlotLegend* TgPlotComponent::GetLegend(int index) {
    return PlotCompItem<TgPlotLegend>(FMaster->LegendManager(), index);
}
int TgPlotComponent::GetLegendIndexByName(const std::string& name) {
    return FMaster->LegendManager()->GetIndexByName(name);
}
TgPlotLegend* TgPlotComponent::GetLegendByName(const std::string& name) {
    return PlotCompByName<TgPlotLegend>(FMaster->LegendManager(), name);
}
int TgPlotComponent::AddLegend() {
    return FMaster->AddLegend();
}
void TgPlotComponent::DeleteLegend(int index) {
    delete FMaster->LegendManager()->GetItem(index);
    InvalidateNow();
}
void TgPlotComponent::RemoveAllLegends() {
    FMaster->LegendManager()->Clear();
    InvalidateNow();
}

int TgPlotComponent::TableCount() {
    return FMaster->TableManager()->Count();
}
TgPlotTable* TgPlotComponent::GetTable(int index) {
    return PlotCompItem<TgPlotTable>(FMaster->TableManager(), index);
}
int TgPlotComponent::GetTableIndexByName(const std::string& name) {
    return FMaster->TableManager()->GetIndexByName(name);
}
TgPlotTable* TgPlotComponent::GetTableByName(const std::string& name) {
    return PlotCompByName<TgPlotTable>(FMaster->TableManager(), name);
}
int TgPlotComponent::AddTable() {
    return FMaster->AddTable();
}
void TgPlotComponent::DeleteTable(int index) {
    delete FMaster->TableManager()->GetItem(index);
    InvalidateNow();
}
void TgPlotComponent::RemoveAllTables() {
    FMaster->TableManager()->Clear();
    InvalidateNow();
}

int TgPlotComponent::ToolBarCount() {
    return FMaster->ToolBarManager()->Count();
}
TgPlotToolBar* TgPlotComponent::GetToolBar(int index) {
    return PlotCompItem<TgPlotToolBar>(FMaster->ToolBarManager(), index);
}
int TgPlotComponent::GetToolBarIndexByName(const std::string& name) {
    return FMaster->ToolBarManager()->GetIndexByName(name);
}
TgPlotToolBar* TgPlotComponent::GetToolBarByName(const std::string& name) {
    return PlotCompByName<TgPlotToolBar>(FMaster->ToolBarManager(), name);
}
int TgPlotComponent::AddToolBar() {
    return FMaster->AddToolBar();
}
void TgPlotComponent::DeleteToolBar(int index) {
    delete FMaster->ToolBarManager()->GetItem(index);
    InvalidateNow();
}
void TgPlotComponent::RemoveAllToolBars() {
    FMaster->ToolBarManager()->Clear();
    InvalidateNow();
}

int TgPlotComponent::LimitCount() {
    return FMaster->LimitManager()->Count();
}
TgPlotLimit* TgPlotComponent::GetLimit(int index) {
    return PlotCompItem<TgPlotLimit>(FMaster->LimitManager(), index);
}
int TgPlotComponent::GetLimitIndexByName(const std::string& name) {
    return FMaster->LimitManager()->GetIndexByName(name);
}
TgPlotLimit* TgPlotComponent::GetLimitByName(const std::string& name) {
    return PlotCompByName<TgPlotLimit>(FMaster->LimitManager(), name);
}
int TgPlotComponent::AddLimit() {
    return FMaster->AddLimit();
}
void TgPlotComponent::DeleteLimit(int index) {
    delete FMaster->LimitManager()->GetItem(index);
    InvalidateNow();
}
void TgPlotComponent::RemoveAllLimits() {
    FMaster->LimitManager()->Clear();
    InvalidateNow();
}

int TgPlotComponent::LabelCount() {
    return FMaster->LabelManager()->Count();
}
TgPlotLabel* TgPlotComponent::GetLabel(int index) {
    return PlotCompItem<TgPlotLabel>(FMaster->LabelManager(), index);
}
int TgPlotComponent::GetLabelIndexByName(const std::string& name) {
    return FMaster->LabelManager()->GetIndexByName(name);
}
TgPlotLabel* TgPlotComponent::GetLabelByName(const std::string& name) {
    return PlotCompByName<TgPlotLabel>(FMaster->LabelManager(), name);
}
int TgPlotComponent::AddLabel() {
    return FMaster->AddLabel();
}
void TgPlotComponent::DeleteLabel(int index) {
    if (index == 0)
        throw EKvError("Label Index 0 can not be Deleted (Resevered for Title)");
    delete FMaster->LabelManager()->GetItem(index);
}
void TgPlotComponent::RemoveAllLabels() {
    while (LabelCount() > 1)
        delete FMaster->LabelManager()->GetItem(1);
}

int TgPlotComponent::AnnotationCount() {
    return FMaster->AnnotationManager()->Count();
}
TgPlotAnnotation* TgPlotComponent::GetAnnotation(int index) {
    return PlotCompItem<TgPlotAnnotation>(FMaster->AnnotationManager(), index);
}
int TgPlotComponent::GetAnnotationIndexByName(const std::string& name) {
    return FMaster->AnnotationManager()->GetIndexByName(name);
}
TgPlotAnnotation* TgPlotComponent::GetAnnotationByName(const std::string& name) {
    return PlotCompByName<TgPlotAnnotation>(FMaster->AnnotationManager(), name);
}
int TgPlotComponent::AddAnnotation() {
    const int index = FMaster->AddAnnotation();
    if (TgPlotAnnotation* a = GetAnnotation(index)) {
        a->SetBrushStyle(FAnnotationDefaultBrushStlye);
        a->SetBrushColor(FAnnotationDefaultBrushColor);
        a->SetPenStyle(FAnnotationDefaultPenStlye);
        a->SetPenColor(FAnnotationDefaultPenColor);
        a->SetPenWidth(FAnnotationDefaultPenWidth);
        a->SetReference(FAnnotationDefaultReference);
        a->SetReferencePositionX(FAnnotationDefaultReferencePositionX);
        a->SetReferencePositionY(FAnnotationDefaultReferencePositionY);
        a->SetReferenceSizeX(FAnnotationDefaultReferenceSizeX);
        a->SetReferenceSizeY(FAnnotationDefaultReferenceSizeY);
        a->Font()->Assign(FAnnotationDefaultFont.get());
    }
    return index;
}
void TgPlotComponent::DeleteAnnotation(int index) {
    delete FMaster->AnnotationManager()->GetItem(index);
    InvalidateNow();
}
void TgPlotComponent::RemoveAllAnnotations() {
    FMaster->AnnotationManager()->Clear();
    InvalidateNow();
}

int TgPlotComponent::TranslationCount() {
    return FMaster->TranslationManager()->Count();
}
int TgPlotComponent::AddTranslation(const std::string& originalString, const std::string& replacementString) {
    const int index = FMaster->AddTranslation();
    TgPlotTranslationObject* entry = FMaster->TranslationManager()->GetItem(index);
    entry->SetOriginalString(originalString);
    entry->SetReplacementString(replacementString);
    return index;
}
void TgPlotComponent::DeleteTranslation(int index) {
    FMaster->TranslationManager()->Delete(index);
    InvalidateNow();
}
void TgPlotComponent::RemoveAllTranslations() {
    FMaster->TranslationManager()->Clear();
    InvalidateNow();
}
std::string TgPlotComponent::GetTranslationOriginalString(int index) {
    return FMaster->TranslationManager()->GetItem(index)->OriginalString();
}
std::string TgPlotComponent::GetTranslationReplacementString(int index) {
    return FMaster->TranslationManager()->GetItem(index)->ReplacementString();
}
void TgPlotComponent::LoadTranslationsFromFile(const std::string& fileName) {
    FMaster->TranslationManager()->LoadFromFile(fileName);
}
void TgPlotComponent::SaveTranslationsToFile(const std::string& fileName) {
    FMaster->TranslationManager()->SaveToFile(fileName);
}

// ---------------------------------------------------------------------------------------------------
// Layout control, tracking, data

void TgPlotComponent::DisableLayoutManager() {
    LayoutManager()->SetEnabled(false);
}

void TgPlotComponent::EnableLayoutManager() {
    LayoutManager()->SetEnabled(true);
}

void TgPlotComponent::RefreshLayoutManager() {
    LayoutManager()->SetEnabled(false);
    LayoutManager()->SetEnabled(true);
}

void TgPlotComponent::EnableAllTracking() {
    for (int i = 0; i < XAxisCount(); ++i)
        GetXAxis(i)->SetTrackingEnabled(true);
    for (int i = 0; i < YAxisCount(); ++i)
        GetYAxis(i)->SetTrackingEnabled(true);
}

void TgPlotComponent::DisableAllTracking() {
    for (int i = 0; i < XAxisCount(); ++i)
        GetXAxis(i)->SetTrackingEnabled(false);
    for (int i = 0; i < YAxisCount(); ++i)
        GetYAxis(i)->SetTrackingEnabled(false);
}

void TgPlotComponent::ClearAllData() {
    if (FLoggingActive)
        LogDeactivate();
    FMaster->ClearAllData();
}

double TgPlotComponent::GetNow() const {
    const QDateTime now = QDateTime::currentDateTime();
    const double localMs = double(now.toMSecsSinceEpoch()) + double(now.offsetFromUtc()) * 1000.0;
    return localMs / 86400000.0 + 25569.0; // days since 1899-12-30
}

void TgPlotComponent::AddDefaultObjects(const std::string& channelClass) {
    FMaster->SetChannelClass(channelClass);
    DisableLayoutManager();
    // The layout manager comes back on however the defaults end.
    struct LayoutOn {
        TgPlotComponent* plot;
        ~LayoutOn() { plot->EnableLayoutManager(); }
    } layoutOn{this};
    GetToolBar(AddToolBar())->SetZOrder(3);
    GetLegend(AddLegend())->SetZOrder(2);
    AddXAxis();
    AddYAxis();
    AddChannel();
    AddDataView();
    AddDataCursor();
    TgPlotLabel* title = GetLabel(AddLabel());
    title->SetZOrder(2);
    title->SetName("Title");
    title->SetCaption("Untitled");
    title->SetMarginBottom(0);
}

void TgPlotComponent::AddSaveExclusions(TStringList& exclude) const {
    // The layout's own values: the managers and image lists travel in the window layout only.
    for (const char* name :
         {"ImageList0", "ImageList1", "ImageList2", "ToolBarManager", "LegendManager", "TableManager",
          "XAxisManager", "YAxisManager", "ChannelManager", "DataViewManager", "DataCursorManager",
          "LimitManager", "LabelManager", "TranslationManager"})
        exclude.Add(name);
}

// ---------------------------------------------------------------------------------------------------
// Image lists

TImageList* TgPlotComponent::GetImageList(int index) {
    return index >= 0 && index < 3 ? FImageLists[static_cast<std::size_t>(index)].get() : nullptr;
}

TImageList* TgPlotComponent::ImageListOrRaise(int index) {
    TImageList* list = GetImageList(index);
    if (!list)
        throw EKvError("ImageList Index must be 0-2");
    return list;
}

void TgPlotComponent::ImageListClear(int imageListIndex) {
    ImageListOrRaise(imageListIndex)->Clear();
    InvalidateChange();
}

void TgPlotComponent::ImageListAdd(int imageListIndex, const TBitmap& bitmap) {
    TImageList* list = ImageListOrRaise(imageListIndex);
    const TColor mask = bitmap.TransparentColor();
    const int w = bitmap.Width(), h = bitmap.Height();
    if (list->Count() == 0) {
        list->SetSize(w, h);
        list->Add(bitmap, mask);
    } else if (w < list->Width() && h < list->Height()) {
        TBitmap centred(list->Width(), list->Height());
        TCanvas& c = *centred.Canvas();
        c.Brush()->SetStyle(TBrushStyle::bsSolid);
        c.Brush()->SetColor(mask);
        c.FillRect(Rect(0, 0, list->Width(), list->Height()));
        c.Draw(list->Width() / 2 - w / 2, list->Height() / 2 - h / 2, &bitmap);
        list->Add(centred, mask);
    } else if (w != list->Width() && h != list->Height() && !(w > list->Width() && h > list->Height())) {
        throw EKvError(
            "Image Width and Height must be the same as other images, or both smaller, or both larger");
    } else {
        list->Add(bitmap, mask);
    }
    InvalidateChange();
}

void TgPlotComponent::ImageListLoadFromResourceName(int imageListIndex, const std::string& resName) {
    ImageListOrRaise(imageListIndex);
    const std::vector<std::uint8_t> bytes = ResourceBytes(resName);
    QImage image;
    if (!image.loadFromData(bytes.data(), static_cast<int>(bytes.size())))
        throw EKvError("Invalid picture resource " + resName);
    TBitmap bitmap;
    bitmap.FromImage(image);
    ImageListAdd(imageListIndex, bitmap);
}

// ---------------------------------------------------------------------------------------------------
// Select mode and settings the objects read

bool TgPlotComponent::GetSelectModeActive() {
    return ToolBarCount() != 0 && GetToolBar(0)->GetSelectActive();
}

void TgPlotComponent::SyncSelectMode(bool on) {
    if (ToolBarCount() != 0 && GetToolBar(0)->GetSelectActive() != on)
        GetToolBar(0)->DoButtonClickSelect();
}

char TgPlotComponent::GetDataFileSeparatorChar() {
    return FDataFileColumnSeparator == TgPlotDataFileColumnSeparator::ipdfcsComma ? ',' : '\t';
}

bool TgPlotComponent::ToolBarSelectActive() {
    return GetSelectModeActive();
}

bool TgPlotComponent::ToolBarZoomBoxActive() {
    return ToolBarCount() != 0 && GetToolBar(0)->ZoomBoxActive();
}

// ---------------------------------------------------------------------------------------------------
// Published properties

int TgPlotComponent::DataViewZHorz() const {
    TgPlotLayoutManager* m = LayoutManager();
    return m && m->DataViewHorz() ? m->DataViewHorz()->ZOrder() : 1;
}

void TgPlotComponent::SetDataViewZHorz(int value) {
    if (TgPlotLayoutManager* m = LayoutManager(); m && m->DataViewHorz()) {
        m->DataViewHorz()->SetZOrder(value);
        m->Rebuild();
    }
}

int TgPlotComponent::DataViewZVert() const {
    TgPlotLayoutManager* m = LayoutManager();
    return m && m->DataViewVert() ? m->DataViewVert()->ZOrder() : 1;
}

void TgPlotComponent::SetDataViewZVert(int value) {
    if (TgPlotLayoutManager* m = LayoutManager(); m && m->DataViewVert()) {
        m->DataViewVert()->SetZOrder(value);
        m->Rebuild();
    }
}

bool TgPlotComponent::XYAxesReverse() const {
    return FMaster->XYAxesReverse();
}

void TgPlotComponent::SetXYAxesReverse(bool value) {
    FMaster->SetXYAxesReverse(value);
}

bool TgPlotComponent::UserCanEditObjects() const {
    return FMaster->UserCanEditObjects();
}

void TgPlotComponent::SetUserCanEditObjects(bool value) {
    FMaster->SetUserCanEditObjects(value);
}

bool TgPlotComponent::TitleVisible() const {
    TgPlotLabelManager* m = FMaster->LabelManager();
    return m->Count() != 0 && m->GetItem(0)->Visible();
}

void TgPlotComponent::SetTitleVisible(bool value) {
    if (TgPlotLabelManager* m = FMaster->LabelManager(); m->Count() != 0)
        m->GetItem(0)->SetVisible(value);
}

std::string TgPlotComponent::TitleText() const {
    TgPlotLabelManager* m = FMaster->LabelManager();
    auto* label = m->Count() != 0 ? dynamic_cast<TgPlotLabel*>(m->GetItem(0)) : nullptr;
    return label ? label->Caption() : std::string();
}

void TgPlotComponent::SetTitleText(const std::string& value) {
    TgPlotLabelManager* m = FMaster->LabelManager();
    if (auto* label = m->Count() != 0 ? dynamic_cast<TgPlotLabel*>(m->GetItem(0)) : nullptr)
        label->SetCaption(value);
}

TFont* TgPlotComponent::TitleFont() const {
    TgPlotLabelManager* m = FMaster->LabelManager();
    auto* label = m->Count() != 0 ? dynamic_cast<TgPlotLabel*>(m->GetItem(0)) : nullptr;
    return label ? label->Font() : Font();
}

void TgPlotComponent::SetTitleFont(const TFont* value) {
    TgPlotLabelManager* m = FMaster->LabelManager();
    if (auto* label = m->Count() != 0 ? dynamic_cast<TgPlotLabel*>(m->GetItem(0)) : nullptr)
        label->SetFont(value);
}

double TgPlotComponent::TitleMargin() const {
    TgPlotLabelManager* m = FMaster->LabelManager();
    auto* label = m->Count() != 0 ? dynamic_cast<TgPlotLabel*>(m->GetItem(0)) : nullptr;
    return label ? label->MarginBottom() : 0;
}

void TgPlotComponent::SetTitleMargin(double value) {
    TgPlotLabelManager* m = FMaster->LabelManager();
    if (auto* label = m->Count() != 0 ? dynamic_cast<TgPlotLabel*>(m->GetItem(0)) : nullptr)
        label->SetMarginBottom(value);
}

void TgPlotComponent::RequireLoggingOff(const char* message) const {
    if (FLoggingActive)
        throw EKvError(message);
}

void TgPlotComponent::SetLogFileName(const std::string& value) {
    if (value == FLogFileName)
        return;
    RequireLoggingOff("Log File Name can not be changed while logging is active.");
    FLogFileName = value;
}

void TgPlotComponent::SetDataFileColumnSeparator(TgPlotDataFileColumnSeparator value) {
    if (value == FDataFileColumnSeparator)
        return;
    RequireLoggingOff("Data File Column Seperator can not be changed while logging active");
    FDataFileColumnSeparator = value;
}

void TgPlotComponent::SetDataFileFormat(TgPlotDataFileFormat value) {
    if (value == FDataFileFormat)
        return;
    RequireLoggingOff("Data File Format can not be changed while logging active");
    FDataFileFormat = value;
}

void TgPlotComponent::SetBackGroundGradientDirection(TgFillDirection value) {
    if (value == FBackGroundGradientDirection)
        return;
    FBackGroundGradientDirection = value;
    InvalidateChange();
}

// ---------------------------------------------------------------------------------------------------
// Layout streaming

void TgPlotComponent::ReadLayoutValue(const std::function<void()>& read) {
    TgPlotLayoutManager* layout = LayoutManager();
    if (IsLoading()) {
        // Neither laid out nor painted half-read: Loaded switches both back on.
        layout->SetEnabled(false);
        BeginUpdate();
        read();
        return;
    }
    // Outside a layout read the streamed levels are kept too: objects are not merged into levels.
    const bool enabled = layout->Enabled();
    layout->SetEnabled(false);
    try {
        read();
    } catch (...) {
        layout->SetEnabled(enabled);
        throw;
    }
    layout->SetEnabled(enabled);
    InvalidateChange();
}

std::string TgPlotComponent::ManagerText(TgPlotObjectManagerCustom* manager) const {
    TgWriter writer;
    writer.RootAncestor = const_cast<TgPlotComponent*>(this);
    manager->WriteToStream(writer);
    return writer.Text();
}

void TgPlotComponent::SetManagerText(TgPlotObjectManagerCustom* manager, const std::string& text) {
    ReadLayoutValue([&] {
        TgReader reader = TgReader::FromText(text);
        manager->ReadFromStream(reader);
    });
}

std::string TgPlotComponent::TranslationManagerText() const {
    TgWriter writer;
    writer.RootAncestor = const_cast<TgPlotComponent*>(this);
    FMaster->TranslationManager()->WriteToStream(writer);
    return writer.Text();
}

void TgPlotComponent::SetTranslationManagerText(const std::string& text) {
    ReadLayoutValue([&] {
        TgReader reader = TgReader::FromText(text);
        FMaster->TranslationManager()->ReadFromStream(reader);
    });
}

std::string TgPlotComponent::ImageListText(int index) const {
    const TImageList* list = const_cast<TgPlotComponent*>(this)->GetImageList(index);
    if (!list)
        throw EKvError("ImageList Index must be 0-2");
    try {
        return Base64Encode(list->SaveToBytes());
    } catch (const std::exception&) {
        throw EWriteError("Failed to write ImageList data to stream");
    }
}

void TgPlotComponent::SetImageListText(int index, const std::string& text) {
    TImageList* list = ImageListOrRaise(index);
    ReadLayoutValue([&] {
        list->Clear();
        try {
            list->LoadFromBytes(Base64Decode(text));
        } catch (const std::exception&) {
            throw EReadError("Failed to read ImageList data from stream");
        }
    });
}

void TgPlotComponent::SeparateToolBarFromTitle() {
    if (ToolBarCount() == 0 || LabelCount() == 0)
        return;
    TgPlotToolBar* toolBar = GetToolBar(0);
    TgPlotLabel* title = GetLabel(0);
    if (toolBar && title && toolBar->Horizontal() == title->Horizontal() &&
        toolBar->ZOrder() == title->ZOrder())
        toolBar->SetZOrder(toolBar->ZOrder() + 1);
}

void TgPlotComponent::Loaded() {
    TgCustomComponent::Loaded();
    // Once every object is in: the objects the constructor made and the layout replaces do not count.
    SeparateToolBarFromTitle();
    LayoutManager()->SetEnabled(true);
    EndUpdate();
}

// ---------------------------------------------------------------------------------------------------
// Notifications from the master manager

TgPlotComponent::TEventKind TgPlotComponent::KindOf(const TObject* object) const {
    if (dynamic_cast<const TgPlotChannelCustom*>(object))
        return TEventKind::Channel;
    if (dynamic_cast<const TgPlotXAxis*>(object))
        return TEventKind::XAxis;
    if (dynamic_cast<const TgPlotYAxis*>(object))
        return TEventKind::YAxis;
    if (dynamic_cast<const TgPlotDataCursor*>(object))
        return TEventKind::DataCursor;
    if (dynamic_cast<const TgPlotDataView*>(object))
        return TEventKind::DataView;
    if (dynamic_cast<const TgPlotLegend*>(object))
        return TEventKind::Legend;
    if (dynamic_cast<const TgPlotLimit*>(object))
        return TEventKind::Limit;
    if (dynamic_cast<const TgPlotAnnotation*>(object))
        return TEventKind::Annotation;
    if (dynamic_cast<const TgPlotTable*>(object))
        return TEventKind::Table;
    return TEventKind::None;
}

int TgPlotComponent::IndexOf(const TObject* object) const {
    for (TgPlotObjectManagerCustom* m :
         {static_cast<TgPlotObjectManagerCustom*>(FMaster->ChannelManager()),
          static_cast<TgPlotObjectManagerCustom*>(FMaster->XAxisManager()),
          static_cast<TgPlotObjectManagerCustom*>(FMaster->YAxisManager()),
          static_cast<TgPlotObjectManagerCustom*>(FMaster->DataCursorManager()),
          static_cast<TgPlotObjectManagerCustom*>(FMaster->DataViewManager()),
          static_cast<TgPlotObjectManagerCustom*>(FMaster->LegendManager()),
          static_cast<TgPlotObjectManagerCustom*>(FMaster->LimitManager()),
          static_cast<TgPlotObjectManagerCustom*>(FMaster->AnnotationManager()),
          static_cast<TgPlotObjectManagerCustom*>(FMaster->TableManager()),
          static_cast<TgPlotObjectManagerCustom*>(FMaster->ToolBarManager()),
          static_cast<TgPlotObjectManagerCustom*>(FMaster->LabelManager())})
        if (m)
            if (const int i = m->GetIndex(object); i >= 0)
                return i;
    return -1;
}

void TgPlotComponent::ForgetMouseObjects(const TObject* object) {
    const std::pair<TgPlotObject**, TgPlotObject**> held[] = {
        {&FMouseDownObject, &FMouseDownSource},
        {&FLastMouseOverObject, &FLastMouseOverSource},
        {&FLastMouseClickObject, &FLastMouseClickSource},
        {&FLastHintObject, &FLastHintSource}};
    for (const auto& [target, source] : held)
        if (!object || *target == object || *source == object)
            *target = *source = nullptr;
}

void TgPlotComponent::NotificationChangeObject(TObject* sender) {
    if (IsDestroying())
        return;
    // A channel draws only above the kept layer; what else its data moves (scales, ticks, layout) is
    // checked against the layer's key at the paint.
    FDataChangeOnly = dynamic_cast<TgPlotChannelCustom*>(sender) != nullptr;
    InvalidateChange();
    FDataChangeOnly = false;
}

void TgPlotComponent::PictureChanged() {
    if (!FDataChangeOnly)
        FBaseLayerStale = true;
}

void TgPlotComponent::NotificationInsertObject(TObject* object) {
    FBaseLayerStale = true;
    static constexpr TgPlotObjectEvent TgPlotComponent::*kAdd[] = {
        &TgPlotComponent::OnAddChannel,    &TgPlotComponent::OnAddXAxis,      &TgPlotComponent::OnAddYAxis,
        &TgPlotComponent::OnAddDataCursor, &TgPlotComponent::OnAddDataView,   &TgPlotComponent::OnAddLegend,
        &TgPlotComponent::OnAddLimit,      &TgPlotComponent::OnAddAnnotation, &TgPlotComponent::OnAddTable};
    const TEventKind kind = KindOf(object);
    if (kind == TEventKind::None || IsDestroying())
        return;
    if (const TgPlotObjectEvent& event = this->*kAdd[static_cast<int>(kind)])
        event(this, IndexOf(object));
}

void TgPlotComponent::NotificationRemoveObject(TObject* object) {
    FBaseLayerStale = true;
    // Nothing may reach a removed object (or a button of it) through the mouse state once its remove
    // event runs.
    ForgetMouseObjects(object);
    static constexpr TgPlotObjectEvent TgPlotComponent::*kRemove[] = {
        &TgPlotComponent::OnRemoveChannel,  &TgPlotComponent::OnRemoveXAxis,
        &TgPlotComponent::OnRemoveYAxis,    &TgPlotComponent::OnRemoveDataCursor,
        &TgPlotComponent::OnRemoveDataView, &TgPlotComponent::OnRemoveLegend,
        &TgPlotComponent::OnRemoveLimit,    &TgPlotComponent::OnRemoveAnnotation,
        &TgPlotComponent::OnRemoveTable};
    const TEventKind kind = KindOf(object);
    if (kind == TEventKind::None || IsDestroying())
        return;
    if (const TgPlotObjectEvent& event = this->*kRemove[static_cast<int>(kind)])
        event(this, IndexOf(object));
}

// ---------------------------------------------------------------------------------------------------
// Event raisers

void TgPlotComponent::DoClickObject(TgPlotObject* object, bool dblClick) {
    static constexpr TgPlotObjectEvent TgPlotComponent::*kClick[] = {
        &TgPlotComponent::OnClickChannel,  &TgPlotComponent::OnClickXAxis,
        &TgPlotComponent::OnClickYAxis,    &TgPlotComponent::OnClickDataCursor,
        &TgPlotComponent::OnClickDataView, &TgPlotComponent::OnClickLegend,
        &TgPlotComponent::OnClickLimit,    &TgPlotComponent::OnClickAnnotation};
    static constexpr TgPlotObjectEvent TgPlotComponent::*kDblClick[] = {
        &TgPlotComponent::OnDblClickChannel,  &TgPlotComponent::OnDblClickXAxis,
        &TgPlotComponent::OnDblClickYAxis,    &TgPlotComponent::OnDblClickDataCursor,
        &TgPlotComponent::OnDblClickDataView, &TgPlotComponent::OnDblClickLegend,
        &TgPlotComponent::OnDblClickLimit,    &TgPlotComponent::OnDblClickAnnotation};
    const TEventKind kind = KindOf(object);
    if (kind < TEventKind::Table && Firing()) {
        const auto k = static_cast<std::size_t>(kind);
        if (const TgPlotObjectEvent& event = this->*(dblClick ? kDblClick[k] : kClick[k]))
            event(this, IndexOf(object));
    }
    FDBLClickActive = false;
}

void TgPlotComponent::DoGetMouseCursor(TgPlotObject* object, TCursor& cursor) {
    static constexpr TgPlotObjectGetMouseCursorEvent TgPlotComponent::*kCursor[] = {
        &TgPlotComponent::OnGetMouseCursorChannel,  &TgPlotComponent::OnGetMouseCursorXAxis,
        &TgPlotComponent::OnGetMouseCursorYAxis,    &TgPlotComponent::OnGetMouseCursorDataCursor,
        &TgPlotComponent::OnGetMouseCursorDataView, &TgPlotComponent::OnGetMouseCursorLegend,
        &TgPlotComponent::OnGetMouseCursorLimit,    &TgPlotComponent::OnGetMouseCursorAnnotation,
        &TgPlotComponent::OnGetMouseCursorTable};
    const TEventKind kind = KindOf(object);
    if (kind == TEventKind::None || !Firing())
        return;
    if (const auto& event = this->*kCursor[static_cast<int>(kind)])
        event(this, IndexOf(object), cursor);
}

void TgPlotComponent::DoAfterOpenEditor(TObject* sender) {
    if (OnAfterOpenEditor && Firing())
        OnAfterOpenEditor(sender);
}

void TgPlotComponent::DoAfterCloseEditor(TObject* sender) {
    if (OnAfterCloseEditor && Firing())
        OnAfterCloseEditor(sender);
}

void TgPlotComponent::DoLimitLine1PositionChange(TgPlotObject* limit, double oldValue, double newValue) {
    if (OnLimitLine1PositionChange && Firing())
        OnLimitLine1PositionChange(this, IndexOf(limit), oldValue, newValue);
}

void TgPlotComponent::DoLimitLine2PositionChange(TgPlotObject* limit, double oldValue, double newValue) {
    if (OnLimitLine2PositionChange && Firing())
        OnLimitLine2PositionChange(this, IndexOf(limit), oldValue, newValue);
}

void TgPlotComponent::DoDataCursorChange(TgPlotObject* cursor) {
    // Also while the plot loads.
    if (OnDataCursorChange && !IsDestroying())
        OnDataCursorChange(this, IndexOf(cursor));
}

void TgPlotComponent::DoDataCursorCustomizeHint(TgPlotObject* cursor, std::string& text) {
    if (OnDataCursorCustomizeHint && Firing())
        OnDataCursorCustomizeHint(this, IndexOf(cursor), text);
}

void TgPlotComponent::DoAnnotationCoordinatesChange(TgPlotObject* annotation) {
    if (OnAnnotationCoordinatesChange && Firing())
        OnAnnotationCoordinatesChange(this, IndexOf(annotation));
}

void TgPlotComponent::DoAnnotationMoveUser(TgPlotObject* annotation) {
    if (OnAnnotationMoveUser && Firing())
        OnAnnotationMoveUser(this, IndexOf(annotation));
}

void TgPlotComponent::DoAnnotationResizeUser(TgPlotObject* annotation) {
    if (OnAnnotationResizeUser && Firing())
        OnAnnotationResizeUser(this, IndexOf(annotation));
}

void TgPlotComponent::DoAnnotationCoordinatesChangeFinished(TgPlotObject* annotation) {
    if (OnAnnotationCoordinatesChangeFinished && Firing())
        OnAnnotationCoordinatesChangeFinished(this, IndexOf(annotation));
}

void TgPlotComponent::DoAxisMinSpanChangeFinished(TgPlotAxis* axis, double oldMin, double oldSpan) {
    const auto& event =
        KindOf(axis) == TEventKind::XAxis ? OnXAxisMinSpanChangeFinished : OnYAxisMinSpanChangeFinished;
    if (event && Firing())
        event(this, IndexOf(axis), oldMin, oldSpan, axis->Min(), axis->Span());
}

// --- TgPlotObjectHost

void TgPlotComponent::DoObjectMouseDown(TgPlotObject* object, TMouseButton button, TShiftState shift, int x,
                                        int y) {
    static constexpr TgPlotObjectMouseEvent TgPlotComponent::*kDown[] = {
        &TgPlotComponent::OnMouseDownChannel,  &TgPlotComponent::OnMouseDownXAxis,
        &TgPlotComponent::OnMouseDownYAxis,    &TgPlotComponent::OnMouseDownDataCursor,
        &TgPlotComponent::OnMouseDownDataView, &TgPlotComponent::OnMouseDownLegend,
        &TgPlotComponent::OnMouseDownLimit,    &TgPlotComponent::OnMouseDownAnnotation};
    const TEventKind kind = KindOf(object);
    if (kind >= TEventKind::Table || !Firing())
        return;
    if (const auto& event = this->*kDown[static_cast<int>(kind)])
        event(this, IndexOf(object), button, shift, x, y);
}

void TgPlotComponent::DoObjectMouseMove(TgPlotObject* object, TShiftState shift, int x, int y) {
    static constexpr TgPlotObjectMouseMoveEvent TgPlotComponent::*kMove[] = {
        &TgPlotComponent::OnMouseMoveChannel,  &TgPlotComponent::OnMouseMoveXAxis,
        &TgPlotComponent::OnMouseMoveYAxis,    &TgPlotComponent::OnMouseMoveDataCursor,
        &TgPlotComponent::OnMouseMoveDataView, &TgPlotComponent::OnMouseMoveLegend,
        &TgPlotComponent::OnMouseMoveLimit,    &TgPlotComponent::OnMouseMoveAnnotation};
    const TEventKind kind = KindOf(object);
    if (kind >= TEventKind::Table || !Firing())
        return;
    if (const auto& event = this->*kMove[static_cast<int>(kind)])
        event(this, IndexOf(object), shift, x, y);
}

void TgPlotComponent::DoObjectMouseUp(TgPlotObject* object, TMouseButton button, TShiftState shift, int x,
                                      int y) {
    static constexpr TgPlotObjectMouseEvent TgPlotComponent::*kUp[] = {
        &TgPlotComponent::OnMouseUpChannel,  &TgPlotComponent::OnMouseUpXAxis,
        &TgPlotComponent::OnMouseUpYAxis,    &TgPlotComponent::OnMouseUpDataCursor,
        &TgPlotComponent::OnMouseUpDataView, &TgPlotComponent::OnMouseUpLegend,
        &TgPlotComponent::OnMouseUpLimit,    &TgPlotComponent::OnMouseUpAnnotation};
    const TEventKind kind = KindOf(object);
    if (kind >= TEventKind::Table || !Firing())
        return;
    if (const auto& event = this->*kUp[static_cast<int>(kind)])
        event(this, IndexOf(object), button, shift, x, y);
}

void TgPlotComponent::DoObjectMouseWheel(TgPlotObject* object, int wheelDelta, TShiftState shift,
                                         TPoint mousePos) {
    static constexpr TgPlotObjectMouseWheelEvent TgPlotComponent::*kWheel[] = {
        &TgPlotComponent::OnMouseWheelChannel,  &TgPlotComponent::OnMouseWheelXAxis,
        &TgPlotComponent::OnMouseWheelYAxis,    &TgPlotComponent::OnMouseWheelDataCursor,
        &TgPlotComponent::OnMouseWheelDataView, &TgPlotComponent::OnMouseWheelLegend,
        &TgPlotComponent::OnMouseWheelLimit,    &TgPlotComponent::OnMouseWheelAnnotation};
    const TEventKind kind = KindOf(object);
    if (kind >= TEventKind::Table || !Firing())
        return;
    // Only the time-series channels report the wheel.
    if (kind == TEventKind::Channel && !gObjectIsOfClass(object, "TgPlotChannel"))
        return;
    if (const auto& event = this->*kWheel[static_cast<int>(kind)])
        event(this, IndexOf(object), wheelDelta, shift, mousePos.X, mousePos.Y);
}

void TgPlotComponent::DoObjectPopupMenu(TgPlotObject* object, bool& handled, int screenX, int screenY) {
    static constexpr TgPlotPopupMenuEvent TgPlotComponent::*kPopup[] = {
        &TgPlotComponent::OnPopupMenuChannel,  &TgPlotComponent::OnPopupMenuXAxis,
        &TgPlotComponent::OnPopupMenuYAxis,    &TgPlotComponent::OnPopupMenuDataCursor,
        &TgPlotComponent::OnPopupMenuDataView, &TgPlotComponent::OnPopupMenuLegend,
        &TgPlotComponent::OnPopupMenuLimit,    &TgPlotComponent::OnPopupMenuAnnotation};
    const TEventKind kind = KindOf(object);
    if (kind >= TEventKind::Table || !Firing())
        return;
    if (const auto& event = this->*kPopup[static_cast<int>(kind)])
        event(this, IndexOf(object), handled, screenX, screenY);
}

void TgPlotComponent::DoObjectGotFocus(TgPlotObject* object) {
    static constexpr TgPlotObjectEvent TgPlotComponent::*kGot[] = {&TgPlotComponent::OnGotFocusChannel,
                                                                   &TgPlotComponent::OnGotFocusXAxis,
                                                                   &TgPlotComponent::OnGotFocusYAxis,
                                                                   &TgPlotComponent::OnGotFocusDataCursor,
                                                                   &TgPlotComponent::OnGotFocusDataView,
                                                                   &TgPlotComponent::OnGotFocusLegend,
                                                                   nullptr,
                                                                   &TgPlotComponent::OnGotFocusAnnotation};
    const TEventKind kind = KindOf(object);
    if (kind >= TEventKind::Table || !kGot[static_cast<int>(kind)] || !Firing())
        return;
    if (const auto& event = this->*kGot[static_cast<int>(kind)])
        event(this, IndexOf(object));
}

void TgPlotComponent::DoObjectLostFocus(TgPlotObject* object) {
    static constexpr TgPlotObjectEvent TgPlotComponent::*kLost[] = {&TgPlotComponent::OnLostFocusChannel,
                                                                    &TgPlotComponent::OnLostFocusXAxis,
                                                                    &TgPlotComponent::OnLostFocusYAxis,
                                                                    &TgPlotComponent::OnLostFocusDataCursor,
                                                                    &TgPlotComponent::OnLostFocusDataView,
                                                                    &TgPlotComponent::OnLostFocusLegend,
                                                                    nullptr,
                                                                    &TgPlotComponent::OnLostFocusAnnotation};
    const TEventKind kind = KindOf(object);
    if (kind >= TEventKind::Table || !kLost[static_cast<int>(kind)] || !Firing())
        return;
    if (const auto& event = this->*kLost[static_cast<int>(kind)])
        event(this, IndexOf(object));
}

std::string TgPlotComponent::FindReplacement(const std::string& text) {
    TgPlotTranslationManager* m = FMaster ? FMaster->TranslationManager() : nullptr;
    return m ? m->FindReplacement(text) : text;
}

// --- IgPlotAxisHost

void TgPlotComponent::DoAxisMinChange(TgPlotAxis* axis, double oldValue, double newValue) {
    const auto& event = KindOf(axis) == TEventKind::XAxis ? OnXAxisMinChange : OnYAxisMinChange;
    if (event && Firing())
        event(this, IndexOf(axis), oldValue, newValue);
}

void TgPlotComponent::DoAxisSpanChange(TgPlotAxis* axis, double oldValue, double newValue) {
    const auto& event = KindOf(axis) == TEventKind::XAxis ? OnXAxisSpanChange : OnYAxisSpanChange;
    if (event && Firing())
        event(this, IndexOf(axis), oldValue, newValue);
}

void TgPlotComponent::DoAxisMinSpanChange(TgPlotAxis* axis, double oldMin, double oldSpan, double newMin,
                                          double newSpan) {
    const auto& event = KindOf(axis) == TEventKind::XAxis ? OnXAxisMinSpanChange : OnYAxisMinSpanChange;
    if (event && Firing())
        event(this, IndexOf(axis), oldMin, oldSpan, newMin, newSpan);
}

void TgPlotComponent::DoAxisCustomizeLabel(TgPlotAxis* axis, double value, std::string& label) {
    const auto& event = KindOf(axis) == TEventKind::XAxis ? OnXAxisCustomizeLabel : OnYAxisCustomizeLabel;
    if (!event || !Firing())
        return;
    // The text stays with the plot while the handler runs.
    FTempCustomLabel = label;
    event(this, IndexOf(axis), value, FTempCustomLabel);
    label = FTempCustomLabel;
}

void TgPlotComponent::DoAxisCustomizeHint(TgPlotAxis* axis, std::string& text) {
    const auto& event = KindOf(axis) == TEventKind::XAxis ? OnXAxisCustomizeHint : OnYAxisCustomizeHint;
    if (event && Firing())
        event(this, IndexOf(axis), text);
}

TCanvas* TgPlotComponent::HintCanvas() {
    return FMeasureBitmap->Canvas();
}

bool TgPlotComponent::GetChannelsRange(TgPlotAxis* axis, bool running, double& lo, double& hi) {
    const bool x = KindOf(axis) == TEventKind::XAxis;
    bool found = false;
    lo = 1e300;
    hi = -1e300;
    for (int i = 0; i < ChannelCount(); ++i) {
        TgPlotChannelCustom* c = GetChannel(i);
        if (!c || !SameText(x ? c->XAxisName() : c->YAxisName(), axis->Name()))
            continue;
        found = true;
        if (running) {
            lo = std::min(lo, x ? c->RunningXMin() : c->RunningYMin());
            hi = std::max(hi, x ? c->RunningXMax() : c->RunningYMax());
        } else {
            lo = std::min(lo, x ? c->GetVisibleXMin() : c->GetVisibleYMin());
            hi = std::max(hi, x ? c->GetVisibleXMax() : c->GetVisibleYMax());
        }
    }
    return found;
}

// --- IgPlotChannelHost

TgPlotDataView* TgPlotComponent::GetFirstDataView() {
    return DataViewCount() != 0 ? GetDataView(0) : nullptr;
}

int TgPlotComponent::GetChannelIndex(const TgPlotObject* channel) {
    return FMaster->ChannelManager()->GetIndex(channel);
}

void TgPlotComponent::DoMouseDownDataPoint(int channelIndex, int dataIndex, TMouseButton button,
                                           TShiftState shift, int x, int y) {
    if (OnMouseDownDataPoint && Firing())
        OnMouseDownDataPoint(this, channelIndex, dataIndex, button, shift, x, y);
}

void TgPlotComponent::DoMouseMoveDataPoint(int channelIndex, int dataIndex, TShiftState shift, int x, int y) {
    if (OnMouseMoveDataPoint && Firing())
        OnMouseMoveDataPoint(this, channelIndex, dataIndex, shift, x, y);
}

void TgPlotComponent::DoMouseUpDataPoint(int channelIndex, int dataIndex, TMouseButton button,
                                         TShiftState shift, int x, int y) {
    if (OnMouseUpDataPoint && Firing())
        OnMouseUpDataPoint(this, channelIndex, dataIndex, button, shift, x, y);
}

void TgPlotComponent::DoClickDataPoint(int channelIndex, int dataIndex, bool dblClick) {
    // The double-click flag stays for the channel's own click that follows.
    const auto& event = dblClick ? OnDblClickDataPoint : OnClickDataPoint;
    if (event && Firing())
        event(this, channelIndex, dataIndex);
}

void TgPlotComponent::DoDataPointMoved(int channelIndex, int dataIndex, double oldX, double oldY, double newX,
                                       double newY) {
    if (OnDataPointMoved && Firing())
        OnDataPointMoved(this, channelIndex, dataIndex, oldX, oldY, newX, newY);
}

void TgPlotComponent::DoDataPointCustomizeHint(int channelIndex, int dataIndex, std::string& text) {
    if (OnDataPointCustomizeHint && Firing())
        OnDataPointCustomizeHint(this, channelIndex, dataIndex, text);
}

void TgPlotComponent::DoClickChannel(int channelIndex, bool dblClick) {
    if (channelIndex >= 0 && channelIndex < ChannelCount())
        DoClickObject(GetChannel(channelIndex), dblClick);
    else
        FDBLClickActive = false;
}

void TgPlotComponent::DoGetMouseCursorChannel(int channelIndex, TCursor& cursor) {
    if (channelIndex >= 0 && channelIndex < ChannelCount())
        DoGetMouseCursor(GetChannel(channelIndex), cursor);
}

// --- IgPlotDataViewHost

void TgPlotComponent::DoBeforeZoomBox(TRect& rect, bool& cancel) {
    if (OnBeforeZoomBox && Firing())
        OnBeforeZoomBox(this, rect, cancel);
}

void TgPlotComponent::DoClickDataView(TgPlotDataView* dataView, bool dblClick) {
    DoClickObject(dataView, dblClick);
}

void TgPlotComponent::DoGetMouseCursorDataView(TgPlotDataView* dataView, TCursor& cursor) {
    DoGetMouseCursor(dataView, cursor);
}

// --- IgPlotObjectClick

void TgPlotComponent::DoObjectClick(TgPlotObject* object) {
    DoClickObject(object, FDBLClickActive);
}

// --- IgPlotToolBarHost

int TgPlotComponent::GetToolBarIndex(const TgPlotToolBar* toolBar) {
    return FMaster->ToolBarManager()->GetIndex(toolBar);
}

void TgPlotComponent::DoBeforeToolBarButtonClick(int index, TgPlotToolBarButtonType type, bool& cancel) {
    if (OnBeforeToolBarButtonClick && Firing())
        OnBeforeToolBarButtonClick(this, index, type, cancel);
}

void TgPlotComponent::DoToolBarButtonClick(int index, TgPlotToolBarButtonType type) {
    if (OnToolBarButtonClick && Firing())
        OnToolBarButtonClick(this, index, type);
}

void TgPlotComponent::DoToolBarCustomizeHint(int index, std::string& text) {
    if (OnToolBarCustomizeHint && Firing())
        OnToolBarCustomizeHint(this, index, text);
}

void TgPlotComponent::ClearAllUserSelections() {
    FMaster->DeSelectAll();
}

void TgPlotComponent::EditProperties() {
    FMaster->EditProperties();
}

// --- IgPlotLegendHost and IgPlotDataCursorHost

void TgPlotComponent::DoClickLegend(TgPlotLegend* legend) {
    DoClickObject(legend, FDBLClickActive);
}

void TgPlotComponent::DoGetMouseCursorLegend(TgPlotLegend* legend, TCursor& cursor) {
    DoGetMouseCursor(legend, cursor);
}

void TgPlotComponent::DoBeforeDataCursorUpdate(TgPlotDataCursor* cursor) {
    if (OnBeforeDataCursorUpdate && Firing())
        OnBeforeDataCursorUpdate(this, IndexOf(cursor));
}

} // namespace kv
