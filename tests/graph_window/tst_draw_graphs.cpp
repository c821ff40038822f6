// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The graphs command and the drawing, checked on the pixels of the plot's retained image.
#include "core/state/harmonic_readings.h"
#include "core/texts/messages.h"
#include "core/texts/number_text.h"
#include "tests/support/available_memory.h"
#include "tests/support/input_window_fixture.h"
#include "tests/support/plot_colours.h"
#include "tests/support/same_analysis.h"
#include "ui/graph_window/export/plot_export.h"
#include "ui/graph_window/form2.h"
#include "ui/graph_window/full_screen.h"
#include "ui/graph_window/plot/for_tests.h"
#include "ui/graph_window/plot/harmonic_by_harmonic.h"
#include "ui/graph_window/plot/harmonic_sum_layer.h"
#include "ui/graph_window/plot/measure_labels.h"
#include "ui/graph_window/plot/plot_area.h"
#include "ui/graph_window/plot/plot_overlays.h"
#include "ui/graph_window/plot/spectrum_views.h"
#include "ui/graph_window/plot_geometry/measure_texts.h"
#include "ui/window_texts.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProgressDialog>
#include <QRadioButton>
#include <QToolTip>
#include <QWheelEvent>

#include <cmath>
#include <numbers>

namespace {

// Colours without their alpha, as the pixels are compared.

// Closed-form modulus of harmonic k of the half-sine train (peak v, duty cycle d).
double Modulus(double v, double d, int k)
{
    using std::numbers::pi;
    const double u = 2 * k * d;
    if (std::abs(1 - u * u) < 1e-12)
        return std::abs(v) * d;
    return 4 * std::abs(v) * d / pi * std::abs(std::cos(pi * k * d)) / std::abs(1 - u * u);
}

struct Parameters
{
    QString duty = "0.5", amplitude = "10", frequency = "100", samples = "10000", harmonics = "10",
            periods = "3";
};

} // namespace

class DrawGraphsTest : public QObject
{
    Q_OBJECT

private:
    InputWindowFixture w_;
    void enter(const Parameters &p)
    {
        w_.Type("Text1", p.duty);
        w_.Type("Text7", p.amplitude);
        w_.Type("Text12", p.frequency);
        w_.Type("Text13", p.samples);
        w_.Type("Text3", p.harmonics);
        w_.Type("Text8", p.periods);
    }
    PlotArea *draw(const Parameters &p)
    {
        enter(p);
        w_.Click("Command2");
        return w_.form->GraphWindow() ? w_.form->GraphWindow()->Picture1() : nullptr;
    }
    static QRgb pixel(const PlotArea *plot, double x, double y)
    {
        const PixelMapping &m = plot->Mapping();
        return plot->Image().pixel(int(std::floor(m.Column(x) + 0.5)),
                                   int(std::floor(m.Row(y) + 0.5)))
            & 0xffffff;
    }
    static int column(const PlotArea *plot, double x)
    {
        return int(std::floor(plot->Mapping().Column(x) + 0.5));
    }
    static int row(const PlotArea *plot, double y)
    {
        return int(std::floor(plot->Mapping().Row(y) + 0.5));
    }
    // Rows of one column, top to bottom, lit in the colour.
    static QList<int> rowsIn(const PlotArea *plot, int c, QRgb color)
    {
        QList<int> rows;
        for (int r = 0; r < plot->Image().height(); ++r)
            if ((plot->Image().pixel(c, r) & 0xffffff) == color)
                rows << r;
        return rows;
    }

private slots:
    void init() { QVERIFY(w_.Start()); }
    void cleanup() { w_.Stop(); }

    void defaultParametersDrawAxesTraceAndSpectrum()
    {
        const PlotArea *plot = draw({});
        QVERIFY(plot);
        QVERIFY(w_.box->shown.empty());
        QVERIFY(w_.form->GraphWindow()->isVisible());
        const int w = plot->Image().width();
        for (int c = 0; c < w; ++c) // the red time axis, under the trace's flat parts
            QCOMPARE(plot->Image().pixel(c, row(plot, 70)) & 0xffffff, RedPixel);
        for (int c = column(plot, 0.2) + 1; c < w; ++c) // the blue frequency axis
            QCOMPARE(plot->Image().pixel(c, row(plot, 0.1)) & 0xffffff, BluePixel);
        // Three crests at the middle of each pulse: x = (j - 1 + D / 2) * 100 / 3.
        for (int j = 1; j <= 3; ++j)
            QCOMPARE(pixel(plot, (j - 0.75) * 100.0 / 3, 95), RedPixel);
        // Nothing of the trace above the crest.
        for (int c = 1; c < w; ++c)
            QVERIFY(rowsIn(plot, c, RedPixel).isEmpty()
                    || rowsIn(plot, c, RedPixel).first() >= row(plot, 95));
        QCOMPARE(w_.state->SpectrumPeak, w_.state->Magnitudes[1]);
        QVERIFY(w_.form->GraphWindow()->windowIcon().cacheKey()
                == w_.form->windowIcon().cacheKey());
        // One image pixel per device pixel: sharp on dense screens too.
        QCOMPARE(plot->Image().size(), plot->contentsRect().size() * plot->devicePixelRatio());
    }

    // One vertical scale mark every 10 units from 10 to 100, one horizontal mark every 10 units.
    void scaleMarksAreDrawnInTheForeColour()
    {
        const PlotArea *plot = draw({});
        const QRgb black = plot->ForeColor() & 0xffffff;
        for (int c = 30; c <= 90; c += 10) { // below 30 the green DC segments cover them
            if (c != 70)
                QCOMPARE(pixel(plot, 0.1, c), black);
        }
        QCOMPARE(pixel(plot, 0.1, 100), black);
        QCOMPARE(pixel(plot, 0.1, 95), BackgroundPixel); // between two marks
        for (int d = 30; d <= 90;
             d += 20) // odd harmonics 3 to 9 sit on these marks, of zero height
            QCOMPARE(pixel(plot, d, 0.4), black);
    }

    // D = 0.1 gives ten visible lines; each reaches 45 |S_k| / max |S| above the bottom.
    void tenSpectralLinesHaveTheClosedFormHeights()
    {
        Parameters p;
        p.duty = "0.1";
        const PlotArea *plot = draw(p);
        double largest = 0;
        for (int k = 1; k <= 10; ++k)
            largest = std::max(largest, Modulus(10, 0.1, k));
        for (int k = 1; k <= 10; ++k) {
            const QList<int> blue = rowsIn(plot, column(plot, 10.0 * k), BluePixel);
            QVERIFY2(!blue.isEmpty(), qPrintable(QString::number(k)));
            QCOMPARE(blue.last(), plot->Image().height() - 1);
            const int top = row(plot, 45 * Modulus(10, 0.1, k) / largest);
            QVERIFY2(std::abs(blue.first() - top) <= 1,
                     qPrintable(QString("k=%1 %2 %3").arg(k).arg(blue.first()).arg(top)));
        }
        // The DC component: 2 V D / pi, in green at x = 0, 0.1 and 0.2.
        const int dcTop = row(plot, 45 * (2 * 10 * 0.1 / std::numbers::pi) / largest);
        for (double x : {0.0, 0.1, 0.2}) {
            const QList<int> green = rowsIn(plot, column(plot, x), GreenPixel);
            QVERIFY(!green.isEmpty());
            QVERIFY(std::abs(green.first() - dcTop) <= 1);
        }
    }

    // With 1000 harmonics the first two lines stand at x = 0.1 and 0.2, under the DC segments
    // drawn after them; their blue shows only above the DC level.
    void dcSegmentsCoverTheFirstLines()
    {
        Parameters p;
        p.harmonics = "1000";
        const PlotArea *plot = draw(p);
        const int c = column(plot, 0.1);
        const QList<int> green = rowsIn(plot, c, GreenPixel);
        const QList<int> blue = rowsIn(plot, c, BluePixel);
        QCOMPARE(green.last(), plot->Image().height() - 1);
        QVERIFY(!blue.isEmpty());
        QCOMPARE(blue.last(), green.first() - 1); // harmonic 1 (5 V) rises above the DC (3.18 V)
        QVERIFY(std::abs(blue.first() - row(plot, 45)) <= 1);
    }

    void negativeAmplitudeHangsBelowTheTimeAxis()
    {
        Parameters p;
        p.amplitude = "-10";
        const PlotArea *plot = draw(p);
        QCOMPARE(pixel(plot, 100.0 / 3 / 4, 45), RedPixel);
        for (int c = 0; c < plot->Image().width(); ++c) {
            const QList<int> red = rowsIn(plot, c, RedPixel);
            QVERIFY(!red.isEmpty());
            QCOMPARE(red.first(), row(plot, 70));
            QVERIFY(red.last() <= row(plot, 45));
        }
    }

    void halfPeriodsAreRoundedToEven_data()
    {
        QTest::addColumn<QString>("periods");
        QTest::addColumn<double>("end");
        QTest::newRow("2.5 draws two periods") << "2.5" << 80.0;
        QTest::newRow("3.5 draws four periods") << "3.5" << 100.0 * 4 / 3.5;
        QTest::newRow("0.5 draws none") << "0.5" << 0.0;
    }
    // D = 1 fills each period, so the trace leaves the axis up to the end of the last period.
    void halfPeriodsAreRoundedToEven()
    {
        QFETCH(QString, periods);
        QFETCH(double, end);
        Parameters p;
        p.duty = "1";
        p.periods = periods;
        const PlotArea *plot = draw(p);
        int lastAboveAxis = -1;
        for (int c = 0; c < plot->Image().width(); ++c)
            if (rowsIn(plot, c, RedPixel).first() < row(plot, 70))
                lastAboveAxis = c;
        if (end == 0)
            QCOMPARE(lastAboveAxis, -1);
        else
            QVERIFY2(
                std::abs(lastAboveAxis - std::min(column(plot, end), plot->Image().width() - 1))
                    <= 2,
                qPrintable(QString::number(lastAboveAxis)));
        QCOMPARE(pixel(plot, 0.1, 100), plot->ForeColor() & 0xffffff); // the frame is there
    }

    void halfHarmonicCountsAreRoundedToEven()
    {
        Parameters p;
        p.harmonics = "2.5";
        p.duty = "0.1";
        const PlotArea *plot = draw(p);
        QCOMPARE(pixel(plot, 40, 5), BluePixel);
        QCOMPARE(pixel(plot, 80, 5), BluePixel);
        QCOMPARE(pixel(plot, 100, 5), BackgroundPixel);
    }

    void noHarmonicsDrawsNoLinesAndNoDc()
    {
        Parameters p;
        p.harmonics = "0.5";
        const PlotArea *plot = draw(p);
        QVERIFY(rowsIn(plot, column(plot, 0.1), GreenPixel).isEmpty());
        QCOMPARE(pixel(plot, 50, 0.1), BluePixel);
        QCOMPARE(pixel(plot, 1.25 * 100 / 3, 95), RedPixel);
    }

    // A zero signal has no scale: the trace lies on the axis and no line is drawn.
    void zeroAmplitudeDrawsAFlatTrace()
    {
        Parameters p;
        p.amplitude = "0";
        const PlotArea *plot = draw(p);
        QVERIFY(w_.box->shown.empty());
        for (int c = 0; c < plot->Image().width(); ++c)
            QCOMPARE(rowsIn(plot, c, RedPixel), QList<int> {row(plot, 70)});
        QVERIFY(rowsIn(plot, 0, GreenPixel).isEmpty());
        QCOMPARE(pixel(plot, 20, 3), BackgroundPixel);
    }

    void secondClickLeavesNothingOfTheFirstGraphs()
    {
        draw({});
        Parameters second;
        second.periods = "1";
        second.duty = "0.8";
        second.harmonics = "4";
        const QImage redrawn = draw(second)->Image();

        QVERIFY(w_.Start()); // a new program
        QCOMPARE(draw(second)->Image(), redrawn);
    }

    void zeroFrequencyIsRefusedBeforeDrawing()
    {
        draw({});
        const QImage before = w_.form->GraphWindow()->Picture1()->Image();
        const AnalysisState state = *w_.state;
        Parameters p;
        p.frequency = "0";
        draw(p);
        QCOMPARE(w_.box->shown.size(), std::size_t(1));
        QCOMPARE(QString::fromStdU16String(w_.box->shown[0]),
                 QStringLiteral("La frequenza del segnale f non pu\u00f2 essere zero."));
        QCOMPARE(w_.form->GraphWindow()->Picture1()->Image(), before);
        QVERIFY(SameAnalysis(*w_.state, state));
    }

    void refusalsCreateNoWindow_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::newRow("duty") << "Text1"
                              << "1.01";
        QTest::newRow("negative duty") << "Text1"
                                       << "-0.5";
        QTest::newRow("samples") << "Text13"
                                 << "0";
        QTest::newRow("harmonics") << "Text3"
                                   << "10002";
        QTest::newRow("empty periods") << "Text8"
                                       << "";
        QTest::newRow("periods beyond counts") << "Text8"
                                               << "1e10";
    }
    void refusalsCreateNoWindow()
    {
        QFETCH(QString, field);
        QFETCH(QString, text);
        w_.Type(qPrintable(field), text);
        w_.Click("Command2");
        QCOMPARE(w_.box->shown.size(), std::size_t(1));
        QCOMPARE(w_.form->GraphWindow(), nullptr);
        QVERIFY(w_.state->Samples.empty());
        QCOMPARE(w_.state->Amplitude, 0.0);
    }

    // Free memory is asked one way: too little of it refuses the analysis before any window, and
    // the sum of the harmonics before it is drawn, each with the message that names what it needs
    // and what there is (at N = 10000 the analysis takes 320064 bytes, the sum 240024: 1 MB each,
    // rounded up, of 1000 bytes free).
    void tooLittleMemoryIsRefusedWithItsMessage_data()
    {
        QTest::addColumn<bool>("sum");
        QTest::newRow("the analysis") << false;
        QTest::newRow("the sum of the harmonics") << true;
    }
    void tooLittleMemoryIsRefusedWithItsMessage()
    {
        QFETCH(bool, sum);
        AvailableMemory memory(std::uint64_t(1) << 36);
        if (sum)
            QVERIFY(draw({}));
        const QImage before = sum ? w_.form->GraphWindow()->Picture1()->Image() : QImage();
        memory.Set(1000);
        if (sum)
            sumEntry()->trigger();
        else
            draw({});
        QCOMPARE(w_.box->shown.size(), std::size_t(1));
        QCOMPARE(QString::fromStdU16String(w_.box->shown[0]),
                 QString::fromStdU16String(
                     MessageText(Refusal {Reason::NotEnoughMemory, {}, {10000, 1, 1}})));
        if (sum) {
            QVERIFY(!sumEntry()->isChecked());
            QVERIFY(w_.state->HarmonicSum.empty());
            QCOMPARE(w_.form->GraphWindow()->Picture1()->Image(), before);
        } else {
            QCOMPARE(w_.form->GraphWindow(), nullptr);
        }
    }

    void graphsIgnoreTheHarmonicFieldAndTheColours()
    {
        w_.Type("Text2", "not a number");
        QVERIFY(draw({}));
        QVERIFY(w_.box->shown.empty());
        auto *text7 = w_.Field("Text7");
        QCOMPARE(text7->palette().color(QPalette::Base), QColor(255, 192, 192));
    }

    void closedWindowIsCreatedAgainWithNeitherOption()
    {
        draw({});
        Form2 *first = w_.form->GraphWindow();
        first->Picture1_MouseMove(0, 0, 50, 90);
        QVERIFY(first->Option1()->isChecked());
        first->close();
        QTRY_COMPARE(w_.form->GraphWindow(), nullptr);
        draw({});
        Form2 *second = w_.form->GraphWindow();
        QVERIFY(second);
        QVERIFY(second->isVisible());
        QVERIFY(!second->Option1()->isChecked());
        QVERIFY(!second->Option3()->isChecked());
        QCOMPARE(second->Picture1()->ToolTipText(), QString());
    }

    // The readout follows the analysis state, also after the harmonic modulus command changed it.
    void readoutFollowsALaterHarmonicModulusCommand()
    {
        draw({});
        w_.Type("Text7", "20");
        w_.Type("Text2", "1");
        w_.Click("Command1");
        w_.form->GraphWindow()->Picture1_MouseMove(0, 0, 0, 95);
        QCOMPARE(w_.form->GraphWindow()->Picture1()->ToolTipText(),
                 QStringLiteral("t= 0.00usec ; s(t) = 2.00E+01V"));
        // The largest modulus, harmonic 1's V D, follows too.
        w_.form->GraphWindow()->Picture1_MouseMove(0, 0, 10, 45);
        QCOMPARE(w_.form->GraphWindow()->Picture1()->ToolTipText(),
                 QStringLiteral("f= 100.00kHz ; |S(f)| = 1.00E+01V"));
        w_.Type("Text12", "0");
        w_.Click("Command1");
        w_.form->GraphWindow()->Picture1_MouseMove(0, 0, 10, 95);
        QCOMPARE(w_.form->GraphWindow()->Picture1()->ToolTipText(),
                 QStringLiteral("s(t) = 2.00E+01V"));
    }

    // The measures stand beside the plot once the graphs are drawn, with no click, in the
    // locale's numbers. Closed forms (derived where the core's tests check them): the half-wave
    // (D = 0.5) has RMS V / 2, DC V / pi, THD (4 / pi) sqrt(sum_{even k <= H} 1 / (k^2 - 1)^2) and
    // power share 4 (1 / pi^2 + 1/8 + (2 / pi^2) sum_{even k <= H} 1 / (k^2 - 1)^2); the
    // full-wave (D = 1) RMS V / sqrt 2, DC 2 V / pi, THD 3 sqrt(sum_{k=2..H} 1 / (4 k^2 - 1)^2),
    // share 8 / pi^2 + (16 / pi^2) sum_{k=1..H} 1 / (4 k^2 - 1)^2. A zero signal has no THD and
    // no share. The bandwidths follow from the shares: the half-wave's reach 90.53 % at k = 1 and
    // 99.53 % at k = 2, the full-wave's 99.07 % at k = 1; one harmonic stops short of 95 %.
    void measuresStandBesideThePlotWithoutAClick_data()
    {
        QTest::addColumn<QString>("duty");
        QTest::addColumn<QString>("amplitude");
        QTest::addColumn<QString>("harmonics");
        QTest::addColumn<bool>("italian");
        QTest::addColumn<QStringList>("texts");
        const QString none = QStringLiteral("non definita");
        QTest::newRow("half-wave at the defaults")
            << "0.5"
            << "10"
            << "10" << false
            << QStringList {"5.00E+00 V", "3.18E+00 V",          "43.50 %",
                            "99.99 %",    "1 / 2 / 2 armoniche", "100.00 / 200.00 / 200.00 kHz"};
        QTest::newRow("half-wave, one harmonic")
            << "0.5"
            << "10"
            << "1" << false
            << QStringList {"5.00E+00 V",
                            "3.18E+00 V",
                            "0.00 %",
                            "90.53 %",
                            "1 / oltre 1 / oltre 1 armoniche",
                            "100.00 / oltre 100.00 / oltre 100.00 kHz"};
        QTest::newRow("full-wave in Italian")
            << "1"
            << "2"
            << "3" << true
            << QStringList {"1,41E+00 V", "1,27E+00 V",          "21,76 %",
                            "99,92 %",    "1 / 1 / 1 armoniche", "100,00 / 100,00 / 100,00 kHz"};
        QTest::newRow("zero signal")
            << "0.5"
            << "0"
            << "10" << false << QStringList {"0.00E+00 V", "0.00E+00 V", none, none, none, none};
    }
    void measuresStandBesideThePlotWithoutAClick()
    {
        QFETCH(QString, duty);
        QFETCH(QString, amplitude);
        QFETCH(QString, harmonics);
        QFETCH(bool, italian);
        QFETCH(QStringList, texts);
        const QLocale before;
        if (italian)
            QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
        Parameters p;
        p.duty = duty;
        p.amplitude = amplitude;
        p.harmonics = harmonics;
        QVERIFY(draw(p));
        QLocale::setDefault(before);
        // Hidden until "Misure" is turned on, then beside the plot without a further click.
        Form2 *window = w_.form->GraphWindow();
        for (const char *name : {"Label4", "Label5", "Label10", "Label11"}) {
            const auto *label = window->findChild<QLabel *>(name);
            QVERIFY2(label && !label->isVisible(), name);
        }
        QTest::keyClick(window, Qt::Key_M, Qt::ControlModifier);
        auto *entry = window->findChild<QAction *>("MeasuresAction");
        QVERIFY(entry);
        if (!entry->isChecked()) // no active window for the shortcut (Wayland)
            entry->trigger();
        QStringList shown;
        for (const char *name :
             {"Label5", "Label7", "Label9", "Label11", "MeasureValue4", "MeasureValue5"}) {
            const auto *label = window->findChild<QLabel *>(name);
            QVERIFY2(label && label->isVisible(), name);
            shown << label->text();
        }
        QCOMPARE(shown, texts);
        const auto *caption = w_.form->GraphWindow()->findChild<QLabel *>("Label8");
        QVERIFY(caption);
        QCOMPARE(caption->text(), QStringLiteral("distorsione armonica (THD)"));
    }

    // The spectrum band's views drawn, on the pixels, against closed forms: in decibels each
    // line rises from the floor at y = 0 to 45 (1 - L_k / F), L_k = 20 log10(|S_k| / |S_1|) with
    // the closed-form moduli (above), F the floor: the multiple of 10 dB below the faintest line;
    // in phases each line runs from the zero line at y = 22.5 to 22.5 + phi_k / 8, phi_k the
    // phase of the pulse delayed by its own symmetry, -180 k D (+ 180 where cos(pi k D) / (1 -
    // 4 k^2 D^2) < 0), wrapped into (-180, 180]. A harmonic that vanishes (cos(pi k D) = 0) draws
    // no line in either.
    void viewsDrawTheClosedForms_data()
    {
        QTest::addColumn<bool>("phases");
        QTest::addColumn<QString>("duty");
        QTest::addColumn<int>("harmonics");
        QTest::newRow("decibels, D = 0.3") << false << "0.3" << 12;
        QTest::newRow("decibels, half-wave") << false << "0.5" << 10;
        QTest::newRow("decibels, D = 0.9") << false << "0.9" << 7;
        QTest::newRow("phases, D = 0.3") << true << "0.3" << 12;
        QTest::newRow("phases, half-wave") << true << "0.5" << 10;
        QTest::newRow("phases, D = 0.9") << true << "0.9" << 7;
    }
    void viewsDrawTheClosedForms()
    {
        using std::numbers::pi;
        QFETCH(bool, phases);
        QFETCH(QString, duty);
        QFETCH(int, harmonics);
        const double d = duty.toDouble();
        Parameters p;
        p.duty = duty;
        p.harmonics = QString::number(harmonics);
        const PlotArea *plot = draw(p);
        QVERIFY(plot);
        const QImage moduli = plot->Image();
        Form2 *window = w_.form->GraphWindow();
        (phases ? window->Views()->PhaseAction() : window->Views()->DecibelAction())->trigger();
        // At k D = 1/2 the closed form is 0 / 0, whose limit is the first's V D: no zero there.
        const auto atHalf = [&](int k) { return std::abs(1 - 4.0 * k * k * d * d) < 1e-12; };
        const auto vanishes
            = [&](int k) { return std::abs(std::cos(pi * k * d)) < 1e-12 && !atHalf(k); };
        double peak = 0, faintest = 1e300;
        for (int k = 1; k <= harmonics; ++k)
            if (!vanishes(k)) {
                peak = std::max(peak, Modulus(10, d, k));
                faintest = std::min(faintest, Modulus(10, d, k));
            }
        const double faintestDb = 20 * std::log10(faintest / peak);
        const double floorDb = std::min(-10.0, std::floor(faintestDb / 10) * 10);
        const int axis = row(plot, 0.1);
        for (int k = 1; k <= harmonics; ++k) {
            const int c = column(plot, 100.0 * k / harmonics);
            QList<int> rows = rowsIn(plot, c, BluePixel);
            rows.removeAll(axis);
            if (vanishes(k)) {
                QVERIFY2(rows.isEmpty(), qPrintable(QString::number(k)));
                continue;
            }
            QVERIFY2(!rows.isEmpty(), qPrintable(QString::number(k)));
            double top = 0, base = 0;
            if (phases) {
                const double sign
                    = atHalf(k) ? 1 : std::cos(pi * k * d) / (1 - 4.0 * k * k * d * d);
                double phase = std::remainder(-180.0 * k * d + (sign < 0 ? 180 : 0), 360.0);
                if (phase <= -180)
                    phase += 360;
                top = 22.5 + phase / 8;
                base = 22.5;
            } else {
                top = 45 * (1 - 20 * std::log10(Modulus(10, d, k) / peak) / floorDb);
            }
            QCOMPARE(rows.first(), std::min(row(plot, top), row(plot, base)));
            if (phases)
                QCOMPARE(rows.last(), std::max(row(plot, top), row(plot, base)));
        }
        // Off again: the graphs exactly as the moduli drew them.
        (phases ? window->Views()->PhaseAction() : window->Views()->DecibelAction())->trigger();
        QCOMPARE(plot->Image(), moduli);
    }

    // The envelope, the spectrum of one pulse scaled as the lines are, passes through the top of
    // every line (the closed-form moduli, above, are its values at x = k), on the linear and on
    // the decibels' scale, through the foot of a line that vanishes, and has its key.
    void envelopePassesThroughTheLineTops()
    {
        using std::numbers::pi;
        constexpr QRgb TealPixel = 0x008080;
        Parameters p;
        p.duty = "0.3";
        p.harmonics = "12";
        const PlotArea *plot = draw(p);
        QVERIFY(plot);
        const QImage moduli = plot->Image();
        Form2 *window = w_.form->GraphWindow();
        QAction *envelope = window->Views()->EnvelopeAction();
        QCOMPARE(envelope->text(), QStringLiteral("Inviluppo"));
        QCOMPARE(envelope->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_E));
        QVERIFY(!envelope->isChecked());
        QLabel *key = window->findChild<QLabel *>("Label12");
        QVERIFY(key && !key->isVisible());
        envelope->trigger();
        QVERIFY(key->isVisible());
        QCOMPARE(key->text(), QStringLiteral("inviluppo in verde acqua"));
        const double peak = Modulus(10, 0.3, 1);
        const auto passes = [&](int k, double y) {
            const QList<int> rows = rowsIn(plot, column(plot, 100.0 * k / 12), TealPixel);
            return std::any_of(rows.begin(), rows.end(),
                               [&](int r) { return std::abs(r - row(plot, y)) <= 1; });
        };
        for (int k = 1; k <= 12; ++k)
            QVERIFY2(passes(k, 45 * Modulus(10, 0.3, k) / peak), qPrintable(QString::number(k)));
        // In decibels, down to the floor below the faintest line (-43 dB: -50 dB).
        window->Views()->DecibelAction()->trigger();
        QVERIFY(key->isVisible());
        for (int k = 1; k <= 12; ++k) {
            const double level = 20 * std::log10(Modulus(10, 0.3, k) / peak);
            const double y = k == 5 ? 0 : 45 * (1 - level / -50);
            QVERIFY2(passes(k, y), qPrintable(QString::number(k)));
        }
        // No envelope of phases.
        window->Views()->PhaseAction()->trigger();
        QVERIFY(!key->isVisible());
        window->Views()->PhaseAction()->trigger();
        envelope->trigger();
        QVERIFY(!key->isVisible());
        QCOMPARE(plot->Image(), moduli);
    }

    // The grid's values in the decibels' and the phases' views: dark grey, and no grid line
    // crosses them, even drawn tall (a picture whose text is 120 pixels, the lines closer than
    // that).
    void gridValuesAreDarkAndNoGridLineCrossesThem()
    {
        QVERIFY(draw({}));
        Form2 *window = w_.form->GraphWindow();
        for (QAction *view : {window->Views()->DecibelAction(), window->Views()->PhaseAction()}) {
            view->trigger();
            const SpectrumScale scale = window->Views()->Scale();
            for (const int textPixels : {0, 120}) {
                const QImage image = window->PictureOf({1, 1, textPixels});
                const int height = textPixels > 0 ? textPixels : 10;
                // The value's strokes, drawn smooth: their darkest pixel, which the lines' light
                // grey (0xa0) blended with the yellow never reaches, whatever the font.
                int darkest = 0xff;
                for (const SpectrumScale::GridLine &line : scale.Grid()) {
                    const int lineRow
                        = int(std::floor((100 - line.y) / 100 * (image.height() - 1) + 0.5));
                    const int left = int(std::floor(0.5 / 100 * (image.width() - 1) + 0.5)) + 2;
                    // The rows of the value's first digit, over its own line, at its left.
                    for (int r = lineRow - height * 7 / 10; r < lineRow; ++r)
                        for (int c = left; c < left + height / 2; ++c) {
                            const QRgb pixel = image.pixel(c, r) & 0xffffff;
                            QVERIFY2(pixel != 0xa0a0a0, qPrintable(QString("%1 %2").arg(c).arg(r)));
                            darkest = std::min(darkest, qMax(qRed(pixel), qBlue(pixel)));
                        }
                }
                QVERIFY2(darkest < 0x90, qPrintable(QString::number(darkest, 16)));
            }
        }
    }

    // Values on the scales: ticks a reader would choose, in the locale's numbers, with their
    // units. At the defaults (D = 0.5, V = 10, f = 100 kHz, H = 10, P = 3) the time runs to 30 µs,
    // ticks every 5 µs; the signal to 10 V, every 2 V; the frequency to 1000 kHz, every 200 kHz;
    // the moduli to V / 2 = 5 V, every 1 V. Each tick is a mark on its axis.
    void axisValuesMarkTheScales()
    {
        const PlotArea *plot = draw({});
        QVERIFY(plot);
        const QImage bare = plot->Image();
        Form2 *window = w_.form->GraphWindow();
        QAction *values = window->Views()->AxisValuesAction();
        QCOMPARE(values->text(), QStringLiteral("Valori sugli assi"));
        QCOMPARE(values->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_T));
        QVERIFY(!values->isChecked());
        values->trigger();
        const QRgb black = plot->ForeColor() & 0xffffff;
        // A mark under the time axis at each 5 µs: x = t / 30 * 100.
        for (int t = 0; t <= 30; t += 5) {
            const int c = column(plot, t / 30.0 * 100);
            QCOMPARE(plot->Image().pixel(c, row(plot, 70.5)) & 0xffffff, black);
        }
        // None between them.
        QVERIFY((plot->Image().pixel(column(plot, 2.5 / 30 * 100), row(plot, 70.5)) & 0xffffff)
                != black);
        // Up the left edge: the signal every 2 V, 2.5 units apart; the moduli every 1 V, 9 units.
        for (int v = 2; v <= 10; v += 2)
            QCOMPARE(plot->Image().pixel(column(plot, 0.5), row(plot, 70 + 2.5 * v)) & 0xffffff,
                     black);
        for (int m = 1; m <= 5; ++m)
            QCOMPARE(plot->Image().pixel(column(plot, 0.5), row(plot, 9.0 * m)) & 0xffffff, black);
        // Along the frequency axis every 200 kHz, 20 units.
        for (int f = 200; f <= 1000; f += 200)
            QCOMPARE(plot->Image().pixel(column(plot, f / 10.0), row(plot, 1)) & 0xffffff, black);
        values->trigger();
        QCOMPARE(plot->Image(), bare);
    }

    // The frequency's values never cross a spectral line: where one stands under a value's line
    // of text, the value is lifted clear of it, or left out. Every pixel of a line stays the
    // line's colour with the values on.
    void axisValuesCrossNoLine_data()
    {
        QTest::addColumn<QString>("frequency");
        QTest::addColumn<QString>("harmonics");
        QTest::newRow("lines on the ticks") << "100"
                                            << "10";
        QTest::newRow("harmonic 4 just right of 400 kHz") << "101"
                                                          << "10";
        QTest::newRow("30 lines") << "137"
                                  << "30";
        QTest::newRow("MHz") << "333"
                             << "12";
    }
    void axisValuesCrossNoLine()
    {
        QFETCH(QString, frequency);
        QFETCH(QString, harmonics);
        Parameters p;
        p.frequency = frequency;
        p.harmonics = harmonics;
        const PlotArea *plot = draw(p);
        QVERIFY(plot);
        const QImage bare = plot->Image();
        w_.form->GraphWindow()->Views()->AxisValuesAction()->trigger();
        const QImage values = plot->Image();
        int linePixels = 0;
        // Above the ticks, which mark the axis at each value, on the lines or not.
        for (int y = row(plot, 45); y < row(plot, 1.2); ++y)
            for (int x = 0; x < bare.width(); ++x)
                if ((bare.pixel(x, y) & 0xffffff) == BluePixel) {
                    ++linePixels;
                    QVERIFY2(
                        (values.pixel(x, y) & 0xffffff) == BluePixel,
                        qPrintable(QString("a value over the line at (%1, %2)").arg(x).arg(y)));
                }
        QVERIFY(linePixels > 100);
        QVERIFY(values != bare); // the values are there
        w_.form->GraphWindow()->Views()->AxisValuesAction()->trigger();
    }

    // The windows' numbers in the two kinds of format: the readouts' take only the locale's
    // decimal separator and never group their digits, so that a copied text reads back; the
    // scales' values are the user's language in full, grouped as it groups them.
    void windowsWriteEachNumberFormatInTheLocale_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<double>("value");
        QTest::addColumn<bool>("scale");
        QTest::addColumn<bool>("scientific");
        QTest::addColumn<int>("decimals");
        QTest::addColumn<QString>("text");
        const QLocale italian(QLocale::Italian, QLocale::Italy);
        QTest::newRow("readout fixed in C")
            << QLocale::c() << 1234.5 << false << false << 2 << QStringLiteral("1234.50");
        QTest::newRow("readout fixed in Italian, ungrouped")
            << italian << 1234.5 << false << false << 2 << QStringLiteral("1234,50");
        QTest::newRow("readout scientific in Italian")
            << italian << 1234.5 << false << true << 2 << QStringLiteral("1,23E+03");
        QTest::newRow("readout of an infinity is empty")
            << italian << HUGE_VAL << false << false << 2 << QString();
        QTest::newRow("scale value in Italian, grouped by points")
            << italian << 1234.0 << true << false << 0 << QStringLiteral("1.234");
    }
    void windowsWriteEachNumberFormatInTheLocale()
    {
        QFETCH(QLocale, locale);
        QFETCH(double, value);
        QFETCH(bool, scale);
        QFETCH(bool, scientific);
        QFETCH(int, decimals);
        QFETCH(QString, text);
        const NumberFormat format = scale ? ScaleValue(decimals)
            : scientific                  ? ReadoutScientific
                                          : ReadoutFixed;
        QLocale::setDefault(locale);
        const QString written = LocaleNumber(value, format);
        QLocale::setDefault(QLocale::c());
        QCOMPARE(written, text);
    }

    // "Mantieni la scala": the next analyses are drawn on the scales of the one shown when it
    // was turned on, so that the fundamentals of D = 0.1, 0.5 and 0.9 stand at their own heights
    // (1.26 V, 5 V, 4.87 V by the closed form above); a line beyond the kept scale stops at the
    // band's top with a bar across it; the frequency span is kept too, and the readout reads the
    // kept scale. Harmonic 1 is the largest line of each of these analyses.
    void keptScaleDrawsTheNextAnalysesAtOneHeight_data()
    {
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("next");
        QTest::addColumn<QString>("amplitude");
        QTest::addColumn<QString>("harmonics");
        QTest::newRow("D = 0.5, then 0.1") << "0.5"
                                           << "0.1"
                                           << "10"
                                           << "10";
        QTest::newRow("D = 0.5, then 0.9") << "0.5"
                                           << "0.9"
                                           << "10"
                                           << "10";
        QTest::newRow("D = 0.1, then 0.5, clipped") << "0.1"
                                                    << "0.5"
                                                    << "10"
                                                    << "10";
        QTest::newRow("half the amplitude") << "0.5"
                                            << "0.5"
                                            << "5"
                                            << "10";
        QTest::newRow("twice the harmonics") << "0.5"
                                             << "0.5"
                                             << "10"
                                             << "20";
        QTest::newRow("half the harmonics, inside the span") << "0.5"
                                                             << "0.5"
                                                             << "10"
                                                             << "5";
    }
    void keptScaleDrawsTheNextAnalysesAtOneHeight()
    {
        QFETCH(QString, shown);
        QFETCH(QString, next);
        QFETCH(QString, amplitude);
        QFETCH(QString, harmonics);
        Parameters p;
        p.duty = shown;
        const PlotArea *plot = draw(p);
        QVERIFY(plot);
        Form2 *window = w_.form->GraphWindow();
        QAction *keep = window->Views()->KeepScaleAction();
        QCOMPARE(keep->text(), QStringLiteral("Mantieni la scala"));
        QCOMPARE(keep->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_K));
        QVERIFY(!keep->isChecked());
        keep->trigger();
        p.duty = next;
        p.amplitude = amplitude;
        p.harmonics = harmonics;
        QVERIFY(draw(p) == plot);
        const double v = amplitude.toDouble(), keptPeak = Modulus(10, shown.toDouble(), 1);
        // Harmonic k at x = 100 k f / (10 f): the kept span of 10 harmonics.
        for (const int k : {1, 2, 4}) {
            const double top = 45 * Modulus(v, next.toDouble(), k) / keptPeak;
            QList<int> rows = rowsIn(plot, column(plot, 10.0 * k), BluePixel);
            rows.removeAll(row(plot, 0.1));
            QVERIFY2(!rows.isEmpty(), qPrintable(QString::number(k)));
            QCOMPARE(rows.first(), row(plot, std::min(top, 45.0)));
            // The bar across a line that goes on beyond the band's top.
            const bool clipped = top > 45;
            for (const int side : {-2, 2})
                QCOMPARE(
                    (plot->Image().pixel(column(plot, 10.0 * k) + side, row(plot, 45)) & 0xffffff)
                        == BluePixel,
                    clipped);
        }
        // The signal's crest on the kept 10 V: 25 v / 10 units above the time axis.
        QCOMPARE(pixel(plot, 100.0 / 3 * next.toDouble() / 2, 70 + 2.5 * v), RedPixel);
        window->Picture1_MouseMove(0, 0, 10, 45);
        QCOMPARE(window->Picture1()->ToolTipText(),
                 QStringLiteral("f= 100.00kHz ; |S(f)| = %1V")
                     .arg(QString::fromStdU16String(*FormatScientific(keptPeak, u'.'))));
        // The key says the scale is kept, and how many harmonics its span leaves out.
        QLabel *key = window->Views()->KeptScaleKey();
        QVERIFY(key->isVisible());
        QCOMPARE(key->text(),
                 harmonics == "20" ? QStringLiteral("scala mantenuta: 10 armoniche fuori")
                                   : QStringLiteral("scala mantenuta"));
        // Off: the analysis's own scales again.
        keep->trigger();
        QVERIFY(!key->isVisible());
        QList<int> rows = rowsIn(plot, column(plot, 100.0 / harmonics.toDouble()), BluePixel);
        QVERIFY(!rows.isEmpty());
        QCOMPARE(rows.first(), row(plot, 45));
    }

    // The logarithmic frequency axis at the defaults (f = 100 kHz, 10 harmonics): one decade
    // from 100 kHz at x = 4 to 1 MHz at x = 100, harmonic 2 at 4 + 96 log10 2 = 32.90 with its
    // top at 45 |S_2| / |S_1| = 45 (4 / (3 pi)) (the half-wave's closed form), the DC component
    // alone at the left edge; the readout reads the frequency on the same scale, and turned off
    // the graphs are as before.
    void logarithmicAxisPlacesTheLinesInDecades()
    {
        const PlotArea *plot = draw({});
        QVERIFY(plot);
        Form2 *window = w_.form->GraphWindow();
        const QImage linear = plot->Image();
        QAction *log = window->Views()->LogFrequencyAction();
        QCOMPARE(log->text(), QStringLiteral("Frequenze in scala logaritmica"));
        QCOMPARE(log->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_L));
        log->trigger();
        const double x2 = 4 + 96 * std::log10(2.0);
        QList<int> rows = rowsIn(plot, column(plot, x2), BluePixel);
        QVERIFY(!rows.isEmpty());
        QCOMPARE(rows.first(), row(plot, 45 * 4 / (3 * std::numbers::pi)));
        QVERIFY(!rowsIn(plot, column(plot, 4.0), BluePixel).isEmpty()); // harmonic 1
        QList<int> gap = rowsIn(plot, column(plot, 2.0), BluePixel); // before it: the axis alone
        gap.removeAll(row(plot, 0.1));
        QVERIFY(gap.isEmpty());
        window->Picture1_MouseMove(0, 0, static_cast<float>(x2), 10);
        QVERIFY2(window->Picture1()->ToolTipText().startsWith(QStringLiteral("f= 200.00kHz")),
                 qPrintable(window->Picture1()->ToolTipText()));
        // In decibels, the slopes from the first harmonic's top (0 dB) fall 20 and 40 dB a
        // decade: at harmonic 3, -9.54 and -19.08 dB on the floor of -40 dB (the faintest line,
        // harmonic 10, is at 20 log10(4 / (99 pi)) = -37.8 dB), y = 45 (1 - level / -40).
        window->Views()->DecibelAction()->trigger();
        window->Views()->SlopesAction()->trigger();
        const int x3 = column(plot, 4 + 96 * std::log10(3.0));
        const QList<int> grey = rowsIn(plot, x3, 0x606060);
        for (const double slope : {20.0, 40.0}) {
            const int expected = row(plot, 45 * (1 - slope * std::log10(3.0) / 40));
            QVERIFY2(grey.contains(expected) || grey.contains(expected - 1)
                         || grey.contains(expected + 1),
                     qPrintable(QString::number(slope)));
        }
        window->Views()->SlopesAction()->trigger();
        window->Views()->DecibelAction()->trigger();
        log->trigger();
        QCOMPARE(plot->Image(), linear);
    }

    // The decibels' floor chosen in a submenu of both menus. The half-wave's level k, against the
    // first, is 20 log10(4 / (pi (k^2 - 1))) for even k (its odd harmonics vanish): at -40 dB or
    // below from k = 12 on, so that with 20 harmonics k = 12, 14, ..., 20 lie under a floor of
    // -40 dB, none under the automatic one (-50 dB: the faintest is -49.9 dB) or -60 dB.
    void aChosenDecibelFloorCountsTheLinesBelowIt()
    {
        Parameters p;
        p.harmonics = "20";
        QVERIFY(draw(p));
        Form2 *window = w_.form->GraphWindow();
        QMenu *floors = window->findChild<QMenu *>("DecibelFloorMenu");
        QVERIFY(floors);
        QCOMPARE(floors->title(), QStringLiteral("Fondo scala in dB"));
        QVERIFY(window->PlotMenu()->actions().contains(floors->menuAction()));
        QVERIFY(
            window->findChild<QMenu *>("MenuVisualizza")->actions().contains(floors->menuAction()));
        QStringList texts;
        for (const QAction *entry : floors->actions())
            texts << entry->text();
        QCOMPARE(texts,
                 (QStringList {"Automatico", "-40 dB", "-60 dB", "-80 dB", "-100 dB", "-120 dB"}));
        QVERIFY(window->findChild<QAction *>("DecibelFloorAutomatic")->isChecked());
        window->Views()->DecibelAction()->trigger();
        QLabel *key = window->Views()->BelowFloorKey();
        QVERIFY(!key->isVisible());
        QCOMPARE(window->Views()->Scale().FloorDb(), -50.0);
        const struct
        {
            const char *entry;
            double floor;
            QString key; // empty: hidden
        } choices[] = {{"DecibelFloor40", -40, "5 righe sotto il fondo scala"},
                       {"DecibelFloor60", -60, ""},
                       {"DecibelFloor120", -120, ""},
                       {"DecibelFloorAutomatic", -50, ""}};
        for (const auto &choice : choices) {
            window->findChild<QAction *>(choice.entry)->trigger();
            QVERIFY(window->findChild<QAction *>(choice.entry)->isChecked());
            QCOMPARE(window->Views()->Scale().FloorDb(), choice.floor);
            QCOMPARE(key->isVisible(), !choice.key.isEmpty());
            if (!choice.key.isEmpty())
                QCOMPARE(key->text(), choice.key);
            // The readout reads the floor's scale: a tenth of the band up, nine tenths of it.
            window->Picture1_MouseMove(0, 0, 10, 4.5f);
            QVERIFY2(window->Picture1()->ToolTipText().contains(
                         QStringLiteral("livello = %1dB").arg(0.9 * choice.floor, 0, 'f', 2)),
                     qPrintable(window->Picture1()->ToolTipText()));
        }
        // The moduli's view has no floor: no key.
        window->findChild<QAction *>("DecibelFloor40")->trigger();
        window->Views()->DecibelAction()->trigger();
        QVERIFY(!key->isVisible());
    }

    // A filter chosen in the input window's menu is the graph window's too: its output y(t) in
    // dark green over s(t) with its key, the output's lines over the input's pale ones at
    // |H(k f)| |S_k| (an RC low-pass at fc = 500 kHz: 1 / sqrt(1 + (k / 5)^2)), the response
    // over them, the readout's line of |S|, |H|, arg H and |Y|, the output's measures; back to
    // "nessuno", the graphs exactly as before.
    void aFilterDrawsItsOutputOverTheInput()
    {
        const PlotArea *plot = draw({});
        QVERIFY(plot);
        Form2 *window = w_.form->GraphWindow();
        const QImage plain = plot->Image();
        QAction *lowPass = w_.form->findChild<QMenu *>("MenuFiltro")->actions().at(1);
        QCOMPARE(lowPass->text(), QStringLiteral("passa-basso RC"));
        QVERIFY(window->FilterMenu()->actions().contains(lowPass));
        window->Measures().Action()->trigger();
        lowPass->trigger();
        QCOMPARE(window->Filter().Settings(), (FilterSettings {FilterKind::RcLowPass, 500e3, 0}));
        QVERIFY(window->FilterKey()->isVisible());
        QCOMPARE(window->FilterKey()->text(), QStringLiteral("y(t): uscita del filtro"));
        int green = 0;
        for (int c = 0; c < plot->Image().width(); ++c)
            green += int(rowsIn(plot, c, 0x007000).size());
        QVERIFY(green > plot->Image().width() / 2);
        const double s1 = Modulus(10, 0.5, 1), s2 = Modulus(10, 0.5, 2);
        for (const auto &[k, s] : {std::pair {1, s1}, std::pair {2, s2}}) {
            const int c = column(plot, k * 10.0);
            const QList<int> blue = rowsIn(plot, c, BluePixel);
            const QList<int> pale = rowsIn(plot, c, PaleBluePixel);
            QVERIFY(!blue.isEmpty() && !pale.isEmpty());
            const double gain = 1 / std::sqrt(1 + k * k / 25.0);
            QVERIFY2(std::abs(blue.first() - row(plot, 45 * s * gain / s1)) <= 1,
                     qPrintable(QString::number(k)));
            QVERIFY(std::abs(pale.first() - row(plot, 45 * s / s1)) <= 1);
            QVERIFY(pale.last() < blue.first());
        }
        QVERIFY(!rowsIn(plot, column(plot, 50), 0xc05000).isEmpty()); // the response
        // The envelope times |H|, through the output's line tops.
        window->Views()->EnvelopeAction()->trigger();
        const int top2 = row(plot, 45 * s2 / std::sqrt(1 + 4 / 25.0) / s1);
        const QList<int> teal = rowsIn(plot, column(plot, 20), 0x008080);
        QVERIFY(teal.contains(top2) || teal.contains(top2 - 1) || teal.contains(top2 + 1));
        window->Views()->EnvelopeAction()->trigger();
        window->Picture1_MouseMove(0, 0, 10, 20);
        QVERIFY2(window->Picture1()->ToolTipText().contains(
                     QStringLiteral("|H| = 9.81E-01 (-0.17 dB) ; arg H = -11.31° ; |Y| = ")),
                 qPrintable(window->Picture1()->ToolTipText()));
        QCOMPARE(window->findChild<QLabel *>("Label4")->text(),
                 QStringLiteral("valore efficace di y(t)"));
        // The phases' view: harmonic 1's at its own phase less 11.31 degrees.
        window->Views()->PhaseAction()->trigger();
        QCOMPARE(window->Plot().Shown()().Magnitudes.size(), std::size_t(12));
        QVERIFY(std::abs(PhaseDegrees(window->Plot().Shown()(), 1)
                         - (PhaseDegrees(*w_.state, 1) - std::atan(0.2) * 180 / std::numbers::pi))
                < 1e-9);
        window->Views()->PhaseAction()->trigger();
        window->FilterMenu()->actions().at(0)->trigger();
        QVERIFY(!window->FilterKey()->isVisible());
        QCOMPARE(window->findChild<QLabel *>("Label4")->text(), QStringLiteral("valore efficace"));
        window->Measures().Action()->trigger();
        QCOMPARE(plot->Image(), plain);
    }

    // A reference held, then another analysis on the scale that fits both: the shared modulus
    // peak is the larger of the two first harmonics (the half-wave's closed form), the shared
    // span the wider of 10 f, each one's line k at 100 k f / span, the reference's top marked by
    // its dashed pink, the signal's crest at 25 v / (the larger v).
    void aReferenceIsDrawnBehindOnOneScale_data()
    {
        QTest::addColumn<double>("heldAmplitude");
        QTest::addColumn<double>("heldFrequency");
        QTest::addColumn<double>("amplitude");
        QTest::addColumn<double>("frequency");
        QTest::newRow("reference larger") << 10.0 << 100.0 << 5.0 << 100.0;
        QTest::newRow("reference smaller") << 4.0 << 100.0 << 10.0 << 100.0;
        QTest::newRow("reference at twice f") << 10.0 << 200.0 << 8.0 << 100.0;
        QTest::newRow("reference at half f") << 6.0 << 50.0 << 10.0 << 100.0;
    }
    void aReferenceIsDrawnBehindOnOneScale()
    {
        QFETCH(double, heldAmplitude);
        QFETCH(double, heldFrequency);
        QFETCH(double, amplitude);
        QFETCH(double, frequency);
        Parameters p;
        p.amplitude = QString::number(heldAmplitude);
        p.frequency = QString::number(heldFrequency);
        const PlotArea *plot = draw(p);
        QVERIFY(plot);
        Form2 *window = w_.form->GraphWindow();
        const QImage plain = [&] {
            p.amplitude = QString::number(amplitude);
            p.frequency = QString::number(frequency);
            draw(p);
            const QImage image = plot->Image();
            p.amplitude = QString::number(heldAmplitude);
            p.frequency = QString::number(heldFrequency);
            draw(p);
            return image;
        }();
        QVERIFY(!window->ReferenceKey()->isVisible());
        window->HoldReferenceAction()->trigger();
        QVERIFY(window->DropReferenceAction()->isEnabled());
        p.amplitude = QString::number(amplitude);
        p.frequency = QString::number(frequency);
        QVERIFY(draw(p) == plot);
        QVERIFY(window->ReferenceKey()->isVisible());
        QCOMPARE(window->ReferenceKey()->text(),
                 QStringLiteral("riferimento: semisinusoide, D.C. = 0.5"));
        const double peak = std::max(Modulus(heldAmplitude, 0.5, 1), Modulus(amplitude, 0.5, 1));
        const double span = 10 * std::max(heldFrequency, frequency);
        for (const int k : {1, 2, 4}) {
            const QList<int> blue
                = rowsIn(plot, column(plot, 100 * k * frequency / span), BluePixel);
            QVERIFY2(!blue.isEmpty(), qPrintable(QString::number(k)));
            QVERIFY2(std::abs(blue.first() - row(plot, 45 * Modulus(amplitude, 0.5, k) / peak))
                         <= 1,
                     qPrintable(QString::number(k)));
            QList<int> pink
                = rowsIn(plot, column(plot, 100 * k * heldFrequency / span), ReferencePixel);
            pink.removeIf([&](int r) { return r < row(plot, 46); }); // the spectrum band's alone
            QVERIFY2(!pink.isEmpty(), qPrintable(QString::number(k)));
            QVERIFY2(std::abs(pink.first() - row(plot, 45 * Modulus(heldAmplitude, 0.5, k) / peak))
                         <= 1,
                     qPrintable(QString::number(k)));
        }
        // The analysis's crest, at the middle of its first pulse, on the larger amplitude.
        const double most = std::max(heldAmplitude, amplitude);
        QCOMPARE(pixel(plot, 100.0 / 3 / 4, 70 + 25 * amplitude / most), RedPixel);
        // The reference's crests, dashed, at its own period, within the analysis's window.
        int crest = 0;
        const int top = row(plot, 70 + 25 * heldAmplitude / most);
        for (int c = 0; c < plot->Image().width(); ++c)
            crest += (plot->Image().pixel(c, top) & 0xffffff) == ReferencePixel;
        QVERIFY(crest > 0);
        // Every view holds both, on its shared scale.
        for (QAction *view : {window->Views()->DecibelAction(), window->Views()->PhaseAction(),
                              window->Views()->LogFrequencyAction()}) {
            view->trigger();
            int pink = 0;
            for (int c = 0; c < plot->Image().width(); ++c)
                pink += int(rowsIn(plot, c, ReferencePixel).size());
            QVERIFY2(pink > 20, qPrintable(view->text()));
            view->trigger();
        }
        // Back to no reference: the graphs as the analysis alone draws them.
        window->DropReferenceAction()->trigger();
        QVERIFY(!window->ReferenceKey()->isVisible());
        QVERIFY(!window->DropReferenceAction()->isEnabled());
        QCOMPARE(plot->Image(), plain);
    }

    // The reference read beside the analysis: the readout's lines of both at the cursor, the
    // measures' panel with the reference's values, the kept scale counting what either leaves
    // out; the reference lasting through a closed window and new analyses; refused with the
    // message that says so where memory is short, nothing changed.
    void theReferenceIsReadKeptAndRefusedWhereMemoryIsShort()
    {
        Parameters p;
        p.harmonics = "20";
        const PlotArea *plot = draw(p);
        QVERIFY(plot);
        Form2 *window = w_.form->GraphWindow();
        window->HoldReferenceAction()->trigger();
        p.amplitude = "5";
        p.harmonics = "10";
        draw(p);
        // Over harmonic 1 of both: each one's line, the reference's on a line of its own.
        window->Picture1_MouseMove(0, 0, 5, 20);
        const QString readout = window->Picture1()->ToolTipText();
        QVERIFY2(readout.contains(QStringLiteral("\narmonica 1: f= 100.00kHz ; |S| = %1V")
                                      .arg(QString::fromStdU16String(
                                          *FormatScientific(Modulus(5, 0.5, 1), u'.')))),
                 qPrintable(readout));
        QVERIFY2(
            readout.contains(
                QStringLiteral("\nriferimento: armonica 1: f= 100.00kHz ; |S| = %1V")
                    .arg(QString::fromStdU16String(*FormatScientific(Modulus(10, 0.5, 1), u'.')))),
            qPrintable(readout));
        // Over the signal: the reference's value at the crest of its first pulse, 10 V.
        window->Picture1_MouseMove(0, 0, float(100.0 / 3 / 4), 80);
        QVERIFY2(window->Picture1()->ToolTipText().endsWith(
                     QStringLiteral("\nriferimento: s(t) = 1.00E+01V")),
                 qPrintable(window->Picture1()->ToolTipText()));
        // The measures: each beside the reference's.
        window->Measures().Action()->trigger();
        const QString rms = window->findChild<QLabel *>("Label5")->text();
        QVERIFY2(rms.contains(QStringLiteral("\nrif. ")), qPrintable(rms));
        QVERIFY2(rms.startsWith(QString::fromStdU16String(MeasureTexts(*w_.state, u'.')[0])),
                 qPrintable(rms));
        // Kept on the reference's span of 20 harmonics, nothing lies out; kept on the analysis's
        // 10 before the reference was held, the reference's last 10 do.
        window->Views()->KeepScaleAction()->trigger();
        QCOMPARE(window->Views()->KeptScaleKey()->text(), QStringLiteral("scala mantenuta"));
        window->Views()->KeepScaleAction()->trigger();
        window->DropReferenceAction()->trigger();
        window->Views()->KeepScaleAction()->trigger();
        p.harmonics = "20";
        draw(p);
        window->HoldReferenceAction()->trigger();
        p.harmonics = "10";
        draw(p);
        QCOMPARE(window->Views()->KeptScaleKey()->text(),
                 QStringLiteral("scala mantenuta: 10 armoniche fuori"));
        window->Views()->KeepScaleAction()->trigger();
        // Closed and opened again by the next analysis: the reference is still there.
        window->close();
        p.amplitude = "7";
        QVERIFY(draw(p));
        window = w_.form->GraphWindow();
        QVERIFY(window->ReferenceKey()->isVisible());
        QCOMPARE(window->Plot().Shown().Reference()->Amplitude, 5.0);
        // Memory short for another: the message, the reference as it was.
        {
            AvailableMemory memory(1000);
            window->HoldReferenceAction()->trigger();
        }
        QCOMPARE(w_.box->shown.size(), std::size_t(1));
        QVERIFY2(QString::fromStdU16String(w_.box->shown.back())
                     .startsWith(QStringLiteral("Memoria insufficiente per fissare il riferimento: "
                                                "servono 1 MB, ma ne sono disponibili 1 MB.")),
                 qPrintable(QString::fromStdU16String(w_.box->shown.back())));
        QCOMPARE(window->Plot().Shown().Reference()->Amplitude, 5.0);
        // Held again, it is replaced.
        window->HoldReferenceAction()->trigger();
        QCOMPARE(window->Plot().Shown().Reference()->Amplitude, 7.0);
    }

    // The filter's fields in the bar: typed and taken with Enter, refused with a message that
    // names the field and its range while the text stays and the graphs keep the last filter;
    // stepped with the arrows and the page keys. A cut-off far below the first harmonic leaves
    // the DC component alone above a floor of -40 dB, and the key counts the half-wave's six lines
    // under it (harmonics 1 and 2 to 10 even; its odd ones from the third vanish).
    void filterFieldsAreTypedAndSteppedAsTheFieldsAre()
    {
        QVERIFY(draw({}));
        Form2 *window = w_.form->GraphWindow();
        window->Filter().Choose(FilterKind::RcLowPass);
        QLineEdit *fc = window->Bar()->FilterText(0);
        QCOMPARE(fc->text(), QStringLiteral("500"));
        QVERIFY(!window->Bar()->FilterText(1)->isVisibleTo(window->Bar()));
        QCOMPARE(window->Bar()->Filter()->currentText(), QStringLiteral("passa-basso RC"));
        QTest::keyClick(fc, Qt::Key_Up);
        QCOMPARE(fc->text(), QStringLiteral("501"));
        QTest::keyClick(fc, Qt::Key_PageDown);
        QCOMPARE(fc->text(), QStringLiteral("491"));
        QCOMPARE(window->Filter().Settings().frequency, 491e3);
        window->FilterMenu()->actions().at(1)->trigger(); // chosen again: nothing typed is lost
        QCOMPARE(fc->text(), QStringLiteral("491"));
        fc->selectAll();
        QTest::keyClicks(fc, "0");
        QTest::keyClick(fc, Qt::Key_Return);
        QCOMPARE(w_.box->shown.size(), std::size_t(1));
        QCOMPARE(QString::fromStdU16String(w_.box->shown[0]),
                 QStringLiteral("fc (frequenza di taglio) del filtro deve essere maggiore di 0 kHz "
                                "e non superiore a 1E+300 kHz."));
        QCOMPARE(fc->text(), QStringLiteral("0"));
        QCOMPARE(window->Filter().Settings().frequency, 491e3);
        fc->selectAll();
        QTest::keyClicks(fc, "0.001");
        QTest::keyClick(fc, Qt::Key_Return);
        QCOMPARE(window->Filter().Settings().frequency, 1.0);
        window->Views()->DecibelAction()->trigger();
        window->findChild<QAction *>("DecibelFloor40")->trigger();
        QCOMPARE(window->Views()->BelowFloorKey()->text(),
                 QStringLiteral("6 righe sotto il fondo scala"));
        window->findChild<QAction *>("DecibelFloorAutomatic")->trigger();
        window->Views()->DecibelAction()->trigger();
        // The band-pass shows both its fields, their first texts.
        window->Bar()->Filter()->activated(3);
        QCOMPARE(window->Filter().Kind(), FilterKind::RlcBandPass);
        QCOMPARE(window->Bar()->FilterText(1)->text(), QStringLiteral("10"));
        QVERIFY(window->Bar()->FilterText(1)->isVisibleTo(window->Bar()));
    }

    // The output made away from the windows' thread, cancelled: drawn without the filter, whose
    // choice says "nessuno".
    void aCancelledFilterOutputLeavesTheInputAlone()
    {
        Parameters p;
        p.samples = "100000";
        const PlotArea *plot = draw(p);
        const QImage plain = plot->Image();
        Form2 *window = w_.form->GraphWindow();
        QString label;
        w_.pace.ActWhenShown([&](QProgressDialog &dialog) {
            label = dialog.labelText();
            dialog.cancel();
        });
        window->Filter().Choose(FilterKind::RcHighPass);
        QVERIFY2(label.contains("Uscita del filtro…\nPassi eseguiti: "), qPrintable(label));
        QCOMPARE(window->Filter().Kind(), FilterKind::None);
        QVERIFY(window->FilterMenu()->actions().at(0)->isChecked());
        QVERIFY(!window->Plot().Shown().Filtered());
        QCOMPARE(plot->Image(), plain);
        QVERIFY(w_.box->shown.empty());
    }

    // The entries as the user left them survive a closed window: the next one opens with them on,
    // the scales still kept, and draws as the closed one did; the first window opens with all off.
    void theSetUpSurvivesAClosedAndReopenedWindow()
    {
        QVERIFY(draw({}));
        Form2 *window = w_.form->GraphWindow();
        const QStringList names = {"DecibelScaleAction", "EnvelopeAction", "MeasuresAction",
                                   "HarmonicSumAction", "KeepScaleAction"};
        for (const QString &name : names)
            window->findChild<QAction *>(name)->trigger();
        window->findChild<QAction *>("DecibelFloor120")->trigger();
        const QImage before = window->Picture1()->Image();
        const QString kept = window->Views()->KeptScaleKey()->text();
        window->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!w_.form->GraphWindow());
        PlotArea *plot = draw({});
        QVERIFY(plot);
        window = w_.form->GraphWindow();
        for (QAction *entry : window->PlotMenu()->actions())
            if (entry->isCheckable())
                QCOMPARE(entry->isChecked(), names.contains(entry->objectName()));
        QVERIFY(window->findChild<QLabel *>("Label5")->isVisible()); // the measures
        QVERIFY(sumKey()->isVisible());
        QCOMPARE(window->Views()->KeptScaleKey()->text(), kept);
        QVERIFY(window->findChild<QAction *>("DecibelFloor120")->isChecked());
        QCOMPARE(window->Views()->Scale().FloorDb(), -120.0);
        QCOMPARE(plot->Image(), before);
    }

    // Every layer the paint order puts over the graphs was given what draws it, and no other.
    void everyLayerOverTheGraphsHasItsDrawing()
    {
        QVERIFY(draw({}));
        for (const LayerDeclaration &layer : PaintOrder)
            QVERIFY2(testing_seam::Has(*overlays(), layer.layer) == layer.overGraphs,
                     layer.name.data());
    }

    // The entries start off, one view at a time, each with its shortcut.
    void viewsAreEntriesOffAtFirstOneAtATime()
    {
        QVERIFY(draw({}));
        Form2 *window = w_.form->GraphWindow();
        QAction *decibels = window->Views()->DecibelAction();
        QAction *phases = window->Views()->PhaseAction();
        QVERIFY(decibels->isCheckable() && phases->isCheckable());
        QVERIFY(!decibels->isChecked() && !phases->isChecked());
        QCOMPARE(decibels->text(), QStringLiteral("Scala in dB"));
        QCOMPARE(phases->text(), QStringLiteral("Spettro di fase"));
        QCOMPARE(decibels->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_D));
        QCOMPARE(phases->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_F));
        QVERIFY(window->PlotMenu()->actions().contains(decibels));
        QVERIFY(window->PlotMenu()->actions().contains(phases));
        const QImage moduli = window->Picture1()->Image();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
        QTest::keyClick(window, Qt::Key_D, Qt::ControlModifier);
        QVERIFY(decibels->isChecked());
        const QImage levels = window->Picture1()->Image();
        QVERIFY(levels != moduli);
        phases->trigger();
        QVERIFY(phases->isChecked());
        QVERIFY(!decibels->isChecked());
        QVERIFY(window->Picture1()->Image() != levels);
        QTest::keyClick(window, Qt::Key_F, Qt::ControlModifier);
        QVERIFY(!phases->isChecked());
        QCOMPARE(window->Picture1()->Image(), moduli);
        // A new analysis keeps the view that is on.
        decibels->trigger();
        w_.Click("Command2");
        QVERIFY(decibels->isChecked());
        QCOMPARE(window->Picture1()->Image(), levels);
    }

    // The sum of the harmonics, term by term from the analysis's coefficients with the true pi:
    // an evaluation of its own, apart from the program's transform.
    static double directSum(const AnalysisState &s, std::int64_t i, std::int64_t m = -1)
    {
        double sum = s.MeanValue;
        for (std::int64_t k = 1; k <= (m < 0 ? std::llround(s.HarmonicCount) : m); ++k) {
            const double angle = 2 * std::numbers::pi * double(k) * double(i) / s.SampleCount;
            sum += s.CosCoefficients[k] * std::cos(angle) + s.SinCoefficients[k] * std::sin(angle);
        }
        return sum;
    }
    // Rows of the sum's colour anywhere in the image.
    static int purpleBelow(const PlotArea *plot, int lastRow)
    {
        int count = 0;
        for (int r = lastRow + 1; r < plot->Image().height(); ++r)
            for (int c = 0; c < plot->Image().width(); ++c)
                count += (plot->Image().pixel(c, r) & 0xffffff) == PurplePixel;
        return count;
    }
    static int purple(const PlotArea *plot) { return purpleBelow(plot, -1); }
    QAction *sumEntry() const { return w_.form->GraphWindow()->HarmonicSum()->Action(); }
    QLabel *sumKey() const { return w_.form->GraphWindow()->findChild<QLabel *>("Label3"); }
    // The sum at sample i of period j lies in that instant's column, at its value's row.
    void expectSumAt(const PlotArea *plot, std::int64_t i, int j, std::int64_t m = -1)
    {
        const AnalysisState &s = *w_.state;
        const double x = 100 / s.PeriodCount * (j - 1) + 100 / s.PeriodCount * i / s.SampleCount;
        const double y = directSum(s, i, m) * 25 / s.SignalPeak + 70;
        QVERIFY2(rowsIn(plot, column(plot, x), PurplePixel).contains(row(plot, y)),
                 qPrintable(QString("i = %1, y = %2").arg(i).arg(y)));
    }

    // Off when the window opens; Ctrl+R puts the sum over the signal with its key, and again
    // takes both off, leaving the graphs exactly as they were.
    void harmonicSumIsAnEntryOffAtFirstToggledByCtrlR()
    {
        Parameters p;
        p.harmonics = "3";
        const PlotArea *plot = draw(p);
        Form2 *window = w_.form->GraphWindow();
        QAction *entry = sumEntry();
        QVERIFY(window->PlotMenu()->actions().contains(entry));
        QCOMPARE(entry->text(), QStringLiteral("Somma delle armoniche"));
        QVERIFY(entry->isCheckable());
        QVERIFY(!entry->isChecked());
        QCOMPARE(entry->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_R));
        QVERIFY(!sumKey()->isVisible());
        QCOMPARE(purple(plot), 0);
        QVERIFY(w_.state->HarmonicSum.empty()); // nothing computed while it is off
        const QImage graphs = plot->Image();

        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
        QTest::keyClick(window, Qt::Key_R, Qt::ControlModifier);
        QVERIFY(entry->isChecked());
        QVERIFY(purple(plot) > 0);
        QVERIFY(sumKey()->isVisible());
        QCOMPARE(sumKey()->text(), QStringLiteral(" somma delle armoniche in viola"));
        QCOMPARE(sumKey()->palette().color(sumKey()->foregroundRole()).rgb() & 0xffffff,
                 PurplePixel);
        QCOMPARE(sumKey()->font(), window->findChild<QLabel *>("Label2")->font());
        for (const std::int64_t i : {0, 1250, 2500, 3750, 5000, 7500, 9999})
            for (int j = 1; j <= 3; ++j)
                expectSumAt(plot, i, j);

        QTest::keyClick(window, Qt::Key_R, Qt::ControlModifier);
        QVERIFY(!entry->isChecked());
        QVERIFY(!sumKey()->isVisible());
        QCOMPARE(plot->Image(), graphs);
    }

    // The sum overshoots the signal, and past N / 2 harmonics it counts aliased waves twice;
    // wherever it goes, nothing of it lies below y = 45, where the spectrum band begins.
    void harmonicSumStaysInTheSignalBand_data()
    {
        QTest::addColumn<QString>("amplitude");
        QTest::addColumn<QString>("samples");
        QTest::addColumn<QString>("harmonics");
        QTest::addColumn<QString>("periods");
        QTest::newRow("defaults, 3 harmonics") << "10"
                                               << "10000"
                                               << "3"
                                               << "3";
        QTest::newRow("negative amplitude") << "-10"
                                            << "10000"
                                            << "30"
                                            << "3";
        QTest::newRow("aliased, H = N + 1") << "10"
                                            << "20"
                                            << "21"
                                            << "2";
        QTest::newRow("aliased, negative") << "-10"
                                           << "16"
                                           << "17"
                                           << "1";
        QTest::newRow("many periods") << "10"
                                      << "1000"
                                      << "10"
                                      << "2000";
    }
    void harmonicSumStaysInTheSignalBand()
    {
        QFETCH(QString, amplitude);
        QFETCH(QString, samples);
        QFETCH(QString, harmonics);
        QFETCH(QString, periods);
        Parameters p;
        p.amplitude = amplitude;
        p.samples = samples;
        p.harmonics = harmonics;
        p.periods = periods;
        const PlotArea *plot = draw(p);
        const QImage graphs = plot->Image();
        sumEntry()->trigger();
        QVERIFY(sumEntry()->isChecked());
        QVERIFY(purple(plot) > 0);
        const int lastRow = int(std::floor(plot->Mapping().Row(45)));
        QCOMPARE(purpleBelow(plot, lastRow), 0);
        // Below y = 45 the spectrum is left exactly as it was drawn.
        for (int r = lastRow + 1; r < plot->Image().height(); ++r)
            for (int c = 0; c < plot->Image().width(); ++c)
                QCOMPARE(plot->Image().pixel(c, r), graphs.pixel(c, r));
        if (std::llround(w_.state->PeriodCount) <= 3) {
            const std::int64_t n = w_.state->SampleCount;
            for (std::int64_t i = 0; i < n; i += std::max<std::int64_t>(1, n / 16)) {
                const double y = directSum(*w_.state, i) * 25 / w_.state->SignalPeak + 70;
                if (y >= 45 && y <= 100)
                    expectSumAt(plot, i, 1);
            }
        }
    }

    // After the harmonic modulus command, turning the sum off and on shows the new analysis's
    // sum; a new "Grafici" keeps the entry on and draws the sum of its analysis.
    void harmonicSumFollowsTheAnalysis()
    {
        Parameters p;
        p.harmonics = "3";
        const PlotArea *plot = draw(p);
        sumEntry()->trigger();
        const RealArray three = w_.state->HarmonicSum;
        w_.Type("Text3", "1");
        w_.Type("Text2", "1");
        w_.Click("Command1");
        QVERIFY(w_.state->HarmonicSum.empty()); // the old analysis's sum went with it
        sumEntry()->trigger();
        sumEntry()->trigger();
        QVERIFY(sumEntry()->isChecked());
        QVERIFY(w_.state->HarmonicSum != three);
        expectSumAt(plot, 2500, 1); // harmonic 1 alone: its crest is V D + 2 V D / pi
        QVERIFY(std::abs(w_.state->HarmonicSum[2500] - (5 + 10 / std::numbers::pi)) < 1e-6);

        w_.Type("Text3", "10");
        w_.Type("Text8", "2");
        w_.Click("Command2");
        QVERIFY(w_.form->GraphWindow()->Picture1() == plot);
        QVERIFY(sumEntry()->isChecked());
        QVERIFY(sumKey()->isVisible());
        for (const std::int64_t i : {0, 2500, 5000})
            for (int j = 1; j <= 2; ++j)
                expectSumAt(plot, i, j);
        // A new window starts with the entry as the user left it: on, the sum drawn; turned off
        // before the close, off.
        w_.form->GraphWindow()->close();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        w_.Click("Command2");
        QVERIFY(sumEntry()->isChecked());
        QVERIFY(purple(w_.form->GraphWindow()->Picture1()) > 0);
        sumEntry()->trigger();
        w_.form->GraphWindow()->close();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        w_.Click("Command2");
        QVERIFY(!sumEntry()->isChecked());
        QCOMPARE(purple(w_.form->GraphWindow()->Picture1()), 0);
    }

    // A long sum shows its progress: cancelled, nothing is drawn, nothing kept, and the entry
    // goes back off. The sum is held at its first step until its progress has shown and been
    // cancelled, however fast the machine.
    void cancelledHarmonicSumLeavesTheEntryOff()
    {
        Parameters p;
        p.samples = "100000";
        p.harmonics = "1";
        const PlotArea *plot = draw(p);
        const QImage graphs = plot->Image();
        QString label;
        w_.pace.ActWhenShown([&](QProgressDialog &dialog) {
            label = dialog.labelText();
            dialog.cancel();
        });
        sumEntry()->trigger();
        QVERIFY2(label.startsWith("Attendere! Somma delle armoniche…\nPassi eseguiti: "),
                 qPrintable(label));
        QVERIFY(!sumEntry()->isChecked());
        QVERIFY(!sumKey()->isVisible());
        QVERIFY(w_.state->HarmonicSum.empty());
        QCOMPARE(plot->Image(), graphs);
        QVERIFY(w_.box->shown.empty());
    }

    // One harmonic at a time and the sum's terms one at a time.
    QAction *oneByOneEntry() const { return w_.form->GraphWindow()->OneByOne()->Action(); }
    HarmonicSumLayer *sum() const { return w_.form->GraphWindow()->HarmonicSum(); }
    PlotOverlays *overlays() const { return w_.form->GraphWindow()->Overlays(); }
    // The queued redraw of the layers, run as the event loop would run it.
    static void runQueuedRedraw() { QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall); }
    void wheel(int notches)
    {
        PlotArea *plot = w_.form->GraphWindow()->Picture1();
        const QPointF at(plot->width() / 2.0, plot->height() / 2.0);
        QWheelEvent event(at, plot->mapToGlobal(at), QPoint(), QPoint(0, 120 * notches),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(plot, &event);
    }
    // Harmonic k's own wave at sample i of period j lies in that instant's column, at its row,
    // in the highlight's colour; the formula from the analysis's coefficients with the true pi.
    void expectWaveAt(const PlotArea *plot, std::int64_t k, std::int64_t i, int j)
    {
        const AnalysisState &s = *w_.state;
        const double angle = 2 * std::numbers::pi * double(k) * double(i) / s.SampleCount;
        const double wave
            = s.CosCoefficients[k] * std::cos(angle) + s.SinCoefficients[k] * std::sin(angle);
        const double x = 100 / s.PeriodCount * (j - 1) + 100 / s.PeriodCount * i / s.SampleCount;
        const double y = wave * 25 / s.SignalPeak + 70;
        QVERIFY2(rowsIn(plot, column(plot, x), HighlightPixel).contains(row(plot, y)),
                 qPrintable(QString("k = %1, i = %2, y = %3").arg(k).arg(i).arg(y)));
    }

    // Off when the window opens: no second line, no highlight. On, the line under the
    // cursor turns dark orange with its wave over the signal, the tool-tip names it on a second
    // line, the highlight moves along the lines, and the plot's description reads the values. Off
    // again, the graphs are as they were.
    // In the views of the spectrum band, the highlighted line and the lines the sum leaves out
    // are drawn where the view draws the lines: in decibels and in phases, the highlighted line and
    // the pale ones cover, in their columns, the rows of the view's own blue lines.
    void oneByOneAndPaleLinesFollowTheViews()
    {
        QLocale::setDefault(QLocale::c());
        Parameters p;
        p.duty = "0.3"; // every line with a phase of its own
        const PlotArea *plot = draw(p);
        Form2 *window = w_.form->GraphWindow();
        for (QAction *view : {window->Views()->DecibelAction(), window->Views()->PhaseAction()}) {
            view->trigger();
            QVERIFY(view->isChecked());
            const QList<int> line3 = rowsIn(plot, column(plot, 30), BluePixel);
            const QList<int> line7 = rowsIn(plot, column(plot, 70), BluePixel);
            QVERIFY(!line3.isEmpty() && !line7.isEmpty());
            oneByOneEntry()->trigger();
            window->Picture1_MouseMove(0, 0, 30, 10);
            runQueuedRedraw();
            QCOMPARE(window->OneByOne()->Highlighted().value_or(0), 3);
            QList<int> lit; // in the spectrum band: the wave above lies in the signal's
            for (const int r : rowsIn(plot, column(plot, 30), HighlightPixel))
                if (r > row(plot, 45))
                    lit << r;
            // the frequency axis's rows aside, which a line from the phases' zero line leaves
            const QList<int> axis = rowsIn(plot, column(plot, 25), BluePixel);
            const auto offAxis = [&](QList<int> rows) {
                rows.removeIf([&](int r) { return axis.contains(r); });
                return rows;
            };
            QCOMPARE(offAxis(lit), offAxis(line3));
            sumEntry()->trigger();
            wheel(-5); // the first five harmonics: 7 is left out
            runQueuedRedraw();
            QCOMPARE(sum()->Terms(), 5);
            QCOMPARE(offAxis(rowsIn(plot, column(plot, 70), PaleBluePixel)), offAxis(line7));
            sumEntry()->trigger();
            oneByOneEntry()->trigger();
            view->trigger();
        }
    }

    void oneByOneHighlightsTheLinePointedAtAndDrawsItsWave()
    {
        QLocale::setDefault(QLocale::c());
        const PlotArea *plot = draw({});
        Form2 *window = w_.form->GraphWindow();
        QAction *entry = oneByOneEntry();
        QVERIFY(window->PlotMenu()->actions().contains(entry));
        QCOMPARE(entry->text(), QStringLiteral("Armoniche una per una"));
        QVERIFY(entry->isCheckable());
        QVERIFY(!entry->isChecked());
        QCOMPARE(entry->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_U));
        const QImage graphs = plot->Image();
        const QString description = plot->accessibleDescription();
        window->Picture1_MouseMove(0, 0, 20, 10);
        QVERIFY(!plot->ToolTipText().contains('\n'));
        runQueuedRedraw();
        QCOMPARE(plot->Image(), graphs);

        entry->trigger();
        QVERIFY(entry->isChecked());
        // Harmonic 2 of the half-sine at D = 0.5: 4 V D / pi / 3 = 2.12 V, at 200 kHz.
        window->Picture1_MouseMove(0, 0, 20.1f, 10);
        QVERIFY2(plot->ToolTipText().startsWith("f= 201.00kHz ; |S(f)| = "),
                 qPrintable(plot->ToolTipText()));
        QVERIFY2(plot->ToolTipText().endsWith(
                     "\narmonica 2: f= 200.00kHz ; |S| = 2.12E+00V ; fase = 180.00\u00B0"),
                 qPrintable(plot->ToolTipText()));
        QCOMPARE(
            plot->accessibleDescription(),
            QStringLiteral("armonica 2: f= 200.00kHz ; |S| = 2.12E+00V ; fase = 180.00\u00B0"));
        QCOMPARE(window->OneByOne()->Highlighted().value_or(0), 2);
        runQueuedRedraw();
        const int line2 = column(plot, 20);
        QVERIFY(rowsIn(plot, line2, HighlightPixel).contains(row(plot, 1)));
        QVERIFY(
            rowsIn(plot, line2, HighlightPixel).contains(row(plot, 18))); // |S_2| 45 / |S_1| = 19.1
        QVERIFY(rowsIn(plot, column(plot, 10), BluePixel).contains(row(plot, 44)));
        for (const std::int64_t i : {0, 1250, 2500, 3000, 6250, 9999})
            for (int j = 1; j <= 3; ++j)
                expectWaveAt(plot, 2, i, j);

        // Far from every line: no second line, the highlight stays.
        window->Picture1_MouseMove(0, 0, 25, 10);
        QVERIFY(!plot->ToolTipText().contains('\n'));
        window->OneByOne()->Move(2);
        QCOMPARE(window->OneByOne()->Highlighted().value_or(0), 4);
        window->OneByOne()->Move(-1);
        QCOMPARE(window->OneByOne()->Highlighted().value_or(0), 3);
        QVERIFY(plot->accessibleDescription().startsWith("armonica 3: f= 300.00kHz ; |S| = "));
        runQueuedRedraw();
        QVERIFY(!rowsIn(plot, line2, HighlightPixel).contains(row(plot, 18)));
        QVERIFY(rowsIn(plot, line2, BluePixel).contains(row(plot, 18)));
        QVERIFY(rowsIn(plot, column(plot, 30), HighlightPixel).contains(row(plot, 0)));
        window->OneByOne()->Move(12); // stops at the last line
        QCOMPARE(window->OneByOne()->Highlighted().value_or(0), 10);

        entry->trigger();
        QVERIFY(!entry->isChecked());
        runQueuedRedraw();
        QCOMPARE(plot->Image(), graphs);
        QCOMPARE(plot->accessibleDescription(), description);
        window->Picture1_MouseMove(0, 0, 20, 10);
        QVERIFY(!plot->ToolTipText().contains('\n'));
    }

    // The second line writes the decimal separator of the user's language, as the first does.
    void oneByOneReadoutWritesTheLocalesSeparator_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("second");
        QTest::newRow("C")
            << QLocale::c()
            << QStringLiteral("armonica 2: f= 200.00kHz ; |S| = 2.12E+00V ; fase = 180.00\u00B0");
        QTest::newRow("Italian")
            << QLocale(QLocale::Italian, QLocale::Italy)
            << QStringLiteral("armonica 2: f= 200,00kHz ; |S| = 2,12E+00V ; fase = 180,00\u00B0");
    }
    void oneByOneReadoutWritesTheLocalesSeparator()
    {
        QFETCH(QLocale, locale);
        QFETCH(QString, second);
        QLocale::setDefault(locale);
        const PlotArea *plot = draw({});
        oneByOneEntry()->trigger();
        w_.form->GraphWindow()->Picture1_MouseMove(0, 0, 19.9f, 30);
        const QStringList lines = plot->ToolTipText().split('\n');
        QLocale::setDefault(QLocale::c());
        QCOMPARE(lines.size(), 2);
        QVERIFY(lines[0].startsWith(locale == QLocale::c() ? "f= 199.00kHz" : "f= 199,00kHz"));
        QCOMPARE(lines[1], second);
    }

    // The wheel and + and - step the sum from H down to the DC component alone and back, each
    // step drawn as the first m terms summed directly, the lines above m paler; the export's sum
    // stays that of all H.
    void wheelAndKeysAddTheHarmonicsOneAtATime()
    {
        Parameters p;
        p.harmonics = "6";
        const PlotArea *plot = draw(p);
        sumEntry()->trigger();
        QCOMPARE(sum()->Terms(), 6);
        const RealArray all = w_.state->HarmonicSum;
        for (std::int64_t m = 5; m >= -1; --m) {
            wheel(-1);
            runQueuedRedraw();
            const std::int64_t shown = std::max<std::int64_t>(m, 0);
            QCOMPARE(sum()->Terms(), shown);
            QCOMPARE(sumKey()->text(),
                     shown == 0       ? QStringLiteral("solo la componente continua")
                         : shown == 1 ? QStringLiteral("somma della prima armonica")
                                      : QString("somma delle prime %1 armoniche").arg(shown));
            for (const std::int64_t i : {0, 1250, 2500, 3750, 5000, 7500})
                expectSumAt(plot, i, 1, shown);
            for (int k = 1; k <= 6; ++k)
                QVERIFY2(rowsIn(plot, column(plot, k * 100.0 / 6),
                                k <= shown ? BluePixel : PaleBluePixel)
                             .contains(row(plot, 0)),
                         qPrintable(QString("k = %1, m = %2").arg(k).arg(shown)));
        }
        // The DC component alone: a flat line at its value.
        QCOMPARE(rowsIn(plot, column(plot, 50), PurplePixel),
                 QList<int> {row(plot, w_.state->MeanValue * 25 / w_.state->SignalPeak + 70)});
        for (std::int64_t m = 1; m <= 7; ++m) {
            wheel(1);
            runQueuedRedraw();
            QCOMPARE(sum()->Terms(), std::min<std::int64_t>(m, 6));
            for (const std::int64_t i : {0, 2500, 5000})
                expectSumAt(plot, i, 2, std::min<std::int64_t>(m, 6));
        }
        QCOMPARE(sumKey()->text(), QStringLiteral(" somma delle armoniche in viola"));
        QCOMPARE(w_.state->HarmonicSum, all);
    }

    // The keys of the window: Ctrl+U, Left and Right for the harmonic pointed at; + and - for
    // the sum's terms, only while it is shown.
    void keysDriveBothOneAtATime()
    {
        Parameters p;
        p.harmonics = "6";
        const PlotArea *plot = draw(p);
        Form2 *window = w_.form->GraphWindow();
        const QImage graphs = plot->Image();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
        QTest::keyClick(window, Qt::Key_Minus);
        QTest::keyClick(window, Qt::Key_Right);
        QVERIFY(!testing_seam::RedrawQueued(*overlays()));
        QCOMPARE(window->OneByOne()->Highlighted().value_or(0), 0);
        QCOMPARE(plot->Image(), graphs);

        QTest::keyClick(window, Qt::Key_U, Qt::ControlModifier);
        QVERIFY(oneByOneEntry()->isChecked());
        QTest::keyClick(window, Qt::Key_Right);
        QTest::keyClick(window, Qt::Key_Right);
        QCOMPARE(window->OneByOne()->Highlighted().value_or(0), 2);
        // Harmonic 3 of the half-wave is zero: its line has no height, and the step says so.
        QTest::keyClick(window, Qt::Key_Right);
        QVERIFY2(QToolTip::text().startsWith("armonica 3: f= 300.00kHz ; |S| = "),
                 qPrintable(QToolTip::text()));
        QTest::keyClick(window, Qt::Key_Left);
        QVERIFY2(QToolTip::text().startsWith("armonica 2: "), qPrintable(QToolTip::text()));
        QTest::keyClick(window, Qt::Key_Left);
        QCOMPARE(window->OneByOne()->Highlighted().value_or(0), 1);

        QTest::keyClick(window, Qt::Key_R, Qt::ControlModifier);
        QTest::keyClick(window, Qt::Key_Minus);
        QTest::keyClick(window, Qt::Key_Minus);
        QTest::keyClick(window, Qt::Key_Plus);
        runQueuedRedraw();
        QCOMPARE(sum()->Terms(), 5);
        expectSumAt(plot, 2500, 1, 5);
        expectWaveAt(plot, 1, 2500, 1);
        // In the paint order the highlight lies over the lines the sum leaves out, and they over
        // the lines: harmonic 5, left out, is pale until it is the one highlighted.
        QTest::keyClick(window, Qt::Key_Minus);
        runQueuedRedraw();
        const auto lineIs = [&](QRgb colour) {
            return rowsIn(plot, column(plot, 5 * 100.0 / 6), colour).contains(row(plot, 0));
        };
        QVERIFY(lineIs(PaleBluePixel));
        for (int step = 1; step <= 4; ++step)
            QTest::keyClick(window, Qt::Key_Right);
        runQueuedRedraw();
        QCOMPARE(window->OneByOne()->Highlighted().value_or(0), 5);
        QVERIFY(lineIs(HighlightPixel) && !lineIs(PaleBluePixel));
        QTest::keyClick(window, Qt::Key_U, Qt::ControlModifier);
        QVERIFY(!oneByOneEntry()->isChecked());
    }

    // Two lines a pixel: every column right of the first line left out is pale, every one left of
    // it that holds a line stays blue. A jump of many terms at once sums them anew.
    void paleLinesBeginAtTheFirstHarmonicLeftOut()
    {
        Parameters p;
        p.harmonics = "2000";
        p.duty = "0.37";
        const PlotArea *plot = draw(p);
        const QImage graphs = plot->Image();
        sumEntry()->trigger();
        sum()->StepTerms(-999);
        overlays()->RedrawPending();
        QCOMPARE(sum()->Terms(), 1001);
        for (const std::int64_t i : {0, 1000, 3700, 6000})
            expectSumAt(plot, i, 1, 1001);
        const int boundary = column(plot, 1002 * 100.0 / 2000);
        const int bottom = row(plot, 0);
        int pale = 0, blue = 0;
        for (int c = column(plot, 1); c < plot->Image().width(); ++c) {
            const QRgb was = graphs.pixel(c, bottom) & 0xffffff;
            const QRgb now = plot->Image().pixel(c, bottom) & 0xffffff;
            if (c > boundary)
                QCOMPARE(now, was == BluePixel ? PaleBluePixel : was);
            else if (c < boundary)
                QCOMPARE(now, was);
            pale += now == PaleBluePixel;
            blue += now == BluePixel;
        }
        QVERIFY(pale > 400);
        QVERIFY(blue > 400);
    }

    // Steps quicker than the redraw join one queued redraw, which shows the last of them.
    void quickWheelStepsJoinOneRedraw()
    {
        Parameters p;
        p.harmonics = "20";
        const PlotArea *plot = draw(p);
        sumEntry()->trigger();
        const int redraws = testing_seam::Redraws(*overlays());
        for (int step = 0; step < 7; ++step)
            wheel(-1);
        wheel(2);
        QCOMPARE(sum()->Terms(), 20); // nothing redrawn yet
        QCOMPARE(sum()->WantedTerms(), 15);
        QVERIFY(testing_seam::RedrawQueued(*overlays()));
        QCOMPARE(testing_seam::Redraws(*overlays()), redraws);
        runQueuedRedraw();
        QCOMPARE(testing_seam::Redraws(*overlays()), redraws + 1);
        QCOMPARE(sum()->Terms(), 15);
        QVERIFY(!testing_seam::RedrawQueued(*overlays()));
        for (const std::int64_t i : {0, 2500, 5000})
            expectSumAt(plot, i, 1, 15);
        runQueuedRedraw();
        QCOMPARE(testing_seam::Redraws(*overlays()), redraws + 1);
    }

    // With the sum off the wheel and + and - leave the plot alone; the highlight goes over the
    // signal alone. After the harmonic modulus command, the highlight, its line of the tool-tip
    // and the steps follow the new analysis, as the readout does; a new "Grafici" keeps both
    // entries on.
    void bothFollowTheSumAndTheAnalysis()
    {
        QLocale::setDefault(QLocale::c());
        const PlotArea *plot = draw({});
        Form2 *window = w_.form->GraphWindow();
        const QImage graphs = plot->Image();
        wheel(-3);
        QVERIFY(!testing_seam::RedrawQueued(*overlays()));
        runQueuedRedraw();
        QCOMPARE(plot->Image(), graphs);

        oneByOneEntry()->trigger();
        window->Picture1_MouseMove(0, 0, 10, 10);
        runQueuedRedraw();
        expectWaveAt(plot, 1, 2500, 1);
        QCOMPARE(purple(plot), 0);
        sumEntry()->trigger(); // the sum goes under the highlighted wave
        QVERIFY(purple(plot) > 0);
        QVERIFY(sumKey()->isVisible());
        sumEntry()->trigger(); // and off again, the wave staying
        QCOMPARE(purple(plot), 0);
        QVERIFY(!sumKey()->isVisible());
        expectWaveAt(plot, 1, 2500, 1);
        sumEntry()->trigger();
        expectWaveAt(plot, 1, 2500, 1);
        wheel(-4);
        runQueuedRedraw();
        QCOMPARE(sum()->Terms(), 6);
        expectWaveAt(plot, 1, 7500, 2);
        expectSumAt(plot, 5000, 1, 6);

        w_.Type("Text7", "20");
        w_.Type("Text3", "5");
        w_.Type("Text2", "1");
        w_.Click("Command1");
        QVERIFY(w_.box->shown.empty());
        window->Picture1_MouseMove(0, 0, 20, 10); // line 2 of the old drawing is at x = 20
        QVERIFY2(plot->ToolTipText().endsWith(
                     "\narmonica 1: f= 100.00kHz ; |S| = 1.00E+01V ; fase = -90.00\u00B0"),
                 qPrintable(plot->ToolTipText()));
        wheel(-1);
        runQueuedRedraw();
        QCOMPARE(sum()->Terms(), 4); // from the new analysis's 5
        expectSumAt(plot, 2500, 1, 4);
        expectWaveAt(plot, 1, 2500, 1);

        // "Grafici" keeps what the user set: the sum's four terms, not every harmonic again.
        w_.Type("Text3", "8");
        w_.Click("Command2");
        QVERIFY(oneByOneEntry()->isChecked());
        QVERIFY(sumEntry()->isChecked());
        QCOMPARE(sum()->Terms(), 4);
        QCOMPARE(window->OneByOne()->Highlighted().value_or(0), 1);
        expectWaveAt(plot, 1, 2500, 1);
        expectSumAt(plot, 2500, 1, 4);
        // Fewer lines than that: the sum adds them all, and the highlight moves to the last; with
        // lines enough again the sum has its four terms back.
        window->OneByOne()->Move(6);
        runQueuedRedraw();
        QCOMPARE(window->OneByOne()->Highlighted().value_or(0), 7);
        const struct
        {
            const char *harmonics;
            std::int64_t terms;
            std::int64_t highlighted;
        } after[] = {{"3", 3, 3}, {"8", 4, 3}};
        for (const auto &analysis : after) {
            w_.Type("Text3", analysis.harmonics);
            w_.Click("Command2");
            QCOMPARE(sum()->Terms(), analysis.terms);
            QCOMPARE(window->OneByOne()->Highlighted().value_or(0), analysis.highlighted);
            expectSumAt(plot, 2500, 1, analysis.terms);
        }
    }

    // F11: the plot alone fills the screen, drawn at its resolution with lines and text for a
    // classroom and the keys in a strip below; Esc brings the window back as it was, pixel for
    // pixel.
    void theFullScreenPlotFillsTheScreenAndComesBack()
    {
        PlotArea *plot = draw({});
        Form2 *window = w_.form->GraphWindow();
        const QImage drawn = plot->Image();
        const QRect place = plot->geometry();
        const auto redRows = [&] { return rowsIn(plot, column(plot, 55), RedPixel).size(); };
        QCOMPARE(redRows(), 1); // the time axis, between two pulses
        QAction *entry = window->FullScreen()->Action();
        QCOMPARE(entry->shortcut(), QKeySequence(Qt::Key_F11));
        QVERIFY(window->findChild<QMenu *>("MenuVisualizza")->actions().contains(entry));

        entry->trigger();
        const QSize screen = window->screen()->geometry().size();
        QTRY_COMPARE(plot->width(), screen.width());
        QTRY_COMPARE(plot->Image().width(),
                     qRound(plot->contentsRect().width() * plot->devicePixelRatioF()));
        QTRY_COMPARE(redRows(), plot->LineWidth());
        const FullScreenSizes sizes = FullScreenSizesFor(screen.height());
        QCOMPARE(plot->LineWidth(), sizes.lineWidth);
        QVERIFY(plot->LineWidth() >= 3);
        QVERIFY(plot->Style().textPixels * 40 >= screen.height());
        const PlotArea::TextPixels printed = plot->PrintedAt(50, 50, QStringLiteral("100 kHz"));
        QVERIFY(printed.bottom - printed.top
                >= plot->Style().textPixels * plot->devicePixelRatioF());
        const auto *key = window->findChild<QLabel *>("Label2");
        QVERIFY(key->isVisible());
        QCOMPARE(key->font().pixelSize(), plot->Style().textPixels);
        QVERIFY(key->geometry().top() >= plot->geometry().bottom());
        // A caption line says what the picture shows: the graphs' colours, the shape and its
        // parameters, in the screen's text size.
        const auto *caption = window->findChild<QLabel *>("FullScreenCaption");
        QVERIFY(caption && caption->isVisible());
        QCOMPARE(caption->font().pixelSize(), plot->Style().textPixels);
        QVERIFY2(caption->text().contains(window->SlideCaption().toHtmlEscaped())
                     && caption->text().contains("color:#ff0000")
                     && caption->text().contains("color:#0000ff"),
                 qPrintable(caption->text()));
        QVERIFY(!window->findChild<QMenuBar *>("MenuBar")->isVisible());
        // The readout in the same large text.
        plot->SetToolTipText(QStringLiteral("t= 1.00usec"));
        QVERIFY(plot->toolTip().contains(
            QStringLiteral("font-size:%1px").arg(plot->Style().textPixels)));
        QCOMPARE(plot->ToolTipText(), QStringLiteral("t= 1.00usec"));

        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
        QTest::keyClick(window, Qt::Key_Escape);
        QVERIFY(!entry->isChecked());
        QTRY_COMPARE(plot->geometry(), place);
        QCOMPARE(plot->parentWidget()->objectName(), QStringLiteral("ClientArea"));
        QTRY_COMPARE(plot->Image(), drawn);
        QCOMPARE(key->font().pixelSize(), 16); // 12 points
        QVERIFY(window->findChild<QMenuBar *>("MenuBar")->isVisible());

        // The plot's line width and text come back as they were found, whatever they were.
        plot->SetLineWidth(3);
        plot->SetTextHeight(20);
        entry->trigger();
        QTRY_COMPARE(plot->width(), screen.width());
        entry->trigger();
        QTRY_COMPARE(plot->geometry(), place);
        QCOMPARE(plot->LineWidth(), 3);
        QCOMPARE(plot->Style().textPixels, 20);
        plot->SetLineWidth(1);
        plot->SetTextHeight(0);
    }

    void drawingSurvivesHidingAndShowing()
    {
        const QImage drawn = draw({})->Image();
        Form2 *window = w_.form->GraphWindow();
        window->showMinimized();
        window->showNormal();
        QCOMPARE(window->Picture1()->Image(), drawn);
        const QImage shown = window->Picture1()->grab().toImage();
        const QPoint origin
            = window->Picture1()->contentsRect().topLeft() * shown.devicePixelRatio();
        const QPoint onAxis(column(window->Picture1(), 50), row(window->Picture1(), 70));
        QCOMPARE(shown.pixel(origin + onAxis) & 0xffffff, RedPixel);
    }
};

QTEST_MAIN(DrawGraphsTest)
#include "tst_draw_graphs.moc"
