#!/usr/bin/env bash
# The Linux program on a Wine prefix, without a display:
#   1. a WINEPREFIX that names no prefix: an error naming it, exit code 2, nothing run;
#   2. a prefix with a malformed line in system.reg: the problem with file and line on stderr,
#      then a complete run with the log in the temporary folder of the prefix's user.
set -u
program=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/bin" "$work/home"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# An opener that records what it was asked to open.
cat >"$work/bin/xdg-open" <<EOS
#!/bin/sh
echo "\$1" >>"$work/opened"
EOS
chmod +x "$work/bin/xdg-open"

run() {
    env -u DISPLAY -u WAYLAND_DISPLAY HOME="$work/home" WINEPREFIX="$1" PATH="$work/bin:$PATH" \
        "$program" >"$work/out" 2>"$work/err"
}

# 1. No prefix there.
run "$work/missing"
status=$?
[ $status -eq 2 ] || fail "missing prefix: exit code $status"
grep -qF "$work/missing" "$work/err" || fail "missing prefix not named in: $(cat "$work/err")"
[ -s "$work/out" ] && fail "missing prefix: the run started: $(cat "$work/out")"

# 2. A small prefix with one bad line.
prefix="$work/prefix"
mkdir -p "$prefix/dosdevices" "$prefix/drive_c/users/tester/Temp" "$prefix/drive_c/windows"
ln -s ../drive_c "$prefix/dosdevices/c:"
ln -s / "$prefix/dosdevices/z:"
cat >"$prefix/system.reg" <<'REG'
WINE REGISTRY Version 2
;; All keys relative to \\Machine

#arch=win64
this line is broken

[Software\\Microsoft\\Windows NT\\CurrentVersion] 1700000000
"SystemRoot"="C:\\windows"
REG
cat >"$prefix/user.reg" <<'REG'
WINE REGISTRY Version 2
;; All keys relative to \\User\\S-1-5-21-0-0-0-1000

#arch=win64

[Environment] 1700000000
"TEMP"="C:\\users\\tester\\Temp"
"TMP"="C:\\users\\tester\\Temp"
REG
run "$prefix"
status=$?
[ $status -eq 0 ] || fail "prefix run: exit code $status: $(cat "$work/out" "$work/err")"
grep -qF "$prefix/system.reg:5: unrecognised line" "$work/err" ||
    fail "problem not reported: $(cat "$work/err")"
grep -qxF 'The log file can be found at C:\users\tester\Temp\Zanprobe7.txt' "$work/out" ||
    fail "no log location in: $(cat "$work/out")"
[ -f "$prefix/drive_c/users/tester/Temp/Zanprobe7.txt" ] || fail "no log in the prefix"

[ $failures -eq 0 ] && echo "PASS"
exit $((failures > 0))
