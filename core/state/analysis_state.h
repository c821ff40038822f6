// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The one record through which the commands, the computation, the plot and the readout meet.
#pragma once

#include "core/state/real_array.h"
#include "core/state/sample_measures.h"
#include "core/texts/pulse_shapes.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

struct MeasuredSignal; // core/state/measured_signal.h

// Parameters, written by the commands: what an accepted command stores.
struct AnalysisParameters
{
    double DutyCycle = 0; // D = Ti / T
    double Amplitude = 0; // Vmax [V]
    double Frequency = 0; // f [Hz]
    double HarmonicCount = 0; // H, as typed: loop bounds round it when they use it
    std::int32_t SampleCount = 0; // N, samples per period
    double PeriodCount = 0; // P, periods drawn, as typed
    std::int32_t TargetHarmonic = 0; // z, harmonic shown by the harmonic modulus command
    PulseShape Shape = PulseShape::HalfSine; // chosen in the input window
    // A measured signal, analysed in place of the shape: its periods at f averaged over N points.
    // None for the computed signal. While there is one, the shape, D and Vmax are the model's,
    // drawn beside it. Two analyses of the same opened file hold the same signal.
    std::shared_ptr<const MeasuredSignal> Measured;

    bool operator==(const AnalysisParameters &) const = default;
};

// Results: what one analysis computes, stored and replaced whole. A new result goes here and
// nowhere else: the commit, the workspace and the tests' comparison take the group as one.
struct AnalysisResults
{
    // The arrays hold N + 2 elements (indexes 0 to N + 1) once an analysis ran; HarmonicSum is
    // computed later (below).
    RealArray Samples;
    RealArray Magnitudes;
    RealArray CosCoefficients;
    RealArray SinCoefficients;
    double MeanValue = 0;
    double CosSum = 0; // the last harmonic's sum after a run
    double SinSum = 0;
    double SignalPeak = 0;
    double SpectrumPeak = 0;

    // True when SignalPeak and SpectrumPeak are what FindSignalPeak and FindSpectrumPeak give for
    // the arrays above, found once when the analysis was computed, so that the cursor readout
    // needs no search. Allocating the arrays anew clears it.
    bool PeaksFound = false;

    // The sum of the DC component and harmonics 1 to RoundToCount(H) at the sample instants,
    // i = 0 to N (the last equal to the first: the sum is periodic). Empty until it is first
    // asked for; allocating the arrays anew empties it.
    RealArray HarmonicSum;

    // The measures of the signal, found after the spectrum (core/spectrum/signal_measures.h): the
    // RMS value of the samples, the total harmonic distortion over harmonics 2 to H against the
    // first, and the share of the power that the DC component and harmonics 1 to H carry, both in
    // percent. Nothing before an analysis, and none for a measure that is not defined (a first
    // harmonic within the rounding noise of zero, a signal of zero power).
    std::optional<double> RmsValue;
    std::optional<double> HarmonicDistortion;
    std::optional<double> PowerShare;
    // The bandwidth: the fewest harmonics k such that the DC component and harmonics 1 to k carry
    // 90 %, 95 % and 99 % of the samples' power, each as a count of harmonics. None where
    // harmonics 1 to RoundToCount(H) do not reach the share, or the signal has no power.
    std::optional<double> BandwidthAt90;
    std::optional<double> BandwidthAt95;
    std::optional<double> BandwidthAt99;
    // The samples' sums the measures, the noise and the transform path's error bound are made of,
    // summed once per analysis; nothing until they are. Allocating the arrays anew empties it.
    std::optional<SampleMeasures> Measures;
    // The rounding noise of the moduli: up to fixed + k perHarmonic, |S_k| may be a harmonic that
    // is zero, and has no phase. Found with the measures; nothing until then, when every modulus
    // may be rounding, so that no phase or level is read before the noise is known.
    struct ModulusNoiseLine
    {
        double fixed = 0;
        double perHarmonic = 0;
        bool operator==(const ModulusNoiseLine &) const = default;
    };
    std::optional<ModulusNoiseLine> Noise;

    bool operator==(const AnalysisResults &) const = default;
};

// Entry checking.
struct EntryCheckFields
{
    std::u16string EntryText;
    std::u16string MissingMessage;
    std::u16string InvalidMessage;
    std::int16_t EntryError = 0;
};

// Created zeroed; `main` owns the one instance and hands it to both windows by reference. The
// fields keep their names (state.Samples, state.DutyCycle); the groups are how they move.
struct AnalysisState : AnalysisParameters, AnalysisResults, EntryCheckFields
{
    AnalysisParameters &Parameters() { return *this; }
    const AnalysisParameters &Parameters() const { return *this; }
    AnalysisResults &Results() { return *this; }
    const AnalysisResults &Results() const { return *this; }
};
