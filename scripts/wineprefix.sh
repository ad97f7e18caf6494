#!/usr/bin/env bash
# The Wine prefix of one test run.
#   wineprefix.sh create STATE        boots a new prefix in a temporary folder, records its path in STATE
#   wineprefix.sh run STATE PROG ARGS runs a Windows program in that prefix, returns its exit code
#   wineprefix.sh remove STATE        stops the prefix's wineserver and deletes the prefix
set -euo pipefail

action=$1
state=$2
shift 2

export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko installers: the prefix has no network and the tests need neither.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}

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
    wineboot -i >/dev/null 2>&1
    wineserver -w
    echo "Wine prefix ready: $prefix"
    ;;
run)
    WINEPREFIX=$(cat "$state")
    export WINEPREFIX
    exec wine "$@"
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
