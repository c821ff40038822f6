// SLEEF's 4-lane sine and cosine; this file alone is compiled for AVX.
#include "sincos_kernels.h"
#include "vector_kernel.h"

#include <immintrin.h>
#include <sleef.h>

namespace {

struct Avx
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
        const Sleef___m256d_2 r = Sleef_sincosd4_u10avx(x);
        s = r.x;
        c = r.y;
    }
};

} // namespace

void SincosBlockAvx(double twoKPi, double n, std::int64_t first, std::size_t count, double *sines,
                    double *cosines)
{
    SincosBlockOf<Avx>(twoKPi, n, first, count, sines, cosines);
}

void HarmonicSumsAvx(const double *twoKPi, double n, const double *samples, std::int64_t begin,
                     std::int64_t end, double *cosSums, double *sinSums)
{
    HarmonicSumsOf<Avx>(twoKPi, n, samples, begin, end, cosSums, sinSums);
}
