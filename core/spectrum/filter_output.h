// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The pulse train through a filter, as an analysis of its own: the output's lines Y_k = H(k f) S_k
// and its steady state y(t), which the plot, the readout, the measures and the exports read as
// they read the input's. A filter never runs a new analysis: it multiplies the coefficients and
// takes one inverse transform.
#pragma once

#include "core/spectrum/filters.h"
#include "core/state/analysis_state.h"

#include <optional>

class TaskControl;

// The output of `filter` for the analysis `input` holds (computed, its noise found):
// - the parameters of the input;
// - MeanValue = H(0) A0, and the coefficients and moduli of harmonics 1 to RoundToCount(H)
//   through H(k f) (Filtered), in arrays of H + 2 elements at most;
// - as Samples, y(i) for i = 0 .. N, the sum of those harmonics and the DC component (the steady
//   state), and its peaks;
// - the moduli's noise line: the input's times the largest |H(k f)|, a bound on each |Y_k|'s
//   error from the input's (the rounding of H and of the product lie far within it);
// - the measures: RmsValue from the lines (DC^2 + 1/2 sum |Y_k|^2, the power of y), the THD of
//   the output's lines, and as PowerShare the share of the input's power (its samples' RMS^2)
//   that the output carries, in percent; the bandwidths against y's own power, which its lines
//   carry whole.
// Nothing when `control` cancels it; throws std::bad_alloc when memory runs out.
std::optional<AnalysisState> FilterOutput(const AnalysisState &input, const FilterSettings &filter,
                                          TaskControl *control = nullptr);
