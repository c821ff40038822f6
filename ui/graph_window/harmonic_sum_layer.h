// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The sum of the harmonics drawn over the signal: the graph window's checkable entry "Somma delle
// armoniche" (Ctrl+R), its key and the drawing, which lies on top of the graphs and comes off
// again when the entry is turned off.
#pragma once

#include "ui/long_work/task_gate.h"

#include <QColor>
#include <QImage>
#include <QObject>

struct AnalysisState;
class MessageBox;
class PlotArea;
class QAction;
class QLabel;
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

private:
    void Toggled(bool on);
    // Draws the sum of the analysis of the moment over what the plot shows; false when it could
    // not be had.
    bool Draw();
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
    double signalPeak_ = 0; // 0: the analysis's own
};
