// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The mapping from user coordinates to pixels and the one-pixel rule of segments.
#include "ui/graph_window/plot_geometry/axis_ticks.h"
#include "ui/graph_window/plot_geometry/harmonic_lines.h"
#include "ui/graph_window/plot_geometry/pixel_mapping.h"
#include "ui/graph_window/plot_geometry/plot_palette.h"
#include "ui/graph_window/plot_geometry/spectrum_scale.h"

#include "core/spectrum/spectrum.h"

#include <QtTest>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <map>
#include <optional>
#include <random>
#include <set>

namespace {

using Pixels = std::set<std::pair<int, std::int64_t>>; // (column, row)

Pixels Lit(double c0, double r0, double c1, double r1, int width = 1000)
{
    Pixels pixels;
    RasterizeSegment(c0, r0, c1, r1, width, [&](int column, std::int64_t low, std::int64_t high) {
        for (std::int64_t row = low; row <= high; ++row)
            pixels.insert({column, row});
    });
    return pixels;
}

// An analysis with H lines of moduli 1, enough for the line rules.
AnalysisState Lines(double harmonics)
{
    AnalysisState s;
    s.HarmonicCount = harmonics;
    s.Frequency = 100000;
    const auto lines = static_cast<std::size_t>(std::max(0, RoundToCount(harmonics)));
    s.Magnitudes = RealArray(lines + 2, 1.0);
    s.SpectrumPeak = 1;
    return s;
}

// As many lines as H, their moduli left as calloc gives them, zero in pages never touched: where
// the lines stand and which one the cursor names depend on their number alone, so that 1e8 of
// them take no memory.
AnalysisState LinePlaces(double harmonics)
{
    AnalysisState s;
    s.HarmonicCount = harmonics;
    s.Frequency = 100000;
    s.Magnitudes = RealArray(static_cast<std::size_t>(std::max(0, RoundToCount(harmonics))) + 1);
    return s;
}

} // namespace

// Colours as readers see them: WCAG 2 contrast, and CIE 1976 distance as seen with normal vision
// and with full protanopia and deuteranopia (Machado, Oliveira and Fernandes 2009, severity 1).
double Linear(std::uint32_t rgb, int shift)
{
    const double c = double((rgb >> shift) & 0xff) / 255;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double Contrast(std::uint32_t a, std::uint32_t b)
{
    const auto luminance = [](std::uint32_t c) {
        return 0.2126 * Linear(c, 16) + 0.7152 * Linear(c, 8) + 0.0722 * Linear(c, 0);
    };
    const double la = luminance(a) + 0.05;
    const double lb = luminance(b) + 0.05;
    return std::max(la, lb) / std::min(la, lb);
}

using Vision = std::array<std::array<double, 3>, 3>;
constexpr Vision Normal = {{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}};
constexpr Vision Protanopia = {{{0.152286, 1.052583, -0.204868},
                                {0.114503, 0.786281, 0.099216},
                                {-0.003882, -0.048116, 1.051998}}};
constexpr Vision Deuteranopia = {{{0.367322, 0.860646, -0.227968},
                                  {0.280085, 0.672501, 0.047413},
                                  {-0.011820, 0.042940, 0.968881}}};

std::array<double, 3> Lab(std::uint32_t rgb, const Vision &vision)
{
    const double linear[3] = {Linear(rgb, 16), Linear(rgb, 8), Linear(rgb, 0)};
    double seen[3];
    for (int i = 0; i < 3; ++i)
        seen[i] = std::clamp(vision[i][0] * linear[0] + vision[i][1] * linear[1]
                                 + vision[i][2] * linear[2],
                             0.0, 1.0);
    const double x = (0.4124 * seen[0] + 0.3576 * seen[1] + 0.1805 * seen[2]) / 0.95047;
    const double y = 0.2126 * seen[0] + 0.7152 * seen[1] + 0.0722 * seen[2];
    const double z = (0.0193 * seen[0] + 0.1192 * seen[1] + 0.9505 * seen[2]) / 1.08883;
    const auto f = [](double t) { return t > 0.008856 ? std::cbrt(t) : 7.787 * t + 16.0 / 116; };
    return {116 * f(y) - 16, 500 * (f(x) - f(y)), 200 * (f(y) - f(z))};
}

class PixelMappingTest : public QObject
{
    Q_OBJECT
private slots:
    // The highlighted harmonic stands apart from every other colour the plot draws, with either
    // common red-green colour blindness too, and reads on the plot; so do the grid's values.
    void theHighlightStandsApartAndTheGridValuesRead()
    {
        const std::uint32_t drawn[] = {0xff0000, 0x0000ff, 0x00ff00, 0x800080, 0xa0a0ff,
                                       0x008080, 0xa0a0a0, 0x606060, 0x000000};
        for (const Vision *vision : {&Normal, &Protanopia, &Deuteranopia}) {
            const auto highlight = Lab(PlotPalette::Highlight, *vision);
            for (const std::uint32_t other : drawn) {
                const auto seen = Lab(other, *vision);
                const double distance = std::hypot(highlight[0] - seen[0], highlight[1] - seen[1],
                                                   highlight[2] - seen[2]);
                QVERIFY2(distance >= 20, qPrintable(QString::number(other, 16)));
            }
        }
        QVERIFY(Contrast(PlotPalette::Highlight, PlotPalette::Background) >= 4.5);
        QVERIFY(Contrast(PlotPalette::GridText, PlotPalette::Background) >= 4.5);
    }

    // The scales' values: the smallest step of 1, 2 or 5 times a power of ten that gives no
    // more than `most` ticks, every multiple of it in the range, and the decimals it needs.
    void axisTicksAreValuesAReaderWouldChoose_data()
    {
        QTest::addColumn<double>("low");
        QTest::addColumn<double>("high");
        QTest::addColumn<int>("most");
        QTest::addColumn<double>("step");
        QTest::addColumn<int>("decimals");
        QTest::addColumn<int>("count");
        QTest::newRow("30 us in 8") << 0.0 << 30.0 << 8 << 5.0 << 0 << 7;
        QTest::newRow("1000 kHz in 8") << 0.0 << 1000.0 << 8 << 200.0 << 0 << 6;
        QTest::newRow("5 V in 6") << 0.0 << 5.0 << 6 << 1.0 << 0 << 6;
        QTest::newRow("a negative signal") << -10.0 << 0.0 << 6 << 2.0 << 0 << 6;
        QTest::newRow("3.18 V in 6") << 0.0 << 3.18 << 6 << 1.0 << 0 << 4;
        QTest::newRow("small values") << 0.0 << 0.037 << 5 << 0.01 << 2 << 4;
        QTest::newRow("large values") << 0.0 << 2.5e7 << 8 << 5e6 << 0 << 6;
        QTest::newRow("an empty range") << 1.0 << 1.0 << 8 << 0.0 << 0 << 0;
        QTest::newRow("no time scale") << 0.0 << qInf() << 8 << 0.0 << 0 << 0;
    }
    void axisTicksAreValuesAReaderWouldChoose()
    {
        QFETCH(double, low);
        QFETCH(double, high);
        QFETCH(int, most);
        QFETCH(double, step);
        QFETCH(int, decimals);
        QFETCH(int, count);
        const AxisTicks ticks = NiceTicks(low, high, most);
        QCOMPARE(ticks.step, step);
        QCOMPARE(ticks.decimals, decimals);
        QCOMPARE(int(ticks.values.size()), count);
        for (const double v : ticks.values) {
            QVERIFY(v >= low - 1e-12 && v <= high + 1e-12);
            QVERIFY(std::abs(v / step - std::round(v / step)) < 1e-9);
        }
    }

    // An axis takes the unit in which no value labelled needs a thousands separator: 1.5 MHz is
    // never "1.500 kHz". Labels stop at 94 % of the axis.
    void axisValuesNeedNoThousandsSeparator_data()
    {
        QTest::addColumn<double>("total");
        QTest::addColumn<int>("units");
        QTest::addColumn<int>("unit");
        QTest::addColumn<double>("inUnit");
        QTest::addColumn<int>("most"); // values labelled
        QTest::newRow("1000 kHz, the last label 800 kHz") << 1000.0 << 4 << 0 << 1000.0 << 8;
        QTest::newRow("1000 kHz in tenths, the last label 900 kHz")
            << 1000.0 << 4 << 0 << 1000.0 << 12;
        QTest::newRow("1200 kHz, 1000 kHz labelled, in MHz") << 1200.0 << 4 << 1 << 1.2 << 8;
        QTest::newRow("3000 kHz in MHz") << 3000.0 << 4 << 1 << 3.0 << 8;
        QTest::newRow("1.5 GHz, 1500 MHz labelled") << 1.5e6 << 4 << 2 << 1.5 << 8;
        QTest::newRow("30 us") << 30.0 << 3 << 0 << 30.0 << 8;
        QTest::newRow("30000 us in ms") << 30000.0 << 3 << 1 << 30.0 << 8;
        QTest::newRow("3000 s, no larger unit") << 3e9 << 3 << 2 << 3000.0 << 8;
    }
    void axisValuesNeedNoThousandsSeparator()
    {
        QFETCH(double, total);
        QFETCH(int, units);
        QFETCH(int, unit);
        QFETCH(double, inUnit);
        QFETCH(int, most);
        const UnitTicks in = TicksInUnits(total, most, 0.94, std::size_t(units));
        QCOMPARE(int(in.unit), unit);
        QCOMPARE(in.total, inUnit);
        QVERIFY(!in.ticks.values.empty());
        for (const double v : in.ticks.values)
            QVERIFY(v < 1000 || v > 0.94 * in.total || in.unit + 1 == std::size_t(units));
    }

    void plotRangeCoversTheWholeSurface()
    {
        const PixelMapping m {0, 100, 100, 0, 997, 605};
        QCOMPARE(m.Column(0), 0.0);
        QCOMPARE(m.Column(100), 996.0);
        QCOMPARE(m.Row(100), 0.0);
        QCOMPARE(m.Row(0), 604.0);
        QCOMPARE(m.Column(50), 498.0);
        QCOMPARE(m.Row(70), 0.3 * 604);
        QCOMPARE(m.UserX(996), 100.0);
        QCOMPARE(m.UserY(604), 0.0);
        for (double x : {0.0, 12.5, 33.3, 99.9})
            QVERIFY(qAbs(m.UserX(m.Column(x)) - x) < 1e-12);
    }

    void segmentsLightTheExpectedPixels_data()
    {
        QTest::addColumn<QVector<double>>("ends");
        QTest::addColumn<QVector<QPoint>>("pixels");
        QTest::newRow("point") << QVector<double> {2, 3, 2, 3} << QVector<QPoint> {{2, 3}};
        QTest::newRow("rounded ends")
            << QVector<double> {1.6, 2.4, 2.4, 2.6} << QVector<QPoint> {{2, 2}, {2, 3}};
        QTest::newRow("horizontal")
            << QVector<double> {0, 5, 3, 5} << QVector<QPoint> {{0, 5}, {1, 5}, {2, 5}, {3, 5}};
        QTest::newRow("vertical upward")
            << QVector<double> {4, 3, 4, 0} << QVector<QPoint> {{4, 0}, {4, 1}, {4, 2}, {4, 3}};
        QTest::newRow("diagonal") << QVector<double> {0, 0, 3, 3}
                                  << QVector<QPoint> {{0, 0}, {1, 1}, {2, 2}, {3, 3}};
        // Rows 0..4 over columns 0..2: half a column of rise per half column.
        QTest::newRow("steep") << QVector<double> {
            0, 0, 2, 4} << QVector<QPoint> {{0, 0}, {0, 1}, {1, 1}, {1, 2}, {1, 3}, {2, 3}, {2, 4}};
        QTest::newRow("shallow") << QVector<double> {
            0, 0, 4, 1} << QVector<QPoint> {{0, 0}, {1, 0}, {2, 0}, {2, 1}, {3, 1}, {4, 1}};
        QTest::newRow("clipped left")
            << QVector<double> {-5, 2, 1, 2} << QVector<QPoint> {{0, 2}, {1, 2}};
        QTest::newRow("clipped right")
            << QVector<double> {998, 1, 1200, 1} << QVector<QPoint> {{998, 1}, {999, 1}};
        QTest::newRow("outside") << QVector<double> {1001, 0, 1400, 9} << QVector<QPoint> {};
        QTest::newRow("not a number") << QVector<double> {0, qQNaN(), 5, 5} << QVector<QPoint> {};
    }
    void segmentsLightTheExpectedPixels()
    {
        QFETCH(QVector<double>, ends);
        QFETCH(QVector<QPoint>, pixels);
        Pixels expected;
        for (const QPoint &p : pixels)
            expected.insert({p.x(), p.y()});
        QCOMPARE(Lit(ends[0], ends[1], ends[2], ends[3]), expected);
        QCOMPARE(Lit(ends[2], ends[3], ends[0], ends[1]), expected); // either direction
    }

    // Lines are unbroken: each column's rows touch or overlap the next column's, and every row
    // between the ends is lit.
    void segmentsAreConnected()
    {
        std::mt19937 random(7);
        std::uniform_real_distribution<double> position(-50, 150);
        for (int trial = 0; trial < 2000; ++trial) {
            const double c0 = position(random), r0 = position(random);
            const double c1 = position(random), r1 = position(random);
            std::map<int, std::pair<std::int64_t, std::int64_t>> spans;
            RasterizeSegment(c0, r0, c1, r1, 1000,
                             [&](int column, std::int64_t low, std::int64_t high) {
                                 QVERIFY(!spans.count(column));
                                 spans[column] = {low, high};
                             });
            for (auto it = spans.begin(); it != spans.end() && std::next(it) != spans.end(); ++it) {
                const auto next = std::next(it);
                QCOMPARE(next->first, it->first + 1);
                QVERIFY(next->second.first <= it->second.second + 1);
                QVERIFY(it->second.first <= next->second.second + 1);
            }
        }
    }

    // The line nearest the cursor: at spacings of one pixel and less the nearest wins, of two as
    // near the lower harmonic, and none lies beyond three pixels. x from 0 to 128 over 129
    // columns puts the lines at columns 100 k / H exactly, so the ties are true ties.
    // At H = 1e8 the lines are 1e-6 apart and single precision, whose step is 2^-17 from 64 to
    // 128, puts seven or eight of them at each place: the lines at place v are the k with
    // |k / 1e6 - v| < 2^-18 (never equal: 2^18 k = 1e6 (2^18 v -+ 1) would need 2^18 to divide
    // 1e6 times an odd number), and the lowest of them is floor((v - 2^-18) 1e6) + 1. At v = 80
    // that is 79999997 (the lines 79999997 .. 80000003; the places beside are 80 -+ 2^-17); at
    // v = 100, the last line's place, 99999997. A cursor 7 2^-21 above 80 (nearer it than
    // 80 + 2^-17) and one beyond the last line both point at the top of a place's lines, which
    // the walk down to the lowest must cross. (Checked by a search through the lines around the
    // cursor, each rounded to single precision exactly from its rational value, in Python's
    // fractions.)
    void nearestLineWinsAndTiesGoToTheLowerHarmonic_data()
    {
        QTest::addColumn<double>("harmonics");
        QTest::addColumn<double>("cursor");
        QTest::addColumn<int>("expected"); // 0: none
        QTest::newRow("1 px, nearer the lower") << 100.0 << 7.4 << 7;
        QTest::newRow("1 px, nearer the upper") << 100.0 << 7.6 << 8;
        QTest::newRow("1 px, halfway") << 100.0 << 7.5 << 7;
        QTest::newRow("1 px, on a line") << 100.0 << 42.0 << 42;
        QTest::newRow("1 px, before the first, in reach") << 100.0 << -1.9 << 1;
        QTest::newRow("1 px, before the first, beyond reach") << 100.0 << -2.5 << 0;
        QTest::newRow("1 px, after the last, in reach") << 100.0 << 102.5 << 100;
        QTest::newRow("1 px, after the last, beyond reach") << 100.0 << 103.5 << 0;
        QTest::newRow("1/2 px, halfway") << 200.0 << 10.25 << 20;
        QTest::newRow("1/2 px, nearer the upper") << 200.0 << 10.3 << 21;
        QTest::newRow("1/4 px, halfway") << 400.0 << 10.125 << 40;
        QTest::newRow("1/4 px, nearer the upper") << 400.0 << 10.13 << 41;
        QTest::newRow("1/4 px, last line") << 400.0 << 100.0 << 400;
        QTest::newRow("1/1024 px, halfway") << 102400.0 << 3.0 + 1.0 / 2048 << 3072;
        QTest::newRow("H = 2.5: lines at 40 and 80") << 2.5 << 42.0 << 1;
        QTest::newRow("H = 2.5, between them") << 2.5 << 60.0 << 0;
        QTest::newRow("H = 2.5, the second") << 2.5 << 79.0 << 2;
        QTest::newRow("no lines") << 0.4 << 0.0 << 0;
        QTest::newRow("1e8 lines, cursor just above a place of seven")
            << 1e8 << 80 + 7.0 / (1 << 21) << 79999997;
        QTest::newRow("1e8 lines, after the last place, in reach") << 1e8 << 101.0 << 99999997;
    }
    void nearestLineWinsAndTiesGoToTheLowerHarmonic()
    {
        QFETCH(double, harmonics);
        QFETCH(double, cursor);
        QFETCH(int, expected);
        const AnalysisState s = LinePlaces(harmonics);
        const PixelMapping m {0, 100, 128, 0, 129, 100};
        const auto k = NearestLine(s, m, cursor, 3);
        QCOMPARE(k.value_or(0), std::int64_t(expected));
    }

    // On the plot's own mapping, with many lines a pixel: the line found is the one that a search
    // through every line finds, positions in long double from the x each line is drawn at.
    void nearestLineIsTheNearestOfAllLines()
    {
        std::mt19937_64 random(20261208);
        for (const double harmonics : {997.0, 5000.0, 123456.0, 1e6}) {
            const AnalysisState s = Lines(harmonics);
            const PixelMapping m {0, 100, 100, 0, 997, 605};
            const auto lines = static_cast<std::int64_t>(harmonics);
            std::vector<long double> at(static_cast<std::size_t>(lines) + 1);
            for (std::int64_t k = 1; k <= lines; ++k)
                at[k] = static_cast<long double>(static_cast<float>(100.0L * k / harmonics)) / 100
                    * 996;
            std::uniform_real_distribution<double> position(-4, 1000);
            for (int trial = 0; trial < 40; ++trial) {
                const double cursor = position(random);
                std::int64_t best = 0;
                for (std::int64_t k = 1; k <= lines; ++k)
                    if (best == 0 || std::abs(at[k] - cursor) < std::abs(at[best] - cursor))
                        best = k;
                const bool inReach = std::abs(at[best] - cursor) <= 3;
                QCOMPARE(NearestLine(s, m, cursor, 3).value_or(0), inReach ? best : 0);
            }
        }
    }

    // The logarithmic frequency axis: the DC component at x = 0, and harmonic k at
    // x = 4 + 96 log10(k / low) / log10(high / low), low the power of ten at or below f in
    // harmonics, high the span and at least a decade on (by hand: f = 100 kHz, H = 10 puts k = 1
    // at 4, k = 2 at 32.90 and k = 10 at 100; f = 150 kHz, H = 100 puts k = 1 at 11.77; H = 3
    // still spans a decade, k = 3 at 49.80). Each x reads back as its harmonic, and the line
    // found under the cursor is the nearest of all, as on the linear axis.
    void logarithmicAxisPlacesAndFindsTheLines()
    {
        const struct
        {
            double hertz, harmonics, k, x; // x by hand
        } places[] = {{1e5, 10, 1, 4},
                      {1e5, 10, 2, 32.8988},
                      {1e5, 10, 10, 100},
                      {1.5e5, 100, 1, 11.7685},
                      {1e5, 3, 3, 49.8036}};
        for (const auto &c : places) {
            AnalysisState s = Lines(c.harmonics);
            s.Frequency = c.hertz;
            const SpectrumScale scale
                = SpectrumScale::Of(s, SpectrumView::Moduli, nullptr, std::nullopt, true);
            QVERIFY2(std::abs(scale.HarmonicX(s, c.k) - c.x) < 1e-4,
                     qPrintable(QString("%1 %2").arg(c.hertz).arg(c.k)));
            QVERIFY(std::abs(scale.HarmonicAt(s, scale.HarmonicX(s, c.k)) - c.k) < 1e-12 * c.k);
            QCOMPARE(scale.HarmonicX(s, 0), 0.0);
            QCOMPARE(scale.HarmonicAt(s, 3.9), 0.0);
        }
        // With a reference at 30 kHz behind the analysis at 100 kHz, ten lines each: one axis
        // from the lower decade, 10 kHz, to the wider span, 1 MHz; each one's lines at their
        // own frequencies: on the linear axis at 100 k f / 1 MHz, on the logarithmic one at
        // 4 + 96 log10(k f / 10 kHz) / 2. The larger peaks, and the floor of each against the
        // larger: the reference's lines of 1 V fall to -20 dB against the analysis's 10 V.
        {
            AnalysisState s = Lines(10), r = Lines(10);
            r.Frequency = 3e4;
            r.Samples = RealArray(4, 0.0);
            r.SignalPeak = 2;
            s.SignalPeak = 5;
            s.SpectrumPeak = 10;
            for (double &m : s.Magnitudes)
                m = 10;
            s.Noise = r.Noise = AnalysisResults::ModulusNoiseLine {1e-9, 0};
            for (const bool log : {false, true}) {
                const SpectrumScale scale
                    = SpectrumScale::Of(s, SpectrumView::Decibels, nullptr, std::nullopt, log, &r);
                QVERIFY(scale.Shared());
                QCOMPARE(scale.Peak(), 10.0);
                QCOMPARE(scale.SignalPeak(), 5.0);
                QCOMPARE(scale.FloorDb(), -30.0);
                for (const int k : {1, 3, 10}) {
                    const double own = log ? 4 + 48 * std::log10(k * 10.0) : 10.0 * k;
                    const double held = log ? 4 + 48 * std::log10(k * 3.0) : 3.0 * k;
                    QVERIFY2(std::abs(scale.HarmonicX(s, k) - own) < 1e-9,
                             qPrintable(QString::number(k)));
                    QVERIFY2(std::abs(scale.HarmonicX(r, k) - held) < 1e-9,
                             qPrintable(QString::number(k)));
                    QVERIFY(std::abs(scale.HarmonicAt(r, held) - k) < 1e-9 * k);
                }
                QCOMPARE(scale.LinesInSpan(r), std::int64_t(10));
            }
            // Kept, the kept scale stands whatever the reference.
            const KeptScale kept {1, 2, -50, 5e5};
            const SpectrumScale held
                = SpectrumScale::Of(s, SpectrumView::Decibels, &kept, std::nullopt, false, &r);
            QCOMPARE(held.Peak(), 2.0);
            QCOMPARE(held.FloorDb(), -50.0);
            QCOMPARE(held.LinesInSpan(s), std::int64_t(5));
            QCOMPARE(held.LinesInSpan(r), std::int64_t(10));
        }
        for (const auto &[hertz, harmonics] : {std::pair {0.5, 40.0}, std::pair {1234.5, 5000.0}}) {
            AnalysisState s = Lines(harmonics);
            s.Frequency = hertz;
            const SpectrumScale scale
                = SpectrumScale::Of(s, SpectrumView::Moduli, nullptr, std::nullopt, true);
            const PixelMapping m {0, 100, 100, 0, 997, 605};
            std::mt19937_64 random(20261210);
            std::uniform_real_distribution<double> position(0, 1000);
            for (int trial = 0; trial < 40; ++trial) {
                const double cursor = position(random);
                std::int64_t best = 0;
                double bestDistance = 0;
                for (std::int64_t k = 1; k <= static_cast<std::int64_t>(harmonics); ++k) {
                    const double at = LineColumn(s, m, k, &scale);
                    if (best == 0 || std::abs(at - cursor) < bestDistance) {
                        best = k;
                        bestDistance = std::abs(at - cursor);
                    }
                }
                QCOMPARE(NearestLine(s, m, cursor, 3, &scale).value_or(0),
                         bestDistance <= 3 ? best : 0);
            }
        }
    }

    // The tool-tip's line for one harmonic, in either decimal separator, with its phase:
    // a_k cos x + b_k sin x = |S_k| cos(x + phi_k), so b_k = -|S_k| alone is phi_k = 90 degrees,
    // a_k = -|S_k| alone a half turn, and a modulus of zero has no phase.
    void harmonicReadoutNamesNumberFrequencyAndModulus()
    {
        AnalysisState s = Lines(10);
        s.CosCoefficients = s.SinCoefficients = RealArray(12, 1.0);
        s.Magnitudes[3] = 2.1220659;
        s.CosCoefficients[3] = 0;
        s.SinCoefficients[3] = -2.1220659;
        s.Magnitudes[10] = 0.004;
        s.CosCoefficients[10] = -0.004;
        s.SinCoefficients[10] = 0;
        s.Magnitudes[5] = s.CosCoefficients[5] = s.SinCoefficients[5] = 0;
        QVERIFY(HarmonicReadout(s, 3, u'.').value_or(u"").ends_with(u"fase non definita"));
        s.Noise = {0, 0}; // the phases are read once the noise is known
        QCOMPARE(
            HarmonicReadout(s, 3, u'.').value_or(u""),
            std::u16string(u"armonica 3: f= 300.00kHz ; |S| = 2.12E+00V ; fase = 90.00\u00B0"));
        QCOMPARE(
            HarmonicReadout(s, 3, u',').value_or(u""),
            std::u16string(u"armonica 3: f= 300,00kHz ; |S| = 2,12E+00V ; fase = 90,00\u00B0"));
        QCOMPARE(
            HarmonicReadout(s, 10, u'.').value_or(u""),
            std::u16string(u"armonica 10: f= 1000.00kHz ; |S| = 4.00E-03V ; fase = 180.00\u00B0"));
        QCOMPARE(HarmonicReadout(s, 5, u'.').value_or(u""),
                 std::u16string(u"armonica 5: f= 500.00kHz ; |S| = 0.00E+00V ; fase non definita"));
        QVERIFY(!HarmonicReadout(s, 0, u'.'));
        QVERIFY(!HarmonicReadout(s, 11, u'.'));
    }

    void farEndsAreClampedWithoutOverflow()
    {
        std::vector<std::tuple<int, std::int64_t, std::int64_t>> spans;
        RasterizeSegment(
            5, 1e300, 5, -qInf(), 1000,
            [&](int c, std::int64_t low, std::int64_t high) { spans.emplace_back(c, low, high); });
        QCOMPARE(spans.size(), std::size_t(1));
        QCOMPARE(spans[0], std::make_tuple(5, -std::int64_t(PixelLimit), std::int64_t(PixelLimit)));
        QCOMPARE(Lit(1e300, 3, -1e300, 3).size(), std::size_t(1000));
    }
};

QTEST_MAIN(PixelMappingTest)
#include "tst_pixel_mapping.moc"
