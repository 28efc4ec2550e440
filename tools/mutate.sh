#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Breaks the logic on purpose, one line at a time, to see whether the unit tests notice.
#
#   tools/mutate.sh [LIST]
#
# Copies the source (the files git knows, as they stand in the working tree) into a
# temporary folder, builds it and runs `ctest -L unit` once as it is, which must pass.
# Then, for each line of LIST (tools/mutations.txt by default), puts the faulty text in
# place of the sound one, builds, runs `ctest -L unit`, and puts the sound text back.
# At the end it prints every change that no test noticed. It never touches the
# checkout it is run from. Exit status: 0 when every change was noticed, 1 when some
# were not, 2 when the copy does not build or pass as it is.
#
# JOBS sets the parallel jobs of the build and of ctest (all processors by default);
# CMAKE_CXX_COMPILER_LAUNCHER=ccache in the environment speeds up the rebuilds.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
list=$(realpath "${1:-$here/mutations.txt}")
jobs=${JOBS:-$(nproc)}
separator=' ==> '

work=$(mktemp -d "${TMPDIR:-/tmp}/mutate.XXXXXX")
trap 'rm -rf "$work"' EXIT
copy=$work/source
build=$copy/build # where a checkout builds, so that a shared compiler cache finds its work
log=$work/log
mkdir -p "$copy"
(cd "$root" && git ls-files -z --cached --others --exclude-standard |
    tar --null --files-from=- --ignore-failed-read -cf - 2>/dev/null) | tar -xf - -C "$copy"

build_and_test() {
    cmake --build "$build" -j"$jobs" >"$log" 2>&1 || return 2
    ctest --test-dir "$build" -L unit -j"$jobs" --stop-on-failure >>"$log" 2>&1 || return 1
}

echo "Building and testing the copy as it is, in $work ..."
if ! cmake -S "$copy" -B "$build" >"$log" 2>&1 || ! build_and_test; then
    tail -n 40 "$log"
    echo "The copy fails as it is: no change can be tried." >&2
    exit 2
fi

count() { # occurrences of $FROM in file $1
    FROM=$from perl -0ne 'print scalar(() = /\Q$ENV{FROM}\E/g)' "$1"
}

survivors=()
stale=0 tried=0 unbuilt=0 number=0
while IFS= read -r line || [[ -n $line ]]; do
    number=$((number + 1))
    [[ $line =~ ^[[:space:]]*(#|$) ]] && continue
    file=${line%%"$separator"*}
    rest=${line#*"$separator"}
    from=${rest%%"$separator"*}
    to=${rest#*"$separator"}
    name="$file:$number: $from  ->  $to"
    if [[ $rest == "$line" || $to == "$rest" || ! -f $copy/$file || $(count "$copy/$file") != 1 ]]; then
        echo "stale      $name"
        stale=$((stale + 1))
        continue
    fi
    cp "$copy/$file" "$work/original"
    FROM=$from TO=$to perl -0pi -e 's/\Q$ENV{FROM}\E/$ENV{TO}/' "$copy/$file"
    tried=$((tried + 1))
    status=0
    build_and_test || status=$?
    case $status in
    0) echo "NOT NOTICED $name"; survivors+=("$name") ;;
    1) echo "noticed    $name" ;;
    *) echo "no build   $name"; unbuilt=$((unbuilt + 1)) ;;
    esac
    # A fresh time stamp, so that the next build compiles the sound text again.
    cp "$work/original" "$copy/$file"
done <"$list"

echo
echo "$tried changes tried: $((tried - unbuilt - ${#survivors[@]})) noticed," \
    "${#survivors[@]} not noticed, $unbuilt did not build; $stale stale lines in $list."
if ((${#survivors[@]})); then
    echo "Not noticed by any unit test:"
    printf '  %s\n' "${survivors[@]}"
    exit 1
fi
