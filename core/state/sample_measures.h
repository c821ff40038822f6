// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// What the samples of one analysis measure, summed once and kept with its results.
#pragma once

#include <cstdint>

// Sums over the samples 0 to N - 1, made once per analysis (MeasureSamples) and read by all that
// is made of them: the transform path's error bound, the moduli's rounding noise, the RMS value
// and the power share. The non-zero samples' count M, the sum of their magnitudes A, the same
// weighted by i / N (A1), and their Euclidean norm Q; and the sum of their squares taken scaled
// by `scale`, a power of two near 1 / SignalPeak (exact), so that it neither overflows nor all
// underflows.
struct SampleMeasures
{
    std::int64_t n = 0;
    std::int64_t terms = 0;
    double absSum = 0;
    double weightedAbsSum = 0;
    double norm = 0;
    double scaledSquares = 0; // sum (s(i) scale)^2
    double scale = 1;

    bool operator==(const SampleMeasures &) const = default;
};
