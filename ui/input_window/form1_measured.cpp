// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The input window's measured signal: a capture opened from a file and analysed in place of the
// shape, the model beside it, and the fit of the model to it.
#include "form1.h"

#include "analysis_progress.h"
#include "input_window_host.h"
#include "live_graphs.h"
#include "shape_diagram.h"

#include "ui/graph_window/form2.h"
#include "ui/long_work/out_of_memory.h"
#include "ui/long_work/task_gate.h"
#include "ui/long_work/work_progress.h"
#include "ui/window_texts.h"

#include "core/analysis/commands.h"
#include "core/capture/capture_fit.h"
#include "core/capture/capture_period.h"
#include "core/capture/capture_reader.h"
#include "core/state/measured_signal.h"

#include <QAction>
#include <QActionGroup>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <variant>

namespace {

// A value as a field takes it: `digits` significant digits, a point for the decimals.
QString FieldNumber(double value, int digits)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.*g", digits, value);
    return QString::fromLatin1(text);
}

// The same for reading, with the system's decimal separator.
QString ShownNumber(double value, int digits)
{
    return FieldNumber(value, digits).replace(QLatin1Char('.'), QChar(LocaleDecimalSeparator()));
}

} // namespace

void Form1::AddMeasuredEntries(QMenu &analysis)
{
    QAction *open = analysis.addAction(QTextOf(UiText::OpenMeasured), this, [this] {
        const QString path = QFileDialog::getOpenFileName(
            this, QTextOf(UiText::OpenMeasuredTitle), QString(), QTextOf(UiText::MeasuredFilter));
        if (!path.isEmpty())
            OpenMeasured(path);
    });
    open->setObjectName("ApriMisurato");
    open->setShortcut(Qt::CTRL | Qt::Key_O);
    // The file's channels, one chosen, while the file has more than one.
    channels_ = analysis.addMenu(QTextOf(UiText::ChannelMenu));
    channels_->setObjectName("MenuCanale");
    channels_->setEnabled(false);
    estimate_
        = analysis.addAction(QTextOf(UiText::EstimateParameters), this, &Form1::EstimateParameters);
    estimate_->setObjectName("StimaParametri");
    estimate_->setEnabled(false);
    closeMeasured_
        = analysis.addAction(QTextOf(UiText::CloseMeasured), this, &Form1::CloseMeasured);
    closeMeasured_->setObjectName("ChiudiMisurato");
    closeMeasured_->setEnabled(false);
}

bool Form1::OpenMeasured(const QString &path, std::size_t channel)
{
    live_->Stop();
    const QString name = QFileInfo(path).fileName();
    std::shared_ptr<const MeasuredSignal> opened;
    {
        const TaskGate::Pass pass(tasks_);
        if (!pass)
            return false;
        const std::filesystem::path file(path.toStdU16String());
        std::error_code error;
        const std::uintmax_t size = std::filesystem::file_size(file, error);
        std::ifstream in(file, std::ios::binary);
        if (error || !in) {
            messages_.Show(QTextOf(UiText::CaptureUnopened).arg(name).toStdU16String());
            return false;
        }
        // The reading and the frequency's estimate, away from the windows' thread.
        CaptureResult read = CaptureCancelled {};
        std::variant<FrequencyEstimate, CaptureProblem> estimate = FrequencyEstimate {};
        bool completed = false;
        const std::optional<std::u16string> outOfMemory
            = OutOfMemoryMessage(MemoryTask::Computation, [&] {
                  completed = RunWithProgress(
                      tasks_, this, QTextOf(UiText::CaptureProgress),
                      static_cast<std::int64_t>(size), [&](TaskControl &control) {
                          read = ReadCapture(in, size, {channel}, &control);
                          if (const Capture *capture = std::get_if<Capture>(&read))
                              estimate = EstimateFrequency(*capture);
                      });
              });
        if (outOfMemory) {
            messages_.Show(*outOfMemory);
            return false;
        }
        if (!completed || std::holds_alternative<CaptureCancelled>(read))
            return false;
        for (const auto *problem :
             {std::get_if<CaptureProblem>(&read), std::get_if<CaptureProblem>(&estimate)})
            if (problem) {
                messages_.Show(problem->text);
                return false;
            }
        Capture &capture = std::get<Capture>(read);
        // The channel's name beside the file's, where there is a choice.
        QString signalName = name;
        if (capture.channelNames.size() > 1)
            signalName += ", " + QString::fromStdU16String(capture.channelName);
        ShowChannels(path, capture.channelNames, channel);
        opened = std::make_shared<const MeasuredSignal>(
            std::make_shared<const Capture>(std::move(capture)), signalName.toStdString(),
            std::get<FrequencyEstimate>(estimate).hertz);
    }
    // The estimate in f, which the user may then type over.
    Text(Field::Text12)->setText(FieldNumber(opened->estimatedFrequency / 1000, 7));
    SetMeasured(std::move(opened));
    Command2_Click();
    return true;
}

void Form1::SetMeasured(std::shared_ptr<const MeasuredSignal> measured)
{
    measured_ = std::move(measured);
    modelDelay_ = 0;
    modelOf_.reset();
    estimate_->setEnabled(measured_ != nullptr);
    closeMeasured_->setEnabled(measured_ != nullptr);
    ShowHeading();
    MarkStaleResults();
    ShowTypedValues();
}

// The entries go once the event loop turns: the one chosen is still being triggered.
void Form1::ClearChannels()
{
    for (QAction *entry : channels_->actions()) {
        channels_->removeAction(entry);
        entry->deleteLater();
    }
    for (QActionGroup *group : channels_->findChildren<QActionGroup *>(Qt::FindDirectChildrenOnly))
        group->deleteLater();
}

void Form1::ShowChannels(const QString &path, const std::vector<std::u16string> &names,
                         std::size_t chosen)
{
    ClearChannels();
    auto *group = new QActionGroup(channels_);
    for (std::size_t c = 0; c < names.size(); ++c) {
        QAction *entry = channels_->addAction(QString::fromStdU16String(names[c]));
        entry->setObjectName(QStringLiteral("Canale%1").arg(c + 1));
        entry->setCheckable(true);
        entry->setChecked(c == chosen);
        entry->setActionGroup(group);
        // Another channel reads the file again; a file that fails keeps the signal open.
        connect(entry, &QAction::triggered, this, [this, path, c, chosen] {
            if (c != chosen && !OpenMeasured(path, c))
                channels_->actions().at(static_cast<qsizetype>(chosen))->setChecked(true);
        });
    }
    channels_->setEnabled(names.size() > 1);
}

void Form1::CloseMeasured()
{
    if (!measured_)
        return;
    ClearChannels();
    channels_->setEnabled(false);
    live_->Stop();
    SetMeasured(nullptr);
    {
        const TaskGate::Pass pass(tasks_);
        if (pass)
            reference_->Drop();
    }
    if (form2_ && form2_->isVisible())
        Command2_Click();
}

void Form1::ShowHeading()
{
    auto *heading = findChild<QLabel *>("Label35");
    const QString shape = QString::fromUtf8(TextsOf(diagram_->Shape()).heading);
    if (!measured_) {
        heading->setText(shape);
        heading->setToolTip(QString());
        return;
    }
    // Whole in its tool tip; on the label, a long file name loses its middle.
    const QString text = QTextOf(UiText::MeasuredHeading)
                             .arg(QString::fromStdString(measured_->name),
                                  ShownNumber(measured_->estimatedFrequency / 1000, 7),
                                  QString::fromUtf8(TextsOf(diagram_->Shape()).name));
    heading->setText(
        QFontMetrics(heading->font()).elidedText(text, Qt::ElideMiddle, heading->width()));
    heading->setToolTip(text);
}

void Form1::HoldModel(bool command)
{
    const HeldReference *held = reference_->Held();
    if (!measured_ || (!command && !(held && held->model)))
        return;
    std::optional<TaskGate::Pass> pass;
    if (command && !pass.emplace(tasks_))
        return;
    FieldTexts texts = CurrentTexts();
    texts.Measured.reset();
    InputWindowHost host(*this);
    std::optional<AnalysisState> model = PrepareAnalysis(state_, texts, Command::Graphs, host);
    if (!model)
        return;
    const std::pair<AnalysisParameters, std::int64_t> of {
        model->Parameters(), std::llround(modelDelay_ * model->SampleCount)};
    if (held && held->model && modelOf_ == of)
        return;
    const AnalysisOutcome outcome = command ? host.Compute(*model) : RunAnalysis(*model);
    if (outcome.status == AnalysisOutcome::Status::Failed && outcome.refusal && command)
        host.Refuse(*outcome.refusal);
    if (outcome.status != AnalysisOutcome::Status::Done)
        return;
    DelayAnalysis(*model, of.second);
    if (reference_->Hold(*model, FilterSettings {}, true))
        modelOf_ = of;
}

void Form1::EstimateParameters()
{
    if (!measured_)
        return;
    // The measured period at the typed f and N, as the graphs show it.
    if (!Run(Command::Graphs) || !state_.Measured)
        return;
    const auto n = static_cast<std::size_t>(state_.SampleCount);
    const std::vector<double> period(state_.Samples.begin(), state_.Samples.begin() + n);
    const PulseShape shape = diagram_->Shape();
    const std::optional<PulseFit> fit = FitPulse(shape, period);
    if (!fit) {
        messages_.Show(std::u16string(TextOf(UiText::FitNothing)));
        return;
    }
    Text(Field::Text7)->setText(FieldNumber(fit->amplitude, 4));
    Text(Field::Text1)->setText(FieldNumber(std::min(fit->dutyCycle, 1.0), 4));
    modelDelay_ = static_cast<double>(fit->delay) / static_cast<double>(n);
    Command2_Click();
    const double delayMicroseconds = modelDelay_ / state_.Frequency * 1e6;
    messages_.Show(QTextOf(UiText::FitResult)
                       .arg(QString::fromUtf8(TextsOf(shape).name), ShownNumber(fit->amplitude, 4),
                            ShownNumber(fit->dutyCycle, 4), ShownNumber(delayMicroseconds, 4),
                            ShownNumber(fit->rmsDifference, 3))
                       .toStdU16String());
}
