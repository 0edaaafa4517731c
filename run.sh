#!/usr/bin/env bash
# Installs what is missing, builds the program alone (no tests), and starts Quorbelix.
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)
"$root/scripts/setup.sh"
export CMAKE_BUILD_PARALLEL_LEVEL=${CMAKE_BUILD_PARALLEL_LEVEL:-$(nproc)}
cd "$root"
cmake --workflow --preset notests
exec "$root/build-notests/bin/quorbelix"
