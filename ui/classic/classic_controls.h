// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Controls placed and styled like the classic forms they come from: geometry in twips, the
// "MS Sans Serif" captions, opaque labels and option buttons.
#pragma once

#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>

class QLabel;
class QRadioButton;
class QWidget;

// 1440 twips to the inch, 96 pixels to the inch.
constexpr int TwipsPerPixel = 15;
constexpr int Twips(int twips)
{
    return twips / TwipsPerPixel;
}
constexpr QRect TwipsRect(int left, int top, int width, int height)
{
    return {Twips(left), Twips(top), Twips(width), Twips(height)};
}

// "MS Sans Serif" (mapped to a metric-compatible font present on the machine) at a size in
// points at 96 dpi, given in pixels so that captions fit their boxes whatever the screen's dpi.
QFont ClassicFont(double points, bool bold = true);

struct LabelLayout
{
    const char *name;
    QString caption;
    QRect twips; // left, top, width, height in twips
    double points;
    bool bold = true;
    QColor back = {}; // the system's button face when invalid
    QColor fore = {}; // the system's text colour when invalid
};

// An opaque label that keeps its size whatever its text and takes no focus.
QLabel *AddLabel(QWidget *parent, const LabelLayout &layout);

// Sets a widget's background role colour (Base for fields, Window for labels).
void SetBackColor(QWidget *widget, const QColor &color);

// An option button with a coloured caption; buttons standing on one window form one group.
QRadioButton *AddOptionButton(QWidget *parent, const char *name, const QString &caption,
                              QRect twips, const QColor &fore);
