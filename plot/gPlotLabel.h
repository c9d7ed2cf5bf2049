#pragma once
// A caption stacked on a side of the data view like an axis: a line of text in its own font, or a
// picture, with margins in character sizes. Label 0 is the plot's title.

#include "plot/gPlotObjects.h"
#include "plot/gPlotTable.h"

#include "platform/gui/Graphics.h"

#include <memory>
#include <string>

namespace kv {

class TImageList;

// The plot's three image lists (the plot control implements it); null for an index other than 0..2.
class IgPlotImageListHost {
public:
    virtual TImageList* GetImageList(int index) = 0;

protected:
    ~IgPlotImageListHost() = default;
};

class TgPlotLabel : public TgPlotLayoutObject {
    KV_CLASS(TgPlotLabel)
public:
    TgPlotLabel(TComponent* owner, TNotifyEvent onChange, TNotifyEvent onInsert, TNotifyEvent onRemove,
                TNotifyEvent onRename);
    ~TgPlotLabel() override;

    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& value) { SetStringProperty(value, FCaption, &TgPlotObject::DoChange); }
    double MarginLeft() const { return FMarginLeft; }
    void SetMarginLeft(double value) { SetDoubleProperty(value, FMarginLeft, &TgPlotObject::DoChange); }
    double MarginTop() const { return FMarginTop; }
    void SetMarginTop(double value) { SetDoubleProperty(value, FMarginTop, &TgPlotObject::DoChange); }
    double MarginRight() const { return FMarginRight; }
    void SetMarginRight(double value) { SetDoubleProperty(value, FMarginRight, &TgPlotObject::DoChange); }
    double MarginBottom() const { return FMarginBottom; }
    void SetMarginBottom(double value) { SetDoubleProperty(value, FMarginBottom, &TgPlotObject::DoChange); }
    TFont* Font() const { return FFont.get(); }
    void SetFont(const TFont* value);

protected:
    std::string FCaption;
    double FMarginLeft = 0, FMarginRight = 0, FMarginBottom = 0, FMarginTop = 0;
    std::unique_ptr<TFont> FFont;
};

} // namespace kv
