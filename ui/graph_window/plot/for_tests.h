// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The graph window's seam for the tests and the benchmarks: what only they read, never the program.
#pragma once

class PlotOverlays;
enum class PlotLayer;

namespace testing_seam {

// How many times the layers on top of the graphs were redrawn, so that a test can tell a queued
// redraw that ran from one that was joined to it.
int Redraws(const PlotOverlays &overlays);
// Whether the layer was given to the overlays, to be redrawn over the graphs.
bool Has(const PlotOverlays &overlays, PlotLayer layer);
// Whether a redraw of the layers over the graphs is queued and has not run yet.
bool RedrawQueued(const PlotOverlays &overlays);

} // namespace testing_seam
