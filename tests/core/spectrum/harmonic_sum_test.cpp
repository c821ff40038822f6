// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The sum of the harmonics against its own definition summed term by term, against the samples
// it rebuilds, and against the Fourier series of the half-sine train in closed form; and through
// each filter, against the filters' textbook forms and an RC's steady state in closed form.
#include "core/analysis/analysis_run.h"
#include "core/spectrum/filter_output.h"
#include "core/spectrum/filters.h"
#include "core/spectrum/harmonic_sum.h"
#include "core/spectrum/spectrum.h"
#include "core/state/task_control.h"
#include "core/state/work_stage.h"
#include "core/state/work_watcher.h"
#include "tests/support/analysed.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <condition_variable>
#include <cstdio>
#include <memory>
#include <mutex>
#include <numbers>
#include <string>

namespace {

using std::numbers::pi;

RealArray Sum(const AnalysisState &state)
{
    std::optional<RealArray> sum = ComputeHarmonicSum(state);
    EXPECT_TRUE(sum);
    return sum.value_or(RealArray());
}

// The definition, term by term: MeanValue plus a_k cos(2 pi k i / N) + b_k sin(2 pi k i / N)
// for k = 1 to RoundToCount(H), the angles with the true pi.
double DirectSum(const AnalysisState &s, std::int64_t i)
{
    const double n = s.SampleCount;
    double sum = s.MeanValue;
    for (std::int64_t k = 1; k <= RoundToCount(s.HarmonicCount); ++k) {
        const double angle = 2 * pi * double(k) * double(i) / n;
        sum += s.CosCoefficients[k] * std::cos(angle) + s.SinCoefficients[k] * std::sin(angle);
    }
    return sum;
}

// The first m terms alone, in long double: an evaluation apart from the program's transform and
// from its rotations.
long double DirectFirstTerms(const AnalysisState &s, std::int64_t m, std::int64_t i)
{
    const long double turn = 2 * std::numbers::pi_v<long double> / s.SampleCount;
    long double sum = s.MeanValue;
    for (std::int64_t k = 1; k <= m; ++k) {
        const long double angle = turn * static_cast<long double>((k * i) % s.SampleCount);
        sum += s.CosCoefficients[k] * std::cos(angle) + s.SinCoefficients[k] * std::sin(angle);
    }
    return sum;
}

struct SmallCase
{
    std::int32_t n;
    double d;
    double v;
};

void PrintTo(const SmallCase &c, std::ostream *out)
{
    *out << "N = " << c.n << ", D = " << c.d << ", V = " << c.v;
}

std::string Name(const testing::TestParamInfo<SmallCase> &info)
{
    const SmallCase &c = info.param;
    char name[64];
    std::snprintf(name, sizeof name, "N%d_D%dpc_V%s%d", c.n, int(c.d * 100), c.v < 0 ? "minus" : "",
                  int(std::abs(c.v)));
    return name;
}

class SmallCases : public testing::TestWithParam<SmallCase>
{
};

// Every H from 0 to N + 1, so that harmonics past N / 2 and past N fold onto their bins
// (k mod N, and the mirror N - k mod N) with the right sign: an odd duty cycle such as 0.37 gives
// sine coefficients of both signs, which a wrong convention would add with the wrong one.
TEST_P(SmallCases, equalTheDefinitionSummedTermByTerm)
{
    const SmallCase &c = GetParam();
    for (int h = 0; h <= c.n + 1; ++h) {
        const AnalysisState s = Analysed(c.v, c.d, c.n, h);
        double scale = std::abs(s.MeanValue);
        for (int k = 1; k <= h; ++k)
            scale += s.Magnitudes[k];
        const RealArray sum = Sum(s);
        ASSERT_EQ(sum.size(), std::size_t(c.n) + 1);
        for (std::int64_t i = 0; i < c.n; ++i)
            EXPECT_NEAR(sum[i], DirectSum(s, i), 1e-12 * scale) << "H = " << h << ", i = " << i;
        EXPECT_EQ(sum[c.n], sum[0]) << "periodic: s_H(N) is s_H(0)";
    }
}

// The sum of the first m harmonics, m = 0 to H, two ways: summed anew through the transform, and
// built up one harmonic's wave at a time as the wheel adds them (and taken off again).
TEST_P(SmallCases, firstTermsEqualTheDefinitionFromNoneToAll)
{
    const SmallCase &c = GetParam();
    const std::int64_t h = c.n + 1;
    const AnalysisState s = Analysed(c.v, c.d, c.n, static_cast<double>(h));
    double scale = std::abs(s.MeanValue);
    for (int k = 1; k <= h; ++k)
        scale += s.Magnitudes[k];
    RealArray built(std::size_t(c.n) + 1, s.MeanValue);
    for (std::int64_t m = 0; m <= h; ++m) {
        if (m > 0)
            AddHarmonicWave(s, m, 1, built.data());
        const std::optional<RealArray> anew = ComputeHarmonicSum(s, nullptr, m);
        ASSERT_TRUE(anew);
        ASSERT_EQ(anew->size(), std::size_t(c.n) + 1);
        for (std::int64_t i = 0; i <= c.n; ++i) {
            const auto direct = static_cast<double>(DirectFirstTerms(s, m, i % c.n));
            EXPECT_NEAR((*anew)[i], direct, 1e-12 * scale) << "m = " << m << ", i = " << i;
            EXPECT_NEAR(built[i], direct, 1e-12 * scale) << "m = " << m << ", i = " << i;
        }
    }
    for (std::int64_t m = h; m >= 1; --m) // taken off one at a time, back to the DC component
        AddHarmonicWave(s, m, -1, built.data());
    for (std::int64_t i = 0; i <= c.n; ++i)
        EXPECT_NEAR(built[i], s.MeanValue, 1e-12 * scale);
    // More than H asked for: the sum of all H.
    EXPECT_EQ(*ComputeHarmonicSum(s, nullptr, h + 5), *ComputeHarmonicSum(s));
}

// One harmonic's wave over a long period, where the rotations between exact angles run longest:
// against the formula in long double at every sample.
TEST(HarmonicSum, aWaveFollowsItsFormulaOverManySamples)
{
    const AnalysisState s = Analysed(10, 0.37, 100003, 40);
    for (const std::int64_t k : {1, 7, 39, 40}) {
        RealArray wave(100004);
        AddHarmonicWave(s, k, 1, wave.data());
        const long double turn = 2 * std::numbers::pi_v<long double> / 100003;
        for (std::int64_t i = 0; i <= 100003; ++i) {
            const long double angle = turn * static_cast<long double>((k * i) % 100003);
            const long double expected
                = s.CosCoefficients[k] * std::cos(angle) + s.SinCoefficients[k] * std::sin(angle);
            ASSERT_NEAR(wave[i], static_cast<double>(expected), 1e-13 * s.Magnitudes[k] + 1e-300)
                << "k = " << k << ", i = " << i;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(HarmonicSum, SmallCases,
                         testing::Values(SmallCase {1, 1, 10}, SmallCase {2, 0.5, 10},
                                         SmallCase {3, 1, -2}, SmallCase {4, 0.5, 1},
                                         SmallCase {7, 0.5, 1}, SmallCase {8, 0.37, -3},
                                         SmallCase {15, 0.05, 10}, SmallCase {16, 0.37, 10},
                                         SmallCase {20, 0.05, -1}, SmallCase {21, 1, 5},
                                         SmallCase {33, 0.37, -7}, SmallCase {64, 0.6, 2},
                                         // the padded transform: a prime, twice a prime
                                         SmallCase {79, 0.37, -7}, SmallCase {158, 0.5, 3}),
                         Name);

// With N odd, harmonics 1 to (N - 1) / 2 and the DC component are the whole discrete spectrum:
// their sum is the inverse transform and gives back every sample.
TEST(HarmonicSum, rebuildsEverySampleFromHalfTheHarmonicsWhenNIsOdd)
{
    for (const std::int32_t n : {1, 3, 5, 7, 11, 31, 101, 79, 1021}) // the last two padded
        for (const double d : {0.05, 0.37, 0.5, 1.0})
            for (const double v : {10.0, -4.0}) {
                const AnalysisState s = Analysed(v, d, n, (n - 1) / 2);
                const RealArray sum = Sum(s);
                for (std::int64_t i = 0; i < n; ++i)
                    EXPECT_NEAR(sum[i], s.Samples[i], 1e-12 * s.SignalPeak)
                        << "N = " << n << ", D = " << d << ", V = " << v << ", i = " << i;
            }
}

// The Fourier series of the train of half-sines of peak v lasting d of each period, in closed
// form, summed to harmonic h at t = i / n periods.
double ClosedFormSum(double v, double d, int h, double i, double n)
{
    const double alpha = 1 / (2 * d); // the half-sine is sin(alpha * theta) for theta < 2 pi d
    double sum = 2 * v * d / pi;
    for (int k = 1; k <= h; ++k) {
        double a, b;
        if (std::abs(alpha - k) < 1e-12) { // the half-sine's own frequency
            a = 0;
            b = v * d;
        } else {
            const double common = v / pi * alpha / (alpha * alpha - double(k) * k);
            a = common * (1 + std::cos(2 * pi * k * d));
            b = common * std::sin(2 * pi * k * d);
        }
        const double angle = 2 * pi * k * i / n;
        sum += a * std::cos(angle) + b * std::sin(angle);
    }
    return sum;
}

double LargestDistance(const AnalysisState &s, const RealArray &sum)
{
    double largest = 0;
    for (std::int64_t i = 0; i < s.SampleCount; ++i)
        largest = std::max(largest, std::abs(sum[i] - s.Samples[i]));
    return largest;
}

// At the program's defaults (D = 0.5, 10 V, 10000 samples) more harmonics rebuild the signal
// better, and the distance left at 10 harmonics is the series' own.
TEST(HarmonicSum, approachesTheSignalAsHarmonicsAreAdded)
{
    double previous = 0;
    for (const int h : {1, 3, 10, 30}) {
        const AnalysisState s = Analysed(10, 0.5, 10000, h);
        const double distance = LargestDistance(s, Sum(s));
        if (h > 1) {
            EXPECT_LT(distance, previous) << "H = " << h;
        }
        previous = distance;
    }

    const AnalysisState s = Analysed(10, 0.5, 10000, 10);
    double closedForm = 0;
    for (std::int64_t i = 0; i < 10000; ++i)
        closedForm
            = std::max(closedForm, std::abs(ClosedFormSum(10, 0.5, 10, i, 10000) - s.Samples[i]));
    // The sampled coefficients differ from the series' by the harmonics that alias onto them,
    // about V / N^2 each, and PI by 3.2e-15 from pi: far below 1e-6 V.
    EXPECT_NEAR(LargestDistance(s, Sum(s)), closedForm, 1e-6 * 10);
    EXPECT_GT(closedForm, 0.01); // the kink at the pulse's end is not rebuilt by 10 harmonics
}

// Each filter's H(jf) against its textbook form in long double, at f = 0, far below and far
// above its own frequency and around it.
TEST(Filters, respondAsTheirTextbookFormsInLongDouble)
{
    using L = long double;
    using C = std::complex<L>;
    const auto textbook = [](FilterKind kind, L u, L q) -> C {
        const C j(0, 1);
        switch (kind) {
        case FilterKind::None:
            return 1;
        case FilterKind::RcLowPass:
            return L(1) / (L(1) + j * u);
        case FilterKind::RcHighPass:
            return j * u / (L(1) + j * u);
        case FilterKind::RlcBandPass: // j u / Q over 1 - u^2 + j u / Q, 0 at u = 0
            return j * u / q / (L(1) - u * u + j * u / q);
        case FilterKind::SecondOrderLowPass:
            return L(1) / (L(1) - u * u + j * u / q);
        }
        return 0;
    };
    for (const FilterDeclaration &filter : Filters)
        for (const double q : {0.3, 0.707, 10.0, 1000.0})
            for (const double u : {0.0, 1e-12, 1e-3, 0.5, 0.999, 1.0, 1.001, 3.0, 1e3, 1e12}) {
                // f0 = 1 Hz, so that the ratio the response is made of is u itself, exact
                const FilterSettings settings {filter.kind, 1, q};
                const std::complex<double> h = FilterResponse(settings, u);
                const C expected = textbook(filter.kind, u, q);
                EXPECT_LE(std::abs(C(h.real(), h.imag()) - expected),
                          1e-15L * std::abs(expected) + 1e-300L)
                    << filter.name << ", Q = " << q << ", f / f0 = " << u;
            }
    // The response's peak, against the largest of a fine scan of the textbook form, from below.
    for (const FilterDeclaration &filter : Filters)
        for (const double q : {0.3, 0.7072, 2.0, 50.0}) {
            L largest = 0;
            for (L u = 0; u < 4; u += 1e-5L) // and on, far above f0, where the high-pass's is
                largest = std::max(largest, std::abs(textbook(filter.kind, u, q)));
            largest = std::max(largest, std::abs(textbook(filter.kind, 1e12L, q)));
            const double peak = ResponsePeak({filter.kind, 1, q});
            EXPECT_GE(peak, static_cast<double>(largest) * (1 - 1e-15)) << filter.name << q;
            EXPECT_LE(peak, static_cast<double>(largest) * (1 + 1e-6)) << filter.name << q;
        }
}

// The rectangle of peak V and width Ti through an RC low-pass of time constant tau, in the steady
// state: during the pulse y charges towards V, y = V + (y0 - V) e^{-t / tau}, and after it
// discharges, y = y1 e^{-(t - Ti) / tau}, where the levels repeat every period:
// y1 = V + (y0 - V) e^{-Ti / tau} and y0 = y1 e^{-(T - Ti) / tau}. The sum of the filtered
// harmonics leaves out those above H, |H(k f)| |S_k| <= (fc / (k f)) (2 V / (pi k)), at most
// (fc / f) (2 V / pi) / H together; and the sampled coefficients carry the aliases of order
// V / N each, which the low-pass lets through as 1 / k: (fc / f) (4 V / N) ln H at most. The
// high-pass at the same fc gives what the low-pass takes away: the two outputs add up to the
// unfiltered sum, to the rounding.
TEST(Filters, takeTheRectangleThroughAnRcToItsSteadyState)
{
    const double v = 2, d = 0.25, f = 1000, fc = 2000;
    const std::int32_t n = 1 << 14;
    const double h = 8000;
    AnalysisState s
        = ParametersOf({.v = v, .d = d, .n = n, .h = h, .f = f, .shape = PulseShape::Rectangular});
    ASSERT_EQ(RunAnalysis(s).status, AnalysisOutcome::Status::Done);
    const FilterSettings low {FilterKind::RcLowPass, fc, 0};
    const FilterSettings high {FilterKind::RcHighPass, fc, 0};
    const RealArray y = ComputeHarmonicSum(s, nullptr, -1, &low).value();
    const RealArray yHigh = ComputeHarmonicSum(s, nullptr, -1, &high).value();
    const RealArray plain = Sum(s);
    using L = long double;
    const L tau = 1 / (2 * std::numbers::pi_v<L> * fc), period = 1 / L(f), ti = d * period;
    const L fall = std::exp(-(period - ti) / tau), rise = std::exp(-ti / tau);
    // y1 = V + (y1 fall - V) rise: y1 = V (1 - rise) / (1 - fall rise)
    const L y1 = v * (1 - rise) / (1 - fall * rise), y0 = y1 * fall;
    const double bound = fc / f * (2 * v / std::numbers::pi) / h + fc / f * 4 * v / n * std::log(h);
    double largest = 0, sumGap = 0;
    for (std::int32_t i = 0; i < n; ++i) {
        const L t = period * i / n;
        const L expected
            = t <= ti ? v + (y0 - v) * std::exp(-t / tau) : y1 * std::exp(-(t - ti) / tau);
        largest = std::max(largest, std::abs(y[i] - static_cast<double>(expected)));
        sumGap = std::max(sumGap, std::abs(y[i] + yHigh[i] - plain[i]));
    }
    EXPECT_LT(largest, bound);
    EXPECT_GT(largest, bound / 1000); // the bound is not so loose that it would miss a fault
    EXPECT_LT(sumGap, 1e-12 * v);
}

// A series RLC tuned to harmonic 3 with a high Q lets it through whole (H(j f0) = 1) and the
// others by 1 / sqrt(1 + Q^2 (k / 3 - 3 / k)^2): the output stands within the sum of those
// others, each at most the rectangle's 2 V / (pi k), of harmonic 3's own wave.
TEST(Filters, tuneASeriesRlcToOneHarmonic)
{
    const double v = 1, f = 1000, q = 1000;
    const std::int32_t n = 4096;
    const int h = 200;
    AnalysisState s = ParametersOf(
        {.v = v, .d = 0.25, .n = n, .h = double(h), .f = f, .shape = PulseShape::Rectangular});
    ASSERT_EQ(RunAnalysis(s).status, AnalysisOutcome::Status::Done);
    const FilterSettings tuned {FilterKind::RlcBandPass, 3 * f, q};
    const RealArray y = ComputeHarmonicSum(s, nullptr, -1, &tuned).value();
    double margin = 0;
    for (int k = 1; k <= h; ++k)
        if (k != 3)
            margin += 2 * v / (std::numbers::pi * k)
                / std::sqrt(1 + q * q * std::pow(k / 3.0 - 3.0 / k, 2));
    RealArray wave(static_cast<std::size_t>(n) + 1);
    AddHarmonicWave(s, 3, 1, wave.data());
    double largest = 0;
    for (std::int32_t i = 0; i <= n; ++i)
        largest = std::max(largest, std::abs(y[i] - wave[i]));
    EXPECT_LT(largest, margin + 1e-12);
    EXPECT_GT(std::abs(s.Magnitudes[3]), 100 * margin); // the harmonic stands well above it
}

// The output as an analysis of its own, for the rectangle (|S_k| = 2 V |sin(k pi D)| / (k pi),
// power V^2 D) through an RC low-pass (|H| = 1 / sqrt(1 + (k f / fc)^2)): its lines, DC, RMS,
// THD and share of the input's power against those closed forms in long double, within the
// sampled coefficients' aliases (4 V / N a line); y(t) the filtered sum's; and no filter the
// input's lines exactly.
TEST(Filters, giveTheOutputAsAnAnalysisOfItsOwn)
{
    const double v = 3, d = 0.25, f = 1000, fc = 1500;
    const std::int32_t n = 1 << 15;
    const int h = 60;
    AnalysisState s = ParametersOf(
        {.v = v, .d = d, .n = n, .h = double(h), .f = f, .shape = PulseShape::Rectangular});
    ASSERT_EQ(RunAnalysis(s).status, AnalysisOutcome::Status::Done);
    const FilterSettings low {FilterKind::RcLowPass, fc, 0};
    const AnalysisState y = FilterOutput(s, low).value();
    using L = long double;
    const L pi = std::numbers::pi_v<L>;
    L power = L(v) * v * d * d, upper = 0, first = 0;
    const double alias = 4 * v / n;
    const auto closed = [&](int k) {
        return 2 * v * std::abs(std::sin(k * pi * d)) / (k * pi)
            / std::sqrt(1 + std::pow(L(k) * f / fc, 2));
    };
    for (int k = 1; k <= h; ++k) {
        const L modulus = closed(k);
        EXPECT_NEAR(y.Magnitudes[k], static_cast<double>(modulus), alias) << k;
        power += modulus * modulus / 2;
        (k == 1 ? first : upper) += k == 1 ? modulus : modulus * modulus;
    }
    // y's bandwidths: the fewest harmonics whose power, with the DC component's, reaches 90, 95
    // and 99 % of y's own.
    const std::optional<double> bandwidths[] = {y.BandwidthAt90, y.BandwidthAt95, y.BandwidthAt99};
    L reached = L(v) * v * d * d;
    for (int k = 0, next = 0; k <= h && next < 3; ++k) {
        reached += k >= 1 ? closed(k) * closed(k) / 2 : 0;
        for (; next < 3 && 100 * reached >= (next == 0 ? 90 : next == 1 ? 95 : 99) * power; ++next)
            EXPECT_EQ(bandwidths[next], std::optional<double>(k)) << next;
    }
    EXPECT_NEAR(y.MeanValue, v * d, 1e-12);
    EXPECT_NEAR(y.RmsValue.value(), static_cast<double>(std::sqrt(power)), alias * h);
    EXPECT_NEAR(y.HarmonicDistortion.value(), static_cast<double>(100 * std::sqrt(upper) / first),
                1e-3);
    EXPECT_NEAR(y.PowerShare.value(), static_cast<double>(100 * power / (L(v) * v * d)), 0.1);
    const RealArray sum = ComputeHarmonicSum(s, nullptr, -1, &low).value();
    EXPECT_TRUE(std::equal(sum.begin(), sum.end(), y.Samples.begin()));
    EXPECT_EQ(y.SignalPeak, *std::max_element(sum.begin(), sum.end()));

    const AnalysisState same = FilterOutput(s, FilterSettings {}).value();
    for (int k = 1; k <= h; ++k)
        EXPECT_EQ(same.Magnitudes[k], s.Magnitudes[k]) << k;
    // A cut-off far above every harmonic gives the input back, |H| = 1 - (k f / fc)^2 / 2 to
    // first order; one far below the first leaves the DC component and lines of |S_k| fc / (k f).
    const AnalysisState above = FilterOutput(s, {FilterKind::RcLowPass, 1e12, 0}).value();
    const AnalysisState below = FilterOutput(s, {FilterKind::RcLowPass, 1e-3, 0}).value();
    EXPECT_EQ(above.MeanValue, s.MeanValue);
    EXPECT_EQ(below.MeanValue, s.MeanValue);
    for (int k = 1; k <= h; ++k) {
        EXPECT_NEAR(above.Magnitudes[k], s.Magnitudes[k], 1e-15 * s.Magnitudes[1]) << k;
        EXPECT_NEAR(below.Magnitudes[k], s.Magnitudes[k] * 1e-3 / (k * f), 1e-15 * s.Magnitudes[1])
            << k;
    }
    EXPECT_NEAR(same.PowerShare.value(), s.PowerShare.value(), 1e-9);
}

TEST(HarmonicSum, countsItsStepsAndStopsWhenCancelled)
{
    const AnalysisState s = Analysed(10, 0.5, 1000, 10);
    TaskControl done;
    EXPECT_TRUE(ComputeHarmonicSum(s, &done));
    EXPECT_EQ(done.Done(), HarmonicSumSteps);
    TaskControl cancelled;
    cancelled.Cancel();
    EXPECT_FALSE(ComputeHarmonicSum(s, &cancelled));
}

// Cancelled while its inverse transform runs: it returns without waiting for it, and the
// transform, held here until the analysis it read is freed, finishes on its own memory.
TEST(HarmonicSum, cancelledDuringItsTransformReturnsAtOnceAndLeavesItsMemoryToIt)
{
    // Cancels the sum as its transform starts, holds the transform there until released, and
    // hears its end.
    struct CancelAtTheTransform : WorkWatcher
    {
        TaskControl control {*this};
        std::mutex mutex;
        std::condition_variable changed;
        bool released = false, ended = false;

        void Reached(WorkStage stage) override
        {
            std::unique_lock<std::mutex> lock(mutex);
            if (stage == WorkStage::TransformRunning) {
                control.Cancel();
                changed.wait(lock, [&] { return released; });
            } else if (stage == WorkStage::TransformEnded) {
                ended = true;
                changed.notify_all();
            }
        }
    } watcher;
    {
        const auto s = std::make_unique<AnalysisState>(Analysed(10, 0.5, 4096, 2000));
        EXPECT_FALSE(ComputeHarmonicSum(*s, &watcher.control));
        EXPECT_LT(watcher.control.Done(), HarmonicSumSteps);
    } // the analysis is freed here
    std::unique_lock<std::mutex> lock(watcher.mutex);
    EXPECT_FALSE(watcher.ended) << "the sum waited for its transform";
    watcher.released = true;
    watcher.changed.notify_all();
    watcher.changed.wait(lock, [&] { return watcher.ended; });
}

} // namespace
