// A long task followed and cancelled from another thread: a cancel flag and a count of what is
// done (harmonics summed, rows written).
#pragma once

#include <atomic>
#include <cstdint>

// Shared between the threads that work and whoever waits for them.
class TaskControl
{
public:
    void Cancel() { cancelled_.store(true, std::memory_order_relaxed); }
    bool Cancelled() const { return cancelled_.load(std::memory_order_relaxed); }
    std::int64_t Done() const { return done_.load(std::memory_order_relaxed); }
    void AddDone(std::int64_t count) { done_.fetch_add(count, std::memory_order_relaxed); }

private:
    std::atomic<bool> cancelled_ {false};
    std::atomic<std::int64_t> done_ {0};
};
