// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt_translations.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QTranslator>

QString QtItalianTranslationsPath()
{
    return QDir(QLibraryInfo::path(QLibraryInfo::TranslationsPath))
        .filePath(QStringLiteral("qtbase_it.qm"));
}

bool InstallQtItalianTranslations()
{
    QCoreApplication *const app = QCoreApplication::instance();
    if (app == nullptr)
        return false;
    // The translator lives as long as the application, whose child it is.
    const QString name = QStringLiteral("QtItalianTranslations");
    if (app->findChild<QTranslator *>(name, Qt::FindDirectChildrenOnly) != nullptr)
        return true;
    // The file is named outright: the system's language must not choose another.
    auto *translator = new QTranslator(app);
    translator->setObjectName(name);
    if (!translator->load(QtItalianTranslationsPath())
        || !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return false;
    }
    return true;
}
