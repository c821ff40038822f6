// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The values a reader would put on a scale: multiples of 1, 2 or 5 times a power of ten. No Qt
// here.
#pragma once

#include <cstddef>
#include <vector>

struct AxisTicks
{
    double step = 0; // 1, 2 or 5 times a power of ten
    int decimals = 0; // the digits after the separator that the step needs
    std::vector<double> values; // the multiples of step in [low, high], ascending
};

// The ticks of [low, high] with the smallest such step that gives at most `most` of them; none
// for an empty or not finite range, or `most` below 2.
AxisTicks NiceTicks(double low, double high, int most);

// The ticks of an axis from 0 to `total` (in the first of `units` units, each the next a thousand
// times the one before), in the first unit in which every value labelled (those at most
// `labelled` times the total) is below a thousand; the last unit where none is.
struct UnitTicks
{
    std::size_t unit = 0; // 0: the first
    double total = 0; // in that unit
    AxisTicks ticks;
};
UnitTicks TicksInUnits(double total, int most, double labelled, std::size_t units);
