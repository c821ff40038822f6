// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The pulse shapes the program offers and their Italian names: one row each. Their samples and
// envelopes are in core/spectrum/pulse_shapes.h.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

// Every shape is zero outside its pulse, which starts at t = 0 and lasts Ti = D T.
enum class PulseShape : std::uint8_t
{
    HalfSine, // Vmax sin(pi t / Ti): the program's first shape, chosen at start
    Rectangular, // Vmax
    Triangular, // up to Vmax at Ti / 2 and back to 0 at Ti
    Sawtooth, // from 0 up to Vmax at Ti, then down at once
    RaisedCosine, // Vmax sin^2(pi t / Ti)
};

struct PulseShapeTexts
{
    PulseShape shape;
    // UTF-8, as the exports write them.
    std::string_view name; // in the menu (its first letter the accelerator), the exports
    std::string_view heading; // the input window's title label
    std::string_view diagram; // the diagram's accessible name
};

inline constexpr PulseShapeTexts PulseShapeTable[] = {
    {PulseShape::HalfSine, "semisinusoide",
     "Spettro di un segnale impulsivo senx periodico unipolare (serie di Fourier), semionda",
     "Schema del segnale: impulsi a semionda sinusoidale di ampiezza Vmax, durata Ti, periodo T"},
    {PulseShape::Rectangular, "rettangolare",
     "Spettro di un segnale impulsivo rettangolare periodico unipolare (serie di Fourier)",
     "Schema del segnale: impulsi rettangolari di ampiezza Vmax, durata Ti, periodo T"},
    {PulseShape::Triangular, "triangolare",
     "Spettro di un segnale impulsivo triangolare periodico unipolare (serie di Fourier)",
     "Schema del segnale: impulsi triangolari di ampiezza Vmax, durata Ti, periodo T"},
    {PulseShape::Sawtooth, "dente di sega",
     "Spettro di un segnale a dente di sega periodico unipolare (serie di Fourier)",
     "Schema del segnale: impulsi a dente di sega di ampiezza Vmax, durata Ti, periodo T"},
    {PulseShape::RaisedCosine, "coseno rialzato",
     "Spettro di un segnale impulsivo a coseno rialzato periodico unipolare (serie di Fourier)",
     "Schema del segnale: impulsi a coseno rialzato di ampiezza Vmax, durata Ti, periodo T"},
};

inline constexpr std::span<const PulseShapeTexts> PulseShapes {PulseShapeTable};

inline const PulseShapeTexts &TextsOf(PulseShape shape)
{
    return PulseShapeTable[static_cast<std::size_t>(shape)];
}

// What the exports and the captions write for a measured signal in place of the shape's name,
// before the file's name: "misurato: prova.csv".
inline constexpr std::string_view MeasuredSignalName = "misurato";
