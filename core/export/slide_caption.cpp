// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "slide_caption.h"

#include "analysis_table.h"

#include "core/state/analysis_state.h"
#include "core/state/measured_signal.h"
#include "core/state/parameter_table.h"
#include "core/texts/pulse_shapes.h"

#include <algorithm>
#include <cstddef>

namespace {

// The shortest text that reads back to `value`, with `separator` for its point.
void AppendNumber(double value, char separator, std::string &out)
{
    const std::size_t from = out.size();
    AppendShortestNumber(value, out);
    std::replace(out.begin() + static_cast<std::ptrdiff_t>(from), out.end(), '.', separator);
}

} // namespace

namespace {

// "rettangolare. D.C. = 0.25, Vmax = 10 V, …." and the filter's sentence, after what `caption`
// holds.
void AppendAnalysis(const AnalysisParameters &parameters, const FilterSettings &filter,
                    char decimalSeparator, std::string &caption)
{
    caption += SignalName(parameters);
    caption += '.';
    // "D.C. = 0.25", "Vmax = 10 V": a value with its symbol and unit, after `before`, or after the
    // separator that parts the values.
    const auto value
        = [&](const char *before, std::string_view symbol, double number, std::string_view unit) {
              caption += before ? before : decimalSeparator == ',' ? "; " : ", ";
              caption += symbol;
              caption += " = ";
              AppendNumber(number, decimalSeparator, caption);
              if (!unit.empty()) {
                  caption += ' ';
                  caption += unit;
              }
          };
    for (const ParameterDeclaration &row : AnalysisParameterRows)
        value(&row == AnalysisParameterRows.data() ? " " : nullptr, row.symbol,
              row.stored(parameters), row.unit);
    caption += '.';
    const FilterDeclaration &declared = DeclarationOf(filter.kind);
    if (filter.kind != FilterKind::None) {
        caption += " Filtro ";
        caption += declared.name;
        for (int p = 0; p < declared.parameterCount; ++p) {
            const FilterParameter &parameter = declared.parameters[static_cast<std::size_t>(p)];
            value(p == 0 ? ": " : nullptr, parameter.symbol,
                  (p == 0 ? filter.frequency : filter.quality) / parameter.scale, parameter.unit);
        }
        caption += '.';
    }
}

} // namespace

std::string SlideCaption(const AnalysisParameters &parameters, std::span<const std::string> views,
                         char decimalSeparator, const FilterSettings &filter,
                         const HeldReference *reference)
{
    std::string caption = parameters.Measured ? "Segnale " : "Forma dell'impulso: ";
    AppendAnalysis(parameters, filter, decimalSeparator, caption);
    if (reference) {
        caption += " Riferimento: ";
        AppendAnalysis(reference->analysis.Parameters(), reference->filter, decimalSeparator,
                       caption);
    }
    for (std::size_t v = 0; v < views.size(); ++v) {
        caption += v == 0 ? " Viste: " : "; ";
        caption += views[v];
    }
    if (!views.empty())
        caption += '.';
    return caption;
}

std::string SlideFileName(const AnalysisParameters &parameters, char decimalSeparator)
{
    std::string name = "spettro-segnale-diapositiva-";
    std::string shape(parameters.Measured ? MeasuredSignalName : TextsOf(parameters.Shape).name);
    std::replace(shape.begin(), shape.end(), ' ', '-');
    name += shape;
    name += "-D";
    AppendNumber(parameters.DutyCycle, decimalSeparator, name);
    name += ".png";
    return name;
}
