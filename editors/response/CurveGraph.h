#pragma once
// The drawing side of a response curve graph, as the response engine uses it. The curve graph control
// (LMyFFTDrawHpLp6dB and its phase twin) implements it; tests implement it with a recorder. Keeping the
// engine behind this interface keeps its arithmetic free of the GUI layer.

#include <cstdint>

// Colours are 0x00BBGGRR values, the same integers as the GUI layer's TColor.
using CurveColour = std::int32_t;

class CurveGraph {
public:
    virtual ~CurveGraph() = default;

    // Adds curve `curve` with `count` points (x of point i is i, in grid-point units) or replaces the
    // points of an existing one, which keeps its colour and style.
    virtual void FFTDraw(const double* values, int count, int curve, CurveColour colour, int style) = 0;
    // Removes curve `curve` if the graph holds it; whether it did.
    virtual bool RemovePlot(int curve) = 0;
    // Places handle `block` (0..49) at x in grid-point units and y in dB. Shapes: 0 numbered square,
    // 1 numbered circle, 2 "LPF", 3 "HPF".
    virtual void DrawBlock(float y, double x, CurveColour colour, int block, bool hidden, int shape) = 0;
    // The parameters kept per handle for its parameter text.
    virtual void SetBlockParameter(int block, double frequency, double gain, double q, int type) = 0;
    // The selected band's texts near its handle; the display type chooses which texts show.
    virtual void DrawParam(int displayType, double gain, double x, float frequency, double q,
                           CurveColour colour) = 0;
    // The selected band's own curve, drawn and filled.
    virtual void DrawCurveFill(int displayType, const double* values, int count) = 0;
    // Shows or hides the selected band's texts and fill.
    virtual void SetCurveDisplay(bool show) = 0;

protected:
    CurveGraph() = default;
    CurveGraph(const CurveGraph&) = default;
    CurveGraph& operator=(const CurveGraph&) = default;
};
