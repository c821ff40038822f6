// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "utf16.h"

std::u16string Utf16Of(std::string_view text, std::size_t most)
{
    std::u16string out;
    std::size_t characters = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        if (characters == most) {
            out += u'\u2026';
            break;
        }
        const unsigned char c = static_cast<unsigned char>(text[i]);
        int extra = c < 0x80         ? 0
            : c >= 0xC2 && c <= 0xDF ? 1
            : c >= 0xE0 && c <= 0xEF ? 2
            : c >= 0xF0 && c <= 0xF4 ? 3
                                     : -1;
        char32_t code = extra == 0 ? c : extra == 1 ? c & 0x1F : extra == 2 ? c & 0x0F : c & 0x07;
        bool valid = extra >= 0 && i + static_cast<std::size_t>(extra) < text.size();
        for (int k = 1; valid && k <= extra; ++k) {
            const unsigned char next = static_cast<unsigned char>(text[i + k]);
            valid = (next & 0xC0) == 0x80;
            code = (code << 6) | (next & 0x3F);
        }
        const char32_t least[] = {0, 0x80, 0x800, 0x10000};
        if (valid && (code < least[extra] || code > 0x10FFFF || (code >= 0xD800 && code < 0xE000)))
            valid = false;
        if (!valid) {
            out += u'\uFFFD';
            ++i;
        } else if (code >= 0x10000) {
            out += static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10));
            out += static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF));
            i += static_cast<std::size_t>(extra) + 1;
        } else {
            out += static_cast<char16_t>(code == 0 ? 0xFFFD : code);
            i += static_cast<std::size_t>(extra) + 1;
        }
        ++characters;
    }
    return out;
}
