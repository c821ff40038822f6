// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The plot's colours as its image's pixels hold them, without the alpha channel.
#pragma once

#include <QColor>

constexpr QRgb RedPixel = 0xff0000; // the signal and its time axis
constexpr QRgb BluePixel = 0x0000ff; // the spectral lines and the frequency axis
constexpr QRgb GreenPixel = 0x00ff00; // the DC component
constexpr QRgb PurplePixel = 0x800080; // the sum of the harmonics
constexpr QRgb HighlightPixel = 0x602000; // the harmonic pointed at, one by one, and its wave
constexpr QRgb PaleBluePixel = 0xa0a0ff; // the lines a sum of fewer harmonics leaves out
constexpr QRgb BackgroundPixel = 0xffffc0; // the plot area's light yellow
constexpr QRgb ReferencePixel = 0xe0107a; // the reference behind the analysis, dashed
