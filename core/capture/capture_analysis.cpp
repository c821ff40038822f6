// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/capture/capture_analysis.h"

#include "core/spectrum/fft/real_transform.h"
#include "core/spectrum/signal_measures.h"
#include "core/spectrum/spectrum.h"

#include <algorithm>
#include <complex>

AnalysisState MeasuredAnalysis(const AnalysisParameters &parameters,
                               const std::vector<double> &period)
{
    AnalysisState state;
    state.Parameters() = parameters;
    const auto n = static_cast<std::int64_t>(period.size());
    state.SampleCount = static_cast<std::int32_t>(n);
    AllocateArrays(state);
    if (n < 1)
        return state;
    std::copy(period.begin(), period.end(), state.Samples.begin());
    state.Samples[static_cast<std::size_t>(n)] = period.front();

    RealTransform transform(n);
    std::copy(period.begin(), period.end(), transform.Reals());
    transform.Forward();
    const std::complex<double> *bins = transform.Bins();
    const double dn = static_cast<double>(n);
    state.MeanValue = bins[0].real() / dn;
    const std::int64_t harmonics = HarmonicsHeld(state);
    for (std::int64_t k = 1; k <= harmonics; ++k) {
        const std::int64_t m = k % n;
        const std::complex<double> bin = m <= n / 2 ? bins[m] : std::conj(bins[n - m]);
        state.CosCoefficients[static_cast<std::size_t>(k)] = (2 / dn) * bin.real();
        state.SinCoefficients[static_cast<std::size_t>(k)] = -(2 / dn) * bin.imag();
    }
    ComputeMagnitudes(state);
    FindSignalPeak(state);
    FindSpectrumPeak(state);
    state.PeaksFound = true;
    const TransformRounding rounding = transform.Rounding();
    ComputeMeasures(state, &rounding);
    return state;
}
