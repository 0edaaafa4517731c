#!/usr/bin/env bash
# Installs what is missing, then builds and runs the whole test suite twice: an optimised build,
# and a build under AddressSanitizer and UndefinedBehaviorSanitizer. Last, the program alone is
# built as a packager would, without the tests and their tools. Each is a workflow preset of
# CMakePresets.json, which `cmake --workflow --preset NAME` runs alone.
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)
"$root/scripts/setup.sh"

export CMAKE_BUILD_PARALLEL_LEVEL=${CMAKE_BUILD_PARALLEL_LEVEL:-$(nproc)}
export CTEST_PARALLEL_LEVEL=${CTEST_PARALLEL_LEVEL:-$(nproc)}
cd "$root"
cmake --workflow --preset release
# The tests carry their sanitizer options themselves (tests/CMakeLists.txt).
cmake --workflow --preset sanitize
cmake --workflow --preset notests
echo "The program builds without the tests."
