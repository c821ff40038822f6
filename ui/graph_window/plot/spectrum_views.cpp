// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "spectrum_views.h"

#include "shown_analysis.h"

#include "key_label.h"
#include "plot_layers.h"

#include "ui/classic/classic_controls.h"
#include "ui/graph_window/plot_geometry/plot_palette.h"
#include "ui/long_work/task_gate.h"
#include "ui/window_texts.h"

#include "core/spectrum/spectrum.h"
#include "core/state/analysis_state.h"

#include <QAction>
#include <QActionGroup>
#include <QLabel>
#include <QMenu>
#include <QSignalBlocker>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace {

// The name of the floor's entry: "DecibelFloor60" for -60 dB, "DecibelFloorAutomatic".
QString FloorEntryName(std::optional<double> floorDb)
{
    return floorDb ? QStringLiteral("DecibelFloor%1").arg(-*floorDb)
                   : QStringLiteral("DecibelFloorAutomatic");
}

} // namespace

SpectrumViews::SpectrumViews(QWidget &window, QWidget &client, const LayerEntries &layers,
                             ShownAnalysis &shown, TaskGate &tasks)
    : QObject(&window), tasks_(tasks), shown_(shown)
{
    const auto follow = [&](QAction *action) {
        connect(action, &QAction::toggled, this, [this, action](bool on) { Toggled(action, on); });
        return action;
    };
    const auto entry = [&](UiText text, const char *name, QKeySequence keys) {
        return follow(CheckableEntry(window, text, name, keys));
    };
    decibels_ = entry(UiText::DecibelScale, "DecibelScaleAction", Qt::CTRL | Qt::Key_D);
    phases_ = entry(UiText::PhaseSpectrum, "PhaseSpectrumAction", Qt::CTRL | Qt::Key_F);
    envelope_ = follow(layers.Entry(PlotLayer::Envelope));
    axisValues_ = follow(layers.Entry(PlotLayer::AxisValues));
    keepScale_ = entry(UiText::KeepScale, "KeepScaleAction", Qt::CTRL | Qt::Key_K);
    logFrequency_ = entry(UiText::LogFrequency, "LogFrequencyAction", Qt::CTRL | Qt::Key_L);
    slopes_ = entry(UiText::SlopeLines, "SlopeLinesAction", Qt::CTRL | Qt::Key_J);
    key_ = AddKeyLabel(&client, "Label12", QTextOf(UiText::EnvelopeKey), {15240, 8040, 3135, 375},
                       8.25, PlotPalette::Envelope);
    key_->hide();
    keptKey_ = AddKeyLabel(&client, "Label13", QTextOf(UiText::KeptScaleKey),
                           {15240, 8430, 3135, 375}, 8.25, PlotPalette::Spectrum);
    keptKey_->hide();
    // Beside the spectrum's button, in two lines where one does not hold it.
    floorKey_ = AddKeyLabel(&client, "Label14", QString(), {16020, 8880, 2460, 615}, 8.25,
                            PlotPalette::Spectrum);
    floorKey_->setWordWrap(true);
    floorKey_->hide();

    floorMenu_ = new QMenu(QTextOf(UiText::DecibelFloorMenu), &window);
    floorMenu_->setObjectName("DecibelFloorMenu");
    auto *floors = new QActionGroup(floorMenu_);
    const auto choice = [&](const QString &text, std::optional<double> floorDb) {
        QAction *entry = floorMenu_->addAction(text);
        entry->setObjectName(FloorEntryName(floorDb));
        entry->setCheckable(true);
        entry->setChecked(!floorDb);
        floors->addAction(entry);
        connect(entry, &QAction::triggered, this, [this, floorDb] { ChooseFloor(floorDb); });
    };
    choice(QTextOf(UiText::AutomaticFloor), std::nullopt);
    for (const double floorDb : ChosenDecibelFloors)
        choice(QTextOf(UiText::FloorLevel).arg(LocaleNumber(floorDb, ScaleValue(0))), floorDb);
}

QList<QAction *> SpectrumViews::Actions() const
{
    return {decibels_,  phases_,       envelope_, axisValues_,
            keepScale_, logFrequency_, slopes_,   floorMenu_->menuAction()};
}

void SpectrumViews::ChooseFloor(std::optional<double> floorDb)
{
    const TaskGate::Pass pass(tasks_);
    // While another long task runs the choice stays as it was.
    if (pass)
        chosenFloor_ = floorDb;
    for (QAction *entry : floorMenu_->actions()) {
        const QSignalBlocker quiet(entry);
        entry->setChecked(entry->objectName() == FloorEntryName(chosenFloor_));
    }
    if (pass)
        emit Changed();
}

SpectrumScale SpectrumViews::Scale() const
{
    return SpectrumScale::Of(shown_(), View(), Kept(), chosenFloor_, logFrequency_->isChecked(),
                             shown_.Reference());
}

bool SpectrumViews::SlopesDrawn() const
{
    return slopes_->isChecked() && logFrequency_->isChecked() && View() == SpectrumView::Decibels;
}

SpectrumView SpectrumViews::View() const
{
    return decibels_->isChecked() ? SpectrumView::Decibels
        : phases_->isChecked()    ? SpectrumView::Phases
                                  : SpectrumView::Moduli;
}

void SpectrumViews::ScaleDrawn(const AnalysisState &state, const SpectrumScale &scale)
{
    const AnalysisState *reference = shown_.Reference();
    const std::int64_t below = LinesBelowFloor(state, reference, scale);
    floorKey_->setText(below == 1 ? QTextOf(UiText::BelowFloorOneKey)
                                  : QTextOf(UiText::BelowFloorKey).arg(below));
    floorKey_->setVisible(below > 0);
    if (!kept_) {
        keptKey_->hide();
        return;
    }
    // The lines past the kept span's right edge are not drawn: the key counts them.
    std::int64_t left = HarmonicsHeld(state) - scale.LinesInSpan(state);
    if (reference)
        left += HarmonicsHeld(*reference) - scale.LinesInSpan(*reference);
    keptKey_->setText(left == 0       ? QTextOf(UiText::KeptScaleKey)
                          : left == 1 ? QTextOf(UiText::KeptScaleHidesOneKey)
                                      : QTextOf(UiText::KeptScaleHidesKey).arg(left));
    keptKey_->show();
}

void SpectrumViews::Keep(const KeptScale &kept)
{
    const QSignalBlocker quiet(keepScale_);
    keepScale_->setChecked(true);
    kept_ = kept;
}

void SpectrumViews::EnvelopeDrawn(bool drawn)
{
    key_->setVisible(drawn);
}

void SpectrumViews::Toggled(QAction *action, bool on)
{
    const TaskGate::Pass pass(tasks_);
    if (!pass) { // another long task runs: the entries stay as they were
        const QSignalBlocker quiet(action);
        action->setChecked(!on);
        return;
    }
    // The scales of the analysis shown now, as it was drawn.
    if (action == keepScale_) {
        kept_.reset();
        if (on)
            kept_ = KeepScale(shown_(), shown_.Reference());
    }
    // One view at a time: turning one on turns the other off, and the graphs are drawn once.
    if (on && (action == decibels_ || action == phases_))
        for (QAction *other : {decibels_, phases_})
            if (other != action) {
                const QSignalBlocker quiet(other);
                other->setChecked(false);
            }
    emit Changed();
}
