// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The windows' texts as Qt takes them, from the program's one table of texts.
#pragma once

#include "core/texts/messages.h"

#include <QString>

inline QString QTextOf(UiText text)
{
    const std::u16string_view words = TextOf(text);
    return QString::fromUtf16(words.data(), static_cast<qsizetype>(words.size()));
}
