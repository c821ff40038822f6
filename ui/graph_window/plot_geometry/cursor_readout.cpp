// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "cursor_readout.h"

#include "plot_bands.h"

#include "core/texts/number_text.h"

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
    const double t = (double(x) / 100) * state.PeriodCount * 1000000 / state.Frequency;
    const double v = PlotBands::SignalValue(double(y), state.SignalPeak);
    return Join(Labelled(u"t= ", FormatFixed(t, decimalSeparator), u"usec"),
                Labelled(u"s(t) = ", FormatScientific(v, decimalSeparator), u"V"));
}

std::optional<std::u16string> SpectrumReadout(const AnalysisState &state, float x, float y,
                                              char16_t decimalSeparator)
{
    const double f = (double(x) / 100) * (state.Frequency / 1000) * state.HarmonicCount;
    const double m = PlotBands::SpectrumValue(double(y), state.SpectrumPeak);
    return Join(Labelled(u"f= ", FormatFixed(f, decimalSeparator), u"kHz"),
                Labelled(u"|S(f)| = ", FormatScientific(m, decimalSeparator), u"V"));
}
