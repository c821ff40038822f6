// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt_translations.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QTranslator>

#include <cstring>
#include <utility>

namespace {

// What Qt's own Italian file leaves in English: the type of a folder in the file dialog's list
// ("File Folder" on Windows, as its Explorer says; "Folder" elsewhere), whose context was renamed
// in Qt 6 while the file still holds the old one.
class MissingItalian : public QTranslator
{
public:
    using QTranslator::QTranslator;
    bool isEmpty() const override { return false; }
    QString translate(const char *context, const char *source, const char *, int) const override
    {
        if (std::strcmp(context, "QAbstractFileIconProvider") != 0)
            return {};
        static const std::pair<const char *, const char *> texts[] = {
            {"Folder", "Cartella"},       {"File Folder", "Cartella"}, {"Drive", "Unit\u00E0"},
            {"Shortcut", "Collegamento"}, {"Alias", "Alias"},          {"Unknown", "Sconosciuto"},
        };
        for (const auto &[english, italian] : texts)
            if (std::strcmp(source, english) == 0)
                return QString::fromUtf8(italian);
        return {};
    }
};

} // namespace

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
    // Installed after Qt's file, so asked first.
    QCoreApplication::installTranslator(new MissingItalian(translator));
    return true;
}
