#!/usr/bin/env bash
# Plays the real program in a virtual X display under openbox, through the keyboard as a person would:
# a new draw, a solve, a look at the screen, then quit.
# Usage: smoke_test.sh PROGRAM WORK_DIR
set -euo pipefail

program=$1
workdir=$2
mkdir -p "$workdir"
screenshot="$workdir/quorbelix.png"
rm -f "$screenshot"

source "$(dirname "$0")/../support/x_session.sh"
x_session_start "$workdir"
start_game "$program"

# The size hints must fix the size themselves, whatever the window manager does with them.
hints=$(xprop -id "$window" WM_NORMAL_HINTS)
minimum=$(sed -n 's/.*program specified minimum size: \([0-9]* by [0-9]*\).*/\1/p' <<<"$hints")
maximum=$(sed -n 's/.*program specified maximum size: \([0-9]* by [0-9]*\).*/\1/p' <<<"$hints")
[[ -n "$minimum" && "$minimum" == "$maximum" ]] ||
    fail "size not fixed: minimum '$minimum', maximum '$maximum'"
read -r width _ height <<<"$minimum"
[[ "$width" -eq 281 ]] || fail "window $width wide, not 281"

# The solution label: 16,200 and 249 x 153 in the client area, which ends at the window's bottom
# 397 pixels below the menu bar. Prints the shares of its light and of its dark pixels.
label="249x153+16+$((height - 397 + 200))"
measure_label() {
    import -window "$window" "$screenshot"
    convert "$screenshot" -crop "$label" +repage -colorspace Gray -threshold 75% \
        -format '%[fx:mean] ' info:
    convert "$screenshot" -crop "$label" +repage -colorspace Gray -negate -threshold 75% \
        -format '%[fx:mean]\n' info:
}
has_text() {
    awk -v light="$1" -v dark="$2" 'BEGIN { exit !(light > 0.005 && dark > 0.5) }'
}

# Keys go to the focused window.
xdotool windowfocus --sync "$window"
play() {
    xdotool key --delay 150 "$@"
    sleep 0.5
}
read -r light dark < <(measure_label)
! has_text "$light" "$dark" || fail "the solution label shows text before any solve"

play alt+e n  # Edition > Nouveau tirage
play alt+e s  # Edition > Solutions du tirage

# The dark label must now carry light text; a slow machine gets some time to get there.
shown=
for _ in $(seq 40); do
    read -r light dark < <(measure_label)
    if has_text "$light" "$dark"; then
        shown=yes
        break
    fi
    sleep 0.5
done
[[ -n "$shown" ]] ||
    fail "no light text on the dark solution label (light share $light, dark share $dark)"

quit_game
echo "smoke test: passed; screenshot in $screenshot"
