// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/texts/fields.h"

std::string_view FieldName(Field field)
{
    constexpr std::array<std::string_view, FieldCount> Names
        = {"Text1", "Text7", "Text12", "Text13", "Text3", "Text8", "Text2"};
    return Names[static_cast<std::size_t>(field)];
}
