// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// From the plot's user coordinates to pixels and back, and the one-pixel rule by which a segment
// lights pixels. Pure functions: no widget needed.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

// The user coordinate system set by Scale (x1, y1)-(x2, y2) on a surface of width x height
// pixels: x1 at the centre of the left column, x2 at the centre of the right one, y1 at the
// centre of the top row, y2 at the centre of the bottom one. Both edges of the range are on the
// surface, so a line at x = 100 shows in the last column.
struct PixelMapping
{
    double x1 = 0;
    double y1 = 0;
    double x2 = 1;
    double y2 = 1;
    int width = 1;
    int height = 1;

    double Column(double x) const { return (x - x1) / (x2 - x1) * (width - 1); }
    double Row(double y) const { return (y - y1) / (y2 - y1) * (height - 1); }
    double UserX(double column) const { return x1 + column / (width - 1) * (x2 - x1); }
    double UserY(double row) const { return y1 + row / (height - 1) * (y2 - y1); }
};

// Pixel positions beyond this distance are pulled back to it: nothing that far shows anyway.
constexpr double PixelLimit = 1 << 28;

constexpr std::int64_t NearestPixel(double position)
{
    // floor(v) by truncation, put right for negative v: the same integer as std::floor for every
    // v within the limit, without a call into the maths library for each of millions of vertices.
    const double v = std::clamp(position, -PixelLimit, PixelLimit) + 0.5;
    const auto truncated = static_cast<std::int64_t>(v);
    return truncated - (v < static_cast<double>(truncated) ? 1 : 0);
}

// The segment between two pixel positions lights, in every column from its first end's to its
// last end's, the rows whose pixels the straight line between the rounded ends passes through
// within that column (half a column at each end). A line through a pixel corner lights only the
// pixels it enters, so a 45-degree line is one pixel wide. Calls visit(column, lowRow, highRow)
// for every such column inside 0 .. width - 1, rows not yet clipped. A segment with a NaN end
// lights nothing.
template<typename Visit>
void RasterizeSegment(double column0, double row0, double column1, double row1, int width,
                      Visit &&visit)
{
    if (std::isnan(column0) || std::isnan(row0) || std::isnan(column1) || std::isnan(row1))
        return;
    std::int64_t c0 = NearestPixel(column0), r0 = NearestPixel(row0);
    std::int64_t c1 = NearestPixel(column1), r1 = NearestPixel(row1);
    if (c0 > c1) {
        std::swap(c0, c1);
        std::swap(r0, r1);
    }
    if (c1 < 0 || c0 >= width)
        return;
    if (c0 == c1) {
        visit(static_cast<int>(c0), std::min(r0, r1), std::max(r0, r1));
        return;
    }
    const double slope = static_cast<double>(r1 - r0) / static_cast<double>(c1 - c0);
    const auto rowAt
        = [&](double u) { return static_cast<double>(r0) + slope * (u - static_cast<double>(c0)); };
    const std::int64_t first = std::max<std::int64_t>(c0, 0);
    const std::int64_t last = std::min<std::int64_t>(c1, width - 1);
    for (std::int64_t c = first; c <= last; ++c) {
        const double a = c == c0 ? static_cast<double>(r0) : rowAt(static_cast<double>(c) - 0.5);
        const double b = c == c1 ? static_cast<double>(r1) : rowAt(static_cast<double>(c) + 0.5);
        // Row r covers [r - 0.5, r + 0.5): the rows met strictly inside the column's stretch.
        const std::int64_t low = static_cast<std::int64_t>(std::floor(std::min(a, b) + 0.5));
        const std::int64_t high = static_cast<std::int64_t>(std::ceil(std::max(a, b) - 0.5));
        visit(static_cast<int>(c), low, std::max(low, high));
    }
}
