// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The field check on any text: it passes exactly the non-empty texts of digits and . e E - +
// up to the longest accepted length, and reports a failure with the matching message only.
#include "core/analysis/entry_check.h"
#include "fuzz_check.h"
#include "fuzz_input.h"
#include "tests/support/message_recorder.h"

#include <algorithm>
#include <string_view>

namespace { } // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzInput input(data, size);
    AnalysisState state;
    state.EntryText = input.Text();
    state.MissingMessage = u"missing";
    state.InvalidMessage = u"invalid";
    state.EntryError = static_cast<std::int16_t>(input.Byte() % 2);
    MessageRecorder box;
    CheckEntry(state, state.EntryText, box);

    constexpr std::u16string_view alphabet = u"0123456789.eE-+";
    const std::u16string &text = state.EntryText;
    const bool allowed = std::all_of(text.begin(), text.end(), [&](char16_t c) {
        return alphabet.find(c) != std::u16string_view::npos;
    });
    const bool passes = !text.empty() && allowed && text.size() < 32767;
    FUZZ_CHECK(state.EntryError == (passes ? 0 : 1), "length %zu", text.size());
    FUZZ_CHECK(box.shown.size() == (passes ? 0u : 1u), "length %zu", text.size());
    if (!passes)
        FUZZ_CHECK(box.shown[0] == (text.empty() ? u"missing" : u"invalid"), "length %zu",
                   text.size());
    return 0;
}
