// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// One pulse of each shape: its samples as the literal loops write them, and its envelope, the
// spectrum of one pulse in closed form. A new shape is one row here and one in
// core/texts/pulse_shapes.h.
#pragma once

#include "core/texts/pulse_shapes.h"

#include <cstddef>
#include <cstdint>
#include <vector>

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

// The envelope's zeros, at the frequencies (numerator / denominator) / Ti for numerator = first,
// first + step, ...: the rectangle's at 1/Ti, 2/Ti, ..., the half-sine's at 3/(2 Ti), 5/(2 Ti),
// ..., the triangle's at 2/Ti, 4/Ti, ..., the raised cosine's at 2/Ti, 3/Ti, ...; step 0 where
// the envelope has none (the sawtooth's never reaches zero).
struct EnvelopeZeros
{
    int first = 0;
    int step = 0;
    int denominator = 1;
};

struct PulseShapeMath
{
    PulseShape shape;
    UnitSample sample;
    Envelope envelope;
    SampleFromSine fromSine = nullptr;
    EnvelopeZeros zeros = {};
};

const PulseShapeMath &MathOf(PulseShape shape);

// The envelope's zeros of `shape` for duty cycle D within `span` harmonics, in harmonics
// (x = (numerator / denominator) / D), with their numerators, in order; at most `most` of them,
// none where there would be more.
struct EnvelopeZero
{
    double harmonic;
    int numerator;
};
std::vector<EnvelopeZero> EnvelopeZerosWithin(PulseShape shape, double dutyCycle, double span,
                                              std::size_t most);

// The envelope of the line spectrum for amplitude V and duty cycle D: the shape's at |V|, |D|.
double PulseEnvelope(PulseShape shape, double amplitude, double dutyCycle, double x);
