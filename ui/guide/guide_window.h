// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The guide for students and teachers, in Italian, built into the program with its pictures.
#pragma once

class QAction;
class QTextBrowser;
class QWidget;

// The guide's window, "Guida", made on first use and shown again after: one for the program.
QTextBrowser *ShowGuide();

// The entry "Guida" (F1) of `window`'s menu bar, which shows the guide.
QAction *AddGuideEntry(QWidget &window);
