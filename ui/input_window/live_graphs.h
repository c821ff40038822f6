// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The graphs following a stepped field: while the graph window is open, each step (or a new pulse
// shape) runs the graphs command's analysis of the fields as they now stand, away from the
// windows' thread, without a message, and draws it as "Grafici" would. The window keeps answering
// meanwhile. Steps quicker than the drawing are joined: the last value wins, no analysis waits
// behind another, and a newer step cancels an analysis still running.
#pragma once

#include "core/analysis/analysis_run.h"
#include "core/state/analysis_state.h"
#include "core/texts/fields.h"
#include "ui/classic/coalesced_call.h"

#include "ui/long_work/task_gate.h"
#include "ui/long_work/work_progress.h"

#include <QObject>

#include <functional>
#include <memory>
#include <optional>

class QWidget;

class LiveGraphs : public QObject
{
    Q_OBJECT
public:
    // What the input window gives: whether the graph window is open, the fields' texts and the
    // pulse shape as they stand, and the drawing of a committed analysis in the graph window.
    struct Window
    {
        std::function<bool()> graphsOpen;
        std::function<FieldTexts()> texts;
        std::function<void()> drawGraphs;
    };
    // `parent` holds the progress dialog; everything given must outlive this.
    LiveGraphs(QWidget &parent, AnalysisState &state, TaskGate &tasks, Window window);
    ~LiveGraphs() override;

    // A field stepped or the shape changed: the graphs follow, if their window is open.
    void Follow();
    // A command takes over: the analysis running is cancelled and waited for, and no step waits.
    void Stop();
    // Whether an analysis runs, and whether a newer one is wanted after it.
    bool Running() const { return task_ != nullptr; }
    bool Wanted() const { return wanted_; }
    // Whether the analysis running is being cancelled, for a newer step or by the user.
    bool Cancelling() const { return Running() && task_->Cancelled(); }

private:
    void Start();
    // On the windows' thread, once the analysis's task has ended.
    void Finished();

    QWidget &parent_;
    AnalysisState &state_;
    TaskGate &tasks_;
    Window window_;
    bool wanted_ = false; // a step not analysed yet
    CoalescedCall start_ {*this, [this] { Start(); }}; // the next step's analysis, queued
    std::optional<TaskGate::Pass> pass_; // held while an analysis runs
    std::unique_ptr<AnalysisState> workspace_;
    AnalysisOutcome outcome_;
    std::unique_ptr<LongTask> task_; // after what its work touches, so that it ends first
};
