// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The parameter bar's sweep: one value (D unless another is chosen) stepped back and forth between
// two limits, one step a tick at the pace chosen, the graphs following each. It never falls
// behind: a tick that comes while the graphs of an earlier value are still being drawn skips its
// value, and the next drawn value is as far on as the ticks went. Any key or click stops it.
#pragma once

#include "for_tests.h"
#include "parameter_bar.h"

#include <QObject>
#include <QTimer>

class QAbstractButton;
class QComboBox;
class QDoubleSpinBox;
class QSpinBox;

class Sweep : public QObject
{
    Q_OBJECT
public:
    // The controls stand in `row`, a row of the bar; `values` is the bar's.
    Sweep(SharedFields &values, QWidget &row);

    QAbstractButton *Play() const { return play_; }
    QComboBox *Value() const { return value_; }
    QDoubleSpinBox *From() const { return from_; }
    QDoubleSpinBox *To() const { return to_; }
    bool Running() const;
    Field Swept() const;

    void Start();
    void Stop();
    // One tick of the pace: the next value, or, while the graphs are still being drawn, none.
    void Tick();
    // How many ticks' values were skipped since the sweep started.
    int Skipped() const { return skipped_; }

protected:
    // While the sweep runs, any key or click anywhere stops it (and does nothing else).
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The limits shown for the value chosen: D from 0.1 to 0.9, another ten steps either side.
    void ShowLimits();

    friend void testing_seam::StopTheClock(Sweep &sweep);

    SharedFields &values_;
    QAbstractButton *play_;
    QComboBox *value_;
    QDoubleSpinBox *from_;
    QDoubleSpinBox *to_;
    QSpinBox *pace_;
    QTimer clock_;
    bool timed_ = true; // the clock ticks; tests tick themselves
    int direction_ = 1; // up or down
    int pending_ = 0; // steps the ticks took that no drawn value has taken yet
    int skipped_ = 0;
};
