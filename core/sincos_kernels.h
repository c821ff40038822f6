// Sine and cosine of the angles of one harmonic over a block of samples, with SLEEF's 1-ULP
// functions on the widest vector unit the processor has.
#pragma once

#include <cstddef>
#include <cstdint>

// For j = 0 .. count - 1, with i = first + j: the angle (twoKPi * i) / n, exactly as the scalar
// expression rounds it, then its sine and cosine into sines[j] and cosines[j].
using SincosBlock = void (*)(double twoKPi, double n, std::int64_t first, std::size_t count,
                             double *sines, double *cosines);

void SincosBlockAvx512(double twoKPi, double n, std::int64_t first, std::size_t count,
                       double *sines, double *cosines);
void SincosBlockAvx(double twoKPi, double n, std::int64_t first, std::size_t count, double *sines,
                    double *cosines);
void SincosBlockSse2(double twoKPi, double n, std::int64_t first, std::size_t count, double *sines,
                     double *cosines);
void SincosBlockScalar(double twoKPi, double n, std::int64_t first, std::size_t count,
                       double *sines, double *cosines);
// The C library's sincos: the same bits as its sin and cos.
void SincosBlockLibm(double twoKPi, double n, std::int64_t first, std::size_t count, double *sines,
                     double *cosines);

struct SincosKernel
{
    SincosBlock function;
    const char *name;
};

// The widest kernel this processor runs.
SincosKernel BestSincosKernel();
