# Sourced by the real-window tests: a virtual X display with a real window manager (openbox), as
# on a player's desktop, where focus, frames and centring behave as they do there.
#   x_session_start WORK_DIR [SIZE]
#                              starts both on a screen of SIZE (1024x768 unless given) and
#                              exports DISPLAY; skips the test (exit 77) when Xvfb, openbox,
#                              xdotool or xprop is missing
#   x_session_track PID        a process of the test's, ended with the session
#   fail MESSAGE...            ends the test with MESSAGE
#   start_game COMMAND...      starts the game on the display, its output in WORK_DIR/program.log,
#                              and waits for its main window: sets program_pid and window
#   activate_window WINDOW     makes WINDOW the active window and waits until it is
#   choose_menu_item KEY ITEM  in the game window, opens the menu of ALT+KEY, waits for it, then
#                              presses ITEM
#   quit_game [WHILE]          quits the game from its menu; it must end with exit code 0
#   frame_of WINDOW            prints the frame of WINDOW as "x y width height"
#   work_area                  waits for openbox's work area and prints it as "x y width height"
# Everything started here ends when the sourcing script exits.

x_session_pids=()

fail() {
    echo "$(basename "$0"): $*" >&2
    exit 1
}

x_session_track() {
    x_session_pids=("$1" "${x_session_pids[@]}")
}

x_session_stop() {
    local pid
    for pid in "${x_session_pids[@]}"; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    x_session_pids=()
}
trap x_session_stop EXIT

# Ends the test as skipped (exit 77, which ctest reports as "Not Run") when a tool the session
# needs is missing: test.sh installs them all, a bare machine may not have them.
x_session_require() {
    local tool
    for tool in "$@"; do
        if ! command -v "$tool" >/dev/null; then
            echo "$(basename "$0"): skipped: $tool is not installed (scripts/setup.sh installs it)"
            exit 77
        fi
    done
}

x_session_start() {
    local workdir=$1 size=${2:-1024x768}
    x_session_require Xvfb openbox xdotool xprop
    x_session_workdir=$workdir
    mkdir -p "$workdir"
    # Xvfb picks a free display itself and writes its number once it accepts clients, so that
    # tests running side by side never share one.
    local display_file="$workdir/display"
    rm -f "$display_file"
    # -noreset: by default the server resets when its last client leaves, and refuses clients
    # meanwhile; a check that connects and leaves would make the next client fail.
    Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp -noreset 3>"$display_file" \
        2>"$workdir/xvfb.log" &
    x_session_track $!
    local xvfb_pid=$!
    for _ in $(seq 100); do
        [[ -s "$display_file" ]] && break
        kill -0 "$xvfb_pid" 2>/dev/null || fail "Xvfb did not start: $(cat "$workdir/xvfb.log")"
        sleep 0.1
    done
    [[ -s "$display_file" ]] || fail "Xvfb gave no display"
    export DISPLAY=":$(head -n 1 "$display_file")"
    for _ in $(seq 100); do
        xprop -root >/dev/null 2>&1 && break
        sleep 0.1
    done
    xprop -root >/dev/null 2>&1 || fail "Xvfb does not answer on $DISPLAY: $(cat "$workdir/xvfb.log")"

    # openbox has no configuration of ours; it is ready once it owns the root window's
    # _NET_SUPPORTING_WM_CHECK.
    openbox --sm-disable >"$workdir/openbox.log" 2>&1 &
    x_session_track $!
    for _ in $(seq 100); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && return 0
        sleep 0.1
    done
    fail "openbox did not start: $(cat "$workdir/openbox.log")"
}

start_game() {
    program_log="$x_session_workdir/program.log"
    QT_QPA_PLATFORM=xcb "$@" >"$program_log" 2>&1 &
    program_pid=$!
    x_session_track "$program_pid"
    window=$(timeout 60 xdotool search --sync --onlyvisible --name '^Quorbelix 1\.0$' |
        head -n 1) || fail "no window 'Quorbelix 1.0'; program output: $(cat "$program_log")"
}

# Every wait below is for a condition, bounded: under load the window manager and the program
# take their time, and keys sent too early go to another window or are lost.
activate_window() {
    local target=$1
    for _ in $(seq 200); do
        [[ "$(xdotool getactivewindow 2>/dev/null)" == "$target" ]] && return 0
        xdotool windowactivate "$target" 2>/dev/null || true
        sleep 0.1
    done
    fail "window $target never became active"
}

choose_menu_item() {
    local key=$1 item=$2 candidate
    activate_window "$window"
    xdotool key "alt+$key"
    for _ in $(seq 200); do
        for candidate in $(xdotool search --onlyvisible --pid "$program_pid" 2>/dev/null); do
            if xprop -id "$candidate" _NET_WM_WINDOW_TYPE 2>/dev/null | grep -q _MENU; then
                xdotool key "$item"
                return 0
            fi
        done
        sleep 0.1
    done
    fail "the menu of alt+$key did not open"
}

quit_game() {
    choose_menu_item f q  # Fichier > Quitter
    local status=0
    timeout 30 tail --pid="$program_pid" -f /dev/null || fail "the program did not end${1:+ $1}"
    wait "$program_pid" || status=$?
    [[ "$status" -eq 0 ]] || fail "exit code $status; output: $(cat "$program_log")"
}

# The frame of window $1 as "x y width height": the client's place grown by the frame extents.
frame_of() {
    local info extents left right top bottom
    info=$(xwininfo -id "$1")
    extents=$(xprop -id "$1" _NET_FRAME_EXTENTS)
    [[ "$extents" == *=* ]] || return 1
    read -r left right top bottom < <(sed 's/.*= //; s/,//g' <<<"$extents")
    awk -v l="$left" -v r="$right" -v t="$top" -v b="$bottom" '
        /Absolute upper-left X/ { x = $NF } /Absolute upper-left Y/ { y = $NF }
        /Width:/ { w = $NF } /Height:/ { h = $NF }
        END { print x - l, y - t, w + l + r, h + t + b }' <<<"$info"
}

# Waits for the work area of the first desktop, which openbox publishes once it has set itself
# up, and prints it as "x y width height".
work_area() {
    local area=
    for _ in $(seq 50); do
        area=$(xprop -root _NET_WORKAREA)
        [[ "$area" == *=* ]] && break
        sleep 0.1
    done
    [[ "$area" == *=* ]] || fail "openbox published no work area"
    sed 's/.*= //; s/,//g' <<<"$area"
}
