#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Watches the system calls of one password save (a case of tst_settingsstore) and
# checks that the plain-text password is written nowhere but in the settings folder,
# and that the new file's contents reach the disk before it replaces the old one and
# its name reaches the disk after.
set -u
suite=$(readlink -f "${1:?usage: settings_on_disk.sh <path to tst_settingsstore>}")
source "$(dirname "$0")/../scripts/checks.sh"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
log="$work/calls"

QT_QPA_PLATFORM=offscreen strace -f -y -qq -e trace=openat,fsync,fdatasync,rename,renameat,renameat2 \
    -o "$log" "$suite" 'passwordsRoundTripExactly:blanks' >"$work/suite.out" 2>&1
check "the save itself succeeds" grep -q '^PASS   : .*passwordsRoundTripExactly(blanks)' "$work/suite.out"

# From the save's first look at the settings file on.
conf=$(grep -o '"[^"]*/tst_settingsstore/tst_settingsstore\.conf' "$log" | head -n 1 | tr -d '"')
folder=$(dirname "$conf")
sed -n "\\|$conf|,\$p" "$log" >"$work/save"

# created_elsewhere: files opened to be created (by name or unnamed) outside the folder.
created_elsewhere() {
    grep -E 'O_CREAT|O_TMPFILE' "$work/save" | grep -v "\"$folder[/\"]" | grep -v "\"$folder\""
}
check "no file is created outside the settings folder" [ -z "$(created_elsewhere)" ]

# The copy renamed over the file, and the order of the calls around that rename.
renamed=$(grep -E "rename[a-z0-9]*\(.*\"$conf\"\) = 0" "$work/save" | tail -n 1)
copy=$(sed -n 's/^[0-9]* *rename[a-z0-9]*(\(AT_FDCWD[^,]*, \)\{0,1\}"\([^"]*\)".*/\2/p' <<<"$renamed")
rename_line=$(grep -n -F "$renamed" "$work/save" | tail -n 1 | cut -d: -f1)
synced_before() {
    head -n "$rename_line" "$work/save" | grep -qE "f(data)?sync\([0-9]+<$copy>\) = 0"
}
synced_after() {
    tail -n "+$rename_line" "$work/save" | grep -qE "fsync\([0-9]+<$folder>\) = 0"
}
check "a copy is renamed over the settings file" [ -n "$copy" ]
check "the copy is flushed to the disk before the rename" synced_before
check "the folder is flushed to the disk after the rename" synced_after

if [ "$failed" -ne 0 ]; then
    echo "--- the save's calls"
    cut -c1-200 "$work/save"
fi
summary
