// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The spectrum band's views, checkable entries of the plot's menu, off whenever the window opens:
// "Scala in dB" (Ctrl+D) and "Spettro di fase" (Ctrl+F), one at a time, and "Inviluppo"
// (Ctrl+E), the spectrum of one pulse over the lines. Turning one on or off asks for the graphs to
// be drawn again; "Valori sugli assi" (Ctrl+T), numbers and units on both graphs' scales; and
// "Mantieni la scala" (Ctrl+K), the scales of the analysis shown kept for the next ones; and the
// decibels' floor, the analysis's own or one chosen.
#pragma once

#include "ui/graph_window/plot_geometry/spectrum_scale.h"

#include <QList>

#include <QObject>
#include <optional>

class LayerEntries;
class QAction;
class QLabel;
class QMenu;
class QWidget;
class TaskGate;
struct AnalysisState;
class ShownAnalysis;

class SpectrumViews : public QObject
{
    Q_OBJECT
public:
    // `window` is the parent and carries the shortcuts, the keys stand on `client`; the
    // envelope's and the axis values' entries are the layers'. A view changes only while `tasks`
    // lets no long task run. Everything given must outlive the views.
    SpectrumViews(QWidget &window, QWidget &client, const LayerEntries &layers,
                  ShownAnalysis &shown, TaskGate &tasks);

    QAction *DecibelAction() const { return decibels_; }
    QAction *PhaseAction() const { return phases_; }
    QAction *EnvelopeAction() const { return envelope_; }
    QAction *AxisValuesAction() const { return axisValues_; }
    QAction *KeepScaleAction() const { return keepScale_; }
    // "Frequenze in scala logaritmica" (Ctrl+L), in every view; and "Pendenze -20 e -40
    // dB/decade" (Ctrl+J), the reference slopes through the first harmonic's top, drawn where
    // both the decibels and the logarithmic axis are on.
    QAction *LogFrequencyAction() const { return logFrequency_; }
    QAction *SlopesAction() const { return slopes_; }
    bool SlopesDrawn() const;
    // "Fondo scala in dB": "Automatico" (the analysis's own floor, checked at first) or one of
    // ChosenDecibelFloors, one at a time.
    QMenu *FloorMenu() const { return floorMenu_; }
    QList<QAction *> Actions() const;
    // The floor chosen; none for the automatic one.
    std::optional<double> ChosenFloor() const { return chosenFloor_; }
    void ChooseFloor(std::optional<double> floorDb);
    // The scales kept when "Mantieni la scala" was turned on; none while it is off.
    const KeptScale *Kept() const { return kept_ ? &*kept_ : nullptr; }
    // "Mantieni la scala" on with the scales a former window kept.
    void Keep(const KeptScale &kept);
    // The scale of the spectrum band now, kept or the analysis's own.
    SpectrumScale Scale() const;

    // What the spectrum band shows now.
    SpectrumView View() const;
    // The envelope's key (Label12, right of the plot above Option3), shown while it is drawn.
    QLabel *EnvelopeKey() const { return key_; }
    void EnvelopeDrawn(bool drawn);
    // The kept scale's key (Label13, below the envelope's), shown while the scale is kept: it
    // says so, and how many harmonics the kept frequency span leaves out of the plot.
    QLabel *KeptScaleKey() const { return keptKey_; }
    // The floor's key (Label14, right of Option3), shown in the decibels' view while lines
    // lie below the floor: it counts them.
    QLabel *BelowFloorKey() const { return floorKey_; }
    void ScaleDrawn(const AnalysisState &state, const SpectrumScale &scale);

signals:
    // A view was turned on or off, while the gate of long tasks is held: draw the graphs again.
    void Changed();

private:
    void Toggled(QAction *action, bool on);

    TaskGate &tasks_;
    QAction *decibels_;
    QAction *phases_;
    QAction *envelope_;
    QAction *axisValues_;
    QAction *keepScale_;
    QAction *logFrequency_;
    QAction *slopes_;
    QMenu *floorMenu_;
    std::optional<double> chosenFloor_;
    ShownAnalysis &shown_;
    std::optional<KeptScale> kept_;
    QLabel *key_;
    QLabel *keptKey_;
    QLabel *floorKey_;
};
