#!/usr/bin/env bash
# Starts copies of the real program in folders of their own and looks at what its start-up leaves
# there: the probe, the old report, the new report in debug mode, and where it goes when the
# program's folder is not writable, has links planted in it, lies very deep or is named with bytes
# that are no text.
# Usage: startup_test.sh PROGRAM WORK_DIR
set -euo pipefail

program=$1
workdir=$2
rm -rf "$workdir"
mkdir -p "$workdir"
# Other users must reach the copies: one of the runs below is not the owner's.
chmod 755 "$workdir"
probe='$_Temp_$.$$$'
separator=$(printf '%079d' 0 | tr 0 -)
closing=$(printf '%079d' 0 | tr 0 =)

fail() {
    echo "$(basename "$0"): $*" >&2
    exit 1
}

running=()
stop_all() {
    local pid
    for pid in "${running[@]}"; do
        kill -KILL "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    running=()
}
trap stop_all EXIT

# A copy of the program in a new folder $1; prints the copy's path.
install_copy() {
    mkdir -p "$1"
    chmod 755 "$1"
    cp "$program" "$1/quorbelix"
    echo "$1/quorbelix"
}

# Goes into the folder $1 one name at a time, so that its path may be longer than the system takes.
enter() {
    local part parts
    [[ $1 != /* ]] || cd /
    IFS=/ read -ra parts <<<"$1"
    for part in "${parts[@]}"; do
        [[ -z $part ]] || cd "$part"
    done
}

# Runs the copy $1 with the arguments that follow, without a display, in the background, with
# $tmp as its temporary folder and the settings in $program_env; the prefix in $as_user runs it as
# another user. It runs in the folder $run_in if set, which is removed first if $remove_run_in is.
start() {
    local copy=$1
    shift
    (
        [[ -z ${run_in:-} ]] || enter "$run_in"
        [[ -z ${remove_run_in:-} ]] || rmdir "$PWD"
        exec env QT_QPA_PLATFORM=offscreen TMPDIR="$tmp" HOME="$tmp" ${program_env:-} ${as_user:-} \
            "$copy" "$@"
    ) >"$workdir/program.log" 2>&1 &
    running+=("$!")
}

# Waits until the shell condition $1 holds (at most 60 s) and ends the program: the start-up work
# is all done before the window shows, after which the program would run until closed.
finish_when() {
    local tries=600
    until eval "$1"; do
        ((--tries > 0)) || fail "waited in vain for: $1; program output: $(cat "$workdir/program.log")"
        sleep 0.1
    done
    stop_all
}

# Until the window is shown: the offscreen display says so once the main window exists.
window_shown='grep -q propagateSizeHints "$workdir/program.log"'

# The report $1 is complete.
report_done() {
    [[ -f "$1" ]] && grep -q "^$closing"$'\r$' "$1"
}

# The value of the report line labelled $2 in report $1, after its tab, without its CR.
value() {
    local line
    line=$(grep -F -- "$2" "$1" | head -n 1) || fail "no line '$2' in $1"
    line=${line#*$'\t'}
    echo "${line%$'\r'}"
}

expect_value() {
    local actual
    actual=$(value "$1" "$2")
    [[ "$actual" == "$3" ]] || fail "$2 reads '$actual', not '$3'"
}

tmp="$workdir/tmp"
mkdir -p "$tmp"
chmod 1777 "$tmp"

# 1. Without a switch: the old report goes, no new one comes, no probe stays.
copy=$(install_copy "$workdir/plain")
echo "old report" >"$workdir/plain/HHDebug.txt"
start "$copy"
finish_when '[[ ! -e "$workdir/plain/HHDebug.txt" ]]'
[[ ! -e "$workdir/plain/$probe" ]] || fail "the probe was left in the program's folder"

# 2. With -DEBUG in a French locale: the report, with the machine's facts.
copy=$(install_copy "$workdir/debug")
report="$workdir/debug/HHDebug.txt"
# With the help viewer built, its registration beside the program names it.
help_control=
if [[ -f "$(dirname "$program")/quorbelix.reg" ]]; then
    cp "$(dirname "$program")/quorbelix.reg" "$workdir/debug/"
    help_control=$(sed -n 's/^@="\(.*\)"\r\{0,1\}$/\1/p' "$workdir/debug/quorbelix.reg")
fi
program_env=LC_ALL=fr_FR.UTF-8
start "$copy" -DEBUG 'deux mots'
program_env=
finish_when 'report_done "$report"'
[[ ! -e "$workdir/debug/$probe" ]] || fail "the probe was left in the program's folder"
[[ $(wc -l <"$report") -eq 22 ]] || fail "the report has $(wc -l <"$report") lines, not 22"
if grep -qv $'\r$' "$report"; then
    fail "a line of the report does not end with CR LF"
fi
expect_value "$report" "Filename:" "$report"
release=$(uname -r)
[[ $release =~ ^([0-9]+)(\.([0-9]+))?(\.([0-9]+))? ]] || fail "unexpected kernel release $release"
expect_value "$report" "Operating System:" \
    "$(uname -s) ${BASH_REMATCH[1]}.${BASH_REMATCH[3]:-0}.${BASH_REMATCH[5]:-0}"
expect_value "$report" "SysLocale.DefaultLCID:" "0x040C"
expect_value "$report" "SysLocale.SubLangID:" "0x0001"
expect_value "$report" "DecimalSeparator:" ","
expect_value "$report" "EXE Path =" "$copy"
expect_value "$report" "Cmdline Param(s) =" "-DEBUG | deux mots"
expect_value "$report" "_ModuleDir =" "$workdir/debug"
expect_value "$report" "_ModuleName =" "quorbelix"
system_dir=$(dirname "$(ldd "$program" | sed -n 's/.*libc\.so\.6 => \([^ ]*\).*/\1/p')")
widgets=$(basename "$(readlink -f "$system_dir/libQt6Widgets.so.6")")
expect_value "$report" "_ieVerStr =" "${widgets#libQt6Widgets.so.}.0"
expect_value "$report" "_ieInstalled =" "YES"
if [[ -n "$help_control" && -f "$help_control" ]]; then
    # libquorbelix-htmlhelp.so.1.0.0 reads as 1.0.0.0.
    help_version=$(basename "$(readlink -f "$help_control")")
    help_version=${help_version##*.so.}
    while [[ $(tr -cd . <<<"$help_version") != ... ]]; do
        help_version+=.0
    done
    expect_value "$report" "_hhVerStr =" "$help_version"
    expect_value "$report" "_hhInstalled =" "YES"
fi
[[ $(grep -c "^$separator"$'\r$' "$report") -eq 3 ]] || fail "not three separators of 79 '-'"

# 3. The program's folder not writable: the report goes to the temporary folder. Root may write
# anywhere, so as root the program runs as the user nobody, in a folder that stays root's.
copy=$(install_copy "$workdir/locked")
if [[ $(id -u) -eq 0 ]]; then
    as_user="setpriv --reuid=65534 --regid=65534 --clear-groups --"
else
    chmod 555 "$workdir/locked"
fi
start "$copy" -debug
finish_when 'report_done "$tmp/HHDebug.txt"'
as_user=
expect_value "$tmp/HHDebug.txt" "Filename:" "$tmp/HHDebug.txt"
[[ ! -e "$workdir/locked/HHDebug.txt" && ! -e "$workdir/locked/$probe" ]] ||
    fail "the program wrote into its locked folder"
chmod 755 "$workdir/locked"
rm -f "$tmp/HHDebug.txt"

# 4. A link planted at the probe: its target is untouched, and the folder counts as not writable.
copy=$(install_copy "$workdir/probe-link")
echo "precious" >"$workdir/victim"
ln -s "$workdir/victim" "$workdir/probe-link/$probe"
start "$copy" -debug
finish_when 'report_done "$tmp/HHDebug.txt"'
[[ $(cat "$workdir/victim") == precious ]] || fail "the probe went through its link"
[[ -L "$workdir/probe-link/$probe" ]] || fail "the planted probe link is gone"
rm -f "$tmp/HHDebug.txt"

# 5. A link planted at the report: its target is untouched, nothing is written through it, and
# the report goes where an unwritable folder would send it.
copy=$(install_copy "$workdir/report-link")
ln -s "$workdir/victim" "$workdir/report-link/HHDebug.txt"
start "$copy" -debug
finish_when 'report_done "$tmp/HHDebug.txt"'
[[ $(cat "$workdir/victim") == precious ]] || fail "the report went through its link"
[[ -L "$workdir/report-link/HHDebug.txt" ]] || fail "the planted report link is gone"
rm -f "$tmp/HHDebug.txt"

# 6. A folder deeper than the old 300-character limit is used whole.
deep="$workdir/deep"
while ((${#deep} <= 320)); do
    deep+="/a-folder-with-a-rather-long-name"
done
copy=$(install_copy "$deep")
start "$copy" -debug
finish_when 'report_done "$deep/HHDebug.txt"'
expect_value "$deep/HHDebug.txt" "_ModuleDir =" "$deep"
expect_value "$deep/HHDebug.txt" "Filename:" "$deep/HHDebug.txt"

# 7. A program's path longer than the system takes is no path: nothing is probed or written in the
# root, and the report goes to the temporary folder.
deeper=$deep
while ((${#deeper} <= 4200)); do
    deeper+="/a-folder-with-a-rather-long-name"
done
(
    enter "$deep"
    for ((level = 0; level < (${#deeper} - ${#deep}) / 33; ++level)); do
        mkdir a-folder-with-a-rather-long-name
        cd a-folder-with-a-rather-long-name
    done
    cp "$program" quorbelix
)
[[ ! -e /HHDebug.txt ]] || fail "a report lies in the root already: this run could not tell"
run_in=$deeper
start ./quorbelix -debug
run_in=
finish_when 'report_done "$tmp/HHDebug.txt"'
expect_value "$tmp/HHDebug.txt" "_ModuleDir =" ""
[[ ! -e /HHDebug.txt ]] || fail "the program wrote its report in the root"
rm -f "$tmp/HHDebug.txt"

# 8. A folder named with bytes that are no text (on Linux a name is bytes): the marker, the
# probe and the report beside the program are found by their bytes.
odd="$workdir/"$'\xff\xfe'
copy=$(install_copy "$odd")
touch "$odd/debug.debug"
[[ -z "$help_control" ]] || cp "$workdir/debug/quorbelix.reg" "$odd/"
start "$copy"
finish_when 'report_done "$odd/HHDebug.txt"'
[[ ! -e "$odd/$probe" ]] || fail "the probe was left in the oddly named folder"
# The report shows the name as text, each stray byte as a replacement character.
expect_value "$odd/HHDebug.txt" "_ModuleDir =" "$workdir/"$'\xef\xbf\xbd\xef\xbf\xbd'
# The registry file beside the program is found by its bytes too.
if [[ -n "$help_control" && -f "$help_control" ]]; then
    expect_value "$odd/HHDebug.txt" "_hhInstalled =" "YES"
fi

# 9. The command line as given, the toolkit's own options included, from a working folder that
# is gone by then: start-up goes on to the window.
copy=$(install_copy "$workdir/reverse")
mkdir "$workdir/gone"
run_in="$workdir/gone"
remove_run_in=1
start "$copy" -debug -reverse x
run_in=
remove_run_in=
finish_when 'report_done "$workdir/reverse/HHDebug.txt" && '"$window_shown"
expect_value "$workdir/reverse/HHDebug.txt" "Cmdline Param(s) =" "-debug | -reverse | x"

echo "start-up: all checks passed"
