// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "column_spans.h"

#include "plot_bands.h"

#include "core/spectrum/pulse_shapes.h"
#include "core/spectrum/spectrum.h"
#include "core/state/harmonic_readings.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>

ColumnSpans::ColumnSpans(int width)
    : low_(static_cast<std::size_t>(std::max(width, 0)), std::numeric_limits<std::int64_t>::max()),
      high_(static_cast<std::size_t>(std::max(width, 0)), std::numeric_limits<std::int64_t>::min())
{ }

void ColumnSpans::ClipRowsBelow(std::int64_t lastRow)
{
    for (std::size_t c = 0; c < high_.size(); ++c)
        high_[c] = std::min(high_[c], lastRow); // a span wholly below becomes empty
}

void ColumnSpans::Add(int column, std::int64_t low, std::int64_t high)
{
    low_[column] = std::min(low_[column], low);
    high_[column] = std::max(high_[column], high);
}

// Drawing nP * N segments one by one costs time in their number (1e10 and more). Three speed-ups
// bring it down to the samples of one period and the pixels; their only guarantee is the same
// pixels as drawing every segment by the one-pixel rule, which tst_column_spans checks:
// 1. Within a period x never decreases, so the vertices that fall in one column follow each
//    other: a galloping search finds the last of them, and the segments between them, vertical
//    inside that column, light the rows between their lowest and highest (RasterizePeriod).
// 2. A vertex's row depends on its sample alone, not on its period, so the lowest and highest
//    row of each block of BlockSize samples are computed once and answer those row ranges
//    (TraceVertices).
// 3. A period whose columns are all lit already from the trace's lowest to its highest row adds
//    nothing, since every pixel it lights lies in those columns and rows; such periods are
//    skipped, and a run of them that fits in one column at once (RasterizeTrace).

namespace {

// The trace's vertices: vertex i of period j ends segment i - 1 and starts segment i, at the
// single-precision coordinates the one-segment-at-a-time drawing hands over. `values` holds the
// N + 1 values of one period (the samples, or the sum of the harmonics), drawn on the signal's
// scale.
class TraceVertices
{
public:
    TraceVertices(const AnalysisState &state, const double *values, const PixelMapping &mapping,
                  double signalPeak, double periodsAcross)
        : values_(values), peak_(signalPeak), mapping_(mapping), n_(state.SampleCount),
          w_(100 / periodsAcross)
    {
        // The rows are the same in every period; the minimum and maximum of each block of them
        // answer range queries without a row per sample in memory.
        const std::int64_t blocks = n_ / BlockSize + 1;
        blockLow_.assign(static_cast<std::size_t>(blocks),
                         std::numeric_limits<std::int64_t>::max());
        blockHigh_.assign(static_cast<std::size_t>(blocks),
                          std::numeric_limits<std::int64_t>::min());
        for (std::int64_t i = 0; i <= n_; ++i) {
            const std::int64_t r = Row(i);
            auto &low = blockLow_[static_cast<std::size_t>(i / BlockSize)];
            auto &high = blockHigh_[static_cast<std::size_t>(i / BlockSize)];
            low = std::min(low, r);
            high = std::max(high, r);
        }
        lowest_ = *std::min_element(blockLow_.begin(), blockLow_.end());
        highest_ = *std::max_element(blockHigh_.begin(), blockHigh_.end());
    }

    float X(std::int64_t i, std::int64_t j) const
    {
        return static_cast<float>(w_ * double(j - 1) + (w_ * double(i)) / double(n_));
    }
    float Y(std::int64_t i) const
    {
        return static_cast<float>(PlotBands::SignalY(values_[i], peak_));
    }
    double ColumnPosition(std::int64_t i, std::int64_t j) const { return mapping_.Column(X(i, j)); }
    double RowPosition(std::int64_t i) const { return mapping_.Row(Y(i)); }
    std::int64_t Column(std::int64_t i, std::int64_t j) const
    {
        return NearestPixel(ColumnPosition(i, j));
    }
    std::int64_t Row(std::int64_t i) const { return NearestPixel(RowPosition(i)); }

    std::int64_t Lowest() const { return lowest_; }
    std::int64_t Highest() const { return highest_; }

    // Lowest and highest row of the vertices first .. last.
    std::pair<std::int64_t, std::int64_t> RowRange(std::int64_t first, std::int64_t last) const
    {
        std::int64_t low = std::numeric_limits<std::int64_t>::max();
        std::int64_t high = std::numeric_limits<std::int64_t>::min();
        std::int64_t i = first;
        for (; i <= last && i % BlockSize != 0; ++i) {
            low = std::min(low, Row(i));
            high = std::max(high, Row(i));
        }
        for (; i + BlockSize - 1 <= last; i += BlockSize) {
            low = std::min(low, blockLow_[static_cast<std::size_t>(i / BlockSize)]);
            high = std::max(high, blockHigh_[static_cast<std::size_t>(i / BlockSize)]);
        }
        for (; i <= last; ++i) {
            low = std::min(low, Row(i));
            high = std::max(high, Row(i));
        }
        return {low, high};
    }

    std::int64_t SampleCount() const { return n_; }

private:
    // A row range visits at most 2 * 63 vertices one by one and one entry per block between:
    // the tables take 1/32 of the samples' memory, and a column of a few hundred samples (a
    // period of 1e6 samples over the plot's width) costs about a hundred rows, not all of them.
    static constexpr std::int64_t BlockSize = 64;
    const double *values_;
    double peak_;
    const PixelMapping &mapping_;
    std::int64_t n_;
    double w_;
    std::vector<std::int64_t> blockLow_;
    std::vector<std::int64_t> blockHigh_;
    std::int64_t lowest_ = 0;
    std::int64_t highest_ = 0;
};

// Largest index in [from, to] for which inColumn holds, given that it holds at `from` and that
// it holds on a prefix of the range. The step doubles until it overshoots, then halves: the cost
// grows with the log of the answer's distance, so short runs cost as little as long ones.
template<typename Predicate>
std::int64_t LastWhere(std::int64_t from, std::int64_t to, Predicate inColumn)
{
    std::int64_t step = 1;
    std::int64_t good = from;
    while (good + step <= to && inColumn(good + step)) {
        good += step;
        step *= 2;
    }
    std::int64_t bad = std::min(to + 1, good + step);
    while (bad - good > 1) {
        const std::int64_t middle = good + (bad - good) / 2;
        (inColumn(middle) ? good : bad) = middle;
    }
    return good;
}

// One period, column by column: the vertices in a column light the rows between their lowest
// and highest (the segments between them are vertical there), and each segment that crosses to
// another column is drawn by the one-pixel rule.
void RasterizePeriod(const TraceVertices &v, std::int64_t j, ColumnSpans &spans)
{
    const std::int64_t n = v.SampleCount();
    const int width = spans.Width();
    std::int64_t i = 0;
    while (i <= n) {
        const std::int64_t column = v.Column(i, j);
        if (column >= width)
            return;
        const std::int64_t last
            = LastWhere(i, n, [&](std::int64_t k) { return v.Column(k, j) == column; });
        if (column >= 0) {
            const auto [low, high] = v.RowRange(i, last);
            spans.Add(static_cast<int>(column), low, high);
        }
        if (last < n)
            RasterizeSegment(
                v.ColumnPosition(last, j), v.RowPosition(last), v.ColumnPosition(last + 1, j),
                v.RowPosition(last + 1), width,
                [&](int c, std::int64_t low, std::int64_t high) { spans.Add(c, low, high); });
        i = last + 1;
    }
}

// `periods` of them drawn, each 100 / periodsAcross wide: those of the analysis, or as many of
// a reference's as begin within another's window.
ColumnSpans RasterizePolyline(const AnalysisState &state, const double *values,
                              const PixelMapping &mapping, double signalPeak, double periodsAcross,
                              std::int64_t periods)
{
    ColumnSpans spans(mapping.width);
    if (periods < 1 || state.SampleCount < 1 || !(periodsAcross > 0))
        return spans;
    const TraceVertices v(state, values, mapping, signalPeak, periodsAcross);
    const std::int64_t n = v.SampleCount();
    const int width = spans.Width();
    const auto full = [&](std::int64_t c) {
        return c < 0 || c >= width || spans.Covers(static_cast<int>(c), v.Lowest(), v.Highest());
    };
    // Periods are drawn left to right; one that falls in columns already lit from the lowest to
    // the highest row of the trace adds nothing, and neither do the narrow periods after it in
    // the same column.
    for (std::int64_t j = 1; j <= periods;) {
        const std::int64_t first = v.Column(0, j);
        const std::int64_t last = v.Column(n, j);
        if (first >= width)
            break;
        if (first == last && full(first)) {
            j = LastWhere(j, periods, [&](std::int64_t p) { return v.Column(n, p) == first; }) + 1;
            continue;
        }
        // Periods follow each other left to right and share at most their boundary columns, so
        // one wider than five columns always reaches a column no earlier period has lit: the
        // test is exact at any width, and this bound only spares it where it cannot succeed.
        if (last - first <= 4) {
            bool covered = true;
            for (std::int64_t c = first; c <= last && covered; ++c)
                covered = full(c);
            if (covered) {
                ++j;
                continue;
            }
        }
        RasterizePeriod(v, j, spans);
        ++j;
    }
    return spans;
}

ColumnSpans RasterizePolyline(const AnalysisState &state, const double *values,
                              const PixelMapping &mapping, double signalPeak)
{
    return RasterizePolyline(state, values, mapping, signalPeak, state.PeriodCount,
                             RoundToCount(state.PeriodCount));
}

} // namespace

ColumnSpans RasterizeTrace(const AnalysisState &state, const PixelMapping &mapping)
{
    return RasterizePolyline(state, state.Samples.data(), mapping, state.SignalPeak);
}

ColumnSpans RasterizeTraceOver(const AnalysisState &reference, const AnalysisState &state,
                               const PixelMapping &mapping, double signalPeak)
{
    // The window's length in the reference's periods: P / f of the analysis, times its f.
    const double across = state.PeriodCount / state.Frequency * reference.Frequency;
    if (!std::isfinite(across) || !(across > 0) || across > 1e9)
        return ColumnSpans(mapping.width);
    ColumnSpans spans = RasterizePolyline(reference, reference.Samples.data(), mapping, signalPeak,
                                          across, static_cast<std::int64_t>(std::ceil(across)));
    spans.ClipRowsBelow(
        static_cast<std::int64_t>(std::floor(mapping.Row(PlotBands::SignalBandBottomY))));
    return spans;
}

std::vector<ColumnRun> DashedRuns(const ColumnSpans &spans, int on, int off,
                                  std::optional<double> baseRow)
{
    std::vector<ColumnRun> runs;
    const int period = on + off;
    if (on < 1 || off < 0)
        return runs;
    std::int64_t along = 0; // the pixels lit before, along the curve
    std::int64_t lastRow = 0;
    bool joined = false;
    for (int c = 0; c < spans.Width(); ++c) {
        if (spans.Empty(c)) {
            joined = false;
            continue;
        }
        const std::int64_t low = spans.Low(c), high = spans.High(c);
        // Down the column from the end nearer the base, or the one nearer where the curve left
        // the column before.
        const double from = baseRow ? *baseRow : joined ? double(lastRow) : double(low);
        const bool downward = std::abs(from - double(low)) <= std::abs(from - double(high));
        if (baseRow)
            along = 0;
        const std::int64_t count = high - low + 1;
        for (std::int64_t p = 0; p < count;) {
            const std::int64_t phase = (along + p) % period;
            const std::int64_t length
                = std::min(count - p, phase < on ? on - phase : period - phase);
            if (phase < on) {
                const std::int64_t first = downward ? low + p : high - p - length + 1;
                runs.push_back({c, first, first + length - 1});
            }
            p += length;
        }
        along += count;
        lastRow = downward ? high : low;
        joined = true;
    }
    return runs;
}

ColumnSpans RasterizeTrace(const AnalysisState &state, const PixelMapping &mapping,
                           double signalPeak)
{
    if (signalPeak == state.SignalPeak)
        return RasterizeTrace(state, mapping);
    ColumnSpans spans = RasterizePolyline(state, state.Samples.data(), mapping, signalPeak);
    spans.ClipRowsBelow(
        static_cast<std::int64_t>(std::floor(mapping.Row(PlotBands::SignalBandBottomY))));
    return spans;
}

ColumnSpans RasterizeSignalCurve(const AnalysisState &state, const double *values,
                                 const PixelMapping &mapping, double signalPeak)
{
    ColumnSpans spans = RasterizePolyline(state, values, mapping, signalPeak);
    // The sum overshoots the signal; the spectrum band below the signal's lowest y stays its own.
    spans.ClipRowsBelow(
        static_cast<std::int64_t>(std::floor(mapping.Row(PlotBands::SignalBandBottomY))));
    return spans;
}

namespace {

// A curve across the spectrum band, one vertex a column at the row `rowAt` gives for the
// column's harmonic number, as a polyline; on the logarithmic axis it starts with the decades,
// right of the DC component.
template<typename RowAt>
ColumnSpans RasterizeBandCurve(const AnalysisState &state, const PixelMapping &mapping,
                               const SpectrumScale &scale, const RowAt &rowAt)
{
    ColumnSpans spans(mapping.width);
    int first = 0;
    while (scale.LogFrequency() && first < mapping.width
           && mapping.UserX(first) < SpectrumScale::LogStartX)
        ++first;
    if (first >= mapping.width)
        return spans;
    const auto rowOf
        = [&](int column) { return rowAt(scale.HarmonicAt(state, mapping.UserX(column))); };
    double previous = rowOf(first);
    for (int c = first; c + 1 < mapping.width; ++c) {
        const double next = rowOf(c + 1);
        RasterizeSegment(
            c, previous, c + 1, next, mapping.width,
            [&](int column, std::int64_t low, std::int64_t high) { spans.Add(column, low, high); });
        previous = next;
    }
    return spans;
}

} // namespace

ColumnSpans RasterizeEnvelope(const AnalysisState &state, const PixelMapping &mapping,
                              const SpectrumScale &scale, const FilterSettings &filter)
{
    if (scale.View() == SpectrumView::Phases || !(state.SpectrumPeak > 0))
        return ColumnSpans(mapping.width);
    return RasterizeBandCurve(state, mapping, scale, [&](double harmonic) {
        const double value = PulseEnvelope(state.Shape, state.Amplitude, state.DutyCycle, harmonic)
            * std::abs(FilterResponse(filter, harmonic * state.Frequency));
        const double y = scale.View() == SpectrumView::Moduli
            ? PlotBands::SpectrumY(value, scale.Peak())
            : scale.LevelY(DecibelsOf(value / scale.Peak()));
        return mapping.Row(static_cast<float>(std::min(y, PlotBands::TimeAxisY)));
    });
}

ColumnSpans RasterizeResponse(const AnalysisState &state, const FilterSettings &filter,
                              const PixelMapping &mapping, const SpectrumScale &scale,
                              double responseTop)
{
    return RasterizeBandCurve(state, mapping, scale, [&](double harmonic) {
        const std::complex<double> h = FilterResponse(filter, harmonic * state.Frequency);
        double y = 0;
        switch (scale.View()) {
        case SpectrumView::Moduli:
            y = PlotBands::SpectrumY(std::abs(h), responseTop);
            break;
        case SpectrumView::Decibels:
            y = scale.LevelY(DecibelsOf(std::abs(h)));
            break;
        case SpectrumView::Phases:
            y = scale.PhaseY(std::arg(h) * 180 / std::numbers::pi);
            break;
        }
        const double top = PlotBands::SpectrumBottomY + PlotBands::SpectrumPeakUnits;
        return mapping.Row(static_cast<float>(std::clamp(y, PlotBands::SpectrumBottomY, top)));
    });
}

ColumnSpans RasterizeSpectralLines(const AnalysisState &state, const PixelMapping &mapping)
{
    return RasterizeSpectralLines(state, mapping, SpectrumScale::Of(state, SpectrumView::Moduli));
}

ColumnSpans RasterizeSpectralLines(const AnalysisState &state, const PixelMapping &mapping,
                                   const SpectrumScale &scale, std::int64_t first,
                                   std::int64_t last)
{
    ColumnSpans spans(mapping.width);
    const std::int64_t harmonics = HarmonicsHeld(state);
    const double bottom = mapping.Row(static_cast<float>(scale.BaseY()));
    for (std::int64_t k = std::max<std::int64_t>(first, 1);
         k <= (last < 0 ? harmonics : std::min(last, harmonics)); ++k) {
        const std::optional<double> top = scale.LineTop(state, k);
        if (!top)
            continue;
        const double x = scale.HarmonicX(state, static_cast<double>(k));
        // Beyond a kept scale a line stops at the band's top (the drawing marks it there).
        const double y = std::min(*top, PlotBands::SpectrumPeakUnits);
        const double column = mapping.Column(static_cast<float>(x));
        RasterizeSegment(
            column, bottom, column, mapping.Row(static_cast<float>(y)), mapping.width,
            [&](int c, std::int64_t low, std::int64_t high) { spans.Add(c, low, high); });
    }
    return spans;
}
