// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// A picture of the graphs for slides: the plot drawn at a chosen scale, sharp on a projector,
// with a caption in Italian under it if wanted.
#pragma once

#include <QImage>
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

// The plot's picture with the caption in a white band under it, its text as large, for the
// picture's scale, as the window's 12-point keys; the picture alone when the caption is empty.
QImage WithCaption(const QImage &plot, const QString &caption, int scale);

// Asks for the scale and the caption, the plot being `plotSize` pixels on the screen; nothing
// when the user gives up.
std::optional<SlideChoice> AskSlideChoice(QWidget *parent, QSize plotSize);
