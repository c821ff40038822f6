// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The spectrum computed fast, beside the literal loops of ComputeSpectrum. Two ways to the bulk of
// the harmonics: direct sums, the literal loops' own operations with a vector sine-cosine, one
// harmonic per lane on every thread (N D H sine-cosine pairs); or one real-to-complex transform
// of the N samples, whatever H is (N log N). Either way the numbers the program shows are then
// summed again with the C library, to the literal loops' bits. Followed and cancelled through a
// TaskControl, whose Done() counts harmonics and whose watcher hears the transform path's stages.
#pragma once

#include "core/spectrum/cheaper_path.h"
#include "core/spectrum/fft/real_transform.h"
#include "core/state/analysis_state.h"

#include <cmath>
#include <cstdint>
#include <optional>

class TaskControl;
struct SpectrumKernel; // kernels/sincos_kernels.h

// Largest magnitude a result may have: the plot and the readout multiply results by small
// factors (25, 45, the cursor's distance from an axis) and must stay finite.
constexpr double MaxResultMagnitude = 1e300;

// Within MaxResultMagnitude; false for NaN.
inline bool UsableResult(double value)
{
    return std::abs(value) <= MaxResultMagnitude;
}

// What the transform path learns of its results as it writes them, so that no second pass over
// the arrays is needed. `found`: every element of the results it writes (those the list of results
// marks checkedAsWritten) lies within MaxResultMagnitude,
// and `spectrumPeak` is the largest modulus of harmonics 1 to H, the value FindSpectrumPeak finds.
// False where the path did not look, or saw a value out of range: the arrays are then checked
// whole.
struct ResultsFound
{
    bool found = false;
    double spectrumPeak = 0;
    // The error bound of the transform's bins, where the path took one.
    std::optional<TransformRounding> rounding;
};

struct SpectrumOptions
{
    const SpectrumKernel *kernel = nullptr; // the direct sums' kernel; BestVectorKernel() if null
    // The caller's among them; WorkThreads() for the program's analysis. 0 is taken as 1.
    unsigned threads = 1;
    SpectrumPath path = SpectrumPath::Cheaper;
    // Where given, receives what the transform path found of its results.
    ResultsFound *results = nullptr;
};

// The program's analysis: the bulk of the harmonics on the path chosen, and every number the
// program shows exactly as the literal loops give it: MeanValue, Samples, SignalPeak, harmonic
// `shown` (z, or 0 for none) and the largest modulus, hence SpectrumPeak. Every other modulus and
// coefficient lies within SpectrumErrorBound (transform) or 1e-15 of the largest (direct sums).
// Returns false when cancelled. Throws std::bad_alloc when memory runs out.
bool ComputeSpectrumExactWhereShown(AnalysisState &state, std::int32_t shown,
                                    const SpectrumOptions &options, TaskControl *control = nullptr);
