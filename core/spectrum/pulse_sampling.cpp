// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/spectrum/pulse_sampling.h"

#include "core/platform/memory_pages.h"
#include "core/spectrum/paths_shared.h"
#include "core/spectrum/pulse_shapes.h"
#include "core/spectrum/spectrum.h"
#include "core/spectrum/spectrum_error_bound.h"
#include "core/spectrum/work_sharing.h"

#include <algorithm>
#include <cmath>
#include <memory>

namespace spectrum_internal {

namespace {

// Beyond this many separate runs of non-zero samples, the rest is summed as one run: a zero term
// changes no bit of a sum that starts at +0, so skipping zeros is only a saving.
constexpr std::size_t MaxRuns = 4096;

// Whether harmonic k's angle in the literal loops, (2k PI i) / N, is the sampling angle
// (i PI) / (N D) to the bit for every i: so where 2k is a power of two and N D is N / (2k), as at
// D = 0.5 (the half-wave rectified sine, the program's own default) for harmonic 1. Both products
// and both quotients then differ by the factor 2k alone, which changes no rounding (no quotient of
// PI i by N comes near the subnormal range).
bool SamplesHarmonicAngle(std::int64_t n, double nd, std::int64_t k)
{
    if (n < 1 || k < 1 || k > (1 << 29) || (k & (k - 1)) != 0)
        return false;
    return nd * static_cast<double>(2 * k) == static_cast<double>(n);
}

// The pulse of one analysis written sample by sample: s(0) .. s(last) on the threads, then the
// clearing of those at or past `first`, as the literal loops overwrite them.
class PulseSampler
{
public:
    PulseSampler(AnalysisState &state, unsigned threads, TaskControl *control, double *copy)
        : s_(state.Samples), n_(state.SampleCount), v_(state.Amplitude),
          nd_(static_cast<double>(n_) * state.DutyCycle), last_(RoundToCount(nd_)),
          first_(RoundToCount(nd_ + 1)), joined_(nd_ == static_cast<double>(n_)),
          pulse_(MathOf(state.Shape).sample), fromSine_(MathOf(state.Shape).fromSine),
          threads_(threads), control_(control), copy_(copy)
    { }

    double Nd() const { return nd_; }
    // The samples alone, each from its shape's formula.
    bool SampleAlone();
    // The samples with `along`'s sums, from the sampling's own sines and cosines.
    bool SampleSummingAlong(SummedAlong &along);
    // The arrays come zeroed: only pulse samples at or past `first` need clearing.
    void ClearAfterThePulse();

private:
    // In rounds: the sines, cosines and samples on every thread, and the products added in index
    // order, as the literal loops add them, one round behind: while one thread adds the last
    // round's, the others compute the next one into the other pair of buffers.
    static constexpr std::int64_t Round = 1 << 17;
    static constexpr std::int64_t Piece = 1 << 13;

    // Sample i from its value for a peak of 1 (for the half-sine, its sine); and what `copy`
    // holds of it, written beside it: 0 where the clearing will zero it.
    void Write(std::int64_t i, double unit)
    {
        s_[i] = v_ * unit;
        if (copy_ && i < n_)
            copy_[i] = i < first_ ? s_[i] : 0;
    }
    bool SampleRound(std::int64_t begin, int set, SummedAlong &along);
    void SamplePiece(std::int64_t begin, std::int64_t piece, std::int64_t count, int set);
    void AddRound(SummedAlong &along, int set, std::int64_t begin) const;

    RealArray &s_;
    const std::int64_t n_;
    const double v_;
    const double nd_;
    const std::int64_t last_;
    const std::int64_t first_;
    const bool joined_; // the pulse fills the period
    const UnitSample pulse_;
    const SampleFromSine fromSine_; // null where the shape is not made of the angle's sine
    const unsigned threads_;
    TaskControl *const control_;
    double *const copy_;
    std::unique_ptr<double[]> sines_[2];
    std::unique_ptr<double[]> cosines_[2];
};

bool PulseSampler::SampleAlone()
{
    const std::int64_t chunks = (last_ + 1 + Chunk - 1) / Chunk;
    return ForEachItem(chunks, threads_, control_, [&](std::int64_t chunk) {
        const std::int64_t end = std::min(last_, chunk * Chunk + Chunk - 1);
        MapForWriting(&s_[chunk * Chunk], &s_[end] + 1);
        for (std::int64_t i = chunk * Chunk; i <= end; ++i)
            Write(i, pulse_(i, nd_, joined_));
        return true;
    });
}

bool PulseSampler::SampleSummingAlong(SummedAlong &along)
{
    const auto buffer = static_cast<std::size_t>(std::clamp<std::int64_t>(last_ + 1, 0, Round));
    for (int set = 0; set < 2; ++set) {
        sines_[set] = std::make_unique_for_overwrite<double[]>(buffer);
        cosines_[set] = std::make_unique_for_overwrite<double[]>(buffer);
    }
    int set = 0;
    for (std::int64_t begin = 0; begin <= last_; begin += Round, set = 1 - set)
        if (!SampleRound(begin, set, along))
            return false;
    if (last_ >= 0)
        AddRound(along, 1 - set, (last_ / Round) * Round);
    return true;
}

// One round into buffer set `set`, the last round's products added meanwhile as item 0.
bool PulseSampler::SampleRound(std::int64_t begin, int set, SummedAlong &along)
{
    const std::int64_t count = std::min(last_ + 1 - begin, Round);
    const std::int64_t pending = begin > 0 ? 1 : 0;
    return ForEachItem((count + Piece - 1) / Piece + pending, threads_, control_,
                       [&](std::int64_t item) {
                           if (item < pending)
                               AddRound(along, 1 - set, begin - Round);
                           else
                               SamplePiece(begin, item - pending, count, set);
                           return true;
                       });
}

void PulseSampler::SamplePiece(std::int64_t begin, std::int64_t piece, std::int64_t count, int set)
{
    double *sine = sines_[set].get(), *cosine = cosines_[set].get();
    const std::int64_t end = std::min(count, piece * Piece + Piece);
    MapForWriting(&s_[begin + piece * Piece], &s_[begin + end]);
    for (std::int64_t j = piece * Piece; j < end; ++j) {
        const std::int64_t i = begin + j;
        sincos((static_cast<double>(i) * PI) / nd_, &sine[j], &cosine[j]);
        Write(i, fromSine_ ? fromSine_(i, nd_, sine[j]) : pulse_(i, nd_, joined_));
    }
}

// The round from `begin`'s products, added in index order. The samples the clearing will zero
// (from `first` on) and those past the pulse add +0 products: nothing.
void PulseSampler::AddRound(SummedAlong &along, int set, std::int64_t begin) const
{
    const std::int64_t summed = std::min({last_, first_ - 1, n_ - 1});
    double cosSum = along.cosSum, sinSum = along.sinSum;
    const double *sine = sines_[set].get(), *cosine = cosines_[set].get();
    for (std::int64_t j = 0; j < std::min(Round, summed + 1 - begin); ++j) {
        cosSum = cosine[j] * s_[begin + j] + cosSum;
        sinSum = sine[j] * s_[begin + j] + sinSum;
    }
    along.cosSum = cosSum;
    along.sinSum = sinSum;
}

void PulseSampler::ClearAfterThePulse()
{
    for (std::int64_t i = first_; i <= std::min(last_, n_ - 1); ++i)
        s_[i] = 0;
    s_[n_] = 0;
}

} // namespace

SummedAlong ChooseSummedAlong(const AnalysisState &state, const std::vector<std::int64_t> &exact)
{
    const double nd = static_cast<double>(state.SampleCount) * state.DutyCycle;
    for (const std::int64_t k : exact)
        if (SamplesHarmonicAngle(state.SampleCount, nd, k))
            return {k};
    return {};
}

bool SamplePulse(AnalysisState &state, unsigned threads, TaskControl *control, SummedAlong *along,
                 double *copy)
{
    PulseSampler sampler(state, threads, control, copy);
    if (along && !SamplesHarmonicAngle(state.SampleCount, sampler.Nd(), along->k))
        along->k = 0;
    const bool sampled
        = along && along->k != 0 ? sampler.SampleSummingAlong(*along) : sampler.SampleAlone();
    if (!sampled)
        return false;
    sampler.ClearAfterThePulse();
    return true;
}

namespace {

// Sample i, non-zero, joined to the last run where it follows it, else a run of its own while
// there are fewer than MaxRuns.
void AddToRuns(std::vector<SampleRun> &runs, std::int64_t i)
{
    if (!runs.empty() && runs.back().end == i)
        runs.back().end = i + 1;
    else if (runs.size() < MaxRuns)
        runs.push_back({i, i + 1});
    else
        runs.back().end = i + 1;
}

} // namespace

bool Survey(AnalysisState &state, TaskControl *control, std::vector<SampleRun> &runs,
            double *sampleSum, bool *usable)
{
    const std::int64_t n = state.SampleCount;
    const auto &s = state.Samples;
    const std::int64_t last = RoundToCount(static_cast<double>(n) * state.DutyCycle);
    // Peak, mean and runs in one pass; the mean adds in index order. Past the pulse every sample
    // is 0, which changes neither the peak (from s(0) on it is +0 or more) nor the sum.
    const std::int64_t end = std::min(last, n);
    state.SignalPeak = s[0];
    double sum = 0;
    bool within = true; // every sample within MaxResultMagnitude; those past `end` are 0
    for (std::int64_t chunk = 0; chunk <= end; chunk += Chunk) {
        if (control && control->Cancelled())
            return false;
        for (std::int64_t i = chunk; i <= std::min(end, chunk + Chunk - 1); ++i) {
            if (std::abs(s[i]) >= state.SignalPeak)
                state.SignalPeak = std::abs(s[i]);
            within = within && UsableResult(s[i]);
            if (s[i] == 0 || i == n)
                continue;
            sum = sum + s[i];
            AddToRuns(runs, i);
        }
    }
    state.MeanValue = sum / static_cast<double>(n);
    if (usable)
        *usable = within;
    if (sampleSum)
        *sampleSum = sum;
    return true;
}

bool Sample(AnalysisState &state, unsigned threads, TaskControl *control,
            std::vector<SampleRun> &runs, SummedAlong *along)
{
    return SamplePulse(state, threads, control, along) && Survey(state, control, runs);
}

} // namespace spectrum_internal
