// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/spectrum/fft/real_transform.h"

#include "core/platform/memory_pages.h"

#include <fftw3.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <memory>
#include <mutex>
#include <new>
#include <numbers>
#include <system_error>
#include <thread>
#include <vector>

namespace {

// What the transforms keep for the program's whole run, made on first use and never destroyed: a
// transform left running when the program ends may still drop its plan or its buffers. One object
// per type T.
template<typename T> T &NeverDestroyed()
{
    static T *const object = new T;
    return *object;
}

// FFTW's planner keeps global state: plans are made and destroyed one at a time. Executing a
// plan, even one plan on several threads with arrays of their own, needs no lock.
struct Planner
{
    std::mutex lock;
};

std::mutex &PlannerLock()
{
    return NeverDestroyed<Planner>().lock;
}

enum class Direction
{
    Forward,
    Inverse
};

// From this many values on, a transform runs on every core.
constexpr std::int64_t ThreadedSize = 1 << 18;

int Threads()
{
    return static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 1u, 8u));
}

// A plan with, for the forward transform of an even number of values, the twiddles that turn
// the complex transform of half as many into the real one (see HalfLengthForward).
struct PlanData
{
    fftw_plan plan;
    std::vector<std::complex<double>> twiddles;
};
using Plan = std::shared_ptr<PlanData>;

Plan Adopt(fftw_plan plan, std::vector<std::complex<double>> twiddles = {})
{
    if (!plan)
        throw std::bad_alloc();
    return Plan(new PlanData {plan, std::move(twiddles)}, [](PlanData *made) {
        {
            const std::lock_guard<std::mutex> planner(PlannerLock());
            fftw_destroy_plan(made->plan);
        }
        delete made;
    });
}

// An even number of values is transformed as half as many complex ones, z(m) = x(2m) + i x(2m+1),
// which is what the reals' memory already holds. FFTW plans a complex transform in a fraction of
// the time it takes to plan a real one (0.05 against 2 ms at 1e4 values, 0.7 against 10 ms at a
// million), for the same time to run; the real transform follows from it in one pass:
// with M = n / 2, Z the complex transform and W = exp(-2 pi i / n),
//   E(k) = (Z(k) + conj Z(M - k)) / 2 and O(k) = (Z(k) - conj Z(M - k)) / 2i are the transforms
//   of the even and the odd values, and X(k) = E(k) + W^k O(k), X(M - k) = conj(E(k) - W^k O(k)).
// Each bin gains a few roundings of its own size, far inside the transform's own error.
constexpr std::int64_t HalfLengthFrom = 4;

bool HalfLength(std::int64_t n)
{
    return n % 2 == 0 && n >= HalfLengthFrom;
}

// W^k for k = 0 .. M / 2.
std::vector<std::complex<double>> HalfLengthTwiddles(std::int64_t n)
{
    std::vector<std::complex<double>> twiddles(static_cast<std::size_t>(n / 4 + 1));
    const double step = 2 * std::numbers::pi / static_cast<double>(n);
    for (std::size_t k = 0; k < twiddles.size(); ++k) {
        double sine, cosine;
        sincos(step * static_cast<double>(k), &sine, &cosine);
        twiddles[k] = {cosine, -sine};
    }
    return twiddles;
}

// Bins 0 .. M from the complex transform of M values held in bins 0 .. M - 1, in place; the
// pairs k, M - k for k in [begin, end) within 1 .. M / 2.
void UnfoldHalfLength(std::complex<double> *bins, std::int64_t m,
                      const std::complex<double> *twiddles, std::int64_t begin, std::int64_t end)
{
    auto *z = reinterpret_cast<double(*)[2]>(bins);
    for (std::int64_t k = begin; k < end; ++k) {
        const double ar = z[k][0], ai = z[k][1]; // Z(k)
        const double br = z[m - k][0], bi = z[m - k][1]; // Z(M - k)
        const double er = 0.5 * (ar + br), ei = 0.5 * (ai - bi); // E(k)
        const double or_ = 0.5 * (ai + bi), oi = -0.5 * (ar - br); // O(k)
        const double wr = twiddles[k].real(), wi = twiddles[k].imag();
        const double tr = wr * or_ - wi * oi, ti = wr * oi + wi * or_; // W^k O(k)
        z[k][0] = er + tr;
        z[k][1] = ei + ti;
        z[m - k][0] = er - tr;
        z[m - k][1] = -(ei - ti);
    }
}

// From 2^18 values, where N is a multiple of 4, the complex transform of the M = N / 2 values is
// itself made of two of M / 2, of the even and of the odd ones, run side by side: FFTW's threads
// share two transforms out far better than one (2.0 against 5.5 ms at a million values on two
// cores). With E and O their transforms, Z(k) = E(k) + W^2k O(k) and Z(k + M/2) = E(k) - W^2k O(k),
// W^2k read from the same twiddles: W^(N/4 + j) = -i W^j.
bool SplitInTwo(std::int64_t n)
{
    return HalfLength(n) && n % 4 == 0 && n >= ThreadedSize;
}

// Z from E (bins 0 .. M/2 - 1) and O (bins M/2 .. M - 1), in place, for k in [begin, end).
void CombineHalves(std::complex<double> *bins, std::int64_t n, const std::complex<double> *twiddles,
                   std::int64_t begin, std::int64_t end)
{
    const std::int64_t quarter = n / 4;
    auto *z = reinterpret_cast<double(*)[2]>(bins);
    for (std::int64_t k = begin; k < end; ++k) {
        double wr, wi;
        if (2 * k <= quarter) {
            wr = twiddles[2 * k].real();
            wi = twiddles[2 * k].imag();
        } else { // -i (a + i b) = b - i a
            wr = twiddles[2 * k - quarter].imag();
            wi = -twiddles[2 * k - quarter].real();
        }
        const double er = z[k][0], ei = z[k][1];
        const double or_ = z[k + quarter][0], oi = z[k + quarter][1];
        const double tr = wr * or_ - wi * oi, ti = wr * oi + wi * or_;
        z[k][0] = er + tr;
        z[k][1] = ei + ti;
        z[k + quarter][0] = er - tr;
        z[k + quarter][1] = ei - ti;
    }
}

// Runs pass(begin, end) over [first, first + count) in one share per core.
template<typename Pass> void OnEveryCore(std::int64_t first, std::int64_t count, const Pass &pass)
{
    const int threads = Threads();
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

// The plans kept while the program runs: the most recently used few, as an analysis repeated at
// the same N and the sum of the harmonics drawn after it use them.
class KeptPlans
{
public:
    static KeptPlans &Instance() { return NeverDestroyed<KeptPlans>(); }

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
            if (direction == Direction::Inverse)
                plan = Adopt(
                    fftw_plan_dft_c2r_1d(size, complex, reals, FFTW_ESTIMATE | FFTW_DESTROY_INPUT));
            else if (!HalfLength(n))
                plan = Adopt(fftw_plan_dft_r2c_1d(size, reals, complex, FFTW_ESTIMATE));
            else if (!SplitInTwo(n)) // the input kept, as for every complex transform out of place
                plan = Adopt(fftw_plan_dft_1d(size / 2, reinterpret_cast<fftw_complex *>(reals),
                                              complex, FFTW_FORWARD, FFTW_ESTIMATE));
            else { // the even complex values and the odd ones, two transforms side by side
                const int quarter = size / 4;
                plan = Adopt(fftw_plan_many_dft(
                    1, &quarter, 2, reinterpret_cast<fftw_complex *>(reals), nullptr, 2, 1, complex,
                    nullptr, 1, quarter, FFTW_FORWARD, FFTW_ESTIMATE));
            }
        }
        if (direction == Direction::Forward && HalfLength(n))
            plan->twiddles = HalfLengthTwiddles(n); // outside the planner's lock
        const std::lock_guard<std::mutex> lock(mutex_);
        entries_.insert(entries_.begin(), {n, direction, plan});
        if (entries_.size() > MaxKept)
            entries_.pop_back(); // destroyed here, or by its last running transform
        return plan;
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

// The last transform's buffers, kept for the next transform of the same size where they are
// small.
struct KeptBuffers
{
    static constexpr std::uint64_t MaxBytes = 64 << 20;
    std::mutex mutex;
    std::shared_ptr<RealTransform> transform;
};

// Large buffers in the system's large pages where it gives them on request: a few page faults
// where there would be thousands. Only advice; nothing changes where it is not taken.
void AskForLargePages(void *buffer, std::size_t bytes)
{
    constexpr std::size_t Large = 2 << 20;
    if (bytes < 2 * Large)
        return;
    AdviseLargePages(buffer, bytes);
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
    const auto &plan = *static_cast<const PlanData *>(forward_.get());
    auto *complex = reinterpret_cast<fftw_complex *>(bins_);
    if (!HalfLength(n_)) {
        fftw_execute_dft_r2c(plan.plan, reals_, complex);
        return;
    }
    fftw_execute_dft(plan.plan, reinterpret_cast<fftw_complex *>(reals_), complex);
    const std::complex<double> *twiddles = plan.twiddles.data();
    const std::int64_t m = n_ / 2;
    if (SplitInTwo(n_))
        OnEveryCore(0, m / 2, [&](std::int64_t begin, std::int64_t end) {
            CombineHalves(bins_, n_, twiddles, begin, end);
        });
    const double z0r = bins_[0].real(), z0i = bins_[0].imag();
    bins_[0] = {z0r + z0i, 0};
    bins_[m] = {z0r - z0i, 0};
    if (n_ < ThreadedSize) {
        UnfoldHalfLength(bins_, m, twiddles, 1, m / 2 + 1);
        return;
    }
    // A pass over tens of megabytes: on every core, as the transform before it.
    OnEveryCore(1, m / 2, [&](std::int64_t begin, std::int64_t end) {
        UnfoldHalfLength(bins_, m, twiddles, begin, end);
    });
}

void RealTransform::Inverse()
{
    const Plan plan = KeptPlans::Instance().Get(n_, Direction::Inverse, reals_, bins_);
    fftw_execute_dft_c2r(plan->plan, reinterpret_cast<fftw_complex *>(bins_), reals_);
}

std::uint64_t RealTransform::BufferBytes(std::int64_t n)
{
    return static_cast<std::uint64_t>(n) * sizeof(double)
        + static_cast<std::uint64_t>(n / 2 + 1) * sizeof(std::complex<double>);
}

std::shared_ptr<RealTransform> RealTransform::Take(std::int64_t n)
{
    KeptBuffers &kept = NeverDestroyed<KeptBuffers>();
    {
        const std::lock_guard<std::mutex> lock(kept.mutex);
        if (kept.transform && kept.transform->Size() == n)
            return std::move(kept.transform);
    }
    return std::make_shared<RealTransform>(n);
}

void RealTransform::Keep(std::shared_ptr<RealTransform> transform)
{
    if (BufferBytes(transform->Size()) > KeptBuffers::MaxBytes)
        return;
    KeptBuffers &kept = NeverDestroyed<KeptBuffers>();
    const std::lock_guard<std::mutex> lock(kept.mutex);
    kept.transform = std::move(transform);
}

void ForgetKeptPlansAndBuffers()
{
    {
        KeptBuffers &kept = NeverDestroyed<KeptBuffers>();
        const std::lock_guard<std::mutex> lock(kept.mutex);
        kept.transform.reset();
    }
    KeptPlans::Instance().Clear();
    const std::lock_guard<std::mutex> planner(PlannerLock());
    fftw_forget_wisdom(); // what the planner learnt of these sizes, as in a new run
}
