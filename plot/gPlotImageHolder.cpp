#include "plot/gPlotImageHolder.h"

#include "plot/gPlotObjects.h"

namespace kv {

void TgPlotImageHolder::SetImage(const TBitmap* value) {
    if (value) {
        if (!FImage)
            FImage = std::make_unique<TBitmap>();
        FImage->Assign(value);
    } else {
        FImage.reset();
    }
    FImageObject.DoChange();
}

void TgPlotImageHolder::ImageClear() {
    if (!FImage)
        return;
    FImage.reset();
    FImageObject.DoChange();
}

void TgPlotImageHolder::ImageLoadFromFile(const std::string& fileName) {
    TBitmap loaded;
    loaded.LoadFromFile(fileName);
    SetImage(&loaded);
}

} // namespace kv
