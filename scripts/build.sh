#!/usr/bin/env bash
# Usage: scripts/build.sh BUILD_DIR [cmake options...]
# Configures and builds the project into BUILD_DIR with every core of the machine.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build_dir=$1
shift
cmake -S "$root" -B "$build_dir" "$@" >/dev/null
cmake --build "$build_dir" --parallel "$(nproc)"
