#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
# SPDX-License-Identifier: GPL-3.0-or-later
#
# Tests the Windows package of a build of the program under wine64, headless (Xvfb), each case
# in a new wine prefix:
#   - the version record and the icon of the executable shipped, read back with wrestool and
#     icotool: each field against the project's version and the program's names, each image
#     against the PNG icon it was made from (and the installer's icon too); and that it is a
#     GUI program, which opens no console window;
#   - the installer, silent (/S), for the current user and (/S /AllUsers) for every user: the
#     files as staged, the Start-menu shortcut (target, icon), the uninstall key of the right
#     hive with each value, the program started from the shortcut's target (its window
#     "Spettro Segnale" appears, every DLL it loads is one installed, Qt's Italian
#     translations load; a run without them shows that this last check can fail), then the
#     silent uninstall from the key's QuietUninstallString: after it and the next start of
#     Windows (wineboot -r) the prefix holds exactly the files it held before the
#     installation, and its registry names the program nowhere;
#   - the portable .zip: unpacked, the program starts from its folder the same way, and
#     nothing outside that folder or in the registry names it.
# Prints "N passed, N failed" and exits non-zero when a check fails.
# Usage: tools/windows/test-installer.sh EXE [WORK_DIR]
#   EXE: spettro-segnale.exe as built for Windows (or the stand-in of build-stand-in.sh); it is
#   packaged with tools/windows/package.sh into WORK_DIR/package (default: a temporary folder,
#   removed at the end; a given one is kept, with the wine prefixes and logs).
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=common.sh
source "$here/common.sh"
arguments_between 1 2 "$0 EXE [WORK_DIR]" "$@"
exe=$(realpath "$1")
work_folder spettro-installer-test "${@:2}"

"$root/tools/install-dependencies.sh" >&2

find_wine
files_py=$here/windows_files.py

cleanup() {
    for prefix in "$work"/wine-*; do
        [ -d "$prefix" ] && WINEPREFIX=$prefix "$wineserver" -k 2>/dev/null || true
    done
    stop_xvfb
    [ "$keep_work" -eq 1 ] || rm -rf "$work"
}
trap cleanup EXIT

# shellcheck source=checks.sh
source "$here/checks.sh"
presence() { if [ -e "$1" ]; then echo present; else echo absent; fi; }

# --- What is expected: the project's version and the program's names ---------------------------

version=$(project_version)
IFS=. read -r -a numbers <<<"$version"
while [ ${#numbers[@]} -lt 4 ]; do numbers+=(0); done
version_numbers=$((10#${numbers[0]})).$((10#${numbers[1]})).$((10#${numbers[2]})).$((10#${numbers[3]}))
product="Spettro Segnale"
key_path='Software\Microsoft\Windows\CurrentVersion\Uninstall\SpettroSegnale'

echo "Packaging $exe into $work/package"
"$here/package.sh" "$exe" "$work/package" >"$work/package.log" 2>&1 ||
    { cat "$work/package.log" >&2; exit 1; }
stage=$work/package/stage
setup=$work/package/spettro-segnale-$version-setup.exe
zip=$work/package/spettro-segnale-$version-windows-x86_64.zip
check "installer named after the project's version $version" present "$(presence "$setup")"
check "portable .zip named after the project's version $version" present "$(presence "$zip")"
if [ ! -f "$setup" ] || [ ! -f "$zip" ]; then
    echo "$passes passed, $failures failed"
    exit 1
fi
mapfile -t staged < <(cd "$stage" && find . -type f | sed 's|^\./||' | LC_ALL=C sort)
mapfile -t staged_dlls < <(printf '%s\n' "${staged[@]}" | grep -i '\.dll$')

# --- The version record and the icon, read back from the executable shipped ------------------

shipped=$stage/spettro-segnale.exe
wrestool --extract --raw --type=16 "$shipped" >"$work/version.res" 2>/dev/null || true
python3 "$files_py" version "$work/version.res" >"$work/version.txt" 2>&1 || true
record() { field "$1" <"$work/version.txt"; }
check "version record: its root" VS_VERSION_INFO "$(record key)"
check "version record: fixed part's signature" 0xfeef04bd "$(record fixed.signature)"
check "version record: FileVersion as numbers" "$version_numbers" "$(record fixed.FileVersion)"
check "version record: ProductVersion as numbers" "$version_numbers" "$(record fixed.ProductVersion)"
check "version record: file type VFT_APP" 1 "$(record fixed.FileType)"
check "version record: for Windows NT, 32-bit API (VOS_NT_WINDOWS32)" 0x40004 "$(record fixed.FileOS)"
check "version record: no debug, pre-release or patched flag" 0x0 "$(record fixed.FileFlags)"
check "version record: one string block, Italian Unicode" 041004B0 \
    "$(record string.block | paste -sd ' ')"
strings_of() { record "string.041004B0.$1"; }
check "version record: FileVersion" "$version" "$(strings_of FileVersion)"
check "version record: ProductVersion" "$version" "$(strings_of ProductVersion)"
check "version record: ProductName" "$product" "$(strings_of ProductName)"
check "version record: FileDescription" "$product" "$(strings_of FileDescription)"
check "version record: CompanyName" "$product" "$(strings_of CompanyName)"
check "version record: LegalCopyright" "© 2026 The Spettro Segnale developers" \
    "$(strings_of LegalCopyright)"
check "version record: License" GPL-3.0-or-later "$(strings_of License)"
comments=$(strings_of Comments)
check "version record: Comments name the licence" yes \
    "$([[ "$comments" == *"GNU General Public License"*"(GPL-3.0-or-later)"* ]] && echo yes)"
check "version record: OriginalFilename" spettro-segnale.exe "$(strings_of OriginalFilename)"
check "version record: InternalName" spettro-segnale "$(strings_of InternalName)"
check "version record: Translation (Italian, Unicode)" "0x0410,1200" "$(record var.Translation)"
check "version record: the resource's language is Italian (1040)" 1040 \
    "$(wrestool --list --type=16 "$shipped" | sed -n 's/.*--language=\([0-9]*\).*/\1/p')"

# A console program would open a console window beside its own.
check "the executable is a Windows GUI program (no console window)" "00000002 (Windows GUI)" \
    "$("$triplet-objdump" -p "$shipped" | sed -n 's/^Subsystem[[:space:]]*//p' | tr -s '\t ' ' ')"

# Explorer takes the first icon group, Qt's windows platform the one named IDI_ICON1.
first_group() { # the name of the first icon group of a .exe
    wrestool --list --type=group_icon "$1" | head -n 1 | sed -n "s/.*--name=\([^ ]*\).*/\1/p" |
        tr -d "'"
}
check "icon: the first icon group is IDI_ICON1" IDI_ICON1 "$(first_group "$shipped")"
check_icon() { # check_icon LABEL EXE: each image of its first icon group against its PNG
    local label=$1 file=$2 dir=$work/icon-$1 size
    mkdir -p "$dir"
    wrestool --extract --type=group_icon "--name=$(first_group "$file")" "$file" \
        >"$dir/icon.ico" 2>/dev/null || true
    icotool --extract --output="$dir" "$dir/icon.ico" 2>/dev/null || true
    check "$label icon: its image sizes" "16 32 48 64 128 256" \
        "$(icotool --list "$dir/icon.ico" 2>/dev/null | sed -n 's/.*--width=\([0-9]*\).*/\1/p' |
            sort -n | paste -sd ' ')"
    for size in 16 32 48 64 128 256; do
        local image
        image=$(find "$dir" -name "*_${size}x${size}x*.png" | head -n 1)
        check "$label icon: the ${size}x$size image has the pixels of icon-$size.png" \
            "$(python3 "$files_py" icon-pixels "$root/ui/input_window/resources/icon-$size.png")" \
            "$( [ -n "$image" ] && python3 "$files_py" icon-pixels "$image" 2>&1)"
    done
}
check_icon program "$shipped"
check_icon installer "$setup"

# --- A display and new wine prefixes -----------------------------------------------------------

start_xvfb 1280x1024 "$work"
# No menu entries or icons for the Unix desktop (winemenubuilder), no Mono or Gecko prompt,
# the wine user's folders away from the real home.
mkdir -p "$work/home"
export HOME=$work/home
wine_environment "$wine_overrides_no_menus"

new_prefix() { # new_prefix NAME: a new wine prefix, started and settled
    export WINEPREFIX=$work/wine-$1
    rm -rf "$WINEPREFIX" "$work/$1-wineboot.log"
    # Once in a while a new prefix fails to start right after another wine server has ended:
    # then once more, from nothing.
    if ! wine_boot "$work/$1-wineboot.log"; then
        wine_settle
        rm -rf "$WINEPREFIX"
        wine_boot "$work/$1-wineboot.log"
    fi
    wine_settle
}
unix_path() { local path=${1#[Cc]:}; echo "$WINEPREFIX/drive_c${path//\\//}"; }
prefix_files() { (cd "$WINEPREFIX/drive_c" && find . | LC_ALL=C sort); }
differences() { diff "$1" "$2" | grep '^[<>]' | head -n 5 | paste -sd ' '; }
files_in() { # the files under a folder, relative, sorted, on one line
    [ -d "$1" ] && (cd "$1" && find . -type f | sed 's|^\./||' | LC_ALL=C sort | paste -sd ' ')
}
registry_mentions() { grep -il 'spettro' "$WINEPREFIX"/*.reg | xargs -r -n 1 basename | paste -sd ' '; }
reg_values() { # reg_values HIVE: the program's uninstall key as NAME<tab>DATA lines
    wine_quiet reg query "$1\\$key_path" 2>/dev/null | tr -d '\r' |
        sed -n 's/^    \([^ ].*\)    REG_[A-Z_]*    \(.*\)$/\1\t\2/p'
}
key_exists() { wine_quiet reg query "$1\\$key_path" >/dev/null 2>&1 && echo yes || echo no; }

# run_program LABEL WINDOWS_PATH [hide-translations]: starts the program, waits for its window
# "Spettro Segnale", closes it as a user would (WM_CLOSE, from taskkill without /f), and checks
# the DLLs it loaded and its debug output.
run_program() {
    local label=$1 path=$2 mode=${3:-} log=$work/$1-run.log folder status window=no
    folder=${path%\\*}
    # +loaddll names each module loaded; warn+seh shows what the program writes with
    # OutputDebugString, where qWarning goes in a program without a console.
    WINEDEBUG=warn+seh,+loaddll,-fixme timeout 300 "$wine64" "$path" >"$log.out" 2>"$log" &
    local pid=$!
    for _ in $(seq 600); do
        if xwininfo -root -tree 2>/dev/null |
            grep -q '"Spettro Segnale": ("spettro-segnale.exe"'; then
            window=yes
            break
        fi
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    if [ "$window" == yes ]; then
        wine_quiet taskkill /im spettro-segnale.exe >/dev/null 2>&1 || true
    else
        wine_quiet taskkill /f /im spettro-segnale.exe >/dev/null 2>&1 || true
    fi
    status=0
    wait "$pid" || status=$?
    wine_settle
    if [ "$mode" == hide-translations ]; then
        check "$label: without qtbase_it.qm the program says that Qt's translations are missing" \
            yes "$(grep -q 'OutputDebugString.*qtbase_it\.qm' "$log" && echo yes)"
        return
    fi
    check "$label: its window \"Spettro Segnale\" appears" yes "$window"
    check "$label: it ends when its window is closed, exit status" 0 "$status"
    check "$label: no DLL missing (wine's err:module)" "" "$(grep -m 3 'err:module' "$log" || true)"
    local loaded
    loaded=$(sed -n 's/.*trace:loaddll:.*Loaded L"\(.*\)" at [0-9A-Fa-f]*: native$/\1/p' "$log" |
        sed 's/\\\\/\\/g')
    local folder_lower=${folder,,}
    check "$label: every DLL of its own it loads comes from its folder" "" \
        "$(echo "$loaded" | grep -v '^$' | FOLDER="$folder_lower\\" \
            awk 'index(tolower($0), ENVIRON["FOLDER"]) != 1' | head -n 3)"
    local dll missing=()
    for dll in "${staged_dlls[@]}"; do
        echo "$loaded" | grep -qixF "$folder\\${dll//\//\\}" || missing+=("$dll")
    done
    check "$label: every DLL shipped is loaded from its folder" "" "${missing[*]}"
    check "$label: Qt's Italian translations load (no warning about qtbase_it.qm)" "" \
        "$(grep -m 1 'OutputDebugString.*qtbase_it\.qm' "$log" || true)"
}

# --- The installer: for the current user, for every user --------------------------------------

for mode in CurrentUser AllUsers; do
    echo "== Silent installation, $mode, in a new wine prefix"
    new_prefix "$mode"
    local_appdata=$(wine_env LOCALAPPDATA)
    if [ "$mode" == CurrentUser ]; then
        arguments=(/S)
        folder="$local_appdata\\Programs\\$product"
        menu="$(wine_env APPDATA)\\Microsoft\\Windows\\Start Menu\\Programs"
        other_menu="$(wine_env ProgramData)\\Microsoft\\Windows\\Start Menu\\Programs"
        hive=HKCU other_hive=HKLM
    else
        arguments=(/S /AllUsers)
        folder="$(wine_env ProgramFiles)\\$product"
        menu="$(wine_env ProgramData)\\Microsoft\\Windows\\Start Menu\\Programs"
        other_menu="$(wine_env APPDATA)\\Microsoft\\Windows\\Start Menu\\Programs"
        hive=HKLM other_hive=HKCU
    fi
    prefix_files >"$work/$mode-files-before"
    status=0
    wine_quiet "$setup" "${arguments[@]}" >"$work/$mode-setup.log" 2>&1 || status=$?
    wine_settle
    check "$mode: the installer's exit status" 0 "$status"

    # The files: those staged, each as staged, and the uninstaller.
    installed=$(unix_path "$folder")
    check "$mode: the files in $folder" \
        "$(printf '%s\n' "${staged[@]}" Uninstall.exe | LC_ALL=C sort | paste -sd ' ')" \
        "$(files_in "$installed")"
    differing=()
    for file in "${staged[@]}"; do
        cmp -s "$stage/$file" "$installed/$file" || differing+=("$file")
    done
    check "$mode: each file installed is the one staged" "" "${differing[*]}"

    # The Start-menu entry.
    shortcut=$(unix_path "$menu\\$product.lnk")
    check "$mode: Start-menu entry \"$product\"" present "$(presence "$shortcut")"
    check "$mode: entry in the other Start menu" absent \
        "$(presence "$(unix_path "$other_menu\\$product.lnk")")"
    python3 "$files_py" shortcut "$shortcut" >"$work/$mode-shortcut.txt" 2>&1 || true
    link() { field "$1" <"$work/$mode-shortcut.txt"; }
    check "$mode: the entry starts the program" "$folder\\spettro-segnale.exe" "$(link target)"
    check "$mode: the entry's icon is the program's" "$folder\\spettro-segnale.exe" \
        "$(link icon_location)"
    check "$mode: the entry's icon index" 0 "$(link icon_index)"
    check "$mode: the entry's working folder" "$folder" "$(link working_dir)"

    # The uninstall key, in the hive of the mode.
    reg_values "$hive" >"$work/$mode-key.txt"
    value() { field "$1" <"$work/$mode-key.txt"; }
    size=$(find "$installed" -type f -printf '%s\n' |
        awk '{ s += $1 } END { printf "0x%x", int(s / 1024) }')
    check "$mode: $hive uninstall key, DisplayName" "$product" "$(value DisplayName)"
    check "$mode: $hive uninstall key, DisplayVersion" "$version" "$(value DisplayVersion)"
    check "$mode: $hive uninstall key, DisplayIcon" "$folder\\spettro-segnale.exe,0" \
        "$(value DisplayIcon)"
    check "$mode: $hive uninstall key, Publisher" "$(strings_of CompanyName)" "$(value Publisher)"
    check "$mode: $hive uninstall key, InstallLocation" "$folder" "$(value InstallLocation)"
    check "$mode: $hive uninstall key, UninstallString" "\"$folder\\Uninstall.exe\" /$mode" \
        "$(value UninstallString)"
    check "$mode: $hive uninstall key, QuietUninstallString" "\"$folder\\Uninstall.exe\" /$mode /S" \
        "$(value QuietUninstallString)"
    check "$mode: $hive uninstall key, EstimatedSize (KiB of the files installed)" "$size" \
        "$(value EstimatedSize)"
    check "$mode: $hive uninstall key, NoModify" 0x1 "$(value NoModify)"
    check "$mode: $hive uninstall key, NoRepair" 0x1 "$(value NoRepair)"
    check "$mode: no uninstall key in $other_hive" no "$(key_exists "$other_hive")"

    # The program, from the entry's target.
    target=$(link target)
    target=${target:-$folder\\spettro-segnale.exe}
    run_program "$mode" "$target"
    if [ "$mode" == CurrentUser ]; then
        mv "$installed/translations/qtbase_it.qm" "$work/qtbase_it.qm.hidden"
        run_program "$mode, control" "$target" hide-translations
        mv "$work/qtbase_it.qm.hidden" "$installed/translations/qtbase_it.qm"
    fi

    # The silent uninstall as the system's list of programs starts it: the uninstaller copies
    # itself to the temporary files and runs from there; wine_settle waits for that copy to end.
    quiet=$(value QuietUninstallString)
    uninstaller=$(sed -n 's/^"\([^"]*\)".*/\1/p' <<<"$quiet")
    read -r -a uninstall_arguments <<<"${quiet:$((${#uninstaller} + 2))}"
    status=0
    wine_quiet "${uninstaller:-$folder\\Uninstall.exe}" "${uninstall_arguments[@]}" \
        >"$work/$mode-uninstall.log" 2>&1 || status=$?
    wine_settle
    check "$mode: the uninstaller's exit status" 0 "$status"
    check "$mode: after the uninstall, the program's folder" absent "$(presence "$installed")"
    check "$mode: after the uninstall, the Start-menu entry" absent "$(presence "$shortcut")"
    check "$mode: after the uninstall, the key in $hive" no "$(key_exists "$hive")"
    # The uninstaller's copy goes at the next start of Windows.
    wine_quiet wineboot --restart >/dev/null 2>&1 || true
    wine_settle
    prefix_files >"$work/$mode-files-after"
    check "$mode: after the uninstall and a restart, files and folders added or removed" "" \
        "$(differences "$work/$mode-files-before" "$work/$mode-files-after")"
    check "$mode: after the uninstall, registry files naming the program" "" \
        "$(registry_mentions)"
    check "$mode: after the restart, no file waits to be removed" "" \
        "$(grep -l 'PendingFileRenameOperations' "$WINEPREFIX/system.reg" || true)"
done

# --- The portable .zip -------------------------------------------------------------------------

echo "== The portable .zip, in a new wine prefix"
new_prefix Portable
prefix_files >"$work/Portable-files-before"
portable_parent='C:\Portable'
mkdir -p "$(unix_path "$portable_parent")"
unzip -q "$zip" -d "$(unix_path "$portable_parent")"
portable="$portable_parent\\spettro-segnale-$version"
unpacked=$(unix_path "$portable")
check "portable: the files in the .zip's folder spettro-segnale-$version" \
    "$(printf '%s\n' "${staged[@]}" | paste -sd ' ')" "$(files_in "$unpacked")"
differing=()
for file in "${staged[@]}"; do
    cmp -s "$stage/$file" "$unpacked/$file" || differing+=("$file")
done
check "portable: each file is the one staged" "" "${differing[*]}"
run_program portable "$portable\\spettro-segnale.exe"
rm -rf "$(unix_path "$portable_parent")"
prefix_files >"$work/Portable-files-after"
check "portable: files and folders added or removed outside its folder" "" \
    "$(differences "$work/Portable-files-before" "$work/Portable-files-after")"
check "portable: registry files naming the program" "" "$(registry_mentions)"

echo "$passes passed, $failures failed"
[ "$failures" -eq 0 ]
