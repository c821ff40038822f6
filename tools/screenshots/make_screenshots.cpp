// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the documentation's screenshots of both windows with their default parameters, the
// readout under the cursor, the plot's menu, the sum of the first three harmonics over the
// signal, the harmonics one at a time, the shapes, the decibels, the phases, the measures and
// the logarithmic frequency axis, the reference, the parameter bar and a measured signal.
// The guide shows them too. With --check it writes nothing: it tells which pictures in the folder
// differ from the windows now, and fails if one does.
//
// Usage: make_screenshots [--check] [FOLDER]   (FOLDER: docs by default)
#include "core/analysis/message_box.h"
#include "core/state/analysis_state.h"
#include "ui/graph_window/export/plot_export.h"
#include "ui/graph_window/form2.h"
#include "ui/graph_window/plot/harmonic_by_harmonic.h"
#include "ui/graph_window/plot/harmonic_sum_layer.h"
#include "ui/graph_window/plot/measure_labels.h"
#include "ui/graph_window/plot/plot_area.h"
#include "ui/graph_window/plot/spectrum_views.h"
#include "ui/input_window/form1.h"
#include "ui/input_window/shape_diagram.h"
#include "ui/long_work/task_gate.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QToolTip>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <numbers>
#include <utility>

namespace {

bool checking = false;

bool Save(const QPixmap &pixmap, const QString &path)
{
    if (checking) {
        const QImage now = pixmap.toImage().convertToFormat(QImage::Format_RGB32);
        if (QImage(path).convertToFormat(QImage::Format_RGB32) == now)
            return true;
        std::fprintf(stderr, "%s is not what the windows show now: tools/make-screenshots.sh\n",
                     qPrintable(path));
        return false;
    }
    if (pixmap.save(path))
        return true;
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
}

// The graph window with the readout's tool-tip drawn where the platform shows it.
QPixmap WithToolTip(Form2 &form, QPoint plotPosition)
{
    PlotArea *plot = form.Picture1();
    const QPointF local = plotPosition;
    QMouseEvent move(QEvent::MouseMove, local, plot->mapToGlobal(local), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(plot, &move);
    QApplication::processEvents(); // what the move asked to redraw
    QPixmap shot = form.grab();
    QPainter painter(&shot);
    const QString text = plot->ToolTipText();
    const QFontMetrics metrics(QToolTip::font());
    // A tip of two lines is measured as such.
    QRect box
        = (text.contains(QLatin1Char('\n')) ? metrics.boundingRect(QRect(), Qt::AlignLeft, text)
                                            : metrics.boundingRect(text))
              .adjusted(-4, -2, 4, 2);
    box.moveTopLeft(plot->mapTo(&form, plotPosition) + QPoint(12, 18));
    painter.fillRect(box, QToolTip::palette().color(QPalette::ToolTipBase));
    painter.setPen(QToolTip::palette().color(QPalette::ToolTipText));
    painter.drawRect(box.adjusted(0, 0, -1, -1));
    painter.setFont(QToolTip::font());
    painter.drawText(
        box, text.contains(QLatin1Char('\n')) ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignCenter,
        text);
    return shot;
}

// The graph window with the plot's context menu open where a right click at `plotPosition` puts
// it.
QPixmap WithMenu(Form2 &form, QPoint plotPosition)
{
    PlotArea *plot = form.Picture1();
    QMenu *menu = form.PlotMenu();
    form.ShowPlotMenu(plot->mapToGlobal(plotPosition));
    QApplication::processEvents();
    QPixmap shot = form.grab();
    QPainter painter(&shot);
    painter.drawPixmap(form.mapFromGlobal(menu->pos()), menu->grab());
    menu->hide();
    return shot;
}

// The messages go to the standard error: a dialog would wait for a click.
class PrintedMessages : public MessageBox
{
public:
    void Show(const std::u16string &text) override
    {
        std::fprintf(stderr, "%s\n", qPrintable(QString::fromStdU16String(text)));
    }
};

// 20 periods of a half-sine train at 100 kHz, Vmax = 5 V, D = 0.3, every 20 ns, with noise from
// a fixed sequence, so that the picture is the same on every run.
bool WriteMeasuredHalfSine(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QByteArray text = "Time (s),CH1 (V)\n";
    std::uint32_t random = 12345;
    for (int i = 0; i <= 10000; ++i) {
        const double t = i * 20e-9;
        const double inPeriod = std::fmod(t - 2.3e-6 + 1e-5, 1e-5) / 1e-5; // of the period
        const double pulse = inPeriod < 0.3 ? 5 * std::sin(std::numbers::pi * inPeriod / 0.3) : 0;
        random = random * 1664525u + 1013904223u;
        const double noise = 0.5 * (static_cast<double>(random >> 8) / double(1 << 24) - 0.5);
        text += QByteArray::number(t, 'g', 12) + ',' + QByteArray::number(pulse + noise, 'f', 4)
            + '\n';
    }
    return file.write(text) == text.size();
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));
    QStringList arguments = QApplication::arguments().mid(1);
    checking = arguments.removeAll(QStringLiteral("--check")) > 0;
    const QDir out(arguments.isEmpty() ? QStringLiteral("docs") : arguments.first());

    AnalysisState state;
    PrintedMessages messages;
    TaskGate tasks;
    Form1 form1(state, messages, tasks);
    form1.show();
    QApplication::processEvents();
    bool ok = Save(form1.grab(), out.filePath(QStringLiteral("input-window.png")));

    form1.Command2_Click();
    Form2 *form2 = form1.GraphWindow();
    if (!form2)
        return 1;
    QApplication::processEvents();
    ok = Save(form2->grab(), out.filePath(QStringLiteral("graph-window.png"))) && ok;
    ok = Save(WithToolTip(*form2, QPoint(250, 60)),
              out.filePath(QStringLiteral("graph-window-readout.png")))
        && ok;
    ok = Save(WithMenu(*form2, QPoint(560, 140)),
              out.filePath(QStringLiteral("graph-window-export.png")))
        && ok;

    // Three harmonics at the defaults: the sum already has the signal's shape, not yet its kinks.
    form1.findChild<QLineEdit *>(QStringLiteral("Text3"))->setText(QStringLiteral("3"));
    form1.Command2_Click();
    form2->HarmonicSum()->Action()->trigger();
    QApplication::processEvents();
    ok = Save(form2->grab(), out.filePath(QStringLiteral("graph-window-harmonic-sum.png"))) && ok;

    // Thirty harmonics at a duty cycle of 0.3, the sum wheeled down to its first six, harmonic 3
    // pointed at: its line and its wave in dark orange, its values in the tool-tip's second line.
    form1.findChild<QLineEdit *>(QStringLiteral("Text3"))->setText(QStringLiteral("30"));
    form1.findChild<QLineEdit *>(QStringLiteral("Text1"))->setText(QStringLiteral("0.3"));
    form1.Command2_Click();
    form2->OneByOne()->Action()->trigger();
    form2->HarmonicSum()->StepTerms(-24);
    const PlotArea *plot = form2->Picture1();
    const QPoint line3 = plot->contentsRect().topLeft()
        + QPoint(int(plot->Mapping().Column(10) + 0.5), int(plot->Mapping().Row(12) + 0.5));
    ok = Save(WithToolTip(*form2, line3),
              out.filePath(QStringLiteral("graph-window-one-by-one.png")))
        && ok;

    // The rectangle chosen on the diagram, its menu still open, and at a duty cycle of 0.25 its
    // sinc-shaped lines under their envelope, zero at every fourth harmonic.
    form2->OneByOne()->Action()->trigger();
    form2->HarmonicSum()->Action()->trigger();
    auto *diagram = form1.findChild<ShapeDiagram *>(QStringLiteral("Picture1"));
    diagram->Menu()->findChild<QAction *>(QStringLiteral("Forma1"))->trigger();
    form1.findChild<QLineEdit *>(QStringLiteral("Text1"))->setText(QStringLiteral("0.25"));
    QApplication::processEvents();
    diagram->Menu()->popup(diagram->mapToGlobal(QPoint(120, 60)));
    QApplication::processEvents();
    QPixmap withShapes = form1.grab();
    QPainter(&withShapes)
        .drawPixmap(form1.mapFromGlobal(diagram->Menu()->pos()), diagram->Menu()->grab());
    diagram->Menu()->hide();
    ok = Save(withShapes, out.filePath(QStringLiteral("input-window-shapes.png"))) && ok;
    form1.Command2_Click();
    form2->Views()->EnvelopeAction()->trigger();
    QApplication::processEvents();
    ok = Save(form2->grab(), out.filePath(QStringLiteral("graph-window-rectangular.png"))) && ok;

    // The views at the defaults, one at a time: the decibels, the phases, the measures.
    form2->Views()->EnvelopeAction()->trigger();
    diagram->Menu()->findChild<QAction *>(QStringLiteral("Forma0"))->trigger();
    form1.findChild<QLineEdit *>(QStringLiteral("Text1"))->setText(QStringLiteral("0.5"));
    form1.findChild<QLineEdit *>(QStringLiteral("Text3"))->setText(QStringLiteral("10"));
    form1.Command2_Click();
    const std::pair<QAction *, const char *> views[] = {
        {form2->Views()->DecibelAction(), "graph-window-decibel.png"},
        {form2->Views()->PhaseAction(), "graph-window-phase.png"},
        {form2->Measures().Action(), "graph-window-measures.png"},
    };
    for (const auto &[entry, file] : views) {
        entry->trigger();
        QApplication::processEvents();
        ok = Save(form2->grab(), out.filePath(QString::fromLatin1(file))) && ok;
        entry->trigger();
    }

    // The rectangle's 1/k on the logarithmic axis in decibels, along its -20 dB per decade.
    diagram->Menu()->findChild<QAction *>(QStringLiteral("Forma1"))->trigger();
    form1.findChild<QLineEdit *>(QStringLiteral("Text1"))->setText(QStringLiteral("0.1"));
    form1.findChild<QLineEdit *>(QStringLiteral("Text3"))->setText(QStringLiteral("100"));
    form1.Command2_Click();
    const QList<QAction *> logViews
        = {form2->Views()->DecibelAction(), form2->Views()->LogFrequencyAction(),
           form2->Views()->SlopesAction()};
    for (QAction *entry : logViews)
        entry->trigger();
    QApplication::processEvents();
    ok = Save(form2->grab(), out.filePath(QStringLiteral("graph-window-log.png"))) && ok;
    for (QAction *entry : logViews)
        entry->trigger();
    diagram->Menu()->findChild<QAction *>(QStringLiteral("Forma0"))->trigger();
    form1.findChild<QLineEdit *>(QStringLiteral("Text1"))->setText(QStringLiteral("0.5"));
    form1.findChild<QLineEdit *>(QStringLiteral("Text3"))->setText(QStringLiteral("10"));
    form1.Command2_Click();

    // The rectangle through an RC low-pass at 150 kHz: its output y(t) over s(t), the output's
    // lines over the input's pale ones, under the response.
    diagram->Menu()->findChild<QAction *>(QStringLiteral("Forma1"))->trigger();
    form1.findChild<QLineEdit *>(QStringLiteral("Text1"))->setText(QStringLiteral("0.25"));
    form1.findChild<QLineEdit *>(QStringLiteral("Text3"))->setText(QStringLiteral("30"));
    form1.Command2_Click();
    form2->Filter().Choose(FilterKind::RcLowPass);
    form2->Filter().Type(0, u"150");
    form2->Filter().Take();
    QApplication::processEvents();
    ok = Save(form2->grab(), out.filePath(QStringLiteral("graph-window-filter.png"))) && ok;
    form2->Views()->DecibelAction()->trigger();
    QApplication::processEvents();
    ok = Save(form2->grab(), out.filePath(QStringLiteral("graph-window-filter-db.png"))) && ok;
    form2->Views()->DecibelAction()->trigger();
    form2->Filter().Choose(FilterKind::None);
    diagram->Menu()->findChild<QAction *>(QStringLiteral("Forma0"))->trigger();
    form1.findChild<QLineEdit *>(QStringLiteral("Text1"))->setText(QStringLiteral("0.5"));
    form1.findChild<QLineEdit *>(QStringLiteral("Text3"))->setText(QStringLiteral("10"));
    form1.Command2_Click();

    // The rectangle at D = 0.5 held as the reference, behind the one at D = 0.25: the lines that
    // vanish at every fourth harmonic against those that vanish at every second.
    diagram->Menu()->findChild<QAction *>(QStringLiteral("Forma1"))->trigger();
    form1.findChild<QLineEdit *>(QStringLiteral("Text3"))->setText(QStringLiteral("20"));
    form1.Command2_Click();
    form2->HoldReferenceAction()->trigger();
    form1.findChild<QLineEdit *>(QStringLiteral("Text1"))->setText(QStringLiteral("0.25"));
    form1.Command2_Click();
    QApplication::processEvents();
    ok = Save(form2->grab(), out.filePath(QStringLiteral("graph-window-reference.png"))) && ok;
    form2->DropReferenceAction()->trigger();
    diagram->Menu()->findChild<QAction *>(QStringLiteral("Forma0"))->trigger();
    form1.findChild<QLineEdit *>(QStringLiteral("Text1"))->setText(QStringLiteral("0.5"));
    form1.findChild<QLineEdit *>(QStringLiteral("Text3"))->setText(QStringLiteral("10"));
    form1.Command2_Click();

    // The parameter bar over the plot, the lesson in one window.
    form2->BarAction()->trigger();
    QApplication::processEvents();
    ok = Save(form2->grab(), out.filePath(QStringLiteral("graph-window-bar.png"))) && ok;
    form2->BarAction()->trigger();

    // A measured half-sine train at 100 kHz, 5 V and D = 0.3 with noise of 0.5 V from peak to
    // peak, its first pulse 2.3 us into the capture: the averaged period over its 19 whole
    // periods, and the model fitted to it behind.
    const QString capture = QDir::temp().filePath(QStringLiteral("misura-semionda.csv"));
    if (!WriteMeasuredHalfSine(capture) || !form1.OpenMeasured(capture))
        return 1;
    form1.EstimateParameters();
    QApplication::processEvents();
    ok = Save(form2->grab(), out.filePath(QStringLiteral("graph-window-measured.png"))) && ok;
    ok = Save(form1.grab(), out.filePath(QStringLiteral("input-window-measured.png"))) && ok;
    QFile::remove(capture);
    form1.CloseMeasured();
    return ok ? 0 : 1;
}
