// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "filter_choice.h"

#include "ui/window_texts.h"

#include "core/analysis/message_box.h"

#include <QAction>
#include <QActionGroup>

#include <variant>

FilterChoice::FilterChoice(MessageBox &messages, QObject *parent)
    : QObject(parent), messages_(messages), group_(new QActionGroup(this))
{
    group_->setExclusive(true);
    for (const FilterDeclaration &filter : Filters) {
        QAction *entry = group_->addAction(Utf8(filter.name));
        entry->setObjectName(QStringLiteral("Filter%1").arg(static_cast<int>(filter.kind)));
        entry->setCheckable(true);
        entry->setChecked(filter.kind == FilterKind::None);
        connect(entry, &QAction::triggered, this, [this, kind = filter.kind] { Choose(kind); });
    }
}

QList<QAction *> FilterChoice::Actions() const
{
    return group_->actions();
}

void FilterChoice::Choose(FilterKind kind)
{
    group_->actions()[static_cast<int>(kind)]->setChecked(true);
    if (kind == kind_) // chosen again: its texts stay as typed
        return;
    kind_ = kind;
    texts_ = FirstFilterTexts(kind);
    emit TextsChanged();
    // The first texts are ones the checks take.
    Taken(std::get<FilterSettings>(CheckFilter(kind, texts_)));
}

void FilterChoice::Type(int parameter, const std::u16string &text)
{
    texts_[static_cast<std::size_t>(parameter)] = text;
    emit TextsChanged();
}

void FilterChoice::Step(int parameter, int steps)
{
    const FilterDeclaration &filter = DeclarationOf(kind_);
    if (parameter >= filter.parameterCount)
        return;
    const auto p = static_cast<std::size_t>(parameter);
    const auto stepped = SteppedFilterText(filter.parameters[p], texts_[p], steps);
    if (!stepped)
        return;
    texts_[p] = *stepped;
    emit TextsChanged();
    // The other parameter as last taken, where its text is refused.
    const auto checked = CheckFilter(kind_, texts_);
    if (const auto *settings = std::get_if<FilterSettings>(&checked)) {
        Taken(*settings);
    } else {
        FilterSettings taken = settings_;
        (p == 0 ? taken.frequency : taken.quality)
            = std::get<double>(CheckFilterParameter(filter.parameters[p], *stepped));
        Taken(taken);
    }
}

void FilterChoice::Take()
{
    const auto checked = CheckFilter(kind_, texts_);
    if (const auto *message = std::get_if<std::u16string>(&checked))
        messages_.Show(*message);
    else
        Taken(std::get<FilterSettings>(checked));
}

void FilterChoice::Taken(const FilterSettings &settings)
{
    if (settings == settings_)
        return;
    settings_ = settings;
    emit Changed();
}
