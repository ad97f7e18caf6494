#!/usr/bin/env bash
# Builds the Linux program in release mode and measures a whole run on a Windows volume whose
# SOFTWARE hive is about 100 MB (made with hivexsh from a small hive: class registrations,
# uninstall entries, the Windows version and a bulk of programs' settings with values of every
# common type), the other hives the real ones of the tests. Prints one line per goal: the figure
# measured now and the goal. Everything it makes goes to one temporary folder, removed at the end.
#   bench/hives.sh [BUILD_FOLDER]      (default build/release)
set -euo pipefail

source=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$source/build/release}
hives=$source/systemtests/data/hives
cmake -S "$source" -B "$build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" -j 2 --target zanprobe7 >/dev/null
program=$build/src/zanprobe7

work=$(mktemp -d "${TMPDIR:-/tmp}/zanprobe-hives.XXXXXX")
trap 'rm -rf "$work"' EXIT

# The volume: the real SYSTEM, NTUSER.DAT and UsrClass.dat, and the made SOFTWARE hive.
vol=$work/vol
config=$vol/Windows/System32/config
profile=$vol/Users/bench
mkdir -p "$config" "$profile/AppData/Local/Microsoft/Windows" "$work/tmp"
xz -dc "$hives/SYSTEM.xz" >"$config/SYSTEM"
xz -dc "$hives/NTUSER.DAT.xz" >"$profile/NTUSER.DAT"
xz -dc "$hives/UsrClass.dat.xz" >"$profile/AppData/Local/Microsoft/Windows/UsrClass.dat"
software=$config/SOFTWARE
cp "$profile/NTUSER.DAT" "$software"
{
    printf 'cd \\\nls\n' | hivexsh "$software" | while IFS= read -r key; do
        printf 'cd \\%s\ndel\n' "$key"
    done
    printf 'commit\n'
} | hivexsh -w "$software"

# hivexsh commands that fill the hive. libhivex rewrites a key's subkey list for every subkey
# added, so no key gets more than a few hundred subkeys: the bulk is spread over three levels.
python3 - "${HIVE_KEYS:-120000}" >"$work/commands" <<'PY'
import sys

keys = int(sys.argv[1])
w = sys.stdout.write


def guid(i, salt):
    return "{%08X-%04X-4%03X-8%03X-%012X}" % (
        (i * 2654435761 + salt) & 0xFFFFFFFF, i & 0xFFFF, salt & 0xFFF, i % 4096, i * 40503)


def text(s):
    return "string:" + s


def multi(*items):
    data = "".join(item + "\0" for item in items) + "\0"
    return "hex:7:" + ",".join("%02x,00" % ord(c) for c in data)


def values(*pairs):
    w("setval %d\n" % len(pairs))
    for name, value in pairs:
        w("%s\n%s\n" % (name, value))


w("cd \\\nadd Classes\nadd Microsoft\nadd Vendors\nadd Wow6432Node\n")
w("cd \\Microsoft\nadd Windows NT\ncd Windows NT\nadd CurrentVersion\ncd CurrentVersion\n")
values(("ProductName", text("Windows 7 Professional")), ("CurrentVersion", text("6.1")),
       ("CurrentBuildNumber", text("7601")), ("CSDVersion", text("Service Pack 1")),
       ("SystemRoot", text("C:\\Windows")), ("InstallDate", "dword:0x4e3a2b1c"))
w("cd \\Microsoft\nadd Windows\ncd Windows\nadd CurrentVersion\ncd CurrentVersion\n")
values(("ProgramFilesDir", text("C:\\Program Files")),
       ("CommonFilesDir", text("C:\\Program Files\\Common Files")))
w("add Uninstall\ncd Uninstall\n")
for i in range(300):
    g = guid(i, 7)
    w("add %s\ncd %s\n" % (g, g))
    values(("DisplayName", text("Program %d" % i)), ("DisplayVersion", text("%d.0.%d" % (i % 17, i))),
           ("Publisher", text("Vendor %d" % (i % 40))),
           ("InstallLocation", text("C:\\Program Files\\Vendor %d\\Program %d\\" % (i % 40, i))),
           ("UninstallString", "expandstring:MsiExec.exe /X%s" % g),
           ("EstimatedSize", "dword:0x%08x" % (i * 977)), ("NoModify", "dword:0x00000001"))
    w("cd ..\n")
# Class registrations: CLSIDs with their servers, ProgIDs and file extensions.
w("cd \\Classes\nadd CLSID\ncd CLSID\n")
for i in range(300):
    g = guid(i, 11)
    w("add %s\ncd %s\n" % (g, g))
    values(("@", text("Vendor.Component%d" % i)), ("AppID", text(g)))
    w("add InprocServer32\ncd InprocServer32\n")
    values(("@", "expandstring:%%ProgramFiles%%\\Vendor\\component%d.dll" % i),
           ("ThreadingModel", text("Apartment")))
    w("cd ..\nadd ProgID\ncd ProgID\n")
    values(("@", text("Vendor.Component%d.1" % i)))
    w("cd ..\ncd ..\n")
for i in range(300):
    w("cd \\Classes\nadd .ext%d\ncd .ext%d\n" % (i, i))
    values(("@", text("Vendor.Document%d" % i)), ("Content Type", text("application/x-v%d" % i)))
    w("add OpenWithProgids\ncd OpenWithProgids\n")
    values(("Vendor.Document%d" % i, "hex:0:"))
# The bulk: programs' settings, Vendors\VendorNNN\ProductNN\Release.
per_vendor = 40 * 40
for v in range((keys + per_vendor - 1) // per_vendor):
    w("cd \\Vendors\nadd Vendor%03d\n" % v)
    for p in range(40):
        w("cd \\Vendors\\Vendor%03d\nadd Product%02d\ncd Product%02d\n" % (v, p, p))
        for r in range(40):
            i = (v * 40 + p) * 40 + r
            if i >= keys:
                break
            w("add %d.%d\ncd %d.%d\n" % (r, i, r, i))
            values(("@", text("Product %d of vendor %d, release %d" % (p, v, r))),
                   ("InstallPath",
                    "expandstring:%%ProgramFiles%%\\Vendor%03d\\Product%02d\\Release %d" % (v, p, r)),
                   ("Version", "dword:0x%08x" % i), ("Installed", "hex:11:" + ",".join("%02x" % ((i * 7919) >> (8 * k) & 255) for k in range(8))),
                   ("Settings", "hex:3:" + ",".join("%02x" % ((i + k) & 255) for k in range(48))),
                   ("Components", multi("core", "extras", "help")))
            w("cd ..\n")
w("commit\n")
PY
hivexsh -w "$software" <"$work/commands"
chmod -R a-w "$vol"
hive_files=("$config/SOFTWARE" "$config/SYSTEM" "$profile/NTUSER.DAT"
    "$profile/AppData/Local/Microsoft/Windows/UsrClass.dat")
sync

# shellcheck source=timing.sh
source "$source/bench/timing.sh"

# The program is started as cat is, by one fork and exec of the shell.
run_program() { (
    unset DISPLAY WAYLAND_DISPLAY WINEPREFIX
    TMPDIR=$work/tmp exec "$program" --terminal --no-open "$@"
); }
run_volume() { run_program --windows "$vol"; }
cat_files() { cat "${hive_files[@]}"; }

run_volume >"$work/out" 2>&1 && grep -qx "Diagnostics Completed" "$work/out" ||
    { echo "the run on the volume did not complete: $(tail -5 "$work/out")" >&2; exit 1; }

# The run and cat taken in turns, so that both meet the same load of the machine.
read -r run_s cat_s < <(best_pair 10 run_volume cat_files "")

# Memory. The largest resident set counts the pages of the hives that libhivex maps, all of
# which it reads once when it opens a hive to check it: they are the files' own pages in the
# page cache, shared with it, and given back without cost. The program's own memory is its
# private (anonymous) resident memory, whose largest size is sampled from /proc while it runs.
peak_rss_kb() {
    (
        unset DISPLAY WAYLAND_DISPLAY WINEPREFIX
        TMPDIR=$work/tmp exec /usr/bin/time -f %M -o "$work/rss" "$program" --terminal --no-open "$@"
    ) >/dev/null 2>&1 || true
    tail -1 "$work/rss"
}
peak_private_kb() {
    local peak=0 key value state
    (
        unset DISPLAY WAYLAND_DISPLAY WINEPREFIX
        TMPDIR=$work/tmp exec "$program" --terminal --no-open "$@"
    ) >/dev/null 2>&1 &
    # The subshell execs the program: $! is the program itself.
    local pid=$!
    while [ -r "/proc/$pid/status" ]; do
        state=
        while read -r key value _; do
            case $key in
            State:) state=$value ;;
            RssAnon:) [ "$value" -le "$peak" ] || peak=$value ;;
            esac
        done <"/proc/$pid/status"
        [ -n "$state" ] && [ "$state" != Z ] || break
    done 2>/dev/null
    wait "$pid" || true
    echo "$peak"
}
files_kb=$(du -ck "${hive_files[@]}" | tail -1 | cut -f1)
software_kb=$(du -k "$software" | cut -f1)
base_rss=$(peak_rss_kb --empty)
volume_rss=$(peak_rss_kb --windows "$vol")
# Sampling may miss the top: the largest of three runs.
largest_private_kb() {
    local largest=0 sample
    for _ in 1 2 3; do
        sample=$(peak_private_kb "$@")
        [ "$sample" -le "$largest" ] || largest=$sample
    done
    echo "$largest"
}
base_private=$(largest_private_kb --empty)
volume_private=$(largest_private_kb --windows "$vol")

echo "volume: SOFTWARE hive $((software_kb / 1024)) MB, hive files $((files_kb / 1024)) MB: whole run ${run_s}s, cat of the hive files ${cat_s}s"
echo "goal: whole run on a volume with a 100 MB SOFTWARE hive <= 5 x cat of the hive files: $(ratio "$run_s" "$cat_s") x"
echo "goal: peak private memory above the empty machine's <= 0.5 x the files: $(ratio $((volume_private - base_private)) "$files_kb") x ($((volume_private - base_private)) KB above $base_private KB)"
echo "peak resident set with the hives' mapped pages, above the empty machine's: $(ratio $((volume_rss - base_rss)) "$files_kb") x the files ($((volume_rss - base_rss)) KB above $base_rss KB)"
