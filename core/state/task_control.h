// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// A long task followed and cancelled from another thread: a cancel flag, a count of what is done
// (harmonics summed, rows written) and, where there is one, the watcher that hears it.
#pragma once

#include "core/state/work_watcher.h"

#include <atomic>
#include <cstdint>

// Shared between the threads that work and whoever waits for them.
class TaskControl
{
public:
    TaskControl() = default;
    // The work's counts and stages go to `watcher` too, which must outlive the work.
    explicit TaskControl(WorkWatcher &watcher) : watcher_(&watcher) { }

    void Cancel() { cancelled_.store(true, std::memory_order_relaxed); }
    bool Cancelled() const { return cancelled_.load(std::memory_order_relaxed); }
    std::int64_t Done() const { return done_.load(std::memory_order_relaxed); }
    void AddDone(std::int64_t count)
    {
        const std::int64_t done = done_.fetch_add(count, std::memory_order_relaxed) + count;
        if (watcher_)
            watcher_->Counted(done);
    }
    void Reached(WorkStage stage) const
    {
        if (watcher_)
            watcher_->Reached(stage);
    }
    // None in the program.
    WorkWatcher *Watcher() const { return watcher_; }

private:
    std::atomic<bool> cancelled_ {false};
    std::atomic<std::int64_t> done_ {0};
    WorkWatcher *const watcher_ = nullptr;
};
