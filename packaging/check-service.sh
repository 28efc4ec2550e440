#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs TurnKeeper's package on this machine with dpkg, upgrades it, removes it and
# purges it, and checks at each step what its maintainer scripts did with the guard's
# unit: enabled for multi-user.target at install (deb-systemd-helper's links and its
# record of them), an administrator's choice kept through an upgrade, everything gone
# at the purge. Where systemd runs, also that the guard runs after the install and no
# longer after the removal. On the system bus (one of its own, for the time of the
# check, where none runs), that the guard's policy is in force once the package is
# installed, and gone once it is purged.
#
#   packaging/check-service.sh <package.deb | folder holding turnkeeper_*.deb>
#
# Needs root. It leaves the machine as it found it: it will not touch a machine where
# turnkeeper is installed already (or left its configuration behind), and it purges
# the package on every way out. Exits with 77 (skipped) when it cannot run here.
set -u
target=${1:?usage: check-service.sh <package.deb | folder>}

source "$(dirname "$0")/../scripts/checks.sh"

unit=turnkeeper-guard.service
unit_file=/lib/systemd/system/$unit
wants_link=/etc/systemd/system/multi-user.target.wants/$unit
dsh_state=/var/lib/systemd/deb-systemd-helper-enabled
state_dir=/var/lib/turnkeeper

skip() {
    echo "SKIP: $*"
    exit 77
}

if [ -d "$target" ]; then
    package=$(ls -t "$target"/turnkeeper_*.deb 2>/dev/null | head -n 1)
else
    package=$target
fi
[ -f "$package" ] || { echo "FAIL: no package at $target"; exit 1; }
package=$(readlink -f "$package")

[ "$(id -u)" -eq 0 ] || skip "installing a package needs root"
status() { dpkg-query -W -f='${db:Status-Abbrev}' turnkeeper 2>/dev/null | tr -d ' '; }
[ -z "$(status)" ] || [ "$(status)" = un ] ||
    skip "turnkeeper is known to dpkg here ($(status)); this check leaves such a machine alone"
traces() {
    find /etc/systemd/system "$dsh_state" -name "$unit*" 2>/dev/null
    [ -e "$state_dir" ] && echo "$state_dir"
}
[ -z "$(traces)" ] || skip "a turnkeeper guard was set up here by other means: $(traces | tr '\n' ' ')"
missing=$(apt-get install --simulate -q --no-install-recommends "$package" 2>/dev/null |
    sed -n 's/^Inst \([^ ]*\) .*/\1/p' | grep -vx turnkeeper | tr '\n' ' ')
[ -z "$missing" ] || skip "the package's dependencies are not all installed; first: apt-get install $missing"

systemd_runs=false
[ -d /run/systemd/system ] && systemd_runs=true
bus_socket=/run/dbus/system_bus_socket
if ! $systemd_runs && [ ! -S "$bus_socket" ] && [ -e /run/dbus/pid ]; then
    skip "/run/dbus/pid is there, but no system bus answers"
fi

work=$(mktemp -d)
installed=false
bus_pid=
guard_pid=
cleanup() {
    [ -n "$guard_pid" ] && kill "$guard_pid" 2>/dev/null
    $installed && dpkg --purge turnkeeper >/dev/null 2>&1
    if [ -n "$bus_pid" ]; then
        kill "$bus_pid" 2>/dev/null
        rm -f /run/dbus/pid "$bus_socket"
    fi
    rm -rf "$work"
}
trap cleanup EXIT

echo "Checking the maintainer scripts of $package"
echo "systemd runs as PID 1 here: $systemd_runs ($(ps -o comm= -p 1))"
if [ ! -S "$bus_socket" ] && ! $systemd_runs; then
    mkdir -p /run/dbus
    bus_pid=$(dbus-daemon --system --fork --print-pid) || { echo "FAIL: dbus-daemon --system"; exit 1; }
    echo "No system bus ran here: started one (pid $bus_pid) for the time of the check"
fi

# run_dpkg <name> <dpkg arguments...>: runs dpkg, keeping its output in <name>.log.
run_dpkg() {
    local name=$1
    shift
    DEBIAN_FRONTEND=noninteractive dpkg "$@" >"$work/$name.log" 2>&1
    local result=$?
    sed 's/^/    dpkg: /' "$work/$name.log"
    return $result
}
# show: what deb-systemd-helper and systemd keep about the unit now.
show() {
    echo "  --- $1"
    find /etc/systemd/system "$dsh_state" -name "$unit*" \
        \( -type l -printf '    %p -> %l\n' -o -printf '    %p\n' \) 2>/dev/null
    [ -f "$dsh_state/$unit.dsh-also" ] && sed "s|^|    $unit.dsh-also: |" "$dsh_state/$unit.dsh-also"
    return 0
}
enabled() { systemctl --quiet is-enabled "$unit" 2>/dev/null; }
linked() { [ "$(readlink "$wants_link")" = "$unit_file" ]; }
recorded() { grep -qx "$wants_link" "$dsh_state/$unit.dsh-also" 2>/dev/null; }
active() { systemctl is-active --quiet "$unit"; }
no_traces() { [ -z "$(traces)" ]; }
guard_name=io.github.turnkeeper.Guard1
bus_says() {
    dbus-send --system --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
        "org.freedesktop.DBus.$1" string:$guard_name 2>&1
}
# start_guard: where systemd runs, it started the guard; elsewhere the guard is started
# as its unit would run it: root, a state folder of its own, no lock (so it answers
# every call with its own error). Succeeds once the guard owns its name on the bus.
start_guard() {
    if ! $systemd_runs; then
        mkdir -m 0700 "$work/state"
        STATE_DIRECTORY="$work/state" /usr/libexec/turnkeeper-guard \
            --lock-file "$work/no-lock.conf" >"$work/guard.log" 2>&1 &
        guard_pid=$!
    fi
    local _
    for _ in $(seq 300); do
        grep -q 'boolean true' <<<"$(bus_says NameHasOwner)" && return 0
        [ -z "$guard_pid" ] || kill -0 "$guard_pid" 2>/dev/null || break
        sleep 0.1
    done
    [ -f "$work/guard.log" ] && cat "$work/guard.log"
    return 1
}
stop_guard() {
    [ -n "$guard_pid" ] || return 0
    kill "$guard_pid" 2>/dev/null
    wait "$guard_pid" 2>/dev/null
    guard_pid=
}
# another_account_reaches_the_guard: nobody's call is answered by the guard itself.
another_account_reaches_the_guard() {
    local answer
    answer=$(setpriv --reuid=nobody --regid=nogroup --clear-groups dbus-send --system \
        --print-reply --dest=$guard_name /io/github/turnkeeper/Guard1 $guard_name.Turn 2>&1)
    echo "    nobody calls Turn: $answer" | head -n 3
    grep -q -e '^method return' -e "^Error $guard_name\.Error\." <<<"$answer"
}
# root_may_own_the_name: what the bus's policy says, asked by taking the name.
root_may_own_the_name() {
    /usr/bin/python3 -c '
import sys, dbus
try:
    dbus.SystemBus().request_name(sys.argv[1], dbus.bus.NAME_FLAG_DO_NOT_QUEUE)
except dbus.exceptions.DBusException as error:
    sys.exit(error.get_dbus_name() == "org.freedesktop.DBus.Error.AccessDenied")
' $guard_name
}

dbus_watches_policies() {
    grep -qs '/usr/share/dbus-1/system.d' /var/lib/dpkg/info/dbus.triggers
}

# --- A first install --------------------------------------------------------------
installed=true
check "dpkg installs the package" run_dpkg install --install "$package"
check "the package is installed and configured" [ "$(status)" = ii ]
show "after the install"
check "the guard's unit is installed in $unit_file" test -f "$unit_file"
check "the postinst enabled the unit for multi-user.target" linked
check "systemctl says the unit is enabled" enabled
check "deb-systemd-helper recorded the link, to undo it at the purge" recorded
if $systemd_runs; then
    check "the postinst started the guard" active
else
    echo "    (no systemd here: deb-systemd-invoke starts nothing, as it should)"
fi
if dbus_watches_policies; then
    check "dbus's trigger, which reloads the system bus's policies, ran" \
        grep -q "^Processing triggers for dbus " "$work/install.log"
fi
check "the installed guard owns its name on the system bus" start_guard
check "another account's call reaches the guard" another_account_reaches_the_guard
stop_guard

# --- Upgrades ---------------------------------------------------------------------
check "dpkg upgrades the package over itself" run_dpkg upgrade --install "$package"
check "an upgrade keeps the unit enabled" eval 'enabled && linked && recorded'
if $systemd_runs; then
    check "the guard runs after the upgrade" active
fi

systemctl --quiet disable "$unit"
check "an administrator can disable the unit" eval '! enabled && ! linked'
check "dpkg upgrades the package with the unit disabled" \
    run_dpkg upgrade-disabled --install "$package"
check "an upgrade leaves a disabled unit disabled" eval '! enabled && ! linked'
systemctl --quiet enable "$unit"
check "the administrator enables it again" eval 'enabled && linked'

# --- Removal and purge ------------------------------------------------------------
# What the guard leaves in its state folder while it runs.
mkdir -p -m 0700 "$state_dir"
echo turn >"$state_dir/1000.turn"

check "dpkg removes the package" run_dpkg remove --remove turnkeeper
check "only its configuration is left" [ "$(status)" = rc ]
show "after the removal"
check "the unit's file is gone" test ! -e "$unit_file"
check "the guard's program is gone" test ! -e /usr/libexec/turnkeeper-guard
if $systemd_runs; then
    check "the prerm stopped the guard" eval '! active'
fi
check "the guard's turns are kept until the purge" test -f "$state_dir/1000.turn"

check "dpkg purges the package" run_dpkg purge --purge turnkeeper
status_after=$(status)
check "dpkg forgets the package" [ -z "$status_after" -o "$status_after" = un ]
show "after the purge"
check "no link, record or state of the guard is left" no_traces
installed=false
if ! $systemd_runs; then
    check "the system bus no longer lets root own the guard's name" eval '! root_may_own_the_name'
fi

summary
