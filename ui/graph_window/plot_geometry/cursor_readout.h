// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The texts of the cursor readout: the position over the plot read back into time and signal
// value, or frequency and spectral modulus, with the current analysis. No Qt here.
#pragma once

#include "spectrum_scale.h"

#include "core/state/analysis_state.h"

#include <optional>
#include <string>

// "t= 250.00usec ; s(t) = 5.00E+00V" at user position (x, y) of the signal band. A value that
// cannot be shown (a time over a zero frequency, say) is left out with its label; nothing when
// neither can. Reads PeriodCount, Frequency and SignalPeak.
std::optional<std::u16string> SignalReadout(const AnalysisState &state, float x, float y,
                                            char16_t decimalSeparator);
// Likewise on a kept scale whose peak is `signalPeak`.
std::optional<std::u16string> SignalReadout(const AnalysisState &state, float x, float y,
                                            char16_t decimalSeparator, double signalPeak);

// What a reference drawn behind `state` is at the instant x stands for on the time axis of
// `state`, between its two samples either side: "riferimento: s(t) = 5.00E+00V"; nothing where
// it has no samples.
std::optional<std::u16string> ReferenceSignalReadout(const AnalysisState &state,
                                                     const AnalysisState &reference, float x,
                                                     char16_t decimalSeparator);

// "f= 10.00kHz ; |S(f)| = 3.18E+00V" likewise in the spectrum band, followed by the value at the
// nearest line of every other harmonic result declared with a readout text. Reads Frequency,
// HarmonicCount, SpectrumPeak and those results.
std::optional<std::u16string> SpectrumReadout(const AnalysisState &state, float x, float y,
                                              char16_t decimalSeparator);
// Likewise on the scale of a view: "f= 10.00kHz ; livello = -20.00dB" in decibels, "f= 10.00kHz ;
// fase = 45.00°" in phases, where "fase non definita" follows when the harmonic nearest the
// cursor has no phase.
std::optional<std::u16string> SpectrumReadout(const AnalysisState &state, float x, float y,
                                              char16_t decimalSeparator,
                                              const SpectrumScale &scale);
