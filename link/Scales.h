#pragma once
// The unit's integer parameter scales and their physical values, the level texts, and the fixed tables
// that the editors and the response engine share (the program's title and version: link/Product.h). The unit
// stores and sends indices; the editors show and accept Hz, dB, Q, ms, m and ft.

#include <array>
#include <cstdint>
#include <numbers>
#include <string>
#include <string_view>

// ---- Scales -------------------------------------------------------------------------------------------

// Frequency steps are 1/30 octave: 2^(1/30).
inline constexpr double FREQ_STEP_RATIO = 1.023373891996775;
// Q of every band section of the 31-band graphic EQ curve.
inline constexpr double GEQ_BAND_Q = 8.65;
// Metres per second, in single precision as the delay conversions use it.
inline constexpr float SPEED_OF_SOUND = 343.5f;

// Delay-unit labels by unit 0 ms, 1 m, 2 ft, then the suffixes that typed entries may carry and that are
// stripped before the number is read: level, time, time again, metres, feet.
inline constexpr std::array<const char*, 21> UNIT_SUFFIX_TEXT = {
    " ms", "  m", " ft",       // delay-unit labels
    "dB",  "DB",  "db",  "Db", // level
    "ms",  "Ms",  "mS",  "MS", // time
    "ms",  "Ms",  "mS",  "MS", // time (second list)
    "m",   "M",                // metres
    "ft",  "Ft",  "fT",  "FT", // feet
};

// Compressor ratios by ratio index; index 15 is the limiter setting, valued 20.1 so that it sorts last.
inline constexpr std::array<const char*, 16> COMP_RATIO_TEXT = {
    "1.0", "1.1", "1.3", "1.5", "1.7", "2.0", "2.5", "3.0",
    "3.5", "4.0", "5.0", "6.0", "8.0", "10",  "20",  "Limit",
};
inline constexpr std::array<double, 16> COMP_RATIO_VALUE = {
    1.0, 1.1, 1.3, 1.5, 1.7, 2.0, 2.5, 3.0, 3.5, 4.0, 5.0, 6.0, 8.0, 10.0, 20.0, 20.1,
};

// ---- Filter designs -----------------------------------------------------------------------------------

// High-/low-pass slope code 0..20 -> design number of FILTER_DESIGNS: Butterworth of order n is n,
// Bessel of order n is 8 + n, Linkwitz-Riley of order 2, 4, 6, 8 is 17..20; 0 is off.
inline constexpr std::array<int, 21> SLOPE_DESIGN = {
    0, 1, 9, 2, 10, 17, 3, 11, 4, 12, 18, 5, 13, 6, 14, 19, 7, 15, 8, 16, 20,
};

// One stage of an analogue prototype cascade, s normalised to the filter frequency.
enum class StageKind : uint8_t {
    Flat,          // unused stage
    FirstOrder,    // 1 / (1 + A s)
    SecondOrder,   // 1 / (1 + A s + s^2); B is kept 0, as the section stores it
    SecondOrderAB, // 1 / (1 + A s + B s^2)
};

struct FilterStage {
    StageKind kind = StageKind::Flat;
    float a = 0.0f;
    float b = 0.0f;
};

// The five cascade stages of a design, in the order they are placed into the stage sections. Odd
// Butterworth and Bessel orders start with their first-order stage; even ones leave the first slot flat.
// Linkwitz-Riley designs are the Butterworth design of half their order with each stage doubled, the
// pair of the first stage first. Design 1 is a lone first-order stage that the curve code may place in the
// filter's total section directly. The coefficients keep their four decimals; the drawn curves follow them.
using FilterDesign = std::array<FilterStage, 5>;

namespace scales_detail {
inline constexpr FilterStage F(float a) {
    return {StageKind::FirstOrder, a, 0.0f};
}
inline constexpr FilterStage S(float a) {
    return {StageKind::SecondOrder, a, 0.0f};
}
inline constexpr FilterStage P(float a, float b) {
    return {StageKind::SecondOrderAB, a, b};
}
inline constexpr FilterStage N() {
    return {};
}
} // namespace scales_detail

inline constexpr std::array<FilterDesign, 21> FILTER_DESIGNS = [] {
    using namespace scales_detail;
    return std::array<FilterDesign, 21>{{
        {N(), N(), N(), N(), N()},                                                                 // 0 off
        {F(1.0f), N(), N(), N(), N()},                                                             // 1 BW 1
        {N(), S(1.4142f), N(), N(), N()},                                                          // 2 BW 2
        {F(1.0f), S(1.0f), N(), N(), N()},                                                         // 3 BW 3
        {N(), S(0.7654f), S(1.8478f), N(), N()},                                                   // 4 BW 4
        {F(1.0f), S(0.618f), S(1.618f), N(), N()},                                                 // 5 BW 5
        {N(), S(0.5176f), S(1.4142f), S(1.9319f), N()},                                            // 6 BW 6
        {F(1.0f), S(0.445f), S(1.247f), S(1.8019f), N()},                                          // 7 BW 7
        {N(), S(0.3902f), S(1.1111f), S(1.6629f), S(1.9616f)},                                     // 8 BW 8
        {F(1.0f), N(), N(), N(), N()},                                                             // 9 BL 1
        {N(), P(1.3617f, 0.618f), N(), N(), N()},                                                  // 10 BL 2
        {F(0.756f), P(0.9996f, 0.4772f), N(), N(), N()},                                           // 11 BL 3
        {N(), P(1.3397f, 0.4889f), P(0.7743f, 0.389f), N(), N()},                                  // 12 BL 4
        {F(0.6656f), P(1.1402f, 0.4128f), P(0.6216f, 0.3245f), N(), N()},                          // 13 BL 5
        {N(), P(1.2217f, 0.3887f), P(0.9686f, 0.3505f), P(0.5131f, 0.2756f), N()},                 // 14 BL 6
        {F(0.5937f), P(1.0944f, 0.3395f), P(0.8304f, 0.3011f), P(0.4332f, 0.2381f), N()},          // 15 BL 7
        {N(), P(1.1112f, 0.3126f), P(0.9754f, 0.2979f), P(0.7202f, 0.2621f), P(0.3728f, 0.2087f)}, // 16 BL 8
        {F(1.0f), F(1.0f), N(), N(), N()},                                                         // 17 LR 2
        {S(1.4142f), S(1.4142f), N(), N(), N()},                                                   // 18 LR 4
        {F(1.0f), F(1.0f), S(1.0f), S(1.0f), N()},                                                 // 19 LR 6
        {S(1.8478f), S(1.8478f), S(0.7654f), S(0.7654f), N()},                                     // 20 LR 8
    }};
}();

// Response-engine section type of each PEQ filter type 0..8 (Peak, Low Shelf, High Shelf, LP -6, LP -12,
// HP -6, HP -12, Allpass 1, Allpass 2).
inline constexpr std::array<int, 9> PEQ_TYPE_SECTION = {1, 2, 3, 8, 5, 9, 4, 7, 17};

// Constants of the curve code; the PEQ and filter curve code reads the last three (3.0, 0.71, 42.0).
inline constexpr std::array<double, 6> CURVE_CONSTANTS = {18.0, 2.0, 0.0, 3.0, 0.71, 42.0};

// Colours of the channel curves where graphs show them, as 0x00BBGGRR. Entries 0..7 are the channel
// colours (InA purple, InB olive, Out1 red, Out2 lime, Out3 yellow, Out4 blue, then fuchsia and aqua);
// 8 and 9 the graphic-EQ curves of InA and InB (sky blue, cream); 10..15 the remaining total-curve
// colours; 16..19 the named colours the others leave out (grey, navy, green, white). The overlay code
// reads entries 0..5.
inline constexpr std::array<uint32_t, 20> OVERLAY_COLOURS = {
    0x800080, 0x008080, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0xF0CAA6, 0xF0FBFF,
    0x800080, 0x008080, 0x800080, 0x008080, 0x808000, 0x000080, 0x808080, 0x800000, 0x008000, 0xFFFFFF,
};

// ---- Meters -------------------------------------------------------------------------------------------

// Level-meter segment thresholds in dB, bottom segment first.
inline constexpr std::array<float, 9> LEVEL_THRESHOLDS_IN = {-50, -40, -30, -20, -5, 0, 5, 12, 15};
inline constexpr std::array<float, 8> LEVEL_THRESHOLDS_OUT = {-50, -30, -10, -5, 0, 5, 12, 15};

// ---- Graphic EQ and Q ---------------------------------------------------------------------------------

inline constexpr std::array<float, 31> GEQ_FREQUENCIES = {
    20,  25,   31.5, 40,   50,   63,   80,   100,  125,  160,  200,  250,   315,   400,   500,   630,
    800, 1000, 1250, 1600, 2000, 2500, 3150, 4000, 5000, 6300, 8000, 10000, 12500, 16000, 20000,
};
// The graphic-EQ code knows the same table by this name.
inline constexpr const std::array<float, 31>& GEQ_CENTRE_HZ = GEQ_FREQUENCIES;

// The Q of each Q index 0..100; the band tables show these values.
inline constexpr std::array<float, 101> Q_GRID = {
    0.4f,  0.42f, 0.45f, 0.47f, 0.5f,  0.53f,  0.56f,  0.59f,  0.63f,  0.67f,  0.71f, 0.75f, 0.79f,
    0.84f, 0.89f, 0.94f, 1.0f,  1.06f, 1.12f,  1.19f,  1.26f,  1.3f,   1.4f,   1.5f,  1.6f,  1.7f,
    1.8f,  1.9f,  2.0f,  2.1f,  2.2f,  2.4f,   2.5f,   2.7f,   2.8f,   3.0f,   3.2f,  3.4f,  3.6f,
    3.8f,  4.0f,  4.2f,  4.5f,  4.8f,  5.0f,   5.3f,   5.7f,   6.0f,   6.3f,   6.7f,  7.1f,  7.6f,
    8.0f,  8.5f,  9.0f,  9.5f,  10.1f, 10.7f,  11.3f,  12.0f,  12.7f,  13.5f,  14.0f, 15.0f, 16.0f,
    17.0f, 18.0f, 19.0f, 20.0f, 21.0f, 23.0f,  24.0f,  25.0f,  27.0f,  29.0f,  30.0f, 32.0f, 34.0f,
    36.0f, 38.0f, 40.0f, 43.0f, 45.0f, 48.0f,  51.0f,  54.0f,  57.0f,  60.0f,  64.0f, 68.0f, 72.0f,
    76.0f, 81.0f, 85.0f, 91.0f, 96.0f, 102.0f, 108.0f, 114.0f, 121.0f, 128.0f,
};

// ---- Phase --------------------------------------------------------------------------------------------

// Phase curves are in tens of degrees: 18 is half a turn, so phase shares the magnitude axis -18..+18.
inline constexpr double PHASE_HALF_TURN = 18.0;
// Radians to phase-curve units (18 / pi).
inline constexpr double PHASE_SCALE = PHASE_HALF_TURN / 180.0 * 180.0 / std::numbers::pi;

// ---- Conversions --------------------------------------------------------------------------------------
// None of them clamps: out-of-range values convert by the same formula (callers clamp first). Results
// that would not fit an int saturate instead of being undefined.

// Hz -> frequency index 0..300 (170 = 1 kHz), to the nearest step; an exact half step rounds down.
int FreqToIndex(double hz);
double IndexToFreq(int index);

// dB -> EQ/GEQ gain index 0..240 (120 = 0 dB, 0.1 dB per step), truncating toward zero.
int GainToIndex(double dB);
double IndexToGain(int index);

// Q -> Q index 0..100; every Q_GRID value gives its own index.
int QToIndex(double q);
// Q of the low byte of the index by formula, two decimals (only the float band table uses it; its
// values differ slightly from Q_GRID).
double IndexToQ(int index);

// Delay value in unit 0 ms, 1 m, 2 ft -> samples at 96 per millisecond, truncated; any other unit 0.
int DelayToSamples(double value, int unit);

// Level text of a signed step: 0.1 dB per step down to -20 dB at -200, then 0.5 dB per step
// (-60 dB at -280); "+12.0dB", "-20.5dB".
std::string LevelIndexText(int step);

// The value texts of the dynamics and delay editors, from control positions.
// Threshold position in half decibels: "+0.0dB", "-12.5dB".
std::string ThresholdText(int position);
// Time position, one less than the milliseconds: "10ms"; padded, at least three digits wide: " 10ms".
std::string TimeText(int position, bool padded);
// Knee in whole decibels: "6dB".
std::string KneeText(int knee);
// Compressor ratio by index: "1:4.0"; "Limit" for the top index 15; empty outside 0..15.
std::string RatioText(int index);
// A delay in samples in unit 0 ms, 1 m or 2 ft (any other as ms): "10.000 ms", "3.435 m", "11.270 ft".
std::string DelayText(int samples, int unit);

// True when every character, in the system code page, is a decimal digit or a point; true when empty.
bool IsNumericText(std::string_view text);

// UTF-8 text -> the system code page's bytes, for texts the unit and the files keep in 8 bits.
std::string WideToAnsi(std::string_view utf8);
