#pragma once
// Annotations: texts, lines, shapes and pictures placed on the plot by data or data-view coordinates.

#include "plot/gPlotObjects.h"

#include "platform/gui/Graphics.h"

#include <memory>
#include <string>
#include <vector>

namespace kv {

enum class TgPlotReferenceType { iprtDataView, iprtChannel, iprtXChannelYDataView, iprtXDataViewYChannel };
std::vector<std::string> EnumIdents(TgPlotReferenceType);
enum class TgPlotReferenceIndividual { ipriDataView, ipriChannel, ipriAuto };
std::vector<std::string> EnumIdents(TgPlotReferenceIndividual);

class TgPlotAnnotation : public TgPlotObject {
    KV_CLASS(TgPlotAnnotation)
public:
    TgPlotAnnotation(TComponent* owner, TNotifyEvent onChange, TNotifyEvent onInsert, TNotifyEvent onRemove,
                     TNotifyEvent onRename);
    ~TgPlotAnnotation() override;

    TBrushStyle BrushStyle() const { return FBrushStyle; }
    void SetBrushStyle(TBrushStyle value);
    TColor BrushColor() const { return FBrushColor; }
    void SetBrushColor(TColor value);
    TPenStyle PenStyle() const { return FPenStyle; }
    void SetPenStyle(TPenStyle value);
    TColor PenColor() const { return FPenColor; }
    void SetPenColor(TColor value);
    int PenWidth() const { return FPenWidth; }
    void SetPenWidth(int value);
    TgPlotReferenceType Reference() const { return FReference; }
    void SetReference(TgPlotReferenceType value);
    TgPlotReferenceIndividual ReferencePositionX() const { return FReferencePositionX; }
    void SetReferencePositionX(TgPlotReferenceIndividual value);
    TgPlotReferenceIndividual ReferencePositionY() const { return FReferencePositionY; }
    void SetReferencePositionY(TgPlotReferenceIndividual value);
    TgPlotReferenceIndividual ReferenceSizeX() const { return FReferenceSizeX; }
    void SetReferenceSizeX(TgPlotReferenceIndividual value);
    TgPlotReferenceIndividual ReferenceSizeY() const { return FReferenceSizeY; }
    void SetReferenceSizeY(TgPlotReferenceIndividual value);
    TFont* Font() const { return FFont.get(); }
    void SetFont(const TFont* value) { FFont->Assign(value); }
    // Set by the plot at every paint.
    void SetDataView(TgPlotObject* dataView) { FDataView = dataView; }
    TgPlotObject* DataView() const { return FDataView; }

protected:
    template <class T> void SetValue(T value, T& field) {
        if (value != field) {
            field = value;
            DoChange();
        }
    }

    TBrushStyle FBrushStyle = TBrushStyle::bsSolid;
    TColor FBrushColor = clWhite;
    TPenStyle FPenStyle = TPenStyle::psSolid;
    TColor FPenColor = clWhite;
    int FPenWidth = 1;
    TgPlotReferenceType FReference = TgPlotReferenceType::iprtDataView;
    TgPlotReferenceIndividual FReferencePositionX = TgPlotReferenceIndividual::ipriAuto;
    TgPlotReferenceIndividual FReferencePositionY = TgPlotReferenceIndividual::ipriAuto;
    TgPlotReferenceIndividual FReferenceSizeX = TgPlotReferenceIndividual::ipriAuto;
    TgPlotReferenceIndividual FReferenceSizeY = TgPlotReferenceIndividual::ipriAuto;
    std::unique_ptr<TFont> FFont;
    TgPlotObject* FDataView = nullptr;
};

} // namespace kv
