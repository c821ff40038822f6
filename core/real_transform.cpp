// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "real_transform.h"

#include <fftw3.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <memory>
#include <mutex>
#include <new>
#include <thread>
#include <vector>

namespace {

// FFTW's planner keeps global state: plans are made and destroyed one at a time. Executing a
// plan, even one plan on several threads with arrays of their own, needs no lock. Never
// destroyed: a transform left running when the program ends may still drop its plan.
std::mutex &PlannerLock()
{
    static auto *lock = new std::mutex;
    return *lock;
}

enum class Direction
{
    Forward,
    Inverse
};

using Plan = std::shared_ptr<std::remove_pointer_t<fftw_plan>>;

Plan Adopt(fftw_plan plan)
{
    if (!plan)
        throw std::bad_alloc();
    return Plan(plan, [](fftw_plan made) {
        const std::lock_guard<std::mutex> planner(PlannerLock());
        fftw_destroy_plan(made);
    });
}

// The plans kept while the program runs: the most recently used few, as an analysis repeated at
// the same N and the sum of the harmonics drawn after it use them.
// From this many values on, a transform runs on every core.
constexpr std::int64_t ThreadedSize = 1 << 18;

int Threads()
{
    return static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 1u, 8u));
}

class KeptPlans
{
public:
    static KeptPlans &Instance()
    {
        static auto *plans = new KeptPlans; // never destroyed, as the lock
        return *plans;
    }

    // The plan for n values in `direction`, made on these buffers when none is kept. FFTW's
    // buffers all have the same alignment, so a plan serves any of them (new-array execute).
    Plan Get(std::int64_t n, Direction direction, double *reals, std::complex<double> *bins)
    {
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            for (auto entry = entries_.begin(); entry != entries_.end(); ++entry)
                if (entry->n == n && entry->direction == direction) {
                    std::rotate(entries_.begin(), entry, entry + 1); // most recent first
                    return entries_.front().plan;
                }
        }
        Plan plan;
        {
            const std::lock_guard<std::mutex> planner(PlannerLock());
            // A large transform on every core: its passes over memory share out well, and a
            // million values already take milliseconds. A small one stays on one thread, where
            // handing out the work would cost more than it saves.
            static const bool threaded = fftw_init_threads() != 0;
            if (threaded)
                fftw_plan_with_nthreads(n >= ThreadedSize ? Threads() : 1);
            auto *complex = reinterpret_cast<fftw_complex *>(bins);
            const int size = static_cast<int>(n);
            plan = Adopt(direction == Direction::Forward
                             ? fftw_plan_dft_r2c_1d(size, reals, complex, FFTW_ESTIMATE)
                             : fftw_plan_dft_c2r_1d(size, complex, reals,
                                                    FFTW_ESTIMATE | FFTW_DESTROY_INPUT));
        }
        const std::lock_guard<std::mutex> lock(mutex_);
        entries_.insert(entries_.begin(), {n, direction, plan});
        if (entries_.size() > MaxKept)
            entries_.pop_back(); // destroyed here, or by its last running transform
        return plan;
    }

    bool Holds(std::int64_t n, Direction direction)
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        return std::any_of(entries_.begin(), entries_.end(), [&](const Entry &entry) {
            return entry.n == n && entry.direction == direction;
        });
    }

    void Clear()
    {
        std::vector<Entry> dropped;
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            dropped.swap(entries_);
        }
    }

private:
    static constexpr std::size_t MaxKept = 4;
    struct Entry
    {
        std::int64_t n;
        Direction direction;
        Plan plan;
    };
    std::mutex mutex_;
    std::vector<Entry> entries_;
};

// Large buffers in the system's large pages where it gives them on request: a few page faults
// where there would be thousands. Only advice; nothing changes where it is not taken.
void AskForLargePages(void *buffer, std::size_t bytes)
{
    constexpr std::size_t Large = 2 << 20;
    if (bytes < 2 * Large)
        return;
    const auto page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    const auto begin = (reinterpret_cast<std::uintptr_t>(buffer) + page - 1) / page * page;
    const auto end = (reinterpret_cast<std::uintptr_t>(buffer) + bytes) / page * page;
    if (end > begin)
        madvise(reinterpret_cast<void *>(begin), end - begin, MADV_HUGEPAGE);
}

} // namespace

RealTransform::RealTransform(std::int64_t n) : n_(n)
{
    reals_ = fftw_alloc_real(static_cast<std::size_t>(n));
    bins_ = reinterpret_cast<std::complex<double> *>(
        fftw_alloc_complex(static_cast<std::size_t>(n / 2 + 1)));
    if (!reals_ || !bins_) {
        fftw_free(reals_);
        fftw_free(bins_);
        throw std::bad_alloc();
    }
    AskForLargePages(reals_, static_cast<std::size_t>(n) * sizeof(double));
    AskForLargePages(bins_, static_cast<std::size_t>(n / 2 + 1) * sizeof(std::complex<double>));
}

RealTransform::~RealTransform()
{
    fftw_free(reals_);
    fftw_free(bins_);
}

void RealTransform::PrepareForward()
{
    if (!forward_)
        forward_ = KeptPlans::Instance().Get(n_, Direction::Forward, reals_, bins_);
}

void RealTransform::Forward()
{
    PrepareForward();
    fftw_execute_dft_r2c(static_cast<fftw_plan>(forward_.get()), reals_,
                         reinterpret_cast<fftw_complex *>(bins_));
}

void RealTransform::Inverse()
{
    const Plan plan = KeptPlans::Instance().Get(n_, Direction::Inverse, reals_, bins_);
    fftw_execute_dft_c2r(plan.get(), reinterpret_cast<fftw_complex *>(bins_), reals_);
}

bool RealTransform::RunsOnAllCores(std::int64_t n)
{
    return n >= ThreadedSize;
}

std::uint64_t RealTransform::BufferBytes(std::int64_t n)
{
    return static_cast<std::uint64_t>(n) * sizeof(double)
        + static_cast<std::uint64_t>(n / 2 + 1) * sizeof(std::complex<double>);
}

bool RealTransform::ForwardPlanKept(std::int64_t n)
{
    return KeptPlans::Instance().Holds(n, Direction::Forward);
}

void RealTransform::DropKeptPlans()
{
    KeptPlans::Instance().Clear();
    const std::lock_guard<std::mutex> planner(PlannerLock());
    fftw_forget_wisdom(); // what the planner learnt of these sizes, as in a new run
}
