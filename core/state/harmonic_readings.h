// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// What a harmonic's coefficients read as besides its modulus: its phase and its level against the
// largest line. Plain arithmetic on the analysis state, shared by the table, the plot and the
// readout.
#pragma once

#include "core/state/analysis_state.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>

// The modulus up to which harmonic k may be a harmonic that is zero, its value all rounding: any
// modulus while the noise is not known yet.
inline double ModulusNoise(const AnalysisResults &results, std::int64_t k)
{
    if (!results.Noise)
        return std::numeric_limits<double>::infinity();
    return results.Noise->fixed + results.Noise->perHarmonic * static_cast<double>(k);
}

inline bool WithinNoise(const AnalysisResults &results, std::int64_t k)
{
    return results.Magnitudes[static_cast<std::size_t>(k)] <= ModulusNoise(results, k);
}

// The phase of harmonic k in degrees, in (-180, 180], with s(t) = DC + sum |S_k| cos(2 pi k f t +
// phi_k): a_k cos + b_k sin = |S_k| cos(x + phi_k) where cos phi_k = a_k / |S_k| and
// sin phi_k = -b_k / |S_k|. NaN where the modulus lies within the noise (or the noise is not
// known yet): no phase is defined.
// A negative a_k whose b_k lies within the noise of zero is a half turn, 180: the sign of a b_k
// that is all rounding would otherwise choose between 180 and nearly -180.
inline double PhaseDegrees(const AnalysisState &state, std::int64_t k)
{
    if (WithinNoise(state, k))
        return std::numeric_limits<double>::quiet_NaN();
    const auto i = static_cast<std::size_t>(k);
    if (state.CosCoefficients[i] < 0
        && std::abs(state.SinCoefficients[i]) <= ModulusNoise(state, k))
        return 180;
    const double degrees = std::atan2(-state.SinCoefficients[i], state.CosCoefficients[i])
        * (180 / std::numbers::pi);
    return degrees <= -180 ? 180 : degrees; // atan2 gives -pi for a_k < 0 and b_k = +0
}

// A ratio of two amplitudes in decibels: 20 log10(ratio).
inline double DecibelsOf(double ratio)
{
    return 20 * std::log10(ratio);
}

// 20 log10(|S_k| / SpectrumPeak): 0 dB for the largest line. NaN where the modulus lies within the
// noise, or no line is the largest (an all-zero spectrum).
inline double LevelDecibels(const AnalysisState &state, std::int64_t k)
{
    if (WithinNoise(state, k) || !(state.SpectrumPeak > 0))
        return std::numeric_limits<double>::quiet_NaN();
    return DecibelsOf(state.Magnitudes[static_cast<std::size_t>(k)] / state.SpectrumPeak);
}
