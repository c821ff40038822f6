// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "harmonic_sum_layer.h"

#include "plot_area.h"

#include "ui/graph_window/plot_geometry/column_spans.h"
#include "ui/graph_window/plot_geometry/plot_palette.h"
#include "ui/long_work/out_of_memory.h"
#include "ui/long_work/work_progress.h"
#include "ui/window_texts.h"

#include "core/analysis/message_box.h"
#include "core/platform/system_memory.h"
#include "core/spectrum/harmonic_sum.h"
#include "core/state/analysis_state.h"
#include "core/state/task_control.h"
#include "core/texts/messages.h"

#include <QAction>
#include <QLabel>
#include <QSignalBlocker>

bool ProvideHarmonicSum(const TaskGate &tasks, QWidget *parent, AnalysisState &state,
                        MessageBox &messages)
{
    if (state.Samples.empty() || !state.HarmonicSum.empty())
        return true;
    if (const auto problem = HarmonicSumMemoryProblem(state.SampleCount, AvailableMemoryBytes())) {
        messages.Show(MessageText(*problem));
        return false;
    }
    // The worker reads the state and writes only its own result; nothing changes the state
    // meanwhile, since the gate keeps the commands out.
    std::optional<RealArray> sum;
    bool completed = false;
    const AnalysisState &analysis = state;
    if (const auto outOfMemory = OutOfMemoryMessage(MemoryTask::Computation, [&] {
            completed = RunWithProgress(
                tasks, parent, QTextOf(UiText::HarmonicSumProgress), HarmonicSumSteps,
                [&](TaskControl &control) { sum = ComputeHarmonicSum(analysis, &control); });
        })) {
        messages.Show(*outOfMemory);
        return false;
    }
    if (!completed || !sum)
        return false;
    state.HarmonicSum = std::move(*sum);
    return true;
}

HarmonicSumLayer::HarmonicSumLayer(QWidget &window, PlotArea &plot, QLabel &key,
                                   AnalysisState &state, MessageBox &messages, TaskGate &tasks)
    : QObject(&window), window_(window), plot_(plot), key_(key), state_(state), messages_(messages),
      tasks_(tasks)
{
    action_ = new QAction(QTextOf(UiText::HarmonicSum), &window);
    action_->setObjectName("HarmonicSumAction");
    action_->setCheckable(true);
    action_->setChecked(false);
    action_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
    action_->setShortcutContext(Qt::WindowShortcut);
    window.addAction(action_);
    connect(action_, &QAction::toggled, this, &HarmonicSumLayer::Toggled);
    key_.hide();
}

void HarmonicSumLayer::SetChecked(bool on)
{
    const QSignalBlocker quiet(action_);
    action_->setChecked(on);
}

void HarmonicSumLayer::Toggled(bool on)
{
    const TaskGate::Pass pass(tasks_);
    if (!pass) // another long task runs: the entry stays as it was
        return SetChecked(!on);
    if (!on)
        return Remove();
    if (!Draw())
        SetChecked(false);
}

void HarmonicSumLayer::GraphsDrawn()
{
    // The plot was blanked and drawn anew: what lay under the old sum is gone with it.
    under_ = QImage();
    key_.hide();
    if (action_->isChecked() && !Draw())
        SetChecked(false);
}

bool HarmonicSumLayer::Draw()
{
    if (!ProvideHarmonicSum(tasks_, &window_, state_, messages_))
        return false;
    under_ = plot_.Image().copy();
    plot_.Scale(0, 100, 100, 0);
    plot_.Fill(RasterizeHarmonicSum(state_, plot_.Mapping(),
                                    signalPeak_ > 0 ? signalPeak_ : state_.SignalPeak),
               PlotPalette::Opaque(PlotPalette::HarmonicSum));
    key_.show();
    return true;
}

void HarmonicSumLayer::Remove()
{
    if (!under_.isNull())
        plot_.RestoreDrawing(under_);
    under_ = QImage();
    key_.hide();
}
