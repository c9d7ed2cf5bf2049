#pragma once
// A caption stacked on a side of the data view like an axis: a line of text in its own font, or a
// picture, with margins in character sizes. Label 0 is the plot's title.

#include "plot/gPlotImageHolder.h"
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

class TgPlotLabel : public TgPlotLayoutObject, public TgPlotImageHolder {
    KV_CLASS(TgPlotLabel)
public:
    TgPlotLabel(TComponent* owner, TNotifyEvent onChange, TNotifyEvent onInsert, TNotifyEvent onRemove,
                TNotifyEvent onRename);
    ~TgPlotLabel() override;

    // --- published
    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& value) { SetStringProperty(value, FCaption, &TgPlotObject::DoChange); }
    // Margins in sizes of a "0" of the label's font: top and bottom in its height, left and right in
    // its width.
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
    TgAlignmentHorizontal Alignment() const { return FAlignment; }
    void SetAlignment(TgAlignmentHorizontal value);
    // 0..2 picks one of the plot's image lists; any other value none.
    int ImageListIndex() const { return FImageListIndex; }
    void SetImageListIndex(int value) { SetIntegerProperty(value, FImageListIndex, &TgPlotObject::DoChange); }
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int value) { SetIntegerProperty(value, FImageIndex, &TgPlotObject::DoChange); }

    // --- measured at every layout and paint from the current font
    int RequiredWidthPixels() const { return FRequiredWidth; }
    int MarginTopPixels() const { return FMarginTopPixels; }
    int MarginBottomPixels() const { return FMarginBottomPixels; }
    int MarginLeftPixels() const { return FMarginLeftPixels; }
    int MarginRightPixels() const { return FMarginRightPixels; }
    void CalcMargins(TCanvas& canvas);

    void Draw(TCanvas& canvas, TColor backGroundColor) override;
    // The caption's height and the top and bottom margins, whatever the label's orientation.
    int GetRequiredWidth(TCanvas& canvas) override;

protected:
    int FRequiredWidth = 0;
    int FMarginTopPixels = 0, FMarginBottomPixels = 0, FMarginLeftPixels = 0, FMarginRightPixels = 0;
    std::string FCaption;
    double FMarginLeft = 0, FMarginRight = 0, FMarginBottom = 0, FMarginTop = 0;
    std::unique_ptr<TFont> FFont;
    TgAlignmentHorizontal FAlignment = TgAlignmentHorizontal::iahCenter;
    int FImageListIndex = -1, FImageIndex = 0;

private:
    // Left edge of a picture of that width by the alignment.
    int PictureLeft(int width) const;
};

} // namespace kv
