#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need, when missing, and the
# further packages named as arguments (scripts/package.sh names those of packaging).
# Usage: scripts/setup.sh [PACKAGE...]
set -euo pipefail

packages=(
    build-essential cmake clang-format
    qt6-base-dev qt6-base-dev-tools qt6-svg-dev qt6-translations-l10n libx11-dev libicu-dev
    libchm-dev fp-utils
    libgtest-dev libgmock-dev libbenchmark-dev
    fonts-dejavu-core fonts-liberation
    xvfb xauth xdotool x11-utils imagemagick openbox
    dbus-daemon at-spi2-core python3-pyatspi python3-gi
    librsvg2-bin desktop-file-utils appstream
    "$@"
)

missing=()
for package in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$package")
done

if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    sudo=()
    ((EUID == 0)) || sudo=(sudo)
    "${sudo[@]}" apt-get update -qq
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
