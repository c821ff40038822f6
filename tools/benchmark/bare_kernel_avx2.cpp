// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The bare kernel on AVX2 with FMA; this file alone is compiled for it.
#include "bare_kernels.h"
#include "core/spectrum/kernels/vector_kernel.h"

void SincosBlockAvx2(double twoKPi, double n, std::int64_t first, std::size_t count, double *sines,
                     double *cosines)
{
    SincosBlockOf<AvxLanes<Sleef_sincosd4_u10avx2>>(twoKPi, n, first, count, sines, cosines);
}
