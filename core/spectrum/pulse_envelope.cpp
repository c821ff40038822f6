// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/spectrum/pulse_envelope.h"

#include <cmath>
#include <numbers>

double PulseEnvelope(double amplitude, double dutyCycle, double x)
{
    using std::numbers::pi;
    const double v = std::abs(amplitude), d = std::abs(dutyCycle);
    const double u = 2 * x * d;
    // Near u = 1 both cos(pi u / 2) and 1 - u^2 vanish: their ratio tends to pi / 4, and
    // cos(pi u / 2) / (1 - u^2) = sin(pi e / 2) / (e (2 + e)) with e = u - 1 keeps its digits.
    const double e = u - 1;
    if (std::abs(e) < 1e-4) {
        const double ratio = std::abs(e) < 1e-300 ? pi / 4 : std::sin(pi * e / 2) / (e * (2 + e));
        return 4 * v * d / pi * std::abs(ratio);
    }
    return 4 * v * d / pi * std::abs(std::cos(pi * x * d)) / std::abs(1 - u * u);
}
