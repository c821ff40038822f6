// SLEEF's 2-lane sine and cosine; this file alone is compiled for SSE2.
#include "sincos_kernels.h"
#include "vector_kernel.h"

#include <immintrin.h>
#include <sleef.h>

namespace {

struct Sse2
{
    using Vec = __m128d;
    static constexpr int Lanes = 2;
    static Vec Set(double x) { return _mm_set1_pd(x); }
    static Vec Iota() { return _mm_setr_pd(0, 1); }
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

} // namespace

void SincosBlockSse2(double twoKPi, double n, std::int64_t first, std::size_t count, double *sines,
                     double *cosines)
{
    SincosBlockOf<Sse2>(twoKPi, n, first, count, sines, cosines);
}

void HarmonicSumsSse2(const double *twoKPi, double n, const double *samples, std::int64_t begin,
                      std::int64_t end, double *cosSums, double *sinSums)
{
    HarmonicSumsOf<Sse2>(twoKPi, n, samples, begin, end, cosSums, sinSums);
}
