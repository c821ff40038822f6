// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Turning the fuzzer's bytes into the typed texts of the input window.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Reads the bytes one after another.
class FuzzInput
{
public:
    FuzzInput(const std::uint8_t *data, std::size_t size) : data_(data), size_(size) { }

    bool Empty() const { return position_ >= size_; }
    std::uint8_t Byte() { return Empty() ? 0 : data_[position_++]; }

    // A text up to the next 0xff byte (or the end). Most bytes stand for themselves; 0xfe, 0xfd
    // and 0xfc bring characters beyond Latin-1 (a full-width digit, an Arabic-Indic digit, half
    // of a surrogate pair), and 0xfb followed by a count and a byte repeats that byte, so that
    // texts of tens of thousands of characters are a few bytes away.
    std::u16string Text()
    {
        std::u16string text;
        while (!Empty()) {
            const std::uint8_t b = Byte();
            switch (b) {
            case 0xff:
                return text;
            case 0xfe:
                text.push_back(u'\uFF15');
                break;
            case 0xfd:
                text.push_back(u'\u0665');
                break;
            case 0xfc:
                text.push_back(static_cast<char16_t>(0xD835));
                break;
            case 0xfb: {
                const std::size_t count = std::size_t(Byte()) * 160;
                text.append(count, static_cast<char16_t>(Byte()));
                break;
            }
            default:
                text.push_back(static_cast<char16_t>(b));
            }
        }
        return text;
    }

private:
    const std::uint8_t *data_;
    std::size_t size_;
    std::size_t position_ = 0;
};

inline std::string Narrow(const std::u16string &text)
{
    std::string out;
    for (const char16_t c : text)
        out.push_back(c < 0x80 ? static_cast<char>(c) : '?');
    return out;
}
