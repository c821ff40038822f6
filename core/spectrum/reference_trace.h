// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// An analysis held as the reference, which the plot draws behind the current one, the readout and
// the measures read beside it and the exports carry: what was shown when it was held (through a
// filter, the filter's output), with no more than the plot, the readout and the exports read.
#pragma once

#include "core/spectrum/filters.h"
#include "core/state/analysis_state.h"

#include <cstdint>
#include <optional>
#include <string>

struct HeldReference
{
    // Its parameters, its samples s(i) for i = 0 .. N + 1, its DC component and the coefficients
    // and moduli of harmonics 0 to HarmonicsHeld alone, its peaks, noise and measures; never the
    // sum of its harmonics.
    AnalysisState analysis;
    // The filter its lines and samples went through; FilterKind::None for the pulse train itself.
    FilterSettings filter;
    // The model drawn beside a measured signal, the shape with the typed values, rather than an
    // analysis the user held: its key says "modello".
    bool model = false;
};

// What holding `shown` takes in memory, in bytes: its samples and the arrays of the harmonics it
// holds.
std::uint64_t ReferenceBytes(const AnalysisState &shown);

// The reference refused when it would take more than 90 % of `available` bytes, as an analysis
// is: the megabytes needed and available, rounded up, for the message that says so.
struct ReferenceMemoryShortage
{
    std::uint64_t neededMegabytes = 0;
    std::uint64_t availableMegabytes = 0;
};
std::optional<ReferenceMemoryShortage> ReferenceMemoryProblem(const AnalysisState &shown,
                                                              std::uint64_t available);
// Likewise against the memory free now (AvailableMemoryBytes); with `always`, the shortage
// whatever the memory free, for an allocation that failed all the same.
std::optional<ReferenceMemoryShortage> ReferenceMemoryProblem(const AnalysisState &shown,
                                                              bool always = false);

// `shown` (an analysis computed, its peaks found) held as the reference, `filter` the one its
// lines went through. Throws std::bad_alloc when memory runs out.
HeldReference HoldReference(const AnalysisState &shown, const FilterSettings &filter = {});

// The reference's key: "riferimento: rettangolare, D.C. = 0,25", and ", filtro passa-basso RC"
// through a filter; D written in the shortest text that reads back to it, with
// `decimalSeparator`.
std::u16string ReferenceKey(const HeldReference &reference, char16_t decimalSeparator);
