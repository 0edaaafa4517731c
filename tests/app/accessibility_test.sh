#!/usr/bin/env bash
# The real program as a screen reader meets it: in a virtual X display under openbox, with a
# private D-Bus session and the desktop's accessibility bus (AT-SPI), accessibility_check.py walks
# its accessibility tree and plays it through the keyboard while listening to the bus.
# Usage: accessibility_test.sh PROGRAM WORK_DIR
set -euo pipefail

program=$1
workdir=$2
here=$(cd "$(dirname "$0")" && pwd)

# A session bus of the test's own, so that nothing of the desktop's (or of another test's) is
# heard; the accessibility bus starts on it when the program asks for it.
if [[ -z "${QUORBELIX_PRIVATE_BUS:-}" ]]; then
    command -v dbus-run-session >/dev/null || { echo "SKIP: dbus-run-session is missing"; exit 77; }
    exec env QUORBELIX_PRIVATE_BUS=1 dbus-run-session -- bash "$0" "$@"
fi
/usr/bin/python3 -c 'import pyatspi' 2>/dev/null ||
    { echo "SKIP: python3-pyatspi is missing"; exit 77; }
[[ -x /usr/libexec/at-spi-bus-launcher ]] || { echo "SKIP: at-spi2-core is missing"; exit 77; }

mkdir -p "$workdir"
source "$here/../support/x_session.sh"
x_session_start "$workdir"
# Qt speaks to the accessibility bus only when asked, as a screen reader's presence would ask it.
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
start_game "$program"
xdotool windowfocus --sync "$window"

/usr/bin/python3 "$here/accessibility_check.py" "$here/../../scripts" ||
    fail "the accessibility check failed; program output: $(cat "$program_log")"
