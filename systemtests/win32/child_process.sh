#!/usr/bin/env bash
# The commands that the Windows program runs, under Wine, in a private copy of the run's prefix.
# 1. Planting: the program is started from a download folder holding a cmd.exe and a reg.bat of
#    ours (each would leave a marker), with another such folder as its current folder. A run
#    through the window runs neither, and the registry exports are in the log.
# 2. The child's start: the prefix's cmd.exe is replaced by a probe of ours, which reports its
#    current folder and standard handles. For every command of a run through the window, the
#    probe runs in the system folder, its standard input ends at once and its standard output
#    and error are valid handles.
# 3. The probe answers as a command interpreter that the user policy DisableCMD stops, which is
#    set: every registry export has one failure line under its heading that names the policy.
# 4. The probe takes five seconds per command: during the run the window answers a sent message
#    within a second, a second Enter starts no second run, and a close during the run ends the
#    program once the run has ended, its log with two terminator blocks.
#   child_process.sh STATE PROGRAM DRIVER VIEWER PROBE
# With KEEP_WORK set, the work folder (prefix copy, logs) is kept and named.
set -u -o pipefail
# shellcheck source=../lib/harness.sh
source "$(dirname "$0")/../lib/harness.sh"
# shellcheck source=../lib/wine_run.sh
source "$(dirname "$0")/../lib/wine_run.sh"
state=$1
program=$2
driver=$3
viewer=$4
probe=$5

wine_loader "$program"
private_prefix "$state"
start_driver "$work" "$driver" "$viewer"

international='HKEY_CURRENT_USER\Control Panel\International'
# Wine's type copies a UTF-16 export byte for byte: its NULs go before the log is read as text.
read_log() { tr -d '\000\r' <"$log" | iconv -c -f CP1252 -t UTF-8 >"$work/$1.log"; }
completed() {
    case "$status" in
    *"status Diagnostics Completed"*) ;;
    *) fail "$1: the run did not complete: $status" ;;
    esac
}

# 1. Planting.
downloads=$work/Downloads
current=$work/current
mkdir -p "$downloads" "$current"
cp "$program" "$downloads/Zanprobe7.exe"
for folder in "$downloads" "$current"; do
    cp "$probe" "$folder/cmd.exe"
    printf '@echo planted>"%%~dp0reg.ran"\r\n' >"$folder/reg.bat"
done
cd "$current" || exit 1
run_once "$work" "$downloads/Zanprobe7.exe"
cd "$work" || exit 1
completed "planted"
for marker in {"$downloads","$current"}/{cmd.report.txt,reg.ran}; do
    [ -e "$marker" ] && fail "a planted program ran: ${marker#"$work"/} ($(head -c 300 "$marker"))"
done
read_log planted
# The export's first line follows the heading's rule. Wine's type copies only the start of the
# UTF-16 file (its byte-order mark and first letter); Windows' converts it.
export_start=$(grep -A2 -xF "Registry entries for $international" "$work/planted.log" | sed -n 3p)
case "$export_start" in
"ÿþW"* | "Windows Registry Editor"*) ;;
*) fail "planted: the export of $international is not in the log (\"$export_start\")" ;;
esac
rm -f "$log"

# 2. The child's start. A 32-bit program's system folder is the prefix's syswow64.
system=$drive_c/windows/system32
[ "$loader" != "$loader64" ] && [ -d "$drive_c/windows/syswow64" ] && system=$drive_c/windows/syswow64
rm -f "$system/cmd.exe" # a link into the shared prefix: replaced, not written through
cp "$probe" "$system/cmd.exe"
# Wine runs its built-in cmd for the system folder's cmd.exe unless told to run the file.
export WINEDLLOVERRIDES="cmd.exe=n;$WINEDLLOVERRIDES"
run_once "$work" "$program"
completed "probe"
report=$system/cmd.report.txt
[ -s "$report" ] || {
    echo "FAIL: the program started no command"
    exit 1
}
tr -d '\r' <"$report" >"$work/report"
count=$(wc -l <"$work/report")
expected='cwd=C:\windows\system32 stdin=eof stdout=ok stderr=ok line=cmd /d /c "'
while IFS= read -r line; do
    case "$line" in
    "$expected"*) ;;
    *) fail "the command was started as: $line" ;;
    esac
done <"$work/report"
[ "$failures" -eq 0 ] || exit 1

# 3. The command prompt disabled by policy.
policy='HKCU\Software\Policies\Microsoft\Windows\System'
"$loader64" reg add "$policy" /v DisableCMD /t REG_DWORD /d 1 /f >"$work/reg.out" 2>&1 ||
    fail "cannot set DisableCMD: $(cat "$work/reg.out")"
rm -f "$log"
export ZANPROBE_PROBE=disabled
run_once "$work" "$program"
completed "disabled"
read_log disabled
exports=$(grep -c '^Registry entries for ' "$work/disabled.log")
refused=$(grep -c -xF '<FAILURE> The registry export failed: the command prompt is disabled by policy (DisableCMD = 1)' "$work/disabled.log")
[ "$exports" -gt 0 ] && [ "$exports" -eq "$refused" ] ||
    fail "disabled: $refused failure lines for $exports exports"
"$loader64" reg delete "$policy" /v DisableCMD /f >/dev/null 2>&1

# 4. A window that answers during a long run.
rm -f "$log"
export ZANPROBE_PROBE=sleep
"$loader" "$program" >"$work/program.out" 2>&1 &
app=$!
wait_for_window 120 || {
    fail "sleep: the window never showed: $(drive windows)"
    kill "$app"
    exit 1
}
busy=$(drive busy 600)
wait "$app"
app=""
unset ZANPROBE_PROBE
for expected in "answered 1" "during Running Diagnostic Test\\r\\nRegistry entries for" \
    "shown after close 1" "exited 0"; do
    case "$busy" in
    *"$expected"*) ;;
    *) fail "sleep: no \"$expected\" in: $busy" ;;
    esac
done
read_log busy
runs=$(grep -c '^Log File Path = ' "$work/busy.log")
terminators=$(grep -c -xF 'Diagnostic Log Terminated' "$work/busy.log")
[ "$runs" -eq 1 ] && [ "$terminators" -eq 2 ] ||
    fail "sleep: $runs runs and $terminators terminator blocks in the log"
[ "$failures" -eq 0 ] || exit 1
echo "child_process: no planted program ran; $count commands started in the system folder with valid standard handles; a disabled interpreter is reported; the window answers during a run"
