// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The input window: the seven parameter fields, their labels, the diagram of the signal (where
// the pulse shape is chosen), the two result labels and the two commands.
#pragma once

#include "core/texts/fields.h"
#include "ui/classic/wheel_steps.h"
#include "ui/graph_window/form2.h"

#include <QPointer>
#include <QWidget>

#include <array>
#include <memory>
#include <string>
#include <vector>

struct AnalysisState;
struct MeasuredSignal;
enum class Command;
class MessageBox;
class FilterChoice;
class ReferenceHold;
class Form2;
class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QPushButton;
class LiveGraphs;
class ShapeDiagram;
class TaskGate;

class Form1 : public QWidget
{
    Q_OBJECT
public:
    // `messages` shows the commands' messages; `tasks` lets one long task run at a time, here and
    // in the graph window. Both must outlive the window.
    Form1(AnalysisState &state, MessageBox &messages, TaskGate &tasks, QWidget *parent = nullptr);
    ~Form1() override;

    // The harmonic modulus command: DC component and modulus of harmonic z.
    void Command1_Click();
    // The graphs command: opens the graph window and draws the signal and its spectrum.
    void Command2_Click();

    QLineEdit *Text(Field field) const;
    // The graph window, while it is open.
    Form2 *GraphWindow() const;
    // The graphs that follow a stepped field.
    LiveGraphs &Live() const { return *live_; }

    // `steps` steps of the field (down when negative), as the arrows, the page keys and the wheel
    // take them: its text changes as a typed value would, and the graphs follow.
    void StepField(Field field, int steps);

    // A measured signal in place of the shape. Opening reads the file on a worker, with its
    // progress and "Annulla", estimates its frequency, writes it into f, and draws the graphs of
    // the signal with the model (the shape with the typed values) as the reference: true when
    // it is open. A file that cannot be used says why and changes nothing.
    // `channel`: which of the file's channels, from 0; the others are offered in the menu.
    bool OpenMeasured(const QString &path, std::size_t channel = 0);
    // Back to the computed signal; the model is dropped with it.
    void CloseMeasured();
    // Fits the shape's Vmax, D and delay to the measured period, writes Vmax and D into their
    // fields, draws the model fitted and says what difference is left.
    void EstimateParameters();
    const MeasuredSignal *Measured() const { return measured_.get(); }

protected:
    // The arrows, the page keys and the wheel over a field step it.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The window built in steps: the fields, the two commands, the two results, the diagram, and
    // the order the Tab key takes them in.
    void AddFields();
    void AddCommands();
    void AddResults();
    QWidget *AddDiagram();
    void SetTabOrder(QWidget *diagram);
    // The menu bar: the two commands, the shapes, the program's end, the help.
    void AddMenus(QMenuBar &menuBar);
    void AddMeasuredEntries(QMenu &analysis);
    // The channels of the file at `path`, `chosen` checked; the menu is off for one alone.
    void ShowChannels(const QString &path, const std::vector<std::u16string> &names,
                      std::size_t chosen);
    void ClearChannels();
    // The signal opened (none: the computed one), with what follows it: no fitted delay yet, the
    // entries that need one, the title, the results' and the bar's marks.
    void SetMeasured(std::shared_ptr<const MeasuredSignal> measured);
    // The title label: the shape's heading, or the measured signal's.
    void ShowHeading();
    // The model, the shape with the typed values and the fitted delay, held as the reference
    // unless it is already. `command`: for "Grafici", under a pass of its own and with its
    // progress; otherwise for a step, under the step's pass, on this thread (the model of a
    // measured signal has at most MostPeriodPoints samples), and only while the model is held.
    void HoldModel(bool command);

    FieldTexts CurrentTexts() const;
    // The graph window, made on first use, shows the analysis the state holds.
    void ShowGraphs();
    // The command through the gate that lets one long task run at a time; true when the state
    // holds its new analysis.
    bool Run(Command command);
    void MarkParameterFields();
    // The results look out of date (greyed, with a tool tip that says why) while the typed values
    // or the shape differ from those they were computed from; their texts stay as the command
    // wrote them.
    void MarkStaleResults();

    // The typed values that the graph window's parameter bar edits with this window, and the
    // checks' answer when it takes them.
    void TakeTypedValues();
    void ShowTypedValues();

    friend class InputWindowHost;
    friend class InputWindowValues;

    AnalysisState &state_;
    MessageBox &messages_;
    QWidget *client_ = nullptr; // the controls' parent, under the menu bar
    std::array<QLineEdit *, FieldCount> fields_ {};
    QLabel *label3_ = nullptr;
    QLabel *label9_ = nullptr;
    // What the results were computed from: the typed values and shape of the last harmonic
    // modulus command that wrote them; none before the first.
    std::optional<FieldTexts> resultsOf_;
    QPushButton *command1_ = nullptr;
    QPushButton *command2_ = nullptr;
    ShapeDiagram *diagram_ = nullptr; // shows the pulse shape and chooses it
    QPointer<Form2> form2_;
    TaskGate &tasks_;
    LiveGraphs *live_ = nullptr;
    std::unique_ptr<SharedFields> values_;
    FilterChoice *filter_; // the filter, chosen here or in the graph window
    ReferenceHold *reference_; // the reference, held from the graph window, outliving it
    // The graph window's entries as the user left them, for the next one while the program runs.
    GraphSetUp setUp_;
    WheelSteps wheel_;
    std::shared_ptr<const MeasuredSignal> measured_; // the signal opened, while it is
    double modelDelay_ = 0; // the delay the last fit found, a fraction of the period
    // What the model held was made of: its parameters and its delay in samples.
    std::optional<std::pair<AnalysisParameters, std::int64_t>> modelOf_;
    QMenu *channels_ = nullptr;
    QAction *estimate_ = nullptr;
    QAction *closeMeasured_ = nullptr;
};
