// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// How far the transform path's sums may lie from the literal loops': the bound derived from the
// samples' measures.
#pragma once

#include "core/spectrum/fft/real_transform.h"
#include "core/state/sample_measures.h"

#include <cstdint>
#include <limits>
#include <numbers>

struct TransformRounding;

// How far the transform's cosine or sine sum of harmonic k (before the factor 2 / N) may lie
// from the literal loops' CosSum or SinSum.
double SpectrumErrorBound(const SampleMeasures &measures, std::int64_t k);

// The true pi less the program's PI, 3.14159265358979: the 15-digit value's shortfall, which the
// literal loops' angles carry.
constexpr double PiGap = 3.2384626433832795e-15;
// The angle's error: the literal loops' angle (2k * PI * i) / N, formed with the 15-digit PI and
// three roundings of relative u each, misses 2 pi k i / N by at most AngleDrift * k i / N, and a
// sine or cosine moves no more than its angle. Of the error terms the only one that grows with k.
constexpr double AngleDrift = 2 * (PiGap + 3.01 * Unit * std::numbers::pi);

// The bound of SpectrumErrorBound as a line in k, worked out once for every harmonic.
struct ErrorLine
{
    double fixed;
    double perHarmonic;

    // With the transform's bound of every bin, as the transform path's reading makes it.
    static ErrorLine Of(const SampleMeasures &measures);
    // With the bound `rounding` of the bins the transform used.
    static ErrorLine Of(const SampleMeasures &measures, const TransformRounding &rounding);
};
