#!/usr/bin/env bash
# The installed Linux program: cmake --install into a temporary folder gives the program, its
# window module, its manual page and the README in their places, the program linking neither FLTK
# nor X; the installed program answers its command line (help, version, usage errors, a run in
# the terminal that is quiet and opens nothing, a run without a display or without the window
# module, the log reader on good and damaged logs); cpack builds a Debian package with that file
# list and the dependencies of the libraries the program and the module link.
#   install_layout.sh BUILD_DIR GOLDEN_DIR HAVE_FLTK
set -u
build=$1
golden=$2
have_fltk=$3
here=$(dirname "$0")
. "$here/../lib/harness.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# 1. The installed layout.
cmake --install "$build" --prefix "$work/usr" >"$work/install.out" 2>&1 ||
    fail "cmake --install failed: $(cat "$work/install.out")"
installed=$(cd "$work/usr" && find . -type f | sort | tr '\n' ' ')
window=""
[ "$have_fltk" = ON ] && window="./lib/zanprobe7/zanprobe7-window.so "
expected="./bin/zanprobe7 ${window}./share/doc/zanprobe7/README.md ./share/man/man1/zanprobe7.1 "
[ "$installed" = "$expected" ] || fail "installed files: $installed"
program=$work/usr/bin/zanprobe7
# FLTK and X are the window module's: the program links only the C and C++ runtimes and libhivex
# for Windows registry hives (and the sanitizers' in a sanitizer build); libzip, for zipped logs,
# is loaded when one is read.
linked=$(readelf -d "$program" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p' |
    grep -v -e '^libasan\.' -e '^libubsan\.' | sort | tr '\n' ' ')
[ "$linked" = "libc.so.6 libgcc_s.so.1 libhivex.so.0 libm.so.6 libstdc++.so.6 " ] ||
    fail "the program links $linked"
grep -q '^\.TH ZANPROBE7 1 .*"zanprobe7 7\.0\.27"' "$work/usr/share/man/man1/zanprobe7.1" ||
    fail "manual page heading: $(head -1 "$work/usr/share/man/man1/zanprobe7.1")"

# 2. Help, version and usage errors: nothing is run, nothing is written.
mkdir -p "$work/home" "$work/tmp" "$work/bin"
cat >"$work/bin/xdg-open" <<EOS
#!/bin/sh
echo "\$1" >>"$work/opened"
EOS
chmod +x "$work/bin/xdg-open"
zp() {
    env -u DISPLAY -u WAYLAND_DISPLAY -u WINEPREFIX HOME="$work/home" TMPDIR="$work/tmp" \
        PATH="$work/bin:$PATH" "$@" "$program" "${args[@]}" >"$work/out" 2>"$work/err"
}
expect() { # EXIT_CODE ARGUMENTS... ; the exit code of the program on those arguments
    local want=$1
    shift
    args=("$@")
    zp
    local got=$?
    [ $got -eq "$want" ] || fail "zanprobe7 $* exited $got, wanted $want: $(cat "$work/err")"
}
expect 0 --help
grep -q '^Usage: zanprobe7' "$work/out" || fail "--help printed: $(head -3 "$work/out")"
grep -q '2  usage error' "$work/out" || fail "--help names no exit codes"
expect 0 --version
[ "$(cat "$work/out")" = "zanprobe7 7.0.27" ] || fail "--version printed: $(cat "$work/out")"
expect 2 --frobnicate
[ "$(head -1 "$work/err")" = "zanprobe7: unknown option '--frobnicate'" ] ||
    fail "unknown option: $(cat "$work/err")"
grep -q -- "--help" "$work/err" || fail "no usage hint after a usage error"
expect 2 --prefix
grep -q "'--prefix' needs a folder" "$work/err" || fail "missing value: $(cat "$work/err")"
expect 2 --prefix "$work/nowhere"
grep -q -- "--prefix names no Wine prefix" "$work/err" || fail "bad prefix: $(cat "$work/err")"
[ -z "$(ls "$work/tmp")" ] || fail "help or a usage error wrote $(ls "$work/tmp")"

# 3. A quiet run in the terminal that opens nothing; --empty wins over a WINEPREFIX.
quiet_output() {
    printf 'Diagnostics Completed\nThe log file can be found at %s\\Zanprobe7.txt\n' \
        "$(windows_path "$work/tmp")" | cmp -s - "$work/out"
}
args=(--terminal --no-open --quiet --empty)
zp WINEPREFIX="$work/nowhere" DISPLAY=:99
status=$?
[ $status -eq 0 ] || fail "quiet run exited $status: $(cat "$work/err")"
quiet_output || fail "quiet run printed: $(cat "$work/out")"
sleep 0.5
[ ! -e "$work/opened" ] || fail "--no-open opened $(cat "$work/opened")"
log=$work/tmp/Zanprobe7.txt

# 3a. A display that cannot be opened (":x" names none) without --terminal: the run is shown in
# the terminal, silently with the window module and after one line on stderr without it.
if [ "$have_fltk" = ON ]; then
    module=$work/usr/lib/zanprobe7/zanprobe7-window.so
    for case in present absent; do
        [ $case = absent ] && mv "$module" "$work/module.so"
        args=(--no-open --quiet --empty)
        zp DISPLAY=:x
        status=$?
        [ $status -eq 0 ] || fail "module $case: the run exited $status: $(cat "$work/err")"
        quiet_output || fail "module $case: the run printed: $(cat "$work/out")"
        want=""
        [ $case = absent ] && want="zanprobe7: the window cannot be opened: $work/usr/bin/../lib/\
zanprobe7/zanprobe7-window.so: cannot open shared object file: No such file or directory; the run \
is shown in the terminal"
        [ "$(cat "$work/err")" = "$want" ] || fail "module $case: stderr: $(cat "$work/err")"
    done
    mv "$work/module.so" "$module"
fi

# 4. The log reader on the run's log, a golden log and damaged logs.
expect 0 summary "$log"
tail -1 "$work/out" | grep -qx "The log is complete." || fail "summary of the run: $(cat "$work/out")"
sed 's/$/\r/' "$golden/inspection-64bit.log" >"$work/golden.txt"
expect 0 summary --json "$work/golden.txt"
grep -q '"counts": {"sections": 30, "failed": 2, "missing": 9' "$work/out" ||
    fail "summary --json: $(tail -2 "$work/out")"
head -c 9000 "$work/golden.txt" >"$work/cut.txt"
expect 0 summary "$work/cut.txt"
grep -q "^The log is cut off after line 1[0-9][0-9]: " "$work/out" || fail "cut log: $(tail -1 "$work/out")"
expect 0 summary "$golden/inspection-64bit.log"
grep -qx "Converted: LF line ends" "$work/out" || fail "LF log: $(head -3 "$work/out")"
expect 1 summary "$program"
grep -q ": line 1: not a report log" "$work/err" || fail "program as a log: $(cat "$work/err")"
expect 1 compare "$log" "$work/nowhere"
grep -q "nowhere: cannot be read" "$work/err" || fail "missing file: $(cat "$work/err")"
expect 0 compare "$work/golden.txt" "$work/cut.txt"
grep -q "^The new log is cut off" "$work/out" || fail "compare with a cut log: $(tail -2 "$work/out")"

# 5. The Debian package: its files and its dependencies.
if cpack -G DEB -B "$work/pkg" --config "$build/CPackConfig.cmake" >"$work/cpack.out" 2>&1; then
    deb=$(ls "$work/pkg"/*.deb)
    files=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $NF}' | sort | tr '\n' ' ')
    wanted=$(echo "$expected" | sed 's|\./|./usr/|g')
    [ "$files" = "$wanted" ] || fail "package files: $files"
    [ "$(dpkg-deb -f "$deb" Package Version | tr '\n' ' ')" = "Package: zanprobe7 Version: 7.0.27 " ] ||
        fail "package name and version: $(dpkg-deb -f "$deb" Package Version)"
    depends=$(dpkg-deb -f "$deb" Depends)
    depends_names=$(echo "$depends" | tr ',' '\n' | sed 's/^ *//; s/ .*//')
    needed="libc6 libstdc++6 libgcc-s1 libhivex0 libzip4"
    [ "$have_fltk" = ON ] && needed="$needed libfltk1.3 libx11-6"
    for package in $needed; do
        echo "$depends_names" | grep -qxF "$package" || fail "Depends lacks $package: $depends"
    done
    dpkg-deb -x "$deb" "$work/deb"
    file "$work/deb/usr/bin/zanprobe7" | grep -q ", stripped" || fail "the packaged program is not stripped"
else
    fail "cpack failed: $(tail -5 "$work/cpack.out")"
fi

if [ $failures -eq 0 ]; then
    echo "install_layout: all checks passed"
else
    exit 1
fi
