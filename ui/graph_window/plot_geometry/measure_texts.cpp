// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "measure_texts.h"

#include "core/texts/messages.h"
#include "core/texts/number_text.h"

std::array<std::u16string, PanelRows> MeasureTexts(const AnalysisState &state,
                                                   char16_t decimalSeparator)
{
    std::array<std::u16string, PanelRows> texts;
    if (!state.Noise) // found with the measures
        return texts;
    for (std::size_t row = 0; row < PanelRows; ++row) {
        const ResultDeclaration &result = PanelResult(row);
        const std::optional<std::u16string> number
            = FormatNumber(ReadResult(state, result, 0), result.written, decimalSeparator);
        texts[row] = number ? *number + u" " + std::u16string(result.unit)
                            : std::u16string(TextOf(UiText::NotDefined));
    }
    return texts;
}
