// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "spectrum_scale.h"

#include "plot_bands.h"

#include "core/spectrum/spectrum.h"
#include "core/state/harmonic_readings.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr double PhaseZeroY = PlotBands::SpectrumBottomY + PlotBands::SpectrumPeakUnits / 2;
constexpr double UnitsPerDegree = PlotBands::SpectrumPeakUnits / 360;

} // namespace

double DecibelFloor(const AnalysisState &state)
{
    const double peak = state.SpectrumPeak;
    if (!(peak > 0))
        return -10;
    // The loudest noise and the faintest line above it, against the largest line.
    double noise = 0, faintest = peak;
    for (std::int64_t k = 1; k <= HarmonicsHeld(state); ++k) {
        noise = std::max(noise, ModulusNoise(state, k));
        if (!WithinNoise(state, k))
            faintest = std::min(faintest, state.Magnitudes[static_cast<std::size_t>(k)]);
    }
    // No line may be drawn at or below the noise: the floor lies at its level or above it.
    const double noiseDb = noise > 0 ? DecibelsOf(noise / peak) : -1e9;
    const double faintestDb = DecibelsOf(faintest / peak);
    const double lowest = std::ceil(noiseDb / 10) * 10;
    const double wanted
        = std::floor(faintestDb / 10) * 10 - (std::fmod(faintestDb, 10) == 0 ? 10 : 0);
    return std::min(-10.0, std::max(lowest, wanted));
}

std::int64_t LinesBelowFloor(const AnalysisState &state, const SpectrumScale &scale)
{
    if (scale.View() != SpectrumView::Decibels || state.Magnitudes.empty())
        return 0;
    // Those a kept span leaves out of the plot the kept scale's key counts.
    const std::int64_t shown = scale.LinesInSpan(state);
    std::int64_t below = state.MeanValue != 0 && !scale.DcTop(state);
    for (std::int64_t k = 1; k <= shown; ++k)
        below += !WithinNoise(state, k) && !scale.LineTop(state, k);
    return below;
}

std::int64_t LinesBelowFloor(const AnalysisState &state, const AnalysisState *reference,
                             const SpectrumScale &scale)
{
    return LinesBelowFloor(state, scale) + (reference ? LinesBelowFloor(*reference, scale) : 0);
}

KeptScale KeepScale(const AnalysisState &state, const AnalysisState *reference)
{
    if (!reference)
        return {state.SignalPeak, state.SpectrumPeak, DecibelFloor(state),
                state.HarmonicCount * state.Frequency};
    const SpectrumScale both
        = SpectrumScale::Of(state, SpectrumView::Decibels, nullptr, std::nullopt, false, reference);
    return {both.SignalPeak(), both.Peak(), both.FloorDb(),
            both.HarmonicSpan(state) * state.Frequency};
}

namespace {

// The power of ten at or below a frequency in Hz, 1 for none.
double DecadeBelow(double frequency)
{
    if (!(frequency > 0) || !std::isfinite(frequency))
        return 1;
    return std::pow(10.0, std::floor(std::log10(frequency)));
}

// The floor of `state` against a peak `peak` at or above its own, in multiples of 10 dB.
double FloorAgainst(const AnalysisState &state, double peak)
{
    const double own = DecibelFloor(state);
    if (!(state.SpectrumPeak > 0) || !(peak > state.SpectrumPeak))
        return own;
    return std::floor((own + DecibelsOf(state.SpectrumPeak / peak)) / 10) * 10;
}

} // namespace

double SpectrumScale::HarmonicSpan(const AnalysisState &state) const
{
    return frequencySpan_ > 0 && state.Frequency > 0 ? frequencySpan_ / state.Frequency
                                                     : state.HarmonicCount;
}

std::int64_t SpectrumScale::LinesInSpan(const AnalysisState &state) const
{
    const double span = std::floor(std::max(0.0, HarmonicSpan(state)) * (1 + 1e-12));
    const std::int64_t held = HarmonicsHeld(state);
    return span < static_cast<double>(held) ? static_cast<std::int64_t>(span) : held;
}

double SpectrumScale::LowestHarmonic(const AnalysisState &state) const
{
    if (lowestDecade_ > 0 && state.Frequency > 0)
        return lowestDecade_ / state.Frequency;
    const double f = state.Frequency;
    if (!(f > 0) || !std::isfinite(f))
        return 1;
    return std::pow(10.0, std::floor(std::log10(f))) / f;
}

double SpectrumScale::HighestHarmonic(const AnalysisState &state) const
{
    const double span = HarmonicSpan(state);
    const double low = LowestHarmonic(state);
    return span > 10 * low ? span : 10 * low;
}

double SpectrumScale::HarmonicX(const AnalysisState &state, double k) const
{
    if (!logFrequency_)
        return k * 100 / HarmonicSpan(state);
    if (!(k > 0))
        return 0;
    // The reference's harmonics in the harmonics of the analysis the axis was made for.
    if (state.Frequency != frequency_ && frequency_ > 0)
        k = k * state.Frequency / frequency_;
    return LogStartX + (std::log10(k) - logLow_) * logUnits_;
}

double SpectrumScale::HarmonicAt(const AnalysisState &state, double x) const
{
    if (!logFrequency_)
        return x * HarmonicSpan(state) / 100;
    if (x < LogStartX)
        return 0;
    const double k = std::pow(10.0, logLow_ + (x - LogStartX) / logUnits_);
    return state.Frequency != frequency_ && state.Frequency > 0 ? k * frequency_ / state.Frequency
                                                                : k;
}

SpectrumScale SpectrumScale::Of(const AnalysisState &state, SpectrumView view,
                                const KeptScale *kept, std::optional<double> chosenFloorDb,
                                bool logFrequency, const AnalysisState *reference)
{
    SpectrumScale scale;
    scale.view_ = view;
    scale.logFrequency_ = logFrequency;
    scale.frequency_ = state.Frequency;
    scale.peak_ = state.SpectrumPeak;
    scale.signalPeak_ = state.SignalPeak;
    // Both analyses on one scale: the wider span in Hz holds each one's lines at its own
    // frequencies.
    const bool shared = reference && !reference->Samples.empty();
    if (shared) {
        scale.shared_ = true;
        scale.peak_ = std::max(state.SpectrumPeak, reference->SpectrumPeak);
        scale.signalPeak_ = std::max(state.SignalPeak, reference->SignalPeak);
        scale.frequencySpan_ = std::max(state.HarmonicCount * state.Frequency,
                                        reference->HarmonicCount * reference->Frequency);
        scale.lowestDecade_
            = std::min(DecadeBelow(state.Frequency), DecadeBelow(reference->Frequency));
    }
    // A kept scale of a zero signal has nothing to keep.
    if (kept && kept->spectrumPeak > 0 && kept->signalPeak > 0) {
        scale.kept_ = true;
        scale.peak_ = kept->spectrumPeak;
        scale.signalPeak_ = kept->signalPeak;
        scale.frequencySpan_ = kept->frequencySpan;
    }
    if (logFrequency) { // one logarithm per line: the decades' ends taken once
        const double low = scale.LowestHarmonic(state);
        scale.logLow_ = std::log10(low);
        scale.logUnits_ = (100 - LogStartX) / std::log10(scale.HighestHarmonic(state) / low);
    }
    if (view == SpectrumView::Decibels) {
        scale.floorDb_ = chosenFloorDb ? *chosenFloorDb
            : scale.kept_              ? kept->floorDb
            : shared
            ? std::min(FloorAgainst(state, scale.peak_), FloorAgainst(*reference, scale.peak_))
            : DecibelFloor(state);
        scale.stepDb_ = scale.floorDb_ >= -100 ? 10 : 20 * std::ceil(-scale.floorDb_ / 400);
    }
    return scale;
}

double SpectrumScale::BaseY() const
{
    return view_ == SpectrumView::Phases ? PhaseZeroY : PlotBands::SpectrumBottomY;
}

std::optional<double> SpectrumScale::LineTop(const AnalysisState &state, std::int64_t k) const
{
    switch (view_) {
    case SpectrumView::Moduli:
        return PlotBands::SpectrumY(state.Magnitudes[static_cast<std::size_t>(k)], peak_);
    case SpectrumView::Decibels: {
        const double level = WithinNoise(state, k)
            ? std::numeric_limits<double>::quiet_NaN()
            : DecibelsOf(state.Magnitudes[static_cast<std::size_t>(k)] / peak_);
        if (!(level > floorDb_)) // NaN within the noise
            return std::nullopt;
        return PlotBands::SpectrumPeakUnits * (1 - level / floorDb_);
    }
    case SpectrumView::Phases: {
        const double phase = PhaseDegrees(state, k);
        if (std::isnan(phase))
            return std::nullopt;
        return PhaseY(phase);
    }
    }
    return std::nullopt;
}

std::optional<double> SpectrumScale::DcTop(const AnalysisState &state) const
{
    if (view_ == SpectrumView::Moduli)
        return PlotBands::SpectrumY(state.MeanValue, peak_);
    if (view_ == SpectrumView::Phases || !(peak_ > 0))
        return std::nullopt;
    const double level = DecibelsOf(std::abs(state.MeanValue) / peak_);
    if (!(level > floorDb_))
        return std::nullopt;
    return PlotBands::SpectrumPeakUnits * (1 - level / floorDb_);
}

double SpectrumScale::LevelY(double levelDb) const
{
    if (!(levelDb > floorDb_)) // NaN (a zero modulus: minus infinity) too
        return PlotBands::SpectrumBottomY;
    return PlotBands::SpectrumPeakUnits * (1 - levelDb / floorDb_);
}

double SpectrumScale::PhaseY(double degrees) const
{
    return PhaseZeroY + degrees * UnitsPerDegree;
}

double SpectrumScale::Value(double y) const
{
    switch (view_) {
    case SpectrumView::Decibels:
        return floorDb_ * (1 - y / PlotBands::SpectrumPeakUnits);
    case SpectrumView::Phases:
        return (y - PhaseZeroY) / UnitsPerDegree;
    case SpectrumView::Moduli:
        break;
    }
    return PlotBands::SpectrumValue(y, peak_);
}

std::vector<SpectrumScale::GridLine> SpectrumScale::Grid() const
{
    std::vector<GridLine> lines;
    if (view_ == SpectrumView::Decibels)
        for (double level = 0; level > floorDb_; level -= stepDb_)
            lines.push_back({level, PlotBands::SpectrumPeakUnits * (1 - level / floorDb_)});
    if (view_ == SpectrumView::Phases)
        for (const double phase : {180.0, 90.0, 0.0, -90.0, -180.0})
            lines.push_back({phase, PhaseY(phase)});
    return lines;
}
