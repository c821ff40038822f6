// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The two commands of the input window, from the typed texts to the stored analysis: the field
// checks, the conversions, the duty-cycle test, the refusals, the computation and its results.
#pragma once

#include "core/analysis/analysis_run.h"
#include "core/analysis/message_box.h"
#include "core/analysis/parameter_check.h"
#include "core/state/analysis_state.h"
#include "core/texts/fields.h"
#include "core/texts/messages.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>

// What the commands need from the windows around them.
class CommandHost
{
public:
    virtual ~CommandHost() = default;
    virtual MessageBox &Messages() = 0;
    // A command stops for a reason: its message, from the one table, in the message box.
    virtual void Refuse(const Refusal &refusal);
    // The harmonic modulus command turns the six parameter fields green once they pass.
    virtual void MarkParameterFields() { }
    // Computes the analysis in the workspace; the windows run it away from their thread.
    virtual AnalysisOutcome Compute(AnalysisState &analysis);
};

// Runs the field checks in the command's order, stopping at the first that fails.
bool CheckFields(AnalysisState &state, const FieldTexts &texts, Command command, MessageBox &box);

// The command's first half: the fields checked and converted (the message of the first problem
// shown; the state's parameters and results never touched) and the parameters in a new workspace,
// the analysis's own record, or nothing when the command stops (its message shown). Its second
// half, once the workspace is computed, is CommitAnalysis. The commands and the graphs that follow
// a step both go through this pair.
std::optional<AnalysisState> PrepareAnalysis(AnalysisState &state, const FieldTexts &texts,
                                             Command command, CommandHost &host);

// The whole command: true when the state holds the new analysis. For the graphs command the
// caller then draws it.
bool RunCommand(AnalysisState &state, const FieldTexts &texts, Command command, CommandHost &host);

// Whether the typed values `now` are those `then` held, for the fields of `order` and the shape:
// each text the same, or both texts passing the entry check with the same value ("0.5", "0.50").
// The results a command wrote from `then` are out of date when they are not.
bool SameTypedValues(const FieldTexts &then, const FieldTexts &now, std::span<const Field> order);

struct HarmonicModulusTexts
{
    std::u16string meanValue; // Label3: the DC component
    std::u16string magnitude; // Label9: the modulus of harmonic z
};

// The two results of the harmonic modulus command, in the pattern "0.00E+00".
HarmonicModulusTexts FormatHarmonicModulus(const AnalysisState &state, char16_t decimalSeparator);
