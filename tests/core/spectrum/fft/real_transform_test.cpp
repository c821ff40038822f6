// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The transform against the sums it stands for, evaluated term by term in long double.
#include "core/spectrum/fft/real_transform.h"

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
    for (const std::int64_t k : Checked(transform.BinCount())) {
        long double re = 0, im = 0;
        for (std::int64_t j = 0; j < n; ++j) {
            const long double angle = 2 * std::numbers::pi_v<long double> * ((j * k) % n) / n;
            re += x[j] * std::cos(angle);
            im -= x[j] * std::sin(angle);
        }
        EXPECT_NEAR(transform.Bins()[k].real(), re, 1e-14 * n) << "bin " << k;
        EXPECT_NEAR(transform.Bins()[k].imag(), im, 1e-14 * n) << "bin " << k;
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
                         // from 2^18 values on every core, a multiple of 4 split in two
                         testing::Values(1, 2, 3, 4, 6, 7, 8, 10, 100, 1001, 1030, 262144, 262146,
                                         262147),
                         [](const auto &info) { return "N_" + std::to_string(info.param); });

TEST(RealTransform, countsBothBuffersInItsMemory)
{
    EXPECT_EQ(RealTransform::BufferBytes(1000), 1000 * 8 + 501 * 16);
    EXPECT_EQ(RealTransform::BufferBytes(2147483647), 2147483647ull * 8 + 1073741824ull * 16);
}

} // namespace
