// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// A long task followed and cancelled from another thread: a cancel flag and a count of what is
// done (harmonics summed, rows written).
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <utility>

// Shared between the threads that work and whoever waits for them.
class TaskControl
{
public:
    // Called on the working thread after each count, with the total done so far; the work goes
    // on once it returns. Tests hold long work there, so that what they check does not depend
    // on the machine's speed.
    using CountHook = std::function<void(std::int64_t done)>;

    TaskControl() = default;
    explicit TaskControl(CountHook counted) : counted_(std::move(counted)) { }

    void Cancel() { cancelled_.store(true, std::memory_order_relaxed); }
    bool Cancelled() const { return cancelled_.load(std::memory_order_relaxed); }
    std::int64_t Done() const { return done_.load(std::memory_order_relaxed); }
    void AddDone(std::int64_t count)
    {
        const std::int64_t done = done_.fetch_add(count, std::memory_order_relaxed) + count;
        if (counted_)
            counted_(done);
    }

private:
    std::atomic<bool> cancelled_ {false};
    std::atomic<std::int64_t> done_ {0};
    const CountHook counted_;
};
