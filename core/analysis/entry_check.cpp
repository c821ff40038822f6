// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/analysis/entry_check.h"

#include <algorithm>

namespace {

bool InNumberAlphabet(char16_t c)
{
    return (c >= u'0' && c <= u'9') || c == u'e' || c == u'.' || c == u'E' || c == u'-'
        || c == u'+';
}

} // namespace

bool EntryPasses(std::u16string_view text)
{
    return !text.empty() && text.size() <= MaxEntryLength
        && std::all_of(text.begin(), text.end(), InNumberAlphabet);
}

void CheckEntry(AnalysisState &state, const std::u16string &text, MessageBox &box)
{
    state.EntryError = 0;
    if (text.empty()) {
        box.Show(state.MissingMessage);
        state.EntryError = 1;
        return;
    }
    if (!EntryPasses(text)) {
        box.Show(state.InvalidMessage);
        state.EntryError = 1;
    }
}
