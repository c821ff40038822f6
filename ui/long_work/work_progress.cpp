// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "work_progress.h"

#include "ui/window_texts.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QEventLoop>
#include <QProgressDialog>

#include <algorithm>
#include <climits>
#include <memory>
#include <utility>

QString ProgressLabel(const QString &progress, std::int64_t done, std::int64_t total)
{
    return QTextOf(UiText::Wait) + u' ' + progress.arg(done).arg(total);
}

LongTask::LongTask(const TaskGate &tasks, Progress progress,
                   std::function<void(TaskControl &)> work)
    : pace_(tasks.Pace()), progress_(std::move(progress)),
      control_(pace_ ? TaskControl(*pace_) : TaskControl())
{
    if (pace_)
        pace_->Starting(progress_.total);
    if (progress_.waiting == Waiting::Signalled) {
        // Queued, and made on the windows' thread: the worker only emits.
        connect(
            this, &LongTask::WorkerEnded, this,
            [this] {
                delay_.stop();
                worker_.join();
                CloseDialog();
                emit Ended();
            },
            Qt::QueuedConnection);
        delay_.setSingleShot(true);
        connect(&delay_, &QTimer::timeout, this, [this] {
            if (!finished_)
                ShowSignalledDialog();
        });
        delay_.start(pace_ ? pace_->DialogDelayMs() : ProgressDialogDelayMs);
    }
    // The worker wakes this thread's event dispatcher as it ends (Qt's wakeUp, which any thread
    // may call), so that short work ends a modal wait at once.
    QAbstractEventDispatcher *const dispatcher = QAbstractEventDispatcher::instance();
    // The worker touches the owner's data, the control, `finished_`, `failure_`, the pace and the
    // dispatcher, nothing else.
    worker_ = std::thread([this, dispatcher, work = std::move(work)] {
        // An exception must not leave the thread, which would end the program: the owner learns
        // of it once the worker is joined.
        try {
            work(control_);
        } catch (...) {
            failure_ = std::current_exception();
        }
        finished_ = true;
        emit WorkerEnded(); // heard on the windows' thread, through a connection made there
        if (pace_) // the end is queued before a test hears of it
            pace_->Ended();
        if (dispatcher)
            dispatcher->wakeUp();
    });
}

LongTask::~LongTask()
{
    delay_.stop();
    if (worker_.joinable()) {
        control_.Cancel();
        worker_.join();
    }
    CloseDialog();
}

bool LongTask::Wait()
{
    // Short work ends here: repaints go on, clicks and keys wait for the work's end. A wake-up
    // rung before the wait starts is kept, so the wait then returns at once.
    bool delayOver = false;
    QObject timing;
    QTimer::singleShot(pace_ ? pace_->DialogDelayMs() : ProgressDialogDelayMs, &timing,
                       [&] { delayOver = true; });
    while (!finished_ && !delayOver)
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents
                                        | QEventLoop::WaitForMoreEvents);
    if (!finished_ && !QCoreApplication::closingDown())
        ShowModalDialog();
    if (!finished_) // the program is closing
        control_.Cancel();
    worker_.join();
    if (failure_)
        std::rethrow_exception(std::exchange(failure_, nullptr));
    return !control_.Cancelled();
}

QProgressDialog *LongTask::NewDialog(Qt::WindowModality modality)
{
    const std::int64_t total = progress_.total;
    const auto label
        = [this, total](std::int64_t done) { return ProgressLabel(progress_.text, done, total); };
    auto *dialog = new QProgressDialog(label(0), QTextOf(UiText::Cancel), 0,
                                       static_cast<int>(std::min<std::int64_t>(total, INT_MAX)),
                                       progress_.parent);
    dialog->setObjectName(modality == Qt::NonModal ? "StepProgress" : "WorkProgress");
    dialog->setWindowTitle(QTextOf(UiText::ProgramName));
    dialog->setWindowModality(modality);
    dialog->setMinimumDuration(0);
    dialog->setAutoClose(false);
    dialog->setAutoReset(false);
    // Made with this task as their context, so that nothing of the dialog reaches a task gone.
    connect(dialog, &QProgressDialog::canceled, this, [this, dialog] {
        control_.Cancel();
        dialog->setLabelText(QTextOf(UiText::Cancelling));
        emit CancelAsked();
    });
    auto *poll = new QTimer(dialog);
    poll->setObjectName("WorkPoll");
    connect(poll, &QTimer::timeout, this, [this, dialog, label] {
        if (finished_) {
            // Modal: closed already, by the user or the program, in the same turn of the event
            // loop as this look: the close stands, and the work's end changes nothing.
            if (dialog->isModal() && dialog->isVisible())
                dialog->accept();
            return;
        }
        if (control_.Cancelled())
            return;
        const std::int64_t done = control_.Done();
        dialog->setValue(static_cast<int>(std::min<std::int64_t>(done, INT_MAX)));
        dialog->setLabelText(label(done));
    });
    poll->start(50);
    return dialog;
}

// Modal: until the work's end accepts it. Closed any other way (Annulla, Esc, the window's close
// button, a program's cancel() or hide()), it cancels the work, even one that has just ended: a
// result the user turned away from is never stored.
void LongTask::ShowModalDialog()
{
    const std::unique_ptr<QProgressDialog> dialog(NewDialog(Qt::ApplicationModal));
    if (dialog->exec() != QDialog::Accepted)
        control_.Cancel();
}

// Signalled: shown beside the windows, which go on answering, until the task ends.
void LongTask::ShowSignalledDialog()
{
    if (dialog_)
        return;
    dialog_ = NewDialog(Qt::NonModal);
    dialog_->setAttribute(Qt::WA_DeleteOnClose);
    dialog_->show();
}

void LongTask::CloseDialog()
{
    if (!dialog_)
        return;
    disconnect(dialog_, nullptr, this, nullptr); // its close is no Annulla
    if (auto *poll = dialog_->findChild<QTimer *>("WorkPoll"))
        poll->stop();
    dialog_->close(); // deleted once the event loop turns
    dialog_.clear();
}

bool RunWithProgress(const TaskGate &tasks, QWidget *parent, const QString &progress,
                     std::int64_t total, const std::function<void(TaskControl &)> &work)
{
    LongTask task(tasks, {parent, progress, total, LongTask::Waiting::Modal}, work);
    return task.Wait();
}
