// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The sum of the harmonics drawn over the signal, a layer over the graphs: the graph window's
// checkable entry "Somma delle armoniche" (Ctrl+R) turns it on, with its key. While it is shown,
// the wheel over the plot and + and - add the harmonics one at a time, and the lines the sum
// leaves out are drawn paler (a layer of their own, above it).
#pragma once

#include "plot_overlays.h"

#include "ui/classic/wheel_steps.h"
#include "ui/long_work/task_gate.h"

#include "ui/graph_window/plot_geometry/column_spans.h"
#include "ui/graph_window/plot_geometry/spectrum_scale.h"

#include "core/state/real_array.h"
#include "core/texts/pulse_shapes.h"

#include <QObject>
#include <QString>

#include <cstdint>
#include <memory>

struct AnalysisState;
struct MeasuredSignal;
class ShownAnalysis;
class MessageBox;
class PlotArea;
class QAction;
class QLabel;
class QShortcut;
class QWidget;

class HarmonicSumLayer : public QObject, public OverGraphs
{
    Q_OBJECT
public:
    // Everything given must outlive the layer; `window` is its parent and carries the shortcuts.
    // `entry` turns it on; `key` is shown while the sum is. The entry enters `tasks`, the
    // program's gate of long tasks, before it computes. `overlays` draws the layer and its pale
    // lines (PaleLinesLayer) on its scales, once they are given to it.
    HarmonicSumLayer(QWidget &window, QAction &entry, PlotArea &plot, QLabel &key,
                     ShownAnalysis &shown, MessageBox &messages, TaskGate &tasks,
                     PlotOverlays &overlays);

    // The entry: checkable, off at first, Ctrl+R.
    QAction *Action() const { return action_; }
    // The lines the sum leaves out, paler: a layer over the graphs of its own, on with the sum.
    OverGraphs &PaleLinesLayer() { return pale_; }

    // How many harmonics the sum adds to the DC component, 0 to RoundToCount(H): on screen, and as
    // the wheel and the keys asked for last (what the next redraw shows).
    std::int64_t Terms() const { return terms_; }
    bool AddsEveryHarmonic() const { return terms_ == lines_; }
    // The key's words for the sum drawn: every harmonic, the DC component alone, or the first ones.
    QString KeyText() const;
    std::int64_t WantedTerms() const { return wanted_; }
    // `steps` harmonics more (fewer when negative) in the sum, while it is shown. The redraw is
    // queued once however many steps come before it runs: it shows the last.
    void StepTerms(int steps);

    // The layer over the graphs: the sum starts again from all the harmonics of new graphs.
    void GraphsDrawn() override;
    void GraphsResized() override;
    bool Shown() override;
    // Draws the sum; turns the entry off when the sum could not be had.
    void Draw(PlotArea &plot) override;
    void Hide() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Toggled(bool on);
    // The sum of the analysis of the moment, with `terms_` harmonics, over what the plot shows;
    // false when it could not be had.
    bool DrawSum(PlotArea &plot);
    // The lines the sum leaves out, paler, over the lines; nothing while it adds them all.
    void DrawPaleLines(PlotArea &plot);
    // The first m harmonics added up: from the last such sum a few steps away, else anew.
    const RealArray *PartialSum(std::int64_t m);
    // The analysis changed under the window (a new analysis, the harmonic modulus command): the
    // counts follow its number of harmonics.
    void FollowAnalysis();
    void SetChecked(bool on);

    // The lines the sum leaves out: a layer of their own, on with the sum.
    struct PaleLines : OverGraphs
    {
        explicit PaleLines(HarmonicSumLayer &sum) : sum(sum) { }
        bool Shown() override { return sum.Shown(); }
        void Draw(PlotArea &plot) override { sum.DrawPaleLines(plot); }
        HarmonicSumLayer &sum;
    };

    QWidget &window_;
    PlotArea &plot_;
    QLabel &key_;
    ShownAnalysis &shown_;
    MessageBox &messages_;
    TaskGate &tasks_;
    PlotOverlays &overlays_;
    QAction *action_;
    PaleLines pale_ {*this};
    bool drawn_ = false; // the sum was drawn in this redraw: its pale lines go over it
    std::int64_t terms_ = 0;
    std::int64_t wanted_ = 0; // as the user set it, kept across analyses of fewer lines
    bool everyTerm_ = true; // the user left the sum at every harmonic: it follows H
    std::int64_t lines_ = 0; // RoundToCount(H) of the analysis the counts belong to
    // The analysis the counts belong to: its coefficients and the parameters that make it.
    struct AnalysisKey
    {
        const double *coefficients = nullptr;
        double dutyCycle = 0, amplitude = 0;
        std::int32_t samples = 0;
        double harmonics = 0;
        // A new analysis may reuse a freed array's address: the same parameters then mean the
        // same coefficients only with the same shape.
        PulseShape shape = PulseShape::HalfSine;
        // A measured signal's coefficients are of its capture and f: held here, the capture's
        // address is not reused while the key stands.
        std::shared_ptr<const MeasuredSignal> measured;
        double measuredFrequency = 0;
        bool operator==(const AnalysisKey &) const = default;
    } analysis_;
    std::uint64_t generation_ = 0; // one more for each analysis followed
    RealArray partial_; // the first partialTerms_ harmonics added up
    std::int64_t partialTerms_ = -1;
    // The sum's pixels and all the lines', kept with what they were gathered from.
    struct DrawnFrom
    {
        const double *sum = nullptr;
        std::uint64_t analysis = 0;
        std::int64_t terms = -1, lines = -1;
        int width = 0, height = 0;
        double signalPeak = 0, periods = 0, spectrumPeak = 0;
        // the spectrum band's scale: its view, its peak or floor, its span, its frequency axis
        int view = 0;
        double scalePeak = 0, floorDb = 0, span = 0;
        bool logFrequency = false;
        bool operator==(const DrawnFrom &) const = default;
    } drawnFrom_;
    ColumnSpans curve_ {0};
    ColumnSpans allLines_ {0};
    WheelSteps wheel_;
    QShortcut *more_[2] = {};
    QShortcut *fewer_[2] = {};
};
