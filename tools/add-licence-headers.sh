#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
# SPDX-License-Identifier: GPL-3.0-or-later
#
# Puts the project's two licence lines at the top of every tracked file that lacks them, in the
# file's own comment syntax: after a shebang line or an XML declaration, never before. Files
# that .reuse/dep5 covers (images, corpora, generated data, formats without comments), files
# that already carry both lines, whatever licence they name, and the licence texts are left
# alone. Running it again changes nothing.
# Usage: tools/add-licence-headers.sh [FILE...]   (paths from the repository's root; every
# tracked file when none is named)
set -euo pipefail
# The licence lines below are the script's data, not its own (its own are above).
# REUSE-IgnoreStart
cd "$(dirname "$0")/.."

copyright_line='SPDX-FileCopyrightText: 2026 The Spettro Segnale developers'
licence_line='SPDX-License-Identifier: GPL-3.0-or-later'

# The glob patterns of the dep5 file's Files fields (continuation lines included). As in dep5,
# '*' also matches '/'.
dep5_patterns=()
if [ -f .reuse/dep5 ]; then
    in_files=0
    while IFS= read -r line; do
        if [[ $line == Files:* ]]; then
            in_files=1
            line=${line#Files:}
        elif [[ $line == [[:space:]]* && $in_files -eq 1 ]]; then
            :
        else
            in_files=0
            continue
        fi
        read -ra words <<<"$line"
        dep5_patterns+=("${words[@]}")
    done <.reuse/dep5
fi

covered_by_dep5() {
    local pattern
    for pattern in "${dep5_patterns[@]}"; do
        # shellcheck disable=SC2053 # the pattern is a glob on purpose
        [[ $1 == $pattern ]] && return 0
    done
    return 1
}

# The comment style of a file: slash, hash, xml or man; nothing when the file has none.
comment_style() {
    local file=$1 name
    name=$(basename "$file")
    case $name in
        *.cpp | *.h | *.h.in | *.c) echo slash ;;
        *.sh | *.py | *.cmake | CMakeLists.txt | .gitignore | .clang-format | *.desktop \
            | *.yml | *.yaml | *.toml | *.cfg) echo hash ;;
        *.md | *.xml | *.svg | *.html) echo xml ;;
        *.[1-9]) echo man ;;
        *)
            # A script without an extension says what it is on its first line.
            if head -n 1 "$file" | grep -Eq '^#!.*(sh|bash|python3?)([[:space:]]|$)'; then
                echo hash
            fi
            ;;
    esac
}

header_for() {
    case $1 in
        slash) printf '// %s\n// %s\n' "$copyright_line" "$licence_line" ;;
        hash) printf '# %s\n# %s\n' "$copyright_line" "$licence_line" ;;
        xml) printf '<!--\n%s\n%s\n-->\n' "$copyright_line" "$licence_line" ;;
        man) printf '.\\" %s\n.\\" %s\n' "$copyright_line" "$licence_line" ;;
    esac
}

if [ $# -gt 0 ]; then
    files=("$@")
else
    mapfile -t files < <(git ls-files)
fi

added=0
unknown=()
for file in "${files[@]}"; do
    [ -f "$file" ] && [ ! -L "$file" ] || continue
    case $file in
        LICENSE | LICENSES/* | .reuse/dep5) continue ;;
    esac
    covered_by_dep5 "$file" && continue

    has_copyright=0
    has_licence=0
    # A file that already names its licence at its top keeps it (the metainfo's is CC0-1.0,
    # say); the lines quoted further down a file (in a guide, in this script) do not count.
    top=$(head -n 10 "$file")
    [[ $top == *'SPDX-FileCopyrightText:'* ]] && has_copyright=1
    [[ $top == *'SPDX-License-Identifier:'* ]] && has_licence=1
    [ $has_copyright -eq 1 ] && [ $has_licence -eq 1 ] && continue
    if [ $has_copyright -ne $has_licence ]; then
        echo "$file: has one of the two licence lines but not the other; mend it by hand" >&2
        unknown+=("$file")
        continue
    fi

    style=$(comment_style "$file")
    if [ -z "$style" ]; then
        unknown+=("$file")
        continue
    fi

    # A shebang line or an XML declaration stays the first line.
    first=$(head -n 1 "$file")
    keep=0
    if [[ $first == '#!'* || $first == '<?xml'* ]]; then
        keep=1
    fi
    tmp=$(mktemp "$file.XXXXXX")
    {
        [ $keep -eq 1 ] && printf '%s\n' "$first"
        header_for "$style"
        tail -n +$((keep + 1)) "$file"
    } >"$tmp"
    chmod --reference="$file" "$tmp"
    mv "$tmp" "$file"
    echo "added: $file"
    added=$((added + 1))
done

echo "$added file(s) given the licence lines"
if [ ${#unknown[@]} -ne 0 ]; then
    printf 'no comment syntax known, add the lines or cover it in .reuse/dep5: %s\n' \
        "${unknown[@]}" >&2
    exit 1
fi
# REUSE-IgnoreEnd
