// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// What a computation may take of the free memory: 90 %, so that the system and the windows keep
// the rest. Both the analysis and the sum of the harmonics are refused past it.
#pragma once

#include "core/texts/refusal.h"

#include <cstdint>
#include <optional>

// The refusal of a computation for `n` samples that needs `needed` bytes where `available` are
// free; its message names both in MB, rounded up. Nothing when it fits.
inline std::optional<Refusal> MemoryProblem(std::int64_t n, std::uint64_t needed,
                                            std::uint64_t available)
{
    if (needed <= available / 10 * 9)
        return std::nullopt;
    const auto megabytes = [](std::uint64_t bytes) { return (bytes + (1 << 20) - 1) >> 20; };
    return Refusal {Reason::NotEnoughMemory,
                    {},
                    {static_cast<std::uint64_t>(n), megabytes(needed), megabytes(available)}};
}
