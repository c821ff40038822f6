// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The command button of the classic forms: its face filled with its back colour.
#pragma once

#include <QPushButton>

class QColor;
class QString;

// A command button in the graphical style: the face is filled with its back colour, the
// caption wraps to the button's width.
class ClassicButton : public QPushButton
{
    Q_OBJECT
public:
    ClassicButton(const QString &caption, const QColor &backColor, QWidget *parent);

protected:
    void paintEvent(QPaintEvent *event) override;
};
