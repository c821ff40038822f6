// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "plot_layers.h"

#include "ui/window_texts.h"

#include <QAction>
#include <QKeySequence>
#include <QWidget>

QAction *CheckableEntry(QWidget &window, UiText text, const char *objectName,
                        const QKeySequence &keys)
{
    auto *action = new QAction(QTextOf(text), &window);
    action->setObjectName(objectName);
    action->setCheckable(true);
    action->setChecked(false);
    action->setShortcut(keys);
    action->setShortcutContext(Qt::WindowShortcut);
    window.addAction(action);
    return action;
}

LayerEntries::LayerEntries(QWidget &window)
{
    for (const LayerDeclaration &layer : PaintOrder)
        if (layer.entry)
            entries_[PaintPlace(layer.layer)] = CheckableEntry(
                window, *layer.entry, layer.objectName, QKeySequence(Qt::CTRL | layer.key));
}

QAction *LayerEntries::Entry(PlotLayer layer) const
{
    return entries_[PaintPlace(layer)];
}

bool LayerEntries::On(PlotLayer layer) const
{
    const LayerDeclaration &declared = PaintOrder[PaintPlace(layer)];
    const QAction *entry = Entry(declared.with.value_or(layer));
    return !entry || entry->isChecked();
}
