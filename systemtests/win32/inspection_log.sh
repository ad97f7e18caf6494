#!/usr/bin/env bash
# The inspection sections of the Windows program under Wine: the machine state of the golden-log
# unit test (a 64-bit machine with Office 16, the suite and a handful of settings) is seeded into
# a private copy of the run's Wine prefix, the program runs through its window (zandriver), and
# its log must equal the golden log, except for
#   - the time in the first line (the host's clock, where the unit test fixes it) and the
#     temporary folder (the Wine user's, where the unit test has C:\users\tester\Temp);
#   - the bodies of the registry exports and folder listings (the lines under the headings
#     "Registry entries for ..." and "Contents of ..."), because Wine's own cmd mangles them:
#     its "type" appends only a few bytes of a UTF-16 export, and its "dir /s /a-d" prints
#     "File not found." for folders that hold files. Their headings are compared: they show
#     that each key or folder was found;
#   - the sections of the runtime, component and Office information steps, which the golden
#     log leaves out too.
#   inspection_log.sh STATE PROGRAM DRIVER VIEWER GOLDEN
# With KEEP_WORK set, the work folder (prefix copy, logs, compared lines) is kept and named.
set -u -o pipefail
# shellcheck source=../lib/harness.sh
source "$(dirname "$0")/../lib/harness.sh"
# shellcheck source=../lib/wine_run.sh
source "$(dirname "$0")/../lib/wine_run.sh"
state=$1
program=$2
driver=$3
viewer=$4
golden=$5

wine_loader "$program"
private_prefix "$state"

# Files: the .NET Framework folders, the suite, Excel.
mkdir -p "$drive_c/windows/Microsoft.NET/Framework/v4.0.30319" \
    "$drive_c/windows/Microsoft.NET/Framework64/v4.0.30319" \
    "$drive_c/Program Files (x86)/Zandorel/MRL7/Orvex" \
    "$drive_c/Program Files (x86)/Zandorel/System" \
    "$drive_c/Program Files/Microsoft Office/Root/Office16"
rm -f "$drive_c/windows/Microsoft.NET/Framework64/v4.0.30319/mscorlib.dll"
[ -f "$drive_c/windows/Microsoft.NET/Framework/v4.0.30319/mscorlib.dll" ] ||
    printf MZ >"$drive_c/windows/Microsoft.NET/Framework/v4.0.30319/mscorlib.dll"
head -c 12345 /dev/zero >"$drive_c/Program Files (x86)/Zandorel/MRL7/ZanUtility7.dll"
head -c 2048 /dev/zero >"$drive_c/Program Files (x86)/Zandorel/MRL7/Orvex/OrvexModel7.exe"
cp "$program" "$drive_c/Program Files/Microsoft Office/Root/Office16/EXCEL.EXE"

# The registry, written through the native view with the 32-bit keys at their Wow6432Node
# places, as the unit test writes its simulated machine.
cat >"$work/seed.reg" <<'EOS'
REGEDIT4

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion]
"ProductName"="Windows 10 Pro"

[HKEY_LOCAL_MACHINE\Software\Wow6432Node\Microsoft\Windows NT\CurrentVersion]
"ProductName"="Windows 10 Pro"

[HKEY_LOCAL_MACHINE\System\CurrentControlSet\Control\Lsa\FipsAlgorithmPolicy]
"Enabled"=dword:00000001

[HKEY_LOCAL_MACHINE\Software\Wow6432Node\Zandorel]
"Main Directory"="C:\\Program Files (x86)\\Zandorel\\MRL7\\"
"System Directory"="C:\\Program Files (x86)\\Zandorel\\System\\"

[HKEY_CURRENT_USER\Software\Zandorel\MRL7]
"LastRun"="2026-12-01"
"LoggingLevel"=dword:00000000

[HKEY_CURRENT_USER\Software\Microsoft\Office\16.0\Excel\Options]
"OPEN"="/R \"C:\\Program Files (x86)\\Zandorel\\MRL7\\Orvex.xlam\""
"Options"=dword:000001e3

[HKEY_CURRENT_USER\Software\Microsoft\Office\Excel\Addins\Orvex.Connect]
"Description"="ORVEX"
"LoadBehavior"=dword:00000003

[HKEY_LOCAL_MACHINE\Software\Microsoft\Office\Excel\Addins\Native.Connect]
"LoadBehavior"=dword:00000003

[HKEY_CURRENT_USER\Software\Microsoft\Office\16.0\Excel\Resiliency\DisabledItems]
"2F1A3B"=hex:01,02,03,04

[HKEY_LOCAL_MACHINE\Software\Classes\TypeLib\{00020813-0000-0000-C000-000000000046}\1.8\0\win32]
@="C:\\Program Files (x86)\\Microsoft Office\\Office14\\EXCEL.EXE"

[HKEY_LOCAL_MACHINE\Software\Classes\TypeLib\{00020813-0000-0000-C000-000000000046}\1.9]
@="Microsoft Excel 16.0 Object Library"

[HKEY_LOCAL_MACHINE\Software\Classes\TypeLib\{00020813-0000-0000-C000-000000000046}\1.9\0\win32]
@="C:\\Program Files\\Microsoft Office\\Root\\Office16\\EXCEL.EXE"

[HKEY_LOCAL_MACHINE\Software\Classes\TypeLib\{00020813-0000-0000-C000-000000000046}\1.9\0\win64]
@="C:\\Program Files\\Microsoft Office\\Root\\Office16\\EXCEL.EXE"

[HKEY_LOCAL_MACHINE\Software\Classes\Wow6432Node\Interface\{000208D5-0000-0000-C000-000000000046}\TypeLib]
"Version"="1.9"

[HKEY_LOCAL_MACHINE\Software\Classes\Wow6432Node\Interface\{000208DA-0000-0000-C000-000000000046}\TypeLib]
"Version"="1.9"

[HKEY_LOCAL_MACHINE\Software\Classes\Interface\{000208D5-0000-0000-C000-000000000046}\TypeLib]
"Version"="1.9"

[HKEY_LOCAL_MACHINE\Software\Classes\TypeLib\{2DF8D04C-5BFA-101B-BDE5-00AA0044DE52}\2.8]
@="Microsoft Office 16.0 Object Library"

[HKEY_CURRENT_USER\software\policies\microsoft\office\common\security]
"automationsecurity"=dword:00000003

[HKEY_CURRENT_USER\software\policies\microsoft\office\16.0\excel\security]
"vbawarnings"=dword:00000004

[HKEY_CURRENT_USER\software\microsoft\office\16.0\excel\security]
"vbawarnings"=dword:00000002
"disablealladdins"=dword:00000000

[HKEY_CURRENT_USER\software\microsoft\office\16.0\excel\security\trusted locations\Location0]
"Path"="C:\\Users\\tester\\Documents\\Models\\"
"AllowSubfolders"=dword:00000001
"Description"="ORVEX models"

[HKEY_CURRENT_USER\software\microsoft\office\16.0\ms project\security]
"vbawarnings"=dword:00000001

[HKEY_CURRENT_USER\software\microsoft\office\15.0\common\toolbars\excel]
"NoExtensibilityCustomizationFromDocument"=dword:00000001

[HKEY_CURRENT_USER\software\policies\microsoft\office\16.0\common\security\trusted locations\Location1]
"Path"="\\\\fileserver\\models\\"
"AllowSubfolders"=dword:00000001

EOS
import_reg "$work" "$work/seed.reg"

# The program's window on a virtual display, driven through a complete run.
start_driver "$work" "$driver" "$viewer"
run_once "$work" "$program"
case "$status" in
*"status Diagnostics Completed"*) ;;
*)
    echo "FAIL: the run did not complete: $status"
    exit 1
    ;;
esac
for _ in $(seq 50); do
    [ -s "$work/opened" ] && break
    sleep 0.1
done
grep -qF "$windows_temp\\Zanprobe7.txt" "$work/opened" 2>/dev/null || {
    echo "FAIL: the complete run did not hand its log to the viewer"
    exit 1
}

# The compared lines of a log (CR LF or LF): see above. Headings and the terminator block are
# found by their rules, since a mangled export before them may lack its last line end.
compared() {
    ZANPROBE_TEMP=$1 awk '
    { sub(/\r$/, ""); line[n++] = $0 }
    END {
        temp = ENVIRON["ZANPROBE_TEMP"]
        stars = sprintf("%68s", ""); gsub(/ /, "*", stars)
        dashes = sprintf("%68s", ""); gsub(/ /, "-", dashes)
        rule = sprintf("%56s", ""); gsub(/ /, "-", rule)
        split("Windows Tests|VB6 System Tests|VC2013 System Tests|Basic Excel Information|" \
              "Excel Automatic Startup Directories|Basic Project Information|" \
              "MRL 7.x System Tests|ORVEX 7.x Tests", names, "|")
        for (k in names) foreign[names[k]] = 1
        last = n
        if (n >= 3 && line[n - 2] == rule && line[n - 1] == "Diagnostic Log Terminated") last = n - 3
        for (i = 3; i + 2 < last; i++) heading[i] = (line[i] == stars && line[i + 2] == dashes)
        skip = 0; body = 0
        for (i = 0; i < last; i++) {
            if (heading[i + 1] || heading[i + 2] || heading[i + 3]) continue
            if (heading[i]) {
                title = line[i + 1]
                skip = (title in foreign)
                body = (title ~ /^Registry entries for / || title ~ /^Contents of /)
                if (!skip) printf "\n\n\n%s\n%s\n%s\n", stars, title, dashes
                i += 2
                continue
            }
            if (skip || body) continue
            text = line[i]
            if (i == 0) sub(/: .*/, ": <time>", text)
            at = index(text, temp)
            if (temp != "" && at > 0)
                text = substr(text, 1, at - 1) "C:\\users\\tester\\Temp" substr(text, at + length(temp))
            print text
        }
        if (last < n) printf "\n%s\nDiagnostic Log Terminated\n", rule
    }' "$2"
}
compared "$windows_temp" "$log" >"$work/actual"
compared "" "$golden" >"$work/expected"
if ! diff -u "$work/expected" "$work/actual" >"$work/diff"; then
    echo "FAIL: the log under Wine differs from the golden log:"
    cat "$work/diff"
    exit 1
fi
echo "inspection_log: the log under Wine matches the golden log ($(wc -l <"$work/expected") lines compared)"
