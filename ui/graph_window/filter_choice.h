// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The filter the pulse train goes through, one choice for the whole program: the kind, chosen in
// the menus of both windows ("Filtro") and in the graph window's parameter bar, and the texts of
// its parameters, typed and stepped in the bar as the fields are. The graphs draw the filter last
// taken: a kind chosen, a step, or the texts taken with Enter once the checks pass them.
#pragma once

#include "core/analysis/filter_check.h"
#include "core/spectrum/filters.h"

#include <QList>
#include <QObject>

class MessageBox;
class QAction;
class QActionGroup;

class FilterChoice : public QObject
{
    Q_OBJECT
public:
    // `messages` says why typed texts are refused; it must outlive the choice.
    FilterChoice(MessageBox &messages, QObject *parent = nullptr);

    // One checkable entry per filter, one checked: "nessuno" at first. The same entries stand in
    // every menu that offers the choice.
    QList<QAction *> Actions() const;

    FilterKind Kind() const { return kind_; }
    const FilterTexts &Texts() const { return texts_; }
    // The filter the graphs draw: the kind with the parameters last taken.
    const FilterSettings &Settings() const { return settings_; }

    // `kind` with its first texts, taken at once; the kind chosen already keeps its texts.
    void Choose(FilterKind kind);
    // Parameter `parameter`'s text as the user typed it: it shows, and nothing else changes.
    void Type(int parameter, const std::u16string &text);
    // `steps` steps of the parameter, as a field's arrows, page keys and wheel take them: taken
    // at once. Nothing where the text is refused or stays.
    void Step(int parameter, int steps);
    // The texts taken (Enter): the graphs follow them, or the message says which field is refused
    // and what it takes; the texts stay as typed.
    void Take();

signals:
    // The texts or the kind changed: whatever shows them shows them again.
    void TextsChanged();
    // The filter the graphs draw changed.
    void Changed();

private:
    void Taken(const FilterSettings &settings);

    MessageBox &messages_;
    QActionGroup *group_;
    FilterKind kind_ = FilterKind::None;
    FilterTexts texts_;
    FilterSettings settings_;
};
