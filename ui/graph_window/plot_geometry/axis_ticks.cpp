// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "axis_ticks.h"

#include <algorithm>
#include <cmath>

AxisTicks NiceTicks(double low, double high, int most)
{
    AxisTicks ticks;
    if (!std::isfinite(low) || !std::isfinite(high) || !(high > low) || most < 2)
        return ticks;
    const double rough = (high - low) / (most - 1);
    double power = std::pow(10.0, std::floor(std::log10(rough)));
    for (;; power *= 10) {
        for (const double mantissa : {1.0, 2.0, 5.0}) {
            const double step = mantissa * power;
            const double first = std::ceil(low / step - 1e-9);
            const double last = std::floor(high / step + 1e-9);
            if (last - first + 1 <= most) {
                ticks.step = step;
                ticks.decimals
                    = std::max(0, -static_cast<int>(std::floor(std::log10(step) + 1e-9)));
                for (double m = first; m <= last; ++m)
                    ticks.values.push_back(m == 0 ? 0.0 : m * step);
                return ticks;
            }
        }
    }
}
