// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Each result of an analysis that is exported, drawn or read back, declared once: where it lives,
// its unit, its column heading, its readout text, its band and colour in the plot. The table, the
// memory check, the results' check, the palette and the readout walk this list.
#pragma once

#include "analysis_state.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

// How many values a result holds.
enum class ResultScope
{
    Analysis, // one value, a member of its own
    Harmonic, // one per harmonic: index k = 1 to RoundToCount(H) of its array
    Sample, // one per sample of one period: index i = 0 to N - 1 of its array
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
};

// In the table's order, within each scope.
inline constexpr std::array<ResultDeclaration, 6> AnalysisResultList = {{
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
}};

// The declaration of the array `values` (of the member `value`).
constexpr const ResultDeclaration &ResultOf(RealArray AnalysisResults::*values)
{
    for (const ResultDeclaration &result : AnalysisResultList)
        if (result.values == values)
            return result;
    throw "not a declared result"; // a compile-time error where used in a constant expression
}
constexpr const ResultDeclaration &ResultOf(double AnalysisResults::*value)
{
    for (const ResultDeclaration &result : AnalysisResultList)
        if (result.value == value)
            return result;
    throw "not a declared result";
}

// The result a band's vertical scale is read as: the one with a readout text in that band.
constexpr const ResultDeclaration &ScaleOf(PlotBand band)
{
    for (const ResultDeclaration &result : AnalysisResultList)
        if (result.band == band && !result.readout.empty())
            return result;
    throw "no result scales the band";
}

constexpr std::size_t ResultsIn(ResultScope scope)
{
    std::size_t count = 0;
    for (const ResultDeclaration &result : AnalysisResultList)
        count += result.scope == scope;
    return count;
}

// Bytes of the arrays every analysis allocates, per element: the memory check multiplies by N + 2.
constexpr std::uint64_t BytesPerSample = [] {
    std::uint64_t bytes = 0;
    for (const ResultDeclaration &result : AnalysisResultList)
        bytes += result.allocatedByAnalysis ? sizeof(double) : 0;
    return bytes;
}();
