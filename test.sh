#!/usr/bin/env bash
# Installs what is missing, then builds and runs the whole test suite twice: an optimised build,
# and a build under AddressSanitizer and UndefinedBehaviorSanitizer. Last, the program alone is
# built as a packager would, without the tests and their tools.
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)
jobs=$(nproc)
"$root/scripts/setup.sh"

"$root/scripts/build.sh" "$root/build" -DCMAKE_BUILD_TYPE=Release -DQUORBELIX_WERROR=ON \
    -DQUORBELIX_BENCHMARKS=ON
ctest --test-dir "$root/build" --output-on-failure --parallel "$jobs"

# The tests carry their sanitizer options themselves (tests/CMakeLists.txt).
"$root/scripts/build.sh" "$root/build-sanitize" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DQUORBELIX_WERROR=ON -DQUORBELIX_SANITIZE=ON
ctest --test-dir "$root/build-sanitize" --output-on-failure --parallel "$jobs"

"$root/scripts/build.sh" "$root/build-notests" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF
echo "The program builds without the tests."
