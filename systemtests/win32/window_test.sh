#!/usr/bin/env bash
# The Windows program's window under Wine on a virtual display, driven from outside by
# zandriver: layout, focus, taskbar style and icon; the runtime-logging checkbox and its marker
# file, including the two refusals and their message boxes; a failed and a complete run, the
# status label after each, the viewer opened exactly once (by a recorder associated with .txt);
# the close, the program's end and the log's two terminator blocks; no log without a run; every
# way a close can arrive (posted, sent, the system menu) and the session's end; Enter on the
# focused "Run Tests". Writes a picture of the window after the complete run.
#   window_test.sh STATE PROGRAM DRIVER VIEWER PICTURE
set -u -o pipefail
# shellcheck source=../lib/harness.sh
source "$(dirname "$0")/../lib/harness.sh"
# shellcheck source=../lib/wine_run.sh
source "$(dirname "$0")/../lib/wine_run.sh"
state=$1
program=$2
driver=$3
viewer=$4
picture=$5
caption="Zandorel Diagnostic Tools for MRL 7.X"
expect_output() { # expect_output WHAT EXPECTED ACTUAL
    [ "$2" = "$3" ] || fail "$1: expected
$2
got
$3"
}

wine_loader "$program"
shared_prefix "$state"
start_driver "$work" "$driver" "$viewer"
[ -d "$temp" ] || fail "no temporary folder at $temp"
marker=$temp/ZandorelLoggingDetail.txt
windows_log="$windows_temp\\Zanprobe7.txt"
rm -rf "$marker" "$log"

start_program() {
    "$loader" "$program" >"$work/program.out" 2>&1 &
    app=$!
    wait_for_window 120 || fail "the window never showed with its taskbar button; top-level windows: $(drive windows)"
}
close_program() { # close_program EXPECTED [HOW LOG COPY]
    local closed
    closed=$(drive close 60 "${@:2}")
    expect_output "closing${2:+ by $2}" "$1" "$closed"
    [ "$closed" = "$1" ] || kill "$app" 2>/dev/null
    wait "$app"
    app=""
}
terminator=$'\r\n--------------------------------------------------------\r\nDiagnostic Log Terminated\r\n'
expect_two_terminators() { # expect_two_terminators FILE WHAT
    local content
    content=$(cat "$1"; echo x)
    content=${content%x}
    [ "${content%"$terminator$terminator"}" != "$content" ] ||
        fail "$2 does not end with two terminator blocks: $(tail -c 200 "$1" | od -c | tail -8)"
    [ "${content%"$terminator$terminator$terminator"}" = "$content" ] ||
        fail "$2 ends with three terminator blocks"
}

# 1. First start, no marker: layout at 96 dots per inch, the focus on "Run Tests", the taskbar
#    style after the first activation, the icon's images; the checkbox creates and deletes the
#    marker; closing without a run writes no log.
start_program
expect_output "layout" "$(sort <<'EOS'
client 567 262
appwindow 1
icon 16x16x32,24x24x32,32x32x32,48x48x32,0x0x32
focus 1002
control 1000 ZanprobeFrame 8 10 547 135 - 
control 1001 Static 0 24 583 8 - 
control 1002 Button 24 76 95 25 tab &Run Tests
control 1003 Static 24 36 535 31 - Clicking the button below will run a set of queries on your system, and tests of various Zandorel software components.  It will generate an output file which you can then send to Zandorel via email.
control 1004 Static 8 10 119 23 - Diagnostic Tests
control 1005 Static 130 76 413 61 - 
control 1006 ZanprobeFrame 8 142 547 103 - 
control 1007 Button 24 218 363 17 tab Enable Runtime Logging of Mirandel Applications
control 1008 Static 0 156 597 8 - 
control 1009 Static 8 142 119 23 - Runtime Logging
control 1010 Static 24 168 535 49 - Enabling Runtime logging will cause Zandorel software to generate detailed information while it is running.  This can be helpful in identifying problems that are not caught in the diagnostic tests.  Runtime logging, however, can slow down the software considerably and should be turned off once any issues have been resolved.
EOS
)" "$(drive layout | sort)"
expect_output "state at start" "check 0
status " "$(drive state)"
expect_output "checking" "check 1" "$(drive check)"
[ -f "$marker" ] && [ ! -s "$marker" ] || fail "checking did not create an empty marker file"
expect_output "unchecking" "check 0" "$(drive check)"
[ -e "$marker" ] && fail "unchecking did not delete the marker file"
close_program "exited 0"
[ -e "$log" ] && fail "a log was written without a run"

# 2. The marker present at start: the box starts checked and the file is left alone; a marker
#    held open cannot be deleted; a failed run, then a complete run; the close.
printf keep >"$marker"
start_program
expect_output "state with the marker" "check 1
status " "$(drive state)"
[ "$(cat "$marker")" = keep ] || fail "setting the checkbox from the marker touched the file"
expect_output "unchecking a held marker" "box title Zanprobe 7
box button OK
box text Could not turn off runtime logging.
check 1" "$(drive check-refused "$windows_temp\\ZandorelLoggingDetail.txt")"
[ -f "$marker" ] || fail "the held marker file is gone"
expect_output "failed run" "check 1
status Diagnostics Failed: Unable to erase existing log file." "$(drive run-held "$windows_log")"
expect_output "complete run" "check 1
status Diagnostics Completed\\r\\nThe log file can be found at $windows_log" "$(drive run)"
for _ in $(seq 100); do
    [ -s "$work/opened" ] && break
    sleep 0.1
done
drive shot "$(windows_path "$picture")" || fail "no picture of the window"
close_program "exited 0"
sleep 1
expect_output "documents opened" "$windows_log" "$(tr -d '\r' <"$work/opened" 2>/dev/null)"
expect_two_terminators "$log" "the log"
grep -qxF "Log File Path = $windows_log"$'\r' "$log" || fail "the log does not name its path"

# 3. The marker cannot be created (a folder has its name): the box stays unchecked; closing
#    without a run leaves the last log as it was.
rm -f "$marker"
mkdir "$marker"
before=$(md5sum <"$log")
start_program
expect_output "checking when the marker cannot be created" "box title Zanprobe 7
box button OK
box text Could not turn on runtime logging.
check 0" "$(drive check-refused)"
close_program "exited 0"
rmdir "$marker"
[ "$(md5sum <"$log")" = "$before" ] || fail "closing without a run changed the log"

# 4. Every way a close can arrive ends the program at once with exit code 0, the log closed
#    twice after a run and no log without one: sent requests (automation and assistive tools
#    send them) are handled inside GetMessageW, which does not return for them. The session's
#    end: the question is answered yes, a cancelled end leaves the program running, the end
#    ends it, and the log is complete as soon as that message is answered (Windows may end the
#    process then). Enter on the focused "Run Tests" runs the diagnostics.
completed="check 0
status Diagnostics Completed\\r\\nThe log file can be found at $windows_log"
copy=$work/log-when-answered.txt
while read -r how run; do
    rm -f "$log" "$copy"
    start_program
    case $run in
    enter) expect_output "Enter on the focused Run Tests" "focus 1002
$completed" "$(drive enter)" ;;
    click) expect_output "run before closing by $how" "$completed" "$(drive run)" ;;
    esac
    expected="exited 0"
    [ "$how" = end-session ] && expected="query answered 1
after the question: running 1 shown 1
after a cancelled end: running 1 shown 1
exited 0"
    close_program "$expected" "$how" "$windows_log" "$(windows_path "$copy")"
    if [ "$run" = none ]; then
        [ -e "$log" ] && fail "closing by $how without a run wrote a log"
    else
        expect_two_terminators "$log" "the log closed by $how"
    fi
    [ "$how" = end-session ] && expect_two_terminators "$copy" "the log when the end was answered"
done <<'EOS'
send-syscommand enter
send-close      click
post-close      click
sysmenu         none
end-session     click
EOS

if [ $failures -eq 0 ]; then
    echo "window_test: all checks passed; picture: $picture"
else
    echo "program output: $(cat "$work/program.out")"
    exit 1
fi
