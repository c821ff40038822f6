// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "plot_overlays.h"

#include "shown_analysis.h"

#include "plot_area.h"

#include "ui/long_work/task_gate.h"

#include "core/state/analysis_state.h"

#include <algorithm>
#include <utility>

PlotOverlays::PlotOverlays(QObject &parent, PlotArea &plot, ShownAnalysis &shown, TaskGate &tasks,
                           std::function<SpectrumScale()> scale)
    : QObject(&parent), plot_(plot), shown_(shown), tasks_(tasks), scale_(std::move(scale))
{ }

void PlotOverlays::Add(PlotLayer layer, OverGraphs &over)
{
    layers_[PaintPlace(layer)] = &over;
}

SpectrumScale PlotOverlays::Scale() const
{
    return scale_();
}

double PlotOverlays::SignalPeak() const
{
    return signalPeak_ > 0 ? signalPeak_ : shown_().SignalPeak;
}

void PlotOverlays::GraphsDrawn()
{
    // The plot was blanked and drawn anew: what lay under the old layers is gone with it.
    under_ = QImage();
    pending_.Drop();
    const bool resized = std::exchange(resized_, false);
    for (OverGraphs *layer : layers_)
        if (layer)
            resized ? layer->GraphsResized() : layer->GraphsDrawn();
    Redraw();
}

void PlotOverlays::ScheduleRedraw()
{
    pending_.Request();
}

void PlotOverlays::RedrawPending()
{
    pending_.RunNow();
}

void PlotOverlays::RedrawUnlessBusy()
{
    // A long task runs (this is its progress's event loop): the step is not drawn, and the next
    // one draws it with its own.
    const TaskGate::Pass pass(tasks_);
    if (pass)
        Redraw();
}

void PlotOverlays::Redraw()
{
    pending_.Drop();
    std::array<bool, PaintOrder.size()> shown {};
    for (std::size_t place = 0; place < layers_.size(); ++place)
        shown[place] = layers_[place] && layers_[place]->Shown();
    if (std::none_of(shown.begin(), shown.end(), [](bool on) { return on; }))
        return Remove();
    ++redraws_;
    if (under_.isNull())
        under_ = plot_.Image().copy();
    else
        plot_.RestoreDrawing(under_);
    plot_.Scale(0, 100, 100, 0);
    for (std::size_t place = 0; place < layers_.size(); ++place)
        if (layers_[place] && shown[place])
            layers_[place]->Draw(plot_);
        else if (layers_[place])
            layers_[place]->Hide();
}

void PlotOverlays::DrawOn(PlotArea &plot)
{
    plot.Scale(0, 100, 100, 0);
    for (OverGraphs *layer : layers_)
        if (layer && layer->Shown())
            layer->Draw(plot);
}

void PlotOverlays::Remove()
{
    if (!under_.isNull())
        plot_.RestoreDrawing(under_);
    under_ = QImage();
    for (OverGraphs *layer : layers_)
        if (layer)
            layer->Hide();
}

int testing_seam::Redraws(const PlotOverlays &overlays)
{
    return overlays.redraws_;
}

bool testing_seam::Has(const PlotOverlays &overlays, PlotLayer layer)
{
    return overlays.layers_[PaintPlace(layer)] != nullptr;
}

bool testing_seam::RedrawQueued(const PlotOverlays &overlays)
{
    return overlays.pending_.Queued();
}
