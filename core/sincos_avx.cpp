// SLEEF's 4-lane sine and cosine; this file alone is compiled for the vector unit.
#include "sincos_kernels.h"

#include <immintrin.h>
#include <sleef.h>

void SincosBlockAvx(const double *angles, double *sines, double *cosines, std::size_t count)
{
    constexpr std::size_t Lanes = 4;
    std::size_t i = 0;
    for (; i + Lanes <= count; i += Lanes) {
        const Sleef___m256d_2 r = Sleef_sincosd4_u10(_mm256_loadu_pd(angles + i));
        _mm256_storeu_pd(sines + i, r.x);
        _mm256_storeu_pd(cosines + i, r.y);
    }
    if (i < count) {
        double tail[Lanes] = {};
        for (std::size_t j = i; j < count; ++j)
            tail[j - i] = angles[j];
        double s[Lanes], c[Lanes];
        const Sleef___m256d_2 r = Sleef_sincosd4_u10(_mm256_loadu_pd(tail));
        _mm256_storeu_pd(s, r.x);
        _mm256_storeu_pd(c, r.y);
        for (std::size_t j = i; j < count; ++j) {
            sines[j] = s[j - i];
            cosines[j] = c[j - i];
        }
    }
}
