// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The filters the pulse train may go through, each declared once: its Italian name, its
// parameters and its frequency response H(jf). A new filter is one row here and its response.
#pragma once

#include <array>
#include <complex>
#include <cstdint>
#include <span>
#include <string_view>

enum class FilterKind : std::uint8_t
{
    None, // the signal as it is: H = 1
    RcLowPass, // H = 1 / (1 + j f / fc)
    RcHighPass, // H = (j f / fc) / (1 + j f / fc)
    RlcBandPass, // series RLC, the output across R: H = 1 / (1 + j Q (f / f0 - f0 / f))
    SecondOrderLowPass, // H = 1 / (1 - (f / f0)^2 + j f / (Q f0))
};

// A filter chosen with its parameters: the characteristic frequency (the cut-off fc or the
// centre f0) in Hz, as the analysis stores frequencies, and the quality factor Q where the filter
// has one.
struct FilterSettings
{
    FilterKind kind = FilterKind::None;
    double frequency = 0; // Hz
    double quality = 0;

    bool operator==(const FilterSettings &) const = default;
};

// One of a filter's parameters, as its field shows it (UTF-8).
struct FilterParameter
{
    std::string_view symbol; // "fc", "f0", "Q"
    std::string_view unit; // "kHz", or empty for a pure number
    std::string_view name; // what it is, after the symbol in the field's accessible name
    std::string_view firstText; // the field's text when the filter is first chosen
    // Up and Down take one step, Page Up and Page Down ten, within [low, high], as a field's do.
    double step = 1;
    double low = 1;
    double high = 1;
    int decimals = 0; // the fewest a stepped value is written with
    // The stored value per typed unit: 1000 Hz per kHz, 1 for Q.
    double scale = 1;
};

struct FilterDeclaration
{
    FilterKind kind;
    std::string_view name; // in the menus and the exports' parameters row
    int parameterCount; // 0 to 2: the frequency, then Q
    std::array<FilterParameter, 2> parameters;
};

inline constexpr FilterDeclaration FilterTable[] = {
    {FilterKind::None, "nessuno", 0, {}},
    {FilterKind::RcLowPass,
     "passa-basso RC",
     1,
     {{{"fc", "kHz", "frequenza di taglio", "500", 1, 1, 1e9, 0, 1000}, {}}}},
    {FilterKind::RcHighPass,
     "passa-alto RC",
     1,
     {{{"fc", "kHz", "frequenza di taglio", "500", 1, 1, 1e9, 0, 1000}, {}}}},
    {FilterKind::RlcBandPass,
     "passa-banda RLC serie",
     2,
     {{{"f0", "kHz", "frequenza di centro banda", "300", 1, 1, 1e9, 0, 1000},
       {"Q", "", "fattore di merito", "10", 0.1, 0.1, 1e6, 1, 1}}}},
    {FilterKind::SecondOrderLowPass,
     "passa-basso del secondo ordine",
     2,
     {{{"f0", "kHz", "frequenza propria", "500", 1, 1, 1e9, 0, 1000},
       {"Q", "", "fattore di merito", "0.707", 0.1, 0.1, 1e6, 1, 1}}}},
};

inline constexpr std::span<const FilterDeclaration> Filters {FilterTable};

constexpr const FilterDeclaration &DeclarationOf(FilterKind kind)
{
    return FilterTable[static_cast<std::size_t>(kind)];
}

// The rows stand in the kinds' order, so that DeclarationOf finds each.
static_assert([] {
    for (std::size_t f = 0; f < std::size(FilterTable); ++f)
        if (static_cast<std::size_t>(FilterTable[f].kind) != f)
            return false;
    return true;
}());

// H(jf) at `hertz` >= 0 for the filter and its parameters (the frequency and Q above 0): each
// written so that it is finite at f = 0 and far from the characteristic frequency. 1 for none.
std::complex<double> FilterResponse(const FilterSettings &filter, double hertz);

// The largest |H(jf)| over f >= 0: 1, but for the second-order low-pass of Q above 1 / sqrt(2),
// whose resonance peaks at Q / sqrt(1 - 1 / (4 Q^2)).
double ResponsePeak(const FilterSettings &filter);

// A harmonic a cos(x) + b sin(x) through H: the real part of (a - j b) H e^{jx}, so that its
// coefficients become those of (a - j b) H = a' - j b'.
struct FilteredHarmonic
{
    double cos;
    double sin;
};
inline FilteredHarmonic Filtered(double a, double b, std::complex<double> response)
{
    const std::complex<double> y = std::complex<double>(a, -b) * response;
    return {y.real(), -y.imag()};
}
