// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/analysis/parameter_check.h"

#include "core/spectrum/spectrum.h"
#include "core/spectrum/spectrum_paths.h"
#include "core/state/memory_budget.h"
#include "core/state/result_list.h"

#include <cmath>
#include <optional>

std::variant<AnalysisParameters, Refusal>
CheckParameters(const TypedValues &values, Command command, std::uint64_t availableMemory)
{
    if (values.DutyCycle < 0)
        return Refusal {Reason::NegativeDutyCycle};

    // In the order the commands convert the fields.
    const auto outOfRange = [&]() -> std::optional<Refusal> {
        const auto beyond = [](Field field) { return Refusal {Reason::ValueBeyondDoubles, field}; };
        if (!std::isfinite(values.Amplitude))
            return beyond(Field::Text7);
        if (!std::isfinite(values.FrequencyKHz))
            return beyond(Field::Text12);
        if (!std::isfinite(values.Frequency))
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
    }();
    if (outOfRange)
        return *outOfRange;

    const std::optional<std::int32_t> n = TryRoundToCount(values.SampleCount);
    if (!n || *n < 1 || *n > MaxSampleCount)
        return Refusal {Reason::SampleCountOutOfRange};
    // With D in (0, 1] here, N D and N D + 1 lie between 0 and N + 1: the pulse's two bounds are
    // counts.

    const std::optional<std::int32_t> h = TryRoundToCount(values.HarmonicCount);
    const std::int32_t maxHarmonics = std::min(*n + 1, MaxHarmonicCount);
    if (!h || *h > maxHarmonics)
        return Refusal {maxHarmonics == *n + 1 ? Reason::TooManyHarmonics
                                               : Reason::HarmonicCountOutOfRange,
                        {},
                        {static_cast<std::uint64_t>(maxHarmonics)}};

    AnalysisParameters accepted;
    if (command == Command::HarmonicModulus) {
        const std::optional<std::int32_t> z = TryRoundToCount(values.TargetHarmonic);
        if (!z || *z < 0 || *z > *n + 1)
            return Refusal {
                Reason::TargetHarmonicOutOfRange, {}, {static_cast<std::uint64_t>(*n) + 1}};
        accepted.TargetHarmonic = *z;
    } else {
        if (!TryRoundToCount(values.PeriodCount))
            return Refusal {Reason::PeriodCountOutOfRange};
        if (values.Frequency == 0)
            return Refusal {Reason::ZeroFrequency};
    }

    // The arrays every analysis allocates, and the transform's buffers where it takes that path.
    const std::uint64_t needed = BytesPerSample * (static_cast<std::uint64_t>(*n) + 2)
        + SpectrumWorkspaceBytes(*n, values.DutyCycle, values.HarmonicCount);
    if (const std::optional<Refusal> problem = MemoryProblem(*n, needed, availableMemory))
        return *problem;

    accepted.DutyCycle = values.DutyCycle;
    accepted.Amplitude = values.Amplitude;
    accepted.Frequency = values.Frequency;
    accepted.HarmonicCount = values.HarmonicCount;
    accepted.SampleCount = *n;
    accepted.PeriodCount = values.PeriodCount;
    return accepted;
}
