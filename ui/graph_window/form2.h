// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The graph window: the plot area with the signal and its spectrum, the hidden blank picture,
// the two option buttons that show which graph the cursor is over, a hint and a colour key.
#pragma once

#include "filter_choice.h"
#include "for_tests.h"
#include "parameter_bar.h"
#include "reference_hold.h"

#include "ui/graph_window/export/plot_export.h"
#include "ui/graph_window/plot/graph_plot.h"

#include <QImage>
#include <QStringList>
#include <QWidget>

#include <memory>

struct AnalysisState;
class MessageBox;
class FullScreenPlot;
class PlotExport;
class QMenu;
class QMenuBar;
class QLabel;
class QRadioButton;
class TaskGate;

class Form2 : public QWidget
{
    Q_OBJECT
public:
    // `messages` shows the export's messages; the exports enter `tasks`, the program's gate of
    // long tasks, before they read the analysis. Both must outlive the window.
    // With `values`, the input window's typed values, the window has a parameter bar that edits
    // them (off until the user turns it on); `values` must outlive the window too.
    // `filter`, the program's choice of filter, which both windows' menus and the bar share;
    // without one, the window has a choice of its own. It must outlive the window.
    // `reference`, the program's reference, held from any graph window; without one, the window
    // holds one of its own. It must outlive the window.
    Form2(AnalysisState &state, MessageBox &messages, TaskGate &tasks,
          SharedFields *values = nullptr, FilterChoice *filter = nullptr, QWidget *parent = nullptr,
          ReferenceHold *reference = nullptr);
    ~Form2() override;

    // The controls keep the classic form's names:
    // Picture1, the plot area: the signal above y = 70, the spectrum below, in user coordinates
    // 0 to 100 on both axes.
    PlotArea *Picture1() const { return picture1_; }
    // Picture2, never shown and never drawn on: its empty Picture, assigned to Picture1, is how
    // the graphs command blanks the plot before drawing.
    PlotArea *Picture2() const { return picture2_; }
    // Option1 ("s(t)", red) and Option3 ("S(f)", blue): which graph the cursor was last over.
    QRadioButton *Option1() const { return option1_; }
    QRadioButton *Option3() const { return option3_; }

    // The plot's menu (a right click, or the Menu key): the exports, the sum of the harmonics and
    // the harmonics one by one, the views and the measures, each entry the one action of its own.
    QMenu *PlotMenu() const { return plotMenu_; }
    void ShowPlotMenu(QPoint globalPosition);
    // The sum of the harmonics over the signal: the menu's checkable entry, its key and drawing.
    HarmonicSumLayer *HarmonicSum() const { return plot_->HarmonicSum(); }
    // One harmonic at a time: the menu's checkable entry, the highlighted line and its wave.
    HarmonicByHarmonic *OneByOne() const { return plot_->OneByOne(); }
    // The spectrum band's views: the menu's checkable entries and what the band shows.
    SpectrumViews *Views() const { return plot_->Views(); }
    // The measures of the analysis drawn, beside the plot.
    MeasureLabels &Measures() const { return plot_->Measures(); }
    // The plot's layers: their entries, and those over the graphs, redrawn on their own.
    const LayerEntries &Layers() const { return plot_->Layers(); }
    PlotOverlays *Overlays() const { return plot_->Overlays(); }
    // The plot and its layers, whole.
    GraphPlot &Plot() const { return *plot_; }
    // The plot alone over the whole screen, for a projector.
    FullScreenPlot *FullScreen() const { return fullScreen_; }
    // The parameter bar, and the entries that show it (Ctrl+B) and put the focus in it (F2); none
    // without typed values to edit.
    ParameterBar *Bar() const { return bar_; }
    QAction *BarAction() const { return barAction_; }
    QAction *BarFocusAction() const { return barFocus_; }
    // The typed values changed, in the input window or here: the bar shows them.
    void ShowTypedValues();
    // The filter: its choice, the submenu "Filtro" of the plot's menu and of "Visualizza", and
    // the key of its output y(t) (Label15, under Option1), shown while the output is drawn.
    FilterChoice &Filter() const { return *filter_; }
    QMenu *FilterMenu() const { return filterMenu_; }
    QLabel *FilterKey() const { return filterKey_; }
    // The reference: "Fissa come riferimento" (Ctrl+I) holds the analysis shown, "Togli
    // riferimento" (Ctrl+Shift+I) drops it, both in the plot's menu and in "Visualizza"; its key
    // (Label16, above Option1) names it while it is drawn.
    ReferenceHold &Reference() const { return *reference_; }
    QAction *HoldReferenceAction() const { return holdReference_; }
    QAction *DropReferenceAction() const { return dropReference_; }
    QLabel *ReferenceKey() const { return referenceKey_; }
    // Draws the graphs, through the filter chosen: where its output could not be made, the
    // filter chosen becomes none.
    void DrawPlot();

    // The entries as the user left them, and a new window set up so, before it first draws: the
    // views, the sum, the harmonics one by one and the measures.
    GraphSetUp SetUp() const;
    void Restore(const GraphSetUp &setUp);

    // The plot's picture drawn apart from the window, in a plot of its own at `style`: the slide's
    // at its scale; at the window's style, the window's picture to the bit.
    QImage PictureOf(const PlotStyle &style) { return plot_->PictureOf(style); }
    // The caption that states the picture's parameters and the entries on.
    QString SlideCaption() const;
    // What a picture of the plot says under it: the caption, and the key of the colours drawn.
    PictureNotes Notes() const;
    // The full screen's caption line brought up to date with the analysis drawn and the entries on.
    void ShowCaption();

    // The cursor readout: marks the graph under the cursor and sets the plot's tool-tip to the
    // time and signal value, or the frequency and spectral modulus, at (x, y).
    void Picture1_MouseMove(short button, short shift, float x, float y);

protected:
    // A right click on the plot, or the Menu key anywhere in the window, opens the export menu.
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    friend PlotExport &testing_seam::Export(const Form2 &form);

    // The menu bar: every entry of the plot's menu, the window's close, the full screen, the
    // guide.
    void AddMenus(QMenuBar &menuBar);
    // The parameter bar over the client area, hidden, and its two entries.
    void AddParameterBar(SharedFields &values);
    // The reference's two entries and its key, standing on `client`.
    void AddReferenceEntries(TaskGate &tasks, QWidget &client);
    // The reference held now, given to the plot and named by its key.
    void ShowReference();
    // The graphs of the analysis drawn again, the plot blanked first as the graphs command
    // blanks it: when a view changes, and `resized`, at the plot's new size, keeping the layers
    // over them as they are.
    void DrawAgain(bool resized);

    AnalysisState &state_;
    PlotArea *picture1_;
    PlotArea *picture2_;
    QRadioButton *option1_;
    QRadioButton *option3_;
    PlotExport *export_;
    QMenu *plotMenu_;
    std::unique_ptr<GraphPlot> plot_;
    FullScreenPlot *fullScreen_ = nullptr;
    QList<QLabel *> keys_; // the keys beside the plot: the DC component's, the sum's, the views'

    FilterChoice *filter_;
    QMenu *filterMenu_;
    QLabel *filterKey_;
    ReferenceHold *reference_;
    QAction *holdReference_;
    QAction *dropReference_;
    QLabel *referenceKey_;
    ParameterBar *bar_ = nullptr;
    QAction *barAction_ = nullptr;
    QAction *barFocus_ = nullptr;
    int barGrowth_ = 0; // what the window grew by when the bar came on
};

// Shows the window (modeless) and draws the analysis the state holds, which the graphs command
// has just computed and stored; sets SpectrumPeak. Draws over what the plot area shows.
void DrawGraphs(AnalysisState &state, Form2 &form);
