#!/usr/bin/env bash
# The built Windows program as Windows loads it: a PE32 image (the 64-bit twin: PE32+) for the
# GUI subsystem, importing only known DLLs (which Windows always takes from the system folder,
# never from the program's own folder), not marked NX_COMPAT (the process's DEP state is the
# machine's) and marked TERMINAL_SERVER_AWARE, with DYNAMIC_BASE kept.
#   pe_flags.sh PROGRAM pe32|pe32+
set -u
. "$(dirname "$0")/../lib/harness.sh"
program=$1
format=$2

objdump=i686-w64-mingw32-objdump
[ "$format" = pe32+ ] && objdump=x86_64-w64-mingw32-objdump
headers=$("$objdump" -p "$program") || {
    echo "FAIL: $objdump cannot read $program"
    exit 1
}
field() { echo "$headers" | awk -v name="$1" '$1 == name { print $2; exit }'; }

case "$format" in
pe32) magic=010b ;;
pe32+) magic=020b ;;
*) magic="?" ;;
esac
[ "$(field Magic)" = "$magic" ] || fail "Magic is $(field Magic), not $magic ($format)"
[ "$(field Subsystem)" = 00000002 ] || fail "Subsystem is $(field Subsystem), not 2 (Windows GUI)"

characteristics=$((16#$(field DllCharacteristics)))
flag() { [ $((characteristics & $1)) -ne 0 ]; }
flag 0x0100 && fail "marked NX_COMPAT (DllCharacteristics $(field DllCharacteristics))"
flag 0x8000 || fail "not marked TERMINAL_SERVER_AWARE (DllCharacteristics $(field DllCharacteristics))"
flag 0x0040 || fail "not marked DYNAMIC_BASE (DllCharacteristics $(field DllCharacteristics))"

# Windows' known DLLs (Session Manager\KnownDLLs, as Windows 10 lists them).
known=" advapi32.dll combase.dll comdlg32.dll gdi32.dll imm32.dll kernel32.dll msvcrt.dll "
known+="ole32.dll oleaut32.dll rpcrt4.dll sechost.dll setupapi.dll shcore.dll shell32.dll "
known+="shlwapi.dll user32.dll ws2_32.dll "
imports=$(echo "$headers" | awk '/DLL Name:/ { print tolower($3) }' | sort -u)
[ -n "$imports" ] || fail "no imports found"
for dll in $imports; do
    case "$known" in
    *" $dll "*) ;;
    *) fail "imports $dll, which is no known DLL" ;;
    esac
done

[ "$failures" -eq 0 ] || exit 1
echo "pe_flags: $format GUI, DllCharacteristics $(field DllCharacteristics), imports" $imports
