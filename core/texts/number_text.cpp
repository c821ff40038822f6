// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/texts/number_text.h"

#include <charconv>
#include <cstdlib>
#include <locale.h>

#include <cmath>

namespace {

bool IsDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

// strtod honours LC_NUMERIC, which a desktop program sets from the user's locale; the typed
// numbers always use the point, so they are read in the C locale.
locale_t CLocale()
{
    static const locale_t c = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
    return c;
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
    return strtod_l(number.c_str(), nullptr, CLocale());
}

std::optional<std::u16string> FormatScientific(double value, char16_t decimalSeparator)
{
    if (!std::isfinite(value))
        return std::nullopt;
    if (value == 0)
        return Widen("0.00E+00", decimalSeparator);
    char buffer[32];
    const auto result
        = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 2);
    return Widen(std::string_view(buffer, result.ptr - buffer), decimalSeparator);
}

std::optional<std::u16string> FormatFixed(double value, char16_t decimalSeparator)
{
    if (!std::isfinite(value))
        return std::nullopt;
    char buffer[400]; // the largest double has 309 integer digits
    const auto result
        = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 2);
    std::string_view text(buffer, result.ptr - buffer);
    if (text.front() == '-' && text.find_first_not_of("-0.") == std::string_view::npos)
        text.remove_prefix(1);
    return Widen(text, decimalSeparator);
}
