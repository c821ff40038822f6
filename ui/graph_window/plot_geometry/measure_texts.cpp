// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "measure_texts.h"

#include "core/spectrum/spectrum.h"
#include "core/texts/messages.h"
#include "core/texts/number_text.h"
#include "core/texts/units.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace {

// A row of bandwidths, counts of harmonics or their frequencies: each value in the row's order,
// or "oltre" and the harmonics shown where harmonics 1 to H do not reach its share. Frequencies
// take the frequency axis's unit that writes the largest under a thousand, with two decimals (in
// the scientific pattern below 1 kHz).
std::u16string BandwidthRow(const AnalysisState &state, std::size_t row, char16_t separator)
{
    const ResultDeclaration &first = PanelResult(row);
    const bool frequency = first.panel.writing == PanelWriting::Frequency;
    // What the harmonics shown stand for in the row's own unit, harmonics or kHz.
    const double shown
        = static_cast<double>(HarmonicsHeld(state)) * (frequency ? Kilohertz(state.Frequency) : 1);
    std::vector<std::pair<double, bool>> values; // in the row's unit; beyond those shown
    double largest = 0;
    for (std::size_t position = 0; position < PanelRowLength(row); ++position) {
        const double value = ReadResult(state, PanelResult(row, position), 0);
        values.emplace_back(std::isnan(value) ? shown : value, std::isnan(value));
        largest = std::max(largest, values.back().first);
    }
    std::size_t unit = 0;
    double divisor = 1;
    while (frequency && unit + 1 < FrequencyAxisUnits.size() && largest / divisor >= 999.995) {
        divisor *= 1000;
        ++unit;
    }
    const NumberFormat format = !frequency ? first.written
        : largest < 1                      ? ReadoutScientific
                                           : ReadoutFixed;
    std::u16string text;
    for (const auto &[value, beyond] : values) {
        if (!text.empty())
            text += u" / ";
        if (beyond)
            text += TextOf(UiText::BeyondHarmonics);
        text += FormatNumber(value / divisor, format, separator).value_or(u"");
    }
    text += u' ';
    text += frequency ? FrequencyAxisUnits[unit] : first.unit;
    return text;
}

} // namespace

std::array<std::u16string, PanelRows> MeasureTexts(const AnalysisState &state,
                                                   char16_t decimalSeparator)
{
    std::array<std::u16string, PanelRows> texts;
    if (!state.Noise) // found with the measures
        return texts;
    for (std::size_t row = 0; row < PanelRows; ++row) {
        const ResultDeclaration &result = PanelResult(row);
        if (result.panel.writing != PanelWriting::Value) {
            // A signal of no power has no bandwidth.
            texts[row] = state.PowerShare ? BandwidthRow(state, row, decimalSeparator)
                                          : std::u16string(TextOf(UiText::NotDefined));
            continue;
        }
        const std::optional<std::u16string> number
            = FormatNumber(ReadResult(state, result, 0), result.written, decimalSeparator);
        texts[row] = number ? *number + u" " + std::u16string(result.unit)
                            : std::u16string(TextOf(UiText::NotDefined));
    }
    return texts;
}
