// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/analysis/field_step.h"

#include "core/analysis/entry_check.h"
#include "core/analysis/parameter_check.h"
#include "core/texts/number_text.h"
#include "core/texts/units.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <span>
#include <variant>

namespace {

// Whether the checks take the texts, as far as they can be checked: every field the command reads
// that the entry check passes, the duty-cycle test and the parameters' checks when all pass.
bool Accepted(const FieldTexts &texts, Command command, std::uint64_t availableMemory)
{
    const auto order = command == Command::Graphs
        ? GraphsFieldOrder
        : std::span<const Field>(HarmonicModulusFieldOrder);
    if (!std::all_of(order.begin(), order.end(), [&](Field f) { return EntryPasses(texts[f]); }))
        return true; // another field stops the command first: this one cannot be weighed
    const TypedValues values = TypedValuesOf(texts, command);
    return !DutyCycleRefused(values.DutyCycle)
        && std::holds_alternative<AnalysisParameters>(
            CheckParameters(values, command, availableMemory));
}

} // namespace

int DecimalsOf(const std::u16string &text)
{
    const std::size_t exponentAt = text.find_first_of(u"eE");
    const std::u16string mantissa = text.substr(0, exponentAt);
    const std::size_t point = mantissa.find(u'.');
    double decimals = point == std::u16string::npos ? 0 : double(mantissa.size() - point - 1);
    if (exponentAt != std::u16string::npos)
        decimals -= Val(text.substr(exponentAt + 1));
    return static_cast<int>(std::clamp(decimals, 0.0, 15.0));
}

std::u16string SteppedWriting(double value, int decimals)
{
    if (std::abs(value) >= 1e15) { // the shortest text that reads back, exponent and all
        char buffer[32];
        const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
        return std::u16string(buffer, end);
    }
    std::u16string text
        = FormatNumber(value, {NumberPattern::Fixed, decimals, false}, u'.').value_or(u"0");
    if (text.find(u'.') != std::u16string::npos) {
        text.erase(text.find_last_not_of(u'0') + 1);
        if (text.back() == u'.')
            text.pop_back();
    }
    return text == u"-0" ? u"0" : text;
}

FieldStep StepOf(Field field)
{
    const ParameterDeclaration &parameter = ParameterOf(field);
    return {parameter.step, parameter.low, parameter.high};
}

std::optional<std::u16string> SteppedText(Field field, const FieldTexts &texts, int steps,
                                          std::uint64_t availableMemory)
{
    const std::u16string &typed = texts[field];
    if (steps == 0 || !EntryPasses(typed))
        return std::nullopt;
    const double value = Val(typed);
    const FieldStep step = StepOf(field);
    const Command command = field == Field::Text2 ? Command::HarmonicModulus : Command::Graphs;
    const int decimals = std::max(DecimalsOf(typed), ParameterOf(field).decimals);
    // A value the checks refuse does not step; nor does one already past a limit, outward.
    if (!std::isfinite(value) || (field == Field::Text1 && DutyCycleRefused(value))
        || !Accepted(texts, command, availableMemory))
        return std::nullopt;
    // From the steps asked for down to one: the most that lands on a value the checks take.
    for (int n = steps; n != 0; n -= steps > 0 ? 1 : -1) {
        const double wanted = value + n * step.size;
        const double to = n > 0 ? std::max(value, std::min(wanted, step.high))
                                : std::min(value, std::max(wanted, step.low));
        FieldTexts after = texts;
        after[field] = SteppedWriting(to, decimals);
        if (Val(after[field]) == value)
            return std::nullopt; // at the limit already
        if (Accepted(after, command, availableMemory))
            return after[field];
    }
    return std::nullopt;
}
