// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "bare_kernels.h"

#include <sleef.h>

#include <cstring>

namespace {

void SincosBlockScalar(double twoKPi, double n, std::int64_t first, std::size_t count,
                       double *sines, double *cosines)
{
    for (std::size_t j = 0; j < count; ++j) {
        const Sleef_double2 r
            = Sleef_sincos_u10(twoKPi * static_cast<double>(first + std::int64_t(j)) / n);
        sines[j] = r.x;
        cosines[j] = r.y;
    }
}

} // namespace

SincosBlock BareKernelOf(const SpectrumKernel &kernel)
{
    const struct
    {
        const char *name;
        SincosBlock block;
    } blocks[] = {{"AVX-512F", SincosBlockAvx512},
                  {"AVX2+FMA", SincosBlockAvx2},
                  {"AVX", SincosBlockAvx},
                  {"SSE2", SincosBlockSse2},
                  {"scalar", SincosBlockScalar}};
    for (const auto &entry : blocks)
        if (std::strcmp(entry.name, kernel.name) == 0)
            return entry.block;
    return nullptr;
}
