// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The graph window's controls and the cursor readout: bands, option buttons, tool-tip texts.
#include "core/analysis/commands.h"
#include "core/spectrum/signal_measures.h"
#include "core/spectrum/spectrum.h"
#include "core/state/analysis_state.h"
#include "tests/support/analysed.h"
#include "tests/support/message_recorder.h"
#include "ui/classic/classic_window.h"
#include "ui/graph_window/form2.h"
#include "ui/graph_window/plot/plot_area.h"
#include "ui/graph_window/plot/spectrum_views.h"
#include "ui/input_window/form1.h"
#include "ui/long_work/task_gate.h"

#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolTip>
#include <QtTest>

#include <algorithm>

namespace {

// A state as an analysis of the given size leaves it, with chosen peaks.
AnalysisState Readable(double periods, double frequency, double harmonics, double signalPeak,
                       double spectrumPeak)
{
    AnalysisState s
        = ParametersOf({.v = 0, .d = 0, .n = 4, .h = harmonics, .f = frequency, .p = periods});
    s.Samples = {0, signalPeak, -signalPeak / 2, 0, 0, 0};
    s.Magnitudes = RealArray(12);
    s.Magnitudes[3] = spectrumPeak;
    s.Magnitudes[1] = spectrumPeak / 3;
    return s;
}

// Counts the mouse moves a widget receives, so that a test knows a move has arrived before it
// checks that the move changed nothing.
class MoveCounter : public QObject
{
public:
    int moves = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        moves += event->type() == QEvent::MouseMove;
        return false;
    }
};

// Where a tool-tip window stood when it was last shown.
class TipPlacement : public QObject
{
public:
    QPointer<QWidget> shown;
    QPoint shownAt;

protected:
    bool eventFilter(QObject *object, QEvent *event) override
    {
        auto *widget = qobject_cast<QWidget *>(object);
        if (event->type() == QEvent::Show && widget && widget->windowType() == Qt::ToolTip) {
            shown = widget;
            shownAt = widget->pos();
        }
        return false;
    }
};

} // namespace

class Form2Test : public QObject
{
    Q_OBJECT

private:
    AnalysisState state_;
    MessageRecorder box_;
    TaskGate gate_;
    std::unique_ptr<Form2> form_;

    QString tip() const { return form_->Picture1()->ToolTipText(); }
    // The pointer moved over the plot, to a position in its box, through the window as a seat
    // delivers it: QTest::mouseMove on a widget with no button held warps the pointer instead,
    // which no Wayland client may do.
    void moveOver(const QPoint &position) const
    {
        QTest::mouseMove(form_->windowHandle(), form_->Picture1()->mapTo(form_.get(), position));
    }
    // The pointer enters the window over the plot, as the seat says before any move.
    void enterAt(const QPoint &position) const
    {
        const QPoint inWindow = form_->Picture1()->mapTo(form_.get(), position);
        QEnterEvent enter(inWindow, inWindow, form_->mapToGlobal(inWindow));
        QApplication::sendEvent(form_->windowHandle(), &enter);
    }
    // A point of the plot's box at user coordinates (x, y).
    QPoint boxPoint(double x, double y) const
    {
        const PixelMapping &m = form_->Picture1()->Mapping();
        return QPoint(qRound(m.Column(x)), qRound(m.Row(y)))
            + form_->Picture1()->contentsRect().topLeft();
    }

private slots:
    void init()
    {
        QLocale::setDefault(QLocale::c());
        state_ = Readable(10, 10000, 10, 5, 3.18);
        form_ = std::make_unique<Form2>(state_, box_, gate_);
        form_->show();
        QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
        form_->Picture1()->Scale(0, 100, 100, 0); // as the drawing leaves it
    }
    void cleanup() { form_.reset(); }

    // The size a window opens at: whole where the screen holds it, else the part it holds.
    void theWindowOpensWithinTheScreen_data()
    {
        QTest::addColumn<QSize>("available");
        QTest::addColumn<QSize>("opening");
        QTest::newRow("1920 x 1080: whole") << QSize(1920, 1040) << QSize(1233, 667 + 20);
        QTest::newRow("just wide enough") << QSize(1233 + 16, 1040) << QSize(1233, 687);
        QTest::newRow("1024 x 768: too narrow") << QSize(1024, 728) << QSize(1024 - 16, 687);
        QTest::newRow("1280 x 720: too short") << QSize(1280, 680) << QSize(1233, 680 - 39);
    }
    void theWindowOpensWithinTheScreen()
    {
        QFETCH(QSize, available);
        QFETCH(QSize, opening);
        QCOMPARE(OpeningSize(QSize(1233, 667), 20, available, QSize(16, 39)), opening);
    }

    // On a screen too small for it the window opens within the screen and its client area
    // scrolls to every control; on one large enough it opens whole, with no scroll bar. The
    // tests' screen is large; tst_form2_small_screen runs this on a 1024 x 768 one. With the
    // parameter bar on, the window still stays within the screen, the bar whole across it, and
    // back to its size with the bar off.
    void theClientAreaScrollsOnlyOnASmallScreen()
    {
        const QSize available = form_->screen()->availableGeometry().size();
        {
            AnalysisState state;
            Form1 input(state, box_, gate_);
            input.Command2_Click();
            Form2 *graphs = input.GraphWindow();
            QVERIFY(graphs);
            const QSize size = graphs->size();
            graphs->BarAction()->trigger();
            QTRY_VERIFY(graphs->height() > size.height() || graphs->height() == available.height());
            QVERIFY(graphs->height() <= available.height());
            QVERIFY(graphs->Bar()->minimumSizeHint().width() <= graphs->width());
            graphs->BarAction()->trigger();
            QTRY_COMPARE(graphs->size(), size);
        }
        auto *view = form_->findChild<QScrollArea *>("ClientView");
        const int bar = form_->findChild<QMenuBar *>("MenuBar")->height();
        if (available.width() >= 1233 + 16 && available.height() >= 667 + bar + 39) {
            QCOMPARE(view->horizontalScrollBar()->maximum(), 0);
            QCOMPARE(view->verticalScrollBar()->maximum(), 0);
            return;
        }
        QVERIFY(form_->width() <= available.width() && form_->height() <= available.height());
        QVERIFY(view->horizontalScrollBar()->maximum() > 0);
        QCOMPARE(view->widget()->size(), QSize(1233, 667)); // the client area as it always is
        // The rightmost and lowest controls come into sight.
        for (QWidget *control :
             {static_cast<QWidget *>(form_->Option3()), form_->findChild<QWidget *>("Label3")}) {
            view->ensureWidgetVisible(control, 0, 0);
            const QRect shown(control->mapTo(view->viewport(), QPoint(0, 0)), control->size());
            QVERIFY2(view->viewport()->rect().contains(shown), qPrintable(control->objectName()));
        }
    }

    void shouldHaveDefaultValues()
    {
        QCOMPARE(form_->windowTitle(), QStringLiteral("Segnale e spettro"));
        // The client area at its twips, whole, under the menu bar.
        const auto *client = form_->findChild<QWidget *>("ClientArea");
        const auto *menuBar = form_->findChild<QMenuBar *>("MenuBar");
        QCOMPARE(client->size(), QSize(18495 / 15, 10005 / 15));
        QVERIFY(menuBar->height() > 0);
        QCOMPARE(client->mapTo(form_.get(), QPoint(0, 0)), QPoint(0, menuBar->height()));
        QCOMPARE(form_->size(), QSize(18495 / 15, 10005 / 15 + menuBar->height()));
        QVERIFY(!form_->Option1()->isChecked());
        QVERIFY(!form_->Option3()->isChecked());
        QCOMPARE(tip(), QString());
        QVERIFY(!form_->Picture2()->isVisible());
        QVERIFY(form_->Picture2()->Picture().isNull());
        QCOMPARE(form_->Picture1()->BackColor(), QColor(255, 255, 192));
        QCOMPARE(form_->Option1()->text(), QStringLiteral("s(t)"));
        QCOMPARE(form_->Option3()->text(), QStringLiteral("S(f)"));
        QCOMPARE(form_->Option1()->palette().color(QPalette::WindowText), QColor(255, 0, 0));
        QCOMPARE(form_->Option3()->palette().color(QPalette::WindowText), QColor(0, 0, 255));
        const auto *label1 = form_->findChild<QLabel *>("Label1");
        const auto *label2 = form_->findChild<QLabel *>("Label2");
        QCOMPARE(label1->text(),
                 QStringLiteral("Sposta il cursore del mouse sui grafici, comparir\u00e0 il "
                                "valore in quel punto"));
        QCOMPARE(label2->text(), QStringLiteral(" componente continua in verde"));
        QCOMPARE(label2->palette().color(QPalette::WindowText), QColor(0, 255, 0));
        const std::pair<QWidget *, QRect> placed[]
            = {{form_->Picture1(), {120, 120, 15015, 9135}},
               {form_->Option1(), {15360, 2640, 975, 375}},
               {form_->Option3(), {15240, 8880, 735, 615}},
               {form_->Picture2(), {16800, 6480, 495, 375}},
               {const_cast<QLabel *>(label1), {120, 9480, 8655, 375}},
               {const_cast<QLabel *>(label2), {9600, 9480, 4215, 375}}};
        for (const auto &[widget, twips] : placed)
            QCOMPARE(
                widget->geometry(),
                QRect(twips.x() / 15, twips.y() / 15, twips.width() / 15, twips.height() / 15));
    }

    void focusMovesFromThePlotToTheOptions()
    {
        form_->Picture1()->setFocus();
        QCOMPARE(form_->Picture1()->nextInFocusChain(), form_->Option1());
        QCOMPARE(form_->Option1()->nextInFocusChain(), form_->Option3());
    }

    void readoutTexts_data()
    {
        QTest::addColumn<float>("x");
        QTest::addColumn<float>("y");
        QTest::addColumn<bool>("signalBand");
        QTest::addColumn<QString>("text");
        QTest::newRow("crest") << 25.0f << 95.0f << true << "t= 250.00usec ; s(t) = 5.00E+00V";
        QTest::newRow("line") << 10.0f << 45.0f << false << "f= 10.00kHz ; |S(f)| = 3.18E+00V";
        QTest::newRow("time axis") << 50.0f << 70.0f << true << "t= 500.00usec ; s(t) = 0.00E+00V";
        QTest::newRow("just below the axis")
            << 50.0f << 69.99f << false << "f= 50.00kHz ; |S(f)| = 4.95E+00V";
        QTest::newRow("left edge signal")
            << 0.0f << 80.0f << true << "t= 0.00usec ; s(t) = 2.00E+00V";
        QTest::newRow("left edge spectrum")
            << 0.0f << 0.0f << false << "f= 0.00kHz ; |S(f)| = 0.00E+00V";
        QTest::newRow("top right")
            << 100.0f << 100.0f << true << "t= 1000.00usec ; s(t) = 6.00E+00V";
    }
    void readoutTexts()
    {
        QFETCH(float, x);
        QFETCH(float, y);
        QFETCH(bool, signalBand);
        QFETCH(QString, text);
        form_->Picture1_MouseMove(0, 0, x, y);
        QCOMPARE(form_->Option1()->isChecked(), signalBand);
        QCOMPARE(form_->Option3()->isChecked(), !signalBand);
        QCOMPARE(tip(), text);
        // The band's peak search ran.
        QCOMPARE(signalBand ? state_.SignalPeak : state_.SpectrumPeak, signalBand ? 5.0 : 3.18);
    }

    // In the decibels' and the phases' views the spectrum band reads a level or a phase. A
    // half-wave (D = 0.5, V = 10, N = 1000, H = 10): its faintest line, harmonic 10, lies
    // 20 log10((2 V / (99 pi)) / (V / 2)) = -37.8 dB below the first, so the floor is -40 dB;
    // its odd harmonics above the first vanish and have no phase.
    void viewReadoutTexts_data()
    {
        QTest::addColumn<bool>("phases");
        QTest::addColumn<float>("x");
        QTest::addColumn<float>("y");
        QTest::addColumn<QString>("text");
        QTest::newRow("0 dB at the band's top")
            << false << 10.0f << 45.0f << "f= 10.00kHz ; livello = 0.00dB";
        QTest::newRow("the floor at its bottom")
            << false << 20.0f << 0.0f << "f= 20.00kHz ; livello = -40.00dB";
        QTest::newRow("half way down")
            << false << 30.0f << 22.5f << "f= 30.00kHz ; livello = -20.00dB";
        QTest::newRow("the zero line")
            << true << 20.0f << 22.5f << "f= 20.00kHz ; fase = 0.00\u00B0";
        QTest::newRow("a half turn at the top")
            << true << 40.0f << 45.0f << "f= 40.00kHz ; fase = 180.00\u00B0";
        QTest::newRow("a quarter turn back")
            << true << 100.0f << 11.25f << "f= 100.00kHz ; fase = -90.00\u00B0";
        QTest::newRow("over a harmonic with no phase")
            << true << 30.0f << 22.5f << "f= 30.00kHz ; fase non definita";
        QTest::newRow("beside it, nearer harmonic 4")
            << true << 36.0f << 22.5f << "f= 36.00kHz ; fase = 0.00\u00B0";
    }
    void viewReadoutTexts()
    {
        QFETCH(bool, phases);
        QFETCH(float, x);
        QFETCH(float, y);
        QFETCH(QString, text);
        state_ = AnalysisOf({.v = 10, .d = 0.5, .n = 1000, .h = 10, .f = 10000, .p = 10});
        FindSpectrumPeak(state_);
        ComputeMeasures(state_);
        (phases ? form_->Views()->PhaseAction() : form_->Views()->DecibelAction())->trigger();
        form_->Picture1_MouseMove(0, 0, x, y);
        QCOMPARE(tip(), text);
        // Off again, the band reads moduli as ever.
        (phases ? form_->Views()->PhaseAction() : form_->Views()->DecibelAction())->trigger();
        form_->Picture1_MouseMove(0, 0, x, y);
        QVERIFY2(tip().contains("|S(f)| = "), qPrintable(tip()));
    }

    void readoutWritesTheLocalesDecimalSeparator()
    {
        QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
        form_->Picture1_MouseMove(0, 0, 25, 95);
        QCOMPARE(tip(), QStringLiteral("t= 250,00usec ; s(t) = 5,00E+00V"));
        form_->Picture1_MouseMove(0, 0, 10, 45);
        QCOMPARE(tip(), QStringLiteral("f= 10,00kHz ; |S(f)| = 3,18E+00V"));
    }

    void belowThePlotBeforeAnyBandChangesNothing()
    {
        form_->Picture1_MouseMove(1, 0, 50, -3);
        QVERIFY(!form_->Option1()->isChecked());
        QVERIFY(!form_->Option3()->isChecked());
        QCOMPARE(tip(), QString());
    }

    void belowThePlotKeepsTheLastBand()
    {
        form_->Picture1_MouseMove(0, 0, 10, 20);
        form_->Picture1_MouseMove(1, 0, 10, -9);
        QVERIFY(form_->Option3()->isChecked());
        QCOMPARE(tip(), QStringLiteral("f= 10.00kHz ; |S(f)| = -6.36E-01V"));
        form_->Picture1_MouseMove(0, 0, 10, 90);
        form_->Picture1_MouseMove(1, 0, 10, -10);
        QVERIFY(form_->Option1()->isChecked());
        QCOMPARE(tip(), QStringLiteral("t= 100.00usec ; s(t) = -1.60E+01V"));
    }

    // A zero frequency (left by the harmonic modulus command) has no time scale: the readout
    // shows the value alone, never an infinite or undefined number.
    void zeroFrequencyShowsTheValueAlone()
    {
        state_.Frequency = 0;
        form_->Picture1_MouseMove(0, 0, 25, 95);
        QCOMPARE(tip(), QStringLiteral("s(t) = 5.00E+00V"));
        form_->Picture1_MouseMove(0, 0, 10, 45);
        QCOMPARE(tip(), QStringLiteral("f= 0.00kHz ; |S(f)| = 3.18E+00V"));
    }

    // The sunken border is no part of the plot: moves over it, no button held, report nothing.
    void movesOverTheBorderReportNothing_data()
    {
        // Where on the box, as fractions of its size, and how far in from that edge in pixels.
        QTest::addColumn<QPointF>("at");
        QTest::addColumn<QPoint>("inward");
        QTest::newRow("left outer") << QPointF(0, 0.5) << QPoint(0, 0);
        QTest::newRow("left inner") << QPointF(0, 0.5) << QPoint(1, 0);
        QTest::newRow("right outer") << QPointF(1, 0.5) << QPoint(0, 0);
        QTest::newRow("right inner") << QPointF(1, 0.5) << QPoint(-1, 0);
        QTest::newRow("bottom outer") << QPointF(0.5, 1) << QPoint(0, 0);
        QTest::newRow("bottom inner") << QPointF(0.5, 1) << QPoint(0, -1);
        QTest::newRow("top") << QPointF(0.5, 0) << QPoint(0, 0);
    }
    void movesOverTheBorderReportNothing()
    {
        QFETCH(QPointF, at);
        QFETCH(QPoint, inward);
        const QSize size = form_->Picture1()->size();
        const QPoint position = QPoint(qMin(int(at.x() * size.width()), size.width() - 1),
                                       qMin(int(at.y() * size.height()), size.height() - 1))
            + inward;
        PlotArea *plot = form_->Picture1();
        form_->Picture1_MouseMove(0, 0, 50, 20); // a readout in the spectrum band
        const QString before = tip();
        MoveCounter arrived;
        plot->installEventFilter(&arrived);
        moveOver(position);
        QTRY_VERIFY(arrived.moves > 0);
        QCOMPARE(tip(), before);
        QVERIFY(form_->Option3()->isChecked());
        // The first pixel inside the border reads back.
        const QPoint inside(std::clamp(position.x(), 2, plot->width() - 3),
                            std::clamp(position.y(), 2, plot->height() - 3));
        moveOver(inside);
        QTRY_VERIFY(tip() != before);
        QVERIFY2(!tip().contains("-"), qPrintable(tip()));
    }

    // A button pressed over the plot and held carries the readout over the border and beyond.
    void aHeldButtonCarriesTheReadoutBeyondThePlot()
    {
        PlotArea *plot = form_->Picture1();
        const QPoint inside(plot->width() / 2, plot->height() / 10);
        QTest::mousePress(plot, Qt::LeftButton, {}, inside);
        QTest::mouseMove(plot, QPoint(0, inside.y()));
        QTRY_VERIFY2(tip().startsWith("t= -"), qPrintable(tip()));
        QTest::mouseMove(plot, QPoint(plot->width() / 2, plot->height() + 30));
        QTRY_VERIFY2(tip().contains("s(t) = -"), qPrintable(tip())); // below the plot
        QVERIFY(form_->Option1()->isChecked());
        QTest::mouseRelease(plot, Qt::LeftButton, {},
                            QPoint(plot->width() / 2, plot->height() + 30));
    }

    void mouseOverThePlotSetsTheReadout()
    {
        moveOver(boxPoint(25, 95)); // the crest
        QTRY_VERIFY(form_->Option1()->isChecked());
        QVERIFY2(tip().startsWith("t= 2"), qPrintable(tip()));
        QVERIFY2(tip().contains("s(t) = 5.0") || tip().contains("s(t) = 4.9"), qPrintable(tip()));
        moveOver(boxPoint(10, 45)); // the first line
        QTRY_VERIFY(form_->Option3()->isChecked());
        QVERIFY2(tip().startsWith("f= 10.0") || tip().startsWith("f= 9.9"), qPrintable(tip()));
    }

    // The tip on screen follows the pointer with the reading under it. A Wayland popup stays
    // where it was first placed, whatever Qt moves it to, so there the tip must be shown anew
    // where it stands, never moved while shown.
    void theTipOnScreenFollowsThePointer()
    {
        PlotArea *plot = form_->Picture1();
        const QPoint crest = boxPoint(25, 95);
        enterAt(crest);
        moveOver(crest);
        QTRY_VERIFY(form_->Option1()->isChecked());
        QHelpEvent rest(QEvent::ToolTip, crest, plot->mapToGlobal(crest)); // the pointer rests
        QApplication::sendEvent(plot, &rest);
        QVERIFY(QToolTip::isVisible());
        QCOMPARE(QToolTip::text(), tip());
        TipPlacement placed;
        qApp->installEventFilter(&placed);
        moveOver(boxPoint(10, 45));
        QTRY_VERIFY(form_->Option3()->isChecked());
        qApp->removeEventFilter(&placed);
        QVERIFY(QToolTip::isVisible());
        QCOMPARE(QToolTip::text(), tip());
        QVERIFY2(tip().startsWith("f= "), qPrintable(tip()));
        if (QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) {
            QVERIFY(placed.shown);
            QCOMPARE(placed.shown->pos(), placed.shownAt);
        }
        QToolTip::hideText();
    }
};

QTEST_MAIN(Form2Test)
#include "tst_form2.moc"
