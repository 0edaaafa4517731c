#!/usr/bin/env bash
# Installs what is missing, builds, and starts Quorbelix.
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh" "$root/build" -DCMAKE_BUILD_TYPE=Release
# The window arrives with the game's window module; until then, show the engine at work.
solver="$root/build/tools/quorbelix-solve"
echo "Draw: plates 100 75 50 25 10 1, target 999"
"$solver" 100 75 50 25 10 1 999 | sed -n 1,5p
echo "Solutions: $("$solver" --count 100 75 50 25 10 1 999)"
