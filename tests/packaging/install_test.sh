#!/usr/bin/env bash
# Installs the build into a temporary prefix, checks the install tree, and runs the installed
# solver and the installed game (under Xvfb with openbox, with -debug, opening its help).
# Usage: install_test.sh BUILD_DIR PRIVATE_DIR WORK_DIR
# No DESTDIR: the registry file names the library's final path, which must exist here.
set -euo pipefail

build=$1
privatedir=$2
workdir=$3

source "$(dirname "$0")/../support/x_session.sh"

[[ "$privatedir" != /* ]] ||
    fail "QUORBELIX_INSTALL_PRIVATEDIR is absolute ($privatedir): it cannot be installed under a test prefix"

rm -rf "$workdir"
mkdir -p "$workdir"
prefix="$workdir/usr"
private="$prefix/$privatedir"
"${CMAKE:-cmake}" --install "$build" --prefix "$prefix" >"$workdir/install.log" ||
    fail "cmake --install failed: $(cat "$workdir/install.log")"

# The install tree.
id=io.github.quorbelix.Quorbelix
expect_file() {
    [[ -f "$1" ]] || fail "not installed: $1"
}
[[ -L "$prefix/games/quorbelix" && "$(readlink -f "$prefix/games/quorbelix")" == "$(readlink -f "$private/quorbelix")" ]] ||
    fail "$prefix/games/quorbelix is not a link to $private/quorbelix"
[[ "$(readlink "$prefix/games/quorbelix")" != /* ]] || fail "the link to the game is absolute"
[[ -x "$private/quorbelix" && -x "$prefix/games/quorbelix-solve" ]] || fail "a program is missing"
[[ ! -e "$prefix/bin" ]] || fail "installed into bin/: $(ls "$prefix/bin")"
expect_file "$prefix/share/applications/$id.desktop"
expect_file "$prefix/share/metainfo/$id.metainfo.xml"
expect_file "$prefix/share/icons/hicolor/scalable/apps/$id.svg"
for size in 16 22 24 32 48 64 128 256; do
    png="$prefix/share/icons/hicolor/${size}x${size}/apps/$id.png"
    expect_file "$png"
    [[ "$(identify -format '%wx%h' "$png")" == "${size}x${size}" ]] ||
        fail "$png is $(identify -format '%wx%h' "$png")"
done
for page in quorbelix quorbelix-solve; do
    manual="$prefix/share/man/man6/$page.6.gz"
    expect_file "$manual"
    zcat "$manual" | grep -q '^\.TH ' || fail "$manual is not a manual page"
    ! zcat "$manual" | grep -n '@[A-Z_]*@' || fail "$manual keeps a placeholder"
done
expect_file "$prefix/share/doc/quorbelix/copyright"
zcat "$prefix/share/doc/quorbelix/changelog.gz" | head -n 1 | grep -q '^quorbelix (' ||
    fail "the changelog is not a Debian changelog"

# The help parts, beside the program.
viewer="$private/libquorbelix-htmlhelp.so.1.0.0"
for part in "$viewer" "$private/Quorbelix.chm" "$private/quorbelix.reg"; do
    expect_file "$part"
done
# The viewer checks a help file with this program, which it looks for beside itself.
[[ -x "$private/quorbelix-chmcheck" ]] || fail "quorbelix-chmcheck is not installed beside the viewer"
[[ "$(readlink "$private/libquorbelix-htmlhelp.so.1")" == libquorbelix-htmlhelp.so.1.0.0 ]] ||
    fail "libquorbelix-htmlhelp.so.1 does not link to the library beside it"
grep -qF "@=\"$private/libquorbelix-htmlhelp.so" "$private/quorbelix.reg" ||
    fail "quorbelix.reg does not name the installed library: $(cat "$private/quorbelix.reg")"

# The installed solver.
count=$("$prefix/games/quorbelix-solve" --count 100 75 50 25 10 1 999)
[[ "$count" == 1098 ]] || fail "quorbelix-solve counted $count solutions, not 1098"

# The installed game, started through its link as from a menu.
x_session_start "$workdir"
cd "$workdir"
start_game "$prefix/games/quorbelix" -debug

# The report is written beside the real program, which is writable here.
report="$private/HHDebug.txt"
expect_file "$report"
report_line() {
    tr -d '\r' <"$report" | grep -qxF "$1" || fail "no line '$1' in the report: $(cat "$report")"
}
report_line "_ModuleDir =        	$private"
report_line "_hhInstalled =      	YES"
report_line "_hhVerStr =         	1.0.0.0"

choose_menu_item a r  # Aide > Rubriques de l'aide
help_window=
for _ in $(seq 60); do
    for candidate in $(xdotool search --onlyvisible --pid "$program_pid" 2>/dev/null); do
        [[ "$candidate" != "$window" ]] && help_window=$candidate && break
    done
    [[ -n "$help_window" ]] && break
    sleep 0.5
done
[[ -n "$help_window" ]] || fail "no help window; program output: $(cat "$workdir/program.log")"
# A message box (a dialog) would say the help file could not be opened.
! xprop -id "$help_window" _NET_WM_WINDOW_TYPE | grep -q DIALOG ||
    fail "a dialog instead of the help window: '$(xdotool getwindowname "$help_window")'"
grep -qF "$viewer" "/proc/$program_pid/maps" || fail "the installed viewer library is not loaded"
echo "help window: '$(xdotool getwindowname "$help_window")'"
quit_game

echo "install test: passed"
