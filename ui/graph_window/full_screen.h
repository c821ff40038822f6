// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The graph window's full screen, for a projector: the plot alone fills the screen, drawn at the
// screen's own resolution with lines and text read from the back of a classroom, and under it a
// strip with the keys shown. "Schermo intero" (F11) enters and leaves it; Esc leaves it.
#pragma once

#include "ui/graph_window/plot/graph_plot.h"

#include "ui/classic/coalesced_call.h"
#include <QFont>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QRect>

#include <algorithm>
#include <functional>

class PlotArea;
class QAction;
class QLabel;
class QShortcut;
class QWidget;

// Lines 3 pixels wide on a screen of 1080 rows, wider on a taller one, and text a fortieth of
// the screen's height.
struct FullScreenSizes
{
    int lineWidth;
    int textPixels;
};
constexpr FullScreenSizes FullScreenSizesFor(int screenHeight)
{
    const int width = std::max(3, (screenHeight / 360) | 1); // odd: a line has a middle
    return {width, (screenHeight + 39) / 40};
}

class FullScreenPlot : public QObject
{
    Q_OBJECT
public:
    // `plot` and the `keys` stand in `clientView`, the window's client area, which the full
    // screen hides with the menu bar; they go back to it, as they were, when it ends. The window
    // carries the entry and its keys. All must outlive this.
    // `bar`, if any, stands in the window's layout above the client area; the full screen shows
    // it in the strip, before the keys, and puts it back on top of the layout, hidden.
    // `redraw` draws the graphs again, at the plot's new size, once it has taken it.
    FullScreenPlot(QWidget &window, QWidget &clientView, PlotArea &plot, QList<QLabel *> keys,
                   QWidget *bar, std::function<void()> redraw);

    QAction *Action() const { return action_; }
    // The caption line under the plot while the screen is full (rich text: a key's colours may be
    // in it); kept for the next time otherwise.
    void SetCaption(const QString &caption);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Enter();
    void Leave();
    void QueueRedraw();

    QWidget &window_;
    QWidget &clientView_;
    PlotArea &plot_;
    QList<QLabel *> keys_;
    QWidget *bar_;
    QString captionText_;
    QPointer<QLabel> caption_; // on the stage, while on
    QFont barFont_;
    QAction *action_;
    QShortcut *escape_;
    // While on: the stage that holds the plot and the keys' strip, and where each stood.
    QPointer<QWidget> stage_;
    struct Place
    {
        QWidget *widget;
        QWidget *parent;
        QRect geometry;
        QFont font;
        bool wordWrap;
    };
    QList<Place> places_;
    PlotStyle found_; // the plot's, as found on entering
    std::function<void()> redraw_;
    CoalescedCall redrawQueued_ {*this, [this] { redraw_(); }};
};
