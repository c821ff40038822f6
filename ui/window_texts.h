// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The windows' texts as Qt takes them, from the program's one table of texts, and their numbers in
// the formats of core/texts/number_text.h with the user's locale.
#pragma once

#include "core/texts/messages.h"
#include "core/texts/number_text.h"

#include <QLocale>
#include <QString>

#include <string_view>

inline QString QTextOf(UiText text)
{
    const std::u16string_view words = TextOf(text);
    return QString::fromUtf16(words.data(), static_cast<qsizetype>(words.size()));
}

// The separator of the user's language, before the decimals of every number the windows show or
// copy; typed numbers take the point whatever it is.
// A UTF-8 text of the core's tables (a parameter's symbol, a shape's name) for a window.
inline QString Utf8(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

inline char16_t LocaleDecimalSeparator()
{
    return QLocale().decimalPoint().at(0).unicode();
}

// The same for a text written in UTF-8 by the core (a caption, a file's name): the comma where the
// locale has one, else the point.
inline char AsciiDecimalSeparator()
{
    return LocaleDecimalSeparator() == u',' ? ',' : '.';
}

// A number as the windows show it, in one of the formats of core/texts/number_text.h: with the
// locale's decimal separator, or for a grouped format in the user's language in full (its digits,
// minus sign and grouping, which only Qt's locale knows). Empty for a value that is not finite.
inline QString LocaleNumber(double value, NumberFormat format)
{
    if (format.grouped)
        return QLocale().toString(value, format.pattern == NumberPattern::Scientific ? 'E' : 'f',
                                  format.decimals);
    const std::optional<std::u16string> text
        = FormatNumber(value, format, LocaleDecimalSeparator());
    return text ? QString::fromStdU16String(*text) : QString();
}
