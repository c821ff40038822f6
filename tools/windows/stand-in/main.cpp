// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
//
// Stand-in for spettro-segnale.exe (see CMakeLists.txt beside it): starts as the program does
// and shows a window "Spettro Segnale" until it is closed. The label shows a text of Qt's own,
// in Italian when Qt's translations were loaded.

#include "ui/classic/qt_translations.h"

#include <QApplication>
#include <QLabel>
#include <QVBoxLayout>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));
    if (!InstallQtItalianTranslations())
        qWarning("Traduzioni di Qt non caricate (%s): i testi di Qt restano in inglese",
                 qUtf8Printable(QtItalianTranslationsPath()));

    QWidget window;
    window.setWindowTitle(QStringLiteral("Spettro Segnale"));
    auto *layout = new QVBoxLayout(&window);
    layout->addWidget(new QLabel(QCoreApplication::translate("QLineEdit", "&Undo")));
    window.resize(320, 120);
    window.show();
    return QApplication::exec();
}
