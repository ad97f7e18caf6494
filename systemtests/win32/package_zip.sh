#!/usr/bin/env bash
# The zip of the Windows program: cpack puts Zanprobe7.exe, the README and the licence texts of
# the runtime libraries linked into it into one folder, and the program is still a 32-bit GUI
# program.
#   package_zip.sh BUILD_DIR
set -u
build=$1
. "$(dirname "$0")/../lib/harness.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cpack -G ZIP -B "$work/pkg" --config "$build/CPackConfig.cmake" >"$work/cpack.out" 2>&1 ||
    fail "cpack failed: $(tail -5 "$work/cpack.out")"
zip=$work/pkg/Zanprobe7-7.0.27-win32.zip
files=$(cmake -E tar tf "$zip" | grep -v '/$' | sort | tr '\n' ' ')
top=Zanprobe7-7.0.27-win32
wanted="$top/README.md $top/Zanprobe7.exe $top/licences/GPL-3.txt $top/licences/gcc-runtime.txt $top/licences/mingw-w64-runtime.txt "
[ "$files" = "$wanted" ] || fail "zip holds: $files"
(cd "$work" && cmake -E tar xf "$zip")
file "$work/$top/Zanprobe7.exe" | grep -q "PE32 executable (GUI) Intel 80386" ||
    fail "the zipped program: $(file "$work/$top/Zanprobe7.exe")"
grep -q "GCC RUNTIME LIBRARY EXCEPTION" "$work/$top/licences/gcc-runtime.txt" ||
    fail "gcc-runtime.txt has no runtime library exception"
grep -q "winpthreads" "$work/$top/licences/mingw-w64-runtime.txt" ||
    fail "mingw-w64-runtime.txt does not cover winpthreads"

if [ $failures -eq 0 ]; then
    echo "package_zip: all checks passed"
else
    exit 1
fi
