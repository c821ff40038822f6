// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/spectrum/fft/transform_cost.h"

#include <algorithm>
#include <cmath>

// The rule, whole. The unit is one sine-cosine pair of the direct sums (SLEEF on AVX-512, about
// 1.5 ns on 2 threads), which take one pair per pulse sample and harmonic: N D H.
// - The way. FFTW's codelets handle the prime factors up to 13 in a few operations a value; a
//   larger factor p costs it about p operations a value (its generic and Rader's algorithms), and
//   its planning grows likewise, to seconds for a prime near 1e7. The padded way costs several
//   times the plain one of a round size whatever N's factors, and plans in milliseconds. So N is
//   padded where its prime factors above 13 sum to more than 8 log2 N: a factor of 17 stays plain
//   at any size, a prime N is padded from 79 on.
// - The work W(N): N log2 N where N's prime factors are all 13 or less; N (log2 N + the sum of its
//   larger factors) while plain; 20 N log2 N padded. Measured on AVX-512, 2 threads: at the prime
//   N = 999983 the transform overtakes the direct sums near H = 55, where at a round N it does
//   from H = 3; the factor 20 puts that crossover at H = 48 (D = 0.5).
// - The choice. The transform where 0.06 W(N) + 1e5 < N D H: 0.06 pairs per unit of work, and a
//   fixed 1e5 for its thread and the reading of its bins; it runs beside the survey of the
//   samples, so that little of it shows. The sampling and the exact sums of harmonics 1 and z
//   are the same on both paths and not counted. So at D = 0.5 a prime N near 1e6 or 1e7 takes the
//   transform from H = 48 or 56, a round N from H = 3. Measured (docs/performance.md), the
//   transform is the cheaper from H = 3 at N = 1e6 and from H = 10 at N = 1e5; the rule takes it
//   from H = 3 and H = 4. At the defaults (N = 1e4, D = 0.5, H = 10: 5e4 pairs against 1.1e5),
//   where both take the same time, the direct sums keep their accuracy for every harmonic.

namespace {

constexpr double PaddedWork = 20;
constexpr double TransformPairsPerPoint = 0.06;
constexpr double TransformOverheadPairs = 100000;

// The sum of n's prime factors above 13, with their multiplicity.
std::int64_t LargePrimeFactorSum(std::int64_t n)
{
    std::int64_t sum = 0;
    for (std::int64_t p = 2; p * p <= n; ++p)
        while (n % p == 0) {
            n /= p;
            if (p > 13)
                sum += p;
        }
    return n > 13 ? sum + n : sum;
}

} // namespace

bool IsPadded(std::int64_t n)
{
    return n > 1
        && static_cast<double>(LargePrimeFactorSum(n)) > 8 * std::log2(static_cast<double>(n));
}

double TransformWork(std::int64_t n)
{
    const double dn = static_cast<double>(std::max<std::int64_t>(n, 2));
    if (IsPadded(n))
        return PaddedWork * dn * std::log2(dn);
    return dn * (std::log2(dn) + static_cast<double>(LargePrimeFactorSum(n)));
}

bool TransformCostsLess(std::int64_t n, std::int64_t pulseSamples, std::int64_t harmonics)
{
    const double direct = static_cast<double>(pulseSamples) * static_cast<double>(harmonics);
    return direct > TransformPairsPerPoint * TransformWork(n) + TransformOverheadPairs;
}
