// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The analysis held as the reference, one for the whole program while it runs: held from the
// graph window ("Fissa come riferimento"), it outlives the window, the steps and the sweeps, until
// it is held again or dropped ("Togli riferimento").
#pragma once

#include "core/spectrum/reference_trace.h"

#include <QObject>

#include <optional>

class MessageBox;

class ReferenceHold : public QObject
{
    Q_OBJECT
public:
    // `messages` says why a reference cannot be held; it must outlive the hold.
    explicit ReferenceHold(MessageBox &messages, QObject *parent = nullptr);

    // Holds `shown`, the analysis the plot shows (through `filter`, the filter's output), in place
    // of the reference held before. Where memory is short, says so and changes nothing: false.
    // `model`: the model beside a measured signal, which its key names so.
    bool Hold(const AnalysisState &shown, const FilterSettings &filter, bool model = false);
    void Drop();
    // The reference; none while none is held.
    const HeldReference *Held() const { return held_ ? &*held_ : nullptr; }

signals:
    // Held anew or dropped: the graphs are to be drawn again.
    void Changed();

private:
    MessageBox &messages_;
    std::optional<HeldReference> held_;
};
