// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// What the fast paths and their door (spectrum_paths.h) share: the options an analysis is run
// with, what the transform path learns of its results, and the results' range. The room's inner
// files include this, never the door above them.
#pragma once

#include "core/spectrum/cheaper_path.h"
#include "core/spectrum/fft/real_transform.h"

#include <cmath>
#include <cstdint>
#include <optional>

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
