#!/usr/bin/env bash
# Builds the Debian package quorbelix_<version>_<arch>.deb in build-package/ (the "package"
# preset: Release, without the tests, prefix /usr) with Debian's hardening flags, and checks it
# with lintian.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build_dir=$root/build-package

# What packaging needs beyond building: dpkg-shlibdeps (dpkg-dev), which reads the programs that
# file(1) finds, and lintian.
"$root/scripts/setup.sh" dpkg-dev file lintian

# The compiler and linker flags Debian builds its own packages with (hardening included).
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
LDFLAGS=$(dpkg-buildflags --get LDFLAGS)
export CXXFLAGS LDFLAGS
export CMAKE_BUILD_PARALLEL_LEVEL=${CMAKE_BUILD_PARALLEL_LEVEL:-$(nproc)}

# A fresh configuration, so that the flags above are the ones used.
rm -f "$build_dir/CMakeCache.txt"
cd "$root"
cmake --workflow --preset package

deb=$(find "$build_dir" -maxdepth 1 -name 'quorbelix_*.deb' -newer "$build_dir/CMakeCache.txt" | head -n 1)
[[ -n "$deb" ]] || { echo "package.sh: cpack made no package" >&2; exit 1; }
echo "lintian $deb:"
lintian --info --fail-on error "$deb"
echo "package: $deb"
echo "install it with: sudo apt install $deb"
