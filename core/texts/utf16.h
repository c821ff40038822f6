// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// UTF-8 text (the tables' names, a file's cells) as the UTF-16 of the texts the program shows.
#pragma once

#include <cstddef>
#include <limits>
#include <string>
#include <string_view>

// Each invalid byte (and NUL) as U+FFFD; cut after `most` characters with "…".
std::u16string Utf16Of(std::string_view text,
                       std::size_t most = std::numeric_limits<std::size_t>::max());
