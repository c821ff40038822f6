// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "reference_hold.h"

#include "ui/window_texts.h"

#include "core/analysis/message_box.h"

#include <new>

ReferenceHold::ReferenceHold(MessageBox &messages, QObject *parent)
    : QObject(parent), messages_(messages)
{ }

bool ReferenceHold::Hold(const AnalysisState &shown, const FilterSettings &filter, bool model)
{
    if (shown.Samples.empty())
        return false;
    std::optional<ReferenceMemoryShortage> shortage = ReferenceMemoryProblem(shown);
    std::optional<HeldReference> held;
    if (!shortage) {
        try {
            held = HoldReference(shown, filter);
        } catch (const std::bad_alloc &) {
            shortage = ReferenceMemoryProblem(shown, true);
        }
    }
    if (shortage) {
        messages_.Show(QTextOf(UiText::ReferenceMemory)
                           .arg(shortage->neededMegabytes)
                           .arg(shortage->availableMegabytes)
                           .toStdU16String());
        return false;
    }
    held_ = std::move(held);
    held_->model = model;
    emit Changed();
    return true;
}

void ReferenceHold::Drop()
{
    if (!held_)
        return;
    held_.reset();
    emit Changed();
}
