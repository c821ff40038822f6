// SLEEF's 8-lane sine and cosine; this file alone is compiled for AVX-512F.
#include "sincos_kernels.h"
#include "vector_kernel.h"

#include <immintrin.h>
#include <sleef.h>

namespace {

struct Avx512
{
    using Vec = __m512d;
    static constexpr int Lanes = 8;
    static Vec Set(double x) { return _mm512_set1_pd(x); }
    static Vec Iota() { return _mm512_setr_pd(0, 1, 2, 3, 4, 5, 6, 7); }
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

} // namespace

void SincosBlockAvx512(double twoKPi, double n, std::int64_t first, std::size_t count,
                       double *sines, double *cosines)
{
    SincosBlockOf<Avx512>(twoKPi, n, first, count, sines, cosines);
}

void HarmonicSumsAvx512(const double *twoKPi, double n, const double *samples, std::int64_t begin,
                        std::int64_t end, double *cosSums, double *sinSums)
{
    HarmonicSumsOf<Avx512>(twoKPi, n, samples, begin, end, cosSums, sinSums);
}
