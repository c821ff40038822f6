// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The plot's two bands in user units (x and y from 0 to 100, y upward): the signal above the
// time axis, the line spectrum below. The drawing and the cursor readout place and read values
// through these names alone, so that they always agree.
#pragma once

namespace PlotBands {

// The signal band: its zero on the time axis, SignalPeak this many units above (or below) it.
constexpr double TimeAxisY = 70;
constexpr double SignalPeakUnits = 25;
// The lowest y of the signal graph: a negative signal's peak. Nothing of the signal band is
// drawn below it.
constexpr double SignalBandBottomY = TimeAxisY - SignalPeakUnits;

// The spectrum band: lines rise from its bottom at y = 0, the largest modulus this many units;
// the frequency axis lies just above the bottom.
constexpr double SpectrumBottomY = 0;
constexpr double SpectrumPeakUnits = 45;
constexpr float FrequencyAxisY = 0.1f;

// The two graphs meet where the tallest spectral line ends and a negative signal's peak lies.
static_assert(SignalBandBottomY == SpectrumBottomY + SpectrumPeakUnits);

// The y at which a signal value is drawn: flat on the time axis when the peak is zero.
constexpr double SignalY(double value, double signalPeak)
{
    return signalPeak == 0 ? TimeAxisY : value * SignalPeakUnits / signalPeak + TimeAxisY;
}
// The signal value that a y in the signal band stands for.
constexpr double SignalValue(double y, double signalPeak)
{
    return (y - TimeAxisY) * signalPeak / SignalPeakUnits;
}
// The top of the spectral line of a modulus (the bottom is at y = 0).
constexpr double SpectrumY(double modulus, double spectrumPeak)
{
    return modulus * SpectrumPeakUnits / spectrumPeak;
}
// The modulus that a y in the spectrum band stands for.
constexpr double SpectrumValue(double y, double spectrumPeak)
{
    return y * spectrumPeak / SpectrumPeakUnits;
}

} // namespace PlotBands
