// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The exports' seam for the tests and the tools: the dialogs answered without a user.
#pragma once

#include "slide_picture.h"

#include <functional>
#include <optional>

class FileChooser;
class PlotExport;

namespace testing_seam {

// Where the saves ask for a path (the program's file dialog until then), and how the slide's scale
// and caption are chosen (the program's dialog until then). `files` must outlive the export.
void SetFileChooser(PlotExport &out, FileChooser &files);
void SetSlideChooser(PlotExport &out, std::function<std::optional<SlideChoice>()> choose);

} // namespace testing_seam
