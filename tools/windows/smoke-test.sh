#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
# SPDX-License-Identifier: GPL-3.0-or-later
#
# Checks the Windows libraries' cache of tools/windows/build-dependencies.sh: builds the smoke
# program (tools/windows/smoke/) for Windows against the cache, puts it with the Qt DLLs, the
# platform plugins and MinGW's runtime DLLs in one folder, runs it under wine64 in a new wine
# prefix with the offscreen platform (no X server needed), and checks each line it prints
# against a value worked out here: the Italian text of 3.18, the FFT's bin 0 (the sum of the
# inputs), the sine (awk's) and the one-cell workbook it wrote (its cell read back from the
# .xlsx); then runs a GoogleTest test of two std::threads. Exits non-zero when a check fails
# or a library the programs use is not in the cache.
# Usage: tools/windows/smoke-test.sh   (after tools/windows/build-dependencies.sh)
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=common.sh
source "$here/common.sh"

if [ ! -s "$cache/prefixes" ]; then
    echo "No libraries in $cache: run tools/windows/build-dependencies.sh first" >&2
    exit 1
fi
prefix_of() { grep -E "/$1-[0-9a-f]+\$" "$cache/prefixes" || true; }
missing=()
for library in fftw3 sleef zlib libxlsxwriter qtbase; do
    [ -n "$(prefix_of "$library")" ] || missing+=("$library")
done
for library in fftw3 zlib libxlsxwriter googletest qtbase; do
    if [ -z "$(prefix_of "$library")" ]; then
        echo "$library is not in $cache: the smoke program cannot be built" >&2
        exit 1
    fi
done
qt=$(prefix_of qtbase)

scratch=$(mktemp -d /tmp/spettro-windows-smoke.XXXXXX)
trap 'rm -rf "$scratch"' EXIT

echo "Building the smoke program in $scratch"
cmake -S "$here/smoke" -B "$scratch/build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$here/mingw-w64-x86_64.cmake" \
    "-DCMAKE_PREFIX_PATH=$(paste -sd ';' "$cache/prefixes")" >"$scratch/configure.log" 2>&1 ||
    { cat "$scratch/configure.log" >&2; exit 1; }
nice -n 19 cmake --build "$scratch/build" -j 2 >"$scratch/build.log" 2>&1 ||
    { cat "$scratch/build.log" >&2; exit 1; }

# The program's folder: the DLLs it loads are looked for next to it.
dist=$scratch/dist
mkdir -p "$dist/platforms"
cp "$scratch/build/smoke.exe" "$scratch/build/threads_test.exe" "$dist/"
cp "$qt"/bin/Qt6{Core,Gui,Widgets,Test}.dll "$dist/"
cp "$qt"/plugins/platforms/q{offscreen,windows}.dll "$dist/platforms/"
for dll in libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll; do
    path=$($triplet-g++-posix -print-file-name=$dll)
    [ -f "$path" ] || { echo "MinGW's $dll not found" >&2; exit 1; }
    cp "$path" "$dist/"
done

# Without wine32 a new prefix reports that it cannot open syswow64's rundll32.exe: harmless for
# a 64-bit program.
find_wine
workbook=$scratch/smoke.xlsx
export WINEPREFIX=$scratch/wine
wine_environment "$wine_overrides" -all
echo "Running it under $wine64 (new prefix $WINEPREFIX)"
status=0
# Wine 8 hands no QT_* variable of the Unix environment to the Windows program (other names
# pass), so QT_QPA_PLATFORM=offscreen would not reach it: the platform is given as an argument.
"$wine64" "$dist/smoke.exe" -platform offscreen "Z:${workbook//\//\\}" \
    >"$scratch/output" 2>"$scratch/errors" || status=$?
tr -d '\r' <"$scratch/output" >"$scratch/lines"
sed 's/^/  /' "$scratch/lines"
gtest_status=0
"$wine64" "$dist/threads_test.exe" >"$scratch/gtest-output" 2>&1 || gtest_status=$?
"$wineserver" -k 2>/dev/null || true

# shellcheck source=checks.sh
source "$here/checks.sh"
value() { sed -n "s/^$1: //p" "$scratch/lines"; }

check "exit status" 0 "$status"
check "label (QLocale Italian, 3.18, 'E', 2)" "3,18E+00" "$(value label)"
check "window exposed" 1 "$(value exposed)"
check "platform plugin" offscreen "$(value platform)"
check "FFT bin 0 (sum of 1..8, no imaginary part)" "$(seq 8 | awk '{ s += $1 } END { print s, 0 }')" "$(value 'fft bin 0')"
if [[ " ${missing[*]} " == *" sleef "* ]]; then
    echo "FAIL: SLEEF is not in the cache, the sine was not checked"
    failures=$((failures + 1))
else
    # Sleef_sin_u10 is within 1 ULP: 2.2e-16 relative, so equal to awk's at 15 digits.
    check "Sleef_sin_u10(0.5)" "$(awk 'BEGIN { printf "%.15g", sin(0.5) }')" \
        "$(value 'sin\(0.5\)' | awk '{ printf "%.15g", $1 }')"
fi
check "workbook closed" "No error." "$(value workbook)"
check "cell A1 of the workbook" "3.18" "$(python3 -c '
import re, sys, zipfile
sheet = zipfile.ZipFile(sys.argv[1]).read("xl/worksheets/sheet1.xml").decode()
print(re.search(r"<c r=\"A1\"[^>]*><v>([^<]*)</v>", sheet).group(1))' "$workbook" 2>&1 || true)"
check "last line" ok "$(tail -n 1 "$scratch/lines")"
check "GoogleTest's exit status" 0 "$gtest_status"
check "GoogleTest's summary" "[  PASSED  ] 1 test." "$(tr -d '\r' <"$scratch/gtest-output" | grep -F '[  PASSED  ]' || true)"

if [ "$failures" -ne 0 ]; then
    echo "The smoke program's standard error:" && sed 's/^/  /' "$scratch/errors" | head -n 30
    echo "GoogleTest's output:" && sed 's/^/  /' "$scratch/gtest-output" | head -n 30
fi
echo "$passes passed, $failures failed"
[ "$failures" -eq 0 ]
