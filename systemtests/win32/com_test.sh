#!/usr/bin/env bash
# The suite component section through real COM under Wine: in-process servers of ours registered
# in the test prefix under the suite's ProgIDs, the program's "Run Tests" clicked by zandriver,
# and the section read from the log. Both components working; the graph's "Initialize" failing;
# the utility's ProgID not registered.
#   com_test.sh STATE PROGRAM DRIVER VIEWER SERVER_DLL
set -u -o pipefail
# shellcheck source=../lib/harness.sh
source "$(dirname "$0")/../lib/harness.sh"
state=$1
program=$2
driver=$3
viewer=$4
server=$5
root=$(cd "$(dirname "$0")/../.." && pwd)

wine_run() { "$root/scripts/wineprefix.sh" run "$state" "$@"; }
drive() { wine_run "$driver" "$@" | tr -d '\r'; }

wine_run "$driver" temp >/dev/null 2>&1
[ $? -eq 77 ] && {
    echo "SKIPPED: this host cannot execute 32-bit programs"
    exit 77
}

work=$(mktemp -d)
WINEPREFIX=$(cat "$state")
export WINEPREFIX
app=""
cleanup() {
    if [ -n "$app" ]; then
        kill "$app" 2>/dev/null
        wineserver -k 2>/dev/null
    fi
    timeout 60 wineserver -w 2>/dev/null
    [ -n "${xvfb:-}" ] && kill "$xvfb" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

wineserver -w 2>/dev/null
start_xvfb "$work"
export ZANPROBE_VIEWER_RECORD
ZANPROBE_VIEWER_RECORD=$(windows_path "$work/opened")
drive prepare "$(windows_path "$viewer")" || fail "cannot prepare the prefix"
windows_temp=$(drive temp)
windows_temp=${windows_temp%\\}
log="$WINEPREFIX/drive_c/$(echo "${windows_temp#?:\\}" | tr '\\' /)/Zanprobe7.txt"

# The suite's system folder with its library file, and the servers, in both registry views.
mkdir -p "$WINEPREFIX/drive_c/Zandorel/System"
cp "$server" "$WINEPREFIX/drive_c/Zandorel/System/ZanUtility7.dll"
cp "$server" "$work/ContractComServer.dll"
server_path=$(windows_path "$work/ContractComServer.dll")
working="{5A6E0C11-7A2B-4C5D-9E01-0000000000A1}"
failing="{5A6E0C11-7A2B-4C5D-9E01-0000000000A2}"
reg() { # reg add|delete KEY [ARGS...], in both views, by Wine's 64-bit reg
    for view in /reg:32 /reg:64; do
        /usr/lib/wine/wine64 reg "$@" /f "$view" >>"$work/reg.out" 2>&1 || fail "reg $* $view"
    done
}
reg add 'HKLM\Software\Zandorel' /v "System Directory" /d 'C:\Zandorel\System'
for class in "$working" "$failing"; do
    reg add "HKCR\\CLSID\\$class\\InprocServer32" /ve /d "$server_path"
    reg add "HKCR\\CLSID\\$class\\InprocServer32" /v ThreadingModel /d Apartment
done
register() { # register PROGID CLASS
    reg add "HKCR\\$1\\CLSID" /ve /d "$2"
}

# The component section of one run: the lines from its heading up to the next heading.
section() {
    rm -f "$log"
    wine_run "$program" >"$work/program.out" 2>&1 &
    app=$!
    drive wait 120 >/dev/null || fail "the window never showed"
    drive run >/dev/null
    drive close 60 >/dev/null
    wait "$app"
    app=""
    tr -d '\r' <"$log" | sed -n '/^MRL 7.x System Tests$/,/^\*\*\*\*/p' | grep -v -e '^\*' -e '^-*$' -e '^$'
}
expect() { # expect WHAT EXPECTED ACTUAL
    [ "$2" = "$3" ] || fail "$1: expected
$2
got
$3"
}

register ZanUtility7.ZanUtil "$working"
register ZanGraph7Server.ZGrGraph "$working"
expect "both components working" "MRL 7.x System Tests
ZanUtility7: Passed
Plotworks7: Passed" "$(section)"

register ZanGraph7Server.ZGrGraph "$failing"
expect "Initialize failing" "MRL 7.x System Tests
ZanUtility7: Passed
<FAILURE> Unable to initialize test graph : Contract graph cannot start (0x80004005)
Plotworks7: " "$(section)"

reg delete 'HKCR\ZanUtility7.ZanUtil'
expect "utility not registered" "MRL 7.x System Tests
ZanUtility7: Unable to create root ZanUtility7.ZanUtil object (Invalid class string (0x800401F3))
Plotworks7: Test not run because ZanUtility7 test failed." "$(section)"

if [ $failures -eq 0 ]; then
    echo "com_test: all checks passed"
else
    echo "program output: $(cat "$work/program.out")"
    exit 1
fi
