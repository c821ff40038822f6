// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "graph_plot.h"

#include "draw_graphs.h"
#include "harmonic_by_harmonic.h"
#include "harmonic_sum_layer.h"
#include "measure_labels.h"
#include "plot_layers.h"
#include "plot_overlays.h"
#include "spectrum_views.h"

#include "ui/graph_window/plot_geometry/cursor_readout.h"
#include "ui/graph_window/plot_geometry/harmonic_lines.h"
#include "ui/long_work/task_gate.h"
#include "ui/window_texts.h"

#include "core/spectrum/spectrum.h"
#include "core/state/analysis_state.h"

#include <QAction>
#include <QKeySequence>

GraphPlot::GraphPlot(QWidget &window, QWidget &client, PlotArea &plot, QLabel &sumKey,
                     AnalysisState &state, MessageBox &messages, TaskGate &tasks,
                     std::function<void()> viewChanged)
    : plot_(plot), state_(state), window_(window), messages_(messages), tasks_(tasks),
      layers_(std::make_unique<LayerEntries>(window)),
      // The measures are labels beside the plot, not a layer of it: their entry is their own.
      measures_(std::make_unique<MeasureLabels>(
          client,
          *CheckableEntry(window, UiText::Measures, "MeasuresAction",
                          QKeySequence(Qt::CTRL | Qt::Key_M)))),
      overlays_(new PlotOverlays(window, plot, shown_, tasks, [this] { return views_->Scale(); })),
      harmonicSum_(new HarmonicSumLayer(window, *layers_->Entry(PlotLayer::Sum), plot, sumKey,
                                        shown_, messages, tasks, *overlays_)),
      oneByOne_(new HarmonicByHarmonic(window, *layers_->Entry(PlotLayer::Highlight), plot, shown_,
                                       *overlays_)),
      views_(new SpectrumViews(window, client, *layers_, shown_, tasks))
{
    // Every layer over the graphs, given to the one that draws them.
    overlays_->Add(PlotLayer::Sum, *harmonicSum_);
    overlays_->Add(PlotLayer::PaleLines, harmonicSum_->PaleLinesLayer());
    overlays_->Add(PlotLayer::Highlight, *oneByOne_);
    QObject::connect(views_, &SpectrumViews::Changed, views_, std::move(viewChanged));
}

GraphPlot::~GraphPlot() = default;

QList<QAction *> GraphPlot::LayerActions() const
{
    return {harmonicSum_->Action(), oneByOne_->Action()};
}

QList<QAction *> GraphPlot::ViewActions() const
{
    return views_->Actions() << measures_->Action();
}

QList<QLabel *> GraphPlot::ViewKeys() const
{
    return {views_->EnvelopeKey(), views_->KeptScaleKey(), views_->BelowFloorKey()};
}

bool GraphPlot::Draw()
{
    FindSpectrumPeak(state_);
    bool made = false;
    {
        // The gate held while the output is made, where the caller does not hold it already.
        const TaskGate::Pass pass(tasks_);
        made = shown_.Follow(tasks_, &window_, messages_);
    }
    DrawAnalysis(shown_, {plot_, *views_, *layers_, *measures_, *overlays_});
    return made;
}

void GraphPlot::NextDrawingResized()
{
    overlays_->NextDrawingResized();
}

QImage GraphPlot::PictureOf(const PlotStyle &style)
{
    // A plot of its own, the size of the window's, never shown; a child of the same widget, so
    // that it takes the window's screen and its pixels per point.
    PlotArea apart(plot_.parentWidget());
    apart.hide();
    apart.SetBackColor(plot_.BackColor());
    apart.setGeometry(plot_.geometry());
    apart.SetStyle(style);
    if (!state_.Samples.empty()) {
        FindSpectrumPeak(state_);
        shown_.Follow(tasks_, &window_, messages_);
        DrawGraphLayers(apart, shown_, views_->Scale(), *layers_, views_->SlopesDrawn());
        overlays_->DrawOn(apart);
    }
    return apart.Image();
}

std::vector<std::string> GraphPlot::EntriesOn() const
{
    std::vector<std::string> on;
    for (const QAction *entry : Entries()) {
        if (!entry->isCheckable() || !entry->isChecked())
            continue;
        QString text = QString(entry->text()).remove('&');
        if (entry == harmonicSum_->Action() && !harmonicSum_->AddsEveryHarmonic())
            text += QStringLiteral(" (%1)").arg(harmonicSum_->KeyText().trimmed());
        // The measures are beside the plot, not in its picture.
        if (entry == measures_->Action())
            text += QStringLiteral(" (%1)").arg(measures_->Summary());
        on.push_back(text.toStdString());
    }
    return on;
}

GraphSetUp GraphPlot::SetUp() const
{
    GraphSetUp setUp;
    for (const QAction *entry : Entries())
        if (entry->isCheckable() && entry->isChecked())
            setUp.on << entry->objectName();
    if (views_->Kept())
        setUp.kept = *views_->Kept();
    setUp.floorDb = views_->ChosenFloor();
    return setUp;
}

void GraphPlot::Restore(const GraphSetUp &setUp)
{
    for (QAction *entry : Entries())
        if (entry->isCheckable() && setUp.on.contains(entry->objectName())
            && entry != views_->KeepScaleAction())
            entry->setChecked(true);
    if (setUp.kept)
        views_->Keep(*setUp.kept);
    if (setUp.floorDb)
        views_->ChooseFloor(setUp.floorDb);
}

std::optional<QString> GraphPlot::SignalReadout(float x, float y)
{
    AnalysisState &shown = shown_();
    if (!shown_.Filtered())
        RecallSignalPeak(shown);
    // The signal's scale alone: no decibels' floor to look for.
    const AnalysisState *reference = shown_.Reference();
    const double peak = SpectrumScale::Of(shown, SpectrumView::Moduli, views_->Kept(), std::nullopt,
                                          false, reference)
                            .SignalPeak();
    const auto text = ::SignalReadout(shown, x, y, LocaleDecimalSeparator(), peak);
    if (!text)
        return std::nullopt;
    QString readout = QString::fromStdU16String(*text);
    // The reference's value at the same instant, on a line of its own.
    if (reference)
        if (const auto held
            = ReferenceSignalReadout(shown, *reference, x, LocaleDecimalSeparator()))
            readout += QLatin1Char('\n') + QString::fromStdU16String(*held);
    return readout;
}

std::optional<QString> GraphPlot::SpectrumReadout(float x, float y)
{
    AnalysisState &shown = shown_();
    if (!shown_.Filtered())
        RecallSpectrumPeak(shown);
    const SpectrumScale scale = views_->Scale();
    const auto text = ::SpectrumReadout(shown, x, y, LocaleDecimalSeparator(), scale);
    if (!text)
        return std::nullopt;
    QString readout = QString::fromStdU16String(*text);
    // Through a filter, what the line nearest the cursor becomes, on a line of its own.
    const PixelMapping &mapping = plot_.Mapping();
    const auto k = shown_.Filtered()
        ? NearestLine(shown, mapping, mapping.Column(x),
                      LineReachPixels * plot_.Image().devicePixelRatio(), &scale)
        : std::nullopt;
    if (k) {
        if (const auto line
            = FilterLineReadout(shown_.Input(), shown_.Filter(), *k, LocaleDecimalSeparator()))
            readout += QLatin1Char('\n') + QString::fromStdU16String(*line);
    }
    // Over a line of the reference, both lines' values where both have one there.
    if (const AnalysisState *reference = shown_.Reference()) {
        const double reach = LineReachPixels * plot_.Image().devicePixelRatio();
        const double column = mapping.Column(x);
        const auto held = NearestLine(*reference, mapping, column, reach, &scale);
        const auto own = NearestLine(shown, mapping, column, reach, &scale);
        const auto heldLine
            = held ? HarmonicReadout(*reference, *held, LocaleDecimalSeparator()) : std::nullopt;
        if (heldLine) {
            if (const auto ownLine
                = own ? HarmonicReadout(shown, *own, LocaleDecimalSeparator()) : std::nullopt)
                readout += QLatin1Char('\n') + QString::fromStdU16String(*ownLine);
            readout += QLatin1Char('\n')
                + QTextOf(UiText::ReferenceReadout).arg(QString::fromStdU16String(*heldLine));
        }
    }
    // The harmonic pointed at, one by one, on a line of its own.
    const auto line = oneByOne_->Pointed(x);
    return readout + (line ? QLatin1Char('\n') + *line : QString());
}
