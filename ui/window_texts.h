// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The windows' texts as Qt takes them, from the program's one table of texts, and the decimal
// separator their numbers are written with.
#pragma once

#include "core/texts/messages.h"

#include <QLocale>
#include <QString>

inline QString QTextOf(UiText text)
{
    const std::u16string_view words = TextOf(text);
    return QString::fromUtf16(words.data(), static_cast<qsizetype>(words.size()));
}

// The separator of the user's language, before the decimals of every number the windows show or
// copy; typed numbers take the point whatever it is.
inline char16_t LocaleDecimalSeparator()
{
    return QLocale().decimalPoint().at(0).unicode();
}
