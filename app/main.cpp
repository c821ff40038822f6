// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Starts the program: one analysis state for the whole run, the input window, the event loop
// until no window is open.
#include "core/platform/memory_pages.h"
#include "core/state/analysis_state.h"
#include "ui/classic/qt_translations.h"
#include "ui/input_window/form1.h"
#include "ui/input_window/qt_message_box.h"
#include "ui/long_work/task_gate.h"
#include "ui/window_texts.h"
#include "version.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    KeepFreedMemoryForReuse(); // a step of a large analysis reuses the last one's memory
    QApplication app(argc, argv);
    QApplication::setApplicationName(QTextOf(UiText::ProgramName));
    QApplication::setApplicationVersion(QString::fromLatin1(ApplicationVersion));
    QApplication::setDesktopFileName(QStringLiteral("it.spettrosegnale.SpettroSegnale"));
    // The windows are laid out in fixed positions like classic forms; Fusion draws their
    // controls the same on every desktop and honours each control's colours.
    QApplication::setStyle(QStringLiteral("Fusion"));
    // The program speaks Italian whatever the system's language; so do Qt's own menus and
    // dialogs. Without the translations it still works, in two languages.
    if (!InstallQtItalianTranslations())
        qWarning("%s",
                 qUtf8Printable(
                     QTextOf(UiText::QtTranslationsMissing).arg(QtItalianTranslationsPath())));

    AnalysisState state;
    QtMessageBox messages;
    TaskGate tasks;
    Form1 form1(state, messages, tasks);
    messages.SetParent(&form1);
    form1.show();
    return QApplication::exec();
}
