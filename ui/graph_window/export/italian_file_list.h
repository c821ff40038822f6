// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The file dialog's list in Italian whatever the system's language: Qt writes the sizes and the
// dates in the system's language and the files' types in the program's default one.
#pragma once

#include <QIdentityProxyModel>

class QFileInfo;

class ItalianFileList : public QIdentityProxyModel
{
    Q_OBJECT
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex &index, int role) const override;

    // A file's type as the list shows it: the program's own files as its filters name them,
    // any other by its suffix.
    static QString TypeOf(const QFileInfo &file);
};
