// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/analysis/commands.h"

#include "core/analysis/entry_check.h"
#include "core/platform/system_memory.h"
#include "core/texts/number_text.h"
#include "core/texts/units.h"

#include <algorithm>
#include <span>
#include <variant>

void CommandHost::Refuse(const Refusal &refusal)
{
    Messages().Show(MessageText(refusal));
}

AnalysisOutcome CommandHost::Compute(AnalysisState &analysis)
{
    return RunAnalysis(analysis);
}

bool CheckFields(AnalysisState &state, const FieldTexts &texts, Command command, MessageBox &box)
{
    const std::span<const Field> order
        = command == Command::HarmonicModulus ? HarmonicModulusFieldOrder : GraphsFieldOrder;
    for (const Field field : order) {
        state.EntryText = texts[field];
        state.MissingMessage = MessagesFor(field).missing;
        state.InvalidMessage = MessagesFor(field).invalid;
        CheckEntry(state, state.EntryText, box);
        if (state.EntryError == 1)
            return false;
    }
    return true;
}

namespace {

std::optional<AnalysisParameters> AcceptParameters(AnalysisState &state, const FieldTexts &texts,
                                                   Command command, CommandHost &host)
{
    if (!CheckFields(state, texts, command, host.Messages()))
        return std::nullopt;
    if (command == Command::HarmonicModulus)
        host.MarkParameterFields();

    const TypedValues values = TypedValuesOf(texts, command);
    if (DutyCycleRefused(values.DutyCycle)) {
        state.MissingMessage = MessageText({Reason::DutyCycleZeroOrAboveOne});
        host.Refuse({Reason::DutyCycleZeroOrAboveOne});
        return std::nullopt;
    }

    auto checked = CheckParameters(values, command, AvailableMemoryBytes());
    if (const auto *refusal = std::get_if<Refusal>(&checked)) {
        host.Refuse(*refusal);
        return std::nullopt;
    }
    AnalysisParameters accepted = std::get<AnalysisParameters>(checked);
    accepted.Shape = texts.Shape;
    accepted.Measured = texts.Measured;
    return accepted;
}

} // namespace

std::optional<AnalysisState> PrepareAnalysis(AnalysisState &state, const FieldTexts &texts,
                                             Command command, CommandHost &host)
{
    const std::optional<AnalysisParameters> parameters
        = AcceptParameters(state, texts, command, host);
    if (!parameters)
        return std::nullopt;
    return NewAnalysis(*parameters);
}

bool RunCommand(AnalysisState &state, const FieldTexts &texts, Command command, CommandHost &host)
{
    std::optional<AnalysisState> prepared = PrepareAnalysis(state, texts, command, host);
    if (!prepared)
        return false;
    AnalysisState &analysis = *prepared;
    const AnalysisOutcome outcome = host.Compute(analysis);
    if (outcome.status == AnalysisOutcome::Status::Failed && outcome.refusal)
        host.Refuse(*outcome.refusal);
    else if (outcome.status == AnalysisOutcome::Status::Failed && !outcome.message.empty())
        host.Messages().Show(outcome.message);
    if (outcome.status != AnalysisOutcome::Status::Done)
        return false;
    CommitAnalysis(state, std::move(analysis), command);
    return true;
}

bool SameTypedValues(const FieldTexts &then, const FieldTexts &now, std::span<const Field> order)
{
    if (then.Shape != now.Shape || then.Measured != now.Measured)
        return false;
    return std::all_of(order.begin(), order.end(), [&](Field field) {
        return then[field] == now[field]
            || (EntryPasses(then[field]) && EntryPasses(now[field])
                && Val(then[field]) == Val(now[field]));
    });
}

HarmonicModulusTexts FormatHarmonicModulus(const AnalysisState &state, char16_t decimalSeparator)
{
    // A committed analysis holds only values within MaxResultMagnitude, and z within 0 to N + 1.
    return {FormatScientific(state.MeanValue, decimalSeparator).value(),
            FormatScientific(state.Magnitudes.at(state.TargetHarmonic), decimalSeparator).value()};
}
