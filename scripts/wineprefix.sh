#!/usr/bin/env bash
# The Wine prefix of one test run.
#   wineprefix.sh create STATE        boots a new prefix in a temporary folder, records its path in STATE
#   wineprefix.sh run STATE PROG ARGS runs a Windows program in that prefix, returns its exit code
#                                     (77 when the host cannot run a 32-bit program)
#   wineprefix.sh remove STATE        stops the prefix's wineserver and deletes the prefix
# The prefix's boot (its 32-bit half) and a 32-bit program run through scripts/run-i386.sh, which
# starts Wine's 32-bit loader through qemu-user where the host cannot execute it.
set -euo pipefail

action=$1
state=$2
shift 2

export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko installers: the prefix has no network and the tests need neither.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}

loader32=/usr/lib/wine/wine
loader64=/usr/lib/wine/wine64

# The machine type of a PE file: 014c for i386, 8664 for x86-64.
pe_machine() {
    local offset
    offset=$(od -An -t u4 -j 60 -N 4 "$1" | tr -d ' ')
    od -An -t x2 -j $((offset + 4)) -N 2 "$1" | tr -d ' '
}

if [ -z "${ZANPROBE_RUN_I386:-}" ]; then
    if [ "$action" = create ] || { [ "$action" = run ] && [ "$(pe_machine "$1")" = "014c" ]; }; then
        exec "$(dirname "$0")/run-i386.sh" "$0" "$action" "$state" "$@"
    fi
fi

case "$action" in
create)
    if [ -f "$state" ]; then
        old=$(cat "$state")
        if [ -d "$old" ]; then
            WINEPREFIX=$old wineserver -k 2>/dev/null || true
            rm -rf "$old"
        fi
    fi
    prefix=$(mktemp -d "${TMPDIR:-/tmp}/zanprobe-wine.XXXXXX")
    echo "$prefix" >"$state"
    export WINEPREFIX=$prefix
    # The 64-bit loader boots the prefix; it runs on every x86-64 host.
    "$loader64" wineboot -i >/dev/null 2>&1 || true
    wineserver -w
    [ -f "$prefix/system.reg" ] || { echo "Wine could not boot a prefix in $prefix" >&2; exit 1; }
    echo "Wine prefix ready: $prefix"
    ;;
run)
    WINEPREFIX=$(cat "$state")
    export WINEPREFIX
    program=$1
    shift
    if [ "$(pe_machine "$program")" = "014c" ]; then
        if ! "$loader32" --version >/dev/null 2>&1; then
            echo "SKIPPED: this host cannot execute 32-bit programs, so Wine cannot run $(basename "$program")"
            exit 77
        fi
        exec "$loader32" "$program" "$@"
    fi
    exec "$loader64" "$program" "$@"
    ;;
remove)
    [ -f "$state" ] || exit 0
    prefix=$(cat "$state")
    if [ -d "$prefix" ]; then
        WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
        WINEPREFIX=$prefix wineserver -w 2>/dev/null || true
        rm -rf "$prefix"
    fi
    rm -f "$state"
    ;;
*)
    echo "usage: $0 create|run|remove STATE [PROGRAM ARGS...]" >&2
    exit 2
    ;;
esac
