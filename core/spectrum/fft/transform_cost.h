// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The cost model, whole: which way a transform of N values takes, what it costs, and whether it
// costs less than the direct sums of an analysis. Its rule is in one comment, in its source.
#pragma once

#include <cstdint>

// Whether n values take the padded way (through complex transforms of a power of two).
bool IsPadded(std::int64_t n);

// What a transform of n values costs, in units of one value's share of a smooth size's n log2 n.
double TransformWork(std::int64_t n);

// Whether one transform of n values costs less than `pulseSamples` times `harmonics` sine-cosine
// pairs of the direct sums.
bool TransformCostsLess(std::int64_t n, std::int64_t pulseSamples, std::int64_t harmonics);
