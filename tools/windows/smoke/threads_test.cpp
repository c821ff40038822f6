// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
//
// GoogleTest from the Windows libraries' cache, run under wine by tools/windows/smoke-test.sh:
// two std::threads (MinGW's POSIX-threads variant) sum halves of a range, and GoogleTest
// reports the comparison with the sum worked out by the formula.

#include <gtest/gtest.h>

#include <cstdint>
#include <thread>

namespace {

std::uint64_t SumRange(std::uint64_t begin, std::uint64_t end)
{
    std::uint64_t sum = 0;
    for (std::uint64_t i = begin; i < end; ++i)
        sum += i;
    return sum;
}

TEST(WindowsThreads, TwoThreadsSumARange)
{
    constexpr std::uint64_t count = 1000000;
    std::uint64_t low = 0;
    std::uint64_t high = 0;
    std::thread first([&] { low = SumRange(0, count / 2); });
    std::thread second([&] { high = SumRange(count / 2, count); });
    first.join();
    second.join();
    EXPECT_EQ(low + high, count * (count - 1) / 2);
}

} // namespace
