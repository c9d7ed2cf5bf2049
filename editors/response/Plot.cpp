#include "editors/response/Plot.h"

#include "platform/core/ScaleMap.h"

#include <algorithm>
#include <bit>
#include <cfloat>
#include <cmath>
#include <numbers>
#include <stdexcept>

namespace {

// ---- The grid, computed once ---------------------------------------------------------------------------

// Per grid point: the frequency, and e^(-jw) - 1 and e^(-2jw) - 1 as cos - 1 and sin. Keeping cos - 1
// (worked out as -2 sin^2(w/2)) instead of cos keeps the responses at the lowest frequencies exact,
// where cos w is 1 to within a few units of the last place.
struct Grid {
    alignas(64) std::array<double, GRID_POINTS> freq;
    alignas(64) std::array<double, GRID_POINTS> cos1m; // cos w - 1
    alignas(64) std::array<double, GRID_POINTS> sin1;  // sin w
    alignas(64) std::array<double, GRID_POINTS> cos2m; // cos 2w - 1
    alignas(64) std::array<double, GRID_POINTS> sin2;  // sin 2w
};

// Grid points 0..4096 spread 1 Hz..48 kHz evenly by logarithm.
const kv::TScaleMap& GridMap() {
    static const kv::TScaleMap map = kv::TScaleMap::Log10(1.0, 48000.0, 0, GRID_POINTS);
    return map;
}

void FillGrid(Grid& g) {
    for (int i = 0; i < GRID_POINTS; ++i) {
        const auto k = static_cast<size_t>(i);
        const double f = GridMap().ToValue(i);
        const long double w = static_cast<long double>(f * std::numbers::pi / 48000.0);
        const long double half = std::sin(w / 2);
        const long double whole = std::sin(w);
        g.freq[k] = f;
        g.cos1m[k] = static_cast<double>(-2 * half * half);
        g.sin1[k] = static_cast<double>(whole);
        g.cos2m[k] = static_cast<double>(-2 * whole * whole);
        g.sin2[k] = static_cast<double>(std::sin(2 * w));
    }
}

const Grid& SharedGrid() {
    static Grid grid;
    static const bool filled = (FillGrid(grid), true);
    (void)filled;
    return grid;
}

// ---- Logarithm and arc tangent without library calls per point -------------------------------------------

// Natural logarithm of a positive, normal, finite x, to about one unit of the last place. Branch-free and
// free of table look-ups so that the point loop vectorises. The mantissa is brought into
// [sqrt(1/2), sqrt(2)), ln of it follows from s = f / (2 + f), f = m - 1, by a polynomial in s^2.
inline double FastLn(double x) {
    constexpr uint64_t sqrtHalfBits = 0x3fe6a09e667f3bcdULL;
    constexpr double ln2Hi = 6.93147180369123816490e-01;
    constexpr double ln2Lo = 1.90821492927058770002e-10;
    constexpr double lg1 = 6.666666666666735130e-01;
    constexpr double lg2 = 3.999999999940941908e-01;
    constexpr double lg3 = 2.857142874366239149e-01;
    constexpr double lg4 = 2.222219843214978396e-01;
    constexpr double lg5 = 1.818357216161805012e-01;
    constexpr double lg6 = 1.531383769920937332e-01;
    constexpr double lg7 = 1.479819860511658591e-01;

    uint64_t bits = std::bit_cast<uint64_t>(x);
    bits += 0x3ff0000000000000ULL - sqrtHalfBits;
    // The exponent as a double without an integer conversion, which would not vectorise.
    const double k =
        std::bit_cast<double>((bits >> 52) | 0x4330000000000000ULL) - (4503599627370496.0 + 1023.0);
    const double m = std::bit_cast<double>((bits & 0x000fffffffffffffULL) + sqrtHalfBits);
    const double f = m - 1.0;
    const double hfsq = 0.5 * f * f;
    const double s = f / (2.0 + f);
    const double z = s * s;
    const double w = z * z;
    const double t1 = w * (lg2 + w * (lg4 + w * lg6));
    const double t2 = z * (lg1 + w * (lg3 + w * (lg5 + w * lg7)));
    return s * (hfsq + t2 + t1) + k * ln2Lo - hfsq + f + k * ln2Hi;
}

// a where the condition holds, else b, by bit masks: the loops stay free of branches and vectorise.
inline double Select(bool condition, double a, double b) {
    const uint64_t mask = 0 - static_cast<uint64_t>(condition);
    return std::bit_cast<double>((std::bit_cast<uint64_t>(a) & mask) | (std::bit_cast<uint64_t>(b) & ~mask));
}

// atan(y / x) with the quotient's IEEE meaning: x = 0 gives +-pi/2 by the signs of y and x, 0 / 0 gives
// NaN. The quotient is never formed outside [0, 1]: above 1 the reciprocal is taken (pi/2 - atan), above
// tan(pi/8) the argument moves by pi/4 ((q - 1) / (q + 1), formed from y and x in one division), which
// leaves |t| <= tan(pi/8), where the alternating series is below 1e-13 after the t^29 term.
//
// In three steps, so that a block of points goes through the series one term at a time: worked out point
// by point, each point's fourteen dependent steps form one long chain, and the processor waits on it.
struct AtanReduction {
    bool swapped; // |y| > |x|: the reciprocal's arc tangent is taken
    bool shifted; // moved by pi/4
    double num, den;
};

[[gnu::always_inline]] inline AtanReduction ReduceAtan(double y, double x) {
    constexpr double tanPiOver8 = 0.41421356237309503;
    const double ay = std::fabs(y);
    const double ax = std::fabs(x);
    const bool swapped = ay > ax;
    const double num = Select(swapped, ax, ay);
    const double den = Select(swapped, ay, ax);
    return {swapped, num > tanPiOver8 * den, num, den};
}

// The reduced argument t.
[[gnu::always_inline]] inline double AtanArgument(const AtanReduction& r) {
    return Select(r.shifted, r.num - r.den, r.num) / Select(r.shifted, r.num + r.den, r.den);
}

// The series in z = t^2 by Horner's scheme: p = 1/27 - z (1/29), then p = c - z p for each c here.
inline constexpr std::array<double, 12> ATAN_SERIES = {1.0 / 25, 1.0 / 23, 1.0 / 21, 1.0 / 19,
                                                       1.0 / 17, 1.0 / 15, 1.0 / 13, 1.0 / 11,
                                                       1.0 / 9,  1.0 / 7,  1.0 / 5,  1.0 / 3};

[[gnu::always_inline]] inline double FinishAtan(double y, double x, const AtanReduction& r, double t,
                                                double z, double p) {
    double a = t - t * z * p;
    a = Select(r.shifted, a + std::numbers::pi / 4, a);
    a = Select(r.swapped, std::numbers::pi / 2 - a, a);
    // a >= 0: the sign of the quotient goes straight onto the sign bit.
    const uint64_t sign = (std::bit_cast<uint64_t>(x) ^ std::bit_cast<uint64_t>(y)) & 0x8000000000000000ULL;
    return std::bit_cast<double>(std::bit_cast<uint64_t>(a) ^ sign);
}

// ---- Point loops ----------------------------------------------------------------------------------------

// 10 log10(x) = this * ln(x).
constexpr double DB_PER_NEPER_POWER = 10.0 / std::numbers::ln10;
constexpr uint64_t NORMAL_MIN_BITS = 0x0010000000000000ULL; // DBL_MIN
constexpr uint64_t NORMAL_MAX_BITS = 0x7fefffffffffffffULL; // DBL_MAX

// The point loops in wider vectors where the processor has them. Contraction into fused multiply-adds is
// off for this library, so every variant gives the same bits.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#define KV_POINT_LOOP __attribute__((target_clones("avx512f", "avx2", "default")))
#else
#define KV_POINT_LOOP
#endif

// ceil(q) for a positive finite q, without a library call (which would keep the loop from vectorising):
// below 2^52 adding and taking away 2^52 rounds to the nearest whole number, one more when that fell
// short; from 2^52 on every double is whole already.
[[gnu::always_inline]] inline double CeilPositive(double q) {
    constexpr double twoTo52 = 4503599627370496.0;
    const double nearest = (q + twoTo52) - twoTo52;
    const double up = Select(nearest < q, nearest + 1.0, nearest);
    return Select(q < twoTo52, up, q);
}

// A phase total back into -18..18, however many turns it made (33 sections can add up to far more
// than two); exactly +-18 stays, and so do infinities and NaN. Whole turns are taken at once:
// ceil((v - 18) / 36) of them above, ceil((-18 - v) / 36) below, from one division whose quotient is
// positive wherever it is used.
[[gnu::always_inline]] inline double WrapPhase(double v) {
    const bool above = (v > 18.0) & (v < HUGE_VAL);
    const bool below = (v < -18.0) & (v > -HUGE_VAL);
    const double turns = CeilPositive(Select(above, v - 18.0, -18.0 - v) / 36.0);
    return Select(above, v - 36.0 * turns, Select(below, v + 36.0 * turns, v));
}

// Where WrapPhaseNear stops counting turns itself: 2^50 tens of degrees either way.
constexpr double NEAR_WRAP_LIMIT = 1125899906842624.0;

// WrapPhase in far fewer steps and without its division (which cost more than the rest of the phase
// total's last pass), for totals of size below NEAR_WRAP_LIMIT; larger ones, infinities and NaN are
// left as they are, and `far` notes them, so that the caller can wrap those.
// The same bits as WrapPhase:
// - With s = |v| and a = s - 18 (the same value as WrapPhase's v - 18 or -18 - v), the total below the
//   edge is the one above it negated: v + 36 n = -(s - 36 n) in every rounding. Adding 0 turns the -0
//   that this gives for v = -36 n back into WrapPhase's +0 and changes nothing else.
// - WrapPhase takes ceil(a / 36 rounded) turns, and that is ceil(a / 36) itself: in this range the
//   quotient never lies within half a unit in its last place of a whole number other than itself, so
//   its rounding never crosses one. The product with 1/36, rounded to a whole number r, is within far
//   less than a half of a / 36, so the ceiling is r or r + 1, and the product 36 r, exact here, tells
//   which.
[[gnu::always_inline]] inline double WrapPhaseNear(double v, uint64_t& far) {
    constexpr double twoTo52 = 4503599627370496.0;
    constexpr uint64_t signBit = 0x8000000000000000ULL;
    const double s = std::bit_cast<double>(std::bit_cast<uint64_t>(v) & ~signBit);
    far |= static_cast<uint64_t>(s >= NEAR_WRAP_LIMIT);
    const double a = s - 18.0;
    const double r = (a * (1.0 / 36.0) + twoTo52) - twoTo52;
    const double turns = Select(36.0 * r < a, r + 1.0, r);
    const double above = s - 36.0 * turns;
    const double wrapped =
        std::bit_cast<double>(std::bit_cast<uint64_t>(above) ^ (std::bit_cast<uint64_t>(v) & signBit)) + 0.0;
    return Select((s > 18.0) & (s < NEAR_WRAP_LIMIT), wrapped, v);
}

// out += in, for several inputs in one pass, added in their order; the last pass also puts each point
// through `finish`, so that it costs no pass of its own. Returns what `finish` noted.
template <class Finish>
[[gnu::always_inline]] inline uint64_t AddTerms(double* __restrict out, const double* const* terms,
                                                size_t count, Finish finish) {
    uint64_t noted = 0;
    if (count == 0) {
        for (int i = 0; i < GRID_POINTS; ++i)
            out[i] = finish(out[i], noted);
        return noted;
    }
    size_t t = 0;
    for (; t + 4 <= count; t += 4) {
        const double* __restrict a = terms[t];
        const double* __restrict b = terms[t + 1];
        const double* __restrict c = terms[t + 2];
        const double* __restrict d = terms[t + 3];
        if (t + 4 == count) {
            for (int i = 0; i < GRID_POINTS; ++i)
                out[i] = finish(out[i] + a[i] + b[i] + c[i] + d[i], noted);
        } else {
            for (int i = 0; i < GRID_POINTS; ++i)
                out[i] = out[i] + a[i] + b[i] + c[i] + d[i];
        }
    }
    for (; t < count; ++t) {
        const double* __restrict a = terms[t];
        if (t + 1 == count) {
            for (int i = 0; i < GRID_POINTS; ++i)
                out[i] = finish(out[i] + a[i], noted);
        } else {
            for (int i = 0; i < GRID_POINTS; ++i)
                out[i] += a[i];
        }
    }
    return noted;
}

// The finishing steps, inlined into each processor's variant of the loops (a call per point, or a loop
// built for the plainest processor, would cost several times the sum).
struct AsSummed {
    [[gnu::always_inline]] double operator()(double v, uint64_t&) const { return v; }
};
struct PhaseWrappedNear {
    [[gnu::always_inline]] double operator()(double v, uint64_t& far) const { return WrapPhaseNear(v, far); }
};

KV_POINT_LOOP void AddInto(double* __restrict out, const double* const* terms, size_t count) {
    AddTerms(out, terms, count, AsSummed{});
}

// The phase total: the sum, wrapped.
KV_POINT_LOOP void AddIntoWrapped(double* __restrict out, const double* const* terms, size_t count) {
    if (AddTerms(out, terms, count, PhaseWrappedNear{}) == 0)
        return;
    // Totals too far out for the quick count, and infinities (WrapPhase leaves the wrapped ones as they
    // are).
    for (int i = 0; i < GRID_POINTS; ++i)
        out[i] = WrapPhase(out[i]);
}

KV_POINT_LOOP void EvaluateMagnitude(const Biquad& c, double* __restrict out) {
    const Grid& g = SharedGrid();
    const double* __restrict cos1m = g.cos1m.data();
    const double* __restrict sin1 = g.sin1.data();
    const double* __restrict cos2m = g.cos2m.data();
    const double* __restrict sin2 = g.sin2.data();
    // Ratios outside the positive normal range (0, subnormal, infinite, NaN), noted without a branch: the
    // top bit of either difference is set exactly when the ratio's bits leave the range.
    uint64_t special = 0;
    for (int i = 0; i < GRID_POINTS; ++i) {
        const double nr = c.nSum + c.b1 * cos1m[i] + c.b2 * cos2m[i];
        const double ni = c.b1 * sin1[i] + c.b2 * sin2[i];
        const double dr = c.dSum + c.a1 * cos1m[i] + c.a2 * cos2m[i];
        const double di = c.a1 * sin1[i] + c.a2 * sin2[i];
        const double ratio = (nr * nr + ni * ni) / (dr * dr + di * di);
        const uint64_t bits = std::bit_cast<uint64_t>(ratio);
        special |= ((bits - NORMAL_MIN_BITS) | (NORMAL_MAX_BITS - bits)) >> 63;
        out[i] = DB_PER_NEPER_POWER * FastLn(ratio);
    }
    if (special == 0)
        return;
    // Zeros, infinities, NaN and subnormal ratios: the library's answer.
    for (int i = 0; i < GRID_POINTS; ++i) {
        const double nr = c.nSum + c.b1 * cos1m[i] + c.b2 * cos2m[i];
        const double ni = c.b1 * sin1[i] + c.b2 * sin2[i];
        const double dr = c.dSum + c.a1 * cos1m[i] + c.a2 * cos2m[i];
        const double di = c.a1 * sin1[i] + c.a2 * sin2[i];
        const double ratio = (nr * nr + ni * ni) / (dr * dr + di * di);
        if (!(ratio >= DBL_MIN && ratio <= DBL_MAX))
            out[i] = 10.0 * std::log10(ratio);
    }
}

// Phase in tens of degrees: the arc tangent of Im H / Re H, in (-9, 9), then the type's half-turn
// correction, which places each type's phase in the range its shape runs through.
// Points that go through the arc tangent's series together: enough independent work per term to keep the
// arithmetic units busy, few enough that the block's working arrays stay in the first-level cache.
constexpr int PHASE_BLOCK = 256;
constexpr size_t SERIES_STEPS = 4;

KV_POINT_LOOP void EvaluatePhaseLoop(const Biquad& c, bool addBelowZero, bool subtractAboveZero,
                                     double* __restrict out) {
    const Grid& g = SharedGrid();
    alignas(64) double ys[PHASE_BLOCK];
    alignas(64) double xs[PHASE_BLOCK];
    alignas(64) double ts[PHASE_BLOCK];
    alignas(64) double zs[PHASE_BLOCK];
    alignas(64) double ps[PHASE_BLOCK];
    for (int first = 0; first < GRID_POINTS; first += PHASE_BLOCK) {
        const double* __restrict cos1m = g.cos1m.data() + first;
        const double* __restrict sin1 = g.sin1.data() + first;
        const double* __restrict cos2m = g.cos2m.data() + first;
        const double* __restrict sin2 = g.sin2.data() + first;
        for (int j = 0; j < PHASE_BLOCK; ++j) {
            // N and D at e^(-jw) are (nr - j ni) and (dr - j di); H has the angle of N times conj(D).
            const double nr = c.nSum + c.b1 * cos1m[j] + c.b2 * cos2m[j];
            const double ni = c.b1 * sin1[j] + c.b2 * sin2[j];
            const double dr = c.dSum + c.a1 * cos1m[j] + c.a2 * cos2m[j];
            const double di = c.a1 * sin1[j] + c.a2 * sin2[j];
            const double re = nr * dr + ni * di;
            const double im = nr * di - ni * dr;
            const double t = AtanArgument(ReduceAtan(im, re));
            ys[j] = im;
            xs[j] = re;
            ts[j] = t;
            zs[j] = t * t;
            ps[j] = 1.0 / 27 - zs[j] * (1.0 / 29);
        }
        for (size_t k = 0; k < ATAN_SERIES.size(); k += SERIES_STEPS) {
            for (int j = 0; j < PHASE_BLOCK; ++j) {
                double p = ps[j];
#pragma GCC unroll 4
                for (size_t n = k; n < k + SERIES_STEPS; ++n)
                    p = ATAN_SERIES[n] - zs[j] * p;
                ps[j] = p;
            }
        }
        double* __restrict block = out + first;
        for (int j = 0; j < PHASE_BLOCK; ++j) {
            const double y = ys[j];
            const double x = xs[j];
            double v = PHASE_SCALE * FinishAtan(y, x, ReduceAtan(y, x), ts[j], zs[j], ps[j]);
            v = Select(addBelowZero & (v < 0.0), v + 18.0, v);
            v = Select(subtractAboveZero & (v > 0.0), v - 18.0, v);
            block[j] = v;
        }
    }
}

void EvaluatePhase(const Biquad& c, const PlotSection& s, double* out) {
    bool addBelowZero = false;
    bool subtractAboveZero = false;
    switch (s.type) {
    case ST_HIGH_PASS_2:
    case ST_ALL_PASS_1:
    case ST_HIGH_PASS_1:
    case ST_HIGH_PASS_STAGE_2:
    case ST_HIGH_PASS_STAGE_AB:
        addBelowZero = true;
        break;
    case ST_LOW_PASS_2:
    case ST_LOW_PASS_1:
    case ST_LOW_PASS_STAGE_2:
    case ST_LOW_PASS_STAGE_AB:
    case ST_ALL_PASS_2:
        subtractAboveZero = true;
        break;
    case ST_LOW_SHELF:
        subtractAboveZero = s.gain > 0;
        addBelowZero = s.gain < 0;
        break;
    case ST_HIGH_SHELF:
        addBelowZero = s.gain > 0;
        subtractAboveZero = s.gain < 0;
        break;
    default:
        break;
    }
    EvaluatePhaseLoop(c, addBelowZero, subtractAboveZero, out);
    if (s.type == ST_ALL_PASS_2) {
        // Above the section frequency the phase has passed a half turn: add it back.
        const Grid& g = SharedGrid();
        const auto first = std::upper_bound(g.freq.begin(), g.freq.end(), s.frequency) - g.freq.begin();
        for (auto i = first; i < GRID_POINTS; ++i)
            out[i] += 18.0;
    }
}

struct Poly {
    double c0, c1, c2, sum;
};

Biquad Normalise(const Poly& n, const Poly& d) {
    Biquad q;
    q.flat = n.c0 == d.c0 && n.c1 == d.c1 && n.c2 == d.c2;
    q.b0 = n.c0 / d.c0;
    q.b1 = n.c1 / d.c0;
    q.b2 = n.c2 / d.c0;
    q.a1 = d.c1 / d.c0;
    q.a2 = d.c2 / d.c0;
    q.nSum = n.sum / d.c0;
    q.dSum = d.sum / d.c0;
    return q;
}

} // namespace

// ---- Grid helpers ---------------------------------------------------------------------------------------

double GridFrequency(int i) {
    return SharedGrid().freq[static_cast<size_t>(std::clamp(i, 0, GRID_POINTS - 1))];
}

double FrequencyToGridX(double hz) {
    return GridMap().ToPixel(hz);
}

// ---- Sections -------------------------------------------------------------------------------------------

Biquad ComputeBiquad(const PlotSection& s) {
    const double k = std::tan(std::numbers::pi * s.frequency / SAMPLE_RATE);
    const double k2 = k * k;
    const double q = s.Q;
    const double a = s.A;
    const double b = s.B;
    // The resonant second-order denominator shared by several types, and the sum of its terms.
    const Poly p{1 + k / q + k2, 2 * (k2 - 1), 1 - k / q + k2, 4 * k2};
    const Poly firstOrder{1 + k, k - 1, 0, 2 * k};
    const double g = std::pow(10.0, std::fabs(s.gain) / 20.0);
    const double u = 1.0 / g;
    const double su = std::sqrt(u);
    const bool boost = s.gain >= 0;

    switch (s.type) {
    case ST_PEAK: {
        const Poly m{1 + k / (g * q) + k2, 2 * (k2 - 1), 1 - k / (g * q) + k2, 4 * k2};
        return boost ? Normalise(p, m) : Normalise(m, p);
    }
    case ST_LOW_SHELF: {
        const Poly m{1 + su * k / q + u * k2, 2 * (u * k2 - 1), 1 - su * k / q + u * k2, 4 * u * k2};
        return boost ? Normalise(p, m) : Normalise(m, p);
    }
    case ST_HIGH_SHELF: {
        const Poly m{u + su * k / q + k2, 2 * (k2 - u), u - su * k / q + k2, 4 * k2};
        return boost ? Normalise(p, m) : Normalise(m, p);
    }
    case ST_HIGH_PASS_2:
        return Normalise({1, -2, 1, 0}, p);
    case ST_LOW_PASS_2:
        return Normalise({k2, 2 * k2, k2, 4 * k2}, p);
    case ST_BAND_PASS:
        return Normalise({2 * k / q, 0, -2 * k / q, 0}, p);
    case ST_ALL_PASS_1:
        return Normalise({1 - k, -(1 + k), 0, -2 * k}, firstOrder);
    case ST_LOW_PASS_1:
        return Normalise({k, k, 0, 2 * k}, firstOrder);
    case ST_HIGH_PASS_1:
        return Normalise({-1, 1, 0, 0}, firstOrder);
    case ST_LOW_PASS_STAGE_1: {
        const double kk = k / a;
        return Normalise({kk, kk, 0, 2 * kk}, {1 + kk, kk - 1, 0, 2 * kk});
    }
    case ST_LOW_PASS_STAGE_2:
        return Normalise({k2, 2 * k2, k2, 4 * k2}, {1 + a * k + k2, 2 * (k2 - 1), 1 - a * k + k2, 4 * k2});
    case ST_LOW_PASS_STAGE_AB:
        return Normalise({k2, 2 * k2, k2, 4 * k2}, {b + a * k + k2, 2 * (k2 - b), b - a * k + k2, 4 * k2});
    case ST_HIGH_PASS_STAGE_1:
        return Normalise({1, -1, 0, 0}, {1 + a * k, a * k - 1, 0, 2 * a * k});
    case ST_HIGH_PASS_STAGE_2:
        return Normalise({1, -2, 1, 0}, {1 + a * k + k2, 2 * (k2 - 1), 1 - a * k + k2, 4 * k2});
    case ST_HIGH_PASS_STAGE_AB:
        return Normalise({1, -2, 1, 0},
                         {1 + a * k + b * k2, 2 * (b * k2 - 1), 1 - a * k + b * k2, 4 * b * k2});
    case ST_ALL_PASS_2:
        return Normalise({1 - k / q + k2, 2 * (k2 - 1), 1 + k / q + k2, 4 * k2}, p);
    default: // flat, and types that do not exist
        return Normalise({1, 0, 0, 1}, {1, 0, 0, 1});
    }
}

void PlotSection::CurveChanged(bool flat) {
    flat_ = flat;
    ++revision_;
}

const double* PlotSection::ZeroCurve() {
    static const std::array<double, GRID_POINTS> zeros{};
    return zeros.data();
}

double* PlotSection::WritableCurve() {
    if (!curve_)
        curve_ = std::make_unique<double[]>(GRID_POINTS);
    return curve_.get();
}

void PlotSection::CopyCurve(const double* values) {
    double* out = WritableCurve();
    std::copy(values, values + GRID_POINTS, out);
    computed_ = false;
    CurveChanged(std::all_of(out, out + GRID_POINTS, [](double v) { return v == 0.0; }));
}

void ComputeSectionResponse(PlotSection& section) {
    const Biquad c = ComputeBiquad(section);
    ++section.computations_;
    if (c.flat) {
        if (section.curve_) // without storage of its own the curve already reads as zeros
            std::fill(section.curve_.get(), section.curve_.get() + GRID_POINTS, 0.0);
    } else if (section.mode == 1) {
        EvaluatePhase(c, section, section.WritableCurve());
    } else {
        EvaluateMagnitude(c, section.WritableCurve());
    }
    section.computedFor_ = section.CurrentKey();
    section.computed_ = true;
    section.CurveChanged(c.flat);
}

void SetSection(PlotSection& section, double gain, double frequency, double q, int type) {
    SetSectionEx(section, gain, frequency, q, type, section.A, section.B);
}

void SetSectionEx(PlotSection& section, double gain, double frequency, double q, int type, float a, float b) {
    section.gain = gain;
    section.frequency = frequency;
    section.Q = q;
    section.type = type;
    section.A = a;
    section.B = b;
    // The curve is a function of the parameters and the mode alone: unchanged ones need no new curve.
    if (section.UpToDate())
        return;
    ComputeSectionResponse(section);
}

// ---- Plot -----------------------------------------------------------------------------------------------

Plot::Plot(CurveGraph* graph) : graph_(graph), sections_(std::make_unique<PlotSection[]>(PLOT_SECTIONS)) {
    for (int n = 0; n < PLOT_SECTIONS; ++n)
        SetSection(sections_[static_cast<size_t>(n)], 0.0, 1000.0, 0.4, ST_HIGH_SHELF);
}

Plot::~Plot() = default;

PlotSection& Plot::Section(int n) {
    if (n < 0 || n >= PLOT_SECTIONS)
        throw std::out_of_range("Plot section index out of range");
    return sections_[static_cast<size_t>(n)];
}

const PlotSection& Plot::Section(int n) const {
    if (n < 0 || n >= PLOT_SECTIONS)
        throw std::out_of_range("Plot section index out of range");
    return sections_[static_cast<size_t>(n)];
}

void Plot::SetCurveMode(uint8_t mode) {
    curveMode_ = mode;
    for (int n = 0; n < PLOT_SECTIONS; ++n)
        sections_[static_cast<size_t>(n)].mode = mode;
}

void Plot::ComputeFilterCurve(bool highPass, int slopeCode, double frequency, int base) {
    const int target = highPass ? base : base + 1;
    const int firstStage = base + 3;
    if (base < 0 || firstStage + 4 >= PLOT_SECTIONS)
        return;
    const int design = slopeCode >= 0 && slopeCode < static_cast<int>(SLOPE_DESIGN.size())
                           ? SLOPE_DESIGN[static_cast<size_t>(slopeCode)]
                           : 0;
    PlotSection& total = Section(target);
    const int firstOrderType = highPass ? ST_HIGH_PASS_STAGE_1 : ST_LOW_PASS_STAGE_1;

    // Every stage ends either flat or holding its stage of the design; each is written once, so a stage
    // that holds the same stage as before is not computed again.
    const bool cascade = design >= 2;
    int lastType = ST_FLAT;
    float lastA = 0.0f;
    float lastB = 0.0f;
    for (size_t slot = 0; slot < 5; ++slot) {
        PlotSection& stage = Section(firstStage + static_cast<int>(slot));
        const FilterStage st = cascade ? FILTER_DESIGNS[static_cast<size_t>(design)][slot] : FilterStage{};
        int type = ST_FLAT;
        switch (st.kind) {
        case StageKind::Flat:
            break;
        case StageKind::FirstOrder:
            type = firstOrderType;
            break;
        case StageKind::SecondOrder:
            type = highPass ? ST_HIGH_PASS_STAGE_2 : ST_LOW_PASS_STAGE_2;
            break;
        case StageKind::SecondOrderAB:
            type = highPass ? ST_HIGH_PASS_STAGE_AB : ST_LOW_PASS_STAGE_AB;
            break;
        }
        if (type == ST_FLAT) {
            SetSectionEx(stage, 0.0, 1000.0, 0.05, ST_FLAT, 0.0f, 0.0f);
            continue;
        }
        SetSectionEx(stage, 0.0, frequency, 0.05, type, st.a, st.b);
        lastType = type;
        lastA = st.a;
        lastB = st.b;
    }

    if (design == 0) {
        SetSectionEx(total, 0.0, frequency, 0.05, ST_FLAT, 0.0f, 0.0f);
    } else if (design == 1) {
        SetSectionEx(total, 0.0, frequency, 0.05, firstOrderType, 1.0f, 0.0f);
    } else {
        // The total keeps the parameters of the last stage for its handle, and the cascade's curve.
        total.gain = 0.0;
        total.frequency = frequency;
        total.Q = 0.05;
        total.type = lastType;
        total.A = lastA;
        total.B = lastB;
        total.mode = curveMode_;
        double* out = total.WritableCurve();
        std::fill(out, out + GRID_POINTS, 0.0);
        std::array<const double*, 5> terms{};
        size_t count = 0;
        for (int n = firstStage; n < firstStage + 5; ++n)
            if (!Section(n).IsFlat())
                terms[count++] = Section(n).Curve();
        AddInto(out, terms.data(), count);
        const bool flat = count == 0;
        total.computed_ = false;
        total.CurveChanged(flat);
    }
    DrawSectionBlock(target, 0.0f, highPass ? BLOCK_HPF : BLOCK_LPF);
}

void Plot::DrawSectionBlock(int n, float y, int shape) {
    if (n < 0 || n >= PLOT_SECTIONS || !graph_)
        return;
    const PlotSection& s = Section(n);
    graph_->DrawBlock(y, FrequencyToGridX(s.frequency),
                      BLOCK_COLOURS[static_cast<size_t>(n) % BLOCK_COLOURS.size()], n, false, shape);
    graph_->SetBlockParameter(n, s.frequency, s.gain, s.Q, s.type);
}

bool Plot::TotalUpToDate() const {
    if (!totalValid_ || summedMode_ != curveMode_ || sections_[SECTION_TOTAL].Revision() != totalRevision_)
        return false;
    for (size_t n = 0; n < SUMMED_SECTIONS; ++n)
        if (sections_[n].Revision() != summedRevisions_[n])
            return false;
    return true;
}

void Plot::DrawTotalCurve(int colourIndex) {
    PlotSection& total = sections_[SECTION_TOTAL];
    if (!TotalUpToDate()) {
        ++totalSums_;
        // Flat sections add exactly 0 and are left out. Summed in blocks that stay in the first-level
        // cache, in section order so that the result is the plain sum's.
        std::array<const double*, SUMMED_SECTIONS> terms{};
        size_t count = 0;
        for (size_t n = 0; n < SUMMED_SECTIONS; ++n) {
            summedRevisions_[n] = sections_[n].Revision();
            if (!sections_[n].IsFlat())
                terms[count++] = sections_[n].Curve();
        }
        double* out = total.WritableCurve();
        if (count == 0) {
            std::fill(out, out + GRID_POINTS, 0.0);
        } else {
            std::copy(terms[0], terms[0] + GRID_POINTS, out);
            if (curveMode_ == 1)
                AddIntoWrapped(out, terms.data() + 1, count - 1);
            else
                AddInto(out, terms.data() + 1, count - 1);
        }
        total.computed_ = false;
        total.CurveChanged(count == 0);
        totalRevision_ = total.Revision();
        summedMode_ = curveMode_;
        totalValid_ = true;
    }
    if (graph_) {
        const auto colour = TOTAL_COLOURS[static_cast<size_t>(colourIndex) % TOTAL_COLOURS.size()];
        graph_->FFTDraw(total.Curve(), GRID_POINTS, SECTION_TOTAL, colour, CURVE_STYLE_LINE);
    }
}

void Plot::ShowOverlay(int s, CurveColour colour) {
    if (s < 0 || s >= PLOT_SECTIONS || !graph_)
        return;
    graph_->FFTDraw(Section(s).Curve(), GRID_POINTS, s, colour, CURVE_STYLE_LINE);
}

bool Plot::RemoveOverlay(int curve) {
    return graph_ != nullptr && graph_->RemovePlot(curve);
}

void Plot::DrawSectionParam(int displayType, int n, double gain, double q, bool show) {
    if (!graph_)
        return;
    if (!show) {
        graph_->SetCurveDisplay(false);
        return;
    }
    n = std::max(n, 0);
    if (n >= PLOT_SECTIONS)
        return;
    const PlotSection& s = Section(n);
    graph_->DrawParam(displayType, gain, FrequencyToGridX(s.frequency), static_cast<float>(s.frequency), q,
                      PARAM_COLOUR);
    graph_->DrawCurveFill(displayType, s.Curve(), GRID_POINTS);
    graph_->SetCurveDisplay(true);
}
