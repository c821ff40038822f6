// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The graph window's seam for the tests and the benchmarks: what only they read, never the program.
#pragma once

class PlotOverlays;

namespace testing_seam {

// How many times the layers on top of the graphs were redrawn, so that a test can tell a queued
// redraw that ran from one that was joined to it.
int Redraws(const PlotOverlays &overlays);

} // namespace testing_seam
