// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Sampling of the pulse train, its Fourier coefficients and the two peak searches.
#pragma once

#include "core/state/analysis_state.h"

#include <cmath>
#include <cstdint>
#include <optional>

// The definition's own pi, truncated to 15 digits: every angle of the literal loops is formed with
// it, so sin(PI) is not 0. Never the true pi, which the code spells std::numbers::pi alone, and
// which exceeds PI by PiGap (spectrum_error_bound.h).
constexpr double PI = 3.14159265358979;

// Nearest integer, halves to the even neighbour. The value must lie in the signed 32-bit range
// (check with TryRoundToCount first when it may not).
std::int32_t RoundToCount(double value);
std::optional<std::int32_t> TryRoundToCount(double value);

// Reads Shape, DutyCycle, Amplitude, SampleCount, HarmonicCount; rewrites the arrays, MeanValue,
// SignalPeak, CosSum and SinSum. Never touches SpectrumPeak. The parameters must have passed
// the parameter check: this computation tests nothing itself.
void ComputeSpectrum(AnalysisState &state);

// The steps shared by every way of computing the spectrum: the arrays discarded, those every
// analysis allocates (the list of results says which) allocated anew with N + 2 zeroed elements
// each, the others left empty until asked for; and the moduli sqrt(b^2 + a^2) of harmonics 1 to
// RoundToCount(H) from the coefficients.
void AllocateArrays(AnalysisState &state);
inline double ModulusOf(double a, double b)
{
    return std::sqrt(std::pow(b, 2) + std::pow(a, 2));
}
void ComputeMagnitudes(AnalysisState &state);
void ComputeMagnitude(AnalysisState &state, std::int64_t k);

// The harmonics an analysis holds: 1 to RoundToCount(H), clamped to its arrays, so none before the
// first analysis or for H below 1. Every walk over the computed lines takes its end from here.
std::int64_t HarmonicsHeld(const AnalysisState &state);

// Largest |s(i)| for i = 0 to N.
void FindSignalPeak(AnalysisState &state);

// Largest |S_k| for k = 1 to HarmonicsHeld; Magnitudes(1) when no harmonic is computed.
void FindSpectrumPeak(AnalysisState &state);

// The two searches skipped when the analysis holds its peaks already (PeaksFound): the same
// values, since they were found by the searches over the same arrays.
void RecallSignalPeak(AnalysisState &state);
void RecallSpectrumPeak(AnalysisState &state);
