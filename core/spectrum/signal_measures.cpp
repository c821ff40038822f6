// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/spectrum/signal_measures.h"

#include "core/spectrum/spectrum.h"
#include "core/spectrum/spectrum_error_bound.h"
#include "core/state/harmonic_readings.h"
#include "core/state/task_control.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <optional>
#include <utility>

namespace {

// Sums of many terms of one sign, kept close: lanes of independent partial sums over blocks of
// BlockSize terms (the lanes let the compiler use the vector unit), each block's total added to
// a compensated sum. The error is under (BlockSize / Lanes + 2) u of the total.
class CloseSum
{
public:
    void Add(double total)
    {
        const double next = sum_ + total;
        correction_
            += std::abs(sum_) >= std::abs(total) ? (sum_ - next) + total : (total - next) + sum_;
        sum_ = next;
    }
    double Value() const { return sum_ + correction_; }

private:
    double sum_ = 0;
    double correction_ = 0;
};

constexpr std::int64_t BlockSize = 4096;
constexpr int Lanes = 8;

struct SampleSums
{
    CloseSum squares; // of the scaled samples
    CloseSum absSum;
    CloseSum weightedAbsSum;
    std::int64_t terms = 0;
};

// The samples 0 .. end - 1, scaled by `scale` (a power of two) in their squares; nothing when
// cancelled.
std::optional<SampleSums> SumSamples(const RealArray &s, std::int64_t end, double scale,
                                     double perIndex, TaskControl *control)
{
    SampleSums sums;
    for (std::int64_t first = 0; first < end; first += BlockSize) {
        if (control && first % (16 * BlockSize) == 0 && control->Cancelled())
            return std::nullopt;
        const std::int64_t last = std::min(end, first + BlockSize);
        std::array<double, Lanes> squares {}, magnitudes {}, weighted {};
        std::array<std::int64_t, Lanes> terms {};
        std::int64_t i = first;
        for (; i + Lanes <= last; i += Lanes)
            for (int l = 0; l < Lanes; ++l) {
                const double v = s[static_cast<std::size_t>(i + l)];
                const double m = std::abs(v);
                squares[l] += (v * scale) * (v * scale);
                magnitudes[l] += m;
                weighted[l] += m * (static_cast<double>(i + l) * perIndex);
                terms[l] += v != 0;
            }
        for (; i < last; ++i) {
            const double v = s[static_cast<std::size_t>(i)];
            squares[0] += (v * scale) * (v * scale);
            magnitudes[0] += std::abs(v);
            weighted[0] += std::abs(v) * (static_cast<double>(i) * perIndex);
            terms[0] += v != 0;
        }
        double blockSquares = 0, blockMagnitudes = 0, blockWeighted = 0;
        for (int l = 0; l < Lanes; ++l) {
            blockSquares += squares[l];
            blockMagnitudes += magnitudes[l];
            blockWeighted += weighted[l];
            sums.terms += terms[l];
        }
        sums.squares.Add(blockSquares);
        sums.absSum.Add(blockMagnitudes);
        sums.weightedAbsSum.Add(blockWeighted);
    }
    return sums;
}

} // namespace

void FindBandwidth(AnalysisState &state, double meanSquare, double scale, std::int64_t harmonics)
{
    constexpr std::array<std::pair<double, std::optional<double> AnalysisResults::*>, 3> shares
        = {{{90, &AnalysisResults::BandwidthAt90},
            {95, &AnalysisResults::BandwidthAt95},
            {99, &AnalysisResults::BandwidthAt99}}};
    if (!(meanSquare > 0)) // none, as ComputeMeasures left them
        return;
    const double dc = state.MeanValue * scale;
    CloseSum power; // DC^2 + 1/2 |S_k|^2 up to k, scaled
    power.Add(dc * dc);
    std::size_t next = 0; // the first share not reached yet
    for (std::int64_t k = 0; k <= harmonics && next < shares.size(); ++k) {
        if (k >= 1) {
            const double modulus = state.Magnitudes[static_cast<std::size_t>(k)] * scale;
            power.Add(0.5 * modulus * modulus);
        }
        while (next < shares.size() && 100 * power.Value() >= shares[next].first * meanSquare)
            state.*shares[next++].second = static_cast<double>(k);
    }
}

bool MeasureSamples(AnalysisState &state, TaskControl *control)
{
    state.Measures.reset();
    const std::int64_t n = state.SampleCount;
    if (n < 1 || state.Samples.size() < static_cast<std::size_t>(n) + 1)
        return true;

    // Squares taken scaled by a power of two near 1 / the peak (exact), so that they neither
    // overflow nor all underflow. Past the pulse every sample is 0 and adds nothing.
    const double peak = state.SignalPeak; // found with the samples
    const double scale = peak > 0 ? std::ldexp(1.0, -std::clamp(std::ilogb(peak), -1000, 1000)) : 1;
    const std::optional<SampleSums> sums
        = SumSamples(state.Samples, n, scale, 1 / static_cast<double>(n), control);
    if (!sums)
        return false;
    SampleMeasures measures;
    measures.n = n;
    measures.terms = sums->terms;
    measures.absSum = sums->absSum.Value();
    measures.weightedAbsSum = sums->weightedAbsSum.Value();
    measures.norm = std::sqrt(sums->squares.Value()) / scale;
    measures.scaledSquares = sums->squares.Value();
    measures.scale = scale;
    state.Measures = measures;
    return true;
}

void ComputeMeasures(AnalysisState &state, const TransformRounding *transform)
{
    state.RmsValue.reset();
    state.HarmonicDistortion.reset();
    state.PowerShare.reset();
    state.Noise.reset();
    state.BandwidthAt90.reset();
    state.BandwidthAt95.reset();
    state.BandwidthAt99.reset();
    if (!state.Measures)
        MeasureSamples(state);
    if (!state.Measures)
        return;
    const SampleMeasures &measures = *state.Measures;
    const std::int64_t n = measures.n;
    const double scale = measures.scale;
    const double dn = static_cast<double>(n);
    const double meanSquare = measures.scaledSquares / dn; // scaled
    state.RmsValue = std::sqrt(meanSquare) / scale;

    // The moduli's rounding noise: the transform path's bound on each coefficient, sqrt(2) times
    // that on a modulus, and the direct sums' 1e-15 of the largest modulus; the literal loops lie
    // within the first, which bounds their distance from the exact sums too.
    const std::int64_t harmonics = HarmonicsHeld(state);
    const auto &m = state.Magnitudes;
    double largest = 0;
    CloseSum upper; // |S_k|^2 for k = 2 .. H, scaled
    for (std::int64_t k = 1; k <= harmonics; ++k) {
        const double modulus = m[static_cast<std::size_t>(k)];
        largest = std::max(largest, std::abs(modulus));
        if (k >= 2)
            upper.Add((modulus * scale) * (modulus * scale));
    }
    const ErrorLine line
        = ErrorLine::Of(measures, transform ? *transform : RealTransform::PlainRounding(n));
    const double toModulus = std::numbers::sqrt2 * 2 / dn;
    state.Noise = {toModulus * line.fixed + 1e-15 * largest, toModulus * line.perHarmonic};

    const double first = harmonics >= 1 ? m[1] : 0;
    const double upperSquares = upper.Value();
    FindBandwidth(state, meanSquare, scale, harmonics);
    if (harmonics >= 1 && first > ModulusNoise(state, 1))
        state.HarmonicDistortion = 100 * std::sqrt(upperSquares) / (first * scale);
    if (meanSquare > 0) {
        const double dc = state.MeanValue * scale;
        const double firstScaled = first * scale;
        state.PowerShare
            = 100 * (dc * dc + 0.5 * (firstScaled * firstScaled + upperSquares)) / meanSquare;
    }
}
