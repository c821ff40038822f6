# SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""What the spreadsheet checks share: a locale to run under, made when the system lacks it, and
the exported files of the analyses."""

import json
import os
import subprocess
import sys


def locale_environment(name, scratch):
    """The environment of a program run under the locale `name` ("it_IT.UTF-8", "C.UTF-8"). A
    locale the system has not generated is compiled into `scratch` with localedef."""
    env = dict(os.environ)
    for variable in ("LANGUAGE", "LC_NUMERIC", "LC_CTYPE", "LC_MESSAGES"):
        env.pop(variable, None)
    env["LANG"] = name
    env["LC_ALL"] = name
    available = subprocess.run(["locale", "-a"], capture_output=True, text=True).stdout.split()
    wanted = name.lower().replace("utf-8", "utf8")
    if wanted not in [entry.lower() for entry in available] and not name.startswith("C."):
        source, charmap = name.split(".")
        folder = os.path.join(scratch, "locales")
        os.makedirs(folder, exist_ok=True)
        made = subprocess.run(["localedef", "-i", source, "-f", charmap, "--no-archive",
                               os.path.join(folder, name)], capture_output=True, text=True)
        # localedef warns about some locales but writes them all the same.
        if not os.path.isdir(os.path.join(folder, name)):
            sys.exit(f"the locale {name} could not be made: {made.stderr}")
        env["LOCPATH"] = folder
    return env


def export(program, folder, cases, env):
    """Runs the exporter: CASE.xlsx, .csv, .html, .txt and .json (the analysis state) for each
    case, in `folder`."""
    subprocess.run([program, folder, *cases], env=dict(env, QT_QPA_PLATFORM="offscreen"),
                   check=True)


def expected(folder, case):
    """The analysis state's numbers by sheet and column, None where there is no value."""
    with open(os.path.join(folder, case + ".json"), encoding="utf-8") as file:
        sheets = json.load(file)
    return {sheet: {column: [None if v is None else float.fromhex(v) for v in values]
                    for column, values in columns.items()}
            for sheet, columns in sheets.items()}
