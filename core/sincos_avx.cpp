// SLEEF's 4-lane sine and cosine; this file alone is compiled for AVX.
#include "avx_lanes.h"
#include "sincos_kernels.h"
#include "vector_kernel.h"

namespace {

using Avx = AvxLanes<Sleef_sincosd4_u10avx>;

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
