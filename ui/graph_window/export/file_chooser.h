// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// How the export asks where to save: the program shows a file dialog; tests answer themselves,
// so that no test waits on a modal dialog.
#pragma once

#include <QString>

class QWidget;

class FileChooser
{
public:
    virtual ~FileChooser() = default;
    // The path the user chose, starting from `suggested` (a folder and a default name), or an
    // empty text when the user gave up.
    virtual QString SaveFileName(QWidget *parent, const QString &title, const QString &suggested,
                                 const QString &filter)
        = 0;
};
