// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The measures of an analysis as the graph window shows them beside the plot, each written as its
// declaration says ("0.00E+00" for volts, "0.00" for percentages) with the locale's separator. No
// Qt here.
#pragma once

#include "core/state/analysis_state.h"
#include "core/state/result_list.h"

#include <array>
#include <string>

// The panel's values from the top: "3.54E+00 V", "12.34 %", and the text for "not defined" where
// a measure has no value; all empty before the measures are found.
std::array<std::u16string, PanelRows> MeasureTexts(const AnalysisState &state,
                                                   char16_t decimalSeparator);
