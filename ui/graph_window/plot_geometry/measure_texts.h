// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The measures of an analysis as the graph window shows them beside the plot: the volts in the
// pattern "0.00E+00" and the percentages in "0.00", with the locale's separator, as the program
// writes its numbers. No Qt here.
#pragma once

#include "core/state/analysis_state.h"

#include <array>
#include <string>

// RMS value, DC component, THD and power share, in that order: "3.54E+00 V", "12.34 %", and the
// text for "not defined" where a measure has no value; all empty before an analysis.
std::array<std::u16string, 4> MeasureTexts(const AnalysisState &state, char16_t decimalSeparator);
