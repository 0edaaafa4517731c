#!/usr/bin/env bash
# Installs what is missing, then builds and runs the whole test suite twice:
# an optimised build, and a build under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)
jobs=$(nproc)
"$root/scripts/setup.sh"

"$root/scripts/build.sh" "$root/build" -DCMAKE_BUILD_TYPE=Release
ctest --test-dir "$root/build" --output-on-failure --parallel "$jobs"

"$root/scripts/build.sh" "$root/build-sanitize" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DQUORBELIX_SANITIZE=ON -DQUORBELIX_BENCHMARKS=OFF
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export LSAN_OPTIONS="suppressions=$root/scripts/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir "$root/build-sanitize" --output-on-failure --parallel "$jobs"
