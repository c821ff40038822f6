// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "measure_labels.h"

#include "ui/classic/classic_controls.h"
#include "ui/graph_window/plot_geometry/measure_texts.h"
#include "ui/window_texts.h"

#include "core/state/analysis_state.h"

#include <QAction>
#include <QLabel>

namespace {

// In the column right of the plot, from below Option1 to above Option3.
constexpr int Left = 15240;
constexpr int Width = 3135;
constexpr int Top = 3480;
constexpr int Step = 1200; // twips from one measure to the next

} // namespace

MeasureLabels::MeasureLabels(QWidget &window)
{
    for (std::size_t m = 0; m < PanelRows; ++m) {
        const ResultDeclaration &result = PanelResult(m);
        const int top = Top + int(m) * Step;
        // Label4 over Label5, Label6 over Label7, and so on down.
        const QByteArray caption = "Label" + QByteArray::number(4 + 2 * int(m));
        const QByteArray valueName = "Label" + QByteArray::number(5 + 2 * int(m));
        captions_[m] = AddLabel(&window,
                                {caption.constData(),
                                 QString::fromStdU16String(std::u16string(result.panel.caption)),
                                 {Left, top, Width, 375},
                                 8.25});
        QLabel *value = AddLabel(
            &window, {valueName.constData(), QString(), {Left, top + 375, Width, 375}, 9.75});
        value->setAccessibleDescription(
            QString::fromStdU16String(std::u16string(result.description)));
        values_[m] = value;
        captions_[m]->hide();
        value->hide();
    }
    action_ = new QAction(QTextOf(UiText::Measures), &window);
    action_->setObjectName("MeasuresAction");
    action_->setCheckable(true);
    action_->setChecked(false);
    action_->setShortcut(Qt::CTRL | Qt::Key_M);
    action_->setShortcutContext(Qt::WindowShortcut);
    window.addAction(action_);
    QObject::connect(action_, &QAction::toggled, &window, [this](bool on) {
        for (std::size_t m = 0; m < values_.size(); ++m) {
            captions_[m]->setVisible(on);
            values_[m]->setVisible(on);
        }
    });
}

void MeasureLabels::Show(const AnalysisState &state)
{
    const auto texts = MeasureTexts(state, LocaleDecimalSeparator());
    for (std::size_t m = 0; m < values_.size(); ++m)
        values_[m]->setText(QString::fromStdU16String(texts[m]));
}
