// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The units the program writes its values in: their names, and the conversions into them.
#pragma once

#include <array>
#include <string_view>

// The frequency's unit, wherever a frequency is written: the input field, the frequency axis, the
// readouts and the exported tables' headings.
inline constexpr std::u16string_view KilohertzName = u"kHz";

// The time's unit on the time axis and in the exported tables' headings.
inline constexpr std::u16string_view MicrosecondName = u"\u00B5s";

// The units along the plot's axes, each a thousand times the one before: an axis whose values
// would reach a thousand takes the next, so that no value needs a thousands separator.
inline constexpr std::array<std::u16string_view, 4> FrequencyAxisUnits
    = {KilohertzName, u"MHz", u"GHz", u"THz"};
inline constexpr std::array<std::u16string_view, 3> TimeAxisUnits = {MicrosecondName, u"ms", u"s"};

// The time's unit in the cursor's readout, which has always spelt it in ASCII.
inline constexpr std::u16string_view MicrosecondAsciiName = u"usec";

// A frequency in Hz (as the analysis stores it) in kHz, as every text writes it.
constexpr double Kilohertz(double hertz)
{
    return hertz / 1000;
}

// A frequency typed in kHz in Hz, as the analysis stores it.
constexpr double Hertz(double kilohertz)
{
    return kilohertz * 1000;
}

// The time that `periods` periods of a signal of `hertz` Hz last, in µs. Multiplied before it is
// divided, so that a whole number of periods of a frequency that divides a million is exact.
constexpr double Microseconds(double periods, double hertz)
{
    return periods * 1000000 / hertz;
}
