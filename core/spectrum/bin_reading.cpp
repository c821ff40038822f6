// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/spectrum/bin_reading.h"

#include "core/platform/memory_pages.h"
#include "core/spectrum/spectrum.h"
#include "core/spectrum/work_sharing.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace spectrum_internal {

namespace {

// Harmonic k's coefficients and modulus within MaxResultMagnitude.
bool Usable(const AnalysisState &state, std::int64_t k)
{
    return UsableResult(state.CosCoefficients[k]) & UsableResult(state.SinCoefficients[k])
        & UsableResult(state.Magnitudes[k]);
}

// The literal loops' modulus of coefficients a and b, ModulusOf(a, b) = sqrt(b^2 + a^2), grows with
// |a| and with |b|; so the moduli of the ends of the intervals that hold the literal coefficients
// bound the literal modulus from below and above, underflow and rounding included. `modulus` is
// ModulusOf(a, b).
ModulusRange ModulusWithin(double a, double b, double modulus, double error)
{
    // Away from underflow and overflow the squares are normal numbers: the triangle inequality
    // gives the range at once, sqrt(2) times the error either side, with room for the roundings
    // of the modulus here and in the literal loops (3 u each).
    if (modulus >= 0x1p-500 && modulus <= 0x1p500) {
        const double reach = 1.4142135623730951 * error * (1 + 8 * Unit);
        return {std::max(0.0, (modulus * (1 - 8 * Unit) - reach) * (1 - 8 * Unit)),
                (modulus * (1 + 8 * Unit) + reach) * (1 + 8 * Unit)};
    }
    const auto below = [&](double x) {
        const double d = std::abs(x) - error;
        return d <= 0 ? 0.0 : std::nextafter(d, 0.0);
    };
    const auto above = [&](double x) {
        return std::nextafter(std::abs(x) + error, std::numeric_limits<double>::infinity());
    };
    return {ModulusOf(below(a), below(b)), ModulusOf(above(a), above(b))};
}

// Harmonic N reads bin 0, the samples' sum, and where every sample has the amplitude's sign its
// modulus is the largest of the spectrum: it would be summed again on every analysis with H >= N.
// Its literal CosSum needs no cosines where this holds:
// - its angle ((2N PI) i) / N lies at most delta = AngleDrift i from 2 pi i, a multiple of 2 pi;
// - while delta <= 5.2e-9 at the last non-zero sample, the cosine lies within delta^2 / 2 <
//   2^-56 of 1, an eighth of the gap 2^-53 below 1, and the C library's cos, which errs by at
//   most 0.51 ulp there (glibc's account of its own sin and cos), returns 1 to the bit: each
//   product cos * s(i) is s(i), and CosSum is the samples' sum in index order;
// - 2N within the 32-bit range, as the literal loops form the factor 2k there.
// Its SinSum stays unknown: the modulus is exact only where that cannot change it
// (ModulusIgnoresSine).
bool CosinesOfHarmonicNAreOne(std::int64_t n, std::int64_t lastTerm)
{
    const double delta = AngleDrift * static_cast<double>(lastTerm);
    return n >= 1 && n <= std::numeric_limits<std::int32_t>::max() / 2 && lastTerm >= 0
        && delta <= 5.2e-9;
}

// Whether sqrt(b^2 + a^2), as the literal loops form it, is the same for every |b| <= `sine`:
// where (1 + 2u) b^2 stays below half an ulp of a^2 (at least 2^-54 a^2 for a normal square),
// the sum rounds to a^2 whatever b is.
bool ModulusIgnoresSine(double a, double sine)
{
    const double magnitude = std::abs(a);
    return magnitude >= 0x1p-500 && magnitude <= 0x1p500
        && sine <= magnitude * 0x1p-27 * (1 - 8 * Unit);
}

} // namespace

BinReading::BinReading(AnalysisState &state, const std::complex<double> *bins,
                       const TransformRounding &rounding, const SampleMeasures &measures,
                       double sampleSum, std::int64_t lastTerm,
                       const std::vector<std::int64_t> &exact)
    : state_(state), bins_(bins), sampleSum_(sampleSum), exact_(exact), n_(state.SampleCount),
      hmax_(RoundToCount(state.HarmonicCount)), scale_(2 / static_cast<double>(n_)),
      bound_(ErrorLine::Of(measures, rounding)),
      cosinesAreOne_(CosinesOfHarmonicNAreOne(n_, lastTerm)),
      cosines_(state.CosCoefficients.data()), sines_(state.SinCoefficients.data()),
      moduli_(state.Magnitudes.data()),
      blocks_(static_cast<std::size_t>((hmax_ + Chunk - 1) / Chunk))
{ }

bool BinReading::Read(unsigned threads, TaskControl *control)
{
    return ForEachItem(static_cast<std::int64_t>(blocks_.size()), threads, control,
                       [&](std::int64_t index) {
                           ReadBlock(index, control);
                           return true;
                       });
}

bool BinReading::ReachingTheFloor(TaskControl *control, std::vector<std::int64_t> &again) const
{
    double floor = 0;
    for (const Block &block : blocks_)
        floor = std::max(floor, block.low);
    // A literal modulus beyond the results' range, the largest one among them: the analysis is
    // refused whatever the others hold (the modulus written, at least the floor, fails the check
    // of the results), so none is summed again. With amplitudes near 1e154 the squares overflow
    // and nearly every range reaches up to infinity: they would all be summed again, for minutes.
    if (!UsableResult(floor))
        return true;
    for (std::size_t index = 0; index < blocks_.size(); ++index) {
        const Block &block = blocks_[index];
        if (block.high < floor)
            continue; // no harmonic of the block reaches it
        if (control && control->Cancelled())
            return false;
        if (block.tooMany) {
            CheckBlockAgain(static_cast<std::int64_t>(index), floor, again);
            continue;
        }
        for (const Candidate &candidate : block.candidates)
            if (candidate.high >= floor)
                again.push_back(candidate.k);
    }
    return true;
}

// A block that had too many candidates: each of its harmonics' ranges worked out again.
void BinReading::CheckBlockAgain(std::int64_t index, double floor,
                                 std::vector<std::int64_t> &again) const
{
    const auto [from, to] = Harmonics(index);
    for (std::int64_t k = from; k <= to; ++k) {
        if (IsExact(k))
            continue;
        const ModulusRange range = RangeOf(state_.CosCoefficients[k], state_.SinCoefficients[k],
                                           state_.Magnitudes[k], k, k % n_);
        if (range.high >= floor && range.low != range.high)
            again.push_back(k);
    }
}

ResultsFound BinReading::Found(bool samplesUsable, const std::vector<std::int64_t> &again) const
{
    bool usable = samplesUsable;
    double peak = 0;
    for (const Block &block : blocks_) {
        usable = usable && block.usable;
        peak = std::max(peak, block.exactLargest);
    }
    for (const std::vector<std::int64_t> *list : {&exact_, &again})
        for (const std::int64_t k : *list) {
            usable = usable && Usable(state_, k);
            peak = std::max(peak, state_.Magnitudes[k]);
        }
    return {usable, peak};
}

inline std::pair<std::int64_t, std::int64_t> BinReading::Harmonics(std::int64_t index) const
{
    return {std::max<std::int64_t>(1, index * Chunk), std::min(hmax_, index * Chunk + Chunk - 1)};
}

inline bool BinReading::IsExact(std::int64_t k) const
{
    return k <= exact_.back() && std::binary_search(exact_.begin(), exact_.end(), k);
}

// The sums' bound times 2 / N, with room for the rounding of that product (relative u, in the
// literal loops and here alike).
inline double BinReading::ErrorOf(std::int64_t k) const
{
    return scale_ * (bound_.fixed + bound_.perHarmonic * static_cast<double>(k)) * (1 + 8 * Unit);
}

// Harmonic k's range, read from bin m. Harmonic N (bin 0): the cosine sum is the samples' sum
// where its cosines are 1, and the modulus exact where the sine cannot change it.
inline ModulusRange BinReading::RangeOf(double a, double b, double modulus, std::int64_t k,
                                        std::int64_t m) const
{
    if (m == 0 && cosinesAreOne_ && ModulusIgnoresSine(a, std::abs(b) + ErrorOf(k)))
        return {modulus, modulus};
    return ModulusWithin(a, b, modulus, ErrorOf(k));
}

// Harmonic k from bin m: its coefficients and modulus written, its range taken into the block's
// findings, and the harmonic kept as a candidate where it may reach the floor.
inline void BinReading::ReadHarmonic(std::int64_t k, std::int64_t m, Block &block, Findings &found)
{
    const SumPair sums = BinSums(bins_, n_, m);
    const double a = scale_ * (m == 0 && cosinesAreOne_ ? sampleSum_ : sums.cos);
    const double b = scale_ * sums.sin;
    const double modulus = ModulusOf(a, b);
    cosines_[k] = a;
    sines_[k] = b;
    moduli_[k] = modulus;
    ++found.done;
    found.usable = found.usable & UsableResult(a) & UsableResult(b) & UsableResult(modulus);
    const ModulusRange range = RangeOf(a, b, modulus, k, m);
    found.low = std::max(found.low, range.low);
    found.high = std::max(found.high, range.high);
    if (range.low == range.high) {
        found.exactLargest = std::max(found.exactLargest, range.low);
    } else if (range.high >= found.low && !block.tooMany) {
        block.tooMany = block.candidates.size() == MaxCandidates;
        if (block.tooMany)
            block.candidates = {};
        else
            block.candidates.push_back({k, range.high});
    }
}

void BinReading::ReadBlock(std::int64_t index, TaskControl *control)
{
    Block &block = blocks_[static_cast<std::size_t>(index)];
    Findings found; // stored at the block's end
    const auto [from, to] = Harmonics(index);
    for (double *array : {cosines_, sines_, moduli_})
        MapForWriting(array + from, array + to + 1);
    // The bin, k mod N, follows k without a division for each.
    for (std::int64_t k = from, m = from % n_; k <= to; ++k, m = m + 1 == n_ ? 0 : m + 1) {
        if (IsExact(k)) {
            found.low = std::max(found.low, moduli_[k]);
            found.high = std::max(found.high, moduli_[k]);
            continue;
        }
        ReadHarmonic(k, m, block, found);
    }
    block.low = found.low;
    block.high = found.high;
    block.exactLargest = found.exactLargest;
    block.usable = found.usable;
    if (control)
        control->AddDone(found.done);
}

} // namespace spectrum_internal
