// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The input window's first texts, with z = 1, as the commands' tests start from them.
#pragma once

#include "core/texts/fields.h"

inline FieldTexts DefaultTexts()
{
    FieldTexts t;
    t[Field::Text1] = u"0.5";
    t[Field::Text7] = u"10";
    t[Field::Text12] = u"100";
    t[Field::Text13] = u"10000";
    t[Field::Text3] = u"10";
    t[Field::Text8] = u"3";
    t[Field::Text2] = u"1";
    return t;
}
