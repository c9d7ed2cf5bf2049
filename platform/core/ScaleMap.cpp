#include "platform/core/ScaleMap.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace kv {

TScaleMap TScaleMap::Linear(double min, double max, double first, double last) {
    return {TScaleKind::Linear, min, max - min, first, last - first};
}

TScaleMap TScaleMap::Log10(double min, double max, double first, double last) {
    const double lo = std::log10(min);
    return {TScaleKind::Log10, lo, std::log10(max) - lo, first, last - first};
}

TScaleMap& TScaleMap::NonPositiveAs(double value) {
    FHasFloor = true;
    FFloor = value;
    return *this;
}

double TScaleMap::Unit(double value) const {
    if (FKind == TScaleKind::Linear)
        return value;
    return std::log10(FHasFloor && !(value > 0) ? FFloor : value);
}

double TScaleMap::FromUnit(double unit) const {
    return FKind == TScaleKind::Linear ? unit : std::pow(10.0, unit);
}

double TScaleMap::ToPixel(double value) const {
    return FFirst + FPixels * (Unit(value) - FFrom) / FSpan;
}

// Pixels are counted from the first one in the direction they run, so that the first pixel is an
// offset of +0 and a value range starting at -0 maps back alike both ways.
double TScaleMap::ToValue(double pixel) const {
    const double offset =
        FPixels < 0 ? (FFirst - pixel) * FSpan / -FPixels : (pixel - FFirst) * FSpan / FPixels;
    return FromUnit(FFrom + offset);
}

double TScaleMap::PixelsPerUnit() const {
    const double ppu = FPixels / FSpan;
    return std::fabs(ppu) > 1e300 ? 0 : ppu;
}

double TScaleMap::Fraction(double pixel) const {
    return FPixels < 0 ? (FFirst - pixel) / -FPixels : (pixel - FFirst) / FPixels;
}

double TScaleMap::AtFraction(double fraction) const {
    return FromUnit(FFrom + fraction * FSpan);
}

std::int64_t TScaleMap::NearestPixel(double value) const {
    // Measured back toward the first pixel: the saturation at the int range's ends is not symmetric.
    const double back = FKind == TScaleKind::Linear ? (value - FFrom) * (0 - PixelsPerUnit())
                                                    : (Unit(value) - FFrom) * -FPixels / FSpan;
    return std::int64_t(FFirst) - RoundPixel(back);
}

int TScaleMap::RoundPixel(double pixel) {
    const double r = std::nearbyint(pixel);
    if (std::isnan(r))
        return 0;
    if (r >= double(INT_MAX))
        return INT_MAX;
    if (r <= double(INT_MIN))
        return INT_MIN;
    return int(r);
}

int TScaleMap::TruncatePixel(double pixel) {
    if (std::isnan(pixel))
        return 0;
    return static_cast<int>(std::clamp(pixel, -1.0e8, 1.0e8));
}

} // namespace kv
