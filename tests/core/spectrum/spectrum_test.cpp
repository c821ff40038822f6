// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The computation against the closed form of the half-sine train's spectrum, and the sampling
// rules at the pulse's ends.
#include "core/spectrum/spectrum.h"
#include "tests/support/analysed.h"
#include "tests/support/case_names.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <limits>
#include <map>
#include <numbers>
#include <sstream>

namespace {

using std::numbers::pi;

// How far the C library's sine may stray near a multiple of pi, absolutely, per unit of the
// amplitude: glibc's is exact to a unit in the last place there too; MinGW-w64's reduces the
// argument with the x87 unit's 66-bit pi, which leaves about 4e-21 at PI itself. The sums over
// thousands of samples gather its errors into the moduli that should vanish.
#ifdef _WIN32
constexpr double SineNearPiError = 1e-20;
constexpr double VanishingModulusError = 1e-16;
#else
constexpr double SineNearPiError = 0;
constexpr double VanishingModulusError = 0;
#endif

// sin(pi - e) = sin(e) for the small e between the true pi and PI, which is the gap between
// PI and the double nearest pi plus sin of that double.
double SinOfPI()
{
    return (pi - PI) + std::sin(pi);
}

// Fourier series of a train of half-sines of peak V lasting D of each period.
double ClosedFormMean(double v, double d)
{
    return 2 * v * d / pi;
}

double ClosedFormMagnitude(double v, double d, int k)
{
    const double u = 2 * k * d;
    if (std::abs(1 - u * u) < 1e-12)
        return std::abs(v) * d;
    return 4 * std::abs(v) * d / pi * std::abs(std::cos(pi * k * d)) / std::abs(1 - u * u);
}

struct ClosedFormCase
{
    double v;
    double d;
    std::int32_t n; // n * d is whole: both pulse ends fall on samples
    int h;
};

void PrintTo(const ClosedFormCase &c, std::ostream *out)
{
    *out << "V = " << c.v << ", D = " << c.d << ", N = " << c.n << ", H = " << c.h;
}

class ClosedForm : public testing::TestWithParam<ClosedFormCase>
{
};

// The sums are the rectangle rule for the Fourier integrals. With both ends of the pulse on
// samples, the integrand s(t)cos(2 pi k t) is smooth but for kinks of slope jump at most
// pi |V| / D at t = 0 and t = D, so by Euler-Maclaurin each integral is off by at most
// 2 (1/N)^2 / 12 * pi |V| / D, a coefficient (twice the integral) by a third of pi |V| / (D N^2),
// and a modulus by sqrt(2) times that. Half of pi |V| / (D N^2) bounds it; the truncated PI adds
// errors near 1e-14 |V|.
double Tolerance(const ClosedFormCase &c)
{
    return 0.5 * pi * std::abs(c.v) / (c.d * double(c.n) * c.n) + 1e-13 * std::abs(c.v);
}

TEST_P(ClosedForm, meanValueAndMagnitudesMatchTheFourierSeries)
{
    const ClosedFormCase c = GetParam();
    const AnalysisState s = Analysed(c.v, c.d, c.n, c.h);
    const double tolerance = Tolerance(c);
    EXPECT_NEAR(s.MeanValue, ClosedFormMean(c.v, c.d), tolerance);
    for (int k = 1; k <= c.h; ++k)
        EXPECT_NEAR(s.Magnitudes[k], ClosedFormMagnitude(c.v, c.d, k), tolerance) << "k = " << k;
}

INSTANTIATE_TEST_SUITE_P(Spectra, ClosedForm,
                         testing::Values(ClosedFormCase {10, 0.5, 10000, 10},
                                         ClosedFormCase {1, 0.25, 4000, 8},
                                         ClosedFormCase {-3, 1, 1000, 5},
                                         ClosedFormCase {2, 0.1, 20000, 12}, // 2kD = 1 at k = 5
                                         ClosedFormCase {0.5, 0.75, 800, 20}),
                         [](const auto &info) {
                             const ClosedFormCase &c = info.param;
                             return "V_" + SpelledOut(c.v) + "_D_" + SpelledOut(c.d) + "_N_"
                                 + std::to_string(c.n) + "_H_" + std::to_string(c.h);
                         });

TEST(ComputeSpectrum, defaultParametersGiveTheKnownSpectrum)
{
    const AnalysisState s = Analysed(10, 0.5, 10000, 10);
    EXPECT_NEAR(s.MeanValue, 3.1830988, 1e-7);
    const std::pair<int, double> even[] = {{1, 5.0},        {2, 2.1220661},  {4, 0.42441339},
                                           {6, 0.18189157}, {8, 0.10105097}, {10, 0.064305237}};
    for (const auto &[k, modulus] : even)
        EXPECT_NEAR(s.Magnitudes[k], modulus, 1e-7) << "k = " << k;
    for (int k : {3, 5, 7, 9})
        EXPECT_LT(s.Magnitudes[k], 1e-13) << "k = " << k;
    EXPECT_EQ(s.SignalPeak, 10);
    EXPECT_EQ(s.Samples[2500], 10);
    // The pulse's last sample is 10 sin(PI), not 0, because PI is short of pi.
    EXPECT_NEAR(s.Samples[5000], 10 * SinOfPI(), 1e-28 + 10 * SineNearPiError);
    EXPECT_GT(s.Samples[5000], 0);
    for (int i = 5001; i <= 10001; ++i)
        ASSERT_EQ(s.Samples[i], 0) << "i = " << i;
}

struct SamplesCase
{
    const char *name;
    std::int32_t n;
    double d;
    std::vector<double> expected; // indexes 0 to N + 1
};

void PrintTo(const SamplesCase &c, std::ostream *out)
{
    *out << c.name;
}

class PulseEnds : public testing::TestWithParam<SamplesCase>
{
};

TEST_P(PulseEnds, samplesFollowThePulseAndClearingRules)
{
    const SamplesCase &c = GetParam();
    const AnalysisState s = Analysed(1, c.d, c.n, 1);
    ASSERT_EQ(s.Samples.size(), c.expected.size());
    for (std::size_t i = 0; i < c.expected.size(); ++i)
        EXPECT_NEAR(s.Samples[i], c.expected[i], 1e-13) << c.name << ", i = " << i;
}

// Expected values from sin(pi i / (N D)) with the true pi.
INSTANTIATE_TEST_SUITE_P(
    Samples, PulseEnds,
    testing::Values(
        // The last pulse sample is sin(pi) = 0 but for PI's shortfall.
        SamplesCase {"N=4 D=0.5", 4, 0.5, {0, 1, 0, 0, 0, 0}},
        // N D = 2.5: the pulse covers 0 to 2, clearing starts at 4, s(3) is written by neither.
        SamplesCase {
            "N=5 D=0.5", 5, 0.5, {0, std::sin(pi / 2.5), std::sin(2 * pi / 2.5), 0, 0, 0, 0}},
        // N D = 3.5: s(4) is written negative, then cleared.
        SamplesCase {
            "N=7 D=0.5",
            7,
            0.5,
            {0, std::sin(pi / 3.5), std::sin(2 * pi / 3.5), std::sin(3 * pi / 3.5), 0, 0, 0, 0, 0}},
        // N D = 3.7: s(4) is written negative and stays.
        SamplesCase {"N=10 D=0.37",
                     10,
                     0.37,
                     {0, std::sin(pi / 3.7), std::sin(2 * pi / 3.7), std::sin(3 * pi / 3.7),
                      std::sin(4 * pi / 3.7), 0, 0, 0, 0, 0, 0, 0}},
        // D = 1: s(N) is 0 although the pulse wrote sin(PI) there.
        SamplesCase {"N=4 D=1", 4, 1, {0, std::sin(pi / 4), 1, std::sin(3 * pi / 4), 0, 0}}),
    NamedAfterItsCase());

TEST(ComputeSpectrum, shortPulseCaseHasTheDocumentedValues)
{
    const AnalysisState n4 = Analysed(1, 0.5, 4, 2);
    EXPECT_NEAR(n4.Samples[2], SinOfPI(), 1e-29 + SineNearPiError);
    EXPECT_NEAR(n4.MeanValue, 0.25, 1e-14);
    EXPECT_NEAR(n4.Magnitudes[1], 0.5, 1e-14);
    EXPECT_NEAR(n4.Magnitudes[2], 0.5, 1e-14);
    EXPECT_EQ(n4.SignalPeak, 1);

    const AnalysisState n10 = Analysed(2, 0.37, 10, 1);
    EXPECT_NEAR(n10.Samples[4], -0.25198 * 2, 1e-5);
    EXPECT_NEAR(n10.SignalPeak, 0.99190 * 2, 1e-5);
}

TEST(ComputeSpectrum, arraysHoldNPlusTwoZeroedElementsAndNothingFromTheLastRun)
{
    AnalysisState s = Analysed(1, 0.5, 10, 5);
    ASSERT_GT(s.Magnitudes[5], 0);
    s.HarmonicCount = 2;
    s.SampleCount = 12;
    ComputeSpectrum(s);
    for (const auto *array : {&s.Samples, &s.Magnitudes, &s.CosCoefficients, &s.SinCoefficients})
        EXPECT_EQ(array->size(), 14u);
    for (int k = 3; k <= 13; ++k) {
        EXPECT_EQ(s.Magnitudes[k], 0) << "k = " << k;
        EXPECT_EQ(s.CosCoefficients[k], 0) << "k = " << k;
        EXPECT_EQ(s.SinCoefficients[k], 0) << "k = " << k;
    }
    EXPECT_EQ(s.Magnitudes[0], 0);
}

TEST(ComputeSpectrum, harmonicCountIsRoundedHalvesToEven)
{
    const std::pair<double, int> cases[] = {{10.5, 10}, {11.5, 12}, {0.5, 0}, {0, 0}, {-3, 0}};
    for (const auto &[h, computed] : cases) {
        const AnalysisState s = Analysed(1, 0.5, 100, h);
        for (int k = 1; k <= 13; ++k)
            EXPECT_EQ(s.Magnitudes[k] != 0, k <= computed) << "H = " << h << ", k = " << k;
    }
}

TEST(ComputeSpectrum, allHarmonicsUpToNPlusOneAreComputed)
{
    const AnalysisState s = Analysed(1, 0.5, 8, 9);
    // Harmonics k and N + k share their samples of cosine and sine.
    EXPECT_NEAR(s.Magnitudes[9], s.Magnitudes[1], 1e-13);
    EXPECT_GT(s.Magnitudes[9], 0.1);
}

TEST(ComputeSpectrum, negativeAmplitudeMirrorsTheSignalAndKeepsTheModuli)
{
    const AnalysisState positive = Analysed(4, 0.3, 1000, 6);
    const AnalysisState negative = Analysed(-4, 0.3, 1000, 6);
    for (int i = 0; i <= 1001; ++i)
        ASSERT_EQ(negative.Samples[i], -positive.Samples[i]) << "i = " << i;
    EXPECT_EQ(negative.MeanValue, -positive.MeanValue);
    for (int k = 1; k <= 6; ++k)
        EXPECT_EQ(negative.Magnitudes[k], positive.Magnitudes[k]) << "k = " << k;
    EXPECT_EQ(negative.SignalPeak, positive.SignalPeak);
    EXPECT_FALSE(std::signbit(negative.SignalPeak));
}

TEST(ComputeSpectrum, leavesTheSpectrumPeakAndKeepsTheLastHarmonicsSums)
{
    AnalysisState s;
    s.Amplitude = 1;
    s.DutyCycle = 0.5;
    s.SampleCount = 100;
    s.HarmonicCount = 3;
    s.SpectrumPeak = 123;
    ComputeSpectrum(s);
    EXPECT_EQ(s.SpectrumPeak, 123);
    EXPECT_NE(s.SinSum, 0);
    EXPECT_EQ((2.0 / 100) * s.CosSum, s.CosCoefficients[3]);
    EXPECT_EQ((2.0 / 100) * s.SinSum, s.SinCoefficients[3]);
}

TEST(ComputeSpectrum, smallNegativeDutyCycleGivesASilentSignal)
{
    const AnalysisState s = Analysed(5, -0.1, 10, 3); // N D = -1 still clears from index 0
    for (double sample : s.Samples)
        EXPECT_EQ(sample, 0);
    EXPECT_EQ(s.SignalPeak, 0);
}

TEST(FindSpectrumPeak, findsTheLargestComputedModulus)
{
    AnalysisState s = Analysed(10, 0.5, 10000, 10);
    FindSpectrumPeak(s);
    EXPECT_NEAR(s.SpectrumPeak, 5.0, 1e-7);

    AnalysisState small = Analysed(1, 0.1, 1000, 8);
    FindSpectrumPeak(small);
    double largest = 0;
    for (int k = 1; k <= 8; ++k)
        largest = std::max(largest, ClosedFormMagnitude(1, 0.1, k));
    EXPECT_NEAR(small.SpectrumPeak, largest, 1e-5);

    AnalysisState none = Analysed(1, 0.5, 10, 0);
    none.SpectrumPeak = 9;
    FindSpectrumPeak(none);
    EXPECT_EQ(none.SpectrumPeak, 0);
}

TEST(FindSignalPeak, isZeroBeforeAnyAnalysis)
{
    AnalysisState s;
    s.SignalPeak = 3;
    s.SpectrumPeak = 3;
    FindSignalPeak(s);
    FindSpectrumPeak(s);
    EXPECT_EQ(s.SignalPeak, 0);
    EXPECT_EQ(s.SpectrumPeak, 0);
}

// Values of the definition evaluated apart, in another language, by
// tools/reference/spectrum_reference.py: the same double operations, with sine and cosine taken
// to 40 digits and PI read from its decimal text. They pin what the closed form cannot: the
// samples at the pulse's end, V sin(PI), and the rounding-noise moduli, which change with PI's
// last digit whichever way the computation takes it.
TEST(ComputeSpectrum, matchesAnIndependentEvaluationOfTheDefinition)
{
    std::ifstream file(SPETTRO_SOURCE_DIR "/tests/core/data/spectrum_reference.txt");
    ASSERT_TRUE(file);
    std::map<std::string, AnalysisState> analyses;
    int compared = 0;
    for (std::string line; std::getline(file, line);) {
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream in(line);
        std::int32_t n;
        double d, v, h;
        std::string quantity, hex;
        std::size_t index;
        in >> n >> d >> v >> h >> quantity >> index >> hex;
        ASSERT_TRUE(in) << line;
        const double expected = std::strtod(hex.c_str(), nullptr);
        const std::string key = line.substr(0, line.find(quantity));
        if (!analyses.count(key))
            analyses[key] = Analysed(v, d, n, h);
        const AnalysisState &s = analyses[key];
        const double actual = quantity == "Samples" ? s.Samples.at(index)
            : quantity == "Magnitudes"              ? s.Magnitudes.at(index)
            : quantity == "MeanValue"               ? s.MeanValue
                                                    : s.SignalPeak;
        // Here every value agrees to the bit. The tolerance leaves room for a C library whose
        // sine or cosine is one unit in the last place off for a rare argument, and none for a
        // change of PI's last digit, which moves nine of these values far beyond it.
        EXPECT_NEAR(actual, expected,
                    (1e-17 + VanishingModulusError) * std::abs(v) + 1e-13 * std::abs(expected))
            << line;
        ++compared;
    }
    EXPECT_GT(compared, 100);
}

TEST(RoundToCount, roundsHalvesToTheEvenNeighbour)
{
    const std::pair<double, std::int32_t> cases[] = {{2.5, 2},
                                                     {3.5, 4},
                                                     {-0.5, 0},
                                                     {10.5, 10},
                                                     {11.5, 12},
                                                     {-2.5, -2},
                                                     {1.49, 1},
                                                     {1.51, 2},
                                                     {-1.51, -2},
                                                     {0.0, 0},
                                                     {2147483646.5, 2147483646},
                                                     {-2147483648.4, -2147483647 - 1}};
    for (const auto &[value, count] : cases)
        EXPECT_EQ(RoundToCount(value), count) << value;
}

TEST(RoundToCount, refusesValuesBeyondTheThirtyTwoBitRange)
{
    for (double value : {2147483647.5, -2147483648.6, 1e10, -1e10, HUGE_VAL, -HUGE_VAL,
                         std::numeric_limits<double>::quiet_NaN()})
        EXPECT_FALSE(TryRoundToCount(value).has_value()) << value;
    EXPECT_EQ(TryRoundToCount(2147483647.4), 2147483647);
}

} // namespace
