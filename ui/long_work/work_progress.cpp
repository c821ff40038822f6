// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Who touches what, and when:
// - Whatever `work` reads and writes belongs to the caller. From the worker's start until it is
//   joined, the worker alone touches it; this thread does not look at it.
// - Meanwhile this thread runs a nested event loop: the windows repaint from the shared analysis
//   state, which nothing changes while the work runs (the windows take no input, and both
//   commands and exports refuse to start while another long task runs). It talks to the worker
//   only through `control` (cancel flag, count done) and `finished`, both atomic, and the worker
//   only wakes this thread's event dispatcher.
// - After the join everything belongs to this thread again.
// A cancel always wins: Annulla may be clicked just as the worker ends, and the dialog then says
// "Annullamento in corso…"; the user asked for nothing to change, so the caller discards the
// work even when it has completed.
#include "work_progress.h"

#include "ui/window_texts.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QEventLoop>
#include <QProgressDialog>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <climits>
#include <exception>
#include <optional>
#include <thread>

namespace {

// The worker wakes this thread's event dispatcher as it ends (Qt's wakeUp, which any thread may
// call), so that no Qt object crosses between them and short work ends the wait at once.
class WakeUp
{
public:
    WakeUp() : dispatcher_(QAbstractEventDispatcher::instance()) { }

    // From the worker.
    void Ring() const
    {
        if (dispatcher_)
            dispatcher_->wakeUp();
    }

private:
    QAbstractEventDispatcher *const dispatcher_;
};

// The modal dialog of work that outlasts the delay, until the work's end accepts it. Closed any
// other way (Annulla, Esc, the window's close button, a program's cancel()), it cancels the work,
// even one that has just ended: a result the user turned away from is never stored.
void ShowProgress(QWidget *parent, const QString &progress, std::int64_t total,
                  TaskControl &control, const std::atomic<bool> &finished)
{
    const auto label = [&](std::int64_t done) { return ProgressLabel(progress, done, total); };
    QProgressDialog dialog(label(0), QTextOf(UiText::Cancel), 0,
                           static_cast<int>(std::min<std::int64_t>(total, INT_MAX)), parent);
    dialog.setObjectName("WorkProgress");
    dialog.setWindowTitle(QTextOf(UiText::ProgramName));
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.setMinimumDuration(0);
    dialog.setAutoClose(false);
    dialog.setAutoReset(false);
    QObject::connect(&dialog, &QProgressDialog::canceled, &dialog, [&] {
        control.Cancel();
        dialog.setLabelText(QTextOf(UiText::Cancelling));
    });
    QTimer poll(&dialog);
    poll.setObjectName("WorkPoll");
    QObject::connect(&poll, &QTimer::timeout, &dialog, [&] {
        if (finished) {
            // Closed already, by the user or the program, in the same turn of the event loop as
            // this look: the close stands, and the work's end changes nothing.
            if (dialog.isVisible())
                dialog.accept();
            return;
        }
        if (control.Cancelled())
            return;
        const std::int64_t done = control.Done();
        dialog.setValue(static_cast<int>(std::min<std::int64_t>(done, INT_MAX)));
        dialog.setLabelText(label(done));
    });
    poll.start(50);
    if (dialog.exec() != QDialog::Accepted)
        control.Cancel();
}

} // namespace

QString ProgressLabel(const QString &progress, std::int64_t done, std::int64_t total)
{
    return QTextOf(UiText::Wait) + u' ' + progress.arg(done).arg(total);
}

bool RunWithProgress(const TaskGate &tasks, QWidget *parent, const QString &progress,
                     std::int64_t total, const std::function<void(TaskControl &)> &work)
{
    WorkPace *const pace = tasks.Pace();
    if (pace)
        pace->Starting(total);
    TaskControl control = pace ? TaskControl(*pace) : TaskControl();
    std::atomic<bool> finished {false};
    const WakeUp wake;

    // The worker touches the caller's data, `control`, `finished`, `wake` and the pace, nothing
    // else.
    std::exception_ptr failure;
    std::thread worker([&] {
        // An exception must not leave the thread, which would end the program: it is thrown
        // again on this thread once the worker is joined.
        try {
            work(control);
        } catch (...) {
            failure = std::current_exception();
        }
        finished = true;
        if (pace)
            pace->Ended();
        wake.Ring();
    });

    // Short work ends here: repaints go on, clicks and keys wait for the work's end. A wake-up
    // rung before the wait starts is kept, so the wait then returns at once.
    bool delayOver = false;
    QObject timing;
    QTimer::singleShot(pace ? pace->DialogDelayMs() : ProgressDialogDelayMs, &timing,
                       [&] { delayOver = true; });
    while (!finished && !delayOver)
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents
                                        | QEventLoop::WaitForMoreEvents);
    if (!finished && !QCoreApplication::closingDown())
        ShowProgress(parent, progress, total, control, finished);
    if (!finished) // the program is closing
        control.Cancel();
    worker.join();
    if (failure)
        std::rethrow_exception(failure);
    return !control.Cancelled();
}
