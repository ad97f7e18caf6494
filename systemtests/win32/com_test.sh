#!/usr/bin/env bash
# The suite component section through real COM under Wine: in-process servers of ours registered
# in the test prefix under the suite's ProgIDs, the program's "Run Tests" clicked by zandriver,
# and the section read from the log. Both components working; the graph's "Initialize" failing;
# the utility's ProgID not registered.
#   com_test.sh STATE PROGRAM DRIVER VIEWER SERVER_DLL
set -u -o pipefail
# shellcheck source=../lib/harness.sh
source "$(dirname "$0")/../lib/harness.sh"
# shellcheck source=../lib/wine_run.sh
source "$(dirname "$0")/../lib/wine_run.sh"
state=$1
program=$2
driver=$3
viewer=$4
server=$5

wine_loader "$program"
shared_prefix "$state"
start_driver "$work" "$driver" "$viewer"

# The suite's system folder with its library file, and the servers, in both registry views.
mkdir -p "$WINEPREFIX/drive_c/Zandorel/System"
cp "$server" "$WINEPREFIX/drive_c/Zandorel/System/ZanUtility7.dll"
cp "$server" "$work/ContractComServer.dll"
server_path=$(windows_path "$work/ContractComServer.dll")
working="{5A6E0C11-7A2B-4C5D-9E01-0000000000A1}"
failing="{5A6E0C11-7A2B-4C5D-9E01-0000000000A2}"
reg() { # reg add|delete KEY [ARGS...], in both views, by Wine's 64-bit reg
    for view in /reg:32 /reg:64; do
        "$loader64" reg "$@" /f "$view" >>"$work/reg.out" 2>&1 || fail "reg $* $view"
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
    "$loader" "$program" >"$work/program.out" 2>&1 &
    app=$!
    wait_for_window 120 || fail "the window never showed"
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

# The test runs in the shared prefix: what it registered goes, so that no later test meets a
# server whose file went with this test's work folder.
for key in 'HKCR\ZanGraph7Server.ZGrGraph' "HKCR\\CLSID\\$working" "HKCR\\CLSID\\$failing" \
    'HKLM\Software\Zandorel'; do
    reg delete "$key"
done
rm -rf "$WINEPREFIX/drive_c/Zandorel"

if [ $failures -eq 0 ]; then
    echo "com_test: all checks passed"
else
    echo "program output: $(cat "$work/program.out")"
    exit 1
fi
