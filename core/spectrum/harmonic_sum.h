// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The harmonics added up: the DC component and harmonics 1 to H summed at the sample instants,
// s_H(i) = MeanValue + sum over k of (a_k cos(2 pi k i / N) + b_k sin(2 pi k i / N)).
#pragma once

#include "core/spectrum/filters.h"
#include "core/state/analysis_state.h"
#include "core/texts/refusal.h"

#include <optional>

class TaskControl;

// s_H(0) .. s_H(N), the last equal to the first, for the analysis `state` holds (Samples
// allocated, the coefficients of harmonics 1 to RoundToCount(H) computed). The harmonics are
// folded onto the N bins of one inverse real transform, harmonic k onto bin k mod N (aliasing:
// at the sample instants harmonics k and N - k are the same wave), so the cost grows as N log N
// whatever H. Reads `state` only. Nothing when `control` cancels it; throws std::bad_alloc when
// memory runs out. `control`, when given, counts HarmonicSumSteps steps; its watcher hears, on the
// transform's own thread, TransformRunning and TransformEnded. `harmonics`, when not negative,
// sums harmonics 1 to that many instead (at most RoundToCount(H)): the first terms alone.
// `filter`, when given, sums the output of that filter instead, in the steady state: the DC
// component times H(0) and each harmonic through H(k f) (Filtered), in the same one transform.
std::optional<RealArray> ComputeHarmonicSum(const AnalysisState &state,
                                            TaskControl *control = nullptr,
                                            std::int64_t harmonics = -1,
                                            const FilterSettings *filter = nullptr);

// Adds weight * (a_k cos(2 pi k i / N) + b_k sin(2 pi k i / N)) to values[i] for i = 0 .. N:
// harmonic k's own wave at the sample instants, in time that grows with N alone. `values` holds
// N + 1 elements; k lies in 1 .. RoundToCount(H).
void AddHarmonicWave(const AnalysisState &state, std::int64_t k, double weight, double *values);

// The steps ComputeHarmonicSum counts: the folding, the transform, the copy.
constexpr int HarmonicSumSteps = 3;

// What ComputeHarmonicSum takes in memory at most, besides the analysis, for N samples.
std::uint64_t HarmonicSumBytes(std::int64_t n);

// The sum refused, as an analysis is, when it would take more than 90 % of `availableMemory`
// (bytes): the message names what it needs and what there is.
std::optional<Refusal> HarmonicSumMemoryProblem(std::int64_t n, std::uint64_t availableMemory);
