// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/spectrum/pulse_shapes.h"

#include "core/spectrum/spectrum.h"

#include <cmath>
#include <numbers>

namespace {

using std::numbers::pi;

// sin(pi x) / (pi x), 1 at 0.
double Sinc(double x)
{
    return x == 0 ? 1 : std::sin(pi * x) / (pi * x);
}

// Whether sample t lies on the pulse's end N D. A duty cycle typed in decimals whose N D is whole
// is seldom whole in binary: D = 0.07 at N = 10000 gives 700.0000000000001, as D and the product
// each round. So a sample a few units in the last place from N D is on the end.
bool OnTheEnd(double t, double nd)
{
    constexpr double Ulps = 4;
    return std::abs(t - nd) <= Ulps * (std::nextafter(nd, HUGE_VAL) - nd);
}

// The half-sine keeps the definition's formula at every index inside the pulse, to the bit; past
// the pulse, at the index RoundToCount(N D) may reach, the formula would be negative: 0 there.
double HalfSineFromSine(std::int64_t i, double nd, double sine)
{
    return static_cast<double>(i) > nd ? 0 : sine;
}

double HalfSineSample(std::int64_t i, double nd, bool)
{
    return HalfSineFromSine(i, nd, std::sin((static_cast<double>(i) * PI) / nd));
}

// (4 v d / pi) |cos(pi x d)| / |1 - u^2| with u = 2 x d, v d where u = 1 (the limit there).
double HalfSineEnvelope(double v, double d, double x)
{
    const double u = 2 * x * d;
    // Near u = 1 both cos(pi u / 2) and 1 - u^2 vanish: cos(pi u / 2) / (1 - u^2) =
    // sin(pi e / 2) / (e (2 + e)) with e = u - 1 keeps its digits, and tends to pi / 4.
    const double e = u - 1;
    if (std::abs(e) < 1e-4) {
        const double ratio = std::abs(e) < 1e-300 ? pi / 4 : std::sin(pi * e / 2) / (e * (2 + e));
        return 4 * v * d / pi * std::abs(ratio);
    }
    return 4 * v * d / pi * std::abs(std::cos(pi * x * d)) / std::abs(1 - u * u);
}

double RectangularSample(std::int64_t i, double nd, bool joined)
{
    const double t = static_cast<double>(i);
    if (i == 0)
        return joined ? 1 : 0.5;
    return OnTheEnd(t, nd) ? 0.5 : t < nd ? 1 : 0;
}

// 2 v d |sinc(x d)|.
double RectangularEnvelope(double v, double d, double x)
{
    return 2 * v * d * std::abs(Sinc(x * d));
}

double TriangularSample(std::int64_t i, double nd, bool)
{
    const double u = (2 * static_cast<double>(i)) / nd;
    return u <= 1 ? u : u < 2 ? 2 - u : 0;
}

// v d sinc^2(x d / 2).
double TriangularEnvelope(double v, double d, double x)
{
    const double s = Sinc(x * d / 2);
    return v * d * s * s;
}

double SawtoothSample(std::int64_t i, double nd, bool joined)
{
    const double t = static_cast<double>(i);
    if (i == 0)
        return joined ? 0.5 : 0;
    return OnTheEnd(t, nd) ? 0.5 : t < nd ? t / nd : 0;
}

// With theta = 2 pi x d: (2 v d / theta^2) |(1 + i theta) e^(-i theta) - 1|, written as
// sqrt((theta c - 2 s)^2 + (theta s)^2) with c, s the cosine and sine of theta / 2, where the
// second square carries the digits as theta goes to 0 and the envelope to v d.
double SawtoothEnvelope(double v, double d, double x)
{
    const double theta = 2 * pi * x * d;
    if (theta < 1e-3)
        return v * d * std::sqrt(1 - theta * theta / 18);
    const double c = std::cos(theta / 2), s = std::sin(theta / 2);
    return 2 * v * d * std::hypot(theta * c - 2 * s, theta * s) / (theta * theta);
}

double RaisedCosineFromSine(std::int64_t i, double nd, double sine)
{
    return static_cast<double>(i) > nd ? 0 : sine * sine;
}

double RaisedCosineSample(std::int64_t i, double nd, bool)
{
    return RaisedCosineFromSine(i, nd, std::sin((static_cast<double>(i) * PI) / nd));
}

// v d |sinc(x d)| / |1 - (x d)^2|; near x d = 1, with e = x d - 1,
// v d |sinc(e)| / ((1 + e)(2 + e)), which tends to v d / 2.
double RaisedCosineEnvelope(double v, double d, double x)
{
    const double u = x * d, e = u - 1;
    if (std::abs(e) < 0.5)
        return v * d * std::abs(Sinc(e)) / ((1 + e) * (2 + e));
    return v * d * std::abs(Sinc(u)) / std::abs(1 - u * u);
}

constexpr PulseShapeMath ShapeTable[] = {
    // cos(pi x d) = 0 where x d = 3/2, 5/2, ... (x d = 1/2 is the 0/0 above)
    {PulseShape::HalfSine, HalfSineSample, HalfSineEnvelope, HalfSineFromSine, {3, 2, 2}},
    // sinc(x d) = 0 where x d = 1, 2, ...
    {PulseShape::Rectangular, RectangularSample, RectangularEnvelope, nullptr, {1, 1, 1}},
    // sinc^2(x d / 2) = 0 where x d = 2, 4, ...
    {PulseShape::Triangular, TriangularSample, TriangularEnvelope, nullptr, {2, 2, 1}},
    {PulseShape::Sawtooth, SawtoothSample, SawtoothEnvelope},
    // sinc(x d) = 0 where x d = 2, 3, ... (x d = 1 is the 0/0 above)
    {PulseShape::RaisedCosine,
     RaisedCosineSample,
     RaisedCosineEnvelope,
     RaisedCosineFromSine,
     {2, 1, 1}},
};
static_assert(std::size(ShapeTable) == std::size(PulseShapeTable));

} // namespace

const PulseShapeMath &MathOf(PulseShape shape)
{
    return ShapeTable[static_cast<std::size_t>(shape)];
}

std::vector<EnvelopeZero> EnvelopeZerosWithin(PulseShape shape, double dutyCycle, double span,
                                              std::size_t most)
{
    const EnvelopeZeros zeros = MathOf(shape).zeros;
    const double d = std::abs(dutyCycle);
    std::vector<EnvelopeZero> found;
    if (zeros.step == 0 || !(d > 0) || !(span > 0) || !std::isfinite(span / d))
        return found;
    // The count first, so that a narrow pulse's thousands of zeros are never listed.
    const double count
        = std::floor((span * d * zeros.denominator - zeros.first) / zeros.step + 1e-9) + 1;
    if (!(count >= 1) || count > static_cast<double>(most))
        return found;
    for (int n = zeros.first; found.size() < static_cast<std::size_t>(count); n += zeros.step)
        found.push_back({static_cast<double>(n) / zeros.denominator / d, n});
    return found;
}

double PulseEnvelope(PulseShape shape, double amplitude, double dutyCycle, double x)
{
    return MathOf(shape).envelope(std::abs(amplitude), std::abs(dutyCycle), x);
}
