// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// How the analysis code talks to the user: a modal box with a text and an OK button.
#pragma once

#include <string>

class MessageBox
{
public:
    virtual ~MessageBox() = default;
    // Returns when the user has closed the box.
    virtual void Show(const std::u16string &text) = 0;
};
