// The 4-lane registers of AVX and of AVX2, for vector_kernel.h, with the SLEEF sine-cosine of
// the unit that the including file is compiled for. Internal linkage, as in vector_kernel.h.
#pragma once

#include <immintrin.h>
#include <sleef.h>

namespace {

template<auto SleefSinCos> struct AvxLanes
{
    using Vec = __m256d;
    static constexpr int Lanes = 4;
    static Vec Set(double x) { return _mm256_set1_pd(x); }
    static Vec Iota() { return _mm256_setr_pd(0, 1, 2, 3); }
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

} // namespace
