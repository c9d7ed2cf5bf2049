#pragma once
// A mapping between a range of values and a range of pixels, linear or by decimal logarithm, both ways:
// the curve graphs, the plot axes and the response grid place their values through it.
//
// Its arithmetic keeps the order of operations those places always used: the same formula written
// another way differs in the last bit now and then, and a pixel position at .5 or at a whole number
// then moves by one. That is why the plot axes, which step linearly in pixels per unit and work in
// fractions of the range, have calls of their own next to ToPixel and ToValue.

#include <cstdint>

namespace kv {

enum class TScaleKind { Linear, Log10 };

class TScaleMap {
public:
    TScaleMap() = default;
    // `from` and `span` in the map's own units, values on a linear map and decimal exponents on a log10
    // map, onto the pixels from `first` to `first + pixels`. Either span may be negative: a reversed
    // range, or an axis drawn upward.
    TScaleMap(TScaleKind kind, double from, double span, double first, double pixels)
        : FKind(kind), FFrom(from), FSpan(span), FFirst(first), FPixels(pixels) {}
    // Values min..max onto pixels first..last.
    static TScaleMap Linear(double min, double max, double first, double last);
    // The same with their logarithms: min and max must be positive.
    static TScaleMap Log10(double min, double max, double first, double last);

    // On a log10 map a value <= 0 is placed as if it were this one; without it, at its logarithm
    // (-inf for 0, NaN below).
    TScaleMap& NonPositiveAs(double value);

    // The value range's span in the map's own units.
    double Span() const { return FSpan; }
    double FirstPixel() const { return FFirst; }

    double ToPixel(double value) const;
    double ToValue(double pixel) const;
    // Pixels per unit of the map's own; 0 when its size passes 1e300 (a value range too narrow to
    // place anything on).
    double PixelsPerUnit() const;
    // The fraction of the pixel range up to a pixel, and the value at a fraction of the value range.
    double Fraction(double pixel) const;
    double AtFraction(double fraction) const;

    // The pixel of a value with the distance back to the first pixel rounded to the nearest (ties to
    // even, saturated as RoundPixel does): a linear map steps by PixelsPerUnit. The result is wide so
    // that callers can clamp it.
    std::int64_t NearestPixel(double value) const;

    // Whole pixels. Nearest: ties to even, saturated to the int range. Truncate: toward zero, held
    // within +-1e8 so that a wild value cannot overflow. NaN gives 0 either way.
    static int RoundPixel(double pixel);
    static int TruncatePixel(double pixel);

private:
    // The map's own unit of a value (the value itself, or its logarithm), and back.
    double Unit(double value) const;
    double FromUnit(double unit) const;

    TScaleKind FKind = TScaleKind::Linear;
    double FFrom = 0, FSpan = 1, FFirst = 0, FPixels = 1;
    bool FHasFloor = false;
    double FFloor = 0;
};

} // namespace kv
