// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/spectrum/spectrum.h"

#include "core/spectrum/pulse_shapes.h"
#include "core/state/result_list.h"

#include <cmath>
#include <limits>

std::optional<std::int32_t> TryRoundToCount(double value)
{
    // nearbyint rounds halves to even in the default rounding mode, which nothing here changes.
    const double rounded = std::nearbyint(value);
    if (!(rounded >= std::numeric_limits<std::int32_t>::min()
          && rounded <= std::numeric_limits<std::int32_t>::max()))
        return std::nullopt;
    return static_cast<std::int32_t>(rounded);
}

std::int32_t RoundToCount(double value)
{
    return TryRoundToCount(value).value();
}

void ComputeSpectrum(AnalysisState &state)
{
    // 64-bit counters: the loop bounds reach the top of the 32-bit range without wrapping.
    const std::int64_t n = state.SampleCount;
    const double d = state.DutyCycle;
    const double v = state.Amplitude;

    AllocateArrays(state);
    auto &s = state.Samples;

    const double nd = static_cast<double>(n) * d;
    const std::int64_t last = RoundToCount(nd);
    const UnitSample pulse = MathOf(state.Shape).sample;
    const bool joined = nd == static_cast<double>(n);
    for (std::int64_t i = 0; i <= last; ++i)
        s[i] = v * pulse(i, nd, joined);

    // Runs after the pulse on purpose: where first <= last it clears the last pulse sample.
    const std::int64_t first = RoundToCount(nd + 1);
    for (std::int64_t i = first; i <= n - 1; ++i)
        s[i] = 0;

    s[n] = 0;

    FindSignalPeak(state);

    double sum = 0;
    for (std::int64_t i = 0; i <= n - 1; ++i)
        sum = sum + s[i];
    state.MeanValue = sum / static_cast<double>(n);

    const std::int64_t hmax = RoundToCount(state.HarmonicCount);
    const double dn = static_cast<double>(n);
    for (std::int64_t k = 1; k <= hmax; ++k) {
        const auto twoK = static_cast<double>(static_cast<std::int32_t>(2 * k));
        state.CosSum = 0;
        for (std::int64_t i = 0; i <= n - 1; ++i)
            state.CosSum = std::cos(twoK * PI * static_cast<double>(i) / dn) * s[i] + state.CosSum;
        state.CosCoefficients[k] = (2 / dn) * state.CosSum;
        state.SinSum = 0;
        for (std::int64_t i = 0; i <= n - 1; ++i)
            state.SinSum = std::sin(twoK * PI * static_cast<double>(i) / dn) * s[i] + state.SinSum;
        state.SinCoefficients[k] = (2 / dn) * state.SinSum;
    }

    ComputeMagnitudes(state);
}

void AllocateArrays(AnalysisState &state)
{
    const auto size = static_cast<std::size_t>(std::int64_t(state.SampleCount) + 2);
    for (const ResultDeclaration &result : AnalysisResultList)
        if (const auto *stored = std::get_if<StoredArray>(&result.source))
            state.*stored->array = stored->allocatedByAnalysis ? RealArray(size) : RealArray();
    state.PeaksFound = false;
    state.Measures.reset();
    state.Noise.reset();
}

void ComputeMagnitudes(AnalysisState &state)
{
    const std::int64_t hmax = RoundToCount(state.HarmonicCount);
    for (std::int64_t k = 1; k <= hmax; ++k)
        ComputeMagnitude(state, k);
}

void ComputeMagnitude(AnalysisState &state, std::int64_t k)
{
    state.Magnitudes[k] = ModulusOf(state.CosCoefficients[k], state.SinCoefficients[k]);
}

std::int64_t HarmonicsHeld(const AnalysisState &state)
{
    const auto arrays = static_cast<std::int64_t>(state.Magnitudes.size());
    return std::max<std::int64_t>(
        0, std::min<std::int64_t>(RoundToCount(state.HarmonicCount), arrays - 1));
}

void FindSignalPeak(AnalysisState &state)
{
    const std::int64_t n = state.SampleCount;
    const auto &s = state.Samples;
    if (n < 0 || s.size() < static_cast<std::size_t>(n) + 1) {
        state.SignalPeak = 0; // no analysis yet
        return;
    }
    state.SignalPeak = s[0];
    for (std::int64_t i = 0; i <= n; ++i)
        if (std::abs(s[i]) >= state.SignalPeak)
            state.SignalPeak = std::abs(s[i]);
}

void FindSpectrumPeak(AnalysisState &state)
{
    const auto &m = state.Magnitudes;
    if (m.size() < 2) {
        state.SpectrumPeak = 0; // no analysis yet
        return;
    }
    state.SpectrumPeak = m[1];
    const std::int64_t hmax = HarmonicsHeld(state);
    for (std::int64_t i = 1; i <= hmax; ++i)
        if (std::abs(m[i]) >= state.SpectrumPeak)
            state.SpectrumPeak = std::abs(m[i]);
}

void RecallSignalPeak(AnalysisState &state)
{
    if (!state.PeaksFound)
        FindSignalPeak(state);
}

void RecallSpectrumPeak(AnalysisState &state)
{
    if (!state.PeaksFound)
        FindSpectrumPeak(state);
}
