// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The check of one typed field: not empty, and only digits and . e E - +.
#pragma once

#include "core/analysis/message_box.h"
#include "core/state/analysis_state.h"

#include <string>
#include <string_view>

// Longest text the check accepts; a longer one is reported as a bad field.
constexpr std::size_t MaxEntryLength = 32766;

// Whether the text passes the check, without a message: not empty, no longer than
// MaxEntryLength, and only digits and . e E - +.
bool EntryPasses(std::u16string_view text);

// Sets state.EntryError to 0 when the text passes; otherwise shows MissingMessage (empty text)
// or InvalidMessage (a character outside the number alphabet, or a text longer than
// MaxEntryLength) and sets EntryError to 1 once the box is closed.
void CheckEntry(AnalysisState &state, const std::u16string &text, MessageBox &box);
