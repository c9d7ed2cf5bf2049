#pragma once
// A plot object's own picture, shown in place of an image of the plot's image lists (labels and
// annotations keep one): copied in, freed by null, loaded from a bitmap file.

#include "platform/gui/Graphics.h"

#include <memory>
#include <string>

namespace kv {

class TgPlotObject;

class TgPlotImageHolder {
public:
    // object: the plot object that keeps the picture, told of each change.
    explicit TgPlotImageHolder(TgPlotObject& object) : FImageObject(object) {}
    TgPlotImageHolder(const TgPlotImageHolder&) = delete;
    TgPlotImageHolder& operator=(const TgPlotImageHolder&) = delete;

    // Null when there is none.
    TBitmap* Image() const { return FImage.get(); }
    // Copies the bitmap into the object's own; null removes the picture.
    void SetImage(const TBitmap* value);
    void ImageClear();
    // Loading errors pass to the caller and leave the picture as it was.
    void ImageLoadFromFile(const std::string& fileName);

protected:
    ~TgPlotImageHolder() = default;

    std::unique_ptr<TBitmap> FImage;

private:
    TgPlotObject& FImageObject;
};

} // namespace kv
