// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/spectrum/fft/padded_transform.h"

#include "core/platform/memory_pages.h"
#include "core/spectrum/fft/fft_threads.h"
#include "core/spectrum/fft/kept_recent.h"
#include "core/spectrum/fft/transform_way.h"

#include <fftw3.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <limits>
#include <numbers>
#include <vector>

// The chirp-z identity: with c(j) = exp(-i pi j^2 / n), as j k = (j^2 + k^2 - (k - j)^2) / 2,
//   X(k) = sum over j of x(j) exp(-2 pi i j k / n) = c(k) sum over j of (x(j) c(j)) conj(c(k - j)),
// a convolution of x c with the chirp conj(c), which the transforms of any size M at least the
// inputs' and outputs' count less one give without wrapping onto an output, however n factors.
// M is a power of two: FFTW plans one in a few milliseconds, where a size with factors 3, 5 or 7
// near ten million values takes hundreds (measured on AVX-512: 4 against 200 to 600 ms), and
// runs it as fast as the smaller smooth sizes.
//
// Chosen over Rader's algorithm, the other of the same order, because it asks nothing of n (Rader
// needs n prime and transforms of n - 1, which may be awkward in turn) and because its outputs can
// be fewer than its inputs: the n / 2 + 1 bins of a real transform need M >= 1.5 n, not 2 n.

namespace fft_internal {

namespace {

// Chirp values are made in chunks of this many, on the stack.
constexpr std::int64_t ChirpChunk = 256;

// f(first, count, chirp) for each chunk of [begin, end), chirp holding c(first ..).
template<typename F>
void ForChirpChunks(std::int64_t n, std::int64_t begin, std::int64_t end, const F &f)
{
    std::complex<double> chirp[ChirpChunk];
    for (std::int64_t first = begin; first < end; first += ChirpChunk) {
        const std::int64_t count = std::min(ChirpChunk, end - first);
        Chirp(n, first, first + count, chirp);
        f(first, count, chirp);
    }
}

} // namespace

std::int64_t PaddedSizeFrom(std::int64_t length)
{
    std::int64_t size = 1;
    while (size < length)
        size *= 2;
    return size;
}

std::int64_t SquareModTwoN(std::int64_t j, std::int64_t n)
{
    const std::uint64_t twoN = 2 * static_cast<std::uint64_t>(n);
    const std::uint64_t r = static_cast<std::uint64_t>(j) % twoN; // below 2^32: its square fits
    return static_cast<std::int64_t>(r * r % twoN);
}

std::complex<double> ChirpAngle(std::int64_t r, std::int64_t n)
{
    // The angle pi r / n within (-pi, pi], formed from the exact integer: three roundings.
    const double turn = static_cast<double>(r > n ? r - 2 * n : r);
    const double angle = std::numbers::pi * turn / static_cast<double>(n);
    return {std::cos(angle), -std::sin(angle)};
}

void Chirp(std::int64_t n, std::int64_t begin, std::int64_t end, std::complex<double> *chirp)
{
    // c(j0 + t) = c(j0) g^t e(t), g = exp(-2 pi i j0 / n) and e(t) = c(t), as
    // (j0 + t)^2 = j0^2 + 2 j0 t + t^2; the blocks of 16 keep the products' roundings few.
    constexpr std::int64_t Block = 16;
    std::complex<double> steps[Block];
    for (std::int64_t t = 0; t < Block; ++t)
        steps[t] = ChirpAngle(SquareModTwoN(t, n), n);
    for (std::int64_t j0 = begin; j0 < end; j0 += Block) {
        std::complex<double> power = ChirpAngle(SquareModTwoN(j0, n), n);
        const std::complex<double> step = ChirpAngle(2 * (j0 % n), n);
        const std::int64_t count = std::min(Block, end - j0);
        for (std::int64_t t = 0; t < count; ++t) {
            chirp[j0 - begin + t] = power * steps[t];
            power *= step;
        }
    }
}

ChirpFilter::ChirpFilter(std::int64_t n, std::int64_t inputs, std::int64_t outputs)
    : m_(PaddedSizeFrom(inputs + outputs - 1))
{
    spectrum_ = reinterpret_cast<std::complex<double> *>(
        fftw_alloc_complex(static_cast<std::size_t>(m_)));
    if (!spectrum_)
        throw std::bad_alloc();
    if (m_ >= (1 << 18)) // a few page faults where there would be thousands; only advice
        AdviseLargePages(spectrum_, static_cast<std::size_t>(m_) * sizeof(std::complex<double>));
    auto *values = reinterpret_cast<fftw_complex *>(spectrum_);
    {
        const std::lock_guard<std::mutex> planner(PlannerLock());
        PlanOnThreads(m_);
        // The 64-bit interface: M reaches 2^32 for the largest n.
        fftw_iodim64 dimension {m_, 1, 1};
        forward_ = fftw_plan_guru64_dft(1, &dimension, 0, nullptr, values, values, FFTW_FORWARD,
                                        FFTW_ESTIMATE);
        backward_ = fftw_plan_guru64_dft(1, &dimension, 0, nullptr, values, values, FFTW_BACKWARD,
                                         FFTW_ESTIMATE);
    }
    if (!forward_ || !backward_) {
        Release();
        throw std::bad_alloc();
    }
    // conj(c(m)) at m = 0 .. outputs - 1 and at M - m for m = 1 .. inputs - 1: each output k
    // meets input j at (k - j) mod M. Zeros between.
    std::complex<double> *const filter = spectrum_;
    const std::int64_t m = m_;
    InShares(0, outputs, [&](std::int64_t begin, std::int64_t end) {
        Chirp(n, begin, end, filter + begin);
        for (std::int64_t k = begin; k < end; ++k)
            filter[k] = std::conj(filter[k]);
    });
    InShares(outputs, m - inputs + 1 - outputs, [&](std::int64_t begin, std::int64_t end) {
        std::fill(filter + begin, filter + end, std::complex<double>());
    });
    InShares(1, inputs - 1, [&](std::int64_t begin, std::int64_t end) {
        ForChirpChunks(
            n, begin, end,
            [&](std::int64_t first, std::int64_t count, const std::complex<double> *chirp) {
                for (std::int64_t t = 0; t < count; ++t)
                    filter[m - first - t] = std::conj(chirp[t]);
            });
    });
    fftw_execute_dft(forward_, values, values);
    std::mutex gainLock;
    const double scale = 1 / static_cast<double>(m);
    InShares(0, m, [&](std::int64_t begin, std::int64_t end) {
        double square = 0; // the largest squared modulus: no square root a value
        for (std::int64_t l = begin; l < end; ++l) {
            square = std::max(
                square, filter[l].real() * filter[l].real() + filter[l].imag() * filter[l].imag());
            filter[l] *= scale;
        }
        // sqrt of the rounded sum of squares lies within 2 u of the modulus: 1 + 4 u covers it.
        const std::lock_guard<std::mutex> lock(gainLock);
        gain_
            = std::max(gain_, std::sqrt(square) * (1 + 4 * std::numeric_limits<double>::epsilon()));
    });
}

ChirpFilter::~ChirpFilter()
{
    Release();
}

void ChirpFilter::Release()
{
    {
        const std::lock_guard<std::mutex> planner(PlannerLock());
        if (forward_)
            fftw_destroy_plan(forward_);
        if (backward_)
            fftw_destroy_plan(backward_);
    }
    fftw_free(spectrum_);
}

void ChirpFilter::Convolve(std::complex<double> *work) const
{
    auto *values = reinterpret_cast<fftw_complex *>(work);
    fftw_execute_dft(forward_, values, values);
    const std::complex<double> *filter = spectrum_;
    InShares(0, m_, [&](std::int64_t begin, std::int64_t end) {
        for (std::int64_t l = begin; l < end; ++l)
            work[l] *= filter[l];
    });
    fftw_execute_dft(backward_, values, values);
}

std::uint64_t ChirpFilter::Bytes(std::int64_t, std::int64_t inputs, std::int64_t outputs)
{
    return 2 * static_cast<std::uint64_t>(PaddedSizeFrom(inputs + outputs - 1))
        * sizeof(std::complex<double>);
}

namespace {

struct FilterKey
{
    std::int64_t n;
    std::int64_t bins;
    bool inverse;
    bool operator==(const FilterKey &) const = default;
};

// One large filter at a time: 64 MB of values from this size on.
bool LargeFilter(const ChirpFilter &filter)
{
    return filter.Size() >= (1 << 22);
}

// Never destroyed, as NeverDestroyed's objects: a transform may still drop its filter at exit.
KeptRecent<FilterKey, const ChirpFilter> &KeptFilters()
{
    static auto *const kept = new KeptRecent<FilterKey, const ChirpFilter>(4, LargeFilter);
    return *kept;
}

} // namespace

std::shared_ptr<const ChirpFilter> KeptFilter(std::int64_t n, std::int64_t bins, bool inverse)
{
    return KeptFilters().Get({n, bins, inverse}, [&] {
        return std::make_shared<const ChirpFilter>(n, inverse ? bins : n, inverse ? n : bins);
    });
}

void ForgetKeptFilters()
{
    KeptFilters().Clear();
}

void PaddedForward(const ChirpFilter &filter, std::int64_t n, std::int64_t used,
                   const double *reals, std::complex<double> *bins, std::complex<double> *work)
{
    const std::int64_t m = filter.Size();
    const std::int64_t count = used;
    InShares(0, n, [&](std::int64_t begin, std::int64_t end) {
        Chirp(n, begin, end, work + begin);
        for (std::int64_t j = begin; j < end; ++j)
            work[j] *= reals[j];
    });
    InShares(n, m - n, [&](std::int64_t begin, std::int64_t end) {
        std::fill(work + begin, work + end, std::complex<double>());
    });
    filter.Convolve(work);
    InShares(0, count, [&](std::int64_t begin, std::int64_t end) {
        Chirp(n, begin, end, bins + begin);
        for (std::int64_t k = begin; k < end; ++k)
            bins[k] *= work[k];
    });
    // The transform of reals is real at 0 and, for even n, at n / 2.
    bins[0].imag(0);
    if (n % 2 == 0 && used == n / 2 + 1)
        bins[n / 2].imag(0);
}

void PaddedInverse(const ChirpFilter &filter, std::int64_t n, std::int64_t used,
                   const std::complex<double> *bins, double *reals, std::complex<double> *work)
{
    // reals(j) = Re sum over k < n / 2 + 1 of Y(k) exp(2 pi i j k / n), Y(k) = 2 bins(k) but at 0
    // and n / 2, where it is the real part alone; that is Re of the forward sum of conj(Y). The
    // bins from `used` on are zero.
    const std::int64_t m = filter.Size();
    const std::int64_t count = used;
    InShares(0, count, [&](std::int64_t begin, std::int64_t end) {
        Chirp(n, begin, end, work + begin);
        for (std::int64_t k = begin; k < end; ++k) {
            const std::complex<double> y
                = k == 0 || 2 * k == n ? std::complex<double>(bins[k].real(), 0) : 2.0 * bins[k];
            work[k] *= std::conj(y);
        }
    });
    InShares(count, m - count, [&](std::int64_t begin, std::int64_t end) {
        std::fill(work + begin, work + end, std::complex<double>());
    });
    filter.Convolve(work);
    InShares(0, n, [&](std::int64_t begin, std::int64_t end) {
        ForChirpChunks(
            n, begin, end,
            [&](std::int64_t first, std::int64_t count, const std::complex<double> *chirp) {
                for (std::int64_t t = 0; t < count; ++t)
                    reals[first + t] = (chirp[t] * work[first + t]).real();
            });
    });
}

} // namespace fft_internal

using namespace fft_internal;

namespace {

// The transform through complex transforms of the padded size, on the filter kept for its shape.
class PaddedTransformWay final : public TransformWay
{
public:
    PaddedTransformWay(std::int64_t n, std::int64_t used)
        : n_(n), used_(used), workSize_(static_cast<std::size_t>(PaddedSizeFrom(n + used - 1)))
    {
        work_ = reinterpret_cast<std::complex<double> *>(fftw_alloc_complex(workSize_));
        if (!work_)
            throw std::bad_alloc();
        AskForLargePages(work_, workSize_ * sizeof(std::complex<double>));
    }
    ~PaddedTransformWay() override { fftw_free(work_); }
    PaddedTransformWay(const PaddedTransformWay &) = delete;
    PaddedTransformWay &operator=(const PaddedTransformWay &) = delete;

    void PrepareForward(double *, std::complex<double> *) override
    {
        if (!forward_)
            forward_ = KeptFilter(n_, used_, false);
    }
    // Nothing ahead: the inverse filter would take the place of the forward one.
    void PrepareInverse(double *, std::complex<double> *) override { }
    void Forward(double *reals, std::complex<double> *bins) override
    {
        PrepareForward(reals, bins);
        PaddedForward(*forward_, n_, used_, reals, bins, work_);
    }
    void Inverse(std::complex<double> *bins, double *reals) override
    {
        const std::shared_ptr<const ChirpFilter> filter = KeptFilter(n_, used_, true);
        PaddedInverse(*filter, n_, used_, bins, reals, work_);
    }
    TransformRounding Rounding() override
    {
        PrepareForward(nullptr, nullptr);
        return RoundingWith(n_, used_, *forward_);
    }

    // The bound with the filter `filter` of n values and `used` bins:
    // with Q the values' norm and A the sum of their magnitudes, L = n + used - 1 the filter's
    // values and M its padded size, each bin's error is at most
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
    static TransformRounding RoundingWith(std::int64_t n, std::int64_t used,
                                          const ChirpFilter &filter)
    {
        const double e = 256 * Unit;
        const double g = Gamma(filter.Size());
        const double rootL = std::sqrt(static_cast<double>(n + used - 1));
        const double grow = 1 + 1.0 / 64;
        return {grow * (rootL * (2 * e + 2 * g + 6 * Unit) + g * filter.Gain()),
                grow * (e + 3 * Unit)};
    }

private:
    const std::int64_t n_;
    const std::int64_t used_;
    const std::size_t workSize_;
    std::complex<double> *work_ = nullptr; // the filter's M values
    std::shared_ptr<const ChirpFilter> forward_;
};

} // namespace

namespace fft_internal {

std::unique_ptr<TransformWay> PaddedWay(std::int64_t n, std::int64_t used)
{
    return std::make_unique<PaddedTransformWay>(n, used);
}

TransformRounding PaddedWayRounding(std::int64_t n, std::int64_t used)
{
    return PaddedTransformWay::RoundingWith(n, used, *KeptFilter(n, used, false));
}

} // namespace fft_internal
