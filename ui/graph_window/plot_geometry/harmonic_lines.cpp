// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "harmonic_lines.h"

#include "plot_bands.h"

#include "core/spectrum/harmonic_sum.h"
#include "core/spectrum/spectrum.h"
#include "core/state/harmonic_readings.h"
#include "core/state/result_list.h"
#include "core/texts/messages.h"
#include "core/texts/number_text.h"
#include "core/texts/units.h"

#include <cmath>
#include <complex>
#include <numbers>

namespace {

void Replace(std::u16string &text, std::u16string_view mark, const std::u16string &value)
{
    if (const auto at = text.find(mark); at != std::u16string::npos)
        text.replace(at, mark.size(), value);
}

} // namespace

double LineColumn(const AnalysisState &state, const PixelMapping &mapping, std::int64_t k,
                  const SpectrumScale *scale)
{
    // As the line is drawn: the position handed over in single precision.
    const SpectrumScale band = scale ? *scale : SpectrumScale::Of(state, SpectrumView::Moduli);
    return mapping.Column(static_cast<float>(band.HarmonicX(state, static_cast<double>(k))));
}

std::optional<std::int64_t> NearestLine(const AnalysisState &state, const PixelMapping &mapping,
                                        double column, double reach, const SpectrumScale *scale)
{
    const SpectrumScale band = scale ? *scale : SpectrumScale::Of(state, SpectrumView::Moduli);
    const std::int64_t lines = HarmonicsHeld(state);
    if (lines < 1 || std::isnan(column))
        return std::nullopt;
    // The lines stand in the order of k; the nearest is among those around the position the
    // cursor stands for, single precision having moved each by far less than a spacing.
    const double x = mapping.UserX(column);
    const double guess = std::clamp(std::floor(band.HarmonicAt(state, x)), -4.0, double(lines) + 4);
    const auto centre = static_cast<std::int64_t>(guess);
    std::optional<std::int64_t> best;
    double bestDistance = 0;
    for (std::int64_t k = std::max<std::int64_t>(1, centre - 3); k <= std::min(lines, centre + 4);
         ++k) {
        const double distance = std::abs(LineColumn(state, mapping, k, &band) - column);
        if (!best || distance < bestDistance) {
            best = k;
            bestDistance = distance;
        }
    }
    if (!best) // beyond the last line or before the first: the nearer end
        best = centre < 1 ? 1 : lines;
    bestDistance = std::abs(LineColumn(state, mapping, *best, &band) - column);
    // Lines that single precision puts in one place: the lowest of them.
    while (*best > 1
           && std::abs(LineColumn(state, mapping, *best - 1, &band) - column) <= bestDistance)
        --*best;
    if (!(bestDistance <= reach))
        return std::nullopt;
    return best;
}

ColumnSpans RasterizeHarmonicWave(const AnalysisState &state, std::int64_t k,
                                  const PixelMapping &mapping, double signalPeak)
{
    if (state.SampleCount < 1 || k < 1 || k > HarmonicsHeld(state)
        || static_cast<std::int64_t>(state.CosCoefficients.size()) <= k)
        return ColumnSpans(mapping.width);
    RealArray wave(static_cast<std::size_t>(state.SampleCount) + 1);
    AddHarmonicWave(state, k, 1, wave.data());
    return RasterizeSignalCurve(state, wave.data(), mapping,
                                signalPeak > 0 ? signalPeak : state.SignalPeak);
}

ColumnSpans RasterizeSpectralLines(const AnalysisState &state, const PixelMapping &mapping,
                                   std::int64_t first, std::int64_t last)
{
    ColumnSpans spans(mapping.width);
    if (state.SpectrumPeak == 0)
        return spans;
    const double bottom = mapping.Row(static_cast<float>(PlotBands::SpectrumBottomY));
    for (std::int64_t k = std::max<std::int64_t>(first, 1);
         k <= std::min(last, HarmonicsHeld(state)); ++k) {
        const double y = PlotBands::SpectrumY(state.Magnitudes[k], state.SpectrumPeak);
        const double column = LineColumn(state, mapping, k);
        RasterizeSegment(
            column, bottom, column, mapping.Row(static_cast<float>(y)), mapping.width,
            [&](int c, std::int64_t low, std::int64_t high) { spans.Add(c, low, high); });
    }
    return spans;
}

std::optional<std::u16string> HarmonicReadout(const AnalysisState &state, std::int64_t k,
                                              char16_t decimalSeparator)
{
    if (k < 1 || k > HarmonicsHeld(state))
        return std::nullopt;
    const auto frequency = FormatFixed(Kilohertz(double(k) * state.Frequency), decimalSeparator);
    const auto modulus = FormatScientific(state.Magnitudes[k], decimalSeparator);
    if (!frequency || !modulus)
        return std::nullopt;
    std::u16string text(TextOf(UiText::HarmonicReadout));
    const std::string number = std::to_string(k);
    Replace(text, u"%1", std::u16string(number.begin(), number.end()));
    Replace(text, u"%2", *frequency);
    Replace(text, u"%3", *modulus);
    // Its phase, as the phases' view and the table give it, or that it has none.
    const auto index = static_cast<std::size_t>(k);
    if (state.CosCoefficients.size() <= index || state.SinCoefficients.size() <= index)
        return text;
    constexpr const ResultDeclaration &declared = ScaleOf(ReadAs::PhaseScale);
    const auto degrees
        = FormatNumber(ReadResult(state, declared, k), declared.written, decimalSeparator);
    text += u" ; ";
    if (degrees)
        text += std::u16string(declared.readout) + *degrees + std::u16string(declared.unit);
    else
        text += TextOf(UiText::PhaseNotDefined);
    return text;
}

std::optional<std::u16string> FilterLineReadout(const AnalysisState &input,
                                                const FilterSettings &filter, std::int64_t k,
                                                char16_t decimalSeparator)
{
    if (k < 1 || k > HarmonicsHeld(input))
        return std::nullopt;
    const std::complex<double> h = FilterResponse(filter, double(k) * input.Frequency);
    const double modulus = input.Magnitudes[static_cast<std::size_t>(k)];
    const auto s = FormatScientific(modulus, decimalSeparator);
    const auto gain = FormatScientific(std::abs(h), decimalSeparator);
    const auto level = FormatFixed(DecibelsOf(std::abs(h)), decimalSeparator);
    const auto angle = FormatFixed(std::arg(h) * 180 / std::numbers::pi, decimalSeparator);
    const auto y = FormatScientific(std::abs(h) * modulus, decimalSeparator);
    if (!s || !gain || !angle || !y)
        return std::nullopt;
    std::u16string text(TextOf(UiText::FilterReadout));
    Replace(text, u"%1", *s);
    Replace(text, u"%2", *gain);
    Replace(text, u"%3", level.value_or(u"-\u221e")); // |H| = 0: minus infinity
    Replace(text, u"%4", *angle);
    Replace(text, u"%5", *y);
    return text;
}
