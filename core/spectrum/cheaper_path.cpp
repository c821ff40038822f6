// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/spectrum/cheaper_path.h"

#include "core/spectrum/fft/real_transform.h"
#include "core/spectrum/spectrum.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace {

// The cost model, in the direct sums' unit: one sine-cosine pair (SLEEF on AVX-512, about 1.5 ns
// on 2 threads). The direct sums take one pair per pulse sample and harmonic, N D H. The transform
// takes TransformPairsPerPoint pairs per unit of RealTransform::Work(N) and a fixed
// TransformOverheadPairs (its thread, reading the bins): it runs beside the survey of the samples,
// so that little of it shows. The sampling and the exact sums of harmonics 1 and z are the same on
// both paths and not counted.
// The rule, in one: the transform where 0.06 W(N) + 1e5 < N D H, with W(N) = N log2 N where N's
// prime factors are all 13 or less, N (log2 N + the sum of its larger factors) while those are
// few and small, and 20 N log2 N where they are not and the transform is padded (a prime N from
// 79 on): so at D = 0.5 a prime N near 1e6 or 1e7 takes the transform from H = 48 or 56, a round
// N from H = 3.
// Measured on AVX-512 (docs/performance.md), the transform is the cheaper from H = 3 at N = 1e6
// and from H = 10 at N = 1e5; the rule takes it from H = 3 and H = 4. At the defaults (N = 1e4,
// D = 0.5, H = 10: 5e4 pairs against 1.1e5), where both take the same time, the direct sums keep
// their accuracy for every harmonic.
constexpr double TransformPairsPerPoint = 0.06;
constexpr double TransformOverheadPairs = 100000;

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
    const double direct = static_cast<double>(PulseSamples(n, d)) * *harmonics;
    const double transform
        = TransformPairsPerPoint * RealTransform::Work(n) + TransformOverheadPairs;
    return direct > transform ? SpectrumPath::Transform : SpectrumPath::DirectSums;
}

std::uint64_t SpectrumWorkspaceBytes(std::int64_t n, double d, double h)
{
    return CheaperPath(n, d, h) == SpectrumPath::Transform ? RealTransform::BufferBytes(n) : 0;
}
