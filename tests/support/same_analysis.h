// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Compares everything an analysis command may change, the entry-check fields aside.
#pragma once

#include "core/state/analysis_state.h"

inline bool SameParameters(const AnalysisParameters &a, const AnalysisParameters &b)
{
    return a.DutyCycle == b.DutyCycle && a.HarmonicCount == b.HarmonicCount
        && a.Amplitude == b.Amplitude && a.Frequency == b.Frequency
        && a.SampleCount == b.SampleCount && a.PeriodCount == b.PeriodCount
        && a.TargetHarmonic == b.TargetHarmonic && a.Shape == b.Shape;
}

// The results compare as one group, so that a result added to it is compared too.
inline bool SameAnalysis(const AnalysisState &a, const AnalysisState &b)
{
    return SameParameters(a, b) && a.Results() == b.Results();
}
