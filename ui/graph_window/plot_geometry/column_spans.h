// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The pixels of many segments gathered per column, and the trace and spectrum lines rasterised
// that way: the same pixels as drawing every segment by the one-pixel rule, in time that grows
// with the samples and the pixels instead of with the segments.
#pragma once

#include "pixel_mapping.h"
#include "spectrum_scale.h"

#include "core/spectrum/filters.h"
#include "core/state/analysis_state.h"

#include <cstdint>
#include <limits>
#include <optional>
#include <vector>

// The rows lit in each column of a surface: one span a column, enough for the union of the
// segments of a polyline whose x never decreases.
class ColumnSpans
{
public:
    explicit ColumnSpans(int width);

    int Width() const { return static_cast<int>(low_.size()); }
    void Add(int column, std::int64_t low, std::int64_t high);
    // Keeps only the rows up to lastRow (rows count downward) of every span.
    void ClipRowsBelow(std::int64_t lastRow);
    bool Empty(int column) const { return low_[column] > high_[column]; }
    std::int64_t Low(int column) const { return low_[column]; }
    std::int64_t High(int column) const { return high_[column]; }
    bool Covers(int column, std::int64_t low, std::int64_t high) const
    {
        return low_[column] <= low && high_[column] >= high;
    }

private:
    std::vector<std::int64_t> low_;
    std::vector<std::int64_t> high_;
};

// The signal trace: RoundToCount(PeriodCount) periods of the N segments between the samples,
// each period 100 / PeriodCount wide, at y = s * 25 / SignalPeak + 70 (70 when the peak is 0);
// the same pixels as one segment at a time, for any number of periods.
ColumnSpans RasterizeTrace(const AnalysisState &state, const PixelMapping &mapping);
// Likewise with the peak of a kept scale: what lies below the signal band is left out.
ColumnSpans RasterizeTrace(const AnalysisState &state, const PixelMapping &mapping,
                           double signalPeak);

// A reference's trace behind the analysis `state`, over the same window of time (P / f of
// `state`): its periods at its own f, as many as begin within the window, each drawn as the
// trace is, on the scale of `signalPeak` and clipped to the signal band.
ColumnSpans RasterizeTraceOver(const AnalysisState &reference, const AnalysisState &state,
                               const PixelMapping &mapping, double signalPeak);

// The rows a dashed curve lights in one column, first .. last.
struct ColumnRun
{
    int column;
    std::int64_t first;
    std::int64_t last;
};
// The pixels of `spans` as a dash: `on` pixels lit, `off` left, counted along the curve column by
// column, each column's span walked from the end nearer where the curve left the column before;
// with `baseRow` (spectral lines, each a column of its own), every column starts afresh from the
// end nearer that row, so that the dashes of every line start at the base.
std::vector<ColumnRun> DashedRuns(const ColumnSpans &spans, int on, int off,
                                  std::optional<double> baseRow = std::nullopt);

// Any N + 1 values of one period (the sum of the harmonics, one harmonic's wave) drawn as the
// trace is, over the same periods at the same instants, on the scale of `signalPeak` (the
// signal's, or a kept scale's), clipped to the signal band: no row below y = 45, where the
// spectrum band begins.
ColumnSpans RasterizeSignalCurve(const AnalysisState &state, const double *values,
                                 const PixelMapping &mapping, double signalPeak);

// The spectral lines of harmonics 1 to RoundToCount(HarmonicCount): at x = 100 k / H from y = 0
// to 45 |S_k| / SpectrumPeak. SpectrumPeak must not be 0.
ColumnSpans RasterizeSpectralLines(const AnalysisState &state, const PixelMapping &mapping);
// The envelope over the lines: the spectrum of one pulse (PulseEnvelope) at every column's
// harmonic number x = H X / 100, as a polyline on the scale of the moduli or the decibels (down
// to the floor, where it stays at the band's bottom), no higher than the time axis. Nothing in
// the phases' view or without a largest line. Through `filter`, times |H| at each frequency: the
// envelope of the output's lines.
ColumnSpans RasterizeEnvelope(const AnalysisState &state, const PixelMapping &mapping,
                              const SpectrumScale &scale, const FilterSettings &filter = {});
// A filter's response across the band, one vertex a column at the column's frequency, clipped
// to the band: |H| on a scale of its own, 0 at the bottom and `responseTop` at the top, in the
// moduli's view; 20 log |H| on the decibels' grid (0 dB at its top); arg H in degrees on the
// phases' grid.
ColumnSpans RasterizeResponse(const AnalysisState &state, const FilterSettings &filter,
                              const PixelMapping &mapping, const SpectrumScale &scale,
                              double responseTop);
// Likewise on the scale of a view: from its base to each line's top, no line where it has none;
// harmonics first .. last alone where given.
ColumnSpans RasterizeSpectralLines(const AnalysisState &state, const PixelMapping &mapping,
                                   const SpectrumScale &scale, std::int64_t first = 1,
                                   std::int64_t last = -1);
