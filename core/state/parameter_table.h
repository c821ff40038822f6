// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The typed parameters, declared once. Each row holds a field's symbol, unit and Italian name, its
// step and the limits the step keeps to, the decimals a step writes at least, its first text, and
// the stored value it becomes. The rows stand in the order the commands check the fields. The
// input window (its symbols, first texts, tool tips and accessible names), the step, the exports'
// parameters row and the slide's caption all read them, so that a value has one symbol everywhere.
#pragma once

#include "core/state/analysis_state.h"
#include "core/texts/fields.h"
#include "core/texts/joined_text.h"
#include "core/texts/units.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

// Largest sample count: N + 1 must still be a 32-bit count.
inline constexpr std::int32_t MaxSampleCount = 2147483646;
// Largest harmonic count: 2k, formed as a 32-bit count in every angle, must not overflow.
inline constexpr std::int32_t MaxHarmonicCount = 1073741823;
// Where the steps stop besides what the checks refuse: D at a hundredth (the checks refuse 0), f
// at a thousand million kHz and at 1 kHz, P at a million periods and at one, Vmax nowhere.
inline constexpr double LeastSteppedDutyCycle = 0.01;
inline constexpr double MostSteppedKilohertz = 1e9;
inline constexpr double LeastSteppedKilohertz = 1;
inline constexpr double MostSteppedPeriods = 1e6;
inline constexpr double LeastSteppedPeriods = 1;
inline constexpr double UnboundedStep = 1e300;

// UTF-8, as the exports write them and the windows convert them.
struct ParameterDeclaration
{
    Field field;
    std::string_view symbol; // as the input window's label writes it: "D.C.", "M", "Np"
    std::string_view unit; // empty for a pure number
    std::string_view name; // what the field holds, after its symbol in its accessible name
    double step; // Up and Down take one, Page Up and Page Down ten
    double low; // the step's limits
    double high;
    int decimals; // the fewest a stepped value is written with
    std::string_view firstText; // the field's text when the program starts
    // The stored value in the field's unit (f in kHz), for the texts that write it back.
    double (*stored)(const AnalysisParameters &);
};

// The frequency's one spelling (units.h), in UTF-8.
inline constexpr JoinedText<char, 8> KilohertzUtf8 {KilohertzName};

inline constexpr std::array<ParameterDeclaration, FieldCount> ParameterTable = {{
    {Field::Text1, "D.C.", "", "Duty Cycle = Ti / T", 0.01, LeastSteppedDutyCycle, 1, 2, "0.5",
     [](const AnalysisParameters &p) { return p.DutyCycle; }},
    {Field::Text7, "Vmax", "V", "ampiezza dell'impulso", 1, -UnboundedStep, UnboundedStep, 0, "10",
     [](const AnalysisParameters &p) { return p.Amplitude; }},
    {Field::Text12, "f", KilohertzUtf8.View(), "frequenza del segnale", 1, LeastSteppedKilohertz,
     MostSteppedKilohertz, 0, "100",
     [](const AnalysisParameters &p) { return Kilohertz(p.Frequency); }},
    {Field::Text13, "N", "", "numero campioni per periodo", 1, 1, MaxSampleCount, 0, "10000",
     [](const AnalysisParameters &p) { return static_cast<double>(p.SampleCount); }},
    {Field::Text3, "M", "", "numero armoniche dello spettro visualizzate", 1, 0, MaxHarmonicCount,
     0, "10", [](const AnalysisParameters &p) { return p.HarmonicCount; }},
    {Field::Text8, "Np", "", "numero periodi di s(t) visualizzati", 1, LeastSteppedPeriods,
     MostSteppedPeriods, 0, "3", [](const AnalysisParameters &p) { return p.PeriodCount; }},
    {Field::Text2, "z", "", "numero della armonica di cui calcolare il modulo", 1, 0,
     MaxSampleCount, 0, "",
     [](const AnalysisParameters &p) { return static_cast<double>(p.TargetHarmonic); }},
}};

// The row of `field`.
constexpr const ParameterDeclaration &ParameterOf(Field field)
{
    return ParameterTable[static_cast<std::size_t>(field)];
}

// The rows every analysis is made of, in their order: all but z, the harmonic modulus command's
// own. The exports' parameters row and the slide's caption write these.
inline constexpr std::span<const ParameterDeclaration> AnalysisParameterRows(ParameterTable.data(),
                                                                             FieldCount - 1);

// A short text made when the program is built.
struct ParameterText
{
    std::array<char, 32> chars {};
    std::size_t size = 0;
    constexpr void Add(std::string_view text)
    {
        for (const char c : text)
            chars[size++] = c;
    }
    constexpr std::string_view View() const { return {chars.data(), size}; }
};

// The symbol and, in brackets, the unit: "Vmax [V]", "f [kHz]", "N". The exports' headings and the
// start of the field's accessible name.
inline constexpr std::array<ParameterText, FieldCount> ParameterHeadings = [] {
    std::array<ParameterText, FieldCount> headings {};
    for (std::size_t p = 0; p < FieldCount; ++p) {
        headings[p].Add(ParameterTable[p].symbol);
        if (!ParameterTable[p].unit.empty()) {
            headings[p].Add(" [");
            headings[p].Add(ParameterTable[p].unit);
            headings[p].Add("]");
        }
    }
    return headings;
}();

constexpr std::string_view HeadingOf(Field field)
{
    return ParameterHeadings[static_cast<std::size_t>(field)].View();
}

// The rows stand in the fields' order, so that ParameterOf finds each.
static_assert([] {
    for (std::size_t p = 0; p < FieldCount; ++p)
        if (static_cast<std::size_t>(ParameterTable[p].field) != p)
            return false;
    return true;
}());
