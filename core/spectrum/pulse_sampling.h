// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The fast paths' sampling of the pulse, as ComputeSpectrum samples it, and its survey: the peak,
// the mean, the runs of non-zero samples and their sum. Internal to the spectrum room.
#pragma once

#include "core/state/analysis_state.h"

#include <cstdint>
#include <vector>

class TaskControl;

namespace spectrum_internal {

// A run of non-zero samples, [begin, end).
struct SampleRun
{
    std::int64_t begin;
    std::int64_t end;
};

// A harmonic summed exactly while the samples are computed, where its angle in the literal loops
// is the sampling angle (i PI) / (N D) to the bit: one sincos of it per sample gives the
// harmonic's sines and cosines, and the half-sine's and the raised cosine's samples with them, on
// every thread, in place of a sum on the one thread the transform leaves.
struct SummedAlong
{
    std::int64_t k = 0; // none when 0
    double cosSum = 0;
    double sinSum = 0;
};

// The first of `exact` (sorted) whose sums can be formed while sampling.
SummedAlong ChooseSummedAlong(const AnalysisState &state, const std::vector<std::int64_t> &exact);

// The samples, as ComputeSpectrum writes them into the arrays AllocateArrays made; and `along`'s
// sums where its k is set (cleared where they cannot be formed so). Where `copy` is given, the
// samples 0 .. N - 1 go there too, written as the pulse is computed; the rest of `copy`, past the
// pulse, is left to the caller. False when cancelled.
bool SamplePulse(AnalysisState &state, unsigned threads, TaskControl *control,
                 SummedAlong *along = nullptr, double *copy = nullptr);

// SignalPeak, MeanValue and the runs of non-zero samples, from the samples, and where asked the
// samples' sum in index order, as the literal loops add them (MeanValue before the division),
// and whether every sample lies within MaxResultMagnitude; false when cancelled.
bool Survey(AnalysisState &state, TaskControl *control, std::vector<SampleRun> &runs,
            double *sampleSum = nullptr, bool *usable = nullptr);

// SamplePulse, then Survey.
bool Sample(AnalysisState &state, unsigned threads, TaskControl *control,
            std::vector<SampleRun> &runs, SummedAlong *along = nullptr);

} // namespace spectrum_internal
