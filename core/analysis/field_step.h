// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Stepping a field, as an instrument's knob steps: the Up and Down arrows and the mouse wheel take
// one step, Page Up and Page Down ten. Each field has the step and limits its row of the parameter
// table declares (core/state/parameter_table.h). A step never writes a value the checks would
// refuse: at a limit it stops there, and a field whose text the checks refuse does not step at all.
#pragma once

#include "core/texts/fields.h"

#include <cstdint>
#include <optional>
#include <string>

// One field's step and the range it steps within (besides what the checks refuse).
struct FieldStep
{
    double size;
    double low;
    double high;
};

FieldStep StepOf(Field field);

// The text of `field` after `steps` steps (down when negative), given every field's text (a
// limit of one may depend on another: M on N, z on N) and the free memory the checks weigh N
// against. Written with the decimals of the typed text or of the step, whichever has more, with a
// point before them as the fields take it, and no trailing zeros. Nothing when the field's text is
// one the checks refuse or the step leaves the value as it is.
std::optional<std::u16string> SteppedText(Field field, const FieldTexts &texts, int steps,
                                          std::uint64_t availableMemory);

// The digits after the point that a typed text means: "0.25" 2, "5E-3" 3, "1.5E2" 0.
int DecimalsOf(const std::u16string &text);
// A stepped value as a field takes it: `decimals` after a point, no trailing zeros; the shortest
// text that reads back from 1E15 on.
std::u16string SteppedWriting(double value, int decimals);
