#!/usr/bin/env bash
# The Windows program under Wine as customers' machines run it, in a private copy of the run's
# prefix:
#  1. an in-process component whose DLL imports a DLL of its own, lying beside it or in a folder
#     on the PATH, is created and reported as working;
#  2. a second instance started while one is open ends at once with exit code 0, leaves the
#     first one's log alone and brings its window to the front, restored;
#  3. the window at 100, 150 and 200 percent (LogPixels 96, 144, 192): client area and controls
#     scaled, the icon's images, "&Run Tests" and its access key; a picture at each into PICTURES;
#  4. a temporary folder whose path the code page cannot hold (a Cyrillic user name): the run
#     completes with its log there, named by the folder's short form, and the runtime-logging
#     checkbox makes its marker file there.
#   managed_windows.sh STATE PROGRAM DRIVER VIEWER SERVER_DLL HELPER_DLL PICTURES
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
helper=$6
pictures=$7

wine_loader "$program"
private_prefix "$state"
# Room for the window at 200 percent.
export XVFB_SCREEN=1600x1200x24
start_driver "$work" "$driver" "$viewer"
expect() { # expect WHAT EXPECTED ACTUAL
    [ "$2" = "$3" ] || fail "$1: expected
$2
got
$3"
}
start_program() {
    "$loader" "$program" >"$work/program.out" 2>&1 &
    app=$!
    wait_for_window 120 || {
        echo "FAIL: the window never showed: $(drive windows) $(cat "$work/program.out")"
        exit 1
    }
}
close_program() {
    drive close 60 >/dev/null
    wait "$app"
    app=""
}
completed="Diagnostics Completed\\r\\nThe log file can be found at"

# 1. The component test through a server that imports a DLL of its own: beside it, then in a
#    folder on the user's PATH (which a process whose default DLL search is restricted to the
#    system folder never looks at: there the component failed).
components=$drive_c/Components
mkdir -p "$components" "$drive_c/Helpers"
cp "$server" "$components/ContractComServer.dll"
cp "$helper" "$components/ContractHelper.dll"
# The suite's system folder with its library file.
cp "$server" "$components/ZanUtility7.dll"
{
    echo REGEDIT4
    echo
    echo '[HKEY_CURRENT_USER\Environment]'
    echo '"PATH"="C:\\Helpers"'
    for view in "" 'Wow6432Node\'; do
        echo
        echo "[HKEY_LOCAL_MACHINE\\Software\\${view}Zandorel]"
        echo '"System Directory"="C:\\Components"'
        echo
        echo "[HKEY_LOCAL_MACHINE\\Software\\${view}Classes\\CLSID\\{5A6E0C11-7A2B-4C5D-9E01-0000000000A1}\\InprocServer32]"
        echo '@="C:\\Components\\ContractComServer.dll"'
        echo '"ThreadingModel"="Apartment"'
    done
    for progid in ZanUtility7.ZanUtil ZanGraph7Server.ZGrGraph; do
        echo
        echo "[HKEY_LOCAL_MACHINE\\Software\\Classes\\$progid\\CLSID]"
        echo '@="{5A6E0C11-7A2B-4C5D-9E01-0000000000A1}"'
    done
    echo
} >"$work/components.reg"
import_reg "$work" "$work/components.reg"
component_section() {
    run_once "$work" "$program"
    tr -d '\r' <"$log" | sed -n '/^MRL 7.x System Tests$/,/^\*\*\*\*/p' |
        grep -v -e '^\*' -e '^-*$' -e '^$'
}
working="MRL 7.x System Tests
ZanUtility7: Passed
Plotworks7: Passed"
expect "components whose DLL needs another beside it" "$working" "$(component_section)"
mv "$components/ContractHelper.dll" "$drive_c/Helpers/"
expect "components whose DLL needs another on the PATH" "$working" "$(component_section)"

# 2. A second instance while the first is open, minimised, after a run.
start_program
case $(drive run) in *"$completed"*) ;; *) fail "the first instance's run did not complete" ;; esac
before=$(md5sum <"$log")
drive minimize >/dev/null
timeout 60 "$loader" "$program" >"$work/second.out" 2>&1
expect "the second instance's exit code" 0 $?
[ "$(md5sum <"$log")" = "$before" ] || fail "the second instance changed the first one's log"
expect "the first window after the second start" "foreground 1 iconic 0" "$(drive foreground)"
close_program

# 3. The window at 100, 150 and 200 percent.
pixels() { echo $((($1 * $2 + 720) / 1440)); } # twips at a density, as MulDiv rounds
for dpi in 96 144 192; do
    printf 'REGEDIT4\n\n[HKEY_CURRENT_USER\\Control Panel\\Desktop]\n"LogPixels"=dword:%08x\n\n' \
        "$dpi" >"$work/dpi.reg"
    import_reg "$work" "$work/dpi.reg"
    start_program
    layout=$(drive layout)
    expect "client area at $dpi" "client $(pixels 8505 "$dpi") $(pixels 3930 "$dpi")" \
        "$(echo "$layout" | grep '^client ')"
    # "Run Tests": 240, 990, 1425 x 375 twips in its group, which lies at 120, 150.
    left=$(pixels 240 "$dpi")
    top=$(pixels 990 "$dpi")
    width=$(($(pixels 1665 "$dpi") - left))
    height=$(($(pixels 1365 "$dpi") - top))
    left=$((left + $(pixels 120 "$dpi")))
    top=$((top + $(pixels 150 "$dpi")))
    expect "Run Tests at $dpi" "control 1002 Button $left $top $width $height tab &Run Tests" \
        "$(echo "$layout" | grep '^control 1002 ')"
    expect "icon images" "icon 16x16x32,24x24x32,32x32x32,48x48x32,0x0x32" \
        "$(echo "$layout" | grep '^icon ')"
    drive shot "$(windows_path "$pictures/window-wine-$((dpi * 100 / 96)).png")" ||
        fail "no picture at $dpi"
    close_program
done
printf 'REGEDIT4\n\n[HKEY_CURRENT_USER\\Control Panel\\Desktop]\n"LogPixels"=dword:00000060\n\n' \
    >"$work/dpi.reg"
import_reg "$work" "$work/dpi.reg"
start_program
rm -f "$log"
case $(drive access-key) in *"$completed"*) ;; *) fail "Alt+R did not run the diagnostics" ;; esac
close_program

# 4. A temporary folder outside the code page (1252 here).
user=$(printf '\xd0\x9f\xd1\x91\xd1\x82\xd1\x80') # Пётр
mkdir -p "$drive_c/users/$user/Temp"
{
    printf 'Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Environment]\n'
    printf '"TEMP"="C:\\\\users\\\\%s\\\\Temp"\n"TMP"="C:\\\\users\\\\%s\\\\Temp"\n\n' "$user" "$user"
} | iconv -f UTF-8 -t UTF-16LE >"$work/body.reg"
{
    printf '\xff\xfe'
    cat "$work/body.reg"
} >"$work/temp.reg"
"$loader64" reg import "$(windows_path "$work/temp.reg")" >"$work/import.out" 2>&1 ||
    fail "reg import: $(cat "$work/import.out")"
wineserver -w 2>/dev/null
start_program
expect "checking with the marker outside the code page" "check 1" "$(drive check)"
[ -f "$drive_c/users/$user/Temp/ZandorelLoggingDetail.txt" ] || fail "no marker file"
status=$(drive run)
close_program
profile_log=$drive_c/users/$user/Temp/Zanprobe7.txt
case $status in *"$completed C:\\users\\"*"~"*"\\Temp\\Zanprobe7.txt"*) ;;
*) fail "the run with the folder outside the code page: $status" ;; esac
[ -f "$profile_log" ] || fail "no log in the folder outside the code page"
grep -a '^Windows Temporary Directory = ' "$profile_log" | tr -d '\r' |
    grep -qE '^Windows Temporary Directory = C:\\users\\[ -~]*~[ -~]*\\Temp$' ||
    fail "the temporary folder line: $(grep -a '^Windows Temporary Directory' "$profile_log")"

if [ $failures -eq 0 ]; then
    echo "managed_windows: all checks passed"
else
    echo "program output: $(cat "$work/program.out")"
    exit 1
fi
