// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The way out of the graph window: its context menu and shortcuts, the image and the data on the
// clipboard and in files, and saves that fail or are cancelled leaving nothing behind.
#include "core/export/analysis_table.h"
#include "core/texts/messages.h"
#include "tests/core/platform/small_disk.h"
#include "tests/support/input_window_fixture.h"
#include "tests/support/same_analysis.h"
#include "ui/classic/qt_translations.h"
#include "ui/graph_window/export/file_chooser.h"
#include "ui/graph_window/export/for_tests.h"
#include "ui/graph_window/export/plot_export.h"
#include "ui/graph_window/export/qt_file_chooser.h"
#include "ui/graph_window/for_tests.h"
#include "ui/graph_window/form2.h"
#include "ui/graph_window/plot/for_tests.h"
#include "ui/graph_window/plot/harmonic_sum_layer.h"
#include "ui/graph_window/plot/measure_labels.h"
#include "ui/graph_window/plot/plot_area.h"
#include "ui/graph_window/plot/plot_layers.h"
#include "ui/graph_window/plot/plot_overlays.h"
#include "ui/graph_window/plot/spectrum_views.h"

#include <QAbstractFileIconProvider>
#include <QAbstractProxyModel>
#include <QAction>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QProgressDialog>
#include <QRadioButton>
#include <QScopeGuard>
#include <QTemporaryDir>

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QPushButton>

#ifdef _WIN32
#include <windows.h>
#else
#include <csignal>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <unistd.h>
#endif

namespace {

// Answers the save dialog with a chosen path and remembers what it was asked.
class ChosenPath : public FileChooser
{
public:
    QString SaveFileName(QWidget *, const QString &title, const QString &suggested,
                         const QString &) override
    {
        titles << title;
        suggestions << suggested;
        return path;
    }
    QString path;
    QStringList titles;
    QStringList suggestions;
};

QByteArray Contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray CopiedCsv()
{
    return QGuiApplication::clipboard()->mimeData()->data(QStringLiteral("text/csv"));
}

QByteArray TableText(const AnalysisState &state)
{
    const AnalysisTable table(state);
    std::string text;
    table.AppendRows(0, table.RowCount(), text);
    return QByteArray::fromStdString(text);
}

#ifdef _WIN32
// Windows sets no limit on the size of one process's files: the rows that need one skip, and a
// small drive of the test script's (SPETTRO_SMALL_DRIVE) shows the full disk instead.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(std::int64_t) { }
    static bool Available() { return false; }
};

// Keeps a file from being replaced: read-only; as it was again when it goes out of scope.
class Protected
{
public:
    explicit Protected(const QString &path) : path_(path)
    {
        SetFileAttributesW(reinterpret_cast<const wchar_t *>(path.utf16()),
                           FILE_ATTRIBUTE_READONLY);
    }
    ~Protected()
    {
        SetFileAttributesW(reinterpret_cast<const wchar_t *>(path_.utf16()), FILE_ATTRIBUTE_NORMAL);
    }

private:
    QString path_;
};

// Holds a file open, shared with no one, as a spreadsheet holds the file it shows.
class HeldOpen
{
public:
    explicit HeldOpen(const QString &path)
        : handle_(CreateFileW(reinterpret_cast<const wchar_t *>(path.utf16()), GENERIC_READ, 0,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr))
    { }
    ~HeldOpen() { CloseHandle(handle_); }
    bool Holding() const { return handle_ != INVALID_HANDLE_VALUE; }

private:
    HANDLE handle_;
};
constexpr bool FilesHeldOpenStayInPlace = true;
#else
// Lowers the largest file this process may write, so that a save fails as on a full disk.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(std::int64_t bytes)
    {
        std::signal(SIGXFSZ, SIG_IGN); // the write fails with EFBIG instead of a signal
        getrlimit(RLIMIT_FSIZE, &saved_);
        rlimit lowered = saved_;
        lowered.rlim_cur = rlim_t(bytes);
        setrlimit(RLIMIT_FSIZE, &lowered);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &saved_); }
    static bool Available() { return true; }

private:
    rlimit saved_ {};
};

// Keeps a file from being replaced: immutable where the test may make it so (as root),
// read-only for its owner otherwise; as it was again when it goes out of scope.
class Protected
{
public:
    explicit Protected(const QString &path) : path_(path)
    {
        const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY);
        if (fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags_) == 0) {
            int immutable = flags_ | FS_IMMUTABLE_FL;
            immutable_ = ::ioctl(fd, FS_IOC_SETFLAGS, &immutable) == 0;
        }
        if (fd >= 0)
            ::close(fd);
        if (!immutable_)
            QFile::setPermissions(path, QFileDevice::ReadOwner);
    }
    ~Protected()
    {
        if (!immutable_) {
            QFile::setPermissions(path_, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
            return;
        }
        const int fd = ::open(QFile::encodeName(path_).constData(), O_RDONLY);
        ::ioctl(fd, FS_IOC_SETFLAGS, &flags_);
        ::close(fd);
    }

private:
    QString path_;
    int flags_ = 0;
    bool immutable_ = false;
};

// On Linux a file another program holds open is replaced all the same.
class HeldOpen
{
public:
    explicit HeldOpen(const QString &path) : file_(path) { file_.open(QIODevice::ReadOnly); }
    bool Holding() const { return file_.isOpen(); }

private:
    QFile file_;
};
constexpr bool FilesHeldOpenStayInPlace = false;
#endif

// The one visible top-level window of a kind (a modal dialog the test must answer), if any.
template<typename Window> Window *Showing()
{
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (auto *window = qobject_cast<Window *>(widget); window && window->isVisible())
            return window;
    return nullptr;
}

} // namespace

class ExportTest : public QObject
{
    Q_OBJECT

private:
    InputWindowFixture w_;
    ChosenPath chooser_;
    std::unique_ptr<QTemporaryDir> folder_;

    // The graph window of the given analysis, its saves answered by chooser_.
    Form2 *graphs(const char *samples = "10000", const char *harmonics = "10")
    {
        w_.Type("Text13", samples);
        w_.Type("Text3", harmonics);
        w_.Click("Command2");
        Form2 *window = w_.form->GraphWindow();
        if (window)
            testing_seam::SetFileChooser(testing_seam::Export(*window), chooser_);
        return window;
    }
    QString in(const QString &name) const { return folder_->filePath(name); }
    // The sum of the harmonics, which the table holds, computed before a save, so that the long
    // work a test holds is the save's.
    void provideTheSum(Form2 *window)
    {
        const TaskGate::Pass pass(w_.gate);
        QVERIFY(ProvideHarmonicSum(w_.gate, window, *w_.state, *w_.box));
    }
    // Everything in the folder but the files named.
    QStringList leftOver(const QStringList &expected) const
    {
        QStringList found = QDir(folder_->path()).entryList(QDir::Files | QDir::Hidden);
        for (const QString &name : expected)
            found.removeAll(name);
        return found;
    }

private slots:
    void init()
    {
        QVERIFY(w_.Start());
        folder_ = std::make_unique<QTemporaryDir>();
        chooser_ = ChosenPath();
    }
    void cleanup()
    {
        w_.Stop();
        folder_.reset();
    }

    void menuAndShortcutsReachTheSameActions()
    {
        Form2 *window = graphs();
        PlotExport *out = &testing_seam::Export(*window);
        QStringList entries;
        for (QAction *action : window->PlotMenu()->actions())
            entries << action->text();
        QCOMPARE(entries,
                 (QStringList {"Copia immagine",
                               "Salva immagine\u2026",
                               "",
                               "Copia dati",
                               "Salva dati (CSV)\u2026",
                               "Salva foglio di calcolo (.xlsx)\u2026",
                               "",
                               "Somma delle armoniche",
                               "Armoniche una per una",
                               "",
                               "Scala in dB",
                               "Spettro di fase",
                               "Inviluppo",
                               "Valori sugli assi",
                               "Mantieni la scala",
                               "Frequenze in scala logaritmica",
                               "Pendenze -20 e -40 dB/decade",
                               "Fondo scala in dB",
                               "Misure",
                               "Fi&ltro",
                               "Fissa come riferimento",
                               "Togli riferimento"}));
        // Nothing to drop before a reference is held.
        QVERIFY(!window->DropReferenceAction()->isEnabled());
        // Each layer's entry, made once: the one action of its name in the window, in the menu,
        // checkable, off, Ctrl and its key.
        for (const LayerDeclaration &layer : PaintOrder) {
            if (!layer.entry)
                continue;
            const auto named = window->findChildren<QAction *>(layer.objectName);
            QCOMPARE(named.size(), 1);
            QCOMPARE(named[0], window->Layers().Entry(layer.layer));
            QVERIFY(window->PlotMenu()->actions().contains(named[0]));
            QVERIFY(named[0]->isCheckable() && !named[0]->isChecked());
            QCOMPARE(named[0]->shortcut(), QKeySequence(Qt::CTRL | layer.key));
        }
        QCOMPARE(window->PlotMenu()->actions()[0], out->CopyImageAction());
        QCOMPARE(window->PlotMenu()->actions()[1], out->SaveImageAction());
        // The menu bar holds every entry of the plot's menu, the same action.
        QStringList titles;
        QList<QAction *> inBar;
        for (QAction *menu : window->findChild<QMenuBar *>("MenuBar")->actions()) {
            titles << menu->text();
            inBar << menu->menu()->actions();
        }
        QCOMPARE(titles, (QStringList {"&File", "&Visualizza", "&Aiuto"}));
        for (QAction *entry : window->PlotMenu()->actions())
            QVERIFY2(entry->isSeparator() || inBar.contains(entry), qPrintable(entry->text()));
        QVERIFY(window->actions().contains(out->CopyImageAction()));
        QCOMPARE(out->CopyImageAction()->shortcut(), QKeySequence(QKeySequence::Copy));
        QCOMPARE(out->SaveImageAction()->shortcut(), QKeySequence(QKeySequence::Save));

        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
        QGuiApplication::clipboard()->clear();
        QTest::keyClick(window, Qt::Key_C, Qt::ControlModifier);
        // The window's picture, and under it a white band with the key of its colours and its
        // caption, so that the copy says what it shows.
        const QImage copied
            = QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32);
        const QImage picture = window->Picture1()->Image().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(copied.copy(0, 0, picture.width(), picture.height()), picture);
        QVERIFY(copied.height() > picture.height());
        const QImage band
            = copied.copy(0, picture.height(), copied.width(), copied.height() - picture.height());
        QCOMPARE(band.pixel(0, 0) & 0xffffff, 0xffffffu);
        for (const QRgb colour : {0xff0000u, 0x0000ffu, 0x00ff00u}) { // s(t), S(f), the DC's key
            bool found = false;
            for (int y = 0; y < band.height() && !found; ++y)
                for (int x = 0; x < band.width() && !found; ++x)
                    found = (band.pixel(x, y) & 0xffffff) == colour;
            QVERIFY2(found, qPrintable(QString::number(colour, 16)));
        }
        QCOMPARE(window->Notes().caption, window->SlideCaption());
        QTest::keyClick(window, Qt::Key_S, Qt::ControlModifier); // the dialog, given up
        QCOMPARE(chooser_.titles, QStringList {"Salva immagine"});
        QVERIFY(chooser_.suggestions.first().endsWith("/spettro-segnale.png"));
    }

    // The Menu key anywhere in the window (the platform turns it into a keyboard context menu
    // event for the focused control), a right click on the plot: the same menu.
    void theMenuKeyAndARightClickOpenTheMenu()
    {
        Form2 *window = graphs();
        PlotExport *out = &testing_seam::Export(*window);
        window->Option1()->setFocus();
        QContextMenuEvent key(QContextMenuEvent::Keyboard, QPoint(5, 5),
                              window->Option1()->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(window->Option1(), &key);
        QTRY_VERIFY(window->PlotMenu()->isVisible());
        window->PlotMenu()->hide();
        QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(50, 50),
                                window->Picture1()->mapToGlobal(QPoint(50, 50)));
        QApplication::sendEvent(window->Picture1(), &click);
        QTRY_VERIFY(window->PlotMenu()->isVisible());
        QVERIFY(out->CopyDataAction()->isEnabled() && out->SaveDataAction()->isEnabled());
        QVERIFY(out->SaveWorkbookAction()->isEnabled());
        window->PlotMenu()->hide();
    }

    void dataEntriesWaitForAnAnalysis()
    {
        AnalysisState empty;
        Form2 window(empty, *w_.box, w_.gate);
        window.show();
        window.ShowPlotMenu(window.mapToGlobal(QPoint(100, 100)));
        QTRY_VERIFY(window.PlotMenu()->isVisible());
        QVERIFY(!testing_seam::Export(window).CopyDataAction()->isEnabled());
        QVERIFY(!testing_seam::Export(window).SaveDataAction()->isEnabled());
        QVERIFY(!testing_seam::Export(window).SaveWorkbookAction()->isEnabled());
        QVERIFY(testing_seam::Export(window).CopyImageAction()->isEnabled());
        window.PlotMenu()->hide();
    }

    // A picture for slides: the plot at the scale chosen, its lines as many times wider, the
    // caption under it stating the parameters and the views; the window's plot and its sum stay
    // as they were.
    void aSlideIsThePlotAtItsScaleWithItsCaption()
    {
        Form2 *window = graphs();
        PlotExport *out = &testing_seam::Export(*window);
        window->HarmonicSum()->Action()->trigger();
        window->HarmonicSum()->StepTerms(-7);
        QTRY_COMPARE(window->HarmonicSum()->Terms(), 3);
        QTRY_VERIFY(!testing_seam::RedrawQueued(*window->Overlays()));
        const QImage before = window->Picture1()->Image();
        // Drawn apart from the window at the window's own style, the picture is the window's to
        // the bit, the layers over the graphs included.
        QCOMPARE(window->PictureOf(window->Picture1()->Style()), before);
        QCOMPARE(window->Picture1()->Image(), before);
        QCOMPARE(window->SlideCaption(),
                 QStringLiteral("Forma dell'impulso: semisinusoide. D.C. = 0.5, Vmax = 10 V, "
                                "f = 100 kHz, N = 10000, M = 10, Np = 3. Viste: Somma delle "
                                "armoniche (somma delle prime 3 armoniche)."));
        // The rows of the time axis, red, between the first two pulses, where nothing else is.
        const auto axisRows = [](const QImage &image) {
            int rows = 0;
            for (int y = 0; y < image.height(); ++y)
                rows += (image.pixel(image.width() * 55 / 100, y) & 0xffffff) == 0xff0000;
            return rows;
        };
        QCOMPARE(axisRows(before), 1);
        const struct
        {
            SlideChoice choice;
            const char *file;
        } slides[] = {{{3, true}, "con-didascalia.png"}, {{2, false}, "senza.png"}};
        for (const auto &slide : slides) {
            testing_seam::SetSlideChooser(*out, [&] { return slide.choice; });
            chooser_.path = in(slide.file);
            out->SaveSlideAction()->trigger();
            const QImage saved(chooser_.path);
            const int scale = slide.choice.scale;
            QCOMPARE(saved.width(), before.width() * scale);
            QCOMPARE(saved.height() > before.height() * scale, slide.choice.caption);
            QCOMPARE(axisRows(saved.copy(0, 0, saved.width(), before.height() * scale)), scale | 1);
            if (slide.choice.caption) { // dark text on white under the plot, and the key
                const QImage band = saved
                                        .copy(0, before.height() * scale, saved.width(),
                                              saved.height() - before.height() * scale)
                                        .convertToFormat(QImage::Format_RGB32);
                QCOMPARE(band.pixel(0, 0) & 0xffffff, 0xffffffu);
                QVERIFY(std::any_of(band.constBits(), band.constBits() + band.sizeInBytes(),
                                    [](uchar c) { return c < 64; }));
                const auto *pixels = reinterpret_cast<const QRgb *>(band.constBits());
                for (const QRgb key : {0xff0000u, 0x0000ffu, 0x800080u}) // s(t), S(f), the sum
                    QVERIFY2(std::any_of(pixels, pixels + band.width() * band.height(),
                                         [&](QRgb p) { return (p & 0xffffff) == key; }),
                             qPrintable(QString::number(key, 16)));
            }
            QCOMPARE(window->Picture1()->Image(), before);
            QCOMPARE(window->HarmonicSum()->Terms(), 3);
        }
        QVERIFY2(chooser_.suggestions.last().endsWith(
                     "/spettro-segnale-diapositiva-semisinusoide-D0.5.png"),
                 qPrintable(chooser_.suggestions.last()));
        QCOMPARE(chooser_.titles.last(), QStringLiteral("Salva immagine per diapositive"));
        // The measures are beside the plot, not in its picture: on, the caption carries them.
        window->Measures().Action()->trigger();
        const QString caption = window->SlideCaption();
        QVERIFY2(caption.contains("; Misure (valore efficace "), qPrintable(caption));
        for (const QLabel *value : window->Measures().Values())
            QVERIFY2(caption.contains(value->text().trimmed()), qPrintable(value->text()));
        window->Measures().Action()->trigger();
        // In each view, the sum still on: the picture apart is the window's.
        for (QAction *view :
             {window->Views()->EnvelopeAction(), window->Views()->DecibelAction(),
              window->Views()->AxisValuesAction(), window->Views()->PhaseAction()}) {
            view->trigger();
            QTRY_VERIFY(!testing_seam::RedrawQueued(*window->Overlays()));
            QCOMPARE(window->PictureOf(window->Picture1()->Style()), window->Picture1()->Image());
        }
    }

    void imageAndDataReachTheirFilesAndTheClipboard()
    {
        Form2 *window = graphs();
        PlotExport *out = &testing_seam::Export(*window);
        chooser_.path = in("grafici.png");
        out->SaveImage();
        QCOMPARE(QImage(chooser_.path).convertToFormat(QImage::Format_RGB32),
                 window->Picture1()->Image().convertToFormat(QImage::Format_RGB32));
        chooser_.path = in("dati.csv");
        QVERIFY(w_.state->HarmonicSum.empty()); // never shown
        out->SaveData();
        // The sum of the harmonics, computed for the table, fills its column.
        QCOMPARE(w_.state->HarmonicSum.size(), std::size_t(10001));
        QVERIFY(Contents(chooser_.path)
                    .contains(",s(i) [V],somma armoniche [V],fase [\u00B0],livello [dB],"));
        QCOMPARE(Contents(chooser_.path), TableText(*w_.state));
        chooser_.path = in("foglio.xlsx");
        out->SaveWorkbook();
        QCOMPARE(chooser_.titles,
                 (QStringList {"Salva immagine", "Salva dati (CSV)", "Salva foglio di calcolo"}));
        QVERIFY(chooser_.suggestions[1].endsWith("/spettro-segnale.csv"));
        QVERIFY(chooser_.suggestions[2].endsWith("/spettro-segnale.xlsx"));
        QVERIFY(Contents(chooser_.path).startsWith("PK\x03\x04")); // a zip, as workbooks are
        out->CopyData();
        QCOMPARE(CopiedCsv(), TableText(*w_.state));
        // For a spreadsheet: one line of tab-separated cells per row, and an HTML table.
        const QStringList lines = QGuiApplication::clipboard()->text().split('\n');
        // The header, the DC component, the harmonics, the samples, the measures, the parameters.
        QCOMPARE(lines.size(), 4 + 10 + 10000 + 1); // after the last line end, nothing
        for (const QString &line : lines.first(lines.size() - 1))
            QCOMPARE(line.count('\t'), qsizetype(AnalysisTable::ColumnCount - 1));
        QVERIFY(lines[2].startsWith("armonica\t\t1\t"));
        QVERIFY(lines[lines.size() - 3].startsWith("misure\t"));
        QVERIFY(lines[lines.size() - 2].startsWith("parametri\t"));
        QCOMPARE(QGuiApplication::clipboard()->mimeData()->html().count("<tr>"), 4 + 10 + 10000);
        QVERIFY(w_.box->shown.empty());
        QCOMPARE(leftOver({"grafici.png", "dati.csv", "foglio.xlsx"}), QStringList());
    }

    // After a harmonic modulus command the data follow the new analysis, as the readout does.
    // The real save dialog, as the program opens it, in Italian: its accept button, and its
    // question before it replaces a file, answered no.
    void theSaveDialogSpeaksItalian()
    {
        QVERIFY2(InstallQtItalianTranslations(),
                 qPrintable(QtItalianTranslationsPath() + " unreadable: qt6-translations-l10n"));
        // The dialog writes its history into Qt's settings: the test's folder, not the user's.
        const QByteArray configHome = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(folder_->path()));
        const auto restore = qScopeGuard([&] {
            if (configHome.isNull())
                qunsetenv("XDG_CONFIG_HOME");
            else
                qputenv("XDG_CONFIG_HOME", configHome);
        });
        const QString existing = in(QStringLiteral("spettro-segnale.csv"));
        QVERIFY(QFile(existing).open(QIODevice::WriteOnly));
        QString accept;
        QString question;
        QStringList answers;
        // Each dialog is answered from its own event loop, once it is shown.
        QTimer::singleShot(0, this, [&] {
            auto *dialog = Showing<QFileDialog>();
            if (dialog == nullptr)
                return;
            QPushButton *save
                = dialog->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Save);
            if (save != nullptr) {
                accept = save->text();
                QTimer::singleShot(0, this, [&] {
                    auto *box = Showing<QMessageBox>();
                    if (box == nullptr)
                        return;
                    question = box->text();
                    for (const QAbstractButton *button : box->buttons())
                        answers << button->text();
                    box->button(QMessageBox::No)->click();
                });
                save->click();
            }
            dialog->reject();
        });
        const QString chosen
            = QtFileChooser().SaveFileName(w_.form.get(), QStringLiteral("Salva dati (CSV)"),
                                           existing, QStringLiteral("Tabella CSV (*.csv)"));
        QCOMPARE(chosen, QString());
        QCOMPARE(accept, QStringLiteral("Salva"));
        // The list's type of a folder, which Qt's own Italian leaves in English.
        QCOMPARE(QAbstractFileIconProvider().type(QFileInfo(folder_->path())),
                 QStringLiteral("Cartella"));
        QCOMPARE(question, QStringLiteral("spettro-segnale.csv esiste già.\nVuoi sostituirlo?"));
        QVERIFY2(answers.contains(QStringLiteral("&Sì")), qPrintable(answers.join(", ")));
    }

    void dataFollowALaterHarmonicModulusCommand()
    {
        Form2 *window = graphs();
        w_.Type("Text7", "-4");
        w_.Type("Text2", "1");
        w_.Click("Command1");
        testing_seam::Export(*window).CopyData();
        const QByteArray text = CopiedCsv();
        QVERIFY(text.contains("componente continua,-1.27"));
        QCOMPARE(text, TableText(*w_.state));
    }

    void failedSavesSayWhyAndLeaveNothing_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("image");
        QTest::addColumn<int>("problem");
        QTest::addColumn<bool>("existing"); // a file already there, which must stay as it was
        QTest::addColumn<int>("sizeLimit"); // bytes a file may grow to, 0 for no limit
        QTest::addColumn<QString>("samples");
        QTest::addColumn<bool>("protect"); // the existing file may not be replaced
        // KB of a disk for the temporary files that fills up, 0 for the usual one
        QTest::addColumn<int>("temporaryDisk");
        const auto row = [](const char *tag, const QString &name, bool image, SaveProblem p,
                            bool existing = false, int limit = 0, const char *samples = "100000",
                            bool protect = false, int temporaryDisk = 0) {
            QTest::newRow(tag) << name << image << int(p) << existing << limit << QString(samples)
                               << protect << temporaryDisk;
        };
        row("parent is a plain file", "file.txt/dati.csv", false, SaveProblem::NotAFolder);
        row("missing folder", "manca/dati.csv", false, SaveProblem::FolderMissing);
        row("missing folder, image", "manca/grafici.png", true, SaveProblem::FolderMissing);
        row("name too long", QString(300, 'x') + ".csv", false, SaveProblem::NameTooLong);
        row("folder name too long", QString(300, 'c') + "/dati.csv", false,
            SaveProblem::FolderNameTooLong);
        row("a folder in the file's place", "cartella", true, SaveProblem::IsAFolder);
#ifdef _WIN32
        // A small drive the test script lends (SPETTRO_SMALL_DISK_<KB>), the file itself on it.
        row("disk full, on a small drive", "<64 KB drive>dati.csv", false, SaveProblem::DiskFull);
        row("image on a full disk", "<4 KB drive>grafici.png", true, SaveProblem::DiskFull);
        row("workbook on a full disk", "<64 KB drive>foglio.xlsx", false, SaveProblem::DiskFull);
        row("a name the system does not allow", "dati:1.csv", false, SaveProblem::NameNotAllowed);
        QString deep;
        while (deep.size() < 32767)
            deep += QString(200, 'c') + '/';
        row("path too long", deep + "dati.csv", false, SaveProblem::PathTooLong);
#endif
        row("an old file that may not be replaced", "dati.csv", false, SaveProblem::FileProtected,
            true, 0, "100000", true);
        row("disk full", "dati.csv", false, SaveProblem::FileTooLarge, false, 200000);
        row("disk full over an old file", "dati.csv", false, SaveProblem::FileTooLarge, true,
            200000);
        row("image on a full disk over an old file", "grafici.png", true, SaveProblem::FileTooLarge,
            true, 300);
        // Small enough to stay in the file's buffer until the last flush, which fails.
        row("disk full at the last flush", "dati.csv", false, SaveProblem::FileTooLarge, false, 100,
            "10");
        row("workbook on a full disk over an old file", "foglio.xlsx", false,
            SaveProblem::FileTooLarge, true, 200000);
        // libxlsxwriter's own temporary files, on a disk that fills up as the rows are written,
        // or only as the library packs them (a 5 KB workbook with an empty first sheet once
        // stood as saved).
        row("workbook whose temporary files fill the disk", "foglio.xlsx", false,
            SaveProblem::DiskFull, true, 0, "100000", false, 64);
        row("workbook whose packing fills the disk", "foglio.xlsx", false, SaveProblem::DiskFull,
            true, 0, "100", false, 16);
        row("workbook of ten samples whose packing finds the disk full", "foglio.xlsx", false,
            SaveProblem::DiskFull, false, 0, "10", false, 4);
    }
    void failedSavesSayWhyAndLeaveNothing()
    {
        QFETCH(QString, name);
        QFETCH(bool, image);
        QFETCH(int, problem);
        QFETCH(bool, existing);
        QFETCH(int, sizeLimit);
        QFETCH(QString, samples);
        QFETCH(bool, protect);
        QFETCH(int, temporaryDisk);
        // "<KB KB drive>name": the file on the small drive of that size.
        QString drive;
        if (name.startsWith('<')) {
            const qsizetype end = name.indexOf('>');
            const QString variable
                = "SPETTRO_SMALL_DISK_" + name.mid(1, end - 1).section(' ', 0, 0);
            drive = qEnvironmentVariable(qPrintable(variable));
            if (drive.isEmpty())
                QSKIP(qPrintable(variable + " names no small drive"));
            name = QDir::fromNativeSeparators(drive) + name.mid(end + 1);
        }
        Form2 *window = graphs(qPrintable(samples), "10");
        QVERIFY(QDir(folder_->path()).mkdir("cartella"));
        QFile plain(in("file.txt"));
        QVERIFY(plain.open(QIODevice::WriteOnly));
        plain.write("un file\n");
        plain.close();
        chooser_.path = QDir::isAbsolutePath(name) ? name : in(name);
        const QByteArray old = "contenuto di prima\r\n";
        if (existing) {
            QFile file(chooser_.path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(old);
        }
        {
            std::optional<Protected> unreplaceable;
            if (protect)
                unreplaceable.emplace(chooser_.path);
            std::optional<FileSizeLimit> limit;
            if (sizeLimit > 0 && !FileSizeLimit::Available())
                QSKIP("no limit on one file's size on this system");
            if (sizeLimit > 0)
                limit.emplace(sizeLimit);
            std::optional<SmallDisk> temporary;
            if (temporaryDisk > 0) {
                provideTheSum(window); // before the disk fills: the save alone runs on it
                temporary.emplace(std::size_t(temporaryDisk));
                if (temporary->Folder().empty())
                    QSKIP(qPrintable("no small disk to fill: "
                                     + QString::fromStdString(temporary->WhyNot())));
            }
            if (name.endsWith(".xlsx"))
                testing_seam::Export(*window).SaveWorkbook();
            else
                image ? testing_seam::Export(*window).SaveImage()
                      : testing_seam::Export(*window).SaveData();
        }
        QCOMPARE(w_.Shown(),
                 QStringList {QString::fromStdU16String(
                     SaveFailedText(chooser_.path.toStdU16String(), SaveProblem(problem)))});
        QVERIFY2(w_.Shown().first().contains(chooser_.path), qPrintable(w_.Shown().first()));
        if (existing)
            QCOMPARE(Contents(chooser_.path), old);
        else
            QVERIFY(!QFileInfo(chooser_.path).isFile());
        QCOMPARE(leftOver({"file.txt", existing ? QFileInfo(name).fileName() : QString()}),
                 QStringList());
        if (!drive.isEmpty() && chooser_.path.startsWith(QDir::fromNativeSeparators(drive)))
            QCOMPARE(QDir(drive).entryList(QDir::Files | QDir::Hidden), QStringList());
        // The program goes on: the next save works.
        w_.box->shown.clear();
        chooser_.path = in("dopo.csv");
        testing_seam::Export(*window).SaveData();
        QVERIFY(w_.box->shown.empty());
        QCOMPARE(Contents(chooser_.path), TableText(*w_.state));
    }

    // A file another program holds open: where the system keeps it in place (Windows), the
    // save says so and leaves it as it was; elsewhere it is replaced.
    void saveOverAFileHeldOpen_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("CSV") << "dati.csv";
        QTest::newRow("image") << "grafici.png";
        QTest::newRow("workbook") << "foglio.xlsx";
    }
    void saveOverAFileHeldOpen()
    {
        QFETCH(QString, name);
        Form2 *window = graphs("100", "10");
        chooser_.path = in(name);
        const QByteArray old = "contenuto di prima\r\n";
        {
            QFile file(chooser_.path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(old);
        }
        {
            const HeldOpen held(chooser_.path);
            QVERIFY(held.Holding());
            if (name.endsWith(".xlsx"))
                testing_seam::Export(*window).SaveWorkbook();
            else if (name.endsWith(".png"))
                testing_seam::Export(*window).SaveImage();
            else
                testing_seam::Export(*window).SaveData();
        }
        if (FilesHeldOpenStayInPlace) {
            QCOMPARE(w_.Shown(),
                     QStringList {QString::fromStdU16String(
                         SaveFailedText(chooser_.path.toStdU16String(), SaveProblem::FileInUse))});
            QCOMPARE(Contents(chooser_.path), old);
        } else {
            QCOMPARE(w_.Shown(), QStringList());
            QVERIFY(Contents(chooser_.path) != old);
        }
        QCOMPARE(leftOver({name}), QStringList());
    }

    // A long save shows its progress; cancelled, it leaves no file and the old one as it was.
    // The save is held at its first chunk until the dialog has shown it and been cancelled.
    void cancelledSaveLeavesNothing_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("samples");
        QTest::addColumn<QString>("progress");
        QTest::newRow("CSV") << "dati.csv"
                             << "100000"
                             << "Attendere! Scrittura dei dati…\nRighe scritte: ";
        // As many samples as a sheet holds; the progress counts the other rows as above.
        QTest::newRow("workbook") << "dati.xlsx"
                                  << "1048575"
                                  << "Attendere! Scrittura del foglio di calcolo…\nRighe scritte: ";
    }
    void cancelledSaveLeavesNothing()
    {
        QFETCH(QString, name);
        QFETCH(QString, samples);
        QFETCH(QString, progress);
        Form2 *window = graphs(samples.toLatin1().constData(), "1");
        // The sum of the harmonics, which the table holds, first: the progress caught is the
        // save's.
        provideTheSum(window);
        chooser_.path = in(name);
        QFile file(chooser_.path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("vecchio");
        file.close();
        QString label;
        // Annulla cancels the save before it is let go: it stops where it was.
        w_.pace.ActWhenShown([&](QProgressDialog &dialog) {
            label = dialog.labelText();
            QTest::mouseClick(dialog.findChild<QPushButton *>(), Qt::LeftButton);
        });
        name.endsWith(".xlsx") ? testing_seam::Export(*window).SaveWorkbook()
                               : testing_seam::Export(*window).SaveData();
        QVERIFY2(label.startsWith(progress), qPrintable(label));
        QVERIFY2(label.endsWith(QStringLiteral(" di %1").arg(samples.toLongLong() + 5)),
                 qPrintable(label)); // header, DC, measures, parameters, 1 line
        QVERIFY(w_.pace.MostCounted() < samples.toLongLong() + 5);
        QVERIFY(w_.box->shown.empty());
        QCOMPARE(Contents(chooser_.path), QByteArray("vecchio"));
        QCOMPARE(leftOver({name}), QStringList());
    }

    // While a long save reads the analysis, no command may replace it: one long task at a time.
    void aCommandWaitsForTheSaveToEnd()
    {
        Form2 *window = graphs("100000", "1");
        provideTheSum(window);
        const AnalysisState before = *w_.state;
        w_.Type("Text2", "1");
        chooser_.path = in("dati.csv");
        bool clicked = false;
        w_.pace.ActWhenShown([&](QProgressDialog &dialog) {
            // While the save is held: the analysis of such a command is short, so were the gate
            // open, it would run here to its end and change the analysis.
            w_.Button("Command1")->click();
            w_.Button("Command2")->click();
            // The sum of the harmonics draws on the plot: it waits for its turn too.
            window->HarmonicSum()->Action()->trigger();
            clicked = true;
            dialog.cancel();
        });
        testing_seam::Export(*window).SaveData();
        QVERIFY(clicked);
        QCOMPARE(w_.pace.Starts(), 1); // the save alone
        QCOMPARE(w_.Label("Label9")->text(), QString());
        QVERIFY(SameAnalysis(*w_.state, before));
        QVERIFY(!window->HarmonicSum()->Action()->isChecked());
    }

    // Qt's file dialog disables Save for a name the file system cannot hold; the program's says
    // why beneath it.
    void aNameTooLongIsExplainedInTheFileDialog()
    {
        const auto dialog = QtFileChooser::SaveDialog(
            nullptr, "Salva dati (CSV)", in("spettro-segnale.csv"), "Dati CSV (*.csv)");
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
        auto *name = dialog->findChild<QLineEdit *>("fileNameEdit");
        auto *hint = dialog->findChild<QLabel *>("NameTooLongHint");
        auto *buttons = dialog->findChild<QDialogButtonBox *>();
        QVERIFY(name && hint && buttons);
        QPushButton *save = buttons->button(QDialogButtonBox::Save);
        QVERIFY(save);
        QCOMPARE(hint->text(),
                 QString::fromStdU16String(std::u16string(TextOf(UiText::NameTooLongHint))));
        QVERIFY(!hint->isVisible());
        const auto type = [&](const QString &text) {
            name->selectAll();
            QTest::keyClicks(name, text);
            QCOMPARE(name->text(), text);
        };
        type(QString(300, 'x') + ".csv");
        QVERIFY(hint->isVisible());
        QVERIFY(!save->isEnabled());
        if (qEnvironmentVariableIsSet("SPETTRO_GRAB"))
            dialog->grab().save(qEnvironmentVariable("SPETTRO_GRAB"));
        type("dati.csv");
        QVERIFY(!hint->isVisible());
        QVERIFY(save->isEnabled());
    }

    // A name typed without the file's suffix, or with another, gets it: a workbook is never saved
    // under a ".csv" name.
    void theSaveDialogGivesTheNameItsSuffix()
    {
        const std::pair<QString, QString> names[] = {
            {"dati", "dati.xlsx"}, {"dati.csv", "dati.csv.xlsx"}, {"Foglio.XLSX", "Foglio.XLSX"}};
        for (const auto &[typed, saved] : names) {
            const auto dialog = QtFileChooser::SaveDialog(nullptr, "Salva foglio di calcolo",
                                                          in("spettro-segnale.xlsx"),
                                                          "Foglio di calcolo (*.xlsx)");
            dialog->show();
            QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
            auto *name = dialog->findChild<QLineEdit *>("fileNameEdit");
            QVERIFY(name);
            name->setText(typed);
            dialog->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Save)->click();
            QCOMPARE(dialog->result(), int(QDialog::Accepted));
            QCOMPARE(dialog->selectedFiles(), QStringList {in(saved)});
        }
    }

    // The dialog's list of files speaks Italian whatever the system's language (a second run of
    // this test has the C locale): sizes, dates, and types, the program's own as its filters say.
    void theFileListIsItalianWhateverTheLanguage()
    {
        struct Listed
        {
            const char *name;
            int bytes;
            const char *size;
            const char *type;
        };
        const Listed files[] = {{"grafico.png", 77, "77 byte", "Immagine PNG"},
                                {"dati.csv", 2048, "2,00 KiB", "Dati CSV"},
                                {"foglio.xlsx", 1, "1 byte", "Foglio di calcolo"},
                                {"note.txt", 0, "0 byte", "File TXT"},
                                {"LEGGIMI", 5, "5 byte", "File"}};
        const QDateTime modified(QDate(2026, 12, 9), QTime(13, 40));
        for (const Listed &file : files) {
            QFile made(in(file.name));
            QVERIFY(made.open(QIODevice::WriteOnly));
            QCOMPARE(made.write(QByteArray(file.bytes, 'x')), qint64(file.bytes));
            QVERIFY(made.flush());
            QVERIFY(made.setFileTime(modified, QFileDevice::FileModificationTime));
        }
        const auto dialog = QtFileChooser::SaveDialog(nullptr, "Salva dati (CSV)", in("dati.csv"),
                                                      "Dati CSV (*.csv)");
        const QAbstractProxyModel *list = dialog->proxyModel();
        QVERIFY(list);
        const auto *model = qobject_cast<const QFileSystemModel *>(list->sourceModel());
        QVERIFY(model);
        const auto text = [&](const char *name, int column) {
            return list->mapFromSource(model->index(in(name), column)).data().toString();
        };
        for (const Listed &file : files) {
            // The list is read on a thread of Qt's own: its size is known once it has been.
            QTRY_COMPARE_WITH_TIMEOUT(text(file.name, 1), QString(file.size), 60000);
            QCOMPARE(text(file.name, 2), QString(file.type));
            const QString date = text(file.name, 3);
            QVERIFY2(date.contains("09/12/26") && date.contains("13:40"), qPrintable(date));
        }
        if (qEnvironmentVariableIsSet("SPETTRO_GRAB")) {
            dialog->setViewMode(QFileDialog::Detail);
            dialog->show();
            QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
            dialog->grab().save(qEnvironmentVariable("SPETTRO_GRAB"));
        }
    }

    // A save that cannot put its file in place says so and leaves the temporary file nowhere:
    // while the save is held, a folder takes the file's place.
    void aFailedReplaceSaysSoAndLeavesNothing()
    {
        Form2 *window = graphs("100000", "1");
        provideTheSum(window);
        chooser_.path = in("dati.csv");
        w_.pace.ActWhenShown(
            [&](QProgressDialog &) { QVERIFY(QDir(folder_->path()).mkpath("dati.csv/dentro")); });
        testing_seam::Export(*window).SaveData();
        QCOMPARE(w_.Shown(),
                 QStringList {QString::fromStdU16String(
                     SaveFailedText(chooser_.path.toStdU16String(), SaveProblem::ReplaceFailed))});
        QVERIFY(QFileInfo(chooser_.path).isDir());
        QCOMPARE(leftOver({}), QStringList());
    }

    // Memory that runs out in any export, or in the sum of the harmonics it computes first, ends
    // in the task's own message, never in the program's end, and leaves nothing behind: no new
    // file, an old one as it was, the clipboard as it was.
    void runningOutOfMemoryEndsInAMessage_data()
    {
        QTest::addColumn<QString>("name"); // the file saved, none for the copy
        QTest::addColumn<bool>("sumFirst"); // the sum computed before: the export itself fails
        const auto row = [](const char *tag, const char *name, bool sumFirst) {
            QTest::newRow(tag) << QString(name) << sumFirst;
        };
        row("CSV save", "dati.csv", true);
        row("workbook save", "foglio.xlsx", true);
        row("data copy", "", true);
        row("the sum of the harmonics before a CSV save", "dati.csv", false);
        row("the sum of the harmonics before a workbook save", "foglio.xlsx", false);
        row("the sum of the harmonics before a data copy", "", false);
    }
    void runningOutOfMemoryEndsInAMessage()
    {
        QFETCH(QString, name);
        QFETCH(bool, sumFirst);
        Form2 *window = graphs("100000", "1");
        if (sumFirst)
            provideTheSum(window);
        const QByteArray old = "contenuto di prima\r\n";
        chooser_.path = in(name.isEmpty() ? QStringLiteral("dati.csv") : name);
        QFile existing(chooser_.path);
        QVERIFY(existing.open(QIODevice::WriteOnly));
        existing.write(old);
        existing.close();
        QGuiApplication::clipboard()->setText("prima");
        PlotExport *out = &testing_seam::Export(*window);
        w_.pace.runOutOfMemory = true;
        name.endsWith(".xlsx")      ? out->SaveWorkbook()
            : name.endsWith(".csv") ? out->SaveData()
                                    : out->CopyData();
        w_.pace.runOutOfMemory = false;
        const std::u16string expected = !sumFirst ? MessageText(Refusal {Reason::AllocationFailed})
            : name.isEmpty()
            ? std::u16string(TextOf(UiText::CopyOutOfMemory))
            : SaveFailedText(chooser_.path.toStdU16String(), SaveProblem::NotEnoughMemory);
        QCOMPARE(w_.Shown(), QStringList {QString::fromStdU16String(expected)});
        QCOMPARE(w_.state->HarmonicSum.empty(), !sumFirst);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("prima"));
        QCOMPARE(Contents(chooser_.path), old);
        QCOMPARE(leftOver({QFileInfo(chooser_.path).fileName()}), QStringList());
        // The program goes on.
        w_.box->shown.clear();
        chooser_.path = in("dopo.csv");
        testing_seam::Export(*window).SaveData();
        QVERIFY(w_.box->shown.empty());
        QCOMPARE(Contents(chooser_.path), TableText(*w_.state));
    }

    // As many rows as a spreadsheet holds go to the clipboard; one more stays off it, with a
    // word on why.
    void tooManyRowsForTheClipboardAreRefused_data()
    {
        QTest::addColumn<QString>("samples");
        QTest::addColumn<bool>("copied");
        // Header, DC, measures, parameters and one harmonic besides the samples.
        QTest::newRow("as many as a spreadsheet holds") << "1048571" << true;
        QTest::newRow("one more") << "1048572" << false;
        QTest::newRow("far more") << "2000000" << false;
    }
    void tooManyRowsForTheClipboardAreRefused()
    {
        QFETCH(QString, samples);
        QFETCH(bool, copied);
        Form2 *window = graphs(qPrintable(samples), "1");
        QGuiApplication::clipboard()->setText("prima");
        testing_seam::Export(*window).CopyData();
        if (copied) {
            QVERIFY(w_.box->shown.empty());
            QCOMPARE(QGuiApplication::clipboard()->mimeData()->data("text/csv").count("\r\n"),
                     SpreadsheetRows);
            return;
        }
        QCOMPARE(
            w_.Shown(),
            QStringList {QString::fromStdU16String(TooManyRowsText(samples.toLongLong() + 5))});
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("prima"));
        if (samples != "2000000")
            return;
        // A workbook too: its samples' sheet would hold 2000000 rows and the header.
        w_.box->shown.clear();
        testing_seam::SetFileChooser(testing_seam::Export(*window), chooser_);
        testing_seam::Export(*window).SaveWorkbook();
        QCOMPARE(w_.Shown(),
                 QStringList {QString::fromStdU16String(TooManyWorkbookRowsText(2000001))});
        QVERIFY(chooser_.titles.isEmpty());
    }
};

QTEST_MAIN(ExportTest)
#include "tst_export.moc"
