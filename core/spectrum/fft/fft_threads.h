// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// What the transforms of this room share: FFTW's planner lock, the threads a large transform
// runs on, and a pass over memory shared out among them. Internal to the room.
#pragma once

#include "core/platform/memory_pages.h"
#include "core/platform/work_threads.h"

#include <cstdint>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace fft_internal {

// FFTW's planner keeps global state: plans are made and destroyed one at a time, under this
// lock. Executing a plan, even one plan on several threads with arrays of their own, needs none.
std::mutex &PlannerLock();
// Sets the threads of the next plan, for a transform of `size` values; under PlannerLock.
void PlanOnThreads(std::int64_t size);

// Large buffers in the system's large pages where it gives them on request: a few page faults
// where there would be thousands. Only advice; nothing changes where it is not taken.
inline void AskForLargePages(void *buffer, std::size_t bytes)
{
    constexpr std::size_t Large = 2 << 20;
    if (bytes >= 2 * Large)
        AdviseLargePages(buffer, bytes);
}

// From this many values on, a transform and its passes run on WorkThreads() threads.
constexpr std::int64_t ThreadedSize = 1 << 18;

// Runs pass(begin, end) over [first, first + count) in one share per thread of WorkThreads().
template<typename Pass> void OnEveryCore(std::int64_t first, std::int64_t count, const Pass &pass)
{
    const int threads = static_cast<int>(WorkThreads());
    std::vector<std::thread> helpers;
    for (int t = 1; t < threads; ++t) {
        const std::int64_t begin = first + count * t / threads;
        const std::int64_t end = first + count * (t + 1) / threads;
        try {
            helpers.emplace_back(pass, begin, end);
        } catch (const std::system_error &) {
            pass(begin, end);
        }
    }
    pass(first, first + count / threads);
    for (auto &helper : helpers)
        helper.join();
}

// Runs pass(begin, end) over [first, first + count): on every core where the count is large.
template<typename Pass> void InShares(std::int64_t first, std::int64_t count, const Pass &pass)
{
    if (count < ThreadedSize)
        pass(first, first + count);
    else
        OnEveryCore(first, count, pass);
}

// What the transforms keep for the program's whole run, made on first use and never destroyed: a
// transform left running when the program ends may still drop its plan or its buffers. One
// object per type T.
template<typename T> T &NeverDestroyed()
{
    static T *const object = new T;
    return *object;
}

} // namespace fft_internal
