// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Readable names and printouts for the cases of parametrised tests, so that a failure names its
// case: "Texts/ValConversion.readsTheLongestNumericPrefix/minus_point_5e_plus_3".
#pragma once

#include "core/texts/pulse_shapes.h"

#include <cctype>
#include <charconv>
#include <cstdio>
#include <ostream>
#include <string>
#include <string_view>

// A pulse shape by its name.
inline void PrintTo(PulseShape shape, std::ostream *out)
{
    *out << TextsOf(shape).name;
}

// Printable ASCII as it is, everything else as \uXXXX.
inline std::string Escaped(std::u16string_view text)
{
    std::string out;
    for (const char16_t c : text) {
        if (c >= 0x20 && c < 0x7f) {
            out += static_cast<char>(c);
        } else {
            char code[8];
            std::snprintf(code, sizeof code, "\\u%04X", static_cast<unsigned>(c));
            out += code;
        }
    }
    return out;
}

inline std::string Utf8(std::u16string_view text)
{
    std::string out;
    for (const char16_t c : text) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xc0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3f));
        } else {
            out += static_cast<char>(0xe0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3f));
            out += static_cast<char>(0x80 | (c & 0x3f));
        }
    }
    return out;
}

// A typed text as a part of a test name: letters and digits as they are, the number symbols and
// anything else spelled out, a long text shortened to its start and its length.
inline std::string SpelledOut(std::u16string_view text)
{
    if (text.empty())
        return "empty";
    if (text.size() > 24)
        return SpelledOut(text.substr(0, 12)) + "_and_so_on_" + std::to_string(text.size())
            + "_characters";
    std::string name;
    const auto word = [&](std::string_view w) {
        if (!name.empty() && name.back() != '_')
            name += '_';
        name += w;
        name += '_';
    };
    for (const char16_t c : text) {
        if ((c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z')) {
            name += static_cast<char>(c);
        } else if (c == u'.') {
            word("point");
        } else if (c == u'-') {
            word("minus");
        } else if (c == u'+') {
            word("plus");
        } else if (c == u' ') {
            word("space");
        } else if (c == u',') {
            word("comma");
        } else {
            char code[8];
            std::snprintf(code, sizeof code, "U%04X", static_cast<unsigned>(c));
            word(code);
        }
    }
    while (name.size() > 1 && name.back() == '_')
        name.pop_back();
    return name;
}

// A number as a part of a test name: its shortest text spelled out (0.5 is "0_point_5",
// -2.5e-150 is "minus_2_point_5e_minus_150").
inline std::string SpelledOut(double value)
{
    char buffer[32];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    const std::string text(buffer, end);
    return SpelledOut(std::u16string(text.begin(), text.end()));
}

// A whole case name; CTest would read a name of digits alone as the case's number.
template<typename T> std::string CaseName(const T &value)
{
    std::string name = SpelledOut(value);
    if (name.find_first_not_of("0123456789") == std::string::npos)
        name = "number_" + name;
    return name;
}

// A case's own name as a test name: each character that is not a letter or a digit becomes '_'.
inline std::string Identifier(std::string_view name)
{
    std::string identifier(name);
    for (char &c : identifier)
        if (!std::isalnum(static_cast<unsigned char>(c)))
            c = '_';
    return identifier;
}

// The name generator of a table whose cases carry a `name`.
struct NamedAfterItsCase
{
    template<typename Info> std::string operator()(const Info &info) const
    {
        return Identifier(info.param.name);
    }
};
