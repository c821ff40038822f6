// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// One pulse of each shape: its samples as the literal loops write them, and its envelope, the
// spectrum of one pulse in closed form. A new shape is one row here and one in
// core/texts/pulse_shapes.h.
#pragma once

#include "core/texts/pulse_shapes.h"

#include <cstdint>

// Sample i of a pulse lasting nd = N D samples, over Vmax: the loops write V times it. `joined`
// when the pulse fills the period (N D = N), so that the next pulse starts where this one ends.
// At a jump the value is the middle of its two sides, which the Fourier series converges to.
using UnitSample = double (*)(std::int64_t i, double nd, bool joined);

// 2 / T times the modulus of the Fourier transform of one pulse of peak v >= 0 and duty cycle d
// (0 < d <= 1), at the frequency x / T (x harmonics, any real x >= 0): the line of harmonic k of
// the pulse train is its value at x = k.
using Envelope = double (*)(double v, double d, double x);

// The same sample from sin((i PI) / (N D)), the sampling angle's sine, where the shape is made of
// it: a path that has that sine already (it sums a harmonic whose angle it is) need not take it
// twice. Null where the shape needs no sine.
using SampleFromSine = double (*)(std::int64_t i, double nd, double sine);

struct PulseShapeMath
{
    PulseShape shape;
    UnitSample sample;
    Envelope envelope;
    SampleFromSine fromSine = nullptr;
};

const PulseShapeMath &MathOf(PulseShape shape);

// The envelope of the line spectrum for amplitude V and duty cycle D: the shape's at |V|, |D|.
double PulseEnvelope(PulseShape shape, double amplitude, double dutyCycle, double x);
