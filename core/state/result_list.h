// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Each result of an analysis that is exported, shown or read back, declared once: where its values
// live, its unit and how its numbers are written, its column heading, how the cursor readout reads
// it and its place among the measures beside the plot. Every reader takes a value through
// ReadResult: the table (and so the CSV, the workbook and the clipboard), the readout, the
// measures' panel, the memory check, the allocation and the results' check walk this list.
#pragma once

#include "analysis_state.h"
#include "harmonic_readings.h"

#include "core/texts/number_text.h"
#include "core/texts/units.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <string_view>
#include <variant>

// How many values a result holds.
enum class ResultScope
{
    Analysis, // one value
    Harmonic, // one per harmonic: index k = 1 to RoundToCount(H)
    Sample, // one per sample of one period: index i = 0 to N - 1
    Measure, // one value that may be undefined, in the row of the measures
};

// Where a result's values live: exactly one of these.
struct StoredArray // an array of AnalysisResults, indexed by k or i
{
    RealArray AnalysisResults::*array;
    // Allocated with N + 2 elements by every analysis; otherwise computed when first asked for,
    // with a memory check of its own.
    bool allocatedByAnalysis;
};
struct StoredValue // a member of AnalysisResults
{
    double AnalysisResults::*value;
};
struct StoredMeasure // a member that stays empty where the measure is not defined
{
    std::optional<double> AnalysisResults::*measure;
};
struct ReadFromOthers // no storage: read from the other results as it is asked for
{
    double (*read)(const AnalysisState &, std::int64_t index); // NaN where it has no value
};
using ResultSource = std::variant<StoredArray, StoredValue, StoredMeasure, ReadFromOthers>;

// How the cursor readout reads a result.
enum class ReadAs
{
    Nothing, // not in the readout
    SignalScale, // the signal's band is scaled in it: the value at the cursor's height
    ModulusScale, // the spectrum's band in the moduli's view
    PhaseScale, // the spectrum's band in the phases' view
    LevelScale, // the spectrum's band in the decibels' view
    NearestLine, // in the moduli's view, its value at the harmonic line nearest the cursor
};

// How a value is written among the measures.
enum class PanelWriting
{
    Value, // in its declared format, then its unit
    HarmonicCount, // a whole number of harmonics; where there is none, beyond the harmonics shown
    Frequency, // in the frequency axis's unit, as a count of harmonics is
};

// A place among the measures shown beside the plot, under a caption. Results that share a row
// are written in it one after the other, in the order of their positions, with one caption and
// one unit.
struct PanelPlace
{
    int row = -1; // from the top; -1: not shown there
    std::u16string_view caption; // the row's, given by the result at position 0
    int position = 0; // along the row
    PanelWriting writing = PanelWriting::Value;
    // The row's caption through a filter, when the panel shows the output's measures.
    std::u16string_view filteredCaption = {};
};

struct ResultDeclaration
{
    ResultScope scope;
    ResultSource source;
    std::string_view heading; // the table's column, unit included (UTF-8)
    std::u16string_view unit; // after a value in the readout and the panel
    // What a label showing it holds, for assistive technology; empty for a result no label shows.
    std::u16string_view description = {};
    NumberFormat written = ReadoutScientific; // in the readout and the panel
    ReadAs readAs = ReadAs::Nothing;
    std::u16string_view readout = {}; // before its value in the readout
    PanelPlace panel = {};
    // Checked by the spectrum's paths as they write it; every other stored result is checked
    // after the analysis.
    bool checkedAsWritten = false;
    // Its column comes after those of the results declared before it was, whatever its scope,
    // so that a reader of the older tables finds their columns where they were.
    bool appended = false;
};

// The frequency of a bandwidth, in kHz: its count of harmonics times f; NaN where it has none.
template<std::optional<double> AnalysisResults::*Bandwidth>
double BandwidthKilohertz(const AnalysisState &state, std::int64_t)
{
    const std::optional<double> &harmonics = state.*Bandwidth;
    return harmonics ? Kilohertz(*harmonics * state.Frequency)
                     : std::numeric_limits<double>::quiet_NaN();
}

// In the table's order, within each scope.
inline constexpr std::array<ResultDeclaration, 17> AnalysisResultList = {{
    {.scope = ResultScope::Analysis,
     .source = StoredValue {&AnalysisResults::MeanValue},
     .heading = "componente continua [V]",
     .unit = u"V",
     .description = u"componente continua del segnale [V]",
     .panel = {1, u"componente continua", 0, PanelWriting::Value, u"componente continua di y(t)"},
     .checkedAsWritten = true},
    {.scope = ResultScope::Harmonic,
     .source = StoredArray {&AnalysisResults::CosCoefficients, true},
     .heading = "a_k [V]",
     .unit = u"V"},
    {.scope = ResultScope::Harmonic,
     .source = StoredArray {&AnalysisResults::SinCoefficients, true},
     .heading = "b_k [V]",
     .unit = u"V"},
    {.scope = ResultScope::Harmonic,
     .source = StoredArray {&AnalysisResults::Magnitudes, true},
     .heading = "|S_k| [V]",
     .unit = u"V",
     .readAs = ReadAs::ModulusScale,
     .readout = u"|S(f)| = "},
    {.scope = ResultScope::Sample,
     .source = StoredArray {&AnalysisResults::Samples, true},
     .heading = "s(i) [V]",
     .unit = u"V",
     .readAs = ReadAs::SignalScale,
     .readout = u"s(t) = "},
    {.scope = ResultScope::Sample,
     .source = StoredArray {&AnalysisResults::HarmonicSum, false},
     .heading = "somma armoniche [V]",
     .unit = u"V"},
    {.scope = ResultScope::Harmonic,
     .source = ReadFromOthers {&PhaseDegrees},
     .heading = "fase [\xC2\xB0]",
     .unit = u"\u00B0",
     .written = ReadoutFixed,
     .readAs = ReadAs::PhaseScale,
     .readout = u"fase = ",
     .appended = true},
    {.scope = ResultScope::Harmonic,
     .source = ReadFromOthers {&LevelDecibels},
     .heading = "livello [dB]",
     .unit = u"dB",
     .written = ReadoutFixed,
     .readAs = ReadAs::LevelScale,
     .readout = u"livello = ",
     .appended = true},
    {.scope = ResultScope::Measure,
     .source = StoredMeasure {&AnalysisResults::RmsValue},
     .heading = "valore efficace [V]",
     .unit = u"V",
     .description = u"valore efficace del segnale [V]",
     .panel = {0, u"valore efficace", 0, PanelWriting::Value, u"valore efficace di y(t)"},
     .appended = true},
    {.scope = ResultScope::Measure,
     .source = StoredMeasure {&AnalysisResults::HarmonicDistortion},
     .heading = "THD [%]",
     .unit = u"%",
     .description = u"distorsione armonica totale delle armoniche visualizzate, in percentuale",
     .written = ReadoutFixed,
     .panel
     = {2, u"distorsione armonica (THD)", 0, PanelWriting::Value, u"distorsione armonica di y(t)"},
     .appended = true},
    {.scope = ResultScope::Measure,
     .source = StoredMeasure {&AnalysisResults::PowerShare},
     .heading = "potenza nelle armoniche [%]",
     .unit = u"%",
     .description = u"quota della potenza del segnale portata dalla componente continua e dalle "
                    u"armoniche visualizzate, in percentuale",
     .written = ReadoutFixed,
     .panel
     = {3, u"potenza in DC e armoniche", 0, PanelWriting::Value, u"potenza passata dal filtro"},
     .appended = true},
    {.scope = ResultScope::Measure,
     .source = StoredMeasure {&AnalysisResults::BandwidthAt90},
     .heading = "banda 90 % [armoniche]",
     .unit = u"armoniche",
     .description = u"numero di armoniche che con la componente continua portano il 90, il 95 e "
                    u"il 99 % della potenza del segnale",
     .written = {NumberPattern::Fixed, 0, false},
     .panel = {4, u"banda 90 / 95 / 99 %: armoniche", 0, PanelWriting::HarmonicCount,
               u"banda di y(t) 90/95/99 %: armoniche"},
     .appended = true},
    {.scope = ResultScope::Measure,
     .source = StoredMeasure {&AnalysisResults::BandwidthAt95},
     .heading = "banda 95 % [armoniche]",
     .unit = u"armoniche",
     .written = {NumberPattern::Fixed, 0, false},
     .panel = {4, {}, 1, PanelWriting::HarmonicCount},
     .appended = true},
    {.scope = ResultScope::Measure,
     .source = StoredMeasure {&AnalysisResults::BandwidthAt99},
     .heading = "banda 99 % [armoniche]",
     .unit = u"armoniche",
     .written = {NumberPattern::Fixed, 0, false},
     .panel = {4, {}, 2, PanelWriting::HarmonicCount},
     .appended = true},
    {.scope = ResultScope::Measure,
     .source = ReadFromOthers {&BandwidthKilohertz<&AnalysisResults::BandwidthAt90>},
     .heading = "banda 90 % [kHz]",
     .unit = KilohertzName,
     .description = u"frequenza dell'ultima armonica che con le precedenti e la componente "
                    u"continua porta il 90, il 95 e il 99 % della potenza del segnale",
     .panel = {5, u"banda 90 / 95 / 99 %: frequenza", 0, PanelWriting::Frequency,
               u"banda di y(t) 90/95/99 %: frequenza"},
     .appended = true},
    {.scope = ResultScope::Measure,
     .source = ReadFromOthers {&BandwidthKilohertz<&AnalysisResults::BandwidthAt95>},
     .heading = "banda 95 % [kHz]",
     .unit = KilohertzName,
     .panel = {5, {}, 1, PanelWriting::Frequency},
     .appended = true},
    {.scope = ResultScope::Measure,
     .source = ReadFromOthers {&BandwidthKilohertz<&AnalysisResults::BandwidthAt99>},
     .heading = "banda 99 % [kHz]",
     .unit = KilohertzName,
     .panel = {5, {}, 2, PanelWriting::Frequency},
     .appended = true},
}};

// The value of `result` at index `index` (k for a harmonic, i for a sample; ignored otherwise):
// NaN where there is none (past its array, an array not computed yet, a measure not defined).
inline double ReadResult(const AnalysisState &state, const ResultDeclaration &result,
                         std::int64_t index)
{
    constexpr double none = std::numeric_limits<double>::quiet_NaN();
    if (const auto *stored = std::get_if<StoredArray>(&result.source)) {
        const RealArray &values = state.*stored->array;
        return index >= 0 && static_cast<std::size_t>(index) < values.size()
            ? values[static_cast<std::size_t>(index)]
            : none;
    }
    if (const auto *stored = std::get_if<StoredValue>(&result.source))
        return state.*stored->value;
    if (const auto *stored = std::get_if<StoredMeasure>(&result.source))
        return (state.*stored->measure).value_or(none);
    // The harmonics' readers read the coefficients and the moduli at k.
    const auto held = std::min(
        {state.CosCoefficients.size(), state.SinCoefficients.size(), state.Magnitudes.size()});
    if (result.scope == ResultScope::Harmonic
        && !(index >= 0 && static_cast<std::size_t>(index) < held))
        return none;
    return std::get<ReadFromOthers>(result.source).read(state, index);
}

namespace ResultListDetail {

// (holds_alternative and get rather than get_if: a pointer's test is no constant expression
// where the undefined-behaviour sanitizer checks it.)
template<typename Source, typename Member>
constexpr const ResultDeclaration &Find(Member Source::*field, auto wanted)
{
    for (const ResultDeclaration &result : AnalysisResultList)
        if (std::holds_alternative<Source>(result.source)
            && std::get<Source>(result.source).*field == wanted)
            return result;
    throw "not a declared result"; // a compile-time error where used in a constant expression
}

} // namespace ResultListDetail

// The declaration of the result stored in `array` (`value`, `measure`) or read by `read`.
constexpr const ResultDeclaration &ResultOf(RealArray AnalysisResults::*array)
{
    return ResultListDetail::Find(&StoredArray::array, array);
}
constexpr const ResultDeclaration &ResultOf(double AnalysisResults::*value)
{
    return ResultListDetail::Find(&StoredValue::value, value);
}
constexpr const ResultDeclaration &ResultOf(std::optional<double> AnalysisResults::*measure)
{
    return ResultListDetail::Find(&StoredMeasure::measure, measure);
}
constexpr const ResultDeclaration &ResultOf(double (*read)(const AnalysisState &, std::int64_t))
{
    return ResultListDetail::Find(&ReadFromOthers::read, read);
}

// The result a band's vertical scale is read as, in a view.
constexpr const ResultDeclaration &ScaleOf(ReadAs scale)
{
    for (const ResultDeclaration &result : AnalysisResultList)
        if (result.readAs == scale)
            return result;
    throw "no result scales the band";
}

// Results of the scope, among those whose columns are appended or the others.
constexpr std::size_t ResultsIn(ResultScope scope, bool appended = false)
{
    std::size_t count = 0;
    for (const ResultDeclaration &result : AnalysisResultList)
        count += result.scope == scope && result.appended == appended;
    return count;
}

// The results in a row of the measures beside the plot.
constexpr std::size_t PanelRowLength(std::size_t row)
{
    std::size_t length = 0;
    for (const ResultDeclaration &result : AnalysisResultList)
        length += result.panel.row == static_cast<int>(row);
    return length;
}

// The result at `position` along a row (0 gives the row's caption and description).
constexpr const ResultDeclaration &PanelResult(std::size_t row, std::size_t position = 0)
{
    for (const ResultDeclaration &result : AnalysisResultList)
        if (result.panel.row == static_cast<int>(row)
            && result.panel.position == static_cast<int>(position))
            return result;
    throw "no result in that row";
}

// The measures' rows beside the plot, from the top: each with positions 0, 1, ... held once
// each, all written alike, and captioned at position 0.
constexpr std::size_t PanelRows = [] {
    std::size_t rows = 0;
    while (PanelRowLength(rows) > 0)
        ++rows;
    for (const ResultDeclaration &result : AnalysisResultList) {
        if (result.panel.row < 0)
            continue;
        const auto row = static_cast<std::size_t>(result.panel.row);
        std::size_t holders = 0;
        for (const ResultDeclaration &other : AnalysisResultList)
            holders += other.panel.row == result.panel.row
                && other.panel.position == result.panel.position;
        if (row >= rows || result.panel.position < 0
            || static_cast<std::size_t>(result.panel.position) >= PanelRowLength(row)
            || holders != 1 || result.panel.writing != PanelResult(row).panel.writing)
            throw "the panel's rows are not each held once, position by position";
        if (result.panel.position == 0
            && (result.panel.caption.empty() || result.panel.filteredCaption.empty()))
            throw "each of the panel's rows has its caption, and its caption through a filter";
    }
    return rows;
}();

// Bytes of the arrays every analysis allocates, per element: the memory check multiplies by N + 2.
constexpr std::uint64_t BytesPerSample = [] {
    std::uint64_t bytes = 0;
    for (const ResultDeclaration &result : AnalysisResultList)
        if (std::holds_alternative<StoredArray>(result.source))
            bytes += std::get<StoredArray>(result.source).allocatedByAnalysis ? sizeof(double) : 0;
    return bytes;
}();
