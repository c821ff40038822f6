// Compares everything an analysis command may change, the entry-check fields aside.
#pragma once

#include "core/analysis_state.h"

inline bool SameAnalysis(const AnalysisState &a, const AnalysisState &b)
{
    return a.DutyCycle == b.DutyCycle && a.HarmonicCount == b.HarmonicCount
        && a.Amplitude == b.Amplitude && a.Frequency == b.Frequency
        && a.SampleCount == b.SampleCount && a.PeriodCount == b.PeriodCount
        && a.TargetHarmonic == b.TargetHarmonic && a.Samples == b.Samples
        && a.Magnitudes == b.Magnitudes && a.CosCoefficients == b.CosCoefficients
        && a.SinCoefficients == b.SinCoefficients && a.MeanValue == b.MeanValue
        && a.CosSum == b.CosSum && a.SinSum == b.SinSum && a.SignalPeak == b.SignalPeak
        && a.SpectrumPeak == b.SpectrumPeak;
}
