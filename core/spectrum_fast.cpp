#include "spectrum_fast.h"

#include "sincos_kernels.h"
#include "spectrum.h"

#include <algorithm>
#include <cmath>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

namespace {

// Work between two looks at the cancel flag: a few hundred microseconds.
constexpr std::int64_t Chunk = 1 << 16;
// Angles evaluated together by the vector kernel.
constexpr std::int64_t Block = 256;
// Beyond this many separate runs of non-zero samples, the rest is summed as one run: a zero term
// changes no bit of a sum that starts at +0, so skipping zeros is only a saving.
constexpr std::size_t MaxRuns = 4096;

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

// Runs body(begin, end) over [first, last) in chunks spread over the threads; false when
// cancelled.
template<typename Body>
bool Parallel(std::int64_t first, std::int64_t last, unsigned threads, SpectrumControl *control,
              Body body)
{
    std::atomic<std::int64_t> next {first};
    const auto work = [&] {
        for (;;) {
            if (control && control->Cancelled())
                return;
            const std::int64_t begin = next.fetch_add(Chunk);
            if (begin >= last)
                return;
            body(begin, std::min(last, begin + Chunk));
        }
    };
    const std::int64_t chunks = (last - first + Chunk - 1) / Chunk;
    RunOnThreads(static_cast<unsigned>(std::clamp<std::int64_t>(chunks, 1, threads)), work);
    return !(control && control->Cancelled());
}

// The sums of several harmonics at a time: their independent running sums keep the adder busy
// while each one still adds its terms in index order.
class HarmonicSums
{
public:
    static constexpr int Group = 4;

    HarmonicSums(const AnalysisState &state, const std::vector<Run> &runs, SincosBlock kernel,
                 SpectrumControl *control)
        : s_(state.Samples), runs_(runs), kernel_(kernel), control_(control),
          n_(static_cast<double>(state.SampleCount))
    { }

    // The cosine and sine sums of harmonics k[0 .. G - 1] in ComputeSpectrum's order; false when
    // cancelled.
    template<int G> bool Compute(const std::int64_t *k, double *cosSum, double *sinSum)
    {
        double twoKPi[G];
        double cosAcc[G] = {};
        double sinAcc[G] = {};
        for (int h = 0; h < G; ++h)
            twoKPi[h] = static_cast<double>(static_cast<std::int32_t>(2 * k[h])) * PI;
        std::int64_t sinceCheck = 0;
        for (const Run &run : runs_) {
            for (std::int64_t begin = run.begin; begin < run.end; begin += Block) {
                const std::int64_t count = std::min(Block, run.end - begin);
                const double *s = s_.data() + begin;
                for (int h = 0; h < G; ++h)
                    kernel_(twoKPi[h], n_, begin, static_cast<std::size_t>(count), sines_[h],
                            cosines_[h]);
                for (std::int64_t j = 0; j < count; ++j) {
                    for (int h = 0; h < G; ++h) {
                        cosAcc[h] = cosines_[h][j] * s[j] + cosAcc[h];
                        sinAcc[h] = sines_[h][j] * s[j] + sinAcc[h];
                    }
                }
                if ((sinceCheck += count) >= Chunk) {
                    sinceCheck = 0;
                    if (control_ && control_->Cancelled())
                        return false;
                }
            }
        }
        for (int h = 0; h < G; ++h) {
            cosSum[h] = cosAcc[h];
            sinSum[h] = sinAcc[h];
        }
        return true;
    }

private:
    const RealArray &s_;
    const std::vector<Run> &runs_;
    SincosBlock kernel_;
    SpectrumControl *control_;
    double n_;
    double sines_[Group][Block];
    double cosines_[Group][Block];
};

} // namespace

bool ComputeSpectrumFast(AnalysisState &state, SpectrumPath path, unsigned threads,
                         SpectrumControl *control)
{
    threads = std::max(1u, threads);
    const std::int64_t n = state.SampleCount;
    const double d = state.DutyCycle;
    const double v = state.Amplitude;

    AllocateArrays(state);
    auto &s = state.Samples;

    // The samples, as ComputeSpectrum writes them: the pulse, then the clearing after it.
    const double nd = static_cast<double>(n) * d;
    const std::int64_t last = RoundToCount(nd);
    const std::int64_t first = RoundToCount(nd + 1);
    const bool sampled
        = Parallel(0, last + 1, threads, control, [&](std::int64_t b, std::int64_t e) {
              for (std::int64_t i = b; i < e; ++i)
                  s[i] = v * std::sin((static_cast<double>(i) * PI) / nd);
          });
    if (!sampled)
        return false;
    if (first <= n - 1)
        std::fill(s.begin() + first, s.begin() + n, 0.0);
    s[n] = 0;

    // Peak, mean and the runs of non-zero samples in one pass; the mean adds in index order.
    state.SignalPeak = s[0];
    double sum = 0;
    std::vector<Run> runs;
    for (std::int64_t chunk = 0; chunk <= n; chunk += Chunk) {
        if (control && control->Cancelled())
            return false;
        for (std::int64_t i = chunk; i <= std::min(n, chunk + Chunk - 1); ++i) {
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

    const std::int64_t hmax = RoundToCount(state.HarmonicCount);
    const SincosBlock kernel
        = path == SpectrumPath::Exact ? SincosBlockLibm : BestSincosKernel().function;
    std::atomic<std::int64_t> nextHarmonic {1};
    std::atomic<bool> stopped {false};
    const auto work = [&] {
        HarmonicSums sums(state, runs, kernel, control);
        constexpr int Group = HarmonicSums::Group;
        for (std::int64_t first; (first = nextHarmonic.fetch_add(Group)) <= hmax;) {
            std::int64_t k[Group];
            double cosSum[Group], sinSum[Group];
            const int count = static_cast<int>(std::min<std::int64_t>(Group, hmax - first + 1));
            for (int h = 0; h < count; ++h)
                k[h] = first + h;
            bool done = true;
            if (count == Group) {
                done = sums.Compute<Group>(k, cosSum, sinSum);
            } else {
                for (int h = 0; h < count && done; ++h)
                    done = sums.Compute<1>(k + h, cosSum + h, sinSum + h);
            }
            if (!done) {
                stopped = true;
                return;
            }
            for (int h = 0; h < count; ++h) {
                state.CosCoefficients[k[h]] = (2 / static_cast<double>(n)) * cosSum[h];
                state.SinCoefficients[k[h]] = (2 / static_cast<double>(n)) * sinSum[h];
                if (k[h] == hmax) {
                    state.CosSum = cosSum[h];
                    state.SinSum = sinSum[h];
                }
                if (control)
                    control->HarmonicDone();
            }
        }
    };
    const std::int64_t groups = (hmax + HarmonicSums::Group - 1) / HarmonicSums::Group;
    RunOnThreads(static_cast<unsigned>(std::clamp<std::int64_t>(groups, 1, threads)), work);
    if (stopped)
        return false;

    ComputeMagnitudes(state);
    return true;
}
