// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "measure_labels.h"

#include "ui/classic/classic_controls.h"
#include "ui/graph_window/plot_geometry/measure_texts.h"
#include "ui/window_texts.h"

#include "core/state/analysis_state.h"

#include <QAction>
#include <QByteArray>
#include <QLabel>
#include <QStringList>

#include <algorithm>

namespace {

// In the column right of the plot, from below Option1 to above the envelope's key (Label12, at
// 8040 twips): 1200 twips from one measure to the next, closer where more than four share it.
constexpr int Left = 15240;
constexpr int Width = 3135;
constexpr int Top = 3480;
constexpr double CaptionPoints = 8.25;
constexpr double ValuePoints = 9.75;
constexpr int Step = std::min<int>(1200, (8040 - Top) / std::max<int>(1, PanelRows));
static_assert(Step >= 750, "each measure needs its caption and its value, 375 twips each");

// The labels' names, caption over value: the window's Label4 to Label11 for the first four, then
// names of their own, past the names the window's other labels take.
QByteArray LabelName(std::size_t row, bool value)
{
    if (row < 4)
        return "Label" + QByteArray::number(4 + 2 * int(row) + int(value));
    return (value ? "MeasureValue" : "MeasureCaption") + QByteArray::number(int(row));
}

} // namespace

MeasureLabels::MeasureLabels(QWidget &window, QAction &entry) : action_(&entry)
{
    for (std::size_t m = 0; m < PanelRows; ++m) {
        const ResultDeclaration &result = PanelResult(m);
        const int top = Top + int(m) * Step;
        const QByteArray caption = LabelName(m, false);
        const QByteArray valueName = LabelName(m, true);
        captions_[m] = AddLabel(&window,
                                {caption.constData(),
                                 QString::fromStdU16String(std::u16string(result.panel.caption)),
                                 {Left, top, Width, 375},
                                 CaptionPoints});
        QLabel *value = AddLabel(
            &window,
            {valueName.constData(), QString(), {Left, top + 375, Width, 375}, ValuePoints});
        value->setAccessibleDescription(
            QString::fromStdU16String(std::u16string(result.description)));
        values_[m] = value;
        captions_[m]->hide();
        value->hide();
    }
    QObject::connect(action_, &QAction::toggled, &window, [this](bool on) {
        for (std::size_t m = 0; m < values_.size(); ++m) {
            captions_[m]->setVisible(on);
            values_[m]->setVisible(on);
        }
    });
}

QString MeasureLabels::Summary() const
{
    QStringList measures;
    for (std::size_t m = 0; m < values_.size(); ++m)
        measures << captions_[m]->text().trimmed() + u' '
                + values_[m]->text().trimmed().replace(u'\n', u' ');
    return measures.join(QStringLiteral(" / "));
}

void MeasureLabels::Show(const AnalysisState &state, bool filtered, const AnalysisState *reference)
{
    auto texts = MeasureTexts(state, LocaleDecimalSeparator());
    if (reference) {
        const auto held = MeasureTexts(*reference, LocaleDecimalSeparator());
        for (std::size_t m = 0; m < texts.size(); ++m)
            texts[m]
                = QTextOf(UiText::ReferenceMeasure)
                      .arg(QString::fromStdU16String(texts[m]), QString::fromStdU16String(held[m]))
                      .toStdU16String();
    }
    // With a reference, its value on a second line, both in the captions' size, and the
    // caption's line narrower, so that the value's two lines fit under it in the same step.
    for (std::size_t m = 0; m < values_.size(); ++m) {
        const int top = Top + int(m) * Step;
        const int split = reference ? 300 : 375;
        captions_[m]->setGeometry(TwipsRect(Left, top, Width, split));
        values_[m]->setGeometry(
            TwipsRect(Left, top + split, Width, reference ? Step - split : 375));
        values_[m]->setFont(ClassicFont(reference ? CaptionPoints : ValuePoints));
    }
    for (std::size_t m = 0; m < values_.size(); ++m) {
        const PanelPlace &place = PanelResult(m).panel;
        const std::u16string_view caption = filtered ? place.filteredCaption : place.caption;
        captions_[m]->setText(QString::fromUtf16(caption.data(), qsizetype(caption.size())));
        values_[m]->setText(QString::fromStdU16String(texts[m]));
    }
}
