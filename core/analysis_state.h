// The one record through which the commands, the computation, the plot and the readout meet.
#pragma once

#include "real_array.h"
#include <cstdint>
#include <optional>
#include <string>

// Created zeroed; `main` owns the one instance and hands it to both windows by reference.
struct AnalysisState
{
    // Parameters, written by the commands.
    double DutyCycle = 0; // D = Ti / T
    double HarmonicCount = 0; // H, as typed: loop bounds round it when they use it
    double Amplitude = 0; // Vmax [V]
    double Frequency = 0; // f [Hz]
    std::int32_t SampleCount = 0; // N, samples per period
    double PeriodCount = 0; // P, periods drawn, as typed
    std::int32_t TargetHarmonic = 0; // z, harmonic shown by the harmonic modulus command

    // Results. The four arrays hold N + 2 elements (indexes 0 to N + 1) once an analysis ran.
    RealArray Samples;
    RealArray Magnitudes;
    RealArray CosCoefficients;
    RealArray SinCoefficients;
    double MeanValue = 0;
    double CosSum = 0; // the last harmonic's sum after a run
    double SinSum = 0;
    double SignalPeak = 0;
    double SpectrumPeak = 0;

    // What FindSignalPeak and FindSpectrumPeak give for the arrays above, found once when the
    // analysis was computed, so that the cursor readout needs no search. Allocating the arrays
    // anew clears it.
    struct Peaks
    {
        double signal;
        double spectrum;
    };
    std::optional<Peaks> KnownPeaks;

    // Entry checking.
    std::u16string EntryText;
    std::u16string MissingMessage;
    std::u16string InvalidMessage;
    std::int16_t EntryError = 0;
};
