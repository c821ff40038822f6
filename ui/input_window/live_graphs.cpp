// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Who touches what, and when: the analysis's task (LongTask) runs it in a workspace of its own,
// never the shared state, which changes only here, once the task has ended. While an analysis runs
// this holds the gate of long tasks, so that no command or export starts meanwhile; the windows
// still take input, and a step then only cancels and asks for a newer analysis.
#include "live_graphs.h"

#include "analysis_progress.h"

#include "ui/window_texts.h"

#include "core/analysis/commands.h"
#include "core/spectrum/spectrum.h"
#include "core/texts/messages.h"

#include <QWidget>

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
{ }

LiveGraphs::~LiveGraphs() = default; // a task still running is cancelled and waited for

void LiveGraphs::Stop()
{
    wanted_ = false;
    if (!Running())
        return;
    task_.reset();
    workspace_.reset();
    pass_.reset();
}

void LiveGraphs::Follow()
{
    if (!window_.graphsOpen())
        return;
    wanted_ = true;
    if (Running()) { // the newer step wins; the analysis ends soon, and Finished starts the next
        task_->Cancel();
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
    task_ = std::make_unique<LongTask>(
        tasks_,
        LongTask::Progress {&parent_, QTextOf(ProgressText(*workspace_)),
                            ProgressTotal(*workspace_), LongTask::Waiting::Signalled},
        [this](TaskControl &control) { outcome_ = RunAnalysis(*workspace_, &control); });
    // Annulla: the analysis stops, and no step waits after it.
    connect(task_.get(), &LongTask::CancelAsked, this, [this] { wanted_ = false; });
    connect(task_.get(), &LongTask::Ended, this, &LiveGraphs::Finished);
}

void LiveGraphs::Finished()
{
    // Deleted once its signal has returned; it has ended, and holds nothing more.
    LongTask *const ended = task_.release();
    ended->setParent(this);
    ended->deleteLater();
    const bool completed = !ended->Cancelled() && !ended->Threw()
        && outcome_.status == AnalysisOutcome::Status::Done;
    if (completed && !wanted_ && window_.graphsOpen()) {
        CommitAnalysis(state_, std::move(*workspace_), Command::Graphs);
        window_.drawGraphs();
    }
    workspace_.reset();
    pass_.reset();
    if (wanted_)
        Start(); // the last step, now
}
