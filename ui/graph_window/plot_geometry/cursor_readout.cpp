// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "cursor_readout.h"

#include "plot_bands.h"

#include "core/spectrum/spectrum.h"
#include "core/state/result_list.h"
#include "core/texts/messages.h"
#include "core/texts/number_text.h"
#include "core/texts/units.h"

#include <cmath>

namespace {

std::optional<std::u16string> Join(std::optional<std::u16string> first,
                                   std::optional<std::u16string> second)
{
    if (first && second)
        return *first + u" ; " + *second;
    return first ? first : second;
}

std::optional<std::u16string> Labelled(std::u16string_view prefix,
                                       const std::optional<std::u16string> &number,
                                       std::u16string_view unit)
{
    if (!number)
        return std::nullopt;
    return std::u16string(prefix) + *number + std::u16string(unit);
}

// A result's value as the readout writes it: its text, the number in its format, its unit.
std::optional<std::u16string> Read(const ResultDeclaration &result, double value,
                                   char16_t decimalSeparator)
{
    return Labelled(result.readout, FormatNumber(value, result.written, decimalSeparator),
                    result.unit);
}

} // namespace

std::optional<std::u16string> SignalReadout(const AnalysisState &state, float x, float y,
                                            char16_t decimalSeparator)
{
    return SignalReadout(state, x, y, decimalSeparator, state.SignalPeak);
}

std::optional<std::u16string> SignalReadout(const AnalysisState &state, float x, float y,
                                            char16_t decimalSeparator, double signalPeak)
{
    const double t = Microseconds((double(x) / 100) * state.PeriodCount, state.Frequency);
    const double v = PlotBands::SignalValue(double(y), signalPeak);
    return Join(Labelled(u"t= ", FormatFixed(t, decimalSeparator), MicrosecondAsciiName),
                Read(ScaleOf(ReadAs::SignalScale), v, decimalSeparator));
}

std::optional<std::u16string> ReferenceSignalReadout(const AnalysisState &state,
                                                     const AnalysisState &reference, float x,
                                                     char16_t decimalSeparator)
{
    const auto n = static_cast<std::int64_t>(reference.SampleCount);
    if (n < 1 || reference.Samples.size() < static_cast<std::size_t>(n) + 1)
        return std::nullopt;
    // The instant in the reference's periods, and the samples either side of it.
    const double periods
        = (double(x) / 100) * state.PeriodCount / state.Frequency * reference.Frequency;
    if (!std::isfinite(periods) || periods < 0)
        return std::nullopt;
    const double at = (periods - std::floor(periods)) * double(n);
    const auto i = std::min(static_cast<std::int64_t>(at), n - 1);
    const double share = at - double(i);
    const auto sample
        = [&](std::int64_t j) { return reference.Samples[static_cast<std::size_t>(j)]; };
    const double value = sample(i) + (sample(i + 1) - sample(i)) * share;
    const auto text = Read(ScaleOf(ReadAs::SignalScale), value, decimalSeparator);
    if (!text)
        return std::nullopt;
    std::u16string line(TextOf(UiText::ReferenceReadout));
    line.replace(line.find(u"%1"), 2, *text);
    return line;
}

std::optional<std::u16string> SpectrumReadout(const AnalysisState &state, float x, float y,
                                              char16_t decimalSeparator, const SpectrumScale &scale)
{
    if (scale.View() == SpectrumView::Moduli && !scale.Kept() && !scale.Shared()
        && !scale.LogFrequency())
        return SpectrumReadout(state, x, y, decimalSeparator);
    const double harmonic = scale.HarmonicAt(state, double(x));
    const double f = scale.LogFrequency()
        ? harmonic * Kilohertz(state.Frequency)
        : (double(x) / 100) * Kilohertz(state.Frequency) * scale.HarmonicSpan(state);
    const bool phases = scale.View() == SpectrumView::Phases;
    const ReadAs view = scale.View() == SpectrumView::Moduli ? ReadAs::ModulusScale // kept
        : phases                                             ? ReadAs::PhaseScale
                                                             : ReadAs::LevelScale;
    const std::optional<std::u16string> frequency
        = Labelled(u"f= ", FormatFixed(f, decimalSeparator), KilohertzName);
    // Over a harmonic that has no phase the readout says so, and only that: a phase read at the
    // cursor's height would say one there.
    const double nearest = std::round(harmonic);
    if (phases && nearest >= 1 && nearest <= static_cast<double>(HarmonicsHeld(state))
        && std::isnan(ReadResult(state, ScaleOf(view), static_cast<std::int64_t>(nearest))))
        return Join(frequency, std::u16string(TextOf(UiText::PhaseNotDefined)));
    return Join(frequency, Read(ScaleOf(view), scale.Value(double(y)), decimalSeparator));
}

std::optional<std::u16string> SpectrumReadout(const AnalysisState &state, float x, float y,
                                              char16_t decimalSeparator)
{
    const double f = (double(x) / 100) * Kilohertz(state.Frequency) * state.HarmonicCount;
    const double m = PlotBands::SpectrumValue(double(y), state.SpectrumPeak);
    std::optional<std::u16string> text
        = Join(Labelled(u"f= ", FormatFixed(f, decimalSeparator), KilohertzName),
               Read(ScaleOf(ReadAs::ModulusScale), m, decimalSeparator));
    // The results read at the line nearest the cursor.
    const double nearest = std::round(double(x) * state.HarmonicCount / 100);
    if (!(nearest >= 1 && nearest <= static_cast<double>(HarmonicsHeld(state))))
        return text;
    for (const ResultDeclaration &result : AnalysisResultList)
        if (result.readAs == ReadAs::NearestLine)
            text = Join(text,
                        Read(result, ReadResult(state, result, static_cast<std::int64_t>(nearest)),
                             decimalSeparator));
    return text;
}
