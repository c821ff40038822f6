// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The caption under a picture for slides, in Italian: the pulse's shape, the parameters by the
// input window's names, and the views shown.
#pragma once

#include "core/spectrum/filters.h"
#include "core/spectrum/reference_trace.h"

#include <span>
#include <string>

struct AnalysisParameters;

// "Forma dell'impulso: semisinusoide. D.C. = 0.5, Vmax = 10 V, f = 100 kHz, N = 10000, M = 10,
// Np = 3. Viste: Scala in dB; Inviluppo." in UTF-8, each number the shortest text that reads back
// to it, with `decimalSeparator` (the locale's, as the axes write it; with a comma the values
// are parted by semicolons: "D.C. = 0,25; Vmax = 10 V"); no views, no last sentence.
// Through a filter, its sentence follows the parameters: "Filtro passa-banda RLC serie: f0 =
// 300 kHz, Q = 10." With a reference held, its sentences after those, before the views:
// "Riferimento: rettangolare. D.C. = 0.25, Vmax = 10 V, …", and its filter's.
std::string SlideCaption(const AnalysisParameters &parameters, std::span<const std::string> views,
                         char decimalSeparator = '.', const FilterSettings &filter = {},
                         const HeldReference *reference = nullptr);

// The name a slide's file is offered under, naming the shape and D:
// "spettro-segnale-diapositiva-dente-di-sega-D0,25.png" with a comma for separator.
std::string SlideFileName(const AnalysisParameters &parameters, char decimalSeparator = '.');
