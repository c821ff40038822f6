// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The graph window's seam for the tests and the tools: what only they reach, never the program.
#pragma once

class Form2;
class PlotExport;
class Sweep;

namespace testing_seam {

// The window's way out (the image and the data), to be driven without its menus.
PlotExport &Export(const Form2 &form);
// The sweep ticks only when the test calls its Tick, never on its clock.
void StopTheClock(Sweep &sweep);

} // namespace testing_seam
