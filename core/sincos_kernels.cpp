#include "sincos_kernels.h"

#include <cmath>
#include <sleef.h>

void SincosBlockScalar(double twoKPi, double n, std::int64_t first, std::size_t count,
                       double *sines, double *cosines)
{
    for (std::size_t j = 0; j < count; ++j) {
        const Sleef_double2 r = Sleef_sincos_u10(
            twoKPi * static_cast<double>(first + static_cast<std::int64_t>(j)) / n);
        sines[j] = r.x;
        cosines[j] = r.y;
    }
}

void SincosBlockLibm(double twoKPi, double n, std::int64_t first, std::size_t count, double *sines,
                     double *cosines)
{
    for (std::size_t j = 0; j < count; ++j)
        sincos(twoKPi * static_cast<double>(first + static_cast<std::int64_t>(j)) / n, &sines[j],
               &cosines[j]);
}

SincosKernel BestSincosKernel()
{
#if defined(__x86_64__) || defined(__i386__)
    // SLEEF's own dispatchers then pick the best variant of that width (FMA or not).
    if (__builtin_cpu_supports("avx512f"))
        return {SincosBlockAvx512, "avx512f"};
    if (__builtin_cpu_supports("avx"))
        return {SincosBlockAvx, "avx"};
    if (__builtin_cpu_supports("sse2"))
        return {SincosBlockSse2, "sse2"};
#endif
    return {SincosBlockScalar, "scalar"};
}
