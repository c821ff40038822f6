// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The input window's diagram of a pulse train, drawn for any pulse shape: three pulses a quarter
// of the period wide on a base line, a scale on the left, and Vmax, Ti and T marked. Plain Qt
// Gui, so that the asset generator draws the stored half-sine picture with it too.
#pragma once

#include <cstdint>

class QImage;

// Sample i of a pulse lasting nd samples over its peak, a jump's sample the middle of its sides
// (the signature of the core's UnitSample).
using DiagramPulse = double (*)(std::int64_t i, double nd, bool joined);

QImage DrawPulseDiagram(DiagramPulse pulse);
