// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Draws one analysis into the plot: scale marks, axes, the signal over the chosen number of
// periods and the line spectrum with its DC component, as the views ask. It knows the parts it
// draws into, not the window that holds them.
#pragma once

struct AnalysisState;
class HarmonicSumLayer;
class MeasureLabels;
class PlotArea;
class SpectrumViews;

// What the drawing draws into and reads: the plot, the views' choices, the measures beside it
// and the sum of the harmonics on top.
struct GraphParts
{
    PlotArea &plot;
    SpectrumViews &views;
    MeasureLabels &measures;
    HarmonicSumLayer &sum;
};

// Draws the analysis the state holds over what the plot area shows; sets SpectrumPeak. The sum
// of the harmonics goes on top while its entry is on.
void DrawAnalysis(AnalysisState &state, const GraphParts &parts);
