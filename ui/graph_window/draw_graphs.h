// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Draws one analysis into the graph window: scale marks, axes, the signal over the chosen
// number of periods and the line spectrum with its DC component.
#pragma once

struct AnalysisState;
class Form2;

// Shows the window (modeless) and draws the analysis the state holds, which the graphs command
// has just computed and stored; sets SpectrumPeak. Draws over what the plot area shows; the sum of
// the harmonics goes on top while the window's entry for it is on.
void DrawGraphs(AnalysisState &state, Form2 &form);
