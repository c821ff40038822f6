// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "harmonic_by_harmonic.h"

#include "shown_analysis.h"

#include "plot_area.h"

#include "ui/graph_window/plot_geometry/harmonic_lines.h"
#include "ui/graph_window/plot_geometry/plot_bands.h"
#include "ui/graph_window/plot_geometry/plot_palette.h"
#include "ui/window_texts.h"

#include "core/spectrum/spectrum.h"
#include "core/state/analysis_state.h"
#include "core/texts/messages.h"

#include <QAction>
#include <QShortcut>
#include <QToolTip>
#include <QWidget>

HarmonicByHarmonic::HarmonicByHarmonic(QWidget &window, QAction &entry, PlotArea &plot,
                                       ShownAnalysis &shown, PlotOverlays &overlays)
    : QObject(&window), window_(window), plot_(plot), shown_(shown), overlays_(overlays),
      action_(&entry)
{
    connect(action_, &QAction::toggled, this, &HarmonicByHarmonic::Toggled);

    // Left and Right belong to the option buttons otherwise; they move the highlight only while
    // the entry is on.
    const auto shortcut = [&](Qt::Key key, int lines) {
        auto *s = new QShortcut(QKeySequence(key), &window);
        s->setContext(Qt::WindowShortcut);
        s->setEnabled(false);
        connect(s, &QShortcut::activated, this, [this, lines] { Move(lines); });
        return s;
    };
    left_ = shortcut(Qt::Key_Left, -1);
    right_ = shortcut(Qt::Key_Right, 1);
}

void HarmonicByHarmonic::Toggled(bool on)
{
    left_->setEnabled(on);
    right_->setEnabled(on);
    highlighted_.reset();
    Describe();
    overlays_.ScheduleRedraw();
}

bool HarmonicByHarmonic::Shown()
{
    // A highlight past the lines of a new analysis moves to its last line.
    const std::int64_t lines = HarmonicsHeld(shown_());
    if (highlighted_ && *highlighted_ > lines && lines >= 1)
        highlighted_ = lines;
    Describe();
    return action_->isChecked() && highlighted_ && *highlighted_ <= lines;
}

std::optional<QString> HarmonicByHarmonic::Pointed(float x)
{
    if (!action_->isChecked())
        return std::nullopt;
    const PixelMapping &mapping = plot_.Mapping();
    const SpectrumScale scale = overlays_.Scale();
    const auto k = NearestLine(shown_(), mapping, mapping.Column(x),
                               LineReachPixels * plot_.Image().devicePixelRatio(), &scale);
    if (!k)
        return std::nullopt;
    if (k != highlighted_)
        Highlight(*k);
    const auto text = HarmonicReadout(shown_(), *k, LocaleDecimalSeparator());
    if (!text)
        return std::nullopt;
    return QString::fromStdU16String(*text);
}

void HarmonicByHarmonic::Move(int lines)
{
    const std::int64_t last = HarmonicsHeld(shown_());
    if (!action_->isChecked() || last < 1)
        return;
    const std::int64_t from = highlighted_ ? *highlighted_ : (lines > 0 ? 0 : last + 1);
    const std::int64_t k = std::clamp<std::int64_t>(from + lines, 1, last);
    Highlight(k);
    // Its values beside its line, as pointing at it shows them: a line of zero height is still
    // seen to be reached.
    const auto text = HarmonicReadout(shown_(), k, LocaleDecimalSeparator());
    if (!text)
        return;
    const PixelMapping &mapping = plot_.Mapping();
    const SpectrumScale scale = overlays_.Scale();
    const QPointF at(LineColumn(shown_(), mapping, k, &scale),
                     mapping.Row(static_cast<float>(PlotBands::SpectrumBottomY)));
    QToolTip::showText(plot_.mapToGlobal(plot_.WidgetPoint(at)),
                       plot_.TipOf(QString::fromStdU16String(*text)), &plot_);
}

void HarmonicByHarmonic::Highlight(std::int64_t k)
{
    highlighted_ = k;
    Describe();
    overlays_.ScheduleRedraw();
}

void HarmonicByHarmonic::Describe()
{
    // A screen reader reads the highlighted harmonic's values where it reads the plot's meaning.
    std::optional<std::u16string> text;
    if (action_->isChecked() && highlighted_)
        text = HarmonicReadout(shown_(), *highlighted_, LocaleDecimalSeparator());
    const QString description
        = text ? QString::fromStdU16String(*text) : QTextOf(UiText::PlotDescription);
    if (plot_.accessibleDescription() != description) // a change is announced; say it once
        plot_.setAccessibleDescription(description);
}

void HarmonicByHarmonic::Draw(PlotArea &plot)
{
    const std::int64_t k = *highlighted_;
    const PixelMapping &mapping = plot.Mapping();
    const QRgb colour = PlotPalette::Opaque(PlotPalette::Highlight);
    const SpectrumScale scale = overlays_.Scale(); // the band's, as the views draw it
    plot.Fill(RasterizeSpectralLines(shown_(), mapping, scale, k, k), colour);
    const Wave now {k,
                    shown_().CosCoefficients.data(),
                    shown_().CosCoefficients[k],
                    shown_().SinCoefficients[k],
                    scale.SignalPeak(),
                    shown_().PeriodCount,
                    shown_().SampleCount,
                    mapping.width,
                    mapping.height,
                    ColumnSpans(0)};
    if (now.k != wave_.k || now.analysis != wave_.analysis || now.a != wave_.a || now.b != wave_.b
        || now.peak != wave_.peak || now.periods != wave_.periods || now.samples != wave_.samples
        || now.width != wave_.width || now.height != wave_.height) {
        wave_ = now;
        wave_.spans = RasterizeHarmonicWave(shown_(), k, mapping, scale.SignalPeak());
    }
    plot.Fill(wave_.spans, colour);
}
