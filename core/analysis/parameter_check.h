// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The refusals: parameters that pass the field checks but that the computation, the plot or the
// readout cannot handle are turned away with a message before anything changes.
#pragma once

#include "core/state/analysis_state.h"
#include "core/state/parameter_table.h"
#include "core/texts/fields.h"
#include "core/texts/refusal.h"

#include <cstdint>
#include <variant>

enum class Command
{
    HarmonicModulus,
    Graphs
};

// The value of each field as converted from its text, before any rounding.
struct TypedValues
{
    double DutyCycle = 0;
    double Amplitude = 0;
    double FrequencyHz = 0; // the kHz text times 1000
    double FrequencyKHz = 0;
    double SampleCount = 0;
    double HarmonicCount = 0;
    double PeriodCount = 0;
    double TargetHarmonic = 0; // harmonic modulus command only
};

// The fields' texts as the command converts them, each through Val; the frequency also in Hz.
TypedValues TypedValuesOf(const FieldTexts &texts, Command command);

// The test both commands make before any other: a duty cycle above 1 or equal to 0.
constexpr bool DutyCycleRefused(double dutyCycle)
{
    return dutyCycle > 1 || dutyCycle == 0;
}

// Checks values that passed the duty-cycle test. Returns the first problem, or the parameters to
// store. `availableMemory` is in bytes.
std::variant<AnalysisParameters, Refusal>
CheckParameters(const TypedValues &values, Command command, std::uint64_t availableMemory);
