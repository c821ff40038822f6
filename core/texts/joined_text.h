// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// A text joined from parts when the program is built, so that a text naming a unit takes the
// unit's one spelling (units.h) instead of repeating it.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <string_view>

// The parts are UTF-16; Char is char16_t for the windows' texts or char for the exported tables'
// UTF-8. Capacity counts code units; a text longer than it fails the build, as does a part outside
// the Basic Multilingual Plane when written in UTF-8.
template<typename Char, std::size_t Capacity> class JoinedText
{
public:
    consteval JoinedText(std::initializer_list<std::u16string_view> parts)
    {
        for (const std::u16string_view part : parts)
            for (const char16_t c : part)
                Append(c);
    }

    constexpr std::basic_string_view<Char> View() const { return {chars_, size_}; }

private:
    consteval void Append(char16_t c)
    {
        if constexpr (sizeof(Char) == sizeof(char16_t)) {
            Put(c);
        } else if (c < 0x80) {
            Put(static_cast<Char>(c));
        } else if (c < 0x800) {
            Put(static_cast<Char>(0xC0 | (c >> 6)));
            Put(static_cast<Char>(0x80 | (c & 0x3F)));
        } else {
            if (c >= 0xD800 && c < 0xE000)
                throw "JoinedText: a surrogate has no UTF-8 of its own";
            Put(static_cast<Char>(0xE0 | (c >> 12)));
            Put(static_cast<Char>(0x80 | ((c >> 6) & 0x3F)));
            Put(static_cast<Char>(0x80 | (c & 0x3F)));
        }
    }

    consteval void Put(Char c)
    {
        if (size_ == Capacity)
            throw "JoinedText: the text is longer than its capacity";
        chars_[size_++] = c;
    }

    Char chars_[Capacity] {};
    std::size_t size_ = 0;
};
