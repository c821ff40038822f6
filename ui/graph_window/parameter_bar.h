// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The graph window's parameter bar: the pulse shape and the seven values in one row above the
// client area, as the menu bar stands, so that a lesson runs from the graph window alone. It is
// off until "Barra dei parametri" (Ctrl+B) turns it on; F2 puts the focus in it (turning it on),
// and Esc gives the focus back to the plot. Its fields are the input window's typed values, shown
// and edited here too: a step here is the same step there, and the graphs follow it.
#pragma once

#include "ui/classic/wheel_steps.h"

#include "core/texts/fields.h"
#include "core/texts/pulse_shapes.h"

#include <QString>
#include <QWidget>

#include <array>

class FilterChoice;
class QComboBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class Sweep;

// The one set of typed values, which the input window holds and the bar edits with it.
class SharedFields
{
public:
    virtual ~SharedFields() = default;
    virtual FieldTexts Texts() const = 0;
    // The field's text as the user typed it: it shows in both windows, and nothing else changes.
    virtual void Type(Field field, const QString &text) = 0;
    // `steps` steps of the field, as the input window's arrows, page keys and wheel take them.
    virtual void Step(Field field, int steps) = 0;
    virtual void Choose(PulseShape shape) = 0;
    // The typed values taken (Enter): the graphs follow them, or the checks' message says why not.
    virtual void Take() = 0;
    // Whether the graphs are still following a change: an analysis runs or waits to.
    virtual bool Following() const = 0;
};

// A field's tool tip (its steps, in its unit) and its accessible name, as every window gives them.
QString FieldStepToolTip(Field field);
QString FieldAccessibleName(Field field);

class ParameterBar : public QWidget
{
    Q_OBJECT
public:
    // `plot` takes the focus back on Esc. On the sweep's row, the filter's choice and its
    // parameters. All must outlive the bar.
    ParameterBar(SharedFields &values, FilterChoice &filter, QWidget &plot, QWidget *parent);

    // The texts and the shape shown again from the typed values, after either window changed them.
    void ShowValues();
    // The focus on the first field, its text selected.
    void TakeFocus();

    QLineEdit *Text(Field field) const { return fields_[static_cast<std::size_t>(field)]; }
    QComboBox *Shape() const { return shape_; }
    // The sweep, on the bar's second row.
    Sweep &Sweeping() const { return *sweep_; }
    // The filter's list and its parameters' fields (the frequency's, then Q's), shown as far as
    // the filter chosen has them.
    QComboBox *Filter() const { return filter_; }
    QLineEdit *FilterText(int parameter) const { return filterFields_[std::size_t(parameter)]; }
    // The filter's kind and texts shown again, after either window changed them.
    void ShowFilter();

protected:
    // The arrows, the page keys and the wheel over a field step it; Esc leaves the bar.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The filter's list and fields, at the end of `row`.
    void AddFilter(QHBoxLayout &row, const QString &keys);

    SharedFields &values_;
    QWidget &plot_;
    QComboBox *shape_;
    Sweep *sweep_;
    std::array<QLineEdit *, FieldCount> fields_ {};
    FilterChoice &filterChoice_;
    QComboBox *filter_;
    std::array<QLabel *, 2> filterSymbols_ {};
    std::array<QLineEdit *, 2> filterFields_ {};
    WheelSteps wheel_;
};
