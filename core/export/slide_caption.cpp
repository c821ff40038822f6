// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "slide_caption.h"

#include "analysis_table.h"

#include "core/state/analysis_state.h"
#include "core/texts/joined_text.h"
#include "core/texts/pulse_shapes.h"
#include "core/texts/units.h"

#include <string_view>

namespace {

constexpr JoinedText<char, 8> KilohertzUnit {u" ", KilohertzName};

} // namespace

std::string SlideCaption(const AnalysisParameters &parameters, std::span<const std::string> views)
{
    std::string caption = "Forma dell'impulso: ";
    caption += TextsOf(parameters.Shape).name;
    caption += '.';
    struct Value
    {
        const char *name;
        double value;
        std::string_view unit;
    };
    const Value values[] = {
        {" D.C. = ", parameters.DutyCycle, ""},
        {", Vmax = ", parameters.Amplitude, " V"},
        {", f = ", Kilohertz(parameters.Frequency), KilohertzUnit.View()},
        {", N = ", static_cast<double>(parameters.SampleCount), ""},
        {", M = ", parameters.HarmonicCount, ""},
        {", Np = ", parameters.PeriodCount, ""},
    };
    for (const Value &value : values) {
        caption += value.name;
        AppendShortestNumber(value.value, caption);
        caption += value.unit;
    }
    caption += '.';
    for (std::size_t v = 0; v < views.size(); ++v) {
        caption += v == 0 ? " Viste: " : "; ";
        caption += views[v];
    }
    if (!views.empty())
        caption += '.';
    return caption;
}
