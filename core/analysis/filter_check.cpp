// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/analysis/filter_check.h"

#include "core/analysis/entry_check.h"
#include "core/analysis/field_step.h"
#include "core/texts/number_text.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr bool Ascii(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return c > 0 && c < 0x7f; });
}
// The parameters' symbols, units and names are ASCII, so that each byte is a character.
static_assert(std::all_of(std::begin(FilterTable), std::end(FilterTable), [](const auto &filter) {
    return std::all_of(filter.parameters.begin(), filter.parameters.end(), [](const auto &p) {
        return Ascii(p.symbol) && Ascii(p.unit) && Ascii(p.name) && Ascii(p.firstText);
    });
}));

std::u16string Utf16(std::string_view ascii)
{
    return {ascii.begin(), ascii.end()};
}

// "fc (frequenza di taglio)", as every message names the field.
std::u16string Named(const FilterParameter &parameter)
{
    return Utf16(parameter.symbol) + u" (" + Utf16(parameter.name) + u")";
}

} // namespace

FilterTexts FirstFilterTexts(FilterKind kind)
{
    const FilterDeclaration &filter = DeclarationOf(kind);
    return {Utf16(filter.parameters[0].firstText), Utf16(filter.parameters[1].firstText)};
}

std::variant<double, std::u16string> CheckFilterParameter(const FilterParameter &parameter,
                                                          std::u16string_view text)
{
    if (text.empty())
        return u"Hai dimenticato di scrivere " + Named(parameter) + u" del filtro.";
    if (!EntryPasses(text))
        return u"Errore di inserimento dati per " + Named(parameter)
            + u" del filtro. Puoi scrivere soltanto numeri razionali con il punto come separatore "
              u"decimale, anche in forma esponenziale. Ad es: 1.23 , 1E-5 , 5E3";
    const double value = Val(text);
    if (!(value > 0 && value <= MostFilterValue)) {
        const std::u16string unit = parameter.unit.empty() ? u"" : u" " + Utf16(parameter.unit);
        return Named(parameter) + u" del filtro deve essere maggiore di 0" + unit
            + u" e non superiore a 1E+300" + unit + u".";
    }
    return value * parameter.scale;
}

std::variant<FilterSettings, std::u16string> CheckFilter(FilterKind kind, const FilterTexts &texts)
{
    const FilterDeclaration &filter = DeclarationOf(kind);
    FilterSettings settings {kind, 0, 0};
    for (int p = 0; p < filter.parameterCount; ++p) {
        auto checked = CheckFilterParameter(filter.parameters[p], texts[p]);
        if (auto *message = std::get_if<std::u16string>(&checked))
            return std::move(*message);
        (p == 0 ? settings.frequency : settings.quality) = std::get<double>(checked);
    }
    return settings;
}

std::optional<std::u16string> SteppedFilterText(const FilterParameter &parameter,
                                                const std::u16string &text, int steps)
{
    if (steps == 0 || !std::holds_alternative<double>(CheckFilterParameter(parameter, text)))
        return std::nullopt;
    const double value = Val(text);
    const double wanted = value + steps * parameter.step;
    const double to = steps > 0 ? std::max(value, std::min(wanted, parameter.high))
                                : std::min(value, std::max(wanted, parameter.low));
    std::u16string after = SteppedWriting(to, std::max(DecimalsOf(text), parameter.decimals));
    if (Val(after) == value
        || !std::holds_alternative<double>(CheckFilterParameter(parameter, after)))
        return std::nullopt;
    return after;
}
