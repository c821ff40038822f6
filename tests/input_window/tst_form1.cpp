// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The input window driven like a user: its default state, its layout, and both commands' checks,
// messages, results and refusals.
#include "core/spectrum/cheaper_path.h"
#include "core/spectrum/pulse_shapes.h"
#include "core/state/measured_signal.h"
#include "tests/support/input_window_fixture.h"
#include "tests/support/same_analysis.h"
#include "tests/support/temporary_folder.h"
#include "ui/classic/qt_translations.h"
#include "ui/graph_window/form2.h"
#include "ui/graph_window/full_screen.h"
#include "ui/graph_window/plot/harmonic_sum_layer.h"
#include "ui/graph_window/plot/plot_area.h"
#include "ui/graph_window/plot/spectrum_views.h"
#include "ui/graph_window/sweep.h"
#include "ui/guide/guide_window.h"
#include "ui/input_window/live_graphs.h"
#include "ui/input_window/pulse_diagram.h"
#include "ui/input_window/shape_diagram.h"

#include <QAbstractButton>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDoubleSpinBox>
#include <QFile>
#include <QImage>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QProgressDialog>
#include <QRegularExpression>
#include <QTextBrowser>
#include <QWheelEvent>
#include <cmath>
#include <filesystem>
#include <functional>
#include <numbers>
#include <stdexcept>

namespace {

const char *const ParameterFieldNames[] = {"Text7", "Text12", "Text8", "Text1", "Text3", "Text13"};

} // namespace

class Form1Test : public QObject
{
    Q_OBJECT

private:
    InputWindowFixture w_;

private slots:
    // As the program does at start: Qt's own texts in Italian, whatever the language (the
    // windows here are shown in the C locale).
    void initTestCase()
    {
        QVERIFY2(InstallQtItalianTranslations(),
                 qPrintable(QtItalianTranslationsPath() + " unreadable: qt6-translations-l10n"));
    }
    void init()
    {
        QVERIFY(w_.Start());
        QVERIFY(QTest::qWaitForWindowActive(w_.form.get()));
    }
    void cleanup() { w_.Stop(); }

    void shouldHaveDefaultValues()
    {
        QCOMPARE(w_.form->windowTitle(), QStringLiteral("Spettro Segnale"));
        // The client area at its twips, whole, under the menu bar.
        const auto *client = w_.form->findChild<QWidget *>("ClientArea");
        const auto *menuBar = w_.form->findChild<QMenuBar *>("MenuBar");
        QCOMPARE(client->size(), QSize(17565 / 15, 9495 / 15));
        QVERIFY(menuBar->height() > 0);
        QCOMPARE(client->mapTo(w_.form.get(), QPoint(0, 0)), QPoint(0, menuBar->height()));
        QCOMPARE(w_.form->size(), QSize(17565 / 15, 9495 / 15 + menuBar->height()));
        // Its menus: the commands as their buttons name them, the shapes, the end; the help.
        QStringList titles, entries;
        for (const QAction *menu : menuBar->actions()) {
            titles << menu->text();
            for (const QAction *entry : menu->menu()->actions())
                entries << entry->text() + ' ' + entry->shortcut().toString();
        }
        QCOMPARE(titles, (QStringList {"A&nalisi", "&Aiuto"}));
        QCOMPARE(entries.mid(0, 12),
                 (QStringList {"Calcola modulo armonica N\u00B0 z F5", "Grafici F6", " ",
                               "&Forma dell'impulso ", "Fi&ltro ", " ",
                               "Apri segnale &misurato\u2026 Ctrl+O",
                               "Ca&nale del segnale misurato ", "S&tima i parametri ",
                               "&Chiudi segnale misurato ", " ", "&Esci Ctrl+Q"}));
        QVERIFY(!w_.form->windowIcon().isNull());
        const std::pair<const char *, const char *> texts[]
            = {{"Text7", "10"}, {"Text12", "100"},   {"Text8", "3"}, {"Text1", "0.5"},
               {"Text3", "10"}, {"Text13", "10000"}, {"Text2", ""}};
        for (const auto &[name, text] : texts)
            QCOMPARE(w_.Field(name)->text(), QString::fromLatin1(text));
        for (const char *name : ParameterFieldNames)
            QCOMPARE(BackColor(w_.Field(name)), Pink);
        QCOMPARE(BackColor(w_.Field("Text2")), Green);
        QCOMPARE(w_.Label("Label3")->text(), QString());
        QCOMPARE(w_.Label("Label9")->text(), QString());
        QCOMPARE(BackColor(w_.Label("Label3")), Green);
        QCOMPARE(BackColor(w_.Label("Label9")), Green);
        QCOMPARE(BackColor(w_.Button("Command1")), Green);
        QCOMPARE(BackColor(w_.Label("Label67")), QColor(192, 255, 255));
        QCOMPARE(w_.form->GraphWindow(), nullptr);
    }

    // The guide finds a word with Ctrl+F, round its end and back, says when it finds none, and
    // closes with Esc (once the bar is closed) or Ctrl+W.
    void theGuideFindsAWordAndClosesWithEscOrCtrlW()
    {
        QPointer<QTextBrowser> guide = ShowGuide();
        QVERIFY(QTest::qWaitForWindowActive(guide));
        auto *find = guide->findChild<QLineEdit *>("GuidaCerca");
        QVERIFY(find && !find->isVisible());
        QTest::keyClick(guide, Qt::Key_F, Qt::ControlModifier);
        QVERIFY(find->isVisible() && find->hasFocus());
        QTest::keyClicks(find, "Gibbs"); // twice in the guide
        QCOMPARE(guide->textCursor().selectedText(), QStringLiteral("Gibbs"));
        const int first = guide->textCursor().selectionStart();
        QTest::keyClick(find, Qt::Key_Return);
        const int second = guide->textCursor().selectionStart();
        QVERIFY(second > first);
        QTest::keyClick(find, Qt::Key_Return); // round the end
        QCOMPARE(guide->textCursor().selectionStart(), first);
        QTest::keyClick(find, Qt::Key_Return, Qt::ShiftModifier);
        QCOMPARE(guide->textCursor().selectionStart(), second);
        QVERIFY(find->styleSheet().isEmpty());
        QTest::keyClicks(find, "xyzzy");
        QVERIFY(find->styleSheet().contains("#ffc0c0")); // none: the bar turns pink
        QTest::keyClick(find, Qt::Key_Escape); // the bar closes, the guide stays
        QVERIFY(!find->isVisible() && guide->isVisible());
        QTest::keyClick(guide, Qt::Key_Escape);
        QVERIFY(guide.isNull() || !guide->isVisible());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        guide = ShowGuide();
        QVERIFY(QTest::qWaitForWindowActive(guide));
        QTest::keyClick(guide, Qt::Key_W, Qt::ControlModifier);
        QVERIFY(guide.isNull() || !guide->isVisible());
    }

    // Results typed over look out of date, greyed with a tool tip that says why, and keep their
    // texts; z alone leaves Ao current, and the command makes both current.
    void resultsTypedOverLookOutOfDate()
    {
        // Grey with the tool tip, or neither: anything else is a look half out of date.
        const auto stale = [this](const char *name) {
            QLabel *label = w_.Label(name);
            const bool grey = label->palette().color(QPalette::WindowText) == QColor(96, 96, 96);
            const bool says = label->toolTip().startsWith("Non aggiornato: calcolato con valori");
            if (grey != says || (!grey && !label->toolTip().isEmpty()))
                throw std::logic_error(name);
            return grey;
        };
        w_.Type("Text1", "0.25");
        QVERIFY(!stale("Label3") && !stale("Label9")); // nothing shown yet, nothing out of date
        w_.Type("Text2", "1");
        w_.Click("Command1");
        const QString dc = w_.Label("Label3")->text();
        const struct
        {
            const char *field;
            const char *typed;
            bool dcStale;
            bool magnitudeStale;
        } typing[] = {
            {"Text2", "2", false, true},
            {"Text2", "1", false, false},
            {"Text7", "", true, true},
        };
        for (const auto &t : typing) {
            w_.Type(t.field, t.typed);
            QCOMPARE(stale("Label3"), t.dcStale);
            QCOMPARE(stale("Label9"), t.magnitudeStale);
            QCOMPARE(w_.Label("Label3")->text(), dc);
        }
        w_.Type("Text7", "10");
        QVERIFY(!stale("Label3"));
        QTest::keyClick(w_.form->findChild<ShapeDiagram *>(), Qt::Key_Down); // another shape
        QVERIFY(stale("Label3") && stale("Label9"));
        w_.Click("Command1");
        QVERIFY(!stale("Label3") && !stale("Label9"));
        QVERIFY(w_.Label("Label3")->text() != dc);
    }

    // "Grafici" and F6 bring an open graph window to the front, with the focus; a step's drawing
    // leaves the focus in the input window.
    void graphsBringAnOpenGraphWindowToTheFront()
    {
        w_.Click("Command2");
        Form2 *graphs = w_.form->GraphWindow();
        QVERIFY(QTest::qWaitForWindowActive(graphs));
        for (const bool key : {false, true}) {
            w_.form->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(w_.form.get()));
            w_.form->StepField(Field::Text1, -1);
            finishFollowing();
            QCOMPARE(QApplication::activeWindow(), w_.form.get());
            if (key)
                QTest::keyClick(w_.form.get(), Qt::Key_F6);
            else
                w_.Click("Command2");
            QVERIFY(QTest::qWaitForWindowActive(graphs));
            QCOMPARE(w_.form->GraphWindow(), graphs); // the same window, not a new one
        }
    }

    // F1 in either window opens the one guide: Italian, its pictures built in, and every entry of
    // both windows' menus named in it.
    void theGuideOpensFromBothWindowsInItalian()
    {
        w_.Click("Command2");
        Form2 *graphs = w_.form->GraphWindow();
        QVERIFY(graphs);
        QTextBrowser *guide = nullptr;
        for (QWidget *window :
             {static_cast<QWidget *>(w_.form.get()), static_cast<QWidget *>(graphs)}) {
            QAction *entry = window->findChild<QAction *>("GuidaAction");
            QCOMPARE(entry->shortcut(), QKeySequence(Qt::Key_F1));
            QVERIFY(window->findChild<QMenu *>("MenuAiuto")->actions().contains(entry));
            entry->trigger();
            QTextBrowser *shown = nullptr;
            for (QWidget *top : QApplication::topLevelWidgets())
                if (top->objectName() == "Guida" && top->isVisible())
                    shown = qobject_cast<QTextBrowser *>(top);
            QVERIFY(shown);
            QVERIFY(!guide || shown == guide); // one guide for the program
            guide = shown;
        }
        QCOMPARE(guide->windowTitle(), QStringLiteral("Guida di Spettro Segnale"));

        QFile file(":/guida/guida.html");
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString html = QString::fromUtf8(file.readAll());
        static const QRegularExpression picture(QStringLiteral("<img src=\"([^\"]+)\""));
        int pictures = 0;
        for (const QRegularExpressionMatch &m : picture.globalMatch(html)) {
            QVERIFY2(!QImage(":/guida/" + m.captured(1)).isNull(), qPrintable(m.captured(1)));
            ++pictures;
        }
        QVERIFY(pictures >= 11);

        const QString text = guide->toPlainText();
        QStringList named;
        for (const QWidget *window :
             {static_cast<QWidget *>(w_.form.get()), static_cast<QWidget *>(graphs)})
            for (const QAction *menu : window->findChild<QMenuBar *>("MenuBar")->actions())
                for (const QAction *entry : menu->menu()->actions())
                    if (!entry->isSeparator())
                        named << QString(entry->text()).remove('&');
        for (const QString &entry : named)
            QVERIFY2(text.contains(entry), qPrintable(entry));
        static const QStringList english
            = {"the",   "and",   "of",     "with",     "click", "window",   "save",   "open",
               "copy",  "help",  "guide",  "screen",   "full",  "press",    "select", "picture",
               "image", "value", "button", "shortcut", "key",   "settings", "show",   "you",
               "your",  "this",  "that",   "which",    "when",  "where",    "are",    "will",
               "only",  "each",  "every",  "from",     "for",   "its",      "not",    "by"};
        static const QRegularExpression words(QStringLiteral("\\W+"));
        for (const QString &word : text.toLower().split(words, Qt::SkipEmptyParts))
            QVERIFY2(!english.contains(word), qPrintable(word));
        guide->close();
    }

    void theKeyboardStartsInTheFirstField()
    {
        QCOMPARE(QApplication::focusWidget(), w_.Field("Text7"));
    }

    void controlsStandWhereTheyBelong_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QRect>("twips");
        QTest::addColumn<double>("points");
        const struct
        {
            const char *name;
            const char *caption;
            QRect twips;
            double points;
        } rows[] = {
            {"Label35",
             "Spettro di un segnale impulsivo senx periodico unipolare (serie di Fourier), "
             "semionda",
             {1080, 120, 7455, 255},
             8.25},
            {"Label4", "Inserisci i dati", {1080, 720, 1575, 255}, 8.25},
            {"Label36", "Vmax", {360, 1200, 615, 255}, 9.75},
            {"Label37", "[V]", {3120, 1200, 375, 255}, 9.75},
            {"Label46", "f", {840, 1680, 135, 255}, 9.75},
            {"Label47", "[kHz]", {3120, 1560, 735, 255}, 9.75},
            {"Label22", "f = 1/T", {3960, 1560, 975, 255}, 12},
            {"Label38", "Np", {720, 2160, 255, 255}, 8.25},
            {"Label13", "numero periodi di s(t) visualizzati", {3120, 2160, 4455, 255}, 12},
            {"Label7", "D.C.", {600, 2640, 375, 255}, 8.25},
            {"Label12", "Duty Cycle = Ti / T", {3120, 2640, 2295, 255}, 12},
            {"Label11", "M", {720, 3000, 255, 255}, 8.25},
            {"Label14",
             "numero armoniche dello spettro visualizzate ",
             {3120, 3000, 5655, 255},
             12},
            {"Label48", "N", {720, 3480, 255, 255}, 8.25},
            {"Label17", "numero campioni", {3120, 3480, 2295, 375}, 12},
            {"Label6", "s(t)", {3840, 3960, 375, 255}, 9.75},
            {"Label25", "Attendere!", {3120, 4440, 1095, 255}, 8.25},
            {"Label24", "Attendere!", {12360, 1320, 855, 255}, 8.25},
            {"Label8", "z", {9960, 2040, 255, 255}, 9.75},
            {"Label15", "z = N\u00b0 armonica", {12240, 2040, 2295, 255}, 12},
            {"Label1", "modulo armonica N\u00b0 z", {12240, 2520, 2415, 255}, 9.75},
            {"Label5", "Ao", {9840, 3000, 255, 255}, 8.25},
            {"Label2", "[V]", {12240, 3000, 375, 255}, 9.75},
            {"Label16", "componente continua  segnale", {12720, 3000, 3375, 255}, 9.75},
            {"Label10", "|S(z)|", {9360, 2400, 735, 255}, 12},
            {"Label9", "", {10200, 2400, 1935, 375}, 8.25},
            {"Label3", "", {10200, 2880, 1935, 375}, 8.25},
            {"Command1", "Calcola modulo armonica N\u00b0 z", {10200, 1080, 1935, 615}, 8.25},
            {"Command2", "Grafici", {1080, 4320, 1935, 495}, 8.25},
            {"Text7", "10", {1080, 1080, 1935, 375}, 8.25},
            {"Text12", "100", {1080, 1560, 1935, 375}, 8.25},
            {"Text8", "3", {1080, 2040, 1935, 375}, 8.25},
            {"Text1", "0.5", {1080, 2520, 1935, 375}, 8.25},
            {"Text3", "10", {1080, 3000, 1935, 375}, 8.25},
            {"Text13", "10000", {1080, 3480, 1935, 375}, 8.25},
            {"Text2", "", {10200, 1920, 1935, 375}, 8.25},
        };
        for (const auto &row : rows)
            QTest::newRow(row.name) << QString::fromLatin1(row.name)
                                    << QString::fromUtf8(row.caption) << row.twips << row.points;
    }
    void controlsStandWhereTheyBelong()
    {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(QRect, twips);
        QFETCH(double, points);
        auto *widget = w_.form->findChild<QWidget *>(name);
        QVERIFY(widget);
        QCOMPARE(widget->geometry(),
                 QRect(twips.x() / 15, twips.y() / 15, twips.width() / 15, twips.height() / 15));
        QString text;
        if (auto *l = qobject_cast<QLabel *>(widget))
            text = l->text();
        else if (auto *b = qobject_cast<QPushButton *>(widget))
            text = b->text();
        else if (auto *e = qobject_cast<QLineEdit *>(widget))
            text = e->text();
        QCOMPARE(text, caption);
        QCOMPARE(widget->font().pixelSize(), qRound(points * 96 / 72));
        QCOMPARE(widget->font().bold(), true);
    }

    // Every caption fits its box on one line (two for the harmonic modulus button), descenders
    // included.
    void captionsFitTheirBoxes()
    {
        for (QLabel *l : w_.form->findChildren<QLabel *>()) {
            if (l->text().isEmpty())
                continue;
            const QFontMetrics metrics(l->font());
            QVERIFY2(metrics.horizontalAdvance(l->text()) <= l->contentsRect().width(),
                     qPrintable(l->objectName()));
            QVERIFY2(metrics.ascent() + metrics.descent() <= l->contentsRect().height() + 1,
                     qPrintable(l->objectName()));
        }
        for (QPushButton *b : w_.form->findChildren<QPushButton *>()) {
            const QFontMetrics metrics(b->font());
            const QRect needed = metrics.boundingRect(
                b->rect().adjusted(3, 3, -3, -3), Qt::AlignCenter | Qt::TextWordWrap, b->text());
            QVERIFY2(b->rect().adjusted(3, 3, -3, -3).contains(needed),
                     qPrintable(b->objectName()));
        }
    }

    void contactLineIsRegularWeight()
    {
        QCOMPARE(w_.Label("Label67")->font().bold(), false);
        QVERIFY(!w_.Label("Label67")->text().isEmpty());
    }

    // A click on a result leaves the keyboard in the field being typed in; the result is copied
    // from its context menu.
    void resultsTakeNoFocusAndAreCopiedFromTheirMenu()
    {
        w_.Type("Text2", "1");
        w_.Click("Command1");
        QLineEdit *text2 = w_.Field("Text2");
        text2->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), text2);
        for (const char *name : {"Label9", "Label3"}) {
            QTest::mouseClick(w_.Label(name), Qt::LeftButton, {}, QPoint(20, 10));
            QTest::mouseDClick(w_.Label(name), Qt::LeftButton, {}, QPoint(20, 10));
            QCOMPARE(QApplication::focusWidget(), text2);
        }
        QLabel *label9 = w_.Label("Label9");
        QCOMPARE(label9->contextMenuPolicy(), Qt::ActionsContextMenu);
        QCOMPARE(label9->actions().size(), 1);
        QCOMPARE(label9->actions().first()->text(), QStringLiteral("Copia"));
        label9->actions().first()->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("5.00E+00"));
        w_.Label("Label3")->actions().first()->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("3.18E+00"));
        QCOMPARE(QApplication::focusWidget(), text2);
    }

    // A right click on a field opens Qt's own menu, in the program's language.
    void aFieldsMenuSpeaksItalian()
    {
        QLineEdit *field = w_.Field("Text7");
        QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(10, 10),
                                field->mapToGlobal(QPoint(10, 10)));
        QApplication::sendEvent(field, &click);
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        QVERIFY(menu);
        QStringList entries;
        for (const QAction *action : menu->actions())
            entries << action->text().remove(QLatin1Char('&')).section(QLatin1Char('\t'), 0, 0);
        menu->close();
        QVERIFY2(entries.contains(QStringLiteral("Incolla")), qPrintable(entries.join(", ")));
        QVERIFY2(!entries.contains(QStringLiteral("Paste")), qPrintable(entries.join(", ")));
    }

    void tabMovesThroughTheStoredOrder()
    {
        const QStringList expected
            = {"Text7", "Text8",    "Text12",   "Command2", "Text13", "Text2",
               "Text3", "Command1", "Picture1", "Text1",    "Text7"};
        QStringList visited = {QApplication::focusWidget()->objectName()};
        for (int i = 1; i < expected.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(visited, expected);
    }

    void resizingMovesNoControl()
    {
        const QRect before = w_.Field("Text2")->geometry();
        w_.form->resize(400, 300);
        QCOMPARE(w_.Field("Text2")->geometry(), before);
        w_.form->resize(1600, 900);
        QCOMPARE(w_.Field("Text2")->geometry(), before);
    }

    void fieldsAndResultsHaveAccessibleNamesAndDescriptions()
    {
        for (QLineEdit *edit : w_.form->findChildren<QLineEdit *>())
            QVERIFY2(!edit->accessibleName().isEmpty(), qPrintable(edit->objectName()));
        // Each field's name, and its steps in the tool tip, with the symbol its label writes.
        const struct
        {
            const char *field;
            const char *name;
            const char *steps;
        } named[] = {
            {"Text7", "Vmax [V], ampiezza dell'impulso",
             "1 V; Pag su e Pag gi\u00F9: passi di 10 V"},
            {"Text12", "f [kHz], frequenza del segnale",
             "1 kHz; Pag su e Pag gi\u00F9: passi di 10 kHz"},
            {"Text8", "Np, numero periodi di s(t) visualizzati",
             "1; Pag su e Pag gi\u00F9: passi di 10"},
            {"Text1", "D.C., Duty Cycle = Ti / T", "0.01; Pag su e Pag gi\u00F9: passi di 0.1"},
            {"Text3", "M, numero armoniche dello spettro visualizzate",
             "1; Pag su e Pag gi\u00F9: passi di 10"},
            {"Text13", "N, numero campioni per periodo", "1; Pag su e Pag gi\u00F9: passi di 10"},
            {"Text2", "z, numero della armonica di cui calcolare il modulo",
             "1; Pag su e Pag gi\u00F9: passi di 10"},
        };
        for (const auto &field : named) {
            QCOMPARE(w_.Field(field.field)->accessibleName(), QString::fromUtf8(field.name));
            QVERIFY2(w_.Field(field.field)->toolTip().endsWith(QString::fromUtf8(field.steps)),
                     qPrintable(w_.Field(field.field)->toolTip()));
        }
        QVERIFY(w_.Label("Label3")->accessibleName().isEmpty());
        QVERIFY(w_.Label("Label3")->accessibleDescription().contains("componente continua"));
        QVERIFY(w_.Label("Label9")->accessibleDescription().contains("modulo"));
    }

    void harmonicModulusShowsDcComponentAndModulus_data()
    {
        QTest::addColumn<QString>("z");
        QTest::addColumn<QString>("modulus");
        QTest::newRow("first") << "1"
                               << "5.00E+00";
        QTest::newRow("second") << "2"
                                << "2.12E+00";
        QTest::newRow("one and a half") << "1.5"
                                        << "2.12E+00";
        QTest::newRow("two and a half") << "2.5"
                                        << "2.12E+00";
        QTest::newRow("zero") << "0"
                              << "0.00E+00";
        QTest::newRow("beyond H") << "11"
                                  << "0.00E+00";
        QTest::newRow("fourth") << "4"
                                << "4.24E-01";
    }
    void harmonicModulusShowsDcComponentAndModulus()
    {
        QFETCH(QString, z);
        QFETCH(QString, modulus);
        w_.Type("Text2", z);
        w_.Click("Command1");
        QVERIFY(w_.box->shown.empty());
        QCOMPARE(w_.Label("Label3")->text(), QStringLiteral("3.18E+00"));
        QCOMPARE(w_.Label("Label9")->text(), modulus);
        for (const char *name : ParameterFieldNames)
            QCOMPARE(BackColor(w_.Field(name)), Green);
        QCOMPARE(w_.state->SampleCount, 10000);
        QCOMPARE(w_.form->GraphWindow(), nullptr);
    }

    // The shape is chosen on the diagram, by mouse or keyboard: the picture, the title and the
    // commands follow it. References from each shape's closed form at V = 10, D = 0.5.
    void theShapeIsChosenOnTheDiagram_data()
    {
        QTest::addColumn<QString>("way");
        QTest::addColumn<int>("shape");
        QTest::addColumn<QString>("meanValue");
        QTest::addColumn<QString>("firstHarmonic");
        QTest::newRow("a click, then the entry clicked") << "click" << 1 << "5.00E+00"
                                                         << "6.37E+00"; // 2 V / pi
        QTest::newRow("Down twice") << "down down" << 2 << "2.50E+00"
                                    << "4.05E+00"; // 4 V / (pi^2 D) sin^2(pi D / 2)
        QTest::newRow("Enter, then the accelerator") << "enter d" << 3 << "2.50E+00"
                                                     << "3.77E+00"; // V / pi^2 sqrt(4 + pi^2)
        QTest::newRow("Down four times") << "down down down down" << 4 << "2.50E+00"
                                         << "4.24E+00"; // (V / 2) sinc(1 / 2) / (3 / 4)
        QTest::newRow("Down and Up, back to the start") << "down up" << 0 << "3.18E+00"
                                                        << "5.00E+00";
        QTest::newRow("the menu bar's entries") << "bar" << 1 << "5.00E+00"
                                                << "6.37E+00";
    }
    void theShapeIsChosenOnTheDiagram()
    {
        QFETCH(QString, way);
        QFETCH(int, shape);
        QFETCH(QString, meanValue);
        QFETCH(QString, firstHarmonic);
        auto *diagram = w_.form->findChild<ShapeDiagram *>("Picture1");
        QMenu *menu = diagram->Menu();
        diagram->setFocus();
        for (const QString &step : way.split(' ')) {
            if (step == "click") {
                QTest::mouseClick(diagram, Qt::LeftButton, {}, QPoint(200, 100));
                QVERIFY(menu->isVisible());
                QAction *entry = menu->findChild<QAction *>("Forma1");
                QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(entry).center());
            } else if (step == "enter") {
                QTest::keyClick(diagram, Qt::Key_Return);
                QVERIFY(menu->isVisible());
            } else if (step == "d") {
                QTest::keyClick(menu, Qt::Key_D);
            } else if (step == "bar") {
                auto *shapes = w_.form->findChild<QMenu *>("MenuForme");
                QCOMPARE(shapes->actions(), menu->actions()); // the same entries
                shapes->actions()[1]->trigger();
            } else {
                QTest::keyClick(diagram, step == "down" ? Qt::Key_Down : Qt::Key_Up);
            }
        }
        QVERIFY(!menu->isVisible());
        const auto chosen = static_cast<PulseShape>(shape);
        QCOMPARE(diagram->Shape(), chosen);
        QCOMPARE(w_.Label("Label35")->text(), QString::fromUtf8(TextsOf(chosen).heading));
        QVERIFY(diagram->accessibleName().contains(QString::fromUtf8(TextsOf(chosen).diagram)));
        const QImage expected = chosen == PulseShape::HalfSine
            ? QImage(":/spettro/diagram.jpg")
            : DrawPulseDiagram(MathOf(chosen).sample);
        QCOMPARE(diagram->pixmap().toImage().convertToFormat(QImage::Format_RGB32),
                 expected.convertToFormat(QImage::Format_RGB32));
        QVERIFY(menu->findChild<QAction *>(QStringLiteral("Forma%1").arg(shape))->isChecked());

        // The state keeps its shape until a command stores the new one with the fields.
        QCOMPARE(w_.state->Shape, PulseShape::HalfSine);
        w_.Type("Text2", "1");
        if (way == "bar")
            w_.form->findChild<QAction *>("Calcola")->trigger();
        else
            w_.Click("Command1");
        QVERIFY(w_.box->shown.empty());
        QCOMPARE(w_.state->Shape, chosen);
        QCOMPARE(w_.Label("Label3")->text(), meanValue);
        QCOMPARE(w_.Label("Label9")->text(), firstHarmonic);
    }

    void theArrowsGoRoundTheListOfShapes()
    {
        auto *diagram = w_.form->findChild<ShapeDiagram *>("Picture1");
        diagram->setFocus();
        QTest::keyClick(diagram, Qt::Key_Up);
        QCOMPARE(diagram->Shape(), PulseShapes.back().shape);
        QTest::keyClick(diagram, Qt::Key_Down);
        QCOMPARE(diagram->Shape(), PulseShape::HalfSine);
    }

    void italianLocaleWritesADecimalComma()
    {
        QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
        w_.Type("Text2", "2");
        w_.Click("Command1");
        QCOMPARE(w_.Label("Label3")->text(), QStringLiteral("3,18E+00"));
        QCOMPARE(w_.Label("Label9")->text(), QStringLiteral("2,12E+00"));
    }

    // Each field's two messages, reached by typing into the window and clicking.
    void fieldMessagesNameTheFirstFailingField_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        const QString hint = QStringLiteral(
            ". Puoi scrivere soltanto numeri razionali con il punto come separatore decimale, "
            "anche in forma esponenziale. Ad es: 1.23 , 1E-5 , 5E3");
        const struct
        {
            const char *name;
            const char *missing;
            const char *subject;
        } rows[] = {
            {"Text1", "Hai dimenticato di scrivere il Duty Cycle dell'impulso ",
             "il Duty Cycle dell'impulso"},
            {"Text7", "Hai dimenticato di scrivere l'ampiezza dell'impulso Vmax",
             "l'ampiezza dell'impulso Vmax"},
            {"Text12", "Hai dimenticato di scrivere la frequenza del segnale f ",
             "la frequenza del segnale f "},
            {"Text13", "Hai dimenticato di scrivere il numero di campioni",
             "il numero di campioni"},
            {"Text3",
             "Hai dimenticato di scrivere il numero delle armoniche dello spettro visualizzate ",
             "il numero delle armoniche dello spettro visualizzate "},
            {"Text8", "Hai dimenticato di scrivere il numero di periodi di s(t) visualizzati",
             "il numero di periodi di s(t) visualizzati"},
            {"Text2",
             "Hai dimenticato di scrivere il numero della armonica di cui si vuole calcolare il "
             "modulo",
             "il numero della armonica di cui si vuole calcolare il modulo"},
        };
        for (const auto &row : rows) {
            QTest::addRow("%s empty", row.name) << row.name << "" << QString::fromUtf8(row.missing);
            QTest::addRow("%s comma", row.name) << row.name << "1,5"
                                                << QStringLiteral("Errore di inserimento dati per ")
                    + QString::fromUtf8(row.subject) + hint;
            QTest::addRow("%s space", row.name) << row.name << " 5"
                                                << QStringLiteral("Errore di inserimento dati per ")
                    + QString::fromUtf8(row.subject) + hint;
        }
    }
    void fieldMessagesNameTheFirstFailingField()
    {
        QFETCH(QString, name);
        QFETCH(QString, text);
        QFETCH(QString, message);
        w_.Type("Text2", "1");
        w_.Type(qPrintable(name), text);
        w_.Click("Command1");
        QCOMPARE(w_.Shown(), QStringList {message});
        for (const char *n : ParameterFieldNames)
            QCOMPARE(BackColor(w_.Field(n)), Pink);
        QCOMPARE(w_.Label("Label3")->text(), QString());
        QCOMPARE(w_.state->EntryError, 1);
    }

    void onlyTheFirstFailingFieldIsReported()
    {
        w_.Type("Text7", "");
        w_.Type("Text12", "1,5");
        w_.Click("Command1");
        QCOMPARE(w_.Shown(),
                 QStringList {"Hai dimenticato di scrivere l'ampiezza dell'impulso Vmax"});
    }

    void dutyCycleRefusalLeavesTheFieldsGreen_data()
    {
        QTest::addColumn<QString>("duty");
        for (const char *duty : {"1.5", "0", "0.0", "-0", "1.01"})
            QTest::newRow(duty) << duty;
    }
    void dutyCycleRefusalLeavesTheFieldsGreen()
    {
        QFETCH(QString, duty);
        w_.Type("Text2", "1");
        w_.Click("Command1");
        const AnalysisState before = *w_.state;
        w_.Type("Text1", duty);
        w_.Type("Text2", "2");
        w_.Click("Command1");
        QCOMPARE(w_.Shown(),
                 QStringList {"Il Duty cycle non pu\u00f2 essere zero o maggiore di uno"});
        for (const char *name : ParameterFieldNames)
            QCOMPARE(BackColor(w_.Field(name)), Green);
        QCOMPARE(w_.Label("Label9")->text(), QStringLiteral("5.00E+00"));
        QVERIFY(SameAnalysis(*w_.state, before));
    }

    void fullDutyCyclePasses()
    {
        w_.Type("Text1", "1");
        w_.Type("Text2", "1");
        w_.Click("Command1");
        QVERIFY(w_.box->shown.empty());
        QCOMPARE(w_.Label("Label3")->text(), QStringLiteral("6.37E+00")); // 2 Vmax / pi
    }

    // Values the computation cannot take are refused with a message; the labels, the colours and
    // the analysis stay as the last accepted command left them.
    void refusalsChangeNothing_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("messageStart");
        QTest::newRow("negative duty") << "Text1"
                                       << "-0.5"
                                       << "Il Duty cycle non pu\u00f2 essere negativo";
        QTest::newRow("no samples") << "Text13"
                                    << "0"
                                    << "Il numero di campioni deve";
        QTest::newRow("huge samples") << "Text13"
                                      << "1e12"
                                      << "Il numero di campioni deve";
        QTest::newRow("harmonics beyond N+1") << "Text3"
                                              << "10002"
                                              << "Il numero delle armoniche";
        QTest::newRow("z beyond N+1") << "Text2"
                                      << "10002"
                                      << "Il numero della armonica";
        QTest::newRow("negative z") << "Text2"
                                    << "-1"
                                    << "Il numero della armonica";
        QTest::newRow("amplitude beyond doubles") << "Text7"
                                                  << "1e400"
                                                  << "Il valore scritto per l'ampiezza";
        QTest::newRow("sums overflow") << "Text7"
                                       << "1E308"
                                       << "Il calcolo ha prodotto";
        QTest::newRow("frequency overflow") << "Text12"
                                            << "1e306"
                                            << "La frequenza del segnale f \u00e8";
    }
    void refusalsChangeNothing()
    {
        QFETCH(QString, name);
        QFETCH(QString, text);
        QFETCH(QString, messageStart);
        w_.Type("Text2", "2");
        w_.Click("Command1");
        QCOMPARE(w_.Label("Label9")->text(), QStringLiteral("2.12E+00"));
        const AnalysisState before = *w_.state;
        w_.Type(qPrintable(name), text);
        w_.Click("Command1");
        QCOMPARE(w_.box->shown.size(), std::size_t(1));
        QVERIFY2(w_.Shown().first().startsWith(messageStart), qPrintable(w_.Shown().first()));
        QCOMPARE(w_.Label("Label3")->text(), QStringLiteral("3.18E+00"));
        QCOMPARE(w_.Label("Label9")->text(), QStringLiteral("2.12E+00"));
        QVERIFY(SameAnalysis(*w_.state, before));
        for (const char *n : ParameterFieldNames)
            QCOMPARE(BackColor(w_.Field(n)), Green);
        QCOMPARE(BackColor(w_.Field("Text2")), Green);
    }

    // Stepping a field: the arrows, the page keys and the wheel, each field's step, a stop at the
    // limits, and nothing from a text the checks refuse, without a message.
    void theArrowsPageKeysAndWheelStepAField_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("key"); // 0: the wheel, by `notches`
        QTest::addColumn<int>("notches");
        QTest::addColumn<QString>("after");
        QTest::newRow("D up") << "Text1"
                              << "0.5" << int(Qt::Key_Up) << 0 << "0.51";
        QTest::newRow("D page down") << "Text1"
                                     << "0.5" << int(Qt::Key_PageDown) << 0 << "0.4";
        QTest::newRow("D page up stops at 1") << "Text1"
                                              << "0.95" << int(Qt::Key_PageUp) << 0 << "1";
        QTest::newRow("D never zero") << "Text1"
                                      << "0.01" << int(Qt::Key_Down) << 0 << "0.01";
        QTest::newRow("D wheel two notches") << "Text1"
                                             << "0.5" << 0 << 2 << "0.52";
        QTest::newRow("Vmax down") << "Text7"
                                   << "10" << int(Qt::Key_Down) << 0 << "9";
        QTest::newRow("f wheel back") << "Text12"
                                      << "100" << 0 << -1 << "99";
        QTest::newRow("P page up") << "Text8"
                                   << "3" << int(Qt::Key_PageUp) << 0 << "13";
        QTest::newRow("H up") << "Text3"
                              << "10" << int(Qt::Key_Up) << 0 << "11";
        QTest::newRow("N down") << "Text13"
                                << "10000" << int(Qt::Key_Down) << 0 << "9999";
        QTest::newRow("z up") << "Text2"
                              << "3" << int(Qt::Key_Up) << 0 << "4";
        QTest::newRow("refused text stays") << "Text1"
                                            << "0,5" << int(Qt::Key_Up) << 0 << "0,5";
        QTest::newRow("empty stays") << "Text7"
                                     << "" << int(Qt::Key_Up) << 0 << "";
    }
    void theArrowsPageKeysAndWheelStepAField()
    {
        QFETCH(QString, name);
        QFETCH(QString, typed);
        QFETCH(int, key);
        QFETCH(int, notches);
        QFETCH(QString, after);
        QLineEdit *field = w_.Field(qPrintable(name));
        w_.Type(qPrintable(name), typed);
        if (key != 0) {
            QTest::keyClick(field, Qt::Key(key));
        } else {
            const QPointF at(field->width() / 2.0, field->height() / 2.0);
            QWheelEvent wheel(at, field->mapToGlobal(at), QPoint(), QPoint(0, 120 * notches),
                              Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
            QCoreApplication::sendEvent(field, &wheel);
        }
        QCOMPARE(field->text(), after);
        QVERIFY(w_.Shown().isEmpty());
        QVERIFY(
            field->toolTip().startsWith("Frecce su e gi\u00F9 o rotellina del mouse: passi di "));
        // The step is undone as typing is.
        if (after != typed) {
            field->undo();
            QCOMPARE(field->text(), typed);
        }
    }

    // With the graph window open, a step draws the graphs of the stepped value, as "Grafici"
    // pressed with it would, pixel for pixel; the result labels stay as the harmonic modulus
    // command left them. Two quick steps make one analysis, of the last value.
    void theGraphsFollowASteppedField()
    {
        w_.Type("Text2", "2");
        w_.Click("Command1");
        const QString modulus = w_.Label("Label9")->text();
        w_.Click("Command2");
        Form2 *graphs = w_.form->GraphWindow();
        QVERIFY(graphs && graphs->isVisible());
        // The views and the sum as the user set them stay on.
        graphs->Views()->DecibelAction()->trigger();
        graphs->HarmonicSum()->Action()->trigger();
        w_.pace.Hold();
        w_.form->StepField(Field::Text1, 1);
        w_.form->StepField(Field::Text1, 1);
        QCOMPARE(w_.Field("Text1")->text(), QStringLiteral("0.52"));
        QCOMPARE(w_.pace.Starts(), 0); // nothing before the event loop turns
        finishFollowing();
        QCOMPARE(w_.pace.Starts(), 2); // one analysis, of the last value, then its sum
        QCOMPARE(w_.state->DutyCycle, 0.52);
        QCOMPARE(w_.Label("Label9")->text(), modulus);
        const QImage stepped = graphs->Picture1()->Image();
        w_.Click("Command2");
        QCOMPARE(graphs->Picture1()->Image(), stepped);
        QVERIFY(graphs->Views()->DecibelAction()->isChecked());
        QVERIFY(graphs->HarmonicSum()->Action()->isChecked());
        QVERIFY(w_.Shown().isEmpty());
    }

    // The graph window's parameter bar, off at first, and the input window edit one set of typed
    // values: a step, a typed text, a shape in either shows in both; the bar's steps and Enter make
    // the graphs follow; a refused text shows the graphs command's own message, and nothing else
    // changes. F2 goes into the bar, Esc back to the plot; in full screen the bar is in the strip.
    void theBarAndTheFieldsAreOneSetOfValues()
    {
        w_.Click("Command2");
        Form2 *graphs = w_.form->GraphWindow();
        ParameterBar *bar = graphs->Bar();
        QVERIFY(bar && !bar->isVisible() && !graphs->BarAction()->isChecked());
        const QSize view = graphs->findChild<QWidget *>("ClientView")->size();
        const int height = graphs->height();
        graphs->BarAction()->trigger();
        QVERIFY(bar->isVisible());
        // The window grows by it, once the window system has given it its new size.
        QTRY_COMPARE(graphs->height(), height + bar->sizeHint().height());
        QTRY_COMPARE(graphs->findChild<QWidget *>("ClientView")->size(), view);
        for (std::size_t f = 0; f < FieldCount; ++f) { // the same hints as the fields'
            const auto field = static_cast<Field>(f);
            QVERIFY(bar->Text(field)->toolTip().startsWith(w_.form->Text(field)->toolTip()));
            QCOMPARE(bar->Text(field)->accessibleName(), w_.form->Text(field)->accessibleName());
        }

        w_.pace.Hold();
        const struct
        {
            const char *name;
            std::function<void()> edit;
            Field field;
            const char *text; // in both windows after the edit
            bool follows; // an analysis of the new value
        } edits[] = {
            {"the bar's Up", [&] { QTest::keyClick(bar->Text(Field::Text1), Qt::Key_Up); },
             Field::Text1, "0.51", true},
            {"the bar's Page Down",
             [&] { QTest::keyClick(bar->Text(Field::Text3), Qt::Key_PageDown); }, Field::Text3, "0",
             true},
            {"the bar's wheel",
             [&] {
                 QWheelEvent wheel({5, 5}, {5, 5}, {}, {0, 120}, Qt::NoButton, Qt::NoModifier,
                                   Qt::NoScrollPhase, false);
                 QCoreApplication::sendEvent(bar->Text(Field::Text3), &wheel);
             },
             Field::Text3, "1", true},
            {"the field's step", [&] { w_.form->StepField(Field::Text8, 1); }, Field::Text8, "4",
             true},
            {"typed in the bar", [&] { Retype(bar->Text(Field::Text7), "7"); }, Field::Text7, "7",
             false},
            {"typed in the field", [&] { w_.Type("Text13", "2000"); }, Field::Text13, "2000",
             false},
            {"Enter in the bar", [&] { QTest::keyClick(bar->Text(Field::Text13), Qt::Key_Return); },
             Field::Text13, "2000", true},
        };
        for (const auto &e : edits) {
            const int starts = w_.pace.Starts();
            e.edit();
            QVERIFY2(w_.form->Text(e.field)->text() == e.text, e.name);
            QVERIFY2(bar->Text(e.field)->text() == e.text, e.name);
            finishFollowing();
            QVERIFY2((w_.pace.Starts() > starts) == e.follows, e.name);
        }
        QCOMPARE(w_.state->DutyCycle, 0.51);
        QCOMPARE(w_.state->HarmonicCount, 1.0);
        QCOMPARE(w_.state->Amplitude, 7.0);
        QCOMPARE(w_.state->SampleCount, 2000);

        // The shape, chosen in either window.
        bar->Shape()->activated(1); // as the user picks it
        finishFollowing();
        QCOMPARE(w_.form->findChild<ShapeDiagram *>()->Shape(), PulseShape::Rectangular);
        QCOMPARE(w_.state->Shape, PulseShape::Rectangular);
        QTest::keyClick(w_.form->findChild<ShapeDiagram *>(), Qt::Key_Down);
        finishFollowing();
        QCOMPARE(bar->Shape()->currentIndex(), 2);

        // A refused text: the command's message, no analysis, the graphs as they were.
        Retype(bar->Text(Field::Text1), "1.5");
        const QImage before = graphs->Picture1()->Image();
        const int starts = w_.pace.Starts();
        QTest::keyClick(bar->Text(Field::Text1), Qt::Key_Return);
        finishFollowing();
        QCOMPARE(w_.pace.Starts(), starts);
        QCOMPARE(w_.state->DutyCycle, 0.51);
        QCOMPARE(graphs->Picture1()->Image(), before);
        const QStringList refused = w_.Shown();
        QCOMPARE(refused.size(), 1);
        w_.Click("Command2");
        QCOMPARE(w_.Shown(), refused + refused); // the graphs command says the same
        w_.pace.Release();

        // F2 into the bar, Esc back to the plot; in full screen, Esc leaves the bar first.
        graphs->BarAction()->trigger();
        QVERIFY(!bar->isVisible());
        graphs->BarFocusAction()->trigger();
        QVERIFY(bar->isVisible() && graphs->BarAction()->isChecked());
        QCOMPARE(graphs->focusWidget(), bar->Text(Field::Text1));
        QTest::keyClick(bar->Text(Field::Text1), Qt::Key_Escape);
        QCOMPARE(graphs->focusWidget(), graphs->Picture1());
        graphs->BarAction()->trigger(); // off: the full screen shows it all the same
        graphs->FullScreen()->Action()->trigger();
        QTRY_VERIFY(bar->isVisible()); // the stage shows once the event loop turns
        QCOMPARE(bar->parentWidget()->objectName(), QStringLiteral("FullScreenStage"));
        graphs->FullScreen()->Action()->trigger();
        QVERIFY(!bar->isVisible() && bar->parentWidget() == graphs);
    }

    // The bar's sweep, ticked by the test: D back and forth between its limits, each value drawn;
    // ticks that come while a drawing is still under way skip their values, and the next drawn
    // value is as far on as the ticks went; a key or a click stops it, and does nothing else.
    void theSweepStepsBetweenItsLimitsAndSkipsWhatItCannotDraw()
    {
        w_.Click("Command2");
        Form2 *graphs = w_.form->GraphWindow();
        graphs->BarAction()->trigger();
        Sweep &sweep = graphs->Bar()->Sweeping();
        testing_seam::StopTheClock(sweep);
        QCOMPARE(sweep.Swept(), Field::Text1); // D unless another is chosen
        sweep.From()->setValue(0.48);
        sweep.To()->setValue(0.51);
        sweep.Play()->click();
        QVERIFY(sweep.Running());
        w_.pace.Hold();
        const struct
        {
            int ticks; // before the drawing ends
            const char *drawn; // D afterwards
        } ticks[] = {
            {1, "0.51"}, {1, "0.5"}, {1, "0.49"}, {1, "0.48"}, {1, "0.49"}, // back at each limit
            {3, "0.5"}, // two ticks skipped while 0.5 is drawn
            {1, "0.51"}, // ...and the next is two steps on, back at the limit
        };
        int skipped = 0;
        for (const auto &t : ticks) {
            for (int tick = 0; tick < t.ticks; ++tick)
                sweep.Tick();
            skipped += t.ticks - 1;
            QCOMPARE(sweep.Skipped(), skipped);
            finishFollowing();
            QCOMPARE(w_.form->Text(Field::Text1)->text(), QString::fromLatin1(t.drawn));
            QCOMPARE(graphs->Bar()->Text(Field::Text1)->text(), QString::fromLatin1(t.drawn));
            QCOMPARE(w_.state->DutyCycle, QString::fromLatin1(t.drawn).toDouble());
        }
        QCOMPARE(w_.form->Text(Field::Text1)->text(), QStringLiteral("0.51"));

        // A key, or a click anywhere, stops it; the key is not typed, the click not taken.
        QTest::keyClick(graphs->Bar()->Text(Field::Text7), Qt::Key_5);
        QVERIFY(!sweep.Running());
        QCOMPARE(w_.form->Text(Field::Text7)->text(), QStringLiteral("10"));
        sweep.Play()->click();
        QTest::mouseClick(sweep.Play(), Qt::LeftButton);
        QVERIFY(!sweep.Running() && !sweep.Play()->isChecked());
        sweep.Tick(); // a tick after the end moves nothing
        finishFollowing();
        QCOMPARE(w_.form->Text(Field::Text1)->text(), QStringLiteral("0.51"));
        w_.pace.Release();

        // Another value: its limits ten steps either side of it.
        sweep.Value()->setCurrentIndex(1); // Vmax
        QCOMPARE(sweep.Swept(), Field::Text7);
        QCOMPARE(sweep.From()->value(), 0.0);
        QCOMPARE(sweep.To()->value(), 20.0);
    }

    // A step's analysis that lasts shows its progress without holding the window: the fields
    // still step, and Annulla cancels, leaving the graphs as they were. The point is written
    // whatever the language.
    void aLastingStepShowsItsProgressAndTheWindowAnswers()
    {
        QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
        w_.Click("Command2");
        w_.pace.Hold();
        w_.form->StepField(Field::Text1, -1);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall); // starts, held
        QCoreApplication::processEvents(); // no delay while held: the dialog shows
        QPointer<QProgressDialog> dialog = w_.form->findChild<QProgressDialog *>("StepProgress");
        QVERIFY(dialog && dialog->isVisible());
        QCOMPARE(dialog->windowModality(), Qt::NonModal);
        QVERIFY2(dialog->labelText().startsWith("Attendere! Calcolo dello spettro"),
                 qPrintable(dialog->labelText()));
        QTest::keyClick(w_.Field("Text7"), Qt::Key_Up);
        QCOMPARE(w_.Field("Text7")->text(), QStringLiteral("11"));
        QCOMPARE(w_.Field("Text1")->text(), QStringLiteral("0.49"));
        QVERIFY(w_.form->Live().Wanted()); // a newer step, after the one running
        QTest::mouseClick(dialog->findChild<QPushButton *>(), Qt::LeftButton); // Annulla
        QVERIFY(w_.form->Live().Cancelling());
        QVERIFY(!w_.form->Live().Wanted());
        w_.pace.Release();
        w_.pace.WaitUntilEnded();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
        QVERIFY(!w_.form->Live().Running());
        QCOMPARE(w_.state->DutyCycle, 0.5);
        QCOMPARE(w_.state->Amplitude, 10.0);
        QVERIFY(!dialog || !dialog->isVisible());
    }

    // A step while an analysis runs cancels it: the newer value is drawn, the older never is.
    void aNewerStepCancelsTheRunningAnalysis()
    {
        w_.Click("Command2");
        w_.pace.Hold();
        w_.form->StepField(Field::Text13, -1);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall); // starts, held
        QVERIFY(w_.form->Live().Running());
        QVERIFY(!w_.form->Live().Cancelling());
        w_.form->StepField(Field::Text13, -1);
        QVERIFY(w_.form->Live().Wanted() && w_.form->Live().Cancelling());
        w_.pace.Release();
        finishFollowing();
        QCOMPARE(w_.pace.Starts(), 2);
        QCOMPARE(w_.state->SampleCount, 9998);
        QVERIFY(!w_.form->Live().Running());
    }

    // "Grafici" pressed while a step's analysis runs: the command takes over, and draws.
    void aCommandTakesOverFromTheSteps()
    {
        w_.Click("Command2");
        w_.pace.Hold();
        w_.form->StepField(Field::Text3, 1);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall); // starts, held
        QVERIFY(w_.form->Live().Running());
        w_.pace.Release();
        w_.Click("Command2");
        QVERIFY(!w_.form->Live().Running() && !w_.form->Live().Wanted());
        QCOMPARE(w_.state->HarmonicCount, 11.0);
        QVERIFY(w_.Shown().isEmpty());
    }

    // Steps quicker than the progress dialog's delay, cancelled while their analyses' transforms
    // still run on threads of their own: one dialog at a time, that of the analysis running,
    // closed by its end or its Annulla; then a command, with the cancelled analyses' transforms
    // still running, analyses and draws.
    void cancelledStepsLeaveOneProgressAndACommandFollows()
    {
        w_.Type("Text13", "100000");
        w_.Type("Text3", "5000");
        QCOMPARE(CheaperPath(100000, 0.5, 5000), SpectrumPath::Transform);
        w_.Click("Command2");
        QVERIFY(w_.form->GraphWindow());
        const auto shownProgress = [this] {
            int shown = 0;
            for (const auto *dialog : w_.form->findChildren<QProgressDialog *>("StepProgress"))
                shown += dialog->isVisible() ? 1 : 0;
            return shown;
        };
        w_.pace.dialogDelayMs = 1; // a timer, as the program's delay is: 0 would be a posted call
        w_.pace.HoldTransforms();
        for (int step = 1; step <= 3; ++step) {
            w_.form->StepField(Field::Text1, 1);
            if (step == 1) {
                QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall); // the first starts
            } else { // cancels the one running, whose end starts this one
                QVERIFY(w_.form->Live().Cancelling());
                w_.pace.WaitUntilEnded();
                QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
            }
            w_.pace.WaitForHeldTransforms(step); // its transform runs, held
            if (step == 1) // the next step comes before the dialog's delay is over
                continue;
            QTRY_COMPARE_WITH_TIMEOUT(shownProgress(), 1, 60000); // the delay is over
        }
        for (auto *dialog : w_.form->findChildren<QProgressDialog *>("StepProgress"))
            if (dialog->isVisible())
                QTest::mouseClick(dialog->findChild<QPushButton *>(), Qt::LeftButton); // Annulla
        QVERIFY(w_.form->Live().Cancelling() && !w_.form->Live().Wanted());
        w_.pace.WaitUntilEnded();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
        QCoreApplication::processEvents();
        QVERIFY(!w_.form->Live().Running());
        QCOMPARE(shownProgress(), 0);
        QCOMPARE(w_.state->DutyCycle, 0.5);

        w_.pace.dialogDelayMs = NoDialogMs;
        w_.pace.HoldNoNewTransform();
        QCOMPARE(w_.pace.HeldTransforms(), 3); // the cancelled ones' threads, still alive
        w_.Click("Command2");
        QCOMPARE(w_.state->DutyCycle, 0.53);
        QCOMPARE(w_.state->SampleCount, 100000);
        QVERIFY(w_.Shown().isEmpty());
        QCOMPARE(shownProgress(), 0);
        w_.pace.ReleaseTransforms();
    }

    // With the graph window closed a step changes the text only; a new shape with it open redraws.
    void stepsAnalyseOnlyWhileTheGraphsAreOpen()
    {
        w_.pace.Hold();
        w_.form->StepField(Field::Text7, 1);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
        QCOMPARE(w_.pace.Starts(), 0);
        QCOMPARE(w_.state->Amplitude, 0.0);
        w_.pace.LetGo();
        w_.Click("Command2");
        QCOMPARE(w_.state->Amplitude, 11.0);
        w_.pace.Hold();
        auto *diagram = w_.form->findChild<ShapeDiagram *>("Picture1");
        QTest::keyClick(diagram, Qt::Key_Down); // the next shape in the list
        finishFollowing();
        QCOMPARE(w_.state->Shape, diagram->Shape());
        QVERIFY(w_.state->Shape != PulseShape::HalfSine);
    }

    // A capture opened from its file: its frequency estimated into f, its averaged period
    // analysed in place of the shape, the model (the shape with the typed values) held as the
    // reference; a step of N analyses the capture again; the fit writes Vmax and D and draws the
    // model where the pulse lies; closing goes back to the computed signal.
    void aMeasuredSignalIsAnalysedBesideItsFittedModel()
    {
        // A rectangle of 5 V, D = 0.25, at 1 kHz, sampled every microsecond for 10.4 periods,
        // its first pulse starting 0.3 ms after the capture's start.
        const std::string folder = NewTemporaryFolder("spettro_misurato");
        QVERIFY(!folder.empty());
        const QString path = WriteRectangles(folder + "/prova.csv", {5});
        auto *diagram = w_.form->findChild<ShapeDiagram *>("Picture1");
        diagram->Choose(PulseShape::Rectangular);
        QVERIFY(w_.form->OpenMeasured(path));
        QVERIFY(!w_.form->findChild<QMenu *>("MenuCanale")->isEnabled()); // one channel alone
        QVERIFY2(w_.Shown().isEmpty(), qPrintable(w_.Shown().join('\n')));
        QCOMPARE(w_.Field("Text12")->text().toDouble(), 1.0); // 7 digits of the estimate
        QVERIFY(w_.Label("Label35")->text().startsWith("Misurato: prova.csv (f stimata = "));
        Form2 *graphs = w_.form->GraphWindow();
        QVERIFY(graphs && graphs->isVisible());
        // The period averaged at N = 10000 over the 10 whole periods: the lines of the
        // rectangle, 2 Vmax |sin(k pi D)| / (k pi), within what the one-microsecond ramps of the
        // interpolation at each edge take off them.
        QCOMPARE(w_.state->SampleCount, 10000);
        QVERIFY(std::abs(w_.state->MeanValue - 1.25) < 5e-3);
        for (int k = 1; k <= 10; ++k) {
            const double expected
                = 2 * 5 * std::abs(std::sin(k * std::numbers::pi * 0.25)) / (k * std::numbers::pi);
            QVERIFY2(std::abs(w_.state->Magnitudes[k] - expected) < 5e-3,
                     qPrintable(QString("k = %1: %2").arg(k).arg(w_.state->Magnitudes[k])));
        }
        // The model beside it, with the typed values: a half-wide, 10 V rectangle.
        const HeldReference *model = graphs->Reference().Held();
        QVERIFY(model && !model->analysis.Measured);
        QCOMPARE(model->analysis.Shape, PulseShape::Rectangular);
        QCOMPARE(model->analysis.Amplitude, 10.0);
        QVERIFY(graphs->ReferenceKey()->isVisible());
        QCOMPARE(graphs->ReferenceKey()->text(),
                 QStringLiteral("modello: rettangolare, D.C. = 0.5"));
        // The harmonic modulus command reads it too: Ao and |S(7)|, past H, as the labels write
        // them, against the closed forms.
        w_.Type("Text2", "7");
        w_.Click("Command1");
        QVERIFY(w_.state->Measured);
        QVERIFY(std::abs(w_.Label("Label3")->text().toDouble() - 1.25) <= 0.01);
        QVERIFY(
            std::abs(w_.Label("Label9")->text().toDouble()
                     - 10 * std::abs(std::sin(7 * std::numbers::pi / 4)) / (7 * std::numbers::pi))
            <= 0.01);
        // An f whose period the capture does not hold: its message, and the analysis kept.
        const AnalysisState held = *w_.state;
        w_.Type("Text12", "0.05");
        w_.Click("Command2");
        QCOMPARE(w_.Shown().size(), 1);
        QVERIFY2(w_.Shown().front().contains("periodo"), qPrintable(w_.Shown().front()));
        QVERIFY(SameAnalysis(*w_.state, held));
        w_.box->shown.clear();
        w_.Type("Text12", "1");
        // A step of N reads the capture again at the new count.
        w_.pace.Hold();
        w_.form->StepField(Field::Text13, 1);
        finishFollowing();
        QCOMPARE(w_.state->SampleCount, 10001);
        QVERIFY(w_.state->Measured);
        // The model follows the steps: of N, and of D, which the measurement does not take.
        QCOMPARE(graphs->Reference().Held()->analysis.SampleCount, 10001);
        w_.form->StepField(Field::Text1, 1);
        finishFollowing();
        QCOMPARE(graphs->Reference().Held()->analysis.DutyCycle, 0.51);
        QCOMPARE(graphs->ReferenceKey()->text(),
                 QStringLiteral("modello: rettangolare, D.C. = 0.51"));
        // The fit: Vmax and D into their fields, the model drawn from the pulse's start.
        w_.pace.LetGo();
        w_.form->EstimateParameters();
        // Within what the edges' ramps, one part in 250 of the pulse, take off.
        const double vmax = w_.Field("Text7")->text().toDouble();
        QVERIFY2(std::abs(vmax - 5) <= 0.02, qPrintable(w_.Field("Text7")->text()));
        QVERIFY(std::abs(w_.Field("Text1")->text().toDouble() - 0.25) <= 2e-3);
        QCOMPARE(w_.Shown().size(), 1);
        const QRegularExpressionMatch said
            = QRegularExpression("^Parametri stimati per la forma rettangolare: Vmax = ([0-9.]+) "
                                 "V, D.C. = ([0-9.]+), ritardo = ([0-9.]+) µs.\nDifferenza "
                                 "efficace residua fra segnale misurato e modello: ([0-9.]+) V.$")
                  .match(w_.Shown().front());
        QVERIFY2(said.hasMatch(), qPrintable(w_.Shown().front()));
        QCOMPARE(said.captured(1), w_.Field("Text7")->text());
        QVERIFY(std::abs(said.captured(3).toDouble() - 300) <= 1);
        QVERIFY(said.captured(4).toDouble() < 0.2); // of the 5 V left at the edges alone
        model = graphs->Reference().Held();
        QCOMPARE(model->analysis.Amplitude, vmax);
        // Sample i of the model at i / (N f): the pulse from 0.3 ms to 0.55 ms, as measured.
        const auto at = [&](double seconds) {
            return model->analysis.Samples[static_cast<std::size_t>(
                std::lround(seconds * 1000 * model->analysis.SampleCount))];
        };
        QCOMPARE(at(0.29e-3), 0.0);
        QCOMPARE(at(0.31e-3), vmax);
        QCOMPARE(at(0.54e-3), vmax);
        QCOMPARE(at(0.56e-3), 0.0);
        // Closed: the computed signal again, and no model.
        w_.form->CloseMeasured();
        QVERIFY(!w_.state->Measured && !w_.form->Measured());
        QVERIFY(!graphs->Reference().Held());
        QCOMPARE(w_.Label("Label35")->text(),
                 QString::fromUtf8(TextsOf(PulseShape::Rectangular).heading));
        QCOMPARE(w_.state->Amplitude, vmax);
        QVERIFY(std::abs(w_.state->Magnitudes[1]
                         - 2 * vmax * std::sin(std::numbers::pi * w_.state->DutyCycle)
                             / std::numbers::pi)
                < 1e-3 * vmax); // the sums at N = 10001 points against the closed form
        std::filesystem::remove_all(folder);
    }

    // A file of two channels: the first analysed, the other chosen from the menu, which reads
    // the file again; the channel's name follows the file's.
    void aMeasuredChannelIsChosenFromTheMenu()
    {
        const std::string folder = NewTemporaryFolder("spettro_misurato");
        QVERIFY(!folder.empty());
        QVERIFY(w_.form->OpenMeasured(WriteRectangles(folder + "/due.csv", {5, 2})));
        auto *channels = w_.form->findChild<QMenu *>("MenuCanale");
        QVERIFY(channels->isEnabled());
        QStringList names;
        for (const QAction *entry : channels->actions())
            names << entry->text() + (entry->isChecked() ? "*" : "");
        QCOMPARE(names, (QStringList {"CH1*", "CH2"}));
        QVERIFY(std::abs(w_.state->MeanValue - 5 * 0.25) < 5e-3);
        channels->actions().at(1)->trigger();
        QVERIFY2(w_.Shown().isEmpty(), qPrintable(w_.Shown().join('\n')));
        QVERIFY(std::abs(w_.state->MeanValue - 2 * 0.25) < 5e-3);
        QCOMPARE(SignalName(*w_.state), std::string_view("misurato: due.csv, CH2"));
        QVERIFY(w_.form->findChild<QMenu *>("MenuCanale")->actions().at(1)->isChecked());
        w_.form->CloseMeasured();
        QVERIFY(!channels->isEnabled() && channels->actions().isEmpty());
        std::filesystem::remove_all(folder);
    }

    // A file that cannot be used, or a reading cancelled, says why (or nothing, cancelled) and
    // leaves the window, the analysis and its graphs as they were.
    void aMeasuredFileThatCannotBeUsedChangesNothing_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("message"); // a part of it; empty: cancelled
        QTest::newRow("empty") << QByteArray() << "vuoto";
        QTest::newRow("binary") << QByteArray("PK\x03\x04\x00\x00\x01", 7) << "Riga 1";
        QTest::newRow("flat") << QByteArray("t,v\n0,1\n1,1\n2,1\n3,1\n4,1\n") << "costante";
        QTest::newRow("one edge") << QByteArray("t,v\n0,0\n1,0\n2,5\n3,5\n4,5\n")
                                  << "meno di un periodo";
        QTest::newRow("cancelled")
            << QByteArray("t,v\n0,0\n1,5\n2,0\n3,5\n4,0\n5,5\n") << QString();
        QTest::newRow("missing") << QByteArray("-") << "Impossibile aprire il file";
    }
    void aMeasuredFileThatCannotBeUsedChangesNothing()
    {
        QFETCH(QByteArray, text);
        QFETCH(QString, message);
        w_.Click("Command2");
        const AnalysisState before = *w_.state;
        const QImage plot = w_.form->GraphWindow()->Picture1()->Image();
        const std::string folder = NewTemporaryFolder("spettro_misurato");
        QString path = QString::fromStdString(folder + "/prova.csv");
        if (text == "-")
            path += ".assente";
        else {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(text);
        }
        if (message.isEmpty())
            w_.pace.ActWhenShown([](QProgressDialog &dialog) {
                QTest::mouseClick(dialog.findChild<QPushButton *>(), Qt::LeftButton);
            });
        QVERIFY(!w_.form->OpenMeasured(path));
        w_.pace.LetGo();
        if (message.isEmpty())
            QVERIFY(w_.Shown().isEmpty());
        else {
            QCOMPARE(w_.Shown().size(), 1);
            QVERIFY2(w_.Shown().front().contains(message), qPrintable(w_.Shown().front()));
        }
        QVERIFY(!w_.form->Measured());
        QVERIFY(SameAnalysis(*w_.state, before));
        QCOMPARE(w_.Field("Text12")->text(), QStringLiteral("100"));
        QCOMPARE(w_.Label("Label35")->text(),
                 QString::fromUtf8(TextsOf(PulseShape::HalfSine).heading));
        QCOMPARE(w_.form->GraphWindow()->Picture1()->Image(), plot);
        std::filesystem::remove_all(folder);
    }

private:
    // Rectangles at 1 kHz, D = 0.25, one channel each of the amplitudes given, sampled every
    // microsecond for 10.4 periods, each first pulse 0.3 ms after the capture's start.
    static QString WriteRectangles(const std::string &path,
                                   std::initializer_list<double> amplitudes)
    {
        QFile file(QString::fromStdString(path));
        if (!file.open(QIODevice::WriteOnly))
            return {};
        QByteArray text = "Time (s)";
        for (std::size_t c = 1; c <= amplitudes.size(); ++c)
            text += ",CH" + QByteArray::number(c) + " (V)";
        text += "\r\n";
        for (int i = 0; i <= 10400; ++i) {
            const bool on = ((i - 300) % 1000 + 1000) % 1000 < 250;
            text += QByteArray::number(i * 1e-6, 'g', 17);
            for (const double amplitude : amplitudes)
                text += ',' + QByteArray::number(on ? amplitude : 0);
            text += "\r\n";
        }
        file.write(text);
        return file.fileName();
    }

    // Lets the analyses the steps started run to their end, and their graphs be drawn.
    void finishFollowing()
    {
        for (int round = 0; round < 4; ++round) {
            QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall); // a start, or an end
            if (w_.form->Live().Running()) {
                w_.pace.Release();
                w_.pace.WaitUntilEnded();
            }
        }
        QVERIFY(!w_.form->Live().Running() && !w_.form->Live().Wanted());
    }
};

QTEST_MAIN(Form1Test)
#include "tst_form1.moc"
