#!/usr/bin/env bash
# Opens the help from the real program in a virtual X display under openbox, through the menu as a
# person would, then quits the game: the help window must close with it.
# Usage: help_smoke_test.sh PROGRAM WORK_DIR
set -euo pipefail

program=$1
workdir=$2
mkdir -p "$workdir"
help_title='Aide de Quorbelix'

source "$(dirname "$0")/../support/x_session.sh"

program_dir=$(dirname "$program")
for file in quorbelix.reg Quorbelix.chm; do
    [[ -f "$program_dir/$file" ]] || fail "no $file beside the program in $program_dir"
done

x_session_start "$workdir"
start_game "$program"

choose_menu_item a r  # Aide > Rubriques de l'aide

help_window=$(timeout 30 xdotool search --sync --onlyvisible --name "^$help_title" | head -n 1) ||
    fail "no help window '$help_title'; program output: $(cat "$workdir/program.log")"
[[ "$help_window" != "$window" ]] || fail "the help opened in the game window"
# The window manager gives the new window the focus once it has mapped it: wait for that, so
# that it does not take the focus back from the game window while the game is quitting.
activate_window "$help_window"
# The help window is the desktop's, not the game's: no transient link to the game window.
! xprop -id "$help_window" WM_TRANSIENT_FOR | grep -q 'window id' ||
    fail "the help window is tied to the game window"

# Back to the game, which quits from its menu while the help window is open.
quit_game "while its help window was open"
if xdotool search --name "^$help_title" >/dev/null 2>&1; then
    fail "the help window outlived the program"
fi
echo "help smoke test: passed"
