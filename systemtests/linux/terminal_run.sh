#!/usr/bin/env bash
# The Linux program without a display, on an empty machine: it runs the diagnostics at once,
# prints the outcome, writes the log into the host's temporary folder, hands a complete log to
# the desktop's opener and exits 0; with an old log it cannot erase it fails, opens nothing and
# exits 1.
set -u
program=$1
work=$(mktemp -d)
trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT
mkdir -p "$work/home" "$work/tmp" "$work/bin"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# An opener that records what it was asked to open.
cat >"$work/bin/xdg-open" <<EOS
#!/bin/sh
echo "\$1" >>"$work/opened"
EOS
chmod +x "$work/bin/xdg-open"

run() {
    env -u DISPLAY -u WAYLAND_DISPLAY -u WINEPREFIX HOME="$work/home" TMPDIR="$work/tmp" \
        PATH="$work/bin:$PATH" "$program" >"$work/out" 2>&1
}

# The viewer is started without waiting for it: give it a moment.
wait_for_opener() {
    for _ in $(seq 50); do
        [ -s "$work/opened" ] && return
        sleep 0.1
    done
}

# 1. A complete run.
run
status=$?
[ $status -eq 0 ] || fail "complete run exited $status"
windows_temp="Z:$(echo "$work/tmp" | tr / '\\')"
grep -qx "Diagnostics Completed" "$work/out" || fail "no 'Diagnostics Completed' in: $(cat "$work/out")"
grep -qxF "The log file can be found at $windows_temp\\Zanprobe7.txt" "$work/out" ||
    fail "no log location in: $(cat "$work/out")"
log="$work/tmp/Zanprobe7.txt"
[ -f "$log" ] || fail "no log at $log"

# Expected log: the preamble, the sections of the steps, then the run's terminator block and
# the one Shutdown appends.
terminator=$'\r\n--------------------------------------------------------\r\nDiagnostic Log Terminated\r\n'
expected_head="Diagnostic Utility Version: 7.0.27"$'\r\n'"Log File Path = $windows_temp\\Zanprobe7.txt"$'\r\n'
expected_end="$terminator$terminator"
first_line=$(head -n 1 "$log")
[[ "$first_line" =~ ^Starting\ Zandorel\ Diagnostics:\ [0-9]{1,2}/[0-9]{1,2}/[0-9]{4}\ [0-9]{1,2}:[0-9]{2}:[0-9]{2}\ [AP]M$'\r'$ ]] ||
    fail "preamble line 1: $first_line"
actual_tail=$(tail -n +2 "$log"; echo x)
actual_tail=${actual_tail%x}
[ "${actual_tail:0:${#expected_head}}" = "$expected_head" ] || fail "preamble differs: $(od -c "$log" | head -20)"
[ "${actual_tail: -${#expected_end}}" = "$expected_end" ] || fail "end differs: $(tail -c 300 "$log" | od -c)"
# Every line ends in CR LF.
if tr -d '\r' <"$log" | cmp -s - "$log"; then fail "log has no CR"; fi
[ "$(grep -c $'\r$' "$log")" -eq "$(wc -l <"$log")" ] || fail "a line without CR LF"

wait_for_opener
[ "$(cat "$work/opened" 2>/dev/null)" = "$log" ] || fail "opener got '$(cat "$work/opened" 2>/dev/null)', wanted $log"

# 2. A read-only old log: the run fails and nothing is opened.
rm -f "$work/opened"
chmod 444 "$log"
run
status=$?
[ $status -eq 1 ] || fail "failed run exited $status"
grep -qxF "Diagnostics Failed: Unable to erase existing log file." "$work/out" ||
    fail "no failure message in: $(cat "$work/out")"
sleep 1
[ ! -e "$work/opened" ] || fail "a failed run opened $(cat "$work/opened")"

# 3. No opener at all: the run still completes.
chmod 644 "$log"
rm -f "$work/bin/xdg-open"
env -u DISPLAY -u WAYLAND_DISPLAY -u WINEPREFIX HOME="$work/home" TMPDIR="$work/tmp" \
    PATH="$work/bin" "$program" >"$work/out" 2>&1 || fail "run without an opener failed"

if [ $failures -eq 0 ]; then
    echo "terminal_run: all checks passed"
else
    exit 1
fi
