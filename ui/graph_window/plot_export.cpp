#include "plot_export.h"

#include "plot_area.h"

#include "ui/classic/task_gate.h"
#include "ui/classic/work_progress.h"

#include "core/analysis_state.h"
#include "core/analysis_table.h"
#include "core/message_box.h"
#include "core/messages.h"

#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QMenu>
#include <QSaveFile>
#include <QStandardPaths>

#include <cerrno>
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

// A commit fails on the last write or on putting the file in place of the old one.
SaveProblem CommitProblem(const QSaveFile &file, int error)
{
    const SaveProblem problem = DiagnoseWriteFailure(error);
    return problem == SaveProblem::WriteFailed && file.error() == QFileDevice::RenameError
        ? SaveProblem::ReplaceFailed
        : problem;
}

} // namespace

PlotExport::PlotExport(QWidget &window, PlotArea &plot, AnalysisState &state, MessageBox &messages,
                       TaskGate &tasks)
    : QObject(&window), window_(window), plot_(plot), state_(state), messages_(messages),
      gate_(tasks)
{
    const auto action = [&](const QString &text, void (PlotExport::*slot)()) {
        auto *a = new QAction(text, &window);
        a->setShortcutContext(Qt::WindowShortcut);
        connect(a, &QAction::triggered, this, slot);
        window.addAction(a);
        return a;
    };
    copyImage_ = action(QStringLiteral("Copia immagine"), &PlotExport::CopyImage);
    copyImage_->setShortcut(QKeySequence::Copy);
    saveImage_ = action(QStringLiteral("Salva immagine…"), &PlotExport::SaveImage);
    saveImage_->setShortcut(QKeySequence::Save);
    copyData_ = action(QStringLiteral("Copia dati (CSV)"), &PlotExport::CopyData);
    saveData_ = action(QStringLiteral("Salva dati (CSV)…"), &PlotExport::SaveData);

    menu_ = new QMenu(&window);
    menu_->setObjectName("PlotMenu");
    menu_->addActions({copyImage_, saveImage_});
    menu_->addSeparator();
    menu_->addActions({copyData_, saveData_});
    connect(menu_, &QMenu::aboutToShow, this, [this] {
        copyData_->setEnabled(HasAnalysis());
        saveData_->setEnabled(HasAnalysis());
    });
}

bool PlotExport::HasAnalysis() const
{
    return !state_.Samples.empty();
}

void PlotExport::ShowMenu(QPoint globalPosition)
{
    menu_->popup(globalPosition);
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
    // QSaveFile commits a file whose last buffered write failed at its flush: flush first and
    // look, so that a failed save leaves nothing behind.
    errno = 0;
    if (!file.flush() || file.error() != QFileDevice::NoError) {
        const int error = errno;
        file.cancelWriting();
        return Fail(path, DiagnoseWriteFailure(error));
    }
    errno = 0;
    if (!file.commit())
        Fail(path, CommitProblem(file, errno));
}

bool PlotExport::WriteTable(const TaskGate::Pass &pass, const AnalysisTable &table,
                            const QString &progress, const std::function<bool(std::string &)> &take)
{
    return RunWithProgress(pass, &window_, progress, table.RowCount(), [&](TaskControl &control) {
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
    QGuiApplication::clipboard()->setImage(plot_.Image());
}

void PlotExport::SaveImage()
{
    const TaskGate::Pass pass(gate_);
    if (!pass)
        return;
    QSaveFile file;
    if (!OpenChosen(file, QStringLiteral("Salva immagine"), QStringLiteral("spettro-segnale.png"),
                    QStringLiteral("Immagine PNG (*.png)")))
        return;
    const QString path = file.fileName();
    // The retained image as it is, one pixel per device pixel. The image writer reports success
    // even when a write failed; the file knows better.
    errno = 0;
    if (!plot_.Image().save(&file, "PNG") || file.error() != QFileDevice::NoError) {
        const int error = errno;
        file.cancelWriting();
        return Fail(path, DiagnoseWriteFailure(error));
    }
    Commit(file, path);
}

void PlotExport::CopyData()
{
    const TaskGate::Pass pass(gate_);
    if (!HasAnalysis() || !pass)
        return;
    const AnalysisTable table(state_);
    if (table.RowCount() > SpreadsheetRows)
        return messages_.Show(TooManyRowsText(table.RowCount()));
    std::string text;
    const bool written
        = WriteTable(pass, table, QStringLiteral("Copia dei dati...\nRighe scritte: %1 di %2"),
                     [&](std::string &rows) {
                         text += rows;
                         return true;
                     });
    if (written)
        QGuiApplication::clipboard()->setText(QString::fromStdString(text));
}

void PlotExport::SaveData()
{
    const TaskGate::Pass pass(gate_);
    if (!HasAnalysis() || !pass)
        return;
    QSaveFile file;
    if (!OpenChosen(file, QStringLiteral("Salva dati (CSV)"), QStringLiteral("spettro-segnale.csv"),
                    QStringLiteral("Dati CSV (*.csv)")))
        return;
    const QString path = file.fileName();
    // The worker alone writes to the file until WriteTable returns; the analysis state
    // cannot change meanwhile, as the gate keeps both commands out.
    const AnalysisTable table(state_);
    int writeError = 0;
    const bool completed
        = WriteTable(pass, table, QStringLiteral("Scrittura dei dati...\nRighe scritte: %1 di %2"),
                     [&](std::string &rows) {
                         errno = 0;
                         if (file.write(rows.data(), qint64(rows.size())) == qint64(rows.size()))
                             return true;
                         writeError = errno ? errno : EIO;
                         return false;
                     });
    // Cancelled or failed: the temporary file goes, and an existing one stays as it was.
    if (!completed)
        return file.cancelWriting();
    if (writeError != 0) {
        file.cancelWriting();
        return Fail(path, DiagnoseWriteFailure(writeError));
    }
    Commit(file, path);
}
