#!/usr/bin/env bash
# The Windows program under Wine on registry data built to break it: in a private copy of the
# run's prefix, the suite's user key holds a value of a million characters, 5,000 sub-keys, keys
# nested 200 deep and names and data with ] " \ % ^ & ( ), blanks, accented letters and
# characters outside any ANSI code page; the suite's main folder has a name of the same kind.
# A run through the window must complete within the driver's bound (300 s), its log must be
# complete with the export and the listing in their places, and the temporary folder must hold
# nothing afterwards that it did not hold before, apart from the log.
#   hostile_registry.sh STATE PROGRAM DRIVER VIEWER
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

wine_loader "$program"
private_prefix "$state"

odd='Odd ] " \ % ^ & ( ) é 漢 ✓'
folder='Zan & Co %PATH% ^ (x) é'
user='HKEY_CURRENT_USER\Software\Zandorel'
mkdir -p "$drive_c/$folder"
printf MZ >"$drive_c/$folder/ZanUtility7.dll"

# The hostile data as a REGEDIT5 file (UTF-16, so that every character survives the import).
escaped() { printf '%s' "$1" | sed 's/\\/\\\\/g; s/"/\\"/g'; }
{
    echo 'Windows Registry Editor Version 5.00'
    echo
    for root in 'HKEY_LOCAL_MACHINE\Software\Zandorel' 'HKEY_LOCAL_MACHINE\Software\Wow6432Node\Zandorel'; do
        echo "[$root]"
        echo "\"Main Directory\"=\"C:\\\\$(escaped "$folder")\\\\\""
        echo
    done
    echo "[$user]"
    printf '"Long"="'
    head -c 1000000 /dev/zero | tr '\0' x
    echo '"'
    echo "\"$(escaped "$odd")\"=\"$(escaped "$odd")\""
    echo
    echo "[$user\\$odd]"
    echo "@=\"$(escaped "$odd")\""
    echo
    awk -v key="$user\\Many" 'BEGIN {
        for (i = 1; i <= 5000; i++) printf "[%s\\K%05d]\n\"Value\"=dword:%08x\n\n", key, i, i
    }'
    path="$user\\Deep"
    for _ in $(seq 200); do
        path="$path\\d"
        echo "[$path]"
    done
    echo
} | iconv -f UTF-8 -t UTF-16LE >"$work/body.reg"
{
    printf '\xff\xfe'
    cat "$work/body.reg"
} >"$work/hostile.reg"
"$loader64" reg import "$(windows_path "$work/hostile.reg")" >"$work/import.out" 2>&1 || {
    echo "FAIL: reg import: $(cat "$work/import.out")"
    exit 1
}
wineserver -w 2>/dev/null

start_driver "$work" "$driver" "$viewer"
temp_listing() { (cd "$temp" && find . -mindepth 1 ! -name Zanprobe7.txt | sort); }
temp_listing >"$work/temp-before"
started=$SECONDS
run_once "$work" "$program"
took=$((SECONDS - started))

case "$status" in
*"status Diagnostics Completed"*) ;;
*) fail "the run did not complete: $status" ;;
esac
[ -f "$log" ] || {
    echo "FAIL: no log"
    exit 1
}
iconv -c -f CP1252 -t UTF-8 <"$log" | tr -d '\r' >"$work/log"
# Shutdown appends a second terminator block after the run's.
[ "$(tail -n 1 "$work/log")" = "Diagnostic Log Terminated" ] || fail "the log is not complete"
for heading in "Registry entries for $user" "Contents of C:\\$folder"; do
    grep -qxF "$heading" "$work/log" || fail "no heading \"$heading\" in the log"
done
grep -qxF "Zandorel Main Directory = C:\\$folder" "$work/log" ||
    fail "the main folder is not reported as registered"
temp_listing >"$work/temp-after"
diff "$work/temp-before" "$work/temp-after" >"$work/temp-diff" ||
    fail "the run left files in the temporary folder: $(cat "$work/temp-diff")"
[ "$failures" -eq 0 ] || exit 1
echo "hostile_registry: the run completed in $took s with a complete log ($(wc -l <"$work/log") lines)"
