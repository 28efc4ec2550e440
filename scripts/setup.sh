#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs from Debian 12 whatever the build, the program and its tests still lack.
set -euo pipefail

packages=(
    cmake g++ make               # build
    qt6-base-dev qt6-multimedia-dev
    qt6-tools-dev qt6-l10n-tools # the translations: qt_add_translations, lupdate, lrelease
    qt6-translations-l10n        # Qt's own texts (the standard dialogs' buttons) in each language
    libqt6sql6-sqlite            # the record of turns (Qt SQL's SQLite driver)
    libxcb1-dev                  # the window manager's workspace hints
    libdbus-1-dev pkgconf        # the guard sets one limit of libdbus itself
    fonts-comic-neue             # stands in for Comic Sans MS
    xvfb xauth xdotool           # the tests that run the program on a real X server
    pulseaudio pulseaudio-utils  # a sound server of the tests' own, to hear the horn
    imagemagick                  # screenshots, to see what the screen shows
    openbox wmctrl x11-utils xclip python3 procps  # the hostile-conditions suite
    xfce4-session dbus-daemon    # its logout from a session manager
    desktop-file-utils appstream # validate the desktop entry and the metainfo file
    dpkg-dev debhelper build-essential  # the Debian package: dpkg-buildpackage, dh
    lintian                      # Debian's checker of the package
    man-db                       # man --warnings checks the manual pages
    strace                       # watches what a settings save does on the disk
    at-spi2-core python3-pyatspi # the screen reader's view: the accessibility bus, a client
    python3-dbusmock util-linux  # the guard's suite: a stand-in logind, setpriv
    systemd                      # systemd-analyze verify on the guard's unit
    libfaketime                  # the program's wall clock moved, in the guard's hostile suite
)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=()
[ "$(id -u)" -ne 0 ] && sudo=(sudo)
echo "Installing: ${missing[*]}"
"${sudo[@]}" apt-get update -q
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
