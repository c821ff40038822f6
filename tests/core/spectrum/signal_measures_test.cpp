// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The measures (RMS, THD, power share, bandwidth), the rounding noise of the moduli and the phases,
// against an evaluation in long double and against the closed forms of rectified sines and of a
// symmetric pulse.
#include "core/analysis/analysis_run.h"
#include "core/spectrum/pulse_shapes.h"
#include "core/spectrum/signal_measures.h"
#include "core/spectrum/spectrum_paths.h"
#include "core/state/harmonic_readings.h"
#include "tests/support/analysed.h"
#include "tests/support/case_names.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <numbers>
#include <optional>
#include <vector>

namespace {

using std::numbers::pi;

AnalysisState Measured(double v, double d, std::int32_t n, double h,
                       PulseShape shape = PulseShape::HalfSine)
{
    AnalysisState state = Analysed(v, d, n, h, shape);
    FindSpectrumPeak(state);
    ComputeMeasures(state);
    return state;
}

struct MeasureCase
{
    double v;
    double d;
    std::int32_t n;
    double h;
};

void PrintTo(const MeasureCase &c, std::ostream *out)
{
    *out << "V = " << c.v << ", D = " << c.d << ", N = " << c.n << ", H = " << c.h;
}

class MeasuresAgainstLongDouble : public testing::TestWithParam<MeasureCase>
{
};

// The same formulas summed in long double, in index order, with no scaling: an evaluation apart
// from the program's lanes, blocks and compensation.
TEST_P(MeasuresAgainstLongDouble, agreeToTheRoundingOfTheirSums)
{
    const MeasureCase c = GetParam();
    const AnalysisState s = Measured(c.v, c.d, c.n, c.h);
    long double squares = 0, absSum = 0, weighted = 0;
    std::int64_t terms = 0;
    for (std::int32_t i = 0; i < c.n; ++i) {
        const long double sample = s.Samples[i];
        squares += sample * sample;
        absSum += std::abs(sample);
        weighted += std::abs(sample) * i / c.n;
        terms += sample != 0;
    }
    // The samples' sums kept with the analysis, which the noise and the transform's bound read.
    ASSERT_TRUE(s.Measures);
    EXPECT_EQ(s.Measures->n, c.n);
    EXPECT_EQ(s.Measures->terms, terms);
    EXPECT_NEAR(s.Measures->absSum, static_cast<double>(absSum), 1e-14 * absSum);
    EXPECT_NEAR(s.Measures->weightedAbsSum, static_cast<double>(weighted), 1e-14 * absSum);
    const double norm = static_cast<double>(std::sqrt(squares));
    EXPECT_NEAR(s.Measures->norm, norm, 1e-14 * norm);
    const long double meanSquare = squares / c.n;
    long double upper = 0, all = 0;
    const int harmonics = RoundToCount(c.h);
    for (int k = 1; k <= harmonics; ++k) {
        const long double m = s.Magnitudes[k];
        all += m * m;
        if (k >= 2)
            upper += m * m;
    }
    const long double dc = s.MeanValue;
    ASSERT_TRUE(s.RmsValue && s.HarmonicDistortion && s.PowerShare);
    const double rms = static_cast<double>(std::sqrt(meanSquare));
    EXPECT_NEAR(*s.RmsValue, rms, 1e-14 * std::abs(rms));
    const double thd = static_cast<double>(100 * std::sqrt(upper) / s.Magnitudes[1]);
    EXPECT_NEAR(*s.HarmonicDistortion, thd, 1e-13 * thd);
    const double share = static_cast<double>(100 * (dc * dc + all / 2) / meanSquare);
    EXPECT_NEAR(*s.PowerShare, share, 1e-13 * share);
}

// The moduli's rounding noise, sqrt(2) e_k + 1e-15 times the largest modulus, with
// e_k = 2.5 / N [(M + 4) u A + M 2^-1074 + T + 2 k (pi - PI + 3.01 u pi) A1]: M the non-zero
// samples, A = sum |s(i)|, A1 = sum |s(i)| i / N, Q = sqrt(sum s(i)^2), all summed here in long
// double in index order, and with no transform taken the plain one's T = 32 u (ceil(log2 N) + 2)
// sqrt(N) Q, whatever the factors of N. pi - PI from the digits of pi. The program's sums, in
// lanes and blocks, lie within a few roundings of these: the noise within 4 ulps, at the first
// harmonic (nearly all of it the part that does not grow with k) and at the last.
TEST_P(MeasuresAgainstLongDouble, holdTheModuliNoiseToItsFormula)
{
    const MeasureCase c = GetParam();
    const AnalysisState s = Measured(c.v, c.d, c.n, c.h);
    const long double n = c.n;
    long double terms = 0, absSum = 0, weighted = 0, squares = 0;
    for (std::int32_t i = 0; i < c.n; ++i) {
        const long double v = s.Samples[i];
        terms += v != 0;
        absSum += std::abs(v);
        weighted += std::abs(v) * i / n;
        squares += v * v;
    }
    const int harmonics = RoundToCount(c.h);
    long double largest = 0;
    for (int k = 1; k <= harmonics; ++k)
        largest = std::max<long double>(largest, s.Magnitudes[k]);
    const long double u = std::ldexp(1.0L, -53);
    const long double piGap = 3.23846264338327950288e-15L; // 3.14159265358979323846... - PI
    const long double t
        = 32 * u * (std::ceil(std::log2(n)) + 2) * std::sqrt(n) * std::sqrt(squares);
    const auto noise = [&](int k) {
        const long double e = 2.5L / n
            * ((terms + 4) * u * absSum + terms * std::ldexp(1.0L, -1074) + t
               + 2 * k * weighted * (piGap + 3.01L * u * std::numbers::pi_v<long double>));
        return static_cast<double>(std::sqrt(2.0L) * e + 1e-15L * largest);
    };
    for (const int k : {1, harmonics})
        EXPECT_DOUBLE_EQ(ModulusNoise(s, k), noise(k)) << "k = " << k;
}

INSTANTIATE_TEST_SUITE_P(Measures, MeasuresAgainstLongDouble,
                         testing::Values(MeasureCase {-3e-7, 0.37, 1000, 20.5},
                                         MeasureCase {5, 0.5, 4096, 10},
                                         MeasureCase {1e150, 0.9, 20000, 40},
                                         MeasureCase {1e-150, 0.01, 100000, 3},
                                         MeasureCase {7, 1, 9999, 1}),
                         [](const auto &info) {
                             const MeasureCase &c = info.param;
                             return "V_" + SpelledOut(c.v) + "_D_" + SpelledOut(c.d) + "_N_"
                                 + std::to_string(c.n) + "_H_" + SpelledOut(c.h);
                         });

// Closed forms, for the rectified sine of peak V sampled at N points (N even; with the discrete
// orthogonality sum_{i<N} sin^2(2 pi i / N) = N / 2 the samples' power is the continuous one):
// - half-wave, D = 0.5: s = V sin(2 pi t / T) on the first half period. DC = V / pi,
//   RMS^2 = V^2 / 4, |S_1| = V / 2, |S_k| = 2 V / (pi (k^2 - 1)) for even k, 0 for odd k > 1. So
//   THD(H) = (4 / pi) sqrt(sum_{even k <= H} 1 / (k^2 - 1)^2) and the power share
//   (1 / pi^2 + 1/8 + (2 / pi^2) sum_{even k <= H} 1 / (k^2 - 1)^2) / (1/4), which tends to 1
//   since sum_{m >= 1} 1 / (4 m^2 - 1)^2 = (pi^2 - 8) / 16.
// - full-wave, D = 1: s = V sin(pi t / T) = 2 V / pi - (4 V / pi) sum_k cos(2 pi k t / T) /
//   (4 k^2 - 1). DC = 2 V / pi, RMS^2 = V^2 / 2, |S_k| = 4 V / (pi (4 k^2 - 1)). So THD(H) =
//   3 sqrt(sum_{k=2..H} 1 / (4 k^2 - 1)^2) and the share 8 / pi^2 + (16 / pi^2) sum_{k=1..H}
//   1 / (4 k^2 - 1)^2, which tends to 1 likewise.
// The sampled spectrum adds the aliases k + m N, of order V / N^2: 6e-11 V at N = 2^17.
struct RectifiedCase
{
    double d;
    int h;
};

// D = 0.5 is the half-wave rectified sine, D = 1 the full-wave one.
std::string WaveName(const RectifiedCase &c)
{
    return c.d == 0.5 ? "half_wave" : c.d == 1 ? "full_wave" : "D_" + SpelledOut(c.d);
}

void PrintTo(const RectifiedCase &c, std::ostream *out)
{
    *out << "D = " << c.d << ", H = " << c.h;
}

class RectifiedSine : public testing::TestWithParam<RectifiedCase>
{
};

TEST_P(RectifiedSine, hasTheClosedFormsThdAndPowerShare)
{
    const auto [d, h] = GetParam();
    const AnalysisState s = Measured(3, d, 1 << 17, h);
    double thd = 0, share = 0;
    if (d == 0.5) {
        double sum = 0;
        for (int k = 2; k <= h; k += 2)
            sum += 1 / std::pow(k * k - 1.0, 2);
        thd = 100 * 4 / pi * std::sqrt(sum);
        share = 100 * (1 / (pi * pi) + 1.0 / 8 + 2 / (pi * pi) * sum) * 4;
        EXPECT_NEAR(*s.RmsValue, 3 / 2.0, 1e-12);
    } else {
        double sum = 0;
        for (int k = 1; k <= h; ++k)
            sum += 1 / std::pow(4.0 * k * k - 1, 2);
        thd = 100 * 3 * std::sqrt(sum - 1 / 9.0);
        share = 100 * (8 / (pi * pi) + 16 / (pi * pi) * sum);
        EXPECT_NEAR(*s.RmsValue, 3 / std::sqrt(2.0), 1e-12);
    }
    ASSERT_TRUE(s.HarmonicDistortion && s.PowerShare);
    EXPECT_NEAR(*s.HarmonicDistortion, thd, 1e-6);
    EXPECT_NEAR(*s.PowerShare, share, 1e-6);
    EXPECT_LT(*s.PowerShare, 100 + 1e-6); // Parseval: no more power than the samples have
}

INSTANTIATE_TEST_SUITE_P(
    Measures, RectifiedSine,
    testing::Values(RectifiedCase {0.5, 1}, RectifiedCase {0.5, 2}, RectifiedCase {0.5, 3},
                    RectifiedCase {0.5, 10}, RectifiedCase {0.5, 60}, RectifiedCase {1, 1},
                    RectifiedCase {1, 2}, RectifiedCase {1, 10}, RectifiedCase {1, 60}),
    [](const auto &info) { return WaveName(info.param) + "_H_" + std::to_string(info.param.h); });

// The bandwidths by hand, from the rectangle's closed form: of peak 1 and duty cycle D it carries
// the power D, the DC component D^2 and harmonic k 2 sin^2(pi k D) / (pi k)^2. The square wave
// (D = 0.5) reaches 90.53 % at k = 1, 95.03 % at k = 3 and 99.08 % at k = 21 (98.99 % at 19); the
// rectangle at D = 0.25 reaches 90.30 % at k = 3, 95.50 % at k = 9 and 99.01 % at k = 41 (98.95 %
// at 39). The samples' power lies within 1e-4 % of the continuous one at N = 2^16. A constant
// (D = 1) holds all of its power in the DC component; where H stops short of a share there is
// none, and a signal of no power has no bandwidth at all.
struct BandwidthCase
{
    double v;
    double d;
    double h;
    std::array<int, 3> harmonics; // at 90, 95 and 99 %; -1 for none
};

TEST(Measures, findTheBandwidthsOfTheRectangleByHand)
{
    const BandwidthCase cases[] = {
        {1, 0.5, 100, {1, 3, 21}}, {-7, 0.5, 100, {1, 3, 21}},  {2, 0.25, 100, {3, 9, 41}},
        {2, 0.25, 40, {3, 9, -1}}, {1, 0.5, 20, {1, 3, -1}},    {1, 0.5, 0.4, {-1, -1, -1}},
        {3, 1, 10, {0, 0, 0}},     {0, 0.5, 100, {-1, -1, -1}},
    };
    for (const BandwidthCase &c : cases) {
        SCOPED_TRACE(testing::Message() << "V = " << c.v << ", D = " << c.d << ", H = " << c.h);
        const AnalysisState s = Measured(c.v, c.d, 1 << 16, c.h, PulseShape::Rectangular);
        const std::optional<double> found[] = {s.BandwidthAt90, s.BandwidthAt95, s.BandwidthAt99};
        for (std::size_t p = 0; p < 3; ++p) {
            if (c.harmonics[p] < 0)
                EXPECT_FALSE(found[p]) << *found[p];
            else
                EXPECT_EQ(found[p], std::optional<double>(c.harmonics[p])) << p;
        }
    }
}

TEST(Measures, leaveTheThdAndShareUndefinedWithoutAFirstHarmonicOrAnyPower)
{
    const AnalysisState zero = Measured(0, 0.5, 1000, 10);
    ASSERT_TRUE(zero.RmsValue);
    EXPECT_EQ(*zero.RmsValue, 0);
    EXPECT_FALSE(zero.HarmonicDistortion);
    EXPECT_FALSE(zero.PowerShare);

    // No harmonic shown: no THD, and the share is the DC component's alone, DC^2 / RMS^2. For
    // the sampled half-wave sum_{i=0}^{N/2} sin(2 pi i / N) = cot(pi / N), so DC = V cot(pi / N)
    // / N, and RMS^2 = V^2 / 4 (above): the share is 4 (cot(pi / N) / N)^2.
    const AnalysisState none = Measured(2, 0.5, 1000, 0.4);
    EXPECT_FALSE(none.HarmonicDistortion);
    ASSERT_TRUE(none.PowerShare);
    EXPECT_NEAR(*none.PowerShare, 100 * 4 * std::pow(1 / std::tan(pi / 1000) / 1000, 2), 1e-9);

    // Before an analysis there is nothing to measure.
    AnalysisState empty;
    ComputeMeasures(empty);
    EXPECT_FALSE(empty.RmsValue);
}

// The floor's rule: at D = 0.5 the odd harmonics above the first are zero (the half-wave's
// closed form above), and the sampled ones are rounding alone; each lies within the noise, has
// no phase and no level, while every even harmonic and the first stand above it. Both paths.
TEST(Measures, putTheVanishingHarmonicsWithinTheNoiseOnBothPaths)
{
    // 2042 = 2 x 1021 takes the padded transform, whose rounding the noise must cover
    for (const auto [path, n] :
         {std::pair {SpectrumPath::DirectSums, 4096}, std::pair {SpectrumPath::Transform, 4096},
          std::pair {SpectrumPath::DirectSums, 2042}, std::pair {SpectrumPath::Transform, 2042}}) {
        SCOPED_TRACE(testing::Message() << "N = " << n);
        AnalysisState s;
        s.Amplitude = 10;
        s.DutyCycle = 0.5;
        s.SampleCount = n;
        s.HarmonicCount = 2000;
        s.Frequency = 1000;
        SpectrumOptions options;
        options.path = path;
        ASSERT_EQ(RunAnalysis(s, options).status, AnalysisOutcome::Status::Done);
        for (int k = 1; k <= 2000; ++k) {
            const bool vanishes = k % 2 == 1 && k > 1;
            EXPECT_EQ(WithinNoise(s, k), vanishes) << k << " " << s.Magnitudes[k];
            EXPECT_EQ(std::isnan(PhaseDegrees(s, k)), vanishes) << k;
            EXPECT_EQ(std::isnan(LevelDecibels(s, k)), vanishes) << k;
        }
        EXPECT_EQ(LevelDecibels(s, 1), 0); // the largest line
    }
}

// A pulse symmetric about t0 = D T / 2 is an even wave delayed by t0: its cosine series has real
// coefficients c_k, of the sign of cos(pi k D) / (1 - 4 k^2 D^2), and the delay turns each into
// |c_k| cos(2 pi k f t - pi k D + (c_k < 0 ? pi : 0)). The samples are symmetric about i = N D / 2
// to the rounding, so the phase is exact to it. Where cos(pi k D) is 0 (k = 5 here) the harmonic
// vanishes and has no phase.
TEST(Measures, givePhasesOfAPulseDelayedByItsOwnSymmetry)
{
    const double d = 0.3;
    const AnalysisState s = Measured(2, d, 10000, 12);
    for (int k = 1; k <= 12; ++k) {
        const double sign = std::cos(pi * k * d) / (1 - 4 * k * k * d * d);
        if (std::abs(sign) < 1e-12) {
            EXPECT_TRUE(std::isnan(PhaseDegrees(s, k))) << k;
            continue;
        }
        double expected = -180 * k * d + (sign < 0 ? 180 : 0);
        expected = std::remainder(expected, 360); // in [-180, 180]
        if (expected <= -180)
            expected += 360;
        EXPECT_NEAR(PhaseDegrees(s, k), expected, 1e-9) << k;
    }
}

TEST(Measures, writeAHalfTurnAs180DegreesNotMinus180)
{
    AnalysisState s;
    s.Magnitudes = RealArray(3);
    s.CosCoefficients = RealArray(3);
    s.SinCoefficients = RealArray(3);
    s.CosCoefficients[1] = -2;
    s.SinCoefficients[1] = 0; // -b = -0: atan2 gives -pi
    s.Magnitudes[1] = 2;
    s.CosCoefficients[2] = 0;
    s.SinCoefficients[2] = 1; // a sine: cos(x - 90 degrees)
    s.Magnitudes[2] = 1;
    s.SpectrumPeak = 2;
    // No phase or level is read before the noise is known.
    EXPECT_TRUE(std::isnan(PhaseDegrees(s, 2)));
    EXPECT_TRUE(std::isnan(LevelDecibels(s, 2)));
    s.Noise = {0, 0};
    EXPECT_EQ(PhaseDegrees(s, 1), 180);
    EXPECT_EQ(PhaseDegrees(s, 2), -90);
    // A b_k of rounding alone, of either sign, leaves a half turn at 180, never near -180.
    s.Noise = {1e-15, 0};
    s.SinCoefficients[1] = 1e-16;
    EXPECT_EQ(PhaseDegrees(s, 1), 180);
    s.SinCoefficients[1] = 1e-14; // beyond the noise: a phase just short of -180
    EXPECT_LT(PhaseDegrees(s, 1), -179.99);
    EXPECT_NEAR(LevelDecibels(s, 2), -20 * std::log10(2.0), 1e-14);
}

} // namespace

namespace {

// The lines sample the spectrum of one pulse: at large N each |S_k| lies on the envelope within
// the sampling's aliasing, of order V / N^2; toward k near N the aliases take over (at the
// sample instants harmonic N - k is harmonic k's wave), and the line leaves the envelope.
TEST(PulseEnvelope, carriesTheLinesAtLargeNAndLeavesThemTowardN)
{
    for (const double d : {0.3, 0.5, 0.77, 1.0}) {
        const AnalysisState s = Measured(-4, d, 1 << 17, 40);
        for (int k = 1; k <= 40; ++k)
            EXPECT_NEAR(s.Magnitudes[k], PulseEnvelope(PulseShape::HalfSine, -4, d, k), 1e-8)
                << d << " " << k;
    }
    const AnalysisState small = Measured(1, 0.5, 64, 63);
    EXPECT_NEAR(small.Magnitudes[63], small.Magnitudes[1], 1e-12);
    EXPECT_LT(PulseEnvelope(PulseShape::HalfSine, 1, 0.5, 63), small.Magnitudes[63] / 1000);
}

// Every other shape's lines on its own envelope, with the pulse's ends on samples: a jump's
// middle sample keeps the distance of order k V / N^2 (about 3e-8 here at k = 40).
TEST(PulseEnvelope, carriesEachShapesLines)
{
    for (const PulseShapeTexts &texts : PulseShapes)
        for (const double d : {0.25, 0.5, 0.75, 1.0}) {
            const PulseShape shape = texts.shape;
            if (shape == PulseShape::HalfSine)
                continue; // above
            const AnalysisState s = Measured(-4, d, 1 << 17, 40, shape);
            EXPECT_NEAR(s.MeanValue * 2, PulseEnvelope(shape, -4, d, 0) * (-1), 1e-8);
            for (int k = 1; k <= 40; ++k)
                EXPECT_NEAR(s.Magnitudes[k], PulseEnvelope(shape, -4, d, k), 1e-7)
                    << TextsOf(shape).name << ", D = " << d << ", k = " << k;
        }
}

// Where 2 x D = 1 the closed form is 0 / 0; its limit is |V| D. Beside it the closed form in long
// double keeps about 19 - log10(1 / e) digits: enough from e = 1e-6 on; nearer, the envelope
// moves from the limit by no more than its slope, under 1 V per unit of x here.
TEST(PulseEnvelope, isContinuousWhereItsClosedFormIsZeroOverZero)
{
    EXPECT_DOUBLE_EQ(PulseEnvelope(PulseShape::HalfSine, 3, 0.25, 2), 0.75);
    for (const double side : {-1.0, 1.0}) {
        for (const double e : {1e-12, 1e-9})
            EXPECT_NEAR(PulseEnvelope(PulseShape::HalfSine, 3, 0.25, 2 * (1 + side * e)), 0.75,
                        2 * e);
        for (const double e : {1e-6, 1e-4, 1e-3}) {
            const long double u = 1 + side * static_cast<long double>(e);
            const long double pi = std::numbers::pi_v<long double>;
            const long double expected
                = 4 * 3 * 0.25L / pi * std::abs(std::cos(pi * u / 2) / (1 - u * u));
            EXPECT_NEAR(PulseEnvelope(PulseShape::HalfSine, 3, 0.25, 2 * static_cast<double>(u)),
                        static_cast<double>(expected), 1e-11)
                << e;
        }
    }
}

// The raised cosine's closed form is 0 / 0 where x D = 1 (limit |V| D / 2), the sawtooth's where
// x goes to 0 (limit |V| D), where the envelope changes formula: on both sides of each, against
// the closed form in long double.
TEST(PulseEnvelope, isContinuousWhereEachShapesClosedFormIsZeroOverZero)
{
    using L = long double;
    const L lpi = std::numbers::pi_v<L>;
    EXPECT_DOUBLE_EQ(PulseEnvelope(PulseShape::RaisedCosine, 3, 0.25, 4), 0.375);
    EXPECT_DOUBLE_EQ(PulseEnvelope(PulseShape::Sawtooth, 3, 0.25, 0), 0.75);
    for (const double e : {1e-6, 1e-4, 1e-3, 0.49, 0.51, 0.7}) {
        for (const double side : {-1.0, 1.0}) {
            const L u = 1 + side * static_cast<L>(e);
            const L raised = 3 * 0.25L * std::abs(std::sin(lpi * u) / (lpi * u) / (1 - u * u));
            EXPECT_NEAR(
                PulseEnvelope(PulseShape::RaisedCosine, 3, 0.25, 4 * static_cast<double>(u)),
                static_cast<double>(raised), 1e-12)
                << e;
        }
        // theta = 2 pi x D from 1e-6 to 0.7, across the series' end at 1e-3
        const L theta = static_cast<L>(e);
        const L c = std::cos(theta / 2), s = std::sin(theta / 2);
        const L saw = 2 * 3 * 0.25L * std::hypot(theta * c - 2 * s, theta * s) / (theta * theta);
        EXPECT_NEAR(PulseEnvelope(PulseShape::Sawtooth, 3, 0.25,
                                  static_cast<double>(theta / (2 * lpi * 0.25L))),
                    static_cast<double>(saw), 1e-12)
            << e;
    }
}

} // namespace

namespace {

// The envelope's zeros listed for each shape are zeros of its closed form, with none left out
// between them: by hand at D = 0.25 the rectangle's stand at harmonics 4, 8, ... (1/Ti, 2/Ti),
// the half-sine's at 6, 10, ... (3/(2Ti), 5/(2Ti)), the triangle's at 8, 16, ..., the raised
// cosine's at 8, 12, ...; the sawtooth's envelope never reaches zero. Past `most` none are listed.
TEST(PulseEnvelope, listsEachShapesZerosAndNoOthers)
{
    const struct
    {
        PulseShape shape;
        std::vector<double> first; // harmonics at D = 0.25
        std::vector<int> numerators;
    } cases[] = {
        {PulseShape::Rectangular, {4, 8, 12}, {1, 2, 3}},
        {PulseShape::HalfSine, {6, 10, 14}, {3, 5, 7}},
        {PulseShape::Triangular, {8, 16, 24}, {2, 4, 6}},
        {PulseShape::RaisedCosine, {8, 12, 16}, {2, 3, 4}},
        {PulseShape::Sawtooth, {}, {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(TextsOf(c.shape).name);
        const auto zeros = EnvelopeZerosWithin(c.shape, 0.25, 25, 100);
        ASSERT_GE(zeros.size(), c.first.size());
        EXPECT_EQ(zeros.empty(), c.first.empty());
        EXPECT_LE(zeros.empty() ? 0 : zeros.back().harmonic, 25);
        for (std::size_t z = 0; z < c.first.size(); ++z) {
            EXPECT_DOUBLE_EQ(zeros[z].harmonic, c.first[z]);
            EXPECT_EQ(zeros[z].numerator, c.numerators[z]);
        }
        // Over 60 harmonics at D = 0.37: each listed zero is one, and between two of them (or
        // before the first) the envelope rises to one lobe at most: a zero left out would part
        // it into two.
        const auto many = EnvelopeZerosWithin(c.shape, 0.37, 60, 1000);
        double from = 0;
        for (const EnvelopeZero &zero : many) {
            EXPECT_LT(PulseEnvelope(c.shape, 1, 0.37, zero.harmonic), 1e-12) << zero.harmonic;
            int lobes = 0;
            for (int step = 1; step < 399; ++step) {
                const auto at = [&](int n) {
                    return PulseEnvelope(c.shape, 1, 0.37, from + (zero.harmonic - from) * n / 400);
                };
                lobes += at(step) > at(step - 1) && at(step) > at(step + 1);
            }
            EXPECT_LE(lobes, 1) << from << " to " << zero.harmonic;
            from = zero.harmonic;
        }
    }
    // A narrow pulse's many zeros are not listed, nor any where there is no pulse.
    EXPECT_TRUE(EnvelopeZerosWithin(PulseShape::Rectangular, 1e-3, 1e6, 200).empty());
    EXPECT_EQ(EnvelopeZerosWithin(PulseShape::Rectangular, 0.01, 1e4, 200).size(), 100u);
    EXPECT_TRUE(EnvelopeZerosWithin(PulseShape::Rectangular, 0, 100, 200).empty());
}

} // namespace
