// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Qt's own texts (a text field's menu, the file dialog, its questions) in Italian, like the
// program's, whatever the system's language.
#pragma once

#include <QString>

// The file of Qt's Italian translations, in Qt's translations folder.
QString QtItalianTranslationsPath();

// Installs Qt's Italian translations in the running application; false when they cannot be
// read (Qt's texts then stay English). Installing them again changes nothing.
bool InstallQtItalianTranslations();
