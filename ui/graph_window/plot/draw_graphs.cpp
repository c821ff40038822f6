// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "draw_graphs.h"

#include "measure_labels.h"
#include "plot_area.h"
#include "plot_layers.h"
#include "plot_overlays.h"
#include "shown_analysis.h"
#include "spectrum_views.h"
#include "ui/graph_window/plot_geometry/axis_ticks.h"
#include "ui/graph_window/plot_geometry/column_spans.h"
#include "ui/graph_window/plot_geometry/plot_bands.h"
#include "ui/graph_window/plot_geometry/plot_palette.h"

#include "ui/window_texts.h"

#include "core/spectrum/filters.h"
#include "core/spectrum/pulse_shapes.h"
#include "core/spectrum/spectrum.h"
#include "core/state/analysis_state.h"
#include "core/state/harmonic_readings.h"
#include "core/state/result_list.h"
#include "core/texts/units.h"

#include <QColor>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <vector>

namespace {

using PlotPalette::Opaque;
constexpr QRgb SignalColour = Opaque(PlotPalette::Signal);
constexpr QRgb SpectrumColour = Opaque(PlotPalette::Spectrum);
constexpr QRgb DcColour = Opaque(PlotPalette::DcComponent);
constexpr QRgb GridColour = Opaque(PlotPalette::Grid);
constexpr QRgb GridTextColour = Opaque(PlotPalette::GridText);
constexpr QRgb BackgroundColour = Opaque(PlotPalette::Background);
constexpr QRgb EnvelopeColour = Opaque(PlotPalette::Envelope);
constexpr QRgb SpectrumPaleColour = Opaque(PlotPalette::SpectrumPale);
constexpr QRgb DcPaleColour = Opaque(PlotPalette::DcPale);
constexpr QRgb OutputColour = Opaque(PlotPalette::FilterOutput);
constexpr QRgb ResponseColour = Opaque(PlotPalette::Response);
constexpr QRgb ReferenceColour = Opaque(PlotPalette::Reference);

// The reference's dash, in pixels at the plot's own scale: lit, then left.
constexpr int DashOn = 6;
constexpr int DashOff = 4;

void FillDashed(PlotArea &plot, const ColumnSpans &spans, std::optional<double> baseRow = {})
{
    const int scale = std::max(1, plot.Style().renderScale);
    for (const ColumnRun &run : DashedRuns(spans, DashOn * scale, DashOff * scale, baseRow))
        plot.FillColumn(run.column, run.first, run.last, ReferenceColour);
}

// The reference behind the analysis: its trace dashed over the same window of time, at its own
// frequency.
void DrawReferenceTrace(PlotArea &plot, const ShownAnalysis &shown, const SpectrumScale &scale)
{
    if (const AnalysisState *reference = shown.Reference())
        FillDashed(plot,
                   RasterizeTraceOver(*reference, shown(), plot.Mapping(), scale.SignalPeak()));
}

// Its lines, dashed from the base at its own frequencies, and its DC component's segment beside
// the analysis's; their tops are marked over every line (DrawReferenceTops).
void DrawReferenceLines(PlotArea &plot, const ShownAnalysis &shown, const SpectrumScale &scale)
{
    const AnalysisState *reference = shown.Reference();
    if (!reference || !(reference->SpectrumPeak > 0))
        return;
    const double base = plot.Mapping().Row(static_cast<float>(scale.BaseY()));
    FillDashed(plot, RasterizeSpectralLines(*reference, plot.Mapping(), scale), base);
    if (const std::optional<double> yd = scale.DcTop(*reference)) {
        ColumnSpans dc(plot.Mapping().width);
        const auto bottom = static_cast<float>(PlotBands::SpectrumBottomY);
        RasterizeSegment(plot.Mapping().Column(0.35f), plot.Mapping().Row(bottom),
                         plot.Mapping().Column(0.35f), plot.Mapping().Row(float(*yd)),
                         plot.Mapping().width,
                         [&](int c, std::int64_t low, std::int64_t high) { dc.Add(c, low, high); });
        FillDashed(plot, dc, base);
    }
}

// A short bar across the top of each of the reference's lines, over the analysis's lines, so
// that a reference line shorter than the analysis's still shows where it ends.
void DrawReferenceTops(PlotArea &plot, const ShownAnalysis &shown, const SpectrumScale &scale)
{
    const AnalysisState *reference = shown.Reference();
    if (!reference || !(reference->SpectrumPeak > 0))
        return;
    const std::int64_t lines = scale.LinesInSpan(*reference);
    const double spacing = scale.HarmonicX(*reference, 2) - scale.HarmonicX(*reference, 1);
    // Bars no wider than the lines' spacing, and none where the lines stand closer than that.
    const double half = std::min(0.4, 0.3 * std::abs(spacing));
    if (lines > 0
        && plot.Mapping().Column(static_cast<float>(2 * half)) - plot.Mapping().Column(0.0f) < 3)
        return;
    for (std::int64_t k = 1; k <= lines; ++k) {
        const std::optional<double> y = scale.LineTop(*reference, k);
        if (!y || *y > PlotBands::SpectrumPeakUnits || WithinNoise(*reference, k))
            continue;
        const double x = scale.HarmonicX(*reference, static_cast<double>(k));
        plot.Line(static_cast<float>(x - half), static_cast<float>(*y),
                  static_cast<float>(x + half), static_cast<float>(*y), ReferenceColour);
    }
}

void DrawFrame(PlotArea &plot)
{
    for (int c = 100; c >= 1; c -= 10)
        plot.Line(0, float(c), 0.2f, float(c));
    for (int d = 0; d <= 100; d += 10)
        plot.Line(float(d), 0, float(d), 0.5f);
    const auto timeAxis = static_cast<float>(PlotBands::TimeAxisY);
    plot.Line(0, timeAxis, 100, timeAxis, SignalColour);
    plot.Line(0, PlotBands::FrequencyAxisY, 100, PlotBands::FrequencyAxisY, SpectrumColour);
}

// Each period is 100 / P wide; the last segment of a period ends on the axis where the next
// period's first one starts. An all-zero signal (a zero peak) is drawn flat on the axis. The
// nP * N segments are gathered column by column: the pixels are those of drawing each segment,
// at a cost that does not grow with their number.
void DrawTrace(PlotArea &plot, const AnalysisState &state, const SpectrumScale &scale)
{
    plot.Fill(RasterizeTrace(state, plot.Mapping(), scale.SignalPeak()), SignalColour);
}

// The grid of the decibels' or the phases' view, under the lines: a grey line across the band at
// each value, labelled at its left.
void DrawGrid(PlotArea &plot, const SpectrumScale &scale)
{
    const ResultDeclaration &read
        = ScaleOf(scale.View() == SpectrumView::Phases ? ReadAs::PhaseScale : ReadAs::LevelScale);
    const QString unit = QString::fromStdU16String(std::u16string(read.unit));
    const auto grid = scale.Grid();
    for (const SpectrumScale::GridLine &line : grid)
        plot.Line(0, float(line.y), 100, float(line.y), GridColour);
    // The values over the lines, each on a patch of the background down to its baseline, so that
    // a line close above never crosses it; every patch before any value, so that no patch covers
    // another line's value.
    std::vector<QString> texts;
    for (const SpectrumScale::GridLine &line : grid) {
        const QString value = LocaleNumber(line.value, ScaleValue(0));
        // "-20 dB", "90°": a space before a unit of letters, none before the degree sign.
        texts.push_back(scale.View() == SpectrumView::Decibels ? value + ' ' + unit : value + unit);
        const PlotArea::TextPixels at = plot.PrintedAt(0.5f, float(line.y), texts.back());
        // Rows from the text's top to just above its own line, however wide the lines are drawn
        // (FillColumn widens what it lights by half a line each way).
        const std::int64_t half = (plot.LineWidth() - 1) / 2;
        const auto lineRow
            = static_cast<std::int64_t>(std::floor(plot.Mapping().Row(line.y) + 0.5));
        const auto top = static_cast<std::int64_t>(std::floor(at.top));
        for (int c = at.left; c <= at.right; ++c)
            plot.FillColumn(c, top + half, lineRow - 2 * half - 1, BackgroundColour);
    }
    for (std::size_t g = 0; g < grid.size(); ++g)
        plot.Print(0.5f, float(grid[g].y), texts[g], GridTextColour);
}

// One line per harmonic; the three DC segments go on top after every line, so after
// the last one they cover whatever lines share their columns. Nothing when every modulus is
// zero: the scale would divide by zero.
// On a kept scale a line taller than the band stops at its top, where a short bar across it
// marks that it goes on.
void DrawClipMarks(PlotArea &plot, const AnalysisState &state, const SpectrumScale &scale)
{
    if (!scale.Kept() || scale.View() == SpectrumView::Phases)
        return;
    const auto top = static_cast<float>(PlotBands::SpectrumPeakUnits);
    for (std::int64_t k = 1; k <= HarmonicsHeld(state); ++k) {
        const std::optional<double> y = scale.LineTop(state, k);
        if (!y || *y <= PlotBands::SpectrumPeakUnits)
            continue;
        const auto x = static_cast<float>(scale.HarmonicX(state, static_cast<double>(k)));
        plot.Line(x - 0.4f, top, x + 0.4f, top, SpectrumColour);
    }
}

QString Unit(std::u16string_view unit)
{
    return QString::fromUtf16(unit.data(), qsizetype(unit.size()));
}

// Prints `text` at (x, y), moved left as far as it would run past the plot's right edge; on a
// patch of the background where `patch`, so that the lines under it do not cross it.
void PrintWithin(PlotArea &plot, float x, float y, const QString &text, QRgb colour,
                 bool patch = true)
{
    const PixelMapping &mapping = plot.Mapping();
    const int past = plot.PrintedAt(x, y, text).right - (mapping.width - 1);
    if (past > 0)
        x -= static_cast<float>(mapping.UserX(past) - mapping.UserX(0));
    const PlotArea::TextPixels box = plot.PrintedAt(x, y, text);
    for (int c = box.left; patch && c <= box.right; ++c)
        plot.FillColumn(c, static_cast<std::int64_t>(std::floor(box.top)),
                        static_cast<std::int64_t>(std::ceil(box.bottom)), BackgroundColour);
    plot.Print(x, y, text, colour);
}

// The logarithmic frequency axis: a tick at each decade, labelled with its frequency in the
// axis's unit that writes it under a thousand, and shorter ticks at 2 to 9 times it.
void DrawDecades(PlotArea &plot, const AnalysisState &state, const SpectrumScale &scale)
{
    const QRgb fore = plot.ForeColor();
    const double low = scale.LowestHarmonic(state), high = scale.HighestHarmonic(state);
    const auto axis = static_cast<float>(PlotBands::FrequencyAxisY);
    for (double decade = low; decade <= high * (1 + 1e-12); decade *= 10) {
        for (int m = 1; m <= 9; ++m) {
            const double k = decade * m;
            if (k > high * (1 + 1e-12))
                break;
            const auto x = static_cast<float>(scale.HarmonicX(state, k));
            plot.Line(x, axis, x, axis + (m == 1 ? 1.5f : 0.7f), fore);
        }
        double value = Kilohertz(decade * state.Frequency);
        std::size_t unit = 0;
        while (value >= 999.5 && unit + 1 < FrequencyAxisUnits.size()) {
            value /= 1000;
            ++unit;
        }
        const int decimals = value < 1 ? static_cast<int>(std::ceil(-std::log10(value) - 1e-9)) : 0;
        PrintWithin(
            plot, static_cast<float>(scale.HarmonicX(state, decade)), axis + 2.5f,
            LocaleNumber(value, ScaleValue(decimals)) + ' ' + Unit(FrequencyAxisUnits[unit]), fore);
    }
}

// The envelope's zeros on the frequency axis, each with a short tick and, where it does not run
// into the one before, its frequency over Ti, in the envelope's colour.
void DrawEnvelopeZeros(PlotArea &plot, const AnalysisState &state, const SpectrumScale &scale)
{
    constexpr std::size_t Most = 200; // more would be a comb, not marks
    const auto axis = static_cast<float>(PlotBands::FrequencyAxisY);
    int lastRight = std::numeric_limits<int>::min();
    for (const EnvelopeZero &zero :
         EnvelopeZerosWithin(state.Shape, state.DutyCycle, scale.HighestHarmonic(state), Most)) {
        const double x = scale.HarmonicX(state, zero.harmonic);
        if (x > 100)
            break;
        const auto at = static_cast<float>(x);
        plot.Line(at, axis, at, axis + 1.5f, EnvelopeColour);
        const QString text
            = (MathOf(state.Shape).zeros.denominator == 2 ? QTextOf(UiText::EnvelopeZeroHalf)
                                                          : QTextOf(UiText::EnvelopeZero))
                  .arg(zero.numerator);
        const PlotArea::TextPixels box = plot.PrintedAt(at, axis + 5.5f, text);
        if (box.left <= lastRight + 4)
            continue;
        PrintWithin(plot, at, axis + 5.5f, text, EnvelopeColour, false); // the curve stays whole
        lastRight = box.right;
    }
}

// The reference slopes of -20 and -40 dB per decade, from the first harmonic's top down to the
// floor or the right edge, each labelled at its end.
void DrawSlopes(PlotArea &plot, const AnalysisState &state, const SpectrumScale &scale)
{
    if (!(scale.Peak() > 0) || HarmonicsHeld(state) < 1 || WithinNoise(state, 1))
        return;
    const double first = DecibelsOf(state.Magnitudes[1] / scale.Peak());
    const double high = scale.HighestHarmonic(state);
    for (const double slope : {-20.0, -40.0}) {
        // Where the slope meets the floor, or the right edge before it.
        const double end = std::min(high, std::pow(10.0, (scale.FloorDb() - first) / slope));
        if (!(end > 1))
            continue;
        const auto x1 = static_cast<float>(scale.HarmonicX(state, 1));
        const auto x2 = static_cast<float>(scale.HarmonicX(state, end));
        const auto y1 = static_cast<float>(scale.LevelY(first));
        const auto y2 = static_cast<float>(scale.LevelY(first + slope * std::log10(end)));
        plot.Line(x1, y1, x2, y2, GridTextColour);
        // The label half way along the line, under it and ending there: the line falls to the
        // right, so that it runs above the whole label.
        const QString text = QTextOf(UiText::SlopeLabel).arg(LocaleNumber(slope, ScaleValue(0)));
        const PixelMapping &mapping = plot.Mapping();
        const float x = x1 + 0.5f * (x2 - x1), y = y1 + 0.5f * (y2 - y1);
        const PlotArea::TextPixels box = plot.PrintedAt(x, y, text);
        const double right = mapping.Column(x) - 2, top = mapping.Row(y) + 3;
        PrintWithin(plot, static_cast<float>(mapping.UserX(mapping.Column(x) + right - box.right)),
                    static_cast<float>(mapping.UserY(mapping.Row(y) + top - box.top)), text,
                    GridTextColour);
    }
}

// The filter's response over the lines, with its own scale at the right edge: |H| from 0 to its
// peak (at least 1) with ticks in the moduli's view; in the decibels' and the phases' views, on
// their grids, its name alone.
void DrawResponse(PlotArea &plot, const ShownAnalysis &shown, const SpectrumScale &scale)
{
    const AnalysisState &state = shown();
    const double top = ResponsePeak(shown.Filter());
    plot.Fill(RasterizeResponse(state, shown.Filter(), plot.Mapping(), scale, top), ResponseColour);
    const auto bandTop
        = static_cast<float>(PlotBands::SpectrumBottomY + PlotBands::SpectrumPeakUnits);
    if (scale.View() == SpectrumView::Moduli) {
        const AxisTicks ticks = NiceTicks(0, top, 5);
        for (const double v : ticks.values) {
            const auto at = static_cast<float>(PlotBands::SpectrumY(v, top));
            plot.Line(99.2f, at, 100, at, ResponseColour);
            if (v != 0 && at < bandTop - 3)
                PrintWithin(plot, 99, at, LocaleNumber(v, ScaleValue(ticks.decimals)),
                            ResponseColour);
        }
    }
    const QString name = scale.View() == SpectrumView::Phases ? QTextOf(UiText::ResponsePhaseLabel)
        : scale.View() == SpectrumView::Decibels ? QTextOf(UiText::ResponseLabel) + " dB"
                                                 : QTextOf(UiText::ResponseLabel);
    PrintWithin(plot, 99, bandTop, name, ResponseColour);
}

// Ticks up the left edge with their values and `unit`, at the heights `y` gives; none at 0.
template<typename Y>
void LeftEdgeValues(PlotArea &plot, const AxisTicks &ticks, const Y &y, const QString &unit)
{
    const QRgb fore = plot.ForeColor();
    for (const double v : ticks.values) {
        const auto at = static_cast<float>(y(v));
        plot.Line(0, at, 0.8f, at, fore);
        if (v != 0)
            plot.Print(0.8f, at, LocaleNumber(v, ScaleValue(ticks.decimals)) + ' ' + unit, fore);
    }
}

// Values and units on the scales, in the fore colour: the time along the time axis and the signal
// up the left edge of the upper graph, the frequency along the frequency axis and, on the linear
// scale, the modulus up the left edge of the lower one (the decibels' and the phases' grids carry
// their own). Ticks at multiples of 1, 2 or 5 times a power of ten; a value that would run past
// the right edge is left out.
// Where a frequency's value is printed: on its line of text above the axis, or, where a spectral
// line would cross it there, lifted just clear of the lines under it; nothing where that would
// leave the spectrum band.
std::optional<float> ClearOfLines(const PlotArea &plot, const ColumnSpans *lines, float x, float y,
                                  const QString &text)
{
    const PlotArea::TextPixels box = plot.PrintedAt(x, y, text);
    if (!lines)
        return y;
    std::int64_t top = std::numeric_limits<std::int64_t>::max();
    for (int c = std::max(box.left, 0); c <= std::min(box.right, lines->Width() - 1); ++c)
        if (!lines->Empty(c))
            top = std::min(top, lines->Low(c));
    if (double(top) > box.bottom + 1)
        return y;
    const PixelMapping &mapping = plot.Mapping();
    // The baseline two rows above the tallest line, less the text's depth below it.
    const double lift = std::ceil(box.bottom + 2 - double(top));
    if (box.top - lift < mapping.Row(static_cast<float>(PlotBands::SpectrumPeakUnits)))
        return std::nullopt;
    return static_cast<float>(mapping.UserY(std::floor(mapping.Row(y) + 0.5) - lift));
}

void DrawAxisValues(PlotArea &plot, const AnalysisState &state, const SpectrumScale &scale,
                    const ColumnSpans *lines)
{
    const QRgb fore = plot.ForeColor();
    const auto timeAxis = static_cast<float>(PlotBands::TimeAxisY);
    constexpr double LastLabelX = 94;
    constexpr float Below = 2.8f; // a line of text under an axis, in user units
    // Each axis in the unit in which its values need no thousands separator.
    const UnitTicks times = TicksInUnits(Microseconds(state.PeriodCount, state.Frequency), 8,
                                         LastLabelX / 100, TimeAxisUnits.size());
    for (const double t : times.ticks.values) {
        const auto x = static_cast<float>(t / times.total * 100);
        plot.Line(x, timeAxis, x, timeAxis + 1, fore);
        if (x <= LastLabelX)
            plot.Print(x, timeAxis - Below,
                       LocaleNumber(t, ScaleValue(times.ticks.decimals)) + ' '
                           + Unit(TimeAxisUnits[times.unit]),
                       fore);
    }
    const double peak = scale.SignalPeak();
    const bool below = state.Amplitude < 0;
    LeftEdgeValues(
        plot, NiceTicks(below ? -peak : 0, below ? 0 : peak, 6),
        [&](double v) { return PlotBands::SignalY(v, peak); },
        Unit(ScaleOf(ReadAs::SignalScale).unit));
    const UnitTicks frequencies
        = TicksInUnits(Kilohertz(scale.HarmonicSpan(state) * state.Frequency), 8, LastLabelX / 100,
                       FrequencyAxisUnits.size());
    // The logarithmic axis carries its decades whether or not the values are on.
    for (const double f : scale.LogFrequency() ? std::vector<double>() : frequencies.ticks.values) {
        const auto x = static_cast<float>(f / frequencies.total * 100);
        plot.Line(x, PlotBands::FrequencyAxisY, x, PlotBands::FrequencyAxisY + 1, fore);
        if (x > LastLabelX || f == 0)
            continue;
        const QString text = LocaleNumber(f, ScaleValue(frequencies.ticks.decimals)) + ' '
            + Unit(FrequencyAxisUnits[frequencies.unit]);
        if (const auto y = ClearOfLines(plot, lines, x, PlotBands::FrequencyAxisY + 2.5f, text))
            plot.Print(x, *y, text, fore);
    }
    if (scale.View() != SpectrumView::Moduli || !(scale.Peak() > 0))
        return;
    LeftEdgeValues(
        plot, NiceTicks(0, scale.Peak(), 6),
        [&](double m) { return PlotBands::SpectrumY(m, scale.Peak()); },
        Unit(ScaleOf(ReadAs::ModulusScale).unit));
}

} // namespace

void DrawDcLine(PlotArea &plot, const AnalysisState &state, const SpectrumScale &scale, bool pale)
{
    const std::optional<double> yd = scale.DcTop(state);
    if (!yd)
        return;
    const auto bottom = static_cast<float>(PlotBands::SpectrumBottomY);
    for (const float x : {0.0f, 0.1f, 0.2f})
        plot.Line(x, bottom, x, float(*yd), pale ? DcPaleColour : DcColour);
}

bool DrawGraphLayers(PlotArea &plot, const ShownAnalysis &shown, const SpectrumScale &scale,
                     const LayerEntries &layers, bool slopes)
{
    const AnalysisState &state = shown();
    const bool filtered = shown.Filtered();
    plot.Scale(0, 100, 100, 0);
    DrawFrame(plot);
    // No spectrum when every modulus is zero (the scale would divide by zero) or no harmonic is
    // asked for; the phases have no envelope.
    const bool spectrum = state.SpectrumPeak != 0 && HarmonicsHeld(state) >= 1;
    bool envelope = false;
    std::optional<ColumnSpans> lines; // the spectral lines drawn, which no value crosses
    for (const LayerDeclaration &layer : PaintOrder) {
        if (layer.overGraphs || !layers.On(layer.layer))
            continue;
        switch (layer.layer) {
        case PlotLayer::Signal:
            // The reference behind; through a filter, its output over the signal, in a colour of
            // its own.
            DrawReferenceTrace(plot, shown, scale);
            DrawTrace(plot, shown.Input(), scale);
            if (filtered)
                plot.Fill(RasterizeTrace(state, plot.Mapping(), scale.SignalPeak()), OutputColour);
            break;
        case PlotLayer::SpectrumLines:
            if (spectrum) {
                DrawGrid(plot, scale);
                DrawReferenceLines(plot, shown, scale);
                // Through a filter, the input's lines pale under the output's.
                if (filtered)
                    plot.Fill(RasterizeSpectralLines(shown.Input(), plot.Mapping(), scale),
                              SpectrumPaleColour);
                lines = RasterizeSpectralLines(state, plot.Mapping(), scale);
                plot.Fill(*lines, SpectrumColour);
                DrawReferenceTops(plot, shown, scale);
                DrawClipMarks(plot, state, scale);
                if (scale.LogFrequency())
                    DrawDecades(plot, state, scale);
                if (slopes && scale.LogFrequency() && scale.View() == SpectrumView::Decibels)
                    DrawSlopes(plot, state, scale);
                if (filtered)
                    DrawResponse(plot, shown, scale);
            }
            break;
        case PlotLayer::Envelope:
            envelope = spectrum && scale.View() != SpectrumView::Phases;
            if (envelope) {
                plot.Fill(RasterizeEnvelope(state, plot.Mapping(), scale, shown.Filter()),
                          EnvelopeColour);
                DrawEnvelopeZeros(plot, state, scale);
            }
            break;
        case PlotLayer::DcLine:
            if (spectrum && filtered)
                DrawDcLine(plot, shown.Input(), scale, true);
            if (spectrum)
                DrawDcLine(plot, state, scale);
            break;
        case PlotLayer::AxisValues:
            if (!state.Samples.empty())
                DrawAxisValues(plot, state, scale, lines ? &*lines : nullptr);
            break;
        case PlotLayer::Sum:
        case PlotLayer::PaleLines:
        case PlotLayer::Highlight:
            break; // over the graphs, by PlotOverlays
        }
    }
    return envelope;
}

void DrawAnalysis(ShownAnalysis &shown, const GraphParts &parts)
{
    AnalysisState &state = shown();
    // The scales: the analysis's own, or those kept while "Mantieni la scala" is on.
    const SpectrumScale scale = parts.views.Scale();
    const bool envelope
        = DrawGraphLayers(parts.plot, shown, scale, parts.layers, parts.views.SlopesDrawn());
    parts.views.EnvelopeDrawn(envelope);
    parts.views.ScaleDrawn(state, scale);
    parts.measures.Show(state, shown.Filtered(), shown.Reference());
    // The layers over the graphs, on the same scales: a kept one or one shared with the
    // reference, or (0) the analysis's own, which after a harmonic modulus command is the new
    // analysis's, as the readout's.
    parts.overlays.SetSignalPeak(parts.views.Kept() || scale.Shared() ? scale.SignalPeak() : 0);
    parts.overlays.GraphsDrawn();
}
