// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later

// An analysis by the literal definition, from the parameters it reads.
#pragma once

#include "core/spectrum/spectrum.h"

// The parameters of one analysis, by name: AnalysisOf({.v = 1, .n = 1000}).
struct AnalysisCase
{
    double v = 10; // Vmax
    double d = 0.5; // D
    std::int32_t n = 10000; // N
    double h = 10; // H
    double f = 0; // f [Hz]
    double p = 0; // P
    PulseShape shape = PulseShape::HalfSine;
};

// The state a command stores before the analysis is computed.
inline AnalysisState ParametersOf(const AnalysisCase &c)
{
    AnalysisState state;
    state.Amplitude = c.v;
    state.DutyCycle = c.d;
    state.SampleCount = c.n;
    state.HarmonicCount = c.h;
    state.Frequency = c.f;
    state.PeriodCount = c.p;
    state.Shape = c.shape;
    return state;
}

inline AnalysisState AnalysisOf(const AnalysisCase &c)
{
    AnalysisState state = ParametersOf(c);
    ComputeSpectrum(state);
    return state;
}

inline AnalysisState Analysed(double v, double d, std::int32_t n, double h,
                              PulseShape shape = PulseShape::HalfSine)
{
    return AnalysisOf({.v = v, .d = d, .n = n, .h = h, .shape = shape});
}
