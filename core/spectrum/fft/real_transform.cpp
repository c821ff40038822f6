// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/spectrum/fft/real_transform.h"

#include "core/platform/memory_pages.h"
#include "core/spectrum/fft/fft_threads.h"
#include "core/spectrum/fft/for_tests.h"
#include "core/spectrum/fft/padded_transform.h"

#include <fftw3.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <limits>
#include <memory>
#include <mutex>
#include <new>
#include <numbers>
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

// The unit roundoff u = 2^-53.
constexpr double Unit = std::numeric_limits<double>::epsilon() / 2;

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

// The inverse the same way round: the real sums x(j) = sum over k < n of X(k) exp(+2 pi i j k / n),
// even and odd j together, z(m) = x(2m) + i x(2m+1), are the backward complex transform of M
// values of Z(k) = E(k) + i O(k), with E(k) = X(k) + X(k + M) and
// O(k) = (X(k) - X(k + M)) exp(+2 pi i k / n), where X(k + M) = conj X(M - k). FFTW plans that in
// a fraction of the time of the complex-to-real plan (half a second at ten million values). The
// pass folds each pair k, M - k in place, for k in [begin, end) within 1 .. M / 2; for an even M,
// k = M / 2 is its own pair, written twice alike.
void FoldHalfLength(std::complex<double> *bins, std::int64_t m,
                    const std::complex<double> *twiddles, std::int64_t begin, std::int64_t end)
{
    const std::complex<double> i(0, 1);
    for (std::int64_t k = begin; k < end; ++k) {
        const std::complex<double> a = bins[k], b = bins[m - k]; // X(k), X(M - k)
        // Z(k) from X(k) and X(k + M) = conj X(M - k); Z(M - k) from X(M - k) and conj X(k),
        // exp(+2 pi i (M - k) / n) being -exp(-2 pi i k / n).
        bins[k] = (a + std::conj(b)) + i * ((a - std::conj(b)) * std::conj(twiddles[k]));
        bins[m - k] = (b + std::conj(a)) - i * ((b - std::conj(a)) * twiddles[k]);
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

// The bins a transform uses: all where `used` says none or too many.
std::int64_t UsedOf(std::int64_t n, std::int64_t used)
{
    return used < 1 || used > n / 2 + 1 ? n / 2 + 1 : used;
}

} // namespace

RealTransform::RealTransform(std::int64_t n, std::int64_t used)
    : n_(n), used_(UsedOf(n, used)), padded_(IsPadded(n))
{
    reals_ = fftw_alloc_real(static_cast<std::size_t>(n));
    bins_ = reinterpret_cast<std::complex<double> *>(
        fftw_alloc_complex(static_cast<std::size_t>(n / 2 + 1)));
    const std::size_t workSize
        = padded_ ? static_cast<std::size_t>(PaddedSizeFrom(n + used_ - 1)) : 0;
    if (padded_)
        work_ = reinterpret_cast<std::complex<double> *>(fftw_alloc_complex(workSize));
    if (!reals_ || !bins_ || (padded_ && !work_)) {
        fftw_free(reals_);
        fftw_free(bins_);
        fftw_free(work_);
        throw std::bad_alloc();
    }
    AskForLargePages(reals_, static_cast<std::size_t>(n) * sizeof(double));
    AskForLargePages(bins_, static_cast<std::size_t>(n / 2 + 1) * sizeof(std::complex<double>));
    if (padded_)
        AskForLargePages(work_, workSize * sizeof(std::complex<double>));
}

RealTransform::~RealTransform()
{
    fftw_free(reals_);
    fftw_free(bins_);
    fftw_free(work_);
}

void RealTransform::PrepareForward()
{
    if (forward_)
        return;
    if (padded_)
        forward_ = KeptFilter(n_, used_, false);
    else
        forward_ = KeptPlans::Instance().Get(n_, Direction::Forward, reals_, bins_);
}

void RealTransform::PrepareInverse()
{
    if (!padded_)
        KeptPlans::Instance().Get(n_, Direction::Inverse, reals_, bins_);
}

void RealTransform::Forward()
{
    PrepareForward();
    if (padded_) {
        PaddedForward(*static_cast<const ChirpFilter *>(forward_.get()), n_, used_, reals_, bins_,
                      work_);
        return;
    }
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
    if (padded_) {
        const std::shared_ptr<const ChirpFilter> filter = KeptFilter(n_, used_, true);
        PaddedInverse(*filter, n_, used_, bins_, reals_, work_);
        return;
    }
    const Plan plan = KeptPlans::Instance().Get(n_, Direction::Inverse, reals_, bins_);
    if (!HalfLength(n_)) {
        fftw_execute_dft_c2r(plan->plan, reinterpret_cast<fftw_complex *>(bins_), reals_);
        return;
    }
    // X(0) and X(M) taken as real, as the complex-to-real transform takes them: Z(0) from both.
    const std::int64_t m = n_ / 2;
    const double x0 = bins_[0].real(), xm = bins_[m].real();
    bins_[0] = {x0 + xm, x0 - xm};
    const std::complex<double> *twiddles = plan->twiddles.data();
    InShares(1, m / 2, [&](std::int64_t begin, std::int64_t end) {
        FoldHalfLength(bins_, m, twiddles, begin, end);
    });
    fftw_execute_dft(plan->plan, reinterpret_cast<fftw_complex *>(bins_),
                     reinterpret_cast<fftw_complex *>(reals_));
}

std::uint64_t RealTransform::BufferBytes(std::int64_t n)
{
    // The padded way's work buffer and the filter it makes where none is kept.
    return static_cast<std::uint64_t>(n) * sizeof(double)
        + static_cast<std::uint64_t>(n / 2 + 1) * sizeof(std::complex<double>)
        + (IsPadded(n) ? ChirpFilter::Bytes(n, n, n / 2 + 1) : 0);
}

bool RealTransform::Padded(std::int64_t n)
{
    return IsPadded(n);
}

double RealTransform::Work(std::int64_t n)
{
    return TransformWork(n);
}

TransformRounding RealTransform::RoundingOf(std::int64_t n, std::int64_t used,
                                            const void *filterMade)
{
    // FFTW's rounding grows as log2 N and is bounded in the Euclidean norm over all its outputs:
    // a transform of M values errs by no more than gamma(M) sqrt(M) times their norm, gamma(M) =
    // c u (log2 M + 2), and so does any one output; c = 32 leaves room for FFTW's tables of
    // twiddles and for the generic algorithms of factors from 17 on.
    const auto gamma = [](std::int64_t size) {
        return 32 * Unit * (std::ceil(std::log2(static_cast<double>(size))) + 2);
    };
    const double dn = static_cast<double>(std::max<std::int64_t>(n, 1));
    if (!IsPadded(n))
        return {gamma(n) * std::sqrt(dn), 0};
    // The padded way, with Q the values' norm and A the sum of their magnitudes, L = n + used - 1
    // the filter's values and M its padded size, each bin's error is at most
    //   Q (sqrt(L) (2 e + 2 gamma(M) + 6 u) + gamma(M) G) + A (e + 3 u):
    // - every chirp value lies within e = 256 u of its own (its angle from the exact integer
    //   j^2 mod 2n, three roundings of relative u on at most pi, 9.5 u; the sine and cosine
    //   within an ulp each, 3 u together; each of at most 15 products in its block of 16 adds
    //   the step's 12.5 u and its own rounding, 2.25 u; 250 u in all), and each value x(j) c(j)
    //   within (e + 2 u) |x(j)|: their norm errs by (e + 2 u) Q;
    // - the transform of those M values, whose norm is sqrt(M) Q, by sqrt(M) (e + 2 u + gamma) Q;
    //   the filter's transform F, of norm sqrt(M L) / M, by (e + gamma + u) sqrt(L / M);
    // - each output of the inverse transform sums the M products' errors with weights of
    //   modulus 1, at most the errors' norm times the other factor's norm (Cauchy and Schwarz):
    //   sqrt(L) (e + 2 u + gamma) Q from the values, sqrt(L) (e + gamma + u) Q from the filter,
    //   3 u sqrt(L) Q from the products' roundings;
    // - the inverse transform's own rounding, at most gamma sqrt(M) times the products' norm,
    //   which is at most the filter's largest modulus G / M times sqrt(M) Q: gamma G Q, G as the
    //   filter's transform holds it;
    // - the last product by the chirp, at most (e + 3 u) |X(k)|, and |X(k)| <= A.
    // G is near sqrt(2 n) (the chirp's transform is flat), so the bound is a few times the plain
    // transform's; the second-order products of small errors are in the factor 1 + 1/64.
    std::shared_ptr<const ChirpFilter> kept;
    const auto *filter = static_cast<const ChirpFilter *>(filterMade);
    if (!filter) {
        kept = KeptFilter(n, used, false);
        filter = kept.get();
    }
    const double e = 256 * Unit;
    const double g = gamma(filter->Size());
    const double rootL = std::sqrt(static_cast<double>(n + used - 1));
    const double grow = 1 + 1.0 / 64;
    return {grow * (rootL * (2 * e + 2 * g + 6 * Unit) + g * filter->Gain()),
            grow * (e + 3 * Unit)};
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
    const double dn = static_cast<double>(std::max<std::int64_t>(n, 1));
    return {32 * Unit * (std::ceil(std::log2(dn)) + 2) * std::sqrt(dn), 0};
}

TransformRounding RealTransform::Rounding(std::int64_t n)
{
    return RoundingOf(n, n / 2 + 1, nullptr);
}

TransformRounding RealTransform::Rounding()
{
    PrepareForward();
    return RoundingOf(n_, used_, padded_ ? forward_.get() : nullptr);
}

void testing_seam::ForgetKeptPlansAndBuffers()
{
    {
        KeptBuffers &kept = NeverDestroyed<KeptBuffers>();
        const std::lock_guard<std::mutex> lock(kept.mutex);
        kept.transform.reset();
    }
    KeptPlans::Instance().Clear();
    ForgetKeptFilters();
    const std::lock_guard<std::mutex> planner(PlannerLock());
    fftw_forget_wisdom(); // what the planner learnt of these sizes, as in a new run
}
