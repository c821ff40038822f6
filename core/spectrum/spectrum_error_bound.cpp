// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/spectrum/spectrum_error_bound.h"

#include "core/spectrum/fft/real_transform.h"

#include <algorithm>
#include <cmath>

ErrorLine ErrorLine::Of(const SampleMeasures &measures)
{
    return Of(measures, RealTransform::Rounding(std::max<std::int64_t>(measures.n, 1)));
}

ErrorLine ErrorLine::Of(const SampleMeasures &measures, const TransformRounding &rounding)
{
    // The literal loops' sum against the exact one with pi (every sum over the M non-zero samples
    // s(i), A = sum |s(i)|, A1 = sum |s(i)| i / N, Q = sqrt(sum s(i)^2)):
    // - the angle (AngleDrift): 2k ((pi - PI) + 3 u pi) A1, the only term that grows with k;
    // - the C library's sine and cosine, under one ulp (2u for values up to 1): 2u A;
    // - each product's rounding, u A, and below the normal range 2^-1074 each: M 2^-1074;
    // - the sum in index order, M terms: (M - 1) u A (zero samples add exactly nothing).
    // The transform against the same exact sum: RealTransform::Rounding, which derives it for
    // either way the transform takes. For the plain way, c u (log2 N + 2) sqrt(N) Q with c = 32;
    // for the padded one, a few times that, and a term in A.
    // Their total, times 5/4 for the roundings of this bound itself and a margin.
    const double m = static_cast<double>(measures.terms);
    const double angle = AngleDrift * measures.weightedAbsSum;
    const double library = 2 * Unit * measures.absSum;
    const double products = Unit * measures.absSum + m * std::numeric_limits<double>::denorm_min();
    const double sum = (m + 1) * Unit * measures.absSum;
    const double transform
        = rounding.perNorm * measures.norm + rounding.perAbsSum * measures.absSum;
    return {1.25 * (library + products + sum + transform), 1.25 * angle};
}

double SpectrumErrorBound(const SampleMeasures &measures, std::int64_t k)
{
    const ErrorLine line = ErrorLine::Of(measures);
    return line.fixed + line.perHarmonic * static_cast<double>(k);
}
