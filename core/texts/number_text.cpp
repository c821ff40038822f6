// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/texts/number_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>

namespace {

bool IsDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

// The nearest double to a decimal number of the form [-]digits[.digits][e[+-]digits] with at
// least one digit, whatever the user's locale (the typed numbers always use the point); beyond
// the doubles' range, infinity or zero with the number's sign, as strtod gives them.
double NearestDouble(const std::string &number)
{
    const bool negative = number.front() == '-';
    const char *first = number.data() + (number.front() == '+' ? 1 : 0);
    double value = 0;
    const auto [end, error] = std::from_chars(first, number.data() + number.size(), value);
    if (error != std::errc::result_out_of_range)
        return value;
    // Out of range: too large when the first significant digit stands far above the units, too
    // small when far below; its decimal order is its place in the mantissa plus the exponent.
    const std::size_t exponentAt = std::min(number.find('e'), number.size());
    const std::string_view mantissa(number.data(), exponentAt);
    const std::size_t point = std::min(mantissa.find('.'), mantissa.size());
    const std::size_t significant = mantissa.find_first_of("123456789");
    std::int64_t order = significant < point ? std::int64_t(point - significant) - 1
                                             : -std::int64_t(significant - point);
    std::int64_t exponent = 0;
    for (std::size_t i = exponentAt + 1; i < number.size(); ++i)
        if (number[i] >= '0' && number[i] <= '9')
            exponent = std::min<std::int64_t>(exponent * 10 + (number[i] - '0'), 1'000'000'000);
    order += exponentAt + 1 < number.size() && number[exponentAt + 1] == '-' ? -exponent : exponent;
    const bool large = order > 0;
    const double magnitude = large ? std::numeric_limits<double>::infinity() : 0.0;
    return negative ? -magnitude : magnitude;
}

std::u16string Widen(std::string_view text, char16_t decimalSeparator)
{
    std::u16string out;
    out.reserve(text.size());
    for (const char c : text)
        out.push_back(c == '.' ? decimalSeparator : c == 'e' ? u'E' : static_cast<char16_t>(c));
    return out;
}

} // namespace

double Val(std::u16string_view text)
{
    std::string number;
    std::size_t i = 0;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
        number.push_back(static_cast<char>(text[i++]));
    bool digits = false;
    bool point = false;
    for (; i < text.size(); ++i) {
        if (IsDigit(text[i])) {
            digits = true;
        } else if (text[i] == u'.' && !point) {
            point = true;
        } else {
            break;
        }
        number.push_back(static_cast<char>(text[i]));
    }
    if (!digits)
        return 0;
    if (i < text.size() && (text[i] == u'e' || text[i] == u'E')) {
        std::string exponent = "e";
        std::size_t j = i + 1;
        if (j < text.size() && (text[j] == u'+' || text[j] == u'-'))
            exponent.push_back(static_cast<char>(text[j++]));
        const std::size_t firstDigit = j;
        while (j < text.size() && IsDigit(text[j]))
            exponent.push_back(static_cast<char>(text[j++]));
        if (j > firstDigit)
            number += exponent;
    }
    return NearestDouble(number);
}

std::optional<std::u16string> FormatNumber(double value, NumberFormat format,
                                           char16_t decimalSeparator)
{
    constexpr int MostDecimals = 340; // beyond the smallest double's last digit
    if (!std::isfinite(value) || format.decimals < 0 || format.decimals > MostDecimals)
        return std::nullopt;
    const bool scientific = format.pattern == NumberPattern::Scientific;
    if (scientific && value == 0) {
        // "0", or "0." and the decimals' zeros, then the exponent.
        std::string zero(format.decimals > 0 ? static_cast<std::size_t>(format.decimals) + 2 : 1,
                         '0');
        if (format.decimals > 0)
            zero[1] = '.';
        return Widen(zero.append("e+00"), decimalSeparator);
    }
    // The largest double has 309 integer digits; the sign, the point and the exponent fit in the
    // rest.
    char buffer[320 + MostDecimals];
    const auto result = std::to_chars(
        buffer, buffer + sizeof buffer, value,
        scientific ? std::chars_format::scientific : std::chars_format::fixed, format.decimals);
    std::string_view text(buffer, result.ptr - buffer);
    if (!scientific && text.front() == '-'
        && text.find_first_not_of("-0.") == std::string_view::npos)
        text.remove_prefix(1);
    return Widen(text, decimalSeparator);
}

std::optional<std::u16string> FormatScientific(double value, char16_t decimalSeparator)
{
    return FormatNumber(value, ReadoutScientific, decimalSeparator);
}

std::optional<std::u16string> FormatFixed(double value, char16_t decimalSeparator)
{
    return FormatNumber(value, ReadoutFixed, decimalSeparator);
}
