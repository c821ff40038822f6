// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "italian_file_list.h"

#include "ui/window_texts.h"

#include <QFileInfo>
#include <QFileSystemModel>
#include <QLocale>

namespace {

// The columns of Qt's list of files.
enum Column
{
    Name,
    Size,
    Type,
    Modified
};

const QLocale &Italian()
{
    static const QLocale italian(QLocale::Italian, QLocale::Italy);
    return italian;
}

} // namespace

QString ItalianFileList::TypeOf(const QFileInfo &file)
{
    const QString suffix = file.suffix().toLower();
    for (const UiText filter : {UiText::ImageFilter, UiText::DataFilter, UiText::WorkbookFilter}) {
        const QString text = QTextOf(filter); // "Immagine PNG (*.png)"
        if (!suffix.isEmpty() && text.endsWith(QStringLiteral("(*.") + suffix + u')'))
            return text.left(text.lastIndexOf(QStringLiteral(" (")));
    }
    if (suffix.isEmpty())
        return QTextOf(UiText::FileWithoutSuffix);
    return QTextOf(UiText::OtherFileType).arg(file.suffix().toUpper());
}

QVariant ItalianFileList::data(const QModelIndex &index, int role) const
{
    const auto *files = qobject_cast<const QFileSystemModel *>(sourceModel());
    if (role != Qt::DisplayRole || !files || index.column() == Name)
        return QIdentityProxyModel::data(index, role);
    const QModelIndex source = mapToSource(index);
    const QFileInfo file = files->fileInfo(source);
    switch (index.column()) {
    case Size: // a folder has none
        return file.isDir() ? QIdentityProxyModel::data(index, role)
                            : Italian().formattedDataSize(files->size(source));
    case Type: // a folder's is Qt's own, in Italian already
        return file.isDir() ? QIdentityProxyModel::data(index, role) : TypeOf(file);
    case Modified:
        return Italian().toString(files->lastModified(source), QLocale::ShortFormat);
    default:
        return QIdentityProxyModel::data(index, role);
    }
}
