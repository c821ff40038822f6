// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "form2.h"

#include "draw_graphs.h"
#include "full_screen.h"
#include "harmonic_by_harmonic.h"
#include "harmonic_sum_layer.h"
#include "key_label.h"
#include "measure_labels.h"
#include "plot_area.h"
#include "plot_export.h"
#include "plot_layers.h"
#include "plot_overlays.h"
#include "spectrum_views.h"

#include "ui/classic/classic_controls.h"
#include "ui/classic/classic_window.h"
#include "ui/graph_window/plot_geometry/cursor_readout.h"
#include "ui/graph_window/plot_geometry/plot_bands.h"
#include "ui/graph_window/plot_geometry/plot_palette.h"
#include "ui/guide/guide_window.h"
#include "ui/window_texts.h"

#include "core/export/slide_caption.h"
#include "core/spectrum/spectrum.h"
#include "core/state/analysis_state.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QRadioButton>
#include <QScrollArea>

Form2::Form2(AnalysisState &state, MessageBox &messages, TaskGate &tasks, QWidget *parent)
    : QWidget(parent, Qt::Window), state_(state)
{
    setObjectName("Form2");
    setWindowTitle(QTextOf(UiText::GraphWindowTitle));
    const ClassicWindowParts parts = AddClassicWindowParts(*this, 18495, 10005);
    QWidget *client = parts.client;

    picture1_ = new PlotArea(client);
    picture1_->setObjectName("Picture1");
    picture1_->setGeometry(TwipsRect(120, 120, 15015, 9135));
    picture1_->SetBackColor(QColor::fromRgb(PlotPalette::Opaque(PlotPalette::Background)));
    picture1_->setAccessibleName(QTextOf(UiText::PlotName));
    picture1_->setAccessibleDescription(QTextOf(UiText::PlotDescription));

    option1_
        = AddOptionButton(client, "Option1", QTextOf(UiText::SignalSymbol), {15360, 2640, 975, 375},
                          QColor::fromRgb(PlotPalette::Opaque(PlotPalette::Signal)));
    option3_ = AddOptionButton(client, "Option3", QTextOf(UiText::SpectrumSymbol),
                               {15240, 8880, 735, 615},
                               QColor::fromRgb(PlotPalette::Opaque(PlotPalette::Spectrum)));

    AddLabel(client, {"Label1", QTextOf(UiText::MoveCursorHint), {120, 9480, 8655, 375}, 9.75});

    picture2_ = new PlotArea(client);
    picture2_->setObjectName("Picture2");
    picture2_->setGeometry(TwipsRect(16800, 6480, 495, 375));
    picture2_->setFocusPolicy(Qt::NoFocus);
    picture2_->hide();

    QLabel *label2 = AddKeyLabel(client, "Label2", QTextOf(UiText::MeanValueKey),
                                 {9600, 9480, 4215, 375}, 12, PlotPalette::DcComponent);

    setTabOrder(picture1_, option1_);
    setTabOrder(option1_, option3_);

    // The key of the sum of the harmonics, beside the DC component's, while the sum is shown.
    QLabel *label3 = AddKeyLabel(client, "Label3", QTextOf(UiText::HarmonicSumKey),
                                 {13815, 9480, 4665, 375}, 12, PlotPalette::HarmonicSum);

    layers_ = std::make_unique<LayerEntries>(*this);
    // The measures are labels beside the plot, not a layer of it: their entry is their own.
    measures_
        = std::make_unique<MeasureLabels>(*client,
                                          *CheckableEntry(*this, UiText::Measures, "MeasuresAction",
                                                          QKeySequence(Qt::CTRL | Qt::Key_M)));

    connect(picture1_, &PlotArea::MouseMove, this, &Form2::Picture1_MouseMove);
    export_ = new PlotExport(*this, *picture1_, state_, messages, tasks);
    overlays_ = new PlotOverlays(*this, *picture1_, state_, tasks);
    harmonicSum_ = new HarmonicSumLayer(*this, *layers_->Entry(PlotLayer::Sum), *picture1_, *label3,
                                        state_, messages, tasks, *overlays_);
    oneByOne_ = new HarmonicByHarmonic(*this, *layers_->Entry(PlotLayer::Highlight), *picture1_,
                                       state_, *overlays_);
    // Every layer over the graphs, given to the one that draws them.
    overlays_->Add(PlotLayer::Sum, *harmonicSum_);
    overlays_->Add(PlotLayer::PaleLines, harmonicSum_->PaleLinesLayer());
    overlays_->Add(PlotLayer::Highlight, *oneByOne_);
    // The spectrum band's views: the graphs of the analysis drawn again as each is turned on or
    // off, the plot blanked first as the graphs command blanks it.
    views_ = new SpectrumViews(*this, *client, *layers_, state_, tasks);

    plotMenu_ = new QMenu(this);
    plotMenu_->setObjectName("PlotMenu");
    plotMenu_->addActions({export_->CopyImageAction(), export_->SaveImageAction()});
    plotMenu_->addSeparator();
    plotMenu_->addActions(
        {export_->CopyDataAction(), export_->SaveDataAction(), export_->SaveWorkbookAction()});
    plotMenu_->addSeparator();
    plotMenu_->addActions({harmonicSum_->Action(), oneByOne_->Action()});
    plotMenu_->addSeparator();
    plotMenu_->addActions(views_->Actions());
    plotMenu_->addAction(measures_->Action());
    connect(plotMenu_, &QMenu::aboutToShow, export_, &PlotExport::EnableDataActions);
    overlays_->SetSpectrumScale([this] { return views_->Scale(); });
    connect(views_, &SpectrumViews::Changed, this, [this] { DrawAgain(false); });
    fullScreen_
        = new FullScreenPlot(*this, *parts.view, *picture1_,
                             {label2, label3, views_->EnvelopeKey(), views_->KeptScaleKey()},
                             [this] { DrawAgain(true); });
    export_->SetSlideSource(
        [this](int scale) {
            const PlotStyle style = picture1_->Style();
            QImage slide = PictureOf({scale, style.lineWidth * scale, style.textPixels});
            slide.setDevicePixelRatio(1);
            return slide;
        },
        [this] { return SlideCaption(); });
    AddMenus(*parts.menuBar);
    OpenAtFittingSize(*this, parts);
}

QImage Form2::PictureOf(const PlotStyle &style)
{
    // A plot of its own, the size of the window's, never shown; a child of the window, so that it
    // takes the window's screen and its pixels per point. The window's plot is left as it is.
    PlotArea apart(picture1_->parentWidget());
    apart.hide();
    apart.SetBackColor(picture1_->BackColor());
    apart.setGeometry(picture1_->geometry());
    apart.SetStyle(style);
    if (!state_.Samples.empty()) {
        FindSpectrumPeak(state_);
        DrawGraphLayers(apart, state_, views_->Scale(), *layers_);
        overlays_->DrawOn(apart);
    }
    return apart.Image();
}

QString Form2::SlideCaption() const
{
    // The entries on, as the menu names them; the sum as its key says when it adds fewer terms.
    std::vector<std::string> views;
    for (const QAction *entry : plotMenu_->actions()) {
        if (!entry->isCheckable() || !entry->isChecked())
            continue;
        QString view = QString(entry->text()).remove('&');
        if (entry == harmonicSum_->Action() && !harmonicSum_->AddsEveryHarmonic())
            view += QStringLiteral(" (%1)").arg(harmonicSum_->KeyText().trimmed());
        // The measures are beside the plot, not in its picture: the caption carries them.
        if (entry == measures_->Action())
            view += QStringLiteral(" (%1)").arg(measures_->Summary());
        views.push_back(view.toStdString());
    }
    return QString::fromStdString(
        ::SlideCaption(state_.Parameters(), views, AsciiDecimalSeparator()));
}

Form2::~Form2() = default;

void Form2::DrawAgain(bool resized)
{
    if (state_.Samples.empty() || !isVisible())
        return;
    if (resized)
        overlays_->NextDrawingResized();
    picture1_->SetPicture(picture2_->Picture());
    DrawGraphs(state_, *this);
}

void Form2::AddMenus(QMenuBar &menuBar)
{
    // The plot's menu's entries, each the same action, and what the window alone has.
    QMenu *file = menuBar.addMenu(QTextOf(UiText::FileMenu));
    file->setObjectName("MenuFile");
    file->addActions(
        {export_->CopyImageAction(), export_->SaveImageAction(), export_->SaveSlideAction()});
    file->addSeparator();
    file->addActions(
        {export_->CopyDataAction(), export_->SaveDataAction(), export_->SaveWorkbookAction()});
    file->addSeparator();
    QAction *close = file->addAction(QTextOf(UiText::CloseWindow), this, &QWidget::close);
    close->setObjectName("Chiudi");
    close->setShortcut(Qt::CTRL | Qt::Key_W);
    connect(file, &QMenu::aboutToShow, export_, &PlotExport::EnableDataActions);

    QMenu *view = menuBar.addMenu(QTextOf(UiText::ViewMenu));
    view->setObjectName("MenuVisualizza");
    view->addActions({harmonicSum_->Action(), oneByOne_->Action()});
    view->addSeparator();
    view->addActions(views_->Actions());
    view->addAction(measures_->Action());
    view->addSeparator();
    view->addAction(fullScreen_->Action());

    QMenu *help = menuBar.addMenu(QTextOf(UiText::HelpMenu));
    help->setObjectName("MenuAiuto");
    help->addAction(AddGuideEntry(*this));
}

GraphSetUp Form2::SetUp() const
{
    GraphSetUp setUp;
    for (const QAction *entry : plotMenu_->actions())
        if (entry->isCheckable() && entry->isChecked())
            setUp.on << entry->objectName();
    if (views_->Kept())
        setUp.kept = *views_->Kept();
    return setUp;
}

void Form2::Restore(const GraphSetUp &setUp)
{
    // Each entry turned on as the user would: a hidden window draws nothing yet.
    for (QAction *entry : plotMenu_->actions())
        if (entry->isCheckable() && setUp.on.contains(entry->objectName())
            && entry != views_->KeepScaleAction())
            entry->setChecked(true);
    if (setUp.kept)
        views_->Keep(*setUp.kept);
}

void Form2::contextMenuEvent(QContextMenuEvent *event)
{
    if (event->reason() == QContextMenuEvent::Keyboard) {
        ShowPlotMenu(picture1_->mapToGlobal(picture1_->rect().center()));
        return;
    }
    if (!picture1_->rect().contains(picture1_->mapFrom(this, event->pos()))) {
        event->ignore();
        return;
    }
    ShowPlotMenu(event->globalPos());
}

void Form2::ShowPlotMenu(QPoint globalPosition)
{
    plotMenu_->popup(globalPosition);
}

void Form2::Picture1_MouseMove(short, short, float x, float y)
{
    picture1_->Scale(0, 100, 100, 0);

    // Both comparisons on the single-precision position.
    if (y >= static_cast<float>(PlotBands::TimeAxisY))
        option1_->setChecked(true);
    else if (y >= static_cast<float>(PlotBands::SpectrumBottomY))
        option3_->setChecked(true);

    const char16_t separator = LocaleDecimalSeparator();
    if (option1_->isChecked()) {
        RecallSignalPeak(state_);
        // The signal's scale alone: no decibels' floor to look for.
        const double peak
            = SpectrumScale::Of(state_, SpectrumView::Moduli, views_->Kept()).SignalPeak();
        if (const auto text = SignalReadout(state_, x, y, separator, peak))
            picture1_->SetToolTipText(QString::fromStdU16String(*text));
    }
    if (option3_->isChecked()) {
        RecallSpectrumPeak(state_);
        if (const auto text = SpectrumReadout(state_, x, y, separator, views_->Scale())) {
            // The harmonic pointed at, one by one, on a line of its own.
            const auto line = oneByOne_->Pointed(x);
            picture1_->SetToolTipText(QString::fromStdU16String(*text)
                                      + (line ? QLatin1Char('\n') + *line : QString()));
        }
    }
}

void DrawGraphs(AnalysisState &state, Form2 &form)
{
    form.show();
    DrawAnalysis(
        state, {*form.Picture1(), *form.Views(), form.Layers(), form.Measures(), *form.Overlays()});
}
