// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The bare kernel on SSE2; this file alone is compiled for it.
#include "bare_kernels.h"
#include "core/spectrum/kernels/vector_kernel.h"

void SincosBlockSse2(double twoKPi, double n, std::int64_t first, std::size_t count, double *sines,
                     double *cosines)
{
    SincosBlockOf<Sse2Lanes>(twoKPi, n, first, count, sines, cosines);
}
