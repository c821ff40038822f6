// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/spectrum/fft/real_transform.h"

#include "core/platform/memory_pages.h"
#include "core/spectrum/fft/fft_threads.h"
#include "core/spectrum/fft/for_tests.h"
#include "core/spectrum/fft/half_length_passes.h"
#include "core/spectrum/fft/kept_recent.h"
#include "core/spectrum/fft/padded_transform.h"
#include "core/spectrum/fft/transform_cost.h"
#include "core/spectrum/fft/transform_way.h"

#include <fftw3.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <limits>
#include <memory>
#include <mutex>
#include <new>
#include <system_error>
#include <thread>
#include <vector>

namespace fft_internal {

std::mutex &PlannerLock()
{
    struct Planner
    {
        std::mutex lock;
    };
    return NeverDestroyed<Planner>().lock;
}

void PlanOnThreads(std::int64_t size)
{
    // A large transform on every core: its passes over memory share out well, and a million
    // values already take milliseconds. A small one stays on one thread, where handing out the
    // work would cost more than it saves.
    static const bool threaded = fftw_init_threads() != 0;
    if (threaded)
        fftw_plan_with_nthreads(size >= ThreadedSize ? static_cast<int>(WorkThreads()) : 1);
}

} // namespace fft_internal

using namespace fft_internal;

namespace {

enum class Direction
{
    Forward,
    Inverse
};

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

// From 2^18 values, where N is a multiple of 4, the complex transform of the M = N / 2 values is
// itself made of two of M / 2, of the even and of the odd ones, run side by side: FFTW's threads
// share two transforms out far better than one (2.0 against 5.5 ms at a million values on two
// cores). With E and O their transforms, Z(k) = E(k) + W^2k O(k) and Z(k + M/2) = E(k) - W^2k O(k),
// W^2k read from the same twiddles: W^(N/4 + j) = -i W^j.
bool SplitInTwo(std::int64_t n)
{
    return HalfLength(n) && n % 4 == 0 && n >= ThreadedSize;
}

struct PlanKey
{
    std::int64_t n;
    Direction direction;
    bool operator==(const PlanKey &) const = default;
};

// The plans kept while the program runs: the most recently used few, as an analysis repeated at
// the same N and the sum of the harmonics drawn after it use them. Never destroyed, as
// NeverDestroyed's objects: a transform left running may still drop its plan at exit.
KeptRecent<PlanKey, PlanData> &KeptPlans()
{
    static auto *const kept = new KeptRecent<PlanKey, PlanData>(4);
    return *kept;
}

// The plan for n values in `direction`, made on these buffers when none is kept. FFTW's buffers
// all have the same alignment, so a plan serves any of them (new-array execute).
Plan PlanFor(std::int64_t n, Direction direction, double *reals, std::complex<double> *bins)
{
    return KeptPlans().Get({n, direction}, [&] {
        Plan plan;
        {
            const std::lock_guard<std::mutex> planner(PlannerLock());
            PlanOnThreads(n);
            auto *complex = reinterpret_cast<fftw_complex *>(bins);
            const int size = static_cast<int>(n);
            if (direction == Direction::Inverse && HalfLength(n)) // see FoldHalfLength
                plan = Adopt(fftw_plan_dft_1d(size / 2, complex,
                                              reinterpret_cast<fftw_complex *>(reals),
                                              FFTW_BACKWARD, FFTW_ESTIMATE | FFTW_DESTROY_INPUT));
            else if (direction == Direction::Inverse)
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
        if (HalfLength(n))
            plan->twiddles = HalfLengthTwiddles(n); // outside the planner's lock
        return plan;
    });
}

// The last transform's buffers, kept for the next transform of the same size where they are
// small.
struct KeptBuffers
{
    static constexpr std::uint64_t MaxBytes = 64 << 20;
    std::mutex mutex;
    std::shared_ptr<RealTransform> transform;
};

// The bins a transform uses: all where `used` says none or too many.
std::int64_t UsedOf(std::int64_t n, std::int64_t used)
{
    return used < 1 || used > n / 2 + 1 ? n / 2 + 1 : used;
}

} // namespace

namespace {

// FFTW's own transform of n values, on a plan kept for the size.
class PlainTransformWay final : public TransformWay
{
public:
    explicit PlainTransformWay(std::int64_t n) : n_(n) { }

    // The plans are found or made on these buffers; any buffers of FFTW's serve (new-array
    // execute), so a plan made on the first serves every later one.
    void PrepareForward(double *reals, std::complex<double> *bins) override
    {
        if (!forward_)
            forward_ = PlanFor(n_, Direction::Forward, reals, bins);
    }
    void PrepareInverse(double *reals, std::complex<double> *bins) override
    {
        PlanFor(n_, Direction::Inverse, reals, bins);
    }
    void Forward(double *reals, std::complex<double> *bins) override;
    void Inverse(std::complex<double> *bins, double *reals) override;
    TransformRounding Rounding() override { return PlainWayRounding(n_); }

private:
    const std::int64_t n_;
    Plan forward_;
};

void PlainTransformWay::Forward(double *reals, std::complex<double> *bins)
{
    PrepareForward(reals, bins);
    const PlanData &plan = *forward_;
    auto *complex = reinterpret_cast<fftw_complex *>(bins);
    if (!HalfLength(n_)) {
        fftw_execute_dft_r2c(plan.plan, reals, complex);
        return;
    }
    fftw_execute_dft(plan.plan, reinterpret_cast<fftw_complex *>(reals), complex);
    const std::complex<double> *twiddles = plan.twiddles.data();
    const std::int64_t m = n_ / 2;
    if (SplitInTwo(n_))
        OnEveryCore(0, m / 2, [&](std::int64_t begin, std::int64_t end) {
            CombineHalves(bins, n_, twiddles, begin, end);
        });
    const double z0r = bins[0].real(), z0i = bins[0].imag();
    bins[0] = {z0r + z0i, 0};
    bins[m] = {z0r - z0i, 0};
    if (n_ < ThreadedSize) {
        UnfoldHalfLength(bins, m, twiddles, 1, m / 2 + 1);
        return;
    }
    // A pass over tens of megabytes: on every core, as the transform before it.
    OnEveryCore(1, m / 2, [&](std::int64_t begin, std::int64_t end) {
        UnfoldHalfLength(bins, m, twiddles, begin, end);
    });
}

void PlainTransformWay::Inverse(std::complex<double> *bins, double *reals)
{
    const Plan plan = PlanFor(n_, Direction::Inverse, reals, bins);
    if (!HalfLength(n_)) {
        fftw_execute_dft_c2r(plan->plan, reinterpret_cast<fftw_complex *>(bins), reals);
        return;
    }
    // X(0) and X(M) taken as real, as the complex-to-real transform takes them: Z(0) from both.
    const std::int64_t m = n_ / 2;
    const double x0 = bins[0].real(), xm = bins[m].real();
    bins[0] = {x0 + xm, x0 - xm};
    const std::complex<double> *twiddles = plan->twiddles.data();
    InShares(1, m / 2, [&](std::int64_t begin, std::int64_t end) {
        FoldHalfLength(bins, m, twiddles, begin, end);
    });
    fftw_execute_dft(plan->plan, reinterpret_cast<fftw_complex *>(bins),
                     reinterpret_cast<fftw_complex *>(reals));
}

} // namespace

namespace fft_internal {

std::unique_ptr<TransformWay> PlainWay(std::int64_t n)
{
    return std::make_unique<PlainTransformWay>(n);
}

double Gamma(std::int64_t size)
{
    return 32 * Unit
        * (std::ceil(std::log2(static_cast<double>(std::max<std::int64_t>(size, 1)))) + 2);
}

TransformRounding PlainWayRounding(std::int64_t n)
{
    return {Gamma(n) * std::sqrt(static_cast<double>(std::max<std::int64_t>(n, 1))), 0};
}

} // namespace fft_internal

RealTransform::RealTransform(std::int64_t n, std::int64_t used) : n_(n), used_(UsedOf(n, used))
{
    reals_ = fftw_alloc_real(static_cast<std::size_t>(n));
    bins_ = reinterpret_cast<std::complex<double> *>(
        fftw_alloc_complex(static_cast<std::size_t>(n / 2 + 1)));
    if (!reals_ || !bins_) {
        fftw_free(reals_);
        fftw_free(bins_);
        throw std::bad_alloc();
    }
    try {
        way_ = IsPadded(n) ? PaddedWay(n, used_) : PlainWay(n);
    } catch (...) {
        fftw_free(reals_);
        fftw_free(bins_);
        throw;
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
    way_->PrepareForward(reals_, bins_);
}

void RealTransform::PrepareInverse()
{
    way_->PrepareInverse(reals_, bins_);
}

void RealTransform::Forward()
{
    way_->Forward(reals_, bins_);
}

void RealTransform::Inverse()
{
    way_->Inverse(bins_, reals_);
}

std::uint64_t RealTransform::BufferBytes(std::int64_t n)
{
    // The padded way's work buffer and the filter it makes where none is kept.
    return static_cast<std::uint64_t>(n) * sizeof(double)
        + static_cast<std::uint64_t>(n / 2 + 1) * sizeof(std::complex<double>)
        + (IsPadded(n) ? ChirpFilter::Bytes(n, n, n / 2 + 1) : 0);
}

std::shared_ptr<RealTransform> RealTransform::Take(std::int64_t n, std::int64_t used)
{
    KeptBuffers &kept = NeverDestroyed<KeptBuffers>();
    {
        const std::lock_guard<std::mutex> lock(kept.mutex);
        if (kept.transform && kept.transform->Size() == n
            && kept.transform->UsedBins() == UsedOf(n, used))
            return std::move(kept.transform);
    }
    return std::make_shared<RealTransform>(n, used);
}

void RealTransform::Keep(std::shared_ptr<RealTransform> transform)
{
    if (BufferBytes(transform->Size()) > KeptBuffers::MaxBytes)
        return;
    KeptBuffers &kept = NeverDestroyed<KeptBuffers>();
    const std::lock_guard<std::mutex> lock(kept.mutex);
    kept.transform = std::move(transform);
}

TransformRounding RealTransform::PlainRounding(std::int64_t n)
{
    return PlainWayRounding(n);
}

TransformRounding RealTransform::Rounding(std::int64_t n)
{
    return IsPadded(n) ? PaddedWayRounding(n, n / 2 + 1) : PlainWayRounding(n);
}

TransformRounding RealTransform::Rounding()
{
    return way_->Rounding();
}

void testing_seam::ForgetKeptPlansAndBuffers()
{
    {
        KeptBuffers &kept = NeverDestroyed<KeptBuffers>();
        const std::lock_guard<std::mutex> lock(kept.mutex);
        kept.transform.reset();
    }
    KeptPlans().Clear();
    ForgetKeptFilters();
    const std::lock_guard<std::mutex> planner(PlannerLock());
    fftw_forget_wisdom(); // what the planner learnt of these sizes, as in a new run
}
