// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "harmonic_sum_layer.h"

#include "shown_analysis.h"

#include "draw_graphs.h"
#include "harmonic_sum_source.h"
#include "plot_area.h"

#include "ui/graph_window/plot_geometry/column_spans.h"
#include "ui/graph_window/plot_geometry/harmonic_lines.h"
#include "ui/graph_window/plot_geometry/plot_bands.h"
#include "ui/graph_window/plot_geometry/plot_palette.h"
#include "ui/long_work/out_of_memory.h"
#include "ui/window_texts.h"

#include "core/analysis/message_box.h"
#include "core/spectrum/harmonic_sum.h"
#include "core/spectrum/spectrum.h"
#include "core/state/analysis_state.h"
#include "core/texts/messages.h"

#include <QAction>
#include <QLabel>
#include <QShortcut>
#include <QSignalBlocker>
#include <QWheelEvent>

#include <algorithm>
#include <cstdlib>

namespace {

// Steps this near the last partial sum add or take off each harmonic's wave (N products apiece);
// further ones sum the first terms anew through one inverse transform.
constexpr std::int64_t StepsAdded = 8;

using PlotPalette::Opaque;

} // namespace

HarmonicSumLayer::HarmonicSumLayer(QWidget &window, QAction &entry, PlotArea &plot, QLabel &key,
                                   ShownAnalysis &shown, MessageBox &messages, TaskGate &tasks,
                                   PlotOverlays &overlays)
    : QObject(&window), window_(window), plot_(plot), key_(key), shown_(shown), messages_(messages),
      tasks_(tasks), overlays_(overlays), action_(&entry)
{
    connect(action_, &QAction::toggled, this, &HarmonicSumLayer::Toggled);
    key_.hide();

    // + and - (the keypad's too) step the sum while it is shown, and only then: the keys are the
    // window's otherwise.
    const auto shortcut = [&](QKeyCombination keys, int steps) {
        auto *s = new QShortcut(QKeySequence(keys), &window);
        s->setContext(Qt::WindowShortcut);
        s->setEnabled(false);
        connect(s, &QShortcut::activated, this, [this, steps] { StepTerms(steps); });
        return s;
    };
    more_[0] = shortcut(QKeyCombination(Qt::Key_Plus), 1);
    more_[1] = shortcut(QKeyCombination(Qt::KeypadModifier, Qt::Key_Plus), 1);
    fewer_[0] = shortcut(QKeyCombination(Qt::Key_Minus), -1);
    fewer_[1] = shortcut(QKeyCombination(Qt::KeypadModifier, Qt::Key_Minus), -1);
    plot_.installEventFilter(this);
}

void HarmonicSumLayer::SetChecked(bool on)
{
    const QSignalBlocker quiet(action_);
    action_->setChecked(on);
    for (QShortcut *s : {more_[0], more_[1], fewer_[0], fewer_[1]})
        s->setEnabled(on);
}

void HarmonicSumLayer::Toggled(bool on)
{
    const TaskGate::Pass pass(tasks_);
    if (!pass) // another long task runs: the entry stays as it was
        return SetChecked(!on);
    SetChecked(on);
    if (on) {
        FollowAnalysis();
        everyTerm_ = true;
        terms_ = wanted_ = lines_; // the sum of all H, as it always shows first
    }
    overlays_.Redraw();
}

void HarmonicSumLayer::GraphsDrawn()
{
    // The sum of as many terms as the user set, up to the new analysis's lines, or of all of them
    // when the user left it so: a step, a view or "Grafici" keeps what the user set.
    key_.hide();
    analysis_ = {};
    drawnFrom_ = {};
    FollowAnalysis();
}

void HarmonicSumLayer::GraphsResized()
{
    // The same sum, of as many terms, drawn again over the graphs at their new size.
    key_.hide();
    drawnFrom_ = {};
}

bool HarmonicSumLayer::Shown()
{
    return action_->isChecked();
}

void HarmonicSumLayer::Draw(PlotArea &plot)
{
    drawn_ = false;
    if (!DrawSum(plot)) {
        SetChecked(false);
        key_.hide();
    }
}

void HarmonicSumLayer::Hide()
{
    drawn_ = false;
    key_.hide();
}

void HarmonicSumLayer::FollowAnalysis()
{
    const std::int64_t lines = HarmonicsHeld(shown_());
    // Arrays may come back at the address of those they replace; equal parameters, though, give
    // the same analysis (a filter's output made anew comes with new graphs, which start the
    // counts again).
    const AnalysisKey key {shown_().CosCoefficients.data(),
                           shown_().DutyCycle,
                           shown_().Amplitude,
                           shown_().SampleCount,
                           shown_().HarmonicCount,
                           shown_().Shape,
                           shown_().Measured,
                           shown_().Measured ? shown_().Frequency : 0};
    if (key == analysis_ && lines_ == lines)
        return;
    analysis_ = key;
    ++generation_;
    lines_ = lines;
    partial_ = RealArray();
    partialTerms_ = -1;
    // The user's number stays as set; fewer lines show fewer terms until there are lines again.
    if (everyTerm_)
        wanted_ = lines_;
    terms_ = std::min(wanted_, lines_);
}

void HarmonicSumLayer::StepTerms(int steps)
{
    if (!action_->isChecked())
        return;
    FollowAnalysis();
    wanted_ = std::clamp<std::int64_t>(std::min(wanted_, lines_) + steps, 0, lines_);
    everyTerm_ = wanted_ == lines_;
    overlays_.ScheduleRedraw();
}

bool HarmonicSumLayer::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == &plot_ && event->type() == QEvent::Wheel && action_->isChecked()) {
        // A step of the wheel is one harmonic.
        const int steps = wheel_.Add(static_cast<QWheelEvent *>(event)->angleDelta().y());
        if (steps != 0)
            StepTerms(steps);
        return true;
    }
    return QObject::eventFilter(watched, event);
}

QString HarmonicSumLayer::KeyText() const
{
    return AddsEveryHarmonic() ? QTextOf(UiText::HarmonicSumKey)
        : terms_ == 0          ? QTextOf(UiText::DcAloneSumKey)
        : terms_ == 1          ? QTextOf(UiText::FirstHarmonicSumKey)
                               : QTextOf(UiText::PartialSumKey).arg(terms_);
}

const RealArray *HarmonicSumLayer::PartialSum(std::int64_t m)
{
    const auto size = static_cast<std::size_t>(shown_().SampleCount) + 1;
    if (partialTerms_ < 0 || std::abs(m - partialTerms_) > StepsAdded) {
        if (std::abs(lines_ - m) <= StepsAdded) {
            partial_ = shown_().HarmonicSum;
            partialTerms_ = lines_;
        } else if (auto sum = ComputeHarmonicSum(shown_(), nullptr, m)) {
            partial_ = std::move(*sum);
            partialTerms_ = m;
        }
    }
    if (partial_.size() < size)
        return nullptr;
    for (; partialTerms_ < m; ++partialTerms_)
        AddHarmonicWave(shown_(), partialTerms_ + 1, 1, partial_.data());
    for (; partialTerms_ > m; --partialTerms_)
        AddHarmonicWave(shown_(), partialTerms_, -1, partial_.data());
    return &partial_;
}

bool HarmonicSumLayer::DrawSum(PlotArea &plot)
{
    if (!ProvideHarmonicSum(tasks_, &window_, shown_(), messages_))
        return false;
    FollowAnalysis();
    terms_ = std::clamp<std::int64_t>(wanted_, 0, lines_);
    const PixelMapping &mapping = plot.Mapping();
    const std::size_t size = static_cast<std::size_t>(shown_().SampleCount) + 1;
    const double signalPeak = overlays_.SignalPeak(); // a kept one, or the analysis's own
    // What the pixels below are gathered from: a line moving over the sum redraws it as it is.
    const SpectrumScale scale = overlays_.Scale();
    const double span = scale.HarmonicSpan(shown_());
    const DrawnFrom from {shown_().HarmonicSum.data(),
                          generation_,
                          terms_,
                          lines_,
                          mapping.width,
                          mapping.height,
                          signalPeak,
                          shown_().PeriodCount,
                          shown_().SpectrumPeak,
                          static_cast<int>(scale.View()),
                          scale.Peak(),
                          scale.FloorDb(),
                          span,
                          scale.LogFrequency()};
    if (!(from == drawnFrom_)) {
        const RealArray *values = &shown_().HarmonicSum;
        if (terms_ < lines_) {
            const std::optional<std::u16string> outOfMemory
                = OutOfMemoryMessage(MemoryTask::Computation, [&] { values = PartialSum(terms_); });
            if (outOfMemory) {
                messages_.Show(*outOfMemory);
                return false;
            }
        }
        if (!values || values->size() < size)
            return true; // no analysis yet: nothing to draw
        curve_ = RasterizeSignalCurve(shown_(), values->data(), mapping, signalPeak);
        if (!(from.analysis == drawnFrom_.analysis && from.lines == drawnFrom_.lines
              && from.width == drawnFrom_.width && from.height == drawnFrom_.height
              && from.spectrumPeak == drawnFrom_.spectrumPeak && from.view == drawnFrom_.view
              && from.scalePeak == drawnFrom_.scalePeak && from.floorDb == drawnFrom_.floorDb
              && from.span == drawnFrom_.span && from.logFrequency == drawnFrom_.logFrequency))
            allLines_ = shown_().SpectrumPeak != 0
                ? RasterizeSpectralLines(shown_(), mapping, scale)
                : ColumnSpans(mapping.width);
        drawnFrom_ = from;
    }
    plot.Fill(curve_, Opaque(PlotPalette::HarmonicSum));
    drawn_ = true;
    key_.setText(KeyText());
    key_.show();
    return true;
}

void HarmonicSumLayer::DrawPaleLines(PlotArea &plot)
{
    const PixelMapping &mapping = plot.Mapping();
    const SpectrumScale scale = overlays_.Scale();
    if (drawn_ && terms_ < lines_ && shown_().SpectrumPeak != 0) {
        // The lines the sum leaves out, paler, on the band's scale. Lines stand in the order of
        // k, so the columns right of the first line left out hold only lines left out, as all
        // the lines are drawn; that line's own column is gathered anew, and a line the sum adds
        // there stays dark.
        const auto column = [&](std::int64_t k) {
            return NearestPixel(LineColumn(shown_(), mapping, k, &scale));
        };
        const std::int64_t boundary = column(terms_ + 1);
        ColumnSpans pale(mapping.width);
        for (int c = static_cast<int>(std::max<std::int64_t>(boundary + 1, 0));
             c < allLines_.Width(); ++c)
            if (!allLines_.Empty(c))
                pale.Add(c, allLines_.Low(c), allLines_.High(c));
        std::int64_t last = terms_ + 1;
        while (last < lines_ && column(last + 1) == boundary)
            ++last;
        plot.Fill(pale, Opaque(PlotPalette::SpectrumPale));
        plot.Fill(RasterizeSpectralLines(shown_(), mapping, scale, terms_ + 1, last),
                  Opaque(PlotPalette::SpectrumPale));
        std::int64_t first = terms_;
        while (first > 1 && column(first - 1) >= boundary)
            --first;
        plot.Fill(RasterizeSpectralLines(shown_(), mapping, scale, first, terms_),
                  Opaque(PlotPalette::Spectrum));
        DrawDcLine(plot, shown_(), scale);
    }
}
