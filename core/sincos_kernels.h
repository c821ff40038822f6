// Sine and cosine of a block of angles with SLEEF's 1-ULP functions, on the widest vector unit
// the processor has.
#pragma once

#include <cstddef>

// Writes sin and cos of angles[0 .. count - 1]; count any size.
using SincosBlock
    = void (*)(const double *angles, double *sines, double *cosines, std::size_t count);

void SincosBlockAvx512(const double *angles, double *sines, double *cosines, std::size_t count);
void SincosBlockAvx(const double *angles, double *sines, double *cosines, std::size_t count);
void SincosBlockSse2(const double *angles, double *sines, double *cosines, std::size_t count);
void SincosBlockScalar(const double *angles, double *sines, double *cosines, std::size_t count);

struct SincosKernel
{
    SincosBlock function;
    const char *name;
};

// The widest kernel this processor runs.
SincosKernel BestSincosKernel();
