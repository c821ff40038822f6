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

UnitTicks TicksInUnits(double total, int most, double labelled, std::size_t units)
{
    UnitTicks in;
    for (in.unit = 0;; ++in.unit) {
        in.total = total / std::pow(1000.0, static_cast<double>(in.unit));
        in.ticks = NiceTicks(0, in.total, most);
        double largest = 0;
        for (const double v : in.ticks.values)
            if (v <= labelled * in.total * (1 + 1e-12))
                largest = std::max(largest, v);
        if (largest < 1000 || in.unit + 1 >= units)
            return in;
    }
}
