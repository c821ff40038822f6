// The way out of the graph window: its context menu and shortcuts, the image and the data on the
// clipboard and in files, and saves that fail or are cancelled leaving nothing behind.
#include "core/analysis_table.h"
#include "core/messages.h"
#include "tests/support/input_window_fixture.h"
#include "tests/support/same_analysis.h"
#include "ui/graph_window/file_chooser.h"
#include "ui/graph_window/form2.h"
#include "ui/graph_window/plot_area.h"
#include "ui/graph_window/plot_export.h"
#include "ui/graph_window/qt_file_chooser.h"

#include <QAction>
#include <QClipboard>
#include <QMenu>
#include <QProgressDialog>
#include <QRadioButton>
#include <QTemporaryDir>

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QPushButton>

#include <csignal>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <unistd.h>

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

QByteArray TableText(const AnalysisState &state)
{
    const AnalysisTable table(state);
    std::string text;
    table.AppendRows(0, table.RowCount(), text);
    return QByteArray::fromStdString(text);
}

// Lowers the largest file this process may write, so that a save fails as on a full disk.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        std::signal(SIGXFSZ, SIG_IGN); // the write fails with EFBIG instead of a signal
        getrlimit(RLIMIT_FSIZE, &saved_);
        rlimit lowered = saved_;
        lowered.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &lowered);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &saved_); }

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
            window->Export()->SetFileChooser(chooser_);
        return window;
    }
    QString in(const QString &name) const { return folder_->filePath(name); }
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
        PlotExport *out = window->Export();
        QStringList entries;
        for (QAction *action : out->Menu()->actions())
            entries << action->text();
        QCOMPARE(entries,
                 (QStringList {"Copia immagine", "Salva immagine\u2026", "", "Copia dati (CSV)",
                               "Salva dati (CSV)\u2026"}));
        QCOMPARE(out->Menu()->actions()[0], out->CopyImageAction());
        QCOMPARE(out->Menu()->actions()[1], out->SaveImageAction());
        QVERIFY(window->actions().contains(out->CopyImageAction()));
        QCOMPARE(out->CopyImageAction()->shortcut(), QKeySequence(QKeySequence::Copy));
        QCOMPARE(out->SaveImageAction()->shortcut(), QKeySequence(QKeySequence::Save));

        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
        QGuiApplication::clipboard()->clear();
        QTest::keyClick(window, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32),
                 window->Picture1()->Image().convertToFormat(QImage::Format_RGB32));
        QTest::keyClick(window, Qt::Key_S, Qt::ControlModifier); // the dialog, given up
        QCOMPARE(chooser_.titles, QStringList {"Salva immagine"});
        QVERIFY(chooser_.suggestions.first().endsWith("/spettro-segnale.png"));

        // The Menu key anywhere in the window (the platform turns it into a keyboard context
        // menu event for the focused control), a right click on the plot: the same menu.
        window->Option1()->setFocus();
        QContextMenuEvent key(QContextMenuEvent::Keyboard, QPoint(5, 5),
                              window->Option1()->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(window->Option1(), &key);
        QTRY_VERIFY(out->Menu()->isVisible());
        out->Menu()->hide();
        QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(50, 50),
                                window->Picture1()->mapToGlobal(QPoint(50, 50)));
        QApplication::sendEvent(window->Picture1(), &click);
        QTRY_VERIFY(out->Menu()->isVisible());
        QVERIFY(out->CopyDataAction()->isEnabled() && out->SaveDataAction()->isEnabled());
        out->Menu()->hide();
    }

    void dataEntriesWaitForAnAnalysis()
    {
        AnalysisState empty;
        Form2 window(empty, *w_.box, w_.gate);
        window.show();
        window.Export()->ShowMenu(window.mapToGlobal(QPoint(100, 100)));
        QTRY_VERIFY(window.Export()->Menu()->isVisible());
        QVERIFY(!window.Export()->CopyDataAction()->isEnabled());
        QVERIFY(!window.Export()->SaveDataAction()->isEnabled());
        QVERIFY(window.Export()->CopyImageAction()->isEnabled());
        window.Export()->Menu()->hide();
    }

    void imageAndDataReachTheirFilesAndTheClipboard()
    {
        Form2 *window = graphs();
        PlotExport *out = window->Export();
        chooser_.path = in("grafici.png");
        out->SaveImage();
        QCOMPARE(QImage(chooser_.path).convertToFormat(QImage::Format_RGB32),
                 window->Picture1()->Image().convertToFormat(QImage::Format_RGB32));
        chooser_.path = in("dati.csv");
        out->SaveData();
        QCOMPARE(chooser_.titles, (QStringList {"Salva immagine", "Salva dati (CSV)"}));
        QVERIFY(chooser_.suggestions[1].endsWith("/spettro-segnale.csv"));
        QCOMPARE(Contents(chooser_.path), TableText(*w_.state));
        out->CopyData();
        QCOMPARE(QGuiApplication::clipboard()->text().toUtf8(), TableText(*w_.state));
        QVERIFY(w_.box->shown.empty());
        QCOMPARE(leftOver({"grafici.png", "dati.csv"}), QStringList());
    }

    // After a harmonic modulus command the data follow the new analysis, as the readout does.
    void dataFollowALaterHarmonicModulusCommand()
    {
        Form2 *window = graphs();
        w_.Type("Text7", "-4");
        w_.Type("Text2", "1");
        w_.Click("Command1");
        window->Export()->CopyData();
        const QString text = QGuiApplication::clipboard()->text();
        QVERIFY(text.contains(QStringLiteral("componente continua,-1.27")));
        QCOMPARE(text.toUtf8(), TableText(*w_.state));
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
        const auto row = [](const char *tag, const QString &name, bool image, SaveProblem p,
                            bool existing = false, int limit = 0, const char *samples = "100000",
                            bool protect = false) {
            QTest::newRow(tag) << name << image << int(p) << existing << limit << QString(samples)
                               << protect;
        };
        row("parent is a plain file", "file.txt/dati.csv", false, SaveProblem::NotAFolder);
        row("missing folder", "manca/dati.csv", false, SaveProblem::FolderMissing);
        row("missing folder, image", "manca/grafici.png", true, SaveProblem::FolderMissing);
        row("name too long", QString(300, 'x') + ".csv", false, SaveProblem::NameTooLong);
        row("folder name too long", QString(300, 'c') + "/dati.csv", false,
            SaveProblem::FolderNameTooLong);
        row("a folder in the file's place", "cartella", true, SaveProblem::IsAFolder);
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
        Form2 *window = graphs(qPrintable(samples), "10");
        QVERIFY(QDir(folder_->path()).mkdir("cartella"));
        QFile plain(in("file.txt"));
        QVERIFY(plain.open(QIODevice::WriteOnly));
        plain.write("un file\n");
        plain.close();
        chooser_.path = in(name);
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
            if (sizeLimit > 0)
                limit.emplace(rlim_t(sizeLimit));
            image ? window->Export()->SaveImage() : window->Export()->SaveData();
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
        // The program goes on: the next save works.
        w_.box->shown.clear();
        chooser_.path = in("dopo.csv");
        window->Export()->SaveData();
        QVERIFY(w_.box->shown.empty());
        QCOMPARE(Contents(chooser_.path), TableText(*w_.state));
    }

    // A long save shows its progress; cancelled, it leaves no file and the old one as it was.
    // The save is held at its first chunk until the dialog has shown it and been cancelled.
    void cancelledSaveLeavesNothing()
    {
        Form2 *window = graphs("100000", "1");
        chooser_.path = in("dati.csv");
        QFile file(chooser_.path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("vecchio");
        file.close();
        QString label;
        w_.pace.ActWhenShown([&](QProgressDialog &dialog) {
            label = dialog.labelText();
            dialog.cancel();
        });
        window->Export()->SaveData();
        QVERIFY2(label.startsWith("Attendere! Scrittura dei dati...\nRighe scritte: "),
                 qPrintable(label));
        QVERIFY2(label.endsWith(" di 100003"), qPrintable(label)); // header, DC, 1 line
        QVERIFY(w_.pace.MostCounted() < 100003);
        QVERIFY(w_.box->shown.empty());
        QCOMPARE(Contents(chooser_.path), QByteArray("vecchio"));
        QCOMPARE(leftOver({"dati.csv"}), QStringList());
    }

    // While a long save reads the analysis, no command may replace it: one long task at a time.
    void aCommandWaitsForTheSaveToEnd()
    {
        Form2 *window = graphs("100000", "1");
        const AnalysisState before = *w_.state;
        w_.Type("Text2", "1");
        chooser_.path = in("dati.csv");
        bool clicked = false;
        w_.pace.ActWhenShown([&](QProgressDialog &dialog) {
            // While the save is held: the analysis of such a command is short, so were the gate
            // open, it would run here to its end and change the analysis.
            w_.Button("Command1")->click();
            w_.Button("Command2")->click();
            clicked = true;
            dialog.cancel();
        });
        window->Export()->SaveData();
        QVERIFY(clicked);
        QCOMPARE(w_.pace.Starts(), 1); // the save alone
        QCOMPARE(w_.Label("Label9")->text(), QString());
        QVERIFY(SameAnalysis(*w_.state, before));
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
        QCOMPARE(hint->text(), QString::fromStdU16String(std::u16string(NameTooLongHint)));
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

    // A save that cannot put its file in place says so and leaves the temporary file nowhere:
    // while the save is held, a folder takes the file's place.
    void aFailedReplaceSaysSoAndLeavesNothing()
    {
        Form2 *window = graphs("100000", "1");
        chooser_.path = in("dati.csv");
        w_.pace.ActWhenShown(
            [&](QProgressDialog &) { QVERIFY(QDir(folder_->path()).mkpath("dati.csv/dentro")); });
        window->Export()->SaveData();
        QCOMPARE(w_.Shown(),
                 QStringList {QString::fromStdU16String(
                     SaveFailedText(chooser_.path.toStdU16String(), SaveProblem::ReplaceFailed))});
        QVERIFY(QFileInfo(chooser_.path).isDir());
        QCOMPARE(leftOver({}), QStringList());
    }

    // Memory that runs out while the table is built ends in a message, never in the program's
    // end, and leaves nothing behind.
    void runningOutOfMemoryEndsInAMessage_data()
    {
        QTest::addColumn<bool>("save");
        QTest::newRow("save") << true;
        QTest::newRow("copy") << false;
    }
    void runningOutOfMemoryEndsInAMessage()
    {
        QFETCH(bool, save);
        Form2 *window = graphs("100000", "1");
        chooser_.path = in("dati.csv");
        QGuiApplication::clipboard()->setText("prima");
        w_.pace.runOutOfMemory = true;
        save ? window->Export()->SaveData() : window->Export()->CopyData();
        w_.pace.runOutOfMemory = false;
        const std::u16string expected = save
            ? SaveFailedText(chooser_.path.toStdU16String(), SaveProblem::NotEnoughMemory)
            : std::u16string(CopyOutOfMemoryText);
        QCOMPARE(w_.Shown(), QStringList {QString::fromStdU16String(expected)});
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("prima"));
        QCOMPARE(leftOver({}), QStringList());
        // The program goes on.
        w_.box->shown.clear();
        window->Export()->SaveData();
        QVERIFY(w_.box->shown.empty());
        QCOMPARE(Contents(chooser_.path), TableText(*w_.state));
    }

    // As many rows as a spreadsheet holds go to the clipboard; one more stays off it, with a
    // word on why.
    void tooManyRowsForTheClipboardAreRefused_data()
    {
        QTest::addColumn<QString>("samples");
        QTest::addColumn<bool>("copied");
        // Header, DC and one harmonic besides the samples.
        QTest::newRow("as many as a spreadsheet holds") << "1048573" << true;
        QTest::newRow("one more") << "1048574" << false;
    }
    void tooManyRowsForTheClipboardAreRefused()
    {
        QFETCH(QString, samples);
        QFETCH(bool, copied);
        Form2 *window = graphs(qPrintable(samples), "1");
        QGuiApplication::clipboard()->setText("prima");
        window->Export()->CopyData();
        if (copied) {
            QVERIFY(w_.box->shown.empty());
            QCOMPARE(QGuiApplication::clipboard()->text().count(QStringLiteral("\r\n")),
                     SpreadsheetRows);
            return;
        }
        QCOMPARE(w_.Shown(),
                 QStringList {QString::fromStdU16String(TooManyRowsText(SpreadsheetRows + 1))});
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("prima"));
    }
};

QTEST_MAIN(ExportTest)
#include "tst_export.moc"
