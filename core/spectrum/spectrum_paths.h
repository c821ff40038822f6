// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The spectrum computed fast, beside the literal loops of ComputeSpectrum. Two ways to the bulk of
// the harmonics: direct sums, the literal loops' own operations with a vector sine-cosine, one
// harmonic per lane on every thread (N D H sine-cosine pairs); or one real-to-complex transform
// of the N samples, whatever H is (N log N). Either way the numbers the program shows are then
// summed again with the C library, to the literal loops' bits. Followed and cancelled through a
// TaskControl, whose Done() counts harmonics and whose watcher hears the transform path's stages.
#pragma once

#include "core/spectrum/paths_shared.h"
#include "core/state/analysis_state.h"

#include <cstdint>

class TaskControl;

// The program's analysis: the bulk of the harmonics on the path chosen, and every number the
// program shows exactly as the literal loops give it: MeanValue, Samples, SignalPeak, harmonic
// `shown` (z, or 0 for none) and the largest modulus, hence SpectrumPeak. Every other modulus and
// coefficient lies within SpectrumErrorBound (transform) or 1e-15 of the largest (direct sums).
// Returns false when cancelled. Throws std::bad_alloc when memory runs out.
bool ComputeSpectrumExactWhereShown(AnalysisState &state, std::int32_t shown,
                                    const SpectrumOptions &options, TaskControl *control = nullptr);
