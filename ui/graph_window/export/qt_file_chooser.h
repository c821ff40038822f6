// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The program's save dialog: a QFileDialog that adds the suggested name's suffix when the user
// types a name without it, lists the files in Italian, and says why Save stays disabled while
// the name is too long.
#pragma once

#include "file_chooser.h"

#include <memory>

class QFileDialog;

class QtFileChooser : public FileChooser
{
public:
    QString SaveFileName(QWidget *parent, const QString &title, const QString &suggested,
                         const QString &filter) override;

    // The dialog SaveFileName shows, before it is shown.
    static std::unique_ptr<QFileDialog> SaveDialog(QWidget *parent, const QString &title,
                                                   const QString &suggested, const QString &filter);
};
