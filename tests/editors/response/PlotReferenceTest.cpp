// Every section type against a direct long-double evaluation of its transfer function at e^(jw).
#include "editors/response/Plot.h"

#include <cmath>
#include <complex>
#include <numbers>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

using LD = long double;
using CLD = std::complex<LD>;

constexpr LD PI_L = std::numbers::pi_v<LD>;
constexpr double DB_TOLERANCE = 1e-6;
// 1e-6 rad in tens of degrees.
constexpr double PHASE_TOLERANCE = 1e-6 * 18.0 / std::numbers::pi;

struct Params {
    int type;
    double frequency;
    double gain;
    double q;
    float a;
    float b;
};

std::string Describe(const Params& p) {
    return "type " + std::to_string(p.type) + " f " + std::to_string(p.frequency) + " gain " +
           std::to_string(p.gain) + " Q " + std::to_string(p.q) + " A " + std::to_string(p.a) + " B " +
           std::to_string(p.b);
}

// Numerator and denominator in powers of z^-1, straight from the filter formulas.
struct Transfer {
    LD n[3];
    LD d[3];
};

Transfer TransferOf(const Params& p) {
    const LD k = std::tan(PI_L * p.frequency / 96000);
    const LD q = p.q;
    const LD a = p.a;
    const LD b = p.b;
    const LD g = std::pow(10.0L, std::fabs(static_cast<LD>(p.gain)) / 20);
    const LD u = 1 / g;
    const LD su = std::sqrt(u);
    const Transfer resonant{{}, {1 + k / q + k * k, 2 * (k * k - 1), 1 - k / q + k * k}};
    const auto withNum = [&](LD n0, LD n1, LD n2) {
        Transfer t = resonant;
        t.n[0] = n0, t.n[1] = n1, t.n[2] = n2;
        return t;
    };
    const auto gainType = [&](LD m0, LD m1, LD m2) {
        if (p.gain < 0)
            return withNum(m0, m1, m2);
        return Transfer{{resonant.d[0], resonant.d[1], resonant.d[2]}, {m0, m1, m2}};
    };
    const auto firstOrder = [&](LD n0, LD n1) { return Transfer{{n0, n1, 0}, {1 + k, k - 1, 0}}; };
    switch (p.type) {
    case 1:
        return gainType(1 + k / (g * q) + k * k, 2 * (k * k - 1), 1 - k / (g * q) + k * k);
    case 2:
        return gainType(1 + su * k / q + u * k * k, 2 * (u * k * k - 1), 1 - su * k / q + u * k * k);
    case 3:
        return gainType(u + su * k / q + k * k, 2 * (k * k - u), u - su * k / q + k * k);
    case 4:
        return withNum(1, -2, 1);
    case 5:
        return withNum(k * k, 2 * k * k, k * k);
    case 6:
        return withNum(2 * k / q, 0, -2 * k / q);
    case 7:
        return firstOrder(1 - k, -(1 + k));
    case 8:
        return firstOrder(k, k);
    case 9:
        return firstOrder(-1, 1);
    case 11: {
        const LD kk = k / a;
        return Transfer{{kk, kk, 0}, {1 + kk, kk - 1, 0}};
    }
    case 12:
        return Transfer{{k * k, 2 * k * k, k * k}, {1 + a * k + k * k, 2 * (k * k - 1), 1 - a * k + k * k}};
    case 13:
        return Transfer{{k * k, 2 * k * k, k * k}, {b + a * k + k * k, 2 * (k * k - b), b - a * k + k * k}};
    case 14:
        return Transfer{{1, -1, 0}, {1 + a * k, a * k - 1, 0}};
    case 15:
        return Transfer{{1, -2, 1}, {1 + a * k + k * k, 2 * (k * k - 1), 1 - a * k + k * k}};
    case 16:
        return Transfer{{1, -2, 1}, {1 + a * k + b * k * k, 2 * (b * k * k - 1), 1 - a * k + b * k * k}};
    case 17:
        return withNum(1 - k / q + k * k, 2 * (k * k - 1), 1 + k / q + k * k);
    default:
        return Transfer{{1, 0, 0}, {1, 0, 0}};
    }
}

// The half-turn each type adds to the arc tangent's (-9, 9) so that its phase runs through the range of
// its shape: +18 below 0, -18 above 0, or both steps of the second-order all-pass.
LD PhaseCorrection(const Params& p, LD v, LD f) {
    switch (p.type) {
    case 4:
    case 7:
    case 9:
    case 15:
    case 16:
        return v < 0 ? v + 18 : v;
    case 5:
    case 8:
    case 12:
    case 13:
        return v > 0 ? v - 18 : v;
    case 17:
        v = v > 0 ? v - 18 : v;
        return f > p.frequency ? v + 18 : v;
    case 2:
        if (p.gain > 0)
            return v > 0 ? v - 18 : v;
        return p.gain < 0 && v < 0 ? v + 18 : v;
    case 3:
        if (p.gain > 0)
            return v < 0 ? v + 18 : v;
        return p.gain < 0 && v > 0 ? v - 18 : v;
    default:
        return v;
    }
}

struct Reference {
    std::vector<double> db;
    std::vector<double> phase;
};

Reference Evaluate(const Params& p) {
    const Transfer t = TransferOf(p);
    const LD decades = std::log10(48000.0L);
    Reference r;
    for (int i = 0; i < GRID_POINTS; ++i) {
        const LD f = std::pow(10.0L, decades * i / GRID_POINTS);
        const LD w = PI_L * f / 48000;
        const CLD z1 = std::polar(1.0L, -w);
        const CLD z2 = std::polar(1.0L, -2 * w);
        const CLD h = (t.n[0] + t.n[1] * z1 + t.n[2] * z2) / (t.d[0] + t.d[1] * z1 + t.d[2] * z2);
        r.db.push_back(static_cast<double>(20 * std::log10(std::abs(h))));
        const LD v = std::atan(h.imag() / h.real()) * 18 / PI_L;
        r.phase.push_back(static_cast<double>(PhaseCorrection(p, v, f)));
    }
    return r;
}

std::vector<Params> AllCases() {
    const double frequencies[] = {10.0, 19.7, 97.3, 1000.0, 7963.1, 20158.7};
    const double qs[] = {Q_GRID.front(), 0.71, 3.0, 20.0, Q_GRID.back()};
    const double gains[] = {-15.0, -6.0, -0.1, 0.0, 0.1, 6.0, 12.0};
    std::vector<Params> cases;
    for (double f : frequencies) {
        for (int type = 1; type <= 17; ++type) {
            switch (type) {
            case 1:
            case 2:
            case 3:
                for (double q : qs)
                    for (double g : gains)
                        cases.push_back({type, f, g, q, 0, 0});
                break;
            case 4:
            case 5:
            case 6:
            case 17:
                for (double q : qs)
                    cases.push_back({type, f, 0, q, 0, 0});
                break;
            case 11:
            case 12:
            case 13:
            case 14:
            case 15:
            case 16:
                break;
            default:
                cases.push_back({type, f, 0, 0.05, 0, 0});
                break;
            }
        }
        // Every stage of every high- and low-pass design.
        for (const FilterDesign& design : FILTER_DESIGNS) {
            for (const FilterStage& st : design) {
                if (st.kind == StageKind::Flat)
                    continue;
                const bool first = st.kind == StageKind::FirstOrder;
                const bool ab = st.kind == StageKind::SecondOrderAB;
                const int low = first ? 11 : ab ? 13 : 12;
                cases.push_back({low, f, 0, 0.05, st.a, st.b});
                cases.push_back({low + 3, f, 0, 0.05, st.a, st.b});
            }
        }
    }
    return cases;
}

TEST(PlotReference, EveryTypeMatchesDirectEvaluationInMagnitudeAndPhase) {
    PlotSection s;
    for (const Params& p : AllCases()) {
        const Reference ref = Evaluate(p);
        for (uint8_t mode : {uint8_t{0}, uint8_t{1}}) {
            s.mode = mode;
            SetSectionEx(s, p.gain, p.frequency, p.q, p.type, p.a, p.b);
            const std::vector<double>& want = mode == 0 ? ref.db : ref.phase;
            const double tolerance = mode == 0 ? DB_TOLERANCE : PHASE_TOLERANCE;
            int failures = 0;
            for (int i = 0; i < GRID_POINTS && failures < 3; ++i) {
                const auto k = static_cast<size_t>(i);
                if (!(std::fabs(s[i] - want[k]) <= tolerance)) {
                    ++failures;
                    ADD_FAILURE() << Describe(p) << (mode == 0 ? " dB" : " phase") << " at point " << i
                                  << ": " << s[i] << " want " << want[k];
                }
            }
        }
    }
}

} // namespace
