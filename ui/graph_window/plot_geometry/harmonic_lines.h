// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// One spectral line at a time: which line the cursor points at, that harmonic's own wave drawn
// over the signal, a range of lines alone, and the text that names a harmonic. No Qt here.
#pragma once

#include "column_spans.h"
#include "pixel_mapping.h"
#include "spectrum_scale.h"

#include "core/spectrum/filters.h"
#include "core/state/analysis_state.h"

#include <cstdint>
#include <optional>
#include <string>

// The column, in pixels and not rounded, at which harmonic k's line is drawn on the band's scale
// (SpectrumScale::HarmonicX; without one, x = 100 k / H).
double LineColumn(const AnalysisState &state, const PixelMapping &mapping, std::int64_t k,
                  const SpectrumScale *scale = nullptr);

// How near the cursor must be to a line, in pixels of the screen, to point at it.
constexpr double LineReachPixels = 3;

// The harmonic of 1 .. RoundToCount(H) whose line lies nearest `column` (pixels), if it lies
// within `reach` pixels of it; of two lines as near, the lower harmonic.
std::optional<std::int64_t> NearestLine(const AnalysisState &state, const PixelMapping &mapping,
                                        double column, double reach,
                                        const SpectrumScale *scale = nullptr);

// Harmonic k's wave, a_k cos(2 pi k i / N) + b_k sin(2 pi k i / N), over the signal's periods as
// the sum of the harmonics is drawn: per column, on the signal's scale (or a kept one's peak),
// clipped to its band.
ColumnSpans RasterizeHarmonicWave(const AnalysisState &state, std::int64_t k,
                                  const PixelMapping &mapping, double signalPeak = 0);

// The spectral lines of harmonics first .. last alone, as all of them are drawn.
ColumnSpans RasterizeSpectralLines(const AnalysisState &state, const PixelMapping &mapping,
                                   std::int64_t first, std::int64_t last);

// "armonica 3: f= 300.00kHz ; |S| = 2.12E+00V": harmonic k's number, frequency and modulus, or
// nothing when the analysis has no harmonic k.
std::optional<std::u16string> HarmonicReadout(const AnalysisState &state, std::int64_t k,
                                              char16_t decimalSeparator);

// Through `filter`, what harmonic k of the input becomes: "|S| = 3.18E+00V ; |H| = 7.07E-01
// (-3.01 dB) ; arg H = -45.00° ; |Y| = 2.25E+00V", |Y| = |H(k f)| |S_k|; nothing when the
// analysis has no harmonic k.
std::optional<std::u16string> FilterLineReadout(const AnalysisState &input,
                                                const FilterSettings &filter, std::int64_t k,
                                                char16_t decimalSeparator);
