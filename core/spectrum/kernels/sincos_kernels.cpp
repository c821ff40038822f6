// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/spectrum/kernels/sincos_kernels.h"

#include <cmath>
#if SPETTRO_VECTOR_KERNELS
#include <sleef.h>
#endif

namespace {

// The C library's sine and cosine in two loops, one after the other, as the literal loops have
// them: a compiler may join a sine and a cosine of one angle into one sincos call, whose bits
// some C libraries (MinGW-w64's) do not share with their sin and cos.
void HarmonicSumsLibm(const double *twoKPi, double n, const double *samples, std::int64_t begin,
                      std::int64_t end, double *cosSums, double *sinSums)
{
    double cosSum = *cosSums;
    for (std::int64_t i = begin; i < end; ++i)
        cosSum = std::cos(*twoKPi * static_cast<double>(i) / n) * samples[i] + cosSum;
    double sinSum = *sinSums;
    for (std::int64_t i = begin; i < end; ++i)
        sinSum = std::sin(*twoKPi * static_cast<double>(i) / n) * samples[i] + sinSum;
    *cosSums = cosSum;
    *sinSums = sinSum;
}

#if SPETTRO_VECTOR_KERNELS
// One lane of SLEEF's scalar sincos.
struct SleefScalar
{
    static void SinCos(double x, double &s, double &c)
    {
        const Sleef_double2 r = Sleef_sincos_u10(x);
        s = r.x;
        c = r.y;
    }
};

template<typename F>
void HarmonicSumsOne(const double *twoKPi, double n, const double *samples, std::int64_t begin,
                     std::int64_t end, double *cosSums, double *sinSums)
{
    double cosSum = *cosSums;
    double sinSum = *sinSums;
    for (std::int64_t i = begin; i < end; ++i) {
        double s, c;
        F::SinCos(*twoKPi * static_cast<double>(i) / n, s, c);
        cosSum = c * samples[i] + cosSum;
        sinSum = s * samples[i] + sinSum;
    }
    *cosSums = cosSum;
    *sinSums = sinSum;
}
#endif

bool Always(const ProcessorFeatures &)
{
    return true;
}

#if SPETTRO_VECTOR_KERNELS && (defined(__x86_64__) || defined(__i386__))
bool HasAvx512(const ProcessorFeatures &p)
{
    return p.avx512f;
}
bool HasAvx2(const ProcessorFeatures &p)
{
    return p.avx2 && p.fma;
}
bool HasAvx(const ProcessorFeatures &p)
{
    return p.avx;
}
bool HasSse2(const ProcessorFeatures &p)
{
    return p.sse2;
}
#endif

const SpectrumKernel Exact = {"C library", 1, HarmonicSumsLibm, Always};

const SpectrumKernel Kernels[] = {
#if SPETTRO_VECTOR_KERNELS
#if defined(__x86_64__) || defined(__i386__)
    {"AVX-512F", 8, HarmonicSumsAvx512, HasAvx512},
    {"AVX2+FMA", 4, HarmonicSumsAvx2, HasAvx2},
    {"AVX", 4, HarmonicSumsAvx, HasAvx},
    {"SSE2", 2, HarmonicSumsSse2, HasSse2},
#endif
    {"scalar", 1, HarmonicSumsOne<SleefScalar>, Always},
#else
    Exact,
#endif
};

} // namespace

std::span<const SpectrumKernel> VectorKernels()
{
    return Kernels;
}

const ProcessorFeatures &ThisProcessor()
{
    static const ProcessorFeatures features = [] {
        ProcessorFeatures p;
#if defined(__x86_64__) || defined(__i386__)
        // The compiler's checks include the system's support for the wider registers.
        p.avx512f = __builtin_cpu_supports("avx512f");
        p.avx2 = __builtin_cpu_supports("avx2");
        p.fma = __builtin_cpu_supports("fma");
        p.avx = __builtin_cpu_supports("avx");
        p.sse2 = __builtin_cpu_supports("sse2");
#endif
        return p;
    }();
    return features;
}

const SpectrumKernel &BestVectorKernel(const ProcessorFeatures &features)
{
    for (const SpectrumKernel &kernel : Kernels)
        if (kernel.runsOn(features))
            return kernel;
    return Kernels[std::size(Kernels) - 1];
}

const SpectrumKernel &BestVectorKernel()
{
    static const SpectrumKernel &best = BestVectorKernel(ThisProcessor());
    return best;
}

const SpectrumKernel &ExactKernel()
{
    return Exact;
}
