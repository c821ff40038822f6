// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The column-by-column drawing of the trace and of the spectral lines against drawing every
// segment one at a time by the same one-pixel rule: identical pixels on random analyses.
#include "core/analysis/analysis_run.h"
#include "core/spectrum/spectrum.h"
#include "core/spectrum/spectrum_paths.h"
#include "core/state/harmonic_readings.h"
#include "tests/support/message_recorder.h"
#include "tests/support/plot_colours.h"
#include "ui/graph_window/form2.h"
#include "ui/graph_window/plot/plot_area.h"
#include "ui/graph_window/plot_geometry/column_spans.h"
#include "ui/graph_window/plot_geometry/harmonic_lines.h"
#include "ui/long_work/task_gate.h"

#include <QtTest>

#include <numbers>
#include <random>

namespace {

// One segment at a time, as the drawing is defined.
void LiteralTrace(PlotArea &plot, const AnalysisState &s)
{
    const std::int64_t periods = RoundToCount(s.PeriodCount);
    const std::int64_t n = s.SampleCount;
    const double w = 100 / s.PeriodCount;
    for (std::int64_t j = 1; j <= periods; ++j) {
        for (std::int64_t i = 0; i <= n - 1; ++i) {
            const double x1 = w * double(j - 1) + (w * double(i)) / double(n);
            const double y1 = s.SignalPeak == 0 ? 70 : s.Samples[i] * 25 / s.SignalPeak + 70;
            const double x2 = (w * double(i + 1)) / double(n) + w * double(j - 1);
            const double y2 = s.SignalPeak == 0 ? 70 : s.Samples[i + 1] * 25 / s.SignalPeak + 70;
            plot.Line(float(x1), float(y1), float(x2), float(y2), RedPixel);
        }
    }
}

void LiteralLines(PlotArea &plot, const AnalysisState &s)
{
    const std::int64_t harmonics = RoundToCount(s.HarmonicCount);
    for (std::int64_t k = 1; k <= harmonics; ++k) {
        const double x = double(k * 100) / s.HarmonicCount;
        const double y = s.Magnitudes[k] * 45 / s.SpectrumPeak;
        plot.Line(float(x), 0, float(x), float(y), BluePixel);
    }
}

// Every step of the drawing, one Line at a time, with the DC segments after every spectral line.
void LiteralGraphs(PlotArea &plot, AnalysisState &s)
{
    plot.Scale(0, 100, 100, 0);
    for (int c = 100; c >= 1; c -= 10)
        plot.Line(0, float(c), 0.2f, float(c));
    for (int d = 0; d <= 100; d += 10)
        plot.Line(float(d), 0, float(d), 0.5f);
    plot.Line(0, 70, 100, 70, RedPixel);
    plot.Line(0, 0.1f, 100, 0.1f, BluePixel);
    FindSpectrumPeak(s);
    LiteralTrace(plot, s);
    const std::int64_t harmonics = RoundToCount(s.HarmonicCount);
    for (std::int64_t k = 1; k <= harmonics && s.SpectrumPeak != 0; ++k) {
        const double x = double(k * 100) / s.HarmonicCount;
        const double y = s.Magnitudes[k] * 45 / s.SpectrumPeak;
        const double yd = s.MeanValue * 45 / s.SpectrumPeak;
        plot.Line(float(x), 0, float(x), float(y), BluePixel);
        plot.Line(0, 0, 0, float(yd), 0x00ff00);
        plot.Line(0.1f, 0, 0.1f, float(yd), 0x00ff00);
        plot.Line(0.2f, 0, 0.2f, float(yd), 0x00ff00);
    }
}

// A random signal: random samples (the trace's shape does not matter to the rule), some
// repeated so that flat stretches and vertical runs occur.
AnalysisState RandomTrace(std::mt19937_64 &random)
{
    AnalysisState s;
    const std::int32_t sizes[] = {1, 2, 3, 7, 50, 333, 1000, 4096, 20000};
    s.SampleCount = sizes[random() % std::size(sizes)];
    const double periods[] = {1, 2.5, 3, 3.5, 7, 10.4, 97, 1000, 12345, 200000, 0.4, -3};
    s.PeriodCount = periods[random() % std::size(periods)];
    std::uniform_real_distribution<double> value(-5, 5);
    s.Samples = RealArray(static_cast<std::size_t>(s.SampleCount) + 2);
    double level = 0;
    for (std::int32_t i = 1; i < s.SampleCount; ++i) {
        if (random() % 4)
            level = value(random);
        s.Samples[i] = level;
    }
    FindSignalPeak(s);
    if (random() % 10 == 0) { // a silent signal
        std::fill(s.Samples.begin(), s.Samples.end(), 0.0);
        s.SignalPeak = 0;
    }
    return s;
}

QImage Drawn(QSize size, const std::function<void(PlotArea &)> &draw)
{
    PlotArea plot;
    plot.resize(size + QSize(4, 4)); // the sunken frame takes two pixels a side
    plot.Scale(0, 100, 100, 0);
    draw(plot);
    return plot.Image();
}

} // namespace

class ColumnSpansTest : public QObject
{
    Q_OBJECT
private slots:
    void traceMatchesSegmentBySegmentDrawing()
    {
        std::mt19937_64 random(20261207);
        std::int64_t segments = 0;
        for (int trial = 0; trial < 400; ++trial) {
            const AnalysisState s = RandomTrace(random);
            if (std::int64_t(s.SampleCount) * std::max(0, RoundToCount(s.PeriodCount)) > 4'000'000)
                continue;
            segments += std::int64_t(s.SampleCount) * std::max(0, RoundToCount(s.PeriodCount));
            const QSize size(int(20 + random() % 1000), int(20 + random() % 600));
            const QImage literal = Drawn(size, [&](PlotArea &p) { LiteralTrace(p, s); });
            const QImage gathered = Drawn(
                size, [&](PlotArea &p) { p.Fill(RasterizeTrace(s, p.Mapping()), RedPixel); });
            QVERIFY2(literal == gathered,
                     qPrintable(QString("trial %1: N = %2, P = %3, %4 x %5")
                                    .arg(trial)
                                    .arg(s.SampleCount)
                                    .arg(s.PeriodCount)
                                    .arg(size.width())
                                    .arg(size.height())));
        }
        qInfo("%lld segments compared", static_cast<long long>(segments));
        QVERIFY(segments > 10'000'000);
    }

    // A reference's trace over another analysis's window (P / f): its periods at its own f, as
    // many as begin within the window, one segment at a time; and the dash of 6 pixels lit and 4
    // left, along a horizontal run, up a line from its base and along a steep edge.
    void referenceTraceAndDashesMatchTheirDrawing_data()
    {
        QTest::addColumn<double>("ratio"); // the reference's f over the analysis's
        QTest::addColumn<double>("periods"); // the analysis's P
        QTest::newRow("same f") << 1.0 << 3.0;
        QTest::newRow("twice f, 2.5 periods") << 2.0 << 2.5;
        QTest::newRow("a third of f") << 1.0 / 3 << 3.0;
        QTest::newRow("0.7 f, one period") << 0.7 << 1.0;
    }
    void referenceTraceAndDashesMatchTheirDrawing()
    {
        QFETCH(double, ratio);
        QFETCH(double, periods);
        std::mt19937_64 random(20261210);
        AnalysisState r = RandomTrace(random);
        while (r.SampleCount < 50 || r.SignalPeak == 0)
            r = RandomTrace(random);
        r.Frequency = 1000 * ratio;
        AnalysisState s;
        s.Frequency = 1000;
        s.PeriodCount = periods;
        AnalysisState literal = r;
        const QSize size(997, 605);
        const QImage gathered = Drawn(size, [&](PlotArea &p) {
            p.Fill(RasterizeTraceOver(r, s, p.Mapping(), r.SignalPeak), RedPixel);
        });
        const QImage drawn = Drawn(size, [&](PlotArea &p) {
            // As many periods as begin within the window, each 100 / (P f_r / f) wide: the
            // window in the reference's periods.
            literal.PeriodCount = periods * ratio;
            const std::int64_t n = literal.SampleCount;
            const double w = 100 / literal.PeriodCount;
            for (std::int64_t j = 1; j <= std::int64_t(std::ceil(periods * ratio)); ++j)
                for (std::int64_t i = 0; i < n; ++i)
                    p.Line(float(w * double(j - 1) + (w * double(i)) / double(n)),
                           float(r.Samples[i] * 25 / r.SignalPeak + 70),
                           float((w * double(i + 1)) / double(n) + w * double(j - 1)),
                           float(r.Samples[i + 1] * 25 / r.SignalPeak + 70), RedPixel);
        });
        QVERIFY(gathered == drawn);

        // The dashes: a run along 25 columns of one row, 25 rows of one column from the base
        // below, and a column reached after a row (the walk goes on from the end it joins).
        ColumnSpans flat(40), line(40), edge(40);
        for (int c = 0; c < 25; ++c)
            flat.Add(c, 10, 10);
        line.Add(7, 100, 124);
        for (int c = 0; c < 3; ++c)
            edge.Add(c, 50, 50);
        edge.Add(3, 30, 50);
        const auto lit = [](const std::vector<ColumnRun> &runs) {
            QList<QList<std::int64_t>> out;
            for (const ColumnRun &run : runs)
                out << QList<std::int64_t> {run.column, run.first, run.last};
            return out;
        };
        using Runs = QList<QList<std::int64_t>>;
        Runs expectedFlat;
        for (int c : {0, 1, 2, 3, 4, 5, 10, 11, 12, 13, 14, 15, 20, 21, 22, 23, 24})
            expectedFlat << QList<std::int64_t> {c, 10, 10};
        QCOMPARE(lit(DashedRuns(flat, 6, 4)), expectedFlat);
        QCOMPARE(lit(DashedRuns(line, 6, 4, 130.0)),
                 (Runs {{7, 119, 124}, {7, 109, 114}, {7, 100, 104}}));
        // Three columns lit, then the edge from its bottom (row 50) up: 3 more, 4 left, 6 lit, 4
        // left and the last 4 lit.
        QCOMPARE(
            lit(DashedRuns(edge, 6, 4)),
            (Runs {{0, 50, 50}, {1, 50, 50}, {2, 50, 50}, {3, 48, 50}, {3, 38, 43}, {3, 30, 33}}));
    }

    // One harmonic's wave against its formula, a_k cos(2 pi k i / N) + b_k sin(2 pi k i / N) in
    // long double, drawn one segment at a time over the periods and clipped at y = 45: the same
    // pixels, on random coefficients, scales and surfaces.
    void harmonicWaveMatchesItsFormulaSegmentBySegment()
    {
        std::mt19937_64 random(20261208);
        std::uniform_real_distribution<double> coefficient(-5, 5);
        int drawnTrials = 0;
        for (int trial = 0; trial < 120; ++trial) {
            AnalysisState s;
            const std::int32_t sizes[] = {1, 2, 3, 7, 50, 333, 1000, 4096};
            s.SampleCount = sizes[random() % std::size(sizes)];
            const double periods[] = {1, 2.5, 3, 7, 10.4, 97, 0.4};
            s.PeriodCount = periods[random() % std::size(periods)];
            s.HarmonicCount = double(1 + random() % 40);
            const auto lines = std::size_t(s.HarmonicCount);
            s.CosCoefficients = RealArray(lines + 2);
            s.SinCoefficients = RealArray(lines + 2);
            s.Magnitudes = RealArray(lines + 2);
            for (std::size_t k = 1; k <= lines; ++k) {
                s.CosCoefficients[k] = coefficient(random);
                s.SinCoefficients[k] = coefficient(random);
                s.Magnitudes[k] = std::hypot(s.CosCoefficients[k], s.SinCoefficients[k]);
            }
            s.SignalPeak = 1 + std::abs(coefficient(random)); // some waves overshoot the band
            const std::int64_t k = 1 + std::int64_t(random() % lines);
            const QSize size(int(20 + random() % 1000), int(20 + random() % 600));

            const auto value = [&](std::int64_t i) {
                const long double angle
                    = 2
                    * std::numbers::pi_v<
                          long double> * static_cast<long double>((k * i) % s.SampleCount)
                    / s.SampleCount;
                return static_cast<double>(s.CosCoefficients[k] * std::cos(angle)
                                           + s.SinCoefficients[k] * std::sin(angle));
            };
            const QImage literal = Drawn(size, [&](PlotArea &plot) {
                const double w = 100 / s.PeriodCount;
                for (std::int64_t j = 1; j <= RoundToCount(s.PeriodCount); ++j)
                    for (std::int64_t i = 0; i < s.SampleCount; ++i)
                        plot.Line(float(w * double(j - 1) + (w * double(i)) / s.SampleCount),
                                  float(value(i) * 25 / s.SignalPeak + 70),
                                  float((w * double(i + 1)) / s.SampleCount + w * double(j - 1)),
                                  float(value(i + 1) * 25 / s.SignalPeak + 70), HighlightPixel);
            });
            const QImage gathered = Drawn(size, [&](PlotArea &plot) {
                plot.Fill(RasterizeHarmonicWave(s, k, plot.Mapping()), HighlightPixel);
            });
            PlotArea reference;
            reference.resize(size + QSize(4, 4));
            reference.Scale(0, 100, 100, 0);
            const int lastRow = int(std::floor(reference.Mapping().Row(45)));
            bool lit = false;
            for (int r = 0; r < size.height(); ++r)
                for (int c = 0; c < size.width(); ++c) {
                    const bool expected
                        = r <= lastRow && literal.pixel(c, r) == gathered.pixel(c, r);
                    lit = lit || (gathered.pixel(c, r) & 0xffffff) == HighlightPixel;
                    if (r <= lastRow ? !expected
                                     : (gathered.pixel(c, r) & 0xffffff) == HighlightPixel)
                        QFAIL(qPrintable(QString("trial %1, k = %2, N = %3, P = %4: pixel %5, %6")
                                             .arg(trial)
                                             .arg(k)
                                             .arg(s.SampleCount)
                                             .arg(s.PeriodCount)
                                             .arg(c)
                                             .arg(r)));
                }
            drawnTrials += lit;
        }
        QVERIFY(drawnTrials > 80); // most waves show: the comparison is not of empty surfaces
    }

    // Periods far narrower than a pixel: the gathered trace fills each column from the lowest to
    // the highest sample, as the segments would.
    void manyPeriodsFillTheirColumns()
    {
        AnalysisState s;
        s.SampleCount = 4;
        s.Samples = {0, 1, -1, 0.5, 0, 0};
        s.SignalPeak = 1;
        s.PeriodCount = 2e9;
        const QImage image = Drawn(
            {997, 605}, [&](PlotArea &p) { p.Fill(RasterizeTrace(s, p.Mapping()), RedPixel); });
        PlotArea reference;
        reference.resize(1001, 609);
        reference.Scale(0, 100, 100, 0);
        QCOMPARE(image.size(), QSize(997, 605));
        const PixelMapping &m = reference.Mapping();
        const int top = int(std::floor(m.Row(95.0f) + 0.5));
        const int bottom = int(std::floor(m.Row(45.0f) + 0.5));
        for (int c = 0; c < image.width(); ++c) {
            for (int r = 0; r < image.height(); ++r)
                QCOMPARE((image.pixel(c, r) & 0xffffff) == RedPixel, r >= top && r <= bottom);
        }
    }

    // The decibels' floor: a multiple of 10 dB, at most -10 dB, never below the loudest noise;
    // no modulus within the rounding noise of zero lies above it (so none draws a line), while
    // every other lies above it unless it is within 10 dB of the loudest noise (the noise grows
    // with k: a line above its own noise may stand under the floor that the last harmonics'
    // noise sets); and every grid line between 0 dB and the floor is 10 or 20 dB from the next.
    // On both paths, with the harmonics that vanish (D = 0.5's odd ones, D = 0.3's multiples of
    // 5) and without, and with lines that decay into the noise: at D = 1
    // |S_k| = 4 V / (pi (4 k^2 - 1)) falls as 1 / k^2 while the noise grows with k, and from
    // about k = 2.5e4 on the lines are noise, the loudest at -170.9 dB.
    void decibelFloorLeavesTheNoiseBelowIt_data()
    {
        QTest::addColumn<QVector<double>>("parameters"); // V, D, N, H
        QTest::addColumn<bool>("transform");
        QTest::newRow("half-wave, direct sums") << QVector<double> {10, 0.5, 4096, 40} << false;
        QTest::newRow("half-wave, transform") << QVector<double> {10, 0.5, 4096, 2000} << true;
        QTest::newRow("D = 0.3, transform") << QVector<double> {-3, 0.3, 10000, 3000} << true;
        QTest::newRow("D = 0.37, few lines") << QVector<double> {1, 0.37, 1000, 3} << false;
        QTest::newRow("one line") << QVector<double> {5, 0.5, 1000, 1} << false;
        QTest::newRow("D = 1, lines decaying into the noise")
            << QVector<double> {10, 1, 1e6, 1e5} << true;
    }
    void decibelFloorLeavesTheNoiseBelowIt()
    {
        QFETCH(QVector<double>, parameters);
        QFETCH(bool, transform);
        AnalysisState s;
        s.Amplitude = parameters[0];
        s.DutyCycle = parameters[1];
        s.SampleCount = int(parameters[2]);
        s.HarmonicCount = parameters[3];
        s.Frequency = 1000;
        SpectrumOptions options;
        options.path = transform ? SpectrumPath::Transform : SpectrumPath::DirectSums;
        QCOMPARE(RunAnalysis(s, options).status, AnalysisOutcome::Status::Done);
        const double floor = DecibelFloor(s);
        QCOMPARE(std::fmod(floor, 10.0), 0.0);
        QVERIFY(floor <= -10);
        const int harmonics = RoundToCount(s.HarmonicCount);
        double loudestNoise = -qInf();
        for (int k = 1; k <= harmonics; ++k)
            loudestNoise
                = std::max(loudestNoise, 20 * std::log10(ModulusNoise(s, k) / s.SpectrumPeak));
        QVERIFY2(floor >= loudestNoise, qPrintable(QString::number(loudestNoise)));
        int noisy = 0;
        for (int k = 1; k <= harmonics; ++k) {
            const double level = 20 * std::log10(s.Magnitudes[k] / s.SpectrumPeak);
            if (WithinNoise(s, k)) {
                ++noisy;
                QVERIFY2(!(level > floor), qPrintable(QString::number(k)));
            } else {
                QVERIFY2(level > floor || level < loudestNoise + 10,
                         qPrintable(QString::number(k)));
            }
        }
        QCOMPARE(noisy > 0, parameters[1] != 0.37 && parameters[3] > 3);
        const SpectrumScale scale = SpectrumScale::Of(s, SpectrumView::Decibels);
        const auto grid = scale.Grid();
        QVERIFY(!grid.empty());
        QCOMPARE(grid.front().value, 0.0);
        QCOMPARE(grid.front().y, 45.0);
        for (std::size_t g = 1; g < grid.size(); ++g) {
            const double step = grid[g - 1].value - grid[g].value;
            QVERIFY(step == 10 || step == 20);
        }
        QVERIFY(grid.back().value - scale.StepDb() <= floor);
    }

    void wholeGraphsMatchTheStepByStepDrawing_data()
    {
        QTest::addColumn<QVector<double>>("parameters"); // V, D, N, H, P
        QTest::newRow("defaults") << QVector<double> {10, 0.5, 10000, 10, 3};
        QTest::newRow("lines under the DC") << QVector<double> {10, 0.5, 10000, 1000, 3};
        QTest::newRow("negative") << QVector<double> {-4, 0.3, 2000, 25, 2.6};
        QTest::newRow("halves") << QVector<double> {1, 1, 500, 2.5, 2.5};
        QTest::newRow("silent") << QVector<double> {0, 0.5, 100, 5, 4};
        QTest::newRow("narrow periods") << QVector<double> {3, 0.2, 30, 12, 5000};
    }
    void wholeGraphsMatchTheStepByStepDrawing()
    {
        QFETCH(QVector<double>, parameters);
        AnalysisState s;
        s.Amplitude = parameters[0];
        s.DutyCycle = parameters[1];
        s.SampleCount = int(parameters[2]);
        s.HarmonicCount = parameters[3];
        s.PeriodCount = parameters[4];
        ComputeSpectrum(s);
        MessageRecorder box;
        TaskGate gate;
        Form2 form(s, box, gate);
        DrawGraphs(s, form);
        const QImage drawn = form.Picture1()->Image();
        PlotArea reference;
        reference.SetBackColor(QColor(255, 255, 192));
        reference.resize(form.Picture1()->size());
        LiteralGraphs(reference, s);
        const QImage expected = reference.Image();
        QCOMPARE(drawn.size(), expected.size());
        for (int r = 0; r < drawn.height(); ++r)
            for (int c = 0; c < drawn.width(); ++c)
                if (drawn.pixel(c, r) != expected.pixel(c, r))
                    QFAIL(qPrintable(QString("pixel %1, %2: %3 instead of %4")
                                         .arg(c)
                                         .arg(r)
                                         .arg(drawn.pixel(c, r), 0, 16)
                                         .arg(expected.pixel(c, r), 0, 16)));
    }

    // The spectrum computed by the transform, forced, draws the same pixels as the literal loops'
    // on seeded random analyses: the bulk of its moduli differ in the last bits only, the peak
    // that scales the plot not at all.
    void transformPathDrawsTheLiteralLoopsPixels()
    {
        std::mt19937_64 random(16);
        const auto uniform = [&](double low, double high) {
            return std::uniform_real_distribution<double>(low, high)(random);
        };
        int compared = 0;
        for (int trial = 0; trial < 210; ++trial) {
            AnalysisState literal;
            literal.SampleCount = std::int32_t(std::round(std::exp(uniform(0, std::log(3000.0)))));
            const double n = literal.SampleCount;
            literal.HarmonicCount = trial % 4 == 0
                ? n + 1
                : std::floor(std::exp(uniform(0, std::log(std::min(n + 2, 2e6 / n))))) - 1
                    + (trial % 3 == 0 ? 0.5 : 0);
            literal.DutyCycle = trial % 10 == 0 ? 1
                : trial % 10 == 1               ? uniform(1e-4, 0.05)
                                                : uniform(1e-3, 1);
            literal.Amplitude = (trial % 2 ? -1 : 1) * std::pow(10.0, uniform(-300, 100));
            literal.PeriodCount = trial % 3 + 1;
            AnalysisState transformed = literal;
            ComputeSpectrum(literal);
            SpectrumOptions options;
            options.threads = 2;
            options.path = SpectrumPath::Transform;
            QVERIFY(ComputeSpectrumExactWhereShown(transformed, 0, options));
            MessageRecorder box;
            TaskGate gate;
            Form2 literalForm(literal, box, gate);
            DrawGraphs(literal, literalForm);
            Form2 transformedForm(transformed, box, gate);
            DrawGraphs(transformed, transformedForm);
            QCOMPARE(transformed.SpectrumPeak, literal.SpectrumPeak);
            QVERIFY2(literalForm.Picture1()->Image() == transformedForm.Picture1()->Image(),
                     qPrintable(QString("trial %1: N = %2, D = %3, V = %4, H = %5")
                                    .arg(trial)
                                    .arg(literal.SampleCount)
                                    .arg(literal.DutyCycle, 0, 'g', 17)
                                    .arg(literal.Amplitude, 0, 'g', 17)
                                    .arg(literal.HarmonicCount, 0, 'g', 17)));
            ++compared;
        }
        QCOMPARE(compared, 210);
    }

    void spectralLinesMatchLineByLineDrawing()
    {
        std::mt19937_64 random(7);
        std::uniform_real_distribution<double> modulus(0, 3);
        for (int trial = 0; trial < 60; ++trial) {
            AnalysisState s;
            const double counts[] = {1, 2.5, 10, 10.5, 999, 3000, 50000};
            s.HarmonicCount = counts[random() % std::size(counts)];
            s.SampleCount = 60000;
            s.Magnitudes = RealArray(60002);
            for (int k = 1; k <= RoundToCount(s.HarmonicCount); ++k)
                s.Magnitudes[k] = random() % 5 ? modulus(random) : 0;
            FindSpectrumPeak(s);
            if (s.SpectrumPeak == 0)
                continue;
            const QSize size(int(20 + random() % 1000), int(20 + random() % 600));
            const QImage literal = Drawn(size, [&](PlotArea &p) { LiteralLines(p, s); });
            const QImage gathered = Drawn(size, [&](PlotArea &p) {
                p.Fill(RasterizeSpectralLines(s, p.Mapping()), BluePixel);
            });
            QVERIFY2(literal == gathered, qPrintable(QString("trial %1").arg(trial)));
        }
    }
};

QTEST_MAIN(ColumnSpansTest)
#include "tst_column_spans.moc"
