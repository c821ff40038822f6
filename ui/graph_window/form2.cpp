// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "form2.h"

#include "filter_choice.h"
#include "full_screen.h"
#include "reference_hold.h"

#include "ui/classic/classic_controls.h"
#include "ui/classic/classic_window.h"
#include "ui/graph_window/export/plot_export.h"
#include "ui/graph_window/plot_geometry/plot_bands.h"
#include "ui/graph_window/plot_geometry/plot_palette.h"
#include "ui/guide/guide_window.h"
#include "ui/long_work/task_gate.h"
#include "ui/window_texts.h"

#include "core/export/slide_caption.h"
#include "core/state/analysis_state.h"

#include <QAction>
#include <QBoxLayout>
#include <QContextMenuEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>

#include <algorithm>

Form2::Form2(AnalysisState &state, MessageBox &messages, TaskGate &tasks, SharedFields *values,
             FilterChoice *filter, QWidget *parent, ReferenceHold *reference)
    : QWidget(parent, Qt::Window), state_(state),
      filter_(filter ? filter : new FilterChoice(messages, this)),
      reference_(reference ? reference : new ReferenceHold(messages, this))
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

    connect(picture1_, &PlotArea::MouseMove, this, &Form2::Picture1_MouseMove);
    // The slide: the plot drawn apart, each line as many times as wide as it is sharp.
    export_ = new PlotExport(
        *this, *picture1_, state_, messages, tasks,
        {[this](int scale) {
             const PlotStyle style = picture1_->Style();
             QImage slide = PictureOf({scale, style.lineWidth * scale, style.textPixels});
             slide.setDevicePixelRatio(1);
             return slide;
         },
         [this] { return Notes(); }, [this] { return plot_ ? &plot_->Shown() : nullptr; }});
    // The graphs of the analysis drawn again as a view is turned on or off, the plot blanked
    // first as the graphs command blanks it.
    plot_ = std::make_unique<GraphPlot>(*this, *client, *picture1_, *label3, state_, messages,
                                        tasks, [this] { DrawAgain(false); });

    plotMenu_ = new QMenu(this);
    plotMenu_->setObjectName("PlotMenu");
    plotMenu_->addActions({export_->CopyImageAction(), export_->SaveImageAction()});
    plotMenu_->addSeparator();
    plotMenu_->addActions(
        {export_->CopyDataAction(), export_->SaveDataAction(), export_->SaveWorkbookAction()});
    plotMenu_->addSeparator();
    plotMenu_->addActions(plot_->LayerActions());
    plotMenu_->addSeparator();
    plotMenu_->addActions(plot_->ViewActions());
    // The filter's entries, one choice for both windows.
    filterMenu_ = new QMenu(QTextOf(UiText::FilterMenu), this);
    filterMenu_->setObjectName("FilterMenu");
    filterMenu_->addActions(filter_->Actions());
    plotMenu_->addMenu(filterMenu_);
    filterKey_ = AddKeyLabel(client, "Label15", QTextOf(UiText::FilterOutputKey),
                             {15240, 3030, 3135, 375}, 8.25, PlotPalette::FilterOutput);
    filterKey_->hide();
    // A filter chosen, stepped or taken: the graphs follow it, unless a long task runs, when the
    // next drawing takes it.
    connect(filter_, &FilterChoice::Changed, this, [this, &tasks] {
        const TaskGate::Pass pass(tasks);
        if (pass)
            DrawAgain(false);
    });
    AddReferenceEntries(tasks, *client);
    plotMenu_->addActions({holdReference_, dropReference_});
    connect(plotMenu_, &QMenu::aboutToShow, export_, &PlotExport::EnableDataActions);
    if (values)
        AddParameterBar(*values);
    keys_ = QList<QLabel *> {label2, label3, filterKey_, referenceKey_} + plot_->ViewKeys();
    fullScreen_ = new FullScreenPlot(*this, *parts.view, *picture1_, keys_, bar_,
                                     [this] { DrawAgain(true); });
    if (bar_) // back from the full screen, the bar as its entry says
        connect(fullScreen_->Action(), &QAction::toggled, bar_,
                [this](bool on) { bar_->setVisible(on || barAction_->isChecked()); });
    connect(fullScreen_->Action(), &QAction::toggled, this, [this] { ShowCaption(); });
    AddMenus(*parts.menuBar);
    OpenAtFittingSize(*this, parts);
}

PictureNotes Form2::Notes() const
{
    // The graphs' colours as their option buttons show them, then every coloured key shown
    // beside the plot.
    PictureNotes notes {SlideCaption(), {}};
    for (const QRadioButton *option : {option1_, option3_})
        notes.keys.append({option->text(), option->palette().color(QPalette::WindowText)});
    for (const QLabel *key : keys_) {
        const QColor colour = key->palette().color(QPalette::WindowText);
        if (!key->isHidden() && colour != palette().color(QPalette::WindowText))
            notes.keys.append({key->text().trimmed(), colour});
    }
    return notes;
}

void Form2::ShowCaption()
{
    // The graphs' colours first, as the option buttons beside the plot show them there.
    const PictureNotes notes = Notes();
    QString line;
    for (qsizetype k = 0; k < 2 && k < notes.keys.size(); ++k)
        line += QStringLiteral("<b style=\"color:%1\">%2</b>&nbsp;&nbsp;")
                    .arg(notes.keys[k].second.name(), notes.keys[k].first.toHtmlEscaped());
    fullScreen_->SetCaption(line + notes.caption.toHtmlEscaped());
}

QString Form2::SlideCaption() const
{
    return QString::fromStdString(::SlideCaption(state_.Parameters(), plot_->EntriesOn(),
                                                 AsciiDecimalSeparator(), plot_->Shown().Filter(),
                                                 reference_->Held()));
}

void Form2::AddReferenceEntries(TaskGate &tasks, QWidget &client)
{
    const auto entry = [this](UiText text, const char *name, QKeySequence keys) {
        auto *action = new QAction(QTextOf(text), this);
        action->setObjectName(name);
        action->setShortcut(keys);
        addAction(action);
        return action;
    };
    holdReference_ = entry(UiText::HoldReference, "HoldReferenceAction", Qt::CTRL | Qt::Key_I);
    dropReference_
        = entry(UiText::DropReference, "DropReferenceAction", Qt::CTRL | Qt::SHIFT | Qt::Key_I);
    referenceKey_ = AddKeyLabel(&client, "Label16", QString(), {15240, 2010, 3135, 615}, 8.25,
                                PlotPalette::Reference);
    referenceKey_->setWordWrap(true);
    referenceKey_->setAlignment(Qt::AlignLeft | Qt::AlignBottom);
    referenceKey_->hide();
    // What the plot shows now, held while no long task runs (none changes the analysis then).
    connect(holdReference_, &QAction::triggered, this, [this, &tasks] {
        const TaskGate::Pass pass(tasks);
        if (pass && !state_.Samples.empty())
            reference_->Hold(plot_->Shown()(), plot_->Shown().Filter());
    });
    connect(dropReference_, &QAction::triggered, this, [this, &tasks] {
        const TaskGate::Pass pass(tasks);
        if (pass)
            reference_->Drop();
    });
    // Held or dropped under the entries' pass: the graphs follow at once.
    connect(reference_, &ReferenceHold::Changed, this, [this] {
        ShowReference();
        DrawAgain(false);
    });
    ShowReference();
}

void Form2::ShowReference()
{
    const HeldReference *held = reference_->Held();
    plot_->SetReference(held);
    dropReference_->setEnabled(held != nullptr);
    referenceKey_->setText(
        held ? QString::fromStdU16String(::ReferenceKey(*held, LocaleDecimalSeparator()))
             : QString());
    referenceKey_->setVisible(held != nullptr && !state_.Samples.empty());
}

Form2::~Form2() = default;

void Form2::DrawAgain(bool resized)
{
    if (state_.Samples.empty() || !isVisible())
        return;
    if (resized)
        plot_->NextDrawingResized();
    picture1_->SetPicture(picture2_->Picture());
    DrawGraphs(state_, *this);
}

void Form2::AddParameterBar(SharedFields &values)
{
    // Above the client area, as the menu bar stands: the client area keeps its size and place.
    bar_ = new ParameterBar(values, *filter_, *picture1_, this);
    bar_->hide();
    static_cast<QBoxLayout *>(layout())->insertWidget(0, bar_);
    barAction_ = new QAction(QTextOf(UiText::ParameterBar), this);
    barAction_->setObjectName("ParameterBarAction");
    barAction_->setCheckable(true);
    barAction_->setShortcut(Qt::CTRL | Qt::Key_B);
    addAction(barAction_);
    connect(barAction_, &QAction::toggled, this, [this](bool on) {
        // The window grows by the bar, where it is neither full screen nor maximized, as far as
        // the screen's free part holds it; beyond, the client area scrolls.
        const bool fullScreen = fullScreen_->Action()->isChecked();
        const int height = bar_->sizeHint().height();
        bar_->setVisible(on || fullScreen);
        if (fullScreen || isMaximized()) {
            if (on)
                barGrowth_ = 0; // the window did not grow: nothing to give back
            return;
        }
        if (on) {
            const int frame = isVisible() ? frameGeometry().height() - this->height() : 0;
            const int room
                = screen() ? screen()->availableGeometry().height() - frame : QWIDGETSIZE_MAX;
            barGrowth_ = std::clamp(room - this->height(), 0, height);
        }
        resize(width(), this->height() + (on ? barGrowth_ : -barGrowth_));
    });
    barFocus_ = new QAction(QTextOf(UiText::ParameterBarFocus), this);
    barFocus_->setObjectName("ParameterBarFocusAction");
    barFocus_->setShortcut(Qt::Key_F2);
    addAction(barFocus_);
    connect(barFocus_, &QAction::triggered, this, [this] {
        barAction_->setChecked(true);
        bar_->TakeFocus();
    });
}

GraphSetUp Form2::SetUp() const
{
    GraphSetUp setUp = plot_->SetUp();
    if (barAction_ && barAction_->isChecked())
        setUp.on << barAction_->objectName();
    return setUp;
}

void Form2::Restore(const GraphSetUp &setUp)
{
    plot_->Restore(setUp);
    if (barAction_ && setUp.on.contains(barAction_->objectName()))
        barAction_->setChecked(true);
}

void Form2::ShowTypedValues()
{
    if (bar_)
        bar_->ShowValues();
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
    view->addActions(plot_->LayerActions());
    view->addSeparator();
    view->addActions(plot_->ViewActions());
    view->addMenu(filterMenu_);
    view->addActions({holdReference_, dropReference_});
    view->addSeparator();
    view->addAction(fullScreen_->Action());
    if (bar_)
        view->addActions({barAction_, barFocus_});

    QMenu *help = menuBar.addMenu(QTextOf(UiText::HelpMenu));
    help->setObjectName("MenuAiuto");
    help->addAction(AddGuideEntry(*this));
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

    const auto text = option1_->isChecked() ? plot_->SignalReadout(x, y)
        : option3_->isChecked()             ? plot_->SpectrumReadout(x, y)
                                            : std::nullopt;
    if (text)
        picture1_->SetToolTipText(*text);
}

void Form2::DrawPlot()
{
    plot_->ChooseFilter(filter_->Settings());
    const bool made = plot_->Draw();
    filterKey_->setVisible(plot_->Shown().Filtered());
    if (!made) // drawn without it: the choice says so, and the next drawing follows it
        filter_->Choose(FilterKind::None);
}

void DrawGraphs(AnalysisState &, Form2 &form)
{
    form.show();
    form.DrawPlot();
    form.ShowCaption();
}

PlotExport &testing_seam::Export(const Form2 &form)
{
    return *form.export_;
}
