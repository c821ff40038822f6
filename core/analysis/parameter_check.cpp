// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/analysis/parameter_check.h"

#include "core/spectrum/spectrum.h"
#include "core/spectrum/spectrum_paths.h"
#include "core/state/memory_budget.h"
#include "core/state/result_list.h"
#include "core/texts/number_text.h"
#include "core/texts/units.h"

#include <cmath>
#include <optional>

namespace {

// A value beyond the double range, in the order the commands convert the fields.
std::optional<Refusal> BeyondDoubles(const TypedValues &values, Command command)
{
    const auto beyond = [](Field field) { return Refusal {Reason::ValueBeyondDoubles, field}; };
    if (!std::isfinite(values.Amplitude))
        return beyond(Field::Text7);
    if (!std::isfinite(values.FrequencyKHz))
        return beyond(Field::Text12);
    if (!std::isfinite(values.FrequencyHz))
        return Refusal {Reason::FrequencyTimesThousandBeyondDoubles};
    if (!std::isfinite(values.HarmonicCount))
        return beyond(Field::Text3);
    if (!std::isfinite(values.DutyCycle))
        return beyond(Field::Text1);
    if (!std::isfinite(values.SampleCount))
        return beyond(Field::Text13);
    if (!std::isfinite(values.PeriodCount))
        return beyond(Field::Text8);
    if (command == Command::HarmonicModulus && !std::isfinite(values.TargetHarmonic))
        return beyond(Field::Text2);
    return std::nullopt;
}

// N and H as counts the computation can take. With D in (0, 1], N D and N D + 1 then lie
// between 0 and N + 1: the pulse's two bounds are counts too.
std::variant<std::int32_t, Refusal> SampleCountOf(const TypedValues &values)
{
    const std::optional<std::int32_t> n = TryRoundToCount(values.SampleCount);
    if (!n || *n < 1 || *n > MaxSampleCount)
        return Refusal {Reason::SampleCountOutOfRange};
    return *n;
}

std::optional<Refusal> HarmonicCountProblem(const TypedValues &values, std::int32_t n)
{
    const std::optional<std::int32_t> h = TryRoundToCount(values.HarmonicCount);
    const std::int32_t maxHarmonics = std::min(n + 1, MaxHarmonicCount);
    if (h && *h <= maxHarmonics)
        return std::nullopt;
    return Refusal {maxHarmonics == n + 1 ? Reason::TooManyHarmonics
                                          : Reason::HarmonicCountOutOfRange,
                    {},
                    {static_cast<std::uint64_t>(maxHarmonics)}};
}

// What one command alone checks: z for the harmonic modulus, which it stores; P and a frequency
// the time scale can divide by for the graphs.
std::variant<std::int32_t, Refusal> CommandsOwn(const TypedValues &values, Command command,
                                                std::int32_t n)
{
    if (command == Command::HarmonicModulus) {
        const std::optional<std::int32_t> z = TryRoundToCount(values.TargetHarmonic);
        if (!z || *z < 0 || *z > n + 1)
            return Refusal {
                Reason::TargetHarmonicOutOfRange, {}, {static_cast<std::uint64_t>(n) + 1}};
        return *z;
    }
    if (!TryRoundToCount(values.PeriodCount))
        return Refusal {Reason::PeriodCountOutOfRange};
    if (values.FrequencyHz == 0)
        return Refusal {Reason::ZeroFrequency};
    return 0;
}

// The arrays every analysis allocates, and the transform's buffers where it takes that path.
std::optional<Refusal> MemoryProblemOf(const TypedValues &values, std::int32_t n,
                                       std::uint64_t availableMemory)
{
    const std::uint64_t needed = BytesPerSample * (static_cast<std::uint64_t>(n) + 2)
        + SpectrumWorkspaceBytes(n, values.DutyCycle, values.HarmonicCount);
    return MemoryProblem(n, needed, availableMemory);
}

} // namespace

TypedValues TypedValuesOf(const FieldTexts &texts, Command command)
{
    TypedValues values;
    values.Amplitude = Val(texts[Field::Text7]);
    values.FrequencyKHz = Val(texts[Field::Text12]);
    values.FrequencyHz = Hertz(values.FrequencyKHz);
    values.HarmonicCount = Val(texts[Field::Text3]);
    values.DutyCycle = Val(texts[Field::Text1]);
    values.SampleCount = Val(texts[Field::Text13]);
    values.PeriodCount = Val(texts[Field::Text8]);
    if (command == Command::HarmonicModulus)
        values.TargetHarmonic = Val(texts[Field::Text2]);
    return values;
}

std::variant<AnalysisParameters, Refusal>
CheckParameters(const TypedValues &values, Command command, std::uint64_t availableMemory)
{
    if (values.DutyCycle < 0)
        return Refusal {Reason::NegativeDutyCycle};
    if (const std::optional<Refusal> problem = BeyondDoubles(values, command))
        return *problem;
    const std::variant<std::int32_t, Refusal> n = SampleCountOf(values);
    if (const auto *problem = std::get_if<Refusal>(&n))
        return *problem;
    const std::int32_t samples = std::get<std::int32_t>(n);
    if (const std::optional<Refusal> problem = HarmonicCountProblem(values, samples))
        return *problem;
    const std::variant<std::int32_t, Refusal> target = CommandsOwn(values, command, samples);
    if (const auto *problem = std::get_if<Refusal>(&target))
        return *problem;
    if (const std::optional<Refusal> problem = MemoryProblemOf(values, samples, availableMemory))
        return *problem;

    AnalysisParameters accepted;
    accepted.DutyCycle = values.DutyCycle;
    accepted.Amplitude = values.Amplitude;
    accepted.Frequency = values.FrequencyHz;
    accepted.HarmonicCount = values.HarmonicCount;
    accepted.SampleCount = samples;
    accepted.PeriodCount = values.PeriodCount;
    // Stored by the harmonic modulus command alone.
    accepted.TargetHarmonic
        = command == Command::HarmonicModulus ? std::get<std::int32_t>(target) : 0;
    return accepted;
}
