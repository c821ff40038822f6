// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "form1.h"

#include "analysis_progress.h"
#include "input_window_host.h"
#include "live_graphs.h"
#include "shape_diagram.h"

#include "ui/classic/classic_button.h"
#include "ui/classic/classic_controls.h"
#include "ui/classic/classic_window.h"
#include "ui/graph_window/form2.h"
#include "ui/guide/guide_window.h"
#include "ui/long_work/task_gate.h"
#include "ui/window_texts.h"

#include "core/analysis/commands.h"
#include "core/analysis/field_step.h"
#include "core/platform/system_memory.h"
#include "core/state/analysis_state.h"
#include "core/state/parameter_table.h"
#include "core/state/result_list.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QWheelEvent>

#include <span>
#include <utility>

namespace {

const QColor Pink(255, 192, 192);
const QColor Green(0, 255, 0);

// Where each field stands; what it holds is its row of the parameter table.
struct FieldLayout
{
    Field field;
    int left;
    int top;
    QColor back;
};

const FieldLayout FieldLayouts[] = {
    {Field::Text7, 1080, 1080, Pink},   {Field::Text12, 1080, 1560, Pink},
    {Field::Text8, 1080, 2040, Pink},   {Field::Text1, 1080, 2520, Pink},
    {Field::Text3, 1080, 3000, Pink},   {Field::Text13, 1080, 3480, Pink},
    {Field::Text2, 10200, 1920, Green},
};

// A field's symbol, as its label writes it.
QString Symbol(Field field)
{
    return Utf8(ParameterOf(field).symbol);
}

// The fields the harmonic modulus command turns green, in its order.
constexpr Field ParameterFields[]
    = {Field::Text7, Field::Text12, Field::Text8, Field::Text1, Field::Text3, Field::Text13};

const LabelLayout StaticLabels[] = {
    {"Label35",
     QString::fromUtf8(TextsOf(PulseShape::HalfSine).heading),
     {1080, 120, 7455, 255},
     8.25},
    {"Label4", QTextOf(UiText::EnterData), {1080, 720, 1575, 255}, 8.25},
    {"Label36", Symbol(Field::Text7), {360, 1200, 615, 255}, 9.75},
    {"Label37", QTextOf(UiText::VoltUnit), {3120, 1200, 375, 255}, 9.75},
    {"Label46", Symbol(Field::Text12), {840, 1680, 135, 255}, 9.75},
    {"Label47", QTextOf(UiText::KilohertzUnit), {3120, 1560, 735, 255}, 9.75},
    {"Label22", QTextOf(UiText::FrequencyDefinition), {3960, 1560, 975, 255}, 12},
    {"Label38", Symbol(Field::Text8), {720, 2160, 255, 255}, 8.25},
    {"Label13", QTextOf(UiText::PeriodCountCaption), {3120, 2160, 4455, 255}, 12},
    {"Label7", Symbol(Field::Text1), {600, 2640, 375, 255}, 8.25},
    {"Label12", QTextOf(UiText::DutyCycleDefinition), {3120, 2640, 2295, 255}, 12},
    {"Label11", Symbol(Field::Text3), {720, 3000, 255, 255}, 8.25},
    {"Label14", QTextOf(UiText::HarmonicCountCaption), {3120, 3000, 5655, 255}, 12},
    {"Label48", Symbol(Field::Text13), {720, 3480, 255, 255}, 8.25},
    {"Label17", QTextOf(UiText::SampleCountCaption), {3120, 3480, 2295, 375}, 12},
    {"Label6", QTextOf(UiText::SignalSymbol), {3840, 3960, 375, 255}, 9.75},
    {"Label25", QTextOf(UiText::Wait), {3120, 4440, 1095, 255}, 8.25},
    {"Label24", QTextOf(UiText::Wait), {12360, 1320, 855, 255}, 8.25},
    {"Label8", Symbol(Field::Text2), {9960, 2040, 255, 255}, 9.75},
    {"Label15", QTextOf(UiText::TargetHarmonicDefinition), {12240, 2040, 2295, 255}, 12},
    {"Label1", QTextOf(UiText::MagnitudeCaption), {12240, 2520, 2415, 255}, 9.75},
    {"Label5", QTextOf(UiText::MeanValueSymbol), {9840, 3000, 255, 255}, 8.25},
    {"Label2", QTextOf(UiText::VoltUnit), {12240, 3000, 375, 255}, 9.75},
    {"Label16", QTextOf(UiText::MeanValueCaption), {12720, 3000, 3375, 255}, 9.75},
    {"Label10", QTextOf(UiText::MagnitudeSymbol), {9360, 2400, 735, 255}, 12},
    {"Label67",
     QTextOf(UiText::Contact),
     {15000, 9000, 1575, 285},
     8.25,
     false,
     QColor(192, 255, 255)},
};

} // namespace

// The fields and the shape as the graph window's parameter bar edits them: the same texts, the same
// steps, the same shape; one set of typed values.
class InputWindowValues : public SharedFields
{
public:
    explicit InputWindowValues(Form1 &form) : form_(form) { }
    FieldTexts Texts() const override { return form_.CurrentTexts(); }
    void Type(Field field, const QString &text) override { form_.Text(field)->setText(text); }
    void Step(Field field, int steps) override { form_.StepField(field, steps); }
    void Choose(PulseShape shape) override { form_.diagram_->Choose(shape); }
    void Take() override { form_.TakeTypedValues(); }
    bool Following() const override { return form_.live_->Running() || form_.live_->Wanted(); }

private:
    Form1 &form_;
};

Form1::Form1(AnalysisState &state, MessageBox &messages, TaskGate &tasks, QWidget *parent)
    : QWidget(parent), state_(state), messages_(messages), tasks_(tasks),
      filter_(new FilterChoice(messages, this)), reference_(new ReferenceHold(messages, this))
{
    setObjectName("Form1");
    setWindowTitle(QTextOf(UiText::ProgramName));
    QIcon icon;
    icon.addFile(QStringLiteral(":/spettro/icon-16.png"));
    icon.addFile(QStringLiteral(":/spettro/icon-32.png"));
    setWindowIcon(icon);
    const ClassicWindowParts parts = AddClassicWindowParts(*this, 17565, 9495);
    client_ = parts.client;

    for (const LabelLayout &layout : StaticLabels)
        AddLabel(client_, layout);
    AddFields();
    AddCommands();
    AddResults();
    QWidget *diagram = AddDiagram();
    SetTabOrder(diagram);
    AddMenus(*parts.menuBar);
    OpenAtFittingSize(*this, parts);
    live_ = new LiveGraphs(*this, state_, tasks_,
                           {[this] { return form2_ && form2_->isVisible(); },
                            [this] { return CurrentTexts(); },
                            [this] {
                                HoldModel(false);
                                ShowGraphs();
                            }});
    connect(diagram_, &ShapeDiagram::shapeChosen, live_, [this] { live_->Follow(); });
    connect(diagram_, &ShapeDiagram::shapeChosen, this, &Form1::MarkStaleResults);
    connect(diagram_, &ShapeDiagram::shapeChosen, this, &Form1::ShowTypedValues);
    values_ = std::make_unique<InputWindowValues>(*this);
}

void Form1::AddFields()
{
    for (const FieldLayout &layout : FieldLayouts) {
        const ParameterDeclaration &parameter = ParameterOf(layout.field);
        auto *edit = new QLineEdit(Utf8(parameter.firstText), client_);
        edit->setObjectName(QString::fromUtf8(FieldName(layout.field)));
        edit->setGeometry(TwipsRect(layout.left, layout.top, 1935, 375));
        edit->setFont(ClassicFont(8.25));
        SetBackColor(edit, layout.back);
        edit->setAccessibleName(FieldAccessibleName(layout.field));
        edit->setToolTip(FieldStepToolTip(layout.field));
        edit->installEventFilter(this);
        fields_[static_cast<std::size_t>(layout.field)] = edit;
        connect(edit, &QLineEdit::textChanged, this, &Form1::MarkStaleResults);
        connect(edit, &QLineEdit::textChanged, this, &Form1::ShowTypedValues);
    }
}

void Form1::AddCommands()
{
    command1_ = new ClassicButton(QTextOf(UiText::HarmonicModulusButton), Green, client_);
    command1_->setObjectName("Command1");
    command1_->setGeometry(TwipsRect(10200, 1080, 1935, 615));
    command1_->setFont(ClassicFont(8.25));
    command2_ = new ClassicButton(QTextOf(UiText::GraphsButton), Pink, client_);
    command2_->setObjectName("Command2");
    command2_->setGeometry(TwipsRect(1080, 4320, 1935, 495));
    command2_->setFont(ClassicFont(8.25));
    command2_->setAccessibleDescription(QTextOf(UiText::GraphsButtonDescription));
    connect(command1_, &QPushButton::clicked, this, &Form1::Command1_Click);
    connect(command2_, &QPushButton::clicked, this, &Form1::Command2_Click);
}

void Form1::AddResults()
{
    label9_ = AddLabel(client_, {"Label9", QString(), {10200, 2400, 1935, 375}, 8.25, true, Green});
    label9_->setAccessibleDescription(QTextOf(UiText::MagnitudeResultDescription));
    label3_ = AddLabel(client_, {"Label3", QString(), {10200, 2880, 1935, 375}, 8.25, true, Green});
    label3_->setAccessibleDescription(QString::fromStdU16String(
        std::u16string(ResultOf(&AnalysisResults::MeanValue).description)));
    // A result is copied from its context menu: selecting it with the mouse would take the
    // keyboard focus out of the field being typed in, and labels take no focus.
    for (QLabel *result : {label9_, label3_}) {
        auto *copy = new QAction(QTextOf(UiText::CopyResult), result);
        connect(copy, &QAction::triggered, result,
                [result] { QGuiApplication::clipboard()->setText(result->text()); });
        result->addAction(copy);
        result->setContextMenuPolicy(Qt::ActionsContextMenu);
    }
}

QWidget *Form1::AddDiagram()
{
    diagram_ = new ShapeDiagram(client_);
    diagram_->setGeometry(TwipsRect(4320, 4080, 12975, 4815));
    // The title names the shape chosen (or the signal measured); the commands read it with the
    // fields.
    connect(diagram_, &ShapeDiagram::shapeChosen, this, &Form1::ShowHeading);
    return diagram_;
}

void Form1::AddMenus(QMenuBar &menuBar)
{
    // The commands as their buttons name them, the diagram's shapes, the program's end.
    QMenu *analysis = menuBar.addMenu(QTextOf(UiText::AnalysisMenu));
    analysis->setObjectName("MenuAnalisi");
    const auto command = [&](QPushButton *button, const char *name, Qt::Key key) {
        QAction *entry = analysis->addAction(button->text(), button, &QPushButton::click);
        entry->setObjectName(name);
        entry->setShortcut(key);
    };
    command(command1_, "Calcola", Qt::Key_F5);
    command(command2_, "Grafici", Qt::Key_F6);
    analysis->addSeparator();
    QMenu *shapes = analysis->addMenu(QTextOf(UiText::ShapeMenu));
    shapes->setObjectName("MenuForme");
    shapes->addActions(diagram_->Menu()->actions());
    // The filter, one choice with the graph window's.
    QMenu *filters = analysis->addMenu(QTextOf(UiText::FilterMenu));
    filters->setObjectName("MenuFiltro");
    filters->addActions(filter_->Actions());
    analysis->addSeparator();
    AddMeasuredEntries(*analysis);
    analysis->addSeparator();
    // As if the user closed every window: the program ends with the last.
    QAction *quit
        = analysis->addAction(QTextOf(UiText::Quit), this, &QApplication::closeAllWindows);
    quit->setObjectName("Esci");
    quit->setShortcut(Qt::CTRL | Qt::Key_Q);

    QMenu *help = menuBar.addMenu(QTextOf(UiText::HelpMenu));
    help->setObjectName("MenuAiuto");
    help->addAction(AddGuideEntry(*this));
}

void Form1::SetTabOrder(QWidget *diagram)
{
    QWidget *const tabOrder[] = {
        Text(Field::Text7), Text(Field::Text8), Text(Field::Text12), command2_, Text(Field::Text13),
        Text(Field::Text2), Text(Field::Text3), command1_,           diagram,   Text(Field::Text1)};
    for (std::size_t i = 1; i < std::size(tabOrder); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);
    Text(Field::Text7)->setFocus();
}

Form1::~Form1()
{
    delete form2_; // a graph window still open when the program ends
}

QLineEdit *Form1::Text(Field field) const
{
    return fields_[static_cast<std::size_t>(field)];
}

Form2 *Form1::GraphWindow() const
{
    return form2_;
}

FieldTexts Form1::CurrentTexts() const
{
    FieldTexts texts;
    for (Field field : HarmonicModulusFieldOrder)
        texts[field] = Text(field)->text().toStdU16String();
    texts.Shape = diagram_->Shape();
    texts.Measured = measured_;
    return texts;
}

void Form1::MarkParameterFields()
{
    for (Field field : ParameterFields)
        SetBackColor(Text(field), Green);
}

// While a command runs, its analysis waits in a nested event loop. A click, an accessibility
// action or a programmatic click() on either button then reaches these procedures again; they
// return at once, so that one long task at a time runs, whatever route started the second. The
// graph window's exports pass the same gate.
bool Form1::Run(Command command)
{
    live_->Stop(); // a command's analysis comes before the steps'
    const TaskGate::Pass pass(tasks_);
    if (!pass)
        return false;
    InputWindowHost host(*this);
    return RunCommand(state_, CurrentTexts(), command, host);
}

void Form1::Command1_Click()
{
    if (!Run(Command::HarmonicModulus))
        return;
    const char16_t separator = LocaleDecimalSeparator();
    const HarmonicModulusTexts shown = FormatHarmonicModulus(state_, separator);
    label3_->setText(QString::fromStdU16String(shown.meanValue));
    label9_->setText(QString::fromStdU16String(shown.magnitude));
    resultsOf_ = CurrentTexts();
    MarkStaleResults();
}

void Form1::MarkStaleResults()
{
    if (!resultsOf_)
        return;
    const FieldTexts now = CurrentTexts();
    // Ao is of the six parameters and the shape; |S(z)| of z too.
    const std::pair<QLabel *, std::span<const Field>> results[]
        = {{label3_, GraphsFieldOrder}, {label9_, HarmonicModulusFieldOrder}};
    for (const auto &[label, order] : results) {
        const bool stale = !SameTypedValues(*resultsOf_, now, order);
        QPalette palette = label->palette();
        // Grey, still readable on the green (4.6:1), rather than the window's text colour.
        palette.setColor(QPalette::WindowText,
                         stale ? QColor(96, 96, 96)
                               : label->parentWidget()->palette().color(QPalette::WindowText));
        label->setPalette(palette);
        label->setToolTip(stale ? QTextOf(UiText::StaleResult) : QString());
    }
}

bool Form1::eventFilter(QObject *watched, QEvent *event)
{
    // The type first: a window being destroyed still sends events, and is no Form2 by then.
    if (event->type() == QEvent::Close && watched == form2_)
        setUp_ = form2_->SetUp();
    const auto field = std::find(fields_.begin(), fields_.end(), watched);
    if (field == fields_.end())
        return QWidget::eventFilter(watched, event);
    const FieldEventSteps taken = StepsOf(*event, wheel_);
    if (taken.steps != 0)
        StepField(static_cast<Field>(field - fields_.begin()), taken.steps);
    return taken.taken;
}

void Form1::StepField(Field field, int steps)
{
    const std::optional<std::u16string> text
        = SteppedText(field, CurrentTexts(), steps, AvailableMemoryBytes());
    if (!text)
        return;
    // As typed: the field's undo takes the step back.
    QLineEdit *edit = Text(field);
    edit->selectAll();
    edit->insert(QString::fromStdU16String(*text));
    if (field != Field::Text2) // z is the harmonic modulus command's alone
        live_->Follow();
}

void Form1::ShowTypedValues()
{
    if (form2_)
        form2_->ShowTypedValues();
}

void Form1::TakeTypedValues()
{
    // The graphs command's checks, with their messages; the analysis follows as a step's does.
    InputWindowHost host(*this);
    if (PrepareAnalysis(state_, CurrentTexts(), Command::Graphs, host))
        live_->Follow();
}

void Form1::Command2_Click()
{
    if (!Run(Command::Graphs))
        return;
    if (measured_)
        HoldModel(true);
    ShowGraphs();
    // An open graph window comes to the front, with the focus, as a new one does; a step's
    // drawing leaves the focus in the field stepped.
    form2_->raise();
    form2_->activateWindow();
}

void Form1::ShowGraphs()
{
    if (!form2_) {
        form2_ = new Form2(state_, messages_, tasks_, values_.get(), filter_, nullptr, reference_);
        form2_->setAttribute(Qt::WA_DeleteOnClose);
        form2_->setWindowIcon(windowIcon());
        form2_->Restore(setUp_);
        form2_->installEventFilter(this); // its close keeps its set-up
    }
    // The hidden Picture2 holds no picture: assigning it to Picture1 blanks the plot, earlier
    // graphs included, to its background colour before the new ones are drawn.
    form2_->Picture1()->SetPicture(form2_->Picture2()->Picture());
    DrawGraphs(state_, *form2_);
}
