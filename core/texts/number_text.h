// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Typed text to number, and numbers to the two display patterns.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// Value of the longest leading part of the form [+-] digits-with-one-optional-point
// [(e|E) [+-] digits]; 0 when that part holds no digit. The point is the decimal separator
// whatever the locale. A number beyond the double range gives an infinity of its sign.
double Val(std::u16string_view text);

// Pattern "0.00E+00": one digit, separator, two decimals, E, exponent sign, at least two exponent
// digits. Zeros of either sign give 0.00E+00. Nothing for a value that is not finite.
std::optional<std::u16string> FormatScientific(double value, char16_t decimalSeparator);

// Pattern "0.00": fixed point with two decimals; a value that rounds to zero has no minus sign.
// Nothing for a value that is not finite.
std::optional<std::u16string> FormatFixed(double value, char16_t decimalSeparator);
