#!/usr/bin/env bash
# Under a real window manager (openbox in a virtual X display), the main window and the about
# dialog open with their frames centred on the screen's work area, within a pixel; at a scale
# factor that makes the window taller than the screen, its top stays on the screen.
# Usage: centring_test.sh PROGRAM WORK_DIR
set -euo pipefail

program=$1
workdir=$2

source "$(dirname "$0")/../support/x_session.sh"
x_session_start "$workdir"
area=$(work_area)
read -r area_x area_y area_width area_height <<<"$area"

# Waits for the frame of window $1 to satisfy `awk` condition $2 on x, y, w, h (and the work
# area's ax, ay, aw, ah); the window may still be settling when it first shows.
expect_frame() {
    local window=$1 condition=$2 what=$3 frame=
    for _ in $(seq 50); do
        if frame=$(frame_of "$window") &&
            awk -v ax="$area_x" -v ay="$area_y" -v aw="$area_width" -v ah="$area_height" \
                "{ x = \$1; y = \$2; w = \$3; h = \$4; exit !($condition) }" <<<"$frame"; then
            return 0
        fi
        sleep 0.1
    done
    fail "$what: frame '$frame' (x y width height) in the work area" \
        "$area_x $area_y $area_width $area_height"
}
centred_across='(2 * x + w - (2 * ax + aw))^2 <= 4'
centred_down='(2 * y + h - (2 * ay + ah))^2 <= 4'

start_game "$program"
expect_frame "$window" "$centred_across && $centred_down" "main window not centred"

xdotool windowfocus --sync "$window"
xdotool key --delay 150 alt+a p  # Aide > A propos de...
dialog=$(timeout 30 xdotool search --sync --onlyvisible --name '^A propos de\.\.\.$' |
    head -n 1) || fail "no about dialog"
expect_frame "$dialog" "$centred_across && $centred_down" "about dialog not centred"
xdotool key Escape
quit_game

# Twice the size on this screen: taller than the work area, so the top edge is kept on it.
start_game env QT_SCALE_FACTOR=2 "$program"
expect_frame "$window" "h > ah && y == ay && $centred_across" \
    "main window at scale 2 not at the top of the work area"
echo "centring test: passed"
