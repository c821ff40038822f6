// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The seven typed fields of the input window, in the order the commands check them.
#pragma once

#include "core/texts/pulse_shapes.h"

#include <array>
#include <cstddef>
#include <memory>
#include <span>
#include <string>
#include <string_view>

struct MeasuredSignal; // a signal opened from a file, which the state defines

// The fields keep the input window's classic control names; what each one holds, and the state
// field its text is converted into:
enum class Field
{
    Text1, // duty cycle D = Ti / T -> DutyCycle
    Text7, // amplitude Vmax [V] -> Amplitude
    Text12, // frequency f [kHz] -> Frequency, in Hz
    Text13, // samples per period N -> SampleCount, rounded
    Text3, // harmonics of the spectrum shown H -> HarmonicCount
    Text8, // periods of s(t) shown P -> PeriodCount
    Text2, // harmonic z whose modulus is shown (Command1 only) -> TargetHarmonic, rounded
};
constexpr std::size_t FieldCount = 7;

// What the user has typed and chosen: the texts of the seven fields, indexed by Field, the pulse
// shape and the measured signal opened, if any, which a command stores with the values.
class FieldTexts
{
public:
    PulseShape Shape = PulseShape::HalfSine;
    std::shared_ptr<const MeasuredSignal> Measured;

    std::u16string &operator[](Field f) { return texts_[static_cast<std::size_t>(f)]; }
    const std::u16string &operator[](Field f) const { return texts_[static_cast<std::size_t>(f)]; }

private:
    std::array<std::u16string, FieldCount> texts_;
};

// The control's name in the input window ("Text1", ...).
std::string_view FieldName(Field field);

// The harmonic modulus command checks all seven fields; the graphs command the first six.
constexpr std::array<Field, 7> HarmonicModulusFieldOrder
    = {Field::Text1, Field::Text7, Field::Text12, Field::Text13,
       Field::Text3, Field::Text8, Field::Text2};
constexpr std::span<const Field> GraphsFieldOrder(HarmonicModulusFieldOrder.data(), 6);
