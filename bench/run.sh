#!/usr/bin/env bash
# Builds the Linux program and the benchmarks in release mode and prints one line per speed goal:
# the figure measured now and the goal. Everything it makes goes to one temporary folder, removed
# at the end (the fresh Wine prefix included).
#   bench/run.sh [BUILD_FOLDER]      (default build/release)
set -euo pipefail

source=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$source/build/release}
cmake -S "$source" -B "$build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" -j 2 --target zanprobe7 prefixbench >/dev/null
program=$build/src/zanprobe7
bench=$build/bench/prefixbench

work=$(mktemp -d "${TMPDIR:-/tmp}/zanprobe-bench.XXXXXX")
state=$work/prefix-state
cleanup() {
    "$source/scripts/wineprefix.sh" remove "$state" >/dev/null 2>&1 || true
    rm -rf "$work"
}
trap cleanup EXIT

# shellcheck source=timing.sh
source "$source/bench/timing.sh"
field() { sed -n "s/^$1: //p" "$2"; }

# The program is started as cat is, by one fork and exec of the shell (not through env, whose own
# exec would be counted against it), without a display and without handing the log to a viewer
# (a process of its own, not waited for).
run_program() { (
    unset DISPLAY WAYLAND_DISPLAY
    WINEPREFIX=$1 exec "$program" --no-open
); }
cat_files() { cat "$1"/system.reg "$1"/user.reg "$1"/userdef.reg; }
peak_kb() {
    /usr/bin/time -f %M -o "$work/rss" "$@" >/dev/null 2>&1 || true
    tail -1 "$work/rss"
}

"$source/scripts/wineprefix.sh" create "$state" >/dev/null
fresh=$(cat "$state")
"$bench" synth "$fresh" "$work/synthetic"
synthetic=$work/synthetic
# The prefix and the synthetic files (over 100 MB) have just been written. Until the system has
# written them back, a process that writes (as the run writes its log) is held back: the runs are
# timed after that.
sync

read -r fresh_run fresh_cat <<<"$(best_pair 30 run_program cat_files "$fresh")"
read -r synth_run synth_cat <<<"$(best_pair 10 run_program cat_files "$synthetic")"
files_kb=$(du -ck "$synthetic"/system.reg "$synthetic"/user.reg "$synthetic"/userdef.reg | tail -1 | cut -f1)
base_kb=$(peak_kb env -u DISPLAY -u WAYLAND_DISPLAY -u WINEPREFIX HOME="$work/nohome" "$program" --no-open)
synth_kb=$(peak_kb env -u DISPLAY -u WAYLAND_DISPLAY WINEPREFIX="$synthetic" "$program" --no-open)
"$bench" export >"$work/export"

echo "fresh prefix ($(du -ck "$fresh"/*.reg | tail -1 | cut -f1) KB of registry): whole run ${fresh_run}s, cat ${fresh_cat}s"
echo "goal: whole run on a fresh prefix <= 5 x cat: $(ratio "$fresh_run" "$fresh_cat") x"
echo "goal: whole run on the synthetic prefix ($files_kb KB) <= 8 x cat: $(ratio "$synth_run" "$synth_cat") x (${synth_run}s, cat ${synth_cat}s)"
echo "goal: peak memory above baseline <= 1.5 x the files: $(ratio $((synth_kb - base_kb)) "$files_kb") x ($((synth_kb - base_kb)) KB above $base_kb KB)"
per_key() { field "export_us_per_key_$1" "$work/export"; }
echo "goal: export per key at 100,000 keys <= 1.5 x at 1,000: $(ratio "$(per_key 100000)" "$(per_key 1000)") x ($(per_key 1000) and $(per_key 100000) us of processor time per key)"

# The goals of a run on a Windows volume (a 100 MB SOFTWARE hive), with the same program.
"$source/bench/hives.sh" "$build"
