// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// A filter's parameters as typed: checked as the fields are (not empty, only the number
// alphabet), then above 0 and at most MostFilterValue in the field's unit, each refusal an Italian
// message naming the field and its range; and stepped as the fields step.
#pragma once

#include "core/spectrum/filters.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

// The largest value a filter's field takes, in its unit: a frequency in Hz stays finite, with
// room for the harmonics' k f / fc.
inline constexpr double MostFilterValue = 1e300;

// The typed texts of a filter's parameters, the frequency's then Q's, as their fields hold them.
using FilterTexts = std::array<std::u16string, 2>;

// The first texts of `kind`'s fields.
FilterTexts FirstFilterTexts(FilterKind kind);

// The value `text` gives `parameter` in its stored unit (Hz for a frequency), or the message that
// refuses it.
std::variant<double, std::u16string> CheckFilterParameter(const FilterParameter &parameter,
                                                          std::u16string_view text);

// The settings `texts` give `kind`, or the first parameter's refusal.
std::variant<FilterSettings, std::u16string> CheckFilter(FilterKind kind, const FilterTexts &texts);

// The text after `steps` steps of `parameter` (down when negative), within its step's limits;
// nothing when the text is refused or the step leaves it as it is.
std::optional<std::u16string> SteppedFilterText(const FilterParameter &parameter,
                                                const std::u16string &text, int steps);
