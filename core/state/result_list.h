// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Each result of an analysis that is exported, drawn or read back, declared once: where it lives,
// its unit, its column heading, its readout text, its band and colour in the plot. The table, the
// memory check, the results' check, the palette and the readout walk this list.
#pragma once

#include "analysis_state.h"
#include "harmonic_readings.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

// How many values a result holds.
enum class ResultScope
{
    Analysis, // one value, a member of its own
    Harmonic, // one per harmonic: index k = 1 to RoundToCount(H) of its array
    Sample, // one per sample of one period: index i = 0 to N - 1 of its array
    Measure, // one value that may be undefined, a member of its own, in the row of the measures
};

// Where the graph window draws a result.
enum class PlotBand
{
    Signal, // above the time axis, against the time
    Spectrum, // on the spectrum's lines, against the frequency
};

struct ResultDeclaration
{
    ResultScope scope;
    // The array of a harmonic or sample result; the member of an analysis-wide one.
    RealArray AnalysisResults::*values = nullptr;
    double AnalysisResults::*value = nullptr;
    std::string_view heading; // the table's column, unit included (UTF-8)
    std::u16string_view unit; // after a value in the readout
    // Before the value under the cursor in the readout, for the result a band is scaled to; empty
    // for the others.
    std::u16string_view readout;
    PlotBand band;
    std::uint32_t colour; // 0xRRGGBB, what the plot draws it in
    // An array every analysis allocates with N + 2 elements; the others are computed when first
    // asked for, with a memory check of their own.
    bool allocatedByAnalysis = false;
    // Written by the spectrum's paths, which check each value as they write it where they can;
    // every other result is checked after the analysis.
    bool checkedAsWritten = false;
    // The member of a measure.
    std::optional<double> AnalysisResults::*measure = nullptr;
    // A harmonic result read from the others as it is asked for, with no array of its own: NaN
    // where it has no value.
    double (*derived)(const AnalysisState &, std::int64_t k) = nullptr;
    // Its column comes after those of the results declared before it was, whatever its scope,
    // so that a reader of the older tables finds their columns where they were.
    bool appended = false;
};

// In the table's order, within each scope.
inline constexpr std::array<ResultDeclaration, 11> AnalysisResultList = {{
    {ResultScope::Analysis, nullptr, &AnalysisResults::MeanValue, "componente continua [V]", u"V",
     u"", PlotBand::Spectrum, 0x00ff00, false, true},
    {ResultScope::Harmonic, &AnalysisResults::CosCoefficients, nullptr, "a_k [V]", u"V", u"",
     PlotBand::Spectrum, 0x0000ff, true},
    {ResultScope::Harmonic, &AnalysisResults::SinCoefficients, nullptr, "b_k [V]", u"V", u"",
     PlotBand::Spectrum, 0x0000ff, true},
    {ResultScope::Harmonic, &AnalysisResults::Magnitudes, nullptr, "|S_k| [V]", u"V", u"|S(f)| = ",
     PlotBand::Spectrum, 0x0000ff, true},
    {ResultScope::Sample, &AnalysisResults::Samples, nullptr, "s(i) [V]", u"V", u"s(t) = ",
     PlotBand::Signal, 0xff0000, true},
    // Its own colour, apart from the others and 9.1 : 1 against the plot's light yellow.
    {ResultScope::Sample, &AnalysisResults::HarmonicSum, nullptr, "somma armoniche [V]", u"V", u"",
     PlotBand::Signal, 0x800080},
    {.scope = ResultScope::Harmonic,
     .heading = "fase [\xC2\xB0]",
     .unit = u"\u00B0",
     .readout = u"fase = ",
     .band = PlotBand::Spectrum,
     .colour = 0x0000ff,
     .derived = &PhaseDegrees,
     .appended = true},
    {.scope = ResultScope::Harmonic,
     .heading = "livello [dB]",
     .unit = u"dB",
     .readout = u"livello = ",
     .band = PlotBand::Spectrum,
     .colour = 0x0000ff,
     .derived = &LevelDecibels,
     .appended = true},
    {.scope = ResultScope::Measure,
     .heading = "valore efficace [V]",
     .unit = u"V",
     .band = PlotBand::Signal,
     .colour = 0xff0000,
     .measure = &AnalysisResults::RmsValue,
     .appended = true},
    {.scope = ResultScope::Measure,
     .heading = "THD [%]",
     .unit = u"%",
     .band = PlotBand::Spectrum,
     .colour = 0x0000ff,
     .measure = &AnalysisResults::HarmonicDistortion,
     .appended = true},
    {.scope = ResultScope::Measure,
     .heading = "potenza nelle armoniche [%]",
     .unit = u"%",
     .band = PlotBand::Spectrum,
     .colour = 0x0000ff,
     .measure = &AnalysisResults::PowerShare,
     .appended = true},
}};

// The declaration of the array `values` (of the member `value`).
constexpr const ResultDeclaration &ResultOf(RealArray AnalysisResults::*values)
{
    for (const ResultDeclaration &result : AnalysisResultList)
        if (result.values == values && result.values)
            return result;
    throw "not a declared result"; // a compile-time error where used in a constant expression
}
constexpr const ResultDeclaration &ResultOf(double AnalysisResults::*value)
{
    for (const ResultDeclaration &result : AnalysisResultList)
        if (result.value == value && result.value)
            return result;
    throw "not a declared result";
}
constexpr const ResultDeclaration &ResultOf(std::optional<double> AnalysisResults::*measure)
{
    for (const ResultDeclaration &result : AnalysisResultList)
        if (result.measure == measure)
            return result;
    throw "not a declared result";
}

constexpr const ResultDeclaration &ResultOf(double (*derived)(const AnalysisState &, std::int64_t))
{
    for (const ResultDeclaration &result : AnalysisResultList)
        if (result.derived == derived && result.derived)
            return result;
    throw "not a declared result";
}

// The result a band's vertical scale is read as: the one with a readout text in that band.
constexpr const ResultDeclaration &ScaleOf(PlotBand band)
{
    for (const ResultDeclaration &result : AnalysisResultList)
        if (result.band == band && !result.readout.empty() && !result.derived)
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

// Bytes of the arrays every analysis allocates, per element: the memory check multiplies by N + 2.
constexpr std::uint64_t BytesPerSample = [] {
    std::uint64_t bytes = 0;
    for (const ResultDeclaration &result : AnalysisResultList)
        bytes += result.allocatedByAnalysis ? sizeof(double) : 0;
    return bytes;
}();
