// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/spectrum/spectrum_paths.h"

#include "core/platform/memory_pages.h"
#include "core/spectrum/fft/real_transform.h"
#include "core/spectrum/fft/transform_thread.h"
#include "core/spectrum/spectrum.h"
#include "core/state/work_stage.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <limits>
#include <memory>
#include <system_error>
#include <thread>
#include <vector>

namespace {

// Samples between two looks at the cancel flag: a millisecond or two of work.
constexpr std::int64_t Chunk = 1 << 16;
// Beyond this many separate runs of non-zero samples, the rest is summed as one run: a zero term
// changes no bit of a sum that starts at +0, so skipping zeros is only a saving.
constexpr std::size_t MaxRuns = 4096;
// The widest kernel's lanes.
constexpr int MaxLanes = 8;
// A modulus this close to the largest, relative to it, is summed again with the exact kernel: a
// vector kernel's moduli lie within 1e-15 of the largest of the exact ones, so the harmonic whose
// exact modulus is the largest is always among these.
constexpr double NearLargest = 1e-12;

// Harmonic k's coefficients and modulus within MaxResultMagnitude.
bool Usable(const AnalysisState &state, std::int64_t k)
{
    return UsableResult(state.CosCoefficients[k]) & UsableResult(state.SinCoefficients[k])
        & UsableResult(state.Magnitudes[k]);
}

struct Run
{
    std::int64_t begin;
    std::int64_t end;
};

// Runs work on the caller's thread and up to threads - 1 others. Where the system gives fewer
// threads, fewer do the same work with the same results.
template<typename Work> void RunOnThreads(unsigned threads, const Work &work)
{
    std::vector<std::thread> helpers;
    for (unsigned t = 1; t < threads; ++t) {
        try {
            helpers.emplace_back(work);
        } catch (const std::system_error &) {
            break;
        }
    }
    work();
    for (auto &helper : helpers)
        helper.join();
}

// Runs body(item) for items 0 .. count - 1 spread over the threads, stopping at a cancel or at
// the first body that returns false; false then.
template<typename Body>
bool ForEachItem(std::int64_t count, unsigned threads, TaskControl *control, Body body)
{
    std::atomic<std::int64_t> next {0};
    std::atomic<bool> stopped {false};
    const auto work = [&] {
        for (std::int64_t item; (item = next.fetch_add(1)) < count;) {
            if (stopped || (control && control->Cancelled()) || !body(item)) {
                stopped = true;
                return;
            }
        }
    };
    RunOnThreads(static_cast<unsigned>(std::clamp<std::int64_t>(count, 1, threads)), work);
    return !stopped && !(control && control->Cancelled());
}

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

// A harmonic summed exactly while the samples are computed, where SamplesHarmonicAngle holds: the
// sampling's sincos gives its sines and cosines for the price of the sines alone.
struct SummedAlong
{
    std::int64_t k = 0; // none when 0
    double cosSum = 0;
    double sinSum = 0;
};

// The samples, as ComputeSpectrum writes them; and `along`'s sums where its k is set. Where
// `copy` is given, the samples 0 .. N - 1 go there too, written as the pulse is computed; the
// rest of `copy`, past the pulse, is left to the caller. False when cancelled.
bool SamplePulse(AnalysisState &state, unsigned threads, TaskControl *control,
                 SummedAlong *along = nullptr, double *copy = nullptr)
{
    const std::int64_t n = state.SampleCount;
    const double d = state.DutyCycle;
    const double v = state.Amplitude;
    auto &s = state.Samples;

    // The pulse, then the clearing after it.
    const double nd = static_cast<double>(n) * d;
    const std::int64_t last = RoundToCount(nd);
    const std::int64_t first = RoundToCount(nd + 1);
    // What `copy` holds of sample i, written beside it: 0 where the clearing will zero it.
    const auto copied = [&](std::int64_t i) {
        if (copy && i < n)
            copy[i] = i < first ? s[i] : 0;
    };
    if (along && !SamplesHarmonicAngle(n, nd, along->k))
        along->k = 0;
    if (along && along->k != 0) {
        // In rounds: the sines, cosines and samples on every thread, and the products added in
        // index order, as the literal loops add them, one round behind: while one thread adds
        // the last round's, the others compute the next one into the other pair of buffers. The
        // samples the clearing will zero (from `first` on) and those past the pulse add +0
        // products: nothing.
        constexpr std::int64_t Round = 1 << 17;
        constexpr std::int64_t Piece = 1 << 13;
        const std::int64_t summed = std::min({last, first - 1, n - 1});
        const auto buffer = static_cast<std::size_t>(std::clamp<std::int64_t>(last + 1, 0, Round));
        const std::unique_ptr<double[]> sines[2]
            = {std::make_unique_for_overwrite<double[]>(buffer),
               std::make_unique_for_overwrite<double[]>(buffer)};
        const std::unique_ptr<double[]> cosines[2]
            = {std::make_unique_for_overwrite<double[]>(buffer),
               std::make_unique_for_overwrite<double[]>(buffer)};
        const auto add = [&](int set, std::int64_t begin) {
            double cosSum = along->cosSum, sinSum = along->sinSum;
            const double *sine = sines[set].get(), *cosine = cosines[set].get();
            for (std::int64_t j = 0; j < std::min(Round, summed + 1 - begin); ++j) {
                cosSum = cosine[j] * s[begin + j] + cosSum;
                sinSum = sine[j] * s[begin + j] + sinSum;
            }
            along->cosSum = cosSum;
            along->sinSum = sinSum;
        };
        int set = 0;
        for (std::int64_t begin = 0; begin <= last; begin += Round, set = 1 - set) {
            const std::int64_t count = std::min(last + 1 - begin, Round);
            const std::int64_t pending = begin > 0 ? 1 : 0; // the last round's sums, item 0
            double *sine = sines[set].get(), *cosine = cosines[set].get();
            const bool sampled = ForEachItem(
                (count + Piece - 1) / Piece + pending, threads, control, [&](std::int64_t item) {
                    if (item < pending) {
                        add(1 - set, begin - Round);
                        return true;
                    }
                    const std::int64_t piece = item - pending;
                    const std::int64_t end = std::min(count, piece * Piece + Piece);
                    MapForWriting(&s[begin + piece * Piece], &s[begin + end]);
                    for (std::int64_t j = piece * Piece; j < end; ++j) {
                        sincos((static_cast<double>(begin + j) * PI) / nd, &sine[j], &cosine[j]);
                        s[begin + j] = v * sine[j];
                        copied(begin + j);
                    }
                    return true;
                });
            if (!sampled)
                return false;
        }
        if (last >= 0)
            add(1 - set, (last / Round) * Round);
    } else {
        const std::int64_t chunks = (last + 1 + Chunk - 1) / Chunk;
        const bool sampled = ForEachItem(chunks, threads, control, [&](std::int64_t chunk) {
            const std::int64_t end = std::min(last, chunk * Chunk + Chunk - 1);
            MapForWriting(&s[chunk * Chunk], &s[end] + 1);
            for (std::int64_t i = chunk * Chunk; i <= end; ++i) {
                s[i] = v * std::sin((static_cast<double>(i) * PI) / nd);
                copied(i);
            }
            return true;
        });
        if (!sampled)
            return false;
    }
    // The arrays come zeroed: only pulse samples at or past `first` need clearing.
    for (std::int64_t i = first; i <= std::min(last, n - 1); ++i)
        s[i] = 0;
    s[n] = 0;
    return true;
}

// SignalPeak, MeanValue and the runs of non-zero samples, from the samples, and where asked the
// measures of the samples for the transform's error bound; false when cancelled.
bool Survey(AnalysisState &state, TaskControl *control, std::vector<Run> &runs,
            SampleMeasures *measures = nullptr, bool *usable = nullptr)
{
    const std::int64_t n = state.SampleCount;
    const auto &s = state.Samples;
    const std::int64_t last = RoundToCount(static_cast<double>(n) * state.DutyCycle);
    // Peak, mean and runs in one pass; the mean adds in index order. Past the pulse every sample
    // is 0, which changes neither the peak (from s(0) on it is +0 or more) nor the sum.
    const std::int64_t end = std::min(last, n);
    state.SignalPeak = s[0];
    double sum = 0;
    // The measures: A = sum |s(i)|, A1 = sum |s(i)| i / N and the norm, whose squares are taken
    // scaled by a power of two near 1 / V (exact), so that they neither overflow nor all
    // underflow. Their own roundings (1 / N as a factor, sums in any order) are within the
    // bound's margin.
    const double dn = static_cast<double>(n);
    const double perIndex = 1 / dn;
    const double scale = std::ldexp(1.0, -std::clamp(std::ilogb(state.Amplitude), -1000, 1000));
    double absSum = 0, weightedAbsSum = 0, squares = 0;
    std::int64_t terms = 0;
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
            if (measures) {
                const double magnitude = std::abs(s[i]);
                absSum += magnitude;
                weightedAbsSum += magnitude * (static_cast<double>(i) * perIndex);
                squares += (magnitude * scale) * (magnitude * scale);
                ++terms;
            }
            if (!runs.empty() && runs.back().end == i)
                runs.back().end = i + 1;
            else if (runs.size() < MaxRuns)
                runs.push_back({i, i + 1});
            else
                runs.back().end = i + 1;
        }
    }
    state.MeanValue = sum / static_cast<double>(n);
    if (usable)
        *usable = within;
    if (measures) {
        measures->n = n;
        measures->terms = terms;
        measures->absSum = absSum;
        measures->weightedAbsSum = weightedAbsSum;
        measures->norm = std::sqrt(squares) / scale;
        measures->sum = sum;
        measures->lastTerm = runs.empty() ? -1 : runs.back().end - 1;
    }
    return true;
}

bool Sample(AnalysisState &state, unsigned threads, TaskControl *control, std::vector<Run> &runs,
            SummedAlong *along = nullptr)
{
    return SamplePulse(state, threads, control, along) && Survey(state, control, runs);
}

// Harmonic k's coefficients from its sums, as the literal loops form them; the last harmonic's
// sums stay in CosSum and SinSum.
void StoreSums(AnalysisState &state, std::int64_t k, double cosSum, double sinSum)
{
    const double dn = static_cast<double>(state.SampleCount);
    state.CosCoefficients[k] = (2 / dn) * cosSum;
    state.SinCoefficients[k] = (2 / dn) * sinSum;
    if (k == RoundToCount(state.HarmonicCount)) {
        state.CosSum = cosSum;
        state.SinSum = sinSum;
    }
}

// The first of `exact` (sorted) whose sums can be formed while sampling.
SummedAlong ChooseSummedAlong(const AnalysisState &state, const std::vector<std::int64_t> &exact)
{
    const double nd = static_cast<double>(state.SampleCount) * state.DutyCycle;
    for (const std::int64_t k : exact)
        if (SamplesHarmonicAngle(state.SampleCount, nd, k))
            return {k};
    return {};
}

// Up to one kernel's lanes of harmonics, summed side by side.
struct Group
{
    const SpectrumKernel *kernel;
    std::int64_t harmonics[MaxLanes];
    int count;
};

// Sums a group's harmonics over the runs and stores their coefficients, counting them done when
// `counted`; false when cancelled.
bool SumGroup(AnalysisState &state, const std::vector<Run> &runs, const Group &group,
              TaskControl *control, bool counted = true)
{
    const std::int64_t n = state.SampleCount;
    double twoKPi[MaxLanes];
    double cosSums[MaxLanes] = {};
    double sinSums[MaxLanes] = {};
    // Lanes beyond the group's harmonics repeat its first one; their sums are not used.
    for (int l = 0; l < group.kernel->lanes; ++l) {
        const std::int64_t k = group.harmonics[l < group.count ? l : 0];
        twoKPi[l] = static_cast<double>(static_cast<std::int32_t>(2 * k)) * PI;
    }
    for (const Run &run : runs) {
        for (std::int64_t begin = run.begin; begin < run.end; begin += Chunk) {
            group.kernel->sums(twoKPi, static_cast<double>(n), state.Samples.data(), begin,
                               std::min(run.end, begin + Chunk), cosSums, sinSums);
            if (control && control->Cancelled())
                return false;
        }
    }
    for (int l = 0; l < group.count; ++l)
        StoreSums(state, group.harmonics[l], cosSums[l], sinSums[l]);
    if (control && counted)
        control->AddDone(group.count);
    return true;
}

// One harmonic's exact sums on several threads, with the literal loops' bits: the products
// cos(angle) * s(i) and sin(angle) * s(i) are formed apart, a round of samples at a time, on every
// thread, and then added in index order here. False when cancelled.
bool SumHarmonicOnThreads(AnalysisState &state, const std::vector<Run> &runs, std::int64_t k,
                          unsigned threads, TaskControl *control)
{
    constexpr std::int64_t Round = 1 << 18;
    constexpr std::int64_t Piece = 1 << 14;
    const double dn = static_cast<double>(state.SampleCount);
    const double twoKPi = static_cast<double>(static_cast<std::int32_t>(2 * k)) * PI;
    const double *samples = state.Samples.data();
    std::int64_t longest = 0;
    for (const Run &run : runs)
        longest = std::max(longest, std::min(run.end - run.begin, Round));
    // Not zeroed: every product is written before it is added.
    const std::unique_ptr<double[]> cosProducts(new double[static_cast<std::size_t>(longest)]);
    const std::unique_ptr<double[]> sinProducts(new double[static_cast<std::size_t>(longest)]);
    double cosSum = 0, sinSum = 0;
    for (const Run &run : runs)
        for (std::int64_t begin = run.begin; begin < run.end; begin += Round) {
            const std::int64_t count = std::min(run.end - begin, Round);
            const bool formed = ForEachItem(
                (count + Piece - 1) / Piece, threads, control, [&](std::int64_t piece) {
                    for (std::int64_t j = piece * Piece; j < std::min(count, piece * Piece + Piece);
                         ++j) {
                        double sine, cosine;
                        sincos(twoKPi * static_cast<double>(begin + j) / dn, &sine, &cosine);
                        cosProducts[j] = cosine * samples[begin + j];
                        sinProducts[j] = sine * samples[begin + j];
                    }
                    return true;
                });
            if (!formed)
                return false;
            for (std::int64_t j = 0; j < count; ++j) {
                cosSum = cosProducts[j] + cosSum;
                sinSum = sinProducts[j] + sinSum;
            }
        }
    StoreSums(state, k, cosSum, sinSum);
    return true;
}

// Harmonic 1, the largest of nearly every spectrum, and harmonic z, where they are among 1 to H:
// summed exactly from the start on both paths.
std::vector<std::int64_t> ExactFromTheStart(std::int64_t hmax, std::int32_t shown)
{
    std::vector<std::int64_t> exact;
    if (hmax >= 1)
        exact.push_back(1);
    if (shown > 1 && shown <= hmax)
        exact.push_back(shown);
    return exact;
}

// Stores the sums formed while sampling, counted done, and returns the harmonics of `exact` still
// to sum.
std::vector<std::int64_t> KeepSummedAlong(AnalysisState &state, const SummedAlong &along,
                                          const std::vector<std::int64_t> &exact,
                                          TaskControl *control)
{
    if (along.k != 0) {
        StoreSums(state, along.k, along.cosSum, along.sinSum);
        if (control)
            control->AddDone(1);
    }
    std::vector<std::int64_t> left;
    std::copy_if(exact.begin(), exact.end(), std::back_inserter(left),
                 [&](std::int64_t k) { return k != along.k; });
    return left;
}

// `again`'s harmonics summed once more with the literal loops' bits, and their moduli. Fewer
// harmonics than threads (most often one): each on all threads in turn; otherwise one a thread.
bool SumAgain(AnalysisState &state, const std::vector<Run> &runs,
              const std::vector<std::int64_t> &again, unsigned threads, TaskControl *control)
{
    threads = std::max(1u, threads);
    if (again.size() < threads) {
        for (const std::int64_t k : again)
            if (!SumHarmonicOnThreads(state, runs, k, threads, control))
                return false;
    } else {
        const bool summed = ForEachItem(static_cast<std::int64_t>(again.size()), threads, control,
                                        [&](std::int64_t item) {
                                            Group group {&ExactKernel(), {again[item]}, 1};
                                            return SumGroup(state, runs, group, control, false);
                                        });
        if (!summed)
            return false;
    }
    for (const std::int64_t k : again)
        ComputeMagnitude(state, k);
    return true;
}

// The samples, then harmonics 1 to H: those in `exact` (sorted, within 1 to H) one at a time with
// the exact kernel, first, as they take longest; the others `kernel.lanes` at a time.
bool Sweep(AnalysisState &state, const SpectrumKernel &kernel, unsigned threads,
           TaskControl *control, const std::vector<std::int64_t> &exact, std::vector<Run> &runs)
{
    threads = std::max(1u, threads);
    AllocateArrays(state);
    SummedAlong along = ChooseSummedAlong(state, exact);
    if (!Sample(state, threads, control, runs, &along))
        return false;
    const std::vector<std::int64_t> exactLeft = KeepSummedAlong(state, along, exact, control);

    const std::int64_t hmax = RoundToCount(state.HarmonicCount);
    const std::int64_t lanes = kernel.lanes;
    const auto exactCount = static_cast<std::int64_t>(exactLeft.size());
    const std::int64_t blocks = std::max<std::int64_t>(0, (hmax + lanes - 1) / lanes);
    // A last block of half the lanes or fewer goes to the next narrower unit of the same
    // processor, where there is one worth it: AVX2 for AVX-512 (SSE2's kernel is slower than
    // AVX2's even with lanes to spare).
    const SpectrumKernel *narrow = nullptr;
    if (lanes == 8)
        for (const SpectrumKernel &k : VectorKernels())
            if (k.lanes == 4 && k.supported()) {
                narrow = &k;
                break;
            }
    const bool summed = ForEachItem(exactCount + blocks, threads, control, [&](std::int64_t item) {
        Group group {&ExactKernel(), {}, 0};
        if (item < exactCount) {
            group.harmonics[group.count++] = exactLeft[static_cast<std::size_t>(item)];
        } else {
            // From the highest harmonics down: their large angles take SLEEF's longer reduction,
            // so the cheaper blocks come last and even out the threads' shares.
            group.kernel = &kernel;
            const std::int64_t top = hmax - (item - exactCount) * lanes;
            for (std::int64_t k = std::max<std::int64_t>(1, top - lanes + 1); k <= top; ++k)
                if (!std::binary_search(exact.begin(), exact.end(), k))
                    group.harmonics[group.count++] = k;
            if (group.count == 0)
                return true;
            if (narrow && group.count <= narrow->lanes)
                group.kernel = narrow;
        }
        return SumGroup(state, runs, group, control);
    });
    if (!summed)
        return false;
    ComputeMagnitudes(state);
    return true;
}

// The direct sums' analysis: harmonic z is exact from the start, and so is harmonic 1, the
// largest of nearly every spectrum; after the sweep every harmonic whose modulus lies within
// NearLargest of the largest is summed again exactly, on all threads.
bool DirectSumsExactWhereShown(AnalysisState &state, std::int32_t shown,
                               const SpectrumKernel &kernel, unsigned threads, TaskControl *control)
{
    const std::int64_t hmax = RoundToCount(state.HarmonicCount);
    const std::vector<std::int64_t> exact = ExactFromTheStart(hmax, shown);
    std::vector<Run> runs;
    if (!Sweep(state, kernel, threads, control, exact, runs))
        return false;
    if (runs.empty()) // every sum has no term: +0 in every kernel
        return true;

    double largest = 0;
    for (std::int64_t k = 1; k <= hmax; ++k)
        largest = std::max(largest, state.Magnitudes[k]);
    std::vector<std::int64_t> again;
    for (std::int64_t k = 1; k <= hmax; ++k)
        if (state.Magnitudes[k] >= largest - largest * NearLargest
            && !std::binary_search(exact.begin(), exact.end(), k))
            again.push_back(k);
    return SumAgain(state, runs, again, threads, control);
}

// The cost model, in the direct sums' unit: one sine-cosine pair (SLEEF on AVX-512, about 1.5 ns
// on 2 threads). The direct sums take one pair per pulse sample and harmonic, N D H. The transform
// takes TransformPairsPerPoint pairs per N log2 N and a fixed TransformOverheadPairs (its thread,
// reading the bins): it runs beside the survey of the samples, so that little of it shows. The
// sampling and the exact sums of harmonics 1 and z are the same on both paths and not counted.
// Measured on AVX-512 (docs/performance.md), the transform is the cheaper from H = 3 at N = 1e6
// and from H = 10 at N = 1e5; the rule takes it from H = 3 and H = 4. At the defaults (N = 1e4,
// D = 0.5, H = 10: 5e4 pairs against 1.1e5), where both take the same time, the direct sums keep
// their accuracy for every harmonic.
constexpr double TransformPairsPerPoint = 0.06;
constexpr double TransformOverheadPairs = 100000;

std::int64_t PulseSamples(std::int64_t n, double d)
{
    const double nd = static_cast<double>(n) * d;
    const std::optional<std::int32_t> last = TryRoundToCount(nd);
    if (!last || *last < 0)
        return 0;
    return std::min<std::int64_t>(*last, n - 1) + 1;
}

constexpr double Unit = std::numeric_limits<double>::epsilon() / 2; // u = 2^-53
constexpr double PiGap = 3.2384626433832795e-15; // pi - PI, the 15-digit value's shortfall

// Harmonic k's sum as the transform gives it, from bin m = k mod N: the bins hold
// sum of s(i) * exp(-2 pi i j k / N), so CosSum = Re and SinSum = -Im; above N / 2 the bins are
// mirrored, bin N - m being the conjugate of bin m.
struct SumPair
{
    double cos;
    double sin;
};

SumPair BinSums(const std::complex<double> *bins, std::int64_t n, std::int64_t m)
{
    if (2 * m <= n)
        return {bins[m].real(), -bins[m].imag()};
    return {bins[n - m].real(), bins[n - m].imag()};
}

// The literal loops' modulus of coefficients a and b, ModulusOf(a, b) = sqrt(b^2 + a^2), grows with
// |a| and with |b|; so the moduli of the ends of the intervals that hold the literal coefficients
// bound the literal modulus from below and above, underflow and rounding included.
struct ModulusRange
{
    double low;
    double high;
};

// `modulus` is ModulusOf(a, b).
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

// The bound of SpectrumErrorBound as a line in k, worked out once for every harmonic.
struct ErrorLine
{
    double fixed;
    double perHarmonic;
};

ErrorLine ErrorLineOf(const SampleMeasures &measures)
{
    // The literal loops' sum against the exact one with pi (every sum over the M non-zero samples
    // s(i), A = sum |s(i)|, A1 = sum |s(i)| i / N, Q = sqrt(sum s(i)^2)):
    // - the angle (2k * PI * i) / N is formed with the 15-digit PI, pi - PI = 3.24e-15, and three
    //   roundings of relative u each: it misses 2 pi k i / N by at most 2k ((pi - PI) + 3 u pi)
    //   i / N, and a sine or cosine moves no more than its angle: 2k ((pi - PI) + 3 u pi) A1,
    //   the only term that grows with k;
    // - the C library's sine and cosine, under one ulp (2u for values up to 1): 2u A;
    // - each product's rounding, u A, and below the normal range 2^-1074 each: M 2^-1074;
    // - the sum in index order, M terms: (M - 1) u A (zero samples add exactly nothing).
    // The transform against the same exact sum: FFTW's rounding grows as log2 N and is bounded in
    // the Euclidean norm over all bins, so one bin errs by no more than c u log2 N sqrt(N) Q;
    // c = 32 leaves room for the prime sizes' algorithms and for FFTW's tables of twiddles.
    // Their total, times 5/4 for the roundings of this bound itself and a margin.
    const double m = static_cast<double>(measures.terms);
    const double dn = static_cast<double>(std::max<std::int64_t>(measures.n, 1));
    const double angle = 2 * (PiGap + 3.01 * Unit * 3.1415926535897932) * measures.weightedAbsSum;
    const double library = 2 * Unit * measures.absSum;
    const double products = Unit * measures.absSum + m * std::numeric_limits<double>::denorm_min();
    const double sum = (m + 1) * Unit * measures.absSum;
    const double transform
        = 32 * Unit * (std::ceil(std::log2(dn)) + 2) * std::sqrt(dn) * measures.norm;
    return {1.25 * (library + products + sum + transform), 1.25 * angle};
}

// Harmonic N reads bin 0, the samples' sum, and where every sample has the amplitude's sign its
// modulus is the largest of the spectrum: it would be summed again on every analysis with H >= N.
// Its literal CosSum needs no cosines where this holds:
// - its angle ((2N PI) i) / N lies within three roundings (3.01 u) of 2 PI i, and that within
//   2 (pi - PI) i of 2 pi i: at most delta = 2 (PiGap + 3.01 u pi) i from a multiple of 2 pi;
// - while delta <= 5.2e-9 at the last non-zero sample, the cosine lies within delta^2 / 2 <
//   2^-56 of 1, an eighth of the gap 2^-53 below 1, and the C library's cos, which errs by at
//   most 0.51 ulp there (glibc's account of its own sin and cos), returns 1 to the bit: each
//   product cos * s(i) is s(i), and CosSum is the samples' sum in index order;
// - 2N within the 32-bit range, as the literal loops form the factor 2k there.
// Its SinSum stays unknown: the modulus is exact only where that cannot change it
// (ModulusIgnoresSine).
bool CosinesOfHarmonicNAreOne(std::int64_t n, std::int64_t lastTerm)
{
    const double delta
        = 2 * (PiGap + 3.01 * Unit * 3.1415926535897932) * static_cast<double>(lastTerm);
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

// Every harmonic not summed from the start, read from the transform's bins with the range that
// holds its literal modulus. Per block of harmonics it keeps the largest lower end of their moduli
// (the literal loops' largest modulus is at least the largest of these, the floor) and the largest
// upper end; and, while they are few, the harmonics whose upper end reached the largest lower end
// met so far in the block, with those upper ends: only they can reach the floor. A harmonic whose
// range is a single value has the literal loops' modulus already.
class BinReading
{
public:
    // `exact`: the harmonics summed from the start, sorted, harmonic 1 among them.
    BinReading(AnalysisState &state, const std::complex<double> *bins,
               const SampleMeasures &measures, const std::vector<std::int64_t> &exact)
        : state_(state), bins_(bins), measures_(measures), exact_(exact), n_(state.SampleCount),
          hmax_(RoundToCount(state.HarmonicCount)), scale_(2 / static_cast<double>(n_)),
          bound_(ErrorLineOf(measures)),
          cosinesAreOne_(CosinesOfHarmonicNAreOne(n_, measures.lastTerm)),
          blocks_(static_cast<std::size_t>((hmax_ + Chunk - 1) / Chunk))
    { }

    // Reads every bin on `threads` threads, counting the harmonics done; false when cancelled.
    bool Read(unsigned threads, TaskControl *control)
    {
        return ForEachItem(static_cast<std::int64_t>(blocks_.size()), threads, control,
                           [&](std::int64_t index) {
                               ReadBlock(index, control);
                               return true;
                           });
    }

    // The harmonics whose range reaches the floor, to be summed again; false when cancelled.
    bool ReachingTheFloor(TaskControl *control, std::vector<std::int64_t> &again) const
    {
        double floor = 0;
        for (const Block &block : blocks_)
            floor = std::max(floor, block.low);
        for (std::size_t index = 0; index < blocks_.size(); ++index) {
            const Block &block = blocks_[index];
            if (block.high < floor)
                continue; // no harmonic of the block reaches it
            if (control && control->Cancelled())
                return false;
            if (!block.tooMany) {
                for (const Candidate &candidate : block.candidates)
                    if (candidate.high >= floor)
                        again.push_back(candidate.k);
                continue;
            }
            const auto [from, to] = Harmonics(static_cast<std::int64_t>(index));
            for (std::int64_t k = from; k <= to; ++k) {
                if (IsExact(k))
                    continue;
                const ModulusRange range
                    = RangeOf(state_.CosCoefficients[k], state_.SinCoefficients[k],
                              state_.Magnitudes[k], k, k % n_);
                if (range.high >= floor && range.low != range.high)
                    again.push_back(k);
            }
        }
        return true;
    }

    // Once `again` is summed again: every value within range, and the largest modulus. Every
    // harmonic whose range reaches the floor now holds the literal loops' modulus, being exact
    // from the start, summed again or exact from the bins; every other one lies below the floor,
    // which one of those reaches. A value read out of range may have been summed again into it:
    // then the arrays are looked at again whole (not found).
    ResultsFound Found(bool samplesUsable, const std::vector<std::int64_t> &again) const
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
    static constexpr std::size_t MaxCandidates = 256;

    std::pair<std::int64_t, std::int64_t> Harmonics(std::int64_t index) const
    {
        return {std::max<std::int64_t>(1, index * Chunk),
                std::min(hmax_, index * Chunk + Chunk - 1)};
    }

    bool IsExact(std::int64_t k) const
    {
        return k <= exact_.back() && std::binary_search(exact_.begin(), exact_.end(), k);
    }

    // The sums' bound times 2 / N, with room for the rounding of that product (relative u, in the
    // literal loops and here alike).
    double ErrorOf(std::int64_t k) const
    {
        return scale_ * (bound_.fixed + bound_.perHarmonic * static_cast<double>(k))
            * (1 + 8 * Unit);
    }

    // Harmonic k's range, read from bin m. Harmonic N (bin 0): the cosine sum is the samples' sum
    // where its cosines are 1, and the modulus exact where the sine cannot change it.
    ModulusRange RangeOf(double a, double b, double modulus, std::int64_t k, std::int64_t m) const
    {
        if (m == 0 && cosinesAreOne_ && ModulusIgnoresSine(a, std::abs(b) + ErrorOf(k)))
            return {modulus, modulus};
        return ModulusWithin(a, b, modulus, ErrorOf(k));
    }

    void ReadBlock(std::int64_t index, TaskControl *control)
    {
        Block &block = blocks_[static_cast<std::size_t>(index)];
        // The block's findings in registers, stored at its end.
        double low = 0, high = 0, exactLargest = 0;
        bool usable = true;
        double *cosines = state_.CosCoefficients.data(), *sines = state_.SinCoefficients.data();
        double *moduli = state_.Magnitudes.data();
        std::int64_t done = 0;
        const auto [from, to] = Harmonics(index);
        for (double *array : {cosines, sines, moduli})
            MapForWriting(array + from, array + to + 1);
        // The bin, k mod N, follows k without a division for each.
        for (std::int64_t k = from, m = from % n_; k <= to; ++k, m = m + 1 == n_ ? 0 : m + 1) {
            if (IsExact(k)) {
                low = std::max(low, moduli[k]);
                high = std::max(high, moduli[k]);
                continue;
            }
            const SumPair sums = BinSums(bins_, n_, m);
            const double a = scale_ * (m == 0 && cosinesAreOne_ ? measures_.sum : sums.cos);
            const double b = scale_ * sums.sin;
            const double modulus = ModulusOf(a, b);
            cosines[k] = a;
            sines[k] = b;
            moduli[k] = modulus;
            ++done;
            usable = usable & UsableResult(a) & UsableResult(b) & UsableResult(modulus);
            const ModulusRange range = RangeOf(a, b, modulus, k, m);
            low = std::max(low, range.low);
            high = std::max(high, range.high);
            if (range.low == range.high)
                exactLargest = std::max(exactLargest, range.low);
            else if (range.high >= low && !block.tooMany) {
                block.tooMany = block.candidates.size() == MaxCandidates;
                if (block.tooMany)
                    block.candidates = {};
                else
                    block.candidates.push_back({k, range.high});
            }
        }
        block.low = low;
        block.high = high;
        block.exactLargest = exactLargest;
        block.usable = usable;
        if (control)
            control->AddDone(done);
    }

    AnalysisState &state_;
    const std::complex<double> *bins_;
    const SampleMeasures &measures_;
    const std::vector<std::int64_t> &exact_;
    std::int64_t n_;
    std::int64_t hmax_;
    double scale_;
    ErrorLine bound_;
    bool cosinesAreOne_;
    std::vector<Block> blocks_;
};

// Where there is a control: tells its watcher that the work reached `stage`.
void Reach(TaskControl *control, WorkStage stage)
{
    if (control)
        control->Reached(stage);
}

// The transform path: samples, one transform on its own thread while harmonics 1 and z are summed
// exactly on this one, the other harmonics read from the bins with each modulus's range, and the
// harmonics whose range reaches the largest lower end summed again exactly.
bool TransformExactWhereShown(AnalysisState &state, std::int32_t shown,
                              const SpectrumOptions &options, TaskControl *control)
{
    const unsigned threads = std::max(1u, options.threads);
    const std::int64_t n = state.SampleCount;
    const std::int64_t hmax = RoundToCount(state.HarmonicCount);
    std::shared_ptr<RealTransform> transform;
    std::optional<TransformThread> running;
    if (hmax >= 1) {
        transform = RealTransform::Take(n);
        // It makes its plan meanwhile.
        running.emplace(transform, TransformThread::Direction::Forward,
                        control ? control->Watcher() : nullptr);
    }
    const std::vector<std::int64_t> exact = ExactFromTheStart(hmax, shown);
    SummedAlong along = ChooseSummedAlong(state, exact);
    Reach(control, WorkStage::Sampling);
    AllocateArrays(state);
    std::vector<Run> runs;
    if (hmax < 1) { // no harmonic: nothing to transform
        return SamplePulse(state, threads, control) && Survey(state, control, runs);
    }
    // The samples go to the transform as they are computed; then the zeros past the pulse.
    double *reals = transform->Reals();
    if (!SamplePulse(state, threads, control, &along, reals))
        return false;
    Reach(control, WorkStage::CopyingSamples);
    const std::int64_t pulseEnd = std::clamp<std::int64_t>(
        RoundToCount(static_cast<double>(n) * state.DutyCycle) + 1, 0, n);
    const bool zeroed = ForEachItem(
        (n - pulseEnd + Chunk - 1) / Chunk, threads, control, [&](std::int64_t chunk) {
            const std::int64_t begin = pulseEnd + chunk * Chunk;
            std::fill(reals + begin, reals + std::min(n, begin + Chunk), 0.0);
            return true;
        });
    if (!zeroed)
        return false;
    running->Start();
    Reach(control, WorkStage::TransformStarted);

    // The peak, the mean, the runs and the measures while the transform runs.
    SampleMeasures measures;
    bool samplesUsable = false;
    if (!Survey(state, control, runs, &measures, &samplesUsable))
        return false;
    if (options.measured)
        *options.measured = measures;
    if (runs.empty()) { // every sum without a term: +0
        if (control)
            control->AddDone(hmax);
        return true;
    }
    Reach(control, WorkStage::ExactSums);
    const std::vector<std::int64_t> exactLeft = KeepSummedAlong(state, along, exact, control);
    const bool summed = ForEachItem(static_cast<std::int64_t>(exactLeft.size()),
                                    std::max(1u, threads - 1), control, [&](std::int64_t item) {
                                        Group group {&ExactKernel(), {exactLeft[item]}, 1};
                                        return SumGroup(state, runs, group, control);
                                    });
    if (!summed)
        return false;
    for (const std::int64_t k : exact)
        ComputeMagnitude(state, k);

    Reach(control, WorkStage::WaitingForTransform);
    if (!running->Wait(control))
        return false;

    // Every other harmonic from the bins.
    Reach(control, WorkStage::ReadingBins);
    BinReading reading(state, transform->Bins(), measures, exact);
    if (!reading.Read(threads, control))
        return false;
    if (exact.back() != hmax) { // else CosSum and SinSum were left by its exact sums
        const SumPair sums = BinSums(transform->Bins(), n, hmax % n);
        state.CosSum = sums.cos;
        state.SinSum = sums.sin;
    }

    // Which harmonics can hold the largest modulus: those whose range reaches the floor.
    Reach(control, WorkStage::SummingAgain);
    std::vector<std::int64_t> again;
    if (!reading.ReachingTheFloor(control, again))
        return false;
    if (!SumAgain(state, runs, again, threads, control))
        return false;
    RealTransform::Keep(std::move(transform));

    if (options.results)
        *options.results = reading.Found(samplesUsable, again);
    return true;
}

} // namespace

SpectrumPath CheaperPath(std::int64_t n, double d, double h)
{
    const std::optional<std::int32_t> harmonics = TryRoundToCount(h);
    if (n < 1 || !harmonics || *harmonics < 1)
        return SpectrumPath::DirectSums;
    const double direct = static_cast<double>(PulseSamples(n, d)) * *harmonics;
    const double dn = static_cast<double>(n);
    const double transform = TransformPairsPerPoint * dn * std::log2(dn) + TransformOverheadPairs;
    return direct > transform ? SpectrumPath::Transform : SpectrumPath::DirectSums;
}

std::uint64_t SpectrumWorkspaceBytes(std::int64_t n, double d, double h)
{
    return CheaperPath(n, d, h) == SpectrumPath::Transform ? RealTransform::BufferBytes(n) : 0;
}

bool ComputeSpectrumByDirectSums(AnalysisState &state, const SpectrumKernel &kernel,
                                 unsigned threads, TaskControl *control)
{
    std::vector<Run> runs;
    return Sweep(state, kernel, threads, control, {}, runs);
}

bool ComputeSpectrumExactWhereShown(AnalysisState &state, std::int32_t shown,
                                    const SpectrumOptions &options, TaskControl *control)
{
    SpectrumPath path = options.path;
    if (path == SpectrumPath::Cheaper)
        path = CheaperPath(state.SampleCount, state.DutyCycle, state.HarmonicCount);
    if (path == SpectrumPath::Transform)
        return TransformExactWhereShown(state, shown, options, control);
    const SpectrumKernel &kernel = options.kernel ? *options.kernel : BestVectorKernel();
    return DirectSumsExactWhereShown(state, shown, kernel, options.threads, control);
}

double SpectrumErrorBound(const SampleMeasures &measures, std::int64_t k)
{
    const ErrorLine line = ErrorLineOf(measures);
    return line.fixed + line.perHarmonic * static_cast<double>(k);
}
