// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later

// One harmonic at a time: the graph window's checkable entry "Armoniche una per una" (Ctrl+U).
// While it is on, the spectral line near the cursor, or the one Left and Right move to, is
// highlighted and its harmonic's own wave drawn over the signal; the tool-tip's second line and the
// plot's accessible description name it.
#pragma once

#include "plot_overlays.h"

#include "ui/graph_window/plot_geometry/column_spans.h"

#include <QObject>
#include <QString>

#include <cstdint>
#include <optional>

struct AnalysisState;
class ShownAnalysis;
class PlotArea;
class QAction;
class QShortcut;
class QWidget;

class HarmonicByHarmonic : public QObject, public OverGraphs
{
    Q_OBJECT
public:
    // Everything given must outlive this; `window` is its parent and carries the shortcuts.
    // `entry` turns it on. The drawing is a layer of `overlays`, on top of the sum.
    HarmonicByHarmonic(QWidget &window, QAction &entry, PlotArea &plot, ShownAnalysis &shown,
                       PlotOverlays &overlays);

    // The entry: checkable, off at first, Ctrl+U.
    QAction *Action() const { return action_; }
    // The harmonic highlighted; none until a line is pointed at or moved to.
    std::optional<std::int64_t> Highlighted() const { return highlighted_; }

    // The cursor at x (user coordinates) over the spectrum: the line within a few pixels is
    // highlighted, and the tool-tip's second line that names it returned. Nothing while the entry
    // is off or no line is that near.
    std::optional<QString> Pointed(float x);
    // The highlight `lines` lines to the right (to the left when negative), within the lines.
    void Move(int lines);

    // The layer over the graphs. Each redraw reads the analysis anew: the description follows it
    // as the drawing does.
    bool Shown() override;
    // The highlighted line and its wave, over what the plot shows.
    void Draw(PlotArea &plot) override;

private:
    void Toggled(bool on);
    void Highlight(std::int64_t k);
    void Describe();

    QWidget &window_;
    PlotArea &plot_;
    ShownAnalysis &shown_;
    PlotOverlays &overlays_;
    QAction *action_;
    QShortcut *left_;
    QShortcut *right_;
    std::optional<std::int64_t> highlighted_;
    // The wave of the highlighted harmonic, as drawn last, and what it was drawn from: the
    // redraws of the sum beneath it take it as it is.
    struct Wave
    {
        std::int64_t k = 0;
        const double *analysis = nullptr;
        double a = 0, b = 0, peak = 0, periods = 0;
        std::int32_t samples = 0;
        int width = 0, height = 0;
        ColumnSpans spans {0};
    } wave_;
};
