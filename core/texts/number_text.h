// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Typed text to number, and numbers to text: the one home of the number formats.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// Value of the longest leading part of the form [+-] digits-with-one-optional-point
// [(e|E) [+-] digits]; 0 when that part holds no digit. The point is the decimal separator
// whatever the locale. A number beyond the double range gives an infinity of its sign.
double Val(std::u16string_view text);

// The two patterns a number is written in.
enum class NumberPattern
{
    Fixed, // "0.00": fixed point
    Scientific, // "0.00E+00": one digit, the decimals, E, the exponent's sign and two digits or
                // more
};

// How a number is written: its pattern, how many decimals (after the point in the fixed pattern,
// after the first digit in the scientific one), and whether its integer digits are grouped.
struct NumberFormat
{
    NumberPattern pattern = NumberPattern::Fixed;
    int decimals = 2;
    bool grouped = false;
};

// The readouts, the measures and the input window's results: two decimals, never grouped, so that
// a copied text reads back as the number it shows.
inline constexpr NumberFormat ReadoutFixed {NumberPattern::Fixed, 2, false};
inline constexpr NumberFormat ReadoutScientific {NumberPattern::Scientific, 2, false};

// The scales' values (the axes' ticks, the grids' labels): the decimals the ticks need, digits
// grouped as the user's language groups them, since they are read on the plot and never copied.
constexpr NumberFormat ScaleValue(int decimals)
{
    return {NumberPattern::Fixed, decimals, true};
}

// The one way a number becomes text, with decimalSeparator before its decimals. The digits are
// written here ungrouped; a grouped format's grouping, digits and minus sign are the user's
// language's, which the windows write (LocaleNumber, ui/window_texts.h). A fixed value that rounds
// to zero has no minus sign; zeros of either sign are 0 in the scientific pattern. Nothing for a
// value that is not finite, or for decimals outside 0 to 340.
std::optional<std::u16string> FormatNumber(double value, NumberFormat format,
                                           char16_t decimalSeparator);

// The readouts' two patterns by name: FormatNumber in ReadoutScientific and ReadoutFixed.
std::optional<std::u16string> FormatScientific(double value, char16_t decimalSeparator);
std::optional<std::u16string> FormatFixed(double value, char16_t decimalSeparator);
