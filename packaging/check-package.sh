#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Checks TurnKeeper's Debian package.
#
#   packaging/check-package.sh [--install] [<package.deb> | <build folder>]
#
# Given a build folder, builds it and makes the package there with cpack; given
# nothing, configures a Release build in build-package/ first. Then checks the
# package's fields and contents and that apt can resolve its dependencies here.
#
# With --install it also installs the package on this machine (apt-get, as root or
# through sudo), starts the program the way its desktop entry says (Exec in the Path
# folder) on a virtual X server, waits for its window, ends it with SIGTERM and checks
# the exit status and the settings it saved. The package stays installed; remove it
# with `apt-get remove turnkeeper`.
set -u

usage() {
    echo "usage: $0 [--install] [<package.deb> | <build folder>]" >&2
    exit 2
}

install=false
target=
for argument in "$@"; do
    case $argument in
    --install) install=true ;;
    -*) usage ;;
    *) [ -z "$target" ] || usage; target=$argument ;;
    esac
done

source_dir=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
xvfb_pid=
program_pid=
cleanup() {
    [ -n "$program_pid" ] && kill -KILL "$program_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

die() {
    echo "FAIL: $*"
    exit 1
}

source "$(dirname "$0")/../scripts/checks.sh"

# build_package <build folder>: builds and packages; prints the package's path.
build_package() {
    local build=$1
    cmake --build "$build" -j"$(nproc)" >&2 || return 1
    (cd "$build" && cpack -G DEB) >&2 || return 1
    ls -t "$build"/turnkeeper_*.deb 2>/dev/null | head -n 1
}

if [ -z "$target" ]; then
    target="$source_dir/build-package"
    cmake -S "$source_dir" -B "$target" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >&2 ||
        die "cannot configure $target"
fi
if [ -d "$target" ]; then
    package=$(build_package "$target")
    [ -n "$package" ] || die "building the package in $target failed"
else
    package=$target
fi
[ -f "$package" ] || die "$package: no such file"
package=$(readlink -f "$package")
echo "Checking $package"

# --- The package as a file -------------------------------------------------------

field() { dpkg-deb -f "$package" "$1"; }
version=$(field Version)
check "the package is called turnkeeper" [ "$(field Package)" = turnkeeper ]
check "the file is named after package, version and architecture" \
    [ "$(basename "$package")" = "turnkeeper_${version}_$(field Architecture).deb" ]
check "the package is built for this machine ($(dpkg --print-architecture))" \
    [ "$(field Architecture)" = "$(dpkg --print-architecture)" ]
check "the package belongs to section utils" [ "$(field Section)" = utils ]
check "the package has a maintainer" [ -n "$(field Maintainer)" ]

depends=$(field Depends)
depends_on() { grep -Eq "(^|, )$1( |,|$)" <<<"$depends"; }
for dependency in libqt6widgets6 libqt6multimedia6 libqt6network6 fonts-comic-neue libqt6sql6-sqlite; do
    check "Depends names $dependency" depends_on "$dependency"
done

dpkg-deb -c "$package" | awk '{ print $NF }' | sed 's|^\./|/|' >"$work/contents"
has() { grep -qx "$1" "$work/contents"; }
check "the program is /usr/bin/TurnKeeper" has /usr/bin/TurnKeeper
check "the lock tool is /usr/bin/turnkeeper-lock" has /usr/bin/turnkeeper-lock
check "the sound module is under /usr/lib" grep -q "^/usr/lib.*/turnkeeper/turnkeeper-sound.so$" "$work/contents"
for file in "${runtime_files[@]}"; do
    check "/usr/share/turnkeeper/$file is packaged" has "/usr/share/turnkeeper/$file"
done

# One id for the desktop entry, the metainfo file and the icons: the entry's name.
entries=$(grep -c '^/usr/share/applications/.*\.desktop$' "$work/contents")
check "the package holds one desktop entry (found $entries)" [ "$entries" = 1 ]
id=$(grep -m1 '^/usr/share/applications/.*\.desktop$' "$work/contents" |
    sed 's|.*/||; s|\.desktop$||')
echo "Application id: $id"
check "the metainfo file has the same id" has "/usr/share/metainfo/$id.metainfo.xml"
for size in 16 32 48 64; do
    check "the ${size}x$size icon has the same id" \
        has "/usr/share/icons/hicolor/${size}x$size/apps/$id.png"
done
check "the scalable icon has the same id" has "/usr/share/icons/hicolor/scalable/apps/$id.svg"

mkdir -p "$work/unpacked"
dpkg-deb -x "$package" "$work/unpacked"
# desktop_key <file> <key>: the value of a key of the [Desktop Entry] group.
desktop_key() {
    sed -n '/^\[Desktop Entry\]/,/^\[/{s/^'"$2"'=//p}' "$1"
}
entry="$work/unpacked/usr/share/applications/$id.desktop"
check "the desktop entry starts TurnKeeper" [ "$(desktop_key "$entry" Exec)" = TurnKeeper ]
check "the desktop entry starts it in /usr/share/turnkeeper" \
    [ "$(desktop_key "$entry" Path)" = /usr/share/turnkeeper ]
check "the desktop entry's icon is $id" [ "$(desktop_key "$entry" Icon)" = "$id" ]
if command -v desktop-file-validate >/dev/null; then
    check "the packaged desktop entry is valid" desktop-file-validate "$entry"
fi
if command -v appstreamcli >/dev/null; then
    check "the packaged metainfo file is valid" \
        appstreamcli validate --no-net "$work/unpacked/usr/share/metainfo/$id.metainfo.xml"
fi

# Debian's own checker: no error and no warning. Overrides, each with a comment saying
# why, would go in packaging/lintian-overrides; there are none.
lintian_clean() {
    lintian --fail-on error,warning --allow-root --tag-display-limit 0 "$package" \
        >"$work/lintian.log" 2>&1
    local status=$?
    cat "$work/lintian.log"
    [ "$status" -eq 0 ] && ! grep -q '^[EW]: ' "$work/lintian.log"
}
if command -v lintian >/dev/null; then
    check "lintian finds nothing wrong with the package" lintian_clean
else
    fail "lintian finds nothing wrong with the package" "lintian is not installed; run scripts/setup.sh"
fi
for page in "$source_dir"/packaging/man/*.[1-8]; do
    page=$(basename "$page")
    check "the manual page $page is packaged" has "/usr/share/man/man${page##*.}/$page.gz"
done
check "the copyright file is packaged" has /usr/share/doc/turnkeeper/copyright
check "the changelog is packaged" has /usr/share/doc/turnkeeper/changelog.gz

apt_resolves() {
    apt-get install --simulate -q "$package" >"$work/simulate.log" 2>&1 ||
        { cat "$work/simulate.log" >&2; return 1; }
}
check "apt can resolve the package's dependencies here" apt_resolves

# --- Installed, and started from its desktop entry --------------------------------

if $install; then
    sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    echo "Installing $package"
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -q "$package" ||
        die "apt-get install"
    check "turnkeeper $version is installed" \
        [ "$(dpkg-query -W -f='${Status} ${Version}' turnkeeper)" = "install ok installed $version" ]

    check "the installed turnkeeper-lock answers --status" \
        grep -q "lock is in force" <<<"$(/usr/bin/turnkeeper-lock --status)"

    installed_entry="/usr/share/applications/$id.desktop"
    exec_line=$(desktop_key "$installed_entry" Exec)
    folder=$(desktop_key "$installed_entry" Path)
    [ -n "$folder" ] && [ -n "$exec_line" ] || die "$installed_entry lacks Exec or Path"
    for file in "${runtime_files[@]}"; do
        check "the entry's folder $folder holds $file" test -s "$folder/$file"
    done

    start_xvfb "$work/xvfb.log" || die "Xvfb did not start: $(cat "$work/xvfb.log")"

    # As a desktop starts it: the Exec line (no file arguments) in the Path folder,
    # found through PATH, with the user's own (here: an empty) home.
    home="$work/home"
    mkdir -p "$home"
    read -ra command <<<"${exec_line//%[fFuUik]/}"
    (cd "$folder" && exec env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM -u XDG_SESSION_TYPE \
        HOME="$home" XDG_CONFIG_HOME="$home/.config" "${command[@]}") \
        >"$work/program.log" 2>&1 &
    program_pid=$!
    window=$(wait_for_window TurnKeeper)
    check "the program's window titled TurnKeeper appears" [ -n "$window" ]
    check "the program runs in the entry's folder" \
        [ "$(readlink "/proc/$program_pid/cwd")" = "$folder" ]
    kill -TERM "$program_pid"
    wait "$program_pid"
    status=$?
    program_pid=
    check "the program ends with status 0 on SIGTERM (got $status)" [ "$status" = 0 ]
    check "the length is saved in the user's own settings" \
        grep -qx 'MaxTime=600' "$home/.config/TurnKeeper/TurnKeeper.conf"
    if [ "$failed" -ne 0 ]; then
        echo "--- program output"
        cat "$work/program.log"
    fi
    echo "The package stays installed; 'apt-get remove turnkeeper' removes it."
fi

summary
