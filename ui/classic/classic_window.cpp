// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "classic_window.h"

#include "classic_controls.h"

#include <QMenuBar>
#include <QScreen>
#include <QScrollArea>
#include <QVBoxLayout>
#include <QWidget>

namespace {

// A title bar and borders, before the window manager has framed the window and told their size.
constexpr QSize TypicalFrame(16, 39);

} // namespace

QSize OpeningSize(QSize client, int menuBarHeight, QSize available, QSize frame)
{
    const QSize whole(client.width(), client.height() + menuBarHeight);
    return whole.boundedTo(available - frame);
}

ClassicWindowParts AddClassicWindowParts(QWidget &window, int widthTwips, int heightTwips)
{
    auto *layout = new QVBoxLayout(&window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto *menuBar = new QMenuBar(&window);
    menuBar->setObjectName("MenuBar");
    layout->setMenuBar(menuBar);

    auto *view = new QScrollArea(&window);
    view->setObjectName("ClientView");
    view->setFrameShape(QFrame::NoFrame);
    // The scroll area is no stop of the Tab key, and the client area keeps its size.
    view->setFocusPolicy(Qt::NoFocus);
    view->setWidgetResizable(false);
    auto *client = new QWidget;
    client->setObjectName("ClientArea");
    client->setFixedSize(Twips(widthTwips), Twips(heightTwips));
    view->setWidget(client);
    layout->addWidget(view);
    return {menuBar, client, view};
}

void OpenAtFittingSize(QWidget &window, const ClassicWindowParts &parts)
{
    const QScreen *screen = window.screen();
    const QSize available = screen ? screen->availableGeometry().size() : QSize(1 << 16, 1 << 16);
    window.resize(OpeningSize(parts.client->size(), parts.menuBar->sizeHint().height(), available,
                              TypicalFrame));
}
