// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "measure_texts.h"

#include "core/state/result_list.h"
#include "core/texts/messages.h"
#include "core/texts/number_text.h"

namespace {

std::u16string WithUnit(const std::optional<std::u16string> &number, std::u16string_view unit)
{
    if (!number)
        return std::u16string(TextOf(UiText::NotDefined));
    return *number + u" " + std::u16string(unit);
}

std::u16string Percent(std::optional<double> AnalysisResults::*measure, const AnalysisState &state,
                       char16_t separator)
{
    const std::optional<double> &value = state.*measure;
    return WithUnit(value ? FormatFixed(*value, separator) : std::nullopt, ResultOf(measure).unit);
}

} // namespace

std::array<std::u16string, 4> MeasureTexts(const AnalysisState &state, char16_t decimalSeparator)
{
    if (!state.RmsValue)
        return {};
    return {WithUnit(FormatScientific(*state.RmsValue, decimalSeparator),
                     ResultOf(&AnalysisResults::RmsValue).unit),
            WithUnit(FormatScientific(state.MeanValue, decimalSeparator),
                     ResultOf(&AnalysisResults::MeanValue).unit),
            Percent(&AnalysisResults::HarmonicDistortion, state, decimalSeparator),
            Percent(&AnalysisResults::PowerShare, state, decimalSeparator)};
}
