// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The harmonics summed directly over the samples, a kernel's lanes at a time or one harmonic on
// every thread with the literal loops' bits; and the direct sums' path of the analysis. Internal
// to the spectrum room.
#pragma once

#include "core/spectrum/pulse_sampling.h"
#include "core/state/analysis_state.h"

#include <cstdint>
#include <vector>

class TaskControl;
struct SpectrumKernel;

namespace spectrum_internal {

// The widest kernel's lanes.
constexpr int MaxLanes = 8;

// Up to one kernel's lanes of harmonics, summed side by side.
struct HarmonicGroup
{
    const SpectrumKernel *kernel;
    std::int64_t harmonics[MaxLanes];
    int count;
};

// Sums a group's harmonics over the runs and stores their coefficients, counting them done when
// `counted`; false when cancelled.
bool SumGroup(AnalysisState &state, const std::vector<SampleRun> &runs, const HarmonicGroup &group,
              TaskControl *control, bool counted = true);

// Harmonic 1, the largest of nearly every spectrum, and harmonic z, where they are among 1 to H:
// summed exactly from the start on both paths.
std::vector<std::int64_t> ExactFromTheStart(std::int64_t hmax, std::int32_t shown);

// Stores the sums formed while sampling, counted done, and returns the harmonics of `exact` still
// to sum.
std::vector<std::int64_t> KeepSummedAlong(AnalysisState &state, const SummedAlong &along,
                                          const std::vector<std::int64_t> &exact,
                                          TaskControl *control);

// `again`'s harmonics summed once more with the literal loops' bits, and their moduli. Fewer
// harmonics than threads (most often one): each on all threads in turn; otherwise one a thread.
bool SumAgain(AnalysisState &state, const std::vector<SampleRun> &runs,
              const std::vector<std::int64_t> &again, unsigned threads, TaskControl *control);

// The samples, then harmonics 1 to H: those in `exact` (sorted, within 1 to H) one at a time with
// the exact kernel, first, as they take longest; the others `kernel.lanes` at a time.
bool Sweep(AnalysisState &state, const SpectrumKernel &kernel, unsigned threads,
           TaskControl *control, const std::vector<std::int64_t> &exact,
           std::vector<SampleRun> &runs);

// The direct sums' analysis: harmonic z is exact from the start, and so is harmonic 1, the
// largest of nearly every spectrum; after the sweep every harmonic whose modulus lies near the
// largest is summed again exactly, on all threads.
bool DirectSumsExactWhereShown(AnalysisState &state, std::int32_t shown,
                               const SpectrumKernel &kernel, unsigned threads,
                               TaskControl *control);

} // namespace spectrum_internal
