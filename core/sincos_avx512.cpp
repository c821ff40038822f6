// SLEEF's 8-lane sine and cosine; this file alone is compiled for the vector unit.
#include "sincos_kernels.h"

#include <immintrin.h>
#include <sleef.h>

void SincosBlockAvx512(double twoKPi, double n, std::int64_t first, std::size_t count,
                       double *sines, double *cosines)
{
    constexpr std::size_t Lanes = 8;
    const __m512d factor = _mm512_set1_pd(twoKPi);
    const __m512d divisor = _mm512_set1_pd(n);
    const __m512d offsets = _mm512_setr_pd(0, 1, 2, 3, 4, 5, 6, 7);
    const __m512d step = _mm512_set1_pd(static_cast<double>(Lanes));
    // Sample indexes as doubles: whole numbers below 2^53, so every sum here is exact.
    __m512d index = _mm512_add_pd(_mm512_set1_pd(static_cast<double>(first)), offsets);
    std::size_t j = 0;
    for (; j + Lanes <= count; j += Lanes, index = _mm512_add_pd(index, step)) {
        const Sleef___m512d_2 r
            = Sleef_sincosd8_u10(_mm512_div_pd(_mm512_mul_pd(factor, index), divisor));
        _mm512_storeu_pd(sines + j, r.x);
        _mm512_storeu_pd(cosines + j, r.y);
    }
    if (j < count) {
        double s[Lanes], c[Lanes];
        const Sleef___m512d_2 r
            = Sleef_sincosd8_u10(_mm512_div_pd(_mm512_mul_pd(factor, index), divisor));
        _mm512_storeu_pd(s, r.x);
        _mm512_storeu_pd(c, r.y);
        for (std::size_t l = 0; j + l < count; ++l) {
            sines[j + l] = s[l];
            cosines[j + l] = c[l];
        }
    }
}
