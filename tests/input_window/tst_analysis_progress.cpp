// A long analysis shows its progress and can be cancelled, leaving everything as it was.
#include "core/analysis_state.h"
#include "tests/support/message_recorder.h"
#include "tests/support/same_analysis.h"
#include "ui/graph_window/form2.h"
#include "ui/graph_window/plot_area.h"
#include "ui/input_window/form1.h"

#include <QLabel>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QtTest>

class AnalysisProgressTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<AnalysisState> state_;
    std::unique_ptr<MessageRecorder> box_;
    std::unique_ptr<Form1> form_;
    QStringList dialogTexts_;

    void type(const char *name, const QString &text)
    {
        auto *edit = form_->findChild<QLineEdit *>(name);
        edit->setText(text);
    }
    // Clicks Annulla in the progress dialog as soon as it shows a harmonic done.
    void cancelWhenShown()
    {
        auto *timer = new QTimer(form_.get());
        connect(timer, &QTimer::timeout, this, [this, timer] {
            auto *dialog = qobject_cast<QProgressDialog *>(QApplication::activeModalWidget());
            if (!dialog || dialog->value() < 1)
                return;
            dialogTexts_ << dialog->labelText() << dialog->windowTitle();
            auto *cancel = dialog->findChild<QPushButton *>();
            dialogTexts_ << cancel->text();
            QTest::mouseClick(cancel, Qt::LeftButton);
            timer->stop();
        });
        timer->start(20);
    }

private slots:
    void init()
    {
        state_ = std::make_unique<AnalysisState>();
        box_ = std::make_unique<MessageRecorder>();
        form_ = std::make_unique<Form1>(*state_, *box_);
        form_->show();
        dialogTexts_.clear();
        QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
    }
    void cleanup() { form_.reset(); }

    void cancelledHarmonicModulusChangesNothing()
    {
        type("Text2", "1");
        form_->Command1_Click();
        QCOMPARE(form_->findChild<QLabel *>("Label9")->text(), QStringLiteral("5.00E+00"));
        const AnalysisState before = *state_;

        type("Text13", "4000000");
        type("Text3", "20000");
        cancelWhenShown();
        QElapsedTimer clock;
        clock.start();
        form_->Command1_Click();
        QVERIFY2(clock.elapsed() < 60000, "the command did not stop");
        QCOMPARE(dialogTexts_.size(), 3);
        QVERIFY(dialogTexts_[0].startsWith("Attendere! Calcolo dello spettro..."));
        QVERIFY(dialogTexts_[0].contains("di 20000"));
        QCOMPARE(dialogTexts_[1], QStringLiteral("Spettro Segnale"));
        QCOMPARE(dialogTexts_[2], QStringLiteral("Annulla"));
        QVERIFY(box_->shown.empty());
        QCOMPARE(form_->findChild<QLabel *>("Label9")->text(), QStringLiteral("5.00E+00"));
        QCOMPARE(form_->findChild<QLabel *>("Label3")->text(), QStringLiteral("3.18E+00"));
        QVERIFY(SameAnalysis(*state_, before));
        QCOMPARE(QApplication::activeModalWidget(), nullptr);
    }

    void cancelledGraphsLeaveThePlotAsItWas()
    {
        form_->Command2_Click();
        QVERIFY(form_->GraphWindow());
        const QImage before = form_->GraphWindow()->Picture1()->Image();
        const AnalysisState state = *state_;

        type("Text13", "4000000");
        type("Text3", "20000");
        cancelWhenShown();
        form_->Command2_Click();
        QCOMPARE(dialogTexts_.size(), 3);
        QVERIFY(box_->shown.empty());
        QCOMPARE(form_->GraphWindow()->Picture1()->Image(), before);
        QVERIFY(SameAnalysis(*state_, state));
    }

    void shortAnalysisShowsNoDialog()
    {
        cancelWhenShown();
        form_->Command2_Click();
        QVERIFY(dialogTexts_.isEmpty());
        QVERIFY(form_->GraphWindow());
        QCOMPARE(form_->findChildren<QProgressDialog *>().size(), 0);
    }
};

QTEST_MAIN(AnalysisProgressTest)
#include "tst_analysis_progress.moc"
