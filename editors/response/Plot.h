#pragma once
// The response engine of one curve graph: 48 filter sections, each with its response on a 4,096-point
// logarithmic grid from 1 Hz to 48 kHz, computed as biquads at 96 kHz, in dB or in tens of degrees.
// Sections 0..32 (EQ bands, high-pass, low-pass) sum into section 33, the channel's curve.
//
// Speed: the grid's trigonometry is computed once and shared by every section, a section whose
// parameters and mode did not change since its curve was computed is not computed again, and the total
// is summed only over sections that are not flat and only when one of them changed.

#include <array>
#include <cmath>
#include <cstdint>
#include <memory>

#include "editors/response/CurveGraph.h"
#include "link/Scales.h"

inline constexpr int GRID_POINTS = 4096;
inline constexpr int PLOT_SECTIONS = 48;
inline constexpr double SAMPLE_RATE = 96000.0;

// Section roles on a channel graph's Plot.
inline constexpr int SECTION_HIGH_PASS = 31;
inline constexpr int SECTION_LOW_PASS = 32;
inline constexpr int SECTION_TOTAL = 33;
inline constexpr int SECTION_FIRST_STAGE = 34;
inline constexpr int SECTION_FIRST_OVERLAY = 39;
// The sections that make up the total: 0..32.
inline constexpr int SUMMED_SECTIONS = 33;

// Section types.
enum SectionType : int {
    ST_PEAK = 1,
    ST_LOW_SHELF = 2,
    ST_HIGH_SHELF = 3,
    ST_HIGH_PASS_2 = 4,
    ST_LOW_PASS_2 = 5,
    ST_BAND_PASS = 6,
    ST_ALL_PASS_1 = 7,
    ST_LOW_PASS_1 = 8,
    ST_HIGH_PASS_1 = 9,
    ST_FLAT = 10,
    ST_LOW_PASS_STAGE_1 = 11,
    ST_LOW_PASS_STAGE_2 = 12,
    ST_LOW_PASS_STAGE_AB = 13,
    ST_HIGH_PASS_STAGE_1 = 14,
    ST_HIGH_PASS_STAGE_2 = 15,
    ST_HIGH_PASS_STAGE_AB = 16,
    ST_ALL_PASS_2 = 17,
};

// Handle shapes.
inline constexpr int BLOCK_SQUARE = 0;
inline constexpr int BLOCK_CIRCLE = 1;
inline constexpr int BLOCK_LPF = 2;
inline constexpr int BLOCK_HPF = 3;

// Curve style of every curve the engine draws: a plain line.
inline constexpr int CURVE_STYLE_LINE = 0;
// Colour of the selected band's texts: yellow.
inline constexpr CurveColour PARAM_COLOUR = 0x00FFFF;

// Handle colour of block n is entry n mod 14.
inline constexpr std::array<CurveColour, 14> BLOCK_COLOURS = {
    0x0000FF, 0x00FFFF, 0xFF00FF, 0xFFFF00, 0x00FF00, 0xFF0000, 0xF0CAA6,
    0x800080, 0x808000, 0x000080, 0xF0FBFF, 0x008080, 0x808080, 0x800000,
};

// Total-curve colour by colour index: the six channels' own colours, then the rest.
inline constexpr std::array<CurveColour, 16> TOTAL_COLOURS = {
    static_cast<CurveColour>(OVERLAY_COLOURS[0]),
    static_cast<CurveColour>(OVERLAY_COLOURS[1]),
    static_cast<CurveColour>(OVERLAY_COLOURS[2]),
    static_cast<CurveColour>(OVERLAY_COLOURS[3]),
    static_cast<CurveColour>(OVERLAY_COLOURS[4]),
    static_cast<CurveColour>(OVERLAY_COLOURS[5]),
    0xFF00FF,
    0xFFFF00,
    0xF0CAA6,
    0xF0FBFF,
    0x800080,
    0x008080,
    0x800080,
    0x008080,
    0x808000,
    0x000080,
};

// Frequency of grid point i: 10^(i * log10(48000) / 4096) Hz.
double GridFrequency(int i);
// Graph x of a frequency in grid-point units: 4096 * log10(f) / log10(48000).
double FrequencyToGridX(double hz);

// Biquad coefficients, a0 = 1. nSum and dSum are b0 + b1 + b2 and 1 + a1 + a2 worked out from the
// type's formulas rather than added up, so that responses near 0 Hz, where the coefficients of steep
// high-passes almost cancel, keep their precision.
struct Biquad {
    double b0 = 1.0, b1 = 0.0, b2 = 0.0;
    double a1 = 0.0, a2 = 0.0;
    double nSum = 1.0, dSum = 1.0;
    bool flat = false; // numerator equals denominator: 0 dB and 0 phase everywhere
};

struct ComplexValue {
    double re = 0.0;
    double im = 0.0;
};

inline void ComplexAdd(ComplexValue& sum, const ComplexValue& term) {
    sum.re += term.re;
    sum.im += term.im;
}

inline double ComplexMagnitude(double re, double im) {
    return std::sqrt(re * re + im * im);
}

class Plot;

// One filter section. Parameters are public; the curve is written only by the section operations, which
// keep track of what it was computed from.
class PlotSection {
public:
    float A = 0.0f;   // first prototype coefficient of cascade stages (types 11..16)
    float B = 0.0f;   // second prototype coefficient (types 13 and 16)
    uint8_t mode = 0; // 0 magnitude in dB, 1 phase in tens of degrees
    int32_t type = ST_HIGH_SHELF;
    double frequency = 1000.0;
    double gain = 0.0;
    double Q = 0.4;

    const double* Curve() const { return curve_ ? curve_.get() : ZeroCurve(); }
    double operator[](int i) const { return Curve()[static_cast<size_t>(i)]; }
    // True when the curve is 0 everywhere.
    bool IsFlat() const { return flat_; }
    // How often the curve was evaluated from the parameters, for checks that unchanged sections are not
    // computed again.
    uint64_t Computations() const { return computations_; }
    // Changes whenever the curve changes.
    uint64_t Revision() const { return revision_; }
    // True when the curve is the response of the current parameters in the current mode.
    bool UpToDate() const { return computed_ && computedFor_ == CurrentKey(); }

    // Replaces the curve with given values (an overlay copy); the parameters stay.
    void CopyCurve(const double* values);

private:
    friend class Plot;
    friend void ComputeSectionResponse(PlotSection& section);

    struct Key {
        int32_t type;
        double frequency, gain, Q;
        float A, B;
        uint8_t mode;
        bool operator==(const Key&) const = default;
    };
    Key CurrentKey() const { return {type, frequency, gain, Q, A, B, mode}; }
    void CurveChanged(bool flat);
    static const double* ZeroCurve();
    // The curve's own storage, made on the first write. Most sections stay flat for good, and the ten
    // graphs' 48 sections each would otherwise fill megabytes with zeros at start; until then a flat
    // section reads one shared curve of zeros.
    double* WritableCurve();

    std::unique_ptr<double[]> curve_;
    Key computedFor_{};
    bool computed_ = false; // curve_ holds the response of computedFor_
    bool flat_ = true;
    uint64_t computations_ = 0;
    uint64_t revision_ = 0;
};

// Stores the parameters and brings the curve up to date (computed only if parameters or mode changed).
void SetSection(PlotSection& section, double gain, double frequency, double q, int type);
void SetSectionEx(PlotSection& section, double gain, double frequency, double q, int type, float a, float b);
// Computes the curve from the parameters, in the section's mode.
void ComputeSectionResponse(PlotSection& section);
// The coefficients of the section's type, frequency, gain, Q, A and B. Types outside 1..17 are flat.
Biquad ComputeBiquad(const PlotSection& section);

class Plot {
public:
    explicit Plot(CurveGraph* graph);
    ~Plot();
    Plot(const Plot&) = delete;
    Plot& operator=(const Plot&) = delete;

    int SectionCount() const { return PLOT_SECTIONS; }
    CurveGraph* Graph() const { return graph_; }
    // Section n, 0..47; out of range throws std::out_of_range.
    PlotSection& Section(int n);
    const PlotSection& Section(int n) const;

    // Stores the mode in the Plot and every section without recomputing; callers write again every
    // section they use.
    void SetCurveMode(uint8_t mode);
    uint8_t GetCurveMode() const { return curveMode_; }

    // The high-pass (into section base) or low-pass (into base + 1) filter of a slope code 0..20, built
    // from cascade stages in sections base + 3 .. base + 7, with its handle on the 0 dB line. Channel
    // graphs pass base 31. Slope codes above 20 are treated as bypassed.
    void ComputeFilterCurve(bool highPass, int slopeCode, double frequency, int base = SECTION_HIGH_PASS);

    // Handle of section n at the filter frequency and the given y; out-of-range sections are ignored.
    void DrawSectionBlock(int n, float y, int shape);
    // Sums sections 0..32 into section 33 (wrapped to -18..18 in phase mode) and draws it as curve 33.
    void DrawTotalCurve(int colourIndex);
    // Draws section s's curve as curve number s.
    void ShowOverlay(int s, CurveColour colour);
    bool RemoveOverlay(int curve);
    // Shows the selected band's texts and filled curve (section n, n below 0 taken as 0), or hides them.
    void DrawSectionParam(int displayType, int n, double gain, double q, bool show);

    // How often the total was summed, for checks that an unchanged total is not summed again.
    uint64_t TotalSums() const { return totalSums_; }

private:
    bool TotalUpToDate() const;

    CurveGraph* graph_;
    uint8_t curveMode_ = 0;
    std::unique_ptr<PlotSection[]> sections_;
    // What the total was last summed from.
    std::array<uint64_t, SUMMED_SECTIONS> summedRevisions_{};
    uint64_t totalRevision_ = 0;
    uint8_t summedMode_ = 0;
    bool totalValid_ = false;
    uint64_t totalSums_ = 0;
};
