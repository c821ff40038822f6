#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
# SPDX-License-Identifier: GPL-3.0-or-later
#
# Drives the installed Windows program under wine64, headless (Xvfb), as a user would, in a new
# wine prefix into which the installer has installed it silently (/S):
#   - at 300 % display scaling (LogPixels 288), under an Italian locale (it_IT.UTF-8) and then a
#     C one: types a harmonic number into Text2, clicks "Calcola modulo armonica N° z" and reads
#     the DC component in Label3 and the harmonic's modulus in Label9 off the screen with
#     tesseract, against the closed form of the spectrum written as the program's pattern
#     "0.00E+00" with the locale's decimal separator ("3,18E+00" and "3.18E+00");
#   - at 100 %, 125 % and 150 % (LogPixels 96, 120, 144): the input window's client area, the
#     colour of each control where its twips place it and the diagram's picture, then
#     "Grafici": the graph window's
#     client area, and the plot measured in its own units against the closed form (the time
#     axis, the signal's peak and its three pulses, the frequency axis, the lines of the DC
#     component and of harmonics 1 and 2).
# Screenshots of both windows at 100 % and of the graph window at 125 % and 150 % are saved.
# Prints "N passed, N failed" and exits non-zero when a check fails.
#
# Usage: tools/windows/test-window.sh [--screenshots DIR] EXE [WORK_DIR]
#   EXE: spettro-segnale.exe as built for Windows, packaged here with tools/windows/package.sh,
#   or an installer spettro-segnale-VERSION-setup.exe that package.sh made, taken as it is.
#   --screenshots DIR: where the screenshots go (windows-input-window.png,
#   windows-graph-window.png, windows-graph-window-125.png, windows-graph-window-150.png);
#   by default WORK_DIR/screenshots.
#   WORK_DIR: default a temporary folder, removed at the end; a given one is kept, with the
#   wine prefix, the screenshots of every step and the logs.
set -euo pipefail

screenshots=
if [ "${1:-}" == --screenshots ]; then
    [ $# -ge 2 ] || { echo "--screenshots needs a folder" >&2; exit 2; }
    screenshots=$(mkdir -p "$2" && realpath "$2")
    shift 2
fi
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=common.sh
source "$here/common.sh"
arguments_between 1 2 "$0 [--screenshots DIR] EXE [WORK_DIR]" "$@"
given=$(realpath "$1")
work_folder spettro-window-test "${@:2}"
screenshots=${screenshots:-$work/screenshots}
mkdir -p "$screenshots" "$work/shots"

# fonts-wine gives wine its own "MS Sans Serif" and Tahoma, as Windows has its own; locales
# holds the Italian locale's source for localedef.
"$root/tools/install-dependencies.sh" >&2

find_wine
image_py=$here/window_image.py
program_pid=

cleanup() {
    if [ -n "$program_pid" ]; then kill "$program_pid" 2>/dev/null || true; fi
    if [ -d "$work/wine" ]; then WINEPREFIX=$work/wine "$wineserver" -k 2>/dev/null || true; fi
    stop_xvfb
    [ "$keep_work" -eq 1 ] || rm -rf "$work"
}
trap cleanup EXIT

# shellcheck source=checks.sh
source "$here/checks.sh"
check_near() { # check_near NAME EXPECTED ACTUAL TOLERANCE: numbers
    if awk -v e="$2" -v a="$3" -v t="$4" \
        'BEGIN { exit !(a ~ /^-?[0-9.]+$/ && (a - e <= t && e - a <= t)) }'; then
        echo "pass: $1: $3 (expected $2 ± $4)"
        passes=$((passes + 1))
    else
        echo "FAIL: $1: expected $2 ± $4, got '$3'"
        failures=$((failures + 1))
    fi
}

# --- What is expected ---------------------------------------------------------------------------

# The defaults of the input window: D = 0.5, Vmax = 10 V, N = 10000, H = 10, 3 periods. The
# closed form of the half-sine pulse train at D = 0.5: the DC component 2·Vmax·D/π, the modulus
# of an even harmonic k (2·Vmax/π)/(k² − 1), the first Vmax/2.
number() { LC_ALL=C awk "BEGIN { pi = atan2(0, -1); printf \"%.10g\", $1 }"; }
mean_value=$(number "2 * 10 * 0.5 / pi")
harmonic() { number "(2 * 10 / pi) / ($1 * $1 - 1)"; }
modulus_1=$(number "10 / 2")
# The program's pattern "0.00E+00": two decimals, the exponent signed and of two digits at least,
# as C's %.2E writes it; the decimal separator is the locale's.
pattern() { LC_ALL=C awk -v v="$1" 'BEGIN { printf "%.2E", v }'; }
italian() { tr . ,; }

# Twips to device pixels of the client area at a display scaling of DPI dots per inch: 15 twips
# are a pixel at 96 dpi.
px() { awk -v t="$1" -v dpi="$2" 'BEGIN { printf "%d", t / 15 * dpi / 96 }'; }
# Qt rounds a window's size in pixels, halves up.
size_at() { awk -v t="$1" -v dpi="$2" 'BEGIN { printf "%d", int(t / 15 * dpi / 96 + 0.5) }'; }

# The input window's controls by their twips (left top width height) and colours.
declare -A twips=(
    [Text7]="1080 1080 1935 375" [Text12]="1080 1560 1935 375" [Text8]="1080 2040 1935 375"
    [Text1]="1080 2520 1935 375" [Text3]="1080 3000 1935 375" [Text13]="1080 3480 1935 375"
    [Text2]="10200 1920 1935 375" [Command1]="10200 1080 1935 615"
    [Command2]="1080 4320 1935 495" [Label9]="10200 2400 1935 375"
    [Label3]="10200 2880 1935 375" [Label67]="15000 9000 1575 285"
)
pink=255,192,192 green=0,255,0 cyan=192,255,255
declare -A start_colour=(
    [Text7]=$pink [Text12]=$pink [Text8]=$pink [Text1]=$pink [Text3]=$pink [Text13]=$pink
    [Text2]=$green [Command1]=$green [Command2]=$pink [Label9]=$green [Label3]=$green
    [Label67]=$cyan
)
parameter_fields=(Text7 Text12 Text8 Text1 Text3 Text13)
input_controls=(Text7 Text12 Text8 Text1 Text3 Text13 Text2 Command1 Command2 Label9 Label3 Label67)
twips[Diagram]="4320 4080 12975 4815"  # the input window's Picture1, the diagram
twips[Picture1]="120 120 15015 9135" # the graph window's plot area

# A point inside a control where its colour shows and its caption does not: right of the
# caption, below its first line.
inside() { # inside CONTROL DPI -> X,Y
    local left top width height
    read -r left top width height <<<"${twips[$1]}"
    echo "$(px $((left + width * 9 / 10)) "$2"),$(px $((top + height * 4 / 5)) "$2")"
}
# The control's rectangle in pixels: LEFT TOP WIDTH HEIGHT.
rectangle() { # rectangle CONTROL DPI
    local left top width height
    read -r left top width height <<<"${twips[$1]}"
    echo "$(px "$left" "$2") $(px "$top" "$2") $(px "$width" "$2") $(px "$height" "$2")"
}

# --- The installer, a display, a new wine prefix --------------------------------------------------

case "$given" in
    *-setup.exe) setup=$given ;;
    *)
        echo "Packaging $given into $work/package"
        "$here/package.sh" "$given" "$work/package" >"$work/package.log" 2>&1 ||
            { cat "$work/package.log" >&2; exit 1; }
        setup=$(find "$work/package" -maxdepth 1 -name 'spettro-segnale-*-setup.exe' | head -n 1)
        ;;
esac
[ -f "$setup" ] || { echo "No installer in $work/package" >&2; exit 1; }

# Large enough for the graph window at 150 % and the input window at 300 %.
start_xvfb 3840x2160 "$work"
mkdir -p "$work/home"
export HOME=$work/home WINEPREFIX=$work/wine
wine_environment "$wine_overrides_no_menus"

echo "== Silent installation in a new wine prefix"
rm -f "$work/wineboot.log"
wine_boot "$work/wineboot.log"
wine_settle
# Windows has "MS Sans Serif" as the bitmap font sserife.fon in its Fonts folder, registered
# under that name; a new wine prefix has no font of its own there (Debian's wine finds the Unix
# fonts through fontconfig), so it gets wine's sserife.fon the same way.
cp /usr/share/wine/fonts/sserife.fon "$WINEPREFIX/drive_c/windows/Fonts/"
wine_quiet reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\Fonts' \
    /v 'MS Sans Serif 8,10,12,14,18,24' /t REG_SZ /d sserife.fon /f >/dev/null 2>&1
wine_settle
status=0
wine_quiet "$setup" /S >"$work/setup.log" 2>&1 || status=$?
wine_settle
check "the installer's exit status" 0 "$status"
menu="$(wine_env APPDATA)\\Microsoft\\Windows\\Start Menu\\Programs"
shortcut_file=$WINEPREFIX/drive_c${menu#[Cc]:}
shortcut_file=${shortcut_file//\\//}/Spettro\ Segnale.lnk
program=$(python3 "$here/windows_files.py" shortcut "$shortcut_file" 2>/dev/null | field target)
check "the Start-menu entry names the installed program" yes \
    "$([[ "$program" == *'\spettro-segnale.exe' ]] && echo yes)"
[ -n "$program" ] || { echo "$passes passed, $((failures + 1)) failed"; exit 1; }

# The Italian locale, made with localedef where the system has not generated it; wine takes
# Windows' user locale from LC_ALL.
italian_locale=(LC_ALL=it_IT.UTF-8 LANG=it_IT.UTF-8)
if ! locale -a | grep -qix 'it_IT\.utf8'; then
    mkdir -p "$work/locales"
    localedef -i it_IT -f UTF-8 --no-archive "$work/locales/it_IT.UTF-8" >"$work/localedef.log" 2>&1 ||
        true # it warns about some locales and writes them all the same
    [ -d "$work/locales/it_IT.UTF-8" ] ||
        { cat "$work/localedef.log" >&2; echo "The Italian locale could not be made" >&2; exit 1; }
    italian_locale+=("LOCPATH=$work/locales")
fi
c_locale=(LC_ALL=C LANG=C)

# --- Driving the program -------------------------------------------------------------------------

window_id() { # window_id TITLE: the X window of the program's top-level window with that title
    xwininfo -root -tree 2>/dev/null |
        awk -v title="\"$1\": (\"spettro-segnale.exe\"" 'index($0, title) { print $1; exit }'
}
wait_window() { # wait_window TITLE [SECONDS]: its X window, once mapped (at most SECONDS, 60 unless told)
    local id= until=$((SECONDS + ${2:-60}))
    while [ "$SECONDS" -lt "$until" ]; do
        id=$(window_id "$1")
        [ -n "$id" ] && break
        kill -0 "$program_pid" 2>/dev/null || break
        sleep 0.1
    done
    echo "$id"
}
# Each window is its menu bar over its client area, where the controls stand at their twips: the
# bar's height in device pixels, by window, once client_area has measured it.
declare -A menu_bar=()
# client_area WINDOW WIDTH HEIGHT DPI: sets `client` to the window's client area in device
# pixels, WIDTHxHEIGHT when the rest of the window over it, the menu bar, is 1 to 40 pixels at
# 96 dpi tall, and keeps the bar's height for shoot and click.
client_area() {
    local size width height bar
    size=$(xwininfo -id "$1" | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w, h }')
    read -r width height <<<"$size"
    bar=$((height - $(size_at "$3" "$4")))
    menu_bar[$1]=$bar
    if [ "$bar" -lt 1 ] || [ "$bar" -gt $((40 * $4 / 96)) ]; then
        client="${width}x$height, with no menu bar of 1 to $((40 * $4 / 96)) pixels over it"
    else
        client="${width}x$((height - bar))"
    fi
}
# shoot WINDOW PNG: the window's client area, under its menu bar.
shoot() {
    import -window "$1" +set date:create +set date:modify -strip "$2" 2>/dev/null &&
        convert "$2" -crop "+0+${menu_bar[$1]:-0}" +repage "$2"
}
colours_at() { # colours_at PNG POINT...: the colours, space-separated
    python3 "$image_py" colours "$@" | paste -sd ' '
}
# Waits until the window shows COLOUR at POINT (it has been painted), at most a minute.
wait_colour() { # wait_colour WINDOW POINT COLOUR
    for _ in $(seq 120); do
        shoot "$1" "$work/shots/poll.png"
        [ "$(colours_at "$work/shots/poll.png" "$2")" == "$3" ] && return 0
        kill -0 "$program_pid" 2>/dev/null || return 1
        sleep 0.5
    done
    return 1
}
click() { # click WINDOW CONTROL DPI: a click at the control's centre
    local left top width height
    read -r left top width height <<<"$(rectangle "$2" "$3")"
    top=$((top + ${menu_bar[$1]:-0}))
    xdotool mousemove --window "$1" $((left + width / 2)) $((top + height / 2)) click 1 2>/dev/null
}

start_program() { # start_program LABEL DPI LOCALE_SETTING...: the input window's X window
    local label=$1 dpi=$2
    shift 2
    # Windows' display scaling, as its settings write it. Every wine process of a run gets the
    # run's locale: a program started while the wine server still serves a process of another
    # locale was seen to write numbers in that one.
    env -u LANGUAGE "$@" WINEDEBUG=-all "$wine64" reg add 'HKCU\Control Panel\Desktop' \
        /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
    env -u LANGUAGE "$@" WINEDEBUG=-all "$wine64" "$program" >"$work/$label.log" 2>&1 &
    program_pid=$!
    # A busy machine's wine was once seen not to map the first window of a start within minutes:
    # the start is then told, stopped and made once more, so a program that never shows its
    # window still fails.
    input_window=$(wait_window "Spettro Segnale" 180)
    if [ -z "$input_window" ]; then
        echo "$label: no window after 3 minutes (the program is $(kill -0 "$program_pid" \
            2>/dev/null && echo running || echo ended)); its output:"
        sed 's/^/    /' "$work/$label.log" | tail -20
        xwininfo -root -tree 2>/dev/null | grep -F '.exe' | sed 's/^/    /' | head -10
        wine_quiet taskkill /f /im spettro-segnale.exe >/dev/null 2>&1 || true
        wait "$program_pid" 2>/dev/null || true
        wine_settle
        echo "$label: started once more"
        env -u LANGUAGE "$@" WINEDEBUG=-all "$wine64" "$program" >"$work/$label.log" 2>&1 &
        program_pid=$!
        input_window=$(wait_window "Spettro Segnale" 180)
    fi
    check "$label: the window \"Spettro Segnale\" appears" yes "$([ -n "$input_window" ] && echo yes)"
    [ -n "$input_window" ] || return 1
    client_area "$input_window" 17565 9495 "$dpi"
    check "$label: the input window's client area, 17565 x 9495 twips, under its menu bar" \
        "$(size_at 17565 "$dpi")x$(size_at 9495 "$dpi")" "$client"
    # Painted: Text7 shows its colour.
    wait_colour "$input_window" "$(inside Text7 "$dpi")" "$pink" ||
        check "$label: the input window is painted" yes no
}
stop_program() { # stop_program LABEL: closed as a user would (WM_CLOSE), it must end with 0
    local status=0
    wine_quiet taskkill /im spettro-segnale.exe >/dev/null 2>&1 || true
    for _ in $(seq 600); do
        kill -0 "$program_pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -0 "$program_pid" 2>/dev/null &&
        { wine_quiet taskkill /f /im spettro-segnale.exe >/dev/null 2>&1 || true; }
    wait "$program_pid" || status=$?
    program_pid=
    wine_settle
    check "$1: the program ends when its windows are closed, exit status" 0 "$status"
}

# OCR of a label: its area, in grey, made black on white (the label's green turns white),
# framed with white, read as one line of text.
read_label() { # read_label PNG CONTROL DPI
    local left top width height crop=$work/shots/ocr-$2.png
    read -r left top width height <<<"$(rectangle "$2" "$3")"
    convert "$1" -crop "${width}x$height+$left+$top" +repage -colorspace Gray -threshold 50% -bordercolor white -border 20 "$crop"
    OMP_THREAD_LIMIT=1 tesseract "$crop" - --psm 7 2>/dev/null | tr -d '\f' | sed '/^[[:space:]]*$/d' |
        head -n 1 | sed 's/[[:space:]]*$//'
}

# harmonic_command LABEL LOCALE_NAME Z: types Z into Text2, clicks Command1, reads both labels.
harmonic_command() {
    local label=$1 locale_name=$2 z=$3 dpi=288 shot reading='' expected_mean expected_modulus
    shift 3
    echo "== The harmonic modulus command, $locale_name locale, 300 %"
    start_program "$label" "$dpi" "$@" || { stop_program "$label"; return; }
    click "$input_window" Text2 "$dpi"
    xdotool type --delay 50 "$z"
    click "$input_window" Command1 "$dpi"
    # The command ends with the labels written: wait for Label3 to read as something.
    shot=$work/shots/$label.png
    for _ in $(seq 60); do
        shoot "$input_window" "$shot"
        reading=$(read_label "$shot" Label3 "$dpi")
        [ -n "$reading" ] && break
        kill -0 "$program_pid" 2>/dev/null || break
        sleep 0.5
    done
    expected_mean=$(pattern "$mean_value")
    expected_modulus=$(pattern "$(harmonic "$z")")
    if [ "$locale_name" == Italian ]; then
        expected_mean=$(italian <<<"$expected_mean")
        expected_modulus=$(italian <<<"$expected_modulus")
    fi
    check "$label: Label3 reads the DC component" "$expected_mean" "$reading"
    check "$label: Label9 reads the modulus of harmonic $z" "$expected_modulus" \
        "$(read_label "$shot" Label9 "$dpi")"
    local points=() control
    for control in "${parameter_fields[@]}"; do points+=("$(inside "$control" "$dpi")"); done
    check "$label: the six parameter fields turned green" \
        "$(printf "$green %.0s" "${parameter_fields[@]}" | sed 's/ $//')" \
        "$(colours_at "$shot" "${points[@]}")"
    readings[$locale_name]=$reading
    stop_program "$label"
}

# graphs LABEL DPI SUFFIX: the input window at start, then the graph window.
graphs() {
    local label=$1 dpi=$2 suffix=$3 shot points=() control expected=() graph_window
    echo "== The windows at $((dpi * 100 / 96)) % (LogPixels $dpi)"
    start_program "$label" "$dpi" "${italian_locale[@]}" || { stop_program "$label"; return; }
    shot=$work/shots/$label-input.png
    shoot "$input_window" "$shot"
    for control in "${input_controls[@]}"; do
        points+=("$(inside "$control" "$dpi")")
        expected+=("${start_colour[$control]}")
    done
    check "$label: each control's colour where its twips place it (${input_controls[*]})" \
        "${expected[*]}" "$(colours_at "$shot" "${points[@]}")"
    # The diagram is a JPEG: without Qt's JPEG plugin the picture box stays empty.
    local diagram
    read -r -a diagram <<<"$(rectangle Diagram "$dpi")"
    check "$label: the diagram shows its red pulses (the JPEG is read)" yes \
        "$(python3 "$image_py" count "$shot" "${diagram[@]}" red |
            awk '{ print ($1 > 0 ? "yes" : "no: " $1 " red pixels") }')"
    if [ "$dpi" -eq 96 ]; then cp "$shot" "$screenshots/windows-input-window.png"; fi

    click "$input_window" Command2 "$dpi"
    graph_window=$(wait_window "Segnale e spettro")
    check "$label: the graph window \"Segnale e spettro\" appears" yes \
        "$([ -n "$graph_window" ] && echo yes)"
    if [ -z "$graph_window" ]; then stop_program "$label"; return; fi
    client_area "$graph_window" 18495 10005 "$dpi"
    check "$label: the graph window's client area, 18495 x 10005 twips, under its menu bar" \
        "$(size_at 18495 "$dpi")x$(size_at 10005 "$dpi")" "$client"
    # Drawn: the signal's three pulses are on the plot (at most a minute).
    local plot
    read -r -a plot <<<"$(rectangle Picture1 "$dpi")"
    shot=$work/shots/$label-graph.png
    measure() { field "$1" <"$work/$label-plot.txt"; }
    for _ in $(seq 60); do
        shoot "$graph_window" "$shot"
        python3 "$image_py" plot "$shot" "${plot[@]}" >"$work/$label-plot.txt"
        [ "$(measure pulses)" == 3 ] && break
        kill -0 "$program_pid" 2>/dev/null || break
        sleep 0.5
    done
    cp "$shot" "$screenshots/windows-graph-window$suffix.png"
    local surface border
    surface=$(measure surface)
    # The plot area less its sunken border, at most 2 pixels a side at 96 dpi.
    border=$(awk -v dpi="$dpi" 'BEGIN { printf "%d", 4 * dpi / 96 + 1 }')
    check_near "$label: the plot surface's width in pixels (the plot area less its border)" \
        "${plot[2]}" "${surface%x*}" "$border"
    check_near "$label: the plot surface's height in pixels" "${plot[3]}" "${surface#*x}" "$border"
    # In the plot's units (y = 0 at the bottom, 100 at the top); a pixel is about 0.2 of them at
    # 100 %: 0.5 is two pixels and a half there.
    check_near "$label: the time axis at y = 70" 70 "$(measure time_axis_y)" 0.5
    check_near "$label: the time axis spans the whole width (%)" 100 "$(measure time_axis_width)" 1
    check_near "$label: the signal's peak 25 above the axis" 95 "$(measure trace_top_y)" 0.5
    check "$label: pulses of the signal over 3 periods at D = 0.5" 3 "$(measure pulses)"
    check_near "$label: the frequency axis at y = 0.1" 0.1 "$(measure frequency_axis_y)" 0.5
    # The spectrum's scale: the largest modulus, harmonic 1's, reaches y = 45.
    check_near "$label: harmonic 1's line reaches y = 45" 45 "$(measure harmonic_1_y)" 0.5
    check_near "$label: harmonic 2's line reaches 45·|S2|/|S1|" \
        "$(number "45 * $(harmonic 2) / $modulus_1")" "$(measure harmonic_2_y)" 0.5
    check_near "$label: the DC component's green line reaches 45·Ao/|S1|" \
        "$(number "45 * $mean_value / $modulus_1")" "$(measure dc_y)" 0.5
    stop_program "$label"
}

declare -A readings=()
harmonic_command Italian-300 Italian 2 "${italian_locale[@]}"
harmonic_command C-300 C 4 "${c_locale[@]}"
# Both readings would be the same if the reading could not tell a comma from a point.
check "the readings of Label3 under the two locales differ" yes \
    "$([ -n "${readings[Italian]:-}" ] && [ "${readings[Italian]:-}" != "${readings[C]:-}" ] && echo yes)"
graphs scale-100 96 ""
graphs scale-125 120 -125
graphs scale-150 144 -150

if [ "$keep_work" -eq 1 ] || [ "$screenshots" != "$work/screenshots" ]; then
    echo "Screenshots in $screenshots"
fi
echo "$SECONDS s in all"
echo "$passes passed, $failures failed"
[ "$failures" -eq 0 ]
