#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Checks the package's debian/ folder against the rest of the sources, without building
# anything: scripts/setup.sh installs every package the build depends on (so that
# dpkg-buildpackage runs on a machine that setup.sh prepared), and the package's
# version is the program's.
#
#   packaging/check-debian.sh [<source folder>]
set -u
source_dir=${1:-$(dirname "$0")/..}

source "$source_dir/scripts/checks.sh"

# The packages scripts/setup.sh installs: the words of its packages=( ... ) list.
setup_packages=$(sed -n '/^packages=(/,/^)/{s/#.*//; s/packages=(//; s/)//; p}' \
    "$source_dir/scripts/setup.sh" | tr -s ' \t' '\n' | sed '/^$/d')
installs() { grep -qx -F -e "$1" <<<"$setup_packages"; }

# Each Build-Depends relation as its alternatives, "a|b", without versions.
build_depends=$(cd "$source_dir" && perl -MDpkg::Control::Info -MDpkg::Deps -e '
    my $field = Dpkg::Control::Info->new("debian/control")->get_source->{"Build-Depends"};
    for my $group (deps_parse($field, build_dep => 1)->get_deps) {
        my @names = map { $_->{package} } ($group->isa("Dpkg::Deps::OR") ? $group->get_deps : $group);
        print join("|", @names), "\n";
    }') || { echo "FAIL: cannot read debian/control"; exit 1; }
[ -n "$build_depends" ] || fail "debian/control names build dependencies"

# needed <relation> <why>: setup.sh installs one of the relation's alternatives.
needed() {
    local name
    for name in ${1//|/ }; do
        # debhelper-compat (= N) is a name that debhelper itself provides.
        [ "$name" = debhelper-compat ] && name=debhelper
        installs "$name" && return 0
    done
    return 1
}

while read -r relation why; do
    [ -n "$relation" ] && check "scripts/setup.sh installs $relation ($why)" needed "$relation"
done <<EOF
$(sed 's/$/ Build-Depends/' <<<"$build_depends")
build-essential dpkg-buildpackage checks for it
dpkg-dev dpkg-buildpackage
lintian the package's check
EOF

project_version=$(sed -n 's/^ *VERSION \([0-9.]*\)$/\1/p' "$source_dir/CMakeLists.txt" | head -n 1)
package_version=$(cd "$source_dir" && dpkg-parsechangelog -S Version)
same_version() { [ -n "$project_version" ] && [ "$package_version" = "$project_version" ]; }
check "debian/changelog's version ($package_version) is the program's ($project_version)" \
    same_version

summary
