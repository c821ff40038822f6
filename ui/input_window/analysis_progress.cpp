#include "analysis_progress.h"

#include "core/spectrum.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QProgressDialog>
#include <QTimer>

#include <atomic>
#include <thread>

namespace {

QString ProgressText(std::int64_t done, std::int64_t total)
{
    return QStringLiteral("Attendere! Calcolo dello spettro...\nArmoniche calcolate: %1 di %2")
        .arg(done)
        .arg(total);
}

} // namespace

AnalysisOutcome ComputeWithProgress(QWidget *parent, AnalysisState &analysis)
{
    const std::int64_t harmonics = std::max(0, RoundToCount(analysis.HarmonicCount));
    SpectrumControl control;
    AnalysisOutcome outcome;
    std::atomic<bool> finished {false};
    QEventLoop waiting;

    std::thread worker([&] {
        outcome = RunAnalysis(analysis, &control);
        finished = true;
        QMetaObject::invokeMethod(&waiting, &QEventLoop::quit, Qt::QueuedConnection);
    });

    // A short analysis ends here: repaints go on, clicks and keys wait for the command's end.
    QTimer::singleShot(ProgressDialogDelayMs, &waiting, &QEventLoop::quit);
    waiting.exec(QEventLoop::ExcludeUserInputEvents);

    if (!finished && !QCoreApplication::closingDown()) {
        QProgressDialog dialog(ProgressText(0, harmonics), QStringLiteral("Annulla"), 0,
                               static_cast<int>(std::min<std::int64_t>(harmonics, INT_MAX)),
                               parent);
        dialog.setObjectName("AnalysisProgress");
        dialog.setWindowTitle(QStringLiteral("Spettro Segnale"));
        dialog.setWindowModality(Qt::ApplicationModal);
        dialog.setMinimumDuration(0);
        dialog.setAutoClose(false);
        dialog.setAutoReset(false);
        QObject::connect(&dialog, &QProgressDialog::canceled, &dialog, [&] {
            control.Cancel();
            dialog.setLabelText(QStringLiteral("Annullamento in corso..."));
        });
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, &dialog, [&] {
            if (finished) {
                dialog.accept();
                return;
            }
            if (control.Cancelled())
                return;
            const std::int64_t done = control.HarmonicsDone();
            dialog.setValue(static_cast<int>(std::min<std::int64_t>(done, INT_MAX)));
            dialog.setLabelText(ProgressText(done, harmonics));
        });
        poll.start(50);
        dialog.exec();
    }
    if (!finished) // the program is closing
        control.Cancel();
    worker.join();
    // Annulla wins even over an analysis that ended meanwhile: the user asked for nothing to
    // change.
    if (control.Cancelled())
        return {AnalysisOutcome::Status::Cancelled, {}};
    return outcome;
}
