// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The two number patterns on any double: a text of the pattern's shape for every finite value,
// nothing otherwise, and the text read back gives the value to the digits shown.
#include "core/texts/number_text.h"
#include "fuzz_check.h"
#include "fuzz_input.h"

#include <cmath>
#include <cstring>

namespace {

bool IsDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

// -?d.ddE[+-]dd(d)
bool ScientificShape(const std::u16string &t, char16_t separator)
{
    std::size_t i = t.size() > 0 && t[0] == u'-' ? 1 : 0;
    if (t.size() < i + 8 || t.size() > i + 9)
        return false;
    if (!IsDigit(t[i]) || t[i + 1] != separator || !IsDigit(t[i + 2]) || !IsDigit(t[i + 3])
        || t[i + 4] != u'E' || (t[i + 5] != u'+' && t[i + 5] != u'-'))
        return false;
    for (std::size_t j = i + 6; j < t.size(); ++j)
        if (!IsDigit(t[j]))
            return false;
    return true;
}

// -?d+.dd
bool FixedShape(const std::u16string &t, char16_t separator)
{
    std::size_t i = t.size() > 0 && t[0] == u'-' ? 1 : 0;
    if (t.size() < i + 4 || t[t.size() - 3] != separator)
        return false;
    for (std::size_t j = i; j < t.size(); ++j)
        if (j != t.size() - 3 && !IsDigit(t[j]))
            return false;
    return true;
}

// In extended precision: the largest doubles round up to texts beyond the double range.
long double ReadBack(std::u16string text, char16_t separator)
{
    std::string narrow;
    for (char16_t c : text)
        narrow.push_back(c == separator ? '.' : static_cast<char>(c));
    return std::strtold(narrow.c_str(), nullptr);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 9)
        return 0;
    double value;
    std::memcpy(&value, data, sizeof value);
    const char16_t separator = data[8] % 2 ? u',' : u'.';
    const auto scientific = FormatScientific(value, separator);
    const auto fixed = FormatFixed(value, separator);
    FUZZ_CHECK(scientific.has_value() == std::isfinite(value), "%a", value);
    FUZZ_CHECK(fixed.has_value() == std::isfinite(value), "%a", value);
    if (!std::isfinite(value))
        return 0;
    FUZZ_CHECK(ScientificShape(*scientific, separator), "%a", value);
    FUZZ_CHECK(FixedShape(*fixed, separator), "%a", value);

    // Three significant digits: off by at most half a unit of the last one.
    const long double v = value;
    const long double back = ReadBack(*scientific, separator);
    FUZZ_CHECK(std::abs(back - v) <= 0.0051L * std::abs(v) + 1e-320L, "%a gives %Lg", value, back);
    const long double fixedBack = ReadBack(*fixed, separator);
    FUZZ_CHECK(std::abs(fixedBack - v) <= 0.005L + 1e-15L * std::abs(v), "%a gives %Lg", value,
               fixedBack);
    if (value == 0)
        FUZZ_CHECK(*scientific == (separator == u',' ? u"0,00E+00" : u"0.00E+00"), "%a", value);
    return 0;
}
