// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The program's message box: the text, the OK button alone, no icon, the program's title.
#pragma once

#include "core/analysis/message_box.h"

class QWidget;

class QtMessageBox : public MessageBox
{
public:
    explicit QtMessageBox(QWidget *parent = nullptr) : parent_(parent) { }
    void Show(const std::u16string &text) override;
    // The window the box is centred on and blocks.
    void SetParent(QWidget *parent) { parent_ = parent; }

private:
    QWidget *parent_;
};
