// Who touches what, and when:
// - The workspace `analysis` belongs to the caller (the command's own record, never the shared
//   analysis state). From the worker's start until it is joined, the worker alone reads and
//   writes it, and it alone writes `outcome`; this thread does not look at either.
// - Meanwhile this thread runs a nested event loop: the windows repaint from the shared state,
//   which nothing changes until the command stores the finished analysis after this returns.
//   It talks to the worker only through `control` (cancel flag, harmonics done) and `finished`,
//   both atomic, and the worker only wakes the loop with a queued quit.
// - After the join both belong to this thread again.
// A cancel always wins: Annulla may be clicked just as the worker ends, and the dialog then says
// "Annullamento in corso..."; the user asked for nothing to change, so a cancelled analysis is
// discarded even when it has completed.
#include "analysis_progress.h"

#include "core/spectrum.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QProgressDialog>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <climits>
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

    // The worker touches the workspace, the outcome, `control` and `finished`, nothing else.
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
