// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Which of the two ways to the bulk of the harmonics costs less for an analysis, by the cost model
// (fft/transform_cost.h, whose rule is in one comment), and the memory the one chosen takes.
#pragma once

#include <cstdint>

enum class SpectrumPath
{
    Cheaper, // the cheaper of the two for the analysis's N, D and H, as CheaperPath tells
    DirectSums,
    Transform
};

// Which path costs less for N samples, duty cycle D and H harmonics (as typed: rounded here).
SpectrumPath CheaperPath(std::int64_t n, double d, double h);

// Memory the path takes beyond the analysis's arrays, for the memory check.
std::uint64_t SpectrumWorkspaceBytes(std::int64_t n, double d, double h);
