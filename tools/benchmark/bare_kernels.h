// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The bare kernels, for the benchmark alone: each vector unit's sine-cosine over a block of
// angles with nothing else, to set the analysis's pairs per second against.
#pragma once

#include "core/spectrum/kernels/sincos_kernels.h"

#include <cstddef>
#include <cstdint>

// For j = 0 .. count - 1, with i = first + j, the angle (twoKPi * i) / n, exactly as the scalar
// expression rounds it, then its sine and cosine into sines[j] and cosines[j].
using SincosBlock = void (*)(double twoKPi, double n, std::int64_t first, std::size_t count,
                             double *sines, double *cosines);

// The bare kernel of the unit `kernel` runs on; null for the exact kernel.
SincosBlock BareKernelOf(const SpectrumKernel &kernel);

void SincosBlockAvx512(double, double, std::int64_t, std::size_t, double *, double *);
void SincosBlockAvx2(double, double, std::int64_t, std::size_t, double *, double *);
void SincosBlockAvx(double, double, std::int64_t, std::size_t, double *, double *);
void SincosBlockSse2(double, double, std::int64_t, std::size_t, double *, double *);

#ifdef __x86_64__
namespace {

// Written once for any vector width, with vector_kernel.h's traits of the unit.
template<typename V>
void SincosBlockOf(double twoKPi, double n, std::int64_t first, std::size_t count, double *sines,
                   double *cosines)
{
    using Vec = typename V::Vec;
    constexpr std::size_t Lanes = V::Lanes;
    const Vec factor = V::Set(twoKPi);
    const Vec divisor = V::Set(n);
    const Vec step = V::Set(static_cast<double>(Lanes));
    // Sample indexes as doubles: whole numbers below 2^53, so every sum here is exact. The lanes'
    // offsets 0, 1, 2, ... loaded from memory: the analysis's kernels need no such vector.
    double offsets[Lanes];
    for (std::size_t l = 0; l < Lanes; ++l)
        offsets[l] = static_cast<double>(l);
    Vec index = V::Add(V::Set(static_cast<double>(first)), V::Load(offsets));
    std::size_t j = 0;
    for (; j + Lanes <= count; j += Lanes, index = V::Add(index, step)) {
        Vec s, c;
        V::SinCos(V::Div(V::Mul(factor, index), divisor), s, c);
        V::Store(sines + j, s);
        V::Store(cosines + j, c);
    }
    if (j < count) {
        double s[Lanes], c[Lanes];
        Vec vs, vc;
        V::SinCos(V::Div(V::Mul(factor, index), divisor), vs, vc);
        V::Store(s, vs);
        V::Store(c, vc);
        for (std::size_t l = 0; j + l < count; ++l) {
            sines[j + l] = s[l];
            cosines[j + l] = c[l];
        }
    }
}

} // namespace
#endif
