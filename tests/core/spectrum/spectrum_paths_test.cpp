// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The fast paths against the literal loops: the direct sums with the exact kernel bit for bit, each
// vector kernel within a relative 1e-15 of the largest modulus, the transform within its derived
// bound, every number the program shows to the bit on both paths, and the transform path's
// cancellation at each of its steps.
#include "core/analysis/analysis_run.h"
#include "core/spectrum/for_tests.h"
#include "core/spectrum/kernels/sincos_kernels.h"
#include "core/spectrum/spectrum.h"
#include "core/spectrum/spectrum_error_bound.h"
#include "core/spectrum/spectrum_paths.h"
#include "core/state/task_control.h"
#include "core/state/work_stage.h"
#include "core/state/work_watcher.h"
#include "tests/support/analysed.h"
#include "tests/support/case_names.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <set>
#include <vector>

namespace {

struct FastCase
{
    std::int32_t n;
    double d;
    double v;
    double h;
    PulseShape shape = PulseShape::HalfSine;
};

std::string FastCaseName(const FastCase &c)
{
    return (c.shape == PulseShape::HalfSine ? "" : Identifier(TextsOf(c.shape).name) + "_") + "N_"
        + std::to_string(c.n) + "_D_" + SpelledOut(c.d) + "_V_" + SpelledOut(c.v) + "_H_"
        + SpelledOut(c.h);
}

void PrintTo(const FastCase &c, std::ostream *out)
{
    *out << TextsOf(c.shape).name << ", N = " << c.n << ", D = " << c.d << ", V = " << c.v
         << ", H = " << c.h;
}

AnalysisState Parameters(const FastCase &c)
{
    return ParametersOf({.v = c.v, .d = c.d, .n = c.n, .h = c.h, .shape = c.shape});
}

// The literal loops, word for word, as the reference.
AnalysisState Literal(const FastCase &c)
{
    AnalysisState s = Parameters(c);
    ComputeSpectrum(s);
    return s;
}

void ExpectSameBits(const RealArray &actual, const RealArray &expected, const char *what)
{
    ASSERT_EQ(actual.size(), expected.size()) << what;
    for (std::size_t i = 0; i < actual.size(); ++i)
        ASSERT_EQ(std::bit_cast<std::uint64_t>(actual[i]),
                  std::bit_cast<std::uint64_t>(expected[i]))
            << what << "[" << i << "] = " << actual[i] << ", literal " << expected[i];
}

void ExpectSameBits(double actual, double expected, const char *what)
{
    EXPECT_EQ(std::bit_cast<std::uint64_t>(actual), std::bit_cast<std::uint64_t>(expected))
        << what << " = " << actual << ", literal " << expected;
}

class FastPaths : public testing::TestWithParam<FastCase>
{
};

TEST_P(FastPaths, exactPathGivesEveryBitOfTheLiteralLoops)
{
    const AnalysisState literal = Literal(GetParam());
    for (unsigned threads : {1u, 2u, 3u}) {
        AnalysisState fast = Parameters(GetParam());
        fast.SpectrumPeak = 42;
        ASSERT_TRUE(testing_seam::ComputeSpectrumByDirectSums(fast, ExactKernel(), threads));
        SCOPED_TRACE(testing::Message() << threads << " threads");
        ExpectSameBits(fast.Samples, literal.Samples, "Samples");
        ExpectSameBits(fast.Magnitudes, literal.Magnitudes, "Magnitudes");
        ExpectSameBits(fast.CosCoefficients, literal.CosCoefficients, "CosCoefficients");
        ExpectSameBits(fast.SinCoefficients, literal.SinCoefficients, "SinCoefficients");
        ExpectSameBits(fast.MeanValue, literal.MeanValue, "MeanValue");
        ExpectSameBits(fast.SignalPeak, literal.SignalPeak, "SignalPeak");
        ExpectSameBits(fast.CosSum, literal.CosSum, "CosSum");
        ExpectSameBits(fast.SinSum, literal.SinSum, "SinSum");
        EXPECT_EQ(fast.SpectrumPeak, 42);
    }
}

// The cases both the direct sums and the transform path are held to.
const FastCase CommonCases[] = {
    FastCase {10000, 0.5, 10, 10}, // the defaults
    FastCase {5, 0.5, 1, 6}, // N D = 2.5
    FastCase {4096, 0.25, 1e-3, 4097}, // every harmonic up to N + 1
    FastCase {300, 0.9, 5, 0},
    FastCase {300, 0.9, 5, -2},
    FastCase {1, 1, 1, 2},
    FastCase {2, 0.5, 1, 3},
    FastCase {1000, 0.5, 0, 5}, // a silent signal
    FastCase {20, -0.05, 1, 4}, // a small negative duty cycle: all zero
    FastCase {79, 0.99365907548456722, 1, 80}, // harmonic 1 is not the largest: 80 (bin 1) is
    // the padded transform: primes, with few bins and with all, and twice a prime
    FastCase {10007, 0.5, 10, 200},
    FastCase {4099, 0.6, -3, 4100},
    FastCase {8198, 0.25, 2, 8199},
};

// Every other shape on both paths: the defaults, a pulse ending between samples, D = 1 where the
// jumps join, a prime N (the padded transform), and a pulse with no sample inside it but s(0);
// on the transform path also many harmonics.
std::vector<FastCase> ShapeCases(bool manyHarmonics)
{
    std::vector<FastCase> cases;
    for (const PulseShapeTexts &texts : PulseShapes) {
        const PulseShape shape = texts.shape;
        if (shape == PulseShape::HalfSine)
            continue; // the cases above
        for (FastCase c :
             {FastCase {10000, 0.5, 10, 10}, FastCase {10, 0.37, 3, 11}, FastCase {1000, 1, -2, 40},
              FastCase {10007, 0.3, 10, 60}, FastCase {12345, 0.00005, 2, 20}}) {
            c.shape = shape;
            cases.push_back(c);
        }
        if (manyHarmonics)
            cases.push_back({100000, 0.25, 10, 1000, shape});
    }
    return cases;
}

template<std::size_t A, std::size_t B>
std::vector<FastCase> Joined(const FastCase (&common)[A], const FastCase (&own)[B],
                             bool manyHarmonics)
{
    std::vector<FastCase> cases(std::begin(common), std::end(common));
    cases.insert(cases.end(), std::begin(own), std::end(own));
    const std::vector<FastCase> shapes = ShapeCases(manyHarmonics);
    cases.insert(cases.end(), shapes.begin(), shapes.end());
    return cases;
}

const FastCase DirectSumsOwnCases[] = {
    FastCase {7, 0.5, 1, 8}, // N D = 3.5
    FastCase {10, 0.37, 3, 11}, // N D = 3.7
    FastCase {1000, 1, 2, 40}, // D = 1
    FastCase {999, 0.3, -4, 50}, // negative V
    FastCase {100000, 0.013, 7, 3},
    FastCase {200000, 0.77, 1e-300, 7},
    FastCase {8, 0.16707, 0x1p60, 9}, // harmonic 1 not the largest, moduli near 2^60, nearly tied
    // Harmonic 2^j's angle is the sampling angle where N D = N / 2^(j+1): summed while sampling
    FastCase {1000, 0.125, 3, 9}, // harmonic 4 (z = H / 2)
    FastCase {300000, 0.5, 3, 2}, // harmonic 1, over rounds of the sampling
    FastCase {60, 1.0 / 6, 1, 7}, // N D = N / 6, but 6 is no power of two: harmonic 3 is not
    // The pulse's last sample, the edge's middle value at N D = 65536, alone in the sampling's
    // second piece
    FastCase {655360, 0.1, 1, 3, PulseShape::Rectangular},
};
const std::vector<FastCase> FastCases = Joined(CommonCases, DirectSumsOwnCases, false);

INSTANTIATE_TEST_SUITE_P(Sizes, FastPaths, testing::ValuesIn(FastCases),
                         [](const auto &info) { return FastCaseName(info.param); });

// Each vector kernel, on the processors that have its unit: its moduli within 1e-15 of the
// largest, and, summed as the program sums them, every number shown to the bit.
class VectorKernels : public testing::TestWithParam<std::tuple<std::size_t, FastCase>>
{
};

// The kernel by its name, not its place in the list.
void PrintTo(const std::tuple<std::size_t, FastCase> &c, std::ostream *out)
{
    *out << ::VectorKernels()[std::get<0>(c)].name << ", ";
    PrintTo(std::get<1>(c), out);
}

TEST_P(VectorKernels, agreeWithTheLiteralLoopsAndShowTheirNumbersExactly)
{
    const SpectrumKernel &kernel = ::VectorKernels()[std::get<0>(GetParam())];
    const FastCase &c = std::get<1>(GetParam());
    if (!kernel.supported())
        GTEST_SKIP() << "this processor has no " << kernel.name;
    AnalysisState literal = Literal(c);
    FindSpectrumPeak(literal);
    AnalysisState vectorised = Parameters(c);
    ASSERT_TRUE(testing_seam::ComputeSpectrumByDirectSums(vectorised, kernel, 2));
    // Where every modulus is rounding (a constant: the rectangle at D = 1), the scale is the
    // mean absolute sample instead.
    double absMean = 0;
    for (std::int32_t i = 0; i < c.n; ++i)
        absMean += std::abs(literal.Samples[i]) / c.n;
    const double scale = literal.SpectrumPeak > 1e-13 * absMean ? literal.SpectrumPeak : absMean;
    for (std::size_t k = 0; k < literal.Magnitudes.size(); ++k)
        ASSERT_LE(std::abs(vectorised.Magnitudes[k] - literal.Magnitudes[k]), 1e-15 * scale)
            << "k = " << k;
    ExpectSameBits(vectorised.Samples, literal.Samples, "Samples");
    ExpectSameBits(vectorised.MeanValue, literal.MeanValue, "MeanValue");

    const std::int32_t hmax = RoundToCount(c.h);
    for (const std::int32_t z :
         {0, 1, std::max(0, hmax / 2), std::max(0, hmax), std::max(0, hmax + 1)}) {
        AnalysisState shown = Parameters(c);
        ASSERT_TRUE(ComputeSpectrumExactWhereShown(
            shown, std::min(z, c.n + 1),
            {.kernel = &kernel, .threads = 2, .path = SpectrumPath::DirectSums}));
        FindSpectrumPeak(shown);
        SCOPED_TRACE(testing::Message() << "z = " << z);
        ExpectSameBits(shown.Samples, literal.Samples, "Samples");
        ExpectSameBits(shown.Magnitudes[std::min(z, c.n + 1)],
                       literal.Magnitudes[std::min(z, c.n + 1)], "Magnitudes(z)");
        for (const std::int32_t k : {1, std::min(z, c.n + 1)}) {
            ExpectSameBits(shown.CosCoefficients[k], literal.CosCoefficients[k], "a(k)");
            ExpectSameBits(shown.SinCoefficients[k], literal.SinCoefficients[k], "b(k)");
        }
        ExpectSameBits(shown.SpectrumPeak, literal.SpectrumPeak, "SpectrumPeak");
        ExpectSameBits(shown.SignalPeak, literal.SignalPeak, "SignalPeak");
        ExpectSameBits(shown.MeanValue, literal.MeanValue, "MeanValue");
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, VectorKernels,
                         testing::Combine(testing::Range(std::size_t(0), ::VectorKernels().size()),
                                          testing::ValuesIn(FastCases)),
                         [](const auto &info) {
                             return Identifier(::VectorKernels()[std::get<0>(info.param)].name)
                                 + "_" + FastCaseName(std::get<1>(info.param));
                         });

TEST(ComputeSpectrumByDirectSums, countsTheHarmonicsDone)
{
    TaskControl control;
    AnalysisState s = Parameters({2000, 0.5, 1, 37});
    ASSERT_TRUE(testing_seam::ComputeSpectrumByDirectSums(s, BestVectorKernel(), 2, &control));
    EXPECT_EQ(control.Done(), 37);
}

TEST(ComputeSpectrumByDirectSums, stopsWhenCancelled)
{
    TaskControl control;
    control.Cancel();
    AnalysisState s = Parameters({2000000, 0.5, 1, 1000});
    EXPECT_FALSE(testing_seam::ComputeSpectrumByDirectSums(s, BestVectorKernel(), 2, &control));
    EXPECT_EQ(control.Done(), 0);
}

SpectrumOptions TransformForced(unsigned threads = 2)
{
    return {.kernel = nullptr, .threads = threads, .path = SpectrumPath::Transform};
}

// The shown numbers on the transform path, bit for bit: MeanValue, Samples, SignalPeak, the
// modulus of harmonic z for several z, and the largest modulus.
class TransformPath : public testing::TestWithParam<FastCase>
{
};

TEST_P(TransformPath, showsTheLiteralLoopsNumbersToTheBit)
{
    const FastCase &c = GetParam();
    AnalysisState literal = Literal(c);
    FindSpectrumPeak(literal);
    const std::int32_t hmax = RoundToCount(c.h);
    std::int32_t largestAt = 1;
    for (std::int32_t k = 1; k <= hmax; ++k)
        if (literal.Magnitudes[k] > literal.Magnitudes[largestAt])
            largestAt = k;
    for (const std::int32_t z : {0, 1, 2, std::max(0, hmax / 2), std::max(0, hmax - 1),
                                 std::max(0, hmax), std::max(0, hmax + 1), largestAt}) {
        const std::int32_t shown = std::min(z, c.n + 1);
        SCOPED_TRACE(testing::Message() << "z = " << shown);
        AnalysisState t = Parameters(c);
        t.TargetHarmonic = shown;
        TaskControl control;
        // The analysis as a command runs it: the peak is the one found while reading the bins.
        ASSERT_EQ(RunAnalysis(t, TransformForced(), &control).status,
                  AnalysisOutcome::Status::Done);
        EXPECT_EQ(control.Done(), std::max(0, hmax)) << "harmonics counted";
        ExpectSameBits(t.Samples, literal.Samples, "Samples");
        ExpectSameBits(t.MeanValue, literal.MeanValue, "MeanValue");
        ExpectSameBits(t.SignalPeak, literal.SignalPeak, "SignalPeak");
        ExpectSameBits(t.Magnitudes[shown], literal.Magnitudes[shown], "Magnitudes(z)");
        ExpectSameBits(t.Magnitudes[1], literal.Magnitudes[1], "Magnitudes(1)");
        ExpectSameBits(t.SpectrumPeak, literal.SpectrumPeak, "SpectrumPeak");
    }
}

const FastCase TransformOwnCases[] = {
    FastCase {79, 0.99365907548456722, 0x1p60, 80},
    FastCase {79, 0.99365907548456722, 1e-300, 80},
    FastCase {79, 0.99365907548456722, -3e-160, 80}, // squares near the subnormals
    FastCase {1000, 1, 1, 1001}, // harmonic 1000 reads bin 0: the largest
    FastCase {1000, 0.5, 1e-300, 1001},
    FastCase {1000, 0.5, 0x1p60, 1001},
    FastCase {997, 0.3, 3, 998}, // a prime N
    FastCase {300001, 0.5, -7, 3}, // harmonic 1 summed over rounds of the sampling
    FastCase {100000, 0.5, 10, 1000},
    FastCase {12345, 0.0007, 2, 2000}, // a short pulse: a flat spectrum, many near the largest
    FastCase {33, 0.079775424096381248, 1, 34},
    FastCase {215, 0.012696822406366031, 1, 216},
    FastCase {7, 0.23938528325845554, 1, 8},
    FastCase {999, 0.3, -4, 50.5},
};

// Amplitudes whose moduli overflow the results' range, on the transform path: its reading says
// the results are not all within range, so that the check of the results refuses them, and a
// modulus beyond it is written where that check looks.
TEST(TransformPath, leavesOverflowingModuliToTheRefusal)
{
    const FastCase cases[] = {
        {320, 1, 1.2e154, 320}, // the squares overflow for a few harmonics
        {1000, 0.5, 1e200, 1001},
        {10007, 1, 2e154, 10008}, // padded
        {100000, 0.5, 1e200, 100001}, // every range reaches up to infinity: none summed again
    };
    for (const FastCase &c : cases) {
        SCOPED_TRACE(testing::Message() << "N = " << c.n << ", V = " << c.v);
        AnalysisState t = Parameters(c);
        SpectrumOptions options = TransformForced();
        ResultsFound found;
        found.found = true;
        options.results = &found;
        ASSERT_TRUE(ComputeSpectrumExactWhereShown(t, 0, options));
        EXPECT_FALSE(found.found);
        bool beyond = false;
        for (std::int32_t k = 1; k <= RoundToCount(c.h); ++k)
            beyond = beyond || !UsableResult(t.Magnitudes[k]);
        EXPECT_TRUE(beyond);
    }
}

const std::vector<FastCase> TransformCases = Joined(CommonCases, TransformOwnCases, true);

INSTANTIATE_TEST_SUITE_P(Cases, TransformPath, testing::ValuesIn(TransformCases),
                         [](const auto &info) { return FastCaseName(info.param); });

// Harmonic k's sums as the literal loops form them, for the harmonics of a table too large for
// the whole literal loops.
std::pair<double, double> LiteralSums(const RealArray &s, std::int64_t n, std::int64_t k)
{
    const auto twoK = static_cast<double>(static_cast<std::int32_t>(2 * k));
    const double dn = static_cast<double>(n);
    double cosSum = 0, sinSum = 0;
    for (std::int64_t i = 0; i <= n - 1; ++i)
        cosSum = std::cos(twoK * PI * static_cast<double>(i) / dn) * s[i] + cosSum;
    for (std::int64_t i = 0; i <= n - 1; ++i)
        sinSum = std::sin(twoK * PI * static_cast<double>(i) / dn) * s[i] + sinSum;
    return {cosSum, sinSum};
}

// The bound's ingredients from the literal samples, summed here on their own.
SampleMeasures MeasuresOf(const RealArray &s, std::int64_t n)
{
    SampleMeasures m;
    m.n = n;
    long double squares = 0;
    for (std::int64_t i = 0; i < n; ++i)
        if (s[i] != 0) {
            ++m.terms;
            m.absSum += std::abs(s[i]);
            m.weightedAbsSum += std::abs(s[i]) * double(i) / double(n);
            squares += static_cast<long double>(s[i]) * s[i];
        }
    m.norm = static_cast<double>(std::sqrt(squares));
    return m;
}

// N, D and V; H follows from N.
struct BoundCase
{
    std::int32_t n;
    double d;
    double v;
    PulseShape shape = PulseShape::HalfSine;
};

void PrintTo(const BoundCase &c, std::ostream *out)
{
    PrintTo(FastCase {c.n, c.d, c.v, double(c.n) + 1, c.shape}, out);
}

std::string BoundCaseName(const testing::TestParamInfo<BoundCase> &info)
{
    const BoundCase &c = info.param;
    return FastCaseName({c.n, c.d, c.v, double(c.n) + 1, c.shape});
}

class TransformBound : public testing::TestWithParam<BoundCase>
{
};

// Every coefficient and modulus within the derived bound of the literal loops', up to k = N + 1,
// and the bound small: at most 1e-6 of the largest modulus.
TEST_P(TransformBound, holdsEveryHarmonicUpToNPlusOne)
{
    const BoundCase &c = GetParam();
    const std::int64_t n = c.n;
    AnalysisState t = Parameters({c.n, c.d, c.v, double(n + 1), c.shape});
    ASSERT_TRUE(ComputeSpectrumExactWhereShown(t, 0, TransformForced()));
    const SampleMeasures measures = MeasuresOf(t.Samples, n);
    // The program's own measures, kept with the analysis, which choose what is summed again, are
    // these.
    ASSERT_TRUE(t.Measures);
    const SampleMeasures &measured = *t.Measures;
    EXPECT_EQ(measured.n, measures.n);
    EXPECT_EQ(measured.terms, measures.terms);
    EXPECT_NEAR(measured.absSum, measures.absSum, 1e-12 * measures.absSum);
    EXPECT_NEAR(measured.weightedAbsSum, measures.weightedAbsSum, 1e-12 * measures.absSum);
    EXPECT_NEAR(measured.norm, measures.norm, 1e-12 * measures.norm);
    std::set<std::int64_t> ks;
    for (std::int64_t k = 1; k <= std::min<std::int64_t>(n + 1, 40); ++k)
        ks.insert(k);
    for (std::int64_t k = std::max<std::int64_t>(1, n - 40); k <= n + 1; ++k)
        ks.insert(k);
    for (std::int64_t k = 1; k <= n + 1; k += std::max<std::int64_t>(1, n / 50))
        ks.insert(k);
    double largest = 0;
    for (std::int64_t k = 1; k <= n + 1; ++k)
        largest = std::max(largest, t.Magnitudes[k]);
    double worst = 0; // the largest error over its bound
    for (const std::int64_t k : ks) {
        SCOPED_TRACE(testing::Message() << "k = " << k);
        const auto [cosSum, sinSum] = LiteralSums(t.Samples, n, k);
        const double a = (2 / double(n)) * cosSum;
        const double b = (2 / double(n)) * sinSum;
        const double bound = (2 / double(n)) * SpectrumErrorBound(measures, k);
        ASSERT_LE(std::abs(t.CosCoefficients[k] - a), bound) << "a = " << a;
        ASSERT_LE(std::abs(t.SinCoefficients[k] - b), bound) << "b = " << b;
        const double modulus = std::sqrt(std::pow(b, 2) + std::pow(a, 2));
        ASSERT_LE(std::abs(t.Magnitudes[k] - modulus), std::sqrt(2.0) * bound * (1 + 1e-15));
        worst = std::max({worst, std::abs(t.CosCoefficients[k] - a) / bound,
                          std::abs(t.SinCoefficients[k] - b) / bound});
        ASSERT_LE(bound, 1e-6 * largest);
    }
    RecordProperty("largest_error_over_bound", std::to_string(worst));
}

const BoundCase BoundCases[] = {
    {79, 0.99365907548456722, 1},
    {100, 1, 1},
    {1000, 0.5, 10},
    {1024, 0.25, -3},
    {4099, 0.77, 1},
    {10007, 0.1, 0x1p60},
    {1000, 0.5, 1e-150},
    {30000, 1, 2.5e-7},
    {65536, 0.5, 1},
    {200000, 0.013, 5},
    {1000000, 0.5, 10},
    // padded: a prime, twice a prime, a prime's square, a power of two times 1021
    {999983, 0.5, 10},
    {20014, 0.3, -2},
    {1018081, 0.9, 1},
    {1045504, 0.05, 7},
    // the other shapes: the bound is made of the samples alone, whatever their shape
    {4096, 0.3, 10, PulseShape::Rectangular},
    {1000, 1, 2, PulseShape::Triangular},
    {10007, 0.5, -3, PulseShape::Sawtooth},
    {4099, 0.25, 1, PulseShape::RaisedCosine},
};

INSTANTIATE_TEST_SUITE_P(Cases, TransformBound, testing::ValuesIn(BoundCases), BoundCaseName);

// The README's example of the bound, at N = 1e6, D = 0.5, V = 10: e_k is 4.4e-10 at k = 2 and
// 1.75e-8 at k = N, the largest modulus 6.37.
TEST(TransformBound, isWhatTheReadmeSays)
{
    AnalysisState t = Parameters({1000000, 0.5, 10, 0});
    ComputeSpectrum(t);
    const SampleMeasures measures = MeasuresOf(t.Samples, 1000000);
    EXPECT_NEAR(2e-6 * SpectrumErrorBound(measures, 2), 4.4e-10, 0.05e-10);
    EXPECT_NEAR(2e-6 * SpectrumErrorBound(measures, 1000000), 1.75e-8, 0.005e-8);
    double sum = 0;
    for (std::int64_t i = 0; i < 1000000; ++i)
        sum += t.Samples[i];
    EXPECT_NEAR(2e-6 * sum, 6.37, 0.005); // harmonic N's modulus, 2 |mean|, the largest
}

// Its two examples where the transform's own term is nearly all of the bound: 100 non-zero
// samples in a million, and a prime N that takes the padded transform. The values are the
// README's formula evaluated on its own in Python, the filter's transform by a direct sum.
TEST(TransformBound, isWhatTheReadmeSaysWhereTheTransformsTermLeads)
{
    const struct
    {
        std::int32_t n;
        double d;
        double e2;
    } examples[] = {{1000000, 1e-4, 1.384e-14}, {1021, 0.4, 3.689e-12}};
    for (const auto &example : examples) {
        AnalysisState t = Parameters({example.n, example.d, 10, 0});
        ComputeSpectrum(t);
        const SampleMeasures measures = MeasuresOf(t.Samples, example.n);
        EXPECT_NEAR(2.0 / example.n * SpectrumErrorBound(measures, 2), example.e2,
                    0.001 * example.e2)
            << "N = " << example.n;
    }
}

// Harmonic N reads bin 0, the samples' sum; with one-signed samples at D = 0.5 or so it holds the
// largest modulus (2 |mean|, against V / 2 for harmonic 1). Its modulus, and so the peak, are the
// literal loops' bits, from cosines that are all 1 up to N = 1e6 and from its sums again at
// N = 1e7, where the last angles miss 2 pi i by 4e-8.
class HarmonicN : public testing::TestWithParam<BoundCase>
{
};

TEST_P(HarmonicN, isTheLiteralLoopsLargestModulus)
{
    const BoundCase &c = GetParam();
    const std::int64_t n = c.n;
    AnalysisState t = Parameters({c.n, c.d, c.v, double(n)});
    ASSERT_TRUE(ComputeSpectrumExactWhereShown(t, 0, TransformForced()));
    FindSpectrumPeak(t);
    const auto [cosSum, sinSum] = LiteralSums(t.Samples, n, n);
    const double a = (2 / double(n)) * cosSum;
    const double b = (2 / double(n)) * sinSum;
    const double modulus = std::sqrt(std::pow(b, 2) + std::pow(a, 2));
    ExpectSameBits(t.Magnitudes[n], modulus, "Magnitudes(N)");
    ExpectSameBits(t.SpectrumPeak, modulus, "SpectrumPeak");
}

const BoundCase HarmonicNCases[]
    = {
        {1000000, 0.5, 10},
        {1000000, 0.6, -1}, // the last angle 5.1e-9 from 2 pi i: its cosine still 1
        {100000, 0.5, 3},
        {1000, 0.5, 0x1p60},
        {3000, 0.5, 1e-160}, // squares below the normal range
        {10000000, 0.5, 10}, // summed again
};

INSTANTIATE_TEST_SUITE_P(Cases, HarmonicN, testing::ValuesIn(HarmonicNCases), BoundCaseName);

} // namespace

// A stage as a part of a test name, and as gtest prints it: beside WorkStage, where gtest looks.
static std::string StageName(WorkStage stage)
{
    const char *names[]
        = {"Sampling",       "CopyingSamples", "TransformStarted",    "TransformRunning",
           "TransformEnded", "ExactSums",      "WaitingForTransform", "ReadingBins",
           "SummingAgain"};
    return names[static_cast<int>(stage)];
}

static void PrintTo(WorkStage stage, std::ostream *out)
{
    *out << StageName(stage);
}

namespace {

// Cancels the work as it reaches `cancelAt`; where `hold`, keeps the transform's thread at its
// start until Release(), and hears the transform's start and end.
class CancelAt : public WorkWatcher
{
public:
    CancelAt(WorkStage cancelAt, bool hold) : cancelAt_(cancelAt), hold_(hold) { }

    TaskControl control {*this};

    void Reached(WorkStage stage) override
    {
        if (stage == cancelAt_)
            control.Cancel();
        std::unique_lock<std::mutex> lock(mutex_);
        if (stage == WorkStage::TransformRunning) {
            started_ = true;
            if (hold_)
                changed_.wait(lock, [&] { return released_; });
        }
        if (stage == WorkStage::TransformEnded) {
            ended_ = true;
            changed_.notify_all();
        }
    }

    // Whether the transform has ended, before it was let go.
    bool EndedBeforeRelease()
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        return ended_;
    }
    void Release()
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        released_ = true;
        changed_.notify_all();
    }
    // Waits for the transform's end; whether it had started.
    bool WaitForTheEnd(bool started)
    {
        std::unique_lock<std::mutex> lock(mutex_);
        if (started)
            changed_.wait(lock, [&] { return ended_; });
        return started_;
    }

private:
    const WorkStage cancelAt_;
    const bool hold_;
    std::mutex mutex_;
    std::condition_variable changed_;
    bool started_ = false, released_ = false, ended_ = false;
};

// The transform path cancelled at each of its steps, at a round N and at a prime one (the padded
// transform, whose filter is made while the samples are): it returns false at once, and the
// transform's own thread, which may outlive the analysis, touches only what it holds.
class TransformCancel : public testing::TestWithParam<std::tuple<WorkStage, std::int32_t>>
{
};

TEST_P(TransformCancel, returnsAtOnceAndLeavesTheTransformItsOwnMemory)
{
    const auto [cancelAt, n] = GetParam();
    // Up to the wait for it, the transform's thread is held until the analysis has returned and
    // its memory is freed: the analysis must not wait for it.
    const bool held = cancelAt == WorkStage::TransformStarted
        || cancelAt == WorkStage::TransformRunning || cancelAt == WorkStage::ExactSums
        || cancelAt == WorkStage::WaitingForTransform;
    CancelAt watcher(cancelAt, held);
    {
        auto analysis = std::make_unique<AnalysisState>(Parameters({n, 0.5, 1, 2000}));
        EXPECT_FALSE(
            ComputeSpectrumExactWhereShown(*analysis, 7, TransformForced(), &watcher.control));
        if (cancelAt != WorkStage::SummingAgain) { // every harmonic is read by then
            EXPECT_LT(watcher.control.Done(), 2000);
        }
    } // the analysis's arrays are freed here
    if (held) {
        EXPECT_FALSE(watcher.EndedBeforeRelease()) << "the analysis waited for its transform";
    }
    watcher.Release();
    // The transform's thread is started before the worker says TransformStarted; wait for its end
    // where it was started at all.
    const bool transformStarted
        = cancelAt != WorkStage::Sampling && cancelAt != WorkStage::CopyingSamples;
    EXPECT_EQ(watcher.WaitForTheEnd(transformStarted), transformStarted);
}

INSTANTIATE_TEST_SUITE_P(
    Stages, TransformCancel,
    testing::Combine(testing::Values(WorkStage::Sampling, WorkStage::CopyingSamples,
                                     WorkStage::TransformStarted, WorkStage::TransformRunning,
                                     WorkStage::TransformEnded, WorkStage::ExactSums,
                                     WorkStage::WaitingForTransform, WorkStage::ReadingBins,
                                     WorkStage::SummingAgain),
                     testing::Values(50000, 49999)),
    [](const auto &info) {
        return StageName(std::get<0>(info.param)) + "_N_" + std::to_string(std::get<1>(info.param));
    });

// The rule's two sides: the defaults keep the direct sums; a whole spectrum takes the transform,
// with its buffers (N reals, N / 2 + 1 complex bins) as the workspace.
struct PathChoice
{
    std::int64_t n;
    double d;
    double h;
    SpectrumPath path;
    std::uint64_t padding = 0; // the padded transform's size, where N takes it
};

void PrintTo(const PathChoice &c, std::ostream *out)
{
    *out << "N = " << c.n << ", D = " << c.d << ", H = " << c.h;
}

class CheaperPathChoice : public testing::TestWithParam<PathChoice>
{
};

TEST_P(CheaperPathChoice, isTheRulesAndTakesTheTransformsBuffers)
{
    const PathChoice &c = GetParam();
    EXPECT_EQ(CheaperPath(c.n, c.d, c.h), c.path);
    // the padded transform's work buffer and filter beside the reals and the bins
    const std::uint64_t buffers
        = std::uint64_t(c.n) * 8 + std::uint64_t(c.n / 2 + 1) * 16 + 2 * c.padding * 16;
    EXPECT_EQ(SpectrumWorkspaceBytes(c.n, c.d, c.h),
              c.path == SpectrumPath::Transform ? buffers : 0u);
}

const PathChoice PathChoices[] = {
    {10000, 0.5, 10, SpectrumPath::DirectSums}, // the defaults
    {1000, 0.5, 100, SpectrumPath::DirectSums},
    {100000, 0.5, 100000, SpectrumPath::Transform},
    {1000000, 0.5, 1000000, SpectrumPath::Transform},
    {100000000, 0.5, 100, SpectrumPath::Transform},
    {100000, 0.5, 0, SpectrumPath::DirectSums}, // no harmonic
    // N's factors: a factor of 17 costs the transform more than a power of two does; a prime and
    // a product of two primes take the padded transform, about 20 times the round N's work
    {1048576, 0.5, 4, SpectrumPath::Transform},
    {17 * 65536, 0.5, 4, SpectrumPath::DirectSums},
    {17 * 65536, 0.5, 10, SpectrumPath::Transform},
    {1000000, 0.5, 30, SpectrumPath::Transform},
    {999983, 0.5, 30, SpectrumPath::DirectSums},
    {999983, 0.5, 100, SpectrumPath::Transform, 1 << 21},
    {3109 * 3217, 0.5, 30, SpectrumPath::DirectSums},
    {3109 * 3217, 0.5, 100, SpectrumPath::Transform, 1 << 24},
    {3109 * 3217, 0.05, 100, SpectrumPath::DirectSums}, // a tenth of the pulse samples
};

INSTANTIATE_TEST_SUITE_P(Sizes, CheaperPathChoice, testing::ValuesIn(PathChoices),
                         [](const auto &info) {
                             return "N_" + std::to_string(info.param.n) + "_D_"
                                 + SpelledOut(info.param.d) + "_H_" + SpelledOut(info.param.h);
                         });

// The widest kernel the processor runs, asked unit by unit; AVX2's kernel needs FMA as well.
struct KernelChoice
{
    const char *processor;
    ProcessorFeatures features;
    const char *kernel;
};

void PrintTo(const KernelChoice &c, std::ostream *out)
{
    *out << c.processor;
}

class ChosenKernel : public testing::TestWithParam<KernelChoice>
{
};

TEST_P(ChosenKernel, isTheWidestTheProcessorRuns)
{
#if SPETTRO_VECTOR_KERNELS
    EXPECT_STREQ(BestVectorKernel(GetParam().features).name, GetParam().kernel);
#else
    // Built without SLEEF: the C library's sine and cosine on every processor.
    EXPECT_STREQ(BestVectorKernel(GetParam().features).name, ExactKernel().name);
#endif
}

#if defined(__x86_64__) || defined(__i386__)
const KernelChoice KernelChoices[] = {
    {"AVX-512", {true, true, true, true, true}, "AVX-512F"},
    {"AVX2 and FMA", {false, true, true, true, true}, "AVX2+FMA"},
    {"AVX2 without FMA", {false, true, false, true, true}, "AVX"},
    {"AVX", {false, false, false, true, true}, "AVX"},
    {"SSE2", {false, false, false, false, true}, "SSE2"},
    {"no vector unit", {}, "scalar"},
};
#else
const KernelChoice KernelChoices[] = {
    {"no vector unit", {}, "scalar"},
};
#endif

INSTANTIATE_TEST_SUITE_P(Processors, ChosenKernel, testing::ValuesIn(KernelChoices),
                         [](const auto &info) { return Identifier(info.param.processor); });

TEST(ChosenKernel, onThisProcessorIsTheWidestItRuns)
{
    EXPECT_EQ(&BestVectorKernel(), &BestVectorKernel(ThisProcessor()));
    EXPECT_TRUE(BestVectorKernel().supported());
}

} // namespace
