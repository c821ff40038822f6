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

struct MeasureLayout
{
    const char *caption;
    const char *value;
    UiText captionText;
    UiText description;
};

constexpr std::array<MeasureLayout, 4> Layouts = {{
    {"Label4", "Label5", UiText::RmsCaption, UiText::RmsDescription},
    {"Label6", "Label7", UiText::DcCaption, UiText::MeanValueResultDescription},
    {"Label8", "Label9", UiText::DistortionCaption, UiText::DistortionDescription},
    {"Label10", "Label11", UiText::PowerShareCaption, UiText::PowerShareDescription},
}};

// In the column right of the plot, from below Option1 to above Option3.
constexpr int Left = 15240;
constexpr int Width = 3135;
constexpr int Top = 3480;
constexpr int Step = 1200; // twips from one measure to the next

} // namespace

MeasureLabels::MeasureLabels(QWidget &window)
{
    for (std::size_t m = 0; m < Layouts.size(); ++m) {
        const MeasureLayout &layout = Layouts[m];
        const int top = Top + int(m) * Step;
        captions_[m] = AddLabel(
            &window, {layout.caption, QTextOf(layout.captionText), {Left, top, Width, 375}, 8.25});
        QLabel *value
            = AddLabel(&window, {layout.value, QString(), {Left, top + 375, Width, 375}, 9.75});
        value->setAccessibleDescription(QTextOf(layout.description));
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
