// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The transform path's reading of its bins: every harmonic not summed from the start, with the
// range that holds its literal modulus, and the harmonics that may hold the largest one. Internal
// to the spectrum room.
#pragma once

#include "core/spectrum/fft/real_transform.h"
#include "core/spectrum/paths_shared.h"
#include "core/spectrum/spectrum_error_bound.h"
#include "core/state/analysis_state.h"

#include <complex>
#include <cstdint>
#include <utility>
#include <vector>

class TaskControl;

namespace spectrum_internal {

// Harmonic k's sums as the transform gives them, from bin m = k mod N: the bins hold
// sum of s(i) * exp(-2 pi i j k / N), so CosSum = Re and SinSum = -Im; above N / 2 the bins are
// mirrored, bin N - m being the conjugate of bin m.
struct SumPair
{
    double cos;
    double sin;
};

inline SumPair BinSums(const std::complex<double> *bins, std::int64_t n, std::int64_t m)
{
    if (2 * m <= n)
        return {bins[m].real(), -bins[m].imag()};
    return {bins[n - m].real(), bins[n - m].imag()};
}

// The range that holds a literal modulus.
struct ModulusRange
{
    double low;
    double high;
};

// Per block of harmonics it keeps the largest lower end of their moduli (the literal loops'
// largest modulus is at least the largest of these, the floor) and the largest upper end; and,
// while they are few, the harmonics whose upper end reached the largest lower end met so far in
// the block, with those upper ends: only they can reach the floor. A harmonic whose range is a
// single value has the literal loops' modulus already.
class BinReading
{
public:
    // `exact`: the harmonics summed from the start, sorted, harmonic 1 among them.
    // `rounding`: the transform's own error bound, which the reading's bound is made with, and
    // the samples' measures. `sampleSum`: the samples' sum in index order; `lastTerm`: the index
    // of the last non-zero sample.
    BinReading(AnalysisState &state, const std::complex<double> *bins,
               const TransformRounding &rounding, const SampleMeasures &measures, double sampleSum,
               std::int64_t lastTerm, const std::vector<std::int64_t> &exact);

    // Reads every bin on `threads` threads, counting the harmonics done; false when cancelled.
    bool Read(unsigned threads, TaskControl *control);

    // The harmonics whose range reaches the floor, to be summed again; false when cancelled.
    bool ReachingTheFloor(TaskControl *control, std::vector<std::int64_t> &again) const;

    // Once `again` is summed again: every value within range, and the largest modulus. Every
    // harmonic whose range reaches the floor now holds the literal loops' modulus, being exact
    // from the start, summed again or exact from the bins; every other one lies below the floor,
    // which one of those reaches. A value read out of range may have been summed again into it:
    // then the arrays are looked at again whole (not found).
    ResultsFound Found(bool samplesUsable, const std::vector<std::int64_t> &again) const;

private:
    struct Candidate
    {
        std::int64_t k;
        double high;
    };
    struct Block
    {
        double low = 0;
        double high = 0;
        std::vector<Candidate> candidates;
        bool tooMany = false; // the block is looked at again whole
        bool usable = true; // every coefficient and modulus read within MaxResultMagnitude
        double exactLargest = 0; // the largest modulus whose range is a single value
    };
    // What a block has found so far, kept in registers while it is read.
    struct Findings
    {
        double low = 0;
        double high = 0;
        double exactLargest = 0;
        bool usable = true;
        std::int64_t done = 0;
    };
    static constexpr std::size_t MaxCandidates = 256;

    std::pair<std::int64_t, std::int64_t> Harmonics(std::int64_t index) const;
    bool IsExact(std::int64_t k) const;
    double ErrorOf(std::int64_t k) const;
    ModulusRange RangeOf(double a, double b, double modulus, std::int64_t k, std::int64_t m) const;
    void ReadBlock(std::int64_t index, TaskControl *control);
    void ReadHarmonic(std::int64_t k, std::int64_t m, Block &block, Findings &found);
    void CheckBlockAgain(std::int64_t index, double floor, std::vector<std::int64_t> &again) const;

    AnalysisState &state_;
    const std::complex<double> *bins_;
    double sampleSum_;
    const std::vector<std::int64_t> &exact_;
    std::int64_t n_;
    std::int64_t hmax_;
    double scale_;
    ErrorLine bound_;
    bool cosinesAreOne_;
    double *cosines_;
    double *sines_;
    double *moduli_;
    std::vector<Block> blocks_;
};

} // namespace spectrum_internal
