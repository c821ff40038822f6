// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The sum of the harmonics drawn over the signal: the graph window's checkable entry "Somma delle
// armoniche" (Ctrl+R), its key and the drawing, which lies on top of the graphs and comes off
// again when the entry is turned off. While it is shown, the wheel over the plot and + and - add
// the harmonics one at a time. Whatever lies on top of the graphs (the sum, then an overlay) is
// redrawn from the graphs beneath whenever it changes.
#pragma once

#include "ui/long_work/task_gate.h"

#include "ui/graph_window/for_tests.h"

#include "ui/graph_window/plot_geometry/column_spans.h"
#include "ui/graph_window/plot_geometry/spectrum_scale.h"

#include "core/state/real_array.h"
#include "core/texts/pulse_shapes.h"

#include <QColor>
#include <QImage>
#include <QObject>

#include <cstdint>
#include <functional>

struct AnalysisState;
class MessageBox;
class PlotArea;
class QAction;
class QLabel;
class QShortcut;
class QWidget;

// Makes sure the analysis state holds the sum of its harmonics (HarmonicSum), computing it away
// from the windows' thread, with the progress shown when it lasts. False when the user cancelled
// or memory ran out (which `messages` then says). Whoever calls it holds a pass of `tasks`.
bool ProvideHarmonicSum(const TaskGate &tasks, QWidget *parent, AnalysisState &state,
                        MessageBox &messages);

class HarmonicSumLayer : public QObject
{
    Q_OBJECT
public:
    // Everything given must outlive the layer; `window` is its parent and carries the shortcut.
    // `key` is shown while the sum is. The entry enters `tasks`, the program's gate of long
    // tasks, before it computes.
    HarmonicSumLayer(QWidget &window, PlotArea &plot, QLabel &key, AnalysisState &state,
                     MessageBox &messages, TaskGate &tasks);

    // The entry: checkable, off at first, Ctrl+R.
    QAction *Action() const { return action_; }

    // The graphs were drawn anew: the sum of the analysis goes on top while the entry is on.
    // Called inside a task that holds the gate already.
    void GraphsDrawn();
    // The signal's peak the graphs were drawn on (a kept scale's, or the analysis's own): the sum
    // is drawn on the same.
    void SetSignalPeak(double peak) { signalPeak_ = peak; }
    // Where the spectrum band's scale comes from (the views'): the lines the sum leaves out, and
    // the line and wave of one harmonic at a time, are drawn on it. The moduli's own until set.
    void SetSpectrumScale(std::function<SpectrumScale()> scale) { scale_ = std::move(scale); }
    SpectrumScale Scale() const;

    // How many harmonics the sum adds to the DC component, 0 to RoundToCount(H): on screen, and as
    // the wheel and the keys asked for last (what the next redraw shows).
    std::int64_t Terms() const { return terms_; }
    std::int64_t WantedTerms() const { return wanted_; }
    // `steps` harmonics more (fewer when negative) in the sum, while it is shown. The redraw is
    // queued once however many steps come before it runs: it shows the last.
    void StepTerms(int steps);

    // `draw` draws on top of the sum while `shown` says it has something to draw.
    void SetOverlay(std::function<bool()> shown, std::function<void()> draw)
    {
        overlayShown_ = std::move(shown);
        overlay_ = std::move(draw);
    }
    // Queues one redraw of what lies on top of the graphs; requests before it runs join it.
    void ScheduleRedraw();
    // Runs the queued redraw now, if one is queued.
    void RedrawPending();
    bool RedrawQueued() const { return queued_; }

protected:
    friend int testing_seam::Redraws(const HarmonicSumLayer &layer);

    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Toggled(bool on);
    // Redraws the sum (when on) and the overlay over the graphs beneath; the caller holds the
    // gate. Turns the entry off when the sum could not be had.
    void Redraw();
    // The sum of the analysis of the moment, with `terms_` harmonics, over what the plot shows;
    // false when it could not be had.
    bool DrawSum();
    // The first m harmonics added up: from the last such sum a few steps away, else anew.
    const RealArray *PartialSum(std::int64_t m);
    // The analysis changed under the window (a new analysis, the harmonic modulus command): the
    // counts follow its number of harmonics.
    void FollowAnalysis();
    void Remove();
    void SetChecked(bool on);

    QWidget &window_;
    PlotArea &plot_;
    QLabel &key_;
    AnalysisState &state_;
    MessageBox &messages_;
    TaskGate &tasks_;
    QAction *action_;
    QImage under_; // the plot as it was before the sum went on top
    std::function<bool()> overlayShown_;
    std::function<void()> overlay_;
    std::int64_t terms_ = 0;
    std::int64_t wanted_ = 0;
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
        // the spectrum band's scale: its view, its peak or floor, its span
        int view = 0;
        double scalePeak = 0, floorDb = 0, span = 0;
        bool operator==(const DrawnFrom &) const = default;
    } drawnFrom_;
    ColumnSpans curve_ {0};
    ColumnSpans allLines_ {0};
    bool queued_ = false;
    int wheelEighths_ = 0;
    int redraws_ = 0; // for the tests alone (testing_seam::Redraws)
    QShortcut *more_[2] = {};
    QShortcut *fewer_[2] = {};
    double signalPeak_ = 0; // 0: the analysis's own
    std::function<SpectrumScale()> scale_;
};
