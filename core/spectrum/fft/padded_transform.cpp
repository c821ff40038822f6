// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/spectrum/fft/padded_transform.h"

#include "core/platform/memory_pages.h"
#include "core/spectrum/fft/fft_threads.h"

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

// The sum of n's prime factors above 13, with their multiplicity.
std::int64_t LargePrimeFactorSum(std::int64_t n)
{
    std::int64_t sum = 0;
    for (std::int64_t p = 2; p * p <= n; ++p)
        while (n % p == 0) {
            n /= p;
            if (p > 13)
                sum += p;
        }
    return n > 13 ? sum + n : sum;
}

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

fftw_plan PlanOf(void *plan)
{
    return static_cast<fftw_plan>(plan);
}

} // namespace

bool IsPadded(std::int64_t n)
{
    return n > 1
        && static_cast<double>(LargePrimeFactorSum(n)) > 8 * std::log2(static_cast<double>(n));
}

double TransformWork(std::int64_t n)
{
    // Measured on AVX-512, 2 threads, the machine shared: at the prime n = 999983 the transform
    // path overtakes the direct sums between H = 30 and H = 100 (near 55), where at a round n
    // it does from H = 3; PaddedWork puts the crossover there (H = 48 at D = 0.5).
    constexpr double PaddedWork = 20;
    const double dn = static_cast<double>(std::max<std::int64_t>(n, 2));
    if (IsPadded(n))
        return PaddedWork * dn * std::log2(dn);
    return dn * (std::log2(dn) + static_cast<double>(LargePrimeFactorSum(n)));
}

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
    fftw_execute_dft(PlanOf(forward_), values, values);
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
            fftw_destroy_plan(PlanOf(forward_));
        if (backward_)
            fftw_destroy_plan(PlanOf(backward_));
    }
    fftw_free(spectrum_);
}

void ChirpFilter::Convolve(std::complex<double> *work) const
{
    auto *values = reinterpret_cast<fftw_complex *>(work);
    fftw_execute_dft(PlanOf(forward_), values, values);
    const std::complex<double> *filter = spectrum_;
    InShares(0, m_, [&](std::int64_t begin, std::int64_t end) {
        for (std::int64_t l = begin; l < end; ++l)
            work[l] *= filter[l];
    });
    fftw_execute_dft(PlanOf(backward_), values, values);
}

std::uint64_t ChirpFilter::Bytes(std::int64_t n, std::int64_t inputs, std::int64_t outputs)
{
    (void)n;
    return 2 * static_cast<std::uint64_t>(PaddedSizeFrom(inputs + outputs - 1))
        * sizeof(std::complex<double>);
}

namespace {

class KeptFilters
{
public:
    std::shared_ptr<const ChirpFilter> Get(std::int64_t n, std::int64_t bins, bool inverse)
    {
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            for (auto entry = entries_.begin(); entry != entries_.end(); ++entry)
                if (entry->n == n && entry->bins == bins && entry->inverse == inverse) {
                    std::rotate(entries_.begin(), entry, entry + 1); // most recent first
                    return entries_.front().filter;
                }
        }
        auto filter
            = std::make_shared<const ChirpFilter>(n, inverse ? bins : n, inverse ? n : bins);
        std::vector<Entry> dropped; // destroyed outside the lock
        const std::lock_guard<std::mutex> lock(mutex_);
        if (Large(*filter)) { // one large filter at a time
            for (auto entry = entries_.begin(); entry != entries_.end();) {
                if (Large(*entry->filter)) {
                    dropped.push_back(std::move(*entry));
                    entry = entries_.erase(entry);
                } else {
                    ++entry;
                }
            }
        }
        entries_.insert(entries_.begin(), {n, bins, inverse, filter});
        if (entries_.size() > MaxKept) {
            dropped.push_back(std::move(entries_.back()));
            entries_.pop_back();
        }
        return filter;
    }

    void Clear()
    {
        std::vector<Entry> dropped;
        const std::lock_guard<std::mutex> lock(mutex_);
        dropped.swap(entries_);
    }

private:
    static constexpr std::size_t MaxKept = 4;
    static constexpr std::int64_t LargeSize = 1 << 22; // 64 MB of values

    static bool Large(const ChirpFilter &filter) { return filter.Size() >= LargeSize; }

    struct Entry
    {
        std::int64_t n;
        std::int64_t bins;
        bool inverse;
        std::shared_ptr<const ChirpFilter> filter;
    };
    std::mutex mutex_;
    std::vector<Entry> entries_;
};

} // namespace

std::shared_ptr<const ChirpFilter> KeptFilter(std::int64_t n, std::int64_t bins, bool inverse)
{
    return NeverDestroyed<KeptFilters>().Get(n, bins, inverse);
}

void ForgetKeptFilters()
{
    NeverDestroyed<KeptFilters>().Clear();
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
