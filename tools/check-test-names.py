#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""Checks that every CTest test's name says what it tests. Lists the build tree's tests with
CTEST --show-only and fails, printing each offender and why, on a name that holds
- gtest's printout of a value it cannot print: "32-byte object <76-83 0D-F4 ...>", or any dump
  of bytes as hex pairs;
- a bare number as a parametrised case's name where its neighbours (the cases of the same test)
  have names, or where the numbers are gtest's own case numbers 0, 1, 2 ... (no name was given);
- the name of another test (CTest would run one of the two only);
- the mark of a test program that is not built, whose tests' names cannot be read.
It fails too where it finds no parametrised test at all: then it has checked nothing.

Usage: check-test-names.py CTEST BUILD_DIR
       check-test-names.py --listing FILE   (names one to a line, as CTest would list them)
       check-test-names.py --self-test      (the rules against names known good and bad)"""
import collections
import contextlib
import io
import json
import re
import subprocess
import sys

# gtest prints a value with no printer of its own as its size and its bytes, in pairs.
BYTE_OBJECT = re.compile(r"\d+-byte object")
HEX_BYTES = re.compile(r"\b[0-9A-Fa-f]{2}-[0-9A-Fa-f]{2}(?: [0-9A-Fa-f]{2}(?:-[0-9A-Fa-f]{2})?)+")
# A parametrised case as gtest_discover_tests names it: "Prefix/Suite.test/case", where the case is
# its name, then "  # GetParam() = " and its value as gtest prints it; or, where it has no name,
# its value as gtest prints it in the place of its number.
PARAMETRISED = re.compile(r"^(?P<test>[^ /]+/[^ /.]+\.[^ /]+)/(?P<case>.*)$")
VALUE_MARK = "  # GetParam() = "
# A printed value in a name's place, such as -0.5 or 1e-05, is no name.
IDENTIFIER = re.compile(r"\w*[A-Za-z_]\w*")
NOT_BUILT = re.compile(r"_NOT_BUILT$")


def offences(names):
    """Each unreadable name with why, in the listing's order; and the count of parametrised
    cases."""
    found = []
    cases = collections.defaultdict(list)  # each parametrised test's cases: (name, case, named)
    for name in names:
        if BYTE_OBJECT.search(name):
            found.append((name, "holds gtest's printout of a value it cannot print"))
        elif HEX_BYTES.search(name):
            found.append((name, "holds a dump of bytes"))
        if NOT_BUILT.search(name):
            found.append((name, "the test program is not built: its tests' names are unknown"))
        parametrised = PARAMETRISED.match(name)
        if parametrised:
            case, mark, _ = parametrised.group("case").partition(VALUE_MARK)
            named = bool(mark) or IDENTIFIER.fullmatch(case) is not None
            cases[parametrised.group("test")].append((name, case, named))
    for name, count in collections.Counter(names).items():
        if count > 1:
            found.append((name, f"names {count} tests"))
    for listed in cases.values():
        numbers = [(name, int(case)) for name, case, _ in listed if case.isdigit()]
        if not numbers:
            continue
        if any(named for _, case, named in listed if not case.isdigit()):
            reason = "a bare number where the other cases of the test have names"
        elif sorted(number for _, number in numbers) == list(range(len(numbers))):
            reason = "a bare case number, gtest's own: the case has no name"
        else:
            continue  # values printed in the numbers' place: N = 1, 2, 3, 4, 6 ...
        found.extend((name, reason) for name, _ in numbers)
    order = {name: i for i, name in enumerate(names)}
    found.sort(key=lambda offence: order[offence[0]])
    return found, sum(len(listed) for listed in cases.values())


def report(names):
    found, parametrised = offences(names)
    for name, reason in found:
        print(f"unreadable test name: {name}\n    {reason}")
    if not parametrised:
        print("no parametrised test listed: nothing checked (are the test programs built?)")
        return 1
    print(f"{len(names)} test names checked, {parametrised} of them parametrised cases; "
          f"{len(found)} unreadable")
    return int(bool(found))


def listed_by_ctest(ctest, build):
    listing = subprocess.run([ctest, "--test-dir", build, "--show-only=json-v1"], check=True,
                             capture_output=True, text=True)
    return [test["name"] for test in json.loads(listing.stdout)["tests"]]


def self_test():
    """The rules against names known to be good and known to be bad; 0 if each is judged right."""
    good = [
        "clang_format",
        "tst_form1_wayland",
        "Measures.writeAHalfTurnAs180DegreesNotMinus180",
        "Spectra/ClosedForm.meanValueAndMagnitudesMatchTheFourierSeries/V_10_D_0_point_5"
        "  # GetParam() = V = 10, D = 0.5",
        "Texts/EntryChecks.textsPassOrShowTheirFieldsMessage/UFF15"
        '  # GetParam() = "\\uFF15" (1 units) holds a bad character',
        "Values/Patterns.writeTheExpectedDigits/number_5  # GetParam() = 5 as 5.00E+00 and 5.00",
        "Values/Patterns.writeTheExpectedDigits/minus_4_point_9e_minus_324"
        "  # GetParam() = -4.94E-324 as -4.94E-324 and -0.00",
        # values printed in the place of gtest's case numbers, that are not 0, 1, 2 ...
        "Sizes/Plain.transforms/1",
        "Sizes/Plain.transforms/2",
        "Sizes/Plain.transforms/4",
        "Sizes/Plain.transforms/-0.5",
    ]
    bad = [
        "Measures/MeasuresAgainstLongDouble.agreeToTheRoundingOfTheirSums/32-byte object "
        "<76-83 0D-F4 F5-21 94-BE AE-47 E1-7A 14-AE D7-3F E8-03 00-00 00-00 00-00>",
        "Measures/Rectified.closedForms/V_3  # GetParam() = <00-00 00-00 00-00 E0-3F 01-00>",
        "Measures/Rectified.closedForms/V_4  # GetParam() = 1-byte object <E0>",
        "Cases/Mixed.work/1  # GetParam() = 2",
        "Cases/Unnamed.work/0",
        "Cases/Unnamed.work/1",
        "Cases/Unnamed.work/2",
        "Twice.theSame",
        "Twice.theSame",
        "core_tests_NOT_BUILT",
    ]
    # the bad names' neighbours, themselves good
    beside = ["Cases/Mixed.work/named_case  # GetParam() = a named case"]
    found, parametrised = offences(good)
    faults = [f"judged unreadable: {name} ({reason})" for name, reason in found]
    if parametrised != 8:
        faults.append(f"{parametrised} parametrised cases among the good names, not 8")
    found = offences(bad + beside)[0]
    caught = {name for name, _ in found}
    faults += [f"not caught: {name}" for name in bad if name not in caught]
    faults += [f"judged unreadable: {name} ({reason})" for name, reason in found if name in beside]
    with contextlib.redirect_stdout(io.StringIO()):
        if report([]) != 1 or report(["Cases/Named.work/a_case  # GetParam() = 1"]) != 0:
            faults.append("an empty listing passes, or a good one fails")
    print("\n".join([*faults, f"{len(good)} good and {len(bad)} bad names judged, "
                               f"{len(faults)} misjudged"]))
    return int(bool(faults))


def main(arguments):
    if arguments == ["--self-test"]:
        return self_test()
    if len(arguments) == 2 and arguments[0] == "--listing":
        with open(arguments[1], encoding="utf-8") as listing:
            return report([line.rstrip("\n") for line in listing if line.strip()])
    if len(arguments) == 2:
        return report(listed_by_ctest(*arguments))
    print(__doc__, file=sys.stderr)
    return 2


sys.exit(main(sys.argv[1:]))
