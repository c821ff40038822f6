// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Samples at any times put on an even grid: sorted, merged where they share a time, and
// interpolated linearly where the times stray from the grid. Inside the capture room.
#pragma once

#include <vector>

class TaskControl;

enum class GridOutcome
{
    Done,
    Cancelled,
    StandsStill, // fewer than two distinct times
    BeyondDoubles // the times' span is not a double
};

struct EvenGrid
{
    double start = 0;
    double interval = 0;
    bool resampled = false;
};

// `times` and `values` pair up, all finite. On Done, `values` holds the grid's values and `grid`
// says where they lie; `times` is left empty.
GridOutcome PutOnEvenGrid(std::vector<double> &times, std::vector<double> &values, EvenGrid &grid,
                          TaskControl *control);
