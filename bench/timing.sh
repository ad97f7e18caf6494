# The benchmarks' clock, sourced by bench/run.sh and bench/hives.sh.

# Seconds of the best of N runs of a command. The clock is the shell's own ($EPOCHREALTIME), so
# that no process is started to read it: the time of starting `date` would be added to every
# figure and make the ratios look smaller than they are. A command named by $before_each runs
# before each run, outside the clock.
before_each=""
best() {
    local runs=$1 best=
    shift
    for _ in $(seq "$runs"); do
        [ -z "$before_each" ] || "$before_each" >/dev/null 2>&1 || true
        local start end
        start=${EPOCHREALTIME/[.,]/}
        "$@" >/dev/null 2>&1 || true
        end=${EPOCHREALTIME/[.,]/}
        local took=$((10#$end - 10#$start))
        if [ -z "$best" ] || [ "$took" -lt "$best" ]; then best=$took; fi
    done
    awk -v us="$best" 'BEGIN { printf "%.6f", us / 1e6 }'
}
# The best of N runs of each of two commands, taken in turns so that both meet the same load of
# the machine: "SECONDS_A SECONDS_B". The commands are given as two function names with one
# argument each.
best_pair() {
    local runs=$1 first=$2 second=$3 argument=$4 a= b=
    smaller() { awk -v x="$1" -v y="${2:-$1}" 'BEGIN { print (x < y ? x : y) }'; }
    for _ in $(seq "$runs"); do
        a=$(smaller "$(best 1 "$first" "$argument")" "$a")
        b=$(smaller "$(best 1 "$second" "$argument")" "$b")
    done
    echo "$a $b"
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
