// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// A mouse wheel's turns as whole steps: one notch (120 eighths of a degree) is one step, and a
// touchpad's finer turns add up until they make one. And the keys that step a field.
#pragma once

#include <QKeyEvent>
#include <QWheelEvent>

// The steps a key press takes a field: Up and Down one, Page Up and Page Down ten (down when
// negative); none for another key, or with a modifier held.
inline int KeySteps(const QKeyEvent &press)
{
    return press.modifiers() & ~Qt::KeypadModifier ? 0
        : press.key() == Qt::Key_Up                ? 1
        : press.key() == Qt::Key_Down              ? -1
        : press.key() == Qt::Key_PageUp            ? 10
        : press.key() == Qt::Key_PageDown          ? -10
                                                   : 0;
}

class WheelSteps
{
public:
    // The whole steps a turn of `eighths` (a wheel event's angleDelta().y()) completes, up (> 0)
    // or down; the rest is kept for the next turn.
    int Add(int eighths)
    {
        eighths_ += eighths;
        const int steps = eighths_ / Notch;
        eighths_ -= steps * Notch;
        return steps;
    }

private:
    static constexpr int Notch = 120;
    int eighths_ = 0;
};

// The steps an event over a field takes it: Up, Down, Page Up and Page Down (KeySteps), or a turn
// of the wheel (`wheel` keeps a touchpad's rest); and whether the field's event ends there: a
// wheel turn always does, a key only when it steps.
struct FieldEventSteps
{
    int steps = 0;
    bool taken = false;
};

inline FieldEventSteps StepsOf(QEvent &event, WheelSteps &wheel)
{
    if (event.type() == QEvent::KeyPress) {
        const int steps = KeySteps(static_cast<QKeyEvent &>(event));
        return {steps, steps != 0};
    }
    if (event.type() == QEvent::Wheel)
        return {wheel.Add(static_cast<QWheelEvent &>(event).angleDelta().y()), true};
    return {};
}
