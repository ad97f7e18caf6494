#!/usr/bin/env bash
# The Linux program on hostile machines: Wine prefixes built to break the run (damaged and huge
# registry files, deep and wide key trees, awkward names, link loops in the registry and in the
# listed folders, broken drives, unreadable registry files, a full temporary folder), and Windows
# volumes whose SOFTWARE hive is damaged, loops, holds keys deeper than Windows allows or huge
# values.
#   hostile_machines.sh PROGRAM [plain|asan] [CASE...]
# Each case states its time and memory bounds. For each: the exit code is 0 or 1, never a
# signal; the run ends within its time and stays within its memory (largest resident set; the
# plain build also runs under ulimit -v); the problems met are on standard error with file and
# line (a hive's with file and key); and the log is complete (both terminator blocks at its end) or the run is reported as
# failed. Nothing is left behind in the temporary folder.
set -u
program=$1
build=${2:-plain}
shift 2 2>/dev/null || shift $#
here=$(cd "$(dirname "$0")" && pwd)
hives=$here/../data/hives
source "$here/../lib/harness.sh"
work=$(mktemp -d)
mounted=""
cleanup() {
    [ -n "$mounted" ] && umount "$mounted"
    [ -n "${KEEP:-}" ] || rm -rf "$work"; [ -n "${KEEP:-}" ] && echo "kept $work"
}
trap cleanup EXIT
mkdir -p "$work/bin" "$work/home"
# An opener that opens nothing.
printf '#!/bin/sh\nexit 0\n' >"$work/bin/xdg-open"
chmod +x "$work/bin/xdg-open"
terminator=$'\r\n--------------------------------------------------------\r\nDiagnostic Log Terminated\r\n'

# A prefix with drives C: and Z:, the user's temporary folder C:\temp and the suite's folder
# C:\Suite holding one file, then the registry files of the case.
make_prefix() {
    local case=$1
    prefix="$work/$case" temp="$work/$case/drive_c/temp" machine=()
    mkdir -p "$prefix/dosdevices" "$prefix/drive_c/temp" "$prefix/drive_c/windows" \
        "$prefix/drive_c/Suite"
    ln -s ../drive_c "$prefix/dosdevices/c:"
    ln -s / "$prefix/dosdevices/z:"
    echo "suite file" >"$prefix/drive_c/Suite/suite.txt"
    python3 "$here/make_hostile_prefix.py" "$@" "$prefix"
}

# Runs the program on $prefix within SECONDS and MEGABYTES; sets status, out, err and log.
run_bounded() {
    local seconds=$1 megabytes=$2
    out="$prefix.out" err="$prefix.err" log="$temp/Zanprobe7.txt"
    (
        [ "$build" = plain ] && ulimit -v $((megabytes * 1024 + 512 * 1024))
        exec env -u DISPLAY -u WAYLAND_DISPLAY HOME="$work/home" WINEPREFIX="$prefix" \
            TMPDIR="$temp" PATH="$work/bin:$PATH" /usr/bin/time -f '%M %e' -o "$prefix.usage" \
            timeout -s KILL "$seconds" "$program" "${machine[@]}"
    ) >"$out" 2>"$err"
    status=$?
    # The log is where the run says it is (C: in the prefix, Z: the host's root).
    local shown
    shown=$(sed -n 's/^The log file can be found at \(.*\)$/\1/p' "$out" | tr '\\' /)
    case $shown in
    [Cc]:/*) log="$prefix/drive_c/${shown:3}" ;;
    [Zz]:/*) log="/${shown:3}" ;;
    esac
}

# Whether the log ends with the run's terminator block and the one Shutdown appends.
log_complete() {
    [ -f "$log" ] && printf '%s%s' "$terminator" "$terminator" |
        cmp -s - <(tail -c $((2 * ${#terminator})) "$log")
}

# The checks every case shares; NAME for the messages.
check_outcome() {
    local name=$1 seconds=$2 megabytes=$3
    local rss elapsed
    read -r rss elapsed < <(tail -n 1 "$prefix.usage" 2>/dev/null) || { rss=0 elapsed=0; }
    echo "$name: exit $status, ${elapsed}s, $((rss / 1024)) MB"
    if [ "$status" -gt 1 ]; then
        fail "$name: exit $status (a signal or the ${seconds}s bound): $(tail -5 "$err")"
        return
    fi
    [ "$rss" -le $((megabytes * 1024)) ] || fail "$name: $((rss / 1024)) MB > $megabytes MB"
    if [ "$status" -eq 0 ]; then
        grep -qx "Diagnostics Completed" "$out" || fail "$name: exit 0 without completion"
        log_complete || fail "$name: exit 0 but the log is incomplete"
    else
        grep -q "^Diagnostics Failed" "$out" || fail "$name: exit 1 without a failure message"
    fi
    [ ! -e "$temp/ZandorelRegDump.txt" ] || fail "$name: dump file left behind"
}

# A problem line on standard error: "zanprobe7: <file>:<line>: <what>".
expect_problem() {
    local name=$1 pattern=$2
    grep -qE "^zanprobe7: $prefix/$pattern" "$err" || fail "$name: no problem '$pattern' in: $(head -3 "$err")"
}

expect_in_log() {
    local name=$1 text=$2
    LC_ALL=C grep -qF -- "$text" "$log" 2>/dev/null || fail "$name: not in the log: $text"
}

hostile_case() {
    local case=$1 seconds=$2 megabytes=$3
    shift 3
    make_prefix "$case" "$@"
    "setup_$case" 2>/dev/null
    run_bounded "$seconds" "$megabytes"
    check_outcome "$case" "$seconds" "$megabytes"
    "check_$case"
}

setup_random_bytes() { :; }
check_random_bytes() { expect_problem random_bytes 'system.reg:1: not a Wine registry file'; }

setup_cut_value() { :; }
check_cut_value() { expect_problem cut_value 'system.reg:10: unterminated string'; }

setup_crlf() { :; }
check_crlf() {
    grep -q "^zanprobe7: " "$err" && fail "crlf: problems reported: $(head -3 "$err")"
    expect_in_log crlf '"Read"="through CR LF"'
    expect_in_log crlf '"Bytes"=hex:01,02,03'
}

setup_big_key() { :; }
check_big_key() { grep -q "^zanprobe7: " "$err" && fail "big_key: problems reported: $(head -3 "$err")"; }

setup_long_value() { :; }
check_long_value() {
    local whole
    whole=$(LC_ALL=C awk '/^"Ten MB"="v*"\r$/ && length($0) == 10485772 { n++ } END { print n + 0 }' "$log")
    [ "$whole" -eq 1 ] ||
        fail "long_value: the 10 MB value is not whole in the log"
}

setup_many_subkeys() { :; }
check_many_subkeys() {
    local count
    count=$(LC_ALL=C grep -c '^\[HKEY_CURRENT_USER\\Software\\Zandorel\\Many\\Key' "$log")
    [ "$count" -eq 100000 ] || fail "many_subkeys: $count of 100000 keys in the log"
}

setup_deep_keys() { :; }
check_deep_keys() {
    # The export goes down to the 512 levels a Windows registry can hold.
    local count
    count=$(LC_ALL=C grep -c '^"Depth"=dword:' "$log")
    [ "$count" -eq 510 ] || fail "deep_keys: $count levels in the log, wanted 510"
}

setup_awkward_names() { :; }
check_awkward_names() {
    expect_in_log awkward_names '[HKEY_CURRENT_USER\Software\Zandorel\] "quoted" / back]'
    expect_in_log awkward_names '"] \"quoted\" \\ back"="] \"quoted\" \\ back"'
    expect_in_log awkward_names '"100% ^caret & (paren)"="100% ^caret & (paren)"'
    expect_in_log awkward_names '"  blanks  "="  blanks  "'
    expect_in_log awkward_names "\"caf"$'\xe9'"\"=\"caf"$'\xe9'"\""
    # Characters outside the code page become its default character.
    expect_in_log awkward_names '"?mega ?? '
}

setup_link_loop() { :; }
check_link_loop() { expect_in_log link_loop '[HKEY_CURRENT_USER\Software\Zandorel\Loop]'; }

# Links in the listed folder: back up the tree, to itself, to a host folder, and dangling.
setup_folder_links() {
    mkdir -p "$work/host-folder"
    echo "host file" >"$work/host-folder/host.txt"
    ln -s .. "$prefix/drive_c/Suite/up"
    ln -s . "$prefix/drive_c/Suite/self"
    ln -s ../Suite "$prefix/drive_c/Suite/again"
    ln -s "$work/host-folder" "$prefix/drive_c/Suite/host"
    ln -s missing "$prefix/drive_c/Suite/dangling"
}
check_folder_links() {
    expect_in_log folder_links ' Directory of C:\Suite'$'\r'
    expect_in_log folder_links ' Directory of C:\Suite\host'$'\r'
    [ "$(LC_ALL=C grep -c ' suite.txt'$'\r''$' "$log")" -eq 1 ] ||
        fail "folder_links: the suite's file is not listed exactly once"
}

# A drive that points to itself and one that points to a missing folder.
setup_dosdevices() {
    ln -s d: "$prefix/dosdevices/d:"
    ln -s "$work/nowhere" "$prefix/dosdevices/e:"
    python3 - "$prefix/system.reg" <<'PY'
import sys
with open(sys.argv[1], "a") as f:
    f.write('[Software\\\\Zandorel\\\\Drives] 1700000000\n"Loop"="D:\\\\x"\n"Gone"="E:\\\\x"\n')
PY
}
check_dosdevices() { expect_in_log dosdevices '"Loop"="D:\\x"'; }

# Registry files that cannot be read: a folder where user.reg should be, and a named pipe that no
# program writes to where userdef.reg should be (which must not hold the run up). (The tests run
# as root, who reads any file whatever its mode, so a mode cannot make a file unreadable.)
setup_unreadable() {
    rm -f "$prefix/user.reg" "$prefix/userdef.reg"
    mkdir "$prefix/user.reg"
    mkfifo "$prefix/userdef.reg"
}
check_unreadable() {
    expect_problem unreadable 'user.reg: cannot be read'
    expect_problem unreadable 'userdef.reg: cannot be read'
}

# A temporary folder on a full file system: a small tmpfs where the user's temporary folder is.
setup_temp_full() {
    mount -t tmpfs -o size=16k tmpfs "$prefix/drive_c/temp" 2>/dev/null && mounted="$prefix/drive_c/temp"
    [ -n "$mounted" ] && head -c 12k /dev/zero >"$mounted/filler"
}

# The log cannot be written whole: the honest outcome is a run reported as failed.
check_outcome_temp_full() {
    local rss elapsed
    read -r rss elapsed < <(tail -n 1 "$prefix.usage" 2>/dev/null) || { rss=0 elapsed=0; }
    echo "temp_full: exit $status, ${elapsed}s, $((rss / 1024)) MB"
    [ "$status" -le 1 ] || { fail "temp_full: exit $status: $(tail -5 "$err")"; return; }
    if [ "$status" -eq 0 ]; then
        log_complete || fail "temp_full: 'Diagnostics Completed' for a log that was not written whole"
    else
        grep -q "^Diagnostics Failed" "$out" || fail "temp_full: exit 1 without a failure message"
    fi
}

# Windows volumes (make_hostile_volume.py) whose SOFTWARE hive holds the case below the key
# Zandorel, which the run exports: the run goes on past what libhivex cannot read, and reports
# it with file and key.
volume_case() {
    local case=$1
    prefix="$work/$case" temp="$work/$case.tmp" machine=(--windows "$work/$case")
    mkdir -p "$temp"
    python3 "$here/make_hostile_volume.py" "$case" "$hives" "$prefix" >/dev/null ||
        { fail "$case: the volume could not be made"; return; }
    run_bounded 30 512
    check_outcome "$case" 30 512
    "check_$case"
}
software='Windows/System32/config/SOFTWARE: key "Zandorel'
check_damaged_hive() {
    expect_problem damaged_hive "$software"'\\Broken": its subkeys cannot be read'
    expect_problem damaged_hive "$software"'\\Garbled": its values cannot be read'
    expect_in_log damaged_hive '"Kept"="read"'
}
check_key_loop() {
    expect_problem key_loop "$software"'\\Loop\\Inner\\Loop": it is a key met before'
    expect_in_log key_loop '[HKEY_LOCAL_MACHINE\Software\Zandorel\Loop\Inner]'
}
check_deep_hive_keys() {
    # Keys are made down to the 512 levels a Windows registry can hold; the next is reported.
    expect_problem deep_hive_keys "$software"'\\Deep(\\D){510}": it lies deeper than Windows allows'
    local count
    count=$(LC_ALL=C grep -c '^\[HKEY_LOCAL_MACHINE\\Software\\Zandorel\\Deep' "$log")
    [ "$count" -eq 510 ] || fail "deep_hive_keys: $count levels in the log, wanted 510"
}
check_huge_values() {
    # libhivex reads no value over 8 MB: the 64 MB one is reported, the longest name is read.
    expect_problem huge_values "$software"'": a value cannot be read \(Numerical result out of range\)'
    local name
    name=$(printf 'n%.0s' $(seq 16383))
    expect_in_log huge_values "\"$name\"=\"longest name\""
}

cases=("$@")
[ ${#cases[@]} -gt 0 ] || cases=(random_bytes cut_value crlf big_key long_value many_subkeys
    deep_keys awkward_names link_loop folder_links dosdevices unreadable temp_full
    damaged_hive key_loop deep_hive_keys huge_values)
# The big file: 200 MB on the plain build; the sanitizer build reads it several times slower,
# so it gets 50 MB, which meets the same code paths.
big_size=$((200 << 20))
[ "$build" = plain ] || big_size=$((50 << 20))
for case in "${cases[@]}"; do
    case $case in
    big_key) hostile_case big_key 120 2048 "$big_size" ;;
    long_value | many_subkeys) hostile_case "$case" 60 1024 ;;
    damaged_hive | key_loop | deep_hive_keys | huge_values) volume_case "$case" ;;
    temp_full)
        make_prefix temp_full
        setup_temp_full
        if [ -z "$mounted" ]; then
            echo "temp_full: SKIPPED (no tmpfs can be mounted here)"
            continue
        fi
        run_bounded 30 512
        check_outcome_temp_full
        umount "$mounted" && mounted=""
        ;;
    *) hostile_case "$case" 30 512 ;;
    esac
done

[ $failures -eq 0 ] && echo "hostile_machines: all checks passed"
exit $((failures > 0))
