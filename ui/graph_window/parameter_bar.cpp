// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "parameter_bar.h"

#include "filter_choice.h"
#include "sweep.h"

#include "ui/window_texts.h"

#include "core/state/parameter_table.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>
#include <QWheelEvent>

QString FieldStepToolTip(Field field)
{
    const ParameterDeclaration &parameter = ParameterOf(field);
    // The step in the field's own writing, and its unit: "0.01", "1 V", "1 kHz".
    const QString unit
        = parameter.unit.empty() ? QString() : QStringLiteral(" ") + Utf8(parameter.unit);
    return QTextOf(UiText::FieldStepHint)
        .arg(QString::number(parameter.step) + unit, QString::number(10 * parameter.step) + unit);
}

QString FieldAccessibleName(Field field)
{
    // "Vmax [V], ampiezza dell'impulso"
    return Utf8(HeadingOf(field)) + QStringLiteral(", ") + Utf8(ParameterOf(field).name);
}

ParameterBar::ParameterBar(SharedFields &values, FilterChoice &filter, QWidget &plot,
                           QWidget *parent)
    : QWidget(parent), values_(values), plot_(plot), filterChoice_(filter)
{
    setObjectName("ParameterBar");
    auto *rows = new QVBoxLayout(this);
    rows->setContentsMargins(4, 2, 4, 2);
    rows->setSpacing(2);
    auto *row = new QHBoxLayout;
    rows->addLayout(row);

    shape_ = new QComboBox(this);
    shape_->setObjectName("BarShape");
    shape_->setAccessibleName(QTextOf(UiText::PulseShapeChoice));
    shape_->setToolTip(QTextOf(UiText::PulseShapeChoice));
    for (const PulseShapeTexts &shape : PulseShapes)
        shape_->addItem(Utf8(shape.name));
    shape_->installEventFilter(this);
    row->addWidget(shape_);
    connect(shape_, &QComboBox::activated, this, [this](int index) {
        values_.Choose(PulseShapes[static_cast<std::size_t>(index)].shape);
    });

    // In the commands' order, as the parameters are declared.
    const QString keys = QTextOf(UiText::ParameterBarKeys);
    for (const ParameterDeclaration &parameter : ParameterTable) {
        const Field field = parameter.field;
        auto *symbol = new QLabel(Utf8(HeadingOf(field)), this);
        auto *edit = new QLineEdit(this);
        edit->setObjectName(QStringLiteral("Bar") + QString::fromUtf8(FieldName(field)));
        edit->setAccessibleName(FieldAccessibleName(field));
        edit->setToolTip(FieldStepToolTip(field) + QLatin1Char('\n') + keys);
        // Wide enough for nine digits in the window's font.
        edit->setMinimumWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("100000000")));
        edit->installEventFilter(this);
        symbol->setBuddy(edit);
        row->addWidget(symbol);
        row->addWidget(edit, 1);
        fields_[static_cast<std::size_t>(field)] = edit;
        connect(edit, &QLineEdit::textEdited, this,
                [this, field](const QString &text) { values_.Type(field, text); });
        connect(edit, &QLineEdit::returnPressed, this, [this] { values_.Take(); });
    }
    // The sweep's row below.
    auto *second = new QWidget(this);
    second->setObjectName("SweepRow");
    auto *sweepRow = new QHBoxLayout(second);
    sweepRow->setContentsMargins(0, 0, 0, 0);
    rows->addWidget(second);
    sweep_ = new Sweep(values_, *second);
    AddFilter(*sweepRow, keys);
    ShowValues();
}

void ParameterBar::AddFilter(QHBoxLayout &row, const QString &keys)
{
    row.addStretch(1);
    filter_ = new QComboBox(this);
    filter_->setObjectName("BarFilter");
    filter_->setAccessibleName(QTextOf(UiText::FilterChoice));
    filter_->setToolTip(QTextOf(UiText::FilterChoice));
    for (const FilterDeclaration &filter : Filters)
        filter_->addItem(Utf8(filter.name));
    filter_->installEventFilter(this);
    auto *label = new QLabel(QTextOf(UiText::FilterChoice), this);
    label->setBuddy(filter_);
    row.addWidget(label);
    row.addWidget(filter_);
    connect(filter_, &QComboBox::activated, this, [this](int index) {
        filterChoice_.Choose(Filters[static_cast<std::size_t>(index)].kind);
    });
    const QStringList names = {QStringLiteral("BarFilterFrequency"), QStringLiteral("BarFilterQ")};
    for (int p = 0; p < 2; ++p) {
        auto *symbol = new QLabel(this);
        auto *edit = new QLineEdit(this);
        edit->setObjectName(names[p]);
        edit->setToolTip(QTextOf(UiText::FilterFieldKeys) + QLatin1Char('\n') + keys);
        edit->setMinimumWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("100000000")));
        edit->installEventFilter(this);
        symbol->setBuddy(edit);
        row.addWidget(symbol);
        row.addWidget(edit);
        filterSymbols_[std::size_t(p)] = symbol;
        filterFields_[std::size_t(p)] = edit;
        connect(edit, &QLineEdit::textEdited, this,
                [this, p](const QString &text) { filterChoice_.Type(p, text.toStdU16String()); });
        connect(edit, &QLineEdit::returnPressed, this, [this] { filterChoice_.Take(); });
    }
    connect(&filterChoice_, &FilterChoice::TextsChanged, this, &ParameterBar::ShowFilter);
    ShowFilter();
}

void ParameterBar::ShowFilter()
{
    const FilterDeclaration &filter = DeclarationOf(filterChoice_.Kind());
    filter_->setCurrentIndex(static_cast<int>(filter.kind));
    for (std::size_t p = 0; p < 2; ++p) {
        const bool used = static_cast<int>(p) < filter.parameterCount;
        filterSymbols_[p]->setVisible(used);
        filterFields_[p]->setVisible(used);
        if (!used)
            continue;
        const FilterParameter &parameter = filter.parameters[p];
        // "fc [kHz]", as the fields' headings write a unit
        const QString heading = parameter.unit.empty()
            ? Utf8(parameter.symbol)
            : Utf8(parameter.symbol) + QStringLiteral(" [") + Utf8(parameter.unit) + ']';
        filterSymbols_[p]->setText(heading);
        filterFields_[p]->setAccessibleName(heading + QStringLiteral(", ") + Utf8(parameter.name));
        const QString text = QString::fromStdU16String(filterChoice_.Texts()[p]);
        if (filterFields_[p]->text() != text)
            filterFields_[p]->setText(text);
    }
}

void ParameterBar::ShowValues()
{
    const FieldTexts texts = values_.Texts();
    for (std::size_t f = 0; f < FieldCount; ++f) {
        const QString text = QString::fromStdU16String(texts[static_cast<Field>(f)]);
        // The field being typed in keeps its cursor: its text is already this one.
        if (fields_[f]->text() != text)
            fields_[f]->setText(text);
    }
    shape_->setCurrentIndex(static_cast<int>(texts.Shape));
}

void ParameterBar::TakeFocus()
{
    QLineEdit *first = fields_[0];
    first->setFocus(Qt::ShortcutFocusReason);
    first->selectAll();
}

bool ParameterBar::eventFilter(QObject *watched, QEvent *event)
{
    const bool key = event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride;
    // Esc goes back to the plot, before any shortcut of the window (the full screen's end) takes
    // it.
    if (key && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape) {
        event->accept();
        if (event->type() == QEvent::KeyPress)
            plot_.setFocus(Qt::ShortcutFocusReason);
        return event->type() == QEvent::KeyPress;
    }
    const auto filterField = std::find(filterFields_.begin(), filterFields_.end(), watched);
    if (filterField != filterFields_.end()) {
        const FieldEventSteps taken = StepsOf(*event, wheel_);
        if (taken.steps != 0)
            filterChoice_.Step(int(filterField - filterFields_.begin()), taken.steps);
        return taken.taken;
    }
    const auto field = std::find(fields_.begin(), fields_.end(), watched);
    if (field == fields_.end())
        return QWidget::eventFilter(watched, event);
    const FieldEventSteps taken = StepsOf(*event, wheel_);
    if (taken.steps != 0)
        values_.Step(static_cast<Field>(field - fields_.begin()), taken.steps);
    return taken.taken;
}
