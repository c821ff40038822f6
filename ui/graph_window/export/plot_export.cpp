// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "plot_export.h"

#include "ui/graph_window/plot/graph_plot.h"
#include "ui/long_work/out_of_memory.h"
#include "ui/long_work/task_gate.h"
#include "ui/long_work/work_progress.h"
#include "ui/window_texts.h"

#include "core/analysis/message_box.h"
#include "core/export/analysis_table.h"
#include "core/export/analysis_workbook.h"
#include "core/export/slide_caption.h"
#include "core/export/table_texts.h"
#include "core/platform/file_saving.h"
#include "core/state/analysis_state.h"
#include "core/texts/messages.h"

#include <QAction>
#include <QBuffer>
#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QMenu>
#include <QMimeData>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTemporaryFile>

#include <optional>
#include <string>

namespace {

// Rows written between two looks at the cancel flag: a few milliseconds' work.
constexpr std::int64_t RowsPerChunk = 1 << 15;

// The folder the dialog opens in: the user's own for such files, else the documents, else home.
QString SuggestedPath(QStandardPaths::StandardLocation kind, const QString &name)
{
    for (const auto location :
         {kind, QStandardPaths::DocumentsLocation, QStandardPaths::HomeLocation}) {
        const QString folder = QStandardPaths::writableLocation(location);
        if (!folder.isEmpty() && QDir(folder).exists())
            return QDir(folder).filePath(name);
    }
    return name;
}

} // namespace

PlotExport::PlotExport(QWidget &window, PlotArea &plot, AnalysisState &state, MessageBox &messages,
                       TaskGate &tasks, SlideSource slide)
    : QObject(&window), window_(window), plot_(plot), state_(state), messages_(messages),
      tasks_(tasks), slide_(std::move(slide))
{
    const auto action = [&](const QString &text, void (PlotExport::*slot)()) {
        auto *a = new QAction(text, &window);
        a->setShortcutContext(Qt::WindowShortcut);
        connect(a, &QAction::triggered, this, slot);
        window.addAction(a);
        return a;
    };
    copyImage_ = action(QTextOf(UiText::CopyImage), &PlotExport::CopyImage);
    copyImage_->setShortcut(QKeySequence::Copy);
    saveImage_ = action(QTextOf(UiText::SaveImage), &PlotExport::SaveImage);
    saveImage_->setShortcut(QKeySequence::Save);
    copyData_ = action(QTextOf(UiText::CopyData), &PlotExport::CopyData);
    saveData_ = action(QTextOf(UiText::SaveData), &PlotExport::SaveData);
    saveWorkbook_ = action(QTextOf(UiText::SaveWorkbook), &PlotExport::SaveWorkbook);
    saveSlide_ = action(QTextOf(UiText::SaveSlide), &PlotExport::SaveSlide);
    saveSlide_->setObjectName("SaveSlideAction");
    chooseSlide_ = [this] { return AskSlideChoice(&window_, plot_.contentsRect().size()); };
}

void PlotExport::EnableDataActions()
{
    for (QAction *data : {copyData_, saveData_, saveWorkbook_, saveSlide_})
        data->setEnabled(HasAnalysis());
}

bool PlotExport::HasAnalysis() const
{
    return !state_.Samples.empty();
}

bool PlotExport::OpenChosen(QSaveFile &file, const QString &title, const QString &name,
                            const QString &filter)
{
    const QStandardPaths::StandardLocation kind = name.endsWith(QStringLiteral(".png"))
        ? QStandardPaths::PicturesLocation
        : QStandardPaths::DocumentsLocation;
    const QString path = files_->SaveFileName(&window_, title, SuggestedPath(kind, name), filter);
    if (path.isEmpty())
        return false;
    if (const auto problem = PathProblem(path.toStdString())) {
        Fail(path, *problem);
        return false;
    }
    file.setFileName(path);
    if (!file.open(QIODevice::WriteOnly)) {
        Fail(path, DiagnoseOpenFailure(path.toStdString()));
        return false;
    }
    return true;
}

void PlotExport::Fail(const QString &path, SaveProblem problem)
{
    messages_.Show(SaveFailedText(path.toStdU16String(), problem));
}

void PlotExport::Commit(QSaveFile &file, const QString &path)
{
    // Every byte went to the file descriptor by the system's own write, whose errno is read
    // right after it; Qt's buffer holds nothing. A full disk may still show at the sync.
    if (const auto problem = SyncToDisk(int(file.handle()))) {
        file.cancelWriting();
        return Fail(path, *problem);
    }
    if (!file.commit())
        Fail(path,
             file.error() == QFileDevice::RenameError ? DiagnoseReplaceFailure(path.toStdString())
                                                      : SaveProblem::WriteFailed);
}

AnalysisTable PlotExport::Table() const
{
    const ShownAnalysis *shown = slide_.shown();
    if (!shown)
        return AnalysisTable(state_);
    if (!shown->Filtered())
        return AnalysisTable(state_, {}, nullptr, shown->Held());
    return AnalysisTable(state_, shown->Filter(), &(*shown)(), shown->Held());
}

bool PlotExport::WriteTable(const AnalysisTable &table, const QString &progress,
                            const std::function<bool(std::string &)> &take)
{
    return RunWithProgress(tasks_, &window_, progress, table.RowCount(), [&](TaskControl &control) {
        std::string rows;
        for (std::int64_t row = 0; row < table.RowCount() && !control.Cancelled();
             row += RowsPerChunk) {
            const std::int64_t count = std::min(RowsPerChunk, table.RowCount() - row);
            rows.clear();
            table.AppendRows(row, count, rows);
            if (!take(rows))
                return;
            control.AddDone(count);
        }
    });
}

void PlotExport::CopyImage()
{
    // The window's picture, with its notes under it, so that it says what it shows.
    const QImage picture = plot_.Image();
    const int scale = std::max(1, qRound(picture.devicePixelRatio()));
    QImage copied = WithNotes(picture, slide_.notes(), scale);
    copied.setDevicePixelRatio(1);
    QGuiApplication::clipboard()->setImage(copied);
}

void PlotExport::SaveImage()
{
    const TaskGate::Pass pass(tasks_);
    if (!pass)
        return;
    SavePicture(plot_.Image(), QTextOf(UiText::SaveImageTitle),
                QStringLiteral("spettro-segnale.png"));
}

void PlotExport::SaveSlide()
{
    const TaskGate::Pass pass(tasks_);
    if (!HasAnalysis() || !pass)
        return;
    const std::optional<SlideChoice> choice = chooseSlide_();
    if (!choice)
        return;
    const QImage slide
        = WithNotes(slide_.picture(choice->scale),
                    choice->caption ? slide_.notes() : PictureNotes {}, choice->scale);
    SavePicture(
        slide, QTextOf(UiText::SaveSlideTitle),
        QString::fromStdString(SlideFileName(state_.Parameters(), AsciiDecimalSeparator())));
}

void PlotExport::SavePicture(const QImage &picture, const QString &title, const QString &name)
{
    QSaveFile file;
    if (!OpenChosen(file, title, name, QTextOf(UiText::ImageFilter)))
        return;
    const QString path = file.fileName();
    // The retained image as it is, one pixel per device pixel, encoded in memory and written by
    // the system's own write, so that a failure says why.
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!picture.save(&buffer, "PNG")) {
        file.cancelWriting();
        return Fail(path, SaveProblem::WriteFailed);
    }
    if (const auto problem
        = WriteAll(int(file.handle()), {png.constData(), std::size_t(png.size())})) {
        file.cancelWriting();
        return Fail(path, *problem);
    }
    Commit(file, path);
}

void PlotExport::CopyData()
{
    const TaskGate::Pass pass(tasks_);
    if (!HasAnalysis() || !pass)
        return;
    const AnalysisTable table = Table();
    if (table.RowCount() > SpreadsheetRows)
        return messages_.Show(TooManyRowsText(table.RowCount()));
    if (!ProvideHarmonicSum(tasks_, &window_, state_, messages_))
        return;
    // The CSV for programs; for a spreadsheet, an HTML table and tab-separated text with the
    // decimal separator the windows show numbers with, which a spreadsheet in the user's
    // language reads as numbers.
    const char16_t separator = LocaleDecimalSeparator();
    std::string csv, tabs, html;
    bool written = false;
    if (const auto outOfMemory = OutOfMemoryMessage(MemoryTask::Copy, [&] {
            AppendHtmlStart(html);
            written = RunWithProgress(
                tasks_, &window_, QTextOf(UiText::CopyDataProgress), table.RowCount(),
                [&](TaskControl &control) {
                    for (std::int64_t row = 0; row < table.RowCount() && !control.Cancelled();
                         row += RowsPerChunk) {
                        const std::int64_t count = std::min(RowsPerChunk, table.RowCount() - row);
                        table.AppendRows(row, count, csv);
                        AppendTabRows(table, row, count, separator, tabs);
                        AppendHtmlRows(table, row, count, separator, html);
                        control.AddDone(count);
                    }
                });
            if (written)
                AppendHtmlEnd(html);
        }))
        return messages_.Show(*outOfMemory);
    if (!written)
        return;
    auto *data = new QMimeData;
    data->setData(QStringLiteral("text/csv"), QByteArray::fromStdString(csv));
    data->setHtml(QString::fromStdString(html));
    data->setText(QString::fromStdString(tabs));
    QGuiApplication::clipboard()->setMimeData(data);
}

void PlotExport::SaveData()
{
    const TaskGate::Pass pass(tasks_);
    if (!HasAnalysis() || !pass || !ProvideHarmonicSum(tasks_, &window_, state_, messages_))
        return;
    QSaveFile file;
    if (!OpenChosen(file, QTextOf(UiText::SaveDataTitle), QStringLiteral("spettro-segnale.csv"),
                    QTextOf(UiText::DataFilter)))
        return;
    const QString path = file.fileName();
    // The worker alone writes to the file until WriteTable returns; the analysis state
    // cannot change meanwhile, as the gate keeps both commands out.
    const AnalysisTable table = Table();
    const int fd = int(file.handle());
    std::optional<SaveProblem> problem;
    bool completed = false;
    if (const auto outOfMemory = OutOfMemoryMessage(
            MemoryTask::Save,
            [&] {
                completed
                    = WriteTable(table, QTextOf(UiText::SaveDataProgress), [&](std::string &rows) {
                          problem = WriteAll(fd, rows);
                          return !problem;
                      });
            },
            path.toStdU16String())) {
        file.cancelWriting();
        return messages_.Show(*outOfMemory);
    }
    // Cancelled or failed: the temporary file goes, and an existing one stays as it was.
    if (!completed)
        return file.cancelWriting();
    if (problem) {
        file.cancelWriting();
        return Fail(path, *problem);
    }
    Commit(file, path);
}

void PlotExport::SaveWorkbook()
{
    const TaskGate::Pass pass(tasks_);
    if (!HasAnalysis() || !pass)
        return;
    const AnalysisTable table = Table();
    if (WorkbookSheetRows(table) > SpreadsheetRows)
        return messages_.Show(TooManyWorkbookRowsText(WorkbookSheetRows(table)));
    if (!ProvideHarmonicSum(tasks_, &window_, state_, messages_))
        return;
    QSaveFile file;
    if (!OpenChosen(file, QTextOf(UiText::SaveWorkbookTitle),
                    QStringLiteral("spettro-segnale.xlsx"), QTextOf(UiText::WorkbookFilter)))
        return;
    const QString path = file.fileName();
    // The library writes to a file name of its own choosing: it is given the open temporary
    // file's own name where the system has one, which then goes in place as the other saves do;
    // elsewhere a file of its own, copied into the temporary one.
    const int fd = int(file.handle());
    const std::optional<std::string> direct = NameOfOpenFile(fd);
    QTemporaryFile scratch(QDir::tempPath() + QStringLiteral("/spettro-segnale-XXXXXX.xlsx"));
    if (!direct && !scratch.open()) {
        file.cancelWriting();
        return Fail(path, SaveProblem::WriteFailed);
    }
    scratch.close(); // the library opens it by name
    const std::string written = direct ? *direct : scratch.fileName().toStdString();
    WorkbookResult result = WorkbookResult::Cancelled;
    int error = 0;
    bool completed = false;
    std::optional<SaveProblem> copied;
    if (const auto outOfMemory = OutOfMemoryMessage(
            MemoryTask::Save,
            [&] {
                completed = RunWithProgress(tasks_, &window_, QTextOf(UiText::SaveWorkbookProgress),
                                            table.RowCount(), [&](TaskControl &control) {
                                                result = WriteAnalysisWorkbook(table, written,
                                                                               control, error);
                                                if (result == WorkbookResult::Written && !direct)
                                                    copied = CopyInto(written, fd);
                                            });
            },
            path.toStdU16String())) {
        file.cancelWriting();
        return messages_.Show(*outOfMemory);
    }
    if (!completed || result == WorkbookResult::Cancelled)
        return file.cancelWriting();
    if (result == WorkbookResult::Failed || copied) {
        file.cancelWriting();
        return Fail(path, copied ? *copied : ProblemOf(error));
    }
    Commit(file, path);
}

void testing_seam::SetFileChooser(PlotExport &out, FileChooser &files)
{
    out.files_ = &files;
}

void testing_seam::SetSlideChooser(PlotExport &out,
                                   std::function<std::optional<SlideChoice>()> choose)
{
    out.chooseSlide_ = std::move(choose);
}
