#!/usr/bin/env bash
# The Linux program's FLTK window on a virtual display, on an empty machine: its size, the
# runtime-logging checkbox creating the marker file, a complete run handing the log to the
# desktop's opener once, the close box ending the program with two terminator blocks in the log.
# Writes a picture of the window after the run.
#   fltk_window.sh PROGRAM XWINDOW PICTURE
set -u
# shellcheck source=../lib/harness.sh
source "$(dirname "$0")/../lib/harness.sh"
program=$1
xwindow=$2
picture=$3
caption="Zandorel Diagnostic Tools for MRL 7.X"
work=$(mktemp -d)
app=""
xvfb=""
cleanup() {
    [ -n "$app" ] && kill "$app" 2>/dev/null
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
wait_for_file() {
    for _ in $(seq 100); do
        [ -e "$1" ] && return 0
        sleep 0.1
    done
    return 1
}

mkdir -p "$work/home" "$work/tmp" "$work/bin"
cat >"$work/bin/xdg-open" <<EOS
#!/bin/sh
echo "\$1" >>"$work/opened"
EOS
chmod +x "$work/bin/xdg-open"

start_xvfb "$work"

env -u WINEPREFIX -u WAYLAND_DISPLAY HOME="$work/home" TMPDIR="$work/tmp" \
    PATH="$work/bin:$PATH" "$program" >"$work/out" 2>&1 &
app=$!
"$xwindow" wait "$caption" 30 || fail "the window never showed: $(cat "$work/out")"
[ "$("$xwindow" geometry "$caption")" = "567 262" ] ||
    fail "window size $("$xwindow" geometry "$caption"), wanted 567 262"

# The checkbox (24, 218 and 363 x 17) creates the marker file.
"$xwindow" click "$caption" 30 226
wait_for_file "$work/tmp/ZandorelLoggingDetail.txt" || fail "checking created no marker file"

# "Run Tests" (24, 76 and 95 x 25): a complete run, the log handed to the opener once.
"$xwindow" click "$caption" 70 88
log="$work/tmp/Zanprobe7.txt"
wait_for_file "$work/opened" || fail "the log was not handed to the opener"
sleep 0.5
"$xwindow" shot "$caption" "$picture" || fail "no picture of the window"
[ "$(cat "$work/opened" 2>/dev/null)" = "$log" ] ||
    fail "opener got '$(cat "$work/opened" 2>/dev/null)', wanted $log"

# The close box hides the window; the program ends and the log has two terminator blocks.
"$xwindow" close "$caption"
for _ in $(seq 100); do
    kill -0 "$app" 2>/dev/null || break
    sleep 0.1
done
if kill -0 "$app" 2>/dev/null; then
    fail "the program did not end after the close"
else
    wait "$app"
    status=$?
    [ $status -eq 0 ] || fail "the program exited $status"
    app=""
fi
terminator=$'\r\n--------------------------------------------------------\r\nDiagnostic Log Terminated\r\n'
content=$(cat "$log"; echo x)
content=${content%x}
[ "${content%"$terminator$terminator"}" != "$content" ] ||
    fail "the log does not end with two terminator blocks"
[ "${content%"$terminator$terminator$terminator"}" = "$content" ] ||
    fail "the log ends with three terminator blocks"

if [ $failures -eq 0 ]; then
    echo "fltk_window: all checks passed; picture: $picture"
else
    exit 1
fi
