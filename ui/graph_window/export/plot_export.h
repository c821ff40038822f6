// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The way out of the graph window: the plot as an image and the analysis as a table (CSV, a
// spreadsheet workbook, or on the clipboard in the forms a spreadsheet pastes), from the plot's
// context menu and the window's shortcuts.
#pragma once

#include "for_tests.h"
#include "qt_file_chooser.h"
#include "slide_picture.h"

#include "ui/long_work/task_gate.h"

#include <QImage>
#include <QObject>
#include <QPoint>

#include <functional>
#include <optional>
#include <string>

class AnalysisTable;
class ShownAnalysis;
struct AnalysisState;
enum class SaveProblem;
class FileChooser;
class MessageBox;
class PlotArea;
class QAction;
class QMenu;
class QSaveFile;
class QString;
class QWidget;

// Where the slide's picture comes from: the plot drawn apart from the window at the scale chosen;
// and the notes under a picture of the plot (the slide's and the copied image's): the caption that
// states what it shows and the key of its colours.
struct SlideSource
{
    std::function<QImage(int scale)> picture;
    std::function<PictureNotes()> notes;
    // What the plot shows, whose filter and output the data carry beside the analysis; none
    // without a filter.
    std::function<const ShownAnalysis *()> shown = [] { return nullptr; };
};

class PlotExport : public QObject
{
    Q_OBJECT
public:
    // Everything given must outlive the export; `window` is its parent. Every export enters
    // `tasks`, the program's gate of long tasks, before it reads the analysis. The copied and
    // saved image are `plot`'s picture as it stands; the slide's is `slide`'s.
    PlotExport(QWidget &window, PlotArea &plot, AnalysisState &state, MessageBox &messages,
               TaskGate &tasks, SlideSource slide);

    // "Copia immagine" (Ctrl+C), "Salva immagine…" (Ctrl+S), "Copia dati", "Salva dati (CSV)…",
    // "Salva foglio di calcolo (.xlsx)…": the window's actions, and the entries of the menu.
    QAction *CopyImageAction() const { return copyImage_; }
    QAction *SaveImageAction() const { return saveImage_; }
    QAction *CopyDataAction() const { return copyData_; }
    QAction *SaveDataAction() const { return saveData_; }
    QAction *SaveWorkbookAction() const { return saveWorkbook_; }

    // "Salva immagine per diapositive…", the menu bar's entry.
    QAction *SaveSlideAction() const { return saveSlide_; }
    // The data entries are enabled only once an analysis exists.
    void EnableDataActions();

    void CopyImage();
    void SaveImage();
    void CopyData();
    void SaveData();
    void SaveWorkbook();
    void SaveSlide();

private:
    friend void testing_seam::SetFileChooser(PlotExport &out, FileChooser &files);
    friend void testing_seam::SetSlideChooser(PlotExport &out,
                                              std::function<std::optional<SlideChoice>()> choose);

    bool HasAnalysis() const;
    // Asks where to save, starting from `name` in the usual folder, and opens a file there;
    // false when the user gave up, or, with the reason shown, when the file cannot be made.
    bool OpenChosen(QSaveFile &file, const QString &title, const QString &name,
                    const QString &filter);
    void Fail(const QString &path, SaveProblem problem);
    // Asks where, and saves the picture there as a PNG file.
    void SavePicture(const QImage &picture, const QString &title, const QString &name);
    // The table's rows, a chunk at a time, to `take` on a worker thread, with the progress shown
    // when it lasts; false when cancelled. `take` returns false to stop.
    // The table of the analysis, and through a filter its output's.
    AnalysisTable Table() const;
    bool WriteTable(const AnalysisTable &table, const QString &progress,
                    const std::function<bool(std::string &)> &take);
    // Puts a fully written file in place, or reports why it could not be.
    void Commit(QSaveFile &file, const QString &path);

    QWidget &window_;
    PlotArea &plot_;
    AnalysisState &state_;
    MessageBox &messages_;
    QtFileChooser dialog_;
    FileChooser *files_ = &dialog_;
    TaskGate &tasks_;
    QAction *copyImage_;
    QAction *saveImage_;
    QAction *copyData_;
    QAction *saveData_;
    QAction *saveWorkbook_;
    QAction *saveSlide_;
    SlideSource slide_;
    std::function<std::optional<SlideChoice>()> chooseSlide_;
};
