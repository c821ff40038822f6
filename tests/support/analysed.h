// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later

// An analysis by the literal definition, from the parameters it reads.
#pragma once

#include "core/spectrum/spectrum.h"

inline AnalysisState Analysed(double v, double d, std::int32_t n, double h,
                              PulseShape shape = PulseShape::HalfSine)
{
    AnalysisState state;
    state.Shape = shape;
    state.Amplitude = v;
    state.DutyCycle = d;
    state.SampleCount = n;
    state.HarmonicCount = h;
    ComputeSpectrum(state);
    return state;
}
