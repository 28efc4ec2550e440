#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The guard's part of the benchmark: builds turnkeeper-guard and turnkeeper-lock
# (Release, in build-bench/) and measures the guard on a private system-like bus with
# bench/guard.py, which says what it measures. As root. Not part of the test command.
#   bench/guard.sh          the table, with the least Qt D-Bus service (bench/guardfloor)
#   bench/guard.sh serve    the bus and the guard, kept until standard input closes
set -euo pipefail

SOURCE=$(cd "$(dirname "$0")/.." && pwd)
BUILD=$SOURCE/build-bench
[ "$(id -u)" = 0 ] || { echo "bench: the guard's part runs as root" >&2; exit 2; }
for tool in cmake dbus-daemon setpriv; do
    command -v "$tool" >/dev/null || { echo "bench: $tool is missing" >&2; exit 2; }
done
cmake -S "$SOURCE" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build "$BUILD" --target turnkeeper-guard turnkeeper-lock >/dev/null
floor=()
if [ "${1:-}" != serve ]; then
    cmake -S "$SOURCE/bench/guardfloor" -B "$BUILD/guardfloor" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build "$BUILD/guardfloor" >/dev/null
    floor=("$BUILD/guardfloor/GuardFloor")
fi
echo "== machine: $(nproc) CPUs, $(grep -m1 '^model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //')," \
    "Debian $(cat /etc/debian_version), Qt $(qtpaths6 --qt-version 2>/dev/null || echo '?'), $(date -u +%F)" >&2
exec /usr/bin/python3 "$SOURCE/bench/guard.py" "$BUILD/turnkeeper-guard" "$BUILD/turnkeeper-lock" \
    "$SOURCE/packaging/io.github.turnkeeper.Guard1.conf" "${floor[@]}" "$@"
