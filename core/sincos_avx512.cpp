// SLEEF's 8-lane sine and cosine; this file alone is compiled for the vector unit.
#include "sincos_kernels.h"

#include <immintrin.h>
#include <sleef.h>

void SincosBlockAvx512(const double *angles, double *sines, double *cosines, std::size_t count)
{
    constexpr std::size_t Lanes = 8;
    std::size_t i = 0;
    for (; i + Lanes <= count; i += Lanes) {
        const Sleef___m512d_2 r = Sleef_sincosd8_u10(_mm512_loadu_pd(angles + i));
        _mm512_storeu_pd(sines + i, r.x);
        _mm512_storeu_pd(cosines + i, r.y);
    }
    if (i < count) {
        double tail[Lanes] = {};
        for (std::size_t j = i; j < count; ++j)
            tail[j - i] = angles[j];
        double s[Lanes], c[Lanes];
        const Sleef___m512d_2 r = Sleef_sincosd8_u10(_mm512_loadu_pd(tail));
        _mm512_storeu_pd(s, r.x);
        _mm512_storeu_pd(c, r.y);
        for (std::size_t j = i; j < count; ++j) {
            sines[j] = s[j - i];
            cosines[j] = c[j - i];
        }
    }
}
