// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The spectrum's seam for the tests and the benchmarks: what only they call, never the program;
// the transforms' seam with it.
#pragma once

#include "core/spectrum/fft/for_tests.h"
#include "core/state/analysis_state.h"

class TaskControl;
struct SpectrumKernel; // kernels/sincos_kernels.h

namespace testing_seam {

// Every harmonic by direct sums on `kernel`, on `threads` (1 or more) threads: what ComputeSpectrum
// computes, every bit of it with ExactKernel(); with a vector kernel every modulus lies within
// 1e-15 of the largest. Returns false when cancelled; the state then holds a partial analysis to be
// thrown away.
bool ComputeSpectrumByDirectSums(AnalysisState &state, const SpectrumKernel &kernel,
                                 unsigned threads, TaskControl *control = nullptr);
// The samples alone, as every path writes them into the arrays AllocateArrays made: for the
// benchmark of the sampling's share of an analysis.
void SamplePulse(AnalysisState &state, unsigned threads);

} // namespace testing_seam
