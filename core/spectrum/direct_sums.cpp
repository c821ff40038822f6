// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/spectrum/direct_sums.h"

#include "core/spectrum/kernels/sincos_kernels.h"
#include "core/spectrum/spectrum.h"
#include "core/spectrum/work_sharing.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <memory>

namespace spectrum_internal {

namespace {

// A modulus this close to the largest, relative to it, is summed again with the exact kernel: a
// vector kernel's moduli lie within 1e-15 of the largest of the exact ones, so the harmonic whose
// exact modulus is the largest is always among these.
constexpr double NearLargest = 1e-12;

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

// One harmonic's exact sums on several threads, with the literal loops' bits: the products
// cos(angle) * s(i) and sin(angle) * s(i) are formed apart, a round of samples at a time, on every
// thread, and then added in index order here. False when cancelled.
bool SumHarmonicOnThreads(AnalysisState &state, const std::vector<SampleRun> &runs, std::int64_t k,
                          unsigned threads, TaskControl *control)
{
    constexpr std::int64_t Round = 1 << 18;
    constexpr std::int64_t Piece = 1 << 14;
    const double dn = static_cast<double>(state.SampleCount);
    const double twoKPi = static_cast<double>(static_cast<std::int32_t>(2 * k)) * PI;
    const double *samples = state.Samples.data();
    std::int64_t longest = 0;
    for (const SampleRun &run : runs)
        longest = std::max(longest, std::min(run.end - run.begin, Round));
    // Not zeroed: every product is written before it is added.
    const std::unique_ptr<double[]> cosProducts(new double[static_cast<std::size_t>(longest)]);
    const std::unique_ptr<double[]> sinProducts(new double[static_cast<std::size_t>(longest)]);
    double cosSum = 0, sinSum = 0;
    for (const SampleRun &run : runs)
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

// The next narrower unit of the same processor, where there is one worth a last block of half
// the lanes or fewer: AVX2 for AVX-512 (SSE2's kernel is slower than AVX2's even with lanes to
// spare).
const SpectrumKernel *NarrowerKernel(const SpectrumKernel &kernel)
{
    if (kernel.lanes == 8)
        for (const SpectrumKernel &k : VectorKernels())
            if (k.lanes == 4 && k.supported())
                return &k;
    return nullptr;
}

} // namespace

bool SumGroup(AnalysisState &state, const std::vector<SampleRun> &runs, const HarmonicGroup &group,
              TaskControl *control, bool counted)
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
    for (const SampleRun &run : runs) {
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

std::vector<std::int64_t> ExactFromTheStart(std::int64_t hmax, std::int32_t shown)
{
    std::vector<std::int64_t> exact;
    if (hmax >= 1)
        exact.push_back(1);
    if (shown > 1 && shown <= hmax)
        exact.push_back(shown);
    return exact;
}

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

bool SumAgain(AnalysisState &state, const std::vector<SampleRun> &runs,
              const std::vector<std::int64_t> &again, unsigned threads, TaskControl *control)
{
    if (again.size() < threads) {
        for (const std::int64_t k : again)
            if (!SumHarmonicOnThreads(state, runs, k, threads, control))
                return false;
    } else {
        const bool summed = ForEachItem(static_cast<std::int64_t>(again.size()), threads, control,
                                        [&](std::int64_t item) {
                                            HarmonicGroup group {&ExactKernel(), {again[item]}, 1};
                                            return SumGroup(state, runs, group, control, false);
                                        });
        if (!summed)
            return false;
    }
    for (const std::int64_t k : again)
        ComputeMagnitude(state, k);
    return true;
}

bool Sweep(AnalysisState &state, const SpectrumKernel &kernel, unsigned threads,
           TaskControl *control, const std::vector<std::int64_t> &exact,
           std::vector<SampleRun> &runs)
{
    AllocateArrays(state);
    SummedAlong along = ChooseSummedAlong(state, exact);
    if (!Sample(state, threads, control, runs, &along))
        return false;
    const std::vector<std::int64_t> exactLeft = KeepSummedAlong(state, along, exact, control);

    const std::int64_t hmax = RoundToCount(state.HarmonicCount);
    const std::int64_t lanes = kernel.lanes;
    const auto exactCount = static_cast<std::int64_t>(exactLeft.size());
    const std::int64_t blocks = std::max<std::int64_t>(0, (hmax + lanes - 1) / lanes);
    const SpectrumKernel *narrow = NarrowerKernel(kernel);
    const bool summed = ForEachItem(exactCount + blocks, threads, control, [&](std::int64_t item) {
        HarmonicGroup group {&ExactKernel(), {}, 0};
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

bool DirectSumsExactWhereShown(AnalysisState &state, std::int32_t shown,
                               const SpectrumKernel &kernel, unsigned threads, TaskControl *control)
{
    const std::int64_t hmax = RoundToCount(state.HarmonicCount);
    const std::vector<std::int64_t> exact = ExactFromTheStart(hmax, shown);
    std::vector<SampleRun> runs;
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

} // namespace spectrum_internal
