// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// A key of the plot: a bold label beside it, written in the colour of what it names.
#pragma once

#include "ui/classic/classic_controls.h"
#include "ui/graph_window/plot_geometry/plot_palette.h"

#include <QColor>
#include <QLabel>

inline QLabel *AddKeyLabel(QWidget *window, const char *name, const QString &caption,
                           const QRect &twips, double points, std::uint32_t colour)
{
    return AddLabel(window,
                    {name, caption, twips, points, true, QColor(),
                     QColor::fromRgb(PlotPalette::Opaque(colour))});
}
