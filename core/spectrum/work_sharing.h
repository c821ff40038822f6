// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// How the spectrum's work is shared out among threads and cut into pieces between two looks at
// the cancel flag; internal to the spectrum room.
#pragma once

#include "core/state/task_control.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <system_error>
#include <thread>
#include <vector>

namespace spectrum_internal {

// Samples between two looks at the cancel flag: a millisecond or two of work.
constexpr std::int64_t Chunk = 1 << 16;

// Runs work on the caller's thread and up to threads - 1 others. Where the system gives fewer
// threads, fewer do the same work with the same results.
template<typename Work> void RunOnThreads(unsigned threads, const Work &work)
{
    std::vector<std::thread> helpers;
    for (unsigned t = 1; t < threads; ++t) {
        try {
            helpers.emplace_back(work);
        } catch (const std::system_error &) {
            break;
        }
    }
    work();
    for (auto &helper : helpers)
        helper.join();
}

// Runs body(item) for items 0 .. count - 1 spread over the threads, stopping at a cancel or at
// the first body that returns false; false then.
template<typename Body>
bool ForEachItem(std::int64_t count, unsigned threads, TaskControl *control, Body body)
{
    std::atomic<std::int64_t> next {0};
    std::atomic<bool> stopped {false};
    const auto work = [&] {
        for (std::int64_t item; (item = next.fetch_add(1)) < count;) {
            if (stopped || (control && control->Cancelled()) || !body(item)) {
                stopped = true;
                return;
            }
        }
    };
    RunOnThreads(static_cast<unsigned>(std::clamp<std::int64_t>(count, 1, threads)), work);
    return !stopped && !(control && control->Cancelled());
}

// Where there is a control: tells its watcher that the work reached `stage`.
inline void Reach(TaskControl *control, WorkStage stage)
{
    if (control)
        control->Reached(stage);
}

} // namespace spectrum_internal
