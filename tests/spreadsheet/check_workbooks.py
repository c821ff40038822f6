#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""The workbooks of a few analyses, written under an Italian locale, read back with openpyxl:
every number the same double, to the bit, as the analysis state; two sheets with a bold, frozen
header, columns wide enough for their numbers.

Usage: check_workbooks.py EXPORT_TABLES"""

import struct
import sys
import tempfile

try:
    import openpyxl
except ImportError:
    sys.exit("openpyxl is missing: install the Debian package python3-openpyxl")

from spreadsheet_env import expected, export, locale_environment

CASES = ["defaults", "negative-amplitude", "zero-frequency", "no-harmonics", "subnormal",
         "extremes"]


def bits(value):
    # A spreadsheet has no negative zero, and a whole number may come back as an int.
    return struct.pack("<d", float(value) + 0.0)


def shortest(value):
    return str(int(value)) if value.is_integer() and abs(value) < 1e16 else repr(value)


def check(folder, case):
    faults = []
    book = openpyxl.load_workbook(f"{folder}/{case}.xlsx")
    if book.sheetnames != ["Armoniche", "Campioni", "Parametri"]:
        return [f"sheets {book.sheetnames}"]
    for sheet_name, columns in expected(folder, case).items():
        sheet = book[sheet_name]
        header = [cell.value for cell in sheet[1]]
        if sheet.freeze_panes != "A2":
            faults.append(f"{sheet_name}: frozen at {sheet.freeze_panes}")
        if not all(cell.font.b for cell in sheet[1]):
            faults.append(f"{sheet_name}: header not bold")
        rows = len(next(iter(columns.values())))
        if sheet.max_row != rows + 1:
            faults.append(f"{sheet_name}: {sheet.max_row - 1} rows, {rows} expected")
        for name, values in columns.items():
            if name not in header:
                faults.append(f"{sheet_name}: no column {name!r} in {header}")
                continue
            column = header.index(name) + 1
            letter = openpyxl.utils.get_column_letter(column)
            width = sheet.column_dimensions[letter].width
            for row, value in enumerate(values, start=2):
                cell = sheet.cell(row=row, column=column)
                if value is None:
                    if cell.value is not None:
                        faults.append(f"{sheet_name}!{letter}{row}: {cell.value!r}, none expected")
                elif cell.data_type != "n" or bits(cell.value) != bits(value):
                    faults.append(f"{sheet_name}!{letter}{row}: {cell.value!r} ({cell.data_type})"
                                  f" for {value!r}")
                elif len(shortest(value)) > width:
                    faults.append(f"{sheet_name}!{letter}: {width} wide for {value!r}")
    return faults


def main():
    with tempfile.TemporaryDirectory() as folder:
        export(sys.argv[1], folder, CASES, locale_environment("it_IT.UTF-8", folder))
        faults = [f"{case}: {fault}" for case in CASES for fault in check(folder, case)]
    for fault in faults[:40]:
        print(fault)
    print(f"{len(CASES)} workbooks, {len(faults)} faults")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
