// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// A picture of the graphs for slides: the plot drawn at a chosen scale, sharp on a projector,
// with a caption in Italian under it if wanted.
#pragma once

#include <QColor>
#include <QImage>
#include <QList>
#include <QPair>
#include <QString>

#include <optional>

class QSize;
class QWidget;

struct SlideChoice
{
    int scale = 3; // the plot drawn with this many times the screen's pixels each way
    bool caption = true;
};

// The scales offered.
constexpr int SlideScales[] = {2, 3, 4};

// What a picture of the plot says under it: the caption (the shape, its parameters and what is
// shown) and the key of the colours drawn, each text in its colour.
struct PictureNotes
{
    QString caption;
    QList<QPair<QString, QColor>> keys;
};

// The plot's picture with its notes in a white band under it, the key's line then the caption's,
// their text as large, for the picture's scale, as the window's 12-point keys; the picture alone
// when it has no notes.
QImage WithNotes(const QImage &plot, const PictureNotes &notes, int scale);

// Asks for the scale and the caption, the plot being `plotSize` pixels on the screen; nothing
// when the user gives up.
std::optional<SlideChoice> AskSlideChoice(QWidget *parent, QSize plotSize);
