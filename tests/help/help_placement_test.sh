#!/usr/bin/env bash
# Opens the help from the real program under openbox on a wide, a middling and a small screen:
# the help window's frame lies inside the work area, beside the game's frame where both fit and
# against a screen edge otherwise; a second run restores where the player left it, unless that
# place no longer fits the screen.
# Usage: help_placement_test.sh PROGRAM WORK_DIR
set -euo pipefail

program=$1
workdir=$2
mkdir -p "$workdir"
help_title='Aide de Quorbelix'

source "$(dirname "$0")/../support/x_session.sh"
x_session_require xwininfo

# Starts a session on a screen of size $1 with the settings folder $2, and reads its work area.
start_session() {
    x_session_stop
    x_session_start "$workdir/$1" "$1"
    export XDG_CONFIG_HOME=$2
    local area
    area=$(work_area)
    read -r ax ay aw ah <<<"$area"
}

# Starts the game, opens its help from the menu and waits until both frames have settled: sets
# game_frame and help_frame ("x y width height").
open_help() {
    start_game "$program"
    choose_menu_item a r  # Aide > Rubriques de l'aide
    help_window=$(timeout 30 xdotool search --sync --onlyvisible --name "^$help_title" |
        head -n 1) || fail "no help window '$help_title'; output: $(cat "$program_log")"
    activate_window "$help_window"
    local previous=
    help_frame=
    for _ in $(seq 30); do
        previous=$help_frame
        help_frame=$(frame_of "$help_window") || help_frame=
        [[ -n "$help_frame" && "$help_frame" == "$previous" ]] && break
        sleep 0.2
    done
    game_frame=$(frame_of "$window") || fail "no frame for the game window"
}

# Fails unless awk condition $1 holds for the help frame (x y w h), the game frame (gx gy gw gh)
# and the work area (ax ay aw ah).
check() {
    awk -v ax="$ax" -v ay="$ay" -v aw="$aw" -v ah="$ah" -v game="$game_frame" \
        "{ x = \$1; y = \$2; w = \$3; h = \$4; split(game, g, \" \");
           gx = g[1]; gy = g[2]; gw = g[3]; gh = g[4]; exit !($1) }" <<<"$help_frame" ||
        fail "$2: help frame $help_frame, game frame $game_frame, work area $ax $ay $aw $ah"
}
inside='x >= ax && y >= ay && x + w <= ax + aw && y + h <= ay + ah'
apart='x >= gx + gw || x + w <= gx'
against_edge='x == ax || x + w == ax + aw'

for size in 1920x1080 1024x768 800x600; do
    settings="$workdir/settings-$size"
    rm -rf "$settings"
    start_session "$size" "$settings"
    open_help
    check "$inside" "$size: the help window leaves the work area"
    if [[ "$size" == 1920x1080 ]]; then
        check "$apart" "$size: the help window covers the game window"
    else
        check "$against_edge" "$size: the help window is not against a screen edge"
        # The game's other half is left to be clicked.
        check "x >= gx + gw / 2 || x + w <= gx + gw / 2" "$size: the help window covers the game"
    fi
    echo "$size: game frame $game_frame, help frame $help_frame (x y width height)"
    first=$help_frame
    quit_game "with its help window open"

    # Moved and closed by the player, it opens there again in the next run.
    open_help
    [[ "$help_frame" == "$first" ]] || fail "$size: help reopened at $help_frame, not $first"
    # Across only, to where it still lies inside the work area; xdotool places the inside of
    # the window, the frame's left and top extents from it.
    read -r left _ top _ < <(xprop -id "$help_window" _NET_FRAME_EXTENTS | sed 's/.*= //; s/,//g')
    xdotool windowmove "$help_window" $((ax + 60 + left)) $(($(cut -d ' ' -f 2 <<<"$first") + top))
    moved=
    for _ in $(seq 50); do
        moved=$(frame_of "$help_window") || moved=
        [[ -n "$moved" && "$moved" != "$first" ]] && break
        sleep 0.1
    done
    activate_window "$help_window"
    xdotool key ctrl+w
    timeout 30 bash -c "while xdotool search --onlyvisible --name '^$help_title' >/dev/null; do
        sleep 0.1; done" || fail "$size: ctrl+w did not close the help window"
    quit_game
    open_help
    [[ "$help_frame" == "$moved" ]] || fail "$size: help reopened at $help_frame, not $moved"
    quit_game
done

# A place saved on the wide screen does not fit the small one: the help is placed afresh.
wide="$workdir/settings-1920x1080"
start_session 800x600 "$wide"
open_help
check "$inside" "800x600 after 1920x1080: the help window leaves the work area"
check "$against_edge" "800x600 after 1920x1080: the help window is not against a screen edge"
quit_game
echo "help placement test: passed"
