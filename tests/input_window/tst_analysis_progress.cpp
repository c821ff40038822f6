// A long analysis shows its progress and can be cancelled, leaving everything as it was.
#include "core/analysis_run.h"
#include "tests/support/input_window_fixture.h"
#include "tests/support/same_analysis.h"
#include "ui/graph_window/form2.h"
#include "ui/graph_window/plot_area.h"

#include <QAccessible>
#include <QProgressDialog>

#include <atomic>
#include <chrono>
#include <thread>

class AnalysisProgressTest : public QObject
{
    Q_OBJECT

private:
    InputWindowFixture w_;
    QStringList dialogTexts_;
    std::atomic<bool> released_ {false};

    // Holds every analysis, once it has summed its first harmonic, until the test releases it:
    // however fast the machine, the analysis is still running when the test cancels it.
    void holdAnalyses()
    {
        released_ = false;
        SetAnalysisProbeForTests([this](SpectrumStage stage) {
            if (stage != SpectrumStage::WaitingForTransform)
                return;
            const auto limit = std::chrono::steady_clock::now() + std::chrono::minutes(2);
            while (!released_ && std::chrono::steady_clock::now() < limit)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        });
    }

    // Clicks Annulla in the progress dialog as soon as it shows a harmonic done.
    void cancelWhenShown()
    {
        auto *timer = new QTimer(w_.form.get());
        connect(timer, &QTimer::timeout, this, [this, timer] {
            auto *dialog = qobject_cast<QProgressDialog *>(QApplication::activeModalWidget());
            if (!dialog || dialog->value() < 1)
                return;
            dialogTexts_ << dialog->labelText() << dialog->windowTitle();
            auto *cancel = dialog->findChild<QPushButton *>();
            dialogTexts_ << cancel->text();
            QTest::mouseClick(cancel, Qt::LeftButton);
            released_ = true;
            timer->stop();
        });
        timer->start(20);
    }

private slots:
    void init()
    {
        dialogTexts_.clear();
        QVERIFY(w_.Start());
    }
    void cleanup()
    {
        released_ = true;
        SetAnalysisProbeForTests({});
        w_.Stop();
    }

    void cancelledHarmonicModulusChangesNothing()
    {
        w_.Type("Text2", "1");
        w_.form->Command1_Click();
        QCOMPARE(w_.Label("Label9")->text(), QStringLiteral("5.00E+00"));
        const AnalysisState before = *w_.state;

        w_.Type("Text13", "4000000");
        w_.Type("Text3", "20000");
        holdAnalyses();
        cancelWhenShown();
        QElapsedTimer clock;
        clock.start();
        w_.form->Command1_Click();
        QVERIFY2(clock.elapsed() < 60000, "the command did not stop");
        QCOMPARE(dialogTexts_.size(), 3);
        QVERIFY(dialogTexts_[0].startsWith("Attendere! Calcolo dello spettro..."));
        QVERIFY(dialogTexts_[0].contains("di 20000"));
        QCOMPARE(dialogTexts_[1], QStringLiteral("Spettro Segnale"));
        QCOMPARE(dialogTexts_[2], QStringLiteral("Annulla"));
        QVERIFY(w_.box->shown.empty());
        QCOMPARE(w_.Label("Label9")->text(), QStringLiteral("5.00E+00"));
        QCOMPARE(w_.Label("Label3")->text(), QStringLiteral("3.18E+00"));
        QVERIFY(SameAnalysis(*w_.state, before));
        QCOMPARE(QApplication::activeModalWidget(), nullptr);
    }

    void cancelledGraphsLeaveThePlotAsItWas()
    {
        w_.form->Command2_Click();
        QVERIFY(w_.form->GraphWindow());
        const QImage before = w_.form->GraphWindow()->Picture1()->Image();
        const AnalysisState state = *w_.state;

        w_.Type("Text13", "4000000");
        w_.Type("Text3", "20000");
        holdAnalyses();
        cancelWhenShown();
        w_.form->Command2_Click();
        QCOMPARE(dialogTexts_.size(), 3);
        QVERIFY(w_.box->shown.empty());
        QCOMPARE(w_.form->GraphWindow()->Picture1()->Image(), before);
        QVERIFY(SameAnalysis(*w_.state, state));
    }

    // While an analysis runs, neither button starts a second command, whether clicked, pressed
    // by an accessibility action or by click() from the program.
    void aSecondCommandCannotStartWhileOneRuns()
    {
        w_.Type("Text2", "1");
        w_.Click("Command1");
        const AnalysisState before = *w_.state;
        w_.Type("Text13", "4000000");
        w_.Type("Text3", "20000");
        holdAnalyses();
        int mostDialogs = 0;
        int ticksSincePressed = -1;
        auto *timer = new QTimer(w_.form.get());
        connect(timer, &QTimer::timeout, this, [&] {
            QList<QProgressDialog *> dialogs;
            for (QWidget *widget : QApplication::topLevelWidgets()) {
                auto *dialog = qobject_cast<QProgressDialog *>(widget);
                if (dialog && dialog->isVisible())
                    dialogs << dialog;
            }
            mostDialogs = std::max(mostDialogs, int(dialogs.size()));
            if (ticksSincePressed < 0) {
                if (dialogs.isEmpty() || dialogs.first()->value() < 1)
                    return;
                ticksSincePressed = 0;
                // From a timer event of its own: Qt does not re-enter this one while a command
                // started here would wait.
                QTimer::singleShot(0, w_.form.get(), [this] {
                    for (const char *name : {"Command1", "Command2"}) {
                        w_.Button(name)->click();
                        QAccessibleInterface *button
                            = QAccessible::queryAccessibleInterface(w_.Button(name));
                        button->actionInterface()->doAction(
                            QAccessibleActionInterface::pressAction());
                    }
                });
                return;
            }
            // A second analysis would show its dialog after 300 ms; then every one is cancelled.
            if (++ticksSincePressed > 25) {
                for (QProgressDialog *dialog : dialogs)
                    dialog->cancel();
                released_ = true;
            }
        });
        timer->start(20);
        w_.Click("Command1");
        timer->stop();
        QVERIFY(ticksSincePressed > 25);
        QCOMPARE(mostDialogs, 1);
        QVERIFY(w_.box->shown.empty());
        QVERIFY(SameAnalysis(*w_.state, before));
        QCOMPARE(w_.Label("Label9")->text(), QStringLiteral("5.00E+00"));
        QCOMPARE(w_.form->GraphWindow(), nullptr);
        // Once it has ended, the buttons work again.
        w_.Type("Text13", "10000");
        w_.Type("Text3", "10");
        w_.Button("Command2")->click();
        QVERIFY(w_.form->GraphWindow());
    }

    void shortAnalysisShowsNoDialog()
    {
        cancelWhenShown();
        w_.form->Command2_Click();
        QVERIFY(dialogTexts_.isEmpty());
        QVERIFY(w_.form->GraphWindow());
        QCOMPARE(w_.form->findChildren<QProgressDialog *>().size(), 0);
    }
};

QTEST_MAIN(AnalysisProgressTest)
#include "tst_analysis_progress.moc"
