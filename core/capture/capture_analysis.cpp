// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/capture/capture_analysis.h"

#include "core/spectrum/fft/real_transform.h"
#include "core/spectrum/signal_measures.h"
#include "core/spectrum/spectrum.h"
#include "core/state/measured_signal.h"

#include <algorithm>
#include <cmath>
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
    const auto harmonic = [&](std::int64_t k) {
        const std::int64_t m = k % n;
        const std::complex<double> bin = m <= n / 2 ? bins[m] : std::conj(bins[n - m]);
        state.CosCoefficients[static_cast<std::size_t>(k)] = (2 / dn) * bin.real();
        state.SinCoefficients[static_cast<std::size_t>(k)] = -(2 / dn) * bin.imag();
        ComputeMagnitude(state, k);
    };
    const std::int64_t harmonics = HarmonicsHeld(state);
    for (std::int64_t k = 1; k <= harmonics; ++k)
        harmonic(k);
    if (state.TargetHarmonic > harmonics && state.TargetHarmonic <= n + 1)
        harmonic(state.TargetHarmonic);
    FindSignalPeak(state);
    FindSpectrumPeak(state);
    state.PeaksFound = true;
    const TransformRounding rounding = transform.Rounding();
    ComputeMeasures(state, &rounding);
    return state;
}

MeasuredOutcome AnalyseMeasured(const AnalysisParameters &parameters, TaskControl *control)
{
    auto averaged = AveragePeriod(*parameters.Measured->capture, parameters.Frequency,
                                  parameters.SampleCount, control);
    if (auto *problem = std::get_if<CaptureProblem>(&averaged))
        return std::move(*problem);
    if (std::holds_alternative<CaptureCancelled>(averaged))
        return CaptureCancelled {};
    return MeasuredAnalysis(parameters, std::get<PeriodAverage>(averaged).values);
}

std::int64_t MeasuredWork(const AnalysisParameters &parameters)
{
    return WholePeriods(*parameters.Measured->capture, parameters.Frequency)
        * std::max<std::int64_t>(parameters.SampleCount, 0);
}
