// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// A classic form's window in two parts: its menu bar above, and its client area below, where the
// controls stand at their twips. The window opens with the client area at its full size; on a
// screen too small for that, it opens to fit the screen and the client area scrolls.
#pragma once

#include <QSize>

class QMenuBar;
class QScrollArea;
class QWidget;

struct ClassicWindowParts
{
    QMenuBar *menuBar;
    // The client area, "ClientArea", of the given size in twips; the controls' parent.
    QWidget *client;
    // The client area's view: scroll bars only where the window is smaller than the client area.
    QScrollArea *view;
};

// Lays `window` out as a menu bar over a client area of `widthTwips` by `heightTwips`.
ClassicWindowParts AddClassicWindowParts(QWidget &window, int widthTwips, int heightTwips);

// Sizes `window`, its menus filled, to show its client area whole under the menu bar, or as much
// of it as the free part of the window's screen holds.
void OpenAtFittingSize(QWidget &window, const ClassicWindowParts &parts);

// The size a window whose menu bar is `menuBarHeight` pixels tall and whose client area is
// `client` opens at on a screen whose free part is `available`, the window's frame taking
// `frame` more: the whole when it fits, else the part that fits.
QSize OpeningSize(QSize client, int menuBarHeight, QSize available, QSize frame);
