// The fast computation against the literal one: the exact path bit for bit, the vectorised path
// within a relative 1e-15 of the largest modulus.
#include "core/spectrum.h"
#include "core/spectrum_fast.h"
#include "tests/support/case_names.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstring>

namespace {

struct FastCase
{
    std::int32_t n;
    double d;
    double v;
    double h;
};

std::string FastCaseName(const FastCase &c)
{
    return "N_" + std::to_string(c.n) + "_D_" + SpelledOut(c.d) + "_V_" + SpelledOut(c.v) + "_H_"
        + SpelledOut(c.h);
}

void PrintTo(const FastCase &c, std::ostream *out)
{
    *out << "N = " << c.n << ", D = " << c.d << ", V = " << c.v << ", H = " << c.h;
}

AnalysisState Parameters(const FastCase &c)
{
    AnalysisState s;
    s.SampleCount = c.n;
    s.DutyCycle = c.d;
    s.Amplitude = c.v;
    s.HarmonicCount = c.h;
    return s;
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
        ASSERT_TRUE(ComputeSpectrumFast(fast, SpectrumPath::Exact, threads));
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

TEST_P(FastPaths, vectorisedPathAgreesWithTheExactOne)
{
    AnalysisState exact = Parameters(GetParam());
    AnalysisState vectorised = Parameters(GetParam());
    ASSERT_TRUE(ComputeSpectrumFast(exact, SpectrumPath::Exact, 2));
    ASSERT_TRUE(ComputeSpectrumFast(vectorised, SpectrumPath::Vectorised, 2));
    double largest = 0;
    for (double m : exact.Magnitudes)
        largest = std::max(largest, m);
    for (std::size_t k = 0; k < exact.Magnitudes.size(); ++k)
        EXPECT_LE(std::abs(vectorised.Magnitudes[k] - exact.Magnitudes[k]), 1e-15 * largest)
            << "k = " << k;
    ExpectSameBits(vectorised.Samples, exact.Samples, "Samples");
    ExpectSameBits(vectorised.MeanValue, exact.MeanValue, "MeanValue");
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, FastPaths,
    testing::Values(FastCase {10000, 0.5, 10, 10}, FastCase {5, 0.5, 1, 6}, // N D = 2.5
                    FastCase {7, 0.5, 1, 8}, // N D = 3.5
                    FastCase {10, 0.37, 3, 11}, // N D = 3.7
                    FastCase {1000, 1, 2, 40}, // D = 1
                    FastCase {999, 0.3, -4, 50}, // negative V
                    FastCase {4096, 0.25, 1e-3, 4097}, // every harmonic up to N + 1
                    FastCase {100000, 0.013, 7, 3}, FastCase {300, 0.9, 5, 0},
                    FastCase {300, 0.9, 5, -2}, FastCase {1, 1, 1, 2}, FastCase {2, 0.5, 1, 3},
                    FastCase {1000, 0.5, 0, 5}, // a silent signal
                    FastCase {20, -0.05, 1, 4}, // a small negative duty cycle: all zero
                    FastCase {200000, 0.77, 1e-300, 7}),
    [](const auto &info) { return FastCaseName(info.param); });

TEST(ComputeSpectrumFast, countsTheHarmonicsDone)
{
    SpectrumControl control;
    AnalysisState s = Parameters({2000, 0.5, 1, 37});
    ASSERT_TRUE(ComputeSpectrumFast(s, SpectrumPath::Vectorised, 2, &control));
    EXPECT_EQ(control.HarmonicsDone(), 37);
}

TEST(ComputeSpectrumFast, stopsWhenCancelled)
{
    SpectrumControl control;
    control.Cancel();
    AnalysisState s = Parameters({2000000, 0.5, 1, 1000});
    EXPECT_FALSE(ComputeSpectrumFast(s, SpectrumPath::Vectorised, 2, &control));
    EXPECT_EQ(control.HarmonicsDone(), 0);
}

} // namespace
