// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/spectrum/cheaper_path.h"

#include "core/spectrum/fft/real_transform.h"
#include "core/spectrum/fft/transform_cost.h"
#include "core/spectrum/spectrum.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace {

// The pulse samples the direct sums take: 0 .. RoundToCount(N D), at most N of them.
std::int64_t PulseSamples(std::int64_t n, double d)
{
    const double nd = static_cast<double>(n) * d;
    const std::optional<std::int32_t> last = TryRoundToCount(nd);
    if (!last || *last < 0)
        return 0;
    return std::min<std::int64_t>(*last, n - 1) + 1;
}

} // namespace

SpectrumPath CheaperPath(std::int64_t n, double d, double h)
{
    const std::optional<std::int32_t> harmonics = TryRoundToCount(h);
    if (n < 1 || !harmonics || *harmonics < 1)
        return SpectrumPath::DirectSums;
    return TransformCostsLess(n, PulseSamples(n, d), *harmonics) ? SpectrumPath::Transform
                                                                 : SpectrumPath::DirectSums;
}

std::uint64_t SpectrumWorkspaceBytes(std::int64_t n, double d, double h)
{
    return CheaperPath(n, d, h) == SpectrumPath::Transform ? RealTransform::BufferBytes(n) : 0;
}
