// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The harmonic sums written once for any vector width, and the traits of each vector unit's
// registers with its SLEEF sine-cosine: a file compiled for a unit includes this and finds that
// unit's traits. Everything here has internal linkage, so that code compiled for one vector unit
// is never picked by the linker for another.
#pragma once

#include <cstddef>
#include <cstdint>
#include <immintrin.h>
#include <sleef.h>

namespace {

// Traits: Vec, Lanes, Set (all lanes one value), Load, Store, Mul, Div, Add and SinCos.
template<typename V>
void HarmonicSumsOf(const double *twoKPi, double n, const double *samples, std::int64_t begin,
                    std::int64_t end, double *cosSums, double *sinSums)
{
    using Vec = typename V::Vec;
    const Vec factor = V::Load(twoKPi);
    const Vec divisor = V::Set(n);
    Vec cosAcc = V::Load(cosSums);
    Vec sinAcc = V::Load(sinSums);
    double index = static_cast<double>(begin); // exact: below 2^53
    for (std::int64_t i = begin; i < end; ++i, index += 1) {
        Vec s, c;
        V::SinCos(V::Div(V::Mul(factor, V::Set(index)), divisor), s, c);
        const Vec sample = V::Set(samples[i]);
        cosAcc = V::Add(V::Mul(c, sample), cosAcc);
        sinAcc = V::Add(V::Mul(s, sample), sinAcc);
    }
    V::Store(cosSums, cosAcc);
    V::Store(sinSums, sinAcc);
}

#if defined(__SSE2__)
struct Sse2Lanes
{
    using Vec = __m128d;
    static constexpr int Lanes = 2;
    static Vec Set(double x) { return _mm_set1_pd(x); }
    static Vec Load(const double *p) { return _mm_loadu_pd(p); }
    static void Store(double *p, Vec v) { _mm_storeu_pd(p, v); }
    static Vec Mul(Vec a, Vec b) { return _mm_mul_pd(a, b); }
    static Vec Div(Vec a, Vec b) { return _mm_div_pd(a, b); }
    static Vec Add(Vec a, Vec b) { return _mm_add_pd(a, b); }
    static void SinCos(Vec x, Vec &s, Vec &c)
    {
        const Sleef___m128d_2 r = Sleef_sincosd2_u10sse2(x);
        s = r.x;
        c = r.y;
    }
};
#endif

#if defined(__AVX__)
// The 4-lane registers of AVX and of AVX2, with the SLEEF sine-cosine of the unit.
template<auto SleefSinCos> struct AvxLanes
{
    using Vec = __m256d;
    static constexpr int Lanes = 4;
    static Vec Set(double x) { return _mm256_set1_pd(x); }
    static Vec Load(const double *p) { return _mm256_loadu_pd(p); }
    static void Store(double *p, Vec v) { _mm256_storeu_pd(p, v); }
    static Vec Mul(Vec a, Vec b) { return _mm256_mul_pd(a, b); }
    static Vec Div(Vec a, Vec b) { return _mm256_div_pd(a, b); }
    static Vec Add(Vec a, Vec b) { return _mm256_add_pd(a, b); }
    static void SinCos(Vec x, Vec &s, Vec &c)
    {
        const Sleef___m256d_2 r = SleefSinCos(x);
        s = r.x;
        c = r.y;
    }
};
#endif

#if defined(__AVX512F__)
struct Avx512Lanes
{
    using Vec = __m512d;
    static constexpr int Lanes = 8;
    static Vec Set(double x) { return _mm512_set1_pd(x); }
    static Vec Load(const double *p) { return _mm512_loadu_pd(p); }
    static void Store(double *p, Vec v) { _mm512_storeu_pd(p, v); }
    static Vec Mul(Vec a, Vec b) { return _mm512_mul_pd(a, b); }
    static Vec Div(Vec a, Vec b) { return _mm512_div_pd(a, b); }
    static Vec Add(Vec a, Vec b) { return _mm512_add_pd(a, b); }
    static void SinCos(Vec x, Vec &s, Vec &c)
    {
        const Sleef___m512d_2 r = Sleef_sincosd8_u10avx512f(x);
        s = r.x;
        c = r.y;
    }
};
#endif

} // namespace
