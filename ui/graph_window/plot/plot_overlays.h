// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The layers over the graphs: the sum of the harmonics, the lines it leaves out, the highlighted
// harmonic. They are redrawn on their own, in the paint order, over a copy of the graphs beneath,
// and come off again when none is shown. Their redraws are queued: requests before one runs join
// it.
#pragma once

#include "plot_layers.h"

#include "for_tests.h"
#include "ui/classic/coalesced_call.h"
#include "ui/graph_window/plot_geometry/spectrum_scale.h"

#include <QImage>
#include <QObject>

#include <array>
#include <functional>

class PlotArea;
class TaskGate;
struct AnalysisState;
class ShownAnalysis;

// One layer over the graphs.
class OverGraphs
{
public:
    virtual ~OverGraphs() = default;
    // The graphs beneath were drawn anew, from a new analysis or a new view.
    virtual void GraphsDrawn() { }
    // The graphs beneath were drawn anew at another size, from the same analysis and view.
    virtual void GraphsResized() { GraphsDrawn(); }
    virtual bool Shown() = 0;
    // Draws it over what `plot` shows, the window's or a picture's drawn apart from it, on the
    // overlays' scales; called in the paint order while it is shown.
    virtual void Draw(PlotArea &plot) = 0;
    // Not shown in this redraw: its key, if any, goes.
    virtual void Hide() { }
};

class PlotOverlays : public QObject
{
    Q_OBJECT
public:
    // A redraw runs only while `tasks` lets no long task run. The spectrum band's scale, on which
    // the layers are drawn, is `scale`'s (the views'). Everything given must outlive this.
    PlotOverlays(QObject &parent, PlotArea &plot, ShownAnalysis &shown, TaskGate &tasks,
                 std::function<SpectrumScale()> scale);

    // `layer` draws `over`, in its place in the paint order.
    void Add(PlotLayer layer, OverGraphs &over);

    // The scales the graphs beneath were drawn on, on which the layers over them are drawn: the
    // spectrum band's, and the signal's peak, a kept scale's or (0) the analysis's own.
    SpectrumScale Scale() const;
    void SetSignalPeak(double peak) { signalPeak_ = peak; }
    double SignalPeak() const;

    // The graphs were drawn anew: every layer over them hears it, and they are drawn over the new
    // graphs. Called inside a task that holds the gate already.
    void GraphsDrawn();
    // The next drawing of the graphs is the same analysis and view at another size: the layers
    // keep what they show.
    void NextDrawingResized() { resized_ = true; }
    // Redraws the layers shown over the graphs beneath, now; the caller holds the gate.
    void Redraw();
    // Draws the layers shown over `plot`, a picture drawn apart from the window whose graphs were
    // just drawn on the same scales; the window's plot is left as it is.
    void DrawOn(PlotArea &plot);
    // Queues one redraw; requests before it runs join it.
    void ScheduleRedraw();
    // Runs the queued redraw now, if one is queued.
    void RedrawPending();

private:
    friend int testing_seam::Redraws(const PlotOverlays &overlays);
    friend bool testing_seam::Has(const PlotOverlays &overlays, PlotLayer layer);
    friend bool testing_seam::RedrawQueued(const PlotOverlays &overlays);

    void Remove();
    // The queued redraw, skipped while a long task runs.
    void RedrawUnlessBusy();

    PlotArea &plot_;
    ShownAnalysis &shown_;
    TaskGate &tasks_;
    std::array<OverGraphs *, PaintOrder.size()> layers_ {};
    QImage under_; // the plot as it was before the layers went on top
    CoalescedCall pending_ {*this, [this] { RedrawUnlessBusy(); }};
    bool resized_ = false;
    int redraws_ = 0; // for the tests alone (testing_seam::Redraws)
    std::function<SpectrumScale()> scale_;
    double signalPeak_ = 0;
};
