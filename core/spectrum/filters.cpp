// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/spectrum/filters.h"

#include <cmath>

std::complex<double> FilterResponse(const FilterSettings &filter, double hertz)
{
    using Complex = std::complex<double>;
    if (filter.kind == FilterKind::None)
        return 1;
    const double u = hertz / filter.frequency; // the frequency against the filter's own
    const double q = filter.quality;
    switch (filter.kind) {
    case FilterKind::None:
        break;
    case FilterKind::RcLowPass:
        return 1.0 / Complex(1, u);
    case FilterKind::RcHighPass:
        // j u / (1 + j u) = 1 / (1 - j / u): no j u overflowing its own quotient far above fc
        return u == 0 ? Complex() : 1.0 / Complex(1, -1 / u);
    case FilterKind::RlcBandPass:
        // u - 1 / u as (u - 1)(u + 1) / u, exact near the centre where u - 1 / u would lose digits
        return u == 0 ? Complex() : 1.0 / Complex(1, q * ((u - 1) * (u + 1) / u));
    case FilterKind::SecondOrderLowPass:
        // (1 - u)(1 + u): 1 - u is exact near the resonance, where 1 - u^2 would lose digits
        return 1.0 / Complex((1 - u) * (1 + u), u / q);
    }
    return 1;
}

double ResponsePeak(const FilterSettings &filter)
{
    const double q = filter.quality;
    if (filter.kind != FilterKind::SecondOrderLowPass || !(q * q > 0.5))
        return 1;
    return q / std::sqrt(1 - 1 / (4 * q * q));
}
