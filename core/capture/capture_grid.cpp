// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/capture/capture_grid.h"

#include "core/state/task_control.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <utility>

namespace {

// How often the long loops look at the cancel flag.
constexpr std::size_t CancelStride = std::size_t(1) << 16;

bool Cancelled(const TaskControl *control, std::size_t i)
{
    return control && i % CancelStride == 0 && control->Cancelled();
}

// The heap sort of the pairs by time, in place: no second copy of the samples, O(n log n) for
// any order. Not stable, which is no matter: samples of one time are merged into their mean.
bool SortByTime(std::vector<double> &times, std::vector<double> &values, TaskControl *control)
{
    const std::size_t n = times.size();
    const auto swapPair = [&](std::size_t a, std::size_t b) {
        std::swap(times[a], times[b]);
        std::swap(values[a], values[b]);
    };
    const auto siftDown = [&](std::size_t root, std::size_t end) {
        while (2 * root + 1 < end) {
            std::size_t child = 2 * root + 1;
            if (child + 1 < end && times[child] < times[child + 1])
                ++child;
            if (!(times[root] < times[child]))
                return;
            swapPair(root, child);
            root = child;
        }
    };
    for (std::size_t i = n / 2; i-- > 0;) {
        if (Cancelled(control, i))
            return false;
        siftDown(i, n);
    }
    for (std::size_t end = n; end-- > 1;) {
        if (Cancelled(control, end))
            return false;
        swapPair(0, end);
        siftDown(0, end);
    }
    return true;
}

// Samples of one time become one, their mean (summed so that no partial sum overflows). Whether
// any merged.
bool MergeEqualTimes(std::vector<double> &times, std::vector<double> &values)
{
    std::size_t out = 0;
    bool merged = false;
    for (std::size_t i = 0; i < times.size();) {
        std::size_t end = i + 1;
        while (end < times.size() && times[end] == times[i])
            ++end;
        double mean = values[i];
        for (std::size_t k = i + 1; k < end; ++k) {
            const double count = static_cast<double>(k - i + 1);
            mean = mean * ((count - 1) / count) + values[k] / count;
        }
        merged = merged || end - i > 1;
        times[out] = times[i];
        values[out] = mean;
        ++out;
        i = end;
    }
    times.resize(out);
    values.resize(out);
    return merged;
}

} // namespace

GridOutcome PutOnEvenGrid(std::vector<double> &times, std::vector<double> &values, EvenGrid &grid,
                          TaskControl *control)
{
    grid = {};
    if (!std::is_sorted(times.begin(), times.end())) {
        if (std::is_sorted(times.rbegin(), times.rend())) {
            std::reverse(times.begin(), times.end());
            std::reverse(values.begin(), values.end());
        } else if (!SortByTime(times, values, control)) {
            return GridOutcome::Cancelled;
        }
    }
    grid.resampled = MergeEqualTimes(times, values);
    const std::size_t n = times.size();
    if (n < 2)
        return GridOutcome::StandsStill;
    const double first = times.front();
    const double span = times.back() - first;
    if (!std::isfinite(span))
        return GridOutcome::BeyondDoubles;
    const double step = span / static_cast<double>(n - 1);
    if (!(step > 0))
        return GridOutcome::StandsStill;
    grid.start = first;
    grid.interval = step;

    bool even = true;
    for (std::size_t i = 0; i < n && even; ++i)
        even = std::abs(times[i] - (first + static_cast<double>(i) * step)) <= step / 50;
    if (!even) {
        grid.resampled = true;
        std::vector<double> onGrid(n);
        std::size_t j = 0;
        for (std::size_t i = 0; i < n; ++i) {
            if (Cancelled(control, i))
                return GridOutcome::Cancelled;
            const double t = i + 1 == n ? times.back() : first + static_cast<double>(i) * step;
            while (j + 2 < n && times[j + 1] <= t)
                ++j;
            const double a = std::clamp((t - times[j]) / (times[j + 1] - times[j]), 0.0, 1.0);
            onGrid[i] = (1 - a) * values[j] + a * values[j + 1];
        }
        values = std::move(onGrid);
    }
    times.clear();
    times.shrink_to_fit();
    return GridOutcome::Done;
}
