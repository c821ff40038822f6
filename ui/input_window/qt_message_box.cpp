// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt_message_box.h"

#include "ui/window_texts.h"

#include <QMessageBox>
#include <QString>

void QtMessageBox::Show(const std::u16string &text)
{
    QMessageBox box(QMessageBox::NoIcon, QTextOf(UiText::ProgramName),
                    QString::fromStdU16String(text), QMessageBox::Ok, parent_);
    box.setDefaultButton(QMessageBox::Ok);
    box.exec();
}
