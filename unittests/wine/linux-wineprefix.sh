#!/usr/bin/env bash
# The Linux program on a Wine prefix, without a display:
#   1. a WINEPREFIX that names no prefix: an error naming it, exit code 2, nothing run;
#   2. a prefix with a malformed line in system.reg: the problem with file and line on stderr,
#      then a complete run with the log in the temporary folder of the prefix's user; the
#      prefix's COM registrations are read in the program's (32-bit) view: the suite's utility,
#      registered there with a Windows DLL as its server, cannot run on Linux; the ORVEX server,
#      registered only in the 64-bit view, is not registered for the program.
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
mkdir -p "$prefix/dosdevices" "$prefix/drive_c/users/tester/Temp" "$prefix/drive_c/windows" \
    "$prefix/drive_c/Zandorel/System"
echo MZ >"$prefix/drive_c/Zandorel/System/ZanUtility7.dll"
ln -s ../drive_c "$prefix/dosdevices/c:"
ln -s / "$prefix/dosdevices/z:"
cat >"$prefix/system.reg" <<'REG'
WINE REGISTRY Version 2
;; All keys relative to \\Machine

#arch=win64
this line is broken

[Software\\Microsoft\\Windows NT\\CurrentVersion] 1700000000
"SystemRoot"="C:\\windows"

[Software\\Wow6432Node\\Zandorel] 1700000000
"System Directory"="C:\\Zandorel\\System"
[Software\\Wow6432Node\\Zandorel\\ORVEX for Excel\\7.0] 1700000000
"Program Directory"="C:\\Zandorel\\ORVEX"
[Software\\Classes\\ZanUtility7.ZanUtil\\CLSID] 1700000000
@="{6C1E0C11-7A2B-4C5D-9E01-000000000001}"
[Software\\Classes\\Wow6432Node\\CLSID\\{6C1E0C11-7A2B-4C5D-9E01-000000000001}\\InprocServer32] 1700000000
@="C:\\Zandorel\\System\\ZanUtility7.dll"
[Software\\Classes\\OrvexModel7.Server\\CLSID] 1700000000
@="{6C1E0C11-7A2B-4C5D-9E01-000000000003}"
[Software\\Classes\\CLSID\\{6C1E0C11-7A2B-4C5D-9E01-000000000003}\\InprocServer32] 1700000000
@="C:\\Zandorel\\ORVEX\\OrvexModel.dll"
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
log="$prefix/drive_c/users/tester/Temp/Zanprobe7.txt"
[ -f "$log" ] || fail "no log in the prefix"
for line in 'ZanUtility7: Unable to create root ZanUtility7.ZanUtil object (The class is registered but its server cannot run on this machine (0x800700C1))' \
    'OrvexModel.dll Test: Failed: Class not registered (0x80040154)'; do
    tr -d '\r' <"$log" | grep -qxF "$line" || fail "not in the log: $line"
done

[ $failures -eq 0 ] && echo "PASS"
exit $((failures > 0))
