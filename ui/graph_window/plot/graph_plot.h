// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The plot and its layers, whole: the plot area with the graphs of the analysis, the layers drawn
// over them (the sum of the harmonics, one harmonic at a time), the spectrum band's views, the
// measures beside the plot, the entries that turn each on, and the cursor's readout. The door of
// the plot's room: the window above it comes in here alone.
#pragma once

#include "harmonic_sum_source.h"
#include "key_label.h"
#include "plot_area.h"
#include "shown_analysis.h"

#include "ui/graph_window/plot_geometry/spectrum_scale.h"

#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

struct AnalysisState;
class HarmonicByHarmonic;
class HarmonicSumLayer;
class LayerEntries;
class MeasureLabels;
class MessageBox;
class PlotOverlays;
class QAction;
class QLabel;
class SpectrumViews;
class TaskGate;

// How the user left a graph window's entries, for the next one: the checkable entries that were on
// (by name) and the scales kept.
struct GraphSetUp
{
    QStringList on;
    std::optional<KeptScale> kept;
    std::optional<double> floorDb; // the decibels' floor chosen; none for the automatic one
};

class GraphPlot
{
public:
    // `plot` stands on `client`, the window's client area, where the views' and the measures' keys
    // stand too; `window` carries the entries' shortcuts and `sumKey` is the sum's key. The
    // exports and the sum enter `tasks`, the program's gate of long tasks, and `messages` shows
    // what they say. `viewChanged` is called when a view is turned on or off, while the gate is
    // held: the graphs are to be drawn again. Everything given must outlive the plot.
    GraphPlot(QWidget &window, QWidget &client, PlotArea &plot, QLabel &sumKey,
              AnalysisState &state, MessageBox &messages, TaskGate &tasks,
              std::function<void()> viewChanged);
    ~GraphPlot();
    GraphPlot(const GraphPlot &) = delete;
    GraphPlot &operator=(const GraphPlot &) = delete;

    // The entries, in the menus' order: the layers over the graphs (the sum, one by one), then the
    // spectrum's views and the measures.
    QList<QAction *> LayerActions() const;
    QList<QAction *> ViewActions() const;
    // The keys that the views show beside the plot: the envelope's and the kept scale's.
    QList<QLabel *> ViewKeys() const;

    // Draws the analysis the state holds, with every layer on, and shows its measures; through
    // the filter chosen, its output over it. False when the output could not be made (cancelled,
    // too little memory, which the messages then say): the input alone is drawn, and the filter
    // chosen is none.
    bool Draw();
    // The filter whose output the next drawing shows; FilterKind::None for the input alone.
    void ChooseFilter(const FilterSettings &filter) { shown_.Choose(filter); }
    // The reference drawn behind the analysis from the next drawing; none for none. It must
    // outlive its use here.
    void SetReference(const HeldReference *held) { shown_.SetReference(held); }
    // What the plot shows: the input, or the filter's output over it.
    const ShownAnalysis &Shown() const { return shown_; }
    // The next drawing is at a new size: the layers over the graphs start again from it.
    void NextDrawingResized();
    // The plot's picture drawn apart, in a plot of its own at `style`: at the plot's own style,
    // its picture to the bit. The plot itself is left as it is.
    QImage PictureOf(const PlotStyle &style);
    // The entries on, as the menu names them, each with what the picture alone does not say: the
    // sum's number of terms when it adds fewer than all, and the measures' values.
    std::vector<std::string> EntriesOn() const;

    GraphSetUp SetUp() const;
    // Each entry turned on as the user would: a hidden window draws nothing yet.
    void Restore(const GraphSetUp &setUp);

    // The readout at (x, y), in the plot's user coordinates: the time and the signal's value, or
    // the frequency and the spectrum's value with the harmonic pointed at; none off the graph.
    std::optional<QString> SignalReadout(float x, float y);
    std::optional<QString> SpectrumReadout(float x, float y);

    // The parts, for the window's own wiring and for the tests and the tools that drive them.
    PlotArea &Plot() const { return plot_; }
    HarmonicSumLayer *HarmonicSum() const { return harmonicSum_; }
    HarmonicByHarmonic *OneByOne() const { return oneByOne_; }
    SpectrumViews *Views() const { return views_; }
    MeasureLabels &Measures() const { return *measures_; }
    const LayerEntries &Layers() const { return *layers_; }
    PlotOverlays *Overlays() const { return overlays_; }

private:
    QList<QAction *> Entries() const { return LayerActions() + ViewActions(); }

    PlotArea &plot_;
    AnalysisState &state_;
    QWidget &window_;
    MessageBox &messages_;
    TaskGate &tasks_;
    ShownAnalysis shown_ {state_};
    std::unique_ptr<LayerEntries> layers_;
    std::unique_ptr<MeasureLabels> measures_;
    PlotOverlays *overlays_;
    HarmonicSumLayer *harmonicSum_;
    HarmonicByHarmonic *oneByOne_;
    SpectrumViews *views_;
};
