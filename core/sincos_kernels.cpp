#include "sincos_kernels.h"

#include <sleef.h>

void SincosBlockScalar(const double *angles, double *sines, double *cosines, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i) {
        const Sleef_double2 r = Sleef_sincos_u10(angles[i]);
        sines[i] = r.x;
        cosines[i] = r.y;
    }
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
