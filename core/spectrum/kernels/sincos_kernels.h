// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The vocabulary of the spectrum's sine-cosine kernels: SLEEF's 1-ULP functions on each vector
// unit, and the C library's, whose bits the definition's literal loops give; and the choice among
// them. Each unit's code is in sincos_<unit>.cpp, written once in vector_kernel.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

// The sums of one harmonic per lane: for i = begin .. end - 1 in index order, with the angle
// (twoKPi[l] * i) / n, cosSums[l] = cos(angle) * samples[i] + cosSums[l], and likewise sinSums[l].
// Every operation is the literal loops' own, one double at a time; only the sine and cosine come
// from the kernel's library.
using HarmonicSums
    = void (*)(const double *twoKPi, double n, const double *samples, std::int64_t begin,
               std::int64_t end, double *cosSums, double *sinSums);

// The vector units a processor has, as far as the kernels care; the operating system's support
// for their registers included.
struct ProcessorFeatures
{
    bool avx512f = false;
    bool avx2 = false;
    bool fma = false;
    bool avx = false;
    bool sse2 = false;
};

// What the processor running the program has.
const ProcessorFeatures &ThisProcessor();

struct SpectrumKernel
{
    const char *name;
    int lanes; // harmonics summed side by side
    HarmonicSums sums;
    bool (*runsOn)(const ProcessorFeatures &); // whether a processor with those units runs it

    // Whether this processor runs it.
    bool supported() const { return runsOn(ThisProcessor()); }
};

// The SLEEF kernels, widest vector unit first: AVX-512F, AVX2 with FMA, AVX, SSE2, scalar.
std::span<const SpectrumKernel> VectorKernels();
// The widest one a processor with `features` runs.
const SpectrumKernel &BestVectorKernel(const ProcessorFeatures &features);
// The widest one this processor runs.
const SpectrumKernel &BestVectorKernel();
// The C library's sin and cos, one harmonic at a time: every bit as the literal loops.
const SpectrumKernel &ExactKernel();

// Each vector unit's sums, compiled in a file of their own for it.
void HarmonicSumsAvx512(const double *, double, const double *, std::int64_t, std::int64_t,
                        double *, double *);
void HarmonicSumsAvx2(const double *, double, const double *, std::int64_t, std::int64_t, double *,
                      double *);
void HarmonicSumsAvx(const double *, double, const double *, std::int64_t, std::int64_t, double *,
                     double *);
void HarmonicSumsSse2(const double *, double, const double *, std::int64_t, std::int64_t, double *,
                      double *);
