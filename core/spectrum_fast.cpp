#include "spectrum_fast.h"

#include "spectrum.h"

#include <algorithm>
#include <cmath>
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

// The samples, as ComputeSpectrum writes them, with SignalPeak, MeanValue and the runs of
// non-zero samples. False when cancelled.
bool Sample(AnalysisState &state, unsigned threads, TaskControl *control, std::vector<Run> &runs)
{
    const std::int64_t n = state.SampleCount;
    const double d = state.DutyCycle;
    const double v = state.Amplitude;
    auto &s = state.Samples;

    // The pulse, then the clearing after it.
    const double nd = static_cast<double>(n) * d;
    const std::int64_t last = RoundToCount(nd);
    const std::int64_t first = RoundToCount(nd + 1);
    const std::int64_t chunks = (last + 1 + Chunk - 1) / Chunk;
    const bool sampled = ForEachItem(chunks, threads, control, [&](std::int64_t chunk) {
        for (std::int64_t i = chunk * Chunk; i <= std::min(last, chunk * Chunk + Chunk - 1); ++i)
            s[i] = v * std::sin((static_cast<double>(i) * PI) / nd);
        return true;
    });
    if (!sampled)
        return false;
    // The arrays come zeroed: only pulse samples at or past `first` need clearing.
    for (std::int64_t i = first; i <= std::min(last, n - 1); ++i)
        s[i] = 0;
    s[n] = 0;

    // Peak, mean and runs in one pass; the mean adds in index order. Past the pulse every sample
    // is 0, which changes neither the peak (from s(0) on it is +0 or more) nor the sum.
    const std::int64_t end = std::min(last, n);
    state.SignalPeak = s[0];
    double sum = 0;
    for (std::int64_t chunk = 0; chunk <= end; chunk += Chunk) {
        if (control && control->Cancelled())
            return false;
        for (std::int64_t i = chunk; i <= std::min(end, chunk + Chunk - 1); ++i) {
            if (std::abs(s[i]) >= state.SignalPeak)
                state.SignalPeak = std::abs(s[i]);
            if (s[i] == 0 || i == n)
                continue;
            sum = sum + s[i];
            if (!runs.empty() && runs.back().end == i)
                runs.back().end = i + 1;
            else if (runs.size() < MaxRuns)
                runs.push_back({i, i + 1});
            else
                runs.back().end = i + 1;
        }
    }
    state.MeanValue = sum / static_cast<double>(n);
    return true;
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
    const std::int64_t hmax = RoundToCount(state.HarmonicCount);
    for (int l = 0; l < group.count; ++l) {
        const std::int64_t k = group.harmonics[l];
        state.CosCoefficients[k] = (2 / static_cast<double>(n)) * cosSums[l];
        state.SinCoefficients[k] = (2 / static_cast<double>(n)) * sinSums[l];
        if (k == hmax) {
            state.CosSum = cosSums[l];
            state.SinSum = sinSums[l];
        }
    }
    if (control && counted)
        control->AddDone(group.count);
    return true;
}

// The samples, then harmonics 1 to H: those in `exact` (sorted, within 1 to H) one at a time with
// the exact kernel, first, as they take longest; the others `kernel.lanes` at a time.
bool Sweep(AnalysisState &state, const SpectrumKernel &kernel, unsigned threads,
           TaskControl *control, const std::vector<std::int64_t> &exact, std::vector<Run> &runs)
{
    threads = std::max(1u, threads);
    AllocateArrays(state);
    if (!Sample(state, threads, control, runs))
        return false;

    const std::int64_t hmax = RoundToCount(state.HarmonicCount);
    const std::int64_t lanes = kernel.lanes;
    const auto exactCount = static_cast<std::int64_t>(exact.size());
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
            group.harmonics[group.count++] = exact[static_cast<std::size_t>(item)];
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

} // namespace

bool ComputeSpectrumFast(AnalysisState &state, const SpectrumKernel &kernel, unsigned threads,
                         TaskControl *control)
{
    std::vector<Run> runs;
    return Sweep(state, kernel, threads, control, {}, runs);
}

bool ComputeSpectrumShown(AnalysisState &state, std::int32_t shown, const SpectrumKernel &kernel,
                          unsigned threads, TaskControl *control)
{
    // Which moduli are summed with the exact kernel: the bulk of the harmonics takes the vector
    // kernel, and the numbers the program shows must be the literal loops' to the bit. They are
    // Magnitudes(z) in Label9, and the largest modulus, SpectrumPeak, by which the plot and every
    // readout scale. So harmonic z is exact from the start, and so is harmonic 1, the largest
    // of nearly every spectrum; after the sweep every harmonic whose modulus lies within
    // NearLargest of the largest is summed again exactly, on all threads.
    const std::int64_t hmax = RoundToCount(state.HarmonicCount);
    std::vector<std::int64_t> exact;
    if (hmax >= 1)
        exact.push_back(1);
    if (shown > 1 && shown <= hmax)
        exact.push_back(shown);
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
    const bool summed = ForEachItem(static_cast<std::int64_t>(again.size()), std::max(1u, threads),
                                    control, [&](std::int64_t item) {
                                        Group group {&ExactKernel(), {again[item]}, 1};
                                        return SumGroup(state, runs, group, control, false);
                                    });
    if (!summed)
        return false;
    for (const std::int64_t k : again)
        ComputeMagnitude(state, k);
    return true;
}
