// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The envelope of the line spectrum: the continuous spectrum of one pulse, scaled as the lines
// are, in closed form.
#pragma once

// 2 / T times the modulus of the Fourier transform of one half-sine pulse of peak V lasting
// Ti = D T, at the frequency x / T (x harmonics, any real x >= 0). With
// p(t) = V sin(pi t / Ti) on [0, Ti],
//   P(f) = integral p(t) e^(-2 pi i f t) dt, |P(f)| = (2 V Ti / pi) |cos(pi f Ti)| / |1 - 4 f^2
//   Ti^2|,
// so the envelope is (4 |V| D / pi) |cos(pi x D)| / |1 - 4 x^2 D^2|, |V| D where 2 x D = 1 (the
// limit there). The line of harmonic k of the pulse train is its value at x = k: the lines sample
// the spectrum of one pulse.
double PulseEnvelope(double amplitude, double dutyCycle, double x);
