// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The measures of the analysis drawn, beside the plot between the two option buttons, in the rows
// the list of results gives them (the RMS value, the DC component, the THD and the share of the
// power in the harmonics shown), each a caption over a value, as the classic labels show results.
#pragma once

#include "core/state/result_list.h"

#include <array>

struct AnalysisState;
class QAction;
class QLabel;
class QString;
class QWidget;

class MeasureLabels
{
public:
    // The labels hidden; `entry`, "Misure" (Ctrl+M), unchecked, shows them: the window opens as
    // it always has.
    MeasureLabels(QWidget &window, QAction &entry);

    QAction *Action() const { return action_; }

    // The value labels: Label5 (RMS), Label7 (DC), Label9 (THD) and Label11 (power share).
    const std::array<QLabel *, PanelRows> &Values() const { return values_; }

    // Shows the measures of the analysis just drawn; `filtered`, those of a filter's output,
    // under the captions that say so; with a `reference` held, each beside the reference's:
    // "7.07E+00 V   rif. 5.00E+00 V".
    void Show(const AnalysisState &state, bool filtered = false,
              const AnalysisState *reference = nullptr);
    // The measures shown, each its caption and value, for a picture's caption: "valore efficace
    // 7.07 V / componente continua 3.18 V / …".
    QString Summary() const;

private:
    std::array<QLabel *, PanelRows> values_;
    std::array<QLabel *, PanelRows> captions_;
    QAction *action_;
};
