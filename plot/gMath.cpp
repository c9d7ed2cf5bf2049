#include "plot/gMath.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace kv {

namespace {

void CheckPositive(double x) {
    if (x == 0)
        throw EMathError("Floating point division by zero");
    if (!(x > 0))
        throw EMathError("Invalid floating point operation");
}

std::size_t U(int i) {
    return static_cast<std::size_t>(i);
}

// The end of one column of the interpolation tableau: follow the path through it that stays
// closest to the middle, and add that correction.
void gTakeTableauStep(const std::vector<double>& c, const std::vector<double>& d, int n, int m, int& ns,
                      double& y, double& dy) {
    if (2 * ns < n - m) {
        dy = c[U(ns + 1)];
    } else {
        dy = d[U(ns)];
        --ns;
    }
    y += dy;
}

// Sign of the cross product (b - a) x (c - a), in 64 bits so that any pair of int coordinates fits.
int Orientation(TPoint a, TPoint b, TPoint c) {
    const std::int64_t v = (std::int64_t{b.X} - a.X) * (std::int64_t{c.Y} - a.Y) -
                           (std::int64_t{b.Y} - a.Y) * (std::int64_t{c.X} - a.X);
    return (v > 0) - (v < 0);
}

// C lies within the bounding box of A-B (used when the three are collinear).
bool OnSegment(TPoint a, TPoint b, TPoint c) {
    return std::min(a.X, b.X) <= c.X && c.X <= std::max(a.X, b.X) && std::min(a.Y, b.Y) <= c.Y &&
           c.Y <= std::max(a.Y, b.Y);
}

} // namespace

double gLog10(double x) {
    CheckPositive(x);
    return std::log10(x);
}

double gPower(double base, double exponent) {
    CheckPositive(base);
    return std::pow(base, exponent);
}

void gSpline(const std::vector<double>& xa, const std::vector<double>& ya, int n, double, double,
             std::vector<double>& y2) {
    if (n < 2)
        return;
    if (y2.size() < U(n + 1))
        y2.resize(U(n + 1));
    std::vector<double> u(U(n + 1));
    // The end derivatives are the end segments' slopes, so the "clamped" branches always run.
    const double yp1 = (ya[2] - ya[1]) / (xa[2] - xa[1]);
    const double ypn = (ya[U(n)] - ya[U(n - 1)]) / (xa[U(n)] - xa[U(n - 1)]);
    if (yp1 > 0.99e30) {
        y2[1] = u[1] = 0;
    } else {
        y2[1] = -0.5;
        u[1] = 3 / (xa[2] - xa[1]) * ((ya[2] - ya[1]) / (xa[2] - xa[1]) - yp1);
    }
    for (int i = 2; i <= n - 1; ++i) {
        const std::size_t k = U(i);
        const double sig = (xa[k] - xa[k - 1]) / (xa[k + 1] - xa[k - 1]);
        const double p = sig * y2[k - 1] + 2;
        y2[k] = (sig - 1) / p;
        u[k] = (ya[k + 1] - ya[k]) / (xa[k + 1] - xa[k]) - (ya[k] - ya[k - 1]) / (xa[k] - xa[k - 1]);
        u[k] = (6 * u[k] / (xa[k + 1] - xa[k - 1]) - sig * u[k - 1]) / p;
    }
    double qn = 0, un = 0;
    if (!(ypn > 0.99e30)) {
        qn = 0.5;
        un = 3 / (xa[U(n)] - xa[U(n - 1)]) * (ypn - (ya[U(n)] - ya[U(n - 1)]) / (xa[U(n)] - xa[U(n - 1)]));
    }
    y2[U(n)] = (un - qn * u[U(n - 1)]) / (qn * y2[U(n - 1)] + 1);
    for (int k = n - 1; k >= 1; --k)
        y2[U(k)] = y2[U(k)] * y2[U(k + 1)] + u[U(k)];
}

double gSplint(const std::vector<double>& xa, const std::vector<double>& ya, const std::vector<double>& y2a,
               int n, double x) {
    int lo = 1, hi = n;
    while (hi - lo > 1) {
        const int k = (hi + lo) / 2;
        if (x < xa[U(k)])
            hi = k;
        else
            lo = k;
    }
    const double h = xa[U(hi)] - xa[U(lo)];
    if (h == 0)
        throw EMathError("Splint Error - xa's must be distinct");
    const double a = (xa[U(hi)] - x) / h;
    const double b = (x - xa[U(lo)]) / h;
    return a * ya[U(lo)] + b * ya[U(hi)] +
           ((a * a * a - a) * y2a[U(lo)] + (b * b * b - b) * y2a[U(hi)]) * (h * h) / 6;
}

void gPolynomialInterpolate(const std::vector<double>& xa, const std::vector<double>& ya, int n, double x,
                            double& y, double& dy) {
    std::vector<double> c(U(n + 1)), d(U(n + 1));
    int ns = 1;
    double dif = std::fabs(x - xa[1]);
    for (int i = 1; i <= n; ++i) {
        const double dift = std::fabs(x - xa[U(i)]);
        if (dift < dif) {
            ns = i;
            dif = dift;
        }
        c[U(i)] = d[U(i)] = ya[U(i)];
    }
    y = ya[U(ns)];
    --ns;
    dy = 0;
    for (int m = 1; m <= n - 1; ++m) {
        for (int i = 1; i <= n - m; ++i) {
            const double ho = xa[U(i)] - x;
            const double hp = xa[U(i + m)] - x;
            const double w = c[U(i + 1)] - d[U(i)];
            double den = ho - hp;
            if (den == 0)
                throw EMathError("Polynomial Interpolation Error - Pause in Routine Data");
            den = w / den;
            d[U(i)] = hp * den;
            c[U(i)] = ho * den;
        }
        gTakeTableauStep(c, d, n, m, ns, y, dy);
    }
}

void gRationalInterpolate(const std::vector<double>& xa, const std::vector<double>& ya, int n, double x,
                          double& y, double& dy) {
    constexpr double tiny = 1e-25;
    std::vector<double> c(U(n + 1)), d(U(n + 1));
    int ns = 1;
    double hh = std::fabs(x - xa[1]);
    for (int i = 1; i <= n; ++i) {
        const double h = std::fabs(x - xa[U(i)]);
        if (h == 0) {
            y = ya[U(i)];
            dy = 0;
            return;
        }
        if (h < hh) {
            ns = i;
            hh = h;
        }
        c[U(i)] = ya[U(i)];
        d[U(i)] = ya[U(i)] + tiny;
    }
    y = ya[U(ns)];
    --ns;
    dy = 0;
    for (int m = 1; m <= n - 1; ++m) {
        for (int i = 1; i <= n - m; ++i) {
            const double w = c[U(i + 1)] - d[U(i)];
            const double h = xa[U(i + m)] - x;
            const double t = (xa[U(i)] - x) * d[U(i)] / h;
            double dd = t - c[U(i + 1)];
            if (dd == 0)
                throw EMathError("Rational Interpolation Error - Pause in Routine Data");
            dd = w / dd;
            d[U(i)] = c[U(i + 1)] * dd;
            c[U(i)] = t * dd;
        }
        gTakeTableauStep(c, d, n, m, ns, y, dy);
    }
}

void gLineCoefficients(TPoint p1, TPoint p2, double& slope, double& intercept) {
    if (p1.X == p2.X)
        slope = 1e30;
    else
        slope = static_cast<double>(p2.Y - p1.Y) / static_cast<double>(p2.X - p1.X);
    intercept = p1.Y - p1.X * slope;
}

bool gSegmentsIntersect(TPoint a1, TPoint a2, TPoint b1, TPoint b2) {
    // Orientation tests on the integer points: comparing only the X ranges of the crossing of the
    // two lines reported hits beyond the ends of vertical segments.
    const int o1 = Orientation(a1, a2, b1);
    const int o2 = Orientation(a1, a2, b2);
    const int o3 = Orientation(b1, b2, a1);
    const int o4 = Orientation(b1, b2, a2);
    if (o1 != o2 && o3 != o4)
        return true;
    return (o1 == 0 && OnSegment(a1, a2, b1)) || (o2 == 0 && OnSegment(a1, a2, b2)) ||
           (o3 == 0 && OnSegment(b1, b2, a1)) || (o4 == 0 && OnSegment(b1, b2, a2));
}

bool gLineIntersectsRect(TPoint p1, TPoint p2, const TRect& r) {
    if (gSegmentsIntersect(p1, p2, {r.Left, r.Bottom}, {r.Left, r.Top}) ||
        gSegmentsIntersect(p1, p2, {r.Right, r.Top}, {r.Left, r.Top}) ||
        gSegmentsIntersect(p1, p2, {r.Right, r.Bottom}, {r.Right, r.Top}) ||
        gSegmentsIntersect(p1, p2, {r.Left, r.Bottom}, {r.Right, r.Bottom}))
        return true;
    const auto inside = [&r](TPoint p) {
        return r.Left <= p.X && p.X <= r.Right && r.Top <= p.Y && p.Y <= r.Bottom;
    };
    return inside(p1) || inside(p2);
}

} // namespace kv
