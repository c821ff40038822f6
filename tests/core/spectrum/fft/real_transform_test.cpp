// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The transform against the sums it stands for, evaluated term by term in long double.
#include "core/spectrum/fft/padded_transform.h"
#include "core/spectrum/fft/real_transform.h"
#include "core/spectrum/fft/transform_cost.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>
#include <vector>

namespace {

class RealTransformSizes : public testing::TestWithParam<std::int64_t>
{
protected:
    // Every index below `count` for the small sizes; for the large ones, each against a sum of
    // its own, those where the halves and quarters of the transform meet.
    std::vector<std::int64_t> Checked(std::int64_t count) const
    {
        const std::int64_t n = GetParam();
        std::vector<std::int64_t> indices;
        for (std::int64_t i = 0; i < count; ++i)
            if (n < 5000 || i < 3 || std::abs(i - n / 4) < 2 || std::abs(i - n / 2) < 2 || i == 1000
                || i > count - 3)
                indices.push_back(i);
        return indices;
    }

    // Seeded values in [-1, 1] with a few exact zeros, as the pulse's samples have.
    std::vector<double> Values() const
    {
        std::mt19937_64 random(static_cast<std::uint64_t>(GetParam()));
        std::uniform_real_distribution<double> uniform(-1, 1);
        std::vector<double> values(static_cast<std::size_t>(GetParam()));
        for (std::size_t j = 0; j < values.size(); ++j)
            values[j] = j % 5 == 3 ? 0 : uniform(random);
        return values;
    }
};

TEST_P(RealTransformSizes, forwardGivesTheDiscreteFourierSums)
{
    const std::int64_t n = GetParam();
    const std::vector<double> x = Values();
    RealTransform transform(n);
    std::copy(x.begin(), x.end(), transform.Reals());
    transform.Forward();
    ASSERT_EQ(transform.BinCount(), n / 2 + 1);
    // Within the stated bound of the exact sums, which long double stands for here.
    long double norm = 0, absSum = 0;
    for (const double value : x) {
        norm += static_cast<long double>(value) * value;
        absSum += std::abs(value);
    }
    const TransformRounding rounding = RealTransform::Rounding(n);
    const double bound = rounding.perNorm * static_cast<double>(std::sqrt(norm))
        + rounding.perAbsSum * static_cast<double>(absSum);
    // and the bound of the order of a plain transform's, some tens of u log2 n sqrt(n) Q
    EXPECT_LE(bound, 1e-12 * std::sqrt(static_cast<double>(n) * norm));
    for (const std::int64_t k : Checked(transform.BinCount())) {
        long double re = 0, im = 0;
        for (std::int64_t j = 0; j < n; ++j) {
            const long double angle = 2 * std::numbers::pi_v<long double> * ((j * k) % n) / n;
            re += x[j] * std::cos(angle);
            im -= x[j] * std::sin(angle);
        }
        EXPECT_NEAR(transform.Bins()[k].real(), re, bound) << "bin " << k;
        EXPECT_NEAR(transform.Bins()[k].imag(), im, bound) << "bin " << k;
    }
    EXPECT_EQ(std::vector<double>(transform.Reals(), transform.Reals() + n), x)
        << "the forward transform keeps its input";
}

TEST_P(RealTransformSizes, inverseSumsTheWholeHermitianSpectrum)
{
    const std::int64_t n = GetParam();
    const std::vector<double> x = Values(); // read as the bins' real and imaginary parts
    RealTransform transform(n);
    std::vector<std::complex<double>> bins(static_cast<std::size_t>(transform.BinCount()));
    for (std::size_t k = 0; k < bins.size(); ++k)
        bins[k] = {x[k], k == 0 || 2 * static_cast<std::int64_t>(k) == n ? 0 : x[x.size() - 1 - k]};
    std::copy(bins.begin(), bins.end(), transform.Bins());
    transform.Inverse();
    for (const std::int64_t j : Checked(n)) {
        long double sum = 0;
        for (std::int64_t k = 0; k < n; ++k) {
            const std::complex<double> bin
                = k < transform.BinCount() ? bins[k] : std::conj(bins[n - k]);
            const long double angle = 2 * std::numbers::pi_v<long double> * ((j * k) % n) / n;
            sum += bin.real() * std::cos(angle) - bin.imag() * std::sin(angle);
        }
        EXPECT_NEAR(transform.Reals()[j], sum, 1e-12 * n) << "value " << j;
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, RealTransformSizes,
                         // from 2^18 values on every core, a multiple of 4 split in two;
                         // padded: primes, a prime times a power of two or of ten, and a
                         // product of two primes, of either parity, small and large
                         testing::Values(1, 2, 3, 4, 6, 7, 8, 10, 100, 1001, 1030, 262144, 262146,
                                         262147, 79, 97, 158, 1021, 4099, 10007, 20014, 65521,
                                         1045504, 999983, 1999966, 1018081),
                         [](const auto &info) { return "N_" + std::to_string(info.param); });

// With only the first bins used, the padded way is shorter; those bins are the whole transform's,
// forward and back, within the bound (or, back, as the whole transform's test allows).
TEST(PaddedTransform, givesTheBinsUsedAsTheWholeTransform)
{
    const struct
    {
        std::int64_t n;
        std::int64_t used;
    } cases[] = {{158, 1}, {158, 2}, {10007, 101}, {999983, 11}, {999983, 101}, {20014, 10008}};
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << "n = " << c.n << ", used = " << c.used);
        std::mt19937_64 random(static_cast<std::uint64_t>(c.n + c.used));
        std::uniform_real_distribution<double> uniform(-1, 1);
        RealTransform whole(c.n), part(c.n, c.used);
        ASSERT_EQ(part.UsedBins(), c.used);
        double norm = 0;
        for (std::int64_t j = 0; j < c.n; ++j) {
            whole.Reals()[j] = part.Reals()[j] = uniform(random);
            norm += whole.Reals()[j] * whole.Reals()[j];
        }
        whole.Forward();
        part.Forward();
        const TransformRounding a = whole.Rounding(), b = part.Rounding();
        const double bound
            = (a.perNorm + b.perNorm) * std::sqrt(norm) + (a.perAbsSum + b.perAbsSum) * c.n;
        for (std::int64_t k = 0; k < c.used; ++k) {
            ASSERT_NEAR(part.Bins()[k].real(), whole.Bins()[k].real(), bound) << "bin " << k;
            ASSERT_NEAR(part.Bins()[k].imag(), whole.Bins()[k].imag(), bound) << "bin " << k;
        }
        // Back: the bins above the used ones zero in the whole transform.
        for (std::int64_t k = 0; k < whole.BinCount(); ++k)
            whole.Bins()[k]
                = k < c.used ? std::complex<double>(uniform(random), uniform(random)) : 0;
        std::copy(whole.Bins(), whole.Bins() + c.used, part.Bins());
        whole.Inverse();
        part.Inverse();
        for (std::int64_t j = 0; j < c.n; j += std::max<std::int64_t>(1, c.n / 997))
            ASSERT_NEAR(part.Reals()[j], whole.Reals()[j], 1e-12 * c.n) << "value " << j;
    }
}

// The chirp exp(-i pi j^2 / n) at the largest indices, where j^2 has 62 bits and an angle formed
// before the reduction mod 2n would keep none of the digits that matter: against j^2 mod 2n in
// 128-bit integers and the exponential in long double.
TEST(PaddedTransform, chirpHoldsItsDigitsAtTheLargestIndices)
{
    using fft_internal::Chirp;
    using fft_internal::SquareModTwoN;
    const struct
    {
        std::int64_t n;
        std::int64_t first;
    } cases[] = {{2147483647, 2147483647 - 40},
                 {999983, 999983 - 40},
                 {999983, 2 * 999983 - 20},
                 {1000000007 / 4, 1000000007 / 4 - 33},
                 {7, 0}};
    for (const auto &c : cases) {
        const std::int64_t count = 40;
        std::vector<std::complex<double>> chirp(count);
        Chirp(c.n, c.first, c.first + count, chirp.data());
        for (std::int64_t t = 0; t < count; ++t) {
            const std::int64_t j = c.first + t;
            __extension__ using Wide = unsigned __int128;
            const auto exact = static_cast<std::int64_t>(Wide(j) * Wide(j) % (2 * Wide(c.n)));
            ASSERT_EQ(SquareModTwoN(j, c.n), exact) << "n = " << c.n << ", j = " << j;
            const long double angle
                = std::numbers::pi_v<long double> * exact / static_cast<long double>(c.n);
            const std::complex<long double> expected(std::cos(angle), -std::sin(angle));
            EXPECT_LE(std::abs(std::complex<long double>(chirp[t]) - expected), 256 * 0x1p-53)
                << "n = " << c.n << ", j = " << j;
        }
    }
}

// The sizes the padded way pads to, and which sizes take it.
TEST(PaddedTransform, padsToTheNextSmoothSizeWhereFactorsAreLarge)
{
    const struct
    {
        std::int64_t length;
        std::int64_t padded;
    } sizes[] = {{1, 1},
                 {11, 16},
                 {16, 16},
                 {17, 32},
                 {1048576, 1048576},
                 {1048577, 2097152},
                 {3221225470, 4294967296}};
    for (const auto &size : sizes)
        EXPECT_EQ(fft_internal::PaddedSizeFrom(size.length), size.padded) << size.length;
    const struct
    {
        std::int64_t n;
        bool padded;
    } choices[] = {{17, false},           {79, true},        {1 << 20, false}, {17 << 16, false},
                   {1021 << 10, true},    {1044736, false},  {999983, true},   {1999966, true},
                   {10000000, false},     {9999991, true},   {1018081, true},  {99999989, true},
                   {53 * 59 * 64, false}, {2147483647, true}};
    for (const auto &choice : choices)
        EXPECT_EQ(IsPadded(choice.n), choice.padded) << choice.n;
    // Squares and cubes of primes whose factors sum to little (17 + 17, 31 + 31 + 31), as 1009²
    // above sums to much: plain.
    for (const std::int64_t n : {17 * 17, 31 * 31, 17 * 17 << 10, 17 * 17 * 17, 31 * 31 * 31})
        EXPECT_FALSE(IsPadded(n)) << n;
}

TEST(RealTransform, countsBothBuffersInItsMemory)
{
    EXPECT_EQ(RealTransform::BufferBytes(1000), 1000 * 8 + 501 * 16);
    EXPECT_EQ(RealTransform::BufferBytes(1 << 20), (1 << 20) * 8 + ((1 << 19) + 1) * 16);
    // The padded way also holds its work buffer and the filter: 1.5 n each, to a power of two.
    EXPECT_EQ(RealTransform::BufferBytes(999983),
              999983ull * 8 + 499992ull * 16 + 2 * 2097152ull * 16);
    EXPECT_EQ(RealTransform::BufferBytes(2147483647),
              2147483647ull * 8 + 1073741824ull * 16 + 2 * 4294967296ull * 16);
}

} // namespace
