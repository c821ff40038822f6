// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// SLEEF's 4-lane sine and cosine in the harmonic sums; this file alone is compiled for AVX2 with
// FMA.
#include "core/spectrum/kernels/sincos_kernels.h"
#include "core/spectrum/kernels/vector_kernel.h"

void HarmonicSumsAvx2(const double *twoKPi, double n, const double *samples, std::int64_t begin,
                      std::int64_t end, double *cosSums, double *sinSums)
{
    HarmonicSumsOf<AvxLanes<Sleef_sincosd4_u10avx2>>(twoKPi, n, samples, begin, end, cosSums,
                                                     sinSums);
}
