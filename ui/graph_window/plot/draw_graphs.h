// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Draws one analysis into the plot: scale marks, axes, the signal over the chosen number of
// periods and the line spectrum with its DC component, as the views ask. It knows the parts it
// draws into, not the window that holds them.
#pragma once

struct AnalysisState;
class LayerEntries;
class MeasureLabels;
class PlotArea;
class PlotOverlays;
class SpectrumScale;
class ShownAnalysis;
class SpectrumViews;

// What the drawing draws into and reads: the plot, the views' choices, the layers' entries, the
// measures beside it and the layers over the graphs.
struct GraphParts
{
    PlotArea &plot;
    SpectrumViews &views;
    const LayerEntries &layers;
    MeasureLabels &measures;
    PlotOverlays &overlays;
};

// Draws the analysis shown over what the plot area shows, each layer that is on in the paint
// order, once its peaks are found (and its output made, through a filter). The layers over the
// graphs go on top of them, and the window's keys and measures follow.
void DrawAnalysis(ShownAnalysis &shown, const GraphParts &parts);

// The graphs' layers alone, on `scale`, into any plot: the window's, or one of a picture drawn
// apart from it, once the analysis's SpectrumPeak is found. Whether the envelope was drawn.
// `slopes`: the reference slopes over the decibels on the logarithmic axis. Through a filter, its
// output y(t) over the signal, the input's lines and DC component pale under the output's, and
// the response over them.
bool DrawGraphLayers(PlotArea &plot, const ShownAnalysis &shown, const SpectrumScale &scale,
                     const LayerEntries &layers, bool slopes = false);

// The DC component's three segments on `scale`, on top of every line: with the graphs, and again
// over the pale lines the sum leaves out; `pale` for the input's under a filter's output.
void DrawDcLine(PlotArea &plot, const AnalysisState &state, const SpectrumScale &scale,
                bool pale = false);
