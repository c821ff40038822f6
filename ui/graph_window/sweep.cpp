// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "sweep.h"

#include "ui/window_texts.h"

#include "core/state/parameter_table.h"
#include "core/texts/number_text.h"

#include <QApplication>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QSpinBox>
#include <QToolButton>

#include <algorithm>
#include <cmath>

namespace {

// What a sweep may move: every parameter of the analysis, not z.
constexpr std::size_t SweptCount = FieldCount - 1;

// A limit's box; ShowLimits gives it the value's decimals, step and limits.
QDoubleSpinBox *LimitBox(QWidget &row, const char *name)
{
    auto *box = new QDoubleSpinBox(&row);
    box->setObjectName(name);
    box->setKeyboardTracking(false);
    return box;
}

} // namespace

Sweep::Sweep(SharedFields &values, QWidget &row) : QObject(&row), values_(values)
{
    auto *layout = static_cast<QHBoxLayout *>(row.layout());
    auto *play = new QToolButton(&row);
    play->setObjectName("BarSweep");
    play->setCheckable(true);
    play->setText(QTextOf(UiText::SweepPlay));
    play->setToolTip(QTextOf(UiText::SweepHint));
    play->setAccessibleName(QTextOf(UiText::SweepPlay));
    play_ = play;
    value_ = new QComboBox(&row);
    value_->setObjectName("BarSweepValue");
    value_->setAccessibleName(QTextOf(UiText::SweepValue));
    value_->setToolTip(QTextOf(UiText::SweepValue));
    for (std::size_t p = 0; p < SweptCount; ++p)
        value_->addItem(Utf8(ParameterTable[p].symbol));
    from_ = LimitBox(row, "BarSweepFrom");
    to_ = LimitBox(row, "BarSweepTo");
    from_->setAccessibleName(QTextOf(UiText::SweepFrom));
    to_->setAccessibleName(QTextOf(UiText::SweepTo));
    pace_ = new QSpinBox(&row);
    pace_->setObjectName("BarSweepPace");
    pace_->setRange(1, 60);
    pace_->setValue(20);
    pace_->setSuffix(QTextOf(UiText::SweepPaceUnit));
    pace_->setAccessibleName(QTextOf(UiText::SweepPace));
    pace_->setToolTip(QTextOf(UiText::SweepPace));

    layout->addWidget(play_);
    layout->addWidget(value_);
    layout->addWidget(new QLabel(QTextOf(UiText::SweepFrom), &row));
    layout->addWidget(from_);
    layout->addWidget(new QLabel(QTextOf(UiText::SweepTo), &row));
    layout->addWidget(to_);
    layout->addWidget(pace_);
    layout->addStretch();
    ShowLimits();

    connect(value_, &QComboBox::currentIndexChanged, this, [this] { ShowLimits(); });
    connect(play_, &QAbstractButton::toggled, this, [this](bool on) { on ? Start() : Stop(); });
    connect(pace_, &QSpinBox::valueChanged, this,
            [this](int pace) { clock_.setInterval(1000 / pace); });
    clock_.setInterval(1000 / pace_->value());
    connect(&clock_, &QTimer::timeout, this, &Sweep::Tick);
}

Field Sweep::Swept() const
{
    return ParameterTable[static_cast<std::size_t>(std::max(0, value_->currentIndex()))].field;
}

bool Sweep::Running() const
{
    return play_->isChecked();
}

void Sweep::ShowLimits()
{
    const ParameterDeclaration &parameter = ParameterOf(Swept());
    for (QDoubleSpinBox *box : {from_, to_}) {
        box->setDecimals(parameter.decimals);
        box->setSingleStep(parameter.step);
        box->setRange(parameter.low, parameter.high);
    }
    if (parameter.field == Field::Text1) {
        from_->setValue(0.1);
        to_->setValue(0.9);
        return;
    }
    const double now = Val(values_.Texts()[parameter.field]);
    from_->setValue(now - 10 * parameter.step);
    to_->setValue(now + 10 * parameter.step);
}

void Sweep::Start()
{
    play_->setChecked(true);
    direction_ = 1;
    pending_ = 0;
    skipped_ = 0;
    qApp->installEventFilter(this);
    if (timed_)
        clock_.start();
}

void Sweep::Stop()
{
    qApp->removeEventFilter(this);
    clock_.stop();
    play_->setChecked(false);
}

void Sweep::Tick()
{
    if (!Running())
        return;
    pending_ += direction_;
    if (values_.Following()) { // the graphs of an earlier value are still being drawn
        ++skipped_;
        return;
    }
    const Field field = Swept();
    const double step = ParameterOf(field).step;
    const double low = std::min(from_->value(), to_->value());
    const double high = std::max(from_->value(), to_->value());
    const double now = Val(values_.Texts()[field]);
    double target = now + pending_ * step;
    pending_ = 0;
    // Back at either limit, and from outside them into them.
    if (target >= high - step / 2) {
        target = high;
        direction_ = -1;
    } else if (target <= low + step / 2) {
        target = low;
        direction_ = 1;
    }
    const auto steps = static_cast<int>(std::lround((target - now) / step));
    if (steps != 0)
        values_.Step(field, steps);
}

bool Sweep::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        Stop();
        return true; // the key or the click stops the sweep, and only that
    default:
        return QObject::eventFilter(watched, event);
    }
}

void testing_seam::StopTheClock(Sweep &sweep)
{
    sweep.timed_ = false;
    sweep.clock_.stop();
}
