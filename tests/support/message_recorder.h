// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// A message box that records what it was asked to show instead of waiting for a user.
#pragma once

#include "core/analysis/message_box.h"

#include <string>
#include <vector>

class MessageRecorder : public MessageBox
{
public:
    void Show(const std::u16string &text) override { shown.push_back(text); }
    std::vector<std::u16string> shown;
};
