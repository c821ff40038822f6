// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// A measured period as an analysis of its own, which the plot, the readout, the measures and the
// exports read as they read a computed one.
//
// The period's N values are the samples s(0) .. s(N - 1), s(N) = s(0) (the next period's first,
// so that the trace runs on across periods) and s(N + 1) = 0. The DC component is their mean, and
// harmonic k's coefficients are the definition's sums a_k = (2 / N) sum s(i) cos(2 pi k i / N),
// b_k = (2 / N) sum s(i) sin(2 pi k i / N), for k = 1 to RoundToCount(H), read from one real
// transform of the N values (the bin of k mod N; past N / 2, the conjugate of the bin of N - k
// mod N). Each lies within the transform's rounding bound of the sums taken with the true pi
// (RealTransform::Rounding, times 2 / N); the definition's 15-digit pi, which a computed pulse's
// angles take, would move an angle by 2 k i (pi - PI) / N, below 7e-15 k, far below what a
// measurement carries. Then the moduli, the peaks, the measures and the moduli's noise line from
// that bound, as the transform path finds them.
#pragma once

#include "core/capture/capture_period.h"
#include "core/state/analysis_state.h"

#include <cstdint>
#include <variant>
#include <vector>

class TaskControl;

// `parameters` give H and f, which the analysis keeps with the others; N is the period's size
// (1 to 2^31 - 2). Harmonic z (TargetHarmonic) is found too where it lies past H, up to N + 1.
// Throws std::bad_alloc when memory runs out.
AnalysisState MeasuredAnalysis(const AnalysisParameters &parameters,
                               const std::vector<double> &period);

// The analysis of parameters.Measured, which must hold a signal: its periods at f averaged over
// N points (AveragePeriod), then MeasuredAnalysis. The averaging counts its work in `control`,
// MeasuredWork in all, and stops when it is cancelled. Throws std::bad_alloc when memory runs out.
using MeasuredOutcome = std::variant<AnalysisState, CaptureProblem, CaptureCancelled>;
MeasuredOutcome AnalyseMeasured(const AnalysisParameters &parameters, TaskControl *control);
// What AnalyseMeasured counts: N points for each whole period at f; 0 where it has nothing to do.
std::int64_t MeasuredWork(const AnalysisParameters &parameters);
