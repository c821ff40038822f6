// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The capture reader against files of each family, written by hand with numbers worked out
// apart; against pulse trains written from their closed forms in several layouts and read back;
// against files it must refuse; and the period found and averaged from what it reads.
#include "core/analysis/analysis_run.h"
#include "core/capture/capture_analysis.h"
#include "core/capture/capture_fit.h"
#include "core/capture/capture_period.h"
#include "core/capture/capture_reader.h"
#include "core/spectrum/signal_measures.h"
#include "core/spectrum/spectrum.h"
#include "core/state/measured_signal.h"
#include "core/state/task_control.h"
#include "core/state/work_watcher.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <numbers>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

using std::numbers::pi;

std::string FileText(const std::string &name)
{
    std::ifstream file(std::string(SPETTRO_SOURCE_DIR) + "/tests/core/data/capture/" + name,
                       std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

CaptureResult Read(const std::string &text, const CaptureOptions &options = {},
                   TaskControl *control = nullptr)
{
    std::istringstream in(text);
    return ReadCapture(in, text.size(), options, control);
}

// The capture, failing the test with the reader's message when there is none.
Capture Captured(const CaptureResult &result)
{
    if (const CaptureProblem *problem = std::get_if<CaptureProblem>(&result)) {
        ADD_FAILURE() << "refused, line " << problem->line << ", reason "
                      << static_cast<int>(problem->reason);
        return {};
    }
    EXPECT_TRUE(std::holds_alternative<Capture>(result));
    return std::holds_alternative<Capture>(result) ? std::get<Capture>(result) : Capture {};
}

// --- One file of each family, its numbers worked out by hand in seconds and volts.

struct LayoutCase
{
    const char *name;
    const char *file;
    std::size_t channel;
    double start;
    double interval;
    std::size_t count; // on the grid
    std::int64_t rows; // read
    std::vector<double> values; // the grid's values from the first
    std::vector<std::u16string> channels;
    double timeUnit;
    double valueUnit;
    bool resampled;
};

void PrintTo(const LayoutCase &c, std::ostream *out)
{
    *out << c.name;
}

class CaptureLayouts : public testing::TestWithParam<LayoutCase>
{
};

TEST_P(CaptureLayouts, readTheGridTheValuesAndTheChannels)
{
    const LayoutCase &c = GetParam();
    CaptureOptions options;
    options.channel = c.channel;
    const Capture capture = Captured(Read(FileText(c.file), options));
    EXPECT_NEAR(capture.start, c.start, 1e-9 * c.interval);
    EXPECT_NEAR(capture.interval, c.interval, 1e-9 * c.interval);
    EXPECT_EQ(capture.values.size(), c.count);
    EXPECT_EQ(capture.samplesRead, c.rows);
    for (std::size_t i = 0; i < c.values.size() && i < capture.values.size(); ++i)
        EXPECT_NEAR(capture.values[i], c.values[i], 1e-12) << "value " << i;
    EXPECT_EQ(capture.channelNames, c.channels);
    EXPECT_EQ(capture.channelName, c.channels.at(c.channel));
    EXPECT_EQ(capture.timeUnit, c.timeUnit);
    EXPECT_EQ(capture.valueUnit, c.valueUnit);
    EXPECT_EQ(capture.resampled, c.resampled);
}

// The case of a file: its grid, counts, first values, channels and units.
LayoutCase File(const char *name, const char *file, std::size_t channel, double start,
                double interval, std::size_t count, std::int64_t rows, std::vector<double> values,
                std::vector<std::u16string> channels, double timeUnit = 1, double valueUnit = 1,
                bool resampled = false)
{
    return {name, file,   channel,  start,    interval,  count,
            rows, values, channels, timeUnit, valueUnit, resampled};
}

INSTANTIATE_TEST_SUITE_P(
    Capture, CaptureLayouts,
    testing::Values(
        // -1e-3 s + 1000 x 2e-6 s = 1e-3 s.
        File("start_and_increment_rows_from_sample_1000", "start_increment.csv", 0, 1e-3, 2e-6, 6,
             6, {0.25, 0.5, 0.75, 1.0, 1.25, 0.25}, {u"CH1", u"CH2"}),
        File("second_channel_chosen", "start_increment.csv", 1, 1e-3, 2e-6, 6, 6,
             {-0.1, -0.2, -0.3, -0.4, -0.5, -0.6}, {u"CH1", u"CH2"}),
        // -5e-4 s + 25 x 1e-6 s.
        File("start_and_increment_as_heading_cells", "header_cells.csv", 0, -4.75e-4, 1e-6, 5, 5,
             {0.1, 0.3, 0.2, 0.4, 0.6}, {u"CH1"}),
        File("explicit_time_with_a_row_of_units", "units_row.csv", 0, -2e-6, 1e-6, 5, 5,
             {0.0125, 0.025, 0.0375, 0.05, 0.0125}, {u"1", u"2"}),
        File("metadata_cells_with_word_and_number", "metadata_cells.csv", 0, -4e-7, 2e-7, 7, 7,
             {0.01, 0.02, 0.03, 0.04, 0.05, 0.06, 0.07}, {u"CH1", u"CH2"}),
        File("plus_signs_and_upper_case_exponents", "signed_exponents.csv", 0, 0, 1e-7, 5, 5,
             {1e-3, 2e-3, -3e-3, 4e-3, -5e-3}, {u"CH1", u"CH2"}),
        // 0.08 us; 12.5 mV = 0.0125 V.
        File("quoted_interval_with_unit_and_millivolts", "interval_millivolts.csv", 0, 0, 8e-8, 6,
             6, {0.0125, 0.025, -0.0375, 0.05, 0.0625, 0.075}, {u"CH1"}, 1, 1e-3),
        File("interval_alone_on_a_line_and_a_unit_heading", "bare_interval.txt", 0, 0, 5e-7, 4, 4,
             {0.1, 0.2, 0.3, 0.4}, {u"colonna 1"}, 1, 1e-3),
        // 0,01 ms = 1e-5 s.
        File("semicolons_and_decimal_commas_in_milliseconds", "decimal_comma.csv", 0, 0, 1e-5, 5, 5,
             {0.5, 1.25, 2.0, -0.75, 0.5}, {u"CH1", u"CH2"}, 1e-3),
        // V = 1e5 t, so that interpolation is exact: six distinct times over 4 us, step 0.8 us.
        File("simulator_steps_uneven_decreasing_and_repeated", "simulator_uneven.txt", 0, 0, 0.8e-6,
             6, 7, {0, 0.08, 0.16, 0.24, 0.32, 0.4}, {u"V(out)"}, 1, 1, true),
        File("logic_pods_left_out_time_in_microseconds", "logic_pods.tsv", 0, 0, 1e-6, 5, 5,
             {0.5, -0.5, 0.5, -0.5, 0.25}, {u"Volt"}, 1e-6)),
    [](const auto &info) { return std::string(info.param.name); });

// --- Pulse trains written from their closed forms, read back.

enum class Shape
{
    HalfSine,
    Rectangle
};

// Pulses of height `amplitude` starting at every multiple of the period from t = 0.
struct Train
{
    Shape shape;
    double amplitude;
    double frequency;
    double duty;

    double Period() const { return 1 / frequency; }
    double Phase(double t) const
    {
        const double p = std::fmod(t, Period());
        return p < 0 ? p + Period() : p;
    }
    double At(double t) const
    {
        const double p = Phase(t);
        if (p >= duty * Period())
            return 0;
        return shape == Shape::Rectangle ? amplitude
                                         : amplitude * std::sin(pi * p / (duty * Period()));
    }
    // How far t lies from a pulse's start or end, where the train is not smooth.
    double FromEdge(double t) const
    {
        const double p = Phase(t);
        return std::min({p, std::abs(p - duty * Period()), Period() - p});
    }
    // The largest second derivative between the edges.
    double Curvature() const
    {
        const double w = pi / (duty * Period());
        return shape == Shape::Rectangle ? 0 : amplitude * w * w;
    }
};

enum class Layout
{
    TimeAndMillivoltsCrLf,
    StartIncrementIndexCr,
    DecimalComma,
    IntervalInMicroseconds,
    SimulatorUneven
};

std::string Number(double value, bool decimalComma = false)
{
    char text[40];
    std::snprintf(text, sizeof text, "%.13e", value);
    std::string out(text);
    if (decimalComma)
        std::replace(out.begin(), out.end(), '.', ',');
    return out;
}

// The text, and the times it writes in the order of time.
struct Written
{
    std::string text;
    std::vector<double> times;
};

Written Write(Layout layout, const Train &train, double start, double step, std::size_t count)
{
    Written w;
    for (std::size_t k = 0; k < count; ++k) {
        double t = start + static_cast<double>(k) * step;
        if (layout == Layout::SimulatorUneven && k > 0 && k + 1 < count)
            t += 0.3 * std::sin(1.7 * static_cast<double>(k)) * step;
        w.times.push_back(t);
    }
    switch (layout) {
    case Layout::TimeAndMillivoltsCrLf:
        w.text = "Time (s),CH1 (mV)\r\n";
        for (const double t : w.times)
            w.text += Number(t) + "," + Number(1000 * train.At(t)) + "\r\n";
        break;
    case Layout::StartIncrementIndexCr:
        w.text = "Start," + Number(start - 500 * step) + "\rIncrement," + Number(step)
            + "\rIndex,CH1\r";
        for (std::size_t k = 0; k < count; ++k)
            w.text += std::to_string(500 + k) + "," + Number(train.At(w.times[k])) + "\r";
        break;
    case Layout::DecimalComma:
        w.text = "Tempo (s);CH1 (V)\n";
        for (const double t : w.times)
            w.text += Number(t, true) + ";" + Number(train.At(t), true) + "\n";
        break;
    case Layout::IntervalInMicroseconds:
        w.text = "Sample Interval," + Number(step * 1e6) + "uS\nStart Time," + Number(start)
            + "\nCH1 [mV]\n";
        for (const double t : w.times)
            w.text += Number(1000 * train.At(t)) + "\n";
        break;
    case Layout::SimulatorUneven:
        w.text = "time          V(out)\n";
        for (std::size_t k = count; k-- > 0;)
            w.text += Number(w.times[k]) + "    " + Number(train.At(w.times[k])) + "\n";
        break;
    }
    return w;
}

struct RoundTrip
{
    const char *name;
    Layout layout;
    Train train;
};

void PrintTo(const RoundTrip &c, std::ostream *out)
{
    *out << c.name;
}

class CaptureRoundTrip : public testing::TestWithParam<RoundTrip>
{
protected:
    // About 219 samples a period, twenty periods, from a start that is no edge.
    static constexpr double Start = -3.7e-4;
    static constexpr double Step = 3.7e-6;
    static constexpr std::size_t Count = 4400;
};

// On the even layouts the grid holds the values written, to their 14 digits. On the uneven one
// a value interpolated between written samples h apart, away from the edges, is within
// h^2 / 8 times the largest second derivative. The frequency is found within a thousandth, and
// the average period lies within the interpolation's bound of the closed form away from the
// edges.
TEST_P(CaptureRoundTrip, givesTheClosedFormsGridFrequencyAndPeriod)
{
    const RoundTrip &c = GetParam();
    const Train &train = c.train;
    const Written written = Write(c.layout, train, Start, Step, Count);
    const Capture capture = Captured(Read(written.text));
    ASSERT_EQ(capture.values.size(), Count);
    const bool uneven = c.layout == Layout::SimulatorUneven;
    EXPECT_EQ(capture.resampled, uneven);
    const double span = written.times.back() - written.times.front();
    EXPECT_NEAR(capture.start, written.times.front(), 1e-9 * Step);
    EXPECT_NEAR(capture.interval, span / (Count - 1), 1e-9 * Step);
    double widest = 0;
    for (std::size_t k = 1; k < Count; ++k)
        widest = std::max(widest, written.times[k] - written.times[k - 1]);
    const double rounding = 1e-11 * train.amplitude;
    std::size_t checked = 0;
    for (std::size_t i = 0; i < Count; ++i) {
        const double t = capture.start + static_cast<double>(i) * capture.interval;
        if (uneven && train.FromEdge(t) <= 2 * widest)
            continue;
        const double bound = rounding + (uneven ? train.Curvature() * widest * widest / 8 : 0);
        EXPECT_NEAR(capture.values[i], train.At(uneven ? t : written.times[i]), bound)
            << "sample " << i;
        ++checked;
    }
    EXPECT_GT(checked, Count / 2);

    const auto estimate = EstimateFrequency(capture);
    ASSERT_TRUE(std::holds_alternative<FrequencyEstimate>(estimate));
    EXPECT_NEAR(std::get<FrequencyEstimate>(estimate).hertz / train.frequency, 1, 1e-3);

    constexpr std::int64_t Points = 64;
    const auto averaged = AveragePeriod(capture, train.frequency, Points);
    ASSERT_TRUE(std::holds_alternative<PeriodAverage>(averaged));
    const PeriodAverage &average = std::get<PeriodAverage>(averaged);
    EXPECT_EQ(average.periods, static_cast<std::int64_t>(std::floor(span * train.frequency)));
    const double bound = rounding + train.Curvature() * (widest * widest + Step * Step) / 8;
    for (std::int64_t i = 0; i < Points; ++i) {
        const double t = capture.start + train.Period() * static_cast<double>(i) / Points;
        if (train.FromEdge(t) > 2 * widest) {
            EXPECT_NEAR(average.values[i], train.At(t), bound) << "point " << i;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Capture, CaptureRoundTrip,
                         testing::Values(RoundTrip {"half_sine_time_and_millivolts",
                                                    Layout::TimeAndMillivoltsCrLf,
                                                    {Shape::HalfSine, 2.5, 1234.5, 0.5}},
                                         RoundTrip {"rectangle_duty_tenth_start_and_increment",
                                                    Layout::StartIncrementIndexCr,
                                                    {Shape::Rectangle, 3.3, 1234.5, 0.1}},
                                         RoundTrip {"rectangle_duty_nine_tenths_decimal_comma",
                                                    Layout::DecimalComma,
                                                    {Shape::Rectangle, 1, 1100, 0.9}},
                                         RoundTrip {"half_sine_interval_in_microseconds",
                                                    Layout::IntervalInMicroseconds,
                                                    {Shape::HalfSine, 0.8, 1500, 0.3}},
                                         RoundTrip {"half_sine_simulator_uneven",
                                                    Layout::SimulatorUneven,
                                                    {Shape::HalfSine, 5, 1234.5, 0.7}},
                                         RoundTrip {"rectangle_simulator_uneven",
                                                    Layout::SimulatorUneven,
                                                    {Shape::Rectangle, 5, 1000, 0.5}}),
                         [](const auto &info) { return std::string(info.param.name); });

struct NoisyTrain
{
    const char *name;
    Train train;
};

void PrintTo(const NoisyTrain &c, std::ostream *out)
{
    *out << c.name;
}

class CaptureFrequency : public testing::TestWithParam<NoisyTrain>
{
};

// Twenty periods of about 219 samples, under noise of a twentieth of the pulses' height: the
// frequency within a thousandth.
TEST_P(CaptureFrequency, isFoundUnderNoiseForAnyDutyCycle)
{
    const Train &train = GetParam().train;
    std::mt19937 generator(7);
    std::normal_distribution<double> noise(0, 0.05 * train.amplitude);
    Capture capture;
    capture.start = -3.7e-4;
    capture.interval = 3.7e-6;
    for (int i = 0; i < 4400; ++i)
        capture.values.push_back(train.At(capture.start + i * capture.interval) + noise(generator));
    const auto estimate = EstimateFrequency(capture);
    ASSERT_TRUE(std::holds_alternative<FrequencyEstimate>(estimate));
    EXPECT_NEAR(std::get<FrequencyEstimate>(estimate).hertz / train.frequency, 1, 1e-3);
}

INSTANTIATE_TEST_SUITE_P(
    Capture, CaptureFrequency,
    testing::Values(NoisyTrain {"half_sine_duty_tenth", {Shape::HalfSine, 1, 1234.5, 0.1}},
                    NoisyTrain {"half_sine_duty_half", {Shape::HalfSine, 2, 1234.5, 0.5}},
                    NoisyTrain {"half_sine_duty_nine_tenths", {Shape::HalfSine, 1, 1234.5, 0.9}},
                    NoisyTrain {"rectangle_duty_tenth", {Shape::Rectangle, 1, 1234.5, 0.1}},
                    NoisyTrain {"rectangle_duty_half", {Shape::Rectangle, 0.3, 1234.5, 0.5}},
                    NoisyTrain {"rectangle_duty_nine_tenths", {Shape::Rectangle, 1, 1234.5, 0.9}}),
    [](const auto &info) { return std::string(info.param.name); });

// Noise uncorrelated from sample to sample leaves the average of M periods with a deviation near
// sigma / sqrt(M): between 0.71 and 1 times it with the interpolation, give or take what 50
// points tell of a deviation.
TEST(CaptureAverage, lowersUncorrelatedNoiseAsTheRootOfThePeriods)
{
    const Train train {Shape::HalfSine, 1, 1e6 / 100.37, 0.4};
    constexpr double Sigma = 0.05;
    constexpr std::int64_t Points = 50;
    std::mt19937 generator(20260101);
    std::normal_distribution<double> noise(0, Sigma);
    Capture capture;
    capture.start = -1.3e-5;
    capture.interval = 1e-6;
    for (int i = 0; i < 1700; ++i)
        capture.values.push_back(train.At(capture.start + i * capture.interval) + noise(generator));

    const auto estimate = EstimateFrequency(capture);
    ASSERT_TRUE(std::holds_alternative<FrequencyEstimate>(estimate));
    EXPECT_NEAR(std::get<FrequencyEstimate>(estimate).hertz / train.frequency, 1, 1e-3);

    const auto errorOver = [&](std::int64_t periods) {
        Capture part = capture;
        part.values.resize(static_cast<std::size_t>(periods * 100.37) + 2);
        const auto averaged = AveragePeriod(part, train.frequency, Points);
        EXPECT_TRUE(std::holds_alternative<PeriodAverage>(averaged));
        if (!std::holds_alternative<PeriodAverage>(averaged))
            return 0.0;
        const PeriodAverage &average = std::get<PeriodAverage>(averaged);
        EXPECT_EQ(average.periods, periods);
        double squares = 0;
        for (std::int64_t i = 0; i < Points; ++i) {
            const double t = part.start + train.Period() * static_cast<double>(i) / Points;
            squares += std::pow(average.values[i] - train.At(t), 2);
        }
        return std::sqrt(squares / Points);
    };
    const double one = errorOver(1);
    const double sixteen = errorOver(16);
    EXPECT_LT(sixteen, one / 2.5);
    for (const auto &[periods, error] : {std::pair {1.0, one}, std::pair {16.0, sixteen}}) {
        EXPECT_GT(error, 0.5 * Sigma / std::sqrt(periods)) << periods << " periods";
        EXPECT_LT(error, 1.25 * Sigma / std::sqrt(periods)) << periods << " periods";
    }
}

// --- The program's own signal of each shape, written over five whole periods from a start 37
// samples into a period, in three layouts, read back, averaged at its N with its f and analysed
// as a measured period: its DC component and moduli agree with those the program computes for
// the shape within 1e-9 Vmax (the file's 14 digits, the interpolation at instants that the
// times' rounding moves by parts in 1e13 of a step, the transform's rounding).

TEST(CaptureAnalysis, givesTheComputedSpectrumBackFromEveryLayout)
{
    constexpr std::int32_t N = 200;
    constexpr double F = 1000, Vmax = 2;
    for (const PulseShape shape :
         {PulseShape::HalfSine, PulseShape::Rectangular, PulseShape::Triangular,
          PulseShape::Sawtooth, PulseShape::RaisedCosine}) {
        AnalysisState computed;
        computed.Shape = shape;
        computed.DutyCycle = 0.3;
        computed.Amplitude = Vmax;
        computed.Frequency = F;
        computed.SampleCount = N;
        computed.HarmonicCount = 15;
        computed.PeriodCount = 3;
        ComputeSpectrum(computed);
        FindSpectrumPeak(computed);
        ComputeMeasures(computed);
        const auto at = [&](std::int64_t j) {
            return computed.Samples[static_cast<std::size_t>((j + 37) % N)];
        };
        const double step = 1 / (N * F);
        for (int layout = 0; layout < 3; ++layout) {
            std::string text = layout == 0 ? "Time (s),CH1 (V)\r\n"
                : layout == 1
                ? "Start," + Number(37 * step) + "\nIncrement," + Number(step) + "\nIndex,CH1\n"
                : "Tempo (s);CH1 (V)\n";
            for (std::int64_t j = 0; j < 5 * N; ++j) {
                const double t = static_cast<double>(j + 37) * step;
                text += layout == 0 ? Number(t) + "," + Number(at(j)) + "\r\n"
                    : layout == 1   ? std::to_string(j) + "," + Number(at(j)) + "\n"
                                    : Number(t, true) + ";" + Number(at(j), true) + "\n";
            }
            const Capture capture = Captured(Read(text));
            const auto averaged = AveragePeriod(capture, F, N);
            ASSERT_TRUE(std::holds_alternative<PeriodAverage>(averaged));
            const PeriodAverage &average = std::get<PeriodAverage>(averaged);
            // Four whole periods after the first point: the last sample closes the fifth.
            EXPECT_EQ(average.periods, 4);
            const AnalysisState measured = MeasuredAnalysis(computed.Parameters(), average.values);
            ASSERT_EQ(measured.SampleCount, N);
            EXPECT_NEAR(measured.MeanValue, computed.MeanValue, 1e-9 * Vmax);
            for (std::size_t k = 1; k <= 15; ++k)
                EXPECT_NEAR(measured.Magnitudes[k], computed.Magnitudes[k], 1e-9 * Vmax)
                    << TextsOf(shape).name << ", layout " << layout << ", harmonic " << k;
            EXPECT_NEAR(*measured.RmsValue, *computed.RmsValue, 1e-9 * Vmax);
            EXPECT_EQ(measured.Samples[N], measured.Samples[0]);
        }
    }
    // Harmonics past N / 2, up to N + 1, as the definition's sums alias them: N = 8, H = 9.
    AnalysisState few;
    few.Shape = PulseShape::Sawtooth;
    few.DutyCycle = 0.6;
    few.Amplitude = 3;
    few.Frequency = F;
    few.SampleCount = 8;
    few.HarmonicCount = 9;
    ComputeSpectrum(few);
    const AnalysisState measured = MeasuredAnalysis(
        few.Parameters(), std::vector<double>(few.Samples.begin(), few.Samples.begin() + 8));
    for (std::size_t k = 1; k <= 9; ++k) {
        EXPECT_NEAR(measured.CosCoefficients[k], few.CosCoefficients[k], 1e-13) << k;
        EXPECT_NEAR(measured.SinCoefficients[k], few.SinCoefficients[k], 1e-13) << k;
    }
}

// --- The shape fitted to a period: a train written from its closed form, delayed and with
// noise of deviation sigma, gives back its Vmax within 1 % and 3 sigma / sqrt(N D) (the noise
// over the pulse's samples), its D within 1.5 samples of the period and its delay within one
// sample; the RMS difference left is the noise's, within a fifth.

struct Fitted
{
    const char *name;
    Shape shape;
    double amplitude, duty;
    std::int64_t delay, points;
    double sigma;
};

void PrintTo(const Fitted &c, std::ostream *out)
{
    *out << c.name;
}

class CaptureFit : public testing::TestWithParam<Fitted>
{
};

TEST_P(CaptureFit, recoversTheAmplitudeTheDutyCycleAndTheDelay)
{
    const Fitted &c = GetParam();
    const Train train {c.shape, c.amplitude, 1000, c.duty};
    std::mt19937 generator(20261210);
    std::normal_distribution<double> noise(0, c.sigma);
    std::vector<double> period;
    for (std::int64_t i = 0; i < c.points; ++i) {
        // Sample i lies i - delay samples into the pulse; a half sample on, off every edge.
        const double t = (static_cast<double>(i - c.delay) + 0.5) / c.points * train.Period();
        period.push_back(train.At(t) + (c.sigma > 0 ? noise(generator) : 0));
    }
    const auto fit = FitPulse(
        c.shape == Shape::Rectangle ? PulseShape::Rectangular : PulseShape::HalfSine, period);
    ASSERT_TRUE(fit.has_value());
    EXPECT_NEAR(fit->amplitude, c.amplitude,
                0.01 * std::abs(c.amplitude)
                    + 3 * c.sigma / std::sqrt(c.duty * static_cast<double>(c.points)));
    // A longer period is fitted at MostFitPoints: its margins are that reading's samples.
    const std::int64_t read = std::min(c.points, MostFitPoints);
    EXPECT_NEAR(fit->dutyCycle, c.duty, 1.5 / static_cast<double>(read));
    const std::int64_t off = ((fit->delay - c.delay) % c.points + c.points) % c.points;
    EXPECT_LE(std::min(off, c.points - off), (c.points + read - 1) / read) << fit->delay;
    EXPECT_LT(fit->rmsDifference, c.sigma * 1.2 + 0.02 * std::abs(c.amplitude));
}

INSTANTIATE_TEST_SUITE_P(
    Capture, CaptureFit,
    testing::Values(
        Fitted {"rectangle_delayed", Shape::Rectangle, 5, 0.3, 123, 1000, 0},
        Fitted {"rectangle_below_the_baseline_with_noise", Shape::Rectangle, -2, 0.75, 900, 1000,
                0.1},
        Fitted {"half_wave", Shape::HalfSine, 10, 0.5, 0, 2000, 0},
        Fitted {"short_half_sine_with_noise", Shape::HalfSine, 3.3, 0.17, 4000, 5000, 0.05},
        Fitted {"ten_samples_long_with_noise", Shape::Rectangle, 1, 0.05, 60, 200, 0.02},
        Fitted {"longer_than_the_fit_reads", Shape::HalfSine, 4, 0.4, 123457, 200000, 0.05}),
    [](const auto &info) { return std::string(info.param.name); });

// The model delayed by the fit: its coefficients turned by k 2 pi d / N against the transform of
// its samples turned by d places, for d across the period and past it, harmonics past N / 2
// included; its moduli and samples' values unchanged.
TEST(CaptureFit, delaysTheModelAsItsTurnedSamplesTransform)
{
    AnalysisState model;
    model.Shape = PulseShape::Triangular;
    model.DutyCycle = 0.35;
    model.Amplitude = 4;
    model.Frequency = 1000;
    model.SampleCount = 240;
    model.HarmonicCount = 200;
    ComputeSpectrum(model);
    for (const std::int64_t d : {1, 37, 120, 239, 240 + 17, -5}) {
        AnalysisState delayed = model;
        DelayAnalysis(delayed, d);
        const std::int64_t n = model.SampleCount, shift = ((d % n) + n) % n;
        std::vector<double> turned(static_cast<std::size_t>(n));
        for (std::int64_t i = 0; i < n; ++i)
            turned[static_cast<std::size_t>((i + shift) % n)] = model.Samples[i];
        const AnalysisState expected = MeasuredAnalysis(model.Parameters(), turned);
        for (std::int64_t i = 0; i <= n; ++i)
            ASSERT_EQ(delayed.Samples[i], expected.Samples[i]) << d << ", sample " << i;
        for (std::size_t k = 1; k <= 200; ++k) {
            EXPECT_NEAR(delayed.CosCoefficients[k], expected.CosCoefficients[k], 1e-12) << d << k;
            EXPECT_NEAR(delayed.SinCoefficients[k], expected.SinCoefficients[k], 1e-12) << d << k;
            EXPECT_EQ(delayed.Magnitudes[k], model.Magnitudes[k]);
        }
    }
}

// The analysis of a measured signal through the commands' run: its work counted as M N points,
// harmonic z found past H, a capture shorter than the period refused with its message, and a
// cancel honoured.
TEST(CaptureAnalysis, runsAsTheCommandsRunIt)
{
    std::string text = "t,v\n";
    for (int i = 0; i < 1050; ++i) // 10.5 periods of 100 samples, D = 0.2
        text += std::to_string(i) + "e-6," + (i % 100 < 20 ? "3" : "0") + "\n";
    auto capture = std::make_shared<const Capture>(Captured(Read(text)));
    AnalysisParameters parameters;
    parameters.Measured = std::make_shared<const MeasuredSignal>(capture, "prova.csv", 1e4);
    parameters.Frequency = 1e4;
    parameters.SampleCount = 100;
    parameters.HarmonicCount = 5;
    parameters.TargetHarmonic = 7;
    AnalysisState analysis = NewAnalysis(parameters);
    EXPECT_EQ(ProgressTotal(analysis), 10 * 100);
    TaskControl control;
    ASSERT_EQ(RunAnalysis(analysis, &control).status, AnalysisOutcome::Status::Done);
    EXPECT_EQ(control.Done(), 10 * 100);
    // The rectangle's lines, 2 Vmax |sin(k pi D)| / (k pi), to the transform's rounding: the
    // samples lie on the capture's own.
    for (const std::size_t k : {1u, 2u, 5u, 7u})
        EXPECT_NEAR(analysis.Magnitudes[k],
                    2 * 3 * std::abs(std::sin(k * std::numbers::pi * 0.2)) / (k * std::numbers::pi)
                        * (k * std::numbers::pi / 100) / std::sin(k * std::numbers::pi / 100),
                    1e-12)
            << k;
    EXPECT_EQ(analysis.Magnitudes[6], 0.0); // past H and not z
    AnalysisState tooSlow = NewAnalysis(parameters);
    tooSlow.Frequency = 900; // a period longer than the capture
    const AnalysisOutcome refused = RunAnalysis(tooSlow);
    EXPECT_EQ(refused.status, AnalysisOutcome::Status::Failed);
    EXPECT_NE(refused.message.find(u"periodo"), std::u16string::npos);
    TaskControl cancelled;
    cancelled.Cancel();
    AnalysisState stopped = NewAnalysis(parameters);
    EXPECT_EQ(RunAnalysis(stopped, &cancelled).status, AnalysisOutcome::Status::Cancelled);
}

TEST(CaptureFit, fitsNothingToNothing)
{
    EXPECT_FALSE(FitPulse(PulseShape::Rectangular, std::vector<double>(100, 0.0)));
    EXPECT_FALSE(FitPulse(PulseShape::Rectangular, {1, 2, 3}));
}

// --- Files the reader must refuse, with the line it names and a word of its message.

struct BadFile
{
    const char *name;
    std::string text;
    CaptureReason reason;
    std::uint64_t line;
    std::u16string word;
    CaptureOptions options = {};
    std::uint64_t statedSize = 0; // the size given to the reader, when not the text's
};

void PrintTo(const BadFile &c, std::ostream *out)
{
    *out << c.name;
}

class CaptureBadFiles : public testing::TestWithParam<BadFile>
{
};

TEST_P(CaptureBadFiles, areRefusedNamingTheLineAndWhatWasExpected)
{
    const BadFile &c = GetParam();
    std::istringstream in(c.text);
    const CaptureResult result
        = ReadCapture(in, c.statedSize ? c.statedSize : c.text.size(), c.options);
    ASSERT_TRUE(std::holds_alternative<CaptureProblem>(result));
    const CaptureProblem &problem = std::get<CaptureProblem>(result);
    EXPECT_EQ(problem.reason, c.reason);
    EXPECT_EQ(problem.line, c.line);
    EXPECT_NE(problem.text.find(c.word), std::u16string::npos);
    EXPECT_EQ(problem.text.starts_with(u"Riga "), c.line > 0);
}

CaptureOptions Channel(std::size_t channel)
{
    CaptureOptions options;
    options.channel = channel;
    return options;
}

CaptureOptions MostBytes(std::uint64_t bytes)
{
    CaptureOptions options;
    options.mostBytes = bytes;
    return options;
}

CaptureOptions MostSamples(std::int64_t samples)
{
    CaptureOptions options;
    options.mostSamples = samples;
    return options;
}

const std::string Rows = "0,1\n1,2\n2,3\n3,4\n";

INSTANTIATE_TEST_SUITE_P(
    Capture, CaptureBadFiles,
    testing::Values(
        BadFile {"empty", "", CaptureReason::Empty, 0, u"vuoto"},
        BadFile {"blank_lines_alone", "\r\n  \n\t\n", CaptureReason::Empty, 0, u"vuoto"},
        BadFile {"no_numbers", "Time,CH1\nabc,def\n", CaptureReason::NoNumbers, 0, u"numeri"},
        BadFile {"one_column_without_interval", "CH1\n1\n2\n3\n4\n",
                 CaptureReason::NoTimeInformation, 0, u"intervallo"},
        BadFile {"flat_signal", "t,v\n0,1\n1,1\n2,1\n3,1\n", CaptureReason::FlatSignal, 0,
                 u"costante"},
        BadFile {"nan_value", "t,v\n0,1\n1,nan\n2,3\n3,4\n", CaptureReason::NotFinite, 3, u"«nan»"},
        BadFile {"infinite_value", "t,v\n0,1\n1,2\n2,-inf\n3,4\n", CaptureReason::NotFinite, 4,
                 u"finito"},
        BadFile {"value_beyond_doubles", "t,v\n0,1\n1,2\n2,3\n3,1e999\n", CaptureReason::NotFinite,
                 5, u"1e999"},
        BadFile {"nan_time", "t,v\nnan,1\n1,2\n2,3\n3,4\n", CaptureReason::NotFinite, 2, u"nan"},
        BadFile {"time_standing_still", "t,v\n5,1\n5,2\n5,3\n5,4\n", CaptureReason::TimeStandsStill,
                 0, u"avanza"},
        BadFile {"text_inside_the_data", "t,v\n" + Rows + Rows + "4,1\n5,2\nabc\n9,9\n",
                 CaptureReason::NotANumber, 12, u"virgole, trovato «abc»"},
        BadFile {"text_in_the_channel", "t;v\n0;1\n1;2\n2;3\n3;4\n4;x\n", CaptureReason::NotANumber,
                 6, u"punti e virgola, trovato «x»"},
        BadFile {"a_row_with_more_columns", "t,v\n" + Rows + "4,5,6\n", CaptureReason::CellCount, 6,
                 u"attese 2 colonne"},
        BadFile {"nul_bytes", std::string("t,v\n0,1\n\0\0\0", 11), CaptureReason::Binary, 3,
                 u"non è un testo"},
        BadFile {"invalid_utf8", "t,v\n0,1\n1,\xC3\x28\n", CaptureReason::Binary, 3, u"testo"},
        BadFile {"larger_than_the_limit", "t,v\n" + Rows, CaptureReason::TooLarge, 0, u"1000 byte",
                 MostBytes(100), 1000},
        BadFile {"longer_than_its_stated_size", "t,v\n" + Rows + Rows, CaptureReason::TooLarge, 0,
                 u"36 byte", MostBytes(30), 1},
        BadFile {"more_rows_than_the_limit", "t,v\n" + Rows + "4,2\n",
                 CaptureReason::TooManySamples, 0, u"3 campioni", MostSamples(3)},
        BadFile {"one_sample", "t,v\n0,1\n", CaptureReason::TooFewSamples, 0, u"almeno 2"},
        BadFile {"a_channel_that_is_not_there", "t,a,b\n0,1,2\n1,2,3\n2,3,1\n3,1,2\n",
                 CaptureReason::NoSuchChannel, 0, u"canale 3", Channel(2)},
        BadFile {"time_alone", "Time (s)\n0\n1\n2\n3\n", CaptureReason::NoChannel, 0, u"tempo"},
        BadFile {"interval_of_zero", "Increment,0\n1\n2\n3\n4\n", CaptureReason::BadInterval, 1,
                 u"«0»"},
        BadFile {"a_line_too_long", std::string(70000, 'a'), CaptureReason::LineTooLong, 1,
                 u"troppo lunga"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(CaptureMessages, nameTheLineAndTheCellFound)
{
    const CaptureResult result = Read("t,v\n" + Rows + Rows + "4,1\n5,2\nabc\n");
    ASSERT_TRUE(std::holds_alternative<CaptureProblem>(result));
    EXPECT_EQ(std::get<CaptureProblem>(result).text,
              u"Riga 12: attesi numeri separati da virgole, trovato «abc».");
}

// --- Long files: read in chunks, counted, cancelled.

// Rows of one width, after a comment padded so that a CRLF straddles the first chunk's end,
// then a row of text whose line number tells whether that CRLF was taken as one line end.
std::string CrLfAcrossChunks(std::size_t &lines)
{
    constexpr std::size_t Chunk = 65536;
    std::vector<std::string> rows;
    for (int k = 0; k < 3000; ++k) {
        char cells[48];
        std::snprintf(cells, sizeof cells, "%.6e,%.6e\r\n", 1e-6 * k, 1.0 + k % 7);
        rows.emplace_back(cells);
    }
    const std::size_t width = rows.front().size(); // every row's
    const std::string heading = "t,v\r\n";
    const std::size_t before = Chunk - 1 - (width - 2) - 100 * width;
    std::string text = "#" + std::string(before - heading.size() - 3, '-') + "\r\n" + heading;
    for (const std::string &row : rows)
        text += row;
    lines = 2 + rows.size();
    EXPECT_EQ(text[Chunk - 1], '\r');
    EXPECT_EQ(text[Chunk], '\n');
    return text;
}

TEST(CaptureLongFiles, countEveryByteAndEveryLineAcrossChunks)
{
    std::size_t lines = 0;
    const std::string text = CrLfAcrossChunks(lines);
    TaskControl control;
    const Capture capture = Captured(Read(text, {}, &control));
    EXPECT_EQ(control.Done(), static_cast<std::int64_t>(text.size()));
    EXPECT_EQ(capture.samplesRead, 3000);
    EXPECT_NEAR(capture.interval, 1e-6, 1e-15);
    const CaptureResult bad = Read(text + "abc\r\n");
    ASSERT_TRUE(std::holds_alternative<CaptureProblem>(bad));
    EXPECT_EQ(std::get<CaptureProblem>(bad).line, lines + 1);
}

TEST(CaptureLongFiles, stopWhenCancelledAndSaySo)
{
    struct CancelAtFirstCount : WorkWatcher
    {
        TaskControl *control = nullptr;
        void Counted(std::int64_t) override { control->Cancel(); }
    } watcher;
    TaskControl control(watcher);
    watcher.control = &control;
    std::size_t lines = 0;
    const CaptureResult result = Read(CrLfAcrossChunks(lines), {}, &control);
    EXPECT_TRUE(std::holds_alternative<CaptureCancelled>(result));
    EXPECT_EQ(control.Done(), 65536);
}

// --- The period's own problems.

struct PeriodProblem
{
    const char *name;
    double periods; // captured
    bool estimate; // the frequency estimated, or the period averaged
    double frequencyFactor; // the frequency asked for, times the train's
    std::int64_t points;
    CaptureReason reason;
    std::u16string word;
};

void PrintTo(const PeriodProblem &c, std::ostream *out)
{
    *out << c.name;
}

class CapturePeriodProblems : public testing::TestWithParam<PeriodProblem>
{
};

TEST_P(CapturePeriodProblems, areRefusedWithTheirReason)
{
    const PeriodProblem &c = GetParam();
    const Train train {Shape::Rectangle, 1, 1000, 0.5};
    Capture capture;
    capture.interval = 1e-5; // a hundred samples a period
    for (int i = 0; i <= static_cast<int>(c.periods * 100); ++i)
        capture.values.push_back(train.At(i * capture.interval + 1e-6));
    std::optional<CaptureProblem> problem;
    if (c.estimate) {
        const auto estimate = EstimateFrequency(capture);
        ASSERT_TRUE(std::holds_alternative<CaptureProblem>(estimate));
        problem = std::get<CaptureProblem>(estimate);
    } else {
        const auto average = AveragePeriod(capture, train.frequency * c.frequencyFactor, c.points);
        ASSERT_TRUE(std::holds_alternative<CaptureProblem>(average));
        problem = std::get<CaptureProblem>(average);
    }
    EXPECT_EQ(problem->reason, c.reason);
    EXPECT_NE(problem->text.find(c.word), std::u16string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    Capture, CapturePeriodProblems,
    testing::Values(PeriodProblem {"one_rising_edge_finds_no_frequency", 1.4, true, 1, 0,
                                   CaptureReason::LessThanOnePeriod, u"meno di un periodo"},
                    PeriodProblem {"a_period_longer_than_the_capture", 1.4, false, 0.5, 16,
                                   CaptureReason::ShorterThanPeriod,
                                   u"1.400E-03 s contro un periodo di 2.000E-03 s"},
                    PeriodProblem {"a_period_of_one_sample", 3, false, 100, 16,
                                   CaptureReason::PeriodBelowSampling, u"1.000E-05"},
                    PeriodProblem {"no_points", 3, false, 1, 0, CaptureReason::BadPointCount,
                                   u"non 0"}),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
