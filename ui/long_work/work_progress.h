// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Long work away from the windows' thread, run by one object, LongTask: its worker, its control,
// its progress dialog once the work outlasts a delay, its cancel, what the work throws (running out
// of memory above all) and its end. A command waits for its task: the windows keep repainting but
// take no input, and the dialog is modal. The graphs that follow a step do not wait: the windows
// keep answering, the dialog is not modal, and the task's end is a signal.
#pragma once

#include "task_gate.h"

#include "core/state/task_control.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <atomic>
#include <cstdint>
#include <exception>
#include <functional>
#include <thread>

class QProgressDialog;
class QWidget;

// How long work may run before the progress dialog appears.
constexpr int ProgressDialogDelayMs = 300;

// The progress dialog's text: "Attendere!" and `progress` with %1 the count done and %2 the total.
QString ProgressLabel(const QString &progress, std::int64_t done, std::int64_t total);

// Who touches what, and when:
// - Whatever `work` reads and writes belongs to the task's owner. From the worker's start until it
//   is joined, the worker alone touches it; the windows' thread does not look at it.
// - Meanwhile the windows' thread talks to the worker only through the control (cancel flag, count
//   done) and `finished_`, both atomic. The worker wakes the windows' thread's event dispatcher
//   and emits WorkerEnded, heard through a queued connection made on the windows' thread: no Qt
//   object is made on the worker and read on the windows' thread.
// - After the join everything belongs to the windows' thread again.
// A cancel always wins: Annulla may be clicked just as the worker ends; the user asked for nothing
// to change, so the owner discards the work even when it has completed.
class LongTask : public QObject
{
    Q_OBJECT
public:
    // How the task shows its progress: the dialog's parent, what is going on with %1 for the count
    // done and %2 for the total, the total that control.Done() counts up to, and whether the owner
    // waits for the end (Wait) or hears it (Ended).
    enum class Waiting
    {
        Modal,
        Signalled
    };
    struct Progress
    {
        QWidget *parent;
        QString text;
        std::int64_t total;
        Waiting waiting;
    };

    // Starts work(control) on a worker thread at once, for an owner that holds a pass of `tasks`,
    // the program's gate of long tasks.
    LongTask(const TaskGate &tasks, Progress progress, std::function<void(TaskControl &)> work);
    // Cancels work still running and waits for it; its dialog goes with it.
    ~LongTask() override;
    LongTask(const LongTask &) = delete;
    LongTask &operator=(const LongTask &) = delete;

    // Modal: waits for the end in the windows' thread's nested event loops, showing the modal
    // dialog once the delay is over. Closed in any way by the user or a program (Annulla, Esc,
    // the close button, cancel(), hide()), the dialog cancels the work. Returns false when the
    // work was cancelled, even if it had finished meanwhile, or when the program is closing. What
    // the work threw is thrown again here, once the worker has ended.
    bool Wait();

    void Cancel() { control_.Cancel(); }
    bool Cancelled() const { return control_.Cancelled(); }
    // Signalled, once Ended: whether the work threw rather than returned.
    bool Threw() const { return failure_ != nullptr; }

signals:
    // From the worker, once the work has ended.
    void WorkerEnded();
    // Signalled: on the windows' thread, once the worker is joined and the dialog closed.
    void Ended();
    // Signalled: the user cancelled from the dialog.
    void CancelAsked();

private:
    QProgressDialog *NewDialog(Qt::WindowModality modality);
    void ShowSignalledDialog();
    void ShowModalDialog();
    // Closed by the program, not by the user: its close is no Annulla.
    void CloseDialog();

    WorkPace *const pace_;
    const Progress progress_;
    TaskControl control_;
    std::atomic<bool> finished_ {false};
    std::exception_ptr failure_; // the worker's until the join
    QTimer delay_; // Signalled: the dialog's delay
    QPointer<QProgressDialog> dialog_; // Signalled: the dialog, once shown
    std::thread worker_;
};

// Runs work(control) as a modal LongTask and waits for it: LongTask::Wait.
bool RunWithProgress(const TaskGate &tasks, QWidget *parent, const QString &progress,
                     std::int64_t total, const std::function<void(TaskControl &)> &work);
