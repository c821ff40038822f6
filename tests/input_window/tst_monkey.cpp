// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// A seeded monkey drives both windows with thousands of random actions: texts inside and outside
// the number alphabet, extreme and huge values, clicks, mouse moves over and below the plot,
// closing the graph window, switching locale; the long work a command starts is let go to its end
// or closed once its progress shows, as the seed decides. After every action the windows must show
// no infinite or undefined number, the fields only ever turn from pink to green, the results and
// the readout must match the analysis state, and a refused command must change nothing.
//
// A second monkey drives the graphs that follow stepped fields at a size that takes the transform
// path: random steps, Annulla, commands, the transforms of cancelled analyses held alive on their
// threads or let go, the windows' events delivered or not. One progress dialog at most shows, none
// once no analysis runs, and a command always stores and draws the fields as they stand.
//
// SPETTRO_MONKEY_SEED and SPETTRO_MONKEY_ACTIONS override the seed and the number of actions.
#include "core/analysis/commands.h"
#include "core/spectrum/cheaper_path.h"
#include "core/spectrum/spectrum.h"
#include "tests/support/input_window_fixture.h"
#include "tests/support/same_analysis.h"
#include "ui/graph_window/form2.h"
#include "ui/graph_window/plot/plot_area.h"
#include "ui/graph_window/plot_geometry/cursor_readout.h"
#include "ui/input_window/live_graphs.h"

#include <QProgressDialog>
#include <QRadioButton>

#include <optional>
#include <random>

namespace {

const char *const FieldNames[] = {"Text1", "Text7", "Text12", "Text13", "Text3", "Text8", "Text2"};

// Values each field is likely to get, small enough for quick analyses, with the extremes.
const QStringList Likely[] = {
    {"0.5", "0.25", "1", "0.1", "0.37", "0.999", "1.5", "0", "-0.5", "-1e-9", "1e308"}, // D
    {"10", "-3", "0", "1e-300", "1E308", "2.5", "-1e400", "4.9e-324"}, // Vmax
    {"100", "0", "1e305", "1E305", "1E-3", "-5", "1e306"}, // f
    {"10000", "5", "7", "1", "1000", "1e9", "1e12", "0", "-3", "2147483647", "2e3"}, // N
    {"10", "2.5", "0", "-3", "100", "1001", "10001", "1e9", "-1e12", "11.5"}, // H
    {"3", "2.5", "0.5", "1e9", "-1", "0", "1e10", "2147483647", "10"}, // P
    {"1", "2", "0", "11", "1.5", "-1", "1e12", "10001", "2.5"}, // z
};

// The ways a progress dialog is closed: by the user (Annulla, Esc, the window's close button) or
// by the program.
enum class Close
{
    Annulla,
    Esc,
    Window,
    Program
};

bool Shows(const QString &text)
{
    const QString lower = text.toLower();
    return !lower.contains("inf") && !lower.contains("nan");
}

} // namespace

class MonkeyTest : public QObject
{
    Q_OBJECT

private:
    InputWindowFixture w_;
    std::mt19937_64 random_;
    QString lastAction_;
    quint64 seed_ = 0;
    int action_ = 0;
    int cancelled_ = 0;
    int stored_ = 0;
    int refused_ = 0;

    int pick(int n) { return static_cast<int>(random_() % static_cast<quint64>(n)); }

    // How the long work the next command may start is answered, decided by the test rather than
    // by how fast the machine is: let go to its end with no dialog, or held at its first count
    // until its dialog shows it and then closed. Either way it is over when the click returns.
    void answerLongWork(std::optional<Close> close)
    {
        w_.pace.LetGo();
        if (!close)
            return;
        w_.pace.ActWhenShown([this, close](QProgressDialog &dialog) {
            ++cancelled_;
            switch (*close) {
            case Close::Annulla:
                QTest::mouseClick(dialog.findChild<QPushButton *>(), Qt::LeftButton);
                break;
            case Close::Esc:
                QTest::keyClick(&dialog, Qt::Key_Escape);
                break;
            case Close::Window:
                dialog.close();
                break;
            case Close::Program:
                dialog.cancel();
                break;
            }
        });
    }
    // A quarter of the commands have their long work closed, the ways chosen alike.
    std::optional<Close> pickAnswer()
    {
        if (pick(4) != 0)
            return std::nullopt;
        return static_cast<Close>(pick(4));
    }
    char16_t separator() const { return QLocale().decimalPoint().at(0).unicode(); }

    QString where() const
    {
        return QString("seed %1, action %2 (%3)").arg(seed_).arg(action_).arg(lastAction_);
    }

    QString randomText()
    {
        switch (pick(8)) {
        case 0: {
            QString t;
            const QString alphabet = "0123456789.eE-+";
            for (int i = pick(14); i > 0; --i)
                t += alphabet[pick(alphabet.size())];
            return t;
        }
        case 1: {
            const QString outside[] = {"1,5", " 5", "5 ",     "abc", "\uff15",    "1\u00a02",
                                       "\t",  "x1", "\u0665", "1/2", "\U0001D7D3"};
            return outside[pick(std::size(outside))];
        }
        case 2:
            return QString();
        case 3:
            return QString(40000, QChar(u"0123456789"[pick(10)]));
        case 4: {
            const QString extreme[] = {
                "1e308", "1e-308", "1e309", "9e99999", "-1e400", "1e-400", "1.7976931348623157e308",
                "-0",    "0.0"};
            return extreme[pick(std::size(extreme))];
        }
        default:
            return QString();
        }
    }

    void typeInto(int f)
    {
        QLineEdit *edit = w_.Field(FieldNames[f]);
        const bool likely = pick(5) != 0;
        const QString text = likely ? Likely[f][pick(Likely[f].size())] : randomText();
        lastAction_ = QString("type %1 into %2").arg(text.left(30)).arg(FieldNames[f]);
        const bool typeable = std::all_of(text.begin(), text.end(), [](QChar c) {
            return c.unicode() >= 0x20 && c.unicode() < 0x7f;
        });
        if (text.size() > 100 || !typeable) { // pasted
            edit->setText(text);
            return;
        }
        Retype(edit, text);
    }

    void clickCommand(const char *name)
    {
        lastAction_ = QString("click %1").arg(name);
        const AnalysisState before = *w_.state;
        const QString label3 = w_.Label("Label3")->text();
        const QString label9 = w_.Label("Label9")->text();
        const Form2 *window = w_.form->GraphWindow();
        const QImage plot = window ? window->Picture1()->Image() : QImage();
        const int cancelledBefore = cancelled_;
        w_.box->shown.clear();

        // An analysis of a thousand million samples, where memory allows one at all, is closed
        // rather than awaited.
        std::optional<Close> answer = pickAnswer();
        if (!answer && w_.Field("Text13")->text().toDouble() >= 1e8)
            answer = Close::Program;
        answerLongWork(answer);
        QTest::mouseClick(w_.Button(name), Qt::LeftButton);
        w_.pace.LetGo(); // a command refused before its work started leaves nothing to answer

        QVERIFY2(w_.box->shown.size() <= 1, qPrintable(where()));
        const bool stopped = !w_.box->shown.empty() || cancelled_ != cancelledBefore;
        (stopped ? refused_ : stored_)++;
        if (stopped) {
            QVERIFY2(SameAnalysis(*w_.state, before),
                     qPrintable(where() + ": "
                                + (w_.box->shown.empty()
                                       ? QString("cancelled")
                                       : QString::fromStdU16String(w_.box->shown[0]))));
            QCOMPARE(w_.Label("Label3")->text(), label3);
            QCOMPARE(w_.Label("Label9")->text(), label9);
            if (window && w_.form->GraphWindow() == window)
                QVERIFY2(window->Picture1()->Image() == plot, qPrintable(where()));
            return;
        }
        const auto size = static_cast<std::size_t>(w_.state->SampleCount) + 2;
        QVERIFY2(w_.state->Samples.size() == size, qPrintable(where()));
        if (QString(name) == "Command1") {
            const HarmonicModulusTexts shown = FormatHarmonicModulus(*w_.state, separator());
            QCOMPARE(w_.Label("Label3")->text(), QString::fromStdU16String(shown.meanValue));
            QCOMPARE(w_.Label("Label9")->text(), QString::fromStdU16String(shown.magnitude));
        } else {
            QVERIFY2(w_.form->GraphWindow() && w_.form->GraphWindow()->isVisible(),
                     qPrintable(where()));
        }
    }

    void moveOverPlot()
    {
        Form2 *window = w_.form->GraphWindow();
        if (!window)
            return clickCommand("Command2");
        PlotArea *plot = window->Picture1();
        const QRect contents = plot->contentsRect();
        const bool below = pick(4) == 0;
        const QPointF position(contents.left() + pick(contents.width() + 40) - 20,
                               below ? contents.bottom() + 1 + pick(300)
                                     : contents.top() + pick(contents.height()));
        lastAction_ = QString("move to %1, %2%3")
                          .arg(position.x())
                          .arg(position.y())
                          .arg(below ? " with the button held" : "");
        const QString before = plot->ToolTipText();
        const Qt::MouseButtons buttons = below ? Qt::LeftButton : Qt::NoButton;
        QMouseEvent move(QEvent::MouseMove, position, plot->mapToGlobal(position), Qt::NoButton,
                         buttons, Qt::NoModifier);
        QApplication::sendEvent(plot, &move);

        const QPointF user = plot->UserPoint(position - contents.topLeft());
        const float x = float(user.x()), y = float(user.y());
        std::optional<std::u16string> expected;
        if (!below && !contents.contains(position.toPoint())) // the border, or beyond the box
            expected = before.toStdU16String();
        else if (window->Option1()->isChecked())
            expected = SignalReadout(*w_.state, x, y, separator());
        else if (window->Option3()->isChecked())
            expected = SpectrumReadout(*w_.state, x, y, separator());
        const QString tip = plot->ToolTipText();
        QCOMPARE(tip, expected ? QString::fromStdU16String(*expected) : before);
        if (y >= 0 && (below || contents.contains(position.toPoint())))
            QVERIFY2(window->Option1()->isChecked() == (y >= 70), qPrintable(where()));
    }

    void checkInvariants(std::array<bool, 7> &green)
    {
        QVERIFY2(Shows(w_.Label("Label3")->text()), qPrintable(where()));
        QVERIFY2(Shows(w_.Label("Label9")->text()), qPrintable(where()));
        if (Form2 *window = w_.form->GraphWindow())
            QVERIFY2(Shows(window->Picture1()->ToolTipText()), qPrintable(where()));
        for (int f = 0; f < 7; ++f) {
            const QColor color = BackColor(w_.Field(FieldNames[f]));
            QVERIFY2(color == Pink || color == Green, qPrintable(where()));
            if (green[f])
                QVERIFY2(color == Green, qPrintable(where() + " turned pink"));
            green[f] = color == Green;
        }
    }

private slots:
    void init()
    {
        QVERIFY(w_.Start());
        answerLongWork(std::nullopt);
    }
    void cleanup() { w_.Stop(); }

    void randomActionsKeepTheWindowsConsistent()
    {
        seed_ = qEnvironmentVariableIsSet("SPETTRO_MONKEY_SEED")
            ? qEnvironmentVariable("SPETTRO_MONKEY_SEED").toULongLong()
            : 20261207;
        const int actions = qEnvironmentVariableIsSet("SPETTRO_MONKEY_ACTIONS")
            ? qEnvironmentVariableIntValue("SPETTRO_MONKEY_ACTIONS")
            : 5000;
        random_.seed(seed_);
        std::array<bool, 7> green {};
        int commands = 0, moves = 0;
        for (action_ = 1; action_ <= actions; ++action_) {
            const int kind = pick(100);
            if (kind < 45) {
                typeInto(pick(7));
            } else if (kind < 60) {
                clickCommand("Command1");
                ++commands;
            } else if (kind < 72) {
                clickCommand("Command2");
                ++commands;
            } else if (kind < 94) {
                moveOverPlot();
                ++moves;
            } else if (kind < 95) {
                lastAction_ = "close the graph window";
                if (Form2 *window = w_.form->GraphWindow()) {
                    window->close();
                    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
                    QVERIFY2(!w_.form->GraphWindow(), qPrintable(where()));
                }
            } else if (kind < 97) {
                // A fresh set of sensible values, so that commands get past the checks again.
                lastAction_ = "sensible values everywhere";
                const char *const sensible[] = {"0.5", "10", "100", "10000", "10", "3", "2"};
                for (int f = 0; f < 7; ++f)
                    w_.Field(FieldNames[f])->setText(pick(2) ? sensible[f] : Likely[f][pick(3)]);
            } else if (kind < 98) {
                const QLocale locales[] = {QLocale(QLocale::Italian, QLocale::Italy),
                                           QLocale(QLocale::English, QLocale::UnitedStates)};
                QLocale::setDefault(locales[pick(2)]);
                lastAction_ = "locale " + QLocale().name();
            } else if (Form2 *window = w_.form->GraphWindow()) {
                lastAction_ = "click an option";
                QTest::mouseClick(pick(2) ? window->Option1() : window->Option3(), Qt::LeftButton);
            }
            if (QTest::currentTestFailed())
                return;
            checkInvariants(green);
            if (QTest::currentTestFailed())
                return;
        }
        qInfo("seed %llu: %d actions, %d commands (%d analyses stored, %d stopped by a message "
              "or a cancel), %d mouse moves, %d analyses cancelled",
              seed_, actions, commands, stored_, refused_, moves, cancelled_);
        // The run must have exercised both outcomes.
        QVERIFY(stored_ > 100 && refused_ > 100);
    }

    void randomStepsCancelsAndCommandsLeaveNoProgressBehind()
    {
        seed_ = qEnvironmentVariableIsSet("SPETTRO_MONKEY_SEED")
            ? qEnvironmentVariable("SPETTRO_MONKEY_SEED").toULongLong()
            : 20261209;
        const int actions = qEnvironmentVariableIsSet("SPETTRO_MONKEY_ACTIONS")
            ? qEnvironmentVariableIntValue("SPETTRO_MONKEY_ACTIONS") / 10
            : 500;
        random_.seed(seed_);
        w_.Type("Text13", "20000");
        w_.Type("Text3", "2000");
        w_.Type("Text2", "3");
        QCOMPARE(CheaperPath(20000, 0.5, 2000), SpectrumPath::Transform);
        w_.Click("Command2");
        QVERIFY(w_.form->GraphWindow());
        LiveGraphs &live = w_.form->Live();
        const Field stepped[] = {Field::Text1, Field::Text13, Field::Text3, Field::Text7};
        const auto shownProgress = [this] {
            int shown = 0;
            for (const auto *dialog : w_.form->findChildren<QProgressDialog *>("StepProgress"))
                shown += dialog->isVisible() ? 1 : 0;
            return shown;
        };
        // Lets every transform go, and the analysis running end and be drawn or dropped.
        const auto settle = [&] {
            w_.pace.ReleaseTransforms();
            for (int round = 0; round < 4 && (live.Running() || live.Wanted()); ++round) {
                QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall); // a start
                if (live.Running())
                    w_.pace.WaitUntilEnded();
                QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall); // its end
            }
        };
        int steps = 0, cancels = 0, commands = 0;
        for (action_ = 1; action_ <= actions; ++action_) {
            const int kind = pick(100);
            if (kind < 40) {
                const int field = pick(4);
                const int by = (pick(2) ? 1 : -1) * (pick(4) ? 1 : 10);
                lastAction_ = QString("step field %1 by %2").arg(field).arg(by);
                // The progress shows as soon as the events are delivered, once a timer's
                // millisecond is over, or not at all.
                const int delays[] = {0, 0, 1, NoDialogMs};
                w_.pace.dialogDelayMs = delays[pick(4)];
                w_.form->StepField(stepped[field], by);
                ++steps;
            } else if (kind < 60) {
                lastAction_ = "deliver the posted calls";
                QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
            } else if (kind < 68) {
                lastAction_ = "deliver every event";
                QCoreApplication::processEvents();
            } else if (kind < 78) {
                lastAction_ = "Annulla";
                QCoreApplication::processEvents(); // the dialog's delay may be over
                for (auto *dialog : w_.form->findChildren<QProgressDialog *>("StepProgress"))
                    if (dialog->isVisible()) {
                        QTest::mouseClick(dialog->findChild<QPushButton *>(), Qt::LeftButton);
                        ++cancels;
                    }
            } else if (kind < 86) {
                lastAction_ = "hold the transforms that start";
                w_.pace.HoldTransforms();
            } else if (kind < 92) {
                lastAction_ = "let everything end";
                settle();
                QVERIFY2(!live.Running() && !live.Wanted(), qPrintable(where()));
            } else {
                const bool graphs = pick(2) != 0;
                lastAction_ = graphs ? "click Command2" : "click Command1";
                // The command's own transform runs free; those held stay held.
                w_.pace.HoldNoNewTransform();
                w_.pace.dialogDelayMs = NoDialogMs;
                w_.Click(graphs ? "Command2" : "Command1");
                ++commands;
                QVERIFY2(!live.Running() && !live.Wanted(), qPrintable(where()));
                QVERIFY2(w_.Shown().isEmpty(), qPrintable(where() + ": " + w_.Shown().join("")));
                QCOMPARE(QString::number(w_.state->SampleCount), w_.Field("Text13")->text());
                QCOMPARE(QString::number(w_.state->DutyCycle), w_.Field("Text1")->text());
            }
            const int shown = shownProgress();
            QVERIFY2(shown <= 1, qPrintable(where()));
            QVERIFY2(live.Running() || shown == 0, qPrintable(where()));
            if (QTest::currentTestFailed())
                return;
        }
        settle();
        QCoreApplication::processEvents();
        QCOMPARE(shownProgress(), 0);
        qInfo("seed %llu: %d actions, %d steps, %d cancelled by Annulla, %d commands", seed_,
              actions, steps, cancels, commands);
        QVERIFY(steps > 100
                && commands > 10); // how many Annulla found a dialog depends on the pace
    }

    // Each ends in a result, a message or a cancelled analysis, and the program goes on working.
    // The analyses of a thousand million samples, where memory allows them at all, are closed
    // once their progress shows; the others are let go to their end.
    void hugeInputsEndInAResultOrAMessage_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("closed");
        QTest::newRow("N = 1e9 modulus") << "Text13"
                                         << "1e9"
                                         << "Command1" << true;
        QTest::newRow("N = 1e9 graphs") << "Text13"
                                        << "1e9"
                                        << "Command2" << true;
        QTest::newRow("N = 1e12") << "Text13"
                                  << "1e12"
                                  << "Command1" << false;
        QTest::newRow("H = N + 1") << "Text3"
                                   << "10001"
                                   << "Command2" << false;
        QTest::newRow("P = 1e9") << "Text8"
                                 << "1e9"
                                 << "Command2" << false;
        QTest::newRow("Vmax = 1E308 modulus") << "Text7"
                                              << "1E308"
                                              << "Command1" << false;
        QTest::newRow("Vmax = 1E308 graphs") << "Text7"
                                             << "1E308"
                                             << "Command2" << false;
        QTest::newRow("f = 1E305 kHz") << "Text12"
                                       << "1E305"
                                       << "Command2" << false;
        QTest::newRow("40000 characters") << "Text3" << QString(40000, '7') << "Command1" << false;
    }
    void hugeInputsEndInAResultOrAMessage()
    {
        QFETCH(QString, name);
        QFETCH(QString, text);
        QFETCH(QString, command);
        QFETCH(bool, closed);
        w_.Field("Text2")->setText("1");
        w_.Field(qPrintable(name))->setText(text);
        const int cancelledBefore = cancelled_;
        answerLongWork(closed ? std::optional(Close::Annulla) : std::nullopt);
        w_.Button(qPrintable(command))->click();
        answerLongWork(std::nullopt);
        const bool result = command == "Command1" ? !w_.Label("Label9")->text().isEmpty()
                                                  : w_.form->GraphWindow() != nullptr;
        QVERIFY(result || w_.box->shown.size() == 1 || cancelled_ > cancelledBefore);
        if (!w_.box->shown.empty())
            qInfo("%s", qPrintable(QString::fromStdU16String(w_.box->shown[0])));
        if (Form2 *window = w_.form->GraphWindow()) {
            window->Picture1_MouseMove(0, 0, 50, 80);
            QVERIFY(Shows(window->Picture1()->ToolTipText()));
            window->Picture1_MouseMove(0, 0, 50, 20);
            QVERIFY(Shows(window->Picture1()->ToolTipText()));
        }
        // Still working.
        w_.Field(qPrintable(name))
            ->setText(name == "Text13"      ? "10000"
                          : name == "Text3" ? "10"
                          : name == "Text8" ? "3"
                          : name == "Text7" ? "10"
                                            : "100");
        w_.box->shown.clear();
        w_.Button("Command1")->click();
        QVERIFY(w_.box->shown.empty());
        QCOMPARE(w_.Label("Label9")->text(), QStringLiteral("5.00E+00"));
    }
};

QTEST_MAIN(MonkeyTest)
#include "tst_monkey.moc"
