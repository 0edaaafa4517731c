#!/usr/bin/env bash
# Installs what is missing, builds, and starts Quorbelix.
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh" "$root/build" -DCMAKE_BUILD_TYPE=Release
exec "$root/build/app/quorbelix"
