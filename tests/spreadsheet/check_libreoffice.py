#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""What LibreOffice Calc (headless) makes of the exported tables under a given locale: the
workbook, the clipboard's tab-separated text and its HTML table each open with every number of the
analysis in a numeric cell, and a SUM over the samples gives their sum.

Usage: check_libreoffice.py EXPORT_TABLES LOCALE"""

import math
import os
import shutil
import subprocess
import sys
import tempfile
import time

try:
    import uno
    from com.sun.star.beans import PropertyValue
    from com.sun.star.connection import NoConnectException
except ImportError:
    sys.exit("LibreOffice's Python bridge is missing: install the Debian package python3-uno")

from spreadsheet_env import expected, export, locale_environment

CASES = ["defaults", "negative-amplitude"]
# The filters a paste would go through: text with tabs (UTF-8, the locale's own number
# recognition) and HTML.
OPENINGS = {
    "xlsx": [],
    "txt": [("FilterName", "Text - txt - csv (StarCalc)"), ("FilterOptions", "9,34,76,1")],
    "html": [("FilterName", "HTML (StarCalc)")],
}


def properties(pairs):
    result = []
    for name, value in pairs:
        p = PropertyValue()
        p.Name, p.Value = name, value
        result.append(p)
    return tuple(result)


class Office:
    """A headless LibreOffice of its own (own profile, own pipe), reached through UNO."""

    def __init__(self, scratch, env):
        soffice = shutil.which("soffice")
        if not soffice:
            sys.exit("soffice not found: install the Debian package libreoffice-calc-nogui")
        self.pipe = f"spettro{os.getpid()}"
        profile = uno.systemPathToFileUrl(os.path.join(scratch, "profile"))
        self.process = subprocess.Popen(
            [soffice, "--headless", "--invisible", "--nologo",
             "--norestore", "--nodefault", f"-env:UserInstallation={profile}",
             f"--accept=pipe,name={self.pipe};urp;"],
            env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        local = uno.getComponentContext()
        resolver = local.ServiceManager.createInstanceWithContext(
            "com.sun.star.bridge.UnoUrlResolver", local)
        # Started in the background: wait until it answers, however long a busy machine takes.
        deadline = time.monotonic() + 300
        while True:
            try:
                context = resolver.resolve(
                    f"uno:pipe,name={self.pipe};urp;StarOffice.ComponentContext")
                break
            except NoConnectException:
                if self.process.poll() is not None or time.monotonic() > deadline:
                    sys.exit("LibreOffice did not start")
                time.sleep(0.2)
        self.desktop = context.ServiceManager.createInstanceWithContext(
            "com.sun.star.frame.Desktop", context)

    def open(self, path, extra):
        return self.desktop.loadComponentFromURL(
            uno.systemPathToFileUrl(path), "_blank", 0,
            properties([("Hidden", True)] + extra))

    def close(self):
        try:
            self.desktop.terminate()
        except Exception:  # the office goes away while answering
            pass
        try:
            self.process.wait(timeout=60)
        except subprocess.TimeoutExpired:
            self.process.kill()


def cells(sheet):
    """The sheet's used area: numbers as floats, texts as strings, "" where empty."""
    cursor = sheet.createCursor()
    cursor.gotoEndOfUsedArea(False)
    address = cursor.getRangeAddress()
    area = sheet.getCellRangeByPosition(0, 0, address.EndColumn, address.EndRow)
    return [list(row) for row in area.getDataArray()]


def column_letter(index):
    letters = ""
    index += 1
    while index:
        index, rest = divmod(index - 1, 26)
        letters = chr(ord("A") + rest) + letters
    return letters


def check_sheet(sheet, columns, where):
    """Every number of the analysis in a numeric cell of its column, the same double; a SUM over
    the samples. In the one table of the clipboard a column's cells follow rows of other kinds."""
    faults = []
    data = cells(sheet)
    header = data[0]
    for name, values in columns.items():
        if name not in header:
            faults.append(f"{where}: no column {name!r}")
            continue
        c = header.index(name)
        wanted = [v for v in values if v is not None]
        found = [row[c] for row in data[1:] if row[c] != ""]
        texts = [v for v in found if isinstance(v, str)]
        if texts:
            faults.append(f"{where}: {len(texts)} texts in {name!r}, such as {texts[0]!r}")
        if len(found) != len(wanted):
            faults.append(f"{where}: {len(found)} cells in {name!r}, {len(wanted)} expected")
        elif not texts:
            differing = sum(1 for a, b in zip(found, wanted) if a != b)
            if differing:
                faults.append(f"{where}: {differing} numbers of {name!r} differ")
        if name == "s(i) [V]" and not texts:
            first = next(r for r, row in enumerate(data) if r and row[c] != "")
            letter = column_letter(c)
            formula_cell = sheet.getCellByPosition(len(header) + 1, 0)
            formula_cell.setFormula(f"=SUM({letter}{first + 1}:{letter}{first + len(wanted)})")
            total = formula_cell.getValue()
            reference = math.fsum(wanted)
            if not math.isclose(total, reference, rel_tol=1e-12, abs_tol=1e-12):
                faults.append(f"{where}: SUM gives {total!r}, the samples add up to {reference!r}")
    return faults


def main():
    program, locale_name = sys.argv[1], sys.argv[2]
    with tempfile.TemporaryDirectory() as scratch:
        env = locale_environment(locale_name, scratch)
        export(program, scratch, CASES, env)
        office = Office(scratch, env)
        faults = []
        try:
            for case in CASES:
                sheets = expected(scratch, case)
                for kind, extra in OPENINGS.items():
                    document = office.open(os.path.join(scratch, f"{case}.{kind}"), extra)
                    where = f"{locale_name} {case}.{kind}"
                    if document is None:
                        faults.append(f"{where}: not opened")
                        continue
                    book = document.getSheets()
                    if kind == "xlsx":
                        for name, columns in sheets.items():
                            faults += check_sheet(book.getByName(name), columns, f"{where} {name}")
                    else:  # one table with every column
                        columns = {n: v for s in sheets.values() for n, v in s.items()}
                        faults += check_sheet(book.getByIndex(0), columns, where)
                    document.close(True)
        finally:
            office.close()
    for fault in faults:
        print(fault)
    print(f"{locale_name}: {len(CASES) * len(OPENINGS)} files, {len(faults)} faults")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
