// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Who touches what, and when: the worker touches only the workspace (a record of its own, never
// the shared state), the control and `finished_`, and emits WorkerEnded, which this thread hears
// through a queued connection made here. The shared state changes only here, once the worker is
// joined. While an analysis runs this holds the gate of long tasks, so that no command or export
// starts meanwhile; the windows still take input, and a step then only cancels and asks for a newer
// analysis. The progress dialog belongs to the analysis running, and to no other: its delay and the
// dialog end with that analysis (CloseProgress), and what the dialog does goes through this object,
// so that nothing of it outlives the analysis's control.
#include "live_graphs.h"

#include "ui/long_work/work_progress.h"
#include "ui/window_texts.h"

#include "core/analysis/commands.h"
#include "core/spectrum/spectrum.h"
#include "core/texts/messages.h"

#include <QProgressDialog>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <climits>
#include <new>

namespace {

// A step says nothing: what the checks refuse is left for the commands to say.
class Silent : public MessageBox
{
public:
    void Show(const std::u16string &) override { }
};

class SilentHost : public CommandHost
{
public:
    MessageBox &Messages() override { return silent_; }
    void Refuse(const Refusal &) override { }

private:
    Silent silent_;
};

} // namespace

LiveGraphs::LiveGraphs(QWidget &parent, AnalysisState &state, TaskGate &tasks, Window window)
    : QObject(&parent), parent_(parent), state_(state), tasks_(tasks), window_(std::move(window))
{
    // Queued, and made on the windows' thread: the worker only emits, so that nothing the call
    // needs is made on the worker's thread and read on this one.
    connect(this, &LiveGraphs::WorkerEnded, this, &LiveGraphs::Finished, Qt::QueuedConnection);
    delay_.setSingleShot(true);
    connect(&delay_, &QTimer::timeout, this, [this] {
        if (Running() && !finished_)
            ShowProgress();
    });
}

LiveGraphs::~LiveGraphs()
{
    if (worker_.joinable()) {
        control_->Cancel();
        worker_.join();
    }
    delete progress_;
}

void LiveGraphs::Stop()
{
    wanted_ = false;
    if (!Running())
        return;
    control_->Cancel();
    worker_.join();
    CloseProgress();
    workspace_.reset();
    control_.reset();
    pass_.reset();
}

void LiveGraphs::Follow()
{
    if (!window_.graphsOpen())
        return;
    wanted_ = true;
    if (Running()) { // the newer step wins; the analysis ends soon, and Finished starts the next
        control_->Cancel();
        return;
    }
    start_.Request();
}

void LiveGraphs::Start()
{
    start_.Drop();
    if (!wanted_ || Running() || !window_.graphsOpen())
        return;
    pass_.emplace(tasks_);
    if (!*pass_) { // another long task runs: it draws or leaves the graphs as they are
        pass_.reset();
        return;
    }
    wanted_ = false;
    SilentHost host;
    std::optional<AnalysisState> prepared
        = PrepareAnalysis(state_, window_.texts(), Command::Graphs, host);
    if (!prepared) {
        pass_.reset();
        return;
    }
    workspace_ = std::make_unique<AnalysisState>(std::move(*prepared));
    WorkPace *const pace = tasks_.Pace();
    if (pace)
        pace->Starting(ProgressTotal(*workspace_));
    control_ = pace ? std::make_unique<TaskControl>(*pace) : std::make_unique<TaskControl>();
    finished_ = false;
    worker_ = std::thread([this, pace] {
        try {
            outcome_ = RunAnalysis(*workspace_, control_.get());
        } catch (const std::bad_alloc &) {
            outcome_ = {AnalysisOutcome::Status::Failed, {}};
        }
        finished_ = true;
        emit WorkerEnded(); // heard on this object's thread, through a connection made there
        if (pace) // the end is queued before a test hears of it
            pace->Ended();
    });
    delay_.start(pace ? pace->DialogDelayMs() : ProgressDialogDelayMs);
}

void LiveGraphs::ShowProgress()
{
    if (progress_)
        return;
    // The progress of today, but the window keeps answering: a newer step cancels too.
    const std::int64_t total = ProgressTotal(*workspace_);
    const auto label = [total](std::int64_t done) {
        return ProgressLabel(QTextOf(UiText::AnalysisProgress), done, total);
    };
    auto *dialog
        = new QProgressDialog(label(0), QTextOf(UiText::Cancel), 0,
                              static_cast<int>(std::min<std::int64_t>(total, INT_MAX)), &parent_);
    dialog->setObjectName("StepProgress");
    dialog->setWindowTitle(QTextOf(UiText::ProgramName));
    dialog->setWindowModality(Qt::NonModal);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setMinimumDuration(0);
    dialog->setAutoClose(false);
    dialog->setAutoReset(false);
    // Annulla: the analysis stops, and no step waits after it.
    connect(dialog, &QProgressDialog::canceled, this, [this] {
        wanted_ = false;
        if (Running())
            control_->Cancel();
    });
    auto *poll = new QTimer(dialog);
    poll->setObjectName("WorkPoll");
    connect(poll, &QTimer::timeout, this, [this, dialog, label] {
        if (!Running() || finished_ || control_->Cancelled())
            return;
        const std::int64_t done = control_->Done();
        dialog->setValue(static_cast<int>(std::min<std::int64_t>(done, INT_MAX)));
        dialog->setLabelText(label(done));
    });
    poll->start(50);
    dialog->show();
    progress_ = dialog;
}

void LiveGraphs::CloseProgress()
{
    delay_.stop();
    if (!progress_)
        return;
    // Closed by the program, not by the user: its close is no Annulla.
    QObject::disconnect(progress_, &QProgressDialog::canceled, nullptr, nullptr);
    progress_->close(); // deleted once the event loop turns
    progress_.clear(); // the next analysis's dialog is a new one
}

void LiveGraphs::Finished()
{
    if (!worker_.joinable())
        return;
    worker_.join();
    CloseProgress();
    const bool cancelled = control_->Cancelled();
    if (!cancelled && !wanted_ && outcome_.status == AnalysisOutcome::Status::Done
        && window_.graphsOpen()) {
        CommitAnalysis(state_, std::move(*workspace_), Command::Graphs);
        window_.drawGraphs();
    }
    workspace_.reset();
    control_.reset();
    pass_.reset();
    if (wanted_)
        Start(); // the last step, now
}
