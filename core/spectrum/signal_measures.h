// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The measures of an analysis, read in the graph window without a click and exported with the
// table: the RMS value of the samples, the total harmonic distortion of the harmonics shown and
// the share of the power they carry; and the rounding noise of the moduli, under which a harmonic
// may be one that is zero.
#pragma once

#include "core/spectrum/fft/real_transform.h"
#include "core/state/analysis_state.h"

class TaskControl;

// Sums the samples 0 to N - 1 of a sampled analysis, whose SignalPeak is found, into Measures;
// leaves it empty where there are no samples. The one pass over the samples for the measures:
// the transform path makes it while its transform runs, and ComputeMeasures where no path did.
// False when cancelled.
bool MeasureSamples(AnalysisState &state, TaskControl *control = nullptr);

// Writes RmsValue, HarmonicDistortion, PowerShare, the bandwidths and the moduli's Noise from the
// samples' Measures (made first where they are not yet), MeanValue and the moduli of harmonics 1
// to RoundToCount(H) of a computed analysis; leaves them as a new analysis has them when none was
// computed.
// - RMS = sqrt(sum s(i)^2 / N);
// - THD = sqrt(sum_{k=2..H} |S_k|^2) / |S_1|, in percent; none where |S_1| is within the noise;
// - power share = (DC^2 + 1/2 sum_{k=1..H} |S_k|^2) / RMS^2, in percent; none where RMS is 0.
// By Parseval the share is 100 % when the harmonics shown carry all of the samples' power.
// - the bandwidths: the least k in 0 to H at which the same share, summed up to k, reaches 90 %,
//   95 % and 99 %; none where it does not by H.
// `transform`: the error bound of the bins the analysis read from a transform, where it took one;
// otherwise the plain transform's bound of N stands in for it, made without any filter.
void ComputeMeasures(AnalysisState &state, const TransformRounding *transform = nullptr);

// The bandwidths alone: the first k in 0 to `harmonics` at which the power of the DC component
// and harmonics 1 to k reaches 90, 95 and 99 % of `meanSquare`, both scaled by `scale`; none
// where it does not, or where `meanSquare` is not above 0.
void FindBandwidth(AnalysisState &state, double meanSquare, double scale, std::int64_t harmonics);
