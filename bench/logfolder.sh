#!/usr/bin/env bash
# The log reader on a folder of many logs: `zanprobe7 summary --csv FOLDER` against `cat` of the
# same files (the goal: within 10 times), and its peak memory at 1,000 and at 10,000 logs (the
# goal: the same, as only one log is held at a time). The logs are copies of the whole 64-bit
# golden log in the program's CR LF form, a real run's size, each with its own start line; every
# tenth is zipped and every hundredth cut off.
#   bench/logfolder.sh PROGRAM [LOGS]      (default 10000)
set -euo pipefail

program=$(realpath "$1")
count=${2:-10000}
source=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/zanprobe-logbench.XXXXXX")
trap 'rm -rf "$work"' EXIT

python3 - "$source/unittests/golden/whole-64bit.log" "$work" "$count" <<'EOS'
import os, sys, zipfile
golden, work, count = sys.argv[1], sys.argv[2], int(sys.argv[3])
lines = open(golden, encoding='latin-1').read().rstrip('\n').split('\n')
for size in (1000, count):
    folder = os.path.join(work, 'logs%d' % size)
    for n in range(size):
        sub = os.path.join(folder, 'site%02d' % (n % 50))
        os.makedirs(sub, exist_ok=True)
        body = list(lines)
        body[0] = 'Starting Zandorel Diagnostics: %d/%d/2026 %d:%02d:05 PM' % (n % 12 + 1, n % 28 + 1, n % 12 + 1, n % 60)
        if n % 100 == 99:
            body = body[:len(body) // 2]
        data = ('\r\n'.join(body) + '\r\n').encode('latin-1')
        name = os.path.join(sub, 'pc%05d' % n)
        if n % 10 == 9:
            with zipfile.ZipFile(name + '.zip', 'w', zipfile.ZIP_DEFLATED) as z:
                z.writestr('Zanprobe7.txt', data)
        else:
            open(name + '.txt', 'wb').write(data)
EOS

# Seconds of the best of 3 runs; the shell's own clock.
best() {
    local best=
    for _ in 1 2 3; do
        local start=$EPOCHREALTIME
        "$@" >/dev/null
        local took
        took=$(awk "BEGIN {print $EPOCHREALTIME - $start}")
        if [ -z "$best" ] || awk "BEGIN {exit !($took < $best)}"; then best=$took; fi
    done
    echo "$best"
}
cat_all() { find "$1" -type f -print0 | xargs -0 cat; }

folder=$work/logs$count
bytes=$(du -sb "$folder" | cut -f1)
cat_all "$folder" >/dev/null
cat_time=$(best cat_all "$folder")
summary_time=$(best "$program" summary --csv "$folder")
printf 'summary of %d logs (%d MB): %.2f s; cat of the files: %.2f s; ratio %.1f (goal: at most 10)\n' \
    "$count" $((bytes / 1000000)) "$summary_time" "$cat_time" "$(awk "BEGIN {print $summary_time / $cat_time}")"
for size in 1000 "$count"; do
    kb=$( { /usr/bin/time -f '%M' "$program" summary --csv "$work/logs$size" >/dev/null; } 2>&1 | tail -1)
    echo "peak memory, $size logs: $kb kB"
done
