#!/usr/bin/env bash
# Compares the simulated `reg export` with Wine's own on the same keys.
#   regexport-vs-wine.sh STATE TOOL
# STATE is the file that names the Wine prefix of the test run, TOOL the Linux build's
# zanprobe-regexport. The keys are imported into the prefix with Wine's `reg import`, exported
# with Wine's `reg export`, and exported again by the Linux build from the prefix's registry
# files; the two exports must be the same text. Exit code 77 (skipped) when the Linux build's
# tool has not been built.
set -euo pipefail

state=$1
tool=$2
if [ ! -x "$tool" ]; then
    echo "SKIPPED: $tool is missing; build the linux preset first"
    exit 77
fi

WINEPREFIX=$(cat "$state")
export WINEPREFIX
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
wine=/usr/lib/wine/wine64

work=$(mktemp -d "${TMPDIR:-/tmp}/zanprobe-regexport.XXXXXX")
trap 'rm -rf "$work"' EXIT

# Wine lists values by name, Windows in creation order: the values are created in name order so
# that both agree. Subkey names avoid the characters between Z and a, which Wine sorts by their
# lower-case and Windows by their upper-case forms.
cat >"$work/keys.reg" <<'REG'
Windows Registry Editor Version 5.00

[HKEY_CURRENT_USER\Software\ZanprobeRegExport]
@="default value"
"Binary"=hex:00,01,02,fe,ff
"Dword"=dword:0012abcd
"Empty"=""
"EmptyBinary"=hex:
"Expand"=hex(2):25,00,53,00,79,00,73,00,74,00,65,00,6d,00,52,00,6f,00,6f,00,74,00,25,00,5c,00,78,00,00,00
"LongBinary"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,16,17,18,19,1a,1b,1c,1d,1e,1f,20,21,22,23,24,25,26,27,28,29,2a,2b,2c,2d,2e,2f,30,31,32,33,34,35,36,37,38,39,3a,3b,3c,3d,3e,3f,40,41,42,43,44,45,46,47,48,49
"Multi"=hex(7):4c,00,69,00,6e,00,65,00,31,00,00,00,4c,00,69,00,6e,00,65,00,32,00,00,00,00,00
"None"=hex(0):56,61,6c,75,65
"Other"=hex(100):01,02
"Qword"=hex(b):08,07,06,05,04,03,02,01
"Quote\"And\\Backslash"="C:\\Program Files\\\"quoted\""
"Text"="Hello, World"

[HKEY_CURRENT_USER\Software\ZanprobeRegExport\Beta Key]
"x"=dword:00000001

[HKEY_CURRENT_USER\Software\ZanprobeRegExport\alpha]

[HKEY_CURRENT_USER\Software\ZanprobeRegExport\alpha\Deeper]
"Deep"="value"
REG

cat >"$work/view.reg" <<'REG'
Windows Registry Editor Version 5.00

[HKEY_LOCAL_MACHINE\Software\ZanprobeRegExport]
"Where"="32-bit view"
REG

"$wine" reg import "$work/keys.reg" >/dev/null
"$wine" reg import "$work/view.reg" /reg:32 >/dev/null

status=0
compare() {
    local name=$1 key=$2
    shift 2
    "$wine" reg export "$key" "$work/$name.wine.reg" "$@" /y >/dev/null
    # The registry files are written when the prefix's wineserver ends.
    wineserver -w
    "$tool" "$WINEPREFIX" "$key" "$work/$name.sim.reg" "$@"
    iconv -f UTF-16LE -t UTF-8 "$work/$name.wine.reg" >"$work/$name.wine.txt"
    iconv -f UTF-16LE -t UTF-8 "$work/$name.sim.reg" >"$work/$name.sim.txt"
    if cmp -s "$work/$name.wine.txt" "$work/$name.sim.txt"; then
        echo "same export: $key $*"
    else
        echo "exports differ: $key $*"
        diff "$work/$name.wine.txt" "$work/$name.sim.txt" || true
        status=1
    fi
}

compare user 'HKCU\Software\ZanprobeRegExport'
compare view 'HKEY_LOCAL_MACHINE\Software\ZanprobeRegExport' /reg:32

# A missing key fails on both sides with exit code 1.
set +e
"$tool" "$WINEPREFIX" 'HKCU\Software\ZanprobeRegExport\Missing' "$work/missing.reg" 2>/dev/null
missing=$?
set -e
if [ "$missing" -ne 1 ]; then
    echo "export of a missing key: exit code $missing, expected 1"
    status=1
fi

"$wine" reg delete 'HKCU\Software\ZanprobeRegExport' /f >/dev/null
"$wine" reg delete 'HKLM\Software\ZanprobeRegExport' /reg:32 /f >/dev/null
exit $status
