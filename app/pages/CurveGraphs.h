#pragma once
// The main window's ten curve graphs, each drawn from a response engine of its own.

#include <array>

// The gain page's input and output graphs among the ten.
inline constexpr int kGainInGraph = 6;
inline constexpr int kGainOutGraph = 7;

// The ten response engines, in the order of their graphs.
inline constexpr int kCurvePlots = 10;
inline constexpr std::array<const char*, kCurvePlots> kCurveGraphNames = {
    "fftDrawInA",  "fftDrawInB",    "fftDrawOut1",    "fftDrawOut2",   "fftDrawOut3",
    "fftDrawOut4", "fftDrawGainIn", "fftDrawGainOut", "fftDrawGeqInA", "fftDrawGeqInB",
};
