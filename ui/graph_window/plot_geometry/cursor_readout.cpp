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
    constexpr const ResultDeclaration &read = ScaleOf(PlotBand::Signal);
    return Join(Labelled(u"t= ", FormatFixed(t, decimalSeparator), MicrosecondAsciiName),
                Labelled(read.readout, FormatScientific(v, decimalSeparator), read.unit));
}

std::optional<std::u16string> SpectrumReadout(const AnalysisState &state, float x, float y,
                                              char16_t decimalSeparator, const SpectrumScale &scale)
{
    if (scale.View() == SpectrumView::Moduli && !scale.Kept())
        return SpectrumReadout(state, x, y, decimalSeparator);
    const double span = scale.HarmonicSpan(state);
    const double f = (double(x) / 100) * Kilohertz(state.Frequency) * span;
    const bool phases = scale.View() == SpectrumView::Phases;
    if (scale.View() == SpectrumView::Moduli) { // on the kept scale
        constexpr const ResultDeclaration &modulus = ScaleOf(PlotBand::Spectrum);
        return Join(Labelled(u"f= ", FormatFixed(f, decimalSeparator), KilohertzName),
                    Labelled(modulus.readout,
                             FormatScientific(scale.Value(double(y)), decimalSeparator),
                             modulus.unit));
    }
    const ResultDeclaration &read = phases ? ResultOf(&PhaseDegrees) : ResultOf(&LevelDecibels);
    std::optional<std::u16string> text = Join(
        Labelled(u"f= ", FormatFixed(f, decimalSeparator), KilohertzName),
        Labelled(read.readout, FormatFixed(scale.Value(double(y)), decimalSeparator), read.unit));
    const double nearest = std::round(double(x) * span / 100);
    if (phases && nearest >= 1 && nearest <= RoundToCount(state.HarmonicCount)
        && state.Magnitudes.size() > static_cast<std::size_t>(nearest)
        && state.CosCoefficients.size() > static_cast<std::size_t>(nearest)
        && state.SinCoefficients.size() > static_cast<std::size_t>(nearest)
        && std::isnan(PhaseDegrees(state, static_cast<std::int64_t>(nearest))))
        text = Join(text, std::u16string(TextOf(UiText::PhaseNotDefined)));
    return text;
}

std::optional<std::u16string> SpectrumReadout(const AnalysisState &state, float x, float y,
                                              char16_t decimalSeparator)
{
    const double f = (double(x) / 100) * Kilohertz(state.Frequency) * state.HarmonicCount;
    const double m = PlotBands::SpectrumValue(double(y), state.SpectrumPeak);
    constexpr const ResultDeclaration &read = ScaleOf(PlotBand::Spectrum);
    std::optional<std::u16string> text
        = Join(Labelled(u"f= ", FormatFixed(f, decimalSeparator), KilohertzName),
               Labelled(read.readout, FormatScientific(m, decimalSeparator), read.unit));
    // Every other harmonic result with a readout text: its value at the line nearest the cursor.
    const double nearest = std::round(double(x) * state.HarmonicCount / 100);
    if (!(nearest >= 1 && nearest <= RoundToCount(state.HarmonicCount)))
        return text;
    const auto k = static_cast<std::size_t>(nearest);
    for (const ResultDeclaration &result : AnalysisResultList)
        if (result.scope == ResultScope::Harmonic && result.values && !result.readout.empty()
            && &result != &read && (state.*result.values).size() > k)
            text = Join(text,
                        Labelled(result.readout,
                                 FormatScientific((state.*result.values)[k], decimalSeparator),
                                 result.unit));
    return text;
}
