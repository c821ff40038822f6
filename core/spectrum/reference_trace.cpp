// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "reference_trace.h"

#include "core/platform/system_memory.h"
#include "core/spectrum/spectrum.h"
#include "core/state/measured_signal.h"
#include "core/state/memory_budget.h"
#include "core/texts/messages.h"
#include "core/texts/pulse_shapes.h"
#include "core/texts/utf16.h"

#include <algorithm>
#include <charconv>

namespace {

RealArray FirstOf(const RealArray &values, std::size_t count)
{
    count = std::min(count, values.size());
    return RealArray(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(count));
}

} // namespace

std::uint64_t ReferenceBytes(const AnalysisState &shown)
{
    const auto harmonics = static_cast<std::uint64_t>(HarmonicsHeld(shown)) + 1;
    return (shown.Samples.size() + 3 * harmonics) * sizeof(double);
}

namespace {

ReferenceMemoryShortage Shortage(const AnalysisState &shown, std::uint64_t available)
{
    const auto megabytes = [](std::uint64_t bytes) { return (bytes + (1 << 20) - 1) >> 20; };
    return {megabytes(ReferenceBytes(shown)), megabytes(available)};
}

} // namespace

std::optional<ReferenceMemoryShortage> ReferenceMemoryProblem(const AnalysisState &shown,
                                                              std::uint64_t available)
{
    // The analysis's own budget, and its megabytes.
    const auto refusal = MemoryProblem(shown.SampleCount, ReferenceBytes(shown), available);
    if (!refusal)
        return std::nullopt;
    return ReferenceMemoryShortage {refusal->numbers[1], refusal->numbers[2]};
}

std::optional<ReferenceMemoryShortage> ReferenceMemoryProblem(const AnalysisState &shown,
                                                              bool always)
{
    const std::uint64_t available = AvailableMemoryBytes();
    return always ? Shortage(shown, available) : ReferenceMemoryProblem(shown, available);
}

HeldReference HoldReference(const AnalysisState &shown, const FilterSettings &filter)
{
    HeldReference held;
    AnalysisState &kept = held.analysis;
    kept.Parameters() = shown.Parameters();
    const auto harmonics = static_cast<std::size_t>(HarmonicsHeld(shown)) + 1;
    kept.Samples = shown.Samples;
    kept.Magnitudes = FirstOf(shown.Magnitudes, harmonics);
    kept.CosCoefficients = FirstOf(shown.CosCoefficients, harmonics);
    kept.SinCoefficients = FirstOf(shown.SinCoefficients, harmonics);
    kept.MeanValue = shown.MeanValue;
    kept.SignalPeak = shown.SignalPeak;
    kept.SpectrumPeak = shown.SpectrumPeak;
    kept.PeaksFound = shown.PeaksFound;
    kept.RmsValue = shown.RmsValue;
    kept.HarmonicDistortion = shown.HarmonicDistortion;
    kept.PowerShare = shown.PowerShare;
    kept.BandwidthAt90 = shown.BandwidthAt90;
    kept.BandwidthAt95 = shown.BandwidthAt95;
    kept.BandwidthAt99 = shown.BandwidthAt99;
    kept.Measures = shown.Measures;
    kept.Noise = shown.Noise;
    held.filter = filter;
    return held;
}

std::u16string ReferenceKey(const HeldReference &reference, char16_t decimalSeparator)
{
    const AnalysisState &held = reference.analysis;
    char buffer[32];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, held.DutyCycle).ptr;
    std::u16string duty = Utf16Of(std::string_view(buffer, static_cast<std::size_t>(end - buffer)));
    std::replace(duty.begin(), duty.end(), u'.', decimalSeparator);
    // A measured signal held is named by its file; its D is the model's.
    if (held.Measured)
        duty.clear();
    return ReferenceKeyText(Utf16Of(SignalName(held)), duty,
                            reference.filter.kind == FilterKind::None
                                ? std::u16string()
                                : Utf16Of(DeclarationOf(reference.filter.kind).name),
                            reference.model);
}
