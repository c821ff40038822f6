// SLEEF's 2-lane sine and cosine; this file alone is compiled for the vector unit.
#include "sincos_kernels.h"

#include <immintrin.h>
#include <sleef.h>

void SincosBlockSse2(double twoKPi, double n, std::int64_t first, std::size_t count, double *sines,
                     double *cosines)
{
    constexpr std::size_t Lanes = 2;
    const __m128d factor = _mm_set1_pd(twoKPi);
    const __m128d divisor = _mm_set1_pd(n);
    const __m128d offsets = _mm_setr_pd(0, 1);
    const __m128d step = _mm_set1_pd(static_cast<double>(Lanes));
    // Sample indexes as doubles: whole numbers below 2^53, so every sum here is exact.
    __m128d index = _mm_add_pd(_mm_set1_pd(static_cast<double>(first)), offsets);
    std::size_t j = 0;
    for (; j + Lanes <= count; j += Lanes, index = _mm_add_pd(index, step)) {
        const Sleef___m128d_2 r
            = Sleef_sincosd2_u10(_mm_div_pd(_mm_mul_pd(factor, index), divisor));
        _mm_storeu_pd(sines + j, r.x);
        _mm_storeu_pd(cosines + j, r.y);
    }
    if (j < count) {
        double s[Lanes], c[Lanes];
        const Sleef___m128d_2 r
            = Sleef_sincosd2_u10(_mm_div_pd(_mm_mul_pd(factor, index), divisor));
        _mm_storeu_pd(s, r.x);
        _mm_storeu_pd(c, r.y);
        for (std::size_t l = 0; j + l < count; ++l) {
            sines[j + l] = s[l];
            cosines[j + l] = c[l];
        }
    }
}
