#pragma once
// Plain numeric routines of the plot library: the decimal logarithm and power the axes use for tick
// spacing, cubic-spline, polynomial and rational interpolation for interpolated channels, and the
// segment and rectangle tests used when annotations are drawn.
//
// Arrays are 1-based: for N points they hold at least N + 1 elements and element 0 is not used.

#include "platform/core/Classes.h"
#include "platform/gui/Graphics.h"

#include <vector>

namespace kv {

// Raised for arguments outside a routine's domain, with the runtime's floating-point messages.
class EMathError : public EKvError {
public:
    using EKvError::EKvError;
};

// log10 X for X > 0 (exact at powers of ten); X = 0 raises "Floating point division by zero", X < 0
// "Invalid floating point operation".
double gLog10(double x);
// Base raised to Exponent for Base > 0 (exact at powers of ten); other bases raise as gLog10 does.
double gPower(double base, double exponent);

// Second derivatives of the cubic spline through (XA[i], YA[i]), i = 1..N, into Y2 (resized to N + 1
// when shorter). The end derivatives are taken from the first and last segments' slopes; the two
// derivative arguments are not used.
void gSpline(const std::vector<double>& xa, const std::vector<double>& ya, int n, double yp1, double ypn,
             std::vector<double>& y2);
// The spline's value at X; raises "Splint Error - xa's must be distinct" when the bracketing
// abscissas are equal.
double gSplint(const std::vector<double>& xa, const std::vector<double>& ya, const std::vector<double>& y2a,
               int n, double x);
// Value at X of the degree N-1 polynomial through the points, and the last correction as error
// estimate; raises "Polynomial Interpolation Error - Pause in Routine Data" for equal abscissas.
void gPolynomialInterpolate(const std::vector<double>& xa, const std::vector<double>& ya, int n, double x,
                            double& y, double& dy);
// Value at X of the diagonal rational function through the points, with error estimate; at a
// table abscissa the point's ordinate with dy 0. Raises "Rational Interpolation Error - Pause in
// Routine Data" at a pole.
void gRationalInterpolate(const std::vector<double>& xa, const std::vector<double>& ya, int n, double x,
                          double& y, double& dy);

// The line through two points as y = slope * x + intercept; a vertical line has slope 1e30.
void gLineCoefficients(TPoint p1, TPoint p2, double& slope, double& intercept);
// True when the closed segments A1-A2 and B1-B2 share a point (touching ends and collinear overlap
// included), computed exactly on the integer coordinates.
bool gSegmentsIntersect(TPoint a1, TPoint a2, TPoint b1, TPoint b2);
// True when the segment P1-P2 crosses or touches an edge of the rectangle or lies inside it (bounds
// included: Left <= X <= Right, Top <= Y <= Bottom).
bool gLineIntersectsRect(TPoint p1, TPoint p2, const TRect& rect);

} // namespace kv
