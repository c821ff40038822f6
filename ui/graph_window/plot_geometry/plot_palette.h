// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The plot's colours, one palette: each band's axis, its option button and what it draws.
#pragma once

#include <cstdint>

namespace PlotPalette {

// 0xRRGGBB, as QColor::fromRgb and qRgb take them once made opaque.
constexpr std::uint32_t Background = 0xffffc0;
// The signal's trace, the time axis and the upper option button.
constexpr std::uint32_t Signal = 0xff0000;
// The spectral lines, the frequency axis and the lower option button.
constexpr std::uint32_t Spectrum = 0x0000ff;
constexpr std::uint32_t DcComponent = 0x00ff00;
// The sum of the harmonics: its own colour, apart from the others and 9.1 : 1 against the plot's
// light yellow.
constexpr std::uint32_t HarmonicSum = 0x800080;
// The harmonic pointed at one by one: its line and its own wave. Dark brown, apart from every
// other colour drawn for the common red-green colour blindness too (the signal's red among them),
// and 11.9 : 1 against the plot's light yellow.
constexpr std::uint32_t Highlight = 0x602000;
// The spectral lines that a sum of fewer harmonics leaves out: the spectrum's blue, paler.
constexpr std::uint32_t SpectrumPale = 0xa0a0ff;

// Through a filter: the output y(t) over the signal, and its key: dark green, 6.1 : 1 against the
// plot's light yellow and far darker than the signal's red, for the red-green colour blind and in
// grey too. The filter's response |H(f)| and its scale: dark orange, 4.6 : 1. The input's DC
// component under the output's: its green, paler (the input's lines take SpectrumPale).
constexpr std::uint32_t FilterOutput = 0x007000;
constexpr std::uint32_t Response = 0xc05000;
constexpr std::uint32_t DcPale = 0xa0ffa0;

// The reference held behind the analysis, and its key: a deep pink, 4.4 : 1 against the light
// yellow, a hue no other curve has, always drawn dashed (the only dashed curve), so that it stays
// apart from every other in a grey print too.
constexpr std::uint32_t Reference = 0xe0107a;

// The envelope over the spectral lines and its key: teal, 4.4 : 1 against the light yellow.
constexpr std::uint32_t Envelope = 0x008080;

// The grid lines of the decibels' and the phases' views: light grey, under the lines.
constexpr std::uint32_t Grid = 0xa0a0a0;
// The grid's values: dark grey, 6.1 : 1 against the light yellow, on a patch of it that no grid
// line crosses.
constexpr std::uint32_t GridText = 0x606060;

// The colour with a full alpha, as an image pixel (QRgb) holds it.
constexpr std::uint32_t Opaque(std::uint32_t rgb)
{
    return 0xff000000u | rgb;
}

} // namespace PlotPalette
