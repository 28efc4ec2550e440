#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs a built tree into a temporary prefix, and once more into a staging folder
# (DESTDIR), and checks that every file lands where the desktop looks for it and that
# the desktop entry starts the program in the folder of its pictures and horn.
set -u
cmake=${1:?usage: check-install.sh <cmake> <build folder> <application id>}
build=${2:?usage: check-install.sh <cmake> <build folder> <application id>}
id=${3:?usage: check-install.sh <cmake> <build folder> <application id>}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

source "$(dirname "$0")/../scripts/checks.sh"

# desktop_key <file> <key>: the value of a key of the [Desktop Entry] group.
desktop_key() {
    sed -n '/^\[Desktop Entry\]/,/^\[/{s/^'"$2"'=//p}' "$1"
}

# is_png_of_size <file> <size>: a PNG file whose header says size x size pixels.
is_png_of_size() {
    local signature w1 w2 w3 w4 h1 h2 h3 h4
    [ -f "$1" ] || return 1
    signature=$(od -An -tx1 -N8 "$1" | tr -d ' \n')
    [ "$signature" = 89504e470d0a1a0a ] || return 1
    read -r w1 w2 w3 w4 h1 h2 h3 h4 < <(od -An -tu1 -j16 -N8 "$1")
    [ $(((w1 << 24) | (w2 << 16) | (w3 << 8) | w4)) -eq "$2" ] &&
        [ $(((h1 << 24) | (h2 << 16) | (h3 << 8) | h4)) -eq "$2" ]
}

prefix="$work/prefix"
if ! "$cmake" --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1; then
    echo "FAIL: cmake --install"
    cat "$work/install.log"
    exit 1
fi

check "the program is installed in bin/" test -x "$prefix/bin/TurnKeeper"
check "turnkeeper-lock is installed beside it" test -x "$prefix/bin/turnkeeper-lock"
check "the installed turnkeeper-lock answers --version" \
    grep -qx "turnkeeper-lock [0-9.]*" <<<"$("$prefix/bin/turnkeeper-lock" --version)"
check "the sound module is installed in the library folder" \
    test -n "$(find "$prefix" -path "*/lib*/turnkeeper/turnkeeper-sound.so")"
for file in "${runtime_files[@]}"; do
    check "share/turnkeeper/$file is installed" test -s "$prefix/share/turnkeeper/$file"
done
for page in "$(dirname "$0")"/man/*.[1-8]; do
    page=$(basename "$page")
    check "the manual page $page is installed, compressed" \
        gzip -t "$prefix/share/man/man${page##*.}/$page.gz"
done
check "the copyright file is installed" test -s "$prefix/share/doc/turnkeeper/copyright"

guard="$prefix/libexec/turnkeeper-guard"
unit="$prefix/lib/systemd/system/turnkeeper-guard.service"
check "the guard is installed in libexec/" test -x "$guard"
check "its unit starts the installed guard" grep -qx "ExecStart=$guard" "$unit"
# With the guard installed beside it, turnkeeper-lock keeps the hash where only root reads.
mkdir -p "$work/xdg"
"$prefix/bin/turnkeeper-lock" --lock-file "$work/xdg/TurnKeeper/TurnKeeper.conf" \
    <<<"Apfel 7" >/dev/null 2>&1
check "the installed turnkeeper-lock keeps the hash out of the lock file" \
    test -s "$work/xdg/TurnKeeper/TurnKeeper.conf" -a \
    "$(stat -c %a "$work/xdg/TurnKeeper/TurnKeeper.hash" 2>/dev/null)" = 600
check "and the lock file names none" \
    bash -c "! grep -q PasswordHash '$work/xdg/TurnKeeper/TurnKeeper.conf'"
if command -v systemd-analyze >/dev/null; then
    # Its Documentation= names the guard's manual page, which man finds where installed.
    check "systemd finds nothing wrong in the unit" \
        env MANPATH="$prefix/share/man" systemd-analyze verify "$unit"
fi
check "its D-Bus policy is installed" \
    grep -q '<allow own="io.github.turnkeeper.Guard1"/>' \
    "$prefix/share/dbus-1/system.d/io.github.turnkeeper.Guard1.conf"
check "its activation file names the unit" \
    grep -qx "SystemdService=turnkeeper-guard.service" \
    "$prefix/share/dbus-1/system-services/io.github.turnkeeper.Guard1.service"

entry="$prefix/share/applications/$id.desktop"
check "the desktop entry is installed under its id" test -f "$entry"
check "the entry starts TurnKeeper" [ "$(desktop_key "$entry" Exec)" = TurnKeeper ]
check "the entry's working folder is the installed share/turnkeeper" \
    [ "$(desktop_key "$entry" Path)" = "$prefix/share/turnkeeper" ]
check "the entry names the icon by the same id" [ "$(desktop_key "$entry" Icon)" = "$id" ]
check "the metainfo file is installed under the same id" \
    grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" \
    "$prefix/share/metainfo/$id.metainfo.xml"

for size in 16 32 48 64; do
    check "the ${size}x$size icon is a picture of that size" \
        is_png_of_size "$prefix/share/icons/hicolor/${size}x$size/apps/$id.png" "$size"
done
check "the scalable icon is installed" \
    grep -q '<svg' "$prefix/share/icons/hicolor/scalable/apps/$id.svg"

if command -v desktop-file-validate >/dev/null; then
    check "the installed desktop entry is valid" desktop-file-validate "$entry"
fi

# A staged install (as packages are built) must not leak the staging folder into Path.
DESTDIR="$work/stage" "$cmake" --install "$build" --prefix /opt/turnkeeper \
    >"$work/stage.log" 2>&1
staged="$work/stage/opt/turnkeeper/share/applications/$id.desktop"
check "a staged install keeps the final folder in Path" \
    [ "$(desktop_key "$staged" Path)" = /opt/turnkeeper/share/turnkeeper ]

summary
