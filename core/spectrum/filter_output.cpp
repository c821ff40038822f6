// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/spectrum/filter_output.h"

#include "core/spectrum/harmonic_sum.h"
#include "core/spectrum/signal_measures.h"
#include "core/spectrum/spectrum.h"
#include "core/state/harmonic_readings.h"

#include <algorithm>
#include <cmath>

std::optional<AnalysisState> FilterOutput(const AnalysisState &input, const FilterSettings &filter,
                                          TaskControl *control)
{
    std::optional<RealArray> sum = ComputeHarmonicSum(input, control, -1, &filter);
    if (!sum)
        return std::nullopt;
    AnalysisState output;
    output.Parameters() = input.Parameters();
    const std::int64_t harmonics = HarmonicsHeld(input);
    const auto size = static_cast<std::size_t>(harmonics) + 2;
    output.CosCoefficients.assign(size, 0);
    output.SinCoefficients.assign(size, 0);
    output.Magnitudes.assign(size, 0);
    output.MeanValue = input.MeanValue * FilterResponse(filter, 0).real();
    double most = std::abs(FilterResponse(filter, 0));
    for (std::int64_t k = 1; k <= harmonics; ++k) {
        const auto i = static_cast<std::size_t>(k);
        const std::complex<double> h
            = FilterResponse(filter, static_cast<double>(k) * input.Frequency);
        most = std::max(most, std::abs(h));
        const FilteredHarmonic y = Filtered(input.CosCoefficients[i], input.SinCoefficients[i], h);
        output.CosCoefficients[i] = y.cos;
        output.SinCoefficients[i] = y.sin;
        ComputeMagnitude(output, k);
    }
    output.Samples = std::move(*sum);
    output.Samples.resize(static_cast<std::size_t>(input.SampleCount) + 2, 0);
    FindSignalPeak(output);
    FindSpectrumPeak(output);
    output.PeaksFound = true;
    if (input.Noise)
        output.Noise = {input.Noise->fixed * most, input.Noise->perHarmonic * most};

    // The squares scaled by a power of two near 1 / the largest value (exact), so that they
    // neither overflow nor all underflow.
    const double largest = std::max(std::abs(output.MeanValue), output.SpectrumPeak);
    const double scale
        = largest > 0 ? std::ldexp(1.0, -std::clamp(std::ilogb(largest), -1000, 1000)) : 1;
    const double dc = output.MeanValue * scale;
    double upper = 0; // |Y_k|^2 for k >= 2, scaled
    for (std::int64_t k = 2; k <= harmonics; ++k) {
        const double modulus = output.Magnitudes[static_cast<std::size_t>(k)] * scale;
        upper += modulus * modulus;
    }
    const double first = harmonics >= 1 ? output.Magnitudes[1] * scale : 0;
    const double power = dc * dc + 0.5 * (first * first + upper); // scaled
    output.RmsValue = std::sqrt(power) / scale;
    if (harmonics >= 1 && output.Magnitudes[1] > ModulusNoise(output, 1))
        output.HarmonicDistortion = 100 * std::sqrt(upper) / first;
    // The bandwidths of y, against its own power.
    FindBandwidth(output, power, scale, harmonics);
    if (input.RmsValue && *input.RmsValue > 0) {
        const double rms = *input.RmsValue * scale;
        output.PowerShare = 100 * power / (rms * rms);
    }
    return output;
}
