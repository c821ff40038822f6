#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""Checks that no include runs back up the house: a room includes only its own headers and those
of the rooms it stands on, as its CMake target links them; inside a room, no inner file includes
the room's door. Prints each include that breaks the rule and exits 1 if there is one."""
import pathlib
import re
import sys

# Each room and the rooms it stands on, bottom up.
STANDS_ON = {
    "core/texts": [],
    "core/platform": ["core/texts"],
    "core/state": ["core/texts"],
    "core/spectrum/kernels": [],
    "core/spectrum/fft": ["core/platform", "core/state", "core/texts"],
    "core/spectrum": ["core/spectrum/fft", "core/spectrum/kernels", "core/platform", "core/state",
                      "core/texts"],
    "core/capture": ["core/spectrum", "core/spectrum/fft", "core/state", "core/texts"],
    "core/analysis": ["core/capture", "core/spectrum", "core/platform", "core/state", "core/texts"],
    "core/export": ["core/spectrum", "core/platform", "core/state", "core/texts"],
    "ui/graph_window/plot_geometry": ["core/spectrum", "core/state", "core/texts"],
    "ui": ["core/texts"],
    "ui/classic": ["ui"],
    "ui/long_work": ["ui", "core/state", "core/texts"],
    "ui/guide": ["ui", "core/texts"],
    "ui/graph_window/plot": ["ui/graph_window/plot_geometry", "ui/long_work", "ui/classic", "ui",
                             "core/analysis", "core/spectrum", "core/platform", "core/state",
                             "core/texts"],
    "ui/graph_window/export": ["ui/graph_window/plot", "ui/long_work", "ui/classic", "ui",
                               "core/analysis", "core/export", "core/platform", "core/state",
                               "core/texts"],
    "ui/graph_window": ["ui/graph_window/plot", "ui/graph_window/export",
                        "ui/graph_window/plot_geometry", "ui/long_work", "ui/classic", "ui/guide",
                        "ui", "core/analysis", "core/export", "core/spectrum", "core/state",
                        "core/texts"],
    "ui/input_window": ["ui/graph_window", "ui/long_work", "ui/classic", "ui/guide", "ui",
                        "core/analysis", "core/capture",
                        "core/spectrum", "core/platform", "core/state", "core/texts"],
    "app": ["ui/input_window", "ui/long_work", "ui/classic", "ui", "core/platform", "core/state",
            "core/texts"],
}

# A room's doors: the headers the rooms above it come in by. Inside the room only the door's own
# source includes one; the inner files share what they need through inner headers below it, so
# that no arrow runs back up inside a room either.
DOORS = {
    "core/spectrum": ["spectrum_paths.h", "for_tests.h"],
    "ui/graph_window/plot": ["graph_plot.h"],
    "ui/graph_window/export": ["plot_export.h"],
    "ui/graph_window": ["form2.h"],
}

# The rooms that the rooms above come in by their doors alone; their other headers are theirs.
# (The tests and the tools, which are not rooms, may reach inside.)
SEALED = ["ui/graph_window/plot", "ui/graph_window/export", "ui/graph_window"]

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.MULTILINE)

# The operating system's own code lives in this room alone: elsewhere no system is named, in a
# test of the preprocessor or a system header.
PLATFORM_ROOM = "core/platform"
NAMES_A_SYSTEM = re.compile(r"\b(_WIN32|_WIN64|__linux__|__unix__|__APPLE__|Q_OS_[A-Z]+)\b|"
                            r"#\s*include\s*<(windows\.h|io\.h|unistd\.h|fcntl\.h|printf\.h|"
                            r"sys/[a-z_]+\.h|linux/[a-z_]+\.h)>")


def main():
    root = pathlib.Path(__file__).resolve().parent.parent
    faults = []
    for room, below in STANDS_ON.items():
        allowed = {room, *below}
        for path in sorted((root / room).glob("*")):
            if path.suffix not in (".h", ".cpp"):
                continue
            for name in INCLUDE.findall(path.read_text(encoding="utf-8")):
                if "/" not in name:
                    continue  # a header of the same folder
                folder = name.rsplit("/", 1)[0]
                if folder not in allowed:
                    faults.append(f"{path.relative_to(root)}: includes {name}, from {folder}, "
                                  f"which {room} does not stand on")
                elif folder != room and folder in SEALED and \
                        name.rsplit("/", 1)[1] not in DOORS[folder]:
                    faults.append(f"{path.relative_to(root)}: includes {name}, inside {folder}, "
                                  f"which is entered by its door alone")
        for door in DOORS.get(room, []):
            own = pathlib.Path(door).stem + ".cpp"
            for path in sorted((root / room).glob("*")):
                if path.suffix not in (".h", ".cpp") or path.name in (door, own):
                    continue
                if {door, f"{room}/{door}"} & set(INCLUDE.findall(path.read_text(encoding="utf-8"))):
                    faults.append(f"{path.relative_to(root)}: includes {room}/{door}, the door "
                                  f"of its own room: an inner file shares through an inner header")
        if not (root / room).is_dir():
            faults.append(f"{room}: no such room")
    for folder in ("core", "ui", "app"):
        for path in sorted((root / folder).rglob("*")):
            room = str(path.parent.relative_to(root))
            if path.suffix in (".h", ".cpp") and room not in STANDS_ON:
                faults.append(f"{path.relative_to(root)}: in {room}, a room this check does not know")
            if path.suffix in (".h", ".cpp") and room != PLATFORM_ROOM:
                found = NAMES_A_SYSTEM.search(path.read_text(encoding="utf-8"))
                if found:
                    faults.append(f"{path.relative_to(root)}: names a system ({found.group(0)}), "
                                  f"which only {PLATFORM_ROOM} does")
    print("\n".join([*faults, f"{len(STANDS_ON)} rooms checked, {len(faults)} faults"]))
    return int(bool(faults))


sys.exit(main())
