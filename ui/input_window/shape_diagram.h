// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The input window's diagram, which is also where the pulse shape is chosen: a click, the Space,
// Enter or Menu key, or F4 opens the menu of shapes; the Up and Down arrows step through them. It
// shows the stored picture for the half-sine and draws every other shape in its style.
#pragma once

#include "core/texts/pulse_shapes.h"

#include <QLabel>

class QActionGroup;
class QMenu;

class ShapeDiagram : public QLabel
{
    Q_OBJECT
public:
    explicit ShapeDiagram(QWidget *parent);

    PulseShape Shape() const { return shape_; }
    void SetShape(PulseShape shape);
    // The user's choice, here or in the graph window's bar: shown, and told to the window.
    void Choose(PulseShape shape);
    // The menu of shapes, one checkable entry each (objectName "Forma" + its place in the list).
    QMenu *Menu() const { return menu_; }

signals:
    void shapeChosen(PulseShape shape);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    void OpenMenu(const QPoint &at);

    PulseShape shape_ = PulseShape::HalfSine;
    QMenu *menu_ = nullptr;
    QActionGroup *entries_ = nullptr;
};
