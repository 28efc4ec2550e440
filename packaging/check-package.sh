#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds and checks TurnKeeper's Debian package.
#
#   packaging/check-package.sh [--install] [<package.deb> | <folder>]
#
# Given a folder (build-package/ when given nothing), builds the package there from the
# sources' debian/ folder with dpkg-buildpackage: the sources (as git lists them, or
# every file but the build folders outside git) are copied to <folder>/package-source,
# whose build tree is kept between runs, and the package lands in <folder>. Given a
# .deb, checks that one. Then checks the package's fields, contents and maintainer
# scripts, runs lintian, and checks that apt can resolve its dependencies here.
#
# With --install it also installs the package on this machine (apt-get, as root or
# through sudo), starts the program the way its desktop entry says (Exec in the Path
# folder) on a virtual X server, waits for its window, ends it with SIGTERM and checks
# the exit status and the settings it saved. The package stays installed; remove it
# with `apt-get purge turnkeeper`. packaging/check-service.sh installs, upgrades,
# removes and purges it and checks what its maintainer scripts do.
set -u

usage() {
    echo "usage: $0 [--install] [<package.deb> | <folder>]" >&2
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

# source_files: the sources' files, one a line, relative to the source folder.
source_files() {
    if git -C "$source_dir" rev-parse --is-inside-work-tree >/dev/null 2>&1; then
        # Tracked and new files, as the working tree has them now.
        git -C "$source_dir" ls-files -z --cached --others --exclude-standard |
            (cd "$source_dir" && while IFS= read -r -d '' file; do
                [ -e "$file" ] || [ -L "$file" ] && printf '%s\n' "$file"
            done) | sort -u
    else
        (cd "$source_dir" && find . -path ./.git -prune -o -path './build*' -prune \
            -o -path './obj-*' -prune -o \( -type f -o -type l \) -print | sed 's|^\./||')
    fi
}

# build_package <folder>: builds the package in <folder>; prints the package's path.
build_package() {
    local folder copy inside
    folder=$(mkdir -p "$1" && cd "$1" && pwd) || return 1
    copy="$folder/package-source"
    mkdir -p "$copy"
    # A fresh copy of the sources, but the build tree of the last run (obj-<triplet>),
    # which the copy's unchanged times keep up to date.
    find "$copy" -mindepth 1 -maxdepth 1 ! -name 'obj-*' -exec rm -rf {} + || return 1
    source_files >"$work/files" || return 1
    # Nothing of the folder itself, where it lies among the sources.
    inside=${folder#"$source_dir"/}
    if [ "$inside" != "$folder" ]; then
        grep -v -x -F -e "$inside" "$work/files" | grep -v -F -e "$inside/" >"$work/files.kept"
        mv "$work/files.kept" "$work/files"
    fi
    tar -C "$source_dir" -cf - --no-recursion -T "$work/files" | tar -C "$copy" -xf - ||
        return 1
    rm -f "$folder"/turnkeeper_*.deb
    (cd "$copy" && dpkg-buildpackage -us -uc -b -nc -j"$(nproc)") >&2 || return 1
    ls -t "$folder"/turnkeeper_*.deb 2>/dev/null | head -n 1
}

[ -n "$target" ] || target="$source_dir/build-package"
case $target in
*.deb) package=$target ;;
*)
    package=$(build_package "$target")
    [ -n "$package" ] || die "building the package in $target failed"
    ;;
esac
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
for dependency in libqt6widgets6 libqt6multimedia6 libqt6dbus6 fonts-comic-neue \
    libqt6sql6-sqlite default-dbus-system-bus; do
    check "Depends names $dependency" depends_on "$dependency"
done

dpkg-deb -c "$package" | awk '{ print $NF }' | sed 's|^\./|/|' >"$work/contents"
has() { grep -qx "$1" "$work/contents"; }
check "the program is /usr/bin/TurnKeeper" has /usr/bin/TurnKeeper
check "the lock tool is /usr/bin/turnkeeper-lock" has /usr/bin/turnkeeper-lock
check "the polkit action of the family's rules is packaged" \
    has /usr/share/polkit-1/actions/io.github.turnkeeper.policy
check "the lock's folder is packaged, for the guard to write" has /etc/xdg/TurnKeeper/
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

# The guard's unit in the maintainer scripts that dh_installsystemd wrote (what they do
# when run is packaging/check-service.sh's part).
unit=turnkeeper-guard.service
check "the guard's unit is packaged where systemd looks" has /lib/systemd/system/$unit
mkdir -p "$work/control"
dpkg-deb -e "$package" "$work/control"
script_says() { grep -q -F -e "$2" "$work/control/$1" 2>/dev/null; }
check "the postinst enables the guard's unit" script_says postinst "deb-systemd-helper enable '$unit'"
check "the postinst starts it, or restarts it on an upgrade" \
    script_says postinst "deb-systemd-invoke \$_dh_action '$unit'"
line_of() { grep -n -m1 -F -e "$2" "$work/control/$1" 2>/dev/null | cut -d: -f1; }
reloads_first() {
    local reload start
    reload=$(line_of postinst org.freedesktop.DBus.ReloadConfig)
    start=$(line_of postinst "deb-systemd-invoke")
    [ -n "$reload" ] && [ -n "$start" ] && [ "$reload" -lt "$start" ]
}
check "the postinst has the bus read the guard's policy before it starts the guard" reloads_first
check "the prerm stops the guard at the removal" script_says prerm "deb-systemd-invoke stop '$unit'"
check "the postrm forgets the unit at the purge" script_says postrm "deb-systemd-helper purge '$unit'"

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
    echo "The package stays installed; 'apt-get purge turnkeeper' removes it."
fi

summary
