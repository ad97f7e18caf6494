#!/usr/bin/env bash
# The Linux program on a Windows volume made from real registry hives: the run inspects the
# hives' machine, its log matches the golden log, what the hives hold reaches the log as hivexsh
# shows it, the volume is left byte for byte as it was, and missing, damaged and ambiguous
# volumes are reported as such.
#   windows_volume.sh PROGRAM HIVES GOLDEN
set -u
program=$1
hives=$2
golden=$3
work=$(mktemp -d)
[ -n "${KEEP:-}" ] || trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# The volume, spelt as an NTFS volume mounted on Linux may spell it.
vol=$work/vol
profile=$vol/Users/vibranium
mkdir -p "$vol/WINDOWS/system32/config" "$profile/AppData/Local/Microsoft/Windows" "$work/tmp"
xz -dc "$hives/SYSTEM.xz" >"$vol/WINDOWS/system32/config/SYSTEM"
xz -dc "$hives/NTUSER.DAT.xz" >"$profile/ntuser.dat"
xz -dc "$hives/UsrClass.dat.xz" >"$profile/AppData/Local/Microsoft/Windows/UsrClass.dat"
# No SOFTWARE hive is public: one is made from a copy of a small hive, its keys replaced.
software=$vol/WINDOWS/system32/config/SOFTWARE
cp "$profile/ntuser.dat" "$software"
{
    printf 'cd \\\nls\n' | hivexsh "$software" | while IFS= read -r key; do
        printf 'cd \\%s\ndel\n' "$key"
    done
    printf 'cd \\\nadd Microsoft\ncd Microsoft\nadd Windows NT\ncd Windows NT\nadd CurrentVersion\n'
    printf 'cd CurrentVersion\nsetval 3\nProductName\nstring:Windows 7 Professional\n'
    printf 'CurrentBuildNumber\nstring:7601\nSystemRoot\nstring:C:\\Windows\ncommit\n'
} | hivexsh -w "$software" || fail "hivexsh could not make the SOFTWARE hive"
chmod -R a-w "$vol"
(cd "$vol" && find . -type f -exec sha256sum {} + | sort) >"$work/before"

run() {
    env -u DISPLAY -u WAYLAND_DISPLAY -u WINEPREFIX TMPDIR="$work/tmp" \
        "$program" --terminal --no-open "$@" >"$work/out" 2>"$work/err"
}

# 1. A whole run: completed, nothing written to the volume, the log where the outcome says.
run --windows "$vol"
status=$?
[ $status -eq 0 ] || fail "run exited $status: $(cat "$work/out" "$work/err")"
windows_temp="Z:$(echo "$work/tmp" | tr / '\\')"
grep -qxF "The log file can be found at $windows_temp\\Zanprobe7.txt" "$work/out" ||
    fail "no log location in: $(cat "$work/out")"
grep -qF "UsrClass.dat: the hive's transaction logs hold changes not yet written to it" \
    "$work/err" || fail "no warning for the hive with pending logs: $(cat "$work/err")"
(cd "$vol" && find . -type f -exec sha256sum {} + | sort) >"$work/after"
cmp -s "$work/before" "$work/after" || fail "the volume changed: $(diff "$work/before" "$work/after")"
[ -z "$(cd "$vol" && find . -newer "$work/before")" ] || fail "something was made on the volume"

# 2. The log against the golden log, with the run's time and temporary folder masked.
log=$work/tmp/Zanprobe7.txt
tr -d '\r' <"$log" | sed -e '1s/: .*/: <TIME>/' -e "s/$(printf '%s' "$windows_temp" |
    sed 's/[\\/.]/\\&/g')/<TEMP>/g" >"$work/log"
diff -u "$golden" "$work/log" >"$work/diff" || fail "the log differs from $golden: $(head -40 "$work/diff")"

# 3. The export of HKEY_CURRENT_USER\Control Panel\International holds exactly what hivexsh
# lists there (the key's own values; its subkey Geo follows them).
printf 'cd \\Control Panel\\International\nlsval\n' | hivexsh "$profile/ntuser.dat" >"$work/expected"
sed -n '/^\[HKEY_CURRENT_USER\\Control Panel\\International\]$/,/^$/p' "$work/log" |
    sed -e '1d' -e '/^$/d' >"$work/exported"
[ -s "$work/expected" ] && cmp -s "$work/expected" "$work/exported" ||
    fail "International differs from hivexsh: $(diff "$work/expected" "$work/exported" | head)"

# 4. Several profiles need --user, which picks one; an unknown profile is an error.
chmod u+w "$vol/Users"
mkdir -p "$vol/Users/Second" && cp "$profile/ntuser.dat" "$vol/Users/Second/NTUSER.DAT"
run --windows "$vol"
[ $? -eq 2 ] && grep -qF "several profiles (Second, vibranium); name one with --user" "$work/err" ||
    fail "several profiles: $(cat "$work/err")"
run --windows "$vol" --user VIBRANIUM
[ $? -eq 0 ] || fail "--user VIBRANIUM: $(cat "$work/err")"
run --windows "$vol" --user nobody
[ $? -eq 2 ] && grep -qF "no profile nobody with an NTUSER.DAT (its profiles: Second, vibranium)" \
    "$work/err" || fail "unknown profile: $(cat "$work/err")"
chmod -R u+w "$vol"
rm -rf "$vol/Users/Second"

# 5. A missing hive leaves its keys empty and says so; a damaged one stops with its name.
mv "$software" "$work/SOFTWARE"
run --windows "$vol"
[ $? -eq 0 ] && grep -qF "zanprobe7: the SOFTWARE hive is missing; its keys are empty" "$work/err" ||
    fail "missing SOFTWARE: $(cat "$work/err")"
head -c 8192 /dev/urandom >"$software"
run --windows "$vol"
[ $? -eq 2 ] && grep -qF "zanprobe7: $software: not a readable registry hive" "$work/err" ||
    fail "damaged SOFTWARE: $(cat "$work/err")"
# A real hive cut short after its header.
head -c 6000 "$work/SOFTWARE" >"$software"
run --windows "$vol"
[ $? -eq 2 ] && grep -qF "$software: not a readable registry hive" "$work/err" ||
    fail "truncated SOFTWARE: $(cat "$work/err")"

# 6. A folder that is no Windows volume.
run --windows "$work/tmp"
[ $? -eq 2 ] && grep -qF "names no Windows volume" "$work/err" || fail "no volume: $(cat "$work/err")"

if [ $failures -eq 0 ]; then
    echo "windows_volume: all checks passed"
else
    exit 1
fi
