// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The computation against the closed form of each pulse train's spectrum, and the sampling rules
// at the pulse's ends.
#include "core/spectrum/spectrum.h"
#include "tests/support/analysed.h"
#include "tests/support/case_names.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
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

// Fourier series of a train of pulses of peak V lasting D of each period, shape by shape.
double ClosedFormMean(PulseShape shape, double v, double d)
{
    return shape == PulseShape::HalfSine   ? 2 * v * d / pi
        : shape == PulseShape::Rectangular ? v * d
                                           : v * d / 2;
}

double Sinc(double x)
{
    return x == 0 ? 1 : std::sin(pi * x) / (pi * x);
}

double ClosedFormMagnitude(PulseShape shape, double v, double d, int k)
{
    const double x = k * d;
    switch (shape) {
    case PulseShape::HalfSine: {
        const double u = 2 * x;
        if (std::abs(1 - u * u) < 1e-12)
            return std::abs(v) * d;
        return 4 * std::abs(v) * d / pi * std::abs(std::cos(pi * x)) / std::abs(1 - u * u);
    }
    case PulseShape::Rectangular:
        return 2 * std::abs(v) / (pi * k) * std::abs(std::sin(pi * x));
    case PulseShape::Triangular:
        return std::abs(v) * d * Sinc(x / 2) * Sinc(x / 2);
    case PulseShape::Sawtooth: {
        // (2 / T) |integral of (V t / Ti) e^(-2 pi i k t / T) over the pulse|, by parts.
        const double theta = 2 * pi * x;
        const std::complex<double> j(0, 1);
        return 2 * std::abs(v) * d * std::abs((1.0 + j * theta) * std::exp(-j * theta) - 1.0)
            / (theta * theta);
    }
    case PulseShape::RaisedCosine:
        if (std::abs(1 - x * x) < 1e-12)
            return std::abs(v) * d / 2;
        return std::abs(v) * d * std::abs(Sinc(x)) / std::abs(1 - x * x);
    }
    return 0;
}

// One period's jumps per unit of V: the sum of the slope's jumps, in V per Ti, and of the
// value's, with the next pulse joined on where D = 1.
struct Jumps
{
    double slope;
    double value;
};

Jumps JumpsOf(PulseShape shape, bool joined)
{
    switch (shape) {
    case PulseShape::HalfSine:
        return {2 * pi, 0};
    case PulseShape::Rectangular:
        return {0, joined ? 0.0 : 2.0};
    case PulseShape::Triangular:
        return {8, 0};
    case PulseShape::Sawtooth:
        return {joined ? 0.0 : 2.0, 1};
    case PulseShape::RaisedCosine:
        return {0, 0};
    }
    return {};
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

class ClosedForm : public testing::TestWithParam<std::tuple<PulseShape, ClosedFormCase>>
{
};

// The sums are the trapezoid rule for the Fourier integrals: at a jump the sample is the middle
// of its sides. With both ends of the pulse on samples, by Euler-Maclaurin the integral of
// s(t) cos(2 pi k t / T) / T is off by (1 / N)^2 / 12 times the jumps of its slope, which are
// s's slope jumps and 2 pi k times its value jumps; a coefficient (twice the integral) by twice
// that and a modulus by sqrt(2) times that: a quarter of the jumps over N^2 bounds it. The
// raised cosine's slope is continuous: the next term, (1 / N)^4 / 720 times the jumps of the
// third derivative, 3 (2 pi k) V (2 pi / D)^2 / 2 at each end, bounds it by 3 k V / (D^2 N^4).
// The truncated PI adds errors near 1e-14 |V|.
double Tolerance(PulseShape shape, const ClosedFormCase &c, int k)
{
    const double n2 = double(c.n) * c.n, v = std::abs(c.v);
    const Jumps jumps = JumpsOf(shape, c.d == 1);
    const double fourth = shape == PulseShape::RaisedCosine ? 3 * k * v / (c.d * c.d * n2 * n2) : 0;
    return 0.25 * (jumps.slope * v / c.d + 2 * pi * k * jumps.value * v) / n2 + fourth + 1e-13 * v;
}

TEST_P(ClosedForm, meanValueAndMagnitudesMatchTheFourierSeries)
{
    const auto &[shape, c] = GetParam();
    const AnalysisState s = Analysed(c.v, c.d, c.n, c.h, shape);
    EXPECT_NEAR(s.MeanValue, ClosedFormMean(shape, c.v, c.d), Tolerance(shape, c, 0));
    for (int k = 1; k <= c.h; ++k)
        EXPECT_NEAR(s.Magnitudes[k], ClosedFormMagnitude(shape, c.v, c.d, k),
                    Tolerance(shape, c, k))
            << "k = " << k;
}

// Every shape of the program's list, so that a new one is held to every table here.
std::vector<PulseShape> EveryShapeList()
{
    std::vector<PulseShape> shapes;
    for (const PulseShapeTexts &texts : PulseShapes)
        shapes.push_back(texts.shape);
    return shapes;
}
const std::vector<PulseShape> EveryShape = EveryShapeList();

std::string ShapeName(PulseShape shape)
{
    std::string name(TextsOf(shape).name);
    std::replace(name.begin(), name.end(), ' ', '_');
    return name;
}

INSTANTIATE_TEST_SUITE_P(Spectra, ClosedForm,
                         testing::Combine(testing::ValuesIn(EveryShape),
                                          testing::Values(ClosedFormCase {10, 0.5, 10000, 10},
                                                          ClosedFormCase {1, 0.25, 4000, 8},
                                                          ClosedFormCase {-3, 1, 1000, 5},
                                                          // 2kD = 1 at k = 5, kD = 1 at 10
                                                          ClosedFormCase {2, 0.1, 20000, 12},
                                                          ClosedFormCase {0.5, 0.75, 800, 20},
                                                          // N D = 700.0000000000001
                                                          ClosedFormCase {1, 0.07, 10000, 10})),
                         [](const auto &info) {
                             const ClosedFormCase &c = std::get<1>(info.param);
                             return ShapeName(std::get<0>(info.param)) + "_V_" + SpelledOut(c.v)
                                 + "_D_" + SpelledOut(c.d) + "_N_" + std::to_string(c.n) + "_H_"
                                 + std::to_string(c.h);
                         });

// Where a jump falls between two samples, the pulse's end moves to a sample, by at most half of
// one: each coefficient moves by at most 2 (J / 2) / N for a jump J, a modulus by sqrt(2) J / N.
// Off the grid the kinks' constant grows: 3 times the slope jumps over D N^2 bounds it.
// The continuous shapes keep their order 1 / N^2 (a kink between samples costs no more); the
// raised cosine's, where its ends fall between samples, is 1 / N^3: its second derivative jumps
// by V (2 pi / D)^2 / 2 at each end, and 10 / (D^2 N^3) bounds what that costs.
TEST(ClosedForm, holdsItsOrderWhereThePulseEndsBetweenSamples)
{
    for (const PulseShape shape : EveryShape)
        for (const double d : {0.30013, 0.7771})
            for (const std::int32_t n : {1000, 4000, 16000}) {
                const AnalysisState s = Analysed(1, d, n, 10, shape);
                const Jumps jumps = JumpsOf(shape, false);
                const double n2 = double(n) * n;
                const double order = jumps.value > 0    ? std::sqrt(2.0) * jumps.value / n
                    : shape == PulseShape::RaisedCosine ? 10 / (d * d * n2 * n)
                                                        : 3 * jumps.slope / (d * n2);
                for (int k = 1; k <= 10; ++k)
                    EXPECT_NEAR(s.Magnitudes[k], ClosedFormMagnitude(shape, 1, d, k), order + 1e-13)
                        << ShapeName(shape) << ", D = " << d << ", N = " << n << ", k = " << k;
            }
}

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
    std::vector<double> expected; // from index 0; every later index up to N + 1 holds 0
    PulseShape shape = PulseShape::HalfSine;
};

void PrintTo(const SamplesCase &c, std::ostream *out)
{
    *out << c.name;
}

// sin(pi i / nd) for i = 0 .. last.
std::vector<double> HalfSines(double nd, int last)
{
    std::vector<double> sines;
    for (int i = 0; i <= last; ++i)
        sines.push_back(std::sin(pi * i / nd));
    return sines;
}

class PulseEnds : public testing::TestWithParam<SamplesCase>
{
};

TEST_P(PulseEnds, samplesFollowThePulseAndClearingRules)
{
    const SamplesCase &c = GetParam();
    const AnalysisState s = Analysed(1, c.d, c.n, 1, c.shape);
    ASSERT_EQ(s.Samples.size(), static_cast<std::size_t>(c.n) + 2);
    for (std::size_t i = 0; i < s.Samples.size(); ++i)
        EXPECT_NEAR(s.Samples[i], i < c.expected.size() ? c.expected[i] : 0, 1e-13)
            << c.name << ", i = " << i;
}

// Expected values from each shape's formula, sin(pi i / (N D)) with the true pi; at a jump, the
// middle of its sides, also where N D, whole in decimal, is not whole in binary; 0 past the pulse.
INSTANTIATE_TEST_SUITE_P(
    Samples, PulseEnds,
    testing::Values(
        // The last pulse sample is sin(pi) = 0 but for PI's shortfall.
        SamplesCase {"N=4 D=0.5", 4, 0.5, {0, 1}},
        // N D = 2.5: the pulse covers 0 to 2, clearing starts at 4, s(3) is written by neither.
        SamplesCase {"N=5 D=0.5", 5, 0.5, {0, std::sin(pi / 2.5), std::sin(2 * pi / 2.5)}},
        // N D = 3.5: s(4) is past the pulse, and cleared.
        SamplesCase {"N=7 D=0.5",
                     7,
                     0.5,
                     {0, std::sin(pi / 3.5), std::sin(2 * pi / 3.5), std::sin(3 * pi / 3.5)}},
        // N D = 3.7: s(4) is past the pulse, where the formula would be negative: 0.
        SamplesCase {"N=10 D=0.37",
                     10,
                     0.37,
                     {0, std::sin(pi / 3.7), std::sin(2 * pi / 3.7), std::sin(3 * pi / 3.7)}},
        // N D = 6.6: s(7) was -1.89 V at Vmax = 10; N D = 0.66: s(1) was -9.99 V.
        SamplesCase {"N=20 D=0.33", 20, 0.33, HalfSines(6.6, 6)},
        SamplesCase {"N=3 D=0.22", 3, 0.22, {0}},
        // N D = 28.999999999999996: s(29) is on the pulse's end, just past it: 0.
        SamplesCase {"N=100 D=0.29", 100, 0.29, HalfSines(29, 28)},
        // D = 1: s(N) is 0 although the pulse wrote sin(PI) there.
        SamplesCase {"N=4 D=1", 4, 1, {0, std::sin(pi / 4), 1, std::sin(3 * pi / 4)}},
        // N D = 0.6: no sample inside the pulse but s(0); s(1) is past it
        SamplesCase {"N=10 D=0.06", 10, 0.06, {0}},
        // The rectangle: the middle at both edges, none where the next pulse joins on
        SamplesCase {"rettangolare N=4 D=0.5", 4, 0.5, {0.5, 1, 0.5}, PulseShape::Rectangular},
        SamplesCase {"rettangolare N=4 D=1", 4, 1, {1, 1, 1, 1}, PulseShape::Rectangular},
        SamplesCase {"rettangolare N=5 D=0.5", 5, 0.5, {0.5, 1, 1}, PulseShape::Rectangular},
        SamplesCase {"rettangolare N=10 D=0.37", 10, 0.37, {0.5, 1, 1, 1}, PulseShape::Rectangular},
        SamplesCase {"rettangolare N=10 D=0.05", 10, 0.05, {0.5}, PulseShape::Rectangular},
        SamplesCase {"triangolare N=4 D=1", 4, 1, {0, 0.5, 1, 0.5}, PulseShape::Triangular},
        SamplesCase {"triangolare N=10 D=0.37",
                     10,
                     0.37,
                     {0, 2 / 3.7, 2 - 4 / 3.7, 2 - 6 / 3.7},
                     PulseShape::Triangular},
        SamplesCase {"triangolare N=10 D=0.06", 10, 0.06, {0}, PulseShape::Triangular},
        SamplesCase {"dente di sega N=4 D=0.5", 4, 0.5, {0, 0.5, 0.5}, PulseShape::Sawtooth},
        SamplesCase {"dente di sega N=4 D=1", 4, 1, {0.5, 0.25, 0.5, 0.75}, PulseShape::Sawtooth},
        SamplesCase {"dente di sega N=10 D=0.37",
                     10,
                     0.37,
                     {0, 1 / 3.7, 2 / 3.7, 3 / 3.7},
                     PulseShape::Sawtooth},
        SamplesCase {"dente di sega N=10 D=0.05", 10, 0.05, {0}, PulseShape::Sawtooth},
        SamplesCase {"coseno rialzato N=4 D=1", 4, 1, {0, 0.5, 1, 0.5}, PulseShape::RaisedCosine},
        SamplesCase {"coseno rialzato N=10 D=0.37",
                     10,
                     0.37,
                     {0, std::pow(std::sin(pi / 3.7), 2), std::pow(std::sin(2 * pi / 3.7), 2),
                      std::pow(std::sin(3 * pi / 3.7), 2)},
                     PulseShape::RaisedCosine},
        SamplesCase {"coseno rialzato N=10 D=0.05", 10, 0.05, {0}, PulseShape::RaisedCosine}),
    NamedAfterItsCase());

// At every duty cycle the step reaches, 0.01 to 0.99, N D is whole in decimal, wherever it lands
// in binary (D = 0.07 at N = 10000 gives 700.0000000000001, D = 0.29 at N = 100
// 28.999999999999996): the rectangle and the sawtooth take the middle of the jump there, the sample
// before keeps its formula, and no shape has a sample below 0.
class StepEdges : public testing::TestWithParam<std::int32_t>
{
};

TEST_P(StepEdges, takeTheMiddleValueAtEveryDutyCycleTheStepReaches)
{
    const std::int32_t n = GetParam();
    for (int hundredths = 1; hundredths <= 99; ++hundredths) {
        const double d = hundredths / 100.0; // the double nearest the typed decimal
        const std::int64_t end
            = std::int64_t(n) * hundredths / 100; // whole: N is a multiple of 100
        for (const PulseShape shape : EveryShape) {
            SCOPED_TRACE(testing::Message() << ShapeName(shape) << ", D = " << d);
            const AnalysisState s = Analysed(1, d, n, 1, shape);
            for (std::int64_t i = 0; i <= n; ++i)
                ASSERT_GE(s.Samples[i], 0) << "i = " << i;
            if (shape == PulseShape::Rectangular || shape == PulseShape::Sawtooth) {
                EXPECT_EQ(s.Samples[end], 0.5);
                if (end > 1) { // s(0) is the leading edge's
                    EXPECT_EQ(s.Samples[end - 1],
                              shape == PulseShape::Rectangular ? 1 : (end - 1) / (n * d));
                }
                EXPECT_EQ(s.Samples[end + 1], 0);
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(SampleCounts, StepEdges, testing::Values(100, 10000),
                         [](const auto &info) { return "N_" + std::to_string(info.param); });

// The definition evaluated apart in long double on small cases, every shape: the samples by the
// same rules, the sums with 64-bit mantissas. The double loops stay within a few units of the
// largest term's last place.
long double LongDoubleSample(PulseShape shape, std::int64_t i, long double nd, bool joined)
{
    const long double t = static_cast<long double>(i), ldPi = 3.14159265358979L;
    const long double u = t / nd;
    switch (shape) {
    case PulseShape::HalfSine:
        return u <= 1 ? std::sin(t * ldPi / nd) : 0;
    case PulseShape::Rectangular:
        return i == 0 ? (joined ? 1 : 0.5L) : u < 1 ? 1 : u == 1 ? 0.5L : 0;
    case PulseShape::Triangular:
        return u <= 0.5L ? 2 * u : u < 1 ? 2 - 2 * u : 0;
    case PulseShape::Sawtooth:
        return i == 0 ? (joined ? 0.5L : 0) : u < 1 ? u : u == 1 ? 0.5L : 0;
    case PulseShape::RaisedCosine:
        return u <= 1 ? std::pow(std::sin(t * ldPi / nd), 2) : 0;
    }
    return 0;
}

TEST(ComputeSpectrum, agreesWithTheDefinitionInLongDoubleForEveryShape)
{
    const std::pair<std::int32_t, double> sizes[]
        = {{7, 0.5}, {10, 0.37}, {16, 1}, {64, 0.3}, {100, 0.25}, {13, 0.05}, {12, 1.0 / 3}};
    for (const PulseShape shape : EveryShape)
        for (const auto &[n, d] : sizes) {
            SCOPED_TRACE(testing::Message() << ShapeName(shape) << ", N = " << n << ", D = " << d);
            const double v = -3;
            const AnalysisState s = Analysed(v, d, n, n + 1, shape);
            const long double nd = static_cast<long double>(static_cast<double>(n) * d);
            std::vector<long double> samples(n + 2, 0);
            const auto last = static_cast<std::int64_t>(std::nearbyint(static_cast<double>(nd)));
            const auto first
                = static_cast<std::int64_t>(std::nearbyint(static_cast<double>(n) * d + 1));
            for (std::int64_t i = 0; i <= last; ++i)
                samples[i] = v * LongDoubleSample(shape, i, nd, nd == n);
            for (std::int64_t i = first; i < n; ++i)
                samples[i] = 0;
            samples[n] = 0;
            long double mean = 0;
            for (std::int32_t i = 0; i < n; ++i)
                mean += samples[i];
            EXPECT_NEAR(s.MeanValue, static_cast<double>(mean / n), 1e-15 * std::abs(v));
            for (std::int32_t k = 1; k <= n + 1; ++k) {
                long double a = 0, b = 0;
                for (std::int32_t i = 0; i < n; ++i) {
                    const long double angle = 2 * k * 3.14159265358979L * i / n;
                    a += std::cos(angle) * samples[i];
                    b += std::sin(angle) * samples[i];
                }
                EXPECT_NEAR(s.Magnitudes[k], static_cast<double>(2 * std::hypot(a, b) / n),
                            4e-15 * std::abs(v))
                    << "k = " << k;
            }
        }
}

TEST(ComputeSpectrum, shortPulseCaseHasTheDocumentedValues)
{
    const AnalysisState n4 = Analysed(1, 0.5, 4, 2);
    EXPECT_NEAR(n4.Samples[2], SinOfPI(), 1e-29 + SineNearPiError);
    EXPECT_NEAR(n4.MeanValue, 0.25, 1e-14);
    EXPECT_NEAR(n4.Magnitudes[1], 0.5, 1e-14);
    EXPECT_NEAR(n4.Magnitudes[2], 0.5, 1e-14);
    EXPECT_EQ(n4.SignalPeak, 1);

    // s(4) lies past the pulse's end at 3.7, where the half-sine's formula would be -0.50396.
    const AnalysisState n10 = Analysed(2, 0.37, 10, 1);
    EXPECT_EQ(n10.Samples[4], 0);
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
    AnalysisState s = ParametersOf({.v = 1, .d = 0.5, .n = 100, .h = 3});
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
        largest = std::max(largest, ClosedFormMagnitude(PulseShape::HalfSine, 1, 0.1, k));
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
