// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Why a command stops after its field checks, as a typed reason with what its message names; the
// words are in the message table (messages.h).
#pragma once

#include "core/texts/fields.h"

#include <array>
#include <cstdint>
#include <optional>

// Why a command stops once its fields have passed their checks, in the order the commands meet
// them. The code that finds the problem returns the reason; the words come from the table.
enum class Reason
{
    DutyCycleZeroOrAboveOne,
    NegativeDutyCycle,
    ValueBeyondDoubles, // names its field
    FrequencyTimesThousandBeyondDoubles,
    SampleCountOutOfRange,
    TooManyHarmonics, // %1 = N + 1
    HarmonicCountOutOfRange, // %1 = the largest count an angle's 2k allows
    TargetHarmonicOutOfRange, // %1 = N + 1
    PeriodCountOutOfRange,
    ZeroFrequency,
    NotEnoughMemory, // %1 = N, %2 = MB needed, %3 = MB available
    AllocationFailed,
    ResultsTooLarge,
    Count // not a reason: the number of reasons
};

// A reason with the field and the numbers its message names.
struct Refusal
{
    Reason reason;
    std::optional<Field>
        field {}; // the field its message names (%f), for the reasons that name one
    std::array<std::uint64_t, 3> numbers {};

    friend bool operator==(const Refusal &, const Refusal &) = default;
};
