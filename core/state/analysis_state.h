// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The one record through which the commands, the computation, the plot and the readout meet.
#pragma once

#include "core/state/real_array.h"
#include <cstdint>
#include <string>

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
