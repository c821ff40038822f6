// The fast computation against the literal one: the exact kernel bit for bit, each vector kernel
// within a relative 1e-15 of the largest modulus, and every number the program shows to the bit.
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
        ASSERT_TRUE(ComputeSpectrumFast(fast, ExactKernel(), threads));
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

const FastCase FastCases[] = {
    FastCase {10000, 0.5, 10, 10},
    FastCase {5, 0.5, 1, 6}, // N D = 2.5
    FastCase {7, 0.5, 1, 8}, // N D = 3.5
    FastCase {10, 0.37, 3, 11}, // N D = 3.7
    FastCase {1000, 1, 2, 40}, // D = 1
    FastCase {999, 0.3, -4, 50}, // negative V
    FastCase {4096, 0.25, 1e-3, 4097}, // every harmonic up to N + 1
    FastCase {100000, 0.013, 7, 3},
    FastCase {300, 0.9, 5, 0},
    FastCase {300, 0.9, 5, -2},
    FastCase {1, 1, 1, 2},
    FastCase {2, 0.5, 1, 3},
    FastCase {1000, 0.5, 0, 5}, // a silent signal
    FastCase {20, -0.05, 1, 4}, // a small negative duty cycle: all zero
    FastCase {200000, 0.77, 1e-300, 7},
    FastCase {79, 0.99365907548456722, 1, 80}, // harmonic 1 is not the largest
    FastCase {8, 0.16707, 0x1p60, 9}, // nor here, moduli near 2^60 and nearly tied
};

INSTANTIATE_TEST_SUITE_P(Sizes, FastPaths, testing::ValuesIn(FastCases),
                         [](const auto &info) { return FastCaseName(info.param); });

// Each vector kernel, on the processors that have its unit: its moduli within 1e-15 of the
// largest, and, summed as the program sums them, every number shown to the bit.
class VectorKernels : public testing::TestWithParam<std::tuple<std::size_t, FastCase>>
{
};

TEST_P(VectorKernels, agreeWithTheLiteralLoopsAndShowTheirNumbersExactly)
{
    const SpectrumKernel &kernel = ::VectorKernels()[std::get<0>(GetParam())];
    const FastCase &c = std::get<1>(GetParam());
    if (!kernel.supported())
        GTEST_SKIP() << "this processor has no " << kernel.name;
    AnalysisState literal = Literal(c);
    FindSpectrumPeak(literal);
    AnalysisState vectorised = Parameters(c);
    ASSERT_TRUE(ComputeSpectrumFast(vectorised, kernel, 2));
    for (std::size_t k = 0; k < literal.Magnitudes.size(); ++k)
        ASSERT_LE(std::abs(vectorised.Magnitudes[k] - literal.Magnitudes[k]),
                  1e-15 * literal.SpectrumPeak)
            << "k = " << k;
    ExpectSameBits(vectorised.Samples, literal.Samples, "Samples");
    ExpectSameBits(vectorised.MeanValue, literal.MeanValue, "MeanValue");

    const std::int32_t hmax = RoundToCount(c.h);
    for (const std::int32_t z :
         {0, 1, std::max(0, hmax / 2), std::max(0, hmax), std::max(0, hmax + 1)}) {
        AnalysisState shown = Parameters(c);
        ASSERT_TRUE(ComputeSpectrumShown(shown, std::min(z, c.n + 1), kernel, 2));
        FindSpectrumPeak(shown);
        SCOPED_TRACE(testing::Message() << "z = " << z);
        ExpectSameBits(shown.Magnitudes[std::min(z, c.n + 1)],
                       literal.Magnitudes[std::min(z, c.n + 1)], "Magnitudes(z)");
        ExpectSameBits(shown.SpectrumPeak, literal.SpectrumPeak, "SpectrumPeak");
        ExpectSameBits(shown.SignalPeak, literal.SignalPeak, "SignalPeak");
        ExpectSameBits(shown.MeanValue, literal.MeanValue, "MeanValue");
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, VectorKernels,
                         testing::Combine(testing::Range(std::size_t(0), ::VectorKernels().size()),
                                          testing::ValuesIn(FastCases)),
                         [](const auto &info) {
                             std::string name = ::VectorKernels()[std::get<0>(info.param)].name;
                             for (char &c : name)
                                 if (!std::isalnum(static_cast<unsigned char>(c)))
                                     c = '_';
                             return name + "_" + FastCaseName(std::get<1>(info.param));
                         });

TEST(ComputeSpectrumFast, countsTheHarmonicsDone)
{
    TaskControl control;
    AnalysisState s = Parameters({2000, 0.5, 1, 37});
    ASSERT_TRUE(ComputeSpectrumFast(s, BestVectorKernel(), 2, &control));
    EXPECT_EQ(control.Done(), 37);
}

TEST(ComputeSpectrumFast, stopsWhenCancelled)
{
    TaskControl control;
    control.Cancel();
    AnalysisState s = Parameters({2000000, 0.5, 1, 1000});
    EXPECT_FALSE(ComputeSpectrumFast(s, BestVectorKernel(), 2, &control));
    EXPECT_EQ(control.Done(), 0);
}

} // namespace

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
    EXPECT_STREQ(BestVectorKernel(GetParam().features).name, GetParam().kernel);
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
                         [](const auto &info) {
                             std::string name = info.param.processor;
                             for (char &c : name)
                                 if (!std::isalnum(static_cast<unsigned char>(c)))
                                     c = '_';
                             return name;
                         });

TEST(ChosenKernel, onThisProcessorIsTheWidestItRuns)
{
    EXPECT_EQ(&BestVectorKernel(), &BestVectorKernel(ThisProcessor()));
    EXPECT_TRUE(BestVectorKernel().supported());
}
