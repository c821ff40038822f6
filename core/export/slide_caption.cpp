// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "slide_caption.h"

#include "analysis_table.h"

#include "core/state/analysis_state.h"
#include "core/state/parameter_table.h"
#include "core/texts/pulse_shapes.h"

std::string SlideCaption(const AnalysisParameters &parameters, std::span<const std::string> views)
{
    std::string caption = "Forma dell'impulso: ";
    caption += TextsOf(parameters.Shape).name;
    caption += '.';
    // " D.C. = 0.25, Vmax = 10 V, f = 100 kHz, ...": each with its symbol and unit.
    for (const ParameterDeclaration &row : AnalysisParameterRows) {
        caption += &row == AnalysisParameterRows.data() ? " " : ", ";
        caption += row.symbol;
        caption += " = ";
        AppendShortestNumber(row.stored(parameters), caption);
        if (!row.unit.empty()) {
            caption += ' ';
            caption += row.unit;
        }
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
