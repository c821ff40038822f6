// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// A long analysis shows its progress and can be cancelled, leaving everything as it was.
#include "tests/support/input_window_fixture.h"
#include "tests/support/same_analysis.h"
#include "ui/graph_window/form2.h"
#include "ui/graph_window/plot/plot_area.h"

#include <QAccessible>
#include <QProgressDialog>

class AnalysisProgressTest : public QObject
{
    Q_OBJECT

private:
    InputWindowFixture w_;
    QStringList dialogTexts_;

    // Holds the next analysis at its first count and clicks Annulla once the progress dialog
    // shows it.
    void cancelWhenShown()
    {
        w_.pace.ActWhenShown([this](QProgressDialog &dialog) {
            dialogTexts_ << dialog.labelText() << dialog.windowTitle();
            auto *cancel = dialog.findChild<QPushButton *>();
            dialogTexts_ << cancel->text();
            QTest::mouseClick(cancel, Qt::LeftButton);
        });
    }

    // Stores the analysis of the defaults with z = 1, types one that takes longer and returns
    // the state stored.
    AnalysisState StoreOneAndTypeALongerOne()
    {
        w_.Type("Text2", "1");
        w_.Click("Command1");
        const AnalysisState stored = *w_.state;
        w_.Type("Text13", "100000");
        w_.Type("Text3", "100");
        return stored;
    }

private slots:
    void init()
    {
        dialogTexts_.clear();
        QVERIFY(w_.Start());
    }
    void cleanup() { w_.Stop(); }

    void cancelledHarmonicModulusChangesNothing()
    {
        w_.Type("Text2", "1");
        w_.form->Command1_Click();
        QCOMPARE(w_.Label("Label9")->text(), QStringLiteral("5.00E+00"));
        const AnalysisState before = *w_.state;

        w_.Type("Text13", "1000000");
        w_.Type("Text3", "2000");
        cancelWhenShown();
        w_.form->Command1_Click();
        // Stopped where it was: the threads summed at most a group each after the cancel.
        QCOMPARE(w_.pace.Total(), 2000);
        QVERIFY2(w_.pace.MostCounted() < 2000, "the command did not stop");
        QCOMPARE(dialogTexts_.size(), 3);
        QVERIFY(dialogTexts_[0].startsWith("Attendere! Calcolo dello spettro…"));
        QVERIFY(dialogTexts_[0].contains("di 2000"));
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

        w_.Type("Text13", "1000000");
        w_.Type("Text3", "2000");
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
        const AnalysisState before = StoreOneAndTypeALongerOne();
        bool pressed = false;
        // A second command that got past the gate would start its own analysis inside click(),
        // counted by the pace, and let the held one go.
        w_.pace.ActWhenShown([&](QProgressDialog &dialog) {
            for (const char *name : {"Command1", "Command2"}) {
                w_.Button(name)->click();
                QAccessibleInterface *button
                    = QAccessible::queryAccessibleInterface(w_.Button(name));
                button->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
            }
            pressed = true;
            dialog.cancel();
        });
        w_.Click("Command1");
        QVERIFY(pressed);
        QCOMPARE(w_.pace.Starts(), 1);
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

    // The program closes the dialog just as the work ends, without the close event that Annulla,
    // Esc and the window's close button send: the result the user turned away from is not
    // stored. The work is let go and has ended on its worker before the dialog closes, and
    // (where it says so) before the dialog looks at the work once more.
    void closedJustAsTheWorkEndsStoresNothing_data()
    {
        QTest::addColumn<QString>("close");
        QTest::addColumn<bool>("lookAfterClose");
        QTest::newRow("cancel()") << "cancel()" << false;
        QTest::newRow("hide()") << "hide()" << false;
        QTest::newRow("cancel(), then the end seen") << "cancel()" << true;
    }
    void closedJustAsTheWorkEndsStoresNothing()
    {
        QFETCH(QString, close);
        QFETCH(bool, lookAfterClose);
        const AnalysisState before = StoreOneAndTypeALongerOne();
        bool closed = false;
        w_.pace.ActWhenShown([&](QProgressDialog &dialog) {
            w_.pace.Release();
            w_.pace.WaitUntilEnded();
            if (close == "cancel()")
                dialog.cancel();
            else
                dialog.hide();
            closed = !dialog.isVisible();
            if (lookAfterClose)
                HeldWork::LookAtWork(dialog);
        });
        w_.Click("Command1");
        QVERIFY(closed);
        QCOMPARE(w_.pace.MostCounted(), 100); // the work did end
        QVERIFY(w_.box->shown.empty());
        QVERIFY(SameAnalysis(*w_.state, before));
        QCOMPARE(QApplication::activeModalWidget(), nullptr);
    }

    // A task whose end a step hears, its dialog shown beside the windows: work that throws, as an
    // allocation failing does, ends it and says so once the worker is joined; a task that goes
    // while running (a command taking over) cancels its work. Either way the dialog closes, and
    // nothing of it points at the task: its look at the work, due once more before it is deleted,
    // reaches nothing (a look that reached the task gone fails the ASan build).
    void aHeardTaskTakesItsDialogWithItWhenItEndsOrGoes_data()
    {
        QTest::addColumn<bool>("throws");
        QTest::newRow("its work throws") << true;
        QTest::newRow("it goes while running") << false;
    }
    void aHeardTaskTakesItsDialogWithItWhenItEndsOrGoes()
    {
        QFETCH(bool, throws);
        w_.pace.Hold();
        auto task = std::make_unique<LongTask>(
            w_.gate, LongTask::Progress {w_.form.get(), "%1 %2", 10, LongTask::Waiting::Signalled},
            [throws](TaskControl &control) {
                control.AddDone(1); // held here until the test lets it go
                if (throws)
                    throw std::bad_alloc();
            });
        bool ended = false;
        connect(task.get(), &LongTask::Ended, this, [&] { ended = true; });
        QCoreApplication::processEvents(); // no delay while held: the dialog shows
        QPointer<QProgressDialog> dialog = w_.form->findChild<QProgressDialog *>("StepProgress");
        QVERIFY(dialog && dialog->isVisible() && !dialog->isModal());
        w_.pace.Release();
        if (throws) {
            w_.pace.WaitUntilEnded();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
            QVERIFY(ended);
            QVERIFY(task->Threw());
        }
        task.reset();
        QVERIFY(dialog && !dialog->isVisible());
        HeldWork::LookAtWork(*dialog);
        QVERIFY(dialog && !dialog->isVisible());
        QCOMPARE(QApplication::activeModalWidget(), nullptr);
    }

    // Work that ends before the dialog's delay shows none. The delay is long enough for any
    // machine, however busy, to end so short an analysis within it.
    void shortAnalysisShowsNoDialog()
    {
        w_.pace.dialogDelayMs = NoDialogMs;
        w_.form->Command2_Click();
        QCOMPARE(w_.pace.Starts(), 1);
        QVERIFY(w_.form->GraphWindow());
        QCOMPARE(w_.form->findChildren<QProgressDialog *>().size(), 0);
    }
};

QTEST_MAIN(AnalysisProgressTest)
#include "tst_analysis_progress.moc"
