// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The plot as named layers, in the one order they are painted, bottom first, and the one place
// their checkable entries are made. The graphs' layers are drawn with each analysis
// (DrawAnalysis); the layers over the graphs are redrawn on their own over a copy of the graphs
// beneath (PlotOverlays), so that a step of the sum or of the highlight redraws only them.
#pragma once

#include "core/texts/messages.h"

#include <Qt>

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

class QAction;
class QKeySequence;
class QWidget;

enum class PlotLayer
{
    Signal, // the trace of the samples over the periods drawn
    SpectrumLines, // the line of each harmonic, with the view's grid under them
    Envelope, // the spectrum of one pulse over the lines
    DcLine, // the DC component's three segments, on top of every line
    AxisValues, // numbers and units on both graphs' scales
    Sum, // the sum of the harmonics over the signal
    PaleLines, // the lines the sum leaves out, paler
    Highlight, // the harmonic pointed at, its line and its own wave
};

struct LayerDeclaration
{
    PlotLayer layer;
    std::string_view name;
    // Redrawn on its own over the graphs beneath, rather than with them.
    bool overGraphs = false;
    // The checkable entry that turns it on, Ctrl and the key; none for a layer always drawn or
    // turned on with another's entry.
    std::optional<UiText> entry = std::nullopt;
    const char *objectName = nullptr;
    Qt::Key key = Qt::Key_unknown;
    // The layer whose entry turns this one on: itself, or the one it comes with.
    std::optional<PlotLayer> with = std::nullopt;
};

// The paint order, bottom first.
inline constexpr std::array<LayerDeclaration, 8> PaintOrder = {{
    {.layer = PlotLayer::Signal, .name = "signal"},
    {.layer = PlotLayer::SpectrumLines, .name = "spectrum lines"},
    {.layer = PlotLayer::Envelope,
     .name = "envelope",
     .entry = UiText::Envelope,
     .objectName = "EnvelopeAction",
     .key = Qt::Key_E},
    {.layer = PlotLayer::DcLine, .name = "DC line"},
    {.layer = PlotLayer::AxisValues,
     .name = "axis values",
     .entry = UiText::AxisValues,
     .objectName = "AxisValuesAction",
     .key = Qt::Key_T},
    {.layer = PlotLayer::Sum,
     .name = "sum",
     .overGraphs = true,
     .entry = UiText::HarmonicSum,
     .objectName = "HarmonicSumAction",
     .key = Qt::Key_R},
    {.layer = PlotLayer::PaleLines,
     .name = "pale lines",
     .overGraphs = true,
     .with = PlotLayer::Sum},
    {.layer = PlotLayer::Highlight,
     .name = "highlighted harmonic",
     .overGraphs = true,
     .entry = UiText::HarmonicByHarmonic,
     .objectName = "HarmonicByHarmonicAction",
     .key = Qt::Key_U},
}};

constexpr std::size_t PaintPlace(PlotLayer layer)
{
    for (std::size_t place = 0; place < PaintOrder.size(); ++place)
        if (PaintOrder[place].layer == layer)
            return place;
    throw "not a layer";
}

// The enumeration is the paint order: a layer's place is its value.
static_assert([] {
    for (std::size_t place = 0; place < PaintOrder.size(); ++place)
        if (static_cast<std::size_t>(PaintOrder[place].layer) != place)
            return false;
    return true;
}());

// A checkable entry of the window, off, with its shortcut: the one way the plot's entries are
// made, the layers' and the views' alike.
QAction *CheckableEntry(QWidget &window, UiText text, const char *objectName,
                        const QKeySequence &keys);

// The layers' entries, made here together, each once; the parts that draw a layer take its
// entry from here.
class LayerEntries
{
public:
    explicit LayerEntries(QWidget &window);

    // The entry of a layer that has one.
    QAction *Entry(PlotLayer layer) const;
    // Whether the layer is drawn: always for a layer without an entry, else while the entry that
    // turns it on is checked.
    bool On(PlotLayer layer) const;

private:
    std::array<QAction *, PaintOrder.size()> entries_ {};
};
